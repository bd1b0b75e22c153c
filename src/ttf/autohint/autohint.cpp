// The auto-hinter's glyph loader: styles and metrics for the glyph, the
// hints, and the advance adjusted to the hinted outline.
#include <cstdint>

#include "ttf/autohint/autohint.h"

namespace kelmor {
namespace autohint {

namespace {

Scaler ScalerFor(uint32_t unitsPerEm, int32_t ppem, RenderTarget target) {
    Scaler scaler = {};
    scaler.xScale = scaler.yScale = DivFix(int32_t(uint32_t(ppem) << 6), int32_t(unitsPerEm));
    scaler.target = target;
    scaler.xPpem = uint32_t(ppem);
    return scaler;
}

// Where the origin and the advance go after hinting.  With x hinting
// allowed to move the advance (Latin), both side bearings follow the
// outermost edges and are rounded, keeping at least a little room at very
// small sizes; otherwise both are rounded as scaled.
void AdjustPhantomPoints(const GlyphHints &hints, int32_t *pp1x, int32_t *pp2x) {
    const AxisHints &axis = hints.axis[kDimHorz];
    if (axis.edges.size() > 1 && hints.DoAdvance()) {
        const Edge &edge1 = axis.edges.front();
        const Edge &edge2 = axis.edges.back();
        int32_t oldRsb = *pp2x - edge2.opos;
        int32_t oldLsb = edge1.opos;
        int32_t newLsb = edge1.pos;
        int32_t pp1Unhinted = newLsb - oldLsb;
        int32_t pp2Unhinted = edge2.pos + oldRsb;
        if (oldLsb < 24) pp1Unhinted -= 8;
        if (oldRsb < 24) pp2Unhinted += 8;
        *pp1x = PixRound(pp1Unhinted);
        *pp2x = PixRound(pp2Unhinted);
        if (*pp1x >= newLsb && oldLsb > 0) *pp1x -= 64;
        if (*pp2x <= edge2.pos && oldRsb > 0) *pp2x += 64;
    } else {
        *pp1x = PixRound(*pp1x);
        *pp2x = PixRound(*pp2x);
    }
}

void ScaleOnly(const Outline &in, const GlyphHints &hints, Outline *out) {
    *out = in;
    for (Vector &v : out->points) {
        v.x = MulFix(v.x, hints.xScale) + hints.xDelta;
        v.y = MulFix(v.y, hints.yScale) + hints.yDelta;
    }
}

// The segment and edge tables are released after every glyph: they are
// reserved for the most a glyph's points can make (pointers into them are
// kept while they grow), far more than most glyphs use, and would be the
// largest part of a face's state.  The point buffers are kept for glyphs
// of up to this many points; bigger ones are released after the glyph.
constexpr size_t kKeptPointCapacity = 256;

void TrimGlyphBuffers(AutohintFace *face) {
    GlyphHints &hints = face->hints;
    for (AxisHints &axis : hints.axis) {
        std::vector<Segment>().swap(axis.segments);
        std::vector<Edge>().swap(axis.edges);
    }
    if (hints.points.capacity() <= kKeptPointCapacity) return;
    std::vector<Point>().swap(hints.points);
    std::vector<Point *>().swap(hints.contours);
    std::vector<Vector>().swap(face->fontUnits.points);
    std::vector<uint8_t>().swap(face->fontUnits.tags);
    std::vector<int32_t>().swap(face->fontUnits.contourEnds);
}

}  // namespace

bool AutohintGlyph(AutohintFace *face, FontAccess *font, uint32_t glyph, int32_t ppem, RenderTarget target,
                   HintedGlyph *out) {
    if (font->UnitsPerEm() == 0 || ppem <= 0) return false;
    if (!face->started) {
        ComputeStyleCoverage(&face->globals, font);
        face->started = true;
    }
    // The access object may be made afresh for every glyph.
    face->globals.font = font;
    StyleMetrics *metrics = MetricsForGlyph(&face->globals, glyph);
    if (!metrics) return false;
    const WritingSystemClass &ws = WritingSystemOf(metrics->style->writingSystem);
    const Scaler scaler = ScalerFor(font->UnitsPerEm(), ppem, target);
    if (ws.scaleMetrics)
        ws.scaleMetrics(metrics, scaler);
    else
        metrics->scaler = scaler;
    GlyphHints &hints = face->hints;
    if (ws.initHints && !ws.initHints(&hints, metrics)) return false;

    if (!font->LoadFontUnitOutline(glyph, &face->fontUnits)) return false;
    const int32_t advanceUnits = font->LoadedAdvance(glyph);
    int32_t pp1x = hints.xDelta;
    int32_t pp2x = MulFix(advanceUnits, hints.xScale) + hints.xDelta;

    out->outline.Clear();
    if (!face->fontUnits.points.empty()) {
        ScaleOnly(face->fontUnits, hints, &out->outline);
        if (ws.applyHints(glyph, &hints, face->fontUnits, metrics)) {
            SaveHints(hints, &out->outline);
        } else {
            // Unhintable: drawn as scaled, with no edges to follow.
            for (AxisHints &axis : hints.axis) axis.edges.clear();
        }
        if (target == RenderTarget::kLight) {
            pp1x = PixRound(pp1x);
            pp2x = PixRound(pp2x);
        } else {
            AdjustPhantomPoints(hints, &pp1x, &pp2x);
        }
    }
    if (pp1x != 0) {
        for (Vector &v : out->outline.points) v.x -= pp1x;
    }
    // Monospaced fonts, and digits where all digits advance alike, keep
    // their scaled advance; other glyphs take the hinted one (a glyph
    // without advance keeps none).
    int32_t advance = advanceUnits;
    const bool keepScaled = target != RenderTarget::kLight &&
                            (font->IsFixedPitch() || (GlyphIsDigit(face->globals, glyph) && metrics->digitsHaveSameWidth));
    if (keepScaled)
        advance = MulFix(advanceUnits, metrics->scaler.xScale);
    else if (advance != 0)
        advance = pp2x - pp1x;
    out->advance = PixRound(advance);
    TrimGlyphBuffers(face);
    return true;
}

size_t AutohintFaceBytes(const AutohintFace &face) {
    size_t bytes = face.globals.glyphStyles.capacity() * sizeof(uint16_t);
    bytes += face.globals.metrics.capacity() * sizeof(void *);
    for (const auto &metrics : face.globals.metrics) {
        if (!metrics) continue;
        WritingSystemId id = metrics->style->writingSystem;
        bytes += id == WritingSystemId::kLatin ? sizeof(LatinMetrics)
                 : id == WritingSystemId::kDummy ? sizeof(StyleMetrics)
                                                  : sizeof(CjkMetrics);
    }
    return bytes;
}

}  // namespace autohint
}  // namespace kelmor
