// The glyph bitmap: one top-down, row-padded monochrome image per font and
// size, filled span by span by the scan converter.
#include "ttf/raster/scbitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace kelmor {

// Rows are padded to whole 16-bit words, the unit hosts blit in.
static int64_t RowBytes(int64_t HPixels) { return ((HPixels + 15) / 16) * 2; }

uint8_t *InitlpChar(_GlyphBitMap *pBM, int HPixels, int VLines) {
    FreelpChar(pBM);
    // The size comes from the font's bounding box: a box that is empty,
    // inverted or too large for a 32-bit byte count gets no bitmap, and
    // sizing the font fails instead of allocating a wrong-sized block.
    if (HPixels <= 0 || VLines <= 0) return nullptr;
    const int64_t hBytes = RowBytes(HPixels);
    const int64_t memSize = hBytes * VLines;
    if (memSize > INT32_MAX) return nullptr;
    pBM->lpChar = new (std::nothrow) uint8_t[size_t(memSize)];
    if (pBM->lpChar == nullptr) return nullptr;
    pBM->CharHPixels = HPixels;
    pBM->CharVLines = VLines;
    pBM->CharHBytes = int32_t(hBytes);
    pBM->MemSize = int32_t(memSize);
    return pBM->lpChar;
}

void FreelpChar(_GlyphBitMap *pBM) {
    delete[] pBM->lpChar;
    pBM->lpChar = nullptr;
    // Keep the byte count honest so that no caller walks a freed block.
    pBM->MemSize = 0;
}

void ZapBitMap(_GlyphBitMap *pBM) {
    if (pBM->lpChar != nullptr) std::memset(pBM->lpChar, 0, size_t(pBM->MemSize));
}

void AddBitLine(_GlyphBitMap *pBM, int x1, int x2, int y) {
    // A run too narrow to cover any pixel centre still shows as one pixel,
    // so thin strokes never vanish.
    int64_t first = x1;
    int64_t end = (x2 == x1) ? int64_t(x1) + 1 : int64_t(x2);
    if (pBM->lpChar == nullptr || y < 0 || y >= pBM->CharVLines) return;
    // Columns count from the glyph origin while the bitmap spans the font
    // box: ink left of the origin or past the last column has no place in
    // the bitmap and is dropped, never written into a neighbouring row.
    first = std::max<int64_t>(first, 0);
    end = std::min<int64_t>(end, pBM->CharHPixels);
    if (first >= end) return;

    uint8_t *row = pBM->lpChar + int64_t(pBM->CharVLines - 1 - y) * pBM->CharHBytes;
    const int64_t firstByte = first >> 3;
    const int64_t lastByte = (end - 1) >> 3;
    const uint8_t firstMask = uint8_t(0xFF >> (first & 7));
    const uint8_t lastMask = uint8_t(0xFF00 >> (((end - 1) & 7) + 1));
    for (int64_t b = firstByte; b <= lastByte; ++b) {
        uint8_t mask = 0xFF;
        if (b == firstByte) mask &= firstMask;
        if (b == lastByte) mask &= lastMask;
        row[b] |= mask;
    }
}

void InvertBits(uint8_t *pC, int iSize) {
    if (pC == nullptr) return;
    for (int i = 0; i < iSize; ++i) pC[i] = uint8_t(~pC[i]);
}

}  // namespace kelmor
