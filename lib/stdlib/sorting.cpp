// Comb sort, missing values first, and sortc.
/// @family Sorting and sets
#include <cstddef>
#include "stdlib/sorting.h"

#include <cmath>
#include <utility>

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

}  // namespace

void SortVec(double* v, int n) {
    CombSort(n, [v](int i) -> double& { return v[i]; });
}

void SortMatCol(double** m, int r, int j) {
    CombSort(r, [m, j](int i) -> double& { return m[i][j]; });
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
