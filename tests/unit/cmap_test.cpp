// Character mapping and vertical substitution, read from synthetic fonts.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>
#include <string>

#include "font_builder.h"
#include "kelmor.h"
#include "table_reader.h"
#include "test_paths.h"
#include "ttf/font/ttf.h"

using namespace kelmor;
using namespace kelmor_test;

namespace {

class Cmap : public ::testing::Test {
protected:
    // Builds, writes and reads the font; false when it would not open.
    bool Open(const FontBuilder &b) {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = b.WriteTo(ScratchDir(std::string("cmap_") + info->name()) + "/font.ttf");
        reader_ = std::make_unique<TableReader>(path_);
        return reader_->ReadAll();
    }
    uint32_t Glyph(uint32_t code) { return GetGlyphNo(reader_->get(), code); }
    _TTFont *F() { return reader_->get(); }

    std::string path_;
    std::unique_ptr<TableReader> reader_;
};

// ------------------------------------------------------------- format 12

// A format-12 sub-table of `groups` (start, end, first glyph), with the group
// count given or counted.
Bytes Format12(const std::vector<std::array<uint32_t, 3>> &groups, int64_t count = -1) {
    Bytes t;
    auto put32 = [&t](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) t.push_back(uint8_t(v >> shift));
    };
    t = {0, 12, 0, 0};
    put32(uint32_t(16 + 12 * groups.size()));
    put32(0);
    put32(uint32_t(count < 0 ? int64_t(groups.size()) : count));
    for (const auto &g : groups) put32(g[0]), put32(g[1]), put32(g[2]);
    return t;
}

// Codes above U+FFFF come from the (3, 10) format-12 map, whose groups must
// be in order, apart and inside the table; glyphs past the font's count are
// no glyphs.  A table that breaks a rule is not used at all.
TEST_F(Cmap, Format12ReachesSupplementaryPlanesAndRefusesDisorder) {
    const struct {
        const char *what;
        uint16_t encoding;
        Bytes table;
        uint32_t at20B9F, at20BA0, at2F800;
    } cases[] = {
        {"good", 10, Format12({{0x41, 0x41, 1}, {0x20B9F, 0x20BA0, 2}, {0x2F800, 0x2F800, 1}}),
         2, 3, 1},
        {"out of order", 10, Format12({{0x2F800, 0x2F800, 1}, {0x20B9F, 0x20BA0, 2}}), 0, 0, 0},
        {"overlapping", 10, Format12({{0x20B00, 0x20BA0, 1}, {0x20B9F, 0x2F800, 2}}), 0, 0, 0},
        {"end before start", 10, Format12({{0x20BA0, 0x20B9F, 1}}), 0, 0, 0},
        {"count past the table", 10, Format12({{0x20B9F, 0x20B9F, 1}}, 0x20000000), 0, 0, 0},
        {"glyph past the font", 10, Format12({{0x20B9F, 0x20BA0, 3}}), 3, 0, 0},
        {"not the full repertoire", 1, Format12({{0x20B9F, 0x20BA0, 2}}), 0, 0, 0},
    };
    for (const auto &c : cases) {
        FontBuilder b;
        b.AddGlyph(Glyph::Simple({{{0, 0}, {0, 10}, {10, 10}}}));
        b.AddGlyph(Glyph::Simple({{{0, 0}, {0, 20}, {20, 20}}}));
        b.AddGlyph(Glyph::Simple({{{0, 0}, {0, 30}, {30, 30}}}));
        ASSERT_TRUE(Open(b.Cmap4(3, 1, {{0x41, 1}}).CmapRaw(3, c.encoding, c.table))) << c.what;
        EXPECT_EQ(c.at20B9F, Glyph(0x20B9F)) << c.what;
        EXPECT_EQ(c.at20BA0, Glyph(0x20BA0)) << c.what;
        EXPECT_EQ(c.at2F800, Glyph(0x2F800)) << c.what;
        EXPECT_EQ(1u, Glyph(0x41)) << c.what;  // the BMP still comes from format 4
    }
}

