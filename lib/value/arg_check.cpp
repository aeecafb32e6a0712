// Argument checks of library routines.  Each failure issues its text with
// ZuRunMessage and raises a run-time error; the error unwinds while a
// program runs, so a check returns only to say that every argument passed
// (or, with no run active, that it reported).
#include <string>

#include "value/cast.h"
#include "console/run_error_codes.h"
#include "value/value.h"

using zu::value::Describe;
using zu::value::TypeCode;

namespace {

constexpr int kArgumentsDiffer = zu::ErrorNumber(zu::RunErrorCode::SameArguments);
constexpr int kArgumentError = zu::ErrorNumber(zu::RunErrorCode::Argument);
constexpr int kArgumentSizeError = zu::ErrorNumber(zu::RunErrorCode::ArgumentSize);

std::string Shape(int r, int c) { return "matrix[" + std::to_string(r) + "][" + std::to_string(c) + "]"; }

std::string Lead() { return std::string{SZuIntFunc()} + "(): "; }

int Report(const std::string& text, int code) {
    ZuRunMessage(text.c_str());
    ZuRunError(code, nullptr);
    return 0;
}

// An argument passes as `type` when it has that type code or converts to
// it; a nul value never passes.
bool Passes(ZuVALUE* v, int type) {
    if (zu::value::IsNul(v)) return false;
    return TypeCode(v) == type || zu::value::CastNonNullTo(v, type);
}

int TypeMismatch(int n, int type, ZuVALUE* v) {
    return Report(Lead() + "type error in argument " + std::to_string(n + 1) + "; expected: " + SZuGetTypeName(type) +
                      ", found: " + Describe(v),
                  kArgumentError);
}

}  // namespace

extern "C" int ZuLibArgError(int n) {
    return Report(Lead() + "error in argument " + std::to_string(n + 1), kArgumentError);
}

extern "C" int ZuLibArgTypeError(int n, int expectedType, int foundType) {
    std::string text = Lead() + "type error in argument " + std::to_string(n + 1) + "; ";
    if (expectedType >= 0) text += std::string{"expected: "} + SZuGetTypeName(expectedType) + ", ";
    return Report(text + "found: " + SZuGetTypeName(foundType), kArgumentError);
}

extern "C" int ZuLibCheckType(int type, ZuVALUE* args, int first, int last) {
    if (args == nullptr && first <= last) return ZuLibArgError(first);
    for (int n = first; n <= last; ++n) {
        if (!Passes(&args[n], type)) return TypeMismatch(n, type, &args[n]);
    }
    return 1;
}

extern "C" int ZuLibCheckSquareMatrix(ZuVALUE* args, int first, int last) {
    if (args == nullptr && first <= last) return ZuLibArgError(first);
    for (int n = first; n <= last; ++n) {
        ZuVALUE* v = &args[n];
        if (!Passes(v, ZU_MATRIX)) return TypeMismatch(n, ZU_MATRIX, v);
        if (v->w1.i != v->w2.i) {
            return Report(Lead() + "found " + Shape(v->w1.i, v->w2.i) + " but expected square matrix in argument " +
                              std::to_string(n + 1),
                          kArgumentSizeError);
        }
    }
    return 1;
}

extern "C" int ZuLibCheckMatrixSize(ZuVALUE* args, int first, int last, int rows, int columns) {
    if (args == nullptr && first <= last) return ZuLibArgError(first);
    const bool emptyAllowed = rows == 0 || columns == 0;
    for (int n = first; n <= last; ++n) {
        ZuVALUE* v = &args[n];
        if (emptyAllowed && zu::value::IsEmptyMatrix(v)) continue;
        if (!Passes(v, ZU_MATRIX)) return TypeMismatch(n, ZU_MATRIX, v);
        if (v->w1.i != rows || v->w2.i != columns) {
            return Report(Lead() + "found " + Shape(v->w1.i, v->w2.i) + " but expected " + Shape(rows, columns) +
                              " in argument " + std::to_string(n + 1),
                          kArgumentSizeError);
        }
    }
    return 1;
}

// An output argument is passed as an address (or an array) whose word 2
// points to the value that receives the result.
extern "C" int ZuLibCheckArrayMatrix(ZuVALUE* args, int first, int last, double** m) {
    if (m == nullptr || args == nullptr) return 1;
    for (int n = first; n <= last; ++n) {
        const ZuVALUE* v = &args[n];
        if (TypeCode(v) != ZU_ARRAY || zu::value::IsNul(v) || v->w1.i < 1 || v->w2.v == nullptr) continue;
        const ZuVALUE* target = v->w2.v;
        if (zu::value::IsMatrix(target) && target->w3.m == m) {
            ZuRunError(kArgumentsDiffer, SZuIntFunc());
            return 0;
        }
    }
    return 1;
}
