// The Gauss printer: print and println with the format flags and Gauss's
// matrix layout, format, outwidth and hsec.
#pragma once

#include "zu.h"

namespace zu::gauss {

// The value of an expression statement, printed as "print value;" would.
void PrintExpressionValue(const ZuVALUE* value, bool endedBySemicolon);

// Back to the default format, width and line width (for __new__ and
// a new run).
void ResetGaussFormat();

}  // namespace zu::gauss
