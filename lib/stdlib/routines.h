// The library routines of this folder, by file.  Each has the routine
// signature of the internal-function table: result record, first argument
// record, argument count.  The registration tables (registration.cpp) are
// their only users besides the tests.
#ifndef ZU_STDLIB_ROUTINES_H
#define ZU_STDLIB_ROUTINES_H

#include "zu.h"

namespace zu::stdlib {

#define ZU_ROUTINE(name) void name(ZuVALUE* rtn, ZuVALUE* pv, int cArg)

// print_functions.cpp
ZU_ROUTINE(FnPrint);
ZU_ROUTINE(FnPrintln);
ZU_ROUTINE(FnEprint);
ZU_ROUTINE(FnFprint);
ZU_ROUTINE(FnFprintln);
ZU_ROUTINE(FnSprint);
ZU_ROUTINE(FnSprintbuffer);
ZU_ROUTINE(FnFormat);
ZU_ROUTINE(FnZuprintlevel);

// type_queries.cpp
ZU_ROUTINE(FnColumns);
ZU_ROUTINE(FnRows);
ZU_ROUTINE(FnSizeof);
ZU_ROUTINE(FnSizec);
ZU_ROUTINE(FnSizer);
ZU_ROUTINE(FnSizerc);
ZU_ROUTINE(FnIsarray);
ZU_ROUTINE(FnIsclass);
ZU_ROUTINE(FnIsdouble);
ZU_ROUTINE(FnIsfile);
ZU_ROUTINE(FnIsfunction);
ZU_ROUTINE(FnIsint);
ZU_ROUTINE(FnIsmatrix);
ZU_ROUTINE(FnIsstring);
ZU_ROUTINE(FnBinand);
ZU_ROUTINE(FnBinor);
ZU_ROUTINE(FnZuversion);

// run_control.cpp
ZU_ROUTINE(FnArglist);

// construction.cpp
ZU_ROUTINE(FnZeros);
ZU_ROUTINE(FnOnes);
ZU_ROUTINE(FnConstant);
ZU_ROUTINE(FnUnit);
ZU_ROUTINE(FnDiagonal);

// column_summaries.cpp
ZU_ROUTINE(FnSumc);
ZU_ROUTINE(FnSumr);
ZU_ROUTINE(FnMeanc);
ZU_ROUTINE(FnMeanr);
ZU_ROUTINE(FnVarc);
ZU_ROUTINE(FnVarr);
ZU_ROUTINE(FnProdc);
ZU_ROUTINE(FnMaxc);
ZU_ROUTINE(FnMinc);

// sorting.cpp
ZU_ROUTINE(FnSortc);

// reshaping.cpp
ZU_ROUTINE(FnVec);
ZU_ROUTINE(FnVecr);
ZU_ROUTINE(FnReshape);
ZU_ROUTINE(FnShape);

#undef ZU_ROUTINE

}  // namespace zu::stdlib

#endif
