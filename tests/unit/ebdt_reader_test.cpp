// The embedded bitmap reader on synthetic EBLC/EBDT tables: every index and
// image format, composites, and damaged counts and offsets, which must make
// the glyph fall back to its outline instead of reading outside a table.
// Then the whole path through GetBitmap and GetGlyphMetrics in both modes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "embedded_bitmap_builder.h"
#include "font_builder.h"
#include "hostile_strikes.h"
#include "kelmor.h"
#include "test_paths.h"
#include "ttf/sfnt/ttf_ebdt.h"

using namespace kelmor;
using namespace kelmor_test;

namespace {

class MemoryTable : public TableBytes {
public:
    explicit MemoryTable(const std::vector<uint8_t> &bytes)
        : TableBytes(uint32_t(bytes.size())), bytes_(bytes) {}

protected:
    bool Fetch(uint32_t at, uint8_t *dst, uint32_t count) override {
        std::memcpy(dst, bytes_.data() + at, count);
        fetched += count;
        return true;
    }

public:
    uint64_t fetched = 0;

private:
    const std::vector<uint8_t> &bytes_;
};

uint32_t Be32At(const std::vector<uint8_t> &b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}
void SetBe32(std::vector<uint8_t> &b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i));
}
void SetBe16(std::vector<uint8_t> &b, size_t at, uint32_t v) {
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
}

// Where the first strike's index array and its first sub-table lie.
size_t IndexArray(const EmbeddedTables &t) { return Be32At(t.eblc, 8); }
size_t FirstSubTable(const EmbeddedTables &t) {
    return IndexArray(t) + Be32At(t.eblc, IndexArray(t) + 4);
}

