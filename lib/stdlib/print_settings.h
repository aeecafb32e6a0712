// The process-wide print settings and the output log.
#ifndef ZU_STDLIB_PRINT_SETTINGS_H
#define ZU_STDLIB_PRINT_SETTINGS_H

#include <cstdio>
#include <string>
#include <string_view>

#include "stdlib/format.h"

namespace zu::stdlib {

inline constexpr int kDefaultLineWidth = 80;
inline constexpr int kDefaultFieldWidth = 13;
inline constexpr int kDefaultSprintBuffer = 2048;
// sprintbuffer refuses sizes above this, so a program cannot make the
// library reserve an unbounded block.
inline constexpr int kMaxSprintBuffer = 1 << 26;

// A format kept by the settings: its text and its classification.
struct StoredFormat {
    std::string text;
    FormatPiece piece;
};

struct PrintSettings {
    int lineWidth = kDefaultLineWidth;    // format(int)
    int fieldWidth = kDefaultFieldWidth;  // width of the default double format
    StoredFormat intFormat;               // default int format, "%d"
    StoredFormat doubleFormat;            // default double format, "%g"
    StoredFormat elementFormat;           // default matrix-element format, "%#13.5g"
    int sprintBufferSize = kDefaultSprintBuffer;
    bool didNewline = false;   // the last print call ended with a newline
    std::FILE* log = nullptr;  // copy of all console output, owned
};

PrintSettings& Settings();

// Restores the initial formats, widths and buffer size (the log is kept).
void ResetPrintSettings();

// format(string): a double format becomes the default double and element
// format, an int format the default int format; others change nothing.
void SetDefaultFormat(std::string_view text);

// The output log: a stream that receives a copy of every console print.
// Opening replaces (and closes) the one open before; null closes it.
void SetPrintLog(std::FILE* log);

// The buffer that sprint prints into and scan reads from: allocated at the
// first use with room for the size plus 256 bytes, kept until
// ZuStdClosePrintBuffer.  Null when it cannot be allocated.
char* PrintBuffer();
// Sets the size and drops the buffer, so that the next use allocates it
// cleared.
void ResizePrintBuffer(int size);

}  // namespace zu::stdlib

#endif
