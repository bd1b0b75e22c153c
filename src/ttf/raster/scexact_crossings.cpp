// Crossings of the outline with the pixel centre lines of one sweep.
//
// Each contour is cut into pieces (straight edges and arcs) that keep going
// one way across the lines, and those into runs of one direction
// (profiles).  A profile crosses every line between its ends, both ends
// included: a centre on the outline is inside it.  Where two pieces of one
// run meet exactly on a line, the line is crossed once.  An arc is crossed
// where the chord of the piece around the line crosses it, the arc being
// halved until its pieces are no taller than a step.  The arithmetic (the
// first crossing of an edge rounded, the later ones stepped and truncated,
// chords of halved arcs) and the way profiles are cut and linked follow
// FreeType's rasterizer, so that the two agree pixel for pixel.
#include "ttf/raster/scexact_crossings.h"

#include <algorithm>
#include <cstdlib>

namespace kelmor {

namespace exact {

namespace {

// a * b / c rounded to the nearest, halves away from zero (b >= 0, c > 0).
int64_t MulDivRounded(int64_t a, int64_t b, int64_t c) {
    const int64_t magnitude = (std::llabs(a) * b + c / 2) / c;
    return a < 0 ? -magnitude : magnitude;
}

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

// ------------------------------------------------------------ the profiles

// Cuts the contours into profiles and records their crossings with the
// lines first .. last.  Pieces arrive one at a time from the cutter below.
class ProfileBuilder {
public:
    ProfileBuilder(ExactScanner &s, const Precision &precision, int64_t first, int64_t last,
                   ScanInfo *pS)
        : s_(s), precision_(precision), first_(first), last_(last), pS_(pS) {
        s_.profiles.clear();
        s_.positionCount = 0;
    }

    // Profiles run in contour order from the contour's first point, as the
    // reference rasterizer cuts them: a run the first point falls in is two
    // profiles, which matters only to the stub test below.
    void BeginContour(uint8_t mode) {
        firstProfile_ = s_.profiles.size();
        current_ = 0;
        mode_ = mode;
    }

    void Piece(const FinePoint &a, const FinePoint &b, const FinePoint &c, bool arc,
               int direction) {
        if (s_.profiles.size() == firstProfile_) contourStart_ = a.y;
        if (direction != current_) BeginProfile(a.y, direction);
        current_ = direction;
        Record(a, b, c, arc);
    }

    void EndContour() {
        if (s_.profiles.size() == firstProfile_) return;
        DropClosingDuplicate();
        LinkRing();
    }

private:
    void BeginProfile(int64_t y, int direction) {
        // Filled in place: a Profile built aside and copied in stalls on
        // its own narrow stores.
        Profile &p = s_.profiles.emplace_back();
        p.ascending = direction > 0;
        p.mode = mode_;
        p.low = p.high = y;
        p.first = uint32_t(s_.positionCount);
        lastLine_ = INT64_MIN;
    }

    // A contour that starts exactly on a line inside a run crosses that
    // line at its start and again where it closes: once is enough.
    void DropClosingDuplicate() {
        Profile &last = s_.profiles.back();
        if (s_.profiles.size() - firstProfile_ < 2 ||
            last.ascending != s_.profiles[firstProfile_].ascending)
            return;
        if (!precision_.OnLine(contourStart_) || lastLine_ != precision_.Floor(contourStart_) ||
            last.count == 0)
            return;
        --s_.positionCount;
        if (--last.count > 0) (last.ascending ? last.highLine : last.lowLine) -= last.ascending ? 1 : -1;
        lastLine_ = INT64_MIN;
    }

