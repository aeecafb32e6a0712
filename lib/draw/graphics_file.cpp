// The graphics file: a text form of a drawing, one block per object, that
// is written and read back exactly.  Numbers are written with "%.16g" so
// that every double survives the round trip; a missing value is " . ".
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "console/atomic_file.h"
#include "draw/drawing.h"
#include "zu.h"

namespace zu::draw {
namespace {

constexpr int kFormatVersion = 10;
// A file larger than this is not read into memory.
constexpr long kMaxFileSize = 1L << 30;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// ------------------------------------------------------------------
// Writing
// ------------------------------------------------------------------

class Writer {
public:
    explicit Writer(std::FILE* f) : f_(f) {}

    void Drawing(const draw::Drawing& d) {
        std::fprintf(f_, "Cordlet %d %d %d\n", kFormatVersion, d.areaRows, d.areaColumns);
        if (d.paperWidth != kPaperWidth || d.paperHeight != kPaperHeight)
            std::fprintf(f_, "paper(%d,%d)\n", d.paperWidth, d.paperHeight);
        if (d.paperColour != 0) std::fprintf(f_, "color(%d,%d)\n", d.paperColour, d.paperColour2);
        for (const auto& obj : d.objects) Object(*obj);
    }

private:
    void Object(const DrawObject& o) {
        switch (o.kind) {
        case kKindVector:
            if (o.vec.zMode == kZMesh)
                Mesh(o);
            else if (o.vec.zMode == kZTriangles)
                Triangles(o);
            else
                Vector(o);
            break;
        case kKindAxis: Axis(o); break;
        case kKindLine: Line(o); break;
        case kKindHist: Hist(o); break;
        case kKindArea: Area(o); break;
        case kKindText:
            if (!o.text.text.empty()) Text(o);
            break;
        case kKindLegend: Legend(o); break;
        default: break;
        }
    }

    void Head(const char* name, const DrawObject& o, bool withLineType) {
        if (withLineType)
            std::fprintf(f_, "%s(%d,%d,%d)\n{\n", name, o.area, o.colour, o.lineType);
        else
            std::fprintf(f_, "%s(%d,%d)\n{\n", name, o.area, o.colour);
    }

    void End() { std::fputs("}\n", f_); }

    // A label line; labels are kept on one line and free of the quote
    // that ends them.
    void LabelLine(const std::string& label, int count) {
        std::string clean = label;
        std::replace(clean.begin(), clean.end(), '\n', ' ');
        std::replace(clean.begin(), clean.end(), '\r', ' ');
        std::replace(clean.begin(), clean.end(), '"', '\'');
        std::fprintf(f_, " \"%s\" %d\n", clean.c_str(), count);
    }

    void Values(const DataRef& data) {
        if (data.empty()) return;
        std::fputs(" <", f_);
        for (int i = 0; i < data.size(); ++i) {
            if (std::isnan(data[i]))
                std::fputs(" . ", f_);
            else
                std::fprintf(f_, " %.16g", data[i]);
            if (i % 4 == 3) std::fputs("\n  ", f_);
        }
        std::fputs(" >\n", f_);
    }

    void DataLine(const std::string& label, const DataRef& data) {
        LabelLine(label, data.size());
        Values(data);
    }

