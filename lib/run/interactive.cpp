// The interactive prompt: the program runs once, then each line typed at
// "(zu)" is compiled and run at once in the frame where main stopped.
#include "run/debugger.h"

#include "program/symbols.h"
#include "run/machine.h"
#include "run/prompt_text.h"

#include <array>
#include <csignal>

namespace zu::run::debug {
namespace {

// Locals a typed line may declare: the interactive main allocates as many.
constexpr int kInteractiveLocals = 200;

// A text typed over several lines is bounded like one line.
constexpr std::size_t kMaxTypedText = 65536;

constexpr std::array<const char*, 10> kHelp{
    "?              - command summary (also: #help)",
    "??             - show all symbols",
    "?symbol        - show a symbols",
    "#new           - clear all code and symbols",
    "#quit          - quit Zu",
    "#show variable - show a named variable with full value (also: ?variable)",
    "#show all      - show all variables",
    "#show full     - show all variables with full value",
    "!command       - operating system command",
    "expression     - enter an expression",
};

bool RunsInFunction() { return vm.ap > vm.base && program::kindOf(vm.ap[-1]) == ZU_FUNCTION; }

// When main has returned, typed lines get a frame of their own: fresh
// entries above the stack that serve as their locals.
void ReserveTopLevelFrame() {
    if (RunsInFunction()) return;
    ZuVALUE* first = vm.sp + 1;
    int n = 0;
    while (n < kInteractiveLocals && vm.sp < vm.last) {
        *++vm.sp = ZuVALUE{};
        vm.sp->t = ZU_INT | ZU_FLAG_NUL;
        ++n;
    }
    vm.ap = vm.bp = first;
    vm.unchangedBelow = 0;
    vm.localStart = static_cast<int>(vm.localNames.size());
    vm.localCount = 0;
    vm.paramCount = 0;
    SetTopLevelRoom(n);
}

// Compiles something into the running program and links what it
// declared; the local names of the frame stay as they were.  `insert`
// returns the compiler's error count, or -1 when there was nothing.
template <typename Insert>
void InsertIntoProgram(Insert&& insert, const std::string& what) {
    const std::vector<const char*> names = vm.localNames;
    const int start = vm.localStart, count = vm.localCount, params = vm.paramCount;
    const int errors = insert();
    if (errors < 0) {
        ZuPrintf("File not found: %s\n", what.c_str());
    } else if (errors == 0) {
        int length = 0;
        ZuPCODE* code = PZuGetPcode(&length);
        IZuLink(code, length, -1);
    }
    RefreshTables();
    vm.localNames = names;
    vm.localStart = start;
    vm.localCount = count;
    vm.paramCount = params;
}

void InsertFile(const std::string& name, bool objectFile) {
    if (name.empty()) return;
    InsertIntoProgram([&] { return IZuParseInsertFile(name.c_str(), objectFile ? 1 : 0, 0); }, name);
}

// Typed text: definitions join the program, an expression without its
// ";" shows its value, and anything else runs as statements.  Open
// brackets continue the text on the next line.
void TypedText(int first) {
    std::string text;
    if (!ReadTypedLine(first, text)) return;
    while (prompt::OpenBrackets(text) > 0) {
        Prompt("....");
        const int c = ReadChar();
        std::string more;
        if (c < 0 || !ReadTypedLine(c, more)) return;
        text += more;
        if (text.size() > kMaxTypedText) {
            ZuPrintf("Input too long: more than %zu characters\n", kMaxTypedText);
            return;
        }
    }
    if (prompt::DefinesSomething(text)) {
        InsertIntoProgram([&] { return IZuParseInsertText(text.c_str()); }, "");
        return;
    }
    const std::string echo = prompt::EchoStatement(text);
    RunTypedText(echo.empty() ? text : echo + "\n");
}

// Runs main to its stop and gives typed lines their frame.
void StartMain() {
    ZuRunSetDebug(nullptr, nullptr, 0);
    ZuRunDebugGo();
    ReserveTopLevelFrame();
}

// Drops every program and starts afresh with an empty main, as the
// prompt does without a start-up file: the engine frees all values.
void NewProgram() {
    ZuRunExit();
    ZuParseNew();
    ZuParseEmitMainDummy();
    const int position = IZuRunInit();
    if (position < 0 || !FZuRunInitMainFunc(position, nullptr)) {
        ZuPrintf("Cannot start a new program\n");
        return;
    }
    StartMain();
}

void Show(Tokens& tokens) {
    const std::string what = tokens.next();
    if (what == "all")
        ShowAllSymbols(false);
    else if (what == "full")
        ShowAllSymbols(true);
    else if (!what.empty())
        ShowSymbol(what);
}

// One '#' command; false when the dialogue is over.  Commands that are
// not known here are passed over.
bool HashCommand(const std::string& line) {
    Tokens tokens(line);
    const std::string word = tokens.next();
    if (word == "quit" || word == "stop" || word == "end") return false;
    if (word == "show")
        Show(tokens);
    else if (word == "include")
        InsertFile(tokens.next(), false);
    else if (word == "link")
        InsertFile(tokens.next(), true);
    else if (word == "new")
        NewProgram();
    return true;
}

void Question(const std::string& line) {
    Tokens tokens(line);
    const std::string name = tokens.next();
    if (name.empty())
        for (const char* text : kHelp) ZuPrintf("%s\n", text);
    else if (name[0] == '?')
        ShowAllSymbols(false);
    else
        ShowSymbolOrReference(name);
}

bool Command(int first) {
    if (first == '\n') return true;
    if (first != '?' && first != '!' && first != '#') {
        TypedText(first);
        return true;
    }
    std::string line;
    // What the commands print ends with a newline.
    SetDidNewline(1);
    if (ReadRestOfLine(line) == LineRead::TooLong) {
        LineTooLong();
        return true;
    }
    if (first == '?')
        Question(line);
    else if (first == '!')
        RunSystemCommand(line);
    else
        return HashCommand(line);
    return true;
}

}  // namespace
}  // namespace zu::run::debug

using namespace zu::run::debug;

namespace {

void OnInterrupt(int) { zu::run::userInterrupt = 1; }

// Ctrl-C stops the statement that runs and leaves the session as it was,
// for as long as the prompt is open; the handler it replaces comes back.
class InterruptStopsStatements {
public:
    InterruptStopsStatements() {
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previous_);
    }
    ~InterruptStopsStatements() { sigaction(SIGINT, &previous_, nullptr); }
    InterruptStopsStatements(const InterruptStopsStatements&) = delete;
    InterruptStopsStatements& operator=(const InterruptStopsStatements&) = delete;

private:
    struct sigaction previous_ {};
};

}  // namespace

extern "C" int ZuInteractive(int mainPosition, const char* arguments) {
    if (!FZuRunInitMainFunc(mainPosition, arguments)) return 0;
    const InterruptStopsStatements interrupts;
    // The entry message has ended its line.
    SetDidNewline(1);
    StartMain();
    for (bool going = true; going;) {
        Prompt("(zu)");
        const int first = ReadChar();
        going = first >= 0 && Command(first);
        ZuFlush();
    }
    const int ok = ZuGetRuntimeError() == 0 ? 1 : 0;
    ZuRunMainDoExitCall();
    ZuFlush();
    return ok;
}
