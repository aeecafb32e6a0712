// Rendering a drawing onto its sheet: the area grid, and for each area the
// ranges of its data, the axes with their ticks and labels, the objects,
// the legend and the titles.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "draw/render.h"
#include "draw/render_scale.h"

namespace zu::draw {
namespace {

constexpr int kMajorTick = 100;
constexpr int kMinorTick = 55;
constexpr int kLabelGap = 60;

struct Range {
    double lo = INFINITY, hi = -INFINITY;
    void Add(double v) {
        if (!std::isfinite(v)) return;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    bool Empty() const { return lo > hi; }
};

// The ranges of the data of an area, and whether its x axis is dated.
struct DataExtent {
    Range x, y;
    int freq = 0;          // the frequency of a dated x axis
    bool indexed = false;  // an x axis of observation numbers or dates
    bool bars = false;     // bars or histograms: y includes 0
};

DataExtent Extent(const AreaFrame& frame) {
    DataExtent e;
    for (const DrawObject* obj : frame.objects) {
        switch (obj->kind) {
        case kKindVector: {
            const VectorFields& v = obj->vec;
            if (v.zMode == kZMesh || v.zMode == kZTriangles) {
                e.x.Add(v.xmin), e.x.Add(v.xmax), e.y.Add(v.ymin), e.y.Add(v.ymax);
                break;
            }
            if (v.y.empty()) break;
            e.x.Add(v.xmin);
            e.x.Add(v.xmax);
            // Bars and index lines keep half a step clear of the frame.
            if ((v.indexMode != 0 || v.symbolMode == 4) && v.x.empty()) {
                e.x.Add(v.xmin - std::fabs(v.xstep) / 2);
                e.x.Add(v.xmax + std::fabs(v.xstep) / 2);
            }
            e.y.Add(v.ymin * v.factor + v.shift);
            e.y.Add(v.ymax * v.factor + v.shift);
            if (v.x.empty()) e.indexed = true;
            if (v.freq > 0 && v.x.empty()) e.freq = std::max(e.freq, v.freq);
            if (v.indexMode != 0) e.y.Add(v.indexBase);
            if (v.symbolMode == 4) e.bars = true;
            if (!v.z.empty() && (v.zMode == kZErrorBars || v.zMode == kZBand || v.zMode == kZHighLow)) {
                const double factor = v.zMode == kZHighLow ? 1 : (v.barWidth > 0 ? v.barWidth : 1);
                for (int i = 0; i < v.y.size() && i < v.z.size(); ++i) {
                    const double y = VectorY(v, i), z = v.z[i] * factor;
                    if (v.zMode == kZHighLow) {
                        e.y.Add(z);
                    } else {
                        e.y.Add(y - z);
                        e.y.Add(y + z);
                    }
                }
            }
            break;
        }
        case kKindHist: {
            const HistFields& h = obj->hist;
            e.x.Add(h.start);
            e.x.Add(h.start + h.data.size() * h.step);
            e.y.Add(h.ymin);
            e.y.Add(h.ymax);
            e.y.Add(h.base);
            e.bars = true;
            break;
        }
        case kKindLine:
            if (!obj->line.sheetCoordinates) {
                e.x.Add(obj->line.x1), e.x.Add(obj->line.x2);
                e.y.Add(obj->line.y1), e.y.Add(obj->line.y2);
            }
            break;
        default: break;
        }
    }
    if (e.bars) e.y.Add(0);
    return e;
}

// An axis of the area: explicit, automatic, or the default one.
struct AxisChoice {
    const DrawObject* object = nullptr;  // null: the default axis
    bool shown = true;
};

AxisChoice FindAxis(const AreaFrame& frame, int type) {
    AxisChoice c;
    for (const DrawObject* obj : frame.objects) {
        if (obj->kind == kKindAxis && obj->axis.type == type) {
            c.object = obj;
            c.shown = obj->axis.set[0] != 0;
        }
    }
    return c;
}

int AxisFontSize(const AxisChoice& c, double scale) {
    const int size = c.object != nullptr ? c.object->axis.label[0] : 0;
    return Scaled(size > 0 ? size : GDIdefaults().axisFontSize, scale);
}

// The scale of one axis from an explicit axis object.
AxisScale ExplicitScale(const AxisFields& a) {
    AxisScale s;
    s.min = a.scale[0];
    s.max = a.scale[1];
    const double step = a.scale[3];
    if (std::isfinite(step) && step > 0 && (s.max - s.min) / step <= 200) {
        const double first = std::isfinite(a.scale[2]) ? a.scale[2] : s.min;
        for (double v = first; v <= s.max + step * 1e-9; v += step) s.ticks.push_back({v, FormatTick(v, step)});
        const double minor = a.scale[4];
        if (std::isfinite(minor) && minor > 0 && (s.max - s.min) / minor <= 1000) {
            for (double v = first - std::floor((first - s.min) / minor) * minor; v <= s.max + minor * 1e-9;
                 v += minor) {
                const double r = (v - first) / step;
                if (std::fabs(r - std::round(r)) > 1e-6) s.ticks.push_back({v, ""});
            }
        }
    }
    return s;
}

class AreaRenderer {
public:
    AreaRenderer(Drawing* d, AreaFrame& frame) : d_(d), f_(frame) {}

