// Glyph loading on hand-made glyf data: a font object set up by hand over a
// scratch file that holds exactly the glyph bytes a case needs.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "test_paths.h"
#include "ttf/font/ttf.h"

using namespace kelmor;

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes &b, int v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}

// A simple glyph: header, end points, instructions, then raw flag and
// coordinate bytes.
Bytes SimpleGlyph(std::initializer_list<int> ends, const Bytes &flagsAndCoords,
                  const Bytes &code = {}) {
    Bytes b;
    Put16(b, int(ends.size()));
    for (int i = 0; i < 4; ++i) Put16(b, 0);
    for (int e : ends) Put16(b, e);
    Put16(b, int(code.size()));
    b.insert(b.end(), code.begin(), code.end());
    b.insert(b.end(), flagsAndCoords.begin(), flagsAndCoords.end());
    return b;
}

// A square of four on-curve points, 8 units wide, with its corner at (x, 0).
Bytes Square(int x) {
    return SimpleGlyph({3}, {0x33, 0x33, 0x35, 0x23, uint8_t(x), 8, 8, 8}, {0xB0, 0x00});
}

Bytes CompositeHeader() {
    Bytes b;
    Put16(b, -1);
    for (int i = 0; i < 4; ++i) Put16(b, 0);
    return b;
}

void PutComponent(Bytes &b, int flags, int glyph, int arg1, int arg2, const Bytes &scales = {}) {
    Put16(b, flags);
    Put16(b, glyph);
    if (flags & 0x0001) {
        Put16(b, arg1);
        Put16(b, arg2);
    } else {
        b.push_back(uint8_t(arg1));
        b.push_back(uint8_t(arg2));
    }
    b.insert(b.end(), scales.begin(), scales.end());
}

// A font object over a glyf table written to a scratch file.  Loca is long
// format and lives only in memory.
class HandFont {
public:
    HandFont(const std::vector<Bytes> &glyphs, int32_t multiplier = 256) {
        font_.reset(static_cast<_TTFont *>(std::calloc(1, sizeof(_TTFont))));
        _TTFont *pF = font_.get();
        leMaxpHeader &maxp = pF->leMaximumProfile;
        maxp.numGlyphs = uint16_t(glyphs.size());
        maxp.maxPoints = 64;
        maxp.maxContours = 8;
        maxp.maxComponentElements = 4;
        maxp.maxComponentDepth = 1;
        pF->Multiplier = multiplier;
        pF->G.Multiplier = multiplier;

        Bytes glyf, loca;
        for (const Bytes &g : glyphs) {
            PutOffset(loca, glyf.size());
            glyf.insert(glyf.end(), g.begin(), g.end());
        }
        PutOffset(loca, glyf.size());
        SetLoca(loca);
        std::string path = kelmor_test::ScratchDir("glyph") + "/glyf.bin";
        std::FILE *out = std::fopen(path.c_str(), "wb");
        std::fwrite(glyf.data(), 1, glyf.size(), out);
        std::fclose(out);
        pF->InFile = std::fopen(path.c_str(), "rb");
        pF->FileSize = uint32_t(glyf.size());
        TableDirectoryStruct &entry = pF->TableDirectory[0];
        std::memcpy(entry.tag, "glyf", 4);
        entry.length.BElo = Rev16(uint16_t(glyf.size() >> 16));
        entry.length.BEhi = Rev16(uint16_t(glyf.size()));
        pF->lpsfntTable[kSlotGlyf] = &entry;
    }
    ~HandFont() {
        _TTFont *pF = font_.get();
        ReleasePrograms();
        FreeGlyphRecords(&pF->G);
        FreeInsMemory(&pF->G);
        FreeBuffer(pF->G.GC);
        FreeBuffer(pF->LocaBuffer);
        if (pF->InFile) std::fclose(pF->InFile);
    }

    // Sizes the glyph record from maxp, as opening a font does.
    void Open() {
        _TTFont *pF = font_.get();
        ASSERT_EQ(0, InitInsMemory(pF, &pF->G));
        int components = ComponentCapacity(pF->leMaximumProfile);
        if (components > 0)
            pF->G.GC = static_cast<GlyphComponent *>(
                std::calloc(size_t(components), sizeof(GlyphComponent)));
    }

