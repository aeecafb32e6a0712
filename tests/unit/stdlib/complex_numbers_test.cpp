// Complex rows: the two-row form, division by zero, the branch cuts of clog
// and csqrt, and the complex error function against values computed
// independently (numerical integration of its defining integral in R).
#include <cmath>
#include <complex>
#include <limits>

#include "matrix_result.h"
#include "stdlib/routines.h"

using namespace zu::stdlib;
using namespace zu_stdlib_test;

namespace {

using C = std::complex<double>;

class ComplexNumbersTest : public StdlibTest {
protected:
    // Element j of a 2-row result.
    static C At(const Shaped& s, int j) { return {s.elements[j], s.elements[s.c + j]}; }
    static C One(ZuLIBFUNC f, C z) {
        ZuVALUE args[] = {Matrix(2, 1, {z.real(), z.imag()})};
        const Shaped s = Result(f, args);
        EXPECT_EQ(s.r, 2);
        return s.r == 2 ? At(s, 0) : C{};
    }
};

TEST_F(ComplexNumbersTest, ProductsAndQuotientsPairNumbersAndSpreadASingleOne) {
    ZuVALUE mul[] = {Matrix(2, 2, {1, 0, 2, 1}), Matrix(2, 1, {3, 4})};
    // (1 + 2i)(3 + 4i) = -5 + 10i; 0 + 1i times it = -4 + 3i.
    EXPECT_EQ(Result(FnCmul, mul), (Shaped{2, 2, {-5, -4, 10, 3}}));
    ZuVALUE div[] = {Matrix(2, 1, {1, 2}), Matrix(2, 1, {3, 4})};
    const Shaped q = Result(FnCdiv, div);
    EXPECT_NEAR(q.elements[0], 0.44, 1e-15);
    EXPECT_NEAR(q.elements[1], 0.08, 1e-15);
    // A 1-row argument is real; a scalar is one real number.
    ZuVALUE real[] = {Matrix(1, 2, {2, 3}), Double(2)};
    EXPECT_EQ(Result(FnCmul, real), (Shaped{2, 2, {4, 6, 0, 0}}));
}

TEST_F(ComplexNumbersTest, DivisionByZeroIsMissingAndLargeDivisorsDoNotOverflow) {
    ZuVALUE zero[] = {Matrix(2, 2, {1, 0, 0, 0}), Matrix(2, 1, {0, 0})};
    EXPECT_EQ(Result(FnCdiv, zero),
              (Shaped{2, 2, {Shaped::kMissing, Shaped::kMissing, Shaped::kMissing, Shaped::kMissing}}));
    ZuVALUE big[] = {Matrix(2, 1, {1e300, 1e300}), Matrix(2, 1, {1e300, 1e300})};
    EXPECT_EQ(Result(FnCdiv, big), (Shaped{2, 1, {1, 0}}));
}

TEST_F(ComplexNumbersTest, BranchCutsFollowTheSignOfAZeroImaginaryPart) {
    EXPECT_EQ(One(FnClog, {-1.0, 0.0}), C(0.0, M_PI));
    EXPECT_EQ(One(FnClog, {-1.0, -0.0}), C(0.0, -M_PI));
    EXPECT_EQ(One(FnCsqrt, {-4.0, 0.0}), C(0.0, 2.0));
    EXPECT_EQ(One(FnCsqrt, {-4.0, -0.0}), C(0.0, -2.0));
    EXPECT_EQ(One(FnClog, {0.0, 0.0}).real(), -std::numeric_limits<double>::infinity());
    const C root = One(FnCsqrt, {0.0, 2.0});  // sqrt(2i) = 1 + i
    EXPECT_NEAR(root.real(), 1.0, 1e-15);
    EXPECT_NEAR(root.imag(), 1.0, 1e-15);
    // A real row (1 row) is on the upper side of the cut.
    ZuVALUE real[] = {Matrix(1, 1, {-1})};
    const Shaped s = Result(FnClog, real);
    EXPECT_DOUBLE_EQ(s.elements[1], M_PI);
}

TEST_F(ComplexNumbersTest, ExpAndModulus) {
    const C e = One(FnCexp, {1.0, M_PI / 2});
    EXPECT_NEAR(e.real(), 0.0, 1e-15);
    EXPECT_NEAR(e.imag(), std::exp(1.0), 1e-15);
    ZuVALUE args[] = {Matrix(2, 3, {3, 1e300, -5, 4, 1e300, 0})};
    const Shaped s = Result(FnCabs, args);
    ASSERT_EQ(s.r, 1);
    EXPECT_EQ(s.elements[0], 5.0);
    EXPECT_DOUBLE_EQ(s.elements[1], std::sqrt(2.0) * 1e300);  // no overflow in the squares
    EXPECT_EQ(s.elements[2], 5.0);
}

TEST_F(ComplexNumbersTest, ErrorFunctionMatchesIndependentValues) {
    struct Case {
        C z, erf;
    } cases[] = {
        {{1, 1}, {1.31615128169795, 0.19045346923783}},
        {{0.5, -2}, {13.8399856677413, 1.0429925008314}},
        {{3, 3}, {0.867826497575452, -0.012152181790312}},
        {{0.1, 0.1}, {0.113585634561866, 0.112081171991065}},
        {{-2, 0.5}, {-1.00350224331304, 0.00474090303129}},
        {{0.01, 5}, {811107812.25179, 8257685337.7992}},
        {{0.9, 0.4}, {0.871879224576005, 0.193415773647231}},
        {{2, 2}, {1.15131086639807, 0.12729162946314}},
        {{1.2, 0}, {0.910313978229635, 0}},
    };
    for (const Case& c : cases) {
        const C got = One(FnCerf, c.z);
        EXPECT_LT(std::abs(got - c.erf), 1e-11 * std::abs(c.erf)) << c.z << " gave " << got;
    }
    // Odd symmetry and conjugation hold exactly.
    EXPECT_EQ(One(FnCerf, {-1.5, 0.7}), -One(FnCerf, {1.5, -0.7}));
    EXPECT_EQ(One(FnCerf, {1.5, -0.7}), std::conj(One(FnCerf, {1.5, 0.7})));
}

TEST_F(ComplexNumbersTest, ArgumentShapesAreChecked) {
    ZuVALUE rows[] = {Matrix(3, 1, {1, 2, 3})};
    EXPECT_EQ(Failure(FnCexp, rows, 40),
              "(): expected 1 or 2 rows (real and imaginary parts), found 3 rows in argument 1");
    ZuVALUE columns[] = {Matrix(2, 3), Matrix(2, 2)};
    EXPECT_EQ(Failure(FnCmul, columns, 40), "(): found 2 columns but expected 1 or 3 in argument 2");
    ZuVALUE text[] = {String("1+2i")};
    EXPECT_NE(Failure(FnCabs, text, 37).find("type error in argument 1"), std::string::npos);
    ZuVALUE empty[] = {Matrix(2, 0)};
    EXPECT_EQ(Result(FnCsqrt, empty), (Shaped{2, 0, {}}));
}

}  // namespace
