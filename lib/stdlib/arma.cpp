// The ARMA library: arma0, armaforc, armagen, armavar, diffpow, modelforc
// and pacf.
//
// An ARMA(p, q) process x, with shocks e, is
//     x[t] = ar1 x[t-1] + ... + arp x[t-p] + e[t] + ma1 e[t-1] + ... + maq e[t-q].
// Series are the columns of a T x c matrix, observations down the rows,
// each column filtered on its own with the same coefficients.  The AR and
// MA coefficients are vectors (a row or a column; an empty matrix for
// none).  Values before the first row are 0 unless said otherwise, and a
// missing value carries into everything computed from it.
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
// armavar solves a dense system of the AR order plus one.
constexpr int kLargestVarianceOrder = 1000;

using Polynomial = std::vector<double>;  // coefficient of lag k + 1 at [k]

std::size_t At(int i) { return static_cast<std::size_t>(i); }

std::string Shape(const ZuVALUE* v) {
    return "matrix[" + std::to_string(Rows(v)) + "][" + std::to_string(Columns(v)) + "]";
}

bool DataArg(ZuVALUE* pv, int k) {
    if (value::TypeCode(&pv[k]) == ZU_STRING) return ZuLibArgTypeError(k, ZU_MATRIX, ZU_STRING) != 0;
    return lib::MatrixArg(pv, k);
}

// Argument k as a list of lag coefficients (a vector or an empty matrix).
bool CoefficientArg(ZuVALUE* pv, int k, Polynomial* out) {
    if (!DataArg(pv, k)) return false;
    const ZuVALUE* v = &pv[k];
    if (Rows(v) > 1 && Columns(v) > 1) {
        return ArgumentFault(k, "found " + Shape(v) + " but expected a vector of coefficients", kArgumentSizeError);
    }
    out->clear();
    for (int i = 0; i < Rows(v); ++i) {
        for (int j = 0; j < Columns(v); ++j) out->push_back(MatrixData(v)[i][j]);
    }
    return true;
}

// An int argument in [lo, hi].
bool BoundedIntArg(ZuVALUE* pv, int k, int lo, int hi, const char* what, int* out) {
    if (!lib::IntArg(pv, k, out)) return false;
    if (*out < lo || *out > hi) {
        return ArgumentFault(k, std::string{what} + " " + std::to_string(*out) + " outside " + std::to_string(lo) +
                                    " .. " + std::to_string(hi));
    }
    return true;
}

// sum_k a[k] v(t - k - 1) over the lags that lie at or after row 0.
template <typename Get>
double LagSum(const Polynomial& a, int t, Get v) {
    double sum = 0.0;
    for (std::size_t k = 0; k < a.size() && static_cast<int>(k) < t; ++k) sum += a[k] * v(t - static_cast<int>(k) - 1);
    return sum;
}

// The residuals of column j from row `start` on, the earlier ones 0.
void Residuals(double** x, int t, int j, const Polynomial& ar, const Polynomial& ma, int start, double** e) {
    for (int i = 0; i < t; ++i) {
        if (i < start) {
            e[i][j] = 0.0;
            continue;
        }
        e[i][j] =
            x[i][j] - LagSum(ar, i, [&](int s) { return x[s][j]; }) - LagSum(ma, i, [&](int s) { return e[s][j]; });
    }
}

// Partial autocorrelations of an AR polynomial by the step-down
// recursion; the polynomial is stationary when each lies inside (-1, 1).
bool Stationary(Polynomial phi) {
    for (std::size_t k = phi.size(); k-- > 0;) {
        const double kappa = phi[k];
        if (!(std::fabs(kappa) < 1.0)) return false;
        Polynomial lower(k);
        for (std::size_t i = 0; i < k; ++i) lower[i] = (phi[i] + kappa * phi[k - 1 - i]) / (1.0 - kappa * kappa);
        phi = lower;
    }
    return true;
}

