#include "console_capture.h"

#include <string>

using zu::test::captured;
using zu::test::ConsoleTest;

TEST_F(ConsoleTest, PipeCapacitiesFollowTheRequest) {
    SetZuPipe(0);
    EXPECT_EQ(GetZuPipeLength(), 4096);
    ASSERT_NE(GetZuPipe(), nullptr);
    EXPECT_STREQ(GetZuPipe(), "");
    SetZuPipe(100);
    EXPECT_EQ(GetZuPipeLength(), 1024);
    SetZuPipe(5000);
    EXPECT_EQ(GetZuPipeLength(), 5000);
    SetZuPipe(-1);
    EXPECT_EQ(GetZuPipe(), nullptr);
}

TEST_F(ConsoleTest, PrintLevelSilencesOutputThenMessages) {
    usePipe(0);
    ZuSetPrintlevel(0);
    ZuPrintf("%d", 42);
    ZuPuts("text");
    ZuFlush();
    ZuMessage("still heard");
    EXPECT_EQ(captured().output, "");
    EXPECT_EQ(captured().messages, std::vector<std::string>{"still heard"});

    ZuSetPrintlevel(-1);
    ZuMessage("silent");
    ZuRunMessage("silent too");
    EXPECT_EQ(captured().messages.size(), 1u);
    EXPECT_TRUE(captured().runMessages.empty());
    EXPECT_EQ(ZuGetPrintlevel(), -1);
}

TEST_F(ConsoleTest, PipeOutputIsCollectedUntilFlush) {
    usePipe(1024);
    ZuPrintf("a=%d ", 1);
    ZuPrintf("b=%s", "two");
    EXPECT_EQ(captured().output, "");
    EXPECT_STREQ(GetZuPipe(), "a=1 b=two");
    ZuFlush();
    EXPECT_EQ(captured().output, "a=1 b=two");
    EXPECT_STREQ(GetZuPipe(), "");
}

TEST_F(ConsoleTest, PipeDeliversInPiecesOfAboutTheCapacity) {
    usePipe(1024);
    std::string line(100, 'x');
    for (int i = 0; i < 30; ++i) ZuPrintf("%s", line.c_str());
    ZuFlush();
    EXPECT_EQ(captured().output, std::string(3000, 'x'));
    for (const auto& piece : captured().outputPieces) EXPECT_LE(piece.size(), 1024u + 256u);
    EXPECT_GE(captured().outputPieces.size(), 3u);
}

TEST_F(ConsoleTest, OversizedPieceIsNeitherCutNorLost) {
    usePipe(1024);
    ZuPrintf("head;");
    std::string big(5000, 'y');
    ZuPrintf("%s", big.c_str());
    ZuPrintf(";tail");
    ZuFlush();
    EXPECT_EQ(captured().output, "head;" + big + ";tail");
}

TEST_F(ConsoleTest, PipeWithoutHostOutputRoutineIsFatal) {
    SetZuPipe(0);
    EXPECT_EXIT({ ZuPuts("x"); }, ::testing::ExitedWithCode(1), "");
}

TEST_F(ConsoleTest, InputPipeIsMissingUntilHostInstallsRoutine) {
    EXPECT_TRUE(ZuHaveInputPipe());  // console mode reads standard input
    SetZuPipe(0);
    EXPECT_FALSE(ZuHaveInputPipe());
    usePipe(0);
    EXPECT_TRUE(ZuHaveInputPipe());
}

TEST_F(ConsoleTest, CompileMessageWithoutFileIsUnchanged) {
    ZuCompileMessage("x", 0);
    ZuCompileMessage("y", 7);
    ASSERT_EQ(captured().messages.size(), 2u);
    EXPECT_EQ(captured().messages[0], "x");
    EXPECT_EQ(captured().messages[1], "(7): y");
}

TEST_F(ConsoleTest, LongCompileMessageArrivesWhole) {
    std::string text(1000, 'm');
    ZuCompileMessage(text.c_str(), 3);
    ASSERT_EQ(captured().messages.size(), 1u);
    EXPECT_EQ(captured().messages[0], "(3): " + text);
}

