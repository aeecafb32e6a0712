// The sheet: a device-independent display list of drawing primitives in
// integer sheet units (15000 by 10000 for the default paper), the areas it
// is divided into, the defaults that drawing objects take, the text markup
// layout, and the writers that replay a sheet as PostScript or through
// cairo.  Everything the graphics subsystem draws goes through here.
//
// This header is the boundary between the two halves of lib/draw: the
// sheet side (sheet.cpp, defaults.cpp, text_markup.cpp, font_metrics.cpp,
// postscript.cpp, cairo_writer.cpp) and the drawing side (the drawing
// model, the graphics file, the rendering and the library routines),
// which uses only what is declared here.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zu::draw {

// ------------------------------------------------------------------
// Display records
// ------------------------------------------------------------------

// Codes of the display records; the values are those of the file forms
// and must not change.
enum RecordCode : std::int32_t {
    kRecNone = 0,
    kRecMove = 1,             // a, b = x, y
    kRecRelMove = 2,          // a, b = dx, dy
    kRecLine = 3,             // a, b = x, y
    kRecRelLine = 4,          // a, b = dx, dy
    kRecBoxTo = 5,            // a, b = corner x, y
    kRecLineType = 6,         // a = type 0..15
    kRecLineWidth = 7,        // a = width
    kRecColor = 8,            // a = colour index 0..255
    kRecFillColor = 9,        // packed RGB in `packed`, or -1
    kRecTextDirection = 10,   // a = degrees (360: right-aligned)
    kRecFont = 11,            // a = font 0..15, b = size
    kRecText = 12,            // owned text, at the current position
    kRecTextTo = 13,          // owned text, continuing at the current point
    kRecSymbolChar = 14,      // a = Symbol-font character, b = size
    kRecSymbolCharSame = 15,  // a = Symbol-font character
    kRecTab = 16,             // a = 0..3
    kRecSymbolFirst = 18,     // 18 + symbol type 0..11; a, b = width, height
    kRecSymbolLast = 29,
    kRecBeginPath = 31,
    kRecEndPath = 32,  // a = fill mode 0 none, 1 fill, 2 fill and stroke
};

// One display record: a code and either two signed 16-bit values, a
// packed colour, or an owned text (codes 12 and 13 only; freed with the
// block that holds it).
struct DisplayRecord {
    std::int32_t code = kRecNone;
    union {
        struct {
            std::int16_t a;
            std::int16_t b;
        } v;
        std::int32_t packed;
        char* text;
    };
};

// A block of the display list: 256 records of which at most 255 are used.
struct DisplayBlock {
    static constexpr int kCapacity = 255;
    DisplayRecord records[256]{};
    int used = 0;
};

// ------------------------------------------------------------------
// Areas
// ------------------------------------------------------------------

// The 3-D view of an area: world box, the view angles in degrees and the
// distance factor.  How a world point is projected is the drawing side's
// projection (GDIwToP3); the sheet only stores the settings.
struct View3D {
    double xmin = 0, xmax = 1, ymin = 0, ymax = 1, zmin = 0, zmax = 1;
    double elevation = 30;  // degrees above the x-y plane
    double azimuth = 40;    // degrees of rotation about the z axis
    double distance = 0;    // 0: parallel projection
    double twist = 0;
};

struct SheetArea {
    int x0 = 0, y0 = 0, x1 = 15000, y1 = 10000;     // sheet rectangle
    double xmin = 0, ymin = 0, xmax = 1, ymax = 1;  // world rectangle
    double xscale = 15000, yscale = 10000;          // sheet units a world unit
    bool is3d = false;
    View3D view;
};

inline constexpr int kAreaCount = 36;
inline constexpr int kPaperWidth = 15000;
inline constexpr int kPaperHeight = 10000;

// ------------------------------------------------------------------
// The sheet
// ------------------------------------------------------------------

