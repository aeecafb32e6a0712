// Time-series summaries and smoothing: acf, aggregatec, aggregater,
// discretize and spline.  Observations are rows in time order, series are
// columns (aggregater works along the rows instead).
/// @family Time series
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
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

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Argument k as a matrix; a string is a type error rather than a matrix
// of its characters.
bool DataArg(ZuVALUE* pv, int k) {
    if (value::TypeCode(&pv[k]) == ZU_STRING) return ZuLibArgTypeError(k, ZU_MATRIX, ZU_STRING) != 0;
    return lib::MatrixArg(pv, k);
}

std::string Shape(const ZuVALUE* v) {
    return "matrix[" + std::to_string(Rows(v)) + "][" + std::to_string(Columns(v)) + "]";
}

std::size_t At(int i) { return static_cast<std::size_t>(i); }

// Sums of consecutive blocks of n lines: rows (down) or columns.
void Aggregate(ZuVALUE* rtn, ZuVALUE* pv, bool down) {
    int n = 0;
    if (!DataArg(pv, 0) || !lib::IntArg(pv, 1, &n)) return;
    if (n < 1) {
        ArgumentFault(1, "block length " + std::to_string(n) + " below 1");
        return;
    }
    const ZuVALUE* x = &pv[0];
    const int lines = down ? Rows(x) : Columns(x);
    const int blocks = lines / n + (lines % n != 0 ? 1 : 0);
    const int r = down ? blocks : Rows(x), c = down ? Columns(x) : blocks;
    if (!lib::ResultMatrix(rtn, r, c)) return;
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j) MatrixData(rtn)[i][j] = 0.0;
    }
    for (int i = 0; i < Rows(x); ++i) {
        for (int j = 0; j < Columns(x); ++j) {
            if (down) {
                MatrixData(rtn)[i / n][j] += MatrixData(x)[i][j];
            } else {
                MatrixData(rtn)[i][j / n] += MatrixData(x)[i][j];
            }
        }
    }
}

// --- splines -------------------------------------------------------------

// The knots of a spline: strictly increasing, one per observation.
bool KnotArg(ZuVALUE* pv, int t, std::vector<double>* knots) {
    if (!DataArg(pv, 1)) return false;
    const ZuVALUE* v = &pv[1];
    knots->clear();
    if (Rows(v) == 0 && Columns(v) == 0) {
        for (int i = 1; i <= t; ++i) knots->push_back(i);
        return true;
    }
    if ((Rows(v) != 1 && Columns(v) != 1) || std::int64_t{Rows(v)} * Columns(v) != t) {
        return ArgumentFault(1, "found " + Shape(v) + " but expected a vector of " + Counted(t, "knots"),
                             kArgumentSizeError);
    }
    for (int i = 0; i < Rows(v); ++i) {
        for (int j = 0; j < Columns(v); ++j) knots->push_back(MatrixData(v)[i][j]);
    }
    for (std::size_t i = 1; i < knots->size(); ++i) {
        if (!((*knots)[i] > (*knots)[i - 1])) return ArgumentFault(1, "knots not strictly increasing");
    }
    if (t == 1 && !std::isfinite((*knots)[0])) return ArgumentFault(1, "knot not finite");
    return true;
}

// The points at which the spline is evaluated: argument 3, or the knots.
bool PointArg(ZuVALUE* pv, int cArg, const std::vector<double>& knots, std::vector<double>* points) {
    if (cArg > 4) return ZuLibArgError(4) != 0;
    if (cArg < 4) {
        *points = knots;
        return true;
    }
    if (!DataArg(pv, 3)) return false;
    const ZuVALUE* v = &pv[3];
    if (Rows(v) > 1 && Columns(v) > 1) {
        return ArgumentFault(3, "found " + Shape(v) + " but expected a vector", kArgumentSizeError);
    }
    for (int i = 0; i < Rows(v); ++i) {
        for (int j = 0; j < Columns(v); ++j) points->push_back(MatrixData(v)[i][j]);
    }
    return true;
}

