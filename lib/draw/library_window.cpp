// The drawing functions that manage the drawing as a whole: saving it in
// the form its file name asks for, showing it, discarding it, the
// defaults and the adjustments; and the registration of the drawing
// library.
/// @family Graphics

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "draw/library.h"
#include "draw/library_args.h"

extern char** environ;

namespace zu::draw::library {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The extension after the last dot of the file part of a name ("" without).
std::string Extension(const std::string& name) {
    const std::size_t slash = name.find_last_of("/\\");
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return name.substr(dot);
}

// Renders the drawing and writes it as the name's extension says.
int SaveAs(Drawing* d, const std::string& name) {
    DrawDrawing(d);
    const std::string ext = Extension(name);
    const std::string lower = Lower(ext);
    if (ext.empty() || lower == ".eps") return GDIsaveAsPostScriptFile(name.c_str(), *d->sheet, 1);
    if (lower == ".ps") return GDIsaveAsPostScriptFile(name.c_str(), *d->sheet, 0);
    if (lower == ".svg") return GDIsaveWithCairo(name.c_str(), *d->sheet, CairoForm::kSvg);
    if (lower == ".pdf") return GDIsaveWithCairo(name.c_str(), *d->sheet, CairoForm::kPdf);
    if (lower == ".png") return GDIsaveWithCairo(name.c_str(), *d->sheet, CairoForm::kPng);
    return DrawingWrite(name.c_str(), d);
}

// The name of the picture ShowDrawWindow writes: the window name with
// everything but letters, digits, '-' and '_' made '_', "zugraph"
// without one; a number is added from the second picture on.
std::string ShowFileName() {
    static int shown = 0;
    std::string base;
    for (const char c : WindowName()) {
        const auto u = static_cast<unsigned char>(c);
        base += (std::isalnum(u) || c == '-' || c == '_') ? c : '_';
    }
    if (base.empty()) base = "zugraph";
    if (base.size() > 100) base.resize(100);
    ++shown;
    return shown == 1 ? base + ".png" : base + std::to_string(shown) + ".png";
}

// Starts the viewer named by ZU_VIEWER on the file, without a shell and
// without waiting for it.  Viewers that have ended are collected at the
// next start, so that they do not linger as zombies.
void StartViewer(const std::string& file) {
    static std::vector<pid_t> running;
    std::erase_if(running, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
    const char* viewer = std::getenv("ZU_VIEWER");
    if (viewer == nullptr || *viewer == '\0') return;
    std::string program = viewer, path = file;
    char* argv[] = {program.data(), path.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, viewer, nullptr, nullptr, argv, environ) != 0) {
        const std::string text = std::string("ShowDrawWindow: cannot start ") + viewer;
        PopWarningMessage(text.c_str());
        return;
    }
    running.push_back(pid);
}

std::vector<double> Numbers(ZuVALUE* pv, int first, int cArg) {
    std::vector<double> numbers;
    for (int k = first; k < cArg; ++k) {
        double v = 0;
        if (!DoubleOr(pv, cArg, k, 0, &v)) return {};
        numbers.push_back(v);
    }
    return numbers;
}

}  // namespace

/// SetTextWindow(sTitle)
/// Names the window that text output goes to. Text output goes to the console, which has no title: the name
/// must be a string and is otherwise not used.
/// Example:
///     SetTextWindow("Results");
///     println("printed as before");
ZU_DRAWLIB_ROUTINE(FnSetTextWindow) {
    std::string title;
    (void)rtn, (void)cArg;
    StringArg(pv, 0, &title);
}

/// SaveDrawWindow(sFile)
/// Renders the current drawing and saves it in the form that the extension of sFile asks for: none or ".eps"
/// Encapsulated PostScript (432 by 288 points), ".ps" full-page PostScript (A4 landscape unless
/// `SetDraw(SET_PRINTPAGE, ...)` says otherwise), ".svg", ".pdf" and ".png" those formats, and any other
/// extension the graphics file, a text form of the drawing that lists its objects (the extensions are
/// compared in any case). A drawing just shown by `ShowDrawWindow` can still be saved.
/// Returns 1, or 0 with the warning "SaveDrawWindow: nothing drawn to save in ..." or "SaveDrawWindow: cannot
/// write ...".
/// Example:
///     Draw(0, <1,3,2,4>);
///     println(SaveDrawWindow("save.eps"), " ", SaveDrawWindow("save.svg"));
///     decl e = fopen("save.eps"); println(fsize(e) > 1000); fclose(e);
///     fremove("save.eps"); fremove("save.svg");
///     SaveDrawWindow("save.gwg");
///     decl f = fopen("save.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("save.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnSaveDrawWindow) {
    (void)cArg;
    std::string name;
    if (!StringArg(pv, 0, &name)) return;
    // A drawing just shown is still the one saved.
    Drawing* d = Existing() != nullptr ? Existing() : Current();
    if (d == nullptr) return;
    GDIsetSheet(d->sheet);
    const int ok = SaveAs(d, name);
    if (!ok) {
        const std::string text = d->objects.empty() ? "SaveDrawWindow: nothing drawn to save in " + name
                                                    : "SaveDrawWindow: cannot write " + name;
        PopWarningMessage(text.c_str());
    }
    ZuValSetInt(rtn, ok);
}

/// SetDrawWindow(sName)
/// Names the drawing window: `ShowDrawWindow` then writes its picture under this name, with everything but
/// letters, digits, '-' and '_' replaced by '_' and ".png" added.
/// Example:
///     SetDrawWindow("my plot");
///     Draw(0, <1,3,2,4>);
///     ShowDrawWindow();
///     fremove("my_plot.png");
ZU_DRAWLIB_ROUTINE(FnSetDrawWindow) {
    (void)rtn, (void)cArg;
    std::string name;
    if (StringArg(pv, 0, &name)) SetWindowName(name);
}

