// The scanner in ZuGauss mode: its keywords, operators, comments, strings,
// defines with values, directives and unquoted arguments.
#include <gtest/gtest.h>

#include "compiler/scanner_dump.h"
#include "zu.h"

using zu::compiler::testing::ScanOptions;
using zu::compiler::testing::ScanText;
using zu::compiler::testing::StartScan;

namespace {

ScanOptions Gauss() {
    ScanOptions o;
    o.gauss = true;
    o.sourceName = "t.src";
    return o;
}

std::string GaussTokens(const std::string& text) { return ScanText(text, Gauss()).tokens; }

}  // namespace

TEST(ScannerGauss, KeywordsAndNamesIgnoreCase) {
    EXPECT_EQ(GaussTokens("PROC Foo; ENDP; if x eq y AND NOT z; endif"),
              "proc <identifier>(foo) ; endp ; if <identifier>(x) == <identifier>(y) "
              "&& ! <identifier>(z) ; endif");
    // Zu keywords are names here.
    EXPECT_EQ(GaussTokens("decl class"), "<identifier>(decl) <identifier>(class)");
}

TEST(ScannerGauss, Operators) {
    EXPECT_EQ(GaussTokens("a /= b ^ c .^ d *~ e ;; ! % :: $ ./ ./= .*. .* ' .'"),
              "<identifier>(a) != <identifier>(b) .^ <identifier>(c) .^ <identifier>(d) *~ "
              "<identifier>(e) ;; ! % :: $ ./ .!= ** .* ' .'");
    // No "++", "--", "->" or "&&" in Gauss.
    EXPECT_EQ(GaussTokens("++ -> &&"), "+ + - > & &");
    // A file may end right after ";".
    EXPECT_EQ(ScanText("x;", Gauss()).errors, 0);
}

TEST(ScannerGauss, StringOperatorCodes) {
    StartScan("$+ $~ $| $< $<= $== $>= $> $/= .$< .$<= .$== .$>= .$> .$/= $=x", Gauss());
    for (int code : {210, 211, 212, 220, 221, 222, 223, 224, 225, 226, 227, 228, 229, 230, 231})
        EXPECT_EQ(IZuScanToken(), code);
    // "$=" completes nothing: "$", then "=" is read again.
    EXPECT_EQ(IZuScanToken(), 209);
    EXPECT_EQ(IZuScanToken(), 62);
    EXPECT_EQ(IZuScanToken(), 72);
    EXPECT_EQ(IZuScanExit(), 0);
    ZuSetGaussMode(0);
}

TEST(ScannerGauss, WordOperatorsByFirstLetters) {
    EXPECT_EQ(GaussTokens("a .EQ b .eqv c .ne d .not e .and f .or g .xor h .ge i .gt j .le k .lt l"),
              "<identifier>(a) .== <identifier>(b) .eqv <identifier>(c) .!= <identifier>(d) "
              ".not <identifier>(e) .&& <identifier>(f) .|| <identifier>(g) .xor <identifier>(h) "
              ".>= <identifier>(i) .> <identifier>(j) .<= <identifier>(k) .< <identifier>(l)");
    // The letters after the first are not checked, but a short word does
    // not swallow the character after it.
    EXPECT_EQ(GaussTokens("a .o;"), "<identifier>(a) .|| ;");
    EXPECT_EQ(GaussTokens("x.5 .b"), "<identifier>(x) <double>(.5) . <identifier>(b)");
}

TEST(ScannerGauss, AtComments) {
    EXPECT_EQ(GaussTokens("a @ comment\n over lines @ b @@ c /* zu */ d"),
              "<identifier>(a) <identifier>(b) <identifier>(c) <identifier>(d)");
    auto r = ScanText("a\n@ open\n\nb", Gauss());
    EXPECT_EQ(r.tokens, "<identifier>(a)");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "t.src (2): comment not closed");
}

TEST(ScannerGauss, Strings) {
    EXPECT_EQ(GaussTokens("\"ab\" \"cd\""), "<string>(ab) <string>(cd)");
    EXPECT_EQ(GaussTokens("\"ab\"\\\n \"cd\""), "<string>(abcd)");
    EXPECT_EQ(GaussTokens("\"ab\" \\ x"), "<string>(ab) \\ <identifier>(x)");
    // Newlines stay in the string and are counted.
    auto r = ScanText("\"a\nb\" `", Gauss());
    EXPECT_EQ(r.tokens, "<string>(a\nb)");
    EXPECT_EQ(r.messages.at(0), "t.src (2): '`' unrecognized");
    // Gauss escapes: \g bell, \l line feed, decimal codes, others as such.
    StartScan("\"\\g\\l\\65\\q\\\\\"", Gauss());
    EXPECT_EQ(IZuScanToken(), 85);
    EXPECT_STREQ(SZuScanText(), "\a\nAq\\");
    IZuScanExit();
    ZuSetGaussMode(0);
}

