// Command statements and preprocessor lines.
#include <cctype>
#include <string>

#include "files.h"
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
        {"delete", &Translator::delete_command},   {"errorlog", &Translator::errorlog_command},
        {"format", &Translator::format_command},   {"load", &Translator::load_statement},
        {"loadm", &Translator::load_statement},    {"plot", &Translator::plot_command},
        {"plotsym", &Translator::plotsym_command}, {"rndseed", &Translator::rndseed_command},
        {"system", &Translator::system_command},   {"trap", &Translator::trap_command},
    };
    // Commands of the interactive session that a batch run has no use for.
    static constexpr std::string_view kBatchNothing[] = {
        "new",  "cls",    "library", "lib",    "screen", "outwidth", "lpwidth", "locate", "closeall",
        "msym", "enable", "disable", "comlog", "graph",  "debug",    "trace",   "use",
    };
    Token word = in_.next();
    if (word.text == "clear" || word.text == "clearg") {
        clear_command(word.text == "clearg");
        return;
    }
    if (word.text == "output") {
        output_command();
        return;
    }
    if (word.text == "save") {
        save_command();
        return;
    }
    for (std::string_view w : kBatchNothing) {
        if (w == word.text) {
            messages_.log_input(word.text + " command: nothing to do in a batch run\n");
            skip_raw();
            return;
        }
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
            put("decl " + symbols_.variable_name(t.text) + " = 0;");
            define_variable(t.text);
            continue;
        }
        if (!known && !in_proc_) define_variable(t.text);
        open_main();
        put(symbols_.variable_name(t.text) + " = 0;");
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
// The kind of number follows the slash options as Gauss means them: /rd and
// /ld fix the decimals ("f"), /re and /le write an exponent ("e"); without
// one of them the precision counts digits ("g").
void Translator::format_command() {
    char kind = 'g';
    while (in_.accept(Tok::Slash)) {
        if (in_.peek().code != Tok::Ident) continue;
        std::string option = in_.next().text;
        if (option == "rd" || option == "ld") kind = 'f';
        if (option == "re" || option == "le") kind = 'e';
    }
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
        put("format(\"%" + width + "." + precision + kind + "\");");
    }
    in_.skip_to(Tok::Semicolon);
}

// output [file = name] [on | off | reset] ;  The output file receives a copy
// of everything printed: Zu's output log.
void Translator::output_command() {
    std::string rest = in_.read_raw(";", false);
    in_.accept(Tok::Semicolon);
    std::string text;
    for (char c : rest) text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string file = output_file_.empty() ? "output.out" : output_file_;
    std::size_t eq = text.find('=');
    if (text.find("file") != std::string::npos && eq != std::string::npos) {
        std::size_t start = rest.find_first_not_of(" \t", eq + 1);
        std::size_t end = start == std::string::npos ? start : rest.find_first_of(" \t", start);
        file = start == std::string::npos ? file : rest.substr(start, end - start);
        for (char& c : file)
            if (c == '\\' || c == '"') c = '/';
        output_file_ = file;
    }
    auto has_word = [&text](std::string_view w) {
        std::size_t at = text.rfind(w);
        return at != std::string::npos && (at == 0 || text[at - 1] == ' ' || text[at - 1] == '\t');
    };
    open_main();
    if (has_word("off")) {
        put("fclose(\"l\");");
    } else if (has_word("reset")) {
        put("fopen(");
        put_string(file);
        put(", \"l\");");
    } else {
        put("fopen(");
        put_string(file);
        put(", \"la\");");
    }
    log_output("output file written as Zu's output log\n");
}

