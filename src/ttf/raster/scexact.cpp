// The faithful mode's scan converter.
//
// How it runs, for one outline:
//   1. The contour walk (contour_walk.h) hands the outline over at its exact
//      positions, in 1/1024 pixel; arcs are cut until each piece lies within
//      1/256 pixel of its chord.  The points' extent gives the bitmap's box.
//   2. Rows: each contour is cut into runs that keep going up or down
//      (profiles).  A profile crosses every row centre between its ends,
//      both ends included: a centre on the outline is inside it.  Where two
//      edges of one run meet exactly on a centre, the crossing is counted
//      once.  The crossings are sorted by row and by x, and each row is
//      filled by the non-zero winding rule: every pixel whose centre lies in
//      a run from the crossing where the winding leaves 0 to the one where
//      it returns to 0, ends included.
//   3. A run that holds no centre (a stroke thinner than a pixel between two
//      centres) is a dropout; with dropout control on, one of the two pixels
//      beside it is set after the row's runs: the left one (simple) or the
//      one nearest the run's middle (smart), unless the other one is already
//      set, and, without stubs, not where the run is the end of a stroke.
//   4. With dropout control on, the same is done along columns (profiles
//      that keep going left or right, crossings with column centres), which
//      keeps horizontal strokes thinner than a pixel.
#include "ttf/raster/scexact.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#include "ttf/raster/contour_walk.h"

namespace kelmor {

namespace {

constexpr int kFineShift = 4;                            // 26.6 to 1/1024 pixel
constexpr int64_t kPixel = int64_t(64) << kFineShift;   // one pixel in fine units
constexpr int64_t kHalfPixel = kPixel / 2;
// Hinted points can be anywhere; beyond these (26.6, 262144 pixels) they
// are pinned, which keeps every product below exact in 64 bits.
constexpr int32_t kCoordLimit = int32_t(1) << 24;
// A bitmap reaches at most this many pixels from the origin each way, so a
// lying outline cannot ask for more than a few megabytes.
constexpr int32_t kBoxLimit = 2048;
// Crossings kept per sweep; far above any real glyph at any size.
constexpr size_t kMaxCrossings = size_t(1) << 20;
// An arc is halved until it lies within 1/256 pixel of its chord
// (|a - 2b + c| / 4 is its greatest distance from it), 1024 pieces at most.
constexpr int64_t kArcFlatness = 4 * (kPixel / 256);
constexpr int kMaxArcDepth = 10;

struct FinePoint {
    int64_t x, y;
};

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Scan lines (pixel rows or columns) are numbered by pixel: line k samples
// the centre k + 1/2.
int64_t LinePosition(int64_t line) { return line * kPixel + kHalfPixel; }
int64_t FirstLineFrom(int64_t v) { return FloorDiv(v - kHalfPixel + kPixel - 1, kPixel); }
int64_t LastLineUpTo(int64_t v) { return FloorDiv(v - kHalfPixel, kPixel); }

// Which way the lines run: rows sample x along y's centres, columns y
// along x's centres.
struct Sweep {
    bool columns;
    int64_t Along(const FinePoint &p) const { return columns ? p.y : p.x; }
    int64_t Across(const FinePoint &p) const { return columns ? p.x : p.y; }
};

struct Profile {
    int32_t next;           // the profile that follows in the contour
    bool ascending;         // towards larger line numbers
    int64_t low, high;      // its extent across the lines
    int64_t lowLine, highLine;
    bool TopOvershoot() const { return high - LinePosition(highLine) >= kHalfPixel; }
    bool BottomOvershoot() const { return LinePosition(lowLine) - low >= kHalfPixel; }
};

struct Crossing {
    int32_t line;  // from the sweep's first line
    int32_t profile;
    int64_t at;
};

// A run between two crossings of one line that holds no centre.
struct Dropout {
    Crossing on, off;
};

}  // namespace

struct ExactScanner {
    std::vector<FinePoint> points;
    std::vector<uint32_t> contourEnds;  // one past each contour's last point
    std::vector<Profile> profiles;
    std::vector<Crossing> crossings;
    std::vector<Crossing> sorted;
    std::vector<uint32_t> lineStart;
    std::vector<Dropout> dropouts;
};

namespace {

// ------------------------------------------------------------- the outline

// Collects the walked outline as closed polylines in fine units, and the
// extent of its points (26.6), control points included.
class FineOutline {
public:
    using Point = FinePoint;

