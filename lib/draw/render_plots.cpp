// Drawing the 2-D object kinds inside the frame of their area: data
// vectors as lines, symbols, index lines, bars, error bars and bands;
// histograms; single lines and symbols; contour lines of a grid.
#include <algorithm>
#include <cmath>
#include <vector>

#include "draw/render.h"
#include "draw/render_scale.h"

namespace zu::draw {
namespace {

// Sheet units of the cells in which at most one symbol is drawn: a
// million points do not make a million symbols on top of each other.
constexpr int kSymbolCell = 12;

void FilledPolygon(const std::vector<std::pair<int, int>>& points, std::int32_t fill, int mode) {
    if (points.size() < 3) return;
    GDIcolorFill(fill);
    GDIsetPathFill(mode);
    GDIbeginPath();
    GDIpmoveTo(points[0].first, points[0].second);
    for (std::size_t i = 1; i < points.size(); ++i) GDIplineToNoClip(points[i].first, points[i].second);
    GDIplineToNoClip(points[0].first, points[0].second);
    GDIendPath();
}

std::pair<int, int> Sheet(const AreaFrame& f, double x, double y) {
    int px = 0, py = 0;
    GDIwToP(std::clamp(x, f.xmin, f.xmax), std::clamp(y, f.ymin, f.ymax), &px, &py);
    return {px, py};
}

// A box from (xa, ya) to (xb, yb) in world coordinates, clamped to the
// frame, filled with `fill` and outlined in the current colour.
void Bar(const AreaFrame& f, double xa, double ya, double xb, double yb, std::int32_t fill) {
    const auto a = Sheet(f, xa, ya), b = Sheet(f, xb, yb);
    if (a.first == b.first || a.second == b.second) {
        GDIpmoveTo(a.first, a.second);
        GDIplineTo(b.first, b.second);
        return;
    }
    FilledPolygon({a, {b.first, a.second}, b, {a.first, b.second}}, fill, 2);
}

// Bars too narrow to tell apart on the sheet: those that start in one
// sheet column are drawn as one bar from the lowest to the highest of
// them, so the display list stays as wide as the sheet however many bars
// there are.
class BarMerger {
public:
    BarMerger(const AreaFrame& f, std::int32_t fill) : f_(f), fill_(fill) {}
    ~BarMerger() { Flush(); }
    BarMerger(const BarMerger&) = delete;
    BarMerger& operator=(const BarMerger&) = delete;

    void Add(double xa, double xb, double base, double top) {
        int left = 0, right = 0, py = 0;
        GDIwToP(xa, base, &left, &py);
        GDIwToP(xb, base, &right, &py);
        if (std::abs(right - left) >= 2) {
            Flush();
            Bar(f_, xa, base, xb, top, fill_);
            return;
        }
        if (open_ && left != column_) Flush();
        if (!open_) {
            open_ = true;
            column_ = left;
            xa_ = xa, xb_ = xb, low_ = std::min(base, top), high_ = std::max(base, top);
            return;
        }
        xb_ = xb;
        low_ = std::min({low_, base, top});
        high_ = std::max({high_, base, top});
    }

private:
    void Flush() {
        if (open_) Bar(f_, xa_, low_, xb_, high_, fill_);
        open_ = false;
    }
    const AreaFrame& f_;
    std::int32_t fill_;
    bool open_ = false;
    int column_ = 0;
    double xa_ = 0, xb_ = 0, low_ = 0, high_ = 0;
};

class SymbolGrid {
public:
    explicit SymbolGrid(const AreaFrame& f)
        : x0_(f.x0),
          y0_(f.y0),
          columns_(std::max(1, (f.x1 - f.x0) / kSymbolCell + 1)),
          rows_(std::max(1, (f.y1 - f.y0) / kSymbolCell + 1)),
          used_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), false) {}
    // True the first time a cell is asked for (points outside always).
    bool Claim(int px, int py) {
        const int c = (px - x0_) / kSymbolCell, r = (py - y0_) / kSymbolCell;
        if (c < 0 || r < 0 || c >= columns_ || r >= rows_) return false;
        const std::size_t k = static_cast<std::size_t>(r) * columns_ + c;
        if (used_[k]) return false;
        used_[k] = true;
        return true;
    }

private:
    int x0_, y0_, columns_, rows_;
    std::vector<bool> used_;
};

