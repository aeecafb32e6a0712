// The symbol table, the output line writer, file names and the conversion table.
#include <gtest/gtest.h>

#include <string>

#include "capture.h"
#include "conversion_table.h"
#include "files.h"
#include "layout.h"
#include "messages.h"
#include "output.h"
#include "scanner.h"
#include "symbols.h"

using namespace g2zu;
using g2zu_test::Capture;
using g2zu_test::TempFile;

// ---------------------------------------------------------------------------
// Symbol table

TEST(Symbols, DuplicatesAreReportedAndKeptUnchanged) {
    Capture user;
    Messages messages(user.file());
    Symbols symbols(messages);
    int p = symbols.define("f", Kind::Procedure, 0, false, false).index;
    Symbols::Defined again = symbols.define("f", Kind::Variable, 0, false, true);
    EXPECT_FALSE(again.is_new);
    EXPECT_EQ(again.index, p);
    EXPECT_EQ(symbols.at(p).kind, Kind::Procedure);
    EXPECT_EQ(messages.errors(), 1);
}

TEST(Symbols, AnUndeclaredCallIsTakenOverByItsDefinition) {
    Capture user;
    Messages messages(user.file());
    Symbols symbols(messages);
    int u = symbols.define("later", Kind::Undeclared, 0, false, false).index;
    Symbols::Defined d = symbols.define("later", Kind::Procedure, 0, false, false);
    EXPECT_TRUE(d.is_new);
    EXPECT_EQ(d.index, u);
    EXPECT_EQ(symbols.at(u).kind, Kind::Procedure);
    EXPECT_EQ(messages.errors(), 0);
}

TEST(Symbols, ScopesDropLocalsButKeepUndeclaredNames) {
    Capture user;
    Messages messages(user.file());
    Symbols symbols(messages);
    symbols.define("g", Kind::Variable, 0, false, false);
    int previous = symbols.enter_scope();
    symbols.define("local", Kind::Variable, symbols.scope_start(), false, false);
    symbols.define("g", Kind::Variable, symbols.scope_start(), false, false);  // shadows
    symbols.define("ext", Kind::Undeclared, 0, false, false);
    EXPECT_EQ(symbols.find_local("g"), 2);
    symbols.leave_scope(previous);
    EXPECT_EQ(symbols.find_global("local"), -1);
    EXPECT_EQ(symbols.find_global("g"), 0);
    EXPECT_GE(symbols.find_global("ext"), 0);
    EXPECT_EQ(symbols.top(), 2);
    EXPECT_EQ(messages.errors(), 0);
}

