// A line of rendered glyphs as a plain ink mask, and its terminal picture.
#ifndef KELMOR_TOOL_GLYPH_IMAGE_H
#define KELMOR_TOOL_GLYPH_IMAGE_H

#include <cstdint>
#include <string>
#include <vector>

namespace kelmor {

// One pixel per byte: 1 ink, 0 background; rows top to bottom.
struct InkImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;

    bool At(int x, int y) const { return ink[size_t(y) * size_t(width) + size_t(x)] != 0; }
};

// Unpacks a bitmap as GetBitmap returns it: rows padded to 16 bits, most
// significant bit leftmost, ink as 0 bits.
InkImage FromLibraryBitmap(const unsigned char *bits, int width, int height);

// Glyphs placed one after another: side by side for horizontal text, one
// below the other for vertical text.  Glyphs of different sizes are aligned
// at the top (horizontal) or left (vertical); the rest is background.
InkImage JoinGlyphs(const std::vector<InkImage> &glyphs, bool vertical);

enum class TerminalStyle {
    kAscii,       // '#' ink, '.' background, one character per pixel
    kHalfBlocks,  // Unicode half blocks, two pixel rows per text line
};

// The image as lines of text, each ending in a newline.
std::string TerminalPicture(const InkImage &image, TerminalStyle style);

}  // namespace kelmor

#endif
