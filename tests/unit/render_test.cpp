// Whole glyphs through the exported functions, on synthetic fonts whose
// pixels can be worked out by hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "font_builder.h"
#include "cob_image.h"
#include "kelmor.h"
#include "test_paths.h"
#include "ttf/hint/instruct.h"
#include "ttf/concord/scunicod.h"
#include "ttf/settings/settings.h"

using namespace kelmor_test;

namespace {

using Picture = std::vector<std::string>;

// 1024 units per em at 16 pixels per em: one font unit is 1/64 pixel, so
// outlines below are written in 26.6 directly.  The box, -2..14 pixels
// high and 0..16 wide, gives a 17 x 17 bitmap whose bottom row is y = -2.
FontBuilder PixelFont() {
    return FontBuilder().UnitsPerEm(1024).BoundingBox(0, -128, 1024, 896);
}

constexpr int16_t P(double pixels) { return int16_t(pixels * 64); }

Contour Rect(double x0, double y0, double x1, double y1) {
    return {{P(x0), P(y0)}, {P(x0), P(y1)}, {P(x1), P(y1)}, {P(x1), P(y0)}};
}
Contour Reversed(Contour c) { return Contour(c.rbegin(), c.rend()); }

class Render : public ::testing::Test {
protected:
    void Open(const FontBuilder &font) {
        handle = OpenTTFont(font.WriteTo(ScratchDir("render_" + std::string(
                                             ::testing::UnitTest::GetInstance()
                                                 ->current_test_info()->name())) +
                                         "/font.ttf")
                                .c_str());
        ASSERT_NE(0, handle);
        ASSERT_EQ(1, SetPointSize(handle, 16, 72));
        ASSERT_EQ(241, SetEncoding(handle, 241));
    }
    void TearDown() override { CloseTTFont(handle); }

    // The returned bitmap for a glyph number, top row first, '#' for ink (0
    // bits).
    Picture Draw(int32_t glyph, char flags = 0) {
        return DrawBytes(reinterpret_cast<const char *>(&glyph), flags);
    }
    // The same for the caller's bytes in the current encoding.
    Picture DrawBytes(const char *ps, char flags = 0) {
        int width = 0, height = 0;
        const unsigned char *bits = GetBitmap(handle, ps, &width, &height, flags);
        Picture rows;
        if (bits == nullptr) return rows;
        const int rowBytes = (width + 15) / 16 * 2;
        for (int y = 0; y < height; ++y) {
            std::string row;
            for (int x = 0; x < rowBytes * 8; ++x) {
                const bool ink = !(bits[y * rowBytes + x / 8] & (0x80 >> (x % 8)));
                if (x >= width) {
                    EXPECT_FALSE(ink) << "padding bits are background";
                    continue;
                }
                row += ink ? '#' : '.';
            }
            rows.push_back(row);
        }
        return rows;
    }
    static int InkCount(const Picture &p) {
        int n = 0;
        for (const std::string &row : p)
            for (char c : row) n += c == '#';
        return n;
    }
    static Picture Blank() { return Picture(17, std::string(17, '.')); }
    // Sets rows (counted from y = -2 at the bottom) to the given text.
    static Picture With(Picture p, int yPixel, const std::string &row) {
        p[16 - (yPixel + 2)] = row;
        return p;
    }

