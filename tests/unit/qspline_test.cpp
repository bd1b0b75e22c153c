#include "ttf/raster/qspline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "raster_canvas.h"

using namespace kelmor;
using kelmor_test::Canvas;
using kelmor_test::Pt;
using kelmor_test::Px;

namespace {

// An arc given in the flattener's own units (1/128 pixel), framed the way
// the arc-to-edges step hands it over (26.6 shifted left by 11).
_QS ArcIn128ths(int ax, int ay, int bx, int by, int cx, int cy) {
    auto pt = [](int x, int y) { return _POINTFX{x * 1024, y * 1024}; };
    return _QS{pt(ax, ay), pt(bx, by), pt(cx, cy)};
}

unsigned StepsFor(const _QS &qs) {
    _POINT buffer[kArcPointBuffer];
    unsigned count = 0;
    EXPECT_EQ(0, QSpline2Polyline(buffer, &qs, -1, &count));
    return count;
}

TEST(Flattener, TheWorkedArc) {
    const _QS qs{{0, 0}, {64 << iShift, 128 << iShift}, {128 << iShift, 0}};
    _POINT buffer[kArcPointBuffer];
    unsigned count = 0;
    ASSERT_EQ(0, QSpline2Polyline(buffer, &qs, -1, &count));
    ASSERT_EQ(8u, count);
    const std::vector<std::pair<int, int>> expected = {{0, 0},   {32, 32}, {32, 32}, {64, 64},
                                                       {64, 32}, {96, 32}, {96, 0},  {128, 0}};
    for (unsigned i = 0; i < count; ++i) {
        EXPECT_EQ(expected[i].first, buffer[i].x << jShift) << i;
        EXPECT_EQ(expected[i].second, buffer[i].y << jShift) << i;
    }
}

// Points are rounded to half pixels after a bias of 3/128 pixel: 61/128
// becomes one half pixel, 60/128 none.
TEST(Flattener, HalfPixelRoundingIsBiasedBy3) {
    for (int x : {60, 61}) {
        _POINT buffer[kArcPointBuffer];
        unsigned count = 0;
        const _QS line = ArcIn128ths(0, 0, x, 0, 2 * x, 0);  // two steps, the first at x
        ASSERT_EQ(0, QSpline2Polyline(buffer, &line, -1, &count));
        ASSERT_EQ(2u, count);
        EXPECT_EQ(x == 61 ? 1 : 0, buffer[0].x) << x;
    }
}

// A 64-step arc is flattened in two halves that meet at the curve's
// midpoint, rounded to the nearest 1/128 pixel: here y = (2 * 12921) / 4 =
// 6460.5, which rounds to 6461 and then, biased, to half pixel 101 (6460
// would give 100).
TEST(Flattener, HalvesMeetAtTheRoundedMidpoint) {
    _POINT buffer[kArcPointBuffer];
    unsigned count = 0;
    const _QS arc = ArcIn128ths(0, 0, 5000, 12921, 10000, 0);
    ASSERT_EQ(0, QSpline2Polyline(buffer, &arc, -1, &count));
    ASSERT_EQ(64u, count);
    EXPECT_EQ(5000 / 64, buffer[31].x);
    EXPECT_EQ(101, buffer[31].y);

    // The halves' control points are rounded the same way: for a control
    // point at y 9003 they lie at 4502, not 4501, which lifts the 24th point
    // of the first half and the 8th of the second to half pixel 66.
    const _QS lower = ArcIn128ths(0, 0, 5000, 9003, 10000, 0);
    ASSERT_EQ(0, QSpline2Polyline(buffer, &lower, -1, &(count = 0)));
    ASSERT_EQ(64u, count);
    EXPECT_EQ(66, buffer[23].y);
    EXPECT_EQ(66, buffer[39].y);
}

TEST(Flattener, StepCountFollowsTheBend) {
    // GX = 2 * max(|DDX|, |DDY|) + min(|DDX|, |DDY|)
    EXPECT_EQ(2u, StepsFor(ArcIn128ths(0, 0, 0, -32, 0, 0)));     // GX 128
    EXPECT_EQ(4u, StepsFor(ArcIn128ths(0, 1, -32, 0, 0, 0)));     // GX 129
    EXPECT_EQ(4u, StepsFor(ArcIn128ths(0, 1, -128, 0, 0, 0)));    // GX 513
    EXPECT_EQ(8u, StepsFor(ArcIn128ths(0, 0, -129, 0, 0, 0)));    // GX 516
    EXPECT_EQ(256u, StepsFor(ArcIn128ths(0, 0, 400000, 0, 0, 0)));  // capped
    EXPECT_EQ(2u, StepsFor(ArcIn128ths(0, 0, 50, 50, 100, 100)));  // a straight "arc"
}

TEST(Flattener, RefusesToOverrunTheCallersBuffer) {
    const _QS big = ArcIn128ths(0, 0, 0, 6000, 12000, 0);  // 64 steps
    std::vector<_POINT> buffer(kArcPointBuffer, _POINT{7, 7});
    unsigned count = 200;
    EXPECT_EQ(1, QSpline2Polyline(buffer.data(), &big, -1, &count));
    EXPECT_EQ(200u, count);
    for (const _POINT &p : buffer) ASSERT_EQ(7, p.x);
    count = 257 - 64;
    EXPECT_EQ(0, QSpline2Polyline(buffer.data(), &big, -1, &count));
    EXPECT_EQ(257u, count);
    count = 0xFFFFFFF0u;  // would wrap around in 32 bits
    EXPECT_EQ(1, QSpline2Polyline(buffer.data(), &big, -1, &count));
}

// Arcs of 64 or more steps are flattened in halves; the points must still
// come out in curve order, close to the true curve, ending at its end.
TEST(Flattener, LongArcsArriveInCurveOrder) {
    for (int span : {12000, 48000, 200000}) {
        const _QS qs = ArcIn128ths(0, 0, span / 3, span, span, 0);
        _POINT buffer[kArcPointBuffer];
        unsigned count = 0;
        ASSERT_EQ(0, QSpline2Polyline(buffer, &qs, -1, &count));
        ASSERT_GE(count, 64u);
        for (unsigned k = 1; k <= count; ++k) {
            const double t = double(k) / count;
            const double x = 2 * t * (1 - t) * span / 3 + t * t * span;  // in 1/128 px
            const double y = 2 * t * (1 - t) * span;
            EXPECT_NEAR(x / 64, buffer[k - 1].x, 1.0) << span << " k=" << k;
            EXPECT_NEAR(y / 64, buffer[k - 1].y, 1.0) << span << " k=" << k;
            if (k > 1) {
                EXPECT_GE(buffer[k - 1].x, buffer[k - 2].x);
            }
        }
        EXPECT_EQ(span / 64, buffer[count - 1].x);
        EXPECT_EQ(0, buffer[count - 1].y);
    }
}

// The contour walk is checked against the drawing it should produce, made
// by hand from moves, edges and arcs on a second canvas.
class ContourWalk : public ::testing::Test {
protected:
    struct P {
        int32_t x, y;
        bool on;
    };
    // Runs the walk over the given contours (each a list of points).
    void Walk(const std::vector<std::vector<P>> &contours) {
        points.clear();
        ends.clear();
        for (const auto &contour : contours) {
            for (const P &p : contour) {
                TTFCoord c{};
                c.Cur = {p.x, p.y};
                c.Prev = {-1, -1};
                c.Flags = p.on ? kOnCurve : 0;
                points.push_back(c);
            }
            ends.push_back(int16_t(points.size() - 1));
        }
        PointsToCurves(unsigned(ends.size()), ends.data(), points.data(), &walked.S);
    }
    void MoveTo(Pt p) { AddLineSeg(&drawn.S, p.first, p.second, 1); }
    void LineTo(Pt p) { AddLineSeg(&drawn.S, p.first, p.second, 0); }
    void ArcTo(Pt from, Pt control, Pt to) {
        const longpointtype arc[3] = {{from.first, from.second},
                                      {control.first, control.second},
                                      {to.first, to.second}};
        AddCurve(&drawn.S, arc);
    }
    bool SameDrawing() { return walked.SortedCrossings() == drawn.SortedCrossings(); }

