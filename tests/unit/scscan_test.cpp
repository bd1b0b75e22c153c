#include "ttf/raster/scscan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <string>
#include <vector>

#include "raster_canvas.h"

using namespace kelmor;
using kelmor_test::Canvas;
using kelmor_test::Pt;
using kelmor_test::Px;

namespace {

struct Crossing {
    int64_t x;
    bool upward;
    bool operator==(const Crossing &o) const { return x == o.x && upward == o.upward; }
};

std::vector<Crossing> Decode(const std::vector<int32_t> &slots) {
    std::vector<Crossing> out;
    for (int32_t s : slots) out.push_back({CrossingX(s), CrossingUpward(s)});
    return out;
}

void Edge(Canvas &c, Pt from, Pt to) {
    AddLineSeg(&c.S, from.first, from.second, 1);
    AddLineSeg(&c.S, to.first, to.second, 0);
}

TEST(ScanSlots, KeepXAndDirectionApartForAnyX) {
    for (int64_t x : {int64_t(0), int64_t(1), int64_t(640), int64_t(32767), int64_t(32768),
                      int64_t(-1), int64_t(-40000), int64_t(1) << 28}) {
        for (bool up : {false, true}) {
            const int32_t slot = EncodeCrossing(x, up);
            EXPECT_NE(0, slot) << x;  // never mistaken for an empty slot
            EXPECT_EQ(x, CrossingX(slot));
            EXPECT_EQ(up, CrossingUpward(slot));
        }
    }
    // Sorting looks at x only.
    EXPECT_EQ(0, LineComp(EncodeCrossing(640, true), EncodeCrossing(640, false)));
    EXPECT_LT(LineComp(EncodeCrossing(-64, true), EncodeCrossing(640, false)), 0);
    EXPECT_GT(LineComp(EncodeCrossing(40000, false), EncodeCrossing(640, true)), 0);
}

TEST(ScanBuffer, SizeLimitAllowsAtMost405PixelRows) {
    ScanInfo s{};
    EXPECT_NE(nullptr, InitScanBuffer(&s, 2 * 405 + 1, MaxTransitions));
    EXPECT_EQ(64880, s.ScanSize);
    EXPECT_EQ(nullptr, InitScanBuffer(&s, 2 * 406 + 1, MaxTransitions));
    EXPECT_EQ(nullptr, s.ScanBuffer);
    EXPECT_EQ(0u, s.ScanLines);  // nothing left that would index a missing buffer
    EXPECT_EQ(nullptr, InitScanBuffer(&s, 0x40000000u, 0x40000000u));  // product wraps 32 bits
    ZapScanBuffer(&s);
    _GlyphBitMap bm{};
    MakeBitMap(&s, &bm);
    FreeScanBuffer(&s);
    FreeScanBuffer(&s);
}

TEST(ScanBuffer, WithoutABufferEdgesAreIgnored) {
    ScanInfo s{};
    AddLineSeg(&s, 0, 0, 1);
    xEnd = 123;
    yEnd = 45;
    AddLineSeg(&s, 640, 640, 0);
    EXPECT_EQ(123, xEnd);  // the current point is not moved either
    EXPECT_EQ(45, yEnd);
}

// Clearing visits only the rows that took crossings; it must still leave
// every row empty, glyph after glyph, wherever the outlines fell.
TEST(ScanBuffer, ClearingLeavesEveryRowEmpty) {
    Canvas c(0, 0, 10, 40);
    const std::vector<std::pair<int, int>> spans = {{30, 38}, {2, 5}, {10, 35}, {0, 1}};
    for (const auto &[low, high] : spans) {
        Edge(c, {Px(1), Px(low)}, {Px(1), Px(high)});
        EXPECT_FALSE(c.Row(uint32_t(low)).empty()) << low;
        ZapScanBuffer(&c.S);
        for (uint32_t r = 0; r < c.S.ScanLines; ++r)
            ASSERT_TRUE(c.Row(r).empty()) << low << " " << r;
    }
}

TEST(EdgeRecorder, InterpolatesTheFirstCrossingAndStepsTheRest) {
    Canvas c(0, 0, 10, 10);
    Edge(c, {100, 40}, {300, 300});
    EXPECT_TRUE(c.Row(0).empty());
    for (uint32_t row = 1; row <= 4; ++row) {
        const int64_t expected[] = {0, 143, 192, 241, 290};
        EXPECT_EQ((std::vector<Crossing>{{expected[row], true}}), Decode(c.Row(row)));
    }
    EXPECT_TRUE(c.Row(5).empty());
    // Back down along the same line: the same rows, downward.
    AddLineSeg(&c.S, 100, 40, 0);
    EXPECT_EQ(2u, c.Row(1).size());
    EXPECT_FALSE(CrossingUpward(c.Row(1)[1]));
}

// Both the interpolated first crossing and the step are rounded to the
// nearest 1/64, halves away from the start; truncating either moves these
// crossings by one.
TEST(EdgeRecorder, FirstCrossingAndStepAreRounded) {
    struct Case {
        Pt from, to;
        std::vector<int64_t> crossings;  // rows 0, 1, ...
    } cases[] = {
        // 16 * 10 / 64 = 2.5 at row 0's centre
        {{0, 16}, {10, 80}, {3}},
        // 1.25 at row 0's centre, then a step of 64 * 3 / 128 = 1.5
        {{0, 0}, {3, 128}, {1, 3}},
    };
    for (const Case &k : cases) {
        Canvas c(0, 0, 4, 4);
        Edge(c, k.from, k.to);
        for (size_t row = 0; row < k.crossings.size(); ++row)
            EXPECT_EQ((std::vector<Crossing>{{k.crossings[row], true}}),
                      Decode(c.Row(uint32_t(row))))
                << "row " << row << " of the edge to x " << k.to.first;
    }
}

TEST(EdgeRecorder, MovesAVertexOffARowCentre) {
    Canvas c(0, 0, 4, 4);
    // Up through a vertex lying exactly on row 0's centre: one crossing.
    c.Polygon({{0, 0}, {Px(1), 32}, {Px(2), Px(2)}, {Px(3), 0}});
    EXPECT_EQ(2u, c.Row(0).size());  // one on the way up, one on the way down
    AddLineSeg(&c.S, 0, Px(2) + 32, 1);
    EXPECT_EQ(Px(2) + 33, yEnd);
}

TEST(EdgeRecorder, FlatAndNearlyFlatEdgesRecordLittle) {
    Canvas c(0, 0, 4, 4);
    Edge(c, {0, 40}, {Px(3), 40});  // horizontal
    Edge(c, {0, 30}, {Px(3), 31});  // |dy| = 1 below a centre
    for (uint32_t r = 0; r < c.S.ScanLines; ++r) EXPECT_TRUE(c.Row(r).empty()) << r;
    Edge(c, {0, 31}, {Px(3), 32});  // ends on the centre: nudged, crosses once
    EXPECT_EQ(1u, c.Row(0).size());
}

// Every row centre strictly between an edge's ends (after a vertex on a
// centre is nudged up) gets exactly one crossing in its own row, in the
// edge's direction, and no other row gets one: ends on, beside and between
// centres, up and down, short and long.
TEST(EdgeRecorder, CrossesEveryCentreBetweenItsEndsAndNoOther) {
    const int32_t ys[] = {0, 1, 31, 32, 33, 63, 64, 65, 95, 96, 97, 150, 160, 223, 224, 256};
    const auto nudged = [](int32_t y) { return (y & 63) == 32 ? y + 1 : y; };
    for (int32_t from : ys) {
        for (int32_t to : ys) {
            Canvas c(0, 0, 4, 4);
            Edge(c, {0, from}, {Px(1), to});
            const int32_t lo = std::min(nudged(from), nudged(to));
            const int32_t hi = std::max(nudged(from), nudged(to));
            for (uint32_t row = 0; row < c.S.ScanLines; ++row) {
                const int32_t centre = int32_t(row) * 64 + 32;
                const size_t expected = (lo < centre && centre < hi) ? 1 : 0;
                const std::vector<int32_t> slots = c.Row(row);
                ASSERT_EQ(expected, slots.size()) << from << " -> " << to << ", row " << row;
                if (expected) {
                    EXPECT_EQ(to > from, CrossingUpward(slots[0]));
                }
            }
        }
    }
}

// Flattened arcs arrive as one polyline; it must record exactly what the
// same vertices record edge by edge, and leave the same current point.
TEST(EdgeRecorder, APolylineRecordsWhatItsSegmentsRecord) {
    uint32_t seed = 5;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return int32_t((seed >> 16) % uint32_t(range));
    };
    for (int round = 0; round < 200; ++round) {
        std::vector<_POINT> points(1 + size_t(next(40)));
        for (_POINT &p : points) p = {next(20) - 2, next(20) - 2};  // half pixels, some outside
        Canvas byPolyline(0, 0, 8, 8), bySegments(0, 0, 8, 8);
        AddLineSeg(&byPolyline.S, Px(1), Px(1), 1);
        AddPolyline(&byPolyline.S, points.data(), unsigned(points.size()), 5);
        const std::pair<int32_t, int32_t> polylineEnd{xEnd, yEnd};
        AddLineSeg(&bySegments.S, Px(1), Px(1), 1);
        for (const _POINT &p : points) AddLineSeg(&bySegments.S, p.x * 32, p.y * 32, 0);
        ASSERT_EQ(bySegments.SortedCrossings(), byPolyline.SortedCrossings()) << "round " << round;
        EXPECT_EQ((std::pair<int32_t, int32_t>{xEnd, yEnd}), polylineEnd);
    }
}

