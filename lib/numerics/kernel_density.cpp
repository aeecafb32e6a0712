// The Gaussian kernel density estimate.
#include "numerics/kernel_density.h"

#include <algorithm>
#include <cmath>

#include "zu.h"

namespace zu::numerics {
namespace {

// The p-quantile of n sorted values, interpolated between the order
// statistics at (n - 1) p.
double Quantile(const double* sorted, int n, double p) {
    const double at = (n - 1) * p;
    const int below = static_cast<int>(std::floor(at));
    if (below + 1 >= n) return sorted[n - 1];
    return sorted[below] + (at - below) * (sorted[below + 1] - sorted[below]);
}

// Standard deviation with divisor n - 1 (0 for one observation).
double StandardDeviation(const double* data, int n) {
    if (n < 2) return 0;
    double mean = 0;
    for (int i = 0; i < n; ++i) mean += data[i];
    mean /= n;
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += (data[i] - mean) * (data[i] - mean);
    return std::sqrt(sum / (n - 1));
}

}  // namespace

double DDensKernel(double x, const double* data, int n, double h) {
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += DDensNormal((x - data[i]) / h);
    return sum / (n * h);
}

double KernelBandwidth(const double* data, int n, double* sorted) {
    std::copy(data, data + n, sorted);
    std::sort(sorted, sorted + n);
    const double s = StandardDeviation(data, n);
    const double iqr = Quantile(sorted, n, 0.75) - Quantile(sorted, n, 0.25);
    double spread = std::min(s, iqr / 1.34);
    if (!(spread > 0)) spread = s;
    if (!(spread > 0)) spread = std::fabs(data[0]);
    if (!(spread > 0)) spread = 1;
    return 0.9 * spread * std::pow(n, -0.2);
}

}  // namespace zu::numerics
