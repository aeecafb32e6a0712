// Library routines that belong to the engine: they end the run or work on
// its warnings and error reports.  The standard library enters them in
// its tables under these names:
//   "c$exit"        RunLibExit        (exactly 1 argument)
//   "c$zuwarning"   RunLibZuWarning   (exactly 1 argument)
//   "c$zurunerror"  RunLibZuRunError  (1 or more arguments)
//   "$va_arglist"   RunLibVaArglist   (no arguments)
#pragma once

#include "zu.h"

namespace zu::run {

// exit(n): records n as the user exit code and ends the run without a
// message.
void RunLibExit(ZuVALUE* rtn, ZuVALUE* args, int count);

// zuwarning(mask) sets the warning mask; zuwarning("text") issues a user
// warning under the calling function's name.  Both return the previous
// mask.
void RunLibZuWarning(ZuVALUE* rtn, ZuVALUE* args, int count);

// zurunerror(text [, traceOnly]): prints the text when it is not empty,
// then the call trace alone (traceOnly non-zero) or the location, and ends
// the run as a run-time error.
void RunLibZuRunError(ZuVALUE* rtn, ZuVALUE* args, int count);

// va_arglist(): a by-value array of the arguments that the running Zu
// function received for its "...", in order; empty outside such a call.
void RunLibVaArglist(ZuVALUE* rtn, ZuVALUE* args, int count);

}  // namespace zu::run
