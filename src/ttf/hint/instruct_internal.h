// What the interpreter's source files share: the registers of one running
// activation, stack and fault helpers, the primitives and the handlers that
// the dispatch table names.  Not for use outside src/ttf/hint/; the
// interpreter's tests have instruct_testing.h.
#ifndef KELMOR_TTF_HINT_INSTRUCT_INTERNAL_H
#define KELMOR_TTF_HINT_INSTRUCT_INTERNAL_H

#include <cstdint>

#include "ttf/font/ttf_records.h"
#include "ttf/hint/instruct.h"
#include "ttf/hint/instruct_testing.h"
#include "ttf/sfnt/sfnt.h"

namespace kelmor {

// Functions may call functions this deep; a deeper CALL or LOOPCALL is a
// fault and runs nothing.  Real fonts nest a handful of levels.
constexpr int kMaxCallDepth = 64;

// Instructions (and function calls) one program run may execute, its
// functions included.  The most any Debian CJK font runs is under 1,500
// per program (control-value programs and glyph programs alike; Liberation
// Serif's glyph programs reach 2,350), so this is over 400 times what real
// fonts need, while a program that would never end stops within a few
// milliseconds.
constexpr int32_t kInstructionBudget = 1000000;

// Registers of one activation: the program itself, or one function body.
struct Exec {
    _TTFont *pF;
    _TtfGlyph *pG;
    const uint8_t *pc;     // next byte to fetch
    const uint8_t *start;  // first byte of the code being run
    const uint8_t *end;    // one past its last byte
    int32_t *sp;           // next free stack slot
    int32_t *stackBase;    // the first stack slot
    int32_t *stackEnd;     // one past the last stack slot
    int recursion;         // 0 for the program, +1 per nested call
    uint8_t opcode;        // the instruction now running
};

// ------------------------------------------------------------------ stack

inline int Depth(const Exec &e) { return int(e.sp - e.stackBase); }
inline int Room(const Exec &e) { return int(e.stackEnd - e.sp); }
// The dispatch table has checked the depth of every fixed-arity handler
// before it runs, so these are unchecked.
inline int32_t Pop(Exec &e) { return *--e.sp; }
inline void Push(Exec &e, int32_t v) { *e.sp++ = v; }

// ----------------------------------------------------------------- faults

// Records fault `code` (kFaultArgument, kFaultPoint) and tells the tracer.
void RecordFault(_TtfGlyph *pG, int code);
inline void Fault(Exec &e, int code) { RecordFault(e.pG, code); }

// ------------------------------------------------------ running code

// Runs NumInstructions bytes from pcIns as one activation at depth
// `Recursion` on the glyph record's stack, through the traced loop when a
// tracer is set.  `Base` is not used.  Always 0.
int DoInstructions(_TTFont *pF, _TtfGlyph *pG, int32_t NumInstructions, int Recursion,
                   const uint8_t *pcIns, const uint8_t *Base);

// ------------------------------------------------------------- primitives

inline int32_t PixelsPerEm(const _TtfGlyph *pG) {
    return int32_t(pG->PointSize) * pG->Resolution / 72;
}
// Entries of the scaled control-value table, and of storage and functions.
int32_t CvtEntries(const _TTFont *pF);
inline int StorageEntries(const _TtfGlyph *pG) {
    return pG->StorageSize > 0 ? pG->StorageSize / 4 : 0;
}
inline int FunctionEntries(const _TtfGlyph *pG) {
    return pG->FunctDefSize > 0 ? pG->FunctDefSize / kFunctDefBytes : 0;
}

// A point outside its zone: records the fault and hands out the zeroed
// scratch point, so that nothing in either zone changes.
TTFCoord *BadPointNOS(_TtfGlyph *pG);
inline TTFCoord *GetTTFCoordNOS(_TtfGlyph *pG, int32_t Zone, int32_t PointNo) {
    TTFCoord *zone = Zone != 0 ? pG->Zone1 : pG->Zone0;
    const int32_t count = pG->ZonePoints[Zone != 0 ? 1 : 0];
    if (zone != nullptr && PointNo >= 0 && PointNo < count) return zone + PointNo;
    return BadPointNOS(pG);
}
int32_t SetZpNOS(_TtfGlyph *pG, int32_t n1);
// v / 16384, truncating toward zero, without a division: the bias makes
// the arithmetic shift of a negative value round toward zero.
inline int64_t Div16384(int64_t v) { return (v + (v < 0 ? 16383 : 0)) >> 14; }

inline bool DualSet(const GsvStruct &gs) {
    return gs.dual_projection_vector.x != 0 || gs.dual_projection_vector.y != 0;
}
// (v . p) / 16384: a position measured along a vector.
inline int32_t Dot(longpointtype v, longpointtype p) {
    return Clamp32(Div16384(int64_t(v.x) * p.x + int64_t(v.y) * p.y));
}
inline int32_t MeasureNOS(const _TtfGlyph *pG, const longpointtype *ThisPoint) {
    return Dot(pG->Gsv.projection_vector, *ThisPoint);
}
inline int32_t MeasureDualNOS(const _TtfGlyph *pG, const longpointtype *lpThisPoint) {
    const GsvStruct &gs = pG->Gsv;
    return Dot(DualSet(gs) ? gs.dual_projection_vector : gs.projection_vector, *lpThisPoint);
}
inline void TouchNOS(_TtfGlyph *pG, TTFCoord *lpCoord) {
    if (pG->Gsv.freedom_vector.x != 0) lpCoord->Flags |= kTouchedX;
    if (pG->Gsv.freedom_vector.y != 0) lpCoord->Flags |= kTouchedY;
}
int32_t RoundNOS(const _TtfGlyph *pG, int32_t n1, int DistType = 0);
int MoveCurPointNOS(_TtfGlyph *pG, TTFCoord *lpCoord, int32_t Dist, uint8_t Dual);
void SetVectsToAxisNOS(_TtfGlyph *pG, int c);
// Pops two point numbers (the first from zp1, the second from zp2) and
// stores the unit vector between them, turned a quarter clockwise when `c`
// is odd; `Orig` selects original positions.
void SetVectorToLine(Exec &e, uint8_t c, longpointtype *OutVec, uint8_t Orig);
void DeltaExcept(Exec &e, int Mult);
void DeltaCVTExcept(Exec &e, int Mult);
void MoveIndex(Exec &e, int k);
// Inline data bytes after the push opcode just before `pcIns`, never
// reaching past `end`.
int32_t SkipPushesNOG(const uint8_t *pcIns, const uint8_t *end);
// Tells the tracer (if any) that `pt` moved from `from`.
void NoteMove(_TtfGlyph *pG, const TTFCoord *pt, longpointtype from);
// Copies Cur into Prev.
inline void SaveNOS(TTFCoord *pt) { pt->Prev = pt->Cur; }

// ---------------------------------------------------------------- handlers

using InsHandler = void (*)(Exec &);

// The point instructions (instruct_points.cpp).
void Ins_GC(Exec &e);
void Ins_SCFS(Exec &e);
void Ins_MD(Exec &e);
void Ins_MDAP(Exec &e);
void Ins_MIAP(Exec &e);
void Ins_MDRP(Exec &e);
void Ins_MIRP(Exec &e);
void Ins_MSIRP(Exec &e);
void Ins_SHP(Exec &e);
void Ins_SHC(Exec &e);
void Ins_SHZ(Exec &e);
void Ins_SHPIX(Exec &e);
void Ins_IP(Exec &e);
void Ins_ALIGNRP(Exec &e);
void Ins_ALIGNPTS(Exec &e);
void Ins_ISECT(Exec &e);
void Ins_AA(Exec &e);
void Ins_UTP(Exec &e);
void Ins_FLIPRG(Exec &e);
void Ins_IUP(Exec &e);
void Ins_DELTAP(Exec &e);
void Ins_DELTAC(Exec &e);

}  // namespace kelmor

#endif
