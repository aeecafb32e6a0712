// The Gauss scanner.
#include "scanner.h"

#include <cctype>

#include "files.h"
#include "output.h"

namespace g2zu {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }
bool is_word_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool is_alpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_'; }
char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Appends c unless the text is full; reports the first cut once.
void add_limited(std::string& text, std::string_view piece, bool& cut) {
    if (text.size() + piece.size() > kTokenTextLimit) {
        cut = true;
        return;
    }
    text += piece;
}

}  // namespace

// Messages are held back during look-ahead: the text is read again, and
// reported then, after the rewind.
void Scanner::report_error(std::string_view text, std::string_view quoted) {
    if (marks_ == 0) messages_.scan_error(text, quoted);
}

void Scanner::report_warning(std::string_view text, std::string_view quoted) {
    if (marks_ == 0) messages_.scan_warning(text, quoted);
}

// ---------------------------------------------------------------------------
// Files and characters

bool Scanner::open(std::string_view name) {
    files_.clear();
    line_ = 1;
    if (!push_file(std::string(name))) return false;
    files_.back().name = std::string(name);
    return true;
}

bool Scanner::push_file(const std::string& path) {
    FilePtr f = open_for_reading(path);
    if (!f) return false;
    Source s;
    s.name = path;
    if (!read_file(f.get(), s.text)) {
        report_error("out of memory", path);
        return false;
    }
    s.return_line = line_;
    files_.push_back(std::move(s));
    line_ = 1;
    return true;
}

std::string_view Scanner::file_name() const {
    return files_.empty() ? std::string_view() : std::string_view(files_.back().name);
}

bool Scanner::at_end() const { return files_.empty() || files_.back().pos >= files_.back().text.size(); }

char Scanner::cur(std::size_t ahead) const {
    if (files_.empty()) return '\0';
    const Source& s = files_.back();
    return s.pos + ahead < s.text.size() ? s.text[s.pos + ahead] : '\0';
}

void Scanner::advance() {
    if (at_end()) return;
    if (files_.back().text[files_.back().pos] == '\n') ++line_;
    ++files_.back().pos;
}

bool Scanner::leave_finished_include() {
    if (files_.size() <= 1 || marks_ > 0) return false;
    line_ = files_.back().return_line;
    files_.pop_back();
    if (out_ != nullptr) out_->drop_line();
    return true;
}

// ---------------------------------------------------------------------------
// The token interface

Token Scanner::next() {
    if (pushback_) {
        Token t = std::move(*pushback_);
        pushback_.reset();
        return t;
    }
    if (files_.empty()) return make(Tok::Eof);  // nothing was opened
    return scan();
}

const Token& Scanner::peek() {
    if (!pushback_) pushback_ = scan();
    return *pushback_;
}

bool Scanner::accept(Tok code) {
    if (peek().code != code) return false;
    next();
    return true;
}

bool Scanner::expect(Tok code) {
    if (accept(code)) return true;
    messages_.error(Err::ExpectedButFound, gauss_spelling(code), token_name(peek()));
    return false;
}

bool Scanner::skip_to(Tok code) {
    for (;;) {
        Token t = next();
        if (t.code == code) return true;
        if (t.code == Tok::Eof) {
            messages_.error(Err::DidNotFind, gauss_spelling(code));
            return false;
        }
    }
}

Scanner::Mark Scanner::mark() {
    ++marks_;
    return {files_.empty() ? 0 : files_.back().pos, line_, pushback_};
}

void Scanner::rewind(const Mark& m) {
    if (marks_ > 0) --marks_;
    if (!files_.empty()) files_.back().pos = m.pos;
    line_ = m.line;
    pushback_ = m.pushback;
}

void Scanner::set_line_mode(bool on) {
    if (!on && pushback_ &&
        (pushback_->code == Tok::Whitespace || pushback_->code == Tok::Newline || pushback_->code == Tok::Comment))
        pushback_.reset();
    line_mode_ = on;
}

std::string Scanner::read_raw(std::string_view stops, bool one_line) {
    if (pushback_) {
        if (!files_.empty()) files_.back().pos = pushback_->start;
        line_ = pushback_->start_line;
        pushback_.reset();
    }
    std::string text;
    bool cut = false;
    while (!at_end()) {
        char c = cur();
        if (stops.find(c) != std::string_view::npos) break;
        if (c == '\n') {
            if (one_line) break;
            c = ' ';
        }
        if (c != '\r') add_limited(text, std::string_view(&c, 1), cut);
        advance();
    }
    if (cut) report_error("symbol too long");
    return text;
}

