// Numbers and identifiers: the run of letters, digits and "_" already in
// the token text (or a "." that a digit follows) becomes an identifier,
// an int, a double, a complex double or a hex double.
#include <bit>
#include <cstdint>
#include <string>

#include "compiler/scanner.h"

namespace zu::compiler {
namespace {

constexpr int kHexIntDigits = 8;
constexpr int kHexDoubleDigits = 16;

bool IsExponentLetter(int c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }
bool IsImaginary(int c) { return c == 'i' || c == 'I'; }

void TruncateText(std::size_t length) {
    ScanState& s = Scan();
    if (length >= static_cast<std::size_t>(s.textLength)) return;
    s.textLength = static_cast<int>(length);
    s.text[length] = '\0';
}

// ---- hexadecimal ----------------------------------------------------------

// "0x" and hex digits: an int given by its 32-bit pattern.
int HexInt(std::string_view digits) {
    std::uint32_t value = 0;
    int taken = 0;
    bool truncated = false, bad = false;
    for (char ch : digits) {
        if (!IsHexChar(static_cast<unsigned char>(ch))) {
            bad = true;
            break;
        }
        if (taken == kHexIntDigits) {
            truncated = true;
            continue;
        }
        value = value * 16 + static_cast<std::uint32_t>(HexValue(static_cast<unsigned char>(ch)));
        ++taken;
    }
    if (bad) Report(ScanMessage::BadHex);
    if (truncated) Report(ScanMessage::HexTruncated);
    SetText(std::to_string(static_cast<std::int32_t>(value)));
    return tok::Int;
}

// "0x." (or "0v.") and up to 16 hex digits; the text is the digits alone.
int HexDoubleAfterDot() {
    int c = GetChar();
    if (c != '.') {
        UngetChar(c);
        Report(ScanMessage::BadHex);
        return 0;  // and the "0x" is unrecognized
    }
    ClearText();
    int taken = 0;
    for (c = GetChar(); IsHexChar(c); c = GetChar()) {
        if (taken == kHexDoubleDigits) {
            Report(ScanMessage::HexTruncated);
            continue;
        }
        AppendText(c);
        ++taken;
    }
    UngetChar(c);
    if (taken == 0) Report(ScanMessage::BadHex);
    return tok::HexDouble;
}

// "0v" and hex digits in the run: the text becomes "0x" and the digits.
int HexDoubleInRun(std::string_view digits) {
    std::string text = "0x";
    bool truncated = false, bad = digits.empty();
    for (char ch : digits) {
        if (!IsHexChar(static_cast<unsigned char>(ch))) {
            bad = true;
            break;
        }
        if (text.size() == 2 + kHexDoubleDigits)
            truncated = true;
        else
            text.push_back(ch);
    }
    if (bad) Report(ScanMessage::BadHex);
    if (truncated) Report(ScanMessage::HexTruncated);
    SetText(text);
    return tok::HexDouble;
}

int Hexadecimal(std::string_view run) {
    const bool vForm = run[1] == 'v' || run[1] == 'V';
    std::string rest(run.substr(2));
    if (rest.empty()) return HexDoubleAfterDot();
    return vForm ? HexDoubleInRun(rest) : HexInt(rest);
}

// ---- decimal ----------------------------------------------------------------

// The exponent digits after "e" (the sign, if any, already in the text):
// digits, and an "i" right after them for a complex double.
int ExponentDigits(std::string_view tail) {
    bool complex = tail.size() > 1 && IsImaginary(static_cast<unsigned char>(tail.back()));
    std::string_view digits = complex ? tail.substr(0, tail.size() - 1) : tail;
    bool ok = !digits.empty();
    for (char ch : digits) ok = ok && IsDigitChar(static_cast<unsigned char>(ch));
    for (char ch : ok ? digits : tail) AppendText(static_cast<unsigned char>(ch));
    FinishText();
    if (!ok) {
        Report(ScanMessage::BadDouble, Text());
        return tok::Double;
    }
    return complex ? tok::Complex : tok::Double;
}

// The exponent letter is in the text; sign and digits come from the input.
int ExponentFromInput() {
    int c = GetChar();
    if (c == '+' || c == '-') {
        AppendText(c);
        c = GetChar();
    }
    std::string tail;
    while (IsRunChar(c) && tail.size() <= static_cast<std::size_t>(kTokenTextMax)) {
        tail.push_back(static_cast<char>(c));
        c = GetChar();
    }
    UngetChar(c);
    return ExponentDigits(tail);
}

// "2./x" reads as 2. / x, which a reader may not expect.
void WarnDotBeforeOperator() {
    if (Scan().gauss || Text().empty() || Text().back() != '.') return;
    int c = ReadChar();
    if (c == '/' || c == '^' || c == '?' || c == ':') Report(ScanMessage::DotInNumber);
    UngetChar(c);
}

// The "." is in the text: fraction digits and an optional exponent.
int Fraction() {
    int c = GetChar();
    while (IsDigitChar(c)) {
        AppendText(c);
        c = GetChar();
    }
    if (IsExponentLetter(c)) {
        AppendText(c);
        return ExponentFromInput();
    }
    UngetChar(c);
    FinishText();
    WarnDotBeforeOperator();
    return tok::Double;
}

int Decimal(std::string_view run) {
    std::size_t p = 0;
    while (p < run.size() && IsDigitChar(static_cast<unsigned char>(run[p]))) ++p;
    if (p == run.size()) {
        int c = GetChar();
        if (c != '.') {
            UngetChar(c);
            return tok::Int;
        }
        AppendText('.');
        return Fraction();
    }
    const int letter = static_cast<unsigned char>(run[p]);
    if (IsImaginary(letter) && p + 1 == run.size()) {
        TruncateText(p);
        return tok::Complex;
    }
    if (!IsExponentLetter(letter)) return 0;
    std::string tail(run.substr(p + 1));
    TruncateText(p + 1);
    return tail.empty() ? ExponentFromInput() : ExponentDigits(tail);
}

}  // namespace

int ScanNumberOrIdentifier() {
    const std::string_view run = Text();
    if (run.empty()) return 0;
    const int first = static_cast<unsigned char>(run[0]);
    if (IsLetterChar(first) || first == '_') {
        TruncateText(kIdentifierMax);
        return tok::Identifier;
    }
    if (first == '.') return run.size() == 1 ? Fraction() : 0;
    if (!IsDigitChar(first)) return 0;
    if (first == '0' && run.size() >= 2 && (run[1] == 'x' || run[1] == 'X' || run[1] == 'v' || run[1] == 'V'))
        return Hexadecimal(run);
    return Decimal(run);
}

double HexDoubleValue(std::string_view text) {
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
    std::uint64_t bits = 0;
    int taken = 0;
    for (char ch : text) {
        const int c = static_cast<unsigned char>(ch);
        if (!IsHexChar(c) || taken == kHexDoubleDigits) break;
        bits = bits * 16 + static_cast<std::uint64_t>(HexValue(c));
        ++taken;
    }
    return std::bit_cast<double>(bits);
}

}  // namespace zu::compiler
