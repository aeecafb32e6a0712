// Program output and messages.  Everything the library prints passes here,
// so a host can silence it (print level) or take it over (hooks, pipes).
#include "console/console_state.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace zu::console {
namespace {

// vsnprintf into a string of the needed length: no piece is cut or lost.
std::string formatted(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    int needed = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (needed < 0) return {};
    if (static_cast<std::size_t>(needed) < sizeof small) return std::string(small, static_cast<std::size_t>(needed));
    std::string text(static_cast<std::size_t>(needed), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
#pragma GCC diagnostic pop
    return text;
}

// Append a piece to the collected pipe output, delivering first when the
// buffer is nearly full.  A piece too long for the room left goes to the
// host at once, after what was collected before it.
void collect(const std::string& piece) {
    auto& c = console();
    std::size_t length = collectedLength();
    if (c.outCapacity > 0 && length > static_cast<std::size_t>(c.outCapacity) - 256) {
        deliverCollected();
        length = 0;
    }
    std::size_t room = c.outPipe.empty() ? 0 : c.outPipe.size() - 1 - length;
    if (piece.size() <= room) {
        std::memcpy(c.outPipe.data() + length, piece.c_str(), piece.size() + 1);
        return;
    }
    deliverCollected();
    ZuPuts(piece.c_str());
}

void message(ZuTEXTHOOK hook, const char* text) {
    if (console().printLevel < 0) return;
    (hook ? hook : ZuDefaultMessage)(text ? text : "");
}

}  // namespace
}  // namespace zu::console

using namespace zu::console;

extern "C" {

int ZuSetPrintlevel(int level) { return console().printLevel = level; }
int ZuGetPrintlevel(void) { return console().printLevel; }

int ZuPuts(const char* text) {
    auto& c = console();
    if (c.printLevel < 1) return c.printLevel;
    if (!text) return 0;
    if (c.pipeMode) {
        // Output collected by ZuPrintf goes first, so the host sees the
        // program's output in the order it was written.
        deliverCollected();
        if (c.putsHook) c.putsHook(text);
    } else {
        std::fputs(text, stdout);
    }
    return 0;
}

int ZuPrintf(const char* format, ...) {
    auto& c = console();
    if (c.printLevel < 1 || !format) return 0;
    va_list args;
    va_start(args, format);
    int written = 0;
    if (!c.pipeMode) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        written = std::vprintf(format, args);
#pragma GCC diagnostic pop
    } else {
        std::string piece = formatted(format, args);
        written = static_cast<int>(piece.size());
        collect(piece);
    }
    va_end(args);
    return written;
}

void ZuFlush(void) {
    auto& c = console();
    c.inPending.clear();
    if (c.printLevel < 1) return;
    if (c.pipeMode)
        deliverCollected();
    else
        std::fflush(stdout);
}

void ZuDefaultMessage(const char* text) {
    std::fputs(text ? text : "", stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void ZuMessage(const char* text) { message(console().messageHook, text); }
void ZuRunMessage(const char* text) { message(console().runMessageHook, text); }

void ZuCompileMessage(const char* text, int line) {
    std::string composed;
    const char* file = SZuScanFile();
    if (!file || !*file) file = ZuGetSourceFilename();
    if (file && *file) {
        composed += file;
        composed += ' ';
    }
    if (line != 0) composed += "(" + std::to_string(line) + "): ";
    composed += text ? text : "";
    ZuMessage(composed.c_str());
}

void PopErrorMessage(const char* text) { ZuRunMessage(text); }
void PopWarningMessage(const char* text) { ZuRunMessage(text); }

// No dialogs on this platform: a question is never answered.
int PopAskString(const char*, char*, int) { return 0; }
int PopAskNoYes(const char*) { return 0; }

}  // extern "C"
