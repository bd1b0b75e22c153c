// The faithful mode's point instructions: the published TrueType
// instruction set, measured against FreeType's v35 interpreter, wherever
// the classic behaviour (instruct_classic_points.cpp) departs from it.
//
// What sets them apart from the classic handlers, throughout:
// - distances are projections of difference vectors, rounded (a dot
//   product with half away from zero), not differences of truncated ones;
// - a move goes along the freedom vector by distance * f / (f . p), each
//   component rounded, with f . p below 1/16 taken as 1, and touches the
//   point in every direction the freedom vector has;
// - original distances in the glyph zone are measured in font units and
//   scaled once when the loader recorded them (_TtfGlyph::Unscaled);
// - a reference to a point outside its zone skips the instruction (the
//   fault is recorded) instead of working on a scratch point;
// - an instruction that repeats over `loop` points does nothing when the
//   stack holds fewer.
#include <cstdint>
#include <utility>

#include "ttf/hint/instruct_handlers.h"

namespace kelmor {

namespace {

// ------------------------------------------------------------ geometry

const longpointtype &Projection(const _TtfGlyph *pG) { return pG->Gsv.projection_vector; }
const longpointtype &Dual(const _TtfGlyph *pG) {
    return DualSet(pG->Gsv) ? pG->Gsv.dual_projection_vector : pG->Gsv.projection_vector;
}

// The projection of a - b along the projection vector / the dual vector.
int32_t Project(const _TtfGlyph *pG, const longpointtype &a, const longpointtype &b) {
    return DotF(int32_t(uint32_t(a.x) - uint32_t(b.x)), int32_t(uint32_t(a.y) - uint32_t(b.y)),
                Projection(pG));
}
int32_t DualProject(const _TtfGlyph *pG, const longpointtype &a, const longpointtype &b) {
    return DotF(int32_t(uint32_t(a.x) - uint32_t(b.x)), int32_t(uint32_t(a.y) - uint32_t(b.y)),
                Dual(pG));
}
int32_t ProjectPoint(const _TtfGlyph *pG, const longpointtype &a) {
    return DotF(a.x, a.y, Projection(pG));
}

// f . p as moves divide by it: exact for a freedom vector on an axis, and
// taken as 1 below 1/16, where the division would throw points far away.
int64_t FreedomDotProjection(const GsvStruct &gs) {
    const longpointtype &f = gs.freedom_vector, &p = gs.projection_vector;
    int64_t fp;
    if (f.x == 0x4000)
        fp = p.x;
    else if (f.y == 0x4000)
        fp = p.y;
    else
        fp = (int64_t(p.x) * f.x + int64_t(p.y) * f.y) >> 14;
    if (fp > -0x400 && fp < 0x400) fp = 0x4000;
    return fp;
}

void Noted(_TtfGlyph *pG, const TTFCoord *pt, longpointtype from) {
    if (pG->Tracer != nullptr) NoteMove(pG, pt, from);
}

// Moves the point so that its projection changes by `distance`, along the
// freedom vector, and touches it.
void MoveF(_TtfGlyph *pG, TTFCoord *pt, int64_t distance) {
    const GsvStruct &gs = pG->Gsv;
    const longpointtype from = pt->Cur;
    const int64_t fp = FreedomDotProjection(gs);
    if (gs.freedom_vector.x != 0) {
        pt->Cur.x = Clamp32(pt->Cur.x + MulDivF(distance, gs.freedom_vector.x, fp));
        pt->Flags |= kTouchedX;
    }
    if (gs.freedom_vector.y != 0) {
        pt->Cur.y = Clamp32(pt->Cur.y + MulDivF(distance, gs.freedom_vector.y, fp));
        pt->Flags |= kTouchedY;
    }
    Noted(pG, pt, from);
}

// The same for the original position (twilight points given one by MSIRP).
void MoveOrigF(const _TtfGlyph *pG, TTFCoord *pt, int64_t distance) {
    const GsvStruct &gs = pG->Gsv;
    const int64_t fp = FreedomDotProjection(gs);
    if (gs.freedom_vector.x != 0)
        pt->Orig.x = Clamp32(pt->Orig.x + MulDivF(distance, gs.freedom_vector.x, fp));
    if (gs.freedom_vector.y != 0)
        pt->Orig.y = Clamp32(pt->Orig.y + MulDivF(distance, gs.freedom_vector.y, fp));
}

// Adds (dx, dy) in the directions the freedom vector has; touches the point
// when asked.
void ShiftF(_TtfGlyph *pG, TTFCoord *pt, int64_t dx, int64_t dy, bool touch) {
    const GsvStruct &gs = pG->Gsv;
    const longpointtype from = pt->Cur;
    if (gs.freedom_vector.x != 0) {
        pt->Cur.x = Clamp32(pt->Cur.x + dx);
        if (touch) pt->Flags |= kTouchedX;
    }
    if (gs.freedom_vector.y != 0) {
        pt->Cur.y = Clamp32(pt->Cur.y + dy);
        if (touch) pt->Flags |= kTouchedY;
    }
    Noted(pG, pt, from);
}

// The glyph zone's positions before scaling, when the loader recorded them
// for the points now in the zone; null when it did not, and original
// distances are then measured from the scaled originals.  The loader that
// records them sets UnscaledScale, the factor that brings them to 26.6; a
// scale of 0 says that nothing was recorded for these points (a glyph
// loaded without them, or points placed by hand).
const longpointtype *UnscaledOriginals(const _TtfGlyph *pG) {
    return pG->UnscaledScale != 0 ? pG->Unscaled : nullptr;
}

// The position before scaling of a glyph-zone point, where the loader
// recorded one; otherwise its original position.
const longpointtype &UnitsOf(const _TtfGlyph *pG, const TTFCoord *pt) {
    const longpointtype *units = UnscaledOriginals(pG);
    return units != nullptr ? units[pt - pG->Zone1] : pt->Orig;
}

// The original distance a - b along the dual vector, as MD and MDRP
// measure it: from the original positions when either zone is the twilight
// zone or nothing was recorded before scaling, else from the positions
// before scaling, scaled once.
int32_t OriginalDistance(Exec &e, int32_t zoneA, const TTFCoord *a, int32_t zoneB,
                         const TTFCoord *b) {
    _TtfGlyph *pG = e.pG;
    if (zoneA == 0 || zoneB == 0 || UnscaledOriginals(pG) == nullptr)
        return DualProject(pG, a->Orig, b->Orig);
    return Clamp32(MulFixF(DualProject(pG, UnitsOf(pG, a), UnitsOf(pG, b)), pG->UnscaledScale));
}

// Whether the stack holds the `loop` point numbers SHP, SHPIX, IP, ALIGNRP
// and FLIPPT repeat over.  When it does not, nothing is popped or moved:
// `loop` goes back to 1 and the fault is recorded.
bool LoopPointsOnStack(Exec &e) {
    if (Depth(e) >= e.pG->Gsv.loop) return true;
    e.pG->Gsv.loop = 1;
    Fault(e, kFaultArgument);
    return false;
}

// Pops the `loop` values (checked by LoopPointsOnStack) and hands each to
// `each`; `loop` goes back to 1.
template <typename Each>
void ForLoopPointsF(Exec &e, Each each) {
    for (int32_t n = e.pG->Gsv.loop; n > 0; --n) each(Pop(e));
    e.pG->Gsv.loop = 1;
}

int32_t Magnitude64(int64_t v) { return Clamp32(v < 0 ? -v : v); }

}  // namespace

// ------------------------------------------------------- measuring

// GC[a] 0x46-0x47: a point outside its zone reads 0.
void InsF_GC(Exec &e) {
    const TTFCoord *pt = PointF(e, e.pG->Gsv.zp2, uint32_t(e.sp[-1]));
    if (pt == nullptr) {
        e.sp[-1] = 0;
        return;
    }
    e.sp[-1] = (e.opcode & 1) ? DotF(pt->Orig.x, pt->Orig.y, Dual(e.pG))
                              : ProjectPoint(e.pG, pt->Cur);
}

// SCFS[] 0x48: a twilight point takes its new position as its original one.
void InsF_SCFS(Exec &e) {
    const int32_t value = Pop(e);
    TTFCoord *pt = PointF(e, e.pG->Gsv.zp2, PointNumber(Pop(e)));
    if (pt == nullptr) return;
    SaveNOS(pt);
    MoveF(e.pG, pt, int64_t(value) - ProjectPoint(e.pG, pt->Cur));
    if (e.pG->Gsv.zp2 == 0) pt->Orig = pt->Cur;
}

// MD[a] 0x49-0x4A: the first popped point is in zp1, the second in zp0;
// 0x49 measures current positions, 0x4A original ones.
void InsF_MD(Exec &e) {
    const GsvStruct &gs = e.pG->Gsv;
    const TTFCoord *k = PointF(e, gs.zp1, PointNumber(Pop(e)));
    const TTFCoord *l = PointF(e, gs.zp0, PointNumber(Pop(e)));
    int32_t d = 0;
    if (k != nullptr && l != nullptr) {
        d = (e.opcode & 1) ? Project(e.pG, l->Cur, k->Cur)
                           : OriginalDistance(e, gs.zp0, l, gs.zp1, k);
    }
    Push(e, d);
}

// ------------------------------------------------------- direct moves

// MDAP[a] 0x2E-0x2F: touches the point even when it does not move.
void InsF_MDAP(Exec &e) {
    const int32_t p = PointNumber(Pop(e));
    TTFCoord *pt = PointF(e, e.pG->Gsv.zp0, p);
    if (pt == nullptr) return;
    SaveNOS(pt);
    int64_t distance = 0;
    if (e.opcode & 1) {
        const int32_t cur = ProjectPoint(e.pG, pt->Cur);
        distance = int64_t(RoundF(e.pG, cur)) - cur;
    }
    MoveF(e.pG, pt, distance);
    e.pG->Gsv.rp0 = e.pG->Gsv.rp1 = p;
}

// MIAP[a] 0x3E-0x3F: the cut-in compares the control value with the point's
// current position; no auto-flip.  A twilight point is first put at the
// control value along the freedom vector, original and current.
void InsF_MIAP(Exec &e) {
    const uint32_t index = uint32_t(Pop(e));
    const int32_t p = PointNumber(Pop(e));
    _TtfGlyph *pG = e.pG;
    GsvStruct &gs = pG->Gsv;
    TTFCoord *pt = PointF(e, gs.zp0, p);
    const int32_t *slot = pt != nullptr ? CvtSlot(e, int32_t(index)) : nullptr;
    if (slot != nullptr) {
        int64_t distance = *slot;
        if (gs.zp0 == 0) {
            pt->Orig = {Clamp32(MulFix14F(distance, gs.freedom_vector.x)),
                        Clamp32(MulFix14F(distance, gs.freedom_vector.y))};
            pt->Cur = pt->Orig;
        }
        SaveNOS(pt);
        const int32_t current = ProjectPoint(pG, pt->Cur);
        if (e.opcode & 1) {
            if (Magnitude64(distance - current) > gs.control_value_cut_in) distance = current;
            distance = RoundF(pG, Clamp32(distance));
        }
        MoveF(pG, pt, distance - current);
    }
    gs.rp0 = gs.rp1 = p;
}

// The end of MDRP and MIRP: the minimum distance in the original
// distance's direction, the move, and the reference points (set even when
// a point was out of range).
namespace {

int64_t KeepMinimum(const Exec &e, int64_t distance, int32_t original) {
    if (!(e.opcode & 0x08)) return distance;
    const int64_t minimum = e.pG->Gsv.minimum_distance;
    if (original >= 0) return distance < minimum ? minimum : distance;
    return distance > -minimum ? -minimum : distance;
}

}  // namespace

// MDRP[abcde] 0xC0-0xDF: the single width replaces an original distance
// within the cut-in of it (signed), then rounding and minimum distance.
void InsF_MDRP(Exec &e) {
    const int32_t p = PointNumber(Pop(e));
    _TtfGlyph *pG = e.pG;
    const GsvStruct &gs = pG->Gsv;
    TTFCoord *pt = PointF(e, gs.zp1, p);
    const TTFCoord *r = PointF(e, gs.zp0, gs.rp0);
    if (pt != nullptr && r != nullptr) {
        int32_t original = OriginalDistance(e, gs.zp1, pt, gs.zp0, r);
        const int64_t width = gs.single_width_value, cutIn = gs.single_width_cut_in;
        if (cutIn > 0 && original < width + cutIn && original > width - cutIn)
            original = Clamp32(original >= 0 ? width : -width);
        int64_t distance = (e.opcode & 0x04) ? RoundF(pG, original) : original;
        distance = KeepMinimum(e, distance, original);
        SaveNOS(pt);
        MoveF(pG, pt, distance - Project(pG, pt->Cur, r->Cur));
    }
    UpdateReferencesAfterMove(e, p, 0x10);
}

// MIRP[abcde] 0xE0-0xFF: the control value (index -1 reads 0) with the
// single width, auto-flip, and with the round bit the cut-in (only when
// both points are in one zone) and rounding.  A twilight point is first
// put at the control value from rp0's original position.
void InsF_MIRP(Exec &e) {
    const uint32_t entry = uint32_t(int64_t(Pop(e)) + 1);
    const int32_t p = PointNumber(Pop(e));
    _TtfGlyph *pG = e.pG;
    const GsvStruct &gs = pG->Gsv;
    TTFCoord *pt = PointF(e, gs.zp1, p);
    const TTFCoord *r = PointF(e, gs.zp0, gs.rp0);
    const uint32_t entries = pG->lControlTable != nullptr ? uint32_t(CvtEntries(e.pF)) : 0;
    if (entry > entries) Fault(e, kFaultArgument);
    if (pt != nullptr && r != nullptr && entry <= entries) {
        int64_t cvt = entry == 0 ? 0 : pG->lControlTable[entry - 1];
        const int64_t width = gs.single_width_value;
        if ((cvt - width < 0 ? width - cvt : cvt - width) < gs.single_width_cut_in)
            cvt = cvt >= 0 ? width : -width;
        if (gs.zp1 == 0) {
            pt->Orig = {Clamp32(r->Orig.x + MulFix14F(cvt, gs.freedom_vector.x)),
                        Clamp32(r->Orig.y + MulFix14F(cvt, gs.freedom_vector.y))};
            pt->Cur = pt->Orig;
        }
        const int32_t original = DualProject(pG, pt->Orig, r->Orig);
        const int32_t current = Project(pG, pt->Cur, r->Cur);
        if (gs.auto_flip && (original < 0) != (cvt < 0)) cvt = -cvt;
        int64_t distance = cvt;
        if (e.opcode & 0x04) {
            if (gs.zp0 == gs.zp1 && Magnitude64(cvt - original) > gs.control_value_cut_in)
                distance = original;
            distance = RoundF(pG, Clamp32(distance));
        }
        distance = KeepMinimum(e, distance, original);
        SaveNOS(pt);
        MoveF(pG, pt, distance - current);
    }
    UpdateReferencesAfterMove(e, p, 0x10);
}

// MSIRP[a] 0x3A-0x3B: sets rp1 and rp2 as MDRP does.  A twilight point
// starts at rp0's original position moved by the distance.
void InsF_MSIRP(Exec &e) {
    const int32_t distance = Pop(e);
    const int32_t p = PointNumber(Pop(e));
    _TtfGlyph *pG = e.pG;
    GsvStruct &gs = pG->Gsv;
    TTFCoord *pt = PointF(e, gs.zp1, p);
    const TTFCoord *r = PointF(e, gs.zp0, gs.rp0);
    if (pt == nullptr || r == nullptr) return;
    if (gs.zp1 == 0) {
        pt->Orig = r->Orig;
        MoveOrigF(pG, pt, distance);
        pt->Cur = pt->Orig;
    }
    SaveNOS(pt);
    MoveF(pG, pt, int64_t(distance) - Project(pG, pt->Cur, r->Cur));
    UpdateReferencesAfterMove(e, p, 0x01);
}

// ------------------------------------------------------------- shifts

namespace {

// How far SHP, SHC and SHZ shift: the reference (rp2 in zp1, or rp1 in zp0
// for the odd opcodes) has moved d along the projection vector; the shift
// is d along the freedom vector.
struct Displacement {
    int32_t zone, point;
    int64_t dx, dy;
};

bool DisplacementOf(Exec &e, Displacement *out) {
    const GsvStruct &gs = e.pG->Gsv;
    const bool useRp1 = (e.opcode & 1) != 0;
    out->zone = useRp1 ? gs.zp0 : gs.zp1;
    out->point = useRp1 ? gs.rp1 : gs.rp2;
    const TTFCoord *r = PointF(e, out->zone, out->point);
    if (r == nullptr) return false;
    const int64_t d = Project(e.pG, r->Cur, r->Orig);
    const int64_t fp = FreedomDotProjection(gs);
    out->dx = MulDivF(d, gs.freedom_vector.x, fp);
    out->dy = MulDivF(d, gs.freedom_vector.y, fp);
    return true;
}

// Points first..last - 1 of zp2 but the reference, shifted and touched as
// asked.
void ShiftRangeF(Exec &e, const Displacement &d, int32_t first, int32_t limit, bool touch) {
    _TtfGlyph *pG = e.pG;
    const int32_t zone = pG->Gsv.zp2;
    TTFCoord *base = zone ? pG->Zone1 : pG->Zone0;
    if (base == nullptr) return;
    if (limit > pG->ZonePoints[zone ? 1 : 0]) limit = pG->ZonePoints[zone ? 1 : 0];
    for (int32_t i = first < 0 ? 0 : first; i < limit; ++i) {
        if ((d.zone != 0) != (zone != 0) || d.point != i) {
            SaveNOS(&base[i]);
            ShiftF(pG, &base[i], d.dx, d.dy, touch);
        }
    }
}

}  // namespace

// SHP[a] 0x32-0x33: `loop` points, touched.  Fewer than `loop` values on
// the stack, or a bad reference, and nothing happens.
void InsF_SHP(Exec &e) {
    _TtfGlyph *pG = e.pG;
    if (!LoopPointsOnStack(e)) return;
    Displacement d;
    if (!DisplacementOf(e, &d)) return;
    ForLoopPointsF(e, [&](int32_t point) {
        if (TTFCoord *pt = PointF(e, pG->Gsv.zp2, PointNumber(point))) {
            SaveNOS(pt);
            ShiftF(pG, pt, d.dx, d.dy, true);
        }
    });
}

// SHC[a] 0x34-0x35: a contour of zp2, touched; the twilight zone is one
// contour of all its points.
void InsF_SHC(Exec &e) {
    _TtfGlyph *pG = e.pG;
    const int32_t contour = int16_t(Pop(e));
    const bool twilight = pG->Gsv.zp2 == 0;
    const int32_t contours = twilight ? 1 : pG->NumContours;
    if (contour < 0 || contour >= contours || (!twilight && pG->EndPoints == nullptr))
        return Fault(e, kFaultArgument);
    Displacement d;
    if (!DisplacementOf(e, &d)) return;
    const int32_t first = contour == 0 ? 0 : pG->EndPoints[contour - 1] + 1;
    const int32_t limit = twilight ? pG->ZonePoints[0] : pG->EndPoints[contour] + 1;
    ShiftRangeF(e, d, first, limit, true);
}

// SHZ[a] 0x36-0x37: the operand must name a zone, but the points shifted
// are zp2's: every twilight point, or the glyph's outline points (not the
// phantom points).  Not touched.
void InsF_SHZ(Exec &e) {
    _TtfGlyph *pG = e.pG;
    if (uint32_t(Pop(e)) >= 2) return Fault(e, kFaultArgument);
    Displacement d;
    if (!DisplacementOf(e, &d)) return;
    int32_t limit = 0;
    if (pG->Gsv.zp2 == 0)
        limit = pG->ZonePoints[0];
    else if (pG->NumContours > 0 && pG->EndPoints != nullptr)
        limit = pG->EndPoints[pG->NumContours - 1] + 1;
    ShiftRangeF(e, d, 0, limit, false);
}

// SHPIX[] 0x38: the amount along the freedom vector, each component
// rounded; the points are touched.
void InsF_SHPIX(Exec &e) {
    _TtfGlyph *pG = e.pG;
    const int32_t amount = Pop(e);
    if (!LoopPointsOnStack(e)) return;
    const int64_t dx = MulFix14F(amount, pG->Gsv.freedom_vector.x);
    const int64_t dy = MulFix14F(amount, pG->Gsv.freedom_vector.y);
    ForLoopPointsF(e, [&](int32_t point) {
        if (TTFCoord *pt = PointF(e, pG->Gsv.zp2, PointNumber(point))) {
            SaveNOS(pt);
            ShiftF(pG, pt, dx, dy, true);
        }
    });
}

// --------------------------------------------- interpolation, alignment

// IP[] 0x39: each point keeps its original proportion between rp1 and rp2
// without truncating the ratio; with rp1 and rp2 at one original position a
// point keeps its original distance from rp1.  Original positions are
// measured in font units in the glyph zone.
void InsF_IP(Exec &e) {
    _TtfGlyph *pG = e.pG;
    const GsvStruct &gs = pG->Gsv;
    if (!LoopPointsOnStack(e)) return;
    const bool twilight = gs.zp0 == 0 || gs.zp1 == 0 || gs.zp2 == 0;
    const TTFCoord *r1 = PointF(e, gs.zp0, gs.rp1);
    if (r1 == nullptr) {
        pG->Gsv.loop = 1;
        return;
    }
    auto original = [pG, twilight](const TTFCoord *pt) -> const longpointtype & {
        return twilight ? pt->Orig : UnitsOf(pG, pt);
    };
    const longpointtype base = original(r1);
    const longpointtype curBase = r1->Cur;
    int64_t oldRange = 0, curRange = 0;
    if (const TTFCoord *r2 = PointF(e, gs.zp1, gs.rp2)) {
        oldRange = DualProject(pG, original(r2), base);
        curRange = Project(pG, r2->Cur, curBase);
    }
    ForLoopPointsF(e, [&](int32_t point) {
        TTFCoord *pt = PointF(e, gs.zp2, uint32_t(point));
        if (pt == nullptr) return;
        const int64_t orgDist = DualProject(pG, original(pt), base);
        const int64_t curDist = Project(pG, pt->Cur, curBase);
        int64_t newDist = 0;
        if (orgDist != 0) newDist = oldRange != 0 ? MulDivF(orgDist, curRange, oldRange) : orgDist;
        SaveNOS(pt);
        MoveF(pG, pt, newDist - curDist);
    });
}

// ALIGNRP[] 0x3C
void InsF_ALIGNRP(Exec &e) {
    _TtfGlyph *pG = e.pG;
    const GsvStruct &gs = pG->Gsv;
    if (!LoopPointsOnStack(e)) return;
    const TTFCoord *r = PointF(e, gs.zp0, gs.rp0);
    if (r == nullptr) {
        pG->Gsv.loop = 1;
        return Fault(e, kFaultArgument);
    }
    ForLoopPointsF(e, [&](int32_t point) {
        if (TTFCoord *pt = PointF(e, gs.zp1, PointNumber(point))) {
            SaveNOS(pt);
            MoveF(pG, pt, -int64_t(Project(pG, pt->Cur, r->Cur)));
        }
    });
}

// ALIGNPTS[] 0x27: the first popped point is in zp0, the second in zp1;
// each moves half their distance (truncated) toward the other.
void InsF_ALIGNPTS(Exec &e) {
    _TtfGlyph *pG = e.pG;
    TTFCoord *p2 = PointF(e, pG->Gsv.zp0, PointNumber(Pop(e)));
    TTFCoord *p1 = PointF(e, pG->Gsv.zp1, PointNumber(Pop(e)));
    if (p1 == nullptr || p2 == nullptr) return;
    const int64_t distance = Project(pG, p2->Cur, p1->Cur) / 2;
    SaveNOS(p1);
    SaveNOS(p2);
    MoveF(pG, p1, distance);
    MoveF(pG, p2, -distance);
}

// ISECT[] 0x0F: the first two popped points are line b (zp0), the next two
// line a (zp1), the last the point (zp2).  Lines crossing at less than
// about 3 degrees put the point at the mean of the four ends.
void InsF_ISECT(Exec &e) {
    _TtfGlyph *pG = e.pG;
    const GsvStruct &gs = pG->Gsv;
    const TTFCoord *b1 = PointF(e, gs.zp0, PointNumber(Pop(e)));
    const TTFCoord *b0 = PointF(e, gs.zp0, PointNumber(Pop(e)));
    const TTFCoord *a1 = PointF(e, gs.zp1, PointNumber(Pop(e)));
    const TTFCoord *a0 = PointF(e, gs.zp1, PointNumber(Pop(e)));
    TTFCoord *pt = PointF(e, gs.zp2, PointNumber(Pop(e)));
    if (b1 == nullptr || b0 == nullptr || a1 == nullptr || a0 == nullptr || pt == nullptr) return;
    const int64_t dbx = int64_t(b1->Cur.x) - b0->Cur.x, dby = int64_t(b1->Cur.y) - b0->Cur.y;
    const int64_t dax = int64_t(a1->Cur.x) - a0->Cur.x, day = int64_t(a1->Cur.y) - a0->Cur.y;
    const int64_t dx = int64_t(b0->Cur.x) - a0->Cur.x, dy = int64_t(b0->Cur.y) - a0->Cur.y;
    const int64_t discriminant = MulDivF(dax, -dby, 0x40) + MulDivF(day, dbx, 0x40);
    const int64_t dot = MulDivF(dax, dbx, 0x40) + MulDivF(day, dby, 0x40);
    const longpointtype from = pt->Cur;
    if (19 * (discriminant < 0 ? -discriminant : discriminant) > (dot < 0 ? -dot : dot)) {
        const int64_t val = MulDivF(dx, -dby, 0x40) + MulDivF(dy, dbx, 0x40);
        pt->Cur.x = Clamp32(a0->Cur.x + MulDivF(val, dax, discriminant));
        pt->Cur.y = Clamp32(a0->Cur.y + MulDivF(val, day, discriminant));
    } else {
        pt->Cur.x = Clamp32((int64_t(a0->Cur.x) + a1->Cur.x + b0->Cur.x + b1->Cur.x) / 4);
        pt->Cur.y = Clamp32((int64_t(a0->Cur.y) + a1->Cur.y + b0->Cur.y + b1->Cur.y) / 4);
    }
    pt->Flags |= kTouchedX | kTouchedY;
    Noted(pG, pt, from);
}

// ------------------------------------------------------ flags

// UTP[] 0x29
void InsF_UTP(Exec &e) {
    TTFCoord *pt = PointF(e, e.pG->Gsv.zp0, PointNumber(Pop(e)));
    if (pt == nullptr) return;
    if (e.pG->Gsv.freedom_vector.x != 0) pt->Flags &= uint8_t(~kTouchedX);
    if (e.pG->Gsv.freedom_vector.y != 0) pt->Flags &= uint8_t(~kTouchedY);
}

// FLIPPT[] 0x80: toggles the on-curve bit of `loop` glyph-zone points.
void InsF_FLIPPT(Exec &e) {
    if (!LoopPointsOnStack(e)) return;
    ForLoopPointsF(e, [&](int32_t point) {
        if (TTFCoord *pt = PointF(e, 1, PointNumber(point))) pt->Flags ^= kOnCurve;
    });
}

// FLIPRGON[] 0x81, FLIPRGOFF[] 0x82: a range reaching outside the glyph
// zone changes nothing.
void InsF_FLIPRG(Exec &e) {
    _TtfGlyph *pG = e.pG;
    const int32_t high = PointNumber(Pop(e));
    const int32_t low = PointNumber(Pop(e));
    if (high >= pG->ZonePoints[1] || low >= pG->ZonePoints[1] || pG->Zone1 == nullptr)
        return Fault(e, kFaultPoint);
    for (int32_t p = low; p <= high; ++p) {
        if (e.opcode == 0x81)
            pG->Zone1[p].Flags |= kOnCurve;
        else
            pG->Zone1[p].Flags &= uint8_t(~kOnCurve);
    }
}

// ---------------------------------------------------------------- IUP

namespace {

// One axis of IUP: coordinates read through a member pointer, original
// positions in font units when the loader gave them.
struct IupAxis {
    IupAxis(_TtfGlyph *glyph, int32_t longpointtype::*along)
        : pG(glyph), axis(along), z(glyph->Zone1),
          units(UnscaledOriginals(glyph)),
          traced(glyph->Tracer != nullptr) {}

