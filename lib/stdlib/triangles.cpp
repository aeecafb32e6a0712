// Triangles, diagonals and structured matrices: lower, upper, setlower,
// setupper, setdiagonal, setbounds, diag, diagcat, vech, unvech, toeplitz,
// trace and outer.
/// @family Matrix construction
#include <algorithm>
#include <climits>
#include <cmath>
#include <string_view>

#include "numerics/library_support.h"
#include "console/run_error_codes.h"
#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::DoubleOf;
using zu::value::MatrixData;
using zu::value::Rows;
using zu::value::StringLength;
using zu::value::StringText;

namespace zu::stdlib {
namespace {

namespace lib = numerics::library;


// An operand that is either one scalar for every element or a matrix of
// the shape being filled.
struct Source {
    double** m = nullptr;
    double s = 0.0;
    double At(int i, int j) const { return m != nullptr ? m[i][j] : s; }
};

// Argument k as a scalar (an int, a double or a 1 by 1 matrix) or as an r
// by c matrix; false after the report.
bool SourceArg(ZuVALUE* pv, int k, int r, int c, Source* out) {
    ZuVALUE* v = &pv[k];
    if (value::IsMatrix(v) && !(Rows(v) == 1 && Columns(v) == 1)) {
        if (ZuLibCheckMatrixSize(pv, k, k, r, c) == 0) return false;
        out->m = MatrixData(v);
        return true;
    }
    if (value::TypeCode(v) == ZU_STRING) {
        ZuLibArgTypeError(k, ZU_DOUBLE, ZU_STRING);
        return false;
    }
    if (ZuLibCheckType(ZU_DOUBLE, pv, k, k) == 0) return false;
    out->s = DoubleOf(v);
    return true;
}

// The elements of a row or column vector; a matrix of another shape is
// refused with the argument error.  A scalar is a vector of one element.
struct Vector {
    double** m = nullptr;
    bool row = true;
    int n = 0;
    double at(int k) const { return row ? m[0][k] : m[k][0]; }
};

bool VectorArg(ZuVALUE* pv, int k, Vector* out) {
    if (value::TypeCode(&pv[k]) == ZU_STRING) {
        ZuLibArgTypeError(k, ZU_MATRIX, ZU_STRING);
        return false;
    }
    if (!lib::MatrixArg(pv, k)) return false;
    const int r = Rows(&pv[k]), c = Columns(&pv[k]);
    if (r == 0 || c == 0) {
        *out = Vector{nullptr, true, 0};
        return true;
    }
    if (r != 1 && c != 1) {
        ZuLibArgError(k);
        return false;
    }
    *out = Vector{MatrixData(&pv[k]), r == 1, r * c};
    return true;
}

// A copy of the matrix argument 0 in the result; false when nothing was made.
bool CopyOfFirst(ZuVALUE* rtn, ZuVALUE* pv) {
    if (!lib::MatrixArg(pv, 0)) return false;
    const int r = Rows(pv), c = Columns(pv);
    ZuLibValMatDup(rtn, MatrixData(pv), r, c);
    return value::IsMatrix(rtn);
}

// A result of r by c zeros; false when nothing was made.
bool ZeroResult(ZuVALUE* rtn, int r, int c) {
    if (!lib::ResultMatrix(rtn, r, c)) return false;
    if (r >= 1 && c >= 1) MatZero(MatrixData(rtn), r, c);
    return true;
}

// Keeps the elements of one triangle (with the diagonal) and zeroes the rest.
void KeepTriangle(ZuVALUE* rtn, ZuVALUE* pv, bool lower) {
    if (!CopyOfFirst(rtn, pv)) return;
    const int r = Rows(rtn), c = Columns(rtn);
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j)
            if (lower ? j > i : j < i) MatrixData(rtn)[i][j] = 0.0;
}

// setlower and setupper: the strict triangle from argument 1, and the
// diagonal from argument 2 when it is given.
void SetTriangle(ZuVALUE* rtn, ZuVALUE* pv, int cArg, bool lower) {
    if (cArg > 3) {
        ZuLibArgError(3);
        return;
    }
    if (!lib::MatrixArg(pv, 0)) return;
    const int r = Rows(pv), c = Columns(pv);
    Source part, diagonal;
    if (!SourceArg(pv, 1, r, c, &part)) return;
    if (cArg > 2 && !SourceArg(pv, 2, r, c, &diagonal)) return;
    if (!CopyOfFirst(rtn, pv)) return;
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j) {
            if (lower ? j < i : j > i) MatrixData(rtn)[i][j] = part.At(i, j);
            if (j == i && cArg > 2) MatrixData(rtn)[i][j] = diagonal.At(i, j);
        }
    }
}

