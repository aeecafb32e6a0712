// Real and generalised Schur forms and the symmetric-definite generalised
// eigenvalue problem.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <vector>

#include "numerics/matrix_fixture.h"
#include "numerics/schur.h"

using zu::numerics::EigenSymGeneral;
using zu::numerics::ModulusRange;
using zu::numerics::SchurGeneral;
using zu::numerics::SchurReal;
using zu::test::Matrix;
using zu::test::NaiveProduct;
using zu::test::RelativeDistance;

namespace {

using Complex = std::complex<double>;

const int kOrders[] = {1, 2, 3, 5, 47, 64, 65, 100, 200};

Matrix Identity(int n) {
    Matrix e(n, n);
    for (int i = 0; i < n; ++i) e[i][i] = 1;
    return e;
}

// U S W' with the naive product.
Matrix Sandwich(const Matrix& u, const Matrix& s, const Matrix& w) {
    return NaiveProduct(NaiveProduct(u, false, s, false), false, w, true);
}

// Max |u'u - I|.
double OrthogonalityError(const Matrix& u) {
    return RelativeDistance(NaiveProduct(u, true, u, false), Identity(u.rows()));
}

// Nothing below the first subdiagonal, no two adjacent 2 by 2 blocks, and
// every 2 by 2 block a standardised complex pair; for a pencil (s, t) the
// blocks of t that belong to those of s are diagonal and positive instead.
::testing::AssertionResult QuasiUpperTriangular(const Matrix& s, const Matrix* t = nullptr) {
    const int n = s.rows();
    for (int i = 0; i < n; ++i)
        for (int j = 0; j + 1 < i; ++j)
            if (s[i][j] != 0) return ::testing::AssertionFailure() << "element " << i << "," << j;
    for (int i = 0; i + 1 < n; ++i) {
        if (s[i + 1][i] == 0) continue;
        if (i + 2 < n && s[i + 2][i + 1] != 0) return ::testing::AssertionFailure() << "adjacent blocks at " << i;
        const bool standard = t == nullptr ? s[i][i] == s[i + 1][i + 1] && s[i][i + 1] * s[i + 1][i] < 0
                                           : (*t)[i][i + 1] == 0 && (*t)[i][i] > 0 && (*t)[i + 1][i + 1] > 0;
        if (!standard) return ::testing::AssertionFailure() << "block at " << i << " is no standard pair";
        ++i;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult UpperTriangular(const Matrix& t) {
    for (int i = 0; i < t.rows(); ++i)
        for (int j = 0; j < i; ++j)
            if (t[i][j] != 0) return ::testing::AssertionFailure() << "element " << i << "," << j;
    return ::testing::AssertionSuccess();
}

// The largest distance between two lists of complex numbers, matched
// greedily (each of b used once).
double MatchedDistance(std::vector<Complex> a, std::vector<Complex> b) {
    double worst = 0;
    for (const Complex& x : a) {
        auto best = std::min_element(
            b.begin(), b.end(), [&x](const Complex& p, const Complex& q) { return std::abs(p - x) < std::abs(q - x); });
        worst = std::max(worst, std::abs(*best - x));
        b.erase(best);
    }
    return worst;
}

std::vector<Complex> Pairs(const std::vector<double>& re, const std::vector<double>& im) {
    std::vector<Complex> out;
    for (std::size_t k = 0; k < re.size(); ++k) out.emplace_back(re[k], im[k]);
    return out;
}

// Eigenvalues by the general eigenvalue routine, for comparison.
std::vector<Complex> EigenvaluesOf(const Matrix& a) {
    const int n = a.rows();
    Matrix work = a;
    std::vector<double> re(n), im(n);
    EXPECT_EQ(IEigen_lapack(work.m(), n, re.data(), im.data(), nullptr), 0);
    return Pairs(re, im);
}

TEST(SchurReal, FormReproducesInputWithOrthogonalVectors) {
    for (int n : kOrders)
        for (bool dominant : {true, false}) {
            const Matrix a = dominant ? zu::test::WellConditioned(n, n) : zu::test::RandomMatrix(n, n, 7 * n);
            Matrix s = a, v(n, n);
            std::vector<double> re(n), im(n);
            ASSERT_EQ(SchurReal(s.m(), n, re.data(), im.data(), v.m(), nullptr), 0) << n;
            EXPECT_TRUE(QuasiUpperTriangular(s)) << n;
            EXPECT_LT(RelativeDistance(Sandwich(v, s, v), a), 1e-12) << n;
            EXPECT_LT(OrthogonalityError(v), 1e-12) << n;
            EXPECT_LT(MatchedDistance(Pairs(re, im), EigenvaluesOf(a)), 1e-9 * n) << n;
        }
}

TEST(SchurReal, EigenvaluesFollowTheDiagonalBlocks) {
    const int n = 40;
    Matrix s = zu::test::RandomMatrix(n, n, 3), v(n, n);
    std::vector<double> re(n), im(n);
    ASSERT_EQ(SchurReal(s.m(), n, re.data(), im.data(), v.m(), nullptr), 0);
    int pairs = 0;
    for (int i = 0; i < n; ++i) {
        EXPECT_DOUBLE_EQ(re[i], s[i][i]) << i;
        if (i + 1 < n && s[i + 1][i] != 0) {
            const double imag = std::sqrt(-s[i][i + 1] * s[i + 1][i]);
            EXPECT_NEAR(im[i], imag, 1e-12 * imag) << i;
            EXPECT_EQ(im[i + 1], -im[i]) << i;
            EXPECT_DOUBLE_EQ(re[i + 1], s[i + 1][i + 1]);
            ++pairs;
            ++i;
        } else {
            EXPECT_EQ(im[i], 0) << i;
        }
    }
    EXPECT_GT(pairs, 0);  // a random matrix of this order has complex pairs
}

TEST(SchurReal, SelectedModuliComeFirst) {
    for (int n : {4, 30, 120}) {
        // Eigenvalues spread on both sides of the unit circle.
        Matrix a = zu::test::RandomMatrix(n, n, 100 + n);
        const double scale = 1.6 / std::sqrt(n / 3.0);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) a[i][j] *= scale;
        const std::vector<Complex> all = EigenvaluesOf(a);
        const auto inside = std::count_if(all.begin(), all.end(), [](const Complex& z) { return std::abs(z) < 1; });
        ASSERT_GT(inside, 0) << n;
        ASSERT_LT(inside, n) << n;
        Matrix s = a, v(n, n);
        std::vector<double> re(n), im(n);
        const ModulusRange stable{0, 1};
        ASSERT_EQ(SchurReal(s.m(), n, re.data(), im.data(), v.m(), &stable), 0) << n;
        for (int i = 0; i < n; ++i) EXPECT_EQ(std::hypot(re[i], im[i]) < 1, i < inside) << n << " at " << i;
        EXPECT_TRUE(QuasiUpperTriangular(s)) << n;
        EXPECT_LT(RelativeDistance(Sandwich(v, s, v), a), 1e-12) << n;
        EXPECT_LT(OrthogonalityError(v), 1e-12) << n;
    }
}

TEST(SchurReal, NonFiniteInputFailsAndLeavesItAlone) {
    Matrix a = zu::test::RandomMatrix(3, 3, 1);
    a[1][2] = std::numeric_limits<double>::quiet_NaN();
    Matrix s = a, v(3, 3);
    double re[3], im[3];
    EXPECT_EQ(SchurReal(s.m(), 3, re, im, v.m(), nullptr), zu::numerics::kSchurFailed);
    EXPECT_EQ(s[0][0], a[0][0]);
    EXPECT_TRUE(std::isnan(s[1][2]));
    a[1][2] = std::numeric_limits<double>::infinity();
    EXPECT_EQ(SchurReal(a.m(), 3, re, im, nullptr, nullptr), zu::numerics::kSchurFailed);
}

TEST(SchurGeneral, FormsReproduceBothMatrices) {
    for (int n : kOrders) {
        const Matrix a = zu::test::RandomMatrix(n, n, 11 * n), b = zu::test::WellConditioned(n, 13 * n);
        Matrix s = a, t = b, q(n, n), z(n, n);
        std::vector<double> ar(n), ai(n), beta(n);
        ASSERT_EQ(SchurGeneral(s.m(), t.m(), n, ar.data(), ai.data(), beta.data(), q.m(), z.m(), nullptr), 0) << n;
        EXPECT_TRUE(QuasiUpperTriangular(s, &t)) << n;
        EXPECT_TRUE(UpperTriangular(t)) << n;
        EXPECT_LT(RelativeDistance(Sandwich(q, s, z), a), 1e-12) << n;
        EXPECT_LT(RelativeDistance(Sandwich(q, t, z), b), 1e-12) << n;
        EXPECT_LT(OrthogonalityError(q), 1e-12) << n;
        EXPECT_LT(OrthogonalityError(z), 1e-12) << n;
        // With b invertible the pencil's eigenvalues are those of inv(b) a.
        Matrix binv = b;
        ASSERT_EQ(IInvert(binv.m(), n), 0);
        std::vector<Complex> lambda;
        for (int k = 0; k < n; ++k) {
            EXPECT_GE(beta[k], 0);
            lambda.emplace_back(ar[k] / beta[k], ai[k] / beta[k]);
        }
        EXPECT_LT(MatchedDistance(lambda, EigenvaluesOf(NaiveProduct(binv, false, a, false))), 1e-9 * n) << n;
    }
}

TEST(SchurGeneral, InfiniteEigenvaluesStayBehindTheSelection) {
    // A x = lambda B x with B singular: lambda 2, 0.5 and one infinite.
    const int n = 3;
    Matrix a(n, n), b(n, n);
    a[0][0] = 2;
    a[1][1] = 1;
    a[2][2] = 0.5;
    a[0][1] = 0.3;
    b[0][0] = 1;
    b[2][2] = 1;
    b[0][2] = 0.2;
    Matrix s = a, t = b, q(n, n), z(n, n);
    double ar[3], ai[3], beta[3];
    const ModulusRange finite{0, std::numeric_limits<double>::infinity()};
    ASSERT_EQ(SchurGeneral(s.m(), t.m(), n, ar, ai, beta, q.m(), z.m(), &finite), 0);
    EXPECT_EQ(beta[2], 0);
    EXPECT_NE(ar[2], 0);
    std::vector<double> lambda{ar[0] / beta[0], ar[1] / beta[1]};
    std::sort(lambda.begin(), lambda.end());
    EXPECT_NEAR(lambda[0], 0.5, 1e-14);
    EXPECT_NEAR(lambda[1], 2, 1e-14);
    EXPECT_LT(RelativeDistance(Sandwich(q, s, z), a), 1e-14);
    EXPECT_LT(RelativeDistance(Sandwich(q, t, z), b), 1e-14);

    // Only |lambda| < 1 selected: 0.5 moves to the top.
    Matrix s2 = a, t2 = b;
    const ModulusRange stable{0, 1};
    ASSERT_EQ(SchurGeneral(s2.m(), t2.m(), n, ar, ai, beta, q.m(), z.m(), &stable), 0);
    EXPECT_NEAR(ar[0] / beta[0], 0.5, 1e-14);
    EXPECT_GT(std::fabs(ar[1]), std::fabs(beta[1]));
    EXPECT_GT(std::fabs(ar[2]), std::fabs(beta[2]));
}

TEST(SchurGeneral, NonFiniteInputFails) {
    Matrix a = Identity(2), b = Identity(2);
    b[0][1] = std::numeric_limits<double>::infinity();
    double ar[2], ai[2], beta[2];
    EXPECT_EQ(SchurGeneral(a.m(), b.m(), 2, ar, ai, beta, nullptr, nullptr, nullptr), zu::numerics::kSchurFailed);
    EXPECT_EQ(a[0][0], 1);
}

// L^-1 A L^-T for B = L L', the ordinary symmetric problem of the pencil.
Matrix CholeskiTransformed(const Matrix& a, const Matrix& b) {
    const int n = a.rows();
    Matrix l = b;
    EXPECT_TRUE(FPPtDec(l.m(), n));
    // Solve L X = A, then L Y = X' (so Y = L^-1 A L^-T, A symmetric).
    auto solveLower = [&l, n](const Matrix& rhs) {
        Matrix x(n, n);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                double sum = rhs[i][j];
                for (int k = 0; k < i; ++k) sum -= l[i][k] * x[k][j];
                x[i][j] = sum / l[i][i];
            }
        return x;
    };
    const Matrix x = solveLower(a);
    Matrix xt(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) xt[i][j] = x[j][i];
    return solveLower(xt);
}

TEST(EigenSymGeneral, AgreesWithTheTransformedProblemAndSolvesThePencil) {
    for (int n : {1, 2, 5, 47, 100, 200}) {
        Matrix a = zu::test::RandomMatrix(n, n, 17 * n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < i; ++j) a[j][i] = a[i][j];
        const Matrix b = zu::test::PositiveDefinite(n, 19 * n);
        Matrix x = a, bwork = b;
        std::vector<double> eval(n);
        ASSERT_EQ(EigenSymGeneral(x.m(), bwork.m(), n, eval.data(), true), 0) << n;
        EXPECT_EQ(RelativeDistance(bwork, b), 0) << n;
        Matrix c = CholeskiTransformed(a, b);
        std::vector<double> expected(n);
        ASSERT_EQ(IEigenSym(c.m(), n, expected.data(), 0), 0);
        double scale = 0, worst = 0;
        for (int k = 0; k < n; ++k) {
            scale = std::max(scale, std::fabs(expected[k]));
            worst = std::max(worst, std::fabs(eval[k] - expected[k]));
            if (k > 0) {
                EXPECT_GE(eval[k - 1], eval[k]) << n;
            }
        }
        EXPECT_LT(worst, 1e-12 * scale) << n;
        // A X = B X diag(eval) and X' B X = I.
        Matrix ax = NaiveProduct(a, false, x, false), bxl = NaiveProduct(b, false, x, false);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) bxl[i][j] *= eval[j];
        EXPECT_LT(RelativeDistance(ax, bxl), 1e-11) << n;
        EXPECT_LT(RelativeDistance(NaiveProduct(x, true, NaiveProduct(b, false, x, false), false), Identity(n)), 1e-12)
            << n;
    }
}

TEST(EigenSymGeneral, ValuesAloneMatchAndIndefiniteBIsReported) {
    const int n = 6;
    Matrix a = zu::test::PositiveDefinite(n, 2), b = zu::test::PositiveDefinite(n, 3);
    Matrix x = a, bw = b, y = a, bw2 = b;
    std::vector<double> with(n), without(n);
    ASSERT_EQ(EigenSymGeneral(x.m(), bw.m(), n, with.data(), true), 0);
    ASSERT_EQ(EigenSymGeneral(y.m(), bw2.m(), n, without.data(), false), 0);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(with[k], without[k], 1e-13 * with[0]);
    EXPECT_EQ(RelativeDistance(y, a), 0);  // without vectors a is untouched

    b[n - 1][n - 1] = -1;
    Matrix z = a;
    EXPECT_EQ(EigenSymGeneral(z.m(), b.m(), n, with.data(), true), zu::numerics::kEigenNotDefinite);
    EXPECT_EQ(RelativeDistance(z, a), 0);
    b[n - 1][n - 1] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(EigenSymGeneral(z.m(), b.m(), n, with.data(), true), zu::numerics::kSchurFailed);
}

}  // namespace
