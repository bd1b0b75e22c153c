// The Latin writing system's steps, shared by its files and its tests.
//
// Latin-like scripts (Latin, Greek, Cyrillic and most alphabets) have
// stems in both directions and a few heights that many letters share:
// capital tops, the x-height, the baseline, descenders.  The writing system
// measures those heights once per face as blue zones, and per glyph turns
// segments into edges, snaps the edges near a zone onto the zone, then
// fits stems (pairs of edges) to whole pixels and places the remaining
// edges between them.
//
//   autohint_latin_metrics.cpp  standard widths, blue zones, digit widths
//   autohint_latin_scale.cpp    fitting the metrics to a size
//   autohint_latin_edges.cpp    edges from segments, edges in blue zones
//   autohint_latin_fit.cpp      stem widths and the edge grid-fitting
//   autohint_latin.cpp          the writing system's entry points
#ifndef KELMOR_TTF_AUTOHINT_AUTOHINT_LATIN_H
#define KELMOR_TTF_AUTOHINT_AUTOHINT_LATIN_H

#include <cstdint>

#include "ttf/autohint/autohint_hints.h"

namespace kelmor {
namespace autohint {

// Thresholds of the Latin writing system are given for a 2048-unit em.
inline int32_t LatinUnits(uint32_t unitsPerEm, int32_t value) {
    return int32_t(int64_t(value) * unitsPerEm / 2048);
}

// ------------------------------------------------ per-face measurements

// The standard stem widths of both axes, measured on the first of the
// script's standard characters the font has (a fallback when none).
void MeasureLatinStandardWidths(LatinMetrics *metrics, FontAccess *font);
// The blue zones of the style's reference strings; false when the font has
// none of their characters (the style is then unusable).
bool MeasureLatinBlueZones(LatinMetrics *metrics, FontAccess *font);
// Whether the ASCII digits the font has share one advance width.
bool LatinDigitsHaveSameWidth(FontAccess *font);

// ------------------------------------------------------- per size

// Scales one axis's widths (and, for y, the blue zones) to `scaler`,
// adjusting the y scale so that the x-height lands on the pixel grid.
void ScaleLatinAxis(LatinMetrics *metrics, const Scaler &scaler, Dimension dim);

// ------------------------------------------------------- per glyph

// Gathers the axis's segments into edges, sorted by position, and works
// out each edge's stem link, serif and roundness.  False when the axis
// has no room for another edge.
bool ComputeLatinEdges(GlyphHints *hints, Dimension dim);
// Points each horizontal edge near a blue zone at that zone's position.
void ComputeLatinBlueEdges(GlyphHints *hints, const LatinMetrics &metrics);

// The fitted width of a stem `width` (26.6, signed) whose first edge moved
// by `baseDelta` while fitted; `baseFlags` and `stemFlags` are the two
// edges' flags.
int32_t FitLatinStemWidth(const GlyphHints &hints, Dimension dim, int32_t width, int32_t baseDelta,
                          uint8_t baseFlags, uint8_t stemFlags);
// Moves the axis's edges to their grid-fitted positions.
void HintLatinEdges(GlyphHints *hints, Dimension dim);

}  // namespace autohint
}  // namespace kelmor

#endif
