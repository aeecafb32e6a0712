// Draws from the other distributions, each a transformation of the
// current uniform generator and the polar normal only.  Parameters outside
// a distribution's domain give NaN (-1 for the integer draws).
#include <algorithm>
#include <cmath>
#include <limits>

#include "numerics/dense.h"
#include "numerics/prob.h"
#include "numerics/random.h"

namespace zu::numerics {
namespace {

constexpr double kPi = 3.141592653589793;

// ---- gamma, binomial and Poisson samplers ----------------------------------

// Standard gamma with shape r < 1: Ahrens and Dieter's rejection.
double GammaSmallShape(double r) {
    const double e = 2.718281828459045;
    const double b = (r + e) / e;
    for (long tries = 0; tries < kMaxRejections; ++tries) {
        const double p = b * DRanU();
        const double u2 = DRanU();
        if (p <= 1) {
            const double x = std::pow(p, 1 / r);
            if (-std::log(u2) >= x) return x;
        } else {
            const double x = -std::log((b - p) / r);
            if (std::pow(x, r - 1) >= u2) return x;
        }
    }
    return NaN();
}

// Standard gamma with shape above 1: Cheng and Feast's ratio of uniforms,
// with the large-shape variant above 2.5.  The constants are held in
// single precision, as the generator was first published.
double GammaLargeShape(double shape) {
    const float r = static_cast<float>(shape);
    const float a1 = r - 1;
    const float m = 2 / a1;
    const float d = m + 2;
    const bool large = shape > 2.5;
    const float k = large ? 1 / std::sqrt(r) : 0;
    for (long tries = 0; tries < kMaxRejections; ++tries) {
        double u1 = DRanU();
        const double u2 = DRanU();
        if (large) {
            u1 = u2 + (1 - 1.86 * u1) * k;
            if (!(u1 > 0 && u1 < 1)) continue;
        }
        const double w = u2 * ((r - 1 / (6 * r)) / a1) / u1;
        if (1 / w + w + m * u1 < d) return a1 * w;
        if (m * std::log(u1) - std::log(w) + w < 1) return a1 * w;
    }
    return NaN();
}

constexpr double kLargestChengFeastShape = 1e6;

// Binomial by counting successes, for small n.
int BinomialByCounting(int n, double p) {
    int x = 0;
    for (int i = 0; i < n; ++i)
        if (DRanU() < p) ++x;
    return x;
}

// Binomial through beta-distributed order statistics: O(log n) beta
// draws, then counting on what is left.
int BinomialSplit(int n, double p) {
    int x = 0;
    while (n > 64) {
        const int a = 1 + n / 2, b = n + 1 - a;
        const double y = DRanBeta(a, b);
        if (y >= p) {
            n = a - 1;
            p /= y;
        } else {
            x += a;
            n = b - 1;
            p = (p - y) / (1 - y);
        }
    }
    return x + BinomialByCounting(n, p);
}

// Poisson by Hormann's transformed rejection with squeeze, for mu >= 10.
int PoissonRejection(double mu) {
    const double slam = std::sqrt(mu), loglam = std::log(mu);
    const double b = 0.931 + 2.53 * slam;
    const double a = -0.059 + 0.02483 * b;
    const double invalpha = 1.1239 + 1.1328 / (b - 3.4);
    const double vr = 0.9277 - 3.6224 / (b - 2);
    for (long tries = 0; tries < kMaxRejections; ++tries) {
        const double u = DRanU() - 0.5;
        const double v = DRanU();
        const double us = 0.5 - std::fabs(u);
        const double k = std::floor((2 * a / us + b) * u + mu + 0.43);
        if (us >= 0.07 && v <= vr) return static_cast<int>(k);
        if (k < 0 || (us < 0.013 && v > us)) continue;
        if (std::log(v) + std::log(invalpha) - std::log(a / (us * us) + b) <= -mu + k * loglam - std::lgamma(k + 1))
            return static_cast<int>(k);
    }
    return -1;
}

// ---- the generalised inverse Gaussian, the gamma squeeze -------------------

// The standardised generalised inverse Gaussian has density proportional
// to g(y) = y^(lambda-1) exp(-beta (y + 1/y) / 2), lambda >= 0, beta > 0.
// Hormann and Leydold's choice of method by region: the ratio of uniforms
// shifted to the mode (bounds from Dagpunar's cubic) for lambda > 1 or
// beta > 1, the plain ratio of uniforms for moderate beta, and rejection
// from a three-piece hat for small lambda and beta.
double GigLogDensity(double y, double lambda, double beta) {
    return (lambda - 1) * std::log(y) - beta / 2 * (y + 1 / y);
}

double GigShiftedRatio(double lambda, double beta) {
    const double lm1 = lambda - 1;
    const double root = std::sqrt(lm1 * lm1 + beta * beta);
    const double m = lm1 >= 0 ? (lm1 + root) / beta : beta / (root - lm1);
    const double logm = GigLogDensity(m, lambda, beta);
    auto logh = [&](double y) { return GigLogDensity(y, lambda, beta) - logm; };
    const double a = -2 * (lambda + 1) / beta - m;
    const double b = 2 * lm1 * m / beta - 1;
    const double p = b - a * a / 3;
    const double q = 2 * a * a * a / 27 - a * b / 3 + m;
    const double phi = std::acos(std::clamp(-q / 2 * std::sqrt(-27 / (p * p * p)), -1.0, 1.0));
    const double rr = std::sqrt(-4 * p / 3);
    const double yPlus = rr * std::cos(phi / 3) - a / 3;
    const double yMinus = rr * std::cos(phi / 3 + 4 * kPi / 3) - a / 3;
    const double vPlus = (yPlus - m) * std::exp(logh(yPlus) / 2);
    const double vMinus = (yMinus - m) * std::exp(logh(yMinus) / 2);
    for (long tries = 0; tries < kMaxRejections; ++tries) {
        const double u = DRanU();
        const double v = vMinus + (vPlus - vMinus) * DRanU();
        const double y = v / u + m;
        if (y > 0 && 2 * std::log(u) <= logh(y)) return y;
    }
    return NaN();
}

double GigPlainRatio(double lambda, double beta) {
    const double m = beta / ((1 - lambda) + std::sqrt((1 - lambda) * (1 - lambda) + beta * beta));
    const double xp = ((1 + lambda) + std::sqrt((1 + lambda) * (1 + lambda) + beta * beta)) / beta;
    const double logm = GigLogDensity(m, lambda, beta);
    const double vp = 1;  // sqrt(g(m)) after scaling g by g(m)
    const double up = xp * std::exp((GigLogDensity(xp, lambda, beta) - logm) / 2);
    for (long tries = 0; tries < kMaxRejections; ++tries) {
        const double u = up * DRanU();
        const double v = vp * DRanU();
        const double y = u / v;
        if (2 * std::log(v) <= GigLogDensity(y, lambda, beta) - logm) return y;
    }
    return NaN();
}

double GigRejection(double lambda, double beta) {
    const double m = beta / ((1 - lambda) + std::sqrt((1 - lambda) * (1 - lambda) + beta * beta));
    const double x0 = beta / (1 - lambda);
    const double xs = std::fmax(x0, 2 / beta);
    const double k1 = std::exp(GigLogDensity(m, lambda, beta));
    const double a1 = k1 * x0;
    double k2 = 0, a2 = 0;
    if (x0 < 2 / beta) {
        k2 = std::exp(-beta);
        a2 = lambda == 0 ? k2 * std::log(2 / (beta * beta))
                         : k2 * (std::pow(2 / beta, lambda) - std::pow(x0, lambda)) / lambda;
    }
    const double k3 = std::pow(xs, lambda - 1);
    const double a3 = 2 * k3 * std::exp(-xs * beta / 2) / beta;
    const double total = a1 + a2 + a3;
    for (long tries = 0; tries < kMaxRejections; ++tries) {
        const double u = DRanU();
        double v = total * DRanU();
        double x, h;
        if (v <= a1) {
            x = x0 * v / a1;
            h = k1;
        } else if (v <= a1 + a2) {
            v -= a1;
            x = lambda == 0 ? beta * std::exp(v * std::exp(beta))
                            : std::pow(std::pow(x0, lambda) + v * lambda / k2, 1 / lambda);
            h = k2 * std::pow(x, lambda - 1);
        } else {
            v -= a1 + a2;
            x = -2 / beta * std::log(std::exp(-xs * beta / 2) - v * beta / (2 * k3));
            h = k3 * std::exp(-x * beta / 2);
        }
        if (x > 0 && std::log(u * h) <= GigLogDensity(x, lambda, beta)) return x;
    }
    return NaN();
}

double GigStandard(double lambda, double beta) {
    if (lambda > 1 || beta > 1) return GigShiftedRatio(lambda, beta);
    if (beta >= std::fmin(0.5, 2.0 / 3 * std::sqrt(1 - lambda))) return GigPlainRatio(lambda, beta);
    return GigRejection(lambda, beta);
}

// Marsaglia and Tsang's squeeze for standard gamma draws of shape r >= 1,
// in double precision throughout.
double GammaSqueeze(double r) {
    const double d = r - 1.0 / 3, c = 1 / std::sqrt(9 * d);
    for (long tries = 0; tries < kMaxRejections; ++tries) {
        const double x = DRanNormalPM();
        double v = 1 + c * x;
        if (v <= 0) continue;
        v = v * v * v;
        const double u = DRanU();
        if (u < 1 - 0.0331 * x * x * x * x) return d * v;
        if (std::log(u) < 0.5 * x * x + d * (1 - v + std::log(v))) return d * v;
    }
    return NaN();
}

}  // namespace
}  // namespace zu::numerics

