// The coverage (grey) rasterizer: for every pixel, the share of its area
// that lies inside the outline under the non-zero winding rule, as a level
// from 0 (outside) to 255 (inside).  It reads the same outlines as the
// faithful scan converter (quadratic glyf outlines, hinted or not, and CFF
// cubic outlines) and sizes its bitmap to the outline's control box.
#ifndef KELMOR_TTF_RASTER_SCGRAY_H
#define KELMOR_TTF_RASTER_SCGRAY_H

#include <cstddef>
#include <cstdint>

#include "ttf/records/ttf_records.h"

namespace kelmor {

// The grey bitmap of the glyph scanned last: `rows` rows of `width` levels,
// top row first, one byte per pixel.  The bitmap's left edge lies `left`
// pixels right of the glyph origin and its top edge `top` pixels above the
// baseline.  `pixels` belongs to the scanner and lives until its next scan.
struct GrayGlyph {
    const uint8_t *pixels;
    int32_t width;
    int32_t rows;
    int32_t left;
    int32_t top;
};

// The scanner's working state; `*slot` holds it for a face, made on first
// use.  Null when memory runs out.
GrayScanner *GrayScannerOf(GrayScanner **slot);
void FreeGrayScanner(GrayScanner **slot);
// The bytes the scanner holds now (bitmap and cells).
size_t GrayScannerBytes(const GrayScanner *g);

// Scans a quadratic outline (26.6, from the glyph origin; the points of the
// contours up to lpEndPoints[NumContours - 1]).  An outline without area
// gives an empty bitmap.  False only when memory runs out.
bool ScanOutlineGray(GrayScanner *g, unsigned NumContours, const int16_t *lpEndPoints,
                     TTFCoord *lpStart);
// The same for a cubic outline (CFF).
bool ScanCubicOutlineGray(GrayScanner *g, const CubicOutline &outline);
// Forgets the last glyph: the result is an empty bitmap.
void ClearGrayGlyph(GrayScanner *g);
GrayGlyph GrayGlyphOf(const GrayScanner &g);

// The last glyph's levels at 1, 2, 4 or 8 bits per pixel (each level's top
// bits: 0 background, all ones full ink), leftmost pixel in the most
// significant bits, every row starting on a byte (*rowBytes bytes).  Held
// by the scanner until its next scan; null for another depth, an empty
// glyph, or when memory runs out.
const uint8_t *PackedGrayLevels(GrayScanner *g, int bitsPerPixel, int32_t *rowBytes);
// One level reduced to `bitsPerPixel` bits as PackedGrayLevels reduces it.
inline uint8_t ReducedLevel(uint8_t level, int bitsPerPixel) { return uint8_t(level >> (8 - bitsPerPixel)); }

}  // namespace kelmor

#endif
