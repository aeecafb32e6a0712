// Recursions down the columns (cumsum, cumulate, cumprod), lags and
// differences, and thinning to evenly spaced rows or columns.  Rows are
// observations in time order; a missing value carries into every element
// computed from it.
/// @family Time series
#include <cstddef>
#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "stdlib/argument_faults.h"
#include "stdlib/routines.h"
#include "value/cast.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::DoubleOf;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::stdlib {
namespace {

std::string Shape(const ZuVALUE* v) {
    return "matrix[" + std::to_string(Rows(v)) + "][" + std::to_string(Columns(v)) + "]";
}

// A new matrix the size of m; false when nothing was stored.
bool SameSize(ZuVALUE* rtn, const ZuVALUE* m) {
    ZuLibValMatMalloc(rtn, Rows(m), Columns(m));
    return value::IsMatrix(rtn);
}

bool IsVector(const ZuVALUE* v) { return Rows(v) == 1 || Columns(v) == 1; }

// The coefficients of cumsum: a(lag, column) for lags 1 to p.
struct Coefficients {
    std::vector<double> a;  // lag-major: a[(lag - 1) * columns + column]
    int p = 0;
    int columns = 0;
    double at(int lag, int column) const {
        return a[static_cast<std::size_t>(lag - 1) * static_cast<std::size_t>(columns) + column];
    }
};

// Rows of vCoef are lags; one column serves every column of m, or there
// is one column per column of m.  For a one-column m any vector will do.
bool CoefficientArg(ZuVALUE* pv, int c, Coefficients* out) {
    if (!MatrixArg(pv, 1)) return false;
    const ZuVALUE* v = &pv[1];
    out->columns = c;
    if (Rows(v) == 0 || Columns(v) == 0) return true;  // no lags: y = x
    const bool oneSeries = c <= 1 && IsVector(v);
    if (!oneSeries && (c <= 1 || (Columns(v) != 1 && Columns(v) != c))) {
        const std::string expected = c <= 1 ? "a vector" : "1 or " + std::to_string(c) + " columns";
        return ArgumentFault(1, "found " + Shape(v) + " but expected " + expected, kArgumentSizeError);
    }
    out->p = oneSeries ? Rows(v) * Columns(v) : Rows(v);
    out->a.resize(static_cast<std::size_t>(out->p) * static_cast<std::size_t>(c));
    for (int lag = 1; lag <= out->p; ++lag) {
        for (int j = 0; j < c; ++j) {
            const int i = oneSeries ? (Rows(v) == 1 ? 0 : lag - 1) : lag - 1;
            const int k = oneSeries ? (Rows(v) == 1 ? lag - 1 : 0) : (Columns(v) == 1 ? 0 : j);
            out->a[static_cast<std::size_t>(lag - 1) * static_cast<std::size_t>(c) + j] = MatrixData(v)[i][k];
        }
    }
    return true;
}

// The optional start rows of argument k: at most m's rows, m's columns.
bool StartArg(ZuVALUE* pv, int cArg, int k, const ZuVALUE* m, const ZuVALUE** start) {
    *start = nullptr;
    if (cArg <= k) return true;
    if (cArg > k + 1) return ZuLibArgError(k + 1) != 0;
    if (!MatrixArg(pv, k)) return false;
    const ZuVALUE* s = &pv[k];
    if (Rows(s) == 0) return true;
    if (Rows(s) > Rows(m) || Columns(s) != Columns(m)) {
        return ArgumentFault(k,
                             "found " + Shape(s) + " but expected at most " + Counted(Rows(m), "rows") + " of " +
                                 Counted(Columns(m), "columns"),
                             kArgumentSizeError);
    }
    *start = s;
    return true;
}

// The c x c coefficient matrices of cumulate (a 1 x 1 one stands for that
// multiple of the identity), as full matrices in row order.
bool MatrixCoefficients(ZuVALUE* pv, int cArg, int c, std::vector<std::vector<double>>* out) {
    for (int k = 1; k < cArg; ++k) {
        if (!MatrixArg(pv, k)) return false;
        const ZuVALUE* v = &pv[k];
        const bool scalar = Rows(v) == 1 && Columns(v) == 1;
        if (!scalar && ZuLibCheckMatrixSize(pv, k, k, c, c) == 0) return false;
        std::vector<double> a(static_cast<std::size_t>(c) * static_cast<std::size_t>(c), 0.0);
        for (int i = 0; i < c; ++i) {
            for (int j = 0; j < c; ++j) {
                if (!scalar) a[static_cast<std::size_t>(i) * c + j] = MatrixData(v)[i][j];
            }
            if (scalar) a[static_cast<std::size_t>(i) * c + i] = MatrixData(v)[0][0];
        }
        out->push_back(std::move(a));
    }
    return true;
}

// The lags of lag0: the elements of argument 1, row by row.
bool LagList(ZuVALUE* pv, std::vector<int>* lags) {
    if (!MatrixArg(pv, 1)) return false;
    const ZuVALUE* v = &pv[1];
    for (int i = 0; i < Rows(v); ++i) {
        for (int j = 0; j < Columns(v); ++j) {
            int lag = 0;
            if (!value::DoubleToInt(MatrixData(v)[i][j], &lag)) return ArgumentFault(1, "lag is not an integer");
            lags->push_back(lag);
        }
    }
    return true;
}

// The fill value of lag0 and diff0: argument 2, or 0.
bool FillArg(ZuVALUE* pv, int cArg, double* fill) {
    *fill = 0.0;
    if (cArg > 3) return ZuLibArgError(3) != 0;
    if (cArg < 3) return true;
    if (ZuLibCheckType(ZU_DOUBLE, pv, 2, 2) == 0) return false;
    *fill = DoubleOf(&pv[2]);
    return true;
}

// Row t - lag when it lies in 0..r-1, else -1.
int Source(int t, int lag, int r) {
    const std::int64_t s = std::int64_t{t} - lag;
    return s >= 0 && s < r ? static_cast<int>(s) : -1;
}

// The index of the k-th of n evenly spaced lines out of `total`, the
// first and the last among them.
int Spaced(int k, int n, int total) {
    if (n <= 1) return 0;
    return static_cast<int>(std::int64_t{k} * (total - 1) / (n - 1));
}

void Thin(ZuVALUE* rtn, ZuVALUE* pv, bool rows) {
    int n = 0;
    if (!MatrixArg(pv, 0) || !IntArg(pv, 1, &n)) return;
    const ZuVALUE* m = &pv[0];
    const int total = rows ? Rows(m) : Columns(m);
    if (n < 0) {
        ArgumentFault(1, "negative count " + std::to_string(n));
        return;
    }
    if (n > total) n = total;
    const int r = rows ? n : Rows(m), c = rows ? Columns(m) : n;
    ZuLibValMatMalloc(rtn, r, c);
    if (!value::IsMatrix(rtn)) return;
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j) {
            MatrixData(rtn)[i][j] =
                rows ? MatrixData(m)[Spaced(i, n, total)][j] : MatrixData(m)[i][Spaced(j, n, total)];
        }
    }
}

}  // namespace

