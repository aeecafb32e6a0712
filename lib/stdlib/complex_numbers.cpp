// Complex numbers held in matrices: cabs, cmul, cdiv, cexp, clog, csqrt and
// cerf.  A complex row of n numbers is a 2 by n matrix whose row 0 holds the
// real parts and row 1 the imaginary parts, the form in which eigen returns
// complex eigenvalues; a 1 by n matrix, a double or an int is all real.
// Results are 2 by n (cabs 1 by n), also when every imaginary part is 0.
/// @family Complex numbers
#include <array>
#include <cmath>
#include <complex>
#include <limits>
#include <string>

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

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A complex row as read from an argument: the row pointers of a 1 or 2 row
// matrix and the count of numbers.
struct ComplexRow {
    double** m = nullptr;
    bool hasImaginary = false;
    int n = 0;
    // Element j, or element 0 for every j when the row holds one number.
    Complex At(int j) const {
        const int k = n == 1 ? 0 : j;
        return {m[0][k], hasImaginary ? m[1][k] : 0.0};
    }
};

bool ComplexArg(ZuVALUE* pv, int k, ComplexRow* out) {
    if (value::TypeCode(&pv[k]) == ZU_STRING) {
        ZuLibArgTypeError(k, ZU_MATRIX, ZU_STRING);
        return false;
    }
    if (!lib::MatrixArg(pv, k)) return false;
    const int r = Rows(&pv[k]), c = Columns(&pv[k]);
    if (r > 2)
        return ArgumentFault(k, "expected 1 or 2 rows (real and imaginary parts), found " + Counted(r, "rows"),
                             kArgumentSizeError);
    *out = ComplexRow{MatrixData(&pv[k]), r == 2, r == 0 ? 0 : c};
    return true;
}

// A 2 by n result; false when it could not be made.
bool ComplexResult(ZuVALUE* rtn, int n) { return lib::Allocated(lib::ResultMatrix(rtn, 2, n)); }

void Store(ZuVALUE* rtn, int j, Complex z) {
    MatrixData(rtn)[0][j] = z.real();
    MatrixData(rtn)[1][j] = z.imag();
}

template <Complex (*F)(Complex)>
void OneComplex(ZuVALUE* rtn, ZuVALUE* pv) {
    ComplexRow a;
    if (!ComplexArg(pv, 0, &a) || !ComplexResult(rtn, a.n)) return;
    for (int j = 0; j < a.n; ++j) Store(rtn, j, F(a.At(j)));
}

// Two rows of the same count, or one of them a single number for all.
template <Complex (*F)(Complex, Complex)>
void TwoComplex(ZuVALUE* rtn, ZuVALUE* pv) {
    ComplexRow a, b;
    if (!ComplexArg(pv, 0, &a) || !ComplexArg(pv, 1, &b)) return;
    if (a.n != b.n && a.n != 1 && b.n != 1) {
        ArgumentFault(1, "found " + Counted(b.n, "columns") + " but expected 1 or " + std::to_string(a.n),
                      kArgumentSizeError);
        return;
    }
    const int n = a.n == 1 ? b.n : a.n;
    if (!ComplexResult(rtn, n)) return;
    for (int j = 0; j < n; ++j) Store(rtn, j, F(a.At(j), b.At(j)));
}

