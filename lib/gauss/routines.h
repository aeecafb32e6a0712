// The library routines of the Gauss tables, by file.  Each has the routine
// signature of the internal-function table: result record, first argument
// record, argument count.
#pragma once

#include "zu.h"

namespace zu::gauss {

#define ZU_GAUSS_ROUTINE(name) void name(ZuVALUE* rtn, ZuVALUE* pv, int cArg)
// A routine that hands its arguments to an implementation template.
#define ZU_GAUSS_ROUTINE_DEFINE(name, impl) \
    void name(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { impl(rtn, pv, cArg); }

// print_library.cpp
ZU_GAUSS_ROUTINE(FnGaussPrint);
ZU_GAUSS_ROUTINE(FnGaussPrintln);
ZU_GAUSS_ROUTINE(FnGaussFormat);
ZU_GAUSS_ROUTINE(FnGaussOutwidth);
ZU_GAUSS_ROUTINE(FnGaussHsec);

// library_math.cpp
ZU_GAUSS_ROUTINE(FnGaussAbs);
ZU_GAUSS_ROUTINE(FnGaussArccos);
ZU_GAUSS_ROUTINE(FnGaussArcsin);
ZU_GAUSS_ROUTINE(FnGaussArctan);
ZU_GAUSS_ROUTINE(FnGaussArctan2);
ZU_GAUSS_ROUTINE(FnGaussCeil);
ZU_GAUSS_ROUTINE(FnGaussCos);
ZU_GAUSS_ROUTINE(FnGaussCosh);
ZU_GAUSS_ROUTINE(FnGaussSin);
ZU_GAUSS_ROUTINE(FnGaussSinh);
ZU_GAUSS_ROUTINE(FnGaussTan);
ZU_GAUSS_ROUTINE(FnGaussTanh);
ZU_GAUSS_ROUTINE(FnGaussErf);
ZU_GAUSS_ROUTINE(FnGaussExp);
ZU_GAUSS_ROUTINE(FnGaussFloor);
ZU_GAUSS_ROUTINE(FnGaussFmod);
ZU_GAUSS_ROUTINE(FnGaussGamma);
ZU_GAUSS_ROUTINE(FnGaussInt);
ZU_GAUSS_ROUTINE(FnGaussLn);
ZU_GAUSS_ROUTINE(FnGaussLog);
ZU_GAUSS_ROUTINE(FnGaussRound);
ZU_GAUSS_ROUTINE(FnGaussSqrt);
ZU_GAUSS_ROUTINE(FnGaussPdfn);
ZU_GAUSS_ROUTINE(FnGaussCdfn);
ZU_GAUSS_ROUTINE(FnGaussCdfnc);
ZU_GAUSS_ROUTINE(FnGaussCdfni);
ZU_GAUSS_ROUTINE(FnGaussCdfchic);
ZU_GAUSS_ROUTINE(FnGaussCdfchii);
ZU_GAUSS_ROUTINE(FnGaussCdftc);
ZU_GAUSS_ROUTINE(FnGaussCdffc);

// library_matrix.cpp
ZU_GAUSS_ROUTINE(FnGaussCols);
ZU_GAUSS_ROUTINE(FnGaussRows);
ZU_GAUSS_ROUTINE(FnGaussOnes);
ZU_GAUSS_ROUTINE(FnGaussZeros);
ZU_GAUSS_ROUTINE(FnGaussEye);
ZU_GAUSS_ROUTINE(FnGaussDiagrv);
ZU_GAUSS_ROUTINE(FnGaussLowmat);
ZU_GAUSS_ROUTINE(FnGaussUpmat);
ZU_GAUSS_ROUTINE(FnGaussVech);
ZU_GAUSS_ROUTINE(FnGaussXpnd);
ZU_GAUSS_ROUTINE(FnGaussToeplitz);
ZU_GAUSS_ROUTINE(FnGaussRev);
ZU_GAUSS_ROUTINE(FnGaussMeanc);
ZU_GAUSS_ROUTINE(FnGaussMedian);
ZU_GAUSS_ROUTINE(FnGaussIsmiss);
ZU_GAUSS_ROUTINE(FnGaussFeq);
ZU_GAUSS_ROUTINE(FnGaussInv);
ZU_GAUSS_ROUTINE(FnGaussInvpd);
ZU_GAUSS_ROUTINE(FnGaussDet);
ZU_GAUSS_ROUTINE(FnGaussRank);
ZU_GAUSS_ROUTINE(FnGaussRndn);
ZU_GAUSS_ROUTINE(FnGaussRndu);
ZU_GAUSS_ROUTINE(FnGaussBalance);

// library_system.cpp
ZU_GAUSS_ROUTINE(FnGaussVarget);
ZU_GAUSS_ROUTINE(FnGaussVarput);
ZU_GAUSS_ROUTINE(FnGaussStrcmp);
ZU_GAUSS_ROUTINE(FnGaussTypecv);
// Whether "trap 1;" is on: the functions Gauss traps then give a missing
// value instead of a run-time error.
bool ErrorsTrapped();

// library_characters.cpp
ZU_GAUSS_ROUTINE(FnGaussChars);
ZU_GAUSS_ROUTINE(FnGaussElements);

// library_dll.cpp
ZU_GAUSS_ROUTINE(FnGaussDlibrary);
ZU_GAUSS_ROUTINE(FnGaussDllcall);

// library_files.cpp
ZU_GAUSS_ROUTINE(FnGaussFgets);
ZU_GAUSS_ROUTINE(FnGaussFerror);
ZU_GAUSS_ROUTINE(FnGaussFclearerror);
ZU_GAUSS_ROUTINE(FnGaussStrerror);
ZU_GAUSS_ROUTINE(FnGaussCdir);
ZU_GAUSS_ROUTINE(FnGaussFilesa);

}  // namespace zu::gauss
