// The symbol table: globals, and behind them the arguments and locals of
// the function being compiled, in declaration order.
//
// The same array is the run-time global table: a global's index is the
// operand of LOD, STO and NEW and what object files store.  Records move
// when the table grows, so hold indices, not pointers, across anything
// that may declare a name.
#pragma once

#include "program/symbol_index.h"
#include "zu.h"

#include <optional>
#include <string_view>
#include <vector>

namespace zu::program {

inline constexpr int kDefaultSymbolSize = 2000;
inline constexpr int kSpareSymbols = 10;   // room beyond the symbol size
// The table grows when fewer than kSymbolGrowth records are free, by that
// many or by half its capacity, whichever is more (rounded to whole
// steps), so declaring n globals costs amortised constant time each.
inline constexpr int kSymbolGrowth = 500;
// Upper bound of the symbol size and of growth: keeps a huge -s value or a
// runaway program from allocating without bound.
inline constexpr int kMaxSymbolSize = 1'000'000;

// The symbol size used by the next open(); clamped to 0..kMaxSymbolSize.
void setSymbolSize(int n);
int symbolSize();

constexpr int kindOf(int typeword) { return typeword & ZU_TYPE_MASK; }
constexpr int kindOf(const ZuVALUE& v) { return kindOf(v.t); }

// What the compiler stores in function and class values.
//   function (6): w1.i signed argument count (-k: k fixed, then "..."),
//                 w2.i code address, w3.s signature text (owned, malloc).
//   class (7):    w1.i number of data members, w2.i base class index (-1
//                 none), w3.p the class's own record, w4.nv data members
//                 (w1.i entries), w5.nv member functions, ended by a record
//                 whose name is null.
inline int& functionAddress(ZuVALUE& f) { return f.w2.i; }
inline int& baseClassIndex(ZuVALUE& c) { return c.w2.i; }
inline const ZuNAMEDVALUE* classRecord(const ZuVALUE& c) { return static_cast<const ZuNAMEDVALUE*>(c.w3.p); }

// Positions in the table kept while a function is compiled.
struct FunctionMarks {
    int globalsEnd = 0;     // globals visible in the function end here
    int firstArgument = 0;  // the function's first argument
    int firstLocal = 0;     // the function's first local
};

// What declare() did.
enum class Declared {
    Added,      // a new record was appended
    Completed,  // a definition completed an extern declaration
    Existing,   // an extern declaration of an existing name
    Duplicate,  // "duplicate identifier" was reported; the old record
};

struct Declaration {
    int index;  // the record that holds the name
    Declared outcome;
};

// A member function found along a class's base chain.
struct MemberFunction {
    int classIndex;  // the class whose table holds it
    int position;    // its index in that member function table
};

class SymbolTable {
public:
    SymbolTable() = default;
    SymbolTable(const SymbolTable&) = delete;
    SymbolTable& operator=(const SymbolTable&) = delete;
    ~SymbolTable() { close(); }

    // Allocates symbolSize() + 10 cleared records, or clears the open
    // table (freeing its names) and resizes it.
    void open();
    // Frees the names and the array.  The values are not touched: the
    // run-time clean-up frees them first.
    void close();
    bool isOpen() const { return !records_.empty(); }

    int count() const { return count_; }
    int capacity() const { return static_cast<int>(records_.size()); }
    ZuNAMEDVALUE* records() { return records_.empty() ? nullptr : records_.data(); }
    ZuNAMEDVALUE& operator[](int i) { return records_[static_cast<std::size_t>(i)]; }
    const ZuNAMEDVALUE& operator[](int i) const { return records_[static_cast<std::size_t>(i)]; }
    // The index of a record in use, or -1 for any other pointer.
    int indexOf(const void* record) const;

    // Searches the records first .. end-1 from the last down; a later
    // record hides an earlier one of the same name.  With skipFunctions,
    // functions and library functions are passed over.  An empty name
    // finds nothing.  -1 when absent.
    int find(std::string_view name, int first, int end, bool skipFunctions = false) const;
    // The first record of the kind with that name, searching from the start.
    int findFirstOfKind(std::string_view name, int kind) const;

    // Declares a name in the range first .. count-1 (0 for a global):
    // appends it when the range does not hold it; otherwise an extern
    // declaration yields the existing record, a definition completes an
    // extern one, and everything else is a duplicate.  flags is the new
    // record's type word.
    Declaration declare(std::string_view name, int flags, int first);
    // Appends a record with a copy of the name, a cleared value and the
    // type word; "symbol table full" (fatal) at capacity.
    int append(std::string_view name, int flags);
    // Inserts a record at `position` (clamped to the table), moving the
    // records from there on up by one; fatal when full.  Hold no index of
    // a moved record across it.
    int insert(int position, std::string_view name, int flags);
    // Appends a record that takes over the name and value of the given
    // one, which is left nameless, int without value.  Fatal when full.
    int moveIn(ZuNAMEDVALUE& record);

    // Makes sure `wanted` records (at least kSymbolGrowth) are free,
    // growing the table when fewer are, up to kMaxSymbolSize; class
    // pointers into the table follow the move.
    void ensureRoom(int wanted = kSymbolGrowth);
    // Frees the names of the records from mark on; the table ends at mark.
    void truncate(int mark);
    // Frees one record's name: the record stays, removed from lookups.
    void freeName(int index);
    // Gives a record a copy of another name in place of its own.
    void rename(int index, std::string_view name);
    // Points a class record at itself.
    void bindClassRecord(int index);

    // Function scope: arguments and then locals follow the globals and
    // are removed at the end.
    void beginFunction();
    void beginLocals();
    void endFunction();
    bool inFunction() const { return inFunction_; }
    FunctionMarks& marks() { return marks_; }
    int visibleGlobalsEnd() const { return inFunction_ ? marks_.globalsEnd : count_; }
    int findLocal(std::string_view name) const;
    int findArgument(std::string_view name) const;
    int findVisibleGlobal(std::string_view name) const;

    // Class members: data members newest first; member functions in the
    // class and then along its base chain; the derivation test.
    int findDataMember(int classIndex, std::string_view name) const;
    std::optional<MemberFunction> findMemberFunction(int classIndex, std::string_view name) const;
    bool derivesFrom(int classIndex, int baseIndex) const;

private:
    bool isClass(int index) const;
    void growTo(int newCapacity);
    // Keeping the index in step with the records' names.
    void fileName(int index);
    void unfileName(int index);
    void rebuildIndex() const;
    int findIndexed(std::string_view name, int first, int end, bool skipFunctions) const;

public:
    // How often a lookup found the index stale and rebuilt it: only a name
    // changed behind the table's back should cause that.
    int indexRebuilds() const { return rebuilds_; }

private:

    std::vector<ZuNAMEDVALUE> records_;  // capacity records, all cleared past count_
    // The named records in use, by name; rebuilt by a lookup that finds it
    // stale, hence mutable (with its count).
    mutable NameIndex index_;
    mutable int rebuilds_ = 0;  // see indexRebuilds()
    int count_ = 0;                      // records in use
    FunctionMarks marks_;                // valid while inFunction_
    bool inFunction_ = false;            // a function is being compiled
};

// The process-wide table of the compiler and the run time.
SymbolTable& symbolTable();

}  // namespace zu::program
