// Functions: formal lists, signatures, declarations and definitions, and
// the frame code around a body.
#include "compiler/parser.h"

#include "program/literals.h"
#include "program/symbols.h"
#include "program/tokens.h"
#include "program/pcode.h"
#include "value/function_table.h"

#include <algorithm>
#include <string>
#include <unordered_set>

namespace zu::compiler {
namespace tok = program::tok;
using program::code;
using program::functionAddress;
using program::kindOf;
using program::literalTable;
using program::Op;
using program::SymbolTable;
using program::symbolTable;

namespace {

// The formals named so far, to find a name given twice: a short list is
// searched, a long one hashed, so that neither case costs much.
class FormalNames {
public:
    explicit FormalNames(const std::vector<std::string>& names) : names_(names) {}
    // False when the name is in the list already; the caller appends it.
    bool isNew(const std::string& name) {
        if (names_.size() < kHashFrom) return std::find(names_.begin(), names_.end(), name) == names_.end();
        if (hashed_.empty()) hashed_.insert(names_.begin(), names_.end());
        return hashed_.insert(name).second;
    }

private:
    static constexpr std::size_t kHashFrom = 32;
    const std::vector<std::string>& names_;
    std::unordered_set<std::string> hashed_;  // the names, once there are many
};

// The part of a signature that the argument qualifiers decide: before
// any link text.
std::string_view qualifierPart(const char* signature) {
    if (!signature) return {};
    std::string_view s(signature);
    return s.substr(0, s.find('@'));
}

}  // namespace

// ( [const] [decl] name , ... [, ...] )
FunctionHead ParseFormals(std::string name, bool member) {
    FunctionHead h;
    h.name = std::move(name);
    if (member) {
        h.args = {"this", "$t0"};
        h.letters = "cc";
    }
    const std::size_t hidden = h.args.size();
    FormalNames seen(h.args);
    bool varargs = false;
    Expect(tok::LParen);
    if (!Accept(tok::RParen)) {
        do {
            if (Accept(tok::Ellipsis)) {
                if (h.args.size() == hidden) Error(Msg::CannotBeFirstFormal, "...");
                varargs = true;
                break;
            }
            const bool constant = Accept(tok::KwConst);
            Accept(tok::KwDecl);
            if (!Expect(tok::Identifier)) break;
            const std::string& arg = State().text;
            if (!seen.isNew(arg)) Error(Msg::FormalRedefinition, arg);
            h.args.push_back(arg);
            h.letters += constant ? 'c' : ' ';
        } while (Accept(tok::Comma));
        Expect(tok::RParen);
    }
    h.count = static_cast<int>(h.args.size());
    if (varargs) h.count = -h.count;
    return h;
}

OwnedText MakeSignature(const FunctionHead& head, std::string_view link) {
    std::string text = head.letters + "$" + head.name;
    if (!link.empty()) {
        text += '@';
        text += link;
    }
    return OwnedText(CopyText(text));
}

// ELF file, [ELT arg...], NUM, INT n, { PSH 0 statements }, RET
int CompileFunctionBody(const FunctionHead& head) {
    SymbolTable& st = symbolTable();
    ParseState& s = State();
    st.beginFunction();
    for (std::size_t i = 0; i < head.args.size(); ++i) {
        const bool constant = i < head.letters.size() && head.letters[i] == 'c';
        st.append(head.args[i], ZU_INT | ZU_FLAG_ARG | (constant ? ZU_FLAG_CON : 0));
    }
    st.beginLocals();
    s.maxLocals = 0;
    s.labels.clear();
    s.loops.clear();
    s.lastLine = -1;

    const int start = Target();
    const char* file = SZuScanFile();
    Emit(code(Op::ELF), literalTable().addString(file ? file : ""));
    if (s.debugInfo)
        for (const std::string& arg : head.args) Emit(code(Op::ELT), literalTable().addString(arg));
    LineMarker();
    const int locals = Emit(code(Op::INT), 0);
    Expect(tok::LBrace);
    Emit(code(Op::PSH), 0);
    const int mark = st.count();
    while (Peek() != tok::RBrace && Peek() != tok::Eof) {
        const long before = s.taken;
        ParseStatement();
        if (s.taken == before) Next();
    }
    Expect(tok::RBrace);
    EndLocals(mark);
    if (s.inConstructor) {
        Emit(code(Op::LAP), 0);
        Emit(code(Op::RET), 1);
    } else {
        Emit(code(Op::RET), 0);
    }
    EndLabels();
    At(locals).arg = s.interactiveMain ? kInteractiveLocals : s.maxLocals;
    st.endFunction();
    s.barrier = Here();
    return start;
}

// name ( formals ) ;   name ( formals ) { body }
void ParseFunction(const std::string& name, int flags, std::string_view link) {
    SymbolTable& st = symbolTable();
    ParseState& s = State();
    FunctionHead head = ParseFormals(Qualified(name), false);
    const bool body = Peek() == tok::LBrace;
    if (!body) Expect(tok::Semicolon);

    int g = st.find(head.name, 0, st.count());
    if (g >= 0 && kindOf(st[g].val) == ZU_FUNCTION) {
        ZuVALUE& v = st[g].val;
        if (v.w1.i != head.count && (v.t & ZU_FLAG_EXT) && value::FindFunction(head.name))
            Error(Msg::ArgumentCountRedefined, head.name,
                  "(a library function of that name is declared in zustd.h: rename yours)");
        else if (v.w1.i != head.count)
            Error(Msg::ArgumentCountRedefined, head.name);
        else if (qualifierPart(v.w3.s) != qualifierPart(MakeSignatureView(head).c_str()))
            Error(Msg::ArgumentQualifierRedefined, head.name);
        if (body && !(v.t & ZU_FLAG_EXT)) {
            Error(Msg::DuplicateIdentifier, head.name);
            g = -1;  // the body is compiled, but not recorded
        }
    } else if (g >= 0 && kindOf(st[g].val) != ZU_NONE) {
        Error(Msg::DuplicateIdentifier, head.name);
        g = -1;
    } else {
        if (g < 0) g = st.append(head.name, ZU_FUNCTION | ZU_FLAG_GLO | ZU_FLAG_EXT);
        ZuVALUE& v = st[g].val;
        v.t = ZU_FUNCTION | ZU_FLAG_GLO | ZU_FLAG_EXT | flags;
        v.w1.i = head.count;
        v.w2.i = 0;
        v.w3.s = MakeSignature(head, link).release();
    }
    if (!body) return;
    s.interactiveMain = ZuIsInteractive() && head.name == "main";
    const int start = CompileFunctionBody(head);
    s.interactiveMain = false;
    if (g >= 0) {
        ZuVALUE& v = st[g].val;
        v.t &= ~ZU_FLAG_EXT;
        v.t |= flags & ~ZU_FLAG_EXT;
        functionAddress(v) = start;
    }
}

std::string MakeSignatureView(const FunctionHead& head) { return head.letters + "$" + head.name; }

}  // namespace zu::compiler
