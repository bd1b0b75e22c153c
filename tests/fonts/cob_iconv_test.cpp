// The concordances `kelmor cob` builds, read back through the library's own
// loader and conversions, against iconv over every byte pair.
#include "cob_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "commands.h"
#include "platform/profile.h"
#include "test_paths.h"
#include "common/bytes.h"
#include "kelmor.h"
#include "ttf/concord/scunicod.h"
#include "ttf/settings/settings.h"

using namespace kelmor;

namespace {

struct Built {
    const char *lpszFileName;
    int iSlot;
    uint32_t (*Convert)(const char *ps);
};

const Built kBuilt[] = {
    {"Jis2Uni.cob", kSlotShiftJis, ShiftJis2Unicode},
    {"Big5_Uni.cob", kSlotBig5, Big5_Unicode},
    {"Gb2Uni.cob", kSlotGB, GB2Unicode},
    {"Gbk_Uni.cob", kSlotGBK, GBK_Unicode},
    {"Wans2Uni.cob", kSlotWansung, Wansung_Unicode},
};

const CodeSpace &SpaceOf(const Built &built) {
    for (const CodeSpace &space : ConcordCodeSpaces()) {
        if (std::string(space.lpszFileName) == built.lpszFileName) return space;
    }
    ADD_FAILURE() << "no code space builds " << built.lpszFileName;
    return ConcordCodeSpaces().front();
}

uint32_t Library(const Built &built, int lead, int trail) {
    const char ps[2] = {char(lead), char(trail)};
    return built.Convert(ps);
}

class BuiltConcordances : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string dir = kelmor_test::ScratchDir("cob_iconv");
        for (const Built &built : kBuilt) {
            std::string path, error;
            ASSERT_TRUE(WriteCobFile(SpaceOf(built), dir, &path, &error)) << error;
            ASSERT_NE(nullptr, UniBuffer_new(path.c_str(), built.iSlot)) << path;
            paths_.push_back(path);
        }
    }
    static std::vector<std::string> paths_;
    static void TearDownTestSuite() { UniBuffers_delete(); }
};

// Shift-JIS leads 0xC1-0xDF are single-byte katakana in real text, yet the
// table's row arithmetic puts them on the rows of 0x81-0x9F.
bool AliasesAnotherRow(const Built &built, int lead) {
    return built.iSlot == kSlotShiftJis && lead >= 0xC1 && lead <= 0xDF;
}

TEST_F(BuiltConcordances, EveryBytePairConvertsAsIconvDoes) {
    for (const Built &built : kBuilt) {
        DbcsConverter iconvTruth(SpaceOf(built).lpszIconvName);
        ASSERT_TRUE(iconvTruth.IsOpen());
        int mapped = 0, mismatches = 0;
        for (int lead = 0; lead < 256; ++lead) {
            for (int trail = 0; trail < 256; ++trail) {
                uint32_t expected = AliasesAnotherRow(built, lead)
                                        ? iconvTruth.Convert(uint8_t(lead - 0x40), uint8_t(trail))
                                        : iconvTruth.Convert(uint8_t(lead), uint8_t(trail));
                uint32_t actual = Library(built, lead, trail);
                if (expected != 0 && !AliasesAnotherRow(built, lead)) ++mapped;
                if (actual != expected && ++mismatches <= 5) {
                    ADD_FAILURE() << built.lpszFileName << std::hex << " bytes " << lead << " "
                                  << trail << ": library " << actual << ", iconv " << expected;
                }
            }
        }
        EXPECT_EQ(0, mismatches) << built.lpszFileName;
        // Each set has thousands of characters; a broken walk would map few.
        EXPECT_GT(mapped, 7000) << built.lpszFileName;
    }
}

TEST_F(BuiltConcordances, WellKnownCharacters) {
    EXPECT_EQ(0x4E9Cu, Library(kBuilt[0], 0x88, 0x9F));  // the first level-1 kanji
    EXPECT_EQ(0xFF5Eu, Library(kBuilt[0], 0x81, 0x60));  // wave dash as Windows maps it
    EXPECT_EQ(0x2460u, Library(kBuilt[0], 0x87, 0x40));  // NEC extension row
    EXPECT_EQ(0x4E00u, Library(kBuilt[1], 0xA4, 0x40));
    EXPECT_EQ(0x3000u, Library(kBuilt[1], 0xA1, 0x40));
    EXPECT_EQ(0x554Au, Library(kBuilt[2], 0xB0, 0xA1));
    EXPECT_EQ(0x3000u, Library(kBuilt[2], 0xA1, 0xA1));
    // GBK keeps GB 2312's codes and adds rows below 0xA1 and trails below it.
    EXPECT_EQ(0x554Au, Library(kBuilt[3], 0xB0, 0xA1));
    EXPECT_EQ(0x4E02u, Library(kBuilt[3], 0x81, 0x40));
    EXPECT_EQ(0x9F79u, Library(kBuilt[3], 0xFD, 0x80));  // the trail after the 0x7F gap
    EXPECT_EQ(0u, Library(kBuilt[3], 0x81, 0x7F));
    EXPECT_EQ(0xAC00u, Library(kBuilt[4], 0xB0, 0xA1));  // KS X 1001's first syllable
    EXPECT_EQ(0xAC02u, Library(kBuilt[4], 0x81, 0x41));  // code page 949's first
    EXPECT_EQ(0u, Library(kBuilt[4], 0x81, 0x5B));       // between its trail runs
}

