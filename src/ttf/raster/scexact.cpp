// The faithful mode's scan converter.
//
// How it runs, for one outline:
//   1. The contour walk (contour_walk.h) hands the outline over at its exact
//      positions; the points' extent gives the bitmap's box.  Positions are
//      measured from pixel centres (a centre lies on a multiple of a pixel)
//      in 1/4096 pixel below 24 ppem and in 1/64 pixel from there on: the
//      precision FreeType's rasterizer keeps at those sizes, so that our
//      bitmaps and its agree pixel for pixel.
//   2. Rows: each contour is cut into pieces (straight edges and arcs) that
//      keep going up or down, and those into runs of one direction
//      (profiles).  A profile crosses every row centre between its ends,
//      both ends included: a centre on the outline is inside it.  Where two
//      pieces of one run meet exactly on a centre, the crossing is counted
//      once.  An arc is crossed where the chord of the piece around the
//      centre crosses it, the arc being halved until its pieces are at most
//      1/16 pixel tall (1/2 pixel from 24 ppem).  The crossings are sorted
//      by row and by x, and each row is filled by the non-zero winding rule:
//      every pixel whose centre lies in a run from the crossing where the
//      winding leaves 0 to the one where it returns to 0, ends included.
//   3. A run no wider than a pixel that holds no centre (a stroke thinner
//      than a pixel between two centres) is a dropout; with dropout control
//      on, one of the two pixels beside it is set after the row's runs: the
//      left one (simple) or the one nearest the run's middle (smart), unless
//      the other one is already set, and, without stubs, not where the run
//      is the end of a stroke.
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

// Hinted points can be anywhere; beyond these (26.6, 262144 pixels) they
// are pinned, which keeps every product below exact in 64 bits.
constexpr int32_t kCoordLimit = int32_t(1) << 24;
// A bitmap reaches at most this many pixels from the origin each way, so a
// lying outline cannot ask for more than a few megabytes.
constexpr int32_t kBoxLimit = 2048;
// Crossings kept per sweep; far above any real glyph at any size.
constexpr size_t kMaxCrossings = size_t(1) << 20;
// Halvings of an arc that never becomes monotonic (rounding can keep a
// tiny arc's control point just outside its ends): drawn straight then.
constexpr int kMaxSplits = 32;

// The units positions are kept in at one size.
struct Precision {
    int shift;       // from 26.6: << shift
    int bits;        // one pixel is 1 << bits
    int64_t pixel;   // one pixel
    int64_t step;    // the tallest arc piece taken as straight
    int64_t jitter;  // a run this much wider than a pixel still counts as one pixel wide

    // The line (centre) at or below v, at or above v, and whether v is on one.
    int64_t Floor(int64_t v) const { return v >> bits; }
    int64_t Ceil(int64_t v) const { return -((-v) >> bits); }
    bool OnLine(int64_t v) const { return (v & (pixel - 1)) == 0; }
};

Precision PrecisionFor(int32_t ppem) {
    if (ppem < 24) return Precision{6, 12, 4096, 256, 30};
    return Precision{0, 6, 64, 32, 2};
}

// a * b / c rounded to the nearest, halves away from zero (b >= 0, c > 0).
int64_t MulDivRounded(int64_t a, int64_t b, int64_t c) {
    const int64_t magnitude = (std::llabs(a) * b + c / 2) / c;
    return a < 0 ? -magnitude : magnitude;
}

struct FinePoint {
    int64_t x, y;
};

// An outline point: on the curve, or the control point of an arc.
struct PathPoint {
    FinePoint p;
    bool control;
};

// Which way the lines run: rows sample x at y's centres, columns y at x's.
// Points are turned so that `b` runs across the lines and `a` along them.
struct Sweep {
    bool columns;
    FinePoint Turn(const FinePoint &p) const {
        return columns ? FinePoint{p.y, p.x} : FinePoint{p.x, p.y};
    }
};

// A piece of a contour that keeps going one way across the lines, in turned
// coordinates (x along the lines, y across them): a straight edge p0-p2 or
// an arc p0-p1-p2.
struct Piece {
    FinePoint p0, p1, p2;
    bool arc;
    int direction;  // +1 towards larger line numbers, -1 towards smaller
};