// Solves the dense n x n system a z = b (a row-major) by Gaussian
// elimination with partial pivoting; false when it is singular.
bool SolveDense(std::vector<double> a, std::vector<double>* b, std::size_t n) {
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < n; ++r) {
            if (std::fabs(a[r * n + col]) > std::fabs(a[pivot * n + col])) pivot = r;
        }
        if (a[pivot * n + col] == 0.0) return false;
        for (std::size_t c = 0; c < n; ++c) std::swap(a[col * n + c], a[pivot * n + c]);
        std::swap((*b)[col], (*b)[pivot]);
        for (std::size_t r = col + 1; r < n; ++r) {
            const double f = a[r * n + col] / a[col * n + col];
            for (std::size_t c = col; c < n; ++c) a[r * n + c] -= f * a[col * n + c];
            (*b)[r] -= f * (*b)[col];
        }
    }
    for (std::size_t r = n; r-- > 0;) {
        double sum = (*b)[r];
        for (std::size_t c = r + 1; c < n; ++c) sum -= a[r * n + c] * (*b)[c];
        (*b)[r] = sum / a[r * n + r];
    }
    return true;
}

// The autocovariances gamma[0 .. count-1] of a stationary ARMA process
// with shock variance sigma2; empty when the AR part is not stationary.
// gamma[k] - sum_i ar_i gamma[|k-i|] = sigma2 sum_{j>=k} ma_j psi[j-k]
// (ma_0 = 1, psi the moving-average weights) gives gamma[0 .. p] from a
// linear system and the later ones by recursion.
std::vector<double> Autocovariances(const Polynomial& ar, const Polynomial& ma, double sigma2, int count) {
    if (!Stationary(ar)) return {};
    const std::size_t p = ar.size(), q = ma.size();
    auto theta = [&](std::size_t j) { return j == 0 ? 1.0 : ma[j - 1]; };
    std::vector<double> psi(q + 1);
    for (std::size_t j = 0; j <= q; ++j) {
        psi[j] = theta(j);
        for (std::size_t i = 1; i <= std::min(j, p); ++i) psi[j] += ar[i - 1] * psi[j - i];
    }
    auto shock = [&](std::size_t k) {
        double sum = 0.0;
        for (std::size_t j = k; j <= q; ++j) sum += theta(j) * psi[j - k];
        return sigma2 * sum;
    };
    const std::size_t n = p + 1;
    std::vector<double> a(n * n, 0.0), gamma(n);
    for (std::size_t k = 0; k < n; ++k) {
        a[k * n + k] += 1.0;
        for (std::size_t i = 1; i <= p; ++i) a[k * n + (k > i ? k - i : i - k)] -= ar[i - 1];
        gamma[k] = k <= q ? shock(k) : 0.0;
    }
    if (!SolveDense(a, &gamma, n)) return {};
    gamma.resize(std::max(n, At(count)));
    for (std::size_t k = n; k < gamma.size(); ++k) {
        double sum = k <= q ? shock(k) : 0.0;
        for (std::size_t i = 1; i <= p; ++i) sum += ar[i - 1] * gamma[k - i];
        gamma[k] = sum;
    }
    gamma.resize(At(count));
    return gamma;
}

// The sample autocorrelations r[0 .. lags] of column j (divisor T).
std::vector<double> SampleAutocorrelations(double** x, int t, int j, int lags) {
    double mean = 0.0;
    for (int i = 0; i < t; ++i) mean += x[i][j];
    mean /= t;
    std::vector<double> r(At(lags) + 1, 0.0);
    for (int k = 0; k <= lags && k < t; ++k) {
        for (int i = k; i < t; ++i) r[At(k)] += (x[i][j] - mean) * (x[i - k][j] - mean);
    }
    const double c0 = r[0];
    for (double& v : r) v = c0 > 0.0 ? v / c0 : kNaN;
    return r;
}

