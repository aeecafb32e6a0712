// Character layers of the scanner: replacement text, include files, main
// source; push-back; comments.
#include "compiler/scanner.h"
#include "zu.h"

namespace zu::compiler {
namespace {

PushBack& CurrentPushBack() {
    ScanState& s = Scan();
    if (s.includeDepth >= 0) return s.includes[static_cast<std::size_t>(s.includeDepth)].pushBack;
    return s.mainPushBack;
}

int SourceChar() {
    ScanState& s = Scan();
    PushBack& pb = CurrentPushBack();
    if (pb.count > 0) return pb.chars[static_cast<std::size_t>(--pb.count)];
    if (s.includeDepth >= 0) {
        std::FILE* f = s.includes[static_cast<std::size_t>(s.includeDepth)].file.get();
        int c = f ? std::getc(f) : EOF;
        return c == EOF ? -1 : c;
    }
    int c = IZuGetSource();
    // Sources may hand bytes above 127 as negative chars.
    return c < -1 ? (c & 0xFF) : c;
}

// "/*" has been read: skips to the matching "*/", nesting.  False at the
// end of input, with the line set back to where the comment began.
bool SkipBlockComment() {
    ScanState& s = Scan();
    const int startLine = s.line;
    int level = 1;
    while (level > 0) {
        int c = GetChar();
        if (c == -1) {
            s.line = startLine;
            Report(ScanMessage::CommentNotClosed);
            return false;
        }
        if (c != '*' && c != '/') continue;
        int next = GetChar();
        if (c == '*' && next == '/')
            --level;
        else if (c == '/' && next == '*')
            ++level;
        else
            UngetChar(next);
    }
    return true;
}

// ZuGauss: the first "@" has been read; skips to the next one.
bool SkipAtComment() {
    ScanState& s = Scan();
    const int startLine = s.line;
    for (;;) {
        int c = GetChar();
        if (c == '@') return true;
        if (c == -1) {
            s.line = startLine;
            Report(ScanMessage::CommentNotClosed);
            return false;
        }
    }
}

}  // namespace

int GetChar() {
    ScanState& s = Scan();
    int c;
    if (s.replacementActive && s.replacementPos < s.replacement.size()) {
        c = static_cast<unsigned char>(s.replacement[s.replacementPos++]);
    } else {
        s.replacementActive = false;
        c = SourceChar();
    }
    if (c == '\n') ++s.line;
    return c;
}

void UngetChar(int c) {
    ScanState& s = Scan();
    if (c == '\n') --s.line;
    if (s.replacementActive && s.replacementPos > 0) {
        --s.replacementPos;
        return;
    }
    PushBack& pb = CurrentPushBack();
    // The scanners look at most four characters ahead, so this never fills.
    if (pb.count < kPushBackMax) pb.chars[static_cast<std::size_t>(pb.count++)] = c;
}

int ReadChar() {
    ScanState& s = Scan();
    for (;;) {
        int c = GetChar();
        if (c == '@' && s.gauss) {
            if (!SkipAtComment()) return -1;
            continue;
        }
        if (c != '/') return c;
        int next = GetChar();
        if (next == '*') {
            if (!SkipBlockComment()) return -1;
            continue;
        }
        if (next == '/') {
            do c = GetChar();
            while (c != '\n' && c != -1);
            return c;
        }
        UngetChar(next);
        return '/';
    }
}

void StartReplacement(std::string_view value) {
    ScanState& s = Scan();
    s.replacement.assign(value);
    s.replacementPos = 0;
    s.replacementActive = true;
}

void ResetSources() {
    ScanState& s = Scan();
    while (s.includeDepth >= 0) PopInclude();
    s.mainPushBack.count = 0;
    s.replacement.clear();
    s.replacementPos = 0;
    s.replacementActive = false;
}

}  // namespace zu::compiler
