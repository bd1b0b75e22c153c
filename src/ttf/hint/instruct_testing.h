// The interpreter's entry points below the level of whole programs, for its
// own tests: steps that a program reaches only through an instruction, and
// whose exact results the tests compare with another way of computing them.
#ifndef KELMOR_TTF_HINT_INSTRUCT_TESTING_H
#define KELMOR_TTF_HINT_INSTRUCT_TESTING_H

#include "ttf/records/ttf_records.h"

namespace kelmor {

// Runs one whole program block (fpgm, prep or a glyph's instructions) with
// a fresh budget; the stack and graphics state are the caller's to reset.
void RunProgram(_TTFont *pF, _TtfGlyph *pG, int program, const uint8_t *block);

// IUP along axis `c` (0 y, 1 x) of the glyph zone: moves every untouched
// point as its touched neighbours moved; returns the points it moved.
int InterpolateUntouchedNOS(_TtfGlyph *pG, int c);

}  // namespace kelmor

#endif
