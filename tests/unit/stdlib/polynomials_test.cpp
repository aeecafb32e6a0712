// Lag polynomials: products, series division (and its refusal of b0 = 0),
// and roots at the edges (degree 0 and 1, repeated roots, leading and
// trailing zeros, complex pairs, missing coefficients).
#include <cmath>
#include <vector>

#include "matrix_result.h"
#include "stdlib/routines.h"

using namespace zu::stdlib;
using namespace zu_stdlib_test;

namespace {

class PolynomialsTest : public StdlibTest {
protected:
    // An output argument (&target) as a program passes it.
    static ZuVALUE Address(ZuVALUE* target) {
        ZuVALUE v{};
        v.t = ZU_ARRAY | ZU_FLAG_ADR;
        v.w1.i = 1;
        v.w2.v = target;
        return v;
    }
    // polyroots(a, &r): the result and r taken apart.
    static int Roots(ZuVALUE a, Shaped* roots) {
        ZuVALUE target{};
        ZuValSetInt(&target, 0);
        ZuVALUE args[] = {a, Address(&target)};
        ZuVALUE v = Call(FnPolyroots, args);
        ZuFreeValue(&args[0]);
        *roots = Take(target);
        return v.w1.i;
    }
};

void ExpectNear(const Shaped& got, const Shaped& want, double tol) {
    ASSERT_EQ(got.r, want.r);
    ASSERT_EQ(got.c, want.c);
    for (std::size_t k = 0; k < want.elements.size(); ++k)
        EXPECT_NEAR(got.elements[k], want.elements[k], tol) << "element " << k;
}

TEST_F(PolynomialsTest, ProductIsTheConvolution) {
    ZuVALUE args[] = {Matrix(1, 2, {1, 0.5}), Matrix(2, 1, {1, -0.5})};
    EXPECT_EQ(Result(FnPolymul, args), (Shaped{1, 3, {1, 0, -0.25}}));
    ZuVALUE empty[] = {Matrix(1, 0), Matrix(1, 2, {1, 2})};
    EXPECT_EQ(Result(FnPolymul, empty), (Shaped{1, 0, {}}));
    ZuVALUE notVector[] = {Matrix(2, 2), Double(1)};
    EXPECT_EQ(Failure(FnPolymul, notVector, 37),
              "(): expected a vector of coefficients, found 2 rows and 2 columns in argument 1");
}

TEST_F(PolynomialsTest, DivisionGivesTheSeriesWhoseProductIsTheNumerator) {
    ZuVALUE geometric[] = {Double(1), Matrix(1, 2, {1, -0.5}), Int(5)};
    EXPECT_EQ(Result(FnPolydiv, geometric), (Shaped{1, 5, {1, 0.5, 0.25, 0.125, 0.0625}}));
    // b c must reproduce a up to L^5 with b of degree 2 and b0 = 2.
    const std::vector<double> a{1, 0.3, -0.2}, b{2, -0.5, 0.06};
    ZuVALUE args[] = {Matrix(1, 3, {a[0], a[1], a[2]}), Matrix(1, 3, {b[0], b[1], b[2]}), Int(6)};
    const Shaped c = Result(FnPolydiv, args);
    ASSERT_EQ(c.c, 6);
    for (int k = 0; k < 6; ++k) {
        double sum = 0;
        for (int j = 0; j <= k && j < 3; ++j) sum += b[j] * c.elements[k - j];
        EXPECT_NEAR(sum, k < 3 ? a[k] : 0.0, 1e-15) << "power " << k;
    }
    ZuVALUE none[] = {Double(1), Double(1), Int(0)};
    EXPECT_EQ(Result(FnPolydiv, none), (Shaped{1, 0, {}}));
}

TEST_F(PolynomialsTest, DivisionRefusesAZeroLeadingDivisorAndNegativeCounts) {
    ZuVALUE zero[] = {Double(1), Matrix(1, 2, {0, 1}), Int(3)};
    EXPECT_EQ(Failure(FnPolydiv, zero, 37),
              "(): the coefficient of L^0 is 0, so a(L) / b(L) has no power series in argument 2");
    ZuVALUE negative[] = {Double(1), Double(1), Int(-1)};
    EXPECT_EQ(Failure(FnPolydiv, negative, 37), "(): negative count -1 in argument 3");
}

TEST_F(PolynomialsTest, RootsOfLowDegreesAndZeros) {
    Shaped r;
    EXPECT_EQ(Roots(Matrix(1, 1, {3}), &r), 0);
    EXPECT_EQ(r, (Shaped{2, 0, {}}));
    EXPECT_EQ(Roots(Matrix(1, 2, {2, -1}), &r), 0);  // 2 - L = 2 (1 - 0.5 L)
    ExpectNear(r, Shaped{2, 1, {0.5, 0}}, 1e-15);
    EXPECT_EQ(Roots(Matrix(1, 3, {0, 1, -0.5}), &r), 0);  // a leading zero lowers the degree
    ExpectNear(r, Shaped{2, 1, {0.5, 0}}, 1e-15);
    EXPECT_EQ(Roots(Matrix(1, 3, {1, -0.5, 0}), &r), 0);  // a trailing zero is a root 0
    ExpectNear(r, Shaped{2, 2, {0.5, 0, 0, 0}}, 1e-15);
    ZuVALUE zero[] = {Matrix(1, 3), Int(0)};
    EXPECT_EQ(Failure(FnPolyroots, zero, 37), "(): a polynomial with no nonzero coefficient in argument 1");
}

TEST_F(PolynomialsTest, RepeatedAndComplexRootsAndTheRoundTrip) {
    Shaped r;
    EXPECT_EQ(Roots(Matrix(1, 3, {1, -1, 0.25}), &r), 0);  // (1 - 0.5 L)^2
    ExpectNear(r, Shaped{2, 2, {0.5, 0.5, 0, 0}}, 1e-7);
    EXPECT_EQ(Roots(Matrix(1, 3, {1, 0, 1}), &r), 0);  // 1 + L^2: +i first, then -i
    ExpectNear(r, Shaped{2, 2, {0, 0, 1, -1}}, 1e-15);
    // Larger moduli first; polymake rebuilds a / a0 (roots of z^4 + ... checked in R).
    EXPECT_EQ(Roots(Matrix(1, 5, {2, -1, 0.5, 0.3, -0.1}), &r), 0);
    ASSERT_EQ(r.c, 4);
    for (int j = 1; j < 4; ++j)
        EXPECT_GE(std::hypot(r.elements[j - 1], r.elements[4 + j - 1]), std::hypot(r.elements[j], r.elements[4 + j]));
    ZuVALUE make[] = {Matrix(2, 4)};
    for (int k = 0; k < 8; ++k) make[0].w3.m[k / 4][k % 4] = r.elements[k];
    ExpectNear(Result(FnPolymake, make), Shaped{1, 5, {1, -0.5, 0.25, 0.15, -0.05}}, 1e-14);
}

TEST_F(PolynomialsTest, MissingCoefficientsFailWithMissingRoots) {
    Shaped r;
    EXPECT_EQ(Roots(Matrix(1, 3, {1, NAN, 0.5}), &r), 1);
    EXPECT_EQ(r, (Shaped{2, 2, std::vector<double>(4, Shaped::kMissing)}));
}

TEST_F(PolynomialsTest, MakeFromRealAndComplexRoots) {
    ZuVALUE real[] = {Matrix(1, 2, {0.5, -0.2})};
    ExpectNear(Result(FnPolymake, real), Shaped{1, 3, {1, -0.3, -0.1}}, 1e-16);
    ZuVALUE pair[] = {Matrix(2, 2, {0.5, 0.5, 0.5, -0.5})};  // 0.5 +- 0.5i
    EXPECT_EQ(Result(FnPolymake, pair), (Shaped{1, 3, {1, -1, 0.5}}));
    ZuVALUE single[] = {Matrix(2, 1, {0, 1})};  // 1 - i L has complex coefficients
    EXPECT_EQ(Result(FnPolymake, single), (Shaped{2, 2, {1, 0, 0, -1}}));
    ZuVALUE none[] = {Matrix(1, 0)};
    EXPECT_EQ(Result(FnPolymake, none), (Shaped{1, 1, {1}}));
}

}  // namespace
