// The matrix functions of the Gauss table: sizes, construction, the
// triangles and their vectors, column statistics, inverses, determinant,
// rank, random matrices, and the comparison and conversion helpers.
/// @family Gauss compatibility

#include "gauss/routines.h"

#include "numerics/lapack.h"
#include "numerics/library_support.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "value/value.h"

namespace zu::gauss {
namespace {

using value::Columns;
using value::DoubleOf;
using value::IntOf;
using value::ItemCount;
using value::MatrixData;
using value::Rows;

using numerics::library::Allocated;
using numerics::library::Block;
using numerics::library::MatrixArg;
using numerics::library::ResultMatrix;
using numerics::library::SquareArg;

// The bound on a dimension asked for by a program (as the constant
// matrices are bounded), so that no call allocates without bound.
constexpr double kMaxElements = 1 << 26;

int kindOf(const ZuVALUE& v) { return v.t & ZU_TYPE_MASK; }

// A dimension argument: a non-negative integral number.
bool dimensionArg(ZuVALUE* pv, int k, int* out) {
    double d = 0;
    switch (kindOf(pv[k])) {
    case ZU_INT: d = IntOf(&pv[k]); break;
    case ZU_DOUBLE: d = DoubleOf(&pv[k]); break;
    case ZU_MATRIX:
        if (Rows(&pv[k]) >= 1 && Columns(&pv[k]) >= 1) {
            d = MatrixData(&pv[k])[0][0];
            break;
        }
        [[fallthrough]];
    default: ZuLibArgError(k); return false;
    }
    if (!(d >= 0) || d > kMaxElements) {
        ZuLibArgError(k);
        return false;
    }
    *out = static_cast<int>(d);
    return true;
}

bool sizeAllowed(int r, int c) {
    if (static_cast<double>(r) * c > kMaxElements) {
        ZuRunError(4, "matrix too large");
        return false;
    }
    return true;
}

// A matrix result filled with a constant.
void filled(ZuVALUE* rtn, int r, int c, double x) {
    if (!sizeAllowed(r, c) || !ResultMatrix(rtn, r, c)) return;
    double** m = ZuValGetMat(rtn);
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) m[i][j] = x;
}

// The rows and columns of any value: a scalar and a string are 1 by 1.
void dimensions(const ZuVALUE& v, int* r, int* c) {
    switch (kindOf(v)) {
    case ZU_MATRIX:
        *r = Rows(&v);
        *c = Columns(&v);
        return;
    case ZU_ARRAY:
        *r = ItemCount(&v);
        *c = 1;
        return;
    default:
        *r = 1;
        *c = 1;
        return;
    }
}

// The median of n values (sorted in place), missing values left out.
double median(std::vector<double>& x) {
    x.erase(std::remove_if(x.begin(), x.end(), [](double d) { return std::isnan(d); }), x.end());
    if (x.empty()) return std::numeric_limits<double>::quiet_NaN();
    std::sort(x.begin(), x.end());
    const std::size_t n = x.size();
    return n % 2 ? x[n / 2] : (x[n / 2 - 1] + x[n / 2]) / 2;
}

// The singular values of a matrix; false when the decomposition failed.
bool singularValues(double** a, int r, int c, std::vector<double>& sv) {
    const bool wide = c > r;
    const int rr = wide ? c : r, cc = wide ? r : c;
    Block copy(rr, cc);
    if (!Allocated(copy.ok())) return false;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) {
            if (wide)
                copy.m()[j][i] = a[i][j];
            else
                copy.m()[i][j] = a[i][j];
        }
    sv.assign(static_cast<std::size_t>(cc), 0.0);
    return IDecSVD(copy.m(), rr, cc, sv.data(), nullptr, nullptr) == 0;
}

}  // namespace

/// gauss::cols(x)
/// The number of columns of x: 1 for a scalar or a string, and for an array of strings (which counts its
/// strings as rows).
/// Example:
///     x = { 1 2 3, 4 5 6 };
///     print cols(x) cols(5) cols("text");
void FnGaussCols(ZuVALUE* rtn, ZuVALUE* pv, int) {
    int r = 0, c = 0;
    dimensions(pv[0], &r, &c);
    ZuValSetInt(rtn, c);
}

