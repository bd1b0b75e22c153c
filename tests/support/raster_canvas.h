// A scan buffer and glyph bitmap sized for a pixel box, for driving the
// outline converter and scan converter directly.
#ifndef KELMOR_TESTS_RASTER_CANVAS_H
#define KELMOR_TESTS_RASTER_CANVAS_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ttf/raster/scbitmap.h"
#include "ttf/raster/scexact.h"
#include "ttf/raster/scscan.h"

namespace kelmor_test {

// A point in 26.6 units.
using Pt = std::pair<int32_t, int32_t>;

// Whole pixels to 26.6.
constexpr int32_t Px(double pixels) { return int32_t(pixels * 64); }

class Canvas {
public:
    // The font box in whole pixels, as sizing a font would set it.
    Canvas(int xMinMult, int yMinMult, int xMaxMult, int yMaxMult);
    ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    kelmor::ScanInfo S{};
    kelmor::_GlyphBitMap BM{};

    // Closed polygon: a move to the first point, then edges back to it.
    void Polygon(const std::vector<Pt> &points);
    void Fill() { kelmor::MakeBitMap(&S, &BM); }

    // The crossings recorded in one buffer row, in slot order.
    std::vector<int32_t> Row(uint32_t row) const;
    // The whole buffer as sorted (x, upward) crossings per row.
    std::vector<std::vector<std::pair<int64_t, bool>>> SortedCrossings() const;
    // The bitmap from top to bottom, '#' for ink and '.' for background.
    std::vector<std::string> Picture() const;
    bool Ink(int column, int rowFromBottom) const;
};

// An outline point in 26.6 units, on the curve or an arc's control point.
struct OutlinePt {
    int32_t x, y;
    bool on = true;
};

// The faithful mode's scan converter on its own: an outline scanned into a
// bitmap sized to it, with a given dropout control and size.
class ExactCanvas {
public:
    ExactCanvas() = default;
    ~ExactCanvas();
    ExactCanvas(const ExactCanvas &) = delete;
    ExactCanvas &operator=(const ExactCanvas &) = delete;

    kelmor::ScanInfo S{};
    kelmor::_GlyphBitMap BM{};

    // Clears the bitmap (as a new glyph does) and scans the contours.
    void Scan(const std::vector<std::vector<OutlinePt>> &contours, uint8_t dropout, int ppem = 16);
    // The pixels of columns left .. right - 1 and rows top - 1 down to
    // bottom (counted from the origin), '#' for ink.
    std::vector<std::string> Picture(int left, int bottom, int right, int top) const;
};

}  // namespace kelmor_test

#endif
