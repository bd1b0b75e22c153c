// The Latin writing system of the auto-hinter on fonts built in memory:
// blue zones measured from letters of known heights, the x-height scale
// adjustment worked by hand, stem widths for a monochrome target, the edge
// grid-fitting on hand-made edges, and one glyph through the whole stage.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ttf/autohint/autohint.h"
#include "ttf/autohint/autohint_latin.h"

namespace {

using namespace kelmor::autohint;

// ------------------------------------------------------------ outlines

struct Pt {
    int32_t x, y;
    bool on;
};

void AddContour(Outline *o, std::initializer_list<Pt> points) {
    for (const Pt &p : points) {
        o->points.push_back({p.x, p.y});
        o->tags.push_back(p.on ? kTagOnCurve : 0);
    }
    o->contourEnds.push_back(int32_t(o->points.size()) - 1);
}

// A filled rectangle, clockwise as TrueType draws outer contours.
void AddBox(Outline *o, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    AddContour(o, {{x0, y0, true}, {x0, y1, true}, {x1, y1, true}, {x1, y0, true}});
}

// A hole, counter-clockwise.
void AddCounter(Outline *o, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    AddContour(o, {{x0, y0, true}, {x1, y0, true}, {x1, y1, true}, {x0, y1, true}});
}

// A rounded letter whose top and bottom extremes are off-curve points.
void AddRound(Outline *o, int32_t x0, int32_t x1, int32_t top, int32_t bottom) {
    const int32_t mid = (top + bottom) / 2;
    AddContour(o, {{x0, mid, true}, {x0, top, false}, {x1, top, false}, {x1, mid, true},
                   {x1, bottom, false}, {x0, bottom, false}});
}

Outline Box(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    Outline o;
    AddBox(&o, x0, y0, x1, y1);
    return o;
}

Outline Round(int32_t x0, int32_t x1, int32_t top, int32_t bottom) {
    Outline o;
    AddRound(&o, x0, x1, top, bottom);
    return o;
}

// Table rows name their test.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case> &row) {
    return row.param.name;
}

// -------------------------------------------------------------- the font

class FakeFont : public FontAccess {
public:
    explicit FakeFont(uint32_t unitsPerEm = 2048) : unitsPerEm_(unitsPerEm) {
        glyphs_.push_back({});  // .notdef
    }
    uint32_t Add(uint32_t code, const Outline &outline, int32_t advance = 1200) {
        glyphs_.push_back({outline, advance});
        const uint32_t glyph = uint32_t(glyphs_.size() - 1);
        codes_[code] = glyph;
        return glyph;
    }
    uint32_t UnitsPerEm() const override { return unitsPerEm_; }
    uint32_t GlyphCount() const override { return uint32_t(glyphs_.size()); }
    uint32_t GlyphForChar(uint32_t code) override {
        const auto it = codes_.find(code);
        return it == codes_.end() ? 0 : it->second;
    }
    bool NextMappedChar(uint32_t code, uint32_t *next, uint32_t *glyph) override {
        const auto it = codes_.upper_bound(code);
        if (it == codes_.end()) return false;
        *next = it->first;
        *glyph = it->second;
        return true;
    }
    bool LoadFontUnitOutline(uint32_t glyph, Outline *out) override {
        if (glyph >= glyphs_.size()) return false;
        *out = glyphs_[glyph].outline;
        return true;
    }
    int32_t AdvanceWidth(uint32_t glyph) override {
        return glyph < glyphs_.size() ? glyphs_[glyph].advance : 0;
    }
    bool IsItalic() override { return italic; }
    bool italic = false;

private:
    struct Glyph {
        Outline outline;
        int32_t advance;
    };
    uint32_t unitsPerEm_;
    std::vector<Glyph> glyphs_;
    std::map<uint32_t, uint32_t> codes_;
};

// The Latin style's metrics of a font, measured as the stage measures them.
struct Measured {
    FaceGlobals globals;
    LatinMetrics *metrics = nullptr;
};

void Measure(FakeFont *font, uint32_t glyph, Measured *m) {
    ComputeStyleCoverage(&m->globals, font);
    StyleMetrics *metrics = MetricsForGlyph(&m->globals, glyph);
    ASSERT_NE(metrics, nullptr);
    ASSERT_EQ(metrics->style->writingSystem, WritingSystemId::kLatin);
    m->metrics = static_cast<LatinMetrics *>(metrics);
}

