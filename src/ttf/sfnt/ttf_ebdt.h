// Embedded bitmaps: the hand-drawn 1-bit images some fonts carry for a few
// sizes beside their outlines.  EBLC (Apple's older fonts: bloc) lists the
// strikes, one per size, and where each glyph's image lies; EBDT (bdat)
// holds the images.  Both are read on demand through the font's file
// windows, a few records at a time: a CJK font's image data runs to
// megabytes, and an open font keeps only the strike record of its size.
#ifndef KELMOR_TTF_SFNT_TTF_EBDT_H
#define KELMOR_TTF_SFNT_TTF_EBDT_H

#include <cstdint>
#include <vector>

#include "ttf/records/ttf_records.h"

namespace kelmor {

// The bytes of one table, read when asked for.  Every read is held against
// the table's length, so a reader may pass any offset a font gives it.
class TableBytes {
public:
    explicit TableBytes(uint32_t length) : length_(length) {}
    virtual ~TableBytes() = default;
    uint32_t Length() const { return length_; }
    // Copies `count` bytes from `at`; false when they are not all inside
    // the table or cannot be read.
    bool Read(uint64_t at, uint8_t *dst, uint32_t count);

protected:
    virtual bool Fetch(uint32_t at, uint8_t *dst, uint32_t count) = 0;

private:
    uint32_t length_;
};

// A strike as the location table lists it.
struct StrikeSize {
    uint32_t ppemX, ppemY, bitDepth;
    uint32_t firstGlyph, lastGlyph;
};

// Every strike of the location table; empty when it is not one we read
// (wrong version, a count the table cannot hold).
std::vector<StrikeSize> ListStrikes(TableBytes &eblc);

// The first 1-bit strike whose horizontal and vertical sizes are both
// `ppem` and whose index records lie inside the table; false when there is
// none.  LookedUp is left to the caller.
bool FindStrike(TableBytes &eblc, uint32_t ppem, EmbeddedStrike *strike);

// One glyph's image: `width` x `height` pixels, rows top to bottom of
// `pitch` bytes, the leftmost pixel in the top bit, ink 1.  The top-left
// pixel's outer corner lies `left` pixels right of the glyph origin and
// `top` pixels above the baseline; the next glyph's origin lies `advance`
// pixels to the right.
struct EmbeddedImage {
    int32_t width = 0, height = 0;
    int32_t left = 0, top = 0;
    int32_t advance = 0;
    int32_t pitch = 0;
    std::vector<uint8_t> bits;

    bool Ink(int32_t column, int32_t row) const {
        return (bits[size_t(row) * size_t(pitch) + size_t(column >> 3)] >> (7 - (column & 7))) & 1;
    }
};

// The image of `glyph` in `strike`: false when the strike has none for it,
// and when any of its records is damaged (a count or offset past its
// table, an unknown format, a component outside the glyph's box), so that
// the caller draws the outline instead.
bool LoadEmbeddedImage(TableBytes &eblc, TableBytes &ebdt, const EmbeddedStrike &strike,
                       uint32_t glyph, EmbeddedImage *image);

// ------------------------------------------------- the font's own tables

// Pixels per em a size asks for, rounded to whole pixels: the size a strike
// must have to serve it.
uint32_t StrikePpem(int32_t PointSize, int32_t Resolution);
// The strikes of the font's EBLC (or bloc) table; empty without one.
std::vector<StrikeSize> FontStrikes(_TTFont *pF);
// The image of `glyph` at the font's current size, looking the strike up
// on the first call after sizing (pF->Strike); false when there is none.
bool FontEmbeddedImage(_TTFont *pF, uint32_t glyph, EmbeddedImage *image);

}  // namespace kelmor

#endif