std::vector<std::string> BuiltConcordances::paths_;

// The bits and advance GetBitmap gives for a code in the font's current
// encoding.
std::string Drawn(int32_t font, const char *ps) {
    int width = 0, height = 0;
    const unsigned char *bits = GetBitmap(font, ps, &width, &height, 0);
    KelmorGlyphMetrics m = {};
    if (bits == nullptr || GetGlyphMetrics(font, ps, &m) == 0) return "failed";
    const size_t size = size_t((width + 15) / 16 * 2) * size_t(height);
    return std::to_string(width) + "x" + std::to_string(height) + "+" +
           std::to_string(m.iAdvance) + ":" + std::string(bits, bits + size);
}

// GBK bytes outside GB 2312 and Korean text had no concordance: a receipt
// printer's host drew boxes or stopped.  Through the C API as a host calls
// it, each code space's bytes draw what their Unicode character draws.
TEST_F(BuiltConcordances, DoubleByteCodesDrawAsTheirUnicodeThroughTheCApi) {
    char *const files[] = {szJis2UniFile, szBig5_UniFile, szGb2UniFile, szGbkUniFile,
                           szWans2UniFile};
    ASSERT_EQ(std::size(files), paths_.size());
    for (size_t i = 0; i < paths_.size(); ++i)
        std::snprintf(files[i], kMaxPathBytes, "%s", paths_[i].c_str());
    struct Case {
        const char *font;
        int charset;
        uint16_t code;
        uint32_t unicode;
    };
    const std::string ipa = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
    const std::string uming = "/usr/share/fonts/truetype/arphic/uming.ttc";
    const std::string undotum = "/usr/share/fonts/truetype/unfonts-core/UnDotum.ttf";
    const Case cases[] = {
        {ipa.c_str(), KELMOR_CHARSET_SHIFTJIS, 0x93FA, 0x65E5},
        {uming.c_str(), KELMOR_CHARSET_BIG5, 0xA4A4, 0x4E2D},
        {uming.c_str(), KELMOR_CHARSET_GB2312, 0xCEC4, 0x6587},
        {uming.c_str(), KELMOR_CHARSET_GBK, 0xCEC4, 0x6587},
        {uming.c_str(), KELMOR_CHARSET_GBK, 0x8140, 0x4E02},   // not in GB 2312
        {uming.c_str(), KELMOR_CHARSET_GBK, 0xFD80, 0x9F79},   // trail past the 7F gap
        {undotum.c_str(), KELMOR_CHARSET_WANSUNG, 0xB0A1, 0xAC00},
        {undotum.c_str(), KELMOR_CHARSET_WANSUNG, 0x8C63, 0xB620},  // code page 949 only
        {undotum.c_str(), KELMOR_CHARSET_WANSUNG, 0x0041, 0x41},    // a single byte
    };
    for (const Case &c : cases) {
        if (std::FILE *f = std::fopen(c.font, "rb")) {
            std::fclose(f);
        } else {
            continue;  // the font is not installed
        }
        const int32_t font = OpenTTFontFace(c.font, 0);
        ASSERT_NE(0, font) << c.font;
        ASSERT_EQ(1, SetPointSize(font, 20, 72));
        ASSERT_EQ(KELMOR_CHARSET_UNICODE, SetEncoding(font, KELMOR_CHARSET_UNICODE));
        const std::string unicode = Drawn(font, reinterpret_cast<const char *>(&c.unicode));
        EXPECT_NE(0, GetGlyphIndex(font, reinterpret_cast<const char *>(&c.unicode)));
        EXPECT_EQ(c.charset, SetEncoding(font, c.charset)) << c.charset;
        const char bytes[2] = {char(c.code >> 8), char(c.code & 0xFF)};
        EXPECT_EQ(unicode, Drawn(font, bytes)) << c.charset << std::hex << " " << c.code;
        CloseTTFont(font);
    }
}

