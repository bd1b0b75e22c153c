// Cubic outlines for the faithful scan converter.
//
// The scanner crosses straight edges exactly and quadratic arcs by halving
// them; a cubic curve is handed to it as straight pieces.  Each curve is
// moved to the scanner's fine units first (1/4096 pixel below 24 ppem), so
// nothing is rounded to the outline's 1/64, and halved there until neither
// control point strays from the chord by more than 1/256 pixel (1/64 at the
// coarser precision of larger sizes): a row or column centre then sees the
// chord where it would see the curve, well inside the positions the scanner
// itself tells apart.
#include "ttf/raster/scexact.h"

#include <algorithm>
#include <cstdlib>

#include "ttf/raster/scexact_crossings.h"

namespace kelmor {

namespace {

using namespace exact;

// The same pins as the quadratic outlines': points far outside any bitmap
// keep every product inside 64 bits.
constexpr int32_t kCoordLimit = int32_t(1) << 24;
// Halvings of one curve; a curve that needs more (thousands of pixels
// long) is drawn with its last pieces straight.
constexpr int kMaxCurveDepth = 12;
// Straight pieces one glyph may be cut into before curves are drawn as
// their chords: far above a real glyph at any size.
constexpr size_t kMaxPathPoints = size_t(1) << 21;

class CubicPath {
public:
    CubicPath(ExactScanner &s, const Precision &precision)
        : s_(s), precision_(precision),
          tolerance_(std::max<int64_t>(1, precision.pixel / (precision.bits > 6 ? 256 : 64))) {
        s_.path.clear();
        s_.contourEnds.clear();
    }

    FinePoint From(const longpointtype &p) {
        const int32_t x = std::clamp(p.x, -kCoordLimit, kCoordLimit);
        const int32_t y = std::clamp(p.y, -kCoordLimit, kCoordLimit);
        xMin = std::min(xMin, x), xMax = std::max(xMax, x);
        yMin = std::min(yMin, y), yMax = std::max(yMax, y);
        const int64_t half = precision_.pixel / 2;
        return FinePoint{int64_t(x) * (int64_t(1) << precision_.shift) - half,
                         int64_t(y) * (int64_t(1) << precision_.shift) - half};
    }

    void Contour(const CubicOutline &outline, int32_t begin, int32_t end) {
        const FinePoint first = From(outline.Points[begin]);
        Point(first);
        FinePoint current = first;
        for (int32_t i = begin + 1; i < end; ++i) {
            if (outline.Kinds[i] == kCubicControl && i + 2 < end &&
                outline.Kinds[i + 1] == kCubicControl) {
                const FinePoint c1 = From(outline.Points[i]), c2 = From(outline.Points[i + 1]);
                const FinePoint to = From(outline.Points[i + 2]);
                Cubic(current, c1, c2, to, 0);
                current = to;
                i += 2;
            } else {
                current = From(outline.Points[i]);
                Point(current);
            }
        }
        Point(first);  // every contour is closed
        s_.contourEnds.push_back(uint32_t(s_.path.size()));
    }

    bool Empty() const { return xMin > xMax; }
    int32_t xMin = INT32_MAX, yMin = INT32_MAX, xMax = INT32_MIN, yMax = INT32_MIN;

private:
    void Point(const FinePoint &p) { s_.path.push_back(PathPoint{p, false}); }

    // How far a control point lies from where a straight piece would put it,
    // three times over (kept in integers).
    static int64_t Stray(const FinePoint &a, const FinePoint &c, const FinePoint &b) {
        return std::max(std::llabs(3 * c.x - 2 * a.x - b.x), std::llabs(3 * c.y - 2 * a.y - b.y));
    }

    bool Flat(const FinePoint &a, const FinePoint &c1, const FinePoint &c2,
              const FinePoint &b) const {
        return Stray(a, c1, b) <= 3 * tolerance_ && Stray(b, c2, a) <= 3 * tolerance_;
    }

    static FinePoint Half(const FinePoint &a, const FinePoint &b) {
        return FinePoint{(a.x + b.x) >> 1, (a.y + b.y) >> 1};
    }

    void Cubic(const FinePoint &a, const FinePoint &c1, const FinePoint &c2, const FinePoint &b,
               int depth) {
        if (depth >= kMaxCurveDepth || s_.path.size() >= kMaxPathPoints || Flat(a, c1, c2, b)) {
            Point(b);
            return;
        }
        // The two halves at the middle of the curve.
        const FinePoint ab = Half(a, c1), bc = Half(c1, c2), cd = Half(c2, b);
        const FinePoint abc = Half(ab, bc), bcd = Half(bc, cd);
        const FinePoint mid = Half(abc, bcd);
        Cubic(a, ab, abc, mid, depth + 1);
        Cubic(mid, bcd, cd, b, depth + 1);
    }

    ExactScanner &s_;
    Precision precision_;
    int64_t tolerance_;
};

}  // namespace

void ScanCubicOutlineExactly(ScanInfo *pS, const CubicOutline &outline, _GlyphBitMap *pBM) {
    ExactScanner *s = ExactScannerOf(pS);
    if (s == nullptr) return;
    CubicPath path(*s, PrecisionFor(pS->Ppem));
    int32_t begin = 0;
    for (int32_t k = 0; k < outline.NumContours; ++k) {
        const int32_t end = std::min(outline.ContourEnds[k], outline.NumPoints);
        if (end - begin >= 2) path.Contour(outline, begin, end);
        begin = std::max(begin, end);
    }
    if (path.Empty()) return;
    ScanCollectedPath(pS, BoxForExtent(path.xMin, path.yMin, path.xMax, path.yMax), pBM);
}

}  // namespace kelmor
