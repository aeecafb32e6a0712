// The code listing and the single-step trace line.
#include "run/code_dump.h"

#include "program/code_buffer.h"
#include "program/literals.h"
#include "program/symbols.h"
#include "program/pcode.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

namespace zu::run {
using program::code;
using program::Instruction;
using program::mnemonic;
using program::Op;

namespace {

// ---------------------------------------------------------------------------
// Text helpers

// An int right-aligned in width columns, as "%*d" would print it.
void appendInt(std::string& out, int value, std::size_t width = 0) {
    const std::string digits = std::to_string(value);
    if (digits.size() < width) out.append(width - digits.size(), ' ');
    out += digits;
}

void appendDimension(std::string& out, int value) {
    out += '[';
    appendInt(out, value);
    out += ']';
}

// "&0x" and the hexadecimal address; the listing's form of a location.
void appendAddress(std::string& out, const void* p) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "&0x%" PRIxPTR, reinterpret_cast<std::uintptr_t>(p));
    out += buffer;
}

// The characters of a string value up to its length or its first NUL.
std::string_view stringChars(const ZuVALUE& v) {
    if (!v.w2.s || v.w1.i <= 0) return {};
    const auto length = static_cast<std::size_t>(v.w1.i);
    const void* nul = std::memchr(v.w2.s, '\0', length);
    return {v.w2.s, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - v.w2.s) : length};
}

// An element: the special texts for NaN and infinities, else "%g".
void appendDouble(std::string& out, double d) {
    if (std::isnan(d)) {
        out += ".NaN";
    } else if (std::isinf(d)) {
        out += d > 0 ? "+.Inf" : "-.Inf";
    } else {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%g", d);
        out += buffer;
    }
}

// The name in a declaration text: the text after the |k| argument letters
// and the separator.
std::string_view declaredName(const char* declaration, int argCount) {
    if (!declaration) return {};
    const std::string_view text(declaration);
    const std::size_t skip = static_cast<std::size_t>(std::abs(argCount)) + 1;
    return skip < text.size() ? text.substr(skip) : std::string_view{};
}

void appendTypeSize(std::string& out, const ZuVALUE& v) {
    char buffer[ZU_TYPESIZE_MAX];
    out += SZuGetTypeSize(buffer, const_cast<ZuVALUE*>(&v));
}

// The size that follows a name in the symbol listing.
void appendSize(std::string& out, const ZuVALUE& v) {
    if (v.t & ZU_FLAG_NUL) return;
    switch (program::kindOf(v)) {
    case ZU_MATRIX:
    case ZU_VECTOR:
        appendDimension(out, v.w1.i);
        appendDimension(out, v.w2.i);
        break;
    case ZU_FILE:
        if (const auto* dims = static_cast<const int*>(v.w3.p)) {
            appendDimension(out, dims[0]);
            appendDimension(out, dims[1]);
        }
        break;
    case ZU_STRING: appendDimension(out, v.w1.i); break;
    case ZU_ARRAY:
        if (!(v.t & ZU_FLAG_ADR)) appendDimension(out, v.w1.i);
        break;
    default: break;
    }
}

void appendMatrix(std::string& out, const ZuVALUE& v) {
    if (v.w1.i <= 0 || v.w2.i <= 0 || !v.w3.m || !v.w3.m[0]) {
        out += "<>";
        return;
    }
    appendDouble(out, v.w3.m[0][0]);
    if (v.w1.i != 1 || v.w2.i != 1) out += " ...";
}

// A class: one line per data member, as an object prints.
void appendClass(std::string& out, const ZuVALUE& v) {
    out += '\n';
    for (int i = 0; v.w4.nv && i < v.w1.i; ++i) {
        const ZuNAMEDVALUE& member = v.w4.nv[i];
        out += "->";
        out += member.name ? member.name : "";
        out += " = ";
        if (program::kindOf(member.val) == ZU_CLASS)
            appendTypeSize(out, member.val);
        else
            out += valueText(member.val);
        out += '\n';
    }
}

// ---------------------------------------------------------------------------
// Instruction comments

std::string_view globalName(const DumpSource& program, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= program.globals.size()) return {};
    const char* name = program.globals[static_cast<std::size_t>(index)].name;
    return name ? std::string_view(name) : std::string_view{};
}

void appendLiteral(std::string& out, const DumpSource& program, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= program.literals.size()) return;
    const ZuVALUE& v = program.literals[static_cast<std::size_t>(index)];
    // The printer shows a string as its characters.
    if (program::kindOf(v) == ZU_STRING && !(v.t & ZU_FLAG_NUL))
        out += stringChars(v);
    else
        out += valueText(v);
}

