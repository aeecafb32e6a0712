// Fatal exits and the entry points of run-time errors.  A run-time error
// never returns to the routine that raised it: the interpreter's jump
// routine unwinds to the recovery point of the run.
#include "console/console_state.h"
#include "zu.h"

#include <cstdio>
#include <cstdlib>

using namespace zu::console;

extern "C" {

void ZuExit(int code) {
    if (auto hook = console().exitHook) hook(code);
}

void ZuFatalError(void) {
    ZuExit(1);
    std::fflush(stdout);
    std::exit(1);
}

void ZuSetRuntimeError(int flag) { console().runtimeError = flag; }
int ZuGetRuntimeError(void) { return console().runtimeError; }
void ZuSetRuntimeJump(void (*fn)(void)) { console().runtimeJump = fn; }

void ZuRunErrorMessage(const char* text) {
    auto& c = console();
    c.printLevel = 1;
    if (text) {
        ZuRunMessage(text);
        ZuRunPrintErrorMsg(-1, nullptr);
    }
    ZuExit(0);
    c.runtimeError = 1;
    // While a program runs the jump routine does not return; outside a run
    // it does, and the caller goes on.
    if (c.runtimeJump)
        c.runtimeJump();
    else
        ZuFatalError();
}

void ZuRunError(int code, const char* text) {
    auto& c = console();
    c.printLevel = 1;
    ZuRunPrintErrorMsg(code, text);
    c.runtimeError = 1;
    if (code > 1) ZuExit(code);
    ZuRunErrorMessage(nullptr);
}

void ZuRunWarningMessage(const char* name, const char* text) { ZuRunUserWarning(name, text); }

}  // extern "C"
