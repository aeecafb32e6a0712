#include "value/heap.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

namespace zu::value {
namespace {

// Allocations still allowed before the test switch fails them; -1 is off.
int allocationsLeft = -1;

bool AllocationRefused() {
    if (allocationsLeft < 0) return false;
    if (allocationsLeft == 0) return true;
    --allocationsLeft;
    return false;
}

// Large blocks freed recently, kept for the next requests of about their
// size.  A matrix expression makes and drops temporaries of one shape again
// and again; handing those back to the system and faulting them in afresh
// costs more than the arithmetic on them.  Bounded in count and bytes, and
// emptied whenever an allocation fails.
constexpr std::size_t kLarge = std::size_t{4} << 20;
constexpr std::size_t kReserveBytes = std::size_t{512} << 20;

struct Reserved {
    void* block = nullptr;
    std::size_t size = 0;  // usable bytes
};

// Kept blocks fill the first `used` slots, oldest first.
class Reserve {
public:
    // A kept block of at least `wanted` usable bytes and at most an eighth
    // more, or null.
    void* Take(std::size_t wanted) {
        const std::size_t slack = wanted / 8;
        std::size_t best = used;
        for (std::size_t k = 0; k < used; ++k)
            if (slots[k].size >= wanted && slots[k].size - wanted <= slack &&
                (best == used || slots[k].size < slots[best].size))
                best = k;
        if (best == used) return nullptr;
        void* block = slots[best].block;
        bytes -= slots[best].size;
        std::move(slots.begin() + static_cast<std::ptrdiff_t>(best) + 1,
                  slots.begin() + static_cast<std::ptrdiff_t>(used), slots.begin() + static_cast<std::ptrdiff_t>(best));
        slots[--used] = Reserved{};
        return block;
    }

    // Keeps the block when it is large, making room by freeing the oldest
    // kept blocks; false when it is not kept.
    bool Keep(void* block) {
        const std::size_t size = malloc_usable_size(block);
        if (size < kLarge || size > kReserveBytes) return false;
        while (used == slots.size() || bytes + size > kReserveBytes) DropOldest();
        slots[used++] = Reserved{block, size};
        bytes += size;
        return true;
    }

    void Clear() {
        while (used > 0) DropOldest();
    }

private:
    std::array<Reserved, 8> slots{};
    std::size_t used = 0;
    std::size_t bytes = 0;

    void DropOldest() {
        std::free(slots[0].block);
        bytes -= slots[0].size;
        std::move(slots.begin() + 1, slots.begin() + static_cast<std::ptrdiff_t>(used), slots.begin());
        slots[--used] = Reserved{};
    }
};

Reserve reserve;

#ifdef MADV_POPULATE_WRITE
constexpr int kPopulateWrite = MADV_POPULATE_WRITE;
#else
constexpr int kPopulateWrite = 23;  // Linux 5.14 and later
#endif

// malloc, and once more after the kept blocks are given back.
template <class Allocate>
void* Retrying(Allocate allocate) {
    if (void* block = allocate()) return block;
    reserve.Clear();
    return allocate();
}

// Faults in the whole pages inside a block: the bytes before and after it
// may belong to the heap's own records.  Kernels without the advice refuse
// it, and the block is then faulted in page by page as before.
void FaultIn(void* block, std::size_t bytes) {
    static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (start + page - 1) & ~(page - 1), last = (start + bytes) & ~(page - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, kPopulateWrite);
}

// A large request is served from the kept blocks first, which are resident
// already; a new large block is faulted in when the caller fills it at once.
void* Allocate(std::size_t bytes, bool filledAtOnce) {
    if (AllocationRefused()) return nullptr;
    if (bytes < kLarge) return Retrying([bytes] { return std::malloc(bytes == 0 ? 1 : bytes); });
    if (void* block = reserve.Take(bytes)) return block;
    void* block = Retrying([bytes] { return std::malloc(bytes); });
    if (block != nullptr && filledAtOnce) FaultIn(block, bytes);
    return block;
}

}  // namespace

void* HeapAlloc(std::size_t bytes) { return Allocate(bytes, false); }

void* HeapAllocWritten(std::size_t bytes) { return Allocate(bytes, true); }

void* HeapCalloc(std::size_t count, std::size_t size) {
    if (AllocationRefused()) return nullptr;
    return Retrying([count, size] { return std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size); });
}

void HeapFree(void* block) {
    if (block != nullptr && !reserve.Keep(block)) std::free(block);
}

void* HeapResize(void* block, std::size_t bytes) {
    if (AllocationRefused()) return nullptr;
    return std::realloc(block, bytes == 0 ? 1 : bytes);
}

std::size_t HeapCapacity(void* block) { return block == nullptr ? 0 : malloc_usable_size(block); }

bool ElementCount(int count, int size, int* product) {
    if (count < 0 || size < 0) return false;
    const std::int64_t n = std::int64_t{count} * size;
    if (n > INT_MAX) return false;
    *product = static_cast<int>(n);
    return true;
}

namespace testing {
void FailAllocationsAfter(int successes) { allocationsLeft = successes < 0 ? -1 : successes; }
}  // namespace testing

}  // namespace zu::value
