// The coverage rasterizer on outlines whose areas are known by hand: each
// pixel's level is its covered share times 256, 256 kept at 255, and
// overlapping contours add up under the non-zero rule.
#include "ttf/raster/scgray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelmor;

namespace {

struct Pt {
    int32_t x, y;  // 26.6
    bool on = true;
};
using Contour = std::vector<Pt>;

// A clockwise rectangle (TrueType's outer direction), or counter-clockwise.
Contour Rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool clockwise = true) {
    Contour c = {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
    if (!clockwise) std::swap(c[1], c[3]);
    return c;
}

// Owns the scanner and the outline's points for one test.
class GrayCanvas {
public:
    GrayCanvas() { GrayScannerOf(&scanner_); }
    ~GrayCanvas() { FreeGrayScanner(&scanner_); }
    GrayCanvas(const GrayCanvas &) = delete;
    GrayCanvas &operator=(const GrayCanvas &) = delete;

    GrayGlyph Scan(const std::vector<Contour> &contours) {
        points_.clear();
        ends_.clear();
        for (const Contour &c : contours) {
            for (const Pt &p : c) {
                TTFCoord t{};
                t.Cur = {p.x, p.y};
                t.Flags = p.on ? kOnCurve : 0;
                points_.push_back(t);
            }
            ends_.push_back(int16_t(points_.size() - 1));
        }
        EXPECT_TRUE(ScanOutlineGray(scanner_, unsigned(ends_.size()), ends_.data(), points_.data()));
        return GrayGlyphOf(*scanner_);
    }
    GrayScanner *Scanner() { return scanner_; }

private:
    GrayScanner *scanner_ = nullptr;
    std::vector<TTFCoord> points_;
    std::vector<int16_t> ends_;
};

std::vector<int> Levels(const GrayGlyph &g) {
    std::vector<int> levels;
    for (int32_t i = 0; i < g.width * g.rows; ++i) levels.push_back(g.pixels[i]);
    return levels;
}

struct AreaCase {
    const char *name;
    std::vector<Contour> outline;
    int width, rows, left, top;
    std::vector<int> levels;  // rows top to bottom
};

TEST(ScanOutlineGray, AreasKnownByHand) {
    const AreaCase cases[] = {
        {"a whole pixel is 255 (256 kept below it)", {Rect(0, 0, 64, 64)}, 1, 1, 0, 1, {255}},
        {"the left half of a pixel", {Rect(0, 0, 32, 64)}, 1, 1, 0, 1, {128}},
        {"the lower quarter", {Rect(0, 0, 64, 16)}, 1, 1, 0, 1, {64}},
        {"a sliver a sixty-fourth wide", {Rect(16, 0, 17, 64)}, 1, 1, 0, 1, {4}},
        {"a sliver too thin for a level", {Rect(16, 0, 17, 16)}, 1, 1, 0, 1, {1}},
        {"half of each of two pixels", {Rect(32, 0, 96, 64)}, 2, 1, 0, 1, {128, 128}},
        // The diagonal leaves the pixel at its corner, found by multiplying
        // with a reciprocal rounded down: 255/256 of the way, so 127.
        {"a triangle over the diagonal", {{{0, 0}, {64, 64}, {64, 0}}}, 1, 1, 0, 1, {127}},
        // The other winding's sign is dropped by complement: -128 is 127.
        {"counter-clockwise: one less", {Rect(0, 0, 32, 64, false)}, 1, 1, 0, 1, {127}},
        {"counter-clockwise, a whole pixel", {Rect(0, 0, 64, 64, false)}, 1, 1, 0, 1, {255}},
        {"left of and below the origin", {Rect(-64, -64, -32, 0)}, 1, 1, -1, 0, {128}},
        {"two pixels tall, the box raised to whole pixels", {Rect(0, 16, 64, 112)}, 1, 2, 0, 2, {192, 192}},
        // Non-zero winding: contours turning the same way add up and are
        // kept at full ink; a hole turning the other way takes its share off.
        {"two same-way squares on one pixel", {Rect(0, 0, 64, 64), Rect(0, 0, 64, 64)}, 1, 1, 0, 1, {255}},
        {"two same-way halves overlapping by half", {Rect(0, 0, 48, 64), Rect(16, 0, 64, 64)}, 1, 1, 0, 1, {255}},
        {"a hole of half a pixel", {Rect(0, 0, 64, 64), Rect(0, 0, 32, 64, false)}, 1, 1, 0, 1, {128}},
        {"opposite halves cancel", {Rect(0, 0, 32, 64), Rect(0, 0, 32, 64, false)}, 1, 1, 0, 1, {0}},
    };
    for (const AreaCase &c : cases) {
        SCOPED_TRACE(c.name);
        GrayCanvas canvas;
        const GrayGlyph g = canvas.Scan(c.outline);
        EXPECT_EQ(c.width, g.width);
        EXPECT_EQ(c.rows, g.rows);
        EXPECT_EQ(c.left, g.left);
        EXPECT_EQ(c.top, g.top);
        if (g.width == c.width && g.rows == c.rows) {
            EXPECT_EQ(c.levels, Levels(g));
        }
    }
}

// A quarter disc of radius one pixel drawn with two quadratic arcs: 200.6
// of 256 by its area.  The arcs are cut into chords that lie inside them,
// within the flatness the walk allows (a quarter pixel of bend per step).
TEST(ScanOutlineGray, QuarterDiscJustUnderItsArea) {
    GrayCanvas canvas;
    // The arc from (0, 64) to (64, 0) as two quadratic pieces, control
    // points on the tangents at 22.5 degrees.
    const int32_t t = 26;  // 64 * tan(22.5 degrees) = 26.5
    const GrayGlyph g = canvas.Scan({{{0, 0}, {0, 64}, {t, 64, false}, {45, 45}, {64, t, false}, {64, 0}}});
    ASSERT_EQ(1, g.width);
    ASSERT_EQ(1, g.rows);
    EXPECT_LE(g.pixels[0], 201);
    EXPECT_GE(g.pixels[0], 190);
}

// A point counts for the box as FreeType counts it: one blank pixel.
TEST(ScanOutlineGray, APointGivesOneBlankPixel) {
    GrayCanvas canvas;
    const GrayGlyph g = canvas.Scan({{{10, 10}}});
    ASSERT_EQ(1, g.width);
    ASSERT_EQ(1, g.rows);
    EXPECT_EQ(0, g.pixels[0]);
}

TEST(ScanOutlineGray, OutlinesWithoutAreaGiveAnEmptyBitmap) {
    GrayCanvas canvas;
    EXPECT_EQ(0, canvas.Scan({}).width);
    EXPECT_EQ(0, canvas.Scan({{{0, 64}, {64, 64}, {128, 64}}}).rows);   // flat on a pixel edge
}

// Hinted points can be anywhere: far ones are pinned and the bitmap kept
// within reach of the origin, so memory stays bounded.
TEST(ScanOutlineGray, FarPointsKeepTheBitmapBounded) {
    GrayCanvas canvas;
    const GrayGlyph g = canvas.Scan({Rect(-2000000000, -2000000000, 2000000000, 2000000000)});
    EXPECT_LE(g.width, 4096);
    EXPECT_LE(g.rows, 4096);
    ASSERT_GT(g.width, 0);
    EXPECT_EQ(255, g.pixels[0]);  // inside the huge square
    EXPECT_LE(GrayScannerBytes(canvas.Scanner()), size_t(24) << 20);
    // The next small glyph gives the large buffers back.
    canvas.Scan({Rect(0, 0, 64, 64)});
    EXPECT_LT(GrayScannerBytes(canvas.Scanner()), size_t(1) << 20);
}

TEST(PackedGrayLevels, TopBitsLeftmostPixelFirst) {
    GrayCanvas canvas;
    // Levels 255, 128, 64 and 4 in one row.
    canvas.Scan({Rect(0, 0, 64, 64), Rect(64, 0, 96, 64), Rect(128, 0, 192, 16), Rect(208, 0, 209, 64)});
    struct {
        int bits;
        std::vector<uint8_t> row;
    } const cases[] = {
        {8, {255, 128, 64, 4}},
        {4, {0xF8, 0x40}},
        {2, {0xE4}},  // 3, 2, 1, 0
        {1, {0xC0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bits);
        int32_t rowBytes = 0;
        const uint8_t *packed = PackedGrayLevels(canvas.Scanner(), c.bits, &rowBytes);
        ASSERT_NE(nullptr, packed);
        ASSERT_EQ(int32_t(c.row.size()), rowBytes);
        EXPECT_EQ(c.row, std::vector<uint8_t>(packed, packed + rowBytes));
    }
    int32_t rowBytes = 0;
    EXPECT_EQ(nullptr, PackedGrayLevels(canvas.Scanner(), 3, &rowBytes));
}

}  // namespace
