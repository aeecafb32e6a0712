// The cast operators of the language and the casts the library uses.  The
// conversions themselves are those of value/cast.h; this file maps the
// operator codes onto them and exports the scalar casts.
#include "program/tokens.h"
#include "run/opr_ops.h"
#include "run/opr_support.h"
#include "value/cast.h"
#include "value/heap.h"

namespace zu::run::ops {

namespace tok = program::tok;

// Operator 173: an int or a double becomes a 1 x 1 matrix.
inline constexpr int kScalarToMatrix = 173;

void Cast(ZuVALUE* top, int code) {
    switch (code) {
    case tok::KwInt: value::CastToInt(top); return;
    case tok::KwDouble: value::CastToDouble(top); return;
    case tok::KwMatrix: value::CastToMatrix(top); return;
    case tok::KwString: value::CastToString(top); return;
    case tok::KwArray: value::CastToArray(top); return;
    case tok::IntToDouble: value::CastIntToDouble(top); return;
    case kScalarToMatrix: value::CastScalarToMatrix(top); return;
    default: return;
    }
}

void WrapInArray(ZuVALUE* top, int /*code*/) {
    auto* element = static_cast<ZuVALUE*>(value::HeapAlloc(sizeof(ZuVALUE)));
    if (element == nullptr) {
        Fail(kOutOfMemory, nullptr);
        return;
    }
    *element = *top;
    if (!value::HasFlag(top, ZU_FLAG_VAL)) {
        element->t &= ~ZU_FLAG_VAL;
        if (!value::TryMakeByValue(element)) {
            value::HeapFree(element);
            Fail(kOutOfMemory, nullptr);
            return;
        }
    }
    element->t &= ZU_TYPE_MASK | ZU_FLAG_VAL | ZU_FLAG_NUL;
    value::Clear(top);
    top->t = ZU_ARRAY | ZU_FLAG_VAL;
    top->w1.i = 1;
    top->w2.v = element;
}

}  // namespace zu::run::ops

extern "C" {

ZU_API int ZuRunCastToInt(ZuVALUE* v) { return zu::value::CastScalarToInt(v) ? 1 : 0; }
ZU_API int ZuRunCastToDouble(ZuVALUE* v) { return zu::value::CastScalarToDouble(v) ? 1 : 0; }
ZU_API int ZuRunCastToMatrix(ZuVALUE* v) { return zu::value::CastToMatrix(v) ? 1 : 0; }
ZU_API int ZuRunCastNonNullTo(ZuVALUE* v, int type) { return zu::value::CastNonNullTo(v, type) ? 1 : 0; }

}  // extern "C"
