// The drawing functions that manage the drawing as a whole: saving it in
// the form its file name asks for, showing it, discarding it, the
// defaults and the adjustments; and the registration of the drawing
// library.
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

// SetTextWindow(sTitle): names the window that text output goes to.  Text
// output goes to the console here, which has no title: the name is
// checked and otherwise not used.
ZU_DRAWLIB_ROUTINE(FnSetTextWindow) {
    std::string title;
    (void)rtn, (void)cArg;
    StringArg(pv, 0, &title);
}

// SaveDrawWindow(sFile): renders the current drawing and saves it; the
// extension chooses the form: none or ".eps" Encapsulated PostScript,
// ".ps" full-page PostScript (both in any case), ".svg", ".pdf" and ".png"
// those formats, any other extension the graphics file.  Returns 1, or 0
// when the file could not be written.
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

// SetDrawWindow(sName): names the drawing window; ShowDrawWindow writes
// the picture under this name.
ZU_DRAWLIB_ROUTINE(FnSetDrawWindow) {
    (void)rtn, (void)cArg;
    std::string name;
    if (StringArg(pv, 0, &name)) SetWindowName(name);
}

// ShowDrawWindow(): writes the current drawing as a PNG picture in the
// working folder (zugraph.png, or the name given to SetDrawWindow), prints
// a line naming it and, when the environment variable ZU_VIEWER names a
// program, starts that program on it.  The next drawing function starts a
// new drawing.
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

// CloseDrawWindow(): discards the current drawing.
ZU_DRAWLIB_ROUTINE(FnCloseDrawWindow) {
    (void)rtn, (void)pv, (void)cArg;
    CloseCurrent();
}

// SetDraw(iOption, ...): sets the defaults that later drawing objects and
// the saved files take (SET_... in zustd.h): 0 resets them, 1 the margin,
// 3 the font and size, 10 a colour, 11 a symbol, 12 a line type, 13 the
// colour model of PostScript, 14 its page, 18 the paper colour, and so on.
ZU_DRAWLIB_ROUTINE(FnSetDraw) {
    (void)rtn;
    int option = 0;
    if (!IntOr(pv, cArg, 0, 0, &option)) return;
    const std::vector<double> numbers = Numbers(pv, 1, cArg);
    SetDrawOptions(option, numbers);
}

// DrawAdjust(iType, ...): adjusts the object drawn last (ADJ_... in
// zustd.h): 0 its colour and line type, 1 the symbol type and size, 2
// index lines, 3 scale, 4 the range, 8 the style, 9 and 10 the x and y
// range of its area, 12 the area grid (rows, columns), 13 the rotation of
// a text, 15 the 3-D view (elevation, azimuth), and so on.
ZU_DRAWLIB_ROUTINE(FnDrawAdjust) {
    (void)rtn;
    int code = 0;
    if (!IntOr(pv, cArg, 0, 0, &code)) return;
    const std::vector<double> numbers = Numbers(pv, 1, cArg);
    Drawing* d = Current();
    if (d != nullptr) SetDrawAdjustment(d, -1, code, numbers);
}

}  // namespace zu::draw::library