    // The next profile of each that crosses a line is the next such one in
    // the contour.  The last one's next is the first only when the contour's
    // last profile crosses a line itself; otherwise, as in the reference
    // rasterizer (which hands an empty profile's place to the profile after
    // it), it is the next one that crosses a line in the outline, whichever
    // contour that is in (settled by LinkAcrossContours).
    void LinkRing() {
        int32_t firstLive = -1, previous = -1;
        for (size_t p = firstProfile_; p < s_.profiles.size(); ++p) {
            Profile &profile = s_.profiles[p];
            profile.next = -1;
            if (profile.count == 0) continue;
            if (previous >= 0) s_.profiles[size_t(previous)].next = int32_t(p);
            if (firstLive < 0) firstLive = int32_t(p);
            previous = int32_t(p);
        }
        if (previous < 0) return;
        s_.profiles[size_t(previous)].next =
            s_.profiles.back().count > 0 ? firstLive : kNextInOutline;
    }

public:
    // Profiles whose next is the outline's next one that crosses a line.
    void LinkAcrossContours() {
        int32_t following = -1;
        for (size_t p = s_.profiles.size(); p-- > 0;) {
            Profile &profile = s_.profiles[p];
            if (profile.next == kNextInOutline) profile.next = following;
            if (profile.count > 0) following = int32_t(p);
        }
    }

private:
    static constexpr int32_t kNextInOutline = -2;

    // Lines are numbered in the piece's direction of travel: a piece going
    // down is recorded with its coordinates across the lines negated.  Most
    // pieces of a curved outline lie between two lines and stop at the
    // first test.
    void Record(const FinePoint &a, const FinePoint &b, const FinePoint &c, bool arc) {
        Profile &profile = s_.profiles.back();
        profile.low = std::min(profile.low, c.y);
        profile.high = std::max(profile.high, c.y);
        sign_ = current_;
        const int64_t ay = a.y * sign_, cy = c.y * sign_;
        const int64_t e1 = precision_.Ceil(ay), e2 = precision_.Floor(cy);
        if (e1 > e2) return;
        const FinePoint ta{a.x, ay}, tc{c.x, cy};
        if (arc)
            Arc(ta, FinePoint{b.x, b.y * sign_}, tc, e1, e2);
        else
            Line(ta, tc, e1, e2);
    }

    int64_t LineOf(int64_t e) const { return e * sign_; }
    // The lines inside the bitmap, numbered in the direction of travel.
    int64_t TravelFirst() const { return sign_ > 0 ? first_ : -last_; }
    int64_t TravelLast() const { return sign_ > 0 ? last_ : -first_; }

    // Room for n more crossings; false (and the overflow noted) when the
    // buffer cannot grow that far.
    bool Reserve(size_t n) {
        if (s_.positionCount + n <= s_.positions.size()) return true;
        while (s_.positionCount + n > s_.positions.size()) {
            if (!GrowCrossings()) {
                pS_->OverFlow = 1;
                return false;
            }
        }
        return true;
    }

    // The buffer is kept from glyph to glyph and doubled when full, up to
    // kMaxCrossings.
    bool GrowCrossings() {
        const size_t size = s_.positions.size();
        if (size >= kMaxCrossings) return false;
        s_.positions.resize(std::min(kMaxCrossings, std::max<size_t>(1024, 2 * size)));
        return true;
    }

    // The lines (travel numbers) from .. to, already known to lie inside
    // the bitmap, now crossed by the current profile.
    void Crossed(int64_t from, int64_t to) {
        Profile &profile = s_.profiles.back();
        const int64_t lo = std::min(LineOf(from), LineOf(to)), hi = std::max(LineOf(from), LineOf(to));
        profile.lowLine = profile.count == 0 ? lo : std::min(profile.lowLine, lo);
        profile.highLine = profile.count == 0 ? hi : std::max(profile.highLine, hi);
        profile.count += int32_t(to - from + 1);
        lastLine_ = LineOf(to);
        lastIndex_ = s_.positionCount - 1;
    }

    // Stores the current profile's crossing of the next travel line; room
    // was reserved.
    void Put(int64_t at) { s_.positions[s_.positionCount++] = at; }

    void Add(int64_t e, int64_t at) {
        const int64_t line = LineOf(e);
        if (line < first_ || line > last_ || !Reserve(1)) return;
        Put(at);
        Crossed(e, e);
    }

    // A piece starting exactly on line e: where the piece before it in the
    // run ended there too, its crossing gives way to this one.
    void AddAtStart(int64_t e, int64_t at) {
        if (LineOf(e) == lastLine_)
            s_.positions[lastIndex_] = at;
        else
            Add(e, at);
    }