    _TtfGlyph *pG;
    int32_t longpointtype::*axis;
    TTFCoord *z;
    const longpointtype *units;  // the points in font units, or null
    bool traced;

    int32_t Units(int i) const { return units != nullptr ? units[i].*axis : z[i].Orig.*axis; }
    void Set(int i, int64_t v) const {
        const longpointtype from = z[i].Cur;
        z[i].Cur.*axis = Clamp32(v);
        if (traced && z[i].Cur.*axis != from.*axis) NoteMove(pG, &z[i], from);
    }
};

// Shifts the points first..last but `p` by p's movement.
void IupShift(const IupAxis &a, int first, int last, int p) {
    const int64_t delta = int64_t(a.z[p].Cur.*a.axis) - a.z[p].Orig.*a.axis;
    if (delta == 0) return;
    for (int i = first; i <= last; ++i) {
        if (i != p) a.Set(i, a.z[i].Cur.*a.axis + delta);
    }
}

// Interpolates the points first..last between the touched points ref1 and
// ref2: outside their original span a point moves with the nearer one,
// inside it keeps its proportion (in font units).
void IupInterpolate(const IupAxis &a, int first, int last, int ref1, int ref2) {
    if (first > last) return;
    int64_t units1 = a.Units(ref1), units2 = a.Units(ref2);
    if (units1 > units2) {
        std::swap(units1, units2);
        std::swap(ref1, ref2);
    }
    const int64_t org1 = a.z[ref1].Orig.*a.axis, org2 = a.z[ref2].Orig.*a.axis;
    const int64_t cur1 = a.z[ref1].Cur.*a.axis, cur2 = a.z[ref2].Cur.*a.axis;
    const int64_t delta1 = cur1 - org1, delta2 = cur2 - org2;
    const bool flat = cur1 == cur2 || units1 == units2;
    int64_t scale = 0;
    bool scaleValid = false;
    for (int i = first; i <= last; ++i) {
        int64_t x = a.z[i].Orig.*a.axis;
        if (x <= org1) {
            x += delta1;
        } else if (x >= org2) {
            x += delta2;
        } else if (flat) {
            x = cur1;
        } else {
            if (!scaleValid) {
                scaleValid = true;
                scale = DivFixF(cur2 - cur1, units2 - units1);
            }
            x = cur1 + MulFixF(a.Units(i) - units1, scale);
        }
        a.Set(i, x);
    }
}

}  // namespace

// IUP[a] 0x30-0x31: along the x axis (a = 1) or the y axis, whatever the
// vectors; every contour of the glyph zone, whatever zp2.
void InsF_IUP(Exec &e) {
    _TtfGlyph *pG = e.pG;
    if (pG->NumContours <= 0 || pG->EndPoints == nullptr || pG->Zone1 == nullptr) return;
    const uint8_t mask = (e.opcode & 1) ? kTouchedX : kTouchedY;
    const IupAxis a(pG, (e.opcode & 1) ? &longpointtype::x : &longpointtype::y);
    const int n = pG->ZonePoints[1];
    if (n <= 0) return;
    int point = 0;
    for (int contour = 0; contour < pG->NumContours; ++contour) {
        int end = pG->EndPoints[contour];
        if (end < 0 || end >= n) end = n - 1;
        const int first = point;
        while (point <= end && (a.z[point].Flags & mask) == 0) ++point;
        if (point > end) continue;
        const int firstTouched = point;
        int curTouched = point;
        for (++point; point <= end; ++point) {
            if (a.z[point].Flags & mask) {
                IupInterpolate(a, curTouched + 1, point - 1, curTouched, point);
                curTouched = point;
            }
        }
        if (curTouched == firstTouched) {
            IupShift(a, first, end, curTouched);
        } else {
            IupInterpolate(a, curTouched + 1, end, curTouched, firstTouched);
            IupInterpolate(a, first, firstTouched - 1, curTouched, firstTouched);
        }
    }
}

// ------------------------------------------------------------- DELTA

namespace {

// The step of a DELTA argument: its low nibble -8..-1, 1..8 in units of
// 1/2^delta_shift pixel.
int64_t DeltaStep(const _TtfGlyph *pG, int32_t arg) {
    int64_t b = int64_t(uint32_t(arg) & 0xF) - 8;
    if (b >= 0) ++b;
    const int32_t shift = pG->Gsv.delta_shift;
    return shift >= 0 && shift <= 6 ? b * (int64_t(1) << (6 - shift)) : 0;
}

// Whether a DELTA argument names this ppem for DELTAx1/2/3 (`band` 0..2).
bool DeltaMatches(const _TtfGlyph *pG, int32_t arg, int band) {
    const int64_t target =
        ((uint32_t(arg) & 0xF0) >> 4) + 16 * band + int64_t(uint16_t(pG->Gsv.delta_base));
    return target == PixelsPerEm(pG);
}

// The DELTA instructions' common walk: `count` (target, argument) pairs off
// the stack, each handed to `apply`; a count beyond the stack empties it.
template <typename Apply>
void ForEachDelta(Exec &e, Apply apply) {
    const uint32_t count = uint32_t(Pop(e));
    for (uint32_t k = 0; k < count; ++k) {
        if (Depth(e) < 2) {
            e.sp = e.stackBase;
            return Fault(e, kFaultArgument);
        }
        const int32_t target = Pop(e);
        const int32_t arg = Pop(e);
        apply(target, arg);
    }
}

}  // namespace

// DELTAP1 0x5D, DELTAP2 0x71, DELTAP3 0x72: moves (and touches) points of zp0.
void InsF_DELTAP(Exec &e) {
    _TtfGlyph *pG = e.pG;
    const int band = e.opcode == 0x5D ? 0 : e.opcode - 0x70;
    ForEachDelta(e, [&](int32_t point, int32_t arg) {
        TTFCoord *pt = PointF(e, pG->Gsv.zp0, PointNumber(point));
        if (pt == nullptr || !DeltaMatches(pG, arg, band)) return;
        SaveNOS(pt);
        MoveF(pG, pt, DeltaStep(pG, arg));
    });
}

// DELTAC1 0x73, DELTAC2 0x74, DELTAC3 0x75: changes control values.
void InsF_DELTAC(Exec &e) {
    _TtfGlyph *pG = e.pG;
    pG->ProgramWrote = 1;
    const int band = e.opcode - 0x73;
    ForEachDelta(e, [&](int32_t index, int32_t arg) {
        int32_t *slot = CvtSlot(e, index);
        if (slot == nullptr || !DeltaMatches(pG, arg, band)) return;
        *slot = Clamp32(*slot + DeltaStep(pG, arg));
    });
}

}  // namespace kelmor
