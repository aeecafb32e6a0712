// ZuFreeByValue and the hand-over of blocks that live records still show.
#include "value/shared_blocks.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <vector>

#include "value/value.h"

namespace zu::value {
namespace {

LiveRecords liveRecords = nullptr;

bool IsIndexArray(const ZuVALUE* v) { return TypeCode(v) == ZU_ARRAY && HasFlag(v, ZU_FLAG_IDX) && !IsAddress(v); }

// The heap block a record's words point at, by which two records share
// data; null for records without one (scalars, addresses, empty values).
const void* BlockOf(const ZuVALUE* v) {
    if (IsNul(v)) return nullptr;
    switch (TypeCode(v)) {
    case ZU_STRING: return v->w2.s;
    case ZU_MATRIX: return v->w3.m;
    case ZU_ARRAY: return IsAddress(v) ? nullptr : v->w2.v;
    case ZU_FUNCTION: return HasFlag(v, ZU_FLAG_MEM) ? v->w4.p : nullptr;
    default: return nullptr;
    }
}

bool SameBlock(const ZuVALUE* copy, const ZuVALUE* owner) {
    return TypeCode(copy) == TypeCode(owner) && BlockOf(copy) == BlockOf(owner);
}

// The elements an array owns (none for addresses and index arrays).
std::span<ZuVALUE> OwnedElements(const ZuVALUE* v) {
    if (TypeCode(v) != ZU_ARRAY || IsNul(v) || IsAddress(v) || IsIndexArray(v) || v->w2.v == nullptr || v->w1.i < 1) {
        return {};
    }
    return {v->w2.v, static_cast<std::size_t>(v->w1.i)};
}

// Leaves v owning nothing, its words as after a free, without freeing: the
// way out when the blocks cannot be freed safely.
void Forget(ZuVALUE* v) {
    ZuVALUE cleared{};
    cleared.t = v->t & ~ZU_FLAG_VAL;
    *v = cleared;
}

// Most live records are scalars or owners: those are passed by with a look
// at the type word alone.
bool ShowsBlocks(const ZuVALUE& record) {
    const int type = record.t & ZU_TYPE_MASK;
    if (type == ZU_INT || type == ZU_DOUBLE) return false;
    if (record.t & ZU_FLAG_VAL) return IsIndexArray(&record);
    return IsIndexArray(&record) || BlockOf(&record) != nullptr;
}

// The records among the settled part of the live stack that showed blocks
// at the last look, deepest first; they are looked at again as they are
// now, so one that has since taken a block over is passed by.
struct SettledCopies {
    std::vector<ZuVALUE*> records;
    const ZuVALUE* base = nullptr;
    std::size_t scanned = 0;  // records looked at, from the base

    // Brings the list up to the settled records of `live`, after
    // DropChanged; false when memory runs out (the list is then empty and
    // `scanned` 0).
    bool Extend(const LiveStack& live) {
        try {
            for (std::size_t k = scanned; k < live.settled; ++k) {
                if (ShowsBlocks(live.records[k])) records.push_back(&live.records[k]);
            }
        } catch (const std::bad_alloc&) {
            records.clear();
            scanned = 0;
            return false;
        }
        scanned = live.settled;
        return true;
    }

    // Drops what the records of `live` that changed since the last look
    // showed then; the number of records still known.  Every look at the
    // live stack passes here, since each one starts a new "since".
    std::size_t DropChanged(const LiveStack& live) {
        const std::size_t keep = live.records.data() == base ? std::min({scanned, live.unchanged, live.settled}) : 0;
        const ZuVALUE* end = live.records.data() + keep;
        while (!records.empty() && records.back() >= end) records.pop_back();
        if (keep == 0) records.clear();
        base = live.records.data();
        scanned = keep;
        return keep;
    }
};

SettledCopies settledCopies;

}  // namespace

void SetLiveRecords(LiveRecords view) {
    liveRecords = view;
    settledCopies = SettledCopies{};
}

// The live records that show blocks without owning them, deepest first:
// shallow copies (records without the val flag) and index arrays, whose
// elements always refer into another array.  Those of the settled part
// come from the list kept between frees; the rest, the running function's
// own records, are looked at each time.
class LiveCopies {
public:
    LiveCopies(std::span<ZuVALUE* const> settled, std::span<ZuVALUE> running) : settled_(settled), running_(running) {
        for (const ZuVALUE* record : settled_) Note(*record);
        for (const ZuVALUE& record : running_) Note(record);
    }

    bool Empty() const { return !anyCopy_; }
    bool HasIndexArrays() const { return anyIndexArray_; }

