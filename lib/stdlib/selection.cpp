// Choosing and removing rows and columns (select..., delete..., drop...),
// inserting rows and columns of zeros, and picking elements or blocks by
// index.  Indices count from 0.  dropc, dropr, insertc, insertr and submat
// take an optional trailing array base, which is taken off every index
// they are given (the index 1 is the first row under base 1).
/// @family Selection
#include <cstddef>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "stdlib/argument_faults.h"
#include "stdlib/routines.h"
#include "value/cast.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::stdlib {
namespace {

std::string Number(double x) {
    if (std::isnan(x)) return ".NaN";
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", x);
    return text;
}

// The array base: the argument after the `fixed` ones when there is one,
// else 0.  A call with still more arguments gets the argument error.
bool BaseArg(ZuVALUE* pv, int cArg, int fixed, int* base) {
    *base = 0;
    if (cArg > fixed + 1) return ZuLibArgError(fixed + 1) != 0;
    return cArg <= fixed || IntArg(pv, fixed, base);
}

// The lines (rows or columns) of a matrix.
struct Lines {
    const ZuVALUE* m;
    bool rows;
    int count() const { return rows ? Rows(m) : Columns(m); }
    int length() const { return rows ? Columns(m) : Rows(m); }
    double at(int line, int k) const { return rows ? MatrixData(m)[line][k] : MatrixData(m)[k][line]; }
    const char* noun() const { return rows ? "rows" : "columns"; }
};

// One element given as an index (truncated like an int argument), less
// the base, checked against the `limit` lines; false after the report.
bool ToIndex(double x, int base, int limit, const char* noun, int arg, int* out) {
    int given = 0;
    if (!value::DoubleToInt(x, &given)) return ArgumentFault(arg, "index " + Number(x) + " is not an index");
    const std::int64_t index = std::int64_t{given} - base;
    if (index < 0 || index >= limit) {
        return ArgumentFault(arg, "index " + std::to_string(given) + " out of range for " + Counted(limit, noun));
    }
    *out = static_cast<int>(index);
    return true;
}

// The elements of argument k, row by row, as indices of `lines`.
bool IndexList(ZuVALUE* pv, int k, int base, const Lines& lines, std::vector<int>* out) {
    if (!MatrixArg(pv, k)) return false;
    const ZuVALUE* v = &pv[k];
    for (int i = 0; i < Rows(v); ++i) {
        for (int j = 0; j < Columns(v); ++j) {
            int index = 0;
            if (!ToIndex(MatrixData(v)[i][j], base, lines.count(), lines.noun(), k, &index)) return false;
            out->push_back(index);
        }
    }
    return true;
}

// The listed lines of m, in the order given, as a new matrix.
void TakeLines(ZuVALUE* rtn, const Lines& lines, const std::vector<int>& chosen) {
    const int n = static_cast<int>(chosen.size());
    const ZuVALUE* m = lines.m;
    ZuLibValMatMalloc(rtn, lines.rows ? n : Rows(m), lines.rows ? Columns(m) : n);
    if (!value::IsMatrix(rtn)) return;
    for (int k = 0; k < n; ++k) {
        for (int e = 0; e < lines.length(); ++e) {
            if (lines.rows) {
                MatrixData(rtn)[k][e] = MatrixData(m)[chosen[k]][e];
            } else {
                MatrixData(rtn)[e][k] = MatrixData(m)[e][chosen[k]];
            }
        }
    }
}

// The lines of `test` for which "some element passes" equals `wanted`.
template <typename Pass>
std::vector<int> LinesWhere(const Lines& test, bool wanted, Pass pass) {
    std::vector<int> out;
    for (int line = 0; line < test.count(); ++line) {
        bool some = false;
        for (int k = 0; k < test.length() && !some; ++k) some = pass(test.at(line, k));
        if (some == wanted) out.push_back(line);
    }
    return out;
}

// The values of a matrix for look-ups; a missing value among them matches
// missing elements.
class ValueSet {
public:
    // Only the missing value.
    ValueSet() : missing_(true) {}
    explicit ValueSet(const ZuVALUE* v) {
        for (int i = 0; i < Rows(v); ++i) {
            for (int j = 0; j < Columns(v); ++j) {
                const double x = MatrixData(v)[i][j];
                if (std::isnan(x)) {
                    missing_ = true;
                } else {
                    values_.push_back(x);
                }
            }
        }
        std::sort(values_.begin(), values_.end());
    }
    bool Holds(double x) const {
        return std::isnan(x) ? missing_ : std::binary_search(values_.begin(), values_.end(), x);
    }

private:
    std::vector<double> values_;
    bool missing_ = false;
};

void ByValues(ZuVALUE* rtn, ZuVALUE* pv, int cArg, bool rows, bool keep) {
    if (cArg > 2) {
        ZuLibArgError(2);
        return;
    }
    if (!MatrixArg(pv, 0) || (cArg == 2 && !MatrixArg(pv, 1))) return;
    const ValueSet set = cArg == 2 ? ValueSet(&pv[1]) : ValueSet();
    const Lines lines{&pv[0], rows};
    TakeLines(rtn, lines, LinesWhere(lines, keep, [&set](double x) { return set.Holds(x); }));
}

void BySelector(ZuVALUE* rtn, ZuVALUE* pv, bool rows, bool keep) {
    if (!MatrixArg(pv, 0) || !MatrixArg(pv, 1)) return;
    const Lines lines{&pv[0], rows}, selector{&pv[1], rows};
    if (selector.count() != lines.count()) {
        ArgumentFault(1,
                      "found matrix[" + std::to_string(Rows(&pv[1])) + "][" + std::to_string(Columns(&pv[1])) +
                          "] but expected " + Counted(lines.count(), lines.noun()),
                      kArgumentSizeError);
        return;
    }
    TakeLines(rtn, lines, LinesWhere(selector, keep, [](double x) { return x != 0.0; }));
}

void Drop(ZuVALUE* rtn, ZuVALUE* pv, int cArg, bool rows) {
    int base = 0;
    if (!MatrixArg(pv, 0) || !BaseArg(pv, cArg, 2, &base)) return;
    const Lines lines{&pv[0], rows};
    std::vector<int> listed;
    if (!IndexList(pv, 1, base, lines, &listed)) return;
    std::vector<char> dropped(static_cast<std::size_t>(lines.count()), 0);
    for (int k : listed) dropped[static_cast<std::size_t>(k)] = 1;
    std::vector<int> kept;
    for (int k = 0; k < lines.count(); ++k) {
        if (dropped[static_cast<std::size_t>(k)] == 0) kept.push_back(k);
    }
    TakeLines(rtn, lines, kept);
}

void Insert(ZuVALUE* rtn, ZuVALUE* pv, int cArg, bool rows) {
    int at = 0, count = 0, base = 0;
    if (!MatrixArg(pv, 0) || !IntArg(pv, 1, &at) || !IntArg(pv, 2, &count) || !BaseArg(pv, cArg, 3, &base)) return;
    const Lines lines{&pv[0], rows};
    const int n = lines.count();
    const std::int64_t position = std::int64_t{at} - base;
    if (position < 0 || position > n) {
        ArgumentFault(1, "position " + std::to_string(at) + " out of range for " + Counted(n, lines.noun()));
        return;
    }
    if (count < 0 || std::int64_t{n} + count > INT_MAX) {
        ArgumentFault(2, "count " + std::to_string(count) + " of new " + lines.noun() + " out of range");
        return;
    }
    const ZuVALUE* m = &pv[0];
    const int r = Rows(m) + (rows ? count : 0), c = Columns(m) + (rows ? 0 : count);
    ZuLibValMatMalloc(rtn, r, c);
    if (!value::IsMatrix(rtn)) return;
    MatZero(MatrixData(rtn), r, c);
    const int p = static_cast<int>(position);
    for (int i = 0; i < Rows(m); ++i) {
        for (int j = 0; j < Columns(m); ++j) {
            const int ti = rows && i >= p ? i + count : i, tj = !rows && j >= p ? j + count : j;
            MatrixData(rtn)[ti][tj] = MatrixData(m)[i][j];
        }
    }
}

// The first and last index of a block of `n` lines, given in arguments
// arg and arg + 1; last may be first - 1 for no lines.
bool Span(const ZuVALUE* pv, int arg, int base, int n, const char* noun, int* first, int* last) {
    const std::int64_t a = std::int64_t{value::IntOf(&pv[arg])} - base,
                       b = std::int64_t{value::IntOf(&pv[arg + 1])} - base;
    const std::string range = " out of range for " + Counted(n, noun);
    if (a < 0 || a > n) return ArgumentFault(arg, "index " + std::to_string(value::IntOf(&pv[arg])) + range);
    if (b >= n || b < a - 1)
        return ArgumentFault(arg + 1, "index " + std::to_string(value::IntOf(&pv[arg + 1])) + range);
    *first = static_cast<int>(a);
    *last = static_cast<int>(b);
    return true;
}

// An element of an index matrix, the one element of a 1 x 1 matrix
// standing for all.
double Spread(const ZuVALUE* v, int i, int j) {
    return Rows(v) == 1 && Columns(v) == 1 ? MatrixData(v)[0][0] : MatrixData(v)[i][j];
}

}  // namespace

