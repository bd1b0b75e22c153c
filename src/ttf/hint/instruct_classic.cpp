// The classic mode's instructions that do not move outline points: pushes,
// stack, arithmetic and logic, control flow and functions, graphics state,
// control values and storage.  The point instructions are in
// instruct_classic_points.cpp; the dispatch table that names these handlers,
// and the loop that runs them, in instruct_loop.cpp.
//
// Each handler stands under a line that gives its opcodes and its stack
// effect.  The table has checked the stack depth of every fixed-arity
// instruction before its handler runs; a fault records its code and the
// program goes on with the next instruction.
#include <cstdint>

#include "common/bytes.h"
#include "ttf/hint/instruct_handlers.h"

namespace kelmor {

namespace {

// ----------------------------------------------------------------- helpers

// Wrapping 32-bit arithmetic, as the bytecode's integers behave.
int32_t Wrap(int64_t v) { return int32_t(uint32_t(uint64_t(v))); }

// Scans forward from pc for the ELSE or EIF that closes the IF whose
// branch is being skipped, counting IF...EIF nesting on the way (an inner
// IF protects its own ELSE and EIF).  With `stopAtElse` the matching ELSE
// also ends the scan.  Execution resumes after the byte found, or at the
// end of the code.
void SkipBranch(Exec &e, bool stopAtElse) {
    int nesting = 0;
    while (e.pc < e.end) {
        uint8_t op = *e.pc++;
        if (op == 0x58) {
            ++nesting;
        } else if (op == 0x59) {
            if (nesting-- == 0) return;
        } else if (op == 0x1B) {
            if (nesting == 0 && stopAtElse) return;
        } else {
            SkipPushData(e);
        }
    }
}

// Moves pc to `target`: before the code's first byte is a fault that ends
// this activation; past its end simply ends it.
void JumpTo(Exec &e, const uint8_t *target) {
    if (target < e.start) {
        Fault(e, kFaultArgument);
        e.pc = e.end;
    } else {
        e.pc = target < e.end ? target : e.end;
    }
}

// Address of the `k`-th entry from the top (k = 1 is the top), or null
// with a fault when the stack is not that deep.
int32_t *EntryFromTop(Exec &e, int32_t k) {
    if (k < 1 || k > Depth(e)) {
        Fault(e, kFaultArgument);
        return nullptr;
    }
    return e.sp - k;
}

int32_t *StorageSlot(Exec &e, int32_t location) {
    if (location < 0 || location >= StorageEntries(e.pG)) {
        Fault(e, kFaultArgument);
        return nullptr;
    }
    return &e.pG->Storage[location];
}

// An opcode the classic mode does not run: a fault, nothing popped or
// pushed.
void UnKnown(Exec &e) { Fault(e, kFaultArgument); }

}  // namespace

// ------------------------------------------------------------------ pushes

// NPUSHB[] 0x40, NPUSHW[] 0x41
// Stack: --> n values (count byte and data inline)
void Ins_NPUSH(Exec &e) {
    if (e.pc >= e.end) return Fault(e, kFaultArgument);
    const int count = *e.pc++;
    const int width = (e.opcode == 0x41) ? 2 : 1;
    if (e.end - e.pc < count * width || count > Room(e)) {
        Fault(e, kFaultArgument);
        e.pc = e.pc + count * width < e.end ? e.pc + count * width : e.end;
        return;
    }
    for (int i = 0; i < count; ++i, e.pc += width)
        Push(e, width == 2 ? int16_t(ReadBE16(e.pc)) : e.pc[0]);
}

// PUSHB[abc] 0xB0-0xB7, PUSHW[abc] 0xB8-0xBF
// Stack: --> abc+1 values (data inline)
void Ins_PUSH(Exec &e) {
    const int count = (e.opcode & 7) + 1;
    const int width = (e.opcode & 8) ? 2 : 1;
    if (e.end - e.pc < count * width || count > Room(e)) {
        Fault(e, kFaultArgument);
        SkipPushData(e);
        return;
    }
    for (int i = 0; i < count; ++i, e.pc += width)
        Push(e, width == 2 ? int16_t(ReadBE16(e.pc)) : e.pc[0]);
}

// ------------------------------------------------------------------- stack

// DUP[] 0x20
// Stack: a --> a a
void Ins_DUP(Exec &e) { Push(e, e.sp[-1]); }

// POP[] 0x21
// Stack: a --> <void>
void Ins_POP(Exec &e) { --e.sp; }

// CLEAR[] 0x22: empties the stack and forgets the last fault.
// Stack: all --> <void>
void Ins_CLEAR(Exec &e) {
    e.sp = e.pG->Stack;
    e.pG->InternalError = 0;
}

// SWAP[] 0x23
// Stack: a b --> b a
void Ins_SWAP(Exec &e) {
    int32_t top = e.sp[-1];
    e.sp[-1] = e.sp[-2];
    e.sp[-2] = top;
}

// DEPTH[] 0x24
// Stack: --> n
void Ins_DEPTH(Exec &e) { Push(e, Depth(e)); }

// CINDEX[] 0x25: copies the k-th entry (k = 1 is the top after popping k).
// Stack: k --> a_k
void Ins_CINDEX(Exec &e) {
    int32_t k = Pop(e);
    if (const int32_t *entry = EntryFromTop(e, k)) Push(e, *entry);
}

// MINDEX[] 0x26: moves the k-th entry to the top.
// Stack: k --> (a_k on top)
void Ins_MINDEX(Exec &e) { MoveIndex(e, Pop(e)); }

// ROLL[] 0x8A
// Stack: a b c --> b c a
void Ins_ROLL(Exec &e) { MoveIndex(e, 3); }

// ------------------------------------------------------ arithmetic, logic

namespace {

int32_t Lt(int32_t a, int32_t b) { return a < b; }
int32_t LtEq(int32_t a, int32_t b) { return a <= b; }
int32_t Gt(int32_t a, int32_t b) { return a > b; }
int32_t GtEq(int32_t a, int32_t b) { return a >= b; }
int32_t Eq(int32_t a, int32_t b) { return a == b; }
int32_t NEq(int32_t a, int32_t b) { return a != b; }
int32_t And(int32_t a, int32_t b) { return a != 0 && b != 0; }
int32_t Or(int32_t a, int32_t b) { return a != 0 || b != 0; }
int32_t Add(int32_t a, int32_t b) { return Wrap(int64_t(a) + b); }
int32_t Sub(int32_t a, int32_t b) { return Wrap(int64_t(a) - b); }
int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }
int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }
// DIV[] 0x62: (e1 * 64) / e2, 0x7FFFFFFF for a zero divisor.
int32_t Div(int32_t a, int32_t b) { return b == 0 ? INT32_MAX : Clamp32(int64_t(a) * 64 / b); }
// MUL[] 0x63: (e1 * e2) / 64 with the product kept in 32 bits.
int32_t Mul(int32_t a, int32_t b) { return Wrap(int64_t(a) * b) / 64; }

}  // namespace