    // Loca entries as they would stand in the file.
    void SetLoca(const Bytes &loca) {
        _TTFont *pF = font_.get();
        FreeBuffer(pF->LocaBuffer);
        pF->LocaLength = 4;
        pF->LocaSize = int32_t(loca.size());
        pF->LocaBuffer = static_cast<uint8_t *>(std::malloc(loca.size()));
        std::memcpy(pF->LocaBuffer, loca.data(), loca.size());
    }

    // The programs of the last load, which the interpreter would consume.
    void ReleasePrograms() {
        _TtfGlyph &G = font_->G;
        G.instructions = static_cast<uint8_t *>(FreeBuffer(G.instructions));
        for (int i = 0; i < G.NumComponents; ++i)
            G.GC[i].instructions = static_cast<uint8_t *>(FreeBuffer(G.GC[i].instructions));
    }

    // The top-level load the bitmap builder makes.
    int Load(int glyphNo) {
        ReleasePrograms();
        _TtfGlyph &G = font_->G;
        G.NumContours = 0;
        G.NumComponents = 0;
        return GetGlyph(font_.get(), &G, glyphNo, &G.NumContours, G.EndPoints, G.Zone1, 0);
    }

    _TTFont *font() { return font_.get(); }
    _TtfGlyph &G() { return font_->G; }
    const TTFCoord &Point(int i) { return font_->G.Zone1[i]; }
    int32_t BlockSize(const uint8_t *block) {
        int32_t n;
        std::memcpy(&n, block, sizeof n);
        return n;
    }

    static void PutOffset(Bytes &loca, size_t offset) {
        Put16(loca, int(offset >> 16));
        Put16(loca, int(offset & 0xFFFF));
    }

private:
    struct Free {
        void operator()(void *p) const { std::free(p); }
    };
    std::unique_ptr<_TTFont, Free> font_;
};

#define EXPECT_POINT(font, i, px, py)           \
    do {                                        \
        EXPECT_EQ(px, (font).Point(i).Orig.x);  \
        EXPECT_EQ(py, (font).Point(i).Orig.y);  \
    } while (0)

TEST(SimpleGlyph, DecodesContoursFlagsAndCoordinates) {
    // Two contours ending at 3 and 7.  Flags: 0x09 repeated twice more (three
    // on-curve points with 16-bit x and y), then 0x12 (x byte added), 0x02
    // (x byte subtracted), 0x30 (x and y unchanged), 0x01 twice.
    Bytes data = {0x09, 2, 0x12, 0x02, 0x30, 0x01, 0x01,
                  // x: three 16-bit deltas, +5, -5, (same), two 16-bit deltas
                  0x00, 0x0A, 0xFF, 0xFE, 0x01, 0x00, 5, 5, 0x00, 0x01, 0x00, 0x02,
                  // y: 16-bit deltas for every point but the 0x30 one
                  0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01,
                  0xFF, 0xFF};
    HandFont f({SimpleGlyph({3, 7}, data, {0x4B, 0x4C})});
    f.Open();
    ASSERT_EQ(7, f.Load(0));
    _TtfGlyph &G = f.G();
    EXPECT_EQ(2, G.NumContours);
    EXPECT_EQ(3, G.EndPoints[0]);
    EXPECT_EQ(7, G.EndPoints[1]);
    EXPECT_EQ(3, G.AbsEndPoints[0]);
    EXPECT_EQ(7, G.AbsEndPoints[1]);
    // The flag byte stays as loaded; of it, Flags keeps only the on-curve
    // bit (its other bits are the interpreter's and the scanner's marks).
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(0x01, f.Point(i).Flags);
        EXPECT_EQ(0x09, f.Point(i).OFlags);
    }
    EXPECT_EQ(0x00, f.Point(3).Flags);
    EXPECT_EQ(0x12, f.Point(3).OFlags);
    EXPECT_POINT(f, 0, 10, 1);
    EXPECT_POINT(f, 1, 8, 2);
    EXPECT_POINT(f, 2, 264, 3);
    EXPECT_POINT(f, 3, 269, 4);  // 0x12: +5
    EXPECT_POINT(f, 4, 264, 5);  // 0x02: -5
    EXPECT_POINT(f, 5, 264, 5);  // 0x30: neither moves
    EXPECT_POINT(f, 6, 265, 6);
    EXPECT_POINT(f, 7, 267, 5);
    EXPECT_EQ(0, std::memcmp(&f.Point(7).Orig, &f.Point(7).Cur, sizeof(longpointtype)));
    ASSERT_NE(nullptr, G.instructions);
    EXPECT_EQ(2, f.BlockSize(G.instructions));
    EXPECT_EQ(0x4B, G.instructions[4]);
    EXPECT_EQ(0x4C, G.instructions[5]);
}

