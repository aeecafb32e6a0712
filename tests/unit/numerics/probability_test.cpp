// The fixed values and relations of the probability functions.
#include <gtest/gtest.h>

#include <cmath>

#include "numerics/prob.h"
#include "zu.h"

namespace {

TEST(NormalFamily, FixedValuesAndLimits) {
    EXPECT_EQ(DProbNormal(0), 0.5);
    EXPECT_EQ(DTailProbNormal(0), 0.5);
    EXPECT_EQ(DProbNormal(8.5), 1);
    EXPECT_GT(DTailProbNormal(8.5), 0);
    EXPECT_NEAR(DTailProbNormal(8.5) / 9.47953482220332e-18, 1, 1e-6);
    EXPECT_EQ(DTailProbNormal(40), 0);
    EXPECT_EQ(DProbNormal(-40), 0);
    EXPECT_EQ(DTailProbNormal(-9), 1);
    EXPECT_GT(DProbNormal(-36), 0);
    EXPECT_EQ(DErf(0), 0);
    // The scale 1.4142135623731 is sqrt(2) to 14 digits.
    EXPECT_NEAR(DErf(0.5), std::erf(0.5), 1e-11);
    EXPECT_EQ(DDensNormal(0), 1 / 2.5066282746310007);
    // The two tails of AS 66 are one computation seen from both sides.
    for (double x : {-3.0, -1.0, 0.7, 1.28, 1.29, 5.0}) EXPECT_NEAR(DProbNormal(x) + DTailProbNormal(x), 1, 2e-16) << x;
    EXPECT_TRUE(std::isnan(DProbNormal(NAN)));
}

TEST(NormalFamily, QuantileInvertsAndHandlesEnds) {
    EXPECT_EQ(DQuanNormal(0.5), 0);
    EXPECT_EQ(DQuanNormal(0), -HUGE_VAL);
    EXPECT_EQ(DQuanNormal(1), HUGE_VAL);
    EXPECT_TRUE(std::isnan(DQuanNormal(1.5)));
    EXPECT_TRUE(std::isnan(DQuanNormal(-0.1)));
    for (double p : {1e-12, 0.01, 0.2, 0.6, 0.99}) EXPECT_NEAR(DProbNormal(DQuanNormal(p)) / p, 1, 1e-9) << p;
    EXPECT_EQ(DQuanNormal(0.3), -DQuanNormal(0.7));
}

TEST(StudentT, SeriesValuesAndDegenerateCases) {
    EXPECT_EQ(DTailProbT(1, 1), 0.25);
    EXPECT_EQ(DTailProbT(1.5, 0), 0);
    EXPECT_EQ(DTailProbT(0, 5), 0.5);
    EXPECT_EQ(DProbT(0, 5), 0.5);
    // Two degrees of freedom have a closed form.
    for (double t : {-2.0, 0.5, 3.0}) EXPECT_NEAR(DTailProbT(t, 2), (1 - t / std::sqrt(t * t + 2)) / 2, 1e-15);
    // Both branches meet at t = 4.
    EXPECT_NEAR(DTailProbT(std::nextafter(4.0, 0.0), 9), DTailProbT(4, 9), 1e-14);
    EXPECT_EQ(DProbT(-2, 5), DTailProbT(2, 5));
    EXPECT_EQ(DProbT(2, 5), 1 - DTailProbT(2, 5));
}

TEST(LogGamma, StirlingSeriesAndRecurrence) {
    EXPECT_NEAR(DLogGamma(1), 0, 1e-14);
    EXPECT_NEAR(DLogGamma(2), 0, 1e-14);
    EXPECT_NEAR(DLogGamma(0.5), std::log(std::sqrt(3.141592653589793)), 1e-14);
    EXPECT_NEAR(DLogGamma(10), std::log(362880.0), 1e-13);
    // log |G(x)| below zero, +Inf at the poles.
    EXPECT_EQ(DLogGamma(0), HUGE_VAL);
    EXPECT_EQ(DLogGamma(-3), HUGE_VAL);
    EXPECT_NEAR(DLogGamma(-2.5), -0.056243716497674054, 1e-14);
    EXPECT_NEAR(DLogGamma(-1e6 - 0.5), -12815524.147683938, 1e-7);
    EXPECT_TRUE(std::isnan(DLogGamma(NAN)));
}

TEST(Distributions, EdgesAndDomains) {
    EXPECT_EQ(DProbExp(-1, 2), 0);
    EXPECT_TRUE(std::isnan(DProbExp(1, 0)));
    EXPECT_EQ(DProbChi(0, 3), 0);
    EXPECT_EQ(DTailProbChi(-1, 3), 1);
    EXPECT_TRUE(std::isnan(DProbChi(1, 0)));
    EXPECT_TRUE(std::isnan(DProbF(1, -1, 2)));
    EXPECT_TRUE(std::isnan(DQuanBeta(2, 1, 1)));
    EXPECT_TRUE(std::isnan(DProbBinomial(1, 10, 1.5)));
    EXPECT_EQ(DProbBinomial(-1, 10, 0.5), 0);
    EXPECT_EQ(DProbBinomial(10, 10, 0.5), 1);
    EXPECT_EQ(DDensBinomial(2.5, 10, 0.5), 0);
    EXPECT_EQ(DProbBinomial(2.5, 10, 0.5), DProbBinomial(2, 10, 0.5));
    EXPECT_EQ(DQuanBinomial(0.3, 10, 0), 0);
    EXPECT_EQ(DQuanPoisson(0.5, 0), 0);
    EXPECT_TRUE(std::isnan(DProbHypergeometric(1, 10, 11, 3)));
    EXPECT_EQ(DProbHypergeometric(3, 10, 5, 3), 1);
    EXPECT_EQ(DProbMises(-10, 0, 2), 0);
    EXPECT_EQ(DProbMises(10, 0, 2), 1);
    EXPECT_NEAR(DProbMises(0, 0, 2), 0.5, 1e-15);
    EXPECT_TRUE(std::isnan(DDensGH(0, 1, 2, 1, 1)));  // |beta| >= alpha
    EXPECT_TRUE(std::isnan(DDensGIG(1, -1, 0, 2)));   // chi 0 needs lambda > 0
    EXPECT_NEAR(DFactorial(100) / 9.332621544394415268e157, 1, 1e-15);
    EXPECT_EQ(DFactorial(171), HUGE_VAL);
    EXPECT_TRUE(std::isnan(DFactorial(-1)));
    EXPECT_EQ(DBinomial(4, 7), 0);
}

TEST(Distributions, QuantilesInvertTheirDistributionFunctions) {
    for (double p : {0.001, 0.2, 0.5, 0.9, 0.9999}) {
        EXPECT_NEAR(DProbInvGaussian(DQuanInvGaussian(p, 1.5, 2), 1.5, 2), p, 1e-13);
        EXPECT_NEAR(DProbMises(DQuanMises(p, 0.4, 3), 0.4, 3), p, 1e-13);
        EXPECT_NEAR(DProbMises(DQuanMises(p, 0, 0), 0, 0), p, 1e-15);
        const double q = DQuanLogarithmic(p, 0.8);
        EXPECT_GE(DProbLogarithmic(q, 0.8), p * (1 - 1e-14));
        if (q > 1) {
            EXPECT_LT(DProbLogarithmic(q - 1, 0.8), p);
        }
        const double g = DQuanGeometric(p, 0.1);
        EXPECT_GE(DProbGeometric(g, 0.1), p * (1 - 1e-14));
        if (g > 0) {
            EXPECT_LT(DProbGeometric(g - 1, 0.1), p);
        }
    }
}

TEST(BivariateNormal, ClosedFormsAndLimits) {
    const double pi = 3.141592653589793;
    for (double r : {-0.99, -0.6, 0.0, 0.1, 0.5, 0.8, 0.95, 0.9999})
        EXPECT_NEAR(DProbBVN(0, 0, r), 0.25 + std::asin(r) / (2 * pi), 1e-15) << r;
    for (double r : {-0.4, 0.0, 0.9}) EXPECT_NEAR(DProbBVN(1.3, 40, r), 0.5 * std::erfc(-1.3 / std::sqrt(2.0)), 1e-15);
    EXPECT_NEAR(DProbBVN(0.7, -0.2, 0), 0.5 * std::erfc(-0.7 / std::sqrt(2.0)) * 0.5 * std::erfc(0.2 / std::sqrt(2.0)),
                1e-15);
    EXPECT_NEAR(DProbBVN(0.5, 1.0, 1), 0.5 * std::erfc(-0.5 / std::sqrt(2.0)), 1e-15);
    EXPECT_NEAR(DProbBVN(0.5, 1.0, -1), 0.5 * std::erfc(-0.5 / std::sqrt(2.0)) - 0.5 * std::erfc(1.0 / std::sqrt(2.0)),
                1e-15);
    EXPECT_TRUE(std::isnan(DProbBVN(0, 0, 1.5)));
}

}  // namespace

