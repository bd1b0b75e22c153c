// What the interpreter's source files share: the registers of one running
// activation, stack and fault helpers, and the primitives the handlers are
// built from (the handlers themselves are declared in instruct_handlers.h).
// Not for use outside src/ttf/hint/; the interpreter's tests have
// instruct_testing.h.
#ifndef KELMOR_TTF_HINT_INSTRUCT_INTERNAL_H
#define KELMOR_TTF_HINT_INSTRUCT_INTERNAL_H

#include <cstdint>

#include "ttf/records/ttf_records.h"
#include "ttf/hint/instruct.h"
#include "ttf/hint/instruct_testing.h"
#include "ttf/sfnt/sfnt.h"

namespace kelmor {

// Functions may call functions this deep; a deeper CALL or LOOPCALL is a
// fault and runs nothing.  Real fonts nest a handful of levels.
constexpr int kMaxCallDepth = 64;

// Instructions (and function calls) the font program or a size's
// control-value program may execute, its functions included.  The most any
// Debian CJK font runs is under 1,500 per program (Liberation Serif's glyph
// programs reach 2,350), so this is over 400 times what real fonts need,
// while a program that would never end stops within a few milliseconds.
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
    bool faithful;         // _TtfGlyph::Faithful, read once per activation
};

// The faithful mode's call stack holds this many calls, as TrueType
// rasterizers' do; a deeper CALL or LOOPCALL ends the run.
constexpr int kFaithfulCallDepth = 32;
// The faithful mode allows this many stack entries beyond maxp's count, as
// TrueType rasterizers do for fonts that understate it.
constexpr int kStackSlack = 32;
// Entries of the faithful mode's instruction-definition table: one per opcode.
constexpr int kInstructionDefs = 256;

// ------------------------------------------------------------------ stack

inline int Depth(const Exec &e) { return int(e.sp - e.stackBase); }
inline int Room(const Exec &e) { return int(e.stackEnd - e.sp); }
// The dispatch table has checked the depth of every fixed-arity handler
// before it runs, so these are unchecked.
inline int32_t Pop(Exec &e) { return *--e.sp; }
inline void Push(Exec &e, int32_t v) { *e.sp++ = v; }

// After MDRP, MIRP and MSIRP: rp1 takes rp0, rp2 the point just placed, and
// rp0 the point too when the opcode has the bit `setRp0` set.
inline void UpdateReferencesAfterMove(Exec &e, int32_t point, uint8_t setRp0) {
    GsvStruct &gs = e.pG->Gsv;
    gs.rp1 = gs.rp0;
    gs.rp2 = point;
    if (e.opcode & setRp0) gs.rp0 = point;
}

// ----------------------------------------------------------------- faults

// Records fault `code` (kFaultArgument, kFaultPoint) and tells the tracer.
void RecordFault(_TtfGlyph *pG, int code);
inline void Fault(Exec &e, int code) { RecordFault(e.pG, code); }
// The faithful mode's end of a run on an error that TrueType treats as fatal
// (an unknown opcode, a division by zero, a call of an undefined function,
// a stack overflow...): the fault is recorded and every activation of the
// run stops, as a spent budget stops them.
inline void Halt(Exec &e) {
    RecordFault(e.pG, kFaultArgument);
    if (e.pG->InsBudget >= 0) e.pG->HaltedBudget = e.pG->InsBudget;
    e.pG->InsBudget = -1;
    e.pc = e.end;
}

// ------------------------------------------------------ running code

// Runs NumInstructions bytes from pcIns as one activation at depth
// `Recursion` on the glyph record's stack, through the traced loop when a
// tracer is set.  `Base` is not used.  Always 0.
int DoInstructions(_TTFont *pF, _TtfGlyph *pG, int32_t NumInstructions, int Recursion,
                   const uint8_t *pcIns, const uint8_t *Base);

// Runs a function body (or an instruction definition) once as a nested
// activation on the caller's stack.  False when the run must stop: call
// depth exhausted, budget spent or INSTCTRL set.
bool CallFunction(Exec &e, const FunctDefEntry &f);

// ------------------------------------------------------------- primitives