using namespace zu::numerics;

extern "C" {

// ---- continuous draws ------------------------------------------------------

double DRanExp(double lambda) { return lambda > 0 ? -std::log(DRanU()) / lambda : NaN(); }

double DRanGamma(double r, double a) {
    if (!(r > 0 && a > 0)) return NaN();
    double g;
    // Cheng and Feast's constants in single precision cannot represent
    // shapes this large (m + 2 rounds to 2 and nothing is accepted).
    if (r > kLargestChengFeastShape)
        g = GammaSqueeze(r);
    else if (r < 1)
        g = GammaSmallShape(r);
    else if (r == 1)
        g = -std::log(DRanU());
    else
        g = GammaLargeShape(r);
    return g / a;
}

double DRanChi(double df) { return df > 0 ? DRanGamma(df / 2, 0.5) : NaN(); }

double DRanT(int df) {
    if (df < 1) return NaN();
    const double z = DRanNormalPM();
    return z * std::sqrt(df / DRanChi(df));
}

double DRanStudentT(double df) {
    if (!(df > 0)) return NaN();
    const double z = DRanNormalPM();
    return z * std::sqrt(df / DRanGamma(df / 2, 0.5));
}

double DRanF(double df1, double df2) {
    if (!(df1 > 0 && df2 > 0)) return NaN();
    const double x = DRanChi(df1);
    return (x * df2) / (DRanChi(df2) * df1);
}

double DRanBeta(double a, double b) {
    if (!(a > 0 && b > 0)) return NaN();
    const double x = DRanGamma(a, 1);
    const double y = DRanGamma(b, 1);
    return x / (x + y);
}

double DRanLogistic(void) { return -std::log(1 / DRanU() - 1); }
double DRanLogNormal(void) { return std::exp(DRanNormalPM()); }
double DRanCauchy(void) { return std::tan(kPi * (DRanU() - 0.5)); }
double DRanExtremeValue(void) { return -std::log(-std::log(DRanU())); }
double DRanPareto(double k, double a) { return DQuanPareto(DRanU(), k, a); }
double DRanWeibull(double a, double b) { return DQuanWeibull(DRanU(), a, b); }

// Chambers, Mallows and Stuck: one uniform angle and one exponential.
double DRanStable(double alpha, double beta) {
    if (!(alpha > 0 && alpha <= 2 && beta >= -1 && beta <= 1)) return NaN();
    const double v = kPi * (DRanU() - 0.5);
    const double w = -std::log(DRanU());
    if (alpha == 1) {
        const double h = kPi / 2 + beta * v;
        return 2 / kPi * (h * std::tan(v) - beta * std::log(kPi / 2 * w * std::cos(v) / h));
    }
    const double t = beta * std::tan(kPi * alpha / 2);
    const double b = std::atan(t) / alpha;
    const double s = std::pow(1 + t * t, 1 / (2 * alpha));
    return s * std::sin(alpha * (v + b)) / std::pow(std::cos(v), 1 / alpha) *
           std::pow(std::cos(v - alpha * (v + b)) / w, (1 - alpha) / alpha);
}

// Best and Fisher's wrapped-Cauchy envelope; kappa 0 is uniform.
double DRanMises(double mu, double kappa) {
    if (!(kappa >= 0) || !std::isfinite(mu)) return NaN();
    if (kappa < 1e-8) return mu + kPi * (2 * DRanU() - 1);
    // So concentrated that the normal limit is exact to double precision.
    if (kappa > 1e15) return mu + DRanNormalPM() / std::sqrt(kappa);
    const double tau = 1 + std::sqrt(1 + 4 * kappa * kappa);
    const double rho = (tau - std::sqrt(2 * tau)) / (2 * kappa);
    const double r = (1 + rho * rho) / (2 * rho);
    for (long tries = 0; tries < kMaxRejections; ++tries) {
        const double z = std::cos(kPi * DRanU());
        const double f = (1 + r * z) / (r + z);
        const double c = kappa * (r - f);
        const double u2 = DRanU();
        if (c * (2 - c) > u2 || std::log(c / u2) + 1 >= c) {
            const double theta = std::acos(std::clamp(f, -1.0, 1.0));
            // In (mu - pi, mu + pi], where DProbMises measures.
            return DRanU() > 0.5 ? mu + theta : mu - theta;
        }
    }
    return NaN();
}

// Michael, Schucany and Haas: one normal and one uniform.
double DRanInvGaussian(double mu, double lambda) {
    if (!(mu > 0 && lambda > 0)) return NaN();
    const double z = DRanNormalPM();
    const double y = z * z;
    const double x =
        mu + mu * mu * y / (2 * lambda) - mu / (2 * lambda) * std::sqrt(4 * mu * lambda * y + mu * mu * y * y);
    return DRanU() <= mu / (mu + x) ? x : mu * mu / x;
}

// Successes among n draws without replacement from N items of which k
// are successes, by inversion of the probability recurrence.
double DRanHypergeometric(int N, int k, int n) {
    if (N < 0 || k < 0 || n < 0 || k > N || n > N) return NaN();
    const int lo = std::max(0, n + k - N), hi = std::min(n, k);
    auto logp = [&](int x) {
        return std::lgamma(k + 1.0) - std::lgamma(x + 1.0) - std::lgamma(k - x + 1.0) + std::lgamma(N - k + 1.0) -
               std::lgamma(n - x + 1.0) - std::lgamma(N - k - n + x + 1.0) - std::lgamma(N + 1.0) +
               std::lgamma(n + 1.0) + std::lgamma(N - n + 1.0);
    };
    const double u = DRanU();
    double p = std::exp(logp(lo)), cum = p;
    int x = lo;
    while (cum < u && x < hi) {
        // p(x+1)/p(x) = (k-x)(n-x) / ((x+1)(N-k-n+x+1))
        p *= static_cast<double>(k - x) * (n - x) / ((x + 1.0) * (N - k - n + x + 1.0));
        cum += p;
        ++x;
    }
    return x;
}

// Density proportional to x^(lambda-1) exp(-(chi/x + psi x)/2).
double DRanGIG(double lambda, double chi, double psi) {
    if (!(chi >= 0 && psi >= 0 && std::isfinite(lambda)) || !(chi > 0 || psi > 0)) return NaN();
    if (chi == 0) return lambda > 0 ? DRanGamma(lambda, psi / 2) : NaN();
    if (psi == 0) return lambda < 0 ? 1 / DRanGamma(-lambda, chi / 2) : NaN();
    const double scale = std::sqrt(chi / psi), beta = std::sqrt(chi * psi);
    if (lambda < 0) return scale / GigStandard(-lambda, beta);
    return scale * GigStandard(lambda, beta);
}

double DRanGH(double alpha, double beta, double delta, double lambda) {
    if (!(alpha > 0 && delta > 0 && std::fabs(beta) < alpha && std::isfinite(lambda))) return NaN();
    const double w = DRanGIG(lambda, delta * delta, alpha * alpha - beta * beta);
    return beta * w + std::sqrt(w) * DRanNormalPM();
}

// ---- discrete draws --------------------------------------------------------

int IRanPoisson(double mu) {
    // Beyond 1e9 the count would not fit an int for long.
    if (!(mu >= 0 && mu <= 1e9)) return -1;
    if (mu >= 10) return PoissonRejection(mu);
    const double limit = std::exp(-mu);
    int k = 0;
    for (double prod = DRanU(); prod > limit; prod *= DRanU())
        if (++k >= kMaxRejections) return -1;
    return k;
}

int IRanBinomial(int n, double p) {
    if (n < 0 || !(p >= 0 && p <= 1)) return -1;
    if (p > 0.5) return n - BinomialSplit(n, 1 - p);
    return BinomialSplit(n, p);
}

// Failures before the n-th success: a Poisson count with a gamma mean.
int IRanNegBin(int n, double p) {
    if (n < 1 || !(p > 0 && p <= 1)) return -1;
    if (p == 1) return 0;
    const double mean = DRanGamma(n, p / (1 - p));
    return mean <= 1e9 ? IRanPoisson(mean) : std::numeric_limits<int>::max();
}

int IRanGeometric(double p) { return IRanNegBin(1, p); }

// Kemp's second accelerated generator for the logarithmic distribution.
int IRanLogarithmic(double a) {
    if (!(a > 0 && a < 1)) return -1;
    const double v = DRanU();
    if (v >= a) return 1;
    const double q = 1 - std::exp(std::log1p(-a) * DRanU());
    if (v <= q * q) {
        const double x = 1 + std::log(v) / std::log(q);
        return x < std::numeric_limits<int>::max() ? static_cast<int>(x) : std::numeric_limits<int>::max();
    }
    return v <= q ? 2 : 1;
}

// ---- vectors, matrices and samples -----------------------------------------

int RanDirichlet(double* x, const double* alpha, int n) {
    if (x == nullptr || alpha == nullptr) return 1;
    double sum = 0;
    bool ok = true;
    for (int i = 0; i < n; ++i) ok = ok && alpha[i] > 0;
    for (int i = 0; i < n; ++i) {
        x[i] = ok ? DRanGamma(alpha[i], 1) : NaN();
        sum += x[i];
    }
    if (ok)
        for (int i = 0; i < n; ++i) x[i] /= sum;
    return ok ? 0 : 1;
}

// W = sum over df draws of (L z)(L z)', z standard normal: Wishart with
// scale L L' (L lower triangular, usually a Choleski factor).
int RanWishart(double** W, double** L, int p, int df) {
    if (W == nullptr || L == nullptr || p < 1) return 1;
    if (df < 1) {
        MatNaN(W, p, p);
        return 1;
    }
    Scratch store;
    if (!store.Allocate(2 * static_cast<std::size_t>(p))) return 1;
    double* z = store.data();
    double* lz = z + p;
    MatZero(W, p, p);
    for (int k = 0; k < df; ++k) {
        for (int i = 0; i < p; ++i) z[i] = DRanNormalPM();
        for (int i = 0; i < p; ++i) {
            double s = 0;
            for (int j = 0; j <= i; ++j) s += L[i][j] * z[j];
            lz[i] = s;
        }
        for (int i = 0; i < p; ++i)
            for (int j = 0; j < p; ++j) W[i][j] += lz[i] * lz[j];
    }
    return 0;
}

// Sorted uniforms from normalised exponential spacings.
int RanUorder(double* x, int n) {
    if (x == nullptr || n < 1) return 1;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        sum += -std::log(DRanU());
        x[i] = sum;
    }
    sum += -std::log(DRanU());
    for (int i = 0; i < n; ++i) x[i] /= sum;
    return 0;
}

