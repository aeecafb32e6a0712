// Reversing, sorting rows or columns by keys, sorting permutations, the
// indices of extremes and of chosen elements, counts in intervals, and the
// sets of distinct values.  Every ordering puts missing values first and
// keeps equal keys in their original order; indices count from 0.
/// @family Sorting and sets
#include <cstddef>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "stdlib/argument_faults.h"
#include "stdlib/routines.h"
#include "stdlib/sorting.h"
#include "value/cast.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::DoubleOf;
using zu::value::ItemCount;
using zu::value::Items;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::stdlib {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Missing values first, then ascending.
bool Precedes(double a, double b) {
    if (std::isnan(a)) return !std::isnan(b);
    return !std::isnan(b) && a < b;
}

bool SameValue(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// The elements of a matrix, column after column (byColumns) or row after
// row.
std::vector<double> Elements(const ZuVALUE* v, bool byColumns) {
    const int r = Rows(v), c = Columns(v);
    std::vector<double> out;
    if (r > 0 && c > 0) out.reserve(static_cast<std::size_t>(r) * static_cast<std::size_t>(c));
    for (int a = 0; a < (byColumns ? c : r); ++a) {
        for (int b = 0; b < (byColumns ? r : c); ++b)
            out.push_back(byColumns ? MatrixData(v)[b][a] : MatrixData(v)[a][b]);
    }
    return out;
}

// A new r x c matrix from values in row order; false when nothing was
// stored.
bool StoreRows(ZuVALUE* rtn, int r, int c, const std::vector<double>& values) {
    ZuLibValMatMalloc(rtn, r, c);
    if (!value::IsMatrix(rtn)) return false;
    for (std::size_t k = 0; k < values.size(); ++k) MatrixData(rtn)[k / c][k % c] = values[k];
    return true;
}

// The indices of argument k (rows or columns of a matrix with `limit`
// of them), truncated like int arguments.
bool KeyIndices(ZuVALUE* pv, int k, int limit, bool rows, std::vector<int>* out) {
    const char* single = rows ? "row" : "column";
    const char* plural = rows ? "rows" : "columns";
    if (!MatrixArg(pv, k)) return false;
    for (double x : Elements(&pv[k], false)) {
        int index = 0;
        if (!value::DoubleToInt(x, &index) || index < 0 || index >= limit) {
            char given[32];
            std::snprintf(given, sizeof given, "%.10g", x);
            const std::string lines = std::to_string(limit) + " " + (limit == 1 ? single : plural);
            const std::string text = std::isnan(x) ? ".NaN" : given;
            return ArgumentFault(k, "index " + text + " out of range for " + lines);
        }
        out->push_back(index);
    }
    return true;
}

// The stable permutation of 0..n-1 that orders `key(i)` lexicographically
// over the key lines listed.
template <typename Key>
std::vector<int> SortingPermutation(int n, const std::vector<int>& keys, Key key) {
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (int k : keys) {
            const double x = key(a, k), y = key(b, k);
            if (Precedes(x, y)) return true;
            if (Precedes(y, x)) return false;
        }
        return false;
    });
    return order;
}

// sortbyc and sortbyr: rows (or columns) of m rearranged by the keys.
void SortBy(ZuVALUE* rtn, ZuVALUE* pv, bool rows) {
    if (!MatrixArg(pv, 0)) return;
    const ZuVALUE* m = &pv[0];
    const int r = Rows(m), c = Columns(m);
    std::vector<int> keys;
    if (!KeyIndices(pv, 1, rows ? c : r, !rows, &keys)) return;
    double** x = MatrixData(m);
    const std::vector<int> order = rows ? SortingPermutation(r, keys, [x](int i, int k) { return x[i][k]; })
                                        : SortingPermutation(c, keys, [x](int j, int k) { return x[k][j]; });
    ZuLibValMatMalloc(rtn, r, c);
    if (!value::IsMatrix(rtn)) return;
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j) {
            const std::size_t k = static_cast<std::size_t>(rows ? i : j);
            MatrixData(rtn)[i][j] = rows ? x[order[k]][j] : x[i][order[k]];
        }
    }
}

void Reverse(ZuVALUE* rtn, ZuVALUE* pv, bool columns) {
    if (!MatrixArg(pv, 0)) return;
    const int r = Rows(pv), c = Columns(pv);
    ZuLibValMatMalloc(rtn, r, c);
    if (!value::IsMatrix(rtn)) return;
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j)
            MatrixData(rtn)[i][j] = columns ? MatrixData(pv)[r - 1 - i][j] : MatrixData(pv)[i][c - 1 - j];
    }
}

