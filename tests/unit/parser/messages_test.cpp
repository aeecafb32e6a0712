// Parser messages: their texts, what is counted, what warnings do, and
// the declaration rules that raise them.
#include "parse_fixture.h"

#include <string>

using zu::test::ParseTest;

namespace {

TEST_F(ParseTest, MessageTableHoldsEveryCode) {
    EXPECT_EQ(zu::compiler::MessageText(0), "duplicate identifier");
    EXPECT_EQ(zu::compiler::MessageText(57), "elements in a matrix constant must be separated by , or ;");
    EXPECT_EQ(zu::compiler::MessageText(67), "Warning: string longer than 8 characters");
    EXPECT_EQ(zu::compiler::MessageText(68), "nested too deeply");
    for (int code = 0; code <= 68; ++code) EXPECT_FALSE(zu::compiler::MessageText(code).empty()) << code;
    EXPECT_TRUE(zu::compiler::MessageText(69).empty());
}

TEST_F(ParseTest, ExpectedButFoundNamesBothTokens) {
    EXPECT_EQ(compile("f() { return 1 }"), 1);
    EXPECT_TRUE(reported("';' expected but found '}'"));
}

TEST_F(ParseTest, WarningsAreNotCountedAndCanBeSilenced) {
    EXPECT_EQ(compile("f(a) { if (a = 1) ; while (a) ; }"), 0);
    EXPECT_TRUE(reported("Warning: assignment in test expression"));
    EXPECT_TRUE(reported("Warning: isolated ; is empty statement"));
    messages().clear();
    ZuParseWarningLevel(0);
    reopen();
    EXPECT_EQ(compile("f(a) { if (a = 1) ; }"), 0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(ParseTest, FunctionDeclarationRules) {
    EXPECT_EQ(compile("f(a);\n f(const a) { }\n"
                      "g(a) { } g(a) { }\n"
                      "h(...);\n"
                      "k(a, b);\n main() { k(1); sqrt(1, 2); }\n"
                      "extern static x(a);\n"),
              6);
    EXPECT_TRUE(reported("'f' redefinition of argument qualifier"));
    EXPECT_TRUE(reported("'g' duplicate identifier"));
    EXPECT_TRUE(reported("'...' cannot be first formal parameter"));
    EXPECT_TRUE(reported("'k' wrong number of arguments"));
    EXPECT_TRUE(reported("'sqrt' undeclared identifier"));
    EXPECT_TRUE(reported("'static' type specifier unexpected"));
}

TEST_F(ParseTest, VariableArgumentCounts) {
    EXPECT_EQ(compile("v(a, b, ...);\n main() { v(1, 2); v(1, 2, 3, 4); v(1); }"), 1);
    EXPECT_TRUE(reported("'v' wrong number of arguments"));
    const ZuVALUE* v = global("v");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->w1.i, -2);
    EXPECT_STREQ(v->w3.s, "  $v");
}

TEST_F(ParseTest, ClassRules) {
    EXPECT_EQ(compile("class A { decl x = 1; f(); g() { } };\n"
                      "class B : C { };\n"
                      "A::h() { }\n"
                      "A::x() { }\n"
                      "A::f() { } A::f() { }\n"
                      "class S { static decl n; decl m; static Get(); };\n"
                      "S::Get() { return m; }\n"),
              7);
    EXPECT_TRUE(reported("'x' can only initialize static members"));
    EXPECT_TRUE(reported("'g' member function must have definition outside class"));
    EXPECT_TRUE(reported("'C' class expected"));
    EXPECT_TRUE(reported("'h' undeclared member function"));
    EXPECT_TRUE(reported("'x' function member not found"));
    EXPECT_TRUE(reported("'f' member function already defined"));
    EXPECT_TRUE(reported("'m' static member function can only access static members"));
}

TEST_F(ParseTest, ClassLayoutPutsBaseMembersFirst) {
    ASSERT_EQ(compile("class A { decl a1, a2; A(); };\n"
                      "class B : A { decl b1; B(x); ~B(); Run(); };\n"),
              0);
    const ZuVALUE* b = global("B");
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->w1.i, 3);
    EXPECT_STREQ(b->w4.nv[0].name, "a1");
    EXPECT_STREQ(b->w4.nv[2].name, "b1");
    EXPECT_STREQ(b->w5.nv[0].name, "B");
    EXPECT_EQ(b->w5.nv[0].val.w1.i, 3);  // this, $t0 and x
    EXPECT_STREQ(b->w5.nv[0].val.w3.s, "cc $B");
    EXPECT_STREQ(b->w5.nv[1].name, "~B");
    EXPECT_EQ(b->w5.nv[3].name, nullptr);
    EXPECT_EQ(b->w2.i, 0);  // the base class's index
}

TEST_F(ParseTest, LoopAndLabelLimits) {
    std::string deep = "f() { ";
    for (int i = 0; i < 41; ++i) deep += "while (1) ";
    deep += "; }\n g() { :a :a ; }";
    EXPECT_EQ(compile(deep.c_str()), 2);
    EXPECT_TRUE(reported("too many nested loops"));
    EXPECT_TRUE(reported("'a' duplicate label"));
}

TEST_F(ParseTest, NamespacesPrefixTheirNames) {
    EXPECT_EQ(compile("namespace io { decl level = 2; get() { return level; } }\n"
                      "main() { return io::get() + io::level; }\n"
                      "namespace { }\n"
                      "namespace a { namespace b { } }\n"),
              2);
    EXPECT_NE(global("io::level"), nullptr);
    EXPECT_NE(global("io::get"), nullptr);
    EXPECT_TRUE(reported("empty namespaces not supported"));
    EXPECT_TRUE(reported("'b' nested namespaces not supported"));
}

TEST_F(ParseTest, ImportsAndPragmasAreRecorded) {
    ASSERT_EQ(compile("#pragma array_base(1)\n#pragma other(x)\n"
                      "f(x) { return x[1]; }\n"),
              0);
    EXPECT_TRUE(contains("PSH 1"));
    EXPECT_TRUE(contains("OPR 89"));
}

TEST_F(ParseTest, UnusedExternalsLoseTheirNames) {
    ASSERT_EQ(compile("used(x); unused(x); decl g; main() { used(g); }"), 0);
    ZuParseDelUnusedExternals();
    EXPECT_NE(global("used"), nullptr);
    EXPECT_EQ(global("unused"), nullptr);
    EXPECT_NE(global("g"), nullptr);
}

}  // namespace