struct Profile {
    int32_t next;           // the next profile of the contour that crosses a line
    bool ascending;         // towards larger line numbers
    int64_t low, high;      // its extent across the lines
    int64_t lowLine, highLine;  // the first and last line it crosses inside the bitmap
    int32_t count;              // the lines it crosses there
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
    std::vector<PathPoint> path;
    std::vector<uint32_t> contourEnds;  // one past each contour's last point
    std::vector<Piece> pieces;
    std::vector<Profile> profiles;
    std::vector<Crossing> crossings;  // the first crossingCount are in use
    size_t crossingCount = 0;
    std::vector<Crossing> sorted;
    std::vector<uint32_t> lineStart;
    std::vector<Dropout> dropouts;
};

namespace {

// ------------------------------------------------------------- the outline

// Collects the walked outline, contour by contour, and the extent of its
// points (26.6), control points included.
class PathCollector {
public:
    using Point = FinePoint;

    PathCollector(ExactScanner &s, const Precision &precision) : s_(s), precision_(precision) {
        s_.path.clear();
        s_.contourEnds.clear();
    }

    Point From(const longpointtype &p) {
        const int32_t x = std::clamp(p.x, -kCoordLimit, kCoordLimit);
        const int32_t y = std::clamp(p.y, -kCoordLimit, kCoordLimit);
        xMin = std::min(xMin, x), xMax = std::max(xMax, x);
        yMin = std::min(yMin, y), yMax = std::max(yMax, y);
        const int64_t half = precision_.pixel / 2;
        return Point{int64_t(x) * (int64_t(1) << precision_.shift) - half,
                     int64_t(y) * (int64_t(1) << precision_.shift) - half};
    }
    static Point Mid(const Point &a, const Point &b) {
        return Point{(a.x + b.x) / 2, (a.y + b.y) / 2};
    }
    void MoveTo(const Point &p) {
        EndContour();
        s_.path.push_back(PathPoint{p, false});
    }
    void LineTo(const Point &p) { s_.path.push_back(PathPoint{p, false}); }
    void CurveTo(const Point arc[3]) {
        s_.path.push_back(PathPoint{arc[1], true});
        s_.path.push_back(PathPoint{arc[2], false});
    }
    void Finish() { EndContour(); }
    bool Empty() const { return xMin > xMax; }

    int32_t xMin = INT32_MAX, yMin = INT32_MAX, xMax = INT32_MIN, yMax = INT32_MIN;

private:
    void EndContour() {
        if (s_.path.size() > contourStart_) s_.contourEnds.push_back(uint32_t(s_.path.size()));
        contourStart_ = s_.path.size();
    }

    ExactScanner &s_;
    Precision precision_;
    size_t contourStart_ = 0;
};

int Direction(int64_t from, int64_t to) { return (to > from) - (to < from); }

FinePoint Halfway(const FinePoint &a, const FinePoint &b) {
    return FinePoint{(a.x + b.x) >> 1, (a.y + b.y) >> 1};
}

// The two halves of an arc: a-p-m and m-q-c.
void HalveArc(const FinePoint &a, const FinePoint &b, const FinePoint &c, FinePoint *p,
              FinePoint *m, FinePoint *q) {
    *p = Halfway(a, b);
    *q = Halfway(b, c);
    *m = FinePoint{(a.x + 2 * b.x + c.x) >> 2, (a.y + 2 * b.y + c.y) >> 2};
}

// Cuts one contour into pieces that keep going one way across the lines;
// flat pieces cross no line and are left out.
class PieceCutter {
public:
    explicit PieceCutter(std::vector<Piece> &out) : out_(out) { out_.clear(); }

    void Edge(const FinePoint &a, const FinePoint &c) {
        const int d = Direction(a.y, c.y);
        if (d != 0) out_.push_back(Piece{a, a, c, false, d});
    }

    // Halved at its middle until its control point lies between its ends.
    void Arc(const FinePoint &a, const FinePoint &b, const FinePoint &c, int depth = 0) {
        const bool monotonic = b.y >= std::min(a.y, c.y) && b.y <= std::max(a.y, c.y);
        if (!monotonic && depth < kMaxSplits) {
            FinePoint p, m, q;
            HalveArc(a, b, c, &p, &m, &q);
            Arc(a, p, m, depth + 1);
            Arc(m, q, c, depth + 1);
            return;
        }
        const int d = Direction(a.y, c.y);
        if (d != 0) out_.push_back(Piece{a, b, c, monotonic, d});
    }

private:
    std::vector<Piece> &out_;
};

// ------------------------------------------------------------ the profiles

// Cuts the contours into profiles and records their crossings with the
// lines first .. last.
class ProfileBuilder {
public:
    ProfileBuilder(ExactScanner &s, const Precision &precision, int64_t first, int64_t last,
                   ScanInfo *pS)
        : s_(s), precision_(precision), first_(first), last_(last), pS_(pS) {
        s_.profiles.clear();
        s_.crossingCount = 0;
    }

