// String literals, escape sequences, character literals and the unquoted
// arguments of ZuGauss commands.
#include <cstring>
#include <optional>
#include <string>

#include "compiler/scanner.h"
#include "zu.h"

namespace zu::compiler {
namespace {

// Up to `more` further digits of a numeric escape, in `base`.
int MoreDigits(int value, int more, int base) {
    for (int i = 0; i < more; ++i) {
        int c = GetChar();
        const bool ok = base == 16 ? IsHexChar(c) : (base == 8 ? (c >= '0' && c <= '7') : IsDigitChar(c));
        if (!ok) {
            UngetChar(c);
            break;
        }
        value = value * base + (base == 16 ? HexValue(c) : c - '0');
    }
    return value;
}

std::optional<int> LetterEscape(int c) {
    switch (c) {
    case '"':
    case '\'':
    case '\\': return c;
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    default: return std::nullopt;
    }
}

// After a backslash: the character it stands for, or nothing after an
// error.  Codes above 255 keep their low byte.
std::optional<int> Escape() {
    int c = GetChar();
    if (auto letter = LetterEscape(c)) return letter;
    if (c == 'x') {
        int d = GetChar();
        if (!IsHexChar(d)) {
            UngetChar(d);
            Report(ScanMessage::BadEscape);
            return std::nullopt;
        }
        return MoreDigits(HexValue(d), 1, 16);
    }
    if (Scan().gauss) {
        // Gauss adds \g (bell) and \l (line feed), writes codes in decimal
        // and takes any other character as itself.
        if (c == 'g') return 7;
        if (c == 'l') return 10;
        if (c >= '0' && c <= '7') return MoreDigits(c - '0', 2, 10) & 0xFF;
        if (c == -1) {
            UngetChar(c);
            return std::nullopt;
        }
        return c;
    }
    if (c >= '0' && c <= '7') return MoreDigits(c - '0', 2, 8) & 0xFF;
    // Any other character keeps its backslash and is read normally.
    UngetChar(c);
    return '\\';
}

// The characters of one literal after its opening quote; false when it
// ended without its closing quote.
bool StringBody() {
    ScanState& s = Scan();
    for (;;) {
        int c = GetChar();
        switch (c) {
        case '"': return true;
        case '\r': continue;
        case -1: Report(ScanMessage::UnexpectedEof); return false;
        case '\n':
            if (s.gauss && !ZuIsInteractive()) break;
            UngetChar(c);
            Report(ScanMessage::StringNotEnded);
            return false;
        case '\\':
            if (!s.escapes) break;
            if (auto e = Escape()) AppendText(*e);
            continue;
        default: break;
        }
        AppendText(c);
    }
}

int SkipBlanksRead() {
    int c = ReadChar();
    while (IsSpaceChar(c)) c = ReadChar();
    return c;
}

// After a literal: does another one follow that joins it?  Zu joins
// "ab" "cd"; ZuGauss needs a backslash between, "ab"\ "cd".
bool JoinedLiteralFollows() {
    const ScanState& s = Scan();
    if (ZuIsInteractive() || s.spaceMode || s.inDirective) return false;
    int c = SkipBlanksRead();
    if (s.gauss) {
        if (c != '\\') {
            UngetChar(c);
            return false;
        }
        c = SkipBlanksRead();
        if (c != '"') {
            UngetChar(c);
            UngetChar('\\');
            return false;
        }
        return true;
    }
    if (c == '"') return true;
    UngetChar(c);
    return false;
}

bool IsStop(const char* stops, int c) {
    return stops != nullptr && c > 0 && c < 256 && std::strchr(stops, c) != nullptr;
}

}  // namespace

void ScanStringLiteral() {
    while (StringBody() && JoinedLiteralFollows()) {}
    FinishText();
}

}  // namespace zu::compiler

using namespace zu::compiler;

extern "C" {

ZU_API int IZuScanGetSingleQuotedString(void) {
    ScanState& s = Scan();
    s.last = tok::Int;
    int c = GetChar();
    if (c == -1) {
        Report(ScanMessage::UnexpectedEof);
        SetText("0");
        return tok::Int;
    }
    int code = c;
    if (c == '\\' && s.escapes) code = Escape().value_or(0);
    SetText(std::to_string(code & 0xFF));
    int close = GetChar();
    if (close == -1)
        Report(ScanMessage::UnexpectedEof);
    else if (close != '\'')
        Report(ScanMessage::CharNotEnded);
    return tok::Int;
}

ZU_API int IZuScanUnquotedString(int keepEscapes, int multiLine, const char* stops) {
    ScanState& s = Scan();
    s.last = tok::String;
    ClearText();
    int c = SkipBlanksRead();
    if (c == '"' && !multiLine) {
        const bool saved = s.escapes;
        if (!keepEscapes) s.escapes = false;
        ScanStringLiteral();
        s.escapes = saved;
        return tok::String;
    }
    while (c != -1 && c != ';' && !IsStop(stops, c)) {
        if (IsSpaceChar(c)) {
            if (!multiLine) break;
            c = SkipBlanksRead();
            AppendText(' ');
            continue;
        }
        AppendText(c);
        c = ReadChar();
    }
    UngetChar(c);
    FinishText();
    return tok::String;
}

ZU_API int IZuScanExtendUnquotedString(int stop) {
    int count = 0;
    int c = ReadChar();
    while (c != -1 && c != stop && !IsSpaceChar(c)) {
        AppendText(c);
        ++count;
        c = ReadChar();
    }
    UngetChar(c);
    FinishText();
    return count;
}

}  // extern "C"