Scaler MonoScaler(int32_t ppem, uint32_t unitsPerEm = 2048) {
    Scaler s = {};
    s.xScale = s.yScale = DivFix(ppem * 64, int32_t(unitsPerEm));
    s.target = RenderTarget::kMono;
    s.xPpem = uint32_t(ppem);
    return s;
}

// ------------------------------------------------------------ blue zones

// Heights of the test font's letters, in units of a 2048-unit em.
struct Letters {
    int32_t capTop, capRoundTop, capBottom, capRoundBottom;
    int32_t xTop, xRoundTop, xBottom, xRoundBottom;
    int32_t descender;
};

// H and x are flat, O and o round; p only has a descender.
void AddLetters(FakeFont *font, const Letters &l) {
    font->Add('H', Box(100, l.capBottom, 1100, l.capTop));
    font->Add('O', Round(100, 1100, l.capRoundTop, l.capRoundBottom));
    font->Add('x', Box(100, l.xBottom, 900, l.xTop));
    font->Add('o', Round(100, 900, l.xRoundTop, l.xRoundBottom));
    font->Add('p', Box(100, l.descender, 900, l.xTop));
}

struct Zone {
    int32_t ref, shoot;
    uint32_t flags;
};

struct BlueCase {
    const char *name;
    Letters letters;
    std::vector<Zone> zones;  // in the order of the style's reference strings
};

constexpr uint32_t kTop = kLatinBlueTop;
constexpr uint32_t kXHeight = kLatinBlueTop | kLatinBlueAdjustment;

class BlueZones : public ::testing::TestWithParam<BlueCase> {};

TEST_P(BlueZones, MeasuredFromFlatAndRoundLetters) {
    const BlueCase &c = GetParam();
    FakeFont font;
    AddLetters(&font, c.letters);
    Measured m;
    Measure(&font, font.GlyphForChar('x'), &m);
    const LatinAxis &axis = m.metrics->axis[kDimVert];
    ASSERT_EQ(axis.blueCount, c.zones.size());
    for (size_t i = 0; i < c.zones.size(); ++i) {
        EXPECT_EQ(axis.blues[i].ref.org, c.zones[i].ref) << "zone " << i;
        EXPECT_EQ(axis.blues[i].shoot.org, c.zones[i].shoot) << "zone " << i;
        EXPECT_EQ(axis.blues[i].flags, c.zones[i].flags) << "zone " << i;
    }
}

// The zones, in the reference strings' order: capital top, capital bottom,
// (small f top: no such letters here), x-height, small bottom, descender.
INSTANTIATE_TEST_SUITE_P(
    Fonts, BlueZones,
    ::testing::Values(
        BlueCase{"FlatGivesReferenceRoundGivesOvershoot",
                 {1400, 1430, 0, -20, 1000, 1020, 0, -15, -400},
                 {{1400, 1430, kTop}, {0, -20, 0}, {1000, 1020, kXHeight}, {0, -15, 0}, {-400, -400, 0}}},
        // An overshoot below the reference of a top zone is a measuring
        // accident: both take the mean.
        BlueCase{"OvershootOnTheWrongSideTakesTheMean",
                 {1400, 1380, 0, -20, 1000, 1020, 0, -15, -400},
                 {{1390, 1390, kTop}, {0, -20, 0}, {1000, 1020, kXHeight}, {0, -15, 0}, {-400, -400, 0}}},
        // Sorted by their lower bounds (overshoots of bottom zones), the
        // capital bottom zone (reference 10) reaches over the small bottom
        // zone's reference (0): it is pulled down to it.
        BlueCase{"OverlappingZonesArePulledApart",
                 {1400, 1430, 10, -20, 1000, 1020, 0, -15, -400},
                 {{1400, 1430, kTop}, {0, -20, 0}, {1000, 1020, kXHeight}, {0, -15, 0}, {-400, -400, 0}}}),
    CaseName<BlueCase>);

// A Latin style whose reference letters the font lacks cannot be hinted:
// its glyphs go to the style that only scales.
TEST(LatinStyle, WithoutAnyBlueZoneHandsItsGlyphsToTheScalingStyle) {
    FakeFont font;
    const uint32_t a = font.Add('a', Box(100, 0, 900, 1000));
    FaceGlobals globals;
    ComputeStyleCoverage(&globals, &font);
    ASSERT_EQ(globals.glyphStyles[a] & kStyleMask, uint16_t(FindStyle("latn_dflt")));
    StyleMetrics *metrics = MetricsForGlyph(&globals, a);
    ASSERT_NE(metrics, nullptr);
    EXPECT_EQ(metrics->style->writingSystem, WritingSystemId::kDummy);
    EXPECT_EQ(globals.glyphStyles[a] & kStyleMask, uint16_t(FindStyle("none_dflt")));
}

