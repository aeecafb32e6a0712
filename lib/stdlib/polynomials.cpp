// Polynomials in the lag operator: polymul, polydiv, polymake and polyroots.
//
// One convention for all four: a polynomial is a vector of coefficients
// a = <a0, a1, ..., ap> (a row or a column; results are rows), the lag
// polynomial a(L) = a0 + a1 L + ... + ap L^p.  Its roots are given and
// returned as inverse roots: the numbers r_i with a(L) = a0 (1 - r_1 L) ...
// (1 - r_p L), which are the roots of a0 z^p + a1 z^(p-1) + ... + ap.  So
// a(L) is stable when every r_i lies inside the unit circle, and
// polymake(r) rebuilds a / a0 from the roots that polyroots(a) finds.
// Complex roots use the two-row form of the complex functions (row 0 real
// parts, row 1 imaginary parts).
/// @family Polynomials
#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <string>
#include <vector>

#include "numerics/library_support.h"
#include "stdlib/argument_faults.h"
#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::stdlib {
namespace {

namespace lib = numerics::library;
using Complex = std::complex<double>;

// Imaginary parts of polymake's coefficients at or below this share of the
// largest coefficient are rounding error of conjugate pairs.
constexpr double kRealTolerance = 1e-12;

bool NoText(ZuVALUE* pv, int k, int expected) {
    if (value::TypeCode(&pv[k]) != ZU_STRING) return true;
    ZuLibArgTypeError(k, expected, ZU_STRING);
    return false;
}

// The coefficients of a row or column vector (a scalar is one
// coefficient); another shape gets the argument error.
bool CoefficientsArg(ZuVALUE* pv, int k, std::vector<double>* out) {
    if (!NoText(pv, k, ZU_MATRIX) || !lib::MatrixArg(pv, k)) return false;
    const int r = Rows(&pv[k]), c = Columns(&pv[k]);
    out->clear();
    if (r == 0 || c == 0) return true;
    if (r != 1 && c != 1)
        return ArgumentFault(
            k, "expected a vector of coefficients, found " + Counted(r, "rows") + " and " + Counted(c, "columns"));
    double** m = MatrixData(&pv[k]);
    for (int i = 0; i < r * c; ++i) out->push_back(r == 1 ? m[0][i] : m[i][0]);
    return true;
}

bool RowResult(ZuVALUE* rtn, const std::vector<double>& row) {
    const int n = static_cast<int>(row.size());
    if (!lib::Allocated(lib::ResultMatrix(rtn, 1, n))) return false;
    std::copy(row.begin(), row.end(), n > 0 ? MatrixData(rtn)[0] : nullptr);
    return true;
}

// The inverse roots of polymake: a row of 1 (real) or 2 rows.
bool RootsArg(ZuVALUE* pv, int k, std::vector<Complex>* out) {
    if (!NoText(pv, k, ZU_MATRIX) || !lib::MatrixArg(pv, k)) return false;
    const int r = Rows(&pv[k]), c = Columns(&pv[k]);
    if (r > 2)
        return ArgumentFault(k, "expected 1 or 2 rows (real and imaginary parts), found " + Counted(r, "rows"),
                             kArgumentSizeError);
    out->clear();
    double** m = MatrixData(&pv[k]);
    for (int j = 0; r > 0 && j < c; ++j) out->emplace_back(m[0][j], r == 2 ? m[1][j] : 0.0);
    return true;
}

// prod (1 - r_i L), coefficients from L^0 up.
std::vector<Complex> FromRoots(const std::vector<Complex>& roots) {
    std::vector<Complex> p{1.0};
    for (const Complex& root : roots) {
        p.push_back(0.0);
        for (std::size_t k = p.size() - 1; k >= 1; --k) p[k] -= root * p[k - 1];
    }
    return p;
}

bool IsReal(const std::vector<Complex>& p) {
    double largest = 0.0, imaginary = 0.0;
    for (const Complex& x : p) {
        largest = std::max(largest, std::abs(x));
        imaginary = std::max(imaginary, std::fabs(x.imag()));
    }
    return imaginary <= kRealTolerance * largest;
}

// Larger modulus first; a conjugate pair with the positive imaginary part
// first.
bool RootOrder(const Complex& a, const Complex& b) {
    const double ma = std::abs(a), mb = std::abs(b);
    if (ma != mb) return ma > mb;
    if (a.real() != b.real()) return a.real() > b.real();
    return a.imag() > b.imag();
}

// The roots of a0 z^p + ... + ap (a0 != 0) as the eigenvalues of its
// companion matrix; false when the eigenvalue kernel failed.
bool CompanionRoots(const std::vector<double>& a, std::vector<Complex>* roots) {
    const int p = static_cast<int>(a.size()) - 1;
    roots->clear();
    if (p == 0) return true;
    lib::Block companion(p, p), eval(2, p);
    if (!lib::Allocated(companion.ok() && eval.ok())) return false;
    MatZero(companion.m(), p, p);
    for (int j = 0; j < p; ++j) companion.m()[0][j] = -a[j + 1] / a[0];
    for (int i = 1; i < p; ++i) companion.m()[i][i - 1] = 1.0;
    if (IEigen(companion.m(), p, eval.m()[0], eval.m()[1], nullptr) != 0) return false;
    // + 0.0 turns a -0 from the kernel into 0.
    for (int j = 0; j < p; ++j) roots->emplace_back(eval.m()[0][j] + 0.0, eval.m()[1][j] + 0.0);
    std::sort(roots->begin(), roots->end(), RootOrder);
    return true;
}

void StoreRoots(ZuVALUE* target, const std::vector<Complex>& roots) {
    if (target == nullptr) return;
    const int n = static_cast<int>(roots.size());
    lib::Block m(2, n);
    if (!lib::Allocated(m.ok())) return;
    for (int j = 0; j < n; ++j) {
        m.m()[0][j] = roots[j].real();
        m.m()[1][j] = roots[j].imag();
    }
    lib::OutMatrix(target, m.m(), 2, n);
}

}  // namespace

