// The glyph hints' points: loading an outline (font units) into points
// with their flags and directions, writing the hinted positions back, and
// the three ways points follow the edges once the edges are fitted: points
// on an edge take its position, other strong points are interpolated
// between the edges around them, weak points between the touched points
// of their contour (as the TrueType IUP instruction does).
#include <cstdint>
#include <cstdlib>

#include "ttf/autohint/autohint_hints.h"

namespace kelmor {
namespace autohint {

namespace {

enum class Orientation { kTrueType, kPostScript, kNone };

int MostSignificantBit(uint32_t x) {
    int bit = -1;
    while (x) {
        x >>= 1;
        ++bit;
    }
    return bit;
}

// Which way the outline's filled area winds, from the signed area of the
// polygon its points span (curves count as their control polygon).  Some
// fonts wind the wrong way round, so the hinter asks every glyph.
Orientation OutlineOrientation(const Outline &outline) {
    const std::vector<Vector> &pts = outline.points;
    if (pts.empty()) return Orientation::kTrueType;
    int32_t xMin = pts[0].x, xMax = pts[0].x, yMin = pts[0].y, yMax = pts[0].y;
    for (const Vector &v : pts) {
        if (v.x < xMin) xMin = v.x;
        if (v.x > xMax) xMax = v.x;
        if (v.y < yMin) yMin = v.y;
        if (v.y > yMax) yMax = v.y;
    }
    if (xMin == xMax || yMin == yMax) return Orientation::kNone;
    const int32_t kLimit = 0x1000000;
    if (xMin < -kLimit || yMin < -kLimit || xMax > kLimit || yMax > kLimit)
        return Orientation::kNone;
    int xShift = MostSignificantBit(uint32_t(std::abs(xMax) | std::abs(xMin))) - 14;
    if (xShift < 0) xShift = 0;
    int yShift = MostSignificantBit(uint32_t(yMax - yMin)) - 14;
    if (yShift < 0) yShift = 0;

    int64_t area = 0;
    int32_t first = 0;
    for (int32_t last : outline.contourEnds) {
        int64_t prevX = pts[size_t(last)].x >> xShift;
        int64_t prevY = pts[size_t(last)].y >> yShift;
        for (int32_t n = first; n <= last; ++n) {
            int64_t curX = pts[size_t(n)].x >> xShift;
            int64_t curY = pts[size_t(n)].y >> yShift;
            area += (curY - prevY) * (curX + prevX);
            prevX = curX;
            prevY = curY;
        }
        first = last + 1;
    }
    if (area > 0) return Orientation::kPostScript;
    if (area < 0) return Orientation::kTrueType;
    return Orientation::kNone;
}

// The cheap length the reference uses: the long leg plus 3/8 of the short.
int32_t ApproxLength(int32_t x, int32_t y) {
    x = std::abs(x);
    y = std::abs(y);
    return x > y ? x + (3 * y >> 3) : y + (3 * x >> 3);
}

// A corner is flat when going round it is hardly longer than cutting it.
bool CornerIsFlat(int32_t inX, int32_t inY, int32_t outX, int32_t outY) {
    int32_t ax = inX + outX;
    int32_t ay = inY + outY;
    int32_t dIn = ApproxLength(inX, inY);
    int32_t dOut = ApproxLength(outX, outY);
    int32_t dHypot = ApproxLength(ax, ay);
    return (dIn + dOut - dHypot) < (dHypot >> 4);
}

// The outline's shape must be one the point rings can be built from:
// contour ends strictly ascending, the last one on the last point (the
// glyph loader's own check: an empty contour is refused).
bool OutlineIsWellFormed(const Outline &outline) {
    size_t n = outline.points.size();
    if (n > size_t(kMaxHintPoints) || outline.tags.size() != n) return false;
    if (outline.contourEnds.size() > size_t(kMaxHintContours)) return false;
    int32_t previousEnd = -1;
    for (int32_t end : outline.contourEnds) {
        if (end <= previousEnd || end >= int32_t(n)) return false;
        previousEnd = end;
    }
    return previousEnd == int32_t(n) - 1;
}

// Fills the points' positions and flags and links each contour into a
// ring; a point followed by a very close one is marked near.
void LoadPoints(GlyphHints *hints, const Outline &outline, int32_t nearLimit) {
    Point *points = hints->points.data();
    size_t contourIndex = 0;
    int32_t endIndex = outline.contourEnds[0];
    Point *end = points + endIndex;
    Point *prev = end;
    // The ring's first point looks back at the contour's last point,
    // whose font-unit position is needed before it is loaded.
    end->fx = int16_t(outline.points[size_t(endIndex)].x);
    end->fy = int16_t(outline.points[size_t(endIndex)].y);
    for (size_t i = 0; i < outline.points.size(); ++i) {
        Point *point = points + i;
        const Vector &vec = outline.points[i];
        point->inDir = kDirNone;
        point->outDir = kDirNone;
        point->fx = int16_t(vec.x);
        point->fy = int16_t(vec.y);
        point->ox = point->x = MulFix(vec.x, hints->xScale) + hints->xDelta;
        point->oy = point->y = MulFix(vec.y, hints->yScale) + hints->yDelta;
        uint8_t tag = outline.tags[i];
        if (tag & kTagOnCurve)
            point->flags = 0;
        else if (tag & kTagCubic)
            point->flags = kPointCubic;
        else
            point->flags = kPointConic;
        point->u = point->v = 0;

        int32_t outX = int32_t(point->fx) - prev->fx;
        int32_t outY = int32_t(point->fy) - prev->fy;
        if (std::abs(outX) + std::abs(outY) < nearLimit) prev->flags |= kPointNear;
        point->prev = prev;
        prev->next = point;
        prev = point;
        if (point == end && ++contourIndex < outline.contourEnds.size()) {
            endIndex = outline.contourEnds[contourIndex];
            end = points + endIndex;
            prev = end;
            end->fx = int16_t(outline.points[size_t(endIndex)].x);
            end->fy = int16_t(outline.points[size_t(endIndex)].y);
        }
    }
    int32_t start = 0;
    hints->contours.resize(outline.contourEnds.size());
    for (size_t c = 0; c < outline.contourEnds.size(); ++c) {
        hints->contours[c] = points + start;
        start = outline.contourEnds[c] + 1;
    }
}

// In and out directions.  Runs of points closer together than nearLimit
// are taken as one vector: the points inside a run are weak and share the
// run's direction.  The u and v fields hold, for now, the index distance
// to the next and previous point that is not inside such a run.
void ComputeContourDirections(Point *contourFirst, int32_t nearLimit) {
    const int32_t nearLimit2 = 2 * nearLimit - 1;
    // The contour's first point may sit inside a run: back up to a point
    // that starts a long enough vector.
    Point *point = contourFirst;
    Point *prev = contourFirst->prev;
    while (prev != contourFirst) {
        int32_t outX = int32_t(point->fx) - prev->fx;
        int32_t outY = int32_t(point->fy) - prev->fy;
        if (std::abs(outX) + std::abs(outY) >= nearLimit2) break;
        point = prev;
        prev = prev->prev;
    }
    Point *first = point;
    Point *curr = first;
    curr->u = int32_t(first - curr);
    first->v = -curr->u;
    int32_t outX = 0;
    int32_t outY = 0;
    Point *next = first;
    do {
        point = next;
        next = point->next;
        outX += int32_t(next->fx) - point->fx;
        outY += int32_t(next->fy) - point->fy;
        if (std::abs(outX) + std::abs(outY) < nearLimit) {
            next->flags |= kPointWeak;
            continue;
        }
        curr->u = int32_t(next - curr);
        next->v = -curr->u;
        int8_t outDir = int8_t(ComputeDirection(outX, outY));
        curr->outDir = outDir;
        for (curr = curr->next; curr != next; curr = curr->next) {
            curr->inDir = outDir;
            curr->outDir = outDir;
        }
        next->inDir = outDir;
        curr->u = int32_t(first - curr);
        first->v = -curr->u;
        outX = 0;
        outY = 0;
    } while (next != first);
}

// Points between two vectors pointing into the same quadrant, without a
// clear direction of their own, are of no interest for finding extrema:
// they become weak and their neighbours skip them.
void MarkQuadrantRuns(Point *points, Point *limit) {
    for (Point *point = points; point < limit; ++point) {
        if (point->flags & kPointWeak) continue;
        if (point->inDir != kDirNone || point->outDir != kDirNone) continue;
        Point *nextU = point + point->u;
        Point *prevV = point + point->v;
        int32_t inX = int32_t(point->fx) - prevV->fx;
        int32_t inY = int32_t(point->fy) - prevV->fy;
        int32_t outX = int32_t(nextU->fx) - point->fx;
        int32_t outY = int32_t(nextU->fy) - point->fy;
        if ((inX ^ outX) >= 0 && (inY ^ outY) >= 0) {
            point->flags |= kPointWeak;
            prevV->u = int32_t(nextU - prevV);
            nextU->v = -prevV->u;
        }
    }
}

// Everything not collected into edges later is strong, except control
// points, points inside a straight run, points on a flat corner, spikes.
void MarkWeakPoints(Point *points, Point *limit) {
    for (Point *point = points; point < limit; ++point) {
        if (point->flags & kPointWeak) continue;
        bool weak = false;
        if (point->flags & kPointControl) {
            weak = true;
        } else if (point->outDir == point->inDir) {
            if (point->outDir != kDirNone) {
                weak = true;
            } else {
                Point *nextU = point + point->u;
                Point *prevV = point + point->v;
                if (CornerIsFlat(int32_t(point->fx) - prevV->fx, int32_t(point->fy) - prevV->fy,
                                 int32_t(nextU->fx) - point->fx, int32_t(nextU->fy) - point->fy)) {
                    prevV->u = int32_t(nextU - prevV);
                    nextU->v = -prevV->u;
                    weak = true;
                }
            }
        } else if (point->inDir == -point->outDir) {
            weak = true;
        }
        if (weak) point->flags |= kPointWeak;
    }
}

}  // namespace

void RescaleHints(GlyphHints *hints, StyleMetrics *metrics) {
    hints->metrics = metrics;
    hints->scalerFlags = metrics->scaler.flags;
    if (metrics->globals && metrics->globals->font)
        hints->unitsPerEm = metrics->globals->font->UnitsPerEm();
}

void StartGlyphHints(GlyphHints *hints, StyleMetrics *metrics, const AxisWidths &horz, const AxisWidths &vert) {
    RescaleHints(hints, metrics);
    hints->xScale = horz.scale;
    hints->xDelta = horz.delta;
    hints->yScale = vert.scale;
    hints->yDelta = vert.delta;
    const RenderTarget target = metrics->scaler.target;
    uint32_t other = 0;
    // Vertical stems snap to whole pixels on monochrome and horizontal-LCD
    // targets, horizontal stems on monochrome and vertical-LCD ones.
    if (target == RenderTarget::kMono || target == RenderTarget::kLcd) other |= kHintsHorzSnap;
    if (target == RenderTarget::kMono || target == RenderTarget::kLcdV) other |= kHintsVertSnap;
    if (target != RenderTarget::kLight && target != RenderTarget::kLcd) other |= kHintsStemAdjust;
    if (target == RenderTarget::kMono) other |= kHintsMono;
    hints->otherFlags = other;
}

bool ReloadHints(GlyphHints *hints, const Outline &outline) {
    for (AxisHints &axis : hints->axis) {
        axis.segments.clear();
        axis.edges.clear();
    }
    hints->points.clear();
    hints->contours.clear();
    if (!OutlineIsWellFormed(outline)) return false;

    hints->axis[kDimHorz].majorDir = kDirUp;
    hints->axis[kDimVert].majorDir = kDirLeft;
    if (OutlineOrientation(outline) == Orientation::kPostScript) {
        hints->axis[kDimHorz].majorDir = kDirDown;
        hints->axis[kDimVert].majorDir = kDirRight;
    }
    if (outline.points.empty() || outline.contourEnds.empty()) return true;

    hints->points.resize(outline.points.size());
    // 20 units per 2048 is how close two points must be to count as one.
    const int32_t nearLimit = int32_t(20 * hints->unitsPerEm / 2048);
    LoadPoints(hints, outline, nearLimit);
    for (Point *first : hints->contours) ComputeContourDirections(first, nearLimit);
    Point *points = hints->points.data();
    Point *limit = points + hints->points.size();
    MarkQuadrantRuns(points, limit);
    MarkWeakPoints(points, limit);
    return true;
}

void SaveHints(const GlyphHints &hints, Outline *outline) {
    size_t n = hints.points.size();
    if (outline->points.size() < n || outline->tags.size() < n) return;
    for (size_t i = 0; i < n; ++i) {
        const Point &point = hints.points[i];
        outline->points[i].x = point.x;
        outline->points[i].y = point.y;
        if (point.flags & kPointConic)
            outline->tags[i] = 0;
        else if (point.flags & kPointCubic)
            outline->tags[i] = kTagCubic;
        else
            outline->tags[i] = kTagOnCurve;
    }
}

void AlignEdgePoints(GlyphHints *hints, Dimension dim) {
    AxisHints &axis = hints->axis[dim];
    for (Segment &seg : axis.segments) {
        Edge *edge = seg.edge;
        if (!edge) continue;
        for (Point *point = seg.first;; point = point->next) {
            if (dim == kDimHorz) {
                point->x = edge->pos;
                point->flags |= kPointTouchX;
            } else {
                point->y = edge->pos;
                point->flags |= kPointTouchY;
            }
            if (point == seg.last) break;
        }
    }
}

namespace {

// Where a strong point at font-unit position `u` (scaled `ou`) goes,
// given the axis's sorted, fitted edges.
int32_t StrongPointPosition(Edge *edges, size_t edgeCount, int32_t u, int32_t ou) {
    Edge *firstEdge = edges;
    if (int32_t(firstEdge->fpos) - u >= 0) return firstEdge->pos - (firstEdge->opos - ou);
    Edge *lastEdge = edges + edgeCount - 1;
    if (u - int32_t(lastEdge->fpos) >= 0) return lastEdge->pos + (ou - lastEdge->opos);

    size_t min = 0;
    size_t max = edgeCount;
    if (max <= 8) {
        size_t nn = 0;
        while (nn < max && edges[nn].fpos < u) ++nn;
        if (edges[nn].fpos == u) return edges[nn].pos;
        min = nn;
    } else {
        while (min < max) {
            size_t mid = (max + min) >> 1;
            int32_t fpos = edges[mid].fpos;
            if (u < fpos)
                max = mid;
            else if (u > fpos)
                min = mid + 1;
            else
                return edges[mid].pos;
        }
    }
    Edge *before = edges + min - 1;
    Edge *after = edges + min;
    if (before->scale == 0)
        before->scale = DivFix(after->pos - before->pos, int32_t(after->fpos) - before->fpos);
    return before->pos + MulFix(u - before->fpos, before->scale);
}

}  // namespace

void AlignStrongPoints(GlyphHints *hints, Dimension dim) {
    AxisHints &axis = hints->axis[dim];
    if (axis.edges.empty()) return;
    const uint16_t touchFlag = dim == kDimHorz ? kPointTouchX : kPointTouchY;
    for (Point &point : hints->points) {
        if (point.flags & (touchFlag | kPointWeak)) continue;
        if (dim == kDimVert)
            point.y = StrongPointPosition(axis.edges.data(), axis.edges.size(), point.fy, point.oy);
        else
            point.x = StrongPointPosition(axis.edges.data(), axis.edges.size(), point.fx, point.ox);
        point.flags |= touchFlag;
    }
}

namespace {

// Points p1..p2 (u: current, v: original) keep their distance to `ref`.
void ShiftRun(Point *p1, Point *p2, Point *ref) {
    int32_t delta = ref->u - ref->v;
    if (delta == 0) return;
    for (Point *p = p1; p < ref; ++p) p->u = p->v + delta;
    for (Point *p = ref + 1; p <= p2; ++p) p->u = p->v + delta;
}

// Points p1..p2 are interpolated between ref1 and ref2 where they lie
// between them, and shifted with the nearer one where they lie outside.
void InterpolateRun(Point *p1, Point *p2, Point *ref1, Point *ref2) {
    if (p1 > p2) return;
    if (ref1->v > ref2->v) {
        Point *swap = ref1;
        ref1 = ref2;
        ref2 = swap;
    }
    int32_t v1 = ref1->v, v2 = ref2->v;
    int32_t u1 = ref1->u, u2 = ref2->u;
    int32_t d1 = u1 - v1, d2 = u2 - v2;
    bool flat = u1 == u2 || v1 == v2;
    int32_t scale = flat ? 0 : DivFix(u2 - u1, v2 - v1);
    for (Point *p = p1; p <= p2; ++p) {
        int32_t u = p->v;
        if (u <= v1)
            u += d1;
        else if (u >= v2)
            u += d2;
        else
            u = flat ? u1 : u1 + MulFix(u - v1, scale);
        p->u = u;
    }
}

void InterpolateContour(Point *firstPoint, uint16_t touchFlag) {
    Point *endPoint = firstPoint->prev;
    Point *point = firstPoint;
    while (point <= endPoint && !(point->flags & touchFlag)) ++point;
    if (point > endPoint) return;  // nothing touched in this contour
    Point *firstTouched = point;
    Point *lastTouched;
    for (;;) {
        while (point < endPoint && (point[1].flags & touchFlag)) ++point;
        lastTouched = point;
        ++point;
        while (point <= endPoint && !(point->flags & touchFlag)) ++point;
        if (point > endPoint) break;
        InterpolateRun(lastTouched + 1, point - 1, lastTouched, point);
    }
    if (lastTouched == firstTouched) {
        ShiftRun(firstPoint, endPoint, firstTouched);
    } else {
        if (lastTouched < endPoint) InterpolateRun(lastTouched + 1, endPoint, lastTouched, firstTouched);
        if (firstTouched > firstPoint) InterpolateRun(firstPoint, firstTouched - 1, lastTouched, firstTouched);
    }
}

}  // namespace

void AlignWeakPoints(GlyphHints *hints, Dimension dim) {
    const uint16_t touchFlag = dim == kDimHorz ? kPointTouchX : kPointTouchY;
    for (Point &point : hints->points) {
        point.u = dim == kDimHorz ? point.x : point.y;
        point.v = dim == kDimHorz ? point.ox : point.oy;
    }
    for (Point *first : hints->contours) InterpolateContour(first, touchFlag);
    for (Point &point : hints->points) {
        if (dim == kDimHorz)
            point.x = point.u;
        else
            point.y = point.u;
    }
}

}  // namespace autohint
}  // namespace kelmor
