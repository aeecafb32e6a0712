// Number, string and character literals of the Zu scanner.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "compiler/scanner.h"
#include "compiler/scanner_dump.h"
#include "zu.h"

using zu::compiler::testing::ScanText;
using zu::compiler::testing::StartScan;
using zu::compiler::testing::Tokens;

TEST(ScannerNumbers, DecimalForms) {
    EXPECT_EQ(Tokens("0 12 1. 1.5 .5 1e3 1.5E-3 2d+4 1.e2"),
              "<int>(0) <int>(12) <double>(1.) <double>(1.5) <double>(.5) <double>(1e3) "
              "<double>(1.5E-3) <double>(2d+4) <double>(1.e2)");
    // Too large for an int: the parser turns the text into a double.
    EXPECT_EQ(Tokens("3000000000"), "<int>(3000000000)");
}

TEST(ScannerNumbers, ComplexLiterals) {
    EXPECT_EQ(Tokens("1.5e-3i 12i 1e3I"), "<complex double>(1.5e-3) <complex double>(12) <complex double>(1e3)");
    // After a fraction without exponent the "i" is a name of its own.
    EXPECT_EQ(Tokens("1.5i"), "<double>(1.5) <identifier>(i)");
}

TEST(ScannerNumbers, BadRunsAndExponents) {
    auto r = ScanText("12abc");
    EXPECT_EQ(r.tokens, "");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "t.zu (1): '12abc' unrecognized");
    r = ScanText("1e+x 1ex 2e");
    EXPECT_EQ(r.errors, 3);
    EXPECT_EQ(r.messages[0], "t.zu (1): '1e+x' error in double constant");
    EXPECT_EQ(r.messages[1], "t.zu (1): '1ex' error in double constant");
}

TEST(ScannerNumbers, HexIntegers) {
    EXPECT_EQ(Tokens("0x7fffffff 0xFFFFFFFF 0X10 0x0"), "<int>(2147483647) <int>(-1) <int>(16) <int>(0)");
    auto r = ScanText("0x123456789");
    EXPECT_EQ(r.tokens, "<int>(305419896)");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "t.zu (1): hexadecimal constant truncated");
    EXPECT_EQ(r.errors, 1);
    r = ScanText("0x1g");
    EXPECT_EQ(r.messages.at(0), "t.zu (1): error in hexadecimal constant");
}

TEST(ScannerNumbers, HexDoubles) {
    StartScan("0x.3ff0000000000000 0v3ff0000000000000 0x.3ff 0V.4");
    EXPECT_EQ(IZuScanToken(), 83);
    EXPECT_STREQ(SZuScanText(), "3ff0000000000000");
    EXPECT_EQ(zu::compiler::HexDoubleValue(SZuScanText()), 1.0);
    EXPECT_EQ(IZuScanToken(), 83);
    EXPECT_STREQ(SZuScanText(), "0x3ff0000000000000");
    EXPECT_EQ(zu::compiler::HexDoubleValue(SZuScanText()), 1.0);
    EXPECT_EQ(IZuScanToken(), 83);
    // Fewer digits are the low end of the pattern.
    const double small = zu::compiler::HexDoubleValue(SZuScanText());
    std::uint64_t bits = 0;
    std::memcpy(&bits, &small, sizeof bits);
    EXPECT_EQ(bits, 0x3ffu);
    EXPECT_EQ(IZuScanToken(), 83);
    EXPECT_STREQ(SZuScanText(), "4");
    EXPECT_EQ(IZuScanToken(), 61);
    EXPECT_EQ(IZuScanExit(), 0);
}

TEST(ScannerNumbers, HexDoubleErrors) {
    // Each digit beyond 16 is reported and dropped.
    auto r = ScanText("0x.3ff000000000000012");
    EXPECT_EQ(r.tokens, "<hex double>(3ff0000000000000)");
    EXPECT_EQ(r.errors, 2);
    r = ScanText("0x.;");
    EXPECT_EQ(r.tokens, "<hex double>() ;");
    EXPECT_EQ(r.messages.at(0), "t.zu (1): error in hexadecimal constant");
    // "0x" without digits or dot: the error and the text unrecognized.
    r = ScanText("0x;");
    EXPECT_EQ(r.tokens, ";");
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0], "t.zu (1): error in hexadecimal constant");
    EXPECT_EQ(r.messages[1], "t.zu (1): '0x' unrecognized");
}

