// The glyph bitmap: storage, span writer and final inversion.
#ifndef KELMOR_TTF_RASTER_SCBITMAP_H
#define KELMOR_TTF_RASTER_SCBITMAP_H

#include <cstdint>

#include "ttf/font/ttf_records.h"

namespace kelmor {


uint8_t *InitlpChar(_GlyphBitMap *pBM, int HPixels, int VLines);
void FreelpChar(_GlyphBitMap *pBM);
void ZapBitMap(_GlyphBitMap *pBM);
void AddBitLine(_GlyphBitMap *pBM, int x1, int x2, int y);
void InvertBits(uint8_t *pC, int iSize);

}  // namespace kelmor

#endif