    void Render() {
        top_ = GDIgetArea(f_.area).y1;
        scale_ = FontScale(GDIgetArea(f_.area).y1 - GDIgetArea(f_.area).y0);
        const DrawObject* settings = nullptr;
        bool is3d = false;
        for (const DrawObject* obj : f_.objects) {
            if (obj->kind == kKindArea) settings = obj;
            if (obj->kind == kKindVector && obj->vec.contour[0] == 0 &&
                (obj->vec.zMode == kZMesh || obj->vec.zMode == kZTriangles))
                is3d = true;
        }
        if (settings != nullptr && settings->areaSet.is3d) is3d = true;
        if (is3d) {
            Render3D(d_, f_, settings);
            Texts(true);
            return;
        }
        if (!Scales(settings)) {
            SheetLines();
            Texts(false);
            return;
        }
        GDIsetAreaPixels(f_.area, f_.x0, f_.y0, f_.x1, f_.y1);
        GDIsetAreaWorld(f_.area, f_.xmin, f_.xmax, f_.ymin, f_.ymax);
        GDIsetArea(f_.area);
        MakeRoomForLegend();
        Grid();
        GDIclipToArea(f_.area);
        for (const DrawObject* obj : f_.objects) {
            switch (obj->kind) {
            case kKindVector:
                if (obj->vec.zMode == kZMesh)
                    PlotContours(f_, *obj);
                else
                    PlotVector(f_, *obj);
                break;
            case kKindHist: PlotHist(f_, *obj); break;
            case kKindLine:
                if (!obj->line.sheetCoordinates) PlotLine(f_, *obj);
                break;
            default: break;
            }
        }
        GDIclipToSheet();
        SheetLines();
        Frame();
        Legend();
        Texts(false);
    }

private:
    // Lines and symbols placed in sheet coordinates: anywhere on the sheet.
    void SheetLines() {
        GDIclipToSheet();
        for (const DrawObject* obj : f_.objects)
            if (obj->kind == kKindLine && obj->line.sheetCoordinates) PlotLine(f_, *obj);
    }

    // The size of the text of a role (0 when the area has none).
    int RoleSize(int role) const {
        for (const DrawObject* obj : f_.objects)
            if (obj->kind == kKindText && std::abs(obj->text.role) == role && !obj->text.text.empty())
                return Scaled(obj->text.size, scale_);
        return 0;
    }

    // The height a title takes at the top of the area.
    int TitleRoom() const {
        for (const DrawObject* obj : f_.objects)
            if (obj->kind == kKindText && std::abs(obj->text.role) == 1 && !obj->text.text.empty())
                return Scaled(obj->text.size, scale_) * 3 / 2;
        return 0;
    }

    bool HasData() const {
        return std::any_of(f_.objects.begin(), f_.objects.end(), [](const DrawObject* o) {
            return o->kind == kKindVector || o->kind == kKindHist ||
                   (o->kind == kKindLine && !o->line.sheetCoordinates);
        });
    }

