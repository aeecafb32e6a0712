// Index values, range normalisation and the index error texts.
#include "run/index_value.h"

#include "run/indexing.h"
#include "run/run_errors.h"
#include "value/cast.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace zu::run {
namespace {

// A double used as an index is truncated towards zero; values beyond int
// stand for an index that no dimension holds.
int TruncatedIndex(double d) {
    if (std::isnan(d)) return INT_MIN;
    if (d >= 2147483647.0) return INT_MAX;
    if (d <= -2147483648.0) return INT_MIN;
    return static_cast<int>(d);
}

std::string PlaceText(const std::string& inner, IndexPlace place) {
    switch (place) {
    case IndexPlace::Only: return "[" + inner + "]";
    case IndexPlace::Row: return "[" + inner + "][]";
    case IndexPlace::Column: return "[][" + inner + "]";
    }
    return "[" + inner + "]";
}

std::string InText(const IndexContext& context) { return " in " + value::Describe(context.indexed); }

// Adds the printed base without overflowing.
long long Printed(int index, const IndexContext& context) { return static_cast<long long>(index) + context.printBase; }

}  // namespace

bool ReadIndex(ZuVALUE* index, Index& out, std::vector<int>& storage) {
    if ((index->t & ZU_TYPE_MASK) == ZU_VECTOR) ZuRunDoIndexVector(index, nullptr);
    if (index->t & ZU_FLAG_NUL) return false;
    switch (index->t & ZU_TYPE_MASK) {
    case ZU_INT: out = Index{Index::Single, index->w1.i, {}, 0, 0}; return true;
    case ZU_DOUBLE: out = Index{Index::Single, TruncatedIndex(index->w1.d), {}, 0, 0}; return true;
    case ZU_RANGE: out = Index{Index::Range, 0, {}, index->w1.i, index->w2.i}; return true;
    case ZU_MATRIX: {
        int r = index->w1.i, c = index->w2.i;
        if (r == 1 && c == 1 && index->w3.m) {
            out = Index{Index::Single, TruncatedIndex(index->w3.m[0][0]), {}, 0, 0};
            return true;
        }
        storage.clear();
        if (r > 0 && c > 0 && index->w3.m) {
            storage.reserve(static_cast<std::size_t>(r) * static_cast<std::size_t>(c));
            for (int i = 0; i < r; ++i)
                for (int j = 0; j < c; ++j) storage.push_back(TruncatedIndex(index->w3.m[i][j]));
        }
        out = Index{Index::List, 0, std::span<const int>(storage), 0, 0};
        return true;
    }
    default: return false;
    }
}

Index VectorIndex(const ZuVALUE* v) {
    if (v->t & kVectorList) {
        const int* list = static_cast<const int*>(v->w5.p);
        std::size_t n = list && v->w4.i > 0 ? static_cast<std::size_t>(v->w4.i) : 0;
        return Index{Index::List, 0, std::span<const int>(list, n), 0, 0};
    }
    if (v->t & kVectorRange) return Index{Index::Range, 0, {}, v->w4.i, v->w5.i};
    return Index{Index::Single, v->w4.i, {}, 0, 0};
}

Selection Select(const Index& index, int n, IndexPlace place, const IndexContext& context) {
    Selection s;
    s.index = index;
    switch (index.kind) {
    case Index::Single:
        if (index.single < 0 || index.single >= n) RaiseIndex(index.single, place, context);
        s.first = index.single;
        s.count = 1;
        return s;
    case Index::List:
        for (int i : index.list)
            if (i < 0 || i >= n) RaiseIndex(i, place, context);
        s.count = static_cast<int>(index.list.size());
        return s;
    case Index::Range: break;
    }
    int a = index.first, b = index.last;
    if (b == kAllIndex) {
        if (a == 0 && n == 0) return s;  // everything of nothing
        b = n - 1;
    }
    if (b >= n || a < 0 || a >= n || a > b) RaiseRange(index.first, index.last, place, context);
    s.first = a;
    s.count = b - a + 1;
    return s;
}

void RaiseIndex(int index, IndexPlace place, const IndexContext& context) {
    std::string text = PlaceText(std::to_string(Printed(index, context)), place) + InText(context);
    Raise(Err::IndexOutOfRange, text.c_str());
}

void RaiseRange(int first, int last, IndexPlace place, const IndexContext& context) {
    std::string inner = std::to_string(Printed(first, context)) + " : " +
                        std::to_string(last == kAllIndex ? last : Printed(last, context));
    std::string text = PlaceText(inner, place) + InText(context);
    Raise(Err::InvalidRange, text.c_str());
}

}  // namespace zu::run