// Entries of the scaled control-value table, and of storage and functions.
int32_t CvtEntries(const _TTFont *pF);
inline int StorageEntries(const _TtfGlyph *pG) {
    return pG->StorageSize > 0 ? pG->StorageSize / 4 : 0;
}
inline int FunctionEntries(const _TtfGlyph *pG) {
    return pG->FunctDefSize > 0 ? pG->FunctDefSize / kFunctDefBytes : 0;
}
// The defined function `f`, or null with a fault.
inline const FunctDefEntry *DefinedFunction(Exec &e, int32_t f) {
    if (f < 0 || f >= FunctionEntries(e.pG) || f >= e.pF->leMaximumProfile.maxFunctionDefs ||
        e.pG->FunctDef[f].Start == nullptr) {
        Fault(e, kFaultArgument);
        return nullptr;
    }
    return &e.pG->FunctDef[f];
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
// v . p, saturating: each product fits 64 bits but their sum may not (a
// program can set a vector from stack values without normalising it).
inline int64_t DotSaturated(longpointtype v, longpointtype p) {
    const int64_t a = int64_t(v.x) * p.x, b = int64_t(v.y) * p.y;
    int64_t sum;
    if (__builtin_add_overflow(a, b, &sum)) return a > 0 ? INT64_MAX : INT64_MIN;
    return sum;
}
// (v . p) / 16384: a position measured along a vector.
inline int32_t Dot(longpointtype v, longpointtype p) {
    return Clamp32(Div16384(DotSaturated(v, p)));
}
// A double brought to 32 bits, saturating (NaN gives 0): converting one out
// of range directly would be undefined.
inline int32_t Clamp32FromDouble(double v) {
    if (!(v == v)) return 0;
    return v >= 2147483647.0 ? INT32_MAX : v <= -2147483648.0 ? INT32_MIN : int32_t(v);
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
// Steps over the inline data of the push opcode just fetched.
inline void SkipPushData(Exec &e) { e.pc += SkipPushesNOG(e.pc, e.end); }

// The body of the FDEF or IDEF just run, from e.pc to the first ENDF
// (stepping over push data); e.pc goes past that ENDF, or to the end of the
// code when there is none.
struct DefinitionBody {
    const uint8_t *start;
    const uint8_t *end;  // the ENDF, or the end of the code
    bool closed;         // an ENDF ends it
    bool nested;         // an FDEF or IDEF stands inside it
};
DefinitionBody TakeDefinitionBody(Exec &e);

// Control value `index`, or null with a fault.
inline int32_t *CvtSlot(Exec &e, int32_t index) {
    if (e.pG->lControlTable == nullptr || index < 0 || index >= CvtEntries(e.pF)) {
        Fault(e, kFaultArgument);
        return nullptr;
    }
    return &e.pG->lControlTable[index];
}

// The handlers of the two-operand instructions (e2 popped first, then e1)
// and of the one-operand ones, around the operation itself.
template <int32_t (*Op)(int32_t e1, int32_t e2)>
inline void Binary(Exec &e) {
    const int32_t e2 = Pop(e);
    const int32_t e1 = Pop(e);
    Push(e, Op(e1, e2));
}
template <int32_t (*Op)(const _TtfGlyph *pG, int32_t v)>
inline void Unary(Exec &e) {
    e.sp[-1] = Op(e.pG, e.sp[-1]);
}
// Tells the tracer (if any) that `pt` moved from `from`.
void NoteMove(_TtfGlyph *pG, const TTFCoord *pt, longpointtype from);
// Copies Cur into Prev.
inline void SaveNOS(TTFCoord *pt) { pt->Prev = pt->Cur; }

// ------------------------------------------- faithful-mode arithmetic

// The fixed-point products and quotients of TrueType rasterizers, each
// rounding half away from zero unless its name says otherwise.
// a * b / c (FT_MulDiv); a zero divisor gives 0x7FFFFFFF with a's sign.
inline int64_t MulDivF(int64_t a, int64_t b, int64_t c) {
    int s = 1;
    if (a < 0) a = -a, s = -s;
    if (b < 0) b = -b, s = -s;
    if (c < 0) c = -c, s = -s;
    const int64_t d = c > 0 ? int64_t((uint64_t(a) * uint64_t(b) + uint64_t(c >> 1)) / uint64_t(c))
                            : 0x7FFFFFFF;
    return s < 0 ? -d : d;
}
// a * b / c truncated toward zero.
inline int64_t MulDivTruncF(int64_t a, int64_t b, int64_t c) {
    int s = 1;
    if (a < 0) a = -a, s = -s;
    if (b < 0) b = -b, s = -s;
    if (c < 0) c = -c, s = -s;
    const int64_t d = c > 0 ? int64_t(uint64_t(a) * uint64_t(b) / uint64_t(c)) : 0x7FFFFFFF;
    return s < 0 ? -d : d;
}
// a * b / 65536 (a 16.16 factor).
inline int64_t MulFixF(int64_t a, int64_t b) {
    const int64_t ab = a * b;
    return (ab + 0x8000 - (ab < 0 ? 1 : 0)) >> 16;
}
// a * 65536 / b.
inline int64_t DivFixF(int64_t a, int64_t b) {
    int s = 1;
    if (a < 0) a = -a, s = -s;
    if (b < 0) b = -b, s = -s;
    const int64_t q = b == 0 ? 0x7FFFFFFF : int64_t((uint64_t(a) << 16) + uint64_t(b >> 1)) / b;
    return s < 0 ? -q : q;
}
// a * b / 16384 (b an F2Dot14 component).
inline int64_t MulFix14F(int64_t a, int64_t b) {
    int64_t r = a * b;
    r += 0x2000 + (r < 0 ? -1 : 0);
    return r >> 14;
}
// (ax, ay) . (bx, by) / 16384, the difference vector taken in 32 bits.
inline int32_t DotF(int32_t ax, int32_t ay, const longpointtype &v) {
    int64_t r = int64_t(ax) * v.x + int64_t(ay) * v.y;
    r += 0x2000 + (r < 0 ? -1 : 0);
    return Clamp32(r >> 14);
}
// Rounds a distance under the round state as TrueType does: a negative
// value is rounded as its magnitude and negated, and a result of the other
// sign becomes 0 (half grid: +-32; super round: +-phase).
int32_t RoundF(const _TtfGlyph *pG, int32_t distance);

// A point of zone `zone`, or null (with the fault recorded) when the number
// is outside it: the faithful mode skips an instruction that names a point
// its zone does not have.
inline TTFCoord *PointF(Exec &e, int32_t zone, int64_t point) {
    const int z = zone != 0 ? 1 : 0;
    TTFCoord *base = z ? e.pG->Zone1 : e.pG->Zone0;
    if (base != nullptr && point >= 0 && point < e.pG->ZonePoints[z]) return base + point;
    Fault(e, kFaultPoint);
    return nullptr;
}
// Point numbers are 16-bit quantities on TrueType's stack.
inline int32_t PointNumber(int32_t v) { return int32_t(uint16_t(v)); }


}  // namespace kelmor

#endif
