// The random permutation of the probability library.
/// @family Random numbers

#include "numerics/dense.h"
#include "numerics/library.h"
#include "numerics/library_support.h"
#include "numerics/shuffle.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::numerics {
namespace {

// k draws out of n are possible; false after the report.
bool CountFits(int k, int n) {
    if (k >= 0 && k <= n) return true;
    ZuLibArgError(k < 0 ? 0 : 1);
    return false;
}

// k of the n entries in random order; false after the report.  Called
// once the result exists, so that a result too large for the matrix
// store is refused before any scratch is taken.
bool Shuffled(int k, int n, ScratchOf<int>* idx) {
    if (idx->Allocate(static_cast<std::size_t>(k)) && RanShuffle(idx->data(), k, n) == 0) return true;
    library::OutOfMemory();
    return false;
}

// ranshuffle(k, n) with an int n: k indices out of 0 .. n-1 as a column.
void ShuffleIndices(ZuVALUE* rtn, int k, int n) {
    ScratchOf<int> idx;
    if (!CountFits(k, n) || !library::ResultMatrix(rtn, k, 1) || !Shuffled(k, n, &idx)) return;
    for (int i = 0; i < k; ++i) MatrixData(rtn)[i][0] = idx.data()[i];
}

// ranshuffle(k, x) with a matrix x: k of its rows, or of the elements of
// a row vector.
void ShuffleMatrix(ZuVALUE* rtn, int k, const ZuVALUE& x) {
    const int r = Rows(&x), c = Columns(&x);
    const bool row = r == 1;
    const int n = row ? c : r;
    if (!CountFits(k, n)) return;
    const int outR = row ? 1 : k, outC = row ? k : c;
    library::Block out(outR, outC);
    if (!out.ok()) {
        library::OutOfMemory();
        return;
    }
    ScratchOf<int> idx;
    if (!Shuffled(k, n, &idx)) return;
    for (int i = 0; i < k; ++i) {
        const int from = idx.data()[i];
        if (row) {
            out.m()[0][i] = MatrixData(&x)[0][from];
        } else {
            for (int j = 0; j < c; ++j) out.m()[i][j] = MatrixData(&x)[from][j];
        }
    }
    if (library::ResultMatrix(rtn, outR, outC) && outR >= 1 && outC >= 1) MatCopy(MatrixData(rtn), out.m(), outR, outC);
}

}  // namespace

/// ranshuffle(k, x)
/// k draws without replacement in random order, the first k of a random permutation (Fisher-Yates, one
/// uniform a draw). An int or double x = n gives k indices out of 0 to n-1 as a column; a matrix x gives k of
/// its rows (k by columns(x)), and a row vector k of its elements (1 by k), so `ranshuffle(rows(x), x)`
/// permutes the rows of x. k outside 0 to n is an argument error.
/// Example:
///     ranseed(123456);
///     print(ranshuffle(5, 5)');
///     print(ranshuffle(3, <1,2;3,4;5,6>));
///     print(ranshuffle(4, <10,20,30,40>));
void FnRanshuffle(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    int k = 0;
    if (!library::IntArg(pv, 0, &k)) return;
    const int type = value::TypeCode(&pv[1]);
    if (type == ZU_INT || type == ZU_DOUBLE) {
        int n = 0;
        if (library::IntArg(pv, 1, &n)) ShuffleIndices(rtn, k, n);
        return;
    }
    if (library::MatrixArg(pv, 1)) ShuffleMatrix(rtn, k, pv[1]);
}

}  // namespace zu::numerics
