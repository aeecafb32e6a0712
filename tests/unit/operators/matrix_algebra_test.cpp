// Powers, products, division by matrices and the remainder.
#include <climits>
#include <cmath>

#include "program/tokens.h"
#include "operators/operator_fixture.h"

namespace {

namespace tok = zu::program::tok;
using zu_test::DoubleValue;
using zu_test::IntValue;
using zu_test::MatrixValue;
using zu_test::runMessages;
using zu_test::StringValue;
using Power = zu_test::OperatorTest;

void ExpectNear(const ZuVALUE& m, std::vector<double> expected) {
    const std::vector<double> got = zu_test::OperatorTest::Elements(m);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t k = 0; k < got.size(); ++k) EXPECT_NEAR(got[k], expected[k], 1e-12) << "element " << k;
}

TEST_F(Power, IntPowersStayExactWhileTheBasesAreSmall) {
    const ZuVALUE& p = Apply(tok::Caret, {IntValue(2), IntValue(10)});
    EXPECT_EQ(p.t, ZU_INT);
    EXPECT_EQ(p.w1.i, 1024);
    const ZuVALUE& big = Apply(tok::Caret, {IntValue(40000), IntValue(2)});
    EXPECT_EQ(big.t, ZU_DOUBLE);
    EXPECT_EQ(big.w1.d, 1.6e9);
    // 181 squared stays below the bound, its square does not: no overflow.
    const ZuVALUE& guarded = Apply(tok::DotCaret, {IntValue(181), IntValue(7)});
    EXPECT_EQ(guarded.t, ZU_DOUBLE);
    EXPECT_EQ(guarded.w1.d, std::pow(181.0, 7));
    EXPECT_EQ(Apply(tok::Caret, {IntValue(-3), IntValue(3)}).w1.i, -27);
    EXPECT_EQ(Apply(tok::Caret, {IntValue(0), IntValue(0)}).w1.i, 1);
    EXPECT_EQ(Apply(tok::Caret, {IntValue(2), IntValue(-1)}).w1.d, 0.5);
    EXPECT_RUN_ERROR(Apply(tok::Caret, {IntValue(0), IntValue(-1)}), 28);
    EXPECT_EQ(FirstRunMessage(), "Runtime error: ' ^ ' negative power of zero");
}

TEST_F(Power, ElementPowers) {
    EXPECT_MATRIX(Apply(tok::DotCaret, {MatrixValue(1, 3, {1, 2, 3}), IntValue(2)}), 1, 3, {1, 4, 9});
    EXPECT_MATRIX(Apply(tok::DotCaret, {DoubleValue(2), MatrixValue(1, 2, {1, 3})}), 1, 2, {2, 8});
    const ZuVALUE& unit = Apply(tok::Caret, {MatrixValue(1, 1, {3}), IntValue(2)});
    EXPECT_EQ(unit.t, ZU_DOUBLE);
    EXPECT_EQ(unit.w1.d, 9.0);
    EXPECT_RUN_ERROR(Apply(tok::Caret, {StringValue("a"), IntValue(2)}), 10);
    EXPECT_EQ(FirstRunMessage(), "Runtime error: 'string[1] .^ int' bad operand");
}

TEST_F(Power, ExportedDotPowerLeavesTheRightOperandToTheCaller) {
    ZuVALUE base = DoubleValue(2);
    ZuVALUE exponents = MatrixValue(1, 2, {1, 3});
    double** storage = exponents.w3.m;
    ZuRunDotPower(&base, &exponents);
    EXPECT_EQ(base.w3.m, storage);  // computed into the owned exponents
    EXPECT_MATRIX(base, 1, 2, {2, 8});
    EXPECT_EQ(exponents.t, ZU_INT);
    ZuFreeByValue(&exponents);
    ZuFreeByValue(&base);
}

TEST_F(Power, MatrixPowersBySquaring) {
    EXPECT_MATRIX(Apply(tok::Caret, {MatrixValue(2, 2, {1, 1, 0, 1}), IntValue(5)}), 2, 2, {1, 5, 0, 1});
    EXPECT_MATRIX(Apply(tok::Caret, {MatrixValue(2, 2, {2, 0, 0, 3}), IntValue(0)}), 2, 2, {1, 0, 0, 1});
    ExpectNear(Apply(tok::Caret, {MatrixValue(2, 2, {2, 0, 0, 4}), IntValue(-2)}), {0.25, 0, 0, 1.0 / 16});
    EXPECT_RUN_ERROR(Apply(tok::Caret, {MatrixValue(1, 2, {1, 2}), IntValue(2)}), 10);
    EXPECT_EQ(FirstRunMessage(), "Runtime error: 'matrix[1][2] ^ int' bad operand");
}

