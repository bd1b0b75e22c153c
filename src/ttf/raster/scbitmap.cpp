// The glyph bitmap: one top-down, row-padded monochrome image per font and
// size, filled span by span by the scan converter.
#include "ttf/raster/scbitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

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
    pBM->Capacity = int32_t(memSize);
    pBM->BoxHPixels = HPixels;
    pBM->BoxVLines = VLines;
    pBM->FitsInk = 0;
    return pBM->lpChar;
}

void FreelpChar(_GlyphBitMap *pBM) {
    delete[] pBM->lpChar;
    pBM->lpChar = nullptr;
    // Keep the byte count honest so that no caller walks a freed block.
    pBM->MemSize = 0;
    pBM->Capacity = 0;
    pBM->FitsInk = 0;
}

namespace {

void SetGeometry(_GlyphBitMap *pBM, int32_t HPixels, int32_t VLines) {
    pBM->CharHPixels = HPixels;
    pBM->CharVLines = VLines;
    pBM->CharHBytes = int32_t(RowBytes(HPixels));
    pBM->MemSize = pBM->CharHBytes * VLines;
}

GlyphBox Union(const GlyphBox &a, const GlyphBox &b) {
    return GlyphBox{std::min(a.left, b.left), std::min(a.bottom, b.bottom),
                    std::max(a.right, b.right), std::max(a.top, b.top)};
}

bool Contains(const GlyphBox &outer, const GlyphBox &inner) {
    return outer.left <= inner.left && outer.bottom <= inner.bottom &&
           outer.right >= inner.right && outer.top >= inner.top;
}

// ORs the ink of `old` (a copy of a bitmap that covered `from`) into the
// bitmap, which now covers a box containing `from`.
void MergeOldInk(_GlyphBitMap *pBM, const std::vector<uint8_t> &old, const GlyphBox &from,
                 int32_t oldHBytes) {
    for (int32_t r = 0; r < from.Height(); ++r) {
        const int32_t row = from.top - 1 - r;
        for (int32_t c = 0; c < from.Width(); ++c) {
            if (old[size_t(r) * oldHBytes + (c >> 3)] & (0x80 >> (c & 7)))
                SetPixel(pBM, from.left + c, row);
        }
    }
}

}  // namespace

GlyphBox BoxOfBitMap(const _GlyphBitMap &BM) {
    return GlyphBox{-BM.OriginX, BM.OriginY - BM.CharVLines, BM.CharHPixels - BM.OriginX,
                    BM.OriginY};
}

bool FitBitMapToGlyph(_GlyphBitMap *pBM, GlyphBox box) {
    if (box.Width() <= 0 || box.Height() <= 0) return false;
    std::vector<uint8_t> old;
    GlyphBox oldBox{};
    const int32_t oldHBytes = pBM->CharHBytes;
    if (pBM->FitsInk && pBM->lpChar != nullptr) {
        oldBox = BoxOfBitMap(*pBM);
        if (Contains(oldBox, box)) return true;
        box = Union(box, oldBox);
        old.assign(pBM->lpChar, pBM->lpChar + pBM->MemSize);
    }
    const int64_t bytes = RowBytes(box.Width()) * box.Height();
    if (bytes > INT32_MAX) return false;
    if (bytes > pBM->Capacity || pBM->lpChar == nullptr) {
        uint8_t *grown = new (std::nothrow) uint8_t[size_t(bytes)];
        if (grown == nullptr) return false;
        delete[] pBM->lpChar;
        pBM->lpChar = grown;
        pBM->Capacity = int32_t(bytes);
    }
    SetGeometry(pBM, box.Width(), box.Height());
    pBM->OriginX = -box.left;
    pBM->OriginY = box.top;
    pBM->FitsInk = 1;
    std::memset(pBM->lpChar, 0, size_t(pBM->MemSize));
    if (!old.empty()) MergeOldInk(pBM, old, oldBox, oldHBytes);
    return true;
}

bool PixelIsSet(const _GlyphBitMap &BM, int32_t column, int32_t row) {
    const int32_t x = column + BM.OriginX, y = BM.OriginY - 1 - row;
    if (x < 0 || x >= BM.CharHPixels || y < 0 || y >= BM.CharVLines) return false;
    return (BM.lpChar[size_t(y) * BM.CharHBytes + (x >> 3)] & (0x80 >> (x & 7))) != 0;
}

void SetPixel(_GlyphBitMap *pBM, int32_t column, int32_t row) {
    const int32_t x = column + pBM->OriginX, y = pBM->OriginY - 1 - row;
    if (x < 0 || x >= pBM->CharHPixels || y < 0 || y >= pBM->CharVLines) return;
    pBM->lpChar[size_t(y) * pBM->CharHBytes + (x >> 3)] |= uint8_t(0x80 >> (x & 7));
}

void ZapBitMap(_GlyphBitMap *pBM) {
    // A glyph sized to its ink in the faithful mode hands the font box back.
    if (pBM->FitsInk) {
        SetGeometry(pBM, pBM->BoxHPixels, pBM->BoxVLines);
        pBM->FitsInk = 0;
    }
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