// The partial autocorrelations at lags 1 .. lags from the
// autocorrelations r by the Durbin-Levinson recursion.  Once the
// prediction error variance vanishes the later ones are missing.
std::vector<double> DurbinLevinson(const std::vector<double>& r, int lags) {
    std::vector<double> out(At(lags), kNaN), phi, next;
    double v = r[0];
    for (int k = 1; k <= lags; ++k) {
        if (!(v > 0.0)) break;
        double num = r[At(k)];
        for (std::size_t i = 0; i < phi.size(); ++i) num -= phi[i] * r[At(k) - 1 - i];
        const double kappa = num / v;
        next.assign(phi.size() + 1, kappa);
        for (std::size_t i = 0; i < phi.size(); ++i) next[i] = phi[i] - kappa * phi[phi.size() - 1 - i];
        phi.swap(next);
        v *= 1.0 - kappa * kappa;
        out[At(k) - 1] = kappa;
    }
    return out;
}

// The model of modelforc: y[t] = y[t-1] A1 + ... + y[t-p] Ap + z[t] B + u[t]
// for row vectors y[t] (1 x n) and z[t] (1 x k).
struct LinearModel {
    const ZuVALUE* y;
    const ZuVALUE* u;  // T x n shocks, or a 1 x 1 (or empty) constant
    const ZuVALUE* a;  // (p n) x n, A1 on top
    const ZuVALUE* z;  // rows up to the last forecast, k columns (or empty)
    const ZuVALUE* b;  // k x n
    int n;
    int p;

    double Shock(int t, int j) const {
        if (Rows(u) == 0 || Columns(u) == 0) return 0.0;
        return Rows(u) == 1 && Columns(u) == 1 ? MatrixData(u)[0][0] : MatrixData(u)[t][j];
    }
};

bool ModelArgs(ZuVALUE* pv, LinearModel* m, int* t1, int* t2) {
    for (int k = 0; k < 5; ++k) {
        if (!DataArg(pv, k)) return false;
    }
    *m = {&pv[0], &pv[1], &pv[2], &pv[3], &pv[4], Columns(&pv[0]), 0};
    const int n = m->n;
    if (n < 1) return ArgumentFault(0, "no series", kArgumentSizeError);
    if (Columns(m->a) != 0 && (Columns(m->a) != n || Rows(m->a) % n != 0)) {
        return ArgumentFault(2,
                             "found " + Shape(m->a) + " but expected a multiple of " + std::to_string(n) + " rows of " +
                                 Counted(n, "columns"),
                             kArgumentSizeError);
    }
    m->p = Columns(m->a) == 0 ? 0 : Rows(m->a) / n;
    const int k = Columns(m->z);
    if (k > 0 && ZuLibCheckMatrixSize(pv, 4, 4, k, n) == 0) return false;
    if (!BoundedIntArg(pv, 5, 0, Rows(m->y), "first forecast row", t1)) return false;
    if (!lib::IntArg(pv, 6, t2)) return false;
    const std::int64_t last = *t2;
    if (last < *t1 - 1 || last == std::numeric_limits<int>::max()) {
        return ArgumentFault(6, "last forecast row " + std::to_string(last) + " out of range");
    }
    if (k > 0 && last >= Rows(m->z)) return ArgumentFault(3, "no row " + std::to_string(last) + " of z");
    const bool shockRows = !(Rows(m->u) <= 1 && Columns(m->u) <= 1);
    if (shockRows && (Columns(m->u) != n || last >= Rows(m->u))) {
        return ArgumentFault(1,
                             "found " + Shape(m->u) + " but expected rows up to " + std::to_string(last) + " of " +
                                 Counted(n, "columns"),
                             kArgumentSizeError);
    }
    return true;
}

}  // namespace

