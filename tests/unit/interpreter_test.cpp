// The bytecode interpreter: instructions written as assembler text, run on
// a synthetic font's interpreter state, with the stack, points and faults
// they leave checked against worked-out values.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "font_builder.h"
#include "test_paths.h"
#include "ttasm.h"
#include "ttf/hint/instruct_testing.h"
#include "ttf/font/ttf.h"

using namespace kelmor;
using namespace kelmor_test;

namespace {

struct XY {
    int32_t x, y;
};

// An opened synthetic font at 9 ppem (so DELTA base 9 matches) with room
// for 16 points, 8 twilight points, 16 storage slots, 16 functions, 64
// stack entries and 8 control values, on which programs run as glyph (or
// other) programs.
class Machine {
public:
    explicit Machine(const FontBuilder &font = Base()) {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        pF_ = OpenTTF(font.WriteTo(ScratchDir("interp_" + name) + "/font.ttf").c_str());
        if (pF_ == nullptr) {
            ADD_FAILURE() << "font did not open";
            return;
        }
        EXPECT_EQ(0, InitBuffers(pF_, 9, 72));
    }
    ~Machine() { CloseTTF(pF_); }
    Machine(const Machine &) = delete;
    Machine &operator=(const Machine &) = delete;

    static FontBuilder Base() {
        FontBuilder b;
        b.Cvt(std::vector<int16_t>(8, 0))
            .Maxp(&MaxpValues::maxPoints, 16)
            .Maxp(&MaxpValues::maxContours, 4)
            .Maxp(&MaxpValues::maxTwilightPoints, 8)
            .Maxp(&MaxpValues::maxStorage, 16)
            .Maxp(&MaxpValues::maxFunctionDefs, 16)
            .Maxp(&MaxpValues::maxStackElements, 64);
        return b;
    }

    _TtfGlyph &G() { return pF_->G; }
    _TTFont *F() { return pF_; }
    bool ok() const { return pF_ != nullptr; }

    // Places points (on-curve, untouched) in the glyph zone as one glyph
    // with the given contour ends.
    void Points(const std::vector<XY> &points, const std::vector<int16_t> &ends) {
        for (size_t i = 0; i < points.size(); ++i) {
            TTFCoord &p = G().Zone1[i];
            p = {};
            p.Orig = p.Cur = p.Prev = {points[i].x, points[i].y};
            p.Flags = p.OFlags = kOnCurve;
        }
        G().NumContours = int16_t(ends.size());
        for (size_t k = 0; k < ends.size(); ++k) G().EndPoints[k] = G().AbsEndPoints[k] = ends[k];
    }
    void Cvt(int index, int32_t value) { G().lControlTable[index] = value; }
    // Runs what follows in the faithful mode (or the classic one), without
    // running the font and control-value programs again.
    void Faithful(bool on) {
        pF_->RenderOptions = on ? kFaithful : 0;
        SetInterpreterMode(&G(), on);
    }

    // Runs the program and returns the stack it leaves, bottom first.
    std::vector<int32_t> Run(const std::string &program, int kind = kGlyphProgram) {
        return RunBytes(Assemble(program), kind);
    }
    // A glyph or component program is handed over and freed after its run,
    // as glyph loading hands it over; the blocks of font and control-value
    // programs live as long as the machine, as the font's own do, because
    // the functions they define point into them.
    std::vector<int32_t> RunBytes(const std::vector<uint8_t> &code, int kind) {
        const int32_t length = int32_t(code.size());
        std::vector<uint8_t> block(4 + code.size());
        std::memcpy(block.data(), &length, 4);
        if (!code.empty()) std::memcpy(block.data() + 4, code.data(), code.size());
        if (kind == kGlyphProgram || kind == kComponentProgram) {
            G().instructions = static_cast<uint8_t *>(std::malloc(block.size()));
            std::memcpy(G().instructions, block.data(), block.size());
            InterpretGlyph(pF_, &G(), G().NumContours, G().EndPoints, G().Zone1, kind);
        } else {
            kept_.push_back(std::move(block));
            ResetStack(&G());
            ResetGsv(&G());
            RunProgram(pF_, &G(), kind, kept_.back().data());
        }
        return std::vector<int32_t>(G().Stack, G().lpStack);
    }
    XY At(int point, int zone = 1) {
        const TTFCoord &p = (zone ? G().Zone1 : G().Zone0)[point];
        return {p.Cur.x, p.Cur.y};
    }

private:
    _TTFont *pF_ = nullptr;
    std::vector<std::vector<uint8_t>> kept_;
};

// A small deterministic generator for the randomized cases: 15 bits a call.
struct Lcg {
    uint32_t seed;
    uint32_t operator()() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    }
};

bool operator==(XY a, XY b) { return a.x == b.x && a.y == b.y; }
std::ostream &operator<<(std::ostream &o, XY p) { return o << "(" << p.x << ", " << p.y << ")"; }

// ---------------------------------------------------------------- stack only

struct StackCase {
    const char *program;
    std::vector<int32_t> stack;
    int fault;  // InternalError afterwards
};

const StackCase kStackCases[] = {
    {"PUSHB 1 2 SWAP", {2, 1}, 0},
    {"PUSHW -64  PUSHB 255", {-64, 255}, 0},
    {"NPUSHW 300 -2", {300, -2}, 0},
    {"PUSHB 64 0 DIV", {0x7FFFFFFF}, 0},
    {"PUSHB 1 2 DIV", {32}, 0},
    {"PUSHB 96 96 MUL", {144}, 0},
    {"PUSHW -1 1 MUL", {0}, 0},
    {"PUSHB 1 2 3 ROLL", {2, 3, 1}, 0},
    {"PUSHB 7 1 CINDEX", {7, 7}, 0},
    {"PUSHB 5 6 7 1 MINDEX", {5, 6, 7}, 0},
    {"PUSHB 5 6 7 3 MINDEX", {6, 7, 5}, 0},
    {"PUSHB 5 6 DEPTH", {5, 6, 2}, 0},
    {"PUSHW -1 FLOOR  PUSHB 1 CEILING", {-64, 64}, 0},
    {"PUSHB 96 ODD  PUSHB 96 EVEN", {0, 1}, 0},
    {"PUSHB 3 5 LT  PUSHB 5 5 LTEQ  PUSHB 3 5 GT  PUSHB 3 3 GTEQ", {1, 1, 0, 1}, 0},
    {"PUSHB 2 0 AND  PUSHB 2 0 OR  PUSHB 0 NOT  PUSHW -70 ABS  PUSHB 3 NEG", {0, 1, 1, 70, -3}, 0},
    {"PUSHB 3 9 MAX  PUSHB 3 9 MIN  PUSHB 10 4 SUB", {9, 3, 6}, 0},
    {"PUSHB 1 GETINFO  PUSHB 6 GETINFO  MPPEM", {1, 0, 9}, 0},
    {"PUSHB 3 42 WS  PUSHB 3 RS", {42}, 0},
    {"PUSHB 100 NROUND[00]", {100}, 0},
    // The false branch's inner IF protects its own ELSE and EIF.
    {"PUSHB 0 IF PUSHB 1 IF PUSHB 2 ELSE PUSHB 3 EIF PUSHB 4 ELSE PUSHB 5 EIF", {5}, 0},
    {"PUSHB 1 IF PUSHB 2 ELSE PUSHB 0 IF PUSHB 3 ELSE PUSHB 4 EIF PUSHB 5 EIF PUSHB 6", {2, 6}, 0},
    // Push data holding IF, ELSE and EIF bytes is stepped over.
    {"PUSHB 0 IF PUSHB 88 27 89 ELSE PUSHB 7 EIF", {7}, 0},
    {"PUSHB 0 IF NPUSHB 89 27 PUSHB 7 ELSE PUSHB 8 EIF", {8}, 0},
    {"PUSHB 0 IF NPUSHW 22811 PUSHB 7 ELSE PUSHB 8 EIF", {8}, 0},  // 0x591B: EIF, ELSE
    {"PUSHB 3 1 JROT PUSHB 9 PUSHB 8", {8}, 0},
    {"PUSHB 3 0 JROF PUSHB 9 PUSHB 8", {8}, 0},
    {"PUSHW -5 PUSHB 1 JROT PUSHB 7", {7}, 0},
    {"PUSHB 3 JMPR PUSHB 9 PUSHB 8", {8}, 0},
    {"PUSHB 0 SWAP", {0}, 1},  // underflow: nothing happens
    {"POP", {}, 1},
    {"PUSHB 1 ADD", {1}, 1},
    {"$4C", {}, 1},  // MPS is not an instruction here
    {"$80 $89 $4F $28", {}, 1},
    {"PUSHB 1 $4C CLEAR", {}, 0},
    {"PUSHB 200 5 WS  PUSHB 200 RS", {0}, 1},
    {"PUSHB 200 RCVT", {0}, 1},
    {"PUSHB 9 CINDEX", {}, 1},
    {"PUSHB 1 2 3 MINDEX", {1, 2}, 1},
    {"PUSHB 9 CALL", {}, 1},
    {"PUSHB 7 SZP0", {}, 1},
    {"PUSHW -8 JMPR PUSHB 1", {}, 1},  // before the block: ends the program
    {"PUSHB 5 6 7 8 9 10 11 12 ISECT", {5, 6, 7}, 0},
};