TEST_F(BuiltConcordances, HeaderRangesAndDeltasDescribeTheItems) {
    for (const Built &built : kBuilt) {
        const ConcordParams *pCP = puUniBuffer[built.iSlot];
        ASSERT_NE(nullptr, pCP);
        EXPECT_STREQ(SpaceOf(built).lpszName, pCP->szFrName);
        EXPECT_STREQ("Unicode", pCP->szToName);
        EXPECT_EQ(pCP->iNumItems - 1, pCP->iLastCode);
        EXPECT_NE(0u, ReadLE32(pCP->lpIT + 4 * pCP->iLastCode));
        EXPECT_NE(0u, ReadLE32(pCP->lpIT + 4 * pCP->iFirstCode));
        for (int32_t i = 0; i < pCP->iFirstCode; ++i) EXPECT_EQ(0u, ReadLE32(pCP->lpIT + 4 * i));

        ASSERT_GT(pCP->iNumDeltas, 0);
        for (int32_t d = 0; d < pCP->iNumDeltas; ++d) {
            DeltaTable delta = ReadDeltaRecord(pCP, uint32_t(d));
            ASSERT_LT(delta.iFirstCode, delta.iLastCode);
            ASSERT_LT(delta.iLastCode, pCP->iNumItems);
            for (int32_t i = delta.iFirstCode; i <= delta.iLastCode; ++i) {
                ASSERT_EQ(uint32_t(i + delta.iDelta), ReadLE32(pCP->lpIT + 4 * i));
            }
        }
        ASSERT_GT(pCP->iNumRanges, 0);
        RangeTable last = ReadRangeRecord(pCP, uint32_t(pCP->iNumRanges - 1));
        EXPECT_EQ(pCP->iNumItems, last.iOffset + last.iLength);
    }

    // GB 2312's symbol rows and hanzi rows are separate lead-byte blocks.
    const ConcordParams *gb = puUniBuffer[kSlotGB];
    ASSERT_EQ(2, gb->iNumRanges);
    EXPECT_STREQ("A1-A9", ReadRangeRecord(gb, 0).szModeName);
    EXPECT_STREQ("B0-F7", ReadRangeRecord(gb, 1).szModeName);
    EXPECT_EQ(15 * 94, ReadRangeRecord(gb, 1).iOffset);
}

int RunCob(std::vector<std::string> args) {
    args.insert(args.begin(), "cob");
    std::vector<char *> argv;
    for (std::string &arg : args) argv.push_back(&arg[0]);
    return CmdCob(int(argv.size()), argv.data());
}

std::vector<std::string> RegisteredConcordances(const std::string &ini) {
    std::vector<char> names(8192);
    ProfileReadKeyNames(ini.c_str(), "Code Space Concordances", names.data(),
                        uint32_t(names.size()));
    std::vector<std::string> keys;
    for (const char *key = names.data(); *key; key += keys.back().size() + 1) keys.push_back(key);
    return keys;
}

TEST(CobCommand, RegistersLoadableFilesByFullPath) {
    std::string dir = kelmor_test::ScratchDir("cob_command");
    std::string ini = dir + "/Kelmor.ini";
    // A relative output directory: the keys must still name the files from anywhere.
    ASSERT_EQ(0, RunCob({"--out", "scratch/cob_command/out/", "--register", ini}));
    std::vector<std::string> keys = RegisteredConcordances(ini);
    ASSERT_EQ(std::size(kBuilt), keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ('/', keys[i][0]) << keys[i];
        EXPECT_EQ(dir + "/out/" + kBuilt[i].lpszFileName, keys[i]);
        EXPECT_NE(nullptr, UniBuffer_new(keys[i].c_str(), 0)) << keys[i];
    }
    UniBuffer_delete(0);

    // Building again updates the entries instead of adding more.
    ASSERT_EQ(0, RunCob({"--out=" + dir + "/out", "--register=" + ini}));
    EXPECT_EQ(std::size(kBuilt), RegisteredConcordances(ini).size());
}

TEST(CobCommand, FailsClearlyOnBadArguments) {
    std::string dir = kelmor_test::ScratchDir("cob_command_bad");
    EXPECT_EQ(0, RunCob({"--help"}));
    EXPECT_EQ(2, RunCob({}));
    EXPECT_EQ(2, RunCob({"--out"}));
    EXPECT_EQ(2, RunCob({"--out", "--register", dir + "/K.ini"}));
    EXPECT_EQ(2, RunCob({"--out", dir, "--frobnicate"}));

    std::string plainFile = dir + "/file";
    std::fclose(std::fopen(plainFile.c_str(), "w"));
    EXPECT_EQ(1, RunCob({"--out", plainFile}));
    EXPECT_EQ(1, RunCob({"--out", dir, "--register", dir + "/missing/K.ini"}));
    EXPECT_EQ(1, RunCob({"--out", dir + "/a=b", "--register", dir + "/K.ini"}));
}

}  // namespace