// A font whose only Unicode map is of format 12 was taken for a single-byte
// font: the API refused every code point.  Its groups serve every plane.
TEST_F(Cmap, Format12AloneMakesAUnicodeFont) {
    FontBuilder b;
    b.AddGlyph(Glyph::Simple({{{0, 0}, {0, 10}, {10, 10}}}));
    b.AddGlyph(Glyph::Simple({{{0, 0}, {0, 20}, {20, 20}}}));
    b.CmapRaw(3, 10, Format12({{0x41, 0x42, 1}, {0x20B9F, 0x20B9F, 2}}));
    ASSERT_TRUE(Open(b));
    const int32_t font = OpenTTFontFace(path_.c_str(), 0);
    ASSERT_NE(0, font);
    SetEncoding(font, KELMOR_CHARSET_UNICODE);
    const struct {
        uint32_t code;
        int32_t glyph, error;
    } cases[] = {{0x41, 1, KELMOR_ERROR_NONE},
                 {0x42, 2, KELMOR_ERROR_NONE},
                 {0x43, 0, KELMOR_ERROR_NOT_MAPPED},
                 {0x20B9F, 2, KELMOR_ERROR_NONE}};
    for (const auto &c : cases) {
        EXPECT_EQ(c.glyph, GetGlyphIndex(font, reinterpret_cast<const char *>(&c.code)))
            << std::hex << c.code;
        EXPECT_EQ(c.error, GetLastFontError()) << std::hex << c.code;
    }
    CloseTTFont(font);
}

// -------------------------------------------------------------- format 4

TEST_F(Cmap, Format4DeltaAndArraySegments) {
    // 0x41-0x43 follow their glyphs (delta segment); 0x3000-0x3002 do not
    // (glyph array); 0x50 stands alone.
    ASSERT_TRUE(Open(FontBuilder().Cmap4(
        3, 1,
        {{0x41, 5}, {0x42, 6}, {0x43, 7}, {0x50, 2}, {0x3000, 9}, {0x3001, 4}, {0x3002, 8}})));
    EXPECT_EQ(5u, Glyph(0x41));
    EXPECT_EQ(7u, Glyph(0x43));
    EXPECT_EQ(2u, Glyph(0x50));
    EXPECT_EQ(9u, Glyph(0x3000));
    EXPECT_EQ(4u, Glyph(0x3001));
    EXPECT_EQ(8u, Glyph(0x3002));
    EXPECT_EQ(0u, Glyph(0x40));  // below a segment's start
    EXPECT_EQ(0u, Glyph(0x4F));
    EXPECT_EQ(0u, Glyph(0x10000));  // above every end code
}

TEST_F(Cmap, Format4ExactSegments) {
    // idDelta wraps modulo 65536; a zero entry of the glyph array is "no
    // glyph" even with a delta; the last segment's end code bounds the search.
    std::vector<Segment4> segments = {
        {0x0020, 0x0020, 0xFFF0, 0}, {0x0030, 0x0032, 3, 4}, {0x1000, 0x1000, 0, 0}};
    ASSERT_TRUE(Open(FontBuilder().Cmap4Segments(3, 1, segments, {7, 0, 9})));
    EXPECT_EQ(0x10u, Glyph(0x20));
    EXPECT_EQ(10u, Glyph(0x30));
    EXPECT_EQ(0u, Glyph(0x31));
    EXPECT_EQ(12u, Glyph(0x32));
    EXPECT_EQ(0x1000u, Glyph(0x1000));
    EXPECT_EQ(0u, Glyph(0x1001));
}

TEST_F(Cmap, LaterRecordOfAFormatWins) {
    FontBuilder b;
    b.Cmap4(0, 3, {{0x41, 1}}).Cmap0(1, 0, {{0x41, 3}}).Cmap4(3, 1, {{0x41, 2}});
    ASSERT_TRUE(Open(b));
    EXPECT_EQ(2u, Glyph(0x41));
    EXPECT_EQ(3, F()->uDeltaPlatform);
    EXPECT_EQ(1, F()->uDeltaEncoding);
    EXPECT_NE(nullptr, F()->lpcmapStandardTable);  // kept, never used for lookup
    TableReader again(path_);
    EXPECT_EQ(3, GetCmap(again.get(), again.Entry(kSlotCmap)));
}

