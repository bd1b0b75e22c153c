// Every glyph of real CJK and Latin fonts, loaded by the library and by
// FreeType, compared point by point: in font units and at a pixel size.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <algorithm>

#include "test_paths.h"
#include "ttf/font/ttf.h"

using namespace kelmor;

namespace {

constexpr int kPixelsPerEm = 32;
constexpr int32_t kUnitsAsWholePixels = 16384;  // Multiplier: 1 font unit = 64/64 pixel

// What the library loaded for one glyph, through the road the bitmap
// builder takes.
struct OurGlyph {
    int points = 0;  // 0 when the load yielded nothing
    _TtfGlyph *G = nullptr;
};

OurGlyph LoadOurs(_TTFont *pF, int glyph, int32_t multiplier) {
    _TtfGlyph &G = pF->G;
    pF->Multiplier = multiplier;
    G.NumContours = 0;
    G.NumComponents = 0;
    int last = GetGlyph(pF, &G, glyph, &G.NumContours, G.EndPoints, G.Zone1, 0);
    return {last + 1, &G};
}

// Hands every instruction block of the load to the interpreter, which
// consumes it, as rendering does.
void ConsumePrograms(_TTFont *pF) {
    _TtfGlyph &G = pF->G;
    InterpretGlyph(pF, &G, G.NumContours, G.AbsEndPoints, G.Zone1);
    for (int i = 0; i < G.NumComponents; ++i) {
        G.instructions = G.GC[i].instructions;
        G.GC[i].instructions = nullptr;
        InterpretGlyph(pF, &G, G.GC[i].NumContours, G.GC[i].lpNextEndPoint, G.GC[i].lpCoords);
    }
}

// Where FreeType, as reference, is allowed to differ from us: it rounds
// where we truncate or shift, and it does not snap component offsets to the
// grid when it does not hint.
struct Tolerance {
    bool composite = false;
    bool transformed = false;  // some component, at any depth, is scaled
    int roundings = 0;         // most grid-rounded offsets on one chain of components
    double scaleError = 0;     // our truncated Multiplier against the exact one, per font unit
    double unitsPerEm = 0;
};

void AddComponentTraits(FT_Face face, int glyph, int depth, Tolerance &t, int roundedAbove) {
    if (depth > 8 || FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_RECURSE) != 0)
        return;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_COMPOSITE) {
        t.roundings = std::max(t.roundings, roundedAbove);
        return;
    }
    t.composite = true;
    struct Sub {
        FT_Int index;
        FT_UInt flags;
    };
    std::vector<Sub> subs(slot->num_subglyphs);
    for (FT_UInt i = 0; i < slot->num_subglyphs; ++i) {
        FT_Int arg1, arg2;
        FT_Matrix m;
        FT_Get_SubGlyph_Info(slot, i, &subs[i].index, &subs[i].flags, &arg1, &arg2, &m);
    }
    for (const Sub &sub : subs) {
        if (sub.flags & (FT_SUBGLYPH_FLAG_SCALE | FT_SUBGLYPH_FLAG_XY_SCALE | FT_SUBGLYPH_FLAG_2X2))
            t.transformed = true;
        bool rounded = (sub.flags & FT_SUBGLYPH_FLAG_ROUND_XY_TO_GRID) != 0;
        AddComponentTraits(face, sub.index, depth + 1, t, roundedAbove + rounded);
    }
}

Tolerance ToleranceFor(FT_Face face, int glyph, int32_t multiplier) {
    Tolerance t;
    t.unitsPerEm = face->units_per_EM;
    double exact = double(kPixelsPerEm) * 16384 / face->units_per_EM;
    t.scaleError = (exact - multiplier) / 256;
    AddComponentTraits(face, glyph, 0, t, 0);
    return t;
}

// How far one coordinate may stray.  `units` is FreeType's coordinate in
// font units when comparing at a size, null when comparing in font units.
double Slack(const Tolerance &t, const FT_Pos *units) {
    if (units == nullptr) return t.transformed ? 64 : 0;
    // FreeType rounds (half a unit), we truncate (under one); the scale
    // factors differ by scaleError per unit, component by component.
    double magnitude = std::fabs(double(*units)) + (t.composite ? t.unitsPerEm : 0);
    return 1.5 + magnitude * t.scaleError + (t.composite ? 1 : 0) + 32.0 * t.roundings +
           (t.transformed ? 2 : 0);
}

