// What a host learns when something goes wrong: GetLastFontError's reason
// for every way OpenTTFont can fail, GetGlyphIndex on codes a font maps and
// lacks, and that each thread reads its own reason.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>

#include "font_builder.h"
#include "kelmor.h"
#include "test_paths.h"

using namespace kelmor_test;

namespace {

// A code as GetBitmap takes it: 32 bits in host order.
const char *Ps(const uint32_t &code) { return reinterpret_cast<const char *>(&code); }

// Glyphs 1 and 2 are squares; the map (Unicode unless told) gives 'A'
// glyph 1 and 'B' glyph 2.
FontBuilder SquareFont(uint16_t encoding = 1,
                       const std::map<uint16_t, uint16_t> &map = {{'A', 1}, {'B', 2}}) {
    FontBuilder b;
    b.UnitsPerEm(1000)
        .BoundingBox(0, 0, 1000, 1000)
        .AddGlyph(Glyph::Simple({{{100, 100}, {100, 900}, {900, 900}, {900, 100}}}))
        .AddGlyph(Glyph::Simple({{{100, 100}, {100, 500}, {500, 500}, {500, 100}}}))
        .Cmap4(3, encoding, map);
    return b;
}

Bytes Text(const char *text) { return Bytes(text, text + std::strlen(text)); }

// The reason OpenTTFontFace gives for a file, after a call that set another.
// Face 0 opens through OpenTTFont, which keeps the classic limits; other
// faces through OpenTTFontFace.
int32_t OpenError(const std::string &path, int face = 0) {
    GetGlyphIndex(0, "");  // leaves KELMOR_ERROR_BAD_HANDLE behind
    const int32_t font = face == 0 ? OpenTTFont(path.c_str()) : OpenTTFontFace(path.c_str(), face);
    if (font != 0) {
        CloseTTFont(font);
        return -1;
    }
    return GetLastFontError();
}

TEST(LastFontError, SaysWhyAFontDoesNotOpen) {
    const std::string dir = ScratchDir("font_errors");
    const Bytes good = SquareFont().Build();
    const std::string font = WriteBytes(good, dir + "/good.ttf");
    const std::string collection = WriteBytes(Collection({good, good}), dir + "/two.ttc");
    Bytes noFaces = Collection({good});
    noFaces[8] = noFaces[9] = noFaces[10] = noFaces[11] = 0;  // numFonts 0
    const auto built = [&](const char *name, FontBuilder b) {
        return WriteBytes(b.Build(), dir + "/" + name);
    };
    const struct {
        std::string path;
        int face;
        int32_t expected;
    } cases[] = {
        {dir + "/absent.ttf", 0, KELMOR_ERROR_FILE_NOT_FOUND},
        {dir + "/absent/font.ttf", 0, KELMOR_ERROR_FILE_NOT_FOUND},
        {dir, 0, KELMOR_ERROR_NOT_A_FILE},
        {WriteBytes({}, dir + "/empty.ttf"), 0, KELMOR_ERROR_NOT_A_FONT},
        {WriteBytes(Text("not a font, only some text"), dir + "/text.ttf"), 0,
         KELMOR_ERROR_NOT_A_FONT},
        {WriteBytes(noFaces, dir + "/nofaces.ttc"), 0, KELMOR_ERROR_NOT_A_FONT},
        {collection, 2, KELMOR_ERROR_NO_SUCH_FACE},
        {font, 1, KELMOR_ERROR_NO_SUCH_FACE},
        {font, -1, KELMOR_ERROR_BAD_ARGUMENT},
        {built("images.ttf", SquareFont().RemoveTable("glyf").RawTable("sbix", Bytes(8, 0))), 0,
         KELMOR_ERROR_FOREIGN_OUTLINES},
        {built("nohead.ttf", SquareFont().RemoveTable("head")), 0, KELMOR_ERROR_MISSING_TABLE},
        {built("nomaxp.ttf", SquareFont().RemoveTable("maxp")), 0, KELMOR_ERROR_MISSING_TABLE},
        {built("noname.ttf", SquareFont().RemoveTable("name")), 0, KELMOR_ERROR_MISSING_TABLE},
        {built("nocmap.ttf", SquareFont().RemoveTable("cmap")), 0, KELMOR_ERROR_MISSING_TABLE},
        {built("points.ttf", SquareFont().Maxp(&MaxpValues::maxPoints, 65535)), 0,
         KELMOR_ERROR_TOO_MANY_POINTS},
        {built("twilight.ttf", SquareFont().Maxp(&MaxpValues::maxTwilightPoints, 65535)), 0,
         KELMOR_ERROR_TOO_MANY_POINTS},
        {built("idef.ttf", SquareFont().Maxp(&MaxpValues::maxInstructionDefs, 1)), 0,
         KELMOR_ERROR_INSTRUCTION_DEFS},
        {built("zones.ttf", SquareFont().Maxp(&MaxpValues::maxZones, 3)), 0,
         KELMOR_ERROR_BEYOND_LIMITS},
        {built("stack.ttf", SquareFont().Maxp(&MaxpValues::maxStackElements, 65535)), 0,
         KELMOR_ERROR_BEYOND_LIMITS},
    };
#if !defined(_WIN32)
    // Found or not cannot be told of a name too long to look up: the file
    // cannot be opened, for a reason other than its absence.
    EXPECT_EQ(KELMOR_ERROR_FILE_UNREADABLE, OpenError(dir + "/" + std::string(300, 'x')));
#endif
    for (const auto &c : cases) {
        EXPECT_EQ(c.expected, OpenError(c.path, c.face))
            << c.path << " face " << c.face << ": " << GetFontErrorText(GetLastFontError());
    }
    EXPECT_EQ(0, OpenTTFont(nullptr));
    EXPECT_EQ(KELMOR_ERROR_BAD_ARGUMENT, GetLastFontError());
    KELMOR_LOGFONTA logical = {};
    std::strcpy(logical.lfFaceName, "No Such Installed Font");
    EXPECT_EQ(0, KelmoCreateFontIndirect(&logical));
    EXPECT_EQ(KELMOR_ERROR_NOT_INSTALLED, GetLastFontError());
    EXPECT_EQ(-1, OpenError(font));  // and the good font opens
    // Past the classic limits, OpenTTFontFace serves what OpenTTFont refuses.
    const int32_t idef = OpenTTFontFace((dir + "/idef.ttf").c_str(), 0);
    EXPECT_NE(0, idef);
    CloseTTFont(idef);
}

// A Unicode font and a Shift-JIS one, each with the encodings that reach it
// and one that does not.
TEST(GetGlyphIndex, GivesTheMappedGlyphOrZero) {
    const std::string dir = ScratchDir("glyph_index");
    const std::string unicode = WriteBytes(SquareFont().Build(), dir + "/unicode.ttf");
    const std::string sjis =
        WriteBytes(SquareFont(2, {{0x889F, 2}, {0x0041, 1}}).Build(), dir + "/sjis.ttf");
    const struct {
        const std::string &path;
        int encoding;
        uint32_t code;  // bytes as GetBitmap takes them (see Bytes below)
        int32_t glyph;
        int32_t error;
    } cases[] = {
        {unicode, KELMOR_CHARSET_UNICODE, 'A', 1, KELMOR_ERROR_NONE},
        {unicode, KELMOR_CHARSET_UNICODE, 'B', 2, KELMOR_ERROR_NONE},
        {unicode, KELMOR_CHARSET_UNICODE, 'C', 0, KELMOR_ERROR_NOT_MAPPED},
        {unicode, KELMOR_CHARSET_UNICODE, 0xAC00, 0, KELMOR_ERROR_NOT_MAPPED},
        {unicode, KELMOR_CHARSET_UNICODE, 0x110000, 0, KELMOR_ERROR_NOT_MAPPED},
        {unicode, KELMOR_CHARSET_UNICODE, 0, 0, KELMOR_ERROR_NOT_MAPPED},
        {unicode, KELMOR_CHARSET_GLYPHNUMBER, 2, 2, KELMOR_ERROR_NONE},
        {unicode, KELMOR_CHARSET_GLYPHNUMBER, 3, 0, KELMOR_ERROR_NOT_MAPPED},
        {unicode, KELMOR_CHARSET_GLYPHNUMBER, 0xFFFFFFFF, 0, KELMOR_ERROR_NOT_MAPPED},
        {unicode, KELMOR_CHARSET_SINGLEBYTE, 'A', 0, KELMOR_ERROR_ENCODING},
        {sjis, KELMOR_CHARSET_SHIFTJIS, 0x889F, 2, KELMOR_ERROR_NONE},
        {sjis, KELMOR_CHARSET_SHIFTJIS, 0x88A0, 0, KELMOR_ERROR_NOT_MAPPED},
        {sjis, KELMOR_CHARSET_BIG5, 0x889F, 0, KELMOR_ERROR_ENCODING},
        {sjis, KELMOR_CHARSET_UNICODE, 'A', 0, KELMOR_ERROR_ENCODING},
    };
    for (const auto &c : cases) {
        const int32_t font = OpenTTFont(c.path.c_str());
        ASSERT_NE(0, font);
        SetEncoding(font, c.encoding);
        // Two-byte codes are passed lead byte first; the others as 32 bits.
        const bool doubleByte =
            c.encoding == KELMOR_CHARSET_SHIFTJIS || c.encoding == KELMOR_CHARSET_BIG5;
        const char pair[2] = {char(c.code >> 8), char(c.code)};
        const char *ps = doubleByte ? pair : Ps(c.code);
        EXPECT_EQ(c.glyph, GetGlyphIndex(font, ps)) << std::hex << "code 0x" << c.code;
        EXPECT_EQ(c.error, GetLastFontError()) << std::hex << "code 0x" << c.code;
        CloseTTFont(font);
    }
}

TEST(GetGlyphIndex, RefusesABadHandleOrNoCode) {
    const std::string path =
        WriteBytes(SquareFont().Build(), ScratchDir("glyph_index_bad") + "/f.ttf");
    const int32_t font = OpenTTFont(path.c_str());
    ASSERT_NE(0, font);
    const uint32_t code = 'A';
    EXPECT_EQ(-1, GetGlyphIndex(font, nullptr));
    EXPECT_EQ(KELMOR_ERROR_BAD_ARGUMENT, GetLastFontError());
    CloseTTFont(font);
    EXPECT_EQ(-1, GetGlyphIndex(font, Ps(code)));  // closed
    EXPECT_EQ(KELMOR_ERROR_BAD_HANDLE, GetLastFontError());
    EXPECT_EQ(-1, GetGlyphIndex(0, Ps(code)));
    EXPECT_EQ(KELMOR_ERROR_BAD_HANDLE, GetLastFontError());
}

// GetBitmap keeps drawing glyph 0 for a code the font lacks, and says so.
TEST(LastFontError, TellsGetBitmapsMissingGlyphFromARealOne) {
    const std::string path =
        WriteBytes(SquareFont().Build(), ScratchDir("bitmap_errors") + "/f.ttf");
    const int32_t font = OpenTTFont(path.c_str());
    ASSERT_NE(0, font);
    SetEncoding(font, KELMOR_CHARSET_UNICODE);
    int width = 0, height = 0;
    const uint32_t mapped = 'A', lacking = 0xAC00, beyondUnicode = 0x110000;
    EXPECT_EQ(nullptr, GetBitmap(font, Ps(mapped), &width, &height, 0));
    EXPECT_EQ(KELMOR_ERROR_NOT_SIZED, GetLastFontError());
    EXPECT_EQ(0, SetPointSize(font, 0, 72));
    EXPECT_EQ(KELMOR_ERROR_BAD_SIZE, GetLastFontError());
    EXPECT_EQ(0, SetPointSize(font, 1000, 1000));
    EXPECT_EQ(KELMOR_ERROR_BAD_SIZE, GetLastFontError());
    ASSERT_EQ(1, SetPointSize(font, 16, 72));
    for (uint32_t code : {lacking, beyondUnicode}) {
        EXPECT_NE(nullptr, GetBitmap(font, Ps(code), &width, &height, 0));
        EXPECT_EQ(KELMOR_ERROR_NOT_MAPPED, GetLastFontError()) << std::hex << code;
        EXPECT_NE(nullptr, GetBitmap(font, Ps(mapped), &width, &height, 0));
        EXPECT_EQ(KELMOR_ERROR_NONE, GetLastFontError());
    }
    KelmorGlyphMetrics m;
    EXPECT_EQ(1, GetGlyphMetrics(font, Ps(lacking), &m));
    EXPECT_EQ(KELMOR_ERROR_NOT_MAPPED, GetLastFontError());
    EXPECT_EQ(0, GetGlyphMetrics(font, Ps(mapped), nullptr));
    EXPECT_EQ(KELMOR_ERROR_BAD_ARGUMENT, GetLastFontError());
    SetEncoding(font, KELMOR_CHARSET_SINGLEBYTE);
    EXPECT_EQ(nullptr, GetBitmap(font, Ps(mapped), &width, &height, 0));
    EXPECT_EQ(KELMOR_ERROR_ENCODING, GetLastFontError());
    CloseTTFont(font);
    EXPECT_EQ(0, SetPointSize(font, 16, 72));
    EXPECT_EQ(KELMOR_ERROR_BAD_HANDLE, GetLastFontError());
}

// A host that never called KelmoRegisterApp has no concordance paths: every
// Shift-JIS code then drew glyph 0 with nothing but "no glyph for this code"
// to go on.  SetEncoding fails and its reason names the missing call.
TEST(LastFontError, SetEncodingWithoutRegisteredConcordanceNamesKelmoRegisterApp) {
    const std::string path =
        WriteBytes(SquareFont().Build(), ScratchDir("encoding_errors") + "/f.ttf");
    const int32_t font = OpenTTFont(path.c_str());
    ASSERT_NE(0, font);
    for (int charset : {KELMOR_CHARSET_SHIFTJIS, KELMOR_CHARSET_BIG5, KELMOR_CHARSET_GB2312}) {
        GetGlyphIndex(0, "");  // leaves KELMOR_ERROR_BAD_HANDLE behind
        EXPECT_EQ(0, SetEncoding(font, charset)) << charset;
        EXPECT_EQ(KELMOR_ERROR_NO_CONCORDANCE, GetLastFontError()) << charset;
    }
    EXPECT_NE(nullptr, std::strstr(GetFontErrorText(KELMOR_ERROR_NO_CONCORDANCE),
                                   "call KelmoRegisterApp"));
    EXPECT_EQ(KELMOR_CHARSET_UNICODE, SetEncoding(font, KELMOR_CHARSET_UNICODE));
    CloseTTFont(font);
}

// Each thread reads the reason of its own last failure, whatever the others
// did meanwhile.
TEST(LastFontError, IsKeptPerThread) {
    EXPECT_EQ(0, OpenTTFont("/nonexistent/kelmor/font.ttf"));
    ASSERT_EQ(KELMOR_ERROR_FILE_NOT_FOUND, GetLastFontError());
    int32_t seenByOther = -1, freshInOther = -1;
    std::thread other([&] {
        freshInOther = GetLastFontError();
        CloseTTFont(12345);
        seenByOther = GetLastFontError();
    });
    other.join();
    EXPECT_EQ(KELMOR_ERROR_NONE, freshInOther);
    EXPECT_EQ(KELMOR_ERROR_BAD_HANDLE, seenByOther);
    EXPECT_EQ(KELMOR_ERROR_FILE_NOT_FOUND, GetLastFontError());
}

TEST(GetFontErrorText, HasADistinctTextForEveryCode) {
    std::set<std::string> texts;
    for (int code = KELMOR_ERROR_NONE; code <= KELMOR_ERROR_NOT_INSTALLED; ++code) {
        const std::string text = GetFontErrorText(code);
        EXPECT_NE("unknown error", text) << code;
        EXPECT_TRUE(texts.insert(text).second) << code << ": " << text;
    }
    EXPECT_STREQ("unknown error", GetFontErrorText(-1));
    EXPECT_STREQ("unknown error", GetFontErrorText(KELMOR_ERROR_NOT_INSTALLED + 1));
}

}  // namespace