// The row of the extreme element of each column that is not missing, the
// first one on ties; NaN for a column without such an element.
template <bool Largest>
void ExtremeIndex(ZuVALUE* rtn, ZuVALUE* pv) {
    if (!MatrixArg(pv, 0)) return;
    const int r = Rows(pv), c = Columns(pv);
    ZuLibValMatMalloc(rtn, 1, c);
    if (!value::IsMatrix(rtn)) return;
    for (int j = 0; j < c; ++j) {
        int best = -1;
        for (int i = 0; i < r; ++i) {
            const double x = MatrixData(pv)[i][j];
            if (std::isnan(x)) continue;
            if (best < 0 || (Largest ? x > MatrixData(pv)[best][j] : x < MatrixData(pv)[best][j])) best = i;
        }
        MatrixData(rtn)[0][j] = best < 0 ? kNaN : best;
    }
}

// The indices (in the element order given) of the elements that are
// non-zero, or with a value set, that equal one of its values.
void ElementIndices(ZuVALUE* rtn, ZuVALUE* pv, int cArg, bool byColumns) {
    if (cArg > 2) {
        ZuLibArgError(2);
        return;
    }
    if (!MatrixArg(pv, 0) || (cArg == 2 && !MatrixArg(pv, 1))) return;
    std::vector<double> values = cArg == 2 ? Elements(&pv[1], false) : std::vector<double>{};
    std::sort(values.begin(), values.end(), Precedes);
    const auto chosen = [&](double x) {
        return cArg < 2 ? x != 0.0 : std::binary_search(values.begin(), values.end(), x, Precedes);
    };
    std::vector<double> found;
    const std::vector<double> elements = Elements(&pv[0], byColumns);
    for (std::size_t k = 0; k < elements.size(); ++k) {
        if (chosen(elements[k])) found.push_back(static_cast<double>(k));
    }
    StoreRows(rtn, static_cast<int>(found.size()), 1, found);
}

// The bounds of countc and countr, sorted; false after a report.
bool Bounds(ZuVALUE* pv, std::vector<double>* bounds) {
    if (!MatrixArg(pv, 1)) return false;
    *bounds = Elements(&pv[1], false);
    if (std::any_of(bounds->begin(), bounds->end(), [](double b) { return std::isnan(b); })) {
        return ArgumentFault(1, "missing value among the bounds");
    }
    std::sort(bounds->begin(), bounds->end());
    return true;
}

// The interval of x among the sorted bounds b: 0 for x <= b[0], k for
// b[k-1] < x <= b[k], the bound count above the last.
int Interval(const std::vector<double>& bounds, double x) {
    return static_cast<int>(std::lower_bound(bounds.begin(), bounds.end(), x) - bounds.begin());
}

void Count(ZuVALUE* rtn, ZuVALUE* pv, bool down) {
    std::vector<double> bounds;
    if (!MatrixArg(pv, 0) || !Bounds(pv, &bounds)) return;
    const int r = Rows(pv), c = Columns(pv), n = static_cast<int>(bounds.size()) + 1;
    ZuLibValMatMalloc(rtn, down ? n : r, down ? c : n);
    if (!value::IsMatrix(rtn)) return;
    MatZero(MatrixData(rtn), down ? n : r, down ? c : n);
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j) {
            const double x = MatrixData(pv)[i][j];
            if (std::isnan(x)) continue;
            const int k = Interval(bounds, x);
            MatrixData(rtn)[down ? k : i][down ? j : k] += 1.0;
        }
    }
}

// A distinct value and the vec-order index of its first occurrence.
struct Distinct {
    double value;
    int first;
};

// The distinct values of a matrix in sorted order, one missing value at
// most, each with the index in vec order of its first occurrence.
std::vector<Distinct> DistinctValues(const ZuVALUE* v) {
    const std::vector<double> elements = Elements(v, true);
    std::vector<Distinct> all;
    all.reserve(elements.size());
    for (std::size_t k = 0; k < elements.size(); ++k) all.push_back({elements[k], static_cast<int>(k)});
    std::stable_sort(all.begin(), all.end(),
                     [](const Distinct& a, const Distinct& b) { return Precedes(a.value, b.value); });
    std::vector<Distinct> out;
    for (const Distinct& d : all) {
        if (out.empty() || !SameValue(out.back().value, d.value)) out.push_back(d);
    }
    return out;
}