/// gauss::rows(x)
/// The number of rows of x: 1 for a scalar or a string; an array of strings counts its strings.
/// Example:
///     x = { 1 2 3, 4 5 6 };
///     print rows(x) rows(5) rows("text");
void FnGaussRows(ZuVALUE* rtn, ZuVALUE* pv, int) {
    int r = 0, c = 0;
    dimensions(pv[0], &r, &c);
    ZuValSetInt(rtn, r);
}

/// gauss::ones(r, c)
/// An r by c matrix of ones. r and c must be whole numbers from 0 (a matrix argument gives its first
/// element); more than 2^26 elements is the run-time error "matrix too large".
/// Example:
///     print ones(2, 3);
void FnGaussOnes(ZuVALUE* rtn, ZuVALUE* pv, int) {
    int r = 0, c = 0;
    if (dimensionArg(pv, 0, &r) && dimensionArg(pv, 1, &c)) filled(rtn, r, c, 1.0);
}

/// gauss::zeros(r [, c])
/// An r by c matrix of zeros (r by 1 when c is left out), with the argument rules of `ones`.
/// Example:
///     print zeros(2, 3);
///     print zeros(2);
void FnGaussZeros(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    int r = 0, c = 1;
    if (!dimensionArg(pv, 0, &r)) return;
    if (cArg > 2) {
        ZuLibArgError(2);
        return;
    }
    if (cArg > 1 && !dimensionArg(pv, 1, &c)) return;
    filled(rtn, r, c, 0.0);
}

/// gauss::eye(n)
/// The n by n identity matrix (n a whole number from 0).
/// Example:
///     print eye(3);
void FnGaussEye(ZuVALUE* rtn, ZuVALUE* pv, int) {
    int n = 0;
    if (!dimensionArg(pv, 0, &n)) return;
    filled(rtn, n, n, 0.0);
    if (kindOf(*rtn) == ZU_MATRIX)
        for (int i = 0; i < n; ++i) ZuValGetMat(rtn)[i][i] = 1.0;
}

/// gauss::diagrv(x, v)
/// A copy of the matrix x with its diagonal replaced by the elements of the vector v (as many as the diagonal
/// has, min(rows, cols)); a scalar v fills the whole diagonal. v of another length is an argument error.
/// Example:
///     print diagrv(zeros(3, 3), 1|2|3);
///     print diagrv(ones(2, 3), 0);
void FnGaussDiagrv(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!MatrixArg(pv, 0) || !MatrixArg(pv, 1)) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]), n = std::min(r, c);
    const int vr = Rows(&pv[1]), vc = Columns(&pv[1]);
    if (vr * vc != 1 && vr * vc != n) {
        ZuLibArgError(1);
        return;
    }
    ZuLibValMatDup(rtn, MatrixData(&pv[0]), r, c);
    double** m = ZuValGetMat(rtn);
    for (int i = 0; i < n; ++i)
        m[i][i] = vr * vc == 1 ? MatrixData(&pv[1])[0][0] : MatrixData(&pv[1])[vc == 1 ? i : 0][vc == 1 ? 0 : i];
}

// gauss::lowmat(x) and gauss::upmat(x): the lower and upper triangles
// with the diagonal, zeros elsewhere.
void triangle(ZuVALUE* rtn, ZuVALUE* pv, bool lower) {
    if (!MatrixArg(pv, 0)) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]);
    ZuLibValMatDup(rtn, MatrixData(&pv[0]), r, c);
    double** m = ZuValGetMat(rtn);
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j)
            if (lower ? j > i : j < i) m[i][j] = 0.0;
}

/// gauss::lowmat(x)
/// The lower triangle of the matrix x with the diagonal, zeros above it.
/// Example:
///     print lowmat({ 1 2 3, 4 5 6, 7 8 9 });
void FnGaussLowmat(ZuVALUE* rtn, ZuVALUE* pv, int) { triangle(rtn, pv, true); }
/// gauss::upmat(x)
/// The upper triangle of the matrix x with the diagonal, zeros below it.
/// Example:
///     print upmat({ 1 2 3, 4 5 6, 7 8 9 });
void FnGaussUpmat(ZuVALUE* rtn, ZuVALUE* pv, int) { triangle(rtn, pv, false); }

/// gauss::vech(x)
/// The lower triangle of the square matrix x (diagonal included), row by row, as a column of n(n+1)/2
/// elements; `xpnd` reverses it.
/// Example:
///     print vech({ 1 2 3, 2 4 5, 3 5 6 })';
void FnGaussVech(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!SquareArg(pv, 0)) return;
    const int n = Rows(&pv[0]);
    if (!ResultMatrix(rtn, n * (n + 1) / 2, 1)) return;
    double** out = ZuValGetMat(rtn);
    int k = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j) out[k++][0] = MatrixData(&pv[0])[i][j];
}