    // Profiles run in contour order from the contour's first point, as the
    // reference rasterizer cuts them: a run the first point falls in is two
    // profiles, which matters only to the stub test below.
    void Contour(const std::vector<Piece> &pieces) {
        if (pieces.empty()) return;
        const size_t firstProfile = s_.profiles.size();
        int current = 0;
        for (const Piece &piece : pieces) {
            if (piece.direction != current) BeginProfile(piece);
            current = piece.direction;
            Record(piece);
        }
        DropClosingDuplicate(firstProfile, pieces.front());
        LinkRing(firstProfile);
    }

private:
    void BeginProfile(const Piece &piece) {
        Profile p{};
        p.ascending = piece.direction > 0;
        p.low = p.high = piece.p0.y;
        s_.profiles.push_back(p);
        lastLine_ = INT64_MIN;
    }

    // A contour that starts exactly on a line inside a run crosses that
    // line at its start and again where it closes: once is enough.
    void DropClosingDuplicate(size_t firstProfile, const Piece &first) {
        Profile &last = s_.profiles.back();
        if (s_.profiles.size() - firstProfile < 2 || last.ascending != s_.profiles[firstProfile].ascending)
            return;
        if (!precision_.OnLine(first.p0.y) || lastLine_ != precision_.Floor(first.p0.y) ||
            last.count == 0)
            return;
        --s_.crossingCount;
        if (--last.count > 0) (last.ascending ? last.highLine : last.lowLine) -= last.ascending ? 1 : -1;
        lastLine_ = INT64_MIN;
    }

    // The next profile of each that crosses a line is the next such one in
    // the contour.  The last one's next is the first only when the contour's
    // last profile crosses a line itself (a ring the reference rasterizer
    // leaves open otherwise).
    void LinkRing(size_t firstProfile) {
        int32_t firstLive = -1, previous = -1;
        for (size_t p = firstProfile; p < s_.profiles.size(); ++p) {
            Profile &profile = s_.profiles[p];
            profile.next = -1;
            if (profile.count == 0) continue;
            if (previous >= 0) s_.profiles[size_t(previous)].next = int32_t(p);
            if (firstLive < 0) firstLive = int32_t(p);
            previous = int32_t(p);
        }
        if (previous >= 0 && s_.profiles.back().count > 0)
            s_.profiles[size_t(previous)].next = firstLive;
    }

    // Lines are numbered in the piece's direction of travel: a piece going
    // down is recorded with its coordinates across the lines negated.
    void Record(const Piece &piece) {
        Profile &profile = s_.profiles.back();
        profile.low = std::min(profile.low, piece.p2.y);
        profile.high = std::max(profile.high, piece.p2.y);
        sign_ = piece.direction;
        const FinePoint a = Travel(piece.p0), b = Travel(piece.p1), c = Travel(piece.p2);
        if (piece.arc)
            Arc(a, b, c);
        else
            Line(a, c);
    }

    FinePoint Travel(const FinePoint &p) const { return FinePoint{p.x, p.y * sign_}; }
    int64_t LineOf(int64_t e) const { return e * sign_; }
    // The lines inside the bitmap, numbered in the direction of travel.
    int64_t TravelFirst() const { return sign_ > 0 ? first_ : -last_; }
    int64_t TravelLast() const { return sign_ > 0 ? last_ : -first_; }

    void Add(int64_t e, int64_t at) {
        const int64_t line = LineOf(e);
        if (line < first_ || line > last_) return;
        if (s_.crossingCount == s_.crossings.size() && !GrowCrossings()) {
            pS_->OverFlow = 1;
            return;
        }
        Profile &profile = s_.profiles.back();
        profile.lowLine = profile.count == 0 ? line : std::min(profile.lowLine, line);
        profile.highLine = profile.count == 0 ? line : std::max(profile.highLine, line);
        ++profile.count;
        s_.crossings[s_.crossingCount++] =
            Crossing{int32_t(line - first_), int32_t(s_.profiles.size() - 1), at};
        lastLine_ = line;
        lastIndex_ = s_.crossingCount - 1;
    }

    // The buffer is kept from glyph to glyph and doubled when full, up to
    // kMaxCrossings.
    bool GrowCrossings() {
        const size_t size = s_.crossings.size();
        if (size >= kMaxCrossings) return false;
        s_.crossings.resize(std::min(kMaxCrossings, std::max<size_t>(1024, 2 * size)));
        return true;
    }

