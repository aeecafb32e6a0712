// The library functions over the kernels, the decompositions, the random
// numbers and the probability functions, by file.  Each has the routine
// signature of the internal-function table (result record, first argument
// record, argument count); the registration lists are their users.
#pragma once

#include "zu.h"

namespace zu::numerics {

#define ZU_NUMLIB_ROUTINE(name) void name(ZuVALUE* rtn, ZuVALUE* pv, int cArg)

// library_matrix.cpp: inverses, determinants, LU, LDL', Choleski
ZU_NUMLIB_ROUTINE(FnCholeski);
ZU_NUMLIB_ROUTINE(FnDecldl);
ZU_NUMLIB_ROUTINE(FnDeclu);
ZU_NUMLIB_ROUTINE(FnDeterminant);
ZU_NUMLIB_ROUTINE(FnInvert);
ZU_NUMLIB_ROUTINE(FnInverteps);
ZU_NUMLIB_ROUTINE(FnInvertgen);
ZU_NUMLIB_ROUTINE(FnInvertsym);
ZU_NUMLIB_ROUTINE(FnLogdet);
ZU_NUMLIB_ROUTINE(FnSolveldl);
ZU_NUMLIB_ROUTINE(FnSolvelu);

// library_eigen_qr_svd.cpp: eigenvalues, QR, singular values, rank
ZU_NUMLIB_ROUTINE(FnDecqr);
ZU_NUMLIB_ROUTINE(FnDecsvd);
ZU_NUMLIB_ROUTINE(FnEigen);
ZU_NUMLIB_ROUTINE(FnEigensym);
ZU_NUMLIB_ROUTINE(FnNullspace);
ZU_NUMLIB_ROUTINE(FnRank);

// library_banded.cpp: band LDL' and its solve, symmetric Toeplitz solve
ZU_NUMLIB_ROUTINE(FnDecldlband);
ZU_NUMLIB_ROUTINE(FnSolveldlband);
ZU_NUMLIB_ROUTINE(FnSolvetoeplitz);

// library_qr_update.cpp: Givens update of QR factors, products with Q
ZU_NUMLIB_ROUTINE(FnDecqrmul);
ZU_NUMLIB_ROUTINE(FnDecqrupdate);

// library_schur.cpp: real and generalised Schur forms, generalised
// symmetric eigenvalues
ZU_NUMLIB_ROUTINE(FnDecschur);
ZU_NUMLIB_ROUTINE(FnDecschurgen);
ZU_NUMLIB_ROUTINE(FnEigensymgen);

// library_kernel_density.cpp, library_shuffle.cpp: the kernel density
// estimate, random permutations
ZU_NUMLIB_ROUTINE(FnDenskernel);
ZU_NUMLIB_ROUTINE(FnRanshuffle);

// library_random.cpp: the uniform and normal generators, the seed
ZU_NUMLIB_ROUTINE(FnRanu);
ZU_NUMLIB_ROUTINE(FnRann);
ZU_NUMLIB_ROUTINE(FnRanseed);

// library_random_draws.cpp: draws of the probability library
ZU_NUMLIB_ROUTINE(FnRanbeta);
ZU_NUMLIB_ROUTINE(FnRanbinomial);
ZU_NUMLIB_ROUTINE(FnRanbrownianmotion);
ZU_NUMLIB_ROUTINE(FnRancauchy);
ZU_NUMLIB_ROUTINE(FnRanchi);
ZU_NUMLIB_ROUTINE(FnRandirichlet);
ZU_NUMLIB_ROUTINE(FnRanexp);
ZU_NUMLIB_ROUTINE(FnRanextremevalue);
ZU_NUMLIB_ROUTINE(FnRanf);
ZU_NUMLIB_ROUTINE(FnRangamma);
ZU_NUMLIB_ROUTINE(FnRangeometric);
ZU_NUMLIB_ROUTINE(FnRangh);
ZU_NUMLIB_ROUTINE(FnRangig);
ZU_NUMLIB_ROUTINE(FnRanhypergeometric);
ZU_NUMLIB_ROUTINE(FnRaninvgaussian);
ZU_NUMLIB_ROUTINE(FnRanlogarithmic);
ZU_NUMLIB_ROUTINE(FnRanlogistic);
ZU_NUMLIB_ROUTINE(FnRanlogn);
ZU_NUMLIB_ROUTINE(FnRanmises);
ZU_NUMLIB_ROUTINE(FnRanmultinomial);
ZU_NUMLIB_ROUTINE(FnRannegbin);
ZU_NUMLIB_ROUTINE(FnRanpareto);
ZU_NUMLIB_ROUTINE(FnRanpoisson);
ZU_NUMLIB_ROUTINE(FnRanpoissonprocess);
ZU_NUMLIB_ROUTINE(FnRanstable);
ZU_NUMLIB_ROUTINE(FnRansubsample);
ZU_NUMLIB_ROUTINE(FnRant);
ZU_NUMLIB_ROUTINE(FnRanuorder);
ZU_NUMLIB_ROUTINE(FnRanweibull);
ZU_NUMLIB_ROUTINE(FnRanwishart);

// library_prob.cpp: the element-wise probability and special functions
#define ZU_NUMLIB_ONE(name, f)   ZU_NUMLIB_ROUTINE(name);
#define ZU_NUMLIB_TWO(name, f)   ZU_NUMLIB_ROUTINE(name);
#define ZU_NUMLIB_THREE(name, f) ZU_NUMLIB_ROUTINE(name);
#define ZU_NUMLIB_FOUR(name, f)  ZU_NUMLIB_ROUTINE(name);
#include "numerics/library_prob.def"
#undef ZU_NUMLIB_ONE
#undef ZU_NUMLIB_TWO
#undef ZU_NUMLIB_THREE
#undef ZU_NUMLIB_FOUR
ZU_NUMLIB_ROUTINE(FnPolygamma);
ZU_NUMLIB_ROUTINE(FnProbchi);
ZU_NUMLIB_ROUTINE(FnProbf);
ZU_NUMLIB_ROUTINE(FnProbt);
ZU_NUMLIB_ROUTINE(FnDensgh);
ZU_NUMLIB_ROUTINE(FnProbmvn);

#undef ZU_NUMLIB_ROUTINE

}  // namespace zu::numerics
