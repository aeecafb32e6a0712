// The drawing record and its object list: opening and closing, finding,
// the builders of every object kind, copying and freeing.
#include "draw/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace zu::draw {
namespace {

int drawingCounter = 0;

// The finite minimum and maximum of n values; 0 and 0 without any.
void Range(const double* v, int n, double* min, double* max) {
    bool any = false;
    double lo = 0, hi = 0;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(v[i])) continue;
        if (!any || v[i] < lo) lo = v[i];
        if (!any || v[i] > hi) hi = v[i];
        any = true;
    }
    *min = lo;
    *max = hi;
}

bool SetData(DataRef& ref, const double* data, int n, bool copy) {
    if (copy) return ref.Copy(data, n);
    ref.Borrow(data, n);
    return true;
}

// Appends a new object of area a; null when the drawing is null, the area
// is out of range or memory runs out.
DrawObject* NewObject(Drawing* d, int area, int kind, int colour) {
    if (d == nullptr || area < 0 || area >= kAreaCount) return nullptr;
    auto obj = std::unique_ptr<DrawObject>(new (std::nothrow) DrawObject);
    if (!obj) return nullptr;
    obj->area = area;
    obj->kind = kind;
    obj->colour = FoldColour(colour);
    obj->lineType = obj->colour;
    try {
        d->objects.push_back(std::move(obj));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (area >= d->areaCount) d->areaCount = area + 1;
    return d->objects.back().get();
}

int LastPosition(const Drawing* d) { return d->objectCount() - 1; }

// Drops the last object again (a builder that failed half-way).
int Undo(Drawing* d) {
    d->objects.pop_back();
    return -1;
}

void TakeVectorDefaults(DrawObject* obj) {
    const Defaults& def = GDIdefaults();
    const int index = obj->colour % kColours;
    obj->vec.symbolMode = def.symbolMode;
    obj->vec.symbolType = def.symbolType[index];
    obj->vec.symbolSize = def.symbolSize[index];
    obj->vec.palette = def.palette;
}

}  // namespace

bool DataRef::Copy(const double* data, int n) {
    if (data == nullptr || n <= 0) {
        Clear();
        return true;
    }
    if (!own_.empty() && data == own_.data()) return true;
    try {
        std::vector<double> copy(data, data + n);
        own_ = std::move(copy);
    } catch (const std::bad_alloc&) {
        return false;
    }
    ref_ = own_.data();
    n_ = n;
    return true;
}

int FoldColour(int colour) {
    if (colour < 0) return 1;
    return colour > 15 ? ((colour - 2) % 14) + 2 : colour;
}

// ------------------------------------------------------------------
// The drawing and its list
// ------------------------------------------------------------------

Drawing* DrawingOpen() {
    Sheet* sheet = GDIopenSheet();
    if (sheet == nullptr) return nullptr;
    auto* d = new (std::nothrow) Drawing;
    if (d == nullptr) {
        GDIcloseSheet(sheet);
        return nullptr;
    }
    const Defaults& def = GDIdefaults();
    d->sheet = sheet;
    d->number = ++drawingCounter;
    d->boxMode = def.boxFlags[0];
    d->paperColour = def.paperColour;
    d->paperColour2 = def.paperColour2;
    return d;
}

void DrawingClose(Drawing* d) {
    if (d == nullptr) return;
    for (auto& obj : d->objects) FreeDrawObject(obj.get());
    GDIcloseSheet(d->sheet);
    delete d;
}

void FreeDrawObject(DrawObject* obj) {
    if (obj == nullptr) return;
    obj->vec.y.Clear();
    obj->vec.x.Clear();
    obj->vec.z.Clear();
    obj->hist.data.Clear();
    obj->text.text.clear();
    obj->kind = kKindFree;
}

void FreeDrawArea(Drawing* d, int area) {
    if (d == nullptr || area < 0 || area >= kAreaCount) return;
    for (auto& obj : d->objects) {
        if (obj->kind == kKindFree) continue;
        if (obj->area == area)
            FreeDrawObject(obj.get());
        else if (obj->area > area)
            --obj->area;
    }
    if (d->areaCount > 0) --d->areaCount;
}

DrawObject* FindDrawObject(Drawing* d, int position) {
    if (d == nullptr || d->objects.empty()) return nullptr;
    if (position == -1) return d->objects.back().get();
    if (position < 0 || position >= d->objectCount()) return nullptr;
    return d->objects[static_cast<std::size_t>(position)].get();
}