TEST(ScannerGauss, DefinesWithValues) {
    EXPECT_EQ(GaussTokens("#define N 10 + 2\nx = n*N;"),
              "<identifier>(x) = <int>(10) + <int>(2) * <int>(10) + <int>(2) ;");
    // A name read from a value is not expanded again, so defines that
    // name themselves or each other cannot loop.
    EXPECT_EQ(GaussTokens("#define a a+1\na"), "<identifier>(a) + <int>(1)");
    EXPECT_EQ(GaussTokens("#define a b\n#define b a\na;b"), "<identifier>(b) ; <identifier>(a)");
    auto r = ScanText("#define K 1\n#define K 2\n#define K 1\nK", Gauss());
    EXPECT_EQ(r.tokens, "<int>(1)");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "t.src (2): 'K' previously #defined with different value");
    // definecs keeps the case of the name; the scanner lower-cases names.
    EXPECT_EQ(GaussTokens("#definecs Big 7\n#ifdef Big\nBig\n#endif"), "<identifier>(big)");
    EXPECT_EQ(GaussTokens("#define Small 7\n#ifdef SMALL\nsmall\n#endif"), "<int>(7)");
}

TEST(ScannerGauss, Directives) {
    EXPECT_EQ(GaussTokens("#IFUNIX\nu\n#else\nw\n#endif\n#ifdos\nd\n#endif\n"
                          "#iflight\nl\n#endif\n#ifdllcall\nc\n#endif\n#ifreal\nr\n#endif"),
              "<identifier>(u) <identifier>(c) <identifier>(r)");
    EXPECT_EQ(GaussTokens("#lineson;\n#srcline(12) ;\n#linesoff x"), "<identifier>(x)");
}

TEST(ScannerGauss, UnquotedInclude) {
    zu::compiler::testing::ScratchDir dir;
    dir.Write("lib.g", "fromLib");
    ZuSetIncludePath(dir.path().c_str());
    EXPECT_EQ(GaussTokens("#include lib.g;\nnext"), "<identifier>(fromlib) <identifier>(next)");
    ZuSetIncludePath(nullptr);
}

TEST(ScannerGauss, UnquotedArguments) {
    StartScan("  pgraph, other;  a  b\n c;\"q\\t\" rest=x", Gauss());
    EXPECT_EQ(IZuScanUnquotedString(0, 0, ","), 85);
    EXPECT_STREQ(SZuScanText(), "pgraph");
    EXPECT_EQ(IZuScanToken(), 41);
    EXPECT_EQ(IZuScanUnquotedString(0, 0, nullptr), 85);
    EXPECT_STREQ(SZuScanText(), "other");
    EXPECT_EQ(IZuScanToken(), 107);
    // Multi-line: each run of blanks becomes one blank.
    EXPECT_EQ(IZuScanUnquotedString(0, 1, nullptr), 85);
    EXPECT_STREQ(SZuScanText(), "a b c");
    EXPECT_EQ(IZuScanToken(), 107);
    // A quoted argument keeps its backslashes unless asked otherwise.
    EXPECT_EQ(IZuScanUnquotedString(0, 0, nullptr), 85);
    EXPECT_STREQ(SZuScanText(), "q\\t");
    EXPECT_EQ(IZuScanUnquotedString(0, 0, "="), 85);
    EXPECT_STREQ(SZuScanText(), "rest");
    EXPECT_EQ(IZuScanUnquotedString(0, 0, "="), 85);  // a stop first: empty
    EXPECT_STREQ(SZuScanText(), "");
    EXPECT_EQ(IZuScanToken(), 62);
    EXPECT_EQ(IZuScanExtendUnquotedString(0), 1);
    EXPECT_STREQ(SZuScanText(), "=x");
    EXPECT_EQ(IZuScanToken(), 61);
    EXPECT_EQ(IZuScanExit(), 0);
    ZuSetGaussMode(0);
}
