// Changing objects after they are made: the setters and the adjustment
// codes that dispatch to them.
#include <algorithm>
#include <cmath>

#include "draw/drawing.h"

namespace zu::draw {
namespace {

DrawObject* Find(Drawing* d, int position, int kind) {
    DrawObject* obj = FindDrawObject(d, position);
    return obj != nullptr && (kind < 0 || obj->kind == kind) ? obj : nullptr;
}

// Number k as an int; `fallback` when it is missing or not finite.
int IntAt(std::span<const double> numbers, std::size_t k, int fallback = -1) {
    if (k >= numbers.size() || !std::isfinite(numbers[k])) return fallback;
    return static_cast<int>(std::clamp(numbers[k], -1e9, 1e9));
}

double DoubleAt(std::span<const double> numbers, std::size_t k, double fallback = 0) {
    return k < numbers.size() ? numbers[k] : fallback;
}

void SetGroup(int* group, int count, std::span<const double> numbers) {
    for (int i = 0; i < count; ++i) {
        const int v = IntAt(numbers, static_cast<std::size_t>(i));
        if (v >= 0) group[i] = v;
    }
}

void SetWorldRange(Drawing* d, int area, int axis, double min, double max) {
    DrawObject* obj = AreaSettings(d, area, false);
    if (obj == nullptr || !std::isfinite(min) || !std::isfinite(max)) return;
    AreaFields& a = obj->areaSet;
    switch (axis) {
    case 0:
        a.hasX = true;
        a.xmin = min;
        a.xmax = max;
        break;
    case 1:
        a.hasY = true;
        a.ymin = min;
        a.ymax = max;
        break;
    default:
        a.hasZ = true;
        a.zmin = min;
        a.zmax = max;
        break;
    }
}

void ScaleDrawing(Drawing* d, double percent) {
    if (!(percent > 0) || percent > 1000) return;
    auto scaled = [&](int v) { return static_cast<int>(std::lround(v * percent / 100)); };
    for (auto& obj : d->objects) {
        if (obj->kind == kKindText) obj->text.size = scaled(obj->text.size);
        if (obj->kind == kKindVector) obj->vec.symbolSize = scaled(obj->vec.symbolSize);
        if (obj->kind == kKindLegend) obj->legend.set[0] = scaled(obj->legend.set[0]);
        if (obj->kind == kKindAxis) obj->axis.label[0] = scaled(obj->axis.label[0]);
    }
}

}  // namespace

void SetDrawColour(Drawing* d, int position, int colour, int lineType) {
    DrawObject* obj = Find(d, position, -1);
    if (obj == nullptr) return;
    if (colour >= 0) obj->colour = FoldColour(colour);
    if (lineType >= 0) obj->lineType = std::min(lineType, 15);
}

void SetDrawAxisShow(Drawing* d, int position, int show) {
    if (DrawObject* obj = Find(d, position, kKindAxis); obj != nullptr && show >= 0) obj->axis.set[0] = show;
}

void SetDrawVecSymbolUse(Drawing* d, int position, int mode) {
    if (DrawObject* obj = Find(d, position, kKindVector); obj != nullptr && mode >= 0) obj->vec.symbolMode = mode;
}

void SetDrawVecSymbol(Drawing* d, int position, int type, int size) {
    DrawObject* obj = Find(d, position, kKindVector);
    if (obj == nullptr) return;
    if (type >= 0 && type < 13) obj->vec.symbolType = (type == 5 || type > 11) ? 2 : type;
    if (size > 0) obj->vec.symbolSize = std::min(size, 5000);
}

bool SetDrawVecZ(Drawing* d, int position, const double* z, int n, const char* label, int mode, double factor,
                 bool copy) {
    DrawObject* obj = Find(d, position, kKindVector);
    if (obj == nullptr || obj->vec.zMode >= kZMesh) return false;
    if (copy) {
        if (!obj->vec.z.Copy(z, n)) return false;
    } else {
        obj->vec.z.Borrow(z, n);
    }
    obj->vec.zLabel = label != nullptr ? label : "";
    if (mode >= 0) obj->vec.zMode = mode;
    if (factor > 0) obj->vec.barWidth = factor;
    return true;
}

void SetDrawContour(Drawing* d, int position, int count, int labels) {
    DrawObject* obj = Find(d, position, kKindVector);
    if (obj == nullptr) return;
    if (count >= 0) obj->vec.contour[0] = std::min(count, 100);
    if (labels >= 0) obj->vec.contour[1] = labels;
}

void SetDrawPalette(Drawing* d, int position, int palette) {
    if (DrawObject* obj = Find(d, position, kKindVector); obj != nullptr && palette >= 0)
        obj->vec.palette = std::min(palette, 7);
}

void SetDrawVecIndex(Drawing* d, int position, int mode, double base) {
    DrawObject* obj = Find(d, position, kKindVector);
    if (obj == nullptr) return;
    if (mode >= 0) obj->vec.indexMode = std::min(mode, 2);
    if (std::isfinite(base)) obj->vec.indexBase = base;
}

void SetDrawVecFreq(Drawing* d, int position, int freq) {
    if (DrawObject* obj = Find(d, position, kKindVector); obj != nullptr && freq >= 0) obj->vec.freq = freq;
}

void SetDrawVecScale(Drawing* d, int position, double factor, double shift) {
    DrawObject* obj = Find(d, position, kKindVector);
    if (obj == nullptr || !std::isfinite(factor) || !std::isfinite(shift)) return;
    obj->vec.factor = factor;
    obj->vec.shift = shift;
}

void SetDrawVecMinMax(Drawing* d, int position, double min, double max) {
    DrawObject* obj = FindDrawObject(d, position);
    if (obj == nullptr) return;
    double* lo = obj->kind == kKindVector ? &obj->vec.ymin : obj->kind == kKindHist ? &obj->hist.ymin : nullptr;
    double* hi = obj->kind == kKindVector ? &obj->vec.ymax : obj->kind == kKindHist ? &obj->hist.ymax : nullptr;
    if (lo == nullptr) return;
    if (std::isfinite(min)) *lo = std::min(*lo, min);
    if (std::isfinite(max)) *hi = std::max(*hi, max);
}

bool SetDrawCopy(Drawing* d, int position) { return SetObjCopy(FindDrawObject(d, position)); }

void SetDrawAdjustment(Drawing* d, int position, int code, std::span<const double> numbers) {
    if (d == nullptr) return;
    DrawObject* at = FindDrawObject(d, position);
    const int area = at != nullptr ? at->area : 0;
    switch (code) {
    case 0: SetDrawColour(d, position, IntAt(numbers, 0), IntAt(numbers, 1)); break;
    case 1: SetDrawVecSymbol(d, position, IntAt(numbers, 0), IntAt(numbers, 1)); break;
    case 2: SetDrawVecIndex(d, position, IntAt(numbers, 0), DoubleAt(numbers, 1, NAN)); break;
    case 3: SetDrawVecScale(d, position, DoubleAt(numbers, 0, 1), DoubleAt(numbers, 1, 0)); break;
    case 4: SetDrawVecMinMax(d, position, DoubleAt(numbers, 0, NAN), DoubleAt(numbers, 1, NAN)); break;
    case 5: SetDrawAxisShow(d, position, IntAt(numbers, 0)); break;
    case 6:
        if (DrawObject* obj = Find(d, position, kKindAxis)) SetGroup(obj->axis.set, 4, numbers);
        break;
    case 7:
        if (DrawObject* obj = Find(d, position, kKindAxis)) SetGroup(obj->axis.label, 3, numbers);
        break;
    case 14:
        if (DrawObject* obj = Find(d, position, kKindAxis)) SetGroup(obj->axis.grid, 3, numbers);
        break;
    case 20:
        if (DrawObject* obj = Find(d, position, kKindAxis); obj != nullptr && IntAt(numbers, 0) >= 0)
            obj->axis.rotation = IntAt(numbers, 0) % 360;
        break;
    case 8: SetDrawVecSymbolUse(d, position, IntAt(numbers, 0)); break;
    case 9: SetWorldRange(d, area, 0, DoubleAt(numbers, 0), DoubleAt(numbers, 1)); break;
    case 10: SetWorldRange(d, area, 1, DoubleAt(numbers, 0), DoubleAt(numbers, 1)); break;
    case 11: SetWorldRange(d, area, 2, DoubleAt(numbers, 0), DoubleAt(numbers, 1)); break;
    case 18:
        SetWorldRange(d, area, 0, DoubleAt(numbers, 0), DoubleAt(numbers, 1));
        SetWorldRange(d, area, 1, DoubleAt(numbers, 2), DoubleAt(numbers, 3));
        break;
    case 12:
        SetDrawingAreas(d, IntAt(numbers, 0), IntAt(numbers, 1));
        if (IntAt(numbers, 2) >= 0) d->boxMode = IntAt(numbers, 2);
        break;
    case 13:
        if (DrawObject* obj = Find(d, position, kKindText)) obj->text.rotation = IntAt(numbers, 0, 0) % 360;
        break;
    case 15:
    case 16: {
        DrawObject* obj = AreaSettings(d, area, false);
        if (obj == nullptr) break;
        AreaFields& a = obj->areaSet;
        for (std::size_t i = 0; i < 4 && i < numbers.size(); ++i) {
            if (!std::isfinite(numbers[i])) continue;
            a.view[i] = code == 16 ? a.view[i] + numbers[i] : numbers[i];
        }
        a.is3d = a.hasView = true;
        break;
    }
    case 17:
        if (DrawObject* obj = GetDrawObject(d, area, kKindArea, 0)) obj->areaSet.hasView = false;
        break;
    case 19:
        if (DrawObject* obj = Find(d, position, kKindAxis)) {
            obj->axis.hasScale = true;
            obj->axis.scaleType = IntAt(numbers, 0, 0);
            obj->axis.scaleFactor = DoubleAt(numbers, 1, 1);
            obj->axis.scaleShift = DoubleAt(numbers, 2, 0);
        }
        break;
    case 21: AreaSettings(d, area, IntAt(numbers, 0, 0) > 0); break;
    case 22: ScaleDrawing(d, DoubleAt(numbers, 0, 100)); break;
    case 23:
        if (DrawObject* obj = GetDrawObject(d, area, kKindLegend, 0)) {
            for (int i = 0; i < 4; ++i) {
                const int v = IntAt(numbers, static_cast<std::size_t>(i));
                if (v > 0 || (i == 3 && v == 0)) obj->legend.set[i] = v;
            }
        }
        break;
    default: break;  // other codes are ignored
    }
}

}  // namespace zu::draw