    // Chooses the ranges and ticks; false when the area has nothing to scale.
    bool Scales(const DrawObject* settings) {
        const SheetArea& sheetArea = GDIgetArea(f_.area);
        f_.x0 = sheetArea.x0;
        f_.x1 = sheetArea.x1;
        f_.y0 = sheetArea.y0;
        f_.y1 = sheetArea.y1 - TitleRoom();
        f_.y0 = sheetArea.y0 + RoleSize(2) * 3 / 2;
        if (!HasData()) return false;
        const DataExtent e = Extent(f_);
        xAxis_ = FindAxis(f_, 1);
        yAxis_ = FindAxis(f_, 0);
        double xlo = e.x.Empty() ? 0 : e.x.lo, xhi = e.x.Empty() ? 1 : e.x.hi;
        double ylo = e.y.Empty() ? 0 : e.y.lo, yhi = e.y.Empty() ? 1 : e.y.hi;
        bool fixedX = false, fixedY = false;
        if (settings != nullptr && settings->areaSet.hasX && settings->areaSet.xmax > settings->areaSet.xmin)
            xlo = settings->areaSet.xmin, xhi = settings->areaSet.xmax, fixedX = true;
        if (settings != nullptr && settings->areaSet.hasY && settings->areaSet.ymax > settings->areaSet.ymin)
            ylo = settings->areaSet.ymin, yhi = settings->areaSet.ymax, fixedY = true;
        fixedY_ = fixedY || (yAxis_.object != nullptr && !yAxis_.object->axis.automatic);
        const int xFont = AxisFontSize(xAxis_, scale_), yFont = AxisFontSize(yAxis_, scale_);
        // The y axis first: its labels decide the room on the left.
        const int height = f_.y1 - f_.y0;
        auto yFits = [&](int count, const std::string&) { return count * yFont * 2 <= height + yFont; };
        if (yAxis_.object != nullptr && !yAxis_.object->axis.automatic &&
            yAxis_.object->axis.scale[1] > yAxis_.object->axis.scale[0])
            yScale_ = ExplicitScale(yAxis_.object->axis);
        else
            yScale_ = ChooseNumericScale(ylo, yhi, !fixedY, yFits);
        int widest = 0;
        for (const Tick& t : yScale_.ticks) widest = std::max(widest, GDItextWidth(t.label, 0, yFont));
        yLabelRoom_ = yAxis_.shown ? widest + kMajorTick + kLabelGap : 0;
        const int room = yLabelRoom_ + 40 + RoleSize(3) * 3 / 2;
        // The grid leaves margin + margin / 4 to the left of each area; the
        // labels keep some of it clear.
        const int spare = GDIdefaults().margin * 5 / 4 - 300;
        if (room > spare) f_.x0 = std::min(f_.x0 + room - spare, f_.x1 - 1000);
        const int width = f_.x1 - f_.x0;
        auto xFits = [&](int count, const std::string& label) {
            return count * (GDItextWidth(label, 0, xFont) + xFont) <= width + xFont;
        };
        if (xAxis_.object != nullptr && !xAxis_.object->axis.automatic &&
            xAxis_.object->axis.scale[1] > xAxis_.object->axis.scale[0]) {
            xScale_ = ExplicitScale(xAxis_.object->axis);
        } else if (e.freq > 0 && !fixedX) {
            xScale_.min = xlo;
            xScale_.max = xhi > xlo ? xhi : xlo + 1;
            const double pad = (xScale_.max - xScale_.min) * 0.01;
            xScale_.min -= pad;
            xScale_.max += pad;
            xScale_.ticks = TimeTicks(xScale_.min, xScale_.max, e.freq, xFits);
        } else {
            // Observation numbers run to the ends; other data get nice ends.
            xScale_ = ChooseNumericScale(xlo, xhi, !fixedX && !e.indexed, xFits);
            if (e.indexed && !fixedX && xhi == xlo) xScale_ = ChooseNumericScale(xlo, xhi, true, xFits);
        }
        f_.xmin = xScale_.min;
        f_.xmax = xScale_.max;
        f_.ymin = yScale_.min;
        f_.ymax = yScale_.max;
        return f_.xmax > f_.xmin && f_.ymax > f_.ymin;
    }