// LT 0x50, LTEQ 0x51, GT 0x52, GTEQ 0x53, EQ 0x54, NEQ 0x55, AND 0x5A,
// OR 0x5B, ADD 0x60, SUB 0x61, DIV 0x62, MUL 0x63, MAX 0x8B, MIN 0x8C
// Stack: e1 e2 --> result
void Ins_LT(Exec &e) { Binary<Lt>(e); }
void Ins_LTEQ(Exec &e) { Binary<LtEq>(e); }
void Ins_GT(Exec &e) { Binary<Gt>(e); }
void Ins_GTEQ(Exec &e) { Binary<GtEq>(e); }
void Ins_EQ(Exec &e) { Binary<Eq>(e); }
void Ins_NEQ(Exec &e) { Binary<NEq>(e); }
void Ins_AND(Exec &e) { Binary<And>(e); }
void Ins_OR(Exec &e) { Binary<Or>(e); }
void Ins_ADD(Exec &e) { Binary<Add>(e); }
void Ins_SUB(Exec &e) { Binary<Sub>(e); }
void Ins_DIV(Exec &e) { Binary<Div>(e); }
void Ins_MUL(Exec &e) { Binary<Mul>(e); }
void Ins_MAX(Exec &e) { Binary<Max>(e); }
void Ins_MIN(Exec &e) { Binary<Min>(e); }

