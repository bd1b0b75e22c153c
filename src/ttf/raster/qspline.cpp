// Outline to polylines.  Contours are walked point by point, implied
// on-curve points are put back between consecutive control points, and each
// quadratic arc is cut into short straight edges by integer forward
// differences before it reaches the scan converter.
#include "ttf/raster/qspline.h"

#include "ttf/raster/contour_walk.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace kelmor {

namespace {

constexpr int kMaxStepExponent = 8;  // at most 256 steps per arc
constexpr int kMaxRunExponent = 5;   // one forward-difference run: 32 steps
constexpr int64_t kFlatnessUnit = 128;
// Arc coordinates are scaled by 2^iShift in 32 bits before flattening; an
// arc reaching farther from the origin is drawn as a straight edge.
constexpr int32_t kMaxArcCoordinate = (INT32_MAX >> iShift);

// One arc in the flattener's units; 64-bit so that no input, however wild,
// can overflow the arithmetic below.
struct Arc {
    int64_t ax, ay, bx, by, cx, cy;
};

Arc ArcFrom(const _QS &qs, int shift) {
    return Arc{qs.ptfxStartPt.pt_x >> shift, qs.ptfxStartPt.pt_y >> shift,
               qs.ptfxCntlPt.pt_x >> shift,  qs.ptfxCntlPt.pt_y >> shift,
               qs.ptfxEndPt.pt_x >> shift,   qs.ptfxEndPt.pt_y >> shift};
}

// Steps grow with the arc's bend: about one per 1/128 pixel of deviation,
// as a power of two.
int StepExponent(int64_t ddx, int64_t ddy) {
    const int64_t a = std::llabs(ddx);
    const int64_t b = std::llabs(ddy);
    int64_t gx = 2 * std::max(a, b) + std::min(a, b);
    int gy = 1;
    while (gx > kFlatnessUnit) {
        ++gy;
        gx >>= 2;
    }
    return std::min(gy, kMaxStepExponent);
}

// Rounds an accumulator (N^2 times a point, in 1/128 pixel) to half pixels.
int32_t ToHalfPixels(int64_t acc, int s) {
    const int64_t half = int64_t(1) << (s - 1);
    return int32_t(((((acc + half) >> s) + 3) >> 3) >> 3);
}

// Writes the 2^gy points of one forward-difference run, t = k/N for k = 1..N.
void ForwardDifferences(_POINT *out, const Arc &a, int gy) {
    const int s = 2 * gy;
    int64_t ddx = a.ax - 2 * a.bx + a.cx;
    int64_t ddy = a.ay - 2 * a.by + a.cy;
    int64_t dx = ddx - (a.ax - a.bx) * (int64_t(1) << (gy + 1));
    int64_t dy = ddy - (a.ay - a.by) * (int64_t(1) << (gy + 1));
    ddx *= 2;
    ddy *= 2;
    int64_t accX = a.ax * (int64_t(1) << s);
    int64_t accY = a.ay * (int64_t(1) << s);
    const int steps = 1 << gy;
    for (int k = 0; k < steps; ++k) {
        accX += dx;
        accY += dy;
        out[k] = _POINT{ToHalfPixels(accX, s), ToHalfPixels(accY, s)};
        dx += ddx;
        dy += ddy;
    }
}

// Long runs are split at the rounded midpoint so the accumulators stay
// small; the halves write their points one after the other, in curve order.
void Flatten(_POINT *out, const Arc &a, int gy) {
    if (gy <= kMaxRunExponent) {
        ForwardDifferences(out, a, gy);
        return;
    }
    const int64_t mx = (a.ax + 2 * a.bx + a.cx + 2) >> 2;
    const int64_t my = (a.ay + 2 * a.by + a.cy + 2) >> 2;
    const Arc firstHalf{a.ax, a.ay, (a.ax + a.bx + 1) >> 1, (a.ay + a.by + 1) >> 1, mx, my};
    const Arc secondHalf{mx, my, (a.cx + a.bx + 1) >> 1, (a.cy + a.by + 1) >> 1, a.cx, a.cy};
    Flatten(out, firstHalf, gy - 1);
    Flatten(out + (1 << (gy - 1)), secondHalf, gy - 1);
}

bool ArcFitsFlattener(const longpointtype p[3]) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(int64_t(p[i].x)) > kMaxArcCoordinate ||
            std::abs(int64_t(p[i].y)) > kMaxArcCoordinate)
            return false;
    }
    return true;
}

