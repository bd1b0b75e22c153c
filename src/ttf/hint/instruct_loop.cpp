// The instruction loop, its 256-entry dispatch table, and every instruction
// that does not move outline points: pushes, stack, arithmetic and logic,
// control flow, functions, graphics state, control values and storage.
//
// How a program runs: RunProgram gives a program block (font program,
// control-value program, glyph or component program) a fresh instruction
// budget and calls DoInstructions, which sets up one activation (Exec: the
// code, the program counter, the stack) and loops fetching an opcode and
// calling its handler from the dispatch table.  CALL and LOOPCALL run a
// function body as a nested activation on the same stack, one level deeper;
// IF, ELSE and the jumps move the program counter of the activation they
// run in.  A fault records its code in InternalError and the program goes
// on with the next instruction; the run ends at the end of the code, when
// the budget is spent, or when INSTCTRL says so.  With a tracer set the same
// handlers run from a second, traced loop.
//
// The dispatch table knows how deep the stack must be for each fixed-arity
// instruction and how much it grows, so the loop checks under- and overflow
// once before the handler runs; handlers that pop a variable number of
// values check for themselves.
//
// Handlers are named after their mnemonics (Ins_SWAP, Ins_MIRP...), each under
// a line that gives its opcodes and its stack effect.  The point
// instructions are in instruct_points.cpp, the primitives they share in
// instruct_prim.cpp.
#include <algorithm>
#include <array>
#include <cstdlib>

#include "common/bytes.h"
#include "ttf/hint/instruct_internal.h"