// k of the indices 0 .. n-1 in increasing order (selection sampling).
int RanSubSample(int* idx, int k, int n) {
    if (idx == nullptr || k < 0 || k > n) return 1;
    int chosen = 0;
    for (int i = 0; i < n && chosen < k; ++i)
        if ((n - i) * DRanU() < k - chosen) idx[chosen++] = i;
    return 0;
}

int RanSubSampleVec(double* dst, const double* src, int k, int n) {
    if (dst == nullptr || src == nullptr || k < 0 || k > n) return 1;
    int chosen = 0;
    for (int i = 0; i < n && chosen < k; ++i)
        if ((n - i) * DRanU() < k - chosen) dst[chosen++] = src[i];
    return 0;
}

// Counts of a Poisson process of rate mu at the times 1, 2, ..., n.
int RanPoissonProcess(double* x, int n, double mu) {
    if (x == nullptr || n < 1) return 1;
    const bool ok = mu >= 0 && mu <= 1e9;
    double count = 0;
    for (int i = 0; i < n; ++i) {
        count += ok ? IRanPoisson(mu) : NaN();
        x[i] = count;
    }
    return ok ? 0 : 1;
}

// Standard Brownian motion at the times dt, 2 dt, ..., n dt.
int RanBrownianMotion(double* x, int n, double dt) {
    if (x == nullptr || n < 1) return 1;
    const bool ok = dt > 0;
    const double sd = std::sqrt(dt);
    double w = 0;
    for (int i = 0; i < n; ++i) {
        w += ok ? sd * DRanNormalPM() : NaN();
        x[i] = w;
    }
    return ok ? 0 : 1;
}

// n items into k cells with probabilities p: successive binomials.
int RanMultinomial(int* counts, int n, const double* p, int k) {
    if (counts == nullptr || p == nullptr || n < 0 || k < 1) return 1;
    double rest = 0;
    for (int i = 0; i < k; ++i) {
        if (!(p[i] >= 0)) return 1;
        rest += p[i];
    }
    if (!(rest > 0)) return 1;
    int left = n;
    for (int i = 0; i < k; ++i) {
        const double q = i == k - 1 ? 1 : std::min(1.0, p[i] / rest);
        counts[i] = left > 0 && q > 0 ? IRanBinomial(left, q) : 0;
        left -= counts[i];
        rest -= p[i];
    }
    return 0;
}

// Fisher and Yates.
int RanShuffle(double* x, int n) {
    if (x == nullptr || n < 0) return 1;
    for (int i = n - 1; i > 0; --i) {
        int j = static_cast<int>(DRanU() * (i + 1));
        if (j > i) j = i;
        std::swap(x[i], x[j]);
    }
    return 0;
}

}  // extern "C"
