// Command lines of the consoles: reading and splitting them, and the
// breakpoints, which live in the code as line markers whose operand is
// stored as its one's complement.
#include "run/debugger.h"

#include "program/code_buffer.h"
#include "run/machine.h"
#include "program/pcode.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <utility>
#include <vector>

#ifdef ZU_HAVE_LIBEDIT
#include <editline/readline.h>
#endif

namespace zu::run::debug {

using program::Op;

namespace {

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The code as the compiler holds it; read through the const view, so that
// reading does not count as a change.
const program::CodeBuffer& Code() { return std::as_const(program::codeBuffer()); }

int DecodedLine(const ZuPCODE& ins) {
    const int line = ins.arg < 0 ? ~ins.arg : ins.arg;
    return line > 0 ? line : -1;
}

bool IsJump(int op) {
    return op == program::code(Op::JMP) || op == program::code(Op::JMF) || op == program::code(Op::JMT);
}

// The lines whose code may run next after the marker at address a: every
// path is followed (both ways at a conditional jump) up to the next
// marker; a path that returns or ends adds nothing.
std::vector<int> LinesAfter(int a) {
    const program::CodeBuffer& code = Code();
    std::vector<int> lines;
    std::vector<bool> seen(static_cast<std::size_t>(code.size()), false);
    std::vector<int> pending{a + 1};
    while (!pending.empty()) {
        int p = pending.back();
        pending.pop_back();
        while (p >= 0 && p < code.size() && !seen[static_cast<std::size_t>(p)]) {
            seen[static_cast<std::size_t>(p)] = true;
            const ZuPCODE& ins = code[p];
            if (ins.op == program::code(Op::NUM)) {
                if (const int line = DecodedLine(ins); line > 0) lines.push_back(line);
                break;
            }
            if (ins.op == program::code(Op::EXT) || ins.op == program::code(Op::RET)) break;
            if (ins.op == program::code(Op::JMP)) {
                p = ins.arg;
                continue;
            }
            if (IsJump(ins.op)) pending.push_back(ins.arg);
            ++p;
        }
    }
    return lines;
}

// Calls visit(address, file, lines after it, set) for every line marker,
// with the file of the preceding file instruction.
template <typename Visit>
void ForEachMarker(Visit visit) {
    const program::CodeBuffer& code = Code();
    const char* file = "";
    for (int a = 0; a < code.size(); ++a) {
        const ZuPCODE& ins = code[a];
        if (ins.op == program::code(Op::ELF)) {
            const char* text = LiteralText(ins.arg);
            file = text ? text : "";
        } else if (ins.op == program::code(Op::NUM)) {
            if (!visit(a, file, LinesAfter(a), ins.arg < 0)) return;
        }
    }
}

// The breakpoints asked for, by the file as the code names it and the
// line found; the markers before the code of these lines are flipped.
std::vector<Breakpoint>& Requested() {
    static std::vector<Breakpoint> list;
    return list;
}

bool IsRequested(std::string_view file, int line) {
    for (const Breakpoint& b : Requested())
        if (b.line == line && SameFile(b.file, file)) return true;
    return false;
}

void Flip(int address) {
    ZuPCODE& ins = program::codeBuffer()[address];
    ins.arg = ~ins.arg;
}

// Base name without directory and extension.
std::string_view Stem(std::string_view name) {
    const std::size_t slash = name.find_last_of('/');
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    return name.substr(0, name.find('.'));
}

bool StartsWithDigit(const std::string& s) { return !s.empty() && std::isdigit(static_cast<unsigned char>(s[0])); }

// A line number: digits only, within int range.
bool ParseLine(const std::string& text, int& line) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    line = std::atoi(text.c_str());
    return true;
}

}  // namespace

// ---- tokens ----

Tokens::Tokens(std::string_view line) : line_(line) {
    for (char& c : line_)
        if (IsBlank(c)) c = ' ';
}

std::string Tokens::next() {
    while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
    if (pos_ >= line_.size()) return {};
    char close = ' ';
    if (line_[pos_] == '"')
        close = '"';
    else if (line_[pos_] == '<')
        close = '>';
    if (close != ' ') ++pos_;
    const std::size_t end = std::min(line_.find(close, pos_), line_.size());
    std::string token = line_.substr(pos_, end - pos_);
    pos_ = end < line_.size() ? end + 1 : end;
    return token;
}

std::string Tokens::rest() const {
    std::size_t p = pos_;
    while (p < line_.size() && line_[p] == ' ') ++p;
    return line_.substr(p);
}

// ---- input ----

