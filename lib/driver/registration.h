// The registration lists of the built-in function tables.
#ifndef ZU_DRIVER_REGISTRATION_H
#define ZU_DRIVER_REGISTRATION_H

#include <span>

#include "value/function_table.h"
#include "zu.h"

namespace zu::driver {

using value::LibraryFunction;

// The lists in registration order, one per registration function.  A
// function joins its list once its routine computes its result.
std::span<const LibraryFunction> StdLibList();
std::span<const LibraryFunction> StdIOLibList();
std::span<const LibraryFunction> ArmaLibList();
std::span<const LibraryFunction> ProbLibList();

}  // namespace zu::driver


#endif