TEST(SimpleGlyph, RepeatCountStopsAtTheLastPoint) {
    // The count 200 asks for far more points than the glyph has; the count
    // byte is consumed and the x bytes follow it.
    HandFont f({SimpleGlyph({1}, {0x3B, 200, 3, 4})});
    f.Open();
    ASSERT_EQ(1, f.Load(0));
    EXPECT_POINT(f, 0, 3, 0);
    EXPECT_POINT(f, 1, 7, 0);
}

TEST(SimpleGlyph, ScalesToSixtyFourthsTruncatingTowardZero) {
    // x -3 and +3 at Multiplier 100: -300/256 and 300/256.
    HandFont f({SimpleGlyph({1}, {0x03 | 0x20, 0x13 | 0x20, 3, 6})}, 100);
    f.Open();
    ASSERT_EQ(1, f.Load(0));
    EXPECT_EQ(-1, f.Point(0).Orig.x);
    EXPECT_EQ(-1, f.Point(0).Cur.x);
    EXPECT_EQ(-1, f.Point(0).Prev.x);
    EXPECT_EQ(1, f.Point(1).Orig.x);
}

TEST(SimpleGlyph, EmptyAndUnloadableGlyphsLoadNothing) {
    Bytes noContours = SimpleGlyph({}, {});
    Bytes otherNegative = CompositeHeader();
    otherNegative[1] = 0xFE;  // -2
    HandFont f({Bytes{}, noContours, otherNegative, Square(0)});
    f.Open();
    EXPECT_EQ(-1, f.Load(0));  // length 0, like a space
    EXPECT_EQ(-1, f.Load(1));
    EXPECT_EQ(-1, f.Load(2));
    EXPECT_EQ(0, f.G().NumContours);
    EXPECT_EQ(nullptr, f.G().instructions);
    // Past numGlyphs the glyph number falls back to glyph 0, which is empty.
    EXPECT_EQ(-1, f.Load(1000));
    EXPECT_EQ(3, f.Load(3));
}

TEST(SimpleGlyph, RefusesGlyphsTheRecordCannotHold) {
    Bytes twoPoints = {0x37, 0x37, 1, 1, 1, 1};
    HandFont f({SimpleGlyph({0, 1, 2, 3, 4, 5, 6, 7, 8}, {}),  // 9 contours, room for 8
                SimpleGlyph({64}, {}),                           // point 64, room for 64
                SimpleGlyph({1, 1}, twoPoints),                  // ends must rise
                SimpleGlyph({3, 1}, twoPoints),
                SimpleGlyph({1}, twoPoints)});
    f.Open();
    for (int g = 0; g < 4; ++g) {
        EXPECT_EQ(-1, f.Load(g)) << "glyph " << g;
        EXPECT_EQ(nullptr, f.G().instructions);
    }
    EXPECT_EQ(1, f.Load(4));
}

TEST(SimpleGlyph, TruncatedDataFailsWithoutLeavingInstructions) {
    Bytes whole = SimpleGlyph({2}, {0x01, 0x01, 0x01, 0, 1, 0, 1, 0, 2, 0, 0, 0, 1, 0, 2},
                              {0xB0, 0x01});
    HandFont f({whole});
    f.Open();
    ASSERT_EQ(2, f.Load(0));
    // Cut the glyph short at every length: inside the header, the end
    // points, the instruction length and bytes, the flags and coordinates.
    for (size_t cut = 1; cut < whole.size(); ++cut) {
        Bytes loca;
        HandFont::PutOffset(loca, 0);
        HandFont::PutOffset(loca, cut);
        f.SetLoca(loca);
        EXPECT_EQ(-1, f.Load(0)) << "cut at " << cut;
        EXPECT_EQ(nullptr, f.G().instructions);
    }
}

