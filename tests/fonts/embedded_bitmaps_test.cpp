// Embedded bitmaps against FreeType on AR PL UMing, whose four faces carry
// 1-bit strikes at 11-16 px: every glyph FreeType draws from a strike must
// come out of ours pixel for pixel, with the same size, origin and advance,
// and every glyph FreeType draws from its outline must be ours from the
// outline too.  KELMOR_EMBEDDED_FIGURES=1 in the environment compares every
// glyph of every face and strike and prints the figures; by default every
// face is checked at one strike and every strike on face 0, each on every
// fifth glyph (every 25th under the sanitizers), which keeps the run short.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "glyph_agreement.h"
#include "kelmor.h"
#include "sanitized_build.h"
#include "test_paths.h"
#include "ttf/api/handles.h"
#include "ttf/font/ttf.h"

using namespace kelmor_test;

namespace {

const std::string kUMing = DebianFont("truetype/arphic/uming.ttc");

// FreeType's embedded bitmap of a glyph: its bits, or none when FreeType
// draws that glyph from the outline.
class FreeTypeStrikes {
public:
    FreeTypeStrikes(const std::string &path, int face) {
        if (FT_Init_FreeType(&library_) == 0 &&
            FT_New_Face(library_, path.c_str(), face, &face_) != 0)
            face_ = nullptr;
    }
    ~FreeTypeStrikes() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }
    bool Ok() const { return face_ != nullptr; }
    long Glyphs() const { return face_->num_glyphs; }
    std::vector<int> Sizes() const {
        std::vector<int> sizes;
        for (int i = 0; i < face_->num_fixed_sizes; ++i)
            sizes.push_back(int(face_->available_sizes[i].y_ppem >> 6));
        return sizes;
    }
    bool SetPpem(int ppem) { return FT_Set_Char_Size(face_, 0, ppem * 64, 72, 72) == 0; }
    // True when the glyph came from a strike (its bits then in `grid`).
    bool Image(unsigned glyph, PixelGrid *grid, int *advance) {
        // A strike's image is a bitmap before any rendering.
        if (FT_Load_Glyph(face_, glyph, FT_LOAD_TARGET_MONO) != 0 ||
            face_->glyph->format != FT_GLYPH_FORMAT_BITMAP ||
            FT_Load_Glyph(face_, glyph, FT_LOAD_TARGET_MONO | FT_LOAD_RENDER) != 0)
            return false;
        const FT_GlyphSlot slot = face_->glyph;
        if (slot->bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return false;
        *grid = {slot->bitmap.buffer, slot->bitmap.pitch, int(slot->bitmap.width),
                 int(slot->bitmap.rows), slot->bitmap_left, slot->bitmap_top - 1, false};
        *advance = int(slot->advance.x >> 6);
        return true;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

struct StrikeFigures {
    long fromImages = 0;      // glyphs FreeType drew from the strike
    long identical = 0;       // ... that ours matched in size, origin, advance and bits
    long sourceMismatch = 0;  // one drew an image, the other the outline
    long classicIdentical = 0;  // classic mode: the same ink on the glyph pixels
    std::vector<unsigned> firstFaults;
};

// Ours, opened on one face with the bits of `options`.
class OurFace {
public:
    OurFace(int face, int options) : handle_(OpenTTFontFace(kUMing.c_str(), face)) {
        if (handle_ == 0) return;
        SetEncoding(handle_, KELMOR_CHARSET_GLYPHNUMBER);
        SetRenderOptions(handle_, options);
    }
    ~OurFace() { CloseTTFont(handle_); }
    bool Ok() const { return handle_ != 0; }
    bool SetPpem(int ppem) { return SetPointSize(handle_, ppem, 72) == 1; }
    // Renders the glyph; true when it came from an image.
    bool Render(int32_t glyph, PixelGrid *grid, KelmorGlyphMetrics *m) {
        const char *code = reinterpret_cast<const char *>(&glyph);
        int width = 0, height = 0;
        if (GetGlyphMetrics(handle_, code, m) != 1) return false;
        const unsigned char *bits = GetBitmap(handle_, code, &width, &height, 0);
        if (bits == nullptr) return false;
        *grid = {bits, (width + 15) / 16 * 2, width, height, -m->iOriginX, m->iOriginY - 1, true};
        return kelmor::FontFromHandle(handle_)->G.FromImage != 0;
    }

private:
    int32_t handle_;
};

bool SameImage(const PixelGrid &ours, const KelmorGlyphMetrics &m, const PixelGrid &ref,
               int advance) {
    if (m.iAdvance != advance) return false;
    // An image without pixels has no bitmap to compare, only its advance.
    if (ref.width == 0 || ref.height == 0) return m.iInkWidth == 0;
    if (ours.width != ref.width || ours.height != ref.height || ours.left != ref.left ||
        ours.top != ref.top)
        return false;
    for (int y = ref.top; y > ref.top - ref.height; --y)
        for (int x = ref.left; x < ref.left + ref.width; ++x)
            if (ours.Ink(x, y) != ref.Ink(x, y)) return false;
    return true;
}

StrikeFigures CompareStrike(int face, int ppem, int step) {
    StrikeFigures f;
    FreeTypeStrikes reference(kUMing, face);
    OurFace faithful(face, KELMOR_FAITHFUL | KELMOR_EMBEDDED_BITMAPS);
    OurFace classic(face, KELMOR_EMBEDDED_BITMAPS);
    if (!reference.Ok() || !faithful.Ok() || !classic.Ok() || !reference.SetPpem(ppem) ||
        !faithful.SetPpem(ppem) || !classic.SetPpem(ppem))
        return f;
    for (long glyph = 0; glyph < reference.Glyphs(); glyph += step) {
        PixelGrid ref{}, ours{}, cell{};
        KelmorGlyphMetrics m{}, cm{};
        int advance = 0;
        const bool theirsImage = reference.Image(unsigned(glyph), &ref, &advance);
        const bool oursImage = faithful.Render(int32_t(glyph), &ours, &m);
        if (theirsImage != oursImage) {
            ++f.sourceMismatch;
            if (f.firstFaults.size() < 8) f.firstFaults.push_back(unsigned(glyph));
        }
        if (!theirsImage) continue;
        ++f.fromImages;
        if (oursImage && SameImage(ours, m, ref, advance)) {
            ++f.identical;
        } else if (f.firstFaults.size() < 8) {
            f.firstFaults.push_back(unsigned(glyph));
        }
        Tally t;
        if (classic.Render(int32_t(glyph), &cell, &cm)) CompareGlyph(cell, ref, t);
        f.classicIdentical += t.identical;
    }
    return f;
}

bool EveryGlyph() {
    const char *all = std::getenv("KELMOR_EMBEDDED_FIGURES");
    return all != nullptr && std::strcmp(all, "1") == 0;
}

void CheckStrike(int face, int ppem, int step) {
    const StrikeFigures f = CompareStrike(face, ppem, step);
    std::printf("face %d, %2d px: %ld images, %ld identical, %ld in the classic box, "
                "%ld drawn from different sources\n",
                face, ppem, f.fromImages, f.identical, f.classicIdentical, f.sourceMismatch);
    EXPECT_GT(f.fromImages, 15000 / step);
    EXPECT_EQ(f.identical, f.fromImages) << "face " << face << " " << ppem << " px";
    EXPECT_EQ(f.sourceMismatch, 0);
    for (unsigned glyph : f.firstFaults) ADD_FAILURE() << "glyph " << glyph;
}

TEST(EmbeddedBitmaps, UMingStrikesMatchFreeType) {
    if (kUMing.empty()) GTEST_SKIP() << "AR PL UMing is not installed";
    FreeTypeStrikes probe(kUMing, 0);
    ASSERT_TRUE(probe.Ok());
    const std::vector<int> sizes = probe.Sizes();
    ASSERT_EQ(sizes.size(), 6u);
    const bool all = EveryGlyph();
    for (int face = 0; face < 4; ++face) {
        for (size_t i = 0; i < sizes.size(); ++i) {
            if (!all && face != 0 && int(i) != face) continue;
            CheckStrike(face, sizes[i], all ? 1 : kSanitizedBuild ? 25 : 5);
        }
    }
}

// Without the option bit, and at sizes no strike has, the outline is drawn
// exactly as before.
TEST(EmbeddedBitmaps, OutlineWhereNoStrikeServes) {
    if (kUMing.empty()) GTEST_SKIP() << "AR PL UMing is not installed";
    struct Case {
        int options, ppem;
        bool image;
    } cases[] = {
        {KELMOR_FAITHFUL, 12, false},
        {KELMOR_FAITHFUL | KELMOR_EMBEDDED_BITMAPS, 12, true},
        {KELMOR_FAITHFUL | KELMOR_EMBEDDED_BITMAPS, 17, false},
        {KELMOR_EMBEDDED_BITMAPS, 10, false},
        {KELMOR_EMBEDDED_BITMAPS, 16, true},
    };
    for (const Case &c : cases) {
        OurFace font(0, c.options);
        ASSERT_TRUE(font.Ok() && font.SetPpem(c.ppem));
        PixelGrid grid{};
        KelmorGlyphMetrics m{};
        EXPECT_EQ(font.Render(4000, &grid, &m), c.image) << c.options << " at " << c.ppem;
    }
}

}  // namespace
