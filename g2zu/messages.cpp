// Messages, warnings and log lines.
#include "messages.h"

#include <ctime>

namespace g2zu {
namespace {

constexpr std::string_view kErrorTexts[] = {
    "duplicate identifier",
    "constant buffer full",
    "code buffer full",
    "symbol table full",
    "out of memory",
    "undeclared identifier",
    "expected but found ",
    "divide by zero",
    "undeclared member",
    "not a function",
    "out of place",
    "lvalue expected",
    "unexpected symbol",
    "nested proc not allowed",
    "only allowed in procedure",
    "do loops nested too deeply",
    "no matching do",
    "unfinished do loops",
    "no matching if",
    "unfinished if statements",
    "unsupported operation",
    "did not find",
    "command skipped",
    "declaration needed",
    "too many arguments in fn",
    "expression nested too deeply",
};

std::string with_subject(std::string_view subject, std::string_view text) {
    std::string s;
    if (!subject.empty()) {
        s += '\'';
        s += subject;
        s += "' ";
    }
    s += text;
    return s;
}

}  // namespace

std::string_view error_text(Err code) { return kErrorTexts[static_cast<int>(code)]; }

void write_text(std::FILE* file, std::string_view text) {
    if (file != nullptr && !text.empty()) std::fwrite(text.data(), 1, text.size(), file);
}

void Messages::write_user(int line, std::string_view text) {
    std::string s;
    if (where_ != nullptr && !where_->file_name().empty()) {
        s += where_->file_name();
        s += ' ';
    }
    if (line != 0) s += "(" + std::to_string(line) + "): ";
    s += text;
    s += '\n';
    write_text(user_, s);
}

void Messages::write_log(std::string_view prefix, int line, std::string_view text) {
    if (log_ == nullptr || in_include()) return;
    ++log_lines_;
    std::string s(prefix);
    s += "(" + std::to_string(line) + "): ";
    s += text;
    write_text(log_, s);
}

void Messages::error(Err code, std::string_view subject, std::string_view found) {
    std::string text = with_subject(subject, error_text(code));
    if (code == Err::ExpectedButFound) text += "'" + std::string(found) + "'";
    ++errors_;
    write_user(current_line(), text);
    write_log("input  ", current_line(), text + "\n");
}

void Messages::warning(Err code, std::string_view subject) {
    if (in_include()) return;
    write_user(current_line(), with_subject(subject, error_text(code)));
}

void Messages::scan_error(std::string_view text, std::string_view quoted) {
    std::string s = with_subject(quoted, text);
    ++errors_;
    write_user(current_line(), s);
    write_log("scan   ", current_line(), s + "\n");
}

void Messages::scan_warning(std::string_view text, std::string_view quoted) {
    write_user(current_line(), with_subject(quoted, text));
}

void Messages::say(std::string_view text) { write_user(current_line(), text); }

void Messages::fatal(std::string_view text) {
    write_user(-1, text);
    throw FatalError(std::string(text));
}

void Messages::log_output(int output_line, std::string_view text) { write_log("output ", output_line, text); }

void Messages::log_input(std::string_view text) { write_log("input  ", current_line(), text); }

void Messages::log_raw(std::string_view text) {
    if (log_ != nullptr) write_text(log_, text);
}

Stamp now_stamp() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char time[32];
    char date[32];
    std::snprintf(time, sizeof time, "%2d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    std::snprintf(date, sizeof date, "%2u-%02u-%4u", static_cast<unsigned>(tm.tm_mday),
                  static_cast<unsigned>(tm.tm_mon + 1), static_cast<unsigned>(tm.tm_year + 1900));
    return {time, date};
}

}  // namespace g2zu