    void Grid() {
        const bool xGrid = xAxis_.object != nullptr && xAxis_.object->axis.grid[0] != 0;
        const bool yGrid = yAxis_.object != nullptr && yAxis_.object->axis.grid[0] != 0;
        if (!xGrid && !yGrid) return;
        GDIcolor(15);
        GDIlineType(0);
        GDIlineWidth(5);
        if (xGrid)
            for (const Tick& t : xScale_.ticks)
                if (!t.label.empty()) GDImoveTo(t.value, f_.ymin), GDIlineTo(t.value, f_.ymax);
        if (yGrid)
            for (const Tick& t : yScale_.ticks)
                if (!t.label.empty()) GDImoveTo(f_.xmin, t.value), GDIlineTo(f_.xmax, t.value);
    }

    // The box around the plot, the ticks and their labels.
    void Frame() {
        GDIcolor(1);
        GDIlineType(0);
        GDIlineWidth(8);
        GDIpmoveTo(f_.x0, f_.y0);
        GDIplineToNoClip(f_.x1, f_.y0);
        GDIplineToNoClip(f_.x1, f_.y1);
        GDIplineToNoClip(f_.x0, f_.y1);
        GDIplineToNoClip(f_.x0, f_.y0);
        if (xAxis_.shown) XTicks();
        if (yAxis_.shown) YTicks();
        // Axes anchored at a value of the other axis: a line across there.
        for (const AxisChoice* axis : {&xAxis_, &yAxis_}) {
            if (axis->object == nullptr || !axis->shown || !axis->object->axis.anchorSet) continue;
            const double anchor = axis->object->axis.anchor;
            int px = 0, py = 0;
            GDIwToP(anchor, anchor, &px, &py);
            if (axis == &xAxis_ && anchor > f_.ymin && anchor < f_.ymax) {
                GDIpmoveTo(f_.x0, py);
                GDIplineToNoClip(f_.x1, py);
            } else if (axis == &yAxis_ && anchor > f_.xmin && anchor < f_.xmax) {
                GDIpmoveTo(px, f_.y0);
                GDIplineToNoClip(px, f_.y1);
            }
        }
        // A zero line where the range crosses zero and bars start.
        if (f_.ymin < 0 && f_.ymax > 0 && GDIdefaults().axisZeros != 0 && HasBars()) {
            int px = 0, py = 0;
            GDIwToP(f_.xmin, 0, &px, &py);
            GDIpmoveTo(f_.x0, py);
            GDIplineToNoClip(f_.x1, py);
        }
    }

    bool HasBars() const {
        return std::any_of(f_.objects.begin(), f_.objects.end(), [](const DrawObject* o) {
            return o->kind == kKindHist ||
                   (o->kind == kKindVector && (o->vec.indexMode != 0 || o->vec.symbolMode == 4));
        });
    }

    void XTicks() {
        const int size = AxisFontSize(xAxis_, scale_);
        GDItextFont(0, size);
        int lastRight = -1000000;
        std::vector<Tick> ticks = xScale_.ticks;
        std::sort(ticks.begin(), ticks.end(), [](const Tick& a, const Tick& b) { return a.value < b.value; });
        for (const Tick& t : ticks) {
            if (t.value < f_.xmin - 1e-9 * (f_.xmax - f_.xmin) || t.value > f_.xmax + 1e-9 * (f_.xmax - f_.xmin))
                continue;
            int px = 0, py = 0;
            GDIwToP(t.value, f_.ymin, &px, &py);
            GDIpmoveTo(px, f_.y0);
            GDIplineToNoClip(px, f_.y0 - (t.label.empty() ? kMinorTick : kMajorTick));
            if (t.label.empty()) continue;
            // A label that would touch the one before it is left out.
            const int w = GDItextWidth(t.label, 0, size);
            if (px - w / 2 < lastRight + size / 3) continue;
            GDItextMarkup(t.label, px, f_.y0 - kMajorTick - kLabelGap - size * 7 / 10, 0, size, 1, 0);
            lastRight = px + w / 2;
        }
    }

