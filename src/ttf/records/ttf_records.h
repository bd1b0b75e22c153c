// The records every stage of the rasterizer shares: the file's big-endian
// fields and table records, the point and graphics-state records of the
// interpreter, the scan converter's and bitmap's state, the glyph record and
// the font object.  Records and constants only: no stage includes another
// stage's header to get at a struct, and nothing here declares a function.
#ifndef KELMOR_TTF_FONT_TTF_RECORDS_H
#define KELMOR_TTF_FONT_TTF_RECORDS_H

#include <cstdint>
#include <cstdio>

namespace kelmor {

// ------------------------------------------------- big-endian file fields

struct uint16 {
    uint16_t BE;  // two bytes in file order
};
struct int16 {
    uint16_t BE;
};
struct uint32 {
    uint16_t BElo;  // first two bytes in the file: the high half of the value
    uint16_t BEhi;  // last two bytes
};
struct Fixed {
    int16 Integer;
    uint16 Fract;
};

static_assert(sizeof(uint16) == 2 && sizeof(int16) == 2, "uint16/int16 are 2 bytes");
static_assert(sizeof(uint32) == 4 && sizeof(Fixed) == 4, "uint32/Fixed are 4 bytes");

// ---------------------------------------------------------- point records

// F26Dot6 positions and F2Dot14 vectors.
struct longpointtype {
    int32_t x;
    int32_t y;
};

// One point of a zone.
struct TTFCoord {
    longpointtype Cur;   // current (hinted) position
    longpointtype Prev;  // position before the most recent move
    longpointtype Orig;  // scaled position as loaded
    uint8_t Flags;       // 0x01 on curve, 0x40 touched in x, 0x80 touched in y
    uint8_t OFlags;      // flag byte as loaded
};

// Flag bits the interpreter adds to TTFCoord::Flags.
constexpr uint8_t kOnCurve = 0x01;
constexpr uint8_t kTouchedX = 0x40;
constexpr uint8_t kTouchedY = 0x80;
// Set by the faithful load on the first point of each glyph or component
// whose program ran, with the scan type (0-7) the program left in bits 3-5;
// a composite's own program adds its type's bits to its first point's.  The
// scan converter draws from that point's contour on with that type's
// dropout rule, whatever SCANCTRL said, as TrueType rasterizers do.
constexpr uint8_t kScanTypeMarked = 0x04;
constexpr int kScanTypeShift = 3;
constexpr uint8_t kScanTypeBits = 0x38;

// Graphics state.
struct GsvStruct {
    longpointtype freedom_vector;
    longpointtype projection_vector;
    longpointtype dual_projection_vector;
    int32_t zp0, zp1, zp2;
    int32_t rp0, rp1, rp2;
    int32_t angle_weight;
    int32_t auto_flip;
    int32_t delta_base;
    int32_t delta_shift;
    int32_t instruct_Control;
    int32_t loop;
    int32_t round_state;  // Mode bits 0-7, threshold 8-11, phase 12-13, period 14-15
    int32_t scan_control;
    int32_t minimum_distance;
    int32_t control_value_cut_in;
    int32_t single_width_cut_in;
    int32_t single_width_value;
};

// One function-table entry: where the body starts (the byte after FDEF) and
// where it ends (the byte after ENDF).  Both null while undefined.
struct FunctDefEntry {
    const uint8_t *Start;
    const uint8_t *End;
};

// Which program a run belongs to (also handed to an InsTracer).
enum InsProgram : int {
    kFontProgram = 0,          // fpgm, once when the font is opened
    kControlValueProgram = 1,  // prep, at every size
    kGlyphProgram = 2,         // a glyph's own instructions
    kComponentProgram = 3,     // a composite's component, before it is filled
};

// The record sizes are kept in signed 16-bit fields, which bounds the counts
// a font may ask for (sizes as the interpreter lays its records out).
constexpr int kMaxZonePoints = 1260;
constexpr int kMaxContours = 16383;
constexpr int kMaxStorage = 8191;
constexpr int kMaxStack = 8191;
constexpr int kMaxFunctionDefs = 8190;
constexpr int kTTFCoordBytes = 26;  // packed size of one TTFCoord
// The faithful mode appends four points after a glyph's outline (origin,
// advance, top, bottom) for its programs to read and move; the glyph zone
// keeps room for them beyond the points maxp asks for.
constexpr int kPhantomPoints = 4;
// A font opened past the classic limits may have glyphs (and a twilight
// zone) this large: point numbers, outline ends and contour ends are
// 16-bit throughout, and the phantom points follow the last point.
constexpr int kMaxZonePointsBeyondLimits = 32767 - kPhantomPoints;
constexpr int kFunctDefBytes = 4;   // packed size of one function-table entry

// ------------------------------------------------- scan and bitmap state

struct _GlyphBitMap {
    int32_t CharHPixels;  // width in pixels
    int32_t CharVLines;   // height in rows
    uint8_t *lpChar;      // the bits, rows top to bottom; null when absent
    int32_t iDIB;         // declared, unused
    int32_t CharHBytes;   // bytes per row, a multiple of 2
    int32_t MemSize;      // CharHBytes * CharVLines
    // The faithful mode sizes the bitmap to each glyph's ink.  The block
    // holds Capacity bytes; the font box's size is kept so that the next
    // glyph starts from it again (ZapBitMap).  While FitsInk is set the
    // bitmap was sized to the glyph and the glyph origin lies on the left
    // edge of column OriginX and the top edge of row OriginY.
    int32_t Capacity;
    int32_t BoxHPixels;
    int32_t BoxVLines;
    int32_t OriginX;
    int32_t OriginY;
    uint8_t FitsInk;
};

struct ExactScanner;  // the faithful mode's working buffers (raster stage)
struct GrayScanner;   // the coverage rasterizer's cells and grey bitmap (raster stage)

struct ScanInfo {
    int32_t ScanControl;  // result of the last program run
    int32_t xMinMult;     // font box in whole pixels at the current size
    int32_t yMinMult;
    int32_t xMaxMult;
    int32_t yMaxMult;
    int32_t *ScanBuffer;  // ScanLines rows of ScanDepth slots; null when absent
    uint16_t *RowFill;    // slots in use in each row (they are always the first ones)
    int32_t ScanSize;     // bytes
    uint32_t ScanLines;
    uint32_t ScanDepth;
    uint8_t OverFlow;     // 1 once a crossing was dropped
    // Rows LowRow .. HighRow - 1 may hold crossings; every other row is
    // empty (HighRow 0: all are).  Clearing and filling visit only these,
    // so that a small glyph in a tall font box does not pay for the box.
    uint32_t LowRow;
    uint32_t HighRow;
    uint8_t Dropout;      // the exact scanner's dropout control for the next glyph (kDropout...)
    int32_t Ppem;         // pixels per em of the next glyph (the exact scanner's precision)
    ExactScanner *Exact;  // grown as glyphs need, released with the scan buffer
};

// ------------------------------------------------------- file read-ahead

// A stretch of the loca table kept in memory (the least recently used one
// is refilled on a miss).
constexpr int kLocaStretches = 4;
constexpr uint32_t kLocaStretchSize = 1024;
struct LocaStretch {
    uint32_t start;
    uint32_t length;   // 0: empty
    uint32_t lastUse;
    uint8_t bytes[kLocaStretchSize];
};

constexpr uint32_t kFileWindowSize = 4096;  // bytes read ahead on a miss
constexpr int kFileWindows = 8;

struct FileWindow {
    uint32_t start;
    uint32_t length;  // 0: empty
    uint32_t lastUse;
    uint8_t bytes[kFileWindowSize];
};

struct FileCache {
    FileWindow windows[kFileWindows];
    uint32_t clock;
};

// "KELM" read as one 32-bit value from the four bytes in memory order.
constexpr uint32_t kMagicKELM = uint32_t('K') | (uint32_t('E') << 8) |
                                (uint32_t('L') << 16) | (uint32_t('M') << 24);

// Character-set codes.
constexpr int16_t csSingleByte = 0;
constexpr int16_t csShiftJIS = 128;
constexpr int16_t csWansung = 129;  // Korean: KS X 1001 as code page 949 writes it
constexpr int16_t csGB2312 = 134;
constexpr int16_t csBig5 = 136;
constexpr int16_t csUnicode = 137;
constexpr int16_t csGlyphNumber = 241;
constexpr int16_t csGBK = 242;  // code page 936, a superset of GB 2312 (our own code)

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

// ------------------------------------------------------ cubic outlines

// A glyph outline of cubic curves (fonts whose outlines are in CFF), 26.6
// from the glyph origin.  Each contour starts with an on-curve point; a
// curve is two kCubicControl points then its on-curve end; every contour is
// closed back to its first point.  The buffers are grown as glyphs need and
// kept from glyph to glyph.
constexpr uint8_t kCubicOn = 0;
constexpr uint8_t kCubicControl = 1;
struct CubicOutline {
    longpointtype *Points;
    uint8_t *Kinds;           // kCubicOn or kCubicControl, one per point
    int32_t NumPoints;
    int32_t PointCapacity;
    int32_t *ContourEnds;     // one past each contour's last point
    int32_t NumContours;
    int32_t ContourCapacity;
};

// ------------------------------------------------------------ glyph record

struct InsTracer;  // a watcher of program runs (the interpreter's header)

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
    int32_t Zone1Size;
    TTFCoord *Zone1;
    // Records allocated at Zone1: the ZonePoints[1] points maxp asks for
    // plus kPhantomPoints (Zone1Size, a byte count, holds only the
    // former).
    int32_t Zone1Slots;
    // Beside Zone1, one entry per point (in the same allocation, released
    // with it): while a faithful-mode program runs, the points' original
    // positions before scaling, which TrueType rasterizers measure original
    // distances and interpolate from; times UnscaledScale (16.16) they are
    // 26.6.  A glyph's own outline has them in font units (UnscaledScale is
    // Scale); a composite's program has its assembled, hinted components
    // (UnscaledScale 1.0).  UnscaledScale 0: no positions before scaling
    // were recorded for the points now in the zone (the classic load clears
    // it), and original distances are measured from the scaled originals.
    longpointtype *Unscaled;
    int32_t UnscaledScale;
    int32_t Zone0Size;
    TTFCoord *Zone0;
    GsvStruct Gsv;
    GsvStruct PrepGsv;  // the state the control-value program left (faithful mode)
    const uint8_t *endPtsOfContours;
    const uint8_t *instructionLength;
    uint8_t *instructions;
    const uint8_t *flags;
    int32_t Multiplier;
    int16_t Resolution;
    int16_t PointSize;
    // The faithful mode's scale: font units to 26.6 pixels as a 16.16
    // factor, ppem * 64 / unitsPerEm rounded (see ScaleFUnitsRounded).
    int32_t Scale;
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
    // What one GetBitmap may still execute over all its glyph and component
    // programs (set by the driver, drawn on by every run), and what a run
    // stopped by a fatal error had left of its own budget.
    int32_t GlyphBudget;
    int32_t HaltedBudget;
    // Set when the font program or the control-value program of the size
    // ran out of instructions, or (in the faithful mode) stopped on an error
    // TrueType treats as fatal: glyph programs then do not run, as nothing
    // they rely on was set up (kelmor trace says so).  Bit 1 the font
    // program, bit 2 the size's program.
    uint8_t ProgramsFailed;
    InsTracer *Tracer;
    uint8_t Opcode;  // the instruction running, kept only while traced
    // The interpreter's copy of the mode (the faithful table of departures
    // and the published instruction set's rules), set only by
    // SetInterpreterMode: when the font opens and when its options change.
    uint8_t Faithful;
    // Programs hint for grey levels: GETINFO says so when asked (selector
    // bit 5), and the control-value program ran with the same answer.
    uint8_t Grayscale;
    // The faithful mode's copies of the control values and storage as the
    // control-value program left them: every glyph and component program
    // starts from them, whatever the programs before it wrote.  Allocated
    // on first use, freed with the interpreter memory.
    int32_t *PrepCvt;
    int32_t *PrepStorage;
    uint8_t ProgramWrote;  // a program wrote control values or storage since
    // The faithful mode's instruction definitions (IDEF), one per opcode,
    // for fonts whose maxp asks for them; null otherwise.
    FunctDefEntry *InsDef;
    // The four phantom points of the last glyph drawn in the faithful mode,
    // where its programs left them (26.6): origin, advance, top, bottom.
    longpointtype Phantom[4];
    // Set when the last glyph drawn brought its own horizontal advance
    // (DrawnAdvance, 26.6), which then stands for the tables': an embedded
    // image's (whole pixels), or where the faithful load and the glyph's
    // programs left the advance phantom point.  The driver decides.
    uint8_t AdvanceDrawn;
    int32_t DrawnAdvance;
    uint8_t FromImage;  // the last glyph drawn came from an embedded bitmap
    ScanInfo S;
    _GlyphBitMap BM;
    // The raw glyph records being decoded, one buffer per component nesting
    // level, kept from glyph to glyph and grown for a longer record.
    uint8_t *GlyphRecord[kComponentDepthCap + 1];
    uint32_t GlyphRecordSize[kComponentDepthCap + 1];
    // The last CFF glyph's outline (fonts whose outlines are in CFF).
    CubicOutline Cubic;
};

