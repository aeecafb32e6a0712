// Heap allocation for the value layer.
//
// Every block that a value record, a matrix or a plain table owns comes from
// the C heap, because records cross the C interface and extension libraries
// free strings and tables with free().  All allocations of this folder go
// through these wrappers so that a test can make them fail on demand and walk
// the "out of memory" paths.
#ifndef ZU_VALUE_HEAP_H
#define ZU_VALUE_HEAP_H

#include <cstddef>

namespace zu::value {

// malloc and calloc; null when memory runs out (or the test switch says so).
[[nodiscard]] void* HeapAlloc(std::size_t bytes);
[[nodiscard]] void* HeapCalloc(std::size_t count, std::size_t size);
void HeapFree(void* block);

// malloc for a block that the caller fills at once, such as a matrix result.
// A large block new from the system is faulted in with one call: a column
// of a million rows would otherwise take 2000 page faults for its data and
// as many for its row table, a tenth of the time of an element operator on
// it.
[[nodiscard]] void* HeapAllocWritten(std::size_t bytes);

// realloc: the block moved or grown to `bytes`; null when memory runs out,
// with the old block left as it was.
[[nodiscard]] void* HeapResize(void* block, std::size_t bytes);

// The bytes a block from these allocators can hold (at least what was asked
// for; the C heap rounds requests up).  0 for a null block.
[[nodiscard]] std::size_t HeapCapacity(void* block);

// count * size in bytes when both are non-negative and count * size
// elements stay within int; false otherwise (an overflowing request is
// treated like a failed allocation).
[[nodiscard]] bool ElementCount(int count, int size, int* product);

// Owner of a block from HeapAlloc or HeapCalloc.
struct HeapDeleter {
    void operator()(void* block) const { HeapFree(block); }
};

namespace testing {
// Let the next `successes` allocations succeed and fail every one after
// them; a negative value switches the failures off again.
void FailAllocationsAfter(int successes);
}  // namespace testing

}  // namespace zu::value

#endif
