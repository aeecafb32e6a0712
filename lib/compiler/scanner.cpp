// The scanner: characters to raw tokens, the implicit multiplication after
// a transpose, and the exported entry points of the scanner.
#include "compiler/scanner.h"

#include <string>

#include "zu.h"

namespace zu::compiler {

using program::FindKeyword;
using program::GaussKeywords;
using program::ZuKeywords;

ScanState& Scan() {
    static ScanState state;
    return state;
}

// ---- token text -----------------------------------------------------------

void ClearText() {
    ScanState& s = Scan();
    s.textLength = 0;
    s.text[0] = '\0';
    s.textOverflow = false;
}

void AppendText(int c) {
    ScanState& s = Scan();
    if (s.textLength >= kTokenTextMax) {
        s.textOverflow = true;
        return;
    }
    s.text[static_cast<std::size_t>(s.textLength++)] = static_cast<char>(c);
    s.text[static_cast<std::size_t>(s.textLength)] = '\0';
}

void SetText(std::string_view text) {
    ClearText();
    for (char c : text) AppendText(static_cast<unsigned char>(c));
}

void FinishText() {
    ScanState& s = Scan();
    if (!s.textOverflow) return;
    s.textOverflow = false;
    Report(ScanMessage::SymbolTooLong);
}

std::string_view Text() {
    const ScanState& s = Scan();
    return {s.text.data(), static_cast<std::size_t>(s.textLength)};
}

void ReadRun(int first) {
    const bool lower = ZuIsCaseInsensitive() != 0;
    int c = first;
    do {
        AppendText(lower ? LowerChar(c) : c);
        c = GetChar();
    } while (IsRunChar(c));
    UngetChar(c);
    FinishText();
}

// ---- raw tokens -------------------------------------------------------------

namespace {

// Skips blanks (and Ctrl-Z); true when any were skipped.  The first
// character after them is in `c`.
bool SkipBlanks(int& c) {
    bool skipped = false;
    c = ReadChar();
    while (IsSpaceChar(c) || c == 26) {
        skipped = true;
        c = ReadChar();
    }
    return skipped;
}

int KeywordCode(std::string_view run) {
    if (!Scan().gauss) return FindKeyword(ZuKeywords(), run);
    std::string lower(run);
    for (char& ch : lower) ch = static_cast<char>(LowerChar(ch));
    return FindKeyword(GaussKeywords(), lower);
}

// A name that stands for a define's value starts the value's expansion.
bool ExpandDefine(int first, bool fromReplacement) {
    const ScanState& s = Scan();
    if (!s.defineHasValue || fromReplacement || IsDigitChar(first)) return false;
    const DefineSlot* d = FindDefine(Text());
    if (d == nullptr || !d->value) return false;
    StartReplacement(*d->value);
    return true;
}

}  // namespace

int RawToken() {
    ScanState& s = Scan();
    for (;;) {
        int c = 0;
        const bool skipped = SkipBlanks(c);
        if (skipped && s.spaceMode && !s.inDirective) {
            UngetChar(c);
            return tok::Space;
        }
        ClearText();
        if (c == '"') {
            ScanStringLiteral();
            return tok::String;
        }
        if (IsRunChar(c)) {
            // A name read from a replacement text is never replaced again, so
            // defines that name each other cannot loop.
            const bool fromReplacement = s.replacementActive;
            ReadRun(c);
            if (ExpandDefine(c, fromReplacement)) continue;
            if (int kw = KeywordCode(Text())) return kw;
        } else {
            if (c != -1) AppendText(c);
            int op = s.gauss ? ScanGaussOperator(c) : ScanZuOperator(c);
            if (op == tok::Eof) {
                if (s.includeDepth < 0) return tok::Eof;
                PopInclude();
                continue;
            }
            if (op != 0) return op;
        }
        if (int t = ScanNumberOrIdentifier()) return t;
        Report(ScanMessage::Unrecognized, Text());
    }
}

}  // namespace zu::compiler

// ---- exported entry points -----------------------------------------------

using namespace zu::compiler;

extern "C" {

ZU_API int FZuScanInit(const char* sourceName) {
    ScanState& s = Scan();
    ResetSources();
    if (sourceName != nullptr)
        s.mainName = sourceName;
    else
        s.mainName.reset();
    s.line = 1;
    s.errors = 0;
    s.pending = tok::NoToken;
    s.last = tok::NoToken;
    s.spaceMode = false;
    s.inDirective = false;
    s.ifDepth = 0;
    s.skipDepth = 0;
    s.gauss = ZuIsGaussMode() != 0;
    ClearText();
    return 1;
}

ZU_API int IZuScanExit(void) {
    ScanState& s = Scan();
    if (s.ifDepth != 0) Report(ScanMessage::IfNotClosed);
    ResetSources();
    ClearText();
    s.mainName.reset();
    TruncateDefines(0);
    s.line = 0;
    s.spaceMode = false;
    s.inDirective = false;
    s.ifDepth = 0;
    s.skipDepth = 0;
    s.gauss = false;
    s.pending = tok::NoToken;
    s.last = tok::NoToken;
    return s.errors;
}

ZU_API int IZuScanToken(void) {
    ScanState& s = Scan();
    int t;
    if (s.pending != tok::NoToken) {
        t = s.pending;
        s.pending = tok::NoToken;
    } else {
        t = PreprocessedToken();
    }
    // "x'y" and "x'(y)" multiply: hand out "*" and keep the operand back.
    const bool afterTranspose = s.last == tok::Quote || s.last == tok::DotQuote;
    if (afterTranspose && (t == tok::Identifier || t == tok::LParen || t == tok::KwThis)) {
        s.pending = t;
        s.last = tok::Star;
        return tok::Star;
    }
    s.last = t;
    return t;
}

ZU_API const char* SZuScanText(void) { return Scan().text.data(); }

ZU_API const char* SZuScanFile(void) {
    const ScanState& s = Scan();
    if (s.includeDepth >= 0) return s.includes[static_cast<std::size_t>(s.includeDepth)].path.c_str();
    if (s.mainName && !s.mainName->empty()) return s.mainName->c_str();
    return nullptr;
}

ZU_API int IZuLineNo(void) {
    const ScanState& s = Scan();
    return s.mainName ? s.line : 0;
}

ZU_API int IZuScanErrors(void) { return Scan().errors; }

ZU_API void ZuEscSeqOn(void) { Scan().escapes = true; }
ZU_API void ZuEscSeqOff(void) { Scan().escapes = false; }
ZU_API void ZuSetSpaceMode(int on) { Scan().spaceMode = on != 0; }
ZU_API int ZuGetSpaceMode(void) { return Scan().spaceMode ? 1 : 0; }

ZU_API void ZuDefine(const char* tokens) {
    if (tokens != nullptr) DefineNames(tokens, std::nullopt, false);
}

ZU_API int IZuScanGetDefineCount(void) { return Scan().defineCount; }

ZU_API int IZuScanSetDefineCount(int count) {
    TruncateDefines(count);
    return Scan().defineCount;
}

}  // extern "C"
