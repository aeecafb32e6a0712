// Replays a sheet through cairo into SVG, PDF or PNG.  The replay follows
// the procedures of the PostScript prolog record by record (the current
// point X, Y of Mto, the text direction, line types and symbols), so the
// screen forms show the picture the PostScript form prints.  The screen
// forms are drawn in the colours of the current display mode.
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "console/atomic_file.h"
#include "draw/sheet.h"

namespace zu::draw {
namespace {

struct SurfaceCloser {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextCloser {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

// Unicode of the characters of the Symbol font at 0x20..0xFF (0: none).
constexpr char16_t kSymbolUnicode[224] = {
    0x20, 0x21, 0x2200, 0x23, 0x2203, 0x25, 0x26, 0x220B, 0x28, 0x29, 0x2217, 0x2B, 0x2C, 0x2212, 0x2E, 0x2F, 0x30,
    0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x2245, 0x391, 0x392,
    0x3A7, 0x394, 0x395, 0x3A6, 0x393, 0x397, 0x399, 0x3D1, 0x39A, 0x39B, 0x39C, 0x39D, 0x39F, 0x3A0, 0x398, 0x3A1,
    0x3A3, 0x3A4, 0x3A5, 0x3C2, 0x3A9, 0x39E, 0x3A8, 0x396, 0x5B, 0x2234, 0x5D, 0x22A5, 0x5F, 0xF8E5, 0x3B1, 0x3B2,
    0x3C7, 0x3B4, 0x3B5, 0x3C6, 0x3B3, 0x3B7, 0x3B9, 0x3D5, 0x3BA, 0x3BB, 0x3BC, 0x3BD, 0x3BF, 0x3C0, 0x3B8, 0x3C1,
    0x3C3, 0x3C4, 0x3C5, 0x3D6, 0x3C9, 0x3BE, 0x3C8, 0x3B6, 0x7B, 0x7C, 0x7D, 0x223C, 0,
    // 0x80..0x9F: unused
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xA0..
    0x20AC, 0x3D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191,
    0x2192, 0x2193, 0xB0, 0xB1, 0x2033, 0x2265, 0xD7, 0x221D, 0x2202, 0x2022, 0xF7, 0x2260, 0x2261, 0x2248, 0x2026,
    0x23D0, 0x23AF, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287,
    0x2284, 0x2282, 0x2286, 0x2208, 0x2209, 0x2220, 0x2207, 0xAE, 0xA9, 0x2122, 0x220F, 0x221A, 0x22C5, 0xAC, 0x2227,
    0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3, 0x25CA, 0x2329, 0xAE, 0xA9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D,
    0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA, 0, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Latin-1 text (control characters dropped) as UTF-8.
std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 32 && (c < 127 || c >= 160)) AppendUtf8(out, c);
    }
    return out;
}

std::string SymbolToUtf8(int code) {
    std::string out;
    if (code >= 0x20 && code <= 0xFF && kSymbolUnicode[code - 0x20] != 0) AppendUtf8(out, kSymbolUnicode[code - 0x20]);
    return out;
}

struct FontFace {
    const char* family;
    cairo_font_slant_t slant;
    cairo_font_weight_t weight;
};

FontFace FaceOf(int font) {
    switch (font) {
    // The characters of the Symbol font are shown by their Unicode
    // letters, which the text face has and the Symbol face does not map.
    case 1: return {"Nimbus Roman", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL};
    case 2: return {"Nimbus Roman", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD};
    case 3: return {"Nimbus Roman", CAIRO_FONT_SLANT_ITALIC, CAIRO_FONT_WEIGHT_NORMAL};
    case 4: return {"Nimbus Roman", CAIRO_FONT_SLANT_ITALIC, CAIRO_FONT_WEIGHT_BOLD};
    case 5: return {"Nimbus Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL};
    case 6: return {"Nimbus Mono PS", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL};
    default: return {"Nimbus Roman", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL};
    }
}

// The replay: the state of the PostScript procedures, in sheet units.
class CairoReplay {
public:
    CairoReplay(cairo_t* cr, const Sheet& sheet, double scale)
        : cr_(cr), scale_(scale), height_(sheet.paperHeight), defaults_(GDIdefaults()) {
        cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
        SetLineType(1);
        SetFont(0, 280);
    }

    void Play(const DisplayRecord& r) {
        const int a = r.v.a, b = r.v.b;
        if (pending_ && r.code != kRecLine) FlushPolyline();
        switch (r.code) {
        case kRecMove:
            if (inPath_) cairo_move_to(cr_, Dx(a), Dy(b));
            x_ = a;
            y_ = b;
            break;
        case kRecRelMove:
            x_ += a;
            y_ += b;
            break;
        case kRecLine:
            if (inPath_) {
                cairo_line_to(cr_, Dx(a), Dy(b));
            } else {
                if (!pending_) {
                    cairo_new_path(cr_);
                    cairo_move_to(cr_, Dx(x_), Dy(y_));
                    pending_ = true;
                }
                cairo_line_to(cr_, Dx(a), Dy(b));
            }
            x_ = a;
            y_ = b;
            break;
        case kRecRelLine:
            cairo_new_path(cr_);
            cairo_move_to(cr_, Dx(x_), Dy(y_));
            x_ += a;
            y_ += b;
            cairo_line_to(cr_, Dx(x_), Dy(y_));
            Stroke(false);
            break;
        case kRecBoxTo:
            cairo_new_path(cr_);
            cairo_rectangle(cr_, Dx(x_), Dy(y_), (a - x_) * scale_, -(b - y_) * scale_);
            Stroke(true);
            break;
        case kRecLineType: SetLineType(a); break;
        case kRecLineWidth: width_ = a; break;
        case kRecColor: colour_ = a; break;
        case kRecFillColor: fill_ = r.packed; break;
        case kRecTextDirection: rotation_ = a; break;
        case kRecFont: SetFont(a, b); break;
        case kRecText: ShowText(Latin1ToUtf8(r.text != nullptr ? r.text : ""), false); break;
        case kRecTextTo: ShowText(Latin1ToUtf8(r.text != nullptr ? r.text : ""), true); break;
        case kRecSymbolChar: {
            const int font = font_, size = size_;
            SetFont(1, b);
            ShowText(SymbolToUtf8(a), true);
            SetFont(font, size);
            break;
        }
        case kRecSymbolCharSame: ShowText(SymbolToUtf8(a), true); break;
        case kRecBeginPath:
            cairo_save(cr_);
            cairo_new_path(cr_);
            inPath_ = true;
            break;
        case kRecEndPath: EndPath(a); break;
        default:
            if (r.code >= kRecSymbolFirst && r.code <= kRecSymbolLast) Symbol(r.code - kRecSymbolFirst, a, b);
            break;
        }
    }

    void Finish() {
        if (pending_) FlushPolyline();
        if (inPath_) cairo_restore(cr_);
    }

private:
    double Dx(double x) const { return x * scale_; }
    double Dy(double y) const { return (height_ - y) * scale_; }

    void SetSourceColour(int colour) {
        int red = 0, green = 0, blue = 0;
        GDIcolourRgb(colour, &red, &green, &blue);
        cairo_set_source_rgb(cr_, red / 255.0, green / 255.0, blue / 255.0);
    }

    void SetLineType(int type) {
        const LineMode& lm = defaults_.lineModes[defaults_.displayMode][std::clamp(type, 0, kColours - 1)];
        dash_[0] = lm.dash1;
        dash_[1] = lm.dash2;
        switch (lm.style) {
        case 0: dash_[0] = dash_[1] = 0; break;
        case 1: dash_[0] = dash_[1] = 35; break;
        case 2: dash_[0] = dash_[1] = 70; break;
        case 3:
            dash_[0] = 160;
            dash_[1] = 80;
            break;
        default: break;
        }
        width_ = lineTypeWidth_ = lm.width;
    }

    void Stroke(bool solid) {
        SetSourceColour(colour_);
        // Thin lines are kept visible on screen: at least 14 sheet units.
        const double w = std::max(solid ? lineTypeWidth_ : width_, 14) * scale_;
        cairo_set_line_width(cr_, w);
        if (!solid && dash_[0] + dash_[1] > 0) {
            const double dashes[2] = {dash_[0] * scale_, dash_[1] * scale_};
            cairo_set_dash(cr_, dashes, 2, 0);
        } else {
            cairo_set_dash(cr_, nullptr, 0, 0);
        }
        cairo_stroke(cr_);
    }

    void FlushPolyline() {
        pending_ = false;
        Stroke(false);
    }

    void SetFont(int font, int size) {
        font_ = font;
        size_ = size;
        const FontFace face = FaceOf(font);
        cairo_select_font_face(cr_, face.family, face.slant, face.weight);
        cairo_set_font_size(cr_, std::max(size, 1) * scale_);
    }

    // Text at X, Y in the text direction; `advance` moves X, Y to its end
    // (the T procedure), otherwise they stay (Text).
    void ShowText(const std::string& utf8, bool advance) {
        if (utf8.empty()) return;
        cairo_text_extents_t ext;
        cairo_text_extents(cr_, utf8.c_str(), &ext);
        const bool right = rotation_ == 360;
        const double angle = right ? 0 : -rotation_ * M_PI / 180.0;
        cairo_save(cr_);
        cairo_translate(cr_, Dx(x_), Dy(y_));
        cairo_rotate(cr_, angle);
        cairo_move_to(cr_, right ? -ext.x_advance : 0, 0);
        SetSourceColour(colour_);
        cairo_show_text(cr_, utf8.c_str());
        cairo_restore(cr_);
        if (advance) {
            const double along = (right ? 0 : ext.x_advance) / scale_;
            x_ += std::lround(along * std::cos(-angle));
            y_ += std::lround(along * std::sin(-angle));
        }
    }

    void SymbolPath(int type, double w, double h) {
        const double x = Dx(x_), y = Dy(y_);
        const double W = w * scale_, H = -h * scale_;
        cairo_new_path(cr_);
        switch (type) {
        case 0:
        case 1: cairo_rectangle(cr_, x, y, W, H); break;
        case 2:
            cairo_move_to(cr_, x, y + H / 2);
            cairo_line_to(cr_, x + W, y + H / 2);
            cairo_move_to(cr_, x + W / 2, y);
            cairo_line_to(cr_, x + W / 2, y + H);
            break;
        case 3:
            cairo_move_to(cr_, x, y + H / 2);
            cairo_line_to(cr_, x + W, y + H / 2);
            break;
        case 4:
        case 6:
            cairo_save(cr_);
            cairo_translate(cr_, x + W / 2, y + H / 2);
            cairo_scale(cr_, 1, W != 0 ? std::fabs(H / W) : 1);
            cairo_arc(cr_, 0, 0, std::fabs(W) / 2, 0, 2 * M_PI);
            cairo_restore(cr_);
            break;
        case 7:
        case 8:
            cairo_move_to(cr_, x, y);
            cairo_line_to(cr_, x + W / 2, y + H);
            cairo_line_to(cr_, x + W, y);
            cairo_close_path(cr_);
            break;
        case 9:
        case 10:
            cairo_move_to(cr_, x, y + H / 2);
            cairo_line_to(cr_, x + W / 2, y + H);
            cairo_line_to(cr_, x + W, y + H / 2);
            cairo_line_to(cr_, x + W / 2, y);
            cairo_close_path(cr_);
            break;
        case 11:
            cairo_move_to(cr_, x, y);
            cairo_line_to(cr_, x + W, y + H);
            cairo_move_to(cr_, x + W, y);
            cairo_line_to(cr_, x, y + H);
            break;
        default: break;
        }
    }

    void Symbol(int type, int w, int h) {
        if (type == 5) return;
        SymbolPath(type, w, h);
        if (type == 0 || type == 6 || type == 8 || type == 10) {
            SetSourceColour(colour_);
            cairo_fill(cr_);
        } else {
            Stroke(true);
        }
    }

    void EndPath(int mode) {
        if (!inPath_) return;
        inPath_ = false;
        if (mode == 0 || fill_ == -1) {
            Stroke(false);
        } else {
            cairo_close_path(cr_);
            cairo_set_source_rgb(cr_, (fill_ & 0xFF) / 255.0, ((fill_ >> 8) & 0xFF) / 255.0,
                                 ((fill_ >> 16) & 0xFF) / 255.0);
            if (mode == 1) {
                cairo_fill(cr_);
            } else {
                cairo_fill_preserve(cr_);
                Stroke(false);
            }
        }
        cairo_restore(cr_);
    }

    cairo_t* cr_;
    double scale_;
    int height_;
    const Defaults& defaults_;
    int x_ = 0, y_ = 0;
    int colour_ = 1, rotation_ = 0, font_ = 0, size_ = 280;
    int width_ = 10, lineTypeWidth_ = 10;
    int dash_[2] = {0, 0};
    std::int32_t fill_ = -1;
    bool inPath_ = false;
    bool pending_ = false;  // an open polyline of consecutive lines
};

// cairo and fontconfig keep their font caches for the life of the
// process; they are released at its end, when no surface is left, so that
// the process ends with nothing allocated.
void ReleaseFontCachesAtExit() {
    static const bool registered = std::atexit([] {
                                       cairo_debug_reset_static_data();
                                       FcFini();
                                   }) == 0;
    (void)registered;
}

void Paint(cairo_t* cr, const Sheet& sheet, double scale) {
    ReleaseFontCachesAtExit();
    const std::int32_t paper = GDIdefaults().paperColour;
    if (paper == 0)
        cairo_set_source_rgb(cr, 1, 1, 1);
    else
        cairo_set_source_rgb(cr, (paper & 0xFF) / 255.0, ((paper >> 8) & 0xFF) / 255.0, ((paper >> 16) & 0xFF) / 255.0);
    cairo_paint(cr);
    CairoReplay replay(cr, sheet, scale);
    ForEachRecord(sheet, [&](const DisplayRecord& r) { replay.Play(r); });
    replay.Finish();
}

}  // namespace

int GDIsaveWithCairo(const char* fileName, const Sheet& sheet, CairoForm form, int pixelWidth) {
    const double widthPoints = 432.0;
    const double heightPoints = std::round(432.0 * sheet.paperHeight / sheet.paperWidth);
    if (fileName == nullptr) return 0;
    // cairo writes by name: it writes the temporary, which replaces the old
    // file only when the surface finished cleanly.
    console::AtomicFile file(console::PortableFileName(fileName));
    if (!file.Created()) return 0;
    file.CloseStream();
    const char* written = file.TemporaryName().c_str();
    std::unique_ptr<cairo_surface_t, SurfaceCloser> surface;
    double scale = widthPoints / sheet.paperWidth;
    switch (form) {
    case CairoForm::kSvg: surface.reset(cairo_svg_surface_create(written, widthPoints, heightPoints)); break;
    case CairoForm::kPdf: surface.reset(cairo_pdf_surface_create(written, widthPoints, heightPoints)); break;
    case CairoForm::kPng: {
        const int width = std::clamp(pixelWidth, 16, 8000);
        const int height =
            static_cast<int>(std::lround(static_cast<double>(width) * sheet.paperHeight / sheet.paperWidth));
        scale = static_cast<double>(width) / sheet.paperWidth;
        surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, std::max(height, 1)));
        break;
    }
    }
    if (!surface || cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return 0;
    {
        std::unique_ptr<cairo_t, ContextCloser> cr(cairo_create(surface.get()));
        Paint(cr.get(), sheet, scale);
    }
    if (form == CairoForm::kPng) {
        if (cairo_surface_write_to_png(surface.get(), written) != CAIRO_STATUS_SUCCESS) return 0;
    }
    cairo_surface_finish(surface.get());
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return 0;
    return file.Commit() ? 1 : 0;
}

}  // namespace zu::draw
