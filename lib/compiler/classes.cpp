// Classes: the class body with its data members and member function
// declarations, and the definitions "Class::member(...) { ... }".
#include "compiler/parser.h"

#include "program/symbols.h"
#include "program/tokens.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace zu::compiler {
namespace tok = program::tok;
using program::Declaration;
using program::Declared;
using program::kindOf;
using program::SymbolTable;
using program::symbolTable;

namespace {

// The part of a qualified class name after its namespace.
std::string_view simpleName(std::string_view name) {
    const auto colons = name.rfind("::");
    return colons == std::string_view::npos ? name : name.substr(colons + 2);
}

// Member records owned until they are handed to the class value.
class MemberList {
public:
    MemberList() = default;
    MemberList(const MemberList&) = delete;
    MemberList& operator=(const MemberList&) = delete;
    ~MemberList() {
        for (ZuNAMEDVALUE& m : records) {
            std::free(m.name);
            ZuFreeValue(&m.val);
        }
    }
    // Looked up in the set of names, so that a class of many members is
    // not quadratic to declare.
    bool has(std::string_view name) const { return names_.find(name) != names_.end(); }
    // Takes over the value once the record is in the list: a failure
    // before that leaves it to the caller.
    void add(std::string_view name, const ZuVALUE& value) {
        // Room first, so that the push below cannot fail with the name made.
        if (records.size() == records.capacity()) records.reserve(std::max<std::size_t>(8, 2 * records.size()));
        ZuNAMEDVALUE m{};
        m.name = CopyText(name);
        m.val = value;
        records.push_back(m);
        names_.emplace(name);
    }
    // Moves every record of another list behind these.
    void takeAll(MemberList& from) {
        records.insert(records.end(), from.records.begin(), from.records.end());
        from.records.clear();
        names_.merge(from.names_);
        from.names_.clear();
    }
    // A malloc'd array of the records (and a terminating empty record);
    // the list is empty afterwards.
    ZuNAMEDVALUE* release(bool terminate) {
        const std::size_t n = records.size() + (terminate ? 1 : 0);
        if (n == 0) return nullptr;
        auto* table = static_cast<ZuNAMEDVALUE*>(std::calloc(n, sizeof(ZuNAMEDVALUE)));
        if (!table) {
            Error(Msg::OutOfMemory);
            return nullptr;
        }
        if (!records.empty()) std::memcpy(table, records.data(), records.size() * sizeof(ZuNAMEDVALUE));
        records.clear();
        names_.clear();
        return table;
    }

    std::vector<ZuNAMEDVALUE> records;

private:
    std::set<std::string, std::less<>> names_;  // the names of the records
};

struct ClassBody {
    std::string name;      // with namespace prefix
    MemberList data;       // own data members
    MemberList functions;  // member functions
};

// [const] decl name [= constant], ... ;
void dataMembers(ClassBody& c, int flags) {
    Next();
    do {
        if (!Expect(tok::Identifier)) break;
        const std::string name = State().text;
        ZuVALUE v{};
        v.t = ZU_INT | ZU_FLAG_NUL;
        if (Accept(tok::Assign)) {
            ConstValue init = ParseConstExpression();
            if (!(flags & ZU_FLAG_STA))
                Error(Msg::OnlyStaticInitialized, name);
            else
                v = init.release();
        }
        v.t |= ZU_FLAG_MEM | flags;
        if (c.data.has(name) || c.functions.has(name)) {
            Error(Msg::DuplicateIdentifier, name);
            ZuFreeValue(&v);
            continue;
        }
        c.data.add(name, v);
    } while (Accept(tok::Comma));
    Expect(tok::Semicolon);
}

// Skips a body written inside the class, braces balanced.
void skipBody() {
    int depth = 0;
    do {
        const int t = Next();
        if (t == tok::LBrace)
            ++depth;
        else if (t == tok::RBrace)
            --depth;
        else if (t == tok::Eof)
            return;
    } while (depth > 0);
}

// [~] name ( formals ) ;
void memberFunction(ClassBody& c, bool isStatic, bool isVirtual) {
    std::string name = Accept(tok::Tilde) ? "~" : "";
    Expect(tok::Identifier);
    name += State().text;
    const std::string_view own = simpleName(c.name);
    const bool constructor = name == own;
    const bool destructor = name[0] == '~';
    FunctionHead head = ParseFormals(name, true);
    if (destructor && name.substr(1) != own) Error(Msg::DestructorName, name);
    if (destructor && head.count != 2) Error(Msg::DestructorArguments, name);
    if ((constructor || destructor) && isStatic) Error(Msg::ConstructorStatic, name);
    if (Peek() == tok::LBrace) {
        Error(Msg::DefinitionOutsideClass, name);
        skipBody();
    } else {
        Expect(tok::Semicolon);
    }
    if (c.functions.has(name) || c.data.has(name)) {
        Error(Msg::DuplicateIdentifier, name);
        return;
    }
    OwnedText signature = MakeSignature(head, {});
    ZuVALUE v{};
    v.t = ZU_FUNCTION | ZU_FLAG_EXT | ZU_FLAG_MEM | (isStatic ? ZU_FLAG_STA : 0);
    v.w1.i = head.count;
    v.w3.s = signature.get();
    c.functions.add(name, v);
    (void)signature.release();  // the member list owns it now
    if (isVirtual) State().virtualMembers.insert(c.name + "::" + name);
}

// The members of a class body up to "}".
void members(ClassBody& c) {
    for (;;) {
        const int t = Peek();
        if (t == tok::RBrace) return;
        if (t == tok::Eof) {
            Error(Msg::UnexpectedEndOfFile);
            return;
        }
        bool isStatic = false, isVirtual = false;
        for (;;) {
            if (Accept(tok::KwStatic))
                isStatic = true;
            else if (Accept(tok::KwVirtual))
                isVirtual = true;
            else
                break;
        }
        const int u = Peek();
        if (u == tok::KwConst) {
            Next();
            if (Peek() != tok::KwDecl) {
                Error(Msg::MemberDeclarationExpected);
                continue;
            }
            dataMembers(c, ZU_FLAG_CON | ZU_FLAG_STA);
        } else if (u == tok::KwDecl) {
            dataMembers(c, isStatic ? ZU_FLAG_STA : 0);
        } else if (u == tok::Identifier || u == tok::Tilde) {
            memberFunction(c, isStatic, isVirtual);
        } else if (u == tok::Semicolon) {
            Next();
        } else if (u != tok::RBrace && u != tok::Eof) {
            Next();
            Error(Msg::OutOfPlace, u == tok::Identifier ? State().text : SZuTokenName(u));
        }
    }
}

// The base class's data members in front of the class's own.
void inheritData(int base, MemberList& all) {
    if (base < 0) return;
    const ZuVALUE& b = symbolTable()[base].val;
    for (int i = 0; i < b.w1.i && b.w4.nv; ++i)
        all.add(b.w4.nv[i].name ? b.w4.nv[i].name : "", CopyValue(b.w4.nv[i].val));
    for (ZuNAMEDVALUE& m : all.records) m.val.t |= ZU_FLAG_MEM;
}

}  // namespace

