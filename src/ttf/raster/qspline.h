// Outline to polylines: contour walk and quadratic-arc flattener.
#ifndef KELMOR_TTF_RASTER_QSPLINE_H
#define KELMOR_TTF_RASTER_QSPLINE_H

#include <cstdint>

#include "ttf/records/ttf_records.h"
#include "ttf/raster/scscan.h"

namespace kelmor {

struct _POINTFX {
    int32_t pt_x;
    int32_t pt_y;
};
struct _QS {
    _POINTFX ptfxStartPt;
    _POINTFX ptfxCntlPt;
    _POINTFX ptfxEndPt;
};

constexpr int iShift = 11;
constexpr int jShift = 5;
constexpr int ifirst = 0;
constexpr unsigned kArcPointBuffer = 500;
constexpr unsigned kArcCapacity = 257;

void PointsToCurves(unsigned NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart,
                    ScanInfo *pS);
// Scans an outline into the glyph bitmap: PointsToCurves, then MakeBitMap.
void ScanOutline(ScanInfo *pS, unsigned NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart,
                 _GlyphBitMap *pBM);
void AddCurve(ScanInfo *pS, const longpointtype p[3]);
void sAddCurve(ScanInfo *pS, const longpointtype p[3]);
int QSpline2Polyline(_POINT *lpptBuffer, const _QS *lpqsPoints, int inGY, unsigned *count);

}  // namespace kelmor

#endif