namespace {

int32_t Odd(const _TtfGlyph *pG, int32_t v) { return (RoundNOS(pG, v) & 0x40) != 0; }
int32_t Even(const _TtfGlyph *pG, int32_t v) { return (RoundNOS(pG, v) & 0x40) == 0; }
int32_t Not(const _TtfGlyph *, int32_t v) { return v == 0; }
int32_t Abs(const _TtfGlyph *, int32_t v) { return v < 0 ? Wrap(-int64_t(v)) : v; }
int32_t Neg(const _TtfGlyph *, int32_t v) { return Wrap(-int64_t(v)); }
int32_t Floor(const _TtfGlyph *, int32_t v) { return int32_t(uint32_t(v) & ~63u); }
int32_t Ceiling(const _TtfGlyph *, int32_t v) { return int32_t((uint32_t(v) + 63) & ~63u); }

}  // namespace

// ODD 0x56, EVEN 0x57, NOT 0x5C, ABS 0x64, NEG 0x65, FLOOR 0x66,
// CEILING 0x67
// Stack: v --> result
void Ins_ODD(Exec &e) { Unary<Odd>(e); }
void Ins_EVEN(Exec &e) { Unary<Even>(e); }
void Ins_NOT(Exec &e) { Unary<Not>(e); }
void Ins_ABS(Exec &e) { Unary<Abs>(e); }
void Ins_NEG(Exec &e) { Unary<Neg>(e); }
void Ins_FLOOR(Exec &e) { Unary<Floor>(e); }
void Ins_CEILING(Exec &e) { Unary<Ceiling>(e); }

// ROUND[ab] 0x68-0x6B
// Stack: f26.6 --> f26.6
void Ins_ROUND(Exec &e) { e.sp[-1] = RoundNOS(e.pG, e.sp[-1], e.opcode & 3); }

// NROUND[ab] 0x6C-0x6F: the value is left as it is.
// Stack: f26.6 --> f26.6
void Ins_NROUND(Exec &) {}

// ----------------------------------------------------- control flow

// IF[] 0x58: a false condition skips to after the matching ELSE or EIF.
// Stack: e --> <void>
void Ins_IF(Exec &e) {
    if (Pop(e) == 0) SkipBranch(e, true);
}

// ELSE[] 0x1B: reached at the end of a true branch; skips the false one.
// Stack: <void> --> <void>
void Ins_ELSE(Exec &e) { SkipBranch(e, false); }

// EIF[] 0x59
// Stack: <void> --> <void>
void Ins_EIF(Exec &) {}

// JMPR[] 0x1C: the offset counts from the JMPR opcode itself.
// Stack: offset --> <void>
void Ins_JMPR(Exec &e) {
    int32_t offset = Pop(e);
    JumpTo(e, e.pc - 1 + offset);
}

// JROT[] 0x78, JROF[] 0x79: jumps forward only; offsets of 1 or less stay.
// Stack: offset e --> <void>
void Ins_JROx(Exec &e) {
    bool condition = Pop(e) != 0;
    int32_t offset = Pop(e);
    if (condition != (e.opcode == 0x78) || offset <= 1) return;
    e.pc = (e.end - e.pc > offset - 1) ? e.pc + (offset - 1) : e.end;
}

// FDEF[] 0x2C: records function f as the bytes up to the first ENDF and
// resumes after it.  Only the font and control-value programs may define
// functions: a glyph's block is freed after its run, so a function defined
// there would leave the table pointing at freed memory.
// Stack: f --> <void>
void Ins_FDEF(Exec &e) {
    int32_t f = Pop(e);
    const DefinitionBody body = TakeDefinitionBody(e);
    const bool mayDefine = e.pG->Program == kFontProgram || e.pG->Program == kControlValueProgram;
    if (!mayDefine || f < 0 || f >= FunctionEntries(e.pG) ||
        f >= e.pF->leMaximumProfile.maxFunctionDefs)
        return Fault(e, kFaultArgument);
    e.pG->FunctDef[f] = {body.start, body.end};
}