void Symbols(const AreaFrame& f, const VectorFields& v, int n) {
    SymbolGrid grid(f);
    const bool sized = !v.z.empty() && v.zMode == kZSymbolSize;
    double zmax = 0;
    if (sized)
        for (int i = 0; i < v.z.size(); ++i)
            if (std::isfinite(v.z[i])) zmax = std::max(zmax, std::fabs(v.z[i]));
    for (int i = 0; i < n; ++i) {
        const double x = VectorX(v, i), y = VectorY(v, i);
        if (!std::isfinite(x) || !std::isfinite(y) || x < f.xmin || x > f.xmax || y < f.ymin || y > f.ymax) continue;
        int size = v.symbolSize;
        if (sized && zmax > 0 && i < v.z.size() && std::isfinite(v.z[i]))
            size = std::max(10, static_cast<int>(3 * v.symbolSize * std::fabs(v.z[i]) / zmax));
        int px = 0, py = 0;
        GDIwToP(x, y, &px, &py);
        if (!sized && !grid.Claim(px, py)) continue;
        GDIpmoveTo(px - size / 2, py - size / 2);
        GDIpsymbol(v.symbolType, size, size);
    }
}

// Lines from the base to each value (mode 1) or bars (mode 2).
void IndexLines(const AreaFrame& f, const DrawObject& obj, int n) {
    const VectorFields& v = obj.vec;
    const double base = std::clamp(v.indexBase, f.ymin, f.ymax);
    const double halfWidth = std::fabs(v.x.empty() ? v.xstep : (f.xmax - f.xmin) / std::max(n, 1)) * 0.3;
    const std::int32_t fill = LightColour(obj.colour, 0.35);
    if (v.indexMode == 2) GDIlineType(0);  // bars are outlined solid
    for (int i = 0; i < n; ++i) {
        const double x = VectorX(v, i), y = VectorY(v, i);
        if (!std::isfinite(x) || !std::isfinite(y) || x < f.xmin || x > f.xmax) continue;
        if (v.indexMode == 2 && halfWidth * (f.x1 - f.x0) / (f.xmax - f.xmin) > 8) {
            Bar(f, x - halfWidth, base, x + halfWidth, y, fill);
        } else {
            const auto a = Sheet(f, x, base), b = Sheet(f, x, y);
            GDIpmoveTo(a.first, a.second);
            GDIplineTo(b.first, b.second);
        }
    }
}

// Bars of the data (symbol mode 4) from the bottom of the frame.
void DataBars(const AreaFrame& f, const DrawObject& obj, int n) {
    const VectorFields& v = obj.vec;
    const double width = v.x.empty() ? std::fabs(v.xstep) : (f.xmax - f.xmin) / std::max(n, 1);
    const double base = std::clamp(0.0, f.ymin, f.ymax);
    const std::int32_t fill = LightColour(obj.colour, 0.35);
    GDIlineType(0);
    BarMerger bars(f, fill);
    for (int i = 0; i < n; ++i) {
        const double x = VectorX(v, i), y = VectorY(v, i);
        if (std::isfinite(x) && std::isfinite(y)) bars.Add(x - width * 0.45, x + width * 0.45, base, y);
    }
}

// y +/- factor z: bars, or a band (drawn first, under the line).
void ErrorBand(const AreaFrame& f, const DrawObject& obj, int n) {
    const VectorFields& v = obj.vec;
    const double factor = v.barWidth > 0 ? v.barWidth : 1;
    std::vector<std::pair<int, int>> lower, upper;
    auto flush = [&] {
        std::vector<std::pair<int, int>> polygon(lower);
        polygon.insert(polygon.end(), upper.rbegin(), upper.rend());
        FilledPolygon(polygon, LightColour(obj.colour, 0.7), 1);
        lower.clear();
        upper.clear();
    };
    for (int i = 0; i < n && i < v.z.size(); ++i) {
        const double x = VectorX(v, i), y = VectorY(v, i), z = v.z[i] * factor;
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
            flush();
            continue;
        }
        if (v.zMode == kZBand) {
            lower.push_back(Sheet(f, x, y - z));
            upper.push_back(Sheet(f, x, y + z));
        } else {
            // A solid bar with short caps at its ends.
            const auto a = Sheet(f, x, y - z), b = Sheet(f, x, y + z);
            GDIlineType(0);
            GDIpmoveTo(a.first, a.second);
            GDIplineTo(b.first, b.second);
            for (const auto& end : {a, b}) {
                GDIpmoveTo(end.first - 40, end.second);
                GDIplineTo(end.first + 40, end.second);
            }
        }
    }
    flush();
}

