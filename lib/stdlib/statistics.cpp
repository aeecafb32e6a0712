// Statistics of data matrices (observations in rows, variables in
// columns, unless a name ends in r): correlation, variance, standardize,
// moments, quantilec, quantiler, limits, range, sumsqrc, sumsqrr, prodr,
// min, max, any, norm, and least squares (olsc, olsr, ols2c, ols2r).
/// @family Statistics

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <string_view>

#include "numerics/least_squares.h"
#include "numerics/library_support.h"
#include "console/run_error_codes.h"
#include "stdlib/routines.h"
#include "stdlib/sorting.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::DoubleOf;
using zu::value::MatrixData;
using zu::value::Rows;
using zu::value::StringLength;
using zu::value::StringText;

namespace zu::stdlib {
namespace {

namespace lib = numerics::library;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool Is(const ZuVALUE* v, int type) { return value::TypeCode(v) == type && !value::IsNul(v); }

// Argument k as a matrix; a string is a type error rather than a matrix
// of its characters.  False after the report.
bool DataArg(ZuVALUE* pv, int k) {
    if (Is(&pv[k], ZU_STRING)) {
        ZuLibArgTypeError(k, ZU_MATRIX, ZU_STRING);
        return false;
    }
    return lib::MatrixArg(pv, k);
}

bool TooMany(int cArg, int most) {
    if (cArg <= most) return false;
    ZuLibArgError(most);
    return true;
}

// The elements of one column (down) or one row (along) of a matrix.
struct Line {
    double** m;
    int fixed;
    int n;
    bool down;
    double at(int k) const { return down ? m[k][fixed] : m[fixed][k]; }
};

double Mean(const Line& line) {
    double sum = 0.0;
    for (int k = 0; k < line.n; ++k) sum += line.at(k);
    return sum / line.n;
}

// The mean of (x - mean)^power.
double CentralMoment(const Line& line, double mean, int power) {
    double sum = 0.0;
    for (int k = 0; k < line.n; ++k) sum += std::pow(line.at(k) - mean, power);
    return sum / line.n;
}

double SumOfSquares(const Line& line) {
    double sum = 0.0;
    for (int k = 0; k < line.n; ++k) sum += line.at(k) * line.at(k);
    return sum;
}

double Product(const Line& line) {
    double product = 1.0;
    for (int k = 0; k < line.n; ++k) product *= line.at(k);
    return product;
}

template <double (*Summary)(const Line&), bool Down>
void Summarise(ZuVALUE* rtn, ZuVALUE* pv) {
    if (!DataArg(pv, 0)) return;
    const int r = Rows(pv), c = Columns(pv);
    const int count = Down ? c : r;
    if (!lib::ResultMatrix(rtn, Down ? 1 : r, Down ? c : 1)) return;
    for (int k = 0; k < count; ++k) {
        const double s = Summary(Line{MatrixData(pv), k, Down ? r : c, Down});
        *(Down ? &MatrixData(rtn)[0][k] : &MatrixData(rtn)[k][0]) = s;
    }
}

// Means and standard deviations (divisor T) of the c columns of a T by c
// matrix, into two scratch rows.  The sums run over the rows, each
// column's in the order of its observations, so that the matrix is read
// along its rows.
struct ColumnMoments {
    lib::Block mean;
    lib::Block sd;
    ColumnMoments(double** m, int T, int c) : mean(1, c), sd(1, c) {
        if (!mean.ok() || !sd.ok() || c < 1) return;
        double* mu = mean.m()[0];
        double* s = sd.m()[0];
        for (int j = 0; j < c; ++j) mu[j] = s[j] = 0.0;
        for (int t = 0; t < T; ++t)
            for (int j = 0; j < c; ++j) mu[j] += m[t][j];
        for (int j = 0; j < c; ++j) mu[j] /= T;
        for (int t = 0; t < T; ++t)
            for (int j = 0; j < c; ++j) {
                const double d = m[t][j] - mu[j];
                s[j] += d * d;
            }
        for (int j = 0; j < c; ++j) s[j] = std::sqrt(s[j] / T);
    }
    bool ok() const { return mean.ok() && sd.ok(); }
};

// The c by c cross products of deviations from the column means, over T:
// the deviations centred once into a scratch block, then one symmetric
// product, instead of centring every pair of columns again.
bool VarianceMatrix(ZuVALUE* rtn, double** m, int T, int c, const ColumnMoments& moments) {
    const lib::Block centred(T, c);
    if (!centred.ok()) {
        lib::OutOfMemory();
        return false;
    }
    if (!lib::ResultMatrix(rtn, c, c)) return false;
    if (c == 0) return true;
    const double* mean = moments.mean.m()[0];
    for (int t = 0; t < T; ++t)
        for (int j = 0; j < c; ++j) centred.m()[t][j] = m[t][j] - mean[j];
    double** out = MatrixData(rtn);
    MatBtB(out, centred.m(), T, c);
    for (int i = 0; i < c; ++i)
        for (int j = 0; j < c; ++j) out[i][j] /= T;
    return true;
}

// The quantile p of the n sorted values x by linear interpolation between
// the order statistics at (n - 1) p; NaN without values or for p outside
// [0, 1].
double SortedQuantile(const double* x, int n, double p) {
    if (n == 0 || !(p >= 0.0 && p <= 1.0)) return kNaN;
    const double h = (n - 1) * p;
    const int lo = static_cast<int>(std::floor(h));
    const double fraction = h - lo;
    if (lo + 1 >= n || fraction == 0.0) return x[lo];
    return x[lo] + fraction * (x[lo + 1] - x[lo]);
}

// The probabilities of quantilec and quantiler: argument 1 as a vector, or
// the median alone.
struct Probabilities {
    double median = 0.5;
    int n = 1;
    double** m = nullptr;
    bool row = true;
    double at(int k) const { return m == nullptr ? median : (row ? m[0][k] : m[k][0]); }
};

bool ProbabilitiesArg(ZuVALUE* pv, int cArg, Probabilities* out) {
    if (TooMany(cArg, 2)) return false;
    if (cArg < 2) return true;
    if (!DataArg(pv, 1)) return false;
    const int r = Rows(&pv[1]), c = Columns(&pv[1]);
    if (r != 1 && c != 1 && r * c != 0) {
        ZuLibArgError(1);
        return false;
    }
    out->m = MatrixData(&pv[1]);
    out->row = r == 1;
    out->n = r * c;
    return true;
}

// The quantiles of each column (down) or row: the missing values are left
// out, the rest sorted in scratch.
template <bool Down>
void Quantiles(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    Probabilities probs;
    if (!ProbabilitiesArg(pv, cArg, &probs) || !DataArg(pv, 0)) return;
    const int r = Rows(pv), c = Columns(pv);
    const int lines = Down ? c : r, length = Down ? r : c;
    lib::Block scratch(1, length);
    if (!scratch.ok()) {
        lib::OutOfMemory();
        return;
    }
    if (!lib::ResultMatrix(rtn, Down ? probs.n : r, Down ? c : probs.n)) return;
    for (int k = 0; k < lines; ++k) {
        const Line line{MatrixData(pv), k, length, Down};
        double* x = length > 0 ? scratch.m()[0] : nullptr;
        for (int t = 0; t < length; ++t) x[t] = line.at(t);
        SortVec(x, length);
        int missing = 0;
        while (missing < length && std::isnan(x[missing])) ++missing;
        for (int q = 0; q < probs.n; ++q) {
            const double value = SortedQuantile(x + missing, length - missing, probs.at(q));
            *(Down ? &MatrixData(rtn)[q][k] : &MatrixData(rtn)[k][q]) = value;
        }
    }
}

// The smallest or largest element of each value that is not missing,
// folded into `best`.
template <bool Largest>
bool FoldExtreme(ZuVALUE* pv, int cArg, double* best) {
    for (int k = 0; k < cArg; ++k) {
        if (!Is(&pv[k], ZU_INT) && !Is(&pv[k], ZU_DOUBLE) && !Is(&pv[k], ZU_MATRIX)) {
            ZuLibArgTypeError(k, ZU_MATRIX, value::TypeCode(&pv[k]));
            return false;
        }
        if (!lib::MatrixArg(pv, k)) return false;
        for (int i = 0; i < Rows(&pv[k]); ++i)
            for (int j = 0; j < Columns(&pv[k]); ++j) {
                const double x = MatrixData(&pv[k])[i][j];
                if (!std::isnan(x) && (std::isnan(*best) || (Largest ? x > *best : x < *best))) *best = x;
            }
    }
    return true;
}

template <bool Largest>
void Extreme(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    double best = kNaN;
    if (FoldExtreme<Largest>(pv, cArg, &best)) ZuValSetDouble(rtn, best);
}

// ---------------------------------------------------------------------------
// Norms

enum class NormKind { kOne, kTwo, kInfinity, kFrobenius };

bool BadNormType() {
    ZuLibArgError(1);
    return false;
}

bool NormKindArg(ZuVALUE* pv, int cArg, NormKind* kind) {
    *kind = NormKind::kTwo;
    if (TooMany(cArg, 2) || cArg < 2) return cArg < 2;
    if (Is(&pv[1], ZU_STRING)) {
        const char* chars = StringText(&pv[1]);
        const std::string_view text(chars != nullptr ? chars : "", static_cast<std::size_t>(StringLength(&pv[1])));
        if (text == "inf")
            *kind = NormKind::kInfinity;
        else if (text == "F" || text == "fro")
            *kind = NormKind::kFrobenius;
        else
            return BadNormType();
        return true;
    }
    if (ZuLibCheckType(ZU_DOUBLE, pv, 1, 1) == 0) return false;
    const double type = DoubleOf(&pv[1]);
    if (type == 1)
        *kind = NormKind::kOne;
    else if (type == 2)
        *kind = NormKind::kTwo;
    else if (type == 0 || type == kInf)
        *kind = NormKind::kInfinity;
    else if (type == 'F' || type == 'f')
        *kind = NormKind::kFrobenius;
    else
        return BadNormType();
    return true;
}

// The largest sum of absolute values along the columns (down) or rows.
double LargestAbsoluteSum(double** m, int r, int c, bool down) {
    double best = 0.0;
    for (int k = 0; k < (down ? c : r); ++k) {
        double sum = 0.0;
        for (int t = 0; t < (down ? r : c); ++t) sum += std::fabs(down ? m[t][k] : m[k][t]);
        best = std::max(best, sum);
    }
    return best;
}

double Frobenius(double** m, int r, int c) {
    double sum = 0.0;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) sum += m[i][j] * m[i][j];
    return std::sqrt(sum);
}

// The largest singular value; NaN when the matrix holds a value that is not
// finite or the decomposition fails.
double SpectralNorm(double** m, int r, int c) {
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j)
            if (!std::isfinite(m[i][j])) return kNaN;
    lib::Block copy(r, c), sv(1, std::min(r, c));
    if (!copy.ok() || !sv.ok()) {
        lib::OutOfMemory();
        return kNaN;
    }
    MatCopy(copy.m(), m, r, c);
    if (IDecSVD(copy.m(), r, c, sv.m()[0], nullptr, nullptr) != 0) return kNaN;
    return *std::max_element(sv.m()[0], sv.m()[0] + std::min(r, c));
}

