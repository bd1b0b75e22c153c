// A font's line metrics at one size, as FreeType gives them in a size's
// metrics for a TrueType font: the export commands' FONT_ASCENT,
// FONT_DESCENT and line advance match what FreeType-based tools
// (lv_font_conv, otf2bdf) and their users expect.
#ifndef KELMOR_TOOL_LINE_METRICS_H
#define KELMOR_TOOL_LINE_METRICS_H

#include <cstdint>

#include "ttf/api/tool_internals.h"

namespace kelmor {

// Font units: hhea's ascender, descender and line height (ascender minus
// descender plus line gap); OS/2's typographic values instead when its
// fsSelection asks for them (USE_TYPO_METRICS) or hhea has neither ascender
// nor descender; failing those, its Windows ascent and descent.
struct LineUnits {
    int32_t ascender = 0, descender = 0, height = 0;
};
LineUnits FontLineUnits(_TTFont *font);

// 26.6 pixels at `points` and `dpi`, FreeType's way: the size is rounded to
// 1/64 pixel, the scale kept in 16.16, the ascender rounded up to whole
// pixels, the descender down and the height to the nearest.
struct LineMetrics {
    int32_t ascender = 0, descender = 0, height = 0;
};
LineMetrics ScaleLineUnits(const LineUnits &units, int32_t unitsPerEm, int points, int dpi);

}  // namespace kelmor

#endif
