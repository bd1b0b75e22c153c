// The CJK writing system's metrics: measured once per face from the
// font's own reference characters, scaled once per size.
//
// CJK glyphs fill their square, so the blue zones here are the tops and
// bottoms of ideographs: for each zone a set of characters whose extreme
// is a flat stroke end ("flats") and a set whose extreme is a stroke or
// dot that overshoots it ("fills").  The zone's reference is the median of
// the fills, its overshoot the median of the flats.  The standard stem
// widths come from the stems of one simple character (田 or 囗).
#include <cstdint>
#include <memory>

#include "ttf/autohint/autohint_hints.h"

namespace kelmor {
namespace autohint {

namespace {

constexpr int kMaxBlueChars = 51;  // characters read per zone at most

CjkMetrics &Cjk(StyleMetrics *metrics) { return *static_cast<CjkMetrics *>(metrics); }

// The glyph of the character at text[*pos] (skipping spaces), or 0; a
// "character" followed by more characters before the next space is a
// cluster the reference cannot shape without its shaping engine, and
// gives 0 too.
uint32_t NextReferenceGlyph(FontAccess *font, const char *text, size_t *pos) {
    while (text[*pos] == ' ') ++*pos;
    uint32_t ch = NextUtf8(text, pos);
    bool cluster = false;
    while (text[*pos] != ' ' && text[*pos] != '\0') {
        if (NextUtf8(text, pos) != 0) cluster = true;
    }
    return cluster || ch == 0 ? 0 : font->GlyphForChar(ch);
}

// The standard stem widths of both axes, from the first of the script's
// standard characters the font has.
void InitWidths(CjkMetrics *metrics, FontAccess *font) {
    const char *text = metrics->style->script->standardChars;
    uint32_t glyph = 0;
    for (size_t pos = 0; text[pos] != '\0' && glyph == 0;) glyph = NextReferenceGlyph(font, text, &pos);
    MeasureStandardWidths(metrics, metrics->unitsPerEm, font, glyph, {&metrics->axis[kDimHorz], &metrics->axis[kDimVert]});
}

// The extreme of a reference glyph for a zone: its highest (top zones) or
// lowest point, or for a horizontal zone its rightmost or leftmost one.
// Contours of one or two points are skipped: they are never drawn, and
// some fonts put anchor points far outside the glyph that way.
bool GlyphExtreme(const Outline &outline, uint8_t properties, int32_t *best) {
    const bool horizontal = properties & kBlueCjkHoriz;
    const bool topOrRight = properties & kBlueCjkTop;
    bool found = false;
    int32_t first = 0;
    for (int32_t last : outline.contourEnds) {
        if (last > first) {
            for (int32_t p = first; p <= last; ++p) {
                int32_t value = horizontal ? outline.points[size_t(p)].x : outline.points[size_t(p)].y;
                if (!found || (topOrRight ? value > *best : value < *best)) {
                    *best = value;
                    found = true;
                }
            }
        }
        first = last + 1;
    }
    return found;
}

// One zone from its reference string; false when the font has none of
// its characters.
bool MeasureBlue(FontAccess *font, const BlueString &blue, CjkBlue *zone) {
    int32_t fills[kMaxBlueChars];
    int32_t flats[kMaxBlueChars];
    uint32_t fillCount = 0;
    uint32_t flatCount = 0;
    bool fill = true;
    Outline outline;
    const char *text = blue.text;
    for (size_t pos = 0; text[pos] != '\0';) {
        while (text[pos] == ' ') ++pos;
        if (text[pos] == '|') {
            fill = false;
            ++pos;
            continue;
        }
        if (text[pos] == '\0') break;
        uint32_t glyph = NextReferenceGlyph(font, text, &pos);
        if (glyph == 0 || !font->LoadFontUnitOutline(glyph, &outline) || outline.points.size() <= 2)
            continue;
        int32_t best = 0;
        // A glyph whose contours are all too small still counts, with 0,
        // as it does in the reference.
        GlyphExtreme(outline, blue.properties, &best);
        if (fill && fillCount < uint32_t(kMaxBlueChars))
            fills[fillCount++] = best;
        else if (!fill && flatCount < uint32_t(kMaxBlueChars))
            flats[flatCount++] = best;
    }
    if (fillCount == 0 && flatCount == 0) return false;
    SortPositions(fillCount, fills);
    SortPositions(flatCount, flats);
    int32_t ref;
    int32_t shoot;
    if (flatCount == 0) {
        ref = shoot = fills[fillCount / 2];
    } else if (fillCount == 0) {
        ref = shoot = flats[flatCount / 2];
    } else {
        ref = fills[fillCount / 2];
        shoot = flats[flatCount / 2];
    }
    // The overshoot must lie beyond the reference (above a top zone, below
    // a bottom one); where the font says otherwise both take the mean.
    if (shoot != ref) {
        bool underRef = shoot < ref;
        if (bool(blue.properties & kBlueCjkTop) != underRef) ref = shoot = (shoot + ref) / 2;
    }
    *zone = CjkBlue();
    zone->ref.org = ref;
    zone->shoot.org = shoot;
    zone->flags = (blue.properties & kBlueCjkTop) ? kCjkBlueTop : 0;
    return true;
}

void InitBlues(CjkMetrics *metrics, FontAccess *font) {
    const StyleClass &style = *metrics->style;
    for (int b = 0; b < style.blueCount; ++b) {
        const BlueString &blue = style.blues[b];
        CjkAxis &axis = metrics->axis[(blue.properties & kBlueCjkHoriz) ? kDimHorz : kDimVert];
        if (axis.blueCount >= uint32_t(kMaxBlues)) continue;
        if (MeasureBlue(font, blue, &axis.blues[axis.blueCount])) ++axis.blueCount;
    }
}

// Whether the digits 0-9 the font has all advance alike (tabular digits
// keep their unhinted advance).
void CheckDigits(StyleMetrics *metrics, FontAccess *font) {
    bool started = false;
    bool sameWidth = true;
    int32_t firstAdvance = 0;
    for (uint32_t digit = '0'; digit <= '9'; ++digit) {
        uint32_t glyph = font->GlyphForChar(digit);
        if (glyph == 0) continue;
        int32_t advance = font->AdvanceWidth(glyph);
        if (!started) {
            firstAdvance = advance;
            started = true;
        } else if (advance != firstAdvance) {
            sameWidth = false;
            break;
        }
    }
    metrics->digitsHaveSameWidth = sameWidth;
}

std::unique_ptr<StyleMetrics> NewCjkMetrics() { return std::unique_ptr<StyleMetrics>(new CjkMetrics()); }

bool InitCjkMetrics(StyleMetrics *metrics, FontAccess *font) {
    CjkMetrics &cjk = Cjk(metrics);
    cjk.unitsPerEm = font->UnitsPerEm();
    if (!font->HasUnicodeMap()) return true;  // nothing to measure: all zero
    InitWidths(&cjk, font);
    InitBlues(&cjk, font);
    CheckDigits(metrics, font);
    return true;
}

// Indic scripts use the CJK measurements without blue zones.
bool InitIndicMetrics(StyleMetrics *metrics, FontAccess *font) {
    CjkMetrics &cjk = Cjk(metrics);
    cjk.unitsPerEm = font->UnitsPerEm();
    if (!font->HasUnicodeMap()) return true;
    InitWidths(&cjk, font);
    CheckDigits(metrics, font);
    return true;
}

// Fits a zone to the size: a zone less than 3/4 pixel tall is active, its
// reference rounded to the pixel grid and its overshoot kept a whole
// number of pixels from it (none below half a pixel).
void ScaleBlue(CjkBlue *blue, int32_t scale, int32_t delta) {
    int32_t dist = 0;
    if (!ScaleZone(&blue->ref, &blue->shoot, &blue->flags, scale, delta, &dist)) return;
    blue->ref.fit = PixRound(blue->ref.cur);
    int32_t delta1 = DivFix(blue->ref.fit, scale) - blue->shoot.org;
    int32_t delta2 = delta1 < 0 ? -delta1 : delta1;
    delta2 = MulFix(delta2, scale);
    delta2 = delta2 < 32 ? 0 : PixRound(delta2);
    if (delta1 < 0) delta2 = -delta2;
    blue->shoot.fit = blue->ref.fit - delta2;
    blue->flags |= kBlueActive;
}

void ScaleAxis(CjkAxis *axis, int32_t scale, int32_t delta) {
    if (axis->orgScale == scale && axis->orgDelta == delta) return;
    axis->orgScale = scale;
    axis->orgDelta = delta;
    axis->scale = scale;
    axis->delta = delta;
    for (uint32_t nn = 0; nn < axis->blueCount; ++nn) ScaleBlue(&axis->blues[nn], scale, delta);
}

void ScaleCjkMetrics(StyleMetrics *metrics, const Scaler &scaler) {
    CjkMetrics &cjk = Cjk(metrics);
    metrics->scaler = scaler;
    ScaleAxis(&cjk.axis[kDimHorz], scaler.xScale, scaler.xDelta);
    ScaleAxis(&cjk.axis[kDimVert], scaler.yScale, scaler.yDelta);
}

}  // namespace

bool InitCjkHints(GlyphHints *hints, StyleMetrics *metrics);
bool ApplyCjkHints(uint32_t glyph, GlyphHints *hints, const Outline &outline, StyleMetrics *metrics);

const WritingSystemClass kCjkWritingSystem = {
    WritingSystemId::kCjk, NewCjkMetrics, InitCjkMetrics, ScaleCjkMetrics, InitCjkHints, ApplyCjkHints,
};

const WritingSystemClass kIndicWritingSystem = {
    WritingSystemId::kIndic, NewCjkMetrics, InitIndicMetrics, ScaleCjkMetrics, InitCjkHints, ApplyCjkHints,
};

}  // namespace autohint
}  // namespace kelmor
