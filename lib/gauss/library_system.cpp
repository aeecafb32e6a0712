// The Gauss functions that reach the program's own globals by name, and
// the string comparison helper.
/// @family Gauss compatibility

#include "gauss/routines.h"

#include "stdlib/value_printer.h"
#include "value/value.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <string>
#include <string_view>

namespace zu::gauss {
namespace {

// The global "gauss::name" (the name in any case), or null.
ZuNAMEDVALUE* gaussGlobal(const ZuVALUE& name) {
    if ((name.t & ZU_TYPE_MASK) != ZU_STRING) return nullptr;
    std::string wanted = "gauss::";
    for (char ch : stdlib::StringChars(name)) wanted += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    ZuNAMEDVALUE* globals = ZuGetSymGloBase();
    const int count = ZuGetSymTabCount();
    for (int i = count - 1; globals && i >= 0; --i) {
        const int kind = globals[i].val.t & ZU_TYPE_MASK;
        if (globals[i].name && wanted == globals[i].name && kind != ZU_FUNCTION && kind != ZU_INTFUNC &&
            kind != ZU_CLASS)
            return &globals[i];
    }
    return nullptr;
}

}  // namespace

// The trap state is the support source's global gauss::s_trapFlag; the
// capital keeps Gauss code (lower-cased) from reaching it by name.
bool ErrorsTrapped() {
    ZuNAMEDVALUE* globals = ZuGetSymGloBase();
    const int count = ZuGetSymTabCount();
    for (int i = count - 1; globals && i >= 0; --i) {
        if (!globals[i].name || std::string_view(globals[i].name) != "gauss::s_trapFlag") continue;
        const ZuVALUE& v = globals[i].val;
        const int kind = v.t & ZU_TYPE_MASK;
        const double flag = kind == ZU_INT ? v.w1.i : kind == ZU_DOUBLE ? v.w1.d : 0;
        return std::fmod(std::trunc(flag), 2.0) != 0;
    }
    return false;
}

/// gauss::varget(name)
/// A copy of the value of the global variable whose name is the string name (in any case). A name that is no
/// global variable is a run-time error.
/// Example:
///     x = { 1 2, 3 4 };
///     y = varget("X");
///     print y;
void FnGaussVarget(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_STRING, pv, 0, 0) == 0) return;
    ZuNAMEDVALUE* g = gaussGlobal(pv[0]);
    if (!g) {
        const std::string text = "varget(\"" + std::string(stdlib::StringChars(pv[0])) + "\")";
        ZuRunError(12, text.c_str());
        return;
    }
    *rtn = g->val;
    rtn->t &= ~(ZU_FLAG_VAL | ZU_FLAG_GLO | ZU_FLAG_CON | ZU_FLAG_STA);
    ZuMakeByValue(rtn);
}

/// gauss::varput(x, name)
/// Stores a copy of x in the global variable whose name is the string name (in any case). Returns 1, or 0
/// when there is no such variable (or it is a constant), in which case nothing is stored.
/// Example:
///     x = 0;
///     print varput(1~2~3, "x") varput(5, "nosuchvariable");
///     print x;
void FnGaussVarput(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_STRING, pv, 1, 1) == 0) return;
    ZuNAMEDVALUE* g = gaussGlobal(pv[1]);
    if (!g || (g->val.t & ZU_FLAG_CON)) {
        ZuValSetInt(rtn, 0);
        return;
    }
    ZuVALUE copy = pv[0];
    copy.t &= ~(ZU_FLAG_VAL | ZU_FLAG_GLO | ZU_FLAG_CON | ZU_FLAG_STA | ZU_FLAG_ARG);
    ZuMakeByValue(&copy);
    const int keep = g->val.t & (ZU_FLAG_GLO | ZU_FLAG_STA);
    ZuFreeValue(&g->val);
    g->val = copy;
    g->val.t |= keep;
    ZuValSetInt(rtn, 1);
}

namespace {

// The Gauss type code of a value: 6 a matrix or scalar, 13 a string, 15 an
// array of strings, 21 any other array; missing for anything else.
double typeCode(const ZuVALUE& v) {
    switch (value::TypeCode(&v)) {
    case ZU_INT:
    case ZU_DOUBLE:
    case ZU_MATRIX: return 6;
    case ZU_STRING: return 13;
    case ZU_ARRAY:
        for (int k = 0; k < value::ItemCount(&v); ++k)
            if (value::TypeCode(&value::Items(&v)[k]) != ZU_STRING) return 21;
        return 15;
    default: return NAN;
    }
}

}  // namespace

/// gauss::__typecv__(names)
/// The Gauss type codes of the global variables named by names (a string, or an array of strings), as a
/// column: 6 for a matrix or scalar, 13 for a string, 15 for an array of strings, 21 for another array, and a
/// missing value for a name that is no variable. The `typecv` procedure calls it.
/// Example:
///     x = { 1 2 };
///     s = "text";
///     print __typecv__("x") __typecv__("s") __typecv__("nosuchvariable");
void FnGaussTypecv(ZuVALUE* rtn, ZuVALUE* pv, int) {
    const bool list = (pv[0].t & ZU_TYPE_MASK) == ZU_ARRAY;
    if (!list && ZuLibCheckType(ZU_STRING, pv, 0, 0) == 0) return;
    const int n = list ? value::ItemCount(&pv[0]) : 1;
    ZuLibValMatMalloc(rtn, n, 1);
    for (int i = 0; i < n; ++i) {
        const ZuVALUE& name = list ? value::Items(&pv[0])[i] : pv[0];
        const ZuNAMEDVALUE* g = gaussGlobal(name);
        value::MatrixData(rtn)[i][0] = g ? typeCode(g->val) : NAN;
    }
}

/// gauss::__strcmp__(a, b)
/// Compares the strings a and b byte by byte: -1, 0 or 1 as a sorts before, equal to or after b. The string
/// comparison operators of Gauss code use it.
/// Example:
///     print __strcmp__("abc", "abd") __strcmp__("abc", "abc") __strcmp__("b", "abc");
void FnGaussStrcmp(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_STRING, pv, 0, 1) == 0) return;
    const int c = stdlib::StringChars(pv[0]).compare(stdlib::StringChars(pv[1]));
    ZuValSetInt(rtn, c < 0 ? -1 : c > 0 ? 1 : 0);
}

}  // namespace zu::gauss
