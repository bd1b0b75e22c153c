// The per-glyph bitmap driver: character code to glyph, load, hint, and
// rasterize into the font's bitmap.
//
// This is the one place that asks which mode a font is drawn in.  For each
// glyph it picks the pieces of that mode, and nothing below it asks again:
//
//   source          classic                      faithful
//   strike image    in the font-box cell         fitted to the image
//   glyf outline    GetGlyph (classic load)      LoadGlyphFaithfully
//   programs        the classic dispatch table   the faithful table of departures
//                   (the interpreter's copy of the mode, set with the options
//                   by ChangeRenderOptions, picks the table); for fonts
//                   without programs, the auto-hinter (UsesAutohinter)
//   scan converter  ScanOutline (qspline, scscan) ScanOutlineExactly (scexact)
//   grey levels     (TTF2GrayMap: the faithful outline, ScanOutlineGray)
//   advance         the tables                   the advance phantom point
//
// CFF outlines are drawn one way in both modes (DrawCffGlyph).
#include <cstdint>

#include "ttf/cff/cff.h"
#include "ttf/hint/instruct.h"
#include "ttf/raster/qspline.h"
#include "ttf/raster/scexact.h"
#include "ttf/raster/scgray.h"
#include "ttf/font/ttf.h"
#include "ttf/sfnt/ttf_gsub.h"