/// gauss::xpnd(v)
/// The symmetric n by n matrix whose `vech` is the vector v (a row or column of n(n+1)/2 elements, taken row
/// by row of the lower triangle). Another length is an argument error.
/// Example:
///     print xpnd(1|2|4|3|5|6);
void FnGaussXpnd(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!MatrixArg(pv, 0)) return;
    const long count = static_cast<long>(Rows(&pv[0])) * Columns(&pv[0]);
    const int n = static_cast<int>(std::lround((std::sqrt(8.0 * count + 1) - 1) / 2));
    if ((Rows(&pv[0]) != 1 && Columns(&pv[0]) != 1) || static_cast<long>(n) * (n + 1) / 2 != count) {
        ZuLibArgError(0);
        return;
    }
    if (!ResultMatrix(rtn, n, n)) return;
    double** out = ZuValGetMat(rtn);
    double** v = MatrixData(&pv[0]);
    const bool column = Columns(&pv[0]) == 1;
    int k = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j, ++k) out[i][j] = out[j][i] = column ? v[k][0] : v[0][k];
}

/// gauss::toeplitz(x)
/// The symmetric Toeplitz matrix whose first column is the vector x: element (i, j) is x[|i-j|+1].
/// Example:
///     print toeplitz(1|0.5|0.25);
void FnGaussToeplitz(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!MatrixArg(pv, 0)) return;
    if (Rows(&pv[0]) != 1 && Columns(&pv[0]) != 1) {
        ZuLibArgError(0);
        return;
    }
    const int n = Rows(&pv[0]) * Columns(&pv[0]);
    const bool column = Columns(&pv[0]) == 1;
    if (!ResultMatrix(rtn, n, n)) return;
    double** out = ZuValGetMat(rtn);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const int k = std::abs(i - j);
            out[i][j] = column ? MatrixData(&pv[0])[k][0] : MatrixData(&pv[0])[0][k];
        }
}

/// gauss::rev(x)
/// The rows of x in reverse order.
/// Example:
///     print rev({ 1 2, 3 4, 5 6 });
void FnGaussRev(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!MatrixArg(pv, 0)) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]);
    if (!ResultMatrix(rtn, r, c)) return;
    double** out = ZuValGetMat(rtn);
    for (int i = 0; i < r; ++i)
        std::memcpy(out[i], MatrixData(&pv[0])[r - 1 - i], sizeof(double) * static_cast<std::size_t>(c));
}

/// gauss::meanc(x)
/// The means of the columns of x, as a column (a missing value anywhere in a column makes its mean missing).
/// Example:
///     print meanc({ 1 2, 3 4, 5 9 });
void FnGaussMeanc(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!MatrixArg(pv, 0)) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]);
    if (!ResultMatrix(rtn, c, 1)) return;
    double** out = ZuValGetMat(rtn);
    for (int j = 0; j < c; ++j) {
        double sum = 0;
        for (int i = 0; i < r; ++i) sum += MatrixData(&pv[0])[i][j];
        out[j][0] = r > 0 ? sum / r : std::numeric_limits<double>::quiet_NaN();
    }
}

/// gauss::median(x)
/// The medians of the columns of x, as a column; missing values are left out (a column of only missing values
/// gives a missing value).
/// Example:
///     print median({ 1 2, 3 4, 5 9, 7 . });
void FnGaussMedian(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!MatrixArg(pv, 0)) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]);
    if (!ResultMatrix(rtn, c, 1)) return;
    double** out = ZuValGetMat(rtn);
    std::vector<double> column(static_cast<std::size_t>(r));
    for (int j = 0; j < c; ++j) {
        column.resize(static_cast<std::size_t>(r));
        for (int i = 0; i < r; ++i) column[static_cast<std::size_t>(i)] = MatrixData(&pv[0])[i][j];
        out[j][0] = median(column);
    }
}

