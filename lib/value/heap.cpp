#include "value/heap.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

#include <malloc.h>

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

void HeapFree(void* block) { std::free(block); }

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