namespace kelmor {

namespace {

// What a glyph program sees of the glyph zone while it runs: where the
// zone starts, how many points it may reach, and which contours it has.
// Restored when the program is done.
//
// A program reaches only the points of the outline it belongs to.  Numbers
// past them would otherwise reach points left by an earlier glyph (making
// the result depend on what was drawn before), or, for a component, its
// neighbours' points; they are faults instead, the same as the side-bearing
// points other rasterizers append after the outline.
class ProgramView {
public:
    ProgramView(_TtfGlyph *pG, TTFCoord *first, int points, int16_t *ends, int16_t contours)
        : pG_(pG), zone_(pG->Zone1), unscaled_(pG->Unscaled), count_(pG->ZonePoints[1]),
          ends_(pG->EndPoints), contours_(pG->NumContours) {
        // The phantom points, when the program has them, lie past the
        // points maxp counts.
        const int reachable = pG->Zone1Slots - int(first - zone_);
        pG->Zone1 = first;
        if (unscaled_ != nullptr) pG->Unscaled = unscaled_ + (first - zone_);
        pG->ZonePoints[1] = int16_t(points < reachable ? points : reachable);
        pG->EndPoints = ends;
        pG->NumContours = contours;
    }
    ~ProgramView() {
        pG_->Zone1 = zone_;
        pG_->Unscaled = unscaled_;
        pG_->ZonePoints[1] = count_;
        pG_->EndPoints = ends_;
        pG_->NumContours = contours_;
    }
    ProgramView(const ProgramView &) = delete;
    ProgramView &operator=(const ProgramView &) = delete;

private:
    _TtfGlyph *pG_;
    TTFCoord *zone_;
    longpointtype *unscaled_;
    int16_t count_;
    int16_t *ends_;
    int16_t contours_;
};

// The glyph's own program sees contour ends numbered across all its
// components.
void HintWholeGlyph(_TTFont *pF, _TtfGlyph *pG, int points) {
    ProgramView view(pG, pG->Zone1, points, pG->AbsEndPoints, pG->NumContours);
    InterpretGlyph(pF, pG, pG->NumContours, pG->AbsEndPoints, pG->Zone1);
}

// Glyph programs run unless switched off, and unless the font program or
// this size's control-value program ran out of instructions (a program that
// never ends leaves nothing glyph programs could rely on).
bool Hinting(const _TTFont *pF) {
    return (pF->RenderOptions & kNoHinting) == 0 && pF->G.ProgramsFailed == 0;
}
bool Faithful(const _TTFont *pF) { return (pF->RenderOptions & kFaithful) != 0; }

unsigned ContourCount(int NumContours) { return unsigned(NumContours > 0 ? NumContours : 0); }

void Rasterize(_TtfGlyph *pG, int NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart) {
    ScanOutline(&pG->S, ContourCount(NumContours), lpEndPoints, lpStart, &pG->BM);
}


// A component's program numbers points and contours from the component's
// own first ones and reaches only its own points.
void HintComponent(_TTFont *pF, _TtfGlyph *pG, GlyphComponent &C) {
    ProgramView view(pG, C.lpCoords, PointsOfContours(C.NumContours, C.lpNextEndPoint),
                     C.lpNextEndPoint, C.NumContours);
    InterpretGlyph(pF, pG, C.NumContours, C.lpNextEndPoint, C.lpCoords, kComponentProgram);
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

uint32_t MappedGlyph(_TTFont *pF, uint32_t uNativeCode) {
    if (uNativeCode == 0) return 0;
    const uint32_t glyph =
        (pF->csDesired == csGlyphNumber) ? uNativeCode : GetGlyphNo(pF, uNativeCode);
    return glyph < pF->leMaximumProfile.numGlyphs ? glyph : 0;
}

uint32_t GlyphForCode(_TTFont *pF, uint32_t uNativeCode) {
    uint32_t glyph = (pF->csDesired == csGlyphNumber) ? uNativeCode : GetGlyphNo(pF, uNativeCode);
    if (pF->iVertical) glyph = VerticalGlyphFor(pF, uNativeCode, glyph);
    return glyph;
}

namespace {

// The composite's program first over the whole glyph, then each component
// with its own program, filled on its own.
void DrawClassically(_TTFont *pF, _TtfGlyph *pG, uint32_t glyph) {
    // A glyph that loads nothing (a space, a number past the font's glyphs)
    // leaves the cleared bitmap: the caller gets a blank glyph of full size.
    const int lastPoint =
        GetGlyph(pF, pG, int(glyph), &pG->NumContours, pG->EndPoints, pG->Zone1, 0);
    if (lastPoint <= 0) return;
    if (!NoInterpretOverall && Hinting(pF)) HintWholeGlyph(pF, pG, lastPoint + 1);
    // With hinting switched off the glyph's own program never runs; it
    // goes before the components' programs take its place.
    pG->instructions = static_cast<uint8_t *>(FreeBuffer(pG->instructions));
    if (pG->NumComponents == 0) {
        Rasterize(pG, pG->NumContours, pG->EndPoints, pG->Zone1);
    } else {
        for (int i = 0; i < pG->NumComponents; ++i) RasterizeComponent(pF, pG, pG->GC[i]);
    }
}

// Runs each glyph's program as the faithful load hands it over, from the
// graphics state the control-value program left (or the default one, when
// that program asked for it with INSTCTRL).
class ProgramHinter : public OutlineHinter {
public:
    explicit ProgramHinter(_TTFont *pF) : pF_(pF) {}
    void Hint(_TtfGlyph *pG, int firstPoint, int points, int firstContour, int contours,
              int program) override {
        if (pG->PrepGsv.instruct_Control & kDefaultGraphicsState)
            ResetGsv(pG);
        else
            pG->Gsv = pG->PrepGsv;
        TTFCoord *first = pG->Zone1 + firstPoint;
        int16_t *ends = pG->EndPoints + firstContour;
        ProgramView view(pG, first, points + kPhantomPoints, ends, int16_t(contours));
        InterpretGlyph(pF_, pG, contours, ends, first, program);
    }

private:
    // INSTCTRL selector 2: glyph programs start from the default state.
    static constexpr int32_t kDefaultGraphicsState = 2;
    _TTFont *pF_;
};

// INSTCTRL selector 1 in the control-value program turns glyph programs off.
constexpr int32_t kGlyphProgramsOff = 1;

// The advance phantom point, where the load and the programs left it,
// stands for the tables' advance; one left on the origin does not.
void KeepPhantomAdvance(_TtfGlyph *pG) {
    const int64_t advance = int64_t(pG->Phantom[1].x) - pG->Phantom[0].x;
    if (advance == 0 || advance < INT32_MIN || advance > INT32_MAX) return;
    pG->AdvanceDrawn = 1;
    pG->DrawnAdvance = int32_t(advance);
}

// Every glyph hinted as it is loaded (glyph programs run only in the
// faithful mode); false when nothing is left to scan.  *hinted: whether the
// programs ran.
bool LoadFaithfully(_TTFont *pF, _TtfGlyph *pG, uint32_t glyph, bool *hinted) {
    *hinted = Faithful(pF) && !NoInterpretOverall && Hinting(pF) &&
              (pG->PrepGsv.instruct_Control & kGlyphProgramsOff) == 0;
    pG->Gsv = pG->PrepGsv;
    ProgramHinter hinter(pF);
    const int lastPoint = LoadGlyphFaithfully(pF, pG, int(glyph), *hinted ? &hinter : nullptr);
    KeepPhantomAdvance(pG);
    return lastPoint > 0;
}

// The whole outline scanned at once.
void DrawFaithfully(_TTFont *pF, _TtfGlyph *pG, uint32_t glyph) {
    bool hinted = false;
    if (!LoadFaithfully(pF, pG, glyph, &hinted)) return;
    // The scan mode is the one the last program run left.
    SetExactScanMode(&pG->S, hinted, pG->Gsv.scan_control, PixelsPerEm(pG));
    ScanOutlineExactly(&pG->S, ContourCount(pG->NumContours), pG->EndPoints, pG->Zone1, &pG->BM);
}

// CFF glyphs carry no TrueType programs.  Both modes draw them as the
// faithful mode draws an unhinted glyph: scaled with rounding, curves at
// full precision, dropout control without stubs, the bitmap sized to the
// ink (GetGlyphMetrics says where the origin is, and takes the advance
// from hmtx scaled the same way).
void DrawCffGlyph(_TTFont *pF, _TtfGlyph *pG, uint32_t glyph) {
    if (!LoadCffGlyph(pF, pG, glyph)) return;
    SetExactScanMode(&pG->S, false, 0, PixelsPerEm(pG));
    ScanCubicOutlineExactly(&pG->S, pG->Cubic, &pG->BM);
}

}  // namespace

// Programs may hint differently for grey levels (GETINFO tells them); the
// size's control-value program runs again when the target changes, as
// FreeType runs it again, so that glyph programs start from its results
// for this target.
void HintFor(_TTFont *pF, bool gray) {
    if (pF->G.Grayscale == uint8_t(gray)) return;
    pF->G.Grayscale = uint8_t(gray);
    if (pF->cInitialized && Faithful(pF) && pF->Cff == nullptr) ExecuteprepCVT(pF, &pF->G);
}

// Grey levels: the outline the faithful mode draws (CFF, auto-hinted with
// the hinter's target for grey levels, or hinted by the font's programs),
// scanned by the coverage rasterizer into the font's grey store.  Embedded
// images are one bit deep and are not used.  In the classic mode the glyph
// programs do not run (the classic interpreter is no part of this path).
void TTF2GrayMap(_TTFont *pF, _TtfGlyph *pG, uint32_t uNativeCode) {
    if (!IsValidFont(pF)) return;
    GrayScanner *gray = GrayScannerOf(&pF->Gray);
    if (gray == nullptr) return;
    ClearGrayGlyph(gray);
    HintFor(pF, true);
    const uint32_t glyph = GlyphForCode(pF, uNativeCode);
    pG->NumContours = 0;
    pG->NumComponents = 0;
    pG->GlyphBudget = kGlyphBudgetFloor;
    pG->AdvanceDrawn = 0;
    pG->FromImage = 0;
    bool hinted = false;
    if (pF->Cff != nullptr) {
        if (LoadCffGlyph(pF, pG, glyph)) ScanCubicOutlineGray(gray, pG->Cubic);
    } else if (Faithful(pF) && UsesAutohinter(pF)) {
        if (LoadAutohinted(pF, pG, glyph, AutohintTarget::kGray))
            ScanOutlineGray(gray, ContourCount(pG->NumContours), pG->EndPoints, pG->Zone1);
    } else if (LoadFaithfully(pF, pG, glyph, &hinted)) {
        ScanOutlineGray(gray, ContourCount(pG->NumContours), pG->EndPoints, pG->Zone1);
    }
    FreeGlyphInstructions(pG);
}

void TTF2BitMap(_TTFont *pF, _TtfGlyph *pG, uint32_t uNativeCode) {
    if (!IsValidFont(pF)) return;
    HintFor(pF, false);
    const uint32_t glyph = GlyphForCode(pF, uNativeCode);

    pG->NumContours = 0;
    pG->NumComponents = 0;
    pG->GlyphBudget = kGlyphBudgetFloor;  // for all the glyph's programs together
    ZapScanBuffer(&pG->S);
    ZapBitMap(&pG->BM);
    pG->AdvanceDrawn = 0;
    pG->FromImage = 0;
    const bool faithful = Faithful(pF);
    // A strike's hand-drawn image, where the size has one, replaces the
    // outline and its programs.
    const ImageLayout layout = faithful ? ImageLayout::kFitted : ImageLayout::kInFontBox;
    if ((pF->RenderOptions & kEmbeddedBitmaps) && DrawEmbeddedImage(pF, pG, glyph, layout)) return;
    if (pF->Cff != nullptr)
        DrawCffGlyph(pF, pG, glyph);
    else if (faithful && UsesAutohinter(pF))
        DrawAutohinted(pF, pG, glyph);
    else if (faithful)
        DrawFaithfully(pF, pG, glyph);
    else
        DrawClassically(pF, pG, glyph);
    // Blocks the load left behind without running them (hinting switched
    // off, a glyph too small to draw, a load that failed half-way) go now,
    // so that no glyph leaks its programs into the next one.
    FreeGlyphInstructions(pG);
}

}  // namespace kelmor
