// The machine state of the interpreter: registers, the value stack and the
// flags of a run, with the small helpers that every part of the engine
// uses on stack entries.
//
// There is one machine per process.  The run loop keeps cp and sp in local
// variables while it runs and writes them back here before it calls
// anything that may read them (error reports, library routines, the
// operators); everything outside the loop works on these fields.
#pragma once

#include "zu.h"

#include "value/shared_blocks.h"
#include "value/value.h"

#include <csignal>
#include <cstdint>
#include <span>
#include <vector>

namespace zu::run {

// The one exception type of run-time errors.  ZuRuntimeJump throws it while
// a run is active; only the recovery points of the engine (the guarded
// run, call-backs) and the exported entry points that run code catch it.
struct RunError {};

// Flags of the type word private to the interpreter.
inline constexpr int kVectorList = 0x10000;    // vector: w4.i count, w5.p int list (owned)
inline constexpr int kVectorRange = 0x20000;   // vector: w4.i first, w5.i last
inline constexpr int kVectorScalar = 0x40000;  // vector made from an int or double
inline constexpr int kAllIndex = -256;         // last index of a range: up to the end

// Entries beyond the checked stack size that absorb expression
// temporaries.
inline constexpr int kSpareEntries = 120;
inline constexpr int kDefaultStackSize = 1000;
inline constexpr int kMaxExitCalls = 10;
inline constexpr int kMaxCallerLines = 10;

struct Machine {
    // ---- registers ----
    int cp = 0;             // index of the instruction being executed
    ZuVALUE* sp = nullptr;  // top entry; base - 1 when the stack is empty
    ZuVALUE* ap = nullptr;  // first argument; the called function lies at ap - 1
    ZuVALUE* bp = nullptr;  // first local; the frame record lies at bp - 1

    // ---- the value stack ----
    // One zeroed allocation: entry 0 lies just below base; then stackSize
    // checked entries and kSpareEntries for temporaries; behind them a
    // guard of stackSize entries that only argument and local operands
    // can reach (code is checked so that no operand exceeds stackSize).
    std::vector<ZuVALUE> storage;
    ZuVALUE* base = nullptr;                // first usable entry; null: no stack
    ZuVALUE* last = nullptr;                // last entry a push may fill
    int stackSize = 0;                      // entries checked when locals are allocated
    int nextStackSize = kDefaultStackSize;  // for the next IZuRunInit

    // ---- program ----
    const ZuPCODE* code = nullptr;  // the code array, refreshed at each run start
    int codeSize = 0;
    ZuVALUE* literals = nullptr;  // the literal table
    int literalCount = 0;
    ZuNAMEDVALUE* globals = nullptr;  // the global symbol table
    int globalCount = 0;

    // ---- the running function ----
    int currentFile = -1;               // literal index of the current source name, -1 unknown
    int paramCount = 0;                 // |declared count| of the running function, 0 at top level
    const char* intFuncName = nullptr;  // library function most recently called

    // Local names for the debugger: one run per active frame.
    std::vector<const char*> localNames;  // entries from index 0 (the base)
    int localStart = 0;                   // start of the running frame's run
    int localCount = 0;                   // names in that run

    // ---- flags ----
    bool numbering = false;  // statement markers live (with the debugger flag)
    bool codeTrace = false;  // print the file position at each marker
    bool trace = false;      // stored only
    bool abort = false;      // set by ZuRunSetAbort, read at markers and run ends
    bool inRun = false;      // a run loop runs under a recovery point

    // ---- debugger boundaries ----
    ZuVALUE* stepOverAp = nullptr;  // markers stop once ap is not above it
    ZuVALUE* stepOutAp = nullptr;   // a return below it stops the loop
    bool stop = false;              // stop at the next marker
    bool moreCode = false;          // the loop stopped with code left to run

    // ---- exit calls, run after main, last registered first ----
    ZuVALUE exitCalls[kMaxExitCalls] = {};
    int exitCallCount = 0;

    // The outcome of the last run of main: -1 none or normal end, the user
    // exit code after exit(), 1 after another run-time error.
    bool exitRequested = false;
    int exitStatus = -1;