TEST(Interpreter, StackPrograms) {
    Machine m;
    ASSERT_TRUE(m.ok());
    m.Points({{0, 0}, {64, 0}, {64, 64}, {0, 64}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0},
              {0, 0}, {0, 0}, {0, 0}, {0, 0}},
             {3, 12});
    for (const StackCase &c : kStackCases) {
        EXPECT_EQ(c.stack, m.Run(c.program)) << c.program;
        EXPECT_EQ(c.fault, m.G().InternalError) << c.program;
    }
}

TEST(Interpreter, PushPastTheStackIsRefused) {
    Machine m;
    std::string program = "NPUSHB";
    for (int i = 0; i < 65; ++i) program += " 1";
    EXPECT_TRUE(m.Run(program).empty());
    EXPECT_EQ(1, m.G().InternalError);
    EXPECT_TRUE(m.Run("PUSHB 1 2 3 4 5 6 7 8 $B3").size() == 8u) << "push data past the end";
    EXPECT_EQ(1, m.G().InternalError);
}

// ---------------------------------------------------------------- rounding

struct RoundCase {
    const char *state;
    int32_t in, out;
};

const RoundCase kRoundCases[] = {
    {"RTG", 31, 0},       {"RTG", 32, 64},       {"RTG", -32, 0},      {"RTG", -33, -64},
    {"RTHG", 0, 32},      {"RTHG", 63, 32},      {"RTHG", -1, -32},    {"RTDG", 15, 0},
    {"RTDG", 16, 32},     {"RDTG", -1, -64},     {"RUTG", 1, 64},      {"ROFF", 17, 17},
    {"PUSHB 72 SROUND", 31, 0},                  {"PUSHB 72 SROUND", 32, 64},
    {"PUSHB 65 SROUND", 10, 64},  // wrong sign: the minimum distance
    {"PUSHB 72 S45ROUND", 100, 90},
};

TEST(Interpreter, Rounding) {
    Machine m;
    for (const RoundCase &c : kRoundCases) {
        const std::string program =
            std::string(c.state) + " PUSHW " + std::to_string(c.in) + " ROUND[00]";
        EXPECT_EQ(std::vector<int32_t>{c.out}, m.Run(program)) << program;
    }
}

// ------------------------------------------------------------------ vectors

TEST(Interpreter, VectorsFromLines) {
    Machine m;
    m.Points({{0, 0}, {64, 0}}, {1});
    EXPECT_EQ((std::vector<int32_t>{16384, 0}), m.Run("PUSHB 1 0 SPVTL[0] GPV"));
    // The perpendicular turns clockwise.
    EXPECT_EQ((std::vector<int32_t>{0, -16384}), m.Run("PUSHB 1 0 SPVTL[1] GPV"));
    EXPECT_EQ((std::vector<int32_t>{0, 16384}), m.Run("SVTCA[0] GFV"));
    EXPECT_EQ((std::vector<int32_t>{0, 0}), m.Run("PUSHB 0 0 SFVTL[0] GFV"));
    EXPECT_EQ(1, m.G().InternalError) << "coincident points";
}

// ------------------------------------------------------------------- points

TEST(Interpreter, MirpUsesItsControlValueOnlyWhenRounding) {
    Machine m;
    m.Cvt(0, 64);
    m.Points({{0, 0}, {70, 0}, {200, 0}}, {2});
    m.Run("PUSHB 0 MDAP[0]  PUSHB 1 0 MIRP[00000]");
    EXPECT_EQ((XY{70, 0}), m.At(1));
    m.Run("PUSHB 0 MDAP[0]  PUSHB 1 0 MIRP[00100]  PUSHB 2 0 MIRP[00100]");
    EXPECT_EQ((XY{64, 0}), m.At(1)) << "within the cut-in: the control value";
    EXPECT_EQ((XY{192, 0}), m.At(2)) << "beyond it: the original distance, rounded";
}

TEST(Interpreter, MdrpKeepsTheMinimumDistance) {
    Machine m;
    m.Points({{0, 0}, {10, 0}}, {1});
    m.Run("PUSHB 0 MDAP[0]  PUSHB 1 MDRP[01100]");
    EXPECT_EQ((XY{64, 0}), m.At(1));
    EXPECT_EQ(1, m.G().Gsv.rp2);
}

TEST(Interpreter, MsirpGivesATwilightPointItsOriginalPosition) {
    Machine m;
    m.Points({{0, 0}}, {0});
    m.Run("PUSHB 0 SZP1  PUSHB 2 100 MSIRP[0]");
    EXPECT_EQ((XY{100, 0}), m.At(2, 0));
    EXPECT_EQ(100, m.G().Zone0[2].Orig.x);
}

// A twilight point placed by MIAP takes the control value as its original
// position, so that MDRP from it measures the glyph point's distance to the
// control value, not its absolute position.
TEST(Interpreter, MiapGivesATwilightPointItsControlValue) {
    Machine m;
    m.Cvt(0, 700);
    m.Points({{0, 0}, {0, 750}}, {1});
    m.Run("SVTCA[0]  PUSHB 0 SZP0  PUSHB 0 0 MIAP[1]  PUSHB 1 MDRP[00100]");
    EXPECT_EQ((XY{0, 704}), m.At(0, 0));
    EXPECT_EQ(700, m.G().Zone0[0].Orig.y);
    EXPECT_EQ((XY{0, 768}), m.At(1)) << "704 + round(750 - 700)";
}

