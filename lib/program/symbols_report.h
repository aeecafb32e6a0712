// How the compile-time tables (symbols, literals, code) report a fault.
//
// The tables do not format messages themselves: they hand the fault and
// the name it concerns to the installed sink.  The parser installs one
// that reports compile errors with the line; the default sink reports
// link errors ("symbol table full" then carries the hint to use -s), which
// is what object-file loading installs while it reads a file.  A fatal fault
// (a table that is full or cannot grow) is reported and then thrown as
// TableFull: the table is left as it was, and whoever drives the
// compilation catches it and stops compiling.
#pragma once

#include <stdexcept>

namespace zu::program {

// The values are the parser's message codes of the same faults.
enum class TableFault : int {
    DuplicateIdentifier = 0,
    ConstantBufferFull = 1,
    CodeBufferFull = 2,
    SymbolTableFull = 3,
    OutOfMemory = 4,
};

// Receives a fault and the name it concerns (or null).
using FaultSink = void (*)(TableFault fault, const char* name);

// Installs a sink (null restores the default) and returns the previous one.
FaultSink setFaultSink(FaultSink sink);

// Passes a fault to the installed sink.
void reportFault(TableFault fault, const char* name = nullptr);

// Reports the fatal faults in order and throws TableFull.
[[noreturn]] void failFatal(TableFault fault, bool outOfMemory);

// Thrown after a fatal fault has been reported; never crosses the C
// interface: the exported functions catch it.
struct TableFull : std::runtime_error {
    explicit TableFull(TableFault f) : std::runtime_error("compile-time table full"), fault(f) {}
    TableFault fault;
};

}  // namespace zu::program
