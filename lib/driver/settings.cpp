#include "driver/settings.h"

#include "zu.h"

#include <cstdlib>

namespace zu::driver {

DriverSettings& settings() {
    static DriverSettings state;
    return state;
}

}  // namespace zu::driver

using zu::driver::settings;

extern "C" {

int IZuVersion(void) { return 340; }

void ZuSetMainArgs(int argc, char** argv) {
    settings().mainArgc = argc;
    settings().mainArgv = argv;
}

void ZuGetMainArgs(int* argc, char*** argv) {
    if (argc) *argc = settings().mainArgc;
    if (argv) *argv = settings().mainArgv;
}

void ZuSetZuArgs(int count, char** strings) {
    auto& s = settings();
    if (s.zuArgv) {
        for (int i = 0; i < s.zuArgc; ++i) std::free(s.zuArgv[i]);
        TabFreePlain(reinterpret_cast<void**>(s.zuArgv), s.zuArgc, 0);
    }
    s.zuArgv = nullptr;
    s.zuArgc = 0;
    if (count <= 0 || !strings) return;
    auto table = reinterpret_cast<char**>(TabAllocPlain(count, 0, 0));
    if (!table) return;
    for (int i = 0; i < count; ++i) table[i] = StrDupPlain(strings[i] ? strings[i] : "");
    s.zuArgv = table;
    s.zuArgc = count;
}

void ZuGetZuArgs(int* count, char*** strings) {
    if (count) *count = settings().zuArgc;
    if (strings) *strings = settings().zuArgv;
}

int ZuSetInteractive(int on) { return settings().interactive = on; }
int ZuIsInteractive(void) { return settings().interactive; }

int ZuSetGaussMode(int on) {
    settings().caseInsensitive = on;
    return settings().gaussMode = on;
}
int ZuIsGaussMode(void) { return settings().gaussMode; }

int ZuSetCaseInsensitive(int on) {
    int previous = settings().caseInsensitive;
    settings().caseInsensitive = on;
    return previous;
}
int ZuIsCaseInsensitive(void) { return settings().caseInsensitive; }

void ZuSetZuEditMode(void) { settings().editMode = 1; }
int ZuGetZuEditMode(void) { return settings().editMode; }

void ZuSetUserExitCode(int code) { settings().userExitCode = code; }
int ZuGetUserExitCode(void) { return settings().userExitCode; }

}  // extern "C"