// -------------------------------------------------------------- format 2

TEST_F(Cmap, Format2SubHeaders) {
    std::vector<SubHeader2> subs = {{0, 0x20, 0, {11, 12}},         // single bytes 0x20, 0x21
                                    {0x81, 0x40, -2, {5, 0, 100}},  // 0x8140..0x8142
                                    {0x82, 0x9F, 0x10, {1}}};
    FontBuilder b;
    b.Cmap4(3, 0, {{0x41, 9}}).Cmap2SubHeaders(3, 2, subs);
    ASSERT_TRUE(Open(b));
    EXPECT_EQ(11u, Glyph(0x20));
    EXPECT_EQ(12u, Glyph(0x21));
    EXPECT_EQ(3u, Glyph(0x8140));  // 5 with idDelta -2
    EXPECT_EQ(0u, Glyph(0x8141));  // a zero entry stays 0
    EXPECT_EQ(98u, Glyph(0x8142));
    EXPECT_EQ(0u, Glyph(0x813F));  // low byte below firstCode
    EXPECT_EQ(0u, Glyph(0x8143));  // at firstCode + entryCount
    EXPECT_EQ(0x11u, Glyph(0x829F));
    EXPECT_EQ(0u, Glyph(0x41));  // format 4 is not consulted
    EXPECT_EQ(0u, Glyph(0x12345));
    // The encoding comes from format 4 unless that is 0.
    EXPECT_EQ(0, F()->uDeltaEncoding);
    EXPECT_EQ(2, F()->uHiByteEncoding);
    EXPECT_EQ(3, F()->uHiBytePlatform);
    EXPECT_EQ(csShiftJIS, CharsetFromEncodingID(F()->uHiByteEncoding));
    EXPECT_EQ(csUnicode, CharsetFromEncodingID(1));
    EXPECT_EQ(csGB2312, CharsetFromEncodingID(3));
    EXPECT_EQ(csBig5, CharsetFromEncodingID(4));
    EXPECT_EQ(csSingleByte, CharsetFromEncodingID(0));
    EXPECT_EQ(csSingleByte, CharsetFromEncodingID(5));
}

// A Unicode font with a Mac high-byte table beside its Unicode one: its
// character set is Unicode, so codes are looked up as Unicode.
TEST_F(Cmap, AUnicodeFontLooksCodesUpInItsUnicodeTable) {
    FontBuilder b;
    b.Cmap2(1, 3, {{0xB0A1, 7}}).Cmap4(3, 1, {{0xAC00, 5}, {0x41, 2}});
    ASSERT_TRUE(Open(b));
    EXPECT_EQ(5u, Glyph(0xAC00));
    EXPECT_EQ(2u, Glyph(0x41));
    EXPECT_EQ(0u, Glyph(0xB0A1));
    EXPECT_FALSE(LooksUpInHighByteTable(F()));
}

TEST_F(Cmap, OnlyUnknownOrFormat0SubTablesMapEverythingToZero) {
    ASSERT_TRUE(Open(FontBuilder().Cmap0(1, 0, {{0x41, 3}}).CmapRaw(3, 10, {0, 12, 0, 0})));
    EXPECT_EQ(0u, Glyph(0x41));
    EXPECT_EQ(nullptr, F()->lpcmapSeg2DeltaValues);
    EXPECT_EQ(nullptr, F()->lpcmapHighByteTable);
}

// ------------------------------------------------------ hostile cmap data

Bytes Format4Header(uint16_t segCountX2) {
    BEWriter w;
    w.U16(4).U16(0).U16(0).U16(segCountX2).U16(0).U16(0).U16(0);
    return w.bytes;
}