TEST_F(ConsoleTest, PopMessagesGoToRunMessagesAndQuestionsAreUnanswered) {
    PopErrorMessage("bad file");
    PopWarningMessage("odd file");
    EXPECT_EQ(captured().runMessages, (std::vector<std::string>{"bad file", "odd file"}));
    char buffer[8] = "";
    EXPECT_EQ(PopAskString("name?", buffer, 8), 0);
    EXPECT_EQ(PopAskNoYes("sure?"), 0);
}

// ------------------------------------------------------------------ input

TEST_F(ConsoleTest, GetsTakesPendingTextUpToTheSizeNotTheNewline) {
    usePipe(0);
    captured().inputLines = {"abcdef\nxyz\n"};
    char buffer[5];
    EXPECT_EQ(ZuGetc(), 'a');  // fills the pending text from the host
    ASSERT_NE(ZuGets(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "bcde");
    ASSERT_NE(ZuGets(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "f\nxy");
    EXPECT_EQ(captured().inputCalls, 1);
}

TEST_F(ConsoleTest, GetsAsksTheHostWhenNothingIsPending) {
    usePipe(0);
    captured().inputLines = {"line one\n"};
    char buffer[64];
    ASSERT_NE(ZuGets(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "line one\n");
    EXPECT_EQ(ZuGets(buffer, sizeof buffer), nullptr);  // host has no more
}

TEST_F(ConsoleTest, GetcGivesSignedBytesAndMinusOneAtTheEnd) {
    usePipe(0);
    captured().inputLines = {"\xe9z"};
    EXPECT_EQ(ZuGetc(), static_cast<signed char>('\xe9'));
    EXPECT_LT(static_cast<signed char>('\xe9'), 0);
    EXPECT_EQ(ZuGetc(), 'z');
    EXPECT_EQ(ZuGetc(), -1);
}

TEST_F(ConsoleTest, UngetcPutsTheCharacterInFront) {
    usePipe(0);
    captured().inputLines = {"bc"};
    EXPECT_EQ(ZuGetc(), 'b');
    EXPECT_EQ(ZuUngetc('a'), 'a');
    EXPECT_EQ(ZuGetc(), 'a');
    EXPECT_EQ(ZuGetc(), 'c');
}

TEST_F(ConsoleTest, FlushDropsTypedAheadInput) {
    usePipe(0);
    captured().inputLines = {"12 34\n", "56\n"};
    int value = 0;
    EXPECT_EQ(ZuScanf1("%d", &value), 1);
    EXPECT_EQ(value, 12);
    ZuFlush();
    EXPECT_EQ(ZuScanf1("%d", &value), 1);
    EXPECT_EQ(value, 56);
}

TEST_F(ConsoleTest, ScanfWithLeadingBlankReadsPastBlankLines) {
    usePipe(0);
    captured().inputLines = {"    \n", "\t\n", "  77\n"};
    int value = 0;
    EXPECT_EQ(ZuScanf1(" %d", &value), 1);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(captured().inputCalls, 3);
}

TEST_F(ConsoleTest, ScanfWithoutLeadingBlankStopsAtABlankLine) {
    usePipe(0);
    captured().inputLines = {"    \n", "5\n"};
    int value = -1;
    EXPECT_EQ(ZuScanf1("%d", &value), 0);
    EXPECT_EQ(value, -1);
}

TEST_F(ConsoleTest, ScanfConsumesOnlyWhatItRead) {
    usePipe(0);
    captured().inputLines = {"3.5 word rest"};
    double d = 0;
    char word[8] = "";
    EXPECT_EQ(ZuScanf1("%lf", &d), 1);
    EXPECT_DOUBLE_EQ(d, 3.5);
    EXPECT_EQ(ZuScanf1(" %7s", word), 1);
    EXPECT_STREQ(word, "word");
    char buffer[16];
    ASSERT_NE(ZuGets(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, " rest");
}

TEST_F(ConsoleTest, ScanfRefusesUnsafeFormats) {
    usePipe(0);
    captured().inputLines = {"1 2 abcdefghijklmnop"};
    int a = 0, b = 0;
    char small[4] = "";
    EXPECT_EQ(ZuScanf1("%d %d", &a), 0);  // two conversions
    EXPECT_EQ(ZuScanf1("%s", small), 0);  // unbounded string
    EXPECT_EQ(ZuScanf1("%n", &b), 0);
    EXPECT_EQ(a, 0);
    EXPECT_STREQ(small, "");
}
