// The coverage rasterizer.
//
// How it works, for one outline:
//   1. The bitmap is the outline's control box (every point, control points
//      included) widened to whole pixels: left and bottom edges floored,
//      right and top edges raised.  The outline is moved so that the
//      bitmap's lower left corner is the origin.
//   2. Every contour is cut into straight pieces: quadratic arcs by a
//      forward-difference walk of 2^n equal steps (n chosen from how far
//      the arc bends), cubic curves by halving until each piece lies within
//      half a pixel of its chord's thirds.  Positions are kept in 1/256
//      pixel.
//   3. Each piece leaves, in every pixel it passes through (a cell), how far
//      it climbs there (`cover`, signed by direction) and twice the area
//      between it and the cell's left edge (`area`).  Pieces are followed
//      from cell to cell exactly, with one division per crossing done as a
//      multiplication by a reciprocal, so that the figures are the same on
//      every machine.
//   4. Each row is then swept from left to right: the climbs of the cells
//      passed so far say how much of a full pixel is inside (the winding);
//      a cell's own area takes off the part left of its pieces.  The sum is
//      scaled to 0..256, its sign dropped (non-zero rule) and 256 and above
//      kept at 255.
// This is the arithmetic FreeType's smooth renderer does, so that the two
// give the same levels for the same outline.  Cells are held densely, one
// per pixel plus one column left of the bitmap; a bitmap taller than the
// cell budget is swept in bands, the outline walked once per band.
#include "ttf/raster/scgray.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#include "ttf/raster/contour_walk.h"

namespace kelmor {

namespace {

// Positions in 1/256 pixel; 26.6 points are multiplied by four.
constexpr int kPixelBits = 8;
constexpr int64_t kOnePixel = int64_t(1) << kPixelBits;
constexpr int64_t kUpscale = kOnePixel / 64;
// A bitmap reaches at most this many pixels from the origin each way.
constexpr int32_t kBoxLimit = 2048;
// Hinted or hostile points are pinned a pixel beyond it (26.6): what lies
// further is clipped anyway, and no piece is longer than the bitmap is
// wide, which bounds the walk and keeps every product inside 64 bits.
constexpr int32_t kCoordLimit = (kBoxLimit + 1) * 64;
// Cells held at once (8 bytes each): 512 KiB.  A bitmap with more pixels
// than this is swept in bands of rows.
constexpr size_t kMaxCells = size_t(1) << 16;
// Above these the buffers of one large glyph are given back after it.
constexpr size_t kKeptCells = size_t(1) << 13;
constexpr size_t kKeptPixels = size_t(1) << 14;
// Halvings of one cubic curve; a deeper piece is drawn as its chord.
constexpr int kMaxCubicDepth = 16;

struct Cell {
    int32_t cover;  // climb across the cell, 1/256 pixel, up positive
    int32_t area;   // twice the area left of the pieces, 1/256 pixel squared
};

int32_t Pinned(int32_t v) { return std::clamp(v, -kCoordLimit, kCoordLimit); }
int32_t PixelOf(int64_t v) { return int32_t(v >> kPixelBits); }
int32_t FractionOf(int64_t v) { return int32_t(v & (kOnePixel - 1)); }
// Sums that a hostile outline could push past 32 bits wrap instead.
int32_t Wrapped(int64_t v) { return int32_t(uint32_t(uint64_t(v))); }

// Floor and ceiling of a 26.6 value in whole pixels.
int32_t FloorPixel(int32_t v) { return v >> 6; }
int32_t CeilPixel(int32_t v) { return (v + 63) >> 6; }

}  // namespace

struct GrayScanner {
    std::vector<uint8_t> pixels;  // the grey bitmap, top row first
    std::vector<Cell> cells;      // one band: rows of width + 1 cells
    std::vector<uint8_t> packed;  // the levels at fewer bits, for hosts
    int32_t width = 0, rows = 0, left = 0, top = 0;
};

namespace {

// A glyph's extent in whole pixels: its bitmap.
struct PixelBox {
    int32_t left = 0, bottom = 0, right = 0, top = 0;
    bool Empty() const { return right <= left || top <= bottom; }
};

// The control box of the points, widened to whole pixels, within reach.
PixelBox BoxOfExtent(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax) {
    PixelBox b;
    if (xMin > xMax) return b;
    b.left = std::max(FloorPixel(xMin), -kBoxLimit);
    b.bottom = std::max(FloorPixel(yMin), -kBoxLimit);
    b.right = std::min(CeilPixel(xMax), kBoxLimit);
    b.top = std::min(CeilPixel(yMax), kBoxLimit);
    return b;
}

// ------------------------------------------------------------- the cells

// The cells of one band of rows and the walk of the outline's pieces
// through them.  Pieces (and parts of pieces) outside the band, and cells
// right of the bitmap, go to a dumpster cell; cells left of it gather in
// the band's first column, which only passes its climb on.
class CellWalker {
public:
    CellWalker(Cell *cells, int32_t width, int32_t bandBottom, int32_t bandTop)
        : cells_(cells), width_(width), stride_(width + 1), bandBottom_(bandBottom),
          bandTop_(bandTop) {}

