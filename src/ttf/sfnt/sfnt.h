// The sfnt stage: the table directory and fixed tables, the character maps
// and the vertical-form table, loading and scaling glyph outlines.
#ifndef KELMOR_TTF_SFNT_SFNT_H
#define KELMOR_TTF_SFNT_SFNT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/files.h"
#include "ttf/records/ttf_records.h"
#include "ttf/sfnt/bigend.h"

namespace kelmor {

// A 64-bit intermediate result brought back to 32 bits, saturating.
inline int32_t Clamp32(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v);
}

// Font units (or 16-bit control values) to F26Dot6: v * Multiplier / 256,
// truncated toward zero.  Worked out in 64 bits; a result beyond 32 bits
// (sizes outside the supported range) is clamped instead of wrapping.
inline int32_t ScaleFUnits(int32_t v, int32_t Multiplier) {
    return Clamp32(int64_t(v) * Multiplier / 256);
}

// The faithful mode scales as TrueType rasterizers do: one 16.16 factor,
// ppem * 64 / unitsPerEm rounded, and every value multiplied by it with
// the product rounded half away from zero.  0 for a font without units per
// em.
inline int32_t FaithfulScale(int32_t ppem, int32_t unitsPerEm) {
    if (unitsPerEm <= 0) return 0;
    return Clamp32(((int64_t(ppem) << 22) + unitsPerEm / 2) / unitsPerEm);
}
inline int32_t ScaleFUnitsRounded(int32_t v, int32_t scale) {
    const int64_t product = int64_t(v) * scale;
    const int64_t magnitude = ((product < 0 ? -product : product) + 0x8000) >> 16;
    return Clamp32(product < 0 ? -magnitude : magnitude);
}

// --------------------------------------- directory and tables (ttf_tables.cpp)

extern char sfntTableTags[kMaxTables][4];

// `why`, when not null, says why the file could not be opened.
FILE *OpenTTFFile(const char *lpszFileName, FileOpenFailure *why = nullptr);
// Whether the offset table starts as a TrueType or OpenType font does
// (0x00010000, "true" or "OTTO").
bool KnownSfntVersion(const _TTFont *pF);
void InitsfntTables();
// Reads the offset table and directory of face pF->FaceIndex: the file's own
// for a single font, the one a collection's header points to for a .ttc
// (whose tables keep offsets from the start of the file).  -1 when the
// header cannot be read or names no such face.
int ReadTTFHeaders(_TTFont *pF);
// Faces a collection may declare: far more than any real collection has,
// and it keeps a lying count from meaning anything.
constexpr uint32_t kMaxFaces = 4096;
void ListTables(_TTFont *pF, int NumTables);
// The directory entry with this tag, for tables outside the known-tag list;
// null when the font has none.
const TableDirectoryStruct *FindTable(const _TTFont *pF, const char tag[4]);
// The tag of the table that holds the font's outlines when it has neither
// glyf nor "CFF " but outlines or images the rasterizer cannot draw ("CFF2",
// "EBDT", ...); null for a font that has glyf or "CFF ", or none of those.
// Such a font would open and draw every glyph blank.
const char *ForeignOutlineTag(const _TTFont *pF);
// Table blocks (and the name, cmap and mort buffers) come from std::malloc.
// FreeBuffer releases one of them (or any malloc block) and returns null.
void *FreeBuffer(void *p);
uint8_t *GetTable(_TTFont *pF, const TableDirectoryStruct *pEntry);
// Length and bytes of a length-prefixed block (0 / null for a null block).
int32_t BlockLength(const uint8_t *block);
const uint8_t *BlockBytes(const uint8_t *block);

int32_t GetheadHeader(_TTFont *pF, const TableDirectoryStruct *pEntry);
int32_t GetHorizontalHeader(_TTFont *pF, const TableDirectoryStruct *pEntry);
int32_t GetmaxpHeader(_TTFont *pF, const TableDirectoryStruct *pEntry);
int32_t Getloca(_TTFont *pF, const TableDirectoryStruct *pEntry);
int32_t GetGlyphIndex(_TTFont *pF, uint32_t GlyphNo);
int32_t GetName(_TTFont *pF, const TableDirectoryStruct *pEntry);
int32_t CopySingleBytes(char *pD, const char *pC, int32_t j);
// A name record's (compacted) text as the name listing shows it: at most
// size - 1 bytes, terminated.  `r` is one of the font's read records.
void NameRecordText(const _TTFont *pF, const _nameRecord *r, char *buf, size_t size);
// The name records with their strings compacted (zero bytes dropped), which
// happens on the first call; null when the font has no name table.
const _nameRecord *CompactedNameRecords(_TTFont *pF);
int32_t FontNames(_TTFont *pF, int *lpiPlatformID, int *lpiEncodingID, int *lpiLanguageID,
                  int iNameID, char *lpszBuf, int iSize);

