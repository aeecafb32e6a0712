// The exported interface of the symbol and literal tables.  Fatal table
// faults have been reported when TableFull arrives here; it never crosses
// into C, the functions return null instead.
#include "program/literals.h"
#include "program/symbols.h"
#include "program/symbols_report.h"

#include <cstdint>

using namespace zu::program;

namespace {

ZuNAMEDVALUE* recordAt(int index) { return index < 0 ? nullptr : &symbolTable()[index]; }

// The index that a pointer one past a record stands for, or -1.
int endIndex(const ZuNAMEDVALUE* end) {
    SymbolTable& table = symbolTable();
    if (!end) return table.count();
    if (table.count() > 0 && end == &table[table.count() - 1] + 1) return table.count();
    return table.indexOf(end);
}

}  // namespace

extern "C" {

ZU_API void ZuSetSymbolSize(int n) { setSymbolSize(n); }

ZU_API ZuNAMEDVALUE* ZuGetSymGloBase(void) { return symbolTable().records(); }
ZU_API int ZuGetSymTabCount(void) { return symbolTable().count(); }

ZU_API ZuVALUE* ZuGetLitStack(void) { return literalTable().values(); }
ZU_API int ZuGetLitStackCount(void) { return literalTable().count(); }
ZU_API void ZuFreeLiteralValues(void) { literalTable().freeValues(); }

ZU_API ZuNAMEDVALUE* ZuSymAppendGlobal(const char* name, int flags) {
    if (!name || !symbolTable().isOpen()) return nullptr;
    try {
        return recordAt(symbolTable().declare(name, flags, 0).index);
    } catch (const TableFull&) {
        return nullptr;
    }
}

ZU_API ZuNAMEDVALUE* ZuSymFindGlobal(const char* name, ZuNAMEDVALUE* end, int skip) {
    if (!name) return nullptr;
    const int last = endIndex(end);
    if (last < 0) return nullptr;
    return recordAt(symbolTable().find(name, 0, last, skip != 0));
}

ZU_API ZuNAMEDVALUE* ZuSymFindGlobalFunction(const char* name) {
    return name ? recordAt(symbolTable().findFirstOfKind(name, ZU_FUNCTION)) : nullptr;
}

ZU_API ZuNAMEDVALUE* ZuSymFindClass(const char* name) {
    return name ? recordAt(symbolTable().findFirstOfKind(name, ZU_CLASS)) : nullptr;
}

ZU_API ZuNAMEDVALUE* ZuSymMoveGlobal(ZuNAMEDVALUE* record) {
    if (!record || !symbolTable().isOpen()) return nullptr;
    try {
        return recordAt(symbolTable().moveIn(*record));
    } catch (const TableFull&) {
        return nullptr;
    }
}

}  // extern "C"
