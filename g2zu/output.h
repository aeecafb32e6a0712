// The output line writer: one pending line, indentation and the line count.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace g2zu {

class Messages;
class Where;

class Output {
public:
    // Lines longer than this are written out as soon as they pass it; a
    // single piece longer than that (a long constant) is written whole.
    static constexpr std::size_t kBreakLength = 255;

    Output(std::FILE* file, Messages& messages) : file_(file), messages_(messages) {}

    void set_where(const Where* where) { where_ = where; }

    // Adds text to the pending line; a line past the break length goes out.
    void append(std::string_view text);
    // Writes the pending line (an empty one as its indentation alone).
    void write_line();
    // Writes the pending line only when it holds something.
    void flush();
    // Writes a whole line at indentation 0, after the pending one.
    void write_at_margin(std::string_view text);
    // Writes text as it stands (long comments), after the pending one.
    void write_verbatim(std::string_view text);
    void drop_line() { line_.clear(); }

    void indent() { ++level_; }
    void set_level(int level) { level_ = level; }
    void outdent() {
        if (level_ > 0) --level_;
    }
    // "{" on a line of its own, one level further in afterwards.
    void open_brace(std::string_view text = "{");
    // "}" one level further out, left pending so a trailing comment can join it.
    void close_brace();

    void trim_trailing_blanks();
    bool empty() const { return line_.empty(); }
    bool starts_with_brace() const { return !line_.empty() && line_.front() == '}'; }
    char last_char() const { return line_.empty() ? '\0' : line_.back(); }
    int line_count() const { return lines_; }
    int level() const { return level_; }

private:
    bool dropping() const;
    void emit(std::string_view text, int level);

    std::FILE* file_;
    Messages& messages_;
    const Where* where_ = nullptr;
    std::string line_;       // the pending line
    int level_ = 0;          // indentation in steps of four blanks
    int lines_ = 1;          // number of the output line being written
    bool raw_tail_ = false;  // a verbatim text left the file's line unfinished
};

}  // namespace g2zu