/// cumsum(m, coef [, start])
/// For each column of `m` the recursion y[t] = x[t] + a1 y[t-1] + ... + ap y[t-p], with y
/// before the first row taken as 0. The rows of `coef` are the lags 1 to p: one column serves
/// every column of `m`, or each column of `m` has its own; for a one-column `m` any vector
/// lists a1 to ap. `start`, when given, supplies the first rows of y (at most the rows of `m`,
/// its columns) and the recursion starts after them.
/// Example:
///     print(cumsum(ones(4, 1), 1), cumsum(ones(4, 1), 0.5));
void FnCumsum(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    Coefficients a;
    const ZuVALUE* start = nullptr;
    if (!MatrixArg(pv, 0) || !CoefficientArg(pv, Columns(&pv[0]), &a) || !StartArg(pv, cArg, 2, &pv[0], &start)) return;
    const ZuVALUE* m = &pv[0];
    if (!SameSize(rtn, m)) return;
    const int s = start == nullptr ? 0 : Rows(start);
    double** y = MatrixData(rtn);
    for (int t = 0; t < Rows(m); ++t) {
        for (int j = 0; j < Columns(m); ++j) {
            if (t < s) {
                y[t][j] = MatrixData(start)[t][j];
                continue;
            }
            double sum = MatrixData(m)[t][j];
            for (int lag = 1; lag <= a.p && lag <= t; ++lag) sum += a.at(lag, j) * y[t - lag][j];
            y[t][j] = sum;
        }
    }
}

