// The symbol table: declaration, lookup by range, growth and removal.
#include "program/symbols.h"

#include "program/symbols_report.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace zu::program {
namespace {

int g_symbolSize = kDefaultSymbolSize;

// Names are malloc'd so that any part of the system may free one.
char* copyName(std::string_view name) {
    auto* copy = static_cast<char*>(std::malloc(name.size() + 1));
    if (!copy) failFatal(TableFault::OutOfMemory, false);
    std::memcpy(copy, name.data(), name.size());
    copy[name.size()] = '\0';
    return copy;
}

// The first character decides most comparisons, before any length is
// taken: every declaration searches the whole table, so this is hot at
// start-up, when zustd.h declares the library.
bool hasName(const ZuNAMEDVALUE& record, std::string_view name) {
    const char* s = record.name;
    if (!s) return false;
    if (name.empty()) return s[0] == '\0';
    return s[0] == name[0] && std::strncmp(s, name.data(), name.size()) == 0 && s[name.size()] == '\0';
}

bool isFunctionKind(int kind) { return kind == ZU_FUNCTION || kind == ZU_INTFUNC; }

}  // namespace

void setSymbolSize(int n) { g_symbolSize = std::clamp(n, 0, kMaxSymbolSize); }
int symbolSize() { return g_symbolSize; }

SymbolTable& symbolTable() {
    static SymbolTable table;
    return table;
}

// ---------------------------------------------------------------------------
// Opening and closing

void SymbolTable::open() {
    truncate(0);
    const auto size = static_cast<std::size_t>(g_symbolSize + kSpareSymbols);
    try {
        std::vector<ZuNAMEDVALUE> fresh(size);
        records_.swap(fresh);
    } catch (const std::bad_alloc&) {
        failFatal(TableFault::SymbolTableFull, true);
    }
    inFunction_ = false;
    marks_ = {};
}

void SymbolTable::close() {
    truncate(0);
    std::vector<ZuNAMEDVALUE>().swap(records_);
    inFunction_ = false;
    marks_ = {};
}

int SymbolTable::indexOf(const void* record) const {
    if (records_.empty()) return -1;
    const auto first = reinterpret_cast<std::uintptr_t>(records_.data());
    const auto at = reinterpret_cast<std::uintptr_t>(record);
    if (at < first || (at - first) % sizeof(ZuNAMEDVALUE) != 0) return -1;
    const std::uintptr_t index = (at - first) / sizeof(ZuNAMEDVALUE);
    return index < static_cast<std::uintptr_t>(count_) ? static_cast<int>(index) : -1;
}

// ---------------------------------------------------------------------------
// Lookup

int SymbolTable::find(std::string_view name, int first, int end, bool skipFunctions) const {
    if (name.empty()) return -1;
    first = std::max(first, 0);
    for (int i = std::min(end, count_) - 1; i >= first; --i) {
        const ZuNAMEDVALUE& record = (*this)[i];
        if (skipFunctions && isFunctionKind(kindOf(record.val))) continue;
        if (hasName(record, name)) return i;
    }
    return -1;
}

int SymbolTable::findFirstOfKind(std::string_view name, int kind) const {
    if (name.empty()) return -1;
    for (int i = 0; i < count_; ++i)
        if (kindOf((*this)[i].val) == kind && hasName((*this)[i], name)) return i;
    return -1;
}

// ---------------------------------------------------------------------------
// Declaration

Declaration SymbolTable::declare(std::string_view name, int flags, int first) {
    const int found = find(name, first, count_);
    if (found < 0) return {append(name, flags), Declared::Added};

    ZuVALUE& old = (*this)[found].val;
    const bool newGlobal = flags & ZU_FLAG_GLO;
    const bool oldGlobal = old.t & ZU_FLAG_GLO;
    const bool anyClass = kindOf(flags) == ZU_CLASS || kindOf(old) == ZU_CLASS;
    bool duplicate = (!newGlobal && !oldGlobal) || (newGlobal && oldGlobal && anyClass);
    Declared outcome = Declared::Existing;
    if (!duplicate && !(flags & ZU_FLAG_EXT)) {
        if (old.t & ZU_FLAG_EXT) {
            old.t &= ~ZU_FLAG_EXT;
            outcome = Declared::Completed;
        } else {
            duplicate = true;
        }
    }
    if (duplicate) {
        reportFault(TableFault::DuplicateIdentifier, (*this)[found].name);
        outcome = Declared::Duplicate;
    }
    return {found, outcome};
}

int SymbolTable::append(std::string_view name, int flags) {
    if (count_ >= capacity()) failFatal(TableFault::SymbolTableFull, false);
    ZuNAMEDVALUE& record = (*this)[count_];
    record = {};
    record.name = copyName(name);
    record.val.t = flags;
    return count_++;
}

