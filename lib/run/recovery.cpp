// Recovery points: the guarded run of main and of the debugger, and
// call-backs from library code, each catching the run-time errors raised
// below it.  Call-backs nest on the same stack and put every register
// back when they end.
#include "run/recovery.h"

#include "program/code_buffer.h"
#include "run/calls.h"
#include "run/debugger.h"
#include "run/indexing.h"
#include "run/machine.h"
#include "run/run_errors.h"

#include <climits>
#include <new>

namespace zu::run {

namespace {

// The exit code a run starts with: exit() replaces it, so a different
// value after the run tells that exit() ended it.
constexpr int kNoExitCode = INT_MIN;
bool exitCodeWatched = false;  // a run of main has set kNoExitCode

bool ExitWasCalled() { return vm.exitRequested || (exitCodeWatched && ZuGetUserExitCode() != kNoExitCode); }

// Everything a call-back puts back when it ends.
struct SavedRegisters {
    int paramCount, localStart, localCount, currentFile, cp;
    ZuVALUE *ap, *bp, *sp;
    bool inRun;

    SavedRegisters()
        : paramCount(vm.paramCount),
          localStart(vm.localStart),
          localCount(vm.localCount),
          currentFile(vm.currentFile),
          cp(vm.cp),
          ap(vm.ap),
          bp(vm.bp),
          sp(vm.sp),
          inRun(vm.inRun) {}

    void restore() const {
        PopTo(sp);
        vm.paramCount = paramCount;
        vm.localStart = localStart;
        vm.localCount = localCount;
        if (static_cast<int>(vm.localNames.size()) > localStart + localCount)
            vm.localNames.resize(static_cast<std::size_t>(localStart + localCount));
        vm.currentFile = currentFile;
        vm.cp = cp;
        vm.ap = ap;
        vm.bp = bp;
        vm.unchangedBelow = 0;
        vm.inRun = inRun;
    }
};

void OutOfMemoryCaught() {
    ZuRunPrintErrorMsg(static_cast<int>(Err::OutOfMemory), nullptr);
    ZuSetRuntimeError(1);
}

// The call of a call-back: function and arguments pushed, called, run
// until the return lands on instruction 1, the top assigned to result.
void RunCallBack(const ZuVALUE* function, ZuVALUE* result, const ZuVALUE* argv, int argc) {
    CheckRoom(argc + 1);
    vm.cp = 0;
    // The entries refer to the caller's records, which keep their data.
    RefCopy(++vm.sp, function);
    for (int i = 0; i < argc; ++i) RefCopy(++vm.sp, &argv[i]);
    DoCall(argc);
    if (vm.cp != 0) {
        ++vm.cp;
        RunLoop();
    }
    ZuRunDoAssignment(result, vm.sp);
    FreeIfOwned(vm.sp);
    --vm.sp;
}

}  // namespace

bool GuardedRun(ZuVALUE* expected) {
    ZuSetRuntimeError(0);
    vm.abort = false;
    vm.inRun = true;
    bool ok = false;
    try {
        RunLoop();
        ok = vm.abort || !expected || vm.sp == expected;
        if (!ok) {
            ZuRunMessage("IE: Stack error");
            ZuSetRuntimeError(1);
        }
    } catch (const RunError&) {
        ZuSetRuntimeError(1);
    } catch (const std::bad_alloc&) {
        OutOfMemoryCaught();
    }
    vm.inRun = false;
    if (expected) PopTo(expected);
    return ok;
}

}  // namespace zu::run

using namespace zu::run;

