// Operators, fast functions and casts as the run loop applies them.
#pragma once

#include "zu.h"

namespace zu::run {

// Applies the operator `code` (a token code) to the top entries of the
// value stack; the result replaces its operands.  Returns the new top.
// The operators that need the engine's registers or objects, "&" (32),
// "delete" (47) and "destruct" (132), are not handled here: for them, and
// for codes that name no operator, the stack is left unchanged.
ZuVALUE* DoOpr(ZuVALUE* sp, int code);

// Applies the fast built-in function `code` to the value in `top`, in place.
// The ZuGauss print codes 213 and 214 go to the Gauss mode's printer.
void DoFni(ZuVALUE* top, int code);

// The printer of a ZuGauss expression statement's value (FNI 213, and 214
// when a ";" ended the statement), installed by the Gauss mode; without
// one the codes do nothing.
using GaussPrintHook = void (*)(ZuVALUE* value, int endedBySemicolon);
void SetGaussPrintHook(GaussPrintHook hook);

}  // namespace zu::run
