// The interactive prompt: lines compiled and run one by one in the frame
// of main, files included on the fly, the program cleared, with the exact
// transcripts of sessions driven through the input pipe.
#include "run/console_session.h"

#include <gtest/gtest.h>

namespace {

class InteractiveSession : public zu::test::ConsoleSession {
protected:
    std::string interactive(const std::vector<std::string>& lines) { return run({"-i"}, "", lines); }
};

const char* const kHeader = "Entering interactive mode, use #quit to quit, ? for help.\n";

TEST_F(InteractiveSession, DeclaredVariablesLastAndSurviveAFailingLine) {
    const std::string out =
        interactive({"decl x = 5, s = \"abc\";", "x = x * 4;", "x = x[9];", "s = s ~ \"d\";", "??", "#quit"});
    EXPECT_EQ(out, std::string(kHeader) +
                       "(zu)(zu)(zu)Runtime error: '[9] in matrix[1][1]' index out of range\n"
                       "(zu)(zu)=== local symbols ===\n"
                       "x                       int      20\n"
                       "s[4]                    string   \"abcd\"\n"
                       "(zu)");
}

TEST_F(InteractiveSession, AssignedNamesLastAndDeclaringAgainKeepsTheVariable) {
    const std::string out = interactive({"y = 7;", "decl x = 1;", "decl x = x + 1, z = y;", "if (0) w = 1;",
                                         "x = x[5];", "q = 3; q = q[2];", "??", "#quit"});
    // A line that stops with an error names nothing new: q is gone, the
    // names before it stay, and w exists without a value.
    EXPECT_EQ(out, std::string(kHeader) +
                       "(zu)(zu)(zu)(zu)(zu)Runtime error: '[5] in matrix[1][1]' index out of "
                       "range\n"
                       "(zu)Runtime error: '[2] in matrix[1][1]' index out of range\n"
                       "(zu)=== local symbols ===\n"
                       "y                       int      7\n"
                       "x                       int      2\n"
                       "z                       int      7\n"
                       "w                       (null)   (null)\n"
                       "(zu)");
}

TEST_F(InteractiveSession, UnknownCommandsAreSilentAndCompileErrorsRunNothing) {
    const std::string out =
        interactive({"#frob", "#help", "#show", "", "decl y = 1;", "y = y + ;", "?y", "#end", "y = 2;"});
    EXPECT_EQ(out, std::string(kHeader) +
                       "(zu)(zu)(zu)(zu)(zu)(zu)';' out of place\n"
                       "(zu)y                       int      1\n"
                       "(zu)");
}

TEST_F(InteractiveSession, IncludedFunctionsAreCalledAndNewClearsEverything) {
    const std::string lib = writeProgram("lib.zu",
                                         "decl counter = 7;\n"
                                         "twice(v) { return 2 * v; }\n");
    const std::string out = run({"-i"}, "",
                                {"#include \"" + lib + "\"", "decl r = twice(21);", "counter = twice(counter);", "??",
                                 "#new", "??", "r = 1;", "?r", "#quit"});
    EXPECT_EQ(out, std::string(kHeader) +
                       "(zu)(zu)(zu)(zu)=== global symbols ===\n"
                       "   1 counter                 int      14\n"
                       "\n"
                       "=== local symbols ===\n"
                       "r                       int      42\n"
                       "(zu)(zu)no symbols defined\n"
                       "(zu)(zu)r                       int      1\n"
                       "(zu)");
}

TEST_F(InteractiveSession, MissingIncludeKeepsTheProgram) {
    const std::string out = interactive({"decl k = 3;", "#include <no such file>", "k = k + 1;", "?k", "#quit"});
    EXPECT_EQ(out, std::string(kHeader) +
                       "(zu)(zu)File not found: no such file\n"
                       "(zu)(zu)k                       int      4\n"
                       "(zu)");
}

TEST_F(InteractiveSession, TooManyNewVariablesAreRefused) {
    // main leaves 200 locals to the typed lines; the compiler refuses the
    // line that would need more, as a whole.
    std::string many = "decl v0";
    for (int i = 1; i < 200; ++i) many += ", v" + std::to_string(i);
    const std::string out = interactive({many + ";", "v199 = 5;", "decl w = 1;", "?v199", "?w", "#quit"});
    EXPECT_EQ(out, std::string(kHeader) +
                       "(zu)(zu)(zu)too many locals for interactive mode\n"
                       "(zu)v199                    int      5\n"
                       "(zu)Unknown symbol w\n"
                       "(zu)");
}

TEST_F(InteractiveSession, BytesAbove127PassThroughThePipe) {
    // The pipe hands such bytes as negative chars; none may end the
    // dialogue or split the line.
    const std::string out = interactive({"decl s = \"\xc3\xa9t\xc3\xa9\";", "?s", "#show \xc3\xa9", "#quit"});
    EXPECT_EQ(out, std::string(kHeader) +
                       "(zu)(zu)s[5]                    string   \"\xc3\xa9t\xc3\xa9\"\n"
                       "(zu)Unknown symbol \xc3\xa9\n"
                       "(zu)");
}

TEST_F(InteractiveSession, ExpressionsShowTheirValueAndDefinitionsJoinTheProgram) {
    // A line without its closing ";" shows its value; open brackets carry
    // the text over to the next line, prompted by "....".
    const std::string print = writeProgram("print.h", "print(a, ...);\n");
    const std::string out = interactive(
        {"#include \"" + print + "\"", "x = <1, 2>", "x * 10", "\"a\" ~ \"b\"", "scale(m, f) {", "return m * f;", "}",
         "scale(x,", "3)", "class Counter { decl m_n; Counter(); value(); };", "Counter::Counter() { m_n = 4; }",
         "Counter::value() { return m_n; }", "c = new Counter();", "c.value()", "#quit"});
    EXPECT_EQ(out, std::string(kHeader) +
                       "(zu)(zu)\n"
                       "       1.0000       2.0000\n"
                       "(zu)\n"
                       "       10.000       20.000\n"
                       "(zu)ab\n"
                       "(zu)........(zu)....\n"
                       "       3.0000       6.0000\n"
                       "(zu)(zu)(zu)(zu)(zu)4\n"
                       "(zu)");
}

TEST_F(InteractiveSession, AFunctionDefinedTwiceIsAnErrorThatKeepsTheFirst) {
    const std::string print = writeProgram("print.h", "print(a, ...);\n");
    const std::string out = interactive(
        {"#include \"" + print + "\"", "f(a) { return a + 1; }", "f(a) { return a + 2; }", "f(1)", "#quit"});
    EXPECT_EQ(out.substr(0, std::string(kHeader).size() + 12), std::string(kHeader) + "(zu)(zu)(zu)");
    EXPECT_NE(out.find("'f' duplicate identifier"), std::string::npos) << out;
    EXPECT_NE(out.find("(zu)2\n(zu)"), std::string::npos) << out;
}

}  // namespace
