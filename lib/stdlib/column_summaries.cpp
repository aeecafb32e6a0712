// Summaries down the columns (sumc, meanc, varc, prodc, maxc, minc), giving
// a 1 by c row, and along the rows (sumr, meanr, varr), giving an r by 1
// column.
/// @family Statistics
#include <cstddef>
#include <cmath>
#include <limits>

#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::stdlib {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The elements of one column or one row: n values, the k-th at at(k).
struct Line {
    double** m;
    int fixed;  // the column (down) or row (along)
    int n;
    bool down;
    double at(int k) const { return down ? m[k][fixed] : m[fixed][k]; }
};

double Sum(const Line& line) {
    double sum = 0.0;
    for (int k = 0; k < line.n; ++k) sum += line.at(k);
    return sum;
}

double Mean(const Line& line) { return Sum(line) / line.n; }

// Two passes: the mean, then the squared deviations from it, divided by n.
double Variance(const Line& line) {
    const double mean = Mean(line);
    double sum = 0.0;
    for (int k = 0; k < line.n; ++k) {
        const double d = line.at(k) - mean;
        sum += d * d;
    }
    return sum / line.n;
}

double Product(const Line& line) {
    double product = 1.0;
    for (int k = 0; k < line.n; ++k) product *= line.at(k);
    return product;
}

// The extreme element that is not missing, NaN when there is none.  The
// first such element starts the search, so a line of infinities gives the
// infinity (a start value of the largest double would hide it).
template <bool Largest>
double Extreme(const Line& line) {
    double best = kNaN;
    for (int k = 0; k < line.n; ++k) {
        const double x = line.at(k);
        if (std::isnan(x)) continue;
        if (std::isnan(best) || (Largest ? x > best : x < best)) best = x;
    }
    return best;
}

// The argument as a matrix (a scalar becomes 1 by 1); false after a report.
bool MatrixArgument(ZuVALUE* pv) { return ZuLibCheckType(ZU_MATRIX, pv, 0, 0) != 0; }

template <double (*Summary)(const Line&)>
void DownColumns(ZuVALUE* rtn, ZuVALUE* pv) {
    if (!MatrixArgument(pv)) return;
    const int r = Rows(pv), c = Columns(pv);
    ZuLibValMatMalloc(rtn, 1, c);
    if (!value::IsMatrix(rtn)) return;
    for (int j = 0; j < c; ++j) MatrixData(rtn)[0][j] = Summary(Line{MatrixData(pv), j, r, true});
}

template <double (*Summary)(const Line&)>
void AlongRows(ZuVALUE* rtn, ZuVALUE* pv) {
    if (!MatrixArgument(pv)) return;
    const int r = Rows(pv), c = Columns(pv);
    ZuLibValMatMalloc(rtn, r, 1);
    if (!value::IsMatrix(rtn)) return;
    for (int i = 0; i < r; ++i) MatrixData(rtn)[i][0] = Summary(Line{MatrixData(pv), i, c, false});
}

}  // namespace

/// sumc(m)
/// The sum of each column of the r by c matrix `m`, as a 1 by c row; a scalar counts as 1 by 1.
/// Missing values are not left out: a column with one sums to NaN.
/// Example:
///     print(sumc(<1,2;3,4;5,6>));
void FnSumc(ZuVALUE* rtn, ZuVALUE* pv, int) { DownColumns<Sum>(rtn, pv); }
/// meanc(m)
/// The mean of each column of the r by c matrix `m`, as a 1 by c row (NaN for a matrix
/// without rows).
/// Example:
///     print(meanc(<1,2;3,4;5,9>));
void FnMeanc(ZuVALUE* rtn, ZuVALUE* pv, int) { DownColumns<Mean>(rtn, pv); }
/// varc(m)
/// The variance of each column of the T by c matrix `m`, as a 1 by c row: the squared
/// deviations from the column mean divided by T, not T-1.
/// Example:
///     print(varc(<1,2;3,4;5,9>));
void FnVarc(ZuVALUE* rtn, ZuVALUE* pv, int) { DownColumns<Variance>(rtn, pv); }
/// prodc(m)
/// The product of each column of the r by c matrix `m`, as a 1 by c row.
/// Example:
///     print(prodc(<1,2;3,4;5,6>));
void FnProdc(ZuVALUE* rtn, ZuVALUE* pv, int) { DownColumns<Product>(rtn, pv); }
/// maxc(m)
/// The largest element of each column of the r by c matrix `m`, as a 1 by c row. Missing
/// values are left out; a column without other values gives NaN.
/// Example:
///     print(maxc(<1,.NaN;3,4;2,.NaN>));
void FnMaxc(ZuVALUE* rtn, ZuVALUE* pv, int) { DownColumns<Extreme<true>>(rtn, pv); }
/// minc(m)
/// The smallest element of each column of the r by c matrix `m`, as a 1 by c row. Missing
/// values are left out; a column without other values gives NaN.
/// Example:
///     print(minc(<1,.NaN;3,4;2,.NaN>));
void FnMinc(ZuVALUE* rtn, ZuVALUE* pv, int) { DownColumns<Extreme<false>>(rtn, pv); }

/// sumr(m)
/// The sum of each row of the r by c matrix `m`, as an r by 1 column.
/// Example:
///     print(sumr(<1,2;3,4>));
void FnSumr(ZuVALUE* rtn, ZuVALUE* pv, int) { AlongRows<Sum>(rtn, pv); }
/// meanr(m)
/// The mean of each row of the r by c matrix `m`, as an r by 1 column.
/// Example:
///     print(meanr(<1,2;3,5>));
void FnMeanr(ZuVALUE* rtn, ZuVALUE* pv, int) { AlongRows<Mean>(rtn, pv); }

/// varr(m)
/// The variance of each row of the r by T matrix `m` (divisor T), as an r by 1 column. An
/// int, a double or a string gives the double 0.
/// Example:
///     print(varr(<1,2,3;1,5,9>));
void FnVarr(ZuVALUE* rtn, ZuVALUE* pv, int) {
    const int code = value::TypeCode(pv);
    if (!value::IsNul(pv) && (code == ZU_INT || code == ZU_DOUBLE || code == ZU_STRING)) {
        ZuValSetDouble(rtn, 0.0);
    } else if (!value::IsMatrix(pv)) {
        ZuLibArgError(0);
    } else {
        AlongRows<Variance>(rtn, pv);
    }
}

}  // namespace zu::stdlib
