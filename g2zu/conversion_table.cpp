// Loading the conversion table file.
//
//   [!] "gauss" [= "zu"] [proc|keyword [(n)] [= name(args)]] [;]
//   reserved "zu" "zu" ... ;
//   global "gauss" "gauss" ... ;
//
// "!" marks a function without a Zu stand-in; the proc clause gives the
// number of values it returns (1 when no count is given, 0 without clause).
#include "conversion_table.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <unistd.h>

#include "files.h"
#include "messages.h"
#include "scanner.h"
#include "symbols.h"

namespace g2zu {
namespace {

bool is_zu_name(const std::string& s) {
    if (s.empty() || std::isdigit(static_cast<unsigned char>(s.front())) != 0) return false;
    for (char c : s)
        if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '_' && c != ':') return false;
    return s.size() <= kNameLimit;
}

bool read_string(Scanner& in, Messages& messages, std::string& text) {
    Token t = in.next();
    if (t.code != Tok::String) {
        messages.error(Err::ExpectedButFound, gauss_spelling(Tok::String), token_name(t));
        return false;
    }
    text = t.text;
    return true;
}

// proc [(n)] [= name(anything)] : the number of returned values.
bool read_proc_clause(Scanner& in, Messages& messages, int& returns) {
    returns = 1;
    if (in.accept(Tok::LParen)) {
        Token n = in.next();
        int value = 0;
        auto [end, ec] = std::from_chars(n.text.data(), n.text.data() + n.text.size(), value);
        (void)end;
        if (n.code != Tok::Integer || ec != std::errc() || value > 1000) {
            messages.error(Err::ExpectedButFound, gauss_spelling(Tok::Integer), token_name(n));
            return false;
        }
        returns = value;
        if (!in.expect(Tok::RParen)) return false;
    }
    if (in.accept(Tok::Assign)) {
        Token f = in.next();
        if (f.code != Tok::Ident) {
            messages.error(Err::ExpectedButFound, gauss_spelling(Tok::Ident), token_name(f));
            return false;
        }
        if (!in.expect(Tok::LParen) || !in.skip_to(Tok::RParen)) return false;
    }
    return true;
}

// reserved "name" ... ; : Zu library names a Gauss procedure may not take.
bool load_reserved(Scanner& in, Symbols& symbols, Messages& messages) {
    in.next();
    while (in.peek().code == Tok::String) {
        std::string name = in.next().text;
        if (!is_zu_name(name)) {
            messages.error(Err::UnexpectedSymbol, name);
            return false;
        }
        symbols.add_reserved(std::move(name));
    }
    return in.expect(Tok::Semicolon);
}

// global "name" ... ; : Gauss globals that the support file declares (the
// options of its procedures); a program assigns them without declaring.
bool load_globals(Scanner& in, Symbols& symbols, Messages& messages) {
    in.next();
    while (in.peek().code == Tok::String) {
        std::string name = in.next().text;
        if (!is_zu_name(name)) {
            messages.error(Err::UnexpectedSymbol, name);
            return false;
        }
        if (!symbols.define(name, Kind::Variable, symbols.base(), true, false).is_new) return false;
    }
    return in.expect(Tok::Semicolon);
}

bool load_entry(Scanner& in, Symbols& symbols, Messages& messages) {
    if (in.peek().code == Tok::Ident && in.peek().text == "reserved") return load_reserved(in, symbols, messages);
    if (in.peek().code == Tok::Ident && in.peek().text == "global") return load_globals(in, symbols, messages);
    bool unsupported = in.accept(Tok::Bang);
    std::string gauss;
    if (!read_string(in, messages, gauss)) return false;
    std::string zu;
    if (in.accept(Tok::Assign)) {
        if (!read_string(in, messages, zu)) return false;
        if (!is_zu_name(zu)) {
            messages.error(Err::UnexpectedSymbol, zu);
            return false;
        }
    }
    int returns = 0;
    if ((in.accept(Tok::Proc) || in.accept(Tok::Keyword)) && !read_proc_clause(in, messages, returns)) return false;
    in.accept(Tok::Semicolon);
    Symbols::Defined d = symbols.define(gauss, Kind::Conversion, symbols.base(), false, false);
    if (!d.is_new) return false;
    Symbol& s = symbols.at(d.index);
    s.unsupported = unsupported;
    s.replacement = zu;
    s.return_count = returns;
    return true;
}

}  // namespace

std::string find_conversion_table(const char* program) {
    std::string beside = replace_extension(normalise_name(program != nullptr ? program : ""), ".cvt");
    if (program != nullptr && file_exists(beside)) return beside;
    if (file_exists("g2zu.cvt")) return "g2zu.cvt";
    char exe[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) {
        std::string path = replace_extension(std::string(exe, static_cast<std::size_t>(n)), ".cvt");
        if (file_exists(path)) return path;
    }
    return "g2zu.cvt";
}

bool load_conversion_table(Scanner& in, Symbols& symbols, Messages& messages) {
    int before = messages.errors();
    while (in.peek().code != Tok::Eof)
        if (!load_entry(in, symbols, messages) || messages.errors() > before) return false;
    return messages.errors() == before;
}

}  // namespace g2zu
