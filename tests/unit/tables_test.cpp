// The table directory and the fixed-layout tables, read from synthetic fonts.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "font_builder.h"
#include "table_reader.h"
#include "test_paths.h"
#include "ttf/font/ttf.h"

using namespace kelmor;
using namespace kelmor_test;

namespace {

std::string Write(const Bytes &bytes, const std::string &name) {
    std::string path = ScratchDir("tables_" + name) + "/font.ttf";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}
std::string Write(const FontBuilder &b, const std::string &name) { return Write(b.Build(), name); }

uint32_t EntryOffset(const TableDirectoryStruct *e) { return ui32ToULong(&e->offset); }

DirEntry *Find(Directory &d, const std::string &tag) {
    for (DirEntry &e : d.entries)
        if (e.tag == tag) return &e;
    return nullptr;
}

// ----------------------------------------------------------- directory

TEST(Directory, IndexesKnownTagsAndIgnoresOthers) {
    TableReader r(Write(FontBuilder().Fpgm({0xB0, 1}).RawTable("zzzz", {1, 2}), "known"));
    EXPECT_EQ(0, std::memcmp(sfntTableTags[kSlotCvt], "cvt ", 4));
    EXPECT_EQ(0, std::memcmp(sfntTableTags[kSlotMort], "mort", 4));
    for (int slot = kKnownTags; slot < kMaxTables; ++slot)
        EXPECT_EQ(0, std::memcmp(sfntTableTags[slot], "\0\0\0\0", 4));
    for (sfntSlot s : {kSlotCmap, kSlotGlyf, kSlotHead, kSlotHhea, kSlotHmtx, kSlotLoca, kSlotMaxp,
                       kSlotName, kSlotFpgm})
        ASSERT_NE(nullptr, r.Entry(s)) << s;
    EXPECT_EQ(nullptr, r.Entry(kSlotPrep));
    EXPECT_EQ(0, std::memcmp(r.Entry(kSlotFpgm)->tag, "fpgm", 4));
    EXPECT_EQ(10, r->NumTables);  // the nine above and "zzzz"
    for (int slot = kKnownTags; slot < kMaxTables; ++slot)
        EXPECT_EQ(nullptr, r.Entry(sfntSlot(slot)));
}

TEST(Directory, ReadsAtMost35EntriesAndTheLaterDuplicateWins) {
    // 40 declared entries: 34 fillers, then a decoy head, then a "prep" that
    // lies beyond the 35th entry and must not be seen.
    std::string path =
        Write(FontBuilder().RawTable("hed2", Bytes(54, 0x11)).EditDirectory([](Directory &d) {
            DirEntry head = *Find(d, "head"), decoy = *Find(d, "hed2");
            decoy.tag = "head";
            d.entries.clear();
            d.entries.push_back(head);
            for (int i = 0; i < 33; ++i)
                d.entries.push_back({"x" + std::to_string(100 + i), 0, head.offset, 4});
            d.entries.push_back(decoy);
            d.entries.push_back({"prep", 0, head.offset, 4});
            while (d.entries.size() < 40) d.entries.push_back({"yyyy", 0, 0, 0});
        }),
              "forty");
    TableReader r(path);
    EXPECT_EQ(35, r->NumTables);
    ASSERT_NE(nullptr, r.Entry(kSlotHead));
    EXPECT_EQ(&r->TableDirectory[34], r.Entry(kSlotHead));
    EXPECT_EQ(nullptr, r.Entry(kSlotPrep));
    EXPECT_EQ(54, GetheadHeader(r.get(), r.Entry(kSlotHead)));
    EXPECT_EQ(0x1111, r->UnitsPerEm);
}

TEST(Directory, TruncatedOrEmptyFiles) {
    Bytes full = FontBuilder().Build();
    // Cut inside the seventh directory entry: six whole entries remain.
    Bytes cut(full.begin(), full.begin() + 12 + 16 * 6 + 5);
    TableReader six(Write(cut, "cut"));
    EXPECT_EQ(6, six->NumTables);
    EXPECT_EQ(nullptr, GetTable(six.get(), six.Entry(kSlotCmap)));  // outside the file now

    TableReader empty(Write(Bytes{}, "empty"));
    EXPECT_EQ(0, empty->NumTables);
    EXPECT_EQ(-1, ReadTTFHeaders(empty.get()));
    ListTables(empty.get(), -1);
    for (auto *e : empty->lpsfntTable) EXPECT_EQ(nullptr, e);
    EXPECT_FALSE(empty.ReadAll());

    EXPECT_EQ(nullptr, OpenTTFFile("/nonexistent/kelmor/font.ttf"));
}

TEST(Directory, GetTableMakesLengthPrefixedBlocksOnlyForTablesInsideTheFile) {
    std::string path = Write(
        FontBuilder().Fpgm({0xB0, 7, 0x2C}).Prep({}).Cvt({-2, 300}).EditDirectory([](Directory &d) {
            Find(d, "hmtx")->offset = 0xFFFFFFF0;  // offset past the end
            Find(d, "hhea")->length = 0xFFFFFFFF;  // length past the end
        }),
        "blocks");
    TableReader r(path);
    uint8_t *fpgm = GetTable(r.get(), r.Entry(kSlotFpgm));
    ASSERT_NE(nullptr, fpgm);
    EXPECT_EQ(3, BlockLength(fpgm));
    EXPECT_EQ(0, std::memcmp(BlockBytes(fpgm), "\xB0\x07\x2C", 3));
    uint8_t *cvt = GetTable(r.get(), r.Entry(kSlotCvt));
    ASSERT_EQ(4, BlockLength(cvt));
    EXPECT_EQ(0, std::memcmp(BlockBytes(cvt), "\xFF\xFE\x01\x2C", 4));
    std::free(fpgm);
    std::free(cvt);

    EXPECT_EQ(nullptr, GetTable(r.get(), r.Entry(kSlotPrep)));  // zero length
    EXPECT_EQ(nullptr, GetTable(r.get(), nullptr));
    EXPECT_EQ(nullptr, GetTable(r.get(), r.Entry(kSlotHmtx)));
    EXPECT_EQ(nullptr, GetTable(r.get(), r.Entry(kSlotHhea)));
    EXPECT_EQ(0, GetHorizontalHeader(r.get(), r.Entry(kSlotHhea)));
    EXPECT_EQ(0, BlockLength(nullptr));
    EXPECT_EQ(nullptr, BlockBytes(nullptr));
}

// ------------------------------------------------------ head, hhea, maxp

TEST(FixedTables, HeadHheaAndMaxpValues) {
    FontBuilder b;
    b.UnitsPerEm(2048).BoundingBox(-100, -300, 2000, 1800).LowestRecPPEM(9).Hhea(1900, -250, 67);
    b.AddGlyph(Glyph::Simple({{{0, 0}, {10, 0}, {10, 10}}, {{1, 1}, {2, 2}}}, {0xB0, 0}));
    b.AddGlyph(Glyph::Composite({{1}, {1, 5, 5}}));
    b.Maxp(&MaxpValues::maxStorage, 47).Maxp(&MaxpValues::maxComponentDepth, 3);
    TableReader r(Write(b, "fixed"));
    ASSERT_TRUE(r.ReadAll());
    EXPECT_EQ(2048, r->UnitsPerEm);
    EXPECT_EQ(9, r->LowestRecPPEM);
    EXPECT_EQ(-100, r->xMin);
    EXPECT_EQ(-300, r->yMin);
    EXPECT_EQ(2000, r->xMax);
    EXPECT_EQ(1800, r->yMax);
    EXPECT_EQ(1900, r->HorizHeader.Ascender);
    EXPECT_EQ(-250, r->HorizHeader.Descender);
    EXPECT_EQ(67, r->HorizHeader.LineGap);
    // Every maxp field lands in its own slot (the computed values differ).
    const leMaxpHeader &m = r->leMaximumProfile;
    EXPECT_EQ(0x00010000u, m.version);
    EXPECT_EQ(
        (std::vector<int>{3, 5, 2, 10, 4, 2, 16, 47, 64, 0, 256, 2, 2, 3}),
        (std::vector<int>{m.numGlyphs, m.maxPoints, m.maxContours, m.maxComponentPoints,
                          m.maxComponentContours, m.maxZones, m.maxTwilightPoints, m.maxStorage,
                          m.maxFunctionDefs, m.maxInstructionDefs, m.maxStackElements,
                          m.maxSizeOfInstructions, m.maxComponentElements, m.maxComponentDepth}));
}

TEST(FixedTables, ShortTablesFillOnlyTheirOwnBytes) {
    // A 20-byte head followed by a table of 0xEE bytes: the fields past the
    // table's end read as zero, not as the neighbour's bytes.
    FontBuilder b;
    b.RawTable("head",
               [] {
                   BEWriter w;
                   w.U32(0x00010000).U32(0).U32(0).U32(0x5F0F3CF5).U16(0).U16(1024);
                   return w.bytes;
               }())
        .RawTable("hhea", Bytes(36, 0xEE))
        .RawTable("maxp", {0, 0, 0x50, 0, 0, 9});
    TableReader r(Write(b, "short"));
    EXPECT_EQ(20, GetheadHeader(r.get(), r.Entry(kSlotHead)));
    EXPECT_EQ(1024, r->UnitsPerEm);
    EXPECT_EQ(0, r->xMax);
    EXPECT_EQ(0, r->FontHeader.indexToLocFormat.BE);
    EXPECT_EQ(6, GetmaxpHeader(r.get(), r.Entry(kSlotMaxp)));
    EXPECT_EQ(9, r->leMaximumProfile.numGlyphs);
    EXPECT_EQ(0, r->leMaximumProfile.maxPoints);
}

// ------------------------------------------------------------------- loca

TEST(Loca, ShortAndLongEntriesGiveFileOffsets) {
    for (bool isLong : {false, true}) {
        FontBuilder b;
        b.LongLoca(isLong).SetGlyph(0, Glyph::Raw(Bytes(32, 0))).AddGlyph(Glyph::Raw(Bytes(12, 0)));
        b.AddGlyph(Glyph::Empty());
        TableReader r(Write(b, isLong ? "long" : "short"));
        ASSERT_TRUE(r.ReadAll());
        EXPECT_EQ(isLong ? 4 : 2, r->LocaLength);
        EXPECT_EQ(4 * r->LocaLength, Getloca(r.get(), r.Entry(kSlotLoca)));
        int32_t glyf = int32_t(EntryOffset(r.Entry(kSlotGlyf)));
        if (!isLong) {
            EXPECT_EQ(0x10u, ReadBE16(r->LocaBuffer + 2));  // offset 32 stored halved
        }
        EXPECT_EQ(glyf, GetGlyphIndex(r.get(), 0));
        EXPECT_EQ(glyf + 32, GetGlyphIndex(r.get(), 1));
        EXPECT_EQ(glyf + 44, GetGlyphIndex(r.get(), 2));
        EXPECT_EQ(glyf + 44, GetGlyphIndex(r.get(), 3));  // numGlyphs: the end of the last glyph
        EXPECT_EQ(glyf, GetGlyphIndex(r.get(), 4));       // beyond: entry 0
        EXPECT_EQ(glyf, GetGlyphIndex(r.get(), 0xFFFFFFFF));
    }
}

TEST(Loca, LyingEntriesStayInsideGlyfAndShortLocaReadsAsEmpty) {
    // loca claims offsets far past glyf; glyf is 8 bytes long.
    FontBuilder b;
    b.SetGlyph(0, Glyph::Raw(Bytes(8, 0))).AddGlyph(Glyph::Empty());
    b.RawTable("loca", {0, 0, 0xFF, 0xF0, 0xFF, 0xFF});
    TableReader r(Write(b, "lying"));
    ASSERT_TRUE(r.ReadAll());
    int32_t glyfEnd = int32_t(EntryOffset(r.Entry(kSlotGlyf)) + 8);
    EXPECT_EQ(glyfEnd, GetGlyphIndex(r.get(), 1));
    EXPECT_EQ(glyfEnd, GetGlyphIndex(r.get(), 2));

    // numGlyphs 1000 with a 6-byte loca at the very end of the file.
    FontBuilder big;
    big.Maxp(&MaxpValues::numGlyphs, 1000).EditDirectory([](Directory &d) {
        Find(d, "loca")->offset = Find(d, "name")->offset + Find(d, "name")->length - 2;
    });
    TableReader cut(Write(big, "cutloca"));
    ASSERT_TRUE(cut.ReadAll());
    EXPECT_EQ(0, Getloca(cut.get(), cut.Entry(kSlotLoca)));
    EXPECT_EQ(0, Getloca(cut.get(), nullptr));

    // No glyf at all: every glyph is empty.
    TableReader noGlyf(Write(FontBuilder().RemoveTable("glyf"), "noglyf"));
    ASSERT_TRUE(noGlyf.ReadAll());
    EXPECT_EQ(GetGlyphIndex(noGlyf.get(), 0), GetGlyphIndex(noGlyf.get(), 1));
}

// ------------------------------------------------------------------- name

TEST(Names, CopySingleBytesDropsZerosInPlace) {
    char s[] = {0, 'A', 0, 'B', 'x', 'y'};
    EXPECT_EQ(2, CopySingleBytes(s, s, 4));
    EXPECT_EQ(0, std::memcmp(s, "AB\0Bxy", 6));
    char plain[] = {'a', 'b', 'c', '!'};
    EXPECT_EQ(0, CopySingleBytes(plain, plain, 3));
    EXPECT_EQ('!', plain[3]);  // nothing dropped, no terminator written
    char wide[] = {0x30, 0x42, 0, 'Z'};
    EXPECT_EQ(1, CopySingleBytes(wide, wide, 4));
    EXPECT_EQ(0, std::memcmp(wide, "\x30\x42Z\0", 4));
}

class NameTable : public ::testing::Test {
protected:
    void Open(const FontBuilder &b, const std::string &name) {
        reader_ = std::make_unique<TableReader>(Write(b, name));
        ASSERT_TRUE(reader_->ReadAll());
    }
    std::string Names(int platform, int encoding, int language, int nameID, int size = 64,
                      int32_t *copied = nullptr) {
        std::vector<char> buf(size_t(std::max(size, 1)), '#');
        ids_[0] = platform, ids_[1] = encoding, ids_[2] = language;
        int32_t n =
            FontNames(reader_->get(), &ids_[0], &ids_[1], &ids_[2], nameID, buf.data(), size);
        if (copied) *copied = n;
        return std::string(buf.data(), std::strlen(buf.data()));
    }
    std::unique_ptr<TableReader> reader_;
    int ids_[3] = {};
};

TEST_F(NameTable, CompactsUtf16AndAnswersQueries) {
    FontBuilder b;
    b.Name(1, 0, 0, 1, {'M', 'a', 'c'});
    b.Name(3, 1, 0x411, 1, {0, 'A', 0, 'B'});
    b.NameUtf16(3, 1, 0x409, 4, "Full Name!");
    b.Name(3, 1, 0x409, 1, {0x30, 0xB4, 0x30, 0xB7});
    Open(b, "names");
    const _nameRecord *records = CompactedNameRecords(reader_->get());
    const _nameRecord &r1 = records[1];
    EXPECT_EQ(2, r1.beStringLength);
    EXPECT_EQ(0, std::memcmp(reader_->get()->lpNameStrings + r1.beStringOffset, "AB", 2));
    EXPECT_EQ(3, records[0].beStringLength);

    int32_t n = -1;
    EXPECT_EQ("AB", Names(3, 1, 0x411, 1, 64, &n));
    EXPECT_EQ(2, n);
    // Wildcards report the record that matched.
    EXPECT_EQ("Mac", Names(-1, -1, -1, 1));
    EXPECT_EQ(1, ids_[0]);
    EXPECT_EQ(0, ids_[1]);
    EXPECT_EQ(0, ids_[2]);
    EXPECT_EQ("AB", Names(3, -1, -1, 1));
    EXPECT_EQ(0x411, ids_[2]);
    EXPECT_EQ("\x30\xB4\x30\xB7", Names(-1, -1, 0x409, 1));
    // Truncation to the buffer.
    EXPECT_EQ("Ful", Names(3, 1, 0x409, 4, 4, &n));
    EXPECT_EQ(3, n);
    EXPECT_EQ("", Names(3, 1, 0x409, 4, 1, &n));
    EXPECT_EQ(0, n);
    // No match: empty, IDs untouched.
    EXPECT_EQ("", Names(3, 1, 0x409, 6, 64, &n));
    EXPECT_EQ(0, n);
    EXPECT_EQ(3, ids_[0]);
    EXPECT_EQ(0x409, ids_[2]);
    EXPECT_EQ(0, FontNames(reader_->get(), &ids_[0], &ids_[1], &ids_[2], 1, nullptr, 10));
    char untouched = '#';
    EXPECT_EQ(0, FontNames(reader_->get(), &ids_[0], &ids_[1], &ids_[2], 1, &untouched, 0));
    EXPECT_EQ('#', untouched);
}

TEST_F(NameTable, SharedStringsAreCompactedOnce) {
    FontBuilder b;
    b.ShareNameStrings();
    for (uint16_t language : {0x409, 0x411, 0x804}) b.NameUtf16(3, 1, language, 1, "ABCD");
    Open(b, "shared");
    EXPECT_EQ("ABCD", Names(3, 1, 0x409, 1));
    EXPECT_EQ("ABCD", Names(3, 1, 0x411, 1));
    EXPECT_EQ("ABCD", Names(3, 1, 0x804, 1));
}

// A style name stored inside the full name, and the family name at its
// start: each record reads its own part, whichever is compacted first.
TEST_F(NameTable, StringsInsideOtherStringsReadAsTheirOwn) {
    BEWriter w;
    w.U16(0).U16(3).U16(6 + 36);
    w.U16(3).U16(1).U16(0x409).U16(2).U16(8).U16(10);   // "Bold"
    w.U16(3).U16(1).U16(0x409).U16(4).U16(18).U16(0);   // "Name-Bold"
    w.U16(3).U16(1).U16(0x409).U16(1).U16(8).U16(0);    // "Name"
    for (char c : std::string("Name-Bold")) w.U16(uint16_t(c));
    Open(FontBuilder().RawTable("name", w.bytes), "overlapping");
    EXPECT_EQ("Bold", Names(3, 1, 0x409, 2));
    EXPECT_EQ("Name-Bold", Names(3, 1, 0x409, 4));
    EXPECT_EQ("Name", Names(3, 1, 0x409, 1));
}

TEST_F(NameTable, RecordsAndStringsOutsideTheTable) {
    // Record 0 is good, record 1's string runs past the end, and the header
    // claims 50 records where only 2 fit.
    BEWriter w;
    w.U16(0).U16(50).U16(6 + 24);
    w.U16(3).U16(1).U16(0x409).U16(1).U16(2).U16(0);
    w.U16(3).U16(1).U16(0x409).U16(4).U16(40).U16(1);
    w.U16(0x0041);
    FontBuilder b;
    b.RawTable("name", w.bytes);
    Open(b, "outside");
    EXPECT_EQ(2, reader_->get()->lpNameTable->uNameRecs);
    EXPECT_EQ("A", Names(-1, -1, -1, 1));
    int32_t n = -1;
    EXPECT_EQ("", Names(-1, -1, -1, 4, 64, &n));
    EXPECT_EQ(0, n);
    EXPECT_EQ(3, ids_[0]);  // matched, so the IDs are reported, but empty

    // A string laid over the header and the records (string storage at 0)
    // is not compacted: that would rewrite the record count.
    BEWriter over;
    over.U16(0).U16(2).U16(0);
    over.U16(3).U16(1).U16(0x409).U16(1).U16(30).U16(0);
    over.U16(3).U16(1).U16(0x409).U16(4).U16(2).U16(30);
    over.U16(0x0041);
    Open(FontBuilder().RawTable("name", over.bytes), "overlaid");
    EXPECT_EQ(2, reader_->get()->lpNameTable->uNameRecs);
    EXPECT_EQ("", Names(-1, -1, -1, 1));
    EXPECT_EQ("A", Names(-1, -1, -1, 4));

    TableReader none(Write(FontBuilder().RawTable("name", {0, 0, 0, 0, 0, 6}), "zero"));
    EXPECT_FALSE(none.ReadAll());
    TableReader tiny(Write(FontBuilder().RawTable("name", {0, 0, 0}), "tiny"));
    EXPECT_EQ(0, GetName(tiny.get(), tiny.Entry(kSlotName)));
    TableReader absent(Write(FontBuilder().RemoveTable("name"), "absent"));
    EXPECT_EQ(0, GetName(absent.get(), absent.Entry(kSlotName)));
}

}  // namespace