TEST(SimpleGlyph, HugeCoordinatesClampInsteadOfOverflowing) {
    // 32767 font units at a Multiplier far outside the supported range.
    HandFont f({SimpleGlyph({0}, {0x01, 0x7F, 0xFF, 0x80, 0x00})}, 0x40000000);
    f.Open();
    ASSERT_EQ(0, f.Load(0));
    EXPECT_EQ(INT32_MAX, f.Point(0).Orig.x);
    EXPECT_EQ(INT32_MIN, f.Point(0).Orig.y);
}

TEST(CompositeGlyph, AssemblesComponentsAfterOneAnother) {
    // Components of 4 and 6 points; the second has two contours.
    Bytes six = SimpleGlyph({2, 5}, {0x37, 0x37, 0x37, 0x37, 0x37, 0x37, 1, 1, 1, 1, 1, 1,
                                     1, 1, 1, 1, 1, 1},
                            {0x01});
    Bytes comp = CompositeHeader();
    PutComponent(comp, 0x0002 | 0x0020, 1, 0, 0);
    PutComponent(comp, 0x0002 | 0x0100, 2, 100, 0);
    Put16(comp, 3);
    comp.insert(comp.end(), {0xAA, 0xBB, 0xCC});
    HandFont f({comp, Square(0), six}, 512);
    f.Open();
    ASSERT_EQ(9, f.Load(0));
    _TtfGlyph &G = f.G();
    EXPECT_EQ(3, G.NumContours);
    EXPECT_EQ(2, G.NumComponents);
    EXPECT_EQ(3, G.EndPoints[0]);
    EXPECT_EQ(2, G.EndPoints[1]);  // counted from the component's first point
    EXPECT_EQ(5, G.EndPoints[2]);
    EXPECT_EQ(3, G.AbsEndPoints[0]);
    EXPECT_EQ(6, G.AbsEndPoints[1]);
    EXPECT_EQ(9, G.AbsEndPoints[2]);

    EXPECT_EQ(1, G.GC[0].NumContours);
    EXPECT_EQ(G.EndPoints, G.GC[0].lpNextEndPoint);
    EXPECT_EQ(G.Zone1, G.GC[0].lpCoords);
    EXPECT_EQ(2, G.GC[1].NumContours);
    EXPECT_EQ(G.EndPoints + 1, G.GC[1].lpNextEndPoint);
    EXPECT_EQ(G.Zone1 + 4, G.GC[1].lpCoords);
    ASSERT_NE(nullptr, G.GC[0].instructions);
    EXPECT_EQ(2, f.BlockSize(G.GC[0].instructions));
    ASSERT_NE(nullptr, G.GC[1].instructions);
    EXPECT_EQ(1, f.BlockSize(G.GC[1].instructions));
    ASSERT_NE(nullptr, G.instructions);  // the composite's own
    EXPECT_EQ(3, f.BlockSize(G.instructions));
    EXPECT_EQ(0xCC, G.instructions[6]);

    // Each component scaled once (x2); the second moved by 100 units.
    EXPECT_POINT(f, 2, 16, 16);
    EXPECT_POINT(f, 4, 200 + 2, 2);
    EXPECT_POINT(f, 9, 200 + 12, 12);
    EXPECT_EQ(f.Point(9).Orig.x, f.Point(9).Cur.x);
    EXPECT_EQ(f.Point(9).Orig.x, f.Point(9).Prev.x);
}

TEST(CompositeGlyph, OffsetsScaleAndRoundToThePixelGrid) {
    Bytes plain = CompositeHeader(), rounded = CompositeHeader(), words = CompositeHeader();
    PutComponent(plain, 0x0002, 3, 10, -10);
    PutComponent(rounded, 0x0002 | 0x0004, 3, 10, -10);
    PutComponent(words, 0x0003, 3, 1000, -1000);
    HandFont f({plain, rounded, words, SimpleGlyph({0}, {0x01, 0, 0, 0, 0})}, 4096);
    f.Open();
    ASSERT_EQ(0, f.Load(0));
    EXPECT_POINT(f, 0, 160, -160);
    ASSERT_EQ(0, f.Load(1));
    EXPECT_POINT(f, 0, 192, -128);
    ASSERT_EQ(0, f.Load(2));
    EXPECT_POINT(f, 0, 16000, -16000);
}

