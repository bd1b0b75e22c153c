// The classic mode's instructions that measure or move outline points: GC,
// MD, the direct and indirect moves, the shifts, interpolation and
// alignment, touch and on-curve flags, and the DELTA exceptions.  Every
// point reference goes through GetTTFCoordNOS, so a bad point number works
// on the scratch point and records a fault.  The faithful mode's versions
// are in instruct_faithful_points.cpp.
#include <cmath>

#include "ttf/hint/instruct_handlers.h"

namespace kelmor {

namespace {

TTFCoord *Coord(Exec &e, int32_t zone, int32_t point) {
    return GetTTFCoordNOS(e.pG, zone, point);
}
int32_t Proj(Exec &e, const longpointtype &p) { return MeasureNOS(e.pG, &p); }
int32_t DProj(Exec &e, const longpointtype &p) { return MeasureDualNOS(e.pG, &p); }
void Move(Exec &e, TTFCoord *pt, int64_t d, uint8_t dual) {
    MoveCurPointNOS(e.pG, pt, Clamp32(d), dual);
}
int32_t Sign(int32_t v) { return v >= 0 ? 1 : -1; }
int32_t Magnitude(int32_t v) { return v < 0 ? Clamp32(-int64_t(v)) : v; }

// Pops `loop` point numbers and hands each to `each`; `loop` goes back to
// 1.  Running out of stack is a fault that ends the repetition.
template <typename Each>
void ForLoopPoints(Exec &e, Each each) {
    const int32_t count = e.pG->Gsv.loop;
    for (int32_t i = 0; i < count; ++i) {
        if (Depth(e) == 0) {
            Fault(e, kFaultArgument);
            break;
        }
        each(Pop(e));
    }
    e.pG->Gsv.loop = 1;
}

// The reference of SHP, SHC and SHZ: rp2 in zp1 (selector 0) or rp1 in zp0
// (selector 1), with how far it has moved along the projection vector.
struct ShiftReference {
    int32_t point;
    int32_t distance;
};

ShiftReference ReferenceOf(Exec &e) {
    const GsvStruct &gs = e.pG->Gsv;
    const bool useRp1 = (e.opcode & 1) != 0;
    const int32_t point = useRp1 ? gs.rp1 : gs.rp2;
    const TTFCoord *r = Coord(e, useRp1 ? gs.zp0 : gs.zp1, point);
    return {point, Clamp32(int64_t(Proj(e, r->Cur)) - Proj(e, r->Orig))};
}

void ShiftPoint(Exec &e, int32_t zone, int32_t point, int32_t distance) {
    TTFCoord *pt = Coord(e, zone, point);
    SaveNOS(pt);
    Move(e, pt, distance, 0);
}

// Points of every number in [first, last] of `zone` but the reference's.
void ShiftRange(Exec &e, int32_t zone, int32_t first, int32_t last, const ShiftReference &ref) {
    for (int32_t p = first; p <= last; ++p) {
        if (p != ref.point) ShiftPoint(e, zone, p, ref.distance);
    }
}

// What MDRP and MIRP start from: point p (zp1), saved, the reference rp0
// (zp0), their original distance d and its sign.
struct RelativeMove {
    TTFCoord *pt;
    const TTFCoord *r;
    int32_t d;
    int32_t sign;
};

RelativeMove BeginRelative(Exec &e, int32_t p) {
    const GsvStruct &gs = e.pG->Gsv;
    TTFCoord *pt = Coord(e, gs.zp1, p);
    const TTFCoord *r = Coord(e, gs.zp0, gs.rp0);
    SaveNOS(pt);
    const int32_t d = Clamp32(int64_t(DProj(e, pt->Orig)) - DProj(e, r->Orig));
    return {pt, r, d, Sign(d)};
}

// Moves the point so that its distance from the reference becomes m.d (at
// least the minimum distance, in the original direction, when bit 0x08
// asks for it), touches it and updates the reference points as MDRP and
// MIRP do.
void PlaceRelative(Exec &e, const RelativeMove &m, int32_t point) {
    const int32_t minimum = Magnitude(e.pG->Gsv.minimum_distance);
    const int32_t d = ((e.opcode & 0x08) && Magnitude(m.d) < minimum) ? minimum * m.sign : m.d;
    TTFCoord *pt = m.pt;
    Move(e, pt, int64_t(d) - (int64_t(DProj(e, pt->Cur)) - DProj(e, m.r->Cur)), 1);
    TouchNOS(e.pG, pt);
    UpdateReferencesAfterMove(e, point, 0x10);
}

}  // namespace

// GC[a] 0x46-0x47: current position (a = 0) or original (a = 1).
// Stack: uint32 --> f26.6
void Ins_GC(Exec &e) {
    const TTFCoord *pt = Coord(e, e.pG->Gsv.zp2, e.sp[-1]);
    e.sp[-1] = (e.opcode & 1) ? DProj(e, pt->Orig) : Proj(e, pt->Cur);
}

// SCFS[] 0x48: moves p so that its projection becomes the value.
// Stack: uint32 f26.6 --> <void>
void Ins_SCFS(Exec &e) {
    const int32_t value = Pop(e);
    TTFCoord *pt = Coord(e, e.pG->Gsv.zp2, Pop(e));
    const int32_t d = Proj(e, pt->Cur);
    SaveNOS(pt);
    Move(e, pt, int64_t(value) - d, 0);
    TouchNOS(e.pG, pt);
}

// MD[a] 0x49-0x4A: original distance (0x49) or current (0x4A) from p1 to p2.
// Stack: uint32 uint32 --> f26.6
void Ins_MD(Exec &e) {
    const int32_t p1 = Pop(e);
    const int32_t p2 = Pop(e);
    const TTFCoord a = *Coord(e, e.pG->Gsv.zp0, p1);
    const TTFCoord *b = Coord(e, e.pG->Gsv.zp1, p2);
    const int64_t d = (e.opcode == 0x49) ? int64_t(DProj(e, b->Orig)) - DProj(e, a.Orig)
                                         : int64_t(Proj(e, b->Cur)) - Proj(e, a.Cur);
    Push(e, Clamp32(d));
}

// MDAP[a] 0x2E-0x2F: touches p, rounding its position first when a = 1.
// Stack: uint32 --> <void>
void Ins_MDAP(Exec &e) {
    const int32_t p = Pop(e);
    TTFCoord *pt = Coord(e, e.pG->Gsv.zp0, p);
    e.pG->Gsv.rp0 = e.pG->Gsv.rp1 = p;
    if (e.opcode & 1) {
        SaveNOS(pt);
        const int32_t d = Proj(e, pt->Cur);
        Move(e, pt, int64_t(RoundNOS(e.pG, d)) - d, 0);
    }
    TouchNOS(e.pG, pt);
}

// MIAP[a] 0x3E-0x3F: moves p to a control value, rounded and cut in when
// a = 1.
// Stack: uint32 uint32 --> <void>
void Ins_MIAP(Exec &e) {
    const int32_t i = Pop(e);
    const int32_t p = Pop(e);
    const int32_t *slot = CvtSlot(e, i);
    if (slot == nullptr) return;
    int32_t v = *slot;
    TTFCoord *pt = Coord(e, e.pG->Gsv.zp0, p);
    const GsvStruct &gs = e.pG->Gsv;
    e.pG->Gsv.rp0 = e.pG->Gsv.rp1 = p;
    // A twilight point has no outline position to keep: the control value,
    // along the freedom vector, becomes its original (and current) one.
    // Measured from zero instead, the rounding form would leave the point
    // where it is whenever the value lies beyond the cut-in, and the
    // distances later taken from it would be absolute positions.
    if (gs.zp0 == 0) {
        pt->Orig = {Clamp32(Div16384(int64_t(gs.freedom_vector.x) * v)),
                    Clamp32(Div16384(int64_t(gs.freedom_vector.y) * v))};
        pt->Cur = pt->Orig;
    }
    SaveNOS(pt);
    int32_t target = v;
    if (e.opcode & 1) {
        target = DProj(e, pt->Orig);
        if (gs.auto_flip && Sign(v) != Sign(target)) v = Clamp32(-int64_t(v));
        if (gs.control_value_cut_in > Magnitude(Clamp32(int64_t(target) - v))) target = v;
        target = RoundNOS(e.pG, target);
    }
    Move(e, pt, int64_t(target) - Proj(e, pt->Cur), 1);
    TouchNOS(e.pG, pt);
}

// MDRP[abcde] 0xC0-0xDF: keeps p's original distance from rp0, with the
// single width, rounding (c) and minimum distance (b); a sets rp0.
// Stack: uint32 --> <void>
void Ins_MDRP(Exec &e) {
    const int32_t p = Pop(e);
    const GsvStruct &gs = e.pG->Gsv;
    RelativeMove m = BeginRelative(e, p);
    int32_t w = gs.single_width_value;
    if (gs.auto_flip && Sign(w) != m.sign) w = Clamp32(-int64_t(w));
    if (gs.single_width_cut_in > Magnitude(Clamp32(int64_t(m.d) - w)))
        m.d = Clamp32(int64_t(gs.single_width_value) * m.sign);
    if (e.opcode & 0x04) m.d = RoundNOS(e.pG, m.d, e.opcode & 3);
    PlaceRelative(e, m, p);
}

// MIRP[abcde] 0xE0-0xFF: as MDRP with a control value; the control value
// (and its cut-in) counts only when the round bit c is set.
// Stack: uint32 uint32 --> <void>
void Ins_MIRP(Exec &e) {
    const int32_t i = Pop(e);
    const int32_t p = Pop(e);
    const int32_t *slot = CvtSlot(e, i);
    if (slot == nullptr) return;
    int32_t v = *slot;
    const GsvStruct &gs = e.pG->Gsv;
    RelativeMove m = BeginRelative(e, p);
    if (e.opcode & 0x04) {
        if (gs.auto_flip && Sign(v) != m.sign) v = Clamp32(-int64_t(v));
        if (gs.control_value_cut_in > Magnitude(Clamp32(int64_t(m.d) - v))) {
            m.d = v;
            const int32_t widthGap = Clamp32(int64_t(Magnitude(gs.single_width_value)) -
                                             Magnitude(v));
            if (gs.single_width_cut_in > Magnitude(widthGap))
                m.d = Clamp32(int64_t(gs.single_width_value) * m.sign);
        }
        m.d = RoundNOS(e.pG, m.d, e.opcode & 3);
    }
    PlaceRelative(e, m, p);
}

// MSIRP[a] 0x3A-0x3B: puts p at a given distance from rp0; a sets rp0.  A
// point without an original position (a fresh twilight point) takes its
// new one.
// Stack: uint32 f26.6 --> <void>
void Ins_MSIRP(Exec &e) {
    const int32_t distance = Pop(e);
    const int32_t p = Pop(e);
    const GsvStruct &gs = e.pG->Gsv;
    TTFCoord *pt = Coord(e, gs.zp1, p);
    const TTFCoord *r = Coord(e, gs.zp0, gs.rp0);
    SaveNOS(pt);
    Move(e, pt, int64_t(distance) - (int64_t(Proj(e, pt->Cur)) - Proj(e, r->Cur)), 0);
    TouchNOS(e.pG, pt);
    if (e.opcode & 1) e.pG->Gsv.rp0 = p;
    if (pt->Orig.x == 0 && pt->Orig.y == 0) pt->Orig = pt->Cur;
}

// SHP[a] 0x32-0x33: shifts `loop` points by the reference's movement.
// Stack: uint32... --> <void>
void Ins_SHP(Exec &e) {
    const ShiftReference ref = ReferenceOf(e);
    const int32_t zone = e.pG->Gsv.zp2;
    ForLoopPoints(e, [&](int32_t p) { ShiftPoint(e, zone, p, ref.distance); });
}

// SHC[a] 0x34-0x35: shifts a contour of zp2 by the reference's movement.
// Stack: uint32 --> <void>
void Ins_SHC(Exec &e) {
    const int32_t c = Pop(e);
    const _TtfGlyph *pG = e.pG;
    if (c < 0 || c >= pG->NumContours || pG->EndPoints == nullptr)
        return Fault(e, kFaultArgument);
    const ShiftReference ref = ReferenceOf(e);
    const int32_t first = (c == 0) ? 0 : pG->EndPoints[c - 1] + 1;
    ShiftRange(e, pG->Gsv.zp2, first, pG->EndPoints[c], ref);
}

// SHZ[a] 0x36-0x37: shifts every point of zone 0 or 1.
// Stack: uint32 --> <void>
void Ins_SHZ(Exec &e) {
    const int32_t zone = Pop(e);
    if (zone != 0 && zone != 1) return Fault(e, kFaultArgument);
    const ShiftReference ref = ReferenceOf(e);
    ShiftRange(e, zone, 0, e.pG->ZonePoints[zone] - 1, ref);
}

// SHPIX[] 0x38: shifts `loop` points by an amount along the freedom vector.
// Stack: uint32... f26.6 --> <void>
void Ins_SHPIX(Exec &e) {
    const int32_t amount = Pop(e);
    _TtfGlyph *pG = e.pG;
    const longpointtype f = pG->Gsv.freedom_vector;
    ForLoopPoints(e, [&](int32_t p) {
        TTFCoord *pt = Coord(e, pG->Gsv.zp2, p);
        SaveNOS(pt);
        const longpointtype from = pt->Cur;
        pt->Cur.x = Clamp32(pt->Cur.x + Div16384(int64_t(f.x) * amount));
        pt->Cur.y = Clamp32(pt->Cur.y + Div16384(int64_t(f.y) * amount));
        if (pG->Tracer != nullptr) NoteMove(pG, pt, from);
        TouchNOS(pG, pt);
    });
}

// IP[] 0x39: places `loop` points between rp1 and rp2 as they were
// originally.
// Stack: uint32... --> <void>
void Ins_IP(Exec &e) {
    const GsvStruct &gs = e.pG->Gsv;
    // The references are measured once, before any point moves (one of
    // the points may be a reference itself).
    const TTFCoord *r1 = Coord(e, gs.zp0, gs.rp1);
    const int64_t r1Orig = DProj(e, r1->Orig), r1Cur = DProj(e, r1->Cur);
    const TTFCoord *r2 = Coord(e, gs.zp1, gs.rp2);
    const int64_t r2Orig = DProj(e, r2->Orig);
    const int64_t c = DProj(e, r2->Cur) - r1Cur;
    ForLoopPoints(e, [&](int32_t p) {
        TTFCoord *pt = Coord(e, e.pG->Gsv.zp2, p);
        SaveNOS(pt);
        const int64_t d1 = DProj(e, pt->Orig) - r1Orig;
        const int64_t span = d1 + (r2Orig - DProj(e, pt->Orig));
        if (span == 0 || c == 0) return;
        const int64_t ratio = Clamp32(d1 * 16384 / span);
        const int64_t target = Div16384(ratio * c);
        Move(e, pt, target - (DProj(e, pt->Cur) - r1Cur), 1);
        TouchNOS(e.pG, pt);
    });
}

// ALIGNRP[] 0x3C: moves `loop` points onto rp0's projection.
// Stack: uint32... --> <void>
void Ins_ALIGNRP(Exec &e) {
    const GsvStruct &gs = e.pG->Gsv;
    const TTFCoord r = *Coord(e, gs.zp0, gs.rp0);
    ForLoopPoints(e, [&](int32_t p) {
        TTFCoord *pt = Coord(e, e.pG->Gsv.zp1, p);
        Move(e, pt, -(int64_t(DProj(e, pt->Cur)) - DProj(e, r.Cur)), 1);
        TouchNOS(e.pG, pt);
    });
}

// ALIGNPTS[] 0x27: moves p1 and p2 to the projection halfway between them.
// Stack: uint32 uint32 --> <void>
void Ins_ALIGNPTS(Exec &e) {
    const int32_t p1 = Pop(e);
    const int32_t p2 = Pop(e);
    TTFCoord *a = Coord(e, e.pG->Gsv.zp0, p1);
    TTFCoord *b = Coord(e, e.pG->Gsv.zp1, p2);
    const int64_t d = int64_t(Proj(e, a->Cur)) - Proj(e, b->Cur);
    SaveNOS(a);
    SaveNOS(b);
    const int64_t half = d / 2;
    Move(e, b, half, 1);
    Move(e, a, -(d - half), 1);
    TouchNOS(e.pG, a);
    TouchNOS(e.pG, b);
}

// ISECT[] 0x0F: puts p where line a0-a1 (zp1) crosses line b0-b1 (zp0).
// Worked out in double precision, exact for every coordinate an outline
// can have, so hostile values cannot overflow.
// Stack: uint32 uint32 uint32 uint32 uint32 --> <void>
void Ins_ISECT(Exec &e) {
    const GsvStruct &gs = e.pG->Gsv;
    const longpointtype a1 = Coord(e, gs.zp1, Pop(e))->Cur;
    const longpointtype a0 = Coord(e, gs.zp1, Pop(e))->Cur;
    const longpointtype b1 = Coord(e, gs.zp0, Pop(e))->Cur;
    const longpointtype b0 = Coord(e, gs.zp0, Pop(e))->Cur;
    TTFCoord *pt = Coord(e, gs.zp2, Pop(e));
    const double ax = double(a1.x) - a0.x, ay = double(a1.y) - a0.y;
    const double bx = double(b1.x) - b0.x, by = double(b1.y) - b0.y;
    const double n = ay * (double(b0.x) - a0.x) - ax * (double(b0.y) - a0.y);
    const double d = by * ax - bx * ay;
    if (d != 0) {
        const double t = std::trunc(n * 2048 / d);
        const longpointtype from = pt->Cur;
        pt->Cur.x = Clamp32FromDouble(std::trunc((bx * t + 1024) / 2048) + b0.x);
        pt->Cur.y = Clamp32FromDouble(std::trunc((by * t + 1024) / 2048) + b0.y);
        if (e.pG->Tracer != nullptr) NoteMove(e.pG, pt, from);
    }
    TouchNOS(e.pG, pt);
}

// AA[] 0x7F: resolves p and rp0 (a fault if either is bad), nothing else.
// Stack: uint32 --> <void>
void Ins_AA(Exec &e) {
    Coord(e, e.pG->Gsv.zp1, Pop(e));
    Coord(e, e.pG->Gsv.zp0, e.pG->Gsv.rp0);
}

// UTP[] 0x29: clears the touched bits the freedom vector selects.
// Stack: uint32 --> <void>
void Ins_UTP(Exec &e) {
    TTFCoord *pt = Coord(e, e.pG->Gsv.zp0, Pop(e));
    if (e.pG->Gsv.freedom_vector.x != 0) pt->Flags &= uint8_t(~kTouchedX);
    if (e.pG->Gsv.freedom_vector.y != 0) pt->Flags &= uint8_t(~kTouchedY);
}

// FLIPRGON[] 0x81, FLIPRGOFF[] 0x82: sets or clears the on-curve bit of the
// glyph-zone points low..high; a range past the zone is clamped to it.
// Stack: uint32 uint32 --> <void>
void Ins_FLIPRG(Exec &e) {
    int32_t high = Pop(e);
    int32_t low = Pop(e);
    if (high < low) return;
    const int32_t count = e.pG->ZonePoints[1];
    if (low < 0 || high >= count) {
        Fault(e, kFaultPoint);
        low = low < 0 ? 0 : low;
        high = high >= count ? count - 1 : high;
    }
    TTFCoord *zone = e.pG->Zone1;
    for (int32_t p = low; p <= high && zone != nullptr; ++p) {
        if (e.opcode == 0x81)
            zone[p].Flags |= kOnCurve;
        else
            zone[p].Flags &= uint8_t(~kOnCurve);
    }
}

// IUP[a] 0x30-0x31: interpolates untouched points in x (a = 1) or y.
// Stack: <void> --> <void>
void Ins_IUP(Exec &e) { InterpolateUntouchedNOS(e.pG, e.opcode & 1); }

// DELTAP1 0x5D, DELTAP2 0x71, DELTAP3 0x72: point exceptions at one ppem.
// Stack: uint32 (uint32 uint32)... --> <void>
void Ins_DELTAP(Exec &e) { DeltaExcept(e, e.opcode == 0x5D ? 0 : e.opcode - 0x70); }

// DELTAC1 0x73, DELTAC2 0x74, DELTAC3 0x75: control-value exceptions.
// Stack: uint32 (uint32 uint32)... --> <void>
void Ins_DELTAC(Exec &e) { DeltaCVTExcept(e, e.opcode - 0x73); }

}  // namespace kelmor
