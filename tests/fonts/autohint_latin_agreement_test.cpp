// The Latin writing system against FreeType's auto-hinter, whole fonts at
// a time: every glyph the style coverage gives a Latin-like style is
// hinted by our auto-hinter and by FreeType (monochrome target), from the
// same font-unit outlines (FreeType loads them for both), and the hinted
// outlines and advances must be identical point for point.
//
// Set KELMOR_AUTOHINT_REPORT=1 to print the figures of every font and size
// and the first differing glyphs.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <cstdio>
#include <cstring>
#include <optional>
#include <fstream>
#include <random>
#include <set>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "font_builder.h"
#include "freetype_reference.h"
#include "glyph_agreement.h"
#include "kelmor.h"
#include "test_paths.h"
#include "ttf/autohint/autohint.h"

namespace {

using namespace kelmor::autohint;

bool Reporting() { return std::getenv("KELMOR_AUTOHINT_REPORT") != nullptr; }

// The target compared: monochrome, unless KELMOR_AUTOHINT_TARGET names
// another (normal, light) for a report on it.
struct Target {
    RenderTarget ours;
    FT_Int32 reference;
};
Target ComparedTarget() {
    const char *name = std::getenv("KELMOR_AUTOHINT_TARGET");
    const std::string target = name != nullptr ? name : "mono";
    if (target == "normal") return {RenderTarget::kNormal, FT_LOAD_TARGET_NORMAL};
    if (target == "light") return {RenderTarget::kLight, FT_LOAD_TARGET_LIGHT};
    return {RenderTarget::kMono, FT_LOAD_TARGET_MONO};
}

class FreeTypeFace {
public:
    FreeTypeFace(const std::string &path, long index) {
        if (FT_Init_FreeType(&library_) != 0) return;
        if (FT_New_Face(library_, path.c_str(), index, &face_) != 0) face_ = nullptr;
    }
    ~FreeTypeFace() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }
    FreeTypeFace(const FreeTypeFace &) = delete;
    FreeTypeFace &operator=(const FreeTypeFace &) = delete;
    FT_Face face() const { return face_; }

