// The sizes SetPointSize accepts, in both rendering modes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "font_builder.h"
#include "kelmor.h"
#include "test_paths.h"

using namespace kelmor_test;

namespace {

// Points or dpi above 32,767 were accepted but kept in 16 bits: the
// interpreter and the strikes then saw a negative pixels-per-em, and the
// same pixel size drew another glyph.  They are refused, in both modes.
TEST(SetPointSize, PointsOrDpiPastSixteenBitsAreRefusedNotKeptNegative) {
    FontBuilder b;
    // A small box, so that the largest sizes fit the scan buffer.
    b.UnitsPerEm(1000).BoundingBox(0, 0, 100, 100);
    b.AddGlyph(Glyph::Simple({{{10, 10}, {10, 90}, {90, 90}, {90, 10}}}));
    const std::string path = b.WriteTo(ScratchDir("point_size_bits") + "/font.ttf");
    const int32_t font = OpenTTFontFace(path.c_str(), 0);
    ASSERT_NE(0, font);
    const struct {
        int points, dpi;
        bool accepted;
    } cases[] = {
        {32767, 1, true},  {1, 32767, true},   {32768, 1, false},
        {1, 32768, false}, {39960, 1, false},  {1, 39960, false},
    };
    for (int32_t options : {0, KELMOR_FAITHFUL}) {
        SetRenderOptions(font, options);
        for (const auto &c : cases) {
            EXPECT_EQ(c.accepted ? 1 : 0, SetPointSize(font, c.points, c.dpi))
                << c.points << " points at " << c.dpi << " dpi, options " << options;
            if (!c.accepted) {
                EXPECT_EQ(KELMOR_ERROR_BAD_SIZE, GetLastFontError());
            }
        }
    }
    CloseTTFont(font);
}

}  // namespace