    // A piece starting exactly on line e: where the piece before it in the
    // run ended there too, its crossing gives way to this one.
    void AddAtStart(int64_t e, int64_t at) {
        if (LineOf(e) == lastLine_)
            s_.crossings[lastIndex_].at = at;
        else
            Add(e, at);
    }

    // The first crossing is interpolated and rounded; the ones after it add
    // whole steps to it, truncated (kept exact by carrying the remainder).
    void Line(const FinePoint &a, const FinePoint &c) {
        const int64_t P = precision_.pixel;
        const int64_t e1 = precision_.Ceil(a.y), e2 = precision_.Floor(c.y);
        if (e1 > e2) return;
        const int64_t dx = c.x - a.x, dy = c.y - a.y;
        const int64_t x1 = a.x + (a.y == e1 * P ? 0 : MulDivRounded(dx, e1 * P - a.y, dy));
        if (a.y == e1 * P)
            AddAtStart(e1, x1);
        else
            Add(e1, x1);
        const int64_t from = std::max(e1 + 1, TravelFirst()), to = std::min(e2, TravelLast());
        if (from > to) return;
        const int64_t sign = dx < 0 ? -1 : 1, run = P * (dx < 0 ? -dx : dx);
        const int64_t whole = run / dy, rest = run % dy;
        const int64_t k0 = from - e1;  // steps already taken at the first line inside
        int64_t x = x1 + sign * (k0 * whole + (k0 * rest) / dy);
        int64_t carry = (k0 * rest) % dy - dy;
        for (int64_t e = from; e <= to; ++e) {
            Add(e, x);
            x += sign * whole;
            carry += rest;
            if (carry >= 0) {
                carry -= dy;
                x += sign;
            }
        }
    }

    // The arc is halved around each line until the piece there is no
    // taller than a step, and crossed where that piece's chord crosses it.
    void Arc(const FinePoint &a, const FinePoint &b, const FinePoint &c) {
        const int64_t P = precision_.pixel;
        const int64_t e1 = precision_.Ceil(a.y), e2 = precision_.Floor(c.y);
        if (e1 > e2) return;
        int64_t e = e1;
        if (a.y == e1 * P) AddAtStart(e++, a.x);
        e = std::max(e, TravelFirst());
        const int64_t to = std::min(e2, TravelLast());
        struct Part {
            FinePoint a, b, c;
        };
        Part stack[kMaxSplits + 2];
        int top = 0;
        stack[0] = Part{a, b, c};
        while (e <= to && top >= 0) {
            const Part part = stack[top];
            const int64_t y = e * P;
            if (part.c.y <= y) {
                if (part.c.y == y) Add(e++, part.c.x);
                --top;
            } else if (part.c.y - part.a.y >= precision_.step && top < kMaxSplits) {
                FinePoint p, m, q;
                HalveArc(part.a, part.b, part.c, &p, &m, &q);
                stack[top] = Part{m, q, part.c};
                stack[++top] = Part{part.a, p, m};
            } else {
                Add(e++, part.a.x + (part.c.x - part.a.x) * (y - part.a.y) / (part.c.y - part.a.y));
            }
        }
    }