    void YTicks() {
        const int size = AxisFontSize(yAxis_, scale_);
        int lastTop = -1000000;
        std::vector<Tick> ticks = yScale_.ticks;
        std::sort(ticks.begin(), ticks.end(), [](const Tick& a, const Tick& b) { return a.value < b.value; });
        for (const Tick& t : ticks) {
            if (t.value < f_.ymin - 1e-9 * (f_.ymax - f_.ymin) || t.value > f_.ymax + 1e-9 * (f_.ymax - f_.ymin))
                continue;
            int px = 0, py = 0;
            GDIwToP(f_.xmin, t.value, &px, &py);
            GDIpmoveTo(f_.x0, py);
            GDIplineToNoClip(f_.x0 - (t.label.empty() ? kMinorTick : kMajorTick), py);
            if (t.label.empty()) continue;
            if (py - size / 2 < lastTop + size / 4) continue;
            GDItextMarkup(t.label, f_.x0 - kMajorTick - kLabelGap, py - size * 7 / 20, 0, size, 2, 0);
            lastTop = py + size / 2;
        }
    }

    // The legend: one entry for each labelled vector, placed in the corner
    // of the plot with the fewest data points under it.
    // The legend's entries, size and box (without its padding); false
    // when the area shows no legend.
    struct LegendLayout {
        const DrawObject* object = nullptr;
        std::vector<const DrawObject*> entries;
        int size = 0, sample = 0, line = 0, width = 0, height = 0;
        bool placed = false;  // put by the program, not by the corners
    };
    static constexpr int kLegendPad = 120;

    bool LayoutLegend(LegendLayout* l) const {
        const Defaults& def = GDIdefaults();
        for (const DrawObject* obj : f_.objects)
            if (obj->kind == kKindLegend) l->object = obj;
        if (l->object != nullptr ? l->object->legend.set[3] != 0 : def.legendHidden != 0) return false;
        for (const DrawObject* obj : f_.objects)
            if (obj->kind == kKindVector && !obj->vec.yLabel.empty() && obj->vec.zMode < kZMesh)
                l->entries.push_back(obj);
        if (l->entries.empty()) return false;
        const int given =
            l->object != nullptr && l->object->legend.set[0] > 0 ? l->object->legend.set[0] : def.legendFontSize;
        l->size = Scaled(given, scale_);
        l->sample = l->size * 2;
        l->line = l->size * 13 / 10;
        int textWidth = 0;
        for (const DrawObject* obj : l->entries)
            textWidth = std::max(textWidth, GDItextWidth(obj->vec.yLabel, 0, l->size));
        l->width = l->sample + l->size / 2 + textWidth + l->size / 2;
        l->height = static_cast<int>(l->entries.size()) * l->line + l->size / 3;
        l->placed = l->object != nullptr && (l->object->legend.x != 20 || l->object->legend.y != 20);
        return true;
    }

    // When the legend would cover data in every corner, the y axis gets
    // one more step at the top to make room for it (once).
    void MakeRoomForLegend() {
        LegendLayout l;
        if (!LayoutLegend(&l) || l.placed || fixedY_) return;
        int x = 0, y = 0;
        if (BestCorner(l.width + 2 * kLegendPad, l.height + 2 * kLegendPad, &x, &y) == 0) return;
        std::vector<double> labelled;
        for (const Tick& t : yScale_.ticks)
            if (!t.label.empty()) labelled.push_back(t.value);
        std::sort(labelled.begin(), labelled.end());
        if (labelled.size() < 2) return;
        const double step = labelled[1] - labelled[0];
        // The legend's share of the frame, in steps of the axis.
        const double share = static_cast<double>(l.height + 2 * kLegendPad) / std::max(f_.y1 - f_.y0, 1);
        const int steps = std::clamp(static_cast<int>(std::ceil(share * (f_.ymax - f_.ymin) / step)), 1, 3);
        for (int k = 1; k <= steps; ++k) {
            const double v = yScale_.max + k * step;
            yScale_.ticks.push_back({v, FormatTick(v, step)});
        }
        yScale_.max += steps * step;
        f_.ymax = yScale_.max;
        GDIsetAreaWorld(f_.area, f_.xmin, f_.xmax, f_.ymin, f_.ymax);
    }

