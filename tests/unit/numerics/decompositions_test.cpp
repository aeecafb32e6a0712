// Choleski, LDL', symmetric inversion, eigenvalues, QR and SVD.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

#include "numerics/kernels.h"
#include "numerics/matrix_fixture.h"

using zu::test::Matrix;
using zu::test::NaiveProduct;
using zu::test::RandomMatrix;
using zu::test::RelativeDistance;
using zu::test::SettingsGuard;

namespace {

const int kOrders[] = {1, 2, 5, 47, 64, 65, 100, 200};

TEST(Choleski, FactorReproducesInputOnEveryPath) {
    SettingsGuard guard;
    for (int n : kOrders) {
        const Matrix a = zu::test::PositiveDefinite(n, n);
        Matrix l = a;
        ASSERT_TRUE(FPPtDec(l.m(), n)) << n;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) ASSERT_EQ(l[i][j], 0);
        EXPECT_LT(RelativeDistance(NaiveProduct(l, false, l, true), a), 1e-12) << n;
    }
}

TEST(Choleski, BlockedPathAgreesWithUnblocked) {
    const int n = 65;
    const Matrix a = zu::test::PositiveDefinite(n, 11);
    Matrix blocked = a, plain = a;
    ASSERT_EQ(zu::numerics::KnlCholeski(blocked.m(), n), 0);
    ASSERT_EQ(zu::numerics::CholeskiUnblocked(plain.m(), n), 0);
    EXPECT_LT(RelativeDistance(blocked, plain), 1e-13);
}

TEST(Choleski, IndefiniteOrSingularFails) {
    SettingsGuard guard;
    for (int n : {3, 100}) {
        Matrix a = zu::test::PositiveDefinite(n, 5);
        a[n - 1][n - 1] = -1;
        EXPECT_FALSE(FPPtDec(a.m(), n)) << n;
    }
    Matrix tiny(2, 2);
    tiny[0][0] = 1e-14;
    tiny[1][1] = 1;
    Matrix copy = tiny;
    EXPECT_FALSE(FPPtDec(tiny.m(), 2));
    SetInvertEps(0);
    EXPECT_TRUE(FPPtDec(copy.m(), 2));
    EXPECT_DOUBLE_EQ(copy[0][0], 1e-7);
}

TEST(Choleski, LibraryPathAgreesWithExactPathAndIgnoresUpperTriangle) {
    SettingsGuard guard;
    const int n = 300;
    Matrix a = zu::test::PositiveDefinite(n, 21);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) a[i][j] = -1e6;  // never read
    Matrix fast = a, exact = a;
    SetFastMath(1);
    ASSERT_TRUE(FPPtDec(fast.m(), n));
    SetFastMath(0);
    ASSERT_TRUE(FPPtDec(exact.m(), n));
    EXPECT_LT(RelativeDistance(fast, exact), 1e-13);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) ASSERT_EQ(fast[i][j], 0) << i << " " << j;
}

// A pivot just above the tolerance after cancellation is left to the exact
// algorithm, which must see the input as it was; just below it fails.
TEST(Choleski, PivotNearToleranceIsDecidedOnTheUntouchedInput) {
    SettingsGuard guard;
    SetFastMath(1);
    const int n = 100;
    for (const double delta : {3e-13, 2.4e-13, 2.0e-13}) {
        Matrix a(n, n);
        MatI(a.m(), n);
        a[61][60] = 1;
        a[61][61] = 1 + delta;
        a[60][61] = 7;  // above the diagonal: ignored
        Matrix l = a;
        const bool positive = FPPtDec(l.m(), n);
        const double residual = (1 + delta) - 1;
        EXPECT_EQ(positive, residual > DGetInvertEps()) << delta;
        if (!positive) continue;
        EXPECT_EQ(l[61][60], 1);
        EXPECT_EQ(l[61][61], std::sqrt(residual));
        EXPECT_EQ(l[60][61], 0);
        EXPECT_EQ(l[99][99], 1);
    }
}

// A last pivot near the tolerance: LAPACK's factor is refused and the exact
// algorithm runs on the input, which must be whole again to the last
// element of its lower triangle (it waited in the upper one).  Then the
// result is the exact path's to the bit; an odd order and an even one
// split the triangles' rows differently.
TEST(Choleski, ARefusedLibraryFactorLeavesTheExactPathTheWholeInput) {
    SettingsGuard guard;
    for (const int n : {100, 101}) {
        // L: unit diagonal and small entries below it (well conditioned),
        // but a last row of ones whose own pivot is tiny, so that the
        // margin for rounding (which grows with the diagonal element) is
        // wider than the pivot's distance from the tolerance.
        Matrix l = RandomMatrix(n, n, 31);
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < i; ++j) l[i][j] = i == n - 1 ? 1 : 0.05 * l[i][j];
            for (int j = i + 1; j < n; ++j) l[i][j] = 0;
            l[i][i] = 1;
        }
        l[n - 1][n - 1] = std::sqrt(2e-12);
        const Matrix a = NaiveProduct(l, false, l, true);
        Matrix fast = a, exact = a;
        SetFastMath(1);
        const bool fastResult = FPPtDec(fast.m(), n);
        SetFastMath(0);
        const bool exactResult = FPPtDec(exact.m(), n);
        EXPECT_EQ(fastResult, exactResult) << n;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) ASSERT_EQ(fast[i][j], exact[i][j]) << n << ": " << i << " " << j;
    }
}

