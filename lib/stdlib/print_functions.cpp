// The print family: print, println, eprint, fprint, fprintln, sprint, and
// the settings functions format, sprintbuffer and zuprintlevel.
/// @family Printing and formats
#include <cstddef>
#include <string_view>

#include "stdlib/files.h"
#include "stdlib/print_settings.h"
#include "stdlib/print_sink.h"
#include "stdlib/routines.h"
#include "stdlib/value_printer.h"
#include "value/value.h"

namespace zu::stdlib {
namespace {

bool IsList(const ZuVALUE& v) { return value::TypeCode(&v) == ZU_ARRAY && !value::IsNul(&v) && !value::IsAddress(&v); }

// A string that begins with '%' and a character other than '%' sets up
// the next printed value instead of being printed.
bool IsOption(const ZuVALUE& v) {
    if (value::TypeCode(&v) != ZU_STRING || value::IsNul(&v)) return false;
    const std::string_view text = StringChars(v);
    return text.size() >= 2 && text[0] == '%' && text[1] != '%';
}

// Walks the arguments: options are collected, every other argument is
// printed with them and they are cleared.  Returns whether the last value
// printed ended with a newline.  An option with nothing after it is left
// unused.
bool PrintArguments(PrintSink& sink, ZuVALUE* args, int count) {
    PrintOptions options;
    bool newline = false;
    for (int i = 0; i < count; ++i) {
        const ZuVALUE& arg = args[i];
        if (IsOption(arg)) {
            const std::string_view text = StringChars(arg);
            const bool listFollows = i + 1 < count && IsList(args[i + 1]);
            if (text == "%r" && listFollows) {
                options.rowLabels = &args[++i];
            } else if (text == "%c" && listFollows) {
                options.columnLabels = &args[++i];
            } else if (text == "%cf" && listFollows) {
                options.columnFormats = &args[++i];
            } else if (text == "%lwr") {
                options.lower = true;
            } else {
                options.format = ClassifyFormat(text);
            }
            continue;
        }
        const bool escaped =
            value::TypeCode(&arg) == ZU_STRING && !value::IsNul(&arg) && StringChars(arg).starts_with("%%");
        newline = escaped ? PrintString(sink, StringChars(arg).substr(1), options) : PrintValue(sink, arg, options);
        options = PrintOptions{};
    }
    return newline;
}

bool IsMatrixValue(const ZuVALUE& v) { return value::TypeCode(&v) == ZU_MATRIX && !value::IsNul(&v); }

// The stream of a file argument; reports a value that is not an open file.
std::FILE* FileArgument(ZuVALUE* pv) {
    if (value::TypeCode(pv) != ZU_FILE || value::IsNul(pv)) {
        ZuLibArgTypeError(0, ZU_FILE, value::TypeCode(pv));
        return nullptr;
    }
    // A copy of a file value that has been closed has no stream any more.
    std::FILE* stream = OpenFileStream(pv);
    if (stream == nullptr) ZuLibArgError(0);
    return stream;
}

void ConsolePrint(ZuVALUE* rtn, ZuVALUE* pv, int cArg, bool endLine) {
    PrintSink sink = PrintSink::Console();
    bool newline = PrintArguments(sink, pv, cArg);
    if (endLine) {
        if (cArg < 1 || (!IsMatrixValue(pv[cArg - 1]) && !IsList(pv[cArg - 1]))) sink.Put('\n');
        newline = true;
    }
    sink.Flush();
    Settings().didNewline = newline;
    ZuValSetInt(rtn, cArg);
}

void FilePrint(ZuVALUE* rtn, ZuVALUE* pv, int cArg, bool endLine) {
    if (cArg < 1) {
        ZuLibArgError(0);
        return;
    }
    std::FILE* stream = FileArgument(pv);
    if (stream == nullptr) return;
    PrintSink sink = PrintSink::File(stream);
    PrintArguments(sink, pv + 1, cArg - 1);
    if (endLine && !IsMatrixValue(pv[cArg - 1])) sink.Put('\n');
    sink.Flush();
    ZuValSetInt(rtn, cArg);
}

bool IntArgument(ZuVALUE* pv, int* n) {
    if (ZuLibCheckType(ZU_INT, pv, 0, 0) == 0) return false;
    *n = value::IntOf(pv);
    return true;
}

}  // namespace

/// print(a, ...)
/// Prints the arguments to the console in order and returns the number of arguments. A
/// string that begins with `%` and a character other than `%` is not printed but sets up the
/// next value: "%r" followed by an array gives the row labels of the next matrix, "%c" its
/// column labels, "%cf" its column formats, "%lwr" prints only its lower triangle, and any
/// other such string is the format of the next value (`%d`, `%8.3f`, `%s`...). A string that
/// begins with "%%" prints from its second character. A matrix is laid out in columns that
/// fit the line width, starting on a new line; a format from the program is checked and its
/// one conversion used, the rest printed as text.
/// Example:
///     print("x = ", 1.5, " n = ", 3, "\n");
///     print("%6.2f", M_PI, "|", "%5d", 42, "\n");
///     print("%r", {"a", "b"}, "%c", {"one", "two"}, <1,2;3,4>);
void FnPrint(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { ConsolePrint(rtn, pv, cArg, false); }

/// println(a, ...)
/// As `print`, then a newline unless the last argument is a matrix or an array (those
/// already end with one). Returns the number of arguments.
/// Example:
///     println("sum: ", 1 + 2);
///     println(<1,2>);
///     println("done");
void FnPrintln(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { ConsolePrint(rtn, pv, cArg, true); }

/// eprint(a, ...)
/// As `print`, to standard error; returns the number of arguments.
/// Example:
///     eprint("this goes to standard error\n");
///     println("this to standard output");
void FnEprint(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    PrintSink sink = PrintSink::StandardError();
    PrintArguments(sink, pv, cArg);
    sink.Flush();
    ZuValSetInt(rtn, cArg);
}

/// fprint(file, a, ...)
/// As `print`, to the open `file` (from `fopen`); a value that is not an open file is an
/// argument error. Returns the number of arguments.
/// Example:
///     decl file = fopen("fprint.txt", "w");
///     fprint(file, "x = ", 2.5, "\n");
///     fclose(file);
///     file = fopen("fprint.txt");
///     decl line;
///     fscan(file, "%z", &line);
///     println(line);
///     fclose(file);
void FnFprint(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { FilePrint(rtn, pv, cArg, false); }

/// fprintln(file, a, ...)
/// As `fprint`, then a newline unless the last argument is a matrix.
/// Example:
///     decl file = fopen("fprintln.txt", "w");
///     fprintln(file, "first line");
///     fclose(file);
///     file = fopen("fprintln.txt");
///     decl line;
///     fscan(file, "%z", &line);
///     println(line);
///     fclose(file);
void FnFprintln(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { FilePrint(rtn, pv, cArg, true); }

/// sprint(a, ...)
/// Prints the arguments as `print` does into a string and returns that string. The text is
/// limited by the string buffer (2048 characters unless `sprintbuffer` set another size):
/// longer text is cut, with the run message "sprint(): string buffer length exceeded".
/// Example:
///     decl s = sprint("%5.2f", M_PI, " and ", 7);
///     println("[", s, "] has ", sizeof(s), " characters");
void FnSprint(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    char* buffer = PrintBuffer();
    if (buffer == nullptr) {
        PopErrorMessage("sprint/scan: no string buffer");
        (void)value::TrySetString(rtn, nullptr, 0);
        return;
    }
    // The text must stay below the buffer size.
    PrintSink sink = PrintSink::String(buffer, Settings().sprintBufferSize - 1);
    PrintArguments(sink, pv, cArg);
    if (sink.Overflowed()) PopErrorMessage("sprint(): string buffer length exceeded");
    const std::string_view text = sink.Text();
    if (!value::TrySetString(rtn, text.data(), static_cast<int>(text.size()))) value::RaiseOutOfMemory();
}

/// sprintbuffer(n)
/// Sets the size of the string buffer of `sprint` (and `sscan`) to `n` characters, clearing it.
/// A size below 1 or beyond the limit is an argument error. Returns the number of arguments.
/// Example:
///     sprintbuffer(10);
///     println(sprint("abcdefghijklmnop"));
void FnSprintbuffer(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    int size = 0;
    if (!IntArgument(pv, &size)) return;
    if (size < 1 || size > kMaxSprintBuffer) {
        ZuLibArgError(0);
        return;
    }
    ResizePrintBuffer(size);
    if (PrintBuffer() == nullptr) PopErrorMessage("sprint/scan: no string buffer");
    ZuValSetInt(rtn, cArg);
}

/// format(f)
/// With a string: a double format becomes the default format of doubles and of matrix
/// elements, and its width the default field width; an int format becomes the default int
/// format; other formats change nothing. With an int: the line width of matrix printing.
/// Returns the number of arguments.
/// Example:
///     format("%8.3f");
///     print(<1,2;3,4>);
///     println(M_PI);
void FnFormat(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (value::TypeCode(pv) == ZU_STRING && !value::IsNul(pv)) {
        SetDefaultFormat(StringChars(*pv));
    } else {
        int width = 0;
        if (!IntArgument(pv, &width)) return;
        Settings().lineWidth = width;
    }
    ZuValSetInt(rtn, cArg);
}

/// zuprintlevel(n)
/// Sets the print level: 1 or more prints as usual, 0 silences the program's output on the
/// console (messages still appear), -1 silences messages too. The level 2 cannot be changed
/// this way. Returns the number of arguments.
/// Example:
///     zuprintlevel(0);
///     println("not shown");
///     zuprintlevel(1);
///     println("shown");
void FnZuprintlevel(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    int level = 0;
    if (!IntArgument(pv, &level)) return;
    if (ZuGetPrintlevel() != 2) ZuSetPrintlevel(level);
    ZuValSetInt(rtn, cArg);
}

}  // namespace zu::stdlib

using zu::stdlib::Settings;

extern "C" void ZuStdPrintVal(ZuVALUE* v, int flags) {
    if (v == nullptr) return;
    zu::stdlib::PrintSink sink = zu::stdlib::PrintSink::Console();
    zu::stdlib::PrintOptions options;
    options.blockHeaders = flags != 0;
    Settings().didNewline = zu::stdlib::PrintValue(sink, *v, options);
    sink.Flush();
}

extern "C" int DidNewline(void) { return Settings().didNewline ? 1 : 0; }

extern "C" void SetDidNewline(int flag) { Settings().didNewline = flag != 0; }
