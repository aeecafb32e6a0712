// scan, fscan and sscan: the walk over formats and addresses.
//
// All arguments are taken apart before anything is read: the formats are
// copied, the matrix sizes converted and every target checked.  A bad
// argument is therefore reported before input is consumed, and a target
// freed by one item cannot leave a later argument pointing at freed text.
/// @family Printing and formats
#include <optional>
#include <string>
#include <vector>

#include "stdlib/files.h"
#include "stdlib/routines.h"
#include "stdlib/scan_reader.h"
#include "stdlib/value_printer.h"
#include "value/value.h"

using zu::value::IntOf;
using zu::value::Items;

namespace zu::stdlib {
namespace {

constexpr int kAddressType = ZU_ARRAY | ZU_FLAG_ADR;

bool IsText(const ZuVALUE& v) { return value::TypeCode(&v) == ZU_STRING && !value::IsNul(&v); }
bool IsTargetAddress(const ZuVALUE& v) { return value::IsAddress(&v) && Items(&v) != nullptr; }

struct PlannedItem {
    ScanFormat format;
    MatrixSize size;
    ZuVALUE* target = nullptr;  // the variable that receives the value, or none
};

// A value without a format before it is read as a double.
ScanFormat DoubleFormat() {
    ScanFormat f;
    f.conversion = 'f';
    return f;
}

// The "#" size: the two arguments at `i` as ints.
bool TakeSize(ZuVALUE* pv, int i, MatrixSize* size) {
    if (ZuLibCheckType(ZU_INT, pv, i, i + 1) == 0) return false;
    if (IntOf(&pv[i]) < 0) return ZuLibArgError(i) != 0;
    if (IntOf(&pv[i + 1]) < 0) return ZuLibArgError(i + 1) != 0;
    *size = {IntOf(&pv[i]), IntOf(&pv[i + 1])};
    return true;
}

// The items of arguments first .. cArg-1; nothing when an argument was
// refused (after its report).
std::optional<std::vector<PlannedItem>> PlanItems(ZuVALUE* pv, int first, int cArg) {
    std::vector<PlannedItem> items;
    for (int i = first; i < cArg;) {
        PlannedItem item;
        item.format = IsText(pv[i]) ? ParseScanFormat(StringChars(pv[i++])) : DoubleFormat();
        if (item.format.sized && i + 1 < cArg) {
            if (!TakeSize(pv, i, &item.size)) return std::nullopt;
            i += 2;
        }
        const bool wantsTarget = item.format.conversion != 0 || (i < cArg && value::IsAddress(&pv[i]));
        if (!item.format.discard && wantsTarget && i < cArg) {
            if (!IsTargetAddress(pv[i])) {
                ZuLibArgTypeError(i, kAddressType, pv[i].t);
                return std::nullopt;
            }
            item.target = Items(&pv[i++]);
        }
        items.push_back(std::move(item));
    }
    return items;
}

// Reads the items in turn: the number of values read, or -1 when the input
// ended before the first one.
int ReadItems(ScanSource& source, const std::vector<PlannedItem>& items) {
    int count = 0;
    for (const PlannedItem& item : items) {
        if (item.target != nullptr) ZuFreeByValue(item.target);
        const ReadResult result = ReadItem(source, item.format, item.target, item.size);
        if (result.status == ReadStatus::End) return count > 0 ? count : -1;
        count += result.values;
    }
    return count;
}

void Scan(ZuVALUE* rtn, ZuVALUE* pv, int first, int cArg, ScanSource source) {
    const auto items = PlanItems(pv, first, cArg);
    if (!items) return;
    ZuValSetInt(rtn, ReadItems(source, *items));
}

// The stream of fscan's file argument; a copy of a file value that has been
// closed has none.
std::FILE* FileArgument(ZuVALUE* pv) {
    if (value::TypeCode(pv) != ZU_FILE || value::IsNul(pv)) {
        ZuLibArgTypeError(0, ZU_FILE, pv->t);
        return nullptr;
    }
    std::FILE* stream = OpenFileStream(pv);
    if (stream == nullptr) ZuLibArgError(0);
    return stream;
}

// sscan's source: a string, or the address of a string variable, which is
// returned so that it can take the text left over.
bool SourceArgument(ZuVALUE* pv, std::string* text, ZuVALUE** variable) {
    ZuVALUE* source = value::IsAddress(pv) ? Items(pv) : pv;
    if (source == nullptr || !IsText(*source)) {
        ZuLibArgTypeError(0, ZU_STRING, source == nullptr ? pv->t : source->t);
        return false;
    }
    *text = std::string(StringChars(*source));
    *variable = source != pv ? source : nullptr;
    return true;
}

}  // namespace

/// scan(a, ...)
/// Reads values from standard input into variables. The arguments alternate between format
/// strings, each with one conversion, and the addresses of the variables that receive the
/// values: `%d` an int, `%f`, `%g` or `%e` a double, `%s` a word, `%z` the rest of the line,
/// `%c` a character code, `%m` a matrix in the matrix-file form (`%#m` with its rows and
/// columns as the two int arguments after the format); `%*` reads and discards. Text in front
/// of the conversion is shown as a prompt. Returns the number of values read, or -1 when the
/// input ended before the first one.
/// Example:
///     decl n, x;
///     println(scan("%d", &n, "%f", &x));
void FnScan(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { Scan(rtn, pv, 0, cArg, ScanSource::StandardInput()); }

/// fscan(file, a, ...)
/// As `scan`, reading from the open `file`; text in front of a conversion is matched against
/// the input. Returns the number of values read, or -1 at the end of the file.
/// Example:
///     decl file = fopen("fscan.txt", "w");
///     fprintln(file, "3 2.5 word");
///     fprintln(file, "a whole line");
///     fclose(file);
///     decl n, x, word, line;
///     file = fopen("fscan.txt");
///     println(fscan(file, "%d", &n, "%f", &x, "%s", &word), ": ", n, " ", x, " ", word);
///     fscan(file, "%z", &line);
///     fscan(file, "%z", &line);
///     println("[", line, "]");
///     println(fscan(file, "%z", &line));
///     fclose(file);
void FnFscan(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    std::FILE* stream = FileArgument(pv);
    if (stream == nullptr) return;
    Scan(rtn, pv, 1, cArg, ScanSource::Stream(stream));
}

/// sscan(source, a, ...)
/// As `scan`, reading from the string `source`. When `source` is the address of a string
/// variable, that variable afterwards holds the text not yet read. Returns the number of
/// values read, or -1 when the string was empty or used up.
/// Example:
///     decl text = "12 0.5 rest of it", n, x;
///     println(sscan(&text, "%d", &n, "%f", &x), ": ", n + x, " [", text, "]");
void FnSscan(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    // The text is copied: a target may be the very variable it came from.
    std::string text;
    ZuVALUE* variable = nullptr;
    if (!SourceArgument(pv, &text, &variable)) return;
    const auto items = PlanItems(pv, 1, cArg);
    if (!items) return;
    ScanSource source = ScanSource::Text(text);
    const int count = ReadItems(source, *items);
    if (variable != nullptr) {
        const std::string_view rest = source.Remaining();
        if (!value::TrySetString(variable, rest.data(), static_cast<int>(rest.size()))) value::RaiseOutOfMemory();
    }
    ZuValSetInt(rtn, count);
}

}  // namespace zu::stdlib
