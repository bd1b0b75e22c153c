// TrueType collections (.ttc): OpenTTFontFace opens each face, OpenTTFont
// the first, and a header that does not hold together opens nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "font_builder.h"
#include "hostile_collections.h"
#include "kelmor.h"
#include "test_paths.h"

using namespace kelmor_test;

namespace {

// A face whose glyph 1 is a bar `width` units wide: faces tell themselves
// apart by the width of what they draw.
Bytes Face(int16_t width) {
    return FontBuilder()
        .UnitsPerEm(1000)
        .BoundingBox(0, 0, 1000, 1000)
        .AddGlyph(Glyph::Simple({{{0, 0}, {0, 800}, {width, 800}, {width, 0}}}))
        .Build();
}

// The ink width of glyph 1 at 10 pixels per em, or -1 when the face does
// not open.
int InkWidth(const std::string &path, int face) {
    const int32_t font = OpenTTFontFace(path.c_str(), face);
    if (font == 0) return -1;
    SetPointSize(font, 10, 72);
    SetEncoding(font, KELMOR_CHARSET_GLYPHNUMBER);
    const int32_t glyph = 1;
    KelmorGlyphMetrics m{};
    GetGlyphMetrics(font, reinterpret_cast<const char *>(&glyph), &m);
    CloseTTFont(font);
    return m.iInkWidth;
}

TEST(Collection, EachFaceOpensByNumberAndTheFirstByDefault) {
    const std::string dir = ScratchDir("collection");
    const std::string ttc = WriteBytes(Collection({Face(300), Face(700)}), dir + "/two.ttc");
    EXPECT_EQ(3, InkWidth(ttc, 0));
    EXPECT_EQ(7, InkWidth(ttc, 1));
    EXPECT_EQ(-1, InkWidth(ttc, 2));
    EXPECT_EQ(-1, InkWidth(ttc, -1));
    const int32_t first = OpenTTFont(ttc.c_str());
    EXPECT_NE(0, first);
    CloseTTFont(first);
    // A single font has the one face 0.
    const std::string ttf = WriteBytes(Face(500), dir + "/one.ttf");
    EXPECT_EQ(5, InkWidth(ttf, 0));
    EXPECT_EQ(-1, InkWidth(ttf, 1));
}

TEST(Collection, HostileHeadersOpenNothing) {
    const std::string dir = ScratchDir("collection_hostile");
    for (const HostileCollection &c : HostileCollectionHeaders(Collection({Face(300), Face(700)}))) {
        if (!c.firstFaceLies) continue;
        const std::string path = WriteBytes(c.bytes, dir + "/bad.ttc");
        EXPECT_EQ(-1, InkWidth(path, 0)) << c.what;
    }
}

}  // namespace