    // The first crossing is interpolated and rounded; the ones after it add
    // whole steps to it, truncated (kept exact by carrying the remainder).
    void Line(const FinePoint &a, const FinePoint &c, int64_t e1, int64_t e2) {
        const int64_t P = precision_.pixel;
        const int64_t dx = c.x - a.x, dy = c.y - a.y;
        const int64_t x1 = a.x + (a.y == e1 * P ? 0 : MulDivRounded(dx, e1 * P - a.y, dy));
        if (a.y == e1 * P)
            AddAtStart(e1, x1);
        else
            Add(e1, x1);
        const int64_t from = std::max(e1 + 1, TravelFirst()), to = std::min(e2, TravelLast());
        if (from > to) return;
        if (!Reserve(size_t(to - from + 1))) return;
        const int64_t sign = dx < 0 ? -1 : 1, run = P * (dx < 0 ? -dx : dx);
        const int64_t whole = run / dy, rest = run % dy;
        const int64_t k0 = from - e1;  // steps already taken at the first line inside
        int64_t x = x1 + sign * (k0 * whole + (k0 * rest) / dy);
        int64_t carry = (k0 * rest) % dy - dy;
        for (int64_t e = from; e <= to; ++e) {
            Put(x);
            x += sign * whole;
            carry += rest;
            if (carry >= 0) {
                carry -= dy;
                x += sign;
            }
        }
        Crossed(from, to);
    }

    // The arc is halved around each line until the piece there is no
    // taller than a step, and crossed where that piece's chord crosses it.
    void Arc(const FinePoint &a, const FinePoint &b, const FinePoint &c, int64_t e1, int64_t e2) {
        const int64_t P = precision_.pixel;
        int64_t e = e1;
        if (a.y == e1 * P) AddAtStart(e++, a.x);
        e = std::max(e, TravelFirst());
        const int64_t to = std::min(e2, TravelLast());
        if (e > to || !Reserve(size_t(to - e + 1))) return;
        const int64_t from = e;
        // The part around the line is kept at hand; the upper halves split
        // off it wait on a stack, lowest on top.
        struct Part {
            FinePoint a, b, c;
        };
        Part waiting[kMaxSplits + 1];
        int pending = 0;
        Part part{a, b, c};
        int64_t y = e * P;
        while (e <= to) {
            if (part.c.y <= y) {  // wholly below the line, or ending on it
                if (part.c.y == y) Put(part.c.x), ++e, y += P;
                if (pending == 0) break;
                part = waiting[--pending];
            } else if (part.c.y - part.a.y < precision_.step || pending >= kMaxSplits) {
                Put(part.a.x + (part.c.x - part.a.x) * (y - part.a.y) / (part.c.y - part.a.y));
                ++e, y += P;
            } else {
                FinePoint p, m, q;
                HalveArc(part.a, part.b, part.c, &p, &m, &q);
                const Part upper{m, q, part.c};
                if (m.y == y) {  // the halves meet on the line
                    Put(m.x), ++e, y += P;
                    part = upper;
                    continue;
                }
                // The half the line crosses goes on; the upper one waits
                // when the lower is taken.  Chosen without a branch: which
                // one it is cannot be foreseen.
                const bool lower = m.y > y;
                waiting[pending] = upper;
                pending += lower;
                part = lower ? Part{part.a, p, m} : upper;
            }
        }
        if (e > from) Crossed(from, e - 1);
    }

    ExactScanner &s_;
    Precision precision_;
    int64_t first_, last_;
    ScanInfo *pS_;
    size_t firstProfile_ = 0;
    int64_t contourStart_ = 0;  // across the lines, where the contour's first piece starts
    int current_ = 0;           // the direction of the profile being built
    uint8_t mode_ = 0;          // the dropout mode of the contour being cut
    int sign_ = 1;
    int64_t lastLine_ = INT64_MIN;
    size_t lastIndex_ = 0;
};

// Cuts one contour into pieces that keep going one way across the lines and
// hands them to the builder; flat pieces cross no line and are left out.
class PieceCutter {
public:
    explicit PieceCutter(ProfileBuilder &out) : out_(out) {}

