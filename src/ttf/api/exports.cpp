// The rasterizer's exported functions: thin wrappers that check the handle
// and hand the font object to the module that does the work.
#include "kelmor.h"

#include <cstdint>
#include <cstring>

#include "ttf/api/handles.h"
#include "ttf/concord/scunicod.h"
#include "ttf/settings/settings.h"
#include "ttf/font/font_error.h"
#include "ttf/font/ttf.h"
#include "ttf/raster/scgray.h"

using namespace kelmor;

namespace {

// The double-byte code spaces: the concordance slot and file that take each
// to Unicode, and the font map that takes its codes as they are (GBK's codes
// include GB 2312's, so a GB-mapped font takes both).
struct DoubleByteSpace {
    int16_t charset;
    int slot;
    const char *file;
    int16_t fontMap;
};

const DoubleByteSpace *DoubleByteSpaceOf(int16_t charset) {
    static const DoubleByteSpace spaces[] = {
        {csShiftJIS, kSlotShiftJis, szJis2UniFile, csShiftJIS},
        {csBig5, kSlotBig5, szBig5_UniFile, csBig5},
        {csGB2312, kSlotGB, szGb2UniFile, csGB2312},
        {csGBK, kSlotGBK, szGbkUniFile, csGB2312},
        {csWansung, kSlotWansung, szWans2UniFile, csWansung},
    };
    for (const DoubleByteSpace &space : spaces)
        if (space.charset == charset) return &space;
    return nullptr;
}

// A 32-bit value in host order at any alignment.
uint32_t HostOrder32At(const char *ps) {
    uint32_t value;
    std::memcpy(&value, ps, sizeof value);
    return value;
}

// The caller's character bytes as one code of the font's cmap, or false
// when this combination of desired and font character sets is unsupported.
bool CodeFromCallerBytes(const _TTFont *pF, const char *ps, uint32_t *code) {
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(ps);
    if (const DoubleByteSpace *space = DoubleByteSpaceOf(pF->csDesired)) {
        if (pF->csFont == space->fontMap) {
            *code = uint32_t(bytes[0]) * 256 + bytes[1];
            return true;
        }
        if (pF->csFont != csUnicode) return false;
        // Through the concordance, or, for a single-byte character (zero
        // lead byte), straight to the font's own map.
        *code = DbcsToUnicode(space->slot, ps);
        return true;
    }
    switch (pF->csDesired) {
        case csUnicode:
            // Code points reach only a font whose own map is Unicode.
            if (pF->csFont != csUnicode) return false;
            *code = HostOrder32At(ps);
            return true;
        case csGlyphNumber:
            *code = HostOrder32At(ps);
            return true;
        default:
            return false;
    }
}

// The font behind a handle; null, with the thread's error set, for a bad one.
_TTFont *FontOrFail(int32_t lHandle) {
    _TTFont *pF = FontFromHandle(lHandle);
    if (pF == nullptr) SetFontError(KELMOR_ERROR_BAD_HANDLE);
    return pF;
}

// A sized font behind a handle, as drawing needs it; null with the error set.
_TTFont *SizedFontOrFail(int32_t lHandle) {
    _TTFont *pF = FontOrFail(lHandle);
    if (pF == nullptr || pF->cInitialized) return pF;
    return FailWith<_TTFont *>(KELMOR_ERROR_NOT_SIZED, nullptr);
}

// CodeFromCallerBytes, with the error set when there is no code.
bool CodeOrFail(const _TTFont *pF, const char *ps, uint32_t *code) {
    if (ps == nullptr) return FailWith(KELMOR_ERROR_BAD_ARGUMENT, false);
    if (!CodeFromCallerBytes(pF, ps, code)) return FailWith(KELMOR_ERROR_ENCODING, false);
    return true;
}

// The glyph the code maps to (0: none), told to the thread's error too, so
// that a host can see that GetBitmap drew the missing glyph for it.
uint32_t NoteMapping(_TTFont *pF, uint32_t code) {
    const uint32_t glyph = MappedGlyph(pF, code);
    SetFontError(glyph != 0 ? KELMOR_ERROR_NONE : KELMOR_ERROR_NOT_MAPPED);
    return glyph;
}

// Draws the glyph and inverts it as callers receive it (ink 0).
const _GlyphBitMap &RenderForCaller(_TTFont *pF, uint32_t code) {
    TTF2BitMap(pF, &pF->G, code);
    _GlyphBitMap &BM = pF->G.BM;
    InvertBits(BM.lpChar, BM.MemSize);
    return BM;
}

}  // namespace

