// Arithmetic, the shape rule, comparisons and where results are stored.
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "program/tokens.h"
#include "operators/operator_fixture.h"

namespace {

namespace tok = zu::program::tok;
using zu_test::DoubleValue;
using zu_test::IntValue;
using zu_test::MatrixValue;
using zu_test::runMessages;
using zu_test::StringValue;
using Arithmetic = zu_test::OperatorTest;

TEST_F(Arithmetic, IntsWrapAndDivisionGivesADouble) {
    EXPECT_EQ(Apply(tok::Plus, {IntValue(INT_MAX), IntValue(1)}).w1.i, INT_MIN);
    EXPECT_EQ(Apply(tok::Minus, {IntValue(INT_MIN), IntValue(1)}).w1.i, INT_MAX);
    EXPECT_EQ(Apply(tok::Star, {IntValue(65536), IntValue(65536)}).w1.i, 0);
    const ZuVALUE& q = Apply(tok::Slash, {IntValue(7), IntValue(2)});
    EXPECT_EQ(q.t, ZU_DOUBLE);
    EXPECT_EQ(q.w1.d, 3.5);
    EXPECT_TRUE(std::isinf(Apply(tok::DotSlash, {IntValue(1), IntValue(0)}).w1.d));
    const ZuVALUE& mixed = Apply(tok::Plus, {IntValue(1), DoubleValue(0.5)});
    EXPECT_EQ(mixed.t, ZU_DOUBLE);
    EXPECT_EQ(mixed.w1.d, 1.5);
}

TEST_F(Arithmetic, OneByOneMatrixCountsAsADoubleNextToScalars) {
    const ZuVALUE& sum = Apply(tok::Plus, {MatrixValue(1, 1, {2}), IntValue(3)});
    EXPECT_EQ(sum.t, ZU_DOUBLE);
    EXPECT_EQ(sum.w1.d, 5.0);
    EXPECT_MATRIX(Apply(tok::Plus, {MatrixValue(1, 1, {1}), MatrixValue(1, 2, {1, 2})}), 1, 2, {2, 3});
}

TEST_F(Arithmetic, ShapeRuleRepeatsRowsAndColumns) {
    EXPECT_MATRIX(Apply(tok::Plus, {MatrixValue(3, 1, {10, 20, 30}), MatrixValue(1, 4, {1, 2, 3, 4})}), 3, 4,
                  {11, 12, 13, 14, 21, 22, 23, 24, 31, 32, 33, 34});
    EXPECT_MATRIX(Apply(tok::DotStar, {MatrixValue(2, 2, {1, 2, 3, 4}), MatrixValue(1, 2, {10, 100})}), 2, 2,
                  {10, 200, 30, 400});
    EXPECT_MATRIX(Apply(tok::Minus, {IntValue(1), MatrixValue(1, 2, {1, 2})}), 1, 2, {0, -1});
    EXPECT_MATRIX(Apply(tok::DotSlash, {MatrixValue(1, 2, {1, 2}), DoubleValue(2)}), 1, 2, {0.5, 1});
}

// Every kind of operand pair, in blocks and in matrices whose rows lie
// apart, gives element (i, j) from the elements the shape rule picks.
TEST_F(Arithmetic, ElementLoopsAgreeWithTheShapeRuleForEveryOperandLayout) {
    struct Layout {
        int r, c;
        bool plain;  // rows allocated one by one
    };
    const Layout layouts[] = {{1, 1, false}, {5, 1, false}, {1, 3, false}, {5, 3, false}, {5, 3, true}, {5, 1, true}};
    const auto value = [](int which, int i, int j) { return 1 + which * 100 + i * 10 + j; };
    for (int code : {tok::Plus, tok::DotSlash, tok::DotCaret}) {
        for (const Layout& a : layouts)
            for (const Layout& b : layouts) {
                const int r = std::max(a.r, b.r), c = std::max(a.c, b.c);
                if ((a.r != r && a.r != 1) || (b.r != r && b.r != 1) || (a.c != c && a.c != 1) ||
                    (b.c != c && b.c != 1))
                    continue;
                double** pa = a.plain ? MatAllocPlain(a.r, a.c) : nullptr;
                double** pb = b.plain ? MatAllocPlain(b.r, b.c) : nullptr;
                const auto make = [&](const Layout& l, double** plain, int which) {
                    ZuVALUE v{};
                    if (plain != nullptr) {
                        v.t = ZU_MATRIX;  // a reference: the test frees the rows
                        v.w1.i = l.r;
                        v.w2.i = l.c;
                        v.w3.m = plain;
                    } else {
                        ZuLibValMatMalloc(&v, l.r, l.c);
                    }
                    for (int i = 0; i < l.r; ++i)
                        for (int j = 0; j < l.c; ++j) v.w3.m[i][j] = value(which, i, j);
                    return v;
                };
                ZuVALUE& out = Apply(code, {make(a, pa, 0), make(b, pb, 1)});
                std::vector<double> expected;
                for (int i = 0; i < r; ++i)
                    for (int j = 0; j < c; ++j) {
                        const double x = value(0, a.r == 1 ? 0 : i, a.c == 1 ? 0 : j);
                        const double y = value(1, b.r == 1 ? 0 : i, b.c == 1 ? 0 : j);
                        expected.push_back(code == tok::Plus ? x + y : code == tok::DotSlash ? x / y : std::pow(x, y));
                    }
                if (r * c == 1) {
                    EXPECT_EQ(ZuValType(&out), ZU_DOUBLE);
                } else {
                    EXPECT_EQ(out.w1.i, r);
                    EXPECT_EQ(out.w2.i, c);
                    EXPECT_EQ(Elements(out), expected) << code << " " << a.r << "x" << a.c << (a.plain ? "p" : "")
                                                       << " " << b.r << "x" << b.c << (b.plain ? "p" : "");
                }
                for (ZuVALUE& v : stack_) {
                    ZuFreeByValue(&v);
                    v = ZuVALUE{};
                }
                MatFreePlain(pa, a.r, a.c);
                MatFreePlain(pb, b.r, b.c);
            }
    }
}

TEST_F(Arithmetic, EmptyMatricesAndMismatchedShapes) {
    ZuVALUE empty{};
    ZuLibValMatMalloc(&empty, 0, 0);
    EXPECT_MATRIX(Apply(tok::Plus, {empty, MatrixValue(2, 2, {1, 2, 3, 4})}), 0, 0, {});
    ZuVALUE tall{};
    ZuLibValMatMalloc(&tall, 3, 0);
    EXPECT_MATRIX(Apply(tok::Star, {DoubleValue(2), tall}), 3, 0, {});  // the matrix's own shape

    EXPECT_RUN_ERROR(Apply(tok::Plus, {MatrixValue(2, 3, {1, 2, 3, 4, 5, 6}), MatrixValue(3, 2, {1, 2, 3, 4, 5, 6})}),
                     10);
    EXPECT_EQ(FirstRunMessage(), "Runtime error: 'matrix[2][3] + matrix[3][2]: row counts 2 and 3 do not conform' bad operand");
}

TEST_F(Arithmetic, StringsJoinOnlyUnderPlus) {
    const ZuVALUE& s = Apply(tok::Plus, {StringValue("ab"), StringValue("cd")});
    EXPECT_EQ(s.t, ZU_STRING | ZU_FLAG_VAL);
    EXPECT_EQ(Text(s), "abcd");
    EXPECT_RUN_ERROR(Apply(tok::Minus, {StringValue("ab"), StringValue("cd")}), 10);
    EXPECT_RUN_ERROR(Apply(tok::Slash, {StringValue("ab"), IntValue(2)}), 10);
    EXPECT_EQ(runMessages.back(), "Runtime error: 'string[2] ./ int' bad operand");
    EXPECT_RUN_ERROR(Apply(tok::Plus, {StringValue("ab"), IntValue(1)}), 10);
    EXPECT_EQ(runMessages.back(), "Runtime error: 'string[2] + int' bad operand");
}

TEST_F(Arithmetic, ResultsReuseOwnedStorageAndLeaveReferencesAlone) {
    ZuVALUE owned = MatrixValue(1, 2, {1, 2});
    double** storage = owned.w3.m;
    EXPECT_EQ(Apply(tok::Plus, {owned, IntValue(1)}).w3.m, storage);

    ZuVALUE right = MatrixValue(1, 2, {1, 2});
    double** rightStorage = right.w3.m;
    ZuVALUE variable = MatrixValue(1, 2, {10, 20});
    const ZuVALUE& sum = Apply(tok::Plus, {Reference(variable), right});
    EXPECT_EQ(sum.w3.m, rightStorage);  // the right operand's block became the result
    EXPECT_EQ(stack_[2].t & ZU_TYPE_MASK, ZU_INT);
    EXPECT_MATRIX(sum, 1, 2, {11, 22});
    EXPECT_MATRIX(variable, 1, 2, {10, 20});
    ZuFreeByValue(&variable);
}

TEST_F(Arithmetic, OutOfMemoryLeavesTheOperandsIntact) {
    ZuVALUE variable = MatrixValue(2, 2, {1, 2, 3, 4});
    zu::value::testing::FailAllocationsAfter(0);
    MatCacheFlush();
    EXPECT_RUN_ERROR(Apply(tok::Plus, {Reference(variable), IntValue(1)}), 4);
    zu::value::testing::FailAllocationsAfter(-1);
    EXPECT_MATRIX(variable, 2, 2, {1, 2, 3, 4});
    ZuFreeByValue(&variable);
}

TEST_F(Arithmetic, VectorOperandsAreMaterialisedFirst) {
    ZuVALUE variable = MatrixValue(1, 3, {1, 2, 3});
    ZuVALUE element = Reference(variable);
    element.t = ZU_VECTOR;
    element.w4.i = 1;  // a pending single index
    const ZuVALUE& sum = Apply(tok::Plus, {element, IntValue(1)});
    EXPECT_EQ(sum.t, ZU_DOUBLE);
    EXPECT_EQ(sum.w1.d, 3.0);
    ZuFreeByValue(&variable);
}

TEST_F(Arithmetic, LogicalElementOperators) {
    EXPECT_EQ(Apply(tok::DotAndAnd, {IntValue(2), IntValue(3)}).w1.i, 1);
    EXPECT_EQ(Apply(tok::DotOrOr, {IntValue(0), IntValue(0)}).w1.i, 0);
    EXPECT_MATRIX(Apply(tok::DotAndAnd, {MatrixValue(1, 3, {0, 1, NAN}), IntValue(1)}), 1, 3, {0, 1, 1});
    EXPECT_MATRIX(Apply(tok::GDotXor, {MatrixValue(1, 2, {0, 1}), IntValue(1)}), 1, 2, {1, 0});
    EXPECT_MATRIX(Apply(tok::GDotEqv, {MatrixValue(1, 2, {0, 5}), IntValue(1)}), 1, 2, {0, 1});
}

using Comparison = zu_test::OperatorTest;

TEST_F(Comparison, MatricesCompareInEveryElement) {
    EXPECT_EQ(Apply(tok::Gt, {MatrixValue(1, 2, {1, 2}), IntValue(0)}).w1.i, 1);
    EXPECT_EQ(Apply(tok::Lt, {MatrixValue(1, 2, {1, 2}), IntValue(2)}).w1.i, 0);
    const ZuVALUE& rows = Apply(tok::Ge, {MatrixValue(2, 2, {1, 2, 3, 4}), MatrixValue(1, 2, {1, 2})});
    EXPECT_EQ(rows.t, ZU_INT);
    EXPECT_EQ(rows.w1.i, 1);
    EXPECT_RUN_ERROR(Apply(tok::Eq, {MatrixValue(2, 2, {1, 2, 3, 4}), MatrixValue(1, 3, {1, 2, 3})}), 10);
}

TEST_F(Comparison, NanAndEmptyMatricesAreFalse) {
    EXPECT_EQ(Apply(tok::Ne, {DoubleValue(NAN), DoubleValue(1)}).w1.i, 0);
    EXPECT_EQ(Apply(tok::Eq, {DoubleValue(NAN), DoubleValue(NAN)}).w1.i, 0);
    EXPECT_EQ(Apply(tok::Ne, {MatrixValue(1, 2, {1, NAN}), IntValue(5)}).w1.i, 0);
    ZuVALUE empty{};
    ZuLibValMatMalloc(&empty, 0, 0);
    EXPECT_EQ(Apply(tok::Eq, {empty, MatrixValue(2, 2, {1, 2, 3, 4})}).w1.i, 0);
    const ZuVALUE& dot = Apply(tok::DotNe, {DoubleValue(NAN), DoubleValue(1)});
    EXPECT_EQ(dot.t, ZU_DOUBLE);
    EXPECT_EQ(dot.w1.d, 0.0);
}

TEST_F(Comparison, StringsCompareAsUnsignedBytes) {
    EXPECT_EQ(Apply(tok::Lt, {StringValue(""), StringValue("a")}).w1.i, 1);
    EXPECT_EQ(Apply(tok::Lt, {StringValue("ab"), StringValue("abc")}).w1.i, 1);
    EXPECT_EQ(Apply(tok::Gt, {StringValue("\xff"), StringValue("a")}).w1.i, 1);
    EXPECT_EQ(Apply(tok::Eq, {StringValue(""), StringValue("")}).w1.i, 1);
    const ZuVALUE& dot = Apply(tok::DotLe, {StringValue("b"), StringValue("a")});
    EXPECT_EQ(dot.t, ZU_INT);
    EXPECT_EQ(dot.w1.i, 0);
}

TEST_F(Comparison, ElementComparisonsGiveMatricesOfTheCombinedShape) {
    EXPECT_MATRIX(Apply(tok::DotGt, {MatrixValue(2, 1, {1, 3}), MatrixValue(1, 2, {2, 0})}), 2, 2, {0, 1, 1, 1});
    EXPECT_EQ(Apply(tok::DotEq, {IntValue(2), IntValue(2)}).t, ZU_INT);
}

}  // namespace
