// Segments and their links, shared by the writing systems.
//
// A segment is a run of consecutive points of one contour going the same
// way along an axis's major direction (vertical runs for x, horizontal
// runs for y), measured in font units: its position across the run (the
// middle of the points' spread) and its extent along it.  Two segments
// going opposite ways that overlap enough form a stem; the scoring prefers
// close pairs that overlap a lot.  A segment that pairs with one already
// paired better elsewhere becomes a serif of that stem.
#include <cstdint>
#include <cstdlib>

#include "ttf/autohint/autohint_hints.h"

namespace kelmor {
namespace autohint {

namespace {

// The reference gives up on glyphs with more segments than this (about
// 2000 outline points along one axis): such glyphs are only legible large,
// where hinting does nothing for them anyway.
constexpr size_t kMaxSegments = 1000;

// The spread of the points of the segment being collected.
struct Extent {
    int32_t minPos = 32000;
    int32_t maxPos = -32000;
    int32_t minCoord = 32000;
    int32_t maxCoord = -32000;
    uint16_t minFlags = 0;
    uint16_t maxFlags = 0;
    int32_t minOnCoord = 32000;  // extent of the on-curve points only
    int32_t maxOnCoord = -32000;

    void Start(const Point &point) {
        minPos = maxPos = point.u;
        minCoord = maxCoord = point.v;
        minFlags = maxFlags = point.flags;
        if (point.flags & kPointControl) {
            minOnCoord = 32000;
            maxOnCoord = -32000;
        } else {
            minOnCoord = maxOnCoord = point.v;
        }
    }

    void Add(const Point &point) {
        if (point.u < minPos) minPos = point.u;
        if (point.u > maxPos) maxPos = point.u;
        if (point.v < minCoord) {
            minCoord = point.v;
            minFlags = point.flags;
        }
        if (point.v > maxCoord) {
            maxCoord = point.v;
            maxFlags = point.flags;
        }
        if (!(point.flags & kPointControl)) {
            if (point.v < minOnCoord) minOnCoord = point.v;
            if (point.v > maxOnCoord) maxOnCoord = point.v;
        }
    }

    void Merge(const Extent &other) {
        if (other.minPos < minPos) minPos = other.minPos;
        if (other.maxPos > maxPos) maxPos = other.maxPos;
        if (other.minCoord < minCoord) {
            minCoord = other.minCoord;
            minFlags = other.minFlags;
        }
        if (other.maxCoord > maxCoord) {
            maxCoord = other.maxCoord;
            maxFlags = other.maxFlags;
        }
        if (other.minOnCoord < minOnCoord) minOnCoord = other.minOnCoord;
        if (other.maxOnCoord > maxOnCoord) maxOnCoord = other.maxOnCoord;
    }

    // A segment is round when it starts or ends on a control point and its
    // on-curve points span less than `flatThreshold`.
    bool IsRound(int32_t flatThreshold) const {
        return ((minFlags | maxFlags) & kPointControl) && (maxOnCoord - minOnCoord) < flatThreshold;
    }
};

void SetPosition(Segment *seg, int32_t minPos, int32_t maxPos) {
    seg->pos = int16_t((minPos + maxPos) >> 1);
    seg->delta = int16_t((maxPos - minPos) >> 1);
}

// Writes the collected extent into `seg`, the whole record.
void Record(Segment *seg, const Extent &e, int32_t flatThreshold) {
    SetPosition(seg, e.minPos, e.maxPos);
    if (e.IsRound(flatThreshold)) seg->flags |= kEdgeRound;
    seg->minCoord = int16_t(e.minCoord);
    seg->maxCoord = int16_t(e.maxCoord);
    seg->height = int16_t(seg->maxCoord - seg->minCoord);
}

Segment FreshSegment() {
    Segment seg = {};
    seg.score = 32000;
    seg.flags = kEdgeNormal;
    return seg;
}

// The segment scanner of one contour: it walks the ring once, opening a
// segment where a point's out direction runs along the major direction
// and closing it where it stops doing so.
struct ContourScanner {
    AxisHints *axis;
    int32_t flatThreshold;
    int8_t majorDir;
    int8_t segmentDir;
    Segment *segment = nullptr;      // the open segment
    Segment *prevSegment = nullptr;  // the last closed one
    Extent cur;
    Extent prev;