_POINTFX ScaledForFlattener(const longpointtype &pt) {
    return _POINTFX{pt.x * (1 << iShift), pt.y * (1 << iShift)};
}

// Implied on-curve points sit halfway between two control points; the
// halving truncates toward zero, as every division of the outline does.
// Vertices go to the row-centre scan converter as they are.
struct RowScanSink {
    using Point = longpointtype;
    ScanInfo *pS;

    static Point From(const longpointtype &p) { return p; }
    static Point Mid(const Point &a, const Point &b) {
        return Point{int32_t((int64_t(a.x) + b.x) / 2), int32_t((int64_t(a.y) + b.y) / 2)};
    }
    void MoveTo(const Point &p) { AddLineSeg(pS, p.x, p.y, 1); }
    void LineTo(const Point &p) { AddLineSeg(pS, p.x, p.y, 0); }
    void CurveTo(const Point arc[3]) { AddCurve(pS, arc); }
    static void ClosedBackToFirstPoint() {}
};

}  // namespace

void PointsToCurves(unsigned NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart,
                    ScanInfo *pS) {
    RowScanSink sink{pS};
    WalkOutline(NumContours, lpEndPoints, lpStart, sink);
}

void ScanOutline(ScanInfo *pS, unsigned NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart,
                 _GlyphBitMap *pBM) {
    PointsToCurves(NumContours, lpEndPoints, lpStart, pS);
    MakeBitMap(pS, pBM);
}

void AddCurve(ScanInfo *pS, const longpointtype p[3]) { sAddCurve(pS, p); }

void sAddCurve(ScanInfo *pS, const longpointtype p[3]) {
    // An arc lying along one row line crosses no row centre: its end point
    // is all the scan converter needs.
    const bool flat = p[0].y == p[1].y && p[1].y == p[2].y;
    if (!flat && ArcFitsFlattener(p)) {
        const _QS qs{ScaledForFlattener(p[0]), ScaledForFlattener(p[1]),
                     ScaledForFlattener(p[2])};
        _POINT points[kArcPointBuffer];
        unsigned count = 0;
        if (QSpline2Polyline(points, &qs, -1, &count) == 0 && count > ifirst)
            AddPolyline(pS, points + ifirst, count - ifirst, jShift);
    }
    // The flattened vertices sit on the half-pixel grid; the last edge
    // reaches the exact end point, so consecutive arcs join without a gap.
    AddLineSeg(pS, p[2].x, p[2].y, 0);
}

int QSpline2Polyline(_POINT *lpptBuffer, const _QS *lpqsPoints, int inGY, unsigned *count) {
    const bool topLevel = inGY < 0;
    // The caller's 26.6 coordinates were scaled by 2^11; dropping 10 bits
    // leaves 1/128 pixel.
    const Arc arc = ArcFrom(*lpqsPoints, topLevel ? 10 : 0);
    // A piece of an arc already split keeps the step exponent it was given
    // (within the range a whole arc can have) and writes at the caller's
    // count, whose slots the whole arc has reserved.
    int gy = std::clamp(inGY, 1, kMaxStepExponent);
    const unsigned start = *count;
    if (topLevel) {
        gy = StepExponent(arc.ax - 2 * arc.bx + arc.cx, arc.ay - 2 * arc.by + arc.cy);
        const uint64_t reserved = uint64_t(start) + (uint64_t(1) << gy);
        if (reserved > kArcCapacity) return 1;
        *count = unsigned(reserved);
    }
    Flatten(lpptBuffer + start, arc, gy);
    return 0;
}

}  // namespace kelmor