// The value that output argument k refers to (the program passes &x);
// null when the argument is left out or is the int 0.
bool OutputArg(ZuVALUE* pv, int cArg, int k, ZuVALUE** target) {
    *target = nullptr;
    if (cArg <= k) return true;
    if (cArg > k + 1) return ZuLibArgError(k + 1) != 0;
    ZuVALUE* v = &pv[k];
    if (value::IsAddress(v) && Items(v) != nullptr) {
        *target = Items(v);
        return true;
    }
    if (value::TypeCode(v) == ZU_INT && !value::IsNul(v) && ItemCount(v) == 0) return true;
    return ZuLibArgError(k) != 0;
}

// The values as a row; the index lines, when wanted, into the target.
void StoreSet(ZuVALUE* rtn, const std::vector<double>& values, ZuVALUE* target,
              const std::vector<std::vector<double>>& indices) {
    const int n = static_cast<int>(values.size());
    if (!StoreRows(rtn, 1, n, values) || target == nullptr) return;
    std::vector<double> lines;
    for (const auto& line : indices) lines.insert(lines.end(), line.begin(), line.end());
    StoreRows(target, static_cast<int>(indices.size()), n, lines);
}

}  // namespace

/// reversec(m)
/// Each column of `m` upside down: the rows in reverse order.
/// Example:
///     print(reversec(<1,2;3,4;5,6>));
void FnReversec(ZuVALUE* rtn, ZuVALUE* pv, int) { Reverse(rtn, pv, true); }
/// reverser(m)
/// Each row of `m` back to front: the columns in reverse order.
/// Example:
///     print(reverser(<1,2,3;4,5,6>));
void FnReverser(ZuVALUE* rtn, ZuVALUE* pv, int) { Reverse(rtn, pv, false); }

/// sortbyc(m, col)
/// The rows of `m` sorted by the column `col`; with several columns listed in `col`, by the
/// first, ties by the next, and so on. Equal keys keep their order; missing values sort first.
/// Example:
///     print(sortbyc(<3,1;1,2;2,3;1,1>, <0,1>));
void FnSortbyc(ZuVALUE* rtn, ZuVALUE* pv, int) { SortBy(rtn, pv, true); }

/// sortbyr(m, row)
/// The columns of `m` sorted by the row `row` (or by several rows, the first deciding).
/// Example:
///     print(sortbyr(<3,1,2;6,4,5>, 0));
void FnSortbyr(ZuVALUE* rtn, ZuVALUE* pv, int) { SortBy(rtn, pv, false); }

/// sortr(m)
/// A copy of `m` with each row sorted on its own in ascending order, missing values first; an
/// int or a double is returned unchanged.
/// Example:
///     print(sortr(<3,1,2;9,.NaN,4>));
void FnSortr(ZuVALUE* rtn, ZuVALUE* pv, int) {
    const int code = value::TypeCode(pv);
    if (!value::IsNul(pv) && (code == ZU_INT || code == ZU_DOUBLE)) {
        if (code == ZU_INT) ZuValSetInt(rtn, Rows(pv));
        if (code == ZU_DOUBLE) ZuValSetDouble(rtn, DoubleOf(pv));
        return;
    }
    if (!MatrixArg(pv, 0)) return;
    const int r = Rows(pv), c = Columns(pv);
    ZuLibValMatDup(rtn, MatrixData(pv), r, c);
    if (!value::IsMatrix(rtn)) return;
    for (int i = 0; i < r; ++i) SortVec(MatrixData(rtn)[i], c);
}

/// sortcindex(m)
/// The column of row indices that sorts the first column of `m` (of a row vector: its
/// elements), equal values in their original order; so `m[sortcindex(m)][]` is `m` sorted by
/// its first column.
/// Example:
///     decl m = <3,30;1,10;2,20>;
///     print(sortcindex(m), m[sortcindex(m)][]);
void FnSortcindex(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!MatrixArg(pv, 0)) return;
    const ZuVALUE* m = &pv[0];
    const bool row = Rows(m) == 1;
    const int n = row ? Columns(m) : (Columns(m) > 0 ? Rows(m) : 0);
    double** x = MatrixData(m);
    const std::vector<int> order = SortingPermutation(n, {0}, [x, row](int i, int) { return row ? x[0][i] : x[i][0]; });
    StoreRows(rtn, n, 1, std::vector<double>(order.begin(), order.end()));
}

