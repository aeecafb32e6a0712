// scan, fscan and sscan called as the interpreter calls them: conversions,
// widths, literal text, matrices, tokens, the end of input, and input that
// is malformed, too long or too large.
#include <cmath>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "stdlib/files.h"
#include "stdlib/routines.h"
#include "stdlib/scan_reader.h"
#include "stdlib_fixture.h"

using namespace zu::stdlib;
using zu_stdlib_test::Call;
using zu_stdlib_test::output;
using zu_stdlib_test::runMessages;
using zu_stdlib_test::StdlibTest;

namespace {

// Frees the argument records that own their data (formats, texts,
// matrices); addresses and file values own nothing.
template <std::size_t N>
void FreeOwned(ZuVALUE (&args)[N]) {
    for (ZuVALUE& v : args)
        if (ZuValHasFlag(&v, ZU_FLAG_VAL)) ZuFreeValue(&v);
}

// Lines that the input hook hands out, one per call.
std::deque<std::string> inputLines;
int inputCalls = 0;

void NextLine(char* buffer, int size) {
    ++inputCalls;
    buffer[0] = '\0';
    if (inputLines.empty()) return;
    std::snprintf(buffer, static_cast<std::size_t>(size), "%s", inputLines.front().c_str());
    inputLines.pop_front();
}

class ScanningTest : public StdlibTest {
protected:
    void SetUp() override {
        StdlibTest::SetUp();
        inputLines.clear();
        inputCalls = 0;
        SetZuGets(NextLine);
    }
    void TearDown() override {
        for (ZuVALUE& v : vars_) ZuFreeValue(&v);
        for (ZuVALUE& f : files_)
            if (OpenFile* open = FindOpenFile(&f)) (void)CloseOpenFile(*open);
        StdlibTest::TearDown();
    }

    // A variable of the test and the address that a program passes for it.
    ZuVALUE* Var(ZuVALUE initial = Int(0)) {
        vars_.push_back(initial);
        return &vars_.back();
    }
    static ZuVALUE Address(ZuVALUE* v) {
        ZuVALUE a{};
        a.t = ZU_ARRAY | ZU_FLAG_ADR;
        a.w1.i = 1;
        a.w2.v = v;
        return a;
    }
    // A file value over a stream, as fopen makes it; the table of open
    // files takes the stream over and the test closes it.
    ZuVALUE File(std::FILE* stream) {
        for (const ZuVALUE& f : files_)
            if (f.w1.p == stream) return f;
        ZuVALUE f{};
        AddOpenFile(&f, stream, kFileOpened | kFileRead | kFileWrite);
        files_.push_back(f);
        return f;
    }
    static std::FILE* FileWith(const std::string& text) {
        std::FILE* stream = std::tmpfile();
        std::fputs(text.c_str(), stream);
        std::rewind(stream);
        return stream;
    }

