// The table readers on real fonts and the synthetic font builder, both
// checked against FreeType: the same tables, names, loca offsets and the
// same glyph for every 16-bit code of the sub-table in use.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "font_builder.h"
#include "table_reader.h"
#include "test_paths.h"
#include "ttf/font/ttf.h"

using namespace kelmor;
using namespace kelmor_test;

namespace {

class FreeTypeFace {
public:
    explicit FreeTypeFace(const std::string &path) {
        if (FT_Init_FreeType(&library_) == 0) FT_New_Face(library_, path.c_str(), 0, &face_);
    }
    ~FreeTypeFace() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }
    FT_Face operator->() const { return face_; }
    FT_Face get() const { return face_; }

    // Selects the charmap with these IDs and format; false when there is none.
    bool SelectCharmap(uint16_t platform, uint16_t encoding, long format) {
        for (int i = 0; i < face_->num_charmaps; ++i) {
            FT_CharMap map = face_->charmaps[i];
            if (map->platform_id == platform && map->encoding_id == encoding &&
                FT_Get_CMap_Format(map) == format)
                return FT_Set_Charmap(face_, map) == 0;
        }
        return false;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

std::string WithoutZeroBytes(const FT_SfntName &name) {
    std::string s;
    for (FT_UInt i = 0; i < name.string_len; ++i)
        if (name.string[i] != 0) s.push_back(char(name.string[i]));
    return s;
}

std::string OurString(_TTFont *pF, const _nameRecord &r) {
    return std::string(pF->lpNameStrings + r.beStringOffset, r.beStringLength);
}

// Name records: FreeType keeps them in table order and drops only records
// whose string lies outside the table (as our reader empties them).
void ExpectSameNames(_TTFont *pF, FT_Face face) {
    std::vector<FT_SfntName> theirs;
    for (FT_UInt i = 0; i < FT_Get_Sfnt_Name_Count(face); ++i) {
        FT_SfntName name;
        if (FT_Get_Sfnt_Name(face, i, &name) == 0) theirs.push_back(name);
    }
    size_t next = 0;
    const _nameRecord *records = CompactedNameRecords(pF);
    for (uint16_t i = 0; i < pF->lpNameTable->uNameRecs; ++i) {
        const _nameRecord &r = records[i];
        if (r.beStringLength == 0 && next < theirs.size() && theirs[next].name_id != r.beNameID)
            continue;
        ASSERT_LT(next, theirs.size());
        const FT_SfntName &n = theirs[next++];
        EXPECT_EQ(n.platform_id, r.bePlatformID) << "record " << i;
        EXPECT_EQ(n.encoding_id, r.bePlatformEncodingID) << "record " << i;
        EXPECT_EQ(n.language_id, r.beLanguageID) << "record " << i;
        EXPECT_EQ(n.name_id, r.beNameID) << "record " << i;
        EXPECT_EQ(WithoutZeroBytes(n), OurString(pF, r)) << "record " << i;
    }
    EXPECT_EQ(theirs.size(), next);
}

// The high-byte lookup reads sub-header 0 for every code below 256 and for
// codes whose high byte has key 0; FreeType answers 0 for both.  Compare the
// codes where the two agree on what the table means.
bool SameFormat2Path(_TTFont *pF, uint32_t c) {
    const uint8_t *keys = pF->lpcmapHighByteTable + 6;
    uint32_t high = c >> 8;
    return high == 0 ? ReadBE16(keys + 2 * c) == 0 : ReadBE16(keys + 2 * high) != 0;
}

// Every code 0..65535 through the sub-table our reader chose, against
// FreeType on the same sub-table; returns the number of mapped codes.
int ExpectSameCmap(_TTFont *pF, FreeTypeFace &ft) {
    bool highByte = LooksUpInHighByteTable(pF);
    uint16_t platform = highByte ? pF->uHiBytePlatform : pF->uDeltaPlatform;
    uint16_t encoding = highByte ? pF->uHiByteEncoding : pF->uDeltaEncoding;
    EXPECT_TRUE(ft.SelectCharmap(platform, encoding, highByte ? 2 : 4))
        << "platform " << platform << " encoding " << encoding;
    int mapped = 0, differing = 0;
    for (uint32_t c = 0; c <= 0xFFFF; ++c) {
        if (highByte && !SameFormat2Path(pF, c)) continue;
        uint32_t ours = GetGlyphNo(pF, c);
        FT_UInt theirs = FT_Get_Char_Index(ft.get(), c);
        if (ours != theirs && ++differing <= 5)
            ADD_FAILURE() << std::hex << "code 0x" << c << ": ours 0x" << ours << ", FreeType 0x"
                          << theirs;
        mapped += ours != 0;
    }
    EXPECT_EQ(0, differing);
    return mapped;
}

// Every code above U+FFFF that FreeType's (3, 10) map gives a glyph: ours
// must give the same; returns the number of such codes (0 without the map).
int ExpectSameSupplementaryCodes(_TTFont *pF, FreeTypeFace &ft) {
    if (!ft.SelectCharmap(3, 10, 12)) return 0;
    int mapped = 0, differing = 0;
    FT_UInt theirs = 0;
    for (FT_ULong c = FT_Get_First_Char(ft.get(), &theirs); theirs != 0;
         c = FT_Get_Next_Char(ft.get(), c, &theirs)) {
        if (c <= 0xFFFF) continue;
        ++mapped;
        const uint32_t ours = GetGlyphNo(pF, uint32_t(c));
        if (ours != theirs && ++differing <= 5)
            ADD_FAILURE() << std::hex << "code 0x" << c << ": ours 0x" << ours << ", FreeType 0x"
                          << theirs;
    }
    EXPECT_EQ(0, differing);
    return mapped;
}

// Each glyph's extent in glyf, read through loca, against what FreeType
// loads: no data means no outline, and the contour count in the glyph header
// is FreeType's (negative for composites).
void ExpectSameGlyphExtents(_TTFont *pF, FT_Face face) {
    int differing = 0;
    for (uint32_t g = 0; g < pF->leMaximumProfile.numGlyphs; ++g) {
        int32_t start = GetGlyphIndex(pF, g), end = GetGlyphIndex(pF, g + 1);
        ASSERT_LE(start, end) << "glyph " << g;
        ASSERT_EQ(0, FT_Load_Glyph(face, g, FT_LOAD_NO_SCALE | FT_LOAD_NO_RECURSE))
            << "glyph " << g;
        FT_GlyphSlot slot = face->glyph;
        int contours = 0;
        if (end - start >= 10) {
            uint8_t header[2];
            std::fseek(pF->InFile, start, SEEK_SET);
            ASSERT_EQ(2u, std::fread(header, 1, 2, pF->InFile));
            contours = int16_t(ReadBE16(header));
        }
        bool same = contours < 0 ? slot->format == FT_GLYPH_FORMAT_COMPOSITE
                                 : slot->format == FT_GLYPH_FORMAT_OUTLINE &&
                                       slot->outline.n_contours == contours;
        if (!same && ++differing <= 5) ADD_FAILURE() << "glyph " << g << ": " << contours;
    }
    EXPECT_EQ(0, differing);
}

void ExpectSameFixedTables(_TTFont *pF, FT_Face face) {
    EXPECT_EQ(face->num_glyphs, pF->leMaximumProfile.numGlyphs);
    EXPECT_EQ(face->units_per_EM, uint16_t(pF->UnitsPerEm));
    EXPECT_EQ(face->bbox.xMin, pF->xMin);
    EXPECT_EQ(face->bbox.yMin, pF->yMin);
    EXPECT_EQ(face->bbox.xMax, pF->xMax);
    EXPECT_EQ(face->bbox.yMax, pF->yMax);
    auto *hhea = static_cast<TT_HoriHeader *>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    ASSERT_NE(nullptr, hhea);
    EXPECT_EQ(hhea->Ascender, pF->HorizHeader.Ascender);
    EXPECT_EQ(hhea->Descender, pF->HorizHeader.Descender);
    EXPECT_EQ(hhea->Line_Gap, pF->HorizHeader.LineGap);
    auto *maxp = static_cast<TT_MaxProfile *>(FT_Get_Sfnt_Table(face, FT_SFNT_MAXP));
    ASSERT_NE(nullptr, maxp);
    const leMaxpHeader &m = pF->leMaximumProfile;
    EXPECT_EQ(maxp->maxPoints, m.maxPoints);
    EXPECT_EQ(maxp->maxContours, m.maxContours);
    EXPECT_EQ(maxp->maxCompositePoints, m.maxComponentPoints);
    EXPECT_EQ(maxp->maxCompositeContours, m.maxComponentContours);
    EXPECT_EQ(maxp->maxZones, m.maxZones);
    EXPECT_EQ(maxp->maxTwilightPoints, m.maxTwilightPoints);
    EXPECT_EQ(maxp->maxStorage, m.maxStorage);
    // FreeType raises a function-definition count below 64 to 64.
    EXPECT_EQ(maxp->maxFunctionDefs, std::max<uint16_t>(m.maxFunctionDefs, 64));
    EXPECT_EQ(maxp->maxInstructionDefs, m.maxInstructionDefs);
    EXPECT_EQ(maxp->maxStackElements, m.maxStackElements);
    EXPECT_EQ(maxp->maxSizeOfInstructions, m.maxSizeOfInstructions);
    EXPECT_EQ(maxp->maxComponentElements, m.maxComponentElements);
    EXPECT_EQ(maxp->maxComponentDepth, m.maxComponentDepth);
}

// ------------------------------------------------------------- real fonts

class RealFont : public ::testing::TestWithParam<const char *> {};

TEST_P(RealFont, TablesNamesLocaAndCmapMatchFreeType) {
    std::string path = DebianFont(GetParam());
    if (path.empty()) GTEST_SKIP() << GetParam() << " is not installed";
    TableReader r(path);
    ASSERT_TRUE(r.ReadAll());
    FreeTypeFace ft(path);
    ASSERT_NE(nullptr, ft.get());
    ExpectSameFixedTables(r.get(), ft.get());
    ExpectSameNames(r.get(), ft.get());
    ExpectSameGlyphExtents(r.get(), ft.get());
    EXPECT_GT(ExpectSameCmap(r.get(), ft), 200);
    const int supplementary = ExpectSameSupplementaryCodes(r.get(), ft);
    if (GetParam() == std::string("opentype/ipafont-gothic/ipag.ttf")) {
        EXPECT_EQ(304, supplementary);  // among them U+20B9F, a Joyo kanji
    }

    // The first full name, any platform.
    char buf[256];
    int platform = -1, encoding = -1, language = -1;
    int32_t n = FontNames(r.get(), &platform, &encoding, &language, 4, buf, sizeof buf);
    EXPECT_GT(n, 0);
    EXPECT_EQ(size_t(n), std::strlen(buf));
}

INSTANTIATE_TEST_SUITE_P(Debian, RealFont,
                         ::testing::Values("opentype/ipafont-gothic/ipag.ttf",
                                           "truetype/arphic-bsmi00lp/bsmi00lp.ttf",
                                           "truetype/arphic-gbsn00lp/gbsn00lp.ttf",
                                           "truetype/unfonts-core/UnDotum.ttf",
                                           "truetype/dejavu/DejaVuSans.ttf",
                                           "truetype/liberation/LiberationSans-Regular.ttf",
                                           "truetype/droid/DroidSansFallbackFull.ttf",
                                           // names that share parts of their strings
                                           "truetype/nanum/NanumGothicCodingBold.ttf",
                                           // a Mac Korean table beside the Unicode one
                                           "truetype/nanum/NanumBarunGothic.ttf"));

// Strings stored inside other records' strings read as their own.
TEST(RealNames, OverlappingStringsReadWhole) {
    struct Case {
        const char *font;
        int nameID;
        const char *text;
    } cases[] = {
        {"truetype/nanum/NanumGothicCodingBold.ttf", 2, "Bold"},
        {"truetype/nanum/NanumGothicCodingBold.ttf", 4, "NanumGothicCoding-Bold"},
        {"truetype/nanum/NanumBarunGothic.ttf", 8, "NHN Corporation"},
    };
    for (const Case &c : cases) {
        std::string path = DebianFont(c.font);
        if (path.empty()) GTEST_SKIP() << c.font << " is not installed";
        TableReader r(path);
        ASSERT_TRUE(r.ReadAll());
        int platform = 3, encoding = 1, language = 1033;
        char buf[256];
        FontNames(r.get(), &platform, &encoding, &language, c.nameID, buf, sizeof buf);
        EXPECT_STREQ(c.text, buf) << c.font << " name " << c.nameID;
    }
}

// Unicode codes reach NanumBarunGothic's glyphs through its Unicode table,
// not its Mac Korean one.
TEST(RealCmap, NanumBarunGothicIsLookedUpAsUnicode) {
    std::string path = DebianFont("truetype/nanum/NanumBarunGothic.ttf");
    if (path.empty()) GTEST_SKIP() << "NanumBarunGothic is not installed";
    TableReader r(path);
    ASSERT_TRUE(r.ReadAll());
    EXPECT_EQ(csUnicode, CharsetFromEncodingID(FontEncodingID(r.get())));
    EXPECT_EQ(5888u, GetGlyphNo(r.get(), 0xAC00));
}

TEST(RealMort, SungGBVerticalPairs) {
    std::string path = DebianFont("truetype/arphic-gbsn00lp/gbsn00lp.ttf");
    if (path.empty()) GTEST_SKIP() << "AR PL Sung GB is not installed";
    TableReader r(path);
    ASSERT_TRUE(r.ReadAll());
    ASSERT_NE(nullptr, r->lpLookupSingle);
    uint16_t n = r->lpMortHeader->binSrchHeader.nEntries;
    ASSERT_GT(n, 10);
    for (uint16_t i = 0; i < n; ++i) {
        const _LookupSingleLE &pair = r->lpLookupSingle[i];
        EXPECT_LT(pair.glyphid2, r->leMaximumProfile.numGlyphs);
        if (i > 0) {
            EXPECT_LT(r->lpLookupSingle[i - 1].glyphid1, pair.glyphid1);
        }
    }
    EXPECT_EQ(r->lpLookupSingle[0].glyphid1, r->uMinGlyph);
    EXPECT_EQ(r->lpLookupSingle[n - 1].glyphid1, r->uMaxGlyph);
    // Each pair's horizontal glyph turns into its vertical one; the wave
    // dash and the double vertical line reach a pair through the cmap.
    r->iVertical = 1;
    for (uint16_t i = 0; i < n; ++i)
        EXPECT_EQ(r->lpLookupSingle[i].glyphid2,
                  GetVertical(r.get(), r->lpLookupSingle[i].glyphid1));
    for (uint32_t c : {0xFF5Eu, 0x2016u}) {
        uint32_t glyph = GetGlyphNo(r.get(), c);
        EXPECT_NE(glyph, GetVertical(r.get(), glyph)) << std::hex << c;
    }
    r->iVertical = 0;
    EXPECT_EQ(r->lpLookupSingle[0].glyphid1, GetVertical(r.get(), r->lpLookupSingle[0].glyphid1));
}

// ------------------------------------------------------ the font builder

// Points of a simple glyph as FreeType loads them unscaled.
std::vector<Pt> LoadedPoints(FT_Face face, unsigned glyph, std::vector<int> *contourEnds) {
    EXPECT_EQ(0, FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING));
    const FT_Outline &o = face->glyph->outline;
    std::vector<Pt> points;
    for (int i = 0; i < o.n_points; ++i)
        points.push_back(
            {int16_t(o.points[i].x), int16_t(o.points[i].y), (o.tags[i] & FT_CURVE_TAG_ON) != 0});
    contourEnds->assign(o.contours, o.contours + o.n_contours);
    return points;
}

void ExpectSamePoints(const std::vector<Contour> &want, FT_Face face, unsigned glyph) {
    std::vector<int> ends;
    std::vector<Pt> got = LoadedPoints(face, glyph, &ends);
    std::vector<int> wantEnds;
    std::vector<Pt> flat;
    for (const Contour &c : want) {
        flat.insert(flat.end(), c.begin(), c.end());
        wantEnds.push_back(int(flat.size()) - 1);
    }
    EXPECT_EQ(wantEnds, ends) << "glyph " << glyph;
    ASSERT_EQ(flat.size(), got.size()) << "glyph " << glyph;
    for (size_t i = 0; i < flat.size(); ++i) {
        EXPECT_EQ(flat[i].x, got[i].x) << "glyph " << glyph << " point " << i;
        EXPECT_EQ(flat[i].y, got[i].y) << "glyph " << glyph << " point " << i;
        EXPECT_EQ(flat[i].on, got[i].on) << "glyph " << glyph << " point " << i;
    }
}

TEST(Builder, GlyphsNamesAndFormat4MatchFreeType) {
    // Deltas of every encoded size and sign, runs of equal flags (the repeat
    // form), off-curve points, and composites with every argument and scale
    // form.
    Contour box = {{0, 0}, {0, 700}, {600, 700}, {600, 0}};
    Contour wide = {{-300, -20},  {-44, -20},          {212, -20}, {212, 300, false},
                    {-1000, 301}, {-1000, 301, false}, {0, 0}};
    Contour run;
    for (int16_t i = 0; i < 300; ++i) run.push_back({int16_t(i * 3), int16_t(500 - i), i % 7 != 3});
    std::vector<Contour> simple1 = {wide, box}, simple2 = {run};
    Component plain;
    plain.glyphIndex = 1, plain.arg1 = 100, plain.arg2 = -50;
    Component scaled;
    scaled.glyphIndex = 2, scaled.arg1 = 1000, scaled.arg2 = 0, scaled.scale = {0x2000};
    Component matrix;
    matrix.glyphIndex = 1, matrix.arg1 = -3, matrix.arg2 = 4, matrix.forceWords = true;
    matrix.scale = {0x4000, 0x1000, -0x1000, 0x4000}, matrix.extraFlags = kRoundXYToGrid;
    Component xy;
    xy.glyphIndex = 2, xy.scale = {0x3000, 0x5000};
    Component anchored;
    anchored.glyphIndex = 1, anchored.argsAreXY = false, anchored.arg1 = 2, anchored.arg2 = 300;
    std::vector<Component> components = {plain, scaled, matrix, xy};

    FontBuilder b;
    b.UnitsPerEm(2048).SetGlyph(0, Glyph::Simple({box}));
    b.AddGlyph(Glyph::Simple(simple1, {0xB0, 1}));
    b.AddGlyph(Glyph::Simple(simple2));
    b.AddGlyph(Glyph::Composite(components, {0xB0, 0}));
    b.AddGlyph(Glyph::Empty());
    b.AddGlyph(Glyph::Composite({plain, anchored}));
    std::map<uint16_t, uint16_t> map = {{0x20, 4},   {0x41, 1},   {0x42, 2},  {0x43, 3},
                                        {0x3000, 5}, {0x3001, 1}, {0xFFFD, 2}};
    b.Cmap4(3, 1, map).NameUtf16(3, 1, 0x409, 1, "Builder Sans").Name(1, 0, 0, 4, {'B', 'S'});
    std::string path = b.WriteTo(ScratchDir("builder_ft") + "/font.ttf");

    FreeTypeFace ft(path);
    ASSERT_NE(nullptr, ft.get());
    EXPECT_EQ(6, ft->num_glyphs);
    EXPECT_EQ(2048, ft->units_per_EM);
    ExpectSamePoints({box}, ft.get(), 0);
    ExpectSamePoints(simple1, ft.get(), 1);
    ExpectSamePoints(simple2, ft.get(), 2);

    ASSERT_EQ(0, FT_Load_Glyph(ft.get(), 3, FT_LOAD_NO_SCALE | FT_LOAD_NO_RECURSE));
    ASSERT_EQ(FT_GLYPH_FORMAT_COMPOSITE, ft->glyph->format);
    ASSERT_EQ(components.size(), ft->glyph->num_subglyphs);
    const FT_Fixed one = 0x10000;
    std::vector<std::vector<FT_Fixed>> matrices = {{one, 0, 0, one},
                                                   {one / 2, 0, 0, one / 2},
                                                   {one, -one / 4, one / 4, one},
                                                   {one * 3 / 4, 0, 0, one * 5 / 4}};
    for (FT_UInt i = 0; i < components.size(); ++i) {
        FT_Int index, arg1, arg2;
        FT_UInt flags;
        FT_Matrix m;
        ASSERT_EQ(0, FT_Get_SubGlyph_Info(ft->glyph, i, &index, &flags, &arg1, &arg2, &m));
        EXPECT_EQ(components[i].glyphIndex, index);
        EXPECT_EQ(components[i].arg1, arg1);
        EXPECT_EQ(components[i].arg2, arg2);
        EXPECT_EQ(matrices[i], (std::vector<FT_Fixed>{m.xx, m.xy, m.yx, m.yy})) << i;
    }
    ASSERT_EQ(0, FT_Load_Glyph(ft.get(), 5, FT_LOAD_NO_SCALE | FT_LOAD_NO_RECURSE));
    FT_Int index, arg1, arg2;
    FT_UInt flags;
    FT_Matrix m;
    ASSERT_EQ(0, FT_Get_SubGlyph_Info(ft->glyph, 1, &index, &flags, &arg1, &arg2, &m));
    EXPECT_EQ(0u, flags & FT_SUBGLYPH_FLAG_ARGS_ARE_XY_VALUES);
    EXPECT_EQ(300, arg2);

    TableReader r(path);
    ASSERT_TRUE(r.ReadAll());
    ExpectSameFixedTables(r.get(), ft.get());
    ExpectSameNames(r.get(), ft.get());
    ExpectSameGlyphExtents(r.get(), ft.get());
    EXPECT_EQ(int(map.size()), ExpectSameCmap(r.get(), ft));
}

TEST(Builder, Format2MatchesFreeType) {
    std::map<uint16_t, uint16_t> map = {{0x20, 1},   {0x41, 2},   {0x8140, 3}, {0x8141, 1},
                                        {0x81FC, 2}, {0x889F, 3}, {0xE040, 1}};
    FontBuilder b;
    b.AddGlyph(Glyph::Simple({{{0, 0}, {0, 10}, {10, 0}}})).AddGlyph(Glyph::Empty());
    b.AddGlyph(Glyph::Empty()).Cmap2(3, 2, map);
    std::string path = b.WriteTo(ScratchDir("builder_ft2") + "/font.ttf");
    FreeTypeFace ft(path);
    ASSERT_NE(nullptr, ft.get());
    TableReader r(path);
    ASSERT_TRUE(r.ReadAll());
    EXPECT_EQ(int(map.size()), ExpectSameCmap(r.get(), ft));
}

}  // namespace
