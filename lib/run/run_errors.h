// The run-time message table and the reports built on it.
#pragma once

#include "console/run_error_codes.h"

#include <string_view>

namespace zu::run {

using Err = RunErrorCode;

inline constexpr int kWarningBase = 60;  // warnings index the table from here
inline constexpr int kMessageCount = 66;

// The text of a code of the table; empty outside it.
std::string_view RunMessage(int code);

[[noreturn]] void Raise(Err code, const char* text = nullptr);

}  // namespace zu::run
