// Conversions: the library conversions and the cast operators.
#include "value/cast.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "value/test_support.h"

namespace {

using namespace zu::value;
using zu_test::DoubleValue;
using zu_test::IntValue;
using zu_test::MatrixValue;
using zu_test::StringValue;

using LibraryConversion = zu_test::ValueTest;

TEST_F(LibraryConversion, FollowsTheCastRules) {
    ZuVALUE v = DoubleValue(2.9);
    EXPECT_TRUE(CastNonNullTo(&v, ZU_INT));
    EXPECT_EQ(v.w1.i, 2);
    EXPECT_TRUE(CastNonNullTo(&v, ZU_DOUBLE));
    EXPECT_EQ(v.w1.d, 2.0);
    EXPECT_TRUE(CastNonNullTo(&v, ZU_MATRIX));
    EXPECT_EQ(v.w3.m[0][0], 2.0);
    EXPECT_TRUE(CastNonNullTo(&v, ZU_INT));  // a 1 x 1 matrix counts as a scalar
    EXPECT_EQ(v.t, ZU_INT);

    // Text and numbers never stand for each other in a library argument.
    ZuVALUE s = StringValue("12");
    EXPECT_TRUE(CastNonNullTo(&s, ZU_STRING));
    EXPECT_FALSE(CastNonNullTo(&s, ZU_MATRIX));
    EXPECT_FALSE(CastNonNullTo(&s, ZU_DOUBLE));
    EXPECT_FALSE(CastNonNullTo(&s, ZU_INT));
    EXPECT_EQ(s.t, ZU_STRING | ZU_FLAG_VAL);
    EXPECT_STREQ(s.w2.s, "12");
    ZuFreeByValue(&s);
    ZuVALUE n = IntValue(65);
    EXPECT_FALSE(CastNonNullTo(&n, ZU_STRING));
    EXPECT_EQ(n.t, ZU_INT);
    EXPECT_EQ(n.w1.i, 65);

    ZuVALUE wide = MatrixValue(1, 2, {1, 2});
    EXPECT_FALSE(CastNonNullTo(&wide, ZU_DOUBLE));
    EXPECT_EQ(wide.t, ZU_MATRIX | ZU_FLAG_VAL);
    ZuFreeByValue(&wide);
}

TEST_F(LibraryConversion, NulEmptyAndSpecialTypes) {
    ZuVALUE null{};
    ZuValSetNull(&null);
    EXPECT_FALSE(CastNonNullTo(&null, ZU_INT));
    ZuVALUE empty{};
    ZuLibValMatMalloc(&empty, 0, 0);
    EXPECT_FALSE(CastNonNullTo(&empty, ZU_MATRIX));
    ZuVALUE array{};
    ZuLibValArrayCalloc(&array, 0);
    EXPECT_FALSE(CastNonNullTo(&array, ZU_ARRAY));
    ZuLibValArrayCalloc(&array, 1);
    EXPECT_TRUE(CastNonNullTo(&array, ZU_ARRAY));
    ZuFreeByValue(&array);
    ZuVALUE f{};
    f.t = ZU_INTFUNC;
    EXPECT_TRUE(CastNonNullTo(&f, ZU_FUNCTION));
    ZuVALUE file{};
    file.t = ZU_FILE;
    EXPECT_FALSE(CastNonNullTo(&file, ZU_FILE));  // not open
    file.w1.p = stdout;
    EXPECT_TRUE(CastNonNullTo(&file, ZU_FILE));
    ZuVALUE nan = DoubleValue(NAN);
    EXPECT_FALSE(CastNonNullTo(&nan, ZU_INT));
}

TEST(DoubleToInt, TruncatesTowardsZeroWithinRange) {
    int i = 0;
    EXPECT_TRUE(DoubleToInt(-2.9, &i));
    EXPECT_EQ(i, -2);
    EXPECT_TRUE(DoubleToInt(2147483647.9, &i));
    EXPECT_EQ(i, INT_MAX);
    EXPECT_TRUE(DoubleToInt(-2147483648.9, &i));
    EXPECT_EQ(i, INT_MIN);
    EXPECT_FALSE(DoubleToInt(2147483648.0, &i));
    EXPECT_FALSE(DoubleToInt(-2147483649.0, &i));
    EXPECT_FALSE(DoubleToInt(INFINITY, &i));
    EXPECT_FALSE(DoubleToInt(NAN, &i));
}

using CastOperators = zu_test::ValueTest;

TEST_F(CastOperators, ToInt) {
    ZuVALUE v = DoubleValue(2.9);
    EXPECT_TRUE(CastToInt(&v));
    EXPECT_EQ(v.w1.i, 2);
    ZuVALUE m = MatrixValue(2, 2, {-7.5, 1, 2, 3});
    EXPECT_TRUE(CastToInt(&m));
    EXPECT_EQ(m.t, ZU_INT);
    EXPECT_EQ(m.w1.i, -7);
    ZuVALUE s = StringValue("\xe9t");
    EXPECT_TRUE(CastToInt(&s));
    EXPECT_EQ(s.w1.i, -23);  // a signed byte
    ZuVALUE empty{};
    ZuLibValMatMalloc(&empty, 0, 0);
    EXPECT_RUN_ERROR(CastToInt(&empty), 45);
    EXPECT_EQ(FirstRunMessage().find("matrix[0][0]") != std::string::npos, true);
    ZuVALUE range{};
    range.t = ZU_RANGE;
    EXPECT_RUN_ERROR(CastToInt(&range), 45);
    ZuVALUE big = DoubleValue(1e10);
    EXPECT_RUN_ERROR(CastToInt(&big), 45);
    EXPECT_EQ(big.w1.d, 1e10);
}

TEST_F(CastOperators, ToDouble) {
    ZuVALUE v = IntValue(-3);
    EXPECT_TRUE(CastToDouble(&v));
    EXPECT_EQ(v.t, ZU_DOUBLE);
    EXPECT_EQ(v.w1.d, -3.0);
    double x = 1.25;
    char bytes[sizeof x];
    std::memcpy(bytes, &x, sizeof x);
    ZuVALUE s{};
    ZuLibValStrMalloc(&s, sizeof x);
    std::memcpy(s.w2.s, bytes, sizeof x);
    EXPECT_TRUE(CastToDouble(&s));
    EXPECT_EQ(s.w1.d, 1.25);
    ZuVALUE shortText = StringValue("A");  // zero-filled to 8 bytes
    EXPECT_TRUE(CastToDouble(&shortText));
    double expected = 0;
    std::memset(&expected, 0, sizeof expected);
    reinterpret_cast<unsigned char*>(&expected)[0] = 'A';
    EXPECT_EQ(std::memcmp(&shortText.w1.d, &expected, sizeof expected), 0);
    ZuVALUE a{};
    ZuLibValArrayCalloc(&a, 1);
    EXPECT_RUN_ERROR(CastToDouble(&a), 46);
    ZuFreeByValue(&a);
}

TEST_F(CastOperators, ToMatrix) {
    ZuVALUE s = StringValue("A");
    EXPECT_TRUE(CastToMatrix(&s));
    EXPECT_EQ(s.w3.m[0][0], 65.0);
    ZuFreeByValue(&s);
    ZuVALUE none = StringValue("");
    EXPECT_TRUE(CastToMatrix(&none));
    EXPECT_EQ(none.w3.m[0][0], 0.0);
    ZuFreeByValue(&none);

    ZuVALUE r{};
    r.t = ZU_RANGE;
    r.w1.i = -1;
    r.w2.i = 2;
    EXPECT_TRUE(CastToMatrix(&r));
    EXPECT_EQ(r.w1.i, 1);
    EXPECT_EQ(r.w2.i, 4);
    EXPECT_EQ(r.w3.m[0][0], -1.0);
    ZuFreeByValue(&r);
    ZuVALUE backwards{};
    backwards.t = ZU_RANGE;
    backwards.w1.i = 5;
    backwards.w2.i = 3;
    EXPECT_TRUE(CastToMatrix(&backwards));
    EXPECT_EQ(ZuValSizerc(&backwards), 0);
    ZuVALUE whole{};
    whole.t = ZU_RANGE;
    whole.w1.i = INT_MIN;
    whole.w2.i = INT_MAX;
    EXPECT_RUN_ERROR(CastToMatrix(&whole), 4);
    EXPECT_EQ(whole.t, ZU_RANGE);

    ZuVALUE null{};
    ZuValSetNull(&null);
    EXPECT_RUN_ERROR(CastToMatrix(&null), 47);
    ZuVALUE f{};
    f.t = ZU_FUNCTION;
    EXPECT_RUN_ERROR(CastToMatrix(&f), 47);
}

TEST_F(CastOperators, ToStringTakesTheBytesWithoutTrailingZeros) {
    ZuVALUE i = IntValue(0x00434241);
    EXPECT_TRUE(CastToString(&i));
    EXPECT_EQ(i.w1.i, 3);
    EXPECT_STREQ(i.w2.s, "ABC");
    ZuFreeByValue(&i);
    ZuVALUE d = DoubleValue(1.25);
    EXPECT_TRUE(CastToString(&d));
    double back = 0;
    std::memcpy(&back, d.w2.s, static_cast<std::size_t>(d.w1.i));
    EXPECT_EQ(back, 1.25);
    EXPECT_EQ(d.w1.i, 8);  // zero bytes inside the text stay
    ZuFreeByValue(&d);
    ZuVALUE zero = IntValue(0);
    EXPECT_TRUE(CastToString(&zero));
    EXPECT_EQ(zero.w1.i, 0);
    ZuFreeByValue(&zero);
    ZuVALUE empty{};
    ZuLibValMatMalloc(&empty, 0, 3);
    EXPECT_RUN_ERROR(CastToString(&empty), 30);
    ZuFreeByValue(&empty);
}

TEST_F(CastOperators, ToArrayWrapsACopyWithoutTheConstantFlag) {
    ZuVALUE s = StringValue("kept");
    ZuVALUE constant = s;
    constant.t = (constant.t & ~ZU_FLAG_VAL) | ZU_FLAG_CON;
    EXPECT_TRUE(CastToArray(&constant));
    EXPECT_EQ(constant.t, ZU_ARRAY | ZU_FLAG_VAL);
    ZuVALUE* element = ZuValGetArrayVal(&constant, 0);
    EXPECT_FALSE(ZuValHasFlag(element, ZU_FLAG_CON));
    EXPECT_NE(ZuValGetString(element), ZuValGetString(&s));
    ZuFreeByValue(&constant);
    ZuVALUE owned = s;  // ownership moves into the element
    EXPECT_TRUE(CastToArray(&owned));
    EXPECT_STREQ(ZuValGetString(ZuValGetArrayVal(&owned, 0)), "kept");
    ZuFreeByValue(&owned);
}

TEST_F(CastOperators, ConversionsOfLibraryCodeAndTheCompiler) {
    ZuVALUE i = IntValue(4);
    EXPECT_TRUE(CastIntToDouble(&i));
    EXPECT_EQ(i.t, ZU_DOUBLE);
    ZuVALUE s = StringValue("x");
    EXPECT_TRUE(CastIntToDouble(&s));
    EXPECT_EQ(s.t, ZU_DOUBLE);
    EXPECT_TRUE(CastScalarToMatrix(&i));
    EXPECT_EQ(i.t, ZU_MATRIX | ZU_FLAG_VAL);
    ZuVALUE text = StringValue("y");
    EXPECT_TRUE(CastScalarToMatrix(&text));
    EXPECT_EQ(text.t, ZU_STRING | ZU_FLAG_VAL);
    ZuFreeByValue(&text);
    EXPECT_TRUE(CastScalarToInt(&i));  // 1 x 1
    EXPECT_EQ(i.w1.i, 4);
    ZuVALUE wide = MatrixValue(2, 1, {1, 2});
    EXPECT_RUN_ERROR(CastScalarToDouble(&wide), 46);
    EXPECT_RUN_ERROR(CastScalarToInt(&wide), 45);
    ZuFreeByValue(&wide);
}

}  // namespace
