// The registration lists of the built-in function tables.
#ifndef ZU_DRIVER_REGISTRATION_H
#define ZU_DRIVER_REGISTRATION_H

#include <span>

#include "zu.h"

namespace zu::driver {

// One function of a table: its declaration ("cc$name": one 'c' per
// argument), its routine and whether it takes that many arguments or more.
struct LibraryFunction {
    const char* declaration;
    ZuLIBFUNC routine;
    bool atLeast;
};

// The lists in registration order, one per registration function.  A
// function joins its list once its routine computes its result.
std::span<const LibraryFunction> StdLibList();
std::span<const LibraryFunction> StdIOLibList();
std::span<const LibraryFunction> ArmaLibList();
std::span<const LibraryFunction> ProbLibList();
std::span<const LibraryFunction> GaussStdLibList();
std::span<const LibraryFunction> GaussStdIOLibList();

}  // namespace zu::driver


#endif
