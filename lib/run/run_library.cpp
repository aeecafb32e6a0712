// The engine's own library routines (see run_library.h).
/// @family System
#include "run/run_library.h"

#include "run/machine.h"

#include "value/value.h"

namespace zu::run {

/// exit(code)
/// Ends the run at once, without a message, with the int `code` as the exit status of `zul`.
/// Example:
///     println("before exit");
///     exit(0);
///     println("not reached");
void RunLibExit(ZuVALUE* /*rtn*/, ZuVALUE* args, int /*count*/) {
    ZuLibCheckType(ZU_INT, args, 0, 0);
    ZuSetUserExitCode(value::IntOf(&args[0]));
    vm.exitRequested = true;
    ZuRunErrorMessage(nullptr);
}

/// zuwarning(mask)
/// With an int: sets the mask of the run-time warnings that are shown. With a string: issues
/// that text as a warning under the name of the calling function. Returns the previous mask.
/// Example:
///     decl old = zuwarning(0);
///     println(zuwarning(old) == 0);
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

/// zurunerror(text [, trace])
/// Ends the run as a run-time error: prints `text` when it is not empty, then the location of
/// the call, or the whole call trace when `trace` is non-zero. It does not return.
/// Example:
///     println("checking");
///     if (0) zurunerror("never reached");
///     println("fine");
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

/// va_arglist()
/// In a function declared with `...`: an array of the arguments it received for the `...`, in
/// order, as copies; an empty array outside such a call.
/// Example:
///     println(sizeof(va_arglist()));
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
