// Constant assignments (let, declare, name = constant) and load.
#include <cctype>
#include <cstdlib>

#include "files.h"
#include "translator.h"

namespace g2zu {

// Gauss keeps an unquoted word of a constant list in upper case.
std::string upper_case(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

struct Translator::ConstItem {
    enum class Kind { Number, Word, Complex, Other } kind = Kind::Other;
    std::string text;  // the number with its sign, or the word
    Token token;       // the offending token for Other
};

// name [ [r, c] ] [: ? !] [= right side] ;
// = { "a", "b" };  or  = "a";  for words and strings
void Translator::put_words(const std::vector<std::string>& words, bool as_list) {
    if (words.size() == 1 && !as_list) {
        put(" = ");
        put_string(words.front());
        put(";");
        return;
    }
    // A Gauss column of strings is a Zu array: its transpose ' is written
    // through a stand-in that leaves an array as it is.
    if (constant_target_ >= 0) symbols_.at(constant_target_).string_array = true;
    put(" = { ");
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) put(", ");
        put_string(words[i]);
    }
    put(" };");
}

void Translator::constant_assignment(bool string_declaration) {
    Token id = in_.next();
    if (id.code != Tok::Ident) {
        messages_.error(Err::ExpectedButFound, gauss_spelling(Tok::Ident), token_name(id));
        in_.skip_to(Tok::Semicolon);
        return;
    }
    int rows = 0;
    int columns = 1;
    bool dims = false;
    if (in_.accept(Tok::LBracket)) {
        dims = true;
        rows = read_count();
        if (in_.accept(Tok::Comma)) columns = read_count();
        in_.expect(Tok::RBracket);
    }
    Tok mark = in_.peek().code;
    if (mark == Tok::Colon || mark == Tok::Question || mark == Tok::Bang) in_.next();

    bool known = known_variable(id.text);
    bool file_level = !known && !in_proc_ && !main_open_;
    if (file_level)
        put("decl ");
    else if (known)
        open_main();
    if (!known && !in_proc_) define_variable(id.text);
    put(symbols_.variable_name(id.text));
    constant_target_ = symbols_.find_global(id.text);

    if (in_.accept(Tok::Semicolon)) {
        put(string_declaration ? " = \"\";" : ";");
        return;
    }
    if (!in_.expect(Tok::Assign)) {
        put(";");
        in_.skip_to(Tok::Semicolon);
        return;
    }
    if (in_.peek().code == Tok::LBrace)
        brace_constant();
    else
        list_constant(rows, columns, dims, file_level);
    constant_target_ = -1;
}

// One element of a constant: a number with its sign, a word or a string.
bool Translator::read_const_item(ConstItem& item) {
    Token t = in_.next();
    std::string sign;
    if (t.code == Tok::Minus || t.code == Tok::Plus) {
        if (t.code == Tok::Minus) sign = "-";
        t = in_.next();
    }
    item.token = t;
    if (t.code == Tok::Integer || t.code == Tok::Double) {
        item.kind = ConstItem::Kind::Number;
        item.text = sign + t.text;
    } else if (t.code == Tok::HexDouble) {
        item.kind = ConstItem::Kind::Number;
        item.text = sign + "0x." + t.text;
    } else if (t.code == Tok::Dot && sign.empty()) {
        item.kind = ConstItem::Kind::Number;  // a missing value
        item.text = ".NaN";
    } else if (t.code == Tok::Complex) {
        item.kind = ConstItem::Kind::Complex;
        messages_.log_input("complex number skipped, check constant\n");
        messages_.warning(Err::CommandSkipped, t.text);
    } else if ((t.code == Tok::Ident || t.code == Tok::String) && sign.empty()) {
        item.kind = ConstItem::Kind::Word;
        item.text = t.code == Tok::Ident ? upper_case(t.text) : t.text;
    } else {
        item.kind = ConstItem::Kind::Other;
        messages_.error(Err::UnexpectedSymbol, token_name(t));
        if (t.code != Tok::Semicolon) in_.skip_to(Tok::Semicolon);
        put(";");
        return false;
    }
    return true;
}

// = { 1 2, 3 4 } ;  gives  = < 1,2;3,4 >;
void Translator::brace_constant() {
    in_.next();
    std::vector<std::vector<std::string>> rows(1);
    std::vector<std::string> words;
    for (;;) {
        Tok code = in_.peek().code;
        if (code == Tok::RBrace) {
            in_.next();
            break;
        }
        if (code == Tok::Comma) {
            in_.next();
            rows.emplace_back();
            continue;
        }
        if (code == Tok::Semicolon || code == Tok::Eof) {
            messages_.error(Err::ExpectedButFound, "}", gauss_spelling(code));
            break;
        }
        ConstItem item;
        if (!read_const_item(item)) return;
        if (item.kind == ConstItem::Kind::Number) rows.back().push_back(item.text);
        if (item.kind == ConstItem::Kind::Word) words.push_back(item.text);
    }
    bool numbers = false;
    for (const auto& row : rows) numbers = numbers || !row.empty();
    if (!words.empty() && !numbers) {
        put_words(words, true);
    } else if (!words.empty()) {
        messages_.error(Err::UnexpectedSymbol, words.front());
        put(";");
    } else {
        std::string s = " = < ";
        bool first_row = true;
        for (const auto& row : rows) {
            if (row.empty()) continue;
            if (!first_row) s += ';';
            first_row = false;
            for (std::size_t i = 0; i < row.size(); ++i) s += (i > 0 ? "," : "") + row[i];
        }
        put(s + " >;");
    }
    expect_end();
}

