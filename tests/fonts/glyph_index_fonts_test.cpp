// GetGlyphIndex on whole real fonts, through the public API, against
// FreeType's FT_Get_Char_Index on the same Unicode map: the same glyph for
// every code point up to U+2FFFF, so that a host's fallback decision is the
// one FreeType users would make.  And the case a host met: IPA Gothic lacks
// the Hangul syllables, and GetBitmap says so while still drawing glyph 0.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>

#include "kelmor.h"
#include "test_paths.h"

using namespace kelmor_test;

namespace {

// A code as GetBitmap takes it: 32 bits in host order.
const char *Ps(const uint32_t &code) { return reinterpret_cast<const char *>(&code); }

struct FontCase {
    const char *path;
    int minimumMapped;  // a floor, so that a font read as empty cannot pass
};

class GlyphIndexFonts : public ::testing::TestWithParam<FontCase> {};

// Our index for a code point; -2 when the font cannot be opened.
class UnicodeFont {
public:
    explicit UnicodeFont(const std::string &path) : handle_(OpenTTFont(path.c_str())) {
        SetEncoding(handle_, KELMOR_CHARSET_UNICODE);
    }
    ~UnicodeFont() { CloseTTFont(handle_); }
    int32_t handle() const { return handle_; }
    int32_t Index(uint32_t code) const {
        return GetGlyphIndex(handle_, Ps(code));
    }

private:
    int32_t handle_;
};

TEST_P(GlyphIndexFonts, AgreesWithFreeTypeOnEveryCodePoint) {
    const std::string path = DebianFont(GetParam().path);
    if (path.empty()) GTEST_SKIP() << GetParam().path << " is not installed";
    UnicodeFont ours(path);
    ASSERT_NE(0, ours.handle());

    FT_Library library;
    ASSERT_EQ(0, FT_Init_FreeType(&library));
    FT_Face face;
    ASSERT_EQ(0, FT_New_Face(library, path.c_str(), 0, &face));
    ASSERT_EQ(0, FT_Select_Charmap(face, FT_ENCODING_UNICODE));
    int mapped = 0, differing = 0;
    // Code 0 is no character: we answer 0 for it by design, where FreeType
    // gives whatever the map says (often .null).
    for (uint32_t code = 1; code <= 0x2FFFF; ++code) {
        const int32_t index = ours.Index(code);
        const FT_UInt theirs = FT_Get_Char_Index(face, code);
        mapped += index != 0;
        if (index != int32_t(theirs) && ++differing <= 5)
            ADD_FAILURE() << std::hex << "U+" << code << ": ours " << index << ", FreeType "
                          << theirs;
    }
    EXPECT_EQ(0, differing);
    EXPECT_GE(mapped, GetParam().minimumMapped);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

INSTANTIATE_TEST_SUITE_P(
    DebianFonts, GlyphIndexFonts,
    ::testing::Values(FontCase{"opentype/ipafont-gothic/ipag.ttf", 10000},
                      FontCase{"truetype/unfonts-core/UnDotum.ttf", 11000},
                      FontCase{"truetype/arphic-bsmi00lp/bsmi00lp.ttf", 13000},
                      FontCase{"truetype/droid/DroidSansFallbackFull.ttf", 20000},
                      FontCase{"truetype/dejavu/DejaVuSans.ttf", 3000}));

TEST(GlyphIndexFonts, IpaGothicLacksHangulAndGetBitmapSaysSo) {
    const std::string path = DebianFont("opentype/ipafont-gothic/ipag.ttf");
    if (path.empty()) GTEST_SKIP() << "IPA Gothic is not installed";
    UnicodeFont font(path);
    ASSERT_EQ(1, SetPointSize(font.handle(), 16, 72));
    const uint32_t hangul = 0xAC00, kanji = 0x65E5, beyond = 0x110000;
    EXPECT_EQ(0, font.Index(hangul));
    EXPECT_GT(font.Index(kanji), 0);
    int width = 0, height = 0;
    for (uint32_t code : {hangul, beyond}) {
        EXPECT_NE(nullptr,
                  GetBitmap(font.handle(), Ps(code), &width, &height, 0));
        EXPECT_EQ(KELMOR_ERROR_NOT_MAPPED, GetLastFontError()) << std::hex << code;
    }
    EXPECT_NE(nullptr,
              GetBitmap(font.handle(), Ps(kanji), &width, &height, 0));
    EXPECT_EQ(KELMOR_ERROR_NONE, GetLastFontError());
}

}  // namespace