// class Name [: Base] { members }
void ParseClass() {
    SymbolTable& st = symbolTable();
    Next();
    if (!Expect(tok::Identifier)) return;
    ClassBody c;
    c.name = Qualified(State().text);
    int base = -1;
    if (Accept(tok::Colon) && Expect(tok::Identifier)) {
        base = FindGlobal(State().text);
        if (base < 0 || kindOf(st[base].val) != ZU_CLASS) {
            Error(Msg::ClassExpected, State().text);
            base = -1;
        }
    }
    const Declaration d = st.declare(c.name, ZU_CLASS | ZU_FLAG_GLO, 0);
    Expect(tok::LBrace);
    members(c);
    Expect(tok::RBrace);
    if (d.outcome == Declared::Duplicate) return;

    MemberList all;
    inheritData(base, all);
    all.takeAll(c.data);
    ZuVALUE& v = st[d.index].val;
    v.t = ZU_CLASS | ZU_FLAG_GLO;
    v.w1.i = static_cast<int>(all.records.size());
    v.w2.i = base;
    v.w4.nv = all.release(false);
    if (!v.w4.nv) v.w1.i = 0;
    v.w5.nv = c.functions.release(true);
    st.bindClassRecord(d.index);
}

// Class::member ( formals ) { body }
void ParseMemberDefinition(std::string className) {
    SymbolTable& st = symbolTable();
    ParseState& s = State();
    std::string name = Accept(tok::Tilde) ? "~" : "";
    if (!Expect(tok::Identifier)) return;
    name += s.text;
    const int cls = FindGlobal(className);
    if (cls < 0 || kindOf(st[cls].val) != ZU_CLASS) {
        Error(Msg::ClassExpected, className);
        FunctionHead ignored = ParseFormals(name, true);
        if (Peek() == tok::LBrace) skipBody();
        return;
    }
    const std::string qualifiedClass = st[cls].name;
    int position = -1;
    const ZuVALUE& cv = st[cls].val;
    for (int i = 0; cv.w5.nv && cv.w5.nv[i].name; ++i)
        if (name == cv.w5.nv[i].name) position = i;
    if (position < 0) {
        if (st.findDataMember(cls, name) >= 0)
            Error(Msg::FunctionMemberNotFound, name);
        else
            Error(Msg::UndeclaredMemberFunction, name);
    } else if (!(cv.w5.nv[position].val.t & ZU_FLAG_EXT)) {
        Error(Msg::MemberAlreadyDefined, name);
        position = -1;
    }
    FunctionHead head = ParseFormals(name, true);
    if (position >= 0) {
        const ZuVALUE& f = cv.w5.nv[position].val;
        if (f.w1.i != head.count)
            Error(Msg::ArgumentCountRedefined, name);
        else if (std::string_view(f.w3.s ? f.w3.s : "") != MakeSignatureView(head))
            Error(Msg::ArgumentQualifierRedefined, name);
    }
    if (Peek() != tok::LBrace) {
        Error(Msg::FunctionBodyExpected, name);
        Accept(tok::Semicolon);
        return;
    }
    s.currentClass = cls;
    s.memberName = name;
    s.memberStatic = position >= 0 && (cv.w5.nv[position].val.t & ZU_FLAG_STA);
    s.inConstructor = name == simpleName(qualifiedClass);
    s.inDestructor = name[0] == '~';
    const int start = CompileFunctionBody(head);
    s.currentClass = -1;
    s.memberName.clear();
    s.memberStatic = s.inConstructor = s.inDestructor = false;
    if (position >= 0) {
        ZuVALUE& f = st[cls].val.w5.nv[position].val;
        f.t &= ~ZU_FLAG_EXT;
        f.w2.i = start;
    }
}

}  // namespace zu::compiler