    void Vector(const DrawObject& o) {
        const VectorFields& v = o.vec;
        Head("xvec", o, true);
        DataLine(v.yLabel, v.y);
        DataLine(v.xLabel, v.x);
        std::fprintf(f_, " %.16g %.16g;\n", v.xstart, v.xstep);
        double lo = 0, hi = 0;
        DataRange(v.y, &lo, &hi);
        if (lo != v.ymin || hi != v.ymax) std::fprintf(f_, " %s: %.16g %.16g;\n", "yr", v.ymin, v.ymax);
        if (v.freq != 0) std::fprintf(f_, " %s: %d;\n", "freq", v.freq);
        if (!v.x.empty() || !v.z.empty() || v.symbolMode != 0)
            std::fprintf(f_, " %s: %d %d %d;\n", "symbol", v.symbolMode, v.symbolType, v.symbolSize);
        if (v.shift != 0 || v.factor != 1) std::fprintf(f_, " %s: %.16g %.16g;\n", "scale", v.shift, v.factor);
        if (v.indexMode == 1) std::fprintf(f_, " %s: %.16g;\n", "index", v.indexBase);
        if (v.indexMode == 2) std::fprintf(f_, " %s: %.16g;\n", "idxbar", v.indexBase);
        if (v.reg[0] != 0) std::fprintf(f_, " %s: %d %d %d;\n", "reg", v.reg[0], v.reg[1], v.reg[2]);
        if (!v.z.empty()) {
            std::fprintf(f_, " %s: ", "z");
            DataLine(v.zLabel, v.z);
            std::fprintf(f_, " %s: %d;\n", "zmode", v.zMode);
            if (v.zMode == 3 || v.zMode == 4 || v.zMode == 7)
                std::fprintf(f_, " %s: %.16g %d;\n", "bar", v.barWidth, v.barInt);
        }
        End();
    }

    void Mesh(const DrawObject& o) {
        const VectorFields& v = o.vec;
        Head("mesh", o, true);
        LabelLine(v.yLabel, v.meshRows);
        LabelLine(v.xLabel, v.meshColumns);
        LabelLine(v.zLabel, v.meshRows * v.meshColumns);
        std::fputs(" <", f_);
        for (int i = 0; i < v.meshRows; ++i) {
            for (int j = 0; j < v.meshColumns; ++j) {
                const double z = v.z[i * v.meshColumns + j];
                std::fprintf(f_, " %.16g %.16g", v.x[j], v.y[i]);
                if (std::isnan(z))
                    std::fputs(" . ", f_);
                else
                    std::fprintf(f_, " %.16g", z);
            }
            std::fputs("\n  ", f_);
        }
        std::fputs(" >\n", f_);
        std::fprintf(f_, " %s: %d;\n", "palette", v.palette);
        if (v.freq != 0) std::fprintf(f_, " %s: %d;\n", "freq", v.freq);
        if (v.contour[0] != 0) std::fprintf(f_, " %s: %d %d;\n", "contour", v.contour[0], v.contour[1]);
        End();
    }

    void Triangles(const DrawObject& o) {
        const VectorFields& v = o.vec;
        Head("triangle", o, true);
        DataLine(v.yLabel, v.y);
        DataLine(v.xLabel, v.x);
        DataLine(v.zLabel, v.z);
        std::fprintf(f_, " %s: %d;\n", "palette", v.palette);
        End();
    }

    void Axis(const DrawObject& o) {
        const AxisFields& a = o.axis;
        Head("axis", o, false);
        std::fprintf(f_, " %c", a.type == 1 ? 'x' : a.type == 0 ? 'y' : 'z');
        if (!a.automatic)
            std::fprintf(f_, " %.16g %.16g %.16g %.16g %.16g %.16g %d", a.anchor, a.scale[0], a.scale[1], a.scale[2],
                         a.scale[3], a.scale[4], a.freq);
        std::fputs(";\n", f_);
        if (a.anchor2 != 0) std::fprintf(f_, " %s: %.16g;\n", "anchor2", a.anchor2);
        std::fprintf(f_, " %s: %d %d %d;\n", "label", a.label[0], a.label[1], a.label[2]);
        std::fprintf(f_, " %s: %d %d %d;\n", "grid", a.grid[0], a.grid[1], a.grid[2]);
        std::fprintf(f_, " %s: %d %d %d %d %d %d %d;\n", "set", a.set[0], a.set[1], a.set[2], a.set[3], a.set[4],
                     a.set[5], a.set[6]);
        if (a.rotation != 0) std::fprintf(f_, " %s: %d;\n", "rot", a.rotation);
        if (a.hasScale) std::fprintf(f_, " %s: %d %.16g %.16g;\n", "scale", a.scaleType, a.scaleFactor, a.scaleShift);
        End();
    }

