// The faithful mode's scan converter.
//
// How it runs, for one outline:
//   1. The contour walk (contour_walk.h) hands the outline over at its exact
//      positions; the points' extent gives the bitmap's box.  Positions are
//      measured from pixel centres (a centre lies on a multiple of a pixel)
//      in 1/4096 pixel below 24 ppem and in 1/64 pixel from there on: the
//      precision FreeType's rasterizer keeps at those sizes, so that our
//      bitmaps and its agree pixel for pixel.
//   2. Rows: the outline's crossings with the row centres, sorted by row and
//      by x (scexact_crossings.cpp).  The k-th crossing going up and the
//      k-th going down bound a span, and every pixel whose centre lies in a
//      span, ends included, is set (a centre on the outline is inside it).
//      The spans' union is the non-zero winding rule's inside; where
//      contours overlap, spans overlap, and each is judged on its own below.
//   3. A span no wider than a pixel that holds no centre (a stroke thinner
//      than a pixel between two centres) is a dropout; with dropout control
//      on, one of the two pixels beside it is set after the row's spans: the
//      left one (simple) or the one nearest the span's middle (smart), unless
//      the other one is already set, and, without stubs, not where the span
//      is the end of a stroke.
//   4. The same is done along columns, always: with dropout control off the
//      column pass still sets the centres a span ends on exactly (inside the
//      outline, where a row's crossings can miss them); with it on, it also
//      keeps horizontal strokes thinner than a pixel.
//
// The dropout mode is the contour's: the glyph's (DropoutFor) up to the
// first contour whose first point carries the scan type a program left, that
// type from there on (ContourMarks); a span takes the mode of its crossing
// going up.  The column pass starts with the mode the row pass ended with.
// The rule lives in five places, all in this file: DropoutFor (which mode a
// glyph gets from SCANCTRL and SCANTYPE), ContourMarks (which contours
// change it), SweepFiller::Span (which spans are dropouts, and the span a
// hair wider than a pixel taken as one), SweepFiller::IsStub (which
// dropouts are a stroke's end) and SweepFiller::Drop (which of the two
// pixels is set).
#include "ttf/raster/scexact.h"

#include <algorithm>
#include <new>
#include <vector>

#include "ttf/raster/contour_walk.h"
#include "ttf/raster/scexact_crossings.h"

namespace kelmor {

namespace {

using namespace exact;

// A bitmap reaches at most this many pixels from the origin each way, so a
// lying outline cannot ask for more than a few megabytes.
constexpr int32_t kBoxLimit = 2048;

// ------------------------------------------------------------- the outline

// The extent of the outline's points (26.6, control points included), each
// pinned to kCoordLimit.  A contour of one point draws nothing but counts,
// as it counts for the reference rasterizer's bitmap (DejaVu Sans keeps
// anchors so); the extent is empty when no contour draws.
struct Extent {
    int32_t xMin = INT32_MAX, yMin = INT32_MAX, xMax = INT32_MIN, yMax = INT32_MIN;
    bool drawn = false;
    bool Empty() const { return !drawn; }
};


Extent OutlineExtent(unsigned NumContours, const int16_t *lpEndPoints, const TTFCoord *lpStart) {
    Extent e;
    int first = 0;
    for (unsigned k = 0; k < NumContours; ++k) {
        const int last = lpEndPoints[k];
        if (last < first) {  // skipped by the walk, as it skips it
            first = std::max(0, last + 1);
            continue;
        }
        e.drawn = e.drawn || last > first;
        for (int i = first; i <= last; ++i) {
            const int32_t x = Pinned(lpStart[i].Cur.x), y = Pinned(lpStart[i].Cur.y);
            e.xMin = std::min(e.xMin, x), e.xMax = std::max(e.xMax, x);
            e.yMin = std::min(e.yMin, y), e.yMax = std::max(e.yMax, y);
        }
        first = last + 1;
    }
    return e;
}

// Collects the walked outline, contour by contour.  Positions keep their
// place relative to the glyph origin, but implied on-curve points are
// halved as the reference rasterizer halves them: in coordinates whose
// origin is the bitmap's lower left corner, rounding towards zero there.
class PathCollector {
public:
    using Point = FinePoint;

