// The hypergeometric distribution.
//
// Probabilities come from Loader's saddle-point form of the binomial
// probability (log n! split into Stirling's formula and its error, and
// x log(x/np) + np - x computed without cancellation), which stays
// accurate and takes constant time for populations of any size.  The
// distribution function sums the probabilities of the nearer tail by their
// ratio recurrence, stopping once the terms no longer count.
#include <cmath>
#include <limits>

#include "numerics/prob.h"

namespace zu::numerics {
namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();

// log(n!) - log(sqrt(2 pi n) (n/e)^n) for an integer n >= 1.
double StirlingError(double n) {
    if (n <= 15) {
        long double factorial = 1;
        for (int i = 2; i <= static_cast<int>(n); ++i) factorial *= i;
        const long double ln = n;
        return static_cast<double>(std::log(factorial) - (ln + 0.5L) * std::log(ln) + ln -
                                   0.918938533204672741780329736406L);
    }
    const double s0 = 1.0 / 12, s1 = 1.0 / 360, s2 = 1.0 / 1260, s3 = 1.0 / 1680, s4 = 1.0 / 1188;
    const double nn = n * n;
    if (n > 500) return (s0 - s1 / nn) / n;
    if (n > 80) return (s0 - (s1 - s2 / nn) / nn) / n;
    if (n > 35) return (s0 - (s1 - (s2 - s3 / nn) / nn) / nn) / n;
    return (s0 - (s1 - (s2 - (s3 - s4 / nn) / nn) / nn) / nn) / n;
}

// x log(x / np) + np - x, by its series when x is near np.
double Deviance(double x, double np) {
    if (std::fabs(x - np) < 0.1 * (x + np)) {
        double v = (x - np) / (x + np), s = (x - np) * v, ej = 2 * x * v;
        v *= v;
        for (int j = 1; j < 1000; ++j) {
            ej *= v;
            const double next = s + ej / (2 * j + 1);
            if (next == s) return next;
            s = next;
        }
        return s;
    }
    return x * std::log(x / np) + np - x;
}

// The binomial probability of x successes in n trials of probability p
// (q = 1 - p given separately to keep its precision).
double BinomialTerm(double x, double n, double p, double q) {
    if (p == 0) return x == 0 ? 1 : 0;
    if (q == 0) return x == n ? 1 : 0;
    if (x == 0) {
        if (n == 0) return 1;
        return std::exp(p < 0.1 ? -Deviance(n, n * q) - n * p : n * std::log(q));
    }
    if (x == n) return std::exp(q < 0.1 ? -Deviance(n, n * p) - n * q : n * std::log(p));
    if (x < 0 || x > n) return 0;
    const double lc =
        StirlingError(n) - StirlingError(x) - StirlingError(n - x) - Deviance(x, n * p) - Deviance(n - x, n * q);
    const double lf = 1.8378770664093454836 + std::log(x) + std::log1p(-x / n);
    return std::exp(lc - 0.5 * lf);
}

// P(X = x) with r successes and b failures in the population, n drawn.
double Probability(double x, double r, double b, double n) {
    const double total = r + b;
    const double p = n / total, q = (total - n) / total;
    const double p1 = BinomialTerm(x, r, p, q);
    const double p2 = BinomialTerm(n - x, b, p, q);
    const double p3 = BinomialTerm(n, total, p, q);
    return p3 > 0 ? p1 * p2 / p3 : 0;
}

// P(X <= x) / P(X = x) - 1, summing the ratios downwards from x.
double LowerTailRatio(double x, double r, double b, double n) {
    double sum = 0, term = 1;
    while (x > 0 && term >= kEpsilon * sum) {
        term *= x * (b - n + x) / ((n + 1 - x) * (r + 1 - x));
        sum += term;
        x -= 1;
    }
    return sum;
}

// P(X <= x), x an integer inside the support; the tail on the far side of
// the mean is summed instead when it is the smaller one.
double Lower(double x, double r, double b, double n) {
    bool lower = true;
    if (x * (r + b) > n * r) {
        // Successes above x are failures below n - x.
        const double t = r;
        r = b;
        b = t;
        x = n - x - 1;
        lower = false;
    }
    if (x < 0) return lower ? 0 : 1;
    const double tail = Probability(x, r, b, n) * (1 + LowerTailRatio(x, r, b, n));
    return lower ? tail : 1 - tail;
}

bool Domain(int N, int k, int n) { return N >= 0 && k >= 0 && n >= 0 && k <= N && n <= N; }

}  // namespace
}  // namespace zu::numerics

using namespace zu::numerics;

extern "C" {

double DDensHypergeometric(double x, int N, int k, int n) {
    if (!Domain(N, k, n) || std::isnan(x)) return NaN();
    const double lo = std::fmax(0, static_cast<double>(n) + k - N), hi = std::fmin(n, k);
    if (x < lo || x > hi || x != std::floor(x)) return 0;
    return Probability(x, k, static_cast<double>(N) - k, n);
}

double DProbHypergeometric(double x, int N, int k, int n) {
    if (!Domain(N, k, n) || std::isnan(x)) return NaN();
    const double lo = std::fmax(0, static_cast<double>(n) + k - N), hi = std::fmin(n, k);
    if (x < lo) return 0;
    if (x >= hi) return 1;
    return Lower(std::floor(x), k, static_cast<double>(N) - k, n);
}

}  // extern "C"
