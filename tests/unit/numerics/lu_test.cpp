// LU decomposition, determinant signs and the general inversion.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "numerics/kernels.h"
#include "numerics/matrix_fixture.h"

using zu::test::Matrix;
using zu::test::SettingsGuard;

namespace {

constexpr double kEps = 2.220446049250313e-13;

TEST(LUDecomposition, SecondPivotOfRankOneMatrixIsExactlyZero) {
    Matrix a(2, 2);
    a[0][0] = 1;
    a[0][1] = 2;
    a[1][0] = 2;
    a[1][1] = 4;
    int perm[2] = {-1, -1};
    double logdet = 99;
    int sign = 99;
    EXPECT_GT(ILUPdec(a.m(), 2, perm, &logdet, &sign), 0);
    // The first pivot is the larger |2| of the second row.
    EXPECT_EQ(perm[0], 1);
    EXPECT_EQ(perm[1], 1);
    EXPECT_EQ(a[0][0], 2);
    EXPECT_EQ(a[1][0], 0.5);
    EXPECT_EQ(a[1][1], 0);
    EXPECT_EQ(sign, 0);
}

TEST(LUDecomposition, FirstOfEqualPivotsIsKept) {
    Matrix a(3, 3);
    double v[3][3] = {{1, 5, 1}, {-3, 1, 2}, {3, 2, 7}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) a[i][j] = v[i][j];
    int perm[3];
    ASSERT_EQ(ILUPdec(a.m(), 3, perm, nullptr, nullptr), 0);
    EXPECT_EQ(perm[0], 1);  // |-3| and |3| tie: the earlier row wins
}

TEST(LUDecomposition, FirstOfEqualPivotsIsKeptOnEveryPath) {
    SettingsGuard guard;
    for (int fast = 0; fast < 2; ++fast) {
        SetFastMath(fast);
        const int n = 60;
        Matrix a = zu::test::RandomMatrix(n, n, 21);
        a[5][0] = -5;  // the largest magnitudes of column 0, twice
        a[9][0] = 5;
        std::vector<int> perm(n);
        ASSERT_EQ(ILUPdec(a.m(), n, perm.data(), nullptr, nullptr), 0);
        EXPECT_EQ(perm[0], 5) << "fast " << fast;
    }
}

TEST(LUDecomposition, SingularityTestIsAbsolute) {
    SettingsGuard guard;
    Matrix a(2, 2);
    a[0][0] = 1e-14;
    a[1][1] = 1;
    Matrix copy = a;
    EXPECT_EQ(IInvert(a.m(), 2), 1);
    EXPECT_EQ(a[0][0], 1e-14);  // a failed inversion leaves the input alone
    SetInvertEps(0);
    ASSERT_EQ(IInvert(copy.m(), 2), 0);
    EXPECT_DOUBLE_EQ(copy[0][0], 1e14);
    EXPECT_EQ(copy[1][1], 1);
}

TEST(LUDecomposition, SingularMatrixResetsRemainingPermutation) {
    SettingsGuard guard;
    for (int fast = 0; fast < 2; ++fast) {
        SetFastMath(fast);
        const int n = 60;
        Matrix a = zu::test::WellConditioned(n, 7);
        for (int i = 0; i < n; ++i) a[i][50] = 0;  // pivot 50 is exactly 0
        std::vector<int> perm(n, -1);
        const int code = ILUPdec(a.m(), n, perm.data(), nullptr, nullptr);
        ASSERT_EQ(code, 51) << "fast " << fast;
        for (int j = 51; j < n; ++j) EXPECT_EQ(perm[j], j);
        for (int j = 50; j < n; ++j) EXPECT_EQ(a[j][j], 0);
    }
}

TEST(Determinant, SignFollowsInterchangesAndNegativePivots) {
    SettingsGuard guard;
    for (int fast = 0; fast < 2; ++fast) {
        SetFastMath(fast);
        for (int n : {2, 60}) {
            // The identity with its first two rows swapped.
            Matrix p(n, n);
            MatI(p.m(), n);
            p[0][0] = p[1][1] = 0;
            p[0][1] = p[1][0] = 1;
            double logdet = 99;
            int sign = 0;
            ASSERT_EQ(IInvDet(p.m(), n, &logdet, &sign), 0);
            EXPECT_EQ(sign, -1) << "n " << n << " fast " << fast;
            EXPECT_EQ(logdet, 0);
            // Its inverse is itself.
            EXPECT_EQ(p[0][1], 1);
            EXPECT_EQ(p[0][0], 0);
        }
    }
    Matrix d(3, 3);
    d[0][0] = -2;
    d[1][1] = 3;
    d[2][2] = -0.5;
    double logdet = 0;
    int sign = 0;
    ASSERT_EQ(IInvDet(d.m(), 3, &logdet, &sign), 0);
    EXPECT_EQ(sign, 1);
    EXPECT_NEAR(logdet, std::log(3.0), 1e-15);
}

TEST(Determinant, SmallPivotDoublesTheSign) {
    Matrix lu(2, 2);
    lu[0][0] = -4;
    lu[1][1] = 1e-20;
    const int ident[2] = {0, 1};
    double logdet = 0;
    EXPECT_EQ(ILUPlogdet(lu.m(), 2, ident, 1e-15, &logdet), -2);
    EXPECT_NEAR(logdet, std::log(4e-20), 1e-12);
    EXPECT_EQ(ILUPlogdet(lu.m(), 2, ident, 0, &logdet), -1);
    lu[1][1] = 0;
    EXPECT_EQ(ILUPlogdet(lu.m(), 2, ident, 1e-15, &logdet), 0);
}

TEST(Determinant, StraightFromTheArgumentAsTheFactorsGiveIt) {
    SettingsGuard guard;
    for (int fast = 0; fast < 2; ++fast) {
        SetFastMath(fast);
        for (int n : {47, 48, 120}) {
            Matrix a = zu::test::WellConditioned(n, 300 + n);
            for (int i = 0; i < n; ++i) a[i][0] = -a[i][0];
            // An upper triangle whose last pivot is above the inversion
            // tolerance but within its scaled form: unreliable.
            Matrix near = a;
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < i; ++j) near[i][j] = 0;
            near[n - 1][n - 1] = 5e-12;
            for (const Matrix* m : {&a, &near}) {
                const Matrix before = *m;
                double logdet = 99;
                int sign = 99;
                const bool taken = zu::numerics::LapackLogdet(m->m(), n, &logdet, &sign);
                EXPECT_EQ(taken, fast == 1 && n >= 48) << "n " << n << " fast " << fast;
                EXPECT_EQ(zu::test::RelativeDistance(*m, before), 0);  // left as it was
                if (!taken) continue;
                Matrix lu = *m;
                std::vector<int> perm(n);
                double expectLogdet = 0;
                int expectSign = 0;
                ASSERT_EQ(ILUPdec(lu.m(), n, perm.data(), &expectLogdet, &expectSign), 0);
                EXPECT_EQ(sign, expectSign) << "n " << n << (m == &near ? " near" : "");
                EXPECT_NEAR(logdet, expectLogdet, 1e-12 * std::fabs(expectLogdet) + 1e-12);
                if (m == &near) {
                    EXPECT_EQ(std::abs(sign), 2);
                }
            }
        }
    }
}

