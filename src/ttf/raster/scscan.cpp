// Scan converter.  Edges are sampled where they cross the centre line of
// each pixel row; every row keeps a short list of crossings that are sorted
// and paired by the non-zero winding rule when the bitmap is made.
//
// How it runs, for one glyph:
//   1. ZapScanBuffer empties the rows that the last glyph used.
//   2. qspline.cpp walks each contour, flattens its arcs and hands the
//      vertices to AddLineSeg (or AddPolyline), which keeps the pen in
//      xEnd/yEnd.  Each edge records one crossing, with its direction, in
//      every row whose centre it passes over (RecordCrossing); rows between
//      LowRow and HighRow are the only ones that can hold any.  A row that
//      runs out of its ScanDepth slots drops the crossing and sets OverFlow.
//   3. MakeBitMap sorts each row's crossings by x, walks them keeping the
//      winding count, and sets the pixels whose centres lie where the count
//      is non-zero (AddBitLine); the bitmap is inverted later for callers.
// Nothing here knows about hinting: the outline arrives in 26.6 pixels.
//
// A slot holds one crossing: bit 30 is set for an edge running upward and
// bits 0-29 hold the crossing's x (26.6, from the glyph origin) plus
// kSlotBias.  The bias keeps every stored value non-zero, so 0 still marks an
// empty slot, and lets crossings left of the origin or far to the right be
// told apart from the direction bit.
#include "ttf/raster/scscan.h"

#include "ttf/raster/scexact.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kelmor {

thread_local int32_t xEnd = 0;
thread_local int32_t yEnd = 0;

