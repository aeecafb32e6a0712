// Conversions between value types: the library conversions and the cast
// operators.  New content is built in a scratch record first and moved in
// only when it exists, so that a failed conversion changes nothing.
#include "value/cast.h"
#include "console/run_error_codes.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "value/heap.h"
#include "value/value.h"

namespace zu::value {
namespace {

// Run-time errors of the casts.
constexpr int kCannotTypecast = ErrorNumber(RunErrorCode::CannotTypecast);
constexpr int kCannotCastToInt = ErrorNumber(RunErrorCode::CastToInt);
constexpr int kCannotCastToDouble = ErrorNumber(RunErrorCode::CastToDouble);
constexpr int kCannotCastToMatrix = ErrorNumber(RunErrorCode::CastToMatrix);

bool Fail(int code, const ZuVALUE* v) {
    ZuRunError(code, Describe(v).c_str());
    return false;
}

// Frees what `v` owned and gives it the content of `fresh`.
void Replace(ZuVALUE* v, const ZuVALUE& fresh) {
    ZuFreeByValue(v);
    *v = fresh;
}

bool FirstElement(const ZuVALUE* v, double* d) {
    if (!IsMatrix(v) || IsEmptyMatrix(v) || v->w3.m == nullptr) return false;
    *d = v->w3.m[0][0];
    return true;
}

// Code of the first character as a signed byte; 0 for the empty string.
int FirstCharacter(const ZuVALUE* v) {
    if (v->w2.s == nullptr || v->w1.i < 1) return 0;
    return static_cast<signed char>(v->w2.s[0]);
}

bool SetOneByOne(ZuVALUE* v, double x) {
    ZuVALUE fresh{};
    if (!TrySetMatrix(&fresh, 1, 1)) return false;
    fresh.w3.m[0][0] = x;
    Replace(v, fresh);
    return true;
}

// The row a, a+1, ..., b of a range; 0 x 0 when b < a or b < 0.
bool SetRangeRow(ZuVALUE* v) {
    const std::int64_t a = v->w1.i, b = v->w2.i;
    const std::int64_t n = b < a || b < 0 ? 0 : b - a + 1;
    if (n > INT_MAX) return false;
    ZuVALUE fresh{};
    if (!TrySetMatrix(&fresh, n == 0 ? 0 : 1, static_cast<int>(n))) return false;
    for (std::int64_t k = 0; k < n; ++k) fresh.w3.m[0][k] = static_cast<double>(a + k);
    Replace(v, fresh);
    return true;
}

// A string of the bytes of a number, without its trailing zero bytes.
bool SetBytes(ZuVALUE* v, const void* bytes, int n) {
    const auto* b = static_cast<const unsigned char*>(bytes);
    while (n > 0 && b[n - 1] == 0) --n;
    ZuVALUE fresh{};
    if (!TrySetString(&fresh, static_cast<const char*>(bytes), n)) {
        ZuFreeByValue(&fresh);
        return false;
    }
    Replace(v, fresh);
    return true;
}

// The first up to 8 characters of a string as the bytes of a double.
double StringBytesAsDouble(const ZuVALUE* v) {
    unsigned char bytes[sizeof(double)] = {};
    if (v->w2.s != nullptr && v->w1.i > 0) {
        std::memcpy(bytes, v->w2.s, std::min<std::size_t>(sizeof bytes, static_cast<std::size_t>(v->w1.i)));
    }
    double d = 0.0;
    std::memcpy(&d, bytes, sizeof d);
    return d;
}

bool ToMatrixForLibrary(ZuVALUE* v) {
    bool made = false;
    switch (TypeCode(v)) {
    case ZU_INT: made = SetOneByOne(v, v->w1.i); break;
    case ZU_DOUBLE: made = SetOneByOne(v, v->w1.d); break;
    case ZU_RANGE: made = SetRangeRow(v); break;
    default: return false;
    }
    if (!made) RaiseOutOfMemory();
    return made;
}

// An owned array of one element that takes over `v` (a by-value copy of it
// when `v` does not own its data).
bool WrapInArray(ZuVALUE* v) {
    auto* element = static_cast<ZuVALUE*>(HeapAlloc(sizeof(ZuVALUE)));
    if (element == nullptr) return false;
    *element = *v;
    if (!HasFlag(v, ZU_FLAG_VAL) && !TryMakeByValue(element)) {
        HeapFree(element);
        return false;
    }
    element->t &= ~ZU_FLAG_CON;
    Clear(v);
    v->t = ZU_ARRAY | ZU_FLAG_VAL;
    v->w1.i = 1;
    v->w2.v = element;
    return true;
}

}  // namespace

bool DoubleToInt(double d, int* i) {
    if (std::isnan(d) || d <= static_cast<double>(INT_MIN) - 1.0 || d >= static_cast<double>(INT_MAX) + 1.0) {
        return false;
    }
    *i = static_cast<int>(d);
    return true;
}

bool ScalarAsDouble(const ZuVALUE* v, double* d) {
    if (v == nullptr || IsNul(v)) return false;
    switch (TypeCode(v)) {
    case ZU_INT: *d = v->w1.i; return true;
    case ZU_DOUBLE: *d = v->w1.d; return true;
    case ZU_MATRIX: return v->w1.i == 1 && v->w2.i == 1 && FirstElement(v, d);
    default: return false;
    }
}

bool CastNonNullTo(ZuVALUE* v, int type) {
    if (v == nullptr || IsNul(v) || IsEmptyMatrix(v)) return false;
    const int code = TypeCode(v);
    // A library argument never reinterprets text as a number or a number
    // as text: acos("abc") is a type error, not the arc cosine of bytes.
    // The cast operators of the language do convert (CastToInt and below).
    const bool text = code == ZU_STRING;
    double d = 0.0;
    int i = 0;
    switch (type) {
    case ZU_INT:
        if (code == ZU_INT) return true;
        if (text || !ScalarAsDouble(v, &d) || !DoubleToInt(d, &i)) return false;
        ZuValSetInt(v, i);
        return true;
    case ZU_DOUBLE:
        if (code == ZU_DOUBLE) return true;
        if (text || !ScalarAsDouble(v, &d)) return false;
        ZuValSetDouble(v, d);
        return true;
    case ZU_MATRIX: return code == ZU_MATRIX || (!text && ToMatrixForLibrary(v));
    case ZU_STRING: return text;
    case ZU_ARRAY: return code == ZU_ARRAY && v->w1.i >= 1;
    case ZU_FUNCTION:
    case ZU_INTFUNC: return code == ZU_FUNCTION || code == ZU_INTFUNC;
    case ZU_FILE: return code == ZU_FILE && v->w1.p != nullptr;
    default: return code == type;
    }
}

// ---------------------------------------------------------------------------
// Cast operators
// ---------------------------------------------------------------------------

bool CastToInt(ZuVALUE* v) {
    if (IsNul(v)) return Fail(kCannotCastToInt, v);
    double d = 0.0;
    int i = 0;
    switch (TypeCode(v)) {
    case ZU_INT: return true;
    case ZU_STRING: ZuValSetInt(v, FirstCharacter(v)); return true;
    case ZU_DOUBLE: d = v->w1.d; break;
    case ZU_MATRIX:
        if (!FirstElement(v, &d)) return Fail(kCannotCastToInt, v);
        break;
    default: return Fail(kCannotCastToInt, v);
    }
    if (!DoubleToInt(d, &i)) return Fail(kCannotCastToInt, v);
    ZuValSetInt(v, i);
    return true;
}

bool CastToDouble(ZuVALUE* v) {
    if (IsNul(v)) return Fail(kCannotCastToDouble, v);
    double d = 0.0;
    switch (TypeCode(v)) {
    case ZU_DOUBLE: return true;
    case ZU_INT: d = v->w1.i; break;
    case ZU_STRING: d = StringBytesAsDouble(v); break;
    case ZU_MATRIX:
        if (!FirstElement(v, &d)) return Fail(kCannotCastToDouble, v);
        break;
    default: return Fail(kCannotCastToDouble, v);
    }
    ZuValSetDouble(v, d);
    return true;
}

bool CastToMatrix(ZuVALUE* v) {
    if (IsNul(v)) return Fail(kCannotCastToMatrix, v);
    bool made = false;
    switch (TypeCode(v)) {
    case ZU_MATRIX: return true;
    case ZU_INT: made = SetOneByOne(v, v->w1.i); break;
    case ZU_DOUBLE: made = SetOneByOne(v, v->w1.d); break;
    case ZU_STRING: made = SetOneByOne(v, FirstCharacter(v)); break;
    case ZU_RANGE: made = SetRangeRow(v); break;
    default: return Fail(kCannotCastToMatrix, v);
    }
    if (!made) RaiseOutOfMemory();
    return made;
}

bool CastToString(ZuVALUE* v) {
    if (IsNul(v)) return Fail(kCannotTypecast, v);
    double d = 0.0;
    bool made = false;
    switch (TypeCode(v)) {
    case ZU_STRING: return true;
    case ZU_INT: {
        const int i = v->w1.i;
        made = SetBytes(v, &i, sizeof i);
        break;
    }
    case ZU_DOUBLE:
        d = v->w1.d;
        made = SetBytes(v, &d, sizeof d);
        break;
    case ZU_MATRIX:
        if (!FirstElement(v, &d)) return Fail(kCannotTypecast, v);
        made = SetBytes(v, &d, sizeof d);
        break;
    default: return Fail(kCannotTypecast, v);
    }
    if (!made) RaiseOutOfMemory();
    return made;
}

bool CastToArray(ZuVALUE* v) {
    if (TypeCode(v) == ZU_ARRAY && !HasFlag(v, ZU_FLAG_IDX)) return true;
    const bool made = TypeCode(v) == ZU_ARRAY ? TryMakeIndexArrayByValue(v) : WrapInArray(v);
    if (!made) RaiseOutOfMemory();
    return made;
}

bool CastIntToDouble(ZuVALUE* v) {
    if (IsNul(v)) return true;
    if (TypeCode(v) == ZU_INT) ZuValSetDouble(v, v->w1.i);
    if (TypeCode(v) == ZU_STRING) return CastToDouble(v);
    return true;
}

bool CastScalarToMatrix(ZuVALUE* v) {
    const int code = TypeCode(v);
    if (IsNul(v) || (code != ZU_INT && code != ZU_DOUBLE)) return true;
    return CastToMatrix(v);
}

bool CastScalarToInt(ZuVALUE* v) {
    double d = 0.0;
    int i = 0;
    if (TypeCode(v) == ZU_INT && !IsNul(v)) return true;
    if (!ScalarAsDouble(v, &d) || !DoubleToInt(d, &i)) return Fail(kCannotCastToInt, v);
    ZuValSetInt(v, i);
    return true;
}

bool CastScalarToDouble(ZuVALUE* v) {
    double d = 0.0;
    if (TypeCode(v) == ZU_DOUBLE && !IsNul(v)) return true;
    if (!ScalarAsDouble(v, &d)) return Fail(kCannotCastToDouble, v);
    ZuValSetDouble(v, d);
    return true;
}

std::string Describe(const ZuVALUE* v) {
    char buffer[ZU_TYPESIZE_MAX];
    return SZuGetTypeSize(buffer, const_cast<ZuVALUE*>(v));
}

}  // namespace zu::value
