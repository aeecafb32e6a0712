// The verifier of loaded code: before code from a file is linked, each
// function is walked along every path to prove that the run loop can trust
// it.  The stack depth is the same wherever paths meet and never falls into
// the frame; argument, local, count and stack operands stay inside the
// frame; jumps, LIP addresses and JST returns stay inside the function;
// OPR and FNI codes name routines the run loop has.
#pragma once

#include "zu.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zu::objfile {

class StagedProgram;

// Where a function's code starts and how many arguments it is sure to get.
struct CodeEntry {
    int address = 0;
    int arguments = 0;
    std::string name;
};

// The first fault found: the function, the instruction and why.
struct CodeFault {
    std::string function;
    int address = 0;  // index into the verified code
    int offset = 0;   // from the function's first instruction
    std::string reason;
};

// Each function is walked from its entry; it may not run into another
// function's entry.  Code no function reaches is never run and not walked.
std::optional<CodeFault> VerifyCode(std::span<const ZuPCODE> code, std::vector<CodeEntry> entries);

// The entries of the functions and member functions a file defines.
std::vector<CodeEntry> StagedEntries(const StagedProgram& stage);
// Adds the entry of a function symbol, or those of a class's member
// functions; other symbols add none.
void AddEntries(std::vector<CodeEntry>& entries, const ZuNAMEDVALUE& symbol);

// Verifies the code and functions of the open tables; a fault is reported
// as a link error naming the function and the instruction.
bool VerifyProgram();

// "function f, instruction 3 (POP 0): why".
std::string DescribeFault(const CodeFault& fault, std::span<const ZuPCODE> code);

}  // namespace zu::objfile