extern "C" {

}  // extern "C"

namespace {

// The options a font opened by a host starts with, from the ini file.
constexpr RenderingSwitch kRenderingSwitches[] = {
    {"Faithful", kFaithful},
    {"EmbeddedBitmaps", kEmbeddedBitmaps},
    // AutoHint=0: fonts without programs are drawn scaled, not auto-hinted.
    {"AutoHint", kNoAutohint, true},
};

// Opens face iFace and gives it a handle.  Hosts that set Faithful=1 in the
// ini file have asked for the published behaviour, limits included.
int32_t OpenFontHandle(const char *lpszFileName, int iFace, bool beyondLimits) {
    if (iFace < 0) return FailWith(KELMOR_ERROR_BAD_ARGUMENT, 0);
    const int32_t fromIni = RenderingOptionsFromIni(kRenderingSwitches);
    const bool faithful = (fromIni & kFaithful) != 0;
    _TTFont *pF = OpenTTFFace(lpszFileName, uint32_t(iFace), beyondLimits || faithful);
    if (pF == nullptr) return 0;  // the error says why
    int32_t handle = HandleFromFont(pF);
    if (handle == 0) {
        CloseTTF(pF);
        return FailWith(KELMOR_ERROR_TOO_MANY_FONTS, 0);
    }
    ChangeRenderOptions(pF, pF->RenderOptions | fromIni);
    return handle;
}

}  // namespace