    PathCollector(ExactScanner &s, const Precision &precision, const GlyphBox &box)
        : s_(s), precision_(precision),
          corner_{int64_t(box.left) * 64 * (int64_t(1) << precision.shift),
                  int64_t(box.bottom) * 64 * (int64_t(1) << precision.shift)} {
        s_.path.clear();
        s_.contourEnds.clear();
        s_.contourMarks.clear();
        s_.trailingMark = kNoMark;
    }

    Point From(const longpointtype &p) const {
        const int64_t half = precision_.pixel / 2;
        return Point{int64_t(Pinned(p.x)) * (int64_t(1) << precision_.shift) - half,
                     int64_t(Pinned(p.y)) * (int64_t(1) << precision_.shift) - half};
    }
    Point Mid(const Point &a, const Point &b) const {
        return Point{((a.x - corner_.x) + (b.x - corner_.x)) / 2 + corner_.x,
                     ((a.y - corner_.y) + (b.y - corner_.y)) / 2 + corner_.y};
    }
    void MoveTo(const Point &p) {
        EndContour();
        Append(p, false);
    }
    void LineTo(const Point &p) { Append(p, false); }
    void CurveTo(const Point arc[3]) {
        Append(arc[1], true);
        Append(arc[2], false);
    }
    void Finish() { EndContour(); }

    // A contour whose first point is a control point starts, for the
    // reference rasterizer, where its last arc starts: at its last point
    // when that is on the curve, else halfway between its last point and
    // its first.  Where a contour starts decides how its runs are cut into
    // profiles, and so which of them a stub test sees as neighbours.
    void ClosedBackToFirstPoint() {
        PathPoint *c = s_.path.data() + contourStart_;
        const size_t length = s_.path.size() - contourStart_;  // c[length - 1] == c[0]
        if (length <= 3) return;                              // one arc: no other start
        std::rotate(c, c + length - 3, c + length);  // last arc first, c[0] twice after it
        std::copy(c + 4, c + length, c + 3);
        c[length - 1] = c[0];
    }

private:
    // Written field by field: a whole PathPoint built on the stack and
    // copied costs a stalled load per point.
    void Append(const Point &p, bool control) {
        PathPoint &q = s_.path.emplace_back();
        q.p = p;
        q.control = control;
    }
    void EndContour() {
        if (s_.path.size() > contourStart_) s_.contourEnds.push_back(uint32_t(s_.path.size()));
        contourStart_ = s_.path.size();
    }

    ExactScanner &s_;
    Precision precision_;
    FinePoint corner_;  // the bitmap's lower left corner, in these units
    size_t contourStart_ = 0;
};

// ------------------------------------------------------------- the sweeps

class SweepFiller {
public:
    SweepFiller(ExactScanner &s, Sweep sweep, const Precision &precision, const GlyphBox &box,
                _GlyphBitMap *pBM)
        : s_(s), sweep_(sweep), precision_(precision), box_(box), pBM_(pBM) {}

    // The k-th crossing going up pairs with the k-th going down, each
    // pair a span.  Where contours overlap, spans overlap too; their union
    // is the non-zero winding rule's inside, but a thin span inside a
    // wider one is still a dropout of its own, as the reference rasterizer
    // sees it.
    void Line(int64_t line, const Crossing *b, const Crossing *e) {
        s_.dropouts.clear();
        // The crossings not yet paired, all going one way, oldest first.
        const Crossing **waiting = s_.unpaired.data();
        size_t first = 0, end = 0;
        for (const Crossing *c = b; c != e; ++c) {
            if (first == end || waiting[first]->winding == c->winding)
                waiting[end++] = c;
            else
                Span(line, *waiting[first++], *c);
        }
        for (const Dropout &d : s_.dropouts) Drop(line, d);
    }

private:
    // What a dropout mode asks for.
    static bool DrawsDropouts(uint8_t mode) { return (mode & 2) == 0; }  // 0, 1, 4, 5
    static bool Smart(uint8_t mode) { return (mode & 4) != 0; }
    static bool KeepsStubs(uint8_t mode) { return (mode & 1) == 0; }
    // A span a hair wider than a pixel counts as one pixel wide.
    static bool NarrowsWideSpans(uint8_t mode) { return mode != kDropoutOff; }
    static uint8_t ModeOf(const Crossing &a, const Crossing &b) {
        return a.winding > 0 ? a.mode : b.mode;
    }

