#include "console/scan_format.h"

#include <cctype>
#include <cstring>

namespace zu::console {
namespace {

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Reads a length modifier at format[i]; advances i.
char lengthModifier(std::string_view f, std::size_t& i) {
    if (i >= f.size()) return 0;
    char c = f[i];
    if ((c == 'h' || c == 'l') && i + 1 < f.size() && f[i + 1] == c) {
        i += 2;
        return c == 'h' ? 'H' : 'Q';
    }
    if (std::strchr("hlLjzt", c)) {
        ++i;
        return c;
    }
    return 0;
}

// Skips a scanset "[...]" whose '[' is at format[i]; false when unclosed.
bool skipScanset(std::string_view f, std::size_t& i) {
    std::size_t j = i + 1;
    if (j < f.size() && f[j] == '^') ++j;
    if (j < f.size() && f[j] == ']') ++j;
    while (j < f.size() && f[j] != ']') ++j;
    if (j >= f.size()) return false;
    i = j + 1;
    return true;
}

ScanFormat invalid() { return {}; }

}  // namespace

ScanFormat classifyScanFormat(std::string_view f) {
    ScanFormat result{ScanConversion::None, 0, 0, 0};
    bool seen = false;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%') continue;
        ++i;
        if (i < f.size() && f[i] == '%') continue;
        if (seen) return invalid();
        seen = true;
        bool suppressed = i < f.size() && f[i] == '*';
        if (suppressed) ++i;
        int width = 0;
        while (i < f.size() && isDigit(f[i])) {
            if (width > 100000) return invalid();
            width = width * 10 + (f[i] - '0');
            ++i;
        }
        if (i < f.size() && f[i] == '$') return invalid();
        char length = lengthModifier(f, i);
        if (i >= f.size()) return invalid();
        char conv = f[i];
        ScanConversion kind;
        if (std::strchr("diouxX", conv)) {
            if (length == 'L') return invalid();
            kind = ScanConversion::Integer;
        } else if (std::strchr("efgaEFGA", conv)) {
            if (length != 0 && length != 'l' && length != 'L') return invalid();
            kind = ScanConversion::Floating;
        } else if (conv == 's' || conv == '[' || conv == 'c') {
            if (length != 0) return invalid();
            if (conv == '[' && !skipScanset(f, i)) return invalid();
            if (conv == '[') --i;  // the loop's ++i steps past the closing bracket
            if (conv == 'c' && width == 0) width = 1;
            if (width == 0 && !suppressed) return invalid();  // an unbounded string read
            kind = ScanConversion::Chars;
        } else {
            return invalid();
        }
        result = {suppressed ? ScanConversion::Suppressed : kind, conv, length, width};
    }
    return result;
}

}  // namespace zu::console
