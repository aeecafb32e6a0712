// The Gauss printer.  A number is printed in the current format: right or
// left justified in a field of `width` characters, as a decimal ("d"),
// exponential ("e"), compact ("o": significant digits) or compact without
// trailing zeros ("z") number with `precision` digits, followed by a
// blank.  A matrix starts on a new line (after the blank lines its "/m"
// flag asks for) and prints a line per row; rows longer than the output
// width go on over several lines.  Formats are built here from the
// settings, never taken from the program's text.
/// @family Gauss compatibility

#include "gauss/print_library.h"

#include "gauss/routines.h"
#include "stdlib/print_sink.h"
#include "stdlib/value_printer.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <sys/time.h>

namespace zu::gauss {
namespace {

using stdlib::PrintSink;

constexpr int kMaxWidth = 100;
constexpr int kMaxPrecision = 30;
constexpr int kDefaultWidth = 16;
constexpr int kDefaultPrecision = 8;
constexpr int kDefaultOutwidth = 80;
constexpr int kMinOutwidth = 2;
constexpr int kMaxOutwidth = 256;

struct NumberFormat {
    bool left = false;  // "l" flags justify left
    char type = 'o';    // d, e, o or z
    int width = kDefaultWidth;
    int precision = kDefaultPrecision;
    int matrixNewlines = 0;  // blank lines before a matrix ("/m0".."/m2")
};

struct PrinterState {
    NumberFormat format;  // set by the format statement
    int outwidth = kDefaultOutwidth;
    int column = 0;  // characters on the current console line
};

PrinterState& Printer() {
    static PrinterState state;
    return state;
}

// Applies "/flag/flag..." to a format; unknown flags are ignored.
void applyFlags(NumberFormat& f, std::string_view flags) {
    std::size_t i = 0;
    while (i < flags.size()) {
        if (flags[i] != '/') {
            ++i;
            continue;
        }
        std::size_t end = flags.find('/', i + 1);
        if (end == std::string_view::npos) end = flags.size();
        const std::string_view word = flags.substr(i + 1, end - i - 1);
        i = end;
        if (word.size() >= 2 && (word[0] == 'r' || word[0] == 'l') && std::strchr("deoz", word[1]) != nullptr) {
            f.left = word[0] == 'l';
            f.type = word[1];
        } else if (word.size() == 2 && word[0] == 'm' && word[1] >= '0' && word[1] <= '2') {
            f.matrixNewlines = word[1] - '0';
        }
    }
}

// One number in the format, with its field and the blank after it.
std::string numberText(const NumberFormat& f, double x) {
    std::string body;
    if (std::isnan(x)) {
        body = ".";
    } else if (std::isinf(x)) {
        body = x > 0 ? "+.Inf" : "-.Inf";
    } else {
        const int p = f.precision;
        char buffer[kMaxWidth + kMaxPrecision + 400];
        int n = 0;
        switch (f.type) {
        case 'd': n = std::snprintf(buffer, sizeof buffer, "%.*f", p, x); break;
        case 'e': n = std::snprintf(buffer, sizeof buffer, "%.*e", p, x); break;
        case 'z': n = std::snprintf(buffer, sizeof buffer, "%.*g", p < 1 ? 1 : p, x); break;
        default: n = std::snprintf(buffer, sizeof buffer, "%#.*g", p < 1 ? 1 : p, x); break;
        }
        body.assign(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    const std::size_t w = static_cast<std::size_t>(f.width);
    if (body.size() < w)
        body = f.left ? body + std::string(w - body.size(), ' ') : std::string(w - body.size(), ' ') + body;
    return body + ' ';
}

// A character element: the 8 bytes of the double up to the first NUL.
std::string characterText(const NumberFormat& f, double x) {
    char bytes[9] = {};
    std::memcpy(bytes, &x, 8);
    std::string body(bytes);
    const std::size_t w = static_cast<std::size_t>(f.width);
    if (body.size() < w)
        body = f.left ? body + std::string(w - body.size(), ' ') : std::string(w - body.size(), ' ') + body;
    return body + ' ';
}

// Console text, keeping count of the column.
class Output {
public:
    Output() : sink_(PrintSink::Console()) {}
    ~Output() { sink_.Flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void put(std::string_view text) {
        sink_.Put(text);
        const std::size_t newline = text.rfind('\n');
        int& column = Printer().column;
        column = newline == std::string_view::npos ? column + static_cast<int>(text.size())
                                                   : static_cast<int>(text.size() - newline - 1);
    }
    void newline() { put("\n"); }
    void startLine() {
        if (Printer().column != 0) newline();
    }
    // An element of a row: a new line first when it would pass the width.
    void element(const std::string& text) {
        if (Printer().column > 0 && Printer().column + static_cast<int>(text.size()) > Printer().outwidth) newline();
        put(text);
    }

private:
    PrintSink sink_;
};

void printValue(Output& out, const NumberFormat& f, const ZuVALUE& v, bool characters);

void printMatrix(Output& out, const NumberFormat& f, double** m, int r, int c, bool characters) {
    if (r == 1 && c == 1) {
        out.element(characters ? characterText(f, m[0][0]) : numberText(f, m[0][0]));
        return;
    }
    out.startLine();
    for (int k = 0; k < f.matrixNewlines; ++k) out.newline();
    for (int i = 0; i < r; ++i) {
        if (i > 0) out.newline();
        for (int j = 0; j < c; ++j) out.element(characters ? characterText(f, m[i][j]) : numberText(f, m[i][j]));
    }
}

void printValue(Output& out, const NumberFormat& f, const ZuVALUE& v, bool characters) {
    switch (v.t & ZU_TYPE_MASK) {
    case ZU_INT: out.element(numberText(f, v.w1.i)); return;
    case ZU_DOUBLE: out.element(characters ? characterText(f, v.w1.d) : numberText(f, v.w1.d)); return;
    case ZU_MATRIX:
        if (v.w3.m && v.w1.i > 0 && v.w2.i > 0) printMatrix(out, f, v.w3.m, v.w1.i, v.w2.i, characters);
        return;
    case ZU_STRING: out.put(stdlib::StringChars(v)); return;
    case ZU_ARRAY:
        for (int k = 0; k < v.w1.i && v.w2.v; ++k) {
            if (k > 0) out.put(" ");
            printValue(out, f, v.w2.v[k], characters);
        }
        return;
    default: {
        PrintSink collect = PrintSink::Collect();
        stdlib::PrintValue(collect, v, stdlib::PrintOptions{});
        out.put(collect.Text());
        return;
    }
    }
}

bool isMarker(const ZuVALUE& v) { return (v.t & ZU_TYPE_MASK) == ZU_STRING && stdlib::StringChars(v) == "%$%"; }

// print and println: flags, then the items; "%$%" prints the next item's
// elements as characters.
void printItems(ZuVALUE* pv, int cArg, bool newline) {
    NumberFormat f = Printer().format;
    if (cArg > 0 && (pv[0].t & ZU_TYPE_MASK) == ZU_STRING) applyFlags(f, stdlib::StringChars(pv[0]));
    Output out;
    bool characters = false;
    for (int i = 1; i < cArg; ++i) {
        if (isMarker(pv[i])) {
            characters = true;
            continue;
        }
        printValue(out, f, pv[i], characters);
        characters = false;
    }
    if (newline) out.newline();
}

}  // namespace

/// gauss::print(flags, ...)
/// The print statement ending in ";;": prints the items after the format flags (a text such as "/rd/m1",
/// applied to the current format for this statement only) without a newline at the end. Numbers print in the
/// current format (see `format`) followed by a blank; a matrix starts on a new line and prints a line per
/// row, rows wider than `outwidth` going on over several lines; strings print as they are. A Gauss program
/// writes the statement, not the call.
/// Example:
///     print "x = ";;
///     print 1.5;;
///     print " and y = ";;
///     print 2;
void FnGaussPrint(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    printItems(pv, cArg, false);
    ZuValSetInt(rtn, 0);
}

/// gauss::println(flags, ...)
/// The print statement: prints the items after the format flags as `print` does, then a newline. In Gauss
/// code `print a b;` (items separated by blanks), `print /rd a;` (flags for this statement) and `? a;` all
/// call it.
/// Example:
///     x = { 1 2, 3 4 };
///     print "x:" x;
///     print /rz 3.5 1e-10;
void FnGaussPrintln(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    printItems(pv, cArg, true);
    ZuValSetInt(rtn, 0);
}

namespace {

int boundedInt(const ZuVALUE& v, int low, int high, int otherwise) {
    double d;
    switch (v.t & ZU_TYPE_MASK) {
    case ZU_INT: d = v.w1.i; break;
    case ZU_DOUBLE: d = v.w1.d; break;
    default: return otherwise;
    }
    if (!(d >= 0)) return otherwise;
    return d < low ? low : d > high ? high : static_cast<int>(d);
}

}  // namespace

/// gauss::format(flags, width, precision)
/// The format statement: sets the format of later prints. The flags text holds "/rd" or "/ld" (decimal),
/// "/re" (exponential), "/ro" (significant digits, the default) or "/rz" (without trailing zeros), with r
/// right and l left justified, and "/m0" to "/m2" blank lines before a matrix; unknown flags are ignored.
/// width (up to 100; 16 at the start) and precision (up to 30; 8 at the start) are kept when negative or not
/// numbers.
/// Example:
///     x = { 1.5 -2, 3 4.25 };
///     format /rd 8,2;
///     print x;
///     format /re 12,3;
///     print x;
void FnGaussFormat(ZuVALUE* rtn, ZuVALUE* pv, int) {
    NumberFormat& f = Printer().format;
    if ((pv[0].t & ZU_TYPE_MASK) == ZU_STRING) applyFlags(f, stdlib::StringChars(pv[0]));
    f.width = boundedInt(pv[1], 0, kMaxWidth, f.width);
    f.precision = boundedInt(pv[2], 0, kMaxPrecision, f.precision);
    ZuValSetInt(rtn, 0);
}

/// gauss::outwidth(n)
/// The outwidth statement: the width in characters (2 to 256; 80 at the start) at which printed matrix rows
/// go on over several lines.
/// Example:
///     format /rd 6,1;
///     outwidth 20;
///     print seqa(1, 1, 8)';
void FnGaussOutwidth(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Printer().outwidth = boundedInt(pv[0], kMinOutwidth, kMaxOutwidth, Printer().outwidth);
    ZuValSetInt(rtn, 0);
}

/// gauss::hsec()
/// Hundredths of a second since midnight (local time), for timing: the difference of two readings is the time
/// between them.
/// Example:
///     t0 = hsec;
///     x = inv(eye(50));
///     print (hsec - t0 >= 0) (t0 < 8640000);
void FnGaussHsec(ZuVALUE* rtn, ZuVALUE*, int) {
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm local{};
    const std::time_t seconds = now.tv_sec;
    localtime_r(&seconds, &local);
    const double since =
        ((local.tm_hour * 60.0 + local.tm_min) * 60.0 + local.tm_sec) * 100.0 + std::floor(now.tv_usec / 10000.0);
    ZuValSetDouble(rtn, since);
}

void PrintExpressionValue(const ZuVALUE* value, bool) {
    Output out;
    printValue(out, Printer().format, *value, false);
    out.newline();
}

void ResetGaussFormat() {
    PrinterState& p = Printer();
    p.format = NumberFormat{};
    p.outwidth = kDefaultOutwidth;
}

}  // namespace zu::gauss
