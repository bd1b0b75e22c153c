// Grey levels against FreeType's smooth renderer (FT_RENDER_MODE_NORMAL),
// whole fonts: every step-th glyph of four CJK fonts at 12, 16, 24 and 48
// ppem, unhinted and hinted (TrueType programs on FreeType's version-35
// interpreter; CFF outlines unhinted only, as the library draws them).
// A glyph agrees when its bitmap has the same size and place and every
// level is the same.
//
// KELMOR_GRAY_FIGURES=1 compares every glyph and prints the figures.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kelmor.h"

namespace {

// One grey bitmap: levels row by row, top row first; left and top as
// FreeType's bitmap_left and bitmap_top.
struct GrayImage {
    int width = 0, rows = 0, left = 0, top = 0;
    std::vector<uint8_t> levels;
    // A bitmap without pixels has no place: FreeType keeps the width of a
    // flat outline (IPA Gothic's glyph 261 hinted) where we give 0 by 0.
    bool Empty() const { return width == 0 || rows == 0; }
    bool SamePlace(const GrayImage &o) const {
        if (Empty() || o.Empty()) return Empty() && o.Empty();
        return width == o.width && rows == o.rows && left == o.left && top == o.top;
    }
};

class FreeTypeGray {
public:
    FreeTypeGray(const char *path, long face) {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            return;
        }
        FT_UInt version = TT_INTERPRETER_VERSION_35;
        FT_Property_Set(library_, "truetype", "interpreter-version", &version);
        if (FT_New_Face(library_, path, face, &face_) != 0) face_ = nullptr;
    }
    ~FreeTypeGray() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }
    FreeTypeGray(const FreeTypeGray &) = delete;
    FreeTypeGray &operator=(const FreeTypeGray &) = delete;

    bool Ok() const { return face_ != nullptr; }
    long Glyphs() const { return face_->num_glyphs; }
    bool Size(int ppem) { return FT_Set_Char_Size(face_, 0, ppem * 64, 72, 72) == 0; }
    // FreeType's default loading for a grey target, or its unhinted one.
    bool Render(unsigned glyph, bool hinted, GrayImage *out) {
        const FT_Int32 flags = FT_LOAD_NO_BITMAP | (hinted ? FT_LOAD_DEFAULT : FT_LOAD_NO_HINTING);
        if (FT_Load_Glyph(face_, glyph, flags) != 0 || FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL) != 0)
            return false;
        const FT_Bitmap &bm = face_->glyph->bitmap;
        out->width = int(bm.width), out->rows = int(bm.rows);
        out->left = face_->glyph->bitmap_left, out->top = face_->glyph->bitmap_top;
        out->levels.resize(size_t(out->width) * size_t(out->rows));
        for (int y = 0; y < out->rows; ++y)
            std::memcpy(&out->levels[size_t(y) * size_t(out->width)], bm.buffer + y * bm.pitch, size_t(out->width));
        return true;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

class KelmorGray {
public:
    KelmorGray(const char *path, int face, bool hinted) : handle_(OpenTTFontFace(path, face)) {
        if (handle_ == 0) return;
        SetRenderOptions(handle_, KELMOR_FAITHFUL | (hinted ? 0 : KELMOR_NO_HINTING));
        SetEncoding(handle_, KELMOR_CHARSET_GLYPHNUMBER);
    }
    ~KelmorGray() {
        if (handle_ != 0) CloseTTFont(handle_);
    }
    KelmorGray(const KelmorGray &) = delete;
    KelmorGray &operator=(const KelmorGray &) = delete;

    bool Ok() const { return handle_ != 0; }
    bool Size(int ppem) { return SetPointSize(handle_, ppem, 72) == 1; }
    bool Render(unsigned glyph, GrayImage *out) {
        const uint32_t code = glyph;
        int width = -1, rows = -1;
        KelmorGlyphMetrics m{};
        const unsigned char *levels =
            GetGrayBitmap(handle_, reinterpret_cast<const char *>(&code), &width, &rows, 0, 8, &m);
        if (width < 0) return false;
        out->width = width, out->rows = rows;
        out->left = -m.iOriginX, out->top = m.iOriginY;
        out->levels.assign(levels, levels + size_t(width) * size_t(rows));
        return true;
    }

private:
    int32_t handle_;
};

