// The auto-hinter's shared records: what the glyph hints, the per-style
// metrics, the writing systems and the style tables look like, and the
// functions every writing system builds on.
//
// The auto-hinter grid-fits fonts that bring no hinting programs of their
// own, the way FreeType's default loading does it for them: each glyph
// belongs to a style (a script and its writing system: Latin, CJK, or the
// "dummy" that only scales), chosen from the Unicode ranges of the font's
// character map.  A style measures its metrics once per face from the
// font's own reference characters (standard stem widths, blue zones: the
// heights where many glyphs start or stop) and scales them once per size.
// Then, per glyph, the outline (in font units) is loaded into points,
// runs of points going one way become segments, segments facing each
// other become stems, segments at one position become edges; edges are
// snapped to the grid (blue zones first, then stems), and every other
// point follows the edges it lies between.
//
// Two developers write the writing systems: CJK in autohint_cjk*.cpp,
// Latin in autohint_latin*.cpp.  This header is what both share; add to it
// freely, but do not rename or remove what the other may already use.
//
// Units: "font units" are the font's own integers; scaled positions are
// 26.6 fixed point (1/64 pixel); scales are 16.16.  Every count comes from a
// font file and is bounded before any work is sized by it.
#ifndef KELMOR_TTF_AUTOHINT_AUTOHINT_HINTS_H
#define KELMOR_TTF_AUTOHINT_AUTOHINT_HINTS_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kelmor {
namespace autohint {

// ------------------------------------------------------------ arithmetic
//
// The reference computes on 64-bit hosts; these give its results bit for
// bit (rounding halves away from zero, as it does).

// (a * b) / 65536, rounded.  Both arguments are taken as 32-bit values.
inline int32_t MulFix(int32_t a, int32_t b) {
    int64_t product = int64_t(a) * int64_t(b);
    product += 0x8000 + (product >> 63);
    return int32_t(product >> 16);
}

// (a * 65536) / b, rounded; b == 0 gives the largest magnitude.
int32_t DivFix(int32_t a, int32_t b);

// (a * b) / c, rounded; c == 0 gives the largest magnitude.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// (a * b) / c, truncated toward zero.
int32_t MulDivNoRound(int32_t a, int32_t b, int32_t c);

inline int32_t PixFloor(int32_t x) { return int32_t(uint32_t(x) & ~uint32_t(63)); }
inline int32_t PixRound(int32_t x) { return PixFloor(int32_t(uint32_t(x) + 32u)); }
inline int32_t PixCeil(int32_t x) { return PixFloor(int32_t(uint32_t(x) + 63u)); }

// ------------------------------------------------------------- outlines

struct Vector {
    int32_t x;
    int32_t y;
};

// Point tags, as the glyph loader hands them over.
constexpr uint8_t kTagOnCurve = 0x01;
constexpr uint8_t kTagCubic = 0x02;  // off-curve point of a cubic arc (else quadratic)

// An outline: in font units when loaded, in 26.6 once scaled and hinted.
// contourEnds holds the index of each contour's last point, ascending.
struct Outline {
    std::vector<Vector> points;
    std::vector<uint8_t> tags;
    std::vector<int32_t> contourEnds;