// ---------------------------------------------------------------------------
// Characters to tokens

Token Scanner::make(Tok code, std::string text) const {
    Token t;
    t.code = code;
    t.text = std::move(text);
    t.start = token_start_;
    t.start_line = token_line_;
    return t;
}

Token Scanner::scan() {
    for (;;) {
        if (at_end()) {
            if (leave_finished_include()) continue;
            token_start_ = files_.empty() ? 0 : files_.back().pos;
            token_line_ = line_;
            return make(Tok::Eof);
        }
        token_start_ = files_.back().pos;
        token_line_ = line_;
        char c = cur();
        if (c == '\n') {
            advance();
            if (line_mode_) return make(Tok::Newline);
            continue;
        }
        if (is_blank(c)) {
            Token t = scan_blanks();
            if (line_mode_) return t;
            continue;
        }
        if (c == '/' && cur(1) == '*') {
            Token t = scan_block_comment();
            if (line_mode_) return t;
            continue;
        }
        if (c == '/' && cur(1) == '/') {
            Token t = scan_line_comment();
            if (line_mode_) return t;
            continue;
        }
        if (c == '@') {
            Token t = scan_at_comment();
            if (line_mode_) return t;
            continue;
        }
        if (is_alpha(c)) return scan_word();
        if (is_digit(c) || (c == '.' && is_digit(cur(1)))) return scan_number();
        if (c == '"') return scan_string();
        if (c == '#') {
            if (std::optional<Token> t = scan_hash()) return *t;
            continue;
        }
        if (c == '.' && std::isalpha(static_cast<unsigned char>(cur(1)))) return scan_dot_word();
        const Source& s = files_.back();
        std::size_t length = 0;
        Tok op = match_operator(std::string_view(s.text).substr(s.pos), length);
        if (op != Tok::Eof) {
            for (std::size_t i = 0; i < length; ++i) advance();
            return make(op);
        }
        report_error("unrecognized", std::string(1, c));
        advance();
    }
}

Token Scanner::scan_blanks() {
    std::string text;
    while (!at_end() && is_blank(cur())) {
        if (cur() != '\r' && text.size() < kTokenTextLimit) text += ' ';
        advance();
    }
    return make(Tok::Whitespace, std::move(text));
}

// /* ... */ with nesting: an inner comment splits the text into a run of
// comments, so that the result is a plain sequence of flat comments.
Token Scanner::scan_block_comment() {
    advance();
    advance();
    std::string text = "/*";
    bool cut = false;
    int depth = 1;
    while (depth > 0) {
        if (at_end()) {
            report_error("comment not closed");
            break;
        }
        if (cur() == '/' && cur(1) == '*') {
            ++depth;
            add_limited(text, "*//*", cut);
            advance();
            advance();
        } else if (cur() == '*' && cur(1) == '/') {
            --depth;
            if (depth > 0) add_limited(text, "*//*", cut);
            advance();
            advance();
        } else {
            char c = cur();
            if (c != '\r') add_limited(text, std::string_view(&c, 1), cut);
            advance();
        }
    }
    if (cut) report_error("comment too long: split in smaller bits");
    text += "*/";
    return make(Tok::Comment, std::move(text));
}

// // ... to the end of the line; the newline is left for the next token, so
// the comment always ends the output line it is written on.
Token Scanner::scan_line_comment() {
    std::string text;
    while (!at_end() && cur() != '\n') {
        if (cur() != '\r') text += cur();
        advance();
    }
    return make(Tok::Comment, std::move(text));
}

// @ ... @: the text may hold comment marks, which are broken apart so that
// the written comment cannot end or nest early.
Token Scanner::scan_at_comment() {
    advance();
    std::string text = "/*";
    bool cut = false;
    for (;;) {
        if (at_end()) {
            report_error("comment not closed");
            break;
        }
        char c = cur();
        advance();
        if (c == '@') break;
        if (c == '\r') continue;
        if ((c == '*' && cur() == '/') || (c == '/' && cur() == '*')) {
            char pair[] = {c, ' '};
            add_limited(text, std::string_view(pair, 2), cut);
            continue;
        }
        add_limited(text, std::string_view(&c, 1), cut);
    }
    if (cut) report_error("comment too long: split in smaller bits");
    text += "*/";
    return make(Tok::Comment, std::move(text));
}