TEST(Interpreter, ShpShiftsLoopPoints) {
    Machine m;
    m.Points({{0, 0}, {10, 0}, {20, 0}, {30, 0}, {40, 0}}, {4});
    EXPECT_TRUE(m.Run("PUSHB 0 64 SHPIX  PUSHB 0 SRP2  PUSHB 1 2 3 3 SLOOP SHP[0]").empty());
    EXPECT_EQ((XY{74, 0}), m.At(1));
    EXPECT_EQ((XY{84, 0}), m.At(2));
    EXPECT_EQ((XY{94, 0}), m.At(3));
    EXPECT_EQ((XY{40, 0}), m.At(4));
    EXPECT_EQ(1, m.G().Gsv.loop);
}

TEST(Interpreter, AlignAndIntersect) {
    Machine m;
    m.Points({{0, 0}, {64, 0}}, {1});
    m.Run("PUSHB 1 0 ALIGNPTS");
    EXPECT_EQ((XY{32, 0}), m.At(0));
    EXPECT_EQ((XY{32, 0}), m.At(1));

    m.Points({{0, 0}, {128, 0}, {64, -64}, {64, 64}, {5, 5}}, {4});
    m.Run("PUSHB 4 2 3 0 1 ISECT");
    EXPECT_EQ((XY{64, 0}), m.At(4));
}

TEST(Interpreter, InterpolateBetweenReferences) {
    Machine m;
    m.Points({{0, 0}, {50, 0}, {100, 0}}, {2});
    m.Run("PUSHB 2 100 SHPIX  PUSHB 0 SRP1 PUSHB 2 SRP2 PUSHB 1 IP");
    EXPECT_EQ((XY{100, 0}), m.At(1));
}

TEST(Interpreter, IupShiftsAContourWithOneTouchedPoint) {
    Machine m;
    m.Points({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, {3});
    m.Run("PUSHB 1 64 SHPIX  IUP[1]");
    EXPECT_EQ((XY{64, 0}), m.At(0));
    EXPECT_EQ((XY{164, 0}), m.At(1));
    EXPECT_EQ((XY{164, 100}), m.At(2));
    EXPECT_EQ((XY{64, 100}), m.At(3));
    m.Points({{0, 0}, {100, 0}}, {1});
    m.Run("PUSHB 0 SZP0 PUSHB 1 64 SHPIX  IUP[1]");
    EXPECT_EQ((XY{0, 0}), m.At(0)) << "IUP with zp0 = 0 does nothing";
}

// Untraced IUP takes a quicker route than the traced point-by-point walk;
// both must leave every point where the walk puts it.  Random contours cover
// no touched point, only the first or only the last touched, runs that wrap
// past the contour's end, contours that have not moved, and coordinates at
// the edges of 32 bits.
TEST(Interpreter, IupGivesTheSameResultTracedOrNot) {
    Machine m;
    ASSERT_TRUE(m.ok());
    InsTracer quiet;
    Lcg next{777u};
    auto coordinate = [&next](bool extreme) {
        const int32_t edges[] = {INT32_MIN, INT32_MIN + 1, -(1 << 30), 1 << 30, INT32_MAX};
        return extreme && next() % 4 == 0 ? edges[next() % 5] : int32_t(next() % 2001) - 1000;
    };
    for (int round = 0; round < 4000; ++round) {
        const bool extreme = round % 5 == 0;
        std::vector<int16_t> ends;
        for (int end = -1; ends.size() < 4 && end < 14;) {
            end += 1 + int(next() % 6);
            ends.push_back(int16_t(std::min(end, 15)));
            end = ends.back();
        }
        std::vector<XY> points(size_t(ends.back()) + 1);
        for (XY &p : points) p = {coordinate(extreme), coordinate(extreme)};
        m.Points(points, ends);
        const int touchedOneIn = 1 + int(next() % 4);  // 1: all touched ... 4: few
        for (size_t i = 0; i < points.size(); ++i) {
            TTFCoord &p = m.G().Zone1[i];
            if (round % 3 != 0) p.Cur = {coordinate(extreme), coordinate(extreme)};  // else unmoved
            p.Prev = {coordinate(false), coordinate(false)};  // IUP saves Cur here
            if (next() % touchedOneIn == 0) p.Flags |= uint8_t(next() % 2 ? kTouchedX : kTouchedY);
        }
        const std::vector<TTFCoord> before(m.G().Zone1, m.G().Zone1 + points.size());
        const int axis = int(next() % 2);
        m.G().Gsv.zp0 = 1;
        m.G().Tracer = &quiet;
        const int movedTraced = InterpolateUntouchedNOS(&m.G(), axis);
        const std::vector<TTFCoord> traced(m.G().Zone1, m.G().Zone1 + points.size());
        std::copy(before.begin(), before.end(), m.G().Zone1);
        m.G().Tracer = nullptr;
        ASSERT_EQ(movedTraced, InterpolateUntouchedNOS(&m.G(), axis)) << "round " << round;
        for (size_t i = 0; i < points.size(); ++i) {
            const TTFCoord &a = traced[i], &b = m.G().Zone1[i];
            ASSERT_TRUE(a.Cur.x == b.Cur.x && a.Cur.y == b.Cur.y && a.Prev.x == b.Prev.x &&
                        a.Prev.y == b.Prev.y)
                << "round " << round << ", point " << i;
        }
    }
}

TEST(Interpreter, DeltaAtItsPpem) {
    Machine m;
    m.Points({{0, 0}}, {0});
    m.Run("PUSHB 7 0 1 DELTAP1");
    EXPECT_EQ((XY{-4, 0}), m.At(0));
    m.Points({{0, 0}}, {0});
    m.Run("PUSHB 23 0 1 DELTAP1");  // ppem 10: nothing
    EXPECT_EQ((XY{0, 0}), m.At(0));
    m.Run("PUSHB 7 99 1 DELTAP1");
    EXPECT_EQ(2, m.G().InternalError) << "a bad point is seen at any size";
}

TEST(Interpreter, FlipRangeClearsExactlyItsPoints) {
    Machine m;
    m.Points({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}}, {6});
    m.Run("PUSHB 3 5 FLIPRGOFF");
    for (int p = 0; p < 7; ++p)
        EXPECT_EQ(p >= 3 && p <= 5 ? 0 : kOnCurve, m.G().Zone1[p].Flags & kOnCurve) << p;
    m.Run("PUSHW 0 32000 FLIPRGON");
    EXPECT_EQ(2, m.G().InternalError);
    EXPECT_EQ(kOnCurve, m.G().Zone1[15].Flags & kOnCurve) << "clamped to the zone";
}

