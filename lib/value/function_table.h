// The table of internal (library) functions: sorted by name, at most
// kMaxFunctions entries, filled at start-up and used by every link.
#ifndef ZU_VALUE_FUNCTION_TABLE_H
#define ZU_VALUE_FUNCTION_TABLE_H

#include <span>
#include <string_view>

#include "zu.h"

namespace zu::value {

inline constexpr int kMaxFunctions = 512;

// One entry as the linker binds it into a symbol.
struct FunctionEntry {
    const char* declaration;  // the table's own copy, alive until ZuLibFreeFunctions
    ZuLIBFUNC routine;        // may be null: then nothing can call it
    int count;                // n arguments, or -n for "n or more"
};

// One function of a library family's registration list: its declaration
// ("cc$name": one 'c' per argument), its routine and whether it takes that
// many arguments or more.
struct LibraryFunction {
    const char* declaration;
    ZuLIBFUNC routine;
    bool atLeast;
};

// Enters every function of a list into the table, in list order.
void RegisterFunctions(std::span<const LibraryFunction> list);

// The entry of a name (the text after the `$`), or null.
[[nodiscard]] const FunctionEntry* FindFunction(std::string_view name);

[[nodiscard]] int FunctionCount();
// The entries in name order, 0 <= i < FunctionCount().
[[nodiscard]] const FunctionEntry& FunctionAt(int i);

// The name that SZuIntFunc reports while a library routine runs.  The text
// is not copied: the caller keeps it alive while it is set (the name part
// of a table declaration is what the interpreter passes).
void SetRunningFunction(const char* name);

// The name part of a declaration: the text after the first `$`, or the
// whole text when there is none.
[[nodiscard]] std::string_view DeclarationName(const char* declaration);

}  // namespace zu::value

#endif