Token Scanner::scan_word() {
    std::string text;
    bool cut = false;
    while (!at_end() && is_word_char(cur())) {
        if (text.size() < kTokenTextLimit)
            text += lower(cur());
        else
            cut = true;
        advance();
    }
    if (Tok k = find_keyword(text); k != Tok::Ident) return make(k, std::move(text));
    if (Tok k = find_operator_word(text); k != Tok::Ident) return make(k, std::move(text));
    if (text.size() > kNameLimit || cut) {
        report_error("symbol too long", text.substr(0, kNameLimit));
        text.resize(kNameLimit);
    }
    return make(Tok::Ident, std::move(text));
}

Token Scanner::scan_dot_word() {
    std::size_t save = files_.back().pos;
    int save_line = line_;
    std::string text = ".";
    advance();
    while (!at_end() && std::isalpha(static_cast<unsigned char>(cur())) && text.size() < 64) {
        text += lower(cur());
        advance();
    }
    if (Tok k = find_operator_word(text); k != Tok::Ident) return make(k, std::move(text));
    // Not an operator word: the rest of the word makes a "<.word>" operator.
    files_.back().pos = save;
    line_ = save_line;
    advance();
    text.assign(1, '.');  // not `= "."`: GCC 12 warns falsely on it at -O2
    while (!at_end() && is_word_char(cur()) && text.size() <= kNameLimit) {
        text += lower(cur());
        advance();
    }
    return make(Tok::DotWord, std::move(text));
}

// ---------------------------------------------------------------------------
// Numbers

Token Scanner::scan_hex() {
    advance();
    advance();
    std::string digits;
    bool bad = false;
    while (!at_end() && is_word_char(cur())) {
        char c = lower(cur());
        if (std::isxdigit(static_cast<unsigned char>(c)) != 0) {
            if (digits.size() < 64) digits += c;
        } else {
            bad = true;
        }
        advance();
    }
    if (bad || digits.empty()) report_error("error in hexadecimal constant", "0x" + digits);
    if (digits.size() > 8) {
        report_error("hexadecimal constant truncated", "0x" + digits);
        digits.resize(8);
    }
    unsigned long value = digits.empty() ? 0 : std::stoul(digits, nullptr, 16);
    return make(Tok::Integer, std::to_string(value));
}

Token Scanner::scan_number() {
    if (cur() == '0' && (cur(1) == 'x' || cur(1) == 'X')) return scan_hex();
    if (cur() == '0' && (cur(1) == 'v' || cur(1) == 'V') && std::isxdigit(static_cast<unsigned char>(cur(2))) != 0) {
        advance();
        advance();
        std::string digits;
        while (!at_end() && std::isxdigit(static_cast<unsigned char>(cur())) != 0) {
            if (digits.size() < 64) digits += lower(cur());
            advance();
        }
        return make(Tok::HexDouble, std::move(digits));
    }
    std::string text;
    Tok code = Tok::Integer;
    while (!at_end() && is_digit(cur())) {
        if (text.size() < 400) text += cur();
        advance();
    }
    scan_number_tail(text, code);
    return make(code, std::move(text));
}

// The fraction, exponent and suffix after the leading digits.
void Scanner::scan_number_tail(std::string& text, Tok& code) {
    if (cur() == '.') {
        char after = cur(1);
        if (is_digit(after)) {
            code = Tok::Double;
            text += '.';
            advance();
            while (!at_end() && is_digit(cur())) {
                if (text.size() < 400) text += cur();
                advance();
            }
        } else if (std::string_view("/^*?:").find(after) != std::string_view::npos && after != '\0') {
            code = Tok::Double;
            text += '.';
            advance();
            report_warning("warning: dot part of number, not dot operator", text);
        } else if (std::string_view("=<>'").find(after) == std::string_view::npos &&
                   !(std::isalpha(static_cast<unsigned char>(after)) &&
                     !(lower(after) == 'e' || lower(after) == 'd'))) {
            // "1." followed by a blank, a separator or an exponent
            code = Tok::Double;
            text += '.';
            advance();
        }
    }
    char e = lower(cur());
    if ((e == 'e' || e == 'd') && (is_digit(cur(1)) || ((cur(1) == '+' || cur(1) == '-') && is_digit(cur(2))))) {
        code = Tok::Double;
        text += 'e';
        advance();
        if (cur() == '+' || cur() == '-') {
            text += cur();
            advance();
        }
        while (!at_end() && is_digit(cur())) {
            if (text.size() < 400) text += cur();
            advance();
        }
    }
    if (lower(cur()) == 'i' && !is_word_char(cur(1))) {
        code = Tok::Complex;
        text += 'i';
        advance();
    }
    if (!at_end() && is_word_char(cur())) {
        while (!at_end() && is_word_char(cur())) {
            if (text.size() < 400) text += lower(cur());
            advance();
        }
        report_error("error in double constant", text);
    }
}

