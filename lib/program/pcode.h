// The p-code instruction: its opcodes, the meaning of each operand and the
// mnemonics, all generated from opcodes.def.
#pragma once

#include "zu.h"

#include <array>
#include <cstdint>

namespace zu::program {

// An instruction is the exported pair (opcode, operand); a code address is
// an index into the program's one code array.
using Instruction = ZuPCODE;

// What an instruction's operand stands for.  The code dump prints names
// and values by it, and object files relocate the operands of the kinds
// Global and Class (symbol map), CodeAddress (code base), Literal and a
// non-negative LocalName (literal base).
enum class Operand : std::uint8_t {
    None,            // no operand
    Line,            // source line of a statement, ~line for a breakpoint
    Argument,        // entry ap + n
    Local,           // entry bp + n
    ArgumentCount,   // number of arguments of a call
    CodeAddress,     // absolute instruction index
    IndexForm,       // one- or two-index access of the ZuGauss mode
    LocalCount,      // number of locals to allocate
    Global,          // index into the global symbol table
    Class,           // global index of a class symbol
    Operator,        // a scanner token code
    Integer,         // a plain int value
    ReturnKind,      // 1 value, 0 int 0, -1 no value
    Member,          // data member index
    RelativeOffset,  // distance from the instruction itself
    Literal,         // index into the literal table
    Count,           // number of entries
    LocalName,       // literal index of a local's name, or -count removed
    FastFunction,    // number of a built-in fast function
    TypeForm,        // type of a new built-in value
    Flag,            // 0 or 1
    Element,         // element index of a multiple assignment
    StackOffset,     // entry sp + d, d <= 0
};

enum class Op : std::int32_t {
#define ZU_OPCODE(name, code, kind) name = code,
#include "program/opcodes.def"
};

constexpr std::int32_t code(Op op) { return static_cast<std::int32_t>(op); }

// One more than the highest opcode: every number from here on is skipped.
inline constexpr int kOpcodeLimit = [] {
    int limit = 0;
#define ZU_OPCODE(name, code, kind) limit = (code) >= limit ? (code) + 1 : limit;
#include "program/opcodes.def"
    return limit;
}();

struct OpcodeInfo {
    const char* mnemonic;  // null: the number is no opcode
    Operand operand;
};

// Indexed by opcode number.
inline constexpr std::array<OpcodeInfo, kOpcodeLimit> kOpcodes = [] {
    std::array<OpcodeInfo, kOpcodeLimit> table{};
    for (auto& entry : table) entry = {nullptr, Operand::None};
#define ZU_OPCODE(name, code, kind) table[code] = {#name, Operand::kind};
#include "program/opcodes.def"
    return table;
}();

// The entry of an opcode, or null for a number that is no opcode.
constexpr const OpcodeInfo* opcodeInfo(std::int32_t op) {
    if (op < 0 || op >= kOpcodeLimit || !kOpcodes[static_cast<std::size_t>(op)].mnemonic) return nullptr;
    return &kOpcodes[static_cast<std::size_t>(op)];
}

// The mnemonic of an opcode; "???" for a number that is no opcode.
constexpr const char* mnemonic(std::int32_t op) {
    const OpcodeInfo* info = opcodeInfo(op);
    return info ? info->mnemonic : "???";
}

}  // namespace zu::program