    ExactScanner &s_;
    Precision precision_;
    int64_t first_, last_;
    ScanInfo *pS_;
    int sign_ = 1;
    int64_t lastLine_ = INT64_MIN;
    size_t lastIndex_ = 0;
};

// The pieces of one contour of the path, turned for the sweep.
void CutContour(const ExactScanner &s, uint32_t begin, uint32_t end, Sweep sweep,
                PieceCutter *cutter) {
    for (uint32_t i = begin + 1; i < end; ++i) {
        const FinePoint from = sweep.Turn(s.path[i - 1].p);
        if (s.path[i].control && i + 1 < end) {
            cutter->Arc(from, sweep.Turn(s.path[i].p), sweep.Turn(s.path[i + 1].p));
            ++i;
        } else {
            cutter->Edge(from, sweep.Turn(s.path[i].p));
        }
    }
}

// Orders the crossings by line (counting) and, within a line, by position.
void SortCrossings(ExactScanner &s, size_t lines) {
    s.lineStart.assign(lines + 1, 0);
    const Crossing *const begin = s.crossings.data(), *const end = begin + s.crossingCount;
    for (const Crossing *c = begin; c != end; ++c) ++s.lineStart[size_t(c->line) + 1];
    for (size_t k = 0; k < lines; ++k) s.lineStart[k + 1] += s.lineStart[k];
    if (s.sorted.size() < s.crossingCount) s.sorted.resize(s.crossingCount);
    std::vector<uint32_t> &fill = s.lineStart;  // advanced while placing, restored below
    for (const Crossing *c = begin; c != end; ++c) s.sorted[fill[size_t(c->line)]++] = *c;
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
    SweepFiller(ExactScanner &s, Sweep sweep, const Precision &precision, const GlyphBox &box,
                uint8_t dropout, _GlyphBitMap *pBM)
        : s_(s), sweep_(sweep), precision_(precision), box_(box), dropout_(dropout), pBM_(pBM) {}

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
    bool OnCentre(int64_t v) const { return precision_.OnLine(v); }

    // Rows fill their runs; columns only add what rows cannot see: a run
    // thinner than a pixel around one centre, and the centres a run ends on
    // exactly (on the outline, so inside it, where a row's crossings may
    // miss them: the floor of a notch lying on a row centre).  A run no
    // wider than a pixel with no centre in it, ends included, is a dropout.
    void Run(int64_t line, const Crossing &on, const Crossing &off) {
        const int64_t P = precision_.pixel, x1 = on.at, x2 = off.at;
        if (x2 - x1 <= P && !OnCentre(x1) && !OnCentre(x2) &&
            precision_.Floor(x1) == precision_.Floor(x2)) {
            s_.dropouts.push_back(Dropout{on, off});
            return;
        }
        const int64_t c1 = precision_.Ceil(x1);
        int64_t c2 = precision_.Floor(x2);
        if (sweep_.columns) {
            if (x2 - x1 < P && c1 == c2) Set(line, c1);
            if (OnCentre(x1)) Set(line, c1);
            if (OnCentre(x2)) Set(line, c2);
            return;
        }
        // A run a hair wider than a pixel whose ends miss the centres is
        // taken as one pixel wide: it covers one pixel, not two.
        if ((dropout_ & kDropoutOn) && x2 - x1 - P <= precision_.jitter && !OnCentre(x1) &&
            !OnCentre(x2))
            c2 = c1;
        const int64_t lo = std::max(c1, AlongLow()), hi = std::min(c2, AlongHigh() - 1);
        if (lo <= hi)
            AddBitLine(pBM_, int(lo - box_.left), int(hi + 1 - box_.left), int(line - box_.bottom));
    }

    // Where a run is a stroke's end: the two profiles follow each other in
    // their contour and the run lies on the last (first) line of the one
    // going up.  A stroke that reaches half a pixel past that line over a
    // run at least half a pixel long is kept even so.
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

    // The centre nearest the run's middle (ties to the lower one).
    int64_t NearestToMiddle(int64_t a, int64_t b) const {
        return precision_.Floor((a + b - 1) / 2 + precision_.pixel / 2);
    }

    void Drop(int64_t line, const Dropout &d) {
        if (!(dropout_ & kDropoutStubs) && IsStub(line, d)) return;
        const int64_t above = precision_.Ceil(d.on.at), below = above - 1;
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
    Precision precision_;
    GlyphBox box_;
    uint8_t dropout_;
    _GlyphBitMap *pBM_;
};

void RunSweep(ExactScanner &s, ScanInfo *pS, Sweep sweep, const Precision &precision,
              const GlyphBox &box, _GlyphBitMap *pBM) {
    const int64_t first = sweep.columns ? box.left : box.bottom;
    const int64_t last = (sweep.columns ? box.right : box.top) - 1;
    ProfileBuilder builder(s, precision, first, last, pS);
    uint32_t begin = 0;
    for (uint32_t end : s.contourEnds) {
        PieceCutter cutter(s.pieces);
        CutContour(s, begin, end, sweep, &cutter);
        builder.Contour(s.pieces);
        begin = end;
    }
    const size_t lines = size_t(last - first + 1);
    SortCrossings(s, lines);
    SweepFiller filler(s, sweep, precision, box, pS->Dropout, pBM);
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
    const Precision precision = PrecisionFor(pS->Ppem);
    PathCollector outline(*s, precision);
    WalkOutline(NumContours, lpEndPoints, lpStart, outline);
    outline.Finish();
    if (outline.Empty()) return;
    if (!FitBitMapToGlyph(pBM, BoxForExtent(outline.xMin, outline.yMin, outline.xMax,
                                            outline.yMax)))
        return;
    const GlyphBox box = BoxOfBitMap(*pBM);
    RunSweep(*s, pS, Sweep{false}, precision, box, pBM);
    if (pS->Dropout & kDropoutOn) RunSweep(*s, pS, Sweep{true}, precision, box, pBM);
}

void FreeExactScanner(ScanInfo *pS) {
    delete pS->Exact;
    pS->Exact = nullptr;
}

}  // namespace kelmor
