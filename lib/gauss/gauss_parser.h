// Internal interface of the ZuGauss parser.
//
// Gauss source is compiled by the compiler's own machinery (token reader,
// emitter, operand descriptor, symbol and literal tables); this folder adds
// the Gauss top level, statements, expressions and constants.  Everything
// Gauss declares is a global of the namespace "gauss".
#pragma once

#include "zu.h"

#include "compiler/parser.h"

#include <string>
#include <string_view>
#include <vector>

namespace zu::gauss {

using compiler::Msg;
using compiler::ParseState;
using Operand = compiler::Operand;
using compiler::Storage;

inline constexpr std::string_view kNamespace = "gauss";
// The flag of a keyword procedure (called with the rest of the statement).
inline constexpr int kKeywordFlag = 0x80000;

// ---- the mode's state (toplevel.cpp) -------------------------------------

// The table ends taken at initialisation, restored by "new".
struct Snapshot {
    int symbols = 0, code = 0, literals = 0, defines = 0;
    static Snapshot take();
    // Drops everything declared and emitted since the snapshot.
    void restore() const;
};

struct GaussMode {
    bool initialised = false;  // FZuParseInitGauss has run
    Snapshot atStart;          // what "new" goes back to
    int mainChain = -1;        // forward JMP ending the last run of main code
    int mainEnd = -1;          // the NUM that ends main
    int lastRunJump = -1;      // the jump ending the last run of a finished file
    bool newPending = false;   // the next run of main code calls __new__
    bool varIndexNames = false;  // an open with varindxi may set "i" + a variable's name
    std::string mainFile;      // file of the last ELF in main
};
GaussMode& Mode();

// The procedure being compiled: names of its locals are found first.
struct ProcedureScope {
    bool active = false;     // inside proc/fn/keyword
    int returns = 1;         // declared number of return values
    std::string name;        // qualified name
    bool usesGosub = false;  // "return" then ends a subroutine, not the procedure
};
ProcedureScope& Procedure();

// "gauss::" + name, unless it already holds "::".
std::string GaussName(std::string_view name);
// A global of the namespace, or -1.
int FindGaussGlobal(std::string_view name);
// Declares an external function of the namespace (kind function, global,
// external) with a signature of `count` arguments; returns its record.
int DeclareExternalFunction(std::string_view name, int count, int flags = 0);
// Declares a global variable of the namespace holding int 0 (or "" for a
// string); returns its record.
int DeclareGaussGlobal(std::string_view name, bool isString = false);

// ---- token reader over the compiler's (expressions.cpp) ------------------

// The next token; <space> tokens are dropped except at the outer level of
// a print item.
int GPeek();
int GNext();
bool GAccept(int t);
// Pushes a token taken back, with its text; read again before anything.
void GUnread(int t, const std::string& text);
bool GExpect(int t);
// The rest of the statement up to ";" as text, blanks folded (the token
// already looked at, if any, comes first); the ";" is left.
std::string RestOfStatement();
// Whether a token has been looked at and not taken yet.
bool PendingToken();
// Drops <space> tokens ahead.
void SkipSpaces();
// Skips to the end of the statement (";", ";;" taken) or end of file.
void SkipStatement();
// Print items: blanks end an item at the outer level of brackets.
struct SpaceItems {
    SpaceItems();
    ~SpaceItems();
    SpaceItems(const SpaceItems&) = delete;
    SpaceItems& operator=(const SpaceItems&) = delete;
    bool saved;
    int savedDepth;
};

// ---- expressions (expressions.cpp) ---------------------------------------

Operand ParseGaussExpression();
void LoadGaussExpression();
// A Gauss name as an operand: local, argument, global of the namespace;
// an unknown name becomes a global (or, before "(", an external function).
// A global not assigned yet is reported when main code reads it, unless
// it is the target of an assignment.
Operand ResolveGaussName(const std::string& name, bool target = false);
// The FNI code of an intrinsic function the run loop computes in place
// ("abs", "sqrt", "gauss::exp", ...), else 0.
int FastFunctionCode(std::string_view name);
// A complex literal ("3i", its digits given): reported, for values are
// real; the caller goes on with a missing value in its place.
void RefuseComplex(const std::string& digits);
// Arguments of a call, "(" taken: PSH 0 and the value of each; the count.
int ParseGaussArguments();

// ---- constants (constants.cpp) -------------------------------------------

// One constant element of let, declare or "{ }"; false when the next
// token starts none.  Names and strings become 8-byte character elements.
bool ParseConstantElement(double& out, std::string& text, bool& isText);
// "{" taken: the rows of constant elements up to "}" as a literal.
Operand ParseMatrixLiteral();
// let x [r,c] [=] constants ;
void LetStatement();
// declare [matrix|string] name [op constants], ... ;
void DeclareStatement();
// external proc|fn|keyword|matrix|string names ;
void ExternalStatement();

// ---- statements (statements.cpp, commands.cpp, print.cpp) ----------------

void ParseGaussStatement();
// Statements up to one of the ending tokens (not taken); returns it.
int ParseStatementsUntil(std::initializer_list<int> endings);
// The print statement, the leading "print" or "?" taken (or not, for a
// statement starting with "/" or "$").
void PrintStatement();
// A command of the command table; the identifier is taken.
void CommandStatement(int command);
// The command code of an identifier, 0 when it is no command.
int CommandCode(std::string_view word);
// library name, ... ;
void LibraryStatement();
// Declares the names of the standard catalogue (zugauss/lib/gauss.lcg)
// and remembers the source of each.
void ReadStandardCatalogue();
// The source file that defines a name of the standard catalogue, or "".
std::string StandardSource(std::string_view name);

// ---- structures (structures.cpp) -----------------------------------------

// "struct" taken: a definition "name { members };" or a declaration
// "name x, y;".
void StructStatement();
// An argument declared "struct name x" in a procedure's formals.
void StructArgument(const std::string& argument, const std::string& structure);
// The procedure's locals and arguments are gone.
void EndProcedureStructures();
// No structure is known (a new program).
void ForgetStructures();
// The structure a variable holds, or "".
std::string StructureOf(const Operand& x);
// Whether a token can start ".member".
bool StartsMember(int t);
// The token t taken after x, which holds `structure`: x becomes the
// member; the result is the member's own structure, or "".
std::string StructMember(Operand& x, const std::string& structure, int t);

// ---- the data loop (dataloop.cpp) ----------------------------------------

// Whether the statements of a data loop are being compiled.
bool InDataLoop();
// "dataloop" taken: the loop over a data set up to endata.
void DataLoopStatement();
// Inside a data loop, a statement of its own (make, select, code, ...),
// the word taken; false when the word starts none.
bool DataLoopWord(const std::string& word);
// Inside a data loop, a name of the data set as an operand; false for
// names declared extern and for calls.
bool DataLoopName(const std::string& name, bool target, Operand& x);

// ---- top level (toplevel.cpp) --------------------------------------------

// proc, fn or keyword: the definition up to endp (or ";" for fn).
void ProcedureDefinition(int kind);

}  // namespace zu::gauss
