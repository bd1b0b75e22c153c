// What the benchmarks share: the fonts they time, the glyphs they render and
// the FreeType faces they compare against.
#ifndef KELMOR_BENCH_BENCH_FONTS_H
#define KELMOR_BENCH_BENCH_FONTS_H

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <cstdint>
#include <vector>

namespace bench {

struct BenchFont {
    const char *name;
    const char *path;
};

inline const BenchFont kFonts[] = {
    {"IPA Gothic", "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"},
    {"AR PL Mingti", "/usr/share/fonts/truetype/arphic-bsmi00lp/bsmi00lp.ttf"},
    {"UnDotum", "/usr/share/fonts/truetype/unfonts-core/UnDotum.ttf"},
};
constexpr int kFontCount = 3;
constexpr int kSizes[] = {16, 24, 48};

// Fonts with CFF outlines (face 0 of each collection, the Japanese one),
// which both libraries draw unhinted, and the sizes they are timed at.
inline const BenchFont kCffFonts[] = {
    {"Noto Sans JP", "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"},
    {"Noto Serif JP", "/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc"},
};
constexpr int kCffSizes[] = {12, 16, 24};

constexpr int kGlyphsPerRun = 2000;

// The same glyph numbers for both libraries: spread evenly over the whole
// font (so that ideographs, kana, hangul and Latin all take part), glyph 0
// (the missing-glyph box) left out.
inline std::vector<int32_t> SpreadGlyphs(long numGlyphs) {
    std::vector<int32_t> glyphs;
    for (long i = 0; i < kGlyphsPerRun; ++i)
        glyphs.push_back(int32_t(1 + i * (numGlyphs - 1) / kGlyphsPerRun));
    return glyphs;
}

// A FreeType face whose TrueType interpreter is version 35, the classic one
// that runs the same programs we do.
class FreeTypeFace {
public:
    explicit FreeTypeFace(const char *path) {
        if (FT_Init_FreeType(&library_) != 0) return;
        FT_UInt version = TT_INTERPRETER_VERSION_35;
        FT_Property_Set(library_, "truetype", "interpreter-version", &version);
        if (FT_New_Face(library_, path, 0, &face_) != 0) face_ = nullptr;
    }
    ~FreeTypeFace() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }
    FreeTypeFace(const FreeTypeFace &) = delete;
    FreeTypeFace &operator=(const FreeTypeFace &) = delete;
    FT_Face Face() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

inline FT_Int32 FreeTypeLoadFlags(bool hinted) {
    return FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT |
           (hinted ? 0 : FT_LOAD_NO_HINTING);
}

}  // namespace bench

#endif
