// The primitives the instruction handlers are built from: resolving a point
// reference, measuring along a vector, rounding, moving a point along the
// freedom vector, setting vectors, interpolating untouched points, DELTA
// exceptions, stack rotation, stepping over push data and finding the end
// of a definition.
//
// Products are formed in 64 bits and brought back to 32 with saturation, so
// hostile coordinates and vectors cannot overflow; for the sizes the
// rasterizer handles the results equal 32-bit arithmetic.
#include <cmath>
#include <cstring>

#include "ttf/hint/instruct_internal.h"

namespace kelmor {

namespace {

// The zone array a point pointer lies in, with the point's number; -1 for
// the scratch point.
int ZoneOf(const _TtfGlyph *pG, const TTFCoord *pt, int *point) {
    for (int zone = 0; zone < 2; ++zone) {
        const TTFCoord *base = zone ? pG->Zone1 : pG->Zone0;
        if (base != nullptr && pt >= base && pt < base + pG->ZonePoints[zone]) {
            *point = int(pt - base);
            return zone;
        }
    }
    return -1;
}

}  // namespace

int32_t CvtEntries(const _TTFont *pF) {
    return pF->controlTable != nullptr ? BlockLength(pF->controlTable) / 2 : 0;
}

void NoteMove(_TtfGlyph *pG, const TTFCoord *pt, longpointtype from) {
    int point = 0;
    int zone = ZoneOf(pG, pt, &point);
    if (zone >= 0) pG->Tracer->PointMoved(zone, point, from, pt->Cur);
}

TTFCoord *BadPointNOS(_TtfGlyph *pG) {
    RecordFault(pG, kFaultPoint);
    ErrorTTF = NulTTF;
    return &ErrorTTF;
}

int32_t SetZpNOS(_TtfGlyph *pG, int32_t n1) {
    if (n1 != 0 && n1 != 1) RecordFault(pG, kFaultArgument);
    return n1 != 0 ? 1 : 0;
}

namespace {

// Period, phase and threshold of the round state's mode (all but round
// down, round up and off, which RoundNOS handles itself).
struct RoundGrid {
    int64_t period, phase, threshold;
};

RoundGrid GridOf(int32_t roundState) {
    switch (roundState & 0xFF) {
        case 0: return {64, 32, 32};
        case 2: return {32, 0, 16};
        case 98:
        case 99: {
            const int64_t period = int64_t(32) << ((roundState >> 14) & 3);
            const int64_t phase = ((roundState >> 12) & 3) * period / 4;
            const int thresholdCode = (roundState >> 8) & 15;
            const int64_t threshold =
                thresholdCode == 0 ? period - 1 : (thresholdCode - 4) * period / 8;
            return {period, phase, threshold};
        }
        default: return {64, 0, 32};  // round to grid
    }
}

}  // namespace

int32_t RoundNOS(const _TtfGlyph *pG, int32_t n1, int DistType) {
    (void)DistType;  // engine compensation is always zero
    const int32_t state = pG->Gsv.round_state;
    const int mode = state & 0xFF;
    // The 45-degree grid is measured in units scaled by 2000/707.
    int64_t n = (mode == 99) ? int64_t(n1) * 2000 / 707 : n1;
    if (mode == 3) return Clamp32(n & ~int64_t(63));
    if (mode == 4) return Clamp32((n + 63) & ~int64_t(63));
    if (mode == 5) return Clamp32(n);
    const RoundGrid g = GridOf(state);
    n = ((n - g.phase + g.threshold) & -g.period) + g.phase;
    // Rounding never flips a distance's sign: it becomes the minimum.
    if (n1 > 0 && n < 0) n = pG->Gsv.minimum_distance;
    if (n1 < 0 && n > 0) n = -int64_t(pG->Gsv.minimum_distance);
    if (mode == 99) n = n * 707 / 2000;
    return Clamp32(n);
}

int MoveCurPointNOS(_TtfGlyph *pG, TTFCoord *lpCoord, int32_t Dist, uint8_t Dual) {
    if (Dist == 0) return 0;
    const GsvStruct &gs = pG->Gsv;
    const longpointtype P =
        (Dual != 0 && DualSet(gs)) ? gs.dual_projection_vector : gs.projection_vector;
    const longpointtype from = lpCoord->Cur;
    // Both vectors on the same axis, the usual case: the point moves by Dist
    // along it, as the general formula below also gives.
    const longpointtype F = gs.freedom_vector;
    if (F.x == P.x && F.y == P.y && (F.x == 0 || F.y == 0) && (F.x | F.y) == 16384) {
        int32_t &c = F.x != 0 ? lpCoord->Cur.x : lpCoord->Cur.y;
        c = Clamp32(int64_t(c) + Dist);
        if (pG->Tracer != nullptr) NoteMove(pG, lpCoord, from);
        return 1;
    }
    int64_t d = Dot(gs.freedom_vector, P);
    int64_t dist = Dist;
    if (d == 0) RecordFault(pG, kFaultPoint);  // freedom vector across the measuring one
    // f . p below 1/16 is taken as 1, as TrueType rasterizers take it:
    // dividing by almost nothing would throw the point far away.
    if (d > -1024 && d < 1024) d = 16384;
    if (d != 16384)  // parallel unit vectors need no division
        dist = Clamp32(dist * 16384 / d);
    lpCoord->Cur.x = Clamp32(lpCoord->Cur.x + Div16384(gs.freedom_vector.x * dist));
    lpCoord->Cur.y = Clamp32(lpCoord->Cur.y + Div16384(gs.freedom_vector.y * dist));
    if (pG->Tracer != nullptr) NoteMove(pG, lpCoord, from);
    return 1;
}

void SetVectsToAxisNOS(_TtfGlyph *pG, int c) {
    pG->Gsv.projection_vector = (c == 1) ? xAxis : yAxis;
    pG->Gsv.freedom_vector = pG->Gsv.projection_vector;
}

void SetVectorToLine(Exec &e, uint8_t c, longpointtype *OutVec, uint8_t Orig) {
    _TtfGlyph *pG = e.pG;
    const int32_t point1 = Pop(e);
    const int32_t point2 = Pop(e);
    const TTFCoord *p1 = GetTTFCoordNOS(pG, pG->Gsv.zp1, point1);
    const longpointtype a = Orig ? p1->Orig : p1->Cur;
    const TTFCoord *p2 = GetTTFCoordNOS(pG, pG->Gsv.zp2, point2);
    const longpointtype b = Orig ? p2->Orig : p2->Cur;
    const double dx = double(b.x) - a.x;
    const double dy = double(b.y) - a.y;
    const double length2 = dx * dx + dy * dy;
    if (length2 == 0) {
        RecordFault(pG, kFaultArgument);
        *OutVec = NulVect;
        return;
    }
    const double f = 16384.0 / std::sqrt(length2);
    int32_t x = int32_t(dx * f);
    int32_t y = int32_t(dy * f);
    // The perpendicular form turns the line a quarter clockwise.
    if (c & 1) *OutVec = {y, -x};
    else *OutVec = {x, y};
}

namespace {

bool SameSign(int32_t a, int32_t b) { return (a >= 0) == (b >= 0); }
int32_t Magnitude(int32_t v) { return v < 0 ? Clamp32(-int64_t(v)) : v; }

bool IsTouched(const TTFCoord &p, uint8_t flag) { return (p.Flags & flag) != 0; }

// How IUP measures and moves points in general: along the graphics state's
// vectors, through the primitives.
struct VectorGeometry {
    _TtfGlyph *pG;
    int32_t Measure(const longpointtype &p) const { return MeasureNOS(pG, &p); }
    int32_t MeasureDual(const longpointtype &p) const { return MeasureDualNOS(pG, &p); }
    int Move(TTFCoord &T, int32_t dist, uint8_t dual) const {
        return MoveCurPointNOS(pG, &T, dist, dual);
    }
};

// The common case: both vectors lie on one coordinate axis and no dual
// vector is set.  Measuring a point is then reading its coordinate and a
// move adds the distance to it, so the results equal the general path's
// without a product or a division per measure.
struct AxisGeometry {
    _TtfGlyph *pG;
    int32_t longpointtype::*axis;
    int32_t Measure(const longpointtype &p) const { return p.*axis; }
    int32_t MeasureDual(const longpointtype &p) const { return p.*axis; }
    int Move(TTFCoord &T, int32_t dist, uint8_t) const {
        if (dist == 0) return 0;
        const longpointtype from = T.Cur;
        T.Cur.*axis = Clamp32(int64_t(T.Cur.*axis) + dist);
        if (pG->Tracer != nullptr) NoteMove(pG, &T, from);
        return 1;
    }
};

// One untouched point T between the touched points L (before it) and N
// (after it, wrapping): interpolated when it lies between their original
// positions, otherwise shifted with the nearer one.  Returns 1 if it moved.
template <typename Geometry>
int InterpolateOne(const Geometry &g, TTFCoord &T, const TTFCoord &L, const TTFCoord &N) {
    // Projections of hostile points may lie anywhere in 32 bits: their
    // differences are taken in 64 and saturated.
    const int32_t d1 = Clamp32(int64_t(g.MeasureDual(T.Orig)) - g.MeasureDual(L.Orig));
    const int32_t d2 = Clamp32(int64_t(g.MeasureDual(N.Orig)) - g.MeasureDual(T.Orig));
    SaveNOS(&T);
    if (SameSign(d1, d2)) {
        const int64_t c = int64_t(g.MeasureDual(T.Cur)) - g.MeasureDual(L.Cur);
        const int64_t r = int64_t(g.MeasureDual(N.Cur)) - g.MeasureDual(L.Cur);
        const int64_t sum = int64_t(d1) + d2;
        const int64_t target = sum != 0 ? r * d1 / sum : r >> 1;
        return g.Move(T, Clamp32(target - c), 1);
    }
    const TTFCoord &nearer = Magnitude(d1) < Magnitude(d2) ? L : N;
    const int32_t shift = Clamp32(int64_t(g.Measure(nearer.Cur)) - g.Measure(nearer.Orig));
    return g.Move(T, shift, 0);
}

template <typename Geometry>
int InterpolateContour(const Geometry &g, int start, int end, uint8_t flag) {
    TTFCoord *z = g.pG->Zone1;
    int last = start;
    for (int i = end; i > start; --i) {
        if (IsTouched(z[i], flag)) {
            last = i;
            break;
        }
    }
    int next = end;
    for (int i = start + 1; i < end; ++i) {
        if (IsTouched(z[i], flag)) {
            next = i;
            break;
        }
    }
    // When the first point is the only touched one, the walk wraps round to
    // it: every other point is shifted by its movement.
    if (next == end && !IsTouched(z[end], flag) && IsTouched(z[start], flag)) next = start;
    int moved = 0;
    for (int t = start; t <= end; ++t) {
        if (!IsTouched(z[t], flag)) {
            moved += InterpolateOne(g, z[t], z[last], z[next]);
            continue;
        }
        last = t;
        if (next != t) continue;
        do {
            next = (next == end) ? start : next + 1;
        } while (next != t && !IsTouched(z[next], flag));
    }
    return moved;
}

// The untouched points strictly between touched points L and N, walking
// forward from L and wrapping at the contour's end, all along one axis with
// no tracer.  L and N keep their positions throughout, so what the general
// walk measures per point is measured once per run.
void InterpolateAxisRun(TTFCoord *z, int start, int end, int L, int N,
                        int32_t longpointtype::*axis, int *moved) {
    const int64_t lo = z[L].Orig.*axis, no = z[N].Orig.*axis;
    const int64_t lc = z[L].Cur.*axis, nc = z[N].Cur.*axis;
    const int64_t r = nc - lc;
    const int32_t shiftL = Clamp32(lc - lo), shiftN = Clamp32(nc - no);
    for (int t = (L == end) ? start : L + 1; t != N; t = (t == end) ? start : t + 1) {
        TTFCoord &T = z[t];
        const int32_t d1 = Clamp32(T.Orig.*axis - lo);
        const int32_t d2 = Clamp32(no - T.Orig.*axis);
        SaveNOS(&T);
        int32_t dist;
        if (SameSign(d1, d2)) {
            const int64_t sum = int64_t(d1) + d2;
            const int64_t target = sum != 0 ? r * d1 / sum : r >> 1;
            dist = Clamp32(target - (T.Cur.*axis - lc));
        } else {
            dist = Magnitude(d1) < Magnitude(d2) ? shiftL : shiftN;
        }
        if (dist == 0) continue;
        T.Cur.*axis = Clamp32(int64_t(T.Cur.*axis) + dist);
        ++*moved;
    }
}

// True when no point of the contour has moved along the axis, and every
// original coordinate is small enough that differences of two cannot
// saturate.
bool UnmovedAlong(const TTFCoord *z, int start, int end, int32_t longpointtype::*axis) {
    constexpr int32_t kLimit = int32_t(1) << 30;
    for (int i = start; i <= end; ++i) {
        const int32_t o = z[i].Orig.*axis;
        if (z[i].Cur.*axis != o || o >= kLimit || o <= -kLimit) return false;
    }
    return true;
}

int NextTouched(const TTFCoord *z, int start, int end, int from, uint8_t flag) {
    int i = from;
    do {
        i = (i == end) ? start : i + 1;
    } while (i != from && !IsTouched(z[i], flag));
    return i;
}

// IUP of one contour along an axis, run by run between consecutive touched
// points: the general walk's order of work made explicit, with what it
// measures per point measured once per run.  When no point is touched, the
// walk interpolates between the contour's first and last points, moving
// the first itself beforehand and the last afterwards; the same happens
// here.  A single touched point is one run from it round to it again.
int InterpolateAxisContour(const AxisGeometry &g, int start, int end, uint8_t flag) {
    if (g.pG->Tracer != nullptr) return InterpolateContour(g, start, end, flag);
    TTFCoord *z = g.pG->Zone1;
    int first = start;
    while (first <= end && !IsTouched(z[first], flag)) ++first;
    int moved = 0;
    if (first > end) {
        if (UnmovedAlong(z, start, end, g.axis)) {
            // Measured from its own ends, every point of an unmoved
            // contour already sits where interpolation puts it.
            for (int i = start; i <= end; ++i) SaveNOS(&z[i]);
            return 0;
        }
        moved += InterpolateOne(g, z[start], z[start], z[end]);
        InterpolateAxisRun(z, start, end, start, end, g.axis, &moved);
        return moved + InterpolateOne(g, z[end], z[start], z[end]);
    }
    int L = first;
    do {
        const int afterL = (L == end) ? start : L + 1;
        const int N = IsTouched(z[afterL], flag) ? afterL : NextTouched(z, start, end, L, flag);
        if (N != afterL) InterpolateAxisRun(z, start, end, L, N, g.axis, &moved);
        L = N;
    } while (L != first);
    return moved;
}

int InterpolateContourAlong(const VectorGeometry &g, int start, int end, uint8_t flag) {
    return InterpolateContour(g, start, end, flag);
}
int InterpolateContourAlong(const AxisGeometry &g, int start, int end, uint8_t flag) {
    return InterpolateAxisContour(g, start, end, flag);
}

template <typename Geometry>
int InterpolateContours(const Geometry &g, uint8_t flag) {
    _TtfGlyph *pG = g.pG;
    int moved = 0;
    int start = 0;
    for (int k = 0; k < pG->NumContours && pG->EndPoints != nullptr; ++k) {
        const int end = pG->EndPoints[k];
        // The loader checks contour ends; these guard the zone whatever
        // ends a component's program sees.
        if (end < start - 1 || end >= pG->ZonePoints[1]) {
            RecordFault(pG, kFaultPoint);
            break;
        }
        if (start < end) moved += InterpolateContourAlong(g, start, end, flag);
        start = end + 1;
    }
    return moved;
}

}  // namespace

int InterpolateUntouchedNOS(_TtfGlyph *pG, int c) {
    GsvStruct &gs = pG->Gsv;
    if (gs.zp0 != 1) return 0;
    if (!DualSet(gs)) {
        const uint8_t flag = (c == 1) ? kTouchedX : kTouchedY;
        return InterpolateContours(AxisGeometry{pG, c == 1 ? &longpointtype::x : &longpointtype::y},
                                   flag);
    }
    // With a dual vector both vectors become it for the duration, and a
    // point touched in either direction counts as touched.
    const longpointtype projection = gs.projection_vector;
    const longpointtype freedom = gs.freedom_vector;
    gs.freedom_vector = gs.projection_vector = gs.dual_projection_vector;
    const int moved = InterpolateContours(VectorGeometry{pG}, kTouchedX | kTouchedY);
    gs.projection_vector = projection;
    gs.freedom_vector = freedom;
    return moved;
}

namespace {

// Pops the n pairs (target, argument) of a DELTA instruction and calls
// apply(target, matches this ppem, step) for each.  A count the stack does
// not hold is a fault that pops nothing more.
template <typename Apply>
void ForEachDelta(Exec &e, int Mult, Apply apply) {
    _TtfGlyph *pG = e.pG;
    const int32_t n = Pop(e);
    if (n < 0 || n > Depth(e) / 2) return Fault(e, kFaultArgument);
    const int32_t shift = pG->Gsv.delta_shift;
    const bool shiftOk = shift >= 0 && shift <= 29;
    if (!shiftOk) Fault(e, kFaultArgument);
    const int64_t ppem = PixelsPerEm(pG);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t target = Pop(e);
        const int32_t arg = Pop(e);
        const int64_t at = ((arg >> 4) & 15) + int64_t(pG->Gsv.delta_base) + 16 * Mult;
        // The step divisor is 2^(delta_shift + 1).
        const int32_t step = shiftOk ? Exception[arg & 15] * 64 / (2 << shift) : 0;
        apply(target, at == ppem && shiftOk, step);
    }
}

}  // namespace

