// The code buffer: the one instruction array of the whole program.
//
// The parser's emitter appends to it (and applies its rewrites first),
// object files are read in behind the existing code, and the interpreter
// runs it in place.  A position is the code address of jumps and calls.
//
// Every access that can change the code counts as a change: the
// interpreter keeps a translation of the code (its dispatch targets) and
// rebuilds it when the count has moved.  A writer therefore takes the
// pointer or the reference anew for each change rather than keeping one.
#pragma once

#include "program/local_names.h"
#include "zu.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zu::program {

inline constexpr int kInitialCode = 1250;
inline constexpr int kCodeGrowth = 5000;     // at least this many per growth
inline constexpr int kMaxCode = 32'000'000;  // instructions

class CodeBuffer {
public:
    CodeBuffer() = default;
    CodeBuffer(const CodeBuffer&) = delete;
    CodeBuffer& operator=(const CodeBuffer&) = delete;

    // Allocates room for 1250 instructions, or empties an open buffer.
    void open();
    void close();
    bool isOpen() const { return !code_.empty(); }

    int size() const { return size_; }
    ZuPCODE* data() {
        ++changes_;
        return code_.empty() ? nullptr : code_.data();
    }
    const ZuPCODE* constData() const { return code_.empty() ? nullptr : code_.data(); }
    ZuPCODE& operator[](int i) {
        ++changes_;
        return code_[static_cast<std::size_t>(i)];
    }
    const ZuPCODE& operator[](int i) const { return code_[static_cast<std::size_t>(i)]; }
    std::span<const ZuPCODE> code() const { return {code_.data(), static_cast<std::size_t>(size_)}; }

    // Appends an instruction and returns its position; "code buffer full"
    // (fatal) when the buffer cannot grow.
    int append(std::int32_t op, std::int32_t arg);
    // Makes room for n more instructions, growing by max(5000, needed).
    void reserve(int n);
    // Sets the number of instructions: drops those above a smaller size
    // (rolling back), or takes reserved room that has been filled in.
    void setSize(int n);
    // Drops the code from n up, with what the compiler recorded about it:
    // the roll-back of a failed compile or of a typed line.
    void rollBack(int n);

    // The names of the locals declared by the code, for run-time errors.
    LocalNames& localNames() { return localNames_; }
    const LocalNames& localNames() const { return localNames_; }

    // Moves on with every access that may have changed the code.
    std::uint64_t changes() const { return changes_; }

private:
    std::vector<ZuPCODE> code_;  // capacity instructions, cleared past size_
    int size_ = 0;               // instructions in use
    std::uint64_t changes_ = 0;
    LocalNames localNames_;
};

// The process-wide buffer of the compiler and the run time.
CodeBuffer& codeBuffer();

}  // namespace zu::program