// A natural cubic spline by its values g and second derivatives gamma at
// the knots (gamma is 0 at both ends).
struct CubicSpline {
    const std::vector<double>& x;
    std::vector<double> g;
    std::vector<double> gamma;

    double operator()(double t) const {
        const std::size_t n = x.size();
        if (n == 1 || std::isnan(t)) return n == 1 && !std::isnan(t) ? g[0] : kNaN;
        if (t <= x[0]) return g[0] + (t - x[0]) * Slope(0, true);
        if (t >= x[n - 1]) return g[n - 1] + (t - x[n - 1]) * Slope(n - 2, false);
        const std::size_t i = static_cast<std::size_t>(std::upper_bound(x.begin(), x.end(), t) - x.begin()) - 1;
        const double h = x[i + 1] - x[i], a = t - x[i], b = x[i + 1] - t;
        return (a * g[i + 1] + b * g[i]) / h - a * b / 6.0 * ((1.0 + a / h) * gamma[i + 1] + (1.0 + b / h) * gamma[i]);
    }
    // The slope at the left (or right) end of interval i, for the linear
    // continuation beyond the knots.
    double Slope(std::size_t i, bool left) const {
        const double h = x[i + 1] - x[i];
        const double chord = (g[i + 1] - g[i]) / h;
        return left ? chord - h * gamma[i + 1] / 6.0 : chord + h * gamma[i] / 6.0;
    }
};

// Solves the symmetric positive definite five-band system with diagonal
// a, first subdiagonal b (b[i] = M[i][i-1]) and second subdiagonal c
// (c[i] = M[i][i-2]) for right-hand side r, by an LDL' factorisation.
std::vector<double> SolveFiveBand(const std::vector<double>& a, const std::vector<double>& b,
                                  const std::vector<double>& c, std::vector<double> r) {
    const std::size_t n = a.size();
    std::vector<double> d(n), l1(n, 0.0), l2(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        if (i >= 2) l2[i] = c[i] / d[i - 2];
        if (i >= 1) l1[i] = (b[i] - (i >= 2 ? l2[i] * l1[i - 1] * d[i - 2] : 0.0)) / d[i - 1];
        d[i] = a[i] - (i >= 1 ? l1[i] * l1[i] * d[i - 1] : 0.0) - (i >= 2 ? l2[i] * l2[i] * d[i - 2] : 0.0);
    }
    for (std::size_t i = 0; i < n; ++i) {
        r[i] -= (i >= 1 ? l1[i] * r[i - 1] : 0.0) + (i >= 2 ? l2[i] * r[i - 2] : 0.0);
    }
    for (std::size_t i = 0; i < n; ++i) r[i] /= d[i];
    for (std::size_t k = n; k-- > 0;) {
        r[k] -= (k + 1 < n ? l1[k + 1] * r[k + 1] : 0.0) + (k + 2 < n ? l2[k + 2] * r[k + 2] : 0.0);
    }
    return r;
}

// The smoothing spline of y at the knots x: the minimiser of
// sum (y_i - g(x_i))^2 + alpha * integral g''(t)^2 dt, found from
// (R + alpha Q'Q) gamma = Q'y and g = y - alpha Q gamma, where Q (n x n-2)
// holds the second divided differences and R (n-2 x n-2) is tridiagonal.
CubicSpline Smooth(const std::vector<double>& x, const std::vector<double>& y, double alpha) {
    const std::size_t n = x.size();
    CubicSpline s{x, y, std::vector<double>(n, 0.0)};
    if (n < 3) return s;
    const std::size_t m = n - 2;
    std::vector<double> h(n - 1), inv(n - 1);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        h[i] = x[i + 1] - x[i];
        inv[i] = 1.0 / h[i];
    }
    // Column k of Q (interior knot k + 1) has inv[k], -(inv[k] + inv[k+1]),
    // inv[k+1] in rows k, k + 1, k + 2.
    std::vector<double> a(m), b(m, 0.0), c(m, 0.0), qty(m);
    for (std::size_t k = 0; k < m; ++k) {
        const double mid = inv[k] + inv[k + 1];
        a[k] = (h[k] + h[k + 1]) / 3.0 + alpha * (inv[k] * inv[k] + mid * mid + inv[k + 1] * inv[k + 1]);
        if (k >= 1) b[k] = h[k] / 6.0 + alpha * (-(inv[k - 1] + inv[k]) * inv[k] - inv[k] * mid);
        if (k >= 2) c[k] = alpha * inv[k - 1] * inv[k];
        qty[k] = (y[k + 2] - y[k + 1]) * inv[k + 1] - (y[k + 1] - y[k]) * inv[k];
    }
    const std::vector<double> gamma = SolveFiveBand(a, b, c, qty);
    for (std::size_t k = 0; k < m; ++k) {
        s.gamma[k + 1] = gamma[k];
        s.g[k] -= alpha * inv[k] * gamma[k];
        s.g[k + 1] += alpha * (inv[k] + inv[k + 1]) * gamma[k];
        s.g[k + 2] -= alpha * inv[k + 1] * gamma[k];
    }
    return s;
}

}  // namespace

