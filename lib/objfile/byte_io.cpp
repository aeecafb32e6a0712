// The object-file encoding: little-endian integers and doubles, strings
// with their length in front, section markers.
#include "objfile/byte_io.h"

#include "objfile/format.h"

#include <cstring>

namespace zu::objfile {

const unsigned char* ByteReader::take(std::size_t n) {
    if (fault_) return nullptr;
    if (n > remaining()) {
        fail(LinkError::kUnexpectedEnd);
        at_ = bytes_.size();
        return nullptr;
    }
    const unsigned char* p = bytes_.data() + at_;
    at_ += n;
    return p;
}

std::int32_t ByteReader::readInt() {
    const unsigned char* p = take(4);
    if (!p) return 0;
    const std::uint32_t u =
        std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
    return static_cast<std::int32_t>(u);
}

double ByteReader::readDouble() {
    const unsigned char* p = take(8);
    if (!p) return 0;
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = u << 8 | p[i];
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}

std::string ByteReader::readString() {
    const std::int32_t length = readInt();
    if (length == 0 || fault_) return {};
    if (length < 0) {
        fail(LinkError::kFileError);
        return {};
    }
    const auto n = static_cast<std::size_t>(length);
    const unsigned char* p = take(n + 1);
    if (!p) return {};
    if (p[n] != '\0') {
        fail(LinkError::kFileError);
        return {};
    }
    return std::string(reinterpret_cast<const char*>(p), n);
}

void ByteReader::expectMarker(std::string_view expected) {
    const std::int32_t length = readInt();
    if (fault_) return;
    if (length < 1 || length > kMaxMarkerLength) {
        fail(LinkError::kFileError);
        return;
    }
    const auto n = static_cast<std::size_t>(length);
    const unsigned char* p = take(n + 1);
    if (p && (p[n] != '\0' || std::string_view(reinterpret_cast<const char*>(p), n) != expected))
        fail(LinkError::kFileError);
}

int ByteReader::readCount(std::size_t minBytes) {
    const std::int32_t n = readInt();
    if (fault_) return -1;
    if (n < 0 || static_cast<std::size_t>(n) > remaining() / minBytes) {
        // More items than the bytes left can hold: the file is cut short
        // or the count is corrupt.
        fail(n < 0 ? LinkError::kFileError : LinkError::kUnexpectedEnd);
        return -1;
    }
    return n;
}

void ByteWriter::writeBytes(const void* data, std::size_t n) {
    if (n) std::fwrite(data, 1, n, file_);
}

void ByteWriter::writeInt(std::int32_t i) {
    const auto u = static_cast<std::uint32_t>(i);
    const unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                                static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
    writeBytes(b, 4);
}

void ByteWriter::writeDouble(double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    unsigned char b[8];
    for (unsigned char& byte : b) {
        byte = static_cast<unsigned char>(u);
        u >>= 8;
    }
    writeBytes(b, 8);
}

void ByteWriter::writeString(std::string_view s) {
    writeInt(static_cast<std::int32_t>(s.size()));
    if (!s.empty()) {
        writeBytes(s.data(), s.size());
        writeByte(0);
    }
}

bool ReadWholeFile(std::FILE* file, std::vector<unsigned char>& bytes) {
    bytes.clear();
    unsigned char chunk[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (bytes.size() + got > kMaxFileBytes) return false;
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) return !std::ferror(file);
    }
}

}  // namespace zu::objfile
