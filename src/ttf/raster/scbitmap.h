// The glyph bitmap: storage, span writer and final inversion.
#ifndef KELMOR_TTF_RASTER_SCBITMAP_H
#define KELMOR_TTF_RASTER_SCBITMAP_H

#include <cstdint>

#include "ttf/records/ttf_records.h"

namespace kelmor {


uint8_t *InitlpChar(_GlyphBitMap *pBM, int HPixels, int VLines);
void FreelpChar(_GlyphBitMap *pBM);
void ZapBitMap(_GlyphBitMap *pBM);
void AddBitLine(_GlyphBitMap *pBM, int x1, int x2, int y);
void InvertBits(uint8_t *pC, int iSize);

// A glyph's pixels relative to its origin: columns left .. right - 1 and
// rows bottom .. top - 1 (row 0 lies just above the baseline).
struct GlyphBox {
    int32_t left, bottom, right, top;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return top - bottom; }
};

// Sizes the bitmap to `box` for the faithful mode, growing its block when
// needed.  A bitmap already sized to an earlier part of the same glyph
// (FitsInk) is widened to cover both and keeps its ink.  False, leaving
// the bitmap as it was, for an empty box or when memory runs out.
bool FitBitMapToGlyph(_GlyphBitMap *pBM, GlyphBox box);
// The box a bitmap sized by FitBitMapToGlyph covers.
GlyphBox BoxOfBitMap(const _GlyphBitMap &BM);
// One pixel, in the box's coordinates; false outside the bitmap.
bool PixelIsSet(const _GlyphBitMap &BM, int32_t column, int32_t row);
void SetPixel(_GlyphBitMap *pBM, int32_t column, int32_t row);

}  // namespace kelmor

#endif
