// The two Gauss function tables, as data in registration order.
#pragma once

#include <span>

#include "value/function_table.h"

namespace zu::gauss {

using value::LibraryFunction;

// The entries of ZuAddGaussStdLib and ZuAddGaussStdIOLib.  A function
// joins its list once its routine computes its result.
std::span<const LibraryFunction> GaussStdLibList();
std::span<const LibraryFunction> GaussStdIOLibList();

}  // namespace zu::gauss

extern "C" {
void ZuAddGaussStdLib(void);
void ZuAddGaussStdIOLib(void);
}