TEST_F(Cmap, SubTablesThatDoNotFitAreNotUsed) {
    // A format-4 sub-table claiming 30000 segments in a few bytes, and a
    // record whose offset points far outside the table.
    FontBuilder b;
    b.Cmap4(3, 1, {{0x41, 1}}).CmapRaw(3, 10, Format4Header(60000));
    ASSERT_TRUE(Open(b));
    EXPECT_EQ(1u, Glyph(0x41));  // the broken later record is passed over

    // 65535 records claimed, two fit; the first points outside the table,
    // the second at its own last two bytes.
    BEWriter cmap;
    cmap.U16(0).U16(0xFFFF).U16(3).U16(1).U32(0xFFFFFFF0).U16(3).U16(1).U32(18);
    ASSERT_TRUE(Open(FontBuilder().RawTable("cmap", cmap.bytes)));
    TableReader again(path_);
    EXPECT_EQ(2, GetCmap(again.get(), again.Entry(kSlotCmap)));
    EXPECT_EQ(nullptr, F()->lpcmapSeg2DeltaValues);
    EXPECT_EQ(0u, Glyph(0x41));
}

TEST_F(Cmap, RecordsOverlappingASubTableDoNotChangeItAfterItWasChecked) {
    // The second record claimed is the first bytes of the sub-table the first
    // record points at; converting it in place rewrites the sub-table's
    // segment count (2 becomes 0x7FFF).
    BEWriter cmap;
    cmap.U16(0).U16(2).U16(3).U16(1).U32(12);
    cmap.U16(4).U16(24).U16(0xFF7F).U16(2).U16(2).U16(0).U16(0);
    cmap.U16(0x41).U16(0).U16(0x41).U16(0).U16(0);
    ASSERT_TRUE(Open(FontBuilder().RawTable("cmap", cmap.bytes)));
    for (uint32_t c : {0x0u, 0x41u, 0x4000u, 0xFFFFu}) EXPECT_EQ(0u, Glyph(c));
}

TEST_F(Cmap, LookupsThatWouldReadOutsideAnswerZero) {
    // Range offsets that point past the end of the table, in both formats.
    std::vector<Segment4> segments = {{0x41, 0x42, 0, 0xFFFE}, {0xFFFF, 0xFFFF, 1, 0}};
    ASSERT_TRUE(Open(FontBuilder().Cmap4Segments(3, 1, segments)));
    EXPECT_EQ(0u, Glyph(0x41));
    EXPECT_EQ(0u, Glyph(0x42));
    EXPECT_EQ(0u, Glyph(0xFFFF));

    BEWriter w;
    w.U16(2).U16(0).U16(0);
    for (int high = 0; high < 256; ++high) w.U16(high == 0x81 ? 8 * 500 : high == 0x82 ? 8 : 0);
    w.U16(0).U16(0).U16(0).U16(0);           // sub-header 0: nothing
    w.U16(0x40).U16(10).U16(0).U16(0x7000);  // sub-header 1: array far outside
    ASSERT_TRUE(Open(FontBuilder().CmapRaw(3, 2, w.bytes)));
    EXPECT_EQ(0u, Glyph(0x8140));  // sub-header 500 lies outside
    EXPECT_EQ(0u, Glyph(0x8240));  // its glyph entry lies outside
    EXPECT_EQ(0u, Glyph(0x41));
}

TEST_F(Cmap, TablesOutsideTheFileOrEmptyDoNotOpen) {
    EXPECT_FALSE(Open(FontBuilder().EditDirectory([](Directory &d) {
        for (DirEntry &e : d.entries)
            if (e.tag == "cmap") e.length = 0x7FFFFFFF;
    })));
    EXPECT_EQ(nullptr, F()->CmapBuffer);
    EXPECT_FALSE(Open(FontBuilder().RawTable("cmap", {0, 0, 0, 0})));
    EXPECT_FALSE(Open(FontBuilder().RawTable("cmap", {0, 0})));
    EXPECT_FALSE(Open(FontBuilder().RemoveTable("cmap")));
}

// ------------------------------------------------------------------ mort

TEST_F(Cmap, VerticalPairsReplaceGlyphsOnlyWhenAsked) {
    ASSERT_TRUE(Open(FontBuilder().Mort({{5, 50}, {7, 70}, {9, 90}})));
    EXPECT_EQ(5u, F()->uMinGlyph);
    EXPECT_EQ(9u, F()->uMaxGlyph);
    EXPECT_EQ(5u, GetVertical(F(), 5));  // iVertical 0
    F()->iVertical = 1;
    EXPECT_EQ(50u, GetVertical(F(), 5));
    EXPECT_EQ(90u, GetVertical(F(), 9));
    EXPECT_EQ(6u, GetVertical(F(), 6));
    EXPECT_EQ(4u, GetVertical(F(), 4));
    EXPECT_EQ(100u, GetVertical(F(), 100));
}