Complex Multiply(Complex a, Complex b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// Smith's division: scaling by the larger part of the divisor keeps the
// intermediate products from overflowing.  Division by 0 has no value in
// this form (there is no single complex infinity): both parts are missing.
Complex Divide(Complex a, Complex b) {
    const double c = b.real(), d = b.imag();
    if (c == 0.0 && d == 0.0) return {kNaN, kNaN};
    if (std::fabs(c) >= std::fabs(d)) {
        const double r = d / c, den = c + d * r;
        return {(a.real() + a.imag() * r) / den, (a.imag() - a.real() * r) / den};
    }
    const double r = c / d, den = c * r + d;
    return {(a.real() * r + a.imag()) / den, (a.imag() * r - a.real()) / den};
}

Complex Exp(Complex z) {
    if (z.imag() == 0.0) return {std::exp(z.real()), z.imag()};
    return std::exp(z);
}

Complex Log(Complex z) { return std::log(z); }
Complex Sqrt(Complex z) { return std::sqrt(z); }

// ---- The complex error function ----------------------------------------
//
// erf(z) = 1 - exp(-z^2) w(iz) with the Faddeeva function w, computed by
// Weideman's rational expansion w(z) = 2 p(Z) / (L - iz)^2 + 1 / (sqrt(pi)
// (L - iz)), Z = (L + iz) / (L - iz), in the upper half plane.  Near 0, where
// 1 - exp(-z^2) w(iz) cancels, the Taylor series is used instead.

constexpr int kWeidemanTerms = 40;
constexpr double kTaylorRadius = 1.0;
const double kSqrtPi = std::sqrt(M_PI);

struct Weideman {
    double scale = 0.0;                      // L = sqrt(N / sqrt(2))
    std::array<double, kWeidemanTerms> a{};  // a[m - 1] multiplies Z^(m - 1)
};

// The coefficients: the cosine transform of exp(-t^2) (L^2 + t^2) sampled at
// t = L tan(theta / 2), theta = k pi / M over -M < k < M, M = 2N.
Weideman MakeWeideman() {
    Weideman w;
    const int n = kWeidemanTerms, m = 2 * n;
    w.scale = std::sqrt(n / std::sqrt(2.0));
    std::array<double, 2 * kWeidemanTerms> f{};
    for (int k = 0; k < m; ++k) {
        const double t = w.scale * std::tan(k * M_PI / m / 2.0);
        f[k] = std::exp(-t * t) * (w.scale * w.scale + t * t);
    }
    for (int j = 1; j <= n; ++j) {
        double sum = f[0];
        for (int k = 1; k < m; ++k) sum += 2.0 * f[k] * std::cos(M_PI * j * k / m);
        w.a[j - 1] = sum / (2.0 * m);
    }
    return w;
}

// w(z) for Im z >= 0.
Complex FaddeevaUpper(Complex z) {
    static const Weideman w = MakeWeideman();
    const Complex iz{-z.imag(), z.real()};
    const Complex den = w.scale - iz;
    const Complex zz = (w.scale + iz) / den;
    Complex p = 0.0;
    for (int k = kWeidemanTerms - 1; k >= 0; --k) p = p * zz + w.a[k];
    return 2.0 * p / (den * den) + 1.0 / (kSqrtPi * den);
}

Complex ErfTaylor(Complex z) {
    const Complex z2 = z * z;
    Complex term = z, sum = z;
    for (int k = 1; k < 60; ++k) {
        term *= -z2 / static_cast<double>(k);
        const Complex add = term / static_cast<double>(2 * k + 1);
        sum += add;
        if (std::abs(add) <= 1e-17 * std::abs(sum)) break;
    }
    return 2.0 / kSqrtPi * sum;
}

Complex Erf(Complex z) {
    if (std::isnan(z.real()) || std::isnan(z.imag())) return {kNaN, kNaN};
    if (z.real() < 0.0) return -Erf(-z);
    if (std::abs(z) < kTaylorRadius) return ErfTaylor(z);
    if (z.imag() == 0.0) return {std::erf(z.real()), 0.0};
    const Complex iz{-z.imag(), z.real()};  // Im iz = Re z >= 0
    return 1.0 - std::exp(-z * z) * FaddeevaUpper(iz);
}

double Modulus(Complex z) { return std::hypot(z.real(), z.imag()); }

}  // namespace

/// cabs(z)
/// The modulus of each number of the complex row `z` (a 2 by n matrix: real parts in row 0,
/// imaginary parts in row 1; a 1 by n row is real), as a 1 by n row.
/// Example:
///     print(cabs(<3,1;4,0>));
void FnCabs(ZuVALUE* rtn, ZuVALUE* pv, int) {
    ComplexRow a;
    if (!ComplexArg(pv, 0, &a) || !lib::Allocated(lib::ResultMatrix(rtn, 1, a.n))) return;
    for (int j = 0; j < a.n; ++j) MatrixData(rtn)[0][j] = Modulus(a.At(j));
}

/// cmul(a, b)
/// The products of the complex rows `a` and `b` (2 by n: real parts, imaginary parts), number
/// by number; a row of one number goes with every number of the other.
/// Example:
///     print(cmul(<1;2>, <3,0;4,1>));
void FnCmul(ZuVALUE* rtn, ZuVALUE* pv, int) { TwoComplex<Multiply>(rtn, pv); }
/// cdiv(a, b)
/// The quotients of the complex rows `a` and `b` (2 by n), number by number, by Smith's
/// method so that no intermediate product overflows; a row of one number goes with every
/// number of the other. Division by 0 gives missing values in both parts.
/// Example:
///     print(cdiv(<1;2>, <0,1;1,0>), cdiv(<1;1>, <0;0>));
void FnCdiv(ZuVALUE* rtn, ZuVALUE* pv, int) { TwoComplex<Divide>(rtn, pv); }

/// cexp(z)
/// e to the power of each number of the complex row `z` (2 by n).
/// Example:
///     print(cexp(<0,0;0,M_PI>));
void FnCexp(ZuVALUE* rtn, ZuVALUE* pv, int) { OneComplex<Exp>(rtn, pv); }

/// clog(z)
/// The principal logarithm of each number of the complex row `z`, imaginary part in [-pi, pi].
/// On the cut along the negative real axis the sign of a zero imaginary part decides (a real
/// -1 gives i pi); `clog(0)` has real part -.Inf.
/// Example:
///     print(clog(<-1,1;0,1>));
void FnClog(ZuVALUE* rtn, ZuVALUE* pv, int) { OneComplex<Log>(rtn, pv); }

/// csqrt(z)
/// The principal square root of each number of the complex row `z`, real part >= 0; on the
/// negative real axis the root takes the sign of the zero imaginary part (a real -4 gives 2i).
/// Example:
///     print(csqrt(<-4,0;0,2>));
void FnCsqrt(ZuVALUE* rtn, ZuVALUE* pv, int) { OneComplex<Sqrt>(rtn, pv); }

/// cerf(z)
/// The error function of each number of the complex row `z`, to about 1e-13 relative; where
/// exp(-z^2) overflows (large |Im z| against |Re z|) the parts become infinite or missing.
/// Example:
///     print(cerf(<1,0.5;0,1>));
void FnCerf(ZuVALUE* rtn, ZuVALUE* pv, int) { OneComplex<Erf>(rtn, pv); }

}  // namespace zu::stdlib
