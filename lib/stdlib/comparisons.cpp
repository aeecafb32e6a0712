// Comparisons and tests of values (iseq, isfeq, isdotfeq, isdotinf,
// isdotmissing, isdotnan, ismissing, isnan), integer arithmetic (idiv,
// imod, bincomp) and the element-wise functions of two doubles (fmod, pow,
// atan2) and truncf.
/// @family Comparisons
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "stdlib/routines.h"
#include "console/run_error_codes.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::DoubleOf;
using zu::value::ItemCount;
using zu::value::Items;
using zu::value::MatrixData;
using zu::value::Rows;
using zu::value::StringLength;
using zu::value::StringText;

namespace zu::stdlib {
namespace {


// Arrays nested deeper than this compare by identity, so that an array
// that holds itself cannot exhaust the stack.
constexpr int kMaxDepth = 64;

bool Is(const ZuVALUE* v, int type) { return value::TypeCode(v) == type && !value::IsNul(v); }

bool IsNumber(const ZuVALUE* v) { return Is(v, ZU_INT) || Is(v, ZU_DOUBLE) || Is(v, ZU_MATRIX); }

// Two missing values count as equal: both stand for the same unknown.
bool SameDouble(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

bool NearlyEqual(double a, double b) {
    if (SameDouble(a, b)) return true;
    if (!std::isfinite(a) || !std::isfinite(b)) return false;
    const double scale = std::max({1.0, std::fabs(a), std::fabs(b)});
    // The tolerance that fuzziness sets: relative, absolute below 1.
    return std::fabs(a - b) <= DGetFuzziness() * scale;
}

bool SameMatrix(const ZuVALUE* a, const ZuVALUE* b, bool (*same)(double, double)) {
    const int r = Rows(a), c = Columns(a);
    if (r != Rows(b) || c != Columns(b)) return false;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j)
            if (!same(MatrixData(a)[i][j], MatrixData(b)[i][j])) return false;
    return true;
}

bool SameString(const ZuVALUE* a, const ZuVALUE* b) {
    const int n = StringLength(a);
    if (n != StringLength(b)) return false;
    if (n <= 0 || StringText(a) == StringText(b)) return true;
    return StringText(a) != nullptr && StringText(b) != nullptr &&
           std::memcmp(StringText(a), StringText(b), static_cast<std::size_t>(n)) == 0;
}

bool SameWords(const ZuVALUE* a, const ZuVALUE* b) {
    return a->w1.l == b->w1.l && a->w2.l == b->w2.l && a->w3.l == b->w3.l && a->w4.l == b->w4.l && a->w5.l == b->w5.l;
}

bool Equal(const ZuVALUE* a, const ZuVALUE* b, int depth);

bool SameArray(const ZuVALUE* a, const ZuVALUE* b, int depth) {
    const int n = ItemCount(a);
    if (n != ItemCount(b)) return false;
    if (Items(a) == Items(b)) return true;
    if (Items(a) == nullptr || Items(b) == nullptr || depth >= kMaxDepth) return n <= 0;
    for (int k = 0; k < n; ++k)
        if (!Equal(&Items(a)[k], &Items(b)[k], depth + 1)) return false;
    return true;
}

// Equal in type and value; values of other types than these are equal
// only when they are the same value.
bool Equal(const ZuVALUE* a, const ZuVALUE* b, int depth) {
    if (value::IsNul(a) || value::IsNul(b)) return value::IsNul(a) && value::IsNul(b);
    if (value::TypeCode(a) != value::TypeCode(b) || value::IsAddress(a) != value::IsAddress(b)) return false;
    switch (value::TypeCode(a)) {
    case ZU_INT: return ItemCount(a) == ItemCount(b);
    case ZU_DOUBLE: return SameDouble(DoubleOf(a), DoubleOf(b));
    case ZU_MATRIX: return SameMatrix(a, b, SameDouble);
    case ZU_STRING: return SameString(a, b);
    case ZU_ARRAY: return value::IsAddress(a) ? Items(a) == Items(b) : SameArray(a, b, depth);
    default: return SameWords(a, b);
    }
}

// Element (i, j) of a number: a scalar is a 1 by 1 matrix.
double ElementOf(const ZuVALUE* v, int i, int j) {
    if (Is(v, ZU_MATRIX)) return MatrixData(v)[i][j];
    return Is(v, ZU_INT) ? Rows(v) : DoubleOf(v);
}

int RowsOf(const ZuVALUE* v) { return Is(v, ZU_MATRIX) ? value::Rows(v) : 1; }
int ColumnsOf(const ZuVALUE* v) { return Is(v, ZU_MATRIX) ? value::Columns(v) : 1; }

bool NearlyEqualValues(const ZuVALUE* a, const ZuVALUE* b) {
    if (!IsNumber(a) || !IsNumber(b)) return Equal(a, b, 0);
    const int r = RowsOf(a), c = ColumnsOf(a);
    if (r != RowsOf(b) || c != ColumnsOf(b)) return false;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j)
            if (!NearlyEqual(ElementOf(a, i, j), ElementOf(b, i, j))) return false;
    return true;
}

bool AnyMissing(const ZuVALUE* v) {
    if (Is(v, ZU_DOUBLE)) return std::isnan(DoubleOf(v));
    if (!Is(v, ZU_MATRIX)) return false;
    for (int i = 0; i < Rows(v); ++i)
        for (int j = 0; j < Columns(v); ++j)
            if (std::isnan(MatrixData(v)[i][j])) return true;
    return false;
}

// A string is text, not a number, in either argument of the element-wise
// functions: the type error rather than a conversion of its bytes.
bool NoText(ZuVALUE* pv, int count) {
    for (int k = 0; k < count; ++k) {
        if (Is(&pv[k], ZU_STRING)) {
            ZuLibArgTypeError(k, ZU_DOUBLE, ZU_STRING);
            return false;
        }
    }
    return true;
}

double FeqFlag(double a, double b) { return NearlyEqual(a, b) ? 1.0 : 0.0; }
double InfFlag(double x) { return std::isinf(x) ? 1.0 : 0.0; }
double NaNFlag(double x) { return std::isnan(x) ? 1.0 : 0.0; }
// Whole numbers below 2^52 in magnitude, the common case (remainders of
// counts, indices and the steps of Euclid's algorithm), take one division
// instead of the C library's bit-by-bit reduction.  The quotient x / y is
// below 2^52 / y, so its rounding error is under 1 / (2y), while a quotient
// that is not whole lies at least 1 / y from the nearest whole number: the
// truncated quotient is exact, so is x - q y, and the result is fmod's own,
// the sign of a zero included.
double Fmod(double a, double b) {
    constexpr double kExactBelow = 4503599627370496.0;  // 2^52
    const double x = std::fabs(a), y = std::fabs(b);
    if (x < kExactBelow && y < kExactBelow && y > 0.0 && static_cast<double>(static_cast<std::int64_t>(x)) == x &&
        static_cast<double>(static_cast<std::int64_t>(y)) == y) {
        const double q = static_cast<double>(static_cast<std::int64_t>(x / y));
        return std::copysign(x - q * y, a);
    }
    return std::fmod(a, b);
}
double Pow(double a, double b) { return std::pow(a, b); }
double Atan2(double y, double x) { return std::atan2(y, x); }

// Differences from an integer up to this relative size, and never above
// the absolute cap, are taken as rounding error; the cap keeps the true
// fractions of large numbers.
constexpr double kTruncFuzz = 1e-12;
constexpr double kTruncFuzzCap = 1e-6;

double TruncFuzzy(double x) {
    const double nearest = std::round(x);
    const double fuzz = std::min(kTruncFuzz * std::max(1.0, std::fabs(x)), kTruncFuzzCap);
    if (std::fabs(x - nearest) <= fuzz) return nearest;
    return std::trunc(x);
}

// The two int arguments of idiv and imod; false after the report.  A zero
// divisor is the run-time error "divide by zero".
bool IntPair(ZuVALUE* pv, int* a, int* b) {
    if (!NoText(pv, 2) || ZuLibCheckType(ZU_INT, pv, 0, 1) == 0) return false;
    *a = value::IntOf(&pv[0]);
    *b = value::IntOf(&pv[1]);
    if (*b != 0) return true;
    ReportRunError(RunErrorCode::DivideByZero);
    return false;
}

template <ZuFNDOUBLE2 F>
void TwoDoubles(ZuVALUE* rtn, ZuVALUE* pv) {
    if (NoText(pv, 2)) ZuFnDouble2(rtn, pv, F);
}

template <ZuFNDOUBLE F>
void OneDouble(ZuVALUE* rtn, ZuVALUE* pv) {
    if (NoText(pv, 1)) ZuFnDouble(rtn, pv, F);
}

}  // namespace

