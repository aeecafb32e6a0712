// The value printer: one value by its type, with the format and options
// that the print functions collected for it.
#ifndef ZU_STDLIB_VALUE_PRINTER_H
#define ZU_STDLIB_VALUE_PRINTER_H

#include <string>
#include <string_view>

#include "stdlib/format.h"
#include "stdlib/print_sink.h"
#include "zu.h"

namespace zu::stdlib {

// What applies to the next printed value.
struct PrintOptions {
    FormatPiece format;                  // kind None without a format
    const ZuVALUE* rowLabels = nullptr;  // arrays, or null
    const ZuVALUE* columnLabels = nullptr;
    const ZuVALUE* columnFormats = nullptr;
    bool lower = false;
    bool blockHeaders = true;
};

// Prints v and tells whether its output counts as ending with a newline:
// always for a matrix and for an array or object printed in full, for a
// string when its text ends with one, never otherwise.
bool PrintValue(PrintSink& sink, const ZuVALUE& v, const PrintOptions& options);

// A string's text printed as a string value is (used for "%%..." arguments).
bool PrintString(PrintSink& sink, std::string_view text, const PrintOptions& options);

// The text that printing v with no format gives; for listings.
[[nodiscard]] std::string ValueText(const ZuVALUE& v);

// The characters of a string value up to its length or its first NUL.
[[nodiscard]] std::string_view StringChars(const ZuVALUE& v);

}  // namespace zu::stdlib

#endif