    void MoveTo(int64_t x, int64_t y) {
        SetCell(PixelOf(x), PixelOf(y));
        x_ = x, y_ = y;
    }
    void LineTo(int64_t x, int64_t y);
    void ConicTo(int64_t cx, int64_t cy, int64_t x, int64_t y);
    void CubicTo(int64_t c1x, int64_t c1y, int64_t c2x, int64_t c2y, int64_t x, int64_t y);

private:
    bool OutsideBand(int32_t ey) const { return ey < bandBottom_ || ey >= bandTop_; }
    bool AllAbove(std::initializer_list<int64_t> ys) const {
        for (int64_t y : ys)
            if (PixelOf(y) < bandTop_) return false;
        return true;
    }
    bool AllBelow(std::initializer_list<int64_t> ys) const {
        for (int64_t y : ys)
            if (PixelOf(y) >= bandBottom_) return false;
        return true;
    }
    void SetCell(int32_t ex, int32_t ey) {
        if (OutsideBand(ey) || ex >= width_) {
            cell_ = &dumpster_;
            return;
        }
        cell_ = &cells_[size_t(ey - bandBottom_) * size_t(stride_) + size_t(std::max(ex, -1) + 1)];
    }
    // The piece climbs `dy` in the current cell at a mean of `twiceX` / 2
    // from its left edge.
    void Add(int32_t dy, int32_t twiceX) {
        cell_->cover = Wrapped(int64_t(cell_->cover) + dy);
        cell_->area = Wrapped(int64_t(cell_->area) + int64_t(dy) * twiceX);
    }
    // A piece that has left the band going up or down, or the bitmap going
    // right, leaves nothing more in it: the rest of its walk is skipped.
    bool GoneFromBand(int32_t ex, int32_t ey, int64_t dx, int64_t dy) const {
        return (dy > 0 && ey >= bandTop_) || (dy < 0 && ey < bandBottom_) || (dx > 0 && ex >= width_);
    }
    void Vertical(int32_t ex, int32_t ey1, int32_t ey2, int32_t fx, int32_t fy1, bool up);
    void Slanted(int64_t dx, int64_t dy, int32_t ex1, int32_t ey1, int32_t ex2, int32_t ey2,
                 int32_t *fx1, int32_t *fy1);