namespace {

constexpr int32_t kUpwardBit = int32_t(1) << 30;
constexpr int32_t kSlotXMask = kUpwardBit - 1;
constexpr int64_t kSlotBias = int64_t(1) << 29;
// Crossings beyond these lie millions of pixels outside any bitmap; pinning
// them there keeps the fill of the visible columns unchanged.
constexpr int64_t kSlotXMin = 1 - kSlotBias;
constexpr int64_t kSlotXMax = kSlotBias - 1;

// The winding contribution of a crossing: upward edges count -1.
int CrossingWinding(int32_t slot) { return CrossingUpward(slot) ? -1 : 1; }

// The first pixel column whose centre lies right of x (floor division, so
// crossings left of the origin give negative columns that the bitmap clips).
int ColumnRightOf(int64_t x) {
    const int64_t column = (x + 32) >> 6;
    return int(std::clamp<int64_t>(column, INT32_MIN, INT32_MAX));
}

// y relative to the bottom of the font box.  Points above the box are
// lowered to its top and points below it raised to its bottom, so ink
// outside the box is flattened onto its border.  Then the point is moved off
// a row centre: a vertex exactly on a centre would otherwise be counted by
// both edges meeting there, or by neither.
int32_t RelativeY(const ScanInfo *pS, int32_t y) {
    const int64_t top = int64_t(pS->yMaxMult) * 64;
    int64_t rel = std::min<int64_t>(y, top) - int64_t(pS->yMinMult) * 64;
    if (rel < 0) rel = 0;
    if ((rel & 63) == 32) rel += 1;
    return int32_t(rel);
}

// Rows lo .. hi (inclusive) are about to receive crossings.
void WidenUsedRows(ScanInfo *pS, uint32_t lo, uint32_t hi) {
    if (pS->HighRow == 0) {
        pS->LowRow = lo;
        pS->HighRow = hi + 1;
        return;
    }
    pS->LowRow = std::min(pS->LowRow, lo);
    pS->HighRow = std::max(pS->HighRow, hi + 1);
}

void RecordCrossing(ScanInfo *pS, uint32_t row, int32_t slot) {
    const uint32_t used = pS->RowFill[row];
    if (used >= pS->ScanDepth) {
        pS->OverFlow = 1;
        return;
    }
    pS->ScanBuffer[size_t(row) * pS->ScanDepth + used] = slot;
    pS->RowFill[row] = uint16_t(used + 1);
}

// One edge between two stored points, in relative coordinates.
struct Edge {
    int64_t xStart, yStart, xEndPt, yEndPt;
};

// The start of an edge's walk over row centres: the first centre at or
// beyond its start in the direction of travel and the edge's x there.
struct CentreWalk {
    int64_t centre;
    int64_t x;
    int direction;  // +1 upward, -1 downward
};

// The first crossing is interpolated exactly (rounded); later ones add the
// rounded step, 64 * dx / dy, which is worked out only for an edge that
// crosses a second centre.  False when the edge crosses no centre, which is
// always so for a horizontal edge.
bool StartWalk(const Edge &e, CentreWalk *w) {
    const int64_t dx = e.xEndPt - e.xStart;
    const int64_t dy = e.yEndPt - e.yStart;
    if (dy == 0) return false;
    w->direction = dy > 0 ? 1 : -1;
    w->centre = ((e.yStart + (w->direction < 0 ? 1 : 0) + 31) & ~int64_t(63)) + 32 * w->direction;
    if (w->direction > 0 ? w->centre > e.yEndPt : w->centre < e.yEndPt) return false;

    const int64_t ady = dy < 0 ? -dy : dy;
    w->x = (ady <= 1) ? e.xEndPt : e.xStart + ((w->centre - e.yStart) * dx + dy / 2) / dy;
    return true;
}

int64_t StepOf(const Edge &e) {
    const int64_t dx = e.xEndPt - e.xStart;
    const int64_t dy = e.yEndPt - e.yStart;
    const int64_t adx = dx < 0 ? -dx : dx;
    const int64_t ady = dy < 0 ? -dy : dy;
    return (dx >= 0 ? 1 : -1) * ((128 * adx + ady) / (2 * ady));
}

// Records the crossings of an edge with the row centres strictly between
// its end points.  The ends are already inside the box (see RelativeY), so
// the top row, whose lower edge is the box's top, never gets a crossing.
// Row 0 is recorded like any other: the box's bottom is the font's lowest
// point rounded up, so glyphs that reach it have real ink in that row, and
// leaving it out would shave the bottom pixel row off every descender.
void WalkEdge(ScanInfo *pS, const Edge &e) {
    CentreWalk w;
    if (!StartWalk(e, &w)) return;
    // The centres the edge crosses, and those of them inside the buffer
    // (centres above its last row are passed over).
    const int64_t lastCentre = int64_t(pS->ScanLines) * 64 - 32;
    const int64_t crossed = (w.direction > 0 ? e.yEndPt - w.centre : w.centre - e.yEndPt) / 64 + 1;
    const int64_t farCentre = w.centre + 64 * w.direction * (crossed - 1);
    const int64_t top = std::min(std::max(w.centre, farCentre), lastCentre);
    const int64_t bottom = std::min(w.centre, farCentre);
    if (bottom > top) return;
    WidenUsedRows(pS, uint32_t(bottom >> 6), uint32_t(top >> 6));
    const bool upward = w.direction > 0;
    const int64_t step = crossed > 1 ? StepOf(e) : 0;
    int64_t x = w.x;
    for (int64_t k = 0, centre = w.centre; k < crossed; ++k, centre += 64 * w.direction, x += step)
        if (centre <= lastCentre) RecordCrossing(pS, uint32_t(centre >> 6), EncodeCrossing(x, upward));
}

// Most edges of a flattened outline are short and cross no row centre:
// both ends lie strictly between the same two centres.  Those are settled
// here, before any of the walk's arithmetic.
inline bool CrossesNoCentre(const Edge &e) {
    const int64_t a = e.yStart - 32, b = e.yEndPt - 32;
    return (a >> 6) == (b >> 6) && (a & 63) != 0 && (b & 63) != 0;
}

inline void RecordEdge(ScanInfo *pS, const Edge &e) {
    if (!CrossesNoCentre(e)) WalkEdge(pS, e);
}

// Sets the pixels of one run, from crossing x xa to crossing x xb: every
// column whose centre lies in (xa, xb].  A run too thin to cover any centre
// still shows: its start column alone is set.
void FillRun(_GlyphBitMap *pBM, int64_t xa, int64_t xb, int row) {
    AddBitLine(pBM, ColumnRightOf(xa), ColumnRightOf(xb), row);
}

// Ascending by x (LineComp's order).  Rows hold a handful of crossings,
// so insertion is the quickest sort; crossings with equal x keep the
// order they were recorded in.
void SortCrossings(int32_t *slots, int count) {
    for (int i = 1; i < count; ++i) {
        const int32_t slot = slots[i];
        const int32_t x = slot & kSlotXMask;
        int j = i;
        for (; j > 0 && (slots[j - 1] & kSlotXMask) > x; --j) slots[j] = slots[j - 1];
        slots[j] = slot;
    }
}

void FillRow(int32_t *slots, int count, int row, _GlyphBitMap *pBM) {
    SortCrossings(slots, count);
    int winding = 0;
    int64_t runStart = 0;
    // Winding changes by one per crossing, so it can only return to zero
    // after an even number of them: checking at pair ends is enough.
    for (int i = 0; i + 1 < count; i += 2) {
        if (winding == 0) runStart = CrossingX(slots[i]);
        winding += CrossingWinding(slots[i]) + CrossingWinding(slots[i + 1]);
        if (winding == 0) FillRun(pBM, runStart, CrossingX(slots[i + 1]), row);
    }
}

}  // namespace

