// The engine's own library routines (see run_library.h).
#include "run/run_library.h"

#include "run/machine.h"

namespace zu::run {

void RunLibExit(ZuVALUE* /*rtn*/, ZuVALUE* args, int /*count*/)
{
    ZuLibCheckType(ZU_INT, args, 0, 0);
    ZuSetUserExitCode(args[0].w1.i);
    vm.exitRequested = true;
    ZuRunErrorMessage(nullptr);
}

void RunLibZuWarning(ZuVALUE* rtn, ZuVALUE* args, int /*count*/)
{
    int previous = ZuRunGetWarning();
    if ((args[0].t & ZU_TYPE_MASK) == ZU_STRING && !(args[0].t & ZU_FLAG_NUL)) {
        // The calling Zu function is the one running: its name heads the
        // warning.
        ZuRunUserWarning(nullptr, args[0].w2.s ? args[0].w2.s : "");
    } else {
        ZuLibCheckType(ZU_INT, args, 0, 0);
        ZuRunSetWarning(args[0].w1.i);
    }
    ZuValSetInt(rtn, previous);
}

void RunLibZuRunError(ZuVALUE* /*rtn*/, ZuVALUE* args, int count)
{
    ZuLibCheckType(ZU_STRING, args, 0, 0);
    bool traceOnly = false;
    if (count > 1) {
        ZuLibCheckType(ZU_INT, args, 1, 1);
        traceOnly = args[1].w1.i != 0;
    }
    ZuSetPrintlevel(1);
    if (args[0].w1.i > 0 && args[0].w2.s)
        ZuRunMessage(args[0].w2.s);
    if (traceOnly)
        ZuRunPrintCallStack();
    else
        ZuRunPrintErrorMsg(-1, nullptr);
    ZuRunErrorMessage(nullptr);
}

}  // namespace zu::run
