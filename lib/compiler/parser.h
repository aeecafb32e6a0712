// Internal interface of the parser and code generator.
//
// One pass, no tree: the parse functions read tokens through the reader
// below and emit p-code through the emitter as they go.  The state of one
// compilation is the single ParseState record; the files of the parser
// share it and the declarations here.
#pragma once

#include "zu.h"

#include "program/symbols_report.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zu::compiler {

using program::FaultSink;
using program::setFaultSink;
using program::TableFault;
using program::TableFull;

// ---- messages (parse_messages.cpp) ---------------------------------------

enum class Msg : int {
#define ZU_PARSE_MESSAGE(Name, code, text) Name = code,
#include "compiler/parse_messages.def"
};

// Thrown after a fatal message (codes 1 to 4): compilation stops.
struct ParseFatal : std::runtime_error {
    ParseFatal() : std::runtime_error("fatal compile error") {}
};
// Thrown by the first counted error while inserted text is compiled: the
// rest of the text is abandoned.
struct InsertAbandoned : std::runtime_error {
    InsertAbandoned() : std::runtime_error("inserted text abandoned") {}
};

// Reports a message with the current line; the attached text, when not
// empty, stands in front as "'%s' ".  Counts, filters warnings and stops
// on fatal codes as the table says.
void Error(Msg msg, std::string_view attached = {});
// The same with a note after the message text, for a hint the message
// itself cannot give.
void Error(Msg msg, std::string_view attached, std::string_view note);
// "'X' expected but found 'Y'".
void ExpectedError(int expected, int found);
// The text of a message code (for tests and the fault sink).
std::string_view MessageText(int code);
// Routes the faults of the symbol, literal and code tables to Error while
// a compilation runs; the destructor restores the previous sink.
class TableFaultsAsMessages {
public:
    TableFaultsAsMessages();
    ~TableFaultsAsMessages();
    TableFaultsAsMessages(const TableFaultsAsMessages&) = delete;
    TableFaultsAsMessages& operator=(const TableFaultsAsMessages&) = delete;

private:
    FaultSink previous_;
};

// ---- parser state --------------------------------------------------------

inline constexpr int kMaxLabels = 40;
inline constexpr int kMaxLoops = 40;
inline constexpr int kInteractiveLocals = 200;
inline constexpr int kNoToken = 0;
// Nesting of expressions and statements beyond this stops the compilation
// before the parser's own recursion could exhaust the stack.
inline constexpr int kMaxNesting = 400;

struct Label {
    std::string name;
    int position = -1;  // where it is defined, -1 while it is not
    int chain = 0;      // head of the chain of jumps waiting for it
};

struct Loop {
    int breakChain = 0;       // forward jumps to the loop's exit
    int continueTarget = -1;  // where continue goes; -1: chained
    int continueChain = 0;    // forward jumps to a continue target not yet known
};

// Everything a compilation keeps beyond the tables.
struct ParseState {
    // Token reader.
    int pushed = kNoToken;   // one pushed-back token, 0 when none
    std::string pushedText;  // its text (strings may hold NUL bytes)
    std::string text;        // text of the token taken last
    long taken = 0;          // tokens taken so far: tells progress

    int errors = 0;          // counted parser messages
    bool inserting = false;  // inserted text: the first error abandons it

    std::string nameSpace;      // current namespace, empty outside one
    int currentClass = -1;      // class of the member function compiled
    std::string memberName;     // the member function compiled
    bool memberStatic = false;  // ... is static: no this
    bool inConstructor = false;
    bool inDestructor = false;
    int testDepth = 0;             // > 0 while a test expression is compiled
    bool interactiveMain = false;  // main of interactive mode
    bool implicitLocals = false;   // inserted text: assigned or called names become locals
    int frameNamesEnd = -1;        // inserted text: records below are the running frame's names
    int multipleAssignment = 0;    // > 0 inside a multiple assignment
    int depth = 0;                 // nesting of the parse functions now open

    std::vector<Label> labels;
    std::vector<Loop> loops;
    int maxLocals = 0;  // largest number of locals in the function

    // Emitter.
    int barrier = 0;    // no rewrite reaches below this position
    int lastLine = -1;  // operand of the last line marker emitted

    // Options.
    bool optimize = true;
    bool lineNumbers = true;
    bool debugInfo = false;
    int warningLevel = 1;
    int arrayBase = 0;

    // Member functions declared virtual: bound by name at run time.
    std::set<std::string> virtualMembers;
};

