// The faithful mode's scan converter: the outline at its exact positions
// (curves flattened far below a pixel), every pixel whose centre lies inside
// the outline or on it (non-zero winding), and dropout control along rows
// and columns.  The glyph bitmap is sized to the outline's ink.
#ifndef KELMOR_TTF_RASTER_SCEXACT_H
#define KELMOR_TTF_RASTER_SCEXACT_H

#include <cstdint>

#include "ttf/font/ttf_records.h"
#include "ttf/raster/scbitmap.h"

namespace kelmor {

// ScanInfo::Dropout bits.
constexpr uint8_t kDropoutOn = 1;     // a stroke that misses every pixel centre still gets a pixel
constexpr uint8_t kDropoutSmart = 2;  // the pixel nearest the stroke's middle, not the left (lower) one
constexpr uint8_t kDropoutStubs = 4;  // also where a stroke ends between two centres (a stub)

// The dropout control a glyph gets: `scanControl` as the graphics state
// holds it (SCANCTRL's value in bits 0-13, SCANTYPE's above them) at `ppem`;
// a glyph drawn without its programs gets dropouts without stubs.
uint8_t DropoutFor(bool hinted, int32_t scanControl, int32_t ppem);

// Scans the outline into pBM, which is sized to cover it (FitBitMapToGlyph)
// with pS->Dropout's dropout control.
void ScanOutlineExactly(ScanInfo *pS, unsigned NumContours, const int16_t *lpEndPoints,
                        TTFCoord *lpStart, _GlyphBitMap *pBM);
void FreeExactScanner(ScanInfo *pS);

// Cubic outlines (CFF fonts), scexact_cubic.cpp: each curve is cut at the
// scanner's own precision into straight pieces far shorter than a pixel's
// worth of bend, and the outline scanned as ScanOutlineExactly scans.
void ScanCubicOutlineExactly(ScanInfo *pS, const CubicOutline &outline, _GlyphBitMap *pBM);

// For the entries above that build the scanner's path themselves: the
// scanner's buffers (null when memory runs out), and the scan of the path
// they hold (in the fine units of PrecisionFor(pS->Ppem)) into pBM sized
// to `box`.
ExactScanner *ExactScannerOf(ScanInfo *pS);
void ScanCollectedPath(ScanInfo *pS, const GlyphBox &box, _GlyphBitMap *pBM);

// The pixels a glyph whose points span [xMin, xMax] x [yMin, yMax] (26.6)
// is given: the extent rounded to pixel edges so that a centre on the
// outline's extreme is kept, and one pixel around the middle of an extent
// thinner than that.
GlyphBox BoxForExtent(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax);

}  // namespace kelmor

#endif
