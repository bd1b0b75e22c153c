// The auto-hinter stage: what the driver calls to grid-fit a glyph of a
// font that brings no hinting programs, the way FreeType's default loading
// does for such fonts.
//
// Per open face the stage keeps an AutohintFace: each glyph's style and
// each style's metrics (measured on first use, scaled again when the size
// changes) and the working buffers of one glyph.  Per glyph it loads the
// outline in font units through FontAccess, hints it and hands back the
// hinted 26.6 outline with the origin at (0, 0) and the hinted advance.
#ifndef KELMOR_TTF_AUTOHINT_AUTOHINT_H
#define KELMOR_TTF_AUTOHINT_AUTOHINT_H

#include <cstdint>

#include "ttf/autohint/autohint_hints.h"

namespace kelmor {
namespace autohint {

struct AutohintFace {
    bool started = false;  // styles computed
    FaceGlobals globals;
    GlyphHints hints;
    Outline fontUnits;  // the glyph being hinted, as loaded
};

struct HintedGlyph {
    Outline outline;  // 26.6, the origin at (0, 0)
    int32_t advance;  // 26.6, whole pixels
};

// Hints `glyph` at `ppem` for `target`.  False when the glyph cannot be
// loaded (the caller draws nothing, as for a glyph that fails to load).
// An outline the hinter cannot take (too many points) comes back scaled
// only.
bool AutohintGlyph(AutohintFace *face, FontAccess *font, uint32_t glyph, int32_t ppem, RenderTarget target,
                   HintedGlyph *out);

// The bytes the face's state holds now (styles per glyph, metrics).
size_t AutohintFaceBytes(const AutohintFace &face);

}  // namespace autohint
}  // namespace kelmor

#endif