std::vector<std::string> Rows(const EmbeddedImage &image) {
    std::vector<std::string> rows;
    for (int32_t r = 0; r < image.height; ++r) {
        std::string row;
        for (int32_t c = 0; c < image.width; ++c) row += image.Ink(c, r) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// Decodes `glyph` from the strike of `ppem`; false when there is none.
bool Decode(const EmbeddedTables &t, uint32_t glyph, EmbeddedImage *image, uint32_t ppem = 12) {
    MemoryTable eblc(t.eblc), ebdt(t.ebdt);
    EmbeddedStrike strike{};
    return FindStrike(eblc, ppem, &strike) && LoadEmbeddedImage(eblc, ebdt, strike, glyph, image);
}

// A 5-pixel-wide image, so that packed rows straddle bytes and padded rows
// do not.
const std::vector<std::string> kArrow = {"..#..", ".###.", "#.#.#", "..#..", "..#.."};
const std::vector<std::string> kBar = {"#####"};

SbitImage Arrow(uint16_t glyph) { return SbitImage{glyph, kArrow, 1, 7, 6}; }

TEST(EbdtReader, EveryIndexAndImageFormat) {
    struct Case {
        uint16_t indexFormat, imageFormat;
    } cases[] = {{1, 1}, {1, 2}, {1, 6}, {1, 7}, {3, 1}, {3, 7}, {4, 2}, {4, 6},
                 {2, 5}, {5, 5}, {2, 1}, {5, 7}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "index " << c.indexFormat << ", image " << c.imageFormat);
        // Two images, so that the second one's place depends on the index.
        SbitImage second = Arrow(8);
        if (c.indexFormat != 2) second.glyph = 9;
        const EmbeddedTables t = BuildEmbeddedBitmaps(
            {SbitStrike{12, {SbitSubTable{c.indexFormat, c.imageFormat, {Arrow(7), second}}}}});
        for (uint32_t glyph : {7u, uint32_t(second.glyph)}) {
            EmbeddedImage image;
            ASSERT_TRUE(Decode(t, glyph, &image));
            EXPECT_EQ(Rows(image), kArrow);
            EXPECT_EQ(image.left, 1);
            EXPECT_EQ(image.top, 7);
            EXPECT_EQ(image.advance, 6);
        }
        EmbeddedImage none;
        EXPECT_FALSE(Decode(t, 6, &none));   // before the range
        EXPECT_FALSE(Decode(t, 10, &none));  // after it
        if (c.indexFormat != 2) {
            EXPECT_FALSE(Decode(t, 8, &none));  // a gap in it
        }
    }
}

TEST(EbdtReader, CompositesPlaceComponentsFromTheTopLeft) {
    SbitImage composite{20, {".......", ".......", ".......", "......."}, -1, 6, 8};
    composite.components = {{10, 0, 0}, {11, 2, 3}};
    for (uint16_t format : {8, 9}) {
        SCOPED_TRACE(format);
        const EmbeddedTables t = BuildEmbeddedBitmaps({SbitStrike{
            12,
            {SbitSubTable{1, 2, {SbitImage{10, {"##", "#."}, 5, 5, 3}}},
             SbitSubTable{1, 7, {SbitImage{11, kBar, 0, 0, 0}}},
             SbitSubTable{1, format, {composite}}}}});
        EmbeddedImage image;
        ASSERT_TRUE(Decode(t, 20, &image));
        // The composite keeps its own metrics; the components' bearings
        // play no part.
        EXPECT_EQ(image.left, -1);
        EXPECT_EQ(image.top, 6);
        EXPECT_EQ(image.advance, 8);
        EXPECT_EQ(Rows(image),
                  (std::vector<std::string>{"##.....", "#......", ".......", "..#####"}));
    }
}

TEST(EbdtReader, StrikeChoice) {
    const SbitSubTable images{1, 1, {Arrow(3)}};
    struct Case {
        const char *what;
        SbitStrike strike;
        uint32_t ppem;
        bool found;
    } cases[] = {
        {"same size", {12, {images}}, 12, true},
        {"other size", {13, {images}}, 12, false},
        {"x and y differ", {12, {images}, 1, 13}, 12, false},
        {"not 1 bit deep", {12, {images}, 8}, 12, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EmbeddedImage image;
        EXPECT_EQ(Decode(BuildEmbeddedBitmaps({c.strike}), 3, &image, c.ppem), c.found);
    }
    // The first strike of the size is taken, later ones of it never.
    SbitStrike gray{12, {SbitSubTable{1, 1, {SbitImage{3, kBar, 0, 1, 5}}}}, 2};
    SbitStrike first{12, {SbitSubTable{1, 1, {Arrow(3)}}}};
    SbitStrike second{12, {SbitSubTable{1, 1, {SbitImage{3, kBar, 0, 1, 5}}}}};
    EmbeddedImage image;
    ASSERT_TRUE(Decode(BuildEmbeddedBitmaps({gray, first, second}), 3, &image));
    EXPECT_EQ(Rows(image), kArrow);
}

TEST(EbdtReader, StrikeSizesAreListed) {
    const SbitSubTable images{1, 1, {Arrow(3), Arrow(4)}};
    const EmbeddedTables t = BuildEmbeddedBitmaps({{11, {images}}, {16, {images}, 1, 17}});
    MemoryTable eblc(t.eblc);
    const std::vector<StrikeSize> sizes = ListStrikes(eblc);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].ppemX, 11u);
    EXPECT_EQ(sizes[1].ppemY, 17u);
    EXPECT_EQ(sizes[1].firstGlyph, 3u);
    EXPECT_EQ(sizes[1].lastGlyph, 4u);
}

// Index records out of glyph order are walked in order: the first record
// that covers the glyph serves it.
TEST(EbdtReader, UnsortedIndexRecordsAreWalked) {
    const EmbeddedTables t = BuildEmbeddedBitmaps({SbitStrike{
        12, {SbitSubTable{1, 2, {Arrow(30)}}, SbitSubTable{1, 2, {SbitImage{5, kBar, 0, 1, 5}}},
             SbitSubTable{1, 7, {SbitImage{30, kBar, 0, 1, 5}}}}}});
    EmbeddedImage image;
    ASSERT_TRUE(Decode(t, 5, &image));
    EXPECT_EQ(Rows(image), kBar);
    ASSERT_TRUE(Decode(t, 30, &image));
    EXPECT_EQ(Rows(image), kArrow);
}

