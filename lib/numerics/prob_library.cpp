// Distribution functions, densities and quantiles over Boost.Math.
#include <boost/math/distributions.hpp>
#include <boost/math/special_functions.hpp>

#include <cmath>
#include <limits>

#include "numerics/boost_policy.h"
#include "numerics/prob.h"

namespace bm = boost::math;

namespace zu::numerics {
namespace {

using Policy = BoostPolicy;

bool IsProbability(double p) { return p >= 0 && p <= 1; }

constexpr int kMaxSteps = 1000;

// The noncentral routines sum Poisson-weighted terms outwards from the
// mode; far beyond this noncentrality they would run for hours, so it
// bounds their domain.
constexpr double kLargestNoncentrality = 1e8;

bool Noncentrality(double nc) { return nc >= 0 && nc <= kLargestNoncentrality; }

// ---- Discrete helpers -------------------------------------------------

// The smallest integer x in [lo, hi] with cdf(x) >= p, searched from a
// guess: steps are few because the guess is the real-valued quantile.
template <class Cdf>
double SmallestAtLeast(Cdf cdf, double p, double lo, double hi, double guess) {
    if (!(guess >= lo)) guess = lo;
    if (!(guess <= hi)) guess = hi;
    double x = std::floor(guess);
    // A fuzz of a few ulps keeps a p computed as cdf(x) from landing on x+1.
    const double target = p * (1 - 64 * std::numeric_limits<double>::epsilon());
    // Past 2^53 a step of 1 is lost; the guess is within a few steps of
    // the answer, so a bound on the steps only stops a runaway.
    constexpr double kExact = 9007199254740992.0;
    for (int steps = 0; x > lo && x < kExact && steps < kMaxSteps && cdf(x - 1) >= target; ++steps) x -= 1;
    for (int steps = 0; x < hi && x < kExact && steps < kMaxSteps && cdf(x) < target; ++steps) x += 1;
    return x;
}

template <class Dist>
double DiscreteCdf(const Dist& d, double x, double lo, double hi) {
    if (std::isnan(x)) return x;
    if (x < lo) return 0;
    if (x >= hi) return 1;
    return bm::cdf(d, std::floor(x));
}

template <class Dist>
double DiscretePmf(const Dist& d, double x, double lo, double hi) {
    if (std::isnan(x)) return x;
    if (x < lo || x > hi || x != std::floor(x)) return 0;
    return bm::pdf(d, x);
}

template <class Dist>
double DiscreteQuantile(const Dist& d, double p, double lo, double hi) {
    if (!IsProbability(p)) return NaN();
    if (p == 0) return lo;
    if (p == 1) return hi;
    const double guess = bm::quantile(d, p);
    return SmallestAtLeast([&](double x) { return bm::cdf(d, x); }, p, lo, hi, guess);
}

constexpr double kInf = std::numeric_limits<double>::infinity();

// ---- Continuous helper -----------------------------------------------

template <class Dist>
double ContinuousQuantile(const Dist& d, double p, double lo, double hi) {
    if (!IsProbability(p)) return NaN();
    if (p == 0) return lo;
    if (p == 1) return hi;
    return bm::quantile(d, p);
}

}  // namespace

double RegularisedGammaP(double a, double x) { return bm::gamma_p(a, x, Policy()); }
double RegularisedGammaQ(double a, double x) { return bm::gamma_q(a, x, Policy()); }
double RegularisedBetaComplement(double a, double b, double x) { return bm::ibetac(a, b, x, Policy()); }
double RegularisedBeta(double a, double b, double x) { return bm::ibeta(a, b, x, Policy()); }

// Phi(x) = erfc(z)/2 with z = -x/sqrt(2).  Far out, erfc(z) has the
// relative condition 2 z^2, so the rounding of z alone would cost 1e-13 at
// x = -37; z is therefore formed as z + e exactly (1/sqrt(2) in two parts
// and the product's rounding error by fma), and erfc(z + e) is taken as
// erfc(z) - (2/sqrt(pi)) exp(-z^2) e, exact to the order of e^2.
double PhiAccurate(double x) {
    constexpr double kHigh = 0.70710678118654757;     // 1/sqrt(2) rounded
    constexpr double kLow = -4.8336466567264565e-17;  // 1/sqrt(2) - kHigh
    const double z = -x * kHigh;
    const double e = std::fma(-x, kHigh, -z) - x * kLow;
    return 0.5 * (std::erfc(z) - 1.1283791670955126 * std::exp(-z * z) * e);
}

}  // namespace zu::numerics

