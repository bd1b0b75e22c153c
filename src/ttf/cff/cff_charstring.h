// The Type 2 charstring interpreter: one glyph program to path operations.
#ifndef KELMOR_TTF_CFF_CFF_CHARSTRING_H
#define KELMOR_TTF_CFF_CFF_CHARSTRING_H

#include <cstdint>

#include "ttf/cff/cff_table.h"

namespace kelmor {

namespace cff {

// Limits every glyph is held to.  The operand stack and the subroutine
// nesting are what fonts are made for; the others stop a hostile font from
// making one glyph cost without bound (subroutines that call each other a
// thousand times at ten levels), far above what real glyphs use (a few
// hundred operators, a few hundred points).
constexpr int kMaxOperands = 48;
constexpr int kMaxSubrDepth = 10;
constexpr uint32_t kMaxCharstringBytes = 65535;
constexpr int32_t kMaxOperators = 100000;
// Charstring and subroutine bytes one run may read through the file (those
// of INDEXes copied into memory are not counted): a subroutine read whole
// at every call would otherwise make one glyph read hundreds of megabytes.
constexpr uint32_t kMaxBytesReadPerGlyph = uint32_t(1) << 20;
constexpr int kMaxStems = 96;
constexpr int kTransientSlots = 32;

// Receives the outline in font units as 16.16 fixed values, absolute from
// the glyph origin.  Each MoveTo starts a contour; every contour is closed.
class PathSink {
public:
    virtual ~PathSink() = default;
    virtual void MoveTo(int32_t x, int32_t y) = 0;
    virtual void LineTo(int32_t x, int32_t y) = 0;
    virtual void CurveTo(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                         int32_t y3) = 0;
};

// One INDEX of subroutines, read from the file or, once copied, from
// memory (IndexElementInMemory's layout).
struct SubrIndex {
    const Index *index;     // null: there are none
    int32_t bias;
    const uint8_t *memory;  // null: read through the file
};

// The subroutines a glyph may call.
struct Subroutines {
    SubrIndex global;
    SubrIndex local;
};

// Buffers the charstring and each subroutine level are read into, kept by
// the face between glyphs and grown to the longest one read.
struct LevelBuffers {
    uint8_t *bytes[kMaxSubrDepth + 1];
    uint32_t size[kMaxSubrDepth + 1];
};

// What an `endchar` with four more operands asks for: an accented glyph
// built of two glyphs of the standard encoding, the accent's origin at
// (adx, ady) in font units.
struct AccentRequest {
    bool present;
    int32_t adx, ady;  // 16.16
    int32_t baseCode, accentCode;
};

// Why a charstring failed; kCharstringOk when it drew.
enum CharstringStatus {
    kCharstringOk = 0,
    kCharstringUnreadable,  // an offset or length outside the table
    kCharstringStack,       // too many operands, or too few for an operator
    kCharstringSubr,        // a subroutine number outside its INDEX, or nesting too deep
    kCharstringBudget,      // too many operators, or too many bytes read
    kCharstringOperator,    // an operator that does not exist
    kCharstringHintMask,    // a mask cut off by the end of the charstring
};
const char *CharstringStatusText(CharstringStatus status);

// Runs the charstring of `size` bytes at `at` (table offset), drawing into
// `sink` with the origin moved by (dx, dy) (16.16 font units); `accent`
// receives an accented glyph's request, which the caller draws.
CharstringStatus RunCharstring(const TableSource &src, uint32_t at, uint32_t size,
                               const Subroutines &subrs, LevelBuffers *buffers, int32_t dx,
                               int32_t dy, PathSink &sink, AccentRequest *accent);

}  // namespace cff

}  // namespace kelmor

#endif
