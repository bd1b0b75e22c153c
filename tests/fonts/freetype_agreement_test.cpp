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

#include "kelmor.h"
#include "test_paths.h"
#include "ttf/handles.h"
#include "ttf/ttf.h"

namespace {

// Under the sanitizers every glyph costs many times more: sample the fonts.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kGlyphStep = 3;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kGlyphStep = 3;
#else
constexpr int kGlyphStep = 1;
#endif
#else
constexpr int kGlyphStep = 1;
#endif

constexpr int kSizes[] = {16, 24, 48};

struct FontCase {
    const char *path;      // below /usr/share/fonts
    double floor[3];       // least agreement accepted at each size
};

// Pixels counted over all glyphs of one font at one size.
struct Tally {
    long common = 0;      // ink in both
    long oursOnly = 0;
    long theirsOnly = 0;  // ink FreeType sets inside our bitmap that we do not
    long outside = 0;     // FreeType ink with no place in our bitmap (outside the font box)
    long onBoundary = 0;  // differing pixels next to a change of ink in FreeType's bitmap
    long thinRows = 0;    // FreeType-only pixels with no FreeType ink above or below them
    long glyphs = 0;
    long identical = 0;

    long Differing() const { return oursOnly + theirsOnly; }
    double Agreement() const {
        const long either = common + oursOnly + theirsOnly + outside;
        return either == 0 ? 1.0 : double(common) / double(either);
    }
};

// A bitmap looked up by glyph pixel: (x, y) is the pixel spanning x .. x + 1
// right of the origin and y .. y + 1 above the baseline.
struct PixelGrid {
    const unsigned char *bits;
    int pitch, width, height;
    int left, top;  // glyph pixel of the bitmap's top-left pixel
    bool inkIsZero;

    bool Inside(int x, int y) const {
        return x >= left && x < left + width && y <= top && y > top - height;
    }
    bool Ink(int x, int y) const {
        if (!Inside(x, y)) return false;
        const int column = x - left, row = top - y;
        const bool set = bits[row * pitch + (column >> 3)] & (0x80 >> (column & 7));
        return set != inkIsZero;
    }
    // Next to a change of ink: where two rasterizers may decide differently.
    bool OnBoundary(int x, int y) const {
        const bool ink = Ink(x, y);
        return Ink(x - 1, y) != ink || Ink(x + 1, y) != ink || Ink(x, y - 1) != ink ||
               Ink(x, y + 1) != ink;
    }
    // One pixel tall: a stroke thinner than a row, which only a rasterizer
    // that also samples columns keeps.
    bool Thin(int x, int y) const { return !Ink(x, y - 1) && !Ink(x, y + 1); }
};

// Our bitmap: column 0 is the glyph origin, the bottom row is yMinMult.
PixelGrid OurGrid(const unsigned char *bits, int width, int height, int yMinMult) {
    return {bits, (width + 15) / 16 * 2, width, height, 0, yMinMult + height - 1, true};
}

PixelGrid ReferenceGrid(const FT_GlyphSlot slot) {
    const FT_Bitmap &bm = slot->bitmap;
    return {bm.buffer, bm.pitch, int(bm.width), int(bm.rows), slot->bitmap_left,
            slot->bitmap_top - 1, false};
}

void CompareGlyph(const PixelGrid &ours, const PixelGrid &ref, Tally &t) {
    const long before = t.Differing() + t.outside;
    for (int y = ref.top; y > ref.top - ref.height; --y) {
        for (int x = ref.left; x < ref.left + ref.width; ++x) {
            if (!ref.Ink(x, y)) continue;
            if (!ours.Inside(x, y)) {
                ++t.outside;
            } else if (ours.Ink(x, y)) {
                ++t.common;
            } else {
                ++t.theirsOnly;
                t.onBoundary += ref.OnBoundary(x, y);
                t.thinRows += ref.Thin(x, y);
            }
        }
    }
    for (int y = ours.top; y > ours.top - ours.height; --y) {
        for (int x = 0; x < ours.width; ++x) {
            if (!ours.Ink(x, y) || ref.Ink(x, y)) continue;
            ++t.oursOnly;
            t.onBoundary += ref.OnBoundary(x, y);
        }
    }
    ++t.glyphs;
    t.identical += (t.Differing() + t.outside == before);
}

class FreeTypeAgreement : public ::testing::TestWithParam<FontCase> {
protected:
    void SetUp() override {
        // The reference renders unhinted outlines: switch the glyph programs
        // off (component programs still run, as they always do).
        kelmor::NoInterpretOverall = 1;
        path_ = kelmor_test::DebianFont(GetParam().path);
        if (path_.empty()) GTEST_SKIP() << GetParam().path << " is not installed";
        ASSERT_EQ(0, FT_Init_FreeType(&lib_));
        ASSERT_EQ(0, FT_New_Face(lib_, path_.c_str(), 0, &face_));
        handle_ = OpenTTFont(path_.c_str());
        ASSERT_NE(0, handle_);
        ASSERT_EQ(241, SetEncoding(handle_, 241));
    }
    void TearDown() override {
        kelmor::NoInterpretOverall = 0;
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
            CompareGlyph(OurGrid(bits, width, height, yMinMult), ReferenceGrid(face_->glyph), t);
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