/// iseq(a, b)
/// 1 when `a` and `b` have the same type and the same value, else 0. An int and a double are
/// never equal; matrices need the same shape, arrays equal elements; two missing values are
/// equal.
/// Example:
///     println(iseq(1, 1), " ", iseq(1, 1.0), " ", iseq(<1,2>, <1,2>), " ", iseq(.NaN, .NaN));
void FnIseq(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, Equal(&pv[0], &pv[1], 0) ? 1 : 0); }

/// isfeq(a, b)
/// 1 when `a` and `b` are numbers (ints, doubles, matrices of the same shape; a scalar equals
/// a 1 by 1 matrix) that agree to the relative tolerance of `fuzziness` (1e-13 unless set;
/// absolute below 1), else 0. Other values compare as in `iseq`.
/// Example:
///     println(isfeq(1, 1 + 1e-15), " ", isfeq(1, 1.0), " ", isfeq(1, 1.001));
void FnIsfeq(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, NearlyEqualValues(&pv[0], &pv[1]) ? 1 : 0); }

/// isdotfeq(a, b)
/// Element by element 1 where `a` and `b` agree as in `isfeq`, else 0; a matrix and a scalar
/// compare each element with the scalar.
/// Example:
///     print(isdotfeq(<1, 2, 1 + 1e-15>, 1));
void FnIsdotfeq(ZuVALUE* rtn, ZuVALUE* pv, int) { TwoDoubles<FeqFlag>(rtn, pv); }