DrawObject* GetDrawObject(Drawing* d, int area, int kind, int nth) {
    if (d == nullptr) return nullptr;
    for (auto& obj : d->objects)
        if (obj->area == area && obj->kind == kind && nth-- == 0) return obj.get();
    return nullptr;
}

int CountDrawObject(Drawing* d, int area, int kind) {
    if (d == nullptr) return 0;
    return static_cast<int>(std::count_if(d->objects.begin(), d->objects.end(),
                                          [&](const auto& obj) { return obj->area == area && obj->kind == kind; }));
}

int IGetDrawingAreas(Drawing* d) { return d != nullptr ? d->areaCount : 0; }

void SetDrawingAreas(Drawing* d, int rows, int columns) {
    if (d == nullptr || rows < 0 || columns < 0 || static_cast<long long>(rows) * columns > kAreaCount) return;
    d->areaRows = rows;
    d->areaColumns = columns;
}

bool SetObjCopy(DrawObject* obj) {
    if (obj == nullptr) return true;
    const bool ok =
        obj->vec.y.TakeCopy() && obj->vec.x.TakeCopy() && obj->vec.z.TakeCopy() && obj->hist.data.TakeCopy();
    if (ok) obj->ownsData = true;
    return ok;
}

int FCopyDrawing(Drawing* target, int targetArea, Drawing* source, int sourceArea) {
    if (target == nullptr || source == nullptr) return 1;
    const int newArea = targetArea < 0 ? target->areaCount : targetArea;
    if (newArea >= kAreaCount) return 1;
    // Copied from a snapshot: the source may be the target itself.
    std::vector<const DrawObject*> originals;
    for (const auto& obj : source->objects)
        if (obj->kind != kKindFree && (sourceArea < 0 || obj->area == sourceArea)) originals.push_back(obj.get());
    for (const DrawObject* original : originals) {
        const bool skipped = targetArea >= 0 && (original->kind == kKindAxis || original->kind == kKindArea ||
                                                 original->kind == kKindLegend);
        if (skipped) continue;
        auto copy = std::unique_ptr<DrawObject>(new (std::nothrow) DrawObject);
        if (!copy) return 1;
        try {
            *copy = *original;
        } catch (const std::bad_alloc&) {
            return 1;
        }
        if (!SetObjCopy(copy.get())) return 1;
        copy->areaSet.hasPixelBox = false;
        if (targetArea >= 0)
            copy->area = newArea;
        else if (sourceArea >= 0)
            copy->area = newArea;
        else
            copy->area = std::min(original->area + target->areaCount, kAreaCount - 1);
        target->areaCount = std::max(target->areaCount, copy->area + 1);
        try {
            target->objects.push_back(std::move(copy));
        } catch (const std::bad_alloc&) {
            return 1;
        }
    }
    return 0;
}

int ICheckDrawPointer(Drawing* d, const double* block, std::size_t count, bool makeCopies) {
    if (d == nullptr || block == nullptr) return 0;
    const double* end = block + count;
    auto inside = [&](const DataRef& r) { return r.borrowed() && r.data() >= block && r.data() < end; };
    int found = 0;
    for (auto& obj : d->objects) {
        if (obj->ownsData) continue;
        if (inside(obj->vec.y) || inside(obj->vec.x) || inside(obj->vec.z) || inside(obj->hist.data)) {
            ++found;
            if (makeCopies) SetObjCopy(obj.get());
        }
    }
    return found;
}

// ------------------------------------------------------------------
// Builders
// ------------------------------------------------------------------

int IDrawVector(Drawing* d, int area, const double* y, int n, const char* label, double xstart, double xstep,
                int colour, bool copy) {
    DrawObject* obj = NewObject(d, area, kKindVector, colour);
    if (obj == nullptr) return -1;
    if (!SetData(obj->vec.y, y, n, copy)) return Undo(d);
    obj->ownsData = copy;
    obj->vec.yLabel = label != nullptr ? label : "";
    obj->vec.xstart = xstart;
    obj->vec.xstep = xstep;
    Range(y, n, &obj->vec.ymin, &obj->vec.ymax);
    obj->vec.xmin = xstart;
    obj->vec.xmax = xstart + (n > 0 ? n - 1 : 0) * xstep;
    TakeVectorDefaults(obj);
    return LastPosition(d);
}

