// Vertical forms from a font's glyph substitution table (GSUB): the single
// substitutions of its 'vert' feature, for fonts that carry no mort table.
//
// The substitutions a font gives depend on the script of the text: each
// script's default language system names its own features.  The forms are
// worked out once per font, on the first vertical glyph asked for, into one
// short sorted list of (glyph, vertical glyph) pairs per distinct set of
// lookups; nothing else of the table is kept.
#ifndef KELMOR_TTF_SFNT_TTF_GSUB_H
#define KELMOR_TTF_SFNT_TTF_GSUB_H

#include <cstdint>

#include "ttf/records/ttf_records.h"
#include "ttf/sfnt/unicode_script.h"

namespace kelmor {

struct VerticalForms;

// The forms of a GSUB table held in memory, for a font of `numGlyphs`
// glyphs; null when the table gives none (no vert or vrt2 feature, no
// single substitutions, or a table that does not hold together).
VerticalForms *BuildVerticalForms(const uint8_t *table, uint32_t size, uint32_t numGlyphs);
void FreeVerticalForms(VerticalForms *forms);

// The vertical form of `glyph` under the rules of `script`; the glyph
// itself when it has none.  Null forms have none.
uint32_t VerticalFormOf(const VerticalForms *forms, LayoutScript script, uint32_t glyph);
// The script whose rules apply when the character is unknown (glyph-number
// input, a font whose map is not Unicode): the font's own CJK script, the
// first of Han, Kana and Hangul its script list names, else its default.
LayoutScript FontCjkScript(const VerticalForms *forms);
// How many glyphs have a vertical form under `script`'s rules.
uint32_t VerticalFormCount(const VerticalForms *forms, LayoutScript script);

// The font's forms, read from its GSUB table on the first call (the font
// keeps them until it is closed); null when it has none.
const VerticalForms *FontVerticalForms(_TTFont *pF);

// The vertical form of the glyph that character `code` (as GetBitmap looks
// it up) mapped to: from the mort pairs when the font has them, else from
// GSUB under the rules of the character's script.
uint32_t VerticalGlyphFor(_TTFont *pF, uint32_t code, uint32_t glyph);

}  // namespace kelmor

#endif