/// acf(x, lags)
/// The autocorrelations of each column of `x` at lags 0 to `lags`, a lags+1 by c matrix:
/// c[k] / c[0] with the autocovariances c[k] = (1 / T) sum over t >= k of
/// (x[t] - mean)(x[t-k] - mean). Lags of T or more have no terms and give 0; a constant column
/// (c[0] = 0) and a column with a missing value are missing throughout.
/// Example:
///     print(acf(<1;3;2;5;4;6>, 2));
void FnAcf(ZuVALUE* rtn, ZuVALUE* pv, int) {
    int lags = 0;
    if (!DataArg(pv, 0) || !lib::IntArg(pv, 1, &lags)) return;
    if (lags < 0 || lags == std::numeric_limits<int>::max()) {
        ArgumentFault(1, "lag count " + std::to_string(lags) + " out of range");
        return;
    }
    const ZuVALUE* x = &pv[0];
    const int t = Rows(x);
    if (!lib::ResultMatrix(rtn, lags + 1, Columns(x))) return;
    for (int j = 0; j < Columns(x); ++j) {
        double mean = 0.0;
        for (int i = 0; i < t; ++i) mean += MatrixData(x)[i][j];
        mean /= t;
        double c0 = 0.0;
        for (int i = 0; i < t; ++i) c0 += (MatrixData(x)[i][j] - mean) * (MatrixData(x)[i][j] - mean);
        for (int k = 0; k <= lags; ++k) {
            double sum = 0.0;
            for (int i = k; i < t; ++i) sum += (MatrixData(x)[i][j] - mean) * (MatrixData(x)[i - k][j] - mean);
            MatrixData(rtn)[k][j] = c0 > 0.0 ? sum / c0 : kNaN;
        }
    }
}

/// aggregatec(x, n)
/// The sums of consecutive blocks of `n` rows of `x`, one row per block; a last, shorter block
/// sums the rows that remain.
/// Example:
///     print(aggregatec(<1;2;3;4;5>, 2));
void FnAggregatec(ZuVALUE* rtn, ZuVALUE* pv, int) { Aggregate(rtn, pv, true); }
/// aggregater(x, n)
/// The sums of consecutive blocks of `n` columns of `x`, one column per block; a last, shorter
/// block sums the columns that remain.
/// Example:
///     print(aggregater(<1,2,3,4,5;1,1,1,1,1>, 2));
void FnAggregater(ZuVALUE* rtn, ZuVALUE* pv, int) { Aggregate(rtn, pv, false); }

