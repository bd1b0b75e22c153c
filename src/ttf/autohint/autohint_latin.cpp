// The Latin writing system's entry points: measuring a style, fitting it
// to a size, and hinting one glyph.
#include <memory>

#include "ttf/autohint/autohint_latin.h"

namespace kelmor {
namespace autohint {
namespace {

std::unique_ptr<StyleMetrics> NewLatinMetrics() { return std::make_unique<LatinMetrics>(); }

// A style without blue zones cannot be hinted: its glyphs go to the style
// that only scales (their digit and mark bits go with it, as in the
// reference).
void HandStyleToNone(StyleMetrics *metrics) {
    FaceGlobals *globals = metrics->globals;
    const int none = FindStyle("none_dflt");
    if (globals == nullptr || none < 0 || metrics->styleIndex < 0) return;
    for (uint16_t &style : globals->glyphStyles) {
        if ((style & kStyleMask) == uint16_t(metrics->styleIndex)) style = uint16_t(none);
    }
}

bool GlyphIsNonbase(const StyleMetrics &metrics, uint32_t glyph) {
    const FaceGlobals *globals = metrics.globals;
    return globals != nullptr && glyph < globals->glyphStyles.size() &&
           (globals->glyphStyles[glyph] & kGlyphIsNonbase) != 0;
}

// Segments, stems and edges of one axis.
bool DetectFeatures(GlyphHints *hints, const LatinAxis &axis, Dimension dim) {
    if (!ComputeSegments(hints, dim)) return false;
    LinkSegments(hints, axis.widthCount, axis.widths, dim);
    return ComputeLatinEdges(hints, dim);
}

// Fits the axis's edges, then moves the points: those on edges, the strong
// ones between edges, then the weak ones between those.
void FitAxis(GlyphHints *hints, Dimension dim) {
    HintLatinEdges(hints, dim);
    AlignEdgePoints(hints, dim);
    AlignStrongPoints(hints, dim);
    AlignWeakPoints(hints, dim);
}

}  // namespace

const WritingSystemClass kLatinWritingSystem = {WritingSystemId::kLatin, NewLatinMetrics,
                                                InitLatinMetrics,        ScaleLatinMetrics,
                                                InitLatinHints,          ApplyLatinHints};

bool InitLatinMetrics(StyleMetrics *base, FontAccess *font) {
    LatinMetrics *metrics = static_cast<LatinMetrics *>(base);
    metrics->unitsPerEm = font->UnitsPerEm();
    // Without a Unicode map there is nothing to measure; the style keeps
    // empty metrics (no widths, no zones) as the reference keeps them.
    if (!font->HasUnicodeMap()) return true;
    MeasureLatinStandardWidths(metrics, font);
    if (!MeasureLatinBlueZones(metrics, font)) {
        HandStyleToNone(metrics);
        return false;
    }
    metrics->digitsHaveSameWidth = LatinDigitsHaveSameWidth(font);
    return true;
}

void ScaleLatinMetrics(StyleMetrics *base, const Scaler &scaler) {
    LatinMetrics *metrics = static_cast<LatinMetrics *>(base);
    metrics->scaler.target = scaler.target;
    metrics->scaler.flags = scaler.flags;
    metrics->scaler.xPpem = scaler.xPpem;
    ScaleLatinAxis(metrics, scaler, kDimHorz);
    ScaleLatinAxis(metrics, scaler, kDimVert);
}

bool InitLatinHints(GlyphHints *hints, StyleMetrics *base) {
    LatinMetrics *metrics = static_cast<LatinMetrics *>(base);
    // The metrics' scales, which the x-height may have adjusted.
    StartGlyphHints(hints, metrics, metrics->axis[kDimHorz], metrics->axis[kDimVert]);
    const RenderTarget target = metrics->scaler.target;
    // Light and LCD targets, and italic faces, keep x unhinted.
    const bool italic = metrics->globals != nullptr && metrics->globals->font != nullptr &&
                        metrics->globals->font->IsItalic();
    if (target == RenderTarget::kLight || target == RenderTarget::kLcd || italic)
        hints->scalerFlags |= kScalerNoHorizontal;
    return true;
}

bool ApplyLatinHints(uint32_t glyph, GlyphHints *hints, const Outline &outline,
                     StyleMetrics *base) {
    LatinMetrics *metrics = static_cast<LatinMetrics *>(base);
    if (!ReloadHints(hints, outline)) return false;
    if (hints->DoHorizontal() &&
        !DetectFeatures(hints, metrics->axis[kDimHorz], kDimHorz))
        return false;
    if (hints->DoVertical()) {
        if (!DetectFeatures(hints, metrics->axis[kDimVert], kDimVert)) return false;
        // Marks sit above or below their base: blue zones would pull them
        // onto the base's heights.
        if (!GlyphIsNonbase(*metrics, glyph)) ComputeLatinBlueEdges(hints, *metrics);
    }
    if (hints->DoHorizontal()) FitAxis(hints, kDimHorz);
    if (hints->DoVertical()) FitAxis(hints, kDimVert);
    return true;
}

}  // namespace autohint
}  // namespace kelmor
