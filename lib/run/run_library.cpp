// The engine's own library routines (see run_library.h).
#include "run/run_library.h"

#include "run/machine.h"

#include "value/value.h"

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

void RunLibVaArglist(ZuVALUE* rtn, ZuVALUE* /*args*/, int /*count*/)
{
    // The running Zu function's arguments lie from ap up to its frame
    // record at bp - 1; those past its fixed ones are the "..." part.
    int passed = 0;
    if (vm.ap && vm.bp && vm.bp > vm.ap)
        passed = static_cast<int>(vm.bp - 1 - vm.ap);
    const int extra = passed > vm.paramCount ? passed - vm.paramCount : 0;
    ZuLibValArrayCalloc(rtn, extra);
    if (extra == 0 || (rtn->t & ZU_TYPE_MASK) != ZU_ARRAY)
        return;
    for (int k = 0; k < extra; ++k) {
        ZuVALUE* element = &rtn->w2.v[k];
        *element = vm.ap[vm.paramCount + k];
        element->t &= ~(ZU_FLAG_VAL | ZU_FLAG_CON);
        ZuMakeByValue(element);
    }
}

}  // namespace zu::run
