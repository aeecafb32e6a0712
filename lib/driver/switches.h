// The command-line switches of the driver.
#pragma once

#include <string>

namespace zu::driver {

// Settings of one ZuMain call, filled by the switch walk.
struct RunOptions {
    std::string fileName;          // the first argument that is not a switch
    std::string linkFiles;         // object files joined by '+' (-l)
    bool createObject = false;     // -c: compile, write .zuo, no linking
    bool createAfterLink = false;  // -cl: link the imports first
    bool noRun = false;            // -r-
    bool cacheReport = false;      // -rr
    bool interactive = false;      // -i
    bool debug = false;            // -d
    bool verbose = false;          // -v: report kernel replacements
};

enum class SwitchResult {
    Continue,    // applied (or ignored); the walk goes on
    Usage,       // -h, --help: print the usage text, ZuMain returns 0 at once
    Version,     // --version: the banner alone, ZuMain returns 0 at once
    NoLinkFile,  // -l without a list: ZuMain returns 0 at once
};

// Applies one switch (an argument that begins with '-').
SwitchResult applySwitch(const char* arg, RunOptions& options);

// Reads "%d,%d" from text, keeping the given defaults for numbers that
// are missing; numbers out of the int range are clamped.
void readTwoNumbers(const char* text, int& first, int& second);

}  // namespace zu::driver
