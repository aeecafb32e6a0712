// The file functions: fopen, fclose, fread, fwrite, fseek, fsize, feof,
// fflush, fremove, and the working directory (chdir, getcwd).
//
// Reads never trust the file: what is read grows with the bytes that
// actually arrive, so a count from a program or from a header cannot make
// the library reserve more memory than the file holds.
/// @family Files and data
#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "stdlib/argument_faults.h"
#include "stdlib/files.h"
#include "stdlib/matrix_file_headers.h"
#include "stdlib/print_settings.h"
#include "stdlib/print_sink.h"
#include "stdlib/routines.h"
#include "stdlib/value_printer.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::DoubleOf;
using zu::value::ItemCount;
using zu::value::Items;
using zu::value::MatrixData;
using zu::value::Rows;
using zu::value::StringLength;
using zu::value::StringText;

namespace zu::stdlib {
namespace {

constexpr std::size_t kReadPiece = std::size_t{1} << 20;
constexpr int kModeLetters = 8;

// ---------------------------------------------------------------------------
// Arguments
// ---------------------------------------------------------------------------

// The open file of argument k; reports any other value.
OpenFile* FileArg(ZuVALUE* pv, int k) {
    if (value::TypeCode(&pv[k]) != ZU_FILE || value::IsNul(&pv[k])) {
        ZuLibArgTypeError(k, ZU_FILE, pv[k].t);
        return nullptr;
    }
    OpenFile* file = FindOpenFile(&pv[k]);
    if (file == nullptr) ArgumentFault(k, "file not open");
    return file;
}

// A file name: backslashes become slashes and trailing blanks go, as for
// every file the system opens.
std::string FileName(const ZuVALUE& v) {
    std::string name{StringChars(v)};
    std::replace(name.begin(), name.end(), '\\', '/');
    while (!name.empty() && static_cast<unsigned char>(name.back()) <= ' ') name.pop_back();
    return name;
}

// The variable that argument k refers to (the program passes &x).
ZuVALUE* AddressArg(ZuVALUE* pv, int k) {
    if (value::IsAddress(&pv[k]) && Items(&pv[k]) != nullptr) return Items(&pv[k]);
    ZuLibArgTypeError(k, ZU_ARRAY | ZU_FLAG_ADR, pv[k].t);
    return nullptr;
}

bool BigEndian(int flags) { return (flags & kFileBigEndian) != 0; }
bool Updating(int flags) { return (flags & (kFileRead | kFileWrite)) == (kFileRead | kFileWrite); }

HeaderKind KindOf(int flags) {
    if ((flags & kFileDataSet) != 0) return HeaderKind::DataSet;
    return (flags & kFileNewHeader) != 0 ? HeaderKind::New : HeaderKind::Old;
}

// A stream open for reading and writing (so is a matrix file appended to)
// must be positioned between a read and a write; positioning where it
// stands is always allowed.
void PrepareStream(const OpenFile& file, int flags) {
    const int appendedMatrix = kFileMatrix | kFileAppend;
    if (Updating(flags) || (flags & appendedMatrix) == appendedMatrix) (void)fseeko(file.stream, 0, SEEK_CUR);
}

// A position or size for the program: an int when it fits, else a double.
void SetOffset(ZuVALUE* rtn, long long offset) {
    if (offset >= INT_MIN && offset <= INT_MAX) {
        ZuValSetInt(rtn, static_cast<int>(offset));
    } else {
        ZuValSetDouble(rtn, static_cast<double>(offset));
    }
}

// ---------------------------------------------------------------------------
// fopen
// ---------------------------------------------------------------------------

struct OpenMode {
    int flags = kFileOpened | kFileLittleEndian;
    char choice = 0;     // the last of r, w and a: read the header, write it, or append
    std::string stream;  // the mode handed to the C library
    char order = 0;      // 'e' or 'E' when given
};

void SetOrder(int* flags, char order) {
    if (order == 0) return;
    *flags &= ~(kFileLittleEndian | kFileBigEndian);
    *flags |= order == 'E' ? kFileBigEndian : kFileLittleEndian;
}

bool IsDataSetName(std::string_view name) {
    const std::string text{name};
    const std::string_view ext = SFileExt(text.c_str());
    return ext.size() == 4 && ext[0] == '.' && (ext[1] | 0x20) == 'd' && (ext[2] | 0x20) == 'a' &&
           (ext[3] | 0x20) == 't';
}

void TakeLetter(OpenMode* m, char ch, bool* binary) {
    switch (ch) {
    case 'r':
        m->flags |= kFileRead;
        m->choice = ch;
        m->stream += ch;
        break;
    case 'w':
        m->flags |= kFileWrite;
        m->choice = ch;
        m->stream += ch;
        break;
    case 'a':
        m->flags = (m->flags & ~(kFileRead | kFileWrite)) | kFileWrite | kFileAppend;
        m->choice = ch;
        m->stream += ch;
        break;
    case '+':
        m->flags |= kFileRead | kFileWrite;
        m->stream += ch;
        break;
    case 'b':
        *binary = true;
        m->stream += ch;
        break;
    case 'f': m->flags |= kFileMatrix; break;
    case 'F': m->flags |= kFileMatrix | kFileNewHeader; break;
    case 'e':
    case 'E': m->order = ch; break;
    default: break;
    }
}

OpenMode ParseMode(std::string_view text, std::string_view name) {
    OpenMode m;
    bool binary = false;
    for (char ch : text.substr(0, kModeLetters)) TakeLetter(&m, ch, &binary);
    if ((m.flags & kFileMatrix) != 0) {
        if (!binary) m.stream += 'b';
        // Appending to a matrix file reads its header first.
        if (m.choice == 'a') m.stream = "r+b";
        if (IsDataSetName(name)) m.flags |= kFileDataSet | kFileNewHeader;
    }
    SetOrder(&m.flags, m.order);
    return m;
}

// The header of a matrix file being read or appended to decides its kind
// and byte order; an 'e' or 'E' of the mode still has the last word.
bool TakeHeader(ZuVALUE* v, OpenFile& file, const OpenMode& m) {
    MatrixHeader header;
    const std::string message = ReadMatrixHeader(file.stream, &header);
    if (!message.empty()) {
        PopErrorMessage(message.c_str());
        return false;
    }
    int flags = v->w2.i & ~(kFileDataSet | kFileNewHeader | kFileLittleEndian | kFileBigEndian);
    if (header.kind != HeaderKind::Old) flags |= kFileNewHeader;
    if (header.kind == HeaderKind::DataSet) flags |= kFileDataSet;
    flags |= header.bigEndian ? kFileBigEndian : kFileLittleEndian;
    SetOrder(&flags, m.order);
    v->w2.i = flags;
    file.flags = flags;
    file.shape[0] = header.rows;
    file.shape[1] = header.columns;
    return m.choice != 'a' || fseeko(file.stream, 0, SEEK_END) == 0;
}

bool StartMatrixFile(ZuVALUE* v, OpenFile& file, const OpenMode& m) {
    if (m.choice != 'w') return TakeHeader(v, file, m);
    const MatrixHeader empty{KindOf(v->w2.i), 0, 0, BigEndian(v->w2.i)};
    // Flushed, so that the file is a valid matrix file from the start.
    if (WriteMatrixHeader(file.stream, empty) && std::fflush(file.stream) == 0) return true;
    PopErrorMessage("Cannot write the header of the matrix file");
    return false;
}

// fopen(name, "l") opens the output log from the start, a second letter
// 'a' appends to it.
void OpenLog(ZuVALUE* rtn, const std::string& name, std::string_view mode) {
    SetPrintLog(nullptr);
    std::FILE* log = FileOpen(name.c_str(), mode.size() > 1 && mode[1] == 'a' ? "a" : "w");
    SetPrintLog(log);
    ZuValSetInt(rtn, log != nullptr ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

// Up to `wanted` bytes; the buffer grows only as bytes arrive.
std::vector<unsigned char> ReadBytes(std::FILE* stream, std::uint64_t wanted) {
    std::vector<unsigned char> bytes;
    while (bytes.size() < wanted) {
        const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(wanted - bytes.size(), kReadPiece));
        const std::size_t start = bytes.size();
        bytes.resize(start + piece);
        const std::size_t got = std::fread(bytes.data() + start, 1, piece, stream);
        bytes.resize(start + got);
        if (got < piece) break;
    }
    return bytes;
}

// The bytes up to the next zero byte, which is consumed.
std::string ReadTerminated(std::FILE* stream) {
    std::string text;
    for (int ch = std::getc(stream); ch != EOF && ch != 0; ch = std::getc(stream)) {
        if (text.size() >= static_cast<std::size_t>(INT_MAX - 1)) break;
        text += static_cast<char>(ch);
    }
    return text;
}

void StoreString(ZuVALUE* target, const char* text, std::size_t n) {
    if (!value::TrySetString(target, text, static_cast<int>(n))) value::RaiseOutOfMemory();
}

// A scalar that found the end of the file: nothing was read, so the value
// holds nothing (an empty matrix).
void StoreNothing(ZuVALUE* target) { ZuLibValMatMalloc(target, 0, 0); }

// 'c': one signed byte as an int, or r bytes as a string.
int ReadChars(std::FILE* stream, ZuVALUE* target, int r) {
    const std::vector<unsigned char> bytes = ReadBytes(stream, static_cast<std::uint64_t>(r));
    if (r != 1) {
        StoreString(target, reinterpret_cast<const char*>(bytes.data()), bytes.size());
    } else if (bytes.empty()) {
        StoreNothing(target);
    } else {
        ZuValSetInt(target, static_cast<signed char>(bytes[0]));
    }
    return static_cast<int>(bytes.size());
}

int ReadInt(std::FILE* stream, ZuVALUE* target, bool big) {
    const std::vector<unsigned char> bytes = ReadBytes(stream, 4);
    if (bytes.size() < 4) {
        StoreNothing(target);
        return 0;
    }
    ZuValSetInt(target, static_cast<int>(GetInt32(bytes.data(), big)));
    return 1;
}

// 'e', 'f' and '4': one number, or an r by c matrix row by row; a matrix
// cut short keeps the whole rows that were read.
int ReadNumbers(std::FILE* stream, ZuVALUE* target, int r, int c, int size, bool big) {
    const std::uint64_t wanted = std::min<std::uint64_t>(std::uint64_t(r) * std::uint64_t(c), INT_MAX);
    const std::vector<unsigned char> bytes = ReadBytes(stream, wanted * static_cast<std::uint64_t>(size));
    const int items = static_cast<int>(bytes.size() / static_cast<std::size_t>(size));
    auto number = [&](int k) {
        const unsigned char* at = bytes.data() + static_cast<std::size_t>(k) * static_cast<std::size_t>(size);
        return size == 4 ? static_cast<double>(GetFloat(at, big)) : GetDouble(at, big);
    };
    if (r == 1 && c == 1) {
        if (items == 0) StoreNothing(target);
        if (items == 1) ZuValSetDouble(target, number(0));
        return items;
    }
    const int rows = c > 0 ? items / c : 0;
    ZuLibValMatMalloc(target, rows, c);
    for (int k = 0; k < rows * c; ++k) MatrixData(target)[k / c][k % c] = number(k);
    return rows * c;
}

// The variable names of a data set, read from behind its fixed header;
// the stream is left where it was.
int ReadNames(const OpenFile& file, ZuVALUE* target) {
    const long long here = ftello(file.stream);
    const int n = file.shape[1];
    std::vector<unsigned char> bytes;
    if (fseeko(file.stream, kDataSetHeaderSize, SEEK_SET) == 0) {
        bytes = ReadBytes(file.stream, std::uint64_t(n) * kNameFieldSize);
    }
    const int got = static_cast<int>(bytes.size() / kNameFieldSize);
    ZuLibValArrayCalloc(target, got);
    for (int k = 0; k < got; ++k) {
        const char* field = reinterpret_cast<const char*>(bytes.data()) + static_cast<std::size_t>(k) * kNameFieldSize;
        const std::size_t length = std::string_view{field, kNameFieldSize}.find('\0');
        StoreString(&Items(target)[k], field, std::min<std::size_t>(length, kNameFieldSize));
    }
    if (here >= 0) (void)fseeko(file.stream, here, SEEK_SET);
    return got;
}

int ReadByType(const OpenFile& file, int flags, ZuVALUE* target, int type, int r, int c) {
    const bool big = BigEndian(flags);
    switch (type) {
    case 'c': return ReadChars(file.stream, target, r);
    case 'd':
    case 'i': return ReadInt(file.stream, target, big);
    case 'e':
    case 'f': return ReadNumbers(file.stream, target, r, c, 8, big);
    case '4': return ReadNumbers(file.stream, target, r, c, 4, big);
    case 's':
        if ((flags & kFileDataSet) != 0) return ReadNames(file, target);
        {
            const std::string text = ReadTerminated(file.stream);
            StoreString(target, text.data(), text.size());
            return static_cast<int>(text.size());
        }
    default: return -1;
    }
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

std::size_t WriteRaw(std::FILE* stream, const void* bytes, std::size_t n) {
    return n == 0 ? 0 : std::fwrite(bytes, 1, n, stream);
}

// The rows of a matrix as doubles; returns the rows written in full.
int WriteRows(std::FILE* stream, const ZuVALUE* m, bool big) {
    const int r = MatrixData(m) == nullptr ? 0 : Rows(m);
    const int c = Columns(m);
    std::vector<unsigned char> row(static_cast<std::size_t>(c) * 8);
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j) PutDouble(row.data() + static_cast<std::size_t>(j) * 8, MatrixData(m)[i][j], big);
        if (WriteRaw(stream, row.data(), row.size()) != row.size()) return i;
    }
    return r;
}

int WritePlain(std::FILE* stream, ZuVALUE* pv, bool big) {
    ZuVALUE* x = &pv[1];
    unsigned char bytes[8];
    const int type = value::IsNul(x) ? ZU_NONE : value::TypeCode(x);
    switch (type) {
    case ZU_INT:
        PutInt32(bytes, static_cast<std::uint32_t>(StringLength(x)), big);
        return WriteRaw(stream, bytes, 4) == 4;
    case ZU_DOUBLE: PutDouble(bytes, DoubleOf(x), big); return WriteRaw(stream, bytes, 8) == 8;
    case ZU_STRING:
        return StringText(x) == nullptr
                   ? 0
                   : static_cast<int>(WriteRaw(stream, StringText(x), static_cast<std::size_t>(StringLength(x))));
    case ZU_MATRIX: return WriteRows(stream, x, big) * x->w2.i;
    default: ZuLibArgTypeError(1, -1, x->t); return 0;
    }
}

// The names of a data set's variables, written once before its rows.
int WriteNames(OpenFile& file, ZuVALUE* pv) {
    const ZuVALUE* names = &pv[1];
    const int n = ItemCount(names);
    for (int k = 0; k < n; ++k) {
        const ZuVALUE* name = &Items(names)[k];
        if (value::TypeCode(name) != ZU_STRING || value::IsNul(name)) {
            ArgumentFault(1, "variable names must be strings");
            return 0;
        }
    }
    std::vector<unsigned char> bytes(
        static_cast<std::size_t>(n) * (kNameFieldSize + 1) + static_cast<std::size_t>(NamePadding(n)), 0);
    for (int k = 0; k < n; ++k) {
        const std::string_view text = StringChars(Items(names)[k]);
        std::copy_n(text.begin(), std::min<std::size_t>(text.size(), kNameFieldSize),
                    bytes.begin() + static_cast<std::ptrdiff_t>(k) * kNameFieldSize);
    }
    if (fseeko(file.stream, kDataSetHeaderSize, SEEK_SET) != 0) return 0;
    if (WriteRaw(file.stream, bytes.data(), bytes.size()) != bytes.size() || std::fflush(file.stream) != 0) {
        file.writeFailed = true;
        return 0;
    }
    file.shape[1] = n;
    return n;
}

// The rows of a file open for reading and writing are those the file holds.
int RowsInFile(const OpenFile& file, int flags) {
    const long long data = StreamSize(file.stream) - HeaderSize(KindOf(flags), file.shape[1]);
    const long long rowBytes = 8LL * file.shape[1];
    if (data <= 0 || rowBytes == 0) return 0;
    return static_cast<int>(std::min<long long>(data / rowBytes, INT_MAX));
}

bool ColumnsFit(OpenFile& file, int flags, int columns) {
    if (file.shape[1] == 0 && (flags & kFileDataSet) != 0) {
        PopErrorMessage("Must first write variable names as array of strings");
        return false;
    }
    if (file.shape[1] == 0) file.shape[1] = columns;
    if (file.shape[1] == columns) return true;
    const std::string message =
        "Columns don't match: file: " + std::to_string(file.shape[1]) + ", matrix: " + std::to_string(columns);
    PopErrorMessage(message.c_str());
    return false;
}

// After a failed write the bytes still in the stream's buffer are dropped
// and the file is cut to the whole rows it holds, so that its header can
// say what is really there; the count of those rows.  The stream keeps its
// error flag, which fclose reports.
int SettleAfterFailure(OpenFile& file, int flags) {
    file.writeFailed = true;
    __fpurge(file.stream);
    const int fd = fileno(file.stream);
    struct stat status {};
    if (fstat(fd, &status) != 0) return 0;
    const long long header = HeaderSize(KindOf(flags), file.shape[1]);
    const long long rowBytes = 8LL * file.shape[1];
    const long long rows = status.st_size > header && rowBytes > 0 ? (status.st_size - header) / rowBytes : 0;
    if (status.st_size > header) (void)ftruncate(fd, static_cast<off_t>(header + rows * rowBytes));
    (void)fseeko(file.stream, 0, SEEK_END);
    return static_cast<int>(std::min<long long>(rows, INT_MAX));
}

// Each write to a matrix file is flushed, so that the rows it reports are
// rows the file holds: a full disk shows here and not only at fclose.
int WriteMatrixFile(OpenFile& file, int flags, ZuVALUE* pv) {
    if (value::TypeCode(&pv[1]) == ZU_ARRAY && !value::IsNul(&pv[1]) && !value::IsAddress(&pv[1])) {
        if ((flags & kFileDataSet) == 0 || file.shape[1] != 0) {
            ArgumentFault(1, "variable names only for a new data set");
            return 0;
        }
        return WriteNames(file, pv);
    }
    if (ZuLibCheckType(ZU_MATRIX, pv, 1, 1) == 0) return 0;
    if (!ColumnsFit(file, flags, pv[1].w2.i)) return 0;
    const int before = file.shape[0];
    const int rows = WriteRows(file.stream, &pv[1], BigEndian(flags));
    const int wanted = MatrixData(&pv[1]) == nullptr ? 0 : Rows(&pv[1]);
    if (rows != wanted || std::fflush(file.stream) != 0) {
        file.shape[0] = SettleAfterFailure(file, flags);
        return std::clamp(file.shape[0] - before, 0, rows);
    }
    if (Updating(flags)) {
        file.shape[0] = RowsInFile(file, flags);
    } else {
        file.shape[0] = static_cast<int>(std::min<long long>(static_cast<long long>(file.shape[0]) + rows, INT_MAX));
    }
    return rows;
}

// ---------------------------------------------------------------------------
// Positions
// ---------------------------------------------------------------------------

// Where fseek with a type and a count goes; false for a type it does not know.
bool SeekTarget(const OpenFile& file, int flags, int type, int n, long long* offset) {
    switch (type) {
    case 'c': *offset = n; return true;
    case 'd':
    case 'i': *offset = 4LL * n; return true;
    case 'e':
    case 'f': {
        const bool matrix = (flags & kFileMatrix) != 0;
        const long long header = matrix ? HeaderSize(KindOf(flags), file.shape[1]) : 0;
        const long long columns = matrix ? file.shape[1] : 1;
        *offset = header + static_cast<long long>(n) * columns * 8;
        return true;
    }
    default: return false;
    }
}

}  // namespace

/// fopen(name [, mode])
/// Opens the file `name` and returns the file value, or the int 0 when it cannot be opened (or
/// a matrix file has no valid header). `mode` defaults to "r": `r` reading, `w` writing, `a`
/// appending, `+` reading and writing, `b` binary, `f` a matrix file (`F` with the newer
/// header), `e` and `E` little- and big-endian numbers. A matrix file named `.dat` is a data
/// set. The mode "l" opens the output log that receives all console output ("la" appends to
/// it), and "del" removes the file; both give an int.
/// Example:
///     decl file = fopen("numbers.txt", "w");
///     fprintln(file, "1 2 3");
///     fclose(file);
///     println(isfile(fopen("numbers.txt")), " ", fopen("no such file.txt"));
void FnFopen(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 2) {
        ZuLibArgError(2);
        return;
    }
    if (ZuLibCheckType(ZU_STRING, pv, 0, cArg - 1) == 0) return;
    const std::string name = FileName(pv[0]);
    const std::string_view mode = cArg > 1 ? StringChars(pv[1]) : std::string_view{"r"};
    if (mode.starts_with('l')) {
        OpenLog(rtn, name, mode);
    } else if (mode == "del") {
        ZuValSetInt(rtn, std::remove(name.c_str()));
    } else {
        const OpenMode m = ParseMode(mode, name);
        std::FILE* stream = FileOpen(name.c_str(), m.stream.c_str());
        if (stream == nullptr) return ZuValSetInt(rtn, 0);
        OpenFile& file = AddOpenFile(rtn, stream, m.flags);
        if ((m.flags & kFileMatrix) != 0 && !StartMatrixFile(rtn, file, m)) {
            (void)CloseOpenFile(file);
            ZuValSetInt(rtn, 0);
        }
    }
}

