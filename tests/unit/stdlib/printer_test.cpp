// The value printer and the matrix layout, over values built by hand.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "stdlib/matrix_print.h"
#include "stdlib/print_settings.h"
#include "stdlib/value_printer.h"
#include "stdlib_fixture.h"

using zu::stdlib::ClassifyFormat;
using zu::stdlib::PrintOptions;
using zu::stdlib::PrintSink;
using zu::stdlib::PrintValue;
using zu::stdlib::ValueText;
using zu_stdlib_test::StdlibTest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class PrinterTest : public StdlibTest {
protected:
    // The text of one value printed with a format.
    static std::string Printed(const ZuVALUE& v, const char* format) {
        PrintOptions options;
        options.format = ClassifyFormat(format);
        PrintSink sink = PrintSink::Collect();
        PrintValue(sink, v, options);
        return std::string{sink.Text()};
    }
    static std::string Printed(const ZuVALUE& v, const PrintOptions& options) {
        PrintSink sink = PrintSink::Collect();
        PrintValue(sink, v, options);
        return std::string{sink.Text()};
    }
    // A row of the default layout: each element in "%#13.5g".
    static std::string Cells(std::initializer_list<const char*> cells) {
        std::string out;
        for (const char* c : cells) out += zu::stdlib::PadLeft(c, 13);
        return out;
    }
    // What a file sink receives.
    static std::string FileText(const ZuVALUE& v, const char* format) {
        std::FILE* f = std::tmpfile();
        {
            PrintSink sink = PrintSink::File(f);
            PrintOptions options;
            options.format = ClassifyFormat(format);
            PrintValue(sink, v, options);
            sink.Flush();
        }
        std::rewind(f);
        std::string text;
        for (int ch = std::fgetc(f); ch != EOF; ch = std::fgetc(f)) text += static_cast<char>(ch);
        std::fclose(f);
        return text;
    }
};

TEST_F(PrinterTest, ScalarsWithDefaultAndGivenFormats) {
    EXPECT_EQ(ValueText(Double(1.5)), "1.5");
    EXPECT_EQ(ValueText(Int(-12)), "-12");
    EXPECT_EQ(Printed(Double(2.7), "%d"), "3");
    EXPECT_EQ(Printed(Double(-2.5), "%d"), "-2");  // halves round up
    EXPECT_EQ(Printed(Int(3), "%6.2f"), "  3.00");
    EXPECT_EQ(Printed(Int(65), "%c"), "A");
    EXPECT_EQ(Printed(Int(7), "%s"), "7");  // a string format does not suit an int
    EXPECT_EQ(Printed(Double(0.25), "%5.1f|"), "  0.2|");
    // Special values, in the width of the format they replace.
    EXPECT_EQ(ValueText(Double(kNaN)), ".NaN");
    EXPECT_EQ(ValueText(Double(-kInf)), "-.Inf");
    EXPECT_EQ(Printed(Double(kInf), "%8.3f"), "   +.Inf");
    // A double too large for an int keeps its double form under "%d".
    EXPECT_EQ(Printed(Double(1e20), "%d"), "1e+20");
    EXPECT_EQ(Printed(Double(kNaN), "%d"), ".NaN");
}

TEST_F(PrinterTest, StringsFunctionsFilesAndNull) {
    ZuVALUE s = Keep(String("abc"));
    EXPECT_EQ(ValueText(s), "abc");
    EXPECT_EQ(Printed(s, "[%5s]"), "[  abc]");
    EXPECT_EQ(Printed(s, "%d"), "abc");
    ZuVALUE nul{};
    ZuValSetNull(&nul);
    EXPECT_EQ(ValueText(nul), "(null)");
    ZuVALUE file{};
    file.t = ZU_FILE;
    EXPECT_EQ(ValueText(file), "(file)");
    char declaration[] = "cc$f";
    ZuVALUE fn{};
    fn.t = ZU_FUNCTION;
    fn.w1.i = 2;
    fn.w3.s = declaration;
    EXPECT_EQ(ValueText(fn), "f()");
    EXPECT_EQ(Printed(fn, "%-3s|"), "f  |");
    fn.t = ZU_INTFUNC;
    EXPECT_EQ(ValueText(fn).rfind("f(&0x", 0), 0u);
    fn.w3.s = nullptr;
    EXPECT_EQ(ValueText(fn), "??");
}

