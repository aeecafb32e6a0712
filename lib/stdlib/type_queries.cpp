// Size and type queries, bit operations and the version number.
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

void FnColumns(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, ZuValColumns(pv)); }
void FnRows(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, ZuValRows(pv)); }
void FnSizeof(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, ZuValRows(pv)); }
void FnSizec(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, ZuValSizec(pv)); }
void FnSizer(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, ZuValSizer(pv)); }
void FnSizerc(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuValSetInt(rtn, ZuValSizerc(pv)); }

void FnIsarray(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_ARRAY)); }
void FnIsdouble(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_DOUBLE)); }
void FnIsfile(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_FILE)); }
void FnIsfunction(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_FUNCTION) || Is(pv, ZU_INTFUNC)); }
void FnIsint(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_INT)); }
void FnIsmatrix(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_MATRIX)); }
void FnIsstring(ZuVALUE* rtn, ZuVALUE* pv, int) { SetFlag(rtn, Is(pv, ZU_STRING)); }

// isclass(v) and isclass(v, "name"): an object, and of that class or one
// derived from it.
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

void FnBinand(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    BitFold(rtn, pv, cArg, [](int a, int b) { return a & b; });
}

void FnBinor(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    BitFold(rtn, pv, cArg, [](int a, int b) { return a | b; });
}

void FnZuversion(ZuVALUE* rtn, ZuVALUE*, int) { ZuValSetInt(rtn, IZuVersion()); }

}  // namespace zu::stdlib
