// Widths of the characters of the fonts the writers use.
#pragma once

#include <string_view>

namespace zu::draw {

// The metrics table used for a font number (0..15; unknown fonts are
// Times-Roman, as the PostScript font table maps them).
int FontMetricsIndex(int font);
// Widths in sheet units for a font of the given size in sheet units.
int CharWidth(int font, unsigned char c, int size);
int TextWidth(int font, std::string_view text, int size);

}  // namespace zu::draw