bool FinishOpenFile(OpenFile& file) {
    const int flags = file.flags;
    bool ok = !file.writeFailed && std::ferror(file.stream) == 0 && std::fflush(file.stream) == 0;
    if ((flags & kFileMatrix) == 0 || (flags & kFileWrite) == 0) return ok;
    if (!ok) file.shape[0] = SettleAfterFailure(file, flags);
    const MatrixHeader header{KindOf(flags), file.shape[0], file.shape[1], BigEndian(flags)};
    return WriteMatrixHeader(file.stream, header) && std::fflush(file.stream) == 0 && ok;
}

/// fclose(file)
/// Closes `file`; a matrix file written to gets its header again with the final rows and
/// columns (the rows actually stored). Returns 0, or -1 when the file reported an error, now or
/// at an earlier write. `fclose("l")` closes the output log.
/// Example:
///     decl file = fopen("fclose.txt", "w");
///     fprint(file, "text");
///     println(fclose(file));
void FnFclose(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (value::TypeCode(pv) == ZU_STRING && !value::IsNul(pv) && StringChars(*pv) == "l") {
        SetPrintLog(nullptr);
        return ZuValSetInt(rtn, 0);
    }
    OpenFile* file = FileArg(pv, 0);
    if (file == nullptr) return;
    bool ok = FinishOpenFile(*file);
    if (CloseOpenFile(*file) != 0) ok = false;
    ZuValSetInt(rtn, ok ? 0 : -1);
}