    void Line(const DrawObject& o) {
        const LineFields& l = o.line;
        Head("line", o, false);
        if (l.sheetCoordinates) {
            std::fprintf(f_, " %s:%d %d %d %d %d;\n", "pset", l.px1, l.py1, l.px2, l.py2, l.type);
        } else {
            if (l.z1 != 0 || l.z2 != 0) std::fprintf(f_, " %s: %.16g %.16g;\n", "wsetz", l.z1, l.z2);
            std::fprintf(f_, " %s:%.16g %.16g %.16g %.16g %d;\n", "wset", l.x1, l.y1, l.x2, l.y2, l.type);
        }
        End();
    }

    void Hist(const DrawObject& o) {
        const HistFields& h = o.hist;
        Head("hist", o, false);
        std::fputs(" \"\" ", f_);
        std::fprintf(f_, "%d\n", h.data.size());
        Values(h.data);
        std::fprintf(f_, " %.16g %.16g %.16g %.16g %.16g %.16g %d;\n", h.start, h.step, h.ymin, h.ymax, h.base, h.width,
                     h.outline);
        End();
    }

    void Area(const DrawObject& o) {
        const AreaFields& a = o.areaSet;
        Head("area", o, false);
        if (a.hasPixelBox)
            std::fprintf(f_, " %s: %d %d %d %d;\n", "pset", a.pixelBox[0], a.pixelBox[1], a.pixelBox[2], a.pixelBox[3]);
        if (a.hasX) std::fprintf(f_, " %s: %.16g %.16g;\n", "wsetx", a.xmin, a.xmax);
        if (a.hasY) std::fprintf(f_, " %s: %.16g %.16g;\n", "wsety", a.ymin, a.ymax);
        if (a.hasZ) std::fprintf(f_, " %s: %.16g %.16g;\n", "wsetz", a.zmin, a.zmax);
        if (a.is3d) {
            std::fprintf(f_, " %s;\n", "3d");
            if (a.hasView)
                std::fprintf(f_, " %s: %.16g %.16g %.16g %.16g;\n", "3dview", a.view[0], a.view[1], a.view[2],
                             a.view[3]);
        }
        if (a.box) std::fprintf(f_, " %s;\n", "box");
        End();
    }

    void Text(const DrawObject& o) {
        const TextFields& t = o.text;
        Head("text", o, false);
        std::fprintf(f_, " %d %d %d$", t.x, t.y, static_cast<int>(t.text.size()));
        std::fwrite(t.text.data(), 1, t.text.size(), f_);
        std::fputs(";\n", f_);
        std::fprintf(f_, " %s: %d %d %d;\n", "set", t.font, t.size, t.role);
        if (t.world) {
            std::fprintf(f_, " %s: %.16g %.16g;\n", "wset", t.wx, t.wy);
            if (t.wz != 0) std::fprintf(f_, " %s: %.16g;\n", "wsetz", t.wz);
        }
        if (t.rotation != 0) std::fprintf(f_, " %s: %d;\n", "rot", t.rotation);
        End();
    }

    void Legend(const DrawObject& o) {
        const LegendFields& l = o.legend;
        Head("legend", o, false);
        std::fprintf(f_, " %d %d %d;\n", l.x, l.y, l.layout);
        std::fprintf(f_, " %s: %d %d %d %d;\n", "set", l.set[0], l.set[1], l.set[2], l.set[3]);
        End();
    }

