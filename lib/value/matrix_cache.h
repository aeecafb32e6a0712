// The matrix cache: blocks handed back with CMatFree are parked by shape
// and handed out again by the next CMatAlloc of the same shape.  The
// exported control routines are declared in zu.h; the counters are read
// here by tests and by nothing else.
#ifndef ZU_VALUE_MATRIX_CACHE_H
#define ZU_VALUE_MATRIX_CACHE_H

#include <cstdint>

namespace zu::value {

// The most entries a cache may have: the lookup is a linear scan, and the
// size comes from the command line.
inline constexpr int kMaxCacheEntries = 4096;

struct CacheCounters {
    int capacity;          // entries, as the status report shows them
    int limit;             // element limit, as the report shows it
    std::int64_t hits;     // allocations served from an entry
    std::int64_t misses;   // cacheable allocations that found no entry
    std::int64_t flushes;  // entries evicted to make room
    std::int64_t skipped;  // allocations and frees that bypass the cache
    int remembered;        // entry emptied by the last hit, or -1
    int stored;            // entries holding a block now
};

[[nodiscard]] CacheCounters GetCacheCounters();

}  // namespace zu::value

#endif
