// Hinted glyphs through the exported functions: SetRenderOptions, the
// per-font switch between hinted and plain outlines, and glyph programs that
// see only their own glyph.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font_builder.h"
#include "kelmor.h"
#include "test_paths.h"

using namespace kelmor_test;

namespace {

// 1024 units per em at 16 pixels per em: one font unit is 1/64 pixel.
constexpr int16_t P(int pixels) { return int16_t(pixels * 64); }

// A square from 4 to 10 pixels whose glyph program widens it by two pixels
// to the right: SVTCA[x]; SLOOP 2; SHPIX of its right-hand points by 128.
const Bytes kWidenProgram = {0x01, 0xB0, 0x02, 0x17, 0xB2, 0x02, 0x03, 0x80, 0x38};

Contour Square(int x0, int x1) {
    return {{P(x0), P(4)}, {P(x0), P(10)}, {P(x1), P(10)}, {P(x1), P(4)}};
}

FontBuilder PixelFont() { return FontBuilder().UnitsPerEm(1024).BoundingBox(0, -128, 1024, 896); }

FontBuilder SquareFont(Bytes program) {
    return PixelFont().AddGlyph(Glyph::Simple({Square(4, 10)}, std::move(program)));
}

class HintedRender : public ::testing::Test {
protected:
    int32_t Open(const FontBuilder &font, const std::string &name) {
        const std::string path = font.WriteTo(ScratchDir("hinted_render_" + name) + "/font.ttf");
        const int32_t handle = OpenTTFont(path.c_str());
        EXPECT_NE(0, handle);
        EXPECT_EQ(1, SetPointSize(handle, 16, 72));
        EXPECT_EQ(241, SetEncoding(handle, 241));
        handles_.push_back(handle);
        return handle;
    }
    void TearDown() override {
        for (int32_t handle : handles_) CloseTTFont(handle);
    }

