// Library functions for structured symmetric systems: the LDL' decomposition
// of a band matrix held in band storage, the solve from its factors, and the
// Levinson solve of a symmetric Toeplitz system.
//
// Band storage of a symmetric matrix A of order n with p sub-diagonals is a
// (p+1) by n matrix B whose column j holds row j of the lower band:
// B[p-k][j] = A[j][j-k] for k = 0 .. min(p, j).  The last row is the
// diagonal; the first p-j elements of column j lie outside the matrix and
// are not read.  Nothing here builds an n by n matrix.
//
// Outputs given by address are written last, from scratch matrices, so an
// output may name an argument.
/// @family Linear algebra

#include <algorithm>
#include <cmath>

#include "numerics/dense.h"
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

// Element (i, j) of the band matrix, i - p <= j <= i.
inline double& BandAt(double** b, int p, int i, int j) { return b[p - (i - j)][i]; }

// Argument k as a row or column of n elements (empty for n = 0); false
// after the report.
bool VectorArg(ZuVALUE* pv, int k, int n) {
    if (!library::MatrixArg(pv, k)) return false;
    const int r = Rows(&pv[k]), c = Columns(&pv[k]);
    if (n == 0 && (r < 1 || c < 1)) return true;
    if ((r == 1 || c == 1) && static_cast<long long>(r) * c == n) return true;
    ZuLibCheckMatrixSize(pv, k, k, 1, n);
    return false;
}

// Element i of a vector argument.
double VectorAt(const ZuVALUE& v, int i) { return Columns(&v) == 1 ? MatrixData(&v)[i][0] : MatrixData(&v)[0][i]; }

// Argument k as a right-hand side of n rows; false after the report.
bool RightHandSide(ZuVALUE* pv, int k, int n) {
    if (!library::MatrixArg(pv, k)) return false;
    if (Rows(&pv[k]) == n) return true;
    ZuLibCheckMatrixSize(pv, k, k, n, Columns(&pv[k]));
    return false;
}

// The result takes the n by m work matrix.
void ResultFrom(ZuVALUE* rtn, const Block& x, int n, int m) {
    if (library::ResultMatrix(rtn, n, m) && n >= 1 && m >= 1) MatCopy(MatrixData(rtn), x.m(), n, m);
}

// Row i of the band factorization: on entry row i of A, on exit row i of
// L (unit diagonal) with its pivot in d[i].  Rows before i are final.  A
// pivot that fails the test is stored as 0 and its multipliers below as 0,
// so the later rows stay finite.  False when pivot i fails.
bool FactorBandRow(double** b, int p, int i, double* d, double eps) {
    const int lo = std::max(0, i - p);
    // First l(i,j) d(j), which the later columns of the row need unscaled.
    for (int j = lo; j < i; ++j) {
        double s = BandAt(b, p, i, j);
        for (int m = lo; m < j; ++m) s -= BandAt(b, p, i, m) * BandAt(b, p, j, m);
        BandAt(b, p, i, j) = s;
    }
    double residual = BandAt(b, p, i, i);
    for (int j = lo; j < i; ++j) {
        const double scaled = BandAt(b, p, i, j);
        const double lij = d[j] != 0 ? scaled / d[j] : 0;
        residual -= scaled * lij;
        BandAt(b, p, i, j) = lij;
    }
    BandAt(b, p, i, i) = 1;
    const bool ok = residual > eps;  // NaN fails
    d[i] = ok ? residual : 0;
    return ok;
}

// Factors the band matrix in place; the unused corner is cleared.  False
// when some pivot is not above the tolerance.
bool FactorBand(double** b, int p, int n, double* d) {
    const double eps = DGetInvertEps();
    bool ok = true;
    for (int i = 0; i < n; ++i) ok = FactorBandRow(b, p, i, d, eps) && ok;
    for (int j = 0; j < n && j < p; ++j)
        for (int row = 0; row < p - j; ++row) b[row][j] = 0;
    return ok;
}

