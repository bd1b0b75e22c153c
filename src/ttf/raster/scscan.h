// Scan converter: records edge crossings with pixel-row centres and fills
// rows by the non-zero winding rule.
#ifndef KELMOR_TTF_RASTER_SCSCAN_H
#define KELMOR_TTF_RASTER_SCSCAN_H

#include <cstdint>

#include "ttf/records/ttf_records.h"
#include "ttf/raster/scbitmap.h"

namespace kelmor {


constexpr uint32_t MaxTransitions = 20;
constexpr int32_t kMaxScanBufferBytes = 65000;

// Current point of the edge stream: one per thread, so that fonts drawn on
// different threads never share a pen.
extern thread_local int32_t xEnd;
extern thread_local int32_t yEnd;

// A polyline vertex.
struct _POINT {
    int32_t x;
    int32_t y;
};

int32_t *InitScanBuffer(ScanInfo *pS, uint32_t InitScanLines, uint32_t InitScanDepth);
void FreeScanBuffer(ScanInfo *pS);
void ZapScanBuffer(ScanInfo *pS);
void AddLineSeg(ScanInfo *pS, int32_t ThisX, int32_t ThisY, uint8_t first);
// AddLineSeg(pS, x * 2^shift, y * 2^shift, 0) for each vertex in turn.
void AddPolyline(ScanInfo *pS, const _POINT *points, unsigned count, int shift);
void MakeBitMap(ScanInfo *pS, _GlyphBitMap *pBM);
int LineComp(int32_t a, int32_t b);

// A crossing slot: its x (26.6, from the glyph origin) and whether the edge
// runs upward.  0 is never a crossing; it marks an empty slot.
int32_t EncodeCrossing(int64_t x, bool upward);
int64_t CrossingX(int32_t slot);
bool CrossingUpward(int32_t slot);

}  // namespace kelmor

#endif
