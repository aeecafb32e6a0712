// The command table of the text markup (the layout itself is declared
// with the sheet: GDItextMarkup, GDItextWidth, GDItextHeight).
#pragma once

#include <span>
#include <string_view>

namespace zu::draw {

enum class MarkupKind {
    kFont,      // code: font number
    kSize,      // code: percent of the base size
    kFunction,  // a function name set upright
    kAccent,    // code: the accent's character in the text font
    kLatin,     // code: the Latin-1 letter
    kSymbol,    // code: the character in the Symbol font
    kArrow,     // a Symbol-font arrow, extensible
};

struct MarkupCommand {
    std::string_view name;
    MarkupKind kind;
    int code;
};

// The command of that name, or null.
const MarkupCommand* FindMarkupCommand(std::string_view name);
std::span<const MarkupCommand> MarkupCommands();

}  // namespace zu::draw
