/* zul: hands the command line to the library and turns its answer into
 * an exit status. */
#include "zu.h"

int main(int argc, char** argv)
{
    ZuMainInit();
    ZuAddDrawLib();
    return ZuMain(argc, argv) == 0 ? 1 : 0;
}
