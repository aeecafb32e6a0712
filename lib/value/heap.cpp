#include "value/heap.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>

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

}  // namespace

void* HeapAlloc(std::size_t bytes) {
    if (AllocationRefused()) return nullptr;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void* HeapCalloc(std::size_t count, std::size_t size) {
    if (AllocationRefused()) return nullptr;
    return std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size);
}

void* HeapAllocElements(std::size_t bytes) {
    // Below a few huge pages the alignment would waste more than it saves.
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    constexpr std::size_t kLarge = 4 * kHugePage;
    if (bytes < kLarge) return HeapAlloc(bytes);
    if (AllocationRefused()) return nullptr;
    void* block = nullptr;
    if (posix_memalign(&block, kHugePage, bytes) != 0) return nullptr;
    // Only advice: where the kernel has no huge pages the block works as is.
    (void)madvise(block, bytes & ~(kHugePage - 1), MADV_HUGEPAGE);
    return block;
}

void HeapFree(void* block) { std::free(block); }

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
