// Print formats: the classifier and the one place where a format reaches
// the C library.
//
// Formats come from programs, so they are never handed to snprintf as they
// stand.  ClassifyFormat takes one apart into the text in front, the one
// conversion (flags, width, precision, conversion letter) and the text
// behind; the Format* functions rebuild a conversion from those parts alone,
// with bounded width and precision, give snprintf exactly one argument of the
// matching type, and copy the two texts around the result.
#ifndef ZU_STDLIB_FORMAT_H
#define ZU_STDLIB_FORMAT_H

#include <string>
#include <string_view>

namespace zu::stdlib {

// What a format converts; the numbers are those the printer reasons with.
enum class FormatKind { None = 0, Int = 1, Double = 2, Matrix = 3, String = 4, Character = 6 };

// Bounds on what a program's format can ask for; larger values are clamped.
inline constexpr int kMaxFieldWidth = 1024;
inline constexpr int kMaxPrecision = 512;

struct FormatPiece {
    FormatKind kind = FormatKind::None;
    int width = 0;                 // columns the format takes in a matrix layout
    std::string before;            // text in front of the conversion, escapes resolved
    std::string after;             // text behind the conversion letter
    std::string flags;             // out of "-+0 #", each at most once, in the given order
    int fieldWidth = -1;           // -1 when none was given
    int precision = -1;            // -1 when none was given
    char conversion = '\0';        // the conversion letter, '\0' without a '%'
    bool hasPercent = false;       // a conversion was found (kind None may still have one)
    std::size_t sourceLength = 0;  // length of the classified text
};

// Classifies a format: the kind, the width and the parts listed above.
// A backslash directly before a '%' makes that '%' text.
[[nodiscard]] FormatPiece ClassifyFormat(std::string_view format);

// The format rebuilt as text (as it classifies again); "%s" kinds keep only
// the '-' flag.  Used to derive formats and in messages.
[[nodiscard]] std::string RebuildFormat(const FormatPiece& piece);

// One value through a classified format.  The value must suit the kind:
// FormatInt for Int and Character, FormatDouble for Double, FormatText for
// String.  A piece of another kind gives the texts around an empty result.
[[nodiscard]] std::string FormatInt(const FormatPiece& piece, int value);
[[nodiscard]] std::string FormatDouble(const FormatPiece& piece, double value);
[[nodiscard]] std::string FormatText(const FormatPiece& piece, std::string_view text);

// A string conversion with only a width and a flag: what "%*s" and "%-*s"
// print, without a format string at all.
[[nodiscard]] std::string PadLeft(std::string_view text, int width);   // right-aligned
[[nodiscard]] std::string PadRight(std::string_view text, int width);  // left-aligned

}  // namespace zu::stdlib

#endif