    void Edge(const FinePoint &a, const FinePoint &c) {
        const int d = Direction(a.y, c.y);
        if (d != 0) out_.Piece(a, a, c, false, d);
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
        if (d != 0) out_.Piece(a, b, c, monotonic, d);
    }

private:
    ProfileBuilder &out_;
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

}  // namespace

void RecordCrossings(ExactScanner &s, ScanInfo *pS, Sweep sweep, const Precision &precision,
                     int64_t first, int64_t last, uint8_t *mode) {
    ProfileBuilder builder(s, precision, first, last, pS);
    PieceCutter cutter(builder);
    uint32_t begin = 0;
    for (size_t k = 0; k < s.contourEnds.size(); ++k) {
        if (k < s.contourMarks.size() && s.contourMarks[k] != kNoMark) *mode = s.contourMarks[k];
        builder.BeginContour(*mode);
        const uint32_t end = s.contourEnds[k];
        CutContour(s, begin, end, sweep, &cutter);
        builder.EndContour();
        begin = end;
    }
    if (s.trailingMark != kNoMark) *mode = s.trailingMark;
    builder.LinkAcrossContours();
}

// ---------------------------------------------------------- line by line

CrossingsByLine::CrossingsByLine(ExactScanner &s, int64_t first, int64_t last,
                                 int64_t firstCentre)
    : s_(s), first_(first), last_(last), firstCentre_(firstCentre), line_(first) {
    s_.starting.assign(size_t(last - first + 1), -1);
    // Every profile that crosses a line at most once on each: room for all.
    if (s_.active.size() < s_.profiles.size()) s_.active.resize(s_.profiles.size());
    for (size_t p = s_.profiles.size(); p-- > 0;) {
        Profile &profile = s_.profiles[p];
        if (profile.count == 0) continue;
        int32_t &head = s_.starting[size_t(profile.lowLine - first)];
        profile.nextStarting = head;
        head = int32_t(p);
    }
}

// A profile's crossings lie one per line, in travel order from
// Profile::first: a profile going down is walked backwards.
bool CrossingsByLine::Next(int64_t *line) {
    Crossing *const active = s_.active.data();
    const int64_t *positions = s_.positions.data();
    size_t kept = 0, low = 0;  // low: the carried ones that lay at or before the first centre
    for (size_t i = 0; i < activeCount_; ++i) {
        const Crossing &c = active[i];
        if (c.left == 0) continue;
        low += c.at <= firstCentre_;
        const uint32_t at = c.cursor;
        active[kept++] = Crossing{positions[at], c.profile, c.winding, c.mode,
                                  uint32_t(int64_t(at) + c.winding), c.left - 1};
    }
    activeCount_ = kept;
    if (kept == 0)
        while (line_ <= last_ && s_.starting[size_t(line_ - first_)] < 0) ++line_;
    if (line_ > last_) return false;
    size_t starting = 0;
    for (int32_t index = s_.starting[size_t(line_ - first_)]; index >= 0;) {
        index = s_.profiles[size_t(index)].nextStarting;
        ++starting;
    }
    if (starting > 0) {
        std::copy_backward(active + low, active + kept, active + kept + starting);
        Crossing *to = active + low;
        for (int32_t index = s_.starting[size_t(line_ - first_)]; index >= 0;) {
            const Profile &p = s_.profiles[size_t(index)];
            const int16_t winding = p.ascending ? 1 : -1;
            const uint32_t at = p.ascending ? p.first : p.first + uint32_t(p.count) - 1;
            *to++ = Crossing{positions[at], index, winding, p.mode,
                             uint32_t(int64_t(at) + winding), uint32_t(p.count) - 1};
            index = p.nextStarting;
        }
        activeCount_ += starting;
    }
    // Insertion, moving a crossing only past larger positions: the order of
    // the line before is almost always right.
    for (size_t i = 1; i < activeCount_; ++i) {
        if (!(active[i].at < active[i - 1].at)) continue;
        const Crossing c = active[i];
        size_t j = i;
        for (; j > 0 && c.at < active[j - 1].at; --j) active[j] = active[j - 1];
        active[j] = c;
    }
    *line = line_++;
    return true;
}

}  // namespace exact

}  // namespace kelmor