int IDrawXVector(Drawing* d, int area, const double* y, int n, const char* yLabel, const double* x, const char* xLabel,
                 int colour, bool copy) {
    const int pos = IDrawVector(d, area, y, n, yLabel, 1, 1, colour, copy);
    if (pos < 0) return pos;
    DrawObject* obj = d->objects.back().get();
    if (x == nullptr) return pos;  // evenly spaced after all
    if (!SetData(obj->vec.x, x, n, copy)) return Undo(d);
    obj->vec.xLabel = xLabel != nullptr ? xLabel : "";
    Range(x, n, &obj->vec.xmin, &obj->vec.xmax);
    return pos;
}

int IDrawTimeVector(Drawing* d, int area, const double* y, int n, const char* label, int year, int period, int freq,
                    int colour, bool copy) {
    if (freq < 1) freq = 1;
    const int pos = IDrawVector(d, area, y, n, label, year + (period - 1.0) / freq, 1.0 / freq, colour, copy);
    if (pos >= 0) d->objects.back()->vec.freq = freq;
    return pos;
}

int IDrawMesh(Drawing* d, int area, const double* x, int columns, const double* y, int rows, const double* z,
              int colour, bool copy) {
    if (columns < 1 || rows < 1) return -1;
    const long cells = static_cast<long>(rows) * columns;
    if (cells > (1L << 28)) return -1;
    DrawObject* obj = NewObject(d, area, kKindVector, colour);
    if (obj == nullptr) return -1;
    if (!SetData(obj->vec.x, x, columns, copy) || !SetData(obj->vec.y, y, rows, copy) ||
        !SetData(obj->vec.z, z, static_cast<int>(cells), copy))
        return Undo(d);
    obj->ownsData = copy;
    obj->vec.zMode = kZMesh;
    obj->vec.meshRows = rows;
    obj->vec.meshColumns = columns;
    Range(y, rows, &obj->vec.ymin, &obj->vec.ymax);
    Range(x, columns, &obj->vec.xmin, &obj->vec.xmax);
    TakeVectorDefaults(obj);
    return LastPosition(d);
}

int IDrawTriangulation(Drawing* d, int area, const double* x, const double* y, const double* z, int n, int colour,
                       bool copy) {
    DrawObject* obj = NewObject(d, area, kKindVector, colour);
    if (obj == nullptr) return -1;
    if (!SetData(obj->vec.x, x, n, copy) || !SetData(obj->vec.y, y, n, copy) || !SetData(obj->vec.z, z, n, copy))
        return Undo(d);
    obj->ownsData = copy;
    obj->vec.zMode = kZTriangles;
    Range(y, n, &obj->vec.ymin, &obj->vec.ymax);
    Range(x, n, &obj->vec.xmin, &obj->vec.xmax);
    TakeVectorDefaults(obj);
    return LastPosition(d);
}

int IDraw3D(Drawing* d, int area, const double* x, const double* y, const double* z, int n, int colour, bool copy) {
    return IDrawTriangulation(d, area, x, y, z, n, colour, copy);
}

int IDrawTriangulationGrid(Drawing* d, int area, const double* x, int columns, const double* y, int rows,
                           const double* z, int colour) {
    if (columns < 1 || rows < 1 || static_cast<long>(rows) * columns > (1L << 26)) return -1;
    std::vector<double> px, py, pz;
    try {
        const std::size_t n = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
        px.reserve(n), py.reserve(n), pz.reserve(n);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < columns; ++j) {
            px.push_back(x[j]);
            py.push_back(y[i]);
            pz.push_back(z[static_cast<std::size_t>(i) * columns + j]);
        }
    }
    return IDrawTriangulation(d, area, px.data(), py.data(), pz.data(), static_cast<int>(pz.size()), colour, true);
}

