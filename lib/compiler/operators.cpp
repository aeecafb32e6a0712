// The Zu operator scanner: longest match over one to three characters.
#include "compiler/scanner.h"

namespace zu::compiler {
namespace {

// The look-ahead character; at the end of input that is an error, since
// every operator that looks ahead needs an operand after it.
int LookAhead() {
    int c = ReadChar();
    if (c == -1) Report(ScanMessage::UnexpectedEof);
    return c;
}

// first followed by `second` is `pair`, else `single`.
int Either(int second, int pair, int single) {
    int c = LookAhead();
    if (c == second) return pair;
    UngetChar(c);
    return single;
}

struct Continuation {
    int next;
    int token;
};

// first followed by one of the continuations, else `single`.
int OneOf(std::initializer_list<Continuation> options, int single) {
    int c = LookAhead();
    for (const Continuation& o : options)
        if (c == o.next) return o.token;
    UngetChar(c);
    return single;
}

// After ".": `a` and then `b` completes `token`; otherwise both characters
// go back and the token is ".".
int DotPair(int a, int b, int token) {
    int c = ReadChar();
    if (c == b) return token;
    UngetChar(c);
    UngetChar(a);
    return tok::Dot;
}

int DotOperator() {
    int c = LookAhead();
    switch (c) {
    case '*': return Either('=', tok::DotStarAssign, tok::DotStar);
    case '/': return Either('=', tok::DotSlashAssign, tok::DotSlash);
    case '^': return tok::DotCaret;
    case ':': return tok::DotColon;
    case '?': return tok::DotQuery;
    case '\'': return tok::DotQuote;
    case '.': return DotPair('.', '.', tok::Ellipsis);
    case '=': return DotPair('=', '=', tok::DotEq);
    case '!': return DotPair('!', '=', tok::DotNe);
    case '&': return DotPair('&', '&', tok::DotAndAnd);
    case '|': return DotPair('|', '|', tok::DotOrOr);
    case '>': return Either('=', tok::DotGe, tok::DotGt);
    case '<': return Either('=', tok::DotLe, tok::DotLt);
    default: break;
    }
    UngetChar(c);
    // ".5" is a number, which the number scanner takes from here.
    return IsDigitChar(c) ? 0 : tok::Dot;
}

}  // namespace

int ScanZuOperator(int first) {
    switch (first) {
    case -1: return tok::Eof;
    case '!': return Either('=', tok::Ne, tok::Not);
    case '#': return tok::Hash;
    case '&': return Either('&', tok::AndAnd, tok::Amp);
    case '\'': return tok::Quote;
    case '(': return tok::LParen;
    case ')': return tok::RParen;
    case ',': return tok::Comma;
    case ';': return tok::Semicolon;
    case '?': return tok::Query;
    case '[': return tok::LBracket;
    case ']': return tok::RBracket;
    case '^': return tok::Caret;
    case '{': return tok::LBrace;
    case '}': return tok::RBrace;
    case '\\': return tok::Backslash;
    case '*': return OneOf({{'=', tok::StarAssign}, {'*', tok::StarStar}}, tok::Star);
    case '+': return OneOf({{'+', tok::PlusPlus}, {'=', tok::PlusAssign}}, tok::Plus);
    case '-': return OneOf({{'-', tok::MinusMinus}, {'=', tok::MinusAssign}, {'>', tok::Arrow}}, tok::Minus);
    case '/': return Either('=', tok::SlashAssign, tok::Slash);
    case ':': return Either(':', tok::ColonColon, tok::Colon);
    case '<': return OneOf({{'=', tok::Le}, {'<', tok::ShiftLeft}}, tok::Lt);
    case '=': return Either('=', tok::Eq, tok::Assign);
    case '>': return OneOf({{'=', tok::Ge}, {'>', tok::ShiftRight}}, tok::Gt);
    case '|': return OneOf({{'|', tok::OrOr}, {'=', tok::BarAssign}}, tok::Bar);
    case '~': return Either('=', tok::TildeAssign, tok::Tilde);
    case '.': return DotOperator();
    default: return 0;
    }
}

}  // namespace zu::compiler
