// ZuFreeByValue and the hand-over of blocks that live records still show.
#include "value/shared_blocks.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <new>
#include <ranges>
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

}  // namespace

void SetLiveRecords(LiveRecords view) { liveRecords = view; }

// The live records that show blocks without owning them, deepest first:
// shallow copies (records without the val flag) and index arrays, whose
// elements always refer into another array.  There are few of them, so
// they are gathered once per free; when there are more than the table
// holds, every look walks the live records again.
class LiveCopies {
public:
    explicit LiveCopies(std::span<ZuVALUE> live) : live_(live) { Gather(); }

    bool Empty() const { return count_ == 0 && !overflow_; }
    bool HasIndexArrays() const { return hasIndexArrays_; }

    // The deepest copy of the owner's block becomes its owner: it lives
    // longest, and the copies above it are gone before it is.
    bool HandOver(const ZuVALUE* owner) {
        if (overflow_) {
            for (ZuVALUE& record : live_) {
                if (Take(&record, owner)) return true;
            }
            return false;
        }
        for (std::size_t k = 0; k < count_; ++k) {
            if (Take(copies_[k], owner)) return true;
        }
        return false;
    }

    // An index array cannot own the elements it shows, so one that shows
    // any block of v (v's own or an element's, at any depth) gets copies of
    // all its elements now, while every block is still whole.  False when
    // memory runs out for them.
    bool DetachIndexArrays(const ZuVALUE* v) {
        std::vector<const void*> shown;
        try {
            for (ZuVALUE& record : live_) {
                if (!IsIndexArray(&record) || record.w2.v == nullptr) continue;
                for (int k = 0; k < record.w1.i; ++k) {
                    if (const void* block = BlockOf(&record.w2.v[k])) shown.push_back(block);
                }
            }
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (shown.empty()) return true;
        std::sort(shown.begin(), shown.end());
        if (!ShowsAny(shown, v)) return true;
        // From the top down: a shallow copy of an index array shares its
        // element table, which the owning one below frees when it is made
        // independent.
        for (ZuVALUE& record : live_ | std::views::reverse) {
            if (!IsIndexArray(&record) || !ShowsAnyOf(&record, v)) continue;
            if (!TryMakeIndexArrayByValue(&record)) return false;
        }
        Gather();
        return true;
    }

private:
    static bool IsCopy(const ZuVALUE& record) { return !HasFlag(&record, ZU_FLAG_VAL) && BlockOf(&record) != nullptr; }

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

    void Gather() {
        count_ = 0;
        overflow_ = false;
        hasIndexArrays_ = false;
        for (ZuVALUE& record : live_) {
            hasIndexArrays_ = hasIndexArrays_ || IsIndexArray(&record);
            if (!IsCopy(record)) continue;
            if (count_ == copies_.size()) {
                overflow_ = true;
                continue;
            }
            copies_[count_++] = &record;
        }
    }

    std::span<ZuVALUE> live_;
    std::array<ZuVALUE*, 32> copies_{};
    std::size_t count_ = 0;
    bool overflow_ = false;
    bool hasIndexArrays_ = false;
};

bool HandOver(LiveCopies& copies, const ZuVALUE* v) { return copies.HandOver(v); }

}  // namespace zu::value

extern "C" void ZuFreeByValue(ZuVALUE* v) {
    using namespace zu::value;
    if (v == nullptr || !HasFlag(v, ZU_FLAG_VAL) || BlockOf(v) == nullptr || liveRecords == nullptr) {
        FreeByValueUnless(v, nullptr);
        return;
    }
    // A record on the live stack got its blocks after everything below it
    // was pushed: only the records above it can show them.
    std::span<ZuVALUE> live = liveRecords();
    if (!live.empty() && v >= live.data() && v < live.data() + live.size()) {
        live = live.subspan(static_cast<std::size_t>(v - live.data()) + 1);
    }
    LiveCopies copies(live);
    if (copies.HasIndexArrays() && !copies.DetachIndexArrays(v)) {
        Forget(v);
        return;
    }
    FreeByValueUnless(v, copies.Empty() ? nullptr : &copies);
}
