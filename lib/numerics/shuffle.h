// Random permutations by Fisher-Yates over the current uniform generator.
#pragma once

namespace zu::numerics {

// The first k entries of a random permutation of 0 .. n-1 into idx:
// step i swaps entry i with an entry drawn from i .. n-1 by one uniform
// of the current generator, so k steps take exactly k uniforms.  Memory
// grows with k, not n.  0 on success, 1 for k outside 0 .. n or when
// memory ran out.
int RanShuffle(int* idx, int k, int n);

}  // namespace zu::numerics