TEST(Symbols, AFullTableReportsAndReusesItsLastRecord) {
    Capture user;
    Messages messages(user.file());
    Symbols symbols(messages);
    for (int i = 0; i < Symbols::kCapacity; ++i)
        symbols.define("v" + std::to_string(i), Kind::Variable, 0, false, false);
    EXPECT_EQ(messages.errors(), 0);
    EXPECT_EQ(symbols.top(), Symbols::kCapacity);
    symbols.define("one_more", Kind::Variable, 0, false, false);
    symbols.define("and_another", Kind::Variable, 0, false, false);
    EXPECT_EQ(messages.errors(), 2);
    EXPECT_EQ(symbols.top(), Symbols::kCapacity);
    EXPECT_NE(user.text().find("symbol table full"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Output line writer

TEST(Output, IndentsBlocksWithTheBraceOneLevelOut) {
    Capture file;
    Capture user;
    Messages messages(user.file());
    Output out(file.file(), messages);
    out.append("f()");
    out.open_brace();
    out.append("x = 1;   ");
    out.write_line();
    out.write_line();
    out.close_brace();
    out.flush();
    EXPECT_EQ(file.text(), "f()\n{\n    x = 1;\n    \n}\n");
    EXPECT_EQ(out.line_count(), 6);
}

TEST(Output, LongLinesAreBrokenPastTheLimit) {
    Capture file;
    Capture user;
    Messages messages(user.file());
    Output out(file.file(), messages);
    for (int i = 0; i < 30; ++i) out.append("word_" + std::to_string(i % 10) + "___ ");
    out.flush();
    std::string text = file.text();
    std::size_t first = text.find('\n');
    EXPECT_GT(first, Output::kBreakLength);
    EXPECT_LT(first, Output::kBreakLength + 12);
    EXPECT_EQ(out.line_count(), 3);
}

TEST(Output, APieceOfAnyLengthIsWrittenWhole) {
    Capture file;
    Capture user;
    Messages messages(user.file());
    Output out(file.file(), messages);
    out.append("x = ");
    out.append(std::string(300, 'a'));
    out.append("b = ");
    out.append(std::string(1000, 'c'));
    EXPECT_EQ(file.text(), "x = " + std::string(300, 'a') + "\nb = " + std::string(1000, 'c') + "\n");
    out.append(std::string(5000, 'd'));
    EXPECT_EQ(file.text().size(), 4 + 300 + 1 + 4 + 1000 + 1 + 5000 + 1);
    EXPECT_EQ(user.text(), "");
}

TEST(Output, VerbatimTextCountsItsLines) {
    Capture file;
    Capture user;
    Messages messages(user.file());
    Output out(file.file(), messages);
    out.indent();
    out.write_verbatim("/* a\n   b */");
    out.write_line();
    out.append("y;");
    out.write_line();
    EXPECT_EQ(file.text(), "/* a\n   b */\n    y;\n");
    EXPECT_EQ(out.line_count(), 4);
}

// ---------------------------------------------------------------------------
// File names

TEST(FileNames, NormalisingAndExtensions) {
    EXPECT_EQ(normalise_name("c:\\dir\\prog.prg \t\r"), "c:/dir/prog.prg");
    EXPECT_EQ(add_extension("prog", ".prg"), "prog.prg");
    EXPECT_EQ(add_extension("prog.src", ".prg"), "prog.src");
    EXPECT_EQ(add_extension("my.dir/prog", ".zu"), "my.dir/prog.zu");
    EXPECT_EQ(replace_extension("out.zu", ".log"), "out.log");
    EXPECT_EQ(replace_extension("a.b/out", ".h"), "a.b/out.h");
    EXPECT_FALSE(has_extension("c:prog"));
    EXPECT_TRUE(has_extension("c:prog.x"));
    EXPECT_EQ(base_name("dir/sub/out.h"), "out.h");
    EXPECT_EQ(directory_of("dir/sub/out.h"), "dir/sub/");
    EXPECT_EQ(guard_name("dir/out.h"), "OUT_H");
    EXPECT_EQ(guard_name("my-prog.h"), "MY_PROG_H");
}

TEST(FileNames, TheOverwriteQuestionWaitsForYOrN) {
    TempFile existing("question_test.out", "old");
    Capture question;
    TempFile answers("question_answers.txt", "maybe? y");
    FilePtr in = open_for_reading(answers.name());
    ASSERT_TRUE(in);
    // "maybe? y": the 'y' of "maybe" is the answer
    auto out = open_for_writing(existing.name(), true, question.file(), in.get());
    EXPECT_TRUE(out);
    EXPECT_NE(question.text().find("already exists, overwrite (Y/N)? Y\n"), std::string::npos);

    TempFile no_answer("question_none.txt", "");
    FilePtr none = open_for_reading(no_answer.name());
    EXPECT_FALSE(open_for_writing(existing.name(), true, question.file(), none.get()));
}

// ---------------------------------------------------------------------------
// Conversion table

namespace {

// A table read into its own symbol table, with the messages it drew.
struct Loaded {
    Capture user;
    Messages messages{user.file()};
    Symbols symbols{messages};
    bool ok = false;

    explicit Loaded(const std::string& text) {
        TempFile file("table_test.cvt", text);
        Scanner in(messages, nullptr);
        EXPECT_TRUE(in.open(file.name()));
        messages.set_where(&in);
        ok = load_conversion_table(in, symbols, messages);
        messages.set_where(nullptr);
    }
    const Symbol& operator[](const char* name) const { return symbols.at(symbols.find_global(name)); }
};

}  // namespace

TEST(ConversionTable, EntriesGiveReplacementsMarksAndReturnCounts) {
    Loaded l(
        "/* c */ \"cols\" = \"columns\" proc = cols(x);\n"
        "@ c @ !\"ftos\" proc(1) = ftos(a, b);\n"
        "\"draw\";\n\"ols\" proc(3);");
    ASSERT_TRUE(l.ok) << l.user.text();
    EXPECT_EQ(l["cols"].kind, Kind::Conversion);
    EXPECT_EQ(l["cols"].replacement, "columns");
    EXPECT_EQ(l["cols"].return_count, 1);
    EXPECT_TRUE(l["ftos"].unsupported);
    EXPECT_FALSE(l["cols"].unsupported);
    EXPECT_EQ(l["draw"].return_count, 0);
    EXPECT_EQ(l["ols"].return_count, 3);
}

TEST(ConversionTable, ErrorsStopTheLoad) {
    Loaded duplicate("\"x\" proc; \"x\"; \"y\";");
    EXPECT_FALSE(duplicate.ok);
    EXPECT_NE(duplicate.user.text().find("table_test.cvt (1): 'x' duplicate identifier"), std::string::npos);
    EXPECT_EQ(duplicate.symbols.find_global("y"), -1);  // nothing after the error
    EXPECT_FALSE(Loaded("cols = \"columns\";").ok);     // the name must be a string
    EXPECT_FALSE(Loaded("\"a\" = \"not a name\";").ok);
    EXPECT_FALSE(Loaded("\"a\" proc = a;").ok);  // the argument list is missing
}

TEST(ConversionTable, TheShippedTableLoads) {
    Capture user;
    Messages messages(user.file());
    Symbols symbols(messages);
    Scanner in(messages, nullptr);
    ASSERT_TRUE(in.open(G2ZU_TABLE));
    messages.set_where(&in);
    EXPECT_TRUE(load_conversion_table(in, symbols, messages)) << user.text();
    EXPECT_GT(symbols.top(), 100);
}
