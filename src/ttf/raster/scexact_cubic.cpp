// Cubic outlines for the faithful scan converter.
//
// The scanner crosses straight edges exactly and quadratic arcs by halving
// them around each line until the piece there is shorter than a step, then
// taking the piece's chord.  A cubic curve is crossed the same way, as the
// reference rasterizer crosses it: halved (at the scanner's fine units,
// sums floored as in exact halving) until each piece runs one way across
// the lines, then each piece halved again while it is a step or more tall
// and a line passes strictly inside it.  The resulting pieces go to the
// scanner as arcs whose control point lies on their chord: it crosses them
// at the chord without halving them further.  The pieces depend on which
// way the lines run, so the path is built once for the rows and once for
// the columns; a piece going down the lines is halved with its coordinates
// across them negated, as the scanner does with its own arcs.
#include "ttf/raster/scexact.h"

#include <algorithm>

#include "ttf/raster/scexact_crossings.h"

namespace kelmor {

namespace {

using namespace exact;

// Halvings of one curve; deeper ones draw their piece as its chord.
constexpr int kMaxCurveDepth = kMaxSplits;
// Points of one sweep's path: far above a real glyph (a few thousand).  A
// hostile outline of thousands of curves across every line stops being
// halved here and is drawn with chords.
constexpr size_t kMaxPathPoints = size_t(1) << 20;

// A curve in the sweep's coordinates: `x` along the lines, `y` across them.
struct Curve {
    FinePoint p[4];
};

// One coordinate of the two halves of a curve at its middle, each from the
// sums of the control points, floored: p0..p3 become lo[0..3] and hi[0..3].
inline void HalveCoordinate(int64_t p0, int64_t p1, int64_t p2, int64_t p3, int64_t *lo,
                            int64_t *hi) {
    const int64_t s01 = p0 + p1, s12 = p1 + p2, s23 = p2 + p3;
    const int64_t s012 = s01 + s12, s123 = s12 + s23;
    lo[0] = p0;
    lo[1] = s01 >> 1;
    lo[2] = s012 >> 2;
    lo[3] = hi[0] = (s012 + s123) >> 3;
    hi[1] = s123 >> 2;
    hi[2] = s23 >> 1;
    hi[3] = p3;
}

// The two halves of a curve at its middle.  `first` may not be `c`;
// `second` may.
inline void HalveCurve(const Curve &c, Curve *first, Curve *second) {
    int64_t lx[4], ly[4], hx[4], hy[4];
    HalveCoordinate(c.p[0].x, c.p[1].x, c.p[2].x, c.p[3].x, lx, hx);
    HalveCoordinate(c.p[0].y, c.p[1].y, c.p[2].y, c.p[3].y, ly, hy);
    for (int i = 0; i < 4; ++i) {
        first->p[i] = FinePoint{lx[i], ly[i]};
        second->p[i] = FinePoint{hx[i], hy[i]};
    }
}

// 26.6 outline points pinned and moved to the scanner's fine units,
// measured from pixel centres.
class FinePoints {
public:
    explicit FinePoints(const Precision &precision) : precision_(precision) {}