int SymbolTable::moveIn(ZuNAMEDVALUE& record) {
    if (count_ >= capacity()) failFatal(TableFault::SymbolTableFull, false);
    const int index = count_++;
    ZuNAMEDVALUE& moved = (*this)[index];
    moved = record;
    record = {};
    record.val.t = ZU_INT | ZU_FLAG_NUL;
    if (kindOf(moved.val) == ZU_CLASS) bindClassRecord(index);
    return index;
}

void SymbolTable::bindClassRecord(int index) { (*this)[index].val.w3.p = &(*this)[index]; }

// ---------------------------------------------------------------------------
// Growth and removal

void SymbolTable::ensureRoom() {
    if (capacity() - count_ >= kSymbolGrowth) return;
    // At the bound the table does not grow; append reports it when full.
    if (capacity() + kSymbolGrowth - kSpareSymbols > kMaxSymbolSize) return;
    growTo(capacity() + kSymbolGrowth);
}

void SymbolTable::growTo(int newCapacity) {
    const auto oldFirst = reinterpret_cast<std::uintptr_t>(records_.data());
    const auto oldEnd = oldFirst + records_.size() * sizeof(ZuNAMEDVALUE);
    try {
        records_.resize(static_cast<std::size_t>(newCapacity));
    } catch (const std::bad_alloc&) {
        failFatal(TableFault::SymbolTableFull, true);
    }
    // A class value points at its class record: its own for a class, the
    // class's for an object held by a global.  Rebase both into the new
    // array.
    for (int i = 0; i < count_; ++i) {
        ZuVALUE& v = (*this)[i].val;
        const auto target = reinterpret_cast<std::uintptr_t>(v.w3.p);
        if (kindOf(v) != ZU_CLASS || target < oldFirst || target >= oldEnd) continue;
        const std::uintptr_t offset = target - oldFirst;
        if (offset % sizeof(ZuNAMEDVALUE) == 0) v.w3.p = &records_[offset / sizeof(ZuNAMEDVALUE)];
    }
}

void SymbolTable::truncate(int mark) {
    mark = std::clamp(mark, 0, count_);
    for (int i = mark; i < count_; ++i) {
        std::free((*this)[i].name);
        (*this)[i] = {};
    }
    count_ = mark;
}

void SymbolTable::freeName(int index) {
    if (index < 0 || index >= count_) return;
    std::free((*this)[index].name);
    (*this)[index].name = nullptr;
}

// ---------------------------------------------------------------------------
// Function scope

void SymbolTable::beginFunction() {
    marks_ = {count_, count_, count_};
    inFunction_ = true;
}

void SymbolTable::beginLocals() { marks_.firstLocal = count_; }

void SymbolTable::endFunction() {
    if (!inFunction_) return;
    truncate(marks_.firstArgument);
    inFunction_ = false;
    marks_ = {};
}

int SymbolTable::findLocal(std::string_view name) const {
    return inFunction_ ? find(name, marks_.firstLocal, count_) : -1;
}

int SymbolTable::findArgument(std::string_view name) const {
    return inFunction_ ? find(name, marks_.firstArgument, marks_.firstLocal) : -1;
}

int SymbolTable::findVisibleGlobal(std::string_view name) const { return find(name, 0, visibleGlobalsEnd()); }

// ---------------------------------------------------------------------------
// Class members

bool SymbolTable::isClass(int index) const {
    return index >= 0 && index < count_ && kindOf((*this)[index].val) == ZU_CLASS;
}

int SymbolTable::findDataMember(int classIndex, std::string_view name) const {
    if (!isClass(classIndex) || name.empty()) return -1;
    const ZuVALUE& c = (*this)[classIndex].val;
    if (!c.w4.nv) return -1;
    for (int i = c.w1.i - 1; i >= 0; --i)
        if (hasName(c.w4.nv[i], name)) return i;
    return -1;
}

std::optional<MemberFunction> SymbolTable::findMemberFunction(int classIndex, std::string_view name) const {
    if (name.empty()) return std::nullopt;
    // A base chain read from an object file may loop; no chain is longer
    // than the table.
    for (int steps = 0; isClass(classIndex) && steps < count_; ++steps) {
        const ZuVALUE& c = (*this)[classIndex].val;
        for (int i = 0; c.w5.nv && c.w5.nv[i].name; ++i)
            if (hasName(c.w5.nv[i], name)) return MemberFunction{classIndex, i};
        classIndex = c.w2.i;
    }
    return std::nullopt;
}

bool SymbolTable::derivesFrom(int classIndex, int baseIndex) const {
    for (int steps = 0; isClass(classIndex) && steps < count_; ++steps) {
        if (classIndex == baseIndex) return true;
        classIndex = (*this)[classIndex].val.w2.i;
    }
    return false;
}

}  // namespace zu::program
