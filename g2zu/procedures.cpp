// Procedures: proc and keyword heads, local, retp, endp and fn.
#include <algorithm>

#include "translator.h"

namespace g2zu {

// proc [(n)] [=] name ( formals ) ;   keyword name ( formal ) ;
void Translator::procedure(Kind kind) {
    close_main();
    if (in_proc_) {
        messages_.error(Err::NestedProc);
        end_procedure();
    }
    int returns = 1;
    if (in_.accept(Tok::LParen)) {
        returns = read_count();
        in_.expect(Tok::RParen);
    }
    in_.accept(Tok::Assign);
    Token id = in_.next();
    if (id.code != Tok::Ident) {
        messages_.error(Err::ExpectedButFound, gauss_spelling(Tok::Ident), token_name(id));
        in_.skip_to(Tok::Semicolon);
        return;
    }
    Symbols::Defined own = define_procedure(id.text, kind);
    std::string zu_name = written_name(own.index, id.text);
    if (zu_name != id.text) log_output("procedure " + id.text + " renamed " + zu_name + "\n");
    put(zu_name + "(");
    in_proc_ = true;
    proc_scope_ = symbols_.enter_scope();
    proc_returns_ = returns;
    retp_count_ = 0;
    gosubs_in_proc_ = 0;

    Formals formals = read_formals();
    expect_end();
    std::vector<bool> consts = find_const_formals(formals.names);
    std::string list;
    for (std::size_t i = 0; i < formals.names.size(); ++i) {
        if (i > 0) list += ", ";
        if (i < consts.size() && consts[i]) list += "const ";
        list += symbols_.variable_name(formals.names[i]);
    }
    // Zu needs a fixed argument before "...": a procedure with optional
    // arguments only gets them all as one array.
    packed_arguments_ = formals.varargs && formals.names.empty();
    if (formals.varargs) list += formals.names.empty() ? std::string(kPackedArguments) : ", ...";
    put(list + ")");
    if (own.is_new) {
        Symbol& s = symbols_.at(own.index);
        s.return_count = returns;
        s.argument_count = static_cast<int>(consts.size());
        // All names are kept for the header; only the tracked ones can be const.
        s.arguments = formals.names;
        s.const_flags = consts;
        s.const_flags.resize(formals.names.size(), false);
        s.varargs = formals.varargs;
    }
    for (std::size_t i = 0; i < formals.names.size(); ++i) {
        note_renamed(formals.names[i]);
        int local = define(formals.names[i], Kind::Variable, symbols_.scope_start());
        symbols_.at(local).struct_type = formals.struct_types[i];
    }
    out_.open_brace();
}

// The record of a procedure being defined: the one the first pass made, or
// a new one (a second definition of a name is a duplicate).
Symbols::Defined Translator::define_procedure(std::string_view name, Kind kind) {
    int found = symbols_.find(name, table_top_);
    if (found >= 0 && symbols_.at(found).predeclared) {
        Symbol& s = symbols_.at(found);
        s.predeclared = false;
        s.kind = kind;
        return {found, true};
    }
    return symbols_.define(name, kind, table_top_, in_.in_include(), false);
}

// ( name, ... ) of a procedure head; none when there is no parenthesis.
Translator::Formals Translator::read_formals() { return read_formal_list(in_, messages_); }

// Reads the body ahead: a formal that starts a statement, or stands in the
// brace list of a multiple assignment, is assigned to and so is not const.
std::vector<bool> Translator::find_const_formals(const std::vector<std::string>& formals) {
    std::size_t tracked = std::min<std::size_t>(formals.size(), Symbols::kMaxArguments);
    std::vector<bool> consts(tracked, true);
    auto assigned = [&](const std::string& name) {
        for (std::size_t i = 0; i < tracked; ++i)
            if (formals[i] == name) consts[i] = false;
    };
    Scanner::Mark m = in_.mark();
    bool at_start = true;
    for (;;) {
        Token t = in_.next();
        if (t.code == Tok::Eof || t.code == Tok::Endp) break;
        if (at_start && t.code == Tok::Ident) assigned(t.text);
        if (at_start && t.code == Tok::LBrace) {
            for (t = in_.next(); t.code == Tok::Ident || t.code == Tok::Comma; t = in_.next())
                if (t.code == Tok::Ident) assigned(t.text);
            if (t.code == Tok::Eof || t.code == Tok::Endp) break;
        }
        at_start = t.code == Tok::Semicolon;
    }
    in_.rewind(m);
    return consts;
}

void Translator::end_procedure() {
    close_open_blocks();
    out_.close_brace();
    symbols_.leave_scope(proc_scope_);
    in_proc_ = false;
    packed_arguments_ = false;
    proc_returns_ = 0;
}

void Translator::endp_statement() {
    in_.next();
    if (!in_proc_) {
        messages_.error(Err::OnlyInProcedure, "endp");
        in_.skip_to(Tok::Semicolon);
        return;
    }
    end_procedure();
    expect_end();
}

// local names ;
void Translator::local_statement() {
    in_.next();
    if (!in_proc_) {
        messages_.error(Err::OnlyInProcedure, "local");
        in_.skip_to(Tok::Semicolon);
        return;
    }
    std::string list;
    for (;;) {
        Token t = in_.next();
        if (t.code == Tok::Semicolon || t.code == Tok::Eof) break;
        if (t.code == Tok::Comma) continue;
        if (t.code == Tok::Colon) {  // local f:proc
            in_.next();
            continue;
        }
        if (t.code != Tok::Ident) {
            messages_.error(Err::UnexpectedSymbol, token_name(t));
            in_.skip_to(Tok::Semicolon);
            break;
        }
        // local f:proc names an argument that is a procedure: nothing new
        bool procedure_argument = in_.peek().code == Tok::Colon && symbols_.find_local(t.text) >= 0;
        if (procedure_argument) continue;
        note_renamed(t.text);
        if (symbols_.define(t.text, Kind::Variable, symbols_.scope_start(), in_.in_include(), main_open_).is_new)
            list += (list.empty() ? "" : ", ") + symbols_.variable_name(t.text);
    }
    if (!list.empty()) put("decl " + list + ";");
}

// retp ;  retp(e) ;  retp(e1, e2, ...) ;
void Translator::retp_statement() {
    in_.next();
    if (!in_proc_) {
        messages_.error(Err::OnlyInProcedure, "retp");
        in_.skip_to(Tok::Semicolon);
        return;
    }
    ++retp_count_;
    if (in_.accept(Tok::Semicolon)) {
        put("return;");
        return;
    }
    if (proc_returns_ <= 1) {
        put("return ");
        finish_statement(expression());
        return;
    }
    put("return { ");
    bool paren = in_.accept(Tok::LParen);
    Tok end = paren ? Tok::RParen : Tok::Semicolon;
    Tok t = Tok::Comma;
    while (t == Tok::Comma) {
        t = expression();
        if (t == Tok::Comma) put(", ");
    }
    if (t != end) messages_.error(Err::ExpectedButFound, gauss_spelling(end), gauss_spelling(t));
    put(" }");
    if (paren && t == Tok::RParen) t = in_.peek().code;
    finish_statement(t);
}

// fn name ( formals ) = e ;
void Translator::fn_statement() {
    in_.next();
    if (in_proc_) {
        messages_.error(Err::NestedProc, "fn");
        in_.skip_to(Tok::Semicolon);
        return;
    }
    close_main();
    Token id = in_.next();
    if (id.code != Tok::Ident) {
        messages_.error(Err::ExpectedButFound, gauss_spelling(Tok::Ident), token_name(id));
        in_.skip_to(Tok::Semicolon);
        return;
    }
    Symbols::Defined own = define_procedure(id.text, Kind::Procedure);
    int previous = symbols_.enter_scope();
    std::vector<std::string> formals = read_formals().names;
    std::string list;
    for (std::size_t i = 0; i < formals.size(); ++i) {
        if (i == Symbols::kMaxArguments) messages_.error(Err::TooManyFnArguments, formals[i]);
        if (i > 0) list += ", ";
        if (i < Symbols::kMaxArguments) list += "const ";
        list += symbols_.variable_name(formals[i]);
        define(formals[i], Kind::Variable, symbols_.scope_start());
    }
    std::size_t tracked = std::min<std::size_t>(formals.size(), Symbols::kMaxArguments);
    if (own.is_new) {
        Symbol& s = symbols_.at(own.index);
        s.return_count = 1;
        s.argument_count = static_cast<int>(tracked);
        s.arguments = formals;
        s.const_flags.assign(formals.size(), false);
        std::fill(s.const_flags.begin(), s.const_flags.begin() + static_cast<long>(tracked), true);
    }
    put(written_name(own.index, id.text) + "(" + list + ")");
    out_.open_brace();
    if (in_.expect(Tok::Assign)) {
        put("return ");
        finish_statement(expression());
    } else {
        in_.skip_to(Tok::Semicolon);
    }
    out_.close_brace();
    symbols_.leave_scope(previous);
}

}  // namespace g2zu