int IDrawAxis(Drawing* d, int area, int type, double anchor, double min, double max, double firstLarge,
              double largeStep, double smallStep, int freq) {
    DrawObject* obj = NewObject(d, area, kKindAxis, 1);
    if (obj == nullptr) return -1;
    const Defaults& def = GDIdefaults();
    AxisFields& a = obj->axis;
    a.type = type;
    a.anchor = anchor;
    a.anchorSet = true;
    a.scale[0] = min;
    a.scale[1] = max;
    a.scale[2] = firstLarge;
    a.scale[3] = largeStep;
    a.scale[4] = smallStep;
    a.freq = freq;
    a.automatic = false;
    a.label[0] = def.axisFontSize;
    a.label[1] = 1;
    a.label[2] = -1;
    a.grid[0] = 0;
    a.grid[1] = def.grid[0];
    a.grid[2] = def.grid[1];
    a.set[0] = 1;
    a.set[1] = def.axisTickLength;
    a.set[2] = def.axisDivision;
    a.set[3] = def.axisLine[0];
    return LastPosition(d);
}

int IDrawAxis3(Drawing* d, int area, int type, double anchor, double anchor2, double min, double max, double firstLarge,
               double largeStep, double smallStep, int freq) {
    const int pos = IDrawAxis(d, area, type, anchor, min, max, firstLarge, largeStep, smallStep, freq);
    if (pos >= 0) d->objects.back()->axis.anchor2 = anchor2;
    return pos;
}

int IDrawAxisAuto(Drawing* d, int area, int type, bool show, bool anchorSet, double anchor) {
    const int pos = IDrawAxis(d, area, type, anchor, 0, 0, 0, 0, 0, 0);
    if (pos < 0) return pos;
    AxisFields& a = d->objects.back()->axis;
    a.automatic = true;
    a.anchorSet = anchorSet;
    a.set[0] = show ? 1 : 0;
    return pos;
}

int IDrawLine(Drawing* d, int area, double x1, double y1, double z1, double x2, double y2, double z2, int colour) {
    DrawObject* obj = NewObject(d, area, kKindLine, colour);
    if (obj == nullptr) return -1;
    obj->line = LineFields{x1, y1, z1, x2, y2, z2, 0, 0, 0, 0, false, 5};
    return LastPosition(d);
}

int IDrawPline(Drawing* d, int area, int x1, int y1, int x2, int y2, int colour) {
    DrawObject* obj = NewObject(d, area, kKindLine, colour);
    if (obj == nullptr) return -1;
    obj->line = LineFields{0, 0, 0, 0, 0, 0, x1, y1, x2, y2, true, 5};
    return LastPosition(d);
}

int IDrawSymbol(Drawing* d, int area, double x1, double y1, double x2, double y2, int type, int colour) {
    const int pos = IDrawLine(d, area, x1, y1, 0, x2, y2, 0, colour);
    if (pos >= 0) d->objects.back()->line.type = (type == 5 || type < 0 || type > 11) ? 2 : type;
    return pos;
}

int IDrawSymbol3(Drawing* d, int area, double x, double y, double z, int type, int size, int colour) {
    const int pos = IDrawLine(d, area, x, y, z, x, y, z, colour);
    if (pos < 0) return pos;
    LineFields& l = d->objects.back()->line;
    l.type = (type == 5 || type < 0 || type > 11) ? 2 : type;
    l.px2 = size;  // the size of a 3-D symbol, in sheet units
    return pos;
}

int IDrawPsymbol(Drawing* d, int area, int x1, int y1, int x2, int y2, int type, int colour) {
    const int pos = IDrawPline(d, area, x1, y1, x2, y2, colour);
    if (pos >= 0) d->objects.back()->line.type = (type == 5 || type < 0 || type > 11) ? 2 : type;
    return pos;
}

int IDrawHist(Drawing* d, int area, const double* counts, int n, double start, double step, int colour, bool copy) {
    DrawObject* obj = NewObject(d, area, kKindHist, colour);
    if (obj == nullptr) return -1;
    if (!SetData(obj->hist.data, counts, n, copy)) return Undo(d);
    obj->ownsData = copy;
    HistFields& h = obj->hist;
    h.start = start;
    h.step = step;
    Range(counts, n, &h.ymin, &h.ymax);
    h.ymin = std::min(h.ymin, 0.0);
    h.base = 0;
    h.width = 1;
    h.outline = 1;
    return LastPosition(d);
}

int IDrawHistogram(Drawing* d, int area, const double* data, int n, int bins, int colour) {
    if (bins < 1 || bins > 1000000) return -1;
    double lo = 0, hi = 0;
    Range(data, n, &lo, &hi);
    const double step = hi > lo ? (hi - lo) / bins : 1;
    std::vector<double> counts;
    try {
        counts.assign(static_cast<std::size_t>(bins), 0.0);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(data[i])) continue;
        const int k = std::clamp(static_cast<int>((data[i] - lo) / step), 0, bins - 1);
        counts[static_cast<std::size_t>(k)] += 1;
    }
    return IDrawHist(d, area, counts.data(), bins, lo, step, colour, true);
}

