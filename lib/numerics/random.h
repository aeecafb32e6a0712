// Internals shared by the random draws.
#pragma once

#include "zu.h"

namespace zu::numerics {

// Rejection loops give up after this many tries and return NaN: valid
// parameters accept within a few tries, so only a broken host generator
// or a numerical breakdown can get there.
inline constexpr long kMaxRejections = 10000000;

// One polar-method pair of independent standard normals, drawn from the
// current uniform generator without touching the normal store.
void PolarPair(double* first, double* second);

}  // namespace zu::numerics
