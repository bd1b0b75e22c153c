// The faithful mode's scan converter: pixel centres at exact positions,
// dropout control as SCANCTRL and SCANTYPE choose it, and the bitmap's box.
#include "ttf/raster/scexact.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster_canvas.h"

using namespace kelmor;
using kelmor_test::ExactCanvas;
using kelmor_test::OutlinePt;

namespace {

using Picture = std::vector<std::string>;
using Outline = std::vector<std::vector<OutlinePt>>;

// 1/64 pixel units from pixels given in 64ths: P(1, 6) is 1 + 6/64 pixel.
constexpr int32_t P(int whole, int sixtyFourths = 0) { return whole * 64 + sixtyFourths; }

// A clockwise quadrilateral (the way TrueType draws outer contours).
std::vector<OutlinePt> Quad(OutlinePt a, OutlinePt b, OutlinePt c, OutlinePt d) {
    return {a, b, c, d};
}
// A clockwise rectangle from (x0, y0) to (x1, y1).
std::vector<OutlinePt> Rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    return Quad({x0, y0}, {x0, y1}, {x1, y1}, {x1, y0});
}

constexpr uint8_t kSimple = kDropoutSimple;                // SCANTYPE 1, and unhinted glyphs
constexpr uint8_t kSimpleStubs = kDropoutSimpleWithStubs;  // SCANTYPE 0
constexpr uint8_t kSmart = kDropoutSmart;                  // SCANTYPE 5
constexpr uint8_t kSmartStubs = kDropoutSmartWithStubs;    // SCANTYPE 4
constexpr uint8_t kOff = kDropoutOff;                      // SCANTYPE 2, or no SCANCTRL

TEST(DropoutRule, FromScanControlAndScanType) {
    struct Case {
        const char *what;
        bool hinted;
        int32_t control;  // SCANCTRL's value
        int32_t type;     // SCANTYPE's value
        int32_t ppem;
        uint8_t expected;
    } cases[] = {
        {"unhinted: simple without stubs", false, 0, 2, 12, kSimple},
        {"every size, type 0", true, 0x1FF, 0, 12, kSimpleStubs},
        {"every size, type 1", true, 0x0FF, 1, 12, kSimple},
        {"every size, type 2: off", true, 0x1FF, 2, 12, kOff},
        {"every size, type 3: off", true, 0x1FF, 3, 12, kOff},
        {"every size, type 4", true, 0x1FF, 4, 12, kSmartStubs},
        {"every size, type 5", true, 0x1FF, 5, 12, kSmart},
        {"every size, type 6: off", true, 0x1FF, 6, 12, kOff},
        {"threshold 0: never", true, 0x100, 4, 12, kOff},
        {"no SCANCTRL at all", true, 0, 4, 12, kOff},
        {"bit 8, at the threshold", true, 0x10D, 4, 13, kSmartStubs},
        {"bit 8, above the threshold: control stays off", true, 0x10D, 4, 14, kOff},
        {"bit 11 alone never turns control on", true, 0x80D, 4, 9, kOff},
        {"bits 8 and 11, below", true, 0x90D, 1, 9, kSimple},
        {"bits 8 and 11, above", true, 0x90D, 1, 40, kOff},
        {"rotated or stretched (bits 9, 10) never apply", true, 0x60D, 4, 9, kOff},
        {"not rotated (bit 12) keeps bit 8", true, 0x110D, 5, 9, kSmart},
        {"bits above SCANCTRL's 14 are SCANTYPE's", true, 0x3FFF, 0, 9, kSimpleStubs},
    };
    for (const Case &c : cases) {
        const int32_t scanControl = c.control | (c.type << 14);
        EXPECT_EQ(c.expected, DropoutFor(c.hinted, scanControl, c.ppem)) << c.what;
    }
}

