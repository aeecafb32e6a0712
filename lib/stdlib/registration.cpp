// The registration lists and the seven registration functions.  Each list
// keeps the order in which its functions are entered; the internal-function
// table sorts them by name.  A name is absent from its list until its
// routine is written, so a program that calls it fails to link.
#include "stdlib/registration.h"

#include <array>

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
    {"cc$binand", FnBinand, true},
    {"cc$binor", FnBinor, true},
    {"c$ceil", FnMath<MathCeil>, false},
    {"c$columns", FnColumns, false},
    {"cc$constant", FnConstant, true},
    {"c$cos", FnMath<MathCos>, false},
    {"c$cosh", FnMath<MathCosh>, false},
    {"c$diagonal", FnDiagonal, true},
    {"c$exit", run::RunLibExit, false},
    {"c$exp", FnMath<MathExp>, false},
    {"c$fabs", FnMath<MathFabs>, false},
    {"c$floor", FnMath<MathFloor>, false},
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
    {"c$maxc", FnMaxc, false},
    {"c$meanc", FnMeanc, false},
    {"c$meanr", FnMeanr, false},
    {"c$minc", FnMinc, false},
    {"c$ones", FnOnes, true},
    {"c$zurunerror", run::RunLibZuRunError, true},
    {"$zuversion", FnZuversion, false},
    {"c$zuwarning", run::RunLibZuWarning, false},
    {"c$prodc", FnProdc, false},
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
    {"c$sortc", FnSortc, false},
    {"c$sqr", FnMath<MathSqr>, false},
    {"c$sqrt", FnMath<MathSqrt>, false},
    {"c$sumc", FnSumc, false},
    {"c$sumr", FnSumr, false},
    {"c$tan", FnMath<MathTan>, false},
    {"c$tanh", FnMath<MathTanh>, false},
    {"c$trunc", FnMath<MathTrunc>, false},
    {"c$unit", FnUnit, true},
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

// Not written yet: the ARMA, probability and Gauss-mode functions.
constexpr std::array<LibraryFunction, 0> kArmaLib{};
constexpr std::array<LibraryFunction, 0> kProbLib{};
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
