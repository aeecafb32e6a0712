// Library functions over the inverses and the LU, LDL' and Choleski
// decompositions.  Each works on a copy of its argument, so an argument
// that is also an output (declu(a, &a, ...)) is read before it is replaced;
// outputs are written last.
/// @family Linear algebra

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "numerics/dense.h"
#include "numerics/kernels.h"
#include "console/run_error_codes.h"
#include "numerics/library.h"
#include "numerics/library_support.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::numerics {
namespace {

using library::Block;

// A copy of square argument k, owned here.
struct SquareWork {
    std::optional<Block> block;
    int n = 0;
    // False after a report (the check or a lack of memory).
    bool Open(ZuVALUE* pv, int k) {
        if (!library::SquareArg(pv, k)) return false;
        n = Rows(&pv[k]);
        block.emplace(n, n);
        if (!block->ok()) {
            library::OutOfMemory();
            return false;
        }
        if (n >= 1) MatCopy(block->m(), MatrixData(&pv[k]), n, n);
        return true;
    }
    double** m() const { return block->m(); }
};

// Argument k as a vector of n elements (a row or a column); false after
// the report.
bool VectorArg(ZuVALUE* pv, int k, int n) {
    if (!library::MatrixArg(pv, k)) return false;
    const int r = Rows(&pv[k]), c = Columns(&pv[k]);
    if ((r == 1 || c == 1) && r * c == n) return true;
    ZuLibCheckMatrixSize(pv, k, k, 1, n);
    return false;
}

// Element i of a vector argument checked by VectorArg.
double VectorAt(const ZuVALUE& v, int i) { return Columns(&v) == 1 ? MatrixData(&v)[i][0] : MatrixData(&v)[0][i]; }

// The sign (0 when singular) and log |det| of square argument k; false
// after a report.  A large argument goes to LAPACK as it is; otherwise a
// copy takes the exact LU.
bool ArgLogdet(ZuVALUE* pv, int k, double* logdet, int* sign) {
    if (!library::SquareArg(pv, k)) return false;
    if (LapackLogdet(MatrixData(&pv[k]), Rows(&pv[k]), logdet, sign)) return true;
    SquareWork w;
    if (!w.Open(pv, k)) return false;
    ScratchOf<int> perm;
    if (!library::Allocated(perm.Allocate(static_cast<std::size_t>(w.n)))) return false;
    if (w.n >= 1 && ILUPdec(w.m(), w.n, perm.data(), logdet, sign) != 0) *sign = 0;
    return true;
}

using library::Allocated;

// A copy of square argument k made in the result itself, for the functions
// that transform it in place and return it: at order 6000 a second copy
// costs as much as a tenth of the Choleski decomposition.
struct SquareResult {
    ZuVALUE* rtn = nullptr;
    int n = 0;
    // False after a report (the check or a lack of memory).
    bool Open(ZuVALUE* result, ZuVALUE* pv, int k) {
        if (!library::SquareArg(pv, k)) return false;
        rtn = result;
        n = Rows(&pv[k]);
        if (!library::ResultMatrix(rtn, n, n)) return false;
        if (n >= 1) MatCopy(m(), MatrixData(&pv[k]), n, n);
        return true;
    }
    double** m() const { return MatrixData(rtn); }
    // The decomposition failed: the int 0 for a result (first, so that
    // nothing is held should the warning stop the run), and the warning.
    void Fail() const {
        ZuValSetInt(rtn, 0);
        library::DecompositionFailed();
    }
};

// The generalized inverse V diag(1/s) U' of the r by c matrix a; singular
// values not above the tolerance times the largest count as zero.
bool GeneralizedInverse(double** a, int r, int c, double** out) {
    if (r < 1 || c < 1) return true;
    const int k = r < c ? r : c;
    Block u(r, k), v(c, k), work(r, c);
    Scratch sv;
    if (!u.ok() || !v.ok() || !work.ok() || !sv.Allocate(static_cast<std::size_t>(k))) return false;
    MatCopy(work.m(), a, r, c);
    if (IDecSVD(work.m(), r, c, sv.data(), u.m(), v.m()) != 0) return false;
    const double tolerance = DGetInvertEps() * sv.data()[0];
    for (int l = 0; l < k; ++l) {
        const double s = sv.data()[l];
        const double inverse = s > tolerance && s > 0 ? 1 / s : 0;
        for (int i = 0; i < c; ++i) v.m()[i][l] *= inverse;
    }
    MatABt(out, v.m(), c, k, u.m(), r);
    return true;
}

// The row order of an LU decomposition: row i of L U is row order[i] of A.
void RowOrder(const int* perm, int n, double* order) {
    for (int i = 0; i < n; ++i) order[i] = i;
    for (int k = 0; k < n; ++k) std::swap(order[k], order[perm[k]]);
}

// A new n x n matrix in an output (null when it is left out, or when it
// could not be had).
double** NewOutput(ZuVALUE* target, int n) {
    if (target == nullptr) return nullptr;
    ZuLibValMatMalloc(target, n, n);
    return value::IsMatrix(target) ? MatrixData(target) : nullptr;
}

// The unit lower (lower) or the upper triangle of the n x n LU factors into
// an output (null when it is left out).
void OutTriangle(ZuVALUE* target, double** lu, int n, bool lower) {
    if (target == nullptr) return;
    ZuLibValMatMalloc(target, n, n);
    if (!value::IsMatrix(target) || n < 1) return;
    double** out = MatrixData(target);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            out[i][j] = lower ? (i == j ? 1 : i > j ? lu[i][j] : 0) : (i <= j ? lu[i][j] : 0);
}

// Argument k as a right-hand side of n rows; false after the report.
bool RightHandSide(ZuVALUE* pv, int k, int n) {
    if (!library::MatrixArg(pv, k)) return false;
    if (Rows(&pv[k]) != n) {
        ZuLibCheckMatrixSize(pv, k, k, n, Columns(&pv[k]));
        return false;
    }
    return true;
}

// Solves the triangular systems column by column into x (n by m), which
// holds the right-hand side on entry.  Lower: forward with L's diagonal;
// upper: backward.  False when a diagonal element is 0.
bool SolveTriangular(double** t, int n, double** x, int m, bool lower) {
    for (int j = 0; j < m; ++j) {
        for (int s = 0; s < n; ++s) {
            const int i = lower ? s : n - 1 - s;
            double sum = x[i][j];
            if (lower)
                for (int l = 0; l < i; ++l) sum -= t[i][l] * x[l][j];
            else
                for (int l = i + 1; l < n; ++l) sum -= t[i][l] * x[l][j];
            if (t[i][i] == 0) return false;
            x[i][j] = sum / t[i][i];
        }
    }
    return true;
}

}  // namespace