// Positions are sampled where they lie: a centre on the outline is inside
// it, and nothing is moved to the half-pixel grid.
TEST(ExactScan, PixelCentresAtExactPositions) {
    struct Case {
        const char *what;
        Outline outline;
        Picture expected;  // columns 0..4, rows 3..0
    } cases[] = {
        {"edges just inside two centres",
         {Rect(P(1, 35), 0, P(3, 29), P(3))},
         {".....", "..#..", "..#..", "..#.."}},
        {"edges on centres: both columns",
         {Rect(P(2, 32), 0, P(3, 32), P(3))},
         {".....", "..##.", "..##.", "..##."}},
        {"top and bottom on row centres",
         {Rect(P(1), P(0, 32), P(4), P(2, 32))},
         {".....", ".###.", ".###.", ".###."}},
        {"apex exactly on a centre",
         {Quad({P(0, 32), P(0, 32)}, {P(2, 32), P(2, 32)}, {P(4, 32), P(0, 32)}, {P(2, 32), P(0, 20)})},
         {".....", "..#..", ".###.", "#####"}},
        {"reversed contour fills too (non-zero winding)",
         {{{P(1), 0}, {P(4), 0}, {P(4), P(2)}, {P(1), P(2)}}},
         {".....", ".....", ".###.", ".###."}},
        {"a counter-wound inner contour is a hole",
         {Rect(0, 0, P(5), P(3)), {{P(1, 40), P(0, 40)}, {P(3, 20), P(0, 40)}, {P(3, 20), P(2, 20)}, {P(1, 40), P(2, 20)}}},
         {".....", "#####", "##.##", "#####"}},
    };
    for (const Case &c : cases) {
        ExactCanvas canvas;
        canvas.Scan(c.outline, kOff);
        EXPECT_EQ(c.expected, canvas.Picture(0, 0, 5, 4)) << c.what;
    }
}

// Strokes thinner than a pixel that pass between the centres, under each
// dropout rule.  Stroke ends without stubs are left out; with stubs they
// stay, and smart control takes the pixel nearest the stroke.
TEST(ExactScan, DropoutControl) {
    // 19/64 pixel thick, between two centres.
    const Outline horizontal = {Rect(P(1), P(2, 38), P(7), P(2, 57))};
    const Outline vertical = {Rect(P(3, 38), P(1), P(3, 57), P(7))};
    // Right of the centres of a column: the left pixel, or the nearer right
    // one.  (Strokes at x 0..1 and 6..7 keep columns 3 and 4 inside the
    // bitmap: a dropout pixel outside it gives way to its neighbour.)
    const Outline verticalNearRight = {Rect(P(4, 6), P(1), P(4, 25), P(7)), Rect(0, P(1), P(1), P(7)),
                                       Rect(P(6), P(1), P(7), P(7))};
    const Outline diagonal = {Quad({P(1, 6), P(1)}, {P(7, 6), P(7)}, {P(7, 26), P(7)}, {P(1, 26), P(1)})};
    struct Case {
        const char *what;
        const Outline &outline;
        uint8_t dropout;
        Picture expected;  // columns 0..7, rows 7..0
    } cases[] = {
        {"horizontal, off", horizontal, kOff,
         {"........", "........", "........", "........", "........", "........", "........", "........"}},
        {"horizontal, simple", horizontal, kSimple,
         {"........", "........", "........", "........", "........", "..####..", "........", "........"}},
        {"horizontal, simple with stubs", horizontal, kSimpleStubs,
         {"........", "........", "........", "........", "........", ".######.", "........", "........"}},
        {"vertical, simple", vertical, kSimple,
         {"........", "........", "...#....", "...#....", "...#....", "...#....", "........", "........"}},
        {"vertical, smart with stubs", vertical, kSmartStubs,
         {"........", "...#....", "...#....", "...#....", "...#....", "...#....", "...#....", "........"}},
        {"near the right centre, simple", verticalNearRight, kSimple,
         {"........", "#.....#.", "#..#..#.", "#..#..#.", "#..#..#.", "#..#..#.", "#.....#.", "........"}},
        {"near the right centre, smart", verticalNearRight, kSmart,
         {"........", "#.....#.", "#...#.#.", "#...#.#.", "#...#.#.", "#...#.#.", "#.....#.", "........"}},
        {"diagonal, off", diagonal, kOff,
         {"........", "........", "........", "........", "........", "........", "........", "........"}},
        {"diagonal, simple", diagonal, kSimple,
         {"........", "........", ".....#..", "....#...", "...#....", "..#.....", "........", "........"}},
        {"diagonal, simple with stubs", diagonal, kSimpleStubs,
         {"........", "......#.", ".....#..", "....#...", "...#....", "..#.....", ".#......", "........"}},
    };
    for (const Case &c : cases) {
        ExactCanvas canvas;
        canvas.Scan(c.outline, c.dropout);
        EXPECT_EQ(c.expected, canvas.Picture(0, 0, 8, 8)) << c.what;
    }
}

