// The drawing model: colour folding, builders and their refusals, texts
// with roles, areas, copying, borrowed data, adjustments and the defaults.
#include <cmath>
#include <vector>

#include "draw/drawing.h"
#include "draw_fixture.h"

namespace zu::draw::test {
namespace {

struct ScopedDrawing {
    Drawing* d = DrawingOpen();
    ~ScopedDrawing() { DrawingClose(d); }
};

TEST(Drawing, ColoursFoldIntoTwoToFifteen) {
    EXPECT_EQ(FoldColour(15), 15);
    EXPECT_EQ(FoldColour(16), 2);
    EXPECT_EQ(FoldColour(17), 3);
    EXPECT_EQ(FoldColour(29), 15);
    EXPECT_EQ(FoldColour(30), 2);
    ScopedDrawing s;
    const double y[] = {1, 2};
    const int pos = IDrawVector(s.d, 0, y, 2, "y", 1, 1, 30, true);
    EXPECT_EQ(FindDrawObject(s.d, pos)->colour, 2);
    EXPECT_EQ(FindDrawObject(s.d, pos)->lineType, 2);
}

TEST(Drawing, BuildersRefuseBadAreasAndTexts) {
    ScopedDrawing s;
    const double y[] = {1};
    EXPECT_LT(IDrawVector(s.d, 36, y, 1, "", 1, 1, 2, true), 0);
    EXPECT_LT(IDrawVector(nullptr, 0, y, 1, "", 1, 1, 2, true), 0);
    EXPECT_EQ(IDrawText(s.d, 0, "", 0, 0, -1, -1, 0, 1), -2);
    EXPECT_EQ(s.d->objectCount(), 0);
    EXPECT_EQ(IDrawLine(s.d, 5, 0, 0, 0, 1, 1, 0, 1), 0);
    EXPECT_EQ(s.d->areaCount, 6);
    EXPECT_EQ(FindDrawObject(s.d, -1)->kind, kKindLine);
    EXPECT_EQ(FindDrawObject(s.d, 1), nullptr);
    EXPECT_EQ(FindDrawObject(s.d, -2), nullptr);
}

TEST(Drawing, BarsHistogramsAndPointsBuilders) {
    ScopedDrawing s;
    const double data[] = {0, 1, 1, 2, NAN, 4};
    const int hist = IDrawHistogram(s.d, 0, data, 6, 4, 2);
    const HistFields& h = FindDrawObject(s.d, hist)->hist;
    ASSERT_EQ(h.data.size(), 4);
    EXPECT_EQ(h.start, 0);
    EXPECT_EQ(h.step, 1);
    EXPECT_EQ(h.data[1], 2);  // the two ones
    EXPECT_EQ(h.data[3], 1);  // the largest value closes the last bar
    EXPECT_LT(IDrawHistogram(s.d, 0, data, 6, 0, 2), 0);
    const int bar = IDrawTimeBar(s.d, 1, data, 3, 2000, 2, 4, 3, true);
    EXPECT_DOUBLE_EQ(FindDrawObject(s.d, bar)->hist.start, 2000.125);
    EXPECT_DOUBLE_EQ(FindDrawObject(s.d, bar)->hist.step, 0.25);
    const double x[] = {1, 2}, y[] = {10, 20, 30}, z[] = {1, 2, 3, 4, 5, 6};
    const int grid = IDrawTriangulationGrid(s.d, 2, x, 2, y, 3, z, 4);
    const VectorFields& v = FindDrawObject(s.d, grid)->vec;
    EXPECT_EQ(v.zMode, kZTriangles);
    ASSERT_EQ(v.z.size(), 6);
    EXPECT_EQ(v.x[5], 2);
    EXPECT_EQ(v.y[5], 30);
    EXPECT_EQ(v.z[5], 6);
}

TEST(Drawing, TextsWithRoles) {
    ScopedDrawing s;
    const int title = IDrawTitle(s.d, 0, "First");
    EXPECT_EQ(IDrawTitle(s.d, 0, "Second"), title);  // replaced
    EXPECT_EQ(FindDrawObject(s.d, title)->text.text, "Second");
    EXPECT_EQ(IDrawText(s.d, 0, "Kept", 1, 2, -1, -1, -1, 1), title);  // negative role keeps it
    EXPECT_EQ(FindDrawObject(s.d, title)->text.text, "Second");
    EXPECT_NE(IDrawTitle(s.d, 1, "Other area"), title);
    EXPECT_EQ(CountDrawObject(s.d, 0, kKindText), 1);
}

TEST(Drawing, FreeAreaRenumbersTheOthers) {
    ScopedDrawing s;
    const double y[] = {1, 2, 3};
    IDrawVector(s.d, 0, y, 3, "", 1, 1, 2, true);
    IDrawVector(s.d, 1, y, 3, "", 1, 1, 2, true);
    IDrawVector(s.d, 2, y, 3, "", 1, 1, 2, true);
    FreeDrawArea(s.d, 1);
    EXPECT_EQ(s.d->areaCount, 2);
    EXPECT_EQ(FindDrawObject(s.d, 1)->kind, kKindFree);
    EXPECT_EQ(FindDrawObject(s.d, 2)->area, 1);
    EXPECT_EQ(GetDrawObject(s.d, 1, kKindVector, 0), FindDrawObject(s.d, 2));
}

TEST(Drawing, BorrowedDataIsCopiedBeforeItGoes) {
    ScopedDrawing s;
    std::vector<double> block = {1, 2, 3, 4};
    IDrawVector(s.d, 0, block.data(), 4, "", 1, 1, 2, false);
    IDrawVector(s.d, 0, block.data() + 2, 2, "", 1, 1, 3, false);
    IDrawVector(s.d, 0, block.data(), 4, "", 1, 1, 4, true);
    EXPECT_EQ(ICheckDrawPointer(s.d, block.data(), block.size(), false), 2);
    EXPECT_EQ(ICheckDrawPointer(s.d, block.data(), block.size(), true), 2);
    EXPECT_EQ(ICheckDrawPointer(s.d, block.data(), block.size(), false), 0);
    block.assign(4, -1);
    EXPECT_EQ(FindDrawObject(s.d, 1)->vec.y[0], 3);
}

TEST(Drawing, CopyBetweenDrawings) {
    ScopedDrawing from, to;
    const double y[] = {1, 2};
    IDrawVector(from.d, 0, y, 2, "y", 1, 1, 2, false);
    IDrawAxisAuto(from.d, 0, 1, true, false, 0);
    AreaSettings(from.d, 0, true)->areaSet.hasPixelBox = true;
    IDrawVector(to.d, 0, y, 2, "z", 1, 1, 2, true);
    // Into a given area: no axes, area settings or legends.
    EXPECT_EQ(FCopyDrawing(to.d, 3, from.d, -1), 0);
    EXPECT_EQ(to.d->objectCount(), 2);
    EXPECT_EQ(FindDrawObject(to.d, 1)->area, 3);
    EXPECT_TRUE(FindDrawObject(to.d, 1)->ownsData);
    // Into a new area after the last: everything, pixel boxes dropped.
    EXPECT_EQ(FCopyDrawing(to.d, -1, from.d, 0), 0);
    EXPECT_EQ(to.d->objectCount(), 5);
    EXPECT_EQ(FindDrawObject(to.d, -1)->area, 4);
    EXPECT_FALSE(FindDrawObject(to.d, -1)->areaSet.hasPixelBox);
    EXPECT_EQ(FCopyDrawing(nullptr, 0, from.d, 0), 1);
}

TEST(Drawing, AdjustmentsReachTheirSetters) {
    ScopedDrawing s;
    const double y[] = {1, 2, 3};
    IDrawVector(s.d, 2, y, 3, "", 1, 1, 2, true);
    SetDrawAdjustment(s.d, -1, 0, std::vector<double>{17, 5});
    SetDrawAdjustment(s.d, -1, 1, std::vector<double>{5, 120});  // type 5 is stored as 2
    SetDrawAdjustment(s.d, -1, 2, std::vector<double>{2, 0.5});
    SetDrawAdjustment(s.d, -1, 4, std::vector<double>{-10, 2});
    SetDrawAdjustment(s.d, -1, 9, std::vector<double>{0, 10});
    SetDrawAdjustment(s.d, -1, 12, std::vector<double>{2, 3, 1});
    SetDrawAdjustment(s.d, -1, 12, std::vector<double>{7, 7});  // 49 areas: ignored
    SetDrawAdjustment(s.d, -1, 99, std::vector<double>{1});     // ignored
    const VectorFields& v = FindDrawObject(s.d, 0)->vec;
    EXPECT_EQ(FindDrawObject(s.d, 0)->colour, 3);
    EXPECT_EQ(FindDrawObject(s.d, 0)->lineType, 5);
    EXPECT_EQ(v.symbolType, 2);
    EXPECT_EQ(v.symbolSize, 120);
    EXPECT_EQ(v.indexMode, 2);
    EXPECT_EQ(v.indexBase, 0.5);
    EXPECT_EQ(v.ymin, -10);
    EXPECT_EQ(v.ymax, 3);  // widened only
    const DrawObject* area = GetDrawObject(s.d, 2, kKindArea, 0);
    ASSERT_NE(area, nullptr);
    EXPECT_TRUE(area->areaSet.hasX);
    EXPECT_EQ(area->areaSet.xmax, 10);
    EXPECT_EQ(s.d->areaRows, 2);
    EXPECT_EQ(s.d->areaColumns, 3);
    EXPECT_EQ(s.d->boxMode, 1);
}

TEST_F(DrawFiles, DefaultsResetAndOptions) {
    const Defaults& d = GDIdefaults();
    EXPECT_EQ(d.margin, 640);
    EXPECT_EQ(d.symbolType[3], 3);
    EXPECT_EQ(d.symbolType[10], 10);
    EXPECT_EQ(d.lineModes[0][13].width, 50);
    EXPECT_EQ(d.lineModes[1][3].dash1, 50);
    EXPECT_EQ(d.colours[1][2], 0);
    EXPECT_EQ(d.colours[1][14], 128 + 256 * 128 + 65536 * 128);
    SetDrawOptions(1, std::vector<double>{300, 900});
    SetDrawOptions(3, std::vector<double>{12, 400});
    SetDrawOptions(11, std::vector<double>{4, 13, 50});
    SetDrawOptions(12, std::vector<double>{2, 9, 0, 300, 300});
    SetDrawOptions(25, std::vector<double>{1});
    EXPECT_EQ(d.margin, 900);
    EXPECT_EQ(d.font, 10);
    EXPECT_EQ(d.symbolType[4], 2);
    EXPECT_EQ(d.lineModes[0][2].style, 4);
    EXPECT_EQ(d.lineModes[0][2].width, 10);
    EXPECT_EQ(d.lineModes[0][2].dash1, 255);
    SetDrawOptions(0, std::vector<double>{0});
    EXPECT_EQ(d.margin, 640);
    EXPECT_EQ(d.lineModes[0][2].style, 0);
}

TEST_F(DrawFiles, EveryOptionCodeReachesItsDefault) {
    const Defaults& d = GDIdefaults();
    auto set = [](int code, std::vector<double> args) { SetDrawOptions(code, args); };
    set(2, {1, 0, 1});
    EXPECT_EQ(d.boxFlags[2], 1);
    set(4, {250, 500, 80});
    EXPECT_EQ(d.axisFontSize, 250);
    EXPECT_EQ(d.axisTickLength, 80);
    set(5, {1, 1, 0, 1});
    EXPECT_EQ(d.axisLine[3], 1);
    set(6, {15, 3});
    EXPECT_EQ(d.grid[1], 3);
    set(7, {0, 3});
    EXPECT_EQ(d.legend[1], 3);
    set(8, {1});
    EXPECT_EQ(d.legendHidden, 1);
    set(9, {1, 20});
    EXPECT_EQ(d.histogram[1], 20);
    set(14, {1, 0, 500, 700});
    EXPECT_EQ(d.printPaper, 1);
    EXPECT_EQ(d.printOrientation, 0);
    EXPECT_EQ(d.printHeight, 700);
    set(15, {255});
    set(16, {65280});
    EXPECT_EQ(d.paletteStart, 255);
    EXPECT_EQ(d.paletteEnd, 65280);
    set(17, {1, 2});
    EXPECT_EQ(d.style3d, 2);
    set(18, {0x123456});
    EXPECT_EQ(d.paperColour, 0x123456);
    set(19, {5, 0x111111, 1});
    EXPECT_EQ(d.colours2[1][5], 0x111111);
    set(20, {6, 2, 12, 40, 300});
    EXPECT_EQ(d.lineModes[1][6].style, 2);
    EXPECT_EQ(d.lineModes[1][6].dash2, 255);
    set(21, {0});
    EXPECT_EQ(d.axisZeros, 0);
    set(22, {5, 4});
    EXPECT_EQ(d.axisFormat[1], 4);
    EXPECT_EQ(d.axisFormat[2], 1);
    set(23, {0});
    EXPECT_EQ(d.legendResize, 0);
    set(24, {250});
    EXPECT_EQ(d.legendFontSize, 250);
    // Out of range and missing arguments change nothing.
    set(10, {16, 0xFFFFFF});
    set(11, {-1, 3, 3});
    set(12, {});
    set(1, {});
    EXPECT_EQ(d.margin, 640);
    // Reset group 3 is the palette only; 2 keeps colours and line types.
    set(3, {2, 500});
    set(0, {3});
    EXPECT_EQ(d.fontSize, 500);
    EXPECT_NE(d.paletteStart, 255);
    set(0, {2});
    EXPECT_EQ(d.fontSize, 330);
    EXPECT_EQ(d.lineModes[1][6].style, 2);
    EXPECT_EQ(d.colours2[1][5], 0x111111);
    set(0, {1});
    EXPECT_EQ(d.lineModes[1][6].style, 1);
}

}  // namespace
}  // namespace zu::draw::test
