// .xls: read through libfreexl (in a child process), written as BIFF8 in a
// compound file.
#include <freexl.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "data/excel.h"
#include "data/saving.h"
#include "data/sheet_libraries.h"
#include "data/sheets.h"
#include "data/text_data.h"
#include "stdlib/matrix_file_headers.h"

namespace zu::data {
namespace {

// ---------------------------------------------------------------------------
// Reading
//
// libfreexl has been seen to read out of bounds on damaged files, so it
// runs in a child process that hands the cells over a pipe: whatever a
// file does to the reader, it cannot touch this process.  The parent
// bounds what it takes (Sheet), and a child that dies or hangs gives the
// message of a damaged file.
// ---------------------------------------------------------------------------

enum XlsStatus : std::uint8_t { kXlsOk = 0, kXlsNotFound = 1, kXlsInvalid = 2, kXlsReadError = 3 };
enum CellTag : std::uint8_t { kTagEnd = 0, kTagNumber = 1, kTagText = 2 };
constexpr unsigned kChildSeconds = 60;
constexpr std::uint32_t kLongestText = 1u << 20;

struct XlsCloser {
    void operator()(const void* handle) const { freexl_close(handle); }
};
using XlsHandle = std::unique_ptr<const void, XlsCloser>;

void PutCellHead(std::FILE* out, CellTag tag, unsigned row, unsigned short column) {
    const unsigned char head[7] = {tag,
                                   static_cast<unsigned char>(row),
                                   static_cast<unsigned char>(row >> 8),
                                   static_cast<unsigned char>(row >> 16),
                                   static_cast<unsigned char>(row >> 24),
                                   static_cast<unsigned char>(column),
                                   static_cast<unsigned char>(column >> 8)};
    std::fwrite(head, 1, sizeof head, out);
}

void PutCell(std::FILE* out, const FreeXL_CellValue& cell, unsigned row, unsigned short column) {
    unsigned char bytes[8];
    switch (cell.type) {
    case FREEXL_CELL_INT:
    case FREEXL_CELL_DOUBLE:
        PutCellHead(out, kTagNumber, row, column);
        stdlib::PutDouble(bytes, cell.type == FREEXL_CELL_INT ? cell.value.int_value : cell.value.double_value, false);
        std::fwrite(bytes, 1, 8, out);
        break;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: {
        if (cell.value.text_value == nullptr) break;
        const std::uint32_t n = static_cast<std::uint32_t>(strnlen(cell.value.text_value, kLongestText));
        PutCellHead(out, kTagText, row, column);
        stdlib::PutInt32(bytes, n, false);
        std::fwrite(bytes, 1, 4, out);
        std::fwrite(cell.value.text_value, 1, n, out);
        break;
    }
    default: break;
    }
}

// In the child: the cells of the first worksheet, then the outcome.
XlsStatus WriteCells(const std::string& name, std::FILE* out) {
    const void* raw = nullptr;
    const int opened = freexl_open(name.c_str(), &raw);
    XlsHandle handle{raw};
    if (opened == FREEXL_FILE_NOT_FOUND) return kXlsNotFound;
    unsigned rows = 0;
    unsigned short columns = 0;
    if (opened != FREEXL_OK || freexl_select_active_worksheet(raw, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(raw, &rows, &columns) != FREEXL_OK)
        return kXlsInvalid;
    for (unsigned r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(raw, r, c, &cell) != FREEXL_OK) return kXlsReadError;
            PutCell(out, cell, r, c);
        }
    }
    return kXlsOk;
}

// In the parent: takes the cells until the outcome; false when the stream
// breaks off or goes beyond the bounds.
bool ReadCells(std::FILE* in, Sheet& sheet, XlsStatus& status) {
    unsigned char head[7];
    std::string text;
    for (;;) {
        if (std::fread(head, 1, 1, in) != 1) return false;
        if (head[0] == kTagEnd) {
            const int outcome = std::fgetc(in);
            status = outcome == EOF ? kXlsInvalid : static_cast<XlsStatus>(outcome);
            return outcome != EOF;
        }
        if (std::fread(head + 1, 1, 6, in) != 6) return false;
        const int row = static_cast<int>(stdlib::GetInt32(head + 1, false) & 0x7FFFFFFF);
        const int column = head[5] | (head[6] << 8);
        unsigned char bytes[8];
        if (head[0] == kTagNumber) {
            if (std::fread(bytes, 1, 8, in) != 8) return false;
            if (!sheet.AddNumber(row, column, stdlib::GetDouble(bytes, false))) return false;
        } else if (head[0] == kTagText) {
            if (std::fread(bytes, 1, 4, in) != 4) return false;
            const std::uint32_t n = stdlib::GetInt32(bytes, false);
            if (n > kLongestText) return false;
            text.resize(n);
            if (std::fread(text.data(), 1, n, in) != n) return false;
            if (!sheet.AddText(row, column, text)) return false;
        } else {
            return false;
        }
    }
}

// In the child: the reader may use what the file's size can justify (a
// worksheet's cell table is set up from a dimension the file states), and
// no more.  Not under AddressSanitizer, whose shadow memory the limit
// would count.
void BoundChildMemory(const std::string& name) {
#ifndef __SANITIZE_ADDRESS__
    struct stat status {};
    long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    const bool known = statm != nullptr && std::fscanf(statm, "%ld", &pages) == 1;
    if (statm != nullptr) std::fclose(statm);
    if (!known || ::stat(name.c_str(), &status) != 0) return;
    const rlim_t now = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
    const rlim_t budget = (rlim_t{64} << 20) + 64 * static_cast<rlim_t>(status.st_size);
    const struct rlimit limit { now + budget, now + budget };
    (void)::setrlimit(RLIMIT_AS, &limit);
#else
    (void)name;
#endif
}

// Runs the reader in a child process; false when the child did not finish
// its report.
bool ReadInChild(const std::string& name, Sheet& sheet, XlsStatus& status) {
    OpenXlsReader();
    int fds[2];
    if (::pipe(fds) != 0) return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (child == 0) {
        ::close(fds[0]);
        ::alarm(kChildSeconds);
        BoundChildMemory(name);
        std::FILE* out = ::fdopen(fds[1], "wb");
        if (out != nullptr) {
            const XlsStatus outcome = WriteCells(name, out);
            const unsigned char end[2] = {kTagEnd, outcome};
            std::fwrite(end, 1, 2, out);
            std::fflush(out);
        }
        // No destructors or exit handlers of the parent's state run here.
        ::_exit(0);
    }
    ::close(fds[1]);
    bool complete = false;
    if (std::FILE* in = ::fdopen(fds[0], "rb")) {
        complete = ReadCells(in, sheet, status);
        std::fclose(in);  // a child still writing now stops on a broken pipe
    } else {
        ::close(fds[0]);
    }
    int wait = 0;
    while (::waitpid(child, &wait, 0) < 0 && errno == EINTR) {}
    return complete && WIFEXITED(wait) && WEXITSTATUS(wait) == 0;
}

// ---------------------------------------------------------------------------
// Writing: the BIFF8 records
// ---------------------------------------------------------------------------

enum Record : std::uint16_t {
    kBof = 0x0809,
    kEof = 0x000A,
    kCodepage = 0x0042,
    kBoundSheet = 0x0085,
    kDimensions = 0x0200,
    kNumber = 0x0203,
    kLabel = 0x0204,
};
constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kGlobals = 0x0005;
constexpr std::uint16_t kWorksheet = 0x0010;
constexpr std::uint16_t kUtf16 = 1200;
constexpr long long kBiffRows = 65536;
constexpr int kBiffColumns = 256;
constexpr std::size_t kLongestLabel = 255;

class Biff {
public:
    void Put16(std::uint16_t x) {
        bytes.push_back(static_cast<std::uint8_t>(x));
        bytes.push_back(static_cast<std::uint8_t>(x >> 8));
    }
    void Put32(std::uint32_t x) {
        Put16(static_cast<std::uint16_t>(x));
        Put16(static_cast<std::uint16_t>(x >> 16));
    }
    // Starts a record; End fills in its length.
    void Begin(Record id) {
        Put16(id);
        start_ = bytes.size();
        Put16(0);
    }
    void End() {
        const std::size_t n = bytes.size() - start_ - 2;
        bytes[start_] = static_cast<std::uint8_t>(n);
        bytes[start_ + 1] = static_cast<std::uint8_t>(n >> 8);
    }
    void Bof(std::uint16_t kind) {
        Begin(kBof);
        Put16(kBiff8);
        Put16(kind);
        Put16(0x0DBB);  // build
        Put16(0x07CC);  // year
        Put32(0);
        Put32(0x06);
        End();
    }
    // Text as UTF-16: `lengthBytes` 1 for the short form of sheet names.
    void Text(const std::u16string& text, int lengthBytes) {
        if (lengthBytes == 1)
            bytes.push_back(static_cast<std::uint8_t>(text.size()));
        else
            Put16(static_cast<std::uint16_t>(text.size()));
        bytes.push_back(1);  // uncompressed UTF-16
        for (char16_t c : text) Put16(static_cast<std::uint16_t>(c));
    }

