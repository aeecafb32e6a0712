// Numbers in binary files and the headers of matrix files.
//
// Binary files hold 32-bit integers, 4-byte floats and 8-byte doubles in a
// byte order of their own (little-endian unless asked otherwise), whatever
// the platform's.  A matrix file starts with a header that gives its rows
// and columns:
//   old form, 16 bytes, little-endian: DD EE 86 00, rows, columns,
//     rows x columns x 8 (an older variant DD DD has 16-bit rows and
//     columns in bytes 2 to 5; it is read, never written);
//   new form, in the file's byte order: the magic word ABCDEF01 (matrix)
//     or ABCDEF02 (data set), the header size in bytes, rows, columns and
//     the bytes per element (8), then zeros up to 136 bytes for a matrix
//     and 128 bytes for a data set.  The variable names of a data set
//     follow its 128 bytes: 32 bytes a name, one zero byte a column, zeros
//     up to a multiple of 8; the header size counts them.
#ifndef ZU_STDLIB_MATRIX_FILE_HEADERS_H
#define ZU_STDLIB_MATRIX_FILE_HEADERS_H

#include <cstdint>
#include <cstdio>
#include <string>

namespace zu::stdlib {

void PutInt32(unsigned char* out, std::uint32_t x, bool bigEndian);
[[nodiscard]] std::uint32_t GetInt32(const unsigned char* in, bool bigEndian);
void PutDouble(unsigned char* out, double x, bool bigEndian);
[[nodiscard]] double GetDouble(const unsigned char* in, bool bigEndian);
[[nodiscard]] float GetFloat(const unsigned char* in, bool bigEndian);

enum class HeaderKind { Old, New, DataSet };

struct MatrixHeader {
    HeaderKind kind = HeaderKind::Old;
    int rows = 0;
    int columns = 0;
    bool bigEndian = false;  // the numbers of the file (old headers are little-endian)
};

inline constexpr int kOldHeaderSize = 16;
inline constexpr int kNewHeaderSize = 136;
inline constexpr int kDataSetHeaderSize = 128;  // without the variable names
inline constexpr int kNameFieldSize = 32;
inline constexpr std::uint32_t kMatrixMagic = 0xABCDEF01u;
inline constexpr std::uint32_t kDataSetMagic = 0xABCDEF02u;

// Bytes in front of the first row: for a data set with its variable names.
[[nodiscard]] long long HeaderSize(HeaderKind kind, int columns);
// The zero bytes that follow the names of `columns` variables.
[[nodiscard]] int NamePadding(int columns);

// Reads the header at the start of the stream and leaves the stream at the
// first row.  Returns the empty text, or the message that says why the
// header is not valid: also when it claims more elements than the file holds.
[[nodiscard]] std::string ReadMatrixHeader(std::FILE* stream, MatrixHeader* header);

// The new form from its first bytes (at least 20); false when they are not one.
[[nodiscard]] bool ReadFmtHeader_96(const unsigned char* bytes, MatrixHeader* header);

// Writes the header at the start of the stream, leaving the stream behind
// the fixed part (a data set's names are not rewritten).  False when the
// bytes could not be written.
[[nodiscard]] bool WriteMatrixHeader(std::FILE* stream, const MatrixHeader& header);

// The new form into `out` (136 bytes for a matrix, 128 for a data set).
void WriteFmtHeader_96(unsigned char* out, const MatrixHeader& header);

// The size of the file behind the stream, after flushing it; -1 when the
// stream has none (a pipe, a terminal).
[[nodiscard]] long long StreamSize(std::FILE* stream);

}  // namespace zu::stdlib

#endif