// The upper bound of the search is the last pair's first glyph, not the
// largest one: in a table out of order, pairs above it are never reached.
TEST_F(Cmap, TheLastPairBoundsTheSubstitution) {
    ASSERT_TRUE(Open(FontBuilder().Mort({{5, 50}, {9, 90}, {7, 70}})));
    EXPECT_EQ(7u, F()->uMaxGlyph);
    F()->iVertical = 1;
    EXPECT_EQ(70u, GetVertical(F(), 7));
    EXPECT_EQ(9u, GetVertical(F(), 9));
}

TEST_F(Cmap, UnusableMortLeavesSubstitutionOff) {
    auto expectOff = [this](const FontBuilder &b) {
        ASSERT_TRUE(Open(b));  // mort problems never fail the open
        EXPECT_EQ(nullptr, F()->lpMortHeader);
        EXPECT_EQ(nullptr, F()->lpLookupSingle);
        EXPECT_EQ(65535u, F()->uMinGlyph);
        EXPECT_EQ(0u, F()->uMaxGlyph);
        F()->iVertical = 1;
        EXPECT_EQ(5u, GetVertical(F(), 5));
    };
    expectOff(FontBuilder().Mort({{5, 50}}, 2));              // entrySize 2
    expectOff(FontBuilder().Mort({}));                        // no pairs
    expectOff(FontBuilder().RawTable("mort", Bytes(75, 0)));  // short prefix
    // nEntries says 1000 pairs but the table holds two.
    Bytes lying(76, 0);
    lying[67] = 4, lying[68] = 0x03, lying[69] = 0xE8;
    lying.insert(lying.end(), {0, 5, 0, 50, 0, 6, 0, 60});
    expectOff(FontBuilder().RawTable("mort", lying));
}

// ------------------------------------------------------------- debug log

TEST_F(Cmap, OpeningListsSubTablesAndNamesInTheLog) {
    std::string log = ScratchDir("cmap_log") + "/open.map";
    ASSERT_NE(nullptr, SetGlobalDebugLevel(log.c_str(), 4 | 8));
    FontBuilder b;
    b.Cmap4(0, 3, {{0x41, 1}}).Cmap2(3, 2, {{0x41, 1}});
    b.NameUtf16(3, 1, 0x411, 4, "Font").Name(1, 0, 0, 1, {'M'});
    bool opened = Open(b);
    SetGlobalDebugLevel(nullptr, 0);
    ASSERT_TRUE(opened);
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(
        "Names:\n"
        "   3    1   17    4 Font\n"
        "   1    0    0    1 M\n"
        "C-Map 4: platform = 00, encoding = 03\n"
        "C-Map 2: platform = 03, encoding = 02\n",
        text.str());
}

}  // namespace

namespace {

// Found by the font fuzzer: a second record whose offset lies inside the
// format-4 segment arrays cut the kept part of the table there, and lookups
// read the arrays past the cut.  The arrays are kept whole.
TEST_F(Cmap, ARecordPointingIntoTheSegmentArraysDoesNotCutThem) {
    BEWriter cmap;
    cmap.U16(0).U16(2).U16(3).U16(1).U32(20).U16(3).U16(1).U32(36);
    cmap.U16(4).U16(32).U16(0).U16(4).U16(4).U16(1).U16(0);  // format 4, two segments
    cmap.U16(0x42).U16(0xFFFF).U16(0).U16(0x41).U16(0xFFFF);  // ends, pad, starts
    cmap.U16(uint16_t(5 - 0x41)).U16(1).U16(0).U16(0);         // deltas, range offsets
    ASSERT_TRUE(Open(FontBuilder().RawTable("cmap", cmap.bytes)));
    EXPECT_EQ(5u, Glyph(0x41));
    EXPECT_EQ(6u, Glyph(0x42));
    EXPECT_EQ(0u, Glyph(0x43));
}

}  // namespace