/// fwrite(file, x)
/// Writes `x` in binary: an int as a 32-bit integer, a double as 8 bytes, a string as its
/// bytes, a matrix row by row as doubles, in the byte order of the file. In a matrix file the
/// columns must match the file's. Returns the number of items written (elements of a matrix,
/// rows for a matrix file).
/// Example:
///     decl file = fopen("fwrite.bin", "wb");
///     println(fwrite(file, <1,2;3,4>), " ", fwrite(file, 7));
///     fclose(file);
///     println(fsize(fopen("fwrite.bin")));
void FnFwrite(ZuVALUE* rtn, ZuVALUE* pv, int) {
    OpenFile* file = FileArg(pv, 0);
    if (file == nullptr) return;
    const int flags = pv->w2.i;
    PrepareStream(*file, flags);
    const int written =
        (flags & kFileMatrix) != 0 ? WriteMatrixFile(*file, flags, pv) : WritePlain(file->stream, pv, BigEndian(flags));
    ZuValSetInt(rtn, written);
}

/// fread(file, &x [, type [, r [, c]]])
/// Reads binary data into `x`. `type` is a character code, 'e' when not given: 'c' one byte
/// as an int, or r bytes as a string; 'd' or 'i' a 32-bit int; 'e' or 'f' one double, or an r
/// by c matrix row by row; '4' the same from 4-byte floats; 's' the bytes up to a zero byte.
/// `r` and `c` default to 1 (in a matrix file c is its columns and r its rows). Returns the
/// number of items read (rows for a matrix file); what is stored is as large as what was read.
/// Example:
///     decl file = fopen("fread.bin", "wb");
///     fwrite(file, <1,2,3,4>);
///     fclose(file);
///     decl m;
///     file = fopen("fread.bin", "rb");
///     println(fread(file, &m, 'e', 2, 2));
///     print(m);
///     fclose(file);
void FnFread(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 5) {
        ZuLibArgError(5);
        return;
    }
    OpenFile* file = FileArg(pv, 0);
    ZuVALUE* target = file == nullptr ? nullptr : AddressArg(pv, 1);
    if (target == nullptr) return;
    int type = 'e', r = 1, c = 1;
    if ((cArg > 2 && !IntArg(pv, 2, &type)) || (cArg > 3 && !IntArg(pv, 3, &r)) || (cArg > 4 && !IntArg(pv, 4, &c)))
        return;
    const int flags = pv->w2.i;
    const bool matrix = (flags & kFileMatrix) != 0;
    if (matrix) {
        c = file->shape[1];
        if (cArg < 4) r = file->shape[0];
    }
    if (r < 0) return (void)ArgumentFault(3, "negative count");
    if (c < 0) return (void)ArgumentFault(4, "negative count");
    if (type <= 0 || type > 127 ||
        std::string_view{"cdief4s"}.find(static_cast<char>(type)) == std::string_view::npos) {
        return (void)ArgumentFault(2, "unknown type");
    }
    PrepareStream(*file, flags);
    int items = ReadByType(*file, flags, target, type, r, c);
    if (matrix && c > 0 && (type == 'e' || type == 'f' || type == '4') && !(r == 1 && c == 1)) items /= c;
    ZuValSetInt(rtn, items);
}

