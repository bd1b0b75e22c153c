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

InkImage FromGrayLevels(const unsigned char *levels, int width, int height) {
    InkImage image;
    image.fullInk = 255;
    if (levels == nullptr || width <= 0 || height <= 0) return image;
    image.width = width;
    image.height = height;
    image.ink.assign(levels, levels + size_t(width) * size_t(height));
    return image;
}

namespace {

// Where each glyph's bitmap goes: its top-left pixel relative to the line's.
struct Position {
    int x, y;
};

std::vector<Position> PenPositions(const std::vector<PlacedGlyph> &glyphs, bool vertical) {
    std::vector<Position> positions;
    int pen = 0;
    for (const PlacedGlyph &glyph : glyphs) {
        const KelmorGlyphMetrics &m = glyph.metrics;
        // A vertical line keeps the glyphs' origins on one column, as a
        // horizontal one keeps them on one baseline.
        positions.push_back(vertical ? Position{-m.iOriginX, pen} : Position{pen - m.iOriginX, 0});
        pen += std::max(m.iAdvance, 0);
    }
    return positions;
}

// Ink is OR'ed in: glyphs that overlap share pixels instead of erasing them.
void Stamp(InkImage *line, const InkImage &glyph, Position at) {
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            const int lx = at.x + x, ly = at.y + y;
            if (lx < 0 || ly < 0 || lx >= line->width || ly >= line->height) continue;
            uint8_t &pixel = line->ink[size_t(ly) * size_t(line->width) + size_t(lx)];
            pixel = std::max(pixel, glyph.Level(x, y));
        }
    }
}

}  // namespace

void PutOnCommonBaseline(std::vector<PlacedGlyph> *glyphs, int ascent, int descent) {
    for (const PlacedGlyph &g : *glyphs) {
        ascent = std::max(ascent, g.metrics.iOriginY);
        descent = std::max(descent, g.image.height - g.metrics.iOriginY);
    }
    for (PlacedGlyph &g : *glyphs) {
        const int shift = ascent - g.metrics.iOriginY;
        if (shift == 0 && g.image.height == ascent + descent) continue;
        InkImage framed;
        framed.width = g.image.width;
        framed.height = ascent + descent;
        framed.fullInk = g.image.fullInk;
        framed.ink.assign(size_t(framed.width) * size_t(framed.height), 0);
        for (int y = 0; y < g.image.height; ++y)
            for (int x = 0; x < g.image.width; ++x)
                framed.ink[size_t(y + shift) * size_t(framed.width) + size_t(x)] = g.image.Level(x, y);
        g.image = std::move(framed);
        g.metrics.iOriginY = ascent;
        if (g.metrics.iInkHeight > 0) g.metrics.iInkTop += shift;
    }
}

InkImage LayOutGlyphs(const std::vector<PlacedGlyph> &glyphs, bool vertical) {
    const std::vector<Position> positions = PenPositions(glyphs, vertical);
    InkImage line;
    int pen = 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const KelmorGlyphMetrics &m = glyphs[i].metrics;
        const Position at = positions[i];
        pen += std::max(m.iAdvance, 0);
        if (vertical) {
            line.width = std::max(line.width, at.x + glyphs[i].image.width);
            line.height = std::max({line.height, pen, at.y + m.iInkTop + m.iInkHeight});
        } else {
            line.height = std::max(line.height, glyphs[i].image.height);
            line.width = std::max({line.width, pen, at.x + m.iInkLeft + m.iInkWidth});
        }
    }
    line.ink.assign(size_t(line.width) * size_t(line.height), 0);
    for (const PlacedGlyph &g : glyphs) line.fullInk = std::max(line.fullInk, g.image.fullInk);
    for (size_t i = 0; i < glyphs.size(); ++i) Stamp(&line, glyphs[i].image, positions[i]);
    return line;
}

std::vector<std::vector<PlacedGlyph>> WrapByAdvance(const std::vector<PlacedGlyph> &glyphs,
                                                    int width) {
    std::vector<std::vector<PlacedGlyph>> runs;
    int used = 0;
    for (const PlacedGlyph &glyph : glyphs) {
        const int advance = std::max(glyph.metrics.iAdvance, 0);
        if (runs.empty() || (used + advance > width && !runs.back().empty())) {
            runs.emplace_back();
            used = 0;
        }
        runs.back().push_back(glyph);
        used += advance;
    }
    return runs;
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