TEST_F(PrinterTest, OneByOneAndEmptyMatrices) {
    ZuVALUE m = Keep(Matrix(1, 1, {1.5}));
    EXPECT_EQ(ValueText(m), "\n       1.5000\n");
    ZuVALUE empty = Keep(Matrix(0, 0));
    EXPECT_EQ(ValueText(empty), "\n<>\n");
    ZuVALUE noColumns = Keep(Matrix(2, 0));
    EXPECT_EQ(ValueText(noColumns), "\n<>\n");
    ZuVALUE special = Keep(Matrix(1, 3, {kNaN, kInf, -kInf}));
    EXPECT_EQ(ValueText(special), "\n" + Cells({".NaN", "+.Inf", "-.Inf"}) + "\n");
}

TEST_F(PrinterTest, WideMatricesSplitIntoBlocksOfSixWithHeaders) {
    ZuVALUE wide = Keep(Matrix(2, 20));
    std::string expected = "\n";
    const std::string zeros6 = Cells({"0.0000", "0.0000", "0.0000", "0.0000", "0.0000", "0.0000"});
    for (int j0 : {0, 6, 12, 18}) {
        const int j1 = j0 == 18 ? 19 : j0 + 5;
        expected += "// [][" + std::to_string(j0) + "]...[][" + std::to_string(j1) + "]\n";
        const std::string row = j0 == 18 ? Cells({"0.0000", "0.0000"}) : zeros6;
        expected += row + "\n" + row + "\n";
    }
    EXPECT_EQ(ValueText(wide), expected);
    // One row: the same blocks without header lines.
    ZuVALUE row = Keep(Matrix(1, 7));
    EXPECT_EQ(ValueText(row), "\n" + zeros6 + "\n" + Cells({"0.0000"}) + "\n");
    // Headers only when asked for.
    PrintOptions quiet;
    quiet.blockHeaders = false;
    EXPECT_EQ(Printed(wide, quiet).find("//"), std::string::npos);
}

