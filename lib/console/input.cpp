// Program input: standard input, or in pipe mode the pending text that the
// host's input hook supplies.
#include "console/console_state.h"
#include "console/scan_format.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace zu::console {
namespace {

// Ask the host for more input; what it gives is appended to the pending
// text.  False when nothing came.
bool refill() {
    auto& c = console();
    if (!c.getsHook || c.inCapacity <= 0) return false;
    std::vector<char> buffer(static_cast<std::size_t>(c.inCapacity) + 1, '\0');
    c.getsHook(buffer.data(), c.inCapacity);
    buffer.back() = '\0';
    c.inPending += buffer.data();
    return buffer[0] != '\0';
}

bool isBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f'; }

// A scanf call on a format that classifyScanFormat accepted.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
int scanText(const char* text, const std::string& format, void* target, int* consumed) {
    return target ? std::sscanf(text, format.c_str(), target, consumed) : std::sscanf(text, format.c_str(), consumed);
}

int scanStdin(const char* format, void* target) { return target ? std::scanf(format, target) : std::scanf(format); }
#pragma GCC diagnostic pop

}  // namespace
}  // namespace zu::console

using namespace zu::console;

extern "C" {

char* ZuGets(char* buffer, int size) {
    if (!buffer || size <= 0) return nullptr;
    buffer[0] = '\0';
    auto& c = console();
    if (!c.pipeMode) {
        if (!std::fgets(buffer, size, stdin)) buffer[0] = '\0';
    } else if (!c.inPending.empty()) {
        std::size_t n = std::min(c.inPending.size(), static_cast<std::size_t>(size - 1));
        std::memcpy(buffer, c.inPending.data(), n);
        buffer[n] = '\0';
        c.inPending.erase(0, n);
    } else if (c.getsHook) {
        c.getsHook(buffer, size);
        buffer[size - 1] = '\0';
    }
    return buffer[0] ? buffer : nullptr;
}

int ZuGetc(void) {
    auto& c = console();
    if (!c.pipeMode) return std::getchar();
    if (c.inPending.empty()) refill();
    if (c.inPending.empty()) return -1;
    auto ch = static_cast<signed char>(c.inPending.front());
    c.inPending.erase(0, 1);
    return ch;
}

int ZuUngetc(int ch) {
    auto& c = console();
    if (c.pipeMode)
        c.inPending.insert(c.inPending.begin(), static_cast<char>(ch));
    else
        std::ungetc(ch, stdin);
    return ch;
}

int ZuScanf1(const char* format, void* target) {
    if (!format) return 0;
    ScanFormat kind = classifyScanFormat(format);
    if (kind.kind == ScanConversion::Invalid) return 0;
    bool converts = kind.kind != ScanConversion::None && kind.kind != ScanConversion::Suppressed;
    void* into = converts ? target : nullptr;
    if (converts && !target) return 0;
    auto& c = console();
    if (!c.pipeMode) return std::max(0, scanStdin(format, into));

    // Leading white space in the format may span lines: blank lines are
    // consumed and the host is asked for the next one.
    const bool skipsBlanks = isBlank(format[0]);
    if (c.inPending.empty() && !refill()) return 0;
    while (skipsBlanks) {
        std::size_t blanks = 0;
        while (blanks < c.inPending.size() && isBlank(c.inPending[blanks])) ++blanks;
        c.inPending.erase(0, blanks);
        if (!c.inPending.empty() || !refill()) break;
    }
    std::string counted = std::string(format) + "%n";
    int consumed = 0;
    int items = scanText(c.inPending.c_str(), counted, into, &consumed);
    c.inPending.erase(0, std::min(static_cast<std::size_t>(std::max(consumed, 0)), c.inPending.size()));
    return std::max(items, 0);
}

}  // extern "C"
