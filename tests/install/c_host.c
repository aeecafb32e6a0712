/* A C host built against an installed Zu: runs the program named on its
 * command line through ZuMain and reports how it went. */
#include <stdio.h>

#include "zu.h"

int main(int argc, char** argv) {
    char program[] = "c_host", quiet[] = "-b";
    char* args[] = {program, quiet, argc > 1 ? argv[1] : program};
    int position;
    ZuMainInit();
    position = ZuMain(3, args);
    ZuMainExit();
    printf("c_host: %s\n", position > 0 ? "ran" : "failed");
    return position > 0 ? 0 : 1;
}
