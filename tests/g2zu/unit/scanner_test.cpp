// The Gauss scanner: the token stream for the forms a translator relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture.h"
#include "messages.h"
#include "scanner.h"

using namespace g2zu;
using g2zu_test::Capture;
using g2zu_test::TempFile;

namespace {

struct Scanned {
    std::vector<Token> tokens;
    std::string messages;
    int errors = 0;
};

Scanned scan(const std::string& text, bool line_mode = false) {
    TempFile file("scanner_test.src", text);
    Capture user;
    Messages messages(user.file());
    Scanner in(messages, nullptr);
    EXPECT_TRUE(in.open(file.name()));
    messages.set_where(&in);
    in.set_line_mode(line_mode);
    Scanned s;
    for (int guard = 0; guard < 1000; ++guard) {
        Token t = in.next();
        if (t.code == Tok::Eof) break;
        s.tokens.push_back(t);
    }
    s.messages = user.text();
    s.errors = messages.errors();
    return s;
}

std::vector<Tok> codes(const Scanned& s) {
    std::vector<Tok> c;
    for (const Token& t : s.tokens) c.push_back(t.code);
    return c;
}

}  // namespace

TEST(Scanner, WordsAreLowerCasedAndClassified) {
    Scanned s = scan("Print XY_1 AND .EQ endP tooLong");
    ASSERT_EQ(s.tokens.size(), 6u);
    EXPECT_EQ(s.tokens[0].code, Tok::Print);
    EXPECT_EQ(s.tokens[1].code, Tok::Ident);
    EXPECT_EQ(s.tokens[1].text, "xy_1");
    EXPECT_EQ(s.tokens[2].code, Tok::And);
    EXPECT_EQ(s.tokens[3].code, Tok::DotEq);
    EXPECT_EQ(s.tokens[4].code, Tok::Endp);
    EXPECT_EQ(s.errors, 0);
}

TEST(Scanner, LongIdentifiersAreCutAndReported) {
    Scanned s = scan(std::string(70, 'a'));
    ASSERT_EQ(s.tokens.size(), 1u);
    EXPECT_EQ(s.tokens[0].text.size(), kNameLimit);
    EXPECT_EQ(s.errors, 1);
    EXPECT_NE(s.messages.find("symbol too long"), std::string::npos);
}

TEST(Scanner, DotsStartNumbersOperatorsOrStandAlone) {
    Scanned s = scan("x[.,1] .5 a.*b a.*.b .foo ./= .'");
    std::vector<Tok> want = {Tok::Ident,  Tok::LBracket, Tok::Dot,        Tok::Comma,   Tok::Integer, Tok::RBracket,
                             Tok::Double, Tok::Ident,    Tok::DotStar,    Tok::Ident,   Tok::Ident,   Tok::DotStarDot,
                             Tok::Ident,  Tok::DotWord,  Tok::DotSlashEq, Tok::DotQuote};
    EXPECT_EQ(codes(s), want);
    EXPECT_EQ(s.tokens[13].text, ".foo");
}

TEST(Scanner, NumbersOfEveryForm) {
    Scanned s = scan("12 1.5 1e5 2D-3 3. 4i 0x1F 0vff");
    ASSERT_EQ(s.tokens.size(), 8u);
    EXPECT_EQ(s.tokens[0].code, Tok::Integer);
    EXPECT_EQ(s.tokens[1].code, Tok::Double);
    EXPECT_EQ(s.tokens[2].text, "1e5");
    EXPECT_EQ(s.tokens[3].text, "2e-3");
    EXPECT_EQ(s.tokens[4].text, "3.");
    EXPECT_EQ(s.tokens[5].code, Tok::Complex);
    EXPECT_EQ(s.tokens[6].code, Tok::Integer);
    EXPECT_EQ(s.tokens[6].text, "31");
    EXPECT_EQ(s.tokens[7].code, Tok::HexDouble);
    EXPECT_EQ(s.tokens[7].text, "ff");
    EXPECT_EQ(s.errors, 0);
}

TEST(Scanner, NumberBeforeDotOperatorKeepsTheDotWithAWarning) {
    Scanned s = scan("2./x 1.==y");
    std::vector<Tok> want = {Tok::Double, Tok::Slash, Tok::Ident, Tok::Integer, Tok::DotEqEq, Tok::Ident};
    EXPECT_EQ(codes(s), want);
    EXPECT_NE(s.messages.find("warning: dot part of number"), std::string::npos);
    EXPECT_EQ(s.errors, 0);  // the warning is not counted
}

TEST(Scanner, BadNumbersAreReported) {
    EXPECT_EQ(scan("0x12G4").errors, 1);
    EXPECT_EQ(scan("12abc").errors, 1);
    Scanned truncated = scan("0x123456789");
    EXPECT_EQ(truncated.errors, 1);
    EXPECT_EQ(truncated.tokens[0].text, "305419896");
}

