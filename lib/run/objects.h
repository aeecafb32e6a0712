// Objects and classes at run time: creation, data members, member calls,
// bound member functions, destructors and delete.
#pragma once

#include "zu.h"

namespace zu::run {

// NEW g: the top entry becomes a new object of class g (error 21 when g is
// no class).
void NewObject(ZuVALUE* top, int g);

// LMP m / SMP m on the object entry; SMP returns the new top.
void LoadMember(ZuVALUE* top, int m);
ZuVALUE* StoreMember(ZuVALUE* sp, int m);

// The value of static member m of an object: it lives in the table of the
// class that declared it (the oldest base that has member m), so that a
// derived class shares it too.  Null for a damaged object.
ZuVALUE* StaticMember(const ZuVALUE* object, int m);

// CAM n on vm: object, designator and class below the n arguments.
void CallMember(int n);

// MFU on vm: object, designator and class become a bound member function.
void BindMember();

// The "destruct" operator: prepares the four entries above the address
// four below the top for the CAM 0 that follows.
void PrepareDestructor(ZuVALUE* sp);

// The "delete" operator: frees the variable addressed two below the top;
// the three entries become int 0.  Returns the new top.
ZuVALUE* DeleteVariable(ZuVALUE* sp);

// Frees the member tables of every object still alive (objects are freed
// by delete; whatever a program left is released when the engine ends).
void ReleaseLiveObjects();

// The "new" operator: the top is marked as owned.
void MarkOwned(ZuVALUE* top);

}  // namespace zu::run