TEST(CompositeGlyph, ScalesAndTransformsComponents) {
    Bytes halfX = CompositeHeader(), one = CompositeHeader(), matrix = CompositeHeader(),
          shear = CompositeHeader();
    PutComponent(halfX, 0x0002 | 0x0040, 4, 0, 0, {0x20, 0x00, 0x40, 0x00});
    PutComponent(one, 0x0002 | 0x0008, 4, 0, 0, {0x20, 0x00});
    // Swaps x and y.
    PutComponent(matrix, 0x0002 | 0x0080, 4, 0, 0, {0, 0, 0x40, 0x00, 0x40, 0x00, 0, 0});
    // scale01 0.5 only: x' = x + y / 2, y' = y; the matrix is not symmetric,
    // so a mix-up of the two off-diagonal entries shows.
    PutComponent(shear, 0x0002 | 0x0080, 4, 0, 0, {0x40, 0x00, 0x20, 0x00, 0, 0, 0x40, 0x00});
    Bytes point = SimpleGlyph({0}, {0x01, 0x00, 40, 0xFF, 0xEC});  // (40, -20)
    HandFont f({halfX, one, matrix, shear, point}, 256);
    f.Open();
    ASSERT_EQ(0, f.Load(0));
    EXPECT_POINT(f, 0, 20, -20);
    ASSERT_EQ(0, f.Load(1));
    EXPECT_POINT(f, 0, 20, -10);
    ASSERT_EQ(0, f.Load(2));
    EXPECT_POINT(f, 0, -20, 40);
    ASSERT_EQ(0, f.Load(3));
    EXPECT_POINT(f, 0, 30, -20);
}

TEST(CompositeGlyph, MatchesPointsAndReportsNumbersOutOfRange) {
    // The second square's point 0 goes onto the first square's point 2.
    Bytes matched = CompositeHeader(), outOfRange = CompositeHeader();
    PutComponent(matched, 0x0002 | 0x0020, 2, 0, 0);
    PutComponent(matched, 0x0000, 2, 2, 0);
    PutComponent(outOfRange, 0x0002 | 0x0020, 2, 0, 0);
    PutComponent(outOfRange, 0x0000, 2, 4, 0);  // only 4 points placed so far
    HandFont f({matched, outOfRange, Square(0)});
    f.Open();
    ASSERT_EQ(7, f.Load(0));
    EXPECT_POINT(f, 4, 8, 8);

    std::string log = kelmor_test::ScratchDir("glyph-log") + "/err.txt";
    Err = std::fopen(log.c_str(), "w");
    ASSERT_EQ(7, f.Load(1));
    std::fclose(Err);
    Err = nullptr;
    EXPECT_POINT(f, 4, 0, 0);  // left where it was
    char text[128] = {};
    std::FILE *in = std::fopen(log.c_str(), "r");
    ASSERT_NE(nullptr, std::fgets(text, sizeof text, in));
    std::fclose(in);
    EXPECT_STREQ("Error: Match Point 4 >= 4 or 0 >= 4\n", text);
}

TEST(CompositeGlyph, EmptyComponentsAreRecordedAndSkipped) {
    Bytes comp = CompositeHeader();
    PutComponent(comp, 0x0002 | 0x0020, 1, 0, 0);  // a space
    PutComponent(comp, 0x0002, 2, 0, 0);
    HandFont f({comp, Bytes{}, Square(0)});
    f.Open();
    ASSERT_EQ(3, f.Load(0));
    _TtfGlyph &G = f.G();
    EXPECT_EQ(2, G.NumComponents);
    EXPECT_EQ(0, G.GC[0].NumContours);
    EXPECT_EQ(G.Zone1, G.GC[1].lpCoords);
    EXPECT_EQ(3, G.AbsEndPoints[0]);
}

