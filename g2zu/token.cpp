// Token tables: spellings, Zu texts and the sorted word lists.
#include "token.h"

#include <algorithm>

namespace g2zu {
namespace {

struct TokenInfo {
    std::string_view gauss;
    std::string_view zu;
};

constexpr TokenInfo kInfo[] = {
#define G2ZU_KIND(name, spelling)      {spelling, ""},
#define G2ZU_KEYWORD(name, gauss)      {gauss, gauss},
#define G2ZU_OPWORD(name, gauss, zu)   {gauss, zu},
#define G2ZU_OPERATOR(name, gauss, zu) {gauss, zu},
#include "tokens.def"
};

struct WordEntry {
    std::string_view word;
    Tok code;
};

constexpr WordEntry kKeywords[] = {
#define G2ZU_KEYWORD(name, gauss) {gauss, Tok::name},
#include "tokens.def"
};

constexpr WordEntry kOperatorWords[] = {
#define G2ZU_OPWORD(name, gauss, zu) {gauss, Tok::name},
#include "tokens.def"
};

constexpr WordEntry kOperators[] = {
#define G2ZU_OPERATOR(name, gauss, zu) {gauss, Tok::name},
#include "tokens.def"
};

// Words that begin a command statement (looked up only at a statement start).
constexpr std::string_view kCommandWords[] = {
    "call",     "callexe", "clear",   "clearg",  "closeall", "cls",      "comlog",  "compile", "create",
    "datalist", "debug",   "delete",  "disable", "dos",      "ed",       "edit",    "enable",  "errorlog",
    "format",   "graph",   "lib",     "library", "load",     "loadd",    "loadexe", "loadf",   "loadk",
    "loadm",    "loadp",   "loads",   "locate",  "lpwidth",  "msym",     "ndpclex", "new",     "output",
    "outwidth", "plot",    "plotsym", "pop",     "prcsn",    "printdos", "rndseed", "run",     "save",
    "saveall",  "screen",  "system",  "trace",   "trap",     "use"};

constexpr bool sorted_words() {
    for (std::size_t i = 1; i < std::size(kKeywords); ++i)
        if (!(kKeywords[i - 1].word < kKeywords[i].word)) return false;
    for (std::size_t i = 1; i < std::size(kCommandWords); ++i)
        if (!(kCommandWords[i - 1] < kCommandWords[i])) return false;
    return true;
}
static_assert(sorted_words(), "keyword and command tables must stay sorted");

}  // namespace

std::string_view gauss_spelling(Tok code) { return kInfo[static_cast<std::size_t>(code)].gauss; }

std::string_view zu_text(Tok code) { return kInfo[static_cast<std::size_t>(code)].zu; }

std::string token_name(const Token& token) {
    switch (token.code) {
    case Tok::Ident:
    case Tok::Integer:
    case Tok::Double:
    case Tok::HexDouble:
    case Tok::Complex:
    case Tok::String:
    case Tok::DotWord: return token.text;
    case Tok::Hash: return "#" + token.text;
    default: return std::string(gauss_spelling(token.code));
    }
}

bool is_number(Tok code) {
    return code == Tok::Integer || code == Tok::Double || code == Tok::HexDouble || code == Tok::Complex;
}

bool is_operator(Tok code) { return (code >= Tok::And && code <= Tok::Dot) || code == Tok::DotWord; }

Tok find_keyword(std::string_view word) {
    const auto* end = std::end(kKeywords);
    const auto* it = std::lower_bound(std::begin(kKeywords), end, word,
                                      [](const WordEntry& e, std::string_view w) { return e.word < w; });
    return it != end && it->word == word ? it->code : Tok::Ident;
}

Tok find_operator_word(std::string_view word) {
    for (const WordEntry& e : kOperatorWords)
        if (e.word == word) return e.code;
    return Tok::Ident;
}

bool is_command_word(std::string_view word) {
    return std::binary_search(std::begin(kCommandWords), std::end(kCommandWords), word);
}

Tok match_operator(std::string_view text, std::size_t& length) {
    for (const WordEntry& e : kOperators) {
        if (text.starts_with(e.word)) {
            length = e.word.size();
            return e.code;
        }
    }
    length = 0;
    return Tok::Eof;
}

}  // namespace g2zu
