// The cast operators, the exported casts and the fast functions.
#include <climits>
#include <cmath>
#include <cstring>

#include "program/tokens.h"
#include "operators/operator_fixture.h"

namespace {

namespace tok = zu::program::tok;
using zu_test::DoubleValue;
using zu_test::IntValue;
using zu_test::MatrixValue;
using zu_test::StringValue;
using Casts = zu_test::OperatorTest;

TEST_F(Casts, IntTruncatesTowardsZero) {
    EXPECT_EQ(Apply(tok::KwInt, {DoubleValue(2.9)}).w1.i, 2);
    EXPECT_EQ(Apply(tok::KwInt, {DoubleValue(-2.9)}).w1.i, -2);
    EXPECT_EQ(Apply(tok::KwInt, {MatrixValue(1, 2, {7.5, 1})}).w1.i, 7);
    EXPECT_EQ(Apply(tok::KwInt, {StringValue("\xff")}).w1.i, -1);  // the first byte, signed
    ZuVALUE range{};
    range.t = ZU_RANGE;
    EXPECT_RUN_ERROR(Apply(tok::KwInt, {range}), 45);
    EXPECT_EQ(FirstRunMessage(), "Runtime error: 'range' cannot cast to int");
}

TEST_F(Casts, StringsAndBytes) {
    const ZuVALUE& s = Apply(tok::KwString, {IntValue(0x4241)});
    EXPECT_EQ(Text(s), "AB");  // trailing zero bytes dropped
    EXPECT_EQ(Apply(tok::KwString, {DoubleValue(1.5)}).w1.i, 8);
    ZuVALUE bytes = stack_[1];  // taken over from the stack
    stack_[1] = ZuVALUE{};
    EXPECT_EQ(Apply(tok::KwDouble, {bytes}).w1.d, 1.5);
    ZuVALUE list{};
    ZuLibValArrayCalloc(&list, 1);
    EXPECT_RUN_ERROR(Apply(tok::KwDouble, {list}), 46);
}

TEST_F(Casts, MatrixOfARangeAndOneByOnes) {
    ZuVALUE range{};
    range.t = ZU_RANGE;
    range.w1.i = 2;
    range.w2.i = 4;
    EXPECT_MATRIX(Apply(tok::KwMatrix, {range}), 1, 3, {2, 3, 4});
    range.w1.i = 3;
    range.w2.i = 1;
    EXPECT_MATRIX(Apply(tok::KwMatrix, {range}), 0, 0, {});
    EXPECT_MATRIX(Apply(173, {IntValue(3)}), 1, 1, {3});
    EXPECT_EQ(Apply(173, {StringValue("a")}).t & ZU_TYPE_MASK, ZU_STRING);
    EXPECT_EQ(Apply(tok::IntToDouble, {IntValue(3)}).t, ZU_DOUBLE);
}

TEST_F(Casts, ArraysWrapAndBraceNests) {
    const ZuVALUE& a = Apply(tok::KwArray, {IntValue(3)});
    ASSERT_EQ(a.t, ZU_ARRAY | ZU_FLAG_VAL);
    EXPECT_EQ(a.w2.v[0].w1.i, 3);
    ZuVALUE inner{};
    ZuLibValArrayCalloc(&inner, 2);
    const ZuVALUE& nested = Apply(tok::RBrace, {inner});
    ASSERT_EQ(nested.w1.i, 1);
    EXPECT_EQ(nested.w2.v[0].w1.i, 2);  // "}" wraps even an array
}

TEST_F(Casts, ExportedScalarCastsRefuseWideMatrices) {
    ZuVALUE wide = MatrixValue(1, 2, {1, 2});
    EXPECT_RUN_ERROR(ZuRunCastToInt(&wide), 45);
    EXPECT_EQ(wide.t & ZU_TYPE_MASK, ZU_MATRIX);
    ZuFreeByValue(&wide);
    ZuVALUE unit = MatrixValue(1, 1, {2.5});
    EXPECT_EQ(ZuRunCastToDouble(&unit), 1);
    EXPECT_EQ(unit.w1.d, 2.5);
    ZuVALUE s = StringValue("A");  // library arguments never read text as a number
    EXPECT_EQ(ZuRunCastNonNullTo(&s, ZU_INT), 0);
    EXPECT_STREQ(s.w2.s, "A");
    ZuFreeByValue(&s);
    ZuVALUE nul{};
    ZuValSetNull(&nul);
    EXPECT_RUN_ERROR(ZuRunCastToMatrix(&nul), 47);
}

using FastFunctions = zu_test::OperatorTest;

TEST_F(FastFunctions, IntsBecomeDoublesExceptAbsAndSmallSquares) {
    stack_[1] = IntValue(32767);
    zu::run::DoFni(&stack_[1], 155);
    EXPECT_EQ(stack_[1].t, ZU_INT);
    EXPECT_EQ(stack_[1].w1.i, 1073676289);
    stack_[1] = IntValue(32768);
    zu::run::DoFni(&stack_[1], 155);
    EXPECT_EQ(stack_[1].t, ZU_DOUBLE);
    EXPECT_EQ(stack_[1].w1.d, 1073741824.0);
    stack_[1] = IntValue(-4);
    zu::run::DoFni(&stack_[1], 146);
    EXPECT_EQ(stack_[1].t, ZU_INT);
    EXPECT_EQ(stack_[1].w1.i, 4);
    stack_[1] = IntValue(4);
    zu::run::DoFni(&stack_[1], 156);
    EXPECT_EQ(stack_[1].w1.d, 2.0);
    stack_[1] = DoubleValue(-2.5);
    zu::run::DoFni(&stack_[1], 151);
    EXPECT_EQ(stack_[1].w1.d, -2.0);
}

TEST_F(FastFunctions, MatricesInPlaceWhenOwnedAndSizesFreeTheArgument) {
    stack_[1] = MatrixValue(1, 2, {1, 4});
    double** storage = stack_[1].w3.m;
    zu::run::DoFni(&stack_[1], 156);
    EXPECT_EQ(stack_[1].w3.m, storage);
    EXPECT_MATRIX(stack_[1], 1, 2, {1, 2});
    zu::run::DoFni(&stack_[1], 142);  // columns
    EXPECT_EQ(stack_[1].t, ZU_INT);
    EXPECT_EQ(stack_[1].w1.i, 2);
    ZuVALUE variable = MatrixValue(1, 2, {0, 0});
    stack_[1] = Reference(variable);
    zu::run::DoFni(&stack_[1], 145);
    EXPECT_MATRIX(stack_[1], 1, 2, {1, 1});
    EXPECT_MATRIX(variable, 1, 2, {0, 0});
    ZuFreeByValue(&variable);
}

TEST_F(FastFunctions, WrongTypeNamesTheFunction) {
    stack_[1] = StringValue("abc");
    EXPECT_RUN_ERROR(zu::run::DoFni(&stack_[1], 149), 14);
    EXPECT_EQ(FirstRunMessage(), "Runtime error: 'DProbNormal(string[3])' wrong type");
    EXPECT_RUN_ERROR(zu::run::DoFni(&stack_[1], 215), 17);
}

// Codes that name no routine (code loaded from a file that was not
// verified, say) stop the run; they are never called.
TEST_F(FastFunctions, CodesWithoutARoutineAreRunTimeErrors) {
    stack_[1] = IntValue(4);
    EXPECT_RUN_ERROR(zu::run::DoFni(&stack_[1], 3), 0);
    EXPECT_EQ(FirstRunMessage(), "Runtime error: 'no routine for fast function code 3' run-time error");
    EXPECT_EQ(stack_[1].w1.i, 4);
    stack_[2] = IntValue(5);
    for (int code : {-1, 0, 1, 33, 255, 100000}) {
        SCOPED_TRACE(code);
        EXPECT_RUN_ERROR(zu::run::DoOpr(&stack_[2], code), 0);
    }
    EXPECT_EQ(stack_[2].w1.i, 5);
}

}  // namespace
