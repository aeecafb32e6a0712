// Random permutations.
#include "numerics/shuffle.h"

#include <new>
#include <unordered_map>

#include "numerics/dense.h"
#include "zu.h"

namespace zu::numerics {
namespace {

// An index drawn from i .. n-1; the bound guards a uniform that rounds up
// to 1.
int Pick(int i, int n) {
    const int j = i + static_cast<int>((n - i) * DRanU());
    return j < n ? j : n - 1;
}

// Fisher-Yates over the whole array 0 .. n-1.
bool ShuffleDense(int* idx, int k, int n) {
    ScratchOf<int> all;
    if (!all.Allocate(static_cast<std::size_t>(n))) return false;
    int* a = all.data();
    for (int i = 0; i < n; ++i) a[i] = i;
    for (int i = 0; i < k; ++i) {
        const int j = Pick(i, n), ai = a[i];
        a[i] = a[j];
        a[j] = ai;
        idx[i] = a[i];
    }
    return true;
}

// The same steps over an array that is mostly untouched: only the moved
// entries are kept, an absent entry holds its own index.
bool ShuffleSparse(int* idx, int k, int n) {
    try {
        std::unordered_map<int, int> moved;
        moved.reserve(static_cast<std::size_t>(k) * 2);
        const auto entry = [&moved](int i) {
            const auto it = moved.find(i);
            return it == moved.end() ? i : it->second;
        };
        for (int i = 0; i < k; ++i) {
            const int j = Pick(i, n), ai = entry(i);
            idx[i] = entry(j);
            moved[j] = ai;
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

int RanShuffle(int* idx, int k, int n) {
    if (idx == nullptr || k < 0 || k > n) return 1;
    // The whole array only while it is small beside the result.
    const bool dense = n <= 4LL * k + 64;
    return (dense ? ShuffleDense(idx, k, n) : ShuffleSparse(idx, k, n)) ? 0 : 1;
}

}  // namespace zu::numerics
