// Token names and keyword tables, all generated from tokens.def and
// gauss_keywords.def.
#include "program/tokens.h"

#include <algorithm>
#include <array>

#include "zu.h"

namespace zu::program {
namespace {

constexpr auto kZuKeywords = [] {
    std::array table{
#define ZU_KEYWORD(Name, code, text) Keyword{text, code},
#include "program/tokens.def"
    };
    std::sort(table.begin(), table.end(), [](const Keyword& a, const Keyword& b) { return a.text < b.text; });
    return table;
}();

constexpr std::array kGaussKeywords{
#define ZU_GAUSS_KEYWORD(text, Name) Keyword{text, tok::Name},
#include "program/gauss_keywords.def"
};

constexpr bool IsSorted(std::span<const Keyword> table) {
    for (std::size_t i = 1; i < table.size(); ++i)
        if (!(table[i - 1].text < table[i].text)) return false;
    return true;
}
static_assert(kZuKeywords.size() == 32);
static_assert(kGaussKeywords.size() == 54);
static_assert(IsSorted(kZuKeywords), "duplicate Zu keyword");
static_assert(IsSorted(kGaussKeywords), "gauss_keywords.def must stay sorted");

// The text of each code: a Zu keyword or fixed text first, then the first
// ZuGauss keyword with that code, else "<token>".
constexpr auto kTokenNames = [] {
    std::array<const char*, kTokenCodeLimit> names{};
#define ZU_TOKEN(Name, code, text)   names[code] = text;
#define ZU_KEYWORD(Name, code, text) names[code] = text;
#include "program/tokens.def"
    for (const Keyword& k : kGaussKeywords)
        if (names[k.code] == nullptr) names[k.code] = k.text.data();
    for (const char*& name : names)
        if (name == nullptr) name = "<token>";
    return names;
}();

}  // namespace

std::span<const Keyword> ZuKeywords() { return kZuKeywords; }
std::span<const Keyword> GaussKeywords() { return kGaussKeywords; }

int FindKeyword(std::span<const Keyword> table, std::string_view text) {
    auto it = std::lower_bound(table.begin(), table.end(), text,
                               [](const Keyword& k, std::string_view t) { return k.text < t; });
    return it != table.end() && it->text == text ? it->code : 0;
}

}  // namespace zu::program

extern "C" ZU_API const char* SZuTokenName(int code) {
    using zu::program::kTokenCodeLimit;
    if (code < 0 || code >= kTokenCodeLimit) return "<token>";
    return zu::program::kTokenNames[static_cast<std::size_t>(code)];
}