// ENDF[] 0x2D: ends the function body (or the program) that reaches it.
// Stack: <void> --> <void>
void Ins_ENDF(Exec &e) { e.pc = e.end; }

// CALL[] 0x2B
// Stack: f --> <void>
void Ins_CALL(Exec &e) {
    if (const FunctDefEntry *f = DefinedFunction(e, Pop(e))) CallFunction(e, *f);
}

// LOOPCALL[] 0x2A
// Stack: count f --> <void>
void Ins_LOOPCALL(Exec &e) {
    int32_t number = Pop(e);
    int32_t count = Pop(e);
    if (count <= 0) return;
    const FunctDefEntry *f = DefinedFunction(e, number);
    if (f == nullptr) return;
    for (int32_t i = 0; i < count; ++i) {
        if (!CallFunction(e, *f)) return;
    }
}

// ------------------------------------------------------ graphics state

// SVTCA[a] 0x00-0x01: both vectors to the x axis (a = 1) or y axis.
// Stack: <void> --> <void>
void Ins_SVTCA(Exec &e) {
    SetVectsToAxisNOS(e.pG, e.opcode & 1);
    e.pG->Gsv.dual_projection_vector = NulVect;
}

// SPVTCA[a] 0x02-0x03
// Stack: <void> --> <void>
void Ins_SPVTCA(Exec &e) {
    e.pG->Gsv.projection_vector = (e.opcode & 1) ? xAxis : yAxis;
    e.pG->Gsv.dual_projection_vector = NulVect;
}

// SFVTCA[a] 0x04-0x05
// Stack: <void> --> <void>
void Ins_SFVTCA(Exec &e) { e.pG->Gsv.freedom_vector = (e.opcode & 1) ? xAxis : yAxis; }

// SPVTL[a] 0x06-0x07: along (a = 0) or across the line p1 (zp1) -> p2 (zp2).
// Stack: uint32 uint32 --> <void>
void Ins_SPVTL(Exec &e) {
    SetVectorToLine(e, e.opcode, &e.pG->Gsv.projection_vector, 0);
    e.pG->Gsv.dual_projection_vector = NulVect;
}

// SFVTL[a] 0x08-0x09
// Stack: uint32 uint32 --> <void>
void Ins_SFVTL(Exec &e) { SetVectorToLine(e, e.opcode, &e.pG->Gsv.freedom_vector, 0); }

// SDPVTL[a] 0x86-0x87: over original positions; the projection vector stays.
// Stack: uint32 uint32 --> <void>
void Ins_SDPVTL(Exec &e) { SetVectorToLine(e, e.opcode, &e.pG->Gsv.dual_projection_vector, 1); }

// SPVFS[] 0x0A, SFVFS[] 0x0B: taken as given, not normalised.
// Stack: f2.14 f2.14 --> <void>
void Ins_SxVFS(Exec &e) {
    int32_t y = Pop(e);
    int32_t x = Pop(e);
    if (e.opcode == 0x0B) {
        e.pG->Gsv.freedom_vector = {x, y};
    } else {
        e.pG->Gsv.projection_vector = {x, y};
        e.pG->Gsv.dual_projection_vector = NulVect;
    }
}

// GPV[] 0x0C, GFV[] 0x0D
// Stack: <void> --> f2.14 f2.14
void Ins_GxV(Exec &e) {
    const longpointtype &v =
        (e.opcode == 0x0C) ? e.pG->Gsv.projection_vector : e.pG->Gsv.freedom_vector;
    Push(e, v.x);
    Push(e, v.y);
}

// SFVTPV[] 0x0E
// Stack: <void> --> <void>
void Ins_SFVTPV(Exec &e) { e.pG->Gsv.freedom_vector = e.pG->Gsv.projection_vector; }

