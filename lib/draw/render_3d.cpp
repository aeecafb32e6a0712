// Rendering an area with a 3-D view: the box with its axes, surfaces over
// a grid as shaded facets drawn from the back to the front, and
// scattered points.
#include <algorithm>
#include <cmath>
#include <vector>

#include "draw/projection.h"
#include "draw/render.h"
#include "draw/render_scale.h"

namespace zu::draw {
namespace {

struct Box {
    double lo[3] = {INFINITY, INFINITY, INFINITY};
    double hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    void Add(int axis, double v) {
        if (!std::isfinite(v)) return;
        lo[axis] = std::min(lo[axis], v);
        hi[axis] = std::max(hi[axis], v);
    }
};

struct Facet {
    double depth;
    int points[4][2];
    int count;
    std::int32_t fill;
};

std::int32_t Blend(std::int32_t a, std::int32_t b, double t) {
    auto channel = [&](int shift) {
        const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        return static_cast<std::int32_t>(std::lround(ca + (cb - ca) * std::clamp(t, 0.0, 1.0))) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

// The colours of the heights of a surface: palette 0 runs from the
// default start colour to the end colour, the others are the fixed ones.
void Ramp(int palette, std::int32_t* start, std::int32_t* end) {
    if (palette <= 0) {
        *start = GDIdefaults().paletteStart;
        *end = GDIdefaults().paletteEnd;
    } else {
        *start = GDIpaletteColour(palette, false);
        *end = GDIpaletteColour(palette, true);
    }
}

void AxisTicks(int axis, const AxisScale& scale, const Box& b, const int edge[2], int size) {
    for (const Tick& t : scale.ticks) {
        if (t.label.empty()) continue;
        double p[3] = {b.lo[0], b.lo[1], b.lo[2]};
        p[axis] = t.value;
        p[(axis + 1) % 3] = edge[0] ? b.hi[(axis + 1) % 3] : b.lo[(axis + 1) % 3];
        p[(axis + 2) % 3] = edge[1] ? b.hi[(axis + 2) % 3] : b.lo[(axis + 2) % 3];
        int px = 0, py = 0;
        GDIwToP3(p[0], p[1], p[2], &px, &py);
        GDIpmoveTo(px, py);
        GDIplineToNoClip(px, py - 60);
        const int align = axis == 2 ? 2 : 1;
        const int dx = axis == 2 ? -90 : 0, dy = axis == 2 ? -size / 3 : -60 - size;
        GDItextMarkup(t.label, px + dx, py + dy, 0, size, align, 0);
    }
}

}  // namespace

void Render3D(Drawing*, AreaFrame& f, const DrawObject* settings) {
    const SheetArea& area = GDIgetArea(f.area);
    const double fontScale = FontScale(area.y1 - area.y0);
    f.x0 = area.x0 + 300;
    f.x1 = area.x1 - 300;
    f.y0 = area.y0 + 200;
    f.y1 = area.y1 - 500;
    Box b;
    for (const DrawObject* obj : f.objects) {
        if (obj->kind == kKindVector) {
            const VectorFields& v = obj->vec;
            for (int i = 0; i < v.x.size(); ++i) b.Add(0, v.x[i]);
            for (int i = 0; i < v.y.size(); ++i) b.Add(1, v.y[i]);
            for (int i = 0; i < v.z.size(); ++i) b.Add(2, v.z[i]);
        } else if (obj->kind == kKindLine && !obj->line.sheetCoordinates) {
            b.Add(0, obj->line.x1), b.Add(0, obj->line.x2);
            b.Add(1, obj->line.y1), b.Add(1, obj->line.y2);
            b.Add(2, obj->line.z1), b.Add(2, obj->line.z2);
        }
    }
    if (settings != nullptr) {
        const AreaFields& s = settings->areaSet;
        if (s.hasX) b.lo[0] = s.xmin, b.hi[0] = s.xmax;
        if (s.hasY) b.lo[1] = s.ymin, b.hi[1] = s.ymax;
        if (s.hasZ) b.lo[2] = s.zmin, b.hi[2] = s.zmax;
    }
    AxisScale scales[3];
    for (int axis = 0; axis < 3; ++axis) {
        if (b.lo[axis] > b.hi[axis]) b.lo[axis] = 0, b.hi[axis] = 1;
        // The grid runs to the ends of the data; heights get nice ends.
        const int most = fontScale < 0.8 ? 4 : 6;
        scales[axis] = ChooseNumericScale(b.lo[axis], b.hi[axis], axis == 2,
                                          [&](int count, const std::string&) { return count <= most; });
        b.lo[axis] = scales[axis].min;
        b.hi[axis] = scales[axis].max;
    }
    View3D view;
    view.xmin = b.lo[0], view.xmax = b.hi[0];
    view.ymin = b.lo[1], view.ymax = b.hi[1];
    view.zmin = b.lo[2], view.zmax = b.hi[2];
    if (settings != nullptr && settings->areaSet.hasView) {
        view.elevation = settings->areaSet.view[0];
        view.azimuth = settings->areaSet.view[1];
    }
    GDIsetAreaPixels(f.area, f.x0, f.y0, f.x1, f.y1);
    GDIsetArea(f.area);
    GDImakeArea3D(f.area, view);

    // The back of the box: the floor and the walls behind the data.
    double farthest = -INFINITY;
    int farCorner = 0;
    for (int corner = 0; corner < 4; ++corner) {
        int px = 0, py = 0;
        double depth = 0;
        Project3((corner & 1) ? b.hi[0] : b.lo[0], (corner & 2) ? b.hi[1] : b.lo[1], b.lo[2], &px, &py, &depth);
        if (depth > farthest) farthest = depth, farCorner = corner;
    }
    const double fx = (farCorner & 1) ? b.hi[0] : b.lo[0], fy = (farCorner & 2) ? b.hi[1] : b.lo[1];
    const double nx = (farCorner & 1) ? b.lo[0] : b.hi[0], ny = (farCorner & 2) ? b.lo[1] : b.hi[1];
    GDIcolor(14);
    GDIlineType(0);
    GDIlineWidth(5);
    // Grid lines on the floor and the two back walls.
    for (const Tick& t : scales[0].ticks) {
        if (t.label.empty()) continue;
        GDImoveTo3(t.value, ny, b.lo[2]), GDIlineTo3(t.value, fy, b.lo[2]), GDIlineTo3(t.value, fy, b.hi[2]);
    }
    for (const Tick& t : scales[1].ticks) {
        if (t.label.empty()) continue;
        GDImoveTo3(nx, t.value, b.lo[2]), GDIlineTo3(fx, t.value, b.lo[2]), GDIlineTo3(fx, t.value, b.hi[2]);
    }
    for (const Tick& t : scales[2].ticks) {
        if (t.label.empty()) continue;
        GDImoveTo3(nx, fy, t.value), GDIlineTo3(fx, fy, t.value), GDIlineTo3(fx, ny, t.value);
    }
    GDIcolor(1);
    GDIlineWidth(8);
    GDImoveTo3(b.lo[0], b.lo[1], b.lo[2]);
    GDIlineTo3(b.hi[0], b.lo[1], b.lo[2]);
    GDIlineTo3(b.hi[0], b.hi[1], b.lo[2]);
    GDIlineTo3(b.lo[0], b.hi[1], b.lo[2]);
    GDIlineTo3(b.lo[0], b.lo[1], b.lo[2]);
    GDImoveTo3(fx, fy, b.lo[2]);
    GDIlineTo3(fx, fy, b.hi[2]);
    GDImoveTo3(nx, fy, b.lo[2]);
    GDIlineTo3(nx, fy, b.hi[2]);
    GDImoveTo3(fx, ny, b.lo[2]);
    GDIlineTo3(fx, ny, b.hi[2]);

    // Surfaces and points, from the back to the front.
    std::vector<Facet> facets;
    std::vector<std::pair<double, const DrawObject*>> lines;
    for (const DrawObject* obj : f.objects) {
        if (obj->kind != kKindVector) continue;
        const VectorFields& v = obj->vec;
        std::int32_t start = 0, end = 0;
        Ramp(v.palette, &start, &end);
        const double zspan = b.hi[2] > b.lo[2] ? b.hi[2] - b.lo[2] : 1;
        if (v.zMode == kZMesh) {
            // A big grid is drawn through every k-th line, at most about
            // 300 facets along each side.
            const int rows = v.meshRows, columns = v.meshColumns;
            const int rowStep = std::max(1, rows / 300), columnStep = std::max(1, columns / 300);
            for (int i = 0; i + rowStep < rows; i += rowStep) {
                for (int j = 0; j + columnStep < columns; j += columnStep) {
                    const int idx[4][2] = {
                        {i, j}, {i, j + columnStep}, {i + rowStep, j + columnStep}, {i + rowStep, j}};
                    Facet facet{0, {}, 4, 0};
                    double zsum = 0;
                    bool ok = true;
                    for (int k = 0; k < 4; ++k) {
                        const double x = v.x[idx[k][1]], y = v.y[idx[k][0]], z = v.z[idx[k][0] * columns + idx[k][1]];
                        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) ok = false;
                        double depth = 0;
                        Project3(x, y, z, &facet.points[k][0], &facet.points[k][1], &depth);
                        facet.depth += depth / 4;
                        zsum += z;
                    }
                    if (!ok) continue;
                    facet.fill = Blend(start, end, (zsum / 4 - b.lo[2]) / zspan);
                    facets.push_back(facet);
                }
            }
        } else {
            const int n = std::min({v.x.size(), v.y.size(), v.z.size()});
            for (int i = 0; i < n; ++i) {
                Facet facet{0, {}, 1, Blend(start, end, (v.z[i] - b.lo[2]) / zspan)};
                if (!std::isfinite(v.x[i]) || !std::isfinite(v.y[i]) || !std::isfinite(v.z[i])) continue;
                Project3(v.x[i], v.y[i], v.z[i], &facet.points[0][0], &facet.points[0][1], &facet.depth);
                facet.fill = obj->colour;
                facets.push_back(facet);
            }
        }
    }
    std::stable_sort(facets.begin(), facets.end(), [](const Facet& a, const Facet& c) { return a.depth > c.depth; });
    GDIcolor(13);
    GDIlineWidth(3);
    for (const Facet& facet : facets) {
        if (facet.count == 1) {
            GDIcolor(facet.fill);
            GDIpmoveTo(facet.points[0][0] - 45, facet.points[0][1] - 45);
            GDIpsymbol(6, 90, 90);
            continue;
        }
        GDIcolor(13);
        GDIcolorFill(facet.fill);
        GDIsetPathFill(2);
        GDIbeginPath();
        GDIpmoveTo(facet.points[0][0], facet.points[0][1]);
        for (int k = 1; k < facet.count; ++k) GDIplineToNoClip(facet.points[k][0], facet.points[k][1]);
        GDIplineToNoClip(facet.points[0][0], facet.points[0][1]);
        GDIendPath();
    }
    // Lines and symbols in world coordinates, in front.
    for (const DrawObject* obj : f.objects) {
        if (obj->kind != kKindLine || obj->line.sheetCoordinates) continue;
        const LineFields& l = obj->line;
        GDIcolor(obj->colour);
        GDIlineType(obj->lineType);
        if (l.type == 5) {
            GDImoveTo3(l.x1, l.y1, l.z1);
            GDIlineTo3(l.x2, l.y2, l.z2);
        } else {
            int px = 0, py = 0;
            GDIwToP3(l.x1, l.y1, l.z1, &px, &py);
            const int size = l.px2 > 0 ? l.px2 : 90;
            GDIpmoveTo(px - size / 2, py - size / 2);
            GDIpsymbol(l.type, size, size);
        }
    }
    // Axis labels on the front edges of the floor and at the near corner.
    GDIcolor(1);
    GDIlineType(0);
    const int size = Scaled(GDIdefaults().axisFontSize, fontScale);
    const int xEdge[2] = {fy == b.lo[1] ? 1 : 0, 0};
    const int yEdge[2] = {0, fx == b.lo[0] ? 1 : 0};
    AxisTicks(0, scales[0], b, xEdge, size);
    AxisTicks(1, scales[1], b, yEdge, size);
    // The z labels at the vertical edge on the left of the picture.
    int leftX = 1 << 30;
    int zx = 0, zy = 0;
    for (int corner = 0; corner < 4; ++corner) {
        int px = 0, py = 0;
        GDIwToP3((corner & 1) ? b.hi[0] : b.lo[0], (corner & 2) ? b.hi[1] : b.lo[1], b.lo[2], &px, &py);
        if (px < leftX) leftX = px, zx = corner & 1, zy = (corner & 2) >> 1;
    }
    const int edge[2] = {zx, zy};
    AxisTicks(2, scales[2], b, edge, size);
}

}  // namespace zu::draw