// Each damage turns the glyph's image down; none may read outside a table
// (the sanitizers watch).
TEST(EbdtReader, DamagedTablesGiveNoImage) {
    const std::vector<SbitStrike> base = {SbitStrike{12, {SbitSubTable{1, 2, {Arrow(3)}}}}};
    using Damage = std::function<void(EmbeddedTables &)>;
    auto subTable = [](uint16_t indexFormat, uint16_t imageFormat) {
        return BuildEmbeddedBitmaps({SbitStrike{12, {SbitSubTable{indexFormat, imageFormat,
                                                                  {Arrow(3), Arrow(4)}}}}});
    };
    struct Case {
        const char *what;
        EmbeddedTables tables;
        Damage damage;
    } cases[] = {
        {"strike count past the table", BuildEmbeddedBitmaps(base),
         [](EmbeddedTables &t) { SetBe32(t.eblc, 4, 0x10000000); }},
        {"location table version 3", BuildEmbeddedBitmaps(base),
         [](EmbeddedTables &t) { SetBe16(t.eblc, 0, 3); }},
        {"index array past the table", BuildEmbeddedBitmaps(base),
         [](EmbeddedTables &t) { SetBe32(t.eblc, 8, uint32_t(t.eblc.size()) - 4); }},
        {"index record count past the table", BuildEmbeddedBitmaps(base),
         [](EmbeddedTables &t) { SetBe32(t.eblc, 16, 0x20000000); }},
        {"sub-table past the table", BuildEmbeddedBitmaps(base),
         [](EmbeddedTables &t) { SetBe32(t.eblc, IndexArray(t) + 4, 0xFFFFFFF0); }},
        {"unknown index format", BuildEmbeddedBitmaps(base),
         [](EmbeddedTables &t) { SetBe16(t.eblc, FirstSubTable(t), 6); }},
        {"unknown image format", BuildEmbeddedBitmaps(base),
         [](EmbeddedTables &t) { SetBe16(t.eblc, FirstSubTable(t) + 2, 3); }},
        {"image data past the data table", BuildEmbeddedBitmaps(base),
         [](EmbeddedTables &t) { SetBe32(t.eblc, FirstSubTable(t) + 4, 0xFFFFFF00); }},
        {"image offsets backwards", BuildEmbeddedBitmaps(base),
         [](EmbeddedTables &t) { SetBe32(t.eblc, FirstSubTable(t) + 8, 100); }},
        {"image shorter than its rows", BuildEmbeddedBitmaps(base),
         [](EmbeddedTables &t) { t.ebdt[Be32At(t.eblc, FirstSubTable(t) + 4)] = 200; }},
        {"data table cut short", BuildEmbeddedBitmaps(base),
         [](EmbeddedTables &t) { t.ebdt.resize(t.ebdt.size() - 2); }},
        {"format 5 image under a format 1 index", subTable(1, 5), [](EmbeddedTables &) {}},
        {"format 2 image size past the table", subTable(2, 5),
         [](EmbeddedTables &t) { SetBe32(t.eblc, FirstSubTable(t) + 8, 0x80000000); }},
        {"format 4 glyph count past the table", subTable(4, 2),
         [](EmbeddedTables &t) { SetBe32(t.eblc, FirstSubTable(t) + 8, 0x3FFFFFFF); }},
        {"format 5 glyph count past the table", subTable(5, 5),
         [](EmbeddedTables &t) { SetBe32(t.eblc, FirstSubTable(t) + 20, 0x7FFFFFFF); }},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.what);
        EmbeddedImage image;
        c.damage(c.tables);
        const uint32_t glyph = std::string(c.what).find("format 5 glyph") == 0 ? 4 : 3;
        EXPECT_FALSE(Decode(c.tables, glyph, &image));
    }
}

