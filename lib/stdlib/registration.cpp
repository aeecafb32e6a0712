// The registration lists and the seven registration functions.  Each list
// keeps the order in which its functions are entered; the internal-function
// table sorts them by name.  A name is absent from its list until its
// routine is written, so a program that calls it fails to link.
#include "stdlib/registration.h"

#include <array>

#include "numerics/library.h"
#include "stdlib/dates_library.h"
#include "stdlib/math_functions.h"
#include "stdlib/routines.h"
#include "run/run_library.h"

namespace zu::stdlib {
namespace {

constexpr LibraryFunction kStdLib[] = {
    {"c$acos", FnMath<MathAcos>, false},
    {"$arglist", FnArglist, false},
    {"c$asin", FnMath<MathAsin>, false},
    {"c$atan", FnMath<MathAtan>, false},
    {"ccc$betafunc", numerics::FnBetafunc, false},
    {"cc$binand", FnBinand, true},
    {"cc$binor", FnBinor, true},
    {"cc$binomial", numerics::FnBinomial, false},
    {"c$ceil", FnMath<MathCeil>, false},
    {"c$choleski", numerics::FnCholeski, false},
    {"c$columns", FnColumns, false},
    {"cc$constant", FnConstant, true},
    {"c$cos", FnMath<MathCos>, false},
    {"c$cosh", FnMath<MathCosh>, false},
    {"$date", FnDate, false},
    {"c$dayofcalendar", FnDayofcalendar, true},
    {"c$dayofcalender", FnDayofcalendar, true},
    {"c$dayofweek", FnDayofweek, true},
    {"ccc$decldl", numerics::FnDecldl, false},
    {"ccc$decldlband", numerics::FnDecldlband, false},
    {"cccc$declu", numerics::FnDeclu, false},
    {"cccc$decqr", numerics::FnDecqr, false},
    {"ccc$decqrupdate", numerics::FnDecqrupdate, true},
    {"c$decqrmul", numerics::FnDecqrmul, true},
    {"ccc$decschur", numerics::FnDecschur, true},
    {"ccccc$decschurgen", numerics::FnDecschurgen, true},
    {"c$decsvd", numerics::FnDecsvd, true},
    {"cc$denschi", numerics::FnDenschi, false},
    {"ccc$densf", numerics::FnDensf, false},
    {"c$densn", numerics::FnDensn, false},
    {"cc$denst", numerics::FnDenst, false},
    {"c$determinant", numerics::FnDeterminant, false},
    {"c$diagonal", FnDiagonal, true},
    {"cc$eigen", numerics::FnEigen, true},
    {"cc$eigensym", numerics::FnEigensym, true},
    {"cccc$eigensymgen", numerics::FnEigensymgen, false},
    {"c$erf", numerics::FnErf, false},
    {"c$exit", run::RunLibExit, false},
    {"c$exp", FnMath<MathExp>, false},
    {"c$fabs", FnMath<MathFabs>, false},
    {"c$factorial", numerics::FnFactorial, false},
    {"c$floor", FnMath<MathFloor>, false},
    {"c$gammafact", numerics::FnGammafact, false},
    {"cc$gammafunc", numerics::FnGammafunc, false},
    {"c$invert", numerics::FnInvert, true},
    {"c$inverteps", numerics::FnInverteps, false},
    {"c$invertgen", numerics::FnInvertgen, true},
    {"c$invertsym", numerics::FnInvertsym, true},
    {"c$isarray", FnIsarray, false},
    {"c$isclass", FnIsclass, true},
    {"c$isdouble", FnIsdouble, false},
    {"c$isfunction", FnIsfunction, false},
    {"c$isint", FnIsint, false},
    {"c$isfile", FnIsfile, false},
    {"c$ismatrix", FnIsmatrix, false},
    {"c$isstring", FnIsstring, false},
    {"c$log", FnMath<MathLog>, false},
    {"c$log10", FnMath<MathLog10>, false},
    {"cc$logdet", numerics::FnLogdet, false},
    {"c$loggamma", numerics::FnLoggamma, false},
    {"c$maxc", FnMaxc, false},
    {"c$meanc", FnMeanc, false},
    {"c$meanr", FnMeanr, false},
    {"c$minc", FnMinc, false},
    {"c$nullspace", numerics::FnNullspace, false},
    {"c$ones", FnOnes, true},
    {"c$zurunerror", run::RunLibZuRunError, true},
    {"$zuversion", FnZuversion, false},
    {"c$zuwarning", run::RunLibZuWarning, false},
    {"cc$polygamma", numerics::FnPolygamma, false},
    {"cc$probchi", numerics::FnProbchi, true},
    {"ccc$probf", numerics::FnProbf, true},
    {"c$probn", numerics::FnProbn, false},
    {"cc$probt", numerics::FnProbt, true},
    {"c$prodc", FnProdc, false},
    {"cc$quanchi", numerics::FnQuanchi, false},
    {"ccc$quanf", numerics::FnQuanf, false},
    {"c$quann", numerics::FnQuann, false},
    {"cc$quant", numerics::FnQuant, false},
    {"c$rank", numerics::FnRank, true},
    {"cc$rann", numerics::FnRann, false},
    {"c$ranseed", numerics::FnRanseed, false},
    {"cc$ranu", numerics::FnRanu, false},
    {"ccc$reshape", FnReshape, false},
    {"c$round", FnMath<MathRound>, false},
    {"c$rows", FnRows, false},
    {"ccc$shape", FnShape, false},
    {"c$sin", FnMath<MathSin>, false},
    {"c$sinh", FnMath<MathSinh>, false},
    {"c$sizec", FnSizec, false},
    {"c$sizeof", FnSizeof, false},
    {"c$sizer", FnSizer, false},
    {"c$sizerc", FnSizerc, false},
    {"ccc$solveldl", numerics::FnSolveldl, false},
    {"ccc$solveldlband", numerics::FnSolveldlband, false},
    {"cccc$solvelu", numerics::FnSolvelu, false},
    {"ccc$solvetoeplitz", numerics::FnSolvetoeplitz, true},
    {"c$sortc", FnSortc, false},
    {"c$sqr", FnMath<MathSqr>, false},
    {"c$sqrt", FnMath<MathSqrt>, false},
    {"c$sumc", FnSumc, false},
    {"c$sumr", FnSumr, false},
    {"cc$tailchi", numerics::FnTailchi, false},
    {"ccc$tailf", numerics::FnTailf, false},
    {"c$tailn", numerics::FnTailn, false},
    {"cc$tailt", numerics::FnTailt, false},
    {"c$tan", FnMath<MathTan>, false},
    {"c$tanh", FnMath<MathTanh>, false},
    {"$time", FnTime, false},
    {"$timer", FnTimer, false},
    {"c$timespan", FnTimespan, true},
    {"c$timestr", FnTimestr, false},
    {"c$timing", FnTiming, true},
    {"$today", FnToday, false},
    {"c$trunc", FnMath<MathTrunc>, false},
    {"c$unit", FnUnit, true},
    {"$va_arglist", run::RunLibVaArglist, false},
    {"c$varc", FnVarc, false},
    {"c$varr", FnVarr, false},
    {"c$vec", FnVec, false},
    {"c$vecr", FnVecr, false},
    {"c$zeros", FnZeros, true},
};

constexpr LibraryFunction kStdIOLib[] = {
    {"c$eprint", FnEprint, true},
    {"c$format", FnFormat, false},
    {"cc$fprint", FnFprint, true},
    {"cc$fprintln", FnFprintln, true},
    {"c$zuprintlevel", FnZuprintlevel, false},
    {"c$print", FnPrint, true},
    {"c$println", FnPrintln, true},
    {"c$sprint", FnSprint, true},
    {"c$sprintbuffer", FnSprintbuffer, false},
};

constexpr LibraryFunction kProbLib[] = {
    {"ccc$densbeta", numerics::FnDensbeta, false},
    {"ccc$densbinomial", numerics::FnDensbinomial, false},
    {"c$denscauchy", numerics::FnDenscauchy, false},
    {"cc$densexp", numerics::FnDensexp, false},
    {"ccc$densextremevalue", numerics::FnDensextremevalue, false},
    {"ccc$densgamma", numerics::FnDensgamma, false},
    {"cc$densgeometric", numerics::FnDensgeometric, false},
    {"ccccc$densgh", numerics::FnDensgh, false},
    {"cccc$densgig", numerics::FnDensgig, false},
    {"cccc$denshypergeometric", numerics::FnDenshypergeometric, false},
    {"ccc$densinvgaussian", numerics::FnDensinvgaussian, false},
    {"cc$denskernel", numerics::FnDenskernel, false},
    {"cc$denslogarithmic", numerics::FnDenslogarithmic, false},
    {"ccc$denslogistic", numerics::FnDenslogistic, false},
    {"c$denslogn", numerics::FnDenslogn, false},
    {"ccc$densmises", numerics::FnDensmises, false},
    {"ccc$densnegbin", numerics::FnDensnegbin, false},
    {"ccc$denspareto", numerics::FnDenspareto, false},
    {"cc$denspoisson", numerics::FnDenspoisson, false},
    {"ccc$densweibull", numerics::FnDensweibull, false},
    {"ccc$probbeta", numerics::FnProbbeta, false},
    {"ccc$probbinomial", numerics::FnProbbinomial, false},
    {"ccc$probbvn", numerics::FnProbbvn, false},
    {"c$probcauchy", numerics::FnProbcauchy, false},
    {"cc$probexp", numerics::FnProbexp, false},
    {"ccc$probextremevalue", numerics::FnProbextremevalue, false},
    {"ccc$probgamma", numerics::FnProbgamma, false},
    {"cc$probgeometric", numerics::FnProbgeometric, false},
    {"cccc$probhypergeometric", numerics::FnProbhypergeometric, false},
    {"ccc$probinvgaussian", numerics::FnProbinvgaussian, false},
    {"cc$problogarithmic", numerics::FnProblogarithmic, false},
    {"ccc$problogistic", numerics::FnProblogistic, false},
    {"c$problogn", numerics::FnProblogn, false},
    {"ccc$probmises", numerics::FnProbmises, false},
    {"cc$probmvn", numerics::FnProbmvn, false},
    {"ccc$probnegbin", numerics::FnProbnegbin, false},
    {"ccc$probpareto", numerics::FnProbpareto, false},
    {"cc$probpoisson", numerics::FnProbpoisson, false},
    {"ccc$probweibull", numerics::FnProbweibull, false},
    {"ccc$quanbeta", numerics::FnQuanbeta, false},
    {"ccc$quanbinomial", numerics::FnQuanbinomial, false},
    {"c$quancauchy", numerics::FnQuancauchy, false},
    {"cc$quanexp", numerics::FnQuanexp, false},
    {"ccc$quanextremevalue", numerics::FnQuanextremevalue, false},
    {"ccc$quangamma", numerics::FnQuangamma, false},
    {"cc$quangeometric", numerics::FnQuangeometric, false},
    {"cccc$quanhypergeometric", numerics::FnQuanhypergeometric, false},
    {"ccc$quaninvgaussian", numerics::FnQuaninvgaussian, false},
    {"ccc$quanlogistic", numerics::FnQuanlogistic, false},
    {"cc$quanlogarithmic", numerics::FnQuanlogarithmic, false},
    {"c$quanlogn", numerics::FnQuanlogn, false},
    {"ccc$quanmises", numerics::FnQuanmises, false},
    {"ccc$quannegbin", numerics::FnQuannegbin, false},
    {"ccc$quanpareto", numerics::FnQuanpareto, false},
    {"cc$quanpoisson", numerics::FnQuanpoisson, false},
    {"ccc$quanweibull", numerics::FnQuanweibull, false},
    {"cccc$ranbeta", numerics::FnRanbeta, false},
    {"cccc$ranbinomial", numerics::FnRanbinomial, false},
    {"cc$ranbrownianmotion", numerics::FnRanbrownianmotion, false},
    {"cc$rancauchy", numerics::FnRancauchy, false},
    {"ccc$ranchi", numerics::FnRanchi, false},
    {"cc$randirichlet", numerics::FnRandirichlet, false},
    {"ccc$ranexp", numerics::FnRanexp, false},
    {"cccc$ranextremevalue", numerics::FnRanextremevalue, false},
    {"cccc$ranf", numerics::FnRanf, false},
    {"cccc$rangamma", numerics::FnRangamma, false},
    {"ccc$rangeometric", numerics::FnRangeometric, false},
    {"cccccc$rangh", numerics::FnRangh, false},
    {"ccccc$rangig", numerics::FnRangig, false},
    {"ccccc$ranhypergeometric", numerics::FnRanhypergeometric, false},
    {"cccc$raninvgaussian", numerics::FnRaninvgaussian, false},
    {"ccc$ranlogarithmic", numerics::FnRanlogarithmic, false},
    {"cc$ranlogistic", numerics::FnRanlogistic, false},
    {"cc$ranlogn", numerics::FnRanlogn, false},
    {"ccc$ranmises", numerics::FnRanmises, false},
    {"cc$ranmultinomial", numerics::FnRanmultinomial, false},
    {"cccc$rannegbin", numerics::FnRannegbin, false},
    {"cccc$ranpareto", numerics::FnRanpareto, false},
    {"ccc$ranpoisson", numerics::FnRanpoisson, false},
    {"ccc$ranpoissonprocess", numerics::FnRanpoissonprocess, false},
    {"cccc$ranstable", numerics::FnRanstable, false},
    {"cc$ransubsample", numerics::FnRansubsample, false},
    {"cc$ranshuffle", numerics::FnRanshuffle, false},
    {"ccc$rant", numerics::FnRant, false},
    {"c$ranuorder", numerics::FnRanuorder, false},
    {"cccc$ranweibull", numerics::FnRanweibull, false},
    {"cc$ranwishart", numerics::FnRanwishart, true},
};

// Not written yet: the ARMA and Gauss-mode functions.
constexpr std::array<LibraryFunction, 0> kArmaLib{};
constexpr std::array<LibraryFunction, 0> kGaussStdLib{};
constexpr std::array<LibraryFunction, 0> kGaussStdIOLib{};

void Register(std::span<const LibraryFunction> list) {
    for (const LibraryFunction& f : list) (void)FZuLibAddFunction(f.declaration, f.routine, f.atLeast ? 1 : 0);
}

}  // namespace

std::span<const LibraryFunction> StdLibList() { return kStdLib; }
std::span<const LibraryFunction> StdIOLibList() { return kStdIOLib; }
std::span<const LibraryFunction> ArmaLibList() { return kArmaLib; }
std::span<const LibraryFunction> ProbLibList() { return kProbLib; }
std::span<const LibraryFunction> GaussStdLibList() { return kGaussStdLib; }
std::span<const LibraryFunction> GaussStdIOLibList() { return kGaussStdIOLib; }

}  // namespace zu::stdlib

using namespace zu::stdlib;

extern "C" {
void ZuAddStdLib(void) { Register(StdLibList()); }
void ZuAddStdIOLib(void) { Register(StdIOLibList()); }
void ZuAddArmaLib(void) { Register(ArmaLibList()); }
void ZuAddProbLib(void) { Register(ProbLibList()); }
void ZuAddGaussStdLib(void) { Register(GaussStdLibList()); }
void ZuAddGaussStdIOLib(void) { Register(GaussStdIOLibList()); }
}
