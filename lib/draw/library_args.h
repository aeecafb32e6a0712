// Shared steps of the drawing library routines: the current drawing, and
// arguments that may be left out.
#pragma once

#include <string>
#include <vector>

#include "draw/drawing.h"
#include "zu.h"

namespace zu::draw::library {

#define ZU_DRAWLIB_ROUTINE(name) void name(ZuVALUE* rtn, ZuVALUE* pv, int cArg)

// The drawing that the drawing functions add to; opened when there is
// none, and opened afresh after it was shown.  Null when memory runs out
// (after raising the error).
Drawing* Current();
// The current drawing as it stands (null when there is none).
Drawing* Existing();
void CloseCurrent();
void MarkShown();
const std::string& WindowName();
void SetWindowName(std::string name);

// Argument k, or the fallback when it was left out; false after the
// argument error.
bool IntOr(ZuVALUE* pv, int cArg, int k, int fallback, int* out);
bool DoubleOr(ZuVALUE* pv, int cArg, int k, double fallback, double* out);
bool StringArg(ZuVALUE* pv, int k, std::string* out);
bool StringOr(ZuVALUE* pv, int cArg, int k, std::string* out);
// An area index in 0..35; otherwise the argument error.
bool AreaArg(ZuVALUE* pv, int k, int* out);

// A matrix argument as rows of values.  A column vector of more than one
// row is one row (a single series); `rows` of the result are the series.
struct Series {
    int rows = 0, columns = 0;
    std::vector<double> values;  // row by row
    const double* row(int i) const { return values.data() + static_cast<std::size_t>(i) * columns; }
};
bool SeriesArg(ZuVALUE* pv, int k, Series* out);
// All elements of a matrix argument in order (a vector of any shape).
bool VectorArg(ZuVALUE* pv, int k, std::vector<double>* out);
// Labels: a string, an array of strings, or 0 for none.
bool LabelsArg(ZuVALUE* pv, int cArg, int k, std::vector<std::string>* out);

// Raises the out-of-memory error.
void OutOfMemory();
// The result of a builder: raise out-of-memory for a failure to make it.
bool Built(int position);

}  // namespace zu::draw::library
