// Ranges: ":" makes a range value of two scalar ends; "[]" pushes the
// range that selects everything.
#include <initializer_list>
#include <string>

#include "run/opr_ops.h"
#include "run/opr_support.h"
#include "value/cast.h"

namespace zu::run::ops {
namespace {

// The last index -256 means "to the end".
constexpr int kToTheEnd = -256;

// An end of a range: an int, or a double or 1 x 1 matrix truncated.
bool RangeEnd(const ZuVALUE* v, int* end) {
    const Kind kind = KindOf(v);
    if (kind == kInt) {
        *end = v->w1.i;
        return true;
    }
    return (kind == kDouble || kind == kUnit) && value::DoubleToInt(ScalarOf(v), end);
}

void SetRange(ZuVALUE* v, int first, int last) {
    ZuFreeByValue(v);
    value::Clear(v);
    v->t = ZU_RANGE;
    v->w1.i = first;
    v->w2.i = last;
}

}  // namespace

void MakeRange(ZuVALUE* left, ZuVALUE* right, int /*code*/) {
    int first = 0, last = 0;
    for (ZuVALUE* end : {left, right}) {
        if (!RangeEnd(end, end == left ? &first : &last)) {
            Fail(kCannotCastToInt, value::Describe(end).c_str());
            return;
        }
    }
    SetRange(left, first, last);
}

void AllIndex(ZuVALUE* slot) {
    value::Clear(slot);
    SetRange(slot, 0, kToTheEnd);
}

}  // namespace zu::run::ops
