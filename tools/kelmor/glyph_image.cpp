#include "glyph_image.h"

#include <algorithm>
#include <cstddef>

namespace kelmor {

InkImage FromLibraryBitmap(const unsigned char *bits, int width, int height) {
    InkImage image;
    if (bits == nullptr || width <= 0 || height <= 0) return image;
    image.width = width;
    image.height = height;
    image.ink.resize(size_t(width) * size_t(height));
    const size_t rowBytes = size_t((width + 15) / 16) * 2;
    for (int y = 0; y < height; ++y) {
        const unsigned char *row = bits + size_t(y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const bool background = (row[x >> 3] >> (7 - (x & 7))) & 1;
            image.ink[size_t(y) * size_t(width) + size_t(x)] = background ? 0 : 1;
        }
    }
    return image;
}

InkImage JoinGlyphs(const std::vector<InkImage> &glyphs, bool vertical) {
    InkImage line;
    for (const InkImage &glyph : glyphs) {
        if (vertical) {
            line.width = std::max(line.width, glyph.width);
            line.height += glyph.height;
        } else {
            line.width += glyph.width;
            line.height = std::max(line.height, glyph.height);
        }
    }
    line.ink.assign(size_t(line.width) * size_t(line.height), 0);
    int left = 0, top = 0;
    for (const InkImage &glyph : glyphs) {
        for (int y = 0; y < glyph.height; ++y) {
            std::copy_n(glyph.ink.begin() + std::ptrdiff_t(y) * glyph.width, glyph.width,
                        line.ink.begin() + std::ptrdiff_t(top + y) * line.width + left);
        }
        if (vertical) {
            top += glyph.height;
        } else {
            left += glyph.width;
        }
    }
    return line;
}

namespace {

std::string AsciiPicture(const InkImage &image) {
    std::string text;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) text += image.At(x, y) ? '#' : '.';
        text += '\n';
    }
    return text;
}

std::string HalfBlockPicture(const InkImage &image) {
    // Indexed by (upper ink) * 2 + (lower ink).
    static const char *const kCells[4] = {" ", "\u2584", "\u2580", "\u2588"};
    std::string text;
    for (int y = 0; y < image.height; y += 2) {
        for (int x = 0; x < image.width; ++x) {
            const bool upper = image.At(x, y);
            const bool lower = y + 1 < image.height && image.At(x, y + 1);
            text += kCells[(upper ? 2 : 0) + (lower ? 1 : 0)];
        }
        text += '\n';
    }
    return text;
}

}  // namespace

std::string TerminalPicture(const InkImage &image, TerminalStyle style) {
    return style == TerminalStyle::kAscii ? AsciiPicture(image) : HalfBlockPicture(image);
}

}  // namespace kelmor
