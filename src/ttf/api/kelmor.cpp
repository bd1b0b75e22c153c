// The rasterizer's exported functions: thin wrappers that check the handle
// and hand the font object to the module that does the work.
#include "kelmor.h"

#include <cstdint>
#include <cstring>

#include "ttf/api/handles.h"
#include "ttf/concord/scunicod.h"
#include "ttf/settings/settings.h"
#include "ttf/font/ttf.h"

using namespace kelmor;

namespace {

// A double-byte character of the desired code space as Unicode, through
// that code space's concordance.
uint32_t UnicodeFromDoubleByte(int16_t csDesired, const char *ps) {
    switch (csDesired) {
        case csShiftJIS: return ShiftJis2Unicode(ps);
        case csGB2312: return GB2Unicode(ps);
        default: return Big5_Unicode(ps);
    }
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
    switch (pF->csDesired) {
        case csShiftJIS:
        case csGB2312:
        case csBig5:
            if (pF->csFont == pF->csDesired) {
                *code = uint32_t(bytes[0]) * 256 + bytes[1];
                return true;
            }
            if (pF->csFont != csUnicode) return false;
            *code = UnicodeFromDoubleByte(pF->csDesired, ps);
            return true;
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

// The font and control-value programs run differently in the faithful
// mode, so a change of mode runs them again: the functions, storage and
// control values a glyph program finds are then those of its own mode.
void SetOptions(_TTFont *pF, int32_t options) {
    const bool modeChanges = ((pF->RenderOptions ^ options) & kFaithful) != 0;
    pF->RenderOptions = options;
    if (!modeChanges) return;
    RunFontProgram(pF, &pF->G);
    if (pF->cInitialized) ExecuteprepCVT(pF, &pF->G);
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

int32_t KELMOR_CALL OpenTTFont(const char *lpszFileName) {
    return OpenTTFontFace(lpszFileName, 0);
}

int32_t KELMOR_CALL OpenTTFontFace(const char *lpszFileName, int iFace) {
    if (iFace < 0) return 0;
    _TTFont *pF = OpenTTFFace(lpszFileName, uint32_t(iFace));
    if (pF == nullptr) return 0;
    int32_t handle = HandleFromFont(pF);
    if (handle == 0) {
        CloseTTF(pF);
        return 0;
    }
    int32_t options = pF->RenderOptions;
    if (FaithfulFromIni()) options |= kFaithful;
    if (EmbeddedBitmapsFromIni()) options |= kEmbeddedBitmaps;
    SetOptions(pF, options);
    return handle;
}

int32_t KELMOR_CALL CloseTTFont(int32_t lHandle) {
    if (_TTFont *pF = FontFromHandle(lHandle)) {
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
    _TTFont *pF = FontFromHandle(lHandle);
    if (pF == nullptr) return 0;
    return InitBuffers(pF, PointSize, Resolution) == 0 ? 1 : 0;
}

int32_t KELMOR_CALL SetEncoding(int32_t lHandle, int csDesired) {
    _TTFont *pF = FontFromHandle(lHandle);
    if (pF == nullptr) return 0;
    pF->csDesired = int16_t(csDesired);
    // The concordance is loaded whatever the font's own code space is: the
    // slots are shared by every font.
    const ConcordParams *loaded = nullptr;
    switch (csDesired) {
        case csShiftJIS: loaded = UniBuffer_new(szJis2UniFile, kSlotShiftJis); break;
        case csBig5: loaded = UniBuffer_new(szBig5_UniFile, kSlotBig5); break;
        case csGB2312: loaded = UniBuffer_new(szGb2UniFile, kSlotGB); break;
        default: return csDesired;
    }
    return loaded != nullptr ? csDesired : 0;
}

unsigned char *KELMOR_CALL GetBitmap(int32_t lHandle, const char *ps, int *lpHpixels,
                                     int *lpVpixels, char cDIB) {
    _TTFont *pF = FontFromHandle(lHandle);
    if (pF == nullptr || !pF->cInitialized) return nullptr;
    pF->iVertical = (cDIB & KELMOR_VERTICAL) ? 1 : 0;
    uint32_t code = 0;
    if (ps == nullptr || !CodeFromCallerBytes(pF, ps, &code)) return nullptr;

    const _GlyphBitMap &BM = RenderForCaller(pF, code);
    if (lpVpixels != nullptr) *lpVpixels = BM.CharVLines;
    if (lpHpixels != nullptr) *lpHpixels = BM.CharHPixels;
    return BM.lpChar;
}

int32_t KELMOR_CALL GetFontNames(int32_t lHandle, int *lpiPlatformID, int *lpiEncodingID,
                                 int *lpiLanguageID, int iNameID, char *lpszBuf, int iSize) {
    if (lpszBuf == nullptr) return 0;
    if (iSize > 0) lpszBuf[0] = '\0';
    _TTFont *pF = FontFromHandle(lHandle);
    if (pF == nullptr || lpiPlatformID == nullptr || lpiEncodingID == nullptr ||
        lpiLanguageID == nullptr)
        return 0;
    return FontNames(pF, lpiPlatformID, lpiEncodingID, lpiLanguageID, iNameID, lpszBuf, iSize);
}

int32_t KELMOR_CALL SetRenderOptions(int32_t lHandle, int iOptions) {
    _TTFont *pF = FontFromHandle(lHandle);
    if (pF == nullptr) return -1;
    const int32_t before = pF->RenderOptions;
    // Bits we give no meaning yet are kept for the options to come; only the
    // sign bit goes, so that no stored value can ever read back as -1.
    SetOptions(pF, int32_t(iOptions) & INT32_MAX);
    return before;
}

int32_t KELMOR_CALL GetGlyphMetrics(int32_t lHandle, const char *ps,
                                    KelmorGlyphMetrics *lpMetrics) {
    _TTFont *pF = FontFromHandle(lHandle);
    if (pF == nullptr || !pF->cInitialized || ps == nullptr || lpMetrics == nullptr) return 0;
    uint32_t code = 0;
    if (!CodeFromCallerBytes(pF, ps, &code)) return 0;
    // The ink box is measured on the glyph as GetBitmap would deliver it, and
    // the bitmap a host already holds for this code stays as it was.
    RenderForCaller(pF, code);
    MeasureRenderedGlyph(pF, GlyphForCode(pF, code), lpMetrics);
    return 1;
}

}  // extern "C"
