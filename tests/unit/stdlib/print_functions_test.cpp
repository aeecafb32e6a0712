// The print family called as the interpreter calls it: argument walks,
// newlines, sprint's buffer, format and the print level.
#include <cstdio>
#include <string>

#include "stdlib/files.h"
#include "stdlib/print_settings.h"
#include "stdlib/routines.h"
#include "stdlib/value_printer.h"
#include "stdlib_fixture.h"

using namespace zu::stdlib;
using zu_stdlib_test::Call;
using zu_stdlib_test::FreeAll;
using zu_stdlib_test::output;
using zu_stdlib_test::StdlibTest;

namespace {

using PrintFunctionsTest = StdlibTest;

TEST_F(PrintFunctionsTest, OptionsApplyToTheNextValueOnly) {
    ZuVALUE args[] = {String("%5.2f"), Double(1),         Double(2),      String("|"),     String("%r"),
                      Strings({"ab"}), Matrix(1, 1, {3}), String("%lwr"), String("%4.0f"), Matrix(2, 2, {1, 2, 3, 4})};
    ZuVALUE rtn = Call(FnPrint, args);
    EXPECT_EQ(rtn.w1.i, 10);
    EXPECT_EQ(output, " 1.002|\nab" + std::string(11, ' ') + "3.0000\n\n   1\n   3   4\n");
    EXPECT_EQ(DidNewline(), 1);
    FreeAll(args);
}

TEST_F(PrintFunctionsTest, PercentStringsAndTrailingOptions) {
    // "%%" prints from its second character; a lone "%" is text; a format
    // with nothing after it prints nothing; "%c" without an array is a format.
    ZuVALUE args[] = {String("%%d"), String("%"), String("%c"), Int(66), String("%8.2f")};
    Call(FnPrint, args);
    EXPECT_EQ(output, "%d%B");
    EXPECT_EQ(DidNewline(), 0);
    FreeAll(args);
}

TEST_F(PrintFunctionsTest, ColumnLabelsAndFormatsFromArrays) {
    ZuVALUE args[] = {String("%c"), Strings({"x", "y"}), String("%cf"), Strings({"%3.0f", "%5.1f"}),
                      Matrix(1, 2, {1, 2})};
    Call(FnPrint, args);
    EXPECT_EQ(output, "\n  x    y\n  1  2.0\n");
    FreeAll(args);
}

TEST_F(PrintFunctionsTest, PrintlnEndsTheLineUnlessAMatrixOrArrayDid) {
    ZuVALUE text[] = {String("a")};
    Call(FnPrintln, text);
    ZuVALUE matrix[] = {Matrix(1, 1, {1})};
    Call(FnPrintln, matrix);
    ZuVALUE scalar[] = {Int(1), Double(0.5)};
    Call(FnPrintln, scalar);
    EXPECT_EQ(output, "a\n\n       1.0000\n10.5\n");
    EXPECT_EQ(DidNewline(), 1);
    ZuVALUE ending[] = {String("b\n")};
    Call(FnPrint, ending);
    EXPECT_EQ(DidNewline(), 1);
    ZuVALUE plain[] = {Int(3)};
    Call(FnPrint, plain);
    EXPECT_EQ(DidNewline(), 0);
    FreeAll(text);
    FreeAll(matrix);
    FreeAll(ending);
}

TEST_F(PrintFunctionsTest, SprintReturnsTheTextAndReportsOverflow) {
    ZuVALUE args[] = {String("%d"), Double(2.7), String(" and "), Double(0.5)};
    ZuVALUE s = Call(FnSprint, args);
    ASSERT_EQ(ZuValType(&s), ZU_STRING);
    EXPECT_EQ(std::string(s.w2.s, static_cast<std::size_t>(s.w1.i)), "3 and 0.5");
    EXPECT_TRUE(output.empty());
    ZuFreeValue(&s);

    ZuVALUE size[] = {Int(4)};
    Call(FnSprintbuffer, size);
    ZuVALUE longer[] = {String("abcdefgh")};
    s = Call(FnSprint, longer);
    EXPECT_EQ(std::string(s.w2.s, static_cast<std::size_t>(s.w1.i)), "abc");
    EXPECT_EQ(FirstRunMessage(), "sprint(): string buffer length exceeded");
    ZuFreeValue(&s);
    FreeAll(args);
    FreeAll(longer);
}

TEST_F(PrintFunctionsTest, SprintbufferRefusesSizesOutOfRange) {
    ZuVALUE zero[] = {Int(0)};
    EXPECT_RUN_ERROR(Call(FnSprintbuffer, zero), 37);
    ZuVALUE huge[] = {Int(kMaxSprintBuffer + 1)};
    EXPECT_RUN_ERROR(Call(FnSprintbuffer, huge), 37);
    ZuVALUE text[] = {Strings({"x"})};
    EXPECT_RUN_ERROR(Call(FnSprintbuffer, text), 37);
    FreeAll(text);
}

TEST_F(PrintFunctionsTest, FormatChangesTheDefaults) {
    ZuVALUE fixed[] = {String("%8.3f")};
    Call(FnFormat, fixed);
    EXPECT_EQ(Settings().fieldWidth, 8);
    EXPECT_EQ(ValueText(Double(1.5)), "   1.500");
    ZuVALUE m = Matrix(1, 1, {2});
    EXPECT_EQ(ValueText(m), "\n   2.000\n");
    ZuVALUE intFormat[] = {String("<%d>")};
    Call(FnFormat, intFormat);
    EXPECT_EQ(ValueText(Int(5)), "<5>");
    EXPECT_EQ(ValueText(Double(1.5)), "   1.500");
    // Other formats change nothing.
    ZuVALUE other[] = {String("%s %n")};
    Call(FnFormat, other);
    EXPECT_EQ(ValueText(Int(5)), "<5>");
    ZuVALUE width[] = {Int(20)};
    Call(FnFormat, width);
    EXPECT_EQ(Settings().lineWidth, 20);
    ZuVALUE bad[] = {Matrix(2, 2)};
    EXPECT_RUN_ERROR(Call(FnFormat, bad), 37);
    ZuFreeValue(&m);
    FreeAll(fixed);
    FreeAll(intFormat);
    FreeAll(other);
    FreeAll(bad);
}

TEST_F(PrintFunctionsTest, PrintLevelZeroSilencesTheConsoleButNotTheLog) {
    ZuVALUE zero[] = {Int(0)};
    Call(FnZuprintlevel, zero);
    EXPECT_EQ(ZuGetPrintlevel(), 0);
    std::FILE* log = std::tmpfile();
    SetPrintLog(log);
    ZuVALUE args[] = {String("quiet")};
    Call(FnPrint, args);
    EXPECT_TRUE(output.empty());
    std::rewind(log);
    char text[16] = {};
    ASSERT_NE(std::fgets(text, sizeof text, log), nullptr);
    EXPECT_STREQ(text, "quiet");
    SetPrintLog(nullptr);  // closes it
    // Level 2 cannot be changed this way.
    ZuSetPrintlevel(2);
    ZuVALUE one[] = {Int(1)};
    Call(FnZuprintlevel, one);
    EXPECT_EQ(ZuGetPrintlevel(), 2);
    FreeAll(args);
}

TEST_F(PrintFunctionsTest, FprintWritesToTheFileOfItsFirstArgument) {
    std::FILE* f = std::tmpfile();
    ZuVALUE file{};
    OpenFile& opened = AddOpenFile(&file, f, kFileOpened | kFileRead | kFileWrite);
    ZuVALUE args[] = {file, String("%m"), Matrix(1, 2, {1, 2}), Int(3)};
    Call(FnFprintln, args);
    std::rewind(f);
    std::string text;
    for (int ch = std::fgetc(f); ch != EOF; ch = std::fgetc(f)) text += static_cast<char>(ch);
    EXPECT_EQ(text, "1 2\n    1.0000000000000000e+00    2.0000000000000000e+00\n3\n");
    EXPECT_TRUE(output.empty());
    (void)CloseOpenFile(opened);
    ZuVALUE notFile[] = {Int(1), Int(2)};
    EXPECT_RUN_ERROR(Call(FnFprint, notFile), 37);
    FreeAll(args);
}

TEST_F(PrintFunctionsTest, ACharacterZeroDoesNotCutOffTheRest) {
    ZuVALUE args[] = {String("%c"), Int(0), String("after")};
    Call(FnPrint, args);
    EXPECT_EQ(output, "after");
    FreeAll(args);
}

TEST_F(PrintFunctionsTest, HostileFormatsPrintSafely) {
    const std::string wide = "%" + std::string(50, '9') + "d";
    ZuVALUE args[] = {String("%n%n%n%s%s"), Int(1),    String(wide.c_str()),     Int(2),
                      String("%*.*f"),      Double(1), String("%.99999999999e"), Double(1)};
    Call(FnPrint, args);
    EXPECT_EQ(output.substr(0, 11), "1" + std::string(10, ' '));
    EXPECT_NE(output.find("2"), std::string::npos);
    EXPECT_LT(output.size(), 4000u);
    FreeAll(args);
}

}  // namespace