// A stroke whose middle lies exactly between two centres gets the lower
// pixel under smart control, below the origin as above it.
TEST(ExactScan, SmartDropoutTiesGoToTheLowerPixel) {
    struct Case {
        const char *what;
        int32_t bottom, top;  // a bar from x 1 to 7
        int lowerRow;         // the row expected to hold it
    } cases[] = {
        {"straddling the baseline", P(0, -22), P(0, 22), -1},
        {"straddling y = 2", P(1, 42), P(2, 22), 1},
        {"straddling y = -3", P(-3, -22), P(-3, 22), -4},
    };
    for (const Case &c : cases) {
        ExactCanvas canvas;
        // A stem at x 0..1 makes the bitmap tall enough to hold both rows.
        canvas.Scan({Rect(P(1), c.bottom, P(7), c.top), Rect(0, P(-6), P(1), P(4))}, kSmart, 12);
        const Picture picture = canvas.Picture(1, c.lowerRow - 1, 8, c.lowerRow + 2);
        EXPECT_EQ((Picture{".......", "######.", "......."}), picture) << c.what;
    }
}

// A stroke end that reaches half a pixel past the last centre it crosses,
// over a run at least half a pixel long, is kept even without stubs.
TEST(ExactScan, LongStubsAreKept) {
    struct Case {
        const char *what;
        int32_t top;
        Picture expected;  // column 3, rows 5..0
    } cases[] = {
        {"ends a quarter pixel past the centre", P(4, 48), {".", ".", "#", "#", "#", "."}},
        {"ends short of the next centre, past the half", P(5, 0), {".", "#", "#", "#", "#", "."}},
    };
    for (const Case &c : cases) {
        ExactCanvas canvas;
        // 40/64 pixel wide, between the centres of columns 3 and 4.
        canvas.Scan({Rect(P(3, 34), P(1), P(4, 10), c.top)}, kSimple);
        EXPECT_EQ(c.expected, canvas.Picture(3, 0, 4, 6)) << c.what;
    }
}

// The bitmap covers the outline's points rounded to pixel edges so that a
// centre on the outline's extreme stays inside; a sliver thinner than that
// gets the pixel around its middle; a lying outline is held to 2048 pixels
// each way of the origin.
TEST(ExactScan, BoxOfAnExtent) {
    struct Case {
        const char *what;
        int32_t xMin, yMin, xMax, yMax;
        GlyphBox expected;
    } cases[] = {
        {"whole pixels", 0, 0, P(10), P(10), {0, 0, 10, 10}},
        {"extreme centres kept", P(0, 32), P(0, 32), P(3, 32), P(3, 32), {0, 0, 4, 4}},
        {"left of the origin", P(-3, 8), P(-1, 40), P(0, 22), P(1), {-3, 0, 0, 1}},
        {"a sliver: the pixel around its middle", P(0, 34), P(5, 10), P(1, 3), P(5, 40), {0, 5, 1, 6}},
        {"a lying outline", -(1 << 24), -(1 << 24), 1 << 24, 1 << 24, {-2048, -2048, 2048, 2048}},
    };
    for (const Case &c : cases) {
        const GlyphBox b = BoxForExtent(c.xMin, c.yMin, c.xMax, c.yMax);
        EXPECT_EQ(c.expected.left, b.left) << c.what;
        EXPECT_EQ(c.expected.bottom, b.bottom) << c.what;
        EXPECT_EQ(c.expected.right, b.right) << c.what;
        EXPECT_EQ(c.expected.top, b.top) << c.what;
    }
}