TEST(EdgeRecorder, DropsCrossingsPastTheRowCapacity) {
    Canvas c(0, 0, 40, 4);
    for (int i = 0; i < 21; ++i) Edge(c, {Px(i), 0}, {Px(i), Px(2)});
    ASSERT_EQ(MaxTransitions, c.Row(1).size());
    EXPECT_EQ(Px(19), CrossingX(c.Row(1).back()));  // the first twenty were kept
    EXPECT_EQ(1, c.S.OverFlow);
}

TEST(EdgeRecorder, TopRowNeverReceivesCrossings) {
    Canvas c(0, 0, 4, 3);  // rows 0..3; an outline well above the box
    c.Polygon({{Px(1), Px(1)}, {Px(1), Px(9)}, {Px(3), Px(9)}, {Px(3), Px(1)}});
    EXPECT_EQ(2u, c.Row(2).size());
    EXPECT_TRUE(c.Row(3).empty());
    EXPECT_TRUE(c.Row(4).empty());
}

// Row 0 is filled like every other row: glyphs that reach the bottom of the
// font box keep their lowest pixel row.
TEST(EdgeRecorder, BottomRowIsRecorded) {
    Canvas c(0, -2, 4, 3);
    c.Polygon({{Px(1), Px(-2)}, {Px(1), Px(1)}, {Px(3), Px(1)}, {Px(3), Px(-2)}});
    c.Fill();
    EXPECT_EQ((std::vector<std::string>{".....", ".....", ".....", ".##..", ".##..", ".##.."}),
              c.Picture());
}

