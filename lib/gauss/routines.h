// The library routines of the Gauss tables, by file.  Each has the routine
// signature of the internal-function table: result record, first argument
// record, argument count.
#pragma once

#include "zu.h"

namespace zu::gauss {

#define ZU_GAUSS_ROUTINE(name) void name(ZuVALUE* rtn, ZuVALUE* pv, int cArg)

// print_library.cpp
ZU_GAUSS_ROUTINE(FnGaussPrint);
ZU_GAUSS_ROUTINE(FnGaussPrintln);
ZU_GAUSS_ROUTINE(FnGaussFormat);
ZU_GAUSS_ROUTINE(FnGaussOutwidth);
ZU_GAUSS_ROUTINE(FnGaussHsec);

#undef ZU_GAUSS_ROUTINE

}  // namespace zu::gauss
