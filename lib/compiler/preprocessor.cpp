// The preprocessor: directives after "#", the include stack and the
// conditional sections.
#include <array>
#include <string>

#include "compiler/scanner.h"
#include "zu.h"

namespace zu::compiler {
namespace {

bool Skipping() { return Scan().skipDepth != 0; }

// Blanks and tabs within the directive's line; the first other character
// is returned.
int SkipLineBlanks() {
    int c = ReadChar();
    while (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v' || c == 26) c = ReadChar();
    return c;
}

// A name on the directive's line, as written: no replacement, no keywords.
std::string DirectiveName() {
    std::string name;
    int c = SkipLineBlanks();
    bool tooLong = false;
    for (; IsRunChar(c); c = GetChar()) {
        if (name.size() < static_cast<std::size_t>(kTokenTextMax))
            name.push_back(static_cast<char>(c));
        else
            tooLong = true;
    }
    UngetChar(c);
    if (tooLong) Report(ScanMessage::SymbolTooLong);
    return name;
}

// ---- include stack ----------------------------------------------------------

void PushInclude(const std::string& name, bool quoted, bool counted, const char* defaultExt) {
    ScanState& s = Scan();
    if (s.includeDepth + 1 >= kIncludeLevels) {
        Report(ScanMessage::IncludeTooDeep, name);
        return;
    }
    std::array<char, ZU_PATH_MAX> found{};
    std::FILE* f = ZuFileOpenSearch(name.c_str(), quoted ? 1 : 0, 0, found.data(), defaultExt);
    if (f == nullptr) {
        Report(ScanMessage::IncludeNotFound, name, counted);
        return;
    }
    found.back() = '\0';
    IncludeEntry& e = s.includes[static_cast<std::size_t>(++s.includeDepth)];
    e.file.reset(f);
    e.path = found.data();
    e.savedLine = s.line;
    e.pushBack.count = 0;
    s.line = 1;
}

struct IncludeOperand {
    std::string name;
    bool quoted = false;
    bool ok = false;
};

// "<name>": up to ">" on the same line.
IncludeOperand AngleOperand() {
    IncludeOperand op;
    for (int c = GetChar();; c = GetChar()) {
        if (c == '>') break;
        if (c == '\n' || c == -1) {
            UngetChar(c);
            Report(ScanMessage::IncludeNameNotEnded);
            return op;
        }
        if (op.name.size() < static_cast<std::size_t>(kTokenTextMax)) op.name.push_back(static_cast<char>(c));
    }
    op.ok = true;
    return op;
}

// The operand of #include and #import: "name" or <name>.
IncludeOperand ZuOperand() {
    int c = SkipLineBlanks();
    if (c == '"') {
        ClearText();
        ScanStringLiteral();
        return {std::string(Text()), true, true};
    }
    if (c == '<') return AngleOperand();
    std::string shown;
    if (IsRunChar(c)) {
        UngetChar(c);
        shown = DirectiveName();
    } else if (c == '\n' || c == -1) {
        UngetChar(c);
    } else {
        shown.push_back(static_cast<char>(c));
    }
    Report(ScanMessage::Unrecognized, shown);
    return {};
}

// ZuGauss #include: a string or an unquoted name, and an optional ";".
IncludeOperand GaussOperand() {
    int c = SkipLineBlanks();
    IncludeOperand op;
    if (c == '"') {
        ClearText();
        ScanStringLiteral();
        op = {std::string(Text()), true, true};
    } else {
        for (; c != -1 && c != ';' && !IsSpaceChar(c); c = GetChar())
            if (op.name.size() < static_cast<std::size_t>(kTokenTextMax)) op.name.push_back(static_cast<char>(c));
        UngetChar(c);
        op.ok = !op.name.empty();
        if (!op.ok) Report(ScanMessage::Unrecognized, op.name);
    }
    c = SkipLineBlanks();
    if (c != ';') UngetChar(c);
    return op;
}

bool HasExtension(std::string_view name) {
    std::size_t base = name.find_last_of("/\\");
    std::string_view file = base == std::string_view::npos ? name : name.substr(base + 1);
    return file.find('.') != std::string_view::npos;
}

// ---- directives -------------------------------------------------------------

// A directive handler returns the token to hand out, or 0 to go on.
using Handler = int (*)(std::string_view word);

int Include(std::string_view) {
    IncludeOperand op = Scan().gauss ? GaussOperand() : ZuOperand();
    if (op.ok && !Skipping()) PushInclude(op.name, op.quoted, true, "");
    return 0;
}

int Import(std::string_view) {
    IncludeOperand op = ZuOperand();
    if (!op.ok || Skipping()) return 0;
    const std::string& name = op.name;
    if (!name.empty() && name.back() != '/' && name.back() != '\\') {
        std::size_t colons = name.find("::");
        std::string file = colons == std::string::npos ? name : name.substr(colons + 2);
        if (HasExtension(file)) Report(ScanMessage::ImportHasExtension);
        const std::string guard = name + "$h$";
        if (FindDefine(guard) == nullptr) {
            PushInclude(file, op.quoted, false, ".h");
            DefineName(guard, std::nullopt, false);
        }
    }
    SetText(name);
    return tok::Import;
}

// ZuGauss: the rest of the line after the name is the define's value.
std::optional<std::string> GaussDefineValue() {
    int c = SkipLineBlanks();
    std::string value;
    for (; c != '\r' && c != '\n' && c != -1; c = GetChar())
        if (value.size() < static_cast<std::size_t>(kTokenTextMax)) value.push_back(static_cast<char>(c));
    UngetChar(c);
    if (value.empty()) return std::nullopt;
    return value;
}

int Define(std::string_view word) {
    const std::string name = DirectiveName();
    std::optional<std::string> value;
    if (Scan().gauss) value = GaussDefineValue();
    if (Skipping()) return 0;
    if (name.empty()) {
        Report(ScanMessage::Unrecognized, word);
        return 0;
    }
    const bool caseInsensitive = Scan().gauss && word == "define";
    DefineName(name, value, caseInsensitive);
    return 0;
}

int Undef(std::string_view) {
    const std::string name = DirectiveName();
    if (!Skipping()) RemoveDefine(name);
    return 0;
}

// Opens a conditional section, skipping it unless `keep`.
void OpenConditional(bool keep) {
    ScanState& s = Scan();
    ++s.ifDepth;
    if (s.skipDepth == 0 && !keep) s.skipDepth = s.ifDepth;
}

int IfDef(std::string_view) {
    const std::string name = DirectiveName();
    OpenConditional(FindDefine(name) != nullptr);
    return 0;
}

int IfNDef(std::string_view) {
    const std::string name = DirectiveName();
    OpenConditional(FindDefine(name) == nullptr);
    return 0;
}

int Else(std::string_view) {
    ScanState& s = Scan();
    if (s.ifDepth == 0)
        Report(ScanMessage::NoMatchingIf);
    else if (s.skipDepth == s.ifDepth)
        s.skipDepth = 0;
    else if (s.skipDepth == 0)
        s.skipDepth = s.ifDepth;
    return 0;
}

int EndIf(std::string_view) {
    ScanState& s = Scan();
    if (s.ifDepth == 0) {
        Report(ScanMessage::NoMatchingIf);
        return 0;
    }
    if (s.skipDepth == s.ifDepth) s.skipDepth = 0;
    --s.ifDepth;
    return 0;
}

int Pragma(std::string_view word) {
    if (Skipping()) return 0;
    SetText(word);
    return tok::Pragma;
}

// ZuGauss line-number directives: an optional "(...)" and ";" are skipped.
int IgnoredDirective(std::string_view) {
    int c = SkipLineBlanks();
    if (c == '(') {
        do c = GetChar();
        while (c != ')' && c != '\n' && c != -1);
        if (c != ')') UngetChar(c);
        c = SkipLineBlanks();
    }
    if (c != ';') UngetChar(c);
    return 0;
}

int IfWindows(std::string_view) {
    OpenConditional(FindDefine("ZU_Windows") != nullptr);
    return 0;
}
int IfNotWindows(std::string_view) {
    OpenConditional(FindDefine("ZU_Windows") == nullptr);
    return 0;
}
int IfComplex(std::string_view) {
    OpenConditional(FindDefine("ZU_COMPLEX") != nullptr);
    return 0;
}
int IfReal(std::string_view) {
    OpenConditional(FindDefine("ZU_COMPLEX") == nullptr);
    return 0;
}
int IfAlways(std::string_view) {
    OpenConditional(true);
    return 0;
}
int IfNever(std::string_view) {
    OpenConditional(false);
    return 0;
}

struct Directive {
    std::string_view word;
    Handler handler;
    bool gaussOnly;
};

constexpr std::array kDirectives{
    Directive{"include", Include, false},
    Directive{"import", Import, false},
    Directive{"define", Define, false},
    Directive{"definecs", Define, false},
    Directive{"undef", Undef, false},
    Directive{"ifdef", IfDef, false},
    Directive{"ifndef", IfNDef, false},
    Directive{"else", Else, false},
    Directive{"endif", EndIf, false},
    Directive{"pragma", Pragma, false},
    Directive{"lineson", IgnoredDirective, true},
    Directive{"linesoff", IgnoredDirective, true},
    Directive{"srcfile", IgnoredDirective, true},
    Directive{"srcline", IgnoredDirective, true},
    Directive{"ifdos", IfWindows, true},
    Directive{"ifos2win", IfWindows, true},
    Directive{"ifunix", IfNotWindows, true},
    Directive{"ifcplx", IfComplex, true},
    Directive{"ifreal", IfReal, true},
    Directive{"ifdllcall", IfAlways, true},
    Directive{"iflight", IfNever, true},
};

// While a directive's operands are read, blanks are no tokens and string
// literals do not join the next line.
class DirectiveScope {
public:
    DirectiveScope() { Scan().inDirective = true; }
    ~DirectiveScope() { Scan().inDirective = false; }
    DirectiveScope(const DirectiveScope&) = delete;
    DirectiveScope& operator=(const DirectiveScope&) = delete;
};

// "#" has been read: the directive word and its action.
int RunDirective() {
    DirectiveScope scope;
    std::string word = DirectiveName();
    if (Scan().gauss)
        for (char& c : word) c = static_cast<char>(LowerChar(c));
    for (const Directive& d : kDirectives)
        if (d.word == word && (!d.gaussOnly || Scan().gauss)) return d.handler(word);
    Report(ScanMessage::BadDirective, word);
    return 0;
}

}  // namespace

void PopInclude() {
    ScanState& s = Scan();
    if (s.includeDepth < 0) return;
    IncludeEntry& e = s.includes[static_cast<std::size_t>(s.includeDepth--)];
    e.file.reset();
    e.path.clear();
    e.pushBack.count = 0;
    s.line = e.savedLine;
}

int PreprocessedToken() {
    for (;;) {
        int t = RawToken();
        if (t == tok::Hash) {
            if (int r = RunDirective()) return r;
            continue;
        }
        if (t == tok::Eof || !Skipping()) return t;
    }
}

}  // namespace zu::compiler