namespace kelmor {

namespace {

// ----------------------------------------------------------------- helpers

// Wrapping 32-bit arithmetic, as the bytecode's integers behave.
int32_t Wrap(int64_t v) { return int32_t(uint32_t(uint64_t(v))); }

// Steps over the inline data of the push opcode just fetched.
void SkipPushData(Exec &e) { e.pc += SkipPushesNOG(e.pc, e.end); }

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

int32_t *CvtSlot(Exec &e, int32_t index) {
    if (e.pG->lControlTable == nullptr || index < 0 || index >= CvtEntries(e.pF)) {
        Fault(e, kFaultArgument);
        return nullptr;
    }
    return &e.pG->lControlTable[index];
}

// The defined function `f`, or null with a fault.
const FunctDefEntry *Function(Exec &e, int32_t f) {
    if (f < 0 || f >= FunctionEntries(e.pG) || f >= e.pF->leMaximumProfile.maxFunctionDefs ||
        e.pG->FunctDef[f].Start == nullptr) {
        Fault(e, kFaultArgument);
        return nullptr;
    }
    return &e.pG->FunctDef[f];
}

// Takes one unit of the run's instruction budget.  A spent budget is
// recorded once, by the activation that spends it, and stops every
// activation of the run.
inline bool SpendOne(Exec &e) {
    _TtfGlyph *pG = e.pG;
    if (pG->InsBudget > 0) {
        --pG->InsBudget;
        return true;
    }
    if (pG->InsBudget == 0) {
        Fault(e, kFaultArgument);
        pG->InsBudget = -1;
    }
    return false;
}

// Runs a function body once on the caller's stack.  False when the run
// must stop: call depth exhausted, budget spent or INSTCTRL set.
bool CallFunction(Exec &e, const FunctDefEntry &f) {
    _TtfGlyph *pG = e.pG;
    if (e.faithful ? e.recursion >= kFaithfulCallDepth : e.recursion + 1 >= kMaxCallDepth) {
        if (e.faithful) {
            Halt(e);
        } else {
            Fault(e, kFaultArgument);
        }
        return false;
    }
    // A call costs one instruction even when the body is empty, so that a
    // LOOPCALL of an empty function cannot spin for 2^31 rounds.
    if (!SpendOne(e)) return false;
    pG->lpStack = e.sp;
    DoInstructions(e.pF, pG, int32_t(f.End - f.Start), e.recursion + 1, f.Start,
                   e.pF->FontProgram);
    e.sp = pG->lpStack;
    pG->Opcode = e.opcode;
    return pG->InsBudget >= 0;
}

void UnKnown(Exec &e) { Fault(e, kFaultArgument); }

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

// Two operands: e2 popped first, then e1.
template <int32_t (*Op)(int32_t e1, int32_t e2)>
void Binary(Exec &e) {
    int32_t e2 = Pop(e);
    int32_t e1 = Pop(e);
    Push(e, Op(e1, e2));
}

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

// LT 0x50, LTEQ 0x51, GT 0x52, GTEQ 0x53, EQ 0x54, NEQ 0x55, AND 0x5A,
// OR 0x5B, ADD 0x60, SUB 0x61, DIV 0x62, MUL 0x63, MAX 0x8B, MIN 0x8C
// Stack: e1 e2 --> result

// One operand.
template <int32_t (*Op)(const _TtfGlyph *pG, int32_t v)>
void Unary(Exec &e) {
    e.sp[-1] = Op(e.pG, e.sp[-1]);
}

int32_t Odd(const _TtfGlyph *pG, int32_t v) { return (RoundNOS(pG, v) & 0x40) != 0; }
int32_t Even(const _TtfGlyph *pG, int32_t v) { return (RoundNOS(pG, v) & 0x40) == 0; }
int32_t Not(const _TtfGlyph *, int32_t v) { return v == 0; }
int32_t Abs(const _TtfGlyph *, int32_t v) { return v < 0 ? Wrap(-int64_t(v)) : v; }
int32_t Neg(const _TtfGlyph *, int32_t v) { return Wrap(-int64_t(v)); }
int32_t Floor(const _TtfGlyph *, int32_t v) { return int32_t(uint32_t(v) & ~63u); }
int32_t Ceiling(const _TtfGlyph *, int32_t v) { return int32_t((uint32_t(v) + 63) & ~63u); }

// ODD 0x56, EVEN 0x57, NOT 0x5C, ABS 0x64, NEG 0x65, FLOOR 0x66,
// CEILING 0x67
// Stack: v --> result

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
    const uint8_t *body = e.pc;
    while (e.pc < e.end && *e.pc != 0x2D) {
        ++e.pc;
        SkipPushData(e);
    }
    const uint8_t *bodyEnd = e.pc;
    if (e.pc < e.end) ++e.pc;  // past the ENDF
    const bool mayDefine = e.pG->Program == kFontProgram || e.pG->Program == kControlValueProgram;
    if (!mayDefine || f < 0 || f >= FunctionEntries(e.pG) ||
        f >= e.pF->leMaximumProfile.maxFunctionDefs)
        return Fault(e, kFaultArgument);
    e.pG->FunctDef[f] = {body, bodyEnd};
}

// ENDF[] 0x2D: ends the function body (or the program) that reaches it.
// Stack: <void> --> <void>
void Ins_ENDF(Exec &e) { e.pc = e.end; }

// CALL[] 0x2B
// Stack: f --> <void>
void Ins_CALL(Exec &e) {
    if (const FunctDefEntry *f = Function(e, Pop(e))) CallFunction(e, *f);
}

// LOOPCALL[] 0x2A
// Stack: count f --> <void>
void Ins_LOOPCALL(Exec &e) {
    int32_t number = Pop(e);
    int32_t count = Pop(e);
    if (count <= 0) return;
    const FunctDefEntry *f = Function(e, number);
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

// A handler that pops one value into a graphics-state field.
template <int32_t GsvStruct::*Field>
void SetField(Exec &e) {
    e.pG->Gsv.*Field = Pop(e);
}
// SLOOP 0x17, SMD 0x1A, SCVTCI 0x1D, SSWCI 0x1E, SSW 0x1F, SDB 0x5E,
// SDS 0x5F, SANGW 0x7E, INSTCTRL 0x8E (the value 1 stops every program)
// Stack: value --> <void>

// A handler that stores a constant into a graphics-state field.
template <int32_t GsvStruct::*Field, int32_t Value>
void SetConstant(Exec &e) {
    e.pG->Gsv.*Field = Value;
}
// RTHG 0x19, RTG 0x18, RTDG 0x3D, RDTG 0x7D, RUTG 0x7C, ROFF 0x7A,
// FLIPON 0x4D, FLIPOFF 0x4E
// Stack: <void> --> <void>

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

// ------------------------------------------------ the faithful mode's

// The instructions whose published behaviour departs from the classic
// one, apart from the point instructions (instruct_faithful.cpp).  Where
// TrueType rasterizers treat an error as fatal, the run ends (Halt).

// DEBUG ends the run.
void HaltUnknown(Exec &e) { Halt(e); }

// An opcode the instruction set does not assign runs the font's definition
// of it (IDEF), like a function; without one it ends the run.
void InsF_Unknown(Exec &e) {
    const FunctDefEntry *def = e.pG->InsDef != nullptr ? &e.pG->InsDef[e.opcode] : nullptr;
    if (def == nullptr || def->Start == nullptr) return Halt(e);
    CallFunction(e, *def);
}

// AA[] 0x7F and SANGW[] 0x7E: no longer supported; the operand goes.
void InsF_POP(Exec &e) { --e.sp; }

// SRP0-2: point numbers are 16-bit.
void InsF_SRPx(Exec &e) {
    const int32_t p = int32_t(uint16_t(Pop(e)));
    GsvStruct &gs = e.pG->Gsv;
    (e.opcode == 0x10 ? gs.rp0 : e.opcode == 0x11 ? gs.rp1 : gs.rp2) = p;
}

// SZP0-2, SZPS: a value other than 0 or 1 changes nothing.
void InsF_SZPx(Exec &e) {
    const int32_t zone = Pop(e);
    if (zone != 0 && zone != 1) return Fault(e, kFaultArgument);
    GsvStruct &gs = e.pG->Gsv;
    if (e.opcode == 0x13 || e.opcode == 0x16) gs.zp0 = zone;
    if (e.opcode == 0x14 || e.opcode == 0x16) gs.zp1 = zone;
    if (e.opcode == 0x15 || e.opcode == 0x16) gs.zp2 = zone;
}

// SLOOP[]: a negative count is fatal; counts above 65535 are limited.
void InsF_SLOOP(Exec &e) {
    const int32_t n = Pop(e);
    if (n < 0) return Halt(e);
    e.pG->Gsv.loop = n > 0xFFFF ? 0xFFFF : n;
}

// SSW[]: the single width is given in font units.
void InsF_SSW(Exec &e) {
    e.pG->Gsv.single_width_value = Clamp32(MulFixF(Pop(e), e.pG->Scale));
}

// SDB[]: 16 bits.  SDS[]: above 6 is fatal.
void InsF_SDB(Exec &e) { e.pG->Gsv.delta_base = int32_t(uint16_t(Pop(e))); }
void InsF_SDS(Exec &e) {
    const int32_t shift = Pop(e);
    if (uint32_t(shift) > 6) return Halt(e);
    e.pG->Gsv.delta_shift = shift;
}

// CINDEX[]: a depth the stack does not have copies a 0.
void InsF_CINDEX(Exec &e) {
    const int32_t k = Pop(e);
    if (k < 1 || k > Depth(e)) {
        Fault(e, kFaultArgument);
        return Push(e, 0);
    }
    Push(e, e.sp[-k]);
}

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
void InsF_JMPR(Exec &e) { JumpF(e, Pop(e)); }
void InsF_JROx(Exec &e) {
    const bool condition = Pop(e) != 0;
    const int32_t offset = Pop(e);
    if (condition == (e.opcode == 0x78)) JumpF(e, offset);
}

// FDEF[]: fatal in a glyph program, nested in another definition, or
// without its ENDF.
void InsF_FDEF(Exec &e) {
    const int32_t f = Pop(e);
    if (e.pG->Program != kFontProgram && e.pG->Program != kControlValueProgram) return Halt(e);
    const uint8_t *body = e.pc;
    while (e.pc < e.end && *e.pc != 0x2D) {
        if (*e.pc == 0x2C || *e.pc == 0x89) return Halt(e);
        ++e.pc;
        SkipPushData(e);
    }
    if (e.pc >= e.end) return Halt(e);
    const uint8_t *bodyEnd = e.pc++;
    if (f < 0 || f >= FunctionEntries(e.pG) || f >= e.pF->leMaximumProfile.maxFunctionDefs)
        return Halt(e);
    e.pG->FunctDef[f] = {body, bodyEnd};
}

// IDEF[] 0x89: defines an unassigned opcode, in the font and control-value
// programs of a font whose maxp asks for definitions.
void InsF_IDEF(Exec &e) {
    const int32_t opcode = Pop(e);
    if (e.pG->Program != kFontProgram && e.pG->Program != kControlValueProgram) return Halt(e);
    if (e.pG->InsDef == nullptr || opcode < 0 || opcode >= kInstructionDefs) return Halt(e);
    const uint8_t *body = e.pc;
    while (e.pc < e.end && *e.pc != 0x2D) {
        if (*e.pc == 0x2C || *e.pc == 0x89) return Halt(e);
        ++e.pc;
        SkipPushData(e);
    }
    if (e.pc >= e.end) return Halt(e);
    e.pG->InsDef[opcode] = {body, e.pc++};
}

// The classic table's unassigned opcodes: the font's definition when it
// has room for definitions (opened past the classic limits), a fault
// otherwise.
void Ins_Undefined(Exec &e) {
    if (e.pG->InsDef == nullptr) return UnKnown(e);
    InsF_Unknown(e);
}

// IDEF in the classic table pops its opcode only where definitions are
// kept: elsewhere it is the fault it always was, nothing popped.
void Ins_IDEF(Exec &e) {
    if (e.pG->InsDef == nullptr) return UnKnown(e);
    if (Depth(e) < 1) return Fault(e, kFaultArgument);
    InsF_IDEF(e);
}

// ENDF[]: outside a function it is fatal.
void InsF_ENDF(Exec &e) {
    if (e.recursion == 0) return Halt(e);
    e.pc = e.end;
}

// CALL[], LOOPCALL[]: an undefined function is fatal (before the count is
// looked at).
void InsF_CALL(Exec &e) {
    const FunctDefEntry *f = Function(e, Pop(e));
    if (f == nullptr) return Halt(e);
    CallFunction(e, *f);
}
void InsF_LOOPCALL(Exec &e) {
    const int32_t number = Pop(e);
    const int32_t count = Pop(e);
    const FunctDefEntry *f = Function(e, number);
    if (f == nullptr) return Halt(e);
    for (int32_t i = 0; i < count; ++i) {
        if (!CallFunction(e, *f)) return;
    }
}

// Pushes whose data run past the code or past the stack are fatal.
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

// DIV[]: truncated; a zero divisor is fatal.  MUL[]: rounded.
void InsF_DIV(Exec &e) {
    const int32_t e2 = Pop(e);
    const int32_t e1 = Pop(e);
    if (e2 == 0) return Halt(e);
    Push(e, Clamp32(MulDivTruncF(e1, 64, e2)));
}
int32_t MulF(int32_t a, int32_t b) { return Clamp32(MulDivF(a, b, 64)); }

// ODD[], EVEN[]: the rounded value's pixel count, its low 7 bits 64 or 0.
int32_t OddF(const _TtfGlyph *pG, int32_t v) { return (RoundF(pG, v) & 127) == 64; }
int32_t EvenF(const _TtfGlyph *pG, int32_t v) { return (RoundF(pG, v) & 127) == 0; }

// ROUND[ab]
void InsF_ROUND(Exec &e) { e.sp[-1] = RoundF(e.pG, e.sp[-1]); }

// WCVTF[]: font units scaled with the rounded 16.16 scale.
void InsF_WCVTF(Exec &e) {
    e.pG->ProgramWrote = 1;
    const int32_t value = Pop(e);
    if (int32_t *slot = CvtSlot(e, Pop(e))) *slot = Clamp32(MulFixF(value, e.pG->Scale));
}

// WS[], WCVTP[]: noted, so that the next glyph program starts from the
// control-value program's values again.
void InsF_WS(Exec &e) {
    e.pG->ProgramWrote = 1;
    Ins_WS(e);
}
void InsF_WCVTP(Exec &e) {
    e.pG->ProgramWrote = 1;
    Ins_WCVTx(e);
}

// GETINFO[]: version 35 when asked (bit 0); never rotated, stretched,
// a variation or grayscale.
void InsF_GETINFO(Exec &e) { e.sp[-1] = (e.sp[-1] & 1) ? 35 : 0; }

// ---------------------------------------------------------- the table

// One dispatch entry: the handler, the stack depth it needs and the room
// it needs above the current top.
struct InsEntry {
    InsHandler run;
    uint8_t needs;
    uint8_t grows;
};

constexpr void Set(std::array<InsEntry, 256> &t, int first, int last, InsHandler run, int needs,
                   int grows) {
    for (int op = first; op <= last; ++op) t[size_t(op)] = {run, uint8_t(needs), uint8_t(grows)};
}

constexpr std::array<InsEntry, 256> BuildDispatch() {
    std::array<InsEntry, 256> t{};
    Set(t, 0x00, 0xFF, UnKnown, 0, 0);
    Set(t, 0x00, 0x01, Ins_SVTCA, 0, 0);
    Set(t, 0x02, 0x03, Ins_SPVTCA, 0, 0);
    Set(t, 0x04, 0x05, Ins_SFVTCA, 0, 0);
    Set(t, 0x06, 0x07, Ins_SPVTL, 2, 0);
    Set(t, 0x08, 0x09, Ins_SFVTL, 2, 0);
    Set(t, 0x0A, 0x0B, Ins_SxVFS, 2, 0);
    Set(t, 0x0C, 0x0D, Ins_GxV, 0, 2);
    Set(t, 0x0E, 0x0E, Ins_SFVTPV, 0, 0);
    Set(t, 0x0F, 0x0F, Ins_ISECT, 5, 0);
    Set(t, 0x10, 0x12, Ins_SRPx, 1, 0);
    Set(t, 0x13, 0x16, Ins_SZPx, 1, 0);
    Set(t, 0x17, 0x17, SetField<&GsvStruct::loop>, 1, 0);
    Set(t, 0x18, 0x18, SetConstant<&GsvStruct::round_state, 1>, 0, 0);
    Set(t, 0x19, 0x19, SetConstant<&GsvStruct::round_state, 0>, 0, 0);
    Set(t, 0x1A, 0x1A, SetField<&GsvStruct::minimum_distance>, 1, 0);
    Set(t, 0x1B, 0x1B, Ins_ELSE, 0, 0);
    Set(t, 0x1C, 0x1C, Ins_JMPR, 1, 0);
    Set(t, 0x1D, 0x1D, SetField<&GsvStruct::control_value_cut_in>, 1, 0);
    Set(t, 0x1E, 0x1E, SetField<&GsvStruct::single_width_cut_in>, 1, 0);
    Set(t, 0x1F, 0x1F, SetField<&GsvStruct::single_width_value>, 1, 0);
    Set(t, 0x20, 0x20, Ins_DUP, 1, 1);
    Set(t, 0x21, 0x21, Ins_POP, 1, 0);
    Set(t, 0x22, 0x22, Ins_CLEAR, 0, 0);
    Set(t, 0x23, 0x23, Ins_SWAP, 2, 0);
    Set(t, 0x24, 0x24, Ins_DEPTH, 0, 1);
    Set(t, 0x25, 0x25, Ins_CINDEX, 1, 0);
    Set(t, 0x26, 0x26, Ins_MINDEX, 1, 0);
    Set(t, 0x27, 0x27, Ins_ALIGNPTS, 2, 0);
    Set(t, 0x29, 0x29, Ins_UTP, 1, 0);
    Set(t, 0x2A, 0x2A, Ins_LOOPCALL, 2, 0);
    Set(t, 0x2B, 0x2B, Ins_CALL, 1, 0);
    Set(t, 0x2C, 0x2C, Ins_FDEF, 1, 0);
    Set(t, 0x2D, 0x2D, Ins_ENDF, 0, 0);
    Set(t, 0x2E, 0x2F, Ins_MDAP, 1, 0);
    Set(t, 0x30, 0x31, Ins_IUP, 0, 0);
    Set(t, 0x32, 0x33, Ins_SHP, 0, 0);
    Set(t, 0x34, 0x35, Ins_SHC, 1, 0);
    Set(t, 0x36, 0x37, Ins_SHZ, 1, 0);
    Set(t, 0x38, 0x38, Ins_SHPIX, 1, 0);
    Set(t, 0x39, 0x39, Ins_IP, 0, 0);
    Set(t, 0x3A, 0x3B, Ins_MSIRP, 2, 0);
    Set(t, 0x3C, 0x3C, Ins_ALIGNRP, 0, 0);
    Set(t, 0x3D, 0x3D, SetConstant<&GsvStruct::round_state, 2>, 0, 0);
    Set(t, 0x3E, 0x3F, Ins_MIAP, 2, 0);
    Set(t, 0x40, 0x41, Ins_NPUSH, 0, 0);
    Set(t, 0x42, 0x42, Ins_WS, 2, 0);
    Set(t, 0x43, 0x43, Ins_RS, 1, 0);
    Set(t, 0x44, 0x44, Ins_WCVTx, 2, 0);
    Set(t, 0x45, 0x45, Ins_RCVT, 1, 0);
    Set(t, 0x46, 0x47, Ins_GC, 1, 0);
    Set(t, 0x48, 0x48, Ins_SCFS, 2, 0);
    Set(t, 0x49, 0x4A, Ins_MD, 2, 0);
    Set(t, 0x4B, 0x4B, Ins_MPPEM, 0, 1);
    Set(t, 0x4D, 0x4D, SetConstant<&GsvStruct::auto_flip, 1>, 0, 0);
    Set(t, 0x4E, 0x4E, SetConstant<&GsvStruct::auto_flip, 0>, 0, 0);
    Set(t, 0x50, 0x50, Binary<Lt>, 2, 0);
    Set(t, 0x51, 0x51, Binary<LtEq>, 2, 0);
    Set(t, 0x52, 0x52, Binary<Gt>, 2, 0);
    Set(t, 0x53, 0x53, Binary<GtEq>, 2, 0);
    Set(t, 0x54, 0x54, Binary<Eq>, 2, 0);
    Set(t, 0x55, 0x55, Binary<NEq>, 2, 0);
    Set(t, 0x56, 0x56, Unary<Odd>, 1, 0);
    Set(t, 0x57, 0x57, Unary<Even>, 1, 0);
    Set(t, 0x58, 0x58, Ins_IF, 1, 0);
    Set(t, 0x59, 0x59, Ins_EIF, 0, 0);
    Set(t, 0x5A, 0x5A, Binary<And>, 2, 0);
    Set(t, 0x5B, 0x5B, Binary<Or>, 2, 0);
    Set(t, 0x5C, 0x5C, Unary<Not>, 1, 0);
    Set(t, 0x5D, 0x5D, Ins_DELTAP, 1, 0);
    Set(t, 0x5E, 0x5E, SetField<&GsvStruct::delta_base>, 1, 0);
    Set(t, 0x5F, 0x5F, SetField<&GsvStruct::delta_shift>, 1, 0);
    Set(t, 0x60, 0x60, Binary<Add>, 2, 0);
    Set(t, 0x61, 0x61, Binary<Sub>, 2, 0);
    Set(t, 0x62, 0x62, Binary<Div>, 2, 0);
    Set(t, 0x63, 0x63, Binary<Mul>, 2, 0);
    Set(t, 0x64, 0x64, Unary<Abs>, 1, 0);
    Set(t, 0x65, 0x65, Unary<Neg>, 1, 0);
    Set(t, 0x66, 0x66, Unary<Floor>, 1, 0);
    Set(t, 0x67, 0x67, Unary<Ceiling>, 1, 0);
    Set(t, 0x68, 0x6B, Ins_ROUND, 1, 0);
    Set(t, 0x6C, 0x6F, Ins_NROUND, 1, 0);
    Set(t, 0x70, 0x70, Ins_WCVTx, 2, 0);
    Set(t, 0x71, 0x72, Ins_DELTAP, 1, 0);
    Set(t, 0x73, 0x75, Ins_DELTAC, 1, 0);
    Set(t, 0x76, 0x77, Ins_SxROUND, 1, 0);
    Set(t, 0x78, 0x79, Ins_JROx, 2, 0);
    Set(t, 0x7A, 0x7A, SetConstant<&GsvStruct::round_state, 5>, 0, 0);
    Set(t, 0x7C, 0x7C, SetConstant<&GsvStruct::round_state, 4>, 0, 0);
    Set(t, 0x7D, 0x7D, SetConstant<&GsvStruct::round_state, 3>, 0, 0);
    Set(t, 0x7E, 0x7E, SetField<&GsvStruct::angle_weight>, 1, 0);
    Set(t, 0x7F, 0x7F, Ins_AA, 1, 0);
    Set(t, 0x81, 0x82, Ins_FLIPRG, 2, 0);
    Set(t, 0x85, 0x85, Ins_SCANCTRL, 1, 0);
    Set(t, 0x86, 0x87, Ins_SDPVTL, 2, 0);
    Set(t, 0x88, 0x88, Ins_GETINFO, 1, 0);
    Set(t, 0x8A, 0x8A, Ins_ROLL, 3, 0);
    Set(t, 0x8B, 0x8B, Binary<Max>, 2, 0);
    Set(t, 0x8C, 0x8C, Binary<Min>, 2, 0);
    Set(t, 0x8D, 0x8D, Ins_SCANTYPE, 1, 0);
    Set(t, 0x8E, 0x8E, Ins_INSTCTRL, 2, 0);
    Set(t, 0xB0, 0xBF, Ins_PUSH, 0, 0);
    Set(t, 0xC0, 0xDF, Ins_MDRP, 1, 0);
    Set(t, 0xE0, 0xFF, Ins_MIRP, 2, 0);
    // MPS 0x4C, DEBUG 0x4F, FLIPPT 0x80 and the unassigned opcodes keep
    // UnKnown: a fault, nothing popped or pushed.  So do IDEF and the
    // opcodes it may define, unless the font was opened past the classic
    // limits with room for definitions.
    for (InsEntry &entry : t) {
        if (entry.run == UnKnown) entry.run = Ins_Undefined;
    }
    Set(t, 0x89, 0x89, Ins_IDEF, 0, 0);
    return t;
}

using Dispatch = std::array<InsEntry, 256>;
constexpr Dispatch kDispatch = BuildDispatch();

// The faithful mode's table: the classic one with the instructions whose
// published behaviour differs replaced, and the unknown opcodes ending the
// run.
constexpr Dispatch BuildFaithfulDispatch() {
    Dispatch t = BuildDispatch();
    for (InsEntry &entry : t) {
        if (entry.run == Ins_Undefined) entry.run = InsF_Unknown;
    }
    Set(t, 0x06, 0x09, InsF_SxVTL, 2, 0);
    Set(t, 0x0A, 0x0B, InsF_SxVFS, 2, 0);
    Set(t, 0x0F, 0x0F, InsF_ISECT, 5, 0);
    Set(t, 0x10, 0x12, InsF_SRPx, 1, 0);
    Set(t, 0x13, 0x16, InsF_SZPx, 1, 0);
    Set(t, 0x17, 0x17, InsF_SLOOP, 1, 0);
    Set(t, 0x1C, 0x1C, InsF_JMPR, 1, 0);
    Set(t, 0x1F, 0x1F, InsF_SSW, 1, 0);
    Set(t, 0x25, 0x25, InsF_CINDEX, 1, 0);
    Set(t, 0x27, 0x27, InsF_ALIGNPTS, 2, 0);
    Set(t, 0x29, 0x29, InsF_UTP, 1, 0);
    Set(t, 0x2A, 0x2A, InsF_LOOPCALL, 2, 0);
    Set(t, 0x2B, 0x2B, InsF_CALL, 1, 0);
    Set(t, 0x2C, 0x2C, InsF_FDEF, 1, 0);
    Set(t, 0x2D, 0x2D, InsF_ENDF, 0, 0);
    Set(t, 0x2E, 0x2F, InsF_MDAP, 1, 0);
    Set(t, 0x30, 0x31, InsF_IUP, 0, 0);
    Set(t, 0x32, 0x33, InsF_SHP, 0, 0);
    Set(t, 0x34, 0x35, InsF_SHC, 1, 0);
    Set(t, 0x36, 0x37, InsF_SHZ, 1, 0);
    Set(t, 0x38, 0x38, InsF_SHPIX, 1, 0);
    Set(t, 0x39, 0x39, InsF_IP, 0, 0);
    Set(t, 0x3A, 0x3B, InsF_MSIRP, 2, 0);
    Set(t, 0x3C, 0x3C, InsF_ALIGNRP, 0, 0);
    Set(t, 0x3E, 0x3F, InsF_MIAP, 2, 0);
    Set(t, 0x40, 0x41, InsF_NPUSH, 0, 0);
    Set(t, 0x42, 0x42, InsF_WS, 2, 0);
    Set(t, 0x44, 0x44, InsF_WCVTP, 2, 0);
    Set(t, 0x46, 0x47, InsF_GC, 1, 0);
    Set(t, 0x48, 0x48, InsF_SCFS, 2, 0);
    Set(t, 0x49, 0x4A, InsF_MD, 2, 0);
    Set(t, 0x4C, 0x4C, Ins_MPPEM, 0, 1);  // MPS: the ppem, as FreeType answers
    Set(t, 0x4F, 0x4F, HaltUnknown, 1, 0);  // DEBUG pops its operand first
    Set(t, 0x56, 0x56, Unary<OddF>, 1, 0);
    Set(t, 0x57, 0x57, Unary<EvenF>, 1, 0);
    Set(t, 0x5D, 0x5D, InsF_DELTAP, 1, 0);
    Set(t, 0x5E, 0x5E, InsF_SDB, 1, 0);
    Set(t, 0x5F, 0x5F, InsF_SDS, 1, 0);
    Set(t, 0x62, 0x62, InsF_DIV, 2, 0);
    Set(t, 0x63, 0x63, Binary<MulF>, 2, 0);
    Set(t, 0x68, 0x6B, InsF_ROUND, 1, 0);
    Set(t, 0x70, 0x70, InsF_WCVTF, 2, 0);
    Set(t, 0x71, 0x72, InsF_DELTAP, 1, 0);
    Set(t, 0x73, 0x75, InsF_DELTAC, 1, 0);
    Set(t, 0x78, 0x79, InsF_JROx, 2, 0);
    Set(t, 0x7F, 0x7F, InsF_POP, 1, 0);  // AA: no longer supported, pops its point
    Set(t, 0x7E, 0x7E, InsF_POP, 1, 0);  // SANGW: likewise
    Set(t, 0x80, 0x80, InsF_FLIPPT, 0, 0);
    Set(t, 0x81, 0x82, InsF_FLIPRG, 2, 0);
    Set(t, 0x86, 0x87, InsF_SDPVTL, 2, 0);
    Set(t, 0x89, 0x89, InsF_IDEF, 1, 0);
    Set(t, 0x88, 0x88, InsF_GETINFO, 1, 0);
    Set(t, 0xB0, 0xBF, InsF_PUSH, 0, 0);
    Set(t, 0xC0, 0xDF, InsF_MDRP, 1, 0);
    Set(t, 0xE0, 0xFF, InsF_MIRP, 2, 0);
    return t;
}

constexpr Dispatch kFaithfulDispatch = BuildFaithfulDispatch();

// Runs one instruction at e.pc after the depth checks of its entry.  The
// faithful mode runs an instruction short of operands on zeros, as TrueType
// rasterizers do, and ends the run on a stack overflow.
inline void Step(Exec &e, const Dispatch &table) {
    const uint8_t op = *e.pc++;
    e.opcode = op;
    const InsEntry &entry = table[op];
    if (Depth(e) < entry.needs || Room(e) < entry.grows) {
        if (!e.faithful) return Fault(e, kFaultArgument);
        if (e.stackEnd - e.stackBase < entry.needs || Room(e) < entry.grows) return Halt(e);
        Fault(e, kFaultArgument);
        for (int i = 0; i < entry.needs; ++i) e.stackBase[i] = 0;
        e.sp = e.stackBase + entry.needs;
        if (Room(e) < entry.grows) return Halt(e);
    }
    entry.run(e);
}

// Whether the run may go on: budget left (and no fatal error in the
// faithful mode).
inline bool MayContinue(Exec &e) { return SpendOne(e); }

void RunUntraced(Exec &e) {
    const Dispatch &table = e.faithful ? kFaithfulDispatch : kDispatch;
    while (e.pc < e.end && MayContinue(e)) Step(e, table);
}

void RunTraced(Exec &e) {
    _TtfGlyph *pG = e.pG;
    const Dispatch &table = e.faithful ? kFaithfulDispatch : kDispatch;
    while (e.pc < e.end && MayContinue(e)) {
        pG->Opcode = *e.pc;
        pG->Tracer->Instruction(pG->Program, int32_t(e.pc - e.start), *e.pc, pG->Stack, Depth(e),
                                e.recursion);
        Step(e, table);
    }
}

}  // namespace

void RecordFault(_TtfGlyph *pG, int code) {
    pG->InternalError = int16_t(code);
    if (pG->Tracer != nullptr) pG->Tracer->Fault(pG->Program, pG->Opcode, code);
}

int DoInstructions(_TTFont *pF, _TtfGlyph *pG, int32_t NumInstructions, int Recursion,
                   const uint8_t *pcIns, const uint8_t *Base) {
    (void)Base;
    const bool faithful = (pF->RenderOptions & kFaithful) != 0;
    int stackEntries = pG->StackSize > 0 ? pG->StackSize / 4 : 0;
    if (faithful && pG->Stack != nullptr) stackEntries += kStackSlack;
    const uint8_t *end = pcIns + (NumInstructions > 0 ? NumInstructions : 0);
    int32_t *stack = pG->Stack;
    Exec e = {pF, pG, pcIns, pcIns, end, pG->lpStack, stack, stack + stackEntries, Recursion, 0,
              faithful};
    pG->pVF = pF;
    if (pG->Tracer != nullptr)
        RunTraced(e);
    else
        RunUntraced(e);
    pG->lpStack = e.sp;
    return 0;
}

namespace {

bool IsGlyphLevel(int program) { return program == kGlyphProgram || program == kComponentProgram; }

// What this run may execute: the whole budget for the font and control-value
// programs; for a glyph's programs, what the glyph has left once the
// program's own allowance is added.
int32_t RunBudget(_TtfGlyph *pG, int program, int32_t length) {
    if (!IsGlyphLevel(program)) return kInstructionBudget;
    const int64_t allowance =
        int64_t(kBudgetPerByteOrPoint) * (int64_t(length) + std::max<int>(pG->ZonePoints[1], 0));
    pG->GlyphBudget = int32_t(std::min<int64_t>(int64_t(pG->GlyphBudget) + allowance,
                                                kInstructionBudget));
    return pG->GlyphBudget;
}

// What the run left of its budget: all of it was spent when it ran out.
int32_t LeftAfterRun(const _TtfGlyph *pG) {
    if (pG->InsBudget >= 0) return pG->InsBudget;
    return pG->HaltedBudget;
}

}  // namespace

void RunProgram(_TTFont *pF, _TtfGlyph *pG, int program, const uint8_t *block) {
    if (block == nullptr) return;
    pG->Program = program;
    pG->Faithful = (pF->RenderOptions & kFaithful) != 0 ? 1 : 0;
    const int32_t length = BlockLength(block);
    pG->InsBudget = RunBudget(pG, program, length);
    pG->HaltedBudget = 0;
    const uint8_t *code = BlockBytes(block);
    pG->S.ScanControl = DoInstructions(pF, pG, length, 0, code, code);
    if (IsGlyphLevel(program)) pG->GlyphBudget = LeftAfterRun(pG);
    // Out of instructions (both modes), or stopped by a fatal error (the
    // faithful mode; the classic one records faults and goes on).
    if (pG->InsBudget < 0 && (pG->HaltedBudget == 0 || pG->Faithful)) {
        if (program == kFontProgram) pF->G.ProgramsFailed |= kFontProgramFailed;
        if (program == kControlValueProgram) pF->G.ProgramsFailed |= kSizeProgramFailed;
    }
}

}  // namespace kelmor
