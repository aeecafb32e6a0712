// Strings: the strfind family, strlwr, strupr, strtrim and getenv.
/// @family Strings
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::IntOf;
using zu::value::ItemCount;
using zu::value::Items;
using zu::value::MatrixData;
using zu::value::StringLength;
using zu::value::StringText;

namespace zu::stdlib {
namespace {

bool IsString(const ZuVALUE* v) { return value::TypeCode(v) == ZU_STRING && !value::IsNul(v); }
bool IsArray(const ZuVALUE* v) { return value::TypeCode(v) == ZU_ARRAY && !value::IsNul(v) && !value::IsAddress(v); }

// The characters of a string value, by its length (they may hold zeros).
std::string_view TextOf(const ZuVALUE* v) {
    if (StringText(v) == nullptr || StringLength(v) <= 0) return {};
    return {StringText(v), static_cast<std::size_t>(StringLength(v))};
}

unsigned char Lower(unsigned char ch) { return static_cast<unsigned char>(std::tolower(ch)); }
unsigned char Upper(unsigned char ch) { return static_cast<unsigned char>(std::toupper(ch)); }

bool SameText(std::string_view a, std::string_view b, bool ignoreCase) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        const auto x = static_cast<unsigned char>(a[k]), y = static_cast<unsigned char>(b[k]);
        if (ignoreCase ? Lower(x) != Lower(y) : x != y) return false;
    }
    return true;
}

// How one search goes: case, direction, and the base added to positions.
struct Search {
    bool ignoreCase = false;
    bool fromRight = false;
    int base = 0;
};

std::string LowerCase(std::string_view text) {
    std::string out(text);
    for (char& ch : out) ch = static_cast<char>(Lower(static_cast<unsigned char>(ch)));
    return out;
}

// The position of `what` in `text`, or -1: the first (or last) place where
// it starts.
long long FindInText(std::string_view text, std::string_view what, const Search& how) {
    if (how.ignoreCase) {
        const std::string lowText = LowerCase(text), lowWhat = LowerCase(what);
        return FindInText(lowText, lowWhat, Search{false, how.fromRight, how.base});
    }
    const std::size_t at = how.fromRight ? text.rfind(what) : text.find(what);
    return at == std::string_view::npos ? -1 : static_cast<long long>(at);
}

// The index of the first (or last) string element of `array` equal to
// `what`, or -1; elements that are not strings never match.
long long FindInArray(const ZuVALUE* array, std::string_view what, const Search& how) {
    const int n = Items(array) != nullptr ? ItemCount(array) : 0;
    for (int step = 0; step < n; ++step) {
        const int k = how.fromRight ? n - 1 - step : step;
        const ZuVALUE* element = &Items(array)[k];
        if (IsString(element) && SameText(TextOf(element), what, how.ignoreCase)) return k;
    }
    return -1;
}

// The position found, counted from the base, or -1.  A position that the
// base would take beyond the int range is -1 as well.
int Found(const ZuVALUE* s, std::string_view what, const Search& how) {
    const long long at = IsString(s) ? FindInText(TextOf(s), what, how) : FindInArray(s, what, how);
    if (at < 0 || at + how.base < INT_MIN || at + how.base > INT_MAX) return -1;
    return static_cast<int>(at + how.base);
}

// strfind(s, t [, base]) and its siblings.  The base is the first index of
// the program's arrays; it is added to every position found.
void FindRoutine(ZuVALUE* rtn, ZuVALUE* pv, int cArg, bool ignoreCase, bool fromRight) {
    if (cArg > 3) {
        ZuLibArgError(3);
        return;
    }
    Search how{ignoreCase, fromRight, 0};
    if (cArg > 2) {
        if (ZuLibCheckType(ZU_INT, pv, 2, 2) == 0) return;
        how.base = IntOf(&pv[2]);
    }
    const ZuVALUE* s = &pv[0];
    const ZuVALUE* t = &pv[1];
    if (!IsString(s) && !IsArray(s)) {
        ZuLibArgTypeError(0, ZU_STRING, value::TypeCode(s));
        return;
    }
    if (IsString(t)) {
        ZuValSetInt(rtn, Found(s, TextOf(t), how));
        return;
    }
    if (!IsArray(t)) {
        ZuLibArgTypeError(1, ZU_STRING, value::TypeCode(t));
        return;
    }
    const int n = Items(t) != nullptr ? ItemCount(t) : 0;
    ZuVALUE* words = Items(t);
    ZuLibValMatMalloc(rtn, 1, n);
    if (!value::IsMatrix(rtn)) return;
    for (int k = 0; k < n; ++k) {
        MatrixData(rtn)[0][k] = IsString(&words[k]) ? Found(s, TextOf(&words[k]), how) : -1.0;
    }
}

