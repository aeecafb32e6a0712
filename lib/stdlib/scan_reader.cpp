#include "stdlib/scan_reader.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "stdlib/print_settings.h"
#include "value/value.h"

using zu::value::Items;
using zu::value::MatrixData;

namespace zu::stdlib {
namespace {

constexpr int kMaxGivenWidth = kMaxNumberWidth * 1024;

bool IsBlank(int ch) { return ch != EOF && std::isspace(ch) != 0; }
bool IsDigit(int ch) { return ch >= '0' && ch <= '9'; }

std::string Lead() { return std::string{SZuIntFunc()} + "(): "; }
void Complain(const std::string& text) { PopErrorMessage((Lead() + text).c_str()); }

// The first character that is not white space, taken; EOF at the end.
int SkipBlanks(ScanSource& source) {
    int ch = source.Get();
    while (IsBlank(ch)) ch = source.Get();
    return ch;
}

// Literal text on a stream or a string: white space matches any white
// space, every other character itself.  A mismatch is left unread.
void MatchLiteral(ScanSource& source, std::string_view literal) {
    for (char expected : literal) {
        if (IsBlank(static_cast<unsigned char>(expected))) {
            source.Unget(SkipBlanks(source));
            continue;
        }
        const int ch = source.Get();
        if (ch != static_cast<unsigned char>(expected)) {
            source.Unget(ch);
            return;
        }
    }
}

std::string Star(const ScanFormat& f) { return f.discard ? "*" : ""; }

// ---------------------------------------------------------------------------
// Numbers: the C library converts, with a width that bounds what it reads.

// The length modifier and letter of the conversion that reads into the
// wide target of each kind.
const char* WideConversion(char conversion) {
    switch (conversion) {
    case 'f': return "lf";
    case 'd': return "lld";
    case 'o': return "llo";
    case 'u': return "llu";
    default: return "llx";
    }
}

bool ContinuesNumber(char conversion, int ch) {
    if (conversion == 'o') return ch >= '0' && ch <= '7';
    if (conversion == 'x') return ch != EOF && std::isxdigit(ch) != 0;
    return IsDigit(ch);
}

// After a read that used the whole of kMaxNumberWidth, a character that
// would continue the number shows that it was longer: the rest of it is
// skipped, so that it does not turn into a second number.
bool WasCut(ScanSource& source, char conversion) {
    int ch = source.Get();
    if (!ContinuesNumber(conversion, ch)) {
        source.Unget(ch);
        return false;
    }
    while (ContinuesNumber(conversion, ch)) ch = source.Get();
    source.Unget(ch);
    Complain("number longer than " + std::to_string(kMaxNumberWidth) + " characters");
    return true;
}

// o, u and x give an int of the same bits, as the 32-bit conversion would;
// a negative number is wrapped in the same way.
bool UnsignedToInt(unsigned long long value, int* out) {
    constexpr unsigned long long kNegativeFloor = std::numeric_limits<unsigned long long>::max() - UINT_MAX;
    if (value > UINT_MAX && value < kNegativeFloor) return false;
    *out = static_cast<int>(static_cast<unsigned int>(value));
    return true;
}

ReadResult StoreNumber(const ScanFormat& f, ZuVALUE* target, double d, long long ll, unsigned long long ull) {
    int i = 0;
    if (f.conversion == 'f') {
        ZuValSetDouble(target, d);
        return {ReadStatus::Read, 1};
    }
    const bool fits = f.conversion == 'd' ? (ll >= INT_MIN && ll <= INT_MAX) : UnsignedToInt(ull, &i);
    if (!fits) {
        Complain("number out of range of an int");
        return {ReadStatus::Failed, 0};
    }
    ZuValSetInt(target, f.conversion == 'd' ? static_cast<int>(ll) : i);
    return {ReadStatus::Read, 1};
}

ReadResult ReadNumber(ScanSource& source, const ScanFormat& f, ZuVALUE* target) {
    const bool ownLimit = f.width <= 0 || f.width > kMaxNumberWidth;
    const int width = ownLimit ? kMaxNumberWidth : f.width;
    // The leading blank lets standard input skip empty lines of a pipe.
    const std::string conversion = " %" + Star(f) + std::to_string(width) + WideConversion(f.conversion);
    double d = 0;
    long long ll = 0;
    unsigned long long ull = 0;
    void* into = f.discard             ? nullptr
                 : f.conversion == 'f' ? static_cast<void*>(&d)
                 : f.conversion == 'd' ? static_cast<void*>(&ll)
                                       : &ull;
    const int items = source.Scan(conversion, into);
    if (items == EOF) return {ReadStatus::End, 0};
    if (items == 0 && !f.discard) return {ReadStatus::Failed, 0};
    if (ownLimit && WasCut(source, f.conversion)) return {ReadStatus::Failed, 0};
    if (f.discard) return {ReadStatus::Read, 0};
    return StoreNumber(f, target, d, ll, ull);
}

// ---------------------------------------------------------------------------
// Words, characters and lines: into the scan buffer, bounded by its size.

ReadResult StoreText(ZuVALUE* target, const char* text, std::size_t n) {
    if (!value::TrySetString(target, text, static_cast<int>(n))) value::RaiseOutOfMemory();
    return {ReadStatus::Read, 1};
}

// The width of a string read: the given one, cut to the buffer size.
int TextWidth(const ScanFormat& f) {
    const int size = Settings().sprintBufferSize;
    return f.width > 0 ? std::min(f.width, size) : size;
}

ReadResult ReadWordText(ScanSource& source, const ScanFormat& f, ZuVALUE* target, char* buffer) {
    const std::string conversion = " %" + Star(f) + std::to_string(TextWidth(f)) + "s";
    buffer[0] = '\0';
    const int items = source.Scan(conversion, f.discard ? nullptr : buffer);
    if (items == EOF) return {ReadStatus::End, 0};
    if (f.discard || items == 0) return {f.discard ? ReadStatus::Read : ReadStatus::Failed, 0};
    return StoreText(target, buffer, std::strlen(buffer));
}

ReadResult ReadCharacters(ScanSource& source, const ScanFormat& f, ZuVALUE* target, char* buffer) {
    const bool single = f.width <= 0;
    const int width = single ? 1 : TextWidth(f);
    const std::string conversion = "%" + Star(f) + (single ? "" : std::to_string(width)) + "c";
    std::memset(buffer, 0, static_cast<std::size_t>(width) + 1);
    const int items = source.Scan(conversion, f.discard ? nullptr : buffer);
    if (items == EOF) return {ReadStatus::End, 0};
    if (f.discard || items == 0) return {f.discard ? ReadStatus::Read : ReadStatus::Failed, 0};
    if (single) {
        ZuValSetInt(target, static_cast<unsigned char>(buffer[0]));
        return {ReadStatus::Read, 1};
    }
    return StoreText(target, buffer, strnlen(buffer, static_cast<std::size_t>(width)));
}

// The rest of the line; its newline is consumed, a carriage return in
// front of it dropped.  A line longer than the width leaves its rest.
ReadResult ReadLine(ScanSource& source, const ScanFormat& f, ZuVALUE* target, char* buffer) {
    const std::string conversion = "%" + Star(f) + std::to_string(TextWidth(f)) + "[^\n]";
    buffer[0] = '\0';
    const int items = source.Scan(conversion, f.discard ? nullptr : buffer);
    if (items == EOF) return {ReadStatus::End, 0};
    const int next = source.Get();
    if (next != '\n') source.Unget(next);
    if (items == 0 && !f.discard) {
        // Nothing before the newline: an empty line, unless there was none.
        if (next == EOF) return {ReadStatus::End, 0};
        if (next != '\n') return {ReadStatus::Failed, 0};
    }
    if (f.discard) return {ReadStatus::Read, 0};
    std::size_t n = std::strlen(buffer);
    if (n > 0 && buffer[n - 1] == '\r') --n;
    return StoreText(target, buffer, n);
}

// ---------------------------------------------------------------------------
// Matrices in the matrix-file form: own code, element by element.

enum class WordStatus { Read, End, TooLong };

// One blank-delimited word of at most kMaxNumberWidth characters.
WordStatus ReadNumberWord(ScanSource& source, std::string& word) {
    word.clear();
    int ch = SkipBlanks(source);
    if (ch == EOF) return WordStatus::End;
    while (ch != EOF && !IsBlank(ch)) {
        if (word.size() >= static_cast<std::size_t>(kMaxNumberWidth)) {
            source.Unget(ch);
            Complain("number longer than " + std::to_string(kMaxNumberWidth) + " characters");
            return WordStatus::TooLong;
        }
        word.push_back(static_cast<char>(ch));
        ch = source.Get();
    }
    source.Unget(ch);
    return WordStatus::Read;
}

// An element as the matrix-file form writes it: a number, "." or ".NaN"
// for a missing value, "+.Inf" and "-.Inf".
bool ParseElement(const std::string& word, double* x) {
    if (word == "." || word == ".NaN") {
        *x = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (word == "+.Inf" || word == "-.Inf") {
        *x = word[0] == '-' ? -HUGE_VAL : HUGE_VAL;
        return true;
    }
    char* end = nullptr;
    *x = std::strtod(word.c_str(), &end);
    return end != word.c_str() && *end == '\0';
}

bool ParseCount(const std::string& word, int* n) {
    char* end = nullptr;
    const long long v = std::strtoll(word.c_str(), &end, 10);
    if (end == word.c_str() || *end != '\0' || v < 0 || v > INT_MAX) return false;
    *n = static_cast<int>(v);
    return true;
}

// The dimension line "rows columns" of the matrix-file form.
ReadStatus ReadDimensions(ScanSource& source, MatrixSize* size) {
    std::string word;
    for (int* n : {&size->rows, &size->columns}) {
        const WordStatus status = ReadNumberWord(source, word);
        if (status == WordStatus::End) return ReadStatus::End;
        if (status == WordStatus::TooLong || !ParseCount(word, n)) return ReadStatus::Failed;
    }
    return ReadStatus::Read;
}

// Elements are collected as they arrive, so memory follows the input that
// is there and not the size that the input claims.
ReadResult ReadMatrix(ScanSource& source, const ScanFormat& f, ZuVALUE* target, MatrixSize size) {
    if (size.rows < 0 || size.columns < 0) {
        const ReadStatus status = ReadDimensions(source, &size);
        if (status != ReadStatus::Read) return {status, 0};
    }
    const long long count = static_cast<long long>(size.rows) * size.columns;
    if (count > kMaxScanMatrixElements) {
        Complain("matrix[" + std::to_string(size.rows) + "][" + std::to_string(size.columns) +
                 "] is too large to read");
        return {ReadStatus::Failed, 0};
    }
    std::vector<double> elements;
    elements.reserve(static_cast<std::size_t>(std::min(count, 4096LL)));
    std::string word;
    for (long long k = 0; k < count; ++k) {
        const WordStatus status = ReadNumberWord(source, word);
        if (status == WordStatus::End) return {ReadStatus::End, 0};
        double x = 0;
        if (status == WordStatus::TooLong || !ParseElement(word, &x)) return {ReadStatus::Failed, 0};
        elements.push_back(x);
    }
    if (f.discard) return {ReadStatus::Read, 0};
    if (!value::TrySetMatrix(target, size.rows, size.columns)) value::RaiseOutOfMemory();
    if (count > 0) MatCopyVecr(MatrixData(target), elements.data(), size.rows, size.columns);
    return {ReadStatus::Read, 1};
}

// ---------------------------------------------------------------------------
// Tokens.

bool IsWordStart(int ch) { return ch != EOF && (std::isalpha(ch) != 0 || ch == '_'); }
bool IsWordPart(int ch) { return IsWordStart(ch) || IsDigit(ch); }

// Takes characters while `part` holds, up to `limit` in all.
void Collect(ScanSource& source, std::string& text, std::size_t limit, bool (*part)(int)) {
    int ch = source.Get();
    while (part(ch) && text.size() < limit) {
        text.push_back(static_cast<char>(ch));
        ch = source.Get();
    }
    source.Unget(ch);
}

bool IsNumberPart(int ch) { return IsDigit(ch) || ch == '.'; }
bool IsQuotedPart(int ch) { return ch != EOF && ch != '"' && ch != '\n'; }

int NumberValue(const std::string& text) {
    if (text.find('.') != std::string::npos) return 0;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    return v <= INT_MAX ? static_cast<int>(v) : 0;
}

ReadResult ReadToken(ScanSource& source, const ScanFormat& f, ZuVALUE* target) {
    const std::size_t limit = static_cast<std::size_t>(TextWidth(f));
    const int first = SkipBlanks(source);
    if (first == EOF) return {ReadStatus::End, 0};
    std::string text(1, static_cast<char>(first));
    TokenKind kind = TokenKind::Symbol;
    int value = first;
    if (IsNumberPart(first)) {
        kind = TokenKind::Number;
        Collect(source, text, limit, IsNumberPart);
        value = NumberValue(text);
    } else if (IsWordStart(first)) {
        kind = TokenKind::Word;
        Collect(source, text, limit, IsWordPart);
    } else if (first == '"') {
        kind = TokenKind::Quoted;
        text.clear();
        Collect(source, text, limit, IsQuotedPart);
        const int close = source.Get();
        if (close != '"') {
            source.Unget(close);
            Complain("string without end");
            return {ReadStatus::Failed, 0};
        }
    }
    if (kind != TokenKind::Symbol && kind != TokenKind::Number) value = static_cast<int>(text.size());
    if (f.discard) return {ReadStatus::Read, 0};
    ZuLibValArrayCalloc(target, 3);
    ZuValSetInt(&Items(target)[0], static_cast<int>(kind));
    if (!value::TrySetString(&Items(target)[1], text.data(), static_cast<int>(text.size()))) value::RaiseOutOfMemory();
    ZuValSetInt(&Items(target)[2], value);
    return {ReadStatus::Read, 1};
}

ReadResult ReadConversion(ScanSource& source, const ScanFormat& f, ZuVALUE* target, MatrixSize size) {
    switch (f.conversion) {
    case 'm':
    case 'M': return source.IsText() ? ReadResult{ReadStatus::Read, 0} : ReadMatrix(source, f, target, size);
    case 't': return ReadToken(source, f, target);
    case 's':
    case 'c':
    case 'z': break;
    default: return ReadNumber(source, f, target);
    }
    char* buffer = PrintBuffer();
    if (buffer == nullptr) {
        PopErrorMessage("sprint/scan: no string buffer");
        return {ReadStatus::End, 0};
    }
    if (f.conversion == 's') return ReadWordText(source, f, target, buffer);
    if (f.conversion == 'c') return ReadCharacters(source, f, target, buffer);
    return ReadLine(source, f, target, buffer);
}

}  // namespace

// ---------------------------------------------------------------------------
// Formats.

ScanFormat ParseScanFormat(std::string_view text) {
    ScanFormat f;
    std::size_t i = 0;
    for (; i < text.size() && text[i] != '%'; ++i) {
        const bool escaped = text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '%';
        if (escaped) ++i;
        f.literal.push_back(text[i]);
    }
    if (i >= text.size()) return f;
    ++i;
    if (i < text.size() && (text[i] == '*' || text[i] == '#')) {
        f.discard = text[i] == '*';
        f.sized = text[i] == '#';
        ++i;
    }
    for (; i < text.size() && IsDigit(static_cast<unsigned char>(text[i])); ++i)
        f.width = std::min(kMaxGivenWidth, std::max(f.width, 0) * 10 + (text[i] - '0'));
    const bool wide = i < text.size() && text[i] == 'l';
    if (wide) ++i;
    const char letter = i < text.size() ? text[i] : '\0';
    if (std::strchr("efg", letter) != nullptr && letter != '\0')
        f.conversion = 'f';
    else if (!wide && letter != '\0' && std::strchr("diouxmMsczt", letter) != nullptr)
        f.conversion = letter == 'i' ? 'd' : letter;
    return f;
}

// ---------------------------------------------------------------------------
// Sources.

ScanSource ScanSource::StandardInput() { return ScanSource(Kind::StandardInput, nullptr, {}); }
ScanSource ScanSource::Stream(std::FILE* stream) { return ScanSource(Kind::Stream, stream, {}); }
ScanSource ScanSource::Text(std::string_view text) { return ScanSource(Kind::Text, nullptr, text); }

std::string_view ScanSource::Remaining() const { return text_.substr(std::min(consumed_, text_.size())); }

int ScanSource::Get() {
    switch (kind_) {
    case Kind::StandardInput: {
        // Pipe input gives bytes as signed values; -1 is its end.
        const int ch = ZuGetc();
        return ch == EOF ? EOF : (ch & 0xFF);
    }
    case Kind::Stream: return std::getc(stream_);
    case Kind::Text: return consumed_ < text_.size() ? static_cast<unsigned char>(text_[consumed_++]) : EOF;
    }
    return EOF;
}

void ScanSource::Unget(int ch) {
    if (ch == EOF) return;
    switch (kind_) {
    case Kind::StandardInput: ZuUngetc(ch); break;
    case Kind::Stream: std::ungetc(ch, stream_); break;
    case Kind::Text:
        if (consumed_ > 0) --consumed_;
        break;
    }
}

// The conversions handed over here are built by the reader from a closed
// set of letters and bounded widths; a program's text is never among them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
int ScanSource::Scan(const std::string& conversion, void* target) {
    switch (kind_) {
    case Kind::StandardInput: {
        const int items = ZuScanf1(conversion.c_str(), target);
        if (items != 0) return items;
        // The console layer reports a failed read and the end alike.
        const int ch = Get();
        if (ch == EOF) return EOF;
        Unget(ch);
        return 0;
    }
    case Kind::Stream:
        return target ? std::fscanf(stream_, conversion.c_str(), target) : std::fscanf(stream_, conversion.c_str());
    case Kind::Text: {
        // The text ends with a terminator: it is a string's view.
        const std::string counted = conversion + "%n";
        const char* at = text_.data() + consumed_;
        int used = 0;
        const int items =
            target ? std::sscanf(at, counted.c_str(), target, &used) : std::sscanf(at, counted.c_str(), &used);
        if (items != EOF) consumed_ += std::min(static_cast<std::size_t>(std::max(used, 0)), text_.size() - consumed_);
        return items;
    }
    }
    return 0;
}
#pragma GCC diagnostic pop

// ---------------------------------------------------------------------------
// One item.

ReadResult ReadItem(ScanSource& source, const ScanFormat& f, ZuVALUE* target, MatrixSize size) {
    if (source.Exhausted()) return {ReadStatus::End, 0};
    if (!source.IsStandardInput()) {
        MatchLiteral(source, f.literal);
    } else if (!f.literal.empty()) {
        ZuPuts(f.literal.c_str());
        ZuFlush();
    }
    if (f.conversion == 0 || (target == nullptr && !f.discard)) return {ReadStatus::Read, 0};
    return ReadConversion(source, f, target, size);
}

}  // namespace zu::stdlib