/// arma0(x, ar, ma, start)
/// The residuals of the ARMA filter for each column of `x` (T by c):
/// e[t] = x[t] - ar1 x[t-1] - ... - arp x[t-p] - ma1 e[t-1] - ... - maq e[t-q], for rows
/// t >= `start`; the rows before `start` are 0 and enter the later ones as zero shocks, as do
/// x and e before row 0. `ar` and `ma` are vectors of lag coefficients, or empty matrices for
/// none. A missing value carries into everything computed from it.
/// Example:
///     print(arma0(<1;2;3;4>, <0.5>, <>, 1));
void FnArma0(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Polynomial ar, ma;
    int start = 0;
    if (!DataArg(pv, 0) || !CoefficientArg(pv, 1, &ar) || !CoefficientArg(pv, 2, &ma) ||
        !BoundedIntArg(pv, 3, 0, Rows(&pv[0]), "start", &start)) {
        return;
    }
    const ZuVALUE* x = &pv[0];
    if (!lib::ResultMatrix(rtn, Rows(x), Columns(x))) return;
    for (int j = 0; j < Columns(x); ++j) Residuals(MatrixData(x), Rows(x), j, ar, ma, start, MatrixData(rtn));
}

/// armagen(x, e, ar, ma, start)
/// The ARMA process generated from the shocks `e` (T by c): the rows before `start` are those
/// of `x` (its later rows are not used), and from row `start` on
/// y[t] = ar1 y[t-1] + ... + arp y[t-p] + e[t] + ma1 e[t-1] + ... + maq e[t-q], with every
/// row of `e` entering the moving average. `armagen(x, e, ar, ma, 0)` and
/// `arma0(y, ar, ma, 0)` undo each other.
/// Example:
///     decl y = armagen(zeros(4, 1), <1;0;0;0>, <0.5>, <>, 0);
///     print(y, arma0(y, <0.5>, <>, 0));
void FnArmagen(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Polynomial ar, ma;
    int start = 0;
    if (!DataArg(pv, 0) || !DataArg(pv, 1) || !CoefficientArg(pv, 2, &ar) || !CoefficientArg(pv, 3, &ma)) return;
    if (ZuLibCheckMatrixSize(pv, 1, 1, Rows(&pv[0]), Columns(&pv[0])) == 0) return;
    if (!BoundedIntArg(pv, 4, 0, Rows(&pv[0]), "start", &start)) return;
    const ZuVALUE* x = &pv[0];
    double** e = MatrixData(&pv[1]);
    if (!lib::ResultMatrix(rtn, Rows(x), Columns(x))) return;
    double** y = MatrixData(rtn);
    for (int j = 0; j < Columns(x); ++j) {
        for (int t = 0; t < Rows(x); ++t) {
            if (t < start) {
                y[t][j] = MatrixData(x)[t][j];
                continue;
            }
            y[t][j] =
                e[t][j] + LagSum(ar, t, [&](int s) { return y[s][j]; }) + LagSum(ma, t, [&](int s) { return e[s][j]; });
        }
    }
}

/// armavar(ar, ma, T, sigma2, form)
/// The second moments of the stationary ARMA process with shock variance `sigma2`. `form` 0:
/// the autocovariances at lags 0 .. T-1 as a T by 1 column; `form` 1: the autocorrelations
/// likewise; `form` 2: the T by T covariance matrix of T consecutive observations. When the AR
/// polynomial is not stationary the moments do not exist and every element is missing. The
/// AR order is at most 1000.
/// Example:
///     print(armavar(<0.5>, <>, 3, 1, 0), armavar(<0.5>, <>, 3, 1, 1));
void FnArmavar(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Polynomial ar, ma;
    int t = 0, form = 0;
    double sigma2 = 0.0;
    if (!CoefficientArg(pv, 0, &ar) || !CoefficientArg(pv, 1, &ma) ||
        !BoundedIntArg(pv, 2, 0, std::numeric_limits<int>::max(), "length", &t) || !lib::DoubleArg(pv, 3, &sigma2) ||
        !BoundedIntArg(pv, 4, 0, 2, "form", &form)) {
        return;
    }
    if (ar.size() > kLargestVarianceOrder) {
        ArgumentFault(0, "AR order " + std::to_string(ar.size()) + " above 1000");
        return;
    }
    if (!lib::ResultMatrix(rtn, t, form == 2 ? t : 1)) return;
    std::vector<double> gamma = Autocovariances(ar, ma, sigma2, t);
    if (gamma.empty()) gamma.assign(At(t), kNaN);
    for (int k = 0; k < t; ++k) {
        if (form == 2) {
            for (int i = 0; i < t; ++i) MatrixData(rtn)[k][i] = gamma[At(std::abs(k - i))];
        } else {
            MatrixData(rtn)[k][0] = form == 1 ? gamma[At(k)] / gamma[0] : gamma[At(k)];
        }
    }
}

