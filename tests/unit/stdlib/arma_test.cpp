// The ARMA library against values computed with R (ARMAacf, ARMAtoMA,
// filter, pacf, and fractional weights from gamma functions): generation
// and residuals undo each other, nonstationary AR parts, lags past the
// sample, forecasts of a dynamic model.
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

constexpr double kMiss = Shaped::kMissing;

using ArmaTest = StdlibTest;


TEST_F(ArmaTest, GenerationAndResidualsUndoEachOther) {
    const std::initializer_list<double> e = {1, -0.5, 0.3, 2, -1, 0.7};
    // R: filter(filter(c(0, e), c(1, 0.4), sides = 1)[-1], c(0.5, -0.3), "recursive")
    ZuVALUE a[] = {Matrix(6, 1), Matrix(6, 1, e), Matrix(1, 2, {0.5, -0.3}), Matrix(1, 1, {0.4}), Int(0)};
    ExpectNear(Result(FnArmagen, a), {1, 0.4, 0, 2, 0.8, 0.1});
    ZuVALUE b[] = {Matrix(6, 1, {1, 0.4, 0, 2, 0.8, 0.1}), Matrix(2, 1, {0.5, -0.3}), Matrix(1, 1, {0.4}), Int(0)};
    ExpectNear(Result(FnArma0, b), e);
    // Rows before start come from x, and arma0 leaves them 0.
    ZuVALUE c[] = {Matrix(3, 1, {7, 9, 9}), Matrix(3, 1, {1, 1, 1}), Matrix(1, 1, {0.5}), Matrix(0, 0), Int(1)};
    EXPECT_EQ(Result(FnArmagen, c), (Shaped{3, 1, {7, 4.5, 3.25}}));
    ZuVALUE d[] = {Matrix(3, 1, {7, 4.5, 3.25}), Matrix(1, 1, {0.5}), Matrix(0, 0), Int(1)};
    EXPECT_EQ(Result(FnArma0, d), (Shaped{3, 1, {0, 1, 1}}));
    ZuVALUE f[] = {Matrix(3, 1), Matrix(2, 1), Matrix(0, 0), Matrix(0, 0), Int(0)};
    EXPECT_EQ(Failure(FnArmagen, f, 40), "(): found matrix[2][1] but expected matrix[3][1] in argument 2");
    ZuVALUE g[] = {Matrix(3, 1), Matrix(2, 2), Matrix(0, 0), Int(0)};
    EXPECT_EQ(Failure(FnArma0, g, 40), "(): found matrix[2][2] but expected a vector of coefficients in argument 2");
    ZuVALUE h[] = {Matrix(3, 1), Matrix(0, 0), Matrix(0, 0), Int(4)};
    EXPECT_EQ(Failure(FnArma0, h, 37), "(): start 4 outside 0 .. 3 in argument 4");
}

TEST_F(ArmaTest, ArmavarGivesMomentsOrMissingWhenNonstationary) {
    // R: ARMAacf(ar = c(0.5, -0.3), ma = 0.4, lag.max = 5)
    ZuVALUE a[] = {Matrix(1, 2, {0.5, -0.3}), Matrix(1, 1, {0.4}), Int(6), Double(2), Int(1)};
    ExpectNear(Result(FnArmavar, a), {1, 0.547169811320755, -0.0264150943396227, -0.177358490566038,
                                      -0.0807547169811321, 0.0128301886792453});
    // R: 2 * (1 + sum(ARMAtoMA(c(0.5, -0.3), 0.4, 5000)^2)), gamma1 = rho1 gamma0.
    ZuVALUE b[] = {Matrix(1, 2, {0.5, -0.3}), Matrix(1, 1, {0.4}), Int(2), Double(2), Int(2)};
    const double g0 = 3.78571428571429, g1 = 0.547169811320755 * g0;
    ExpectNear(Result(FnArmavar, b), {g0, g1, g1, g0}, 1e-12);
    // A pure MA(2): gamma = sigma2 (1 + t1^2 + t2^2, t1 + t1 t2, t2, 0).
    ZuVALUE c[] = {Matrix(0, 0), Matrix(2, 1, {0.5, 0.25}), Int(4), Double(1), Int(0)};
    ExpectNear(Result(FnArmavar, c), {1.3125, 0.625, 0.25, 0});
    // 1 - 1.2 L + 0.2 L^2 has a unit root; 1 - 2 L is explosive.
    ZuVALUE d[] = {Matrix(1, 2, {1.2, -0.2}), Matrix(0, 0), Int(2), Double(1), Int(0)};
    EXPECT_EQ(Result(FnArmavar, d), (Shaped{2, 1, {kMiss, kMiss}}));
    ZuVALUE f[] = {Matrix(1, 1, {2}), Matrix(0, 0), Int(1), Double(1), Int(0)};
    EXPECT_EQ(Result(FnArmavar, f), (Shaped{1, 1, {kMiss}}));
    ZuVALUE g[] = {Matrix(0, 0), Matrix(0, 0), Int(1), Double(1), Int(3)};
    EXPECT_EQ(Failure(FnArmavar, g, 37), "(): form 3 outside 0 .. 2 in argument 5");
}