    FinePoint At(const longpointtype &p) const {
        const int64_t half = precision_.pixel / 2;
        return FinePoint{int64_t(Pinned(p.x)) * (int64_t(1) << precision_.shift) - half,
                         int64_t(Pinned(p.y)) * (int64_t(1) << precision_.shift) - half};
    }

private:
    Precision precision_;
};

// The pixels the outline's points reach (control points included), or an
// empty box for an outline without points.
GlyphBox OutlineBox(const CubicOutline &outline) {
    int32_t xMin = INT32_MAX, yMin = INT32_MAX, xMax = INT32_MIN, yMax = INT32_MIN;
    const int32_t end = outline.NumContours > 0
                            ? std::min(outline.NumPoints, outline.ContourEnds[outline.NumContours - 1])
                            : 0;
    for (int32_t i = 0; i < end; ++i) {
        const int32_t x = Pinned(outline.Points[i].x);
        const int32_t y = Pinned(outline.Points[i].y);
        xMin = std::min(xMin, x), xMax = std::max(xMax, x);
        yMin = std::min(yMin, y), yMax = std::max(yMax, y);
    }
    if (xMin > xMax) return GlyphBox{};
    return BoxForExtent(xMin, yMin, xMax, yMax);
}

// Builds the scanner's path for one sweep.
class SweepPath {
public:
    // The sweep crosses the lines first .. last (pixel rows or columns of
    // the bitmap); halving only ever serves those.
    SweepPath(ExactScanner &s, const Precision &precision, bool columns, int64_t first,
              int64_t last)
        : s_(s), precision_(precision), columns_(columns), first_(first), last_(last) {
        s_.path.clear();
        s_.contourEnds.clear();
        s_.contourMarks.clear();  // CFF glyphs run no programs
        s_.trailingMark = exact::kNoMark;
    }

    void Contour(const CubicOutline &outline, int32_t begin, int32_t end, const FinePoints &fine) {
        const FinePoint first = fine.At(outline.Points[begin]);
        Point(first);
        FinePoint current = first;
        for (int32_t i = begin + 1; i < end; ++i) {
            if (outline.Kinds[i] == kCubicControl && i + 2 < end &&
                outline.Kinds[i + 1] == kCubicControl) {
                const FinePoint c1 = fine.At(outline.Points[i]);
                const FinePoint c2 = fine.At(outline.Points[i + 1]);
                const FinePoint to = fine.At(outline.Points[i + 2]);
                CubicTo(Curve{{Turn(current), Turn(c1), Turn(c2), Turn(to)}});
                current = to;
                i += 2;
            } else {
                current = fine.At(outline.Points[i]);
                Point(current);
            }
        }
        Point(first);  // every contour is closed
        Flush();
        s_.contourEnds.push_back(uint32_t(s_.path.size()));
    }

private:
    FinePoint Turn(const FinePoint &p) const {
        return columns_ ? FinePoint{p.y, p.x} : p;
    }
    // Points gather in a small block and join the path a block at a time:
    // a glyph's sweep path is a few thousand points, each of which would
    // otherwise cost a call of its own.
    void Push(const PathPoint &p) {
        if (held_ == kBlock) Flush();
        block_[held_++] = p;
    }
    void Flush() {
        s_.path.insert(s_.path.end(), block_, block_ + held_);
        held_ = 0;
    }
    size_t PathSize() const { return s_.path.size() + held_; }
    void Point(const FinePoint &p) { Push(PathPoint{p, false}); }

    // A piece from the pen to `to` (sweep coordinates), crossed at its
    // chord: an arc whose control point is the chord's middle.
    void Chord(const FinePoint &from, const FinePoint &to) {
        const FinePoint mid{(from.x + to.x) >> 1, (from.y + to.y) >> 1};
        Push(PathPoint{Turn(mid), true});
        Point(Turn(to));
    }

    static bool Between(int64_t v, int64_t a, int64_t b) {
        return v >= std::min(a, b) && v <= std::max(a, b);
    }

    // Halved until each piece runs one way across the lines; a piece that
    // stays level across them crosses none.
    void CubicTo(const Curve &curve) {
        Curve stack[kMaxCurveDepth + 1];
        int top = 0;
        stack[0] = curve;
        while (top >= 0) {
            const Curve &c = stack[top];
            const int64_t y0 = c.p[0].y, y3 = c.p[3].y;
            const bool level = y0 == y3;
            const bool monotonic = !level && Between(c.p[1].y, y0, y3) && Between(c.p[2].y, y0, y3);
            const bool flat = level && c.p[1].y == y0 && c.p[2].y == y0;
            if (monotonic || flat || top == kMaxCurveDepth || PathSize() >= kMaxPathPoints) {
                --top;
                if (monotonic)
                    OneWay(c);
                else
                    Point(Turn(c.p[3]));
                continue;
            }
            HalveCurve(c, &stack[top + 1], &stack[top]);
            ++top;
        }
    }