TEST(CompositeGlyph, ComponentTableBoundsTheLoad) {
    Bytes two = CompositeHeader();
    PutComponent(two, 0x0002 | 0x0020, 1, 0, 0);
    PutComponent(two, 0x0002, 1, 0, 0);
    HandFont full({two, Square(0)});
    // The table holds as many simple glyphs as the glyph arrays hold
    // contours, here one.
    full.font()->leMaximumProfile.maxComponentElements = 1;
    full.font()->leMaximumProfile.maxContours = 1;
    full.Open();
    // The first component's instruction block must not outlive the failure
    // (the leak checker watches this).
    EXPECT_EQ(-1, full.Load(0));
    EXPECT_EQ(0, full.G().NumComponents);
    EXPECT_EQ(nullptr, full.G().instructions);

    HandFont none({two, Square(0)});
    none.font()->leMaximumProfile.maxComponentElements = 0;
    none.Open();
    EXPECT_EQ(-1, none.Load(0));
    EXPECT_EQ(3, none.Load(1));  // simple glyphs need no component table
}

TEST(CompositeGlyph, NestedCompositesNeedTheDeclaredDepth) {
    // Glyph 0 places glyph 1 at x 10; glyph 1 places the square at x 5.
    Bytes outer = CompositeHeader(), inner = CompositeHeader();
    PutComponent(outer, 0x0002, 1, 10, 0);
    PutComponent(inner, 0x0002 | 0x0100, 2, 5, 0);
    Put16(inner, 1);
    inner.push_back(0x00);
    HandFont shallow({outer, inner, Square(0)}, 512);
    shallow.Open();
    EXPECT_EQ(-1, shallow.Load(0));
    EXPECT_EQ(0, shallow.G().NumComponents);

    HandFont deep({outer, inner, Square(0)}, 512);
    deep.font()->leMaximumProfile.maxComponentDepth = 2;
    deep.Open();
    ASSERT_EQ(3, deep.Load(0));
    // Scaled once, not once per level: (8 + 5 + 10) x 2.
    EXPECT_POINT(deep, 2, 46, 16);
    // The square is the one component recorded; the inner composite's own
    // program is not kept (it has no record to hold it).
    EXPECT_EQ(1, deep.G().NumComponents);
    EXPECT_EQ(deep.G().Zone1, deep.G().GC[0].lpCoords);
    EXPECT_EQ(nullptr, deep.G().instructions);
}

// maxComponentElements counts one level: three components that are each a
// composite of two squares record six simple glyphs.
TEST(CompositeGlyph, NestedCompositesRecordAllTheirSimpleGlyphs) {
    Bytes outer = CompositeHeader(), pair = CompositeHeader();
    PutComponent(outer, 0x0002 | 0x0020, 1, 0, 0);
    PutComponent(outer, 0x0002 | 0x0020, 1, 50, 0);
    PutComponent(outer, 0x0002, 1, 100, 0);
    PutComponent(pair, 0x0002 | 0x0020, 2, 0, 0);
    PutComponent(pair, 0x0002, 2, 0, 50);
    HandFont f({outer, pair, Square(0)});
    f.font()->leMaximumProfile.maxComponentElements = 3;
    f.font()->leMaximumProfile.maxComponentDepth = 2;
    f.Open();
    ASSERT_EQ(23, f.Load(0));
    EXPECT_EQ(6, f.G().NumComponents);
    EXPECT_EQ(6, f.G().NumContours);
    EXPECT_EQ(f.G().Zone1 + 20, f.G().GC[5].lpCoords);
}

TEST(CompositeGlyph, SelfReferenceAndTruncationFailCleanly) {
    Bytes self = CompositeHeader();
    PutComponent(self, 0x0002 | 0x0020, 1, 0, 0);
    PutComponent(self, 0x0002 | 0x0020, 0, 0, 0);
    PutComponent(self, 0x0002, 0, 0, 0);
    Bytes cut = CompositeHeader();
    PutComponent(cut, 0x0002 | 0x0020, 1, 0, 0);  // promises another component
    Bytes noProgram = CompositeHeader();
    PutComponent(noProgram, 0x0002 | 0x0100, 1, 0, 0);  // no instruction length
    HandFont f({self, Square(0), cut, noProgram});
    f.font()->leMaximumProfile.maxComponentDepth = 100;
    f.Open();
    for (int g : {0, 2, 3}) {
        EXPECT_EQ(-1, f.Load(g)) << "glyph " << g;
        EXPECT_EQ(0, f.G().NumComponents);
        EXPECT_EQ(0, f.G().NumContours);
        EXPECT_EQ(nullptr, f.G().instructions);
    }
}

}  // namespace