TEST(InvertEps, SettingAndNormScaling) {
    SettingsGuard guard;
    EXPECT_EQ(DGetInvertEps(), kEps);
    Matrix a(2, 2);
    a[0][0] = 1;
    a[0][1] = -3;
    a[1][0] = 2;
    a[1][1] = 2;
    EXPECT_EQ(DGetInvertEpsNorm(a.m(), 2), 4 * kEps);
    EXPECT_EQ(DGetInvertEpsNorm(a.m(), 0), 0);
    SetInvertEps(-1);
    EXPECT_EQ(DGetInvertEps(), kEps);
    SetInvertEps(1e-10);
    EXPECT_EQ(DGetInvertEps(), 1e-10);
}

TEST(LUDecomposition, FactorsReproduceInputAndInverseIsInverse) {
    SettingsGuard guard;
    for (int fast = 0; fast < 2; ++fast) {
        SetFastMath(fast);
        for (int n : {1, 2, 5, 47, 48, 100, 200}) {
            const Matrix a = zu::test::WellConditioned(n, 100 + n);
            Matrix lu = a;
            std::vector<int> perm(n);
            ASSERT_EQ(ILUPdec(lu.m(), n, perm.data(), nullptr, nullptr), 0);
            Matrix l(n, n), u(n, n);
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    if (j < i)
                        l[i][j] = lu[i][j];
                    else
                        u[i][j] = lu[i][j];
                }
            for (int i = 0; i < n; ++i) l[i][i] = 1;
            // P A with the interchanges applied in order.
            Matrix pa = a;
            for (int k = 0; k < n; ++k)
                for (int j = 0; j < n; ++j) std::swap(pa[k][j], pa[perm[k]][j]);
            const Matrix prod = zu::test::NaiveProduct(l, false, u, false);
            EXPECT_LT(zu::test::RelativeDistance(prod, pa), 1e-12) << "n " << n << " fast " << fast;

            Matrix inv = a;
            ASSERT_EQ(IInvert(inv.m(), n), 0);
            Matrix id(n, n);
            MatI(id.m(), n);
            EXPECT_LT(zu::test::RelativeDistance(zu::test::NaiveProduct(a, false, inv, false), id), 1e-12);
        }
    }
}

TEST(LUDecomposition, SolveGivesTheSolution) {
    const int n = 4;
    const Matrix a = zu::test::WellConditioned(n, 3);
    double x[n] = {1, -2, 3, 0.5}, b[n];
    for (int i = 0; i < n; ++i) {
        b[i] = 0;
        for (int j = 0; j < n; ++j) b[i] += a[i][j] * x[j];
    }
    Matrix lu = a;
    int perm[n];
    ASSERT_EQ(ILUPdec(lu.m(), n, perm, nullptr, nullptr), 0);
    LUPsolve(lu.m(), n, perm, b);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(b[i], x[i], 1e-14);
}

}  // namespace
