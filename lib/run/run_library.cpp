// The engine's own library routines (see run_library.h).
#include "run/run_library.h"

#include "run/machine.h"

#include "value/value.h"

namespace zu::run {

void RunLibExit(ZuVALUE* /*rtn*/, ZuVALUE* args, int /*count*/) {
    ZuLibCheckType(ZU_INT, args, 0, 0);
    ZuSetUserExitCode(value::IntOf(&args[0]));
    vm.exitRequested = true;
    ZuRunErrorMessage(nullptr);
}

void RunLibZuWarning(ZuVALUE* rtn, ZuVALUE* args, int /*count*/) {
    int previous = ZuRunGetWarning();
    if (value::TypeCode(&args[0]) == ZU_STRING && !value::IsNul(&args[0])) {
        // The calling Zu function is the one running: its name heads the
        // warning.
        const char* text = value::StringText(&args[0]);
        ZuRunUserWarning(nullptr, text ? text : "");
    } else {
        ZuLibCheckType(ZU_INT, args, 0, 0);
        ZuRunSetWarning(value::IntOf(&args[0]));
    }
    ZuValSetInt(rtn, previous);
}

void RunLibZuRunError(ZuVALUE* /*rtn*/, ZuVALUE* args, int count) {
    ZuLibCheckType(ZU_STRING, args, 0, 0);
    bool traceOnly = false;
    if (count > 1) {
        ZuLibCheckType(ZU_INT, args, 1, 1);
        traceOnly = value::IntOf(&args[1]) != 0;
    }
    ZuSetPrintlevel(1);
    if (value::StringLength(&args[0]) > 0 && value::StringText(&args[0])) ZuRunMessage(value::StringText(&args[0]));
    if (traceOnly)
        ZuRunPrintCallStack();
    else
        ZuRunPrintErrorMsg(-1, nullptr);
    ZuRunErrorMessage(nullptr);
}

void RunLibVaArglist(ZuVALUE* rtn, ZuVALUE* /*args*/, int /*count*/) {
    // The running Zu function's arguments lie from ap up to its frame
    // record at bp - 1; those past its fixed ones are the "..." part.
    int passed = 0;
    if (vm.ap && vm.bp && vm.bp > vm.ap) passed = static_cast<int>(vm.bp - 1 - vm.ap);
    const int extra = passed > vm.paramCount ? passed - vm.paramCount : 0;
    ZuLibValArrayCalloc(rtn, extra);
    if (extra == 0 || value::TypeCode(rtn) != ZU_ARRAY) return;
    for (int k = 0; k < extra; ++k) {
        ZuVALUE* element = &value::Items(rtn)[k];
        *element = vm.ap[vm.paramCount + k];
        element->t &= ~(ZU_FLAG_VAL | ZU_FLAG_CON);
        ZuMakeByValue(element);
    }
}

}  // namespace zu::run