    void Legend() {
        LegendLayout l;
        if (!LayoutLegend(&l)) return;
        const auto& entries = l.entries;
        const int size = l.size, sample = l.sample, line = l.line;
        int x = 0, y = 0;
        if (l.placed) {
            x = f_.x0 + l.object->legend.x;
            y = f_.y1 - l.object->legend.y;
        } else {
            BestCorner(l.width + 2 * kLegendPad, l.height + 2 * kLegendPad, &x, &y);
            x += kLegendPad;
            y -= kLegendPad;
        }
        for (std::size_t k = 0; k < entries.size(); ++k) {
            const DrawObject* obj = entries[k];
            const int base = y - static_cast<int>(k + 1) * line + size / 5;
            GDIcolor(obj->colour);
            GDIlineType(obj->lineType);
            const VectorFields& v = obj->vec;
            const int mid = base + size * 3 / 10;
            if (v.symbolMode == 1) {
                GDIpmoveTo(x + sample / 2 - v.symbolSize / 2, mid - v.symbolSize / 2);
                GDIpsymbol(v.symbolType, v.symbolSize, v.symbolSize);
            } else if (v.symbolMode == 4 || v.indexMode == 2) {
                GDIlineType(0);
                GDIcolorFill(LightColour(obj->colour, 0.35));
                GDIsetPathFill(2);
                GDIbeginPath();
                GDIpmoveTo(x + sample / 4, mid - size / 3);
                GDIplineToNoClip(x + sample * 3 / 4, mid - size / 3);
                GDIplineToNoClip(x + sample * 3 / 4, mid + size / 3);
                GDIplineToNoClip(x + sample / 4, mid + size / 3);
                GDIplineToNoClip(x + sample / 4, mid - size / 3);
                GDIendPath();
            } else {
                GDIpmoveTo(x, mid);
                GDIplineToNoClip(x + sample, mid);
                if (v.symbolMode == 2) {
                    GDIpmoveTo(x + sample / 2 - v.symbolSize / 2, mid - v.symbolSize / 2);
                    GDIpsymbol(v.symbolType, v.symbolSize, v.symbolSize);
                }
            }
            GDIcolor(1);
            GDItextMarkup(v.yLabel, x + sample + size / 2, base, 0, size, 0, 0);
        }
    }

    // The number of bars of a histogram that reach into the box with top
    // left corner (x, y), w wide and h high.
    static long HistogramIn(const HistFields& hist, int x, int y, int w, int h) {
        long count = 0;
        for (int i = 0; i < hist.data.size(); ++i) {
            const double v = hist.data[i];
            if (!std::isfinite(v)) continue;
            int left = 0, right = 0, top = 0, base = 0;
            GDIwToP(hist.start + i * hist.step, v, &left, &top);
            GDIwToP(hist.start + (i + 1) * hist.step, hist.base, &right, &base);
            const bool across = std::max(left, right) >= x && std::min(left, right) <= x + w;
            const bool up = std::max(top, base) >= y - h && std::min(top, base) <= y;
            count += across && up ? 4 : 0;
        }
        return count;
    }

    // The corner (top-left of a w by h box) that covers the fewest points.
    long BestCorner(int w, int h, int* x, int* y) {
        const int corners[4][2] = {{f_.x0, f_.y1}, {f_.x1 - w, f_.y1}, {f_.x0, f_.y0 + h}, {f_.x1 - w, f_.y0 + h}};
        long best = -1;
        for (const auto& corner : corners) {
            long covered = 0;
            for (const DrawObject* obj : f_.objects) {
                if (obj->kind == kKindHist) covered += HistogramIn(obj->hist, corner[0], corner[1], w, h);
                if (obj->kind != kKindVector || obj->vec.zMode >= kZMesh) continue;
                const VectorFields& v = obj->vec;
                const int n = v.y.size();
                const int stride = std::max(1, n / 2000);
                // Lines also cover the box between their points: a few
                // points along each segment count as well.
                const bool joined = v.indexMode == 0 && (v.symbolMode == 0 || v.symbolMode == 2);
                auto inside = [&](double vx, double vy) {
                    if (!std::isfinite(vx) || !std::isfinite(vy)) return false;
                    int px = 0, py = 0;
                    GDIwToP(vx, vy, &px, &py);
                    return px >= corner[0] && px <= corner[0] + w && py <= corner[1] && py >= corner[1] - h;
                };
                for (int i = 0; i < n; i += stride) {
                    const double vx = VectorX(v, i), vy = VectorY(v, i);
                    covered += inside(vx, vy);
                    if (!joined || i + stride >= n) continue;
                    const double nx = VectorX(v, i + stride), ny = VectorY(v, i + stride);
                    for (const double t : {0.25, 0.5, 0.75}) covered += inside(vx + t * (nx - vx), vy + t * (ny - vy));
                }
            }
            if (best < 0 || covered < best) {
                best = covered;
                *x = corner[0];
                *y = corner[1];
            }
        }
        return best;
    }

