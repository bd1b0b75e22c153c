// The instruction loop and its two dispatch tables, one per mode; this note
// is the map of the hinting interpreter's files.
//
// How a program runs: RunProgram gives a program block (font program,
// control-value program, glyph or component program) a fresh instruction
// budget and calls DoInstructions, which sets up one activation (Exec: the
// code, the program counter, the stack) and loops fetching an opcode and
// calling its handler from the dispatch table.  CALL and LOOPCALL run a
// function body as a nested activation on the same stack, one level deeper
// (CallFunction); IF, ELSE and the jumps move the program counter of the
// activation they run in.  The run ends at the end of the code, when the
// budget is spent, or when INSTCTRL says so.  With a tracer set the same
// handlers run from a second, traced loop.
//
// The dispatch table knows how deep the stack must be for each fixed-arity
// instruction and how much it grows, so the loop checks under- and overflow
// once before the handler runs; handlers that pop a variable number of
// values check for themselves.
//
// Two modes, two tables.  The classic table (kDispatch) runs every
// instruction as this library always has: a fault records its code in
// InternalError and the program goes on with the next instruction.  The
// faithful table (kFaithfulDispatch) is the classic one with the
// instructions whose published behaviour differs replaced: the TrueType
// rules as FreeType's v35 interpreter keeps them, where an error TrueType
// treats as fatal ends the run (Halt).  Which table runs follows the
// interpreter's own copy of the mode, _TtfGlyph::Faithful (copied into
// Exec::faithful), which SetInterpreterMode sets when the font opens and
// when its options change: the interpreter never reads the options.
// Besides the table, the mode decides only what the loop does with a stack
// too shallow or too full for an instruction, how deep calls nest, whether
// a stop on a fatal error fails the font or size, and (instruct.cpp) how
// the control values are scaled and what state each glyph program starts
// from.
//
// The files, with the classic handlers (Ins_) and the faithful ones (InsF_),
// declared by file in instruct_handlers.h:
//
//   instruct_loop.cpp             this loop, the two tables, RunProgram
//   instruct_classic.cpp          pushes, stack, arithmetic and logic,
//                                 control flow and functions, graphics
//                                 state, control values and storage
//   instruct_classic_points.cpp   the instructions that measure or move points
//   instruct_faithful.cpp         the faithful departures among the former
//   instruct_faithful_points.cpp  the faithful departures among the latter
//   instruct_prim.cpp             primitives the handlers share (rounding,
//                                 moves, IUP, DELTA, push data, definitions)
//   instruct.cpp                  interpreter memory; when each program runs
//   instruct_names.cpp            mnemonics, for the trace tool and the tests
//
// The departures, as BuildFaithfulDispatch puts them in (every other opcode
// runs its classic handler in both modes):
//
//   instruct_faithful.cpp
//     NPUSHB NPUSHW PUSHB PUSHW   data past the code or the stack end the run
//     CINDEX                      a depth the stack does not have copies 0
//     DIV MUL                     truncated and rounded; a zero divisor ends the run
//     ODD EVEN ROUND              TrueType's rounding (RoundF)
//     JMPR JROT JROF              offsets may go back; out of the code ends the run
//     FDEF ENDF CALL LOOPCALL     what TrueType treats as fatal ends the run
//     IDEF, unassigned opcodes    the font's definitions run like functions
//     DEBUG                       ends the run
//     SPVTL SFVTL SDPVTL SPVFS SFVFS  vectors normalised as TrueType does
//     SRP0-2 SZP0-2 SZPS          16-bit points; a zone other than 0 or 1 is ignored
//     SLOOP SSW SDB SDS           the published limits; SSW in font units
//     GETINFO                     version 35
//     WS WCVTP WCVTF              noted for the next glyph program; WCVTF rounded
//   instruct_classic.cpp (the classic handlers, to other opcodes)
//     MPS                         the ppem, as MPPEM
//     AA SANGW                    no longer supported: the operand is popped (POP)
//   instruct_faithful_points.cpp
//     GC SCFS MD MDAP MIAP MDRP MIRP MSIRP SHP SHC SHZ SHPIX IP ALIGNRP
//     ALIGNPTS ISECT UTP FLIPPT FLIPRG IUP DELTAP1-3 DELTAC1-3
#include <algorithm>
#include <array>
#include <cstdlib>

