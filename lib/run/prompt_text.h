// What the interactive prompt makes of the text typed at it: whether it
// goes on over more lines, whether it defines functions or classes, and
// whether it is an expression whose value is to be shown.
#pragma once

#include <string>
#include <string_view>

namespace zu::run::prompt {

// Brackets ( [ { opened and not yet closed, outside strings and comments;
// more than 0 asks for another line.
int OpenBrackets(std::string_view text);

// True for top-level text: a function definition "name(...) {", a member
// definition "Class::name(...) {", or a class, struct or enum.
bool DefinesSomething(std::string_view text);

// The statement that shows the value of an expression typed without a
// closing ";", or an empty string when the text is a statement.
std::string EchoStatement(std::string_view text);

}  // namespace zu::run::prompt
