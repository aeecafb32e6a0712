// Indexing matrices: the pending vector value, its materialisation, the
// two-index selection and stores into selected elements.
#include "run/index_ops.h"

#include "run/indexing.h"
#include "run/run_errors.h"
#include "value/cast.h"
#include "value/heap.h"

#include <cstring>
#include <vector>

namespace zu::run {
namespace {

// A matrix record that stands for the data a vector refers to, for error
// texts.
ZuVALUE MatrixOf(const ZuVALUE* v) {
    ZuVALUE m{};
    m.t = ZU_MATRIX;
    m.w1 = v->w1;
    m.w2 = v->w2;
    m.w3 = v->w3;
    return m;
}

// The element at row-major position p of a matrix with c columns.
inline double& At(double** m, int c, int p) { return m[p / c][p % c]; }

// A copy of a value matrix's elements in row-major order, taken when the
// value's data is the target's own.
std::vector<double> Snapshot(const ZuVALUE* value) {
    int r = value->w1.i, c = value->w2.i;
    std::vector<double> copy(static_cast<std::size_t>(r) * static_cast<std::size_t>(c));
    for (int i = 0; i < r; ++i)
        std::memcpy(copy.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(c), value->w3.m[i],
                    static_cast<std::size_t>(c) * sizeof(double));
    return copy;
}

// The value to store into matrix elements: a materialised vector, then a
// double for a scalar (true), or a matrix (false); error 17 otherwise.
bool StoredScalar(ZuVALUE* value, double* d) {
    if ((value->t & ZU_TYPE_MASK) == ZU_VECTOR) ZuRunDoIndexVector(value, nullptr);
    if (value->t & ZU_FLAG_NUL) Raise(Err::ScalarExpected);
    switch (value->t & ZU_TYPE_MASK) {
    case ZU_INT: *d = value->w1.i; return true;
    case ZU_DOUBLE: *d = value->w1.d; return true;
    case ZU_MATRIX: return false;
    default: Raise(Err::ScalarExpected);
    }
}

void StoreElements(double** m, int c, const Selection& s, ZuVALUE* value) {
    double d = 0;
    if (StoredScalar(value, &d)) {
        for (int k = 0; k < s.count; ++k) At(m, c, s.at(k)) = d;
        return;
    }
    int vr = value->w1.i, vc = value->w2.i;
    long long n = static_cast<long long>(vr) * vc;
    if (n <= 0 || !value->w3.m) return;
    std::vector<double> copy;
    const double* flat = nullptr;
    if (value->w3.m == m) {
        copy = Snapshot(value);
        flat = copy.data();
    }
    long long count = s.count < n ? s.count : n;
    for (int k = 0; k < count; ++k) {
        double x = flat ? flat[k] : value->w3.m[k / vc][k % vc];
        At(m, c, s.at(k)) = x;
    }
}

void StoreBlock(double** m, const Selection& rows, const Selection& cols, ZuVALUE* value) {
    double d = 0;
    if (StoredScalar(value, &d)) {
        for (int i = 0; i < rows.count; ++i)
            for (int j = 0; j < cols.count; ++j) m[rows.at(i)][cols.at(j)] = d;
        return;
    }
    int vr = value->w1.i, vc = value->w2.i;
    if (vr <= 0 || vc <= 0 || !value->w3.m) return;
    std::vector<double> copy;
    if (value->w3.m == m) copy = Snapshot(value);
    int nr = rows.count < vr ? rows.count : vr;
    int nc = cols.count < vc ? cols.count : vc;
    for (int i = 0; i < nr; ++i)
        for (int j = 0; j < nc; ++j) {
            double x =
                !copy.empty()
                    ? copy[static_cast<std::size_t>(i) * static_cast<std::size_t>(vc) + static_cast<std::size_t>(j)]
                    : value->w3.m[i][j];
            m[rows.at(i)][cols.at(j)] = x;
        }
}

// Replaces a vector (or matrix) entry by an owned r x c matrix filled by
// `fill(result)`; the old data is released only after the copy.
template <typename Fill>
void ReplaceByMatrix(ZuVALUE* v, int r, int c, Fill fill) {
    ZuVALUE fresh{};
    if (!value::TrySetMatrix(&fresh, r, c)) Raise(Err::OutOfMemory);
    fill(fresh.w3.m);
    FreeEntry(v);
    *v = fresh;
}

void ReplaceByDouble(ZuVALUE* v, double d) {
    FreeEntry(v);
    v->t = ZU_DOUBLE;
    v->w1.d = d;
}

}  // namespace

void MakeVector(ZuVALUE* v, const Index& index, int extraFlags) {
    // The constant flag stays: a second index must not store into a
    // constant's matrix.
    int t = ZU_VECTOR | (v->t & (ZU_FLAG_VAL | ZU_FLAG_CON)) | extraFlags;
    switch (index.kind) {
    case Index::Single: v->w4.i = index.single; break;
    case Index::Range:
        t |= kVectorRange;
        v->w4.i = index.first;
        v->w5.i = index.last;
        break;
    case Index::List: {
        t |= kVectorList;
        int n = static_cast<int>(index.list.size());
        int* list = nullptr;
        if (n > 0) {
            list = static_cast<int*>(value::HeapAlloc(static_cast<std::size_t>(n) * sizeof(int)));
            if (!list) Raise(Err::OutOfMemory);
            std::memcpy(list, index.list.data(), static_cast<std::size_t>(n) * sizeof(int));
        }
        v->w4.i = n;
        v->w5.p = list;
        break;
    }
    }
    v->t = t;
}

void MaterialiseVector(ZuVALUE* v, ZuVALUE* value, int printBase) {
    const int r = v->w1.i, c = v->w2.i;
    double** m = v->w3.m;
    ZuVALUE described = MatrixOf(v);
    IndexContext context{&described, printBase};
    Index index = VectorIndex(v);
    if (r >= 2 && c >= 2 && !index.all()) ZuRunWarning(nullptr, 4, 0);
    long long size = r > 0 && c > 0 && m ? static_cast<long long>(r) * c : 0;
    Selection s = Select(index, static_cast<int>(size), IndexPlace::Only, context);
    if (value) StoreElements(m, c, s, value);
    if (index.kind == Index::Single) {
        ReplaceByDouble(v, At(m, c, s.first));
        return;
    }
    int rows = s.count == 0 ? 0 : (r == 1 ? 1 : s.count);
    int cols = s.count == 0 ? 0 : (r == 1 ? s.count : 1);
    ReplaceByMatrix(v, rows, cols, [&](double** out) {
        for (int k = 0; k < s.count; ++k) At(out, cols, k) = At(m, c, s.at(k));
    });
}

void IndexVectorTwice(ZuVALUE* v, ZuVALUE* index, ZuVALUE* value, int printBase) {
    const int r = v->w1.i, c = v->w2.i;
    double** m = v->w3.m;
    ZuVALUE described = MatrixOf(v);
    IndexContext context{&described, printBase};
    Index column;
    std::vector<int> storage;
    if (!ReadIndex(index, column, storage)) Raise(Err::CannotIndex, value::Describe(&described).c_str());
    int rowsSize = m ? r : 0, colsSize = m ? c : 0;
    Selection rows = Select(VectorIndex(v), rowsSize, IndexPlace::Row, context);
    Selection cols = Select(column, colsSize, IndexPlace::Column, context);
    bool fromScalar = (v->t & kVectorScalar) != 0;
    if (value) StoreBlock(m, rows, cols, value);
    if (rows.index.kind == Index::Single && cols.index.kind == Index::Single)
        ReplaceByDouble(v, m[rows.first][cols.first]);
    else
        ReplaceByMatrix(v, rows.count == 0 || cols.count == 0 ? 0 : rows.count, rows.count == 0 ? 0 : cols.count,
                        [&](double** out) {
                            for (int i = 0; i < rows.count; ++i)
                                for (int j = 0; j < cols.count; ++j) out[i][j] = m[rows.at(i)][cols.at(j)];
                        });
    if (value && fromScalar) Raise(Err::CannotIndex, "int");
}

void LoadIndexed(ZuVALUE* v, ZuVALUE* index, const IndexContext& context) {
    switch (v->t & (ZU_TYPE_MASK | ZU_FLAG_NUL)) {
    case ZU_INT:
    case ZU_DOUBLE: {
        double d = (v->t & ZU_TYPE_MASK) == ZU_INT ? v->w1.i : v->w1.d;
        ReplaceByMatrix(v, 1, 1, [d](double** out) { out[0][0] = d; });
        Index i;
        std::vector<int> storage;
        if (!ReadIndex(index, i, storage)) Raise(Err::CannotIndex, value::Describe(v).c_str());
        MakeVector(v, i, kVectorScalar);
        return;
    }
    case ZU_MATRIX: {
        Index i;
        std::vector<int> storage;
        if (!ReadIndex(index, i, storage)) Raise(Err::CannotIndex, value::Describe(v).c_str());
        MakeVector(v, i, 0);
        return;
    }
    case ZU_VECTOR: IndexVectorTwice(v, index, nullptr, context.printBase); return;
    case ZU_STRING: LoadStringIndexed(v, index, context); return;
    case ZU_ARRAY: LoadArrayIndexed(v, index, context); return;
    default: Raise(Err::CannotIndex, value::Describe(v).c_str());
    }
}

void StoreIndexed(ZuVALUE* target, ZuVALUE* index, ZuVALUE* value, int printBase) {
    int type = target->t & ZU_TYPE_MASK;
    bool address = type == ZU_ARRAY && (target->t & ZU_FLAG_ADR);
    if ((target->t & ZU_FLAG_CON) && !address) Raise(Err::AssignToConstant);
    IndexContext context{target, printBase};
    if (target->t & ZU_FLAG_NUL) Raise(Err::CannotIndex, value::Describe(target).c_str());
    switch (type) {
    case ZU_MATRIX: {
        Index i;
        std::vector<int> storage;
        if (!ReadIndex(index, i, storage)) Raise(Err::CannotIndex, value::Describe(target).c_str());
        MakeVector(target, i, 0);
        MaterialiseVector(target, value, printBase);
        break;
    }
    case ZU_VECTOR: IndexVectorTwice(target, index, value, printBase); break;
    case ZU_STRING: StoreStringIndexed(target, index, value, context); break;
    case ZU_ARRAY: StoreArrayIndexed(target, index, value, context); break;
    default: Raise(Err::CannotIndex, value::Describe(target).c_str());
    }
    FreeIfOwned(index);
    FreeIfOwned(value);
}

void ZuRunDoIndexVector(ZuVALUE* vector, ZuVALUE* value) {
    if ((vector->t & ZU_TYPE_MASK) != ZU_VECTOR) return;
    MaterialiseVector(vector, value, 0);
}

}  // namespace zu::run
