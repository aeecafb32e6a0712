// Recovery points of the engine.
#pragma once

#include "zu.h"

namespace zu::run {

// Runs the loop from vm.cp under a recovery point.  With `expected` the
// run succeeds only when it ends with sp there (else "IE: Stack error"),
// and the entries above it are freed in every case.  False after a
// run-time error.
bool GuardedRun(ZuVALUE* expected);

}  // namespace zu::run
