// The codes of the run-time errors, from run_errors.def, for every folder
// that reports one through ZuRunError.  The texts are the run loop's.
#pragma once

#include "zu.h"

namespace zu {

enum class RunErrorCode : int {
#define ZU_RUN_ERROR(code, name, text) name = code,
#include "console/run_errors.def"
};

constexpr int ErrorNumber(RunErrorCode code) { return static_cast<int>(code); }

// ZuRunError with a code of the table.  Inside a run it does not return.
inline void ReportRunError(RunErrorCode code, const char* text = nullptr) { ZuRunError(ErrorNumber(code), text); }

}  // namespace zu
