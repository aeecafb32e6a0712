// Joining a staged object file to the program: literals and code behind
// the existing ones, symbols linked by name, operands relocated.
#include "objfile/objfile.h"

#include "program/code_buffer.h"
#include "program/literals.h"
#include "compiler/parser.h"
#include "program/symbols.h"
#include "program/symbols_report.h"
#include "program/pcode.h"

#include <cstdlib>
#include <cstring>

namespace zu::objfile {
using program::code;
using program::kindOf;
using program::Operand;
using program::SymbolTable;

namespace {

using program::Op;

// While a file is joined, faults of the tables are link errors, also when
// the file is loaded from inside a compilation.
class TableFaultsAsLinkErrors {
public:
    TableFaultsAsLinkErrors() : previous_(program::setFaultSink(nullptr)) {}
    ~TableFaultsAsLinkErrors() { program::setFaultSink(previous_); }
    TableFaultsAsLinkErrors(const TableFaultsAsLinkErrors&) = delete;
    TableFaultsAsLinkErrors& operator=(const TableFaultsAsLinkErrors&) = delete;

private:
    program::FaultSink previous_;
};

void linkError(LinkError code, const char* name) { ZuLinkError(static_cast<int>(code), name); }

bool isExternal(const ZuVALUE& v) { return (v.t & ZU_FLAG_EXT) != 0; }

bool isVariableKind(int kind) { return kind <= ZU_ARRAY; }

// An external variable declared without a value has no type yet: it links
// with a variable of any kind, as a record of kind 0 does.
bool isUntypedDeclaration(const ZuVALUE& v) {
    return isExternal(v) && (v.t & ZU_FLAG_NUL) && isVariableKind(kindOf(v));
}

// Kinds that may link: equal ones, a record of kind 0 with anything, an
// untyped variable declaration with a variable, and a function declaration
// with a library function.
bool kindsMeet(const ZuVALUE& e, const ZuVALUE& l) {
    const int ke = kindOf(e), kl = kindOf(l);
    if (ke == kl || ke == ZU_NONE) return true;
    if ((isUntypedDeclaration(e) && isVariableKind(kl)) || (isUntypedDeclaration(l) && isVariableKind(ke))) return true;
    return (ke == ZU_INTFUNC && kl == ZU_FUNCTION && isExternal(l)) ||
           (kl == ZU_INTFUNC && ke == ZU_FUNCTION && isExternal(e));
}

bool sameName(const char* a, const char* b) { return std::strcmp(a ? a : "", b ? b : "") == 0; }

// A change to a record that was in the table before the file: made only
// when the whole file links cleanly.
struct Completion {
    int symbol;       // the existing record
    int member = -1;  // -1: its value is replaced by `value`
    ZuVALUE value{};  // the loaded definition (owned until applied)
    int address = 0;  // member >= 0: the member function's code address
};

class Linker {
public:
    Linker(int codeBase, int firstNew) : codeBase_(codeBase), firstNew_(firstNew) {}
    Linker(const Linker&) = delete;
    Linker& operator=(const Linker&) = delete;
    ~Linker() {
        for (Completion& c : completions_) ZuFreeValue(&c.value);
    }

    // Links one record and returns the index of the table record it became.
    int link(StagedSymbol& s);
    void applyCompletions();

private:
    void relocateAddresses(ZuVALUE& v) const;
    int moveIn(StagedSymbol& s);
    bool functionsAgree(const ZuVALUE& existing, const ZuVALUE& loaded) const;
    bool classesAgree(const ZuVALUE& existing, const ZuVALUE& loaded) const;
    void completeMembers(int existing, const ZuVALUE& loaded);
    void linkTo(int existing, StagedSymbol& s);
    // A record of the table that the file may change at once: one it
    // moved in itself.
    bool isNew(int index) const { return index >= firstNew_; }

