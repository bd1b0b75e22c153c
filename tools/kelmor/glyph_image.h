// A line of rendered glyphs as a plain ink mask, and its terminal picture.
#ifndef KELMOR_TOOL_GLYPH_IMAGE_H
#define KELMOR_TOOL_GLYPH_IMAGE_H

#include <cstdint>
#include <string>
#include <vector>

#include "kelmor.h"

namespace kelmor {

// One pixel per byte, rows top to bottom: how much ink, from 0 (background)
// to `fullInk` (1 for one-bit glyphs, 255 for grey levels).
struct InkImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;
    uint8_t fullInk = 1;

    uint8_t Level(int x, int y) const { return ink[size_t(y) * size_t(width) + size_t(x)]; }
    // Ink for one-bit pictures: at least half of full ink.
    bool At(int x, int y) const { return 2 * Level(x, y) >= fullInk && Level(x, y) != 0; }
};

// Copies levels as GetGrayBitmap returns them at 8 bits per pixel.
InkImage FromGrayLevels(const unsigned char *levels, int width, int height);

// Unpacks a bitmap as GetBitmap returns it: rows padded to 16 bits, most
// significant bit leftmost, ink as 0 bits.
InkImage FromLibraryBitmap(const unsigned char *bits, int width, int height);

// A rendered glyph with what GetGlyphMetrics said about it.
struct PlacedGlyph {
    InkImage image;
    KelmorGlyphMetrics metrics;
};

// Gives every glyph the same frame: `ascent` rows above the baseline and
// `descent` below it (more when a glyph's bitmap reaches further), with its
// metrics moved to match.  Bitmaps that follow each glyph's ink (the
// faithful mode's) can then be set in a line like the font-box bitmaps of
// the classic rendering, which already share one frame.
void PutOnCommonBaseline(std::vector<PlacedGlyph> *glyphs, int ascent, int descent);

// Glyphs set one after another by their advances, the way a host lays out a
// line: each glyph's origin goes to the pen, which then moves on by the
// glyph's advance (right for horizontal text, down for vertical text, where
// the bitmap's top goes to the pen).  Ink that reaches past the next pen
// position overlaps the next glyph; the image grows to hold all ink.
InkImage LayOutGlyphs(const std::vector<PlacedGlyph> &glyphs, bool vertical);

// The glyphs cut into runs whose advances fit `width` pixels (at least one
// glyph per run): how a horizontal line wraps in the terminal.
std::vector<std::vector<PlacedGlyph>> WrapByAdvance(const std::vector<PlacedGlyph> &glyphs,
                                                    int width);

enum class TerminalStyle {
    kAscii,       // '#' ink, '.' background, one character per pixel
    kHalfBlocks,  // Unicode half blocks, two pixel rows per text line
};

// The image as lines of text, each ending in a newline.
std::string TerminalPicture(const InkImage &image, TerminalStyle style);

}  // namespace kelmor

#endif
