// Printing one value by its type.
#include "stdlib/value_printer.h"

#include <cinttypes>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "stdlib/matrix_print.h"
#include "stdlib/print_settings.h"
#include "value/function_table.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::DoubleOf;
using zu::value::ItemCount;
using zu::value::Items;
using zu::value::MatrixData;
using zu::value::Rows;
using zu::value::StringLength;
using zu::value::StringText;

namespace zu::stdlib {
namespace {

// Array index paths go this many levels deep; nested objects as deep.
constexpr int kMaxLevels = 9;

std::string Hex(const void* p) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%" PRIxPTR, reinterpret_cast<std::uintptr_t>(p));
    return buffer;
}

std::string TypeSize(const ZuVALUE& v) {
    char buffer[ZU_TYPESIZE_MAX];
    return SZuGetTypeSize(buffer, const_cast<ZuVALUE*>(&v));
}

bool IsPointerFormat(const FormatPiece& f) { return f.hasPercent && f.conversion == 'p'; }

// A double rounded to the nearest int (halves up), when it has one.
bool RoundToInt(double d, int* i) {
    const double r = std::floor(d + 0.5);
    if (!(r >= INT_MIN && r <= INT_MAX)) return false;
    *i = static_cast<int>(r);
    return true;
}

class Printer {
public:
    explicit Printer(PrintSink& sink) : sink_(sink) {}
    bool Value(const ZuVALUE& v, const PrintOptions& o);
    bool String(std::string_view text, const PrintOptions& o);

private:
    void Int(int i, const FormatPiece& f);
    void Double(double d, const FormatPiece& f);
    bool Matrix(const ZuVALUE& v, const PrintOptions& o);
    bool Array(const ZuVALUE& v, const FormatPiece& f);
    void Elements(const ZuVALUE& array, const std::string& path, int level);
    bool Object(const ZuVALUE& v, const FormatPiece& f);
    void Function(const ZuVALUE& v, const FormatPiece& f);
    void Member(const ZuVALUE& v);

