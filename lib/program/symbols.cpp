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

// What SymbolTable::findIndexed returns when the index must be rebuilt.
constexpr int kStaleIndex = -2;

int g_symbolSize = kDefaultSymbolSize;

// Names are malloc'd so that any part of the system may free one.
char* copyName(std::string_view name) {
    auto* copy = static_cast<char*>(std::malloc(name.size() + 1));
    if (!copy) failFatal(TableFault::OutOfMemory, false);
    std::memcpy(copy, name.data(), name.size());
    copy[name.size()] = '\0';
    return copy;
}

// A name as the table stores it: a C string, so it ends at the first NUL.
std::string_view storedForm(std::string_view name) { return name.substr(0, name.find('\0')); }

bool hasName(const ZuNAMEDVALUE& record, std::string_view name) {
    return record.name && std::string_view(record.name) == name;
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
    index_.clear();
    inFunction_ = false;
    marks_ = {};
}

void SymbolTable::close() {
    truncate(0);
    std::vector<ZuNAMEDVALUE>().swap(records_);
    index_ = {};
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
    name = storedForm(name);
    if (name.empty()) return -1;
    first = std::max(first, 0);
    end = std::min(end, count_);
    const int found = findIndexed(name, first, end, skipFunctions);
    if (found != kStaleIndex) return found;
    rebuildIndex();
    return findIndexed(name, first, end, skipFunctions);
}

// Walks the name's chain from the newest record down; kStaleIndex when a
// record on it no longer holds the name.
int SymbolTable::findIndexed(std::string_view name, int first, int end, bool skipFunctions) const {
    for (int i = index_.newest(name); i >= first; i = index_.older(i)) {
        if (i >= count_ || !hasName((*this)[i], name)) return kStaleIndex;
        if (i >= end) continue;
        if (skipFunctions && isFunctionKind(kindOf((*this)[i].val))) continue;
        return i;
    }
    return -1;
}

int SymbolTable::findFirstOfKind(std::string_view name, int kind) const {
    // find() rebuilds a stale index before the walk down to the oldest.
    if (find(name, 0, count_) < 0) return -1;
    name = storedForm(name);
    int oldest = -1;
    for (int i = index_.newest(name); i >= 0; i = index_.older(i))
        if (hasName((*this)[i], name) && kindOf((*this)[i].val) == kind) oldest = i;
    return oldest;
}

// ---------------------------------------------------------------------------
// The name index

void SymbolTable::fileName(int index) {
    const char* name = (*this)[index].name;
    if (!name || !*name) return;
    if (!index_.add(name, index)) rebuildIndex();
}

void SymbolTable::unfileName(int index) {
    const char* name = (*this)[index].name;
    if (name && *name) index_.remove(name, index);
}

void SymbolTable::rebuildIndex() const {
    ++rebuilds_;
    index_.clear();
    for (int i = 0; i < count_; ++i) {
        const char* name = (*this)[i].name;
        if (name && *name) (void)index_.add(name, i);
    }
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
    fileName(count_);
    return count_++;
}

int SymbolTable::insert(int position, std::string_view name, int flags) {
    position = std::clamp(position, 0, count_);
    const int last = append(name, flags);
    if (position == last) return last;
    for (int i = position; i <= last; ++i) unfileName(i);
    const auto first = records_.begin() + position;
    std::rotate(first, records_.begin() + last, records_.begin() + last + 1);
    for (int i = position; i <= last; ++i) fileName(i);
    return position;
}

int SymbolTable::moveIn(ZuNAMEDVALUE& record) {
    if (count_ >= capacity()) failFatal(TableFault::SymbolTableFull, false);
    // A record of this table gives up its name, which is filed anew below.
    if (const int from = indexOf(&record); from >= 0) unfileName(from);
    const int index = count_++;
    ZuNAMEDVALUE& moved = (*this)[index];
    moved = record;
    record = {};
    record.val.t = ZU_INT | ZU_FLAG_NUL;
    if (kindOf(moved.val) == ZU_CLASS) bindClassRecord(index);
    fileName(index);
    return index;
}

void SymbolTable::bindClassRecord(int index) { (*this)[index].val.w3.p = &(*this)[index]; }

// ---------------------------------------------------------------------------
// Growth and removal

void SymbolTable::ensureRoom(int wanted) {
    wanted = std::clamp(wanted, kSymbolGrowth, kMaxSymbolSize);
    if (capacity() - count_ >= wanted) return;
    // Whole steps of kSymbolGrowth, at least half the capacity: growing by
    // a fixed step made a program of n globals cost n^2 / step copies.
    const int needed = count_ + wanted - capacity();
    const int steps = std::max((needed + kSymbolGrowth - 1) / kSymbolGrowth, std::max(1, capacity() / 2 / kSymbolGrowth));
    // At the bound the table grows no further; append reports it when full.
    const int limit = kMaxSymbolSize + kSpareSymbols;
    const int target = std::min(capacity() + steps * kSymbolGrowth, limit - (limit - capacity()) % kSymbolGrowth);
    if (target > capacity()) growTo(target);
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
    // Newest first, so that each name leaves its chain from the front.
    for (int i = count_ - 1; i >= mark; --i) {
        unfileName(i);
        std::free((*this)[i].name);
        (*this)[i] = {};
    }
    count_ = mark;
}

void SymbolTable::freeName(int index) {
    if (index < 0 || index >= count_) return;
    unfileName(index);
    std::free((*this)[index].name);
    (*this)[index].name = nullptr;
}

void SymbolTable::rename(int index, std::string_view name) {
    if (index < 0 || index >= count_) return;
    char* copy = copyName(name);
    unfileName(index);
    std::free((*this)[index].name);
    (*this)[index].name = copy;
    fileName(index);
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
