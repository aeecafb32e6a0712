// Matrix blocks, plain matrices and tables, and the copy and fill routines.
#include "value/matrix_storage.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "value/heap.h"
#include "value/value.h"
#include "zu.h"

using zu::value::ElementCount;
using zu::value::HeapAlloc;
using zu::value::HeapAllocWritten;
using zu::value::HeapCalloc;
using zu::value::HeapFree;

namespace {

// Both dimensions are usable for an element loop.
bool Loopable(double** m, int r, int c) { return m != nullptr && r > 0 && c > 0; }

}  // namespace

// ---------------------------------------------------------------------------
// Blocks
// ---------------------------------------------------------------------------

extern "C" double** MatAllocBlock(int r, int c) {
    int elements = 0;
    if (r <= 0 || !ElementCount(r, c, &elements)) return nullptr;
    auto** table = static_cast<double**>(HeapAllocWritten((static_cast<std::size_t>(r) + 1) * sizeof(double*)));
    if (table == nullptr) return nullptr;
    if (c == 0) {
        for (int k = 0; k <= r; ++k) table[k] = nullptr;
        return table + 1;
    }
    auto* data = static_cast<double*>(HeapAllocWritten(static_cast<std::size_t>(elements) * sizeof(double)));
    if (data == nullptr) {
        HeapFree(table);
        return nullptr;
    }
    table[0] = data;
    for (int k = 0; k < r; ++k) table[k + 1] = data + static_cast<std::size_t>(k) * c;
    return table + 1;
}

extern "C" void MatFreeBlock(double** m) {
    if (m == nullptr) return;
    HeapFree(zu::value::BlockData(m));
    HeapFree(m - 1);
}