/// armaforc(x, ar, ma, h [, mean])
/// Forecasts of each column of `x` for the `h` periods after its last row, h by c. The model
/// holds for x - `mean` (0 by default); the shocks are the residuals of `arma0` from row p on,
/// and future shocks are 0, so the forecast k periods ahead is
/// f[T+k] = sum_i ar_i z[T+k-i] + sum over j >= k of ma_j e[T+k-j] + mean, where z is
/// x - mean up to row T-1 and the earlier forecasts after it.
/// Example:
///     print(armaforc(<1;2;4>, <0.5>, <>, 3), armaforc(<1;2;4>, <0.5>, <>, 2, 1));
void FnArmaforc(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    Polynomial ar, ma;
    int h = 0;
    double mean = 0.0;
    if (cArg > 5) {
        ZuLibArgError(5);
        return;
    }
    if (!DataArg(pv, 0) || !CoefficientArg(pv, 1, &ar) || !CoefficientArg(pv, 2, &ma) ||
        !BoundedIntArg(pv, 3, 0, std::numeric_limits<int>::max() - Rows(&pv[0]), "horizon", &h) ||
        (cArg == 5 && !lib::DoubleArg(pv, 4, &mean))) {
        return;
    }
    const ZuVALUE* x = &pv[0];
    const int t = Rows(x), c = Columns(x);
    if (!lib::ResultMatrix(rtn, h, c) || c == 0) return;
    lib::Block z(t + h, 1), e(t, 1);
    if (!lib::Allocated(z.ok() && e.ok())) return;
    const int start = std::min(t, static_cast<int>(ar.size()));
    for (int j = 0; j < c; ++j) {
        for (int i = 0; i < t; ++i) z.m()[i][0] = MatrixData(x)[i][j] - mean;
        Residuals(z.m(), t, 0, ar, ma, start, e.m());
        for (int k = t; k < t + h; ++k) {
            const double shocks = LagSum(ma, k, [&](int s) { return s < t ? e.m()[s][0] : 0.0; });
            z.m()[k][0] = LagSum(ar, k, [&](int s) { return z.m()[s][0]; }) + shocks;
            MatrixData(rtn)[k - t][j] = z.m()[k][0] + mean;
        }
    }
}

/// diffpow(x, d)
/// The fractional differences (1 - L)^d of each column of `x`:
/// y[t] = sum over k = 0 .. t of pi_k x[t-k], with pi_0 = 1 and pi_k = pi_{k-1} (k - 1 - d) / k,
/// and x before row 0 taken as 0 (d = 1 gives first differences with y[0] = x[0]; a negative
/// d integrates). T by c; the work grows as T^2.
/// Example:
///     print(diffpow(<1;3;6;10>, 1), diffpow(<1;0;0;0>, 0.5));
void FnDiffpow(ZuVALUE* rtn, ZuVALUE* pv, int) {
    double d = 0.0;
    if (!DataArg(pv, 0) || !lib::DoubleArg(pv, 1, &d)) return;
    const ZuVALUE* x = &pv[0];
    const int t = Rows(x);
    if (!lib::ResultMatrix(rtn, t, Columns(x))) return;
    std::vector<double> weights(At(t));
    for (int k = 0; k < t; ++k) weights[At(k)] = k == 0 ? 1.0 : weights[At(k) - 1] * (k - 1 - d) / k;
    for (int j = 0; j < Columns(x); ++j) {
        for (int i = 0; i < t; ++i) {
            double sum = 0.0;
            for (int k = 0; k <= i; ++k) sum += weights[At(k)] * MatrixData(x)[i - k][j];
            MatrixData(rtn)[i][j] = sum;
        }
    }
}