// SRP0[] 0x10, SRP1[] 0x11, SRP2[] 0x12
// Stack: uint32 --> <void>
void Ins_SRPx(Exec &e) {
    int32_t p = Pop(e);
    GsvStruct &gs = e.pG->Gsv;
    (e.opcode == 0x10 ? gs.rp0 : e.opcode == 0x11 ? gs.rp1 : gs.rp2) = p;
}

// SZP0[] 0x13, SZP1[] 0x14, SZP2[] 0x15, SZPS[] 0x16
// Stack: uint32 --> <void>
void Ins_SZPx(Exec &e) {
    int32_t zone = SetZpNOS(e.pG, Pop(e));
    GsvStruct &gs = e.pG->Gsv;
    if (e.opcode == 0x13 || e.opcode == 0x16) gs.zp0 = zone;
    if (e.opcode == 0x14 || e.opcode == 0x16) gs.zp1 = zone;
    if (e.opcode == 0x15 || e.opcode == 0x16) gs.zp2 = zone;
}

namespace {

// Pops one value into a graphics-state field.
template <int32_t GsvStruct::*Field>
void SetField(Exec &e) {
    e.pG->Gsv.*Field = Pop(e);
}

// Stores a constant into a graphics-state field.
template <int32_t GsvStruct::*Field, int32_t Value>
void SetConstant(Exec &e) {
    e.pG->Gsv.*Field = Value;
}

}  // namespace

// SLOOP 0x17, SMD 0x1A, SCVTCI 0x1D, SSWCI 0x1E, SSW 0x1F, SDB 0x5E,
// SDS 0x5F, SANGW 0x7E
// Stack: value --> <void>
void Ins_SLOOP(Exec &e) { SetField<&GsvStruct::loop>(e); }
void Ins_SMD(Exec &e) { SetField<&GsvStruct::minimum_distance>(e); }
void Ins_SCVTCI(Exec &e) { SetField<&GsvStruct::control_value_cut_in>(e); }
void Ins_SSWCI(Exec &e) { SetField<&GsvStruct::single_width_cut_in>(e); }
void Ins_SSW(Exec &e) { SetField<&GsvStruct::single_width_value>(e); }
void Ins_SDB(Exec &e) { SetField<&GsvStruct::delta_base>(e); }
void Ins_SDS(Exec &e) { SetField<&GsvStruct::delta_shift>(e); }
void Ins_SANGW(Exec &e) { SetField<&GsvStruct::angle_weight>(e); }

// RTG 0x18, RTHG 0x19, RTDG 0x3D, RDTG 0x7D, RUTG 0x7C, ROFF 0x7A (the
// round states 1, 0, 2, 3, 4, 5), FLIPON 0x4D, FLIPOFF 0x4E
// Stack: <void> --> <void>
void Ins_RTG(Exec &e) { SetConstant<&GsvStruct::round_state, 1>(e); }
void Ins_RTHG(Exec &e) { SetConstant<&GsvStruct::round_state, 0>(e); }
void Ins_RTDG(Exec &e) { SetConstant<&GsvStruct::round_state, 2>(e); }
void Ins_RDTG(Exec &e) { SetConstant<&GsvStruct::round_state, 3>(e); }
void Ins_RUTG(Exec &e) { SetConstant<&GsvStruct::round_state, 4>(e); }
void Ins_ROFF(Exec &e) { SetConstant<&GsvStruct::round_state, 5>(e); }
void Ins_FLIPON(Exec &e) { SetConstant<&GsvStruct::auto_flip, 1>(e); }
void Ins_FLIPOFF(Exec &e) { SetConstant<&GsvStruct::auto_flip, 0>(e); }

// SROUND[] 0x76, S45ROUND[] 0x77: the operand's byte lands in bits 8-15.
// Only its low 8 bits count: higher ones would feed the period code and
// ask for periods of thousands of pixels.
// Stack: uint32 --> <void>
void Ins_SxROUND(Exec &e) {
    int32_t n = Pop(e) & 0xFF;
    e.pG->Gsv.round_state = n * 256 + (e.opcode == 0x76 ? 98 : 99);
}

