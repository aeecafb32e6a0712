// Classification of the scanf formats that reach the C library.  Formats
// come from library routines that read program input; only formats with at
// most one conversion of a known kind are ever handed to the C library.
#pragma once

#include <string_view>

namespace zu::console {

enum class ScanConversion {
    None,        // literal text and white space only
    Integer,     // d i o u x X, with an optional length modifier
    Floating,    // e f g a (any case), with an optional l or L
    Chars,       // s, [set] or c with a width: at most width characters
    Suppressed,  // %*...: reads, assigns nothing
    Invalid,     // anything else: %n, %p, positional, two conversions, ...
};

struct ScanFormat {
    ScanConversion kind = ScanConversion::Invalid;
    char conversion = 0;  // the conversion character
    char length = 0;      // 'h', 'H' (hh), 'l', 'Q' (ll), 'L', 'j', 'z', 't' or 0
    int width = 0;        // 0 when none was given
};

ScanFormat classifyScanFormat(std::string_view format);

}  // namespace zu::console
