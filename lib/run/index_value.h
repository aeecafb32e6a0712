// Index values as the indexing instructions read them, range normalisation
// and the texts of index errors.
#pragma once

#include "zu.h"

#include "run/machine.h"

#include <span>
#include <string>
#include <vector>

namespace zu::run {

// What one pair of brackets selects.
struct Index {
    enum Kind { Single, List, Range } kind = Single;
    int single = 0;             // Single: the index
    std::span<const int> list;  // List: the indices (storage elsewhere)
    int first = 0;              // Range: first index
    int last = kAllIndex;       // Range: last index, kAllIndex for "to the end"

    bool all() const { return kind == Range && first == 0 && last == kAllIndex; }
};

// Where a failing index stood, for the error texts.
enum class IndexPlace { Only, Row, Column };

// The context of one indexed access: the indexed value (described in error
// texts) and the base the texts add to printed indices (1 in the Gauss
// mode's base-1 accesses).
struct IndexContext {
    const ZuVALUE* indexed = nullptr;
    int printBase = 0;
};

// Reads an index value.  A matrix index lists its truncated elements in
// `storage`; a vector index is materialised first.  False for a type that
// is no index (the caller raises its error).
bool ReadIndex(ZuVALUE* index, Index& out, std::vector<int>& storage);

// The index of a vector record (its words 4 and 5).
Index VectorIndex(const ZuVALUE* v);

// A run of `count` positions starting at `first` (Range), or the listed
// positions (List), or one position; all checked against the size n.
struct Selection {
    Index index;
    int first = 0;
    int count = 0;
    int at(int k) const {
        switch (index.kind) {
        case Index::Single: return index.single;
        case Index::List: return index.list[static_cast<std::size_t>(k)];
        case Index::Range: break;
        }
        return first + k;
    }
};

// Checks an index against a dimension of size n (error 15 or 31 with the
// texts of the place) and gives its selection.
Selection Select(const Index& index, int n, IndexPlace place, const IndexContext& context);

// Error 15 for one index, error 31 for a range, with the index text.
[[noreturn]] void RaiseIndex(int index, IndexPlace place, const IndexContext& context);
[[noreturn]] void RaiseRange(int first, int last, IndexPlace place, const IndexContext& context);

}  // namespace zu::run
