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

double Round(double x) { return std::floor(x + 0.5); }  // halves go up: -2.5 gives -2
double Square(double x) { return x * x; }

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

const std::array<FastFunction, 17> kNumeric = {{
    {141, "ceil", [](double x) { return std::ceil(x); }, OnInt::kDouble},
    {143, "cos", [](double x) { return std::cos(x); }, OnInt::kDouble},
    {144, "DDensNormal", DDensNormal, OnInt::kDouble},
    {145, "exp", [](double x) { return std::exp(x); }, OnInt::kDouble},
    {146, "fabs", [](double x) { return std::fabs(x); }, OnInt::kAbs},
    {147, "floor", [](double x) { return std::floor(x); }, OnInt::kDouble},
    {148, "log", [](double x) { return std::log(x); }, OnInt::kDouble},
    {149, "DProbNormal", DProbNormal, OnInt::kDouble},
    {150, "DQuanNormal", DQuanNormal, OnInt::kDouble},
    {151, "ROUND", Round, OnInt::kDouble},
    {153, "sin", [](double x) { return std::sin(x); }, OnInt::kDouble},
    {155, "SQR", Square, OnInt::kSquare},
    {156, "sqrt", [](double x) { return std::sqrt(x); }, OnInt::kDouble},
    {157, "DTailProbNormal", DTailProbNormal, OnInt::kDouble},
    {158, "tan", [](double x) { return std::tan(x); }, OnInt::kDouble},
    {159, "DTRUNC", [](double x) { return std::trunc(x); }, OnInt::kDouble},
    {171, "log10", [](double x) { return std::log10(x); }, OnInt::kDouble},
}};

struct SizeQuery {
    int code;
    int (*query)(ZuVALUE*);
};

const std::array<SizeQuery, 5> kSizes = {{
    {142, ZuValColumns},
    {152, ZuValRows},
    {154, ZuValRows},  // sizeof
    {161, ZuValSizec},
    {162, ZuValSizer},
}};

// Codes of the ZuGauss mode.
GaussPrintHook g_gaussPrint = nullptr;  // the Gauss mode's printer, when it is on

constexpr int kPrintValue = 213;
constexpr int kPrintValueSemicolon = 214;
constexpr int kRequireScalar = 215;
constexpr int kStringToDouble = 216;
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
    } else if (code == kStringToDouble && value::TypeCode(top) == ZU_STRING && !value::IsNul(top)) {
        value::CastToDouble(top);
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