/// invert(a [, &logdet [, &sign]])
/// The inverse of the square matrix a, by LU decomposition with partial pivoting. logdet receives log|det(a)|
/// and sign the sign of the determinant (-1 or 1, or -2 and 2 when the determinant is unreliable because a
/// pivot is close to the inversion tolerance).
/// Returns the inverse. When a is singular (a pivot not above the tolerance set by `inverteps`), the warning
/// "invert(): decomposition failed" is given, the result is the int 0, logdet receives a missing value and
/// sign 0.
/// Example:
///     decl logdet, sign;
///     print(invert(<2,1;1,3>, &logdet, &sign));
///     println("log|det| ", logdet, " sign ", sign);
///     println(invert(<1,2;2,4>));
void FnInvert(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* logdetOut = library::OutputArg(pv, 1, cArg);
    ZuVALUE* signOut = library::OutputArg(pv, 2, cArg);
    SquareResult w;
    if (!w.Open(rtn, pv, 0)) return;
    double logdet = 0;
    int sign = 1;
    if (w.n >= 1 && IInvDet(w.m(), w.n, &logdet, &sign) != 0) {
        w.Fail();
        library::OutDouble(logdetOut, NAN);
        library::OutInt(signOut, 0);
        return;
    }
    library::OutDouble(logdetOut, logdet);
    library::OutInt(signOut, sign);
}

/// inverteps(eps)
/// Sets the tolerance below which a pivot counts as zero in the inversions and decompositions (`invert`,
/// `invertsym`, `determinant`, `choleski`, `declu`, `decldl` and the generalized inverse of `invertgen`); it
/// starts at 2.220446049250313e-13. A negative eps leaves it unchanged.
/// Returns the tolerance in force after the call, so `inverteps(-1)` reads it.
/// Example:
///     println(inverteps(-1));
///     println(invert(<1e-14,0;0,1>));
///     inverteps(0);
///     print(invert(<1e-14,0;0,1>));
void FnInverteps(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    double eps = 0;
    if (!library::DoubleArg(pv, 0, &eps)) return;
    SetInvertEps(eps);
    ZuValSetDouble(rtn, DGetInvertEps());
}

