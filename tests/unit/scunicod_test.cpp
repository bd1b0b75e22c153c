#include "ttf/concord/scunicod.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cob_image.h"
#include "test_paths.h"

using namespace kelmor;
using kelmor_test::CobImage;
using kelmor_test::PutLE32;

namespace {

// Header offsets of the counts and iLastCode, as a producer writes them.
constexpr size_t kHeadSizeAt = 4, kLastCodeAt = 36, kRangesAt = 40, kDeltasAt = 48,
                 kItemsAt = 56;

int Verify(const std::vector<uint8_t> &image, ConcordParams *pCP) {
    pCP->cData.reset(new uint8_t[image.size() + 1]);
    std::memcpy(pCP->cData.get(), image.data(), image.size());
    return VerifypCP(pCP, uint32_t(image.size()));
}

int Verify(const std::vector<uint8_t> &image) {
    ConcordParams cp;
    return Verify(image, &cp);
}

std::string WriteFile(const std::string &name, const std::vector<uint8_t> &bytes) {
    static const std::string dir = kelmor_test::ScratchDir("scunicod");
    std::string path = dir + "/" + name;
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

uint32_t Sjis(uint8_t lead, uint8_t trail) {
    const char ps[2] = {char(lead), char(trail)};
    return ShiftJis2Unicode(ps);
}
uint32_t Big5(uint8_t lead, uint8_t trail) {
    const char ps[2] = {char(lead), char(trail)};
    return Big5_Unicode(ps);
}
uint32_t GB(uint8_t lead, uint8_t trail) {
    const char ps[2] = {char(lead), char(trail)};
    return GB2Unicode(ps);
}

class Concordance : public ::testing::Test {
protected:
    void TearDown() override { UniBuffers_delete(); }

    static void Load(int slot, uint32_t nItems, uint32_t itemBase = 0x10000) {
        std::string path = WriteFile("slot" + std::to_string(slot) + ".cob",
                                     CobImage(0, 0, nItems, itemBase));
        ASSERT_NE(nullptr, UniBuffer_new(path.c_str(), slot));
    }
};

TEST(VerifypCP, RejectsEachKindOfBadImage) {
    EXPECT_EQ(1, VerifypCP(nullptr, 64));
    ConcordParams empty;
    EXPECT_EQ(1, VerifypCP(&empty, 64));

    std::vector<uint8_t> reversed = CobImage(0, 0, 4);
    std::memcpy(reversed.data(), "cnoC", 4);
    EXPECT_EQ(2, Verify(reversed));
    EXPECT_EQ(2, Verify(std::vector<uint8_t>{'C', 'o', 'n'}));

    std::vector<uint8_t> wrongHead = CobImage(0, 0, 4);
    PutLE32(wrongHead, kHeadSizeAt, 65);
    EXPECT_EQ(3, Verify(wrongHead));

    std::vector<uint8_t> longer = CobImage(1, 1, 4);
    longer.push_back(0);
    EXPECT_EQ(4, Verify(longer));
    std::vector<uint8_t> shorter = CobImage(1, 1, 4);
    shorter.pop_back();
    EXPECT_EQ(4, Verify(shorter));
    std::vector<uint8_t> headerOnly = CobImage(0, 0, 0);
    EXPECT_EQ(0, Verify(headerOnly));
    headerOnly.pop_back();
    EXPECT_EQ(4, Verify(headerOnly));
}

// Counts chosen so that 32-bit arithmetic would land exactly on the real
// length; none of them may pass.
TEST(VerifypCP, CountsThatWouldWrapDoNotMatchTheLength) {
    std::vector<uint8_t> items = CobImage(0, 0, 4);
    PutLE32(items, kItemsAt, 0x40000004);  // 4 x count wraps to 16
    EXPECT_EQ(4, Verify(items));

    std::vector<uint8_t> ranges = CobImage(0, 0, 4);
    PutLE32(ranges, kRangesAt, 0x80000000u);  // 18 x count wraps to 0
    EXPECT_EQ(4, Verify(ranges));

    std::vector<uint8_t> negative = CobImage(0, 0, 4);
    PutLE32(negative, kRangesAt, 2);
    PutLE32(negative, kDeltasAt, uint32_t(-3));  // 36 - 36 = 0 when signed
    EXPECT_EQ(4, Verify(negative));
}

TEST(VerifypCP, LocatesTheArraysAndDecodesTheHeader) {
    ConcordParams cp;
    ASSERT_EQ(0, Verify(CobImage(0, 0, 3), &cp));
    const uint8_t *image = cp.cData.get();
    EXPECT_EQ(nullptr, cp.lpRT);
    EXPECT_EQ(nullptr, cp.lpDT);
    EXPECT_EQ(image + 64, cp.lpIT);
    EXPECT_EQ(2, cp.iLastCode);
    EXPECT_STREQ("SJIS", cp.szFrName);
    EXPECT_STREQ("Unicode", cp.szToName);

    // One range and one delta leave the items at an odd offset (94).
    ConcordParams odd;
    ASSERT_EQ(0, Verify(CobImage(1, 2, 5), &odd));
    image = odd.cData.get();
    EXPECT_EQ(image + 64, odd.lpRT);
    EXPECT_EQ(image + 82, odd.lpDT);
    EXPECT_EQ(image + 106, odd.lpIT);
    RangeTable range = ReadRangeRecord(&odd, 0);
    EXPECT_EQ(1, range.cModeNum);
    EXPECT_STREQ("row", range.szModeName);
    EXPECT_EQ(50, range.iLength);
    DeltaTable delta = ReadDeltaRecord(&odd, 1);
    EXPECT_EQ(10, delta.iFirstCode);
    EXPECT_EQ(19, delta.iLastCode);
    EXPECT_EQ(-1, delta.iDelta);

    ConcordParams noItems;
    ASSERT_EQ(0, Verify(CobImage(1, 0, 0), &noItems));
    EXPECT_EQ(nullptr, noItems.lpIT);
}

TEST(VerifypCP, UnterminatedNamesAreCutToTheirField) {
    std::vector<uint8_t> image = CobImage(0, 0, 1);
    std::memset(&image[13], 'A', 9);
    std::memset(&image[23], 'B', 9);
    ConcordParams cp;
    ASSERT_EQ(0, Verify(image, &cp));
    EXPECT_EQ(8u, std::strlen(cp.szFrName));
    EXPECT_EQ(8u, std::strlen(cp.szToName));
}

TEST_F(Concordance, LoadsIntoSlotsAndReleasesThem) {
    std::string good = WriteFile("good.cob", CobImage(2, 1, 10));
    EXPECT_EQ(nullptr, UniBuffer_new(good.c_str(), -1));
    EXPECT_EQ(nullptr, UniBuffer_new(good.c_str(), kNumConcordSlots));
    EXPECT_EQ(nullptr, UniBuffer_new((good + ".missing").c_str(), 1));
    EXPECT_EQ(nullptr, UniBuffer_new(nullptr, 1));
    EXPECT_EQ(nullptr, UniBuffer_new(kelmor_test::ScratchDir("scunicod-dir").c_str(), 1));

    for (int slot = 0; slot < kNumConcordSlots; ++slot) {
        ConcordParams *pCP = UniBuffer_new(good.c_str(), slot);
        ASSERT_NE(nullptr, pCP);
        EXPECT_EQ(pCP, puUniBuffer[slot]);
        EXPECT_EQ(10, pCP->iNumItems);
    }
    UniBuffer_delete(7);
    UniBuffer_delete(-1);
    UniBuffer_delete(2);
    EXPECT_EQ(nullptr, puUniBuffer[2]);
    EXPECT_NE(nullptr, puUniBuffer[1]);
    UniBuffers_delete();
    for (ConcordParams *pCP : puUniBuffer) EXPECT_EQ(nullptr, pCP);
    UniBuffers_delete();  // releasing empty slots is harmless
}

TEST_F(Concordance, BadFileLeavesTheOldConcordanceInUse) {
    Load(kSlotShiftJis, 200, 0x3000);
    ConcordParams *old = puUniBuffer[kSlotShiftJis];
    std::vector<uint8_t> bad = CobImage(0, 0, 200, 0x5000);
    bad.push_back(0);
    EXPECT_EQ(nullptr, UniBuffer_new(WriteFile("bad.cob", bad).c_str(), kSlotShiftJis));
    EXPECT_EQ(old, puUniBuffer[kSlotShiftJis]);
    EXPECT_EQ(0x3000u, Sjis(0x81, 0x40));

    Load(kSlotShiftJis, 200, 0x5000);  // a good file replaces it
    EXPECT_EQ(0x5000u, Sjis(0x81, 0x40));
}

#ifndef _WIN32
// A FIFO with no writer would block the open for ever; a device is no
// concordance either.  Both are refused at once.
TEST_F(Concordance, OnlyRegularFilesAreOpened) {
    std::string fifo = kelmor_test::ScratchDir("scunicod-fifo") + "/jis2uni.cob";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    alarm(10);  // a blocked open ends the program instead of hanging it
    EXPECT_EQ(nullptr, UniBuffer_new(fifo.c_str(), kSlotShiftJis));
    alarm(0);
    EXPECT_EQ(nullptr, UniBuffer_new("/dev/zero", kSlotShiftJis));
    EXPECT_EQ(nullptr, puUniBuffer[kSlotShiftJis]);
}
#endif

TEST_F(Concordance, RefusesFilesAboveTheSizeLimit) {
    uint32_t nItems = (kMaxConcordFileSize - 64) / 4 + 1;
    std::string huge = WriteFile("huge.cob", CobImage(0, 0, nItems));
    EXPECT_EQ(nullptr, UniBuffer_new(huge.c_str(), kSlotBig5));
    std::string largest = WriteFile("largest.cob", CobImage(0, 0, nItems - 1));
    EXPECT_NE(nullptr, UniBuffer_new(largest.c_str(), kSlotBig5));
}

TEST_F(Concordance, ShiftJisIndexes) {
    EXPECT_EQ(0u, Sjis(0x81, 0x40));  // no concordance loaded
    Load(kSlotShiftJis, 60 * 192);
    EXPECT_EQ(0x10000u + 0, Sjis(0x81, 0x40));
    EXPECT_EQ(0x10000u + 1439, Sjis(0x88, 0x9F));
    EXPECT_EQ(0x10000u + 5952, Sjis(0xE0, 0x40));
    EXPECT_EQ(0x10000u + 191, Sjis(0x81, 0xFF));
    EXPECT_EQ(0x10000u + 59 * 192 + 0xFC - 0x40, Sjis(0xFC, 0xFC));
    for (int lead = 0xA0; lead <= 0xC0; ++lead) EXPECT_EQ(0u, Sjis(uint8_t(lead), 0x40)) << lead;
    EXPECT_EQ(0u, Sjis(0x80, 0xFF));
    EXPECT_EQ(0u, Sjis(0x00, 0x41));
    // Leads 0xC1-0xDF fall on the rows of 0x81-0x9F.
    EXPECT_EQ(Sjis(0x81, 0x40), Sjis(0xC1, 0x40));
    EXPECT_EQ(Sjis(0x9F, 0xFC), Sjis(0xDF, 0xFC));
    // A trail below 0x40 must not reach into the row before.
    EXPECT_EQ(0u, Sjis(0x82, 0x3F));
    EXPECT_EQ(0u, Sjis(0x82, 0x00));
}

TEST_F(Concordance, Big5Indexes) {
    Load(kSlotBig5, 94 * 157);
    EXPECT_EQ(0x10000u + 471, Big5(0xA4, 0x40));
    EXPECT_EQ(0x10000u + 63, Big5(0xA1, 0xA1));
    EXPECT_EQ(0x10000u + 62, Big5(0xA1, 0x7E));
    EXPECT_EQ(0x10000u + 157 + 156, Big5(0xA2, 0xFE));
    EXPECT_EQ(0u, Big5(0xA1, 0x3F));
    EXPECT_EQ(0u, Big5(0xA0, 0x40));
    // Trails between the two runs, and 0xFF, name no position.
    EXPECT_EQ(0u, Big5(0xA4, 0x7F));
    EXPECT_EQ(0u, Big5(0xA4, 0xA0));
    EXPECT_EQ(0u, Big5(0xA4, 0xFF));
}

TEST_F(Concordance, GBIndexes) {
    Load(kSlotGB, 94 * 94);
    EXPECT_EQ(0x10000u + 1410, GB(0xB0, 0xA1));
    EXPECT_EQ(0x10000u + 94 * 94 - 1, GB(0xFE, 0xFE));
    EXPECT_EQ(0u, GB(0xA0, 0xA1));
    EXPECT_EQ(0u, GB(0xB0, 0xA0));
    EXPECT_EQ(0u, GB(0xB0, 0x41));
    EXPECT_EQ(0u, GB(0xB0, 0xFF));
    EXPECT_EQ(0u, GB(0xFF, 0xA1));  // beyond the items
}

TEST_F(Concordance, LastCodeAndItemCountBoundTheTable) {
    std::vector<uint8_t> image = CobImage(0, 0, 2000);
    PutLE32(image, kLastCodeAt, 1410);
    ASSERT_NE(nullptr, UniBuffer_new(WriteFile("last.cob", image).c_str(), kSlotGB));
    EXPECT_EQ(0x10000u + 1410, GB(0xB0, 0xA1));
    EXPECT_EQ(0u, GB(0xB0, 0xA2));

    // A last code beyond the items (here negative, so huge as unsigned) still
    // cannot read past them.
    PutLE32(image, kLastCodeAt, uint32_t(-1));
    ASSERT_NE(nullptr, UniBuffer_new(WriteFile("last.cob", image).c_str(), kSlotGB));
    EXPECT_EQ(0x10000u + 1999, GB(0xA1 + 1999 / 94, 0xA1 + 1999 % 94));
    EXPECT_EQ(0u, GB(0xA1 + 2000 / 94, 0xA1 + 2000 % 94));

    // Each conversion reads only its own slot.
    EXPECT_EQ(0u, Sjis(0x81, 0x40));
    EXPECT_EQ(0u, Big5(0xA1, 0x40));
}

// Single-byte characters come with a zero lead byte and need no concordance;
// every other pair still goes through the slot's table.
TEST_F(Concordance, SingleBytesBypassTheConcordance) {
    struct Case {
        int slot;
        uint8_t lead, trail;
        uint32_t unicode;
    } cases[] = {
        {kSlotShiftJis, 0, 0x41, 0x41},
        {kSlotShiftJis, 0, 0x20, 0x20},
        {kSlotShiftJis, 0, 0x5C, 0x5C},
        {kSlotShiftJis, 0, 0x7E, 0x7E},
        {kSlotShiftJis, 0, 0xA1, 0xFF61},
        {kSlotShiftJis, 0, 0xDF, 0xFF9F},
        {kSlotShiftJis, 0, 0xA0, 0},
        {kSlotShiftJis, 0, 0xE0, 0},
        {kSlotShiftJis, 0, 0x1F, 0},
        {kSlotShiftJis, 0, 0x7F, 0},
        {kSlotShiftJis, 0, 0x00, 0},
        {kSlotBig5, 0, 0x41, 0x41},
        {kSlotBig5, 0, 0xB1, 0},
        {kSlotGB, 0, 0x7E, 0x7E},
        {kSlotGB, 0, 0xA1, 0},
        {0, 0, 0x41, 0x41},
        {kSlotShiftJis, 0x88, 0x9F, 0},  // a double-byte code: no concordance loaded
    };
    for (const Case &c : cases) {
        const char ps[2] = {char(c.lead), char(c.trail)};
        EXPECT_EQ(DbcsToUnicode(c.slot, ps), c.unicode) << c.slot << " " << int(c.trail);
    }
    Load(kSlotShiftJis, 60 * 192);
    const char kanji[2] = {char(0x88), char(0x9F)};
    EXPECT_EQ(DbcsToUnicode(kSlotShiftJis, kanji), 0x10000u + 1439);
    EXPECT_EQ(DbcsToUnicode(kSlotBig5, kanji), 0u);  // its own slot is empty
}

}  // namespace
