// Turning the command line's text, codes or glyph numbers into what the
// library's GetBitmap is asked for, one character at a time, and noticing
// the characters the font does not have.
#ifndef KELMOR_TOOL_RENDER_PLAN_H
#define KELMOR_TOOL_RENDER_PLAN_H

#include <cstdint>
#include <string>
#include <vector>

#include "text_input.h"
#include "ttf/api/tool_internals.h"

namespace kelmor {

struct RenderItem {
    char input[4] = {};   // the bytes GetBitmap reads at ps
    std::string label;    // how messages name the character
    std::string problem;  // why glyph 0 (or nothing) will show, or ""
};

struct RenderPlan {
    int charset = csGlyphNumber;  // for SetEncoding
    std::vector<RenderItem> items;
};

// Unicode text: code points for a Unicode font (character set 137), else
// looked up in the font's own map and rendered by glyph number.  Refused
// (false, *error) for fonts whose map is a double-byte code space.
bool PlanUnicodeText(_TTFont &font, const std::vector<uint32_t> &codePoints,
                     RenderPlan *plan, std::string *error);

// Codes of the font's own map: double-byte fonts take them through their own
// character set, every other font by glyph number after a lookup.
void PlanCodes(_TTFont &font, const std::vector<uint32_t> &codes, RenderPlan *plan);

// Glyph numbers as they are.
void PlanGlyphs(const _TTFont &font, const std::vector<uint32_t> &glyphs, RenderPlan *plan);

// Text already converted into a double-byte code space.  A Unicode font
// reaches the characters through the concordance, which must be loaded
// (SetEncoding) before this is called, so that missing characters are found
// the same way the library finds their glyphs.
void PlanEncodedText(_TTFont &font, const std::vector<DbcsChar> &chars, TextEncoding space,
                     RenderPlan *plan);

}  // namespace kelmor

#endif
