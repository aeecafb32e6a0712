// Internals shared by the random draws.
#pragma once

#include "zu.h"

namespace zu::numerics {

// One polar-method pair of independent standard normals, drawn from the
// current uniform generator without touching the normal store.
void PolarPair(double* first, double* second);

}  // namespace zu::numerics
