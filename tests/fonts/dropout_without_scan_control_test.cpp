// Fonts whose programs never set scan control (no SCANCTRL anywhere, or
// one that leaves it off), drawn in the faithful mode against FreeType's
// monochrome rendering, hinted and unhinted, at every size from 9 to 48
// ppem.  A glyph whose own program ran is drawn with the dropout rule of the
// scan type that program left, whatever SCANCTRL said; one whose programs
// never ran follows SCANCTRL.  The glyphs put strokes thinner than a pixel,
// contours squeezed onto lines of pixel centres and a spike's tip in front
// of those rules, alone and mixed in composites.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font_builder.h"
#include "freetype_reference.h"
#include "glyph_agreement.h"
#include "test_paths.h"
#include "ttasm.h"

using namespace kelmor_test;

namespace {

constexpr uint16_t kUnitsPerEm = 2048;

// Strokes 60 units thick (a quarter of a pixel at 9 ppem, 1.4 pixels at 48):
// upright, lying and slanted, each somewhere else between the centres.
std::vector<Contour> ThinStrokes() {
    return {
        {{300, 0}, {300, 1400}, {360, 1400}, {360, 0}},
        {{500, 700}, {500, 760}, {1500, 760}, {1500, 700}},
        {{700, 100}, {1650, 1300}, {1710, 1300}, {760, 100}},
        {{1800, 0}, {1800, 1400}, {1837, 1400}, {1837, 0}},
    };
}

// A thin spike: its tip narrows to a point far from any centre.
std::vector<Contour> Spike() { return {{{100, 0}, {100, 540}, {1900, 287}}}; }

// A rectangle, points 0-3, and a thin slanted bar, points 4-7.
std::vector<Contour> Boxes() {
    return {
        {{200, 300}, {200, 900}, {1600, 900}, {1600, 300}},
        {{300, 1000}, {1500, 1500}, {1500, 1530}, {300, 1030}},
    };
}

// Moves points first..last to `position` (26.6) on the axis `axis` sets.
std::string Squeeze(const char *axis, int first, int last, int position) {
    std::string program = std::string(axis) + " ";
    for (int p = first; p <= last; ++p)
        program += "PUSHB " + std::to_string(p) + " " + std::to_string(position) + " SCFS ";
    return program;
}

// A program that runs but moves nothing.
const char *const kIdle = "SVTCA[0]";

// The glyphs every font has, glyph 1 on.
std::vector<Glyph> Glyphs() {
    return {
        Glyph::Simple(ThinStrokes(), Assemble(kIdle)),                    // 1
        Glyph::Simple(ThinStrokes()),                                     // 2: no program
        Glyph::Simple(Spike(), Assemble(kIdle)),                          // 3
        Glyph::Simple(Spike()),                                           // 4: no program
        // The rectangle flattened onto row centre 0, the bar onto column
        // centre 3; then the same a hair off the centres.
        Glyph::Simple(Boxes(), Assemble(Squeeze("SVTCA[0]", 0, 3, 32) +
                                         Squeeze("SVTCA[1]", 4, 7, 224))),  // 5
        Glyph::Simple(Boxes(), Assemble(Squeeze("SVTCA[0]", 0, 3, 40) +
                                         Squeeze("SVTCA[1]", 4, 7, 230))),  // 6
        // Scan types a glyph program sets: no dropouts but a span a hair
        // wider than a pixel still one pixel wide (3, 6), smart (4, 5).
        Glyph::Simple(ThinStrokes(), Assemble("PUSHB 3 SCANTYPE")),  // 7
        Glyph::Simple(ThinStrokes(), Assemble("PUSHB 6 SCANTYPE")),  // 8
        Glyph::Simple(ThinStrokes(), Assemble("PUSHB 4 SCANTYPE")),  // 9
        Glyph::Simple(Spike(), Assemble("PUSHB 5 SCANTYPE")),        // 10
        // Composites: a component without a program before one with it
        // (their contours change rules half-way), the reverse, and a
        // composite whose own program adds its scan type to the first
        // component's mark.
        Glyph::Composite({{2, 0, 0}, {3, 0, 600}}),                           // 11
        Glyph::Composite({{9, 0, 0}, {4, 0, 600}}),                           // 12
        Glyph::Composite({{7, 0, 0}, {4, 0, 600}}, Assemble("PUSHB 4 SCANTYPE")),  // 13
    };
}

struct FontCase {
    const char *name;
    const char *prep;  // null: no control-value program
};

std::string FontFile(const FontCase &c) {
    FontBuilder b;
    b.UnitsPerEm(kUnitsPerEm).Maxp(&MaxpValues::maxStackElements, 64);
    for (Glyph &g : Glyphs()) b.AddGlyph(std::move(g));
    if (c.prep != nullptr) b.Prep(Assemble(c.prep));
    return b.WriteTo(ScratchDir(std::string("no_scanctrl_") + c.name) + "/font.ttf");
}

TEST(FontsThatNeverSetScanControl, EveryGlyphMatchesFreeTypeAtNineTo48Ppem) {
    const FontCase fonts[] = {
        {"prep_without_scanctrl", "SVTCA[1]"},
        {"no_prep", nullptr},
        {"scantype_without_scanctrl", "PUSHB 2 SCANTYPE"},
        // Control on only up to 16 ppem, and bit 11 alone, which never
        // turns it on: glyphs whose programs never ran follow these.
        {"scanctrl_up_to_16", "PUSHW 272 SCANCTRL PUSHB 1 SCANTYPE"},
        {"scanctrl_bit_11_alone", "PUSHW 2060 SCANCTRL PUSHB 4 SCANTYPE"},
    };
    for (const FontCase &font : fonts) {
        const std::string path = FontFile(font);
        for (const bool hinted : {true, false}) {
            LibraryFont ours(path, hinted, true);
            FreeTypeFont reference(path);
            ASSERT_TRUE(reference.Ok());
            std::vector<unsigned char> store;
            for (int ppem = 9; ppem <= 48; ++ppem) {
                ASSERT_TRUE(ours.SetPixelsPerEm(ppem) && reference.SetPixelsPerEm(ppem));
                for (unsigned glyph = 1; glyph <= Glyphs().size(); ++glyph) {
                    PixelGrid a{}, b{};
                    ASSERT_TRUE(ours.Render(int32_t(glyph), &a) &&
                                reference.Render(glyph, hinted, &store, &b))
                        << font.name << " glyph " << glyph << " at " << ppem;
                    Tally t;
                    CompareGlyph(a, b, t);
                    EXPECT_EQ(1, t.identical) << font.name << " glyph " << glyph << " at " << ppem
                                              << (hinted ? " hinted" : " unhinted");
                }
            }
        }
    }
}

}  // namespace
