// The first pass: before any statement is written, the file and the files it
// includes are read once for what a one-pass translation would meet too
// late: the procedures (called before their definition), the names that
// procedures declare external and the file-level globals that procedures use
// (both must be declared before the procedures) and the struct definitions
// (their member order). Its scanner reports nothing: the second pass does.
#include <set>

#include "translator.h"

namespace g2zu {

// ( formal, ... ) of a procedure head: plain names, &f (a procedure passed
// in), struct type name, and ... (optional arguments) at the end.
Translator::Formals Translator::read_formal_list(Scanner& in, Messages& messages) {
    Formals formals;
    if (!in.accept(Tok::LParen)) return formals;
    int dots = 0;
    std::string struct_type;
    for (;;) {
        Token t = in.next();
        if (t.code == Tok::RParen) break;
        if (t.code == Tok::Comma || t.code == Tok::Amp) continue;
        if (t.code == Tok::Dot) {
            if (++dots == 3) formals.varargs = true;
            continue;
        }
        if (t.code == Tok::Ident && t.text == "struct" && in.peek().code == Tok::Ident) {
            struct_type = in.next().text;
            continue;
        }
        if (t.code == Tok::Ident && !formals.varargs) {
            formals.names.push_back(t.text);
            formals.struct_types.push_back(struct_type);
            struct_type.clear();
            continue;
        }
        messages.error(Err::ExpectedButFound, ")", token_name(t));
        if (t.code != Tok::Semicolon && t.code != Tok::Eof) in.skip_to(Tok::RParen);
        break;
    }
    return formals;
}

// struct name { type member ; ... } ;  with the "struct" word already read.
// Each member is a matrix, string, array, string array or a struct.
void Translator::read_struct_definition(Scanner& in, const std::string& name) {
    StructLayout layout;
    in.next();  // {
    for (;;) {
        Token t = in.next();
        if (t.code == Tok::RBrace || t.code == Tok::Eof) break;
        if (t.code == Tok::Semicolon) continue;
        StructMember member;
        if (t.code == Tok::Ident && t.text == "struct" && in.peek().code == Tok::Ident) {
            member.struct_type = in.next().text;
        } else if (t.code == Tok::StringKw) {
            member.text = true;
            if (in.peek().code == Tok::Ident && in.peek().text == "array") {
                in.next();
                member.text = false;
                member.list = true;
            }
        } else if (t.code == Tok::Ident && t.text == "array") {
            member.list = true;
        }
        // the member names, up to the ";"
        for (Token n = in.next(); n.code != Tok::Semicolon && n.code != Tok::RBrace && n.code != Tok::Eof;
             n = in.next()) {
            if (n.code != Tok::Ident) continue;
            member.name = n.text;
            layout.push_back(member);
        }
    }
    in.accept(Tok::Semicolon);
    if (structs_.find(name) == structs_.end()) structs_[name] = std::move(layout);
}

void Translator::prescan_procedure(Scanner& in, Kind kind, bool fn) {
    int returns = 1;
    if (!fn && in.accept(Tok::LParen)) {
        Token n = in.next();
        returns = n.code == Tok::Integer && n.text.size() < 4 ? std::stoi(n.text) : 1;
        in.accept(Tok::RParen);
    }
    in.accept(Tok::Assign);
    Token id = in.next();
    if (id.code != Tok::Ident) return;
    Messages quiet(nullptr);
    Formals formals = read_formal_list(in, quiet);
    if (symbols_.find(id.text, table_top_) >= 0) return;  // a second definition: reported when read
    int index = symbols_.define(id.text, kind, table_top_, in.in_include(), false).index;
    Symbol& s = symbols_.at(index);
    s.return_count = returns;
    s.arguments = formals.names;
    s.argument_count = static_cast<int>(formals.names.size());
    s.varargs = formals.varargs;
    s.predeclared = true;
    if (symbols_.is_reserved(id.text) || id.text.starts_with("g2zu_")) s.replacement = "g_" + id.text;
}

void Translator::prescan_external(Scanner& in) {
    bool procedures = in.peek().code == Tok::Proc || in.peek().code == Tok::Keyword || in.peek().code == Tok::Fn;
    if (in.peek().code == Tok::Matrix || in.peek().code == Tok::StringKw || procedures) in.next();
    for (Token t = in.next(); t.code != Tok::Semicolon && t.code != Tok::Eof; t = in.next()) {
        if (t.code != Tok::Ident || symbols_.find(t.text, table_top_) >= 0) continue;
        if (procedures) continue;  // defined in a file of their own
        int index = symbols_.define(t.text, Kind::Variable, table_top_, in.in_include(), false).index;
        symbols_.at(index).external_only = true;
        if (!in.in_include()) hoisted_externals_.push_back(symbols_.variable_name(t.text));
    }
}

// Globals that the main file assigns at file level and that some procedure
// names: Gauss finds them when the procedure runs, Zu wants them declared
// before the procedure, so they are declared external at the top.
void Translator::hoist_globals(const std::vector<std::string>& assigned, const std::set<std::string>& mentioned) {
    std::set<std::string> seen(hoisted_externals_.begin(), hoisted_externals_.end());
    for (const std::string& name : assigned) {
        if (mentioned.count(name) == 0) continue;
        int s = symbols_.find(name, table_top_);
        if (s >= 0 && symbols_.at(s).kind != Kind::Variable) continue;
        std::string zu = symbols_.variable_name(name);
        if (seen.insert(zu).second) hoisted_externals_.push_back(zu);
    }
}

void Translator::prescan(std::string_view file) {
    table_top_ = symbols_.top();
    Messages quiet(nullptr);
    Scanner pre(quiet, nullptr);
    if (!pre.open(file)) return;
    bool at_start = true;
    bool in_proc = false;
    std::vector<std::string> assigned;  // file-level assignments of the main file
    std::set<std::string> mentioned;    // names inside procedure bodies
    for (;;) {
        Token t = pre.next();
        if (t.code == Tok::Eof) break;
        if (t.code == Tok::Hash) {  // a preprocessor line ends with its line
            pre.read_raw("", true);
            continue;
        }
        if (in_proc && t.code == Tok::Ident) mentioned.insert(t.text);
        if (at_start && !in_proc && !pre.in_include() && t.code == Tok::Ident) {
            Tok next = pre.peek().code;
            if (next == Tok::Assign || next == Tok::LBracket) assigned.push_back(t.text);
        }
        if (at_start) {
            if (t.code == Tok::Proc || t.code == Tok::Keyword) {
                prescan_procedure(pre, t.code == Tok::Proc ? Kind::Procedure : Kind::KeywordProc, false);
                in_proc = true;
                pre.skip_to(Tok::Semicolon);
                continue;
            }
            if (t.code == Tok::Fn) {
                prescan_procedure(pre, Kind::Procedure, true);
                pre.skip_to(Tok::Semicolon);
                continue;
            }
            if (t.code == Tok::Endp) in_proc = false;
            if (t.code == Tok::External && in_proc) {
                prescan_external(pre);
                continue;
            }
            if (t.code == Tok::Ident && t.text == "struct" && pre.peek().code == Tok::Ident) {
                std::string name = pre.next().text;
                if (pre.peek().code == Tok::LBrace) {
                    read_struct_definition(pre, name);
                    continue;
                }
            }
        }
        // a statement begins after ";" and after a label "name:"
        at_start = t.code == Tok::Semicolon || (at_start && t.code == Tok::Ident && pre.peek().code == Tok::Colon);
        if (at_start && t.code == Tok::Ident) pre.next();
    }
    hoist_globals(assigned, mentioned);
}

}  // namespace g2zu
