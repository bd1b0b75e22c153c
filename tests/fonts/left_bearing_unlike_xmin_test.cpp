// Glyphs whose hmtx left side bearing is not their xMin, drawn in the
// faithful mode against FreeType's monochrome rendering at every size from
// 9 to 48 ppem, hinted and unhinted: the origin phantom point lies at
// xMin - lsb, is rounded to the pixel grid when the glyph is hinted (with a
// program or without one), and the outline is drawn from there.
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

// An upright bar from x = 100 and a slanted one: a box whose xMin is 100.
std::vector<Contour> Bars() {
    return {
        {{100, 0}, {100, 1400}, {400, 1400}, {400, 0}},
        {{600, 0}, {1500, 1300}, {1800, 1300}, {900, 0}},
    };
}

struct BearingCase {
    int16_t lsb;
    bool program;
};

// hmtx: glyph 0 empty, then one glyph per case with its own bearing.
Bytes Hmtx(const std::vector<BearingCase> &cases) {
    Bytes bytes = {0x04, 0x00, 0x00, 0x00};
    for (const BearingCase &c : cases) {
        bytes.push_back(0x08);  // advance 2048
        bytes.push_back(0x00);
        bytes.push_back(uint8_t(uint16_t(c.lsb) >> 8));
        bytes.push_back(uint8_t(uint16_t(c.lsb) & 0xFF));
    }
    return bytes;
}

std::string FontFile(uint16_t unitsPerEm, const std::vector<BearingCase> &cases) {
    FontBuilder b;
    b.UnitsPerEm(unitsPerEm);
    for (const BearingCase &c : cases)
        b.AddGlyph(Glyph::Simple(Bars(), c.program ? Assemble("SVTCA[0]") : Bytes{}));
    b.RawTable("hmtx", Hmtx(cases));
    return b.WriteTo(ScratchDir("left_bearing_unlike_xmin") + "/font" +
                     std::to_string(unitsPerEm) + ".ttf");
}

TEST(LeftBearingUnlikeXMin, GlyphIsPlacedFromTheRoundedOriginPointAsFreeTypePlacesIt) {
    const std::vector<BearingCase> cases = {
        {0, false}, {37, false}, {-70, false}, {100, false}, {0, true}, {-70, true},
    };
    for (const uint16_t unitsPerEm : {uint16_t(1000), uint16_t(2048)}) {
        const std::string path = FontFile(unitsPerEm, cases);
        for (const bool hinted : {true, false}) {
            LibraryFont ours(path, hinted, true);
            FreeTypeFont reference(path);
            ASSERT_TRUE(reference.Ok());
            std::vector<unsigned char> store;
            for (int ppem = 9; ppem <= 48; ++ppem) {
                ASSERT_TRUE(ours.SetPixelsPerEm(ppem) && reference.SetPixelsPerEm(ppem));
                for (unsigned glyph = 1; glyph <= cases.size(); ++glyph) {
                    PixelGrid a{}, r{};
                    ASSERT_TRUE(ours.Render(int32_t(glyph), &a) &&
                                reference.Render(glyph, hinted, &store, &r));
                    Tally t;
                    CompareGlyph(a, r, t);
                    const BearingCase &c = cases[glyph - 1];
                    const std::string what =
                        "lsb " + std::to_string(c.lsb) + (c.program ? " with a program" : "") +
                        ", " + std::to_string(unitsPerEm) + " units, " + std::to_string(ppem) +
                        " ppem" + (hinted ? " hinted" : " unhinted");
                    EXPECT_EQ(1, t.identical) << what;
                    // The bitmap too, not only its ink: same size, same place.
                    EXPECT_EQ(r.width, a.width) << what;
                    EXPECT_EQ(r.height, a.height) << what;
                    EXPECT_EQ(r.left, a.left) << what;
                    EXPECT_EQ(r.top, a.top) << what;
                }
            }
        }
    }
}

}  // namespace
