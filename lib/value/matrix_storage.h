// Matrix blocks: a table of row pointers into one contiguous block of
// doubles.  The table has one hidden slot in front of the handed-out
// address that holds the data block, so a block can be freed from the row
// table alone:
//
//     m[-1] -> data     m[0] -> data     m[1] -> data + c   ...
//
// With c = 0 there is no data block and every slot is null; r = 0 is the
// null matrix.  The exported routines (MatAllocBlock, CMatAlloc, ...) are
// declared in zu.h; this header holds what the folder shares internally.
#ifndef ZU_VALUE_MATRIX_STORAGE_H
#define ZU_VALUE_MATRIX_STORAGE_H

namespace zu::value {

// The data block behind a matrix block (its hidden slot).
inline double* BlockData(double** m) { return m[-1]; }

}  // namespace zu::value

#endif
