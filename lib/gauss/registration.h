// The two Gauss function tables, as data in registration order.
#pragma once

#include <span>

#include "stdlib/registration.h"

namespace zu::gauss {

using stdlib::LibraryFunction;

// The entries of ZuAddGaussStdLib and ZuAddGaussStdIOLib.  A function
// joins its list once its routine computes its result.
std::span<const LibraryFunction> GaussStdLibList();
std::span<const LibraryFunction> GaussStdIOLibList();
// The printing entries of the input/output table (print_library.cpp).
std::span<const LibraryFunction> GaussPrintList();

}  // namespace zu::gauss

extern "C" {
void ZuAddGaussStdLib(void);
void ZuAddGaussStdIOLib(void);
}
