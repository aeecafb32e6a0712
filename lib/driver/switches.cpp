#include "driver/switches.h"

#include "zu.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace zu::driver {
namespace {

char lower(char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); }

// A decimal integer at text, clamped to int; false when there is none.
bool readNumber(const char*& text, int& value) {
    char* end = nullptr;
    long long n = std::strtoll(text, &end, 10);
    if (end == text) return false;
    value = n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : static_cast<int>(n);
    text = end;
    return true;
}

SwitchResult unrecognized(const char* arg) {
    std::string text = std::string("Unrecognized command line switch: ") + arg;
    ZuCompileMessage(text.c_str(), 0);
    return SwitchResult::Continue;
}

// -c, -cl: l must be lower case; anything else after -c is ignored.
void createSwitch(const char* rest, RunOptions& o) {
    if (!*rest)
        o.createObject = true;
    else if (rest[0] == 'l')
        o.createAfterLink = true;
}

void optimizeSwitch(const char* rest) {
    if (lower(rest[0]) == 'd')
        ZuParseOptimization(0);
    else if (lower(rest[0]) == 'n')
        ZuParseSetLineno(0);
}

void runSwitch(const char* rest, RunOptions& o) {
    if (rest[0] == '-') {
        o.noRun = true;
        return;
    }
    switch (lower(rest[0])) {
    case 'c': {
        int entries = 16, maxsize = 1000;
        readTwoNumbers(rest + 1, entries, maxsize);
        SetMatCacheSize(entries, maxsize);
        break;
    }
    case 'f': SetFastMath(0); break;
    case 'n': ZuRunNumbering(1); break;
    case 'r': o.cacheReport = true; break;
    case 't': ZuRunTrace(1); break;
    default: break;
    }
}

void sizeSwitch(const char* rest) {
    int symbols = 2000, stack = 1000;
    readTwoNumbers(rest, symbols, stack);
    ZuSetSymbolSize(symbols);
    ZuSetStackSize(stack);
}

}  // namespace

void readTwoNumbers(const char* text, int& first, int& second) {
    if (!readNumber(text, first)) return;
    if (*text == ',') {
        ++text;
        readNumber(text, second);
    }
}

SwitchResult applySwitch(const char* arg, RunOptions& o) {
    if (std::strcmp(arg, "-zuedit") == 0) {
        ZuSetZuEditMode();
        return SwitchResult::Continue;
    }
    if (std::strcmp(arg, "--help") == 0) return SwitchResult::Usage;
    if (std::strcmp(arg, "--version") == 0) return SwitchResult::Version;
    const char* rest = arg + 2;
    switch (lower(arg[1])) {
    case '?':
    case 'h': return SwitchResult::Usage;
    case 'b':
    case 'm': break;
    case 'c': createSwitch(rest, o); break;
    case 'd':
        if (*rest)
            ZuDefine(rest);
        else
            o.debug = true;
        break;
    case 'g': ZuSetGaussMode(1); break;
    case 'i':
        if (*rest)
            ZuSetIncludePath(rest);
        else
            o.interactive = true;
        break;
    case 'x': ZuSetIncludePath(nullptr); break;
    case 'k': ZuLoadKernel(*rest ? rest : nullptr, o.verbose); break;
    case 'v': o.verbose = true; break;
    case 'l':
        if (!*rest) {
            ZuCompileMessage("No link file specified", 0);
            return SwitchResult::NoLinkFile;
        }
        o.linkFiles = rest;
        break;
    case 'o': optimizeSwitch(rest); break;
    case 'r': runSwitch(rest, o); break;
    case 's': sizeSwitch(rest); break;
    case 'w': {
        int level = 0;
        readNumber(rest, level);
        ZuParseWarningLevel(level);
        break;
    }
    default: return unrecognized(arg);
    }
    return SwitchResult::Continue;
}

}  // namespace zu::driver