    explicit FineOutline(ExactScanner &s) : s_(s) {
        s_.points.clear();
        s_.contourEnds.clear();
    }

    Point From(const longpointtype &p) {
        const int32_t x = std::clamp(p.x, -kCoordLimit, kCoordLimit);
        const int32_t y = std::clamp(p.y, -kCoordLimit, kCoordLimit);
        xMin = std::min(xMin, x), xMax = std::max(xMax, x);
        yMin = std::min(yMin, y), yMax = std::max(yMax, y);
        return Point{int64_t(x) * (1 << kFineShift), int64_t(y) * (1 << kFineShift)};
    }
    // Exact: fine units keep the bits a halving needs.
    static Point Mid(const Point &a, const Point &b) {
        return Point{(a.x + b.x) / 2, (a.y + b.y) / 2};
    }
    void MoveTo(const Point &p) {
        EndContour();
        s_.points.push_back(p);
    }
    void LineTo(const Point &p) { s_.points.push_back(p); }
    void CurveTo(const Point arc[3]) { Arc(arc[0], arc[1], arc[2], 0); }
    void Finish() { EndContour(); }
    bool Empty() const { return xMin > xMax; }

    int32_t xMin = INT32_MAX, yMin = INT32_MAX, xMax = INT32_MIN, yMax = INT32_MIN;

private:
    void EndContour() {
        if (s_.points.size() > contourStart_) s_.contourEnds.push_back(uint32_t(s_.points.size()));
        contourStart_ = s_.points.size();
    }

    void Arc(const Point &a, const Point &b, const Point &c, int depth) {
        const int64_t ddx = a.x - 2 * b.x + c.x, ddy = a.y - 2 * b.y + c.y;
        if (depth >= kMaxArcDepth || std::max(std::llabs(ddx), std::llabs(ddy)) <= kArcFlatness) {
            s_.points.push_back(c);
            return;
        }
        const Point ab{(a.x + b.x) >> 1, (a.y + b.y) >> 1};
        const Point bc{(b.x + c.x) >> 1, (b.y + c.y) >> 1};
        const Point m{(ab.x + bc.x) >> 1, (ab.y + bc.y) >> 1};
        Arc(a, ab, m, depth + 1);
        Arc(m, bc, c, depth + 1);
    }

    ExactScanner &s_;
    size_t contourStart_ = 0;
};

// ------------------------------------------------------------ the profiles

int Direction(int64_t from, int64_t to) { return (to > from) - (to < from); }

// Cuts the contours into profiles and records their crossings with the
// lines first .. last.
class ProfileBuilder {
public:
    ProfileBuilder(ExactScanner &s, Sweep sweep, int64_t first, int64_t last, ScanInfo *pS)
        : s_(s), sweep_(sweep), first_(first), last_(last), pS_(pS) {
        s_.profiles.clear();
        s_.crossings.clear();
    }

