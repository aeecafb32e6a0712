// The two consoles on top of the interpreter: the debugger (ZuDebug) and
// the interactive prompt (ZuInteractive).  Both read one command line at a
// time through the console input layer and share the pieces below.
#pragma once

#include "zu.h"

#include <string>
#include <string_view>
#include <vector>

namespace zu::run::debug {

// The rest of a command line holds at most this many characters (the
// buffer of 255 bytes with its terminator).
inline constexpr int kCommandBuffer = 255;

// Splits a command line into tokens: white space counts as blanks,
// leading blanks are skipped, a token opened by a double quote runs to
// the next double quote, one opened by '<' to the next '>', any other to
// the next blank.  The delimiters are dropped.
class Tokens {
public:
    explicit Tokens(std::string_view line);
    // The next token; empty at the end of the line.
    std::string next();
    // What follows the last token taken, without its leading blanks.
    std::string rest() const;

private:
    std::string line_;
    std::size_t pos_ = 0;
};

// ---- command input ----

enum class LineRead { Ok, TooLong, EndOfInput };

// Prints the prompt (after a newline unless the output ended with one).
// At a terminal, with line editing built in, it reads the next line.
void Prompt(const char* prompt);
// The next character of the command input (-1 at its end).
int ReadChar();
// Reads the rest of the current line (up to and without its newline) into
// `out`.  A line longer than `limit` characters is read to its end and
// dropped.
LineRead ReadRestOfLine(std::string& out, int limit = kCommandBuffer - 1);
// The message for a line that was too long.
void LineTooLong(int limit = kCommandBuffer - 1);

// ---- breakpoints (one's complement operands of line markers) ----
//
// A line marker ends the code of its statement, so the code of a line
// follows the markers before it: a breakpoint for a line goes on every
// marker from which that line's code may run next (a loop test leads into
// the body and past the loop).  The lines asked for are kept, so that a
// stop at a shared marker can be told apart.

// File names are equal without regard to case, directory or extension.
bool SameFile(std::string_view a, std::string_view b);

// Where a breakpoint for `file` at `line` goes: the nearest line at or
// after it whose code follows a marker, and one such marker.  address is
// -1 when there is none (also for an empty file or a negative line).
struct MarkerPlace {
    int address = -1;
    int line = -1;
    std::string file;  // as the code names it
    bool set = false;  // a breakpoint stands there already
};
MarkerPlace FindMarker(std::string_view file, int line);
// Sets a breakpoint on the marker of FindMarker; the line found or -1.
int SetBreakpoint(std::string_view file, int line);
// Clears the breakpoint of `file` at `line`; false when none is set there.
bool ClearBreakpoint(std::string_view file, int line);
struct Breakpoint {
    std::string file;
    int line;
};
// Clears every breakpoint and returns where they stood.
std::vector<Breakpoint> ClearAllBreakpoints();
// Lifts every flipped marker for a while (a typed line runs to its end) and
// puts them back.
std::vector<int> SuspendBreakpoints();
void ResumeBreakpoints(const std::vector<int>& addresses);
// Whether a breakpoint is set for `file` at exactly `line`.
bool HasBreakpoint(std::string_view file, int line);
// Drops the breakpoints of a previous session (their code is gone).
void ForgetBreakpoints();
// The line whose code runs next from cp: jumps are followed, a
// conditional one at cp by the value on top.  -1 when the function
// returns or the code ends first, -2 when it cannot be told.
int LineAhead(int cp);

std::vector<Breakpoint> ListBreakpoints();

// The file and line arguments of #break, #clear and #go: the two may come
// in either order (a lone line is a line of the current file), an empty
// file is the current file.  False when the line is not a number.
struct Place {
    std::string file;
    int line = -1;
};
bool ParsePlace(Tokens& tokens, Place& place);

// ---- positions ----

// The file of the current stop and the line that runs next (-1 when
// unknown).
std::string CurrentFile();
int CurrentLine();
// Shows the stop position (and reports it to an editor in editor mode).
void ShowStop();
// Reports a position to the editor in editor mode: code 0 stop,
// 1 breakpoint set, 2 breakpoint cleared.
void EditorReport(std::string_view file, int line, int code);

// ---- symbols ----

// All globals and the locals of the stopped function; full shows whole
// values.
void ShowAllSymbols(bool full);
// One symbol (local first, then global) with its full value; a message
// when the name is unknown.
void ShowSymbol(std::string_view name);
// `?name`: the reference entry when the name is a library function's and
// no local of the stopped function hides it, else ShowSymbol.
void ShowSymbolOrReference(std::string_view name);
// Prints the entry of a library function from the reference file that
// ships beside zustd.h; false when the file or the entry is not found.
bool ShowReferenceEntry(std::string_view name);

// ---- typed lines ----

// Compiles the line that starts with `first` (the rest is read from the
// input) in the scope of the running function and runs it; the dialogue
// goes on after a compile or run-time error.
void RunTypedLine(int first);
// The same in two steps: a line read after its first character (false
// when it is too long, which has been reported), and a text of one or
// more lines compiled and run.
bool ReadTypedLine(int first, std::string& text);
void RunTypedText(const std::string& text);
// Locals a typed line may use when no function runs (the entries that
// the interactive prompt reserved above the stack).
void SetTopLevelRoom(int n);

// Runs an operating-system command line.
void RunSystemCommand(const std::string& command);

}  // namespace zu::run::debug

extern "C" {
// The debugger and the interactive prompt over the program whose main
// call stub lies at mainPosition; true when the dialogue ended without a
// run-time error.
ZU_API int ZuDebug(int mainPosition, const char* arguments);
ZU_API int ZuInteractive(int mainPosition, const char* arguments);
}