struct Sheet {
    std::vector<std::unique_ptr<DisplayBlock>> blocks;  // never empty
    int paperWidth = kPaperWidth, paperHeight = kPaperHeight;
    SheetArea areas[kAreaCount];
    int currentArea = 0;
    int clipX0 = 0, clipY0 = 0, clipX1 = kPaperWidth, clipY1 = kPaperHeight;
    int curX = 0, curY = 0;  // last point moved or drawn to
    // Last recorded settings, so that repeats are not recorded twice;
    // -1 means none recorded yet.
    int color = -1, lineType = -1, lineWidth = -1, textDirection = 0;
    int font = 0, fontSize = 0;
    int pathFillMode = 0;  // for the next GDIendPath
    bool inPath = false;
    Sheet();
    ~Sheet();  // frees the owned texts
    Sheet(const Sheet&) = delete;
    Sheet& operator=(const Sheet&) = delete;
};

// Sheet life.  GDIopenSheet makes the new sheet current; null when memory
// cannot be had.  GDIcloseSheet frees it (and clears "current" when it was).
Sheet* GDIopenSheet();
void GDIsetSheet(Sheet* sheet);
Sheet* GDIgetSheet();
void GDIclearSheet();  // empties the display list of the current sheet
void GDIcloseSheet(Sheet* sheet);

// Calls f(const DisplayRecord&) for every record of the sheet in order.
template <class F>
void ForEachRecord(const Sheet& sheet, F&& f) {
    for (const auto& block : sheet.blocks)
        for (int i = 0; i < block->used; ++i) f(block->records[i]);
}

// Primitives on the current sheet, in sheet units.  Coordinates beyond
// the 16-bit range are clamped to it.
void GDIpmoveTo(int x, int y);
void GDIprmoveTo(int dx, int dy);
void GDIplineTo(int x, int y);  // clipped to the clip rectangle
void GDIplineToNoClip(int x, int y);
void GDIprlineTo(int dx, int dy);
void GDIpboxTo(int x, int y);
void GDIlineType(int type);
void GDIlineWidth(int width);
void GDIcolor(int color);
void GDIcolorFill(std::int32_t packedRgb);  // -1: no fill colour
void GDItextDirection(int degrees);
void GDItextFont(int font, int size);
void GDItextout(std::string_view text);  // record 12 (plain text, no markup)
void GDItextTo(std::string_view text);   // record 13
void GDItextTable(int op);
// A symbol of type 0..11 with its lower-left corner at the current point.
void GDIpsymbol(int type, int width, int height);
void GDIsymbolChar(int code, int size);  // record 14
void GDIbeginPath();
void GDIsetPathFill(int mode);
void GDIendPath();
void GDIsetClip(int x0, int y0, int x1, int y1);
void GDIclipToArea(int area);  // the clip rectangle becomes the area's
void GDIclipToSheet();

// Areas.  GDIsetAreas divides the paper into a grid of rows by columns
// with margin m (nothing when rows or columns are below 1).
void GDIsetAreas(int rows, int columns, int margin);
SheetArea& GDIgetArea(int area);  // area clamped to 0..35
void GDIsetArea(int area);        // the current area for world coordinates
void GDIsetAreaPixels(int area, int x0, int y0, int x1, int y1);
void GDIsetAreaWorld(int area, double xmin, double xmax, double ymin, double ymax);

// World coordinates of the current area.
void GDIwToP(double x, double y, int* px, int* py);
void GDIpToW(int px, int py, double* x, double* y);
int GDIwLengthX(double dx);  // a world length in sheet units
int GDIwLengthY(double dy);
void GDImoveTo(double x, double y);
void GDIlineTo(double x, double y);
// A symbol centred on a world point (moves to its lower-left corner first).
void GDIsymbolTo(double x, double y, int type, int width, int height);

// 3-D views (projection.cpp, drawing side).  GDImakeArea3D turns the
// current area into a 3-D area over the given view; GDIwToP3 maps a world
// point of it to the sheet.
void GDImakeArea3D(int area, const View3D& view);
void GDIwToP3(double x, double y, double z, int* px, int* py);
void GDImoveTo3(double x, double y, double z);
void GDIlineTo3(double x, double y, double z);