    void Clear() {
        points.clear();
        tags.clear();
        contourEnds.clear();
    }
};

// The most points and contours the auto-hinter takes in one glyph (the
// interpreter's zone limit); a larger outline is drawn unhinted.
constexpr int32_t kMaxHintPoints = 32767;
constexpr int32_t kMaxHintContours = 16383;

// ---------------------------------------------------------- the font face

// What the auto-hinter needs from the font: its character map, its glyph
// outlines in font units (composites already assembled), its advances.
// The driver implements it over the font object; tests over built fonts.
class FontAccess {
public:
    virtual ~FontAccess() = default;
    virtual uint32_t UnitsPerEm() const = 0;
    virtual uint32_t GlyphCount() const = 0;
    // Whether the font has a Unicode character map at all (without one,
    // styles measure nothing and every glyph takes the fallback style).
    virtual bool HasUnicodeMap() { return true; }
    // The glyph the Unicode character map gives `code`; 0 when none.
    virtual uint32_t GlyphForChar(uint32_t code) = 0;
    // The first code above `code` that maps to a glyph other than 0, with
    // that glyph; false once there is none.  Walks the character map in
    // order, as the style coverage needs.
    virtual bool NextMappedChar(uint32_t code, uint32_t *next, uint32_t *glyph) = 0;
    // The glyph's outline in font units, as the glyph loader assembles it
    // unscaled and without hinting (shifted so that the origin sits where
    // the horizontal metrics put it: x minus (xMin - left side bearing));
    // false when the glyph cannot be read.
    virtual bool LoadFontUnitOutline(uint32_t glyph, Outline *out) = 0;
    // The glyph's advance width in font units (hmtx).
    virtual int32_t AdvanceWidth(uint32_t glyph) = 0;
    // The advance of the glyph LoadFontUnitOutline loaded last, as the
    // load left it: a composite may take a component's (USE_MY_METRICS).
    // The hinted advance starts from this one, as the reference's loader
    // starts from the loaded glyph's; by default hmtx's.
    virtual int32_t LoadedAdvance(uint32_t glyph) { return AdvanceWidth(glyph); }
    // Whether the face is italic: OS/2 fsSelection bit 0 or 9 where the
    // font has an OS/2 table, else head's macStyle bit 1.  The Latin
    // writing system leaves x alone in italic faces, where vertical stems
    // are slanted and snapping them would distort the glyph.
    virtual bool IsItalic() { return false; }
    // Whether post says the font is monospaced: its glyphs then keep their
    // scaled advance instead of the hinted one.
    virtual bool IsFixedPitch() { return false; }
};

// -------------------------------------------------------- dimensions and directions

enum Dimension : int {
    kDimHorz = 0,  // x coordinates: vertical segments and edges
    kDimVert = 1,  // y coordinates: horizontal segments and edges
    kDimCount = 2
};

// Two directions are opposite exactly when they add up to zero.
enum Direction : int8_t {
    kDirNone = 4,
    kDirRight = 1,
    kDirLeft = -1,
    kDirUp = 2,
    kDirDown = -2
};

// The major direction of the vector (dx, dy): kDirNone unless one
// coordinate clearly dominates the other.
Direction ComputeDirection(int32_t dx, int32_t dy);

// -------------------------------------------------------- widths and blue zones

// A stem width or a blue zone height: in font units, scaled, and fitted.
struct Width {
    int32_t org;  // font units
    int32_t cur;  // scaled, 26.6
    int32_t fit;  // fitted to the grid, 26.6
};

constexpr int kMaxWidths = 16;  // standard widths kept per axis
constexpr int kMaxBlues = 8;    // blue zones per style and axis

// Blue zone flags (both writing systems).
constexpr uint32_t kBlueActive = 1u << 0;  // the zone is at most 3/4 pixel tall at this size

// CJK blue zone flags.
constexpr uint32_t kCjkBlueTop = 1u << 1;         // a top (or right) zone
constexpr uint32_t kCjkBlueAdjustment = 1u << 2;  // the zone used to adjust the scale

// Latin blue zone flags.
constexpr uint32_t kLatinBlueTop = 1u << 1;
constexpr uint32_t kLatinBlueSubTop = 1u << 2;
constexpr uint32_t kLatinBlueNeutral = 1u << 3;
constexpr uint32_t kLatinBlueAdjustment = 1u << 4;

// ------------------------------------------------------------ the scaler

// Scaler flags.
constexpr uint32_t kScalerNoHorizontal = 1u << 0;  // no hinting along x
constexpr uint32_t kScalerNoVertical = 1u << 1;    // no hinting along y
constexpr uint32_t kScalerNoAdvance = 1u << 2;     // keep the advance unhinted

enum class RenderTarget : uint8_t { kNormal, kLight, kMono, kLcd, kLcdV };

// From font units to the device: 26.6 = MulFix(font units, scale) + delta.
struct Scaler {
    int32_t xScale;
    int32_t yScale;
    int32_t xDelta;
    int32_t yDelta;
    RenderTarget target;
    uint32_t flags;
    // Pixels per em along x: a few of the Latin writing system's rules
    // (the "increase x-height" option, how much stems may lose to
    // rounding outside monochrome targets) depend on the size itself.
    uint32_t xPpem;
};

inline bool SameScales(const Scaler &a, const Scaler &b) {
    return a.xScale == b.xScale && a.yScale == b.yScale && a.xDelta == b.xDelta &&
           a.yDelta == b.yDelta;
}

// ------------------------------------------------------ styles and scripts

enum class WritingSystemId : uint8_t { kDummy, kLatin, kCjk, kIndic, kCount };

// A closed range of Unicode code points.
struct UnicodeRange {
    uint32_t first;
    uint32_t last;
};

// Blue string property bits (what a reference string's zone is).
constexpr uint8_t kBlueLatinTop = 1u << 0;
constexpr uint8_t kBlueLatinSubTop = 1u << 1;
constexpr uint8_t kBlueLatinNeutral = 1u << 2;
constexpr uint8_t kBlueLatinXHeight = 1u << 3;
constexpr uint8_t kBlueLatinLong = 1u << 4;
constexpr uint8_t kBlueCjkTop = 1u << 0;    // top zone (right zone for CJK_HORIZ)
constexpr uint8_t kBlueCjkHoriz = 1u << 1;  // a zone on the x axis (left or right)
constexpr uint8_t kBlueCjkRight = kBlueCjkTop;

// One blue zone's reference characters (UTF-8; a space separates
// characters, and for CJK a '|' separates the flat-edge characters from
// the fill ones) and what the zone is.
struct BlueString {
    const char *text;
    uint8_t properties;
};

struct ScriptClass {
    const char *tag;                   // four letters, e.g. "hani"
    const UnicodeRange *ranges;        // ends with {0, 0}
    const UnicodeRange *nonbaseRanges; // ends with {0, 0}
    bool topToBottomHinting;
    const char *standardChars;         // UTF-8, space separated: for the standard widths
};

struct StyleClass {
    const char *name;                  // e.g. "hani_dflt"
    WritingSystemId writingSystem;
    const ScriptClass *script;
    const BlueString *blues;           // blueCount entries
    int blueCount;
    bool isDefaultCoverage;            // only default-coverage styles claim glyphs without a shaper
};

// The style table, in the reference's order (the first style whose script
// covers a character claims its glyph).
int StyleCount();
const StyleClass &StyleAt(int style);
// The style that takes glyphs no style covers (hani_dflt).
int FallbackStyle();
// The style with `name`, or -1.
int FindStyle(const char *name);

// Decodes one UTF-8 character of `text` at *pos, advancing *pos; 0 at the end.
uint32_t NextUtf8(const char *text, size_t *pos);

// ------------------------------------------------------ per-style metrics

struct FaceGlobals;

// What every style's metrics start with; a writing system derives its own.
struct StyleMetrics {
    virtual ~StyleMetrics() = default;
    const StyleClass *style = nullptr;
    int styleIndex = -1;
    Scaler scaler = {};
    bool digitsHaveSameWidth = false;
    FaceGlobals *globals = nullptr;
};

// One axis of standard widths and its zones' common fields.
struct AxisWidths {
    int32_t scale = 0;    // 16.16, after any blue-zone adjustment
    int32_t delta = 0;    // 26.6
    uint32_t widthCount = 0;
    Width widths[kMaxWidths] = {};
    int32_t edgeDistanceThreshold = 0;  // font units: how close segments join into an edge
    int32_t standardWidth = 0;          // font units
    bool extraLight = false;            // the standard width is very thin
    int32_t orgScale = 0;               // the scale before adjustment
    int32_t orgDelta = 0;
};

struct CjkBlue {
    Width ref;
    Width shoot;  // the overshoot (an undershoot for bottom zones)
    uint32_t flags;
};

struct CjkAxis : AxisWidths {
    bool controlOvershoot = false;
    uint32_t blueCount = 0;
    CjkBlue blues[kMaxBlues] = {};
};

struct CjkMetrics : StyleMetrics {
    uint32_t unitsPerEm = 0;
    CjkAxis axis[kDimCount];
};

struct LatinBlue {
    Width ref;
    Width shoot;
    int32_t ascender;
    int32_t descender;
    uint32_t flags;
};

struct LatinAxis : AxisWidths {
    uint32_t blueCount = 0;
    LatinBlue blues[kMaxBlues] = {};
};

struct LatinMetrics : StyleMetrics {
    uint32_t unitsPerEm = 0;
    LatinAxis axis[kDimCount];
};

// ------------------------------------------------------------ glyph hints

// Point flags.
constexpr uint16_t kPointConic = 1u << 0;    // off-curve, quadratic
constexpr uint16_t kPointCubic = 1u << 1;    // off-curve, cubic
constexpr uint16_t kPointControl = kPointConic | kPointCubic;
constexpr uint16_t kPointTouchX = 1u << 2;
constexpr uint16_t kPointTouchY = 1u << 3;
constexpr uint16_t kPointWeak = 1u << 4;     // interpolated, not aligned to an edge
constexpr uint16_t kPointNear = 1u << 5;     // the next point is very close

// Edge (and segment) flags.
constexpr uint8_t kEdgeNormal = 0;
constexpr uint8_t kEdgeRound = 1u << 0;
constexpr uint8_t kEdgeSerif = 1u << 1;
constexpr uint8_t kEdgeDone = 1u << 2;
constexpr uint8_t kEdgeNeutral = 1u << 3;  // aligned to a neutral blue zone

struct Point;
struct Segment;
struct Edge;

struct Point {
    uint16_t flags;
    int8_t inDir;    // direction of the vector from the previous point
    int8_t outDir;   // direction of the vector to the next point
    int32_t ox, oy;  // scaled, unhinted (26.6)
    int16_t fx, fy;  // font units
    int32_t x, y;    // current (26.6)
    int32_t u, v;    // (x, y) or (y, x), as the dimension being hinted needs
    Point *next;     // next point of the contour
    Point *prev;     // previous point of the contour
};

struct Segment {
    uint8_t flags;
    int8_t dir;
    int16_t pos;         // font units (the segment's position across its direction)
    int16_t delta;       // how far its points stray from pos
    int16_t minCoord;    // extent along its direction
    int16_t maxCoord;
    int16_t height;      // hinted height (CJK, Latin blue alignment)
    Edge *edge;          // the edge it belongs to
    Segment *edgeNext;   // next segment of that edge (a ring)
    Segment *link;       // the segment across the stem
    Segment *serif;      // for a serif: the stem segment it hangs from
    int32_t score;       // stem matching
    int32_t len;
    Point *first;
    Point *last;
};

inline int32_t SegmentLength(const Segment &s) { return int32_t(s.maxCoord) - s.minCoord; }

struct Edge {
    int16_t fpos;      // font units
    int32_t opos;      // scaled, unhinted
    int32_t pos;       // hinted
    uint8_t flags;
    int8_t dir;
    int32_t scale;     // 16.16, for interpolating between edges
    Width *blueEdge;   // the blue zone position it snaps to, or null
    Edge *link;        // the edge across the stem
    Edge *serif;       // the stem edge a serif hangs from
    int32_t score;
    Segment *first;    // first segment
    Segment *last;     // last segment (first->edgeNext... reaches it)
};

// One dimension's segments and edges.  Both live in vectors reserved
// before they are filled, so pointers into them stay put while a glyph is
// hinted (segment and edge counts are bounded by the point count).
struct AxisHints {
    std::vector<Segment> segments;
    std::vector<Edge> edges;
    Direction majorDir = kDirNone;
};

// Writing-system flags kept in GlyphHints::otherFlags.
constexpr uint32_t kHintsHorzSnap = 1u << 0;    // snap stem widths along x
constexpr uint32_t kHintsVertSnap = 1u << 1;    // snap stem heights along y
constexpr uint32_t kHintsStemAdjust = 1u << 2;  // adjust stem widths
constexpr uint32_t kHintsMono = 1u << 3;        // monochrome target

// One glyph being hinted: its points (contours as rings), both axes'
// segments and edges, the scale in use.  Kept between glyphs so that its
// buffers are reused.
struct GlyphHints {
    int32_t xScale = 0;
    int32_t xDelta = 0;
    int32_t yScale = 0;
    int32_t yDelta = 0;
    std::vector<Point> points;
    std::vector<Point *> contours;  // first point of each contour
    AxisHints axis[kDimCount];
    uint32_t scalerFlags = 0;
    uint32_t otherFlags = 0;
    StyleMetrics *metrics = nullptr;
    uint32_t unitsPerEm = 0;  // the face's, for thresholds given per 2048 units

