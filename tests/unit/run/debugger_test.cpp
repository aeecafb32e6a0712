// The debugger: command splitting, file names of breakpoints, and whole
// sessions driven through the input pipe with their exact transcripts.
#include "run/console_session.h"

#include "program/code_buffer.h"
#include "run/debugger.h"
#include "program/pcode.h"

#include <gtest/gtest.h>

namespace {

using zu::run::debug::SameFile;
using zu::run::debug::Tokens;

std::vector<std::string> Split(const std::string& line) {
    Tokens tokens(line);
    std::vector<std::string> out;
    for (std::string t = tokens.next(); !t.empty(); t = tokens.next()) out.push_back(t);
    return out;
}

TEST(DebugTokens, DelimitersAndWhiteSpace) {
    EXPECT_EQ(Split("  break\tfile.zu   12 "), (std::vector<std::string>{"break", "file.zu", "12"}));
    EXPECT_EQ(Split("include \"my file.zu\" x"), (std::vector<std::string>{"include", "my file.zu", "x"}));
    EXPECT_EQ(Split("include <std lib.h>"), (std::vector<std::string>{"include", "std lib.h"}));
    // An unclosed delimiter runs to the end of the line.
    EXPECT_EQ(Split("go \"open file 3"), (std::vector<std::string>{"go", "open file 3"}));
    EXPECT_TRUE(Split(" \t\r\n").empty());
}

TEST(DebugTokens, RestStartsAfterTheClosingDelimiter) {
    Tokens tokens("show  \"a b\"  all  full");
    EXPECT_EQ(tokens.next(), "show");
    EXPECT_EQ(tokens.rest(), "\"a b\"  all  full");
    EXPECT_EQ(tokens.next(), "a b");
    EXPECT_EQ(tokens.rest(), "all  full");
}

TEST(DebugFiles, NamesCompareWithoutCaseDirectoryOrExtension) {
    EXPECT_TRUE(SameFile("/home/u/Prog.zu", "prog"));
    EXPECT_TRUE(SameFile("dir/prog.zu", "PROG.old.zu"));
    EXPECT_FALSE(SameFile("prog.zu", "prog2.zu"));
    EXPECT_FALSE(SameFile("prog.zu", ""));
    EXPECT_FALSE(SameFile("a/prog.zu", "prog/a.zu"));
}

class DebuggerSession : public zu::test::ConsoleSession {
protected:
    std::string debug(const std::string& program, const std::vector<std::string>& lines) {
        return run({"-d"}, writeProgram("prog.zu", program), lines);
    }
};

const char* const kLoop =
    "decl total = 0;\n"              // 1
    "\n"                             // 2
    "main()\n"                       // 3
    "{\n"                            // 4
    "    decl i;\n"                  // 5
    "    for (i = 0; i < 3; ++i)\n"  // 6
    "    {\n"                        // 7
    "        total = total + i;\n"   // 8
    "    }\n"                        // 9
    "    total = -total;\n"          // 10
    "}\n";                           // 11

TEST_F(DebuggerSession, BreakpointInALoopBodyStopsOnEveryPass) {
    const std::string out = debug(kLoop, {"#break 8", "#go", "?total", "#go", "?total", "#go", "?total",
                                          "#clear prog 8", "#go 10", "?total", "#go"});
    EXPECT_EQ(out,
              "Entering debug mode, use #quit to quit, ? for help.\n"
              "prog.zu (6): main\n"
              "(debug)(debug)prog.zu (8): main\n"
              "(debug)   0 total                   int      0\n"
              "(debug)prog.zu (8): main\n"
              "(debug)   0 total                   int      0\n"
              "(debug)prog.zu (8): main\n"
              "(debug)   0 total                   int      1\n"
              "(debug)(debug)prog.zu (10): main\n"
              "(debug)   0 total                   int      3\n"
              "(debug)");
}

TEST_F(DebuggerSession, LineBeforeFileSetsTheSameBreakpoint) {
    const std::string first = debug(kLoop, {"#break prog 10", "#show breaks", "#quit"});
    const std::string swapped = debug(kLoop, {"#break 10 prog", "#show breaks", "#quit"});
    EXPECT_EQ(first, swapped);
    EXPECT_NE(first.find("(debug)(debug)prog.zu (10)\n"), std::string::npos) << first;
}

TEST_F(DebuggerSession, BreakpointsAreComplementedMarkers) {
    // After the session the code is still open: the one marker flipped by
    // #break is negative, and #clear flips it back.
    auto negativeMarkers = [] {
        int n = 0;
        const auto& code = std::as_const(zu::program::codeBuffer());
        for (int a = 0; a < code.size(); ++a)
            n += code[a].op == zu::program::code(zu::program::Op::NUM) && code[a].arg < 0;
        return n;
    };
    debug(kLoop, {"#break 8", "#break 10", "#clear 10", "#show breaks", "#quit"});
    const std::string& t = zu::test::session().transcript;
    EXPECT_EQ(t.substr(t.find("(debug)")), "(debug)(debug)(debug)(debug)prog.zu (8)\n(debug)");
    EXPECT_EQ(negativeMarkers(), 0) << "the session ends with ZuMainExit";
}

TEST_F(DebuggerSession, ShowsGlobalsThenLocals) {
    const std::string out = debug(kLoop, {"\n", "??", "#show full", "#quit"});
    EXPECT_EQ(out,
              "Entering debug mode, use #quit to quit, ? for help.\n"
              "prog.zu (6): main\n"
              "(debug)prog.zu (8): main\n"
              "(debug)=== global symbols ===\n"
              "   0 total                   int      0\n"
              "\n"
              "=== local symbols ===\n"
              "i                       int      0\n"
              "prog.zu (8): main\n"
              "(debug)=== global symbols ===\n"
              "   0 total                   int      0\n"
              "\n"
              "=== local symbols ===\n"
              "i                       int      0\n"
              "(debug)");
}

TEST_F(DebuggerSession, CommandLinesAreBoundedAndEndOfInputEndsTheDialogue) {
    // 254 characters after '#' fit; one more is refused as a whole and the
    // rest of that line is not taken for a further command.
    const std::string fits = "show" + std::string(250, ' ');
    const std::string tooLong = "show " + std::string(250, 'x') + "#quit";
    const std::string out = debug(kLoop, {"#" + fits, "#" + tooLong, "#show breaks"});
    EXPECT_EQ(out,
              "Entering debug mode, use #quit to quit, ? for help.\n"
              "prog.zu (6): main\n"
              "(debug)prog.zu (6): main\n"
              "(debug)Command line too long (at most 254 characters)\n"
              "(debug)No breaks set\n"
              "(debug)");
}

TEST_F(DebuggerSession, RunTimeErrorInATypedLineLeavesTheProgramIntact) {
    const std::string out =
        debug(kLoop, {"\n", "total = 40;", "total = total[3];", "?total", "#go 10", "?total", "#go"});
    EXPECT_NE(out.find("index out of range"), std::string::npos) << out;
    EXPECT_NE(out.find("(debug)   0 total                   int      40\n"), std::string::npos) << out;
    // 40 + 0 + 1 + 2
    EXPECT_NE(out.find("(debug)   0 total                   int      43\n"), std::string::npos) << out;
}

TEST_F(DebuggerSession, StepOverRunsCallsAndStepOutReturnsToTheCaller) {
    const char* program =
        "depth(n)\n"                          // 1
        "{\n"                                 // 2
        "    if (n > 0)\n"                    // 3
        "        return depth(n - 1) + 1;\n"  // 4
        "    return 0;\n"                     // 5
        "}\n"                                 // 6
        "main()\n"                            // 7
        "{\n"                                 // 8
        "    decl d = depth(3);\n"            // 9
        "    d = d * 2;\n"                    // 10
        "}\n";                                // 11
    const std::string over = debug(program, {"#step over", "?d", "#step over", "?d", "#quit"});
    EXPECT_EQ(over,
              "Entering debug mode, use #quit to quit, ? for help.\n"
              "prog.zu (9): main\n"
              "(debug)prog.zu (10): main\n"
              "(debug)d                       int      3\n"
              // The stop before the return has no line of its own.
              "(debug)(debug)d                       int      6\n"
              "(debug)");
    // At the deepest call (n = 0) three callers wait; each step out
    // returns to the one above.
    const std::string out =
        debug(program, {"#go 5", "?n", "#show calls", "#step out", "?n", "#step out", "?n", "#quit"});
    EXPECT_EQ(out,
              "Entering debug mode, use #quit to quit, ? for help.\n"
              "prog.zu (9): main\n"
              "(debug)prog.zu (5): depth\n"
              "(debug)n                       int      0\n"
              "(debug)prog.zu (4): depth\n"
              "prog.zu (4): depth\n"
              "prog.zu (4): depth\n"
              "prog.zu (9): main\n"
              "(debug)prog.zu (4): depth\n"
              "(debug)n                       int      1\n"
              "(debug)prog.zu (4): depth\n"
              "(debug)n                       int      2\n"
              "(debug)");
}

}  // namespace