// x (n by m, the right-hand side on entry) becomes the solution of
// L diag(d) L' x = b; false when a pivot is 0.
bool SolveBand(double** l, int p, int n, const ZuVALUE& d, double** x, int m) {
    for (int i = 0; i < n; ++i) {
        for (int j = std::max(0, i - p); j < i; ++j) {
            const double lij = BandAt(l, p, i, j);
            for (int c = 0; c < m; ++c) x[i][c] -= lij * x[j][c];
        }
    }
    for (int i = 0; i < n; ++i) {
        const double di = VectorAt(d, i);
        if (di == 0) return false;
        for (int c = 0; c < m; ++c) x[i][c] /= di;
    }
    for (int i = n - 1; i >= 0; --i) {
        const int hi = static_cast<int>(std::min<long long>(n - 1, static_cast<long long>(i) + p));
        for (int k = i + 1; k <= hi; ++k) {
            const double lki = BandAt(l, p, k, i);
            for (int c = 0; c < m; ++c) x[i][c] -= lki * x[k][c];
        }
    }
    return true;
}

// The Levinson recursion over the leading systems T_k of the Toeplitz
// matrix with first column r (order n).  a holds the Yule-Walker
// coefficients (T_k a = -(r1..rk)), e the prediction error variance, which
// is the k-th pivot of the LDL' of T; x (n by m, the right-hand side on
// entry) is extended one row a step.
class Levinson {
public:
    Levinson(const double* r, int n, double* a, double** x, int m, double* mu)
        : r_(r), n_(n), a_(a), x_(x), m_(m), mu_(mu) {}

    // Solves in place; false as soon as a pivot is not above the
    // tolerance.  logdet receives the sum of the logarithms of the pivots.
    bool Run(double* logdet) {
        // Relative to the diagonal r0, so that the units of the series do
        // not decide whether T is positive definite.
        const double eps = DGetInvertEps() * std::fabs(r_[0]);
        double e = r_[0];
        *logdet = 0;
        for (int k = 0; k < n_; ++k) {
            if (!(e > eps)) return false;  // NaN fails
            *logdet += std::log(e);
            ExtendSolution(k, e);
            if (k + 1 < n_) e = ExtendCoefficients(k, e);
        }
        return true;
    }

private:
    // x^(k+1) = (x^(k) + mu J a^(k), mu), J reversing the order.
    void ExtendSolution(int k, double e) {
        for (int c = 0; c < m_; ++c) {
            double s = x_[k][c];
            for (int i = 0; i < k; ++i) s -= r_[k - i] * x_[i][c];
            mu_[c] = s / e;
        }
        for (int i = 0; i < k; ++i)
            for (int c = 0; c < m_; ++c) x_[i][c] += mu_[c] * a_[k - 1 - i];
        for (int c = 0; c < m_; ++c) x_[k][c] = mu_[c];
    }

    // a^(k+1) = (a^(k) + alpha J a^(k), alpha); returns the next variance.
    double ExtendCoefficients(int k, double e) {
        double s = r_[k + 1];
        for (int i = 0; i < k; ++i) s += a_[i] * r_[k - i];
        const double alpha = -s / e;
        for (int i = 0, j = k - 1; i <= j; ++i, --j) {
            const double ai = a_[i], aj = a_[j];
            a_[i] = ai + alpha * aj;
            if (i != j) a_[j] = aj + alpha * ai;
        }
        a_[k] = alpha;
        return e * (1 - alpha * alpha);
    }

    const double* r_;
    int n_;
    double* a_;   // n_ coefficients at most
    double** x_;  // n_ by m_
    int m_;
    double* mu_;  // m_ multipliers of the current step
};

// Argument k as a row or column of at least n elements; false after the
// report.
bool LongEnoughVector(ZuVALUE* pv, int k, int n) {
    if (!library::MatrixArg(pv, k)) return false;
    const int r = Rows(&pv[k]), c = Columns(&pv[k]);
    if ((r == 1 || c == 1) && static_cast<long long>(r) * c >= n) return true;
    const bool column = c == 1 && r != 1;
    ZuLibCheckMatrixSize(pv, k, k, column ? n : 1, column ? 1 : n);
    return false;
}

}  // namespace

