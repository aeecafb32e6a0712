// The von Mises, logarithmic, bivariate normal, generalised hyperbolic
// and generalised inverse Gaussian members, which have no ready routine.
#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/expint.hpp>
#include <boost/math/quadrature/gauss_kronrod.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "numerics/boost_policy.h"
#include "numerics/prob.h"

namespace zu::numerics {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;

// log K_nu(z): Boost below 500, the asymptotic series beyond, where the
// function itself underflows.
double LogBesselK(double nu, double z) {
    if (z < 500) return std::log(boost::math::cyl_bessel_k(nu, z, BoostPolicy()));
    const double mu = 4 * nu * nu;
    double term = 1, sum = 1;
    for (int k = 1; k <= 8; ++k) {
        term *= (mu - (2 * k - 1) * (2 * k - 1)) / (k * 8 * z);
        sum += term;
    }
    return 0.5 * std::log(kPi / (2 * z)) - z + std::log(sum);
}

// I_0(kappa) exp(-kappa), by its asymptotic series where I_0 overflows.
double ScaledBesselI0(double kappa) {
    if (kappa < 700) return boost::math::cyl_bessel_i(0, kappa, BoostPolicy()) * std::exp(-kappa);
    double term = 1, sum = 1;
    for (int k = 1; k <= 10; ++k) {
        term *= (2.0 * k - 1) * (2.0 * k - 1) / (k * 8 * kappa);
        sum += term;
    }
    return sum / std::sqrt(kTwoPi * kappa);
}

// Von Mises distribution function of d = x - mu in [-pi, pi]:
// (d + pi)/2pi + (1/pi) sum_j (I_j/I_0) sin(j d)/j, the Bessel ratios from
// the backward recurrence I_j/I_(j-1) = 1/(2j/kappa + I_(j+1)/I_j).
double MisesCentred(double d, double kappa) {
    const int terms = 40 + static_cast<int>(12 * std::sqrt(kappa));
    std::vector<double> ratio(terms + 1);
    double next = 0;
    for (int j = 2 * terms; j >= 1; --j) {
        next = 1 / (2 * j / kappa + next);
        if (j <= terms) ratio[j] = next;
    }
    double sum = 0, a = 1;
    for (int j = 1; j <= terms; ++j) {
        a *= ratio[j];
        if (a < 1e-300) break;
        sum += a * std::sin(j * d) / j;
    }
    const double f = (d + kPi) / kTwoPi + sum / kPi;
    return f < 0 ? 0 : f > 1 ? 1 : f;
}

// The series and Genz's method are accurate to about 1e-16 absolutely;
// below this probability their tails are integrated instead, so that they
// keep their relative accuracy.
constexpr double kTailByQuadrature = 1e-2;

// The integral of the positive function f over [a, b] (either end may be
// infinite), to about 1e-15 relative: adaptive 61-point Gauss-Kronrod.
template <class F>
double PositiveIntegral(F f, double a, double b) {
    return boost::math::quadrature::gauss_kronrod<double, 61>::integrate(f, a, b, 12, 1e-14);
}

// The von Mises lower tail of d in [-pi, 0) as the integral of the density.
double MisesLowerTail(double d, double kappa) {
    const double scale = kTwoPi * ScaledBesselI0(kappa);
    return PositiveIntegral([kappa](double u) { return std::exp(kappa * (std::cos(u) - 1)); }, -kPi, d) / scale;
}

// P(X <= h, Y <= k) as the integral over x below h of
// phi(x) Phi((k - r x)/s).  In the far tails the integrand is concentrated
// just below h, within a width that can be a thousandth: the breaks at
// h - 10^-j let the adaptive rule find it.
double BvnLowerByQuadrature(double h, double k, double r) {
    const double s = std::sqrt((1 - r) * (1 + r));
    const auto f = [=](double x) { return std::exp(-x * x / 2) / 2.5066282746310002 * PhiAccurate((k - r * x) / s); };
    double sum = PositiveIntegral(f, -std::numeric_limits<double>::infinity(), h - 1);
    for (double width = 1; width > 1e-4; width /= 10) sum += PositiveIntegral(f, h - width, h - width / 10);
    return sum + PositiveIntegral(f, h - 1e-4, h);
}

// Above this concentration the distribution function is the normal one
// with variance 1/kappa, to within about 1/kappa; below it the series
// needs at most some 40000 terms.
constexpr double kMisesNormal = 1e7;

bool MisesDomain(double mu, double kappa) { return std::isfinite(mu) && kappa >= 0 && std::isfinite(kappa); }

// Gauss-Legendre nodes and weights on [-1, 1] by Newton's method on the
// Legendre polynomial.
template <int N>
struct GaussLegendre {
    std::array<double, N> x{}, w{};
    GaussLegendre() {
        for (int i = 0; i < N; ++i) {
            double z = std::cos(kPi * (i + 0.75) / (N + 0.5)), dp = 0;
            for (int iter = 0; iter < 100; ++iter) {
                double p0 = 1, p1 = z;
                for (int k = 2; k <= N; ++k) {
                    const double p2 = ((2 * k - 1) * z * p1 - (k - 1) * p0) / k;
                    p0 = p1;
                    p1 = p2;
                }
                dp = N * (z * p1 - p0) / (z * z - 1);
                const double step = p1 / dp;
                z -= step;
                if (std::fabs(step) < 1e-16) break;
            }
            x[i] = z;
            w[i] = 2 / ((1 - z * z) * dp * dp);
        }
    }
};

// P(X > h, Y > k) for standard normals of correlation r: Genz's method
// (Drezner and Wesolowsky's integral with Gauss-Legendre rules of 6, 12
// or 20 points, and an expansion near |r| = 1).
template <int N>
double BvnUpper(double h, double k, double r, const GaussLegendre<N>& g) {
    double hk = h * k, bvn = 0;
    if (std::fabs(r) < 0.925) {
        const double hs = (h * h + k * k) / 2, asr = std::asin(r);
        for (int i = 0; i < N; ++i) {
            const double sn = std::sin(asr * (g.x[i] + 1) / 2);
            bvn += g.w[i] * std::exp((sn * hk - hs) / (1 - sn * sn));
        }
        return bvn * asr / (4 * kPi) + PhiAccurate(-h) * PhiAccurate(-k);
    }
    if (r < 0) {
        k = -k;
        hk = -hk;
    }
    if (std::fabs(r) < 1) {
        const double as = (1 - r) * (1 + r);
        double a = std::sqrt(as);
        const double bs = (h - k) * (h - k);
        const double c = (4 - hk) / 8, d = (12 - hk) / 16;
        bvn = a * std::exp(-(bs / as + hk) / 2) * (1 - c * (bs - as) * (1 - d * bs / 5) / 3 + c * d * as * as / 5);
        if (hk > -160) {
            const double b = std::sqrt(bs);
            bvn -=
                std::exp(-hk / 2) * std::sqrt(kTwoPi) * PhiAccurate(-b / a) * b * (1 - c * bs * (1 - d * bs / 5) / 3);
        }
        a /= 2;
        for (int i = 0; i < N; ++i) {
            const double xs = (a * (g.x[i] + 1)) * (a * (g.x[i] + 1));
            const double rs = std::sqrt(1 - xs);
            const double e = -(bs / xs + hk) / 2;
            if (e > -100)
                bvn += a * g.w[i] * std::exp(e) *
                       (std::exp(-hk * (1 - rs) / (2 * (1 + rs))) / rs - (1 + c * xs * (1 + d * xs)));
        }
        bvn = -bvn / kTwoPi;
    }
    if (r > 0) return bvn + PhiAccurate(-std::fmax(h, k));
    bvn = -bvn;
    if (k > h) {
        if (h < 0)
            bvn += PhiAccurate(k) - PhiAccurate(h);
        else
            bvn += PhiAccurate(-h) - PhiAccurate(-k);
    }
    return bvn;
}

double LogarithmicPmf(double x, double a) { return -std::exp(x * std::log(a)) / (x * std::log1p(-a)); }

// Up to this count the probabilities are summed one by one.
constexpr double kLogarithmicTerms = 1e6;

// P(X <= x) for x beyond kLogarithmicTerms: 1 - sum_{j>x} a^j/j / L with
// the tail as the integral of e^(-ct)/t from x + 1/2 (c = -log a), which
// is E1((x + 1/2) c); its error is below 1e-13 of the tail there.
double LogarithmicUpper(double x, double a) {
    const double c = -std::log(a), l = -std::log1p(-a);
    return 1 - boost::math::expint(1, (x + 0.5) * c, BoostPolicy()) / l;
}

}  // namespace
}  // namespace zu::numerics

