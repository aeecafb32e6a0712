// The 3-D projection with the depth of a point, for drawing far things
// first (the rest of the interface is with the sheet: GDImakeArea3D,
// GDIwToP3, GDImoveTo3, GDIlineTo3).
#pragma once

namespace zu::draw {

// Projects a world point of the current 3-D area; depth grows away from
// the viewer.
void Project3(double x, double y, double z, int* px, int* py, double* depth);

}  // namespace zu::draw
