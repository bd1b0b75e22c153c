// Vertical forms of whole fonts against HarfBuzz: for every character a
// font maps, the glyph GetBitmap draws in vertical mode is the one
// `hb-shape --direction=ttb` chooses.  HarfBuzz is only the reference here;
// the test is skipped where hb-shape is not installed.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "font_builder.h"
#include "gsub_builder.h"
#include "program_run.h"
#include "test_paths.h"
#include "text_file.h"
#include "ttf/font/ttf.h"

using namespace kelmor;
using namespace kelmor_test;

namespace {

// The codes FreeType's Unicode map of the font lists.
std::vector<uint32_t> MappedCodes(const std::string &path) {
    std::vector<uint32_t> codes;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0) return codes;
    if (FT_New_Face(library, path.c_str(), 0, &face) == 0 &&
        FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0) {
        FT_UInt glyph = 0;
        for (FT_ULong c = FT_Get_First_Char(face, &glyph); glyph != 0;
             c = FT_Get_Next_Char(face, c, &glyph))
            codes.push_back(uint32_t(c));
    }
    if (face != nullptr) FT_Done_Face(face);
    FT_Done_FreeType(library);
    return codes;
}

// Characters a shaper does not look up as they are: controls, which end
// lines or are dropped, and the default-ignorable ones, which it hides
// behind the space glyph whatever the font maps them to.
bool ShapedAsThemselves(uint32_t c) {
    static const uint32_t kIgnorable[][2] = {
        {0x00AD, 0x00AD}, {0x034F, 0x034F}, {0x061C, 0x061C}, {0x115F, 0x1160},
        {0x17B4, 0x17B5}, {0x180B, 0x180F}, {0x200B, 0x200F}, {0x202A, 0x202E},
        {0x2060, 0x206F}, {0x3164, 0x3164}, {0xFE00, 0xFE0F}, {0xFEFF, 0xFEFF},
        {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A},
        {0xE0000, 0xE0FFF}};
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0xD800 && c < 0xE000)) return false;
    for (const auto &r : kIgnorable)
        if (c >= r[0] && c <= r[1]) return false;
    return true;
}