namespace {

TEST(MultivariateNormal, LowDimensionsAreExactAndHigherOnesAccurate) {
    double sigma2[2][2] = {{4, 1.2}, {1.2, 1}};
    double* rows2[2] = {sigma2[0], sigma2[1]};
    const double x2[2] = {1, -0.5};
    EXPECT_EQ(DProbMVN(x2, rows2, 2), DProbBVN(0.5, -0.5, 0.6));
    double* rows1[1] = {sigma2[0]};
    EXPECT_NEAR(DProbMVN(x2, rows1, 1), 0.5 * std::erfc(-0.5 / std::sqrt(2.0)), 1e-16);

    // Orthant of three equicorrelated normals: 1/8 + 3 asin(rho) / (4 pi).
    const double pi = 3.141592653589793;
    for (double rho : {-0.3, 0.0, 0.5, 0.9}) {
        double s[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) s[i][j] = i == j ? 1 : rho;
        double* rows[3] = {s[0], s[1], s[2]};
        const double zero[3] = {0, 0, 0};
        EXPECT_NEAR(DProbMVN(zero, rows, 3), 0.125 + 3 * std::asin(rho) / (4 * pi), 1e-6) << rho;
    }
    // Independent coordinates give the product of the margins.
    double s5[5][5] = {};
    double* rows5[5];
    const double x5[5] = {-1, 0.3, 1.5, 0, 2};
    double product = 1;
    for (int i = 0; i < 5; ++i) {
        s5[i][i] = 1 + i;
        rows5[i] = s5[i];
        product *= 0.5 * std::erfc(-x5[i] / std::sqrt(2.0 * (1 + i)));
    }
    EXPECT_NEAR(DProbMVN(x5, rows5, 5), product, 1e-6);
    // Not positive definite, or a missing limit: NaN.
    s5[1][1] = -1;
    EXPECT_TRUE(std::isnan(DProbMVN(x5, rows5, 5)));
    const double nanx[2] = {0, NAN};
    EXPECT_TRUE(std::isnan(DProbMVN(nanx, rows2, 2)));
}

}  // namespace

