// Sorting with missing values first, and sortc.  The order is that of a
// comb sort; a library sort gives the same result whenever the order of
// equal elements cannot be seen, which is all but one case.
/// @family Sorting and sets
#include <cstddef>
#include "stdlib/sorting.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::DoubleOf;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::stdlib {
namespace {

// The next gap: the gap divided by 1.3 in single precision and truncated;
// 0 becomes 1, and 9 or 10 become 11.
int NextGap(int gap) {
    const int next = static_cast<int>(static_cast<float>(gap) / 1.3f);
    if (next == 0) return 1;
    if (next == 9 || next == 10) return 11;
    return next;
}

// Sorts the n elements that `at(i)` refers to: NaNs moved to the front by
// exchanges, then the rest by comb sort.
template <typename At>
void CombSort(int n, At at) {
    int front = 0;
    for (int i = 0; i < n; ++i) {
        if (std::isnan(at(i))) std::swap(at(i), at(front++));
    }
    int gap = n;
    bool exchanged = false;
    do {
        gap = NextGap(gap);
        exchanged = false;
        for (int i = front; i < n - gap; ++i) {
            if (at(i) > at(i + gap)) {
                std::swap(at(i), at(i + gap));
                exchanged = true;
            }
        }
    } while (exchanged || gap >= 2);
}

// Moves the NaNs of v[0..n-1] to the front as the comb sort does, by
// exchanges from the start; returns their count.
int NaNsToFront(double* v, int n) {
    int front = 0;
    for (int i = 0; i < n; ++i) {
        if (std::isnan(v[i])) std::swap(v[i], v[front++]);
    }
    return front;
}

// True when v holds both a +0 and a -0.  These are the only distinct
// doubles that compare equal once NaNs are aside, so without both any
// correct sort leaves the very bits the comb sort leaves.
bool BothSignedZeros(const double* v, int n) {
    bool positive = false, negative = false;
    for (int i = 0; i < n; ++i) {
        if (v[i] == 0) (std::signbit(v[i]) ? negative : positive) = true;
    }
    return positive && negative;
}

// The key of a double whose unsigned order is the double's order (NaNs
// aside): the sign bit set for positive values, all bits flipped for
// negative ones.
std::uint64_t KeyOf(double x) {
    const auto u = std::bit_cast<std::uint64_t>(x);
    return (u >> 63) != 0 ? ~u : u | (std::uint64_t{1} << 63);
}

double ValueOf(std::uint64_t key) {
    return std::bit_cast<double>((key >> 63) != 0 ? key & ~(std::uint64_t{1} << 63) : ~key);
}

// Least-significant-digit radix sort of n doubles (no NaNs) by their keys,
// 11 bits a pass, skipping the passes in which every key has the same
// digit.  False when the scratch cannot be had.
bool RadixSort(double* v, std::size_t n) {
    constexpr int kBits = 11, kPasses = 6;
    constexpr std::size_t kBuckets = std::size_t{1} << kBits;
    std::vector<std::uint64_t> keys, other;
    std::vector<std::size_t> counts;
    try {
        keys.resize(n);
        other.resize(n);
        counts.assign(kPasses * kBuckets, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t k = 0; k < n; ++k) {
        keys[k] = KeyOf(v[k]);
        for (int pass = 0; pass < kPasses; ++pass)
            ++counts[pass * kBuckets + ((keys[k] >> (pass * kBits)) & (kBuckets - 1))];
    }
    for (int pass = 0; pass < kPasses; ++pass) {
        std::size_t* count = counts.data() + pass * kBuckets;
        const int shift = pass * kBits;
        if (count[(keys[0] >> shift) & (kBuckets - 1)] == n) continue;  // one digit throughout
        std::size_t start = 0;
        for (std::size_t b = 0; b < kBuckets; ++b) start += std::exchange(count[b], start);
        for (std::size_t k = 0; k < n; ++k) other[count[(keys[k] >> shift) & (kBuckets - 1)]++] = keys[k];
        keys.swap(other);
    }
    for (std::size_t k = 0; k < n; ++k) v[k] = ValueOf(keys[k]);
    return true;
}

}  // namespace

void SortVec(double* v, int n) {
    if (n < 2) return;
    if (BothSignedZeros(v, n)) {
        // The order of the two zeros is the comb sort's own.
        CombSort(n, [v](int i) -> double& { return v[i]; });
        return;
    }
    const int front = NaNsToFront(v, n);
    // Long vectors by their keys, several times faster than comparisons.
    constexpr int kRadixLength = 4096;
    if (n - front >= kRadixLength && RadixSort(v + front, static_cast<std::size_t>(n - front))) return;
    std::sort(v + front, v + n);
}

void SortMatCol(double** m, int r, int j) {
    std::vector<double> column;
    try {
        column.resize(static_cast<std::size_t>(r > 0 ? r : 0));
    } catch (const std::bad_alloc&) {
        // No scratch: sort the column where it is.
        CombSort(r, [m, j](int i) -> double& { return m[i][j]; });
        return;
    }
    for (int i = 0; i < r; ++i) column[static_cast<std::size_t>(i)] = m[i][j];
    SortVec(column.data(), r);
    for (int i = 0; i < r; ++i) m[i][j] = column[static_cast<std::size_t>(i)];
}

/// sortc(m)
/// A copy of `m` with each column sorted on its own in ascending order, missing values first;
/// an int or a double is returned unchanged.
/// Example:
///     print(sortc(<3,1;1,.NaN;2,0>));
void FnSortc(ZuVALUE* rtn, ZuVALUE* pv, int) {
    const int code = value::TypeCode(pv);
    if (!value::IsNul(pv) && code == ZU_INT) {
        ZuValSetInt(rtn, Rows(pv));
        return;
    }
    if (!value::IsNul(pv) && code == ZU_DOUBLE) {
        ZuValSetDouble(rtn, DoubleOf(pv));
        return;
    }
    if (ZuLibCheckType(ZU_MATRIX, pv, 0, 0) == 0) return;
    const int r = Rows(pv), c = Columns(pv);
    ZuLibValMatDup(rtn, MatrixData(pv), r, c);
    if (!value::IsMatrix(rtn) || MatrixData(rtn) == nullptr) return;
    if (c == 1) {
        SortVec(MatrixData(rtn)[0], r);  // one column: the elements lie in one block
        return;
    }
    for (int j = 0; j < c; ++j) SortMatCol(MatrixData(rtn), r, j);
}

}  // namespace zu::stdlib
