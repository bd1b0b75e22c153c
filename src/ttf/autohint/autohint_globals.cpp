// Per face: which style each glyph belongs to, and each style's metrics.
//
// A glyph's style comes from the characters that map to it: styles are
// tried in table order, and the first whose script's Unicode ranges hold a
// character mapping to the glyph takes it.  Glyphs no character reaches
// (or all glyphs, in a font without a Unicode map) take the fallback
// style, the CJK one.  Metrics are measured the first time a glyph of a
// style is drawn.
#include <cstdint>
#include <cstring>
#include <memory>

#include "ttf/autohint/autohint_hints.h"

namespace kelmor {
namespace autohint {

namespace {

std::unique_ptr<StyleMetrics> NewPlainMetrics() { return std::unique_ptr<StyleMetrics>(new StyleMetrics()); }

// The "dummy" writing system only scales: its glyphs keep their outline.
bool InitDummyHints(GlyphHints *hints, StyleMetrics *metrics) {
    RescaleHints(hints, metrics);
    hints->xScale = metrics->scaler.xScale;
    hints->yScale = metrics->scaler.yScale;
    hints->xDelta = metrics->scaler.xDelta;
    hints->yDelta = metrics->scaler.yDelta;
    return true;
}

bool ApplyDummyHints(uint32_t glyph, GlyphHints *hints, const Outline &outline, StyleMetrics *metrics) {
    (void)glyph;
    (void)metrics;
    return ReloadHints(hints, outline);
}

// Marks the glyphs of characters in `ranges` that are still unassigned
// with `style` (or, for `nonbase`, flags the style's own glyphs there).
void CoverRanges(FaceGlobals *globals, FontAccess *font, const UnicodeRange *ranges, uint16_t style,
                 bool nonbase) {
    std::vector<uint16_t> &styles = globals->glyphStyles;
    auto mark = [&](uint32_t glyph) {
        if (glyph >= globals->glyphCount) return;
        uint16_t &entry = styles[glyph];
        if (!nonbase && (entry & kStyleMask) == kStyleUnassigned)
            entry = style;
        else if (nonbase && (entry & kStyleMask) == style)
            entry |= kGlyphIsNonbase;
    };
    for (const UnicodeRange *range = ranges; range->first != 0; ++range) {
        uint32_t code = range->first;
        uint32_t glyph = font->GlyphForChar(code);
        if (glyph != 0) mark(glyph);
        for (;;) {
            uint32_t next;
            if (!font->NextMappedChar(code, &next, &glyph) || glyph == 0 || next > range->last) break;
            // A character map walked backwards would never end.
            if (next <= code) break;
            code = next;
            mark(glyph);
        }
    }
}

}  // namespace

const WritingSystemClass kDummyWritingSystem = {
    WritingSystemId::kDummy, NewPlainMetrics, nullptr, nullptr, InitDummyHints, ApplyDummyHints,
};

const WritingSystemClass &WritingSystemOf(WritingSystemId id) {
    switch (id) {
    case WritingSystemId::kLatin:
        return kLatinWritingSystem;
    case WritingSystemId::kCjk:
        return kCjkWritingSystem;
    case WritingSystemId::kIndic:
        return kIndicWritingSystem;
    default:
        return kDummyWritingSystem;
    }
}

int FindStyle(const char *name) {
    for (int s = 0; s < StyleCount(); ++s) {
        if (std::strcmp(StyleAt(s).name, name) == 0) return s;
    }
    return -1;
}

int FallbackStyle() {
    static const int fallback = FindStyle("hani_dflt");
    return fallback;
}

void ComputeStyleCoverage(FaceGlobals *globals, FontAccess *font) {
    globals->font = font;
    globals->glyphCount = font->GlyphCount();
    globals->glyphStyles.assign(globals->glyphCount, kStyleUnassigned);
    globals->metrics.clear();
    globals->metrics.resize(size_t(StyleCount()));
    if (font->HasUnicodeMap()) {
        for (int s = 0; s < StyleCount(); ++s) {
            const StyleClass &style = StyleAt(s);
            // Without a shaping engine only the default styles claim glyphs.
            if (!style.isDefaultCoverage) continue;
            CoverRanges(globals, font, style.script->ranges, uint16_t(s), false);
            CoverRanges(globals, font, style.script->nonbaseRanges, uint16_t(s), true);
        }
        for (uint32_t digit = '0'; digit <= '9'; ++digit) {
            uint32_t glyph = font->GlyphForChar(digit);
            if (glyph != 0 && glyph < globals->glyphCount) globals->glyphStyles[glyph] |= kGlyphIsDigit;
        }
    }
    const uint16_t fallback = uint16_t(FallbackStyle());
    for (uint16_t &entry : globals->glyphStyles) {
        if ((entry & kStyleMask) == kStyleUnassigned) entry = uint16_t((entry & ~kStyleMask) | fallback);
    }
}

StyleMetrics *MetricsForGlyph(FaceGlobals *globals, uint32_t glyph) {
    if (glyph >= globals->glyphCount) return nullptr;
    // A style whose measuring fails moves its glyphs to another style; the
    // lookup then starts again, at most once per style.
    for (int attempt = 0; attempt <= StyleCount(); ++attempt) {
        int style = globals->glyphStyles[glyph] & kStyleMask;
        if (style >= StyleCount()) return nullptr;
        std::unique_ptr<StyleMetrics> &slot = globals->metrics[size_t(style)];
        if (slot) return slot.get();
        const StyleClass &styleClass = StyleAt(style);
        const WritingSystemClass &ws = WritingSystemOf(styleClass.writingSystem);
        std::unique_ptr<StyleMetrics> metrics = ws.newMetrics();
        metrics->style = &styleClass;
        metrics->styleIndex = style;
        metrics->globals = globals;
        if (ws.initMetrics && !ws.initMetrics(metrics.get(), globals->font)) continue;
        slot = std::move(metrics);
        return slot.get();
    }
    return nullptr;
}

bool GlyphIsDigit(const FaceGlobals &globals, uint32_t glyph) {
    return glyph < globals.glyphCount && (globals.glyphStyles[glyph] & kGlyphIsDigit);
}

}  // namespace autohint
}  // namespace kelmor