    void Contour(uint32_t begin, uint32_t end) {
        const uint32_t n = end - begin;
        if (n < 2) return;
        const uint32_t start = StartEdge(begin, n);
        if (start == n) return;  // flat: crosses no line
        const size_t firstProfile = s_.profiles.size();
        int current = 0;
        for (uint32_t t = 0; t < n; ++t) {
            const uint32_t i = (start + t) % n;
            const FinePoint &P = s_.points[begin + i], &Q = s_.points[begin + (i + 1) % n];
            const int d = Direction(sweep_.Across(P), sweep_.Across(Q));
            if (d == 0) continue;
            if (d != current) BeginProfile(d > 0, sweep_.Across(P));
            current = d;
            Edge(P, Q);
        }
        EndProfile();
        for (size_t p = firstProfile; p < s_.profiles.size(); ++p)
            s_.profiles[p].next = int32_t(p + 1 < s_.profiles.size() ? p + 1 : firstProfile);
    }

private:
    int DirectionOf(uint32_t begin, uint32_t n, uint32_t i) const {
        return Direction(sweep_.Across(s_.points[begin + i]),
                         sweep_.Across(s_.points[begin + (i + 1) % n]));
    }

    // An edge where the contour turns (its direction differs from the last
    // edge before it that is not flat), so that no profile is cut in two
    // where the contour happens to start; n when every edge is flat.
    uint32_t StartEdge(uint32_t begin, uint32_t n) const {
        int previous = 0;
        for (uint32_t t = n; t-- > 0 && previous == 0;) previous = DirectionOf(begin, n, t);
        for (uint32_t i = 0; i < n; ++i) {
            const int d = DirectionOf(begin, n, i);
            if (d != 0 && d != previous) return i;
            if (d != 0) previous = d;
        }
        return n;
    }

    void BeginProfile(bool ascending, int64_t at) {
        EndProfile();
        Profile p{};
        p.ascending = ascending;
        p.low = p.high = at;
        s_.profiles.push_back(p);
        lastLine_ = INT64_MIN;
        open_ = true;
    }

    void EndProfile() {
        if (!open_) return;
        Profile &p = s_.profiles.back();
        p.lowLine = FirstLineFrom(p.low);
        p.highLine = LastLineUpTo(p.high);
        open_ = false;
    }

    void Edge(const FinePoint &P, const FinePoint &Q) {
        const int64_t a0 = sweep_.Along(P), b0 = sweep_.Across(P);
        const int64_t a1 = sweep_.Along(Q), b1 = sweep_.Across(Q);
        Profile &profile = s_.profiles.back();
        profile.low = std::min(profile.low, b1);
        profile.high = std::max(profile.high, b1);
        const bool up = b1 > b0;
        int64_t from = up ? FirstLineFrom(b0) : LastLineUpTo(b0);
        const int64_t to = up ? LastLineUpTo(b1) : FirstLineFrom(b1);
        // Two edges of a run meeting on a line cross it once: the later
        // edge's crossing stands (after a flat stretch, its own start).
        if (from == lastLine_ && LinePosition(from) == b0) {
            s_.crossings[lastIndex_].at = a0;
            from += up ? 1 : -1;
        }
        const int64_t lo = std::max(up ? from : to, first_);
        const int64_t hi = std::min(up ? to : from, last_);
        if (lo > hi) return;
        const int32_t profileIndex = int32_t(s_.profiles.size() - 1);
        const int64_t db = b1 - b0, da = a1 - a0;
        for (int64_t k = up ? lo : hi; up ? k <= hi : k >= lo; k += up ? 1 : -1) {
            if (s_.crossings.size() >= kMaxCrossings) {
                pS_->OverFlow = 1;
                return;
            }
            // Rounded to the nearest fine unit, halves away from the start.
            const int64_t num = (LinePosition(k) - b0) * da;
            const int64_t at = a0 + FloorDiv(2 * num + db, 2 * db);
            s_.crossings.push_back(Crossing{int32_t(k - first_), profileIndex, at});
            lastLine_ = k;
            lastIndex_ = s_.crossings.size() - 1;
        }
    }

