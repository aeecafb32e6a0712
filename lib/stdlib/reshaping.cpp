// Rearranging the elements of a matrix: vec, vecr, reshape and shape.
/// @family Matrix construction
#include <algorithm>
#include <cstddef>
#include <cstring>
#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::stdlib {
namespace {

// m and the dimensions converted; false after a report.
bool ReshapeArguments(ZuVALUE* pv, int* r, int* c) {
    if (ZuLibCheckType(ZU_MATRIX, pv, 0, 0) == 0 || ZuLibCheckType(ZU_INT, pv, 1, 2) == 0) return false;
    *r = value::IntOf(&pv[1]);
    *c = value::IntOf(&pv[2]);
    return true;
}

// Nothing is stored (the result stays the int 0) for a dimension below 1
// or a source without elements.
bool HasWork(const ZuVALUE* m, int r, int c) {
    return r >= 1 && c >= 1 && Rows(m) >= 1 && Columns(m) >= 1 && MatrixData(m) != nullptr;
}

// An (r*c) by 1 result taking m's elements column after column (byColumns)
// or row after row.
void Stack(ZuVALUE* rtn, ZuVALUE* pv, bool byColumns) {
    if (ZuLibCheckType(ZU_MATRIX, pv, 0, 0) == 0) return;
    const int r = Rows(pv), c = Columns(pv);
    ZuLibValMatMalloc(rtn, r * c, 1);
    if (!value::IsMatrix(rtn)) return;
    int k = 0;
    for (int a = 0; a < (byColumns ? c : r); ++a) {
        for (int b = 0; b < (byColumns ? r : c); ++b)
            MatrixData(rtn)[k++][0] = byColumns ? MatrixData(pv)[b][a] : MatrixData(pv)[a][b];
    }
}

}  // namespace

/// vec(m)
/// The elements of `m` stacked column after column into one column, (r c) by 1.
/// Example:
///     print(vec(<1,2;3,4>));
void FnVec(ZuVALUE* rtn, ZuVALUE* pv, int) { Stack(rtn, pv, true); }

/// vecr(m)
/// The elements of `m` stacked row after row into one column, (r c) by 1.
/// Example:
///     print(vecr(<1,2;3,4>));
void FnVecr(ZuVALUE* rtn, ZuVALUE* pv, int) { Stack(rtn, pv, false); }

/// reshape(m, r, c)
/// An `r` by `c` matrix filled row by row from the elements of `m` in row order, starting again
/// at the first element when they run out. Nothing is stored (the result is the int 0) for a
/// dimension below 1 or an `m` without elements.
/// Example:
///     print(reshape(<1,2,3>, 2, 4));
void FnReshape(ZuVALUE* rtn, ZuVALUE* pv, int) {
    int r = 0, c = 0;
    if (!ReshapeArguments(pv, &r, &c) || !HasWork(pv, r, c)) return;
    ZuLibValMatMalloc(rtn, r, c);
    if (!value::IsMatrix(rtn)) return;
    const int mr = Rows(pv), mc = Columns(pv);
    double** from = MatrixData(pv);
    double** to = MatrixData(rtn);
    if (value::RowsAdjoin(from, mr, mc) && value::RowsAdjoin(to, r, c)) {
        // Both are single runs: the result repeats the source's run.
        const std::size_t total = static_cast<std::size_t>(r) * c, run = static_cast<std::size_t>(mr) * mc;
        for (std::size_t done = 0; done < total; done += run)
            std::memcpy(to[0] + done, from[0], std::min(run, total - done) * sizeof(double));
        return;
    }
    int si = 0, sj = 0;
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j) {
            MatrixData(rtn)[i][j] = MatrixData(pv)[si][sj];
            if (++sj == mc) {
                sj = 0;
                if (++si == mr) si = 0;
            }
        }
    }
}

/// shape(m, r, c)
/// An `r` by `c` matrix filled column by column from the elements of `m` in column order; the
/// elements beyond r c are dropped, and result elements beyond those of `m` stay 0.
/// Example:
///     print(shape(<1,2,3;4,5,6>, 3, 2), shape(<1,2>, 2, 2));
void FnShape(ZuVALUE* rtn, ZuVALUE* pv, int) {
    int r = 0, c = 0;
    if (!ReshapeArguments(pv, &r, &c) || !HasWork(pv, r, c)) return;
    ZuLibValMatMalloc(rtn, r, c);
    if (!value::IsMatrix(rtn)) return;
    MatZero(MatrixData(rtn), r, c);
    const int mr = Rows(pv), mc = Columns(pv);
    int i = 0, j = 0;
    for (int sj = 0; sj < mc && j < c; ++sj) {
        for (int si = 0; si < mr && j < c; ++si) {
            MatrixData(rtn)[i][j] = MatrixData(pv)[si][sj];
            if (++i == r) {
                i = 0;
                ++j;
            }
        }
    }
}

}  // namespace zu::stdlib
