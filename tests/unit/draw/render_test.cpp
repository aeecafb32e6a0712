// Rendering a drawing onto its sheet: what each object kind leaves in the
// display list, the axes, the legend's corner, thinning of long lines and
// crowded symbols, and the 3-D projection.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "draw/drawing.h"
#include "draw/projection.h"
#include "draw_fixture.h"

namespace zu::draw::test {
namespace {

class Render : public DrawFiles {
protected:
    void SetUp() override {
        DrawFiles::SetUp();
        d_ = DrawingOpen();
    }
    void TearDown() override {
        DrawingClose(d_);
        DrawFiles::TearDown();
    }
    std::vector<Rec> Rendered() {
        DrawDrawing(d_);
        return Records(*d_->sheet);
    }
    // The texts on the sheet, in order.
    std::vector<std::string> Texts() {
        DrawDrawing(d_);
        std::vector<std::string> out;
        ForEachRecord(*d_->sheet, [&](const DisplayRecord& r) {
            if (r.code == kRecText || r.code == kRecTextTo) out.emplace_back(r.text);
        });
        return out;
    }
    static int Count(const std::vector<Rec>& records, int code) {
        return static_cast<int>(
            std::count_if(records.begin(), records.end(), [&](const Rec& r) { return r.code == code; }));
    }
    static bool Has(const std::vector<std::string>& texts, const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    Drawing* d_ = nullptr;
};

TEST_F(Render, AxesGetNiceLabelledTicks) {
    const double y[] = {97.3, 120, 151.2};
    IDrawVector(d_, 0, y, 3, "", 1, 1, 2, true);
    const std::vector<std::string> texts = Texts();
    for (const char* label : {"90", "110", "160", "1.0", "1.5", "2.0", "3.0"}) EXPECT_TRUE(Has(texts, label)) << label;
    EXPECT_FALSE(Has(texts, "105"));
    EXPECT_FALSE(Has(texts, "170"));
}

TEST_F(Render, DatedAxesShowYearsOrPeriods) {
    std::vector<double> y(120, 1.0);
    y[5] = 2;
    IDrawTimeVector(d_, 0, y.data(), 120, "", 1990, 1, 4, 2, true);
    std::vector<std::string> texts = Texts();
    EXPECT_TRUE(Has(texts, "1990"));
    EXPECT_TRUE(Has(texts, "2015"));
    EXPECT_FALSE(Has(texts, "1990.5"));
    DrawingClose(d_);
    d_ = DrawingOpen();
    IDrawTimeVector(d_, 0, y.data(), 8, "", 2001, 3, 12, 2, true);
    texts = Texts();
    EXPECT_TRUE(Has(texts, "2001M3"));
}

TEST_F(Render, TickLabelsNeverTouch) {
    // Wide labels on a narrow axis: each label ends before the next starts.
    const double y[] = {0, 1};
    const double x[] = {1000.5, 1003.25};
    IDrawXVector(d_, 0, y, 2, "", x, "", 2, true);
    SetDrawingAreas(d_, 1, 4);  // a narrow area
    DrawDrawing(d_);
    std::vector<std::pair<int, int>> spans;  // left, right of the x labels
    int moveX = 0, moveY = 0, font = 0, size = 0;
    const SheetArea& a = GDIgetArea(0);
    ForEachRecord(*d_->sheet, [&](const DisplayRecord& r) {
        if (r.code == kRecMove) moveX = r.v.a, moveY = r.v.b;
        if (r.code == kRecFont) font = r.v.a, size = r.v.b;
        if (r.code == kRecTextTo && moveY < a.y0 - 200 && moveY > a.y0 - 800 && moveX >= a.x0 - 400 && moveX <= a.x1)
            spans.emplace_back(moveX, moveX + GDItextWidth(r.text, font, size));
    });
    ASSERT_GE(spans.size(), 2u);
    for (std::size_t i = 1; i < spans.size(); ++i) EXPECT_LT(spans[i - 1].second, spans[i].first);
}

TEST_F(Render, MissingValuesBreakTheLine) {
    const double y[] = {1, 2, NAN, 3, 4, INFINITY, 5};
    IDrawVector(d_, 0, y, 7, "", 1, 1, 2, true);
    const std::vector<Rec> records = Rendered();
    // Three pieces: 1-2, 3-4 and the single point 5 (a move only); each
    // piece starts with a move after the colour of the series.
    const auto start = std::find(records.begin(), records.end(), Rec{kRecColor, 2, 0});
    ASSERT_NE(start, records.end());
    std::vector<int> codes;
    for (auto it = start + 1; it != records.end() && it->code != kRecColor; ++it)
        if (it->code == kRecMove || it->code == kRecLine) codes.push_back(it->code);
    EXPECT_EQ(codes, (std::vector<int>{kRecMove, kRecLine, kRecMove, kRecLine, kRecMove}));
}

TEST_F(Render, LongLinesAreThinnedButKeepTheirExtremes) {
    std::vector<double> y(200000);
    for (std::size_t i = 0; i < y.size(); ++i) y[i] = std::sin(static_cast<double>(i)) * (i == 123456 ? 50 : 1);
    IDrawVector(d_, 0, y.data(), static_cast<int>(y.size()), "", 1, 1, 2, true);
    const std::vector<Rec> records = Rendered();
    EXPECT_LT(Count(records, kRecLine), 4 * 15000);
    // The spike is still drawn: a line reaches the top of the frame's range.
    int top = -100000;
    for (const Rec& r : records)
        if (r.code == kRecLine) top = std::max(top, r.b);
    EXPECT_GE(top, GDIgetArea(0).y1 - 200);
}

TEST_F(Render, CrowdedSymbolsAreDrawnOncePerCell) {
    std::vector<double> y(100000, 1.0), x(100000, 2.0);
    y[0] = 0;
    x[0] = 0;
    IDrawXVector(d_, 0, y.data(), 100000, "", x.data(), "", 2, true);
    SetDrawVecSymbolUse(d_, 0, 1);
    const std::vector<Rec> records = Rendered();
    int symbols = 0;
    for (const Rec& r : records) symbols += r.code >= kRecSymbolFirst && r.code <= kRecSymbolLast;
    EXPECT_EQ(symbols, 2);
}

TEST_F(Render, LegendTakesTheEmptiestCorner) {
    // Data crowd the top left: the legend goes elsewhere.
    std::vector<double> y(50, 10.0), x(50);
    for (int i = 0; i < 50; ++i) x[static_cast<std::size_t>(i)] = i / 100.0;
    y.push_back(0);
    x.push_back(10);
    IDrawXVector(d_, 0, y.data(), 51, "crowd", x.data(), "", 2, true);
    SetDrawVecSymbolUse(d_, 0, 1);
    DrawDrawing(d_);
    const SheetArea& a = GDIgetArea(0);
    int moveX = 0;
    bool found = false;
    ForEachRecord(*d_->sheet, [&](const DisplayRecord& r) {
        if (r.code == kRecMove) moveX = r.v.a;
        if (r.code == kRecTextTo && std::string(r.text) == "crowd") {
            found = true;
            EXPECT_GT(moveX, (a.x0 + a.x1) / 2);
        }
    });
    EXPECT_TRUE(found);
    // A hidden legend draws nothing.
    IDrawLegend(d_, 0, 20, 20, true);
    EXPECT_FALSE(Has(Texts(), "crowd"));
}

TEST_F(Render, TheAxisGrowsWhenEveryCornerHasData) {
    // Points in all four corners of the range 0..10.
    const double x[] = {0, 0.2, 10, 9.8, 0, 0.2, 10, 9.8};
    const double y[] = {10, 9.8, 10, 9.8, 0, 0.2, 0, 0.2};
    IDrawXVector(d_, 0, y, 8, "corners", x, "", 2, true);
    SetDrawVecSymbolUse(d_, 0, 1);
    DrawDrawing(d_);
    EXPECT_GT(GDIgetArea(0).ymax, 10);
    // Without a legend the range stays.
    IDrawLegend(d_, 0, 20, 20, true);
    DrawDrawing(d_);
    EXPECT_EQ(GDIgetArea(0).ymax, 10);
}

TEST_F(Render, AnAnchoredAxisCrossesThePlot) {
    const double y[] = {-1, 1};
    IDrawVector(d_, 0, y, 2, "", 1, 1, 2, true);
    const int before = Count(Rendered(), kRecLine);
    IDrawAxisAuto(d_, 0, 1, true, true, 0);  // the x axis at y = 0
    const std::vector<Rec> records = Rendered();
    EXPECT_EQ(Count(records, kRecLine), before + 1);
    const SheetArea& a = GDIgetArea(0);
    EXPECT_NE(std::find(records.begin(), records.end(), Rec{kRecLine, a.x1, (a.y0 + a.y1) / 2}), records.end());
}

TEST_F(Render, HistogramsAndIndexBarsAreFilledPaths) {
    const double counts[] = {1, 3, 2};
    IDrawHist(d_, 0, counts, 3, 0, 1, 2, true);
    const double r[] = {0.5, -0.2};
    IDrawVector(d_, 1, r, 2, "acf", 1, 1, 3, true);
    SetDrawVecIndex(d_, -1, 2, 0);
    const std::vector<Rec> records = Rendered();
    // Three bars, two index bars, one legend sample.
    EXPECT_EQ(Count(records, kRecBeginPath), 6);
    EXPECT_EQ(Count(records, kRecEndPath), 6);
    for (const Rec& rec : records) {
        if (rec.code == kRecEndPath) {
            EXPECT_EQ(rec.a, 2);
        }
    }
}

TEST_F(Render, ManyNarrowBarsStayAsWideAsTheSheet) {
    std::vector<double> counts(1000000);
    for (std::size_t i = 0; i < counts.size(); ++i) counts[i] = static_cast<double>(i % 7);
    IDrawHist(d_, 0, counts.data(), static_cast<int>(counts.size()), 0, 1, 2, true);
    const std::vector<Rec> records = Rendered();
    EXPECT_LT(Count(records, kRecBeginPath), 15000);
    EXPECT_GT(Count(records, kRecBeginPath), 1000);
}

TEST_F(Render, TitlesAndLabelsFindTheirPlaces) {
    const double y[] = {1, 2};
    IDrawVector(d_, 0, y, 2, "", 1, 1, 2, true);
    IDrawTitle(d_, 0, "Title");
    IDrawText(d_, 0, "Across", 0, 0, -1, -1, 2, 1);
    IDrawText(d_, 0, "Up", 0, 0, -1, -1, 3, 1);
    DrawDrawing(d_);
    const SheetArea a = GDIgetArea(0);  // the frame after rendering
    int moveX = 0, moveY = 0, direction = 0;
    ForEachRecord(*d_->sheet, [&](const DisplayRecord& r) {
        if (r.code == kRecMove) moveX = r.v.a, moveY = r.v.b;
        if (r.code == kRecTextDirection) direction = r.v.a;
        if (r.code != kRecTextTo) return;
        const std::string text = r.text;
        if (text == "Title") {
            EXPECT_GT(moveY, a.y1);
        }
        if (text == "Across") {
            EXPECT_LT(moveY, a.y0 - 300);
        }
        if (text == "Up") {
            EXPECT_EQ(direction, 90);
            EXPECT_LT(moveX, a.x0 - 300);
        }
    });
}

TEST_F(Render, AreasFollowTheGrid) {
    const double y[] = {1, 2};
    for (int area = 0; area < 5; ++area) IDrawVector(d_, area, y, 2, "", 1, 1, 2, true);
    DrawDrawing(d_);
    // Five areas: three columns, two rows, row by row from the top left.
    EXPECT_LT(GDIgetArea(0).x1, GDIgetArea(1).x0);
    EXPECT_EQ(GDIgetArea(3).x0, GDIgetArea(0).x0);
    EXPECT_LT(GDIgetArea(3).y1, GDIgetArea(0).y0);
    SetDrawingAreas(d_, 5, 1);
    DrawDrawing(d_);
    EXPECT_EQ(GDIgetArea(4).x0, GDIgetArea(0).x0);
    EXPECT_LT(GDIgetArea(1).y1, GDIgetArea(0).y0);
}

TEST_F(Render, ProjectionTurnsAndTilts) {
    ScopedSheet sheet;
    View3D view;
    view.xmin = view.ymin = view.zmin = 0;
    view.xmax = view.ymax = view.zmax = 1;
    view.elevation = 90;  // from straight above: x right, y up
    view.azimuth = 0;
    GDImakeArea3D(0, view);
    GDIsetArea(0);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double depth = 0, high = 0;
    Project3(0, 0, 0, &x0, &y0, &depth);
    Project3(1, 0, 0, &x1, &y1, &depth);
    Project3(0, 1, 0, &x2, &y2, &depth);
    EXPECT_GT(x1, x0);
    EXPECT_NEAR(y1, y0, 1);
    EXPECT_GT(y2, y0);
    Project3(0, 0, 1, &x1, &y1, &high);
    EXPECT_LT(high, depth);  // the top is nearer to the viewer above
    // Seen from the side, height goes up the sheet.
    view.elevation = 0;
    GDImakeArea3D(0, view);
    Project3(0.5, 0.5, 0, &x0, &y0, &depth);
    Project3(0.5, 0.5, 1, &x1, &y1, &depth);
    EXPECT_GT(y1, y0);
    EXPECT_NEAR(x1, x0, 1);
    // The box fills the area without leaving it.
    view.elevation = 30;
    view.azimuth = 40;
    GDImakeArea3D(0, view);
    const SheetArea& a = GDIgetArea(0);
    for (int corner = 0; corner < 8; ++corner) {
        Project3(corner & 1, (corner >> 1) & 1, (corner >> 2) & 1, &x0, &y0, &depth);
        EXPECT_GE(x0, a.x0 - 1);
        EXPECT_LE(x0, a.x1 + 1);
        EXPECT_GE(y0, a.y0 - 1);
        EXPECT_LE(y0, a.y1 + 1);
    }
}

TEST_F(Render, SurfacesAreDrawnFromTheBack) {
    const double x[] = {0, 1, 2}, y[] = {0, 1, 2};
    const double z[] = {0, 1, 0, 1, 4, 1, 0, 1, 0};
    IDrawMesh(d_, 0, x, 3, y, 3, z, 2, true);
    const std::vector<Rec> records = Rendered();
    EXPECT_EQ(Count(records, kRecBeginPath), 4);
    // Contours instead: lines, no facets.
    SetDrawContour(d_, 0, 5, 0);
    const std::vector<Rec> contours = Rendered();
    EXPECT_EQ(Count(contours, kRecBeginPath), 0);
    EXPECT_GT(Count(contours, kRecLine), 8);
}

}  // namespace
}  // namespace zu::draw::test
