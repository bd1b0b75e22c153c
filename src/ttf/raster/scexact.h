// The faithful mode's scan converter: the outline at its exact positions
// (curves flattened far below a pixel), every pixel whose centre lies inside
// the outline or on it (non-zero winding), and dropout control along rows
// and columns.  The glyph bitmap is sized to the outline's ink.
#ifndef KELMOR_TTF_RASTER_SCEXACT_H
#define KELMOR_TTF_RASTER_SCEXACT_H

#include <cstdint>

#include "ttf/records/ttf_records.h"
#include "ttf/raster/scbitmap.h"

namespace kelmor {

// Dropout modes, numbered as SCANTYPE numbers them (ScanInfo::Dropout, and
// the scan type marks a glyph's points carry).  2, 3, 6 and 7 draw no
// dropouts; of them only 2 also takes a span a hair wider than a pixel as
// two pixels wide (the others take it as one, as 0, 1, 4 and 5 do).
constexpr uint8_t kDropoutSimpleWithStubs = 0;  // the left (lower) pixel of a stroke that misses every centre
constexpr uint8_t kDropoutSimple = 1;           // the same, but not where the stroke ends (a stub)
constexpr uint8_t kDropoutOff = 2;
constexpr uint8_t kDropoutSmartWithStubs = 4;   // the pixel nearest the stroke's middle
constexpr uint8_t kDropoutSmart = 5;            // the same, but not at a stub

// The dropout mode of a glyph's outline up to its first scan type mark:
// from `scanControl` as the graphics state holds it after the glyph's last
// program (SCANCTRL's value in bits 0-13, SCANTYPE's above them) at `ppem`;
// a glyph drawn without its programs gets simple dropouts without stubs.
uint8_t DropoutFor(bool hinted, int32_t scanControl, int32_t ppem);

// How the next outline is scanned: with DropoutFor's control, at the
// precision of `ppem`.
void SetExactScanMode(ScanInfo *pS, bool hinted, int32_t scanControl, int32_t ppem);

// Scans the outline into pBM, which is sized to cover it (FitBitMapToGlyph),
// with pS->Dropout's dropout mode up to the first contour whose first point
// carries a scan type mark, and the marked type from there on.
void ScanOutlineExactly(ScanInfo *pS, unsigned NumContours, const int16_t *lpEndPoints,
                        TTFCoord *lpStart, _GlyphBitMap *pBM);
void FreeExactScanner(ScanInfo *pS);

// Cubic outlines (CFF fonts), scexact_cubic.cpp: each curve is halved at
// the scanner's precision into pieces it crosses as their chords, as the
// reference rasterizer does, and the outline scanned as ScanOutlineExactly
// scans, with pS->Dropout's dropout control.
void ScanCubicOutlineExactly(ScanInfo *pS, const CubicOutline &outline, _GlyphBitMap *pBM);

// For entries that build the scanner's path themselves, one sweep at a
// time: the scanner's buffers (null when memory runs out), and one sweep
// (rows, or columns) of the path they hold, in the fine units of
// PrecisionFor(pS->Ppem), over pBM as FitBitMapToGlyph sized it.
ExactScanner *ExactScannerOf(ScanInfo *pS);
void SweepCollectedPath(ScanInfo *pS, bool columns, _GlyphBitMap *pBM);

// The pixels a glyph whose points span [xMin, xMax] x [yMin, yMax] (26.6)
// is given: the extent rounded to pixel edges so that a centre on the
// outline's extreme is kept, and one pixel around the middle of an extent
// thinner than that.
GlyphBox BoxForExtent(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax);

}  // namespace kelmor

#endif