/// fseek(file [, type [, n]])
/// Without a type: the current position in bytes. With `n` equal to -1: moves to the end.
/// Otherwise (`n` defaults to 1) 'c' moves to byte n, 'd' and 'i' to byte 4 n, 'e' and 'f' to
/// row n of the file (after a matrix file's header). Returns 0 on success.
/// Example:
///     decl file = fopen("fseek.bin", "wb");
///     fwrite(file, <1,2,3>);
///     fclose(file);
///     decl x;
///     file = fopen("fseek.bin", "rb");
///     fseek(file, 'e', 2);
///     fread(file, &x);
///     println(x, " at ", fseek(file));
///     fclose(file);
void FnFseek(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 3) {
        ZuLibArgError(3);
        return;
    }
    OpenFile* file = FileArg(pv, 0);
    if (file == nullptr) return;
    if (cArg == 1) return SetOffset(rtn, ftello(file->stream));
    int type = 0, n = 1;
    if (!IntArg(pv, 1, &type) || (cArg > 2 && !IntArg(pv, 2, &n))) return;
    if (n == -1) return ZuValSetInt(rtn, fseeko(file->stream, 0, SEEK_END));
    long long offset = 0;
    if (!SeekTarget(*file, pv->w2.i, type, n, &offset)) return ZuValSetInt(rtn, 0);
    ZuValSetInt(rtn, fseeko(file->stream, static_cast<off_t>(offset), SEEK_SET));
}

