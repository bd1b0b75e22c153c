// When the faithful mode draws a font with the auto-hinter: exactly for the
// fonts FreeType's default loading auto-hints (glyf outlines, no font
// program, no control-value program, maxSizeOfInstructions 0), unless the
// host forces it on or off.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cff_builder.h"
#include "font_builder.h"
#include "kelmor.h"
#include "test_paths.h"
#include "ttasm.h"
#include "ttf/api/handles.h"
#include "ttf/font/ttf.h"

namespace kelmor_test {
namespace {

Contour Bar(int16_t y, int16_t height) { return {{100, y}, {100, int16_t(y + height)}, {900, int16_t(y + height)}, {900, y}}; }

FontBuilder PlainFont() { return FontBuilder().UnitsPerEm(1000).AddGlyph(Glyph::Simple({Bar(100, 40), Bar(600, 40)})); }

enum class Kind { kNoPrograms, kFontProgram, kPrepOnly, kGlyphInstructions, kCff };

FontBuilder FontOf(Kind kind) {
    switch (kind) {
    case Kind::kFontProgram:
        return PlainFont().Fpgm(Assemble("PUSHB 0 FDEF ENDF"));
    case Kind::kPrepOnly:
        return PlainFont().Prep(Assemble("PUSHB 1 POP"));
    case Kind::kGlyphInstructions:
        // Only maxp says glyphs may carry instructions.
        return PlainFont().Maxp(&MaxpValues::maxSizeOfInstructions, 4);
    case Kind::kCff: {
        CffTable cff;
        cff.charStrings = {Charstring("endchar"), Charstring("100 100 rmoveto 800 0 rlineto 0 40 rlineto -800 0 rlineto endchar")};
        return CffFont(cff);
    }
    case Kind::kNoPrograms:
        break;
    }
    return PlainFont();
}

TEST(AutohintRule, RunsExactlyWhereFreeTypeAutohintsByDefault) {
    struct Case {
        const char *name;
        Kind kind;
        int options;
        bool autohinted;
    } cases[] = {
        {"no_programs", Kind::kNoPrograms, KELMOR_FAITHFUL, true},
        {"font_program", Kind::kFontProgram, KELMOR_FAITHFUL, false},
        {"prep_only", Kind::kPrepOnly, KELMOR_FAITHFUL, false},
        {"glyph_instructions", Kind::kGlyphInstructions, KELMOR_FAITHFUL, false},
        {"cff", Kind::kCff, KELMOR_FAITHFUL, false},
        {"forced_on_programs", Kind::kFontProgram, KELMOR_FAITHFUL | KELMOR_FORCE_AUTOHINT, true},
        {"forced_on_cff", Kind::kCff, KELMOR_FAITHFUL | KELMOR_FORCE_AUTOHINT, false},
        {"forced_off", Kind::kNoPrograms, KELMOR_FAITHFUL | KELMOR_NO_AUTOHINT, false},
        {"off_wins_over_on", Kind::kNoPrograms, KELMOR_FAITHFUL | KELMOR_NO_AUTOHINT | KELMOR_FORCE_AUTOHINT, false},
        {"no_hinting", Kind::kNoPrograms, KELMOR_FAITHFUL | KELMOR_NO_HINTING, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = FontOf(c.kind).WriteTo(ScratchDir("autohint_rule") + "/" + c.name + ".ttf");
        const int32_t handle = OpenTTFontFace(path.c_str(), 0);
        ASSERT_NE(handle, 0);
        SetRenderOptions(handle, c.options);
        EXPECT_EQ(kelmor::UsesAutohinter(kelmor::FontFromHandle(handle)), c.autohinted);
        CloseTTFont(handle);
    }
}

}  // namespace
}  // namespace kelmor_test
