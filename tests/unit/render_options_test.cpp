// SetRenderOptions: the per-font switch between hinted and plain outlines.
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

FontBuilder SquareFont(Bytes program) {
    const Contour square = {{P(4), P(4)}, {P(4), P(10)}, {P(10), P(10)}, {P(10), P(4)}};
    return FontBuilder()
        .UnitsPerEm(1024)
        .BoundingBox(0, -128, 1024, 896)
        .AddGlyph(Glyph::Simple({square}, std::move(program)));
}

class RenderOptionsTest : public ::testing::Test {
protected:
    int32_t Open(const FontBuilder &font, const std::string &name) {
        const std::string path = font.WriteTo(ScratchDir("render_options_" + name) + "/font.ttf");
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

TEST_F(RenderOptionsTest, BadHandlesAnswerMinusOne) {
    EXPECT_EQ(-1, SetRenderOptions(0, KELMOR_NO_HINTING));
    EXPECT_EQ(-1, SetRenderOptions(0x12345678, 0));
    const int32_t closed = Open(SquareFont({}), "closed");
    CloseTTFont(closed);
    handles_.clear();
    EXPECT_EQ(-1, SetRenderOptions(closed, KELMOR_NO_HINTING));
}

TEST_F(RenderOptionsTest, ReturnsTheOptionsInForceBefore) {
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

TEST_F(RenderOptionsTest, NoHintingDrawsThePlainOutline) {
    const int32_t hinted = Open(SquareFont(kWidenProgram), "hinted");
    const int32_t plain = Open(SquareFont({}), "plain");
    const std::vector<unsigned char> outline = Draw(plain, 0);
    ASSERT_FALSE(outline.empty());

    EXPECT_EQ(0, SetRenderOptions(hinted, KELMOR_NO_HINTING));
    EXPECT_EQ(outline, Draw(hinted, 0));
    // The switch holds across sizes, and turning it off again hints again.
    ASSERT_EQ(1, SetPointSize(hinted, 16, 72));
    EXPECT_EQ(outline, Draw(hinted, 0));
    EXPECT_EQ(KELMOR_NO_HINTING, SetRenderOptions(hinted, 0));
    EXPECT_EQ(outline.size(), Draw(hinted, 0).size());
}

}  // namespace