    static void DataRange(const DataRef& data, double* lo, double* hi) {
        bool any = false;
        *lo = *hi = 0;
        for (int i = 0; i < data.size(); ++i) {
            const double v = data[i];
            if (!std::isfinite(v)) continue;
            if (!any || v < *lo) *lo = v;
            if (!any || v > *hi) *hi = v;
            any = true;
        }
    }

    std::FILE* f_;
};

// ------------------------------------------------------------------
// Reading
// ------------------------------------------------------------------

void Warn(const char* text) { PopWarningMessage(text); }

// A cursor over the text of the file.
class Cursor {
public:
    explicit Cursor(std::string text) : text_(std::move(text)) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    void Skip() { ++pos_; }
    void SkipBlanks() {
        while (!AtEnd() && std::strchr(" \t\r\n", text_[pos_]) != nullptr) ++pos_;
    }
    bool Accept(char c) {
        SkipBlanks();
        if (Peek() != c) return false;
        ++pos_;
        return true;
    }
    // A word of characters from `allowed`, at most `limit` long.
    std::string Word(const char* allowed, std::size_t limit) {
        SkipBlanks();
        std::string w;
        while (!AtEnd() && w.size() < limit && std::strchr(allowed, text_[pos_]) != nullptr) w += text_[pos_++];
        return w;
    }
    bool Int(int* out) {
        double d = 0;
        if (!Number(&d) || !(d >= -2147483647.0 && d <= 2147483647.0)) return false;
        *out = static_cast<int>(d);
        return true;
    }
    // A number; " . " is a missing value.
    bool Number(double* out) {
        SkipBlanks();
        if (AtEnd()) return false;
        const char* start = text_.c_str() + pos_;
        if (*start == '.' && (start[1] == '\0' || std::strchr(" \t\r\n;>", start[1]) != nullptr)) {
            ++pos_;
            *out = std::nan("");
            return true;
        }
        char* end = nullptr;
        const double d = std::strtod(start, &end);
        if (end == start) return false;
        pos_ += static_cast<std::size_t>(end - start);
        *out = d;
        return true;
    }
    // The text between the first and the last quote of the line.
    bool Label(std::string* out) {
        SkipBlanks();
        if (Peek() != '"') return false;
        const std::size_t eol = std::min(text_.find('\n', pos_), text_.size());
        const std::size_t last = text_.rfind('"', eol - 1);
        if (last == std::string::npos || last <= pos_) return false;
        *out = text_.substr(pos_ + 1, last - pos_ - 1);
        pos_ = last + 1;
        return true;
    }
    // Exactly n characters.
    bool Chars(std::size_t n, std::string* out) {
        if (n > text_.size() - pos_) return false;
        *out = text_.substr(pos_, n);
        pos_ += n;
        return true;
    }
    // Skips to just after the next ';', or up to a closing brace.
    void SkipItem() {
        while (!AtEnd() && text_[pos_] != ';' && text_[pos_] != '}') ++pos_;
        if (Peek() == ';') ++pos_;
    }
    void SkipBlock() {
        while (!AtEnd() && text_[pos_] != '}') ++pos_;
        if (!AtEnd()) ++pos_;
    }
    std::size_t Remaining() const { return text_.size() - pos_; }

private:
    std::string text_;
    std::size_t pos_ = 0;
};

class Reader {
public:
    Reader(Cursor& c, draw::Drawing* d) : c_(c), d_(d) {}

    bool Header() {
        if (c_.Word("Cordlet", 7) != "Cordlet") return false;
        int version = 0, rows = 0, columns = 0;
        if (!c_.Int(&version) || !c_.Int(&rows) || !c_.Int(&columns) || version < 9) return false;
        SetDrawingAreas(d_, rows, columns);
        return true;
    }

