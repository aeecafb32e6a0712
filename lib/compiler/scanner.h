// Internal interface of the scanner and preprocessor.  The exported
// functions (IZuScanToken, SZuScanText, ...) are declared in zu.h; this
// header holds what the other files of the folder share, and the helpers
// that the parser uses beyond the exported ones.
#pragma once

#include <optional>
#include <string_view>

#include "compiler/scan_state.h"

namespace zu::compiler {

// ---- characters (scan_chars.cpp) ----------------------------------------

// The next character: from the replacement text while one is active, else
// from the innermost include file, else from the main source; -1 at the end.
// Bytes above 127 come as 128..255.  Newlines are counted here.
int GetChar();
// Pushes one character back onto the layer it came from.
void UngetChar(int c);
// The next character outside a string literal: comments are skipped.
int ReadChar();
// Closes every include file and forgets pushed-back characters and any
// replacement text.
void ResetSources();
// Starts expanding a define's value.
void StartReplacement(std::string_view value);

inline bool IsSpaceChar(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool IsDigitChar(int c) { return c >= '0' && c <= '9'; }
inline bool IsHexChar(int c) { return IsDigitChar(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
inline bool IsLetterChar(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool IsRunChar(int c) { return IsLetterChar(c) || IsDigitChar(c) || c == '_'; }
inline int HexValue(int c) { return IsDigitChar(c) ? c - '0' : (c | 0x20) - 'a' + 10; }
inline int LowerChar(int c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

// ---- messages (scan_messages.cpp) ---------------------------------------

enum class ScanMessage {
#define ZU_SCAN_MESSAGE(Name, text, counted) Name,
#include "compiler/scan_messages.def"
};

// Issues a message through ZuCompileMessage with the current line; the
// attached text, when given, stands in front as "'%s' ".  Counted messages
// raise the error count; `counted` overrides the table.
void Report(ScanMessage message);
void Report(ScanMessage message, std::string_view attached);
void Report(ScanMessage message, std::string_view attached, bool counted);

// ---- token text (scanner.cpp) -------------------------------------------

// Token text building: characters beyond kTokenTextMax are dropped, and
// FinishText reports "symbol too long" once for the token.
void ClearText();
void AppendText(int c);
void SetText(std::string_view text);
void FinishText();
std::string_view Text();

// Reads a run of letters, digits and "_" that starts with `first` into the
// token text; the character after it is pushed back.
void ReadRun(int first);

// One raw token: no directives, no implicit multiplication.
int RawToken();

// ---- literals (scan_number.cpp, scan_string.cpp) ------------------------

// The run in the token text (or a "." followed by a digit) as a number or
// an identifier; 0 when the run is no token.
int ScanNumberOrIdentifier();
// The value of a <hex double> text: up to 16 hex digits ("0x" in front is
// allowed) giving the IEEE bit pattern, padded with leading zeros.
double HexDoubleValue(std::string_view text);
// After the opening quote: the string into the token text, with escapes
// and the joining of adjacent literals.
void ScanStringLiteral();

// ---- operators (operators.cpp, gauss_operators.cpp) ---------------------

// Longest-match operator scanners; 0 when `first` starts no operator,
// tok::Eof for the end of input.
int ScanZuOperator(int first);
int ScanGaussOperator(int first);

// ---- preprocessor (preprocessor.cpp, defines.cpp) -----------------------

// The next token after directives and conditional sections.
int PreprocessedToken();
// Closes the innermost include file and restores the including line.
void PopInclude();

// The define with this name (exact; in ZuGauss mode also any
// case-insensitive define), or null.
const DefineSlot* FindDefine(std::string_view name);
// Defines one name, with an optional value.
void DefineName(std::string_view name, std::optional<std::string_view> value, bool caseInsensitive);
// Defines the "+"-separated names, with an optional value.
void DefineNames(std::string_view names, std::optional<std::string_view> value, bool caseInsensitive);
void RemoveDefine(std::string_view name);
void TruncateDefines(int count);

}  // namespace zu::compiler