/// invertsym(a [, &logdet])
/// The inverse of the symmetric positive definite matrix a, by LDL' decomposition of its lower triangle;
/// logdet receives log det(a).
/// Returns the inverse (symmetric). When a pivot is not above the inversion tolerance (a is not positive
/// definite), the warning "invertsym(): decomposition failed" is given, the result is the int 0 and logdet
/// receives a missing value.
/// Example:
///     decl logdet;
///     print(invertsym(<4,2;2,3>, &logdet));
///     println("log det ", logdet);
void FnInvertsym(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* logdetOut = library::OutputArg(pv, 1, cArg);
    SquareResult w;
    if (!w.Open(rtn, pv, 0)) return;
    double logdet = 0;
    if (w.n >= 1 && ISymInvDet(w.m(), w.n, &logdet) != 0) {
        w.Fail();
        library::OutDouble(logdetOut, NAN);
        return;
    }
    library::OutDouble(logdetOut, logdet);
}

/// invertgen(a [, mode])
/// The generalized (Moore-Penrose) inverse of the r by c matrix a, a c by r matrix, by singular value
/// decomposition; singular values not above the inversion tolerance times the largest count as zero. mode 0
/// (the default) always takes that route; mode 1 first tries the ordinary inverse of a square a, mode 2 the
/// symmetric inverse, and only when that fails gives the warning "invertgen: singular matrix" and falls back
/// on the generalized inverse. A mode outside 0 to 2 is an argument error.
/// Example:
///     print(invertgen(<1,2;2,4;3,6>));
///     print(invertgen(<2,1;1,3>, 1));
void FnInvertgen(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    int mode = 0;
    if (cArg > 1 && !library::IntArg(pv, 1, &mode)) return;
    if (mode < 0 || mode > 2) {
        ZuLibArgError(1);
        return;
    }
    if (!library::MatrixArg(pv, 0)) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]);
    Block out(c, r);
    if (!Allocated(out.ok())) return;
    if (mode != 0 && r == c && r >= 1) {
        MatCopy(out.m(), MatrixData(&pv[0]), r, r);
        if ((mode == 1 ? IInvert(out.m(), r) : ISymInv(out.m(), r)) == 0) {
            if (library::ResultMatrix(rtn, r, r)) MatCopy(MatrixData(rtn), out.m(), r, r);
            return;
        }
        library::Notice("invertgen: singular matrix");
    }
    if (!GeneralizedInverse(MatrixData(&pv[0]), r, c, out.m())) {
        ReportRunError(RunErrorCode::SvdFailed);
        return;
    }
    if (library::ResultMatrix(rtn, c, r) && r >= 1 && c >= 1) MatCopy(MatrixData(rtn), out.m(), c, r);
}

/// determinant(a)
/// The determinant of the square matrix a, from its LU decomposition. A singular a gives 0 with the warning
/// "determinant(): matrix is singular"; a determinant with a pivot near the inversion tolerance gives the
/// warning "determinant(): unreliable", and one beyond the range of doubles the warning "determinant():
/// overflow" or "determinant(): underflow". The determinant of a 0 by 0 matrix is 1.
/// Example:
///     println(determinant(<1,2;3,4>));
///     println(determinant(<0,1;1,0>));
void FnDeterminant(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    double logdet = 0;
    int sign = 1;
    if (!ArgLogdet(pv, 0, &logdet, &sign)) return;
    if (sign == 0) {
        library::Notice("determinant(): matrix is singular");
        ZuValSetDouble(rtn, 0);
        return;
    }
    if (std::abs(sign) == 2) library::Notice("determinant(): unreliable");
    if (logdet > std::log(DBL_MAX)) library::Notice("determinant(): overflow");
    if (logdet < std::log(DBL_MIN)) library::Notice("determinant(): underflow");
    ZuValSetDouble(rtn, (sign > 0 ? 1 : -1) * std::exp(logdet));
}

