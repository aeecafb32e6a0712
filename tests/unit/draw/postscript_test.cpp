// The PostScript writer: header and bounding box, the two forms, the
// records of the drawing and PostScript strings.
#include <cstdio>
#include <string>

#include "draw/sheet.h"
#include "draw_fixture.h"

namespace zu::draw::test {
namespace {

class PostScript : public DrawFiles {
protected:
    std::string Write(const Sheet& sheet, int eps) {
        EXPECT_EQ(GDIsaveAsPostScriptFile(Path("out.ps").c_str(), sheet, eps), 1);
        return ReadText("out.ps");
    }
    // The text between the graph markers.
    static std::string Graph(const std::string& ps) {
        const auto start = ps.find("%%Graph start\n"), end = ps.find("%%Graph end\n");
        if (start == std::string::npos || end == std::string::npos) return "?";
        return ps.substr(start + 14, end - start - 14);
    }
};

TEST_F(PostScript, HeaderAndForms) {
    ScopedSheet sheet;
    const std::string eps = Write(*sheet, 1);
    EXPECT_EQ(eps.rfind("%!PS-Adobe-2.0 EPSF-2.0\n%%BoundingBox: 0 0 432 288\n%%Creator: Zu", 0), 0u);
    EXPECT_NE(eps.find("%%Pages: 0\n%%EndComments\n\n%functions\n/X    0 def\n"), std::string::npos);
    EXPECT_NE(eps.find("\nEpsPage\n%A4  /Landscape 1 def  FullPage\n\n%%Graph start\n"), std::string::npos);
    EXPECT_EQ(eps.substr(eps.size() - 36), "%%Graph end\n\nrestore\nshowpage\n%%EOF\n");
    const std::string page = Write(*sheet, 0);
    EXPECT_NE(page.find("\n%EpsPage\nA4  /Landscape 1 def  FullPage\n"), std::string::npos);
    // A taller sheet makes a taller box: 432 x 10000 / 12000 = 360.
    (*sheet).paperWidth = 12000;
    EXPECT_NE(Write(*sheet, 1).find("%%BoundingBox: 0 0 432 360\n"), std::string::npos);
}

TEST_F(PostScript, ProcedureAndTablesVerbatim) {
    ScopedSheet sheet;
    const std::string ps = Write(*sheet, 1);
    for (const char* line :
         {"/Lto      { gsave dup 3 -1 roll dup 4 -1 roll newpath X Y moveto lineto stroke exch Mto grestore } def\n",
          "/SymCirc  { 1 H W div scale newpath X W 2 div add Y H 2 div add W H div mul W 2 div 0 360 arc closepath } "
          "bind def\n",
          "/Letter   { /ptX 612 def /ptY 792 def } def\n", "/Font     { findfont exch scalefont setfont } def\n",
          "/EpsPage  { 0.0288 0.0288 scale } def\n",
          "\n%fonts\n/F0 /Times-Roman ISOLatin1\n/F1 /Symbol findfont definefont pop\n",
          "%init\nsave\n1 setlinejoin\n280 /F0 Font\n10 setlinewidth\n/Ltp Linetype1 def\n/Lwd Linewidth1 def\n\n",
          "BWG  0 1.00 put  Gray  0 1.00 put  RGB  0 [1.00 1.00 1.00] put\n",
          "BWG  2 0.00 put  Gray  2 0.30 put  RGB  2 [1.00 0.00 0.00] put\n", "/ColorModel 1 def\n",
          // Black and white: the line types of mode 1.
          "/Linetype0 [ ] def  /Linewidth0 10 def\n", "/Linetype2 [ ] def  /Linewidth2 14 def\n",
          "/Linetype3 [35 35] def  /Linewidth3 24 def\n", "/Linetype7 [35 35] def  /Linewidth7 30 def\n",
          "/Linetype8 [160 80] def  /Linewidth8 10 def\n"})
        EXPECT_NE(ps.find(line), std::string::npos) << line;
}

TEST_F(PostScript, ColourModelsAndSolidTypeThree) {
    ScopedSheet sheet;
    SetDrawOptions(13, std::vector<double>{0});
    std::string ps = Write(*sheet, 1);
    EXPECT_NE(ps.find("/ColorModel 0 def\n"), std::string::npos);
    EXPECT_NE(ps.find("ColorModel 0 eq { Cl 0 eq { 1 setgray } { 0 setgray } ifelse } if"), std::string::npos);
    // A solid type 3 in model 1 is dashed when type 2 is solid too.
    SetDrawOptions(13, std::vector<double>{1});
    SetDrawOptions(20, std::vector<double>{3, 0, 24, 50, 20});
    ps = Write(*sheet, 1);
    EXPECT_NE(ps.find("/Linetype3 [50 20] def  /Linewidth3 24 def\n"), std::string::npos);
    SetDrawOptions(13, std::vector<double>{7});  // above 3: colour
    EXPECT_NE(Write(*sheet, 1).find("/ColorModel 3 def\n"), std::string::npos);
}

TEST_F(PostScript, DrawingRecords) {
    ScopedSheet sheet;
    GDIpmoveTo(10, 20);
    GDIpmoveTo(30, 40);
    GDIplineTo(50, 60);
    GDIprmoveTo(5, 5);
    GDIprlineTo(1, 2);
    GDIpboxTo(100, 100);
    GDIlineType(3);
    GDIlineWidth(7);
    GDIcolor(2);
    GDItextDirection(90);
    GDItextFont(2, 300);
    GDItextout("f(x)\\ caf\xe9");
    GDItextTo("a");
    GDIsymbolChar(0x61, 200);
    GDItextTable(1);
    GDIpsymbol(4, 90, 80);
    GDIpsymbol(5, 90, 80);
    GDIcolorFill(0x0000FF);
    GDIsetPathFill(1);
    GDIbeginPath();
    GDIpmoveTo(1, 1);
    GDIplineTo(2, 2);
    GDIendPath();
    GDIbeginPath();
    GDIendPath();
    EXPECT_EQ(Graph(Write(*sheet, 1)),
              "30 40 Mto\n50 60 Lto\n5 5 Rt\n1 2 Rlt\n100 100 Boxto\n"
              "/Ltp { Linetype3 } def /Lwd { Linewidth3 } def Slt\n7 setlinewidth\n2 SetColor\n/Rot 90 def\n"
              "300 /F2 Font\n(f\\(x\\)\\\\ caf\\351) Text\n(a)T\n200 /F1 Font(a)T 300 /F2 Font\ntb1\n"
              "90 80 Circle\nBgnPath\n1 1 mt\n2 2 lt\n 1 0 0 Fill\nBgnPath\nEndPath\n");
}

TEST_F(PostScript, UnwritableFileWritesNothing) {
    ScopedSheet sheet;
    EXPECT_EQ(GDIsaveAsPostScriptFile(Path("missing/out.eps").c_str(), *sheet, 1), 0);
}

}  // namespace
}  // namespace zu::draw::test
