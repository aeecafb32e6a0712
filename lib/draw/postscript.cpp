// Writes a sheet as PostScript: the prolog with its procedure set, fonts,
// line types and colours, then one line per display record.  The prolog
// texts are fixed; viewers and printers of our users rely on them.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "console/atomic_file.h"
#include "draw/sheet.h"
#include "zu.h"

namespace zu::draw {
namespace {

constexpr const char* kProcedures =
    "%functions\n"
    "/X    0 def\n"
    "/Y    0 def\n"
    "/Rot  0 def\n"
    "/tabX 0 def\n"
    "/tabW 0 def\n"
    "/colW 0 def\n"
    "/Slt      { Ltp 0 setdash Lwd setlinewidth } def\n"
    "/Solid    { [ ] 0 setdash Lwd setlinewidth } def\n"
    "/Mto      { /Y exch def /X exch def X Y moveto} def\n"
    "/Lto      { gsave dup 3 -1 roll dup 4 -1 roll newpath X Y moveto lineto stroke exch Mto grestore } def\n"
    "/mt       { moveto } def\n"
    "/lt       { lineto } def\n"
    "/Rt       { rmoveto currentpoint Mto} def\n"
    "/Rlt      { 2 copy currentpoint gsave newpath moveto rlineto stroke grestore Rt } def\n"
    "/BgnPath  { gsave newpath } def\n"
    "/EndPath  { stroke grestore} def\n"
    "/Width    { /H exch def /W exch def } def\n"
    "/SymBox   { newpath X Y moveto X W add Y lineto X W add Y H add lineto X Y H add lineto X Y lineto closepath } "
    "bind def\n"
    "/SymTri   { newpath X Y moveto X W 2 div add Y H add lineto X W add Y lineto X Y lineto closepath } bind def\n"
    "/SymCross { newpath X Y moveto X W add Y H add lineto X W add Y moveto X Y H add lineto closepath } bind def\n"
    "/SymPlus  { newpath X Y H 2 div add moveto X W add Y H 2 div add lineto X W 2 div add Y moveto X W 2 div add Y H "
    "add lineto closepath } bind def\n"
    "/SymDiam  { newpath X Y H 2 div add moveto X W 2 div add Y H add lineto X W add Y H 2 div add lineto  X W 2 div "
    "add Y lineto X Y H 2 div add lineto closepath } bind def\n"
    "/SymCirc  { 1 H W div scale newpath X W 2 div add Y H 2 div add W H div mul W 2 div 0 360 arc closepath } bind "
    "def\n"
    "/SymDash  { newpath X Y H 2 div add moveto X W add Y H 2 div add lineto closepath } bind def\n"
    "/FillStr  { closepath gsave FillColor fill grestore stroke grestore } def\n"
    "/Fill     { closepath FillColor fill grestore } def\n"
    "/FillBox  { gsave Width SymBox fill grestore } def\n"
    "/Box      { gsave Width SymBox Solid stroke grestore } def\n"
    "/Boxto    { currentpoint Mto Y sub exch X sub exch Box} def\n"
    "/Plus     { gsave Width SymPlus Solid stroke grestore } def\n"
    "/FillCir  { gsave Width SymCirc fill stroke grestore } def\n"
    "/Circle   { gsave Width SymCirc Solid stroke grestore } def\n"
    "/Dash     { gsave Width SymDash Solid stroke grestore } def\n"
    "/Cross    { gsave Width SymCross Solid stroke grestore } def\n"
    "/FillDiam { gsave Width SymDiam fill stroke grestore } def\n"
    "/Diam     { gsave Width SymDiam Solid stroke grestore } def\n"
    "/FillTri  { gsave Width SymTri  fill stroke grestore } def\n"
    "/Tri      { gsave Width SymTri  Solid stroke grestore } def\n"
    "/Text     { gsave X Y moveto\n"
    "            Rot 360 eq {dup stringwidth pop neg 0 rmoveto}{Rot rotate} ifelse\n"
    "            show grestore\n"
    "          } def\n"
    "/T        { gsave\n"
    "            Rot 360 eq {dup stringwidth pop neg 0 rmoveto}{Rot rotate} ifelse\n"
    "            show Rot neg rotate currentpoint Mto grestore X Y moveto} def\n"
    "/tb0      { /tabX currentpoint pop def /tabW 0 def} def\n"
    "/tb1      { tabW currentpoint pop tabX sub gt {tabW}{currentpoint pop tabX sub} ifelse /tabW exch def } def\n"
    "/tb2      { /colW tabW def } def\n"
    "/tb3      { colW 0 rmoveto } def\n"
    "/A4       { /ptX 595.3 def /ptY 841.9 def } def\n"
    "/Letter   { /ptX 612 def /ptY 792 def } def\n";

constexpr const char* kFontProcedures =
    "/ISOLatin1{ findfont\n"
    "            dup length dict begin\n"
    "            {1 index /FID ne {def} {pop pop} ifelse} forall\n"
    "            /Encoding ISOLatin1Encoding def\n"
    "            currentdict end\n"
    "            definefont pop } def\n"
    "/Font     { findfont exch scalefont setfont } def\n";

// Scales the sheet onto the chosen paper and centres it; the sheet keeps
// a margin of 1000 units on either side.  Filled with the sheet's ratio of
// width to height, its width plus the margins, its width and its height.
constexpr const char* kPageProcedures =
    "/FullPage { Landscape 1 eq { ptX ptY /ptX exch def /ptY exch def } if\n"
    "            Landscape 1 eq { ptY 0 translate 90 rotate } if\n"
    "            %% the sheet is %g times as wide as high\n"
    "            /Sc ptX ptY div %g gt { ptY %g mul } { ptX } ifelse %d div def\n"
    "            ptX %d Sc mul sub 2 div ptY %d Sc mul sub 2 div translate\n"
    "            Sc Sc scale } def\n"
    "/EpsPage  { 0.0288 0.0288 scale } def\n";

constexpr const char* kFonts =
    "\n%fonts\n/F0 /Times-Roman ISOLatin1\n/F1 /Symbol findfont definefont pop\n"
    "/F2 /Times-Bold ISOLatin1\n/F3 /Times-Italic ISOLatin1\n/F4 /Times-BoldItalic ISOLatin1\n"
    "/F5 /Helvetica ISOLatin1\n/F6 /Courier ISOLatin1\n/F7 /Times-Roman ISOLatin1\n"
    "/F8 /Times-Roman ISOLatin1\n/F9 /Times-Roman ISOLatin1\n\n";

constexpr const char* kColourArrays =
    "%colors\n/BWG  16 array def\n/Gray 16 array def\n/RGB  16 array def\n"
    "0 1 15 { dup BWG exch 0 put dup Gray exch 0 put RGB exch [0 0 0] put } for\n"
    "% colour 0 is white (the background) in every model\n"
    "% colour 1 is black (the foreground) in every model\n";

constexpr const char* kColourProcedures =
    "/SetColor { 16 mod /Cl exch def\n"
    "            ColorModel 0 eq { Cl 0 eq { 1 setgray } { 0 setgray } ifelse } if\n"
    "            ColorModel 1 eq { BWG Cl get setgray } if\n"
    "            ColorModel 2 eq { Gray Cl get setgray } if\n"
    "            ColorModel 3 eq { RGB Cl get aload pop setrgbcolor } if\n"
    "          } def\n"
    "/FillColor { ColorModel 3 eq { setrgbcolor } { add add 3 div setgray } ifelse } def\n\n";

constexpr const char* kPageChoice =
    "%.PS uses full page printing, .EPS the encapsulated form; either way one\n"
    "%of the next two lines is a comment.  Change the paper in the second\n"
    "%one: A4, Letter or User (the size given above), portrait with\n"
    "%/Landscape 0 def\n";

constexpr const char* kSymbolProcedures[12] = {"FillBox", "Box", "Plus",    "Dash", "Circle",   nullptr,
                                               "FillCir", "Tri", "FillTri", "Diam", "FillDiam", "Cross"};

double Grey(std::int32_t packed) {
    const int r = packed & 0xFF, g = (packed >> 8) & 0xFF, b = (packed >> 16) & 0xFF;
    return (0.3 * r + 0.59 * g + 0.11 * b) / 255.0;
}

void WriteLineTypes(std::FILE* f, const Defaults& d) {
    std::fputs("%lines\n", f);
    // Black, white and grey print with the line types of colour mode 1,
    // which tell the lines apart by their dashes.
    const bool blackWhite = d.printColourModel == 1 || d.displayMode == 1;
    const LineMode* modes = d.lineModes[blackWhite ? 1 : d.displayMode];
    for (int t = 0; t < kColours; ++t) {
        const LineMode& lm = modes[t];
        int dash1 = lm.dash1, dash2 = lm.dash2;
        switch (lm.style) {
        case 0: dash1 = dash2 = 0; break;
        case 1: dash1 = dash2 = 35; break;
        case 2: dash1 = dash2 = 70; break;
        case 3:
            dash1 = 160;
            dash2 = 80;
            break;
        default: break;
        }
        // In black and white a solid type 3 would look like a solid type 2.
        if (t == 3 && lm.style == 0 && blackWhite && modes[2].style == 0) {
            dash1 = 50;
            dash2 = 20;
        }
        if (dash1 == 0 && dash2 == 0)
            std::fprintf(f, "/Linetype%d [ ] def", t);
        else
            std::fprintf(f, "/Linetype%d [%d %d] def", t, dash1, dash2);
        std::fprintf(f, "  /Linewidth%d %d def\n", t, lm.width);
    }
}

void WriteColours(std::FILE* f, const Defaults& d) {
    std::fputs(kColourArrays, f);
    for (int i = 0; i < kColours; ++i) {
        const std::int32_t c = d.colours[0][i];
        std::fprintf(f, "BWG %2d %.2f put  Gray %2d %.2f put  RGB %2d [%.2f %.2f %.2f] put\n", i, Grey(d.colours[1][i]),
                     i, Grey(c), i, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0);
    }
    const int model = d.displayMode == 1 ? 1 : d.printColourModel;
    std::fprintf(f,
                 "\n%%choose a ColorModel: 0=black/white; 1=black/white/gray; 2=gray; 3=color\n"
                 "/ColorModel %d def\n\n",
                 model);
    std::fputs(kColourProcedures, f);
}

void WriteProlog(std::FILE* f, const Sheet& sheet, int eps) {
    const Defaults& d = GDIdefaults();
    const int height = static_cast<int>(std::lround(432.0 * sheet.paperHeight / sheet.paperWidth));
    std::fprintf(f, "%%!PS-Adobe-2.0 EPSF-2.0\n%%%%BoundingBox: 0 0 %d %d\n", 432, height);
    std::fprintf(f, "%%%%Creator: Zu 3.40, 2025-2026\n");
    std::fprintf(f, "%%%%Pages: 0\n%%%%EndComments\n\n");
    std::fputs(kProcedures, f);
    std::fputs(kFontProcedures, f);
    const double ratio = static_cast<double>(sheet.paperWidth) / sheet.paperHeight;
    std::fprintf(f, kPageProcedures, ratio, ratio, ratio, sheet.paperWidth + 2000, sheet.paperWidth, sheet.paperHeight);
    WriteLineTypes(f, d);
    std::fputs(kFonts, f);
    WriteColours(f, d);
    std::fputs("%init\nsave\n1 setlinejoin\n280 /F0 Font\n10 setlinewidth\n", f);
    std::fputs("/Ltp Linetype1 def\n/Lwd Linewidth1 def\n\n", f);
    std::fprintf(f, "/User { /ptX %d def /ptY %d def} def\n", d.printWidth, d.printHeight);
    std::fputs(kPageChoice, f);
    static constexpr const char* kPapers[3] = {"A4", "Letter", "User"};
    const char* paper = kPapers[d.printPaper >= 0 && d.printPaper <= 2 ? d.printPaper : 0];
    std::fprintf(f, "%sEpsPage\n", eps ? "" : "%");
    std::fprintf(f, "%s%s  /Landscape %d def  FullPage\n\n", eps ? "%" : "", paper, d.printOrientation);
}

// A text as a PostScript string: parentheses and backslashes escaped,
// the upper half of Latin-1 in octal.
void WriteString(std::FILE* f, std::string_view text) {
    std::fputc('(', f);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '(' || c == ')' || c == '\\') {
            std::fputc('\\', f);
            std::fputc(c, f);
        } else if (c >= 128) {
            std::fprintf(f, "\\%03o", c);
        } else {
            std::fputc(c, f);
        }
    }
    std::fputc(')', f);
}