void HighLow(const AreaFrame& f, const DrawObject& obj, int n) {
    const VectorFields& v = obj.vec;
    const double halfWidth = (v.barWidth > 0 ? v.barWidth : 0.6) * std::fabs(v.xstep) / 2;
    const std::int32_t fill = LightColour(obj.colour, 0.35);
    for (int i = 0; i < n && i < v.z.size(); ++i) {
        const double x = VectorX(v, i), y = VectorY(v, i), z = v.z[i];
        if (std::isfinite(x) && std::isfinite(y) && std::isfinite(z)) Bar(f, x - halfWidth, z, x + halfWidth, y, fill);
    }
}

}  // namespace

std::int32_t LightColour(int colour, double share) {
    int r = 0, g = 0, b = 0;
    GDIcolourRgb(colour, &r, &g, &b);
    auto mix = [&](int c) { return static_cast<int>(std::lround(c + (255 - c) * share)); };
    return mix(r) + 256 * mix(g) + 65536 * mix(b);
}

double VectorY(const VectorFields& v, int i) {
    if (i < 0 || i >= v.y.size()) return NAN;
    const double y = v.y[i] * v.factor + v.shift;
    return std::isfinite(y) ? y : NAN;
}

double VectorX(const VectorFields& v, int i) {
    if (!v.x.empty()) return i < v.x.size() && std::isfinite(v.x[i]) ? v.x[i] : NAN;
    return v.xstart + i * v.xstep;
}

void PolylineWriter::Add(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
        Break();
        return;
    }
    int px = 0, py = 0;
    GDIwToP(x, y, &px, &py);
    if (haveColumn_ && px == column_) {
        low_ = std::min(low_, py);
        high_ = std::max(high_, py);
        last_ = py;
        return;
    }
    if (haveColumn_) {
        Emit(column_, first_);
        if (low_ != first_ && low_ != last_) Emit(column_, low_);
        if (high_ != first_ && high_ != last_) Emit(column_, high_);
        if (last_ != first_) Emit(column_, last_);
    }
    haveColumn_ = true;
    column_ = px;
    first_ = low_ = high_ = last_ = py;
}

void PolylineWriter::Break() {
    if (haveColumn_) {
        Emit(column_, first_);
        if (low_ != first_ && low_ != last_) Emit(column_, low_);
        if (high_ != first_ && high_ != last_) Emit(column_, high_);
        if (last_ != first_) Emit(column_, last_);
    }
    haveColumn_ = false;
    started_ = false;
}

void PolylineWriter::Emit(int px, int py) {
    if (!started_) {
        GDIpmoveTo(px, py);
        started_ = true;
    } else if (px != lastX_ || py != lastY_) {
        GDIplineTo(px, py);
    }
    lastX_ = px;
    lastY_ = py;
}

void PlotVector(const AreaFrame& f, const DrawObject& obj) {
    const VectorFields& v = obj.vec;
    const int n = v.y.size();
    if (n == 0) return;
    GDIcolor(obj.colour);
    GDIlineType(obj.lineType);
    const bool hasZ = !v.z.empty();
    if (hasZ && v.zMode == kZBand) ErrorBand(f, obj, n);
    if (v.indexMode != 0) {
        IndexLines(f, obj, n);
    } else if (v.symbolMode == 4) {
        DataBars(f, obj, n);
    } else if (v.symbolMode == 0 || v.symbolMode == 2 || n == 1) {
        PolylineWriter line;
        for (int i = 0; i < n; ++i) line.Add(VectorX(v, i), VectorY(v, i));
    }
    if (hasZ && v.zMode == kZErrorBars) ErrorBand(f, obj, n);
    if (hasZ && v.zMode == kZHighLow) HighLow(f, obj, n);
    if (v.symbolMode == 1 || v.symbolMode == 2 || n == 1 || (hasZ && v.zMode == kZSymbolSize)) Symbols(f, v, n);
}