/// fsize(file)
/// The size of `file` in bytes, -1 when it cannot be told.
/// Example:
///     decl file = fopen("fsize.txt", "w");
///     fprint(file, "12345");
///     fclose(file);
///     println(fsize(fopen("fsize.txt")));
void FnFsize(ZuVALUE* rtn, ZuVALUE* pv, int) {
    OpenFile* file = FileArg(pv, 0);
    if (file != nullptr) SetOffset(rtn, StreamSize(file->stream));
}

/// feof(file)
/// 1 when the next read of `file` finds its end, else 0.
/// Example:
///     decl file = fopen("feof.txt", "w");
///     fprint(file, "x");
///     fclose(file);
///     decl line;
///     file = fopen("feof.txt");
///     println(feof(file));
///     fscan(file, "%z", &line);
///     println(feof(file));
void FnFeof(ZuVALUE* rtn, ZuVALUE* pv, int) {
    OpenFile* file = FileArg(pv, 0);
    if (file == nullptr) return;
    PrepareStream(*file, pv->w2.i);
    const int ch = std::getc(file->stream);
    if (ch != EOF) std::ungetc(ch, file->stream);
    std::clearerr(file->stream);
    ZuValSetInt(rtn, ch == EOF ? 1 : 0);
}

/// fflush(file)
/// Writes out what is buffered for `file`; `fflush(0)` flushes the console. Returns 0 on
/// success, -1 on an error.
/// Example:
///     println(fflush(0));
void FnFflush(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (value::TypeCode(pv) == ZU_INT && !value::IsNul(pv) && pv->w1.i == 0) {
        PrintSink::Console().Flush();
        return ZuValSetInt(rtn, 0);
    }
    OpenFile* file = FileArg(pv, 0);
    if (file != nullptr) ZuValSetInt(rtn, std::fflush(file->stream) == 0 ? 0 : -1);
}

