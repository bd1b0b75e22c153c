// Hinting interpreter: point and graphics-state records, interpreter memory,
// and the drivers that decide when a program runs.
#ifndef KELMOR_TTF_HINT_INSTRUCT_H
#define KELMOR_TTF_HINT_INSTRUCT_H

#include <cstddef>
#include <cstdint>

#include "ttf/records/ttf_records.h"
#include "ttf/sfnt/sfnt.h"

namespace kelmor {

// Read-only constants.
extern const longpointtype xAxis;
extern const longpointtype yAxis;
extern const longpointtype NulVect;
extern const TTFCoord NulTTF;
// What a bad point number resolves to: a scratch point that instructions may
// move harmlessly, one per thread so that fonts on other threads never see
// it move.
extern thread_local TTFCoord ErrorTTF;
extern const int32_t Exception[16];


// Fault codes recorded in InternalError.
constexpr int kFaultArgument = 1;  // bad instruction, operand, index or stack depth
constexpr int kFaultPoint = 2;     // bad point number or degenerate vectors

// Watches a program run: set _TtfGlyph::Tracer to one (null by default) and
// the interpreter reports every instruction before it executes, every point
// it moves and every fault with the opcode that caused it.  With no tracer
// the interpreter runs its untraced loop and pays nothing for this.
struct InsTracer {
    virtual ~InsTracer() = default;
    // `offset` counts from the start of the code being run (a function's
    // body counts from its first byte); `stack` holds `depth` entries, the
    // top one last; `recursion` is 0 for the program itself, 1 inside a
    // function it called, and so on.
    virtual void Instruction(int program, int32_t offset, uint8_t opcode, const int32_t *stack,
                             int depth, int recursion) {
        (void)program, (void)offset, (void)opcode, (void)stack, (void)depth, (void)recursion;
    }
    // A point of zone `zone` (0 twilight, 1 glyph) went from `from` to `to`.
    virtual void PointMoved(int zone, int point, longpointtype from, longpointtype to) {
        (void)zone, (void)point, (void)from, (void)to;
    }
    // A fault (kFaultArgument or kFaultPoint) recorded while `opcode` ran.
    virtual void Fault(int program, uint8_t opcode, int code) {
        (void)program, (void)opcode, (void)code;
    }
};

// Mnemonic of an opcode with its bits as the tool and the tests write them:
// "SWAP", "SVTCA[1]", "MDRP[10110]", "PUSHB[010]"; an opcode the
// interpreter does not know reads "UNKNOWN[0x28]".  Writes at most
// `size` - 1 characters.
void InsMnemonic(uint8_t opcode, char *buf, size_t size);
// Base name and range of the opcode group `opcode` belongs to (PUSHB for
// 0xB0-0xB7, MDRP for 0xC0-0xDF...); `bits` is the width of the bit field
// after the name, 0 for an instruction without one.  Null name for an
// opcode the interpreter does not know.
struct InsGroup {
    const char *name;
    uint8_t first;
    uint8_t bits;
};
InsGroup InsGroupOf(uint8_t opcode);
// The group whose base name is `name` (case-sensitive); null name when none.
InsGroup InsGroupNamed(const char *name);

// Set by nothing in the library: while non-zero, glyph programs are skipped.
extern uint8_t NoInterpretOverall;

// What InitInsMemory answers: 0 when the interpreter memory is ready, else
// why the font cannot have it.
enum InsMemoryResult : int {
    kInsMemoryReady = 0,
    kInsMemoryNoRoom = -1,           // an allocation failed
    kInsMemoryTooManyPoints = -2,    // glyph or twilight points beyond the zone limit
    kInsMemoryInstructionDefs = -3,  // IDEFs, in the classic mode within the classic limits
    kInsMemoryBeyondLimits = -4,     // zones, contours, storage, functions or stack
};
// The limit maxp's counts break for a font drawn with `options`, or
// kInsMemoryReady when it breaks none.
int InsMemoryLimitBroken(const leMaxpHeader &maxp, int32_t options, bool beyondLimits);
int InitInsMemory(_TTFont *pF, _TtfGlyph *pG);
void FreeInsMemory(_TtfGlyph *pG);
void ResetStack(_TtfGlyph *pG);
void ResetGsv(_TtfGlyph *pG);
void ResetGlyph(_TtfGlyph *pG);
void ResetTTF(_TtfGlyph *pG);
void FlipTable(_TtfGlyph *pG, const uint8_t *lpTable, int32_t *lpToTable);
// The instructions one GetBitmap's glyph and component programs may run
// together: a floor far above what real glyphs run (under 2,500 per
// program), and for each program run an allowance for its length and the
// points it works on, so that the bound grows with the glyph and a hostile
// glyph that loops costs a bounded multiple of drawing it.
constexpr int32_t kGlyphBudgetFloor = 20000;
constexpr int32_t kBudgetPerByteOrPoint = 32;
// ProgramsFailed bits.
constexpr uint8_t kFontProgramFailed = 1;
constexpr uint8_t kSizeProgramFailed = 2;

// Sets the interpreter's own copy of the rendering mode (_TtfGlyph::
// Faithful): which dispatch table runs, how the control values are scaled
// and what state each glyph program starts from.  The interpreter never
// reads the font's options; whoever changes them calls this before the
// font and control-value programs run again, and so does the font's open.
void SetInterpreterMode(_TtfGlyph *pG, bool faithful);
// Rebuilds the control-value table for the size just set and runs the
// control-value program.
void ExecuteprepCVT(_TTFont *pF, _TtfGlyph *pG);
// Clears functions, storage, zones and state and runs the font program: at
// open, and again by a tool that wants to watch it.
void RunFontProgram(_TTFont *pF, _TtfGlyph *pG);
// Runs and then frees the instructions in pG->instructions.  `program`
// tells a glyph's own program from a component's.
void InterpretGlyph(_TTFont *pF, _TtfGlyph *pG, int NumContours, int16_t *lpEndPoints,
                    TTFCoord *lpStart, int program = kGlyphProgram);

}  // namespace kelmor

#endif
