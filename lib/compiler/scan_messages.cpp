// Scanner messages: one table (scan_messages.def), one way out.
#include <array>
#include <string>

#include "compiler/scanner.h"
#include "zu.h"

namespace zu::compiler {
namespace {

struct MessageInfo {
    const char* text;
    bool counted;
};

constexpr std::array kMessages{
#define ZU_SCAN_MESSAGE(Name, text, counted) MessageInfo{text, counted},
#include "compiler/scan_messages.def"
};

void Issue(const std::string& line, bool counted) {
    if (counted) ++Scan().errors;
    ZuCompileMessage(line.c_str(), IZuLineNo());
}

const MessageInfo& Info(ScanMessage message) { return kMessages[static_cast<std::size_t>(message)]; }

}  // namespace

void Report(ScanMessage message) { Issue(Info(message).text, Info(message).counted); }

void Report(ScanMessage message, std::string_view attached) { Report(message, attached, Info(message).counted); }

void Report(ScanMessage message, std::string_view attached, bool counted) {
    std::string line;
    line.reserve(attached.size() + 64);
    line.append("'").append(attached).append("' ").append(Info(message).text);
    Issue(line, counted);
}

}  // namespace zu::compiler