/// fremove(name)
/// Removes the file `name`: 1 when it was removed, else 0.
/// Example:
///     fclose(fopen("fremove.txt", "w"));
///     println(fremove("fremove.txt"), " ", fremove("fremove.txt"));
void FnFremove(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_STRING, pv, 0, 0) == 0) return;
    ZuValSetInt(rtn, std::remove(FileName(*pv).c_str()) == 0 ? 1 : 0);
}

/// chdir(name)
/// Changes the working directory: 1 when it changed, else 0.
/// Family: System
/// Example:
///     println(chdir("."), " ", chdir("no such folder"));
void FnChdir(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_STRING, pv, 0, 0) == 0) return;
    const std::string name{StringChars(*pv)};
    ZuValSetInt(rtn, ::chdir(name.c_str()) == 0 ? 1 : 0);
}

/// getcwd()
/// The working directory, or the empty string when it cannot be told.
/// Family: System
/// Example:
///     println(getcwd() == getcwd() && sizeof(getcwd()) > 0);
void FnGetcwd(ZuVALUE* rtn, ZuVALUE*, int) {
    constexpr std::size_t kLongestPath = std::size_t{1} << 20;
    std::vector<char> buffer(256);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() >= kLongestPath) {
            buffer.assign(1, '\0');
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    StoreString(rtn, buffer.data(), std::strlen(buffer.data()));
}

}  // namespace zu::stdlib
