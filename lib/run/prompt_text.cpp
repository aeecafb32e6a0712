// What the interactive prompt makes of the text typed at it.  These look
// at the characters only; the compiler has the last word on what a text
// means, so a wrong guess ends as its compile message.
#include "run/prompt_text.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace zu::run::prompt {
namespace {

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The text with comments blanked, and the insides of string literals
// too unless they are to be kept, so that a bracket or ";" in them counts
// for nothing.
std::string CodeOnly(std::string_view text, bool keepStrings = false) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '"') {
            for (++i; i < out.size() && out[i] != '"'; ++i) {
                if (keepStrings) {
                    i += out[i] == '\\' ? 1 : 0;
                    continue;
                }
                if (out[i] == '\\' && i + 1 < out.size()) out[i++] = ' ';
                out[i] = ' ';
            }
        } else if (out.compare(i, 2, "//") == 0) {
            while (i < out.size() && out[i] != '\n') out[i++] = ' ';
        } else if (out.compare(i, 2, "/*") == 0) {
            const auto end = out.find("*/", i + 2);
            const std::size_t stop = end == std::string::npos ? out.size() : end + 2;
            for (; i < stop; ++i) out[i] = ' ';
            --i;
        }
    }
    return out;
}

std::string_view FirstWord(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && IsNameChar(text[n])) ++n;
    return text.substr(0, n);
}

// Words that begin a statement or a declaration, never an expression.
constexpr std::array<std::string_view, 18> kStatementWords{
    "if",    "while",  "for",  "do",     "decl",  "return", "break",  "continue", "goto",
    "class", "struct", "enum", "static", "const", "extern", "inline", "switch",   "delete"};

}  // namespace

int OpenBrackets(std::string_view text) {
    int open = 0;
    for (char c : CodeOnly(text)) {
        if (c == '(' || c == '[' || c == '{')
            ++open;
        else if (c == ')' || c == ']' || c == '}')
            --open;
    }
    return open;
}

bool DefinesSomething(std::string_view text) {
    const std::string code = CodeOnly(text);
    const std::string_view t = Trimmed(code);
    const std::string_view word = FirstWord(t);
    if (word == "class" || word == "struct" || word == "enum") return true;
    if (word.empty() || std::find(kStatementWords.begin(), kStatementWords.end(), word) != kStatementWords.end())
        return false;
    // name [:: name] ( ... ) {
    std::size_t i = word.size();
    while (i < t.size() && t[i] == ' ') ++i;
    if (t.compare(i, 2, "::") == 0) {
        i += 2;
        while (i < t.size() && (IsNameChar(t[i]) || t[i] == '~' || t[i] == ' ')) ++i;
    }
    if (i >= t.size() || t[i] != '(') return false;
    int depth = 0;
    for (; i < t.size(); ++i) {
        if (t[i] == '(')
            ++depth;
        else if (t[i] == ')' && --depth == 0)
            break;
    }
    const auto next = t.find_first_not_of(" \t\r\n", i + 1);
    return next != std::string_view::npos && t[next] == '{';
}

std::string EchoStatement(std::string_view text) {
    const std::string code = CodeOnly(text);
    const std::string_view t = Trimmed(code);
    if (t.empty() || t.back() == ';' || t.back() == '}' || t.front() == '{') return {};
    const std::string_view word = FirstWord(t);
    for (std::string_view w : kStatementWords)
        if (word == w) return {};
    return "print(" + std::string(Trimmed(CodeOnly(text, true))) + ");";
}

}  // namespace zu::run::prompt
