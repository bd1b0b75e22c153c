#include "ttf/raster/scbitmap.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kelmor;

namespace {

class Bitmap : public ::testing::Test {
protected:
    void SetUp() override { Make(20, 4); }
    void TearDown() override { FreelpChar(&bm); }
    void Make(int width, int height) {
        ASSERT_NE(nullptr, InitlpChar(&bm, width, height));
        ZapBitMap(&bm);
    }
    std::vector<uint8_t> MemoryRow(int memoryRow) const {
        const uint8_t *p = bm.lpChar + memoryRow * bm.CharHBytes;
        return std::vector<uint8_t>(p, p + bm.CharHBytes);
    }
    // Every byte outside the given memory row is still clear.
    bool OnlyRowTouched(int memoryRow) const {
        for (int i = 0; i < bm.MemSize; ++i)
            if (i / bm.CharHBytes != memoryRow && bm.lpChar[i] != 0) return false;
        return true;
    }
    _GlyphBitMap bm{};
};

TEST_F(Bitmap, RowsArePaddedToWholeWords) {
    Make(17, 3);
    EXPECT_EQ(4, bm.CharHBytes);
    EXPECT_EQ(12, bm.MemSize);
    EXPECT_EQ(17, bm.CharHPixels);
    EXPECT_EQ(3, bm.CharVLines);
    Make(16, 1);
    EXPECT_EQ(2, bm.CharHBytes);
    Make(1, 1);
    EXPECT_EQ(2, bm.CharHBytes);
}

TEST_F(Bitmap, ImpossibleSizesGetNoBits) {
    EXPECT_EQ(nullptr, InitlpChar(&bm, 0, 10));
    EXPECT_EQ(nullptr, bm.lpChar);
    EXPECT_EQ(nullptr, InitlpChar(&bm, 10, -1));
    EXPECT_EQ(nullptr, InitlpChar(&bm, 0x7FFFFFF0, 0x7FFFFFF0));
    // Without bits, every operation is a no-op.
    ZapBitMap(&bm);
    AddBitLine(&bm, 0, 8, 0);
    InvertBits(bm.lpChar, bm.MemSize);
    FreelpChar(&bm);
    EXPECT_EQ(nullptr, bm.lpChar);
}

TEST_F(Bitmap, SpansSetPixelsMostSignificantBitFirst) {
    AddBitLine(&bm, 3, 10, 1);  // bottom-up row 1 is memory row 2 of 4
    EXPECT_EQ((std::vector<uint8_t>{0x1F, 0xC0, 0, 0}), MemoryRow(2));
    EXPECT_TRUE(OnlyRowTouched(2));

    ZapBitMap(&bm);
    AddBitLine(&bm, 5, 5, 0);  // an empty run still shows as one pixel
    EXPECT_EQ((std::vector<uint8_t>{0x04, 0, 0, 0}), MemoryRow(3));

    ZapBitMap(&bm);
    AddBitLine(&bm, 0, 8, 3);  // ends on a byte boundary
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0, 0, 0}), MemoryRow(0));

    AddBitLine(&bm, 6, 2, 3);  // reversed: nothing
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0, 0, 0}), MemoryRow(0));
}

TEST_F(Bitmap, SpansAreClippedToTheirRow) {
    AddBitLine(&bm, -5, 3, 2);  // left of the glyph origin
    EXPECT_EQ((std::vector<uint8_t>{0xE0, 0, 0, 0}), MemoryRow(1));
    AddBitLine(&bm, 18, 1000, 2);  // past the last column, into the padding
    EXPECT_EQ((std::vector<uint8_t>{0xE0, 0, 0x30, 0}), MemoryRow(1));
    AddBitLine(&bm, -9, -9, 2);  // a lone pixel outside the bitmap
    AddBitLine(&bm, 20, 20, 2);
    AddBitLine(&bm, INT32_MIN, INT32_MAX, 2);
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0xFF, 0xF0, 0}), MemoryRow(1));
    EXPECT_TRUE(OnlyRowTouched(1));

    AddBitLine(&bm, 0, 20, 4);  // rows outside the bitmap
    AddBitLine(&bm, 0, 20, -1);
    EXPECT_TRUE(OnlyRowTouched(1));

    Make(16, 2);  // a run to the end of a byte-aligned last row stays in it
    AddBitLine(&bm, 0, 16, 0);
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0xFF}), MemoryRow(1));
    EXPECT_TRUE(OnlyRowTouched(1));
}

TEST_F(Bitmap, InversionTurnsABlankGlyphIntoBackground) {
    Make(17, 2);
    AddBitLine(&bm, 0, 1, 1);
    InvertBits(bm.lpChar, bm.MemSize);
    EXPECT_EQ((std::vector<uint8_t>{0x7F, 0xFF, 0xFF, 0xFF}), MemoryRow(0));
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}), MemoryRow(1));
    InvertBits(bm.lpChar, 0);
    InvertBits(bm.lpChar, -4);
    InvertBits(nullptr, 10);
    EXPECT_EQ(0x7F, bm.lpChar[0]);
}

// The faithful mode sizes the bitmap to each glyph; the next glyph starts
// from the font box again, and parts of one glyph drawn one after the other
// (components) widen it without losing what is already drawn.
TEST_F(Bitmap, SizedToTheGlyphAndBack) {
    struct Step {
        GlyphBox box;
        int32_t pixelX, pixelY;  // set after fitting
        int32_t width, height, originX, originY;
    } steps[] = {
        {{-2, -1, 3, 2}, -2, -1, 5, 3, 2, 2},
        {{0, 0, 1, 1}, 0, 0, 5, 3, 2, 2},      // inside: unchanged
        {{1, 1, 40, 9}, 39, 8, 42, 10, 2, 9},  // wider and taller: grows the block
    };
    for (const Step &s : steps) {
        ASSERT_TRUE(FitBitMapToGlyph(&bm, s.box));
        SetPixel(&bm, s.pixelX, s.pixelY);
        EXPECT_EQ(s.width, bm.CharHPixels);
        EXPECT_EQ(s.height, bm.CharVLines);
        EXPECT_EQ(s.originX, bm.OriginX);
        EXPECT_EQ(s.originY, bm.OriginY);
    }
    for (const Step &s : steps) EXPECT_TRUE(PixelIsSet(bm, s.pixelX, s.pixelY)) << s.pixelX;
    EXPECT_FALSE(PixelIsSet(bm, -1, -1));
    EXPECT_FALSE(PixelIsSet(bm, 100, 0));  // outside: not set, never read
    EXPECT_FALSE(FitBitMapToGlyph(&bm, GlyphBox{3, 3, 3, 9}));  // empty

    ZapBitMap(&bm);
    EXPECT_EQ(0, bm.FitsInk);
    EXPECT_EQ(20, bm.CharHPixels);
    EXPECT_EQ(4, bm.CharVLines);
    EXPECT_EQ(4, bm.CharHBytes);
    for (int i = 0; i < bm.MemSize; ++i) EXPECT_EQ(0, bm.lpChar[i]);
}

}  // namespace
