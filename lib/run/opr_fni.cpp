// The fast built-in functions of the FNI instruction: one-argument
// numeric functions applied in place, and the size queries.
#include <array>
#include <cmath>
#include <string>

#include "run/opr.h"
#include "run/opr_engine.h"
#include "run/opr_support.h"
#include "value/cast.h"

namespace zu::run {
namespace {

using namespace ops;

// The routines that fast_functions.def names.
double Ceil(double x) { return std::ceil(x); }
double Cos(double x) { return std::cos(x); }
double Exp(double x) { return std::exp(x); }
double Fabs(double x) { return std::fabs(x); }
double Floor(double x) { return std::floor(x); }
double Log(double x) { return std::log(x); }
double Log10(double x) { return std::log10(x); }
double Round(double x) { return std::floor(x + 0.5); }  // halves go up: -2.5 gives -2
double Sin(double x) { return std::sin(x); }
double Square(double x) { return x * x; }
double Sqrt(double x) { return std::sqrt(x); }
double Tan(double x) { return std::tan(x); }
double Trunc(double x) { return std::trunc(x); }

// What a numeric fast function does with an int argument.
enum class OnInt : std::uint8_t {
    kDouble,  // converted to double, the result is a double
    kAbs,     // stays an int
    kSquare,  // stays an int within -32767..32767
};

struct FastFunction {
    int code;
    const char* name;  // the name in error texts
    double (*f)(double);
    OnInt onInt;
};

constexpr FastFunction kNumeric[] = {
#define ZU_FAST_NUMERIC(code, name, errorName, Routine, intRule) {code, errorName, Routine, OnInt::k##intRule},
#include "program/fast_functions.def"
};

struct SizeQuery {
    int code;
    int (*query)(ZuVALUE*);
};

constexpr SizeQuery kSizes[] = {
#define ZU_FAST_SIZE(code, name, Query) {code, Query},
#include "program/fast_functions.def"
};

// Codes of the ZuGauss mode.
GaussPrintHook g_gaussPrint = nullptr;  // the Gauss mode's printer, when it is on

enum GaussStep : int {
#define ZU_FAST_GAUSS(code, Name) k##Name = code,
#include "program/fast_functions.def"
};
constexpr int kExactSquare = 32767;

void WrongType(const FastFunction& fn, const ZuVALUE* v) {
    const std::string text = std::string(fn.name) + "(" + value::Describe(v) + ")";
    Fail(kWrongType, text.c_str());
}

void IntArgument(ZuVALUE* top, const FastFunction& fn) {
    const int i = top->w1.i;
    if (fn.onInt == OnInt::kAbs) {
        // |-2147483648| wraps to itself.
        SetInt(top, i < 0 ? static_cast<int>(0U - static_cast<unsigned>(i)) : i);
    } else if (fn.onInt == OnInt::kSquare && i >= -kExactSquare && i <= kExactSquare) {
        SetInt(top, i * i);
    } else {
        SetDouble(top, fn.f(static_cast<double>(i)));
    }
}

void Apply(ZuVALUE* top, const FastFunction& fn) {
    switch (value::TypeCode(top)) {
    case ZU_INT: IntArgument(top, fn); return;
    case ZU_DOUBLE: SetDouble(top, fn.f(top->w1.d)); return;
    case ZU_MATRIX: {
        const int r = Rows(top), c = Columns(top);
        double** m = top->w3.m;
        MatrixResult result;
        double** out = result.Prepare(top, nullptr, r, c);
        for (int i = 0; i < r; ++i) {
            for (int j = 0; j < c; ++j) out[i][j] = fn.f(m[i][j]);
        }
        result.Commit();
        return;
    }
    default: WrongType(fn, top);
    }
}

void RequireScalar(const ZuVALUE* top) {
    const Kind kind = KindOf(top);
    if (kind != kInt && kind != kDouble && kind != kUnit) Fail(kScalarExpected, value::Describe(top).c_str());
}

void Evaluate(ZuVALUE* top, int code) {
    Materialise(top);
    for (const FastFunction& fn : kNumeric) {
        if (fn.code != code) continue;
        if (value::IsNul(top)) {
            WrongType(fn, top);  // a missing value has no type they take
        } else {
            Apply(top, fn);
        }
        return;
    }
    for (const SizeQuery& size : kSizes) {
        if (size.code == code) {
            SetInt(top, size.query(top));
            return;
        }
    }
    if (code == kPrintValue || code == kPrintValueSemicolon) {
        if (g_gaussPrint) g_gaussPrint(top, code == kPrintValueSemicolon ? 1 : 0);
    } else if (code == kRequireScalar) {
        RequireScalar(top);
    } else if (code == kStringToDouble) {
        if (value::TypeCode(top) == ZU_STRING && !value::IsNul(top)) value::CastToDouble(top);
    } else {
        const std::string text = "no routine for fast function code " + std::to_string(code);
        Fail(static_cast<int>(Err::RunTime), text.c_str());
    }
}

}  // namespace

void SetGaussPrintHook(GaussPrintHook hook) { g_gaussPrint = hook; }

void DoFni(ZuVALUE* top, int code) {
    try {
        Evaluate(top, code);
    } catch (const ops::Abandoned&) {
        // an error was reported outside a run; the argument stays
    }
}

}  // namespace zu::run