TEST(ScannerStrings, EscapesAndJoining) {
    StartScan("\"a\\tb\\x41\\101\\q\\\"\\\\\\n\"");
    EXPECT_EQ(IZuScanToken(), 85);
    EXPECT_STREQ(SZuScanText(), "a\tbAA\\q\"\\\n");
    IZuScanExit();
    EXPECT_EQ(Tokens("\"ab\" \"cd\""), "<string>(abcd)");
    EXPECT_EQ(Tokens("\"ab\"\n  /* c */ // d\n \"cd\" x"), "<string>(abcd) <identifier>(x)");
    EXPECT_EQ(Tokens("\"ab\" + \"cd\""), "<string>(ab) + <string>(cd)");
    EXPECT_EQ(Tokens("\"a/*b*/c\""), "<string>(a/*b*/c)");
}

TEST(ScannerStrings, EscapesOff) {
    StartScan("\"a\\tb\"");
    ZuEscSeqOff();
    EXPECT_EQ(IZuScanToken(), 85);
    EXPECT_STREQ(SZuScanText(), "a\\tb");
    ZuEscSeqOn();
    IZuScanExit();
}

TEST(ScannerStrings, Errors) {
    auto r = ScanText("\"ab\ncd\"");
    // The string ends at the newline; what follows is scanned again.
    EXPECT_EQ(r.tokens.substr(0, 14), "<string>(ab) <");
    EXPECT_EQ(r.messages.at(0), "t.zu (1): ending \" missing for string literal");
    r = ScanText("\"\\xg\"");
    EXPECT_EQ(r.tokens, "<string>(g)");
    EXPECT_EQ(r.messages.at(0), "t.zu (1): error in escape sequence");
    r = ScanText("\"abc");
    EXPECT_EQ(r.tokens, "<string>(abc)");
    EXPECT_EQ(r.messages.at(0), "t.zu (1): unexpected end of file");
    // Interactive lines do not look for a string on the next line.
    zu::compiler::testing::ScanOptions interactive;
    interactive.interactive = true;
    EXPECT_EQ(Tokens("\"ab\" \"cd\"", interactive), "<string>(ab) <string>(cd)");
}

TEST(ScannerStrings, LengthLimit) {
    auto r = ScanText("\"" + std::string(2000, 'a') + "\" \"" + std::string(100, 'b') + "\"");
    EXPECT_EQ(r.tokens, "<string>(" + std::string(2000, 'a') + std::string(47, 'b') + ")");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "t.zu (1): symbol too long");
}

TEST(ScannerStrings, CharacterLiterals) {
    StartScan("'a' '\\n' '\\101' 'a' x 'ab'");
    const char* expected[] = {"97", "10", "65", "97"};
    for (const char* text : expected) {
        ASSERT_EQ(IZuScanToken(), 115);
        EXPECT_EQ(IZuScanGetSingleQuotedString(), 84);
        EXPECT_STREQ(SZuScanText(), text);
    }
    EXPECT_EQ(IZuScanToken(), 72);  // no "*" after a character literal
    EXPECT_STREQ(SZuScanText(), "x");
    ASSERT_EQ(IZuScanToken(), 115);
    EXPECT_EQ(IZuScanGetSingleQuotedString(), 84);
    // The "b" stood where the closing quote belongs and was consumed, so
    // the last quote is a token of its own.
    EXPECT_EQ(IZuScanToken(), 115);
    EXPECT_EQ(IZuScanToken(), 61);
    EXPECT_EQ(IZuScanExit(), 1);
    EXPECT_EQ(zu::compiler::testing::CapturedMessages().at(0), "t.zu (1): ending ' missing for character literal");
}