/// gauss::ismiss(x)
/// 1 when any element of x is a missing value, else 0; a string or other non-number gives 0.
/// Example:
///     print ismiss(1~2) ismiss(1~.) ismiss("text");
void FnGaussIsmiss(ZuVALUE* rtn, ZuVALUE* pv, int) {
    int missing = 0;
    switch (kindOf(pv[0])) {
    case ZU_DOUBLE: missing = std::isnan(DoubleOf(&pv[0])); break;
    case ZU_MATRIX:
        for (int i = 0; i < Rows(&pv[0]) && !missing; ++i)
            for (int j = 0; j < Columns(&pv[0]); ++j)
                if (std::isnan(MatrixData(&pv[0])[i][j])) {
                    missing = 1;
                    break;
                }
        break;
    default: break;
    }
    ZuValSetInt(rtn, missing);
}

/// gauss::feq(a, b)
/// 1 when the matrices a and b are equal element by element (a scalar stands for every element of the other),
/// else 0; matrices of different sizes are not equal. The Gauss operator `==` on two matrices means the same.
/// Example:
///     print feq(1~2, 1~2) feq(1~2, 1~3) feq(ones(2, 2), 1);
void FnGaussFeq(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!MatrixArg(pv, 0) || !MatrixArg(pv, 1)) return;
    const ZuVALUE &a = pv[0], &b = pv[1];
    const bool aScalar = Rows(&a) == 1 && Columns(&a) == 1, bScalar = Rows(&b) == 1 && Columns(&b) == 1;
    if (!aScalar && !bScalar && (Rows(&a) != Rows(&b) || Columns(&a) != Columns(&b))) {
        ZuValSetInt(rtn, 0);
        return;
    }
    const int r = aScalar ? Rows(&b) : Rows(&a), c = aScalar ? Columns(&b) : Columns(&a);
    int equal = 1;
    for (int i = 0; i < r && equal; ++i)
        for (int j = 0; j < c; ++j)
            if (MatrixData(&a)[aScalar ? 0 : i][aScalar ? 0 : j] != MatrixData(&b)[bScalar ? 0 : i][bScalar ? 0 : j]) {
                equal = 0;
                break;
            }
    ZuValSetInt(rtn, equal);
}

namespace {

// The inverse of a square argument into the result, by `invert` on a
// copy; a failure is the run-time error, raised before the result holds
// anything (it would not be freed), or under "trap 1" a missing value.
void inverseInto(ZuVALUE* rtn, ZuVALUE* pv, int (*invert)(double**, int), const char* what) {
    if (!SquareArg(pv, 0)) return;
    const int n = Rows(&pv[0]);
    Block work(n, n);
    if (!Allocated(work.ok())) return;
    for (int i = 0; i < n; ++i)
        std::memcpy(work.m()[i], MatrixData(&pv[0])[i], sizeof(double) * static_cast<std::size_t>(n));
    if (n > 0 && invert(work.m(), n) != 0) {
        if (ErrorsTrapped()) {
            ZuValSetDouble(rtn, std::numeric_limits<double>::quiet_NaN());
            return;
        }
        ZuRunError(9, what);
        return;
    }
    ZuLibValMatDup(rtn, work.m(), n, n);
}

}  // namespace

/// gauss::inv(x)
/// The inverse of the square matrix x, by LU decomposition. A singular matrix is the run-time error "inv()",
/// or, after `trap 1`, gives a missing value that `scalmiss` detects.
/// Example:
///     print inv({ 2 1, 1 3 });
///     trap 1;
///     print scalmiss(inv({ 1 2, 2 4 }));
void FnGaussInv(ZuVALUE* rtn, ZuVALUE* pv, int) { inverseInto(rtn, pv, IInvert, "inv()"); }

/// gauss::invpd(x)
/// The inverse of the symmetric positive definite matrix x, by LDL' decomposition. A matrix that is not
/// positive definite is the run-time error "invpd(): not positive definite", or, after `trap 1`, gives a
/// missing value.
/// Example:
///     print invpd({ 4 2, 2 3 });
///     trap 1;
///     print scalmiss(invpd({ 1 2, 2 1 }));
void FnGaussInvpd(ZuVALUE* rtn, ZuVALUE* pv, int) { inverseInto(rtn, pv, ISymInv, "invpd(): not positive definite"); }