// = numbers ;  = words ;  = one value ;
void Translator::list_constant(int rows, int columns, bool dims, bool file_level) {
    std::vector<std::string> numbers;
    std::vector<std::string> words;
    while (in_.peek().code != Tok::Semicolon && in_.peek().code != Tok::Eof) {
        ConstItem item;
        if (!read_const_item(item)) return;
        if (item.kind == ConstItem::Kind::Number) numbers.push_back(item.text);
        if (item.kind == ConstItem::Kind::Word) words.push_back(item.text);
    }
    if (!words.empty() && numbers.empty()) {
        put_words(words, false);
    } else if (!words.empty() || numbers.empty()) {
        messages_.error(Err::UnexpectedSymbol, words.empty() ? ";" : words.front());
        put(";");
    } else if (numbers.size() > 1) {
        std::string s = " = < ";
        int c = columns > 0 ? columns : 1;
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            if (i > 0) s += i % static_cast<std::size_t>(c) == 0 ? ";" : ",";
            s += numbers[i];
        }
        put(s + " >;");
    } else if (!dims) {
        put(" = " + numbers.front() + ";");
    } else if (file_level) {
        put("[" + std::to_string(rows) + "][" + std::to_string(columns) + "] = " + numbers.front() + ";");
    } else {
        std::string size = std::to_string(rows) + ", " + std::to_string(columns);
        double value = std::strtod(numbers.front().c_str(), nullptr);
        if (numbers.front() != ".NaN" && value == 0)
            put(" = zeros(" + size + ");");
        else if (value == 1)
            put(" = ones(" + size + ");");
        else
            put(" = constant(" + numbers.front() + ", " + size + ");");
    }
    expect_end();
}

// ---------------------------------------------------------------------------
// load name [ [r, c] ] [= file], ... ;

void Translator::load_statement() {
    skip_slash_options();
    for (;;) {
        Token id = in_.next();
        if (id.code == Tok::Ident && id.text == "path") {
            messages_.log_input("cannot handle load command with path statement\n");
            messages_.warning(Err::CommandSkipped, "load");
            skip_raw();
            return;
        }
        if (id.code != Tok::Ident) {
            messages_.error(Err::ExpectedButFound, gauss_spelling(Tok::Ident), token_name(id));
            if (id.code != Tok::Semicolon) in_.skip_to(Tok::Semicolon);
            return;
        }
        int rows = 0;
        int columns = 1;
        bool dims = false;
        if (in_.accept(Tok::LBracket)) {
            dims = true;
            rows = read_count();
            if (in_.accept(Tok::Comma)) columns = read_count();
            in_.expect(Tok::RBracket);
        }
        if (!known_variable(id.text) && !in_proc_) {
            if (!main_open_) put("decl " + symbols_.variable_name(id.text) + ";");
            define_variable(id.text);
        }
        open_main();
        std::string file = load_file_part(id.text, dims);
        // Gauss matrix files are read by the support file; other files by loadmat.
        bool fmt = file.size() > 5 && file.ends_with(".fmt\"");
        std::string name = symbols_.variable_name(id.text);
        put(name + (fmt ? " = g2zu_loadfmt(" : " = loadmat(") + file);
        put(dims ? ", 1);" : ");");
        if (dims && rows != 0)
            put(" " + name + " = shape(" + name + ", " + std::to_string(columns) + ", " + std::to_string(rows) + ")';");
        if (!in_.accept(Tok::Comma)) break;
        out_.flush();
    }
    expect_end();
}

// The file of a load item, as Zu text: a quoted name or a variable.
std::string Translator::load_file_part(const std::string& name, bool dims) {
    std::string_view ext = dims ? "." : ".fmt";
    if (!in_.accept(Tok::Assign)) return "\"" + name + std::string(ext) + "\"";
    if (in_.accept(Tok::Hat)) {
        Token v = in_.next();
        if (v.code == Tok::Ident) return symbols_.variable_name(v.text);
        messages_.error(Err::ExpectedButFound, gauss_spelling(Tok::Ident), token_name(v));
        return "\"\"";
    }
    std::string file;
    if (in_.peek().code == Tok::String) {
        file = in_.next().text;
    } else {
        file = in_.read_raw(",;", true);
        std::size_t first = file.find_first_not_of(" \t");
        std::size_t last = file.find_last_not_of(" \t");
        file = first == std::string::npos ? std::string() : file.substr(first, last - first + 1);
        for (char& c : file)
            if (c == '\\' || c == '"') c = '/';
    }
    return "\"" + add_extension(file, ext) + "\"";
}

}  // namespace g2zu
