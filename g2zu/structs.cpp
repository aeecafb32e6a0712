// Gauss structs. A struct value becomes a Zu array with one element per
// member in the order of the definition; a member is read and assigned by
// its position. Zu arrays are copied on assignment, as Gauss structs are.
#include <algorithm>

#include "translator.h"

namespace g2zu {

// struct name { members } ;   or   struct name variable, ... ;
void Translator::struct_statement() {
    in_.next();  // struct
    Token type = in_.next();
    if (type.code != Tok::Ident) {
        messages_.error(Err::ExpectedButFound, gauss_spelling(Tok::Ident), token_name(type));
        in_.skip_to(Tok::Semicolon);
        return;
    }
    if (in_.peek().code == Tok::LBrace) {
        read_struct_definition(in_, type.text);
        std::string members;
        for (const StructMember& m : structs_[type.text]) members += (members.empty() ? "" : ", ") + m.name;
        put("// struct " + type.text + " { " + members + " } as an array");
        out_.flush();
        log_output("struct " + type.text + " written as an array of its members\n");
        return;
    }
    if (structs_.find(type.text) == structs_.end()) {
        messages_.error(Err::UndeclaredIdentifier, "struct " + type.text);
        in_.skip_to(Tok::Semicolon);
        return;
    }
    std::string init = struct_initialiser(type.text, 0);
    for (Token t = in_.next(); t.code != Tok::Semicolon && t.code != Tok::Eof; t = in_.next()) {
        if (t.code != Tok::Ident) continue;
        std::string name = symbols_.variable_name(t.text);
        if (in_proc_) {
            Symbols::Defined d =
                symbols_.define(t.text, Kind::Variable, symbols_.scope_start(), in_.in_include(), false);
            symbols_.at(d.index).struct_type = type.text;
            if (d.is_new) put("decl " + name + " = " + init + ";");
            continue;
        }
        bool known = known_variable(t.text);
        if (!known && !main_open_) {
            define_variable(t.text);
            put("decl " + name + " = " + init + ";");
        } else {
            if (!known) define_variable(t.text);
            open_main();
            put(name + " = " + init + ";");
        }
        symbols_.at(symbols_.find_global(t.text)).struct_type = type.text;
    }
}

// The value of a new struct: 0 for a matrix, "" for a string, an empty
// array for the array types, and nested structs in full.
std::string Translator::struct_initialiser(const std::string& type, int depth) const {
    auto it = structs_.find(type);
    if (it == structs_.end() || depth > 16) return "0";
    std::string init = "{";
    for (const StructMember& m : it->second) {
        if (init.size() > 1) init += ", ";
        if (!m.struct_type.empty())
            init += struct_initialiser(m.struct_type, depth + 1);
        else if (m.text)
            init += "\"\"";
        else if (m.list)
            init += "{}";
        else
            init += "0";
    }
    return init + "}";
}

// The position (from 1) of member in a struct of the type; with no type,
// the first struct that has such a member. 0 when there is none.
int Translator::member_index(const std::string& type, const std::string& member, std::string& member_type) const {
    for (const auto& [name, layout] : structs_) {
        if (!type.empty() && name != type) continue;
        auto it =
            std::find_if(layout.begin(), layout.end(), [&member](const StructMember& m) { return m.name == member; });
        if (it == layout.end()) continue;
        member_type = it->struct_type;
        return static_cast<int>(it - layout.begin()) + 1;
    }
    return 0;
}

// Does member stand at different positions in different structs? Then a
// value whose struct type is not known cannot be resolved for sure.
bool Translator::ambiguous_member(const std::string& member) const {
    int first = 0;
    for (const auto& [name, layout] : structs_) {
        std::string member_type;
        int index = member_index(name, member, member_type);
        if (index == 0) continue;
        if (first != 0 && index != first) return true;
        first = index;
    }
    return false;
}

// .member.member ... after a struct value: each becomes "[position]".
void Translator::member_access(std::string type) {
    while (in_.peek().code == Tok::DotWord) {
        std::string member = in_.peek().text.substr(1);
        std::string member_type;
        int index = member_index(type, member, member_type);
        if (index == 0 && !type.empty()) index = member_index("", member, member_type);
        if (index == 0) return;
        if (type.empty() && ambiguous_member(member))
            log_output("check member " + member + ": its struct is not known here\n");
        in_.next();
        put("[" + std::to_string(index) + "]");
        type = member_type;
    }
}

}  // namespace g2zu