    // One of the sweep's lines lies strictly between lo and hi, which are
    // taken along the direction of travel `sign`.
    bool LineInside(int64_t lo, int64_t hi, int64_t sign) const {
        const int64_t from = std::max(precision_.Floor(lo) + 1, sign > 0 ? first_ : -last_);
        const int64_t to = std::min(precision_.Ceil(hi) - 1, sign > 0 ? last_ : -first_);
        return from <= to;
    }

    // A piece running one way: halved while it is a step or more tall with
    // a line strictly inside, with its coordinates across the lines negated
    // when it runs towards lower lines.  Only the pieces with a line inside
    // need their own chord; the ones between them are joined into one
    // straight edge (which the scanner crosses nowhere but at its ends, as
    // it would the chords), except where they meet on a line.
    void OneWay(Curve c) {
        const int64_t sign = c.p[3].y > c.p[0].y ? 1 : -1;
        for (FinePoint &p : c.p) p.y *= sign;
        Curve stack[kMaxCurveDepth + 1];
        int top = 0;
        stack[0] = c;
        FinePoint from = c.p[0];
        bool pending = false;  // pieces from `from` to the last one's end
        FinePoint end = from;
        const auto chord = [&](const FinePoint &to) {
            Chord(FinePoint{from.x, from.y * sign}, FinePoint{to.x, to.y * sign});
            from = to;
        };
        const auto edge = [&](const FinePoint &to) {
            Point(Turn(FinePoint{to.x, to.y * sign}));
            from = to;
        };
        while (top >= 0) {
            const Curve &piece = stack[top];
            const int64_t y0 = piece.p[0].y, y3 = piece.p[3].y;
            const bool crossed = LineInside(y0, y3, sign);
            if (crossed && y3 - y0 >= precision_.step && top < kMaxCurveDepth &&
                PathSize() < kMaxPathPoints) {
                HalveCurve(piece, &stack[top + 1], &stack[top]);
                ++top;
                continue;
            }
            --top;
            if (crossed) {
                if (pending) edge(end);
                chord(piece.p[3]);
                pending = false;
            } else {
                end = piece.p[3];
                pending = true;
                if (precision_.OnLine(y3)) {
                    edge(end);
                    pending = false;
                }
            }
        }
        if (pending) edge(end);
    }

    static constexpr int kBlock = 256;
    ExactScanner &s_;
    Precision precision_;
    bool columns_;
    int64_t first_, last_;
    PathPoint block_[kBlock];
    int held_ = 0;
};

// The path of one sweep over `box`: every contour of two points or more.
void BuildPath(ExactScanner &s, const Precision &precision, bool columns, const GlyphBox &box,
               const CubicOutline &outline) {
    SweepPath path(s, precision, columns, columns ? box.left : box.bottom,
                   (columns ? box.right : box.top) - 1);
    const FinePoints fine(precision);
    int32_t begin = 0;
    for (int32_t k = 0; k < outline.NumContours; ++k) {
        const int32_t end = std::min(outline.ContourEnds[k], outline.NumPoints);
        if (end - begin >= 2) path.Contour(outline, begin, end, fine);
        begin = std::max(begin, end);
    }
}

}  // namespace

void ScanCubicOutlineExactly(ScanInfo *pS, const CubicOutline &outline, _GlyphBitMap *pBM) {
    ExactScanner *s = ExactScannerOf(pS);
    if (s == nullptr || !FitBitMapToGlyph(pBM, OutlineBox(outline))) return;
    const Precision precision = PrecisionFor(pS->Ppem);
    const GlyphBox box = BoxOfBitMap(*pBM);
    for (bool columns : {false, true}) {
        BuildPath(*s, precision, columns, box, outline);
        SweepCollectedPath(pS, columns, pBM);
    }
}

}  // namespace kelmor
