// Glyph loading: reads one glyph's outline from the glyf table, decodes a
// simple glyph or assembles a composite one, and scales the points to
// F26Dot6 in the font's glyph record.
//
// Every count, index and length here comes from the font file, so each is
// checked before it is used: a glyph never writes past the end-point arrays
// or the glyph zone, and decoding never reads past the glyph's own bytes.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/bytes.h"
#include "ttf/records/ttf_records.h"
#include "ttf/sfnt/debug_log.h"
#include "ttf/sfnt/sfnt.h"
#include "ttf/sfnt/ttf_read.h"

namespace kelmor {

namespace {

// Simple-glyph flag bits.
constexpr uint8_t kXShort = 0x02;
constexpr uint8_t kYShort = 0x04;
constexpr uint8_t kRepeat = 0x08;
constexpr uint8_t kXSameOrPositive = 0x10;
constexpr uint8_t kYSameOrPositive = 0x20;

// Component flag bits.
constexpr uint16_t kArgsAreWords = 0x0001;
constexpr uint16_t kArgsAreOffsets = 0x0002;
constexpr uint16_t kRoundOffsets = 0x0004;
constexpr uint16_t kOneScale = 0x0008;
constexpr uint16_t kMoreComponents = 0x0020;
constexpr uint16_t kXYScale = 0x0040;
constexpr uint16_t kTwoByTwo = 0x0080;
constexpr uint16_t kHaveInstructions = 0x0100;

constexpr int kGlyphHeaderBytes = 10;


// What one load produced.  `Nothing` is an empty glyph (no data, or no
// contours): a composite may use it and goes on.  `Failed` is a glyph that
// cannot be loaded safely; it fails the whole glyph it belongs to.
enum class Loaded { Nothing, Simple, Composite, Failed };

struct LoadResult {
    Loaded kind;
    int points;  // points placed
};

constexpr LoadResult kNothing = {Loaded::Nothing, 0};
constexpr LoadResult kFailed = {Loaded::Failed, 0};

// Shared by every level of one load.
struct GlyphLoad {
    _TTFont *pF;
    _TtfGlyph *pG;
    int contourCapacity;  // entries of EndPoints and AbsEndPoints
    int pointCapacity;    // points of Zone1
    int maxDepth;
    int64_t fileSize;
};

// Where one glyph's points and contour ends go: indices into Zone1 and the
// end-point arrays.
struct Placement {
    int firstContour;
    int firstPoint;
};

// Room for a glyph record of `length` bytes at nesting level `level`, or
// null when there is no memory for it.
uint8_t *RecordBuffer(_TtfGlyph *pG, int level, size_t length) {
    if (length > pG->GlyphRecordSize[level]) {
        std::free(pG->GlyphRecord[level]);
        pG->GlyphRecord[level] = static_cast<uint8_t *>(std::malloc(length));
        pG->GlyphRecordSize[level] = pG->GlyphRecord[level] ? uint32_t(length) : 0;
    }
    return pG->GlyphRecord[level];
}

// The glyph's bytes from the file, in the record buffer of its nesting
// level.  Sets `length` to 0 for an empty glyph; returns null when the glyph
// cannot be read (offsets outside the file, short read, no memory).
const uint8_t *ReadGlyphBytes(const GlyphLoad &L, int GlyphNo, int level, size_t &length) {
    static const uint8_t kEmpty = 0;
    length = 0;
    _TTFont *pF = L.pF;
    if (pF->lpsfntTable[kSlotGlyf] == nullptr) return nullptr;
    int64_t start = GetGlyphIndex(pF, uint32_t(GlyphNo));
    int64_t end = GetGlyphIndex(pF, uint32_t(GlyphNo) + 1);
    if (end <= start) return &kEmpty;
    // Offsets come from loca; a glyph that does not lie inside the file is
    // refused before anything is allocated for it.
    if (start < 0 || end > L.fileSize) return nullptr;
    length = size_t(end - start);
    uint8_t *bytes = RecordBuffer(L.pG, level, length);
    if (bytes == nullptr || ReadFileAt(pF, uint32_t(start), bytes, length) != length) return nullptr;
    return bytes;
}

// A length-prefixed block (native 32-bit length, then the bytes), or null
// when there is no memory for it: the glyph then simply has no instructions.
uint8_t *NewInstructionBlock(const uint8_t *code, uint32_t length) {
    auto *block = static_cast<uint8_t *>(std::malloc(sizeof(int32_t) + length));
    if (block == nullptr) return nullptr;
    int32_t prefix = int32_t(length);
    std::memcpy(block, &prefix, sizeof prefix);
    if (length > 0) std::memcpy(block + sizeof prefix, code, length);
    return block;
}

void TakeInstructions(_TtfGlyph *pG, const uint8_t *code, uint32_t length) {
    FreeBuffer(pG->instructions);
    pG->instructions = NewInstructionBlock(code, length);
}

void DropInstructions(_TtfGlyph *pG) {
    pG->instructions = static_cast<uint8_t *>(FreeBuffer(pG->instructions));
}

// ----------------------------------------------------------- simple glyphs

// Contour ends, relative (EndPoints) and across the whole glyph
// (AbsEndPoints).  Ends must rise strictly and stay inside the glyph zone;
// the result is the last point number, or -1 when the glyph is refused.
int DecodeEndPoints(const GlyphLoad &L, ByteCursor &r, int contours, Placement at) {
    if (at.firstContour + contours > L.contourCapacity) return -1;
    int16_t *ends = L.pG->EndPoints + at.firstContour;
    int16_t *absEnds = L.pG->AbsEndPoints + at.firstContour;
    int32_t previous = -1;
    for (int k = 0; k < contours; ++k) {
        int32_t e = int32_t(r.U16());
        if (!r.ok() || e <= previous || at.firstPoint + e >= L.pointCapacity) return -1;
        ends[k] = int16_t(e);
        absEnds[k] = int16_t(at.firstPoint + e);
        previous = e;
    }
    return previous;
}

// Of a flag byte only the on-curve bit means in Flags what it means in the
// file; the others say how the file stores coordinates (0x40: the contours
// overlap), where Flags keeps the interpreter's touched marks and the scan
// type marks of the faithful load: a point starts unmarked whatever the
// file sets.
void SetPointFlags(TTFCoord &p, uint8_t f) {
    p.OFlags = f;
    p.Flags = uint8_t(f & kOnCurve);
}

// One flag byte per point; a repeat count never runs past the last point.
void DecodeFlags(ByteCursor &r, TTFCoord *points, int count) {
    for (int i = 0; i < count && r.ok(); ++i) {
        uint8_t f = uint8_t(r.U8());
        SetPointFlags(points[i], f);
        if ((f & kRepeat) == 0) continue;
        uint32_t repeats = r.U8();
        for (; repeats > 0 && i + 1 < count; --repeats) {
            ++i;
            SetPointFlags(points[i], f);
        }
    }
}

// One axis of coordinates, each a difference from the previous point.
void DecodeAxis(ByteCursor &r, TTFCoord *points, int count, uint8_t shortBit,
                uint8_t sameOrPositiveBit, int32_t longpointtype::*axis) {
    int32_t v = 0;
    for (int i = 0; i < count; ++i) {
        uint8_t f = points[i].OFlags;
        if (f & shortBit) {
            int32_t delta = int32_t(r.U8());
            v += (f & sameOrPositiveBit) ? delta : -delta;
        } else if ((f & sameOrPositiveBit) == 0) {
            v += r.I16();
        }
        points[i].Orig.*axis = v;
    }
}

// A simple glyph's program, as the glyph's bytes hold it.
struct Program {
    const uint8_t *code;
    uint32_t length;
};

// Decodes a simple glyph's contour ends and points (in font units) into
// their place; the number of points, or -1 when the glyph is refused.
int DecodeSimpleGlyph(const GlyphLoad &L, ByteCursor &r, int contours, Placement at,
                      Program *program) {
    int last = DecodeEndPoints(L, r, contours, at);
    if (last < 0) return -1;
    program->length = r.U16();
    program->code = r.Bytes(program->length);
    TTFCoord *points = L.pG->Zone1 + at.firstPoint;
    int count = last + 1;
    DecodeFlags(r, points, count);
    DecodeAxis(r, points, count, kXShort, kXSameOrPositive, &longpointtype::x);
    DecodeAxis(r, points, count, kYShort, kYSameOrPositive, &longpointtype::y);
    return r.ok() ? count : -1;
}

LoadResult LoadSimpleGlyph(const GlyphLoad &L, ByteCursor &r, int contours,
                           int16_t *pContourCounter, Placement at, int Recursion) {
    Program program;
    int count = DecodeSimpleGlyph(L, r, contours, at, &program);
    if (count < 0) return kFailed;
    TTFCoord *points = L.pG->Zone1 + at.firstPoint;
    int16_t *ends = L.pG->EndPoints + at.firstContour;
    // A component is scaled by the composite that places it.
    if (Recursion == 0) ScalePoints(contours, ends, points, L.pF->Multiplier);
    TakeInstructions(L.pG, program.code, program.length);
    *pContourCounter = int16_t(contours);
    return {Loaded::Simple, count};
}

// -------------------------------------------------------- composite glyphs

struct Component {
    uint16_t flags;
    uint16_t glyphIndex;
    int32_t argument1, argument2;
    int32_t xscale, scale01, scale10, yscale;  // 2.14; all 0 when untransformed
};

int32_t ReadArgument(ByteCursor &r, uint16_t flags) {
    bool isSigned = (flags & kArgsAreOffsets) != 0;
    if (flags & kArgsAreWords) return isSigned ? r.I16() : int32_t(r.U16());
    return isSigned ? r.I8() : int32_t(r.U8());
}

Component ReadComponent(ByteCursor &r) {
    Component c = {};
    c.flags = uint16_t(r.U16());
    c.glyphIndex = uint16_t(r.U16());
    c.argument1 = ReadArgument(r, c.flags);
    c.argument2 = ReadArgument(r, c.flags);
    if (c.flags & kOneScale) {
        c.xscale = c.yscale = r.I16();
    } else if (c.flags & kXYScale) {
        c.xscale = r.I16();
        c.yscale = r.I16();
    } else if (c.flags & kTwoByTwo) {
        c.xscale = r.I16();
        c.scale01 = r.I16();
        c.scale10 = r.I16();
        c.yscale = r.I16();
    }
    return c;
}

void Transform(const Component &c, TTFCoord *points, int count) {
    if ((c.xscale | c.scale01 | c.scale10 | c.yscale) == 0) return;
    for (int i = 0; i < count; ++i) {
        int64_t x = points[i].Orig.x;
        int64_t y = points[i].Orig.y;
        points[i].Orig.x = Clamp32((x * c.xscale + y * c.scale01) >> 14);
        points[i].Orig.y = Clamp32((y * c.yscale + x * c.scale10) >> 14);
    }
}

void Shift(TTFCoord *points, int count, int64_t dx, int64_t dy) {
    for (int i = 0; i < count; ++i) {
        points[i].Orig.x = Clamp32(points[i].Orig.x + dx);
        points[i].Orig.y = Clamp32(points[i].Orig.y + dy);
    }
}

int64_t ComponentOffset(int32_t argument, const Component &c, int32_t Multiplier) {
    int64_t d = ScaleFUnits(argument, Multiplier);
    // Round to the nearest whole pixel (64 units of 1/64 pixel).
    if (c.flags & kRoundOffsets) d = (d + 32) & ~int64_t(63);
    return d;
}

// Moves the component so that its point argument2 lands on point argument1
// of what the composite placed before it (`placed` points from `compositeStart`).
void MatchPoints(const Component &c, TTFCoord *compositeStart, int placed, TTFCoord *points,
                 int count) {
    if (c.argument2 < count && c.argument1 < placed) {
        const longpointtype &target = compositeStart[c.argument1].Orig;
        const longpointtype &source = points[c.argument2].Orig;
        Shift(points, count, int64_t(target.x) - source.x, int64_t(target.y) - source.y);
    } else {
        LogPrintf(kLogErrors, "Error: Match Point %d >= %d or %d >= %d\n", int(c.argument1),
                  placed, int(c.argument2), count);
    }
}

void PlaceComponent(const GlyphLoad &L, const Component &c, TTFCoord *compositeStart, int placed,
                    TTFCoord *points, int count) {
    Transform(c, points, count);
    if (c.flags & kArgsAreOffsets) {
        int32_t multiplier = L.pF->Multiplier;
        Shift(points, count, ComponentOffset(c.argument1, c, multiplier),
              ComponentOffset(c.argument2, c, multiplier));
    } else {
        MatchPoints(c, compositeStart, placed, points, count);
    }
    for (int i = 0; i < count; ++i) points[i].Prev = points[i].Cur = points[i].Orig;
}

// Hands the component's instruction block (in pG->instructions) over to a
// new component record.  False when the record table is full.
bool RecordComponent(_TtfGlyph *pG, int capacity, int16_t contours, int16_t *ends,
                     TTFCoord *points) {
    if (pG->GC == nullptr || pG->NumComponents >= capacity) {
        DropInstructions(pG);
        return false;
    }
    pG->GC[pG->NumComponents++] = {contours, ends, points, pG->instructions};
    pG->instructions = nullptr;
    return true;
}

LoadResult LoadGlyphAt(const GlyphLoad &L, int GlyphNo, int16_t *pContourCounter, Placement at,
                       int Recursion);

LoadResult LoadCompositeGlyph(const GlyphLoad &L, ByteCursor &r, int16_t *pContourCounter,
                              Placement at, int Recursion) {
    _TtfGlyph *pG = L.pG;
    TTFCoord *compositeStart = pG->Zone1 + at.firstPoint;
    int contours = 0;
    int placed = 0;
    *pContourCounter = 0;
    Component c;
    do {
        c = ReadComponent(r);
        if (!r.ok()) return kFailed;
        int16_t sub = 0;
        Placement next = {at.firstContour + contours, at.firstPoint + placed};
        LoadResult part = LoadGlyphAt(L, c.glyphIndex, &sub, next, Recursion + 1);
        if (part.kind == Loaded::Failed) return kFailed;
        int16_t *ends = pG->EndPoints + next.firstContour;
        TTFCoord *points = pG->Zone1 + next.firstPoint;
        // A nested composite arrives scaled and has recorded its own parts.
        if (part.kind != Loaded::Composite)
            ScalePoints(sub, ends, points, L.pF->Multiplier);
        PlaceComponent(L, c, compositeStart, placed, points, part.points);
        if (part.kind == Loaded::Composite)
            DropInstructions(pG);
        else if (!RecordComponent(pG, ComponentCapacity(L.pF->leMaximumProfile), sub, ends,
                                  points))
            return kFailed;
        contours += sub;
        placed += part.points;
        *pContourCounter = int16_t(contours);
    } while (c.flags & kMoreComponents);

    if (c.flags & kHaveInstructions) {
        uint32_t codeLength = r.U16();
        const uint8_t *code = r.Bytes(codeLength);
        if (!r.ok()) return kFailed;
        TakeInstructions(pG, code, codeLength);
    }
    return {Loaded::Composite, placed};
}

LoadResult LoadGlyphAt(const GlyphLoad &L, int GlyphNo, int16_t *pContourCounter, Placement at,
                       int Recursion) {
    if (Recursion < 0 || Recursion > L.maxDepth) return kFailed;
    size_t length = 0;
    const uint8_t *bytes = ReadGlyphBytes(L, GlyphNo, Recursion, length);
    if (bytes == nullptr) return kFailed;
    if (length == 0) return kNothing;
    ByteCursor r(bytes, length);
    int32_t contours = r.I16();
    if (!r.Bytes(kGlyphHeaderBytes - 2)) return kFailed;
    if (contours > 0) return LoadSimpleGlyph(L, r, contours, pContourCounter, at, Recursion);
    if (contours == -1) return LoadCompositeGlyph(L, r, pContourCounter, at, Recursion);
    return kNothing;
}

// Position of `p` in an array of `capacity` records starting at `base`
// (one past the end allowed), or -1 when it is not inside.
template <typename T>
int IndexIn(const T *base, int capacity, const T *p) {
    if (base == nullptr || p == nullptr) return -1;
    uintptr_t b = reinterpret_cast<uintptr_t>(base);
    uintptr_t q = reinterpret_cast<uintptr_t>(p);
    if (q < b || (q - b) % sizeof(T) != 0) return -1;
    uintptr_t index = (q - b) / sizeof(T);
    return index <= uintptr_t(capacity) ? int(index) : -1;
}

int ZoneCapacity(const _TtfGlyph *pG) {
    int byBytes = pG->Zone1Size / kTTFCoordBytes;
    int points = pG->ZonePoints[1] < byBytes ? pG->ZonePoints[1] : byBytes;
    return points > 0 ? points : 0;
}

int EndPointCapacity(const _TtfGlyph *pG) {
    return pG->EndPointsSize > 0 ? pG->EndPointsSize / int(sizeof(int16_t)) : 0;
}

int ComponentDepthLimit(const _TTFont *pF) {
    int declared = pF->leMaximumProfile.maxComponentDepth;
    if (declared < 1) return 1;
    return declared < kComponentDepthCap ? declared : kComponentDepthCap;
}

// A load that yields nothing leaves nothing behind: the instruction blocks
// it handed to new component records go, and so do the records.
void DiscardLoad(_TtfGlyph *pG, int16_t firstComponent, int16_t *pContourCounter) {
    for (int i = firstComponent; i < pG->NumComponents; ++i)
        pG->GC[i].instructions = static_cast<uint8_t *>(FreeBuffer(pG->GC[i].instructions));
    pG->NumComponents = firstComponent;
    DropInstructions(pG);
    *pContourCounter = 0;
}

}  // namespace

void FreeGlyphRecords(_TtfGlyph *pG) {
    for (int level = 0; level <= kComponentDepthCap; ++level) {
        std::free(pG->GlyphRecord[level]);
        pG->GlyphRecord[level] = nullptr;
        pG->GlyphRecordSize[level] = 0;
    }
}

// maxComponentElements counts the components of one level only.  A
// composite whose components are composites records their simple glyphs
// (NotoSansMono's U+A66E has 7 components of 2 parts each, where the font
// declares 7), and each of those has at least one contour, so the contours
// a glyph may hold bound how many there can be.  A font that declares no
// components at all has no composites.
int ComponentCapacity(const leMaxpHeader &maxp) {
    if (maxp.maxComponentElements == 0) return 0;
    int contours = std::max(maxp.maxContours, maxp.maxComponentContours);
    return std::max<int>(maxp.maxComponentElements, contours);
}

int GetGlyph(_TTFont *pF, _TtfGlyph *pG, int GlyphNo, int16_t *pContourCounter,
             int16_t *lpNextEndPoint, TTFCoord *lpCoords, int Recursion) {
    if (pF == nullptr || pG == nullptr || pContourCounter == nullptr || pF->InFile == nullptr)
        return -1;
    GlyphLoad L = {pF, pG, EndPointCapacity(pG), ZoneCapacity(pG),
                   ComponentDepthLimit(pF), int64_t(pF->FileSize)};
    Placement at = {IndexIn(pG->EndPoints, L.contourCapacity, lpNextEndPoint),
                    IndexIn(pG->Zone1, L.pointCapacity, lpCoords)};
    if (at.firstContour < 0 || at.firstPoint < 0) return -1;
    if (Recursion == 0) {
        // A block left by a glyph that was loaded but never interpreted.
        DropInstructions(pG);
        // This load records no positions before scaling: original distances
        // are measured from the scaled originals.
        pG->UnscaledScale = 0;
    }

    int16_t firstComponent = pG->NumComponents;
    LoadResult result = LoadGlyphAt(L, GlyphNo, pContourCounter, at, Recursion);
    if (result.kind == Loaded::Failed || result.points == 0) {
        DiscardLoad(pG, firstComponent, pContourCounter);
        return -1;
    }
    return result.points - 1;
}

// ------------------------------------------------ the faithful mode's load
//
// TrueType's own order: each glyph, component or not, is scaled with the
// rounded scale, gets its four phantom points after its outline and is
// hinted by its own program at once; a composite then places its hinted
// components (offsets scaled, rounded when asked; point matching on hinted
// positions) and runs its own program over the whole of them.

namespace {

constexpr uint16_t kUseMyMetrics = 0x0200;
constexpr uint16_t kScaledOffsets = 0x0800;
constexpr uint16_t kAnyScale = kOneScale | kXYScale | kTwoByTwo;
constexpr int32_t kUnitScale16Dot16 = 0x10000;

struct Phantoms {
    longpointtype p[kPhantomPoints];  // origin, advance, top, bottom
};

struct FaithfulLoad {
    GlyphLoad L;
    int32_t scale;           // 16.16, see ScaleFUnitsRounded
    OutlineHinter *hinter;   // null when the glyph is drawn without hinting
    // Components one glyph may still load, nested ones included: composites
    // of many empty components, nested a few deep, would otherwise ask for
    // millions of loads.
    int *componentsLeft;
};

struct GlyphBox {
    int32_t xMin, yMin, xMax, yMax;
};

int32_t PixelRound(int32_t v) { return Clamp32((int64_t(v) + 32) & ~int64_t(63)); }

// The phantom points in font units, from the glyph's box and metrics.
Phantoms PhantomUnits(const FaithfulLoad &F, int GlyphNo, const GlyphBox &box) {
    const GlyphSideMetrics m = SideMetrics(F.L.pF, uint32_t(GlyphNo), box.yMax);
    const int32_t origin = box.xMin - m.leftSideBearing;
    const int32_t top = box.yMax + m.topSideBearing;
    return {{{origin, 0},
             {Clamp32(int64_t(origin) + m.advanceWidth), 0},
             {0, top},
             {0, Clamp32(int64_t(top) - m.advanceHeight)}}};
}

longpointtype ScaledRounded(longpointtype v, int32_t scale) {
    return {ScaleFUnitsRounded(v.x, scale), ScaleFUnitsRounded(v.y, scale)};
}

// Scales a glyph's points, keeping their positions in font units in
// Unscaled; the phantom points' go after them.  Their rounding to the grid
// is part of hinting.
void ScaleRounded(const FaithfulLoad &F, Placement at, int count, Phantoms *pp) {
    TTFCoord *points = F.L.pG->Zone1 + at.firstPoint;
    longpointtype *units = F.L.pG->Unscaled + at.firstPoint;
    for (int i = 0; i < count; ++i) {
        TTFCoord &p = points[i];
        units[i] = p.Orig;
        const longpointtype scaled = ScaledRounded(p.Orig, F.scale);
        p.Orig = p.Prev = p.Cur = scaled;
    }
    for (int k = 0; k < kPhantomPoints; ++k) {
        units[count + k] = pp->p[k];
        pp->p[k] = ScaledRounded(pp->p[k], F.scale);
    }
}

// After a program ran, its outline's first point carries the scan type the
// program left (SCANTYPE's value sits above SCANCTRL's 14 bits in the
// graphics state), added to a mark a component's program left there.
void MarkScanType(_TtfGlyph *pG, Placement at, int points) {
    if (points <= 0) return;
    const uint32_t type = (uint32_t(pG->Gsv.scan_control) >> 14) & 7u;
    uint8_t &flags = pG->Zone1[at.firstPoint].Flags;
    flags = uint8_t(flags | kScanTypeMarked | (type << kScanTypeShift));
}

// Runs the program in pG->instructions over `points` points from `at` and
// the phantom points appended after them.  The phantom points' originals
// stay as scaled; their current positions start on the pixel grid (the
// advance width rounded, as TrueType rasterizers do before hinting).  An
// empty program runs nothing but still rounds them.
void HintLevel(const FaithfulLoad &F, Placement at, int points, int contours, int depth,
               int32_t unscaledScale, bool hasProgram, Phantoms *pp) {
    TTFCoord *phantom = F.L.pG->Zone1 + at.firstPoint + points;
    for (int k = 0; k < kPhantomPoints; ++k) {
        phantom[k] = {};
        phantom[k].Orig = phantom[k].Cur = pp->p[k];
    }
    phantom[0].Cur.x = PixelRound(phantom[0].Cur.x);
    phantom[1].Cur.x = PixelRound(phantom[1].Cur.x);
    phantom[2].Cur.y = PixelRound(phantom[2].Cur.y);
    phantom[3].Cur.y = PixelRound(phantom[3].Cur.y);
    for (int k = 0; k < kPhantomPoints; ++k) phantom[k].Prev = phantom[k].Cur;
    F.L.pG->UnscaledScale = unscaledScale;
    F.hinter->Hint(F.L.pG, at.firstPoint, points, at.firstContour, contours,
                   depth == 0 ? kGlyphProgram : kComponentProgram);
    if (hasProgram) MarkScanType(F.L.pG, at, points);
    DropInstructions(F.L.pG);  // a program the hinter did not run
    for (int k = 0; k < kPhantomPoints; ++k) pp->p[k] = phantom[k].Cur;
}

LoadResult LoadFaithfulSimple(const FaithfulLoad &F, ByteCursor &r, int contours, Placement at,
                              int depth, Phantoms *pp, int16_t *pContours) {
    Program program;
    const int count = DecodeSimpleGlyph(F.L, r, contours, at, &program);
    if (count < 0) return kFailed;
    ScaleRounded(F, at, count, pp);
    *pContours = int16_t(contours);
    if (F.hinter != nullptr) {
        TakeInstructions(F.L.pG, program.code, program.length);
        HintLevel(F, at, count, contours, depth, F.scale, program.length > 0, pp);
    }
    return {Loaded::Simple, count};
}

// FT_MulFix-like product of a 26.6 value and a 2.14 factor, rounded.
int32_t TimesF2Dot14(int32_t v, int32_t factor) { return ScaleFUnitsRounded(v, factor * 4); }

// The component's transform as the published format reads it: the 2x2
// values are xscale, scale01 (y from x), scale10 (x from y), yscale.
void TransformRounded(const Component &c, TTFCoord *points, int count) {
    const bool twoByTwo = (c.flags & kTwoByTwo) != 0 && (c.flags & (kOneScale | kXYScale)) == 0;
    const int32_t xFromY = twoByTwo ? c.scale10 : 0, yFromX = twoByTwo ? c.scale01 : 0;
    for (int i = 0; i < count; ++i) {
        const longpointtype p = points[i].Cur;
        points[i].Cur.x = Clamp32(int64_t(TimesF2Dot14(p.x, c.xscale)) + TimesF2Dot14(p.y, xFromY));
        points[i].Cur.y = Clamp32(int64_t(TimesF2Dot14(p.x, yFromX)) + TimesF2Dot14(p.y, c.yscale));
    }
}

// An offset of a component whose flags say it lies in the component's
// transformed space: scaled, in font units, by the length of the
// transform's column for its axis (rounded, as the 16.16 products of
// TrueType rasterizers are).
int32_t TransformedOffset(int32_t offset, int32_t along, int32_t across) {
    const double length = std::sqrt(double(along) * along + double(across) * across);
    return TimesF2Dot14(offset, int32_t(std::lround(std::min(length, 65536.0))));
}

// Transforms and moves one hinted component into place.  False when its
// matching point numbers do not name points (TrueType refuses the glyph).
bool PlaceHinted(const FaithfulLoad &F, const Component &c, const TTFCoord *compositeStart,
                 int placed, TTFCoord *points, int count) {
    if (c.flags & kAnyScale) TransformRounded(c, points, count);
    int64_t dx, dy;
    if (c.flags & kArgsAreOffsets) {
        int32_t x = c.argument1, y = c.argument2;
        if ((c.flags & kAnyScale) && (c.flags & kScaledOffsets)) {
            const bool twoByTwo = (c.flags & (kOneScale | kXYScale)) == 0;
            x = TransformedOffset(x, c.xscale, twoByTwo ? c.scale10 : 0);
            y = TransformedOffset(y, c.yscale, twoByTwo ? c.scale01 : 0);
        }
        dx = ScaleFUnitsRounded(x, F.scale);
        dy = ScaleFUnitsRounded(y, F.scale);
        if ((c.flags & kRoundOffsets) && F.hinter != nullptr) {
            dx = PixelRound(int32_t(dx));
            dy = PixelRound(int32_t(dy));
        }
    } else {
        if (c.argument1 >= placed || c.argument2 >= count) return false;
        dx = int64_t(compositeStart[c.argument1].Cur.x) - points[c.argument2].Cur.x;
        dy = int64_t(compositeStart[c.argument1].Cur.y) - points[c.argument2].Cur.y;
    }
    for (int i = 0; i < count; ++i) {
        TTFCoord &p = points[i];
        const longpointtype moved{Clamp32(p.Cur.x + dx), Clamp32(p.Cur.y + dy)};
        p.Orig = p.Prev = p.Cur = moved;
    }
    return true;
}

// A composite's program numbers contour ends from its own first point.
void RebaseEndPoints(_TtfGlyph *pG, Placement at, int contours) {
    for (int k = at.firstContour; k < at.firstContour + contours; ++k)
        pG->EndPoints[k] = int16_t(pG->AbsEndPoints[k] - at.firstPoint);
}

// The composite's program sees the assembled, hinted components (and its
// phantom points as they stand) as its original outline, unscaled too, with
// nothing touched yet.
void HintAssembled(const FaithfulLoad &F, Placement at, int points, int contours, int depth,
                   Phantoms *pp) {
    TTFCoord *zone = F.L.pG->Zone1 + at.firstPoint;
    longpointtype *units = F.L.pG->Unscaled + at.firstPoint;
    for (int i = 0; i < points; ++i) {
        zone[i].Orig = zone[i].Prev = zone[i].Cur;
        zone[i].Flags = uint8_t(zone[i].Flags & ~(kTouchedX | kTouchedY));
        units[i] = zone[i].Cur;
    }
    for (int k = 0; k < kPhantomPoints; ++k) units[points + k] = pp->p[k];
    HintLevel(F, at, points, contours, depth, kUnitScale16Dot16, true, pp);
}

LoadResult LoadFaithfulAt(const FaithfulLoad &F, int GlyphNo, Placement at, int depth,
                          Phantoms *pp, int16_t *pContours);

LoadResult LoadFaithfulComposite(const FaithfulLoad &F, ByteCursor &r, Placement at, int depth,
                                 Phantoms *pp, int16_t *pContours) {
    TTFCoord *compositeStart = F.L.pG->Zone1 + at.firstPoint;
    int contours = 0, placed = 0;
    Component c;
    do {
        c = ReadComponent(r);
        if (!r.ok() || --*F.componentsLeft < 0) return kFailed;
        const Placement next = {at.firstContour + contours, at.firstPoint + placed};
        Phantoms own = {};
        int16_t sub = 0;
        const LoadResult part = LoadFaithfulAt(F, c.glyphIndex, next, depth + 1, &own, &sub);
        if (part.kind == Loaded::Failed) return kFailed;
        if (c.flags & kUseMyMetrics) *pp = own;
        if (part.points > 0 &&
            !PlaceHinted(F, c, compositeStart, placed, compositeStart + placed, part.points))
            return kFailed;
        contours += sub;
        placed += part.points;
    } while (c.flags & kMoreComponents);
    *pContours = int16_t(contours);
    RebaseEndPoints(F.L.pG, at, contours);

    Program program = {nullptr, 0};
    if (c.flags & kHaveInstructions) {
        program.length = r.U16();
        program.code = r.Bytes(program.length);
        if (!r.ok()) return kFailed;
    }
    // Without a program of its own (or with an empty one) the composite is
    // its components as placed, phantom points unrounded.
    if (F.hinter != nullptr && program.length > 0 && placed > 0) {
        TakeInstructions(F.L.pG, program.code, program.length);
        HintAssembled(F, at, placed, contours, depth, pp);
    }
    return {Loaded::Composite, placed};
}

LoadResult LoadFaithfulAt(const FaithfulLoad &F, int GlyphNo, Placement at, int depth,
                          Phantoms *pp, int16_t *pContours) {
    *pContours = 0;
    if (depth > F.L.maxDepth) return kFailed;
    size_t length = 0;
    const uint8_t *bytes = ReadGlyphBytes(F.L, GlyphNo, depth, length);
    if (bytes == nullptr) return kFailed;
    ByteCursor r(bytes, length);
    int32_t contours = 0;
    GlyphBox box = {};
    if (length > 0) {
        contours = r.I16();
        box = {r.I16(), r.I16(), r.I16(), r.I16()};
        if (!r.ok()) return kFailed;
    }
    // An empty glyph keeps its box at zero, like a glyph of no bytes.
    if (contours == 0) box = {};
    *pp = PhantomUnits(F, GlyphNo, box);
    if (contours > 0) return LoadFaithfulSimple(F, r, contours, at, depth, pp, pContours);
    for (longpointtype &p : pp->p) p = ScaledRounded(p, F.scale);
    if (contours == -1) return LoadFaithfulComposite(F, r, at, depth, pp, pContours);
    return kNothing;
}

// TrueType draws a glyph with its (hinted) origin phantom point at x = 0.
void MoveOriginToZero(_TtfGlyph *pG, int points, Phantoms *pp) {
    const int32_t dx = pp->p[0].x;
    if (dx == 0) return;
    for (int i = 0; i < points; ++i) pG->Zone1[i].Cur.x = Clamp32(int64_t(pG->Zone1[i].Cur.x) - dx);
    for (longpointtype &p : pp->p) p.x = Clamp32(int64_t(p.x) - dx);
}

}  // namespace

int LoadGlyphFaithfully(_TTFont *pF, _TtfGlyph *pG, int GlyphNo, OutlineHinter *hinter) {
    if (pF == nullptr || pG == nullptr || pF->InFile == nullptr || pG->Zone1 == nullptr ||
        pG->Unscaled == nullptr)
        return -1;
    pG->NumContours = 0;
    pG->NumComponents = 0;
    std::memset(pG->Phantom, 0, sizeof pG->Phantom);
    DropInstructions(pG);
    // The phantom points of the last outline point go after it.
    const int points = std::min(ZoneCapacity(pG), pG->Zone1Slots - kPhantomPoints);
    // As many as the classic mode records, on each nesting level.
    int componentsLeft = ComponentCapacity(pF->leMaximumProfile) * ComponentDepthLimit(pF);
    const FaithfulLoad F = {{pF, pG, EndPointCapacity(pG), std::max(points, 0),
                             ComponentDepthLimit(pF), int64_t(pF->FileSize)},
                            pG->Scale, hinter, &componentsLeft};
    Phantoms pp = {};
    const LoadResult result = LoadFaithfulAt(F, GlyphNo, {0, 0}, 0, &pp, &pG->NumContours);
    DropInstructions(pG);
    if (result.kind == Loaded::Failed) {
        pG->NumContours = 0;
        return -1;
    }
    MoveOriginToZero(pG, result.points, &pp);
    int32_t pixels = 0;
    if (hinter != nullptr && DeviceAdvance(pF, uint32_t(GlyphNo), PixelsPerEm(pG), &pixels))
        pp.p[1].x = Clamp32(int64_t(pp.p[0].x) + pixels * 64);
    std::memcpy(pG->Phantom, pp.p, sizeof pG->Phantom);
    if (result.points == 0) pG->NumContours = 0;
    return result.points - 1;
}

int PointsOfContours(int NumContours, const int16_t *lpEndPoints) {
    if (NumContours <= 0 || lpEndPoints == nullptr) return 0;
    int last = lpEndPoints[NumContours - 1];
    return last >= 0 ? last + 1 : 0;
}

void ScalePoints(int NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart,
                 int32_t Multiplier) {
    int count = PointsOfContours(NumContours, lpEndPoints);
    for (int i = 0; i < count; ++i) {
        TTFCoord &p = lpStart[i];
        const longpointtype scaled{ScaleFUnits(p.Orig.x, Multiplier),
                                   ScaleFUnits(p.Orig.y, Multiplier)};
        p.Orig = p.Prev = p.Cur = scaled;
    }
}

void SetPrev2Cur(int NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart) {
    int count = PointsOfContours(NumContours, lpEndPoints);
    for (int i = 0; i < count; ++i) lpStart[i].Prev = lpStart[i].Cur;
}

}  // namespace kelmor