    void Blocks() {
        for (;;) {
            const std::string name = c_.Word("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_", 10);
            if (name.empty()) break;
            int area = 0, colour = 0, third = 0;
            if (!c_.Accept('(') || !c_.Int(&area) || !c_.Accept(',') || !c_.Int(&colour)) {
                Warn("unexpected end of file");
                break;
            }
            third = colour;
            if (c_.Accept(',') && !c_.Int(&third)) break;
            c_.Accept(')');
            const bool body = c_.Accept('{');
            if (!Block(name, area, colour, third, body)) break;
        }
        if (blocks_ > d_->objectCount() - objectsBefore_) Warn("Could not read all graphics objects");
    }

    int objectsBefore_ = 0;

private:
    static bool Starts(const std::string& name, const char* word) {
        return name.compare(0, std::strlen(word), word) == 0;
    }

    bool Block(const std::string& name, int area, int colour, int third, bool body) {
        if (Starts(name, "paper")) {
            if (area > 0 && colour > 0 && area <= 30000 && colour <= 30000) {
                d_->paperWidth = area;
                d_->paperHeight = colour;
            }
            return true;
        }
        if (Starts(name, "color")) {
            d_->paperColour = area;
            d_->paperColour2 = colour;
            return true;
        }
        ++blocks_;
        if (!body) return false;
        if (area < 0 || area >= kAreaCount) {
            c_.SkipBlock();
            return true;
        }
        if (Starts(name, "xvec")) return Vector(area, colour, third);
        if (Starts(name, "mesh")) return Mesh(area, colour, third);
        if (Starts(name, "triangle")) return Triangles(area, colour, third);
        if (Starts(name, "axis")) return Axis(area, colour);
        if (Starts(name, "area")) return Area(area);
        if (Starts(name, "line")) return Line(area, colour);
        if (Starts(name, "hist")) return Hist(area, colour);
        if (Starts(name, "text")) return Text(area, colour);
        if (Starts(name, "legend")) return Legend(area);
        c_.SkipBlock();
        return true;
    }

    // A label line and its values: count values between < and >.
    bool DataLine(std::string* label, std::vector<double>* values) {
        int count = 0;
        if (!c_.Label(label) || !c_.Int(&count) || count < 0) return false;
        return Values(count, values);
    }

    bool Values(long count, std::vector<double>* values) {
        values->clear();
        if (count == 0) return true;
        if (!c_.Accept('<')) return false;
        // Every value takes two characters at least: a count beyond that
        // cannot be met and is not allocated.
        if (static_cast<std::size_t>(count) > c_.Remaining() / 2 + 1) return false;
        values->reserve(static_cast<std::size_t>(count));
        for (long i = 0; i < count; ++i) {
            double v = 0;
            if (!c_.Number(&v)) return false;
            values->push_back(v);
        }
        return c_.Accept('>');
    }

    // Keyed items up to the closing brace; `item` takes the values of a
    // key it knows and returns false for one it does not.
    template <class F>
    bool Items(F&& item) {
        for (;;) {
            c_.SkipBlanks();
            if (c_.AtEnd()) {
                Warn("unexpected end of file");
                return false;
            }
            if (c_.Accept('}')) return true;
            const std::string key = c_.Word("abcdefghijklmnopqrstuvwxyz23", 20);
            if (key.empty()) {
                c_.SkipItem();
                continue;
            }
            const bool flag = c_.Accept(';');
            if (!flag && !c_.Accept(':')) {
                c_.SkipItem();
                continue;
            }
            if (flag) {
                item(key, true);
                continue;
            }
            if (!item(key, false))
                c_.SkipItem();
            else
                c_.Accept(';');
        }
    }

    bool Ints(int* out, int n) {
        for (int i = 0; i < n; ++i)
            if (!c_.Int(&out[i])) return false;
        return true;
    }
    bool Doubles(double* out, int n) {
        for (int i = 0; i < n; ++i)
            if (!c_.Number(&out[i])) return false;
        return true;
    }

    DrawObject* Last() { return d_->objects.back().get(); }