    PrintSink& sink_;
    int objectLevel_ = 0;
};

void Printer::Int(int i, const FormatPiece& f) {
    if (f.kind == FormatKind::Double) {
        sink_.Put(FormatDouble(f, i));
    } else if (f.kind == FormatKind::Int || f.kind == FormatKind::Character) {
        sink_.Put(FormatInt(f, i));
    } else {
        sink_.Put(FormatInt(Settings().intFormat.piece, i));
    }
}

void Printer::Double(double d, const FormatPiece& f) {
    const PrintSettings& s = Settings();
    int rounded = 0;
    if (f.kind == FormatKind::Int && RoundToInt(d, &rounded)) {
        sink_.Put(FormatInt(f, rounded));
    } else if (f.kind == FormatKind::Double) {
        sink_.Put(FormatElement(d, f, f.width));
    } else {
        sink_.Put(FormatElement(d, s.doubleFormat.piece, s.fieldWidth));
    }
}

bool Printer::Matrix(const ZuVALUE& v, const PrintOptions& o) {
    if (o.format.kind == FormatKind::Matrix && sink_.IsStream()) {
        PrintMatrixFile(sink_, MatrixData(&v), Rows(&v), Columns(&v), o.format);
        return true;
    }
    MatrixOptions m;
    m.format = o.format.kind == FormatKind::Double ? &o.format : nullptr;
    m.rowLabels = o.rowLabels;
    m.columnLabels = o.columnLabels;
    m.columnFormats = o.columnFormats;
    m.lower = o.lower;
    m.blockHeaders = o.blockHeaders;
    PrintMatrix(sink_, MatrixData(&v), Rows(&v), Columns(&v), m);
    return true;
}

bool Printer::String(std::string_view text, const PrintOptions& o) {
    if (o.format.kind == FormatKind::String) {
        sink_.Put(FormatText(o.format, text));
    } else if (o.format.kind == FormatKind::Character) {
        sink_.Put(FormatInt(o.format, text.empty() ? 0 : static_cast<unsigned char>(text.front())));
    } else {
        sink_.Put(text);
    }
    return !text.empty() && text.back() == '\n';
}

// A member or element value: an empty matrix as "<>\n", then a newline
// after anything that does not end with one of its own.
void Printer::Member(const ZuVALUE& v) {
    if (value::IsEmptyMatrix(&v) || (value::IsMatrix(&v) && MatrixData(&v) == nullptr)) {
        sink_.Put("<>\n");
        return;
    }
    const int code = value::TypeCode(&v);
    const bool nested = !value::IsNul(&v) && (code == ZU_MATRIX || code == ZU_ARRAY);
    Value(v, PrintOptions{});
    if (!nested) sink_.Put('\n');
}

void Printer::Elements(const ZuVALUE& array, const std::string& path, int level) {
    if (Items(&array) == nullptr) return;
    const char* open = value::IsAddress(&array) ? "&[" : "[";
    for (int k = 0; k < ItemCount(&array); ++k) {
        const ZuVALUE& element = Items(&array)[k];
        const std::string here = path + open + std::to_string(k) + "]";
        const bool isArray = value::TypeCode(&element) == ZU_ARRAY && !value::IsNul(&element);
        if (isArray && level + 1 < kMaxLevels) {
            Elements(element, here, level + 1);
            continue;
        }
        sink_.Put(here + " = ");
        if (isArray) {
            // Deeper levels are shown by their type and size only, which
            // also ends any cycle made through addresses.
            sink_.Put(TypeSize(element) + "\n");
        } else {
            Member(element);
        }
    }
}

bool Printer::Array(const ZuVALUE& v, const FormatPiece& f) {
    if (IsPointerFormat(f)) {
        sink_.Put("0x" + Hex(Items(&v)));
        return false;
    }
    sink_.Put('\n');
    Elements(v, "", 0);
    return true;
}

bool Printer::Object(const ZuVALUE& v, const FormatPiece& f) {
    if (IsPointerFormat(f)) {
        sink_.Put("&0x" + Hex(v.w4.nv));
        return false;
    }
    sink_.Put('\n');
    if (v.w4.nv == nullptr) return true;
    if (objectLevel_ >= kMaxLevels) {
        sink_.Put(TypeSize(v) + "\n");
        return true;
    }
    ++objectLevel_;
    const ZuNAMEDVALUE* classEntry = static_cast<const ZuNAMEDVALUE*>(v.w3.p);
    for (int k = 0; k < v.w1.i; ++k) {
        const ZuNAMEDVALUE& member = v.w4.nv[k];
        const ZuVALUE* value = &member.val;
        // A static member keeps its value in the class's own table.
        if (value::HasFlag(value, ZU_FLAG_STA) && classEntry != nullptr && classEntry->val.w4.nv != nullptr &&
            k < classEntry->val.w1.i) {
            value = &classEntry->val.w4.nv[k].val;
        }
        sink_.Put(std::string{"->"} + (member.name != nullptr ? member.name : "") + " = ");
        Member(*value);
    }
    --objectLevel_;
    return true;
}

void Printer::Function(const ZuVALUE& v, const FormatPiece& f) {
    if (v.w3.s == nullptr) {
        sink_.Put("??");
        return;
    }
    const std::string_view name = value::DeclarationName(v.w3.s);
    if (f.kind == FormatKind::String) {
        sink_.Put(FormatText(f, name));
    } else if (value::TypeCode(&v) == ZU_INTFUNC) {
        sink_.Put(std::string{name} + "(&0x" + Hex(v.w5.p) + ")");
    } else {
        sink_.Put(std::string{name} + "()");
    }
}

bool Printer::Value(const ZuVALUE& v, const PrintOptions& o) {
    if (value::IsNul(&v)) {
        sink_.Put("(null)");
        return false;
    }
    switch (value::TypeCode(&v)) {
    case ZU_INT: Int(value::IntOf(&v), o.format); return false;
    case ZU_DOUBLE: Double(DoubleOf(&v), o.format); return false;
    case ZU_MATRIX: return Matrix(v, o);
    case ZU_STRING: return String(StringChars(v), o);
    case ZU_ARRAY: return Array(v, o.format);
    case ZU_CLASS: return Object(v, o.format);
    case ZU_FUNCTION:
    case ZU_INTFUNC: Function(v, o.format); return false;
    case ZU_FILE: sink_.Put("(file)"); return false;
    case ZU_RANGE: sink_.Put(std::to_string(v.w1.i) + " : " + std::to_string(v.w2.i)); return false;
    default: sink_.Put(TypeSize(v)); return false;
    }
}

}  // namespace

std::string_view StringChars(const ZuVALUE& v) {
    if (StringText(&v) == nullptr || StringLength(&v) <= 0) return {};
    const auto length = static_cast<std::size_t>(StringLength(&v));
    const void* nul = std::memchr(StringText(&v), '\0', length);
    return {StringText(&v),
            nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - StringText(&v)) : length};
}

bool PrintValue(PrintSink& sink, const ZuVALUE& v, const PrintOptions& options) {
    return Printer(sink).Value(v, options);
}

bool PrintString(PrintSink& sink, std::string_view text, const PrintOptions& options) {
    return Printer(sink).String(text, options);
}

std::string ValueText(const ZuVALUE& v) {
    PrintSink sink = PrintSink::Collect();
    PrintValue(sink, v, PrintOptions{});
    return std::string{sink.Text()};
}

}  // namespace zu::stdlib
