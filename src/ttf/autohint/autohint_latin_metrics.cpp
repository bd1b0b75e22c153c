// What the Latin writing system measures once per face: the standard stem
// widths, the blue zones and whether the digits share one width.  All of it
// in font units, on outlines loaded unscaled.
#include <algorithm>
#include <cstdlib>

#include "ttf/autohint/autohint_latin.h"

namespace kelmor {
namespace autohint {
namespace {

// Reference strings are characters separated by spaces.  A "character"
// made of several code points (a base and its marks) needs a shaper to map
// to one glyph; without one it is skipped, as the reference skips it.
// Returns false at the end of the string; *code is 0 for such a cluster.
bool NextReferenceChar(const char *text, size_t *pos, uint32_t *code) {
    while (text[*pos] == ' ') ++*pos;
    if (text[*pos] == '\0') return false;
    *code = NextUtf8(text, pos);
    bool cluster = false;
    while (text[*pos] != ' ' && text[*pos] != '\0') {
        if (NextUtf8(text, pos) != 0) cluster = true;
    }
    if (cluster) *code = 0;
    return true;
}

uint32_t GlyphOfReferenceChar(FontAccess *font, uint32_t code) {
    return code != 0 ? font->GlyphForChar(code) : 0;
}

// An outline the measurements can walk: every contour end in range and
// ascending, one tag per point.
bool OutlineIsWalkable(const Outline &o) {
    if (o.tags.size() != o.points.size()) return false;
    int32_t previous = -1;
    for (int32_t end : o.contourEnds) {
        if (end < previous || end >= int32_t(o.points.size())) return false;
        previous = end;
    }
    return true;
}

// ------------------------------------------------------------ blue zones

// How a reference glyph's extreme point and the run of nearly level points
// around it are found (indices into the outline).
struct ExtremeRun {
    int32_t best = -1;  // the highest (top zones) or lowest point; -1: none
    int32_t y = 0;
    int32_t contourFirst = 0, contourLast = 0;
    int32_t first = 0, last = 0;        // the run around it, along the contour
    int32_t onFirst = -1, onLast = -1;  // the run's outermost on-curve points
    int32_t next = 0;                   // where the forward walk stopped
};

bool IsOnCurve(const Outline &o, int32_t i) { return (o.tags[i] & kTagOnCurve) != 0; }

// Leaving the level: a step more than 5 units up or down that is also
// steeper than about 3 degrees.
bool LeavesLevel(int32_t dx, int32_t dy) {
    dx = std::abs(dx);
    dy = std::abs(dy);
    return dy > 5 && int64_t(dx) <= 20 * int64_t(dy);
}

struct ContourStep {
    int32_t first, last;
    int32_t Prev(int32_t i) const { return i > first ? i - 1 : last; }
    int32_t Next(int32_t i) const { return i < last ? i + 1 : first; }
};

// The outline's highest (top) or lowest point over contours of two points
// or more (one-point contours are anchors, often far outside the glyph).
// The zone's ascender and descender take the extremes seen on the way, as
// the reference gathers them: the best point so far raises the ascender
// of a top zone, every other point lowers its descender (and the other
// way round for bottom zones).
void FindExtremePoint(const Outline &o, bool top, ExtremeRun *run, int32_t *ascender,
                      int32_t *descender) {
    int32_t first = 0;
    for (int32_t last : o.contourEnds) {
        const int32_t previousBest = run->best;
        for (int32_t p = first; last > first && p <= last; ++p) {
            const int32_t y = o.points[p].y;
            const bool better = run->best < 0 || (top ? y > run->y : y < run->y);
            if (better) {
                run->best = p;
                run->y = y;
            }
            if (top == better) {
                *ascender = std::max(*ascender, y);
            } else {
                *descender = std::min(*descender, y);
            }
        }
        if (run->best != previousBest) {
            run->contourFirst = first;
            run->contourLast = last;
        }
        first = last + 1;
    }
}

// Walks from the extreme point one way along its contour while the points
// stay level with it, widening the run to them; returns where it stopped.
int32_t WalkLevel(const Outline &o, bool forward, ExtremeRun *run) {
    const ContourStep step = {run->contourFirst, run->contourLast};
    const int32_t bestX = o.points[run->best].x;
    int32_t &end = forward ? run->last : run->first;
    int32_t &onNear = forward ? run->onLast : run->onFirst;
    int32_t &onFar = forward ? run->onFirst : run->onLast;
    int32_t i = run->best;
    do {
        i = forward ? step.Next(i) : step.Prev(i);
        if (LeavesLevel(o.points[i].x - bestX, o.points[i].y - run->y)) break;
        end = i;
        if (IsOnCurve(o, i)) {
            onNear = i;
            if (onFar < 0) onFar = i;
        }
    } while (i != run->best);
    return i;
}

// Widens the run around the extreme point to the neighbours on both sides
// that stay level with it.
void ExtendLevelRun(const Outline &o, ExtremeRun *run) {
    run->first = run->last = run->best;
    if (IsOnCurve(o, run->best)) run->onFirst = run->onLast = run->best;
    WalkLevel(o, false, run);
    run->next = WalkLevel(o, true, run);
}

// For "long" zones a short run at the extreme is a bump (a vertical serif,
// say); the zone then takes the first long enough level run further along
// the contour that goes the same way and is not too far below (or above).
// False when the contour gives no direction at all: the glyph is skipped.
//
// The run's end is extended with a test that compares the x distance from
// the forward walk's stop point against the last y step before the run was
// accepted; the reference tests it that way and the zones depend on it.
bool FindLongRun(const Outline &o, uint32_t unitsPerEm, ExtremeRun *run) {
    const ContourStep step = {run->contourFirst, run->contourLast};
    const int32_t lengthThreshold = int32_t(unitsPerEm / 25);
    const int32_t runLength = std::abs(o.points[run->last].x - o.points[run->first].x);
    if (runLength >= lengthThreshold ||
        run->last - run->first + 2 > run->contourLast - run->contourFirst)
        return true;
    const int32_t heightThreshold = int32_t(unitsPerEm / 4);
    const int32_t bestX = o.points[run->best].x;

    int32_t prev = run->best;
    do {
        prev = step.Prev(prev);
        if (o.points[prev].x != bestX) break;
    } while (prev != run->best);
    if (prev == run->best) return false;
    const bool leftToRight = o.points[prev].x < bestX;

    int32_t first = run->last, last = first, pFirst = 0, pLast = 0;
    int32_t lastRise = runLength;
    bool hit = false;
    do {
        if (!hit) {
            first = last;
            pFirst = pLast = IsOnCurve(o, first) ? first : -1;
            hit = true;
        }
        last = step.Next(last);
        if (std::abs(run->y - o.points[first].y) > heightThreshold) {
            hit = false;
            continue;
        }
        lastRise = std::abs(o.points[last].y - o.points[first].y);
        if (LeavesLevel(o.points[last].x - o.points[first].x, lastRise)) {
            hit = false;
            continue;
        }
        if (IsOnCurve(o, last)) {
            pLast = last;
            if (pFirst < 0) pFirst = last;
        }
        const bool l2r = o.points[first].x < o.points[last].x;
        if (l2r != leftToRight || std::abs(o.points[last].x - o.points[first].x) < lengthThreshold)
            continue;
        do {
            last = step.Next(last);
            const int32_t rise = std::abs(o.points[last].y - o.points[first].y);
            if (rise > 5 && int64_t(std::abs(o.points[run->next].x - o.points[first].x)) <=
                                20 * int64_t(lastRise)) {
                last = step.Prev(last);
                break;
            }
            pLast = last;
            if (IsOnCurve(o, last) && pFirst < 0) pFirst = last;
        } while (last != run->first);
        run->y = o.points[first].y;
        run->first = first;
        run->last = last;
        run->onFirst = pFirst;
        run->onLast = pLast;
        break;
    } while (last != run->first);
    return true;
}

// What one reference glyph gives a zone.
struct BlueSample {
    bool usable;
    int32_t y;
    bool round;
};

// A run is flat when its on-curve points lie far enough apart, else round
// when it starts or ends off the curve.
bool RunIsRound(const Outline &o, const ExtremeRun &run, uint32_t unitsPerEm) {
    const int32_t flatThreshold = int32_t(unitsPerEm / 14);
    if (run.onFirst >= 0 && run.onLast >= 0 &&
        std::abs(o.points[run.onLast].x - o.points[run.onFirst].x) > flatThreshold)
        return false;
    return !IsOnCurve(o, run.first) || !IsOnCurve(o, run.last);
}

BlueSample SampleBlueGlyph(const Outline &o, uint8_t properties, uint32_t unitsPerEm,
                           int32_t *ascender, int32_t *descender) {
    const bool top = (properties & (kBlueLatinTop | kBlueLatinSubTop)) != 0;
    ExtremeRun run;
    FindExtremePoint(o, top, &run, ascender, descender);
    // Without a contour of two points the reference keeps its starting
    // value: a flat zone at 0.
    if (run.best < 0) return {true, 0, false};
    ExtendLevelRun(o, &run);
    if ((properties & kBlueLatinLong) && !FindLongRun(o, unitsPerEm, &run))
        return {false, 0, false};
    const bool round = RunIsRound(o, run, unitsPerEm);
    // Neutral zones are measured on flat runs only.
    if (round && (properties & kBlueLatinNeutral)) return {false, 0, false};
    return {true, run.y, round};
}

constexpr int kMaxReferenceChars = 64;

// The positions of one zone's reference glyphs, flat and round apart.
struct BlueSamples {
    int32_t flats[kMaxReferenceChars];
    int32_t rounds[kMaxReferenceChars];
    uint32_t flatCount = 0;
    uint32_t roundCount = 0;
    int32_t ascender = 0;
    int32_t descender = 0;
};

void SampleBlueString(FontAccess *font, const BlueString &blue, uint32_t unitsPerEm,
                      BlueSamples *samples) {
    Outline outline;
    uint32_t code = 0;
    for (size_t pos = 0; NextReferenceChar(blue.text, &pos, &code);) {
        const uint32_t glyph = GlyphOfReferenceChar(font, code);
        if (glyph == 0) continue;
        // Glyphs of two points or fewer draw nothing.
        if (!font->LoadFontUnitOutline(glyph, &outline) || outline.points.size() <= 2 ||
            !OutlineIsWalkable(outline))
            continue;
        const BlueSample s =
            SampleBlueGlyph(outline, blue.properties, unitsPerEm, &samples->ascender, &samples->descender);
        if (!s.usable) continue;
        if (s.round && samples->roundCount < uint32_t(kMaxReferenceChars)) {
            samples->rounds[samples->roundCount++] = s.y;
        } else if (!s.round && samples->flatCount < uint32_t(kMaxReferenceChars)) {
            samples->flats[samples->flatCount++] = s.y;
        }
    }
}

bool IsTopLike(uint32_t blueFlags) { return (blueFlags & (kLatinBlueTop | kLatinBlueSubTop)) != 0; }

// The zone from the medians: flat glyphs give the reference, round ones
// the overshoot.  An overshoot on the wrong side of the reference (below a
// top zone's, above a bottom zone's) is a measuring accident: both take the
// mean.
void SetZoneFromSamples(BlueSamples *s, const BlueString &blue, LatinBlue *zone) {
    SortPositions(s->roundCount, s->rounds);
    SortPositions(s->flatCount, s->flats);
    const int32_t flat = s->flatCount > 0 ? s->flats[s->flatCount / 2] : 0;
    const int32_t round = s->roundCount > 0 ? s->rounds[s->roundCount / 2] : 0;
    zone->ref.org = s->flatCount > 0 ? flat : round;
    zone->shoot.org = s->roundCount > 0 ? round : flat;
    zone->flags = 0;
    if (blue.properties & kBlueLatinTop) zone->flags |= kLatinBlueTop;
    if (blue.properties & kBlueLatinSubTop) zone->flags |= kLatinBlueSubTop;
    if (blue.properties & kBlueLatinNeutral) zone->flags |= kLatinBlueNeutral;
    // The x-height zone later adjusts the scale so that small letters end
    // on a pixel boundary.
    if (blue.properties & kBlueLatinXHeight) zone->flags |= kLatinBlueAdjustment;
    const int32_t ref = zone->ref.org, shoot = zone->shoot.org;
    if (shoot != ref && IsTopLike(zone->flags) != (shoot > ref))
        zone->ref.org = zone->shoot.org = (shoot + ref) / 2;
    zone->ascender = s->ascender;
    zone->descender = s->descender;
}

// The edge of a zone that faces the zone above it: a top zone's overshoot,
// a bottom zone's reference.
int32_t *UpperBound(LatinBlue *zone) { return IsTopLike(zone->flags) ? &zone->shoot.org : &zone->ref.org; }
int32_t LowerBound(const LatinBlue &zone) {
    return IsTopLike(zone.flags) ? zone.ref.org : zone.shoot.org;
}

// Zones must not overlap: sorted by their lower bounds (a stable insertion
// sort, as ties must keep their order), each zone's upper bound is pulled
// down to the next zone's.
void SeparateZones(LatinAxis *axis) {
    LatinBlue *sorted[kMaxBlues];
    const uint32_t count = axis->blueCount;
    for (uint32_t i = 0; i < count; ++i) sorted[i] = &axis->blues[i];
    for (uint32_t i = 1; i < count; ++i) {
        for (uint32_t j = i; j > 0 && LowerBound(*sorted[j]) < LowerBound(*sorted[j - 1]); --j)
            std::swap(sorted[j], sorted[j - 1]);
    }
    for (uint32_t i = 0; i + 1 < count; ++i) {
        int32_t *a = UpperBound(sorted[i]);
        const int32_t b = *UpperBound(sorted[i + 1]);
        if (*a > b) *a = b;
    }
}

}  // namespace

void MeasureLatinStandardWidths(LatinMetrics *metrics, FontAccess *font) {
    const char *text = metrics->style != nullptr ? metrics->style->script->standardChars : "";
    uint32_t glyph = 0, code = 0;
    for (size_t pos = 0; glyph == 0 && NextReferenceChar(text, &pos, &code);)
        glyph = GlyphOfReferenceChar(font, code);
    MeasureStandardWidths(metrics, metrics->unitsPerEm, font, glyph, {&metrics->axis[kDimHorz], &metrics->axis[kDimVert]});
}

bool MeasureLatinBlueZones(LatinMetrics *metrics, FontAccess *font) {
    LatinAxis &axis = metrics->axis[kDimVert];
    axis.blueCount = 0;
    const StyleClass *style = metrics->style;
    const int blueStrings = style != nullptr && style->blues != nullptr ? style->blueCount : 0;
    for (int b = 0; b < blueStrings && axis.blueCount < uint32_t(kMaxBlues); ++b) {
        const BlueString &blue = style->blues[b];
        BlueSamples samples;
        SampleBlueString(font, blue, metrics->unitsPerEm, &samples);
        // A zone none of whose characters the font has is left out.
        if (samples.flatCount == 0 && samples.roundCount == 0) continue;
        SetZoneFromSamples(&samples, blue, &axis.blues[axis.blueCount++]);
    }
    if (axis.blueCount == 0) return false;
    SeparateZones(&axis);
    return true;
}

bool LatinDigitsHaveSameWidth(FontAccess *font) {
    bool started = false;
    int32_t width = 0;
    for (uint32_t code = '0'; code <= '9'; ++code) {
        const uint32_t glyph = font->GlyphForChar(code);
        if (glyph == 0) continue;
        const int32_t advance = font->AdvanceWidth(glyph);
        if (!started) {
            width = advance;
            started = true;
        } else if (advance != width) {
            return false;
        }
    }
    return true;
}

}  // namespace autohint
}  // namespace kelmor
