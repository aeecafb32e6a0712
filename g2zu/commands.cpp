// Command statements and preprocessor lines.
#include <cctype>
#include <string>

#include "translator.h"

namespace g2zu {

// ---------------------------------------------------------------------------
// Commands: words that begin a statement and take unquoted arguments.

namespace {

struct CommandEntry {
    std::string_view word;
    void (Translator::*handler)();
};

}  // namespace

void Translator::command() {
    static constexpr CommandEntry kCommands[] = {
        {"delete", &Translator::delete_command},
        {"errorlog", &Translator::errorlog_command},
        {"format", &Translator::format_command},
        {"load", &Translator::load_statement},
        {"loadm", &Translator::load_statement},
        {"rndseed", &Translator::rndseed_command},
        {"system", &Translator::system_command},
    };
    Token word = in_.next();
    if (word.text == "clear" || word.text == "clearg") {
        clear_command(word.text == "clearg");
        return;
    }
    for (const CommandEntry& c : kCommands) {
        if (c.word == word.text) {
            (this->*c.handler)();
            return;
        }
    }
    skip_command(word.text);
}

// clear names ;  clearg names ;  every name becomes 0
void Translator::clear_command(bool keep_locals) {
    bool first = true;
    for (;;) {
        Token t = in_.next();
        if (t.code == Tok::Semicolon || t.code == Tok::Eof) break;
        if (t.code == Tok::Comma) continue;
        if (t.code != Tok::Ident) {
            messages_.error(Err::UnexpectedSymbol, token_name(t));
            in_.skip_to(Tok::Semicolon);
            break;
        }
        if (keep_locals && in_proc_ && symbols_.find_local(t.text) >= 0) continue;
        if (!first) out_.flush();
        first = false;
        bool known = known_variable(t.text);
        if (!known && !in_proc_ && !main_open_) {
            put("decl " + t.text + " = 0;");
            define_variable(t.text);
            continue;
        }
        if (!known && !in_proc_) define_variable(t.text);
        open_main();
        put(t.text + " = 0;");
    }
}

// delete [/options] names ;
void Translator::delete_command() {
    skip_slash_options();
    open_main();
    std::string list;
    for (;;) {
        Token t = in_.next();
        if (t.code == Tok::Semicolon || t.code == Tok::Eof) break;
        if (t.code == Tok::Comma) continue;
        list += (list.empty() ? "" : ", ") + token_name(t);
    }
    put("delete " + list + ";");
}

// errorlog text ;
void Translator::errorlog_command() {
    open_main();
    put("eprint(");
    Tok t = expression();
    put(")");
    finish_statement(t);
}

// format [/options] [(] width, precision [)] ;
void Translator::format_command() {
    skip_slash_options();
    in_.accept(Tok::LParen);
    std::string width;
    std::string precision;
    if (in_.peek().code == Tok::Integer) {
        width = in_.next().text;
        if (in_.accept(Tok::Comma) && in_.peek().code == Tok::Integer) precision = in_.next().text;
    }
    if (width.empty() || precision.empty() || width.size() > 3 || precision.size() > 3) {
        messages_.log_input("format command skipped\n");
        messages_.warning(Err::CommandSkipped, "format");
    } else {
        open_main();
        put("format(\"%" + width + "." + precision + "g\");");
    }
    in_.skip_to(Tok::Semicolon);
}

// rndseed e ;
void Translator::rndseed_command() {
    open_main();
    put("ranseed(");
    Tok t = expression();
    put(")");
    finish_statement(t);
}

// system ;  ends a Gauss session; a Zu program just returns from main.
void Translator::system_command() { in_.skip_to(Tok::Semicolon); }

// ---------------------------------------------------------------------------
// Preprocessor lines

namespace {

struct Conditional {
    std::string_view gauss;
    std::string_view zu;
};

constexpr Conditional kConditionals[] = {
    {"iflight", "#ifdef LIGHT"},        {"ifdos", "#ifdef LIGHT"},
    {"ifunix", "#ifndef ZU_Windows"},   {"ifos2win", "#ifndef ZU_Windows"},
    {"ifcmplx", "#ifdef CMPLX"},        {"ifdllcall", "#ifdef DLLCALL"},
};

std::string trimmed(std::string_view s) {
    std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    std::size_t last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

}  // namespace

void Translator::preprocessor() {
    std::string word = in_.next().text;
    if (word.empty()) {  // "#" followed by no word
        messages_.error(Err::UnexpectedSymbol, "#");
        in_.read_raw("", true);
        return;
    }
    if (word == "lineson" || word == "linesoff" || word == "srcline" || word == "srcfile") {
        messages_.log_input("#" + word + " preprocessor command skipped\n");
        messages_.warning(Err::CommandSkipped, "#" + word);
        if (word == "srcline" || word == "srcfile")
            in_.skip_to(Tok::RParen);
        else
            in_.read_raw("", true);
        return;
    }
    std::string rest = trimmed(in_.read_raw("", true));
    std::size_t n = 0;
    while (n < rest.size() && n < kNameLimit &&
           (std::isalnum(static_cast<unsigned char>(rest[n])) || rest[n] == '_'))
        ++n;
    std::string name = rest.substr(0, n);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string value = trimmed(std::string_view(rest).substr(n));

    std::string line;
    std::string logged = word;
    bool define_line = word == "define" || word == "definecs";
    for (const Conditional& c : kConditionals)
        if (c.gauss == word) line = c.zu;
    if (!line.empty())
        logged.clear();
    else if (define_line)
        line = "#define " + name;
    else if (word == "else" || word == "endif")
        line = "#" + word;
    else
        line = "#" + word + " " + name;
    log_output("check #" + logged + " preprocessor command\n");
    out_.write_at_margin(line);
    if (define_line && value.size() > 500) {
        messages_.error(Err::UnexpectedSymbol, name);  // too long for a declaration line
    } else if (define_line && !name.empty() && !value.empty()) {
        log_output("check constant declaration\n");
        put("decl " + name + " = " + value + ";");
        out_.flush();
    }
}

}  // namespace g2zu