/// gauss::det(x)
/// The determinant of the square matrix x, from its LU decomposition; 0 for a singular matrix and 1 for an
/// empty one.
/// Example:
///     print det({ 1 2, 3 4 }) det({ 1 2, 2 4 });
void FnGaussDet(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!SquareArg(pv, 0)) return;
    const int n = Rows(&pv[0]);
    Block lu(n, n);
    if (!Allocated(lu.ok())) return;
    for (int i = 0; i < n; ++i)
        std::memcpy(lu.m()[i], MatrixData(&pv[0])[i], sizeof(double) * static_cast<std::size_t>(n));
    std::vector<int> perm(static_cast<std::size_t>(n));
    double logdet = 0;
    int sign = 0;
    if (n == 0) {
        ZuValSetDouble(rtn, 1.0);
        return;
    }
    // A singular matrix fails the decomposition: its determinant is 0.
    const bool decomposed = ILUPdec(lu.m(), n, perm.data(), &logdet, &sign) == 0;
    ZuValSetDouble(rtn, !decomposed || sign == 0 ? 0.0 : sign * std::exp(logdet));
}

/// gauss::rank(x)
/// The rank of the matrix x: the number of its singular values above max(rows, cols) times the largest
/// singular value times the machine epsilon (2.2e-16). A failed decomposition is a run-time error.
/// Example:
///     print rank({ 1 2, 2 4, 3 6 }) rank(eye(3));
void FnGaussRank(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!MatrixArg(pv, 0)) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]);
    std::vector<double> sv;
    if (!singularValues(MatrixData(&pv[0]), r, c, sv)) {
        ZuRunError(29, "rank()");
        return;
    }
    const double largest = sv.empty() ? 0 : *std::max_element(sv.begin(), sv.end());
    const double tolerance = std::max(r, c) * largest * std::numeric_limits<double>::epsilon();
    ZuValSetInt(rtn, static_cast<int>(std::count_if(sv.begin(), sv.end(), [&](double s) { return s > tolerance; })));
}

/// gauss::rndn(r, c)
/// An r by c matrix of standard normal draws from the current generator (seeded by the `rndseed` statement),
/// with the argument rules of `ones`.
/// Example:
///     rndseed 123456;
///     print rndn(2, 3);
void FnGaussRndn(ZuVALUE* rtn, ZuVALUE* pv, int) {
    int r = 0, c = 0;
    if (!dimensionArg(pv, 0, &r) || !dimensionArg(pv, 1, &c) || !sizeAllowed(r, c)) return;
    if (ResultMatrix(rtn, r, c)) MatRann(ZuValGetMat(rtn), r, c);
}

/// gauss::rndu(r, c)
/// An r by c matrix of uniform draws on (0, 1) from the current generator (seeded by the `rndseed`
/// statement), with the argument rules of `ones`.
/// Example:
///     rndseed 123456;
///     print rndu(2, 3);
void FnGaussRndu(ZuVALUE* rtn, ZuVALUE* pv, int) {
    int r = 0, c = 0;
    if (!dimensionArg(pv, 0, &r) || !dimensionArg(pv, 1, &c) || !sizeAllowed(r, c)) return;
    if (ResultMatrix(rtn, r, c)) MatRan(ZuValGetMat(rtn), r, c);
}

/// gauss::__balance__(x, which)
/// The balancing of the square matrix x by a diagonal similarity (scaling only, no permutations), the work
/// behind the `balance` procedure: which 0 gives b = inv(z) x z, whose rows and columns have norms of like
/// size, which 1 the diagonal matrix z (powers of 2).
/// Example:
///     x = { 1 100, 0.01 1 };
///     b = __balance__(x, 0);
///     z = __balance__(x, 1);
///     print b;
///     print z;
///     print (inv(z) * x * z - b);
void FnGaussBalance(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!SquareArg(pv, 0)) return;
    const int n = Rows(&pv[0]);
    std::vector<double> a(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    std::vector<double> scale(static_cast<std::size_t>(n), 1.0);
    // Column-major copy: element (i, j) at i + j n.
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            a[static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * n] = MatrixData(&pv[0])[i][j];
    int ilo = 1, ihi = n, info = 0;
    const char job = 'S';
    if (n > 0) dgebal_(&job, &n, a.data(), &n, &ilo, &ihi, scale.data(), &info);
    if (info != 0) {
        ZuRunError(37, "__balance__()");
        return;
    }
    const bool scaling = kindOf(pv[1]) == ZU_INT      ? IntOf(&pv[1]) != 0
                         : kindOf(pv[1]) == ZU_DOUBLE ? DoubleOf(&pv[1]) != 0
                                                      : false;
    if (!ResultMatrix(rtn, n, n)) return;
    double** out = ZuValGetMat(rtn);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            out[i][j] = scaling ? (i == j ? scale[static_cast<std::size_t>(i)] : 0.0)
                                : a[static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * n];
}

}  // namespace zu::gauss
