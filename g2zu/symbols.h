// The converter's symbol table: a stack of records with procedure scopes.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace g2zu {

class Messages;

enum class Kind {
    Variable = 0,
    Procedure = 1,    // from proc or fn
    Conversion = 2,   // an entry of the conversion table
    KeywordProc = 3,  // from keyword
    Undeclared = 4,   // a name met in a call before any definition
};

struct Symbol {
    std::string name;  // lower-case Gauss name
    Kind kind = Kind::Variable;
    bool from_include = false;           // made while an included file was read
    bool in_main_block = false;          // made while a main block was open
    int argument_count = 0;              // formal arguments, at most kMaxArguments
    int return_count = 0;                // values a procedure returns
    std::vector<std::string> arguments;  // every formal name, for the header
    std::vector<bool> const_flags;       // argument passed as const (first 20 only)
    bool unsupported = false;            // conversion entry without a Zu stand-in
    std::string replacement;             // Zu name written in calls, when not empty
    bool varargs = false;                // procedure takes optional arguments (...)
    bool predeclared = false;            // procedure known from the first pass, body not yet read
    bool external_only = false;          // variable named by external in a procedure, not defined here
    std::string struct_type;             // a variable holding a Gauss struct: its type
    bool string_array = false;           // given a list of words or strings by let or
                                         // declare: a Zu array, which has no transpose
};

// The one argument of a procedure whose arguments are all optional (Zu
// wants a fixed argument before "..."): its calls pass them as one array.
inline constexpr std::string_view kPackedArguments = "g2zu_args";

// The name a Gauss variable gets in Zu: a Zu keyword cannot name a variable,
// so it takes the prefix "g_".
std::string zu_variable_name(std::string_view name);

class Symbols {
public:
    // The table grows as names come; this bound only keeps a runaway input
    // from taking all memory ("symbol table full").
    static constexpr int kCapacity = 200000;
    static constexpr int kMaxArguments = 20;

    explicit Symbols(Messages& messages);

    // Index of the record named name, searching from the top down to bound.
    int find(std::string_view name, int bound) const;
    int find_global(std::string_view name) const { return find(name, base_); }
    int find_local(std::string_view name) const { return find(name, scope_start_); }

    struct Defined {
        int index;
        bool is_new;  // false: an existing record was returned unchanged
    };
    // Defines name down to bound; a duplicate is reported and returned as is,
    // except that an undeclared-call record is taken over.
    Defined define(std::string_view name, Kind kind, int bound, bool from_include, bool in_main_block);

    Symbol& at(int index) { return records_[static_cast<std::size_t>(index)]; }
    const Symbol& at(int index) const { return records_[static_cast<std::size_t>(index)]; }

    // Names of the Zu library that a Gauss procedure may not take (the
    // conversion table lists them); such a procedure is renamed.
    void add_reserved(std::string name) { reserved_.insert(std::move(name)); }
    bool is_reserved(std::string_view name) const { return reserved_.find(name) != reserved_.end(); }
    // The name a Gauss variable gets in Zu: with the prefix "g_" when it is a
    // Zu keyword or a name of the Zu library, which a stand-in may call in
    // the same function (a variable named unit would hide unit()).
    std::string variable_name(std::string_view name) const {
        return is_reserved(name) ? "g_" + std::string(name) : zu_variable_name(name);
    }

    int base() const { return base_; }
    int top() const { return top_; }
    int scope_start() const { return scope_start_; }

    // Locals are defined above the scope start of the current procedure.
    int enter_scope();
    // Drops the records above the scope start; names met only in calls stay,
    // so an undeclared name is reported once per run.
    void leave_scope(int previous_start);

private:
    Messages& messages_;
    std::vector<Symbol> records_;  // grown on demand, never past kCapacity + 1
    int top_ = 0;
    int base_ = 0;
    int scope_start_ = 0;
    std::set<std::string, std::less<>> reserved_;
    // Where each name stands in the table, lowest first: a look-up takes the
    // last place, the record nearest the top.
    std::map<std::string, std::vector<int>, std::less<>> index_;
    void unindex(int index);
};

}  // namespace g2zu