namespace {

// Untrusted nesting stops the compilation with a message instead of
// exhausting the stack.
TEST_F(ParseTest, DeepNestingIsRefused) {
    const std::string parens = "f() { return " + std::string(20000, '(') + "1" + std::string(20000, ')') + "; }";
    EXPECT_GE(compile(parens.c_str()), 1);
    EXPECT_TRUE(reported("nested too deeply"));
    messages().clear();
    reopen();
    const std::string blocks = "f() " + std::string(20000, '{') + std::string(20000, '}');
    EXPECT_GE(compile(blocks.c_str()), 1);
    EXPECT_TRUE(reported("nested too deeply"));
    messages().clear();
    reopen();
    std::string minus = "const decl X = ";
    for (int i = 0; i < 20000; ++i) minus += "- ";
    minus += "1;";
    EXPECT_GE(compile(minus.c_str()), 1);
    EXPECT_TRUE(reported("nested too deeply"));
    // A nesting real programs use is fine.
    messages().clear();
    reopen();
    const std::string fine = "f() { return " + std::string(50, '(') + "1" + std::string(50, ')') + "; }";
    EXPECT_EQ(compile(fine.c_str()), 0);
}

// An else-if ladder is a list, not nesting: a ladder of any length
// compiles, and each rung picks its own branch.
TEST_F(ParseTest, AnElseIfLadderOfAnyLengthCompiles) {
    std::string ladder = "f(x) { decl r = -1; if (x == 0) r = 0;";
    for (int i = 1; i < 5000; ++i) ladder += " else if (x == " + std::to_string(i) + ") r = " + std::to_string(i) + ";";
    ladder += " else r = -2; return r; }";
    EXPECT_EQ(compile(ladder.c_str()), 0);
    EXPECT_FALSE(reported("nested too deeply"));
}

}  // namespace
