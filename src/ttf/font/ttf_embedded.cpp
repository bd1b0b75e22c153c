// Drawing a glyph from the font's embedded bitmap strike instead of its
// outline, into the same bitmap and layout the outline would have had.
#include <cstdint>

#include "ttf/font/ttf.h"
#include "ttf/sfnt/ttf_ebdt.h"

namespace kelmor {

namespace {

// The faithful layout: the bitmap is the image itself, blank margins
// included, with the origin where the image's bearings put it.
void PlaceFitted(_GlyphBitMap *pBM, const EmbeddedImage &image) {
    const GlyphBox box{image.left, image.top - image.height, image.left + image.width, image.top};
    if (!FitBitMapToGlyph(pBM, box)) return;  // no pixels: the blank font box stays
    for (int32_t row = 0; row < image.height; ++row)
        for (int32_t column = 0; column < image.width; ++column)
            if (image.Ink(column, row)) SetPixel(pBM, image.left + column, image.top - 1 - row);
}

// The classic layout: the font box at this size, column 0 on the origin and
// the bottom row yMinMult rows below the baseline.  Ink outside the box is
// dropped, as the outline's would be.
void PlaceInFontBox(_TtfGlyph *pG, const EmbeddedImage &image) {
    for (int32_t row = 0; row < image.height; ++row) {
        const int32_t y = image.top - 1 - row - pG->S.yMinMult;
        for (int32_t column = 0; column < image.width; ++column) {
            const int32_t x = image.left + column;
            if (image.Ink(column, row)) AddBitLine(&pG->BM, x, x + 1, y);
        }
    }
}

// Some strikes leave a glyph's advance at 0 although hmtx gives it one;
// such a glyph takes hmtx's advance at the strike's size, to whole pixels,
// as the common rasterizers do, so that text does not pile up.
int32_t ImageAdvance26Dot6(_TTFont *pF, uint32_t glyph, const EmbeddedImage &image) {
    if (image.advance != 0) return image.advance * 64;
    const int32_t ppem = int32_t(StrikePpem(pF->G.PointSize, pF->G.Resolution));
    const int32_t units = SideMetrics(pF, glyph, 0).advanceWidth;
    const int32_t scaled = ScaleFUnitsRounded(units, FaithfulScale(ppem, pF->UnitsPerEm));
    return scaled > 0 ? (scaled + 32) & ~63 : 0;
}

}  // namespace

bool DrawEmbeddedImage(_TTFont *pF, _TtfGlyph *pG, uint32_t glyph, ImageLayout layout) {
    // A number past the font's glyphs is no glyph, whatever a strike holds.
    if (glyph >= pF->leMaximumProfile.numGlyphs) return false;
    EmbeddedImage image;
    if (!FontEmbeddedImage(pF, glyph, &image)) return false;
    if (layout == ImageLayout::kFitted)
        PlaceFitted(&pG->BM, image);
    else
        PlaceInFontBox(pG, image);
    pG->FromImage = 1;
    pG->AdvanceDrawn = 1;
    pG->DrawnAdvance = ImageAdvance26Dot6(pF, glyph, image);
    return true;
}

}  // namespace kelmor