extern "C" {

void ZuRuntimeJump(void) {
    if (vm.inRun) throw RunError{};
}

int FZuRunCallBack(ZuVALUE* function, ZuVALUE* result, ZuVALUE* argv, int argc, int report) {
    if (!function || !result || !vm.base || argc < 0 || (argc > 0 && !argv)) return 0;
    *result = ZuVALUE{};
    result->t = ZU_INT;
    const SavedRegisters saved;
    bool failed = false;
    ZuSetRuntimeError(0);
    vm.abort = false;
    vm.inRun = true;
    try {
        RunCallBack(function, result, argv, argc);
    } catch (const RunError&) {
        failed = true;
        ZuSetRuntimeError(1);
    } catch (const std::bad_alloc&) {
        failed = true;
        OutOfMemoryCaught();
    }
    saved.restore();
    bool aborted = vm.abort;
    if (failed && saved.inRun) {
        // exit() goes on unwinding without a report of its own.
        if (ExitWasCalled()) throw RunError{};
        if (report) Raise(Err::InCallback);
    }
    return failed ? 0 : !aborted;
}

int FZuCallBack(ZuVALUE* function, ZuVALUE* result, ZuVALUE* argv, int argc) {
    return FZuRunCallBack(function, result, argv, argc, 1);
}

int FZuRunInitMainFunc(int address, const char* name) {
    if (!vm.base) {
        ZuLinkError(25, "stack");
        return 0;
    }
    RefreshTables();
    if (!vm.code || vm.codeSize <= 0) {
        ZuLinkError(25, "code");
        return 0;
    }
    if (address < 1 || address >= vm.codeSize) {
        ZuLinkError(19, nullptr);
        return 0;
    }
    ZuPCODE& call = zu::program::codeBuffer()[address];
    if (name) {
        if (ZuNAMEDVALUE* g = ZuSymFindGlobalFunction(name)) {
            call.arg = static_cast<int>(g - vm.globals);
            if (g->val.w1.i != 0) {
                ZuLinkError(20, name);
                return 0;
            }
        }
    }
    if (call.arg < 0 || call.arg >= vm.globalCount) {
        ZuLinkError(12, name ? name : "main");
        return 0;
    }
    ZuSetRuntimeError(0);
    vm.cp = address - 1;
    vm.ap = vm.bp = vm.base;
    vm.sp = vm.base - 1;
    vm.unchangedBelow = 0;
    vm.localNames.clear();
    vm.localStart = vm.localCount = 0;
    vm.paramCount = 0;
    vm.currentFile = -1;
    return 1;
}

int FZuRunMainFunc(int address, const char* name) {
    if (!FZuRunInitMainFunc(address, name)) return 0;
    vm.exitRequested = false;
    vm.exitStatus = -1;
    int previousExitCode = ZuGetUserExitCode();
    ZuSetUserExitCode(kNoExitCode);
    exitCodeWatched = true;
    bool ok = false;
    try {
        ok = GuardedRun(vm.base);
    } catch (...) {
        // GuardedRun catches what the run raises; nothing may reach the host.
        ok = false;
    }
    bool exited = ExitWasCalled();
    exitCodeWatched = false;
    if (!exited) ZuSetUserExitCode(previousExitCode);
    if (!ok) vm.exitStatus = exited ? ZuGetUserExitCode() : 1;
    vm.exitRequested = false;
    ZuRunMainDoExitCall();
    PopTo(vm.base - 1);
    return ok ? 1 : 0;
}

int FZuRun(int address, const char* name) {
    bool interactive = ZuIsInteractive() != 0;
    if (interactive || ZuIsDebug()) {
        const char* mode = interactive ? "interactive" : "debug";
        vm.exitStatus = 1;
        if (!ZuHaveInputPipe()) {
            ZuPrintf("No input pipe: cannot run in %s mode.\n", mode);
            ZuExit(58);
            return 0;
        }
        ZuPrintf("Entering %s mode, use #quit to quit, ? for help.\n", mode);
        const int ok = interactive ? ZuInteractive(address, name) : ZuDebug(address, name);
        vm.exitStatus = ok ? -1 : 1;
        return 1;
    }
    return FZuRunMainFunc(address, name);
}

int IZuRunExitStatus(void) { return vm.exitStatus; }

void ZuRunMainExitCall(ZuVALUE* function) {
    if (!function || vm.exitCallCount >= kMaxExitCalls) return;
    RefCopy(&vm.exitCalls[vm.exitCallCount++], function);
}

void ZuRunMainDoExitCall(void) {
    int count = vm.exitCallCount;
    vm.exitCallCount = 0;
    for (int i = count - 1; i >= 0; --i) {
        ZuVALUE result{};
        FZuRunCallBack(&vm.exitCalls[i], &result, nullptr, 0, 1);
        FreeIfOwned(&result);
        vm.exitCalls[i] = ZuVALUE{};
    }
}

int ZuRunDebugGo(void) {
    if (!vm.base || !vm.code) return 0;
    vm.moreCode = false;
    GuardedRun(nullptr);
    return vm.moreCode ? 1 : 0;
}

}  // extern "C"
