// Value accessors, setters and type descriptions.
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "value/cast.h"
#include "value/value.h"

using zu::value::CastNonNullTo;
using zu::value::IsNul;
using zu::value::TypeCode;

namespace {

constexpr std::array<std::string_view, 13> kTypeNames = {
    "??",    "int",    "double",   "matrix", "string", "array", "function",
    "class", "vector", "int.func", "range",  "file",   "??",
};

// The two ints that a file value's word 3 points to.
const int* FileShape(const ZuVALUE* v) { return static_cast<const int*>(v->w3.p); }

int ClampToInt(std::int64_t n) { return n > INT_MAX ? INT_MAX : static_cast<int>(n); }

// A matrix value after conversion, or null.
ZuVALUE* AsMatrix(ZuVALUE* v) {
    if (v == nullptr || IsNul(v)) return nullptr;
    if (TypeCode(v) == ZU_MATRIX || CastNonNullTo(v, ZU_MATRIX)) return v;
    return nullptr;
}

bool IsText(const ZuVALUE* v) { return v != nullptr && TypeCode(v) == ZU_STRING && !IsNul(v); }
bool IsList(const ZuVALUE* v) { return v != nullptr && TypeCode(v) == ZU_ARRAY && !IsNul(v); }

// Rows or columns of a matrix or of a file's matrix; the length of a
// string or an array; `scalar` for an int or a double.
int Extent(const ZuVALUE* v, bool columns, int scalar, int text) {
    if (v == nullptr || IsNul(v)) return 0;
    switch (TypeCode(v)) {
    case ZU_INT:
    case ZU_DOUBLE: return scalar;
    case ZU_MATRIX: return columns ? v->w2.i : v->w1.i;
    case ZU_STRING:
    case ZU_ARRAY: return text < 0 ? v->w1.i : text;
    case ZU_FILE: return FileShape(v) == nullptr ? 0 : FileShape(v)[columns ? 1 : 0];
    default: return 0;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Scalars and matrices
// ---------------------------------------------------------------------------

extern "C" int ZuValGetInt(ZuVALUE* v, int* i) {
    if (v == nullptr || IsNul(v)) return 0;
    if (TypeCode(v) != ZU_INT && !CastNonNullTo(v, ZU_INT)) return 0;
    if (i != nullptr) *i = v->w1.i;
    return 1;
}

extern "C" int ZuValGetDouble(ZuVALUE* v, double* d) {
    if (v == nullptr || IsNul(v)) return 0;
    if (TypeCode(v) != ZU_DOUBLE && !CastNonNullTo(v, ZU_DOUBLE)) return 0;
    if (d != nullptr) *d = v->w1.d;
    return 1;
}

extern "C" double** ZuValGetMat(ZuVALUE* v) {
    ZuVALUE* m = AsMatrix(v);
    return m == nullptr ? nullptr : m->w3.m;
}

extern "C" int ZuValGetMatr(ZuVALUE* v) {
    ZuVALUE* m = AsMatrix(v);
    return m == nullptr ? 0 : m->w1.i;
}

extern "C" int ZuValGetMatc(ZuVALUE* v) {
    ZuVALUE* m = AsMatrix(v);
    return m == nullptr ? 0 : m->w2.i;
}

extern "C" int ZuValGetMatrc(ZuVALUE* v) {
    ZuVALUE* m = AsMatrix(v);
    return m == nullptr ? 0 : ClampToInt(std::int64_t{m->w1.i} * m->w2.i);
}

// ---------------------------------------------------------------------------
// Strings and arrays (never converted)
// ---------------------------------------------------------------------------

extern "C" char* ZuValGetString(ZuVALUE* v) { return IsText(v) ? v->w2.s : nullptr; }

extern "C" int ZuValGetStringLen(ZuVALUE* v) { return IsText(v) ? v->w1.i : 0; }

extern "C" int ZuValGetStringCopy(ZuVALUE* v, char* buffer, int size) {
    if (!IsText(v) || buffer == nullptr || size < 1) return 0;
    int n = v->w2.s == nullptr || v->w1.i < 0 ? 0 : v->w1.i;
    if (n > size - 1) n = size - 1;
    if (n > 0) std::memcpy(buffer, v->w2.s, static_cast<std::size_t>(n));
    buffer[n] = '\0';
    return 1;
}

extern "C" ZuVALUE* ZuValGetArray(ZuVALUE* v) { return IsList(v) ? v->w2.v : nullptr; }

extern "C" int ZuValGetArrayLen(ZuVALUE* v) { return IsList(v) ? v->w1.i : 0; }

extern "C" ZuVALUE* ZuValGetArrayVal(ZuVALUE* v, int i) {
    if (!IsList(v) || v->w2.v == nullptr || i < 0 || i >= v->w1.i) return nullptr;
    return v->w2.v + i;
}

extern "C" ZuVALUE* ZuValGetVal(ZuVALUE* v, int i) { return v == nullptr ? nullptr : v + i; }

// ---------------------------------------------------------------------------
// Types and sizes
// ---------------------------------------------------------------------------

extern "C" int ZuValType(ZuVALUE* v) { return v == nullptr ? 0 : TypeCode(v); }

extern "C" int ZuValHasType(ZuVALUE* v, int type) { return v != nullptr && TypeCode(v) == type ? 1 : 0; }

extern "C" int ZuValHasFlag(ZuVALUE* v, int flags) { return v != nullptr && (v->t & flags) != 0 ? 1 : 0; }

extern "C" int ZuValRows(ZuVALUE* v) { return Extent(v, false, 0, -1); }

extern "C" int ZuValColumns(ZuVALUE* v) { return Extent(v, true, 0, -1); }

extern "C" int ZuValSizer(ZuVALUE* v) { return Extent(v, false, 1, 1); }

extern "C" int ZuValSizec(ZuVALUE* v) { return Extent(v, true, 1, -1); }

extern "C" int ZuValSizerc(ZuVALUE* v) {
    if (v == nullptr || IsNul(v)) return 0;
    switch (TypeCode(v)) {
    case ZU_INT:
    case ZU_DOUBLE: return 1;
    case ZU_MATRIX:
    case ZU_FILE: return ClampToInt(std::int64_t{ZuValRows(v)} * ZuValColumns(v));
    case ZU_STRING:
    case ZU_ARRAY: return v->w1.i;
    default: return 0;
    }
}

extern "C" const char* SZuGetTypeName(int typeword) {
    const int code = typeword & ZU_TYPE_MASK;
    if (code == ZU_ARRAY && (typeword & ZU_FLAG_ADR) != 0) return "address";
    return static_cast<std::size_t>(code) < kTypeNames.size() ? kTypeNames[static_cast<std::size_t>(code)].data()
                                                              : "??";
}

extern "C" char* SZuGetTypeSize(char* buffer, ZuVALUE* v) {
    if (buffer == nullptr) return nullptr;
    buffer[0] = '\0';
    if (v == nullptr) return buffer;
    if (IsNul(v)) {
        std::snprintf(buffer, ZU_TYPESIZE_MAX, "(null)");
        return buffer;
    }
    const char* name = SZuGetTypeName(v->t);
    switch (TypeCode(v)) {
    case ZU_STRING:
    case ZU_ARRAY: std::snprintf(buffer, ZU_TYPESIZE_MAX, "%s[%d]", name, v->w1.i); break;
    case ZU_MATRIX: std::snprintf(buffer, ZU_TYPESIZE_MAX, "%s[%d][%d]", name, v->w1.i, v->w2.i); break;
    case ZU_FILE:
        if (ZuValRows(v) != 0 || ZuValColumns(v) != 0) {
            std::snprintf(buffer, ZU_TYPESIZE_MAX, "%s[%d][%d]", name, ZuValRows(v), ZuValColumns(v));
            break;
        }
        [[fallthrough]];
    default: std::snprintf(buffer, ZU_TYPESIZE_MAX, "%s", name); break;
    }
    return buffer;
}

// ---------------------------------------------------------------------------
// Setters
// ---------------------------------------------------------------------------

extern "C" void ZuValSetInt(ZuVALUE* v, int i) {
    if (v == nullptr) return;
    ZuFreeByValue(v);
    v->t = ZU_INT;
    v->w1.i = i;
}

extern "C" void ZuValSetDouble(ZuVALUE* v, double d) {
    if (v == nullptr) return;
    ZuFreeByValue(v);
    v->t = ZU_DOUBLE;
    v->w1.d = d;
}

extern "C" void ZuValSetString(ZuVALUE* v, const char* s) {
    if (v == nullptr) return;
    const std::size_t n = s == nullptr ? 0 : std::strlen(s);
    if (n > INT_MAX - 1 || !zu::value::TrySetString(v, s, static_cast<int>(n))) {
        (void)zu::value::TrySetString(v, nullptr, 0);
    }
}

extern "C" void ZuValSetNull(ZuVALUE* v) {
    if (v == nullptr) return;
    v->t = ZU_INT | ZU_FLAG_NUL;
    v->w1.i = 0;
}

extern "C" void ZuValSetZero(ZuVALUE* v) {
    if (v == nullptr) return;
    v->t = ZU_INT;
    v->w1.i = 0;
}
