// Shared steps of the rendering of a drawing onto its sheet: the frame of
// one area (plot rectangle and world ranges) and the drawing of each
// object kind inside it.
#pragma once

#include <cstdint>
#include <vector>

#include "draw/drawing.h"

namespace zu::draw {

// One area being drawn.
struct AreaFrame {
    int area = 0;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // plot rectangle in sheet units
    double xmin = 0, xmax = 1, ymin = 0, ymax = 1;
    std::vector<DrawObject*> objects;  // the area's objects in list order
};

// Texts, ticks and legends shrink with the area: 1 for an area of 4000
// sheet units high or more, down to 0.55 for small areas of a big grid.
double FontScale(int areaHeight);
inline int Scaled(int size, double scale) { return static_cast<int>(size * scale); }

// A colour index mixed with white: share 0 is the colour, 1 white.
std::int32_t LightColour(int colour, double share);

// The value of vector element i after its scale and shift (NaN when the
// element is missing or not finite).
double VectorY(const VectorFields& v, int i);
double VectorX(const VectorFields& v, int i);

// render_plots.cpp: the 2-D object kinds.
void PlotVector(const AreaFrame& frame, const DrawObject& obj);
void PlotHist(const AreaFrame& frame, const DrawObject& obj);
void PlotLine(const AreaFrame& frame, const DrawObject& obj);
void PlotContours(const AreaFrame& frame, const DrawObject& obj);

// render_3d.cpp: an area with a 3-D view (surfaces, scattered points).
void Render3D(Drawing* d, AreaFrame& frame, const DrawObject* settings);

// A polyline of world points, thinned to what the sheet can show: runs of
// points on one sheet column keep their first, lowest, highest and last.
class PolylineWriter {
public:
    void Add(double x, double y);  // a non-finite point breaks the line
    void Break();
    ~PolylineWriter() { Break(); }

private:
    void Emit(int px, int py);
    bool haveColumn_ = false;
    int column_ = 0;
    int first_ = 0, low_ = 0, high_ = 0, last_ = 0;
    int lastX_ = 0, lastY_ = 0;
    bool started_ = false;
};

}  // namespace zu::draw