TEST_F(PrinterTest, LineWidthAndElementFormatDecideTheBlocks) {
    zu::stdlib::Settings().lineWidth = 30;
    ZuVALUE m = Keep(Matrix(2, 3, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(ValueText(m), "\n// [][0]...[][1]\n" + Cells({"1.0000", "2.0000"}) + "\n" + Cells({"4.0000", "5.0000"}) +
                                "\n// [][2]...[][2]\n" + Cells({"3.0000"}) + "\n" + Cells({"6.0000"}) + "\n");
    // A width beyond the line still prints one column a block.
    zu::stdlib::Settings().lineWidth = 0;
    const std::string narrow = ValueText(m);
    EXPECT_EQ(std::count(narrow.begin(), narrow.end(), '/'), 3 * 2);
    zu::stdlib::Settings().lineWidth = 80;
    EXPECT_EQ(Printed(m, "%5.1f"), "\n  1.0  2.0  3.0\n  4.0  5.0  6.0\n");
}

TEST_F(PrinterTest, RowAndColumnLabels) {
    ZuVALUE m = Keep(Matrix(2, 2, {1, 2, 3, 4}));
    ZuVALUE rows = Keep(Strings({"a", "b"}));
    PrintOptions options;
    options.rowLabels = &rows;
    EXPECT_EQ(Printed(m, options),
              "\na     " + Cells({"1.0000", "2.0000"}) + "\nb     " + Cells({"3.0000", "4.0000"}) + "\n");
    // Labels of 6 to 12 characters take 13 columns; longer ones their length;
    // a row without label gets blanks.
    ZuVALUE medium = Keep(Strings({"sixsix"}));
    options.rowLabels = &medium;
    EXPECT_EQ(Printed(m, options), "\nsixsix       " + Cells({"1.0000", "2.0000"}) + "\n" + std::string(13, ' ') +
                                       Cells({"3.0000", "4.0000"}) + "\n");
    ZuVALUE cols = Keep(Strings({"x"}));
    PrintOptions labelled;
    labelled.columnLabels = &cols;
    EXPECT_EQ(Printed(m, labelled), "\n" + zu::stdlib::PadLeft("x", 13) + std::string(13, ' ') + "\n" +
                                        Cells({"1.0000", "2.0000"}) + "\n" + Cells({"3.0000", "4.0000"}) + "\n");
    // With a narrow format the labels keep their own width.
    PrintOptions narrow;
    narrow.format = ClassifyFormat("%4.0f");
    narrow.rowLabels = &rows;
    EXPECT_EQ(Printed(m, narrow), "\na   1   2\nb   3   4\n");
}

TEST_F(PrinterTest, ColumnFormatsAndLowerTriangle) {
    ZuVALUE m = Keep(Matrix(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}));
    ZuVALUE formats = Keep(Strings({"%4.1f", "%6.2f"}));
    PrintOptions options;
    options.columnFormats = &formats;
    // The last given format serves the remaining columns.
    EXPECT_EQ(Printed(m, options), "\n 1.0  2.00  3.00\n 4.0  5.00  6.00\n 7.0  8.00  9.00\n");
    // Only leading double formats count.
    ZuVALUE mixed = Keep(Strings({"%3.0f", "%d", "%9.1f"}));
    options.columnFormats = &mixed;
    EXPECT_EQ(Printed(m, options), "\n  1  2  3\n  4  5  6\n  7  8  9\n");
    PrintOptions lower;
    lower.lower = true;
    lower.format = ClassifyFormat("%3.0f");
    EXPECT_EQ(Printed(m, lower), "\n  1\n  4  5\n  7  8  9\n");
    // In blocks, each block starts at the row of its first column.
    zu::stdlib::Settings().lineWidth = 6;
    EXPECT_EQ(Printed(m, lower), "\n// [][0]...[][1]\n  1\n  4  5\n  7  8\n// [][2]...[][2]\n  9\n");
}

TEST_F(PrinterTest, MatrixFileFormOnStreamsOnly) {
    ZuVALUE m = Keep(Matrix(2, 2, {1, 2, kNaN, -kInf}));
    using zu::stdlib::PadLeft;
    EXPECT_EQ(FileText(m, "%m"),
              "2 2\n    1.0000000000000000e+00    2.0000000000000000e+00\n . " + PadLeft("-.Inf", 25) + "\n");
    EXPECT_EQ(FileText(m, "%#M"),
              " " + PadLeft("1.0000", 13) + " " + PadLeft("2.0000", 13) + "\n . " + PadLeft("-.Inf", 13) + "\n");
    // Three elements of 25 columns fit into a line of 80.
    ZuVALUE row = Keep(Matrix(1, 4, {1, 2, 3, 4}));
    const std::string text = FileText(row, "%#m");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    // Into a string the matrix keeps its layout.
    EXPECT_EQ(Printed(m, "%m"), ValueText(m));
}

TEST_F(PrinterTest, ArraysPrintTheirIndexPaths) {
    ZuVALUE inner = Strings({"x", "y"});
    ZuVALUE outer{};
    ZuLibValArrayCalloc(&outer, 3);
    ZuValSetInt(&outer.w2.v[0], 1);
    outer.w2.v[1] = inner;  // the outer array owns it now
    ZuLibValMatMalloc(&outer.w2.v[2], 0, 0);
    Keep(outer);
    EXPECT_EQ(ValueText(outer), "\n[0] = 1\n[1][0] = x\n[1][1] = y\n[2] = <>\n");
    EXPECT_EQ(Printed(outer, "%p").rfind("0x", 0), 0u);
    // An address level is written "&[...]".
    ZuVALUE address{};
    address.t = ZU_ARRAY | ZU_FLAG_ADR;
    address.w1.i = 1;
    address.w2.v = &outer.w2.v[0];
    EXPECT_EQ(ValueText(address), "\n&[0] = 1\n");
}

TEST_F(PrinterTest, CyclesThroughAddressesEndAtTheLevelLimit) {
    ZuVALUE array{};
    ZuLibValArrayCalloc(&array, 1);
    ZuVALUE* self = &array.w2.v[0];
    self->t = ZU_ARRAY | ZU_FLAG_ADR;
    self->w1.i = 1;
    self->w2.v = self;
    const std::string text = ValueText(array);
    EXPECT_EQ(text, "\n[0]&[0]&[0]&[0]&[0]&[0]&[0]&[0]&[0] = address[1]\n");
    self->t = ZU_INT;
    ZuFreeValue(&array);
}

TEST_F(PrinterTest, ObjectsListTheirMembers) {
    char a[] = "a", b[] = "b";
    ZuNAMEDVALUE members[2] = {{a, Int(4)}, {b, Matrix(1, 1, {2})}};
    ZuVALUE object{};
    object.t = ZU_CLASS;
    object.w1.i = 2;
    object.w4.nv = members;
    EXPECT_EQ(ValueText(object), "\n->a = 4\n->b = \n       2.0000\n");
    EXPECT_EQ(Printed(object, "%p").rfind("&0x", 0), 0u);
    ZuFreeValue(&members[1].val);
}

}  // namespace
