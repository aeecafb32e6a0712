// Pipe mode: a host collects output from, and feeds input into, memory.
#include "console/console_state.h"

#include <cstring>
#include <new>

namespace zu::console {

ConsoleState& console() {
    static ConsoleState state;
    return state;
}

std::size_t collectedLength() {
    auto& pipe = console().outPipe;
    return pipe.empty() ? 0 : std::strlen(pipe.data());
}

void deliverCollected() {
    auto& pipe = console().outPipe;
    if (pipe.empty() || pipe[0] == '\0') return;
    // The hook may re-enter ZuPrintf: hand over a copy.
    std::string text(pipe.data());
    pipe[0] = '\0';
    if (console().printLevel >= 1 && console().putsHook) console().putsHook(text.c_str());
}

namespace {

void noOutputPipe(const char*) {
    ZuMessage("No output pipe\n");
    ZuFatalError();
}

void noInputPipe(char*, int) {
    ZuMessage("No input pipe\n");
    ZuFatalError();
}

// Zero-filled buffer of the given size, or empty when memory runs out.
std::vector<char> zeroFilled(std::size_t size) {
    try {
        return std::vector<char>(size, '\0');
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace
}  // namespace zu::console

using namespace zu::console;

extern "C" {

void SetZuPipe(int n) {
    auto& c = console();
    c.outPipe = {};
    c.outCapacity = 0;
    c.inPending.clear();
    c.inCapacity = 0;
    if (n < 0) {
        c.pipeMode = false;
        return;
    }
    int capacity = n == 0 ? 4096 : (n < 1024 ? 1024 : n);
    c.pipeMode = true;
    c.outPipe = zeroFilled(static_cast<std::size_t>(capacity) + 256);
    if (!c.outPipe.empty()) c.outCapacity = capacity;
    try {
        c.inPending.reserve(static_cast<std::size_t>(capacity / 2) + 256);
        c.inCapacity = capacity / 2;
    } catch (const std::bad_alloc&) {}
    c.putsHook = noOutputPipe;
    c.getsHook = noInputPipe;
}

char* GetZuPipe(void) {
    auto& pipe = console().outPipe;
    return pipe.empty() ? nullptr : pipe.data();
}

int GetZuPipeLength(void) { return console().outCapacity; }

int ZuHaveInputPipe(void) {
    const auto& c = console();
    return !c.pipeMode || c.getsHook != noInputPipe;
}

void SetZuMessage(ZuTEXTHOOK fn) { console().messageHook = fn; }
void SetZuRunMessage(ZuTEXTHOOK fn) { console().runMessageHook = fn; }
void SetZuPuts(ZuTEXTHOOK fn) { console().putsHook = fn; }
void SetZuGets(ZuGETSHOOK fn) { console().getsHook = fn; }
void SetZuExit(ZuEXITHOOK fn) { console().exitHook = fn; }

}  // extern "C"