    Canvas walked{-20, -20, 20, 20};
    Canvas drawn{-20, -20, 20, 20};
    std::vector<TTFCoord> points;
    std::vector<int16_t> ends;
};

TEST_F(ContourWalk, OnCurvePointsMakeAPolygon) {
    Walk({{{0, 0, true}, {Px(3), Px(9), true}, {Px(8), Px(2), true}}});
    MoveTo({0, 0});
    LineTo({Px(3), Px(9)});
    LineTo({Px(8), Px(2)});
    LineTo({0, 0});
    EXPECT_TRUE(SameDrawing());
    for (const TTFCoord &c : points) EXPECT_EQ(c.Cur.y, c.Prev.y);  // the hinted position is drawn
}

TEST_F(ContourWalk, FirstPointOffTheCurve) {
    const Pt a{Px(-6), Px(-8)}, b{Px(6), Px(-2)}, c{Px(0), Px(9)};
    Walk({{{a.first, a.second, false}, {b.first, b.second, true}, {c.first, c.second, true}}});
    MoveTo(b);
    LineTo(c);
    ArcTo(c, a, b);  // the first point controls the closing arc
    EXPECT_TRUE(SameDrawing());
}

TEST_F(ContourWalk, FirstTwoPointsOffTheCurve) {
    const Pt a{Px(-6), Px(-8)}, b{Px(6), Px(-10)}, c{Px(8), Px(9)};
    const Pt m{0, Px(-9)};
    Walk({{{a.first, a.second, false}, {b.first, b.second, false}, {c.first, c.second, true}}});
    MoveTo(m);  // drawing begins at their midpoint
    ArcTo(m, b, c);
    ArcTo(c, a, m);
    EXPECT_TRUE(SameDrawing());
}

TEST_F(ContourWalk, BeginsAndEndsOffTheCurve) {
    const Pt a{Px(-6), Px(-8)}, b{Px(6), Px(-6)}, c{Px(8), Px(9)}, d{Px(-10), Px(4)};
    Walk({{{a.first, a.second, false}, {b.first, b.second, true}, {c.first, c.second, true},
           {d.first, d.second, false}}});
    const Pt m{Px(-8), Px(-2)};  // between the last and the first point
    MoveTo(b);
    LineTo(c);
    ArcTo(c, d, m);
    ArcTo(m, a, b);
    EXPECT_TRUE(SameDrawing());
}

TEST_F(ContourWalk, ImpliedPointsTruncateTowardZero) {
    // Control points at x = -3 and x = 0 (26.6): the implied point is x = -1,
    // just below a row centre so that the next edge shows its x.
    const Pt a{Px(-9), Px(-9)}, b{-3, Px(-4)}, c{0, 318}, e{Px(9), Px(8)};
    Walk({{{a.first, a.second, true}, {b.first, b.second, false}, {c.first, c.second, false},
           {e.first, e.second, true}}});
    const Pt m{-1, 31};
    MoveTo(a);
    ArcTo(a, b, m);
    ArcTo(m, c, e);
    LineTo(a);
    EXPECT_TRUE(SameDrawing());

    Canvas rounded(-20, -20, 20, 20);  // the rounded-down midpoint draws differently
    const longpointtype first[3] = {{a.first, a.second}, {b.first, b.second}, {-2, 31}};
    const longpointtype second[3] = {{-2, 31}, {c.first, c.second}, {e.first, e.second}};
    AddLineSeg(&rounded.S, a.first, a.second, 1);
    AddCurve(&rounded.S, first);
    AddCurve(&rounded.S, second);
    AddLineSeg(&rounded.S, a.first, a.second, 0);
    EXPECT_NE(rounded.SortedCrossings(), walked.SortedCrossings());
}

TEST_F(ContourWalk, OnePointContourDrawsNothing) {
    Walk({{{Px(15), Px(15), true}},
          {{Px(-5), Px(-5), true}, {Px(-5), Px(5), true}, {Px(5), Px(5), true}}});
    MoveTo({Px(-5), Px(-5)});
    LineTo({Px(-5), Px(5)});
    LineTo({Px(5), Px(5)});
    LineTo({Px(-5), Px(-5)});
    EXPECT_TRUE(SameDrawing());
}

TEST_F(ContourWalk, ContoursEndingOutOfOrderDrawNothing) {
    Walk({{{0, 0, true}, {Px(3), Px(9), true}, {Px(8), Px(2), true}}});
    ends = {2, 1, -7};  // the last two run backwards
    ZapScanBuffer(&walked.S);
    PointsToCurves(3, ends.data(), points.data(), &walked.S);
    MoveTo({0, 0});
    LineTo({Px(3), Px(9)});
    LineTo({Px(8), Px(2)});
    LineTo({0, 0});
    EXPECT_TRUE(SameDrawing());
}

TEST(ArcToEdges, FlatArcIsOneEdgeAndFarArcsStayStraight) {
    Canvas c(-4, -4, 40, 40);
    const longpointtype flat[3] = {{0, 100}, {Px(30), 100}, {Px(10), 100}};
    AddLineSeg(&c.S, 0, 100, 1);
    AddCurve(&c.S, flat);
    EXPECT_EQ(Px(10), xEnd);
    // Coordinates too large for the flattener's fixed point: drawn as a
    // straight edge to the exact end point.
    const longpointtype far[3] = {{0, 0}, {INT32_MAX, INT32_MIN}, {Px(20), Px(30)}};
    AddLineSeg(&c.S, 0, 0, 1);
    AddCurve(&c.S, far);
    EXPECT_EQ(Px(20), xEnd);
    Canvas straight(-4, -4, 40, 40);
    AddLineSeg(&straight.S, 0, 0, 1);
    AddLineSeg(&straight.S, Px(20), Px(30), 0);
    EXPECT_EQ(straight.SortedCrossings(), c.SortedCrossings());
}

}  // namespace