using namespace zu::numerics;

// Function-try-blocks: no exception from Boost.Math leaves a C entry point.
extern "C" {

double DDensMises(double x, double mu, double kappa) try {
    if (!MisesDomain(mu, kappa) || std::isnan(x)) return NaN();
    return std::exp(kappa * (std::cos(x - mu) - 1)) / (kTwoPi * ScaledBesselI0(kappa));
} catch (...) {
    return NaN();
}

double DProbMises(double x, double mu, double kappa) try {
    if (!MisesDomain(mu, kappa) || std::isnan(x)) return NaN();
    const double d = x - mu;
    if (d <= -kPi) return 0;
    if (d >= kPi) return 1;
    if (kappa == 0) return (d + kPi) / kTwoPi;
    if (kappa > kMisesNormal) return PhiAccurate(d * std::sqrt(kappa));
    const double f = MisesCentred(d, kappa);
    return d < 0 && f < kTailByQuadrature ? MisesLowerTail(d, kappa) : f;
} catch (...) {
    return NaN();
}

double DQuanMises(double p, double mu, double kappa) try {
    if (!MisesDomain(mu, kappa) || !(p >= 0 && p <= 1)) return NaN();
    if (kappa == 0) return mu - kPi + kTwoPi * p;
    if (kappa > kMisesNormal) {
        if (p == 0) return mu - kPi;
        if (p == 1) return mu + kPi;
        return mu + std::clamp(DQuanNormal(p) / std::sqrt(kappa), -kPi, kPi);
    }
    double lo = -kPi, hi = kPi;
    for (int i = 0; i < 200 && hi - lo > 4e-16 * (1 + std::fabs(lo)); ++i) {
        const double mid = (lo + hi) / 2;
        (MisesCentred(mid, kappa) < p ? lo : hi) = mid;
    }
    return mu + (lo + hi) / 2;
} catch (...) {
    return NaN();
}

double DDensLogarithmic(double x, double a) try {
    if (!(a > 0 && a < 1) || std::isnan(x)) return NaN();
    if (x < 1 || x != std::floor(x)) return 0;
    return LogarithmicPmf(x, a);
} catch (...) {
    return NaN();
}

double DProbLogarithmic(double x, double a) try {
    if (!(a > 0 && a < 1) || std::isnan(x)) return NaN();
    if (x < 1) return 0;
    if (x == HUGE_VAL) return 1;
    const double top = std::floor(x);
    if (top > kLogarithmicTerms) return LogarithmicUpper(top, a);
    double sum = 0;
    for (double j = 1; j <= top; ++j) {
        const double p = LogarithmicPmf(j, a);
        sum += p;
        if (p < 1e-17 * sum) break;
    }
    return sum > 1 ? 1 : sum;
} catch (...) {
    return NaN();
}

double DQuanLogarithmic(double p, double a) try {
    if (!(a > 0 && a < 1) || !(p >= 0 && p <= 1)) return NaN();
    if (p == 1) return HUGE_VAL;
    const double target = p * (1 - 64 * 2.220446049250313e-16);
    double sum = 0;
    for (double j = 1; j <= kLogarithmicTerms; ++j) {
        sum += LogarithmicPmf(j, a);
        if (sum >= target) return j;
    }
    // Far out: bisection on the integral form of the distribution function.
    double lo = kLogarithmicTerms, hi = 2 * kLogarithmicTerms;
    while (LogarithmicUpper(hi, a) < target && hi < 4e18) hi *= 2;
    while (hi - lo > 1) {
        const double mid = std::floor((lo + hi) / 2);
        (LogarithmicUpper(mid, a) < target ? lo : hi) = mid;
    }
    return hi;
} catch (...) {
    return NaN();
}

double DProbBVN(double x1, double x2, double rho) try {
    if (std::isnan(x1) || std::isnan(x2) || !(rho >= -1 && rho <= 1)) return NaN();
    static const GaussLegendre<6> g6;
    static const GaussLegendre<12> g12;
    static const GaussLegendre<20> g20;
    const double r = std::fabs(rho);
    // P(X <= x1, Y <= x2) = P(-X > -x1, -Y > -x2).
    const double p = r < 0.3    ? BvnUpper(-x1, -x2, rho, g6)
                     : r < 0.75 ? BvnUpper(-x1, -x2, rho, g12)
                                : BvnUpper(-x1, -x2, rho, g20);
    if (p >= kTailByQuadrature || r == 1 || std::isinf(x1) || std::isinf(x2)) return p;
    return BvnLowerByQuadrature(x1, x2, rho);
} catch (...) {
    return NaN();
}

double DDensGH(double x, double alpha, double beta, double delta, double lambda) try {
    if (!(alpha > 0 && delta > 0 && std::fabs(beta) < alpha && std::isfinite(lambda)) || std::isnan(x)) return NaN();
    if (std::isinf(x)) return 0;
    const double gamma = std::sqrt(alpha * alpha - beta * beta);
    const double q = std::sqrt(delta * delta + x * x);
    const double logf = lambda * std::log(gamma / delta) - 0.5 * std::log(kTwoPi) - LogBesselK(lambda, delta * gamma) +
                        LogBesselK(lambda - 0.5, alpha * q) - (0.5 - lambda) * std::log(q / alpha) + beta * x;
    return std::exp(logf);
} catch (...) {
    return NaN();
}

double DDensGIG(double x, double lambda, double chi, double psi) try {
    if (!(chi >= 0 && psi >= 0 && (chi > 0 || psi > 0) && std::isfinite(lambda)) || std::isnan(x)) return NaN();
    if (chi == 0 && !(lambda > 0)) return NaN();
    if (psi == 0 && !(lambda < 0)) return NaN();
    if (x <= 0 || std::isinf(x)) return 0;
    double lognorm;
    if (chi == 0)  // gamma with shape lambda and rate psi/2
        lognorm = lambda * std::log(psi / 2) - std::lgamma(lambda);
    else if (psi == 0)  // inverse gamma with shape -lambda and scale chi/2
        lognorm = -lambda * std::log(chi / 2) - std::lgamma(-lambda);
    else
        lognorm = lambda / 2 * std::log(psi / chi) - std::log(2.0) - LogBesselK(lambda, std::sqrt(chi * psi));
    return std::exp(lognorm + (lambda - 1) * std::log(x) - (chi / x + psi * x) / 2);
} catch (...) {
    return NaN();
}

}  // extern "C"
