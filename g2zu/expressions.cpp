// Expressions, names, calls, indexes and print items.
#include <string>

#include "statement_abandoned.h"
#include "translator.h"

namespace g2zu {
namespace {

// Deeper nesting of parentheses, calls and indexes abandons the statement.
constexpr int kMaxNesting = 200;

class Nesting {
public:
    Nesting(int& depth, Messages& messages) : depth_(depth) {
        if (++depth_ > kMaxNesting) {
            messages.error(Err::NestedTooDeeply);
            throw StatementAbandoned{};
        }
    }
    ~Nesting() { --depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

private:
    int& depth_;
};

bool is_terminator(Tok code) {
    return code == Tok::Comma || code == Tok::RParen || code == Tok::Semicolon || code == Tok::Eof;
}

bool ends_item(Tok code) {
    switch (code) {
    case Tok::Whitespace:
    case Tok::Newline:
    case Tok::Comment:
    case Tok::Comma:
    case Tok::Semicolon:
    case Tok::RBracket:
    case Tok::Eof: return true;
    default: return false;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Expressions

// expression up to a terminator: "," and ")" are consumed, ";" and end of
// file are left for the statement.
Tok Translator::expression() {
    LineModeScope normal(in_, false);
    Nesting nesting(depth_, messages_);
    if (in_.peek().code == Tok::LParen && wrapped_in_parens()) {
        // ( e ) alone: the caller writes its own parentheses
        in_.next();
        Tok inner = expression();
        if (inner != Tok::RParen) {
            messages_.error(Err::ExpectedButFound, ")", gauss_spelling(inner));
            return inner;
        }
        return take_terminator();
    }
    return expression_body();
}

// Gauss's "/" solves a system when both sides are matrices, so a product
// holding divisions is written with the stand-in g2zu_div: a * b / c
// becomes g2zu_div(a * b, c). A product (a chain of operators of the level
// of "*") starts at the beginning and after each operator of lower level.
Tok Translator::expression_body() {
    bool after_operand = false;
    bool chain_start = true;  // the next token begins a product
    int open_divisions = 0;   // stand-ins written, their "," still to come
    bool divisor = false;     // the operand being read is a divisor
    for (;;) {
        const Token& p = in_.peek();
        if (p.code == Tok::Comma || p.code == Tok::RParen || p.code == Tok::Semicolon || p.code == Tok::Eof) {
            Tok code = p.code;
            if (divisor) put(")");
            for (; open_divisions > 0; --open_divisions) put(")");
            if (code == Tok::Comma || code == Tok::RParen) in_.next();
            return code;
        }
        if (chain_start) {
            open_divisions = put_division_heads(divisions_ahead());
            chain_start = false;
        }
        Token t = in_.next();
        if (is_division(t.code) && open_divisions > 0 && !divisor) {
            out_.trim_trailing_blanks();
            put(", ");
            --open_divisions;
            divisor = true;
            after_operand = false;
            continue;
        }
        bool was_operand = after_operand;
        after_operand = term(t, after_operand);
        if (divisor && after_operand && !continues_operand(in_.peek().code)) {
            out_.trim_trailing_blanks();
            put(")");
            divisor = false;
        }
        if (was_operand && !after_operand && !continues_product(t.code)) chain_start = true;
    }
}

// The operators of the level of "*" that Zu has no operator for; "*~" (the
// horizontal direct product) goes with them.
bool Translator::is_division(Tok code) { return code == Tok::Slash || code == Tok::Percent || code == Tok::StarTilde; }

// Operators that bind tighter than "/": they extend a divisor.
bool Translator::continues_operand(Tok code) {
    return code == Tok::Quote || code == Tok::DotQuote || code == Tok::Bang || code == Tok::Hat || code == Tok::DotHat;
}

// Operators of the level of "*" or tighter: a product goes on past them.
bool Translator::continues_product(Tok code) {
    switch (code) {
    case Tok::Star:
    case Tok::Slash:
    case Tok::DotStar:
    case Tok::DotSlash:
    case Tok::DotStarDot:
    case Tok::StarTilde:
    case Tok::Percent:
    case Tok::Hat:
    case Tok::DotHat:
    case Tok::Quote:
    case Tok::DotQuote:
    case Tok::Bang: return true;
    default: return false;
    }
}

// The stand-ins of the divisions of a product, the last one outermost:
// a / b % c is g2zu_mod(g2zu_div(a, b), c). Returns how many were written.
int Translator::put_division_heads(const std::vector<Tok>& divisions) {
    for (auto it = divisions.rbegin(); it != divisions.rend(); ++it)
        put(*it == Tok::Percent ? "g2zu_mod(" : *it == Tok::StarTilde ? "g2zu_hdp(" : "g2zu_div(");
    return static_cast<int>(divisions.size());
}

// The divisions ("/" and "%") of the product ahead, in order, at its own
// level of parentheses.
std::vector<Tok> Translator::divisions_ahead() {
    Scanner::Mark m = in_.mark();
    int depth = 0;
    std::vector<Tok> divisions;
    bool operand = false;
    for (;;) {
        Token t = in_.next();
        Tok code = t.code;
        if (code == Tok::Eof || code == Tok::Semicolon) break;
        if (code == Tok::LParen || code == Tok::LBracket || code == Tok::LBrace) {
            ++depth;
            continue;
        }
        if (code == Tok::RParen || code == Tok::RBracket || code == Tok::RBrace) {
            if (--depth < 0) break;
            operand = true;
            continue;
        }
        if (depth > 0) continue;
        if (code == Tok::Comma) break;
        if (is_division(code)) {
            divisions.push_back(code);
            operand = false;
        } else if (code == Tok::Ident || is_number(code) || code == Tok::String || code == Tok::DotWord ||
                   code == Tok::Int) {
            operand = true;
        } else if (continues_product(code)) {
            operand = code == Tok::Quote || code == Tok::DotQuote || code == Tok::Bang;
        } else if ((code == Tok::Minus || code == Tok::Plus || code == Tok::Not || code == Tok::DotNot) && !operand) {
            continue;  // a sign
        } else if ((code == Tok::Amp || code == Tok::Dollar) && in_.peek().code == Tok::Ident) {
            continue;  // &f, $name
        } else {
            break;  // an operator of a lower level ends the product
        }
    }
    in_.rewind(m);
    return divisions;
}

// Does the parenthesis ahead enclose the whole expression?
bool Translator::wrapped_in_parens() {
    Scanner::Mark m = in_.mark();
    in_.next();
    int depth = 1;
    bool wrapped = false;
    for (;;) {
        Token t = in_.next();
        if (t.code == Tok::Eof || t.code == Tok::Semicolon) break;
        if (t.code == Tok::LParen) ++depth;
        if (t.code == Tok::RParen && --depth == 0) {
            wrapped = is_terminator(in_.next().code);
            break;
        }
    }
    in_.rewind(m);
    return wrapped;
}

Tok Translator::take_terminator() {
    Tok code = in_.peek().code;
    if (code == Tok::Comma || code == Tok::RParen) {
        in_.next();
        return code;
    }
    if (code == Tok::Semicolon || code == Tok::Eof) return code;
    return expression_body();
}

// One token of an expression; true when it leaves an operand behind.
bool Translator::term(const Token& t, bool after_operand) {
    switch (t.code) {
    case Tok::Ident: name(t); return true;
    case Tok::Complex:
        no_zu_form(t.text);
        put(t.text);
        return true;
    case Tok::Integer:
    case Tok::Double: put(t.text); return true;
    case Tok::HexDouble: put("0x." + t.text); return true;
    case Tok::String: put_string(t.text); return true;
    case Tok::LParen: {
        put("(");
        Tok inner = expression();
        if (inner != Tok::RParen) messages_.error(Err::ExpectedButFound, ")", gauss_spelling(inner));
        put(")");
        return true;
    }
    case Tok::Amp:
    case Tok::Dollar: {
        const Token& p = in_.peek();
        if (p.code == Tok::Ident) {
            procedure_value(in_.next().text);
            return true;
        }
        if (t.code == Tok::Dollar && is_operator(p.code)) {
            // string operators: $+ joins strings, the others compare them
            Token op = in_.next();
            if (op.code == Tok::Plus)
                put_operator("~");
            else if (op.code == Tok::Bar || op.code == Tok::Tilde)
                put_operator(string_array_join(op.code));
            else
                operator_token(op, after_operand);
            return false;
        }
        messages_.error(Err::ExpectedButFound, gauss_spelling(Tok::Ident), token_name(p));
        return after_operand;
    }
    case Tok::Slash:  // only where divisions_ahead() saw none (a malformed product)
        put_operator("/");
        log_output("check / operation\n");
        return false;
    case Tok::DotQuote:
    case Tok::DotXor:
    case Tok::Percent:
    case Tok::Bang: unsupported_operator(t.code); return t.code == Tok::DotQuote || t.code == Tok::Bang;
    case Tok::Quote: put("' "); return true;
    case Tok::LBrace: brace_literal(); return true;
    case Tok::Int:
        // int(x): the integer part, element by element (Zu's int is a cast)
        put("trunc");
        return false;
    case Tok::Hash: messages_.error(Err::UnexpectedSymbol, token_name(t)); return after_operand;
    default: operator_token(t, after_operand); return false;
    }
}

// $| and $~ join strings into a string array: in Zu, joining with an empty
// array in between makes an array of the strings on either side.
std::string Translator::string_array_join(Tok op) { return op == Tok::Bar ? "| {} |" : "~ {} ~"; }

void Translator::operator_token(const Token& t, bool after_operand) {
    std::string zu = t.code == Tok::DotWord ? "<" + t.text + ">" : std::string(zu_text(t.code));
    // "<eqv>", "<*~>", "<.not>": the marks of operators without a Zu form
    if (zu.size() > 2 && zu.starts_with("<") && zu.ends_with(">"))
        no_zu_form(t.code == Tok::DotWord ? t.text : std::string(gauss_spelling(t.code)));
    bool unary =
        !after_operand && (t.code == Tok::Minus || t.code == Tok::Plus || t.code == Tok::Not || t.code == Tok::DotNot);
    if (unary)
        put(zu);
    else
        put_operator(zu);
}

// An operator or number that Zu has no form for is written marked and left
// for the user: it is logged and counted.
void Translator::no_zu_form(const std::string& what) {
    log_output(what + " operation unsupported\n");
    messages_.warning(Err::Unsupported, what);
    ++unsupported_;
}

void Translator::unsupported_operator(Tok code) {
    std::string op(gauss_spelling(code));
    log_output(op + " operation unsupported\n");
    std::string hint;
    if (code == Tok::Percent) {
        log_output("use idiv()\n");
        hint = "use idiv()";
    } else if (code == Tok::Bang) {
        log_output("use exp(loggamma()) \n");
        hint = "use exp(loggamma())";
    }
    messages_.warning(Err::Unsupported, op);
    ++unsupported_;
    put(" /*" + op + " " + hint + " */ ");
}

// { 1 2, 3 4 } inside an expression: the matrix < 1,2;3,4 >; words and
// strings make an array of strings.
void Translator::brace_literal() {
    std::vector<std::vector<std::string>> rows(1);
    std::vector<std::string> words;
    for (;;) {
        Token t = in_.next();
        if (t.code == Tok::RBrace) break;
        if (t.code == Tok::Semicolon || t.code == Tok::Eof) {
            messages_.error(Err::ExpectedButFound, "}", gauss_spelling(t.code));
            break;
        }
        if (t.code == Tok::Comma) {
            rows.emplace_back();
            continue;
        }
        std::string sign;
        if (t.code == Tok::Minus || t.code == Tok::Plus) {
            if (t.code == Tok::Minus) sign = "-";
            t = in_.next();
        }
        if (t.code == Tok::Integer || t.code == Tok::Double)
            rows.back().push_back(sign + t.text);
        else if (t.code == Tok::HexDouble)
            rows.back().push_back(sign + "0x." + t.text);
        else if (t.code == Tok::Dot)
            rows.back().push_back(".NaN");
        else if (t.code == Tok::String || t.code == Tok::Ident)
            words.push_back(t.code == Tok::Ident ? upper_case(t.text) : t.text);
        else
            messages_.error(Err::UnexpectedSymbol, token_name(t));
    }
    if (!words.empty()) {
        put("{ ");
        for (std::size_t i = 0; i < words.size(); ++i) {
            if (i > 0) put(", ");
            put_string(words[i]);
        }
        put(" }");
        return;
    }
    std::string text = "<";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r > 0) text += ";";
        for (std::size_t c = 0; c < rows[r].size(); ++c) text += (c > 0 ? "," : "") + rows[r][c];
    }
    put(text + ">");
}

// ---------------------------------------------------------------------------
// Names, calls and indexes

void Translator::name(const Token& id) {
    Nesting nesting(depth_, messages_);
    const Token& p = in_.peek();
    if (p.code == Tok::DotWord && !structs_.empty()) {
        int s = symbols_.find_global(id.text);
        std::string type = s >= 0 ? symbols_.at(s).struct_type : std::string();
        std::string member_type;
        if (member_index(type, p.text.substr(1), member_type) > 0 ||
            member_index("", p.text.substr(1), member_type) > 0) {
            put(symbols_.variable_name(id.text));
            member_access(type);
            if (in_.accept(Tok::LBracket)) index();
            return;
        }
    }
    if (p.code == Tok::LBracket) {
        put(symbols_.variable_name(id.text));
        in_.next();
        index();
        return;
    }
    if (p.code == Tok::LParen) {
        call(id);
        return;
    }
    int s = symbols_.find_global(id.text);
    if (s >= 0) {
        const Symbol& sym = symbols_.at(s);
        bool callable = sym.kind == Kind::Procedure || sym.kind == Kind::KeywordProc || sym.kind == Kind::Conversion;
        if (callable && sym.unsupported) {
            log_output(id.text + " unsupported\n");
            messages_.warning(Err::Unsupported, id.text);
            ++unsupported_;
        }
        if (callable && sym.return_count <= 1) {
            put(written_name(s, id.text) + "()");
            return;
        }
        if (sym.kind == Kind::Variable && sym.string_array && p.code == Tok::Quote) {
            in_.next();
            put("g2zu_transpose(" + symbols_.variable_name(id.text) + ")");
            return;
        }
    }
    put(symbols_.variable_name(id.text));
}

// A procedure passed as an argument (&f): its Zu name.
void Translator::procedure_value(const std::string& name) {
    int s = symbols_.find_global(name);
    put(s >= 0 && symbols_.at(s).kind != Kind::Variable ? written_name(s, name) : symbols_.variable_name(name));
}

void Translator::call(const Token& id) {
    int s = symbols_.find_global(id.text);
    if (s < 0) {
        messages_.error(Err::UndeclaredIdentifier, id.text);
        define(id.text, Kind::Undeclared, symbols_.base());
    } else if (symbols_.at(s).unsupported) {
        log_output(id.text + " unsupported\n");
        messages_.warning(Err::Unsupported, id.text);
        ++unsupported_;
    }
    LineModeScope normal(in_, false);
    // The optional arguments of a procedure are read where they were passed:
    // the stand-ins take the procedure's own argument list first.
    bool optional_arguments = id.text == "dynargsget" || id.text == "dynargscount";
    if (optional_arguments && !in_proc_) messages_.error(Err::OnlyInProcedure, id.text);
    if (s >= 0 && symbols_.at(s).kind == Kind::Variable)
        put(symbols_.variable_name(id.text));
    else
        put(written_name(s, id.text));
    in_.next();
    // A procedure with optional arguments only takes them as one array.
    bool packed =
        s >= 0 && symbols_.at(s).varargs && symbols_.at(s).arguments.empty() && symbols_.at(s).kind != Kind::Variable;
    std::string own_arguments = packed_arguments_ ? std::string(kPackedArguments) : "va_arglist()";
    put(optional_arguments ? "(" + own_arguments : packed ? "({" : "(");
    if (optional_arguments && in_.peek().code != Tok::RParen) put(", ");
    if (!in_.accept(Tok::RParen)) {
        for (;;) {
            Tok t = expression();
            if (t == Tok::Comma) {
                put(", ");
                continue;
            }
            if (t != Tok::RParen) messages_.error(Err::ExpectedButFound, ")", gauss_spelling(t));
            break;
        }
    }
    out_.trim_trailing_blanks();
    put(packed ? "})" : ")");
}

// [ rows , columns ] after a name; each part is a list of items.
void Translator::index() {
    Nesting nesting(depth_, messages_);
    LineModeScope lines(in_, true);
    put("[");
    Tok t = print_items(" ~ ", true);
    if (t == Tok::Comma) {
        put("][");
        t = print_items(" ~ ", true);
    }
    if (t != Tok::RBracket) messages_.error(Err::ExpectedButFound, "]", gauss_spelling(t));
    put("]");
}

// ---------------------------------------------------------------------------
// Print items: Gauss separates them by blanks.

Tok Translator::print_items(std::string_view separator, bool in_index) {
    Edge previous = Edge::None;
    for (;;) {
        const Token& p = in_.peek();
        switch (p.code) {
        case Tok::Whitespace:
        case Tok::Newline:
        case Tok::Comment: in_.next(); continue;
        case Tok::Semicolon:
        case Tok::Eof: return p.code;
        case Tok::Comma:
        case Tok::RBracket:
            if (in_index) {
                Tok code = p.code;
                in_.next();
                return code;
            }
            in_.next();
            continue;
        default: break;
        }
        previous = print_item(separator, previous, in_index);
    }
}

Translator::Edge Translator::print_item(std::string_view separator, Edge previous, bool in_index) {
    if (in_.peek().code == Tok::Dollar) in_.next();  // $name prints a string
    Tok first = in_.peek().code;
    Edge start = first == Tok::String                      ? Edge::Text
                 : first == Tok::Ident || is_number(first) ? Edge::Value
                 : first == Tok::LParen                    ? Edge::Open
                                                           : Edge::Other;
    bool joined = previous == Edge::Text || start == Edge::Text ||
                  (previous == Edge::Value && (start == Edge::Value || start == Edge::Open));
    if (previous != Edge::None && joined) put(separator);
    // Gauss writes numbers in fields, so two of them never run together.
    bool two_values =
        (previous == Edge::Value || previous == Edge::Open) && (start == Edge::Value || start == Edge::Open);
    if (!in_index && previous != Edge::None && two_values) put("\" \"" + std::string(separator));
    // An item that is one product with divisions is written with
    // g2zu_div as in expressions; a sign in front stays outside, since the
    // item may continue the one before (a subtraction).
    std::vector<Tok> divisions = item_divisions();
    int open_divisions = 0;
    bool divisor = false;
    Edge last = Edge::Other;
    while (!ends_item(in_.peek().code)) {
        Tok next = in_.peek().code;
        if (!divisions.empty() && next != Tok::Minus && next != Tok::Plus) {
            open_divisions = put_division_heads(divisions);
            divisions.clear();
        }
        Token t = in_.next();
        if (is_division(t.code) && open_divisions > 0 && !divisor) {
            put(", ");
            --open_divisions;
            divisor = true;
            continue;
        }
        last = item_token(t, in_index);
        if (divisor && last == Edge::Value && !continues_operand(in_.peek().code)) {
            put(")");
            divisor = false;
        }
    }
    if (divisor) put(")");
    for (; open_divisions > 0; --open_divisions) put(")");
    return last;
}

// The divisions of the print item ahead when it is a single product
// (signs in front allowed); none for any other item.
std::vector<Tok> Translator::item_divisions() {
    Scanner::Mark m = in_.mark();
    int depth = 0;
    std::vector<Tok> divisions;
    bool operand = false;
    for (;;) {
        const Token& p = in_.peek();
        if (depth == 0 && ends_item(p.code)) break;
        Tok code = in_.next().code;
        if (code == Tok::Eof || code == Tok::Semicolon) break;
        if (code == Tok::LParen || code == Tok::LBracket || code == Tok::LBrace) {
            ++depth;
            continue;
        }
        if (code == Tok::RParen || code == Tok::RBracket || code == Tok::RBrace) {
            if (--depth < 0) break;
            operand = true;
            continue;
        }
        if (depth > 0) continue;
        if (is_division(code) && !operand) {
            divisions.clear();  // the left side is in another item
            break;
        }
        if (is_division(code)) {
            divisions.push_back(code);
            operand = false;
        } else if (code == Tok::Ident || is_number(code) || code == Tok::DotWord || code == Tok::Int) {
            operand = true;
        } else if (continues_product(code)) {
            operand = code == Tok::Quote || code == Tok::DotQuote || code == Tok::Bang;
        } else if ((code == Tok::Minus || code == Tok::Plus) && !operand) {
            continue;
        } else {
            divisions.clear();  // not a single product: written as it stands
            break;
        }
    }
    in_.rewind(m);
    if (!operand) divisions.clear();  // a divisor in the next item: as it stands
    return divisions;
}

Translator::Edge Translator::item_token(const Token& t, bool in_index) {
    switch (t.code) {
    case Tok::Ident: name(t); return Edge::Value;
    case Tok::Complex:
        no_zu_form(t.text);
        put(t.text);
        return Edge::Value;
    case Tok::Integer:
    case Tok::Double: put(t.text); return Edge::Value;
    case Tok::HexDouble: put("0x." + t.text); return Edge::Value;
    case Tok::String:
        // Zu's print takes a string that begins with "%" for a format; one
        // more "%" in front makes it print as it stands.
        put_string(!in_index && t.text.starts_with("%") ? "%" + t.text : t.text);
        return Edge::Text;
    case Tok::LParen: paren_group(); return Edge::Value;
    case Tok::Dot:
        if (!in_index) put(".");  // "." alone is an empty index part
        return Edge::Other;
    case Tok::Slash:
        put("/");
        log_output("check / operation\n");
        return Edge::Other;
    case Tok::DotQuote:
    case Tok::DotXor:
    case Tok::Percent:
    case Tok::Bang:
        unsupported_operator(t.code);
        return t.code == Tok::DotQuote || t.code == Tok::Bang ? Edge::Value : Edge::Other;
    case Tok::Quote: put("'"); return Edge::Value;
    case Tok::Amp:
    case Tok::Dollar:
        if (in_.peek().code == Tok::Ident) {
            procedure_value(in_.next().text);
            return Edge::Value;
        }
        if (t.code == Tok::Dollar && in_.peek().code == Tok::Plus) {
            in_.next();
            put("~");
        } else if (t.code == Tok::Dollar && (in_.peek().code == Tok::Bar || in_.peek().code == Tok::Tilde)) {
            put(string_array_join(in_.next().code));
        }
        return Edge::Other;
    case Tok::DotWord:
        no_zu_form(t.text);
        put("<" + t.text + ">");
        return Edge::Other;
    case Tok::Hash: messages_.error(Err::UnexpectedSymbol, token_name(t)); return Edge::Other;
    default: {
        std::string_view zu = zu_text(t.code);
        if (zu.size() > 2 && zu.starts_with("<") && zu.ends_with(">")) no_zu_form(std::string(gauss_spelling(t.code)));
        put(zu);
        return Edge::Other;
    }
    }
}

// ( e, ... ) inside a print item: a blank inside the parentheses does not
// end the item.
void Translator::paren_group() {
    LineModeScope normal(in_, false);
    put("(");
    for (;;) {
        Tok t = expression();
        if (t == Tok::Comma) {
            put(", ");
            continue;
        }
        if (t != Tok::RParen) messages_.error(Err::ExpectedButFound, ")", gauss_spelling(t));
        break;
    }
    put(")");
}

// Is the first print item a parenthesised group with nothing after it?
bool Translator::lone_paren_item() {
    if (in_.peek().code != Tok::LParen) return false;
    Scanner::Mark m = in_.mark();
    in_.next();
    int depth = 1;
    bool lone = false;
    for (;;) {
        Token t = in_.next();
        if (t.code == Tok::Eof || t.code == Tok::Semicolon) break;
        if (t.code == Tok::LParen) ++depth;
        if (t.code == Tok::RParen && --depth == 0) {
            lone = in_.next().code == Tok::Semicolon;
            break;
        }
    }
    in_.rewind(m);
    return lone;
}

}  // namespace g2zu