    // Entries below this entry number have not changed since the value
    // layer last looked at the live stack (LiveStack): a return lowers it
    // to the caller's function slot; anything that resets the stack sets
    // it to 0.
    int unchangedBelow = 0;
};

extern Machine vm;

// Set by the interactive prompt's SIGINT handler, outside the machine so
// that the handler writes nothing but this; a live statement marker that
// finds it set raises "user abort".
extern volatile std::sig_atomic_t userInterrupt;

// Entry numbers are counted from the stack base (frames store them).
inline int EntryNumber(const ZuVALUE* v) { return static_cast<int>(v - vm.base); }
inline ZuVALUE* EntryAt(int n) { return vm.base + n; }

// ---- frame records: the entry at bp - 1 of every active Zu function ----
//   t   the caller's parameter count << 4 (type bits 0: never freed)
//   w1  the caller's ap, w2 its bp (entry numbers)
//   w3  the caller's cp (the CAL or CAM instruction)
//   w4  the caller's current file, w5 the start of its local-name run
inline int FrameParamCount(const ZuVALUE* f) { return f->t >> 4; }

// Every call of a Zu function passes this pair, the run loop's own scalar
// path included.  PushFrame writes the record of the caller (its
// ap and bp as entry numbers, its cp) at `frame` and starts the callee's
// local names and parameter count; the caller then points ap and bp at the
// callee.  PopFrame restores what PushFrame saved of the caller from a
// copy of the record (the entry below bp, read before the return touches
// the stack); the caller takes its ap, bp and cp back from the same copy.
inline void PushFrame(ZuVALUE* frame, int apEntry, int bpEntry, int cp, int calleeParams) {
    // Whole words, the int in the low half: the record is the same on every
    // path, with nothing left over from what the entry held before.
    frame->t = vm.paramCount << 4;
    frame->w1.l = static_cast<std::uint32_t>(apEntry);
    frame->w2.l = static_cast<std::uint32_t>(bpEntry);
    frame->w3.l = static_cast<std::uint32_t>(cp);
    frame->w4.l = static_cast<std::uint32_t>(vm.currentFile);
    frame->w5.l = static_cast<std::uint32_t>(vm.localStart);
    vm.localStart += vm.localCount;
    vm.localCount = 0;
    vm.paramCount = calleeParams;
    vm.currentFile = -1;
}

inline void PopFrame(const ZuVALUE& frame) {
    const int calleeStart = vm.localStart;
    if (frame.w1.i - 1 < vm.unchangedBelow) vm.unchangedBelow = frame.w1.i - 1;
    vm.currentFile = frame.w4.i;
    vm.paramCount = FrameParamCount(&frame);
    vm.localStart = frame.w5.i;
    vm.localCount = calleeStart - frame.w5.i;
}

// ---- ownership of stack entries ----

// Frees an entry that owns its data (vectors included: they own their index
// list always and the matrix with the val flag); leaves it a cleared int.
void FreeEntry(ZuVALUE* v);

inline void FreeIfOwned(ZuVALUE* v) {
    if (v->t & (ZU_FLAG_VAL | kVectorList)) FreeEntry(v);
}

// Frees a variable about to get a new value, like FreeEntry; a block that
// a shallow copy on the live stack still shows passes to that copy instead
// (vm.sp must be current).
void FreeVariable(ZuVALUE* v);

// The live part of the stack, from the base to sp, for the value layer.
value::LiveStack LiveStack();

// A shallow reference copy: all six words, without the val flag.  A vector
// with an index list gets its own copy of the list.
void CopyVectorList(ZuVALUE* dst);
inline void RefCopy(ZuVALUE* dst, const ZuVALUE* src) {
    *dst = *src;
    dst->t &= ~ZU_FLAG_VAL;
    if (dst->t & kVectorList) CopyVectorList(dst);
}

// Pops and frees owned entries while sp is above `entry`.
void PopTo(ZuVALUE* entry);

// Raises run-time error 3 unless n more entries fit above sp.
void CheckRoom(int n);

// ---- names ----

// The name of a function value: the text of its signature after the
// |count| parameter letters and the separator; "?" for anything else.
const char* FunctionName(const ZuVALUE* f);
// The name of the running function (the value below ap).
const char* ActiveFunctionName();
// The name of the local variable in frame slot `slot` at the current
// instruction, or null when the code carries none (loaded code).
const char* LocalVariableName(int slot);
// The text of a string literal, or null.
const char* LiteralText(int index);

// Runs f for an exported entry point: inside a run a run-time error goes
// on unwinding to the run's recovery point; outside one it ends here, so
// that no exception reaches the host.
template <typename F>
void Guarded(F f) {
    if (vm.inRun) {
        f();
        return;
    }
    try {
        f();
    } catch (const RunError&) {}
}

// Refreshes the code, literal and global pointers from the compiler's
// tables (they may have grown since the last run).
void RefreshTables();

// The run loop: runs from vm.cp until EXT, a live statement marker that
// asks to stop, or a return below the step-out boundary.
void RunLoop();

// A raised run-time error with an optional text; never returns while a run
// is active.
[[noreturn]] void Raise(int code, const char* text = nullptr);

}  // namespace zu::run
