// The indexing instructions on each kind of indexed value.  Each works on
// stack entries laid out as the instruction finds them.
#pragma once

#include "zu.h"

#include "run/index_value.h"

namespace zu::run {

// XLD: `v` (the indexed value) and `index` above it; v becomes the
// selection.  The index entry is freed when owned (the caller pops it).
void LoadIndexed(ZuVALUE* v, ZuVALUE* index, const IndexContext& context);

// XST: target, index and value; the target entry becomes the stored
// selection; the index and value entries are freed when owned.
void StoreIndexed(ZuVALUE* target, ZuVALUE* index, ZuVALUE* value, int printBase);

// A matrix with a pending index: the entry becomes a vector.
void MakeVector(ZuVALUE* v, const Index& index, int extraFlags);

// Materialises a vector, storing `value` into the selection first when it
// is not null.
void MaterialiseVector(ZuVALUE* v, ZuVALUE* value, int printBase);

// The second index of a vector: a double for one element, otherwise an
// owned matrix; with a value, the block is stored first.
void IndexVectorTwice(ZuVALUE* v, ZuVALUE* index, ZuVALUE* value, int printBase);

// Strings and arrays.
void LoadStringIndexed(ZuVALUE* s, ZuVALUE* index, const IndexContext& context);
void StoreStringIndexed(ZuVALUE* s, ZuVALUE* index, ZuVALUE* value, const IndexContext& context);
void LoadArrayIndexed(ZuVALUE* a, ZuVALUE* index, const IndexContext& context);
void StoreArrayIndexed(ZuVALUE* a, ZuVALUE* index, ZuVALUE* value, const IndexContext& context);
// The address of one array element (the address operator before XLD).
void AddressOfElement(ZuVALUE* a, ZuVALUE* index, const IndexContext& context);

// The base-1 indices of the Gauss mode's XGL/XGS made base 0, in place.
void IndexFromBase1(ZuVALUE* index);

}  // namespace zu::run
