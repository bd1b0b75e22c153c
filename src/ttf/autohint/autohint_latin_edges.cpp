// Edges of the Latin writing system: segments at (nearly) one position and
// going one way become an edge; an edge takes its stem partner and serif
// from its segments' links; horizontal edges near a blue zone are tied to
// it.
#include <cstdlib>

#include "ttf/autohint/autohint_latin.h"

namespace kelmor {
namespace autohint {
namespace {

int32_t AxisScale(const GlyphHints &hints, Dimension dim) {
    return dim == kDimHorz ? hints.xScale : hints.yScale;
}

bool TopToBottom(const GlyphHints &hints, Dimension dim) {
    const StyleMetrics *m = hints.metrics;
    return dim == kDimVert && m != nullptr && m->style != nullptr && m->style->script != nullptr &&
           m->style->script->topToBottomHinting;
}

// The first edge within `threshold` font units of the segment (and, unless
// `anyDirection`, going the same way), or null.
Edge *EdgeNear(AxisHints *axis, const Segment &seg, int32_t threshold, bool anyDirection) {
    for (Edge &edge : axis->edges) {
        if (std::abs(int32_t(seg.pos) - edge.fpos) < threshold &&
            (anyDirection || edge.dir == seg.dir))
            return &edge;
    }
    return nullptr;
}

void AppendSegment(Edge *edge, Segment *seg) {
    seg->edgeNext = edge->first;
    edge->last->edgeNext = seg;
    edge->last = seg;
}

bool StartEdge(AxisHints *axis, Segment *seg, int32_t scale, bool topToBottom) {
    Edge *edge = NewEdge(axis, seg->pos, Direction(seg->dir), topToBottom);
    if (edge == nullptr) return false;
    *edge = Edge{};
    edge->first = edge->last = seg;
    edge->dir = seg->dir;
    edge->fpos = seg->pos;
    edge->opos = edge->pos = MulFix(seg->pos, scale);
    seg->edgeNext = seg;
    return true;
}

// Segments shorter than a pixel (along x: serifs of many fonts), wider than
// a pixel across, or without a direction do not start edges; serifs
// shorter than a pixel and a half neither.
bool SegmentMakesEdge(const Segment &seg, int32_t lengthThreshold, int32_t widthThreshold) {
    if (seg.height < lengthThreshold || seg.delta > widthThreshold || seg.dir == kDirNone)
        return false;
    return seg.serif == nullptr || 2 * int64_t(seg.height) >= 3 * int64_t(lengthThreshold);
}

// Follows the edge's segments to their stem links and serifs: the edge's
// link (or serif) is the edge of its closest linked segment.
void LinkEdge(Edge *edge) {
    int round = 0, straight = 0;
    Segment *seg = edge->first;
    do {
        if (seg->flags & kEdgeRound) {
            ++round;
        } else {
            ++straight;
        }
        LinkEdgeFromSegment(edge, seg);
        seg = seg->edgeNext;
    } while (seg != edge->first);
    edge->flags = kEdgeNormal;
    if (round > 0 && round >= straight) edge->flags |= kEdgeRound;
    // An edge that is both a stem and a serif is a stem: keeping the serif
    // too causes artefacts (rounded letters such as c at small sizes).
    if (edge->serif != nullptr && edge->link != nullptr) edge->serif = nullptr;
}

}  // namespace

bool ComputeLatinEdges(GlyphHints *hints, Dimension dim) {
    AxisHints &axis = hints->axis[dim];
    axis.edges.clear();
    // Each edge starts from a segment: with room for one per segment, the
    // table never moves while segments point into it.
    axis.edges.reserve(axis.segments.size());
    const int32_t scale = AxisScale(*hints, dim);
    const bool topToBottom = TopToBottom(*hints, dim);
    const LatinMetrics *metrics = static_cast<const LatinMetrics *>(hints->metrics);

    const int32_t lengthThreshold = dim == kDimHorz ? DivFix(64, hints->yScale) : 0;
    const int32_t widthThreshold = DivFix(32, scale);
    // Segments join an edge within the axis's threshold, but never more
    // than a quarter pixel apart.
    int32_t joinDistance = MulFix(metrics->axis[dim].edgeDistanceThreshold, scale);
    if (joinDistance > 64 / 4) joinDistance = 64 / 4;
    joinDistance = DivFix(joinDistance, scale);

    for (Segment &seg : axis.segments) {
        if (!SegmentMakesEdge(seg, lengthThreshold, widthThreshold)) continue;
        Edge *found = EdgeNear(&axis, seg, joinDistance, false);
        if (found != nullptr) {
            AppendSegment(found, &seg);
        } else if (!StartEdge(&axis, &seg, scale, topToBottom)) {
            return false;
        }
    }
    // Single points without a direction join an edge they lie on, if any.
    for (Segment &seg : axis.segments) {
        if (seg.dir != kDirNone) continue;
        Edge *found = EdgeNear(&axis, seg, joinDistance, true);
        if (found != nullptr) AppendSegment(found, &seg);
    }
    // Every segment learns its edge before the links between edges are
    // followed.
    PointSegmentsAtEdges(&axis);
    for (Edge &edge : axis.edges) LinkEdge(&edge);
    return true;
}

void ComputeLatinBlueEdges(GlyphHints *hints, const LatinMetrics &metrics) {
    AxisHints &axis = hints->axis[kDimVert];
    const LatinAxis &latin = metrics.axis[kDimVert];
    const int32_t scale = latin.scale;
    for (Edge &edge : axis.edges) {
        // Edges farther than 1/40 em (and half a pixel) from every zone
        // stay free.
        int32_t bestDistance = MulFix(int32_t(metrics.unitsPerEm / 40), scale);
        if (bestDistance > 64 / 2) bestDistance = 64 / 2;
        const Width *best = nullptr;
        bool bestIsNeutral = false;
        for (uint32_t b = 0; b < latin.blueCount; ++b) {
            const LatinBlue &blue = latin.blues[b];
            if (!(blue.flags & kBlueActive)) continue;
            const bool isTop = (blue.flags & (kLatinBlueTop | kLatinBlueSubTop)) != 0;
            const bool isNeutral = (blue.flags & kLatinBlueNeutral) != 0;
            const bool isMajor = edge.dir == axis.majorDir;
            // Outlines run clockwise: a top zone takes edges against the
            // major direction, a bottom zone edges along it; neutral zones
            // take both.
            if (!(isTop != isMajor || isNeutral)) continue;
            int32_t distance = MulFix(std::abs(int32_t(edge.fpos) - blue.ref.org), scale);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = &blue.ref;
                bestIsNeutral = isNeutral;
            }
            // A round edge beyond the reference (above a top zone's,
            // below a bottom zone's) may be closer to the overshoot.
            if ((edge.flags & kEdgeRound) && distance != 0 && !isNeutral) {
                const bool isUnderRef = edge.fpos < blue.ref.org;
                if (isTop != isUnderRef) {
                    distance = MulFix(std::abs(int32_t(edge.fpos) - blue.shoot.org), scale);
                    if (distance < bestDistance) {
                        bestDistance = distance;
                        best = &blue.shoot;
                        bestIsNeutral = isNeutral;
                    }
                }
            }
        }
        if (best != nullptr) {
            // The zones belong to the style's metrics; the edge only reads
            // the fitted position through this pointer.
            edge.blueEdge = const_cast<Width *>(best);
            if (bestIsNeutral) edge.flags |= kEdgeNeutral;
        }
    }
}

}  // namespace autohint
}  // namespace kelmor
