// Matrix products through the multiplication slot, and slot replacement.
#include <gtest/gtest.h>

#include <cmath>
#include <dlfcn.h>

#include "numerics/matrix_fixture.h"

using zu::test::Matrix;
using zu::test::NaiveProduct;
using zu::test::RelativeDistance;

namespace {

bool BlasLoaded() {
    void* h = dlopen("libopenblas.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (h) dlclose(h);
    return h != nullptr;
}

// The library is opened by the first product big enough to go through
// BLAS, not when the process starts (each test runs in a process of its own).
TEST(Products, BlasIsOpenedByTheFirstLargeProduct) {
    EXPECT_FALSE(BlasLoaded());
    const Matrix a = zu::test::RandomMatrix(300, 300, 1);
    Matrix r(300, 300);
    MatAB(r.m(), a.m(), 300, 300, a.m(), 300);
    EXPECT_TRUE(BlasLoaded());
    EXPECT_LT(RelativeDistance(r, NaiveProduct(a, false, a, false)), 1e-13);
}

// Self products up to about 10^6 multiplications go through dgemm, larger
// ones through dsyrk; both give symmetric results.
TEST(Products, AgreeWithDirectSums) {
    for (auto [m, k, n] : {std::tuple{1, 1, 1}, {3, 4, 5}, {7, 1, 2}, {64, 65, 33}, {120, 80, 150}, {200, 150, 10}}) {
        const Matrix a = zu::test::RandomMatrix(m, k, m);
        const Matrix b = zu::test::RandomMatrix(k, n, n);
        Matrix r(m, n);
        MatAB(r.m(), a.m(), m, k, b.m(), n);
        EXPECT_LT(RelativeDistance(r, NaiveProduct(a, false, b, false)), 1e-14);

        const Matrix bt = zu::test::RandomMatrix(n, k, k);
        MatABt(r.m(), a.m(), m, k, bt.m(), n);
        EXPECT_LT(RelativeDistance(r, NaiveProduct(a, false, bt, true)), 1e-14);

        const Matrix at = zu::test::RandomMatrix(k, m, 3);
        MatAtB(r.m(), at.m(), k, m, b.m(), n);
        EXPECT_LT(RelativeDistance(r, NaiveProduct(at, true, b, false)), 1e-14);

        Matrix btb(k, k), bbt(m, m);
        MatBtB(btb.m(), a.m(), m, k);
        EXPECT_LT(RelativeDistance(btb, NaiveProduct(a, true, a, false)), 1e-14);
        MatBBt(bbt.m(), a.m(), m, k);
        EXPECT_LT(RelativeDistance(bbt, NaiveProduct(a, false, a, true)), 1e-14);
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < i; ++j) ASSERT_EQ(bbt[i][j], bbt[j][i]);
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < i; ++j) ASSERT_EQ(btb[i][j], btb[j][i]);
    }
}

TEST(Products, SeparatelyAllocatedRowsWork) {
    const int m = 5, k = 4, n = 3;
    double** a = MatAllocPlain(m, k);
    double** b = MatAllocPlain(k, n);
    double** r = MatAllocPlain(m, n);
    ASSERT_TRUE(a && b && r);
    const Matrix ma = zu::test::RandomMatrix(m, k, 1);
    const Matrix mb = zu::test::RandomMatrix(k, n, 2);
    MatCopy(a, ma.m(), m, k);
    MatCopy(b, mb.m(), k, n);
    MatAB(r, a, m, k, b, n);
    Matrix got(m, n);
    MatCopy(got.m(), r, m, n);
    EXPECT_LT(RelativeDistance(got, NaiveProduct(ma, false, mb, false)), 1e-14);
    MatFreePlain(a, m, k);
    MatFreePlain(b, k, n);
    MatFreePlain(r, m, n);
}

TEST(Products, EmptyInnerDimensionGivesMissingValues) {
    Matrix r(2, 3);
    Matrix a(2, 1), b(1, 3);
    MatAB(r.m(), a.m(), 2, 0, b.m(), 3);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_TRUE(std::isnan(r[i][j]));
}

// A replacement kernel that records its calls and writes a marker.
int g_calls = 0;
void MarkingMatMul(double** R, double**, int rA, int cA, double**, int rB, int cB, int transA, int transB) {
    ++g_calls;
    R[0][0] = 1000 + 10 * transA + transB + 0 * (rA + cA + rB + cB);
}

int FailingInvert(double**, int, double*, int*) { return 7; }

TEST(KernelSlots, ReplacementIsCalledAndNullRestoresBuiltIn) {
    Matrix a = zu::test::RandomMatrix(2, 2, 1), r(2, 2);
    SetKnlMatMul(MarkingMatMul);
    MatAtB(r.m(), a.m(), 2, 2, a.m(), 2);
    EXPECT_EQ(r[0][0], 1010);
    MatABt(r.m(), a.m(), 2, 2, a.m(), 2);
    EXPECT_EQ(r[0][0], 1001);
    EXPECT_EQ(g_calls, 2);
    SetKnlMatMul(nullptr);
    MatAB(r.m(), a.m(), 2, 2, a.m(), 2);
    EXPECT_EQ(g_calls, 2);
    EXPECT_DOUBLE_EQ(r[0][0], a[0][0] * a[0][0] + a[0][1] * a[1][0]);

    SetKnlInvert(FailingInvert);
    EXPECT_EQ(IInvert(a.m(), 2), 7);
    SetKnlInvert(nullptr);
    EXPECT_EQ(IInvert(a.m(), 2), 0);
}

}  // namespace
