// Names of the local variables of compiled code, by slot and code range.
//
// The run-time error "variable has no value" names the variable.  Code
// compiled for the debugger carries the names in ELT instructions; plain
// code does not, so the compiler records here, for each declared local,
// its frame slot and the code addresses where the declaration is in
// scope.  The table lives beside the code buffer and is not saved in
// object files: code loaded from one reports the error without a name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zu::program {

class LocalNames {
public:
    // The local in `slot` is called `name` from code address `from` on.
    // The emitter may still rewrite the code after its last jump target,
    // so the compiler passes that target, not the current size.
    void declare(int slot, std::string_view name, int from);
    // The locals in slots from `firstSlot` up go out of scope at `at`.
    void end(int firstSlot, int at);
    // Forgets the declarations of code at or above `address` (roll-back).
    void dropFrom(int address);
    void clear();

    // The name of the local in `slot` at code address `address`, or null.
    const char* find(int slot, int address) const;

private:
    struct Range {
        int slot;
        int from;
        int to;  // first address out of scope; -1 while open
        std::string name;
    };
    std::vector<Range> ranges_;
    std::vector<std::size_t> open_;  // ranges still in scope, in slot order
    std::vector<int> slot_ends_;     // per slot, where its last range ended
};

}  // namespace zu::program
