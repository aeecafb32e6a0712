// The matrix cache.
//
// An entry is empty when its rows and columns are both 0.  Every block
// stored gets a rising stamp; when no entry is free the one stored longest
// ago is evicted.  A hit remembers the entry it emptied, so the free that
// usually follows (a temporary of the same shape being dropped) takes that
// entry without a scan.
#include "value/matrix_cache.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <memory>

#include "value/heap.h"
#include "zu.h"

namespace zu::value {
namespace {

struct Entry {
    double** block = nullptr;
    int rows = 0;
    int columns = 0;
    std::uint64_t stamp = 0;
};

struct Cache {
    int requestedSize = 16;  // SetMatCacheSize: used by the next init
    int requestedLimit = 1000;
    int size = 0;                                   // active entries; 0 with limit 0 is "off"
    int limit = 0;                                  // blocks of limit or more elements bypass
    std::unique_ptr<Entry[], HeapDeleter> entries;  // zeroed: all empty
    int remembered = -1;
    std::uint64_t nextStamp = 0;
    int shownSize = 0;  // capacity and limit of the status report
    int shownLimit = 0;
    std::int64_t hits = 0, misses = 0, flushes = 0, skipped = 0;
};

Cache cache;

// r * c >= limit, in 64 bits so that no product overflows.
bool Bypasses(int r, int c) { return r <= 0 || c < 0 || std::int64_t{r} * c >= cache.limit; }

bool IsEmpty(const Entry& e) { return e.rows == 0 && e.columns == 0; }

int ChooseEntry() {
    if (cache.remembered >= 0 && cache.remembered < cache.size && IsEmpty(cache.entries[cache.remembered])) {
        const int k = cache.remembered;
        cache.remembered = -1;
        return k;
    }
    cache.remembered = -1;
    int oldest = 0;
    for (int k = 0; k < cache.size; ++k) {
        if (IsEmpty(cache.entries[k])) return k;
        if (cache.entries[k].stamp < cache.entries[oldest].stamp) oldest = k;
    }
    MatFreeBlock(cache.entries[oldest].block);
    cache.entries[oldest] = Entry{};
    ++cache.flushes;
    return oldest;
}

}  // namespace

CacheCounters GetCacheCounters() {
    int stored = 0;
    for (int k = 0; k < cache.size; ++k) stored += IsEmpty(cache.entries[k]) ? 0 : 1;
    return {cache.shownSize, cache.shownLimit, cache.hits,       cache.misses,
            cache.flushes,   cache.skipped,    cache.remembered, stored};
}

}  // namespace zu::value

using zu::value::cache;

extern "C" void SetMatCacheSize(int entries, int maxsize) {
    const bool on = entries > 0 && maxsize > 0;
    cache.requestedSize = on ? std::min(entries, zu::value::kMaxCacheEntries) : 0;
    cache.requestedLimit = on ? maxsize : 0;
}

extern "C" void MatCacheInit(void) {
    MatCacheExit();
    cache.size = cache.requestedSize;
    cache.limit = cache.requestedLimit;
    if (cache.size > 0) {
        cache.entries.reset(static_cast<zu::value::Entry*>(
            zu::value::HeapCalloc(static_cast<std::size_t>(cache.size), sizeof(zu::value::Entry))));
        if (!cache.entries) cache.size = cache.limit = 0;
    }
    cache.remembered = -1;
    cache.hits = cache.misses = cache.flushes = cache.skipped = 0;
    cache.shownSize = cache.size;
    cache.shownLimit = cache.limit;
}

extern "C" void MatCacheFlush(void) {
    for (int k = 0; k < cache.size; ++k) {
        zu::value::Entry& e = cache.entries[k];
        if (!zu::value::IsEmpty(e)) MatFreeBlock(e.block);
        e = zu::value::Entry{};
    }
    cache.remembered = cache.size > 0 ? 0 : -1;
}

extern "C" void MatCacheExit(void) {
    MatCacheFlush();
    cache.entries.reset();
    cache.size = cache.limit = 0;
    cache.remembered = -1;
}

extern "C" void MatCacheStatus(void) {
    std::printf("\nCache status: size %d limit %d hits %" PRId64 " misses %" PRId64 " flushes %" PRId64
                " skipped %" PRId64 "\n",
                cache.shownSize, cache.shownLimit, cache.hits, cache.misses, cache.flushes, cache.skipped);
}

extern "C" double** CMatAlloc(int r, int c) {
    if (zu::value::Bypasses(r, c)) {
        ++cache.skipped;
        return MatAllocBlock(r, c);
    }
    for (int k = 0; k < cache.size; ++k) {
        zu::value::Entry& e = cache.entries[k];
        if (e.rows == r && e.columns == c) {
            double** block = e.block;
            e = zu::value::Entry{};
            cache.remembered = k;
            ++cache.hits;
            return block;
        }
    }
    ++cache.misses;
    return MatAllocBlock(r, c);
}

extern "C" void CMatFree(double** m, int r, int c) {
    if (m == nullptr) return;
    if (zu::value::Bypasses(r, c)) {
        MatFreeBlock(m);
        return;
    }
    const int k = zu::value::ChooseEntry();
    cache.entries[k] = zu::value::Entry{m, r, c, ++cache.nextStamp};
}
