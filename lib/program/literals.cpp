// The literal table: adding, sharing, growth and release.
#include "program/literals.h"

#include "program/symbols_report.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace zu::program {
namespace {

// The bytes and a terminator in a malloc'd block, as ZuFreeValue frees it.
char* copyBytes(std::string_view bytes) {
    if (bytes.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max()))
        failFatal(TableFault::ConstantBufferFull, false);
    auto* copy = static_cast<char*>(std::malloc(bytes.size() + 1));
    if (!copy) failFatal(TableFault::OutOfMemory, false);
    std::memcpy(copy, bytes.data(), bytes.size());
    copy[bytes.size()] = '\0';
    return copy;
}

std::string_view stringOf(const ZuVALUE& v) {
    if (!v.w2.s || v.w1.i <= 0) return {};
    return {v.w2.s, static_cast<std::size_t>(v.w1.i)};
}

bool equalNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

LiteralTable& literalTable() {
    static LiteralTable table;
    return table;
}

void LiteralTable::open() {
    setCount(0);
    if (capacity() >= kInitialLiterals) return;
    try {
        values_.resize(kInitialLiterals);
    } catch (const std::bad_alloc&) {
        failFatal(TableFault::ConstantBufferFull, true);
    }
}

void LiteralTable::close() {
    setCount(0);
    std::vector<ZuVALUE>().swap(values_);
}

void LiteralTable::reserve(int n) {
    if (n <= capacity() - count_) return;
    if (n > kMaxLiterals - count_) failFatal(TableFault::ConstantBufferFull, false);
    const int needed = n - (capacity() - count_);
    const int grown = capacity() + std::max(kLiteralGrowth, needed);
    try {
        values_.resize(static_cast<std::size_t>(grown));
    } catch (const std::bad_alloc&) {
        failFatal(TableFault::ConstantBufferFull, true);
    }
}

void LiteralTable::setCount(int n) {
    n = std::clamp(n, 0, capacity());
    for (int i = n; i < count_; ++i) ZuFreeValue(&(*this)[i]);
    count_ = n;
}

int LiteralTable::push(const ZuVALUE& value) {
    reserve(1);
    (*this)[count_] = value;
    return count_++;
}

int LiteralTable::add(const ZuVALUE& value) { return push(value); }

int LiteralTable::addInt(int value) {
    ZuVALUE v{};
    v.t = ZU_INT;
    v.w1.i = value;
    return push(v);
}

int LiteralTable::addDouble(double value) {
    ZuVALUE v{};
    v.t = ZU_DOUBLE;
    v.w1.d = value;
    return push(v);
}

int LiteralTable::findString(std::string_view bytes) const {
    for (int i = 0; i < count_; ++i) {
        const ZuVALUE& v = (*this)[i];
        if ((v.t & ZU_TYPE_MASK) == ZU_STRING && stringOf(v) == bytes) return i;
    }
    return -1;
}

int LiteralTable::addString(std::string_view bytes) {
    if (const int found = findString(bytes); found >= 0) return found;
    reserve(1);  // before the copy, so that a full table leaks nothing
    ZuVALUE v{};
    v.t = kStringLiteral;
    v.w1.i = static_cast<int>(bytes.size());
    v.w2.s = bytes.empty() ? nullptr : copyBytes(bytes);
    return push(v);
}

int LiteralTable::findImport(std::string_view name) const {
    for (int i = 0; i < count_; ++i) {
        const ZuVALUE& v = (*this)[i];
        if (v.t == ZU_IMPORTNAME && v.w1.s && equalNoCase(v.w1.s, name)) return i;
    }
    return -1;
}

int LiteralTable::addImport(std::string_view name, bool linked, bool gauss) {
    if (const int found = findImport(name); found >= 0) {
        if (linked) (*this)[found].w2.i = 1;
        return found;
    }
    reserve(1);
    ZuVALUE v{};
    v.t = ZU_IMPORTNAME;
    v.w1.s = copyBytes(name);
    v.w2.i = linked ? 1 : 0;
    v.w3.i = gauss ? 1 : 0;
    return push(v);
}

}  // namespace zu::program