void AppendUtf8(uint32_t c, std::string *out) {
    if (c < 0x80) {
        *out += char(c);
    } else if (c < 0x800) {
        *out += char(0xC0 | (c >> 6));
        *out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += char(0xE0 | (c >> 12));
        *out += char(0x80 | ((c >> 6) & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    } else {
        *out += char(0xF0 | (c >> 18));
        *out += char(0x80 | ((c >> 12) & 0x3F));
        *out += char(0x80 | ((c >> 6) & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    }
}

bool HaveHarfBuzz() { return RunProgram("hb-shape", {"--version"}).exitCode == 0; }

// HarfBuzz's glyph for each code, shaped alone top to bottom with no
// language asked for; -1 where it gave more or fewer than one glyph.
std::vector<long> HarfBuzzVerticalGlyphs(const std::string &font,
                                         const std::vector<uint32_t> &codes) {
    std::string text;
    for (uint32_t c : codes) {
        AppendUtf8(c, &text);
        text += '\n';
    }
    const std::string file = ScratchDir("vertical_forms") + "/text.txt";
    WriteTextFile(file, text);
    const ProgramRun run = RunProgram(
        "hb-shape", {"--direction=ttb", "--output-format=text", "--no-glyph-names",
                     "--no-positions", "--no-clusters", "--text-file=" + file, font},
        "LC_ALL=C");
    std::vector<long> glyphs;
    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line)) {
        long glyph = -1;
        char close = 0;
        if (std::sscanf(line.c_str(), "[%ld%c", &glyph, &close) != 2 || close != ']') glyph = -1;
        glyphs.push_back(glyph);
    }
    return glyphs;
}

struct Comparison {
    long compared = 0, substituted = 0, notSingle = 0;
    std::vector<std::string> differences;
};

Comparison CompareWithHarfBuzz(const std::string &path, const std::vector<uint32_t> &mapped) {
    Comparison result;
    std::vector<uint32_t> codes;
    for (uint32_t c : mapped)
        if (ShapedAsThemselves(c)) codes.push_back(c);
    const std::vector<long> reference = HarfBuzzVerticalGlyphs(path, codes);
    _TTFont *pF = OpenTTF(path.c_str());
    if (pF == nullptr || reference.size() != codes.size()) {
        result.differences.push_back("could not open the font or shape its characters");
        CloseTTF(pF);
        return result;
    }
    pF->csDesired = csUnicode;
    for (size_t i = 0; i < codes.size(); ++i) {
        if (reference[i] < 0) {
            ++result.notSingle;
            continue;
        }
        pF->iVertical = 0;
        const uint32_t horizontal = GlyphForCode(pF, codes[i]);
        pF->iVertical = 1;
        const uint32_t vertical = GlyphForCode(pF, codes[i]);
        ++result.compared;
        if (vertical != horizontal) ++result.substituted;
        if (long(vertical) != reference[i] && result.differences.size() < 10) {
            char line[96];
            std::snprintf(line, sizeof line, "U+%04X: ours %u, HarfBuzz %ld", unsigned(codes[i]),
                          unsigned(vertical), reference[i]);
            result.differences.push_back(line);
        }
    }
    CloseTTF(pF);
    return result;
}

TEST(VerticalForms, EveryCharacterTakesHarfBuzzsVerticalGlyph) {
    if (!HaveHarfBuzz()) GTEST_SKIP() << "hb-shape is not installed (libharfbuzz-bin)";
    const struct {
        const char *font;
        long leastSubstituted;  // so that a font read without its forms fails
    } fonts[] = {
        {"opentype/ipafont-gothic/ipag.ttf", 100},
        {"truetype/droid/DroidSansFallbackFull.ttf", 20},
        {"truetype/nanum/NanumGothic.ttf", 0},  // no GSUB: nothing changes
    };
    for (const auto &f : fonts) {
        const std::string path = DebianFont(f.font);
        if (path.empty()) {
            std::printf("  %s: not installed\n", f.font);
            continue;
        }
        const Comparison c = CompareWithHarfBuzz(path, MappedCodes(path));
        std::printf("  %s: %ld characters, %ld with a vertical form, %ld not one glyph\n", f.font,
                    c.compared, c.substituted, c.notSingle);
        EXPECT_TRUE(c.differences.empty()) << f.font << ": " << ::testing::PrintToString(c.differences);
        EXPECT_GE(c.substituted, f.leastSubstituted) << f.font;
        EXPECT_LT(c.notSingle, 10) << f.font;
    }
}

// A format-12 sub-table mapping each code to glyph 1.
Bytes Format12ToGlyph1(const std::vector<uint32_t> &codes) {
    BEWriter w;
    w.U16(12).U16(0).U32(uint32_t(16 + 12 * codes.size())).U32(0).U32(uint32_t(codes.size()));
    for (uint32_t c : codes) w.U32(c).U32(c).U32(1);
    return w.bytes;
}

void AddRange(uint32_t first, uint32_t last, std::vector<uint32_t> *codes) {
    for (uint32_t c = first; c <= last; ++c) codes->push_back(c);
}

// The script a character's rules come from, checked against HarfBuzz's
// Unicode data: a font that maps every character below to glyph 1 and gives
// glyph 1 a different vertical form under each script it files rules for.
TEST(VerticalForms, TheCharactersScriptChoosesTheRulesAsHarfBuzzDoes) {
    if (!HaveHarfBuzz()) GTEST_SKIP() << "hb-shape is not installed (libharfbuzz-bin)";
    const char *const tags[] = {"hani", "kana", "hang", "bopo", "latn", "grek", "cyrl", "DFLT"};
    std::vector<GsubScript> scripts;
    std::vector<GsubFeature> features;
    std::vector<GsubLookup> lookups;
    for (uint16_t i = 0; i < 8; ++i) {
        scripts.push_back({tags[i], {i}});
        features.push_back({"vert", {i}});
        lookups.push_back({1, {SingleSubst2({{1, uint16_t(2 + i)}})}});
    }
    std::map<uint16_t, uint16_t> bmp;
    std::vector<uint32_t> codes, supplementary;
    AddRange(0x20, 0x3401, &codes);
    AddRange(0x4DBE, 0x4E01, &codes);
    AddRange(0x9FFE, 0x9FFF, &codes);
    AddRange(0xA000, 0xD7FF, &codes);
    AddRange(0xF900, 0xFFFD, &codes);
    for (uint32_t c : codes) bmp[uint16_t(c)] = 1;
    for (const auto &r : std::vector<std::pair<uint32_t, uint32_t>>{
             {0x1AFE0, 0x1B170}, {0x1F1FF, 0x1F201}, {0x1FFFF, 0x20001}, {0x2A6DE, 0x2A701},
             {0x2EBDF, 0x2EBE1}, {0x2F7FF, 0x2F801}, {0x2FA1C, 0x2FA1E}, {0x2FFFF, 0x30001},
             {0x323AE, 0x323B0}})
        AddRange(r.first, r.second, &supplementary);
    codes.insert(codes.end(), supplementary.begin(), supplementary.end());
    FontBuilder b;
    for (int i = 0; i < 10; ++i) b.AddGlyph(Glyph::Empty());
    // HarfBuzz reads the full map alone, we read it above U+FFFF.
    b.Cmap4(3, 1, bmp).CmapRaw(3, 10, Format12ToGlyph1(codes));
    b.RawTable("GSUB", GsubTable(scripts, features, lookups));
    const std::string path = b.WriteTo(ScratchDir("vertical_scripts") + "/scripts.ttf");
    const Comparison c = CompareWithHarfBuzz(path, codes);
    std::printf("  %ld characters compared, %ld not one glyph\n", c.compared, c.notSingle);
    EXPECT_TRUE(c.differences.empty()) << ::testing::PrintToString(c.differences);
    EXPECT_GT(c.compared, 29000);
}

}  // namespace
