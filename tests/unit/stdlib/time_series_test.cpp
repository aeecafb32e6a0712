// Autocorrelations, aggregation, binning and splines, against values
// computed with R (acf, splinefun, and the penalised least squares
// solution (I + alpha Q R^-1 Q')^-1 y from dense matrices).
#include <cmath>
#include <limits>
#include <vector>

#include "matrix_result.h"
#include "stdlib/routines.h"

using namespace zu::stdlib;
using zu_stdlib_test::ExpectNear;
using zu_stdlib_test::Failure;
using zu_stdlib_test::Result;
using zu_stdlib_test::Shaped;
using zu_stdlib_test::StdlibTest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMiss = Shaped::kMissing;

using TimeSeriesTest = StdlibTest;


TEST_F(TimeSeriesTest, AcfMatchesTheDivisorTEstimatorPastTheSample) {
    ZuVALUE a[] = {Matrix(12, 1, {2.1, 1.4, 3.3, 2.8, 0.9, 1.7, 2.6, 3.9, 1.2, 2.2, 3.0, 1.8}), Int(13)};
    const Shaped r = Result(FnAcf, a);
    EXPECT_EQ(r.r, 14);
    // R: acf(y, lag.max = 11)$acf; lags 12 and 13 have no terms.
    ExpectNear(r, {1, -0.206181823800253, -0.549009610333426, 0.0799805321219987, 0.323784802694602, 0.0484456598992614,
                   -0.372717159543895, 0.179513921077841, 0.0821668057229381, -0.122346342820061, 0.0294026760606904,
                   0.0069605389203053, 0, 0});
    ZuVALUE b[] = {Matrix(3, 2, {1, 5, 1, kNaN, 1, 6}), Int(1)};
    EXPECT_EQ(Result(FnAcf, b), (Shaped{2, 2, {kMiss, kMiss, kMiss, kMiss}}));
    ZuVALUE c[] = {Matrix(3, 1), Int(-1)};
    EXPECT_EQ(Failure(FnAcf, c, 37), "(): lag count -1 out of range in argument 2");
}

TEST_F(TimeSeriesTest, AggregationSumsBlocksAndAShorterLastOne) {
    ZuVALUE a[] = {Matrix(5, 2, {1, 10, 2, 20, 3, 30, 4, 40, 5, 50}), Int(2)};
    EXPECT_EQ(Result(FnAggregatec, a), (Shaped{3, 2, {3, 30, 7, 70, 5, 50}}));
    ZuVALUE b[] = {Matrix(2, 3, {1, 2, 3, 4, 5, 6}), Int(3)};
    EXPECT_EQ(Result(FnAggregater, b), (Shaped{2, 1, {6, 15}}));
    ZuVALUE c[] = {Matrix(2, 3, {1, 2, 3, 4, 5, 6}), Int(5)};
    EXPECT_EQ(Result(FnAggregatec, c), (Shaped{1, 3, {5, 7, 9}}));
    ZuVALUE d[] = {Matrix(2, 2), Int(0)};
    EXPECT_EQ(Failure(FnAggregatec, d, 37), "(): block length 0 below 1 in argument 2");
}

TEST_F(TimeSeriesTest, DiscretizeCountsOrSplitsWeights) {
    // Bins [0, 1), [1, 2), [2, 3]: 3 closes the last bin, -1, 4 and .NaN drop.
    ZuVALUE a[] = {Matrix(1, 8, {0, 0.5, 1, 2.999, 3, -1, 4, kNaN}), Double(0), Double(3), Int(3), Int(0)};
    EXPECT_EQ(Result(FnDiscretize, a), (Shaped{1, 3, {2, 1, 2}}));
    // Grid 0, 1.5, 3: 0.75 splits evenly, 3 lands on the last point.
    ZuVALUE b[] = {Matrix(1, 3, {0.75, 3, 1.2}), Double(0), Double(3), Int(3), Int(1)};
    ExpectNear(Result(FnDiscretize, b), {0.5 + 0.2, 0.5 + 0.8, 1});
    ZuVALUE c[] = {Matrix(1, 1), Double(1), Double(1), Int(3), Int(0)};
    EXPECT_EQ(Failure(FnDiscretize, c, 37), "(): interval [lo, hi] empty or not finite in argument 3");
    ZuVALUE d[] = {Matrix(1, 1), Double(0), Double(1), Int(1), Int(1)};
    EXPECT_EQ(Failure(FnDiscretize, d, 37), "(): too few points: 1 in argument 4");
}

TEST_F(TimeSeriesTest, SplineInterpolatesOrSmoothsAndContinuesLinearly) {
    const std::initializer_list<double> knots = {0, 0.1, 0.3, 0.45, 0.7, 0.8, 1};
    const std::initializer_list<double> y = {1, 2.5, 0.5, 3, 2, 4, 1};
    const std::initializer_list<double> at = {-0.1, 0.05, 0.2, 0.5, 0.75, 0.95, 1.2};
    // R: splinefun(x, y, method = "natural")(at)
    ZuVALUE a[] = {Matrix(7, 1, y), Matrix(7, 1, knots), Double(0), Matrix(7, 1, at)};
    ExpectNear(Result(FnSpline, a), {-1.14764754502249, 1.99286782938343, 1.43205736493253, 3.08237280053407,
                                     3.01458561823471, 2.39895719088265, -4.76888401443263});
    // R: solve(diag(7) + 0.001 * Q %*% solve(R) %*% t(Q), y)
    ZuVALUE b[] = {Matrix(7, 1, y), Matrix(1, 7, knots), Double(0.001)};
    ExpectNear(Result(FnSpline, b), {1.4029043189329, 1.60087505022972, 1.58403250345213, 2.29207025888313,
                                     2.87510943350073, 2.87156955503959, 1.3734388799618});
    // A very large alpha leaves the least squares line of (1, 1), (2, 3), (3, 2).
    ZuVALUE c[] = {Matrix(3, 1, {1, 3, 2}), Matrix(0, 0), Double(1e12), Matrix(1, 1, {4})};
    ExpectNear(Result(FnSpline, c), {3.0}, 1e-6);
    ZuVALUE d[] = {Matrix(1, 2, {5, kNaN}), Matrix(0, 0), Double(0), Matrix(1, 2, {1, 0})};
    EXPECT_EQ(Result(FnSpline, d), (Shaped{2, 2, {5, kMiss, 5, kMiss}}));
}

TEST_F(TimeSeriesTest, SplineRefusesBadKnots) {
    ZuVALUE a[] = {Matrix(3, 1), Matrix(3, 1, {0, 1, 1}), Double(0)};
    EXPECT_EQ(Failure(FnSpline, a, 37), "(): knots not strictly increasing in argument 2");
    ZuVALUE b[] = {Matrix(3, 1), Matrix(2, 1, {0, 1}), Double(0)};
    EXPECT_EQ(Failure(FnSpline, b, 40), "(): found matrix[2][1] but expected a vector of 3 knots in argument 2");
    ZuVALUE c[] = {Matrix(2, 1), Matrix(0, 0), Double(-1)};
    EXPECT_EQ(Failure(FnSpline, c, 37), "(): smoothing parameter not a finite value of 0 or more in argument 3");
}

}  // namespace
