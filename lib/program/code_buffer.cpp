// The code buffer: appending, growth and roll-back.
#include "program/code_buffer.h"

#include "program/symbols_report.h"

#include <algorithm>
#include <new>

namespace zu::program {

CodeBuffer& codeBuffer() {
    static CodeBuffer buffer;
    return buffer;
}

void CodeBuffer::open() {
    rollBack(0);
    if (static_cast<int>(code_.size()) >= kInitialCode) return;
    try {
        code_.resize(kInitialCode);
    } catch (const std::bad_alloc&) {
        failFatal(TableFault::CodeBufferFull, true);
    }
}

void CodeBuffer::rollBack(int n) {
    setSize(n);
    localNames_.dropFrom(n);
}

void CodeBuffer::close() {
    std::vector<ZuPCODE>().swap(code_);
    size_ = 0;
    localNames_.clear();
    ++changes_;
}

void CodeBuffer::reserve(int n) {
    const int room = static_cast<int>(code_.size()) - size_;
    if (n <= room) return;
    if (n > kMaxCode - size_) failFatal(TableFault::CodeBufferFull, false);
    const int grown = static_cast<int>(code_.size()) + std::max(kCodeGrowth, n - room);
    try {
        code_.resize(static_cast<std::size_t>(grown));
    } catch (const std::bad_alloc&) {
        failFatal(TableFault::CodeBufferFull, true);
    }
}

int CodeBuffer::append(std::int32_t op, std::int32_t arg) {
    reserve(1);
    code_[static_cast<std::size_t>(size_)] = {op, arg};
    ++changes_;
    return size_++;
}

void CodeBuffer::setSize(int n) {
    n = std::clamp(n, 0, static_cast<int>(code_.size()));
    std::fill(code_.begin() + n, code_.begin() + std::max(n, size_), ZuPCODE{0, 0});
    size_ = n;
    ++changes_;
}

}  // namespace zu::program
