// Summaries down the columns (sumc, meanc, varc, prodc, maxc, minc), giving
// a 1 by c row, and along the rows (sumr, meanr, varr), giving an r by 1
// column.
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

void FnSumc(ZuVALUE* rtn, ZuVALUE* pv, int) { DownColumns<Sum>(rtn, pv); }
void FnMeanc(ZuVALUE* rtn, ZuVALUE* pv, int) { DownColumns<Mean>(rtn, pv); }
void FnVarc(ZuVALUE* rtn, ZuVALUE* pv, int) { DownColumns<Variance>(rtn, pv); }
void FnProdc(ZuVALUE* rtn, ZuVALUE* pv, int) { DownColumns<Product>(rtn, pv); }
void FnMaxc(ZuVALUE* rtn, ZuVALUE* pv, int) { DownColumns<Extreme<true>>(rtn, pv); }
void FnMinc(ZuVALUE* rtn, ZuVALUE* pv, int) { DownColumns<Extreme<false>>(rtn, pv); }

void FnSumr(ZuVALUE* rtn, ZuVALUE* pv, int) { AlongRows<Sum>(rtn, pv); }
void FnMeanr(ZuVALUE* rtn, ZuVALUE* pv, int) { AlongRows<Mean>(rtn, pv); }

// varr of an int, a double or a string is the double 0.
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
