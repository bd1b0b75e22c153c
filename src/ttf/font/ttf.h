// The font object's operations: opening, closing and sizing a font, the
// per-glyph driver TTF2BitMap and the glyph metrics.  Its records are in
// ttf_records.h; this header also brings in the stages it drives.
#ifndef KELMOR_TTF_FONT_TTF_H
#define KELMOR_TTF_FONT_TTF_H

#include <cstdint>
#include <cstdio>

#include "ttf/records/ttf_records.h"
#include "ttf/hint/instruct.h"
#include "ttf/raster/scbitmap.h"
#include "ttf/raster/scscan.h"
#include "ttf/sfnt/debug_log.h"
#include "ttf/sfnt/sfnt.h"

struct KelmorGlyphMetrics;  // the public record of kelmor.h

namespace kelmor {

// -------------------------------------------------- object life (ttf.cpp)

// Non-null and lMagic is "KELM".
inline bool IsValidFont(const _TTFont *pF) { return pF != nullptr && pF->lMagic == kMagicKELM; }
// A font object with nothing read yet that owns `file`; null (and the file
// closed) when memory runs out.  CloseTTF releases it with whatever the
// table readers put into it.
_TTFont *NewTTFont(FILE *file);
_TTFont *OpenTTF(const char *lpszFileName);
// Face `face` of a collection (.ttc), or face 0 of a single font; past the
// classic limits (instruction definitions, large glyphs) when asked.
_TTFont *OpenTTFFace(const char *lpszFileName, uint32_t face, bool beyondLimits);
_TTFont *CloseTTF(_TTFont *pF);
int InitBuffers(_TTFont *pF, int PointSize, int Resolution);

// Point size times resolution must keep the scale factor's numerator within
// 32 bits.
constexpr int32_t kMaxSizeTimesResolution = 131071;
// Widest (and tallest) font box a size may ask for: far beyond any real
// glyph box at the sizes the scan buffer allows, and it keeps a lying
// bounding box from requesting gigabytes.
constexpr int32_t kMaxBitmapPixels = 8192;

// The scale factor and the font box in whole pixels at a size, as sizing
// sets them up (the descender shift included, without making it); false
// for a size outside the supported range or a font without units per em.
struct PixelBox {
    int32_t Multiplier;
    int32_t xMinMult, yMinMult, xMaxMult, yMaxMult;
};
bool SizedFontBox(const _TTFont *pF, int PointSize, int Resolution, PixelBox *box);
void FreeBuffers(_TTFont *pF);
// Sets the font's option bits (kNoHinting, kFaithful, ...) and does what a
// change needs: a change of mode runs the font and control-value programs
// again in the new mode.  Options change only through here.
void ChangeRenderOptions(_TTFont *pF, int32_t options);
// Releases the instruction blocks a glyph load left in the record.
void FreeGlyphInstructions(_TtfGlyph *pG);

// ------------------------------------------ bitmap driver (ttf_bitmap.cpp)

void TTF2BitMap(_TTFont *pF, _TtfGlyph *pG, uint32_t uNativeCode);
// Draws the code's glyph in grey levels into the font's grey store
// (pF->Gray; see ttf/raster/scgray.h), from the outline, never from an
// embedded image.
void TTF2GrayMap(_TTFont *pF, _TtfGlyph *pG, uint32_t uNativeCode);
// The glyph TTF2BitMap draws for a code: the code itself for glyph-number
// input, else the cmap's answer; then the vertical form when asked for.
uint32_t GlyphForCode(_TTFont *pF, uint32_t uNativeCode);
// The glyph a code maps to, before any vertical form; 0 when it maps to
// none.  Code 0 is no character in any code space (and what a concordance
// gives for a position it has no Unicode value for); a glyph number past
// the font's glyphs draws nothing.
uint32_t MappedGlyph(_TTFont *pF, uint32_t uNativeCode);

// ------------------------------------- embedded bitmaps (ttf_embedded.cpp)

// Draws `glyph` from the strike of the current size into the cleared
// bitmap, in the layout the driver asks for, and records the image's
// advance; false (the bitmap untouched) when the strike has no image for it.
enum class ImageLayout {
    kFitted,     // the bitmap is the image, the origin where its bearings put it
    kInFontBox,  // the classic cell: the font box at this size
};
bool DrawEmbeddedImage(_TTFont *pF, _TtfGlyph *pG, uint32_t glyph, ImageLayout layout);

// ------------------------------------------------ auto-hinter (ttf_autohint.cpp)

// Whether the font is one FreeType's default loading auto-hints: glyf
// outlines, no font program, no control-value program, and maxp's
// maxSizeOfInstructions 0.
bool FontHasNoPrograms(const _TTFont *pF);
// Whether the faithful mode draws the font's outlines with the auto-hinter:
// such a font, or any glyf font with kForceAutohint; never with
// kNoAutohint or kNoHinting.
bool UsesAutohinter(const _TTFont *pF);
// Draws `glyph` auto-hinted into the cleared bitmap and records its
// hinted advance (nothing drawn when it cannot be loaded).
void DrawAutohinted(_TTFont *pF, _TtfGlyph *pG, uint32_t glyph);
// Auto-hints `glyph` for one-bit or grey bitmaps into the glyph zone (the
// outline the scanners read) and records its hinted advance; false when
// there is nothing to scan.
enum class AutohintTarget { kMono, kGray };
bool LoadAutohinted(_TTFont *pF, _TtfGlyph *pG, uint32_t glyph, AutohintTarget target);
// Releases the auto-hinter's per-face state (CloseTTF).
void ReleaseAutohint(_TTFont *pF);

// ----------------------------------------------- glyph metrics (ttf_metrics.cpp)

// Fills the record for `glyph`, which the font's bitmap must hold as
// GetBitmap delivers it (inverted): advance, origin and ink box.
void MeasureRenderedGlyph(_TTFont *pF, uint32_t glyph, KelmorGlyphMetrics *m);
// The same for the grey glyph TTF2GrayMap drew last: positions inside its
// grey bitmap, ink where a level is above 0.
void MeasureGrayGlyph(_TTFont *pF, uint32_t glyph, KelmorGlyphMetrics *m);

}  // namespace kelmor

#endif
