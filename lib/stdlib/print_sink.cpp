// Print sinks.
#include "stdlib/print_sink.h"

#include <algorithm>
#include <cstring>

#include "stdlib/print_settings.h"
#include "zu.h"

namespace zu::stdlib {
namespace {

// Streams get their text in pieces of about this size.
constexpr std::size_t kStreamPiece = 8192;

bool PipeActive() { return GetZuPipe() != nullptr; }

// A pipe buffer is delivered once it holds more than its capacity less 256.
std::size_t PipePiece() {
    const int capacity = GetZuPipeLength();
    return capacity > 512 ? static_cast<std::size_t>(capacity - 256) : 256;
}

// ZuPuts takes terminated text: a NUL inside (a "%c" of 0) must not cut
// off what follows it, so the pieces between NULs go one by one.
void PutPieces(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t nul = text.find('\0', start);
        const std::size_t end = nul == std::string::npos ? text.size() : nul;
        if (end > start) ZuPuts(text.substr(start, end - start).c_str());
        start = end + 1;
    }
}

void Write(std::FILE* stream, const std::string& text) {
    if (stream != nullptr && !text.empty()) std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

PrintSink::PrintSink(Kind kind, std::FILE* stream, bool pipe, std::size_t limit, std::FILE* log, char* target)
    : kind_(kind), stream_(stream), pipe_(pipe), log_(log), limit_(limit), target_(target) {
    if (target_ != nullptr) target_[0] = '\0';
}

PrintSink PrintSink::Console() {
    const bool pipe = PipeActive();
    return PrintSink(Kind::Console, nullptr, pipe, pipe ? PipePiece() : kStreamPiece, Settings().log);
}

PrintSink PrintSink::StandardError() {
    const bool pipe = PipeActive();
    return PrintSink(Kind::Error, pipe ? nullptr : stderr, pipe, pipe ? PipePiece() : kStreamPiece);
}

PrintSink PrintSink::File(std::FILE* stream) { return PrintSink(Kind::File, stream, false, kStreamPiece); }

PrintSink PrintSink::String(char* buffer, int limit) {
    return PrintSink(Kind::String, nullptr, false, static_cast<std::size_t>(std::max(limit, 0)), nullptr, buffer);
}

PrintSink PrintSink::Collect() { return PrintSink(Kind::Collect, nullptr, false, 0); }

std::string_view PrintSink::Text() const {
    if (kind_ == Kind::String) return target_ == nullptr ? std::string_view{} : std::string_view{target_, length_};
    return buffer_;
}

PrintSink::~PrintSink() { Deliver(); }

void PrintSink::Put(std::string_view text) {
    if (kind_ == Kind::String) {
        const std::size_t room = target_ == nullptr ? 0 : limit_ - length_;
        const std::size_t n = std::min(room, text.size());
        if (n < text.size()) overflowed_ = true;
        if (n > 0) std::memcpy(target_ + length_, text.data(), n);
        length_ += n;
        if (target_ != nullptr) target_[length_] = '\0';
        return;
    }
    buffer_.append(text);
    if (kind_ == Kind::Collect) return;
    if (buffer_.size() > limit_) Deliver();
}

void PrintSink::Deliver() {
    if (kind_ == Kind::String || kind_ == Kind::Collect || buffer_.empty()) return;
    if (kind_ == Kind::Console) Write(log_, buffer_);
    const bool console = kind_ == Kind::Console && ZuGetPrintlevel() >= 1;
    if (console || (kind_ == Kind::Error && pipe_)) {
        if (buffer_.find('\0') == std::string::npos) {
            ZuPuts(buffer_.c_str());
        } else {
            PutPieces(buffer_);
        }
    } else {
        Write(stream_, buffer_);
    }
    buffer_.clear();
}

void PrintSink::Flush() {
    Deliver();
    if (kind_ == Kind::Console) {
        if (log_ != nullptr) std::fflush(log_);
        if (!pipe_ && ZuGetPrintlevel() >= 1) std::fflush(stdout);
    } else if (stream_ != nullptr) {
        std::fflush(stream_);
    }
}

}  // namespace zu::stdlib