// ----------------------------------------- character mapping (ttf_cmap.cpp)

int32_t GetCmap(_TTFont *pF, const TableDirectoryStruct *pEntry);
int32_t Getmort(_TTFont *pF, const TableDirectoryStruct *pEntry);
uint32_t GetGlyphNo(_TTFont *pF, uint32_t c);
// Whether the font's character set came from its format-4 sub-table (one
// with a non-zero encoding was kept), and the encoding ID it came from.
bool CharsetFromSegmentTable(const _TTFont *pF);
uint32_t FontEncodingID(const _TTFont *pF);
// Whether GetGlyphNo answers from the format-2 sub-table.
bool LooksUpInHighByteTable(const _TTFont *pF);
uint32_t GetGlyphNoFromHiLo(_TTFont *pF, uint32_t c);
uint32_t GetVertical(_TTFont *pF, uint32_t uGlyphNo);
int16_t CharsetFromEncodingID(uint32_t encodingID);

// ------------------------------------------- glyph loading (ttf_glyph.cpp)

// Entries of the component table G.GC: room for every simple glyph a
// composite can record, nested composites included.
int ComponentCapacity(const leMaxpHeader &maxp);

// Pixels per em of the size the glyph record is set to: what the loaders
// scale to, what MPPEM answers and DELTA instructions match, and what the
// driver hands the scanners and the auto-hinter.
inline int32_t PixelsPerEm(const _TtfGlyph *pG) {
    return int32_t(pG->PointSize) * pG->Resolution / 72;
}

int GetGlyph(_TTFont *pF, _TtfGlyph *pG, int GlyphNo, int16_t *pContourCounter,
             int16_t *lpNextEndPoint, TTFCoord *lpCoords, int Recursion);
// The points of contours 0 .. NumContours-1 (relative contour ends),
// counted from their first point; 0 when there are none.
int PointsOfContours(int NumContours, const int16_t *lpEndPoints);
void ScalePoints(int NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart,
                 int32_t Multiplier);
void SetPrev2Cur(int NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart);
// Releases the glyph record buffers kept between loads.
void FreeGlyphRecords(_TtfGlyph *pG);

// What the faithful load asks of the stage that runs programs: run the
// program in pG->instructions (and release it) over the `points` points of
// Zone1 from `firstPoint` plus the kPhantomPoints after them, whose
// contours are the `contours` entries of EndPoints from `firstContour`
// (numbered from `firstPoint`).  `program` is kGlyphProgram for the glyph
// drawn, kComponentProgram for a glyph it is built of.
struct OutlineHinter {
    virtual ~OutlineHinter() = default;
    virtual void Hint(_TtfGlyph *pG, int firstPoint, int points, int firstContour, int contours,
                      int program) = 0;
};

// Loads glyph `GlyphNo` as TrueType does, hinting each glyph through
// `hinter` as it is loaded (null: no hinting): scaled with pG->Scale, every
// glyph with its phantom points, a composite assembled from its hinted
// components and then hinted itself.  Leaves NumContours, EndPoints (equal
// to AbsEndPoints), the outline in Zone1 moved so that the origin phantom
// point is at x = 0, and Phantom (likewise moved; when the glyph is hinted
// and hdmx has its width at this size, the advance point sits that many
// whole pixels from the origin, as TrueType rasterizers report the
// advance); NumComponents is 0.
// The number of the last point, or -1 when nothing was loaded.
int LoadGlyphFaithfully(_TTFont *pF, _TtfGlyph *pG, int GlyphNo, OutlineHinter *hinter);

// ------------------------------------- side bearings (ttf_sidebearings.cpp)

// A glyph's metrics in font units: hmtx's; vmtx's when the font has vhea
// and vmtx, else a top bearing and height from the typographic ascender and
// descender (OS/2's, or hhea's), measured from `yMax`, the glyph's top.
struct GlyphSideMetrics {
    int32_t leftSideBearing, advanceWidth;
    int32_t topSideBearing, advanceHeight;
};
GlyphSideMetrics SideMetrics(_TTFont *pF, uint32_t glyph, int32_t yMax);
// The advance in whole pixels the hdmx table gives `glyph` at `ppem`, for a
// font that is not monospaced (post) and has a record for that size; false
// otherwise.
bool DeviceAdvance(_TTFont *pF, uint32_t glyph, int32_t ppem, int32_t *pixels);

}  // namespace kelmor

#endif