/// logdet(a, &sign)
/// The logarithm of the absolute determinant of the square matrix a, from its LU decomposition; sign receives
/// the sign of the determinant (-1 or 1; -2 or 2 when unreliable). A singular a gives a missing value and
/// sign 0. Pass 0 for sign to leave it out.
/// Example:
///     decl sign;
///     println(logdet(<1,2;3,4>, &sign), " ", sign);
///     println(exp(logdet(<1,2;3,4>, 0)));
void FnLogdet(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* signOut = library::OutputArg(pv, 1, cArg);
    double logdet = 0;
    int sign = 1;
    if (!ArgLogdet(pv, 0, &logdet, &sign)) return;
    ZuValSetDouble(rtn, sign == 0 ? NAN : logdet);
    library::OutInt(signOut, sign);
}

/// choleski(a)
/// The Choleski factor of the symmetric positive definite matrix a: the lower triangular L with a = L L'
/// (only the lower triangle of a is read). When a is not positive definite (a residual pivot not above the
/// inversion tolerance), the warning "choleski(): decomposition failed" is given and the result is the int 0.
/// Example:
///     decl l = choleski(<4,2;2,3>);
///     print(l, l * l');
void FnCholeski(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    SquareResult w;
    if (!w.Open(rtn, pv, 0)) return;
    if (w.n >= 1 && !FPPtDec(w.m(), w.n)) w.Fail();
}

/// declu(a, &l, &u, &p)
/// LU decomposition with partial pivoting of the square matrix a: l receives the unit lower triangular
/// factor, u the upper triangular factor, and p a row of row indices (from 0) such that row i of l*u is row
/// p[i] of a, that is `a[p][] == l * u`. Pass 0 to leave an output out.
/// Returns 1, or 0 when a is singular (the factors are still stored, with zeros from the failing pivot on).
/// Example:
///     decl l, u, p, a = <1,2;3,4>;
///     println(declu(a, &l, &u, &p));
///     print(l, u, p, a[p][] - l * u);
void FnDeclu(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* lOut = library::OutputArg(pv, 1, cArg);
    ZuVALUE* uOut = library::OutputArg(pv, 2, cArg);
    ZuVALUE* pOut = library::OutputArg(pv, 3, cArg);
    if (!library::SquareArg(pv, 0)) return;
    const int n = Rows(&pv[0]);
    ScratchOf<int> perm;
    Block p(1, n);
    if (!Allocated(perm.Allocate(static_cast<std::size_t>(n)) && p.ok())) return;
    // A large a goes to LAPACK as it is, and the factors come straight from
    // its column-major result into the outputs: no copy of a, and no copy
    // back into row order.
    Scratch lu;
    if (n >= 1 && LapackLUInto(MatrixData(&pv[0]), n, lu, perm.data())) {
        RowOrder(perm.data(), n, p.m()[0]);
        double** l = NewOutput(lOut, n);
        double** u = NewOutput(uOut, n);
        SplitLUFromColumnMajor(lu.data(), n, l, u);
        library::OutMatrix(pOut, p.m(), 1, n);
        ZuValSetInt(rtn, 1);
        return;
    }
    SquareWork w;
    if (!w.Open(pv, 0)) return;
    const bool ok = n < 1 || ILUPdec(w.m(), n, perm.data(), nullptr, nullptr) == 0;
    if (n >= 1) RowOrder(perm.data(), n, p.m()[0]);
    // The factors go straight from the work copy into the outputs: for a
    // large a, two more scratch matrices of its size would cost more than
    // the copying.
    OutTriangle(lOut, w.m(), n, true);
    OutTriangle(uOut, w.m(), n, false);
    library::OutMatrix(pOut, p.m(), 1, n);
    ZuValSetInt(rtn, ok ? 1 : 0);
}