// A vector's 1-norm sums along it and its infinity norm takes its largest
// element; a matrix's 1-norm sums down the columns, its infinity norm
// along the rows.
double MatrixNorm(double** m, int r, int c, NormKind kind) {
    if (r == 0 || c == 0) return 0.0;
    const bool vector = r == 1 || c == 1;
    const bool rowVector = vector && r == 1;
    switch (kind) {
    case NormKind::kOne: return LargestAbsoluteSum(m, r, c, !rowVector);
    case NormKind::kInfinity: return LargestAbsoluteSum(m, r, c, rowVector);
    case NormKind::kFrobenius: return Frobenius(m, r, c);
    case NormKind::kTwo: return vector ? Frobenius(m, r, c) : SpectralNorm(m, r, c);
    }
    return kNaN;
}

// ---------------------------------------------------------------------------
// Least squares

// The coefficients (k by n) and (X'X)^-1 (k by k), computed into scratch
// before any output is stored.
struct Fit {
    int k;
    int n;
    lib::Block b;
    lib::Block ixx;
    Fit(int k_, int n_) : k(k_), n(n_), b(k_, n_), ixx(k_, k_) {}
    bool ok() const { return b.ok() && ixx.ok(); }
};

// The output arguments from 2 on: the coefficients, (X'X)^-1 and X'X.
struct OlsOutputs {
    ZuVALUE* b;
    ZuVALUE* ixx;
    ZuVALUE* xtx;
};