/// discretize(x, lo, hi, m, option)
/// The elements of `x` counted on `m` points over [`lo`, `hi`], as a 1 by m row. `option` 0:
/// counts in m bins of equal width w = (hi - lo) / m, bin k covering [lo + k w, lo + (k+1) w)
/// and the last one closed at hi. `option` 1: linear binning onto the m grid points
/// lo + k (hi - lo) / (m - 1), each element splitting its unit weight between the two
/// neighbouring points in proportion to its nearness. Elements outside [lo, hi] and missing
/// ones are not counted.
/// Example:
///     print(discretize(<0.1,0.5,0.6,1,2>, 0, 1, 2, 0), discretize(<0.25,1>, 0, 1, 3, 1));
void FnDiscretize(ZuVALUE* rtn, ZuVALUE* pv, int) {
    double lo = 0.0, hi = 0.0;
    int m = 0, option = 0;
    if (!DataArg(pv, 0) || !lib::DoubleArg(pv, 1, &lo) || !lib::DoubleArg(pv, 2, &hi) || !lib::IntArg(pv, 3, &m) ||
        !lib::IntArg(pv, 4, &option)) {
        return;
    }
    if (!(lo < hi) || !std::isfinite(hi - lo)) {
        ArgumentFault(2, "interval [lo, hi] empty or not finite");
        return;
    }
    if (option != 0 && option != 1) {
        ArgumentFault(4, "option " + std::to_string(option) + " is not 0 or 1");
        return;
    }
    if (m < 1 + option) {
        ArgumentFault(3, "too few points: " + std::to_string(m));
        return;
    }
    if (!lib::ResultMatrix(rtn, 1, m)) return;
    double* counts = MatrixData(rtn)[0];
    for (int k = 0; k < m; ++k) counts[k] = 0.0;
    const ZuVALUE* x = &pv[0];
    for (int i = 0; i < Rows(x); ++i) {
        for (int j = 0; j < Columns(x); ++j) {
            const double v = MatrixData(x)[i][j];
            if (!(v >= lo && v <= hi)) continue;
            if (option == 0) {
                counts[std::min(m - 1, static_cast<int>((v - lo) / (hi - lo) * m))] += 1.0;
                continue;
            }
            const double z = (v - lo) / (hi - lo) * (m - 1);
            const int k = std::min(m - 2, static_cast<int>(z));
            counts[k] += 1.0 - (z - k);
            counts[k + 1] += z - k;
        }
    }
}

/// spline(y, x, alpha [, at])
/// For each column of `y` (T by c) the cubic spline over the knots `x` that minimises
/// sum (y[t] - g(x[t]))^2 + alpha * integral g''(s)^2 ds, evaluated at the points of the
/// vector `at` (default: the knots), one row per point. `alpha` = 0 gives the natural
/// interpolating spline, which passes through every y[t]; a larger `alpha` smooths more,
/// towards the least squares line. `x` is a vector of T strictly increasing knots, or an empty
/// matrix for 1 .. T. Beyond the knots the spline continues as a straight line. A column with
/// a missing value is missing throughout.
/// Example:
///     decl y = <1;4;2;5;3>;
///     print(spline(y, <>, 0, <1.5;2.5>), spline(y, <>, 1e6, <1;5>));
void FnSpline(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    double alpha = 0.0;
    std::vector<double> knots, points;
    if (!DataArg(pv, 0)) return;
    const int t = Rows(&pv[0]);
    if (t < 1) {
        ArgumentFault(0, "no observations", kArgumentSizeError);
        return;
    }
    if (!KnotArg(pv, t, &knots) || !lib::DoubleArg(pv, 2, &alpha) || !PointArg(pv, cArg, knots, &points)) return;
    if (!(alpha >= 0.0) || std::isinf(alpha)) {
        ArgumentFault(2, "smoothing parameter not a finite value of 0 or more");
        return;
    }
    const ZuVALUE* y = &pv[0];
    if (!lib::ResultMatrix(rtn, static_cast<int>(points.size()), Columns(y))) return;
    std::vector<double> column(At(t));
    for (int j = 0; j < Columns(y); ++j) {
        for (int i = 0; i < t; ++i) column[At(i)] = MatrixData(y)[i][j];
        const CubicSpline s = Smooth(knots, column, alpha);
        for (std::size_t k = 0; k < points.size(); ++k) MatrixData(rtn)[k][j] = s(points[k]);
    }
}

}  // namespace zu::stdlib
