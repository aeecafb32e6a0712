// Library functions over the factors of a QR decomposition: the Givens
// update that restores the triangular form of R after its columns were
// changed, and the products with Q that a regression on the decomposed
// matrix needs.  Both work on scratch copies and write their outputs last.
/// @family Linear algebra

#include <cmath>

#include "numerics/library.h"
#include "numerics/library_support.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::numerics {
namespace {

using library::Block;

using library::Allocated;

// The matrix that address argument k (&x) refers to; null when the
// argument is the int 0 that leaves it out, or after the report (for a
// value that is not a matrix, or a left-out argument that is required).
ZuVALUE* MatrixTarget(ZuVALUE* pv, int k, int cArg, bool required) {
    ZuVALUE* target = library::OutputArg(pv, k, cArg);
    if (target == nullptr) {
        if (required) ZuLibArgError(k);
        return nullptr;
    }
    if (ZuValType(target) != ZU_MATRIX || ZuValHasFlag(target, ZU_FLAG_NUL) != 0) {
        ZuLibArgTypeError(k, ZU_MATRIX, ZuValType(target));
        return nullptr;
    }
    return target;
}

// A scratch copy of an r by c matrix; false when memory ran out.
bool CopyInto(const Block& block, ZuVALUE* v, int r, int c) {
    if (!Allocated(block.ok())) return false;
    if (r >= 1 && c >= 1) MatCopy(block.m(), MatrixData(v), r, c);
    return true;
}

// The two factors being updated: R (k by c) and, when given, Q (rows by k).
struct Factors {
    double** r;
    int k;
    int c;
    double** q;  // null when Q was left out
    int rows;

    // Zeros r[i][j] by a rotation of rows i-1 and i of R over all its
    // columns, and the same rotation of columns i-1 and i of Q, so that
    // Q R is unchanged and Q keeps orthonormal columns.
    void Rotate(int i, int j) const {
        const double a = r[i - 1][j], b = r[i][j];
        const double h = std::hypot(a, b);
        if (!(h > 0) || !std::isfinite(h)) return;
        const double cs = a / h, sn = b / h;
        for (int l = 0; l < c; ++l) {
            const double x = r[i - 1][l], y = r[i][l];
            r[i - 1][l] = cs * x + sn * y;
            r[i][l] = cs * y - sn * x;
        }
        r[i - 1][j] = h;
        r[i][j] = 0;
        for (int l = 0; q != nullptr && l < rows; ++l) {
            const double x = q[l][i - 1], y = q[l][i];
            q[l][i - 1] = cs * x + sn * y;
            q[l][i] = cs * y - sn * x;
        }
    }

    // Clears column j below the diagonal from the bottom up; each rotation
    // fills at most the sub-diagonal of the columns after j, which the
    // next column's pass then clears.
    void ClearColumn(int j) const {
        for (int i = k - 1; i > j; --i)
            if (r[i][j] != 0) Rotate(i, j);
    }
};

// Argument k as a matrix of n rows; false after the report.
bool RowsArg(ZuVALUE* pv, int k, int n) {
    if (!library::MatrixArg(pv, k)) return false;
    if (Rows(&pv[k]) == n) return true;
    ZuLibCheckMatrixSize(pv, k, k, n, Columns(&pv[k]));
    return false;
}

// Q'B, and for the outputs that are asked for Q Q'B and B - Q Q'B; all
// are computed before the first is stored, since an output may name q or b.
void ProjectionProducts(ZuVALUE* rtn, ZuVALUE* pv, ZuVALUE* fitOut, ZuVALUE* residualOut) {
    const int rows = Rows(&pv[0]), k = Columns(&pv[0]), m = Columns(&pv[1]);
    double** q = MatrixData(&pv[0]);
    double** b = MatrixData(&pv[1]);
    const bool project = fitOut != nullptr || residualOut != nullptr;
    Block coefficients(k, m), fit(project ? rows : 0, m), residual(project ? rows : 0, m);
    if (!Allocated(coefficients.ok() && fit.ok() && residual.ok())) return;
    MatAtB(coefficients.m(), q, rows, k, b, m);
    if (project) {
        MatAB(fit.m(), q, rows, k, coefficients.m(), m);
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < m; ++j) residual.m()[i][j] = b[i][j] - fit.m()[i][j];
        library::OutMatrix(fitOut, fit.m(), rows, m);
        library::OutMatrix(residualOut, residual.m(), rows, m);
    }
    if (library::ResultMatrix(rtn, k, m) && k >= 1 && m >= 1) MatCopy(MatrixData(rtn), coefficients.m(), k, m);
}

}  // namespace

