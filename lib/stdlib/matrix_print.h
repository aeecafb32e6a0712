// Elements and matrices as text: the special values, the column layout in
// blocks that fit the line width, and the matrix-file form.
#ifndef ZU_STDLIB_MATRIX_PRINT_H
#define ZU_STDLIB_MATRIX_PRINT_H

#include <string>

#include "stdlib/format.h"
#include "stdlib/print_sink.h"
#include "zu.h"

namespace zu::stdlib {

// ".NaN", "+.Inf" or "-.Inf" for the special values, null for a number.
[[nodiscard]] const char* SpecialText(double d);

// The string format that prints the special texts in the place of an
// element: the element format with 's' for its conversion and without its
// precision, or "%<width>s" when it holds no '%' or is 32 characters or
// longer.
[[nodiscard]] FormatPiece SpecialFormat(const FormatPiece& element, int width);

// One element with a double format and its width.
[[nodiscard]] std::string FormatElement(double d, const FormatPiece& format, int width);

// The options of one matrix layout.  Labels and column formats are arrays
// (or null); only their leading strings (double formats) count.
struct MatrixOptions {
    const FormatPiece* format = nullptr;  // element format; null: the default one
    const ZuVALUE* rowLabels = nullptr;
    const ZuVALUE* columnLabels = nullptr;
    const ZuVALUE* columnFormats = nullptr;
    bool lower = false;        // only the lower triangle
    bool blockHeaders = true;  // "// [][j]...[][k]" over unlabelled blocks
};

// The matrix layout: a newline, then the blocks of columns.
void PrintMatrix(PrintSink& sink, double** m, int r, int c, const MatrixOptions& options);

// The matrix-file form of "%m", "%#m", "%M" and "%#M" (the format's
// classification): without '#' a line "rows columns" first; NaN as ".".
void PrintMatrixFile(PrintSink& sink, double** m, int r, int c, const FormatPiece& matrixFormat);

}  // namespace zu::stdlib

#endif
