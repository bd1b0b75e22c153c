// Every glyph of real CJK and Latin fonts rendered unhinted by the library
// and by FreeType's monochrome rasterizer, compared pixel by pixel with both
// bitmaps placed on the glyph origin.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

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

// FreeType's bitmap as a lookup by glyph pixel: x to the right of the
// origin, y upward (the pixel spanning y .. y + 1).
class Reference {
public:
    explicit Reference(const FT_GlyphSlot slot)
        : bm_(slot->bitmap), left_(slot->bitmap_left), top_(slot->bitmap_top) {}
    int Columns() const { return int(bm_.width); }
    int Rows() const { return int(bm_.rows); }
    int X(int column) const { return left_ + column; }
    int Y(int row) const { return top_ - 1 - row; }
    bool InkAt(int column, int row) const {
        if (column < 0 || row < 0 || column >= Columns() || row >= Rows()) return false;
        const unsigned char *line = bm_.buffer + row * bm_.pitch;
        return (line[column >> 3] & (0x80 >> (column & 7))) != 0;
    }
    // Ink one pixel tall: a stroke thinner than a row, which only a
    // rasterizer that also samples columns keeps.
    bool Thin(int column, int row) const {
        return !InkAt(column, row - 1) && !InkAt(column, row + 1);
    }
    bool OnBoundary(int column, int row) const {
        const bool ink = InkAt(column, row);
        return InkAt(column - 1, row) != ink || InkAt(column + 1, row) != ink ||
               InkAt(column, row - 1) != ink || InkAt(column, row + 1) != ink;
    }
    // The reference pixel holding glyph pixel (x, y).
    int ColumnOf(int x) const { return x - left_; }
    int RowOf(int y) const { return top_ - 1 - y; }

private:
    const FT_Bitmap &bm_;
    int left_, top_;
};

// Our bitmap: column c is x = c, memory row r is y = yMinMult + height - 1 - r;
// ink is a 0 bit.
class Ours {
public:
    Ours(const unsigned char *bits, int width, int height, int yMinMult)
        : bits_(bits), width_(width), height_(height), yMin_(yMinMult),
          rowBytes_((width + 15) / 16 * 2) {}
    int Width() const { return width_; }
    int Height() const { return height_; }
    int X(int column) const { return column; }
    int Y(int row) const { return yMin_ + height_ - 1 - row; }
    bool Inside(int x, int y) const {
        const int row = height_ - 1 - (y - yMin_);
        return x >= 0 && x < width_ && row >= 0 && row < height_;
    }
    bool InkAt(int x, int y) const {
        if (!Inside(x, y)) return false;
        const int row = height_ - 1 - (y - yMin_);
        return !(bits_[row * rowBytes_ + (x >> 3)] & (0x80 >> (x & 7)));
    }

private:
    const unsigned char *bits_;
    int width_, height_, yMin_, rowBytes_;
};

void CompareGlyph(const Ours &ours, const Reference &ref, Tally &t) {
    const long before = t.Differing() + t.outside;
    long theirsInside = 0;
    for (int row = 0; row < ref.Rows(); ++row) {
        for (int column = 0; column < ref.Columns(); ++column) {
            if (!ref.InkAt(column, row)) continue;
            const int x = ref.X(column), y = ref.Y(row);
            if (!ours.Inside(x, y)) {
                ++t.outside;
            } else if (ours.InkAt(x, y)) {
                ++theirsInside;
            } else {
                ++t.theirsOnly;
                t.onBoundary += ref.OnBoundary(column, row);
                t.thinRows += ref.Thin(column, row);
            }
        }
    }
    for (int row = 0; row < ours.Height(); ++row) {
        for (int column = 0; column < ours.Width(); ++column) {
            const int x = ours.X(column), y = ours.Y(row);
            if (!ours.InkAt(x, y) || ref.InkAt(ref.ColumnOf(x), ref.RowOf(y))) continue;
            ++t.oursOnly;
            t.onBoundary += ref.OnBoundary(ref.ColumnOf(x), ref.RowOf(y));
        }
    }
    t.common += theirsInside;
    ++t.glyphs;
    t.identical += (t.Differing() + t.outside == before);
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
            CompareGlyph(Ours(bits, width, height, yMinMult), Reference(face_->glyph), t);
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
                      FontCase{"truetype/arphic-bsmi00lp/bsmi00lp.ttf", {0.70, 0.83, 0.925}},
                      FontCase{"truetype/unfonts-core/UnDotum.ttf", {0.92, 0.94, 0.96}},
                      FontCase{"truetype/dejavu/DejaVuSans.ttf", {0.89, 0.895, 0.95}}));

}  // namespace