// Hostile outlines: contour ends past the points or out of order, and
// outlines of single-point contours, are measured without reading outside
// them (the address sanitizer watches), and the letters that are fine
// still give their zones.
TEST(LatinStyle, MalformedReferenceOutlinesAreSkipped) {
    FakeFont font;
    Outline broken = Box(100, 0, 1100, 1500);
    broken.contourEnds = {2, 1, 3};
    font.Add('T', broken);
    Outline pastEnd = Box(100, 0, 1100, 1500);
    pastEnd.contourEnds = {40};
    font.Add('E', pastEnd);
    Outline anchors;
    for (int i = 0; i < 4; ++i) AddContour(&anchors, {{100 * i, 2000, true}});
    font.Add('Z', anchors);
    font.Add('H', Box(100, 0, 1100, 1400));
    font.Add('x', Box(100, 0, 900, 1000));
    Measured m;
    Measure(&font, font.GlyphForChar('x'), &m);
    const LatinAxis &axis = m.metrics->axis[kDimVert];
    ASSERT_GE(axis.blueCount, 1u);
    // The capital top zone: H at 1400 and, from the outline of anchors
    // only, a flat sample at 0 (no contour of two points gives a best
    // point; the reference then keeps its starting value); the median of
    // the two sorted samples is the second.
    EXPECT_EQ(axis.blues[0].ref.org, 1400);
    EXPECT_EQ(axis.blues[0].shoot.org, 1400);
}

// --------------------------------------------------- the x-height at a size

struct XHeightCase {
    const char *name;
    int32_t xRoundTop;  // the x-height zone's overshoot
    int32_t capTop;     // the tallest letter
    int32_t yScale;     // expected, at 12 ppem (scale 24576)
};

class XHeight : public ::testing::TestWithParam<XHeightCase> {};

// Worked by hand at 12 ppem, 2048 units (scale 24576 = 0.375 pixel per
// unit in 16.16):
//  - overshoot 1020 scales to 383/64 px; 383 + 40 rounds down to 384, so
//    the scale becomes 24576 * 384 / 383 = 24640 (the tallest point, 2048,
//    moves by 2048 * 64 / 65536 = 2/64 px, under two pixels);
//  - 917 scales to 344; 384 again: 24576 * 384 / 344 = 27434 moves 2048
//    by 89/64 px (kept), but a letter 3000 units tall by 131/64 px: two
//    pixels or more, and the scale stays;
//  - 1060 scales to 398; 438 rounds down to 384: 24576 * 384 / 398 = 23712.
TEST_P(XHeight, ScaleFitsTheXHeightToThePixelGrid) {
    const XHeightCase &c = GetParam();
    FakeFont font;
    AddLetters(&font, {c.capTop, c.capTop, 0, -20, c.xRoundTop - 20, c.xRoundTop, 0, -15, -400});
    Measured m;
    Measure(&font, font.GlyphForChar('x'), &m);
    ScaleLatinMetrics(m.metrics, MonoScaler(12));
    EXPECT_EQ(m.metrics->axis[kDimVert].scale, c.yScale);
    EXPECT_EQ(m.metrics->axis[kDimHorz].scale, 24576);  // x keeps its scale
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, XHeight,
    ::testing::Values(XHeightCase{"RoundsUpByOneSixtyFourth", 1020, 1400, 24640},
                      XHeightCase{"RoundsUpByForty", 917, 1400, 27434},
                      XHeightCase{"TallLetterForbidsTheChange", 917, 3000, 24576},
                      XHeightCase{"RoundsDown", 1060, 1400, 23712}),
    CaseName<XHeightCase>);

