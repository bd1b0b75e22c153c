// The concordances `kelmor cob` builds, read back through the library's own
// loader and conversions, against iconv over every byte pair.
#include "cob_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "platform/profile.h"
#include "test_paths.h"
#include "common/bytes.h"
#include "ttf/concord/scunicod.h"

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
        }
    }
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
    ASSERT_EQ(3u, keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ('/', keys[i][0]) << keys[i];
        EXPECT_EQ(dir + "/out/" + kBuilt[i].lpszFileName, keys[i]);
        EXPECT_NE(nullptr, UniBuffer_new(keys[i].c_str(), 0)) << keys[i];
    }
    UniBuffer_delete(0);

    // Building again updates the entries instead of adding more.
    ASSERT_EQ(0, RunCob({"--out=" + dir + "/out", "--register=" + ini}));
    EXPECT_EQ(3u, RegisteredConcordances(ini).size());
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
