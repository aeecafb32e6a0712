// The registration lists of the two Gauss tables.  The names carry the
// namespace "gauss::" of the mode; a name is absent until its routine is
// written, so a program calling it fails to link.
#include "gauss/registration.h"

#include "gauss/routines.h"

namespace zu::gauss {
namespace {

constexpr LibraryFunction kGaussStdLib[] = {
    {"cc$gauss::__balance__", FnGaussBalance, false},
    {"cc$gauss::__strcmp__", FnGaussStrcmp, false},
    {"c$gauss::abs", FnGaussAbs, false},
    {"c$gauss::arccos", FnGaussArccos, false},
    {"c$gauss::arcsin", FnGaussArcsin, false},
    {"c$gauss::arctan", FnGaussArctan, false},
    {"cc$gauss::arctan2", FnGaussArctan2, false},
    {"c$gauss::atan", FnGaussArctan, false},
    {"cc$gauss::atan2", FnGaussArctan2, false},
    {"c$gauss::ceil", FnGaussCeil, false},
    {"cc$gauss::cdfchic", FnGaussCdfchic, false},
    {"cc$gauss::cdfchii", FnGaussCdfchii, false},
    {"ccc$gauss::cdffc", FnGaussCdffc, false},
    {"c$gauss::cdfn", FnGaussCdfn, false},
    {"c$gauss::cdfnc", FnGaussCdfnc, false},
    {"c$gauss::cdfni", FnGaussCdfni, false},
    {"cc$gauss::cdftc", FnGaussCdftc, false},
    {"c$gauss::cols", FnGaussCols, false},
    {"c$gauss::cos", FnGaussCos, false},
    {"c$gauss::cosh", FnGaussCosh, false},
    {"c$gauss::det", FnGaussDet, false},
    {"cc$gauss::diagrv", FnGaussDiagrv, false},
    {"cc$gauss::dlibrary", FnGaussDlibrary, false},
    {"cc$gauss::dllcall", FnGaussDllcall, false},
    {"c$gauss::erf", FnGaussErf, false},
    {"c$gauss::exp", FnGaussExp, false},
    {"c$gauss::eye", FnGaussEye, false},
    {"cc$gauss::feq", FnGaussFeq, false},
    {"c$gauss::floor", FnGaussFloor, false},
    {"cc$gauss::fmod", FnGaussFmod, false},
    {"c$gauss::gamma", FnGaussGamma, false},
    {"$gauss::hsec", FnGaussHsec, false},
    {"c$gauss::int", FnGaussInt, false},
    {"c$gauss::inv", FnGaussInv, false},
    {"c$gauss::invpd", FnGaussInvpd, false},
    {"c$gauss::ismiss", FnGaussIsmiss, false},
    {"c$gauss::ln", FnGaussLn, false},
    {"c$gauss::log", FnGaussLog, false},
    {"c$gauss::lowmat", FnGaussLowmat, false},
    {"c$gauss::meanc", FnGaussMeanc, false},
    {"c$gauss::median", FnGaussMedian, false},
    {"cc$gauss::ones", FnGaussOnes, false},
    {"c$gauss::pdfn", FnGaussPdfn, false},
    {"c$gauss::rank", FnGaussRank, false},
    {"c$gauss::rev", FnGaussRev, false},
    {"cc$gauss::rndn", FnGaussRndn, false},
    {"cc$gauss::rndu", FnGaussRndu, false},
    {"c$gauss::round", FnGaussRound, false},
    {"c$gauss::rows", FnGaussRows, false},
    {"c$gauss::sin", FnGaussSin, false},
    {"c$gauss::sinh", FnGaussSinh, false},
    {"c$gauss::sqrt", FnGaussSqrt, false},
    {"c$gauss::tan", FnGaussTan, false},
    {"c$gauss::tanh", FnGaussTanh, false},
    {"c$gauss::toeplitz", FnGaussToeplitz, false},
    {"c$gauss::trunc", FnGaussInt, false},
    {"c$gauss::__typecv__", FnGaussTypecv, false},
    {"c$gauss::__chars__", FnGaussChars, false},
    {"c$gauss::__elements__", FnGaussElements, false},
    {"c$gauss::upmat", FnGaussUpmat, false},
    {"c$gauss::vech", FnGaussVech, false},
    {"c$gauss::varget", FnGaussVarget, false},
    {"cc$gauss::varput", FnGaussVarput, false},
    {"c$gauss::xpnd", FnGaussXpnd, false},
    {"c$gauss::zeros", FnGaussZeros, true},
};

constexpr LibraryFunction kGaussStdIOLib[] = {
    {"c$gauss::__fclearerror__", FnGaussFclearerror, false},
    {"c$gauss::__ferror__", FnGaussFerror, false},
    {"cc$gauss::__fgets__", FnGaussFgets, true},
    {"$gauss::__strerror__", FnGaussStrerror, false},
    {"c$gauss::cdir", FnGaussCdir, false},
    {"c$gauss::filesa", FnGaussFilesa, false},
    {"ccc$gauss::format", FnGaussFormat, false},
    {"c$gauss::outwidth", FnGaussOutwidth, false},
    {"c$gauss::print", FnGaussPrint, true},
    {"c$gauss::println", FnGaussPrintln, true},
};

}  // namespace

std::span<const LibraryFunction> GaussStdLibList() { return kGaussStdLib; }
std::span<const LibraryFunction> GaussStdIOLibList() { return kGaussStdIOLib; }

}  // namespace zu::gauss

using namespace zu::gauss;

extern "C" {
void ZuAddGaussStdLib(void) { zu::value::RegisterFunctions(GaussStdLibList()); }
void ZuAddGaussStdIOLib(void) { zu::value::RegisterFunctions(GaussStdIOLibList()); }
}
