// The output line writer.
#include "output.h"

#include <algorithm>

#include "messages.h"

namespace g2zu {

bool Output::dropping() const { return where_ != nullptr && where_->in_include(); }

void Output::append(std::string_view text) {
    line_ += text;
    if (line_.size() > kBreakLength) write_line();
}

void Output::trim_trailing_blanks() {
    while (!line_.empty() && (line_.back() == ' ' || line_.back() == '\t')) line_.pop_back();
}

void Output::emit(std::string_view text, int level) {
    std::string s;
    if (raw_tail_)  // the line already holds the end of a long comment
        s = text.empty() ? "" : " ";
    else
        s.assign(static_cast<std::size_t>(std::max(level, 0)) * 4, ' ');
    raw_tail_ = false;
    s += text;
    s += '\n';
    write_text(file_, s);
    lines_ += 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

void Output::write_line() {
    if (dropping()) {
        line_.clear();
        return;
    }
    trim_trailing_blanks();
    int level = level_;
    if (!line_.empty() && line_.front() == '{') --level;
    emit(line_, level);
    line_.clear();
}

void Output::flush() {
    trim_trailing_blanks();
    if (!line_.empty()) write_line();
}

void Output::write_at_margin(std::string_view text) {
    flush();
    if (!dropping()) emit(text, 0);
}

void Output::write_verbatim(std::string_view text) {
    flush();
    if (dropping()) return;
    write_text(file_, text);
    raw_tail_ = !text.empty() && text.back() != '\n';
    lines_ += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

void Output::open_brace(std::string_view text) {
    flush();
    indent();
    append(text);
    write_line();
}

void Output::close_brace() {
    flush();
    outdent();
    append("}");
}

}  // namespace g2zu