    // The returned bitmap's bytes, or empty when there was none.
    static std::vector<unsigned char> Draw(int32_t handle, int32_t glyph) {
        int width = 0, height = 0;
        const unsigned char *bits =
            GetBitmap(handle, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
        if (bits == nullptr) return {};
        return {bits, bits + (width + 15) / 16 * 2 * height};
    }

    std::vector<int32_t> handles_;
};

TEST_F(HintedRender, BadHandlesAnswerMinusOne) {
    EXPECT_EQ(-1, SetRenderOptions(0, KELMOR_NO_HINTING));
    EXPECT_EQ(-1, SetRenderOptions(0x12345678, 0));
    const int32_t closed = Open(SquareFont({}), "closed");
    CloseTTFont(closed);
    handles_.clear();
    EXPECT_EQ(-1, SetRenderOptions(closed, KELMOR_NO_HINTING));
}

TEST_F(HintedRender, ReturnsTheOptionsInForceBefore) {
    const int32_t font = Open(SquareFont({}), "previous");
    const int32_t other = Open(SquareFont({}), "other");
    struct Step {
        int set;
        int32_t before;
    };
    // Hinting is on for a new font; bits without a meaning yet are kept,
    // except the sign bit, so that no answer but a bad handle's is -1.
    const Step steps[] = {
        {KELMOR_NO_HINTING, 0},
        {0, KELMOR_NO_HINTING},
        {0x30 | KELMOR_NO_HINTING, 0},
        {-1, 0x30 | KELMOR_NO_HINTING},
        {0, 0x7FFFFFFF},
    };
    for (const Step &step : steps) EXPECT_EQ(step.before, SetRenderOptions(font, step.set));
    EXPECT_EQ(0, SetRenderOptions(other, 0)) << "options belong to one font";
}

TEST_F(HintedRender, NoHintingDrawsThePlainOutline) {
    const int32_t hinted = Open(SquareFont(kWidenProgram), "hinted");
    const int32_t plain = Open(SquareFont({}), "plain");
    const std::vector<unsigned char> outline = Draw(plain, 1);
    ASSERT_NE(outline, std::vector<unsigned char>(outline.size(), 0xFF)) << "the square shows";

    EXPECT_EQ(0, SetRenderOptions(hinted, KELMOR_NO_HINTING));
    EXPECT_EQ(outline, Draw(hinted, 1));
    // The switch holds across sizes, and turning it off again hints again.
    ASSERT_EQ(1, SetPointSize(hinted, 16, 72));
    EXPECT_EQ(outline, Draw(hinted, 1));
    EXPECT_EQ(KELMOR_NO_HINTING, SetRenderOptions(hinted, 0));
    EXPECT_NE(outline, Draw(hinted, 1));
}

// A glyph program that names a point past its glyph's last one gets no
// point at all, never what an earlier, larger glyph left in the zone.
TEST_F(HintedRender, GlyphProgramsSeeOnlyTheirOwnPoints) {
    // SVTCA[x]; MDAP[0] point 5 (rp0); ALIGNRP point 0: the square's first
    // point follows point 5, which the four-point square does not have.
    const Bytes alignToPoint5 = {0x01, 0xB0, 0x05, 0x2E, 0xB0, 0x00, 0x3C};
    const FontBuilder font = PixelFont()
                                 .AddGlyph(Glyph::Simple({Square(4, 10)}, alignToPoint5))
                                 .AddGlyph(Glyph::Simple({Square(1, 3), Square(12, 14)}));
    const int32_t fresh = Open(font, "fresh");
    const int32_t used = Open(font, "used");
    ASSERT_FALSE(Draw(used, 2).empty());  // eight points, point 5 at 12 pixels
    EXPECT_EQ(Draw(fresh, 1), Draw(used, 1));
}

// A program found by fuzzing drives the untouched points of a contour so far
// that the distance to the nearer touched point leaves 32 bits: the shift
// must saturate, not overflow.  (The glyphs, sizes and limits are those of
// the fuzz harness's synthetic font.)
TEST_F(HintedRender, InterpolationFarOutsideSaturates) {
    const Bytes program = {
        0x00, 0xB6, 0x26, 0x00, 0xE7, 0x29, 0x01, 0x00, 0x00, 0x00, 0xB6, 0x26,
        0x2B, 0xF1, 0x64, 0x0B, 0x00, 0x05, 0x69, 0xFF, 0xFF, 0xFF, 0xFF, 0x69,
        0x6D, 0x69, 0x31, 0x35, 0x69, 0x27, 0x30, 0x30, 0x30, 0x30, 0x30, 0x9F,
        0x30, 0x30, 0x31, 0x32, 0x35, 0x38, 0x30, 0x30, 0x69, 0x27, 0x30, 0x30,
        0x30, 0x30, 0x30, 0x30, 0x38, 0x34,
    };
    const Contour outer = {{25, 0}, {25, 175}, {100, 200, false}, {175, 175},
                           {175, 0}, {100, -12, false}};
    const Contour inner = {{62, 38}, {138, 38}, {138, 138}, {62, 138}};
    const FontBuilder font = FontBuilder()
                                 .UnitsPerEm(1000)
                                 .AddGlyph(Glyph::Simple({outer, inner}, program))
                                 .AddGlyph(Glyph::Simple({outer, inner}, program))
                                 .AddGlyph(Glyph::Composite({{1, 0, 0}, {2, 200, 25}}, program))
                                 .Fpgm({0x00})
                                 .Cvt({int16_t(0x0000)})
                                 .Maxp(&MaxpValues::maxStorage, 64)
                                 .Maxp(&MaxpValues::maxFunctionDefs, 0)
                                 .Maxp(&MaxpValues::maxTwilightPoints, 0)
                                 .Maxp(&MaxpValues::maxStackElements, 924);
    const int32_t handle = Open(font, "far");
    for (int ppem : {9, 17, 9}) {
        ASSERT_EQ(1, SetPointSize(handle, ppem, 72));
        EXPECT_FALSE(Draw(handle, 1).empty());
        EXPECT_FALSE(Draw(handle, 3).empty());
    }
}

}  // namespace
