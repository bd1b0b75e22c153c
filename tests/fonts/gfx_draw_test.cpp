// Headers written by `kelmor carray` at build time, compiled into this
// program and drawn the way Adafruit GFX's drawChar walks a glyph's bits:
// kana and 2,136 kanji from IPA Gothic at 16 pixels (one part, a table of
// codes), the same at 24 pixels (bitmaps beyond 64 KiB: two parts), and a
// contiguous range at 24 pixels (two parts without a table).  Every glyph
// must put exactly the library's ink on the same pixels around the origin,
// advance as GetGlyphMetrics says, and the line advance must be FreeType's.
//
// The kanji list (tests/data/kanji_2136.txt) stands in for the Jōyō list,
// which this machine does not carry: the first 2,136 kanji of JIS X 0208's
// first level in JIS order, a spread over U+4E00-U+9FA0 much like the
// Jōyō kanji's.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "kelmor.h"
#include "library_ink.h"
#include "test_paths.h"
#include "ttf/api/handles.h"
#include "ttf/font/ttf.h"

#include "gfxfont_types.h"

#if KELMOR_GFX_HEADERS
#include "kana_kanji_16.h"
#include "kana_kanji_24.h"
#include "cjk_4e00_24.h"
#include "kana_sip_16.h"
#endif

namespace {

using kelmor_test::InkSet;
using kelmor_test::LibraryGlyph;

// Adafruit GFX's drawChar loop, drawing into a set of pixels around the
// cursor at (0, 0) on the baseline (turned y up, as the library's ink).
InkSet DrawChar(const GFXfont *font, uint16_t c) {
    const GFXglyph *glyph = &font->glyph[c - font->first];
    const uint8_t *bitmap = font->bitmap;
    uint32_t offset = glyph->bitmapOffset;
    uint8_t bits = 0, bit = 0;
    InkSet ink;
    for (int yy = 0; yy < glyph->height; ++yy) {
        for (int xx = 0; xx < glyph->width; ++xx) {
            if (!(bit++ & 7)) bits = bitmap[offset++];
            if (bits & 0x80) ink.insert({glyph->xOffset + xx, -(glyph->yOffset + yy) - 1});
            bits = uint8_t(bits << 1);
        }
    }
    return ink;
}

class Library {
public:
    Library(const std::string &font, int points) : handle_(OpenTTFont(font.c_str())) {
        SetRenderOptions(handle_, KELMOR_FAITHFUL);
        SetPointSize(handle_, points, 72);
        SetEncoding(handle_, KELMOR_CHARSET_UNICODE);
    }
    ~Library() { CloseTTFont(handle_); }

    // Not rendered for a code the font's map lacks (GetBitmap would draw
    // glyph 0).
    LibraryGlyph Glyph(uint32_t code) const {
        if (kelmor::GetGlyphNo(kelmor::FontFromHandle(handle_), code) == 0) return {};
        return kelmor_test::LibraryInk(handle_, reinterpret_cast<const char *>(&code));
    }

private:
    int32_t handle_;
};

// The code points of a UTF-8 file, line ends left out.
std::vector<uint32_t> CodePointsOf(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string bytes = text.str();
    std::vector<uint32_t> codes;
    for (size_t i = 0; i < bytes.size();) {
        const uint8_t lead = uint8_t(bytes[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        uint32_t value = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length && i + k < bytes.size(); ++k)
            value = value << 6 | (uint8_t(bytes[i + k]) & 0x3F);
        if (value >= 0x20) codes.push_back(value);
        i += size_t(length);
    }
    return codes;
}

int FreeTypeLineHeight(const std::string &font, int pixels) {
    FT_Library ft;
    FT_Face face;
    if (FT_Init_FreeType(&ft) != 0) return -1;
    int height = -1;
    if (FT_New_Face(ft, font.c_str(), 0, &face) == 0) {
        FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels));
        height = int(face->size->metrics.height >> 6);
        FT_Done_Face(face);
    }
    FT_Done_FreeType(ft);
    return height;
}

// A header's NAMEFind: 16-bit codes, or 32-bit ones when a code lies above FFFF.
using Find = std::function<const GFXfont *(uint32_t code, uint16_t *c)>;