TEST(LDL, ZeroPivotIsMarkedWithLargestDouble) {
    Matrix a(3, 3);
    double v[3][3] = {{1, 1, 0}, {1, 1, 0}, {0, 0, 2}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) a[i][j] = v[i][j];
    double d[3] = {0, 0, 0};
    EXPECT_EQ(ILDLdec(a.m(), d, 3), 1);
    EXPECT_EQ(d[0], 1);
    EXPECT_EQ(d[1], DBL_MAX);
    EXPECT_EQ(ILDLdec(nullptr, d, 3), 3);
    EXPECT_EQ(ILDLdec(a.m(), nullptr, 3), 3);
    EXPECT_EQ(ILDLdec(a.m(), d, 0), 0);
}

TEST(LDL, FactorsReproduceInputAndInverseIsInverse) {
    SettingsGuard guard;
    for (int fast = 0; fast < 2; ++fast) {
        SetFastMath(fast);
        for (int n : kOrders) {
            const Matrix a = zu::test::PositiveDefinite(n, 3 * n);
            Matrix f = a;
            std::vector<double> d(n);
            ASSERT_EQ(ILDLdec(f.m(), d.data(), n), 0);
            Matrix l(n, n), ld(n, n);
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j < i; ++j) l[i][j] = f[i][j];
                l[i][i] = 1;
            }
            for (int i = 0; i < n; ++i)
                for (int j = 0; j <= i; ++j) ld[i][j] = l[i][j] / d[j];
            EXPECT_LT(RelativeDistance(NaiveProduct(ld, false, l, true), a), 1e-12) << "n " << n << " fast " << fast;

            Matrix inv = a;
            double logdet = 0;
            ASSERT_EQ(ISymInvDet(inv.m(), n, &logdet), 0);
            double expected = 0;
            for (int i = 0; i < n; ++i) expected -= std::log(d[i]);
            EXPECT_NEAR(logdet, expected, 1e-12 * std::fabs(expected) + 1e-14);
            Matrix id(n, n);
            MatI(id.m(), n);
            EXPECT_LT(RelativeDistance(NaiveProduct(a, false, inv, false), id), 1e-12);
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < i; ++j) ASSERT_EQ(inv[i][j], inv[j][i]);
        }
    }
}

TEST(LDL, SingularSymmetricInversionFailsOnEveryPath) {
    SettingsGuard guard;
    for (int fast = 0; fast < 2; ++fast) {
        SetFastMath(fast);
        const int n = 80;
        Matrix a = zu::test::PositiveDefinite(n, 9);
        for (int j = 0; j < n; ++j) a[70][j] = a[j][70] = 0;
        EXPECT_EQ(ISymInv(a.m(), n), 1) << fast;
    }
}

TEST(EigenSym, EigenpairsAreDecreasingAndOrthonormal) {
    for (int n : {1, 3, 50, 200}) {
        const Matrix a = zu::test::PositiveDefinite(n, n + 1);
        Matrix v = a;
        std::vector<double> e(n);
        ASSERT_EQ(IEigenSym(v.m(), n, e.data(), 1), 0);
        EXPECT_TRUE(std::is_sorted(e.rbegin(), e.rend()));
        Matrix ve(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) ve[i][j] = v[i][j] * e[j];
        EXPECT_LT(RelativeDistance(NaiveProduct(ve, false, v, true), a), 1e-12);
        Matrix id(n, n);
        MatI(id.m(), n);
        EXPECT_LT(RelativeDistance(NaiveProduct(v, true, v, false), id), 1e-12);
        std::vector<double> only(n);
        Matrix w = a;
        ASSERT_EQ(IEigenSym(w.m(), n, only.data(), 0), 0);
        for (int i = 0; i < n; ++i) EXPECT_NEAR(only[i], e[i], 1e-12 * e[0]);
    }
}

TEST(Eigen, RotationHasComplexPairAndVectorsSatisfyDefinition) {
    Matrix a(2, 2);
    a[0][1] = -1;
    a[1][0] = 1;
    double re[2], im[2];
    Matrix v(2, 2);
    ASSERT_EQ(IEigen(a.m(), 2, re, im, v.m()), 0);
    EXPECT_NEAR(re[0], 0, 1e-15);
    EXPECT_NEAR(std::fabs(im[0]), 1, 1e-15);
    EXPECT_EQ(im[1], -im[0]);
    // A (x + iy) = (re + i im)(x + iy), x and y the two columns.
    for (int i = 0; i < 2; ++i) {
        const double ax = a[i][0] * v[0][0] + a[i][1] * v[1][0];
        const double ay = a[i][0] * v[0][1] + a[i][1] * v[1][1];
        EXPECT_NEAR(ax, re[0] * v[i][0] - im[0] * v[i][1], 1e-14);
        EXPECT_NEAR(ay, re[0] * v[i][1] + im[0] * v[i][0], 1e-14);
    }
    Matrix b = zu::test::RandomMatrix(30, 30, 4);
    std::vector<double> r(30), i(30);
    EXPECT_EQ(IEigen(b.m(), 30, r.data(), i.data(), nullptr), 0);
    double trace = 0, sum = 0;
    for (int k = 0; k < 30; ++k) trace += b[k][k], sum += r[k];
    EXPECT_NEAR(sum, trace, 1e-12);
}

