// The text forms of compiled code: the listing of ZuDumpCode (instructions,
// global symbols, literals) and the single-step line of ZuDumpTrace.
//
// The functions build text from a DumpSource, so they work on any code and
// tables; the exported functions dump the compiler's process-wide ones.
#pragma once

#include "zu.h"

#include <array>
#include <span>
#include <string>

namespace zu::run {

// The code and the tables a dump reads.
struct DumpSource {
    std::span<const ZuPCODE> code;
    std::span<const ZuNAMEDVALUE> globals;
    std::span<const ZuVALUE> literals;
};

// The compiler's code buffer, symbol table and literal table.
DumpSource currentProgram();

// The stack registers of a trace line, as entry numbers counted from the
// stack base; sp is -1 when the stack is empty, and top is then unused.
struct StackRegisters {
    int sp;
    int ap;
    int bp;
    const ZuVALUE* top;
};

// The labels printed for the flags of a type word, in their order.
struct FlagLabel {
    int flag;
    const char* label;
};
inline constexpr std::array<FlagLabel, 11> kFlagLabels{{
    {ZU_FLAG_NUL, "nul "},
    {ZU_FLAG_EXT, "ext "},
    {ZU_FLAG_STA, "sta "},
    {ZU_FLAG_CON, "con "},
    {ZU_FLAG_GLO, "glo "},
    {ZU_FLAG_IDX, "idx "},
    {ZU_FLAG_ARG, "arg "},
    {ZU_FLAG_VAL, "val "},
    {ZU_FLAG_MEM, "mem "},
    {ZU_FLAG_INL, "inl "},
    {ZU_FLAG_ADR, "& "},
}};

// One instruction with its comment, without the newline.
std::string instructionLine(const DumpSource& program, int address);
// The whole listing: code, global symbols, literals.
std::string codeListing(const DumpSource& program);
// The single-step line of the instruction at cp, with its newline.
std::string traceLine(const DumpSource& program, int cp, const StackRegisters& regs);

// The type column of a value ("%-8s ", "(null)" for no value), and the
// labels of its flags.
std::string typeColumn(const ZuVALUE& v);
std::string flagLabels(int typeword);
// The value as far as it can be shown without the value printer: scalars,
// strings, ranges, functions, the empty matrix; a larger matrix by its
// first element, other values by their type and size.
std::string valueText(const ZuVALUE& v);
// One line of the global symbol listing, with its newline.
std::string symbolLine(int index, const ZuNAMEDVALUE& symbol);

}  // namespace zu::run
