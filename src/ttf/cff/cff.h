// The CFF stage: glyph outlines kept in a `CFF ` table (OpenType fonts with
// PostScript outlines, such as Noto Sans CJK and Source Han) read on
// demand, their Type 2 charstrings run into cubic outlines.
//
// Opening reads the header, the Top DICT, the Private DICTs and where the
// INDEXes lie; nothing per glyph is read or allocated then.  A glyph's
// charstring, its subroutines and, for CID-keyed fonts, its FDSelect entry
// are read through the font's read-ahead windows when it is drawn.
#ifndef KELMOR_TTF_CFF_CFF_H
#define KELMOR_TTF_CFF_CFF_H

#include <cstddef>
#include <cstdint>

#include "ttf/records/ttf_records.h"

namespace kelmor {

// Reads the CFF table of a font whose outlines are there (no glyf table):
// pF->Cff is set.  True as well for a font without one (pF->Cff stays
// null); false refuses the font: its CFF table is damaged.
bool OpenCffOutlines(_TTFont *pF);
void CloseCffOutlines(_TTFont *pF);
// Why the last glyph drawn failed (that glyph is blank), or null; with a
// null font, why the last OpenCffOutlines of this thread refused its table.
const char *CffProblem(const _TTFont *pF);
// The bytes an open face holds for its CFF outlines (its records, the
// Private DICTs' and the charstring buffers grown so far).
size_t CffFaceBytes(const _TTFont *pF);

// Loads glyph `glyph` into pG->Cubic, scaled to 26.6 with pG->Scale as the
// faithful mode scales.  False, with an empty outline and CffProblem set,
// for a glyph whose charstring is damaged; a glyph past the font's last one
// loads empty and is not a failure.
bool LoadCffGlyph(_TTFont *pF, _TtfGlyph *pG, uint32_t glyph);
// Releases pG->Cubic's buffers.
void FreeCubicOutline(CubicOutline *outline);

}  // namespace kelmor

#endif