namespace {

TEST(Logarithmic, FarTailJoinsTheDirectSum) {
    // Near a = 1 the distribution reaches far; the integral form used
    // beyond a million terms must meet the sum of the probabilities.
    const double a = 0.9999999;
    const double below = DProbLogarithmic(1e6, a);
    const double above = DProbLogarithmic(1e6 + 1, a);
    EXPECT_NEAR(above - below, DDensLogarithmic(1e6 + 1, a), 1e-13);
    EXPECT_GT(DProbLogarithmic(1e8, a), 0.9);
    EXPECT_LT(DProbLogarithmic(1e8, a), 1);
    const double q = DQuanLogarithmic(0.95, a);
    EXPECT_GT(q, 1e6);
    EXPECT_GE(DProbLogarithmic(q, a), 0.95 * (1 - 1e-14));
    EXPECT_LT(DProbLogarithmic(q - 1, a), 0.95);
}

// The normal distribution function that the other families build on keeps
// full relative accuracy far out, where the rounding of x/sqrt(2) alone
// would cost 1e-13 (40-digit values).
TEST(PhiAccurate, FullRelativeAccuracyFarInTheLowerTail) {
    const struct {
        double x, phi;
    } points[] = {
        {-37, 5.7255712225245768227e-300},
        {-30, 4.9067139271481870595e-198},
        {-20, 2.7536241186062336951e-89},
        {-8.5, 9.4795348222033183542e-18},
    };
    for (const auto& p : points) EXPECT_NEAR(zu::numerics::PhiAccurate(p.x) / p.phi, 1, 3e-15) << p.x;
}

}  // namespace