TEST_F(ArmaTest, ForecastsUseResidualsAndTheMean) {
    // AR(1) about mean 10: forecasts 10 + 0.5^k (12 - 10).
    ZuVALUE a[] = {Matrix(3, 1, {9, 11, 12}), Matrix(1, 1, {0.5}), Matrix(0, 0), Int(3), Double(10)};
    ExpectNear(Result(FnArmaforc, a), {11, 10.5, 10.25});
    // MA(1): the residuals of x = (1, 2) are (1, 1.5); one step ahead
    // is 0.5 * 1.5, later ones 0.
    ZuVALUE b[] = {Matrix(2, 1, {1, 2}), Matrix(0, 0), Matrix(1, 1, {0.5}), Int(2)};
    ExpectNear(Result(FnArmaforc, b), {0.75, 0});
    ZuVALUE c[] = {Matrix(2, 1), Matrix(0, 0), Matrix(0, 0), Int(-1)};
    EXPECT_EQ(Failure(FnArmaforc, c, 37).substr(0, 27), "(): horizon -1 outside 0 ..");
}

TEST_F(ArmaTest, FractionalDifferencesAndPartialAutocorrelations) {
    // R: filter(c(rep(0, 5), x), gamma(k - d) / (gamma(-d) gamma(k + 1)), sides = 1), d = 0.4
    ZuVALUE a[] = {Matrix(6, 1, {1, 2, 4, 7, 11, 16}), Double(0.4)};
    ExpectNear(Result(FnDiffpow, a), {1, 1.6, 3.08, 5.096, 7.5504, 10.390848});
    ZuVALUE b[] = {Matrix(3, 1, {1, 4, 9}), Double(1)};
    ExpectNear(Result(FnDiffpow, b), {1, 3, 5});
    // R: pacf(y, lag.max = 5)$acf
    ZuVALUE c[] = {Matrix(12, 1, {2.1, 1.4, 3.3, 2.8, 0.9, 1.7, 2.6, 3.9, 1.2, 2.2, 3.0, 1.8}), Int(5)};
    ExpectNear(Result(FnPacf, c),
               {-0.206181823800253, -0.617783097759672, -0.38935628689424, -0.240984492853252, -0.00102251047354377});
    // Two observations: r1 = -1/2 and r2 = 0 (past the sample), so the
    // second partial autocorrelation is -r1^2 / (1 - r1^2) = -1/3.
    ZuVALUE d[] = {Matrix(2, 1, {1, 2}), Int(2)};
    ExpectNear(Result(FnPacf, d), {-0.5, -1.0 / 3.0});
    ZuVALUE f[] = {Matrix(3, 1, {2, 2, 2}), Int(1)};
    EXPECT_EQ(Result(FnPacf, f), (Shaped{1, 1, {kMiss}}));
}

TEST_F(ArmaTest, ModelforcRunsTheDynamicModel) {
    // y[t] = y[t-1] A + z[t] B: two series, A = (0.5 0; 0.1 0.2), one
    // regressor with B = (1 2); observed y[0] = (1, 1), forecasts of rows 1, 2.
    ZuVALUE a[] = {Matrix(1, 2, {1, 1}),
                   Matrix(0, 0),
                   Matrix(2, 2, {0.5, 0, 0.1, 0.2}),
                   Matrix(3, 1, {0, 1, -1}),
                   Matrix(1, 2, {1, 2}),
                   Int(1),
                   Int(2)};
    // row 1: (0.5 + 0.1 + 1, 0.2 + 2) = (1.6, 2.2); row 2: (0.8 + 0.22 - 1, 0.44 - 2) = (0.02, -1.56)
    ExpectNear(Result(FnModelforc, a), {1.6, 2.2, 0.02, -1.56});
    ZuVALUE b[] = {
        Matrix(2, 1, {1, 1}), Matrix(1, 1, {0.5}), Matrix(1, 1, {1}), Matrix(0, 0), Matrix(0, 0), Int(0), Int(2)};
    ExpectNear(Result(FnModelforc, b), {0.5, 1, 1.5});
    ZuVALUE c[] = {Matrix(2, 2), Matrix(0, 0), Matrix(3, 2), Matrix(0, 0), Matrix(0, 0), Int(0), Int(1)};
    EXPECT_EQ(Failure(FnModelforc, c, 40),
              "(): found matrix[3][2] but expected a multiple of 2 rows of 2 columns in argument 3");
    ZuVALUE d[] = {Matrix(2, 1), Matrix(0, 0), Matrix(0, 0), Matrix(2, 1), Matrix(1, 1), Int(0), Int(2)};
    EXPECT_EQ(Failure(FnModelforc, d, 37), "(): no row 2 of z in argument 4");
}

}  // namespace