    bool Vector(int area, int colour, int lineType) {
        std::string yLabel, xLabel;
        std::vector<double> y, x;
        double start[2] = {1, 1};
        if (!DataLine(&yLabel, &y) || !DataLine(&xLabel, &x) || !Doubles(start, 2) || !c_.Accept(';')) return false;
        if (!x.empty() && x.size() != y.size()) return false;
        const int n = static_cast<int>(y.size());
        const int pos =
            x.empty() ? IDrawVector(d_, area, y.data(), n, yLabel.c_str(), start[0], start[1], colour, true)
                      : IDrawXVector(d_, area, y.data(), n, yLabel.c_str(), x.data(), xLabel.c_str(), colour, true);
        if (pos < 0) return false;
        DrawObject* o = Last();
        o->lineType = lineType;
        o->vec.xstart = start[0];
        o->vec.xstep = start[1];
        VectorFields& v = o->vec;
        return Items([&](const std::string& key, bool) {
            if (key == "yr") return Doubles(&v.ymin, 1) && Doubles(&v.ymax, 1);
            if (key == "freq") return c_.Int(&v.freq);
            if (key == "symbol") return c_.Int(&v.symbolMode) && c_.Int(&v.symbolType) && c_.Int(&v.symbolSize);
            if (key == "scale") return c_.Number(&v.shift) && c_.Number(&v.factor);
            if (key == "index" || key == "idxbar") {
                v.indexMode = key == "index" ? 1 : 2;
                return c_.Number(&v.indexBase);
            }
            if (key == "reg") return Ints(v.reg, 3);
            if (key == "z") {
                std::vector<double> z;
                if (!DataLine(&v.zLabel, &z)) return false;
                return v.z.Copy(z.data(), static_cast<int>(z.size()));
            }
            if (key == "zmode") return c_.Int(&v.zMode) && v.zMode >= 0 && v.zMode < kZMesh;
            if (key == "bar") return c_.Number(&v.barWidth) && c_.Int(&v.barInt);
            return false;
        });
    }

    bool Mesh(int area, int colour, int lineType) {
        std::string labels[3];
        int counts[3] = {0, 0, 0};
        for (int i = 0; i < 3; ++i)
            if (!c_.Label(&labels[i]) || !c_.Int(&counts[i])) return false;
        const int rows = counts[0], columns = counts[1];
        if (rows < 1 || columns < 1 || static_cast<long>(rows) * columns != counts[2]) return false;
        std::vector<double> triples;
        if (!Values(3L * counts[2], &triples)) return false;
        std::vector<double> x(static_cast<std::size_t>(columns)), y(static_cast<std::size_t>(rows)),
            z(static_cast<std::size_t>(counts[2]));
        for (int i = 0; i < rows; ++i) {
            for (int j = 0; j < columns; ++j) {
                const std::size_t k = static_cast<std::size_t>(i) * columns + j;
                x[static_cast<std::size_t>(j)] = triples[3 * k];
                y[static_cast<std::size_t>(i)] = triples[3 * k + 1];
                z[k] = triples[3 * k + 2];
            }
        }
        if (IDrawMesh(d_, area, x.data(), columns, y.data(), rows, z.data(), colour, true) < 0) return false;
        DrawObject* o = Last();
        o->lineType = lineType;
        o->vec.yLabel = labels[0];
        o->vec.xLabel = labels[1];
        o->vec.zLabel = labels[2];
        VectorFields& v = o->vec;
        return Items([&](const std::string& key, bool) {
            if (key == "palette") return c_.Int(&v.palette);
            if (key == "freq") return c_.Int(&v.freq);
            if (key == "contour") return Ints(v.contour, 2);
            return false;
        });
    }