// A new string made from the characters of `text` by `change`.
template <typename Change>
void ChangedString(ZuVALUE* out, std::string_view text, Change change) {
    const std::string changed = change(text);
    ZuLibValStrMalloc(out, static_cast<int>(changed.size()));
    if (value::TypeCode(out) == ZU_STRING && StringText(out) != nullptr)
        std::memcpy(StringText(out), changed.data(), changed.size());
}

// A string argument gives a string; an array of strings gives an array of
// the changed strings.  Any other argument, or an array element that is
// not a string, is an argument error.
template <typename Change>
void StringRoutine(ZuVALUE* rtn, ZuVALUE* pv, Change change) {
    if (IsString(pv)) {
        const std::string_view text = TextOf(pv);
        ChangedString(rtn, text, change);
        return;
    }
    if (!IsArray(pv)) {
        ZuLibArgTypeError(0, ZU_STRING, value::TypeCode(pv));
        return;
    }
    const int n = Items(pv) != nullptr ? ItemCount(pv) : 0;
    for (int k = 0; k < n; ++k) {
        if (!IsString(&Items(pv)[k])) {
            ZuLibArgError(0);
            return;
        }
    }
    ZuVALUE* source = Items(pv);
    ZuLibValArrayCalloc(rtn, n);
    if (value::TypeCode(rtn) != ZU_ARRAY) return;
    for (int k = 0; k < n; ++k) ChangedString(&Items(rtn)[k], TextOf(&source[k]), change);
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char& ch : out) ch = static_cast<char>(Upper(static_cast<unsigned char>(ch)));
    return out;
}

bool IsBlank(char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; }

std::string Trimmed(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return std::string(text.substr(first, last - first));
}

}  // namespace

/// strfind(s, t [, base])
/// With strings `s` and `t`: the int position of the first occurrence of `t` in `s`, or -1.
/// With an array of strings `s`: the index of the first element equal to `t`, or -1; elements
/// that are not strings never match. With an array of strings `t`: a 1 by n matrix of these
/// results, one for each element of `t`. Positions count from `base`, default 0.
/// Example:
///     println(strfind("abcabc", "c"), " ", strfind("abc", "x"), " ", strfind({"a", "b"}, "b"));
///     print(strfind("abcabc", {"b", "c"}));
void FnStrfind(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { FindRoutine(rtn, pv, cArg, false, false); }

/// strifind(s, t [, base])
/// As `strfind`, ignoring the case of letters.
/// Example:
///     println(strifind("Hello", "LL"), " ", strifind({"One", "Two"}, "two"));
void FnStrifind(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { FindRoutine(rtn, pv, cArg, true, false); }

/// strfindr(s, t [, base])
/// As `strfind`, finding the last occurrence (the last element equal to `t`).
/// Example:
///     println(strfindr("abcabc", "c"), " ", strfindr({"a", "b", "a"}, "a"));
void FnStrfindr(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { FindRoutine(rtn, pv, cArg, false, true); }

/// strifindr(s, t [, base])
/// As `strfindr`, ignoring the case of letters.
/// Example:
///     println(strifindr("aBcAbC", "bc"));
void FnStrifindr(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { FindRoutine(rtn, pv, cArg, true, true); }

/// strlwr(s)
/// A copy of the string `s` (or of each string of an array) with its letters in lower case.
/// Anything else, or an array element that is not a string, is an argument error.
/// Example:
///     println(strlwr("Hello World"));
///     print(strlwr({"A", "bC"}));
void FnStrlwr(ZuVALUE* rtn, ZuVALUE* pv, int) { StringRoutine(rtn, pv, LowerCase); }
/// strupr(s)
/// A copy of the string `s` (or of each string of an array) with its letters in upper case.
/// Anything else, or an array element that is not a string, is an argument error.
/// Example:
///     println(strupr("Hello World"));
void FnStrupr(ZuVALUE* rtn, ZuVALUE* pv, int) { StringRoutine(rtn, pv, UpperCase); }

/// strtrim(s)
/// A copy of the string `s` (or of each string of an array) without white space at its start
/// and end.
/// Example:
///     println("[", strtrim("  two words \t"), "]");
void FnStrtrim(ZuVALUE* rtn, ZuVALUE* pv, int) { StringRoutine(rtn, pv, Trimmed); }

/// getenv(name)
/// The value of the environment variable `name`, or the empty string when it is not set.
/// Family: System
/// Example:
///     println("[", getenv("ZU_NO_SUCH_VARIABLE"), "]");
///     println(sizeof(getenv("PATH")) > 0);
void FnGetenv(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!IsString(pv)) {
        ZuLibArgTypeError(0, ZU_STRING, value::TypeCode(pv));
        return;
    }
    const std::string name(TextOf(pv));
    const char* found = name.find('\0') == std::string::npos ? std::getenv(name.c_str()) : nullptr;
    ZuValSetString(rtn, found != nullptr ? found : "");
}

}  // namespace zu::stdlib
