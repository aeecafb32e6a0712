// Size and type queries, bit operations and the version number.
/// @family Types and sizes
#include <cstddef>
#include <cstring>

#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::StringText;

namespace zu::stdlib {
namespace {

bool Is(const ZuVALUE* v, int type) { return value::TypeCode(v) == type && !value::IsNul(v); }

void SetFlag(ZuVALUE* rtn, bool flag) { ZuValSetInt(rtn, flag ? 1 : 0); }

// Whether the object's class, or a class it derives from, has the name.
// The base chain is followed through the global symbol table, at most once
// per symbol, so a damaged chain cannot loop.
bool ClassIsOrDerives(const ZuVALUE* object, const char* name) {
    const auto* entry = static_cast<const ZuNAMEDVALUE*>(object->w3.p);
    const ZuNAMEDVALUE* globals = ZuGetSymGloBase();
    const int count = ZuGetSymTabCount();
    for (int steps = 0; entry != nullptr && steps <= count; ++steps) {
        if (entry->name != nullptr && std::strcmp(entry->name, name) == 0) return true;
        const int base = entry->val.w2.i;
        entry = globals != nullptr && base >= 0 && base < count ? &globals[base] : nullptr;
    }
    return false;
}

template <typename Fold>
void BitFold(ZuVALUE* rtn, ZuVALUE* pv, int cArg, Fold fold) {
    if (ZuLibCheckType(ZU_INT, pv, 0, cArg - 1) == 0) return;
    int bits = value::IntOf(&pv[0]);
    for (int k = 1; k < cArg; ++k) bits = fold(bits, value::IntOf(&pv[k]));
    ZuValSetInt(rtn, bits);
}

}  // namespace

/// columns(a)
/// The number of columns of a matrix (or of an open matrix file), the length of a string or an
/// array, and 0 for an int, a double or any other value.
/// Example:
///     println(columns(<1,2,3;4,5,6>), " ", columns("abcd"), " ", columns({1, 2}), " ", columns(3));
void FnColumns(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, ZuValColumns(pv)); }
/// rows(a)
/// The number of rows of a matrix (or of an open matrix file), the length of a string or an
/// array, and 0 for an int, a double or any other value.
/// Example:
///     println(rows(<1,2,3;4,5,6>), " ", rows("abcd"), " ", rows({1, 2}), " ", rows(3));
void FnRows(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, ZuValRows(pv)); }
/// sizeof(a)
/// The same as `rows`: the number of rows of a matrix, the length of a string or an array,
/// 0 for a scalar.
/// Example:
///     println(sizeof(<1;2;3>), " ", sizeof("ab"), " ", sizeof(2.5));
void FnSizeof(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, ZuValRows(pv)); }
/// sizec(a)
/// The number of columns as `columns` gives it, except that an int or a double counts as 1.
/// Example:
///     println(sizec(<1,2,3;4,5,6>), " ", sizec("abcd"), " ", sizec(2.5));
void FnSizec(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, ZuValSizec(pv)); }
/// sizer(a)
/// The number of rows of a matrix; 1 for a string, an array, an int or a double.
/// Example:
///     println(sizer(<1,2,3;4,5,6>), " ", sizer("abcd"), " ", sizer(2.5));
void FnSizer(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, ZuValSizer(pv)); }
/// sizerc(a)
/// The number of elements: rows times columns of a matrix, the length of a string or an
/// array, 1 for an int or a double, 0 for other values.
/// Example:
///     println(sizerc(<1,2,3;4,5,6>), " ", sizerc("abcd"), " ", sizerc({1, "x"}), " ", sizerc(2));
void FnSizerc(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, ZuValSizerc(pv)); }

/// isarray(a)
/// 1 when `a` is an array, else 0.
/// Example:
///     println(isarray({1, 2}), " ", isarray(<1,2>));
void FnIsarray(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_ARRAY)); }
/// isdouble(a)
/// 1 when `a` is a double, else 0 (an int is not a double).
/// Example:
///     println(isdouble(2.5), " ", isdouble(2));
void FnIsdouble(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_DOUBLE)); }
/// isfile(a)
/// 1 when `a` is an open file (from `fopen`), else 0.
/// Example:
///     decl file = fopen("isfile.txt", "w");
///     println(isfile(file), " ", isfile("isfile.txt"));
///     fclose(file);
void FnIsfile(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_FILE)); }
/// isfunction(a)
/// 1 when `a` is a function, of the program or of the library, else 0.
/// Example:
///     println(isfunction(sumc), " ", isfunction("sumc"));
void FnIsfunction(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_FUNCTION) || Is(pv, ZU_INTFUNC)); }
/// isint(a)
/// 1 when `a` is an int, else 0 (a double with a whole value is not an int).
/// Example:
///     println(isint(2), " ", isint(2.0));
void FnIsint(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_INT)); }
/// ismatrix(a)
/// 1 when `a` is a matrix, else 0 (a scalar is not a matrix).
/// Example:
///     println(ismatrix(<1,2>), " ", ismatrix(1));
void FnIsmatrix(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_MATRIX)); }
/// isstring(a)
/// 1 when `a` is a string, else 0.
/// Example:
///     println(isstring("x"), " ", isstring(1));
void FnIsstring(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_STRING)); }

/// isclass(a [, name])
/// 1 when `a` is an object and, with `name` (a string), when its class is `name` or derives
/// from the class `name`; else 0. A class itself is not an object.
/// Example:
///     println(isclass(1), " ", isclass("Base"));
void FnIsclass(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 1 && !Is(&pv[1], ZU_STRING)) {
        ZuLibArgTypeError(1, ZU_STRING, value::TypeCode(&pv[1]));
        return;
    }
    // A class definition carries its member function table; an object not.
    if (!Is(pv, ZU_CLASS) || pv->w5.nv != nullptr) {
        SetFlag(rtn, false);
        return;
    }
    SetFlag(rtn, cArg < 2 || (StringText(&pv[1]) != nullptr && ClassIsOrDerives(pv, StringText(&pv[1]))));
}

/// binand(a, b, ...)
/// The bitwise and of the int arguments.
/// Example:
///     println(binand(12, 10), " ", binand(7, 6, 3));
void FnBinand(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    BitFold(rtn, pv, cArg, [](int a, int b) { return a & b; });
}

/// binor(a, b, ...)
/// The bitwise or of the int arguments.
/// Example:
///     println(binor(12, 10), " ", binor(1, 2, 4));
void FnBinor(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    BitFold(rtn, pv, cArg, [](int a, int b) { return a | b; });
}

/// zuversion()
/// The version of Zu as an int: 100 times the version number, so 340 for version 3.40.
/// Example:
///     println(zuversion() >= 340);
void FnZuversion(ZuVALUE* rtn, ZuVALUE*, int) { ZuValSetInt(rtn, IZuVersion()); }

}  // namespace zu::stdlib