    bool DoHorizontal() const { return !(scalerFlags & kScalerNoHorizontal); }
    bool DoVertical() const { return !(scalerFlags & kScalerNoVertical); }
    bool DoAdvance() const { return !(scalerFlags & kScalerNoAdvance); }
};

// ------------------------------------------------------ shared functions
// (autohint_points.cpp, autohint_segments.cpp, autohint_math.cpp)

// Takes the metrics' scale for the next glyph.
void RescaleHints(GlyphHints *hints, StyleMetrics *metrics);

// Loads `outline` (font units) into the hints' points: scaled positions,
// flags, in and out directions, weak points.  False when the outline is
// larger than the limits above.
bool ReloadHints(GlyphHints *hints, const Outline &outline);

// Writes the points' current positions back into `outline` (same shape
// as the one loaded).
void SaveHints(const GlyphHints &hints, Outline *outline);

// Segments of dimension `dim` from the points (font units): runs of
// points along the axis's major direction.
bool ComputeSegments(GlyphHints *hints, Dimension dim);

// Pairs segments facing each other into stems (link) and marks serifs,
// preferring widths near the standard ones when `widths` is given.
void LinkSegments(GlyphHints *hints, uint32_t widthCount, const Width *widths, Dimension dim);

// A new edge at `fpos` of direction `dir`, kept sorted by fpos; null when
// the axis is full.  `topToBottom` orders equal positions as top-to-bottom
// scripts want.
Edge *NewEdge(AxisHints *axis, int32_t fpos, Direction dir, bool topToBottom);

// Moves the points of every edge's segments onto the edge.
void AlignEdgePoints(GlyphHints *hints, Dimension dim);
// Strong points (not weak, not on an edge) follow the edges around them.
void AlignStrongPoints(GlyphHints *hints, Dimension dim);
// Weak points are interpolated between the touched points on their contour.
void AlignWeakPoints(GlyphHints *hints, Dimension dim);

// The standard stem widths of both axes, measured on `glyph`, a script's
// standard character (0: the font has none): its segments found and
// linked in font units, the distances of segments linked to each other.
// Each axis's standard width is then its narrowest stem (without one, 50
// units of a 2048-unit em), and segments closer than a fifth of it join
// one edge.
void MeasureStandardWidths(StyleMetrics *metrics, uint32_t unitsPerEm, FontAccess *font, uint32_t glyph,
                           AxisWidths *const (&axes)[kDimCount]);

// Every segment of every edge's ring learns its edge.
void PointSegmentsAtEdges(AxisHints *axis);

// An edge's stem partner (link) or serif, taken from one of its segments:
// a serif hanging from another edge outranks the link, and where the edge
// already has one, the nearer of the two wins.
void LinkEdgeFromSegment(Edge *edge, Segment *seg);

// Sets the glyph's hints up for the metrics: their scale (the axes' scales
// as the metrics' scaling left them) and what the target snaps.
void StartGlyphHints(GlyphHints *hints, StyleMetrics *metrics, const AxisWidths &horz, const AxisWidths &vert);

// Scales a blue zone's reference and overshoot to the size, unfitted and
// inactive; true when the zone is at most 3/4 pixel tall there (its
// scaled height in *height), so that the writing system fits it.
bool ScaleZone(Width *ref, Width *shoot, uint32_t *flags, int32_t scale, int32_t delta, int32_t *height);

// Sorts widths, merges those closer than `threshold` (font units) and
// keeps the merged count in *count.
void SortAndQuantizeWidths(uint32_t *count, Width *widths, int32_t threshold);
// Sorts `count` positions ascending.
void SortPositions(uint32_t count, int32_t *table);

// ------------------------------------------------------ writing systems

// A writing system's four steps.  InitMetrics measures a style once per
// face (false: the style cannot be used; it has moved its glyphs to
// another style in globals->glyphStyles, and the glyph's style is looked
// up again); Scale fits them to a size; InitHints prepares one glyph's
// hints; ApplyHints hints the glyph: outline in font units in, hinted
// positions left in the hints' points (the loader saves them into the
// scaled outline; ApplyHints does not).  False from ApplyHints: the
// outline could not be hinted and is drawn scaled only.
struct WritingSystemClass {
    WritingSystemId id;
    std::unique_ptr<StyleMetrics> (*newMetrics)();
    bool (*initMetrics)(StyleMetrics *metrics, FontAccess *font);
    void (*scaleMetrics)(StyleMetrics *metrics, const Scaler &scaler);
    bool (*initHints)(GlyphHints *hints, StyleMetrics *metrics);
    bool (*applyHints)(uint32_t glyph, GlyphHints *hints, const Outline &outline,
                       StyleMetrics *metrics);
};

// The writing systems, defined beside their code.  The Latin one lives in
// autohint_latin.cpp (while that file does not exist yet,
// autohint_latin_stub.cpp stands in: delete the stub when adding it).
extern const WritingSystemClass kDummyWritingSystem;
extern const WritingSystemClass kLatinWritingSystem;
extern const WritingSystemClass kCjkWritingSystem;
extern const WritingSystemClass kIndicWritingSystem;  // CJK without blue zones

// The class of a writing system (Indic uses the CJK one, as the reference
// does).
const WritingSystemClass &WritingSystemOf(WritingSystemId id);

// Latin entry points (autohint_latin.cpp), for kLatinWritingSystem.
bool InitLatinMetrics(StyleMetrics *metrics, FontAccess *font);
void ScaleLatinMetrics(StyleMetrics *metrics, const Scaler &scaler);
bool InitLatinHints(GlyphHints *hints, StyleMetrics *metrics);
bool ApplyLatinHints(uint32_t glyph, GlyphHints *hints, const Outline &outline,
                     StyleMetrics *metrics);

// ---------------------------------------------------------- face globals

// Style bits kept per glyph.
constexpr uint16_t kStyleMask = 0x3FFF;
constexpr uint16_t kStyleUnassigned = kStyleMask;
constexpr uint16_t kGlyphIsDigit = 0x8000;    // an ASCII digit
constexpr uint16_t kGlyphIsNonbase = 0x4000;  // a combining (non-base) character

// Per face: the style of every glyph, and each style's metrics once used.
struct FaceGlobals {
    FontAccess *font = nullptr;
    uint32_t glyphCount = 0;
    std::vector<uint16_t> glyphStyles;
    std::vector<std::unique_ptr<StyleMetrics>> metrics;  // one slot per style, filled lazily
    uint32_t increaseXHeight = 0;                        // the reference's default: off
};

// Sorts the face's glyphs into styles from its character map.
void ComputeStyleCoverage(FaceGlobals *globals, FontAccess *font);
// The metrics of glyph's style, measured on first use; null when the
// glyph is out of range.
StyleMetrics *MetricsForGlyph(FaceGlobals *globals, uint32_t glyph);
bool GlyphIsDigit(const FaceGlobals &globals, uint32_t glyph);

}  // namespace autohint
}  // namespace kelmor

#endif
