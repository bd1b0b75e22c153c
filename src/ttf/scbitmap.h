// The glyph bitmap: storage, span writer and final inversion.
#ifndef KELMOR_TTF_SCBITMAP_H
#define KELMOR_TTF_SCBITMAP_H

#include <cstdint>

namespace kelmor {

struct _GlyphBitMap {
    int32_t CharHPixels;  // width in pixels
    int32_t CharVLines;   // height in rows
    uint8_t *lpChar;      // the bits, rows top to bottom; null when absent
    int32_t iDIB;         // declared, unused
    int32_t CharHBytes;   // bytes per row, a multiple of 2
    int32_t MemSize;      // CharHBytes * CharVLines
};

uint8_t *InitlpChar(_GlyphBitMap *pBM, int HPixels, int VLines);
void FreelpChar(_GlyphBitMap *pBM);
void ZapBitMap(_GlyphBitMap *pBM);
void AddBitLine(_GlyphBitMap *pBM, int x1, int x2, int y);
void InvertBits(uint8_t *pC, int iSize);

}  // namespace kelmor

#endif
