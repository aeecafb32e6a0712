// Link-error codes for the callers of ZuLinkError (compiler, object files,
// the linker and the function table).
#ifndef ZU_VALUE_LINK_ERROR_H
#define ZU_VALUE_LINK_ERROR_H

#include <string_view>

namespace zu::value {

enum class LinkError : int {
#define ZU_LINK_ERROR(code, name, message) k##name = code,
#include "value/link_errors.def"
#undef ZU_LINK_ERROR
};

// The message of a code; empty for a code outside the table.
[[nodiscard]] std::string_view LinkErrorMessage(int code);

// ZuLinkError with a typed code.
void ReportLinkError(LinkError code, const char* text);

}  // namespace zu::value

#endif