// Clamps x into [lo, hi]; a missing bound leaves that side open and a
// missing x stays missing.
double Bounded(double x, double lo, double hi) {
    if (x < lo) return lo;
    if (x > hi) return hi;
    return x;
}

bool IsTextAt(ZuVALUE* pv, int k) {
    if (value::TypeCode(&pv[k]) != ZU_STRING) return false;
    ZuLibArgTypeError(k, ZU_DOUBLE, ZU_STRING);
    return true;
}

// The first n where n (n + 1) / 2 is `count`, or -1 when there is none.
int TriangleOrder(int count) {
    int n = static_cast<int>((std::sqrt(8.0 * count + 1.0) - 1.0) / 2.0);
    for (int guess = std::max(0, n - 1); guess <= n + 1; ++guess) {
        if (static_cast<long long>(guess) * (guess + 1) / 2 == count) return guess;
    }
    return -1;
}

// The result x m x' (r by r), or only its diagonal (r by 1).
void QuadraticForm(ZuVALUE* rtn, double** x, int r, int c, double** m, bool diagonalOnly) {
    lib::Block xm(r, c);
    if (!xm.ok()) {
        lib::OutOfMemory();
        return;
    }
    if (r >= 1 && c >= 1) MatAB(xm.m(), x, r, c, m, c);
    if (diagonalOnly) {
        if (!ZeroResult(rtn, r, 1)) return;
        for (int i = 0; i < r; ++i)
            for (int j = 0; j < c; ++j) MatrixData(rtn)[i][0] += xm.m()[i][j] * x[i][j];
        return;
    }
    if (!ZeroResult(rtn, r, r)) return;
    if (r >= 1 && c >= 1) MatABt(MatrixData(rtn), xm.m(), r, c, x, r);
}

}  // namespace

/// lower(m)
/// A copy of `m` keeping the lower triangle with the diagonal, the elements above the diagonal
/// set to 0; `m` need not be square.
/// Example:
///     print(lower(<1,2,3;4,5,6;7,8,9>));
void FnLower(ZuVALUE* rtn, ZuVALUE* pv, int) { KeepTriangle(rtn, pv, true); }

/// upper(m)
/// A copy of `m` keeping the upper triangle with the diagonal, the elements below the diagonal
/// set to 0; `m` need not be square.
/// Example:
///     print(upper(<1,2,3;4,5,6;7,8,9>));
void FnUpper(ZuVALUE* rtn, ZuVALUE* pv, int) { KeepTriangle(rtn, pv, false); }

