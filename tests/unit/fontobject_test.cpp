// The font object through the exported rasterizer functions: opening,
// sizing, encodings and the GetBitmap road, on synthetic fonts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "font_builder.h"
#include "kelmor.h"
#include "test_paths.h"
#include "ttf/api/handles.h"
#include "ttf/font/ttf.h"

using namespace kelmor;
using namespace kelmor_test;

namespace {

// Windows drops trailing spaces from directory names (as in "nocvt "), so
// the scratch directory's name leaves them out.
std::string Write(const FontBuilder &b, std::string name) {
    name.erase(name.find_last_not_of(' ') + 1);
    return b.WriteTo(ScratchDir("fontobject_" + name) + "/font.ttf");
}

// A font with one square glyph (glyph 1) mapped from code 0x41 (A).
FontBuilder SquareFont() {
    return FontBuilder().AddGlyph(Glyph::Simple({{{100, 0}, {100, 500}, {600, 500}, {600, 0}}}));
}

// Opens a font and closes it when the test ends.
struct OpenFont {
    explicit OpenFont(const std::string &path) : handle(OpenTTFont(path.c_str())) {}
    ~OpenFont() { CloseTTFont(handle); }
    _TTFont *object() const { return FontFromHandle(handle); }
    int32_t handle;
};

const char *GlyphBytes(const int32_t &glyph) { return reinterpret_cast<const char *>(&glyph); }

// ---------------------------------------------------------------- opening

TEST(OpenTTFont, RefusesWhatCannotBeAFont) {
    EXPECT_EQ(0, OpenTTFont(nullptr));
    EXPECT_EQ(0, OpenTTFont(""));
    EXPECT_EQ(0, OpenTTFont((ScratchDir("fontobject_missing") + "/none.ttf").c_str()));
    for (const char *required : {"head", "maxp", "name", "cmap"}) {
        std::string path = Write(SquareFont().RemoveTable(required), std::string("no") + required);
        EXPECT_EQ(0, OpenTTFont(path.c_str())) << "without " << required;
    }
}

// Outlines the rasterizer cannot draw (CFF2, embedded images only, or a
// CFF table too damaged to read, here a header alone) would open and draw
// blank: such fonts are refused.  glyf beside them, or no outline table at
// all, opens as before.
TEST(OpenTTFont, RefusesFontsWhoseOutlinesItCannotDraw) {
    const struct {
        const char *name;
        const char *added;   // a table added, or null
        bool keepGlyf;
        bool opens;
    } cases[] = {
        {"cff", "CFF ", false, false}, {"cff2", "CFF2", false, false},
        {"ebdt", "EBDT", false, false}, {"cffandglyf", "CFF ", true, true},
        {"noglyf", nullptr, false, true},
    };
    for (const auto &c : cases) {
        FontBuilder b = SquareFont();
        if (c.added) b.RawTable(c.added, {1, 0, 4, 1});
        if (!c.keepGlyf) b.RemoveTable("glyf");
        OpenFont font(Write(b, c.name));
        EXPECT_EQ(c.opens, font.handle != 0) << c.name;
    }
}

TEST(OpenTTFont, OptionalTablesMayBeMissing) {
    for (const char *optional : {"hhea", "fpgm", "cvt ", "prep", "mort"}) {
        std::string path = Write(SquareFont().Fpgm({0xB0, 0}).Prep({0xB0, 0}).Cvt({1, 2})
                                     .Mort({{1, 1}}).RemoveTable(optional),
                                 std::string("no") + optional);
        OpenFont font(path);
        EXPECT_NE(0, font.handle) << "without " << optional;
    }
}

TEST(OpenTTFont, RefusesFontsTheInterpreterCannotServe) {
    struct Case {
        const char *name;
        uint16_t MaxpValues::*field;
        uint16_t value;
    } cases[] = {
        {"idefs", &MaxpValues::maxInstructionDefs, 1},
        {"zones", &MaxpValues::maxZones, 3},
        {"points", &MaxpValues::maxPoints, 1261},
    };
    for (const Case &c : cases)
        EXPECT_EQ(0, OpenTTFont(Write(SquareFont().Maxp(c.field, c.value), c.name).c_str()))
            << c.name;
    OpenFont most(Write(SquareFont().Maxp(&MaxpValues::maxPoints, 1260), "points_ok"));
    EXPECT_NE(0, most.handle);
}

TEST(OpenTTFont, FontCharacterSetComesFromTheChosenSubTables) {
    struct Case {
        const char *name;
        FontBuilder font;
        int16_t csFont;
    } cases[] = {
        {"unicode", SquareFont().Cmap4(3, 1, {{0x41, 1}}), csUnicode},
        {"sjis", SquareFont().Cmap4(3, 2, {{0x889F, 1}}), csShiftJIS},
        {"gb", SquareFont().Cmap4(3, 3, {{0xB0A1, 1}}), csGB2312},
        {"big5", SquareFont().Cmap4(3, 4, {{0xA440, 1}}), csBig5},
        {"symbol", SquareFont().Cmap4(3, 0, {{0x41, 1}}), csSingleByte},
        // A format-4 record with encoding 0 defers to the format-2 record.
        {"hilo", SquareFont().Cmap4(3, 0, {{0x41, 1}}).Cmap2(3, 2, {{0x889F, 1}}), csShiftJIS},
        // Otherwise the format-4 record's encoding wins over the format-2 one.
        {"mac", SquareFont().Cmap2(1, 3, {{0xB0A1, 1}}).Cmap4(3, 1, {{0x41, 1}}), csUnicode},
    };
    for (const Case &c : cases) {
        OpenFont font(Write(c.font, c.name));
        ASSERT_NE(nullptr, font.object()) << c.name;
        EXPECT_EQ(c.csFont, font.object()->csFont) << c.name;
    }
}

// ----------------------------------------------------------------- sizing

TEST(SetPointSize, ComputesTheScaleAndTheBitmapSize) {
    OpenFont font(Write(SquareFont().UnitsPerEm(2048).BoundingBox(0, -400, 2048, 1600), "scale"));
    ASSERT_TRUE(SetPointSize(font.handle, 12, 96));
    _TTFont *pF = font.object();
    EXPECT_EQ(128, pF->Multiplier);  // 12 * 96 * 16384 / (2048 * 72)
    EXPECT_EQ(128, pF->G.Multiplier);
    EXPECT_EQ(12, pF->G.PointSize);
    EXPECT_EQ(96, pF->G.Resolution);
    EXPECT_EQ(0, pF->G.S.xMinMult);
    EXPECT_EQ(-3, pF->G.S.yMinMult);  // -400 * 128 / 16384 = -3.1, truncated
    EXPECT_EQ(16, pF->G.S.xMaxMult);
    EXPECT_EQ(13, pF->G.S.yMaxMult);  // 1600 * 128 / 16384 = 12.5, rounded
    EXPECT_EQ(17, pF->G.BM.CharHPixels);
    EXPECT_EQ(17, pF->G.BM.CharVLines);
    EXPECT_EQ(4, pF->G.BM.CharHBytes);
    EXPECT_EQ(35u, pF->G.S.ScanLines);
}

TEST(SetPointSize, ShiftsABaselineBoxByTheDescenderOnce) {
    OpenFont font(Write(SquareFont().BoundingBox(0, 0, 1000, 800).Hhea(800, -200), "descender"));
    ASSERT_TRUE(SetPointSize(font.handle, 10, 72));
    EXPECT_EQ(-200, font.object()->yMin);
    EXPECT_EQ(600, font.object()->yMax);
    ASSERT_TRUE(SetPointSize(font.handle, 20, 72));
    EXPECT_EQ(-200, font.object()->yMin);
    EXPECT_EQ(600, font.object()->yMax);
}

TEST(SetPointSize, RefusesSizesOutsideTheSupportedRange) {
    // One pixel per font unit at 1000 points: the box is exactly as many rows
    // tall as its height in units, plus one.
    OpenFont tallest(Write(SquareFont().BoundingBox(0, 0, 100, 404).Hhea(800, 0), "rows405"));
    EXPECT_EQ(1, SetPointSize(tallest.handle, 1000, 72));
    EXPECT_EQ(405, tallest.object()->G.BM.CharVLines);
    OpenFont tooTall(Write(SquareFont().BoundingBox(0, 0, 100, 405).Hhea(800, 0), "rows406"));
    EXPECT_EQ(0, SetPointSize(tooTall.handle, 1000, 72));
    EXPECT_EQ(0, tooTall.object()->cInitialized);
    EXPECT_EQ(1, SetPointSize(tooTall.handle, 10, 72));  // a later size may succeed

    OpenFont font(Write(SquareFont().BoundingBox(0, 0, 100, 100).Hhea(800, 0), "range"));
    EXPECT_EQ(1, SetPointSize(font.handle, 1820, 72));  // 131040
    EXPECT_EQ(0, SetPointSize(font.handle, 1821, 72));  // 131112 > 131071
    EXPECT_EQ(0, SetPointSize(font.handle, 0, 72));
    EXPECT_EQ(0, SetPointSize(font.handle, 12, -72));
    EXPECT_EQ(0, SetPointSize(0, 12, 72));

    OpenFont noUnits(Write(SquareFont().UnitsPerEm(0), "units0"));
    ASSERT_NE(0, noUnits.handle);
    EXPECT_EQ(0, SetPointSize(noUnits.handle, 12, 72));
}

// -------------------------------------------------------------- encodings

TEST(SetEncoding, StoresTheCallersCharacterSet) {
    OpenFont font(Write(SquareFont(), "encoding"));
    EXPECT_EQ(0, SetEncoding(0, 137));
    EXPECT_EQ(137, SetEncoding(font.handle, 137));
    EXPECT_EQ(137, font.object()->csDesired);
    EXPECT_EQ(241, SetEncoding(font.handle, 241));
    EXPECT_EQ(0, SetEncoding(font.handle, 0));
}

// ------------------------------------------------------------ GetBitmap road

TEST(GetBitmap, RefusesWithoutLeavingTracesInTheOutParameters) {
    OpenFont font(Write(SquareFont().Cmap4(3, 4, {{0xA440, 1}}), "refusals"));
    int32_t glyph = 1;
    int width = -7, height = -7;
    SetEncoding(font.handle, 241);
    EXPECT_EQ(nullptr, GetBitmap(font.handle, GlyphBytes(glyph), &width, &height, 0))
        << "no size set yet";
    ASSERT_TRUE(SetPointSize(font.handle, 16, 72));
    SetEncoding(font.handle, 0);
    EXPECT_EQ(nullptr, GetBitmap(font.handle, GlyphBytes(glyph), &width, &height, 0));
    SetEncoding(font.handle, 128);  // Shift-JIS text, Big5 font
    EXPECT_EQ(nullptr, GetBitmap(font.handle, "\x88\x9f", &width, &height, 0));
    EXPECT_EQ(nullptr, GetBitmap(0, GlyphBytes(glyph), &width, &height, 0));
    EXPECT_EQ(-7, width);
    EXPECT_EQ(-7, height);
}

TEST(GetBitmap, NativeDoubleByteCodesAndGlyphNumbers) {
    OpenFont font(Write(SquareFont().Cmap4(3, 2, {{0x889F, 1}, {0x0041, 1}}), "native"));
    ASSERT_TRUE(SetPointSize(font.handle, 16, 72));
    int width = 0, height = 0;
    auto inked = [&](const unsigned char *bits) {
        for (int i = 0; i < font.object()->G.BM.MemSize; ++i)
            if (bits[i] != 0xFF) return true;
        return false;
    };
    SetEncoding(font.handle, 128);
    const unsigned char *first = GetBitmap(font.handle, "\x88\x9f", &width, &height, 0);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(font.object()->G.BM.CharHPixels, width);
    EXPECT_EQ(font.object()->G.BM.CharVLines, height);
    EXPECT_TRUE(inked(first));
    EXPECT_TRUE(inked(GetBitmap(font.handle, std::string("\x00\x41", 2).c_str(), &width, &height, 0)));
    EXPECT_FALSE(inked(GetBitmap(font.handle, "\x88\xa0", &width, &height, 0)))
        << "an unmapped code draws glyph 0, empty here";

    SetEncoding(font.handle, 241);
    int32_t glyph = 1;
    const unsigned char *again = GetBitmap(font.handle, GlyphBytes(glyph), &width, &height, 0);
    EXPECT_EQ(first, again) << "the bitmap belongs to the font and is reused";
    EXPECT_TRUE(inked(again));
}

TEST(GetBitmap, VerticalFlagLastsUntilTheNextCall) {
    OpenFont font(Write(SquareFont().Mort({{1, 1}}), "vertical"));
    ASSERT_TRUE(SetPointSize(font.handle, 16, 72));
    SetEncoding(font.handle, 241);
    int32_t glyph = 1;
    int width = 0, height = 0;
    GetBitmap(font.handle, GlyphBytes(glyph), &width, &height, KELMOR_VERTICAL | 1);
    EXPECT_EQ(1, font.object()->iVertical);
    GetBitmap(font.handle, GlyphBytes(glyph), &width, &height, 1);
    EXPECT_EQ(0, font.object()->iVertical);
}

// ---------------------------------------------------------------- closing

TEST(CloseTTFont, ClosedHandlesAreRejectedEverywhere) {
    EXPECT_EQ(0, CloseTTFont(0));
    int32_t handle = OpenTTFont(Write(SquareFont(), "close").c_str());
    ASSERT_NE(0, handle);
    EXPECT_EQ(0, CloseTTFont(handle));
    EXPECT_EQ(0, CloseTTFont(handle));
    EXPECT_EQ(0, SetPointSize(handle, 12, 72));
    EXPECT_EQ(0, SetEncoding(handle, 241));
    char name[16] = "junk";
    int id = -1;
    EXPECT_EQ(0, GetFontNames(handle, &id, &id, &id, 4, name, sizeof name));
    EXPECT_STREQ("", name);
    EXPECT_EQ(0, GetFontNames(handle, &id, &id, &id, 4, nullptr, 16));
    EXPECT_EQ(0, GetFontInfo(handle));
}

}  // namespace
