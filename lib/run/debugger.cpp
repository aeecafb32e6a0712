// The debugger: the program runs from stop to stop (line markers), and at
// each stop the "(debug)" prompt takes commands.
#include "run/debugger.h"

#include "program/code_buffer.h"
#include "run/machine.h"
#include "program/pcode.h"

#include <array>
#include <utility>

namespace zu::run::debug {
namespace {

constexpr std::array<const char*, 23> kHelp{
    "#break file line - set breakpoint at line of file",
    "#clear file line - clear breakpoint at line of file",
    "#clear all       - clear all breakpoints",
    "#go              - run to next breakpoint",
    "#go file line    - run to line of file",
    "#go line         - run to line of current file",
    "?                - debug command summary (also: #help)",
    "??               - show all symbols and current break",
    "?symbol          - show a symbols",
    "#quit            - stop debugging",
    "#step in         - step (in to function) (also: just press return)",
    "#step over       - step (over function)",
    "#step out        - step out of current function",
    "#show            - shows current break",
    "#show calls      - show call stack",
    "#show variable   - as ?variable",
    "#show breaks     - show all breakpoints",
    "#show all        - show all variables",
    "#show full       - show all variables with full value",
    "#trace           - lists all lines executed",
    "#trace off       - switches trace off",
    "!command         - operating system command",
    "expression       - enter an Zu expression, e.g. x[0][0]=1; or print(x);",
};

void PrintHelp() {
    for (const char* line : kHelp) ZuPrintf("%s\n", line);
}

class Session {
public:
    // Runs to the first statement; false when the program ended first.
    bool start() { return run(nullptr, nullptr, true); }
    // One command; false when the dialogue is over.
    bool command(int first);

private:
    bool run(ZuVALUE* stepOver, ZuVALUE* stepOut, bool stop);
    bool stepIn() { return run(nullptr, nullptr, true); }
    bool hashCommand(const std::string& line);
    bool step(const std::string& how);
    bool go(Tokens& tokens);
    void setBreak(Tokens& tokens);
    void clearBreak(Tokens& tokens);
    void show(Tokens& tokens);
    void showBreaks();
    void question(const std::string& line);
    void unknown() { ZuPrintf("Unknown debug command\n"); }
};

// Whether the run stopped at a marker shared with a breakpoint although
// the line that runs next is none of those asked for (a loop test before
// the code after the loop, say): such a stop is passed over.
bool UnaskedBreak(const ZuVALUE* stepOver) {
    const int cp = ZuRunGetPcodeAddress();
    const auto& code = std::as_const(program::codeBuffer());
    if (cp < 1 || cp > code.size() || code[cp - 1].op != program::code(program::Op::NUM) || code[cp - 1].arg >= 0)
        return false;
    ZuVALUE* ap = nullptr;
    ZuRunGetStackInfo(nullptr, nullptr, &ap, nullptr);
    if (stepOver && ap <= stepOver) return false;
    const int line = LineAhead(cp);
    return line != -2 && !HasBreakpoint(CurrentFile(), line);
}

// Runs to the next stop and shows it; false when the program has ended.
bool Session::run(ZuVALUE* stepOver, ZuVALUE* stepOut, bool stop) {
    ZuRunSetDebug(stepOver, stepOut, stop ? 1 : 0);
    bool more = ZuRunDebugGo() != 0;
    while (more && !stop && UnaskedBreak(stepOver)) more = ZuRunDebugGo() != 0;
    ZuRunSetDebug(nullptr, nullptr, 0);
    if (!more) return false;
    ShowStop();
    return true;
}

bool Session::command(int first) {
    std::string line;
    switch (first) {
    case '\n': return stepIn();
    case '?':
    case '!':
    case '#': break;
    default: RunTypedLine(first); return true;
    }
    // What the commands print ends with a newline.
    SetDidNewline(1);
    const LineRead read = ReadRestOfLine(line);
    if (read == LineRead::TooLong) {
        LineTooLong();
        return true;
    }
    if (first == '?') {
        question(line);
        return true;
    }
    if (first == '!') {
        RunSystemCommand(line);
        return true;
    }
    return hashCommand(line);
}

void Session::question(const std::string& line) {
    Tokens tokens(line);
    const std::string name = tokens.next();
    if (name.empty()) {
        PrintHelp();
    } else if (name[0] == '?') {
        ShowAllSymbols(false);
        ShowStop();
    } else {
        ShowSymbolOrReference(name);
    }
}

bool Session::hashCommand(const std::string& line) {
    Tokens tokens(line);
    const std::string word = tokens.next();
    if (word.empty()) return stepIn();
    if (word == "help") {
        PrintHelp();
    } else if (word == "step") {
        return step(tokens.next());
    } else if (word == "go") {
        return go(tokens);
    } else if (word == "break") {
        setBreak(tokens);
    } else if (word == "clear") {
        clearBreak(tokens);
    } else if (word == "show") {
        show(tokens);
    } else if (word == "trace") {
        const std::string how = tokens.next();
        if (how.empty() || how == "off")
            ZuRunCodeTrace(how.empty() ? 1 : 0);
        else
            unknown();
    } else if (word == "quit" || word == "stop" || word == "end") {
        return false;
    } else {
        unknown();
    }
    return true;
}

bool Session::step(const std::string& how) {
    ZuVALUE* ap = nullptr;
    ZuRunGetStackInfo(nullptr, nullptr, &ap, nullptr);
    if (how.empty() || how == "in") return stepIn();
    if (how == "over") return run(ap, nullptr, false);
    if (how == "out") return run(nullptr, ap, false);
    unknown();
    return true;
}

bool Session::go(Tokens& tokens) {
    if (tokens.rest().empty()) return run(nullptr, nullptr, false);
    Place place;
    MarkerPlace marker;
    if (ParsePlace(tokens, place)) marker = FindMarker(place.file, place.line);
    if (marker.address < 0) {
        ZuPrintf("No break at this line\n");
        return true;
    }
    SetBreakpoint(marker.file, marker.line);
    const bool more = run(nullptr, nullptr, false);
    if (!marker.set) ClearBreakpoint(marker.file, marker.line);
    return more;
}

void Session::setBreak(Tokens& tokens) {
    Place place;
    const MarkerPlace marker = ParsePlace(tokens, place) ? FindMarker(place.file, place.line) : MarkerPlace{};
    if (marker.address < 0) {
        ZuPrintf("Invalid breakpoint\n");
        return;
    }
    SetBreakpoint(marker.file, marker.line);
    if (marker.line > place.line) ZuPrintf("Breakpoint moved to line %d\n", marker.line);
    EditorReport(marker.file, marker.line, 1);
}

void Session::clearBreak(Tokens& tokens) {
    if (tokens.rest() == "all") {
        for (const Breakpoint& b : ClearAllBreakpoints()) EditorReport(b.file, b.line, 2);
        return;
    }
    Place place;
    if (!ParsePlace(tokens, place) || !ClearBreakpoint(place.file, place.line)) {
        ZuPrintf("Invalid breakpoint\n");
        return;
    }
    EditorReport(place.file, place.line, 2);
}

void Session::showBreaks() {
    const std::vector<Breakpoint> list = ListBreakpoints();
    if (list.empty()) ZuPrintf("No breaks set\n");
    for (const Breakpoint& b : list) ZuPrintf("%s (%d)\n", b.file.c_str(), b.line);
}

void Session::show(Tokens& tokens) {
    const std::string what = tokens.next();
    if (what.empty())
        ShowStop();
    else if (what == "calls")
        ZuRunPrintCallStack();
    else if (what == "breaks")
        showBreaks();
    else if (what == "all")
        ShowAllSymbols(false);
    else if (what == "full")
        ShowAllSymbols(true);
    else
        ShowSymbol(what);
}

}  // namespace
}  // namespace zu::run::debug

using namespace zu::run::debug;

extern "C" int ZuDebug(int mainPosition, const char* arguments) {
    if (!FZuRunInitMainFunc(mainPosition, arguments)) return 0;
    // The entry message has ended its line.
    SetDidNewline(1);
    SetTopLevelRoom(0);
    ForgetBreakpoints();
    Session session;
    bool going = session.start();
    while (going) {
        Prompt("(debug)");
        const int first = ReadChar();
        // Without more input the dialogue cannot go on.
        going = first >= 0 && session.command(first);
        ZuFlush();
    }
    const int ok = ZuGetRuntimeError() == 0 ? 1 : 0;
    // What the program asked to run after main.
    ZuRunMainDoExitCall();
    ZuFlush();
    return ok;
}