/// setlower(m, a [, d])
/// A copy of `m` whose elements below the diagonal are `a` (a scalar, or taken from a matrix
/// of the shape of `m`), and with `d` also the diagonal elements (a scalar or a matrix of the
/// shape of `m`).
/// Example:
///     print(setlower(ones(3, 3), 0, 5));
void FnSetlower(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { SetTriangle(rtn, pv, cArg, true); }

/// setupper(m, a [, d])
/// As `setlower` for the elements above the diagonal.
/// Example:
///     print(setupper(ones(3, 3), <1,2,3;4,5,6;7,8,9>));
void FnSetupper(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { SetTriangle(rtn, pv, cArg, false); }

/// setdiagonal(m, v)
/// A copy of `m` with its diagonal (min(r, c) elements) taken from `v`: a scalar for every
/// element, a row or column vector of min(r, c) elements in order, or the diagonal of a matrix
/// of the shape of `m`.
/// Example:
///     print(setdiagonal(zeros(2, 3), <7,8>));
void FnSetdiagonal(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!lib::MatrixArg(pv, 0)) return;
    const int r = Rows(pv), c = Columns(pv), n = std::min(r, c);
    ZuVALUE* v = &pv[1];
    const bool isVector = value::IsMatrix(v) && (Rows(v) == 1 || Columns(v) == 1) && Rows(v) * Columns(v) == n && n > 1;
    Vector diagonal;
    Source source;
    if (isVector ? !VectorArg(pv, 1, &diagonal) : !SourceArg(pv, 1, r, c, &source)) return;
    if (!CopyOfFirst(rtn, pv)) return;
    for (int i = 0; i < n; ++i) MatrixData(rtn)[i][i] = isVector ? diagonal.at(i) : source.At(i, i);
}

/// setbounds(m, lo, hi)
/// Each element of `m` clamped into [`lo`, `hi`]; the bounds are scalars or matrices of the
/// shape of `m`. A missing bound (NaN) leaves that side open; missing elements stay missing.
/// Example:
///     print(setbounds(<-2,0.5,3,.NaN>, 0, 1), setbounds(<-2,5>, .NaN, 1));
void FnSetbounds(ZuVALUE* rtn, ZuVALUE* pv, int) {
    for (int k = 0; k < 3; ++k)
        if (IsTextAt(pv, k)) return;
    ZuFnDouble3(rtn, pv, Bounded);
}

/// diag(v)
/// The n by n diagonal matrix with the n elements of the row or column vector `v` on its
/// diagonal; a scalar gives 1 by 1, an empty matrix 0 by 0.
/// Example:
///     print(diag(<1,2,3>));
void FnDiag(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Vector v;
    if (!VectorArg(pv, 0, &v) || !ZeroResult(rtn, v.n, v.n)) return;
    for (int k = 0; k < v.n; ++k) MatrixData(rtn)[k][k] = v.at(k);
}

/// diagcat(a, b)
/// The block-diagonal matrix with `a` above left and `b` below right, zeros elsewhere; scalars
/// count as 1 by 1.
/// Example:
///     print(diagcat(<1,2;3,4>, 5));
void FnDiagcat(ZuVALUE* rtn, ZuVALUE* pv, int) {
    for (int k = 0; k < 2; ++k)
        if (IsTextAt(pv, k)) return;
    if (!lib::MatrixArg(pv, 0) || !lib::MatrixArg(pv, 1)) return;
    const int ra = Rows(&pv[0]), ca = Columns(&pv[0]), rb = Rows(&pv[1]), cb = Columns(&pv[1]);
    if (static_cast<long long>(ra) + rb > INT_MAX || static_cast<long long>(ca) + cb > INT_MAX) {
        ReportRunError(RunErrorCode::OutOfMemory);
        return;
    }
    if (!ZeroResult(rtn, ra + rb, ca + cb)) return;
    for (int i = 0; i < ra; ++i) std::copy_n(MatrixData(&pv[0])[i], ca, MatrixData(rtn)[i]);
    for (int i = 0; i < rb; ++i) std::copy_n(MatrixData(&pv[1])[i], cb, MatrixData(rtn)[ra + i] + ca);
}

/// vech(m)
/// The lower triangle of `m` with the diagonal, stacked column by column into one column:
/// m[0][0], m[1][0], ..., m[r-1][0], m[1][1], ...; an n by n matrix gives n (n + 1) / 2
/// elements.
/// Example:
///     print(vech(<1,2;3,4>));
void FnVech(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!lib::MatrixArg(pv, 0)) return;
    const int r = Rows(pv), c = Columns(pv), n = std::min(r, c);
    long long count = 0;
    for (int j = 0; j < n; ++j) count += r - j;
    if (count > INT_MAX) {
        ReportRunError(RunErrorCode::OutOfMemory);
        return;
    }
    if (!lib::ResultMatrix(rtn, static_cast<int>(count), 1)) return;
    int k = 0;
    for (int j = 0; j < n; ++j)
        for (int i = j; i < r; ++i) MatrixData(rtn)[k++][0] = MatrixData(pv)[i][j];
}

