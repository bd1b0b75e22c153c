// Interpreter memory: sizing from maxp and its refusals, resets, the scaled
// control-value table and the program drivers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "font_builder.h"
#include "test_paths.h"
#include "ttf/font/ttf.h"

using namespace kelmor;

namespace {

struct FontDeleter {
    void operator()(_TTFont *pF) const {
        FreeInsMemory(&pF->G);
        FreeBuffer(pF->G.instructions);
        std::free(pF);
    }
};
using FontPtr = std::unique_ptr<_TTFont, FontDeleter>;

FontPtr NewFont(void (*configure)(leMaxpHeader &) = nullptr) {
    FontPtr pF(static_cast<_TTFont *>(std::calloc(1, sizeof(_TTFont))));
    leMaxpHeader &maxp = pF->leMaximumProfile;
    maxp.maxPoints = 10;
    maxp.maxComponentPoints = 20;
    maxp.maxContours = 3;
    maxp.maxComponentContours = 2;
    maxp.maxZones = 2;
    maxp.maxTwilightPoints = 5;
    maxp.maxStorage = 6;
    maxp.maxFunctionDefs = 7;
    maxp.maxStackElements = 8;
    if (configure) configure(maxp);
    return pF;
}

// A length-prefixed block as the font object keeps tables.
std::vector<uint8_t> Block(std::initializer_list<uint8_t> bytes) {
    std::vector<uint8_t> b(4 + bytes.size());
    int32_t n = int32_t(bytes.size());
    std::memcpy(b.data(), &n, 4);
    std::copy(bytes.begin(), bytes.end(), b.begin() + 4);
    return b;
}

TEST(InitInsMemory, SizesEveryBufferFromMaxp) {
    FontPtr pF = NewFont();
    _TtfGlyph &G = pF->G;
    ASSERT_EQ(0, InitInsMemory(pF.get(), &G));
    EXPECT_EQ(20, G.ZonePoints[1]);  // the larger of the two point counts
    EXPECT_EQ(20 * kTTFCoordBytes, G.Zone1Size);
    EXPECT_EQ(3 * 2, G.EndPointsSize);
    EXPECT_EQ(5 * kTTFCoordBytes, G.Zone0Size);
    EXPECT_EQ(6 * 4, G.StorageSize);
    EXPECT_EQ(7 * kFunctDefBytes, G.FunctDefSize);
    EXPECT_EQ(8 * 4, G.StackSize);
    // Every record is usable to its last entry (the sanitizer checks).
    G.Zone1[19].Flags = G.Zone0[4].Flags = 1;
    G.AbsEndPoints[2] = 1;
    G.Storage[5] = G.Stack[7] = 1;
    G.FunctDef[6].Start = nullptr;

    FreeInsMemory(&G);
    EXPECT_EQ(nullptr, G.Zone1);
    EXPECT_EQ(nullptr, G.Stack);
    FreeInsMemory(&G);  // twice is harmless
}

TEST(InitInsMemory, OptionalAreasAreAbsentWhenMaxpAsksForNone) {
    FontPtr pF = NewFont([](leMaxpHeader &m) {
        m.maxTwilightPoints = m.maxStorage = m.maxFunctionDefs = m.maxStackElements = 0;
        m.maxPoints = m.maxComponentPoints = m.maxContours = m.maxComponentContours = 0;
    });
    ASSERT_EQ(0, InitInsMemory(pF.get(), &pF->G));
    EXPECT_EQ(nullptr, pF->G.Zone0);
    EXPECT_EQ(0, pF->G.Zone0Size);
    EXPECT_EQ(nullptr, pF->G.Storage);
    EXPECT_EQ(nullptr, pF->G.Stack);
    EXPECT_EQ(0, pF->G.ZonePoints[1]);
    ResetTTF(&pF->G);  // resets cope with the absent areas
}

TEST(InitInsMemory, RefusesFontsItCannotServe) {
    using Configure = void (*)(leMaxpHeader &);
    // Each refusal names the limit, so that OpenTTFont can say which.
    const struct {
        Configure configure;
        int expected;
    } refused[] = {
        {[](leMaxpHeader &m) { m.maxZones = 3; }, kInsMemoryBeyondLimits},
        {[](leMaxpHeader &m) { m.maxInstructionDefs = 1; }, kInsMemoryInstructionDefs},
        {[](leMaxpHeader &m) { m.maxComponentPoints = kMaxZonePoints + 1; },
         kInsMemoryTooManyPoints},
        {[](leMaxpHeader &m) { m.maxPoints = 65535; }, kInsMemoryTooManyPoints},
        {[](leMaxpHeader &m) { m.maxContours = kMaxContours + 1; }, kInsMemoryBeyondLimits},
        {[](leMaxpHeader &m) { m.maxTwilightPoints = kMaxZonePoints + 1; },
         kInsMemoryTooManyPoints},
        {[](leMaxpHeader &m) { m.maxStorage = kMaxStorage + 1; }, kInsMemoryBeyondLimits},
        {[](leMaxpHeader &m) { m.maxFunctionDefs = kMaxFunctionDefs + 1; },
         kInsMemoryBeyondLimits},
        {[](leMaxpHeader &m) { m.maxStackElements = kMaxStack + 1; }, kInsMemoryBeyondLimits},
    };
    for (size_t i = 0; i < sizeof refused / sizeof refused[0]; ++i) {
        FontPtr pF = NewFont(refused[i].configure);
        EXPECT_EQ(refused[i].expected, InitInsMemory(pF.get(), &pF->G)) << "case " << i;
        // Whatever was allocated before the refusal is released by the
        // deleter's FreeInsMemory; the leak checker watches.
    }
    FontPtr atLimits = NewFont([](leMaxpHeader &m) {
        m.maxPoints = m.maxTwilightPoints = kMaxZonePoints;
        m.maxContours = kMaxContours;
        m.maxStorage = kMaxStorage;
        m.maxFunctionDefs = kMaxFunctionDefs;
        m.maxStackElements = kMaxStack;
    });
    EXPECT_EQ(0, InitInsMemory(atLimits.get(), &atLimits->G));
}

// Past the classic limits, instruction definitions and large glyphs are
// served; the 16-bit point numbers still bound them.
TEST(InitInsMemory, BeyondTheClassicLimits) {
    using Configure = void (*)(leMaxpHeader &);
    struct Case {
        Configure configure;
        int classic, beyond;  // InitInsMemory's answer without and with BeyondLimits
    };
    const Case cases[] = {
        {[](leMaxpHeader &m) { m.maxInstructionDefs = 24; }, kInsMemoryInstructionDefs, 0},
        {[](leMaxpHeader &m) { m.maxPoints = 1854; }, kInsMemoryTooManyPoints, 0},
        {[](leMaxpHeader &m) { m.maxTwilightPoints = 2000; }, kInsMemoryTooManyPoints, 0},
        {[](leMaxpHeader &m) { m.maxComponentPoints = kMaxZonePointsBeyondLimits; },
         kInsMemoryTooManyPoints, 0},
        {[](leMaxpHeader &m) { m.maxComponentPoints = kMaxZonePointsBeyondLimits + 1; },
         kInsMemoryTooManyPoints, kInsMemoryTooManyPoints},
        {[](leMaxpHeader &m) { m.maxPoints = 65535; }, kInsMemoryTooManyPoints,
         kInsMemoryTooManyPoints},
        {[](leMaxpHeader &m) { m.maxZones = 3; }, kInsMemoryBeyondLimits, kInsMemoryBeyondLimits},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        for (const bool beyond : {false, true}) {
            FontPtr pF = NewFont(cases[i].configure);
            pF->BeyondLimits = beyond;
            const int answer = InitInsMemory(pF.get(), &pF->G);
            EXPECT_EQ(beyond ? cases[i].beyond : cases[i].classic, answer)
                << "case " << i << (beyond ? " beyond" : " classic");
            if (answer != 0) continue;
            const int points = pF->G.ZonePoints[1];
            EXPECT_EQ(points * kTTFCoordBytes, pF->G.Zone1Size) << "case " << i;
            // The last point and the phantom points after it are usable.
            pF->G.Zone1[points + kPhantomPoints - 1].Flags = 1;
            EXPECT_EQ(pF->leMaximumProfile.maxInstructionDefs > 0, pF->G.InsDef != nullptr);
        }
    }
}

TEST(Reset, RestoresTheDocumentedStartingState) {
    FontPtr pF = NewFont();
    _TtfGlyph &G = pF->G;
    ASSERT_EQ(0, InitInsMemory(pF.get(), &G));
    std::memset(&G.Gsv, 0x5A, sizeof G.Gsv);
    G.Storage[5] = 9;
    G.FunctDef[6].Start = G.FunctDef[6].End = reinterpret_cast<const uint8_t *>(&G);
    G.Zone1[19].Cur.x = 9;
    G.Zone0[4].Cur.x = 9;
    G.EndPoints[2] = 9;
    G.NumComponents = 3;
    G.lpStack = G.Stack + 4;
    G.InternalError = 2;

    ResetTTF(&G);
    EXPECT_EQ(0, G.Storage[5]);
    EXPECT_EQ(nullptr, G.FunctDef[6].End);
    EXPECT_EQ(0, G.Zone1[19].Cur.x);
    EXPECT_EQ(0, G.Zone0[4].Cur.x);
    EXPECT_EQ(0, G.EndPoints[2]);
    EXPECT_EQ(0, G.NumComponents);
    EXPECT_EQ(G.Stack, G.lpStack);
    EXPECT_EQ(0, G.InternalError);

    const GsvStruct expected = {xAxis, xAxis, NulVect, 1, 1, 1, 0, 0, 0, 128, 1, 9, 3, 0,
                                1, 1 /* round to grid */, 0, 64, 68, 0, 0};
    EXPECT_EQ(0, std::memcmp(&expected, &G.Gsv, sizeof expected));

    // A glyph reset leaves storage and functions alone.
    G.Storage[5] = 9;
    ResetGlyph(&G);
    EXPECT_EQ(9, G.Storage[5]);
}

TEST(FlipTable, ScalesControlValuesTruncatingTowardZero) {
    std::vector<uint8_t> cvt = Block({0xFF, 0xFF, 0x00, 0x01, 0x03, 0xE8, 0xFC, 0x18});
    int32_t scaled[4] = {7, 7, 7, 7};
    _TtfGlyph G = {};
    G.Multiplier = 100;
    FlipTable(&G, cvt.data(), scaled);
    EXPECT_EQ(0, scaled[0]);  // -100/256
    EXPECT_EQ(0, scaled[1]);  //  100/256
    EXPECT_EQ(390, scaled[2]);
    EXPECT_EQ(-390, scaled[3]);
    FlipTable(&G, nullptr, scaled);
    FlipTable(&G, cvt.data(), nullptr);
    EXPECT_EQ(-390, scaled[3]);
    EXPECT_EQ(INT32_MAX, ScaleFUnits(32767, INT32_MAX));  // clamped, not wrapped
}

TEST(ExecuteprepCVT, EverySizeStartsFromTheFontsControlValues) {
    FontPtr pF = NewFont();
    _TtfGlyph &G = pF->G;
    ASSERT_EQ(0, InitInsMemory(pF.get(), &G));
    std::vector<uint8_t> cvt = Block({0x00, 0x40, 0x00, 0x80});
    int32_t scaled[2] = {};
    pF->controlTable = cvt.data();
    G.lControlTable = scaled;
    G.Multiplier = 512;
    ExecuteprepCVT(pF.get(), &G);
    EXPECT_EQ(128, scaled[0]);
    scaled[1] = -5;  // as a program at this size might
    G.Gsv.loop = 7;
    G.lpStack = G.Stack + 3;
    G.Multiplier = 1024;
    ExecuteprepCVT(pF.get(), &G);
    EXPECT_EQ(256, scaled[0]);
    EXPECT_EQ(512, scaled[1]);
    EXPECT_EQ(1, G.Gsv.loop);
    EXPECT_EQ(G.Stack, G.lpStack);
    pF->controlTable = nullptr;
    G.lControlTable = nullptr;
    ExecuteprepCVT(pF.get(), &G);  // a font without "cvt "
}

TEST(InterpretGlyph, ConsumesTheBlockOnce) {
    FontPtr pF = NewFont();
    _TtfGlyph &G = pF->G;
    ASSERT_EQ(0, InitInsMemory(pF.get(), &G));
    // A block of one instruction (EIF, which does nothing): the length
    // prefix is read now that the instructions really run.
    G.instructions = static_cast<uint8_t *>(std::malloc(5));
    const int32_t length = 1;
    std::memcpy(G.instructions, &length, 4);
    G.instructions[4] = 0x59;
    G.Gsv.loop = 4;
    InterpretGlyph(pF.get(), &G, 0, G.AbsEndPoints, G.Zone1);
    EXPECT_EQ(nullptr, G.instructions);
    EXPECT_EQ(1, G.Gsv.loop);
    G.Gsv.loop = 4;
    InterpretGlyph(pF.get(), &G, 0, G.AbsEndPoints, G.Zone1);
    EXPECT_EQ(4, G.Gsv.loop);  // nothing to run: the state is left alone
    EXPECT_EQ(nullptr, FreeBuffer(nullptr));
}

// The same sizing through the real open sequence.
_TTFont *OpenBuilt(kelmor_test::FontBuilder b, const char *name) {
    std::string path = kelmor_test::ScratchDir("insmemory") + "/" + name + ".ttf";
    return OpenTTF(b.WriteTo(path).c_str());
}

TEST(OpenSequence, FontsTheInterpreterCannotServeDoNotOpen) {
    using kelmor_test::FontBuilder;
    using kelmor_test::MaxpValues;
    EXPECT_EQ(nullptr, OpenBuilt(FontBuilder().Maxp(&MaxpValues::maxInstructionDefs, 1), "idef"));
    EXPECT_EQ(nullptr, OpenBuilt(FontBuilder().Maxp(&MaxpValues::maxZones, 3), "zones"));
    EXPECT_EQ(nullptr, OpenBuilt(FontBuilder().Maxp(&MaxpValues::maxPoints, 2000), "points"));

    _TTFont *pF = OpenBuilt(FontBuilder()
                                .Maxp(&MaxpValues::maxTwilightPoints, 0)
                                .Maxp(&MaxpValues::maxStorage, 4)
                                .Cvt({100, -100}),
                            "plain");
    ASSERT_NE(nullptr, pF);
    EXPECT_EQ(nullptr, pF->G.Zone0);
    EXPECT_EQ(0, pF->G.ZonePoints[0]);
    EXPECT_EQ(4 * 4, pF->G.StorageSize);
    EXPECT_EQ(1, pF->G.Gsv.loop);
    pF->G.Multiplier = 128;
    ExecuteprepCVT(pF, &pF->G);
    EXPECT_EQ(50, pF->G.lControlTable[0]);
    EXPECT_EQ(-50, pF->G.lControlTable[1]);
    CloseTTF(pF);
}

}  // namespace
