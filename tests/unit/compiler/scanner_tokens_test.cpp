// The Zu scanner: operators, keywords, names, comments and the implicit
// multiplication after a transpose.
#include <gtest/gtest.h>

#include "compiler/scanner_dump.h"
#include "zu.h"

using zu::compiler::testing::ScanText;
using zu::compiler::testing::Tokens;

TEST(ScannerTokens, NamesOfCodes) {
    EXPECT_STREQ(SZuTokenName(72), "<identifier>");
    EXPECT_STREQ(SZuTokenName(34), "array");
    EXPECT_STREQ(SZuTokenName(168), "namespace");
    EXPECT_STREQ(SZuTokenName(172), "\\");
    EXPECT_STREQ(SZuTokenName(116), "Unary -");
    // Codes shared with ZuGauss words keep their Zu text.
    EXPECT_STREQ(SZuTokenName(33), "&&");
    EXPECT_STREQ(SZuTokenName(77), "**");
    // ZuGauss-only words take theirs from the ZuGauss keyword table.
    EXPECT_STREQ(SZuTokenName(191), "eqv");
    EXPECT_STREQ(SZuTokenName(192), ".eqv");
    EXPECT_STREQ(SZuTokenName(201), ".not");
    EXPECT_STREQ(SZuTokenName(208), ".xor");
    EXPECT_STREQ(SZuTokenName(190), "endp");
    for (int code : {121, 164, 210, 225, 231, 0, 255, -1, 256, 100000})
        EXPECT_STREQ(SZuTokenName(code), "<token>") << code;
}

TEST(ScannerTokens, EveryZuOperatorByLongestMatch) {
    // The dump shows each token by its name, which for operators is the
    // operator itself, so the text must come back unchanged.
    const std::string ops =
        "!= ! & && * *= ** + ++ += - -- -= -> / /= : :: < <= << = == > >= >> "
        "| || |= ~ ~= .* .*= ./ ./= .^ .: .? .' ... .== .!= .&& .|| .> .>= .< "
        ".<= . ( ) ' , ; ? [ ] ^ { } \\";
    EXPECT_EQ(Tokens(ops), ops);
    EXPECT_EQ(Tokens("a+++b"), "<identifier>(a) ++ + <identifier>(b)");
    EXPECT_EQ(Tokens("a->b>>=c"), "<identifier>(a) -> <identifier>(b) >> = <identifier>(c)");
}

TEST(ScannerTokens, UnfinishedDotFormsGiveTheDot) {
    EXPECT_EQ(Tokens(".=x"), ". = <identifier>(x)");
    EXPECT_EQ(Tokens("..x"), ". . <identifier>(x)");
    EXPECT_EQ(Tokens(".&x"), ". & <identifier>(x)");
    EXPECT_EQ(Tokens(".|x .!x"), ". | <identifier>(x) . ! <identifier>(x)");
}

TEST(ScannerTokens, DotOperatorsAfterNamesAndNumbers) {
    EXPECT_EQ(Tokens("a./b"), "<identifier>(a) ./ <identifier>(b)");
    auto r = ScanText("2./b");
    EXPECT_EQ(r.tokens, "<double>(2.) / <identifier>(b)");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "t.zu (1): warning: dot part of number, not dot operator");
    EXPECT_EQ(r.errors, 0);
    r = ScanText("2.5./b 2.^c");
    EXPECT_EQ(r.tokens, "<double>(2.5) ./ <identifier>(b) <double>(2.) ^ <identifier>(c)");
    EXPECT_EQ(r.messages.size(), 1u);  // only for "2.^"
    EXPECT_TRUE(ScanText("2. /b").messages.empty());
}

