// A Windows host of kelmor32.dll.  It knows the library only through
// kelmor.h and the import library, so every call crosses the DLL boundary
// with the __stdcall convention: a mismatch between the header and the export
// table corrupts the host's stack and shows up here, not in the unit suites.
#include "kelmor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "font_builder.h"
#include "test_paths.h"

// The one system call the host needs, declared here rather than pulling the
// whole Windows header into a test of the portable API.
extern "C" __declspec(dllimport) void *__stdcall GetModuleHandleA(const char *lpModuleName);

namespace {

using kelmor_test::FontBuilder;
using kelmor_test::Glyph;

bool FileExists(const std::string &path) {
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

TEST(Kelmor32Dll, RejectsFilesThatAreNoFonts) {
    EXPECT_EQ(0, OpenTTFont("no-such-font.ttf"));
    EXPECT_EQ(0, OpenTTFont(""));

    const std::string path = "dll_test_not_a_font.ttf";
    std::FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fputs("\x00\x01\x00\x00 this is not an sfnt file", f);
    std::fclose(f);
    EXPECT_EQ(0, OpenTTFont(path.c_str()));
    std::remove(path.c_str());
}

// The reasons cross the DLL boundary: the error code through export 23, its
// text through 24 (Windows' own file errors mapped to the same codes).
TEST(Kelmor32Dll, SaysWhyAFontDoesNotOpen) {
    EXPECT_EQ(0, OpenTTFont("no-such-font.ttf"));
    EXPECT_EQ(KELMOR_ERROR_FILE_NOT_FOUND, GetLastFontError());
    EXPECT_STREQ("the file does not exist", GetFontErrorText(GetLastFontError()));
    EXPECT_EQ(0, OpenTTFont("."));
    EXPECT_EQ(KELMOR_ERROR_NOT_A_FILE, GetLastFontError());
    EXPECT_EQ(0, OpenTTFontFace("no-such-font.ttf", -1));
    EXPECT_EQ(KELMOR_ERROR_BAD_ARGUMENT, GetLastFontError());
}

TEST(Kelmor32Dll, NullHandleIsRefusedByEveryEntryPoint) {
    EXPECT_EQ(0, CloseTTFont(0));
    EXPECT_EQ(0, GetFontInfo(0));
    EXPECT_EQ(0, SetPointSize(0, 12, 72));
    EXPECT_EQ(0, SetEncoding(0, KELMOR_CHARSET_SHIFTJIS));
    EXPECT_EQ(-1, SetRenderOptions(0, KELMOR_NO_HINTING));

    int width = -7, height = -7;
    const char code[2] = {'\x88', '\x9F'};
    EXPECT_EQ(nullptr, GetBitmap(0, code, &width, &height, 0));
    EXPECT_EQ(-7, width);
    EXPECT_EQ(-7, height);

    int platform = -1, encoding = -1, language = -1;
    char name[64] = "untouched";
    EXPECT_EQ(0, GetFontNames(0, &platform, &encoding, &language, 4, name, sizeof name));
}

TEST(Kelmor32Dll, DebugLogOpensAndCloses) {
    const std::string log = "dll_test_debug.log";
    std::remove(log.c_str());
    EXPECT_NE(0, SetDebugLevel(log.c_str(), 1));
    EXPECT_TRUE(FileExists(log));
    EXPECT_EQ(0, SetDebugLevel(nullptr, 0));
    // A level without a file name opens nothing.
    EXPECT_EQ(0, SetDebugLevel("", 1));
    std::remove(log.c_str());
}

// The loader attached the library through DllMain, which keeps the DLL's own
// module handle: the ini file is looked for beside kelmor32.dll, not beside
// the host program.
TEST(Kelmor32Dll, KnowsItsOwnModule) {
    void *library = GetModuleHandleA("kelmor32.dll");
    ASSERT_NE(nullptr, library);
    EXPECT_NE(GetModuleHandleA(nullptr), library);
    EXPECT_EQ(library, KelmoRegisterApp(nullptr));
}

// One square glyph (number 1) in the middle of a 1000-unit em; glyph 0 is
// empty.  The descender is 0 so sizing keeps the box at 0..1000.
std::string SquareFont() {
    return FontBuilder()
        .UnitsPerEm(1000)
        .BoundingBox(0, 0, 1000, 1000)
        .Hhea(1000, 0)
        .AddGlyph(Glyph::Simple({{{200, 200}, {200, 800}, {800, 800}, {800, 200}}}))
        .NameUtf16(3, 1, 0x409, 4, "Kelmor Square")
        .WriteTo(kelmor_test::ScratchDir("dll_test") + "/square.ttf");
}

// Ink is a 0 bit; rows are padded to 16 bits, most significant bit leftmost.
bool IsInk(const unsigned char *bitmap, int width, int row, int column) {
    const int rowBytes = (width + 15) / 16 * 2;
    return (bitmap[row * rowBytes + column / 8] & (0x80 >> (column % 8))) == 0;
}

unsigned char *RenderGlyph(int32_t font, int32_t glyph, int *width, int *height) {
    char code[sizeof glyph];
    std::memcpy(code, &glyph, sizeof glyph);
    return GetBitmap(font, code, width, height, 0);
}

TEST(Kelmor32Dll, RendersASyntheticFont) {
    const std::string path = SquareFont();
    const int32_t font = OpenTTFont(path.c_str());
    ASSERT_NE(0, font);

    // 20 points at 72 dpi on a 1000-unit em: Multiplier 327, a box of 21x21
    // pixels.
    ASSERT_EQ(1, SetPointSize(font, 20, 72));
    EXPECT_EQ(KELMOR_CHARSET_GLYPHNUMBER, SetEncoding(font, KELMOR_CHARSET_GLYPHNUMBER));
    // Hinting is on until the host switches it off (the square has no program).
    EXPECT_EQ(0, SetRenderOptions(font, KELMOR_NO_HINTING));

    int width = 0, height = 0;
    const unsigned char *square = RenderGlyph(font, 1, &width, &height);
    ASSERT_NE(nullptr, square);
    ASSERT_EQ(21, width);
    ASSERT_EQ(21, height);
    EXPECT_TRUE(IsInk(square, width, 10, 10));
    EXPECT_FALSE(IsInk(square, width, 0, 0));
    EXPECT_FALSE(IsInk(square, width, 20, 20));

    // The empty glyph gives the same buffer, all background, padding included.
    const unsigned char *blank = RenderGlyph(font, 0, &width, &height);
    ASSERT_EQ(square, blank);
    for (int i = 0; i < height * ((width + 15) / 16 * 2); ++i)
        ASSERT_EQ(0xFF, blank[i]) << "byte " << i;

    // GetGlyphMetrics through the DLL's export: the square's ink box inside
    // the bitmap, and the builder's advance of half an em (10 pixels).
    const int32_t glyph = 1;
    KelmorGlyphMetrics metrics;
    ASSERT_EQ(1, GetGlyphMetrics(font, reinterpret_cast<const char *>(&glyph), &metrics));
    EXPECT_EQ(10, metrics.iAdvance);
    EXPECT_EQ(0, metrics.iOriginX);
    EXPECT_TRUE(metrics.iInkWidth > 0 && metrics.iInkHeight > 0);
    EXPECT_TRUE(IsInk(square, width, metrics.iInkTop, metrics.iInkLeft));  // glyph 1 again

    int platform = -1, encoding = -1, language = -1;
    char name[64];
    EXPECT_EQ(13, GetFontNames(font, &platform, &encoding, &language, 4, name, sizeof name));
    EXPECT_STREQ("Kelmor Square", name);
    EXPECT_EQ(3, platform);
    EXPECT_EQ(1, encoding);
    EXPECT_EQ(0x409, language);

    // GetGlyphIndex through export 22: glyph numbers past the font map to
    // nothing, and a closed handle is refused.
    const int32_t pastTheFont = 2;
    EXPECT_EQ(1, GetGlyphIndex(font, reinterpret_cast<const char *>(&glyph)));
    EXPECT_EQ(0, GetGlyphIndex(font, reinterpret_cast<const char *>(&pastTheFont)));
    EXPECT_EQ(KELMOR_ERROR_NOT_MAPPED, GetLastFontError());

    EXPECT_EQ(0, CloseTTFont(font));
    EXPECT_EQ(-1, GetGlyphIndex(font, reinterpret_cast<const char *>(&glyph)));
    EXPECT_EQ(KELMOR_ERROR_BAD_HANDLE, GetLastFontError());
}

}  // namespace