    bool Triangles(int area, int colour, int lineType) {
        std::string labels[3];
        std::vector<double> y, x, z;
        if (!DataLine(&labels[0], &y) || !DataLine(&labels[1], &x) || !DataLine(&labels[2], &z)) return false;
        if (x.size() != y.size() || z.size() != y.size()) return false;
        if (IDrawTriangulation(d_, area, x.data(), y.data(), z.data(), static_cast<int>(y.size()), colour, true) < 0)
            return false;
        DrawObject* o = Last();
        o->lineType = lineType;
        o->vec.yLabel = labels[0];
        o->vec.xLabel = labels[1];
        o->vec.zLabel = labels[2];
        return Items([&](const std::string& key, bool) {
            if (key == "palette") return c_.Int(&o->vec.palette);
            return false;
        });
    }

    bool Axis(int area, int colour) {
        const std::string letter = c_.Word("xyz", 1);
        if (letter.empty()) {
            Warn("Unknown axis type");
            return false;
        }
        const int type = letter == "x" ? 1 : letter == "y" ? 0 : 2;
        double numbers[6] = {0, 0, 0, 0, 0, 0};
        int freq = 0;
        int pos = -1;
        if (c_.Accept(';')) {
            pos = IDrawAxisAuto(d_, area, type, true, false, std::nan(""));
        } else {
            if (!Doubles(numbers, 6) || !c_.Int(&freq) || !c_.Accept(';')) return false;
            pos =
                IDrawAxis(d_, area, type, numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5], freq);
        }
        if (pos < 0) return false;
        DrawObject* o = Last();
        o->colour = FoldColour(colour);
        o->lineType = o->colour;
        AxisFields& a = o->axis;
        return Items([&](const std::string& key, bool) {
            if (key == "anchor2") return c_.Number(&a.anchor2);
            if (key == "label") return Ints(a.label, 3);
            if (key == "grid") return Ints(a.grid, 3);
            if (key == "set") return Ints(a.set, 7);
            if (key == "rot") return c_.Int(&a.rotation);
            if (key == "scale") {
                a.hasScale = true;
                return c_.Int(&a.scaleType) && c_.Number(&a.scaleFactor) && c_.Number(&a.scaleShift);
            }
            return false;
        });
    }

    bool Area(int area) {
        DrawObject* o = nullptr;
        // Area settings are one per area: a second block adds to the first.
        o = GetDrawObject(d_, area, kKindArea, 0);
        if (o == nullptr) {
            const int before = d_->objectCount();
            o = AreaSettings(d_, area, false);
            if (o == nullptr || d_->objectCount() == before) return false;
            o->areaSet.box = false;
        }
        AreaFields& a = o->areaSet;
        return Items([&](const std::string& key, bool flag) {
            if (flag) {
                if (key == "3d") a.is3d = true;
                if (key == "box") a.box = true;
                return true;
            }
            if (key == "pset") return a.hasPixelBox = true, Ints(a.pixelBox, 4);
            if (key == "wsetx") return a.hasX = true, c_.Number(&a.xmin) && c_.Number(&a.xmax);
            if (key == "wsety") return a.hasY = true, c_.Number(&a.ymin) && c_.Number(&a.ymax);
            if (key == "wsetz") return a.hasZ = true, c_.Number(&a.zmin) && c_.Number(&a.zmax);
            if (key == "3dview") return a.hasView = true, Doubles(a.view, 4);
            return false;
        });
    }

    bool Line(int area, int colour) {
        if (IDrawLine(d_, area, 0, 0, 0, 0, 0, 0, colour) < 0) return false;
        LineFields& l = Last()->line;
        return Items([&](const std::string& key, bool) {
            if (key == "pset") {
                l.sheetCoordinates = true;
                return c_.Int(&l.px1) && c_.Int(&l.py1) && c_.Int(&l.px2) && c_.Int(&l.py2) && c_.Int(&l.type);
            }
            if (key == "wsetz") return c_.Number(&l.z1) && c_.Number(&l.z2);
            if (key == "wset")
                return c_.Number(&l.x1) && c_.Number(&l.y1) && c_.Number(&l.x2) && c_.Number(&l.y2) && c_.Int(&l.type);
            return false;
        });
    }