TEST(DecQR, QTimesRReproducesInput) {
    for (auto [r, c] : {std::pair{1, 1}, {5, 3}, {3, 5}, {200, 120}, {64, 200}}) {
        for (int pivot = 0; pivot < 2; ++pivot) {
            const Matrix a = zu::test::RandomMatrix(r, c, r * c);
            Matrix at(c, r);
            for (int i = 0; i < r; ++i)
                for (int j = 0; j < c; ++j) at[j][i] = a[i][j];
            const int k = std::min(r, c);
            std::vector<double> tau(k);
            std::vector<int> piv(c);
            ASSERT_EQ(IDecQRtEx(at.m(), c, r, pivot ? piv.data() : nullptr, tau.data()), 0);
            Matrix qt(k, r), rr(k, c);
            ASSERT_EQ(zu::numerics::DecQRtFormQ(at.m(), c, r, tau.data(), qt.m()), 0);
            for (int i = 0; i < k; ++i)
                for (int j = i; j < c; ++j) rr[i][j] = at[j][i];
            const Matrix qr = NaiveProduct(qt, true, rr, false);
            // With pivoting, Q R holds the columns in the order piv names.
            Matrix ap(r, c);
            for (int i = 0; i < r; ++i)
                for (int j = 0; j < c; ++j) ap[i][j] = a[i][pivot ? piv[j] : j];
            EXPECT_LT(RelativeDistance(qr, ap), 1e-12) << r << "x" << c;
        }
    }
}

TEST(DecSVD, FactorsReproduceInput) {
    for (auto [r, c] : {std::pair{1, 1}, {6, 4}, {4, 6}, {200, 150}}) {
        const Matrix a = zu::test::RandomMatrix(r, c, r + 7 * c);
        const int k = std::min(r, c);
        Matrix u(r, k), v(c, k), keep = a;
        std::vector<double> sv(k);
        ASSERT_EQ(IDecSVD(keep.m(), r, c, sv.data(), u.m(), v.m()), 0);
        EXPECT_EQ(RelativeDistance(keep, a), 0);
        EXPECT_TRUE(std::is_sorted(sv.rbegin(), sv.rend()));
        Matrix us(r, k);
        for (int i = 0; i < r; ++i)
            for (int j = 0; j < k; ++j) us[i][j] = u[i][j] * sv[j];
        EXPECT_LT(RelativeDistance(NaiveProduct(us, false, v, true), a), 1e-12) << r << "x" << c;
        std::vector<double> only(k);
        ASSERT_EQ(IDecSVD(keep.m(), r, c, only.data(), nullptr, nullptr), 0);
        for (int j = 0; j < k; ++j) EXPECT_NEAR(only[j], sv[j], 1e-12 * sv[0]);
    }
}

}  // namespace

namespace {

// LAPACK accepts these matrices; the absolute tolerance does not.
TEST(Tolerance, TinyPivotIsSingularOnEveryPathUntilEpsIsZero) {
    SettingsGuard guard;
    for (int fast = 0; fast < 2; ++fast) {
        SetFastMath(fast);
        for (int n : {3, 60, 100}) {
            Matrix a(n, n);
            MatI(a.m(), n);
            a[n / 2][n / 2] = 1e-14;
            Matrix general = a, symmetric = a, factor = a;
            EXPECT_EQ(IInvert(general.m(), n), 1) << n << " fast " << fast;
            EXPECT_NE(ISymInv(symmetric.m(), n), 0) << n << " fast " << fast;
            EXPECT_FALSE(FPPtDec(factor.m(), n)) << n << " fast " << fast;
            std::vector<double> d(n);
            Matrix ldl = a;
            EXPECT_EQ(ILDLdec(ldl.m(), d.data(), n), 1);
            EXPECT_EQ(d[n / 2], DBL_MAX);
        }
    }
    SetInvertEps(0);
    for (int fast = 0; fast < 2; ++fast) {
        SetFastMath(fast);
        Matrix a(60, 60);
        MatI(a.m(), 60);
        a[30][30] = 1e-14;
        Matrix s = a;
        ASSERT_EQ(IInvert(a.m(), 60), 0);
        EXPECT_DOUBLE_EQ(a[30][30], 1e14);
        ASSERT_EQ(ISymInv(s.m(), 60), 0);
        EXPECT_DOUBLE_EQ(s[30][30], 1e14);
    }
}

}  // namespace
