// Link errors: the message table, the report and the error count.
#include "value/link_error.h"

#include <array>
#include <string>

#include "zu.h"

namespace zu::value {
namespace {

constexpr std::array kMessages = {
#define ZU_LINK_ERROR(code, name, message) std::string_view{message},
#include "value/link_errors.def"
#undef ZU_LINK_ERROR
};

// The table is indexed by code, so its entries must be in code order.
constexpr bool InCodeOrder() {
    int expected = 0;
#define ZU_LINK_ERROR(code, name, message) \
    if ((code) != expected++) return false;
#include "value/link_errors.def"
#undef ZU_LINK_ERROR
    return true;
}
static_assert(InCodeOrder(), "link_errors.def must list the codes 0, 1, 2, ... in order");

int linkErrors = 0;

}  // namespace

std::string_view LinkErrorMessage(int code) {
    if (code < 0 || static_cast<std::size_t>(code) >= kMessages.size()) return {};
    return kMessages[static_cast<std::size_t>(code)];
}

void ReportLinkError(LinkError code, const char* text) { ZuLinkError(static_cast<int>(code), text); }

}  // namespace zu::value

extern "C" void ZuLinkError(int code, const char* text) {
    std::string line = "Link error: ";
    if (text != nullptr && text[0] != '\0') {
        line += '\'';
        line += text;
        line += "' ";
    }
    const std::string_view message = zu::value::LinkErrorMessage(code);
    if (message.empty()) {
        line += "code " + std::to_string(code);
    } else {
        line += message;
    }
    ZuCompileMessage(line.c_str(), 0);
    if (code == static_cast<int>(zu::value::LinkError::kOutOfMemory)) ZuFatalError();
    ++zu::value::linkErrors;
}

extern "C" void ZuResetLinkErrors(void) { zu::value::linkErrors = 0; }

extern "C" int IZuGetLinkErrors(void) { return zu::value::linkErrors; }
