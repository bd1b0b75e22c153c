// The faithful mode's departures from the classic instructions that do not
// move outline points: the published TrueType instruction set, measured
// against FreeType's v35 interpreter, wherever the classic behaviour
// (instruct_classic.cpp) differs from it.  The point instructions' are in
// instruct_faithful_points.cpp; the faithful dispatch table, the classic
// one with these handlers put in, in instruct_loop.cpp.
//
// What sets them apart from the classic handlers, throughout: where
// TrueType rasterizers treat an error as fatal (an undefined function, a
// division by zero, a jump out of the code, a definition without its
// ENDF...), the run ends (Halt) rather than recording a fault and going on;
// values are rounded, and scaled from font units, as those rasterizers do.
#include <cstdint>

#include "ttf/hint/instruct_handlers.h"

namespace kelmor {

// ------------------------------------------------------------- rounding

namespace {

struct SuperGrid {
    int64_t period, phase, threshold;
};

// SROUND's (grid 0x4000) and S45ROUND's (grid 0x2D41, sqrt(2)/2) operand
// byte, decoded in F2Dot14 and brought to 26.6 by dropping eight bits.
SuperGrid SuperGridOf(int selector, int64_t grid) {
    SuperGrid g{};
    switch (selector & 0xC0) {
        case 0x00: g.period = grid / 2; break;
        case 0x80: g.period = grid * 2; break;
        default: g.period = grid; break;  // 0x40, and the reserved 0xC0
    }
    switch (selector & 0x30) {
        case 0x00: g.phase = 0; break;
        case 0x10: g.phase = g.period / 4; break;
        case 0x20: g.phase = g.period / 2; break;
        default: g.phase = g.period * 3 / 4; break;
    }
    g.threshold = (selector & 0x0F) == 0 ? g.period - 1 : ((selector & 0x0F) - 4) * g.period / 8;
    g.period >>= 8;
    g.phase >>= 8;
    g.threshold >>= 8;
    return g;
}

int64_t Floor64(int64_t v) { return v & ~int64_t(63); }

}  // namespace

int32_t RoundF(const _TtfGlyph *pG, int32_t distance) {
    const int32_t state = pG->Gsv.round_state;
    const int64_t d = distance;
    int64_t v;
    switch (state & 0xFF) {
        case 0:  // half grid
            if (d >= 0) {
                v = Floor64(d) + 32;
                if (v < 0) v = 32;
            } else {
                v = -(Floor64(-d) + 32);
                if (v > 0) v = -32;
            }
            break;
        case 2:  // double grid
            if (d >= 0) {
                v = (d + 16) & ~int64_t(31);
                if (v < 0) v = 0;
            } else {
                v = -((16 - d) & ~int64_t(31));
                if (v > 0) v = 0;
            }
            break;
        case 3:  // down
            if (d >= 0) {
                v = Floor64(d);
            } else {
                v = -Floor64(-d);
            }
            break;
        case 4:  // up
            if (d >= 0) {
                v = Floor64(d + 63);
            } else {
                v = -Floor64(63 - d);
            }
            break;
        case 5:  // off
            v = d;
            break;
        case 98:
        case 99: {
            const bool diagonal = (state & 0xFF) == 99;
            const SuperGrid g = SuperGridOf((state >> 8) & 0xFF, diagonal ? 0x2D41 : 0x4000);
            if (g.period == 0) return distance;
            if (d >= 0) {
                const int64_t t = d + g.threshold - g.phase;
                v = (diagonal ? t / g.period * g.period : t & -g.period) + g.phase;
                if (v < 0) v = g.phase;
            } else {
                const int64_t t = g.threshold - g.phase - d;
                v = -(diagonal ? t / g.period * g.period : t & -g.period) - g.phase;
                if (v > 0) v = -g.phase;
            }
            break;
        }
        default:  // grid
            if (d >= 0) {
                v = Floor64(d + 32);
                if (v < 0) v = 0;
            } else {
                v = -Floor64(32 - d);
                if (v > 0) v = 0;
            }
            break;
    }
    return Clamp32(v);
}

// ------------------------------------------------------------------ pushes

// NPUSHB, NPUSHW, PUSHB, PUSHW: data that run past the code or past the
// stack are fatal.
void InsF_NPUSH(Exec &e) {
    if (e.pc >= e.end) return Halt(e);
    const int count = *e.pc;
    const int width = (e.opcode == 0x41) ? 2 : 1;
    if (e.end - e.pc - 1 < count * width || count > Room(e)) return Halt(e);
    Ins_NPUSH(e);
}
void InsF_PUSH(Exec &e) {
    const int count = (e.opcode & 7) + 1;
    const int width = (e.opcode & 8) ? 2 : 1;
    if (e.end - e.pc < count * width || count > Room(e)) return Halt(e);
    Ins_PUSH(e);
}

// ------------------------------------------------------------------- stack

// CINDEX[] 0x25: a depth the stack does not have copies a 0.
void InsF_CINDEX(Exec &e) {
    const int32_t k = Pop(e);
    if (k < 1 || k > Depth(e)) {
        Fault(e, kFaultArgument);
        return Push(e, 0);
    }
    Push(e, e.sp[-k]);
}

// ------------------------------------------------------ arithmetic, logic

// DIV[] 0x62: truncated; a zero divisor is fatal.
void InsF_DIV(Exec &e) {
    const int32_t e2 = Pop(e);
    const int32_t e1 = Pop(e);
    if (e2 == 0) return Halt(e);
    Push(e, Clamp32(MulDivTruncF(e1, 64, e2)));
}

namespace {

int32_t MulF(int32_t a, int32_t b) { return Clamp32(MulDivF(a, b, 64)); }
int32_t OddF(const _TtfGlyph *pG, int32_t v) { return (RoundF(pG, v) & 127) == 64; }
int32_t EvenF(const _TtfGlyph *pG, int32_t v) { return (RoundF(pG, v) & 127) == 0; }

}  // namespace

// MUL[] 0x63: rounded.
void InsF_MUL(Exec &e) { Binary<MulF>(e); }

// ODD[] 0x56, EVEN[] 0x57: the rounded value's pixel count, its low 7 bits
// 64 or 0.
void InsF_ODD(Exec &e) { Unary<OddF>(e); }
void InsF_EVEN(Exec &e) { Unary<EvenF>(e); }

// ROUND[ab] 0x68-0x6B: by the round state alone, whatever the distance
// type.
void InsF_ROUND(Exec &e) { e.sp[-1] = RoundF(e.pG, e.sp[-1]); }

// ---------------------------------------- control flow and functions

namespace {

// JMPR[], and JROT/JROF on their condition: the offset counts from the
// opcode and may be negative.  A jump before the code, or past the end of
// a function, is fatal; a jump of 0 with nothing left on the stack too.
void JumpF(Exec &e, int32_t offset) {
    if (offset == 0 && Depth(e) == 0) return Halt(e);
    const int64_t target = int64_t(e.pc - 1 - e.start) + offset;
    if (target < 0) return Halt(e);
    if (target > e.end - e.start) {
        if (e.recursion > 0) return Halt(e);
        e.pc = e.end;
        return;
    }
    e.pc = e.start + target;
}

bool DefiningProgram(const Exec &e) {
    return e.pG->Program == kFontProgram || e.pG->Program == kControlValueProgram;
}

}  // namespace

// JMPR[] 0x1C
void InsF_JMPR(Exec &e) { JumpF(e, Pop(e)); }

// JROT[] 0x78, JROF[] 0x79
void InsF_JROx(Exec &e) {
    const bool condition = Pop(e) != 0;
    const int32_t offset = Pop(e);
    if (condition == (e.opcode == 0x78)) JumpF(e, offset);
}

// FDEF[] 0x2C: fatal in a glyph program, nested in another definition, or
// without its ENDF.
void InsF_FDEF(Exec &e) {
    const int32_t f = Pop(e);
    if (!DefiningProgram(e)) return Halt(e);
    const DefinitionBody body = TakeDefinitionBody(e);
    if (body.nested || !body.closed) return Halt(e);
    if (f < 0 || f >= FunctionEntries(e.pG) || f >= e.pF->leMaximumProfile.maxFunctionDefs)
        return Halt(e);
    e.pG->FunctDef[f] = {body.start, body.end};
}

// ENDF[] 0x2D: outside a function it is fatal.
void InsF_ENDF(Exec &e) {
    if (e.recursion == 0) return Halt(e);
    e.pc = e.end;
}

// CALL[] 0x2B, LOOPCALL[] 0x2A: an undefined function is fatal (before the
// count is looked at).
void InsF_CALL(Exec &e) {
    const FunctDefEntry *f = DefinedFunction(e, Pop(e));
    if (f == nullptr) return Halt(e);
    CallFunction(e, *f);
}
void InsF_LOOPCALL(Exec &e) {
    const int32_t number = Pop(e);
    const int32_t count = Pop(e);
    const FunctDefEntry *f = DefinedFunction(e, number);
    if (f == nullptr) return Halt(e);
    for (int32_t i = 0; i < count; ++i) {
        if (!CallFunction(e, *f)) return;
    }
}

// IDEF[] 0x89: defines an unassigned opcode, in the font and control-value
// programs of a font whose maxp asks for definitions.
void InsF_IDEF(Exec &e) {
    const int32_t opcode = Pop(e);
    if (!DefiningProgram(e)) return Halt(e);
    if (e.pG->InsDef == nullptr || opcode < 0 || opcode >= kInstructionDefs) return Halt(e);
    const DefinitionBody body = TakeDefinitionBody(e);
    if (body.nested || !body.closed) return Halt(e);
    e.pG->InsDef[opcode] = {body.start, body.end};
}

// An opcode the instruction set does not assign (MPS and FLIPPT aside, which
// the faithful mode runs) runs the font's definition of it, like a
// function; without one it ends the run.
void InsF_Unknown(Exec &e) {
    const FunctDefEntry *def = e.pG->InsDef != nullptr ? &e.pG->InsDef[e.opcode] : nullptr;
    if (def == nullptr || def->Start == nullptr) return Halt(e);
    CallFunction(e, *def);
}

// DEBUG[] 0x4F: ends the run, once the table has seen its operand there.
void InsF_DEBUG(Exec &e) { Halt(e); }

// ------------------------------------------------------ graphics state

// SRP0[] 0x10, SRP1[] 0x11, SRP2[] 0x12: point numbers are 16-bit.
void InsF_SRPx(Exec &e) {
    const int32_t p = PointNumber(Pop(e));
    GsvStruct &gs = e.pG->Gsv;
    (e.opcode == 0x10 ? gs.rp0 : e.opcode == 0x11 ? gs.rp1 : gs.rp2) = p;
}

// SZP0-2, SZPS 0x13-0x16: a value other than 0 or 1 changes nothing.
void InsF_SZPx(Exec &e) {
    const int32_t zone = Pop(e);
    if (zone != 0 && zone != 1) return Fault(e, kFaultArgument);
    GsvStruct &gs = e.pG->Gsv;
    if (e.opcode == 0x13 || e.opcode == 0x16) gs.zp0 = zone;
    if (e.opcode == 0x14 || e.opcode == 0x16) gs.zp1 = zone;
    if (e.opcode == 0x15 || e.opcode == 0x16) gs.zp2 = zone;
}

// SLOOP[] 0x17: a negative count is fatal; counts above 65535 are limited.
void InsF_SLOOP(Exec &e) {
    const int32_t n = Pop(e);
    if (n < 0) return Halt(e);
    e.pG->Gsv.loop = n > 0xFFFF ? 0xFFFF : n;
}

// SSW[] 0x1F: the single width is given in font units.
void InsF_SSW(Exec &e) {
    e.pG->Gsv.single_width_value = Clamp32(MulFixF(Pop(e), e.pG->Scale));
}

// SDB[] 0x5E: 16 bits.  SDS[] 0x5F: above 6 is fatal.
void InsF_SDB(Exec &e) { e.pG->Gsv.delta_base = int32_t(uint16_t(Pop(e))); }
void InsF_SDS(Exec &e) {
    const int32_t shift = Pop(e);
    if (uint32_t(shift) > 6) return Halt(e);
    e.pG->Gsv.delta_shift = shift;
}

// GETINFO[] 0x88: version 35 when asked (bit 0), and grayscale (bit 12,
// asked with bit 5) while hinting for grey levels; never rotated,
// stretched or a variation.
void InsF_GETINFO(Exec &e) {
    const int32_t selector = e.sp[-1];
    int32_t info = (selector & 1) ? 35 : 0;
    if ((selector & 32) && e.pG->Grayscale) info |= int32_t(1) << 12;
    e.sp[-1] = info;
}

// ------------------------------------------------ control values, storage

// WS[] 0x42, WCVTP[] 0x44: noted, so that the next glyph program starts
// from the control-value program's values again.
void InsF_WS(Exec &e) {
    e.pG->ProgramWrote = 1;
    Ins_WS(e);
}
void InsF_WCVTP(Exec &e) {
    e.pG->ProgramWrote = 1;
    Ins_WCVTx(e);
}

// WCVTF[] 0x70: font units scaled with the rounded 16.16 scale; noted as
// WCVTP is.
void InsF_WCVTF(Exec &e) {
    e.pG->ProgramWrote = 1;
    const int32_t value = Pop(e);
    if (int32_t *slot = CvtSlot(e, Pop(e))) *slot = Clamp32(MulFixF(value, e.pG->Scale));
}

// ------------------------------------------------ graphics state: vectors

namespace {

// A unit vector along (x, y) in F2Dot14, computed as TrueType rasterizers
// do (FreeType's FT_Vector_NormLen, then a quarter of its 16.16 result);
// (0, 0) leaves the vector as it was.
void Normalize(int64_t vx, int64_t vy, longpointtype *out) {
    if (vx == 0 && vy == 0) return;
    int32_t x_ = int32_t(vx), y_ = int32_t(vy);
    uint32_t x = uint32_t(x_), y = uint32_t(y_);
    int sx = 1, sy = 1;
    if (x_ < 0) x = uint32_t(-int64_t(x_)), sx = -1;
    if (y_ < 0) y = uint32_t(-int64_t(y_)), sy = -1;
    int64_t rx, ry;
    if (x == 0) {
        rx = 0;
        ry = y > 0 ? sy * 0x10000 : 0;
    } else if (y == 0) {
        rx = sx * 0x10000;
        ry = 0;
    } else {
        uint32_t l = x > y ? x + (y >> 1) : y + (x >> 1);
        int shift = __builtin_clz(l);  // 31 - the index of the top bit
        shift -= 15 + (l >= (0xAAAAAAAAu >> shift) ? 1 : 0);
        if (shift > 0) {
            x <<= shift;
            y <<= shift;
            l = x > y ? x + (y >> 1) : y + (x >> 1);
        } else {
            x >>= -shift;
            y >>= -shift;
            l >>= -shift;
        }
        int32_t b = 0x10000 - int32_t(l);
        const int32_t xs = int32_t(x), ys = int32_t(y);
        uint32_t u, v;
        int32_t z;
        // Newton's iterations on the reciprocal length, in the 32-bit
        // arithmetic the reference uses (the squared length wraps).
        do {
            u = uint32_t(xs + int32_t((int64_t(xs) * b) >> 16));
            v = uint32_t(ys + int32_t((int64_t(ys) * b) >> 16));
            const int32_t negated = int32_t(0u - (u * u + v * v));
            z = negated / 0x200;
            z = int32_t(int64_t(z) * ((0x10000 + b) >> 8) / 0x10000);
            b += z;
        } while (z > 0);
        rx = sx < 0 ? -int64_t(u) : int64_t(u);
        ry = sy < 0 ? -int64_t(v) : int64_t(v);
    }
    out->x = int32_t(int16_t(rx / 4));
    out->y = int32_t(int16_t(ry / 4));
}

// The vector from the second popped point (zp1) to the first (zp2), over
// current or original positions; coincident points give the x axis, and
// the perpendicular form turns it a quarter counter-clockwise.
void LineVector(const TTFCoord *p1, const TTFCoord *p2, bool original, uint8_t *opcode,
                longpointtype *out) {
    const longpointtype &a = original ? p2->Orig : p2->Cur;
    const longpointtype &b = original ? p1->Orig : p1->Cur;
    int64_t dx = int64_t(a.x) - b.x, dy = int64_t(a.y) - b.y;
    if (dx == 0 && dy == 0) {
        dx = 0x4000;
        *opcode = 0;
    }
    if (*opcode & 1) {
        const int64_t t = dy;
        dy = dx;
        dx = -t;
    }
    Normalize(dx, dy, out);
}

// The two points a line instruction pops: p1 in zp2, then p2 in zp1; false
// when either is not there.
bool PopLinePoints(Exec &e, const TTFCoord **p1, const TTFCoord **p2) {
    *p1 = PointF(e, e.pG->Gsv.zp2, PointNumber(Pop(e)));
    *p2 = PointF(e, e.pG->Gsv.zp1, PointNumber(Pop(e)));
    return *p1 != nullptr && *p2 != nullptr;
}

}  // namespace

// SPVTL[a] 0x06-0x07, SFVTL[a] 0x08-0x09
void InsF_SxVTL(Exec &e) {
    _TtfGlyph *pG = e.pG;
    const TTFCoord *p1, *p2;
    if (!PopLinePoints(e, &p1, &p2)) return;
    uint8_t opcode = e.opcode;
    GsvStruct &gs = pG->Gsv;
    if (e.opcode <= 0x07) {
        LineVector(p1, p2, false, &opcode, &gs.projection_vector);
        gs.dual_projection_vector = NulVect;
    } else {
        LineVector(p1, p2, false, &opcode, &gs.freedom_vector);
    }
}

// SDPVTL[a] 0x86-0x87: the dual vector over original positions and the
// projection vector over current ones (coincident original points keep
// the current line from turning too).
void InsF_SDPVTL(Exec &e) {
    _TtfGlyph *pG = e.pG;
    const TTFCoord *p1, *p2;
    if (!PopLinePoints(e, &p1, &p2)) return;
    uint8_t opcode = e.opcode;
    GsvStruct &gs = pG->Gsv;
    longpointtype dual = NulVect;
    LineVector(p1, p2, true, &opcode, &dual);
    LineVector(p1, p2, false, &opcode, &gs.projection_vector);
    gs.dual_projection_vector = dual;
}

// SPVFS[] 0x0A, SFVFS[] 0x0B: the low 16 bits of each operand, normalised.
void InsF_SxVFS(Exec &e) {
    _TtfGlyph *pG = e.pG;
    const int32_t y = int16_t(Pop(e));
    const int32_t x = int16_t(Pop(e));
    GsvStruct &gs = pG->Gsv;
    if (e.opcode == 0x0B) {
        Normalize(x, y, &gs.freedom_vector);
    } else {
        Normalize(x, y, &gs.projection_vector);
        gs.dual_projection_vector = NulVect;
    }
}

}  // namespace kelmor
