// The Gauss scanner: tokens from the Gauss file and the files it includes.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "messages.h"
#include "token.h"

namespace g2zu {

class Output;

class Scanner final : public Where {
public:
    // More files than this open at once (the main file and the files it
    // includes) draw "include files nested too deeply".
    static constexpr std::size_t kMaxFiles = 12;

    // out receives the include lines; null drops them (conversion table).
    Scanner(Messages& messages, Output* out) : messages_(messages), out_(out) {}

    // Starts on the main file; false when it cannot be read.
    bool open(std::string_view name);

    Token next();
    const Token& peek();
    // Consumes the next token when it has the code.
    bool accept(Tok code);
    // Consumes the token, or reports "expected but found" and leaves it.
    bool expect(Tok code);
    // Consumes tokens up to and including code; "did not find" at end of file.
    bool skip_to(Tok code);

    // Look-ahead: a mark records the reading position; rewind returns to it.
    // Marks nest; while one is held no include file is opened or left.
    struct Mark {
        std::size_t pos = 0;
        int line = 0;
        std::optional<Token> pushback;
    };
    Mark mark();
    void rewind(const Mark& m);

    // Called before the line of an #include is written: the included file's
    // definitions must stand at file level.
    void set_before_include(std::function<void()> hook) { before_include_ = std::move(hook); }

    // In line mode white space, newlines and comments are tokens too.
    void set_line_mode(bool on);
    bool line_mode() const { return line_mode_; }

    // Raw characters from the next unread token on, up to (not including) a
    // stop character, or up to the end of the line when one_line is set;
    // newlines in multi-line text become blanks.
    std::string read_raw(std::string_view stops, bool one_line);

    std::string_view file_name() const override;
    int line() const override { return line_; }
    bool in_include() const override { return files_.size() > 1; }

private:
    struct Source {
        std::string name;
        std::string text;
        std::size_t pos = 0;
        int return_line = 0;  // line of the including file to go back to
    };

    Token scan();
    void report_error(std::string_view text, std::string_view quoted = {});
    void report_warning(std::string_view text, std::string_view quoted = {});
    bool at_end() const;
    char cur(std::size_t ahead = 0) const;
    void advance();
    bool leave_finished_include();

    Token make(Tok code, std::string text = {}) const;
    Token scan_blanks();
    Token scan_block_comment();
    Token scan_at_comment();
    Token scan_line_comment();
    Token scan_word();
    Token scan_dot_word();
    Token scan_number();
    Token scan_hex();
    void scan_number_tail(std::string& text, Tok& code);
    Token scan_string();
    void read_string_body(std::string& text, bool& cut);
    std::optional<Token> scan_hash();
    void include_directive();
    std::string read_include_name(bool& quoted);
    void open_include(const std::string& name, bool quoted);
    bool push_file(const std::string& path);

    Messages& messages_;
    Output* out_;
    std::vector<Source> files_;  // the main file first, included files above it
    int line_ = 0;
    std::optional<Token> pushback_;
    bool line_mode_ = false;
    bool escapes_ = true;  // Gauss escapes in strings (off: \ doubled)
    int marks_ = 0;        // marks held
    std::size_t token_start_ = 0;
    int token_line_ = 0;
    std::function<void()> before_include_;
};

}  // namespace g2zu
