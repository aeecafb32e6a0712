// The hash index beside the symbol table: finds the records of a name
// without scanning the table.
//
// For each name it keeps the newest record that holds it, and for each
// record the next older record of the same name, so a name's records form
// a chain from the newest down: the order of every lookup, in which a
// later record hides an earlier one.  The table stays the one place that
// holds names and order; the index only points into it, by position.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zu::program {

class NameIndex {
public:
    void clear();
    // Files record `index` under a name, in its place in the chain.  False,
    // with nothing filed, when it is filed there already or the chain is
    // broken: the index is stale and must be rebuilt.
    [[nodiscard]] bool add(std::string_view name, int index);
    // Takes record `index` out of its name's chain, wherever it is in it;
    // a record that is not filed under the name is left alone.
    void remove(std::string_view name, int index);
    // The newest record of a name, or -1.
    int newest(std::string_view name) const;
    // The next older record of the same name as `index`, or -1.  Chains
    // only ever go down, which ends every walk along them.
    int older(int index) const;

private:
    // Lets a string_view look up a std::string key without a copy.
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };

    // The keys are copies: a stale entry (a name changed behind the
    // table's back) can give a wrong position, which the table checks,
    // but never a read of freed memory.
    std::unordered_map<std::string, int, Hash, std::equal_to<>> newest_;
    std::vector<int> older_;  // by record position; -1 ends a chain
};

}  // namespace zu::program
