// The output head and the header file.
#include "layout.h"

#include <cctype>

#include "files.h"
#include "output.h"
#include "symbols.h"

namespace g2zu {

std::string guard_name(std::string_view header_file) {
    std::string guard = base_name(header_file);
    for (char& c : guard) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0) c = '_';
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return guard;
}

void write_output_head(Output& out, std::string_view gauss_name, const Stamp& stamp, std::string_view guard,
                       std::string_view header_file) {
    auto line = [&out](std::string_view text) {
        out.append(text);
        out.write_line();
    };
    line("// " + std::string(gauss_name) + " converted from Gauss to Zu by G2Zu at " + stamp.time + " on " +
         stamp.date);
    line("");
    line("#pragma array_base(1)");
    line("#include <zustd.h>");
    line("#include <g2zu.zu>");
    line("#define __" + std::string(guard) + "__");
    line("#include \"" + base_name(header_file) + "\"");
}

namespace {

std::string declaration(const Symbols& symbols, const Symbol& s) {
    std::string d = (s.replacement.empty() ? s.name : s.replacement) + "(";
    for (std::size_t i = 0; i < s.arguments.size(); ++i) {
        if (i > 0) d += ", ";
        if (i < s.const_flags.size() && s.const_flags[i]) d += "const ";
        d += symbols.variable_name(s.arguments[i]);
    }
    if (s.varargs) d += s.arguments.empty() ? std::string(kPackedArguments) : ", ...";
    return d + ");\n";
}

}  // namespace

void write_header(std::FILE* file, const Symbols& symbols, const Stamp& stamp, std::string_view guard) {
    std::string h = "// header file written by G2Zu at " + stamp.time + " on " + stamp.date + "\n\n";
    std::string defined;
    std::string external;
    for (int i = 0; i < symbols.top(); ++i) {
        const Symbol& s = symbols.at(i);
        if (s.kind != Kind::Variable || s.from_include) continue;
        std::string name = symbols.variable_name(s.name);
        if (s.in_main_block) defined += "decl " + name + ";\n";
        external += "extern decl " + name + ";\n";
    }
    if (!defined.empty())
        h += "#ifdef __" + std::string(guard) + "__\n\n" + defined + "\n#else\n\n" + external + "\n#endif //__" +
             std::string(guard) + "__\n\n";
    else
        h += external;
    for (int i = 0; i < symbols.top(); ++i) {
        const Symbol& s = symbols.at(i);
        if ((s.kind == Kind::Procedure || s.kind == Kind::KeywordProc) && !s.from_include && !s.external_only)
            h += declaration(symbols, s);
    }
    write_text(file, h);
}

}  // namespace g2zu
