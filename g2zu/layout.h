// The fixed parts of the files written: the output head and the header file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "messages.h"

namespace g2zu {

class Output;
class Symbols;

// PROG_H for a header prog.h: the name without its directory, upper case,
// with every character that cannot stand in a name made "_".
std::string guard_name(std::string_view header_file);

void write_output_head(Output& out, std::string_view gauss_name, const Stamp& stamp, std::string_view guard,
                       std::string_view header_file);

// Globals (defined here when first assigned in a main block, extern for any
// other file including the header) and procedure declarations.
void write_header(std::FILE* file, const Symbols& symbols, const Stamp& stamp, std::string_view guard);

}  // namespace g2zu
