// Main blocks, block bookkeeping, the comment copier and shared helpers.
#include "translator.h"

#include <algorithm>
#include <charconv>

#include "statement_abandoned.h"

namespace g2zu {

// ---------------------------------------------------------------------------
// Main blocks: file-level statements are gathered into _g_main_N functions.

void Translator::open_main() {
    if (in_proc_ || main_open_) return;
    out_.flush();
    // Blocks opened in an included file are dropped with its lines, so only
    // the main file's blocks are numbered and called from main().
    if (!in_.in_include()) ++main_blocks_;
    if (in_.in_include()) include_main_code_ = true;
    put("_g_main_" + std::to_string(main_blocks_) + "()");
    out_.write_line();
    out_.open_brace();
    main_open_ = true;
}

void Translator::close_main() {
    if (in_proc_ || !main_open_ || !blocks_.empty()) return;
    out_.close_brace();
    main_open_ = false;
}

void Translator::close_block_braces(Block block) {
    out_.close_brace();
    if (block == Block::For) out_.close_brace();
}

// Closes the innermost loop (or if) block; false when there is none.
bool Translator::close_last(bool loop) {
    auto it = std::find_if(blocks_.rbegin(), blocks_.rend(), [loop](Block b) { return (b != Block::If) == loop; });
    if (it == blocks_.rend()) return false;
    close_block_braces(*it);
    blocks_.erase(std::next(it).base());
    return true;
}

// The open-block checks of endp and end of file; the braces are closed so
// that the output stays balanced.
void Translator::close_open_blocks() {
    bool loops = std::any_of(blocks_.begin(), blocks_.end(), [](Block b) { return b != Block::If; });
    bool ifs = std::any_of(blocks_.begin(), blocks_.end(), [](Block b) { return b == Block::If; });
    if (loops) messages_.error(Err::UnfinishedDo);
    if (ifs) messages_.error(Err::UnfinishedIf);
    while (!blocks_.empty()) {
        close_block_braces(blocks_.back());
        blocks_.pop_back();
    }
}

// ---------------------------------------------------------------------------
// The driver's loop: comments, a statement, comments, ...

bool Translator::copy_comments(bool after_statement) {
    LineModeScope line_mode(in_, true);
    for (;;) {
        const Token& t = in_.peek();
        switch (t.code) {
        case Tok::Whitespace:
            if (!out_.empty()) out_.append(t.text);
            break;
        case Tok::Newline:
            if (after_statement) {
                in_.next();
                out_.flush();
                return true;
            }
            out_.write_line();
            break;
        case Tok::Semicolon: break;
        case Tok::Comment:
            // A // comment runs to the end of its line, whatever its length.
            if (t.text.starts_with("//") || (t.text.size() <= 100 && t.text.find('\n') == std::string::npos))
                out_.append(t.text);
            else
                out_.write_verbatim(t.text);
            break;
        case Tok::Eof: return false;
        default: return true;
        }
        in_.next();
    }
}

void Translator::follow_include() {
    if (in_.in_include() == reading_include_) return;
    reading_include_ = in_.in_include();
    if (reading_include_) {
        outer_main_open_ = main_open_;
        outer_level_ = out_.level();
        main_open_ = false;
    } else {
        main_open_ = outer_main_open_;
        out_.set_level(outer_level_);
        // Gauss runs an included file's statements where it is included; the
        // conversions of both files would define the same _g_main_ blocks
        // and main(), so this is left to the user.
        if (include_main_code_) {
            include_main_code_ = false;
            log_output(
                "the included file has statements outside procedures: its conversion defines "
                "_g_main_ blocks and main() of its own\n");
            messages_.warning(Err::Unsupported, "#include");
            ++unsupported_;
        }
    }
}

void Translator::statement() {
    follow_include();
    if (out_.starts_with_brace()) out_.flush();
    // A statement that follows another on the same line stays on it.
    out_.trim_trailing_blanks();
    if (!out_.empty()) out_.append(" ");
    int depth = depth_;
    try {
        dispatch();
    } catch (const StatementAbandoned&) {
        // What is left of the statement on the pending line is not written.
        depth_ = depth;
        out_.drop_line();
        log_output("statement skipped\n");
        while (in_.peek().code != Tok::Semicolon && in_.peek().code != Tok::Eof) in_.next();
        in_.accept(Tok::Semicolon);
    }
}

void Translator::finish() {
    follow_include();
    if (in_proc_) {
        messages_.error(Err::DidNotFind, "endp");
        end_procedure();
    }
    close_open_blocks();
    close_main();
    out_.flush();
    if (main_blocks_ == 0) return;
    put("main()");
    out_.write_line();
    out_.open_brace();
    for (int i = 1; i <= main_blocks_; ++i) {
        put("_g_main_" + std::to_string(i) + "();");
        out_.write_line();
    }
    out_.close_brace();
    out_.flush();
}

// ---------------------------------------------------------------------------
// Helpers

void Translator::put_operator(std::string_view zu) {
    std::string s;
    if (!out_.empty() && out_.last_char() != ' ' && out_.last_char() != '(') s += ' ';
    s += zu;
    s += ' ';
    put(s);
}

// A string literal. A long one is written as adjacent literals, which Zu
// joins into one string, so that no output line has to hold it whole.
void Translator::put_string(std::string_view text) {
    constexpr std::size_t kPiece = 200;
    std::size_t start = 0;
    while (text.size() - start > kPiece) {
        std::size_t end = start + kPiece;
        std::size_t backslashes = 0;
        for (std::size_t i = end; i > start && text[i - 1] == '\\'; --i) ++backslashes;
        if (backslashes % 2 == 1) --end;  // keep an escape with its character
        put("\"" + std::string(text.substr(start, end - start)) + "\" ");
        start = end;
    }
    put("\"" + std::string(text.substr(start)) + "\"");
}

void Translator::skip_command(std::string_view word) {
    ++unsupported_;
    messages_.log_input(std::string(word) + " command skipped\n");
    messages_.warning(Err::CommandSkipped, word);
    skip_raw();
}

// Skips the rest of a statement as text: command arguments are unquoted
// (file names, options) and need not be Gauss tokens.
void Translator::skip_raw() {
    in_.read_raw(";", false);
    if (!in_.accept(Tok::Semicolon)) messages_.error(Err::DidNotFind, ";");
}

// Writes the ";" of a statement whose expression ended at terminator.
void Translator::finish_statement(Tok terminator) {
    out_.trim_trailing_blanks();
    put(";");
    if (terminator == Tok::Semicolon) {
        in_.next();
        return;
    }
    if (terminator == Tok::Eof) {
        messages_.error(Err::ExpectedButFound, ";", gauss_spelling(Tok::Eof));
        return;
    }
    messages_.error(Err::ExpectedButFound, ";", gauss_spelling(terminator));
    in_.skip_to(Tok::Semicolon);
}

// The ";" of a statement that has no expression at its end.
void Translator::expect_end() {
    if (!in_.expect(Tok::Semicolon)) in_.skip_to(Tok::Semicolon);
}

void Translator::skip_slash_options() {
    while (in_.peek().code == Tok::Slash) {
        in_.next();
        if (in_.peek().code == Tok::Ident) in_.next();
    }
}

int Translator::define(std::string_view name, Kind kind, int bound) {
    return symbols_.define(name, kind, bound, in_.in_include(), main_open_).index;
}

// Is name a global (or local) the program already has? The names of
// conversion-table entries and of undeclared calls are not variables; a
// name that only a procedure declared external is defined by the first
// file-level statement that assigns it.
bool Translator::known_variable(std::string_view name) const {
    int s = symbols_.find_global(name);
    if (s < 0) return false;
    const Symbol& sym = symbols_.at(s);
    if (sym.external_only && sym.kind == Kind::Variable) return in_proc_;
    return sym.kind != Kind::Conversion && sym.kind != Kind::Undeclared;
}

// A new global variable; it shadows a conversion-table entry of its name.
void Translator::define_variable(std::string_view name) {
    int s = symbols_.find_global(name);
    if (s >= 0 && symbols_.at(s).external_only && symbols_.at(s).kind == Kind::Variable) {
        symbols_.at(s).external_only = false;
        symbols_.at(s).in_main_block = main_open_;
        return;
    }
    symbols_.define(name, Kind::Variable, symbols_.top(), in_.in_include(), main_open_);
    note_renamed(name);
}

// A variable whose Zu name differs (a Zu keyword or library name) is logged
// once per name.
void Translator::note_renamed(std::string_view name) {
    std::string zu = symbols_.variable_name(name);
    if (zu == name || !renamed_.insert(std::string(name)).second) return;
    log_output("variable " + std::string(name) + " written " + zu + "\n");
}

// A count in the source (return counts, dimensions), kept within reason.
int Translator::read_count() {
    Token t = in_.next();
    if (t.code != Tok::Integer) {
        messages_.error(Err::ExpectedButFound, gauss_spelling(Tok::Integer), token_name(t));
        return 0;
    }
    long value = 0;
    auto [end, ec] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), value);
    (void)end;
    if (ec != std::errc() || value > 1000000) value = 1000000;
    return static_cast<int>(value);
}

std::string Translator::written_name(int symbol, std::string_view name) const {
    if (symbol >= 0 && !symbols_.at(symbol).replacement.empty()) return symbols_.at(symbol).replacement;
    return std::string(name);
}

}  // namespace g2zu
