// The drawing: an ordered list of objects (data vectors, axes, lines and
// symbols, histograms, area settings, texts, legends) spread over up to 36
// areas, with the operations that build, find, change, copy and free
// them.  A drawing is rendered onto its sheet (render.cpp) and saved as
// PostScript or as the graphics file (graphics_file.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "draw/sheet.h"

namespace zu::draw {

enum ObjectKind : int {
    kKindFree = 0,
    kKindVector = 1,
    kKindAxis = 2,
    kKindLine = 4,
    kKindHist = 5,
    kKindArea = 6,
    kKindText = 7,
    kKindLegend = 8,
};

// Z modes of a vector: how its z data are drawn.
enum ZMode : int {
    kZSymbolSize = 0,   // z scales the symbols
    kZErrorBars = 1,    // y +/- z as bars
    kZBand = 2,         // y +/- z as a band
    kZHighLow = 3,      // bars from z up to y (with a bar width)
    kZMesh = 256,       // z over the grid of x by y
    kZTriangles = 257,  // z at scattered (x, y) points
};

// Data that an object either owns or borrows from the caller's memory.
// Borrowed data must outlive the object unless it takes a copy
// (TakeCopy, done by ICheckDrawPointer before the caller frees it).
class DataRef {
public:
    DataRef() = default;
    void Borrow(const double* data, int n) {
        own_.clear();
        ref_ = data;
        n_ = data != nullptr && n > 0 ? n : 0;
    }
    bool Copy(const double* data, int n);  // false when memory runs out
    bool TakeCopy() { return ref_ == nullptr || Copy(ref_, n_); }
    const double* data() const { return ref_; }
    int size() const { return n_; }
    bool empty() const { return n_ == 0; }
    bool borrowed() const { return ref_ != nullptr && (own_.empty() || ref_ != own_.data()); }
    double operator[](int i) const { return ref_[i]; }
    void Clear() {
        own_.clear();
        own_.shrink_to_fit();
        ref_ = nullptr;
        n_ = 0;
    }

private:
    std::vector<double> own_;
    const double* ref_ = nullptr;
    int n_ = 0;
};

struct VectorFields {
    DataRef y, x, z;
    std::string yLabel, xLabel, zLabel;
    double ymin = 0, ymax = 0, xmin = 0, xmax = 0;
    double xstart = 1, xstep = 1;
    int symbolMode = 0;  // 0 line, 1 symbols, 2 line and symbols, 3 index, 4 bars
    int symbolType = 2, symbolSize = 90;
    double factor = 1, shift = 0;
    int freq = 0;
    int indexMode = 0;  // 0 none, 1 index, 2 idxbar
    double indexBase = 0;
    int reg[3] = {0, 0, 0};
    int zMode = 0;
    double barWidth = 0;
    int barInt = 0;
    int palette = 0;
    int contour[2] = {0, 0};
    int meshRows = 0, meshColumns = 0;  // z mode 256: y has rows, x columns
};

struct AxisFields {
    int type = 1;  // 1 x axis, 0 y axis, 2 z axis
    double anchor = 0, anchor2 = 0;
    double scale[5] = {0, 0, 0, 0, 0};  // min, max, first large tick, large step, small step
    int freq = 0;
    bool automatic = true;
    bool anchorSet = false;              // otherwise the axis sits at the minimum of the other axis
    int label[3] = {0, 0, 0};            // font size, show labels, decimals (-1 automatic)
    int grid[3] = {0, 0, 0};             // show grid, grid colour, grid line type
    int set[7] = {1, 0, 0, 0, 0, 0, 0};  // shown, tick length, division, ...
    int rotation = 0;
    bool hasScale = false;
    int scaleType = 0;
    double scaleFactor = 1, scaleShift = 0;
};

struct LineFields {
    double x1 = 0, y1 = 0, z1 = 0, x2 = 0, y2 = 0, z2 = 0;
    int px1 = 0, py1 = 0, px2 = 0, py2 = 0;
    bool sheetCoordinates = false;
    int type = 5;  // 5 a line, otherwise the symbol type
};

struct HistFields {
    DataRef data;
    double start = 0, step = 1, ymin = 0, ymax = 0, base = 0, width = 1;  // width: fraction of the step
    int outline = 1;                                                      // outline colour (-1 none)
};

struct AreaFields {
    bool hasPixelBox = false;
    int pixelBox[4] = {0, 0, 0, 0};
    bool hasX = false, hasY = false, hasZ = false;
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0, zmin = 0, zmax = 0;
    bool is3d = false, hasView = false;
    double view[4] = {30, 40, 0, 0};  // elevation, azimuth, distance, twist
    bool box = false;
};

struct TextFields {
    int x = 0, y = 0;  // sheet coordinates
    std::string text;
    int font = 0, size = 330, role = 0;
    bool world = false;
    double wx = 0, wy = 0, wz = 0;
    int rotation = 0;
};

struct LegendFields {
    int x = 20, y = 20, layout = 1;
    int set[4] = {300, 1, 2, 0};  // font size, two default settings, hidden
    int resize = 1;
};

// One object: the common head and the fields of its kind (the others stay
// at their defaults).
struct DrawObject {
    int area = 0;
    bool ownsData = false;
    int kind = kKindFree;
    int colour = 1;
    int lineType = 1;
    VectorFields vec;
    AxisFields axis;
    LineFields line;
    HistFields hist;
    AreaFields areaSet;
    TextFields text;
    LegendFields legend;
};

struct Drawing {
    Sheet* sheet = nullptr;                            // owned
    std::vector<std::unique_ptr<DrawObject>> objects;  // list order is drawing and file order
    int areaCount = 0;
    int areaRows = 0, areaColumns = 0;
    int number = 0;
    std::int32_t paperColour = 0, paperColour2 = 0;
    int boxMode = 0;
    int paperWidth = kPaperWidth, paperHeight = kPaperHeight;
    int objectCount() const { return static_cast<int>(objects.size()); }
};

// A colour index above 15 folded into 2..15.
int FoldColour(int colour);

// Drawing and list operations.
Drawing* DrawingOpen();
void DrawingClose(Drawing* d);
void FreeDrawObject(DrawObject* obj);
void FreeDrawArea(Drawing* d, int area);
DrawObject* FindDrawObject(Drawing* d, int position);
DrawObject* GetDrawObject(Drawing* d, int area, int kind, int nth);
int CountDrawObject(Drawing* d, int area, int kind);
int IGetDrawingAreas(Drawing* d);
void SetDrawingAreas(Drawing* d, int rows, int columns);
int FCopyDrawing(Drawing* target, int targetArea, Drawing* source, int sourceArea);
int ICheckDrawPointer(Drawing* d, const double* block, std::size_t count, bool makeCopies);

// Builders: the list position of the new object, or negative.
// `copy` makes the object own copies of the data.
int IDrawVector(Drawing* d, int area, const double* y, int n, const char* label, double xstart, double xstep,
                int colour, bool copy);
int IDrawXVector(Drawing* d, int area, const double* y, int n, const char* yLabel, const double* x, const char* xLabel,
                 int colour, bool copy);
int IDrawTimeVector(Drawing* d, int area, const double* y, int n, const char* label, int year, int period, int freq,
                    int colour, bool copy);
int IDrawMesh(Drawing* d, int area, const double* x, int columns, const double* y, int rows, const double* z,
              int colour, bool copy);
int IDrawTriangulation(Drawing* d, int area, const double* x, const double* y, const double* z, int n, int colour,
                       bool copy);
// Points (x, y, z) in 3-D; a grid of z over x (columns) by y (rows) as
// its points.
int IDraw3D(Drawing* d, int area, const double* x, const double* y, const double* z, int n, int colour, bool copy);
int IDrawTriangulationGrid(Drawing* d, int area, const double* x, int columns, const double* y, int rows,
                           const double* z, int colour);
int IDrawAxis(Drawing* d, int area, int type, double anchor, double min, double max, double firstLarge,
              double largeStep, double smallStep, int freq);
int IDrawAxis3(Drawing* d, int area, int type, double anchor, double anchor2, double min, double max, double firstLarge,
               double largeStep, double smallStep, int freq);
int IDrawAxisAuto(Drawing* d, int area, int type, bool show, bool anchorSet, double anchor);
int IDrawLine(Drawing* d, int area, double x1, double y1, double z1, double x2, double y2, double z2, int colour);
int IDrawPline(Drawing* d, int area, int x1, int y1, int x2, int y2, int colour);
int IDrawSymbol(Drawing* d, int area, double x1, double y1, double x2, double y2, int type, int colour);
int IDrawSymbol3(Drawing* d, int area, double x, double y, double z, int type, int size, int colour);
int IDrawPsymbol(Drawing* d, int area, int x1, int y1, int x2, int y2, int type, int colour);
int IDrawHist(Drawing* d, int area, const double* counts, int n, double start, double step, int colour, bool copy);
// The histogram of data: `bins` bars of equal width over its range (the
// missing values left out).
int IDrawHistogram(Drawing* d, int area, const double* data, int n, int bins, int colour);
// Bars of the heights y centred on xstart, xstart + xstep, ...; the time
// form on the periods from a year and period at a frequency.
int IDrawBar(Drawing* d, int area, const double* y, int n, double xstart, double xstep, int colour, bool copy);
int IDrawTimeBar(Drawing* d, int area, const double* y, int n, int year, int period, int freq, int colour, bool copy);
int IDrawText(Drawing* d, int area, const char* text, int x, int y, int font, int size, int role, int colour);
int IDrawTitle(Drawing* d, int area, const char* text);
int IDrawWtext(Drawing* d, int area, const char* text, double x, double y, int font, int size, int role, int colour);
int IDrawWtext3(Drawing* d, int area, const char* text, double x, double y, double z, int font, int size, int colour);
int IDrawLegend(Drawing* d, int area, int x, int y, bool hidden);
// The area-settings object of an area, made when missing; null when it
// cannot be made.
DrawObject* AreaSettings(Drawing* d, int area, bool box);

// Setters: act on the object at a list position (-1 the last), of the
// right kind; negative arguments leave a field unchanged.
void SetDrawColour(Drawing* d, int position, int colour, int lineType);
void SetDrawAxisShow(Drawing* d, int position, int show);
void SetDrawVecSymbolUse(Drawing* d, int position, int mode);
void SetDrawVecSymbol(Drawing* d, int position, int type, int size);
bool SetDrawVecZ(Drawing* d, int position, const double* z, int n, const char* label, int mode, double factor,
                 bool copy);
void SetDrawContour(Drawing* d, int position, int count, int labels);
void SetDrawPalette(Drawing* d, int position, int palette);
void SetDrawVecIndex(Drawing* d, int position, int mode, double base);
void SetDrawVecFreq(Drawing* d, int position, int freq);
void SetDrawVecScale(Drawing* d, int position, double factor, double shift);
void SetDrawVecMinMax(Drawing* d, int position, double min, double max);
bool SetDrawCopy(Drawing* d, int position);
bool SetObjCopy(DrawObject* obj);
void SetDrawAdjustment(Drawing* d, int position, int code, std::span<const double> numbers);

// The graphics file.  DrawingWrite returns 1, or 0 for an empty drawing or
// a file that cannot be opened; DrawingRead returns the drawing (a new one
// when null is given) or null.
int DrawingWrite(const char* fileName, Drawing* d);
Drawing* DrawingRead(Drawing* d, const char* fileName);

// Rendering onto the drawing's sheet (render.cpp).
void DrawDrawing(Drawing* d);

}  // namespace zu::draw