    int64_t AlongLow() const { return sweep_.columns ? box_.bottom : box_.left; }
    int64_t AlongHigh() const { return sweep_.columns ? box_.top : box_.right; }

    bool Ink(int64_t line, int64_t along) const {
        return sweep_.columns ? PixelIsSet(*pBM_, int32_t(line), int32_t(along))
                              : PixelIsSet(*pBM_, int32_t(along), int32_t(line));
    }
    void Set(int64_t line, int64_t along) {
        if (sweep_.columns)
            SetPixel(pBM_, int32_t(line), int32_t(along));
        else
            SetPixel(pBM_, int32_t(along), int32_t(line));
    }
    bool OnCentre(int64_t v) const { return precision_.OnLine(v); }

    // Rows fill their spans; columns only add what rows cannot see: the
    // centres a span ends on exactly (on the outline, so inside it, where a
    // row's crossings may miss them: the floor of a notch lying on a row
    // centre, or a crossing a row's stepping puts a hair short of it).  A
    // span no wider than a pixel with no centre in it, ends included, is a
    // dropout.
    void Span(int64_t line, const Crossing &on, const Crossing &off) {
        const int64_t P = precision_.pixel, x1 = on.at, x2 = off.at;
        if (x2 - x1 <= P && !OnCentre(x1) && !OnCentre(x2) &&
            precision_.Floor(x1) == precision_.Floor(x2)) {
            s_.dropouts.push_back(Dropout{on, off});
            return;
        }
        const int64_t c1 = precision_.Ceil(x1);
        int64_t c2 = precision_.Floor(x2);
        if (sweep_.columns) {
            if (OnCentre(x1)) Set(line, c1);
            if (OnCentre(x2)) Set(line, c2);
            return;
        }
        // A span a hair wider than a pixel whose ends miss the centres is
        // taken as one pixel wide: it covers one pixel, not two.
        if (x2 - x1 - P <= precision_.jitter && !OnCentre(x1) && !OnCentre(x2) &&
            NarrowsWideSpans(ModeOf(on, off)))
            c2 = c1;
        const int64_t lo = std::max(c1, AlongLow()), hi = std::min(c2, AlongHigh() - 1);
        if (lo <= hi)
            AddBitLine(pBM_, int(lo - box_.left), int(hi + 1 - box_.left), int(line - box_.bottom));
    }

    // Where a span is a stroke's end: the two profiles follow each other in
    // their contour and the span lies on the last (first) line of the one
    // going up.  A stroke that reaches half a pixel past that line over a
    // span at least half a pixel long is kept even so.
    bool IsStub(int64_t line, const Dropout &d) const {
        const int64_t P = precision_.pixel;
        const bool onAscends = s_.profiles[size_t(d.on.profile)].ascending;
        const int32_t up = onAscends ? d.on.profile : d.off.profile;
        const int32_t down = onAscends ? d.off.profile : d.on.profile;
        const Profile &p = s_.profiles[size_t(up)];
        const bool wide = d.off.at - d.on.at >= P / 2;
        const bool topOvershoot = p.high - precision_.Floor(p.high) * P >= P / 2;
        const bool bottomOvershoot = precision_.Ceil(p.low) * P - p.low >= P / 2;
        if (p.next == down && line == p.highLine && !(topOvershoot && wide)) return true;
        return s_.profiles[size_t(down)].next == up && line == p.lowLine &&
               !(bottomOvershoot && wide);
    }

