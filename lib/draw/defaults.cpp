// The defaults that new drawing objects and the sheet writers take: the
// reset values, and the option codes that change them.
#include <algorithm>
#include <cmath>

#include "draw/sheet.h"

namespace zu::draw {
namespace {

constexpr std::int32_t Rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

// The colours of mode 0; the other modes derive from it.
constexpr std::int32_t kModeZeroColours[kColours] = {
    Rgb(255, 255, 255), Rgb(0, 0, 0),       Rgb(255, 0, 0),     Rgb(0, 0, 255),
    Rgb(0, 128, 128),   Rgb(255, 0, 255),   Rgb(0, 192, 0),     Rgb(128, 128, 0),
    Rgb(128, 0, 128),   Rgb(255, 255, 128), Rgb(128, 255, 128), Rgb(128, 255, 255),
    Rgb(0, 255, 255),   Rgb(64, 64, 64),    Rgb(128, 128, 128), Rgb(192, 192, 192)};

// The eight palettes: a darker and a lighter colour each.
constexpr std::int32_t kPalettes[8][2] = {
    {Rgb(255, 255, 255), Rgb(255, 255, 255)}, {Rgb(62, 62, 62), Rgb(192, 192, 192)},
    {Rgb(255, 0, 0), Rgb(255, 192, 192)},     {Rgb(0, 0, 160), Rgb(192, 192, 255)},
    {Rgb(0, 64, 64), Rgb(164, 255, 255)},     {Rgb(128, 0, 64), Rgb(255, 164, 255)},
    {Rgb(0, 128, 0), Rgb(164, 255, 164)},     {Rgb(128, 128, 0), Rgb(255, 255, 164)}};

// Widths of the line types after a reset (every mode), before mode 1's changes.
constexpr int kLineWidths[kColours] = {10, 6, 10, 10, 10, 10, 20, 30, 10, 20, 30, 20, 30, 50, 10, 10};

int Grey(std::int32_t packed) {
    const int r = packed & 0xFF, g = (packed >> 8) & 0xFF, b = (packed >> 16) & 0xFF;
    const int grey = static_cast<int>(std::lround(0.3 * r + 0.59 * g + 0.11 * b));
    return Rgb(grey, grey, grey);
}

void ResetLineModes(Defaults& d) {
    for (int mode = 0; mode < kColourModes; ++mode) {
        for (int t = 0; t < kColours; ++t) {
            LineMode& lm = d.lineModes[mode][t];
            lm.width = kLineWidths[t];
            lm.style = (t >= 5 && t <= 7) ? 1 : (t >= 8 && t <= 10) ? 3 : 0;
            lm.dash1 = lm.dash2 = 10;
            if (t == 5 || t == 6) lm.dash1 = lm.dash2 = 35;
            if (t == 7) {
                lm.dash1 = 160;
                lm.dash2 = 80;
            }
        }
    }
    LineMode* one = d.lineModes[1];
    one[2].width = 14;
    one[3] = LineMode{1, 24, 50, 20};
    one[4].style = 3;
}

void ResetColours(Defaults& d) {
    for (int mode = 0; mode < kColourModes; ++mode) {
        for (int c = 0; c < kColours; ++c) {
            std::int32_t colour = kModeZeroColours[c];
            if (mode == 1 && c >= 2 && c <= 7) colour = Rgb(0, 0, 0);
            if (mode == 1 && c >= 9) colour = Grey(colour);
            d.colours[mode][c] = colour;
            d.colours2[mode][c] = colour;
        }
    }
}

void ResetSymbols(Defaults& d) {
    for (int i = 0; i < kColours; ++i) {
        d.symbolType[i] = 2;
        d.symbolSize[i] = 90;
    }
    d.symbolType[3] = 3;
    d.symbolType[4] = 6;
    d.symbolType[5] = 7;
    d.symbolType[6] = d.symbolType[7] = 11;
    d.symbolType[9] = 6;
    d.symbolType[10] = d.symbolType[11] = 10;
    d.symbolMode = 0;
}

void ResetPalette(Defaults& d) {
    d.palette = 0;
    // Surfaces run from a deep blue at the bottom to a light yellow.
    d.paletteStart = Rgb(37, 82, 160);
    d.paletteEnd = Rgb(255, 226, 130);
}

// Everything except the colours and line modes.
void ResetSettings(Defaults& d) {
    d.margin = 640;
    std::fill(std::begin(d.boxFlags), std::end(d.boxFlags), 0);
    d.font = 0;
    d.fontSize = 330;
    d.axisFontSize = 300;
    d.axisDivision = 1000;
    d.axisTickLength = 60;
    std::fill(std::begin(d.axisLine), std::end(d.axisLine), 0);
    d.axisZeros = 1;
    d.axisFormat[0] = 8;
    d.axisFormat[1] = 6;
    d.axisFormat[2] = d.axisFormat[3] = 1;
    d.grid[0] = d.grid[1] = 14;
    d.legend[0] = 1;
    d.legend[1] = 2;
    d.legendHidden = 0;
    d.legendResize = 1;
    d.legendFontSize = 300;
    d.histogram[0] = 0;
    d.histogram[1] = 13;
    ResetSymbols(d);
    d.style2d = 0;
    d.style3d = 1;
    d.paperColour = d.paperColour2 = 0;
    d.foreground = 1;
    d.printColourModel = 1;
    d.printPaper = 0;
    d.printOrientation = 1;
    d.printWidth = 595;
    d.printHeight = 842;
}

Defaults& Storage() {
    static Defaults defaults;
    return defaults;
}

int Arg(std::span<const double> args, std::size_t k, int fallback = 0) {
    if (k >= args.size() || !std::isfinite(args[k])) return fallback;
    return static_cast<int>(std::clamp(args[k], -2e9, 2e9));
}

std::int32_t PackedArg(std::span<const double> args, std::size_t k) { return Arg(args, k) & 0xFFFFFF; }

int ModeArg(std::span<const double> args, std::size_t k) {
    const int mode = Arg(args, k, Storage().displayMode);
    return std::clamp(mode, 0, kColourModes - 1);
}

void SetLineMode(LineMode& lm, std::span<const double> args) {
    const int style = Arg(args, 1), width = Arg(args, 2), dash1 = Arg(args, 3), dash2 = Arg(args, 4);
    lm.style = std::clamp(style, 0, 4);
    lm.width = width <= 0 ? 10 : std::min(width, 255);
    lm.dash1 = dash1 <= 0 ? 10 : std::min(dash1, 255);
    lm.dash2 = std::clamp(dash2, 0, 255);
}

}  // namespace

Defaults& GDIdefaults() {
    static bool reset = false;
    if (!reset) {
        reset = true;
        ResetGDIauto(0);
    }
    return Storage();
}

void ResetGDIauto(int group) {
    Defaults& d = Storage();
    if (group == 3) {
        ResetPalette(d);
        return;
    }
    ResetSettings(d);
    ResetPalette(d);
    if (group != 2) {
        ResetLineModes(d);
        ResetColours(d);
        d.displayMode = 0;
    }
}

void SetDrawOptions(int code, std::span<const double> args) {
    Defaults& d = GDIdefaults();
    if (args.empty() && code != 0) return;  // nothing to set
    switch (code) {
    case 0: ResetGDIauto(Arg(args, 0)); break;
    case 1: d.margin = std::max(Arg(args, 0), Arg(args, 1)); break;
    case 2:
        for (int i = 0; i < 3; ++i) d.boxFlags[i] = Arg(args, static_cast<std::size_t>(i));
        break;
    case 3:
        d.font = std::clamp(Arg(args, 0), 0, 10);
        if (Arg(args, 1) > 0) d.fontSize = Arg(args, 1);
        break;
    case 4:
        d.axisFontSize = Arg(args, 0, d.axisFontSize);
        d.axisDivision = Arg(args, 1, d.axisDivision);
        d.axisTickLength = Arg(args, 2, d.axisTickLength);
        break;
    case 5:
        for (int i = 0; i < 4; ++i) d.axisLine[i] = Arg(args, static_cast<std::size_t>(i));
        break;
    case 6:
        d.grid[0] = Arg(args, 0, d.grid[0]);
        d.grid[1] = Arg(args, 1, d.grid[1]);
        break;
    case 7:
        d.legend[0] = Arg(args, 0, d.legend[0]);
        d.legend[1] = Arg(args, 1, d.legend[1]);
        break;
    case 8: d.legendHidden = Arg(args, 0); break;
    case 9:
        d.histogram[0] = Arg(args, 0, d.histogram[0]);
        d.histogram[1] = Arg(args, 1, d.histogram[1]);
        break;
    case 10:
    case 19: {
        const int c = Arg(args, 0);
        if (c < 0 || c >= kColours) break;
        auto& table = code == 10 ? d.colours : d.colours2;
        table[ModeArg(args, 2)][c] = PackedArg(args, 1);
        break;
    }
    case 11: {
        const int i = Arg(args, 0);
        if (i < 0 || i >= kColours) break;
        int type = Arg(args, 1);
        if (type == 5 || type < 0 || type > 11) type = 2;
        d.symbolType[i] = type;
        if (Arg(args, 2) > 0) d.symbolSize[i] = Arg(args, 2);
        break;
    }
    case 12:
    case 20: {
        const int t = Arg(args, 0);
        if (t < 0 || t >= kColours) break;
        SetLineMode(d.lineModes[code == 12 ? d.displayMode : 1][t], args);
        break;
    }
    case 13: d.printColourModel = std::clamp(Arg(args, 0), 0, 3); break;
    case 14:
        d.printPaper = std::clamp(Arg(args, 0), 0, 2);
        d.printOrientation = Arg(args, 1) != 0 ? 1 : 0;
        if (Arg(args, 2) > 0) d.printWidth = Arg(args, 2);
        if (Arg(args, 3) > 0) d.printHeight = Arg(args, 3);
        break;
    case 15: d.paletteStart = PackedArg(args, 0); break;
    case 16: d.paletteEnd = PackedArg(args, 0); break;
    case 17:
        d.style2d = Arg(args, 0);
        d.style3d = Arg(args, 1, d.style3d);
        break;
    case 18: d.paperColour = PackedArg(args, 0); break;
    case 21: d.axisZeros = Arg(args, 0); break;
    case 22:
        for (int i = 0; i < 4; ++i) d.axisFormat[i] = Arg(args, static_cast<std::size_t>(i), d.axisFormat[i]);
        break;
    case 23: d.legendResize = Arg(args, 0); break;
    case 24:
        if (Arg(args, 0) > 0) d.legendFontSize = Arg(args, 0);
        break;
    default: break;  // codes 25 and above are ignored
    }
}

std::int32_t GDIpaletteColour(int palette, bool lighter) {
    return kPalettes[std::clamp(palette, 0, 7)][lighter ? 1 : 0];
}

void GDIcolourRgb(int colour, int* red, int* green, int* blue) {
    const Defaults& d = GDIdefaults();
    const std::int32_t packed = d.colours[d.displayMode][((colour % kColours) + kColours) % kColours];
    *red = packed & 0xFF;
    *green = (packed >> 8) & 0xFF;
    *blue = (packed >> 16) & 0xFF;
}

}  // namespace zu::draw
