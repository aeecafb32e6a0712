// Bounded reading and plain writing of the object-file encoding.
#pragma once

#include "value/link_error.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zu::objfile {

using value::LinkError;

// Reads the encoding from bytes held in memory.  Every read checks the
// bytes left; the first fault (a short read, a bad marker or string) is
// kept, and every read after it yields 0 or empty, so a caller may read on
// and look at ok() once.
class ByteReader {
public:
    explicit ByteReader(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

    bool ok() const { return !fault_; }
    LinkError fault() const { return fault_ ? *fault_ : LinkError::kFileError; }
    // Keeps the first fault only.
    void fail(LinkError code) {
        if (!fault_) fault_ = code;
    }
    std::size_t remaining() const { return bytes_.size() - at_; }
    bool atEnd() const { return at_ >= bytes_.size(); }

    // The next n raw bytes, or null (and "unexpected end of file").
    const unsigned char* take(std::size_t n);
    std::int32_t readInt();
    double readDouble();
    // A string: the length, then the bytes and their NUL.  A negative
    // length or a missing NUL is "file error".
    std::string readString();
    // A marker: a string of 1 to 60 bytes equal to `expected`.
    void expectMarker(std::string_view expected);
    // A count of items of at least `minBytes` each that must still fit in
    // the bytes left; -1 after a fault.
    int readCount(std::size_t minBytes);

private:
    std::vector<unsigned char> bytes_;
    std::size_t at_ = 0;
    std::optional<LinkError> fault_;
};

// Writes the encoding to a stream; ferror tells whether it all went out.
class ByteWriter {
public:
    explicit ByteWriter(std::FILE* file) : file_(file) {}
    void writeBytes(const void* data, std::size_t n);
    void writeByte(unsigned char b) { writeBytes(&b, 1); }
    void writeInt(std::int32_t i);
    void writeDouble(double d);
    // Length, then the bytes and a NUL when the length is not 0.
    void writeString(std::string_view s);
    void writeString(const char* s) { writeString(std::string_view(s ? s : "")); }
    bool failed() const { return std::ferror(file_) != 0; }

private:
    std::FILE* file_;
};

// The whole stream, at most kMaxFileBytes; false when it is larger or a
// read fails.
bool ReadWholeFile(std::FILE* file, std::vector<unsigned char>& bytes);

}  // namespace zu::objfile
