// The format classifier and the bounded formatting of one value.
#include "stdlib/format.h"

#include <algorithm>
#include <cstdio>

namespace zu::stdlib {
namespace {

constexpr std::string_view kFlagChars = "-+0 #";

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Reads decimal digits from position i on; the value saturates just above
// `limit`, so any run of digits is read without overflow.
int ReadNumber(std::string_view text, std::size_t* i, int limit) {
    int value = 0;
    while (*i < text.size() && IsDigit(text[*i])) {
        if (value <= limit) value = value * 10 + (text[*i] - '0');
        ++*i;
    }
    return std::min(value, limit + 1);
}

FormatKind KindOf(char conversion) {
    switch (conversion) {
    case 'f':
    case 'g':
    case 'G':
    case 'e':
    case 'E': return FormatKind::Double;
    case 'd':
    case 'i':
    case 'u':
    case 'o':
    case 'x':
    case 'X': return FormatKind::Int;
    case 's': return FormatKind::String;
    case 'c': return FormatKind::Character;
    case 'm':
    case 'M': return FormatKind::Matrix;
    default: return FormatKind::None;
    }
}

int ClassifiedWidth(const FormatPiece& piece, int front) {
    const bool given = piece.fieldWidth >= 0;
    int width = (given ? piece.fieldWidth : 0) + front;
    if (piece.kind == FormatKind::Double && !given) width += piece.precision < 0 ? 6 + 7 : piece.precision + 7;
    if (piece.kind == FormatKind::Int && !given) width += piece.precision < 0 ? 1 : piece.precision;
    const auto afterLength = static_cast<int>(std::min<std::size_t>(piece.after.size(), kMaxFieldWidth));
    return width + afterLength;
}

// The text behind a conversion, printed as printf would print plain text:
// "%%" and "\%" stand for one '%'.
std::string TextAfter(std::string_view after) {
    std::string out;
    out.reserve(after.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        if ((after[i] == '%' || after[i] == '\\') && i + 1 < after.size() && after[i + 1] == '%') ++i;
        out += after[i];
    }
    return out;
}

// Flags that mean something for the conversion; the others are left out,
// since the C library leaves their effect undefined.
std::string UsefulFlags(const FormatPiece& piece) {
    std::string out;
    for (char flag : piece.flags) {
        const bool keep =
            piece.conversion == 's' || piece.conversion == 'c'
                ? flag == '-'
                : flag != '#' || std::string_view{"oxXeEfgG"}.find(piece.conversion) != std::string_view::npos;
        if (keep) out += flag;
    }
    return out;
}

// The conversion alone, as snprintf gets it: '%', flags, bounded width and
// precision, the letter.
std::string Conversion(const FormatPiece& piece) {
    std::string conversion = "%" + UsefulFlags(piece);
    if (piece.fieldWidth >= 0) conversion += std::to_string(std::min(piece.fieldWidth, kMaxFieldWidth));
    if (piece.precision >= 0 && piece.conversion != 'c')
        conversion += "." + std::to_string(std::min(piece.precision, kMaxPrecision));
    conversion += piece.conversion;
    return conversion;
}

// snprintf of one value with a conversion that Conversion built, which
// holds exactly one directive of the value's type.
template <typename T>
std::string PrintOne(const std::string& conversion, T value) {
    char small[256];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int needed = std::snprintf(small, sizeof small, conversion.c_str(), value);
    if (needed < 0) return {};
    if (static_cast<std::size_t>(needed) < sizeof small) return std::string(small, static_cast<std::size_t>(needed));
    std::string text(static_cast<std::size_t>(needed), '\0');
    std::snprintf(text.data(), text.size() + 1, conversion.c_str(), value);
#pragma GCC diagnostic pop
    return text;
}

std::string Around(const FormatPiece& piece, const std::string& converted) {
    return piece.before + converted + TextAfter(piece.after);
}

}  // namespace

FormatPiece ClassifyFormat(std::string_view format) {
    FormatPiece piece;
    piece.sourceLength = format.size();
    std::size_t i = 0;
    int front = 0;
    for (; i < format.size() && format[i] != '%'; ++i, ++front) {
        if (format[i] == '\\' && i + 1 < format.size() && format[i + 1] == '%') ++i;
        piece.before += format[i];
    }
    if (i == format.size()) {
        piece.width = std::min(front, kMaxFieldWidth);
        return piece;
    }
    piece.hasPercent = true;
    ++i;
    for (; i < format.size() && kFlagChars.find(format[i]) != std::string_view::npos; ++i) {
        if (piece.flags.find(format[i]) == std::string::npos) piece.flags += format[i];
    }
    if (i < format.size() && IsDigit(format[i])) piece.fieldWidth = ReadNumber(format, &i, kMaxFieldWidth);
    if (i < format.size() && format[i] == '.') {
        ++i;
        piece.precision = ReadNumber(format, &i, kMaxPrecision);
    }
    if (i < format.size()) piece.conversion = format[i++];
    piece.after = std::string{format.substr(i)};
    piece.kind = KindOf(piece.conversion);
    piece.width = ClassifiedWidth(piece, std::min(front, kMaxFieldWidth));
    return piece;
}

std::string RebuildFormat(const FormatPiece& piece) {
    std::string out;
    for (char ch : piece.before) {
        if (ch == '%') out += '\\';
        out += ch;
    }
    if (!piece.hasPercent) return out;
    out += '%';
    out += piece.kind == FormatKind::String ? UsefulFlags(piece) : piece.flags;
    if (piece.fieldWidth >= 0) out += std::to_string(piece.fieldWidth);
    if (piece.precision >= 0) out += "." + std::to_string(piece.precision);
    if (piece.conversion != '\0') out += piece.conversion;
    return out + piece.after;
}

std::string FormatInt(const FormatPiece& piece, int value) {
    if (piece.kind == FormatKind::Character) return Around(piece, PrintOne(Conversion(piece), value));
    if (piece.kind != FormatKind::Int) return Around(piece, {});
    if (piece.conversion == 'd' || piece.conversion == 'i') return Around(piece, PrintOne(Conversion(piece), value));
    return Around(piece, PrintOne(Conversion(piece), static_cast<unsigned>(value)));
}

std::string FormatDouble(const FormatPiece& piece, double value) {
    if (piece.kind != FormatKind::Double) return Around(piece, {});
    return Around(piece, PrintOne(Conversion(piece), value));
}

std::string FormatText(const FormatPiece& piece, std::string_view text) {
    if (piece.kind != FormatKind::String) return Around(piece, {});
    const std::string terminated{text};
    return Around(piece, PrintOne(Conversion(piece), terminated.c_str()));
}

std::string PadLeft(std::string_view text, int width) {
    std::string out;
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        out.assign(static_cast<std::size_t>(width) - text.size(), ' ');
    return out.append(text);
}

std::string PadRight(std::string_view text, int width) {
    std::string out{text};
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        out.append(static_cast<std::size_t>(width) - text.size(), ' ');
    return out;
}

}  // namespace zu::stdlib