TEST(ScannerTokens, MultiplicationAfterTranspose) {
    EXPECT_EQ(Tokens("x'y"), "<identifier>(x) ' * <identifier>(y)");
    EXPECT_EQ(Tokens("x'(y)"), "<identifier>(x) ' * ( <identifier>(y) )");
    EXPECT_EQ(Tokens("x' y"), "<identifier>(x) ' * <identifier>(y)");
    EXPECT_EQ(Tokens("x.'this"), "<identifier>(x) .' * this");
    EXPECT_EQ(Tokens("x'+y"), "<identifier>(x) ' + <identifier>(y)");
    EXPECT_EQ(Tokens("x''y"), "<identifier>(x) ' ' * <identifier>(y)");
}

TEST(ScannerTokens, KeywordsAreCaseSensitive) {
    EXPECT_EQ(Tokens("if If while decl namespace"), "if <identifier>(If) while decl namespace");
}

TEST(ScannerTokens, IdentifiersAreCutTo60Characters) {
    const std::string name70(70, 'a');
    EXPECT_EQ(Tokens(name70 + " _b1"), "<identifier>(" + std::string(60, 'a') + ") <identifier>(_b1)");
    auto r = ScanText(std::string(3000, 'z'));
    EXPECT_EQ(r.tokens, "<identifier>(" + std::string(60, 'z') + ")");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "t.zu (1): symbol too long");
    EXPECT_EQ(r.errors, 1);
}

TEST(ScannerTokens, Comments) {
    EXPECT_EQ(Tokens("a /* x /* y */ still comment */ b"), "<identifier>(a) <identifier>(b)");
    EXPECT_EQ(Tokens("a/**/b"), "<identifier>(a) <identifier>(b)");
    EXPECT_EQ(Tokens("a // rest */ of line\nb"), "<identifier>(a) <identifier>(b)");
    EXPECT_EQ(Tokens("a **/ b"), "<identifier>(a) ** / <identifier>(b)");
    auto r = ScanText("a\n/* open\n /* inner */\n\nb");
    EXPECT_EQ(r.tokens, "<identifier>(a)");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "t.zu (2): comment not closed");
    EXPECT_EQ(r.errors, 1);
}

TEST(ScannerTokens, LineNumbersCountNewlinesOnly) {
    auto r = ScanText("a\r\n/* 1\n2 */ b\n\n$");
    EXPECT_EQ(r.tokens, "<identifier>(a) <identifier>(b)");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "t.zu (5): '$' unrecognized");
}

TEST(ScannerTokens, CharactersThatStartNoToken) {
    auto r = ScanText("a @ % $ ` b");
    EXPECT_EQ(r.tokens, "<identifier>(a) <identifier>(b)");
    EXPECT_EQ(r.errors, 4);
    EXPECT_EQ(r.messages[1], "t.zu (1): '%' unrecognized");
    // Ctrl-Z is blank; bytes above 127 are no token either.
    r = ScanText("a\x1a b \xe9 c");
    EXPECT_EQ(r.tokens, "<identifier>(a) <identifier>(b) <identifier>(c)");
    EXPECT_EQ(r.errors, 1);
}

TEST(ScannerTokens, EndOfInputInsideAnOperator) {
    auto r = ScanText("a+");
    EXPECT_EQ(r.tokens, "<identifier>(a) +");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "t.zu (1): unexpected end of file");
    EXPECT_EQ(ScanText("f(a);").errors, 0);
}

TEST(ScannerTokens, MessagesWithoutSourceNameHaveNoLine) {
    zu::compiler::testing::ScanOptions options;
    options.sourceName = nullptr;
    auto r = ScanText("\n$", options);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "'$' unrecognized");
}

TEST(ScannerTokens, SpaceModeReportsBlanks) {
    zu::compiler::testing::StartScan("a  b c");
    ZuSetSpaceMode(1);
    EXPECT_EQ(ZuGetSpaceMode(), 1);
    auto r = zu::compiler::testing::ScanUntilEof();
    EXPECT_EQ(r.tokens, "<identifier>(a) <space> <identifier>(b) <space> <identifier>(c)");
    EXPECT_EQ(ZuGetSpaceMode(), 0);  // IZuScanExit switches it off
}