// SCANCTRL[] 0x85
// Stack: uint32 --> <void>
void Ins_SCANCTRL(Exec &e) {
    int32_t v = Pop(e);
    int32_t &sc = e.pG->Gsv.scan_control;
    sc = int32_t((uint32_t(sc) & ~0x3FFFu) | (uint32_t(v) & 0x3FFFu));
}

// SCANTYPE[] 0x8D
// Stack: uint32 --> <void>
void Ins_SCANTYPE(Exec &e) {
    int32_t v = Pop(e);
    int32_t &sc = e.pG->Gsv.scan_control;
    sc = int32_t((uint32_t(sc) & 0x3FFFu) | (uint32_t(v) << 14));
}

// GETINFO[] 0x88: version 1 when asked (bit 0); never rotated or stretched.
// Stack: selector --> result
void Ins_GETINFO(Exec &e) { e.sp[-1] = (e.sp[-1] & 1) ? 1 : 0; }

// INSTCTRL[] 0x8E: selector s (1: glyph programs do not run, 2: they start
// from the default graphics state, 3: native ClearType) and its value,
// which is 0 or the selector's flag (1, 2, 4).  Sets or clears that flag of
// `instruct_Control`; a running program goes on.
// Stack: value s --> <void>
void Ins_INSTCTRL(Exec &e) {
    const int32_t selector = Pop(e);
    const int32_t value = Pop(e);
    if (selector < 1 || selector > 3) return Fault(e, kFaultArgument);
    const int32_t flag = 1 << (selector - 1);
    if (value != 0 && value != flag) return Fault(e, kFaultArgument);
    int32_t &control = e.pG->Gsv.instruct_Control;
    control = (control & ~flag) | value;
}

// ------------------------------------------------ control values, storage

// WS[] 0x42
// Stack: location value --> <void>
void Ins_WS(Exec &e) {
    int32_t value = Pop(e);
    if (int32_t *slot = StorageSlot(e, Pop(e))) *slot = value;
}

// RS[] 0x43: an unknown location reads 0 so that the stack stays balanced.
// Stack: location --> value
void Ins_RS(Exec &e) {
    const int32_t *slot = StorageSlot(e, e.sp[-1]);
    e.sp[-1] = slot ? *slot : 0;
}

// WCVTP[] 0x44 (F26Dot6), WCVTF[] 0x70 (font units, scaled)
// Stack: index value --> <void>
void Ins_WCVTx(Exec &e) {
    int32_t value = Pop(e);
    int32_t *slot = CvtSlot(e, Pop(e));
    if (slot == nullptr) return;
    *slot = (e.opcode == 0x70) ? ScaleFUnits(value, e.pG->Multiplier) : value;
}

// RCVT[] 0x45: an unknown index reads 0.
// Stack: index --> f26.6
void Ins_RCVT(Exec &e) {
    const int32_t *slot = CvtSlot(e, e.sp[-1]);
    e.sp[-1] = slot ? *slot : 0;
}

// MPPEM[] 0x4B
// Stack: <void> --> ppem
void Ins_MPPEM(Exec &e) { Push(e, PixelsPerEm(e.pG)); }

// ------------------------------------- instruction definitions (IDEF)

// The classic limits leave out IDEF.  A font opened past them keeps one
// definition per opcode, and then IDEF and the opcodes it defines work as
// in the faithful mode (instruct_faithful.cpp).

// IDEF[] 0x89: pops its opcode only where definitions are kept: elsewhere
// it is the fault it always was, nothing popped.
// Stack: opcode --> <void>
void Ins_IDEF(Exec &e) {
    if (e.pG->InsDef == nullptr) return UnKnown(e);
    if (Depth(e) < 1) return Fault(e, kFaultArgument);
    InsF_IDEF(e);
}

// MPS 0x4C, DEBUG 0x4F, FLIPPT 0x80 and the unassigned opcodes: the font's
// definition when it has room for definitions, a fault otherwise.
void Ins_Undefined(Exec &e) {
    if (e.pG->InsDef == nullptr) return UnKnown(e);
    InsF_Unknown(e);
}

}  // namespace kelmor
