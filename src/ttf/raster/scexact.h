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

// ScanInfo::Dropout bits.
constexpr uint8_t kDropoutOn = 1;     // a stroke that misses every pixel centre still gets a pixel
constexpr uint8_t kDropoutSmart = 2;  // the pixel nearest the stroke's middle, not the left (lower) one
constexpr uint8_t kDropoutStubs = 4;  // also where a stroke ends between two centres (a stub)

// The dropout control a glyph gets: `scanControl` as the graphics state
// holds it (SCANCTRL's value in bits 0-13, SCANTYPE's above them) at `ppem`;
// a glyph drawn without its programs gets dropouts without stubs.
uint8_t DropoutFor(bool hinted, int32_t scanControl, int32_t ppem);

// How the next outline is scanned: with DropoutFor's control, at the
// precision of `ppem`.
void SetExactScanMode(ScanInfo *pS, bool hinted, int32_t scanControl, int32_t ppem);

// Scans the outline into pBM, which is sized to cover it (FitBitMapToGlyph)
// with pS->Dropout's dropout control.
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