bool zu::value::RowsAdjoin(double* const* m, int r, int c) {
    if (m == nullptr || m[0] == nullptr) return false;
    // Addresses as integers, so that rows that do not adjoin compute no
    // pointer outside a block; each chunk is tested without an exit inside,
    // so that the loop vectorises (a column of a million rows is checked in
    // about the time it takes to read its row table).
    const auto first = reinterpret_cast<std::uintptr_t>(m[0]);
    const auto rowBytes = static_cast<std::uintptr_t>(c) * sizeof(double);
    constexpr int kChunk = 64;
    for (int i0 = 1; i0 < r; i0 += kChunk) {
        const int i1 = r - i0 < kChunk ? r : i0 + kChunk;
        std::uintptr_t differ = 0;
        for (int i = i0; i < i1; ++i)
            differ |= reinterpret_cast<std::uintptr_t>(m[i]) ^ (first + static_cast<std::uintptr_t>(i) * rowBytes);
        if (differ != 0) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Plain tables, plain matrices and strings
// ---------------------------------------------------------------------------

extern "C" void** TabAllocPlain(int count, int n, int size) {
    int rowBytes = 0;
    if (count <= 0 || !ElementCount(n, size, &rowBytes)) return nullptr;
    auto** table = static_cast<void**>(HeapCalloc(static_cast<std::size_t>(count), sizeof(void*)));
    if (table == nullptr || n == 0) return table;
    for (int k = 0; k < count; ++k) {
        table[k] = HeapAlloc(static_cast<std::size_t>(rowBytes));
        if (table[k] == nullptr) {
            TabFreePlain(table, k, n);
            return nullptr;
        }
    }
    return table;
}

extern "C" void TabFreePlain(void** table, int count, int n) {
    if (table == nullptr) return;
    if (n != 0) {
        for (int k = 0; k < count; ++k) HeapFree(table[k]);
    }
    HeapFree(table);
}

extern "C" double** MatAllocPlain(int r, int c) {
    int elements = 0;
    if (!ElementCount(r, c, &elements)) return nullptr;
    return reinterpret_cast<double**>(TabAllocPlain(r, c, static_cast<int>(sizeof(double))));
}

extern "C" void MatFreePlain(double** m, int r, int c) { TabFreePlain(reinterpret_cast<void**>(m), r, c); }

extern "C" char* StrDupPlain(const char* s) {
    if (s == nullptr) return nullptr;
    const std::size_t n = std::strlen(s) + 1;
    auto* copy = static_cast<char*>(HeapAlloc(n));
    if (copy != nullptr) std::memcpy(copy, s, n);
    return copy;
}

// ---------------------------------------------------------------------------
// Copies
// ---------------------------------------------------------------------------

// Row by row, so that plain matrices (rows allocated one by one) copy as
// well as blocks.
extern "C" double** MatCopy(double** dst, double** src, int r, int c) {
    if (dst == nullptr || src == nullptr) return nullptr;
    if (r <= 0 || c <= 0) return dst;
    for (int i = 0; i < r; ++i) {
        if (dst[i] != src[i]) std::memmove(dst[i], src[i], static_cast<std::size_t>(c) * sizeof(double));
    }
    return dst;
}

extern "C" double** MatCpy(double** dst, double** src, int r, int c) { return MatCopy(dst, src, r, c); }

extern "C" double** MatDup(double** m, int r, int c) {
    if (m == nullptr) return nullptr;
    double** copy = MatAllocBlock(r, c);
    return copy == nullptr ? nullptr : MatCopy(copy, m, r, c);
}

extern "C" double** CMatDup(double** m, int r, int c) {
    if (m == nullptr) return nullptr;
    double** copy = CMatAlloc(r, c);
    return copy == nullptr ? nullptr : MatCopy(copy, m, r, c);
}

extern "C" double* VecDup(const double* v, int n) {
    if (v == nullptr || n <= 0 || static_cast<std::size_t>(n) > SIZE_MAX / sizeof(double)) return nullptr;
    auto* copy = static_cast<double*>(HeapAlloc(static_cast<std::size_t>(n) * sizeof(double)));
    if (copy != nullptr) std::memcpy(copy, v, static_cast<std::size_t>(n) * sizeof(double));
    return copy;
}

// The vector of the four routines below holds r * c doubles, taken or
// written in row order (Vecr) or column order (Vecc).
extern "C" void MatCopyVecr(double** m, const double* v, int r, int c) {
    if (v == nullptr || !Loopable(m, r, c)) return;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) m[i][j] = v[static_cast<std::size_t>(i) * c + j];
}

extern "C" void MatCopyVecc(double** m, const double* v, int r, int c) {
    if (v == nullptr || !Loopable(m, r, c)) return;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) m[i][j] = v[static_cast<std::size_t>(j) * r + i];
}

extern "C" void VecrCopyMat(double* v, double** m, int r, int c) {
    if (v == nullptr || !Loopable(m, r, c)) return;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) v[static_cast<std::size_t>(i) * c + j] = m[i][j];
}

extern "C" void VeccCopyMat(double* v, double** m, int r, int c) {
    if (v == nullptr || !Loopable(m, r, c)) return;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) v[static_cast<std::size_t>(j) * r + i] = m[i][j];
}

// ---------------------------------------------------------------------------
// Elements and fills
// ---------------------------------------------------------------------------

extern "C" void MatSetAt(double** m, double x, int i, int j) {
    if (m != nullptr) m[i][j] = x;
}

extern "C" double MatGetAt(double** m, int i, int j) {
    return m != nullptr ? m[i][j] : std::numeric_limits<double>::quiet_NaN();
}

extern "C" double** MatI(double** m, int n) {
    if (!Loopable(m, n, n)) return m;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) m[i][j] = i == j ? 1.0 : 0.0;
    return m;
}

extern "C" double** MatZero(double** m, int r, int c) {
    if (!Loopable(m, r, c)) return m;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) m[i][j] = 0.0;
    return m;
}

extern "C" double** MatNaN(double** m, int r, int c) {
    if (!Loopable(m, r, c)) return m;
    double nan = 0.0;
    SetNaN(&nan);
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) m[i][j] = nan;
    return m;
}

extern "C" double SetNaN(double* d) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    if (d != nullptr) *d = nan;
    return nan;
}

extern "C" int FIsNaN(double d) { return std::isnan(d) ? 1 : 0; }