/// decldlband(b, &l, &d)
/// LDL' decomposition of a symmetric positive definite band matrix A given in band storage: b is (p+1) by n
/// for p sub-diagonals, column j holding row j of the lower band (b[p-k][j] is A[j][j-k]; the last row is the
/// diagonal, the first p-j elements of column j are not read). No n by n matrix is formed. l receives the
/// unit lower band factor in the same storage (last row all ones, unused corner 0) and d a 1 by n row of the
/// pivots, so that A = L diag(d) L'.
/// Returns 1, or 0 when a pivot is not above the inversion tolerance; that pivot and its multipliers are then
/// stored as 0.
/// Example:
///     // A = <4,1,0;1,4,1;0,1,4>: one sub-diagonal
///     decl l, d;
///     println(decldlband(<0,1,1;4,4,4>, &l, &d));
///     print(l, d);
void FnDecldlband(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* lOut = library::OutputArg(pv, 1, cArg);
    ZuVALUE* dOut = library::OutputArg(pv, 2, cArg);
    if (!library::MatrixArg(pv, 0)) return;
    const int rows = Rows(&pv[0]), n = Columns(&pv[0]);
    Block l(rows, n), d(1, n);
    if (!Allocated(l.ok() && d.ok())) return;
    bool ok = true;
    if (rows >= 1 && n >= 1) {
        MatCopy(l.m(), MatrixData(&pv[0]), rows, n);
        ok = FactorBand(l.m(), rows - 1, n, d.m()[0]);
    }
    library::OutMatrix(lOut, l.m(), rows, n);
    library::OutMatrix(dOut, d.m(), 1, n);
    ZuValSetInt(rtn, ok ? 1 : 0);
}

/// solveldlband(l, d, b)
/// Solves L diag(d) L' x = b for the band factors of `decldlband`: l is (p+1) by n in band storage (its
/// diagonal row is taken as ones), d a row or column of the n pivots, b has n rows (one system a column).
/// Returns the n by m solution; a zero pivot gives the warning "solveldlband(): decomposition failed" and the
/// result is the int 0.
/// Example:
///     decl l, d;
///     decldlband(<0,1,1;4,4,4>, &l, &d);
///     decl x = solveldlband(l, d, <1;2;3>);
///     print(x, <4,1,0;1,4,1;0,1,4> * x);
void FnSolveldlband(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    if (!library::MatrixArg(pv, 0)) return;
    const int rows = Rows(&pv[0]), n = Columns(&pv[0]);
    if (!VectorArg(pv, 1, n) || !RightHandSide(pv, 2, n)) return;
    const int m = Columns(&pv[2]);
    Block x(n, m);
    if (!Allocated(x.ok())) return;
    if (n >= 1 && m >= 1) MatCopy(x.m(), MatrixData(&pv[2]), n, m);
    if (n >= 1 && !SolveBand(MatrixData(&pv[0]), rows - 1, n, pv[1], x.m(), m)) {
        library::DecompositionFailed();
        return;
    }
    ResultFrom(rtn, x, n, m);
}

/// solvetoeplitz(r, n, b [, &logdet])
/// Solves T x = b by the Levinson recursion, T the symmetric Toeplitz matrix of order n whose first column is
/// r[0] to r[n-1] (r a row or column of at least n elements), b with n rows. logdet receives log det(T).
/// Returns the n by m solution. When T is not positive definite (a prediction error variance not above the
/// inversion tolerance), the warning "solvetoeplitz(): decomposition failed" is given, the result is an n by
/// m matrix of missing values and logdet is missing.
/// Example:
///     decl logdet;
///     print(solvetoeplitz(<2,1,0.5>, 3, <1;1;1>, &logdet));
///     println(logdet, " ", log(determinant(toeplitz(<2,1,0.5>))));
void FnSolvetoeplitz(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* logdetOut = library::OutputArg(pv, 3, cArg);
    int n = 0;
    if (!library::MatrixArg(pv, 0) || !library::IntArg(pv, 1, &n)) return;
    if (n < 1) {
        ZuLibArgError(1);
        return;
    }
    if (!LongEnoughVector(pv, 0, n) || !RightHandSide(pv, 2, n)) return;
    const int m = Columns(&pv[2]);
    Scratch r, a, mu;
    Block x(n, m);
    const auto count = static_cast<std::size_t>(n);
    if (!Allocated(x.ok() && r.Allocate(count) && a.Allocate(count) &&
                   mu.Allocate(static_cast<std::size_t>(std::max(m, 0)))))
        return;
    for (int i = 0; i < n; ++i) r.data()[i] = VectorAt(pv[0], i);
    if (m >= 1) MatCopy(x.m(), MatrixData(&pv[2]), n, m);
    double logdet = 0;
    if (!Levinson(r.data(), n, a.data(), x.m(), m, mu.data()).Run(&logdet)) {
        library::DecompositionFailed();
        if (m >= 1) MatNaN(x.m(), n, m);
        logdet = NAN;
    }
    ResultFrom(rtn, x, n, m);
    library::OutDouble(logdetOut, logdet);
}

}  // namespace zu::numerics