int IDrawBar(Drawing* d, int area, const double* y, int n, double xstart, double xstep, int colour, bool copy) {
    return IDrawHist(d, area, y, n, xstart - xstep / 2, xstep, colour, copy);
}

int IDrawTimeBar(Drawing* d, int area, const double* y, int n, int year, int period, int freq, int colour, bool copy) {
    if (freq < 1) freq = 1;
    return IDrawBar(d, area, y, n, year + (period - 1.0) / freq, 1.0 / freq, colour, copy);
}

int IDrawText(Drawing* d, int area, const char* text, int x, int y, int font, int size, int role, int colour) {
    if (text == nullptr || *text == '\0') return -2;
    if (d == nullptr || area < 0 || area >= kAreaCount) return -1;
    const Defaults& def = GDIdefaults();
    if (role != 0) {
        for (int i = 0; i < d->objectCount(); ++i) {
            DrawObject* obj = d->objects[static_cast<std::size_t>(i)].get();
            if (obj->kind != kKindText || obj->area != area || std::abs(obj->text.role) != std::abs(role)) continue;
            if (role < 0) return i;  // an existing one stays
            obj->text.text = text;
            obj->text.x = x;
            obj->text.y = y;
            return i;
        }
    }
    DrawObject* obj = NewObject(d, area, kKindText, colour);
    if (obj == nullptr) return -1;
    TextFields& t = obj->text;
    try {
        t.text = text;
    } catch (const std::bad_alloc&) {
        return Undo(d);
    }
    t.x = x;
    t.y = y;
    t.font = font >= 0 ? std::min(font, 10) : def.font;
    t.size = size > 0 ? size : def.fontSize;
    t.role = role;
    return LastPosition(d);
}

int IDrawTitle(Drawing* d, int area, const char* text) { return IDrawText(d, area, text, 0, 0, -1, -1, 1, 1); }

int IDrawWtext(Drawing* d, int area, const char* text, double x, double y, int font, int size, int role, int colour) {
    const int pos = IDrawText(d, area, text, 0, 0, font, size, role, colour);
    if (pos < 0) return pos;
    TextFields& t = d->objects[static_cast<std::size_t>(pos)]->text;
    t.world = true;
    t.wx = x;
    t.wy = y;
    return pos;
}

int IDrawWtext3(Drawing* d, int area, const char* text, double x, double y, double z, int font, int size, int colour) {
    const int pos = IDrawWtext(d, area, text, x, y, font, size, 0, colour);
    if (pos >= 0) d->objects[static_cast<std::size_t>(pos)]->text.wz = z;
    return pos;
}

int IDrawLegend(Drawing* d, int area, int x, int y, bool hidden) {
    if (d == nullptr || area < 0 || area >= kAreaCount) return -1;
    int pos = -1;
    for (int i = 0; i < d->objectCount(); ++i) {
        const DrawObject* obj = d->objects[static_cast<std::size_t>(i)].get();
        if (obj->kind == kKindLegend && obj->area == area) pos = i;
    }
    if (pos < 0) {
        if (NewObject(d, area, kKindLegend, 1) == nullptr) return -1;
        pos = LastPosition(d);
        const Defaults& def = GDIdefaults();
        LegendFields& l = d->objects.back()->legend;
        l.set[0] = def.legendFontSize;
        l.set[1] = def.legend[0];
        l.set[2] = def.legend[1];
        l.resize = def.legendResize;
    }
    LegendFields& l = d->objects[static_cast<std::size_t>(pos)]->legend;
    l.x = x;
    l.y = y;
    l.set[3] = hidden ? 1 : 0;
    return pos;
}

DrawObject* AreaSettings(Drawing* d, int area, bool box) {
    DrawObject* obj = GetDrawObject(d, area, kKindArea, 0);
    if (obj == nullptr) {
        obj = NewObject(d, area, kKindArea, 1);
        if (obj == nullptr) return nullptr;
        obj->areaSet.box = d->boxMode == 1;
    }
    if (box) obj->areaSet.box = true;
    return obj;
}

}  // namespace zu::draw