/// polymul(a, b)
/// The coefficients of the product a(L) b(L) of the polynomials with coefficients `a` and `b`
/// (from L^0 up), a row of p + q + 1; an empty polynomial gives an empty row.
/// Example:
///     print(polymul(<1,1>, <1,-1>));
void FnPolymul(ZuVALUE* rtn, ZuVALUE* pv, int) {
    std::vector<double> a, b;
    if (!CoefficientsArg(pv, 0, &a) || !CoefficientsArg(pv, 1, &b)) return;
    std::vector<double> c(a.empty() || b.empty() ? 0 : a.size() + b.size() - 1, 0.0);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j) c[i + j] += a[i] * b[j];
    RowResult(rtn, c);
}

/// polydiv(a, b, n)
/// The first `n` coefficients of the power series a(L) / b(L), so that b(L) c(L) agrees with
/// a(L) up to L^(n-1) (`a` is padded with zeros). b0 must not be 0.
/// Example:
///     print(polydiv(1, <1,-0.5>, 4));
void FnPolydiv(ZuVALUE* rtn, ZuVALUE* pv, int) {
    std::vector<double> a, b;
    int n = 0;
    if (!CoefficientsArg(pv, 0, &a) || !CoefficientsArg(pv, 1, &b) || !NoText(pv, 2, ZU_INT) || !IntArg(pv, 2, &n))
        return;
    if (b.empty() || b[0] == 0.0) {
        ArgumentFault(1, "the coefficient of L^0 is 0, so a(L) / b(L) has no power series");
        return;
    }
    if (n < 0) {
        ArgumentFault(2, "negative count " + std::to_string(n));
        return;
    }
    if (!lib::Allocated(lib::ResultMatrix(rtn, 1, n)) || n == 0) return;
    double* c = MatrixData(rtn)[0];
    for (int k = 0; k < n; ++k) {
        double sum = static_cast<std::size_t>(k) < a.size() ? a[k] : 0.0;
        const int last = std::min<int>(k, static_cast<int>(b.size()) - 1);
        for (int j = 1; j <= last; ++j) sum -= b[j] * c[k - j];
        c[k] = sum / b[0];
    }
}

/// polymake(r)
/// The coefficients of (1 - r_1 L) ... (1 - r_p L) for the inverse roots `r` (a real row, or
/// two rows for complex roots: real parts, imaginary parts), a row of p + 1 starting with 1.
/// Complex roots in conjugate pairs give real coefficients; otherwise the result has two rows.
/// `polymake` rebuilds a / a0 from the roots that `polyroots(a, &r)` finds.
/// Example:
///     print(polymake(<0.5,0.2>), polymake(<0,0;0.5,-0.5>));
void FnPolymake(ZuVALUE* rtn, ZuVALUE* pv, int) {
    std::vector<Complex> roots;
    if (!RootsArg(pv, 0, &roots)) return;
    const std::vector<Complex> p = FromRoots(roots);
    const int rows = IsReal(p) ? 1 : 2, n = static_cast<int>(p.size());
    if (!lib::Allocated(lib::ResultMatrix(rtn, rows, n))) return;
    for (int j = 0; j < n; ++j) {
        MatrixData(rtn)[0][j] = p[j].real();
        if (rows == 2) MatrixData(rtn)[1][j] = p[j].imag();
    }
}

/// polyroots(a, &r)
/// The inverse roots of a(L): the roots of a0 z^p + ... + ap, stored in `r` as a 2 by p matrix
/// (real parts, imaginary parts; two rows even when all roots are real), larger moduli first.
/// Leading zero coefficients lower the degree; a trailing zero gives a root 0; a constant has
/// no roots (2 by 0). Returns 0, or 1 when a coefficient is missing or infinite or the
/// eigenvalue computation failed (`r` then holds missing values). A polynomial with no
/// nonzero coefficient is an error.
/// Example:
///     decl r;
///     println(polyroots(<1,-0.7,0.1>, &r));
///     print(r);
void FnPolyroots(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* rootsOut = lib::OutputArg(pv, 1, cArg);
    std::vector<double> a;
    if (!CoefficientsArg(pv, 0, &a)) return;
    const auto first = std::find_if(a.begin(), a.end(), [](double x) { return x != 0.0; });
    if (first == a.end()) {
        ArgumentFault(0, "a polynomial with no nonzero coefficient");
        return;
    }
    a.erase(a.begin(), first);
    const bool finite = std::all_of(a.begin(), a.end(), [](double x) { return std::isfinite(x); });
    std::vector<Complex> roots;
    if (!finite || !CompanionRoots(a, &roots)) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        roots.assign(a.size() - 1, Complex{nan, nan});
        StoreRoots(rootsOut, roots);
        ZuValSetInt(rtn, 1);
        return;
    }
    StoreRoots(rootsOut, roots);
    ZuValSetInt(rtn, 0);
}

}  // namespace zu::stdlib
