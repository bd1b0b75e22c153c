// Fonts with CFF outlines from Debian's fonts-noto-cjk: every face of the
// Noto Sans CJK collection opens and draws, both character map formats
// reach its glyphs, metrics follow hmtx, and a sample of Noto Sans and
// Serif CJK JP agrees with FreeType's unhinted monochrome rendering
// (tests/fonts/cff_report.cpp gives the figures over every glyph).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "freetype_reference.h"
#include "kelmor.h"
#include "test_paths.h"
#include "ttf/api/handles.h"
#include "ttf/cff/cff.h"
#include "ttf/font/ttf.h"

using namespace kelmor_test;

namespace {

const char kSans[] = "opentype/noto/NotoSansCJK-Regular.ttc";
const char kSerif[] = "opentype/noto/NotoSerifCJK-Regular.ttc";

int InkPixels(const unsigned char *bits, int width, int height) {
    const int pitch = (width + 15) / 16 * 2;
    int ink = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) ink += !((bits[y * pitch + x / 8] >> (7 - x % 8)) & 1);
    return ink;
}

// Ink of the character `code` at 16 ppem, in either rendering mode.
int DrawCode(int32_t handle, uint32_t code, KelmorGlyphMetrics *m = nullptr) {
    int width = 0, height = 0;
    const char *ps = reinterpret_cast<const char *>(&code);
    if (m != nullptr && GetGlyphMetrics(handle, ps, m) != 1) return -1;
    const unsigned char *bits = GetBitmap(handle, ps, &width, &height, 0);
    return bits == nullptr ? -1 : InkPixels(bits, width, height);
}

TEST(CffFonts, EveryFaceOfTheCollectionOpensAndDraws) {
    const std::string path = DebianFont(kSans);
    if (path.empty()) GTEST_SKIP() << "fonts-noto-cjk is not installed";
    int faces = 0;
    for (int face = 0; face < 64; ++face) {
        const int32_t handle = OpenTTFontFace(path.c_str(), face);
        if (handle == 0) break;
        ++faces;
        ASSERT_EQ(1, SetPointSize(handle, 16, 72)) << "face " << face;
        SetEncoding(handle, KELMOR_CHARSET_UNICODE);
        for (int classic = 0; classic < 2; ++classic) {
            SetRenderOptions(handle, classic ? 0 : KELMOR_FAITHFUL);
            KelmorGlyphMetrics m{};
            EXPECT_GT(DrawCode(handle, 0x65E5, &m), 20) << "face " << face;  // 日
            EXPECT_EQ(16, m.iAdvance) << "face " << face;
            EXPECT_GT(m.iInkHeight, 10) << "face " << face;
        }
        CloseTTFont(handle);
    }
    EXPECT_EQ(10, faces);
}

// Codes above U+FFFF come from the format-12 sub-table.
TEST(CffFonts, BothCharacterMapFormatsReachGlyphs) {
    const std::string path = DebianFont(kSans);
    if (path.empty()) GTEST_SKIP() << "fonts-noto-cjk is not installed";
    const int32_t handle = OpenTTFont(path.c_str());
    ASSERT_NE(0, handle);
    ASSERT_EQ(1, SetPointSize(handle, 24, 72));
    SetEncoding(handle, KELMOR_CHARSET_UNICODE);
    SetRenderOptions(handle, KELMOR_FAITHFUL);
    for (uint32_t code : {0x3042u, 0x4E00u, 0x20B9Fu}) {  // あ 一 𠮟
        EXPECT_NE(0u, kelmor::GlyphForCode(kelmor::FontFromHandle(handle), code))
            << std::hex << code;
        EXPECT_GT(DrawCode(handle, code), 10) << std::hex << code;
    }
    CloseTTFont(handle);
}

// The faces share one CFF table of 65,535 glyphs; opening reads none of
// them: what a face holds for its outlines at open is its records.
TEST(CffFonts, AnOpenFaceReadsNoGlyphs) {
    const std::string path = DebianFont(kSans);
    if (path.empty()) GTEST_SKIP() << "fonts-noto-cjk is not installed";
    const int32_t handle = OpenTTFont(path.c_str());
    ASSERT_NE(0, handle);
    EXPECT_LT(kelmor::CffFaceBytes(kelmor::FontFromHandle(handle)), size_t(4096));
    CloseTTFont(handle);
}

// A sample of both fonts at the three sizes, against FreeType unhinted.
TEST(CffFonts, AgreeWithFreeTypeUnhinted) {
    for (const char *font : {kSans, kSerif}) {
        const std::string path = DebianFont(font);
        if (path.empty()) GTEST_SKIP() << "fonts-noto-cjk is not installed";
        for (int ppem : {12, 16, 24}) {
            LibraryFont ours(path, false, true);
            FreeTypeFont theirs(path);
            ASSERT_TRUE(ours.SetPixelsPerEm(ppem) && theirs.SetPixelsPerEm(ppem));
            std::vector<unsigned char> store;
            double agreementSum = 0;
            Tally total;
            for (long g = 1; g < theirs.GlyphCount(); g += 331) {
                PixelGrid mine{}, ref{};
                ASSERT_TRUE(ours.Render(int32_t(g), &mine)) << g;
                ASSERT_TRUE(theirs.Render(unsigned(g), false, &store, &ref)) << g;
                Tally one;
                CompareGlyph(mine, ref, one);
                agreementSum += one.Agreement();
                total += one;
            }
            EXPECT_GE(agreementSum / double(total.glyphs), 0.99) << font << " " << ppem;
            EXPECT_GE(double(total.identical) / double(total.glyphs), 0.95) << font << " " << ppem;
        }
    }
}

}  // namespace