ParseState& State();

// Counts one level of nesting for its lifetime; too deep a nesting is
// reported as "out of memory", which stops the compilation.
class NestingGuard {
public:
    NestingGuard();
    ~NestingGuard() {
        if (State().depth > 0) --State().depth;
    }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
};
// Clears everything of one compilation; options and virtual members stay.
void ResetState();

// ---- token reader (parse_tokens.cpp) -------------------------------------

// The next token (the pushed-back one first); its text is State().text.
int Next();
// The next token without taking it.
int Peek();
// Takes the next token if it is t.
bool Accept(int t);
// Takes the next token, which should be t; otherwise reports "expected
// but found" and leaves the found token to be read again.
bool Expect(int t);
// Pushes the token just taken back (its text is State().text).
void Unread(int t);
// Skips tokens up to and including t, or up to end of file.
void SkipPast(int t);

// ---- emitter (emitter.cpp) -----------------------------------------------

int Here();
// Emits an instruction after the rewrites; returns its position.
int Emit(int op, int arg = 0);
// The instruction at a position.
ZuPCODE& At(int position);
// A position that jumps will land on: rewrites do not reach below it.
int Target();
// Emits a forward jump chained onto `chain` and returns the new head.
int EmitChained(int op, int chain);
// Points every jump of a chain at the current position.
void PatchHere(int chain);
// Points every jump of a chain at a position.
void PatchTo(int chain, int position);
// Removes a chain of one JMP that would land on the next instruction (or
// the one after a single NUM); otherwise patches it here.
void PatchOrDropJump(int chain);
// A statement's line marker, when line numbering is on; beforeJump emits
// it only when the line changed.
void LineMarker(bool beforeJump = false);

// ---- operand descriptor (operand.cpp) ------------------------------------

enum class Storage {
    None,      // the value is in its stack slot already
    Global,    // index: global symbol
    Argument,  // index: argument number
    Local,     // index: local number
    Indexed,   // value and index are on the stack
    Indexed2,  // two-part index of the ZuGauss statements
    Member,    // object on the stack, index: data member number
    Constant,  // loaded by the instruction (op, index) without storage
};

struct Operand {
    Storage kind = Storage::None;
    int index = 0;
    int op = 0;               // Constant: the load instruction
    int symbol = -1;          // the symbol record named, -1 none
    int xrs = -1;             // position of the XRS before the last index
    bool constant = false;    // may not be assigned
    bool function = false;    // a function name: no lvalue
    bool classRef = false;    // a class name
    bool designator = false;  // object and member designator pushed: a
                              // call follows, or MFU makes a value
    bool isThis = false;      // the object of the member function
    std::string name;         // for messages
};

bool IsLvalue(const Operand& x);
// Loads the operand into its slot; afterwards it is Storage::None.
void Load(Operand& x);
// What an assignment needs before the right side: a slot for the value
// when the target is indexed or a member.
void Placeholder(const Operand& x);
// Stores the slot's value into the target (and switches its XRS on).
void Store(Operand& x);
// Copies of the target's stack entries for a compound update (2 for an
// indexed target, 1 for a member).
void DuplicateTarget(const Operand& x);
// Checks that an operand may be assigned; reports otherwise.
bool CheckAssignable(const Operand& x);

// ---- expressions (expressions.cpp, primary.cpp) --------------------------

// expression: assignment { , assignment }
Operand ParseExpression();
// assignment: the level below the comma
Operand ParseAssignment();
// The operand of a unary operator (level 15).
Operand ParseUnary();
// A test of if, while, do and for: the value loaded into its slot.
void ParseTest();
// primary and its postfix operators (level 17).
Operand ParsePostfix();
// The arguments of a call, "(" taken: PSH 0 and the value for each, up
// to ")".  A non-zero `subtract` is taken off the last argument.
int ParseArguments(int subtract = 0);
// The operator levels below the assignment (level 3 on).
Operand ParseConditional();
// Loads an expression's value into the current slot.
inline void LoadExpression() {
    Operand x = ParseExpression();
    Load(x);
}
inline void LoadAssignment() {
    Operand x = ParseAssignment();
    Load(x);
}

// ---- constants (constants.cpp, matrix_constant.cpp) ----------------------

