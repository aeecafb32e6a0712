/* A host that embeds the library: it installs its own message and output
 * hooks and captures the usage text and pipe output through them. */
#include "zu.h"

#include <stdio.h>
#include <string.h>

static char messages[16384];
static char output[1024];

static void append(char* buffer, size_t size, const char* text) {
    size_t used = strlen(buffer);
    snprintf(buffer + used, size - used, "%s", text);
}

static void onMessage(const char* text) {
    append(messages, sizeof messages, text);
    append(messages, sizeof messages, "\n");
}

static void onOutput(const char* text) { append(output, sizeof output, text); }

static int fail(const char* what) {
    fprintf(stderr, "usage_hooks: %s\n", what);
    fprintf(stderr, "messages:\n%s\noutput:\n%s\n", messages, output);
    return 1;
}

int main(void) {
    char name[] = "host";
    char* argv[] = {name, NULL};
    const char* tail = "  -w0         switch parse warnings off\n\n";
    size_t length;

    ZuMainInit();
    SetZuMessage(onMessage);
    if (ZuMain(1, argv) != 0) return fail("ZuMain without arguments must return 0");
    if (strncmp(messages, "\nZu version 3.40", 16) != 0) return fail("banner missing");
    if (!strstr(messages,
                "Zu Object-oriented matriX language\nUsage:\tZu filename[.zu] "
                "[switches]\nSwitches:\n  -d          debugging mode\n"))
        return fail("usage head missing");
    length = strlen(messages);
    if (length < strlen(tail) || strcmp(messages + length - strlen(tail), tail) != 0)
        return fail("usage must end with the -w0 line and a blank line");

    SetZuPipe(0);
    SetZuPuts(onOutput);
    ZuPrintf("x=%d;", 3);
    ZuPuts("direct;");
    ZuFlush();
    if (strcmp(output, "x=3;direct;") != 0) return fail("pipe output wrong");
    if (GetZuPipeLength() != 4096) return fail("pipe capacity wrong");
    SetZuPipe(-1);
    ZuMainExit();
    return 0;
}