TEST_F(Power, NonIntegralMatrixExponentWarnsAndTruncates) {
    EXPECT_MATRIX(Apply(tok::Caret, {MatrixValue(2, 2, {5, 6, 7, 8}), DoubleValue(0.5)}), 2, 2, {1, 0, 0, 1});
    ASSERT_FALSE(runMessages.empty());
    EXPECT_EQ(runMessages.front(), "Warning:  ^ : non-integer value converted to integer");
}

TEST_F(Power, SingularMatrixToANegativePowerUsesTheGeneralizedInverse) {
    // The generalized inverse of the rank-one matrix with rows (1, 2), (2, 4)
    // is that matrix divided by 25.
    ExpectNear(Apply(tok::Caret, {MatrixValue(2, 2, {1, 2, 2, 4}), IntValue(-1)}), {0.04, 0.08, 0.08, 0.16});
}

using Products = zu_test::OperatorTest;

TEST_F(Products, MatrixProductNeedsAgreeingInnerDimensions) {
    EXPECT_MATRIX(Apply(tok::Star, {MatrixValue(2, 2, {1, 2, 3, 4}), MatrixValue(2, 1, {1, 1})}), 2, 1, {3, 7});
    EXPECT_MATRIX(Apply(tok::Star, {MatrixValue(1, 1, {2}), MatrixValue(2, 2, {1, 2, 3, 4})}), 2, 2, {2, 4, 6, 8});
    EXPECT_RUN_ERROR(Apply(tok::Star, {MatrixValue(2, 2, {1, 2, 3, 4}), MatrixValue(1, 2, {1, 1})}), 10);
}

TEST_F(Products, DivisionByAMatrixMultipliesByItsInverse) {
    ExpectNear(Apply(tok::Slash, {IntValue(2), MatrixValue(2, 2, {2, 0, 0, 4})}), {1, 0, 0, 0.5});
    ExpectNear(Apply(tok::Slash, {MatrixValue(1, 2, {4, 8}), MatrixValue(2, 2, {2, 0, 0, 4})}), {2, 2});
    // A row (1 x 2) divides through its generalized inverse (2 x 1).
    const ZuVALUE& q = Apply(tok::Slash, {IntValue(5), MatrixValue(1, 2, {1, 2})});
    EXPECT_EQ(q.w1.i, 2);
    EXPECT_EQ(q.w2.i, 1);
    ExpectNear(q, {1, 2});
    EXPECT_MATRIX(Apply(tok::Slash, {MatrixValue(1, 2, {1, 2}), MatrixValue(1, 1, {2})}), 1, 2, {0.5, 1});
}

TEST_F(Products, KroneckerDirectAndTransposedProducts) {
    EXPECT_MATRIX(Apply(tok::StarStar, {MatrixValue(1, 2, {1, 2}), MatrixValue(2, 1, {1, 10})}), 2, 2, {1, 2, 10, 20});
    EXPECT_MATRIX(Apply(tok::StarTilde, {MatrixValue(2, 2, {1, 2, 3, 4}), MatrixValue(2, 2, {1, 10, 100, 1000})}), 2, 4,
                  {1, 10, 2, 20, 300, 3000, 400, 4000});
    EXPECT_RUN_ERROR(Apply(tok::StarTilde, {MatrixValue(2, 1, {1, 2}), MatrixValue(1, 1, {1})}), 10);
    EXPECT_MATRIX(Apply(tok::MulTranspose, {MatrixValue(1, 2, {1, 2}), MatrixValue(2, 2, {1, 0, 0, 1})}), 1, 2, {1, 2});
    EXPECT_MATRIX(Apply(tok::TransposeMul, {MatrixValue(2, 1, {3, 4})}), 1, 1, {25});
    EXPECT_EQ(Apply(tok::TransposeMul, {IntValue(-5)}).w1.i, 25);
}

using Remainder = zu_test::OperatorTest;

TEST_F(Remainder, RoundsDoublesAndFollowsTheLeftSign) {
    EXPECT_EQ(Apply(tok::Percent, {IntValue(-7), IntValue(2)}).w1.i, -1);
    EXPECT_EQ(Apply(tok::Percent, {DoubleValue(7.6), IntValue(3)}).w1.i, 2);
    EXPECT_EQ(Apply(tok::Percent, {IntValue(INT_MIN), IntValue(-1)}).w1.i, 0);
    EXPECT_MATRIX(Apply(tok::Percent, {MatrixValue(1, 3, {5, 6, 7.4}), IntValue(3)}), 1, 3, {2, 0, 1});
    EXPECT_RUN_ERROR(Apply(tok::Percent, {MatrixValue(1, 2, {1, 2}), MatrixValue(2, 1, {1, 2})}), 10);
}

TEST_F(Remainder, ZeroDivisorStopsWithDivideByZero) {
    EXPECT_RUN_ERROR(Apply(tok::Percent, {IntValue(5), DoubleValue(0.2)}), 6);
    EXPECT_RUN_ERROR(Apply(tok::Percent, {MatrixValue(1, 2, {1, 2}), IntValue(0)}), 6);
}

}  // namespace