bool OutputsArg(ZuVALUE* pv, int cArg, int most, OlsOutputs* out) {
    if (TooMany(cArg, most)) return false;
    out->b = lib::OutputArg(pv, 2, cArg);
    out->ixx = lib::OutputArg(pv, 3, cArg);
    out->xtx = most > 4 ? lib::OutputArg(pv, 4, cArg) : nullptr;
    return true;
}

// Stores the results: the coefficients as k by n, or transposed as n by k
// for the routines of data in rows, (X'X)^-1, and X'X when asked for.
// The result is 1, or 0 (and nothing stored) when X is not of full rank.
void StoreOls(ZuVALUE* rtn, numerics::FitStatus status, Fit& fit, double** xtx, const OlsOutputs& out,
              bool transposed) {
    if (status == numerics::FitStatus::kNoMemory) {
        lib::OutOfMemory();
        return;
    }
    if (status == numerics::FitStatus::kRankDeficient) {
        ZuValSetInt(rtn, 0);
        return;
    }
    if (out.b != nullptr) {
        if (!transposed) {
            lib::OutMatrix(out.b, fit.b.m(), fit.k, fit.n);
        } else {
            ZuLibValMatMalloc(out.b, fit.n, fit.k);
            for (int i = 0; i < fit.n && value::IsMatrix(out.b); ++i)
                for (int j = 0; j < fit.k; ++j) MatrixData(out.b)[i][j] = fit.b.m()[j][i];
        }
    }
    lib::OutMatrix(out.ixx, fit.ixx.m(), fit.k, fit.k);
    lib::OutMatrix(out.xtx, xtx, fit.k, fit.k);
    ZuValSetInt(rtn, 1);
}