/// ShowDrawWindow()
/// Writes the current drawing as a PNG picture in the working folder (zugraph.png, or the name given to
/// `SetDrawWindow`; a number is added from the second picture on) and prints the line "Graph saved in ..."
/// naming it; when the environment variable ZU_VIEWER names a program, that program is started on the picture
/// without waiting for it. The next drawing function starts a new drawing. With nothing drawn it prints
/// "ShowDrawWindow: nothing to show".
/// Example:
///     ShowDrawWindow();
///     Draw(0, <1,3,2,4>);
///     ShowDrawWindow();
///     fremove("zugraph.png");
ZU_DRAWLIB_ROUTINE(FnShowDrawWindow) {
    (void)pv, (void)cArg, (void)rtn;
    Drawing* d = Existing();
    if (d == nullptr || d->objects.empty()) {
        ZuPuts("ShowDrawWindow: nothing to show\n");
        return;
    }
    const std::string file = ShowFileName();
    if (!SaveAs(d, file)) {
        const std::string text = "ShowDrawWindow: cannot write " + file;
        PopWarningMessage(text.c_str());
        return;
    }
    ZuPrintf("Graph saved in %s\n", file.c_str());
    StartViewer(file);
    MarkShown();
}

/// CloseDrawWindow()
/// Discards the current drawing; the next drawing function starts a new one.
/// Example:
///     Draw(0, <1,3,2,4>);
///     CloseDrawWindow();
///     DrawTitle(0, "Only the title is left");
///     SaveDrawWindow("close.gwg");
///     decl f = fopen("close.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("close.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnCloseDrawWindow) {
    (void)rtn, (void)pv, (void)cArg;
    CloseCurrent();
}

/// SetDraw(iOption, ...)
/// Sets the defaults that later drawing objects and the saved files take; the numbers after iOption depend on
/// it (the names are constants in zustd.h): SET_RESET (0) restores the defaults, SET_MARGIN (1) the margin
/// around the areas, SET_BOX (2) the box mode of new drawings, SET_FONT (3) the font (0 to 10) and its size,
/// SET_AXIS (4) the axis font size, label division and tick length, SET_GRID (6) the colour and line type of
/// grids, SET_LEGEND (7) two settings of new legends, SET_LEGENDHIDE (8) hides legends, SET_HISTOGRAM (9) the
/// two colours of histograms, SET_COLOR (10) colour i as the packed value red + 256 green + 65536 blue,
/// SET_SYMBOL (11) the symbol type and size of index i, SET_LINE (12) the line style, width and dashes of
/// index i, SET_PRINT (13) the PostScript colour model (0 to 3; 3 prints in colour), SET_PRINTPAGE (14) the
/// PostScript paper (0 A4, 1 Letter, 2 the size given), orientation and size in points, SET_PALETTE_START and
/// SET_PALETTE_END (15, 16) the colours of surfaces, SET_PAPERCOLOR (18) the paper colour. Other codes are
/// ignored, and so is a code other than SET_RESET without numbers.
/// Example:
///     SetDraw(SET_FONT, 1, 400);
///     Draw(0, <1,3,2,4>);
///     DrawTitle(0, "In font 1");
///     SaveDrawWindow("setdraw.gwg");
///     decl f = fopen("setdraw.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("setdraw.gwg");
///     print(s);
///     SetDraw(SET_RESET);
ZU_DRAWLIB_ROUTINE(FnSetDraw) {
    (void)rtn;
    int option = 0;
    if (!IntOr(pv, cArg, 0, 0, &option)) return;
    const std::vector<double> numbers = Numbers(pv, 1, cArg);
    SetDrawOptions(option, numbers);
}

/// DrawAdjust(iType, ...)
/// Adjusts the object drawn last, or its area; the numbers after iType depend on it (constants in zustd.h):
/// ADJ_COLOR (0) its colour and line type, ADJ_SYMBOL (1) the symbol type and size, ADJ_INDEX (2) index
/// lines, ADJ_SCALE (3) the scale factor and shift, ADJ_MINMAX (4) the range of its values, ADJ_AXISSHOW (5)
/// shows or hides an axis, ADJ_SYMBOLUSE (8) the style (ST_LINE and so on), ADJ_AREA_X, ADJ_AREA_Y and
/// ADJ_AREA_Z (9 to 11) the minimum and maximum of the area's axes, ADJ_AREA_XY (18) both x and y,
/// ADJ_AREAMATRIX (12) the grid of areas (rows, columns), ADJ_TEXTROT (13) the rotation of a text,
/// ADJ_AXISGRID (14) the grid of an axis, ADJ_AREA_3D (15) the 3-D view (elevation, azimuth, ...). Other
/// codes are ignored; with nothing drawn nothing happens.
/// Example:
///     Draw(0, <1,3,2,4>);
///     DrawAdjust(ADJ_COLOR, 3, 2);
///     DrawAdjust(ADJ_AREA_Y, 0, 5);
///     SaveDrawWindow("adjust.gwg");
///     decl f = fopen("adjust.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("adjust.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawAdjust) {
    (void)rtn;
    int code = 0;
    if (!IntOr(pv, cArg, 0, 0, &code)) return;
    const std::vector<double> numbers = Numbers(pv, 1, cArg);
    Drawing* d = Current();
    if (d != nullptr) SetDrawAdjustment(d, -1, code, numbers);
}

}  // namespace zu::draw::library
