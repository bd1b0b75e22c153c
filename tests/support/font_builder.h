// A writer of small synthetic TrueType files for tests: exactly the tables,
// character maps, glyphs and programs a case needs.
//
// A default FontBuilder produces a minimal font that opens: head, hhea, hmtx,
// maxp, a name record, an empty Unicode format-4 cmap, loca and glyf with one
// empty glyph 0.  Every setter returns the builder, so a case reads as one
// expression:
//
//   auto bytes = FontBuilder()
//                    .UnitsPerEm(2048)
//                    .AddGlyph(Glyph::Simple({{{0, 0}, {100, 0}, {100, 100}}}))
//                    .Cmap4(3, 1, {{0x41, 1}})
//                    .Build();
#ifndef KELMOR_TESTS_FONT_BUILDER_H
#define KELMOR_TESTS_FONT_BUILDER_H

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelmor_test {

using Bytes = std::vector<uint8_t>;

struct Pt {
    int16_t x, y;
    bool on = true;
};
using Contour = std::vector<Pt>;

// Flags of a composite glyph's component record.
enum ComponentFlag : uint16_t {
    kArgsAreWords = 0x0001,
    kArgsAreXYValues = 0x0002,
    kRoundXYToGrid = 0x0004,
    kWeHaveAScale = 0x0008,
    kMoreComponents = 0x0020,
    kWeHaveAnXAndYScale = 0x0040,
    kWeHaveATwoByTwo = 0x0080,
    kWeHaveInstructions = 0x0100,
    kUseMyMetrics = 0x0200,
    kOverlapCompound = 0x0400,
};

// One component of a composite glyph.  The builder sets kArgsAreWords (when
// the arguments do not fit bytes or forceWords is set), kArgsAreXYValues,
// the scale flags, kMoreComponents and kWeHaveInstructions itself;
// extraFlags are OR'ed in (e.g. kRoundXYToGrid).
struct Component {
    uint16_t glyphIndex = 0;
    int32_t arg1 = 0, arg2 = 0;  // x/y offset, or parent/child point numbers
    bool argsAreXY = true;
    bool forceWords = false;
    // F2Dot14 scale: none, one value, x and y, or a 2x2 matrix (xx, xy, yx, yy).
    std::vector<int16_t> scale = {};
    uint16_t extraFlags = 0;
};

struct Glyph {
    enum Kind { kEmpty, kSimple, kComposite, kRaw } kind = kEmpty;
    std::vector<Contour> contours;
    std::vector<Component> components;
    Bytes instructions;
    Bytes raw;
    // Bounding box written in the glyph header; computed from the points of a
    // simple glyph when not given (a composite's defaults to zeros).
    std::optional<std::vector<int16_t>> bbox;

    static Glyph Empty();
    static Glyph Simple(std::vector<Contour> contours, Bytes instructions = {});
    static Glyph Composite(std::vector<Component> components, Bytes instructions = {});
    // Bytes stored as the glyph's data unchanged (for malformed glyphs).
    static Glyph Raw(Bytes bytes);
};

// maxp in host order.  Defaults are computed from the glyphs and programs;
// any field can be overridden with FontBuilder::Maxp.
struct MaxpValues {
    uint16_t numGlyphs, maxPoints, maxContours, maxComponentPoints, maxComponentContours, maxZones,
        maxTwilightPoints, maxStorage, maxFunctionDefs, maxInstructionDefs, maxStackElements,
        maxSizeOfInstructions, maxComponentElements, maxComponentDepth;
};

// One segment of a format-4 sub-table given exactly.
struct Segment4 {
    uint16_t start, end;
    uint16_t idDelta;
    uint16_t idRangeOffset;
};

// One sub-header of a format-2 sub-table: highByte 0 is sub-header 0, used
// for single-byte codes; glyphs are stored as given (entryCount is their
// number) and idRangeOffset is computed to point at them.
struct SubHeader2 {
    uint8_t highByte;
    uint16_t firstCode;
    int16_t idDelta;
    std::vector<uint16_t> glyphs;
};

// A directory entry as it will be written; offsets are final file offsets.
struct DirEntry {
    std::string tag;
    uint32_t checkSum, offset, length;
};
struct Directory {
    std::vector<DirEntry> entries;
    std::optional<uint16_t> numTables;  // written instead of entries.size()
};

class FontBuilder {
public:
    FontBuilder();

    // head
    FontBuilder &UnitsPerEm(uint16_t units);
    FontBuilder &BoundingBox(int16_t xMin, int16_t yMin, int16_t xMax, int16_t yMax);
    FontBuilder &LongLoca(bool isLong = true);
    FontBuilder &LowestRecPPEM(uint16_t ppem);
    // hhea
    FontBuilder &Hhea(int16_t ascender, int16_t descender, int16_t lineGap = 0);
    // maxp: b.Maxp(&MaxpValues::maxStorage, 10)
    FontBuilder &Maxp(uint16_t MaxpValues::*field, uint16_t value);

    // name: strings as raw bytes; NameUtf16 stores ASCII text as UTF-16BE.
    FontBuilder &Name(uint16_t platform, uint16_t encoding, uint16_t language, uint16_t nameID,
                      Bytes bytes);
    FontBuilder &NameUtf16(uint16_t platform, uint16_t encoding, uint16_t language, uint16_t nameID,
                           const std::string &ascii);
    // Identical strings are stored once and shared by their records.
    FontBuilder &ShareNameStrings(bool share = true);

    // cmap sub-tables, written in the order they are added.  The first one
    // added replaces the default empty format-4 sub-table.
    FontBuilder &Cmap0(uint16_t platform, uint16_t encoding, const std::map<uint8_t, uint8_t> &map);
    FontBuilder &Cmap2(uint16_t platform, uint16_t encoding,
                       const std::map<uint16_t, uint16_t> &map);
    FontBuilder &Cmap2SubHeaders(uint16_t platform, uint16_t encoding,
                                 std::vector<SubHeader2> subHeaders);
    FontBuilder &Cmap4(uint16_t platform, uint16_t encoding,
                       const std::map<uint16_t, uint16_t> &map);
    FontBuilder &Cmap4Segments(uint16_t platform, uint16_t encoding, std::vector<Segment4> segments,
                               std::vector<uint16_t> glyphIdArray = {});
    FontBuilder &CmapRaw(uint16_t platform, uint16_t encoding, Bytes subTable);

    // Glyphs: glyph 0 is an empty glyph until replaced with SetGlyph.
    FontBuilder &AddGlyph(Glyph glyph);
    FontBuilder &SetGlyph(uint16_t index, Glyph glyph);

    // mort vertical substitution pairs (horizontal glyph, vertical glyph).
    FontBuilder &Mort(std::vector<std::pair<uint16_t, uint16_t>> pairs, uint16_t entrySize = 4);

    // Programs and control values.
    FontBuilder &Fpgm(Bytes program);
    FontBuilder &Prep(Bytes program);
    FontBuilder &Cvt(std::vector<int16_t> values);

    // Any table as raw bytes (replaces a built one of the same tag), and
    // removing a table from the file.
    FontBuilder &RawTable(const std::string &tag, Bytes bytes);
    FontBuilder &RemoveTable(const std::string &tag);
    // Edits the directory after layout; the table bytes stay where they are,
    // room is left for up to 64 directory entries.
    FontBuilder &EditDirectory(std::function<void(Directory &)> edit);

    size_t GlyphCount() const { return glyphs_.size(); }
    MaxpValues ComputedMaxp() const;

    Bytes Build() const;
    // Writes the font to `path` and returns the path.
    std::string WriteTo(const std::string &path) const;

private:
    struct NameRecord {
        uint16_t platform, encoding, language, nameID;
        Bytes bytes;
    };
    struct CmapSubTable {
        uint16_t platform, encoding;
        Bytes bytes;
    };

    std::map<std::string, Bytes> BuildTables() const;
    Bytes BuildHead() const;
    Bytes BuildHhea() const;
    Bytes BuildHmtx() const;
    Bytes BuildMaxp() const;
    Bytes BuildName() const;
    Bytes BuildCmap() const;
    Bytes BuildMort() const;
    void BuildGlyfLoca(Bytes *glyf, Bytes *loca) const;
    FontBuilder &AddCmap(uint16_t platform, uint16_t encoding, Bytes subTable);

    uint16_t unitsPerEm_ = 1000;
    std::optional<std::vector<int16_t>> bbox_;
    bool longLoca_ = false;
    uint16_t lowestRecPPEM_ = 8;
    int16_t ascender_ = 800, descender_ = -200, lineGap_ = 0;
    std::vector<std::pair<uint16_t MaxpValues::*, uint16_t>> maxpOverrides_;
    std::vector<NameRecord> names_;
    bool shareNames_ = false;
    std::vector<CmapSubTable> cmaps_;
    bool defaultCmap_ = true;
    std::vector<Glyph> glyphs_;
    std::optional<std::pair<std::vector<std::pair<uint16_t, uint16_t>>, uint16_t>> mort_;
    std::optional<Bytes> fpgm_, prep_;
    std::optional<std::vector<int16_t>> cvt_;
    std::map<std::string, Bytes> rawTables_;
    std::vector<std::string> removed_;
    std::function<void(Directory &)> editDirectory_;
};

// Simple byte writer used by the builder and by tests that hand-craft tables.
struct BEWriter {
    Bytes bytes;
    BEWriter &U8(uint8_t v);
    BEWriter &U16(uint16_t v);
    BEWriter &I16(int16_t v) { return U16(uint16_t(v)); }
    BEWriter &U32(uint32_t v);
    BEWriter &Append(const Bytes &more);
    BEWriter &Pad(size_t alignment);
};

// A TrueType collection (.ttc) of the given fonts, each as Build() wrote it,
// with every table offset moved to where the font now lies in the file.
Bytes Collection(const std::vector<Bytes> &fonts);
// Writes bytes to `path` and returns the path.
std::string WriteBytes(const Bytes &bytes, const std::string &path);

}  // namespace kelmor_test

#endif
