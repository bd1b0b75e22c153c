// Comparing two monochrome renderings of the same glyph pixel by pixel, with
// both bitmaps placed on the glyph origin, and adding the counts up over a
// whole font.
#ifndef KELMOR_TESTS_GLYPH_AGREEMENT_H
#define KELMOR_TESTS_GLYPH_AGREEMENT_H

#include <cstdint>
#include <string>

namespace kelmor_test {

// Pixels counted over many glyphs.
struct Tally {
    long common = 0;      // ink in both
    long oursOnly = 0;    // ink only in the first bitmap
    long theirsOnly = 0;  // ink only in the reference, inside the first bitmap
    long outside = 0;     // reference ink with no place in the first bitmap
    long onBoundary = 0;  // differing pixels next to a change of ink in the reference
    long thinRows = 0;    // reference-only pixels with no reference ink above or below
    long glyphs = 0;
    long identical = 0;

    long Differing() const { return oursOnly + theirsOnly; }
    // Ink in common over ink in either.
    double Agreement() const;
    Tally &operator+=(const Tally &other);
};

// A bitmap looked up by glyph pixel: (x, y) is the pixel spanning x .. x + 1
// right of the origin and y .. y + 1 above the baseline.
struct PixelGrid {
    const unsigned char *bits;
    int pitch, width, height;
    int left, top;  // glyph pixel of the bitmap's top-left pixel
    bool inkIsZero;

    bool Inside(int x, int y) const {
        return x >= left && x < left + width && y <= top && y > top - height;
    }
    bool Ink(int x, int y) const;
    // Next to a change of ink: where two rasterizers may decide differently.
    bool OnBoundary(int x, int y) const;
    // One pixel tall: a stroke thinner than a row, which only a rasterizer
    // that also samples columns keeps.
    bool Thin(int x, int y) const { return !Ink(x, y - 1) && !Ink(x, y + 1); }
};

// The library's bitmap as GetBitmap returns it: column 0 is the glyph
// origin, the bottom row is the font box's yMinMult.
PixelGrid LibraryGrid(const unsigned char *bits, int width, int height, int yMinMult);

// One font opened through the exported functions for rendering by glyph
// number, hinted or not.
class LibraryFont {
public:
    // `faithful` renders in the faithful mode, whose bitmaps follow each
    // glyph's ink: Render then places them by GetGlyphMetrics' origin.
    LibraryFont(const std::string &path, bool hinted, bool faithful = false);
    ~LibraryFont();
    LibraryFont(const LibraryFont &) = delete;
    LibraryFont &operator=(const LibraryFont &) = delete;

    int32_t Handle() const { return handle_; }
    bool SetPixelsPerEm(int ppem);
    // The glyph's bitmap, valid until the next call; false when GetBitmap
    // returned nothing.
    bool Render(int32_t glyph, PixelGrid *grid);

private:
    int32_t handle_ = 0;
    bool faithful_ = false;
    int yMinMult_ = 0;
};

// Adds one glyph's pixels to `t`: `ours` against the reference `ref`.
void CompareGlyph(const PixelGrid &ours, const PixelGrid &ref, Tally &t);

}  // namespace kelmor_test

#endif
