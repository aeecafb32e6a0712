// Calls and returns on the machine registers (vm).  The run loop writes
// its registers back before these and reads them again after.
#pragma once

#include "zu.h"

namespace zu::run {

// CAL n: calls the function value lying n entries below the top.  A Zu
// function gets its frame and vm.cp is set just before its first
// instruction; a library function has run when this returns, its result
// in the function's entry, which is the new top.
void DoCall(int n);

// RET r: 1 returns the top, 0 the int 0, -1 the int 0 without value.
void DoReturn(int r);

// The name part of a library function's declaration.
const char* LibraryName(const ZuVALUE* f);

}  // namespace zu::run