// Points outside the font box are moved onto its border before the edge is
// recorded: the crossings are those of the outline with its points clamped.
TEST(EdgeRecorder, PointsOutsideTheBoxAreClampedToItsBorder) {
    Canvas outside(0, 0, 12, 8), clamped(0, 0, 12, 8);
    outside.Polygon({{Px(0), Px(-6)}, {Px(9), Px(12)}, {Px(10), Px(-6)}});
    clamped.Polygon({{Px(0), Px(0)}, {Px(9), Px(8)}, {Px(10), Px(0)}});
    EXPECT_EQ(clamped.SortedCrossings(), outside.SortedCrossings());
    EXPECT_FALSE(outside.SortedCrossings()[0].empty());
    EXPECT_TRUE(outside.SortedCrossings()[8].empty()) << "the top row never gets a crossing";
}

TEST(Filler, NonZeroWindingOfNestedContours) {
    const std::vector<Pt> outer = {{Px(0), Px(0)}, {Px(0), Px(6)}, {Px(6), Px(6)}, {Px(6), Px(0)}};
    const std::vector<Pt> innerSame = {{Px(2), Px(2)}, {Px(2), Px(4)}, {Px(4), Px(4)}, {Px(4), Px(2)}};
    const std::vector<Pt> innerOpposite = {{Px(2), Px(2)}, {Px(4), Px(2)}, {Px(4), Px(4)}, {Px(2), Px(4)}};
    Canvas same(0, 0, 7, 7), opposite(0, 0, 7, 7);
    same.Polygon(outer);
    same.Polygon(innerSame);
    same.Fill();
    opposite.Polygon(outer);
    opposite.Polygon(innerOpposite);
    opposite.Fill();
    EXPECT_EQ((std::vector<std::string>{"........", "........", "######..", "######..",
                                        "######..", "######..", "######..", "######.."}),
              same.Picture());
    EXPECT_EQ((std::vector<std::string>{"........", "........", "######..", "######..",
                                        "##..##..", "##..##..", "######..", "######.."}),
              opposite.Picture());
}

