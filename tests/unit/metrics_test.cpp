// GetGlyphMetrics and Unicode input through the exported functions, on
// synthetic fonts where one font unit is 1/64 pixel.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "font_builder.h"
#include "kelmor.h"
#include "test_paths.h"

using namespace kelmor_test;

namespace {

// 1024 units per em at 16 pixels: one unit is 1/64 pixel.  The box runs
// from -2 to 14 pixels, so the bitmap is 17 rows tall with the baseline on
// top of row 15.
FontBuilder PixelFont() {
    return FontBuilder()
        .UnitsPerEm(1024)
        .BoundingBox(0, -128, 1024, 896)
        .AddGlyph(Glyph::Simple({{{128, 0}, {128, 640}, {384, 640}, {384, 0}}}))  // 2..6 x 0..10
        .AddGlyph(
            Glyph::Simple({{{64, -128}, {64, 192}, {192, 192}, {192, -128}}}))  // 1..3 x -2..3
        .AddGlyph(Glyph::Empty())
        .AddGlyph(Glyph::Simple({{{-128, -64}, {-128, 192}, {64, 192}, {64, -64}}}));  // -2..1 x -1..3
}

Bytes Be16s(const std::vector<uint16_t> &values) {
    Bytes bytes;
    for (uint16_t v : values) {
        bytes.push_back(uint8_t(v >> 8));
        bytes.push_back(uint8_t(v & 0xFF));
    }
    return bytes;
}

// A horizontal or vertical header whose last field (offset 34) counts the
// full metric records.
Bytes MetricsHeader(uint16_t longMetrics) {
    std::vector<uint16_t> words(18, 0);
    words[0] = 1;  // version 1.0
    words[2] = 896;
    words[3] = uint16_t(-128);
    words[17] = longMetrics;
    return Be16s(words);
}

// Full records {advance, side bearing} for `advances`, then bare side
// bearings for `bareBearings` more glyphs.
Bytes MetricsTable(const std::vector<uint16_t> &advances, int bareBearings) {
    std::vector<uint16_t> words;
    for (uint16_t a : advances) words.insert(words.end(), {a, 0});
    words.insert(words.end(), size_t(bareBearings), 0);
    return Be16s(words);
}

class Metrics : public ::testing::Test {
protected:
    int32_t Open(const FontBuilder &font, int charset = 241) {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        handle = OpenTTFont(font.WriteTo(ScratchDir("metrics_" + name) + "/font.ttf").c_str());
        EXPECT_NE(0, handle);
        EXPECT_EQ(1, SetPointSize(handle, 16, 72));
        SetEncoding(handle, charset);
        return handle;
    }
    void TearDown() override { CloseTTFont(handle); }

    KelmorGlyphMetrics Measure(uint32_t code, char flags = 0) {
        int width = 0, height = 0;
        GetBitmap(handle, reinterpret_cast<const char *>(&code), &width, &height, flags);
        KelmorGlyphMetrics m;
        std::memset(&m, 0x55, sizeof m);
        EXPECT_EQ(1, GetGlyphMetrics(handle, reinterpret_cast<const char *>(&code), &m));
        return m;
    }