void PlotHist(const AreaFrame& f, const DrawObject& obj) {
    const HistFields& h = obj.hist;
    const std::int32_t fill = LightColour(obj.colour, 0.45);
    GDIcolor(h.outline >= 0 ? h.outline : obj.colour);
    GDIlineType(0);
    const double width = h.step * (h.width > 0 ? h.width : 1);
    BarMerger bars(f, fill);
    for (int i = 0; i < h.data.size(); ++i) {
        const double x = h.start + i * h.step, y = h.data[i];
        if (!std::isfinite(x) || !std::isfinite(y)) continue;
        bars.Add(x, x + width, h.base, y);
    }
}

void PlotLine(const AreaFrame& f, const DrawObject& obj) {
    const LineFields& l = obj.line;
    GDIcolor(obj.colour);
    GDIlineType(obj.lineType);
    int ax = l.px1, ay = l.py1, bx = l.px2, by = l.py2;
    if (!l.sheetCoordinates) {
        if (!std::isfinite(l.x1) || !std::isfinite(l.y1) || !std::isfinite(l.x2) || !std::isfinite(l.y2)) return;
        GDIwToP(l.x1, l.y1, &ax, &ay);
        GDIwToP(l.x2, l.y2, &bx, &by);
    }
    if (l.type == 5) {
        GDIpmoveTo(ax, ay);
        GDIplineTo(bx, by);
        return;
    }
    int size = std::max(std::abs(bx - ax), std::abs(by - ay));
    if (size == 0) size = 90;
    GDIpmoveTo((ax + bx) / 2 - size / 2, (ay + by) / 2 - size / 2);
    GDIpsymbol(l.type, size, size);
    (void)f;
}

void PlotContours(const AreaFrame& f, const DrawObject& obj) {
    const VectorFields& v = obj.vec;
    const int rows = v.meshRows, columns = v.meshColumns;
    if (rows < 2 || columns < 2) return;
    double lo = INFINITY, hi = -INFINITY;
    for (int k = 0; k < v.z.size(); ++k)
        if (std::isfinite(v.z[k])) lo = std::min(lo, v.z[k]), hi = std::max(hi, v.z[k]);
    if (!(hi > lo)) return;
    const int wanted = v.contour[0] > 0 ? v.contour[0] : 10;
    double min = 0, max = 0, step = 0;
    NiceRange(lo, hi, wanted + 1, &min, &max, &step);
    GDIlineType(0);
    int level = 0;
    for (double c = min + step; c < max - step * 1e-9; c += step, ++level) {
        // The colour runs through the palette from the lowest level.
        GDIcolor(obj.colour);
        for (int i = 0; i + 1 < rows; ++i) {
            for (int j = 0; j + 1 < columns; ++j) {
                const double z[4] = {v.z[i * columns + j], v.z[i * columns + j + 1], v.z[(i + 1) * columns + j + 1],
                                     v.z[(i + 1) * columns + j]};
                const double x[4] = {v.x[j], v.x[j + 1], v.x[j + 1], v.x[j]};
                const double y[4] = {v.y[i], v.y[i], v.y[i + 1], v.y[i + 1]};
                if (!std::isfinite(z[0]) || !std::isfinite(z[1]) || !std::isfinite(z[2]) || !std::isfinite(z[3]))
                    continue;
                // The crossings of the level on the four edges of the cell.
                double cx[4], cy[4];
                int crossings = 0;
                for (int e = 0; e < 4; ++e) {
                    const int a = e, b = (e + 1) % 4;
                    if ((z[a] < c) == (z[b] < c)) continue;
                    const double t = (c - z[a]) / (z[b] - z[a]);
                    cx[crossings] = x[a] + t * (x[b] - x[a]);
                    cy[crossings] = y[a] + t * (y[b] - y[a]);
                    ++crossings;
                }
                for (int k = 0; k + 1 < crossings; k += 2) {
                    GDImoveTo(cx[k], cy[k]);
                    GDIlineTo(cx[k + 1], cy[k + 1]);
                }
            }
        }
    }
    (void)f;
}

}  // namespace zu::draw