    // Closes the open segment at `point`.  A segment starting where the
    // previous one ended (a spike, or a zig-zag along the axis) is merged
    // with it instead of being kept.
    void Close(Point *point) {
        if (!prevSegment || segment->first != prevSegment->last) {
            segment->last = point;
            Record(segment, cur, flatThreshold);
            prevSegment = segment;
            prev = cur;
        } else {
            MergeIntoPrevious(point);
            axis->segments.pop_back();
        }
        segment = nullptr;
    }

    void MergeIntoPrevious(Point *point) {
        if (prevSegment->last->inDir == point->inDir) {
            // Same direction: one segment with both extents.
            cur.Merge(prev);
            prevSegment->last = point;
            SetPosition(prevSegment, cur.minPos, cur.maxPos);
            if (cur.IsRound(flatThreshold))
                prevSegment->flags |= kEdgeRound;
            else
                prevSegment->flags &= uint8_t(~kEdgeRound);
            prevSegment->minCoord = int16_t(cur.minCoord);
            prevSegment->maxCoord = int16_t(cur.maxCoord);
            prevSegment->height = int16_t(prevSegment->maxCoord - prevSegment->minCoord);
        } else if (std::abs(prev.maxCoord - prev.minCoord) > std::abs(cur.maxCoord - cur.minCoord)) {
            // Opposite directions: the longer one stays, widened by the other.
            if (cur.minPos < prev.minPos) prev.minPos = cur.minPos;
            if (cur.maxPos > prev.maxPos) prev.maxPos = cur.maxPos;
            prevSegment->last = point;
            SetPosition(prevSegment, prev.minPos, prev.maxPos);
        } else {
            if (prev.minPos < cur.minPos) cur.minPos = prev.minPos;
            if (prev.maxPos > cur.maxPos) cur.maxPos = prev.maxPos;
            segment->last = point;
            Record(segment, cur, flatThreshold);
            *prevSegment = *segment;
            prev = cur;
        }
    }

    // False when the glyph has too many segments to be worth hinting.
    bool Open(Point *point) {
        if (axis->segments.size() > kMaxSegments) {
            axis->segments.clear();
            return false;
        }
        segmentDir = point->outDir;
        axis->segments.push_back(FreshSegment());
        segment = &axis->segments.back();
        if (prevSegment) prevSegment = segment - 1;
        segment->dir = segmentDir;
        segment->first = point;
        segment->last = point;
        cur.Start(*point);
        if (point == point->prev) {
            // A contour of one point: a segment of its own, closed at once.
            segment->pos = int16_t(cur.minPos);
            if (point->flags & kPointControl) segment->flags |= kEdgeRound;
            segment->minCoord = int16_t(point->v);
            segment->maxCoord = int16_t(point->v);
            segment->height = 0;
            segment = nullptr;
        }
        return true;
    }