extern "C" {

int32_t KELMOR_CALL OpenTTFont(const char *lpszFileName) {
    return OpenFontHandle(lpszFileName, 0, false);
}

// The extension entry opens every font the file holds, past the classic
// limits too.
int32_t KELMOR_CALL OpenTTFontFace(const char *lpszFileName, int iFace) {
    return OpenFontHandle(lpszFileName, iFace, true);
}

int32_t KELMOR_CALL CloseTTFont(int32_t lHandle) {
    if (_TTFont *pF = FontOrFail(lHandle)) {
        ReleaseHandle(lHandle);
        CloseTTF(pF);
    }
    return 0;
}

int32_t KELMOR_CALL SetDebugLevel(const char *lpszFileName, int iLevel) {
    return SetGlobalDebugLevel(lpszFileName, iLevel) != nullptr ? 1 : 0;
}

int32_t KELMOR_CALL GetFontInfo(int32_t lHandle) { return 0; }

int32_t KELMOR_CALL SetPointSize(int32_t lHandle, int PointSize, int Resolution) {
    _TTFont *pF = FontOrFail(lHandle);
    if (pF == nullptr) return 0;
    if (InitBuffers(pF, PointSize, Resolution) == 0) return 1;
    // Beyond the supported sizes, or a box too large for the scan buffer:
    // an allocation of a few kilobytes failing is the rarer cause.
    return FailWith(KELMOR_ERROR_BAD_SIZE, 0);
}

int32_t KELMOR_CALL SetEncoding(int32_t lHandle, int csDesired) {
    _TTFont *pF = FontOrFail(lHandle);
    if (pF == nullptr) return 0;
    pF->csDesired = int16_t(csDesired);
    // The concordance is loaded whatever the font's own code space is: the
    // slots are shared by every font.
    const DoubleByteSpace *space = DoubleByteSpaceOf(int16_t(csDesired));
    if (space == nullptr) return csDesired;
    if (UniBuffer_new(space->file, space->slot) != nullptr) return csDesired;
    return FailWith(KELMOR_ERROR_NO_CONCORDANCE, 0);
}

unsigned char *KELMOR_CALL GetBitmap(int32_t lHandle, const char *ps, int *lpHpixels,
                                     int *lpVpixels, char cDIB) {
    _TTFont *pF = SizedFontOrFail(lHandle);
    if (pF == nullptr) return nullptr;
    pF->iVertical = (cDIB & KELMOR_VERTICAL) ? 1 : 0;
    uint32_t code = 0;
    if (!CodeOrFail(pF, ps, &code)) return nullptr;
    // A code the font lacks still draws glyph 0, as hosts have always had
    // it; the thread's error tells a host that wants to know.
    NoteMapping(pF, code);

    const _GlyphBitMap &BM = RenderForCaller(pF, code);
    if (lpVpixels != nullptr) *lpVpixels = BM.CharVLines;
    if (lpHpixels != nullptr) *lpHpixels = BM.CharHPixels;
    return BM.lpChar;
}

int32_t KELMOR_CALL GetFontNames(int32_t lHandle, int *lpiPlatformID, int *lpiEncodingID,
                                 int *lpiLanguageID, int iNameID, char *lpszBuf, int iSize) {
    if (lpszBuf == nullptr) return FailWith(KELMOR_ERROR_BAD_ARGUMENT, 0);
    if (iSize > 0) lpszBuf[0] = '\0';
    _TTFont *pF = FontOrFail(lHandle);
    if (pF == nullptr) return 0;
    if (lpiPlatformID == nullptr || lpiEncodingID == nullptr || lpiLanguageID == nullptr)
        return FailWith(KELMOR_ERROR_BAD_ARGUMENT, 0);
    return FontNames(pF, lpiPlatformID, lpiEncodingID, lpiLanguageID, iNameID, lpszBuf, iSize);
}

int32_t KELMOR_CALL SetRenderOptions(int32_t lHandle, int iOptions) {
    _TTFont *pF = FontOrFail(lHandle);
    if (pF == nullptr) return -1;
    const int32_t before = pF->RenderOptions;
    // Bits we give no meaning yet are kept for the options to come; only the
    // sign bit goes, so that no stored value can ever read back as -1.
    ChangeRenderOptions(pF, int32_t(iOptions) & INT32_MAX);
    return before;
}

int32_t KELMOR_CALL GetGlyphMetrics(int32_t lHandle, const char *ps,
                                    KelmorGlyphMetrics *lpMetrics) {
    _TTFont *pF = SizedFontOrFail(lHandle);
    if (pF == nullptr) return 0;
    if (lpMetrics == nullptr) return FailWith(KELMOR_ERROR_BAD_ARGUMENT, 0);
    uint32_t code = 0;
    if (!CodeOrFail(pF, ps, &code)) return 0;
    NoteMapping(pF, code);
    // The ink box is measured on the glyph as GetBitmap would deliver it, and
    // the bitmap a host already holds for this code stays as it was.
    RenderForCaller(pF, code);
    MeasureRenderedGlyph(pF, GlyphForCode(pF, code), lpMetrics);
    return 1;
}

int32_t KELMOR_CALL GetGlyphIndex(int32_t lHandle, const char *ps) {
    _TTFont *pF = FontOrFail(lHandle);
    if (pF == nullptr) return -1;
    uint32_t code = 0;
    if (ps == nullptr) return FailWith(KELMOR_ERROR_BAD_ARGUMENT, -1);
    // An encoding that cannot reach the font maps nothing in it.
    if (!CodeOrFail(pF, ps, &code)) return 0;
    return int32_t(NoteMapping(pF, code));
}

unsigned char *KELMOR_CALL GetGrayBitmap(int32_t lHandle, const char *ps, int *lpHpixels,
                                         int *lpVpixels, char cDIB, int iBitsPerPixel,
                                         KelmorGlyphMetrics *lpMetrics) {
    _TTFont *pF = SizedFontOrFail(lHandle);
    if (pF == nullptr) return nullptr;
    if (iBitsPerPixel != 1 && iBitsPerPixel != 2 && iBitsPerPixel != 4 && iBitsPerPixel != 8)
        return FailWith<unsigned char *>(KELMOR_ERROR_BAD_ARGUMENT, nullptr);
    pF->iVertical = (cDIB & KELMOR_VERTICAL) ? 1 : 0;
    uint32_t code = 0;
    if (!CodeOrFail(pF, ps, &code)) return nullptr;
    NoteMapping(pF, code);
    TTF2GrayMap(pF, &pF->G, code);
    if (pF->Gray == nullptr) return FailWith<unsigned char *>(KELMOR_ERROR_OUT_OF_MEMORY, nullptr);
    const GrayGlyph g = GrayGlyphOf(*pF->Gray);
    int32_t rowBytes = 0;
    unsigned char *levels = const_cast<unsigned char *>(PackedGrayLevels(pF->Gray, iBitsPerPixel, &rowBytes));
    if (levels == nullptr && g.width > 0) return FailWith<unsigned char *>(KELMOR_ERROR_OUT_OF_MEMORY, nullptr);
    if (lpHpixels != nullptr) *lpHpixels = levels != nullptr ? g.width : 0;
    if (lpVpixels != nullptr) *lpVpixels = levels != nullptr ? g.rows : 0;
    if (lpMetrics != nullptr) MeasureGrayGlyph(pF, GlyphForCode(pF, code), lpMetrics);
    return levels;
}

int32_t KELMOR_CALL GetLastFontError(void) { return LastFontError(); }

const char *KELMOR_CALL GetFontErrorText(int iError) { return FontErrorText(iError); }

}  // extern "C"