int32_t EncodeCrossing(int64_t x, bool upward) {
    const int64_t field = std::clamp(x, kSlotXMin, kSlotXMax) + kSlotBias;
    return int32_t(field) | (upward ? kUpwardBit : 0);
}

int64_t CrossingX(int32_t slot) { return int64_t(slot & kSlotXMask) - kSlotBias; }

bool CrossingUpward(int32_t slot) { return (slot & kUpwardBit) != 0; }

int32_t *InitScanBuffer(ScanInfo *pS, uint32_t InitScanLines, uint32_t InitScanDepth) {
    FreeScanBuffer(pS);
    const uint64_t size = uint64_t(InitScanLines) * InitScanDepth * sizeof(int32_t);
    // Without a buffer the counts describe nothing; leaving them zero means
    // no row walk can index the missing block.
    pS->ScanLines = 0;
    pS->ScanDepth = 0;
    pS->ScanSize = 0;
    pS->LowRow = pS->HighRow = 0;
    if (size > uint64_t(kMaxScanBufferBytes) ||
        uint64_t(InitScanLines) * sizeof(uint16_t) > uint64_t(kMaxScanBufferBytes))
        return nullptr;
    // Zeroed once here; from then on clearing visits only the rows used.
    pS->ScanBuffer = new (std::nothrow) int32_t[size_t(InitScanLines) * InitScanDepth]();
    pS->RowFill = new (std::nothrow) uint16_t[InitScanLines]();
    if (pS->ScanBuffer == nullptr || pS->RowFill == nullptr) {
        FreeScanBuffer(pS);
        return nullptr;
    }
    pS->ScanLines = InitScanLines;
    pS->ScanDepth = InitScanDepth;
    pS->ScanSize = int32_t(size);
    return pS->ScanBuffer;
}

void FreeScanBuffer(ScanInfo *pS) {
    FreeExactScanner(pS);
    delete[] pS->ScanBuffer;
    pS->ScanBuffer = nullptr;
    delete[] pS->RowFill;
    pS->RowFill = nullptr;
}

void ZapScanBuffer(ScanInfo *pS) {
    if (pS->ScanBuffer != nullptr && pS->HighRow > pS->LowRow) {
        const size_t first = size_t(pS->LowRow) * pS->ScanDepth;
        const size_t slots = size_t(pS->HighRow - pS->LowRow) * pS->ScanDepth;
        std::memset(pS->ScanBuffer + first, 0, slots * sizeof(int32_t));
        std::memset(pS->RowFill + pS->LowRow, 0, (pS->HighRow - pS->LowRow) * sizeof(uint16_t));
    }
    pS->LowRow = pS->HighRow = 0;
}

void AddLineSeg(ScanInfo *pS, int32_t ThisX, int32_t ThisY, uint8_t first) {
    if (pS->ScanBuffer == nullptr) return;
    const Edge e{xEnd, yEnd, ThisX, RelativeY(pS, ThisY)};
    xEnd = ThisX;
    yEnd = int32_t(e.yEndPt);
    if (first == 0) RecordEdge(pS, e);
}

void AddPolyline(ScanInfo *pS, const _POINT *points, unsigned count, int shift) {
    if (pS->ScanBuffer == nullptr || count == 0) return;
    Edge e{xEnd, yEnd, 0, 0};
    for (unsigned i = 0; i < count; ++i) {
        e.xEndPt = int32_t(uint32_t(points[i].x) << shift);
        e.yEndPt = RelativeY(pS, int32_t(uint32_t(points[i].y) << shift));
        RecordEdge(pS, e);
        e.xStart = e.xEndPt;
        e.yStart = e.yEndPt;
    }
    xEnd = int32_t(e.xStart);
    yEnd = int32_t(e.yStart);
}

void MakeBitMap(ScanInfo *pS, _GlyphBitMap *pBM) {
    if (pS->ScanBuffer == nullptr) return;
    for (uint32_t row = pS->HighRow; row-- > pS->LowRow;) {
        int32_t *slots = pS->ScanBuffer + size_t(row) * pS->ScanDepth;
        const int count = pS->RowFill[row];
        if (count > 0) FillRow(slots, count, int(row), pBM);
    }
}

int LineComp(int32_t a, int32_t b) { return (a & kSlotXMask) - (b & kSlotXMask); }

}  // namespace kelmor
