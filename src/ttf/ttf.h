// The font object, the sfnt table records and the operations of the
// rasterizer's main module (open/close/sizing, tables, character mapping,
// glyph loading, bitmap driver, debug log).
#ifndef KELMOR_TTF_TTF_H
#define KELMOR_TTF_TTF_H

#include <cstdint>
#include <cstdio>

#include "ttf/bigend.h"
#include "ttf/file_cache.h"
#include "ttf/instruct.h"
#include "ttf/scbitmap.h"
#include "ttf/scscan.h"

struct KelmorGlyphMetrics;  // the public record of kelmor.h

namespace kelmor {

// "KELM" read as one 32-bit value from the four bytes in memory order.
constexpr uint32_t kMagicKELM = uint32_t('K') | (uint32_t('E') << 8) |
                                (uint32_t('L') << 16) | (uint32_t('M') << 24);

// Character-set codes.
constexpr int16_t csSingleByte = 0;
constexpr int16_t csShiftJIS = 128;
constexpr int16_t csGB2312 = 134;
constexpr int16_t csBig5 = 136;
constexpr int16_t csUnicode = 137;
constexpr int16_t csGlyphNumber = 241;

constexpr int kMaxTables = 35;
constexpr int kKnownTags = 18;

// Slots of the known-tag list.
enum sfntSlot {
    kSlotCmap = 0, kSlotGlyf, kSlotHead, kSlotHhea, kSlotHmtx, kSlotLoca, kSlotMaxp,
    kSlotName, kSlotPost, kSlotCvt, kSlotFpgm, kSlotHdmx, kSlotKern, kSlotPrep,
    kSlotLTSH, kSlotOS2, kSlotVDMX, kSlotMort
};

// ------------------------------------------------------------ file records

struct OffsetTableStruct {
    Fixed version;
    uint16 numTables;
    uint16 searchRange;
    uint16 entrySelector;
    uint16 rangeShift;
};
static_assert(sizeof(OffsetTableStruct) == 12, "sfnt header is 12 bytes");

struct TableDirectoryStruct {
    char tag[4];
    uint32 checkSum;
    uint32 offset;
    uint32 length;
};
static_assert(sizeof(TableDirectoryStruct) == 16, "directory entry is 16 bytes");

struct headHeader {
    Fixed version;
    Fixed fontRevision;
    uint32 checkSumAdjustment;
    uint32 magicNumber;
    uint16 flags;
    uint16 unitsPerEm;
    uint8_t created[8];
    uint8_t modified[8];
    int16 xMin;
    int16 yMin;
    int16 xMax;
    int16 yMax;
    uint16 macStyle;
    uint16 lowestRecPPEM;
    int16 fontDirectionHint;
    int16 indexToLocFormat;
    int16 glyphDataFormat;
};
static_assert(sizeof(headHeader) == 54, "head is 54 bytes");

struct horizontalHeader {
    Fixed version;
    int16_t Ascender;   // converted to host order when read
    int16_t Descender;  // converted to host order when read
    int16_t LineGap;    // converted to host order when read
    uint16 advanceWidthMax;
    int16 minLeftSideBearing;
    int16 minRightSideBearing;
    int16 xMaxExtent;
    int16_t caretSlopeRise;
    int16_t caretSlopeRun;
    int16_t reserved0, reserved1, reserved2, reserved3, reserved4, reserved5;
    int16_t metricDataFormat;
    uint16 numberLongMetrics;
};
static_assert(sizeof(horizontalHeader) == 38, "hhea is 38 bytes");

struct maxpHeader {
    Fixed version;
    uint16 numGlyphs, maxPoints, maxContours, maxComponentPoints, maxComponentContours,
        maxZones, maxTwilightPoints, maxStorage, maxFunctionDefs, maxInstructionDefs,
        maxStackElements, maxSizeOfInstructions, maxComponentElements, maxComponentDepth;
};
static_assert(sizeof(maxpHeader) == 32, "maxp record is 32 bytes");

// maxp in host order.
struct leMaxpHeader {
    uint32_t version;
    uint16_t numGlyphs, maxPoints, maxContours, maxComponentPoints, maxComponentContours,
        maxZones, maxTwilightPoints, maxStorage, maxFunctionDefs, maxInstructionDefs,
        maxStackElements, maxSizeOfInstructions, maxComponentElements, maxComponentDepth;
};

struct _nameHeader {  // converted to host order in place
    uint16_t format;
    uint16_t uNameRecs;
    uint16_t uStrings;
};
struct _nameRecord {  // converted to host order in place
    uint16_t bePlatformID;
    uint16_t bePlatformEncodingID;
    uint16_t beLanguageID;
    uint16_t beNameID;
    uint16_t beStringLength;
    uint16_t beStringOffset;
};
static_assert(sizeof(_nameHeader) == 6 && sizeof(_nameRecord) == 12, "name records");

struct cmapHeader {
    uint16 Version;
    uint16 EncodingTables;
};
struct cmapSubTableDirectory {  // converted to host order in place
    uint16_t PlatformID;
    uint16_t SpecificEncodingID;
    uint32_t Offset;
};
static_assert(sizeof(cmapSubTableDirectory) == 8, "cmap record is 8 bytes");

struct _BinSrchHeaderLE {
    uint16_t entrySize;
    uint16_t nEntries;
    uint16_t searchRange;
    uint16_t entrySelector;
    uint16_t rangeShift;
};
struct _mortHeader {
    uint8_t Constants0[12];
    uint32 length1;
    uint8_t Constants1[16];
    uint8_t Constants2[16];
    uint8_t Constants3[8];
    uint16 length2;
    uint8_t Constants4[8];
    _BinSrchHeaderLE binSrchHeader;
};
static_assert(sizeof(_mortHeader) == 76, "mort prefix is 76 bytes");

struct _LookupSingleLE {
    uint16_t glyphid1;  // horizontal glyph
    uint16_t glyphid2;  // its vertical form
};

struct glyfHeader {
    int16 numberOfContours;
    int16 xMin, yMin, xMax, yMax;
};
static_assert(sizeof(glyfHeader) == 10, "glyph header is 10 bytes");

// ------------------------------------------------------------ glyph record

struct GlyphComponent {
    int16_t NumContours;
    int16_t *lpNextEndPoint;  // the component's first contour end
    TTFCoord *lpCoords;       // the component's first point
    uint8_t *instructions;    // length-prefixed block, or null
};

// However deep maxp claims composites nest, a chain of components (or a
// glyph naming itself) stops at this depth.
constexpr int kComponentDepthCap = 8;

struct _TtfGlyph {
    int16_t NumContours;
    int16_t EndPointsSize;
    int16_t *EndPoints;
    int16_t *AbsEndPoints;
    int16_t NumComponents;
    GlyphComponent *GC;
    int16_t ZonePoints[2];
    int16_t Zone1Size;
    TTFCoord *Zone1;
    int16_t Zone0Size;
    TTFCoord *Zone0;
    GsvStruct Gsv;
    const uint8_t *endPtsOfContours;
    const uint8_t *instructionLength;
    uint8_t *instructions;
    const uint8_t *flags;
    int32_t Multiplier;
    int16_t Resolution;
    int16_t PointSize;
    int32_t *lControlTable;
    int32_t *Storage;
    int16_t StorageSize;
    FunctDefEntry *FunctDef;
    int16_t FunctDefSize;
    int32_t *Stack;
    int16_t StackSize;
    int32_t *lpStack;
    int16_t InternalError;
    void *pVF;
    // Interpreter bookkeeping of our own: the program now running
    // (InsProgram), the instructions it may still execute, and an optional
    // watcher (null unless a tool or test sets one).
    int32_t Program;
    int32_t InsBudget;
    InsTracer *Tracer;
    uint8_t Opcode;  // the instruction running, kept only while traced
    ScanInfo S;
    _GlyphBitMap BM;
    // The raw glyph records being decoded, one buffer per component nesting
    // level, kept from glyph to glyph and grown for a longer record.
    uint8_t *GlyphRecord[kComponentDepthCap + 1];
    uint32_t GlyphRecordSize[kComponentDepthCap + 1];
};

// ------------------------------------------------------------- font object

struct _BitMap;  // declared by the font object, never used

struct _TTFont {
    uint32_t lMagic;
    int32_t Multiplier;
    char *Comment;
    int16_t csFont;
    int16_t csDesired;
    leMaxpHeader leMaximumProfile;
    uint8_t *FontProgram;       // length-prefixed fpgm, or null
    uint8_t *controlTable;      // length-prefixed "cvt ", or null
    uint8_t *PrepInstructions;  // length-prefixed prep, or null
    _nameHeader *lpNameTable;
    _nameRecord *lpNameRecords;
    char *lpNameStrings;
    int32_t NameTableSize;      // bytes held at lpNameTable (bounds name strings)
    int32_t LocaLength;
    int32_t LocaSize;
    uint8_t *LocaBuffer;
    int32_t CmapSize;
    uint8_t *CmapBuffer;
    cmapHeader *lpcmapHeader;
    cmapSubTableDirectory *lpcmapSubTableDirectory;
    // The chosen sub-tables and format-4 arrays, as byte pointers into
    // CmapBuffer: their offsets come from the file and need not be aligned.
    const uint8_t *lpcmapStandardTable;
    const uint8_t *lpcmapHighByteTable;
    const uint8_t *lpcmapSeg2DeltaValues;
    int16_t iVertical;
    _mortHeader *lpMortHeader;
    _LookupSingleLE *lpLookupSingle;
    uint32_t uMinGlyph;
    uint32_t uMaxGlyph;
    OffsetTableStruct OffsetTable;
    TableDirectoryStruct TableDirectory[kMaxTables];
    TableDirectoryStruct *lpsfntTable[kMaxTables];
    int32_t NumTables;          // directory entries read (0 when the header was unreadable)
    uint32_t FileSize;          // bytes in the file, measured when the header is read
    uint16_t uHiBytePlatform;
    uint16_t uHiByteEncoding;
    uint16_t uDeltaPlatform;
    uint16_t uDeltaEncoding;
    const uint8_t *endCount;
    const uint8_t *startCount;
    const uint8_t *idDelta;
    const uint8_t *idRangeOffset;
    const uint8_t *glyphIndexArray;
    headHeader FontHeader;
    horizontalHeader HorizHeader;
    int16_t UnitsPerEm;
    int16_t LowestRecPPEM;
    int16_t xMin, yMin, xMax, yMax;
    _TtfGlyph G;
    FILE *InFile;
    FileCache FileWindows;  // recently read stretches of InFile
    char *lpszFileName;
    _BitMap *lpBM;
    int16_t iMaxResolution;
    uint8_t debug;
    uint8_t cInitialized;
    int32_t RenderOptions;  // option bits set by SetRenderOptions; kNoHinting skips glyph programs
};

// RenderOptions bits.
constexpr int32_t kNoHinting = 1;  // glyph and component programs do not run

// ------------------------------------------------------------- debug log

extern int32_t DebugBits;
extern FILE *lpLogFile;
extern FILE *Err;
extern uint8_t debug;

FILE *SetGlobalDebugLevel(const char *lpszFileName, int iDebugLevel);
void ErrorExit();

// -------------------------------------------------- object life (ttf.cpp)

// Non-null and lMagic is "KELM".
inline bool IsValidFont(const _TTFont *pF) { return pF != nullptr && pF->lMagic == kMagicKELM; }
// A font object with nothing read yet that owns `file`; null (and the file
// closed) when memory runs out.  CloseTTF releases it with whatever the
// table readers put into it.
_TTFont *NewTTFont(FILE *file);
_TTFont *OpenTTF(const char *lpszFileName);
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
// Releases the instruction blocks a glyph load left in the record.
void FreeGlyphInstructions(_TtfGlyph *pG);
// Releases the glyph record buffers kept between loads.
void FreeGlyphRecords(_TtfGlyph *pG);

// --------------------------------------- directory and tables (ttf_tables.cpp)

extern char sfntTableTags[kMaxTables][4];

FILE *OpenTTFFile(const char *lpszFileName);
void InitsfntTables();
int ReadTTFHeaders(_TTFont *pF);
void ListTables(_TTFont *pF, int NumTables);
// Table blocks (and the name, cmap and mort buffers) come from std::malloc.
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

int GetGlyph(_TTFont *pF, _TtfGlyph *pG, int GlyphNo, int16_t *pContourCounter,
             int16_t *lpNextEndPoint, TTFCoord *lpCoords, int Recursion);
// The points of contours 0 .. NumContours-1 (relative contour ends),
// counted from their first point; 0 when there are none.
int PointsOfContours(int NumContours, const int16_t *lpEndPoints);
void ScalePoints(int NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart,
                 int32_t Multiplier);
void SetPrev2Cur(int NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart);

// ------------------------------------------ bitmap driver (ttf_bitmap.cpp)

void TTF2BitMap(_TTFont *pF, _TtfGlyph *pG, uint32_t uNativeCode);
// The glyph TTF2BitMap draws for a code: the code itself for glyph-number
// input, else the cmap's answer; then the vertical form when asked for.
uint32_t GlyphForCode(_TTFont *pF, uint32_t uNativeCode);

// ----------------------------------------------- glyph metrics (ttf_metrics.cpp)

// Fills the record for `glyph`, which the font's bitmap must hold as
// GetBitmap delivers it (inverted): advance, origin and ink box.
void MeasureRenderedGlyph(_TTFont *pF, uint32_t glyph, KelmorGlyphMetrics *m);

}  // namespace kelmor

#endif