// y and x of the same count of observations: rows (down) or columns.
bool RegressionArgs(ZuVALUE* pv, bool down) {
    if (!DataArg(pv, 0) || !DataArg(pv, 1)) return false;
    const int T = down ? Rows(&pv[0]) : Columns(&pv[0]);
    if (down) return ZuLibCheckMatrixSize(pv, 1, 1, T, Columns(&pv[1])) != 0;
    return ZuLibCheckMatrixSize(pv, 1, 1, Rows(&pv[1]), T) != 0;
}

// The fit of the data regression shared by olsc (observations in rows)
// and olsr (in columns): y and x as checked by RegressionArgs.
void DataRegression(ZuVALUE* rtn, ZuVALUE* pv, const OlsOutputs& out, bool inColumns) {
    const int T = inColumns ? Columns(&pv[0]) : Rows(&pv[0]);
    const int n = inColumns ? Rows(&pv[0]) : Columns(&pv[0]);
    const int k = inColumns ? Rows(&pv[1]) : Columns(&pv[1]);
    Fit fit(k, n);
    lib::Block xtx(k, k);
    if (!fit.ok() || !xtx.ok()) {
        lib::OutOfMemory();
        return;
    }
    const numerics::RegressionData data{MatrixData(&pv[1]), MatrixData(&pv[0]), T, k, n, inColumns};
    // (X'X)^-1 costs as much as the fit itself: only when asked for.
    const numerics::FitStatus status =
        numerics::FitByQR(data, out.b ? fit.b.m() : nullptr, out.ixx ? fit.ixx.m() : nullptr);
    if (status == numerics::FitStatus::kFitted && out.xtx != nullptr && k > 0) {
        if (inColumns)
            MatBBt(xtx.m(), MatrixData(&pv[1]), k, T);
        else
            MatAtB(xtx.m(), MatrixData(&pv[1]), T, k, MatrixData(&pv[1]), k);
    }
    StoreOls(rtn, status, fit, xtx.m(), out, inColumns);
}

}  // namespace

