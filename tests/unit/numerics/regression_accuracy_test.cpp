// The least-squares fits against exact solutions of hard problems
// (regression/make_problems.py writes regression/problems.txt): the
// correct digits of every coefficient, standard error, residual standard
// deviation and R squared, printed as a table, with a floor per problem.
// Then the properties of the fit that the digits do not show: the
// orientation of the data, the units of a regressor, and rank.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "numerics/least_squares.h"
#include "numerics/matrix_fixture.h"

using zu::numerics::FitByQR;
using zu::numerics::FitFromCrossProducts;
using zu::numerics::FitStatus;
using zu::numerics::RegressionData;
using zu::test::Matrix;

namespace {

struct Problem {
    std::string name;
    int T = 0;
    int k = 0;
    bool intercept = false;
    double minDigits = 0;
    std::vector<double> yData;  // T
    std::vector<double> xData;  // T by k, row after row
    std::vector<long double> b, se;
    long double s = 0, r2 = 0;
};

std::string DataPath() {
    const std::string here = __FILE__;
    return here.substr(0, here.find_last_of('/')) + "/regression/problems.txt";
}

std::vector<long double> Values(std::istream& in, const char* tag, int count) {
    std::string line, word;
    std::getline(in, line);
    std::istringstream fields(line);
    fields >> word;
    EXPECT_EQ(word, tag);
    std::vector<long double> v;
    while (fields >> word) v.push_back(std::strtold(word.c_str(), nullptr));
    EXPECT_EQ(static_cast<int>(v.size()), count) << tag;
    return v;
}

std::vector<Problem> ReadProblems() {
    std::ifstream in(DataPath());
    EXPECT_TRUE(in) << DataPath();
    std::vector<Problem> problems;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream head(line);
        std::string word;
        Problem p;
        int intercept = 0;
        head >> word >> p.name >> p.T >> p.k >> intercept >> p.minDigits;
        if (word != "problem") continue;
        p.intercept = intercept != 0;
        for (int t = 0; t < p.T; ++t) {
            std::getline(in, line);
            std::istringstream row(line);
            row >> word;
            p.yData.push_back(std::strtod(word.c_str(), nullptr));  // hexadecimal: exact
            for (int j = 0; j < p.k; ++j) {
                row >> word;
                p.xData.push_back(std::strtod(word.c_str(), nullptr));
            }
        }
        p.b = Values(in, "b", p.k);
        p.se = Values(in, "se", p.k);
        p.s = Values(in, "s", 1).at(0);
        p.r2 = Values(in, "r2", 1).at(0);
        problems.push_back(std::move(p));
    }
    return problems;
}

Matrix Y(const Problem& p) {
    Matrix y(p.T, 1);
    for (int t = 0; t < p.T; ++t) y[t][0] = p.yData[t];
    return y;
}

Matrix X(const Problem& p) {
    Matrix x(p.T, p.k);
    for (int t = 0; t < p.T; ++t)
        for (int j = 0; j < p.k; ++j) x[t][j] = p.xData[t * p.k + j];
    return x;
}

// Correct decimal digits of `got` against the exact value, at most 17.
double Digits(long double got, long double exact) {
    const long double error = std::fabs(got - exact) / std::fabs(exact);
    return error == 0 ? 17.0 : std::min(17.0, static_cast<double>(-std::log10(error)));
}

// The summary statistics of a fit: residuals from the coefficients (in
// extended precision, so that they measure the coefficients and not the
// subtraction), then s, the standard errors and R squared.
struct Statistics {
    std::vector<long double> se;
    long double s = 0, r2 = 0;
};

Statistics Summarise(const Problem& p, const Matrix& b, const Matrix& ixx) {
    long double rss = 0, mean = 0, tss = 0;
    for (int t = 0; t < p.T; ++t) mean += p.yData[t];
    mean /= p.T;
    for (int t = 0; t < p.T; ++t) {
        long double e = p.yData[t];
        for (int j = 0; j < p.k; ++j) e -= static_cast<long double>(p.xData[t * p.k + j]) * b[j][0];
        rss += e * e;
        const long double d = p.intercept ? p.yData[t] - mean : p.yData[t];
        tss += d * d;
    }
    Statistics st;
    st.s = std::sqrt(rss / (p.T - p.k));
    st.r2 = 1 - rss / tss;
    for (int j = 0; j < p.k; ++j) st.se.push_back(st.s * std::sqrt(static_cast<long double>(ixx[j][j])));
    return st;
}

struct Row {
    double b = 17, se = 17, s = 17, r2 = 17;
    double Least() const { return std::min({b, se, s, r2}); }
};

Row Measure(const Problem& p, const Matrix& b, const Matrix& ixx) {
    const Statistics st = Summarise(p, b, ixx);
    Row row;
    for (int j = 0; j < p.k; ++j) {
        row.b = std::min(row.b, Digits(b[j][0], p.b[j]));
        row.se = std::min(row.se, Digits(st.se[j], p.se[j]));
    }
    row.s = Digits(st.s, p.s);
    row.r2 = Digits(st.r2, p.r2);
    return row;
}

