// Parser messages: the one table, counting, warnings and fatal stops.
#include "compiler/parser.h"

#include <array>
#include <string>

namespace zu::compiler {
namespace {

constexpr int kMessageCount = 69;

constexpr std::array<std::string_view, kMessageCount> kTexts = [] {
    std::array<std::string_view, kMessageCount> table{};
#define ZU_PARSE_MESSAGE(Name, code, text) table[code] = text;
#include "compiler/parse_messages.def"
    return table;
}();

// Nesting beyond the bound stops the compilation as a full table does:
// going on would only nest deeper.
bool isFatal(int code) { return (code >= 1 && code <= 4) || code == 68; }
bool isWarning(int code) { return code >= 63 && code <= 67; }

void send(int code, std::string_view attached, std::string_view tail = {}) {
    std::string line;
    if (!attached.empty()) {
        line += '\'';
        line += attached;
        line += "' ";
    }
    line += MessageText(code);
    line += tail;
    ZuCompileMessage(line.c_str(), IZuLineNo());
}

void count(int code) {
    ParseState& s = State();
    ++s.errors;
    if (isFatal(code)) throw ParseFatal();
    if (s.inserting) throw InsertAbandoned();
}

// The tables report their faults here while the parser runs.  A fatal
// fault is thrown by the table itself (TableFull) after this returns.
void tableSink(TableFault fault, const char* name) {
    const int code = static_cast<int>(fault);
    send(code, name ? name : "");
    ++State().errors;
    if (!isFatal(code) && State().inserting) throw InsertAbandoned();
}

}  // namespace

std::string_view MessageText(int code) {
    if (code < 0 || code >= kMessageCount) return {};
    return kTexts[static_cast<std::size_t>(code)];
}

void Error(Msg msg, std::string_view attached) {
    const int code = static_cast<int>(msg);
    if (isWarning(code)) {
        if (State().warningLevel != 0) send(code, attached);
        return;
    }
    send(code, attached);
    count(code);
}

void Error(Msg msg, std::string_view attached, std::string_view note) {
    const int code = static_cast<int>(msg);
    if (isWarning(code) && State().warningLevel == 0) return;
    send(code, attached, std::string(" ") + std::string(note));
    if (!isWarning(code)) count(code);
}

void ExpectedError(int expected, int found) {
    const int code = static_cast<int>(Msg::ExpectedButFound);
    send(code, SZuTokenName(expected), std::string("'") + SZuTokenName(found) + "'");
    count(code);
}

NestingGuard::NestingGuard() {
    if (++State().depth > kMaxNesting) {
        State().depth = 0;  // the message below must not nest again
        Error(Msg::NestedTooDeeply);
    }
}

TableFaultsAsMessages::TableFaultsAsMessages() : previous_(setFaultSink(tableSink)) {}
TableFaultsAsMessages::~TableFaultsAsMessages() { setFaultSink(previous_); }

}  // namespace zu::compiler