    Cell *cells_;
    int32_t width_, stride_, bandBottom_, bandTop_;
    Cell dumpster_{0, 0};
    Cell *cell_ = &dumpster_;
    int64_t x_ = 0, y_ = 0;  // the pen, 1/256 pixel
};

// Division by a fixed divisor as a multiplication: num / d for 0 <= num
// and a result below a pixel, to the precision the cell arithmetic needs.
class Reciprocal {
public:
    explicit Reciprocal(int64_t d) : r_(d != 0 ? uint64_t(0xFFFFFFFF) / uint64_t(d < 0 ? -d : d) : 0) {}
    int32_t Of(int64_t num) const { return int32_t((uint64_t(num) * r_) >> 32); }

private:
    uint64_t r_;
};

void CellWalker::Vertical(int32_t ex, int32_t ey1, int32_t ey2, int32_t fx, int32_t fy1, bool up) {
    const int32_t twiceX = fx * 2;
    do {
        Add((up ? int32_t(kOnePixel) : 0) - fy1, twiceX);
        fy1 = up ? 0 : int32_t(kOnePixel);
        ey1 += up ? 1 : -1;
        SetCell(ex, ey1);
    } while (ey1 != ey2 && !GoneFromBand(ex, ey1, 0, up ? 1 : -1));
}

// A piece that crosses cells both ways.  `prod` tells on which side the
// piece leaves the current cell: it is dx * fy - dy * fx for the entry
// point (fx, fy) in the cell, and moves by a pixel's worth of dx or dy with
// each crossing.
void CellWalker::Slanted(int64_t dx, int64_t dy, int32_t ex1, int32_t ey1, int32_t ex2,
                         int32_t ey2, int32_t *pfx1, int32_t *pfy1) {
    int32_t fx1 = *pfx1, fy1 = *pfy1;
    int64_t prod = dx * fy1 - dy * fx1;
    const Reciprocal byDx(ex1 != ex2 ? dx : 0), byDy(ey1 != ey2 ? dy : 0);
    const int64_t dxPixel = dx * kOnePixel, dyPixel = dy * kOnePixel;
    const int32_t one = int32_t(kOnePixel);
    do {
        int32_t fx2, fy2;
        if (prod - dxPixel > 0 && prod <= 0) {  // leaves through the left edge
            fx2 = 0;
            fy2 = byDx.Of(-prod);
            prod -= dyPixel;
            Add(fy2 - fy1, fx1 + fx2);
            fx1 = one, fy1 = fy2;
            --ex1;
        } else if (prod - dxPixel + dyPixel > 0 && prod - dxPixel <= 0) {  // the top
            prod -= dxPixel;
            fx2 = byDy.Of(-prod);
            fy2 = one;
            Add(fy2 - fy1, fx1 + fx2);
            fx1 = fx2, fy1 = 0;
            ++ey1;
        } else if (prod + dyPixel >= 0 && prod - dxPixel + dyPixel <= 0) {  // the right
            prod += dyPixel;
            fx2 = one;
            fy2 = byDx.Of(prod);
            Add(fy2 - fy1, fx1 + fx2);
            fx1 = 0, fy1 = fy2;
            ++ex1;
        } else {  // the bottom
            fx2 = byDy.Of(prod);
            fy2 = 0;
            prod += dxPixel;
            Add(fy2 - fy1, fx1 + fx2);
            fx1 = fx2, fy1 = one;
            --ey1;
        }
        SetCell(ex1, ey1);
    } while ((ex1 != ex2 || ey1 != ey2) && !GoneFromBand(ex1, ey1, dx, dy));
    *pfx1 = fx1, *pfy1 = fy1;
}

void CellWalker::LineTo(int64_t toX, int64_t toY) {
    int32_t ey1 = PixelOf(y_);
    const int32_t ey2 = PixelOf(toY);
    // A piece wholly above or below the band leaves nothing in it.
    const bool skipped = (ey1 >= bandTop_ && ey2 >= bandTop_) || (ey1 < bandBottom_ && ey2 < bandBottom_);
    if (!skipped) {
        const int32_t ex1 = PixelOf(x_), ex2 = PixelOf(toX);
        int32_t fx1 = FractionOf(x_), fy1 = FractionOf(y_);
        const int64_t dx = toX - x_, dy = toY - y_;
        bool done = false;
        if (ex1 == ex2 && ey1 == ey2) {
            // inside one cell
        } else if (dy == 0) {
            // level: climbs nothing, but the pen's cell moves
            SetCell(ex2, ey2);
            done = true;
        } else if (dx == 0) {
            Vertical(ex1, ey1, ey2, fx1, fy1, dy > 0);
            fy1 = dy > 0 ? 0 : int32_t(kOnePixel);
            ey1 = ey2;
        } else {
            Slanted(dx, dy, ex1, ey1, ex2, ey2, &fx1, &fy1);
        }
        if (!done) {
            const int32_t fx2 = FractionOf(toX), fy2 = FractionOf(toY);
            Add(fy2 - fy1, fx1 + fx2);
        }
    }
    x_ = toX, y_ = toY;
}

// A quadratic arc from the pen through (cx, cy) to (x, y): 2^n straight
// steps of equal parameter, n the number of times the arc's bend (the
// second difference) must be quartered to come within a quarter pixel.
// The steps are taken with forward differences scaled by 2^32.
void CellWalker::ConicTo(int64_t cx, int64_t cy, int64_t x, int64_t y) {
    if (AllAbove({y_, cy, y}) || AllBelow({y_, cy, y})) {
        x_ = x, y_ = y;  // outside the band: the pen moves, nothing is left
        return;
    }
    const int64_t bx = cx - x_, by = cy - y_;
    const int64_t ax = x - cx - bx, ay = y - cy - by;
    int64_t bend = std::max(std::llabs(ax), std::llabs(ay));
    if (bend <= kOnePixel / 4) {
        LineTo(x, y);
        return;
    }
    int shift = 0;
    do {
        bend >>= 2;
        ++shift;
    } while (bend > kOnePixel / 4);
    // Unsigned arithmetic: the sums are meant to wrap as two's complement.
    const auto scaled = [](int64_t v, int bits) { return uint64_t(v) << bits; };
    const uint64_t rx = scaled(ax, 33 - 2 * shift), ry = scaled(ay, 33 - 2 * shift);
    uint64_t qx = scaled(bx, 33 - shift) + scaled(ax, 32 - 2 * shift);
    uint64_t qy = scaled(by, 33 - shift) + scaled(ay, 32 - 2 * shift);
    uint64_t px = scaled(x_, 32), py = scaled(y_, 32);
    for (uint32_t count = uint32_t(1) << shift; count > 0; --count) {
        px += qx, py += qy;
        qx += rx, qy += ry;
        LineTo(int64_t(px) >> 32, int64_t(py) >> 32);
    }
}

// A cubic curve from the pen: halved (sums floored) until both control
// points lie within half a pixel of the chord's thirds, each piece then
// drawn as its chord.  The pieces wait on a stack, last point first.
void CellWalker::CubicTo(int64_t c1x, int64_t c1y, int64_t c2x, int64_t c2y, int64_t x, int64_t y) {
    if (AllAbove({y_, c1y, c2y, y}) || AllBelow({y_, c1y, c2y, y})) {
        x_ = x, y_ = y;
        return;
    }
    struct P {
        int64_t x, y;
    };
    P stack[kMaxCubicDepth * 3 + 4];
    P *arc = stack;
    arc[0] = {x, y}, arc[1] = {c2x, c2y}, arc[2] = {c1x, c1y}, arc[3] = {x_, y_};
    const int64_t half = kOnePixel / 2;
    const auto flat = [half](const P *a) {
        return std::llabs(2 * a[0].x - 3 * a[1].x + a[3].x) <= half &&
               std::llabs(2 * a[0].y - 3 * a[1].y + a[3].y) <= half &&
               std::llabs(a[0].x - 3 * a[2].x + 2 * a[3].x) <= half &&
               std::llabs(a[0].y - 3 * a[2].y + 2 * a[3].y) <= half;
    };
    const auto split = [](P *a) {
        a[6] = a[3];
        for (int64_t P::*c : {&P::x, &P::y}) {
            int64_t s01 = a[0].*c + a[1].*c;
            const int64_t s12 = a[1].*c + a[2].*c;
            int64_t s23 = a[2].*c + a[3].*c;
            a[5].*c = s23 >> 1;
            s23 += s12;
            a[4].*c = s23 >> 2;
            a[1].*c = s01 >> 1;
            s01 += s12;
            a[2].*c = s01 >> 2;
            a[3].*c = (s01 + s23) >> 3;
        }
    };
    for (;;) {
        if (!flat(arc) && arc < stack + kMaxCubicDepth * 3) {
            split(arc);
            arc += 3;
            continue;
        }
        LineTo(arc[0].x, arc[0].y);
        if (arc == stack) return;
        arc -= 3;
    }
}

// ------------------------------------------------------------- the outline

// Hands a quadratic outline, in 26.6 from the bitmap's lower left corner,
// to the walker.  Implied on-curve points are halved in these coordinates,
// towards zero.
class QuadraticSink {
public:
    struct Point {
        int64_t x, y;
    };