/// solvelu(l, u, p, b)
/// Solves a x = b for x, with l, u and p the factors of a from `declu`: b is n by m (one system a column), p
/// a row or column of row indices. Returns the n by m solution. An index in p outside 0 to n-1 is an argument
/// error; a zero on the diagonal of u gives the warning "solvelu(): decomposition failed" and the result is
/// the int 0.
/// Example:
///     decl l, u, p, a = <1,2;3,4>;
///     declu(a, &l, &u, &p);
///     decl x = solvelu(l, u, p, <1;1>);
///     print(x, a * x);
void FnSolvelu(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    if (ZuLibCheckSquareMatrix(pv, 0, 1) == 0) return;
    const int n = Rows(&pv[0]);
    if (ZuLibCheckMatrixSize(pv, 1, 1, n, n) == 0) return;
    if (!VectorArg(pv, 2, n)) return;
    if (!RightHandSide(pv, 3, n)) return;
    const int m = Columns(&pv[3]);
    Block x(n, m);
    if (!Allocated(x.ok())) return;
    for (int i = 0; i < n; ++i) {
        int row = 0;
        if (!library::AsInt(VectorAt(pv[2], i), &row) || row < 0 || row >= n) {
            ZuLibArgError(2);
            return;
        }
        for (int j = 0; j < m; ++j) x.m()[i][j] = MatrixData(&pv[3])[row][j];
    }
    if (!SolveTriangular(MatrixData(&pv[0]), n, x.m(), m, true) ||
        !SolveTriangular(MatrixData(&pv[1]), n, x.m(), m, false)) {
        library::DecompositionFailed();
        return;
    }
    if (library::ResultMatrix(rtn, n, m) && n >= 1 && m >= 1) MatCopy(MatrixData(rtn), x.m(), n, m);
}

/// decldl(a, &l, &d)
/// LDL' decomposition of the symmetric positive definite matrix a (its lower triangle is read): a = l diag(d)
/// l' with l unit lower triangular; l receives the n by n factor and d a 1 by n row of the pivots. Pass 0 to
/// leave an output out.
/// Returns 1, or 0 when a pivot is not above the inversion tolerance; that pivot is then stored as 0.
/// Example:
///     decl l, d;
///     println(decldl(<4,2;2,3>, &l, &d));
///     print(l, d, l * diag(d) * l');
void FnDecldl(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* lOut = library::OutputArg(pv, 1, cArg);
    ZuVALUE* dOut = library::OutputArg(pv, 2, cArg);
    SquareWork w;
    if (!w.Open(pv, 0)) return;
    const int n = w.n;
    Block d(1, n);
    if (!Allocated(d.ok())) return;
    const bool ok = n < 1 || ILDLdec(w.m(), n >= 1 ? d.m()[0] : nullptr, n) == 0;
    for (int i = 0; i < n; ++i) {
        for (int j = i; j < n; ++j) w.m()[i][j] = i == j ? 1 : 0;
        const double inverse = d.m()[0][i];
        d.m()[0][i] = inverse >= DBL_MAX ? 0 : 1 / inverse;
    }
    library::OutMatrix(lOut, w.m(), n, n);
    library::OutMatrix(dOut, d.m(), 1, n);
    ZuValSetInt(rtn, ok ? 1 : 0);
}

/// solveldl(l, d, b)
/// Solves l diag(d) l' x = b for x, with l and d from `decldl` (d a row or column of n pivots, b n by m).
/// Returns the n by m solution; a zero pivot gives the warning "solveldl(): decomposition failed" and the
/// result is the int 0.
/// Example:
///     decl l, d;
///     decldl(<4,2;2,3>, &l, &d);
///     print(solveldl(l, d, <2;1>));
void FnSolveldl(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    if (!library::SquareArg(pv, 0)) return;
    const int n = Rows(&pv[0]);
    if (!VectorArg(pv, 1, n)) return;
    if (!RightHandSide(pv, 2, n)) return;
    const int m = Columns(&pv[2]);
    Block x(n, m), lt(n, n);
    if (!Allocated(x.ok() && lt.ok())) return;
    double** l = MatrixData(&pv[0]);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) lt.m()[i][j] = i == j ? 1 : i < j ? l[j][i] : 0;
    if (n >= 1 && m >= 1) MatCopy(x.m(), MatrixData(&pv[2]), n, m);
    bool ok = true;
    for (int i = 0; i < n && ok; ++i) {
        const double di = VectorAt(pv[1], i);
        ok = di != 0;
        for (int j = 0; j < m && ok; ++j) {
            double s = x.m()[i][j];
            for (int k = 0; k < i; ++k) s -= l[i][k] * x.m()[k][j];
            x.m()[i][j] = s;
        }
    }
    for (int i = 0; i < n && ok; ++i) {
        const double di = VectorAt(pv[1], i);
        for (int j = 0; j < m; ++j) x.m()[i][j] /= di;
    }
    if (!ok || !SolveTriangular(lt.m(), n, x.m(), m, false)) {
        library::DecompositionFailed();
        return;
    }
    if (library::ResultMatrix(rtn, n, m) && n >= 1 && m >= 1) MatCopy(MatrixData(rtn), x.m(), n, m);
}

}  // namespace zu::numerics
