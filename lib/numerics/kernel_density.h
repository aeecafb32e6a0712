// The Gaussian kernel density estimate and its rule-of-thumb bandwidth.
#pragma once

namespace zu::numerics {

// The estimate at x from the n observations in data (none missing) with
// bandwidth h > 0: the mean of phi((x - data[i]) / h) / h, phi the
// standard normal density (DDensNormal).
double DDensKernel(double x, const double* data, int n, double h);

// 0.9 min(s, iqr / 1.34) n^(-1/5) for the n observations in data (none
// missing, in their original order), s the standard deviation (divisor
// n - 1) and iqr the distance of the quartiles (interpolated between
// order statistics).  When that minimum is 0, s is used, then |data[0]|,
// then 1.  sorted receives the observations in increasing order.
double KernelBandwidth(const double* data, int n, double* sorted);

}  // namespace zu::numerics
