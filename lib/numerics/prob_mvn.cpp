// The multivariate normal distribution function.
//
// Up to two dimensions it is exact (the normal and the bivariate normal).
// Above, Genz's separation of variables turns the probability into an
// integral over the unit cube, which a rank-1 (Richtmyer) lattice rule
// with the baker's transformation evaluates; the lattice is shifted a
// fixed number of times by a private sequence, so the result is the same
// on every call and the program's random stream is never touched.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "numerics/prob.h"

namespace zu::numerics {
namespace {

constexpr int kMaxDimension = 100;
constexpr int kPoints = 25000;
constexpr int kShifts = 8;
// Fewer points in many dimensions keep one call to about 1e8 operations.
constexpr long kWork = 100000000;

// The first count primes.
std::vector<int> Primes(int count) {
    std::vector<int> primes;
    for (int c = 2; static_cast<int>(primes.size()) < count; ++c) {
        bool prime = true;
        for (int p : primes) {
            if (p * p > c) break;
            if (c % p == 0) {
                prime = false;
                break;
            }
        }
        if (prime) primes.push_back(c);
    }
    return primes;
}

// Lower Choleski factor of the n by n covariance, row-major; false when
// it is not positive definite.
bool Factor(double** sigma, int n, std::vector<double>& c) {
    c.assign(static_cast<std::size_t>(n) * n, 0);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j) {
            double s = sigma[i][j];
            for (int k = 0; k < j; ++k) s -= c[i * n + k] * c[j * n + k];
            if (i == j) {
                if (!(s > 0)) return false;
                c[i * n + i] = std::sqrt(s);
            } else {
                c[i * n + j] = s / c[j * n + j];
            }
        }
    return true;
}

// The integrand of the separation of variables at w in [0,1]^(n-1).
double Integrand(const double* x, const std::vector<double>& c, int n, const double* w, double* y) {
    double e = PhiAccurate(x[0] / c[0]), f = e;
    for (int i = 1; i < n && f > 0; ++i) {
        double u = w[i - 1] * e;
        if (u < 1e-300) u = 1e-300;
        if (u > 1 - 1e-16) u = 1 - 1e-16;
        y[i - 1] = DQuanNormal(u);
        double s = x[i];
        for (int j = 0; j < i; ++j) s -= c[i * n + j] * y[j];
        e = PhiAccurate(s / c[i * n + i]);
        f *= e;
    }
    return f;
}

double Lattice(const double* x, const std::vector<double>& c, int n) {
    static const std::vector<int> primes = Primes(kMaxDimension);
    std::vector<double> q(n - 1), shift(n - 1), w(n - 1), y(n);
    for (int j = 0; j < n - 1; ++j) q[j] = std::sqrt(static_cast<double>(primes[j]));
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    const long points = std::min<long>(kPoints, kWork / (kShifts * n * n) + 100);
    double total = 0;
    for (int s = 0; s < kShifts; ++s) {
        for (int j = 0; j < n - 1; ++j) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            shift[j] = static_cast<double>(state >> 11) * 0x1.0p-53;
        }
        double sum = 0;
        for (long k = 1; k <= points; ++k) {
            for (int j = 0; j < n - 1; ++j) {
                double v = k * q[j] + shift[j];
                v -= std::floor(v);
                w[j] = std::fabs(2 * v - 1);
            }
            sum += Integrand(x, c, n, w.data(), y.data());
        }
        total += sum / points;
    }
    return total / kShifts;
}

}  // namespace
}  // namespace zu::numerics

using namespace zu::numerics;

extern "C" double DProbMVN(const double* x, double** sigma, int n) {
    if (x == nullptr || sigma == nullptr || n < 1 || n > kMaxDimension) return NaN();
    for (int i = 0; i < n; ++i)
        if (std::isnan(x[i])) return NaN();
    std::vector<double> c;
    if (!Factor(sigma, n, c)) return NaN();
    if (n == 1) return PhiAccurate(x[0] / c[0]);
    if (n == 2) {
        const double s1 = std::sqrt(sigma[0][0]), s2 = std::sqrt(sigma[1][1]);
        return DProbBVN(x[0] / s1, x[1] / s2, sigma[1][0] / (s1 * s2));
    }
    return Lattice(x, c, n);
}
