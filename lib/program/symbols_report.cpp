// The fault sink of the compile-time tables.
#include "program/symbols_report.h"

#include "value/link_error.h"

namespace zu::program {
namespace {

using zu::value::LinkError;

LinkError linkErrorOf(TableFault fault) {
    switch (fault) {
    case TableFault::DuplicateIdentifier: return LinkError::kDuplicateIdentifier;
    case TableFault::ConstantBufferFull: return LinkError::kConstantBufferFull;
    case TableFault::CodeBufferFull: return LinkError::kCodeBufferFull;
    case TableFault::SymbolTableFull: return LinkError::kSymbolTableFull;
    case TableFault::OutOfMemory: break;
    }
    return LinkError::kOutOfMemory;
}

void reportAsLinkError(TableFault fault, const char* name) { zu::value::ReportLinkError(linkErrorOf(fault), name); }

FaultSink g_sink = reportAsLinkError;

}  // namespace

FaultSink setFaultSink(FaultSink sink) {
    FaultSink previous = g_sink;
    g_sink = sink ? sink : reportAsLinkError;
    return previous;
}

void reportFault(TableFault fault, const char* name) { g_sink(fault, name); }

void failFatal(TableFault fault, bool outOfMemory) {
    reportFault(fault);
    if (outOfMemory) reportFault(TableFault::OutOfMemory);
    throw TableFull(fault);
}

}  // namespace zu::program
