// The assignment instructions beyond the assignment rule of indexing.h.
#pragma once

#include "zu.h"

namespace zu::run {

// MakeByValue on a stack entry: a vector is materialised, anything else
// gets its own copy of the data (error 4 when memory runs out).
void ZuRunMakeByValueEntry(ZuVALUE* v);

// XMV i: the top (a reference copy of the right-hand side) becomes its
// element i, moved out of the array; a non-array allows only i = 0.
void MoveElement(ZuVALUE* top, int i);

// XRS 1: an int or double variable becomes a 1 by 1 matrix (error 20 for
// a constant) and `top` a fresh reference copy of it.
void ScalarVariableToMatrix(ZuVALUE* variable, ZuVALUE* top);

// NTP form: the dimensions on top become the new value in the entry below
// them; returns the new top.
ZuVALUE* NewOfType(ZuVALUE* sp, int form);

}  // namespace zu::run