// save [path = dir] name, name = value, ... ;  each as a Gauss matrix file.
void Translator::save_command() {
    skip_slash_options();
    std::string directory;
    open_main();
    for (;;) {
        Token id = in_.next();
        if (id.code == Tok::Semicolon || id.code == Tok::Eof) break;
        if (id.code == Tok::Comma) continue;
        if (id.code != Tok::Ident) {
            messages_.error(Err::ExpectedButFound, gauss_spelling(Tok::Ident), token_name(id));
            in_.skip_to(Tok::Semicolon);
            break;
        }
        std::string file = id.text;
        std::string value = symbols_.variable_name(id.text);
        if (in_.accept(Tok::Assign)) {
            Token v = in_.next();
            if (id.text == "path") {
                directory = v.code == Tok::String ? v.text : v.text;
                if (!directory.empty() && directory.back() != '/') directory += '/';
                continue;
            }
            value = symbols_.variable_name(v.text);
        }
        out_.flush();
        put("g2zu_savefmt(");
        put_string(directory + add_extension(file, ".fmt"));
        put(", " + value + ");");
    }
}

// trap n [, mask] ;  the trap state of the support file
void Translator::trap_command() {
    open_main();
    put("g2zu_settrap(");
    Tok t = expression();
    if (t == Tok::Comma) {  // the mask: only its bits are set
        put(", ");
        t = expression();
    }
    put(")");
    finish_statement(t);
}

// plot x, y ;  the quick plot of the Gauss library, saved as a picture
void Translator::plot_command() {
    open_main();
    put("g2zu_plot(");
    Tok t = expression();
    if (t == Tok::Comma) {
        put(", ");
        t = expression();
    } else {
        messages_.error(Err::ExpectedButFound, ",", gauss_spelling(t));
    }
    put(")");
    finish_statement(t);
}

// plotsym n ;  lines (0) or symbols for the next plots
void Translator::plotsym_command() {
    open_main();
    put("g2zu_plotsym(");
    Tok t = expression();
    put(")");
    finish_statement(t);
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
    {"iflight", "#ifdef LIGHT"},        {"ifdos", "#ifdef LIGHT"},   {"ifunix", "#ifndef ZU_Windows"},
    {"ifos2win", "#ifndef ZU_Windows"}, {"ifcmplx", "#ifdef CMPLX"}, {"ifdllcall", "#ifdef DLLCALL"},
};

std::string trimmed(std::string_view s) {
    std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    std::size_t last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

}  // namespace

// #define name value: a Zu #define has no value, so the name becomes a
// constant at file level, guarded so that a file including this one's
// conversion does not define it twice.
void Translator::define_constant(const std::string& name, const std::string& value) {
    close_main();
    std::string zu_name = symbols_.variable_name(name);
    log_output("#define " + name + " written as a constant\n");
    out_.write_at_margin("#ifndef " + zu_name);
    out_.write_at_margin("#define " + zu_name);
    out_.write_at_margin("const decl " + zu_name + " = " + value + ";");
    out_.write_at_margin("#endif");
}

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
    while (n < rest.size() && n < kNameLimit && (std::isalnum(static_cast<unsigned char>(rest[n])) || rest[n] == '_'))
        ++n;
    std::string name = rest.substr(0, n);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string value = trimmed(std::string_view(rest).substr(n));
    // Gauss names are case blind and written in lower case: so are those of
    // a value; a trailing comment or ";" is no part of it.
    if (std::size_t cut = value.find_first_of("@;"); cut != std::string::npos) value = trimmed(value.substr(0, cut));
    if (std::size_t cut = value.find("//"); cut != std::string::npos) value = trimmed(value.substr(0, cut));
    if (value.find('"') == std::string::npos)
        for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    std::string line;
    std::string logged = word;
    bool define_line = word == "define" || word == "definecs";
    for (const Conditional& c : kConditionals)
        if (c.gauss == word) line = c.zu;
    if (!line.empty()) {
        logged.clear();
    } else if (define_line && !value.empty() && !name.empty()) {
        define_constant(name, value);
        return;
    } else if (define_line) {
        line = "#define " + name;
    } else if (word == "else" || word == "endif")
        line = "#" + word;
    else if (line.empty())
        line = "#" + word + " " + name;
    log_output("check #" + logged + " preprocessor command\n");
    out_.write_at_margin(line);
}

}  // namespace g2zu
