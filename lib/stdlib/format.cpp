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

int ClassifiedWidth(const FormatSpec& spec, int front) {
    const bool given = spec.fieldWidth >= 0;
    int width = (given ? spec.fieldWidth : 0) + front;
    if (spec.kind == FormatKind::Double && !given) width += spec.precision < 0 ? 6 + 7 : spec.precision + 7;
    if (spec.kind == FormatKind::Int && !given) width += spec.precision < 0 ? 1 : spec.precision;
    const auto afterLength = static_cast<int>(std::min<std::size_t>(spec.after.size(), kMaxFieldWidth));
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
std::string UsefulFlags(const FormatSpec& spec) {
    std::string out;
    for (char flag : spec.flags) {
        const bool keep = spec.conversion == 's' || spec.conversion == 'c'
                              ? flag == '-'
                              : flag != '#' || std::string_view{"oxXeEfgG"}.find(spec.conversion) != std::string_view::npos;
        if (keep) out += flag;
    }
    return out;
}

// The conversion alone, as snprintf gets it: '%', flags, bounded width and
// precision, the letter.
std::string Conversion(const FormatSpec& spec) {
    std::string conversion = "%" + UsefulFlags(spec);
    if (spec.fieldWidth >= 0) conversion += std::to_string(std::min(spec.fieldWidth, kMaxFieldWidth));
    if (spec.precision >= 0 && spec.conversion != 'c')
        conversion += "." + std::to_string(std::min(spec.precision, kMaxPrecision));
    conversion += spec.conversion;
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

std::string Around(const FormatSpec& spec, const std::string& converted) {
    return spec.before + converted + TextAfter(spec.after);
}

}  // namespace

FormatSpec ClassifyFormat(std::string_view format) {
    FormatSpec spec;
    spec.sourceLength = format.size();
    std::size_t i = 0;
    int front = 0;
    for (; i < format.size() && format[i] != '%'; ++i, ++front) {
        if (format[i] == '\\' && i + 1 < format.size() && format[i + 1] == '%') ++i;
        spec.before += format[i];
    }
    if (i == format.size()) {
        spec.width = std::min(front, kMaxFieldWidth);
        return spec;
    }
    spec.hasPercent = true;
    ++i;
    for (; i < format.size() && kFlagChars.find(format[i]) != std::string_view::npos; ++i) {
        if (spec.flags.find(format[i]) == std::string::npos) spec.flags += format[i];
    }
    if (i < format.size() && IsDigit(format[i])) spec.fieldWidth = ReadNumber(format, &i, kMaxFieldWidth);
    if (i < format.size() && format[i] == '.') {
        ++i;
        spec.precision = ReadNumber(format, &i, kMaxPrecision);
    }
    if (i < format.size()) spec.conversion = format[i++];
    spec.after = std::string{format.substr(i)};
    spec.kind = KindOf(spec.conversion);
    spec.width = ClassifiedWidth(spec, std::min(front, kMaxFieldWidth));
    return spec;
}

std::string RebuildFormat(const FormatSpec& spec) {
    std::string out;
    for (char ch : spec.before) {
        if (ch == '%') out += '\\';
        out += ch;
    }
    if (!spec.hasPercent) return out;
    out += '%';
    out += spec.kind == FormatKind::String ? UsefulFlags(spec) : spec.flags;
    if (spec.fieldWidth >= 0) out += std::to_string(spec.fieldWidth);
    if (spec.precision >= 0) out += "." + std::to_string(spec.precision);
    if (spec.conversion != '\0') out += spec.conversion;
    return out + spec.after;
}

std::string FormatInt(const FormatSpec& spec, int value) {
    if (spec.kind == FormatKind::Character) return Around(spec, PrintOne(Conversion(spec), value));
    if (spec.kind != FormatKind::Int) return Around(spec, {});
    if (spec.conversion == 'd' || spec.conversion == 'i') return Around(spec, PrintOne(Conversion(spec), value));
    return Around(spec, PrintOne(Conversion(spec), static_cast<unsigned>(value)));
}

std::string FormatDouble(const FormatSpec& spec, double value) {
    if (spec.kind != FormatKind::Double) return Around(spec, {});
    return Around(spec, PrintOne(Conversion(spec), value));
}

std::string FormatText(const FormatSpec& spec, std::string_view text) {
    if (spec.kind != FormatKind::String) return Around(spec, {});
    const std::string terminated{text};
    return Around(spec, PrintOne(Conversion(spec), terminated.c_str()));
}

std::string PadLeft(std::string_view text, int width) {
    std::string out;
    if (width > 0 && text.size() < static_cast<std::size_t>(width)) out.assign(static_cast<std::size_t>(width) - text.size(), ' ');
    return out.append(text);
}

std::string PadRight(std::string_view text, int width) {
    std::string out{text};
    if (width > 0 && text.size() < static_cast<std::size_t>(width)) out.append(static_cast<std::size_t>(width) - text.size(), ' ');
    return out;
}

}  // namespace zu::stdlib