/// variance(m)
/// The c by c variance matrix of the T by c data matrix `m`: the cross products of the
/// deviations from the column means, with divisor T (not T-1).
/// Example:
///     print(variance(<1,2;2,4;3,9>));
void FnVariance(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!DataArg(pv, 0)) return;
    const int T = Rows(pv), c = Columns(pv);
    const ColumnMoments moments(MatrixData(pv), T, c);
    if (!moments.ok()) {
        lib::OutOfMemory();
        return;
    }
    (void)VarianceMatrix(rtn, MatrixData(pv), T, c, moments);
}

/// correlation(m)
/// The c by c correlation matrix of the columns of the T by c matrix `m`. A column without
/// variation gives NaN in its row and column.
/// Example:
///     print(correlation(<1,2;2,4;3,9>));
void FnCorrelation(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!DataArg(pv, 0)) return;
    const int T = Rows(pv), c = Columns(pv);
    const ColumnMoments moments(MatrixData(pv), T, c);
    if (!moments.ok()) {
        lib::OutOfMemory();
        return;
    }
    if (!VarianceMatrix(rtn, MatrixData(pv), T, c, moments)) return;
    const double* sd = c > 0 ? moments.sd.m()[0] : nullptr;
    for (int i = 0; i < c; ++i)
        for (int j = 0; j < c; ++j) {
            const double scale = sd[i] * sd[j];
            MatrixData(rtn)[i][j] = scale > 0.0 ? (i == j ? 1.0 : MatrixData(rtn)[i][j] / scale) : kNaN;
        }
}

/// standardize(m)
/// Each column of `m` less its mean, divided by its standard deviation (divisor T). A column
/// without variation becomes NaN.
/// Example:
///     print(standardize(<1;2;3>));
void FnStandardize(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!DataArg(pv, 0)) return;
    const int T = Rows(pv), c = Columns(pv);
    const ColumnMoments moments(MatrixData(pv), T, c);
    if (!moments.ok()) {
        lib::OutOfMemory();
        return;
    }
    if (!lib::ResultMatrix(rtn, T, c)) return;
    for (int j = 0; j < c; ++j) {
        const double mean = moments.mean.m()[0][j], sd = moments.sd.m()[0][j];
        for (int t = 0; t < T; ++t) MatrixData(rtn)[t][j] = sd > 0.0 ? (MatrixData(pv)[t][j] - mean) / sd : kNaN;
    }
}

/// moments(m [, k])
/// For each column of the T by c matrix `m` the rows 0 to `k` (`k` defaults to 4) of a
/// k+1 by c matrix: the number of observations T, the mean, the standard deviation
/// (divisor T), and from row 3 on the standardized central moments
/// mean((x - mean)^j) / sd^j: skewness, kurtosis (3 for the normal), and so on.
/// Example:
///     print(moments(<1;2;3;4;10>));
void FnMoments(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    int k = 4;
    if (TooMany(cArg, 2) || (cArg > 1 && !lib::IntArg(pv, 1, &k))) return;
    if (k < 0 || k == INT_MAX) {
        ZuLibArgError(1);
        return;
    }
    if (!DataArg(pv, 0)) return;
    const int T = Rows(pv), c = Columns(pv);
    if (!lib::ResultMatrix(rtn, k + 1, c)) return;
    for (int j = 0; j < c; ++j) {
        const Line line{MatrixData(pv), j, T, true};
        const double mean = Mean(line), sd = std::sqrt(CentralMoment(line, mean, 2));
        MatrixData(rtn)[0][j] = T;
        if (k >= 1) MatrixData(rtn)[1][j] = mean;
        if (k >= 2) MatrixData(rtn)[2][j] = sd;
        for (int power = 3; power <= k; ++power)
            MatrixData(rtn)[power][j] = CentralMoment(line, mean, power) / std::pow(sd, power);
    }
}