/// modelforc(y, u, a, z, b, t1, t2)
/// Dynamic forecasts of the linear model y[t] = y[t-1] A1 + ... + y[t-p] Ap + z[t] B + u[t]
/// for the rows t = `t1` .. `t2`, in row-vector form: y[t] is a 1 by n row of `y`,
/// `a` = (A1; ...; Ap) stacks the n by n lag matrices ((p n) by n, or empty for none), `z`
/// holds the exogenous rows (k columns, or empty) with `b` k by n, and `u` the shocks (T by n
/// rows, or a 1 by 1 constant, or empty for 0). Rows of `y` before `t1` are the observed
/// values (0 before row 0); from `t1` on each forecast feeds the later ones. The result is
/// t2 - t1 + 1 by n.
/// Example:
///     print(modelforc(<1;0;0;0>, <>, <0.5>, <>, <>, 1, 3));
void FnModelforc(ZuVALUE* rtn, ZuVALUE* pv, int) {
    LinearModel m{};
    int t1 = 0, t2 = 0;
    if (!ModelArgs(pv, &m, &t1, &t2)) return;
    const int rows = t2 - t1 + 1, n = m.n;
    if (!lib::ResultMatrix(rtn, rows, n)) return;
    auto past = [&](int s, int i) {
        if (s < 0) return 0.0;
        return s < t1 ? MatrixData(m.y)[s][i] : MatrixData(rtn)[s - t1][i];
    };
    for (int t = t1; t <= t2; ++t) {
        for (int j = 0; j < n; ++j) {
            double sum = m.Shock(t, j);
            for (int lag = 1; lag <= m.p; ++lag) {
                for (int i = 0; i < n; ++i) sum += past(t - lag, i) * MatrixData(m.a)[(lag - 1) * n + i][j];
            }
            for (int i = 0; i < Columns(m.z); ++i) sum += MatrixData(m.z)[t][i] * MatrixData(m.b)[i][j];
            MatrixData(rtn)[t - t1][j] = sum;
        }
    }
}

/// pacf(x [, lags])
/// The partial autocorrelations of each column of `x` at lags 1 .. `lags` (by default the
/// integer part of 10 log10 T, at most T - 1), lags by c, from the sample autocorrelations
/// (divisor T) by the Durbin-Levinson recursion. Lags of T or more see autocorrelations of 0;
/// a constant column is missing throughout.
/// Example:
///     print(pacf(<1;3;2;5;4;6;5;8>, 2));
void FnPacf(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 2) {
        ZuLibArgError(2);
        return;
    }
    if (!DataArg(pv, 0)) return;
    const int t = Rows(&pv[0]);
    int lags = std::min(t - 1, static_cast<int>(10.0 * std::log10(std::max(t, 1))));
    if (cArg == 2 && !BoundedIntArg(pv, 1, 0, std::numeric_limits<int>::max() - 1, "lag count", &lags)) return;
    lags = std::max(lags, 0);
    if (!lib::ResultMatrix(rtn, lags, Columns(&pv[0]))) return;
    for (int j = 0; j < Columns(&pv[0]); ++j) {
        const std::vector<double> partial =
            DurbinLevinson(SampleAutocorrelations(MatrixData(&pv[0]), t, j, lags), lags);
        for (int k = 0; k < lags; ++k) MatrixData(rtn)[k][j] = partial[At(k)];
    }
}

}  // namespace zu::stdlib
