// Constant expressions, global initialisers and matrix constants, checked
// through the values the compiler stores.
#include "parse_fixture.h"

#include <cmath>

using zu::test::ParseTest;

namespace {

double at(const ZuVALUE* m, int i, int j) { return m->w3.m[i][j]; }

TEST_F(ParseTest, ArithmeticOverIntsAndDoubles) {
    ASSERT_EQ(compile("const decl A = 2 ^ 3 * 2 - 1;\n"
                      "const decl B = 1 / 2;\n"
                      "const decl C = -2 ^ 2;\n"
                      "const decl D = 2 ^ -1;\n"
                      "const decl E = 2147483647 + 1;\n"
                      "const decl F = 3000000000;\n"
                      "const decl G = (A + 1) * 2.5;\n"
                      "const decl H = 2 ^ 3 ^ 2;\n"),
              0);
    EXPECT_EQ(global("A")->t & ZU_TYPE_MASK, ZU_INT);
    EXPECT_EQ(global("A")->w1.i, 15);
    EXPECT_DOUBLE_EQ(global("B")->w1.d, 0.5);
    EXPECT_EQ(global("C")->w1.i, -4);
    EXPECT_DOUBLE_EQ(global("D")->w1.d, 0.5);
    EXPECT_EQ(global("E")->t & ZU_TYPE_MASK, ZU_DOUBLE);
    EXPECT_DOUBLE_EQ(global("E")->w1.d, 2147483648.0);
    EXPECT_DOUBLE_EQ(global("F")->w1.d, 3e9);
    EXPECT_DOUBLE_EQ(global("G")->w1.d, 40.0);
    EXPECT_EQ(global("H")->w1.i, 64);
}

TEST_F(ParseTest, DivisionByZeroGivesOne) {
    EXPECT_EQ(compile("const decl X = 1 / 0;"), 1);
    EXPECT_TRUE(reported("divide by zero"));
    EXPECT_EQ(global("X")->w1.i, 1);
}

TEST_F(ParseTest, OperandsMustBeConstantNumbers) {
    EXPECT_EQ(compile("decl v = 1; const decl A = v + 1;\n"
                      "const decl B = \"ab\" * 2;\n"
                      "decl m[2.5];\n"
                      "decl n[0];\n"
                      "decl s[2] = \"x\";\n"),
              5);
    EXPECT_TRUE(reported("'v' expression must be constant"));
    EXPECT_TRUE(reported("'*' bad operand"));
    EXPECT_TRUE(reported("constant expression must be integer"));
    EXPECT_TRUE(reported("dimension must be >= 1"));
    EXPECT_TRUE(reported("constant expression must be scalar"));
}

TEST_F(ParseTest, GlobalsWithDimensionsAndValues) {
    ASSERT_EQ(compile("decl a, b = \"text\", m[2][3] = 1.5, v[2], c = .NaN, d = 'a';\n"
                      "enum { ZERO, ONE, TEN = 10, ELEVEN };"),
              0);
    EXPECT_EQ(global("a")->t & ZU_TYPE_MASK, ZU_INT);
    EXPECT_EQ(global("a")->w1.i, 0);
    ASSERT_EQ(global("b")->t & ZU_TYPE_MASK, ZU_STRING);
    EXPECT_EQ(std::string(global("b")->w2.s, 4), "text");
    const ZuVALUE* m = global("m");
    ASSERT_EQ(m->t & ZU_TYPE_MASK, ZU_MATRIX);
    EXPECT_EQ(m->w1.i, 2);
    EXPECT_EQ(m->w2.i, 3);
    EXPECT_EQ(at(m, 1, 2), 1.5);
    EXPECT_EQ(global("v")->w2.i, 1);
    EXPECT_EQ(at(global("v"), 1, 0), 0.0);
    EXPECT_TRUE(std::isnan(global("c")->w1.d));
    EXPECT_EQ(global("d")->w1.i, 97);
    EXPECT_EQ(global("ONE")->w1.i, 1);
    EXPECT_EQ(global("ELEVEN")->w1.i, 11);
    EXPECT_TRUE(global("TEN")->t & ZU_FLAG_CON);
}

TEST_F(ParseTest, ConstantsRedeclaredOnlyWithTheSameValue) {
    EXPECT_EQ(compile("const decl K = 3; const decl K = 3; const decl K = 4;"), 1);
    EXPECT_TRUE(reported("'K' redefinition of constant"));
    EXPECT_EQ(compile("extern decl e = 1;"), 1);
    EXPECT_TRUE(reported("'e' cannot initialize external variable"));
}

TEST_F(ParseTest, MatrixConstantElementForms) {
    ASSERT_EQ(compile("const decl A = <1, 2; 3, 4>;\n"
                      "const decl B = <[3] * 7>;\n"
                      "const decl C = <1 : 4; 4 : 1>;\n"
                      "const decl D = <0 : 1 [0.25]>;\n"
                      "const decl E = <9, [1][2] = 5, 6>;\n"
                      "const decl F = <>;\n"
                      "const decl G = <-1, 2 * 3>;\n"),
              0);
    const ZuVALUE* a = global("A");
    ASSERT_EQ(a->w1.i, 2);
    ASSERT_EQ(a->w2.i, 2);
    EXPECT_EQ(at(a, 1, 0), 3.0);
    const ZuVALUE* b = global("B");
    ASSERT_EQ(b->w2.i, 3);
    EXPECT_EQ(at(b, 0, 2), 7.0);
    const ZuVALUE* c = global("C");
    ASSERT_EQ(c->w1.i, 2);
    ASSERT_EQ(c->w2.i, 4);
    EXPECT_EQ(at(c, 0, 3), 4.0);
    EXPECT_EQ(at(c, 1, 3), 1.0);
    const ZuVALUE* d = global("D");
    ASSERT_EQ(d->w2.i, 5);
    EXPECT_EQ(at(d, 0, 4), 1.0);
    const ZuVALUE* e = global("E");
    ASSERT_EQ(e->w1.i, 2);
    ASSERT_EQ(e->w2.i, 4);
    EXPECT_EQ(at(e, 0, 0), 9.0);
    EXPECT_EQ(at(e, 1, 2), 5.0);
    EXPECT_EQ(at(e, 1, 3), 6.0);
    EXPECT_EQ(at(e, 0, 3), 0.0);
    EXPECT_EQ(global("F")->w1.i, 0);
    EXPECT_EQ(at(global("G"), 0, 1), 6.0);
}

TEST_F(ParseTest, MatrixConstantFaults) {
    EXPECT_EQ(compile("const decl A = <1 : 2 [-1]>;\n"
                      "const decl B = <1 : 5 [0]>;\n"
                      "const decl C = <1 2>;\n"
                      "const decl D = <\"s\">;\n"
                      "const decl E = <[100000000] * 1>;\n"),
              5);
    EXPECT_TRUE(reported("matrix of constant infinite size"));
    EXPECT_TRUE(reported("elements in a matrix constant must be separated by , or ;"));
    EXPECT_TRUE(reported("constant expression must be integer or double"));
}

TEST_F(ParseTest, ConstantArrays) {
    ASSERT_EQ(compile("const decl A = {1, \"two\", <3>, {4}};"), 0);
    const ZuVALUE* a = global("A");
    ASSERT_EQ(a->t & ZU_TYPE_MASK, ZU_ARRAY);
    ASSERT_EQ(a->w1.i, 4);
    EXPECT_EQ(a->w2.v[1].t & ZU_TYPE_MASK, ZU_STRING);
    EXPECT_EQ(a->w2.v[3].w2.v[0].w1.i, 4);
}

}  // namespace
