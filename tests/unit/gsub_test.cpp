// Vertical forms from synthetic GSUB tables: the substitution formats, the
// choice of script, language system and feature, and damaged tables, which
// must substitute nothing rather than read outside the table.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "font_builder.h"
#include "gsub_builder.h"
#include "table_reader.h"
#include "test_paths.h"
#include "ttf/sfnt/ttf_gsub.h"

using namespace kelmor;
using namespace kelmor_test;

namespace {

constexpr uint32_t kGlyphs = 200;

struct FormsDeleter {
    void operator()(VerticalForms *f) const { FreeVerticalForms(f); }
};
using Forms = std::unique_ptr<VerticalForms, FormsDeleter>;

Forms Build(const Bytes &table, uint32_t glyphs = kGlyphs) {
    return Forms(BuildVerticalForms(table.data(), uint32_t(table.size()), glyphs));
}

// One script (hani) whose vert feature is the given lookups.
Bytes HaniVert(const std::vector<GsubLookup> &lookups, std::vector<uint16_t> order = {0}) {
    return GsubTable({{"hani", {0}}}, {{"vert", order}}, lookups);
}

// (glyph, its form) checked under the Han rules.
using Expect = std::vector<std::pair<uint32_t, uint32_t>>;

TEST(GsubForms, SingleSubstitutionFormatsAndExtensions) {
    const struct {
        const char *what;
        Bytes table;
        Expect expect;
    } cases[] = {
        {"format 1 adds its delta", HaniVert({{1, {SingleSubst1({5, 6, 9}, 100)}}}),
         {{5, 105}, {6, 106}, {9, 109}, {7, 7}, {105, 105}}},
        {"format 1's delta wraps modulo 65536",
         HaniVert({{1, {SingleSubst1({150}, -100, 2)}}}), {{150, 50}, {149, 149}}},
        {"format 2 lists substitutes, coverage by ranges",
         HaniVert({{1, {SingleSubst2({{10, 20}, {11, 21}, {12, 22}, {40, 41}}, 2)}}}),
         {{10, 20}, {11, 21}, {12, 22}, {40, 41}, {13, 13}, {39, 39}}},
        {"an extension lookup wraps single substitutions",
         HaniVert({{7, {Extension(1, SingleSubst2({{3, 30}})), Extension(1, SingleSubst1({4}, 1))}}}),
         {{3, 30}, {4, 5}}},
        {"the first sub-table covering a glyph decides",
         HaniVert({{1, {SingleSubst2({{3, 30}}), SingleSubst2({{3, 31}, {4, 41}})}}}),
         {{3, 30}, {4, 41}}},
        {"lookups apply in index order, each to the form the last one left",
         HaniVert({{1, {SingleSubst2({{5, 6}})}}, {1, {SingleSubst2({{6, 7}, {8, 9}})}}}, {1, 0}),
         {{5, 7}, {6, 7}, {8, 9}}},
        {"a substitution back to the glyph itself is none",
         HaniVert({{1, {SingleSubst2({{5, 6}})}}, {1, {SingleSubst2({{6, 5}})}}}, {0, 1}),
         {{5, 5}, {6, 5}}},
        {"other lookup types substitute nothing",
         HaniVert({{4, {SingleSubst2({{3, 30}})}}, {7, {Extension(4, SingleSubst2({{4, 40}}))}},
                   {1, {SingleSubst2({{5, 50}})}}},
                  {0, 1, 2}),
         {{3, 3}, {4, 4}, {5, 50}}},
    };
    for (const auto &c : cases) {
        Forms forms = Build(c.table);
        ASSERT_NE(nullptr, forms) << c.what;
        for (const auto &e : c.expect)
            EXPECT_EQ(e.second, VerticalFormOf(forms.get(), kScriptHan, e.first))
                << c.what << ", glyph " << e.first;
    }
}

// Each feature maps glyph 1 to a glyph of its own, so the form tells which
// feature a script's text gets.
std::vector<GsubLookup> OneLookupPerFeature(int n) {
    std::vector<GsubLookup> lookups;
    for (int i = 0; i < n; ++i) lookups.push_back({1, {SingleSubst2({{1, uint16_t(100 + i)}})}});
    return lookups;
}

TEST(GsubForms, ScriptLanguageSystemAndFeatureAreChosenAsShapersDo) {
    const std::vector<GsubFeature> features = {{"vert", {0}}, {"vert", {1}}, {"vert", {2}},
                                               {"vrt2", {3}}, {"ccmp", {4}}};
    const std::vector<GsubLookup> lookups = OneLookupPerFeature(5);
    const struct {
        const char *what;
        std::vector<GsubScript> scripts;
        std::vector<GsubFeature> features;
        LayoutScript script;
        uint32_t form;
    } cases[] = {
        {"each script its own feature", {{"hani", {0}}, {"kana", {1}}}, features, kScriptKana, 101},
        {"a script the font lacks takes DFLT", {{"latn", {0}}, {"DFLT", {2}}}, features,
         kScriptHangul, 102},
        {"then dflt", {{"latn", {0}}, {"dflt", {1}}}, features, kScriptCommon, 101},
        {"then latn", {{"hani", {1}}, {"latn", {2}}}, features, kScriptKana, 102},
        {"the dflt language system before the default one",
         {{"hani", {0}, true, {{"JAN ", {1}}, {"dflt", {2}}}}}, features, kScriptHan, 102},
        {"other languages are not asked for", {{"hani", {2}, true, {{"JAN ", {1}}}}}, features,
         kScriptHan, 102},
        {"the first vert of the language system", {{"hani", {4, 1, 0}}}, features, kScriptHan, 101},
        {"vert found anywhere when the script has none", {{"hani", {4}}, {"kana", {1}}}, features,
         kScriptHan, 100},
        {"and when the font has no script for the text", {{"kana", {1}}}, features,
         kScriptCyrillic, 100},
        {"a script without a default language system", {{"hani", {}, false}, {"DFLT", {2}}},
         features, kScriptHan, 100},
        {"vrt2 when there is no vert",
         {{"hani", {1}}}, {{"ccmp", {0}}, {"vrt2", {3}}}, kScriptHan, 103},
        {"a feature index past the list is skipped", {{"hani", {77, 2}}}, features, kScriptHan,
         102},
    };
    for (const auto &c : cases) {
        Forms forms = Build(GsubTable(c.scripts, c.features, lookups));
        ASSERT_NE(nullptr, forms) << c.what;
        EXPECT_EQ(c.form, VerticalFormOf(forms.get(), c.script, 1)) << c.what;
    }
}

TEST(GsubForms, TheFontsCjkScriptRulesCodesThatAreNotCodePoints) {
    const std::vector<GsubLookup> lookups = OneLookupPerFeature(3);
    const std::vector<GsubFeature> features = {{"vert", {0}}, {"vert", {1}}, {"vert", {2}}};
    Forms latinFirst = Build(GsubTable({{"latn", {0}}, {"kana", {1}}, {"hang", {2}}}, features,
                                       lookups));
    EXPECT_EQ(kScriptKana, FontCjkScript(latinFirst.get()));
    Forms noCjk = Build(GsubTable({{"DFLT", {2}}}, features, lookups));
    EXPECT_EQ(kScriptCommon, FontCjkScript(noCjk.get()));
}

// Format-2 sub-tables as raw bytes: coverage (format 1) of `covered` at
// `coverageOffset` (0: right after the substitutes), `count` substitutes.
Bytes RawSubst2(const std::vector<uint16_t> &covered, const std::vector<uint16_t> &substitutes,
                int coverageOffset = 0, int count = -1) {
    BEWriter w;
    const size_t after = 6 + 2 * substitutes.size();
    w.U16(2).U16(uint16_t(coverageOffset ? coverageOffset : after));
    w.U16(uint16_t(count < 0 ? substitutes.size() : size_t(count)));
    for (uint16_t g : substitutes) w.U16(g);
    w.U16(1).U16(uint16_t(covered.size()));
    for (uint16_t g : covered) w.U16(g);
    return w.bytes;
}

Bytes WithHeaderWord(Bytes b, size_t at, uint16_t v) {
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
    return b;
}

// Whatever a damaged table says, a sub-table that lies substitutes nothing;
// the good one beside it (glyph 1 to 2) still does, unless the damage is to
// what they share.
TEST(GsubForms, LyingValuesSubstituteNothing) {
    const Bytes good = SingleSubst2({{1, 2}});
    const Bytes table = HaniVert({{1, {good}}});
    const struct {
        const char *what;
        Bytes table;
        uint32_t glyph, form;
    } cases[] = {
        {"coverage out of order", HaniVert({{1, {RawSubst2({9, 5}, {90, 50}), good}}}), 5, 5},
        {"coverage glyph listed twice", HaniVert({{1, {RawSubst2({5, 5}, {50, 60}), good}}}), 5, 5},
        {"a coverage index past the substitutes",
         HaniVert({{1, {RawSubst2({5, 6}, {50, 60}, 0, 1), good}}}), 6, 6},
        {"the substitute beside it still counts",
         HaniVert({{1, {RawSubst2({5, 6}, {50, 60}, 0, 1), good}}}), 5, 50},
        {"substitutes past the glyph count",
         HaniVert({{1, {SingleSubst2({{5, kGlyphs}, {6, 60}})}}}), 5, 5},
        {"coverage offset past the table", HaniVert({{1, {RawSubst2({5}, {50}, 0x7000), good}}}),
         5, 5},
        {"substitute count past the table",
         HaniVert({{1, {RawSubst2({5}, {50}, 0, 0x7000), good}}}), 5, 5},
        {"an extension past the table",
         HaniVert({{7, {BEWriter().U16(1).U16(1).U32(0x7FFFFFF0).bytes, Extension(1, good)}}}), 1,
         2},
        {"an extension of an extension", HaniVert({{7, {Extension(7, Extension(1, good))}}}), 1, 1},
        {"an unknown sub-table format",
         HaniVert({{1, {WithHeaderWord(SingleSubst2({{5, 50}}), 0, 3), good}}}), 5, 5},
        {"a lookup index past the list", HaniVert({{1, {good}}}, {4, 0}), 1, 2},
    };
    for (const auto &c : cases) {
        Forms forms = Build(c.table);
        EXPECT_EQ(c.form, VerticalFormOf(forms.get(), kScriptHan, c.glyph)) << c.what;
    }
    const struct {
        const char *what;
        Bytes table;
    } nothing[] = {
        {"a version the reader does not know", WithHeaderWord(table, 0, 2)},
        {"a script list past the table", WithHeaderWord(table, 4, 0xFFF0)},
        {"no lookup list", WithHeaderWord(table, 8, 0)},
        {"a feature of more lookups than any real one",
         HaniVert({{1, {good}}}, std::vector<uint16_t>(40, 0))},
        {"no vertical feature", GsubTable({{"hani", {0}}}, {{"ccmp", {0}}}, {{1, {good}}})},
    };
    for (const auto &c : nothing) EXPECT_EQ(nullptr, Build(c.table)) << c.what;
    EXPECT_EQ(nullptr, Build(table, 0)) << "a font without glyphs";
}

// Every prefix of a table, and the table with any one byte changed, is read
// without leaving it (the sanitizer builds check the reads).
TEST(GsubForms, CutAndDamagedTablesStayInside) {
    const Bytes table = GsubTable(
        {{"hani", {0}, true, {{"dflt", {0}}}}, {"DFLT", {1}}}, {{"vert", {0, 1}}, {"vrt2", {1}}},
        {{7, {Extension(1, SingleSubst1({1, 2}, 5, 2))}}, {1, {SingleSubst2({{6, 9}, {7, 3}})}}});
    Forms whole = Build(table);
    ASSERT_NE(nullptr, whole);
    EXPECT_EQ(9u, VerticalFormOf(whole.get(), kScriptHan, 1));
    for (size_t n = 0; n < table.size(); ++n) {
        const Bytes cut(table.begin(), table.begin() + long(n));
        Forms forms = Build(cut);
        const uint32_t form = VerticalFormOf(forms.get(), kScriptHan, 1);
        EXPECT_TRUE(form == 1 || form == 6 || form == 9) << n << " bytes";
    }
    for (size_t at = 0; at < table.size(); ++at) {
        for (uint8_t value : {uint8_t(0), uint8_t(0x7F), uint8_t(0xFF)}) {
            Bytes damaged = table;
            damaged[at] = value;
            Forms forms = Build(damaged);
            EXPECT_LT(VerticalFormOf(forms.get(), kScriptHan, 1), kGlyphs);
        }
    }
}

// Through a font: the form follows the character's script, mort pairs come
// first, and a font whose map is not Unicode takes its CJK script's rules.
class GsubFont : public ::testing::Test {
protected:
    _TTFont *Open(FontBuilder b, const std::string &name) {
        for (int i = 0; i < 12; ++i) b.AddGlyph(Glyph::Empty());
        path_ = b.WriteTo(ScratchDir("gsub_" + name) + "/font.ttf");
        reader_ = std::make_unique<TableReader>(path_);
        if (!reader_->ReadAll()) return nullptr;
        _TTFont *pF = reader_->get();
        pF->csFont = CharsetFromEncodingID(FontEncodingID(pF));  // as an open sets it
        return pF;
    }
    static uint32_t Vertical(_TTFont *pF, uint32_t code, int16_t desired) {
        pF->csDesired = desired;
        pF->iVertical = 1;
        return GlyphForCode(pF, code);
    }
    std::string path_;
    std::unique_ptr<TableReader> reader_;
};

const Bytes kScriptsGsub =
    GsubTable({{"hani", {0}}, {"kana", {1}}, {"DFLT", {2}}},
              {{"vert", {0}}, {"vert", {1}}, {"vert", {2}}},
              {{1, {SingleSubst2({{1, 4}})}}, {1, {SingleSubst2({{1, 5}})}},
               {1, {SingleSubst2({{1, 6}, {2, 7}})}}});

TEST_F(GsubFont, FormsFollowTheCharactersScript) {
    _TTFont *pF = Open(FontBuilder()
                           .Cmap4(3, 1, {{0x4E00, 1}, {0x3042, 1}, {0x300C, 1}, {0x41, 2}})
                           .RawTable("GSUB", kScriptsGsub),
                       "scripts");
    ASSERT_NE(nullptr, pF);
    EXPECT_EQ(4u, Vertical(pF, 0x4E00, csUnicode));  // Han
    EXPECT_EQ(5u, Vertical(pF, 0x3042, csUnicode));  // Hiragana
    EXPECT_EQ(6u, Vertical(pF, 0x300C, csUnicode));  // a bracket: the default rules
    EXPECT_EQ(7u, Vertical(pF, 0x41, csUnicode));    // Latin, filed under DFLT here
    EXPECT_EQ(4u, Vertical(pF, 1, csGlyphNumber));   // the font's CJK script: Han
    pF->iVertical = 0;
    pF->csDesired = csUnicode;
    EXPECT_EQ(1u, GlyphForCode(pF, 0x4E00));
}

TEST_F(GsubFont, MortPairsComeFirstAndOtherCodeSpacesTakeTheCjkScript) {
    _TTFont *mort = Open(FontBuilder()
                             .Cmap4(3, 1, {{0x4E00, 1}})
                             .Mort({{1, 9}})
                             .RawTable("GSUB", kScriptsGsub),
                         "mort");
    ASSERT_NE(nullptr, mort);
    EXPECT_EQ(9u, Vertical(mort, 0x4E00, csUnicode));
    _TTFont *sjis = Open(FontBuilder()
                             .Cmap4(3, 2, {{0x82A0, 1}})
                             .RawTable("GSUB", kScriptsGsub),
                         "sjis");
    ASSERT_NE(nullptr, sjis);
    ASSERT_EQ(csShiftJIS, sjis->csFont);
    EXPECT_EQ(4u, Vertical(sjis, 0x82A0, csShiftJIS));
}

}  // namespace