namespace {

// At a terminal the prompt reads a whole edited line; the commands then
// take its characters from here.
struct EditedLine {
    bool active = false;
    std::string text;
    std::size_t pos = 0;
};

EditedLine& Edited() {
    static EditedLine line;
    return line;
}

bool LineEditing() {
#ifdef ZU_HAVE_LIBEDIT
    return !GetZuPipe() && isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
#else
    return false;
#endif
}

#ifdef ZU_HAVE_LIBEDIT
// History lives in ~/.zu_history from one session to the next; it is read
// before the first line and written after each.
constexpr int kHistoryLines = 1000;

const std::string& HistoryFile() {
    static const std::string file = [] {
        const char* home = std::getenv("HOME");
        return home && *home ? std::string(home) + "/.zu_history" : std::string();
    }();
    return file;
}

// Tab completes the names the prompt knows: the locals of the frame, then
// the globals, functions and library functions of the program.
char* CompletionCandidate(const char* text, int state) {
    static std::vector<std::string> matches;
    static std::size_t next = 0;
    if (state == 0) {
        matches.clear();
        next = 0;
        const std::string_view prefix(text);
        auto consider = [&](const char* name) {
            if (name && *name && std::string_view(name).starts_with(prefix) &&
                std::find(matches.begin(), matches.end(), name) == matches.end())
                matches.emplace_back(name);
        };
        for (int i = 0; i < vm.localCount; ++i) {
            const std::size_t at = static_cast<std::size_t>(vm.localStart + i);
            if (at < vm.localNames.size()) consider(vm.localNames[at]);
        }
        const ZuNAMEDVALUE* globals = ZuGetSymGloBase();
        for (int i = 0, n = globals ? ZuGetSymTabCount() : 0; i < n; ++i) consider(globals[i].name);
        std::sort(matches.begin(), matches.end());
    }
    if (next >= matches.size()) return nullptr;
    // readline frees what it is given.
    return strdup(matches[next++].c_str());
}

// The terminal's interrupt key (Ctrl-C unless set otherwise), read before
// the editor first changes the terminal's modes; -1 when there is none.
int interruptKey = -1;

// Reads a key for the line editor.  Ctrl-C while it waits ends the read as
// an end of input with the interrupt flag set: the prompt then drops the
// line and asks again.  The key arrives either as the signal or, when the
// editor has the terminal in a mode without signals, as a byte; both are
// taken the same way.  Other interrupted reads are retried.
int ReadKey(FILE* in) {
    const int fd = fileno(in);
    for (;;) {
        // The flag is looked at every tenth of a second as well, so an
        // interrupt that came just before the wait is not missed.
        if (userInterrupt) return EOF;
        pollfd wait{fd, POLLIN, 0};
        const int ready = poll(&wait, 1, 100);
        if (ready < 0 && errno != EINTR) return EOF;
        if (ready <= 0) continue;
        unsigned char c = 0;
        const ssize_t n = read(fd, &c, 1);
        if (n == 1 && c == interruptKey) {
            userInterrupt = 1;
            return EOF;
        }
        if (n == 1) return c;
        if (n < 0 && errno == EINTR) continue;
        return EOF;
    }
}

void StartLineEditing() {
    static bool started = false;
    if (started) return;
    started = true;
    termios modes{};
    if (tcgetattr(fileno(stdin), &modes) == 0 && modes.c_cc[VINTR] != _POSIX_VDISABLE)
        interruptKey = modes.c_cc[VINTR];
    // The session's own SIGINT handler stays in place while a line is read.
    rl_catch_signals = 0;
    rl_getc_function = ReadKey;
    rl_completion_entry_function = CompletionCandidate;
    rl_basic_word_break_characters = " \t\n\"\\'`@$><=;|&{(,)}[]+-*/^~!%.:";
    stifle_history(kHistoryLines);
    if (!HistoryFile().empty()) read_history(HistoryFile().c_str());
}
#endif

// Reads the next line with editing and history; false at the end of input.
bool ReadEditedLine(const char* prompt) {
#ifdef ZU_HAVE_LIBEDIT
    StartLineEditing();
    char* line = readline(prompt);
    // Ctrl-C at the prompt drops what was typed and asks again.
    while (!line && userInterrupt) {
        userInterrupt = 0;
        std::fputs("\n", stdout);
        line = readline(prompt);
    }
    if (!line) return false;
    if (*line) {
        add_history(line);
        if (!HistoryFile().empty()) write_history(HistoryFile().c_str());
    }
    Edited().text = std::string(line) + "\n";
    std::free(line);
    return true;
#else
    (void)prompt;
    return false;
#endif
}

}  // namespace

void Prompt(const char* prompt) {
    if (!DidNewline()) ZuPrintf("\n");
    EditedLine& edited = Edited();
    edited.active = LineEditing();
    if (edited.active) {
        ZuFlush();
        edited.pos = 0;
        edited.text.clear();
        ReadEditedLine(prompt);
    } else {
        ZuPrintf("%s", prompt);
        ZuFlush();
    }
    SetDidNewline(1);
}

int ReadChar() {
    EditedLine& edited = Edited();
    if (edited.active)
        return edited.pos < edited.text.size() ? static_cast<unsigned char>(edited.text[edited.pos++]) : -1;
    // The input pipe hands bytes above 127 as negative chars.
    const int c = ZuGetc();
    return c < -1 ? (c & 0xFF) : c;
}

LineRead ReadRestOfLine(std::string& out, int limit) {
    out.clear();
    bool tooLong = false;
    for (;;) {
        const int c = ReadChar();
        if (c < 0) {
            if (out.empty() && !tooLong) return LineRead::EndOfInput;
            break;
        }
        if (c == '\n') break;
        if (static_cast<int>(out.size()) < limit)
            out += static_cast<char>(c);
        else
            tooLong = true;
    }
    if (tooLong) {
        out.clear();
        return LineRead::TooLong;
    }
    return LineRead::Ok;
}