// A compile-time value: an int, double or string, or an owned matrix or
// array value (released by the destructor unless taken).
class ConstValue {
public:
    // Every byte of the record starts at zero: "ZuVALUE v{}" zeroes only the
    // first member of each word (an int), and some compilers leave the rest
    // of a pointer word as it was.
    static ZuVALUE Blank() {
        ZuVALUE v;
        std::memset(&v, 0, sizeof v);
        return v;
    }

    ConstValue() { value_.t = ZU_INT; }
    explicit ConstValue(int i) {
        value_.t = ZU_INT;
        value_.w1.i = i;
    }
    explicit ConstValue(double d) {
        value_.t = ZU_DOUBLE;
        value_.w1.d = d;
    }
    ConstValue(const ConstValue&) = delete;
    ConstValue& operator=(const ConstValue&) = delete;
    ConstValue(ConstValue&& other) noexcept : value_(other.value_) {
        other.value_ = Blank();
        other.value_.t = ZU_INT;
    }
    ConstValue& operator=(ConstValue&& other) noexcept;
    ~ConstValue();

    int kind() const { return value_.t & ZU_TYPE_MASK; }
    bool isNumber() const { return kind() == ZU_INT || kind() == ZU_DOUBLE; }
    double number() const { return kind() == ZU_INT ? value_.w1.i : value_.w1.d; }
    const ZuVALUE& value() const { return value_; }
    ZuVALUE& value() { return value_; }
    // Hands the value over (it owns its data); this becomes int 0.
    ZuVALUE release();
    // Takes over an owned value.
    static ConstValue adopt(const ZuVALUE& v);
    static ConstValue string(std::string_view bytes);

private:
    ZuVALUE value_ = Blank();
};

// A constant expression: + - * / ^ over ints and doubles, and the
// constant operands.
ConstValue ParseConstExpression();
// A constant int: "constant expression must be integer" otherwise.
int ParseConstInt();
// "<" was taken: a matrix constant as an owned matrix value.
ConstValue ParseMatrixConstant();
// "{" was taken: a constant array.
ConstValue ParseConstArray();
// An owned copy of a constant's value (global initialisers, symbols).
ZuVALUE CopyValue(const ZuVALUE& v);
bool SameValue(const ZuVALUE& a, const ZuVALUE& b);

// ---- statements and functions (statements.cpp, functions.cpp) ------------

// statement
void ParseStatement();
// { statements } with the block's locals removed at "}"
void ParseBlock();
// decl name [= value], ... in a function
void ParseLocalDecl();
// Declares a local of the current block; returns its local number.
int DeclareLocal(std::string_view name);
// Reports the labels of the function never defined and empties the table.
void EndLabels();
// Removes the locals from a mark on (ELT -n under debug information).
void EndLocals(int mark);
// The local number of a record of the function.
int LocalNumber(int record);

struct FunctionHead {
    std::string name;               // with namespace prefix
    std::vector<std::string> args;  // formal names, hidden ones first
    std::string letters;            // 'c' or ' ' per argument
    int count = 0;                  // signed argument count
};
// ( formals ): the formal list; "(" not yet taken.
FunctionHead ParseFormals(std::string name, bool member);
// The function body: code for a function whose formals are known.  Returns
// the position where its code starts.
int CompileFunctionBody(const FunctionHead& head);
// A malloc'd text, owned until a value takes it over (release()), so that
// a compile error thrown before that does not lose it.
struct FreeText {
    void operator()(char* text) const { std::free(text); }
};
using OwnedText = std::unique_ptr<char, FreeText>;
// Builds a signature text: letters, "$", name[, "@", link].
OwnedText MakeSignature(const FunctionHead& head, std::string_view link);
// The same text without a link, as a string.
std::string MakeSignatureView(const FunctionHead& head);
// name ( formals ) ; or a definition, with the flags of its prefixes.
void ParseFunction(const std::string& name, int flags, std::string_view link);

// ---- top level (toplevel.cpp, classes.cpp) -------------------------------

// Top-level items up to end of file, or up to "}" inside a namespace.
void ParseTopLevel(bool inNamespace);
// class Name [: Base] { members }
void ParseClass();
// Class::member ( formals ) body
void ParseMemberDefinition(std::string className);
// The global a name refers to: namespace prefix first.
int FindGlobal(std::string_view name);
std::string Qualified(std::string_view name);

// ---- helpers -------------------------------------------------------------

// A malloc'd copy of a text.
char* CopyText(std::string_view text);
// Declares main, a global function without arguments, and returns its record.
int DeclareMain();

}  // namespace zu::compiler
