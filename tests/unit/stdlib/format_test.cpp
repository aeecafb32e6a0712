// The format classifier and the bounded formatting of program formats.
#include <gtest/gtest.h>

#include <string>

#include "stdlib/format.h"

using zu::stdlib::ClassifyFormat;
using zu::stdlib::FormatDouble;
using zu::stdlib::FormatInt;
using zu::stdlib::FormatKind;
using zu::stdlib::FormatText;

namespace {

TEST(FormatClassifier, KindsAndWidthsOfTheConversionLetters) {
    struct Case {
        const char* format;
        FormatKind kind;
        int width;
    };
    const Case cases[] = {
        {"%g", FormatKind::Double, 13},                                           // precision 6 + 7
        {"%8.3f", FormatKind::Double, 8},    {"x=%.2e", FormatKind::Double, 11},  // 2 in front + 2 + 7
        {"%#13.5g", FormatKind::Double, 13}, {"%E;", FormatKind::Double, 14},     // the text after counts
        {"%d", FormatKind::Int, 1},          {"%5x", FormatKind::Int, 5},          {"ab%.4i", FormatKind::Int, 6},
        {"%s", FormatKind::String, 0},       {"%c", FormatKind::Character, 0},     {"%m", FormatKind::Matrix, 0},
        {"%#M", FormatKind::Matrix, 0},      {"%p", FormatKind::None, 0},          {"%n", FormatKind::None, 0},
        {"%ld", FormatKind::None, 1},        {"no percent", FormatKind::None, 10}, {"%", FormatKind::None, 0},
    };
    for (const Case& c : cases) {
        const auto piece = ClassifyFormat(c.format);
        EXPECT_EQ(piece.kind, c.kind) << c.format;
        EXPECT_EQ(piece.width, c.width) << c.format;
    }
}

TEST(FormatClassifier, BackslashBeforePercentMakesItText) {
    const auto piece = ClassifyFormat("a\\%b%6.2f");
    EXPECT_EQ(piece.kind, FormatKind::Double);
    EXPECT_EQ(piece.before, "a%b");
    EXPECT_EQ(piece.width, 9);  // three characters in front, the backslash not counted
    EXPECT_EQ(FormatDouble(piece, 1.5), "a%b  1.50");
    EXPECT_EQ(ClassifyFormat("\\%d").kind, FormatKind::None);
}

TEST(FormatClassifier, FlagsWidthPrecisionAndTextAreKeptApart) {
    const auto piece = ClassifyFormat("[%-+08.3f] %% %d");
    EXPECT_EQ(piece.flags, "-+0");
    EXPECT_EQ(piece.fieldWidth, 8);
    EXPECT_EQ(piece.precision, 3);
    EXPECT_EQ(piece.conversion, 'f');
    EXPECT_EQ(piece.after, "] %% %d");
    // Only one conversion is made; the rest is text, "%%" printing one '%'.
    EXPECT_EQ(FormatDouble(piece, 2.0), "[+2.000  ] % %d");
}

TEST(FormatClassifier, HostileFormatsAreBoundedAndNeverConvertTwice) {
    // A width and a precision of any length are read without overflow and
    // clamped.
    const std::string huge = "%" + std::string(400, '9') + "." + std::string(400, '9') + "f";
    const auto piece = ClassifyFormat(huge);
    EXPECT_EQ(piece.kind, FormatKind::Double);
    const std::string text = FormatDouble(piece, 1.0);
    EXPECT_LE(text.size(), 2000u);
    EXPECT_GE(text.size(), static_cast<std::size_t>(zu::stdlib::kMaxFieldWidth));
    // Directives after the first are copied as text, never handed an argument.
    EXPECT_EQ(FormatInt(ClassifyFormat("%d %s %n %p"), 7), "7 %s %n %p");
    EXPECT_EQ(FormatText(ClassifyFormat("%s%s%s"), "a"), "a%s%s");
    // A format of the wrong kind converts nothing.
    EXPECT_EQ(FormatDouble(ClassifyFormat("<%d>"), 1.0), "<>");
    EXPECT_EQ(FormatInt(ClassifyFormat("<%s>"), 1), "<>");
}

TEST(FormatConversions, FlagsTheCLibraryLeavesUndefinedAreDropped) {
    EXPECT_EQ(FormatText(ClassifyFormat("%#013s|"), "ab"), "           ab|");
    EXPECT_EQ(FormatText(ClassifyFormat("%-5s|"), "ab"), "ab   |");
    EXPECT_EQ(FormatText(ClassifyFormat("%.1s"), "ab"), "a");
    EXPECT_EQ(FormatInt(ClassifyFormat("%#x"), 255), "0xff");
    EXPECT_EQ(FormatInt(ClassifyFormat("%x"), -1), "ffffffff");
    EXPECT_EQ(FormatInt(ClassifyFormat("%3c|"), 'A'), "  A|");
    EXPECT_EQ(FormatInt(ClassifyFormat("%05d"), 42), "00042");
}

TEST(FormatConversions, RebuiltFormatClassifiesTheSame) {
    for (const char* f : {"%#13.5g", "x\\%=%-8.2e end", "%+5d", "%m", "plain"}) {
        const auto piece = ClassifyFormat(f);
        const auto again = ClassifyFormat(zu::stdlib::RebuildFormat(piece));
        EXPECT_EQ(again.kind, piece.kind) << f;
        EXPECT_EQ(again.width, piece.width) << f;
        EXPECT_EQ(again.before, piece.before) << f;
    }
}

TEST(FormatConversions, PaddingHelpers) {
    EXPECT_EQ(zu::stdlib::PadLeft("ab", 5), "   ab");
    EXPECT_EQ(zu::stdlib::PadRight("ab", 5), "ab   ");
    EXPECT_EQ(zu::stdlib::PadLeft("abcdef", 3), "abcdef");
    EXPECT_EQ(zu::stdlib::PadRight("", 0), "");
}

}  // namespace
