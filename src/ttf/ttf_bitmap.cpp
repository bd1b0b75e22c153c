// The per-glyph bitmap driver: character code to glyph, load, hint, and
// rasterize into the font's bitmap.
#include <cstdint>

#include "ttf/instruct.h"
#include "ttf/qspline.h"
#include "ttf/ttf.h"

namespace kelmor {

namespace {

uint32_t GlyphForCode(_TTFont *pF, uint32_t uNativeCode) {
    uint32_t glyph = (pF->csDesired == csGlyphNumber) ? uNativeCode : GetGlyphNo(pF, uNativeCode);
    if (pF->iVertical) glyph = GetVertical(pF, glyph);
    return glyph;
}

// The glyph's own program sees contour ends numbered across all its
// components.
void HintWholeGlyph(_TTFont *pF, _TtfGlyph *pG) {
    int16_t *relativeEnds = pG->EndPoints;
    pG->EndPoints = pG->AbsEndPoints;
    InterpretGlyph(pF, pG, pG->NumContours, pG->AbsEndPoints, pG->Zone1);
    pG->EndPoints = relativeEnds;
}

void Rasterize(_TtfGlyph *pG, int NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart) {
    PointsToCurves(unsigned(NumContours > 0 ? NumContours : 0), lpEndPoints, lpStart, &pG->S);
    MakeBitMap(&pG->S, &pG->BM);
}

bool Hinting(const _TTFont *pF) { return (pF->RenderOptions & kNoHinting) == 0; }

// While one glyph is hinted, the glyph zone ends at the glyph's last point.
// The zone has room for the font's largest glyph, and the points past this
// glyph's last one still hold an earlier glyph's outline: a program that
// reached them would make a glyph's shape depend on what was drawn before
// it.  A number past the glyph is then a fault, like any point the zone
// does not have; component programs see the rest of the glyph from their
// first point on.
class GlyphZoneBound {
public:
    GlyphZoneBound(_TtfGlyph *pG, int points) : pG_(pG), zonePoints_(pG->ZonePoints[1]) {
        if (points < zonePoints_) pG->ZonePoints[1] = int16_t(points);
    }
    ~GlyphZoneBound() { pG_->ZonePoints[1] = zonePoints_; }
    GlyphZoneBound(const GlyphZoneBound &) = delete;
    GlyphZoneBound &operator=(const GlyphZoneBound &) = delete;

private:
    _TtfGlyph *pG_;
    int16_t zonePoints_;
};

// A component's program numbers points and contours from the component's
// own first ones.  The zone it sees starts at the component's first point
// and ends where the whole zone ends, so no point number reaches past the
// allocation; its contours are the component's own, so IUP and SHC work on
// the outline the program was written for.
void HintComponent(_TTFont *pF, _TtfGlyph *pG, GlyphComponent &C) {
    TTFCoord *wholeZone = pG->Zone1;
    const int16_t wholeCount = pG->ZonePoints[1];
    int16_t *wholeEnds = pG->EndPoints;
    const int16_t wholeContours = pG->NumContours;
    pG->Zone1 = C.lpCoords;
    pG->ZonePoints[1] = int16_t(wholeCount - (C.lpCoords - wholeZone));
    pG->EndPoints = C.lpNextEndPoint;
    pG->NumContours = C.NumContours;
    InterpretGlyph(pF, pG, C.NumContours, C.lpNextEndPoint, C.lpCoords, kComponentProgram);
    pG->Zone1 = wholeZone;
    pG->ZonePoints[1] = wholeCount;
    pG->EndPoints = wholeEnds;
    pG->NumContours = wholeContours;
}

// Each component runs its own program on its own points and is filled with
// its own winding; overlapping components merge by union in the bitmap.
void RasterizeComponent(_TTFont *pF, _TtfGlyph *pG, GlyphComponent &C) {
    pG->instructions = C.instructions;
    C.instructions = nullptr;  // the interpreter consumes the block
    if (Hinting(pF)) HintComponent(pF, pG, C);
    pG->instructions = static_cast<uint8_t *>(FreeBuffer(pG->instructions));
    ZapScanBuffer(&pG->S);
    Rasterize(pG, C.NumContours, C.lpNextEndPoint, C.lpCoords);
}

}  // namespace

void TTF2BitMap(_TTFont *pF, _TtfGlyph *pG, uint32_t uNativeCode) {
    if (!IsValidFont(pF)) return;
    const uint32_t glyph = GlyphForCode(pF, uNativeCode);

    pG->NumContours = 0;
    pG->NumComponents = 0;
    ZapScanBuffer(&pG->S);
    ZapBitMap(&pG->BM);

    // A glyph that loads nothing (a space, a number past the font's glyphs)
    // leaves the cleared bitmap: the caller gets a blank glyph of full size.
    const int lastPoint =
        GetGlyph(pF, pG, int(glyph), &pG->NumContours, pG->EndPoints, pG->Zone1, 0);
    if (lastPoint > 0) {
        const GlyphZoneBound bound(pG, lastPoint + 1);
        if (!NoInterpretOverall && Hinting(pF)) HintWholeGlyph(pF, pG);
        // With hinting switched off the glyph's own program never runs; it
        // goes before the components' programs take its place.
        pG->instructions = static_cast<uint8_t *>(FreeBuffer(pG->instructions));
        if (pG->NumComponents == 0) {
            Rasterize(pG, pG->NumContours, pG->EndPoints, pG->Zone1);
        } else {
            for (int i = 0; i < pG->NumComponents; ++i) RasterizeComponent(pF, pG, pG->GC[i]);
        }
    }
    // Blocks the load left behind without running them (hinting switched
    // off, a glyph too small to draw, a load that failed half-way) go now,
    // so that no glyph leaks its programs into the next one.
    FreeGlyphInstructions(pG);
}

}  // namespace kelmor