void LineTooLong(int limit) { ZuPrintf("Command line too long (at most %d characters)\n", limit); }

// ---- breakpoints ----

bool SameFile(std::string_view a, std::string_view b) {
    a = Stem(a);
    b = Stem(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Makes the markers agree with the requested breakpoints: a marker is
// flipped when the code of a requested line of its file may follow it.
void SyncMarkers() {
    std::vector<int> flips;
    ForEachMarker([&](int a, const char* f, const std::vector<int>& lines, bool isSet) {
        bool wanted = false;
        for (int line : lines) wanted = wanted || IsRequested(f, line);
        if (wanted != isSet) flips.push_back(a);
        return true;
    });
    for (int a : flips) Flip(a);
}

MarkerPlace FindMarker(std::string_view file, int line) {
    MarkerPlace found;
    if (file.empty() || line < 0) return found;
    ForEachMarker([&](int a, const char* f, const std::vector<int>& lines, bool) {
        if (!SameFile(f, file)) return true;
        for (int l : lines) {
            if (l >= line && (found.address < 0 || l < found.line)) {
                found.address = a;
                found.line = l;
                found.file = f;
            }
        }
        return true;
    });
    found.set = found.address >= 0 && IsRequested(found.file, found.line);
    return found;
}

int SetBreakpoint(std::string_view file, int line) {
    const MarkerPlace found = FindMarker(file, line);
    if (found.address < 0) return -1;
    if (!found.set) Requested().push_back({found.file, found.line});
    SyncMarkers();
    return found.line;
}

bool ClearBreakpoint(std::string_view file, int line) {
    auto& list = Requested();
    const auto before = list.size();
    std::erase_if(list, [&](const Breakpoint& b) { return b.line == line && SameFile(b.file, file); });
    SyncMarkers();
    return list.size() != before;
}

std::vector<Breakpoint> ClearAllBreakpoints() {
    std::vector<Breakpoint> list;
    list.swap(Requested());
    SyncMarkers();
    return list;
}

void ForgetBreakpoints() { Requested().clear(); }

std::vector<int> SuspendBreakpoints() {
    std::vector<int> set;
    const program::CodeBuffer& code = Code();
    for (int a = 0; a < code.size(); ++a)
        if (code[a].op == program::code(Op::NUM) && code[a].arg < 0) set.push_back(a);
    for (int a : set) Flip(a);
    return set;
}

void ResumeBreakpoints(const std::vector<int>& addresses) {
    for (int a : addresses)
        if (a < Code().size() && Code()[a].op == program::code(Op::NUM) && Code()[a].arg >= 0) Flip(a);
}

bool HasBreakpoint(std::string_view file, int line) { return IsRequested(file, line); }

std::vector<Breakpoint> ListBreakpoints() {
    std::vector<Breakpoint> list = Requested();
    std::sort(list.begin(), list.end(), [](const Breakpoint& x, const Breakpoint& y) {
        return x.file != y.file ? x.file < y.file : x.line < y.line;
    });
    return list;
}

int LineAhead(int cp) {
    const program::CodeBuffer& code = Code();
    std::vector<bool> seen(static_cast<std::size_t>(std::max(code.size(), 0)), false);
    for (int p = cp; p >= 0 && p < code.size() && !seen[static_cast<std::size_t>(p)];) {
        seen[static_cast<std::size_t>(p)] = true;
        const ZuPCODE& ins = code[p];
        if (ins.op == program::code(Op::NUM)) return DecodedLine(ins);
        if (ins.op == program::code(Op::EXT) || ins.op == program::code(Op::RET)) return -1;
        if (ins.op == program::code(Op::JMP)) {
            p = ins.arg;
        } else if (IsJump(ins.op)) {
            // Only a jump on the value already on top can be told ahead.
            const ZuVALUE* top = vm.base && vm.sp >= vm.base ? vm.sp : nullptr;
            const int kind = top ? (top->t & ZU_TYPE_MASK) : 0;
            if (p != cp || (kind != ZU_INT && kind != ZU_DOUBLE)) return -2;
            const bool truth = kind == ZU_INT ? top->w1.i != 0 : top->w1.d != 0;
            p = truth == (ins.op == program::code(Op::JMT)) ? ins.arg : p + 1;
        } else {
            ++p;
        }
    }
    return -1;
}

bool ParsePlace(Tokens& tokens, Place& place) {
    std::string first = tokens.next();
    std::string second = tokens.next();
    if (StartsWithDigit(first) && !StartsWithDigit(second)) std::swap(first, second);
    place.file = first.empty() ? CurrentFile() : first;
    return ParseLine(second, place.line);
}

void RunSystemCommand(const std::string& command) {
    ZuFlush();
    if (!command.empty() && std::system(command.c_str()) < 0) ZuPrintf("Cannot run the command\n");
    SetDidNewline(0);
}

}  // namespace zu::run::debug