// Ink left of the origin and below the baseline is not clipped: the bitmap
// follows the outline and knows where the origin lies.
TEST(ExactScan, BitmapFollowsTheInk) {
    ExactCanvas canvas;
    canvas.Scan({Rect(P(-3), P(-2), P(1), P(2))}, kSimple);
    EXPECT_EQ(4, canvas.BM.CharHPixels);
    EXPECT_EQ(4, canvas.BM.CharVLines);
    EXPECT_EQ(3, canvas.BM.OriginX);
    EXPECT_EQ(2, canvas.BM.OriginY);
    EXPECT_EQ((Picture{"####", "####", "####", "####"}), canvas.Picture(-3, -2, 1, 2));
}

// A contour of one point draws nothing, but the bitmap reaches it, as the
// reference rasterizer's does (fonts keep anchors so); a glyph of such
// points alone has no bitmap.
TEST(ExactScan, OnePointContoursWidenTheBitmap) {
    ExactCanvas canvas;
    canvas.Scan({Rect(P(0), P(0), P(2), P(2)), {{P(0, 40), P(-3, 10)}}}, kSimple);
    EXPECT_EQ(2, canvas.BM.CharHPixels);
    EXPECT_EQ(5, canvas.BM.CharVLines);
    EXPECT_EQ(2, canvas.BM.OriginY);
    EXPECT_EQ((Picture{"##", "##", "..", "..", ".."}), canvas.Picture(0, -3, 2, 2));
    ExactCanvas alone;
    alone.Scan({{{P(1), P(1)}}, {{P(3), P(2)}}}, kSimple);
    EXPECT_EQ(0, alone.BM.CharHPixels * alone.BM.CharVLines);
}

// Arcs are followed closely, not cut into half-pixel steps: a circle of
// radius 3 pixels (eight arcs through their tangent points) fills the
// pixels whose centres lie within it.
TEST(ExactScan, ArcsAtFullPrecision) {
    const int32_t r = P(3), c = 0;
    const int32_t k = P(1, 16);  // r * tan(22.5 degrees), close enough
    std::vector<OutlinePt> circle = {
        {c - r, 0},  {c - r, k, false},  {c - k, r, false}, {c + k, r, false},
        {c + r, k, false}, {c + r, -k, false}, {c + k, -r, false}, {c - k, -r, false},
        {c - r, -k, false},
    };
    ExactCanvas canvas;
    canvas.Scan({circle}, kOff);
    EXPECT_EQ((Picture{".####.", "######", "######", "######", "######", ".####."}),
              canvas.Picture(-3, -3, 3, 3));
}

// Hinted points a font can put anywhere: the bitmap stays within 2048
// pixels of the origin each way and the scan stays within its buffers.
TEST(ExactScan, LyingOutlineStaysBounded) {
    const int32_t far = INT32_MAX / 2;
    ExactCanvas canvas;
    canvas.Scan({{{-far, -far}, {0, far}, {far, -far}}, Rect(0, 0, P(1), P(1))}, kSmartStubs);
    EXPECT_EQ(4096, canvas.BM.CharHPixels);
    EXPECT_EQ(4096, canvas.BM.CharVLines);
    EXPECT_EQ(2048, canvas.BM.OriginX);
    EXPECT_TRUE(PixelIsSet(canvas.BM, 0, 0));  // deep inside the huge triangle
    canvas.Scan({Rect(0, 0, P(1), P(1))}, kSimple);  // the next glyph is small again
    EXPECT_EQ(1, canvas.BM.CharHPixels);
    EXPECT_EQ((Picture{"#"}), canvas.Picture(0, 0, 1, 1));
}

}  // namespace