TEST(RegressionAccuracy, EveryProblemReachesItsDigits) {
    const std::vector<Problem> problems = ReadProblems();
    ASSERT_GE(problems.size(), 7u);
    std::printf("%-22s %6s %6s %6s %6s   fewest correct digits of\n", "problem", "b", "se", "s", "R2");
    for (const Problem& p : problems) {
        Matrix b(p.k, 1), ixx(p.k, p.k);
        const Matrix x = X(p), y = Y(p);
        const RegressionData data{x.m(), y.m(), p.T, p.k, 1, false};
        ASSERT_EQ(FitByQR(data, b.m(), ixx.m()), FitStatus::kFitted) << p.name;
        const Row row = Measure(p, b, ixx);
        std::printf("%-22s %6.1f %6.1f %6.1f %6.1f\n", p.name.c_str(), row.b, row.se, row.s, row.r2);
        EXPECT_GE(row.Least(), p.minDigits) << p.name;
    }
}

// From the cross products the condition is squared: each problem is fitted
// or refused, and those of moderate condition keep at least 5 digits.
TEST(RegressionAccuracy, CrossProductsKeepDigitsOnTheEasierProblems) {
    std::printf("%-22s %6s %6s   from the cross products\n", "problem", "b", "se");
    for (const Problem& p : ReadProblems()) {
        Matrix xtx(p.k, p.k), xty(p.k, 1), b(p.k, 1), ixx(p.k, p.k);
        const Matrix x = X(p), y = Y(p);
        MatAtB(xtx.m(), x.m(), p.T, p.k, x.m(), p.k);
        MatAtB(xty.m(), x.m(), p.T, p.k, y.m(), 1);
        const FitStatus status = FitFromCrossProducts(xtx.m(), xty.m(), p.k, 1, b.m(), ixx.m());
        if (status != FitStatus::kFitted) {
            std::printf("%-22s refused\n", p.name.c_str());
            EXPECT_EQ(status, FitStatus::kRankDeficient);
            continue;
        }
        const Row row = Measure(p, b, ixx);
        std::printf("%-22s %6.1f %6.1f\n", p.name.c_str(), row.b, row.se);
        if (p.name == "no_intercept" || p.name == "tiny_and_huge_scales" || p.name == "near_exact") {
            EXPECT_GE(std::min(row.b, row.se), 5) << p.name;
        }
    }
}

// Observations in columns give bit for bit the fit of observations in rows.
TEST(RegressionAccuracy, ObservationsInColumnsGiveTheSameFit) {
    for (const Problem& p : ReadProblems()) {
        Matrix b(p.k, 1), ixx(p.k, p.k), bt(p.k, 1), ixxt(p.k, p.k);
        Matrix xt(p.k, p.T), yt(1, p.T);
        for (int t = 0; t < p.T; ++t) {
            yt[0][t] = p.yData[t];
            for (int j = 0; j < p.k; ++j) xt[j][t] = p.xData[t * p.k + j];
        }
        const Matrix x = X(p), y = Y(p);
        ASSERT_EQ(FitByQR({x.m(), y.m(), p.T, p.k, 1, false}, b.m(), ixx.m()), FitStatus::kFitted);
        ASSERT_EQ(FitByQR({xt.m(), yt.m(), p.T, p.k, 1, true}, bt.m(), ixxt.m()), FitStatus::kFitted);
        for (int j = 0; j < p.k; ++j) {
            EXPECT_EQ(b[j][0], bt[j][0]) << p.name;
            for (int i = 0; i < p.k; ++i) EXPECT_EQ(ixx[i][j], ixxt[i][j]) << p.name;
        }
    }
}

// A regressor in other units: a power of two changes its coefficient and
// standard error by exactly that factor and nothing else; 1e-7 changes them
// by the factor up to rounding.  Before the scaling was relative, 1e-7 was
// refused as singular.
TEST(RegressionAccuracy, UnitsOfARegressorScaleOnlyItsCoefficient) {
    const Problem p = ReadProblems().at(4);  // collinear_scales
    const Matrix y = Y(p);
    Matrix b(p.k, 1), ixx(p.k, p.k);
    {
        const Matrix x = X(p);
        ASSERT_EQ(FitByQR({x.m(), y.m(), p.T, p.k, 1, false}, b.m(), ixx.m()), FitStatus::kFitted);
    }
    for (const double factor : {0x1p-40, 0x1p+33, 1e-7, 1e9}) {
        Matrix x = X(p), bs(p.k, 1), ixxs(p.k, p.k);
        for (int t = 0; t < p.T; ++t) x[t][2] *= factor;
        ASSERT_EQ(FitByQR({x.m(), y.m(), p.T, p.k, 1, false}, bs.m(), ixxs.m()), FitStatus::kFitted) << factor;
        const bool exact = std::ilogb(factor) == std::log2(factor);
        for (int j = 0; j < p.k; ++j) {
            const double expected = j == 2 ? b[j][0] / factor : b[j][0];
            const double variance = j == 2 ? ixx[j][j] / factor / factor : ixx[j][j];
            if (exact) {
                EXPECT_EQ(bs[j][0], expected) << factor << " " << j;
                EXPECT_EQ(ixxs[j][j], variance) << factor << " " << j;
            } else {
                EXPECT_NEAR(bs[j][0] / expected, 1, 1e-8) << factor << " " << j;
                EXPECT_NEAR(ixxs[j][j] / variance, 1, 1e-8) << factor << " " << j;
            }
        }
    }
}