    int32_t handle = 0;
};

// Advances come from hmtx and are scaled like the outline; glyphs past the
// full records take the last one; records the table does not hold read as 0.
TEST_F(Metrics, AdvancesFromHmtx) {
    struct Case {
        const char *what;
        uint16_t longMetrics;
        Bytes hmtx;
        uint32_t glyph;
        int32_t advance64, advance;
    } cases[] = {
        {"own record", 2, MetricsTable({512, 600}, 2), 1, 600, 9},
        {"rounds half up", 2, MetricsTable({512, 608}, 2), 1, 608, 10},
        {"past the records", 2, MetricsTable({512, 600}, 2), 3, 600, 9},
        {"glyph number past the font", 2, MetricsTable({512, 600}, 2), 70000, 600, 9},
        {"count beyond the table", 4, MetricsTable({512, 600}, 0), 3, 0, 0},
        {"no long records", 0, MetricsTable({}, 4), 1, 0, 0},
    };
    for (const Case &c : cases) {
        Open(PixelFont().RawTable("hhea", MetricsHeader(c.longMetrics)).RawTable("hmtx", c.hmtx));
        const KelmorGlyphMetrics m = Measure(c.glyph);
        EXPECT_EQ(m.lAdvance, c.advance64) << c.what;
        EXPECT_EQ(m.iAdvance, c.advance) << c.what;
        CloseTTFont(handle);
        handle = 0;
    }
}

// The origin and the ink box, for a glyph above the baseline, one that
// reaches below it, and one without ink.
TEST_F(Metrics, OriginAndInkBoxInTheBitmap) {
    Open(PixelFont());
    struct Case {
        uint32_t glyph;
        int32_t left, top, width, height;
    } cases[] = {
        {1, 2, 5, 4, 10},
        {2, 1, 12, 2, 5},
        {3, 0, 0, 0, 0},
    };
    for (const Case &c : cases) {
        const KelmorGlyphMetrics m = Measure(c.glyph);
        EXPECT_EQ(m.iOriginX, 0) << c.glyph;
        EXPECT_EQ(m.iOriginY, 15) << c.glyph;
        EXPECT_EQ(m.iInkLeft, c.left) << c.glyph;
        EXPECT_EQ(m.iInkTop, c.top) << c.glyph;
        EXPECT_EQ(m.iInkWidth, c.width) << c.glyph;
        EXPECT_EQ(m.iInkHeight, c.height) << c.glyph;
    }
}

// In the faithful mode the bitmap follows the glyph's ink, left of the
// origin too, and the metrics say where the origin lies in it.
TEST_F(Metrics, FaithfulBitmapKeepsInkLeftOfTheOrigin) {
    struct Case {
        const char *what;
        int options;
        int32_t width, height, originX, originY, inkWidth;
    } cases[] = {
        {"classic: clipped at the origin", 0, 17, 17, 0, 15, 1},
        {"faithful: the whole stroke", KELMOR_FAITHFUL, 3, 4, 2, 3, 3},
    };
    for (const Case &c : cases) {
        Open(PixelFont());
        SetRenderOptions(handle, c.options);
        uint32_t glyph = 4;
        int width = 0, height = 0;
        GetBitmap(handle, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
        const KelmorGlyphMetrics m = Measure(glyph);
        EXPECT_EQ(c.width, width) << c.what;
        EXPECT_EQ(c.height, height) << c.what;
        EXPECT_EQ(c.originX, m.iOriginX) << c.what;
        EXPECT_EQ(c.originY, m.iOriginY) << c.what;
        EXPECT_EQ(c.inkWidth, m.iInkWidth) << c.what;
        EXPECT_EQ(4, m.iInkHeight) << c.what;
        CloseTTFont(handle);
        handle = 0;
    }
}

// Measuring renders the same glyph again: a bitmap the host holds stays as
// GetBitmap delivered it (ink 0), not inverted a second time.
TEST_F(Metrics, LeavesTheDeliveredBitmapAsItWas) {
    Open(PixelFont());
    const int32_t glyph = 1;
    int width = 0, height = 0;
    const unsigned char *bits =
        GetBitmap(handle, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
    ASSERT_NE(bits, nullptr);
    const std::vector<unsigned char> before(bits, bits + height * ((width + 15) / 16 * 2));
    KelmorGlyphMetrics m;
    ASSERT_EQ(1, GetGlyphMetrics(handle, reinterpret_cast<const char *>(&glyph), &m));
    EXPECT_EQ(before, std::vector<unsigned char>(bits, bits + before.size()));
}

// The vertical form advances by vmtx when the font has one, else by the
// font's height (16 pixels here).
TEST_F(Metrics, VerticalAdvance) {
    Open(PixelFont());
    EXPECT_EQ(Measure(1, KELMOR_VERTICAL).lAdvance, 16 * 64);
    EXPECT_EQ(Measure(1, 0).lAdvance, 512);  // the builder's hmtx: half an em
    CloseTTFont(handle);

    Open(PixelFont()
             .RawTable("vhea", MetricsHeader(2))
             .RawTable("vmtx", MetricsTable({900, 1100}, 2)));
    EXPECT_EQ(Measure(1, KELMOR_VERTICAL).lAdvance, 1100);
    EXPECT_EQ(Measure(3, KELMOR_VERTICAL).lAdvance, 1100);
    CloseTTFont(handle);

    // A vhea count the vmtx table cannot hold: the height again.
    Open(PixelFont().RawTable("vhea", MetricsHeader(9)).RawTable("vmtx", MetricsTable({900}, 0)));
    EXPECT_EQ(Measure(3, KELMOR_VERTICAL).lAdvance, 16 * 64);
}

// Failures answer 0 and write nothing.
TEST_F(Metrics, RefusalsLeaveTheRecordAlone) {
    const uint32_t code = 1;
    const char *ps = reinterpret_cast<const char *>(&code);
    KelmorGlyphMetrics m;
    std::memset(&m, 0x55, sizeof m);
    const KelmorGlyphMetrics untouched = m;
    EXPECT_EQ(0, GetGlyphMetrics(0, ps, &m));
    EXPECT_EQ(0, GetGlyphMetrics(12345, ps, &m));

    const std::string path = PixelFont().WriteTo(ScratchDir("metrics_refusals") + "/font.ttf");
    handle = OpenTTFont(path.c_str());
    ASSERT_NE(0, handle);
    SetEncoding(handle, 241);
    EXPECT_EQ(0, GetGlyphMetrics(handle, ps, &m));  // not sized yet
    ASSERT_EQ(1, SetPointSize(handle, 16, 72));
    EXPECT_EQ(0, GetGlyphMetrics(handle, nullptr, &m));
    EXPECT_EQ(0, GetGlyphMetrics(handle, ps, nullptr));
    SetEncoding(handle, 0);
    EXPECT_EQ(0, GetGlyphMetrics(handle, ps, &m));  // no character set chosen
    EXPECT_EQ(0, std::memcmp(&m, &untouched, sizeof m));
}

// Character set 137 takes 32-bit code points, on Unicode fonts only.
TEST_F(Metrics, UnicodeCodePoints) {
    struct Case {
        const char *what;
        FontBuilder font;
        uint32_t codePoint;
        bool rendered;
        int32_t inkWidth;
    } cases[] = {
        {"mapped", PixelFont().Cmap4(3, 1, {{0x4E00, 1}}), 0x4E00, true, 4},
        {"not in the map: glyph 0", PixelFont().Cmap4(3, 1, {{0x4E00, 1}}), 0x4E01, true, 0},
        {"beyond 16 bits: glyph 0", PixelFont().Cmap4(3, 1, {{0x4E00, 1}}), 0x14E00, true, 0},
        {"above Unicode: glyph 0", PixelFont().Cmap4(3, 1, {{0xFFFF, 1}}), 0xFFFFFFFFu, true, 0},
        {"Shift-JIS font", PixelFont().Cmap2(3, 2, {{0x889F, 1}}), 0x889F, false, 0},
        {"Big5 font", PixelFont().Cmap4(3, 4, {{0xA440, 1}}), 0xA440, false, 0},
    };
    for (const Case &c : cases) {
        Open(c.font, 137);
        int width = 0, height = 0;
        const char *ps = reinterpret_cast<const char *>(&c.codePoint);
        const unsigned char *bits = GetBitmap(handle, ps, &width, &height, 0);
        KelmorGlyphMetrics m{};
        EXPECT_EQ(bits != nullptr, c.rendered) << c.what;
        EXPECT_EQ(GetGlyphMetrics(handle, ps, &m), c.rendered ? 1 : 0) << c.what;
        EXPECT_EQ(m.iInkWidth, c.inkWidth) << c.what;
        CloseTTFont(handle);
        handle = 0;
    }
}

}  // namespace
