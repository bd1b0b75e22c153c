// Every glyph of real CJK and Latin fonts rendered unhinted by the library
// and by FreeType's monochrome rasterizer, compared pixel by pixel with both
// bitmaps placed on the glyph origin.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "glyph_agreement.h"
#include "kelmor.h"
#include "sanitized_build.h"
#include "test_paths.h"
#include "ttf/api/handles.h"
#include "ttf/font/ttf.h"

namespace {

// Under the sanitizers: a sample of the fonts.
constexpr int kGlyphStep = kelmor_test::kSanitizedBuild ? 3 : 1;

constexpr int kSizes[] = {16, 24, 48};

struct FontCase {
    const char *path;      // below /usr/share/fonts
    double floor[3];       // least agreement accepted at each size
};

using kelmor_test::CompareGlyph;
using kelmor_test::PixelGrid;
using kelmor_test::Tally;

PixelGrid ReferenceGrid(const FT_GlyphSlot slot) {
    const FT_Bitmap &bm = slot->bitmap;
    return {bm.buffer, bm.pitch, int(bm.width), int(bm.rows), slot->bitmap_left,
            slot->bitmap_top - 1, false};
}

class FreeTypeAgreement : public ::testing::TestWithParam<FontCase> {
protected:
    void SetUp() override {
        path_ = kelmor_test::DebianFont(GetParam().path);
        if (path_.empty()) GTEST_SKIP() << GetParam().path << " is not installed";
        ASSERT_EQ(0, FT_Init_FreeType(&lib_));
        ASSERT_EQ(0, FT_New_Face(lib_, path_.c_str(), 0, &face_));
        handle_ = OpenTTFont(path_.c_str());
        ASSERT_NE(0, handle_);
        ASSERT_EQ(241, SetEncoding(handle_, 241));
        // The reference renders unhinted outlines: no glyph or component
        // program runs.
        ASSERT_EQ(0, SetRenderOptions(handle_, KELMOR_NO_HINTING));
    }
    void TearDown() override {
        CloseTTFont(handle_);
        if (face_) FT_Done_Face(face_);
        if (lib_) FT_Done_FreeType(lib_);
    }

    Tally RenderAll(int ppem) {
        Tally t;
        EXPECT_EQ(1, SetPointSize(handle_, ppem, 72));
        EXPECT_EQ(0, FT_Set_Char_Size(face_, 0, ppem * 64, 72, 72));
        const int yMinMult = kelmor::FontFromHandle(handle_)->G.S.yMinMult;
        for (int32_t glyph = 0; glyph < int32_t(face_->num_glyphs); glyph += kGlyphStep) {
            int width = 0, height = 0;
            const unsigned char *bits = GetBitmap(
                handle_, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
            if (bits == nullptr) {
                ADD_FAILURE() << "no bitmap for glyph " << glyph;
                continue;
            }
            if (FT_Load_Glyph(face_, FT_UInt(glyph), FT_LOAD_NO_HINTING | FT_LOAD_TARGET_MONO) ||
                FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_MONO))
                continue;
            CompareGlyph(kelmor_test::LibraryGrid(bits, width, height, yMinMult),
                         ReferenceGrid(face_->glyph), t);
        }
        return t;
    }

    std::string path_;
    FT_Library lib_ = nullptr;
    FT_Face face_ = nullptr;
    int32_t handle_ = 0;
};

TEST_P(FreeTypeAgreement, EveryGlyphAtThreeSizes) {
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const Tally t = RenderAll(kSizes[i]);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf(
            "%-44s %2d ppem: %6ld glyphs (%5.1f%% identical), agreement %.4f; "
            "differing pixels %ld (ours only %ld, FreeType only %ld of which %ld one pixel tall; "
            "%.1f%% on FreeType's ink boundary), FreeType ink outside the box %ld; %.1f s\n",
            GetParam().path, kSizes[i], t.glyphs, 100.0 * t.identical / std::max(1L, t.glyphs),
            t.Agreement(), t.Differing(), t.oursOnly, t.theirsOnly, t.thinRows,
            100.0 * t.onBoundary / std::max(1L, t.Differing()), t.outside, seconds);
        EXPECT_GE(t.Agreement(), GetParam().floor[i]) << kSizes[i] << " ppem";
        RecordProperty(std::to_string(kSizes[i]) + "ppem_agreement", std::to_string(t.Agreement()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    DebianFonts, FreeTypeAgreement,
    ::testing::Values(FontCase{"opentype/ipafont-gothic/ipag.ttf", {0.89, 0.94, 0.965}},
                      FontCase{"truetype/arphic-bsmi00lp/bsmi00lp.ttf", {0.61, 0.82, 0.925}},
                      FontCase{"truetype/unfonts-core/UnDotum.ttf", {0.92, 0.94, 0.96}},
                      FontCase{"truetype/dejavu/DejaVuSans.ttf", {0.89, 0.895, 0.95}}));

}  // namespace