/// quantilec(m [, q])
/// The quantiles `q` (a row or column vector of probabilities, default 0.5 for the median) of
/// each column of `m`: a row for each probability, a column for each column of `m`. Missing values
/// are left out; the quantile p interpolates linearly between the sorted values at (n - 1) p.
/// A column without values, or a p outside [0, 1], gives NaN.
/// Example:
///     print(quantilec(<1,10;2,20;3,30;4,40>));
///     print(quantilec(<1;2;3;4>, <0.25,0.75>));
void FnQuantilec(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { Quantiles<true>(rtn, pv, cArg); }

/// quantiler(m [, q])
/// The quantiles `q` (default 0.5, the median) of each row of `m`, as an r by columns(q)
/// matrix. Missing values are left out, and p interpolates linearly between the sorted values
/// at (n - 1) p, as for `quantilec`.
/// Example:
///     print(quantiler(<1,2,3,4;5,6,7,9>, <0.5,1>));
void FnQuantiler(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { Quantiles<false>(rtn, pv, cArg); }

/// limits(m [, base])
/// A 4 by c matrix with, for each column of `m`, the smallest and the largest element and the
/// row indices of their first occurrences, counted from `base` (default 0). Missing values are
/// left out; a column of them only gives NaN.
/// Example:
///     print(limits(<3,1;1,5;2,5>));
void FnLimits(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    int base = 0;
    if (TooMany(cArg, 2) || (cArg > 1 && !lib::IntArg(pv, 1, &base)) || !DataArg(pv, 0)) return;
    const int T = Rows(pv), c = Columns(pv);
    if (!lib::ResultMatrix(rtn, 4, c)) return;
    for (int j = 0; j < c; ++j) {
        int lo = -1, hi = -1;
        for (int t = 0; t < T; ++t) {
            const double x = MatrixData(pv)[t][j];
            if (std::isnan(x)) continue;
            if (lo < 0 || x < MatrixData(pv)[lo][j]) lo = t;
            if (hi < 0 || x > MatrixData(pv)[hi][j]) hi = t;
        }
        MatrixData(rtn)[0][j] = lo < 0 ? kNaN : MatrixData(pv)[lo][j];
        MatrixData(rtn)[1][j] = hi < 0 ? kNaN : MatrixData(pv)[hi][j];
        MatrixData(rtn)[2][j] = lo < 0 ? kNaN : static_cast<double>(lo) + base;
        MatrixData(rtn)[3][j] = hi < 0 ? kNaN : static_cast<double>(hi) + base;
    }
}

/// range(first, last [, step])
/// The row `first`, `first + step`, ... up to `last` (included when reached within rounding
/// error). The step defaults to 1, or -1 when `last` is below `first`. A step that leads away
/// from `last` gives a 1 by 0 matrix; a zero or missing step is an argument error.
/// Example:
///     print(range(1, 5));
///     print(range(0, 1, 0.25));
///     print(range(3, 1));
void FnRange(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (TooMany(cArg, 3)) return;
    for (int k = 0; k < cArg; ++k)
        if (Is(&pv[k], ZU_STRING)) {
            ZuLibArgTypeError(k, ZU_DOUBLE, ZU_STRING);
            return;
        }
    if (ZuLibCheckType(ZU_DOUBLE, pv, 0, cArg - 1) == 0) return;
    const double first = DoubleOf(&pv[0]), last = DoubleOf(&pv[1]);
    const double step = cArg > 2 ? DoubleOf(&pv[2]) : (last < first ? -1.0 : 1.0);
    for (int k = 0; k < cArg; ++k)
        if (!std::isfinite(DoubleOf(&pv[k])) || (k == 2 && step == 0.0)) {
            ZuLibArgError(k);
            return;
        }
    const double steps = std::floor((last - first) / step + 1e-10);
    if (steps + 1 > INT_MAX) {
        ReportRunError(RunErrorCode::OutOfMemory);
        return;
    }
    const int n = steps < 0 ? 0 : static_cast<int>(steps) + 1;
    if (!lib::ResultMatrix(rtn, 1, n)) return;
    for (int k = 0; k < n; ++k) MatrixData(rtn)[0][k] = first + k * step;
}

/// sumsqrc(m)
/// The sum of squares of each column of the r by c matrix `m`, as a 1 by c row.
/// Example:
///     print(sumsqrc(<1,2;3,4>));
void FnSumsqrc(ZuVALUE* rtn, ZuVALUE* pv, int) { Summarise<SumOfSquares, true>(rtn, pv); }
/// sumsqrr(m)
/// The sum of squares of each row of the r by c matrix `m`, as an r by 1 column.
/// Example:
///     print(sumsqrr(<1,2;3,4>));
void FnSumsqrr(ZuVALUE* rtn, ZuVALUE* pv, int) { Summarise<SumOfSquares, false>(rtn, pv); }
/// prodr(m)
/// The product of each row of the r by c matrix `m`, as an r by 1 column.
/// Example:
///     print(prodr(<1,2;3,4>));
void FnProdr(ZuVALUE* rtn, ZuVALUE* pv, int) { Summarise<Product, false>(rtn, pv); }

/// max(a, ...)
/// The largest element over all arguments (ints, doubles and matrices), as a double. Missing
/// values are left out; the result is NaN when there is no element.
/// Example:
///     println(max(<1,7;3,.NaN>, 5));
void FnMax(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { Extreme<true>(rtn, pv, cArg); }
/// min(a, ...)
/// The smallest element over all arguments (ints, doubles and matrices), as a double. Missing
/// values are left out; the result is NaN when there is no element.
/// Example:
///     println(min(<4,7;3,.NaN>, 5));
void FnMin(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { Extreme<false>(rtn, pv, cArg); }

/// any(m)
/// The int 1 when some element of `m` is not 0 (a missing value is not 0), else 0.
/// Example:
///     println(any(<0,0;0,1>), " ", any(zeros(2, 2)));
void FnAny(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!DataArg(pv, 0)) return;
    bool found = false;
    for (int i = 0; i < Rows(pv) && !found; ++i)
        for (int j = 0; j < Columns(pv) && !found; ++j) found = MatrixData(pv)[i][j] != 0.0;
    ZuValSetInt(rtn, found ? 1 : 0);
}

/// norm(m [, type])
/// For a vector: the Euclidean length (`type` 2, the default), the sum of absolute values (1),
/// or the largest absolute value (0, .Inf or "inf"). For a matrix: the largest singular value
/// (2), the largest absolute column sum (1), or the largest absolute row sum (0, .Inf or
/// "inf"). Type 'F' or "F" gives the Frobenius norm. An empty matrix has norm 0; a matrix with
/// missing values has 2-norm NaN.
/// Example:
///     println(norm(<3,4>), " ", norm(<3,-4>, 1), " ", norm(<1,2;3,4>, "inf"));
void FnNorm(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    NormKind kind = NormKind::kTwo;
    if (!NormKindArg(pv, cArg, &kind) || !DataArg(pv, 0)) return;
    ZuValSetDouble(rtn, MatrixNorm(MatrixData(pv), Rows(pv), Columns(pv), kind));
}

/// olsc(y, x, &b [, &ixx [, &xtx]])
/// Family: Regression
/// Least squares of the T by n matrix `y` on the T by k regressors `x`, by Householder QR with
/// column pivoting. `b` receives the k by n coefficients, `ixx` (X'X)^-1 and `xtx` X'X; pass 0
/// to leave one out. The rank is judged with the regressors scaled to unit length, so their
/// units do not matter.
/// Returns 1, or 0 when `x` is not of full rank (as it is with more regressors than
/// observations, or with a value that is not finite), in which case nothing is stored.
/// Example:
///     decl b;
///     println(olsc(<1;2;4>, <1,1;1,2;1,3>, &b));
///     print(b);
void FnOlsc(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    OlsOutputs out{};
    if (!OutputsArg(pv, cArg, 5, &out) || !RegressionArgs(pv, true)) return;
    DataRegression(rtn, pv, out, false);
}

/// olsr(y, x, &b [, &ixx [, &xtx]])
/// As `olsc` with the observations in columns: `y` is n by T, `x` k by T; `b` receives the
/// n by k coefficients, `ixx` (X'X)^-1 and `xtx` x x'; pass 0 to leave one out.
/// Returns 1, or 0 when `x` is not of full rank, in which case nothing is stored.
/// Family: Regression
/// Example:
///     decl b;
///     println(olsr(<1,2,4>, <1,1,1;1,2,3>, &b));
///     print(b);
void FnOlsr(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    OlsOutputs out{};
    if (!OutputsArg(pv, cArg, 5, &out) || !RegressionArgs(pv, false)) return;
    DataRegression(rtn, pv, out, true);
}

/// ols2c(xty, xtx, &b [, &ixx])
/// Least squares from the cross products: `xty` is X'y (k by n), `xtx` X'X (k by k, the
/// lower triangle is read). `b` receives the k by n coefficients and `ixx` (X'X)^-1. The fit
/// is a pivoted Choleski decomposition of X'X scaled to a unit diagonal.
/// Returns 1, or 0 when X'X is singular, in which case nothing is stored.
/// Family: Regression
/// Example:
///     decl x = <1,1;1,2;1,3>, y = <1;2;4>, b;
///     println(ols2c(x'y, x'x, &b));
///     print(b);
void FnOls2c(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    OlsOutputs out{};
    if (!OutputsArg(pv, cArg, 4, &out) || !DataArg(pv, 0) || ZuLibCheckSquareMatrix(pv, 1, 1) == 0) return;
    const int k = Rows(&pv[1]), n = Columns(&pv[0]);
    if (ZuLibCheckMatrixSize(pv, 0, 0, k, n) == 0) return;
    Fit fit(k, n);
    if (!fit.ok()) {
        lib::OutOfMemory();
        return;
    }
    const auto status = numerics::FitFromCrossProducts(MatrixData(&pv[1]), MatrixData(&pv[0]), k, n,
                                                       out.b ? fit.b.m() : nullptr, out.ixx ? fit.ixx.m() : nullptr);
    StoreOls(rtn, status, fit, nullptr, out, false);
}

/// ols2r(yxt, xxt, &b [, &ixx])
/// As `ols2c` with the observations in columns: `yxt` is y x' (n by k), `xxt` x x' (k by k);
/// `b` receives the n by k coefficients and `ixx` (x x')^-1.
/// Returns 1, or 0 when x x' is singular, in which case nothing is stored.
/// Family: Regression
/// Example:
///     decl x = <1,1,1;1,2,3>, y = <1,2,4>, b;
///     println(ols2r(y*x', x*x', &b));
///     print(b);
void FnOls2r(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    OlsOutputs out{};
    if (!OutputsArg(pv, cArg, 4, &out) || !DataArg(pv, 0) || ZuLibCheckSquareMatrix(pv, 1, 1) == 0) return;
    const int k = Rows(&pv[1]), n = Rows(&pv[0]);
    if (ZuLibCheckMatrixSize(pv, 0, 0, n, k) == 0) return;
    Fit fit(k, n);
    lib::Block xty(k, n);
    if (!fit.ok() || !xty.ok()) {
        lib::OutOfMemory();
        return;
    }
    for (int i = 0; i < k; ++i)
        for (int j = 0; j < n; ++j) xty.m()[i][j] = MatrixData(&pv[0])[j][i];
    const auto status = numerics::FitFromCrossProducts(MatrixData(&pv[1]), xty.m(), k, n, out.b ? fit.b.m() : nullptr,
                                                       out.ixx ? fit.ixx.m() : nullptr);
    StoreOls(rtn, status, fit, nullptr, out, true);
}

}  // namespace zu::stdlib