void DeltaExcept(Exec &e, int Mult) {
    _TtfGlyph *pG = e.pG;
    ForEachDelta(e, Mult, [pG](int32_t point, bool match, int32_t step) {
        // Resolved for every pair, so that a bad point is seen at any size.
        TTFCoord *pt = GetTTFCoordNOS(pG, pG->Gsv.zp0, point);
        if (!match) return;
        SaveNOS(pt);
        MoveCurPointNOS(pG, pt, step, 1);
    });
}

void DeltaCVTExcept(Exec &e, int Mult) {
    _TtfGlyph *pG = e.pG;
    const int32_t entries = pG->lControlTable != nullptr ? CvtEntries(e.pF) : 0;
    ForEachDelta(e, Mult, [pG, entries](int32_t index, bool match, int32_t step) {
        if (index < 0 || index >= entries) return RecordFault(pG, kFaultArgument);
        if (match) pG->lControlTable[index] = Clamp32(int64_t(pG->lControlTable[index]) + step);
    });
}

void MoveIndex(Exec &e, int k) {
    if (k < 1 || k > Depth(e)) return Fault(e, kFaultArgument);
    int32_t *entry = e.sp - k;
    const int32_t taken = *entry;
    std::memmove(entry, entry + 1, size_t(k - 1) * sizeof(int32_t));
    e.sp[-1] = taken;
}

int32_t SkipPushesNOG(const uint8_t *pcIns, const uint8_t *end) {
    const uint8_t op = pcIns[-1];
    int32_t count = 0;
    if (op == 0x40 || op == 0x41) {
        if (pcIns >= end) return 0;
        count = 1 + (op == 0x41 ? 2 : 1) * int32_t(pcIns[0]);
    } else if (op >= 0xB0 && op <= 0xB7) {
        count = (op & 7) + 1;
    } else if (op >= 0xB8 && op <= 0xBF) {
        count = 2 * ((op & 7) + 1);
    }
    const int32_t left = int32_t(end - pcIns);
    return count < left ? count : left;
}

DefinitionBody TakeDefinitionBody(Exec &e) {
    DefinitionBody body{e.pc, e.end, false, false};
    while (e.pc < e.end && *e.pc != 0x2D) {
        if (*e.pc == 0x2C || *e.pc == 0x89) body.nested = true;
        ++e.pc;
        SkipPushData(e);
    }
    body.end = e.pc;
    if (e.pc < e.end) {
        body.closed = true;
        ++e.pc;  // past the ENDF
    }
    return body;
}

}  // namespace kelmor
