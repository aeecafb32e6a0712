// Sorting in ascending order with missing values first.  The sorting
// functions of the library share these two routines.
#ifndef ZU_STDLIB_SORTING_H
#define ZU_STDLIB_SORTING_H

namespace zu::stdlib {

// Sorts v[0..n-1].  Not stable.
void SortVec(double* v, int n);

// Sorts column j of the r-row matrix m.
void SortMatCol(double** m, int r, int j);

}  // namespace zu::stdlib

#endif
