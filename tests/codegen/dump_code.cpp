// A host that embeds the library, compiles one source file and prints the
// p-code listing, for the code-generation tests.
//   codegen_dump [-od] [-on] [-w0] [-d] file.zu
// Addresses in the symbol listing differ from run to run; they are printed
// as "&0x?".
#include "zu.h"

#include <cstdio>
#include <cstring>
#include <regex>
#include <string>

namespace {

std::string g_listing;

void collect(const char* text) { g_listing += text ? text : ""; }

}  // namespace

int main(int argc, char** argv) {
    ZuMainInit();
    const char* file = nullptr;
    int debug = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-od") == 0)
            ZuParseOptimization(0);
        else if (std::strcmp(argv[i], "-on") == 0)
            ZuParseSetLineno(0);
        else if (std::strcmp(argv[i], "-w0") == 0)
            ZuParseWarningLevel(0);
        else if (std::strcmp(argv[i], "-d") == 0)
            debug = 1;
        else
            file = argv[i];
    }
    if (!file) {
        std::fputs("usage: codegen_dump [-od] [-on] [-w0] [-d] file.zu\n", stderr);
        return 2;
    }
    ZuParseInterDebug(0, debug);
    ZuOpenCode();
    if (!ZuOpenSourceFile(file)) return 1;
    const int errors = IZuParse();
    ZuOpenSourceFile(nullptr);
    std::printf("errors: %d\n", errors);
    std::fflush(stdout);
    // In pipe mode the listing reaches the output hook.
    SetZuPipe(0);
    SetZuPuts(collect);
    ZuDumpCode();
    SetZuPipe(-1);
    std::fputs(std::regex_replace(g_listing, std::regex("&0x[0-9a-f]+"), "&0x?").c_str(), stdout);
    ZuMainExit();
    return 0;
}