/// selectr(m [, v])
/// The rows of `m` that hold a missing value; with `v`, the rows that hold one of the values
/// of `v` (a missing value in `v` matches missing elements).
/// Example:
///     print(selectr(<1,2;.NaN,3;4,5>), selectr(<1,2;3,4;5,6>, <4,5>));
void FnSelectr(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { ByValues(rtn, pv, cArg, true, true); }
/// selectc(m [, v])
/// The columns of `m` that hold a missing value; with `v`, the columns that hold one of the
/// values of `v`.
/// Example:
///     print(selectc(<1,.NaN,3;4,5,6>), selectc(<1,2,3;4,5,6>, 6));
void FnSelectc(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { ByValues(rtn, pv, cArg, false, true); }

/// deleter(m [, v])
/// `m` without the rows that hold a missing value; with `v`, without the rows that hold one of
/// the values of `v`.
/// Example:
///     print(deleter(<1,2;.NaN,3;4,5>), deleter(<1,2;3,4;5,6>, 4));
void FnDeleter(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { ByValues(rtn, pv, cArg, true, false); }
/// deletec(m [, v])
/// `m` without the columns that hold a missing value; with `v`, without the columns that hold
/// one of the values of `v`.
/// Example:
///     print(deletec(<1,.NaN,3;4,5,6>));
void FnDeletec(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { ByValues(rtn, pv, cArg, false, false); }

/// selectifr(m, sel)
/// The rows of `m` where the same row of `sel` (which has the rows of `m`) holds a non-zero
/// element; a missing value counts as non-zero.
/// Example:
///     decl m = <1,2;3,4;5,6>;
///     print(selectifr(m, m[][0] .> 2));
void FnSelectifr(ZuVALUE* rtn, ZuVALUE* pv, int) { BySelector(rtn, pv, true, true); }
/// selectifc(m, sel)
/// The columns of `m` where the same column of `sel` (which has the columns of `m`) holds a
/// non-zero element; a missing value counts as non-zero.
/// Example:
///     decl m = <1,2,3;4,5,6>;
///     print(selectifc(m, m[0][] .!= 2));
void FnSelectifc(ZuVALUE* rtn, ZuVALUE* pv, int) { BySelector(rtn, pv, false, true); }
/// deleteifr(m, sel)
/// `m` without the rows where the same row of `sel` holds a non-zero element (a missing value
/// counts as non-zero).
/// Example:
///     decl m = <1,2;3,4;5,6>;
///     print(deleteifr(m, m[][0] .> 2));
void FnDeleteifr(ZuVALUE* rtn, ZuVALUE* pv, int) { BySelector(rtn, pv, true, false); }
/// deleteifc(m, sel)
/// `m` without the columns where the same column of `sel` holds a non-zero element (a missing
/// value counts as non-zero).
/// Example:
///     decl m = <1,2,3;4,5,6>;
///     print(deleteifc(m, m[0][] .== 2));
void FnDeleteifc(ZuVALUE* rtn, ZuVALUE* pv, int) { BySelector(rtn, pv, false, false); }

/// dropr(m, idx [, base])
/// `m` without the rows whose indices `idx` lists, in any order (an index listed twice removes
/// its row once). Indices count from `base`, default 0.
/// Example:
///     print(dropr(<1,2;3,4;5,6>, <2,0>));
void FnDropr(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { Drop(rtn, pv, cArg, true); }
/// dropc(m, idx [, base])
/// `m` without the columns whose indices `idx` lists, counted from `base` (default 0).
/// Example:
///     print(dropc(<1,2,3;4,5,6>, 1));
void FnDropc(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { Drop(rtn, pv, cArg, false); }

/// insertr(m, i, k [, base])
/// `m` with `k` rows of zeros inserted before row `i` (`i` equal to the row count appends
/// them); `i` counts from `base`, default 0.
/// Example:
///     print(insertr(<1,2;3,4>, 1, 1));
void FnInsertr(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { Insert(rtn, pv, cArg, true); }
/// insertc(m, i, k [, base])
/// `m` with `k` columns of zeros inserted before column `i` (`i` equal to the column count
/// appends them); `i` counts from `base`, default 0.
/// Example:
///     print(insertc(<1,2;3,4>, 2, 2));
void FnInsertc(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { Insert(rtn, pv, cArg, false); }

/// selectrc(m, row, col)
/// The matrix of the shape of `row` and `col` whose element (i, j) is
/// `m[row[i][j]][col[i][j]]`; a 1 by 1 `row` or `col` serves every element of the other.
/// Example:
///     print(selectrc(<1,2;3,4>, <0,1>, <1,0>));
void FnSelectrc(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_MATRIX, pv, 0, 2) == 0) return;
    const ZuVALUE *m = &pv[0], *rowIdx = &pv[1], *colIdx = &pv[2];
    const bool rowOne = Rows(rowIdx) == 1 && Columns(rowIdx) == 1;
    const ZuVALUE* shape = rowOne ? colIdx : rowIdx;
    if (!rowOne && !(Rows(colIdx) == 1 && Columns(colIdx) == 1) &&
        ZuLibCheckMatrixSize(pv, 2, 2, Rows(rowIdx), Columns(rowIdx)) == 0) {
        return;
    }
    const int r = Rows(shape), c = Columns(shape);
    std::vector<double> picked;
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j) {
            int a = 0, b = 0;
            if (!ToIndex(Spread(rowIdx, i, j), 0, Rows(m), "rows", 1, &a) ||
                !ToIndex(Spread(colIdx, i, j), 0, Columns(m), "columns", 2, &b)) {
                return;
            }
            picked.push_back(MatrixData(m)[a][b]);
        }
    }
    ZuLibValMatMalloc(rtn, r, c);
    if (!value::IsMatrix(rtn)) return;
    for (std::size_t k = 0; k < picked.size(); ++k) MatrixData(rtn)[k / c][k % c] = picked[k];
}

/// submat(m, r1, r2, c1, c2 [, base])
/// The block of rows `r1` to `r2` and columns `c1` to `c2` of `m`, both ends included, counted
/// from `base` (default 0). A last index one below the first gives no rows (or columns).
/// Example:
///     print(submat(<1,2,3;4,5,6;7,8,9>, 1, 2, 0, 1));
void FnSubmat(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    int base = 0, r1 = 0, r2 = 0, c1 = 0, c2 = 0;
    if (!MatrixArg(pv, 0) || ZuLibCheckType(ZU_INT, pv, 1, 4) == 0 || !BaseArg(pv, cArg, 5, &base)) return;
    const ZuVALUE* m = &pv[0];
    if (!Span(pv, 1, base, Rows(m), "rows", &r1, &r2) || !Span(pv, 3, base, Columns(m), "columns", &c1, &c2)) return;
    const int r = r2 - r1 + 1, c = c2 - c1 + 1;
    ZuLibValMatMalloc(rtn, r, c);
    if (!value::IsMatrix(rtn)) return;
    for (int i = 0; i < r; ++i) std::copy_n(MatrixData(m)[r1 + i] + c1, c, MatrixData(rtn)[i]);
}

}  // namespace zu::stdlib
