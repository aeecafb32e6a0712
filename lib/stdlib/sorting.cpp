// Sorting with missing values first, and sortc.  The order is that of a
// comb sort; a library sort gives the same result whenever the order of
// equal elements cannot be seen, which is all but one case.
#include <cstddef>
#include "stdlib/sorting.h"

#include <boost/sort/spreadsort/float_sort.hpp>

#include <algorithm>
#include <cmath>
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

}  // namespace

void SortVec(double* v, int n) {
    if (n < 2) return;
    if (BothSignedZeros(v, n)) {
        // The order of the two zeros is the comb sort's own.
        CombSort(n, [v](int i) -> double& { return v[i]; });
        return;
    }
    const int front = NaNsToFront(v, n);
    // A radix-based sort of the floating-point keys: several times
    // faster than comparison sorting on long vectors.
    boost::sort::spreadsort::float_sort(v + front, v + n);
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

// sortc(m): an int or a double unchanged; a matrix copied with each column
// sorted on its own.
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
