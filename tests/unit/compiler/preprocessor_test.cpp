// The preprocessor: conditional sections, defines, include and import.
#include <gtest/gtest.h>

#include <string>

#include "compiler/scanner_dump.h"
#include "zu.h"

using zu::compiler::testing::ScanOptions;
using zu::compiler::testing::ScanText;
using zu::compiler::testing::ScratchDir;
using zu::compiler::testing::StartScan;
using zu::compiler::testing::Tokens;

namespace {

ScanOptions WithDefines(const char* defines) {
    ScanOptions o;
    o.defines = defines;
    return o;
}

ScanOptions InFile(const std::string& mainName) {
    ScanOptions o;
    o.sourceName = nullptr;
    static std::string held;
    held = mainName;
    o.sourceName = held.c_str();
    return o;
}

}  // namespace

TEST(PreprocessorConditionals, NestedSectionsAndElse) {
    const std::string text =
        "#ifdef A\n a\n #ifdef B\n b\n #else\n nb\n #endif\n"
        "#else\n na\n #ifndef B\n nanb\n #endif\n#endif\n end";
    EXPECT_EQ(Tokens(text, WithDefines("A+B")), "<identifier>(a) <identifier>(b) <identifier>(end)");
    EXPECT_EQ(Tokens(text, WithDefines("A")), "<identifier>(a) <identifier>(nb) <identifier>(end)");
    EXPECT_EQ(Tokens(text), "<identifier>(na) <identifier>(nanb) <identifier>(end)");
    EXPECT_EQ(Tokens(text, WithDefines("B")), "<identifier>(na) <identifier>(end)");
}

TEST(PreprocessorConditionals, DefineAndUndef) {
    EXPECT_EQ(Tokens("#define X\n#ifdef X\nyes\n#endif\n#undef X\n#ifdef X\nno\n#endif"), "<identifier>(yes)");
    // In Zu a define has no value: the rest of its line is ordinary text.
    EXPECT_EQ(Tokens("#define Y 5\nY"), "<int>(5) <identifier>(Y)");
    EXPECT_EQ(Tokens("#  ifndef Q\nq\n#endif"), "<identifier>(q)");
}

TEST(PreprocessorConditionals, Mismatches) {
    auto r = ScanText("a\n#else\n#endif\nb");
    EXPECT_EQ(r.tokens, "<identifier>(a) <identifier>(b)");
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0], "t.zu (2): no matching #if");
    EXPECT_EQ(r.messages[1], "t.zu (3): no matching #if");
    EXPECT_EQ(r.errors, 2);
    // An open section warns at the end but is no error.
    r = ScanText("#ifdef NOTSET\nx\n");
    EXPECT_EQ(r.tokens, "");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "t.zu (3): warning: #if... statement not closed");
    EXPECT_EQ(r.errors, 0);
}

TEST(PreprocessorConditionals, SkippedSectionsHaveNoEffect) {
    auto r = ScanText(
        "#ifdef NOTSET\n#include \"missing.h\"\n#import <missing>\n#define D\n#pragma x\n"
        "#ifdef ALSO\n#endif\n#endif\n#ifdef D\nd\n#endif\nok");
    EXPECT_EQ(r.tokens, "<identifier>(ok)");
    EXPECT_TRUE(r.messages.empty());
}

TEST(PreprocessorDirectives, PragmaAndUnknownWords) {
    EXPECT_EQ(Tokens("#pragma array_base(1)"), "<token>(pragma) <identifier>(array_base) ( <int>(1) )");
    auto r = ScanText("#foo x\n#\ny");
    EXPECT_EQ(r.tokens, "<identifier>(x) <identifier>(y)");
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0], "t.zu (1): 'foo' unrecognized preprocessor directive");
    EXPECT_EQ(r.messages[1], "t.zu (2): '' unrecognized preprocessor directive");
    // ZuGauss directives are unknown in Zu.
    EXPECT_EQ(ScanText("#iflight\n").errors, 1);
}