/// maxcindex(m)
/// For each column of `m` the row index of its largest element that is not missing (the first
/// one on ties), as a 1 by c row; NaN for a column without such an element.
/// Example:
///     print(maxcindex(<1,5;7,2;7,3>));
void FnMaxcindex(ZuVALUE* rtn, ZuVALUE* pv, int) { ExtremeIndex<true>(rtn, pv); }
/// mincindex(m)
/// For each column of `m` the row index of its smallest element that is not missing (the
/// first one on ties), as a 1 by c row; NaN for a column without such an element.
/// Example:
///     print(mincindex(<1,5;7,2;0,3>));
void FnMincindex(ZuVALUE* rtn, ZuVALUE* pv, int) { ExtremeIndex<false>(rtn, pv); }

/// vecindex(m [, v])
/// The column of the indices of the non-zero elements of `m` (a missing value counts as
/// non-zero), numbering the elements as `vec(m)` does, column after column. With `v`: the
/// indices of the elements equal to a value of `v` (a missing value in `v` matches missing
/// elements). No element gives a matrix without rows.
/// Example:
///     print(vecindex(<0,1;2,0>), vecindex(<5,6;7,5>, 5));
void FnVecindex(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { ElementIndices(rtn, pv, cArg, true); }
/// vecrindex(m [, v])
/// As `vecindex`, numbering the elements row after row as `vecr(m)` does.
/// Example:
///     print(vecrindex(<0,1;2,0>));
void FnVecrindex(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { ElementIndices(rtn, pv, cArg, false); }

/// countc(m, bounds)
/// With the n `bounds` sorted b0 <= ... <= b(n-1): the n+1 by c matrix that counts in each
/// column of `m` the elements x <= b0, then those with b(k-1) < x <= b(k), and last those
/// with x > b(n-1). Missing elements are not counted.
/// Example:
///     print(countc(<1;2;3;4;5;.NaN>, <2,4>));
void FnCountc(ZuVALUE* rtn, ZuVALUE* pv, int) { Count(rtn, pv, true); }
/// countr(m, bounds)
/// As `countc` for each row of `m`: an r by n+1 matrix of counts.
/// Example:
///     print(countr(<1,2,3,4,5>, <2,4>));
void FnCountr(ZuVALUE* rtn, ZuVALUE* pv, int) { Count(rtn, pv, false); }

/// unique(m)
/// The distinct values of `m` in ascending order as a row, a missing value (once) first.
/// Example:
///     print(unique(<3,1;3,.NaN;1,2>));
void FnUnique(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!MatrixArg(pv, 0)) return;
    std::vector<double> values;
    for (const Distinct& d : DistinctValues(&pv[0])) values.push_back(d.value);
    StoreRows(rtn, 1, static_cast<int>(values.size()), values);
}

/// exclusion(a, b [, &idx])
/// The distinct values of `a` that `b` does not hold, sorted, as a row. `idx` receives the
/// row of their indices in vec(a) (first occurrences).
/// Example:
///     decl idx;
///     print(exclusion(<5,1,3,1>, <3>, &idx), idx);
void FnExclusion(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* target = nullptr;
    if (ZuLibCheckType(ZU_MATRIX, pv, 0, 1) == 0 || !OutputArg(pv, cArg, 2, &target)) return;
    const std::vector<Distinct> in = DistinctValues(&pv[1]);
    std::vector<double> values, where;
    for (const Distinct& d : DistinctValues(&pv[0])) {
        const bool held = std::binary_search(
            in.begin(), in.end(), d, [](const Distinct& x, const Distinct& y) { return Precedes(x.value, y.value); });
        if (held) continue;
        values.push_back(d.value);
        where.push_back(d.first);
    }
    StoreSet(rtn, values, target, {where});
}

/// intersection(a, b [, &idx])
/// The distinct values that `a` and `b` share, sorted, as a row. `idx` receives two rows: their
/// indices in vec(a) and in vec(b) (first occurrences).
/// Example:
///     decl idx;
///     print(intersection(<5,1,3,1>, <3,4,5>, &idx), idx);
void FnIntersection(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* target = nullptr;
    if (ZuLibCheckType(ZU_MATRIX, pv, 0, 1) == 0 || !OutputArg(pv, cArg, 2, &target)) return;
    const std::vector<Distinct> a = DistinctValues(&pv[0]), b = DistinctValues(&pv[1]);
    std::vector<double> values, inA, inB;
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (Precedes(a[i].value, b[j].value)) {
            ++i;
        } else if (Precedes(b[j].value, a[i].value)) {
            ++j;
        } else {
            values.push_back(a[i].value);
            inA.push_back(a[i++].first);
            inB.push_back(b[j++].first);
        }
    }
    StoreSet(rtn, values, target, {inA, inB});
}

}  // namespace zu::stdlib
