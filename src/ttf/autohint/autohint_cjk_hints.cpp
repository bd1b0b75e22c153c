// The CJK writing system's per-glyph work: edges from segments, edges in
// blue zones, stems snapped to whole pixels for a monochrome target, and
// the points moved with their edges.
//
// Ideographs have many parallel stems close together; the stem pass keeps
// a stem from being snapped onto the one before it (it is interpolated
// instead), so that counters do not close up at small sizes.
#include <cstdint>
#include <cstdlib>

#include "ttf/autohint/autohint_hints.h"

namespace kelmor {
namespace autohint {

namespace {

CjkMetrics &Cjk(StyleMetrics *metrics) { return *static_cast<CjkMetrics *>(metrics); }

int32_t SegmentDistance(const Segment &a, const Segment &b) {
    return a.pos > b.pos ? int32_t(a.pos) - b.pos : int32_t(b.pos) - a.pos;
}

// Stems for CJK: each major-direction segment takes the nearest opposite
// segment with enough overlap (a slightly farther one when it overlaps
// more); then stems whose ends are wider than their middle are sorted
// into a stem and its serifs.
void LinkCjkSegments(GlyphHints *hints, Dimension dim) {
    AxisHints &axis = hints->axis[dim];
    Segment *segments = axis.segments.data();
    Segment *limit = segments + axis.segments.size();
    const int32_t lenThreshold = int32_t(8 * hints->unitsPerEm / 2048);
    const int32_t distThreshold = DivFix(64 * 3, dim == kDimHorz ? hints->xScale : hints->yScale);

    for (Segment *seg1 = segments; seg1 < limit; ++seg1) {
        if (seg1->dir != axis.majorDir) continue;
        for (Segment *seg2 = segments; seg2 < limit; ++seg2) {
            if (seg2 == seg1 || seg1->dir + seg2->dir != 0) continue;
            int32_t dist = int32_t(seg2->pos) - seg1->pos;
            if (dist < 0) continue;
            int32_t min = seg1->minCoord > seg2->minCoord ? seg1->minCoord : seg2->minCoord;
            int32_t max = seg1->maxCoord < seg2->maxCoord ? seg1->maxCoord : seg2->maxCoord;
            int32_t len = max - min;
            if (len < lenThreshold) continue;
            int64_t dist8 = int64_t(dist) * 8;
            if (dist8 < int64_t(seg1->score) * 9 && (dist8 < int64_t(seg1->score) * 7 || seg1->len < len)) {
                seg1->score = dist;
                seg1->len = len;
                seg1->link = seg2;
            }
            if (dist8 < int64_t(seg2->score) * 9 && (dist8 < int64_t(seg2->score) * 7 || seg2->len < len)) {
                seg2->score = dist;
                seg2->len = len;
                seg2->link = seg1;
            }
        }
    }

    // A thin stem (seg1-link1) inside a wider one (seg2-link2) around the
    // same place: the longer of the two is the stem; the other's
    // segments become its serifs, or lose their link.
    for (Segment *seg1 = segments; seg1 < limit; ++seg1) {
        Segment *link1 = seg1->link;
        if (!link1 || link1->link != seg1 || link1->pos <= seg1->pos) continue;
        if (seg1->score >= distThreshold) continue;
        for (Segment *seg2 = segments; seg2 < limit; ++seg2) {
            if (seg2->pos > seg1->pos || seg1 == seg2) continue;
            Segment *link2 = seg2->link;
            if (!link2 || link2->link != seg2 || link2->pos < link1->pos) continue;
            if (seg1->pos == seg2->pos && link1->pos == link2->pos) continue;
            if (seg2->score <= seg1->score || int64_t(seg1->score) * 4 <= seg2->score) continue;
            if (int64_t(seg1->len) >= int64_t(seg2->len) * 3) {
                for (Segment *seg = segments; seg < limit; ++seg) {
                    Segment *link = seg->link;
                    if (link == seg2) {
                        seg->link = nullptr;
                        seg->serif = link1;
                    } else if (link == link2) {
                        seg->link = nullptr;
                        seg->serif = seg1;
                    }
                }
            } else {
                seg1->link = link1->link = nullptr;
                break;
            }
        }
    }

    for (Segment *seg1 = segments; seg1 < limit; ++seg1) {
        Segment *seg2 = seg1->link;
        if (seg2 && seg2->link != seg1) {
            seg1->link = nullptr;
            if (seg2->score < distThreshold || int64_t(seg1->score) < int64_t(seg2->score) * 4)
                seg1->serif = seg2->link;
        }
    }
}

// Whether `seg` can join `edge`: its stem partner must lie within the
// threshold of every partner already on the edge.
bool LinksFitEdge(const Edge &edge, const Segment &seg, int32_t threshold) {
    const Segment *link = seg.link;
    if (!link) return true;
    const Segment *seg1 = edge.first;
    int32_t dist2 = 0;
    do {
        const Segment *link1 = seg1->link;
        if (link1) {
            dist2 = SegmentDistance(*link, *link1);
            if (dist2 >= threshold) break;
        }
    } while ((seg1 = seg1->edgeNext) != edge.first);
    return dist2 < threshold;
}

// Segments at (almost) one position, going one way, become one edge.
bool GroupSegmentsIntoEdges(GlyphHints *hints, Dimension dim) {
    AxisHints &axis = hints->axis[dim];
    const CjkAxis &cjkAxis = Cjk(hints->metrics).axis[dim];
    const int32_t scale = dim == kDimHorz ? hints->xScale : hints->yScale;
    // At most a quarter pixel apart.
    int32_t threshold = MulFix(cjkAxis.edgeDistanceThreshold, scale);
    threshold = threshold > 64 / 4 ? DivFix(64 / 4, scale) : cjkAxis.edgeDistanceThreshold;

    axis.edges.clear();
    axis.edges.reserve(axis.segments.size());
    for (Segment &seg : axis.segments) {
        Edge *found = nullptr;
        int32_t best = 0xFFFF;
        for (Edge &edge : axis.edges) {
            if (edge.dir != seg.dir) continue;
            int32_t dist = std::abs(int32_t(seg.pos) - edge.fpos);
            if (dist < threshold && dist < best && LinksFitEdge(edge, seg, threshold)) {
                best = dist;
                found = &edge;
            }
        }
        if (!found) {
            Edge *edge = NewEdge(&axis, seg.pos, Direction(seg.dir), false);
            if (!edge) return false;
            edge->first = &seg;
            edge->last = &seg;
            edge->dir = seg.dir;
            edge->fpos = seg.pos;
            edge->opos = MulFix(seg.pos, scale);
            edge->pos = edge->opos;
            seg.edgeNext = &seg;
        } else {
            seg.edgeNext = found->first;
            found->last->edgeNext = &seg;
            found->last = &seg;
        }
    }
    return true;
}

void ComputeEdgeProperties(AxisHints *axis) {
    PointSegmentsAtEdges(axis);
    for (Edge &edge : axis->edges) {
        int isRound = 0;
        int isStraight = 0;
        Segment *seg = edge.first;
        do {
            if (seg->flags & kEdgeRound)
                ++isRound;
            else
                ++isStraight;
            LinkEdgeFromSegment(&edge, seg);
            seg = seg->edgeNext;
        } while (seg != edge.first);
        edge.flags = kEdgeNormal;
        if (isRound > 0 && isRound >= isStraight) edge.flags |= kEdgeRound;
        // A stem edge is not also a serif.
        if (edge.serif && edge.link) edge.serif = nullptr;
    }
}

// The segments, stems and edges of one axis.  (The CJK roundness rule
// the reference states for segments never takes effect there: it runs
// over the segment table before the table is filled.  The shared rule
// stands.)
bool DetectFeatures(GlyphHints *hints, Dimension dim) {
    if (!ComputeSegments(hints, dim)) return false;
    LinkCjkSegments(hints, dim);
    if (!GroupSegmentsIntoEdges(hints, dim)) return false;
    ComputeEdgeProperties(&hints->axis[dim]);
    return true;
}

// Edges near an active blue zone snap to it: a top zone takes edges
// against the major direction, a bottom zone edges along it, whichever
// of the zone's two lines is nearer; the nearest zone within 1/40 em (at
// most half a pixel) wins.
void ComputeBlueEdges(GlyphHints *hints, CjkMetrics *metrics, Dimension dim) {
    AxisHints &axis = hints->axis[dim];
    CjkAxis &cjk = metrics->axis[dim];
    const int32_t scale = cjk.scale;
    int32_t bestDist0 = MulFix(int32_t(metrics->unitsPerEm / 40), scale);
    if (bestDist0 > 64 / 2) bestDist0 = 64 / 2;
    for (Edge &edge : axis.edges) {
        Width *bestBlue = nullptr;
        int32_t bestDist = bestDist0;
        for (uint32_t bb = 0; bb < cjk.blueCount; ++bb) {
            CjkBlue &blue = cjk.blues[bb];
            if (!(blue.flags & kBlueActive)) continue;
            bool isTopRight = (blue.flags & kCjkBlueTop) != 0;
            bool isMajorDir = edge.dir == axis.majorDir;
            if (isTopRight == isMajorDir) continue;
            Width *compare = std::abs(int32_t(edge.fpos) - blue.ref.org) > std::abs(int32_t(edge.fpos) - blue.shoot.org)
                                 ? &blue.shoot
                                 : &blue.ref;
            int32_t dist = MulFix(std::abs(int32_t(edge.fpos) - compare->org), scale);
            if (dist < bestDist) {
                bestDist = dist;
                bestBlue = compare;
            }
        }
        if (bestBlue) edge.blueEdge = bestBlue;
    }
}

// ------------------------------------------------------------ fitting

// Snaps a scaled width to the nearest standard width when it is within
// 3/4 pixel of that width's rounding.
int32_t SnapWidth(const Width *widths, uint32_t count, int32_t width) {
    int32_t best = 64 + 32 + 2;
    int32_t reference = width;
    for (uint32_t n = 0; n < count; ++n) {
        int32_t dist = std::abs(width - widths[n].cur);
        if (dist < best) {
            best = dist;
            reference = widths[n].cur;
        }
    }
    int32_t scaled = PixRound(reference);
    if (width >= reference) {
        if (width < scaled + 48) width = reference;
    } else {
        if (width > scaled - 48) width = reference;
    }
    return width;
}

// The fitted width of a stem `width` wide (26.6, signed).
int32_t StemWidth(GlyphHints *hints, Dimension dim, int32_t width) {
    const CjkAxis &axis = Cjk(hints->metrics).axis[dim];
    if (!(hints->otherFlags & kHintsStemAdjust)) return width;
    int32_t dist = width < 0 ? -width : width;
    const bool vertical = dim == kDimVert;
    const bool snap = vertical ? (hints->otherFlags & kHintsVertSnap) : (hints->otherFlags & kHintsHorzSnap);
    if (!snap) {
        // Smooth targets: quantize lightly.
        if (axis.widthCount > 0 && std::abs(dist - axis.widths[0].cur) < 40) {
            dist = axis.widths[0].cur;
            if (dist < 48) dist = 48;
        } else if (dist < 54) {
            dist += (54 - dist) / 2;
        } else if (dist < 3 * 64) {
            int32_t delta = dist & 63;
            dist &= -64;
            if (delta < 10)
                dist += delta;
            else if (delta < 22)
                dist += 10;
            else if (delta < 42)
                dist += delta;
            else if (delta < 54)
                dist += 54;
            else
                dist += delta;
        }
    } else {
        dist = SnapWidth(axis.widths, axis.widthCount, dist);
        if (vertical) {
            // Stem heights are always whole pixels.
            dist = dist >= 64 ? (dist + 16) & ~63 : 64;
        } else if (hints->otherFlags & kHintsMono) {
            dist = dist < 64 ? 64 : (dist + 32) & ~63;
        } else if (dist < 48) {
            dist = (dist + 64) >> 1;
        } else if (dist < 128) {
            dist = (dist + 22) & ~63;
        } else {
            dist = (dist + 32) & ~63;
        }
    }
    return width < 0 ? -dist : dist;
}

void AlignLinkedEdge(GlyphHints *hints, Dimension dim, Edge *base, Edge *stem) {
    int32_t dist = stem->opos - base->opos;
    stem->pos = base->pos + StemWidth(hints, dim, dist);
}

void AlignSerifEdge(const Edge *base, Edge *serif) { serif->pos = base->pos + (serif->opos - base->opos); }

// Light-mode limits (no stem adjustment): how far edges may move.
constexpr int32_t kLightMaxHorzGap = 9;
constexpr int32_t kLightMaxVertGap = 15;
constexpr int32_t kLightMaxDeltaAbs = 14;

// Places a stem (edge..edge2) of fitted width around its centre shifted
// by `anchor`, then nudges it so that both sides land on pixel edges
// where that costs least.  Returns the nudge.
int32_t HintNormalStem(GlyphHints *hints, Edge *edge, Edge *edge2, int32_t anchor, Dimension dim) {
    const bool adjust = hints->otherFlags & kHintsStemAdjust;
    int32_t threshold = 64;
    if (!adjust) {
        bool round = (edge->flags & kEdgeRound) && (edge2->flags & kEdgeRound);
        if (dim == kDimVert)
            threshold = 64 - (round ? kLightMaxHorzGap : kLightMaxHorzGap / 3);
        else
            threshold = 64 - (round ? kLightMaxVertGap : kLightMaxVertGap / 3);
    }
    int32_t orgLen = edge2->opos - edge->opos;
    int32_t curLen = StemWidth(hints, dim, orgLen);
    int32_t orgCenter = (edge->opos + edge2->opos) / 2 + anchor;
    int32_t curPos1 = orgCenter - curLen / 2;
    int32_t curPos2 = curPos1 + curLen;
    int32_t dOff1 = curPos1 - PixFloor(curPos1);
    int32_t dOff2 = curPos2 - PixFloor(curPos2);
    int32_t uOff1 = 64 - dOff1;
    int32_t uOff2 = 64 - dOff2;
    int32_t delta = 0;

    if (dOff1 != 0 && dOff2 != 0) {
        if (curLen <= threshold) {
            if (dOff2 < curLen) delta = uOff1 <= dOff2 ? uOff1 : -dOff2;
        } else if (threshold < 64 && (dOff1 >= threshold || uOff1 >= threshold || dOff2 >= threshold ||
                                      uOff2 >= threshold)) {
            // leave it
        } else {
            int32_t offset = curLen & 63;
            bool keep = false;
            if (offset < 32) {
                if (uOff1 <= offset || dOff2 <= offset) keep = true;
            } else {
                offset = 64 - threshold;
            }
            if (!keep) {
                dOff1 = threshold - uOff1;
                uOff1 = uOff1 - offset;
                uOff2 = threshold - dOff2;
                dOff2 = dOff2 - offset;
                if (dOff1 <= uOff1) uOff1 = -dOff1;
                if (dOff2 <= uOff2) uOff2 = -dOff2;
                delta = std::abs(uOff1) <= std::abs(uOff2) ? uOff1 : uOff2;
            }
        }
    }
    if (!adjust) {
        if (delta > kLightMaxDeltaAbs)
            delta = kLightMaxDeltaAbs;
        else if (delta < -kLightMaxDeltaAbs)
            delta = -kLightMaxDeltaAbs;
    }
    curPos1 += delta;
    if (edge->opos < edge2->opos) {
        edge->pos = curPos1;
        edge2->pos = curPos1 + curLen;
    } else {
        edge->pos = curPos1 + curLen;
        edge2->pos = curPos1;
    }
    return delta;
}

// Blue edges first: an edge in a zone takes the zone's fitted position,
// and its stem partner follows at the fitted stem width.
Edge *AlignBlueEdges(GlyphHints *hints, Dimension dim) {
    Edge *anchor = nullptr;
    for (Edge &edgeRef : hints->axis[dim].edges) {
        Edge *edge = &edgeRef;
        if (edge->flags & kEdgeDone) continue;
        Width *blue = edge->blueEdge;
        Edge *edge1 = nullptr;
        Edge *edge2 = edge->link;
        if (blue) {
            edge1 = edge;
        } else if (edge2 && edge2->blueEdge) {
            blue = edge2->blueEdge;
            edge1 = edge2;
            edge2 = edge;
        }
        if (!edge1) continue;
        edge1->pos = blue->fit;
        edge1->flags |= kEdgeDone;
        if (edge2 && !edge2->blueEdge) {
            AlignLinkedEdge(hints, dim, edge1, edge2);
            edge2->flags |= kEdgeDone;
        }
        if (!anchor) anchor = edge;
    }
    return anchor;
}

// Keeps the three stems of a lowercase m (or any glyph shaped like one)
// evenly spaced.
void KeepThreeStemsEven(AxisHints *axis) {
    Edge *edges = axis->edges.data();
    size_t count = axis->edges.size();
    if (count != 6 && count != 12) return;
    Edge *edge1 = count == 6 ? edges : edges + 1;
    Edge *edge2 = count == 6 ? edges + 2 : edges + 5;
    Edge *edge3 = count == 6 ? edges + 4 : edges + 9;
    int32_t span = std::abs((edge2->opos - edge1->opos) - (edge3->opos - edge2->opos));
    if (edge1->link != edge1 + 1 || edge2->link != edge2 + 1 || edge3->link != edge3 + 1 || span >= 8) return;
    int32_t delta = edge3->pos - (2 * edge2->pos - edge1->pos);
    edge3->pos -= delta;
    if (edge3->link) edge3->link->pos -= delta;
    if (count == 12) {
        edges[8].pos -= delta;
        edges[11].pos -= delta;
    }
    edge3->flags |= kEdgeDone;
    if (edge3->link) edge3->link->flags |= kEdgeDone;
}

// What stems and blue zones did not place: serifs follow their stem,
// other edges are interpolated between the placed edges around them.
void PlaceRemainingEdges(AxisHints *axis, int skipped) {
    Edge *edges = axis->edges.data();
    Edge *limit = edges + axis->edges.size();
    // (Every serif is placed, even past the count of skipped edges; the
    // count can go negative, and the interpolation below then still runs.)
    for (Edge *edge = edges; edge < limit; ++edge) {
        if (edge->flags & kEdgeDone) continue;
        if (edge->serif) {
            AlignSerifEdge(edge->serif, edge);
            edge->flags |= kEdgeDone;
            --skipped;
        }
    }
    if (!skipped) return;
    for (Edge *edge = edges; edge < limit; ++edge) {
        if (edge->flags & kEdgeDone) continue;
        Edge *before = edge;
        Edge *after = edge;
        while (--before >= edges)
            if (before->flags & kEdgeDone) break;
        while (++after < limit)
            if (after->flags & kEdgeDone) break;
        if (before < edges && after >= limit) continue;
        if (before < edges) {
            AlignSerifEdge(after, edge);
        } else if (after >= limit) {
            AlignSerifEdge(before, edge);
        } else if (after->fpos == before->fpos) {
            edge->pos = before->pos;
        } else {
            edge->pos = before->pos + MulDiv(int32_t(edge->fpos) - before->fpos, after->pos - before->pos,
                                             int32_t(after->fpos) - before->fpos);
        }
    }
}

void HintEdges(GlyphHints *hints, Dimension dim) {
    AxisHints &axis = hints->axis[dim];
    Edge *anchor = AlignBlueEdges(hints, dim);
    int32_t delta = 0;
    int skipped = 0;
    bool hasLastStem = false;
    int32_t lastStemPos = 0;
    for (Edge &edgeRef : axis.edges) {
        Edge *edge = &edgeRef;
        if (edge->flags & kEdgeDone) continue;
        Edge *edge2 = edge->link;
        if (!edge2) {
            ++skipped;
            continue;
        }
        // A stem too close to the previous one is left to interpolation,
        // so that the two do not merge.
        if (hasLastStem && (edge->pos < lastStemPos + 64 || edge2->pos < lastStemPos + 64)) {
            ++skipped;
            continue;
        }
        if (edge2->blueEdge) {
            AlignLinkedEdge(hints, dim, edge2, edge);
            edge->flags |= kEdgeDone;
            continue;
        }
        if (edge2 < edge) {
            AlignLinkedEdge(hints, dim, edge2, edge);
            edge->flags |= kEdgeDone;
            hasLastStem = true;
            lastStemPos = edge->pos;
            continue;
        }
        if (dim != kDimVert && !anchor)
            delta = HintNormalStem(hints, edge, edge2, 0, kDimHorz);
        else
            HintNormalStem(hints, edge, edge2, delta, dim);
        anchor = edge;
        edge->flags |= kEdgeDone;
        edge2->flags |= kEdgeDone;
        hasLastStem = true;
        lastStemPos = edge2->pos;
    }
    if (dim == kDimHorz) KeepThreeStemsEven(&axis);
    if (skipped) PlaceRemainingEdges(&axis, skipped);
}

// Points of an edge's segments move with it: onto it when stems are
// snapped, else by the edge's own shift.
void AlignCjkEdgePoints(GlyphHints *hints, Dimension dim) {
    const bool snapping = dim == kDimHorz ? (hints->otherFlags & kHintsHorzSnap) : (hints->otherFlags & kHintsVertSnap);
    for (Edge &edge : hints->axis[dim].edges) {
        const int32_t delta = edge.pos - edge.opos;
        Segment *seg = edge.first;
        do {
            for (Point *point = seg->first;; point = point->next) {
                if (dim == kDimHorz) {
                    point->x = snapping ? edge.pos : point->x + delta;
                    point->flags |= kPointTouchX;
                } else {
                    point->y = snapping ? edge.pos : point->y + delta;
                    point->flags |= kPointTouchY;
                }
                if (point == seg->last) break;
            }
            seg = seg->edgeNext;
        } while (seg != edge.first);
    }
}

}  // namespace

bool InitCjkHints(GlyphHints *hints, StyleMetrics *metrics) {
    CjkMetrics &cjk = Cjk(metrics);
    StartGlyphHints(hints, metrics, cjk.axis[kDimHorz], cjk.axis[kDimVert]);
    // CJK glyphs keep their scaled advance: ideographs are set on a fixed
    // pitch, and per-glyph rounding would break it.
    hints->scalerFlags |= kScalerNoAdvance;
    return true;
}

bool ApplyCjkHints(uint32_t glyph, GlyphHints *hints, const Outline &outline, StyleMetrics *metrics) {
    (void)glyph;
    if (!ReloadHints(hints, outline)) return false;
    CjkMetrics *cjk = static_cast<CjkMetrics *>(metrics);
    if (hints->DoHorizontal()) {
        if (!DetectFeatures(hints, kDimHorz)) return false;
        ComputeBlueEdges(hints, cjk, kDimHorz);
    }
    if (hints->DoVertical()) {
        if (!DetectFeatures(hints, kDimVert)) return false;
        ComputeBlueEdges(hints, cjk, kDimVert);
    }
    for (int dim = 0; dim < kDimCount; ++dim) {
        if (dim == kDimHorz ? !hints->DoHorizontal() : !hints->DoVertical()) continue;
        HintEdges(hints, Dimension(dim));
        AlignCjkEdgePoints(hints, Dimension(dim));
        AlignStrongPoints(hints, Dimension(dim));
        AlignWeakPoints(hints, Dimension(dim));
    }
    return true;
}

}  // namespace autohint
}  // namespace kelmor