// (X'X)^-1 is exactly symmetric, and the same whether or not the
// coefficients are asked for; from the cross products a regressor's units
// scale only its own coefficient too.
TEST(RegressionAccuracy, InverseIsSymmetricAndIndependentOfTheCoefficients) {
    const Problem p = ReadProblems().at(4);  // collinear_scales
    const Matrix x = X(p), y = Y(p);
    Matrix b(p.k, 1), ixx(p.k, p.k), alone(p.k, p.k);
    ASSERT_EQ(FitByQR({x.m(), y.m(), p.T, p.k, 1, false}, b.m(), ixx.m()), FitStatus::kFitted);
    ASSERT_EQ(FitByQR({x.m(), y.m(), p.T, p.k, 1, false}, nullptr, alone.m()), FitStatus::kFitted);
    for (int i = 0; i < p.k; ++i)
        for (int j = 0; j < p.k; ++j) {
            EXPECT_EQ(ixx[i][j], ixx[j][i]);
            EXPECT_EQ(ixx[i][j], alone[i][j]);
        }

    Matrix xtx(p.k, p.k), xty(p.k, 1), bc(p.k, 1), bs(p.k, 1);
    MatAtB(xtx.m(), x.m(), p.T, p.k, x.m(), p.k);
    MatAtB(xty.m(), x.m(), p.T, p.k, y.m(), 1);
    ASSERT_EQ(FitFromCrossProducts(xtx.m(), xty.m(), p.k, 1, bc.m(), nullptr), FitStatus::kFitted);
    constexpr double kFactor = 0x1p-30;  // regressor 1 in other units
    for (int i = 0; i < p.k; ++i) {
        xtx[i][1] *= kFactor;
        xtx[1][i] *= kFactor;
    }
    xty[1][0] *= kFactor;
    ASSERT_EQ(FitFromCrossProducts(xtx.m(), xty.m(), p.k, 1, bs.m(), nullptr), FitStatus::kFitted);
    for (int j = 0; j < p.k; ++j) EXPECT_EQ(bs[j][0], j == 1 ? bc[j][0] / kFactor : bc[j][0]) << j;
}

TEST(RegressionRank, DeficientRegressorsAreRefused) {
    Matrix x(5, 3), y(5, 1), b(3, 1), ixx(3, 3);
    for (int t = 0; t < 5; ++t) {
        x[t][0] = 1;
        x[t][1] = t;
        x[t][2] = 3 - 2 * t;  // a combination of the other two
        y[t][0] = t * t;
    }
    EXPECT_EQ(FitByQR({x.m(), y.m(), 5, 3, 1, false}, b.m(), ixx.m()), FitStatus::kRankDeficient);
    Matrix xtx(3, 3), xty(3, 1);
    MatAtB(xtx.m(), x.m(), 5, 3, x.m(), 3);
    MatAtB(xty.m(), x.m(), 5, 3, y.m(), 1);
    EXPECT_EQ(FitFromCrossProducts(xtx.m(), xty.m(), 3, 1, b.m(), ixx.m()), FitStatus::kRankDeficient);

    // A zero column, a missing value, and more regressors than observations.
    for (int t = 0; t < 5; ++t) x[t][2] = 0;
    EXPECT_EQ(FitByQR({x.m(), y.m(), 5, 3, 1, false}, b.m(), ixx.m()), FitStatus::kRankDeficient);
    x[2][2] = NAN;
    EXPECT_EQ(FitByQR({x.m(), y.m(), 5, 3, 1, false}, b.m(), ixx.m()), FitStatus::kRankDeficient);
    EXPECT_EQ(FitByQR({x.m(), y.m(), 2, 3, 1, false}, b.m(), ixx.m()), FitStatus::kRankDeficient);
}

// The rank decision is relative: a column that is a combination of the
// others up to one part in 1e9 is fitted; up to one in 1e15 it is refused.
TEST(RegressionRank, NearDependenceIsJudgedRelativeToTheColumns) {
    for (const double wobble : {1e-9, 1e-15}) {
        Matrix x(6, 3), y(6, 1), b(3, 1), ixx(3, 3);
        for (int t = 0; t < 6; ++t) {
            x[t][0] = 1e-6;
            x[t][1] = t * 1e-6;
            x[t][2] = (2 + 3 * t + (t % 2 ? wobble : -wobble)) * 1e-6;
            y[t][0] = t % 3;
        }
        const FitStatus status = FitByQR({x.m(), y.m(), 6, 3, 1, false}, b.m(), ixx.m());
        EXPECT_EQ(status, wobble > 1e-12 ? FitStatus::kFitted : FitStatus::kRankDeficient) << wobble;
    }
}

}  // namespace
