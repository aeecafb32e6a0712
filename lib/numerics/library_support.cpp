// Argument handling shared by the library routines of this folder.
#include "numerics/library_support.h"
#include "console/run_error_codes.h"

#include <string>

#include "value/value.h"

using zu::value::DoubleOf;
using zu::value::IntOf;
using zu::value::ItemCount;
using zu::value::Items;
using zu::value::MatrixData;

namespace zu::numerics::library {

bool MatrixArg(ZuVALUE* pv, int k) { return ZuLibCheckType(ZU_MATRIX, pv, k, k) != 0; }

bool SquareArg(ZuVALUE* pv, int k) { return ZuLibCheckSquareMatrix(pv, k, k) != 0; }

bool IntArg(ZuVALUE* pv, int k, int* out) {
    if (ZuLibCheckType(ZU_INT, pv, k, k) == 0) return false;
    *out = IntOf(&pv[k]);
    return true;
}

bool DoubleArg(ZuVALUE* pv, int k, double* out) {
    if (ZuLibCheckType(ZU_DOUBLE, pv, k, k) == 0) return false;
    *out = DoubleOf(&pv[k]);
    return true;
}

ZuVALUE* OutputArg(ZuVALUE* pv, int k, int cArg) {
    if (k >= cArg) return nullptr;
    ZuVALUE* v = &pv[k];
    if (value::IsAddress(v) && Items(v) != nullptr) return Items(v);
    if (value::TypeCode(v) == ZU_INT && !value::IsNul(v) && ItemCount(v) == 0) return nullptr;
    ZuLibArgError(k);
    return nullptr;
}

void OutMatrix(ZuVALUE* target, double** m, int r, int c) {
    if (target == nullptr) return;
    ZuLibValMatMalloc(target, r, c);
    if (value::IsMatrix(target) && r >= 1 && c >= 1) MatCopy(MatrixData(target), m, r, c);
}

void OutDouble(ZuVALUE* target, double d) {
    if (target != nullptr) ZuValSetDouble(target, d);
}

void OutInt(ZuVALUE* target, int i) {
    if (target != nullptr) ZuValSetInt(target, i);
}

bool ResultMatrix(ZuVALUE* rtn, int r, int c) {
    ZuLibValMatMalloc(rtn, r, c);
    return value::IsMatrix(rtn) && (r < 1 || c < 1 || MatrixData(rtn) != nullptr);
}

void OutOfMemory() { ReportRunError(RunErrorCode::OutOfMemory); }

void DecompositionFailed() {
    const std::string text = std::string{SZuIntFunc()} + "()";
    ZuRunWarning(text.c_str(), 0, 0);
}

bool Allocated(bool ok) {
    if (!ok) OutOfMemory();
    return ok;
}

void Notice(const char* text) { ZuRunWarning(text, 5, 0); }

}  // namespace zu::numerics::library