    ExactScanner &s_;
    Sweep sweep_;
    int64_t first_, last_;
    ScanInfo *pS_;
    bool open_ = false;
    int64_t lastLine_ = INT64_MIN;
    size_t lastIndex_ = 0;
};

// Orders the crossings by line (counting) and, within a line, by position.
void SortCrossings(ExactScanner &s, size_t lines) {
    s.lineStart.assign(lines + 1, 0);
    for (const Crossing &c : s.crossings) ++s.lineStart[size_t(c.line) + 1];
    for (size_t k = 0; k < lines; ++k) s.lineStart[k + 1] += s.lineStart[k];
    s.sorted.resize(s.crossings.size());
    std::vector<uint32_t> &fill = s.lineStart;  // advanced while placing, restored below
    for (const Crossing &c : s.crossings) s.sorted[fill[size_t(c.line)]++] = c;
    for (size_t k = lines; k > 0; --k) fill[k] = fill[k - 1];
    fill[0] = 0;
    for (size_t k = 0; k < lines; ++k) {
        Crossing *b = s.sorted.data() + s.lineStart[k], *e = s.sorted.data() + s.lineStart[k + 1];
        // A line holds a handful of crossings: insertion is the quickest
        // sort, and equal positions keep the order they were recorded in.
        for (Crossing *i = b + (b != e); i < e; ++i) {
            const Crossing c = *i;
            Crossing *j = i;
            for (; j > b && (j - 1)->at > c.at; --j) *j = *(j - 1);
            *j = c;
        }
    }
}

// ------------------------------------------------------------- the sweeps

class SweepFiller {
public:
    SweepFiller(ExactScanner &s, Sweep sweep, const GlyphBox &box, uint8_t dropout,
                _GlyphBitMap *pBM)
        : s_(s), sweep_(sweep), box_(box), dropout_(dropout), pBM_(pBM) {}

    void Line(int64_t line, const Crossing *b, const Crossing *e) {
        s_.dropouts.clear();
        int winding = 0;
        const Crossing *on = nullptr;
        for (const Crossing *c = b; c != e; ++c) {
            const int before = winding;
            winding += s_.profiles[size_t(c->profile)].ascending ? 1 : -1;
            if (before == 0) on = c;
            if (before != 0 && winding == 0) Run(line, *on, *c);
        }
        if (dropout_ & kDropoutOn)
            for (const Dropout &d : s_.dropouts) Drop(line, d);
    }

private:
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

    // Rows fill their runs; columns only add what rows cannot see: a run
    // thinner than a pixel around one centre, and the dropouts.
    void Run(int64_t line, const Crossing &on, const Crossing &off) {
        const int64_t c1 = FirstLineFrom(on.at), c2 = LastLineUpTo(off.at);
        if (c1 > c2) {
            s_.dropouts.push_back(Dropout{on, off});
        } else if (!sweep_.columns) {
            const int64_t lo = std::max(c1, AlongLow()), hi = std::min(c2, AlongHigh() - 1);
            if (lo <= hi)
                AddBitLine(pBM_, int(lo - box_.left), int(hi + 1 - box_.left),
                           int(line - box_.bottom));
        } else if (c1 == c2 && off.at - on.at < kPixel) {
            Set(line, c1);
        }
    }

    // Where a run is a stroke's end: the two profiles follow each other in
    // their contour and the run lies on the last (first) line of the one
    // going up.  A stroke that reaches half a pixel past that line over a
    // run at least half a pixel long is kept even so.
    bool IsStub(int64_t line, const Dropout &d) const {
        const bool onAscends = s_.profiles[size_t(d.on.profile)].ascending;
        const int32_t up = onAscends ? d.on.profile : d.off.profile;
        const int32_t down = onAscends ? d.off.profile : d.on.profile;
        const Profile &p = s_.profiles[size_t(up)];
        const bool wide = d.off.at - d.on.at >= kHalfPixel;
        if (p.next == down && line == p.highLine && !(p.TopOvershoot() && wide)) return true;
        if (s_.profiles[size_t(down)].next == up && line == p.lowLine &&
            !(p.BottomOvershoot() && wide))
            return true;
        return false;
    }

