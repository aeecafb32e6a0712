// The engine's routines that the operators call, in one place: turning a
// pending vector into its value, the assignment rule and warnings.
#pragma once

#include "run/indexing.h"
#include "zu.h"

namespace zu::run::ops {

// A vector operand becomes the value it selects.
inline void Materialise(ZuVALUE* v) {
    if ((v->t & ZU_TYPE_MASK) == ZU_VECTOR) ZuRunDoIndexVector(v, nullptr);
}

// `target` takes the value of `source` by the assignment rule.
inline void Assign(ZuVALUE* target, ZuVALUE* source) { ZuRunDoAssignment(target, source); }

// Issues a warning of the given kind with its text (null for none), at
// the running instruction.
inline void RaiseWarning(const char* text, int kind) { ZuRunWarning(text, kind, 0); }

}  // namespace zu::run::ops
