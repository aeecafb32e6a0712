// Token codes of the scanner and the keyword tables.
#pragma once

#include <span>
#include <string_view>

namespace zu::program {

// The token codes, generated from tokens.def: tok::Identifier, tok::Star ...
namespace tok {
enum : int {
#define ZU_TOKEN(Name, code, text)   Name = code,
#define ZU_KEYWORD(Name, code, text) Name = code,
#define ZU_UNNAMED(Name, code)       Name = code,
#include "program/tokens.def"
};
}  // namespace tok

// Largest token code plus one; every code fits below it.
inline constexpr int kTokenCodeLimit = 256;

struct Keyword {
    std::string_view text;
    int code;
};

// The active keyword tables, sorted by byte value.
std::span<const Keyword> ZuKeywords();
std::span<const Keyword> GaussKeywords();

// Bisection of a sorted keyword table; 0 when the text is no keyword.
int FindKeyword(std::span<const Keyword> table, std::string_view text);

}  // namespace zu::program
