// Glyph metrics for hosts that lay out lines: the advance from hmtx (or vmtx
// for vertical text), where the glyph origin lies in the font's bitmap, and
// the tight box of the ink the last rendering left there.
//
// hmtx: numberOfHMetrics records of {uint16 advanceWidth, int16
// leftSideBearing}, then bare side bearings; glyphs past the records take
// the last record's advance.  vmtx has the same layout.  The count is the
// last field of the 36-byte hhea (vhea), at offset 34: the font object's
// hhea record is two bytes longer than the table and calls that word
// metricDataFormat, so the count is read from the file here.  The tables
// are read a record at a time, and every count and offset is held against
// the table's length.
#include <cstring>

#include "kelmor.h"
#include "common/bytes.h"
#include "ttf/font/ttf.h"
#include "ttf/raster/scgray.h"
#include "ttf/sfnt/ttf_read.h"

namespace kelmor {

namespace {

constexpr uint32_t kLongMetricBytes = 4;
constexpr uint32_t kLongMetricsCountOffset = 34;  // in hhea and vhea

bool ReadUint16At(_TTFont *pF, const TableDirectoryStruct *table, uint32_t at, uint32_t *value) {
    if (!TableInFile(pF, table) || !SpanInside(at, 2, TableLength(table))) return false;
    uint8_t bytes[2];
    if (ReadFileAt(pF, TableOffset(table) + at, bytes, 2) != 2) return false;
    *value = ReadBE16(bytes);
    return true;
}

// The advance of `glyph` in a metrics table with `longMetrics` full
// records; false when the table cannot give one.
bool AdvanceFromTable(_TTFont *pF, const TableDirectoryStruct *table, uint32_t longMetrics,
                      uint32_t glyph, uint32_t *units) {
    if (longMetrics == 0) return false;
    const uint32_t record = glyph < longMetrics ? glyph : longMetrics - 1;
    return ReadUint16At(pF, table, record * kLongMetricBytes, units);
}

// The advance from a header (hhea, vhea) and its metrics table.
bool AdvanceUnits(_TTFont *pF, const TableDirectoryStruct *header,
                  const TableDirectoryStruct *metrics, uint32_t glyph, uint32_t *units) {
    uint32_t longMetrics = 0;
    if (header == nullptr || metrics == nullptr ||
        !ReadUint16At(pF, header, kLongMetricsCountOffset, &longMetrics))
        return false;
    return AdvanceFromTable(pF, metrics, longMetrics, glyph, units);
}

// The font's height in 1/64 pixel: its box from bottom to top, as sized.
int32_t FontHeight26Dot6(const _TTFont *pF) { return (pF->G.S.yMaxMult - pF->G.S.yMinMult) * 64; }

// Without hmtx (or for a glyph it does not cover) the advance is 0: the
// host then has nothing better than the ink box anyway.
int32_t Advance26Dot6(_TTFont *pF, uint32_t glyph) {
    uint32_t units = 0;
    if (pF->iVertical) {
        if (!AdvanceUnits(pF, TableTagged(pF, "vhea"), TableTagged(pF, "vmtx"), glyph, &units))
            return FontHeight26Dot6(pF);
    } else {
        AdvanceUnits(pF, pF->lpsfntTable[kSlotHhea], pF->lpsfntTable[kSlotHmtx], glyph, &units);
    }
    // CFF glyphs are scaled as the faithful mode scales, in both modes.
    if (pF->Cff != nullptr) return ScaleFUnitsRounded(int32_t(units), pF->G.Scale);
    return ScaleFUnits(int32_t(units), pF->Multiplier);
}

bool RowHasInk(const _GlyphBitMap &BM, int row) {
    const uint8_t *bits = BM.lpChar + size_t(row) * size_t(BM.CharHBytes);
    for (int x = 0; x < BM.CharHPixels; ++x)
        if (((bits[x >> 3] >> (7 - (x & 7))) & 1) == 0) return true;
    return false;
}

bool ColumnHasInk(const _GlyphBitMap &BM, int column) {
    for (int y = 0; y < BM.CharVLines; ++y) {
        const uint8_t *bits = BM.lpChar + size_t(y) * size_t(BM.CharHBytes);
        if (((bits[column >> 3] >> (7 - (column & 7))) & 1) == 0) return true;
    }
    return false;
}

// The tight box of the 0 bits (ink, after inversion) inside the bitmap.
void InkBox(const _GlyphBitMap &BM, KelmorGlyphMetrics *m) {
    m->iInkLeft = m->iInkTop = m->iInkWidth = m->iInkHeight = 0;
    if (BM.lpChar == nullptr) return;
    int top = 0, bottom = BM.CharVLines - 1;
    while (top <= bottom && !RowHasInk(BM, top)) ++top;
    if (top > bottom) return;
    while (!RowHasInk(BM, bottom)) --bottom;
    int left = 0, right = BM.CharHPixels - 1;
    while (!ColumnHasInk(BM, left)) ++left;
    while (!ColumnHasInk(BM, right)) --right;
    m->iInkLeft = left;
    m->iInkTop = top;
    m->iInkWidth = right - left + 1;
    m->iInkHeight = bottom - top + 1;
}

// The horizontal advance the drawing left (an embedded image's, or the
// faithful mode's advance phantom point), else the tables'.  Vertical
// advances always come from the tables, so that vertical text keeps its cell
// height (the images' vertical metrics are often left out).
int32_t GlyphAdvance26Dot6(_TTFont *pF, uint32_t glyph) {
    if (pF->G.AdvanceDrawn && !pF->iVertical) return pF->G.DrawnAdvance;
    return Advance26Dot6(pF, glyph);
}

}  // namespace

// A bitmap sized to the glyph's ink (the faithful mode) knows where the
// origin lies.  Otherwise columns count from the glyph origin, so the origin
// is on column 0's left edge, and rows count up from the box's bottom
// (yMinMult), so the baseline is yMinMult rows above the bottom of the
// bitmap.
void MeasureRenderedGlyph(_TTFont *pF, uint32_t glyph, KelmorGlyphMetrics *m) {
    const int32_t advance = GlyphAdvance26Dot6(pF, glyph);
    m->lAdvance = advance;
    m->iAdvance = int32_t((int64_t(advance) + 32) >> 6);
    const _GlyphBitMap &BM = pF->G.BM;
    m->iOriginX = BM.FitsInk ? BM.OriginX : 0;
    m->iOriginY = BM.FitsInk ? BM.OriginY : BM.CharVLines + pF->G.S.yMinMult;
    InkBox(BM, m);
}

void MeasureGrayGlyph(_TTFont *pF, uint32_t glyph, KelmorGlyphMetrics *m) {
    const int32_t advance = GlyphAdvance26Dot6(pF, glyph);
    m->lAdvance = advance;
    m->iAdvance = int32_t((int64_t(advance) + 32) >> 6);
    m->iInkLeft = m->iInkTop = m->iInkWidth = m->iInkHeight = 0;
    const GrayGlyph g = pF->Gray != nullptr ? GrayGlyphOf(*pF->Gray) : GrayGlyph{nullptr, 0, 0, 0, 0};
    m->iOriginX = -g.left;
    m->iOriginY = g.top;
    int32_t left = g.width, right = -1, top = g.rows, bottom = -1;
    for (int32_t y = 0; y < g.rows; ++y) {
        const uint8_t *row = g.pixels + size_t(y) * size_t(g.width);
        for (int32_t x = 0; x < g.width; ++x) {
            if (row[x] == 0) continue;
            left = x < left ? x : left, right = x > right ? x : right;
            top = y < top ? y : top, bottom = y;
        }
    }
    if (right < 0) return;
    m->iInkLeft = left;
    m->iInkTop = top;
    m->iInkWidth = right - left + 1;
    m->iInkHeight = bottom - top + 1;
}

}  // namespace kelmor