TEST(Interpreter, BadZoneContourAndControlValueAreFaults) {
    Machine m;
    m.Points({{0, 0}, {10, 0}}, {1});
    const char *programs[] = {"PUSHB 5 SHZ[0]", "PUSHB 3 SHC[0]", "PUSHB 0 200 MIAP[1]",
                              "PUSHB 1 200 MIRP[00100]", "PUSHB 99 MDAP[0]"};
    for (const char *p : programs) {
        EXPECT_TRUE(m.Run(p).empty()) << p;
        EXPECT_NE(0, m.G().InternalError) << p;
    }
    EXPECT_EQ((XY{10, 0}), m.At(1));
}

// ---------------------------------------------------------- functions, flow

// INSTCTRL takes a selector and a value and ends nothing (mend 4).
TEST(Interpreter, InstctrlInsideAFunctionEndsNothing) {
    Machine m;
    EXPECT_EQ((std::vector<int32_t>{9, 7}),
              m.Run("PUSHB 0 FDEF PUSHB 1 1 INSTCTRL PUSHB 9 ENDF  PUSHB 0 CALL PUSHB 7",
                    kControlValueProgram));
    EXPECT_EQ(1, m.G().Gsv.instruct_Control);
}

TEST(Interpreter, LoopcallRunsItsCount) {
    Machine m;
    EXPECT_EQ((std::vector<int32_t>{1, 1, 1}),
              m.Run("PUSHB 2 FDEF PUSHB 1 ENDF  PUSHB 3 2 LOOPCALL", kControlValueProgram));
}

TEST(Interpreter, GlyphProgramsMayNotDefineFunctions) {
    Machine m;
    EXPECT_TRUE(m.Run("PUSHB 4 FDEF PUSHB 1 ENDF  PUSHB 4 CALL").empty());
    EXPECT_EQ(nullptr, m.G().FunctDef[4].Start);
    EXPECT_EQ(1, m.G().InternalError);
}

// A function that calls itself nests as deep as the limit allows: 63 calls
// below the program, 32 in the faithful mode.
TEST(Interpreter, CallDepthIsLimited) {
    for (bool faithful : {false, true}) {
        Machine m;
        m.Faithful(faithful);
        m.Run("PUSHB 0 FDEF PUSHB 0 0 RS PUSHB 1 ADD WS PUSHB 0 CALL ENDF  PUSHB 0 CALL",
              kControlValueProgram);
        EXPECT_EQ(faithful ? 32 : 63, m.G().Storage[0]);
    }
}

// Programs that would never end stop on the budget or the call depth.
TEST(Interpreter, EndlessProgramsStop) {
    Machine m;
    const char *programs[] = {
        "PUSHW 0  PUSHW -3 JMPR",  // jumps back to the push before it, forever
        "PUSHB 0 FDEF ENDF  PUSHB 64 0 DIV  PUSHB 0 LOOPCALL",  // 2^31 calls
        "PUSHB 0 FDEF PUSHB 1 CALL ENDF  PUSHB 1 FDEF PUSHB 0 CALL ENDF  PUSHB 0 CALL",
    };
    for (const char *p : programs) {
        m.Run(p, kControlValueProgram);
        EXPECT_EQ(1, m.G().InternalError) << p;
    }
}

// Vectors a program sets from the stack without normalising them, and lines
// that hardly cross, give results beyond 32 bits: they saturate, in both
// modes (the sanitizers report any overflow on the way).
TEST(Interpreter, ExtremeVectorsAndNearParallelLinesSaturate) {
    // INT32_MIN, built from 16-bit pushes by 26.6 multiplications.
    const std::string kMin = "PUSHW -32768 4096 MUL PUSHW 16384 MUL PUSHW 256 MUL ";
    for (bool faithful : {false, true}) {
        Machine m;
        m.Faithful(faithful);
        m.Points({{-2000000000, -2000000000}, {100, 100}}, {1});
        m.Run(kMin + "DUP " + kMin + "DUP SPVFS SFVFS PUSHB 0 1 MD PUSHB 0 MDAP[0]");
        const XY p = m.At(0);
        EXPECT_TRUE(p.x >= INT32_MIN && p.y <= INT32_MAX) << faithful;

        // Two lines 2^31 units apart that differ in slope by 1 in 10^9.
        m.Points({{-2000000000, 0}, {2000000000, 1}, {-2000000000, 2000000000},
                  {2000000000, 2000000000}, {5, 5}},
                 {4});
        m.Run("PUSHB 4 2 3 0 1 ISECT");
        const XY q = m.At(4);
        EXPECT_FALSE(q.x == INT32_MIN && q.y == INT32_MIN) << faithful;
    }
}

// Counts the instructions a glyph's programs execute.
struct InstructionCounter : InsTracer {
    long glyphLevel = 0;
    void Instruction(int program, int32_t, uint8_t, const int32_t *, int, int) override {
        if (program == kGlyphProgram || program == kComponentProgram) ++glyphLevel;
    }
};

// Programs that never end cost each GetBitmap a bounded number of
// instructions, glyph and components together, growing with the glyph: a
// composite of many looping components gets no fresh budget per component.
// A control-value program that runs out switches glyph programs off.
TEST(Interpreter, EndlessGlyphProgramsShareOneBudgetPerGlyph) {
    const Bytes loop = Assemble("PUSHW 0  PUSHW -3 JMPR");
    for (bool faithful : {false, true}) {
        FontBuilder font = Machine::Base();
        font.AddGlyph(Glyph::Simple({{{0, 0}, {0, 64}, {64, 64}}}, loop));
        std::vector<Component> copies(200, Component{1, 0, 0});
        font.AddGlyph(Glyph::Composite(copies, loop));
        Machine m(font);
        ASSERT_TRUE(m.ok());
        m.Faithful(faithful);
        m.F()->csDesired = csGlyphNumber;
        ASSERT_EQ(0, InitBuffers(m.F(), 12, 72));
        InstructionCounter count;
        m.G().Tracer = &count;
        TTF2BitMap(m.F(), &m.G(), 2);
        // The floor, and per program its length (8 bytes) and the points it
        // sees: each component its 3 and 4 phantom points, the composite all
        // 600 and its own 4.
        const long bound =
            kGlyphBudgetFloor + kBudgetPerByteOrPoint * (200L * (8 + 7) + 8 + 604) + 2000;
        EXPECT_GT(count.glyphLevel, kGlyphBudgetFloor / 2) << faithful;
        EXPECT_LT(count.glyphLevel, bound) << faithful;
        m.G().Tracer = nullptr;
    }

    FontBuilder endless = Machine::Base();
    endless.Prep(loop).AddGlyph(Glyph::Simple({{{0, 0}, {0, 64}, {64, 64}}}, Assemble("PUSHB 1")));
    Machine m(endless);
    ASSERT_TRUE(m.ok());
    m.F()->csDesired = csGlyphNumber;
    ASSERT_EQ(0, InitBuffers(m.F(), 12, 72));
    EXPECT_EQ(kSizeProgramFailed, m.G().ProgramsFailed);
    InstructionCounter count;
    m.G().Tracer = &count;
    TTF2BitMap(m.F(), &m.G(), 1);
    EXPECT_EQ(0, count.glyphLevel);
    m.G().Tracer = nullptr;

    // A fatal error (a division by zero) stops a faithful control-value
    // program and with it the glyph programs; the classic mode goes on.
    FontBuilder failing = Machine::Base();
    failing.Prep(Assemble("PUSHB 64 0 DIV")).AddGlyph(Glyph::Simple({{{0, 0}, {0, 64}, {64, 64}}}));
    Machine f(failing);
    ASSERT_TRUE(f.ok());
    for (bool faithful : {false, true}) {
        f.Faithful(faithful);
        ASSERT_EQ(0, InitBuffers(f.F(), 12, 72));
        EXPECT_EQ(faithful ? kSizeProgramFailed : 0, f.G().ProgramsFailed) << faithful;
    }
}