/// decqrupdate(&q, &r, i1 [, i2])
/// Brings the k by c matrix r back to upper triangular form in columns i1 to i2 (0 <= i1 <= c, i2 < c, by
/// default c-1; nothing is done when i2 < i1, so i1 = c is allowed), clearing each column below the diagonal
/// with Givens rotations of adjacent rows, and applies the same rotations to the columns of q (rows by k;
/// pass 0 to leave it out), so that q * r is unchanged. After removing column j of r this gives the factors
/// of the matrix without that column (i1 = j; the last row of r then becomes 0); after replacing or inserting
/// column j of r by q'z it gives the factors of the changed matrix when z lies in the column space of q
/// (always so for a square q).
/// Returns 1.
/// Example:
///     decl q, r, p, a = <1,2,3;1,3,5;1,5,6;1,7,9>;
///     decqr(a, &q, &r, &p);
///     r = dropc(r, <0>);      // drop the first pivoted column
///     decqrupdate(&q, &r, 0);
///     print(r);
///     println(norm(q * r - a[][p[1:]]) < 1e-12);
void FnDecqrupdate(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* qv = MatrixTarget(pv, 0, cArg, false);
    ZuVALUE* rv = MatrixTarget(pv, 1, cArg, true);
    int first = 0;
    if (rv == nullptr || !library::IntArg(pv, 2, &first)) return;
    const int k = Rows(rv), c = Columns(rv);
    int last = c - 1;
    if (cArg > 3 && !library::IntArg(pv, 3, &last)) return;
    if (first < 0 || first > c) {
        ZuLibArgError(2);
        return;
    }
    if (last < 0 ? cArg > 3 : last >= c) {
        ZuLibArgError(3);
        return;
    }
    const int rows = qv != nullptr ? Rows(qv) : 0;
    if (qv != nullptr && Columns(qv) != k) {
        if (ZuLibCheckMatrixSize(qv, 0, 0, rows, k) != 0) ZuLibArgError(0);
        return;
    }
    Block r(k, c), q(rows, k);
    if (!CopyInto(r, rv, k, c) || (qv != nullptr && !CopyInto(q, qv, rows, k))) return;
    const Factors factors{r.m(), k, c, qv != nullptr ? q.m() : nullptr, rows};
    for (int j = first; j <= last; ++j) factors.ClearColumn(j);
    if (qv != nullptr) library::OutMatrix(qv, q.m(), rows, k);
    library::OutMatrix(rv, r.m(), k, c);
    ZuValSetInt(rtn, 1);
}

/// decqrmul(q [, b [, &fit [, &residual]]])
/// With q alone, q'q (k by k for a rows by k q; the identity up to rounding for the q of `decqr`, which
/// checks it after updates). With b of as many rows as q, returns q'b (k by m), the coefficients of b on the
/// orthonormal columns of q; fit receives the projection q q'b of b on the column space of q and residual b -
/// q q'b. For a = q r these are the fitted values and residuals of the least-squares regression of b on a.
/// Example:
///     decl q, r, p, fit, res, a = <1,1;1,2;1,3>;
///     decqr(a, &q, &r, &p);
///     println(norm(decqrmul(q) - unit(2)) < 1e-12);
///     decqrmul(q, <1;2;4>, &fit, &res);
///     print(fit ~ res);
void FnDecqrmul(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* fitOut = library::OutputArg(pv, 2, cArg);
    ZuVALUE* residualOut = library::OutputArg(pv, 3, cArg);
    if (!library::MatrixArg(pv, 0)) return;
    const int rows = Rows(&pv[0]), k = Columns(&pv[0]);
    if (cArg < 2) {
        Block product(k, k);
        if (!Allocated(product.ok())) return;
        MatBtB(product.m(), MatrixData(&pv[0]), rows, k);
        if (library::ResultMatrix(rtn, k, k) && k >= 1) MatCopy(MatrixData(rtn), product.m(), k, k);
        return;
    }
    if (!RowsArg(pv, 1, rows)) return;
    ProjectionProducts(rtn, pv, fitOut, residualOut);
}

}  // namespace zu::numerics