/// unvech(v)
/// The symmetric n by n matrix whose lower triangle, stacked by columns, is the vector `v` of
/// n (n + 1) / 2 elements: the reverse of `vech`. A length that is no such count is an
/// argument error.
/// Example:
///     print(unvech(<1;3;4>));
void FnUnvech(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Vector v;
    if (!VectorArg(pv, 0, &v)) return;
    const int n = TriangleOrder(v.n);
    if (n < 0) {
        ZuLibArgError(0);
        return;
    }
    if (!lib::ResultMatrix(rtn, n, n)) return;
    int k = 0;
    for (int j = 0; j < n; ++j)
        for (int i = j; i < n; ++i) MatrixData(rtn)[i][j] = MatrixData(rtn)[j][i] = v.at(k++);
}

/// toeplitz(v [, n])
/// The symmetric n by n Toeplitz matrix with element (i, j) = v[|i - j|], `v` being a row or
/// column vector; `n` defaults to the length of `v`, and elements beyond the end of `v` are 0.
/// Example:
///     print(toeplitz(<3,2,1>), toeplitz(<3,2>, 3));
void FnToeplitz(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 2) {
        ZuLibArgError(2);
        return;
    }
    Vector v;
    if (!VectorArg(pv, 0, &v)) return;
    int n = v.n;
    if (cArg > 1 && !lib::IntArg(pv, 1, &n)) return;
    if (!lib::ResultMatrix(rtn, n, n)) return;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const int lag = std::abs(i - j);
            MatrixData(rtn)[i][j] = lag < v.n ? v.at(lag) : 0.0;
        }
}

/// trace(m)
/// The sum of the min(r, c) diagonal elements of `m`, as a double (0 for an empty matrix).
/// Family: Linear algebra
/// Example:
///     println(trace(<1,2;3,4>));
void FnTrace(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (IsTextAt(pv, 0) || !lib::MatrixArg(pv, 0)) return;
    const int n = std::min(Rows(pv), Columns(pv));
    double sum = 0.0;
    for (int i = 0; i < n; ++i) sum += MatrixData(pv)[i][i];
    ZuValSetDouble(rtn, sum);
}

/// outer(x, m [, "d"])
/// The quadratic form x m x' of the r by c matrix `x`, r by r; `m` is a c by c matrix, or a
/// scalar s for s x x'. With "d" only the diagonal of x m x', as an r by 1 column.
/// Family: Linear algebra
/// Example:
///     decl x = <1,2;3,4>;
///     print(outer(x, unit(2)), outer(x, 2, "d"));
void FnOuter(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 3) {
        ZuLibArgError(3);
        return;
    }
    bool diagonalOnly = false;
    if (cArg > 2) {
        const ZuVALUE* option = &pv[2];
        if (value::TypeCode(option) != ZU_STRING || value::IsNul(option) ||
            std::string_view(StringText(option) != nullptr ? StringText(option) : "", StringLength(option)) != "d") {
            ZuLibArgError(2);
            return;
        }
        diagonalOnly = true;
    }
    if (IsTextAt(pv, 0) || IsTextAt(pv, 1) || !lib::MatrixArg(pv, 0)) return;
    const int r = Rows(pv), c = Columns(pv);
    Source m;
    if (!SourceArg(pv, 1, c, c, &m)) return;
    lib::Block scaled(c, c);
    if (!scaled.ok()) {
        lib::OutOfMemory();
        return;
    }
    for (int i = 0; i < c; ++i)
        for (int j = 0; j < c; ++j) scaled.m()[i][j] = m.m != nullptr ? m.m[i][j] : (i == j ? m.s : 0.0);
    QuadraticForm(rtn, MatrixData(pv), r, c, scaled.m(), diagonalOnly);
}

}  // namespace zu::stdlib