// At 12 ppem with the scale adjusted to 24640: the x-height zone's
// reference (1000) scales to 376, its height (20 units) to -8/64 px, under
// half a pixel, so the zone is active with no overshoot and both ends fit
// to 384 (six pixels).  The capital zone (1400 / 1430) fits to 512.
TEST(XHeightZone, ActiveZoneFitsReferenceAndOvershootToOnePixelRow) {
    FakeFont font;
    AddLetters(&font, {1400, 1430, 0, -20, 1000, 1020, 0, -15, -400});
    Measured m;
    Measure(&font, font.GlyphForChar('x'), &m);
    ScaleLatinMetrics(m.metrics, MonoScaler(12));
    const LatinBlue &xHeight = m.metrics->axis[kDimVert].blues[2];
    EXPECT_EQ(xHeight.ref.cur, 376);
    EXPECT_EQ(xHeight.shoot.cur, 383);
    EXPECT_EQ(xHeight.ref.fit, 384);
    EXPECT_EQ(xHeight.shoot.fit, 384);
    EXPECT_TRUE(xHeight.flags & kBlueActive);
    const LatinBlue &capital = m.metrics->axis[kDimVert].blues[0];
    EXPECT_EQ(capital.ref.fit, 512);
    EXPECT_EQ(capital.shoot.fit, 512);
}

// A sub-top zone (Khmer's, for forms above the letters) that overlaps an
// active zone of another kind at this size would act like a neutral zone:
// it is switched off; one that stays clear keeps working.  At 12 ppem the
// x-height zone (1000 / 1020) and a sub-top zone at 1000 / 1010 both fit
// to 384; one at 700 / 710 fits to 256.
struct SubTopCase {
    const char *name;
    int32_t ref, shoot;
    bool active;
};

class SubTopZone : public ::testing::TestWithParam<SubTopCase> {};

TEST_P(SubTopZone, OffWhereItOverlapsAnotherZone) {
    const SubTopCase &c = GetParam();
    LatinMetrics metrics;
    metrics.unitsPerEm = 2048;
    LatinAxis &axis = metrics.axis[kDimVert];
    axis.blueCount = 2;
    axis.blues[0] = {{1000, 0, 0}, {1020, 0, 0}, 1020, 0, kLatinBlueTop};
    axis.blues[1] = {{c.ref, 0, 0}, {c.shoot, 0, 0}, c.shoot, 0, kLatinBlueSubTop};
    ScaleLatinMetrics(&metrics, MonoScaler(12));
    EXPECT_TRUE(axis.blues[0].flags & kBlueActive);
    EXPECT_EQ((axis.blues[1].flags & kBlueActive) != 0, c.active);
}

INSTANTIATE_TEST_SUITE_P(Zones, SubTopZone,
                         ::testing::Values(SubTopCase{"OverlappingIsOff", 1000, 1010, false},
                                           SubTopCase{"ClearStaysOn", 700, 710, true}),
                         CaseName<SubTopCase>);

// ----------------------------------------------------------- stem widths

struct StemCase {
    const char *name;
    RenderTarget target;
    Dimension dim;
    int32_t standard;  // the axis's standard width, scaled (26.6)
    int32_t width;
    int32_t expected;
};

class StemWidth : public ::testing::TestWithParam<StemCase> {};

TEST_P(StemWidth, FittedAsTheTargetWants) {
    const StemCase &c = GetParam();
    FakeFont font;
    LatinMetrics metrics;
    metrics.unitsPerEm = 2048;
    metrics.scaler.target = c.target;
    metrics.scaler.xPpem = 12;
    for (LatinAxis &axis : metrics.axis) {
        axis.widthCount = 1;
        axis.widths[0] = {c.standard, c.standard, c.standard};
    }
    GlyphHints hints;
    InitLatinHints(&hints, &metrics);
    EXPECT_EQ(FitLatinStemWidth(hints, c.dim, c.width, 0, 0, 0), c.expected);
}

// Monochrome, along x: a width within 3/4 pixel of the standard one (from
// the standard width rounded) takes it, then rounds to whole pixels, at
// least one.  Along y they round up only from three quarters of a pixel.
INSTANTIATE_TEST_SUITE_P(
    Widths, StemWidth,
    ::testing::Values(
        StemCase{"MonoXSnapsToStandardThenRounds", RenderTarget::kMono, kDimHorz, 100, 90, 128},
        StemCase{"MonoXThinStemKeepsOnePixel", RenderTarget::kMono, kDimHorz, 100, 40, 64},
        StemCase{"MonoXWideStemSnapsDownToStandard", RenderTarget::kMono, kDimHorz, 100, 170, 128},
        StemCase{"MonoXFarFromStandardRoundsItself", RenderTarget::kMono, kDimHorz, 100, 200, 192},
        StemCase{"MonoXNegativeWidthKeepsItsSign", RenderTarget::kMono, kDimHorz, 100, -90, -128},
        StemCase{"MonoYSnapsToStandardThenRounds", RenderTarget::kMono, kDimVert, 70, 100, 64},
        StemCase{"MonoYRoundsUpFromThreeQuarters", RenderTarget::kMono, kDimVert, 70, 176, 192},
        StemCase{"MonoYRoundsDownBelowThreeQuarters", RenderTarget::kMono, kDimVert, 70, 170, 128},
        StemCase{"MonoYThinStemKeepsOnePixel", RenderTarget::kMono, kDimVert, 70, 30, 64},
        // Grey targets quantize lightly: near the standard width, the
        // standard width itself.
        StemCase{"NormalNearStandardTakesIt", RenderTarget::kNormal, kDimHorz, 100, 90, 100},
        StemCase{"NormalUnderTwoPixelsKeepsASmallFraction", RenderTarget::kNormal, kDimHorz, 40, 150, 138},
        // Light targets leave stems alone.
        StemCase{"LightLeavesWidths", RenderTarget::kLight, kDimVert, 70, 100, 100}),
    CaseName<StemCase>);