TEST(Scanner, StringsKeepEscapesAndJoinAfterABackslash) {
    Scanned s = scan("\"a\\lb\\gc\\td\\\"e\" \"one\"\\\n  \"two\"");
    ASSERT_EQ(s.tokens.size(), 2u);
    EXPECT_EQ(s.tokens[0].text, "a\\nb\\ac\\td\\\"e");
    EXPECT_EQ(s.tokens[1].text, "onetwo");
    EXPECT_EQ(s.errors, 0);
}

TEST(Scanner, StringErrors) {
    Scanned open = scan("\"no end\nx");
    EXPECT_EQ(open.errors, 1);
    EXPECT_NE(open.messages.find("ending \" missing"), std::string::npos);
    ASSERT_EQ(open.tokens.size(), 2u);       // the next line is read as usual
    EXPECT_EQ(scan("\"a\"\\ x").errors, 1);  // no literal after the backslash
}

TEST(Scanner, CommentsAreSkippedOrBecomeFlatRuns) {
    EXPECT_TRUE(codes(scan("/* a /* b */ c */ @ d @")).empty());
    Scanned s = scan("/* a /* b */ c */@ x */ y @", true);
    ASSERT_EQ(s.tokens.size(), 2u);
    EXPECT_EQ(s.tokens[0].text, "/* a *//* b *//* c */");
    EXPECT_EQ(s.tokens[1].text, "/* x * / y */");
}

TEST(Scanner, UnclosedCommentIsReported) {
    Scanned s = scan("x /* never closed");
    EXPECT_EQ(s.errors, 1);
    EXPECT_NE(s.messages.find("comment not closed"), std::string::npos);
}

TEST(Scanner, LineModeGivesBlanksNewlinesAndComments) {
    Scanned s = scan("a  b\n/*c*/", true);
    std::vector<Tok> want = {Tok::Ident, Tok::Whitespace, Tok::Ident, Tok::Newline, Tok::Comment};
    EXPECT_EQ(codes(s), want);
}

TEST(Scanner, UnrecognizedCharactersAreSkipped) {
    Scanned s = scan("a \x01 b");
    EXPECT_EQ(s.tokens.size(), 2u);
    EXPECT_EQ(s.errors, 1);
}

TEST(Scanner, RewindReturnsToTheMarkWithoutRepeatingMessages) {
    TempFile file("scanner_mark.src", "a = 2./b;\nc;");
    Capture user;
    Messages messages(user.file());
    Scanner in(messages, nullptr);
    ASSERT_TRUE(in.open(file.name()));
    messages.set_where(&in);
    EXPECT_EQ(in.peek().code, Tok::Ident);
    Scanner::Mark m = in.mark();
    while (in.next().code != Tok::Eof) {}
    EXPECT_EQ(in.line(), 2);
    in.rewind(m);
    EXPECT_EQ(in.line(), 1);
    EXPECT_EQ(in.next().text, "a");
    EXPECT_EQ(in.next().code, Tok::Assign);
    EXPECT_EQ(in.next().text, "2.");
    std::string text = user.text();
    EXPECT_EQ(text.find("warning"), text.rfind("warning"));  // written once
}

TEST(Scanner, RawTextStartsAtAPeekedToken) {
    TempFile file("scanner_raw.src", "key c:\\dir\\file more;\nnext");
    Capture user;
    Messages messages(user.file());
    Scanner in(messages, nullptr);
    ASSERT_TRUE(in.open(file.name()));
    EXPECT_EQ(in.next().text, "key");
    EXPECT_EQ(in.peek().text, "c");
    EXPECT_EQ(in.read_raw(";", false), "c:\\dir\\file more");
    EXPECT_EQ(in.next().code, Tok::Semicolon);
    EXPECT_EQ(in.next().text, "next");
}

TEST(Scanner, ExpectAndSkipReportWhatTheyMiss) {
    TempFile file("scanner_expect.src", "a b");
    Capture user;
    Messages messages(user.file());
    Scanner in(messages, nullptr);
    ASSERT_TRUE(in.open(file.name()));
    messages.set_where(&in);
    EXPECT_FALSE(in.expect(Tok::Semicolon));
    EXPECT_EQ(in.next().text, "a");  // not consumed
    EXPECT_FALSE(in.skip_to(Tok::Semicolon));
    EXPECT_EQ(messages.errors(), 2);
    std::string text = user.text();
    EXPECT_NE(text.find("';' expected but found 'a'"), std::string::npos);
    EXPECT_NE(text.find("';' did not find"), std::string::npos);
}
