// Matrices of a given shape: zeros, ones, constant, unit, and diagonal.
/// @family Matrix construction
#include <cstddef>
#include <algorithm>

#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::DoubleOf;
using zu::value::IntOf;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::stdlib {
namespace {

// The shape from the arguments from `first` on: two dimensions converted to
// int; or one value: an int or a double is 1 by 1, a matrix gives its own
// shape, anything else must pass the matrix check and gives 0 by 0.
bool ShapeArguments(ZuVALUE* pv, int first, int cArg, int* r, int* c) {
    if (cArg - first >= 2) {
        if (ZuLibCheckType(ZU_INT, pv, first, first + 1) == 0) return false;
        *r = IntOf(&pv[first]);
        *c = IntOf(&pv[first + 1]);
        return true;
    }
    ZuVALUE* v = &pv[first];
    const int code = value::TypeCode(v);
    if (!value::IsNul(v) && (code == ZU_INT || code == ZU_DOUBLE)) {
        *r = *c = 1;
        return true;
    }
    if (value::IsMatrix(v)) {
        *r = Rows(v);
        *c = Columns(v);
        return true;
    }
    if (ZuLibCheckType(ZU_MATRIX, pv, first, first) == 0) return false;
    *r = *c = 0;
    return true;
}

// An r by c result with every element x; false when nothing was stored.
bool Filled(ZuVALUE* rtn, int r, int c, double x) {
    ZuLibValMatMalloc(rtn, r, c);
    if (!value::IsMatrix(rtn)) return false;
    for (int i = 0; i < r; ++i) std::fill_n(MatrixData(rtn)[i], c, x);
    return true;
}

void Constructor(ZuVALUE* rtn, ZuVALUE* pv, int cArg, double x) {
    int r = 0, c = 0;
    if (ShapeArguments(pv, 0, cArg, &r, &c)) (void)Filled(rtn, r, c, x);
}

}  // namespace

/// zeros(r [, c])
/// An `r` by `c` matrix of zeros. With one argument: a matrix gives its own shape, an int or a
/// double gives 1 by 1.
/// Example:
///     print(zeros(2, 3));
///     print(zeros(<1,2;3,4>));
void FnZeros(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { Constructor(rtn, pv, cArg, 0.0); }

/// ones(r [, c])
/// An `r` by `c` matrix of ones. With one argument: a matrix gives its own shape, an int or a
/// double gives 1 by 1.
/// Example:
///     print(ones(2, 3));
void FnOnes(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { Constructor(rtn, pv, cArg, 1.0); }

/// constant(d, r [, c])
/// An `r` by `c` matrix with every element `d`. With two arguments: a matrix `r` gives its own
/// shape, an int or a double gives 1 by 1.
/// Example:
///     print(constant(2.5, 2, 2));
///     print(constant(-1, <1,2,3>));
void FnConstant(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (ZuLibCheckType(ZU_DOUBLE, pv, 0, 0) == 0) return;
    int r = 0, c = 0;
    if (ShapeArguments(pv, 1, cArg, &r, &c)) (void)Filled(rtn, r, c, DoubleOf(&pv[0]));
}

/// unit(r [, c])
/// The `r` by `r` identity matrix, or with `c` the `r` by `c` matrix with ones on the
/// diagonal and zeros elsewhere. With one argument, `r` must be an int.
/// Example:
///     print(unit(3));
///     print(unit(2, 3));
void FnUnit(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    int r = 0, c = 0;
    if (cArg == 1) {
        if (ZuLibCheckType(ZU_INT, pv, 0, 0) == 0) return;
        r = c = IntOf(&pv[0]);
    } else if (!ShapeArguments(pv, 0, cArg, &r, &c)) {
        return;
    }
    if (!Filled(rtn, r, c, 0.0)) return;
    for (int i = 0; i < std::min(r, c); ++i) MatrixData(rtn)[i][i] = 1.0;
}

/// diagonal(m [, ...])
/// The diagonal of the matrix `m` as a row vector; a scalar gives itself as a 1 by 1 matrix.
/// The forms with further arguments are not supported: they are an argument error.
/// Example:
///     print(diagonal(<1,2;3,4;5,6>));
void FnDiagonal(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 1) {
        ZuLibArgError(1);
        return;
    }
    const int code = value::TypeCode(pv);
    if (!value::IsNul(pv) && (code == ZU_INT || code == ZU_DOUBLE)) {
        (void)Filled(rtn, 1, 1, code == ZU_INT ? Rows(pv) : DoubleOf(pv));
        return;
    }
    if (!value::IsMatrix(pv)) {
        ZuLibArgError(0);
        return;
    }
    if (Rows(pv) <= 0) {
        ZuLibValMatMalloc(rtn, 0, 0);
        return;
    }
    const int n = std::min(Rows(pv), Columns(pv));
    ZuLibValMatMalloc(rtn, 1, n);
    if (!value::IsMatrix(rtn)) return;
    for (int i = 0; i < n; ++i) MatrixData(rtn)[0][i] = MatrixData(pv)[i][i];
}

}  // namespace zu::stdlib
