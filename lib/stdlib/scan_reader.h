// The reading machinery of scan, fscan and sscan: scan formats, the three
// sources (standard input, a stream, a string) and the reading of one item.
//
// A program's scan format never reaches the C library.  ParseScanFormat
// takes it apart into the literal text, the flags, the width and the
// conversion; the reader builds the one conversion that the C library
// performs from those parts alone, with every string read bounded by the
// scan buffer and every number by kMaxNumberWidth.  Literal text, lines,
// matrices and tokens are handled by the reader's own code.
#ifndef ZU_STDLIB_SCAN_READER_H
#define ZU_STDLIB_SCAN_READER_H

#include <cstdio>
#include <string>
#include <string_view>

#include "zu.h"

namespace zu::stdlib {

// Characters one number may take; a longer one fails with a message.
inline constexpr int kMaxNumberWidth = 4096;
// Elements of a matrix read by "%m": a larger size fails with a message.
inline constexpr long long kMaxScanMatrixElements = 1LL << 27;

// Kinds of the tokens that "%t" reads: the first element of its array.
enum class TokenKind {
    Number = 1,  // digits and '.'; value: the int, when it is a whole number in range, else 0
    Word = 2,    // a letter or '_' and then letters, digits, '_'; value: the length
    Quoted = 3,  // text in double quotes on one line, stored without them; value: the length
    Symbol = 4,  // any other character; value: its code
};

// One scan format: literal text, '%', an optional '*' or '#', an optional
// width and the conversion; what follows the conversion is not used.
struct ScanFormat {
    std::string literal;   // text in front of the '%'; "\%" is a '%' of it
    char conversion = 0;   // 'f' for all doubles, 'd' for d and i, else o u x m M s c z t; 0 for none
    bool discard = false;  // '*': read, store nothing
    bool sized = false;    // '#': the matrix size follows as two int arguments
    int width = -1;        // -1 when none was given; capped at kMaxNumberWidth * 1024
};

[[nodiscard]] ScanFormat ParseScanFormat(std::string_view format);

// Where one scan call reads from.  Characters are taken one at a time for
// literal text, lines, matrices and tokens, and the built conversions go to
// the C library routine that suits the source.
class ScanSource {
public:
    static ScanSource StandardInput();
    static ScanSource Stream(std::FILE* stream);
    // The text is the caller's, must outlive the source and must be
    // followed by a terminator (a std::string's view is).
    static ScanSource Text(std::string_view text);

    [[nodiscard]] bool IsStandardInput() const { return kind_ == Kind::StandardInput; }
    [[nodiscard]] bool IsText() const { return kind_ == Kind::Text; }
    // A text source that is empty or read to its end.
    [[nodiscard]] bool Exhausted() const { return kind_ == Kind::Text && consumed_ >= text_.size(); }
    // The text not yet consumed (text sources only).
    [[nodiscard]] std::string_view Remaining() const;

    int Get();           // the next character as an unsigned char, or EOF
    void Unget(int ch);  // puts back the character just taken (EOF does nothing)

    // Runs one conversion built by the reader: the number of items
    // assigned, or EOF when the input ended before the first one.
    int Scan(const std::string& conversion, void* target);

private:
    enum class Kind { StandardInput, Stream, Text };
    ScanSource(Kind kind, std::FILE* stream, std::string_view text) : kind_(kind), stream_(stream), text_(text) {}

    Kind kind_;
    std::FILE* stream_;         // Stream only
    std::string_view text_;     // Text only
    std::size_t consumed_ = 0;  // characters of text_ consumed
};

enum class ReadStatus { Read, Failed, End };

struct ReadResult {
    ReadStatus status = ReadStatus::Failed;
    int values = 0;  // values converted (0 unless Read)
};

// The matrix size of "%#m" given by the program; -1 when none was given.
struct MatrixSize {
    int rows = -1;
    int columns = -1;
};

// Reads one item: the literal text (a prompt on standard input, matched
// elsewhere) and the conversion into `target`, which may be null (nothing
// is stored) and has already been freed by value.
[[nodiscard]] ReadResult ReadItem(ScanSource& source, const ScanFormat& format, ZuVALUE* target, MatrixSize size);

}  // namespace zu::stdlib

#endif
