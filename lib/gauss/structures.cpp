// Gauss structures: "struct name { type member; ... };" defines a layout,
// "struct name x;" makes x an array with one element a member, and
// "x.member" indexes it.  The parser keeps which variables hold which
// structure: globals for the whole program, locals and arguments for the
// procedure being compiled.
#include "gauss/gauss_parser.h"

#include "program/literals.h"
#include "program/symbols.h"
#include "program/tokens.h"
#include "program/pcode.h"

#include <map>

namespace zu::gauss {

using compiler::Emit;
using compiler::Error;
using compiler::State;
using program::code;
using program::Op;
using program::symbolTable;
namespace tok = program::tok;

namespace {

struct Member {
    std::string name;
    bool isString = false;
    std::string structure;  // the structure of a member that is one, else ""
};

struct Layout {
    std::vector<Member> members;
};

struct Structures {
    std::map<std::string, Layout, std::less<>> layouts;
    std::map<std::string, std::string, std::less<>> globals;  // "gauss::x" -> structure
    std::map<std::string, std::string, std::less<>> locals;   // x -> structure
};

Structures& Known() {
    static Structures known;
    return known;
}

// The default value of a layout, built at run time as an array: PSH 0 and
// NTP 5 make it empty, each member is wrapped and appended.
void emitDefault(const Layout& layout, int depth) {
    Emit(code(Op::PSH), 0);
    Emit(code(Op::NTP), 5);
    for (const Member& m : layout.members) {
        Emit(code(Op::PSH), 0);
        auto nested = Known().layouts.find(m.structure);
        if (!m.structure.empty() && nested != Known().layouts.end() && depth < 8)
            emitDefault(nested->second, depth + 1);
        else if (m.isString)
            Emit(code(Op::LIT), program::literalTable().addString(""));
        else
            Emit(code(Op::LTI), 0);
        Emit(code(Op::OPR), tok::RBrace);
        Emit(code(Op::OPR), tok::Bar);
    }
}

// struct name { [string | matrix | scalar | array | struct other] member; ... };
void definition(const std::string& name) {
    Layout layout;
    while (GPeek() != tok::RBrace && GPeek() != tok::Eof) {
        Member m;
        const int t = GNext();
        std::string word = State().text;
        if (t == tok::KwString) {
            m.isString = true;
            if (GPeek() == tok::Identifier && State().text == "array") GNext();
        } else if (t == tok::Identifier && word == "struct") {
            if (GExpect(tok::Identifier)) m.structure = State().text;
            if (!Known().layouts.count(m.structure)) Error(Msg::UndeclaredIdentifier, m.structure);
        } else if (t != tok::KwMatrix && !(t == tok::Identifier && (word == "scalar" || word == "array"))) {
            Error(Msg::OutOfPlace, t == tok::Identifier ? word : SZuTokenName(t));
            SkipStatement();
            continue;
        }
        do {
            if (!GExpect(tok::Identifier)) break;
            m.name = State().text;
            for (const Member& other : layout.members)
                if (other.name == m.name) Error(Msg::DuplicateIdentifier, m.name);
            layout.members.push_back(m);
        } while (GAccept(tok::Comma));
        GExpect(tok::Semicolon);
    }
    GExpect(tok::RBrace);
    GAccept(tok::Semicolon);
    if (Known().layouts.count(name)) Error(Msg::DuplicateIdentifier, name);
    Known().layouts[name] = std::move(layout);
}

// struct name x, y;: each made the default value of the layout
void declaration(const std::string& structure) {
    auto layout = Known().layouts.find(structure);
    if (layout == Known().layouts.end()) {
        Error(Msg::UndeclaredIdentifier, structure);
        SkipStatement();
        return;
    }
    do {
        if (!GExpect(tok::Identifier)) break;
        const std::string name = State().text;
        Operand x;
        if (Procedure().active) {
            x.kind = Storage::Local;
            const int existing = symbolTable().findLocal(name);
            x.index = existing >= 0 ? compiler::LocalNumber(existing) : compiler::DeclareLocal(name);
            Known().locals[name] = structure;
        } else {
            x = ResolveGaussName(name, true);
            Known().globals[x.name] = structure;
        }
        emitDefault(layout->second, 0);
        compiler::Store(x);
    } while (GAccept(tok::Comma));
    compiler::LineMarker();
    if (!GAccept(tok::SemiSemi)) GExpect(tok::Semicolon);
}

// The word operators that a member name starting with their letters
// scans as (".and", ".or", ".xor", ".ge", ...): their text holds the
// letters read.
bool isDottedWord(int t) {
    switch (t) {
    case tok::DotAndAnd:
    case tok::DotOrOr:
    case tok::GDotXor:
    case tok::DotGe:
    case tok::DotGt:
    case tok::DotLe:
    case tok::DotLt:
    case tok::DotNe:
    case tok::GDotNot:
    case tok::DotEq:
    case tok::GDotEqv: return true;
    default: return false;
    }
}

}  // namespace

void StructStatement() {
    if (!GExpect(tok::Identifier)) {
        SkipStatement();
        return;
    }
    const std::string name = State().text;
    if (GAccept(tok::LBrace))
        definition(name);
    else
        declaration(name);
}

void StructArgument(const std::string& argument, const std::string& structure) { Known().locals[argument] = structure; }

void EndProcedureStructures() { Known().locals.clear(); }

void ForgetStructures() { Known() = Structures{}; }

std::string StructureOf(const Operand& x) {
    const auto& known = Known();
    if (x.kind == Storage::Global) {
        auto it = known.globals.find(x.name);
        return it == known.globals.end() ? std::string() : it->second;
    }
    if (x.kind == Storage::Local || x.kind == Storage::Argument) {
        auto it = known.locals.find(x.name);
        return it == known.locals.end() ? std::string() : it->second;
    }
    return {};
}

bool StartsMember(int t) { return t == tok::Dot || isDottedWord(t); }

std::string StructMember(Operand& x, const std::string& structure, int t) {
    // The member's name: after ".", an identifier; a word operator holds
    // its first letters, and an identifier right after it the rest.
    std::string name;
    if (t == tok::Dot) {
        if (GExpect(tok::Identifier)) name = State().text;
    } else {
        name = State().text.substr(1);
        if (GPeek() == tok::Identifier) {
            GNext();
            name += State().text;
        }
    }
    const Layout& layout = Known().layouts.at(structure);
    int position = -1;
    for (std::size_t i = 0; i < layout.members.size(); ++i)
        if (layout.members[i].name == name) position = static_cast<int>(i);
    if (position < 0) {
        Error(Msg::UndeclaredMember, structure + "." + name);
        return {};
    }
    compiler::Load(x);
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LTI), position);
    x = Operand{};
    x.kind = Storage::Indexed;
    x.name = name;
    return layout.members[static_cast<std::size_t>(position)].structure;
}

}  // namespace zu::gauss