/// cumulate(m [, a1, ...])
/// Without more arguments the cumulative sums down the columns of `m`. With `a1`, ..., `ap`:
/// the vector recursion y[t] = x[t] + a1 y[t-1] + ... + ap y[t-p] over the rows as vectors,
/// with y before the first row 0; each aj is c by c, or a scalar for that multiple of the
/// identity.
/// Example:
///     print(cumulate(<1,2;3,4;5,6>), cumulate(ones(3, 1), 0.5));
void FnCumulate(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (!MatrixArg(pv, 0)) return;
    const ZuVALUE* m = &pv[0];
    const int r = Rows(m), c = Columns(m);
    std::vector<std::vector<double>> coefficients;
    if (cArg == 1) {
        coefficients.emplace_back(static_cast<std::size_t>(c) * static_cast<std::size_t>(c), 0.0);
        for (int i = 0; i < c; ++i) coefficients[0][static_cast<std::size_t>(i) * c + i] = 1.0;
    } else if (!MatrixCoefficients(pv, cArg, c, &coefficients)) {
        return;
    }
    if (!SameSize(rtn, m)) return;
    double** y = MatrixData(rtn);
    const int p = static_cast<int>(coefficients.size());
    for (int t = 0; t < r; ++t) {
        for (int i = 0; i < c; ++i) {
            double sum = MatrixData(m)[t][i];
            for (int lag = 1; lag <= p && lag <= t; ++lag) {
                const std::vector<double>& a = coefficients[static_cast<std::size_t>(lag - 1)];
                for (int k = 0; k < c; ++k) sum += a[static_cast<std::size_t>(i) * c + k] * y[t - lag][k];
            }
            y[t][i] = sum;
        }
    }
}

/// cumprod(m [, ...])
/// The cumulative products down the columns of `m`. Further arguments are an argument error.
/// Example:
///     print(cumprod(<1,2;3,4;5,6>));
void FnCumprod(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 1) {
        ZuLibArgError(1);
        return;
    }
    if (!MatrixArg(pv, 0) || !SameSize(rtn, &pv[0])) return;
    const ZuVALUE* m = &pv[0];
    for (int t = 0; t < Rows(m); ++t) {
        for (int j = 0; j < Columns(m); ++j)
            MatrixData(rtn)[t][j] = MatrixData(m)[t][j] * (t == 0 ? 1.0 : MatrixData(rtn)[t - 1][j]);
    }
}

/// lag0(m, p [, missing])
/// Each column of `m` shifted down by `p` rows, the first p rows 0 (or the value `missing`); a
/// negative p shifts up (a lead), filling the last rows. A vector `p` gives one block of the
/// columns of `m` per lag, in the order listed.
/// Example:
///     print(lag0(<1;2;3;4>, <1,-1>), lag0(<1;2;3>, 1, .NaN));
void FnLag0(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    std::vector<int> lags;
    double fill = 0.0;
    if (!MatrixArg(pv, 0) || !LagList(pv, &lags) || !FillArg(pv, cArg, &fill)) return;
    const ZuVALUE* m = &pv[0];
    const int r = Rows(m), c = Columns(m);
    const std::int64_t columns = std::int64_t{c} * static_cast<std::int64_t>(lags.size());
    if (columns > INT_MAX) {
        ArgumentFault(1, "too many lags");
        return;
    }
    ZuLibValMatMalloc(rtn, r, static_cast<int>(columns));
    if (!value::IsMatrix(rtn)) return;
    for (std::size_t b = 0; b < lags.size(); ++b) {
        for (int t = 0; t < r; ++t) {
            const int s = Source(t, lags[b], r);
            for (int j = 0; j < c; ++j)
                MatrixData(rtn)[t][static_cast<int>(b) * c + j] = s < 0 ? fill : MatrixData(m)[s][j];
        }
    }
}

/// diff0(m, p [, missing])
/// The differences x[t] - x[t-p] down each column of `m`; the rows without x[t-p] are 0 (or the
/// value `missing`).
/// Example:
///     print(diff0(<1;4;9;16>, 1), diff0(<1;4;9;16>, 2, .NaN));
void FnDiff0(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    int p = 0;
    double fill = 0.0;
    if (!MatrixArg(pv, 0) || !IntArg(pv, 1, &p) || !FillArg(pv, cArg, &fill)) return;
    const ZuVALUE* m = &pv[0];
    if (!SameSize(rtn, m)) return;
    for (int t = 0; t < Rows(m); ++t) {
        const int s = Source(t, p, Rows(m));
        for (int j = 0; j < Columns(m); ++j)
            MatrixData(rtn)[t][j] = s < 0 ? fill : MatrixData(m)[t][j] - MatrixData(m)[s][j];
    }
}

/// thinc(m, c)
/// `c` evenly spaced columns of `m`, the first and the last among them (all columns when `m`
/// has no more than `c`; the first alone for `c` = 1).
/// Example:
///     print(thinc(<1,2,3,4,5>, 3));
void FnThinc(ZuVALUE* rtn, ZuVALUE* pv, int) { Thin(rtn, pv, false); }
/// thinr(m, r)
/// `r` evenly spaced rows of `m`, the first and the last among them (all rows when `m` has no
/// more than `r`; the first alone for `r` = 1).
/// Example:
///     print(thinr(<1;2;3;4;5;6;7>, 3));
void FnThinr(ZuVALUE* rtn, ZuVALUE* pv, int) { Thin(rtn, pv, true); }

}  // namespace zu::stdlib