    // The deepest copy of the owner's block becomes its owner: it lives
    // longest, and the copies above it are gone before it is.
    bool HandOver(const ZuVALUE* owner) {
        for (ZuVALUE* record : settled_) {
            if (Take(record, owner)) return true;
        }
        for (ZuVALUE& record : running_) {
            if (Take(&record, owner)) return true;
        }
        return false;
    }

    // An index array cannot own the elements it shows, so one that shows
    // any block of v (v's own or an element's, at any depth) gets copies of
    // all its elements now, while every block is still whole.  False when
    // memory runs out for them.
    bool DetachIndexArrays(const ZuVALUE* v) {
        std::vector<ZuVALUE*> arrays;
        std::vector<const void*> shown;
        try {
            auto note = [&](ZuVALUE* record) {
                if (!IsIndexArray(record) || record->w2.v == nullptr) return;
                arrays.push_back(record);
                for (int k = 0; k < record->w1.i; ++k) {
                    if (const void* block = BlockOf(&record->w2.v[k])) shown.push_back(block);
                }
            };
            for (ZuVALUE* record : settled_) note(record);
            for (ZuVALUE& record : running_) note(&record);
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (shown.empty()) return true;
        std::sort(shown.begin(), shown.end());
        if (!ShowsAny(shown, v)) return true;
        // From the top down: a shallow copy of an index array shares its
        // element table, which the owning one below frees when it is made
        // independent.
        for (auto it = arrays.rbegin(); it != arrays.rend(); ++it) {
            ZuVALUE* record = *it;
            if (!ShowsAnyOf(record, v)) continue;
            if (!TryMakeIndexArrayByValue(record)) return false;
        }
        return true;
    }

private:
    void Note(const ZuVALUE& record) {
        if (!ShowsBlocks(record)) return;
        anyCopy_ = true;
        anyIndexArray_ = anyIndexArray_ || IsIndexArray(&record);
    }

    static bool Take(ZuVALUE* copy, const ZuVALUE* owner) {
        if (HasFlag(copy, ZU_FLAG_VAL) || !SameBlock(copy, owner)) return false;
        copy->t |= ZU_FLAG_VAL;
        return true;
    }

    // Whether a block of v's tree is among the sorted blocks `shown`.
    static bool ShowsAny(const std::vector<const void*>& shown, const ZuVALUE* v) {
        const void* block = BlockOf(v);
        if (block != nullptr && std::binary_search(shown.begin(), shown.end(), block)) return true;
        for (const ZuVALUE& element : OwnedElements(v)) {
            if (ShowsAny(shown, &element)) return true;
        }
        return false;
    }

    // Whether an element of the index array shows a block of v's tree.
    static bool ShowsAnyOf(const ZuVALUE* indexArray, const ZuVALUE* v) {
        for (int k = 0; k < indexArray->w1.i; ++k) {
            if (InTree(&indexArray->w2.v[k], v)) return true;
        }
        return false;
    }

    static bool InTree(const ZuVALUE* element, const ZuVALUE* v) {
        if (BlockOf(element) == nullptr) return false;
        if (SameBlock(element, v)) return true;
        for (const ZuVALUE& inner : OwnedElements(v)) {
            if (InTree(element, &inner)) return true;
        }
        return false;
    }

    std::span<ZuVALUE* const> settled_;
    std::span<ZuVALUE> running_;
    bool anyCopy_ = false;
    bool anyIndexArray_ = false;
};

bool HandOver(LiveCopies& copies, const ZuVALUE* v) { return copies.HandOver(v); }

}  // namespace zu::value

extern "C" void ZuFreeByValue(ZuVALUE* v) {
    using namespace zu::value;
    if (v == nullptr || !HasFlag(v, ZU_FLAG_VAL) || BlockOf(v) == nullptr || liveRecords == nullptr) {
        FreeByValueUnless(v, nullptr);
        return;
    }
    // The list is kept only by the outermost free: one made inside it
    // (while an index array is copied) looks at every record.
    static bool inFree = false;
    const bool outermost = !inFree;
    LiveStack live = liveRecords();
    settledCopies.DropChanged(live);
    std::span<ZuVALUE* const> settled;
    std::span<ZuVALUE> running = live.records;
    const ZuVALUE* first = live.records.data();
    if (!live.records.empty() && v >= first && v < first + live.records.size()) {
        // A record on the live stack got its blocks after everything below
        // it was pushed: only the records above it can show them.
        running = live.records.subspan(static_cast<std::size_t>(v - first) + 1);
    } else if (outermost && settledCopies.Extend(live)) {
        settled = settledCopies.records;
        running = live.records.subspan(live.settled);
    }
    inFree = true;
    LiveCopies copies(settled, running);
    if (copies.HasIndexArrays() && !copies.DetachIndexArrays(v)) {
        Forget(v);
    } else {
        FreeByValueUnless(v, copies.Empty() ? nullptr : &copies);
    }
    inFree = !outermost;
}
