// Indexing and assignment as the run loop and the operators use them.
#pragma once

#include "zu.h"

namespace zu::run {

// Materialises a pending vector; with a non-null value, first assigns the
// value to the selected elements.
void ZuRunDoIndexVector(ZuVALUE* vector, ZuVALUE* value);

// The assignment rule: target takes the source's value.
void ZuRunDoAssignment(ZuVALUE* target, ZuVALUE* source);

// Turns an idx array into an independent by-value array.
void ZuRunArrayIndexMakeByValue(ZuVALUE* array);

}  // namespace zu::run
