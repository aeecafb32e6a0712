// The literal table: the constants that LIT loads, the names of source
// files for ELF and ELT, and the names of imported files.
//
// Entries are plain ZuVALUE records owned by the table; an index is the
// operand of LIT, ELF and ELT and what object files store.  Strings are
// shared by content and import names by name without regard to case; ints
// and doubles are never shared.
#pragma once

#include "zu.h"

#include <string_view>
#include <vector>

namespace zu::program {

inline constexpr int kInitialLiterals = 250;
inline constexpr int kLiteralGrowth = 250;  // at least this many per growth
inline constexpr int kMaxLiterals = 8'000'000;

// Import name entries (kind 12): w1.s the name (owned, malloc), w2.i the
// "linked" flag, w3.i the ZuGauss flag.
inline constexpr int kStringLiteral = ZU_STRING | ZU_FLAG_CON;

class LiteralTable {
public:
    LiteralTable() = default;
    LiteralTable(const LiteralTable&) = delete;
    LiteralTable& operator=(const LiteralTable&) = delete;
    ~LiteralTable() { close(); }

    // Allocates 250 cleared entries, or frees the values of an open table.
    void open();
    // Frees the values and the array.
    void close();
    bool isOpen() const { return !values_.empty(); }

    int count() const { return count_; }
    int capacity() const { return static_cast<int>(values_.size()); }
    ZuVALUE* values() { return values_.empty() ? nullptr : values_.data(); }
    ZuVALUE& operator[](int i) { return values_[static_cast<std::size_t>(i)]; }
    const ZuVALUE& operator[](int i) const { return values_[static_cast<std::size_t>(i)]; }

    int addInt(int value);
    int addDouble(double value);
    // A string constant with these bytes, shared with an equal one.
    int addString(std::string_view bytes);
    int findString(std::string_view bytes) const;
    // An import name; an entry of the same name (any case) is found again
    // and marked linked when this one is.
    int addImport(std::string_view name, bool linked, bool gauss);
    int findImport(std::string_view name) const;
    // Appends a value the table takes over (matrix and array constants).
    int add(const ZuVALUE& value);

    // Makes room for n more entries behind count(), growing by
    // max(250, needed); the object-file reader fills them and setCount().
    void reserve(int n);
    // Sets the number of entries in use: the values above a smaller count
    // are freed; a larger one must lie within the reserved room.
    void setCount(int n);
    // Frees the values of all literals and empties the table.
    void freeValues() { setCount(0); }

private:
    int push(const ZuVALUE& value);

    std::vector<ZuVALUE> values_;  // capacity entries, cleared past count_
    int count_ = 0;                // entries in use
};

// The process-wide table of the compiler and the run time.
LiteralTable& literalTable();

}  // namespace zu::program