TEST(PreprocessorDefines, CountAndLimit) {
    StartScan("");
    EXPECT_EQ(IZuScanGetDefineCount(), 0);
    ZuDefine("A+B++C");
    EXPECT_EQ(IZuScanGetDefineCount(), 3);
    ZuDefine("B");  // already there
    EXPECT_EQ(IZuScanGetDefineCount(), 3);
    EXPECT_EQ(IZuScanSetDefineCount(1), 1);
    IZuScanExit();

    std::string names;
    for (int i = 0; i < 256; ++i) names += "N" + std::to_string(i) + "+";
    auto r = ScanText("#define N256\n#ifdef N255\nlast\n#endif\n#ifdef N256\nover\n#endif", WithDefines(names.c_str()));
    EXPECT_EQ(r.tokens, "<identifier>(last)");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "t.zu (1): 'N256' too many #defines");
    EXPECT_EQ(r.errors, 1);
}

TEST(PreprocessorDefines, ExitEmptiesTheTable) {
    StartScan("");
    ZuDefine("KEEP");
    IZuScanExit();
    EXPECT_EQ(Tokens("#ifdef KEEP\nx\n#endif"), "");
}

TEST(PreprocessorInclude, QuotedAngleAndLines) {
    ScratchDir dir;
    dir.Write("a.h", "inA\n$\n");
    dir.Write("sub.h", "inSub");
    const std::string main = dir.path() + "/main.zu";
    ZuSetIncludePath(dir.path().c_str());
    auto r = ScanText("#include \"a.h\"\n#include <sub.h>\nafter $", InFile(main));
    ZuSetIncludePath(nullptr);
    EXPECT_EQ(r.tokens, "<identifier>(inA) <identifier>(inSub) <identifier>(after)");
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0], dir.path() + "/a.h (2): '$' unrecognized");
    EXPECT_EQ(r.messages[1], main + " (3): '$' unrecognized");
}

TEST(PreprocessorInclude, Failures) {
    ScratchDir dir;
    const std::string main = dir.path() + "/main.zu";
    auto r = ScanText("#include \"nothere.h\"\n#include <open\n#include x\nok", InFile(main));
    EXPECT_EQ(r.tokens, "<identifier>(ok)");
    ASSERT_EQ(r.messages.size(), 3u);
    EXPECT_EQ(r.messages[0], main + " (1): 'nothere.h' include file not found");
    EXPECT_EQ(r.messages[1], main + " (2): end of include string missing");
    EXPECT_EQ(r.messages[2], main + " (3): 'x' unrecognized");
    EXPECT_EQ(r.errors, 3);
}

TEST(PreprocessorInclude, TwelfthLevelIsTooDeep) {
    ScratchDir dir;
    dir.Write("self.h", "x\n#include \"self.h\"\n");
    const std::string main = dir.path() + "/main.zu";
    auto r = ScanText("#include \"self.h\"\nend", InFile(main));
    std::string expected;
    for (int i = 0; i < 11; ++i) expected += "<identifier>(x) ";
    EXPECT_EQ(r.tokens, expected + "<identifier>(end)");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], dir.path() + "/self.h (2): 'self.h' include files nested too deeply");
    EXPECT_EQ(r.errors, 1);
}

TEST(PreprocessorImport, GuardExtensionAndMissingHeader) {
    ScratchDir dir;
    dir.Write("mod.h", "header\n");
    const std::string main = dir.path() + "/main.zu";
    ZuSetIncludePath(dir.path().c_str());
    auto r = ScanText(
        "#import <mod>\n#import \"mod\"\n#import <pkg::mod>\n#import <mod.h>\n"
        "#import <gone>\n#import <dir/>\nend",
        InFile(main));
    ZuSetIncludePath(nullptr);
    EXPECT_EQ(r.tokens,
              "<token>(mod) <identifier>(header) <token>(mod) "
              "<token>(pkg::mod) <identifier>(header) "
              "<token>(mod.h) <identifier>(header) <token>(gone) <token>(dir/) "
              "<identifier>(end)");
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0], main + " (4): warning: #import filename has extension");
    EXPECT_EQ(r.messages[1], main + " (5): 'gone' include file not found");
    EXPECT_EQ(r.errors, 0);  // a missing import header is for the linker
}
