// Byte order of binary numbers and the matrix-file headers.
#include "stdlib/matrix_file_headers.h"

#include <sys/stat.h>

#include <bit>
#include <climits>
#include <cstring>

namespace zu::stdlib {
namespace {

constexpr int kElementSize = 8;

std::uint64_t GetInt64(const unsigned char* in, bool bigEndian) {
    std::uint64_t x = 0;
    for (int k = 0; k < 8; ++k) x |= std::uint64_t{in[bigEndian ? 7 - k : k]} << (8 * k);
    return x;
}

int SignedInt32(std::uint32_t x) { return x > INT_MAX ? -1 : static_cast<int>(x); }

std::string ReadOldHeader(const unsigned char* bytes, std::size_t got, MatrixHeader* header) {
    if (got < kOldHeaderSize) return "Invalid .FMT file";
    header->kind = HeaderKind::Old;
    header->bigEndian = false;
    if (bytes[1] == 0xDD) {
        header->rows = bytes[2] | (bytes[3] << 8);
        header->columns = bytes[4] | (bytes[5] << 8);
        return {};
    }
    if (bytes[1] != 0xEE) return "Invalid .FMT file";
    header->rows = SignedInt32(GetInt32(bytes + 4, false));
    header->columns = SignedInt32(GetInt32(bytes + 8, false));
    if (header->rows < 0 || header->columns < 0) return "Invalid .FMT file";
    return {};
}

// The header must not promise more elements than follow it.
std::string CheckAgainstSize(std::FILE* stream, const MatrixHeader& header) {
    const long long size = StreamSize(stream);
    if (size < 0) return {};
    const long long data = size - HeaderSize(header.kind, header.columns);
    const bool fits = data >= 0 && (header.columns == 0 || header.rows <= data / kElementSize / header.columns);
    if (fits) return {};
    return "Matrix file too short: its header gives " + std::to_string(header.rows) + " by " +
           std::to_string(header.columns);
}

}  // namespace

void PutInt32(unsigned char* out, std::uint32_t x, bool bigEndian) {
    for (int k = 0; k < 4; ++k) out[bigEndian ? 3 - k : k] = static_cast<unsigned char>(x >> (8 * k));
}

std::uint32_t GetInt32(const unsigned char* in, bool bigEndian) {
    std::uint32_t x = 0;
    for (int k = 0; k < 4; ++k) x |= std::uint32_t{in[bigEndian ? 3 - k : k]} << (8 * k);
    return x;
}

void PutDouble(unsigned char* out, double x, bool bigEndian) {
    const auto bits = std::bit_cast<std::uint64_t>(x);
    for (int k = 0; k < 8; ++k) out[bigEndian ? 7 - k : k] = static_cast<unsigned char>(bits >> (8 * k));
}

double GetDouble(const unsigned char* in, bool bigEndian) { return std::bit_cast<double>(GetInt64(in, bigEndian)); }

float GetFloat(const unsigned char* in, bool bigEndian) { return std::bit_cast<float>(GetInt32(in, bigEndian)); }

int NamePadding(int columns) {
    const long long names = 33LL * columns;
    return static_cast<int>((8 - names % 8) % 8);
}

long long HeaderSize(HeaderKind kind, int columns) {
    switch (kind) {
    case HeaderKind::Old: return kOldHeaderSize;
    case HeaderKind::New: return kNewHeaderSize;
    case HeaderKind::DataSet: return kDataSetHeaderSize + 33LL * columns + NamePadding(columns);
    }
    return 0;
}

bool ReadFmtHeader_96(const unsigned char* bytes, MatrixHeader* header) {
    const bool little = GetInt32(bytes, false) == kMatrixMagic || GetInt32(bytes, false) == kDataSetMagic;
    const bool big = GetInt32(bytes, true) == kMatrixMagic || GetInt32(bytes, true) == kDataSetMagic;
    if (!little && !big) return false;
    header->bigEndian = big;
    header->kind = GetInt32(bytes, big) == kMatrixMagic ? HeaderKind::New : HeaderKind::DataSet;
    header->rows = SignedInt32(GetInt32(bytes + 8, big));
    header->columns = SignedInt32(GetInt32(bytes + 12, big));
    if (header->rows < 0 || header->columns < 0) return false;
    const long long size = GetInt32(bytes + 4, big);
    return size == HeaderSize(header->kind, header->columns) && GetInt32(bytes + 16, big) == kElementSize;
}

void WriteFmtHeader_96(unsigned char* out, const MatrixHeader& header) {
    const bool dataSet = header.kind == HeaderKind::DataSet;
    const int fixed = dataSet ? kDataSetHeaderSize : kNewHeaderSize;
    std::memset(out, 0, static_cast<std::size_t>(fixed));
    PutInt32(out, dataSet ? kDataSetMagic : kMatrixMagic, header.bigEndian);
    PutInt32(out + 4, static_cast<std::uint32_t>(HeaderSize(header.kind, header.columns)), header.bigEndian);
    PutInt32(out + 8, static_cast<std::uint32_t>(header.rows), header.bigEndian);
    PutInt32(out + 12, static_cast<std::uint32_t>(header.columns), header.bigEndian);
    PutInt32(out + 16, kElementSize, header.bigEndian);
}

std::string ReadMatrixHeader(std::FILE* stream, MatrixHeader* header) {
    unsigned char bytes[kNewHeaderSize] = {};
    if (fseeko(stream, 0, SEEK_SET) != 0) return "Invalid .FMT or .DAT file";
    const std::size_t got = std::fread(bytes, 1, kOldHeaderSize, stream);
    if (got >= 1 && bytes[0] == 0xDA) return "Please convert old .DHT/.DAT to new .DAT file";
    std::string message;
    if (got >= 1 && bytes[0] == 0xDD) {
        message = ReadOldHeader(bytes, got, header);
    } else {
        const std::size_t more = std::fread(bytes + got, 1, kDataSetHeaderSize - got, stream);
        const bool whole = got + more == kDataSetHeaderSize;
        if (!whole || !ReadFmtHeader_96(bytes, header)) return "Invalid .FMT or .DAT file";
    }
    if (message.empty()) message = CheckAgainstSize(stream, *header);
    if (message.empty() && fseeko(stream, HeaderSize(header->kind, header->columns), SEEK_SET) != 0) {
        message = "Invalid .FMT or .DAT file";
    }
    return message;
}

bool WriteMatrixHeader(std::FILE* stream, const MatrixHeader& header) {
    unsigned char bytes[kNewHeaderSize] = {};
    std::size_t size = kOldHeaderSize;
    if (header.kind == HeaderKind::Old) {
        const unsigned char lead[4] = {0xDD, 0xEE, 0x86, 0x00};
        std::memcpy(bytes, lead, sizeof lead);
        PutInt32(bytes + 4, static_cast<std::uint32_t>(header.rows), false);
        PutInt32(bytes + 8, static_cast<std::uint32_t>(header.columns), false);
        // Kept to 32 bits: the field only informs, readers go by rows and columns.
        const std::uint64_t bytesOfData = std::uint64_t(header.rows) * std::uint64_t(header.columns) * kElementSize;
        PutInt32(bytes + 12, static_cast<std::uint32_t>(bytesOfData), false);
    } else {
        WriteFmtHeader_96(bytes, header);
        size = header.kind == HeaderKind::DataSet ? kDataSetHeaderSize : kNewHeaderSize;
    }
    if (fseeko(stream, 0, SEEK_SET) != 0) return false;
    return std::fwrite(bytes, 1, size, stream) == size;
}

long long StreamSize(std::FILE* stream) {
    if (std::fflush(stream) != 0) return -1;
    struct stat status {};
    if (fstat(fileno(stream), &status) != 0 || !S_ISREG(status.st_mode)) return -1;
    return static_cast<long long>(status.st_size);
}

}  // namespace zu::stdlib
