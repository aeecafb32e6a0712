// The operand descriptor: loads, stores and placeholders by storage kind.
#include "compiler/parser.h"

#include "program/pcode.h"

namespace zu::compiler {
using program::code;
using program::Op;

namespace {}  // namespace

bool IsLvalue(const Operand& x) {
    if (x.function || x.classRef) return false;
    switch (x.kind) {
    case Storage::Global:
    case Storage::Argument:
    case Storage::Local:
    case Storage::Indexed:
    case Storage::Indexed2:
    case Storage::Member: return true;
    default: return false;
    }
}

bool CheckAssignable(const Operand& x) {
    if (!IsLvalue(x)) {
        Error(Msg::LeftValueExpected);
        return false;
    }
    if (x.constant) {
        Error(Msg::CannotAssignConstant, x.name);
        return false;
    }
    return true;
}

void Load(Operand& x) {
    if (x.designator) {
        Emit(code(Op::MFU));
        x.designator = false;
    }
    switch (x.kind) {
    case Storage::None: break;
    case Storage::Global: Emit(code(Op::LOD), x.index); break;
    case Storage::Argument: Emit(code(Op::LAP), x.index); break;
    case Storage::Local: Emit(code(Op::LBP), x.index); break;
    case Storage::Indexed: Emit(code(Op::XLD)); break;
    case Storage::Indexed2: Emit(code(Op::XGL), x.index); break;
    case Storage::Member: Emit(code(Op::LMP), x.index); break;
    case Storage::Constant: Emit(x.op, x.index); break;
    }
    x.kind = Storage::None;
    x.function = x.classRef = false;
}

void Placeholder(const Operand& x) {
    if (x.kind == Storage::Indexed || x.kind == Storage::Indexed2 || x.kind == Storage::Member) Emit(code(Op::PSH), 0);
}

void DuplicateTarget(const Operand& x) {
    if (x.kind == Storage::Indexed || x.kind == Storage::Indexed2)
        Emit(code(Op::DUP), 2);
    else if (x.kind == Storage::Member)
        Emit(code(Op::DUP), 1);
}

void Store(Operand& x) {
    switch (x.kind) {
    case Storage::Global: Emit(code(Op::STO), x.index); break;
    case Storage::Argument: Emit(code(Op::SAP), x.index); break;
    case Storage::Local: Emit(code(Op::SBP), x.index); break;
    case Storage::Indexed:
        if (x.xrs >= 0) At(x.xrs).arg = 1;
        Emit(code(Op::XST));
        break;
    case Storage::Indexed2: Emit(code(Op::XGS), x.index); break;
    case Storage::Member: Emit(code(Op::SMP), x.index); break;
    default: break;
    }
    x.kind = Storage::None;
}

}  // namespace zu::compiler