using namespace zu::numerics;

// Each routine is a function-try-block: a few Boost.Math routines use a
// throwing policy of their own inside (a normal distribution in the
// inverse Gaussian, truncations in the polygamma), and no exception may
// leave a C entry point.  Whatever throws gives NaN.
extern "C" {

// ---- Student t, chi-squared, F ---------------------------------------

double DDensT(double t, double df) try {
    if (!(df > 0) || std::isnan(t)) return NaN();
    return bm::pdf(bm::students_t_distribution<double, Policy>(df), t);
} catch (...) {
    return NaN();
}

double DQuanTD(double p, double df) try {
    if (!(df > 0)) return NaN();
    return ContinuousQuantile(bm::students_t_distribution<double, Policy>(df), p, -kInf, kInf);
} catch (...) {
    return NaN();
}

double DQuanT(double p, int df) { return DQuanTD(p, df); }

double DProbTNc(double t, double df, double delta) try {
    if (!(df > 0) || !(std::fabs(delta) <= kLargestNoncentrality) || std::isnan(t)) return NaN();
    if (std::isinf(t)) return t > 0 ? 1 : 0;
    return bm::cdf(bm::non_central_t_distribution<double, Policy>(df, delta), t);
} catch (...) {
    return NaN();
}

double DProbChiNc(double x, double df, double nc) try {
    if (!(df > 0) || !Noncentrality(nc) || std::isnan(x)) return NaN();
    if (x <= 0) return 0;
    if (std::isinf(x)) return 1;
    return bm::cdf(bm::non_central_chi_squared_distribution<double, Policy>(df, nc), x);
} catch (...) {
    return NaN();
}

double DDensChi(double x, double df) try {
    if (!(df > 0) || std::isnan(x)) return NaN();
    if (x < 0 || std::isinf(x)) return 0;
    if (x == 0) return df < 2 ? kInf : df == 2 ? 0.5 : 0;
    return bm::pdf(bm::chi_squared_distribution<double, Policy>(df), x);
} catch (...) {
    return NaN();
}

double DQuanChi(double p, double df) try {
    if (!(df > 0)) return NaN();
    return ContinuousQuantile(bm::chi_squared_distribution<double, Policy>(df), p, 0, kInf);
} catch (...) {
    return NaN();
}

double DProbF(double x, double df1, double df2) try {
    if (!(df1 > 0 && df2 > 0) || std::isnan(x)) return NaN();
    if (x <= 0) return 0;
    if (std::isinf(x)) return 1;
    return bm::cdf(bm::fisher_f_distribution<double, Policy>(df1, df2), x);
} catch (...) {
    return NaN();
}

double DTailProbF(double x, double df1, double df2) try {
    if (!(df1 > 0 && df2 > 0) || std::isnan(x)) return NaN();
    if (x <= 0) return 1;
    if (std::isinf(x)) return 0;
    return bm::cdf(bm::complement(bm::fisher_f_distribution<double, Policy>(df1, df2), x));
} catch (...) {
    return NaN();
}

double DProbFNc(double x, double df1, double df2, double nc) try {
    if (!(df1 > 0 && df2 > 0) || !Noncentrality(nc) || std::isnan(x)) return NaN();
    if (x <= 0) return 0;
    if (std::isinf(x)) return 1;
    return bm::cdf(bm::non_central_f_distribution<double, Policy>(df1, df2, nc), x);
} catch (...) {
    return NaN();
}

double DDensF(double x, double df1, double df2) try {
    if (!(df1 > 0 && df2 > 0) || std::isnan(x)) return NaN();
    if (x < 0 || std::isinf(x)) return 0;
    if (x == 0) return df1 < 2 ? kInf : df1 == 2 ? 1 : 0;
    return bm::pdf(bm::fisher_f_distribution<double, Policy>(df1, df2), x);
} catch (...) {
    return NaN();
}

double DQuanF(double p, double df1, double df2) try {
    if (!(df1 > 0 && df2 > 0)) return NaN();
    return ContinuousQuantile(bm::fisher_f_distribution<double, Policy>(df1, df2), p, 0, kInf);
} catch (...) {
    return NaN();
}

// ---- Gamma, beta, exponential ----------------------------------------

double DProbGamma(double x, double r, double a) try {
    if (!(r > 0 && a > 0) || std::isnan(x)) return NaN();
    if (x <= 0) return 0;
    return bm::gamma_p(r, a * x, Policy());
} catch (...) {
    return NaN();
}

double DDensGamma(double x, double r, double a) try {
    if (!(r > 0 && a > 0) || std::isnan(x)) return NaN();
    if (x < 0 || std::isinf(x)) return 0;
    if (x == 0) return r < 1 ? kInf : r == 1 ? a : 0;
    return a * bm::gamma_p_derivative(r, a * x, Policy());
} catch (...) {
    return NaN();
}

double DQuanGamma(double p, double r, double a) try {
    if (!(r > 0 && a > 0) || !IsProbability(p)) return NaN();
    if (p == 1) return kInf;
    return bm::gamma_p_inv(r, p, Policy()) / a;
} catch (...) {
    return NaN();
}

double DProbBeta(double x, double a, double b) try {
    if (!(a > 0 && b > 0) || std::isnan(x)) return NaN();
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    return bm::ibeta(a, b, x, Policy());
} catch (...) {
    return NaN();
}

double DProbBetaNc(double x, double a, double b, double nc) try {
    if (!(a > 0 && b > 0) || !Noncentrality(nc) || std::isnan(x)) return NaN();
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    return bm::cdf(bm::non_central_beta_distribution<double, Policy>(a, b, nc), x);
} catch (...) {
    return NaN();
}

double DDensBeta(double x, double a, double b) try {
    if (!(a > 0 && b > 0) || std::isnan(x)) return NaN();
    if (x < 0 || x > 1) return 0;
    if (x == 0) return a < 1 ? kInf : a == 1 ? b : 0;
    if (x == 1) return b < 1 ? kInf : b == 1 ? a : 0;
    return bm::ibeta_derivative(a, b, x, Policy());
} catch (...) {
    return NaN();
}

double DQuanBeta(double p, double a, double b) try {
    if (!(a > 0 && b > 0) || !IsProbability(p)) return NaN();
    return bm::ibeta_inv(a, b, p, Policy());
} catch (...) {
    return NaN();
}

double DDensExp(double x, double lambda) try {
    if (!(lambda > 0) || std::isnan(x)) return NaN();
    return x < 0 ? 0 : lambda * std::exp(-lambda * x);
} catch (...) {
    return NaN();
}

double DQuanExp(double p, double lambda) try {
    if (!(lambda > 0) || !IsProbability(p)) return NaN();
    return -std::log1p(-p) / lambda;
} catch (...) {
    return NaN();
}

// ---- Location-scale families -----------------------------------------

double DProbLogNormal(double x) try {
    if (std::isnan(x)) return x;
    return x <= 0 ? 0 : PhiAccurate(std::log(x));
} catch (...) {
    return NaN();
}

double DDensLogNormal(double x) try {
    if (std::isnan(x)) return x;
    if (x <= 0 || std::isinf(x)) return 0;
    const double l = std::log(x);
    return std::exp(-l * l / 2) / (x * 2.5066282746310002);
} catch (...) {
    return NaN();
}

double DQuanLogNormal(double p) try {
    return ContinuousQuantile(bm::lognormal_distribution<double, Policy>(0, 1), p, 0, kInf);
} catch (...) {
    return NaN();
}

double DProbLogistic(double x, double alpha, double beta) try {
    if (!(beta > 0) || !std::isfinite(alpha) || std::isnan(x)) return NaN();
    return 1 / (1 + std::exp(-(x - alpha) / beta));
} catch (...) {
    return NaN();
}

double DDensLogistic(double x, double alpha, double beta) try {
    if (!(beta > 0) || !std::isfinite(alpha) || std::isnan(x)) return NaN();
    const double e = std::exp(-std::fabs(x - alpha) / beta);
    return e / (beta * (1 + e) * (1 + e));
} catch (...) {
    return NaN();
}

double DQuanLogistic(double p, double alpha, double beta) try {
    if (!(beta > 0) || !std::isfinite(alpha) || !IsProbability(p)) return NaN();
    return alpha + beta * std::log(p / (1 - p));
} catch (...) {
    return NaN();
}

double DProbCauchy(double x) try {
    if (std::isnan(x)) return x;
    return bm::cdf(bm::cauchy_distribution<double, Policy>(0, 1), x);
} catch (...) {
    return NaN();
}

double DDensCauchy(double x) try {
    if (std::isnan(x)) return x;
    return 1 / (3.141592653589793 * (1 + x * x));
} catch (...) {
    return NaN();
}

double DQuanCauchy(double p) try {
    return ContinuousQuantile(bm::cauchy_distribution<double, Policy>(0, 1), p, -kInf, kInf);
} catch (...) {
    return NaN();
}

double DProbExtremeValue(double x, double alpha, double beta) try {
    if (!(beta > 0) || !std::isfinite(alpha) || std::isnan(x)) return NaN();
    return std::exp(-std::exp(-(x - alpha) / beta));
} catch (...) {
    return NaN();
}

double DDensExtremeValue(double x, double alpha, double beta) try {
    if (!(beta > 0) || !std::isfinite(alpha) || std::isnan(x)) return NaN();
    const double z = (x - alpha) / beta;
    if (z < -700) return 0;
    return std::exp(-z - std::exp(-z)) / beta;
} catch (...) {
    return NaN();
}

double DQuanExtremeValue(double p, double alpha, double beta) try {
    if (!(beta > 0) || !std::isfinite(alpha) || !IsProbability(p)) return NaN();
    return alpha - beta * std::log(-std::log(p));
} catch (...) {
    return NaN();
}

double DProbPareto(double x, double k, double a) try {
    if (!(k > 0 && a > 0) || std::isnan(x)) return NaN();
    // 1 - (k/x)^a with log(k/x) = -log1p((x - k)/k): x - k is exact near k,
    // where the ratio k/x would round.
    return x <= k ? 0 : -std::expm1(-a * std::log1p((x - k) / k));
} catch (...) {
    return NaN();
}

double DDensPareto(double x, double k, double a) try {
    if (!(k > 0 && a > 0) || std::isnan(x)) return NaN();
    return x < k ? 0 : a / x * std::exp(a * std::log(k / x));
} catch (...) {
    return NaN();
}

double DQuanPareto(double p, double k, double a) try {
    if (!(k > 0 && a > 0) || !IsProbability(p)) return NaN();
    return k * std::exp(-std::log1p(-p) / a);
} catch (...) {
    return NaN();
}

double DProbWeibull(double x, double a, double b) try {
    if (!(a > 0 && b > 0) || std::isnan(x)) return NaN();
    return x <= 0 ? 0 : -std::expm1(-std::pow(x / b, a));
} catch (...) {
    return NaN();
}

double DDensWeibull(double x, double a, double b) try {
    if (!(a > 0 && b > 0) || std::isnan(x)) return NaN();
    if (x < 0 || std::isinf(x)) return 0;
    if (x == 0) return a < 1 ? kInf : a == 1 ? 1 / b : 0;
    const double z = std::pow(x / b, a - 1);
    return a / b * z * std::exp(-z * x / b);
} catch (...) {
    return NaN();
}

double DQuanWeibull(double p, double a, double b) try {
    if (!(a > 0 && b > 0) || !IsProbability(p)) return NaN();
    return b * std::pow(-std::log1p(-p), 1 / a);
} catch (...) {
    return NaN();
}

double DProbInvGaussian(double x, double mu, double lambda) try {
    if (!(mu > 0 && lambda > 0) || std::isnan(x)) return NaN();
    if (x <= 0) return 0;
    if (std::isinf(x)) return 1;
    return bm::cdf(bm::inverse_gaussian_distribution<double, Policy>(mu, lambda), x);
} catch (...) {
    return NaN();
}

double DDensInvGaussian(double x, double mu, double lambda) try {
    if (!(mu > 0 && lambda > 0) || std::isnan(x)) return NaN();
    if (x <= 0 || std::isinf(x)) return 0;
    return bm::pdf(bm::inverse_gaussian_distribution<double, Policy>(mu, lambda), x);
} catch (...) {
    return NaN();
}

double DQuanInvGaussian(double p, double mu, double lambda) try {
    if (!(mu > 0 && lambda > 0)) return NaN();
    return ContinuousQuantile(bm::inverse_gaussian_distribution<double, Policy>(mu, lambda), p, 0, kInf);
} catch (...) {
    return NaN();
}

// ---- Discrete distributions ------------------------------------------

double DProbBinomial(double x, int n, double p) try {
    if (n < 0 || !IsProbability(p)) return NaN();
    return DiscreteCdf(bm::binomial_distribution<double, Policy>(n, p), x, 0, n);
} catch (...) {
    return NaN();
}

double DDensBinomial(double x, int n, double p) try {
    if (n < 0 || !IsProbability(p)) return NaN();
    return DiscretePmf(bm::binomial_distribution<double, Policy>(n, p), x, 0, n);
} catch (...) {
    return NaN();
}

double DQuanBinomial(double p, int n, double prob) try {
    if (n < 0 || !IsProbability(prob)) return NaN();
    if (prob == 0 || n == 0) return IsProbability(p) ? 0 : NaN();
    if (prob == 1) return IsProbability(p) ? n : NaN();
    return DiscreteQuantile(bm::binomial_distribution<double, Policy>(n, prob), p, 0, n);
} catch (...) {
    return NaN();
}

double DProbGeometric(double x, double p) try {
    if (!(p > 0 && p <= 1) || std::isnan(x)) return NaN();
    if (x < 0) return 0;
    if (p == 1) return 1;
    return -std::expm1((std::floor(x) + 1) * std::log1p(-p));
} catch (...) {
    return NaN();
}

double DDensGeometric(double x, double p) try {
    if (!(p > 0 && p <= 1) || std::isnan(x)) return NaN();
    if (x < 0 || x != std::floor(x)) return 0;
    if (p == 1) return x == 0 ? 1 : 0;
    return p * std::exp(x * std::log1p(-p));
} catch (...) {
    return NaN();
}

double DQuanGeometric(double p, double prob) try {
    if (!(prob > 0 && prob <= 1) || !IsProbability(p)) return NaN();
    if (prob == 1 || p == 0) return 0;
    if (p == 1) return kInf;
    const double guess = std::log1p(-p) / std::log1p(-prob) - 1;
    return SmallestAtLeast([prob](double x) { return DProbGeometric(x, prob); }, p, 0, kInf, guess);
} catch (...) {
    return NaN();
}

double DQuanHypergeometric(double p, int N, int k, int n) try {
    if (N < 0 || k < 0 || n < 0 || k > N || n > N || !IsProbability(p)) return NaN();
    const double lo = std::max(0, n + k - N), hi = std::min(n, k);
    if (p == 0 || N == 0) return lo;
    // Start from the normal approximation, a few steps from the answer.
    const double f = static_cast<double>(k) / N;
    const double mean = n * f;
    const double var = N > 1 ? n * f * (1 - f) * (N - n) / (N - 1.0) : 0;
    const double z = p == 1 ? 0 : DQuanNormal(p);
    return SmallestAtLeast([&](double x) { return DProbHypergeometric(x, N, k, n); }, p, lo, hi,
                           std::floor(mean + z * std::sqrt(var)));
} catch (...) {
    return NaN();
}

double DProbNegBin(double x, int n, double p) try {
    if (n < 1 || !(p > 0 && p <= 1)) return NaN();
    if (p == 1) return std::isnan(x) ? x : x < 0 ? 0 : 1;
    return DiscreteCdf(bm::negative_binomial_distribution<double, Policy>(n, p), x, 0, kInf);
} catch (...) {
    return NaN();
}

double DDensNegBin(double x, int n, double p) try {
    if (n < 1 || !(p > 0 && p <= 1)) return NaN();
    if (p == 1) return std::isnan(x) ? x : x == 0 ? 1 : 0;
    return DiscretePmf(bm::negative_binomial_distribution<double, Policy>(n, p), x, 0, kInf);
} catch (...) {
    return NaN();
}

double DQuanNegBin(double p, int n, double prob) try {
    if (n < 1 || !(prob > 0 && prob <= 1) || !IsProbability(p)) return NaN();
    if (prob == 1) return 0;
    return DiscreteQuantile(bm::negative_binomial_distribution<double, Policy>(n, prob), p, 0, kInf);
} catch (...) {
    return NaN();
}

double DProbPoisson(double x, double mu) try {
    if (!(mu >= 0 && std::isfinite(mu))) return NaN();
    if (mu == 0) return std::isnan(x) ? x : x < 0 ? 0 : 1;
    return DiscreteCdf(bm::poisson_distribution<double, Policy>(mu), x, 0, kInf);
} catch (...) {
    return NaN();
}

double DDensPoisson(double x, double mu) try {
    if (!(mu >= 0 && std::isfinite(mu))) return NaN();
    if (mu == 0) return std::isnan(x) ? x : x == 0 ? 1 : 0;
    return DiscretePmf(bm::poisson_distribution<double, Policy>(mu), x, 0, kInf);
} catch (...) {
    return NaN();
}

double DQuanPoisson(double p, double mu) try {
    if (!(mu >= 0 && std::isfinite(mu)) || !IsProbability(p)) return NaN();
    if (mu == 0) return 0;
    return DiscreteQuantile(bm::poisson_distribution<double, Policy>(mu), p, 0, kInf);
} catch (...) {
    return NaN();
}

// ---- Support routines -------------------------------------------------

double DGammaFunc(double x, double r) try {
    if (!(r > 0) || std::isnan(x)) return NaN();
    return x <= 0 ? 0 : bm::gamma_p(r, x, Policy());
} catch (...) {
    return NaN();
}

double DBetaFunc(double x, double a, double b) { return DProbBeta(x, a, b); }

double DPolyGamma(double x, int n) try {
    if (n < 0 || std::isnan(x)) return NaN();
    // Boost truncates x to a long long internally (with a throwing policy
    // of its own), so the infinities and the integers far below zero,
    // which are poles anyway, are answered here.
    if (x == HUGE_VAL) return n == 0 ? x : 0;
    if (x <= 0 && (x == std::floor(x) || x < -1e15)) return NaN();
    return bm::polygamma(n, x, Policy());
} catch (...) {
    return NaN();
}

double DBinomial(int n, int k) try {
    if (n < 0 || k < 0) return NaN();
    if (k > n) return 0;
    // Boost forms large coefficients from the beta function, to a few
    // ulps; exp of a difference of log-gammas would lose digits.
    return std::round(bm::binomial_coefficient<double>(n, k, Policy()));
} catch (...) {
    return NaN();
}

double DFactorial(int n) try {
    if (n < 0) return NaN();
    return n <= 170 ? bm::factorial<double>(n, Policy()) : kInf;
} catch (...) {
    return NaN();
}

}  // extern "C"
