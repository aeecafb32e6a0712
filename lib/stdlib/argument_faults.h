// Argument checks shared by the matrix-manipulation routines, beyond the
// type checks of the library interface: faults that name the function,
// what is wrong and the argument, as "dropc(): index 3 out of range for 3
// columns in argument 2".
#pragma once

#include "zu.h"
#include "console/run_error_codes.h"

#include <string>

namespace zu::stdlib {

inline constexpr int kArgumentError = ErrorNumber(RunErrorCode::Argument);
inline constexpr int kArgumentSizeError = ErrorNumber(RunErrorCode::ArgumentSize);

// Reports "name(): text in argument n + 1" and raises the run-time error
// `code`; false for the caller to return.
bool ArgumentFault(int n, const std::string& text, int code = kArgumentError);

// "1 row", "3 rows" from the plural noun.
std::string Counted(int n, const std::string& plural);

// Argument k converted to a matrix / to an int by the interface's checks;
// false after a report that returned.
bool MatrixArg(ZuVALUE* pv, int k);
bool IntArg(ZuVALUE* pv, int k, int* out);

}  // namespace zu::stdlib