struct Figures {
    long glyphs = 0;
    long identical = 0;
    long placeDiffers = 0;
    long failures = 0;  // glyphs either library could not render
    int maxLevelDifference = 0;
    std::vector<unsigned> differing;  // the first few
};

// The largest level difference of two images of the same size and place.
int LevelDifference(const GrayImage &a, const GrayImage &b) {
    int most = 0;
    for (size_t i = 0; i < a.levels.size(); ++i) most = std::max(most, std::abs(int(a.levels[i]) - int(b.levels[i])));
    return most;
}

Figures Compare(const char *path, int face, int ppem, bool hinted, long step) {
    Figures f;
    FreeTypeGray reference(path, face);
    KelmorGray ours(path, face, hinted);
    if (!reference.Ok() || !ours.Ok() || !reference.Size(ppem) || !ours.Size(ppem)) {
        f.failures = -1;
        return f;
    }
    GrayImage theirs, mine;
    for (long g = 0; g < reference.Glyphs(); g += step) {
        if (!reference.Render(unsigned(g), hinted, &theirs) || !ours.Render(unsigned(g), &mine)) {
            ++f.failures;
            continue;
        }
        ++f.glyphs;
        if (!theirs.SamePlace(mine)) {
            ++f.placeDiffers;
            if (f.differing.size() < 8) f.differing.push_back(unsigned(g));
            continue;
        }
        const int difference = LevelDifference(theirs, mine);
        f.maxLevelDifference = std::max(f.maxLevelDifference, difference);
        if (difference == 0)
            ++f.identical;
        else if (f.differing.size() < 8)
            f.differing.push_back(unsigned(g));
    }
    return f;
}

struct FontCase {
    const char *name;
    const char *path;
    int face;
    bool hintable;  // CFF outlines are drawn unhinted only
};

const FontCase kFonts[] = {
    {"IPA Gothic", "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", 0, true},
    {"AR PL Mingti", "/usr/share/fonts/truetype/arphic-bsmi00lp/bsmi00lp.ttf", 0, true},
    {"UnDotum", "/usr/share/fonts/truetype/unfonts-core/UnDotum.ttf", 0, true},
    {"Noto Sans CJK", "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc", 0, false},
    // No programs: hinted means auto-hinted, for FreeType's grey target.
    {"AR PL UMing", "/usr/share/fonts/truetype/arphic/uming.ttc", 0, true},
};
const int kSizes[] = {12, 16, 24, 48};

bool FullFigures() {
    const char *value = std::getenv("KELMOR_GRAY_FIGURES");
    return value != nullptr && value[0] == '1';
}

TEST(GrayAgreement, WholeFontsMatchFreeTypesSmoothRenderer) {
    const bool full = FullFigures();
    for (const FontCase &font : kFonts) {
        if (FILE *file = std::fopen(font.path, "rb")) {
            std::fclose(file);
        } else {
            std::printf("skipped %s: %s is not installed\n", font.name, font.path);
            continue;
        }
        for (int ppem : kSizes) {
            for (bool hinted : {false, true}) {
                if (hinted && !font.hintable) continue;
                const long step = full ? 1 : (ppem >= 48 ? 97 : 29);
                const Figures f = Compare(font.path, font.face, ppem, hinted, step);
                SCOPED_TRACE(std::string(font.name) + " " + std::to_string(ppem) + " ppem " +
                             (hinted ? "hinted" : "unhinted"));
                ASSERT_GE(f.failures, 0) << "cannot open or size the font";
                if (full)
                    std::printf("%-14s %2d ppem %-8s %6ld glyphs  %7.3f%% identical  %ld placed apart  "
                                "max level difference %d  failures %ld\n",
                                font.name, ppem, hinted ? "hinted" : "unhinted", f.glyphs,
                                f.glyphs ? 100.0 * f.identical / f.glyphs : 0.0, f.placeDiffers,
                                f.maxLevelDifference, f.failures);
                std::string first;
                for (unsigned g : f.differing) first += " " + std::to_string(g);
                EXPECT_GE(f.identical * 1000, f.glyphs * 999) << "differing glyphs:" << first;
                EXPECT_EQ(0, f.placeDiffers) << "glyphs:" << first;
                EXPECT_LE(f.maxLevelDifference, 1) << "glyphs:" << first;
            }
        }
    }
}

}  // namespace