TEST(EbdtReader, DamagedCompositesGiveNoImage) {
    auto composite = [](std::vector<SbitComponent> components) {
        SbitImage c{20, {"....", "...."}, 0, 2, 4};
        c.components = std::move(components);
        return BuildEmbeddedBitmaps({SbitStrike{
            12, {SbitSubTable{1, 2, {SbitImage{10, {"##", "##"}, 0, 2, 2}}},
                 SbitSubTable{1, 9, {c}}}}});
    };
    struct Case {
        const char *what;
        EmbeddedTables tables;
    } cases[] = {
        {"component right of the box", composite({{10, 3, 0}})},
        {"component above the box", composite({{10, 0, -1}})},
        {"component without an image", composite({{11, 0, 0}})},
        {"composite of itself", composite({{20, 0, 0}})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EmbeddedImage image;
        EXPECT_FALSE(Decode(c.tables, 20, &image));
    }
    EmbeddedImage image;
    ASSERT_TRUE(Decode(composite({{10, 2, 0}}), 20, &image));
    EXPECT_EQ(Rows(image), (std::vector<std::string>{"..##", "..##"}));
    // A component count beyond the record is refused before any is read.
    EmbeddedTables lying = composite({{10, 0, 0}});
    const size_t record = Be32At(lying.eblc, IndexArray(lying) + 8 + 4);  // second sub-table
    const size_t data = Be32At(lying.eblc, IndexArray(lying) + record + 4);
    SetBe16(lying.ebdt, data + 8, 0xFFFF);
    EXPECT_FALSE(Decode(lying, 20, &image));
}

// A composite of 1,023 components, each found at the end of a long list of
// unsorted index records, walked the whole list for each component: 3-4.5 s
// per glyph on a strike of a million records.  A glyph's lookups are
// bounded, and such a glyph is left to its outline; a composite of a few
// components on a short list still draws.
TEST(EbdtReader, HostileStrikeCostsBoundedWorkPerGlyph) {
    const struct {
        uint32_t records;
        uint16_t components;
        bool drawn;
    } cases[] = {{100000, 1023, false}, {1000, 65, false}, {1000, 4, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.records << " records, " << c.components);
        const EmbeddedTables t = HostileStrike(c.records, c.components, 12);
        MemoryTable eblc(t.eblc), ebdt(t.ebdt);
        EmbeddedStrike strike{};
        ASSERT_TRUE(FindStrike(eblc, 12, &strike));
        const uint64_t findingTheStrike = eblc.fetched;
        EmbeddedImage image;
        EXPECT_EQ(c.drawn, LoadEmbeddedImage(eblc, ebdt, strike, 1, &image));
        // A million records of 8 bytes, and the few records besides.
        EXPECT_LE(eblc.fetched - findingTheStrike, (uint64_t(8) << 20) + 65536);
        if (c.drawn) {
            EXPECT_EQ(Rows(image), (std::vector<std::string>{"####", "#..#", "#..#", "####"}));
        }
    }
}

TEST(EbdtReader, StrikeSizeIsTheRoundedPixelSize) {
    EXPECT_EQ(StrikePpem(12, 72), 12u);
    EXPECT_EQ(StrikePpem(9, 96), 12u);
    EXPECT_EQ(StrikePpem(10, 96), 13u);  // 13.33
    EXPECT_EQ(StrikePpem(11, 96), 15u);  // 14.67
}

// ------------------------------------------------ through the exports

// 1024 units per em at 16 pixels (one unit is 1/64 pixel), a box from -2 to
// 14 pixels; glyph 1 a square outline, glyph 2 also with a 16-pixel image.
FontBuilder BitmapFont(const EmbeddedTables &t) {
    return FontBuilder()
        .UnitsPerEm(1024)
        .BoundingBox(0, -128, 1024, 896)
        .AddGlyph(Glyph::Simple({{{128, 0}, {128, 640}, {384, 640}, {384, 0}}}))
        .AddGlyph(Glyph::Simple({{{128, 0}, {128, 640}, {384, 640}, {384, 0}}}))
        .RawTable("EBLC", t.eblc)
        .RawTable("EBDT", t.ebdt);
}

struct Drawn {
    std::vector<std::string> rows;
    KelmorGlyphMetrics m{};
};

Drawn Draw(const std::string &path, int options, int32_t glyph, int ppem = 16) {
    Drawn d;
    const int32_t font = OpenTTFont(path.c_str());
    if (font == 0) return d;
    SetEncoding(font, KELMOR_CHARSET_GLYPHNUMBER);
    SetRenderOptions(font, options);
    SetPointSize(font, ppem, 72);
    const char *code = reinterpret_cast<const char *>(&glyph);
    GetGlyphMetrics(font, code, &d.m);
    int width = 0, height = 0;
    const unsigned char *bits = GetBitmap(font, code, &width, &height, 0);
    for (int r = 0; bits != nullptr && r < height; ++r) {
        std::string row;
        for (int c = 0; c < width; ++c)
            row += (bits[r * ((width + 15) / 16 * 2) + c / 8] & (0x80 >> (c % 8))) ? '.' : '#';
        d.rows.push_back(row);
    }
    CloseTTFont(font);
    return d;
}

TEST(EmbeddedBitmapGlyphs, ImageTakesTheOutlinesPlaceInEachMode) {
    const std::vector<std::string> image = {"#...#", ".#.#.", "..#.."};
    const std::string path =
        BitmapFont(BuildEmbeddedBitmaps({SbitStrike{16, {SbitSubTable{1, 2,
                                                        {SbitImage{2, image, -1, 2, 9}}}}}}))
            .WriteTo(ScratchDir("ebdt_modes") + "/font.ttf");

    // Faithful: the bitmap is the image, the origin one column right of it.
    Drawn fitted = Draw(path, KELMOR_FAITHFUL | KELMOR_EMBEDDED_BITMAPS, 2);
    EXPECT_EQ(fitted.rows, image);
    EXPECT_EQ(fitted.m.iOriginX, 1);
    EXPECT_EQ(fitted.m.iOriginY, 2);
    EXPECT_EQ(fitted.m.iAdvance, 9);
    EXPECT_EQ(fitted.m.lAdvance, 9 * 64);

    // Classic: the font box (17 rows, baseline above row 15), column 0 on
    // the origin, so the image's first column is dropped.
    Drawn cell = Draw(path, KELMOR_EMBEDDED_BITMAPS, 2);
    ASSERT_EQ(cell.rows.size(), 17u);
    EXPECT_EQ(cell.m.iOriginY, 15);
    EXPECT_EQ(cell.rows[12].substr(0, 5), ".....");
    EXPECT_EQ(cell.rows[13].substr(0, 5), "...#.");
    EXPECT_EQ(cell.rows[14].substr(0, 5), "#.#..");
    EXPECT_EQ(cell.rows[15].substr(0, 5), ".#...");
    EXPECT_EQ(cell.m.iAdvance, 9);

    // Without the bit, at another size, or for a glyph the strike lacks: the
    // outline, as before.
    const Drawn outline = Draw(path, KELMOR_FAITHFUL, 2);
    EXPECT_EQ(Draw(path, KELMOR_FAITHFUL | KELMOR_EMBEDDED_BITMAPS, 2, 15).rows,
              Draw(path, KELMOR_FAITHFUL, 2, 15).rows);
    EXPECT_EQ(Draw(path, KELMOR_FAITHFUL | KELMOR_EMBEDDED_BITMAPS, 1).rows,
              Draw(path, KELMOR_FAITHFUL, 1).rows);
    EXPECT_NE(outline.rows, image);
}

TEST(EmbeddedBitmapGlyphs, DamagedImageFallsBackToTheOutline) {
    EmbeddedTables t = BuildEmbeddedBitmaps(
        {SbitStrike{16, {SbitSubTable{1, 2, {SbitImage{2, kArrow, 0, 5, 6}}}}}});
    t.ebdt.resize(t.ebdt.size() - 1);
    const std::string path = BitmapFont(t).WriteTo(ScratchDir("ebdt_damaged") + "/font.ttf");
    EXPECT_EQ(Draw(path, KELMOR_FAITHFUL | KELMOR_EMBEDDED_BITMAPS, 2).rows,
              Draw(path, KELMOR_FAITHFUL, 2).rows);
}

}  // namespace