    QuadraticSink(CellWalker &walker, const PixelBox &box)
        : walker_(walker), originX_(int64_t(box.left) * 64), originY_(int64_t(box.bottom) * 64) {}

    Point From(const longpointtype &p) const {
        return Point{Pinned(p.x) - originX_, Pinned(p.y) - originY_};
    }
    Point Mid(const Point &a, const Point &b) const { return Point{(a.x + b.x) / 2, (a.y + b.y) / 2}; }
    void MoveTo(const Point &p) { walker_.MoveTo(p.x * kUpscale, p.y * kUpscale); }
    void LineTo(const Point &p) { walker_.LineTo(p.x * kUpscale, p.y * kUpscale); }
    void CurveTo(const Point arc[3]) {
        walker_.ConicTo(arc[1].x * kUpscale, arc[1].y * kUpscale, arc[2].x * kUpscale, arc[2].y * kUpscale);
    }
    void ClosedBackToFirstPoint() {}  // where a contour starts changes no cell

private:
    CellWalker &walker_;
    int64_t originX_, originY_;
};

// The cubic outline's contours, each closed back to its first point.
void WalkCubicOutline(const CubicOutline &outline, const PixelBox &box, CellWalker &walker) {
    const int64_t originX = int64_t(box.left) * 64, originY = int64_t(box.bottom) * 64;
    const auto x = [&](int32_t i) { return (Pinned(outline.Points[i].x) - originX) * kUpscale; };
    const auto y = [&](int32_t i) { return (Pinned(outline.Points[i].y) - originY) * kUpscale; };
    int32_t begin = 0;
    for (int32_t k = 0; k < outline.NumContours; ++k) {
        const int32_t end = std::min(outline.ContourEnds[k], outline.NumPoints);
        if (end - begin >= 1) {
            walker.MoveTo(x(begin), y(begin));
            for (int32_t i = begin + 1; i < end; ++i) {
                if (outline.Kinds[i] == kCubicControl && i + 2 < end && outline.Kinds[i + 1] == kCubicControl) {
                    walker.CubicTo(x(i), y(i), x(i + 1), y(i + 1), x(i + 2), y(i + 2));
                    i += 2;
                } else {
                    walker.LineTo(x(i), y(i));
                }
            }
            walker.LineTo(x(begin), y(begin));
        }
        begin = std::max(begin, end);
    }
}

// ------------------------------------------------------------- the sweep

// The level of a pixel from its accumulated doubled area: scaled to
// 0..256, the sign dropped (either winding is inside), 256 and above kept
// at 255.
uint8_t Level(int64_t area) {
    int32_t coverage = int32_t(area >> (kPixelBits * 2 + 1 - 8));
    if (coverage < 0) coverage = ~coverage;
    return uint8_t(coverage > 255 ? 255 : coverage);
}

// Turns one band's cells into rows of levels and clears them.
void SweepBand(GrayScanner &g, int32_t bandBottom, int32_t bandTop) {
    const size_t stride = size_t(g.width) + 1;
    for (int32_t ey = bandBottom; ey < bandTop; ++ey) {
        Cell *cell = &g.cells[size_t(ey - bandBottom) * stride];
        uint8_t *row = &g.pixels[size_t(g.rows - 1 - ey) * size_t(g.width)];
        int64_t cover = int64_t(cell->cover) * (kOnePixel * 2);  // left of the bitmap
        *cell = Cell{0, 0};
        for (int32_t x = 0; x < g.width; ++x) {
            Cell &c = cell[x + 1];
            cover += int64_t(c.cover) * (kOnePixel * 2);
            row[x] = Level(cover - c.area);
            c = Cell{0, 0};
        }
    }
}

// Sizes the bitmap to `box`; false when memory runs out.
bool FitBitmap(GrayScanner &g, const PixelBox &box) {
    g.width = box.right - box.left;
    g.rows = box.top - box.bottom;
    g.left = box.left;
    g.top = box.top;
    const size_t pixels = size_t(g.width) * size_t(g.rows);
    const size_t bandRows = std::max<size_t>(1, std::min<size_t>(size_t(g.rows), kMaxCells / (size_t(g.width) + 1)));
    try {
        if (g.pixels.size() > kKeptPixels && pixels <= kKeptPixels) std::vector<uint8_t>().swap(g.pixels);
        if (g.cells.size() > kKeptCells) std::vector<Cell>().swap(g.cells);
        if (g.packed.size() > kKeptPixels) std::vector<uint8_t>().swap(g.packed);
        g.pixels.assign(pixels, 0);
        g.cells.assign(bandRows * (size_t(g.width) + 1), Cell{0, 0});
    } catch (const std::bad_alloc &) {
        ClearGrayGlyph(&g);
        return false;
    }
    return true;
}

// Walks the outline once per band of rows and sweeps each band.
template <class Walk>
bool ScanInBands(GrayScanner &g, const PixelBox &box, Walk walk) {
    ClearGrayGlyph(&g);
    if (box.Empty()) return true;
    if (!FitBitmap(g, box)) return false;
    const int32_t bandRows = int32_t(g.cells.size() / (size_t(g.width) + 1));
    for (int32_t bottom = 0; bottom < g.rows; bottom += bandRows) {
        const int32_t top = std::min(g.rows, bottom + bandRows);
        CellWalker walker(g.cells.data(), g.width, bottom, top);
        walk(walker);
        SweepBand(g, bottom, top);
    }
    return true;
}

// The extent of the points 0 .. the largest contour end, pinned.
template <class PointAt>
PixelBox BoxOfPoints(int32_t count, PointAt at) {
    int32_t xMin = INT32_MAX, yMin = INT32_MAX, xMax = INT32_MIN, yMax = INT32_MIN;
    for (int32_t i = 0; i < count; ++i) {
        const longpointtype &p = at(i);
        const int32_t x = Pinned(p.x), y = Pinned(p.y);
        xMin = std::min(xMin, x), xMax = std::max(xMax, x);
        yMin = std::min(yMin, y), yMax = std::max(yMax, y);
    }
    return BoxOfExtent(xMin, yMin, xMax, yMax);
}

}  // namespace

GrayScanner *GrayScannerOf(GrayScanner **slot) {
    if (*slot == nullptr) *slot = new (std::nothrow) GrayScanner();
    return *slot;
}

void FreeGrayScanner(GrayScanner **slot) {
    delete *slot;
    *slot = nullptr;
}

size_t GrayScannerBytes(const GrayScanner *g) {
    if (g == nullptr) return 0;
    return sizeof *g + g->pixels.capacity() + g->packed.capacity() + g->cells.capacity() * sizeof(Cell);
}

void ClearGrayGlyph(GrayScanner *g) { g->width = g->rows = g->left = g->top = 0; }

GrayGlyph GrayGlyphOf(const GrayScanner &g) {
    return GrayGlyph{g.width > 0 ? g.pixels.data() : nullptr, g.width, g.rows, g.left, g.top};
}

const uint8_t *PackedGrayLevels(GrayScanner *g, int bitsPerPixel, int32_t *rowBytes) {
    if (bitsPerPixel != 1 && bitsPerPixel != 2 && bitsPerPixel != 4 && bitsPerPixel != 8) return nullptr;
    if (g->width <= 0 || g->rows <= 0) return nullptr;
    *rowBytes = int32_t((int64_t(g->width) * bitsPerPixel + 7) / 8);
    if (bitsPerPixel == 8) return g->pixels.data();
    try {
        g->packed.assign(size_t(*rowBytes) * size_t(g->rows), 0);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
    const int perByte = 8 / bitsPerPixel;
    for (int32_t y = 0; y < g->rows; ++y) {
        const uint8_t *levels = &g->pixels[size_t(y) * size_t(g->width)];
        uint8_t *out = &g->packed[size_t(y) * size_t(*rowBytes)];
        for (int32_t x = 0; x < g->width; ++x) {
            const int shift = 8 - bitsPerPixel * (x % perByte + 1);
            out[x / perByte] = uint8_t(out[x / perByte] | (ReducedLevel(levels[x], bitsPerPixel) << shift));
        }
    }
    return g->packed.data();
}

bool ScanOutlineGray(GrayScanner *g, unsigned NumContours, const int16_t *lpEndPoints,
                     TTFCoord *lpStart) {
    int32_t points = 0;
    for (unsigned k = 0; k < NumContours; ++k) points = std::max<int32_t>(points, lpEndPoints[k] + 1);
    const PixelBox box = BoxOfPoints(points, [&](int32_t i) -> const longpointtype & { return lpStart[i].Cur; });
    return ScanInBands(*g, box, [&](CellWalker &walker) {
        QuadraticSink sink(walker, box);
        WalkOutline(NumContours, lpEndPoints, lpStart, sink);
    });
}

bool ScanCubicOutlineGray(GrayScanner *g, const CubicOutline &outline) {
    const int32_t points =
        outline.NumContours > 0 ? std::min(outline.NumPoints, outline.ContourEnds[outline.NumContours - 1]) : 0;
    const PixelBox box = BoxOfPoints(points, [&](int32_t i) -> const longpointtype & { return outline.Points[i]; });
    return ScanInBands(*g, box, [&](CellWalker &walker) { WalkCubicOutline(outline, box, walker); });
}

}  // namespace kelmor
