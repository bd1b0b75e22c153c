// The auto-hinter against FreeType's default monochrome rendering, whole
// fonts: fonts without hinting programs, drawn in the faithful mode, each
// glyph compared with what FreeType draws by default (its auto-hinter).
// The floors sit just under what was measured; the figures of every size
// from 10 to 24 px print with KELMOR_AUTOHINT_ALL_SIZES=1.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "freetype_reference.h"
#include "glyph_agreement.h"
#include "kelmor.h"

namespace kelmor_test {
namespace {

struct AutohintFigures {
    Tally pixels;
    long glyphs = 0;
    long identical = 0;      // same bits in the same place
    long sameAdvance = 0;
    long rowsLost = 0;       // glyphs with a row FreeType inks and we leave empty
};

// Whether FreeType's glyph has a row with ink that ours leaves empty.
bool LosesARow(const PixelGrid &ours, const PixelGrid &ref) {
    for (int y = ref.top; y > ref.top - ref.height; --y) {
        bool theirs = false, mine = false;
        for (int x = ref.left; x < ref.left + ref.width && !theirs; ++x) theirs = ref.Ink(x, y);
        if (!theirs) continue;
        for (int x = ours.left; x < ours.left + ours.width && !mine; ++x) mine = ours.Inside(x, y) && ours.Ink(x, y);
        if (!mine) return true;
    }
    return false;
}

bool Measure(const std::string &path, int ppem, AutohintFigures *f) {
    LibraryFont ours(path, true, true);
    FreeTypeFont reference(path);
    if (ours.Handle() == 0 || !reference.Ok() || !ours.SetPixelsPerEm(ppem) || !reference.SetPixelsPerEm(ppem))
        return false;
    std::vector<unsigned char> bits;
    for (long g = 0; g < reference.GlyphCount(); ++g) {
        PixelGrid ref, mine;
        if (!reference.RenderByDefault(unsigned(g), &bits, &ref)) continue;
        KelmorGlyphMetrics m;
        const int32_t glyph = int32_t(g);
        if (GetGlyphMetrics(ours.Handle(), reinterpret_cast<const char *>(&glyph), &m) != 1) continue;
        if (!ours.Render(glyph, &mine)) mine = PixelGrid{nullptr, 0, 0, 0, 0, 0, false};
        Tally t;
        CompareGlyph(mine, ref, t);
        ++f->glyphs;
        if (t.Differing() == 0 && t.outside == 0) ++f->identical;
        if (long(m.iAdvance) * 64 == reference.LastAdvance()) ++f->sameAdvance;
        if (LosesARow(mine, ref)) ++f->rowsLost;
        f->pixels += t;
    }
    return true;
}

void Print(const char *name, int ppem, const AutohintFigures &f) {
    std::printf("%-22s %2d px: %6ld glyphs, agreement %.4f, identical %.2f%%, advances %.2f%%, rows lost %ld\n",
                name, ppem, f.glyphs, f.pixels.Agreement(), 100.0 * f.identical / f.glyphs,
                100.0 * f.sameAdvance / f.glyphs, f.rowsLost);
}

bool FileExists(const char *path) { return std::ifstream(path).good(); }

struct FontCase {
    const char *name;
    const char *path;
};

const FontCase kFonts[] = {
    {"UMing", "/usr/share/fonts/truetype/arphic/uming.ttc"},
    {"UKai", "/usr/share/fonts/truetype/arphic/ukai.ttc"},
};

// The sizes the test checks (all of 10..24 on request: a minute or more).
std::vector<int> Sizes() {
    const char *all = std::getenv("KELMOR_AUTOHINT_ALL_SIZES");
    if (all != nullptr && all[0] == '1') {
        std::vector<int> sizes;
        for (int ppem = 10; ppem <= 24; ++ppem) sizes.push_back(ppem);
        return sizes;
    }
    return {11, 13, 20};
}

// Every glyph of the face at each size: agreement, identical share, no
// row lost, every advance FreeType's.
void CheckFace(const FontCase &font, const std::vector<int> &sizes) {
    if (!FileExists(font.path)) {
        std::printf("%s not installed: skipped\n", font.path);
        return;
    }
    for (int ppem : sizes) {
        SCOPED_TRACE(std::string(font.name) + " at " + std::to_string(ppem) + " px");
        AutohintFigures f;
        ASSERT_TRUE(Measure(font.path, ppem, &f));
        Print(font.name, ppem, f);
        EXPECT_GE(f.pixels.Agreement(), 0.999);
        EXPECT_GE(double(f.identical) / f.glyphs, 0.99);
        EXPECT_EQ(f.rowsLost, 0);
        EXPECT_EQ(f.sameAdvance, f.glyphs);
    }
}

TEST(AutohintAgreement, ArphicFontsMatchFreeTypesDefaultRendering) {
    for (const FontCase &font : kFonts) CheckFace(font, Sizes());
}

// Other families without hinting programs: LXGW WenKai (six faces,
// 29143-29183 glyphs) and NanumSquare (eight).  By default the first face
// of each at 13 px; every face at the sizes above with
// KELMOR_AUTOHINT_ALL_FACES=1.  Measured at 10-24 px: every glyph of every
// face identical in bits, place and advance, no row lost.
bool AllFaces() {
    const char *all = std::getenv("KELMOR_AUTOHINT_ALL_FACES");
    return all != nullptr && all[0] == '1';
}

void CheckFamily(const std::string &dir, std::initializer_list<const char *> files) {
    for (const char *file : files) {
        const std::string path = dir + file;
        CheckFace({file, path.c_str()}, AllFaces() ? Sizes() : std::vector<int>{13});
        if (!AllFaces()) return;
    }
}

TEST(AutohintAgreement, LxgwWenKaiMatchesFreeTypesDefaultRendering) {
    CheckFamily("/usr/share/fonts/truetype/lxgw-wenkai/",
                {"LXGWWenKai-Regular.ttf", "LXGWWenKai-Light.ttf", "LXGWWenKai-Bold.ttf",
                 "LXGWWenKaiMono-Regular.ttf", "LXGWWenKaiMono-Light.ttf", "LXGWWenKaiMono-Bold.ttf"});
}

TEST(AutohintAgreement, NanumSquareMatchesFreeTypesDefaultRendering) {
    CheckFamily("/usr/share/fonts/truetype/nanum/",
                {"NanumSquareR.ttf", "NanumSquareL.ttf", "NanumSquareB.ttf", "NanumSquareEB.ttf",
                 "NanumSquare_acR.ttf", "NanumSquare_acL.ttf", "NanumSquare_acB.ttf", "NanumSquare_acEB.ttf"});
}

}  // namespace
}  // namespace kelmor_test