// ------------------------------------------------------ embedded bitmaps
// The strike of EBLC (or bloc) that serves the current size, looked up on
// the first glyph drawn with embedded bitmaps after each sizing: where its
// array of index sub-table records lies in the table and how many it has.
struct EmbeddedStrike {
    uint32_t IndexArray;   // offset in the location table
    uint32_t IndexCount;   // 8-byte records
    uint8_t LookedUp;      // the lookup ran for this size
    uint8_t Found;         // a 1-bit strike of this size exists
    uint8_t Sorted;        // records in glyph order, apart: binary search
};
// ------------------------------------------------------------- font object

struct _BitMap;  // declared by the font object, never used
struct VerticalForms;  // the GSUB vertical forms (ttf/sfnt/ttf_gsub.h)
struct CffFace;  // the CFF outline reader's state (its own stage)
namespace autohint {
struct AutohintFace;  // the auto-hinter's per-face state (its own stage)
}

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
    uint8_t NamesCompacted;     // the records and strings above are compacted (on first use)
    int32_t LocaLength;
    int32_t LocaSize;
    uint8_t *LocaBuffer;        // loca held in memory, or null: entries are read from the file
    // The stretches of loca last read from the file: a glyph's two entries,
    // its neighbours' and its components' come from here, without taking a
    // read-ahead window from the glyph data.
    LocaStretch Loca[kLocaStretches];
    uint32_t LocaClock;
    int32_t CmapSize;
    uint8_t *CmapBuffer;
    cmapHeader *lpcmapHeader;
    cmapSubTableDirectory *lpcmapSubTableDirectory;
    // The chosen sub-tables and format-4 arrays, as byte pointers into
    // CmapBuffer: their offsets come from the file and need not be aligned.
    const uint8_t *lpcmapStandardTable;
    const uint8_t *lpcmapHighByteTable;
    const uint8_t *lpcmapSeg2DeltaValues;
    // The format-12 sub-table's groups (12 bytes each, checked to be in
    // order and apart), for codes above U+FFFF: where they start in the
    // file (read when a code asks) and how many; 0 groups when there is none.
    uint32_t uGroupsOffset;
    uint32_t uGroups;
    int16_t iVertical;
    _mortHeader *lpMortHeader;
    _LookupSingleLE *lpLookupSingle;
    uint32_t uMinGlyph;
    uint32_t uMaxGlyph;
    // For fonts without mort pairs: the vertical forms of the GSUB table,
    // worked out on the first vertical glyph (VerticalFormsRead then 1;
    // null when the font has none).
    VerticalForms *lpVerticalForms;
    uint8_t VerticalFormsRead;
    OffsetTableStruct OffsetTable;
    TableDirectoryStruct TableDirectory[kMaxTables];
    TableDirectoryStruct *lpsfntTable[kMaxTables];
    int32_t NumTables;          // directory entries read (0 when the header was unreadable)
    // The face of a collection (.ttc) this object reads, set before the
    // header is read; single fonts have the one face 0.  FaceCount is what
    // the header said: 1 for a single font, 0 when it could not be read.
    uint32_t FaceIndex;
    uint32_t FaceCount;
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
    int32_t RenderOptions;  // option bits set by SetRenderOptions (kNoHinting, kFaithful, ...)
    EmbeddedStrike Strike;  // for kEmbeddedBitmaps
    // Opened past the classic limits: instruction definitions are kept and
    // glyphs may have up to kMaxZonePointsBeyondLimits points (set before
    // the interpreter's memory is sized, by the entries that allow it).
    uint8_t BeyondLimits;
    // Set when the font's outlines are in a CFF table rather than glyf.
    CffFace *Cff;
    // The auto-hinter's styles per glyph and metrics per style, made on the
    // first auto-hinted glyph (null until then), released with the font.
    autohint::AutohintFace *Autohint;
    // The coverage rasterizer's cells and the last grey bitmap, made on the
    // first grey glyph (null until then), released with the font.
    GrayScanner *Gray;
};

// RenderOptions bits.
constexpr int32_t kNoHinting = 1;  // glyph and component programs do not run
constexpr int32_t kFaithful = 2;   // the published TrueType behaviour throughout
constexpr int32_t kEmbeddedBitmaps = 4;  // a strike's image where the size has one
constexpr int32_t kForceAutohint = 8;    // auto-hint every glyf outline (faithful mode)
constexpr int32_t kNoAutohint = 16;      // never auto-hint (faithful mode)

}  // namespace kelmor

#endif
