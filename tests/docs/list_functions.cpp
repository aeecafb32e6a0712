// Prints every function that zul registers, one a line: the name as a
// program calls it and its argument count (n, or -n for "n or more").
// The reference generator compares this list with the documented names,
// so it is taken from the function table itself, not from the sources.
#include <cstdio>
#include <string_view>

#include "value/function_table.h"
#include "zu.h"

int main() {
    // The tables of zul: ZuMainInit's and the drawing library's.
    ZuMainInit();
    ZuAddDrawLib();
    const int count = zu::value::FunctionCount();
    for (int i = 0; i < count; ++i) {
        const zu::value::FunctionEntry& entry = zu::value::FunctionAt(i);
        if (!entry.routine) continue;
        const std::string_view name = zu::value::DeclarationName(entry.declaration);
        std::printf("%.*s %d\n", static_cast<int>(name.size()), name.data(), entry.count);
    }
    ZuMainExit();
    return 0;
}