    int codeBase_;
    int firstNew_;
    std::vector<Completion> completions_;
};

void Linker::relocateAddresses(ZuVALUE& v) const {
    if (kindOf(v) == ZU_FUNCTION && !isExternal(v)) v.w2.i += codeBase_;
    if (kindOf(v) != ZU_CLASS) return;
    for (int i = 0; v.w5.nv && v.w5.nv[i].name; ++i)
        if (!isExternal(v.w5.nv[i].val)) v.w5.nv[i].val.w2.i += codeBase_;
}

int Linker::moveIn(StagedSymbol& s) {
    SymbolTable& st = program::symbolTable();
    const int index = st.moveIn(s.record);
    ZuVALUE& v = st[index].val;
    if (kindOf(v) == ZU_CLASS && s.hasBase) {
        const int base = st.find(s.baseName, 0, index);
        if (base < 0 || kindOf(st[base].val) != ZU_CLASS)
            linkError(LinkError::kUndefinedBaseClass, s.baseName.c_str());
        else
            v.w2.i = base;
    }
    return index;
}

// Argument counts agree when equal or when one of them takes "..."; a
// definition with k fixed arguments and "..." needs at least k in the
// other unless both are mere declarations.
bool Linker::functionsAgree(const ZuVALUE& existing, const ZuVALUE& loaded) const {
    const int e = existing.w1.i, l = loaded.w1.i;
    if (e != l && e >= 0 && l >= 0) return false;
    const bool bothExternal = isExternal(existing) && isExternal(loaded);
    return bothExternal || l >= 0 || std::abs(static_cast<long>(e)) >= -static_cast<long>(l);
}

bool Linker::classesAgree(const ZuVALUE& existing, const ZuVALUE& loaded) const {
    if (existing.w1.i != loaded.w1.i) return false;
    if (existing.w1.i > 0 && (!existing.w4.nv || !loaded.w4.nv)) return false;
    for (int i = 0; i < existing.w1.i; ++i)
        if (!sameName(existing.w4.nv[i].name, loaded.w4.nv[i].name)) return false;
    const ZuNAMEDVALUE* e = existing.w5.nv;
    const ZuNAMEDVALUE* l = loaded.w5.nv;
    int i = 0;
    for (; e && l && e[i].name && l[i].name; ++i)
        if (!sameName(e[i].name, l[i].name) || e[i].val.w1.i != l[i].val.w1.i) return false;
    const bool eEnds = !e || !e[i].name, lEnds = !l || !l[i].name;
    return eEnds && lEnds;
}

// External member functions of the existing class take the addresses of
// the loaded definitions.
void Linker::completeMembers(int existing, const ZuVALUE& loaded) {
    SymbolTable& st = program::symbolTable();
    ZuNAMEDVALUE* e = st[existing].val.w5.nv;
    for (int i = 0; e && e[i].name; ++i) {
        const ZuVALUE& l = loaded.w5.nv[i].val;
        if (!isExternal(e[i].val) || isExternal(l)) continue;
        if (isNew(existing)) {
            e[i].val.t &= ~ZU_FLAG_EXT;
            e[i].val.w2.i = l.w2.i;
        } else {
            completions_.push_back({existing, i, {}, l.w2.i});
        }
    }
}

void Linker::linkTo(int existing, StagedSymbol& s) {
    SymbolTable& st = program::symbolTable();
    const ZuVALUE& e = st[existing].val;
    ZuVALUE& l = s.record.val;
    const char* name = s.record.name;
    const int ke = kindOf(e), kl = kindOf(l);
    const bool functions = (ke == ZU_FUNCTION || ke == ZU_INTFUNC) && kl == ZU_FUNCTION;
    if (!kindsMeet(e, l)) {
        linkError(LinkError::kIncompatibleTypes, name);
    } else if (!isExternal(e) && !isExternal(l) && ke != ZU_CLASS) {
        linkError(LinkError::kDuplicateIdentifier, name);
    } else if (functions && !functionsAgree(e, l)) {
        linkError(LinkError::kFunctionRedefined, name);
    } else if (ke == ZU_CLASS && !classesAgree(e, l)) {
        linkError(LinkError::kClassRedefined, name);
    } else if (ke == ZU_CLASS) {
        completeMembers(existing, l);
    } else if (!isExternal(l) && isExternal(e)) {
        // The definition completes the declaration.
        if (isNew(existing)) {
            ZuFreeValue(&st[existing].val);
            st[existing].val = l;
        } else {
            completions_.push_back({existing, -1, l, 0});
        }
        l = ZuVALUE{};
    }
}

int Linker::link(StagedSymbol& s) {
    relocateAddresses(s.record.val);
    const char* name = s.record.name;
    SymbolTable& st = program::symbolTable();
    const int found = name && name[0] != '@' ? st.find(name, 0, st.count()) : -1;
    if (found < 0) return moveIn(s);
    linkTo(found, s);
    return found;
}

void Linker::applyCompletions() {
    SymbolTable& st = program::symbolTable();
    for (Completion& c : completions_) {
        ZuVALUE& v = st[c.symbol].val;
        if (c.member >= 0) {
            v.w5.nv[c.member].val.t &= ~ZU_FLAG_EXT;
            v.w5.nv[c.member].val.w2.i = c.address;
        } else {
            ZuFreeValue(&v);
            v = c.value;
            c.value = ZuVALUE{};
        }
    }
    completions_.clear();
}

std::vector<int> linkSymbols(StagedProgram& stage, int codeBase) {
    SymbolTable& st = program::symbolTable();
    st.ensureRoom(static_cast<int>(std::min<std::size_t>(stage.symbols.size(), program::kMaxSymbolSize)));
    Linker linker(codeBase, st.count());
    std::vector<int> map;
    map.reserve(stage.symbols.size());
    for (StagedSymbol& s : stage.symbols) map.push_back(linker.link(s));
    if (IZuGetLinkErrors() == 0) linker.applyCompletions();
    return map;
}

void appendLiterals(StagedProgram& stage) {
    program::LiteralTable& lt = program::literalTable();
    const int base = lt.count();
    const int n = static_cast<int>(stage.literals.size());
    for (int i = 0; i < n; ++i) {
        lt[base + i] = stage.literals[static_cast<std::size_t>(i)];
        stage.literals[static_cast<std::size_t>(i)] = ZuVALUE{};
    }
    lt.setCount(base + n);
}

int relocated(const ZuPCODE& ins, int codeBase, int literalBase, const std::vector<int>& map) {
    const program::OpcodeInfo* info = program::opcodeInfo(ins.op);
    const int arg = ins.arg;
    switch (info ? info->operand : Operand::None) {
    case Operand::Global:
    case Operand::Class: return map[static_cast<std::size_t>(arg)];
    case Operand::CodeAddress: return arg + codeBase;
    case Operand::Literal: return arg < 0 ? arg : arg + literalBase;
    case Operand::LocalName: return arg < 0 ? arg : arg + literalBase;
    default: return arg;
    }
}

void appendCode(const StagedProgram& stage, int literalBase, const std::vector<int>& map) {
    program::CodeBuffer& cb = program::codeBuffer();
    const int base = cb.size();
    const int n = static_cast<int>(stage.code.size());
    ZuPCODE* code = cb.data();
    for (int i = 0; i < n; ++i) {
        const ZuPCODE& ins = stage.code[static_cast<std::size_t>(i)];
        code[base + i] = {ins.op, relocated(ins, base, literalBase, map)};
    }
    cb.setSize(base + n);
    // The loaded code ends a stretch that the emitter may not rewrite.
    compiler::State().barrier = cb.size();
    compiler::State().lastLine = -1;
}

}  // namespace

int JoinStage(StagedProgram& stage) {
    program::LiteralTable& lt = program::literalTable();
    program::CodeBuffer& cb = program::codeBuffer();
    TableFaultsAsLinkErrors faults;
    try {
        lt.reserve(static_cast<int>(stage.literals.size()));
        cb.reserve(static_cast<int>(stage.code.size()));
        const int literalBase = lt.count();
        const std::vector<int> map = linkSymbols(stage, cb.size());
        appendLiterals(stage);
        appendCode(stage, literalBase, map);
    } catch (const program::TableFull&) {
        // Reported by the table; the file is not joined any further.
    }
    return IZuGetLinkErrors();
}

}  // namespace zu::objfile
