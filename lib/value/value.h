// Internal helpers on value records shared by the files of this folder and
// by the interpreter.  The exported accessors, setters and by-value
// operations are declared in zu.h.
#ifndef ZU_VALUE_VALUE_H
#define ZU_VALUE_VALUE_H

#include <cstddef>

#include "zu.h"

namespace zu::value {

// A bound member function (function value with the member flag) points in
// word 4 to a copy of its object's words 1 to 5.
inline constexpr std::size_t kBoundRecordSize = 5 * sizeof(ZuWORD);

inline int TypeCode(const ZuVALUE* v) { return v->t & ZU_TYPE_MASK; }
inline bool HasFlag(const ZuVALUE* v, int flags) { return (v->t & flags) != 0; }
inline bool IsNul(const ZuVALUE* v) { return HasFlag(v, ZU_FLAG_NUL); }
inline bool IsAddress(const ZuVALUE* v) { return TypeCode(v) == ZU_ARRAY && HasFlag(v, ZU_FLAG_ADR); }
inline bool IsMatrix(const ZuVALUE* v) { return TypeCode(v) == ZU_MATRIX && !IsNul(v); }

// ---- the words of a record by what they mean ----
// Library routines read records through these rather than through the raw
// words, so that the layout stays the business of this folder.  They check
// nothing: the caller knows the type (after ZuLibCheckType, say).

// int and double scalars.
inline int IntOf(const ZuVALUE* v) { return v->w1.i; }
inline double DoubleOf(const ZuVALUE* v) { return v->w1.d; }

// A matrix: its extent and its table of row pointers (null when empty).
inline int Rows(const ZuVALUE* v) { return v->w1.i; }
inline int Columns(const ZuVALUE* v) { return v->w2.i; }
inline double** MatrixData(const ZuVALUE* v) { return v->w3.m; }

// A string: its length in bytes and its characters (null when empty).
inline int StringLength(const ZuVALUE* v) { return v->w1.i; }
inline char* StringText(const ZuVALUE* v) { return v->w2.s; }

// An array: its item count and its items (null when empty); an address
// refers to the one record of its Items.
inline int ItemCount(const ZuVALUE* v) { return v->w1.i; }
inline ZuVALUE* Items(const ZuVALUE* v) { return v->w2.v; }

inline bool IsEmptyMatrix(const ZuVALUE* v) { return IsMatrix(v) && (Rows(v) <= 0 || Columns(v) <= 0); }

// True when the r rows of m lie one after another (m[i] == m[0] + i c), as
// in every matrix block, so that the matrix can be walked as one run; the
// rows of a plain matrix or of a table made by hand need not.
[[nodiscard]] bool RowsAdjoin(double* const* m, int r, int c);

// Clears all words and the type word.
inline void Clear(ZuVALUE* v) { *v = ZuVALUE{}; }

// ZuMakeByValue without the error report: false when a copy could not be
// allocated, with the record left as it was.
[[nodiscard]] bool TryMakeByValue(ZuVALUE* v);

// Frees the record by value and makes it an owned r x c matrix (no data for
// r < 1).  False when memory runs out (or a size is negative); the record is
// then a cleared value.
[[nodiscard]] bool TrySetMatrix(ZuVALUE* v, int r, int c);

// Frees the record by value and makes it an owned string of n bytes copied
// from `text` (or left unset for a null `text`), with a terminator.  False
// when memory runs out; the record is then the empty string.
[[nodiscard]] bool TrySetString(ZuVALUE* v, const char* text, int n);

// Appends n bytes to the string that `v` owns (its `val` flag set), in its
// own block when there is room and otherwise in one grown by half again, so
// that a string built by repeated appends costs amortised constant time per
// byte.  `text` may point into the string itself.  False when memory runs
// out or the length would not fit an int; the record is then unchanged.
[[nodiscard]] bool TryAppendString(ZuVALUE* v, const char* text, int n);

// The interpreter's treatment of an index array (elements are references
// into another array): make it an independent by-value array.
[[nodiscard]] bool TryMakeIndexArrayByValue(ZuVALUE* v);

// Raise run-time errors from this folder; `text` may be null.
void RaiseOutOfMemory();

}  // namespace zu::value

#endif