    // Rounds the run's middle to the nearest centre (ties to the lower one).
    static int64_t NearestToMiddle(int64_t a, int64_t b) {
        const int64_t middle = FloorDiv((a - kHalfPixel) + (b - kHalfPixel) - 1, 2);
        return FloorDiv(middle + kHalfPixel, kPixel);
    }

    void Drop(int64_t line, const Dropout &d) {
        if (!(dropout_ & kDropoutStubs) && IsStub(line, d)) return;
        const int64_t above = FirstLineFrom(d.on.at), below = above - 1;
        int64_t pixel = (dropout_ & kDropoutSmart) ? NearestToMiddle(d.on.at, d.off.at) : below;
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
    GlyphBox box_;
    uint8_t dropout_;
    _GlyphBitMap *pBM_;
};

void RunSweep(ExactScanner &s, ScanInfo *pS, Sweep sweep, const GlyphBox &box,
              _GlyphBitMap *pBM) {
    const int64_t first = sweep.columns ? box.left : box.bottom;
    const int64_t last = (sweep.columns ? box.right : box.top) - 1;
    ProfileBuilder builder(s, sweep, first, last, pS);
    uint32_t begin = 0;
    for (uint32_t end : s.contourEnds) {
        builder.Contour(begin, end);
        begin = end;
    }
    const size_t lines = size_t(last - first + 1);
    SortCrossings(s, lines);
    SweepFiller filler(s, sweep, box, pS->Dropout, pBM);
    for (size_t k = 0; k < lines; ++k) {
        if (s.lineStart[k] == s.lineStart[k + 1]) continue;
        filler.Line(first + int64_t(k), s.sorted.data() + s.lineStart[k],
                    s.sorted.data() + s.lineStart[k + 1]);
    }
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

uint8_t DropoutFor(bool hinted, int32_t scanControl, int32_t ppem) {
    if (!hinted) return kDropoutOn;
    // SCANCTRL: a threshold in bits 0-7 (0xFF: every size, 0: none); bit 8
    // switches control on at sizes up to it, bit 11 off above it.  Bits 9,
    // 10, 12 and 13 ask about rotated or stretched glyphs, which are never
    // drawn here.
    const uint32_t control = uint32_t(scanControl) & 0x3FFFu;
    const uint32_t threshold = control & 0xFFu;
    bool on = threshold == 0xFFu;
    if (threshold != 0 && threshold != 0xFFu) {
        if ((control & 0x100u) && uint32_t(ppem) <= threshold) on = true;
        if ((control & 0x800u) && uint32_t(ppem) > threshold) on = false;
    }
    if (!on) return 0;
    switch (uint32_t(scanControl) >> 14) {  // SCANTYPE
        case 0: return kDropoutOn | kDropoutStubs;
        case 1: return kDropoutOn;
        case 4: return kDropoutOn | kDropoutSmart | kDropoutStubs;
        case 5: return kDropoutOn | kDropoutSmart;
        default: return 0;  // 2, 3, 6, 7: centres only
    }
}

void ScanOutlineExactly(ScanInfo *pS, unsigned NumContours, const int16_t *lpEndPoints,
                        TTFCoord *lpStart, _GlyphBitMap *pBM) {
    ExactScanner *s = ScannerOf(pS);
    if (s == nullptr) return;
    FineOutline outline(*s);
    WalkOutline(NumContours, lpEndPoints, lpStart, outline);
    outline.Finish();
    if (outline.Empty()) return;
    if (!FitBitMapToGlyph(pBM, BoxForExtent(outline.xMin, outline.yMin, outline.xMax,
                                            outline.yMax)))
        return;
    const GlyphBox box = BoxOfBitMap(*pBM);
    RunSweep(*s, pS, Sweep{false}, box, pBM);
    if (pS->Dropout & kDropoutOn) RunSweep(*s, pS, Sweep{true}, box, pBM);
}

void FreeExactScanner(ScanInfo *pS) {
    delete pS->Exact;
    pS->Exact = nullptr;
}

}  // namespace kelmor