// ---------------------------------------------------------------------------
// Strings

void Scanner::read_string_body(std::string& text, bool& cut) {
    advance();  // the opening quote
    for (;;) {
        if (at_end() || cur() == '\n') {
            report_error("ending \" missing for string literal", text.substr(0, 60));
            return;
        }
        char c = cur();
        advance();
        if (c == '"') return;
        if (c == '\r') continue;
        if (c != '\\') {
            add_limited(text, std::string_view(&c, 1), cut);
        } else if (!escapes_) {
            add_limited(text, "\\\\", cut);
        } else if (cur() == '\n' || at_end()) {
            add_limited(text, "\\\\", cut);
        } else {
            char e = cur();
            advance();
            if (e == 'l')
                e = 'n';
            else if (e == 'g')
                e = 'a';
            char pair[] = {'\\', e};
            add_limited(text, std::string_view(pair, 2), cut);
        }
    }
}

Token Scanner::scan_string() {
    std::string text;
    bool cut = false;
    read_string_body(text, cut);
    // "abc"\ "def": a backslash right after the quote joins the next literal.
    while (cur() == '\\') {
        advance();
        while (!at_end() && (is_blank(cur()) || cur() == '\n')) advance();
        if (cur() != '"') {
            report_error("string for concatenation expected");
            break;
        }
        read_string_body(text, cut);
    }
    if (cut) report_error("symbol too long", text.substr(0, 60));
    return make(Tok::String, std::move(text));
}

// ---------------------------------------------------------------------------
// # lines

std::optional<Token> Scanner::scan_hash() {
    advance();
    while (!at_end() && is_blank(cur())) advance();
    std::string word;
    while (!at_end() && is_word_char(cur()) && word.size() <= kNameLimit) {
        word += lower(cur());
        advance();
    }
    if (word != "include") return make(Tok::Hash, std::move(word));
    include_directive();
    return std::nullopt;
}

std::string Scanner::read_include_name(bool& quoted) {
    while (!at_end() && is_blank(cur())) advance();
    std::string name;
    bool cut = false;
    bool saved = escapes_;
    escapes_ = false;
    quoted = cur() == '"';
    if (quoted) {
        read_string_body(name, cut);
    } else {
        while (!at_end() && cur() != ';' && cur() != '\n') {
            char c = cur();
            if (c == '\\')
                add_limited(name, "\\\\", cut);
            else if (c != '\r')
                add_limited(name, std::string_view(&c, 1), cut);
            advance();
        }
        while (!name.empty() && is_blank(name.back())) name.pop_back();
    }
    escapes_ = saved;
    // The directive's line ends with it: the line written stands for it.
    while (!at_end() && is_blank(cur())) advance();
    if (cur() == ';') advance();
    while (!at_end() && is_blank(cur())) advance();
    if (cut) report_error("symbol too long", name.substr(0, 60));
    return name;
}

void Scanner::include_directive() {
    bool quoted = false;
    std::string name = read_include_name(quoted);
    if (marks_ > 0) return;  // look-ahead passes over it; it is opened when read for real
    open_include(name, quoted);
}

void Scanner::open_include(const std::string& name, bool quoted) {
    std::string tried = normalise_name(name);
    bool found = false;
    if (files_.size() >= kMaxFiles) {
        report_error("include files nested too deeply", name);
    } else {
        bool relative = !tried.empty() && tried.front() != '/' && tried.find(':') == std::string::npos;
        if (quoted && (relative || (!tried.empty() && tried.front() == '.'))) {
            std::string beside = directory_of(file_name()) + tried;
            if (open_for_reading(beside)) {
                tried = beside;
                found = true;
            }
        }
        if (!found) {
            tried = normalise_name(name);
            found = static_cast<bool>(open_for_reading(tried));
        }
        if (!found) report_error("include file not found", name);
    }
    std::string written = tried;
    if (std::size_t dot = extension_pos(written); dot != std::string::npos) {
        std::string ext = written.substr(dot);
        if (!(ext.size() == 2 && lower(ext[1]) == 'h')) written = replace_extension(written, ".zu");
    }
    // The line and the log belong to the file holding the directive, so they
    // are written before the included file is entered.
    if (out_ != nullptr) {
        if (before_include_) before_include_();
        out_->flush();
        int at = out_->line_count();
        out_->write_at_margin("#include \"" + written + "\"");
        messages_.log_output(at, "check #include preprocessor command\n");
        if (!found) messages_.log_output(at, "failed to open " + tried + " include file\n");
    }
    if (cur() == '\n') advance();
    if (found) push_file(tried);
}

}  // namespace g2zu
