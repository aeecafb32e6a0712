// The graphics file: what is written for each object kind, round trips
// that are byte for byte, missing values, and damaged files.
#include <cmath>
#include <string>
#include <vector>

#include "draw/drawing.h"
#include "draw_fixture.h"

namespace zu::draw::test {
namespace {

class GraphicsFile : public DrawFiles {
protected:
    void SetUp() override {
        DrawFiles::SetUp();
        d_ = DrawingOpen();
    }
    void TearDown() override {
        DrawingClose(d_);
        DrawFiles::TearDown();
    }
    std::string Written(Drawing* d, const char* name = "out.zug") {
        EXPECT_EQ(DrawingWrite(Path(name).c_str(), d), 1);
        return ReadText(name);
    }
    // Reads a file back and writes it again: the text of the second file.
    std::string RoundTrip(const std::string& text) {
        WriteText("in.zug", text);
        Drawing* read = DrawingRead(nullptr, Path("in.zug").c_str());
        EXPECT_NE(read, nullptr);
        if (read == nullptr) return "";
        const std::string again = Written(read, "again.zug");
        DrawingClose(read);
        return again;
    }
    Drawing* d_ = nullptr;
};

TEST_F(GraphicsFile, VectorsWithMissingValuesAndRanges) {
    const double y[] = {1, NAN, 3.5, -2, 0.1};
    IDrawTimeVector(d_, 0, y, 5, "GDP", 1990, 2, 4, 2, true);
    const std::string text = Written(d_);
    EXPECT_EQ(text,
              "Cordlet 10 0 0\n"
              "xvec(0,2,2)\n{\n"
              " \"GDP\" 5\n < 1 .  3.5 -2\n   0.1 >\n"
              " \"\" 0\n"
              " 1990.25 0.25;\n"
              " freq: 4;\n"
              "}\n");
    // No paper line for the default paper; the stored range gives yr once
    // it differs from the data's.
    SetDrawVecMinMax(d_, 0, -5, 5);
    EXPECT_NE(Written(d_).find(" yr: -5 5;\n"), std::string::npos);
    // Read back: the missing value is missing again.
    Drawing* read = DrawingRead(nullptr, Path("out.zug").c_str());
    ASSERT_NE(read, nullptr);
    const VectorFields& v = FindDrawObject(read, 0)->vec;
    ASSERT_EQ(v.y.size(), 5);
    EXPECT_TRUE(std::isnan(v.y[1]));
    EXPECT_EQ(v.y[4], 0.1);
    EXPECT_EQ(v.freq, 4);
    EXPECT_EQ(v.ymin, -5);
    DrawingClose(read);
}

TEST_F(GraphicsFile, EveryKindRoundTripsExactly) {
    const double y[] = {1.0 / 3, 2e-300, -7, 4, 5, 6, 7, 8};
    const double x[] = {0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4};
    const double z[] = {1, 2, 3, 4, 5, 6};
    IDrawXVector(d_, 0, y, 8, "y \"quoted\"", x, "x", 3, true);
    SetDrawVecZ(d_, -1, y, 8, "band", 3, 0.5, true);
    SetDrawVecScale(d_, -1, 2, 1);
    SetDrawVecIndex(d_, -1, 2, 0.25);
    IDrawMesh(d_, 1, x, 3, y, 2, z, 4, true);
    SetDrawContour(d_, -1, 7, 1);
    IDrawTriangulation(d_, 2, x, y, z, 3, 5, true);
    IDrawAxis(d_, 0, 1, 0, -1, 1, -1, 0.5, 0.1, 4);
    IDrawAxisAuto(d_, 0, 0, false, false, 0);
    IDrawLine(d_, 0, 0, 0, 1, 1, 1, 2, 16);
    IDrawPline(d_, 0, 10, 20, 30, 40, 2);
    IDrawSymbol(d_, 0, 1, 1, 1.2, 1.2, 6, 2);
    IDrawHist(d_, 0, y, 4, -1, 0.5, 6, true);
    AreaSettings(d_, 0, true)->areaSet.hasX = true;
    SetDrawAdjustment(d_, -1, 15, std::vector<double>{20, 30, 0, 0});
    IDrawText(d_, 0, "a; b } c $\\alpha$", 100, 200, 3, 400, 0, 1);
    IDrawWtext3(d_, 0, "w", 1, 2, 3, -1, -1, 1);
    IDrawLegend(d_, 0, 40, 50, true);
    SetDrawingAreas(d_, 2, 2);
    d_->paperWidth = 12000;
    d_->paperColour = 0x102030;
    const std::string first = Written(d_);
    EXPECT_NE(first.find("paper(12000,10000)\n"), std::string::npos);
    EXPECT_NE(first.find("color(1056816,0)\n"), std::string::npos);
    EXPECT_NE(first.find("line(0,2)\n"), std::string::npos);  // colour 16 folded
    EXPECT_NE(first.find(" \"y 'quoted'\" 8\n"), std::string::npos);
    EXPECT_NE(first.find(" 100 200 17$a; b } c $\\alpha$;\n"), std::string::npos);
    EXPECT_NE(first.find(" pset:10 20 30 40 5;\n"), std::string::npos);
    EXPECT_EQ(RoundTrip(first), first);
}

TEST_F(GraphicsFile, EveryTruncationAndDamageLoadsWhatItCan) {
    const double y[] = {1, NAN, 3};
    const double z[] = {1, 2, 3, 4};
    IDrawXVector(d_, 0, y, 3, "y", y, "x", 3, true);
    SetDrawVecZ(d_, -1, y, 3, "z", 4, 1, true);
    IDrawMesh(d_, 1, z, 2, z, 2, z, 4, true);
    IDrawAxis(d_, 0, 1, 0, -1, 1, -1, 0.5, 0.1, 4);
    IDrawText(d_, 0, "text", 1, 2, -1, -1, 1, 1);
    IDrawLegend(d_, 0, 1, 2, false);
    AreaSettings(d_, 0, true);
    IDrawHist(d_, 0, z, 4, 0, 1, 2, true);
    const std::string full = Written(d_);
    // Cut at many places, then with bytes all over the file replaced by
    // characters that the reader treats specially.
    for (std::size_t cut = 0; cut < full.size(); cut += 3) {
        WriteText("cut.zug", full.substr(0, cut));
        DrawingClose(DrawingRead(nullptr, Path("cut.zug").c_str()));
    }
    for (std::size_t at = 0; at < full.size(); at += 7) {
        for (const char c : {'\0', '"', '}', '<', '9', '.'}) {
            std::string damaged = full;
            damaged[at] = c;
            WriteText("damaged.zug", damaged);
            DrawingClose(DrawingRead(nullptr, Path("damaged.zug").c_str()));
        }
    }
    // The whole file still reads back as it was.
    EXPECT_EQ(RoundTrip(full), full);
}

TEST_F(GraphicsFile, EmptyTextsAndEmptyDrawingsAreNotWritten) {
    EXPECT_EQ(DrawingWrite(Path("empty.zug").c_str(), d_), 0);
    IDrawText(d_, 0, "x", 1, 1, -1, -1, 0, 1);
    FindDrawObject(d_, 0)->text.text.clear();
    EXPECT_EQ(Written(d_), "Cordlet 10 0 0\n");
    EXPECT_EQ(DrawingWrite(Path("no/such/folder.zug").c_str(), d_), 0);
}

TEST_F(GraphicsFile, VersionEightIsRefused) {
    WriteText("old.zug", "Cordlet 8 1 1\naxis(0,1)\n{\n x;\n}\n");
    EXPECT_EQ(DrawingRead(nullptr, Path("old.zug").c_str()), nullptr);
    EXPECT_TRUE(Said("This is not a correct Cordlet Graphics file"));
    Messages().clear();
    WriteText("none.zug", "Not a graphics file");
    EXPECT_EQ(DrawingRead(nullptr, Path("none.zug").c_str()), nullptr);
    EXPECT_TRUE(Said("This is not a correct Cordlet Graphics file"));
    EXPECT_EQ(DrawingRead(nullptr, Path("missing.zug").c_str()), nullptr);
}

TEST_F(GraphicsFile, AnAreaGridTooLargeToCountIsIgnored) {
    // Rows times columns overflows an int: the grid is refused, not wrapped.
    Drawing* d = DrawingRead(nullptr, (WriteText("grid.zug", "Cordlet 10 444444444 44444\n"), Path("grid.zug")).c_str());
    if (d != nullptr) {
        EXPECT_EQ(d->areaRows, 0);
        EXPECT_EQ(d->areaColumns, 0);
        DrawingClose(d);
    }
}

TEST_F(GraphicsFile, DamagedFilesLoadWhatTheyCan) {
    // Truncated inside the second block.
    Drawing* d = DrawingRead(
        nullptr,
        (WriteText("cut.zug", "Cordlet 9 0 0\naxis(0,1)\n{\n x;\n}\nxvec(0,2,2)\n{\n \"y\" 3\n < 1 2"), Path("cut.zug"))
            .c_str());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->objectCount(), 1);
    EXPECT_TRUE(Said("Could not read all graphics objects"));
    DrawingClose(d);
    Messages().clear();
    // End of file among the keyed items.
    WriteText("eof.zug", "Cordlet 10 0 0\narea(0,1)\n{\n box;\n");
    d = DrawingRead(nullptr, Path("eof.zug").c_str());
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(Said("unexpected end of file"));
    DrawingClose(d);
    Messages().clear();
    // An unknown axis letter stops the reading; unknown keys are skipped.
    WriteText("axis.zug", "Cordlet 10 0 0\nline(0,1)\n{\n nosuch: 1 2 3;\n wset:0 0 1 1 5;\n}\naxis(0,1)\n{\n q;\n}\n");
    d = DrawingRead(nullptr, Path("axis.zug").c_str());
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(Said("Unknown axis type"));
    EXPECT_EQ(d->objectCount(), 1);
    EXPECT_EQ(FindDrawObject(d, 0)->line.x2, 1);
    DrawingClose(d);
    // Counts larger than the file, areas out of range, negative lengths.
    for (const char* text : {"Cordlet 10 0 0\nxvec(0,2,2)\n{\n \"y\" 2000000000\n < 1 >\n}\n",
                             "Cordlet 10 0 0\nxvec(99,2,2)\n{\n}\nhist(0,1)\n{\n \"\" -4\n}\n",
                             "Cordlet 10 0 0\ntext(0,1)\n{\n 1 2 99999$abc;\n}\n",
                             "Cordlet 10 0 0\nmesh(0,1,1)\n{\n \"\" 100000\n \"\" 100000\n \"\" 1410065408\n < >\n}\n",
                             "Cordlet 10 40 40\n",
                             "Cordlet 10 0 0\nxvec(0,2,2)\n{\n \"y\" 3\n < 1 2 3 >\n \"x\" 2\n < 1 2 >\n 1 1;\n}\n"}) {
        WriteText("bad.zug", text);
        d = DrawingRead(nullptr, Path("bad.zug").c_str());
        ASSERT_NE(d, nullptr) << text;
        EXPECT_LE(d->objectCount(), 1);
        DrawingClose(d);
    }
}

}  // namespace
}  // namespace zu::draw::test