// Draws every code through the header's lookup and the GFX loop.
void CheckHeader(Find find, int pixels, const std::vector<uint32_t> &codes, size_t parts) {
    const std::string font = kelmor_test::DebianFont("opentype/ipafont-gothic/ipag.ttf");
    Library library(font, pixels);
    const int lineHeight = FreeTypeLineHeight(font, pixels);
    std::set<const GFXfont *> seen;
    size_t drawn = 0;
    for (uint32_t code : codes) {
        const LibraryGlyph ours = library.Glyph(code);
        uint16_t c = 0;
        const GFXfont *part = find(code, &c);
        if (!ours.rendered) {
            // Absent, or (in a single range) an empty place.
            if (part != nullptr) {
                EXPECT_EQ(DrawChar(part, c), InkSet{}) << std::hex << code;
                EXPECT_EQ(part->glyph[c - part->first].xAdvance, 0);
            }
            continue;
        }
        ASSERT_NE(part, nullptr) << std::hex << "code " << code;
        ASSERT_GE(c, part->first);
        ASSERT_LE(c, part->last);
        EXPECT_EQ(DrawChar(part, c), ours.ink) << std::hex << "code " << code;
        EXPECT_EQ(part->glyph[c - part->first].xAdvance, ours.advance) << std::hex << code;
        EXPECT_EQ(part->yAdvance, lineHeight);
        seen.insert(part);
        ++drawn;
    }
    EXPECT_EQ(seen.size(), parts);
    EXPECT_GT(drawn, codes.size() / 3);
}

std::vector<uint32_t> Range(uint32_t first, uint32_t last) {
    std::vector<uint32_t> codes;
    for (uint32_t code = first; code <= last; ++code) codes.push_back(code);
    return codes;
}

TEST(GfxHeader, KanaAndKanjiDrawAsTheLibraryDrawsThem) {
#if KELMOR_GFX_HEADERS
    std::vector<uint32_t> codes = Range(0x3041, 0x30FF);
    const std::vector<uint32_t> kanji = CodePointsOf(KELMOR_KANJI_LIST);
    ASSERT_EQ(kanji.size(), 2136u);
    codes.insert(codes.end(), kanji.begin(), kanji.end());
    CheckHeader(kana_kanji_16_16ptFind, 16, codes, 1);
    CheckHeader(kana_kanji_24_24ptFind, 24, codes, 2);
    // Codes between the ones asked for are not in the table.
    uint16_t c = 0;
    EXPECT_EQ(kana_kanji_16_16ptFind(0x4E02, &c), nullptr);  // not in JIS X 0208
    EXPECT_EQ(kana_kanji_16_16ptFind(0x0041, &c), nullptr);
    EXPECT_EQ(kana_kanji_16_16ptFind(0xFFFF, &c), nullptr);
#else
    GTEST_SKIP() << "IPA Gothic was not installed when the tests were built";
#endif
}

// carray refused U+20B9F ("lies above FFFF"); the header had no line
// metrics for a draw loop's first baseline.
TEST(GfxHeader, CodesAboveFFFFComeWithAWideCodeTableAndTheLineMetrics) {
#if KELMOR_GFX_HEADERS
    std::vector<uint32_t> codes = Range(0x3041, 0x3096);
    codes.push_back(0x20B9F);
    CheckHeader(kana_sip_16_16ptFind, 16, codes, 1);
    uint16_t c = 0;
    ASSERT_NE(kana_sip_16_16ptFind(0x20B9F, &c), nullptr);
    EXPECT_EQ(kana_sip_16_16ptFind(0x0B9F, &c), nullptr);  // not cut to 16 bits
    const std::string font = kelmor_test::DebianFont("opentype/ipafont-gothic/ipag.ttf");
    EXPECT_EQ(kana_sip_16_16ptLineHeight, FreeTypeLineHeight(font, 16));
    EXPECT_EQ(kana_sip_16_16ptLineHeight, kana_sip_16_16ptPart0.yAdvance);
    EXPECT_GT(kana_sip_16_16ptAscent, 0);
    EXPECT_GT(kana_sip_16_16ptDescent, 0);
    EXPECT_LE(kana_sip_16_16ptAscent, 16);
#else
    GTEST_SKIP() << "IPA Gothic was not installed when the tests were built";
#endif
}

TEST(GfxHeader, ContiguousCodesBeyond64KiBSplitIntoParts) {
#if KELMOR_GFX_HEADERS
    CheckHeader(cjk_4e00_24_24ptFind, 24, Range(0x4DFF, 0x6000), 2);
#else
    GTEST_SKIP() << "IPA Gothic was not installed when the tests were built";
#endif
}

}  // namespace
