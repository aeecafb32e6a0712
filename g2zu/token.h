// Tokens of the Gauss scanner: codes, texts and the word tables.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace g2zu {

enum class Tok {
#define G2ZU_KIND(name, spelling)      name,
#define G2ZU_KEYWORD(name, gauss)      name,
#define G2ZU_OPWORD(name, gauss, zu)   name,
#define G2ZU_OPERATOR(name, gauss, zu) name,
#include "tokens.def"
};

// Longest text a token may hold; longer words, strings and comments are cut.
// It is the size of the largest input file, so no literal, comment or line of
// a file that can be read is ever cut: the bound only keeps memory in check.
inline constexpr std::size_t kTokenTextLimit = std::size_t{64} << 20;
// Identifiers are cut to this many characters.
inline constexpr std::size_t kNameLimit = 60;

struct Token {
    Tok code = Tok::Eof;
    std::string text;       // name, number, string body, comment, # word
    std::size_t start = 0;  // offset of the first character in its file
    int start_line = 0;     // line of the first character
};

// How a token is spelt in Gauss (used in messages).
std::string_view gauss_spelling(Tok code);
// The Zu text written for an operator or keyword inside an expression.
std::string_view zu_text(Tok code);
// The name of a token for a message: its text when it has one.
std::string token_name(const Token& token);

bool is_number(Tok code);
bool is_operator(Tok code);

// Word tables; each returns Tok::Ident when the word is not in the table.
Tok find_keyword(std::string_view word);
Tok find_operator_word(std::string_view word);
bool is_command_word(std::string_view word);

// The punctuation operator at the start of text, or Tok::Eof; sets length.
Tok match_operator(std::string_view text, std::size_t& length);

}  // namespace g2zu