    std::vector<std::uint8_t> bytes;

private:
    std::size_t start_ = 0;
};

// UTF-8 to UTF-16, cut to `most` code units; a malformed byte becomes '?'.
std::u16string Utf16(const std::string& s, std::size_t most) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size() && out.size() < most;) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            ok = (n & 0xC0) == 0x80;
            c = (c << 6) | (n & 0x3F);
        }
        if (!ok) {
            out.push_back(u'?');
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (c >= 0x10000) {
            if (out.size() + 2 > most) break;
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

void PutLabel(Biff& b, int row, int column, const std::string& text) {
    b.Begin(kLabel);
    b.Put16(static_cast<std::uint16_t>(row));
    b.Put16(static_cast<std::uint16_t>(column));
    b.Put16(0);
    b.Text(Utf16(text, kLongestLabel), 2);
    b.End();
}

void PutNumber(Biff& b, int row, int column, double d) {
    b.Begin(kNumber);
    b.Put16(static_cast<std::uint16_t>(row));
    b.Put16(static_cast<std::uint16_t>(column));
    b.Put16(0);
    b.bytes.resize(b.bytes.size() + 8);
    stdlib::PutDouble(b.bytes.data() + b.bytes.size() - 8, d, false);
    b.End();
}

std::vector<std::uint8_t> Workbook(const Database& db, const SheetLayout& layout) {
    Biff b;
    b.Bof(kGlobals);
    b.Begin(kCodepage);
    b.Put16(kUtf16);
    b.End();
    b.Begin(kBoundSheet);
    const std::size_t offsetAt = b.bytes.size();
    b.Put32(0);  // the sheet's position, filled in below
    b.Put16(0);  // visible worksheet
    b.Text(u"Sheet1", 1);
    b.End();
    b.Begin(kEof);
    b.End();
    const auto sheetAt = static_cast<std::uint32_t>(b.bytes.size());
    for (int k = 0; k < 4; ++k)
        b.bytes[offsetAt + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(sheetAt >> (8 * k));
    b.Bof(kWorksheet);
    const int columns = static_cast<int>(layout.header.size());
    b.Begin(kDimensions);
    b.Put32(0);
    b.Put32(static_cast<std::uint32_t>(layout.rows + 1));
    b.Put16(0);
    b.Put16(static_cast<std::uint16_t>(columns));
    b.Put16(0);
    b.End();
    for (int c = 0; c < columns; ++c) PutLabel(b, 0, c, layout.header[static_cast<std::size_t>(c)]);
    const int first = layout.dated ? 1 : 0;
    for (long long t = 0; t < layout.rows; ++t) {
        const int row = static_cast<int>(t + 1);
        if (layout.dated) PutLabel(b, row, 0, layout.DateText(db, t));
        for (std::size_t j = 0; j < layout.vars.size(); ++j) {
            const double d = layout.vars[j]->values[static_cast<std::size_t>(t)];
            if (!std::isnan(d)) PutNumber(b, row, first + static_cast<int>(j), d);
        }
    }
    b.Begin(kEof);
    b.End();
    return std::move(b.bytes);
}

// ---------------------------------------------------------------------------
// The compound file
// ---------------------------------------------------------------------------

constexpr std::size_t kSector = 512;
constexpr std::size_t kSmallestStream = 4096;  // smaller streams would live in a mini stream
constexpr std::uint32_t kFreeSector = 0xFFFFFFFFu;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFEu;
constexpr std::uint32_t kFatSector = 0xFFFFFFFDu;
constexpr std::uint32_t kNoStream = 0xFFFFFFFFu;
constexpr std::size_t kHeaderFatEntries = 109;
constexpr std::size_t kEntriesPerSector = kSector / 4;

void Put16At(std::vector<std::uint8_t>& v, std::size_t at, std::uint16_t x) {
    v[at] = static_cast<std::uint8_t>(x);
    v[at + 1] = static_cast<std::uint8_t>(x >> 8);
}
void Put32At(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    Put16At(v, at, static_cast<std::uint16_t>(x));
    Put16At(v, at + 2, static_cast<std::uint16_t>(x >> 16));
}

// One 128-byte directory entry.
void DirectoryEntry(std::vector<std::uint8_t>& dir, std::size_t at, const std::string& name, std::uint8_t type,
                    std::uint32_t child, std::uint32_t start, std::uint32_t size) {
    const std::u16string wide = Utf16(name, 31);
    for (std::size_t k = 0; k < wide.size(); ++k) Put16At(dir, at + 2 * k, static_cast<std::uint16_t>(wide[k]));
    Put16At(dir, at + 64, static_cast<std::uint16_t>(2 * (wide.size() + 1)));
    dir[at + 66] = type;
    dir[at + 67] = 1;  // black
    Put32At(dir, at + 68, kNoStream);
    Put32At(dir, at + 72, kNoStream);
    Put32At(dir, at + 76, child);
    Put32At(dir, at + 116, start);
    Put32At(dir, at + 120, size);
}

}  // namespace

std::vector<std::uint8_t> CompoundFile(const std::string& streamName, std::vector<std::uint8_t> stream) {
    // The stream is padded to the size below which it would need a mini
    // stream; readers stop at the workbook's last EOF record.
    if (stream.size() < kSmallestStream) stream.resize(kSmallestStream, 0);
    const std::size_t streamSectors = (stream.size() + kSector - 1) / kSector;
    // Sectors: the stream, one directory sector, then the FAT itself.
    std::size_t fatSectors = 1;
    while (fatSectors * kEntriesPerSector < streamSectors + 1 + fatSectors) ++fatSectors;
    // Larger files would need FAT sectors listed outside the header.
    if (fatSectors > kHeaderFatEntries) return {};
    const std::size_t dirSector = streamSectors;
    const std::size_t total = streamSectors + 1 + fatSectors;
    std::vector<std::uint8_t> file(kSector + total * kSector, 0);
    // Header.
    static constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(file.data(), kSignature, sizeof kSignature);
    Put16At(file, 24, 0x003E);
    Put16At(file, 26, 0x0003);
    Put16At(file, 28, 0xFFFE);
    Put16At(file, 30, 9);  // 512-byte sectors
    Put16At(file, 32, 6);  // 64-byte mini sectors
    Put32At(file, 44, static_cast<std::uint32_t>(fatSectors));
    Put32At(file, 48, static_cast<std::uint32_t>(dirSector));
    Put32At(file, 56, static_cast<std::uint32_t>(kSmallestStream));
    Put32At(file, 60, kEndOfChain);
    Put32At(file, 68, kEndOfChain);
    for (std::size_t k = 0; k < kHeaderFatEntries; ++k)
        Put32At(file, 76 + 4 * k, k < fatSectors ? static_cast<std::uint32_t>(streamSectors + 1 + k) : kFreeSector);
    // Stream.
    std::memcpy(file.data() + kSector, stream.data(), stream.size());
    // Directory: the root and the stream.
    std::vector<std::uint8_t> dir(kSector, 0);
    DirectoryEntry(dir, 0, "Root Entry", 5, 1, kEndOfChain, 0);
    DirectoryEntry(dir, 128, streamName, 2, kNoStream, 0, static_cast<std::uint32_t>(stream.size()));
    for (std::size_t e = 2; e < 4; ++e) {
        Put32At(dir, e * 128 + 68, kNoStream);
        Put32At(dir, e * 128 + 72, kNoStream);
        Put32At(dir, e * 128 + 76, kNoStream);
    }
    std::memcpy(file.data() + kSector * (1 + dirSector), dir.data(), dir.size());
    // FAT: the stream's chain, the directory's, the FAT's own sectors.
    std::vector<std::uint8_t> fat(fatSectors * kSector, 0xFF);
    for (std::size_t s = 0; s < streamSectors; ++s)
        Put32At(fat, 4 * s, s + 1 < streamSectors ? static_cast<std::uint32_t>(s + 1) : kEndOfChain);
    Put32At(fat, 4 * dirSector, kEndOfChain);
    for (std::size_t k = 0; k < fatSectors; ++k) Put32At(fat, 4 * (streamSectors + 1 + k), kFatSector);
    std::memcpy(file.data() + kSector * (1 + streamSectors + 1), fat.data(), fat.size());
    return file;
}

bool FLoadXls(Database& db, const std::string& name, LoadCounts& counts) {
    Sheet sheet;
    XlsStatus status = kXlsInvalid;
    const bool reported = ReadInChild(name, sheet, status);
    if (reported && status == kXlsNotFound) {
        DataError("Cannot open %s", name.c_str());
        return false;
    }
    if (reported && status == kXlsReadError) {
        DataError("Error reading .XLS/.WKS file");
        return false;
    }
    if (!reported || status != kXlsOk) {
        DataError(sheet.Full() ? "%s holds too many values" : "Invalid .XLS file", name.c_str());
        return false;
    }
    return FLoadSheet(sheet, db, name, counts);
}

int ISaveXls(Database& db, const std::string& name, bool backup) {
    const SheetLayout layout = LayoutOf(db);
    if (layout.rows + 1 > kBiffRows || static_cast<int>(layout.header.size()) > kBiffColumns) {
        DataError("Error writing .XLS file");
        return 0;
    }
    const std::vector<std::uint8_t> file = CompoundFile("Workbook", Workbook(db, layout));
    if (file.empty()) {
        DataError("Error writing .XLS file");
        return 0;
    }
    return ISaveBytes(name, backup, file, "Error writing .XLS file");
}

}  // namespace zu::data
