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

// triangles.cpp
ZU_ROUTINE(FnLower);
ZU_ROUTINE(FnUpper);
ZU_ROUTINE(FnSetlower);
ZU_ROUTINE(FnSetupper);
ZU_ROUTINE(FnSetdiagonal);
ZU_ROUTINE(FnSetbounds);
ZU_ROUTINE(FnDiag);
ZU_ROUTINE(FnDiagcat);
ZU_ROUTINE(FnVech);
ZU_ROUTINE(FnUnvech);
ZU_ROUTINE(FnToeplitz);
ZU_ROUTINE(FnTrace);
ZU_ROUTINE(FnOuter);

// statistics.cpp
ZU_ROUTINE(FnCorrelation);
ZU_ROUTINE(FnVariance);
ZU_ROUTINE(FnStandardize);
ZU_ROUTINE(FnMoments);
ZU_ROUTINE(FnQuantilec);
ZU_ROUTINE(FnQuantiler);
ZU_ROUTINE(FnLimits);
ZU_ROUTINE(FnRange);
ZU_ROUTINE(FnSumsqrc);
ZU_ROUTINE(FnSumsqrr);
ZU_ROUTINE(FnProdr);
ZU_ROUTINE(FnMin);
ZU_ROUTINE(FnMax);
ZU_ROUTINE(FnAny);
ZU_ROUTINE(FnNorm);
ZU_ROUTINE(FnOlsc);
ZU_ROUTINE(FnOlsr);
ZU_ROUTINE(FnOls2c);
ZU_ROUTINE(FnOls2r);

// comparisons.cpp
ZU_ROUTINE(FnIseq);
ZU_ROUTINE(FnIsfeq);
ZU_ROUTINE(FnIsdotfeq);
ZU_ROUTINE(FnIsdotinf);
ZU_ROUTINE(FnIsdotmissing);
ZU_ROUTINE(FnIsdotnan);
ZU_ROUTINE(FnIsmissing);
ZU_ROUTINE(FnIsnan);
ZU_ROUTINE(FnIdiv);
ZU_ROUTINE(FnImod);
ZU_ROUTINE(FnFmod);
ZU_ROUTINE(FnPow);
ZU_ROUTINE(FnAtan2);
ZU_ROUTINE(FnBincomp);
ZU_ROUTINE(FnTruncf);

// strings.cpp
ZU_ROUTINE(FnStrfind);
ZU_ROUTINE(FnStrifind);
ZU_ROUTINE(FnStrfindr);
ZU_ROUTINE(FnStrifindr);
ZU_ROUTINE(FnStrlwr);
ZU_ROUTINE(FnStrupr);
ZU_ROUTINE(FnStrtrim);
ZU_ROUTINE(FnGetenv);

// system_call.cpp
ZU_ROUTINE(FnSystemcall);

// selection.cpp
ZU_ROUTINE(FnSelectc);
ZU_ROUTINE(FnSelectr);
ZU_ROUTINE(FnDeletec);
ZU_ROUTINE(FnDeleter);
ZU_ROUTINE(FnSelectifc);
ZU_ROUTINE(FnSelectifr);
ZU_ROUTINE(FnDeleteifc);
ZU_ROUTINE(FnDeleteifr);
ZU_ROUTINE(FnDropc);
ZU_ROUTINE(FnDropr);
ZU_ROUTINE(FnInsertc);
ZU_ROUTINE(FnInsertr);
ZU_ROUTINE(FnSelectrc);
ZU_ROUTINE(FnSubmat);

// ordering.cpp
ZU_ROUTINE(FnReversec);
ZU_ROUTINE(FnReverser);
ZU_ROUTINE(FnSortbyc);
ZU_ROUTINE(FnSortbyr);
ZU_ROUTINE(FnSortr);
ZU_ROUTINE(FnSortcindex);
ZU_ROUTINE(FnMaxcindex);
ZU_ROUTINE(FnMincindex);
ZU_ROUTINE(FnVecindex);
ZU_ROUTINE(FnVecrindex);
ZU_ROUTINE(FnCountc);
ZU_ROUTINE(FnCountr);
ZU_ROUTINE(FnUnique);
ZU_ROUTINE(FnExclusion);
ZU_ROUTINE(FnIntersection);

// fourier.cpp
ZU_ROUTINE(FnFft);
ZU_ROUTINE(FnDfft);
ZU_ROUTINE(FnPeriodogram);

// time_series.cpp
ZU_ROUTINE(FnAcf);
ZU_ROUTINE(FnAggregatec);
ZU_ROUTINE(FnAggregater);
ZU_ROUTINE(FnDiscretize);
ZU_ROUTINE(FnSpline);

// arma.cpp
ZU_ROUTINE(FnArma0);
ZU_ROUTINE(FnArmaforc);
ZU_ROUTINE(FnArmagen);
ZU_ROUTINE(FnArmavar);
ZU_ROUTINE(FnDiffpow);
ZU_ROUTINE(FnModelforc);
ZU_ROUTINE(FnPacf);

// cumulation.cpp
ZU_ROUTINE(FnCumsum);
ZU_ROUTINE(FnCumulate);
ZU_ROUTINE(FnCumprod);
ZU_ROUTINE(FnLag0);
ZU_ROUTINE(FnDiff0);
ZU_ROUTINE(FnThinc);
ZU_ROUTINE(FnThinr);

// complex_numbers.cpp
ZU_ROUTINE(FnCabs);
ZU_ROUTINE(FnCdiv);
ZU_ROUTINE(FnCerf);
ZU_ROUTINE(FnCexp);
ZU_ROUTINE(FnClog);
ZU_ROUTINE(FnCmul);
ZU_ROUTINE(FnCsqrt);

// transcendental.cpp
ZU_ROUTINE(FnBessel);
ZU_ROUTINE(FnDawson);
ZU_ROUTINE(FnExpint);

// polynomials.cpp
ZU_ROUTINE(FnPolydiv);
ZU_ROUTINE(FnPolymake);
ZU_ROUTINE(FnPolymul);
ZU_ROUTINE(FnPolyroots);

// matrix_misc.cpp
ZU_ROUTINE(FnReflect);
ZU_ROUTINE(FnDiagonalize);
ZU_ROUTINE(FnFuzziness);
ZU_ROUTINE(FnZufilename);

// files.cpp
ZU_ROUTINE(FnChdir);
ZU_ROUTINE(FnFclose);
ZU_ROUTINE(FnFeof);
ZU_ROUTINE(FnFflush);
ZU_ROUTINE(FnFopen);
ZU_ROUTINE(FnFread);
ZU_ROUTINE(FnFremove);
ZU_ROUTINE(FnFseek);
ZU_ROUTINE(FnFsize);
ZU_ROUTINE(FnFwrite);
ZU_ROUTINE(FnGetcwd);

// scanning.cpp
ZU_ROUTINE(FnScan);
ZU_ROUTINE(FnFscan);
ZU_ROUTINE(FnSscan);

// The tolerance of the fuzzy comparisons (isfeq, isdotfeq) that fuzziness
// sets: SetFuzziness takes a positive finite eps (anything else leaves the
// setting) and returns the previous value.
inline constexpr double kDefaultFuzziness = 1e-13;
double SetFuzziness(double eps);
double DGetFuzziness();

#undef ZU_ROUTINE

}  // namespace zu::stdlib

#endif