// A run covering no pixel centre still shows as one pixel: its start
// column, the first whose centre lies right of the run's start.
TEST(Filler, ThinRunSetsItsStartColumn) {
    Canvas c(0, 0, 15, 3);
    c.Polygon({{678, 0}, {678, Px(1)}, {697, Px(1)}, {697, 0}});                // 10.6 .. 10.9 px
    c.Polygon({{697, Px(1)}, {697, Px(2)}, {730, Px(2)}, {730, Px(1)}});        // 10.9 .. 11.4 px
    c.Polygon({{Px(3.2), 0}, {Px(3.2), Px(2)}, {Px(5.5), Px(2)}, {Px(5.5), 0}});  // centres 3.5, 4.5, 5.5
    c.Fill();
    EXPECT_EQ("...###.....#....", c.Picture()[3]);
    EXPECT_EQ("...###.....#....", c.Picture()[2]);
}

TEST(Filler, InkLeftOfTheOriginOrFarRightIsClipped) {
    Canvas c(-3, 0, 700, 2);  // a box wider than 512 pixels
    c.Polygon({{Px(-5), 0}, {Px(-5), Px(2)}, {Px(2), Px(2)}, {Px(2), 0}});  // straddles x = 0
    c.Polygon({{Px(-9), 0}, {Px(-9), Px(2)}, {Px(-7), Px(2)}, {Px(-7), 0}});  // wholly left
    c.Polygon({{Px(600), 0}, {Px(600), Px(2)}, {Px(800), Px(2)}, {Px(800), 0}});  // to x = 800
    c.Fill();
    EXPECT_EQ("##" + std::string(598, '.') + std::string(104, '#'), c.Picture()[2]);
}

TEST(EdgeRecorder, WildCoordinatesAreSafeAndQuick) {
    Canvas c(0, 0, 20, 20);
    const auto start = std::chrono::steady_clock::now();
    const int32_t wild[] = {INT32_MIN, -1000000000, -1, 0, 1, 1000000000, INT32_MAX};
    for (int32_t x0 : wild)
        for (int32_t y0 : wild)
            for (int32_t y1 : wild) Edge(c, {x0, y0}, {~x0, y1});
    c.Fill();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
