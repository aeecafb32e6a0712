// The conversion table file: Gauss functions and their Zu stand-ins.
#pragma once

#include <string>

namespace g2zu {

class Messages;
class Scanner;
class Symbols;

// Where the table is looked for: beside the program as typed (its name with
// ".cvt"), then "g2zu.cvt" in the current directory, then beside the
// running executable.
std::string find_conversion_table(const char* program);

// Reads every entry into the symbol table (kind Conversion); false after the
// first error.
bool load_conversion_table(Scanner& in, Symbols& symbols, Messages& messages);

}  // namespace g2zu