/// isdotinf(m)
/// Element by element 1 for +.Inf and -.Inf, else 0.
/// Example:
///     print(isdotinf(<1, .Inf, -.Inf, .NaN>));
void FnIsdotinf(ZuVALUE* rtn, ZuVALUE* pv, int) { OneDouble<InfFlag>(rtn, pv); }

/// isdotmissing(m)
/// Element by element 1 for a missing value (NaN), else 0.
/// Example:
///     print(isdotmissing(<1, .NaN, 3>));
void FnIsdotmissing(ZuVALUE* rtn, ZuVALUE* pv, int) { OneDouble<NaNFlag>(rtn, pv); }
/// isdotnan(m)
/// Element by element 1 for a missing value (NaN), else 0; the same as `isdotmissing`.
/// Example:
///     print(isdotnan(<1, .NaN, 3>));
void FnIsdotnan(ZuVALUE* rtn, ZuVALUE* pv, int) { OneDouble<NaNFlag>(rtn, pv); }

/// ismissing(m)
/// The int 1 when a double or a matrix holds a missing value (NaN) anywhere, else 0; always 0
/// for values of other types.
/// Example:
///     println(ismissing(<1, .NaN>), " ", ismissing(<1, 2>), " ", ismissing("x"));
void FnIsmissing(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, AnyMissing(pv) ? 1 : 0); }
/// isnan(m)
/// The int 1 when a double or a matrix holds a missing value (NaN) anywhere, else 0; the same
/// as `ismissing`.
/// Example:
///     println(isnan(<1, .NaN>), " ", isnan(2.5));
void FnIsnan(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, AnyMissing(pv) ? 1 : 0); }

/// idiv(a, b)
/// Family: Mathematics
/// The int quotient of the ints `a` and `b`, truncated towards zero. A zero divisor is the
/// run-time error "divide by zero"; INT_MIN / -1 wraps to INT_MIN as int arithmetic does.
/// Example:
///     println(idiv(7, 2), " ", idiv(-7, 2));
void FnIdiv(ZuVALUE* rtn, ZuVALUE* pv, int) {
    int a = 0, b = 0;
    if (!IntPair(pv, &a, &b)) return;
    ZuValSetInt(rtn, b == -1 ? static_cast<int>(0u - static_cast<unsigned>(a)) : a / b);
}

/// imod(a, b)
/// Family: Mathematics
/// The int remainder `a - idiv(a, b) * b` of the ints `a` and `b`, with the sign of `a`. A
/// zero divisor is the run-time error "divide by zero".
/// Example:
///     println(imod(7, 3), " ", imod(-7, 3));
void FnImod(ZuVALUE* rtn, ZuVALUE* pv, int) {
    int a = 0, b = 0;
    if (!IntPair(pv, &a, &b)) return;
    ZuValSetInt(rtn, b == -1 ? 0 : a % b);
}

/// bincomp(a)
/// Family: Mathematics
/// The bitwise complement of the int `a`.
/// Example:
///     println(bincomp(0), " ", bincomp(5));
void FnBincomp(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!NoText(pv, 1) || ZuLibCheckType(ZU_INT, pv, 0, 0) == 0) return;
    ZuValSetInt(rtn, ~pv->w1.i);
}

/// fmod(a, b)
/// Family: Mathematics
/// The remainder of `a / b` with the sign of `a`, element by element over doubles and
/// matrices (a scalar meets every element of a matrix); `fmod(a, 0)` is NaN.
/// Example:
///     print(fmod(<7, -7, 7.5>, 3));
void FnFmod(ZuVALUE* rtn, ZuVALUE* pv, int) { TwoDoubles<Fmod>(rtn, pv); }
/// pow(a, b)
/// Family: Mathematics
/// `a` to the power `b`, element by element over doubles and matrices (a scalar meets every
/// element of a matrix).
/// Example:
///     print(pow(2, <1, 2, 0.5>));
void FnPow(ZuVALUE* rtn, ZuVALUE* pv, int) { TwoDoubles<Pow>(rtn, pv); }
/// atan2(y, x)
/// Family: Mathematics
/// The angle of the point (`x`, `y`) in [-pi, pi], element by element over doubles and
/// matrices.
/// Example:
///     print(atan2(<1, 1, -1>, <1, -1, -1>));
void FnAtan2(ZuVALUE* rtn, ZuVALUE* pv, int) { TwoDoubles<Atan2>(rtn, pv); }

/// truncf(m)
/// Family: Mathematics
/// Element by element truncation towards zero, after first taking a value within a relative
/// 1e-12 (at most 1e-6) of an integer as that integer, so that 2.9999999999999996 from
/// rounding error gives 3.
/// Example:
///     println(trunc(2.9999999999999996), " ", truncf(2.9999999999999996));
///     print(truncf(<-1.5, 2.5>));
void FnTruncf(ZuVALUE* rtn, ZuVALUE* pv, int) { OneDouble<TruncFuzzy>(rtn, pv); }

}  // namespace zu::stdlib