// Replays the records; remembers the font and fill colour it needs.
class RecordWriter {
public:
    explicit RecordWriter(std::FILE* f) : f_(f) {}

    void Write(const DisplayRecord& r) {
        const int a = r.v.a, b = r.v.b;
        switch (r.code) {
        case kRecMove: std::fprintf(f_, "%d %d %s\n", a, b, inPath_ ? "mt" : "Mto"); break;
        case kRecRelMove: std::fprintf(f_, "%d %d Rt\n", a, b); break;
        case kRecLine: std::fprintf(f_, "%d %d %s\n", a, b, inPath_ ? "lt" : "Lto"); break;
        case kRecRelLine: std::fprintf(f_, "%d %d Rlt\n", a, b); break;
        case kRecBoxTo: std::fprintf(f_, "%d %d Boxto\n", a, b); break;
        case kRecLineType: std::fprintf(f_, "/Ltp { Linetype%d } def /Lwd { Linewidth%d } def Slt\n", a, a); break;
        case kRecLineWidth: std::fprintf(f_, "%d setlinewidth\n", a); break;
        case kRecColor: std::fprintf(f_, "%d SetColor\n", a); break;
        case kRecFillColor: fill_ = r.packed; break;
        case kRecTextDirection: std::fprintf(f_, "/Rot %d def\n", a); break;
        case kRecFont:
            font_ = a;
            size_ = b;
            std::fprintf(f_, "%d /F%d Font\n", b, a);
            break;
        case kRecText:
            WriteString(f_, r.text != nullptr ? r.text : "");
            std::fputs(" Text\n", f_);
            break;
        case kRecTextTo:
            WriteString(f_, r.text != nullptr ? r.text : "");
            std::fputs("T\n", f_);
            break;
        case kRecSymbolChar: {
            const char ch = static_cast<char>(a);
            std::fprintf(f_, "%d /F1 Font", b);
            WriteString(f_, std::string_view(&ch, 1));
            std::fprintf(f_, "T %d /F%d Font\n", size_, font_);
            break;
        }
        case kRecSymbolCharSame: {
            const char ch = static_cast<char>(a);
            WriteString(f_, std::string_view(&ch, 1));
            std::fputs(" T\n", f_);
            break;
        }
        case kRecTab: std::fprintf(f_, "tb%d\n", a); break;
        case kRecBeginPath:
            inPath_ = true;
            std::fputs("BgnPath\n", f_);
            break;
        case kRecEndPath:
            inPath_ = false;
            if (a == 0 || fill_ == -1) {
                std::fputs("EndPath\n", f_);
            } else {
                std::fprintf(f_, " %.3g %.3g %.3g ", (fill_ & 0xFF) / 255.0, ((fill_ >> 8) & 0xFF) / 255.0,
                             ((fill_ >> 16) & 0xFF) / 255.0);
                std::fputs(a == 1 ? "Fill\n" : "FillStr\n", f_);
            }
            break;
        default:
            if (r.code >= kRecSymbolFirst && r.code <= kRecSymbolLast) {
                const char* name = kSymbolProcedures[r.code - kRecSymbolFirst];
                if (name != nullptr) std::fprintf(f_, "%d %d %s\n", a, b, name);
            }
            break;
        }
    }

private:
    std::FILE* f_;
    bool inPath_ = false;
    int font_ = 0, size_ = 280;
    std::int32_t fill_ = -1;
};

}  // namespace

int GDIsaveAsPostScriptFile(const char* fileName, const Sheet& sheet, int eps) {
    if (fileName == nullptr) return 0;
    console::AtomicFile file(console::PortableFileName(fileName));
    std::FILE* f = file.Stream();
    if (f == nullptr) return 0;
    WriteProlog(f, sheet, eps);
    std::fputs("%%Graph start\n", f);
    RecordWriter writer(f);
    ForEachRecord(sheet, [&](const DisplayRecord& r) { writer.Write(r); });
    std::fputs("%%Graph end\n", f);
    std::fputs("\nrestore\nshowpage\n", f);
    std::fputs("%%EOF\n", f);
    return file.Commit() ? 1 : 0;
}

}  // namespace zu::draw
