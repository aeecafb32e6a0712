// `?name` at the prompt: a library function's entry from the reference
// file beside zustd.h, found along the include path, and the symbol
// display whenever there is no entry to show.  The scratch folder holds a
// stand-in zustd.h and reference file; the session puts it on the path.
#include "run/console_session.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const kHeader = "Entering interactive mode, use #quit to quit, ? for help.\n";

class ReferenceEntry : public zu::test::ConsoleSession {
protected:
    // The session with the scratch folder first on the include path.
    std::string ask(const std::vector<std::string>& lines) {
        writeProgram("zustd.h", "// stand-in header\n");
        return run({"-i.", "-i"}, "", lines);
    }
};

TEST_F(ReferenceEntry, ShowsTheWholeEntryOfTheNameAndNothingAroundIt) {
    writeProgram("zu_reference.txt",
                 "# comment\n"
                 "@@ ols\n"
                 "not this one\n"
                 "@@ olsc\n"
                 "olsc(y, x, &b)\n"
                 "Least squares.\n"
                 "Example:\n"
                 "    println(1);\n"
                 "@@ olscx\n"
                 "nor this\n");
    EXPECT_EQ(ask({"?olsc", "#quit"}), std::string(kHeader) +
                                           "(zu)olsc(y, x, &b)\n"
                                           "Least squares.\n"
                                           "Example:\n"
                                           "    println(1);\n"
                                           "(zu)");
}

TEST_F(ReferenceEntry, LastEntryWithoutFinalNewlineEndsAtTheEndOfTheFile) {
    writeProgram("zu_reference.txt", "@@ sumc\nsumc(m)\nColumn sums.");
    EXPECT_EQ(ask({"?sumc", "#quit"}), std::string(kHeader) + "(zu)sumc(m)\nColumn sums.\n(zu)");
}

TEST_F(ReferenceEntry, WithoutAnEntryTheSymbolIsShownAsBefore) {
    // No file at all, a file without the name, and a user variable whose
    // name is no library function's.
    EXPECT_EQ(ask({"?olsc", "decl x = 3;", "?x", "#quit"}), std::string(kHeader) +
                                                                "(zu)Unknown symbol olsc\n"
                                                                "(zu)(zu)x                       int      3\n"
                                                                "(zu)");
    writeProgram("zu_reference.txt", "@@ meanc\nmeanc(m)\n");
    EXPECT_EQ(ask({"?olsc", "#quit"}), std::string(kHeader) + "(zu)Unknown symbol olsc\n(zu)");
}

TEST_F(ReferenceEntry, DamagedFileIsReadWithinBounds) {
    // A line far longer than the read buffer comes out whole, in pieces;
    // an entry without end is cut after a bounded number of lines.
    const std::string longLine(5000, 'x');
    std::string endless = "@@ sumr\n";
    for (int i = 0; i < 1000; ++i) endless += "line\n";
    writeProgram("zu_reference.txt", "@@ sumc\n" + longLine + "\n" + endless);
    const std::string longOut = ask({"?sumc", "#quit"});
    std::string joined;
    for (char ch : longOut)
        if (ch == 'x') joined += ch;
    EXPECT_EQ(joined, longLine);
    const std::string cut = ask({"?sumr", "#quit"});
    EXPECT_NE(cut.find("line\n...\n(zu)"), std::string::npos);
    EXPECT_LT(cut.size(), 4000u);
}

}  // namespace