#include "ttf/hint/instruct_handlers.h"

namespace kelmor {

namespace {

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

}  // namespace

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

namespace {

// ---------------------------------------------------------- the table

// One dispatch entry: the handler, the stack depth it needs and the room
// it needs above the current top.
struct InsEntry {
    InsHandler run;
    uint8_t needs;
    uint8_t grows;
    // False for the opcodes TrueType leaves undefined.  The faithful table
    // finds them by this flag: comparing handler addresses is no constant
    // expression in a build whose functions may be interposed (-fPIC).
    bool defined;
};

constexpr void Set(std::array<InsEntry, 256> &t, int first, int last, InsHandler run, int needs,
                   int grows) {
    for (int op = first; op <= last; ++op)
        t[size_t(op)] = {run, uint8_t(needs), uint8_t(grows), true};
}

constexpr void SetUndefined(std::array<InsEntry, 256> &t, int first, int last) {
    for (int op = first; op <= last; ++op) t[size_t(op)] = {Ins_Undefined, 0, 0, false};
}

constexpr std::array<InsEntry, 256> BuildDispatch() {
    std::array<InsEntry, 256> t{};
    SetUndefined(t, 0x00, 0xFF);
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
    Set(t, 0x17, 0x17, Ins_SLOOP, 1, 0);
    Set(t, 0x18, 0x18, Ins_RTG, 0, 0);
    Set(t, 0x19, 0x19, Ins_RTHG, 0, 0);
    Set(t, 0x1A, 0x1A, Ins_SMD, 1, 0);
    Set(t, 0x1B, 0x1B, Ins_ELSE, 0, 0);
    Set(t, 0x1C, 0x1C, Ins_JMPR, 1, 0);
    Set(t, 0x1D, 0x1D, Ins_SCVTCI, 1, 0);
    Set(t, 0x1E, 0x1E, Ins_SSWCI, 1, 0);
    Set(t, 0x1F, 0x1F, Ins_SSW, 1, 0);
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
    Set(t, 0x3D, 0x3D, Ins_RTDG, 0, 0);
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
    Set(t, 0x4D, 0x4D, Ins_FLIPON, 0, 0);
    Set(t, 0x4E, 0x4E, Ins_FLIPOFF, 0, 0);
    Set(t, 0x50, 0x50, Ins_LT, 2, 0);
    Set(t, 0x51, 0x51, Ins_LTEQ, 2, 0);
    Set(t, 0x52, 0x52, Ins_GT, 2, 0);
    Set(t, 0x53, 0x53, Ins_GTEQ, 2, 0);
    Set(t, 0x54, 0x54, Ins_EQ, 2, 0);
    Set(t, 0x55, 0x55, Ins_NEQ, 2, 0);
    Set(t, 0x56, 0x56, Ins_ODD, 1, 0);
    Set(t, 0x57, 0x57, Ins_EVEN, 1, 0);
    Set(t, 0x58, 0x58, Ins_IF, 1, 0);
    Set(t, 0x59, 0x59, Ins_EIF, 0, 0);
    Set(t, 0x5A, 0x5A, Ins_AND, 2, 0);
    Set(t, 0x5B, 0x5B, Ins_OR, 2, 0);
    Set(t, 0x5C, 0x5C, Ins_NOT, 1, 0);
    Set(t, 0x5D, 0x5D, Ins_DELTAP, 1, 0);
    Set(t, 0x5E, 0x5E, Ins_SDB, 1, 0);
    Set(t, 0x5F, 0x5F, Ins_SDS, 1, 0);
    Set(t, 0x60, 0x60, Ins_ADD, 2, 0);
    Set(t, 0x61, 0x61, Ins_SUB, 2, 0);
    Set(t, 0x62, 0x62, Ins_DIV, 2, 0);
    Set(t, 0x63, 0x63, Ins_MUL, 2, 0);
    Set(t, 0x64, 0x64, Ins_ABS, 1, 0);
    Set(t, 0x65, 0x65, Ins_NEG, 1, 0);
    Set(t, 0x66, 0x66, Ins_FLOOR, 1, 0);
    Set(t, 0x67, 0x67, Ins_CEILING, 1, 0);
    Set(t, 0x68, 0x6B, Ins_ROUND, 1, 0);
    Set(t, 0x6C, 0x6F, Ins_NROUND, 1, 0);
    Set(t, 0x70, 0x70, Ins_WCVTx, 2, 0);
    Set(t, 0x71, 0x72, Ins_DELTAP, 1, 0);
    Set(t, 0x73, 0x75, Ins_DELTAC, 1, 0);
    Set(t, 0x76, 0x77, Ins_SxROUND, 1, 0);
    Set(t, 0x78, 0x79, Ins_JROx, 2, 0);
    Set(t, 0x7A, 0x7A, Ins_ROFF, 0, 0);
    Set(t, 0x7C, 0x7C, Ins_RUTG, 0, 0);
    Set(t, 0x7D, 0x7D, Ins_RDTG, 0, 0);
    Set(t, 0x7E, 0x7E, Ins_SANGW, 1, 0);
    Set(t, 0x7F, 0x7F, Ins_AA, 1, 0);
    Set(t, 0x81, 0x82, Ins_FLIPRG, 2, 0);
    Set(t, 0x85, 0x85, Ins_SCANCTRL, 1, 0);
    Set(t, 0x86, 0x87, Ins_SDPVTL, 2, 0);
    Set(t, 0x88, 0x88, Ins_GETINFO, 1, 0);
    Set(t, 0x8A, 0x8A, Ins_ROLL, 3, 0);
    Set(t, 0x8B, 0x8B, Ins_MAX, 2, 0);
    Set(t, 0x8C, 0x8C, Ins_MIN, 2, 0);
    Set(t, 0x8D, 0x8D, Ins_SCANTYPE, 1, 0);
    Set(t, 0x8E, 0x8E, Ins_INSTCTRL, 2, 0);
    Set(t, 0xB0, 0xBF, Ins_PUSH, 0, 0);
    Set(t, 0xC0, 0xDF, Ins_MDRP, 1, 0);
    Set(t, 0xE0, 0xFF, Ins_MIRP, 2, 0);
    // MPS 0x4C, DEBUG 0x4F, FLIPPT 0x80 and the unassigned opcodes keep
    // Ins_Undefined: a fault, nothing popped or pushed.  So does IDEF, and
    // so do the opcodes it may define, unless the font was opened past the
    // classic limits with room for definitions.
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
        if (!entry.defined) entry.run = InsF_Unknown;
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
    Set(t, 0x4F, 0x4F, InsF_DEBUG, 1, 0);
    Set(t, 0x56, 0x56, InsF_ODD, 1, 0);
    Set(t, 0x57, 0x57, InsF_EVEN, 1, 0);
    Set(t, 0x5D, 0x5D, InsF_DELTAP, 1, 0);
    Set(t, 0x5E, 0x5E, InsF_SDB, 1, 0);
    Set(t, 0x5F, 0x5F, InsF_SDS, 1, 0);
    Set(t, 0x62, 0x62, InsF_DIV, 2, 0);
    Set(t, 0x63, 0x63, InsF_MUL, 2, 0);
    Set(t, 0x68, 0x6B, InsF_ROUND, 1, 0);
    Set(t, 0x70, 0x70, InsF_WCVTF, 2, 0);
    Set(t, 0x71, 0x72, InsF_DELTAP, 1, 0);
    Set(t, 0x73, 0x75, InsF_DELTAC, 1, 0);
    Set(t, 0x78, 0x79, InsF_JROx, 2, 0);
    Set(t, 0x7F, 0x7F, Ins_POP, 1, 0);  // AA: no longer supported, pops its point
    Set(t, 0x7E, 0x7E, Ins_POP, 1, 0);  // SANGW: likewise
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

const Dispatch &TableOf(const Exec &e) { return e.faithful ? kFaithfulDispatch : kDispatch; }

void RunUntraced(Exec &e) {
    const Dispatch &table = TableOf(e);
    while (e.pc < e.end && MayContinue(e)) Step(e, table);
}

void RunTraced(Exec &e) {
    _TtfGlyph *pG = e.pG;
    const Dispatch &table = TableOf(e);
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
    const bool faithful = pG->Faithful != 0;
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