// ------------------------------------------- the mends, in both modes

// A program on a few points and what it leaves: the stack, or one point's
// x.  The mends hold in both modes.
struct PointCase {
    const char *program;
    std::vector<XY> points;
    int point;      // the point whose x is checked, -1 for the stack alone
    int32_t x;      // its x (or the top of the stack)
    int kind;       // the kind of program
};

const PointCase kMendCases[] = {
    // Mend 1: IUP on a contour whose only touched point is its first shifts
    // the others by its movement.
    {"PUSHB 0 MDAP[1] IUP[1]", {{20, 0}, {100, 0}, {100, 100}, {0, 100}}, 1, 80, kGlyphProgram},
    {"PUSHB 0 MDAP[1] IUP[1]", {{20, 0}, {100, 0}, {100, 100}, {0, 100}}, 3, -20, kGlyphProgram},
    {"PUSHB 0 200 SHPIX IUP[1]", {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, 2, 300,
     kGlyphProgram},
    {"SVTCA[0] PUSHB 0 70 SHPIX IUP[0]", {{0, 0}, {100, 10}, {100, 100}, {0, 100}}, 1, 100,
     kGlyphProgram},
    // Mend 3: f . p below 1/16 counts as 1 (the move would be -2931).
    {"PUSHW 1000 16353 SPVFS SFVTCA[1] PUSHB 0 20 SCFS", {{100, 200}}, 0, -85, kGlyphProgram},
    // Mend 4: INSTCTRL takes a selector and a value and ends nothing.
    {"PUSHB 1 1 INSTCTRL PUSHB 7", {}, -1, 7, kControlValueProgram},
    {"PUSHB 2 2 INSTCTRL PUSHB 8", {}, -1, 8, kControlValueProgram},
};

TEST(Interpreter, MendsHoldInBothModes) {
    Machine m;
    ASSERT_TRUE(m.ok());
    for (bool faithful : {false, true}) {
        for (const PointCase &c : kMendCases) {
            m.Faithful(faithful);
            m.Points(c.points, {int16_t(c.points.empty() ? 0 : c.points.size() - 1)});
            const std::vector<int32_t> stack = m.Run(c.program, c.kind);
            // The faithful mode rounds f . p products: one unit nearer.
            const int32_t x = (faithful && c.x == -85) ? -86 : c.x;
            if (c.point < 0) {
                ASSERT_FALSE(stack.empty()) << c.program;
                EXPECT_EQ(x, stack.back()) << c.program << (faithful ? " faithful" : "");
            } else {
                EXPECT_EQ(x, m.At(c.point).x) << c.program << (faithful ? " faithful" : "");
            }
        }
    }
}

TEST(Interpreter, InstctrlSetsAndClearsItsFlag) {
    Machine m;
    for (bool faithful : {false, true}) {
        m.Faithful(faithful);
        m.Run("PUSHB 2 2 INSTCTRL PUSHB 1 1 INSTCTRL PUSHB 0 2 INSTCTRL", kControlValueProgram);
        EXPECT_EQ(1, m.G().Gsv.instruct_Control);
        EXPECT_EQ(0, m.G().InternalError);
        // A value that is not the selector's flag, or a selector past 3,
        // changes nothing.
        m.Run("PUSHB 1 1 INSTCTRL PUSHB 3 1 INSTCTRL", kControlValueProgram);
        EXPECT_EQ(1, m.G().Gsv.instruct_Control);
        EXPECT_EQ(1, m.G().InternalError);
        m.Run("PUSHB 4 4 INSTCTRL", kControlValueProgram);
        EXPECT_EQ(0, m.G().Gsv.instruct_Control);
        EXPECT_EQ(1, m.G().InternalError);
    }
}

// ------------------------------- what the faithful mode does differently

// Programs whose result the two modes disagree on: the classic mode by the
// library's own rules, the faithful mode as the TrueType instruction set
// (and FreeType's interpreter) has it.
struct ModeCase {
    const char *program;
    std::vector<int32_t> classic, faithful;  // the stacks left
};

const ModeCase kModeStackCases[] = {
    // Negative values are rounded as their magnitude, then negated.
    {"PUSHW -32 ROUND[00]", {0}, {-64}},
    {"RDTG PUSHW -1 ROUND[00]", {-64}, {0}},
    {"RUTG PUSHW -1 ROUND[00]", {0}, {-64}},
    {"RTHG PUSHW -64 ROUND[00]", {-32}, {-96}},
    {"RTDG PUSHW -16 ROUND[00]", {0}, {-32}},
    // A result of the wrong sign becomes the phase, not the minimum distance.
    {"PUSHB 65 SROUND PUSHB 10 ROUND[00]", {64}, {0}},
    // Period code 3 is one pixel, not four.
    {"PUSHB 200 SROUND PUSHB 100 ROUND[00]", {0}, {128}},
    // Period 64, phase 48, threshold -24: -10 would round to +16.
    {"PUSHB 113 SROUND PUSHW -10 ROUND[00]", {-80}, {-48}},
    {"PUSHB 113 SROUND PUSHB 10 ROUND[00]", {64}, {48}},
    // S45ROUND rounds to multiples of 45/64 pixel without rescaling.
    {"PUSHB 72 S45ROUND PUSHB 30 ROUND[00]", {22}, {45}},
    {"PUSHW -100 PUSHB 97 MUL", {-151}, {-152}},
    {"RTHG PUSHB 96 ODD PUSHB 96 EVEN", {1, 0}, {0, 0}},
    {"PUSHB 1 GETINFO PUSHB 6 GETINFO", {1, 0}, {35, 0}},
    {"$4C", {}, {9}},  // MPS: the ppem
    // Fatal errors end the faithful program.
    {"PUSHB 1 0 DIV PUSHB 5", {0x7FFFFFFF, 5}, {}},
    {"$28 PUSHB 5", {5}, {}},
    {"PUSHB 9 CALL PUSHB 5", {5}, {}},
    {"PUSHB 1 PUSHW -1 SLOOP PUSHB 5", {1, 5}, {1}},
    {"PUSHB 7 SDS PUSHB 5", {5}, {}},
    {"PUSHB 40 9 CINDEX", {40}, {40, 0}},
    // JROT and JROF jump back too.
    {"PUSHB 5 PUSHB 1 SUB DUP PUSHW -8 SWAP JROT", {4}, {0}},
    {"PUSHB 5 PUSHB 1 SUB DUP PUSHW -8 SWAP NOT JROF", {4}, {0}},
    // Vectors: normalised, counter-clockwise, coincident points give x.
    {"PUSHW 3 4 SPVFS GPV", {3, 4}, {9830, 13107}},
    {"PUSHB 1 0 SPVTL[1] GPV", {0, -16384}, {0, 16384}},
    {"PUSHB 3 3 SPVTL[0] GPV", {0, 0}, {16384, 0}},
    {"PUSHB 2 0 SDPVTL[0] GPV", {16384, 0}, {11585, 11585}},
    // MD: 0x49 measures current positions, 0x4A original ones.
    {"PUSHB 1 36 SHPIX PUSHB 0 1 MD[0] PUSHB 0 1 MD[1]", {-100, -136}, {-136, -100}},
    // GC of a point outside the zone.
    {"PUSHB 99 GC[0]", {0}, {0}},
};

const PointCase kModePointCases[] = {
    // The DELTA step is 1/2^delta_shift pixel.
    {"PUSHB 7 0 1 DELTAP1", {{0, 0}}, 0, -4, kGlyphProgram},
    // SHP touches the point: IUP leaves it where SHP put it.
    {"PUSHB 0 64 SHPIX PUSHB 0 SRP2 PUSHB 1 SHP[0] IUP[1]",
     {{0, 0}, {100, 0}, {200, 0}, {300, 0}}, 1, 228, kGlyphProgram},
    // IP with a zero original range keeps the original distance from rp1.
    {"PUSHB 0 SRP1 PUSHB 2 SRP2 PUSHB 2 30 SHPIX PUSHB 0 30 SHPIX PUSHB 1 IP",
     {{0, 0}, {50, 0}, {0, 0}}, 1, 50, kGlyphProgram},
    // IP with rp1 and rp2 at one current position: the classic mode
    // leaves the point, the faithful one puts it there too.
    {"PUSHB 2 PUSHW -100 SHPIX PUSHB 0 SRP1 PUSHB 2 SRP2 PUSHB 1 IP",
     {{0, 0}, {50, 0}, {100, 0}}, 1, 50, kGlyphProgram},
    // IP without a truncated ratio.
    {"PUSHB 2 61 SHPIX PUSHB 0 SRP1 PUSHB 2 SRP2 PUSHB 1 IP", {{0, 0}, {2, 0}, {3, 0}}, 1, 42,
     kGlyphProgram},
    // MIAP measures the cut-in from the current position, without auto-flip.
    {"PUSHB 0 200 SHPIX PUSHB 0 0 MIAP[1]", {{10, 0}}, 0, 64, kGlyphProgram},
    {"PUSHB 0 0 MIAP[1]", {{-20, 0}}, 0, -64, kGlyphProgram},
    // MIRP uses its control value without the round bit.
    {"PUSHB 1 0 MIRP[00000]", {{0, 0}, {70, 0}}, 1, 70, kGlyphProgram},
    // MIRP's cut-in only within one zone.
    {"PUSHB 0 SZP0 PUSHB 0 SRP0 PUSHB 1 0 MIRP[00100]", {{0, 0}, {200, 0}}, 1, 192,
     kGlyphProgram},
    // MSIRP sets rp2, which SHP then follows.
    {"PUSHB 1 130 MSIRP[0] PUSHB 2 SHP[0]", {{0, 0}, {100, 0}, {200, 0}}, 2, 200,
     kGlyphProgram},
    // ALIGNPTS moves each point by half the distance, truncated.
    {"PUSHB 1 0 ALIGNPTS", {{0, 0}, {65, 0}}, 0, 33, kGlyphProgram},
    // FLIPRGON past the zone changes nothing.
    {"PUSHB 0 2 FLIPRGOFF PUSHW 1 300 FLIPRGON", {{0, 0}, {65, 0}, {9, 9}}, -1, 0, kGlyphProgram},
};

// The faithful mode's answers to kModePointCases, in order.
const int32_t kModePointFaithful[] = {-8, 164, 80, 0, 43, 192, 0, 64, 64, 230, 32, 0};

// SHZ shifts the outline's points, not those past its last contour (where
// the loader puts the phantom points); nor does it touch them.
TEST(Interpreter, FaithfulShzLeavesThePointsPastTheOutline) {
    Machine m;
    m.Faithful(true);
    m.Points({{0, 0}, {10, 0}, {20, 0}, {30, 0}, {40, 0}, {50, 0}}, {3});
    m.G().ZonePoints[1] = 6;
    m.Run("PUSHB 0 20 SHPIX PUSHB 0 SRP2 PUSHB 1 SHZ[0]");
    EXPECT_EQ((XY{30, 0}), m.At(1));
    EXPECT_EQ((XY{50, 0}), m.At(3));
    EXPECT_EQ((XY{40, 0}), m.At(4)) << "past the outline";
    EXPECT_EQ(0, m.G().Zone1[1].Flags & kTouchedX);
}

// Glyph programs in the faithful mode start from the control values and
// storage the control-value program left, whatever a glyph drawn before
// wrote; the classic mode keeps such writes for the size.
TEST(Interpreter, FaithfulGlyphProgramsDoNotSeeEarlierGlyphsWrites) {
    FontBuilder font = Machine::Base();
    font.Cvt({1000, 0, 0, 0, 0, 0, 0, 0})
        .Prep(Assemble("PUSHB 3 5 WS"))
        .AddGlyph(Glyph::Simple({{{0, 0}, {0, 500}, {500, 0}}},
                                Assemble("PUSHB 0 0 WCVTP PUSHB 3 9 WS")))
        .AddGlyph(Glyph::Simple({{{0, 0}, {0, 500}, {500, 0}}},
                                Assemble("PUSHB 0 0 MIAP[0] PUSHB 1 PUSHB 3 RS SHPIX")));
    Machine m(font);
    ASSERT_TRUE(m.ok());
    m.F()->csDesired = csGlyphNumber;
    for (bool faithful : {false, true}) {
        m.Faithful(faithful);
        ASSERT_EQ(0, InitBuffers(m.F(), 9, 72));
        const int32_t cvt = m.G().lControlTable[0];
        TTF2BitMap(m.F(), &m.G(), 1);
        TTF2BitMap(m.F(), &m.G(), 2);
        const TTFCoord *z = m.G().Zone1;
        EXPECT_EQ(faithful ? cvt : 0, z[0].Cur.x) << (faithful ? "faithful" : "classic");
        EXPECT_EQ(z[1].Orig.x + (faithful ? 5 : 9), z[1].Cur.x);
    }
}

TEST(Interpreter, ModesDifferWhereTheyShould) {
    Machine m;
    ASSERT_TRUE(m.ok());
    m.Cvt(0, 64);
    m.Points({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, {3});
    for (const ModeCase &c : kModeStackCases) {
        for (bool faithful : {false, true}) {
            m.Faithful(faithful);
            m.Points({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, {3});
            EXPECT_EQ(faithful ? c.faithful : c.classic, m.Run(c.program))
                << c.program << (faithful ? " faithful" : "");
        }
    }
    static_assert(sizeof kModePointFaithful / sizeof kModePointFaithful[0] ==
                      sizeof kModePointCases / sizeof kModePointCases[0],
                  "one faithful answer per case");
    for (size_t i = 0; i < sizeof kModePointCases / sizeof kModePointCases[0]; ++i) {
        const PointCase &c = kModePointCases[i];
        for (bool faithful : {false, true}) {
            m.Faithful(faithful);
            m.Points(c.points, {int16_t(c.points.size() - 1)});
            const std::vector<int32_t> stack = m.Run(c.program, c.kind);
            const int32_t expected = faithful ? kModePointFaithful[i] : c.x;
            if (c.point < 0) {
                EXPECT_EQ(0, m.G().Zone1[0].Flags & kOnCurve) << c.program;
                EXPECT_EQ(faithful ? 0 : kOnCurve, m.G().Zone1[2].Flags & kOnCurve) << c.program;
            } else {
                EXPECT_EQ(expected, m.At(c.point).x) << c.program << (faithful ? " faithful" : "");
            }
        }
    }
}

// The interpreter keeps its own copy of the mode, which the options setter
// alone changes: a change of mode runs the control-value program again in
// the new mode, a change of other options leaves the mode as it was, and
// glyph programs run in the mode last set.  GETINFO tells the modes apart
// (version 1 classic, 35 faithful).
TEST(Interpreter, ProgramsRanInAModeTheOptionsNoLongerSet) {
    FontBuilder font = Machine::Base();
    font.Prep(Assemble("PUSHB 1 1 GETINFO WS"));
    Machine m(font);
    ASSERT_TRUE(m.ok());
    struct Change {
        int32_t options;
        int32_t version;
    };
    const Change changes[] = {
        {kFaithful, 35}, {kFaithful | kNoHinting, 35}, {0, 1}, {kNoHinting, 1}, {kFaithful, 35},
    };
    for (const Change &c : changes) {
        ChangeRenderOptions(m.F(), c.options);
        EXPECT_EQ(c.version, m.G().Storage[1]) << "control-value program, options " << c.options;
        EXPECT_EQ(std::vector<int32_t>{c.version}, m.Run("PUSHB 1 GETINFO"))
            << "glyph program, options " << c.options;
    }
}

// The single width and WCVTF are font units, scaled with the rounded
// 16.16 scale in the faithful mode (9 ppem, 1000 units per em: 0.576).
TEST(Interpreter, FaithfulScalesFontUnitsRounded) {
    Machine m;
    m.Faithful(false);
    m.Run("PUSHB 64 SSW PUSHB 0 3 WCVTF");
    EXPECT_EQ(64, m.G().Gsv.single_width_value);
    EXPECT_EQ(1, m.G().lControlTable[0]);
    m.Faithful(true);
    m.Run("PUSHB 64 SSW PUSHB 0 3 WCVTF");
    EXPECT_EQ(37, m.G().Gsv.single_width_value);
    EXPECT_EQ(2, m.G().lControlTable[0]);
}

// A font whose maxp asks for instruction definitions is refused by the
// classic mode; sized for the faithful mode, its IDEFs give unassigned
// opcodes a body, and an unassigned opcode without one ends the program.
TEST(Interpreter, FaithfulInstructionDefinitions) {
    Machine m;
    ASSERT_TRUE(m.ok());
    _TTFont *pF = m.F();
    pF->leMaximumProfile.maxInstructionDefs = 1;
    FreeInsMemory(&m.G());
    EXPECT_EQ(kInsMemoryInstructionDefs, InitInsMemory(pF, &m.G()));
    FreeInsMemory(&m.G());
    m.Faithful(true);
    ASSERT_EQ(0, InitInsMemory(pF, &m.G()));
    m.G().ZonePoints[0] = int16_t(pF->leMaximumProfile.maxTwilightPoints);
    ResetTTF(&m.G());
    m.Run("PUSHB 145 IDEF PUSHB 3 4 ADD ENDF", kFontProgram);  // defines 0x91
    EXPECT_EQ((std::vector<int32_t>{7, 7}), m.Run("$91 $91"));
    EXPECT_EQ((std::vector<int32_t>{1}), m.Run("PUSHB 1 $92 PUSHB 2"));
    EXPECT_EQ((std::vector<int32_t>{}), m.Run("PUSHB 146 IDEF PUSHB 5 ENDF PUSHB 6"))
        << "no definitions in glyph programs";
}

// Opened past the classic limits, the classic mode keeps definitions too;
// without room for them IDEF and the unassigned opcodes stay faults.
TEST(Interpreter, ClassicInstructionDefinitionsPastTheLimits) {
    Machine m;
    ASSERT_TRUE(m.ok());
    _TTFont *pF = m.F();
    EXPECT_EQ(nullptr, m.G().InsDef);
    m.Run("PUSHB 145 IDEF PUSHB 3 4 ADD ENDF", kFontProgram);
    EXPECT_NE(0, m.G().InternalError) << "IDEF without room for definitions";
    EXPECT_EQ((std::vector<int32_t>{}), m.Run("$91"));
    pF->leMaximumProfile.maxInstructionDefs = 1;
    pF->BeyondLimits = 1;
    FreeInsMemory(&m.G());
    ASSERT_EQ(0, InitInsMemory(pF, &m.G()));
    m.G().ZonePoints[0] = int16_t(pF->leMaximumProfile.maxTwilightPoints);
    ResetTTF(&m.G());
    m.Run("PUSHB 145 IDEF PUSHB 3 4 ADD ENDF", kFontProgram);
    EXPECT_EQ((std::vector<int32_t>{7, 7}), m.Run("$91 $91"));
    EXPECT_EQ((std::vector<int32_t>{1}), m.Run("PUSHB 1 $92 PUSHB 2"))
        << "an opcode nobody defined ends the run";
}

// The faithful mode scales the control values as the reference rasterizer
// does: 26.6 values times the rounded 16.16 scale less its low six bits.
// At 9 ppem and 1000 units per em 781 units become 449 (the rounded scale
// would give 450), -3 becomes -2 and 1001 becomes 576.
TEST(Interpreter, FaithfulControlValuesScaleAsTheReferenceDoes) {
    FontBuilder font = Machine::Base();
    font.Cvt({781, -3, 1001, 0, 0, 0, 0, 0});
    Machine m(font);
    ASSERT_TRUE(m.ok());
    m.Faithful(true);
    ASSERT_EQ(0, InitBuffers(m.F(), 9, 72));
    EXPECT_EQ((std::vector<int32_t>{449, -2, 576}),
              std::vector<int32_t>(m.G().lControlTable, m.G().lControlTable + 3));
    m.Faithful(false);
    ASSERT_EQ(0, InitBuffers(m.F(), 9, 72));
    EXPECT_EQ((std::vector<int32_t>{448, -1, 574}),
              std::vector<int32_t>(m.G().lControlTable, m.G().lControlTable + 3));
}

// The faithful mode's glyph programs start from the state the control-value
// program left (vectors, zones, reference points, loop and round state
// reset), unless it asked for the default state or for no glyph programs.
TEST(Interpreter, FaithfulGlyphProgramsSeeTheControlValueProgramsState) {
    struct Row {
        const char *prep;
        int32_t classic, faithful;  // point 1's x after MDRP[01100] from point 0
    };
    const Row rows[] = {
        {"PUSHB 100 SMD RTHG SVTCA[0]", 64, 100},  // minimum distance carried, the rest reset
        {"PUSHB 100 SMD PUSHB 2 2 INSTCTRL", 64, 64},  // the default state asked for
        // no glyph programs: 10 units, scaled with rounding (5.76 -> 6)
        {"PUSHB 100 SMD PUSHB 1 1 INSTCTRL", 64, 6},
    };
    for (const Row &r : rows) {
        FontBuilder font = Machine::Base();
        font.Prep(Assemble(r.prep))
            .AddGlyph(Glyph::Simple({{{0, 0}, {10, 0}, {10, 500}}}, Assemble("PUSHB 1 MDRP[01100]")));
        Machine m(font);
        ASSERT_TRUE(m.ok());
        m.F()->csDesired = csGlyphNumber;
        for (bool faithful : {false, true}) {
            m.Faithful(faithful);
            ASSERT_EQ(0, InitBuffers(m.F(), 9, 72));
            TTF2BitMap(m.F(), &m.G(), 1);
            const TTFCoord &p = m.G().Zone1[1];
            EXPECT_EQ(faithful ? r.faithful : r.classic, p.Cur.x - m.G().Zone1[0].Cur.x)
                << r.prep << (faithful ? " faithful" : "");
        }
    }
}

// ------------------------------------------------ through the real font path

// Records faults with their program and opcode.
struct FaultLog : InsTracer {
    struct Entry {
        int program;
        uint8_t opcode;
        int code;
    };
    std::vector<Entry> faults;
    void Fault(int program, uint8_t opcode, int code) override {
        faults.push_back({program, opcode, code});
    }
};

TEST(Interpreter, StateLivesAsLongAsItShould) {
    // The font program defines a function that shifts point 0 by storage
    // slot 1, which the control-value program fills.
    FontBuilder font = Machine::Base();
    font.Fpgm(Assemble("PUSHB 0 FDEF PUSHB 0 1 RS SHPIX ENDF"))
        .Prep(Assemble("PUSHB 1 42 WS"))
        .Cvt({1000, 0, 0, 0, 0, 0, 0, 0})
        .AddGlyph(Glyph::Simple({{{0, 0}, {0, 500}, {500, 500}, {500, 0}}},
                                Assemble("PUSHB 0 CALL  PUSHB 0 0 WCVTP")));
    Machine m(font);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(42, m.G().Storage[1]);
    const int32_t scaled = m.G().lControlTable[0];
    EXPECT_EQ(1000 * m.G().Multiplier / 256, scaled);
    _TTFont *pF = m.F();
    pF->csDesired = csGlyphNumber;
    TTF2BitMap(pF, &m.G(), 1);
    EXPECT_EQ(m.G().Zone1[0].Orig.x + 42, m.G().Zone1[0].Cur.x);
    EXPECT_EQ(0, m.G().lControlTable[0]) << "a glyph program's write stays for the size";
    EXPECT_EQ(0, InitBuffers(pF, 9, 72));
    EXPECT_EQ(scaled, m.G().lControlTable[0]) << "rebuilt at the next size";
    EXPECT_EQ(42, m.G().Storage[1]);

    pF->RenderOptions = kNoHinting;
    TTF2BitMap(pF, &m.G(), 1);
    EXPECT_EQ(m.G().Zone1[0].Orig.x, m.G().Zone1[0].Cur.x) << "no glyph program";
}

TEST(Interpreter, ComponentProgramsReachOnlyTheirOwnPoints) {
    // A composite of the same three-point glyph twice, in a six-point zone.
    // The part's program shifts its points 4 and 2.  Point 4 is not the
    // part's: for the first component it would be the second one's point 1,
    // for the second it would lie past the zone.
    FontBuilder font = Machine::Base();
    font.Maxp(&MaxpValues::maxPoints, 6)
        .Maxp(&MaxpValues::maxComponentPoints, 6)
        .AddGlyph(Glyph::Simple({{{0, 0}, {0, 500}, {500, 0}}},
                                Assemble("PUSHB 4 64 SHPIX  PUSHB 2 64 SHPIX")))
        .AddGlyph(Glyph::Composite({{1, 0, 0}, {1, 100, 0}}));
    Machine m(font);
    ASSERT_TRUE(m.ok());
    FaultLog log;
    m.G().Tracer = &log;
    m.F()->csDesired = csGlyphNumber;
    TTF2BitMap(m.F(), &m.G(), 2);
    m.G().Tracer = nullptr;
    ASSERT_EQ(2u, log.faults.size());
    for (const FaultLog::Entry &f : log.faults) {
        EXPECT_EQ(kComponentProgram, f.program);
        EXPECT_EQ(0x38, f.opcode);
        EXPECT_EQ(kFaultPoint, f.code);
    }
    const TTFCoord *z = m.G().Zone1;
    EXPECT_EQ(z[2].Orig.x + 64, z[2].Cur.x) << "the first component's point 2";
    EXPECT_EQ(z[4].Orig.x, z[4].Cur.x) << "the second component's point 1 stays";
    EXPECT_EQ(z[5].Orig.x + 64, z[5].Cur.x) << "the second component's point 2";
    EXPECT_EQ(6, m.G().ZonePoints[1]) << "the whole zone again afterwards";
}

// A glyph program reaches only the glyph's points: a number past them is a
// fault, not a point left behind by the glyph drawn before.
TEST(Interpreter, GlyphProgramsReachOnlyTheGlyphsPoints) {
    FontBuilder font = Machine::Base();
    font.AddGlyph(Glyph::Simple({{{0, 0}, {0, 500}, {500, 500}, {500, 0}, {250, 250}}}))
        .AddGlyph(Glyph::Simple({{{0, 0}, {0, 500}, {500, 0}}},
                                Assemble("PUSHB 4 MDAP[1]  PUSHB 3 64 SHPIX")));
    Machine m(font);
    ASSERT_TRUE(m.ok());
    m.F()->csDesired = csGlyphNumber;
    FaultLog log;
    m.G().Tracer = &log;
    TTF2BitMap(m.F(), &m.G(), 1);
    TTF2BitMap(m.F(), &m.G(), 2);
    m.G().Tracer = nullptr;
    ASSERT_EQ(2u, log.faults.size());
    EXPECT_EQ(0x2F, log.faults[0].opcode);
    EXPECT_EQ(0x38, log.faults[1].opcode);
}

}  // namespace

namespace {

// Random bytecode, biased toward real instructions with small operands,
// run as every kind of program with and without a tracer: whatever it
// does, it stays inside the interpreter's buffers (the sanitizers watch)
// and ends.
TEST(Interpreter, RandomBytecodeStaysInside) {
    Machine m;
    ASSERT_TRUE(m.ok());
    InsTracer quiet;
    Lcg next{12345u};
    for (int round = 0; round < 3000; ++round) {
        m.Points({{0, 0}, {64, 0}, {64, 64}, {0, 64}, {10, 20}, {30, 40}}, {3, 5});
        std::vector<uint8_t> code;
        const int length = 1 + int(next() % 64);
        for (int i = 0; i < length; ++i) {
            // Small pushes keep point numbers, zones and counts plausible.
            if (next() % 3 == 0) {
                code.push_back(0xB0);
                code.push_back(uint8_t(next() % 12));
            } else {
                code.push_back(uint8_t(next()));
            }
        }
        m.G().Tracer = (round % 2) ? &quiet : nullptr;
        m.RunBytes(code, round % 4);
        m.G().Tracer = nullptr;
        ASSERT_GE(m.G().lpStack, m.G().Stack);
    }
}

}  // namespace
