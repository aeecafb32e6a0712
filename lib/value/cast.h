// Conversions between value types.
//
// Two families share the element rules:
//  - the library conversions (CastNonNullTo), used by the accessors and the
//    argument checks: they convert in place without a report and say whether
//    that worked, by the rules of the cast operators, except that a matrix
//    stands for a scalar (int, double or the bytes of a string) only when
//    it is 1 x 1;
//  - the cast operators of the language ("int", "double", "matrix",
//    "string", "array", "<int2dbl>" and the scalar-to-matrix conversion),
//    which raise their run-time error with the value's type description.
// Every conversion frees what the record owned only once the new content
// exists, so a failure leaves the record as it was.
#ifndef ZU_VALUE_CAST_H
#define ZU_VALUE_CAST_H

#include <string>

#include "zu.h"

namespace zu::value {

// Truncates towards zero; false for NaN and values outside int.
[[nodiscard]] bool DoubleToInt(double d, int* i);

// The double of an int, a double or a 1 x 1 matrix, without changing the
// record; false for everything else (and for a nul value).
[[nodiscard]] bool ScalarAsDouble(const ZuVALUE* v, double* d);

// The library conversion described above.  A nul value and an empty matrix
// never convert; an array must have an element; a file must be open; a
// function and a library function stand for each other.  Out of memory
// while making a matrix raises run-time error 4.
[[nodiscard]] bool CastNonNullTo(ZuVALUE* v, int type);

// The cast operators.  Each returns true on success; on failure it raises
// the cast's run-time error (30, 45, 46 or 47; 4 when memory runs out) and
// returns false if that report returns.
bool CastToInt(ZuVALUE* v);
bool CastToDouble(ZuVALUE* v);
bool CastToMatrix(ZuVALUE* v);
bool CastToString(ZuVALUE* v);
bool CastToArray(ZuVALUE* v);
bool CastIntToDouble(ZuVALUE* v);     // "<int2dbl>"
bool CastScalarToMatrix(ZuVALUE* v);  // an int or a double to 1 x 1

// The scalar-only casts of library code: like CastToInt and CastToDouble,
// but a matrix must be 1 x 1.
bool CastScalarToInt(ZuVALUE* v);
bool CastScalarToDouble(ZuVALUE* v);

// The type description of error texts (as SZuGetTypeSize).
[[nodiscard]] std::string Describe(const ZuVALUE* v);

}  // namespace zu::value

#endif
