// The font object's life: opening a font file into a font object, sizing it,
// closing it.
#include "ttf/font/ttf.h"

#include "common/text.h"
#include "kelmor.h"
#include "ttf/font/font_error.h"
#include "ttf/sfnt/ttf_gsub.h"
#include "ttf/cff/cff.h"
#include "ttf/raster/scgray.h"

#include <cstdlib>
#include <cstring>

namespace kelmor {

// ---------------------------------------------------------------- font object

namespace {

// The program and control-value tables, kept as length-prefixed blocks, and
// the scaled control-value table that goes with "cvt ".
bool LoadProgramTables(_TTFont *pF) {
    pF->FontProgram = GetTable(pF, pF->lpsfntTable[kSlotFpgm]);
    pF->controlTable = GetTable(pF, pF->lpsfntTable[kSlotCvt]);
    pF->PrepInstructions = GetTable(pF, pF->lpsfntTable[kSlotPrep]);
    if (pF->controlTable == nullptr) return true;
    size_t entries = size_t(BlockLength(pF->controlTable)) / 2;
    // One slot at least, so that a one-byte table does not look like a
    // failed allocation.
    pF->G.lControlTable =
        static_cast<int32_t *>(std::calloc(entries > 0 ? entries : 1, sizeof(int32_t)));
    return pF->G.lControlTable != nullptr;
}

// The entries stay in the file: GetGlyphIndex reads the two a glyph needs
// through the read-ahead windows, which a CJK font's tens of kilobytes of
// loca would otherwise double in memory and in the cost of every open.
bool LoadLoca(_TTFont *pF) {
    pF->LocaLength = (pF->FontHeader.indexToLocFormat.BE == 0) ? 2 : 4;
    pF->LocaSize = (int32_t(pF->leMaximumProfile.numGlyphs) + 1) * pF->LocaLength;
    return true;
}

bool LoadComponentTable(_TTFont *pF) {
    int n = ComponentCapacity(pF->leMaximumProfile);
    if (n == 0) return true;
    pF->G.GC = static_cast<GlyphComponent *>(std::calloc(size_t(n), sizeof(GlyphComponent)));
    return pF->G.GC != nullptr;
}

// Records why the font could not be opened and releases what was built.
_TTFont *FailOpen(int32_t error, _TTFont *pF) { return FailWith(error, CloseTTF(pF)); }

// A required table that cannot be read: in a file that does not start as a
// font, the file is the problem; in one that does, the table.
int32_t RequiredTableError(const _TTFont *pF) {
    return KnownSfntVersion(pF) ? KELMOR_ERROR_MISSING_TABLE : KELMOR_ERROR_NOT_A_FONT;
}

// A directory that cannot be read: a face past the collection's faces, or
// no font (nor collection) at all.
int32_t DirectoryError(const _TTFont *pF) {
    return pF->FaceCount > 0 && pF->FaceIndex >= pF->FaceCount ? KELMOR_ERROR_NO_SUCH_FACE
                                                                : KELMOR_ERROR_NOT_A_FONT;
}

int32_t InterpreterMemoryError(int result) {
    switch (result) {
        case kInsMemoryTooManyPoints: return KELMOR_ERROR_TOO_MANY_POINTS;
        case kInsMemoryInstructionDefs: return KELMOR_ERROR_INSTRUCTION_DEFS;
        case kInsMemoryBeyondLimits: return KELMOR_ERROR_BEYOND_LIMITS;
        default: return KELMOR_ERROR_OUT_OF_MEMORY;
    }
}

int32_t FileOpenError(FileOpenFailure why) {
    switch (why) {
        case FileOpenFailure::kNotFound: return KELMOR_ERROR_FILE_NOT_FOUND;
        case FileOpenFailure::kNotRegular: return KELMOR_ERROR_NOT_A_FILE;
        default: return KELMOR_ERROR_FILE_UNREADABLE;
    }
}

// Everything after the object exists; KELMOR_ERROR_NONE, or the reason the
// first required step that failed gives.
int32_t BuildFontObject(_TTFont *pF) {
    InitsfntTables();
    const int tables = ReadTTFHeaders(pF);
    if (tables < 0) return DirectoryError(pF);
    ListTables(pF, tables);
    // Outlines kept only in a form the rasterizer cannot draw would open and
    // draw every glyph blank: the font is refused instead.
    if (ForeignOutlineTag(pF) != nullptr) return KELMOR_ERROR_FOREIGN_OUTLINES;
    if (!OpenCffOutlines(pF)) return KELMOR_ERROR_FOREIGN_OUTLINES;
    if (GetheadHeader(pF, pF->lpsfntTable[kSlotHead]) == 0) return RequiredTableError(pF);
    GetHorizontalHeader(pF, pF->lpsfntTable[kSlotHhea]);
    if (GetmaxpHeader(pF, pF->lpsfntTable[kSlotMaxp]) == 0) return RequiredTableError(pF);
    if (GetName(pF, pF->lpsfntTable[kSlotName]) <= 0) return RequiredTableError(pF);
    if (GetCmap(pF, pF->lpsfntTable[kSlotCmap]) <= 0) return RequiredTableError(pF);
    Getmort(pF, pF->lpsfntTable[kSlotMort]);

    pF->csFont = CharsetFromEncodingID(FontEncodingID(pF));

    if (!LoadProgramTables(pF) || !LoadComponentTable(pF) || !LoadLoca(pF))
        return KELMOR_ERROR_OUT_OF_MEMORY;

    pF->G.ZonePoints[0] = int16_t(pF->leMaximumProfile.maxTwilightPoints);
    pF->G.pVF = pF;
    const int memory = InitInsMemory(pF, &pF->G);
    if (memory != kInsMemoryReady) return InterpreterMemoryError(memory);
    SetInterpreterMode(&pF->G, (pF->RenderOptions & kFaithful) != 0);
    // Once per open: its FDEFs fill the function table every later program
    // calls into.
    RunFontProgram(pF, &pF->G);
    return KELMOR_ERROR_NONE;
}

}  // namespace

// Instruction blocks still held by the glyph record (a load that failed
// half-way leaves its components' blocks behind).
void FreeGlyphInstructions(_TtfGlyph *pG) {
    pG->instructions = static_cast<uint8_t *>(FreeBuffer(pG->instructions));
    if (pG->GC == nullptr) return;
    for (int i = 0; i < pG->NumComponents; ++i)
        pG->GC[i].instructions = static_cast<uint8_t *>(FreeBuffer(pG->GC[i].instructions));
}

_TTFont *NewTTFont(FILE *file) {
    _TTFont *pF = static_cast<_TTFont *>(std::calloc(1, sizeof(_TTFont)));
    if (pF == nullptr) {
        std::fclose(file);
        return nullptr;
    }
    pF->lMagic = kMagicKELM;
    pF->InFile = file;
    return pF;
}

_TTFont *OpenTTF(const char *lpszFileName) { return OpenTTFFace(lpszFileName, 0, false); }

_TTFont *OpenTTFFace(const char *lpszFileName, uint32_t face, bool beyondLimits) {
    if (lpszFileName == nullptr) return FailOpen(KELMOR_ERROR_BAD_ARGUMENT, nullptr);
    FileOpenFailure why = FileOpenFailure::kNone;
    FILE *file = OpenTTFFile(lpszFileName, &why);
    if (file == nullptr) return FailOpen(FileOpenError(why), nullptr);
    _TTFont *pF = NewTTFont(file);
    if (pF == nullptr) return FailOpen(KELMOR_ERROR_OUT_OF_MEMORY, nullptr);
    pF->FaceIndex = face;
    pF->BeyondLimits = beyondLimits ? 1 : 0;
    pF->lpszFileName = CopyString(lpszFileName);
    if (pF->lpszFileName == nullptr) return FailOpen(KELMOR_ERROR_OUT_OF_MEMORY, pF);
    const int32_t error = BuildFontObject(pF);
    if (error != KELMOR_ERROR_NONE) return FailOpen(error, pF);
    return pF;
}

_TTFont *CloseTTF(_TTFont *pF) {
    if (!IsValidFont(pF)) return nullptr;
    FreeBuffers(pF);
    CloseCffOutlines(pF);
    ReleaseAutohint(pF);
    FreeGlyphInstructions(&pF->G);
    FreeGlyphRecords(&pF->G);
    FreeInsMemory(&pF->G);
    FreeBuffer(pF->CmapBuffer);
    FreeBuffer(pF->LocaBuffer);
    FreeBuffer(pF->FontProgram);
    FreeBuffer(pF->G.lControlTable);
    FreeBuffer(pF->controlTable);
    FreeBuffer(pF->PrepInstructions);
    FreeBuffer(pF->lpNameTable);
    FreeBuffer(pF->lpMortHeader);
    FreeBuffer(pF->lpLookupSingle);
    FreeVerticalForms(pF->lpVerticalForms);
    FreeBuffer(pF->G.GC);
    FreeBuffer(pF->lpszFileName);
    if (pF->InFile != nullptr) std::fclose(pF->InFile);
    pF->lMagic = 0;  // a stale pointer to the freed object must not look valid
    std::free(pF);
    return nullptr;
}

// ---------------------------------------------------------------------- sizing

namespace {

int32_t ScaleDown(int32_t v, int32_t multiplier) {
    return int32_t(int64_t(v) * multiplier / 16384);
}
int32_t ScaleRounded(int32_t v, int32_t multiplier) {
    return int32_t((int64_t(v) * multiplier + 8192) / 16384);
}

int16_t ClampToInt16(int32_t v) {
    if (v > INT16_MAX) return INT16_MAX;
    if (v < INT16_MIN) return INT16_MIN;
    return int16_t(v);
}

// The box's vertical extent after the descender shift: a box that starts
// at the baseline moves down by the descender.  Once shifted, yMin is no
// longer 0, so the shift happens at most once per open font.
void ShiftedYRange(const _TTFont *pF, int16_t *yMin, int16_t *yMax) {
    int16_t descender = pF->HorizHeader.Descender;
    *yMin = pF->yMin;
    *yMax = pF->yMax;
    if (*yMin != 0 || descender == 0) return;
    *yMin = descender;
    *yMax = ClampToInt16(int32_t(*yMax) + descender);
}

}  // namespace

bool SizedFontBox(const _TTFont *pF, int PointSize, int Resolution, PixelBox *box) {
    if (pF->UnitsPerEm <= 0) return false;
    // The glyph record keeps both in 16 bits, from which the interpreter and
    // the strikes work out pixels per em: a larger one would reach them
    // negative.
    if (PointSize <= 0 || Resolution <= 0 || PointSize > INT16_MAX || Resolution > INT16_MAX ||
        PointSize > kMaxSizeTimesResolution / Resolution)
        return false;
    const int32_t multiplier = (PointSize * Resolution * 16384) / (int32_t(pF->UnitsPerEm) * 72);
    int16_t yMin, yMax;
    ShiftedYRange(pF, &yMin, &yMax);
    box->Multiplier = multiplier;
    box->xMinMult = ScaleDown(pF->xMin, multiplier);
    box->yMinMult = ScaleDown(yMin, multiplier);
    box->xMaxMult = ScaleRounded(pF->xMax, multiplier);
    box->yMaxMult = ScaleRounded(yMax, multiplier);
    return true;
}

void FreeBuffers(_TTFont *pF) {
    FreeScanBuffer(&pF->G.S);
    FreelpChar(&pF->G.BM);
    FreeGrayScanner(&pF->Gray);
}

int InitBuffers(_TTFont *pF, int PointSize, int Resolution) {
    if (!IsValidFont(pF)) return 1;
    FreeBuffers(pF);
    pF->cInitialized = 0;
    pF->Strike.LookedUp = 0;  // the strike of the new size, on first use
    PixelBox box;
    if (!SizedFontBox(pF, PointSize, Resolution, &box)) return -1;
    pF->Multiplier = box.Multiplier;
    pF->G.Multiplier = box.Multiplier;
    pF->G.PointSize = int16_t(PointSize);
    pF->G.Resolution = int16_t(Resolution);
    pF->G.Scale = FaithfulScale(PointSize * Resolution / 72, pF->UnitsPerEm);

    ShiftedYRange(pF, &pF->yMin, &pF->yMax);  // the one-time shift, kept in the font
    ScanInfo &S = pF->G.S;
    S.xMinMult = box.xMinMult;
    S.yMinMult = box.yMinMult;
    S.xMaxMult = box.xMaxMult;
    S.yMaxMult = box.yMaxMult;

    int32_t HPixel = S.xMaxMult - S.xMinMult + 1;
    int32_t VLines = S.yMaxMult - S.yMinMult + 1;
    if (HPixel <= 0 || VLines <= 0 || HPixel > kMaxBitmapPixels || VLines > kMaxBitmapPixels)
        return -1;
    if (InitScanBuffer(&S, uint32_t(2 * VLines + 1), MaxTransitions) == nullptr) return -1;
    if (InitlpChar(&pF->G.BM, HPixel, VLines) == nullptr) {
        FreeScanBuffer(&S);
        return -1;
    }
    pF->cInitialized = 1;

    ResetGlyph(&pF->G);
    ExecuteprepCVT(pF, &pF->G);
    return 0;
}

// The font and control-value programs run differently in the faithful
// mode, so a change of mode runs them again: the functions, storage and
// control values a glyph program finds are then those of its own mode.
void ChangeRenderOptions(_TTFont *pF, int32_t options) {
    const bool modeChanges = ((pF->RenderOptions ^ options) & kFaithful) != 0;
    pF->RenderOptions = options;
    SetInterpreterMode(&pF->G, (options & kFaithful) != 0);
    if (!modeChanges) return;
    RunFontProgram(pF, &pF->G);
    if (pF->cInitialized) ExecuteprepCVT(pF, &pF->G);
}

}  // namespace kelmor
