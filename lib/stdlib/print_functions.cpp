// The print family: print, println, eprint, fprint, fprintln, sprint, and
// the settings functions format, sprintbuffer and zuprintlevel.
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

void FnPrint(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { ConsolePrint(rtn, pv, cArg, false); }

void FnPrintln(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { ConsolePrint(rtn, pv, cArg, true); }

void FnEprint(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    PrintSink sink = PrintSink::StandardError();
    PrintArguments(sink, pv, cArg);
    sink.Flush();
    ZuValSetInt(rtn, cArg);
}

void FnFprint(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { FilePrint(rtn, pv, cArg, false); }

void FnFprintln(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { FilePrint(rtn, pv, cArg, true); }

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
