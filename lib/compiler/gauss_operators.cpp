// The ZuGauss operator scanner.  The same longest match as in Zu mode, but
// a look-ahead that completes no operator is simply read again (a Gauss
// file may end right after ";"), and the dot operators include words.
#include "compiler/scanner.h"

#include <string_view>

namespace zu::compiler {
namespace {

// Reads the next character; if it is `want` the result is `yes`, else the
// character goes back and the result is `no`.
int IfNext(int want, int yes, int no) {
    int c = ReadChar();
    if (c == want) return yes;
    UngetChar(c);
    return no;
}

// The comparison after "$" or ".$": "<" "<=" "==" ">=" ">" "/=" map to
// the six codes from `lt` on, in the order of tokens.def.  0 when none
// matches; every character read is then pushed back.
int StringComparison(int lt) {
    const int le = lt + 1, eq = lt + 2, ge = lt + 3, gt = lt + 4, ne = lt + 5;
    int c = ReadChar();
    switch (c) {
    case '<': return IfNext('=', le, lt);
    case '>': return IfNext('=', ge, gt);
    case '=':
    case '/': {
        int d = ReadChar();
        if (d == '=') return c == '=' ? eq : ne;
        UngetChar(d);
        break;
    }
    default: break;
    }
    UngetChar(c);
    return 0;
}

int DollarOperator() {
    int c = ReadChar();
    if (c == '+') return tok::StrJoin;
    if (c == '~') return tok::StrJoinV;
    if (c == '|') return tok::StrJoinH;
    UngetChar(c);
    int cmp = StringComparison(tok::StrLt);
    return cmp != 0 ? cmp : tok::Dollar;
}

// Takes one more letter of a word operator; anything else goes back, so a
// short word never swallows the character after it.  The letters taken
// stay in the token's text (".xva" of "p.xval"), so that the parser can
// still read a structure's member there.
void TakeLetter() {
    int c = GetChar();
    if (IsLetterChar(c))
        AppendText(c);
    else
        UngetChar(c);
}

// ".ge"/".gt" and ".le"/".lt": "e" gives the first, any other letter the
// second.
int SecondLetterE(int withE, int other) {
    int c = GetChar();
    if (IsLetterChar(c))
        AppendText(c);
    else
        UngetChar(c);
    return LowerChar(c) == 'e' ? withE : other;
}

// ".": `letter` (already read) starts a word operator, recognised by its
// first letters; 0 when it starts none (the letter is then pushed back).
int DotWord(int letter) {
    const int lower = LowerChar(letter);
    if (std::string_view("aoxglne").find(static_cast<char>(lower)) == std::string_view::npos) return 0;
    AppendText(letter);
    switch (lower) {
    case 'a':
        TakeLetter();
        TakeLetter();
        return tok::DotAndAnd;
    case 'o': TakeLetter(); return tok::DotOrOr;
    case 'x':
        TakeLetter();
        TakeLetter();
        return tok::GDotXor;
    case 'g': return SecondLetterE(tok::DotGe, tok::DotGt);
    case 'l': return SecondLetterE(tok::DotLe, tok::DotLt);
    case 'n': {
        int c = GetChar();
        if (IsLetterChar(c))
            AppendText(c);
        else
            UngetChar(c);
        if (LowerChar(c) == 'e') return tok::DotNe;
        TakeLetter();
        return tok::GDotNot;
    }
    default: {  // 'e'
        TakeLetter();
        int c = GetChar();
        if (LowerChar(c) == 'v') {
            AppendText(c);
            return tok::GDotEqv;
        }
        UngetChar(c);
        return tok::DotEq;
    }
    }
}

int DotOperator() {
    int c = ReadChar();
    switch (c) {
    case '\'': return tok::DotQuote;
    case '^': return tok::DotCaret;
    case '*': return IfNext('.', tok::StarStar, tok::DotStar);
    case '>': return IfNext('=', tok::DotGe, tok::DotGt);
    case '<': return IfNext('=', tok::DotLe, tok::DotLt);
    case '/': return IfNext('=', tok::DotNe, tok::DotSlash);
    case '=': {
        int d = ReadChar();
        if (d == '=') return tok::DotEq;
        UngetChar(d);
        break;
    }
    case '$': {
        int cmp = StringComparison(tok::DotStrLt);
        if (cmp != 0) return cmp;
        break;
    }
    default:
        if (IsLetterChar(c)) {
            if (int word = DotWord(c)) return word;
        }
        break;
    }
    UngetChar(c);
    return IsDigitChar(c) ? 0 : tok::Dot;
}

}  // namespace

int ScanGaussOperator(int first) {
    switch (first) {
    case -1: return tok::Eof;
    case '!': return tok::Bang;
    case '#': return tok::Hash;
    case '%': return tok::Percent;
    case '&': return tok::Amp;
    case '\'': return tok::Quote;
    case '(': return tok::LParen;
    case ')': return tok::RParen;
    case ',': return tok::Comma;
    case '+': return tok::Plus;
    case '-': return tok::Minus;
    case '?': return tok::Query;
    case '[': return tok::LBracket;
    case ']': return tok::RBracket;
    case '{': return tok::LBrace;
    case '}': return tok::RBrace;
    case '|': return tok::Bar;
    case '~': return tok::Tilde;
    case '\\': return tok::Backslash;
    case '^': return tok::DotCaret;
    case '*': return IfNext('~', tok::StarTilde, tok::Star);
    case '/': return IfNext('=', tok::Ne, tok::Slash);
    case ':': return IfNext(':', tok::ColonColon, tok::Colon);
    case ';': return IfNext(';', tok::SemiSemi, tok::Semicolon);
    case '<': {
        int c = ReadChar();
        if (c == '=') return tok::Le;
        if (c == '<') return tok::ShiftLeft;
        UngetChar(c);
        return tok::Lt;
    }
    case '=': return IfNext('=', tok::Eq, tok::Assign);
    case '>': {
        int c = ReadChar();
        if (c == '=') return tok::Ge;
        if (c == '>') return tok::ShiftRight;
        UngetChar(c);
        return tok::Gt;
    }
    case '$': return DollarOperator();
    case '.': return DotOperator();
    default: return 0;
    }
}

}  // namespace zu::compiler
