// The kernel density estimate of the probability library.
/// @family Probability

#include <cmath>

#include "numerics/dense.h"
#include "numerics/kernel_density.h"
#include "numerics/library.h"
#include "numerics/library_support.h"
#include "numerics/prob.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::numerics {
namespace {

// One sample of a matrix: a column, or the whole of a row vector.
struct Sample {
    double** m;
    int column;  // the column of the sample, or -1 for a row vector
    int length;
    double at(int i) const { return column < 0 ? m[0][i] : m[i][column]; }
    double& out(double** r, int i) const { return column < 0 ? r[0][i] : r[i][column]; }
};

// The estimate at every observation of the sample into result; the
// finite observations form the sample, the others get a missing value.
void EstimateSample(const Sample& s, double h, double* finite, double* sorted, double** result) {
    int n = 0;
    for (int i = 0; i < s.length; ++i)
        if (std::isfinite(s.at(i))) finite[n++] = s.at(i);
    // A missing h stays missing and makes every value missing.
    const double bandwidth = n >= 1 && h <= 0 ? KernelBandwidth(finite, n, sorted) : h;
    for (int i = 0; i < s.length; ++i)
        s.out(result, i) = std::isfinite(s.at(i)) ? DDensKernel(s.at(i), finite, n, bandwidth) : NaN();
}

}  // namespace

/// denskernel(x, h)
/// The Gaussian kernel estimate of the density of each column of x (a row vector is one sample), evaluated at
/// the observations of that column, with bandwidth h; h <= 0 chooses the rule-of-thumb bandwidth 0.9 min(s,
/// iqr/1.34) T^(-1/5) of each sample (s the standard deviation, iqr the distance of the quartiles). Missing
/// and infinite observations are left out of the sample and get a missing value; so does everything when h is
/// missing. An int or double x gives a double.
/// Example:
///     decl x = <-1; 0; 0.5; 1; 3>;
///     print(denskernel(x, 1));
///     print(denskernel(x, 0));
void FnDenskernel(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    const int type = value::TypeCode(&pv[0]);
    const bool scalar = type == ZU_INT || type == ZU_DOUBLE;
    double h = 0;
    if (!library::DoubleArg(pv, 1, &h) || !library::MatrixArg(pv, 0)) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]);
    const bool row = r == 1 && c > 1;
    const int length = row ? c : r;
    Scratch finite, sorted;
    library::Block result(r, c);
    if (!result.ok() || !finite.Allocate(static_cast<std::size_t>(length)) ||
        !sorted.Allocate(static_cast<std::size_t>(length))) {
        library::OutOfMemory();
        return;
    }
    for (int j = 0; j < (row ? 1 : c); ++j)
        EstimateSample(Sample{MatrixData(&pv[0]), row ? -1 : j, length}, h, finite.data(), sorted.data(), result.m());
    if (scalar && r == 1 && c == 1)
        ZuValSetDouble(rtn, result.m()[0][0]);
    else if (library::ResultMatrix(rtn, r, c) && r >= 1 && c >= 1)
        MatCopy(MatrixData(rtn), result.m(), r, c);
}

}  // namespace zu::numerics