void appendComment(std::string& out, const DumpSource& program, const ZuPCODE& instr) {
    switch (instr.op) {
    case code(Op::LOD):
    case code(Op::STO): out += globalName(program, instr.arg); break;
    case code(Op::OPR): out += SZuTokenName(instr.arg); break;
    case code(Op::LIT):
    case code(Op::ELF):
    case code(Op::ELT): appendLiteral(out, program, instr.arg); break;
    default: break;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Values

std::string typeColumn(const ZuVALUE& v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%-8s ", (v.t & ZU_FLAG_NUL) ? "(null)" : SZuGetTypeName(v.t));
    return buffer;
}

std::string flagLabels(int typeword) {
    std::string out;
    for (const FlagLabel& entry : kFlagLabels)
        if (typeword & entry.flag) out += entry.label;
    return out;
}

std::string valueText(const ZuVALUE& v) {
    std::string out;
    if (v.t & ZU_FLAG_NUL) return "(null)";
    switch (program::kindOf(v)) {
    case ZU_INT: appendInt(out, v.w1.i); break;
    case ZU_DOUBLE: appendDouble(out, v.w1.d); break;
    case ZU_MATRIX: appendMatrix(out, v); break;
    case ZU_STRING:
        out += '"';
        out += stringChars(v);
        out += '"';
        break;
    case ZU_FUNCTION:
        if (const auto name = declaredName(v.w3.s, v.w1.i); !name.empty()) {
            out += name;
            out += "()";
        } else {
            out += "??";
        }
        break;
    case ZU_INTFUNC:
        if (const auto name = declaredName(v.w3.s, v.w1.i); !name.empty()) {
            out += name;
            out += '(';
            appendAddress(out, v.w5.p);
            out += ')';
        } else {
            out += "??";
        }
        break;
    case ZU_CLASS: appendClass(out, v); break;
    case ZU_RANGE:
        appendInt(out, v.w1.i);
        out += " : ";
        appendInt(out, v.w2.i);
        break;
    case ZU_FILE: out += "(file)"; break;
    case ZU_IMPORTNAME: out += v.w1.s ? v.w1.s : ""; break;
    default: appendTypeSize(out, v); break;
    }
    return out;
}

std::string symbolLine(int index, const ZuNAMEDVALUE& symbol) {
    std::string out;
    appendInt(out, index, 4);
    out += ' ';
    std::string column = symbol.name ? symbol.name : "";
    appendSize(column, symbol.val);
    // The type starts 24 characters after the name, at least one blank on.
    column.resize(std::max<std::size_t>(column.size() + 1, 24), ' ');
    out += column;
    out += typeColumn(symbol.val);
    out += flagLabels(symbol.val.t);
    out += " (";
    appendAddress(out, &symbol.val);
    out += ") ";
    out += valueText(symbol.val);
    out += '\n';
    return out;
}

// ---------------------------------------------------------------------------
// Listings

std::string instructionLine(const DumpSource& program, int address) {
    ZuPCODE instr{-1, 0};
    if (address >= 0 && static_cast<std::size_t>(address) < program.code.size())
        instr = program.code[static_cast<std::size_t>(address)];
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%3d %s %10d ", address, mnemonic(instr.op), instr.arg);
    std::string out = buffer;
    appendComment(out, program, instr);
    return out;
}

std::string codeListing(const DumpSource& program) {
    std::string out = "=== pcode ===\n";
    for (std::size_t i = 0; i < program.code.size(); ++i) {
        out += instructionLine(program, static_cast<int>(i));
        out += '\n';
    }
    out += "\n=== global symbols ===\n";
    for (std::size_t i = 0; i < program.globals.size(); ++i) out += symbolLine(static_cast<int>(i), program.globals[i]);
    out += "=== literals ===\n";
    for (std::size_t i = 0; i < program.literals.size(); ++i) {
        const ZuVALUE& v = program.literals[i];
        appendInt(out, static_cast<int>(i), 4);
        out += ' ';
        out += typeColumn(v);
        out += valueText(v);
        out += '\n';
    }
    return out;
}

std::string traceLine(const DumpSource& program, int cp, const StackRegisters& regs) {
    std::string out = instructionLine(program, cp);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "  cp+1=%3d sp=%3d ap=%3d bp=%3d", cp + 1, regs.sp, regs.ap, regs.bp);
    out += buffer;
    if (regs.sp >= 0 && regs.top) {
        out += " *sp=";
        out += valueText(*regs.top);
    }
    out += '\n';
    return out;
}

DumpSource currentProgram() {
    program::SymbolTable& symbols = program::symbolTable();
    program::LiteralTable& literals = program::literalTable();
    return {program::codeBuffer().code(),
            {symbols.records(), static_cast<std::size_t>(symbols.count())},
            {literals.values(), static_cast<std::size_t>(literals.count())}};
}

}  // namespace zu::run

// ---------------------------------------------------------------------------
// Exported

namespace {

// Entry number of a stack register counted from the base (-1 below it).
int entryNumber(const ZuVALUE* base, const ZuVALUE* reg) {
    const auto from = reinterpret_cast<std::intptr_t>(base);
    const auto at = reinterpret_cast<std::intptr_t>(reg);
    return static_cast<int>((at - from) / static_cast<std::intptr_t>(sizeof(ZuVALUE)));
}

}  // namespace

extern "C" {

// The listing is built as one text; a program too large for that gets a
// message instead of an exception across the C interface.
ZU_API void ZuDumpCode(void) {
    try {
        ZuPuts(zu::run::codeListing(zu::run::currentProgram()).c_str());
    } catch (const std::bad_alloc&) {
        ZuMessage("out of memory");
    }
}

ZU_API void ZuDumpTrace(int cp, const ZuVALUE* base, const ZuVALUE* sp, const ZuVALUE* ap, const ZuVALUE* bp) {
    zu::run::StackRegisters regs{-1, 0, 0, nullptr};
    if (base) {
        regs = {entryNumber(base, sp), entryNumber(base, ap), entryNumber(base, bp), sp};
        if (!sp || regs.sp < 0) regs.sp = -1;
    }
    try {
        ZuPuts(zu::run::traceLine(zu::run::currentProgram(), cp, regs).c_str());
    } catch (const std::bad_alloc&) {
        ZuMessage("out of memory");
    }
}

}  // extern "C"
