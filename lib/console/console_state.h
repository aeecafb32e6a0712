// The process-wide state of the console layer: hooks, pipes, print level.
#pragma once

#include "zu.h"

#include <string>
#include <vector>

namespace zu::console {

struct ConsoleState {
    // Below 1 program output is suppressed; below 0 messages too.
    int printLevel = 1;

    ZuTEXTHOOK messageHook = nullptr;     // compile messages, ZuMessage
    ZuTEXTHOOK runMessageHook = nullptr;  // run-time messages
    ZuTEXTHOOK putsHook = nullptr;        // program output in pipe mode
    ZuGETSHOOK getsHook = nullptr;        // program input in pipe mode
    ZuEXITHOOK exitHook = nullptr;        // told of every exit and error code

    // Pipe mode: output is collected in outPipe (capacity + 256 bytes, a
    // terminated string) and delivered through putsHook; input is taken
    // from inPending, refilled through getsHook.  pipeMode is set by
    // SetZuPipe(n >= 0) and cleared by SetZuPipe(-1).
    bool pipeMode = false;
    std::vector<char> outPipe;
    int outCapacity = 0;    // 0 when the buffer could not be allocated
    std::string inPending;  // input not yet consumed
    int inCapacity = 0;     // size offered to the input hook

    int runtimeError = 0;             // set when a run-time error occurred
    void (*runtimeJump)() = nullptr;  // leaves the running program
};

ConsoleState& console();

// Length of the collected output in the output pipe.
std::size_t collectedLength();
// Deliver collected output to the output hook and empty the buffer.
void deliverCollected();

}  // namespace zu::console
