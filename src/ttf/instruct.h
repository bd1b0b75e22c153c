// Hinting interpreter: point and graphics-state records, interpreter memory,
// and the drivers that decide when a program runs.
#ifndef KELMOR_TTF_INSTRUCT_H
#define KELMOR_TTF_INSTRUCT_H

#include <cstddef>
#include <cstdint>

namespace kelmor {

struct _TTFont;
struct _TtfGlyph;

// F26Dot6 positions and F2Dot14 vectors.
struct longpointtype {
    int32_t x;
    int32_t y;
};

// One point of a zone.
struct TTFCoord {
    longpointtype Cur;   // current (hinted) position
    longpointtype Prev;  // position before the most recent move
    longpointtype Orig;  // scaled position as loaded
    uint8_t Flags;       // 0x01 on curve, 0x40 touched in x, 0x80 touched in y
    uint8_t OFlags;      // flag byte as loaded
};

// Flag bits the interpreter adds to TTFCoord::Flags.
constexpr uint8_t kOnCurve = 0x01;
constexpr uint8_t kTouchedX = 0x40;
constexpr uint8_t kTouchedY = 0x80;

// Graphics state.
struct GsvStruct {
    longpointtype freedom_vector;
    longpointtype projection_vector;
    longpointtype dual_projection_vector;
    int32_t zp0, zp1, zp2;
    int32_t rp0, rp1, rp2;
    int32_t angle_weight;
    int32_t auto_flip;
    int32_t delta_base;
    int32_t delta_shift;
    int32_t instruct_Control;
    int32_t loop;
    int32_t round_state;  // Mode bits 0-7, threshold 8-11, phase 12-13, period 14-15
    int32_t scan_control;
    int32_t minimum_distance;
    int32_t control_value_cut_in;
    int32_t single_width_cut_in;
    int32_t single_width_value;
};

// One function-table entry: where the body starts (the byte after FDEF) and
// where it ends (the byte after ENDF).  Both null while undefined.
struct FunctDefEntry {
    const uint8_t *Start;
    const uint8_t *End;
};

// Read-only constants.
extern const longpointtype xAxis;
extern const longpointtype yAxis;
extern const longpointtype NulVect;
extern const TTFCoord NulTTF;
extern TTFCoord ErrorTTF;
extern const int32_t Exception[16];

// Which program a run belongs to (also handed to an InsTracer).
enum InsProgram : int {
    kFontProgram = 0,          // fpgm, once when the font is opened
    kControlValueProgram = 1,  // prep, at every size
    kGlyphProgram = 2,         // a glyph's own instructions
    kComponentProgram = 3,     // a composite's component, before it is filled
};

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

// The record sizes are kept in signed 16-bit fields, which bounds the counts
// a font may ask for (sizes as the interpreter lays its records out).
constexpr int kMaxZonePoints = 1260;
constexpr int kMaxContours = 16383;
constexpr int kMaxStorage = 8191;
constexpr int kMaxStack = 8191;
constexpr int kMaxFunctionDefs = 8190;
constexpr int kTTFCoordBytes = 26;  // packed size of one TTFCoord
constexpr int kFunctDefBytes = 4;   // packed size of one function-table entry

// A 64-bit intermediate result brought back to 32 bits, saturating.
inline int32_t Clamp32(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v);
}

// Font units (or 16-bit control values) to F26Dot6: v * Multiplier / 256,
// truncated toward zero.  Worked out in 64 bits; a result beyond 32 bits
// (sizes outside the supported range) is clamped instead of wrapping.
inline int32_t ScaleFUnits(int32_t v, int32_t Multiplier) {
    return Clamp32(int64_t(v) * Multiplier / 256);
}

int InitInsMemory(_TTFont *pF, _TtfGlyph *pG);
void FreeInsMemory(_TtfGlyph *pG);
void *FreeBuffer(void *p);
void ResetStack(_TtfGlyph *pG);
void ResetGsv(_TtfGlyph *pG);
void ResetGlyph(_TtfGlyph *pG);
void ResetTTF(_TtfGlyph *pG);
void FlipTable(_TtfGlyph *pG, const uint8_t *lpTable, int32_t *lpToTable);
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
