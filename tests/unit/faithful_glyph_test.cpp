// The faithful mode's glyph loading: phantom points and the programs that
// read and move them, composite glyphs assembled from components hinted one
// by one, and the flag bits of the glyph data that are not touch marks.
// Fonts are built for each case; the points are read from the glyph record
// after GetBitmap.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "font_builder.h"
#include "kelmor.h"
#include "test_paths.h"
#include "ttasm.h"
#include "ttf/api/handles.h"
#include "ttf/font/ttf.h"

using namespace kelmor_test;

namespace {

// 1000 units per em at 16 pixels per em: one unit is 1.024/64 pixel, so
// that truncating and rounding scales differ, and 40 units are 40.96/64.
constexpr int kUnitsPerEm = 1000;
constexpr int kPpem = 16;

// A square of `size` units with its lower left corner at (x, y), clockwise.
Contour Square(int16_t x, int16_t y, int16_t size) {
    return {{x, y}, {x, int16_t(y + size)}, {int16_t(x + size), int16_t(y + size)},
            {int16_t(x + size), y}};
}

// hmtx with one full record (advance, left side bearing) per glyph.
Bytes Hmtx(const std::vector<std::pair<uint16_t, int16_t>> &metrics) {
    BEWriter w;
    for (const auto &[advance, bearing] : metrics) w.U16(advance).I16(bearing);
    return w.bytes;
}

class FaithfulGlyph : public ::testing::Test {
protected:
    // Opens the font at 16 ppem with the given options and draws `glyph`;
    // the glyph record then holds its outline and phantom points.
    const kelmor::_TtfGlyph &Draw(const FontBuilder &font, int32_t glyph,
                                  int options = KELMOR_FAITHFUL, int ppem = kPpem) {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::string path =
            font.WriteTo(ScratchDir("faithful_glyph_" + name) + "/" +
                         std::to_string(handles_.size()) + ".ttf");
        const int32_t handle = OpenTTFont(path.c_str());
        EXPECT_NE(0, handle);
        handles_.push_back(handle);
        // These glyphs try the faithful load and the glyphs' own programs;
        // a font without programs would otherwise go to the auto-hinter.
        SetRenderOptions(handle, options | KELMOR_NO_AUTOHINT);
        EXPECT_EQ(1, SetPointSize(handle, ppem, 72));
        SetEncoding(handle, 241);
        int width = 0, height = 0;
        bits_ = GetBitmap(handle, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
        bitmapBytes_ = bits_ ? (width + 15) / 16 * 2 * height : 0;
        return kelmor::FontFromHandle(handle)->G;
    }
    // Ink pixels of the last bitmap drawn (0 bits after GetBitmap).
    int Ink() const {
        int ink = 0;
        for (int i = 0; i < bitmapBytes_; ++i)
            for (int b = 0; b < 8; ++b) ink += ((bits_[i] >> b) & 1) == 0;
        return ink;
    }
    void TearDown() override {
        for (int32_t handle : handles_) CloseTTFont(handle);
    }

    std::vector<int32_t> handles_;
    const unsigned char *bits_ = nullptr;
    int bitmapBytes_ = 0;
};

int32_t Advance(const kelmor::_TtfGlyph &G) { return G.Phantom[1].x - G.Phantom[0].x; }

// Glyph 1 is a square whose program is `program`; its point numbers 4-7
// are the phantom points.  Advance 560 units: 573.44/64 scaled, 573
// rounded to 1/64 and 576 (9 pixels) on the grid.
FontBuilder SquareWithProgram(const std::string &program) {
    return FontBuilder()
        .UnitsPerEm(kUnitsPerEm)
        .AddGlyph(Glyph::Simple({Square(100, 0, 200)}, Assemble(program)))
        .RawTable("hmtx", Hmtx({{500, 0}, {560, 100}}));
}

TEST_F(FaithfulGlyph, ProgramsReadAndMoveThePhantomPoints) {
    struct Case {
        const char *program;
        int32_t advance;   // Phantom[1].x - Phantom[0].x after hinting
        int32_t point0x;   // the square's first point, from the origin
        int32_t point1x;
    };
    const Case cases[] = {
        // The advance rounded to whole pixels before any program runs.
        {"", 576, 102, 102},
        // Moving the advance point widens the glyph's advance.
        {"SVTCA[1] PUSHB 5 64 SHPIX", 640, 102, 102},
        // Moving the origin moves the outline the other way.
        {"SVTCA[1] PUSHB 4 64 SHPIX", 512, 38, 38},
        // The two distances from origin to advance point: current (the
        // rounded advance) and original (as scaled), each added to one
        // point (which MD opcode reads which is the interpreter's matter).
        {"SVTCA[1] PUSHB 0 5 4 MD[0] SHPIX PUSHB 1 5 4 MD[1] SHPIX", 576, 0, 0},
    };
    for (const Case &c : cases) {
        const kelmor::_TtfGlyph &G = Draw(SquareWithProgram(c.program), 1);
        ASSERT_EQ(1, G.NumContours) << c.program;
        // The program also had the points in font units, phantoms included.
        EXPECT_EQ(G.Scale, G.UnscaledScale);
        EXPECT_EQ(100, G.Unscaled[0].x);
        EXPECT_EQ(200, G.Unscaled[1].y);
        EXPECT_EQ(560, G.Unscaled[5].x);
        EXPECT_EQ(c.advance, Advance(G)) << c.program;
        EXPECT_EQ(0, G.Phantom[0].x) << c.program;
        if (c.point0x != 0) {
            EXPECT_EQ(c.point0x, G.Zone1[0].Cur.x) << c.program;
            EXPECT_EQ(c.point1x, G.Zone1[1].Cur.x) << c.program;
        } else {
            const int32_t moved[2] = {G.Zone1[0].Cur.x - 102, G.Zone1[1].Cur.x - 102};
            EXPECT_EQ(576 + 573, moved[0] + moved[1]) << c.program;
            EXPECT_TRUE(moved[0] == 576 || moved[1] == 576) << c.program;
        }
    }
}

TEST_F(FaithfulGlyph, PhantomPointsFollowTheMetricsTables) {
    // hhea: ascender 800, descender -200; the square's top is at 200 units.
    const FontBuilder plain = SquareWithProgram("");
    BEWriter vhea;
    vhea.U32(0x00011000).Pad(36);
    vhea.bytes[34] = 0;
    vhea.bytes[35] = 2;  // two long vertical metrics
    BEWriter vmtx;
    vmtx.U16(1000).I16(0).U16(900).I16(50);  // glyph 1: height 900, top bearing 50
    // hdmx: one record of 4 bytes, for 16 ppem, glyph 1 12 pixels wide.
    BEWriter hdmx;
    hdmx.U16(0).U16(1).U32(4).U8(16).U8(12).U8(8).U8(12);
    Bytes otherSize = hdmx.bytes;
    otherSize[8] = 17;
    struct Case {
        const char *what;
        FontBuilder font;
        int options;
        int32_t advance, top, bottom;
    };
    const Case cases[] = {
        // Without vertical metrics: from the ascender (800) down the
        // ascender minus descender (1000 units).
        {"hinted", plain, KELMOR_FAITHFUL, 576, 832, -192},
        {"unhinted", plain, KELMOR_FAITHFUL | KELMOR_NO_HINTING, 573, 819, -205},
        // With vhea and vmtx: 200 + 50 above the baseline, 900 tall.
        {"vmtx", SquareWithProgram("").RawTable("vhea", vhea.bytes).RawTable("vmtx", vmtx.bytes),
         KELMOR_FAITHFUL | KELMOR_NO_HINTING, 573, 256, -666},
        // hdmx gives hinted glyphs their advance in whole pixels.
        {"hdmx", SquareWithProgram("").RawTable("hdmx", hdmx.bytes), KELMOR_FAITHFUL, 768, 832,
         -192},
        {"hdmx, unhinted", SquareWithProgram("").RawTable("hdmx", hdmx.bytes),
         KELMOR_FAITHFUL | KELMOR_NO_HINTING, 573, 819, -205},
        {"hdmx, other size", SquareWithProgram("").RawTable("hdmx", otherSize), KELMOR_FAITHFUL,
         576, 832, -192},
        // hhea promises two records where hmtx holds one: no advance, and
        // no bearing (the origin falls on the glyph's left edge).
        {"short hmtx", SquareWithProgram("").RawTable("hmtx", Hmtx({{500, 0}})),
         KELMOR_FAITHFUL | KELMOR_NO_HINTING, 0, 819, -205},
    };
    for (const Case &c : cases) {
        const kelmor::_TtfGlyph &G = Draw(c.font, 1, c.options);
        EXPECT_EQ(c.advance, Advance(G)) << c.what;
        EXPECT_EQ(c.top, G.Phantom[2].y) << c.what;
        EXPECT_EQ(c.bottom, G.Phantom[3].y) << c.what;
    }
}

// Glyph 1: a square of 100 units at the origin whose program rounds its
// point 2 in x (102 to 128); glyph 2: a single point at (40, -20).
FontBuilder CompositeFont(std::vector<Component> components, const std::string &program = "") {
    return FontBuilder()
        .UnitsPerEm(kUnitsPerEm)
        .AddGlyph(Glyph::Simple({Square(0, 0, 100)}, Assemble("SVTCA[1] PUSHB 2 MDAP[1]")))
        .AddGlyph(Glyph::Simple({{{40, -20}}}))
        .AddGlyph(Glyph::Composite(std::move(components), Assemble(program)))
        .RawTable("hmtx", Hmtx({{500, 0}, {560, 0}, {300, 0}, {700, 0}}));
}

TEST_F(FaithfulGlyph, CompositesPlaceTheirHintedComponents) {
    struct Case {
        const char *what;
        std::vector<Component> components;
        int options;
        int point;  // of the assembled outline
        int32_t x, y;
    };
    const uint16_t round = kRoundXYToGrid;
    constexpr uint16_t kScaledComponentOffset = 0x0800;
    const Case cases[] = {
        // Offsets scaled with the rounded scale: 40 units are 41/64.
        {"offset", {{1, 40, 40}}, KELMOR_FAITHFUL, 0, 41, 41},
        // Rounded to the grid when the component asks, only when hinted.
        {"rounded", {{1, 40, 40, true, false, {}, round}}, KELMOR_FAITHFUL, 0, 64, 64},
        {"rounded, unhinted", {{1, 40, 40, true, false, {}, round}},
         KELMOR_FAITHFUL | KELMOR_NO_HINTING, 0, 41, 41},
        // The component's program ran before it was placed: its rounded
        // point 2 moved with it, off the grid again.
        {"hinted first", {{1, 40, 0}}, KELMOR_FAITHFUL, 2, 128 + 41, 102},
        // Point matching: the second square's point 0 onto the first's
        // point 2, as hinted.
        {"matched", {{1, 40, 0}, {1, 2, 0, false}}, KELMOR_FAITHFUL, 4, 128 + 41, 102},
        // A 2x2 transform: xscale 1, scale01 0.5 (y from x), scale10 0,
        // yscale 1, each product rounded: (41, -20) becomes (41, 21 - 20).
        {"2x2", {{2, 0, 0, true, false, {16384, 8192, 0, 16384}}}, KELMOR_FAITHFUL, 0, 41, 1},
        {"x and y scales", {{2, 0, 0, true, false, {8192, 16384}}}, KELMOR_FAITHFUL, 0, 21, -20},
        // Halved to (21, -10); the offset (40, 40) too when the component
        // says its offset is scaled with it.
        {"offset unscaled", {{2, 40, 40, true, false, {8192}}}, KELMOR_FAITHFUL, 0, 21 + 41,
         -10 + 41},
        {"offset scaled", {{2, 40, 40, true, false, {8192}, kScaledComponentOffset}},
         KELMOR_FAITHFUL, 0, 21 + 20, -10 + 20},
    };
    for (const Case &c : cases) {
        const kelmor::_TtfGlyph &G = Draw(CompositeFont(c.components), 3, c.options);
        ASSERT_GT(G.NumContours, 0) << c.what;
        EXPECT_EQ(c.x, G.Zone1[c.point].Cur.x) << c.what;
        EXPECT_EQ(c.y, G.Zone1[c.point].Cur.y) << c.what;
    }
}

TEST_F(FaithfulGlyph, CompositeProgramsRunOverTheAssembledOutline) {
    // The composite's program numbers points across its components (point
    // 6 is the second square's point 2) and contour ends from its first
    // point; IUP then carries the rest of that square along.
    const FontBuilder font =
        CompositeFont({{1, 0, 0}, {1, 300, 0}}, "SVTCA[1] PUSHB 6 MDAP[1] IUP[1]");
    const kelmor::_TtfGlyph &G = Draw(font, 3);
    ASSERT_EQ(2, G.NumContours);
    EXPECT_EQ(3, G.EndPoints[0]);
    EXPECT_EQ(7, G.EndPoints[1]);
    // The square's own program put its point 2 at 128: 307 + 128 = 435
    // rounds to 448, and the other points follow by 13.
    EXPECT_EQ(448, G.Zone1[6].Cur.x);
    EXPECT_EQ(307 + 13, G.Zone1[4].Cur.x);
    EXPECT_EQ(409 + 13, G.Zone1[7].Cur.x);
    EXPECT_EQ(0, G.Zone1[0].Cur.x) << "the first square stays";
    // Its unscaled originals were the assembled components, at scale 1.
    EXPECT_EQ(0x10000, G.UnscaledScale);
    EXPECT_EQ(435, G.Unscaled[6].x);
    // Failing point matching refuses the glyph, as TrueType does.
    Draw(CompositeFont({{1, 0, 0}, {1, 4, 0, false}}), 3);
    EXPECT_EQ(0, Ink());
}

TEST_F(FaithfulGlyph, UseMyMetricsTakesTheComponentsPhantomPoints) {
    Component own = {1, 0, 0};
    own.extraFlags = kUseMyMetrics;
    // The composite's own advance is 700 units, 717/64 scaled (a
    // composite without a program of its own is not hinted as a whole, so
    // its phantom points stay off the grid); the square's is 560, 9 pixels
    // once rounded and hinted.
    EXPECT_EQ(717, Advance(Draw(CompositeFont({{1, 0, 0}}), 3)));
    EXPECT_EQ(576, Advance(Draw(CompositeFont({{2, 0, 0}, own}), 3)));
}

TEST_F(FaithfulGlyph, CompositesAreFilledAsOneOutline) {
    // A square of 10 pixels and, as a second component, a 6-pixel square
    // drawn the other way round inside it: filled as one outline the inner
    // one is a hole; filled one component at a time both are ink.
    const Contour outer = Square(0, 0, 640);
    const Contour inner = {{128, 128}, {512, 128}, {512, 512}, {128, 512}};
    const FontBuilder font = FontBuilder()
                                 .UnitsPerEm(1024)
                                 .BoundingBox(0, 0, 1024, 1024)
                                 .AddGlyph(Glyph::Simple({outer}))
                                 .AddGlyph(Glyph::Simple({inner}))
                                 .AddGlyph(Glyph::Composite({{1, 0, 0}, {2, 0, 0}}));
    Draw(font, 3, KELMOR_FAITHFUL | KELMOR_NO_HINTING);
    EXPECT_EQ(100 - 36, Ink());
    Draw(font, 3, KELMOR_NO_HINTING);
    EXPECT_EQ(100, Ink());
}

TEST_F(FaithfulGlyph, HostileCompositesFailCleanly) {
    // Glyph 1 names itself; glyphs 2, 3, 4, 7 and 8 fan out 60 ways on each
    // of five levels down to the empty glyph 0 (60^5 loads if nothing
    // stopped them); glyph 5 places a square and then a truncated component.
    auto fan = [](uint16_t glyph) {
        BEWriter w;
        w.I16(-1).I16(0).I16(0).I16(0).I16(0);
        for (int i = 0; i < 60; ++i)
            w.U16(uint16_t(kArgsAreXYValues | (i < 59 ? kMoreComponents : 0))).U16(glyph).U16(0);
        return Glyph::Raw(w.bytes);
    };
    BEWriter truncated;
    truncated.I16(-1).I16(0).I16(0).I16(0).I16(0);
    truncated.U16(kArgsAreXYValues | kMoreComponents).U16(6).U8(0).U8(0);
    const FontBuilder font = FontBuilder()
                                 .UnitsPerEm(1024)
                                 .BoundingBox(0, 0, 1024, 1024)
                                 .AddGlyph(Glyph::Composite({{1, 0, 0}, {6, 0, 0}}))
                                 .AddGlyph(fan(3))
                                 .AddGlyph(fan(4))
                                 .AddGlyph(fan(7))
                                 .AddGlyph(Glyph::Raw(truncated.bytes))
                                 .AddGlyph(Glyph::Simple({Square(0, 0, 640)}))
                                 .AddGlyph(fan(8))
                                 .AddGlyph(fan(0))
                                 .Maxp(&MaxpValues::maxComponentElements, 60)
                                 .Maxp(&MaxpValues::maxComponentDepth, 8);
    for (int32_t glyph : {1, 2, 5}) {
        const kelmor::_TtfGlyph &G = Draw(font, glyph);
        EXPECT_EQ(0, G.NumContours) << "glyph " << glyph;
        EXPECT_EQ(0, Ink()) << "glyph " << glyph;
        EXPECT_EQ(nullptr, G.instructions) << "glyph " << glyph;
    }
    Draw(font, 6);
    EXPECT_EQ(100, Ink()) << "the square draws";
}

// A glyph whose flag bytes carry 0x40 (overlapping contours), which is no
// touch mark: its program moves the right-hand points by 2 pixels and IUP
// carries the left-hand ones along, in either mode.
TEST_F(FaithfulGlyph, FlagBitsOfTheFileAreNoTouchMarks) {
    BEWriter raw;
    raw.I16(1).I16(0).I16(0).I16(640).I16(640);  // one contour, its box
    raw.U16(3);                                  // last point
    const Bytes program = Assemble("SVTCA[1] PUSHB 2 3 2 SLOOP PUSHB 128 SHPIX IUP[1]");
    raw.U16(uint16_t(program.size())).Append(program);
    for (int i = 0; i < 4; ++i) raw.U8(0x41);  // on curve, overlap, 16-bit deltas
    for (int16_t dx : {0, 0, 640, 0}) raw.I16(dx);
    for (int16_t dy : {0, 640, 0, -640}) raw.I16(dy);
    const FontBuilder font = FontBuilder()
                                 .UnitsPerEm(1024)
                                 .AddGlyph(Glyph::Raw(raw.bytes))
                                 .Maxp(&MaxpValues::maxPoints, 4)
                                 .Maxp(&MaxpValues::maxContours, 1);
    for (int options : {0, KELMOR_FAITHFUL}) {
        const kelmor::_TtfGlyph &G = Draw(font, 1, options);
        EXPECT_EQ(128, G.Zone1[0].Cur.x) << "options " << options;
        EXPECT_EQ(128, G.Zone1[1].Cur.x) << "options " << options;
        EXPECT_EQ(768, G.Zone1[2].Cur.x) << "options " << options;
        EXPECT_EQ(0x41, G.Zone1[0].OFlags);
    }
}

}  // namespace
