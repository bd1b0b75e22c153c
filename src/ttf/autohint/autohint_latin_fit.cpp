// Grid-fitting the Latin writing system's edges: stems keep a fitted
// width, blue edges go to their zones, the first stem placed anchors the
// rest, and edges outside stems (serifs, lone edges) follow what is placed.
#include <cstdlib>

#include "ttf/autohint/autohint_latin.h"

namespace kelmor {
namespace autohint {
namespace {

const LatinAxis &MetricsAxis(const GlyphHints &hints, Dimension dim) {
    return static_cast<const LatinMetrics *>(hints.metrics)->axis[dim];
}

// The width snaps to the nearest standard width when it is within about
// 3/4 pixel of it (measured from the standard width rounded).
int32_t SnapToStandardWidth(const LatinAxis &axis, int32_t width) {
    int32_t best = 64 + 32 + 2;
    int32_t reference = width;
    for (uint32_t i = 0; i < axis.widthCount; ++i) {
        const int32_t distance = std::abs(width - axis.widths[i].cur);
        if (distance < best) {
            best = distance;
            reference = axis.widths[i].cur;
        }
    }
    const int32_t rounded = PixRound(reference);
    if (width >= reference ? width < rounded + 48 : width > rounded - 48) return reference;
    return width;
}

// Targets that snap stems of this axis: whole pixels, at least one.
int32_t SnappedStemWidth(const GlyphHints &hints, const LatinAxis &axis, bool vertical, int32_t dist) {
    const int32_t original = dist;
    dist = SnapToStandardWidth(axis, dist);
    if (vertical) return dist >= 64 ? PixFloor(dist + 16) : 64;
    if (hints.otherFlags & kHintsMono) return dist < 64 ? 64 : PixRound(dist);
    // Anti-aliased x: thin stems are strengthened, stems between one and
    // two pixels rounded only when that moves them less than 1/4 pixel
    // (unhinted diagonals would otherwise look bolder or thinner).
    if (dist < 48) return (dist + 64) >> 1;
    if (dist >= 128) return PixRound(dist);
    const int32_t rounded = PixFloor(dist + 22);
    if (std::abs(rounded - original) < 16) return rounded;
    return original < 48 ? (original + 64) >> 1 : original;
}

// How far a long stem is shortened when its start was already rounded the
// same way: rounding both the start and the length can otherwise push the
// stem's end far from where it was, which at small sizes makes outlines
// collide.
int32_t DoubleRoundingAllowance(const GlyphHints &hints, int32_t width, int32_t baseDelta) {
    if (!((width > 0 && baseDelta > 0) || (width < 0 && baseDelta < 0))) return 0;
    const uint32_t ppem = hints.metrics->scaler.xPpem;
    int32_t allowance = 0;
    if (ppem < 10) {
        allowance = baseDelta;
    } else if (ppem < 30) {
        allowance = int32_t(int64_t(baseDelta) * int32_t(30 - ppem) / 20);
    }
    return std::abs(allowance);
}

// Targets that do not snap this axis: the width is quantized lightly.
int32_t SmoothStemWidth(const GlyphHints &hints, const LatinAxis &axis, bool vertical, int32_t width,
                        int32_t dist, int32_t baseDelta, uint8_t baseFlags, uint8_t stemFlags) {
    // Serifs keep their height.
    if ((stemFlags & kEdgeSerif) && vertical && dist < 3 * 64) return dist;
    if (baseFlags & kEdgeRound) {
        if (dist < 80) dist = 64;
    } else if (dist < 56) {
        dist = 56;
    }
    if (axis.widthCount == 0) return dist;
    if (std::abs(dist - axis.widths[0].cur) < 40) return axis.widths[0].cur < 48 ? 48 : axis.widths[0].cur;
    if (dist < 3 * 64) {
        const int32_t fraction = dist & 63;
        dist = PixFloor(dist);
        if (fraction < 10) return dist + fraction;
        if (fraction < 32) return dist + 10;
        if (fraction < 54) return dist + 54;
        return dist + fraction;
    }
    return PixFloor(dist - DoubleRoundingAllowance(hints, width, baseDelta) + 32);
}

// Moves `stem` to sit its fitted width away from `base`, already placed.
void AlignLinkedEdge(const GlyphHints &hints, Dimension dim, const Edge &base, Edge *stem) {
    const int32_t width = stem->opos - base.opos;
    const int32_t baseDelta = base.pos - base.opos;
    stem->pos = base.pos + FitLatinStemWidth(hints, dim, width, baseDelta, base.flags, stem->flags);
}

// A serif moves with the stem edge it hangs from.
void AlignSerifEdge(const Edge &base, Edge *serif) { serif->pos = base.pos + (serif->opos - base.opos); }

struct EdgeRange {
    Edge *begin;
    Edge *end;
    bool topToBottom;
    size_t Index(const Edge *e) const { return size_t(e - begin); }
    bool Before(int32_t a, int32_t b) const { return topToBottom ? a > b : a < b; }
};

// ------------------------------------------------------------ blue edges

// A stem with both edges in blue zones, one of them neutral, keeps only
// the other zone (outlines going both ways would otherwise meet on one
// height); with two neutral zones the second edge lets go of its zone.
void DropNeutralZoneOfStem(Edge *edge, Edge *edge2) {
    if (edge->blueEdge == nullptr || edge2 == nullptr || edge2->blueEdge == nullptr) return;
    if (edge2->flags & kEdgeNeutral) {
        edge2->blueEdge = nullptr;
        edge2->flags &= ~kEdgeNeutral;
    } else if (edge->flags & kEdgeNeutral) {
        edge->blueEdge = nullptr;
        edge->flags &= ~kEdgeNeutral;
    }
}

// Edges in blue zones (or whose stem partner is) go to the zone, and the
// partner follows at the stem's fitted width.  The first stem so placed
// becomes the anchor.
Edge *AlignBlueEdges(const GlyphHints &hints, Dimension dim, const EdgeRange &edges) {
    Edge *anchor = nullptr;
    for (Edge *edge = edges.begin; edge < edges.end; ++edge) {
        if (edge->flags & kEdgeDone) continue;
        Edge *edge1 = nullptr;
        Edge *edge2 = edge->link;
        DropNeutralZoneOfStem(edge, edge2);
        const Width *blue = edge->blueEdge;
        if (blue != nullptr) {
            edge1 = edge;
        } else if (edge2 != nullptr && edge2->blueEdge != nullptr) {
            blue = edge2->blueEdge;
            edge1 = edge2;
            edge2 = edge;
        }
        if (edge1 == nullptr) continue;
        edge1->pos = blue->fit;
        edge1->flags |= kEdgeDone;
        if (edge2 != nullptr && edge2->blueEdge == nullptr) {
            AlignLinkedEdge(hints, dim, *edge1, edge2);
            edge2->flags |= kEdgeDone;
        }
        if (anchor == nullptr) anchor = edge;
    }
    return anchor;
}

// ------------------------------------------------------------------ stems

// Where a narrow stem (under 1.5 pixels) goes: its centre on a pixel
// boundary or on a pixel centre, whichever is nearer to where it was; the
// offsets keep a stem of more than a pixel off-centre towards the top.
int32_t NarrowStemCentre(int32_t centre, int32_t fittedWidth) {
    const int32_t up = fittedWidth <= 64 ? 32 : 38;
    const int32_t down = fittedWidth <= 64 ? 32 : 26;
    const int32_t rounded = PixRound(centre);
    const int32_t errorUp = std::abs(centre - (rounded - up));
    const int32_t errorDown = std::abs(centre - (rounded + down));
    return errorUp < errorDown ? rounded - up : rounded + down;
}

// The first stem of a glyph without blue edges: it becomes the anchor.
void PlaceFirstStem(const GlyphHints &hints, Dimension dim, Edge *edge, Edge *edge2) {
    const int32_t length = edge2->opos - edge->opos;
    const int32_t fitted = FitLatinStemWidth(hints, dim, length, 0, edge->flags, edge2->flags);
    if (fitted < 96) {
        const int32_t centre = NarrowStemCentre(edge->opos + (length >> 1), fitted);
        edge->pos = centre - fitted / 2;
        edge2->pos = edge->pos + fitted;
    } else {
        edge->pos = PixRound(edge->opos);
    }
    edge->flags |= kEdgeDone;
    AlignLinkedEdge(hints, dim, *edge, edge2);
}

// A later stem keeps its distance to the anchor, then is fitted: a narrow
// one by its centre, a wide one by whichever of its edges rounds with less
// displacement of the centre.
void PlaceStem(const GlyphHints &hints, Dimension dim, const Edge &anchor, Edge *edge, Edge *edge2) {
    const int32_t start = anchor.pos + (edge->opos - anchor.opos);
    const int32_t length = edge2->opos - edge->opos;
    const int32_t centre = start + (length >> 1);
    const int32_t fitted = FitLatinStemWidth(hints, dim, length, 0, edge->flags, edge2->flags);
    if (edge2->flags & kEdgeDone) {
        edge->pos = edge2->pos - fitted;
    } else if (fitted < 96) {
        const int32_t fittedCentre = NarrowStemCentre(centre, fitted);
        edge->pos = fittedCentre - fitted / 2;
        edge2->pos = fittedCentre + fitted / 2;
    } else {
        const int32_t byStart = PixRound(start);
        const int32_t byEnd = PixRound(start + length) - fitted;
        const int32_t errorStart = std::abs(byStart + (fitted >> 1) - centre);
        const int32_t errorEnd = std::abs(byEnd + (fitted >> 1) - centre);
        edge->pos = errorStart < errorEnd ? byStart : byEnd;
        edge2->pos = edge->pos + fitted;
    }
    edge->flags |= kEdgeDone;
    edge2->flags |= kEdgeDone;
}

// An edge placed out of order with its neighbour `other` is put level with
// it, unless that would all but close the edge's stem (1/4 pixel).  The
// stem's other edge is measured against the edge before this one, as the
// reference measures it, whichever neighbour is in question.
void KeepOrder(const EdgeRange &edges, Edge *edge, const Edge &other) {
    if (edge == edges.begin || edge->link == nullptr) return;
    if (std::abs(edge->link->pos - edge[-1].pos) > 16) edge->pos = other.pos;
}

void KeepAfterPrevious(const EdgeRange &edges, Edge *edge) {
    if (edge > edges.begin && edges.Before(edge->pos, edge[-1].pos)) KeepOrder(edges, edge, edge[-1]);
}

// Returns whether any edge was left for the serif pass (edges outside
// stems).
bool AlignStems(const GlyphHints &hints, Dimension dim, const EdgeRange &edges, Edge **anchor) {
    bool hasSerifs = false;
    for (Edge *edge = edges.begin; edge < edges.end; ++edge) {
        if (edge->flags & kEdgeDone) continue;
        Edge *edge2 = edge->link;
        if (edge2 == nullptr) {
            hasSerifs = true;
            continue;
        }
        if (edge2->blueEdge != nullptr) {
            AlignLinkedEdge(hints, dim, *edge2, edge);
            edge->flags |= kEdgeDone;
            continue;
        }
        if (*anchor == nullptr) {
            PlaceFirstStem(hints, dim, edge, edge2);
            *anchor = edge;
            continue;
        }
        PlaceStem(hints, dim, **anchor, edge, edge2);
        KeepAfterPrevious(edges, edge);
    }
    return hasSerifs;
}

// Sans-serif m's have six vertical edges, serif ones twelve: when the
// three stems' original spacing is (nearly) even, the third stem is moved
// so that the fitted spacing is even too.
void KeepThreeStemsEven(const EdgeRange &edges) {
    const size_t count = size_t(edges.end - edges.begin);
    if (count != 6 && count != 12) return;
    Edge *e = edges.begin;
    Edge *edge1 = count == 6 ? e : e + 1;
    Edge *edge2 = count == 6 ? e + 2 : e + 5;
    Edge *edge3 = count == 6 ? e + 4 : e + 9;
    const int32_t dist1 = edge2->opos - edge1->opos;
    const int32_t dist2 = edge3->opos - edge2->opos;
    if (std::abs(dist1 - dist2) >= 8) return;
    const int32_t delta = edge3->pos - (2 * edge2->pos - edge1->pos);
    edge3->pos -= delta;
    if (edge3->link != nullptr) edge3->link->pos -= delta;
    // The serifs move with their stem.
    if (count == 12) {
        e[8].pos -= delta;
        e[11].pos -= delta;
    }
    edge3->flags |= kEdgeDone;
    if (edge3->link != nullptr) edge3->link->flags |= kEdgeDone;
}

// ------------------------------------------------- serifs and lone edges

// An edge between two placed edges is interpolated between them; else it
// keeps its distance to the anchor, rounded to half a pixel.
void PlaceBetweenDone(const EdgeRange &edges, const Edge &anchor, Edge *edge) {
    const size_t count = size_t(edges.end - edges.begin);
    size_t b = edges.Index(edge), a = b + 1;
    while (b > 0 && !(edges.begin[b - 1].flags & kEdgeDone)) --b;
    while (a < count && !(edges.begin[a].flags & kEdgeDone)) ++a;
    if (b > 0 && a < count) {
        const Edge *before = &edges.begin[b - 1];
        const Edge *after = &edges.begin[a];
        if (after->opos == before->opos) {
            edge->pos = before->pos;
        } else {
            edge->pos = before->pos + MulDiv(edge->opos - before->opos, after->pos - before->pos,
                                             after->opos - before->opos);
        }
        return;
    }
    edge->pos = anchor.pos + ((edge->opos - anchor.opos + 16) & ~31);
}

void AlignRemainingEdges(const EdgeRange &edges, Edge *anchor) {
    for (Edge *edge = edges.begin; edge < edges.end; ++edge) {
        if (edge->flags & kEdgeDone) continue;
        const int32_t serifDistance =
            edge->serif != nullptr ? std::abs(edge->serif->opos - edge->opos) : 1000;
        if (serifDistance < 64 + 16) {
            AlignSerifEdge(*edge->serif, edge);
        } else if (anchor == nullptr) {
            edge->pos = PixRound(edge->opos);
            anchor = edge;
        } else {
            PlaceBetweenDone(edges, *anchor, edge);
        }
        edge->flags |= kEdgeDone;
        KeepAfterPrevious(edges, edge);
        if (edge + 1 < edges.end && (edge[1].flags & kEdgeDone) &&
            edges.Before(edge[1].pos, edge->pos))
            KeepOrder(edges, edge, edge[1]);
    }
}

}  // namespace

int32_t FitLatinStemWidth(const GlyphHints &hints, Dimension dim, int32_t width, int32_t baseDelta,
                          uint8_t baseFlags, uint8_t stemFlags) {
    const LatinAxis &axis = MetricsAxis(hints, dim);
    if (!(hints.otherFlags & kHintsStemAdjust) || axis.extraLight) return width;
    const bool vertical = dim == kDimVert;
    const int32_t dist = std::abs(width);
    const bool snaps = (hints.otherFlags & (vertical ? kHintsVertSnap : kHintsHorzSnap)) != 0;
    const int32_t fitted =
        snaps ? SnappedStemWidth(hints, axis, vertical, dist)
              : SmoothStemWidth(hints, axis, vertical, width, dist, baseDelta, baseFlags, stemFlags);
    return width < 0 ? -fitted : fitted;
}

void HintLatinEdges(GlyphHints *hints, Dimension dim) {
    std::vector<Edge> &table = hints->axis[dim].edges;
    const StyleMetrics *m = hints->metrics;
    const bool topToBottom = dim == kDimVert && m->style != nullptr && m->style->script != nullptr &&
                             m->style->script->topToBottomHinting;
    const EdgeRange edges = {table.data(), table.data() + table.size(), topToBottom};
    Edge *anchor = dim == kDimVert ? AlignBlueEdges(*hints, dim, edges) : nullptr;
    const bool hasSerifs = AlignStems(*hints, dim, edges, &anchor);
    // Not along y: the third stem could not be kept on the baseline.
    if (dim == kDimHorz) KeepThreeStemsEven(edges);
    if (hasSerifs || anchor == nullptr) AlignRemainingEdges(edges, anchor);
}

}  // namespace autohint
}  // namespace kelmor
