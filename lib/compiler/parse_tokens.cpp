// The parser's token reader: one token of look-ahead over the scanner.
#include "compiler/parser.h"

#include "compiler/scanner.h"
#include "program/tokens.h"

namespace zu::compiler {
namespace tok = program::tok;

namespace {

// The token's text as the scanner holds it; strings may hold NUL bytes.
std::string scannedText() { return std::string(Text()); }

}  // namespace

int Next() {
    ParseState& s = State();
    ++s.taken;
    if (s.pushed != kNoToken) {
        const int t = s.pushed;
        s.pushed = kNoToken;
        s.text = std::move(s.pushedText);
        s.pushedText.clear();
        return t;
    }
    const int t = IZuScanToken();
    s.text = scannedText();
    return t;
}

int Peek() {
    ParseState& s = State();
    if (s.pushed == kNoToken) {
        s.pushed = IZuScanToken();
        s.pushedText = scannedText();
    }
    return s.pushed;
}

void Unread(int t) {
    ParseState& s = State();
    s.pushed = t;
    s.pushedText = s.text;
    --s.taken;  // what was read again is no progress
}

bool Accept(int t) {
    if (Peek() != t) return false;
    Next();
    return true;
}

bool Expect(int t) {
    const int found = Peek();
    if (found == t) {
        Next();
        return true;
    }
    ExpectedError(t, found);
    return false;
}

void SkipPast(int t) {
    for (int found = Next(); found != t && found != tok::Eof; found = Next()) {}
}

}  // namespace zu::compiler