    bool Scan(Point *start) {
        Point *point = start;
        Point *last = point->prev;
        if (std::abs(last->outDir) == majorDir && std::abs(point->outDir) == majorDir) {
            // The contour starts inside a segment: back up to its start.
            last = point;
            for (;;) {
                point = point->prev;
                if (std::abs(point->outDir) != majorDir) {
                    point = point->next;
                    break;
                }
                if (point == last) break;
            }
        }
        last = point;
        bool passed = false;
        for (;;) {
            if (segment) {
                cur.Add(*point);
                if (point->outDir != segmentDir || point == last) Close(point);
            }
            if (point == last) {
                if (passed) break;
                passed = true;
            }
            if (!segment && (std::abs(point->outDir) == majorDir || point == point->prev)) {
                if (!Open(point)) return false;
            }
            point = point->next;
        }
        return true;
    }
};

// Segments get a little taller where the outline keeps going beyond their
// ends, which tells serifs (short, abrupt) from stems later on.
void ExtendHeights(AxisHints *axis) {
    for (Segment &seg : axis->segments) {
        Point *first = seg.first;
        Point *last = seg.last;
        int32_t firstV = first->v;
        int32_t lastV = last->v;
        int32_t height = seg.height;
        if (firstV < lastV) {
            if (first->prev->v < firstV) height += (firstV - first->prev->v) >> 1;
            if (last->next->v > lastV) height += (last->next->v - lastV) >> 1;
        } else {
            if (first->prev->v > firstV) height += (first->prev->v - firstV) >> 1;
            if (last->next->v < lastV) height += (lastV - last->next->v) >> 1;
        }
        seg.height = int16_t(height);
    }
}

}  // namespace

bool ComputeSegments(GlyphHints *hints, Dimension dim) {
    AxisHints *axis = &hints->axis[dim];
    axis->segments.clear();
    // Pointers into the segment table are kept while it grows: reserve
    // what the scan can need up front.
    size_t room = hints->points.size() + 1;
    axis->segments.reserve(room < kMaxSegments + 2 ? room : kMaxSegments + 2);

    for (Point &point : hints->points) {
        point.u = dim == kDimHorz ? point.fx : point.fy;
        point.v = dim == kDimHorz ? point.fy : point.fx;
    }
    ContourScanner scanner;
    scanner.axis = axis;
    scanner.flatThreshold = int32_t(hints->unitsPerEm / 14);
    scanner.majorDir = int8_t(std::abs(int(axis->majorDir)));
    scanner.segmentDir = scanner.majorDir;
    for (Point *first : hints->contours) {
        scanner.segment = nullptr;
        scanner.prevSegment = nullptr;
        scanner.cur = Extent();
        scanner.prev = Extent();
        if (!scanner.Scan(first)) return true;  // hinting suppressed: no segments
    }
    ExtendHeights(axis);
    return true;
}

void LinkSegments(GlyphHints *hints, uint32_t widthCount, const Width *widths, Dimension dim) {
    AxisHints &axis = hints->axis[dim];
    const int32_t unitsPerEm = int32_t(hints->unitsPerEm);
    const int32_t maxWidth = widthCount ? widths[widthCount - 1].org : 0;
    // Heuristics given per 2048 units: the least overlap that counts, and
    // the weight of overlap in the score.
    int32_t lenThreshold = 8 * unitsPerEm / 2048;
    if (lenThreshold == 0) lenThreshold = 1;
    const int32_t lenScore = 6000 * unitsPerEm / 2048;
    const int32_t distScore = 3000;

    Segment *segments = axis.segments.data();
    Segment *limit = segments + axis.segments.size();
    for (Segment *seg1 = segments; seg1 < limit; ++seg1) {
        if (seg1->dir != axis.majorDir) continue;
        for (Segment *seg2 = segments; seg2 < limit; ++seg2) {
            int32_t pos1 = seg1->pos;
            int32_t pos2 = seg2->pos;
            if (seg1->dir + seg2->dir != 0 || pos2 <= pos1) continue;
            int32_t min = seg1->minCoord > seg2->minCoord ? seg1->minCoord : seg2->minCoord;
            int32_t max = seg1->maxCoord < seg2->maxCoord ? seg1->maxCoord : seg2->maxCoord;
            int32_t len = max - min;
            if (len < lenThreshold) continue;
            // Demerits: little overlap, and distances beyond the widest
            // standard stem (in multiples of it, scaled by 1024).
            int32_t dist = pos2 - pos1;
            int32_t distDemerit;
            if (maxWidth) {
                int32_t delta = (dist << 10) / maxWidth - (1 << 10);
                if (delta > 10000)
                    distDemerit = 32000;
                else if (delta > 0)
                    distDemerit = delta * delta / distScore;
                else
                    distDemerit = 0;
            } else {
                distDemerit = dist;
            }
            int32_t score = distDemerit + lenScore / len;
            if (score < seg1->score) {
                seg1->score = score;
                seg1->link = seg2;
            }
            if (score < seg2->score) {
                seg2->score = score;
                seg2->link = seg1;
            }
        }
    }
    for (Segment *seg1 = segments; seg1 < limit; ++seg1) {
        Segment *seg2 = seg1->link;
        if (seg2 && seg2->link != seg1) {
            seg1->link = nullptr;
            seg1->serif = seg2->link;
        }
    }
}

Edge *NewEdge(AxisHints *axis, int32_t fpos, Direction dir, bool topToBottom) {
    if (axis->edges.size() >= axis->edges.capacity()) return nullptr;
    axis->edges.push_back(Edge());
    Edge *edges = axis->edges.data();
    Edge *edge = edges + axis->edges.size() - 1;
    // Keep the table sorted by position; at one position, an edge of the
    // minor direction comes before those of the major one.
    while (edge > edges) {
        if (topToBottom ? edge[-1].fpos > fpos : edge[-1].fpos < fpos) break;
        if (edge[-1].fpos == fpos && dir == axis->majorDir) break;
        edge[0] = edge[-1];
        --edge;
    }
    *edge = Edge();
    return edge;
}

// ------------------------------------------------------ standard widths

namespace {

// The distances between segments of one axis linked to each other (each
// stem counted once: the later segment of a pair is skipped), sorted, with
// widths within 1% of the em merged.
void CollectStemWidths(AxisHints *hinted, AxisWidths *axis, uint32_t unitsPerEm) {
    uint32_t count = 0;
    for (Segment &seg : hinted->segments) {
        const Segment *link = seg.link;
        if (link == nullptr || link->link != &seg || link <= &seg) continue;
        if (count < uint32_t(kMaxWidths)) axis->widths[count++].org = std::abs(int32_t(seg.pos) - link->pos);
    }
    SortAndQuantizeWidths(&count, axis->widths, int32_t(unitsPerEm / 100));
    axis->widthCount = count;
}

// Segments and stems of the reference outline, found in font units (a
// scale of one).  The standard characters are plain enough for linking
// without any preferred widths.
void MeasureStemsOf(const StyleMetrics &metrics, uint32_t unitsPerEm, const Outline &outline,
                    AxisWidths *const (&axes)[kDimCount]) {
    StyleMetrics unitScale;
    unitScale.style = metrics.style;
    unitScale.globals = metrics.globals;
    unitScale.scaler.xScale = unitScale.scaler.yScale = 0x10000;
    GlyphHints hints;
    RescaleHints(&hints, &unitScale);
    hints.unitsPerEm = unitsPerEm;
    hints.xScale = hints.yScale = 0x10000;
    if (!ReloadHints(&hints, outline)) return;
    for (int dim = 0; dim < kDimCount; ++dim) {
        if (!ComputeSegments(&hints, Dimension(dim))) return;
        LinkSegments(&hints, 0, nullptr, Dimension(dim));
        CollectStemWidths(&hints.axis[dim], axes[dim], unitsPerEm);
    }
}

}  // namespace

void MeasureStandardWidths(StyleMetrics *metrics, uint32_t unitsPerEm, FontAccess *font, uint32_t glyph,
                           AxisWidths *const (&axes)[kDimCount]) {
    for (AxisWidths *axis : axes) axis->widthCount = 0;
    Outline outline;
    if (glyph != 0 && font->LoadFontUnitOutline(glyph, &outline) && !outline.points.empty())
        MeasureStemsOf(*metrics, unitsPerEm, outline, axes);
    for (AxisWidths *axis : axes) {
        const int32_t standard =
            axis->widthCount > 0 ? axis->widths[0].org : int32_t(int64_t(50) * unitsPerEm / 2048);
        axis->edgeDistanceThreshold = standard / 5;
        axis->standardWidth = standard;
        axis->extraLight = false;
    }
}

// ------------------------------------------------------ edges' links

void PointSegmentsAtEdges(AxisHints *axis) {
    for (Edge &edge : axis->edges) {
        Segment *seg = edge.first;
        do {
            seg->edge = &edge;
            seg = seg->edgeNext;
        } while (seg != edge.first);
    }
}

void LinkEdgeFromSegment(Edge *edge, Segment *seg) {
    const bool isSerif = seg->serif != nullptr && seg->serif->edge != nullptr && seg->serif->edge != edge;
    if ((seg->link == nullptr || seg->link->edge == nullptr) && !isSerif) return;
    Segment *seg2 = isSerif ? seg->serif : seg->link;
    Edge *edge2 = isSerif ? edge->serif : edge->link;
    if (edge2 == nullptr || std::abs(int32_t(seg->pos) - seg2->pos) < std::abs(int32_t(edge->fpos) - edge2->fpos))
        edge2 = seg2->edge;
    if (isSerif) {
        edge->serif = edge2;
        edge2->flags |= kEdgeSerif;
    } else {
        edge->link = edge2;
    }
}

}  // namespace autohint
}  // namespace kelmor