    // Titles above the area; axis labels beside their axes; other texts
    // where they were put.
    void Texts(bool is3d) {
        const SheetArea& a = GDIgetArea(f_.area);
        for (const DrawObject* obj : f_.objects) {
            if (obj->kind != kKindText || obj->text.text.empty()) continue;
            TextFields t = obj->text;
            t.size = Scaled(t.size, scale_);
            GDIcolor(obj->colour);
            const int role = std::abs(t.role);
            if (role == 1) {
                GDItextMarkup(t.text, (f_.x0 + f_.x1) / 2, (top_ != 0 ? top_ : a.y1) - t.size, t.font, t.size, 1, 0);
            } else if (role == 2) {
                const int below = xAxis_.shown ? kMajorTick + 2 * kLabelGap + AxisFontSize(xAxis_, scale_) + t.size
                                               : kLabelGap + t.size;
                GDItextMarkup(t.text, (f_.x0 + f_.x1) / 2, f_.y0 - below, t.font, t.size, 1, 0);
            } else if (role == 3) {
                GDItextMarkup(t.text, f_.x0 - yLabelRoom_ - kLabelGap - t.size / 4, (f_.y0 + f_.y1) / 2, t.font, t.size,
                              1, 90);
                GDItextDirection(0);
            } else if (t.world && !is3d) {
                int px = 0, py = 0;
                GDIwToP(t.wx, t.wy, &px, &py);
                GDItextMarkup(t.text, px, py, t.font, t.size, 0, t.rotation);
            } else if (t.world) {
                int px = 0, py = 0;
                GDIwToP3(t.wx, t.wy, t.wz, &px, &py);
                GDItextMarkup(t.text, px, py, t.font, t.size, 0, t.rotation);
            } else {
                GDItextMarkup(t.text, t.x, t.y, t.font, t.size, 0, t.rotation);
            }
            if (t.rotation != 0) GDItextDirection(0);
        }
    }

    Drawing* d_;
    AreaFrame& f_;
    AxisChoice xAxis_, yAxis_;
    AxisScale xScale_, yScale_;
    int top_ = 0;          // the top of the area on the sheet, above its title
    double scale_ = 1;     // of texts, for the size of the area
    int yLabelRoom_ = 0;   // the width of the y tick labels and ticks
    bool fixedY_ = false;  // the y range was given: nothing is added to it
};

void ChooseGrid(const Drawing* d, int* rows, int* columns) {
    *rows = d->areaRows;
    *columns = d->areaColumns;
    if (*rows >= 1 && *columns >= 1 && *rows * *columns >= d->areaCount) return;
    const int n = std::max(d->areaCount, 1);
    *columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    *rows = (n + *columns - 1) / *columns;
}

}  // namespace

double FontScale(int areaHeight) { return std::clamp(areaHeight / 4000.0, 0.55, 1.0); }

void DrawDrawing(Drawing* d) {
    if (d == nullptr || d->sheet == nullptr) return;
    GDIsetSheet(d->sheet);
    GDIclearSheet();
    d->sheet->paperWidth = d->paperWidth;
    d->sheet->paperHeight = d->paperHeight;
    int rows = 1, columns = 1;
    ChooseGrid(d, &rows, &columns);
    const Defaults& def = GDIdefaults();
    GDIsetAreas(rows, columns, def.margin);
    std::vector<AreaFrame> frames(static_cast<std::size_t>(std::max(d->areaCount, 0)));
    for (std::size_t a = 0; a < frames.size(); ++a) frames[a].area = static_cast<int>(a);
    for (auto& obj : d->objects)
        if (obj->kind != kKindFree && obj->area >= 0 && obj->area < d->areaCount)
            frames[static_cast<std::size_t>(obj->area)].objects.push_back(obj.get());
    for (AreaFrame& frame : frames) {
        if (frame.objects.empty()) continue;
        AreaRenderer(d, frame).Render();
    }
    GDItextDirection(0);
    GDIcolor(1);
}

}  // namespace zu::draw