    bool Hist(int area, int colour) {
        std::string label;
        std::vector<double> data;
        double numbers[6] = {0, 1, 0, 0, 0, 1};
        int outline = 1;
        if (!DataLine(&label, &data) || !Doubles(numbers, 6) || !c_.Int(&outline) || !c_.Accept(';')) return false;
        if (IDrawHist(d_, area, data.data(), static_cast<int>(data.size()), numbers[0], numbers[1], colour, true) < 0)
            return false;
        HistFields& h = Last()->hist;
        h.ymin = numbers[2];
        h.ymax = numbers[3];
        h.base = numbers[4];
        h.width = numbers[5];
        h.outline = outline;
        return Items([](const std::string&, bool) { return false; });
    }

    bool Text(int area, int colour) {
        int x = 0, y = 0, length = 0;
        std::string text;
        if (!c_.Int(&x) || !c_.Int(&y) || !c_.Int(&length) || length < 0 || !c_.Accept('$') ||
            !c_.Chars(static_cast<std::size_t>(length), &text) || !c_.Accept(';'))
            return false;
        const int before = d_->objectCount();
        // Built directly: a text of the same role would replace an earlier one.
        if (IDrawText(d_, area, text.c_str(), x, y, -1, -1, 0, colour) < 0 || d_->objectCount() == before) return false;
        TextFields& t = Last()->text;
        t.text = text;  // may hold a zero byte
        return Items([&](const std::string& key, bool) {
            if (key == "set") return c_.Int(&t.font) && c_.Int(&t.size) && c_.Int(&t.role);
            if (key == "wset") return t.world = true, c_.Number(&t.wx) && c_.Number(&t.wy);
            if (key == "wsetz") return c_.Number(&t.wz);
            if (key == "rot") return c_.Int(&t.rotation);
            return false;
        });
    }

    bool Legend(int area) {
        int numbers[3] = {20, 20, 1};
        if (!Ints(numbers, 3) || !c_.Accept(';')) return false;
        const int before = d_->objectCount();
        if (IDrawLegend(d_, area, numbers[0], numbers[1], false) < 0 || d_->objectCount() == before) return false;
        LegendFields& l = Last()->legend;
        l.layout = numbers[2];
        return Items([&](const std::string& key, bool) {
            if (key == "set") return Ints(l.set, 4);
            return false;
        });
    }

    Cursor& c_;
    draw::Drawing* d_;
    int blocks_ = 0;
};

bool ReadWhole(const char* fileName, std::string* text) {
    File f(FileOpen(fileName, "rb"));
    if (!f) return false;
    std::string data;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) {
        if (data.size() + got > static_cast<std::size_t>(kMaxFileSize)) return false;
        data.append(buffer, got);
    }
    *text = std::move(data);
    return true;
}

}  // namespace

int DrawingWrite(const char* fileName, Drawing* d) {
    if (d == nullptr || d->objects.empty()) return 0;
    if (fileName == nullptr) return 0;
    console::AtomicFile f(console::PortableFileName(fileName));
    if (f.Stream() == nullptr) return 0;
    Writer(f.Stream()).Drawing(*d);
    return f.Commit() ? 1 : 0;
}

Drawing* DrawingRead(Drawing* d, const char* fileName) {
    std::string text;
    if (!ReadWhole(fileName, &text)) return nullptr;
    const bool fresh = d == nullptr;
    if (fresh) d = DrawingOpen();
    if (d == nullptr) return nullptr;
    Cursor cursor(std::move(text));
    Reader reader(cursor, d);
    reader.objectsBefore_ = d->objectCount();
    if (!reader.Header()) {
        Warn("This is not a correct Cordlet Graphics file");
        if (fresh) DrawingClose(d);
        return nullptr;
    }
    reader.Blocks();
    return d;
}

}  // namespace zu::draw