    static std::string Text(const ZuVALUE* v) {
        EXPECT_EQ(ZuValType(const_cast<ZuVALUE*>(v)), ZU_STRING);
        return v->w2.s ? std::string(v->w2.s, static_cast<std::size_t>(v->w1.i)) : std::string{};
    }
    static int IntOf(const ZuVALUE* v) {
        EXPECT_EQ(v->t, ZU_INT);
        return v->w1.i;
    }
    static double DoubleOf(const ZuVALUE* v) {
        EXPECT_EQ(v->t, ZU_DOUBLE);
        return v->w1.d;
    }
    static bool MessageEnds(const std::string& tail) {
        for (const std::string& m : runMessages)
            if (m.size() >= tail.size() && m.compare(m.size() - tail.size(), tail.size(), tail) == 0) return true;
        return false;
    }

private:
    std::deque<ZuVALUE> vars_;  // a deque keeps the addresses stable
    std::vector<ZuVALUE> files_;
};

TEST_F(ScanningTest, NumericConversions) {
    ZuVALUE *d = Var(), *i = Var(), *o = Var(), *u = Var(), *x = Var(), *f = Var(), *le = Var(), *lg = Var();
    ZuVALUE args[] = {String("12 -7 017 42 ff 2.5 1e3 -0.25"),
                      String("%d"),
                      Address(d),
                      String("%i"),
                      Address(i),
                      String("%o"),
                      Address(o),
                      String("%u"),
                      Address(u),
                      String("%x"),
                      Address(x),
                      String("%f"),
                      Address(f),
                      String("%le"),
                      Address(le),
                      String("%lg"),
                      Address(lg)};
    ZuVALUE rtn = Call(FnSscan, args);
    EXPECT_EQ(rtn.w1.i, 8);
    EXPECT_EQ(IntOf(d), 12);
    EXPECT_EQ(IntOf(i), -7);
    EXPECT_EQ(IntOf(o), 15);
    EXPECT_EQ(IntOf(u), 42);
    EXPECT_EQ(IntOf(x), 255);
    EXPECT_EQ(DoubleOf(f), 2.5);
    EXPECT_EQ(DoubleOf(le), 1000.0);
    EXPECT_EQ(DoubleOf(lg), -0.25);
    FreeOwned(args);
}

TEST_F(ScanningTest, WordsCharactersAndLines) {
    ZuVALUE *word = Var(), *ch = Var(), *three = Var(), *line = Var(), *empty = Var(), *last = Var();
    ZuVALUE args[] = {String("alpha beta\r\n\nrest"),
                      String("%s"),
                      Address(word),
                      String("%c"),
                      Address(ch),
                      String("%3c"),
                      Address(three),
                      String("%z"),
                      Address(line),
                      String("%z"),
                      Address(empty),
                      String("%z"),
                      Address(last)};
    EXPECT_EQ(Call(FnSscan, args).w1.i, 6);
    EXPECT_EQ(Text(word), "alpha");
    EXPECT_EQ(IntOf(ch), ' ');
    EXPECT_EQ(Text(three), "bet");
    EXPECT_EQ(Text(line), "a");  // the carriage return dropped, the newline consumed
    EXPECT_EQ(Text(empty), "");
    EXPECT_EQ(Text(last), "rest");
    FreeOwned(args);
}

TEST_F(ScanningTest, DiscardAndWidths) {
    ZuVALUE *a = Var(), *b = Var();
    ZuVALUE args[] = {String("123456 xyz 7"), String("%*3d"), String("%2d"), Address(a),
                      String("%*s"),          String("%*s"),  String("%d"),  Address(b)};
    EXPECT_EQ(Call(FnSscan, args).w1.i, 2);  // discarded values are not counted
    EXPECT_EQ(IntOf(a), 45);
    EXPECT_EQ(IntOf(b), 7);
    FreeOwned(args);
}

TEST_F(ScanningTest, LiteralTextAndEscapedPercent) {
    ZuVALUE *a = Var(), *b = Var(), *w = Var();
    ZuVALUE args[] = {String("x=5 rate 50% y"), String("x=%d"), Address(a), String(" rate %d"), Address(b),
                      String("\\% %s"),         Address(w)};
    EXPECT_EQ(Call(FnSscan, args).w1.i, 3);
    EXPECT_EQ(IntOf(a), 5);
    EXPECT_EQ(IntOf(b), 50);
    EXPECT_EQ(Text(w), "y");
    FreeOwned(args);

    // Text that does not match stops there; the conversion then fails on it.
    ZuVALUE* c = Var(Int(9));
    ZuVALUE mismatch[] = {String("y=5"), String("x=%d"), Address(c)};
    EXPECT_EQ(Call(FnSscan, mismatch).w1.i, 0);
    EXPECT_EQ(IntOf(c), 9);
    FreeOwned(mismatch);
}

TEST_F(ScanningTest, SourceVariableKeepsTheTextNotConsumed) {
    ZuVALUE* source = Var(String("12 abc"));
    ZuVALUE* n = Var();
    ZuVALUE args[] = {Address(source), String("%d"), Address(n)};
    EXPECT_EQ(Call(FnSscan, args).w1.i, 1);
    EXPECT_EQ(IntOf(n), 12);
    EXPECT_EQ(Text(source), " abc");
    EXPECT_TRUE(ZuValHasFlag(source, ZU_FLAG_VAL));

    // The source may also be a target: the rest wins, and nothing dangles.
    ZuVALUE* both = Var(String("first second"));
    ZuVALUE again[] = {Address(both), String("%s"), Address(both)};
    EXPECT_EQ(Call(FnSscan, again).w1.i, 1);
    EXPECT_EQ(Text(both), " second");
    FreeOwned(args);
    FreeOwned(again);
}

TEST_F(ScanningTest, EndOfInputAndMalformedNumbers) {
    ZuVALUE *a = Var(), *b = Var();
    ZuVALUE empty[] = {String(""), String("%d"), Address(a)};
    EXPECT_EQ(Call(FnSscan, empty).w1.i, -1);
    ZuVALUE blanks[] = {String("   "), String("%d"), Address(a)};
    EXPECT_EQ(Call(FnSscan, blanks).w1.i, -1);
    ZuVALUE partial[] = {String("5"), String("%d"), Address(a), String("%d"), Address(b)};
    EXPECT_EQ(Call(FnSscan, partial).w1.i, 1);  // ended after one value
    EXPECT_EQ(IntOf(a), 5);
    ZuVALUE letters[] = {String("abc 3"), String("%d"), Address(a), String("%lf"), Address(b)};
    EXPECT_EQ(Call(FnSscan, letters).w1.i, 0);  // failed, not ended
    ZuVALUE lastChar[] = {String(""), String("%c"), Address(a)};
    EXPECT_EQ(Call(FnSscan, lastChar).w1.i, -1);
    FreeOwned(empty);
    FreeOwned(blanks);
    FreeOwned(partial);
    FreeOwned(letters);
    FreeOwned(lastChar);
}

TEST_F(ScanningTest, ValuesWithoutFormatsAndFormatsWithoutConversions) {
    ZuVALUE *x = Var(), *y = Var(Int(4));
    // A target alone reads a double; text alone before an address reads
    // nothing into it; a trailing conversion without a target reads nothing.
    ZuVALUE args[] = {String("2.5 more"), Address(x), String("more"), Address(y), String("%d")};
    EXPECT_EQ(Call(FnSscan, args).w1.i, 1);
    EXPECT_EQ(DoubleOf(x), 2.5);
    EXPECT_EQ(IntOf(y), 4);
    FreeOwned(args);
}

TEST_F(ScanningTest, StringReadsStopAtTheBufferSize) {
    const std::string word(5000, 'w');
    ZuVALUE *a = Var(), *b = Var(), *c = Var(), *d = Var();
    ZuVALUE args[] = {String((word + " q").c_str()),
                      String("%99999s"),
                      Address(a),
                      String("%s"),
                      Address(b),
                      String("%s"),
                      Address(c),
                      String("%2147483647s"),
                      Address(d)};
    EXPECT_EQ(Call(FnSscan, args).w1.i, 4);
    EXPECT_EQ(Text(a).size(), 2048u);
    EXPECT_EQ(Text(b).size(), 2048u);
    EXPECT_EQ(Text(c).size(), 904u);
    EXPECT_EQ(Text(d), "q");
    FreeOwned(args);

    ZuVALUE size[] = {Int(8)};
    Call(FnSprintbuffer, size);
    ZuVALUE *line = Var(), *chars = Var();
    ZuVALUE small[] = {String("abcdefghijkl\nmnopqrstuvwxyz"), String("%z"), Address(line), String("%100c"),
                       Address(chars)};
    EXPECT_EQ(Call(FnSscan, small).w1.i, 2);
    EXPECT_EQ(Text(line), "abcdefgh");
    EXPECT_EQ(Text(chars), "ijkl\nmno");
    FreeOwned(small);
}

TEST_F(ScanningTest, NumbersTooLongOrOutOfRange) {
    const std::string digits(5000, '1');
    ZuVALUE *a = Var(Int(3)), *b = Var();
    ZuVALUE args[] = {String((digits + " 7").c_str()), String("%d"), Address(a), String("%d"), Address(b)};
    EXPECT_EQ(Call(FnSscan, args).w1.i, 1);
    EXPECT_TRUE(MessageEnds("(): number longer than 4096 characters"));
    EXPECT_EQ(IntOf(b), 7);  // the long number was skipped whole
    FreeOwned(args);

    runMessages.clear();
    ZuVALUE *big = Var(Int(1)), *u = Var(), *neg = Var(), *hex = Var(), *huge = Var();
    ZuVALUE range[] = {String("99999999999 4294967295 -2 7fffffff 1e999"),
                       String("%d"),
                       Address(big),
                       String("%u"),
                       Address(u),
                       String("%u"),
                       Address(neg),
                       String("%x"),
                       Address(hex),
                       String("%g"),
                       Address(huge)};
    EXPECT_EQ(Call(FnSscan, range).w1.i, 4);
    EXPECT_TRUE(MessageEnds("(): number out of range of an int"));
    EXPECT_EQ(IntOf(u), -1);
    EXPECT_EQ(IntOf(neg), -2);
    EXPECT_EQ(IntOf(hex), 2147483647);
    EXPECT_TRUE(std::isinf(DoubleOf(huge)));
    FreeOwned(range);

    // A width given by the program splits a number without complaint.
    runMessages.clear();
    ZuVALUE split[] = {String("12345"), String("%3d"), Address(a), String("%d"), Address(b)};
    EXPECT_EQ(Call(FnSscan, split).w1.i, 2);
    EXPECT_EQ(IntOf(a), 123);
    EXPECT_EQ(IntOf(b), 45);
    EXPECT_TRUE(runMessages.empty());
    FreeOwned(split);
}

TEST_F(ScanningTest, Tokens) {
    ZuVALUE* t[6];
    for (auto*& v : t) v = Var();
    ZuVALUE args[] = {String("  count_1 = 42 \"hi there\" 3.5 \"open"),
                      String("%t"),
                      Address(t[0]),
                      String("%t"),
                      Address(t[1]),
                      String("%t"),
                      Address(t[2]),
                      String("%t"),
                      Address(t[3]),
                      String("%t"),
                      Address(t[4]),
                      String("%t"),
                      Address(t[5])};
    EXPECT_EQ(Call(FnSscan, args).w1.i, 5);
    struct Expected {
        int kind;
        const char* text;
        int value;
    } expected[] = {{2, "count_1", 7}, {4, "=", '='}, {1, "42", 42}, {3, "hi there", 8}, {1, "3.5", 0}};
    for (int k = 0; k < 5; ++k) {
        ASSERT_EQ(ZuValGetArrayLen(t[k]), 3) << k;
        EXPECT_EQ(IntOf(&t[k]->w2.v[0]), expected[k].kind) << k;
        EXPECT_EQ(Text(&t[k]->w2.v[1]), expected[k].text) << k;
        EXPECT_EQ(IntOf(&t[k]->w2.v[2]), expected[k].value) << k;
    }
    EXPECT_TRUE(MessageEnds("(): string without end"));
    FreeOwned(args);
}

TEST_F(ScanningTest, MatricesFromAFile) {
    std::FILE* stream = FileWith("2 3\n 1 2 3\n 4 . +.Inf\n  1 2 3 -4.5\n 0 0\n7 8\n");
    ZuVALUE *m = Var(), *sized = Var(), *empty = Var(), *after = Var();
    ZuVALUE args[] = {File(stream),   String("%m"), Address(m),     String("%#M"), Int(2),        Int(2),
                      Address(sized), String("%m"), Address(empty), String("%d"),  Address(after)};
    EXPECT_EQ(Call(FnFscan, args).w1.i, 4);
    ASSERT_EQ(ZuValType(m), ZU_MATRIX);
    ASSERT_EQ(m->w1.i, 2);
    ASSERT_EQ(m->w2.i, 3);
    EXPECT_EQ(m->w3.m[0][2], 3.0);
    EXPECT_EQ(m->w3.m[1][0], 4.0);
    EXPECT_TRUE(std::isnan(m->w3.m[1][1]));
    EXPECT_TRUE(std::isinf(m->w3.m[1][2]) && m->w3.m[1][2] > 0);
    ASSERT_EQ(sized->w1.i, 2);
    ASSERT_EQ(sized->w2.i, 2);
    EXPECT_EQ(sized->w3.m[1][1], -4.5);
    EXPECT_EQ(ZuValType(empty), ZU_MATRIX);
    EXPECT_EQ(empty->w1.i, 0);
    EXPECT_EQ(IntOf(after), 7);
    FreeOwned(args);
}

TEST_F(ScanningTest, MatrixReadsBackWhatThePrinterWrote) {
    std::FILE* stream = std::tmpfile();
    ZuVALUE file = File(stream);
    ZuVALUE written = Matrix(2, 4, {1.0 / 3, -2e-300, 1e300, 0, 5, 6, 7, 8});
    written.w3.m[1][0] = std::nan("");
    ZuVALUE print[] = {file, String("%m"), written};
    Call(FnFprint, print);
    std::rewind(stream);
    ZuVALUE* m = Var();
    ZuVALUE args[] = {file, String("%m"), Address(m)};
    EXPECT_EQ(Call(FnFscan, args).w1.i, 1);
    ASSERT_EQ(m->w1.i, 2);
    ASSERT_EQ(m->w2.i, 4);
    for (int k = 0; k < 8; ++k) {
        const double want = written.w3.m[k / 4][k % 4], got = m->w3.m[k / 4][k % 4];
        if (std::isnan(want))
            EXPECT_TRUE(std::isnan(got));
        else
            EXPECT_EQ(got, want) << k;
    }
    FreeOwned(print);
    FreeOwned(args);
}

TEST_F(ScanningTest, MatrixSizesAndElementsThatCannotBeRead) {
    std::FILE* stream = FileWith("100000 100000\n1\n");
    ZuVALUE* m = Var();
    ZuVALUE huge[] = {File(stream), String("%m"), Address(m)};
    EXPECT_EQ(Call(FnFscan, huge).w1.i, 0);
    EXPECT_TRUE(MessageEnds("(): matrix[100000][100000] is too large to read"));

    stream = FileWith("2 1\n1 x\n");
    ZuVALUE bad[] = {File(stream), String("%m"), Address(m)};
    EXPECT_EQ(Call(FnFscan, bad).w1.i, 0);

    stream = FileWith("2 2\n1 2 3");
    ZuVALUE shortMatrix[] = {File(stream), String("%m"), Address(m)};
    EXPECT_EQ(Call(FnFscan, shortMatrix).w1.i, -1);

    // A string source reads no matrix.
    ZuVALUE text[] = {String("1 1 5"), String("%m"), Address(m)};
    EXPECT_EQ(Call(FnSscan, text).w1.i, 0);
    FreeOwned(text);
    FreeOwned(huge);
    FreeOwned(bad);
    FreeOwned(shortMatrix);
}

TEST_F(ScanningTest, FileLiteralsAndTheEndOfAFile) {
    std::FILE* stream = FileWith("value: 17\nname  =  zu\n");
    ZuVALUE *n = Var(), *name = Var(), *more = Var();
    ZuVALUE args[] = {File(stream),  String("value:%d"), Address(n),   String(" name = %s"),
                      Address(name), String("%d"),       Address(more)};
    EXPECT_EQ(Call(FnFscan, args).w1.i, 2);
    EXPECT_EQ(IntOf(n), 17);
    EXPECT_EQ(Text(name), "zu");
    ZuVALUE atEnd[] = {File(stream), String("%lf"), Address(more)};
    EXPECT_EQ(Call(FnFscan, atEnd).w1.i, -1);
    FreeOwned(args);
    FreeOwned(atEnd);
}

TEST_F(ScanningTest, StandardInputShowsThePromptAndSpansLines) {
    inputLines = {"42\n"};
    ZuVALUE* a = Var();
    ZuVALUE prompt[] = {String("Number? %d"), Address(a)};
    EXPECT_EQ(Call(FnScan, prompt).w1.i, 1);
    EXPECT_EQ(output, "Number? ");
    EXPECT_EQ(IntOf(a), 42);

    inputLines = {"1\n", "\n", "  2 3\n", "abc\r\n", "1 2\n", "5 6\n"};
    ZuVALUE *b = Var(), *c = Var(), *d = Var(), *line = Var(), *m = Var();
    ZuVALUE args[] = {String("%d"), Address(a),    String("%d"), Address(b), String("%d"), Address(c), String("%*c"),
                      String("%z"), Address(line), String("%m"), Address(m), String("%d"), Address(d)};
    EXPECT_EQ(Call(FnScan, args).w1.i, 5);  // the last read finds the end
    EXPECT_EQ(IntOf(a), 1);
    EXPECT_EQ(IntOf(b), 2);
    EXPECT_EQ(IntOf(c), 3);
    EXPECT_EQ(Text(line), "abc");
    ASSERT_EQ(m->w1.i, 1);
    ASSERT_EQ(m->w2.i, 2);
    EXPECT_EQ(m->w3.m[0][1], 6.0);

    ZuVALUE nothing[] = {String("%d"), Address(a)};
    EXPECT_EQ(Call(FnScan, nothing).w1.i, -1);
    FreeOwned(prompt);
    FreeOwned(args);
    FreeOwned(nothing);
}

TEST_F(ScanningTest, ArgumentErrorsComeBeforeAnyReading) {
    ZuVALUE* source = Var(String("1 2"));
    ZuVALUE* a = Var(Int(5));
    ZuVALUE notAddress[] = {Address(source), String("%d"), Address(a), String("%d"), Int(7)};
    EXPECT_RUN_ERROR(Call(FnSscan, notAddress), 37);
    EXPECT_EQ(
        zu_stdlib_test::StdlibTest::FirstRunMessage().substr(zu_stdlib_test::StdlibTest::FirstRunMessage().find("()")),
        "(): type error in argument 5; expected: address, found: int");
    EXPECT_EQ(IntOf(a), 5);
    EXPECT_EQ(Text(source), "1 2");

    runMessages.clear();
    ZuVALUE notString[] = {Int(5), String("%d"), Address(a)};
    EXPECT_RUN_ERROR(Call(FnSscan, notString), 37);
    EXPECT_TRUE(MessageEnds("(): type error in argument 1; expected: string, found: int"));

    runMessages.clear();
    ZuVALUE notFile[] = {String("x"), String("%d"), Address(a)};
    EXPECT_RUN_ERROR(Call(FnFscan, notFile), 37);
    EXPECT_TRUE(MessageEnds("(): type error in argument 1; expected: file, found: string"));

    // A copy of a file value that has been closed no longer reaches its stream.
    ZuVALUE closed = File(FileWith("1"));
    (void)CloseOpenFile(*FindOpenFile(&closed));
    ZuVALUE stale[] = {closed, String("%d"), Address(a)};
    EXPECT_RUN_ERROR(Call(FnFscan, stale), 37);
    EXPECT_EQ(IntOf(a), 5);

    ZuVALUE negative[] = {String("1 2"), String("%#m"), Int(-1), Int(2), Address(a)};
    EXPECT_RUN_ERROR(Call(FnSscan, negative), 37);
    FreeOwned(notAddress);
    FreeOwned(notString);
    FreeOwned(notFile);
    FreeOwned(stale);
    FreeOwned(negative);
}

TEST(ScanFormatTest, PartsOfAFormat) {
    ScanFormat f = ParseScanFormat("a\\%b %*12lf tail");
    EXPECT_EQ(f.literal, "a%b ");
    EXPECT_EQ(f.conversion, 'f');
    EXPECT_TRUE(f.discard);
    EXPECT_EQ(f.width, 12);
    f = ParseScanFormat("%#M");
    EXPECT_TRUE(f.sized);
    EXPECT_EQ(f.conversion, 'M');
    EXPECT_EQ(f.width, -1);
    EXPECT_EQ(ParseScanFormat("%i").conversion, 'd');
    EXPECT_EQ(ParseScanFormat("%ld").conversion, 0);  // not a conversion of the table
    EXPECT_EQ(ParseScanFormat("%n").conversion, 0);
    EXPECT_EQ(ParseScanFormat("only text").conversion, 0);
    EXPECT_EQ(ParseScanFormat("%99999999999999999999s").width, kMaxNumberWidth * 1024);
}

}  // namespace