    // The centre nearest the span's middle.  A middle within 1/128 pixel
    // above the half-way point between two centres still goes to the lower
    // one, at either precision: the rule Windows' rasterizer follows, and
    // FreeType's with it.
    int64_t NearestToMiddle(int64_t a, int64_t b) const {
        return precision_.Floor((a + b + precision_.pixel * 63 / 64) >> 1);
    }

    void Drop(int64_t line, const Dropout &d) {
        const uint8_t mode = ModeOf(d.on, d.off);
        if (!DrawsDropouts(mode) || (!KeepsStubs(mode) && IsStub(line, d))) return;
        const int64_t above = precision_.Ceil(d.on.at), below = above - 1;
        int64_t pixel = Smart(mode) ? NearestToMiddle(d.on.at, d.off.at) : below;
        // A pixel outside the bitmap gives way to the one inside it.
        if (pixel < AlongLow())
            pixel = above;
        else if (pixel >= AlongHigh())
            pixel = below;
        const int64_t other = pixel == above ? below : above;
        if (Ink(line, other)) return;
        Set(line, pixel);
    }

    ExactScanner &s_;
    Sweep sweep_;
    Precision precision_;
    GlyphBox box_;
    _GlyphBitMap *pBM_;
};

// One sweep, its contours starting with dropout mode *mode, which is left
// as the contours' marks set it (the next sweep starts from there).
void RunSweep(ExactScanner &s, ScanInfo *pS, Sweep sweep, const Precision &precision,
              const GlyphBox &box, _GlyphBitMap *pBM, uint8_t *mode) {
    const int64_t first = sweep.columns ? box.left : box.bottom;
    const int64_t last = (sweep.columns ? box.right : box.top) - 1;
    RecordCrossings(s, pS, sweep, precision, first, last, mode);
    const int64_t firstCentre = (sweep.columns ? box.bottom : box.left) * precision.pixel;
    CrossingsByLine lines(s, first, last, firstCentre);
    if (s.unpaired.size() < s.profiles.size()) s.unpaired.resize(s.profiles.size());
    SweepFiller filler(s, sweep, precision, box, pBM);
    for (int64_t line; lines.Next(&line);)
        filler.Line(line, lines.Crossings(), lines.Crossings() + lines.Count());
}

// The scan type marks of the contours the walk draws (those of more than one
// point), in s.contourMarks.  A contour of one point draws nothing, but its
// mark still changes the mode of the contours after it.
void ContourMarks(ExactScanner &s, unsigned NumContours, const int16_t *lpEndPoints,
                  const TTFCoord *lpStart) {
    uint8_t pending = kNoMark;
    int first = 0;
    for (unsigned k = 0; k < NumContours; ++k) {
        const int last = lpEndPoints[k];
        if (last < first) {  // skipped by the walk, as it skips it
            first = std::max(0, last + 1);
            continue;
        }
        const uint8_t flags = lpStart[first].Flags;
        if (flags & kScanTypeMarked) pending = uint8_t((flags & kScanTypeBits) >> kScanTypeShift);
        if (last > first) {
            s.contourMarks.push_back(pending);
            pending = kNoMark;
        }
        first = last + 1;
    }
    s.trailingMark = pending;
}

ExactScanner *ScannerOf(ScanInfo *pS) {
    if (pS->Exact == nullptr) pS->Exact = new (std::nothrow) ExactScanner();
    return pS->Exact;
}

// The pixels whose centres an extent from lo to hi (26.6) can reach, as
// [first, end); an extent that reaches none gets the pixel around its middle.
void PixelsOfExtent(int32_t lo, int32_t hi, int32_t *first, int32_t *end) {
    *first = int32_t((int64_t(lo) + 31) >> 6);
    *end = int32_t((int64_t(hi) + 32) >> 6);
    if (*first >= *end) {
        *first = int32_t(((int64_t(lo) + hi) >> 1) >> 6);
        *end = *first + 1;
    }
    *first = std::clamp(*first, -kBoxLimit, kBoxLimit - 1);
    *end = std::clamp(*end, *first + 1, kBoxLimit);
}

}  // namespace

GlyphBox BoxForExtent(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax) {
    GlyphBox box{};
    PixelsOfExtent(xMin, xMax, &box.left, &box.right);
    PixelsOfExtent(yMin, yMax, &box.bottom, &box.top);
    return box;
}

void SetExactScanMode(ScanInfo *pS, bool hinted, int32_t scanControl, int32_t ppem) {
    pS->Dropout = DropoutFor(hinted, scanControl, ppem);
    pS->Ppem = ppem;
}

uint8_t DropoutFor(bool hinted, int32_t scanControl, int32_t ppem) {
    if (!hinted) return kDropoutSimple;
    // SCANCTRL: a threshold in bits 0-7 (0xFF: every size, 0: never).
    // Control starts off; bit 8 turns it on at sizes up to the threshold,
    // bit 11 off above it.  Bits 9, 10, 12 and 13 ask about rotated or
    // stretched glyphs, which are never drawn here.  (This counts from the
    // last SCANCTRL alone: one that leaves control as it was cannot see an
    // earlier one's.)  It matters only to glyphs none of whose programs ran:
    // a program's scan type mark decides the rest.
    const uint32_t control = uint32_t(scanControl) & 0x3FFFu;
    const uint32_t threshold = control & 0xFFu;
    const bool on = threshold == 0xFFu || ((control & 0x100u) && uint32_t(ppem) <= threshold);
    if (!on) return kDropoutOff;
    const uint32_t type = uint32_t(scanControl) >> 14;  // SCANTYPE
    const bool drawn = type == kDropoutSimpleWithStubs || type == kDropoutSimple ||
                       type == kDropoutSmartWithStubs || type == kDropoutSmart;
    return drawn ? uint8_t(type) : kDropoutOff;
}

void ScanOutlineExactly(ScanInfo *pS, unsigned NumContours, const int16_t *lpEndPoints,
                        TTFCoord *lpStart, _GlyphBitMap *pBM) {
    ExactScanner *s = ScannerOf(pS);
    if (s == nullptr) return;
    const Precision precision = PrecisionFor(pS->Ppem);
    const Extent extent = OutlineExtent(NumContours, lpEndPoints, lpStart);
    if (extent.Empty()) return;
    const GlyphBox wanted = BoxForExtent(extent.xMin, extent.yMin, extent.xMax, extent.yMax);
    if (!FitBitMapToGlyph(pBM, wanted)) return;
    const GlyphBox box = BoxOfBitMap(*pBM);
    PathCollector outline(*s, precision, wanted);
    WalkOutline(NumContours, lpEndPoints, lpStart, outline);
    outline.Finish();
    ContourMarks(*s, NumContours, lpEndPoints, lpStart);
    uint8_t mode = pS->Dropout;
    RunSweep(*s, pS, Sweep{false}, precision, box, pBM, &mode);
    // The columns run with dropout control off too: the centres a span ends
    // on exactly are inside the outline whatever the dropout rule.
    RunSweep(*s, pS, Sweep{true}, precision, box, pBM, &mode);
}

ExactScanner *ExactScannerOf(ScanInfo *pS) { return ScannerOf(pS); }

void SweepCollectedPath(ScanInfo *pS, bool columns, _GlyphBitMap *pBM) {
    ExactScanner *s = ScannerOf(pS);
    if (s == nullptr || !pBM->FitsInk) return;
    uint8_t mode = pS->Dropout;
    RunSweep(*s, pS, Sweep{columns}, PrecisionFor(pS->Ppem), BoxOfBitMap(*pBM), pBM, &mode);
}

void FreeExactScanner(ScanInfo *pS) {
    delete pS->Exact;
    pS->Exact = nullptr;
}

}  // namespace kelmor