// A standard width under 5/8 pixel marks the axis extra light: its stems
// are not fitted at all.
TEST(StemWidthExtraLight, ThinStandardWidthLeavesStemsUnfitted) {
    LatinMetrics metrics;
    metrics.unitsPerEm = 2048;
    metrics.axis[kDimHorz].standardWidth = 60;  // 60 units at 12 ppem: 22/64 px
    metrics.axis[kDimVert].standardWidth = 200;
    ScaleLatinMetrics(&metrics, MonoScaler(12));
    GlyphHints hints;
    InitLatinHints(&hints, &metrics);
    EXPECT_TRUE(metrics.axis[kDimHorz].extraLight);
    EXPECT_EQ(FitLatinStemWidth(hints, kDimHorz, 90, 0, 0, 0), 90);
    EXPECT_EQ(FitLatinStemWidth(hints, kDimVert, 90, 0, 0, 0), 64);
}

// --------------------------------------------------- edge grid-fitting

// Edges made by hand (unhinted positions in 26.6), then fitted along x
// for a monochrome target without standard widths.
struct EdgeSpec {
    int32_t opos;
    int link;   // index of the stem partner, or -1
    int serif;  // index of the stem edge it hangs from, or -1
};

struct EdgeCase {
    const char *name;
    std::vector<EdgeSpec> edges;
    std::vector<int32_t> expected;
};