    int32_t handle = 0;
};

TEST_F(Render, SquareLandsOnTheGlyphOriginGrid) {
    Open(PixelFont().AddGlyph(Glyph::Simple({Rect(1, 0, 5, 3)})));
    Picture expected = Blank();
    for (int y = 0; y < 3; ++y) expected = With(expected, y, ".####............");
    EXPECT_EQ(expected, Draw(1));
}

TEST_F(Render, EmptyGlyphsGiveAFullSizeBlankBitmap) {
    Open(PixelFont().AddGlyph(Glyph::Simple({Rect(1, 0, 5, 3)})).AddGlyph(Glyph::Empty()));
    Draw(1);  // leaves ink behind in the font's bitmap ...
    EXPECT_EQ(Blank(), Draw(2));  // ... which the next glyph clears
    EXPECT_EQ(Blank(), Draw(0));
    EXPECT_EQ(Blank(), Draw(70000));  // past the font's glyphs
    EXPECT_EQ(Blank(), Draw(-1));
}

TEST_F(Render, RefusesWithoutASizeOrAKnownCharacterSet) {
    Open(PixelFont().AddGlyph(Glyph::Simple({Rect(1, 0, 5, 3)})));
    EXPECT_EQ(0, SetEncoding(handle, 0));
    EXPECT_TRUE(Draw(1).empty());
    SetEncoding(handle, 241);
    const int32_t unsized = OpenTTFont(PixelFont().WriteTo(ScratchDir("render_unsized") + "/f.ttf").c_str());
    int32_t glyph = 1;
    int width = -1, height = -1;
    EXPECT_EQ(nullptr, GetBitmap(unsized, reinterpret_cast<const char *>(&glyph), &width, &height, 0));
    EXPECT_EQ(-1, width);
    CloseTTFont(unsized);
}

// Ink below the box's bottom row, above its top row, left of the glyph
// origin or right of the last column has no pixel to go to; what lies
// inside keeps its shape.  The bottom row itself is drawn, the top row
// never is (edges stop at the box's top edge).
TEST_F(Render, InkOutsideTheBoxIsDropped) {
    Open(PixelFont().AddGlyph(Glyph::Simple({Rect(-3, -5, 2, 20), Rect(14, 0, 40, 1)})));
    Picture expected = Blank();
    for (int y = -2; y < 14; ++y) expected = With(expected, y, "##...............");
    expected = With(expected, 0, "##............###");
    EXPECT_EQ(expected, Draw(1));
}

TEST_F(Render, WindingDecidesHolesInsideAGlyph) {
    const Contour outer = Rect(1, 0, 9, 8), inner = Rect(3, 2, 7, 6);
    Open(PixelFont()
             .AddGlyph(Glyph::Simple({outer, inner}))
             .AddGlyph(Glyph::Simple({outer, Reversed(inner)})));
    EXPECT_EQ(64, InkCount(Draw(1)));
    EXPECT_EQ(64 - 16, InkCount(Draw(2)));
}

// Components are filled one by one into the same bitmap: a component drawn
// the other way round does not cut a hole into its neighbour.
TEST_F(Render, ComponentsMergeByUnion) {
    Open(PixelFont()
             .AddGlyph(Glyph::Simple({Rect(1, 0, 9, 8)}, {0xB0, 0x01}))
             .AddGlyph(Glyph::Simple({Reversed(Rect(3, 2, 7, 6))}, {0xB0, 0x02}))
             .AddGlyph(Glyph::Composite({{1}, {2, P(4), 0}}, {0xB0, 0x03})));
    const Picture whole = Draw(3);
    EXPECT_EQ(8 * 8 + 4 * 2, InkCount(whole));  // the second one sticks out by 2 columns
    EXPECT_EQ(".##########......", whole[16 - 5]);
    // With glyph programs switched off the composite's own program is
    // dropped, not leaked, and the components still draw.
    kelmor::NoInterpretOverall = 1;
    EXPECT_EQ(whole, Draw(3));
    kelmor::NoInterpretOverall = 0;
}

TEST_F(Render, CurvesAreFilledRoundAndSymmetric) {
    // A circle of radius 6 pixels around (8, 6) from eight control points,
    // mirror images of each other about x = 8.
    const int16_t r = P(6), k = 159;  // 6 * tan(22.5 deg) pixels
    Contour circle;
    for (auto [dx, dy] : std::vector<std::pair<int16_t, int16_t>>{
             {r, k}, {k, r}, {-k, r}, {-r, k}, {-r, -k}, {-k, -r}, {k, -r}, {r, -k}})
        circle.push_back({int16_t(P(8) + dx), int16_t(P(6) + dy), false});
    Open(PixelFont().AddGlyph(Glyph::Simple({Reversed(circle)})));
    const Picture p = Draw(1);
    EXPECT_NEAR(3.14159 * 36, InkCount(p), 6);
    // Flattened vertices snap to the half-pixel grid, rounding down, so the
    // two sides may differ by a column, never more.
    int inkRows = 0;
    for (size_t y = 0; y < p.size(); ++y) {
        const size_t left = p[y].find('#'), right = p[y].rfind('#');
        if (left == std::string::npos) continue;
        ++inkRows;
        EXPECT_LE(std::abs(int(left + right) - 15), 1) << "row " << y;
        EXPECT_GE(left, 2u);
        EXPECT_LE(right, 13u);
    }
    EXPECT_EQ(12, inkRows);
}

TEST_F(Render, VerticalFlagPicksTheVerticalForm) {
    Open(PixelFont()
             .AddGlyph(Glyph::Simple({Rect(0, 0, 8, 1)}))
             .AddGlyph(Glyph::Simple({Rect(0, 0, 1, 8)}))
             .Mort({{1, 2}}));
    EXPECT_EQ("########.........", Draw(1)[14]);
    EXPECT_EQ("#................", Draw(1, KELMOR_VERTICAL)[14]);
    EXPECT_EQ(8, InkCount(Draw(1, KELMOR_VERTICAL)));
}

// The vertical form replaces the glyph a code maps to as well, not only a
// glyph number given as such.
TEST_F(Render, VerticalFormsReplaceMappedGlyphs) {
    Open(PixelFont()
             .AddGlyph(Glyph::Simple({Rect(0, 0, 8, 1)}))
             .AddGlyph(Glyph::Simple({Rect(0, 0, 1, 8)}))
             .Mort({{1, 2}})
             .Cmap4(3, 2, {{0x889F, 1}}));
    SetEncoding(handle, 128);  // the font's own code space: no concordance needed
    EXPECT_EQ("########.........", DrawBytes("\x88\x9f")[14]);
    EXPECT_EQ("#................", DrawBytes("\x88\x9f", KELMOR_VERTICAL)[14]);
    EXPECT_EQ(8, InkCount(DrawBytes("\x88\x9f", KELMOR_VERTICAL)));
}

// GB and Big5 text reach a Unicode font each through its own concordance:
// the same two bytes are row 16 of GB 2312 (item 1410) and a different
// position of Big5 (item 2418).
TEST_F(Render, GBAndBig5TextUseTheirOwnConcordances) {
    std::string dir = ScratchDir("render_concordances");
    auto writeCob = [&](const char *name, uint32_t itemBase, char *path) {
        std::vector<uint8_t> image = CobImage(0, 0, 3000, itemBase);
        std::string file = dir + "/" + name;
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char *>(image.data()), std::streamsize(image.size()));
        std::strcpy(path, file.c_str());
    };
    writeCob("gb2uni.cob", 0x4000, kelmor::szGb2UniFile);
    writeCob("big5_uni.cob", 0x8000, kelmor::szBig5_UniFile);
    Open(PixelFont()
             .AddGlyph(Glyph::Simple({Rect(0, 0, 8, 1)}))
             .AddGlyph(Glyph::Simple({Rect(0, 0, 1, 8)}))
             .Cmap4(3, 1, {{0x4000 + 1410, 1}, {0x8000 + 2418, 2}}));
    Picture bar = Draw(1), column = Draw(2);
    ASSERT_EQ(134, SetEncoding(handle, 134));
    EXPECT_EQ(bar, DrawBytes("\xB0\xA1"));
    ASSERT_EQ(136, SetEncoding(handle, 136));
    EXPECT_EQ(column, DrawBytes("\xB0\xA1"));
    kelmor::UniBuffers_delete();
    kelmor::szGb2UniFile[0] = kelmor::szBig5_UniFile[0] = '\0';
}

// Shift-JIS text as printers send it mixes ASCII and half-width katakana
// with kanji: a single byte (zero lead byte) reaches a Unicode font's own map
// without any concordance, in every double-byte mode.
TEST_F(Render, SingleByteCodesReachAUnicodeFontsOwnMap) {
    Open(PixelFont()
             .AddGlyph(Glyph::Simple({Rect(0, 0, 8, 1)}))
             .AddGlyph(Glyph::Simple({Rect(0, 0, 1, 8)}))
             .Cmap4(3, 1, {{0x41, 1}, {0xFF71, 2}}));
    const Picture bar = Draw(1), column = Draw(2), notdef = Draw(0);
    for (int charset : {128, 134, 136}) {
        SetEncoding(handle, charset);  // no concordance is configured
        EXPECT_EQ(bar, DrawBytes(std::string("\0A", 2).c_str())) << charset;
        EXPECT_EQ(charset == 128 ? column : notdef, DrawBytes("\0\xB1")) << charset;
        EXPECT_EQ(notdef, DrawBytes("\0\x01")) << charset;  // control codes draw nothing new
    }
}

}  // namespace
