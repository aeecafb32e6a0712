// Least squares for the regression functions of the library: from the data
// by Householder QR with column pivoting, from cross products by pivoted
// Choleski.  Both decide rank relative to the scale of the data, never by
// an absolute tolerance, so scaling a regressor scales its coefficient and
// nothing else.
#pragma once

namespace zu::numerics {

enum class FitStatus {
    kFitted,
    kRankDeficient,  // also for data that are not all finite
    kNoMemory,       // or too large for LAPACK's 32-bit indexes
};

// T observations of k regressors and n dependent variables as row-pointer
// matrices: x is T by k and y T by n, or with observationsInColumns x is
// k by T and y n by T.
struct RegressionData {
    double** x;
    double** y;
    int T;
    int k;
    int n;
    bool observationsInColumns;
};

// The coefficients b (k by n: column j those of dependent variable j) and
// (X'X)^-1 (k by k) of the regression; either output may be null.  X is
// of full rank when every diagonal element of R, after the columns are
// scaled to norms in [1/2, 1), is above RankTolerance() times the first.
[[nodiscard]] FitStatus FitByQR(const RegressionData& data, double** b, double** ixx);

// The same from the cross products X'X (k by k, lower triangle read) and
// X'y (k by n), for when the data themselves are not at hand.
[[nodiscard]] FitStatus FitFromCrossProducts(double** xtx, double** xty, int k, int n, double** b, double** ixx);

// The relative rank tolerance: the inversion tolerance of the kernels
// (inverteps), applied relative to the largest pivot instead of absolutely.
double RankTolerance();

}  // namespace zu::numerics
