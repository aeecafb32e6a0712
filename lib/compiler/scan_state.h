// The scanner's state: one instance, since the compiler reads one source
// at a time on one thread.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "program/tokens.h"

namespace zu::compiler {
namespace tok = program::tok;

inline constexpr int kTokenTextMax = 2047;  // characters of one token text
inline constexpr int kIdentifierMax = 60;   // identifiers are cut to this
inline constexpr int kIncludeLevels = 11;   // nested include files
inline constexpr int kDefineSlots = 256;
inline constexpr int kPushBackMax = 8;  // deepest look-ahead is 4

// Characters pushed back onto one source, the most recent last.  Every
// source keeps its own, so that a character pushed back before an include
// file is opened is read again only after that file ends.
struct PushBack {
    std::array<int, kPushBackMax> chars{};
    int count = 0;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// One open include file.
struct IncludeEntry {
    std::unique_ptr<std::FILE, FileCloser> file;
    std::string path;   // the full name that was opened
    int savedLine = 0;  // line number of the including file
    PushBack pushBack;
};

// One #define: a name (stored as "$" and the lower-cased name when it was
// defined case-insensitively) and an optional value.
struct DefineSlot {
    std::string name;
    std::optional<std::string> value;
};

struct ScanState {
    // Text of the current token, NUL-terminated; at most kTokenTextMax
    // characters.  textLength counts them (a string may hold a NUL).
    std::array<char, kTokenTextMax + 11> text{};
    int textLength = 0;
    bool textOverflow = false;  // characters were dropped from this token

    int line = 0;                         // current line; counts newlines read
    int errors = 0;                       // counted messages since FZuScanInit
    int pending = tok::NoToken;           // token held back behind an inserted "*"
    int last = tok::NoToken;              // last token handed to the parser
    std::optional<std::string> mainName;  // name given to FZuScanInit

    // Include files; includeDepth is -1 while reading the main source.
    std::array<IncludeEntry, kIncludeLevels> includes;
    int includeDepth = -1;
    PushBack mainPushBack;  // characters pushed back onto the main source

    // Value of a define being expanded, read before any file.  A copy, so
    // that an #undef met inside it cannot pull the text away.
    std::string replacement;
    std::size_t replacementPos = 0;
    bool replacementActive = false;

    std::array<DefineSlot, kDefineSlots> defines;
    int defineCount = 0;          // used slots are 0 .. defineCount-1
    bool defineHasValue = false;  // some define has a value: replace names

    int ifDepth = 0;    // nesting of #ifdef and friends
    int skipDepth = 0;  // 0, or the depth at which skipping began

    bool spaceMode = false;    // report blanks before a token as <space>
    bool escapes = true;       // backslash starts an escape in strings
    bool gauss = false;        // ZuGauss tables chosen at FZuScanInit
    bool inDirective = false;  // reading a directive's operand: no joining
                               // of string literals across lines
};

ScanState& Scan();

}  // namespace zu::compiler
