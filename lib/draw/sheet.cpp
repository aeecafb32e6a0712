// The display list of the sheet and its primitives: recording, clipping,
// the areas and the world-to-sheet mapping.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "draw/sheet.h"

namespace zu::draw {
namespace {

Sheet* current = nullptr;

std::int16_t Clamp16(long v) { return static_cast<std::int16_t>(std::clamp<long>(v, -32767, 32767)); }

// Drops the texts a block owns and empties it.
void EmptyBlock(DisplayBlock& block) {
    for (int i = 0; i < block.used; ++i) {
        DisplayRecord& r = block.records[i];
        if (r.code == kRecText || r.code == kRecTextTo) delete[] r.text;
        r = DisplayRecord{};
    }
    block.used = 0;
}

// The next free record of the current sheet; null (nothing is recorded)
// without a sheet or when a new block cannot be had.
DisplayRecord* NewRecord(std::int32_t code) {
    if (current == nullptr) return nullptr;
    if (current->blocks.back()->used >= DisplayBlock::kCapacity) {
        auto block = std::unique_ptr<DisplayBlock>(new (std::nothrow) DisplayBlock);
        if (!block) return nullptr;
        try {
            current->blocks.push_back(std::move(block));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    DisplayBlock& block = *current->blocks.back();
    DisplayRecord* r = &block.records[block.used++];
    r->code = code;
    r->v.a = 0;
    r->v.b = 0;
    return r;
}

DisplayRecord* LastRecord() {
    if (current == nullptr) return nullptr;
    DisplayBlock& block = *current->blocks.back();
    return block.used > 0 ? &block.records[block.used - 1] : nullptr;
}

void Record(std::int32_t code, long a, long b) {
    if (DisplayRecord* r = NewRecord(code)) {
        r->v.a = Clamp16(a);
        r->v.b = Clamp16(b);
    }
}

void RecordText(std::int32_t code, std::string_view text) {
    char* copy = new (std::nothrow) char[text.size() + 1];
    if (copy == nullptr) return;
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    DisplayRecord* r = NewRecord(code);
    if (r == nullptr) {
        delete[] copy;
        return;
    }
    r->text = copy;
}

// Outcodes of a point against the clip rectangle.
enum Outcode { kRight = 1, kLeft = 2, kTop = 4, kBottom = 8 };

int OutcodeOf(const Sheet& s, double x, double y) {
    int code = 0;
    if (x > s.clipX1)
        code |= kRight;
    else if (x < s.clipX0)
        code |= kLeft;
    if (y > s.clipY1)
        code |= kTop;
    else if (y < s.clipY0)
        code |= kBottom;
    return code;
}

// Moves the outside end (x, y) of a segment onto the clip rectangle; the
// segment's other end is (otherX, otherY).
void ClipEnd(const Sheet& s, int code, double otherX, double otherY, double& x, double& y) {
    if (code & kTop) {
        x = x + (otherX - x) * (s.clipY1 - y) / (otherY - y);
        y = s.clipY1;
    } else if (code & kBottom) {
        x = x + (otherX - x) * (s.clipY0 - y) / (otherY - y);
        y = s.clipY0;
    } else if (code & kRight) {
        y = y + (otherY - y) * (s.clipX1 - x) / (otherX - x);
        x = s.clipX1;
    } else if (code & kLeft) {
        y = y + (otherY - y) * (s.clipX0 - x) / (otherX - x);
        x = s.clipX0;
    }
}

void MapThrough(const SheetArea& a, double x, double y, int* px, int* py) {
    const double sx = std::clamp((x - a.xmin) * a.xscale, -1e6, 1e6);
    const double sy = std::clamp((y - a.ymin) * a.yscale, -1e6, 1e6);
    *px = static_cast<int>(std::lround(std::isfinite(sx) ? sx : 0)) + a.x0;
    *py = static_cast<int>(std::lround(std::isfinite(sy) ? sy : 0)) + a.y0;
}

void Rescale(SheetArea& a) {
    a.xscale = a.xmax != a.xmin ? (a.x1 - a.x0) / (a.xmax - a.xmin) : 1;
    a.yscale = a.ymax != a.ymin ? (a.y1 - a.y0) / (a.ymax - a.ymin) : 1;
}

}  // namespace

Sheet::Sheet() { blocks.push_back(std::make_unique<DisplayBlock>()); }

Sheet::~Sheet() {
    for (auto& block : blocks) EmptyBlock(*block);
}

Sheet* GDIopenSheet() {
    auto* sheet = new (std::nothrow) Sheet;
    if (sheet == nullptr) return nullptr;
    for (SheetArea& a : sheet->areas) {
        a = SheetArea{};
        a.x1 = sheet->paperWidth;
        a.y1 = sheet->paperHeight;
        Rescale(a);
    }
    current = sheet;
    GDIclipToArea(0);
    return sheet;
}

void GDIsetSheet(Sheet* sheet) { current = sheet; }
Sheet* GDIgetSheet() { return current; }

void GDIclearSheet() {
    if (current == nullptr) return;
    for (auto& block : current->blocks) EmptyBlock(*block);
    current->blocks.resize(1);
    current->curX = current->curY = 0;
    current->color = current->lineType = current->lineWidth = -1;
    current->textDirection = 0;
    current->font = current->fontSize = 0;
    current->inPath = false;
}

void GDIcloseSheet(Sheet* sheet) {
    if (sheet == current) current = nullptr;
    delete sheet;
}

// ------------------------------------------------------------------
// Lines and moves
// ------------------------------------------------------------------

void GDIpmoveTo(int x, int y) {
    if (current == nullptr) return;
    DisplayRecord* last = LastRecord();
    if (last != nullptr && last->code == kRecMove) {
        last->v.a = Clamp16(x);
        last->v.b = Clamp16(y);
    } else {
        Record(kRecMove, x, y);
    }
    current->curX = x;
    current->curY = y;
}

void GDIprmoveTo(int dx, int dy) {
    if (current == nullptr) return;
    Record(kRecRelMove, dx, dy);
    current->curX += dx;
    current->curY += dy;
}

void GDIplineToNoClip(int x, int y) {
    if (current == nullptr) return;
    Record(kRecLine, x, y);
    current->curX = x;
    current->curY = y;
}

void GDIplineTo(int x, int y) {
    if (current == nullptr) return;
    const Sheet& s = *current;
    double x0 = s.curX, y0 = s.curY, x1 = x, y1 = y;
    int code0 = OutcodeOf(s, x0, y0), code1 = OutcodeOf(s, x1, y1);
    const bool startClipped = code0 != 0;
    while (code0 | code1) {
        if (code0 & code1) {  // wholly outside
            GDIpmoveTo(x, y);
            return;
        }
        if (code0 != 0) {
            ClipEnd(s, code0, x1, y1, x0, y0);
            code0 = OutcodeOf(s, x0, y0);
        } else {
            ClipEnd(s, code1, x0, y0, x1, y1);
            code1 = OutcodeOf(s, x1, y1);
        }
    }
    if (startClipped) GDIpmoveTo(static_cast<int>(std::lround(x0)), static_cast<int>(std::lround(y0)));
    Record(kRecLine, std::lround(x1), std::lround(y1));
    current->curX = x;
    current->curY = y;
}

void GDIprlineTo(int dx, int dy) {
    if (current == nullptr || (dx == 0 && dy == 0)) return;
    Record(kRecRelLine, dx, dy);
    current->curX += dx;
    current->curY += dy;
}

void GDIpboxTo(int x, int y) {
    if (current == nullptr || (x == current->curX && y == current->curY)) return;
    Record(kRecBoxTo, x, y);
}

// ------------------------------------------------------------------
// Settings
// ------------------------------------------------------------------

void GDIlineType(int type) {
    if (current == nullptr || type < 0 || type > 15 || type == current->lineType) return;
    current->lineType = type;
    current->lineWidth = -1;
    Record(kRecLineType, type, 0);
}

void GDIlineWidth(int width) {
    if (current == nullptr || width < 0 || width > 2499 || width == current->lineWidth) return;
    current->lineWidth = width;
    // A line type sets its own width: the next one is recorded again.
    current->lineType = -1;
    Record(kRecLineWidth, width, 0);
}

void GDIcolor(int color) {
    if (current == nullptr) return;
    color = ((color % 256) + 256) % 256;
    if (color == current->color) return;
    current->color = color;
    Record(kRecColor, color, 0);
}

void GDIcolorFill(std::int32_t packedRgb) {
    if (DisplayRecord* r = NewRecord(kRecFillColor)) r->packed = packedRgb;
}

void GDItextDirection(int degrees) {
    if (current == nullptr) return;
    if (degrees > 360) degrees %= 360;
    if (degrees == current->textDirection) return;
    current->textDirection = degrees;
    Record(kRecTextDirection, degrees, 0);
}

void GDItextFont(int font, int size) {
    if (current == nullptr) return;
    font = ((font % 16) + 16) % 16;
    if (font == current->font && size == current->fontSize) return;
    current->font = font;
    current->fontSize = size;
    Record(kRecFont, font, size);
}

void GDItextout(std::string_view text) { RecordText(kRecText, text); }
void GDItextTo(std::string_view text) { RecordText(kRecTextTo, text); }
void GDItextTable(int op) {
    if (op >= 0 && op <= 3) Record(kRecTab, op, 0);
}

void GDIpsymbol(int type, int width, int height) {
    if (type < 0 || type > 11) return;
    Record(kRecSymbolFirst + type, width, height);
}

void GDIsymbolChar(int code, int size) { Record(kRecSymbolChar, code & 0xFF, size); }

void GDIbeginPath() {
    if (current == nullptr) return;
    current->inPath = true;
    Record(kRecBeginPath, 0, 0);
}

void GDIsetPathFill(int mode) {
    if (current != nullptr) current->pathFillMode = std::clamp(mode, 0, 2);
}

void GDIendPath() {
    if (current == nullptr) return;
    current->inPath = false;
    Record(kRecEndPath, current->pathFillMode, 0);
    current->pathFillMode = 0;
}

void GDIsetClip(int x0, int y0, int x1, int y1) {
    if (current == nullptr) return;
    current->clipX0 = std::min(x0, x1);
    current->clipX1 = std::max(x0, x1);
    current->clipY0 = std::min(y0, y1);
    current->clipY1 = std::max(y0, y1);
}

void GDIclipToArea(int area) {
    const SheetArea& a = GDIgetArea(area);
    GDIsetClip(a.x0, a.y0, a.x1, a.y1);
}

void GDIclipToSheet() {
    if (current != nullptr) GDIsetClip(0, 0, current->paperWidth, current->paperHeight);
}

// ------------------------------------------------------------------
// Areas and world coordinates
// ------------------------------------------------------------------

void GDIsetAreas(int rows, int columns, int margin) {
    if (current == nullptr || rows < 1 || columns < 1) return;
    const int m = margin;
    const int width = (current->paperWidth - m) / columns - m - m / 4;
    const int height = (current->paperHeight - m) / rows;
    int area = 0;
    for (int i = 0; i < rows && area < kAreaCount; ++i) {
        for (int j = 0; j < columns && area < kAreaCount; ++j, ++area) {
            SheetArea& a = current->areas[area];
            a.x0 = m / 4 + m + j * (width + m + m / 4);
            a.x1 = a.x0 + width;
            a.y1 = (current->paperHeight - m) - i * height;
            a.y0 = a.y1 - (height - m);
            a.xmin = a.ymin = 0;
            a.xmax = a.ymax = 1;
            a.is3d = false;
            Rescale(a);
        }
    }
}

SheetArea& GDIgetArea(int area) {
    static SheetArea none;
    if (current == nullptr) return none;
    return current->areas[std::clamp(area, 0, kAreaCount - 1)];
}

void GDIsetArea(int area) {
    if (current != nullptr) current->currentArea = std::clamp(area, 0, kAreaCount - 1);
}

void GDIsetAreaPixels(int area, int x0, int y0, int x1, int y1) {
    SheetArea& a = GDIgetArea(area);
    a.x0 = x0;
    a.y0 = y0;
    a.x1 = x1;
    a.y1 = y1;
    Rescale(a);
}

void GDIsetAreaWorld(int area, double xmin, double xmax, double ymin, double ymax) {
    SheetArea& a = GDIgetArea(area);
    a.xmin = xmin;
    a.xmax = xmax;
    a.ymin = ymin;
    a.ymax = ymax;
    Rescale(a);
}

void GDIwToP(double x, double y, int* px, int* py) {
    if (current == nullptr) {
        *px = *py = 0;
        return;
    }
    MapThrough(current->areas[current->currentArea], x, y, px, py);
}

void GDIpToW(int px, int py, double* x, double* y) {
    const SheetArea& a = GDIgetArea(current != nullptr ? current->currentArea : 0);
    *x = a.xmin + (px - a.x0) / a.xscale;
    *y = a.ymin + (py - a.y0) / a.yscale;
}

int GDIwLengthX(double dx) {
    const double v = dx * GDIgetArea(current != nullptr ? current->currentArea : 0).xscale;
    return static_cast<int>(std::lround(std::clamp(v, -1e6, 1e6)));
}

int GDIwLengthY(double dy) {
    const double v = dy * GDIgetArea(current != nullptr ? current->currentArea : 0).yscale;
    return static_cast<int>(std::lround(std::clamp(v, -1e6, 1e6)));
}

void GDImoveTo(double x, double y) {
    int px = 0, py = 0;
    GDIwToP(x, y, &px, &py);
    GDIpmoveTo(px, py);
}

void GDIlineTo(double x, double y) {
    int px = 0, py = 0;
    GDIwToP(x, y, &px, &py);
    GDIplineTo(px, py);
}

void GDIsymbolTo(double x, double y, int type, int width, int height) {
    int px = 0, py = 0;
    GDIwToP(x, y, &px, &py);
    GDIpmoveTo(px - width / 2, py - height / 2);
    GDIpsymbol(type, width, height);
}

}  // namespace zu::draw