    // True when FreeType's default loading auto-hints the font: no font
    // program, no control-value program, no glyph instructions.
    bool HasNoPrograms() const {
        FT_ULong length = 0;
        if (FT_Load_Sfnt_Table(face_, TTAG_fpgm, 0, nullptr, &length) == 0 && length > 0) return false;
        length = 0;
        if (FT_Load_Sfnt_Table(face_, TTAG_prep, 0, nullptr, &length) == 0 && length > 0) return false;
        const auto *maxp = static_cast<const TT_MaxProfile *>(FT_Get_Sfnt_Table(face_, FT_SFNT_MAXP));
        return maxp != nullptr && maxp->maxSizeOfInstructions == 0;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// The auto-hinter's view of a font, served by FreeType: the same unscaled
// outlines and character map FreeType's own auto-hinter reads.
class FreeTypeFontAccess : public FontAccess {
public:
    explicit FreeTypeFontAccess(FT_Face face) : face_(face) {
        unicode_ = FT_Select_Charmap(face_, FT_ENCODING_UNICODE) == 0;
    }
    uint32_t UnitsPerEm() const override { return face_->units_per_EM; }
    uint32_t GlyphCount() const override { return uint32_t(face_->num_glyphs); }
    bool HasUnicodeMap() override { return unicode_; }
    uint32_t GlyphForChar(uint32_t code) override {
        return unicode_ ? FT_Get_Char_Index(face_, code) : 0;
    }
    bool NextMappedChar(uint32_t code, uint32_t *next, uint32_t *glyph) override {
        if (!unicode_) return false;
        FT_UInt g = 0;
        const FT_ULong c = FT_Get_Next_Char(face_, code, &g);
        if (g == 0) return false;
        *next = uint32_t(c);
        *glyph = g;
        return true;
    }
    bool LoadFontUnitOutline(uint32_t glyph, Outline *out) override {
        out->Clear();
        if (FT_Load_Glyph(face_, glyph, FT_LOAD_NO_SCALE) != 0) return false;
        const FT_Outline &o = face_->glyph->outline;
        for (int i = 0; i < o.n_points; ++i) {
            out->points.push_back({int32_t(o.points[i].x), int32_t(o.points[i].y)});
            const int tag = FT_CURVE_TAG(o.tags[i]);
            out->tags.push_back(tag == FT_CURVE_TAG_ON ? kTagOnCurve : tag == FT_CURVE_TAG_CUBIC ? kTagCubic : 0);
        }
        for (int c = 0; c < o.n_contours; ++c) out->contourEnds.push_back(o.contours[c]);
        return true;
    }
    // The advance of the glyph as loaded: a composite may take it from a
    // component (USE_MY_METRICS) rather than from its own hmtx entry.
    int32_t AdvanceWidth(uint32_t glyph) override {
        if (FT_Load_Glyph(face_, glyph, FT_LOAD_NO_SCALE) != 0) return 0;
        return int32_t(face_->glyph->metrics.horiAdvance);
    }
    bool IsItalic() override { return (face_->style_flags & FT_STYLE_FLAG_ITALIC) != 0; }
    bool IsFixedPitch() override { return FT_IS_FIXED_WIDTH(face_); }

private:
    FT_Face face_;
    bool unicode_ = false;
};

struct Figures {
    int glyphs = 0;     // Latin-style glyphs compared
    int identical = 0;  // outline and advance identical
    int advances = 0;   // advance identical
};

bool IsLatinStyle(const FaceGlobals &globals, uint32_t glyph) {
    if (glyph >= globals.glyphStyles.size()) return false;
    const int style = globals.glyphStyles[glyph] & kStyleMask;
    return style < StyleCount() && StyleAt(style).writingSystem == WritingSystemId::kLatin;
}

struct FontCase {
    const char *path;
    long face;
    bool force;  // auto-hint a font that has programs (FreeType's FORCE_AUTOHINT)
};

Figures CompareFont(const FontCase &c, int ppem, int *reported) {
    Figures f;
    FreeTypeFace source(c.path, c.face), reference(c.path, c.face);
    if (source.face() == nullptr || reference.face() == nullptr) return f;
    if (!c.force && !source.HasNoPrograms()) return f;
    FreeTypeFontAccess access(source.face());
    AutohintFace ours;
    HintedGlyph hinted;
    const Target target = ComparedTarget();
    AutohintGlyph(&ours, &access, 0, ppem, target.ours, &hinted);
    FT_Set_Char_Size(reference.face(), 0, ppem * 64, 72, 72);
    const FT_Int32 flags =
        target.reference | FT_LOAD_NO_BITMAP | (c.force ? FT_LOAD_FORCE_AUTOHINT : 0);
    for (uint32_t glyph = 0; glyph < access.GlyphCount(); ++glyph) {
        if (!IsLatinStyle(ours.globals, glyph)) continue;
        const bool ok = AutohintGlyph(&ours, &access, glyph, ppem, target.ours, &hinted);
        // The style may have handed its glyphs on while it was measured.
        if (!IsLatinStyle(ours.globals, glyph)) continue;
        if (FT_Load_Glyph(reference.face(), glyph, flags) != 0) continue;
        ++f.glyphs;
        const FT_GlyphSlot slot = reference.face()->glyph;
        const FT_Outline &o = slot->outline;
        bool same = ok && int(hinted.outline.points.size()) == o.n_points;
        int firstDiff = -1;
        for (int i = 0; same && i < o.n_points; ++i) {
            if (hinted.outline.points[i].x != o.points[i].x || hinted.outline.points[i].y != o.points[i].y) {
                same = false;
                firstDiff = i;
            }
        }
        const bool advanceSame = ok && hinted.advance == slot->advance.x;
        f.advances += advanceSame;
        f.identical += same && advanceSame;
        if ((!same || !advanceSame) && Reporting() && (*reported)++ < 40) {
            std::printf("  %s ppem %d glyph %u (%s): points %zu/%d, first diff %d", c.path, ppem, glyph,
                        StyleAt(ours.globals.glyphStyles[glyph] & kStyleMask).name,
                        hinted.outline.points.size(), o.n_points, firstDiff);
            if (firstDiff >= 0)
                std::printf(" ours (%d,%d) ref (%ld,%ld)", hinted.outline.points[firstDiff].x,
                            hinted.outline.points[firstDiff].y, o.points[firstDiff].x, o.points[firstDiff].y);
            std::printf(" advance %d/%ld\n", hinted.advance, slot->advance.x);
            if (std::getenv("KELMOR_AUTOHINT_EDGES"))
                for (const Edge &e : ours.hints.axis[kDimHorz].edges)
                    std::printf("    edge fpos %d opos %d pos %d flags %d dir %d link %d serif %d\n", e.fpos, e.opos, e.pos, e.flags, e.dir,
                                e.link ? int(e.link - ours.hints.axis[kDimHorz].edges.data()) : -1,
                                e.serif ? int(e.serif - ours.hints.axis[kDimHorz].edges.data()) : -1);
        }
    }
    return f;
}

// Measured: every Latin-style glyph identical at 10-24 ppem in all six.
struct AgreementCase {
    FontCase font;
    double floor;  // share of Latin-style glyphs identical at every size
};

class LatinAgreement : public ::testing::TestWithParam<AgreementCase> {};

TEST_P(LatinAgreement, HintedOutlinesMatchFreeTypeAtEverySize) {
    const AgreementCase &c = GetParam();
    int reported = 0;
    for (int ppem = 10; ppem <= 24; ++ppem) {
        const Figures f = CompareFont(c.font, ppem, &reported);
        if (f.glyphs == 0) GTEST_SKIP() << c.font.path << ": not installed, or carries programs";
        const double share = double(f.identical) / f.glyphs;
        if (Reporting())
            std::printf("%s face %ld ppem %d: %d Latin-style glyphs, %d identical (%.1f%%), %d advances\n",
                        c.font.path, c.font.face, ppem, f.glyphs, f.identical, 100.0 * share, f.advances);
        EXPECT_GE(share, c.floor) << c.font.path << " at " << ppem << " ppem";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, LatinAgreement,
    ::testing::Values(
        AgreementCase{{"/usr/share/fonts/truetype/arphic/uming.ttc", 0, false}, 0.997},
        AgreementCase{{"/usr/share/fonts/truetype/arphic/ukai.ttc", 0, false}, 0.997},
        AgreementCase{{"/usr/share/fonts/truetype/nanum/NanumSquareR.ttf", 0, false}, 0.997},
        AgreementCase{{"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf", 0, true}, 0.997},
        AgreementCase{{"/usr/share/fonts/truetype/liberation/LiberationSerif-Italic.ttf", 0, true}, 0.997},
        AgreementCase{{"/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf", 0, true}, 0.997}));

// ------------------------------------------- bitmaps through the library

// The Latin-style glyphs of a font, as its style coverage sorts them (a
// style without blue zones hands its glyphs on while it is measured).
std::vector<uint32_t> LatinStyleGlyphs(const char *path) {
    FreeTypeFace source(path, 0);
    std::vector<uint32_t> glyphs;
    if (source.face() == nullptr) return glyphs;
    FreeTypeFontAccess access(source.face());
    FaceGlobals globals;
    ComputeStyleCoverage(&globals, &access);
    for (uint32_t glyph = 0; glyph < access.GlyphCount(); ++glyph) {
        if (!IsLatinStyle(globals, glyph)) continue;
        if (MetricsForGlyph(&globals, glyph) != nullptr && IsLatinStyle(globals, glyph)) glyphs.push_back(glyph);
    }
    return glyphs;
}

struct BitmapFigures {
    kelmor_test::Tally pixels;
    long glyphs = 0;
    long identical = 0;  // same bits in the same place, same advance
    long rowsLost = 0;   // a row FreeType inks that ours leaves empty
};

bool LosesARow(const kelmor_test::PixelGrid &ours, const kelmor_test::PixelGrid &ref) {
    for (int y = ref.top; y > ref.top - ref.height; --y) {
        bool theirs = false, mine = false;
        for (int x = ref.left; x < ref.left + ref.width && !theirs; ++x) theirs = ref.Ink(x, y);
        for (int x = ours.left; theirs && x < ours.left + ours.width && !mine; ++x)
            mine = ours.Inside(x, y) && ours.Ink(x, y);
        if (theirs && !mine) return true;
    }
    return false;
}

void AppendBits(const kelmor_test::PixelGrid &grid, std::string *out) {
    *out += std::to_string(grid.left) + "," + std::to_string(grid.top) + ":";
    for (int y = grid.top; y > grid.top - grid.height; --y)
        for (int x = grid.left; x < grid.left + grid.width; ++x) *out += grid.Ink(x, y) ? '#' : '.';
    *out += '|';
}

// The library's default faithful rendering of the font's Latin-style
// glyphs against FreeType's default monochrome rendering; `forced`
// auto-hints on both sides a font that has programs.  `signature`, when
// given, collects the library's bits.
BitmapFigures CompareBitmaps(const char *path, const std::vector<uint32_t> &glyphs, int ppem, bool forced = false,
                             std::string *signature = nullptr) {
    BitmapFigures f;
    kelmor_test::LibraryFont ours(path, true, true);
    kelmor_test::FreeTypeFont reference(path);
    if (ours.Handle() == 0 || !reference.Ok() || !ours.SetPixelsPerEm(ppem) || !reference.SetPixelsPerEm(ppem))
        return f;
    if (forced) SetRenderOptions(ours.Handle(), KELMOR_FAITHFUL | KELMOR_FORCE_AUTOHINT);
    const int referenceFlags = FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME | FT_LOAD_NO_BITMAP |
                               (forced ? FT_LOAD_FORCE_AUTOHINT : 0);
    std::vector<unsigned char> bits;
    for (uint32_t g : glyphs) {
        kelmor_test::PixelGrid ref{}, mine{};
        if (!reference.RenderWith(g, referenceFlags, &bits, &ref)) continue;
        KelmorGlyphMetrics m;
        const int32_t glyph = int32_t(g);
        if (GetGlyphMetrics(ours.Handle(), reinterpret_cast<const char *>(&glyph), &m) != 1) continue;
        if (!ours.Render(glyph, &mine)) mine = kelmor_test::PixelGrid{nullptr, 0, 0, 0, 0, 0, false};
        if (signature != nullptr) AppendBits(mine, signature);
        kelmor_test::Tally t;
        kelmor_test::CompareGlyph(mine, ref, t);
        ++f.glyphs;
        f.identical += t.Differing() == 0 && t.outside == 0 && long(m.iAdvance) * 64 == reference.LastAdvance();
        f.rowsLost += LosesARow(mine, ref);
        f.pixels += t;
    }
    return f;
}

// Every Latin-style glyph of the font at 10-24 px, as the library draws it
// by default (`forced`: auto-hinted on request on both sides).
void CheckBitmapsAtEverySize(const char *path, bool forced) {
    if (!std::ifstream(path).good()) GTEST_SKIP() << path << " not installed";
    const std::vector<uint32_t> glyphs = LatinStyleGlyphs(path);
    ASSERT_FALSE(glyphs.empty());
    for (int ppem = 10; ppem <= 24; ++ppem) {
        const BitmapFigures f = CompareBitmaps(path, glyphs, ppem, forced);
        ASSERT_GT(f.glyphs, 0);
        if (Reporting())
            std::printf("%s %d px%s: %ld Latin-style glyphs, agreement %.4f, identical %.2f%%, rows lost %ld\n", path,
                        ppem, forced ? " forced" : "", f.glyphs, f.pixels.Agreement(),
                        100.0 * f.identical / f.glyphs, f.rowsLost);
        EXPECT_GE(double(f.identical) / f.glyphs, 0.997) << path << " at " << ppem << " px";
        EXPECT_EQ(f.rowsLost, 0) << path << " at " << ppem << " px";
    }
}

class LatinBitmaps : public ::testing::TestWithParam<const char *> {};

// Fonts without hinting programs, drawn by default: every Latin-style
// glyph at 10-24 px.  Measured: all identical in bits, place and advance.
TEST_P(LatinBitmaps, DefaultRenderingMatchesFreeTypeAtEverySize) { CheckBitmapsAtEverySize(GetParam(), false); }

INSTANTIATE_TEST_SUITE_P(Fonts, LatinBitmaps,
                         ::testing::Values("/usr/share/fonts/truetype/arphic/uming.ttc",
                                           "/usr/share/fonts/truetype/arphic/ukai.ttc",
                                           "/usr/share/fonts/truetype/nanum/NanumSquareR.ttf",
                                           "/usr/share/fonts/truetype/nanum/NanumSquareB.ttf",
                                           "/usr/share/fonts/truetype/nanum/NanumSquareL.ttf",
                                           "/usr/share/fonts/truetype/nanum/NanumSquareEB.ttf",
                                           "/usr/share/fonts/truetype/nanum/NanumSquare_acR.ttf",
                                           "/usr/share/fonts/truetype/nanum/NanumSquare_acB.ttf",
                                           "/usr/share/fonts/truetype/nanum/NanumSquare_acL.ttf",
                                           "/usr/share/fonts/truetype/nanum/NanumSquare_acEB.ttf"));

// Fonts with programs, auto-hinted on request on both sides.  Italic faces
// keep their x unhinted: the face's italic flag must come from OS/2 or
// head as FreeType takes it (the italic faces were 30-53% identical while it
// was never read).
class ForcedLatinBitmaps : public ::testing::TestWithParam<const char *> {};

TEST_P(ForcedLatinBitmaps, ForcedAutohintMatchesFreeTypeAtEverySize) { CheckBitmapsAtEverySize(GetParam(), true); }

INSTANTIATE_TEST_SUITE_P(Fonts, ForcedLatinBitmaps,
                         ::testing::Values("/usr/share/fonts/truetype/liberation/LiberationSerif-Italic.ttf",
                                           "/usr/share/fonts/truetype/liberation/LiberationSans-Italic.ttf",
                                           "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf"));

// ------------------------------------------------- synthetic fonts

// Fonts of random letters for the reference characters of a few scripts
// that the installed fonts do not exercise (top-to-bottom Devanagari,
// Khmer's sub-top zone) besides Latin, Greek, Cyrillic, Hebrew's long zone
// and Arabic's neutral one: boxes, holes, rounded shapes and random
// polygons of mixed on- and off-curve points around the heights letters
// share, so that zones, stems, serifs and lone edges all occur.
std::set<uint32_t> ReferenceChars() {
    std::set<uint32_t> codes;
    for (const char *name : {"latn_dflt", "grek_dflt", "cyrl_dflt", "hebr_dflt", "arab_dflt", "deva_dflt", "khmr_dflt"}) {
        const StyleClass &style = StyleAt(FindStyle(name));
        std::vector<const char *> texts = {style.script->standardChars};
        for (int b = 0; b < style.blueCount; ++b) texts.push_back(style.blues[b].text);
        for (const char *text : texts) {
            for (size_t pos = 0; text[pos] != '\0';) {
                const uint32_t code = NextUtf8(text, &pos);
                if (code > ' ' && code < 0x10000) codes.insert(code);
            }
        }
    }
    for (uint32_t code = '0'; code <= '9'; ++code) codes.insert(code);
    return codes;
}

class RandomLetters {
public:
    explicit RandomLetters(uint32_t seed) : random_(seed) {}

    kelmor_test::Glyph Letter() {
        std::vector<kelmor_test::Contour> contours;
        const int count = Pick(1, 3);
        for (int i = 0; i < count; ++i) contours.push_back(Shape());
        return kelmor_test::Glyph::Simple(contours);
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    // A height letters share, give or take a little.
    int16_t Height() {
        static const int kHeights[] = {-420, -20, 0, 0, 20, 480, 700, 1000, 1020, 1400, 1430, 1500};
        const int h = kHeights[Pick(0, 11)];
        return int16_t(Pick(0, 3) == 0 ? h + Pick(-40, 40) : h);
    }
    kelmor_test::Contour Shape() {
        int16_t x0 = int16_t(Pick(-100, 900)), x1 = int16_t(x0 + Pick(30, 900));
        int16_t y0 = Height(), y1 = Height();
        if (y1 < y0) std::swap(y0, y1);
        if (y1 == y0) y1 = int16_t(y0 + Pick(20, 300));
        switch (Pick(0, 4)) {
        case 0:  // a filled box, clockwise
            return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
        case 1:  // a hole, counter-clockwise
            return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
        case 2: {  // a rounded shape
            const int16_t mid = int16_t((y0 + y1) / 2);
            return {{x0, mid}, {x0, y1, false}, {x1, y1, false}, {x1, mid}, {x1, y0, false}, {x0, y0, false}};
        }
        case 3:  // a single point (an anchor)
            return {{x0, y1}};
        default: {  // a random polygon, mostly clockwise
            kelmor_test::Contour c;
            const int n = Pick(3, 12);
            for (int k = 0; k < n; ++k) {
                const double angle = -6.2831853 * k / n;
                const double radius = Pick(50, 600);
                c.push_back({int16_t(x0 + radius * std::cos(angle)), int16_t(y0 + radius * std::sin(angle)),
                             Pick(0, 2) != 0});
            }
            return c;
        }
        }
    }
    std::mt19937 random_;
};

kelmor_test::FontBuilder RandomLettersFont(uint32_t seed, uint16_t unitsPerEm) {
    RandomLetters letters(seed);
    kelmor_test::FontBuilder builder;
    builder.UnitsPerEm(unitsPerEm);
    std::map<uint16_t, uint16_t> map;
    for (uint32_t code : ReferenceChars()) {
        builder.AddGlyph(letters.Letter());
        map[uint16_t(code)] = uint16_t(builder.GlyphCount() - 1);
    }
    builder.Cmap4(3, 1, map);
    return builder;
}

std::string RandomFont(uint32_t seed, uint16_t unitsPerEm) {
    const kelmor_test::FontBuilder builder = RandomLettersFont(seed, unitsPerEm);
    const std::string dir = kelmor_test::ScratchDir("autohint_latin_" + std::to_string(seed));
    return builder.WriteTo(dir + kelmor_test::kDirSeparator + "random.ttf");
}

TEST(LatinSynthetic, RandomLettersMatchFreeTypeAtEverySize) {
    long glyphs = 0, identical = 0;
    const char *seeds = std::getenv("KELMOR_AUTOHINT_SEEDS");  // more fonts on request
    const uint32_t fonts = seeds != nullptr ? uint32_t(std::atoi(seeds)) : 24;
    for (uint32_t seed = 1; seed <= fonts; ++seed) {
        const std::string path = RandomFont(seed, seed % 3 == 0 ? 1000 : 2048);
        const FontCase c = {path.c_str(), 0, false};
        int reported = 0;
        for (int ppem = 7; ppem <= 30; ppem += 1) {
            const Figures f = CompareFont(c, ppem, &reported);
            glyphs += f.glyphs;
            identical += f.identical;
        }
    }
    if (Reporting()) std::printf("random letters: %ld glyph sizes, %ld identical\n", glyphs, identical);
    ASSERT_GT(glyphs, 0);
    EXPECT_EQ(identical, glyphs);
}

// ------------------------------------------- the face's italic flag

// An OS/2 table of `length` bytes: `version`, and fsSelection at offset 62.
kelmor_test::Bytes OS2Table(uint16_t version, uint16_t fsSelection, size_t length) {
    kelmor_test::Bytes table(length, 0);
    if (length >= 2) table[0] = uint8_t(version >> 8), table[1] = uint8_t(version);
    if (length >= 64) table[62] = uint8_t(fsSelection >> 8), table[63] = uint8_t(fsSelection);
    return table;
}

constexpr size_t kMacStyleOffset = 44;  // in head

// Where the directory entry of `tag` starts in a built font (its offset
// field 8 bytes in, its length 12); 0 when there is none.
size_t EntryAt(const kelmor_test::Bytes &font, const char *tag) {
    const size_t tables = (size_t(font[4]) << 8) | font[5];
    for (size_t i = 0; i < tables; ++i)
        if (std::memcmp(&font[12 + 16 * i], tag, 4) == 0) return 12 + 16 * i;
    return 0;
}

void PutBE(kelmor_test::Bytes *bytes, size_t at, uint32_t value, int count) {
    for (int i = 0; i < count; ++i) (*bytes)[at + size_t(i)] = uint8_t(value >> (8 * (count - 1 - i)));
}

struct ItalicCase {
    const char *name;
    std::optional<kelmor_test::Bytes> os2;  // none: no OS/2 table
    uint16_t macStyle;
    bool os2AtEndOfFile;  // the table moved to the file's end, its last byte the file's
    bool italic;          // as FreeType's style flags say
};

// Writes the random letters font with the case's OS/2 table and macStyle.
std::string ItalicCaseFont(const ItalicCase &c) {
    kelmor_test::FontBuilder builder = RandomLettersFont(7, 2048);
    if (c.os2) builder.RawTable("OS/2", *c.os2);
    kelmor_test::Bytes font = builder.Build();
    const size_t head = EntryAt(font, "head");
    const size_t headOffset = (size_t(font[head + 8]) << 24) | (size_t(font[head + 9]) << 16) |
                              (size_t(font[head + 10]) << 8) | font[head + 11];
    PutBE(&font, headOffset + kMacStyleOffset, c.macStyle, 2);
    if (c.os2 && c.os2AtEndOfFile) {
        const size_t entry = EntryAt(font, "OS/2");
        PutBE(&font, entry + 8, uint32_t(font.size()), 4);
        font.insert(font.end(), c.os2->begin(), c.os2->end());
    }
    const std::string path = kelmor_test::ScratchDir("autohint_italic") + kelmor_test::kDirSeparator + c.name + ".ttf";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(font.data()), std::streamsize(font.size()));
    return path;
}

// FreeType's rule: fsSelection bit 0 (italic) or 9 (oblique) where the
// OS/2 table can be read whole for its version, otherwise head.macStyle
// bit 1.  Each case is drawn by the library (auto-hinted by default: the
// font has no programs) and by FreeType; italic faces keep x unhinted,
// so the italic cases all draw alike and unlike the upright ones.
TEST(LatinItalicFlag, ItalicFacesKeepXUnhintedAsFreeTypeDecides) {
    const ItalicCase cases[] = {
        {"os2_upright", OS2Table(4, 0x0040, 96), 0, false, false},
        {"os2_italic", OS2Table(4, 0x0001, 96), 0, false, true},
        {"os2_oblique", OS2Table(4, 0x0200, 96), 0, false, true},
        {"os2_upright_over_mac_italic", OS2Table(4, 0x0040, 96), 2, false, false},
        {"os2_v0_italic", OS2Table(0, 0x0001, 78), 0, false, true},
        {"os2_v5_italic", OS2Table(5, 0x0201, 100), 0, false, true},
        {"no_os2_mac_italic", std::nullopt, 2, false, true},
        {"no_os2_mac_bold", std::nullopt, 1, false, false},
        {"os2_cut_by_file_end_mac_italic", OS2Table(0, 0x0000, 70), 2, true, true},
        {"os2_v1_cut_by_file_end_mac_italic", OS2Table(1, 0x0000, 80), 2, true, true},
        {"os2_v1_cut_by_file_end_mac_upright", OS2Table(1, 0x0001, 80), 0, true, false},
        {"os2_version_ffff_mac_italic", OS2Table(0xFFFF, 0x0000, 100), 2, false, true},
        {"os2_empty_mac_italic", kelmor_test::Bytes{}, 2, false, true},
    };
    std::map<bool, std::set<std::string>> drawings;  // italic -> distinct signatures
    for (const ItalicCase &c : cases) {
        const std::string path = ItalicCaseFont(c);
        FreeTypeFace probe(path, 0);
        ASSERT_NE(probe.face(), nullptr) << c.name;
        ASSERT_EQ((probe.face()->style_flags & FT_STYLE_FLAG_ITALIC) != 0, c.italic) << c.name << ": FreeType's flag";
        const std::vector<uint32_t> glyphs = LatinStyleGlyphs(path.c_str());
        ASSERT_FALSE(glyphs.empty()) << c.name;
        std::string signature;
        for (int ppem : {11, 14, 17}) {
            const BitmapFigures f = CompareBitmaps(path.c_str(), glyphs, ppem, false, &signature);
            EXPECT_EQ(f.identical, f.glyphs) << c.name << " at " << ppem << " px";
        }
        drawings[c.italic].insert(signature);
    }
    EXPECT_EQ(drawings[true].size(), 1u);
    EXPECT_EQ(drawings[false].size(), 1u);
    EXPECT_NE(*drawings[true].begin(), *drawings[false].begin());
}

// A sweep over every TrueType font installed, each face auto-hinted
// (forced where it has programs) at sizes from 6 to 48 ppem; prints one
// line per face.  Slow: run it with --gtest_also_run_disabled_tests.
TEST(LatinAgreementSweep, DISABLED_EveryInstalledFace) {
    std::vector<std::string> paths;
    for (const auto &entry : std::filesystem::recursive_directory_iterator("/usr/share/fonts")) {
        const std::string p = entry.path().string();
        if (p.size() > 4 && (p.compare(p.size() - 4, 4, ".ttf") == 0 || p.compare(p.size() - 4, 4, ".ttc") == 0))
            paths.push_back(p);
    }
    std::sort(paths.begin(), paths.end());
    const int sizes[] = {6, 7, 8, 9, 11, 13, 15, 17, 20, 25, 32, 48};
    long total = 0, same = 0;
    for (const std::string &path : paths) {
        FreeTypeFace probe(path, -1);
        const long faces = probe.face() != nullptr ? probe.face()->num_faces : 0;
        for (long face = 0; face < faces; ++face) {
            const FontCase c = {path.c_str(), face, true};
            long glyphs = 0, identical = 0;
            int reported = 0;
            for (int ppem : sizes) {
                const Figures f = CompareFont(c, ppem, &reported);
                glyphs += f.glyphs;
                identical += f.identical;
            }
            std::printf("%s face %ld: %ld glyph sizes, %ld identical\n", path.c_str(), face, glyphs, identical);
            total += glyphs;
            same += identical;
        }
    }
    std::printf("all: %ld glyph sizes, %ld identical\n", total, same);
    EXPECT_EQ(total, same);
}

}  // namespace
