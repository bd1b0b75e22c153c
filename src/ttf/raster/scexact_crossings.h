// The faithful scan converter's crossings: each contour cut into pieces and
// runs of one direction (profiles) across the pixel centre lines of one
// sweep (rows or columns), and their crossings with those lines, handed out
// line by line in order of position.  Shared by scexact.cpp alone.
#ifndef KELMOR_TTF_RASTER_SCEXACT_CROSSINGS_H
#define KELMOR_TTF_RASTER_SCEXACT_CROSSINGS_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ttf/records/ttf_records.h"

namespace kelmor {

namespace exact {

// Hinted points can be anywhere; beyond these (26.6, 262144 pixels) they
// are pinned, quadratic and cubic outlines alike, which keeps every product
// below exact in 64 bits.
constexpr int32_t kCoordLimit = int32_t(1) << 24;
inline int32_t Pinned(int32_t v) { return std::clamp(v, -kCoordLimit, kCoordLimit); }

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

inline Precision PrecisionFor(int32_t ppem) {
    if (ppem < 24) return Precision{6, 12, 4096, 256, 30};
    return Precision{0, 6, 64, 32, 2};
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
    uint8_t mode;           // the dropout mode of its contour (kDropout...)
    int64_t low, high;      // its extent across the lines
    int64_t lowLine, highLine;  // the first and last line it crosses inside the bitmap
    int32_t count;              // the lines it crosses there
    uint32_t first;  // where its crossings start in ExactScanner::positions, in travel order
    int32_t nextStarting;  // the next profile whose first line is the same, or -1
};

struct Crossing {
    int64_t at;
    int32_t profile;
    int16_t winding;  // +1 where the profile ascends, -1 where it descends
    uint8_t mode;     // the profile's dropout mode
    // While the sweep runs: where the profile's crossing of the next line
    // is kept, and how many of its crossings are left after this one.
    uint32_t cursor, left;
};

// A span between two crossings of one line that holds no centre.
struct Dropout {
    Crossing on, off;
};

// A contour whose first point carries no scan type mark.
constexpr uint8_t kNoMark = 0xFF;

}  // namespace exact

struct ExactScanner {
    std::vector<exact::PathPoint> path;
    std::vector<uint32_t> contourEnds;  // one past each contour's last point
    // Per contour of contourEnds (missing ones: kNoMark), the dropout mode
    // from there on; a mark on a contour that draws nothing is handed to the
    // next one that does, or, after the last one, kept in trailingMark.
    std::vector<uint8_t> contourMarks;
    uint8_t trailingMark = exact::kNoMark;
    std::vector<exact::Profile> profiles;
    std::vector<int64_t> positions;  // the crossings' positions; the first positionCount are in use
    size_t positionCount = 0;
    std::vector<int32_t> starting;        // per line, the first profile that starts there, or -1
    std::vector<exact::Crossing> active;  // room for one line's crossings
    std::vector<exact::Dropout> dropouts;
    std::vector<const exact::Crossing *> unpaired;  // room for one line's crossings
};

namespace exact {

// Cuts the contours of s.path into profiles across the lines first .. last
// of `sweep` and records their crossings.  Each profile takes the dropout
// mode *mode holds when its contour starts, as the contours' marks change
// it; *mode is left as the last mark set it.  Sets pS->OverFlow when a
// crossing had to be dropped.
void RecordCrossings(ExactScanner &s, ScanInfo *pS, Sweep sweep, const Precision &precision,
                     int64_t first, int64_t last, uint8_t *mode);

// The recorded crossings line by line, each line's sorted by position.
// From one line to the next the order barely changes, so each line starts
// from the one before, and equal positions keep that order, as in the
// reference rasterizer: profiles that start on a line come in the order they
// were cut, after the carried ones that lay at or before the first pixel
// centre of the line (firstCentre) and before the rest.  Which of two
// crossings at one position comes first decides which spans they bound.
class CrossingsByLine {
public:
    CrossingsByLine(ExactScanner &s, int64_t first, int64_t last, int64_t firstCentre);
    // The next line that has crossings: they are Crossings()[0 ..
    // Count()).  False when none is left.
    bool Next(int64_t *line);
    const Crossing *Crossings() const { return s_.active.data(); }
    size_t Count() const { return activeCount_; }

private:
    ExactScanner &s_;
    int64_t first_, last_;
    int64_t firstCentre_;
    int64_t line_;
    size_t activeCount_ = 0;
};

}  // namespace exact

}  // namespace kelmor

#endif
