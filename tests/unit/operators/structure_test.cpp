// Concatenation, unary operators, the element choice, ranges and the
// operators of the ZuGauss mode.
#include <climits>
#include <cmath>
#include <tuple>

#include "program/tokens.h"
#include "operators/operator_fixture.h"

namespace {

namespace tok = zu::program::tok;
using zu_test::DoubleValue;
using zu_test::IntValue;
using zu_test::MatrixValue;
using zu_test::runMessages;
using zu_test::StringValue;
using Concatenation = zu_test::OperatorTest;

TEST_F(Concatenation, ScalarsAndMatrices) {
    EXPECT_MATRIX(Apply(tok::Tilde, {IntValue(1), DoubleValue(2.5)}), 1, 2, {1, 2.5});
    EXPECT_MATRIX(Apply(tok::Bar, {IntValue(1), IntValue(2)}), 2, 1, {1, 2});
    EXPECT_MATRIX(Apply(tok::Tilde, {IntValue(7), MatrixValue(2, 2, {1, 2, 3, 4})}), 2, 3, {7, 1, 2, 7, 3, 4});
    EXPECT_MATRIX(Apply(tok::Bar, {MatrixValue(2, 2, {1, 2, 3, 4}), IntValue(9)}), 3, 2, {1, 2, 3, 4, 9, 9});
    EXPECT_TRUE(runMessages.empty());
}

TEST_F(Concatenation, DifferentShapesArePaddedWithZerosAndWarned) {
    EXPECT_MATRIX(Apply(tok::Bar, {MatrixValue(2, 2, {1, 2, 3, 4}), MatrixValue(1, 3, {5, 6, 7})}), 3, 3,
                  {1, 2, 0, 3, 4, 0, 5, 6, 7});
    ASSERT_EQ(runMessages.size(), 1U);
    EXPECT_EQ(runMessages[0], "Warning: concatenation dimensions don't match, padded with zeros");
    ZuVALUE empty{};
    ZuLibValMatMalloc(&empty, 0, 0);
    EXPECT_MATRIX(Apply(tok::Tilde, {empty, MatrixValue(2, 1, {1, 2})}), 2, 1, {1, 2});
    EXPECT_EQ(runMessages.size(), 1U) << "an empty operand is no mismatch";
}

TEST_F(Concatenation, RangesStringsAndArrays) {
    ZuVALUE range{};
    range.t = ZU_RANGE;
    range.w1.i = 2;
    range.w2.i = 4;
    EXPECT_MATRIX(Apply(tok::Tilde, {range, IntValue(0)}), 1, 4, {2, 3, 4, 0});
    EXPECT_EQ(Text(Apply(tok::Tilde, {StringValue("ab"), StringValue("")})), "ab");

    ZuVALUE list{};
    ZuLibValArrayCalloc(&list, 1);
    ZuValSetString(&list.w2.v[0], "x");
    ZuVALUE variable = MatrixValue(1, 1, {5});
    const ZuVALUE& joined = Apply(tok::Tilde, {list, Reference(variable)});
    ASSERT_EQ(joined.t, ZU_ARRAY | ZU_FLAG_VAL);
    ASSERT_EQ(joined.w1.i, 2);
    EXPECT_EQ(Text(joined.w2.v[0]), "x");
    EXPECT_EQ(joined.w2.v[1].t, ZU_MATRIX | ZU_FLAG_VAL);
    EXPECT_NE(joined.w2.v[1].w3.m, variable.w3.m) << "a referenced operand is copied";
    ZuFreeByValue(&variable);
    EXPECT_RUN_ERROR(Apply(tok::Bar, {StringValue("a"), IntValue(1)}), 10);

    ZuVALUE none{};
    ZuLibValArrayCalloc(&none, 0);
    const ZuVALUE& one = Apply(tok::Bar, {none, IntValue(4)});
    ASSERT_EQ(one.w1.i, 1);
    EXPECT_EQ(one.w2.v[0].w1.i, 4);
}

using Unary = zu_test::OperatorTest;

TEST_F(Unary, NegationNotAndSteps) {
    EXPECT_EQ(Apply(tok::UnaryMinus, {IntValue(INT_MIN)}).w1.i, INT_MIN);
    EXPECT_MATRIX(Apply(tok::UnaryMinus, {MatrixValue(1, 2, {1, -2})}), 1, 2, {-1, 2});
    EXPECT_EQ(Apply(tok::Not, {DoubleValue(NAN)}).w1.d, 0.0);
    EXPECT_EQ(Apply(tok::Not, {IntValue(0)}).w1.i, 1);
    EXPECT_MATRIX(Apply(tok::Not, {MatrixValue(1, 3, {0, 2, NAN})}), 1, 3, {1, 0, 0});
    EXPECT_EQ(Apply(tok::PlusPlus, {IntValue(INT_MAX)}).w1.i, INT_MIN);
    EXPECT_MATRIX(Apply(tok::MinusMinus, {MatrixValue(1, 2, {1, 2})}), 1, 2, {0, 1});
    EXPECT_RUN_ERROR(Apply(tok::UnaryMinus, {StringValue("a")}), 10);
    EXPECT_EQ(FirstRunMessage(), "Runtime error: 'Unary - string[1]' bad operand");
}

TEST_F(Unary, TransposeInPlaceOnlyWhenOwnedAndSquare) {
    ZuVALUE owned = MatrixValue(2, 2, {1, 2, 3, 4});
    double** storage = owned.w3.m;
    const ZuVALUE& t = Apply(tok::Quote, {owned});
    EXPECT_EQ(t.w3.m, storage);
    EXPECT_MATRIX(t, 2, 2, {1, 3, 2, 4});
    ZuVALUE variable = MatrixValue(2, 2, {1, 2, 3, 4});
    EXPECT_MATRIX(Apply(tok::DotQuote, {Reference(variable)}), 2, 2, {1, 3, 2, 4});
    EXPECT_MATRIX(variable, 2, 2, {1, 2, 3, 4});
    ZuFreeByValue(&variable);
    EXPECT_MATRIX(Apply(tok::Quote, {MatrixValue(1, 3, {1, 2, 3})}), 3, 1, {1, 2, 3});
    EXPECT_EQ(Apply(tok::Quote, {IntValue(4)}).w1.i, 4);
}

// Shapes beyond one tile of the tiled copies, with partial tiles at the
// edges: owned squares in place, everything else into a new block.
TEST_F(Unary, TransposeOfShapesAcrossTileEdges) {
    for (auto [r, c, owned] :
         {std::tuple{33, 70, true}, {70, 70, true}, {65, 65, false}, {1, 100, true}, {97, 3, false}}) {
        ZuVALUE m{};
        ZuLibValMatMalloc(&m, r, c);
        for (int i = 0; i < r; ++i)
            for (int j = 0; j < c; ++j) m.w3.m[i][j] = i * 1000 + j;
        const ZuVALUE& t = Apply(tok::Quote, {owned ? m : Reference(m)});
        ASSERT_EQ(t.w1.i, c);
        ASSERT_EQ(t.w2.i, r);
        for (int i = 0; i < c; ++i)
            for (int j = 0; j < r; ++j)
                ASSERT_EQ(t.w3.m[i][j], j * 1000 + i) << r << "x" << c << " at " << i << "," << j;
        if (!owned) ZuFreeByValue(&m);
    }
}

using Choice = zu_test::OperatorTest;

TEST_F(Choice, MatrixConditionChoosesElementByElement) {
    EXPECT_MATRIX(Apply(tok::DotQuery, {MatrixValue(1, 3, {1, 0, NAN}), MatrixValue(1, 3, {1, 2, 3}), IntValue(-1)}), 1,
                  3, {1, -1, 3});
    const ZuVALUE& scalar = Apply(tok::DotQuery, {IntValue(0), StringValue("yes"), StringValue("no")});
    EXPECT_EQ(Text(scalar), "no");
    EXPECT_RUN_ERROR(Apply(tok::DotQuery, {MatrixValue(1, 2, {1, 0}), MatrixValue(1, 3, {1, 2, 3}), IntValue(0)}), 10);
}

using Range = zu_test::OperatorTest;

TEST_F(Range, EndsAreTruncatedScalars) {
    const ZuVALUE& r = Apply(tok::Colon, {DoubleValue(1.9), MatrixValue(1, 1, {-2.5})});
    EXPECT_EQ(r.t, ZU_RANGE);
    EXPECT_EQ(r.w1.i, 1);
    EXPECT_EQ(r.w2.i, -2);
    EXPECT_RUN_ERROR(Apply(tok::Colon, {IntValue(1), StringValue("a")}), 45);
    EXPECT_EQ(zu::run::DoOpr(&stack_[0], tok::Index), &stack_[1]);
    EXPECT_EQ(stack_[1].t, ZU_RANGE);
    EXPECT_EQ(stack_[1].w2.i, -256);
}

TEST_F(Range, ShiftOperatorsAreBadOperands) { EXPECT_RUN_ERROR(Apply(tok::ShiftLeft, {IntValue(1), IntValue(2)}), 10); }

using Gauss = zu_test::OperatorTest;

TEST_F(Gauss, FactorialAndStringOperators) {
    EXPECT_MATRIX(Apply(tok::Bang, {MatrixValue(1, 3, {0, 5, 10})}), 1, 3, {1, 120, 3628800});
    EXPECT_TRUE(std::isnan(Apply(tok::Bang, {DoubleValue(2.5)}).w1.d));
    EXPECT_TRUE(std::isnan(Apply(tok::Bang, {IntValue(-1)}).w1.d));
    EXPECT_EQ(Text(Apply(tok::StrJoin, {StringValue("ab"), StringValue("c")})), "abc");
    EXPECT_EQ(Apply(tok::StrNe, {StringValue("a"), StringValue("a")}).w1.i, 0);

    ZuVALUE names{};
    ZuLibValArrayCalloc(&names, 2);
    ZuValSetString(&names.w2.v[0], "b");
    ZuValSetString(&names.w2.v[1], "a");
    EXPECT_MATRIX(Apply(tok::DotStrLt, {names, StringValue("ab")}), 2, 1, {0, 1});
    const ZuVALUE& joined = Apply(tok::StrJoinV, {StringValue("a"), StringValue("b")});
    EXPECT_EQ(joined.t & ZU_TYPE_MASK, ZU_ARRAY);
    EXPECT_EQ(joined.w1.i, 2);
}

}  // namespace
