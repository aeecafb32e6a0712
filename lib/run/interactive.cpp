// The interactive prompt: the program runs once, then each line typed at
// "(zu)" is compiled and run at once in the frame where main stopped.
#include "run/debugger.h"

#include "program/symbols.h"
#include "run/machine.h"

#include <array>

namespace zu::run::debug {
namespace {

// Locals a typed line may declare: the interactive main allocates as many.
constexpr int kInteractiveLocals = 200;

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

bool RunsInFunction()
{
    return vm.ap > vm.base && program::kindOf(vm.ap[-1]) == ZU_FUNCTION;
}

// When main has returned, typed lines get a frame of their own: fresh
// entries above the stack that serve as their locals.
void ReserveTopLevelFrame()
{
    if (RunsInFunction())
        return;
    ZuVALUE* first = vm.sp + 1;
    int n = 0;
    while (n < kInteractiveLocals && vm.sp < vm.last) {
        *++vm.sp = ZuVALUE{};
        vm.sp->t = ZU_INT | ZU_FLAG_NUL;
        ++n;
    }
    vm.ap = vm.bp = first;
    vm.localStart = static_cast<int>(vm.localNames.size());
    vm.localCount = 0;
    vm.paramCount = 0;
    SetTopLevelRoom(n);
}

// Compiles (or loads) a file into the running program and links what it
// declared; the local names of the frame stay as they were.
void InsertFile(const std::string& name, bool objectFile)
{
    if (name.empty())
        return;
    const std::vector<const char*> names = vm.localNames;
    const int start = vm.localStart, count = vm.localCount, params = vm.paramCount;
    const int errors = IZuParseInsertFile(name.c_str(), objectFile ? 1 : 0, 0);
    if (errors < 0) {
        ZuPrintf("File not found: %s\n", name.c_str());
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

// Runs main to its stop and gives typed lines their frame.
void StartMain()
{
    ZuRunSetDebug(nullptr, nullptr, 0);
    ZuRunDebugGo();
    ReserveTopLevelFrame();
}

// Drops every program and starts afresh with an empty main, as the
// prompt does without a start-up file: the engine frees all values.
void NewProgram()
{
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

void Show(Tokens& tokens)
{
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
bool HashCommand(const std::string& line)
{
    Tokens tokens(line);
    const std::string word = tokens.next();
    if (word == "quit" || word == "stop" || word == "end")
        return false;
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

void Question(const std::string& line)
{
    Tokens tokens(line);
    const std::string name = tokens.next();
    if (name.empty())
        for (const char* text : kHelp)
            ZuPrintf("%s\n", text);
    else if (name[0] == '?')
        ShowAllSymbols(false);
    else
        ShowSymbol(name);
}

bool Command(int first)
{
    if (first == '\n')
        return true;
    if (first != '?' && first != '!' && first != '#') {
        RunTypedLine(first);
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

extern "C" int ZuInteractive(int mainPosition, const char* arguments)
{
    if (!FZuRunInitMainFunc(mainPosition, arguments))
        return 0;
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