// Exact, Close, or Shifted: FreeType moves an outline sideways so that its
// left edge meets the side bearing in hmtx, which the loader does not read.
enum class Agreement { Exact, Close, Shifted, Differs };

struct Tally {
    int glyphs = 0, exact = 0, close = 0, shifted = 0, differs = 0, empty = 0, composites = 0;
    void Add(Agreement a) {
        ++glyphs;
        exact += a == Agreement::Exact;
        close += a == Agreement::Close;
        shifted += a == Agreement::Shifted;
        differs += a == Agreement::Differs;
    }
};

// Our points (F26Dot6) against FreeType's (font units when `unitsOutline`
// is null, F26Dot6 otherwise), after moving ours by `shiftX`.
Agreement ComparePoints(const _TtfGlyph &G, const FT_Outline &ft, const FT_Outline *unitsOutline,
                        const Tolerance &t, long shiftX, std::string &why) {
    int scale = unitsOutline ? 1 : 64;
    Agreement result = Agreement::Exact;
    for (int i = 0; i < ft.n_points; ++i) {
        const TTFCoord &p = G.Zone1[i];
        if ((p.Flags & 1) != (ft.tags[i] & 1)) {
            why = "on-curve flag of point " + std::to_string(i);
            return Agreement::Differs;
        }
        long dx = std::labs(p.Orig.x - shiftX - ft.points[i].x * scale);
        long dy = std::labs(p.Orig.y - ft.points[i].y * scale);
        if (dx == 0 && dy == 0) continue;
        const FT_Vector *u = unitsOutline ? &unitsOutline->points[i] : nullptr;
        if (dx > Slack(t, u ? &u->x : nullptr) || dy > Slack(t, u ? &u->y : nullptr)) {
            why = "point " + std::to_string(i) + " off by (" + std::to_string(dx) + ", " +
                  std::to_string(dy) + ")/64";
            return Agreement::Differs;
        }
        result = Agreement::Close;
    }
    return result;
}

Agreement Compare(const OurGlyph &ours, const FT_Outline &ft, const FT_Outline *unitsOutline,
                  const Tolerance &t, std::string &why) {
    const _TtfGlyph &G = *ours.G;
    if (ours.points != ft.n_points) {
        why = "points " + std::to_string(ours.points) + " vs " + std::to_string(ft.n_points);
        return Agreement::Differs;
    }
    if (ours.points == 0) return Agreement::Exact;
    if (G.NumContours != ft.n_contours) {
        why = "contours " + std::to_string(G.NumContours) + " vs " + std::to_string(ft.n_contours);
        return Agreement::Differs;
    }
    for (int c = 0; c < ft.n_contours; ++c)
        if (G.AbsEndPoints[c] != ft.contours[c]) {
            why = "end of contour " + std::to_string(c);
            return Agreement::Differs;
        }
    Agreement a = ComparePoints(G, ft, unitsOutline, t, 0, why);
    if (a != Agreement::Differs) return a;
    std::string ignored;
    long shift = G.Zone1[0].Orig.x - ft.points[0].x * (unitsOutline ? 1 : 64);
    if (ComparePoints(G, ft, unitsOutline, t, shift, ignored) != Agreement::Differs)
        return Agreement::Shifted;
    return Agreement::Differs;
}

bool LoadReference(FT_Face face, int glyph, FT_Int32 flags, FT_Outline &copy, FT_Library lib) {
    if (FT_Load_Glyph(face, glyph, flags) != 0) return false;
    const FT_Outline &o = face->glyph->outline;
    if (FT_Outline_New(lib, o.n_points, o.n_contours, &copy) != 0) return false;
    return FT_Outline_Copy(&o, &copy) == 0;
}

