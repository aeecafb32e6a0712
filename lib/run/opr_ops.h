// The operator routines behind DoOpr, one family a file.
//
// Binary routines write the result into `left`; the dispatcher frees
// `right` afterwards (a routine that took over the right operand's storage
// leaves it as int 0).  Unary routines replace `top`.  Vector operands
// have been materialised before any of these runs.
#pragma once

#include "zu.h"

namespace zu::run::ops {

// + - * / .* ./ .&& .|| and the element comparisons .== .!= .< .<= .> .>=
// (opr_arithmetic.cpp); the matrix product and division by a matrix come
// from opr_products.cpp.
void Arithmetic(ZuVALUE* left, ZuVALUE* right, int code);
// The same with the rule of operator `rule` and `code` in messages.
void ArithmeticAs(ZuVALUE* left, ZuVALUE* right, int rule, int code);

// == != < <= > >=: an int 0 or 1 (opr_compare.cpp).
void Compare(ZuVALUE* left, ZuVALUE* right, int code);
// The string comparison: negative, 0 or positive, bytes taken unsigned.
int CompareStrings(const ZuVALUE* a, const ZuVALUE* b);
// The relation of a comparison operator applied to the sign of a
// comparison; the dot forms map to the plain ones.
bool RelationHolds(int code, int sign);

// Products and division by a matrix (opr_products.cpp).
void MatrixProduct(ZuVALUE* left, ZuVALUE* right, int code);
void MatrixDivide(ZuVALUE* left, ZuVALUE* right, int code);
void Kronecker(ZuVALUE* left, ZuVALUE* right, int code);
void DirectProduct(ZuVALUE* left, ZuVALUE* right, int code);
void MultiplyTransposed(ZuVALUE* left, ZuVALUE* right, int code);
void CrossProduct(ZuVALUE* top, int code);

// ^ and .^ (opr_power.cpp).
void Power(ZuVALUE* left, ZuVALUE* right, int code);
// The element power ".^" alone.
void DotPower(ZuVALUE* left, ZuVALUE* right, int code);

// % (opr_remainder.cpp).
void Remainder(ZuVALUE* left, ZuVALUE* right, int code);

// ~ and | (opr_concat.cpp); the ZuGauss $~ and $| join arrays.
void Concatenate(ZuVALUE* left, ZuVALUE* right, int code);
// Appends the elements of `right` to those of `left`; a non-array operand
// counts as a one-element array.
void JoinArrays(ZuVALUE* left, ZuVALUE* right, int code);
// A new owned string: the characters of `left` followed by those of `right`.
void JoinStrings(ZuVALUE* left, ZuVALUE* right);

// ":" and "[]" (opr_range.cpp).
void MakeRange(ZuVALUE* left, ZuVALUE* right, int code);
void AllIndex(ZuVALUE* slot);

// Unary minus, !, ++, --, ' and .' (opr_unary.cpp).
void Negate(ZuVALUE* top, int code);
void Not(ZuVALUE* top, int code);
void Step(ZuVALUE* top, int code);
void Transpose(ZuVALUE* top, int code);

// The cast operators (opr_cast.cpp).
void Cast(ZuVALUE* top, int code);
// "}": wraps the value into a one-element array.
void WrapInArray(ZuVALUE* top, int code);

// .? (opr_choice.cpp).
void Choice(ZuVALUE* condition, ZuVALUE* whenTrue, ZuVALUE* whenFalse, int code);

// The operators of the ZuGauss mode that Zu has no counterpart for
// (opr_gauss.cpp).
void GaussFactorial(ZuVALUE* top, int code);
void GaussStringJoin(ZuVALUE* left, ZuVALUE* right, int code);
// Gauss "/": element division when either side is a scalar, else b/A is
// A's (generalised) inverse times b.
void GaussDivide(ZuVALUE* left, ZuVALUE* right, int code);
void GaussStringCompare(ZuVALUE* left, ZuVALUE* right, int code);

}  // namespace zu::run::ops