// ------------------------------------------------------------------
// Defaults
// ------------------------------------------------------------------

struct LineMode {
    int style = 0;  // 0 solid, 1 dotted, 2 dashed, 3 long dashes, 4 own lengths
    int width = 10;
    int dash1 = 10;
    int dash2 = 10;
};

inline constexpr int kColourModes = 4;
inline constexpr int kColours = 16;

// The settings that SetDrawOptions changes and that drawing objects take
// when they are made.  Packed RGB: red + 256 green + 65536 blue.
struct Defaults {
    int margin = 640;
    int boxFlags[3] = {0, 0, 0};
    int font = 0, fontSize = 330;
    int axisFontSize = 300, axisDivision = 1000, axisTickLength = 60;
    int axisLine[4] = {0, 0, 0, 0};
    int axisZeros = 1;
    int axisFormat[4] = {8, 6, 1, 1};
    int grid[2] = {14, 14};
    int legend[2] = {1, 2};
    int legendHidden = 0, legendResize = 1, legendFontSize = 300;
    int histogram[2] = {0, 13};
    int symbolType[kColours] = {};  // per index
    int symbolSize[kColours] = {};
    int symbolMode = 0;
    LineMode lineModes[kColourModes][kColours];
    std::int32_t colours[kColourModes][kColours] = {};
    std::int32_t colours2[kColourModes][kColours] = {};  // second colour values
    std::int32_t paletteStart = 0, paletteEnd = 0;
    int palette = 0;  // palette index 0..7 used by new objects
    int style2d = 0, style3d = 1;
    std::int32_t paperColour = 0, paperColour2 = 0;
    int foreground = 1;
    int printColourModel = 1;
    int printPaper = 0, printOrientation = 1;  // paper 0 A4, 1 Letter, 2 user
    int printWidth = 0, printHeight = 0;       // user page in points
    int displayMode = 0;                       // the current colour mode
};

// The process-wide defaults.  The first call resets them fully.
Defaults& GDIdefaults();
// group 0 or 1: everything; 2: all but the colours and line modes;
// 3: the palette only.
void ResetGDIauto(int group);
// The default-setting options 1..24 with up to five numeric arguments;
// 0 resets (argument 0 or 1 all, 2 all but one group, 3 the palette);
// codes 25 and above are ignored.
void SetDrawOptions(int code, std::span<const double> args);
// The eight palettes: darker and lighter packed colour.
std::int32_t GDIpaletteColour(int palette, bool lighter);
// The RGB of a colour index in the current display mode (0..255 each).
void GDIcolourRgb(int colour, int* red, int* green, int* blue);

// ------------------------------------------------------------------
// Text markup
// ------------------------------------------------------------------

// Lays out a text with markup (backslash commands, $ $, ^, _, braces) at
// sheet point (x, y) in the given font and size and records it as
// records 10 to 16.  align: 0 left, 1 centred, 2 right (at x); rotation
// in degrees.
void GDItextMarkup(std::string_view text, int x, int y, int font, int size, int align, int rotation);
// The width and height in sheet units that GDItextMarkup would take.
int GDItextWidth(std::string_view text, int font, int size);
int GDItextHeight(std::string_view text, int font, int size);

// ------------------------------------------------------------------
// Writers
// ------------------------------------------------------------------

// Writes the sheet as PostScript; eps 1 Encapsulated, 0 full page.
// Returns 1, or 0 when the file cannot be opened (nothing written).
int GDIsaveAsPostScriptFile(const char* fileName, const Sheet& sheet, int eps);

enum class CairoForm { kSvg, kPdf, kPng };
// Renders the sheet through cairo: same picture as the PostScript form,
// 432 points wide (PNG: `pixelWidth` pixels wide).  Returns 1, or 0 when
// the file cannot be written.
int GDIsaveWithCairo(const char* fileName, const Sheet& sheet, CairoForm form, int pixelWidth = 1200);

}  // namespace zu::draw
