// Matrix helpers and settings that fit no larger family: reflect,
// diagonalize, fuzziness (the tolerance of isfeq and isdotfeq) and
// zufilename.
/// @family Matrix construction
#include <algorithm>
#include <cmath>
#include <string>

#include "numerics/library_support.h"
#include "stdlib/argument_faults.h"
#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::MatrixData;
using zu::value::Rows;
using zu::value::StringLength;
using zu::value::StringText;

namespace zu::stdlib {
namespace {

namespace lib = numerics::library;

// Relative tolerance of the fuzzy comparisons; below 1 in magnitude it is
// absolute.  Process-wide, like the other settings of the library.
double g_fuzziness = kDefaultFuzziness;

bool MatrixOnly(ZuVALUE* pv, int k) {
    if (value::TypeCode(&pv[k]) == ZU_STRING) {
        ZuLibArgTypeError(k, ZU_MATRIX, ZU_STRING);
        return false;
    }
    return lib::MatrixArg(pv, k);
}

// The parts of a file name: the directory with its final separator, the
// base name, and the extension with its dot (a leading dot of the base name
// starts no extension).
struct NameParts {
    std::string directory, base, extension;
};

NameParts Split(const std::string& name) {
    const std::size_t slash = name.find_last_of("/\\");
    NameParts parts;
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    parts.directory = name.substr(0, start);
    const std::string file = name.substr(start);
    const std::size_t dot = file.find_last_of('.');
    if (dot == std::string::npos || dot == 0) {
        parts.base = file;
    } else {
        parts.base = file.substr(0, dot);
        parts.extension = file.substr(dot);
    }
    return parts;
}

// The file whose code is running: the open source, else the file the
// scanner last read, else the first program argument (the source name as
// the launcher passed it); empty in interactive mode.
std::string RunningFile() {
    if (const char* name = ZuGetSourceFilename(); name != nullptr) return name;
    if (const char* name = SZuScanFile(); name != nullptr) return name;
    int count = 0;
    char** strings = nullptr;
    ZuGetZuArgs(&count, &strings);
    if (count > 0 && strings != nullptr && strings[0] != nullptr && !ZuIsInteractive()) return strings[0];
    return {};
}

bool TextArg(ZuVALUE* pv, int k, std::string* out) {
    if (value::TypeCode(&pv[k]) != ZU_STRING || value::IsNul(&pv[k])) {
        ZuLibArgTypeError(k, ZU_STRING, value::TypeCode(&pv[k]));
        return false;
    }
    const ZuVALUE* v = &pv[k];
    *out = StringText(v) != nullptr && StringLength(v) > 0
               ? std::string(StringText(v), static_cast<std::size_t>(StringLength(v)))
               : std::string{};
    return true;
}

}  // namespace

double DGetFuzziness() { return g_fuzziness; }

double SetFuzziness(double eps) {
    const double previous = g_fuzziness;
    if (eps > 0 && std::isfinite(eps)) g_fuzziness = eps;
    return previous;
}

/// reflect(m)
/// `m` reflected about its anti-diagonal, the transpose taken along the other diagonal: an r
/// by c matrix gives c by r with element [i][j] = m[r-1-j][c-1-i]. A persymmetric matrix (a
/// Toeplitz matrix, for one) is its own reflection.
/// Example:
///     print(reflect(<1,2,3;4,5,6>));
void FnReflect(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!MatrixOnly(pv, 0)) return;
    const int r = Rows(pv), c = Columns(pv);
    double** m = MatrixData(pv);
    if (!lib::Allocated(lib::ResultMatrix(rtn, c, r))) return;
    for (int i = 0; i < c; ++i)
        for (int j = 0; j < r; ++j) MatrixData(rtn)[i][j] = m[r - 1 - j][c - 1 - i];
}

/// diagonalize(m)
/// A matrix of the shape of `m` holding the diagonal of `m` and zeros elsewhere.
/// Example:
///     print(diagonalize(<1,2;3,4;5,6>));
void FnDiagonalize(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!MatrixOnly(pv, 0)) return;
    const int r = Rows(pv), c = Columns(pv);
    double** m = MatrixData(pv);
    if (!lib::Allocated(lib::ResultMatrix(rtn, r, c)) || r < 1 || c < 1) return;
    MatZero(MatrixData(rtn), r, c);
    for (int i = 0; i < std::min(r, c); ++i) MatrixData(rtn)[i][i] = m[i][i];
}

/// fuzziness(eps)
/// Sets the tolerance of `isfeq` and `isdotfeq` (relative, and absolute below 1 in magnitude;
/// 1e-13 at start) to `eps` when `eps` is a positive finite number, and returns the previous
/// tolerance; any other `eps` (0, say) only returns it.
/// Family: Comparisons
/// Example:
///     println(fuzziness(0), " ", isfeq(1, 1.001));
///     fuzziness(0.01);
///     println(isfeq(1, 1.001));
void FnFuzziness(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (value::TypeCode(pv) == ZU_STRING) {
        ZuLibArgTypeError(0, ZU_DOUBLE, ZU_STRING);
        return;
    }
    double eps = 0.0;
    if (!lib::DoubleArg(pv, 0, &eps)) return;
    ZuValSetDouble(rtn, SetFuzziness(eps));
}

/// zufilename(parts [, name])
/// Parts of the name of the running source file (or of the file name given as `name`), as a
/// string. `parts` is a string of the letters "p" (the directory with its final "/"), "n"
/// (the base name) and "e" (the extension with its dot), joined in that order whatever order
/// they are given in; "" gives the whole name. In interactive mode there is no file and the
/// name is "".
/// Family: System
/// Example:
///     println(zufilename("ne"), " ", zufilename("n", "/data/run.2/model.zu"));
///     println(zufilename("pe", "/data/run.2/model.zu"));
void FnZufilename(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 2) {
        ZuLibArgError(2);
        return;
    }
    std::string parts, name;
    if (!TextArg(pv, 0, &parts)) return;
    if (cArg > 1) {
        if (!TextArg(pv, 1, &name)) return;
    } else {
        name = RunningFile();
    }
    if (parts.find_first_not_of("pne") != std::string::npos) {
        ArgumentFault(0, "parts must be letters of \"pne\"");
        return;
    }
    const NameParts split = Split(name);
    std::string text;
    if (parts.empty()) text = name;
    if (parts.find('p') != std::string::npos) text += split.directory;
    if (parts.find('n') != std::string::npos) text += split.base;
    if (parts.find('e') != std::string::npos) text += split.extension;
    ZuValSetString(rtn, text.c_str());
}

}  // namespace zu::stdlib
