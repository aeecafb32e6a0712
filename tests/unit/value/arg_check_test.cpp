// Argument checks and the element-wise wrappers of library routines.
#include <cmath>
#include <string>

#include "value/function_table.h"
#include "value/test_support.h"

namespace {

using zu_test::DoubleValue;
using zu_test::IntValue;
using zu_test::MatrixValue;
using zu_test::StringValue;

class LibraryCall : public zu_test::ValueTest {
protected:
    void SetUp() override {
        ValueTest::SetUp();
        zu::value::SetRunningFunction("fn");
    }
    void TearDown() override {
        for (ZuVALUE& v : args) ZuFreeByValue(&v);
        ZuFreeByValue(&rtn);
        zu::value::SetRunningFunction(nullptr);
        ValueTest::TearDown();
    }
    ZuVALUE args[4] = {};
    ZuVALUE rtn = {ZU_INT, {}, {}, {}, {}, {}};
};

using ArgumentChecks = LibraryCall;

TEST_F(ArgumentChecks, ErrorTexts) {
    EXPECT_RUN_ERROR(ZuLibArgError(0), 37);
    EXPECT_EQ(FirstRunMessage(), "fn(): error in argument 1");
    zu_test::runMessages.clear();
    EXPECT_RUN_ERROR(ZuLibArgTypeError(2, -1, ZU_STRING), 37);
    EXPECT_EQ(FirstRunMessage(), "fn(): type error in argument 3; found: string");
    zu_test::runMessages.clear();
    EXPECT_RUN_ERROR(ZuLibArgTypeError(1, ZU_MATRIX, ZU_ARRAY | ZU_FLAG_ADR), 37);
    EXPECT_EQ(FirstRunMessage(), "fn(): type error in argument 2; expected: matrix, found: address");
}

TEST_F(ArgumentChecks, TypeConvertsInPlaceOrReportsTheFoundSize) {
    args[0] = IntValue(3);
    args[1] = DoubleValue(2.5);
    args[2] = MatrixValue(2, 3, {});
    EXPECT_EQ(ZuLibCheckType(ZU_DOUBLE, args, 0, 1), 1);
    EXPECT_EQ(args[0].t, ZU_DOUBLE);
    EXPECT_EQ(ZuLibCheckType(ZU_MATRIX, args, 0, 2), 1);
    EXPECT_EQ(args[1].w3.m[0][0], 2.5);
    EXPECT_RUN_ERROR(ZuLibCheckType(ZU_DOUBLE, args, 2, 2), 37);
    EXPECT_EQ(FirstRunMessage(), "fn(): type error in argument 3; expected: double, found: matrix[2][3]");
    zu_test::runMessages.clear();
    ZuValSetNull(&args[3]);
    EXPECT_RUN_ERROR(ZuLibCheckType(ZU_INT, args, 3, 3), 37);
    EXPECT_EQ(FirstRunMessage(), "fn(): type error in argument 4; expected: int, found: (null)");
}

TEST_F(ArgumentChecks, SquareAndSizedMatrices) {
    args[0] = MatrixValue(2, 3, {});
    args[1] = IntValue(4);
    EXPECT_EQ(ZuLibCheckSquareMatrix(args, 1, 1), 1);  // becomes 1 x 1
    EXPECT_RUN_ERROR(ZuLibCheckSquareMatrix(args, 0, 1), 40);
    EXPECT_EQ(FirstRunMessage(), "fn(): found matrix[2][3] but expected square matrix in argument 1");
    zu_test::runMessages.clear();
    EXPECT_RUN_ERROR(ZuLibCheckMatrixSize(args, 0, 0, 3, 2), 40);
    EXPECT_EQ(FirstRunMessage(), "fn(): found matrix[2][3] but expected matrix[3][2] in argument 1");
    EXPECT_EQ(ZuLibCheckMatrixSize(args, 0, 0, 2, 3), 1);
    args[2].t = ZU_FUNCTION;  // converts to no matrix (a string would: its first character)
    EXPECT_RUN_ERROR(ZuLibCheckSquareMatrix(args, 2, 2), 37);

    ZuLibValMatMalloc(&args[3], 0, 5);
    EXPECT_EQ(ZuLibCheckMatrixSize(args, 3, 3, 0, 2), 1);  // an empty matrix fits an empty size
    EXPECT_RUN_ERROR(ZuLibCheckMatrixSize(args, 3, 3, 2, 2), 40);
}

TEST_F(ArgumentChecks, AnOutputArgumentMustNotBeAnInput) {
    args[0] = MatrixValue(2, 2, {});
    ZuVALUE target = MatrixValue(1, 1, {});
    args[1].t = ZU_ARRAY | ZU_FLAG_ADR;
    args[1].w1.i = 1;
    args[1].w2.v = &target;
    args[2] = IntValue(7);  // not an address: its word 2 is never followed
    args[2].w2.l = 12345;
    EXPECT_EQ(ZuLibCheckArrayMatrix(args, 1, 2, args[0].w3.m), 1);
    EXPECT_EQ(ZuLibCheckArrayMatrix(args, 1, 2, nullptr), 1);
    EXPECT_RUN_ERROR(ZuLibCheckArrayMatrix(args, 1, 2, target.w3.m), 34);
    args[1] = ZuVALUE{};
    ZuFreeByValue(&target);
}

// Element functions whose results show which operands they received.
double Negate(double x) { return -x; }
double Combine(double x, double y) { return 10 * x + y; }
double Shift(double x, int n) { return x * n; }
double Three(double x, double y, double z) { return 100 * x + 10 * y + z; }
double Four(double x, double y, double z, double w) { return 1000 * x + 100 * y + 10 * z + w; }

using ElementWise = LibraryCall;

TEST_F(ElementWise, OneArgument) {
    args[0] = IntValue(2);
    ZuFnDouble(&rtn, args, Negate);
    EXPECT_EQ(rtn.t, ZU_DOUBLE);
    EXPECT_EQ(rtn.w1.d, -2.0);
    ZuFreeByValue(&args[0]);
    args[0] = MatrixValue(1, 3, {1, 2, 3});
    ZuFnDouble(&rtn, args, Negate);
    EXPECT_EQ(rtn.t, ZU_MATRIX | ZU_FLAG_VAL);
    EXPECT_EQ(rtn.w3.m[0][2], -3.0);
    ZuFreeByValue(&args[0]);
    args[0] = ZuVALUE{};
    args[0].t = ZU_FUNCTION;
    EXPECT_RUN_ERROR(ZuFnDouble(&rtn, args, Negate), 37);
}

TEST_F(ElementWise, TwoArgumentsSpreadScalarsAndOneByOneMatrices) {
    args[0] = MatrixValue(2, 2, {1, 2, 3, 4});
    args[1] = MatrixValue(1, 1, {5});
    ZuFnDouble2(&rtn, args, Combine);
    ASSERT_EQ(ZuValGetMatrc(&rtn), 4);
    EXPECT_EQ(rtn.w3.m[0][0], 15.0);
    EXPECT_EQ(rtn.w3.m[1][1], 45.0);

    ZuFreeByValue(&args[1]);
    args[1] = MatrixValue(2, 2, {5, 6, 7, 8});
    ZuFnDouble2(&rtn, args, Combine);
    EXPECT_EQ(rtn.w3.m[1][0], 37.0);

    ZuFreeByValue(&args[1]);
    args[1] = MatrixValue(3, 3, {});
    EXPECT_RUN_ERROR(ZuFnDouble2(&rtn, args, Combine), 40);
    EXPECT_EQ(FirstRunMessage(), "fn(): found matrix[3][3] but expected matrix[2][2] in argument 2");
}

TEST_F(ElementWise, TwoArgumentsWithAScalarFirst) {
    args[0] = IntValue(1);
    args[1] = MatrixValue(1, 2, {2, 3});
    ZuFnDouble2(&rtn, args, Combine);
    EXPECT_EQ(rtn.w1.i, 1);
    EXPECT_EQ(rtn.w3.m[0][1], 13.0);
    ZuFreeByValue(&args[1]);
    args[1] = IntValue(4);
    ZuFnDouble2(&rtn, args, Combine);
    EXPECT_EQ(rtn.t, ZU_DOUBLE);
    EXPECT_EQ(rtn.w1.d, 14.0);
    ZuFreeByValue(&args[0]);
    args[0] = ZuVALUE{};
    args[0].t = ZU_FUNCTION;
    EXPECT_RUN_ERROR(ZuFnDouble2(&rtn, args, Combine), 11);
    ZuFreeByValue(&args[0]);
    ZuLibValArrayCalloc(&args[0], 1);
    EXPECT_RUN_ERROR(ZuFnDouble2(&rtn, args, Combine), 11);
}

TEST_F(ElementWise, AnIntSecondArgument) {
    args[0] = MatrixValue(1, 2, {1.5, 2});
    args[1] = MatrixValue(1, 2, {2.9, -3.9});
    ZuFnDoubleInt(&rtn, args, Shift);
    EXPECT_EQ(rtn.w3.m[0][0], 3.0);
    EXPECT_EQ(rtn.w3.m[0][1], -6.0);
    args[1].w3.m[0][1] = NAN;
    ZuFreeByValue(&rtn);
    EXPECT_RUN_ERROR(ZuFnDoubleInt(&rtn, args, Shift), 37);
    EXPECT_EQ(FirstRunMessage(), "fn(): error in argument 2");
    EXPECT_FALSE(ZuValHasFlag(&rtn, ZU_FLAG_VAL));  // no result was made
    ZuFreeByValue(&args[1]);
    args[1] = DoubleValue(3.7);
    ZuFnDoubleInt(&rtn, args, Shift);
    EXPECT_EQ(rtn.w3.m[0][0], 4.5);
}

TEST_F(ElementWise, ThreeArguments) {
    args[0] = MatrixValue(1, 2, {1, 2});
    args[1] = MatrixValue(1, 1, {3});  // a 1 x 1 matrix is a scalar here
    args[2] = IntValue(4);
    ZuFnDouble3(&rtn, args, Three);
    EXPECT_EQ(rtn.w3.m[0][1], 234.0);

    ZuFreeByValue(&args[2]);
    args[2] = MatrixValue(1, 2, {5, 6});
    args[1] = DoubleValue(3);  // with another matrix operand it must be one too
    EXPECT_RUN_ERROR(ZuFnDouble3(&rtn, args, Three), 40);
    EXPECT_EQ(FirstRunMessage(), "fn(): found matrix[1][1] but expected matrix[1][2] in argument 2");
    ZuFreeByValue(&args[1]);
    args[1] = MatrixValue(1, 2, {7, 8});
    ZuFnDouble3(&rtn, args, Three);
    EXPECT_EQ(rtn.w3.m[0][0], 175.0);
    EXPECT_EQ(rtn.w3.m[0][1], 286.0);

    ZuFreeByValue(&args[0]);
    args[0] = DoubleValue(9);
    ZuFnDouble3(&rtn, args, Three);
    EXPECT_EQ(rtn.w3.m[0][1], 986.0);
    ZuFreeByValue(&args[2]);
    args[2] = MatrixValue(2, 1, {});
    EXPECT_RUN_ERROR(ZuFnDouble3(&rtn, args, Three), 40);
}

TEST_F(ElementWise, ThreeArgumentsScalarWhenNoMatrix) {
    args[0] = IntValue(1);
    args[1] = MatrixValue(1, 1, {2});
    args[2] = DoubleValue(3);
    ZuFnDouble3(&rtn, args, Three);
    EXPECT_EQ(rtn.t, ZU_DOUBLE);
    EXPECT_EQ(rtn.w1.d, 123.0);
}

TEST_F(ElementWise, FourArguments) {
    args[0] = DoubleValue(1);
    args[1] = MatrixValue(1, 2, {2, 3});
    args[2] = IntValue(4);
    args[3] = MatrixValue(1, 2, {5, 6});
    EXPECT_RUN_ERROR(ZuFnDouble4(&rtn, args, Four), 40);  // 4 becomes 1 x 1, not 1 x 2
    ZuFreeByValue(&args[2]);
    args[2] = MatrixValue(1, 2, {4, 4});
    ZuFnDouble4(&rtn, args, Four);
    EXPECT_EQ(rtn.w3.m[0][1], 1346.0);
    ZuFreeByValue(&args[0]);
    args[0] = MatrixValue(1, 2, {7, 8});
    ZuFnDouble4(&rtn, args, Four);
    EXPECT_EQ(rtn.w3.m[0][0], 7245.0);
}

}  // namespace
