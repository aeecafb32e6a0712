// The registration lists of the built-in function tables.
#ifndef ZU_STDLIB_REGISTRATION_H
#define ZU_STDLIB_REGISTRATION_H

#include <span>

#include "zu.h"

namespace zu::stdlib {

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

}  // namespace zu::stdlib

extern "C" {
void ZuAddStdLib(void);
void ZuAddStdIOLib(void);
void ZuAddArmaLib(void);
void ZuAddProbLib(void);
}

#endif
