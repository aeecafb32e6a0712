// The symbol table.
#include "symbols.h"

#include <algorithm>

#include "messages.h"

namespace g2zu {

std::string zu_variable_name(std::string_view name) {
    // Zu keywords that are not Gauss keywords, sorted.
    static constexpr std::string_view kZuKeywords[] = {
        "array",  "case",   "char",      "class", "const",    "decl",  "default", "delete", "double", "enum",
        "extern", "inline", "namespace", "new",   "operator", "short", "static",  "switch", "this",   "virtual",
    };
    for (std::string_view k : kZuKeywords)
        if (k == name) return "g_" + std::string(name);
    return std::string(name);
}

Symbols::Symbols(Messages& messages) : messages_(messages), records_(512) {}

int Symbols::find(std::string_view name, int bound) const {
    auto it = index_.find(name);
    if (it == index_.end() || it->second.empty()) return -1;
    int top = it->second.back();
    return top >= bound ? top : -1;
}

void Symbols::unindex(int index) {
    auto it = index_.find(at(index).name);
    if (it == index_.end()) return;
    std::vector<int>& places = it->second;
    places.erase(std::remove(places.begin(), places.end(), index), places.end());
    if (places.empty()) index_.erase(it);
}

Symbols::Defined Symbols::define(std::string_view name, Kind kind, int bound, bool from_include, bool in_main_block) {
    int found = find(name, bound);
    if (found >= 0) {
        Symbol& s = at(found);
        // A name called before its definition is defined now, not a duplicate.
        if (s.kind == Kind::Undeclared && kind != Kind::Undeclared) {
            s.kind = kind;
            return {found, true};
        }
        messages_.error(Err::DuplicateIdentifier, name);
        return {found, false};
    }
    int index = top_;
    if (static_cast<std::size_t>(index) >= records_.size()) records_.resize(records_.size() * 2);
    if (!at(index).name.empty()) unindex(index);  // the last record, used again
    Symbol& s = at(index);
    s = Symbol{};
    s.name = std::string(name);
    s.kind = kind;
    s.from_include = from_include;
    s.in_main_block = in_main_block;
    index_[s.name].push_back(index);
    if (top_ + 1 > kCapacity)
        messages_.error(Err::SymbolTableFull);  // the last record is used again
    else
        ++top_;
    return {index, true};
}

int Symbols::enter_scope() {
    int previous = scope_start_;
    scope_start_ = top_;
    return previous;
}

void Symbols::leave_scope(int previous_start) {
    for (int i = scope_start_; i < top_; ++i) unindex(i);
    int keep = scope_start_;
    for (int i = scope_start_; i < top_; ++i) {
        Symbol& s = at(i);
        if (s.kind == Kind::Undeclared) {
            if (i != keep) at(keep) = std::move(s);
            index_[at(keep).name].push_back(keep);
            ++keep;
        }
    }
    for (int i = keep; i < top_; ++i) at(i) = Symbol{};
    top_ = keep;
    scope_start_ = previous_start;
}

}  // namespace g2zu