class EdgeFitting : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(EdgeFitting, StemsAnchorAndSerifs) {
    const EdgeCase &c = GetParam();
    LatinMetrics metrics;
    metrics.unitsPerEm = 2048;
    metrics.scaler.target = RenderTarget::kMono;
    metrics.axis[kDimHorz].scale = metrics.axis[kDimVert].scale = 24576;
    metrics.axis[kDimHorz].standardWidth = metrics.axis[kDimVert].standardWidth = 200;
    GlyphHints hints;
    InitLatinHints(&hints, &metrics);
    std::vector<Edge> &edges = hints.axis[kDimHorz].edges;
    edges.resize(c.edges.size());
    for (size_t i = 0; i < c.edges.size(); ++i) {
        edges[i] = Edge{};
        edges[i].opos = edges[i].pos = c.edges[i].opos;
        if (c.edges[i].link >= 0) edges[i].link = &edges[size_t(c.edges[i].link)];
        if (c.edges[i].serif >= 0) edges[i].serif = &edges[size_t(c.edges[i].serif)];
    }
    HintLatinEdges(&hints, kDimHorz);
    for (size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(edges[i].pos, c.expected[i]) << "edge " << i;
}

// A stem from 100 to 175 (75/64 px) fits to one pixel; its centre (137)
// is nearer to the pixel centre at 160 than to the one at 96, so it spans
// 128..192.  The next stem keeps its distance to the anchor (centre 463),
// then centres itself likewise (at 480).  A serif within 80/64 px of its stem
// edge moves with it; farther edges without a stem keep their distance to
// the anchor rounded to half a pixel, or are interpolated between the
// placed edges around them.
INSTANTIATE_TEST_SUITE_P(
    Glyphs, EdgeFitting,
    ::testing::Values(
        EdgeCase{"FirstStemCentresOnAPixel", {{100, 1, -1}, {175, 0, -1}}, {128, 192}},
        EdgeCase{"SecondStemFollowsTheAnchor",
                 {{100, 1, -1}, {175, 0, -1}, {400, 3, -1}, {470, 2, -1}},
                 {128, 192, 448, 512}},
        EdgeCase{"SerifMovesWithItsStem", {{100, 1, -1}, {175, 0, -1}, {230, -1, 1}}, {128, 192, 247}},
        EdgeCase{"FarEdgeKeepsHalfPixelDistanceToTheAnchor",
                 {{100, 1, -1}, {175, 0, -1}, {300, -1, 1}},
                 {128, 192, 320}},
        EdgeCase{"LoneEdgeBetweenStemsIsInterpolated",
                 {{100, 1, -1}, {175, 0, -1}, {300, -1, -1}, {400, 4, -1}, {470, 3, -1}},
                 {128, 192, 334, 448, 512}},
        EdgeCase{"LoneEdgesWithoutStemsRoundToThePixel", {{100, -1, -1}, {230, -1, -1}}, {128, 256}}),
    CaseName<EdgeCase>);

// ------------------------------------------------------- a whole glyph

// A font whose o (a ring with 200-unit stems) gives the standard widths and
// the x-height (1000), and whose H gives the capital zone (0 to 1400).
FakeFont PlainFont() {
    FakeFont font;
    Outline o = Box(100, 0, 1000, 1000);
    AddCounter(&o, 300, 200, 800, 800);
    font.Add('o', o);
    font.Add('H', Box(100, 0, 1100, 1400));
    return font;
}

// At 12 ppem the x-height (1000 units, 375/64 px) lifts the y scale to
// 25166 so that it lands on six pixels.  The bar l (200 to 400 by 0 to
// 1400) then has its stem fitted to one pixel at 64..128, its bottom on
// the baseline and its top on the capital zone, 1400 * 25166 / 65536 =
// 538/64 rounded to 512 (eight pixels).  The origin stays (the left side
// bearing, 75/64 px, rounds to 0 after the stem moved left) and the
// advance (600 units, 225/64 px; 203/64 after the stem) rounds to three
// pixels.
TEST(LatinGlyph, BarSnapsToStemWidthBaselineAndCapitalHeight) {
    FakeFont font = PlainFont();
    const uint32_t l = font.Add('l', Box(200, 0, 400, 1400), 600);
    AutohintFace face;
    HintedGlyph out;
    ASSERT_TRUE(AutohintGlyph(&face, &font, l, 12, RenderTarget::kMono, &out));
    const std::vector<Vector> expected = {{64, 0}, {64, 512}, {128, 512}, {128, 0}};
    ASSERT_EQ(out.outline.points.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(out.outline.points[i].x, expected[i].x) << "point " << i;
        EXPECT_EQ(out.outline.points[i].y, expected[i].y) << "point " << i;
    }
    EXPECT_EQ(out.advance, 192);
}

// Italic faces keep x as scaled: only the heights are fitted.
TEST(LatinGlyph, ItalicFaceKeepsHorizontalPositions) {
    FakeFont font = PlainFont();
    font.italic = true;
    const uint32_t l = font.Add('l', Box(200, 0, 400, 1400), 600);
    AutohintFace face;
    HintedGlyph out;
    ASSERT_TRUE(AutohintGlyph(&face, &font, l, 12, RenderTarget::kMono, &out));
    ASSERT_EQ(out.outline.points.size(), 4u);
    EXPECT_EQ(out.outline.points[0].x, 75);  // 200 * 24576 / 65536
    EXPECT_EQ(out.outline.points[2].x, 150);
    EXPECT_EQ(out.outline.points[1].y, 512);
}

// Coordinates at the 16-bit limits in a 16-unit em at 40000 ppem (the
// scale saturates at 2^31 - 1) put positions near 2^30 in 26.6: the
// fitting's sums and differences must still stay within 32 bits (the
// undefined behaviour sanitizer watches).
TEST(LatinGlyph, AbsurdSizeIsHintedWithoutOverflow) {
    FakeFont font(16);
    Outline o = Box(-30000, -30000, 30000, 30000);
    AddCounter(&o, -20000, -20000, 20000, 20000);
    font.Add('o', o);
    font.Add('H', Box(-30000, -32000, 30000, 32000));
    Outline l = Box(-32000, -32000, -31000, 32000);
    AddBox(&l, 31000, -32000, 32000, 32000);
    const uint32_t glyph = font.Add('l', l, 32000);
    AutohintFace face;
    HintedGlyph out;
    ASSERT_TRUE(AutohintGlyph(&face, &font, glyph, 40000, RenderTarget::kMono, &out));
    ASSERT_EQ(out.outline.points.size(), 8u);
    EXPECT_LT(out.outline.points[0].x, out.outline.points[4].x);
}

}  // namespace