class OutlineFonts : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override {
        path_ = kelmor_test::DebianFont(GetParam());
        if (path_.empty()) GTEST_SKIP() << GetParam() << " is not installed";
        ASSERT_EQ(0, FT_Init_FreeType(&lib_));
        ASSERT_EQ(0, FT_New_Face(lib_, path_.c_str(), 0, &face_));
        ASSERT_EQ(0, FT_Set_Pixel_Sizes(face_, 0, kPixelsPerEm));
        font_ = OpenTTF(path_.c_str());
        ASSERT_NE(nullptr, font_) << path_;
    }
    void TearDown() override {
        if (font_) CloseTTF(font_);
        if (face_) FT_Done_Face(face_);
        if (lib_) FT_Done_FreeType(lib_);
    }

    void Report(const char *mode, const Tally &t) {
        std::printf("%-46s %-8s glyphs %5d  exact %5d  close %5d  shifted %3d  differ %3d  "
                    "(empty %d, composite %d)\n",
                    GetParam(), mode, t.glyphs, t.exact, t.close, t.shifted, t.differs, t.empty,
                    t.composites);
    }

    std::string path_;
    FT_Library lib_ = nullptr;
    FT_Face face_ = nullptr;
    _TTFont *font_ = nullptr;
};

TEST_P(OutlineFonts, EveryGlyphMatchesFreeType) {
    ASSERT_EQ(face_->num_glyphs, font_->leMaximumProfile.numGlyphs);
    int32_t sized = kPixelsPerEm * 16384 / face_->units_per_EM;
    Tally units, pixels;
    int reported = 0;
    for (int g = 0; g < face_->num_glyphs; ++g) {
        FT_Outline ftUnits = {}, ftPixels = {};
        ASSERT_TRUE(LoadReference(face_, g, FT_LOAD_NO_SCALE, ftUnits, lib_)) << g;
        ASSERT_TRUE(LoadReference(face_, g, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP, ftPixels,
                                  lib_))
            << g;
        Tolerance tol = ToleranceFor(face_, g, sized);

        std::string why;
        OurGlyph ours = LoadOurs(font_, g, kUnitsAsWholePixels);
        Agreement inUnits = Compare(ours, ftUnits, nullptr, tol, why);
        ConsumePrograms(font_);
        if (inUnits == Agreement::Differs && reported++ < 10)
            ADD_FAILURE() << "glyph " << g << " in font units: " << why;
        ours = LoadOurs(font_, g, sized);
        Agreement atSize = Compare(ours, ftPixels, &ftUnits, tol, why);
        ConsumePrograms(font_);
        if (atSize == Agreement::Differs && reported++ < 10)
            ADD_FAILURE() << "glyph " << g << " at " << kPixelsPerEm << " ppem: " << why;

        for (Tally *t : {&units, &pixels}) {
            t->empty += ftUnits.n_points == 0;
            t->composites += tol.composite;
        }
        units.Add(inUnits);
        pixels.Add(atSize);
        FT_Outline_Done(lib_, &ftUnits);
        FT_Outline_Done(lib_, &ftPixels);
    }
    Report("units", units);
    Report("32 ppem", pixels);
    EXPECT_EQ(0, units.differs);
    EXPECT_EQ(0, pixels.differs);
}

INSTANTIATE_TEST_SUITE_P(DebianFonts, OutlineFonts,
                         ::testing::Values("opentype/ipafont-gothic/ipag.ttf",
                                           "truetype/arphic-bsmi00lp/bsmi00lp.ttf",
                                           "truetype/unfonts-core/UnDotum.ttf",
                                           "truetype/dejavu/DejaVuSans.ttf",
                                           "truetype/liberation/LiberationSans-Regular.ttf"));

// U+A66E is a composite of seven composites of two parts each: more simple
// glyphs than the font's maxComponentElements (7), all of which load.
class NestedComposites : public OutlineFonts {};

TEST_P(NestedComposites, LoadEveryPart) {
    uint32_t glyph = GetGlyphNo(font_, 0xA66E);
    ASSERT_EQ(2436u, glyph);
    FT_Outline ftUnits = {};
    ASSERT_TRUE(LoadReference(face_, int(glyph), FT_LOAD_NO_SCALE, ftUnits, lib_));
    OurGlyph ours = LoadOurs(font_, int(glyph), kUnitsAsWholePixels);
    std::string why;
    Tolerance tol = ToleranceFor(face_, int(glyph), kUnitsAsWholePixels);
    EXPECT_NE(Agreement::Differs, Compare(ours, ftUnits, nullptr, tol, why)) << why;
    EXPECT_GT(font_->G.NumComponents, font_->leMaximumProfile.maxComponentElements);
    ConsumePrograms(font_);
    FT_Outline_Done(lib_, &ftUnits);
}

INSTANTIATE_TEST_SUITE_P(Noto, NestedComposites,
                         ::testing::Values("truetype/noto/NotoSansMono-Regular.ttf"));

}  // namespace
