// The 3-D view of an area: a parallel projection of the world box, turned
// by the azimuth about the vertical axis and tilted by the elevation,
// scaled to fill the area's sheet rectangle.
#include <algorithm>
#include <cmath>

#include "draw/projection.h"
#include "draw/sheet.h"

namespace zu::draw {
namespace {

// The projection of each area, made by GDImakeArea3D.
struct Projection {
    View3D view;
    double cosA = 1, sinA = 0, cosE = 1, sinE = 0;
    double scale = 1, cx = 0, cy = 0;  // sheet centre and units per box unit
    double offsetX = 0, offsetY = 0;   // centre of the projected box
};

Projection projections[kAreaCount];

Projection& Current() {
    const Sheet* sheet = GDIgetSheet();
    return projections[sheet != nullptr ? sheet->currentArea : 0];
}

// World to the unit box centred at 0: x and y in -0.5..0.5, z in -0.35..0.35.
void Normalise(const View3D& v, double x, double y, double z, double* u, double* w, double* h) {
    auto unit = [](double value, double lo, double hi) { return hi > lo ? (value - lo) / (hi - lo) - 0.5 : 0.0; };
    *u = unit(x, v.xmin, v.xmax);
    *w = unit(y, v.ymin, v.ymax);
    *h = 0.7 * unit(z, v.zmin, v.zmax);
}

void Rotate(const Projection& p, double u, double w, double h, double* sx, double* sy, double* depth) {
    const double xr = u * p.cosA - w * p.sinA;
    const double yr = u * p.sinA + w * p.cosA;
    *sx = xr;
    *sy = h * p.cosE + yr * p.sinE;
    *depth = yr * p.cosE - h * p.sinE;
}

}  // namespace

void GDImakeArea3D(int area, const View3D& view) {
    area = std::clamp(area, 0, kAreaCount - 1);
    SheetArea& a = GDIgetArea(area);
    a.is3d = true;
    a.view = view;
    Projection& p = projections[area];
    p.view = view;
    const double azimuth = view.azimuth * M_PI / 180, elevation = view.elevation * M_PI / 180;
    p.cosA = std::cos(azimuth);
    p.sinA = std::sin(azimuth);
    p.cosE = std::cos(elevation);
    p.sinE = std::sin(elevation);
    double lo[2] = {INFINITY, INFINITY}, hi[2] = {-INFINITY, -INFINITY};
    for (int corner = 0; corner < 8; ++corner) {
        const double u = (corner & 1) ? 0.5 : -0.5, w = (corner & 2) ? 0.5 : -0.5, h = (corner & 4) ? 0.35 : -0.35;
        double sx = 0, sy = 0, depth = 0;
        Rotate(p, u, w, h, &sx, &sy, &depth);
        lo[0] = std::min(lo[0], sx), hi[0] = std::max(hi[0], sx);
        lo[1] = std::min(lo[1], sy), hi[1] = std::max(hi[1], sy);
    }
    const double width = std::max(hi[0] - lo[0], 1e-9), height = std::max(hi[1] - lo[1], 1e-9);
    p.scale = std::min((a.x1 - a.x0) / width, (a.y1 - a.y0) / height);
    p.cx = (a.x0 + a.x1) / 2.0;
    p.cy = (a.y0 + a.y1) / 2.0;
    p.offsetX = (lo[0] + hi[0]) / 2;
    p.offsetY = (lo[1] + hi[1]) / 2;
}

void GDIwToP3(double x, double y, double z, int* px, int* py) {
    double depth = 0;
    Project3(x, y, z, px, py, &depth);
}

void Project3(double x, double y, double z, int* px, int* py, double* depth) {
    const Projection& p = Current();
    double u = 0, w = 0, h = 0, sx = 0, sy = 0;
    Normalise(p.view, x, y, z, &u, &w, &h);
    Rotate(p, u, w, h, &sx, &sy, depth);
    const double X = p.cx + (sx - p.offsetX) * p.scale, Y = p.cy + (sy - p.offsetY) * p.scale;
    *px = static_cast<int>(std::lround(std::isfinite(X) ? std::clamp(X, -30000.0, 30000.0) : 0));
    *py = static_cast<int>(std::lround(std::isfinite(Y) ? std::clamp(Y, -30000.0, 30000.0) : 0));
}

void GDImoveTo3(double x, double y, double z) {
    int px = 0, py = 0;
    GDIwToP3(x, y, z, &px, &py);
    GDIpmoveTo(px, py);
}

void GDIlineTo3(double x, double y, double z) {
    int px = 0, py = 0;
    GDIwToP3(x, y, z, &px, &py);
    GDIplineTo(px, py);
}

}  // namespace zu::draw
