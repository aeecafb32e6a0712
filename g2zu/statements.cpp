// Statements: dispatch on the first token, control flow, assignments, prints.
#include "translator.h"

#include <algorithm>

namespace g2zu {

void Translator::dispatch() {
    Tok code = in_.peek().code;
    switch (code) {
    case Tok::If: if_statement(); return;
    case Tok::Elseif: elseif_statement(); return;
    case Tok::Else: else_statement(); return;
    case Tok::Endif: endif_statement(); return;
    case Tok::Do: do_statement(); return;
    case Tok::Endo: endo_statement(); return;
    case Tok::For: for_statement(); return;
    case Tok::Endfor: endfor_statement(); return;
    case Tok::Break: simple("break;"); return;
    case Tok::Continue: simple("continue;"); return;
    case Tok::End:
        open_main();
        simple("exit(0);");
        return;
    case Tok::Call: call_statement(); return;
    case Tok::Proc:
        in_.next();
        procedure(Kind::Procedure);
        return;
    case Tok::Keyword:
        in_.next();
        procedure(Kind::KeywordProc);
        return;
    case Tok::Local: local_statement(); return;
    case Tok::Retp: retp_statement(); return;
    case Tok::Endp: endp_statement(); return;
    case Tok::Fn: fn_statement(); return;
    case Tok::Goto: jump_statement(false); return;
    case Tok::Gosub: jump_statement(true); return;
    case Tok::Return: return_statement(); return;
    case Tok::Question: print_statement(); return;
    case Tok::StringKw:
    case Tok::Matrix:
        if (typed_declaration()) return;
        if (code == Tok::Matrix) break;
        skip_command(gauss_spelling(in_.next().code));
        return;
    case Tok::Close:
    case Tok::Open:
    case Tok::Int: skip_command(gauss_spelling(in_.next().code)); return;
    case Tok::LBrace: multiple_assignment(); return;
    case Tok::Let: {
        in_.next();
        in_.accept(Tok::Matrix);
        constant_assignment(in_.accept(Tok::StringKw));
        return;
    }
    case Tok::Declare: {
        in_.next();
        close_main();
        in_.accept(Tok::Matrix);
        constant_assignment(in_.accept(Tok::StringKw));
        return;
    }
    case Tok::External: external_statement(); return;
    case Tok::Print:
    case Tok::Lprint: print_statement(); return;
    case Tok::Integer:
    case Tok::Double:
    case Tok::HexDouble:
    case Tok::Complex:
    case Tok::String:
    case Tok::LParen: implicit_print(); return;
    case Tok::Hash: preprocessor(); return;
    case Tok::Ident: ident_statement(); return;
    case Tok::Until:
    case Tok::While:
        messages_.error(Err::UnexpectedSymbol, gauss_spelling(code));
        in_.skip_to(Tok::Semicolon);
        return;
    default: break;
    }
    switch (classify()) {
    case Form::Label: label(); return;
    case Form::Constant: constant_assignment(false); return;
    case Form::Assignment: assignment(); return;
    case Form::Print: implicit_print(); return;
    }
}

void Translator::ident_statement() {
    const Token& id = in_.peek();
    if (id.text == "struct") {
        struct_statement();
        return;
    }
    if (is_command_word(id.text)) {
        command();
        return;
    }
    int s = symbols_.find_global(id.text);
    if (s >= 0 && symbols_.at(s).kind == Kind::KeywordProc) {
        keyword_call();
        return;
    }
    std::string word = id.text;
    Form form = classify();
    // Calls that wait for the user: a batch run has nobody to wait for.
    static constexpr std::string_view kWaits[] = {"wait", "waitc", "pause"};
    if (form == Form::Print && std::find(std::begin(kWaits), std::end(kWaits), word) != std::end(kWaits)) {
        messages_.log_input(word + ": nothing to do in a batch run\n");
        in_.next();
        skip_raw();
        return;
    }
    if (form == Form::Print && s >= 0 && symbols_.at(s).return_count == 0 &&
        (symbols_.at(s).kind == Kind::Procedure || symbols_.at(s).kind == Kind::Conversion)) {
        call_statement();
        return;
    }
    switch (form) {
    case Form::Label: label(); return;
    case Form::Constant: constant_assignment(false); return;
    case Form::Assignment: assignment(); return;
    case Form::Print: implicit_print(); return;
    }
}

// Reads ahead to tell a label, an implicit print, a constant assignment and
// an assignment apart; the reading position is always restored.
Translator::Form Translator::classify() {
    Scanner::Mark m = in_.mark();
    Token first = in_.next();
    Tok second = in_.next().code;
    Form form = Form::Print;
    if (first.code == Tok::Ident && second == Tok::Colon) {
        form = Form::Label;
    } else {
        for (Tok t = second; t != Tok::Semicolon && t != Tok::Eof; t = in_.next().code) {
            if (t != Tok::Assign) continue;
            Tok u = in_.next().code;
            form = Form::Assignment;
            if (u == Tok::LBrace) {
                form = Form::Constant;
            } else if (first.code == Tok::Ident && second != Tok::LBracket && second != Tok::DotWord) {
                if (u == Tok::Minus || u == Tok::Plus) u = in_.next().code;
                if ((is_number(u) || u == Tok::String) && in_.next().code == Tok::Semicolon) form = Form::Constant;
            }
            break;
        }
    }
    in_.rewind(m);
    return form;
}

// ---------------------------------------------------------------------------
// Assignments and labels

// name [index] = e ;
void Translator::assignment() {
    Token id = in_.next();
    if (id.code != Tok::Ident) {
        messages_.error(Err::LvalueExpected, token_name(id));
        in_.skip_to(Tok::Semicolon);
        return;
    }
    if (!in_proc_ && !known_variable(id.text)) {
        if (!main_open_) put("decl " + symbols_.variable_name(id.text) + ";");
        define_variable(id.text);
    }
    open_main();
    name(id);
    if (!in_.expect(Tok::Assign)) {
        in_.skip_to(Tok::Semicolon);
        put(";");
        return;
    }
    put(" = ");
    finish_statement(expression());
}

// name :
void Translator::label() {
    Token id = in_.next();
    in_.next();
    open_main();
    out_.write_at_margin(":" + id.text);
}

// { names } = e ;
void Translator::multiple_assignment() {
    in_.next();
    std::vector<std::string> names;
    for (;;) {
        Token t = in_.next();
        if (t.code == Tok::RBrace) break;
        if (t.code == Tok::Comma) continue;
        if (t.code == Tok::Ident) {
            names.push_back(t.text);
            continue;
        }
        messages_.error(Err::ExpectedButFound, "}", token_name(t));
        if (t.code != Tok::Semicolon) in_.skip_to(Tok::Semicolon);
        return;
    }
    if (!in_.expect(Tok::Assign)) {
        in_.skip_to(Tok::Semicolon);
        return;
    }
    if (!in_proc_) {
        std::string fresh;
        for (const std::string& n : names) {
            if (known_variable(n)) continue;
            fresh += (fresh.empty() ? "" : ", ") + symbols_.variable_name(n);
            define_variable(n);
        }
        if (!fresh.empty() && !main_open_) put("decl " + fresh + ";");
    }
    open_main();
    std::string list;
    for (const std::string& n : names) list += (list.empty() ? "" : ", ") + symbols_.variable_name(n);
    put("[" + list + "] = ");
    finish_statement(expression());
}

// ---------------------------------------------------------------------------
// Printing

void Translator::implicit_print() {
    open_main();
    LineModeScope lines(in_, true);
    put("g2zu_println(");
    Tok t = print_items(", ", false);
    put(")");
    finish_statement(t);
}

// print [/options] items ;   ? items ;
// Gauss ends the line after the items unless the statement ends with ";;".
void Translator::print_statement() {
    in_.next();
    skip_slash_options();
    open_main();
    if (in_.accept(Tok::Semicolon)) {
        put("print(\"\\n\");");
        return;
    }
    bool stay_on_line = ends_with_two_semicolons();
    // Through the support file: a 1 by 1 matrix prints as a number.
    std::string call = stay_on_line ? "g2zu_print" : "g2zu_println";
    bool bare = lone_paren_item();
    LineModeScope lines(in_, true);
    put(bare ? call : call + "(");
    Tok t = print_items(", ", false);
    if (!bare) put(")");
    finish_statement(t);
}

// Does the statement ahead end with ";;"? The reading position is kept.
bool Translator::ends_with_two_semicolons() {
    Scanner::Mark m = in_.mark();
    Tok t = in_.next().code;
    while (t != Tok::Semicolon && t != Tok::Eof) t = in_.next().code;
    bool twice = t == Tok::Semicolon && in_.next().code == Tok::Semicolon;
    in_.rewind(m);
    return twice;
}

// ---------------------------------------------------------------------------
// Control flow

void Translator::if_statement() {
    in_.next();
    open_main();
    put("if (");
    Tok t = expression();
    put(")");
    if (t == Tok::Semicolon)
        in_.next();
    else
        finish_statement(t);
    out_.open_brace();
    blocks_.push_back(Block::If);
}

void Translator::elseif_statement() {
    in_.next();
    if (std::find(blocks_.begin(), blocks_.end(), Block::If) == blocks_.end()) {
        messages_.error(Err::NoMatchingIf);
        in_.skip_to(Tok::Semicolon);
        return;
    }
    out_.close_brace();
    out_.flush();
    put("else if (");
    Tok t = expression();
    put(")");
    if (t == Tok::Semicolon)
        in_.next();
    else
        finish_statement(t);
    out_.open_brace();
}

void Translator::else_statement() {
    in_.next();
    if (std::find(blocks_.begin(), blocks_.end(), Block::If) == blocks_.end()) {
        messages_.error(Err::NoMatchingIf);
        in_.skip_to(Tok::Semicolon);
        return;
    }
    out_.close_brace();
    out_.flush();
    put("else");
    out_.open_brace();
    expect_end();
}

void Translator::endif_statement() {
    in_.next();
    if (!close_last(false)) messages_.error(Err::NoMatchingIf);
    expect_end();
}

// do while e ;  or  do until e ;
void Translator::do_statement() {
    in_.next();
    Token kind = in_.next();
    if (kind.code != Tok::While && kind.code != Tok::Until) {
        messages_.error(Err::ExpectedButFound, "while", token_name(kind));
        in_.skip_to(Tok::Semicolon);
        return;
    }
    open_main();
    put(kind.code == Tok::While ? "while (" : "while ( !(");
    Tok t = expression();
    put(kind.code == Tok::While ? ")" : ") )");
    if (t == Tok::Semicolon)
        in_.next();
    else
        finish_statement(t);
    out_.open_brace();
    blocks_.push_back(Block::Do);
}

void Translator::endo_statement() {
    in_.next();
    if (!close_last(true)) messages_.error(Err::NoMatchingDo);
    expect_end();
}

// for i ( start, stop, step ) ;
void Translator::for_statement() {
    in_.next();
    Token i = in_.next();
    if (i.code != Tok::Ident || !in_.expect(Tok::LParen)) {
        if (i.code != Tok::Ident) messages_.error(Err::ExpectedButFound, gauss_spelling(Tok::Ident), token_name(i));
        in_.skip_to(Tok::Semicolon);
        return;
    }
    open_main();
    // A counter that is a local (or argument) of the procedure is that
    // variable; any other counter belongs to the loop.
    std::string counter = symbols_.variable_name(i.text);
    bool own = in_proc_ && symbols_.find_local(i.text) >= 0;
    out_.open_brace(own ? std::string("{") : "{\tdecl " + counter + ";");
    blocks_.push_back(Block::For);
    put("for (" + counter + " = ");
    // A step held in a variable may count either way: the test then asks
    // whether the counter is still on the near side of the stop.
    bool negative = false;
    std::string step_name;
    Step step = step_ahead(negative, step_name);
    std::string test = "; " + counter + (step == Step::Literal && negative ? " >= " : " <= ");
    std::string after_stop = "; " + counter + " += ";
    if (step == Step::Variable) {
        test = "; (" + counter + " - (";
        after_stop = ")) * (" + step_name + ") <= 0; " + counter + " += ";
    }
    const std::string parts[] = {test, after_stop, ")"};
    for (int k = 0; k < 3; ++k) {
        Tok t = expression();
        put(parts[k]);
        Tok wanted = k < 2 ? Tok::Comma : Tok::RParen;
        if (t != wanted) {
            messages_.error(Err::ExpectedButFound, gauss_spelling(wanted), gauss_spelling(t));
            if (t == Tok::RParen || t == Tok::Semicolon || t == Tok::Eof) {
                for (++k; k < 3; ++k) put(parts[k]);
                break;
            }
        }
    }
    expect_end();
    out_.open_brace();
}

// The step of the for loop ahead: Literal for a number (negative says
// whether it counts down), Variable for a variable or its negation (name
// gets its Zu text, the sign included), Other for anything else.
Translator::Step Translator::step_ahead(bool& negative, std::string& name) {
    Scanner::Mark m = in_.mark();
    int depth = 0;
    int commas = 0;
    Step step = Step::Other;
    negative = false;
    for (;;) {
        Tok t = in_.next().code;
        if (t == Tok::Semicolon || t == Tok::Eof) break;
        if (t == Tok::LParen || t == Tok::LBracket) ++depth;
        if ((t == Tok::RParen || t == Tok::RBracket) && --depth < 0) break;
        if (t == Tok::Comma && depth == 0 && ++commas == 2) {
            Token first = in_.next();
            negative = first.code == Tok::Minus;
            Token value = negative ? in_.next() : first;
            if (in_.next().code != Tok::RParen) break;
            if (is_number(value.code)) step = Step::Literal;
            int s = value.code == Tok::Ident ? symbols_.find_global(value.text) : -1;
            if (value.code == Tok::Ident && (s < 0 || symbols_.at(s).kind == Kind::Variable)) {
                step = Step::Variable;
                name = (negative ? "-" : "") + symbols_.variable_name(value.text);
            }
            break;
        }
    }
    in_.rewind(m);
    return step;
}

void Translator::endfor_statement() {
    in_.next();
    if (!close_last(true)) messages_.error(Err::NoMatchingDo);
    expect_end();
}

void Translator::simple(std::string_view text) {
    in_.next();
    put(text);
    expect_end();
}

// call e ;  (and a statement that is a call of a procedure returning nothing)
void Translator::call_statement() {
    in_.accept(Tok::Call);
    open_main();
    finish_statement(expression());
}

// goto label [args] ;  gosub label [args] ;
void Translator::jump_statement(bool gosub) {
    std::string word(gauss_spelling(in_.next().code));
    Token target = in_.next();
    if (target.code != Tok::Ident) {
        messages_.error(Err::ExpectedButFound, gauss_spelling(Tok::Ident), token_name(target));
        if (target.code != Tok::Semicolon) in_.skip_to(Tok::Semicolon);
        return;
    }
    open_main();
    put("goto " + target.text + ";");
    if (!in_.accept(Tok::Semicolon)) {
        messages_.log_input(word + " arguments command skipped\n");
        messages_.warning(Err::CommandSkipped, word);
        in_.skip_to(Tok::Semicolon);
    }
    if (gosub) {
        if (in_proc_) ++gosubs_in_proc_;
        // A second gosub to the same label gets a label of its own, so that
        // the output has no duplicate label.
        gosub_label_ = "gosub_" + target.text;
        int uses = ++gosub_uses_[target.text];
        if (uses > 1) gosub_label_ += "_" + std::to_string(uses);
        out_.write_at_margin(":" + gosub_label_);
    }
}

// In a procedure without gosub, return is the modern spelling of retp.
void Translator::return_statement() {
    if (in_proc_ && gosubs_in_proc_ == 0) {
        retp_statement();
        return;
    }
    in_.next();
    open_main();
    put("goto " + (gosub_label_.empty() ? std::string("gosub_???") : gosub_label_) + ";");
    log_output("check return statement\n");
    if (!in_.accept(Tok::Semicolon)) {
        messages_.log_input("return arguments command skipped\n");
        messages_.warning(Err::CommandSkipped, "return");
        in_.skip_to(Tok::Semicolon);
    }
}

// external matrix names ;  external string names ;  external proc names ;
// Inside a procedure the names were declared at file level by the first pass.
void Translator::external_statement() {
    in_.next();
    if (in_proc_) {
        log_output("external declaration moved to file level\n");
        in_.skip_to(Tok::Semicolon);
        return;
    }
    close_main();
    if (in_.accept(Tok::Proc) || in_.accept(Tok::Keyword) || in_.accept(Tok::Fn)) {
        for (Token t = in_.next(); t.code != Tok::Semicolon && t.code != Tok::Eof; t = in_.next()) {
            if (t.code != Tok::Ident || symbols_.find_global(t.text) >= 0) continue;
            Symbol& proc = symbols_.at(define(t.text, Kind::Procedure, table_top_));
            proc.return_count = 1;
            proc.external_only = true;  // declared by the file that defines it
            log_output("external proc " + t.text + ": include the file that defines it\n");
        }
        return;
    }
    if (!in_.accept(Tok::Matrix) && !in_.accept(Tok::StringKw)) {
        skip_command("external");
        return;
    }
    std::string list;
    for (;;) {
        Token t = in_.next();
        if (t.code == Tok::Semicolon || t.code == Tok::Eof) break;
        if (t.code == Tok::Comma) continue;
        if (t.code != Tok::Ident) {
            messages_.error(Err::UnexpectedSymbol, token_name(t));
            in_.skip_to(Tok::Semicolon);
            break;
        }
        list += (list.empty() ? "" : ", ") + symbols_.variable_name(t.text);
        if (!known_variable(t.text)) define_variable(t.text);
    }
    if (!list.empty()) put("extern decl " + list + ";");
}

// string name [= e] ;  matrix name [= e] ;  string array name, name ;
// The typed declarations of present-day Gauss: in a procedure they declare
// locals, at file level globals. False when no name follows the type.
bool Translator::typed_declaration() {
    Scanner::Mark m = in_.mark();
    bool text = in_.next().code == Tok::StringKw;
    bool list = in_.peek().code == Tok::Ident && in_.peek().text == "array";
    if (list) in_.next();
    bool typed = in_.peek().code == Tok::Ident;
    if (typed) {
        in_.next();
        Tok after = in_.peek().code;
        typed = after == Tok::Assign || after == Tok::Semicolon || after == Tok::Comma;
    }
    in_.rewind(m);
    if (!typed) return false;
    in_.next();
    if (list) in_.next();
    std::string empty = list ? "{}" : text ? "\"\"" : "";
    if (!in_proc_) {
        std::string name = in_.peek().text;
        Scanner::Mark n = in_.mark();
        in_.next();
        bool bare = in_.peek().code == Tok::Semicolon;
        in_.rewind(n);
        if (bare && !known_variable(name)) {
            constant_assignment(text);
            return true;
        }
        ident_statement();
        return true;
    }
    for (;;) {
        Token id = in_.next();
        if (id.code != Tok::Ident) {
            messages_.error(Err::ExpectedButFound, gauss_spelling(Tok::Ident), token_name(id));
            in_.skip_to(Tok::Semicolon);
            return true;
        }
        bool fresh = symbols_.define(id.text, Kind::Variable, symbols_.scope_start(), in_.in_include(), false).is_new;
        std::string name = symbols_.variable_name(id.text);
        if (in_.accept(Tok::Assign)) {
            put((fresh ? "decl " : "") + name + " = ");
            finish_statement(expression());
            return true;
        }
        if (fresh) put("decl " + name + (empty.empty() ? "" : " = " + empty) + ";");
        if (!in_.accept(Tok::Comma)) break;
    }
    expect_end();
    return true;
}

// A keyword procedure takes the rest of its statement as one string.
void Translator::keyword_call() {
    Token id = in_.next();
    open_main();
    std::string raw = in_.read_raw(";", false);
    in_.accept(Tok::Semicolon);
    std::size_t first = raw.find_first_not_of(" \t");
    std::size_t last = raw.find_last_not_of(" \t");
    raw = first == std::string::npos ? std::string() : raw.substr(first, last - first + 1);
    std::string text;
    for (char c : raw) {
        if (c == '\\' || c == '"') text += '\\';
        text += c;
    }
    put(id.text + "(");
    put_string(text);
    put(");");
}

}  // namespace g2zu
