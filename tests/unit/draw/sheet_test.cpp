// The display list: merged moves, clipping with outcodes, settings that are
// not recorded twice, blocks of 255 records, the area grid and the
// world-to-sheet mapping.
#include <cmath>

#include "draw/sheet.h"
#include "draw_fixture.h"

namespace zu::draw::test {
namespace {

TEST(Sheet, TwoMovesLeaveOne) {
    ScopedSheet sheet;
    GDIpmoveTo(100, 200);
    GDIpmoveTo(300, 400);
    GDIplineTo(500, 600);
    EXPECT_EQ(Records(*sheet), (std::vector<Rec>{{kRecMove, 300, 400}, {kRecLine, 500, 600}}));
}

TEST(Sheet, ClippingAgainstTheClipRectangle) {
    ScopedSheet sheet;
    GDIsetClip(1000, 1000, 2000, 2000);
    // Wholly outside: only a move to the end is left.
    GDIpmoveTo(0, 0);
    GDIplineTo(500, 3000);
    EXPECT_EQ(Records(*sheet), (std::vector<Rec>{{kRecMove, 500, 3000}}));
    GDIclearSheet();
    // Starting outside: a move to the clipped start, then the line.
    GDIpmoveTo(0, 1500);
    GDIplineTo(1500, 1500);
    EXPECT_EQ(Records(*sheet), (std::vector<Rec>{{kRecMove, 1000, 1500}, {kRecLine, 1500, 1500}}));
    GDIclearSheet();
    // Ending outside: the line stops at the edge; the next segment starts
    // from the true end point, so it gets a move to its clipped start.
    GDIpmoveTo(1500, 1500);
    GDIplineTo(1500, 2500);
    GDIplineTo(1800, 1800);
    EXPECT_EQ(Records(*sheet),
              (std::vector<Rec>{
                  {kRecMove, 1500, 1500}, {kRecLine, 1500, 2000}, {kRecMove, 1714, 2000}, {kRecLine, 1800, 1800}}));
    GDIclearSheet();
    // Outside after the first clip as well: still only a move.
    GDIpmoveTo(500, 1500);
    GDIplineTo(1500, 3000);
    EXPECT_EQ(Records(*sheet), (std::vector<Rec>{{kRecMove, 1500, 3000}}));
}

TEST(Sheet, SettingsAreRecordedOnceAndInRange) {
    ScopedSheet sheet;
    GDIcolor(3);
    GDIcolor(3);
    GDIcolor(259);         // modulo 256: 3 again
    GDIlineType(16);       // ignored
    GDIlineWidth(2500);    // ignored
    GDItextFont(17, 300);  // font modulo 16
    GDItextFont(1, 300);
    GDItextDirection(450);  // 90
    GDItextDirection(90);
    GDIprlineTo(0, 0);       // nothing
    GDIpsymbol(12, 10, 10);  // nothing
    GDIpsymbol(11, 10, 10);
    EXPECT_EQ(Records(*sheet),
              (std::vector<Rec>{
                  {kRecColor, 3, 0}, {kRecFont, 1, 300}, {kRecTextDirection, 90, 0}, {kRecSymbolLast, 10, 10}}));
}

TEST(Sheet, BlocksHoldAtMost255Records) {
    ScopedSheet sheet;
    for (int i = 0; i < 600; ++i) GDIplineToNoClip(i, i);
    ASSERT_EQ((*sheet).blocks.size(), 3u);
    EXPECT_EQ((*sheet).blocks[0]->used, 255);
    EXPECT_EQ((*sheet).blocks[1]->used, 255);
    EXPECT_EQ((*sheet).blocks[2]->used, 90);
    GDIclearSheet();
    EXPECT_EQ((*sheet).blocks.size(), 1u);
    EXPECT_TRUE(Records(*sheet).empty());
}

TEST(Sheet, CoordinatesBeyond16BitsAreClamped) {
    ScopedSheet sheet;
    GDIplineToNoClip(100000, -100000);
    EXPECT_EQ(Records(*sheet), (std::vector<Rec>{{kRecLine, 32767, -32767}}));
}

TEST(Sheet, AreaGridAndWorldMapping) {
    ScopedSheet sheet;
    GDIsetAreas(2, 3, 640);
    // Column width (15000 - 640) / 3 - 640 - 160 = 3986, row height 4680.
    const SheetArea& first = GDIgetArea(0);
    EXPECT_EQ(first.x0, 800);
    EXPECT_EQ(first.x1, 800 + 3986);
    EXPECT_EQ(first.y1, 9360);
    EXPECT_EQ(first.y0, 9360 - 4040);
    const SheetArea& last = GDIgetArea(5);
    EXPECT_EQ(last.x0, 800 + 2 * (3986 + 800));
    EXPECT_EQ(last.y1, 9360 - 4680);
    GDIsetAreas(0, 3, 640);  // nothing happens
    EXPECT_EQ(GDIgetArea(0).x1, 800 + 3986);

    GDIsetAreaWorld(4, 10, 20, -1, 1);
    GDIsetArea(4);
    int px = 0, py = 0;
    GDIwToP(15, 0, &px, &py);
    const SheetArea& a = GDIgetArea(4);
    EXPECT_EQ(px, a.x0 + (a.x1 - a.x0) / 2);
    EXPECT_EQ(py, a.y0 + (a.y1 - a.y0) / 2);
    double x = 0, y = 0;
    GDIpToW(a.x1, a.y1, &x, &y);
    EXPECT_DOUBLE_EQ(x, 20);
    EXPECT_DOUBLE_EQ(y, 1);
    // Infinite and missing world points are recorded in range.
    GDIclearSheet();
    GDImoveTo(INFINITY, NAN);
    const Rec move = Records(*sheet).at(0);
    EXPECT_EQ(move.a, 32767);
    EXPECT_EQ(move.b, a.y0);
}

}  // namespace
}  // namespace zu::draw::test
