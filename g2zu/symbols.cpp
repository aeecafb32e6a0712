// The symbol table.
#include "symbols.h"

#include "messages.h"

namespace g2zu {

std::string zu_variable_name(std::string_view name) {
    // Zu keywords that are not Gauss keywords, sorted.
    static constexpr std::string_view kZuKeywords[] = {
        "array",  "case",   "char",   "class",     "const",    "decl",  "default",
        "delete", "double", "enum",   "extern",    "inline",   "namespace", "new",
        "operator", "short", "static", "switch",   "this",     "virtual",
    };
    for (std::string_view k : kZuKeywords)
        if (k == name) return "g_" + std::string(name);
    return std::string(name);
}

Symbols::Symbols(Messages& messages) : messages_(messages), records_(kCapacity + 10) {}

int Symbols::find(std::string_view name, int bound) const {
    for (int i = top_ - 1; i >= bound; --i)
        if (records_[static_cast<std::size_t>(i)].name == name) return i;
    return -1;
}

Symbols::Defined Symbols::define(std::string_view name, Kind kind, int bound, bool from_include,
                                 bool in_main_block) {
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
    Symbol& s = at(index);
    s = Symbol{};
    s.name = std::string(name);
    s.kind = kind;
    s.from_include = from_include;
    s.in_main_block = in_main_block;
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
    int keep = scope_start_;
    for (int i = scope_start_; i < top_; ++i) {
        Symbol& s = at(i);
        if (s.kind == Kind::Undeclared) {
            if (i != keep) at(keep) = std::move(s);
            ++keep;
        }
    }
    for (int i = keep; i < top_; ++i) at(i) = Symbol{};
    top_ = keep;
    scope_start_ = previous_start;
}

}  // namespace g2zu
