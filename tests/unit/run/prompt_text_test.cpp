// What the interactive prompt makes of typed text: when it waits for more
// lines, what it takes for a definition, and what it echoes.
#include "run/prompt_text.h"

#include <gtest/gtest.h>

namespace {

using namespace zu::run::prompt;

TEST(PromptText, BracketsInStringsAndCommentsDoNotKeepTheTextOpen) {
    EXPECT_EQ(OpenBrackets("f(a) {"), 1);
    EXPECT_EQ(OpenBrackets("x = <1, 2; 3, 4>"), 0);
    EXPECT_EQ(OpenBrackets("m[(1"), 2);
    EXPECT_EQ(OpenBrackets("print(\"(\", \"{\")"), 0);
    EXPECT_EQ(OpenBrackets("print(\"\\\"(\")"), 0);
    EXPECT_EQ(OpenBrackets("x = 1; // (still closed"), 0);
    EXPECT_EQ(OpenBrackets("x = (1 /* ) */"), 1);
    EXPECT_EQ(OpenBrackets("}"), -1);
}

TEST(PromptText, DefinitionsAreFunctionsMembersAndClassesButNotStatements) {
    EXPECT_TRUE(DefinesSomething("twice(a) { return 2 * a; }"));
    EXPECT_TRUE(DefinesSomething("  f ( a, g(b) )\n{"));
    EXPECT_TRUE(DefinesSomething("Counter::add(k) { n += k; }"));
    EXPECT_TRUE(DefinesSomething("class Counter { decl n; };"));
    EXPECT_TRUE(DefinesSomething("enum { RED, GREEN }"));
    EXPECT_FALSE(DefinesSomething("while (1) { i++; }"));
    EXPECT_FALSE(DefinesSomething("if (x) { y = 1; }"));
    EXPECT_FALSE(DefinesSomething("for (i = 0; i < 3; ++i) { }"));
    EXPECT_FALSE(DefinesSomething("f(a);"));
    EXPECT_FALSE(DefinesSomething("x = f(a) + {1};"));
}

TEST(PromptText, OnlyAnExpressionWithoutItsSemicolonIsEchoed) {
    EXPECT_EQ(EchoStatement("x'x\n"), "print(x'x);");
    EXPECT_EQ(EchoStatement("  sumc(<1;2>)  // total\n"), "print(sumc(<1;2>));");
    EXPECT_EQ(EchoStatement("\"a // b\""), "print(\"a // b\");");
    EXPECT_EQ(EchoStatement("x = 3;"), "");
    EXPECT_EQ(EchoStatement("{ x = 3; }"), "");
    EXPECT_EQ(EchoStatement("while (i < 3) i++"), "");
    EXPECT_EQ(EchoStatement("decl y = 2"), "");
    EXPECT_EQ(EchoStatement("  \n"), "");
}

}  // namespace
