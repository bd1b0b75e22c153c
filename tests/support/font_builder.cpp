#include "font_builder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>

namespace kelmor_test {

// ------------------------------------------------------------------ writer

BEWriter &BEWriter::U8(uint8_t v) {
    bytes.push_back(v);
    return *this;
}
BEWriter &BEWriter::U16(uint16_t v) { return U8(uint8_t(v >> 8)).U8(uint8_t(v)); }
BEWriter &BEWriter::U32(uint32_t v) { return U16(uint16_t(v >> 16)).U16(uint16_t(v)); }
BEWriter &BEWriter::Append(const Bytes &more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return *this;
}
BEWriter &BEWriter::Pad(size_t alignment) {
    while (bytes.size() % alignment != 0) bytes.push_back(0);
    return *this;
}

namespace {

constexpr size_t kReservedDirectoryEntries = 64;

// ------------------------------------------------------------- glyph data

// Bit meanings of a simple glyph's point flags.
constexpr uint8_t kOnCurve = 0x01, kXShort = 0x02, kYShort = 0x04, kRepeat = 0x08,
                  kXSameOrPositive = 0x10, kYSameOrPositive = 0x20;

struct Box {
    int16_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    bool empty = true;
    void Add(const Pt &p) {
        if (empty) {
            *this = {p.x, p.y, p.x, p.y, false};
            return;
        }
        xMin = std::min(xMin, p.x), yMin = std::min(yMin, p.y);
        xMax = std::max(xMax, p.x), yMax = std::max(yMax, p.y);
    }
};

Box PointsBox(const std::vector<Contour> &contours) {
    Box box;
    for (const Contour &c : contours)
        for (const Pt &p : c) box.Add(p);
    return box;
}

// Flag bits and coordinate bytes of one delta, in the shortest form.
uint8_t EncodeDelta(int delta, uint8_t shortBit, uint8_t sameBit, BEWriter *out) {
    if (delta == 0) return sameBit;
    if (delta >= -255 && delta <= 255) {
        out->U8(uint8_t(delta < 0 ? -delta : delta));
        return uint8_t(shortBit | (delta > 0 ? sameBit : 0));
    }
    out->I16(int16_t(delta));
    return 0;
}

// Flags with runs of equal flags folded into the repeat form.
Bytes PackFlags(const Bytes &flags) {
    Bytes packed;
    for (size_t i = 0; i < flags.size();) {
        size_t run = 1;
        while (i + run < flags.size() && flags[i + run] == flags[i] && run < 256) ++run;
        if (run > 1) {
            packed.push_back(uint8_t(flags[i] | kRepeat));
            packed.push_back(uint8_t(run - 1));
        } else {
            packed.push_back(flags[i]);
        }
        i += run;
    }
    return packed;
}

void WriteBox(BEWriter &w, const std::vector<int16_t> &box) {
    for (size_t i = 0; i < 4; ++i) w.I16(i < box.size() ? box[i] : 0);
}

Bytes EncodeSimple(const Glyph &g) {
    BEWriter w;
    w.I16(int16_t(g.contours.size()));
    Box box = PointsBox(g.contours);
    WriteBox(w, g.bbox.value_or(std::vector<int16_t>{box.xMin, box.yMin, box.xMax, box.yMax}));
    int endPoint = -1;
    for (const Contour &c : g.contours) w.U16(uint16_t(endPoint += int(c.size())));
    w.U16(uint16_t(g.instructions.size())).Append(g.instructions);
    Bytes flags;
    BEWriter xs, ys;
    Pt previous{0, 0};
    for (const Contour &c : g.contours) {
        for (const Pt &p : c) {
            uint8_t flag = p.on ? kOnCurve : 0;
            flag |= EncodeDelta(p.x - previous.x, kXShort, kXSameOrPositive, &xs);
            flag |= EncodeDelta(p.y - previous.y, kYShort, kYSameOrPositive, &ys);
            flags.push_back(flag);
            previous = p;
        }
    }
    return w.Append(PackFlags(flags)).Append(xs.bytes).Append(ys.bytes).bytes;
}

bool ArgFitsByte(int32_t v, bool signedArg) {
    return signedArg ? (v >= -128 && v <= 127) : (v >= 0 && v <= 255);
}

uint16_t ComponentFlags(const Component &c, bool last, bool instructions) {
    uint16_t flags = c.extraFlags;
    bool words =
        c.forceWords || !ArgFitsByte(c.arg1, c.argsAreXY) || !ArgFitsByte(c.arg2, c.argsAreXY);
    if (words) flags |= kArgsAreWords;
    if (c.argsAreXY) flags |= kArgsAreXYValues;
    if (c.scale.size() == 1) flags |= kWeHaveAScale;
    if (c.scale.size() == 2) flags |= kWeHaveAnXAndYScale;
    if (c.scale.size() == 4) flags |= kWeHaveATwoByTwo;
    if (!last) flags |= kMoreComponents;
    if (last && instructions) flags |= kWeHaveInstructions;
    return flags;
}

Bytes EncodeComposite(const Glyph &g) {
    BEWriter w;
    w.I16(-1);
    WriteBox(w, g.bbox.value_or(std::vector<int16_t>{}));
    for (size_t i = 0; i < g.components.size(); ++i) {
        const Component &c = g.components[i];
        uint16_t flags = ComponentFlags(c, i + 1 == g.components.size(), !g.instructions.empty());
        w.U16(flags).U16(c.glyphIndex);
        if (flags & kArgsAreWords)
            w.I16(int16_t(c.arg1)).I16(int16_t(c.arg2));
        else
            w.U8(uint8_t(c.arg1)).U8(uint8_t(c.arg2));
        for (int16_t s : c.scale) w.I16(s);
    }
    if (!g.instructions.empty()) w.U16(uint16_t(g.instructions.size())).Append(g.instructions);
    return w.bytes;
}

Bytes EncodeGlyph(const Glyph &g) {
    switch (g.kind) {
    case Glyph::kSimple: return EncodeSimple(g);
    case Glyph::kComposite: return EncodeComposite(g);
    case Glyph::kRaw: return g.raw;
    default: return {};
    }
}

// Points, contours and nesting depth of a glyph with its components resolved.
struct Extent {
    uint32_t points = 0, contours = 0, depth = 0;
};

Extent GlyphExtent(const std::vector<Glyph> &glyphs, uint16_t index, int recursion) {
    Extent e;
    if (index >= glyphs.size() || recursion > 16) return e;
    const Glyph &g = glyphs[index];
    if (g.kind == Glyph::kSimple) {
        e.contours = uint32_t(g.contours.size());
        for (const Contour &c : g.contours) e.points += uint32_t(c.size());
    }
    for (const Component &c : g.components) {
        Extent sub = GlyphExtent(glyphs, c.glyphIndex, recursion + 1);
        e.points += sub.points;
        e.contours += sub.contours;
        e.depth = std::max(e.depth, sub.depth + 1);
    }
    return e;
}

// ------------------------------------------------------------------- cmap

Bytes Format2(const std::vector<SubHeader2> &given) {
    std::vector<SubHeader2> subs = given;
    auto zero =
        std::find_if(subs.begin(), subs.end(), [](const SubHeader2 &s) { return s.highByte == 0; });
    if (zero == subs.end())
        subs.insert(subs.begin(), SubHeader2{0, 0, 0, {}});
    else
        std::rotate(subs.begin(), zero, zero + 1);
    BEWriter keys;
    std::vector<uint16_t> keyOf(256, 0);
    for (size_t n = 1; n < subs.size(); ++n) keyOf[subs[n].highByte] = uint16_t(8 * n);
    for (uint16_t k : keyOf) keys.U16(k);
    size_t headersStart = 6 + 512;
    size_t arrayPos = headersStart + 8 * subs.size();
    BEWriter headers, arrays;
    for (size_t n = 0; n < subs.size(); ++n) {
        size_t rangeField = headersStart + 8 * n + 6;
        headers.U16(subs[n].firstCode).U16(uint16_t(subs[n].glyphs.size()));
        headers.I16(subs[n].idDelta).U16(uint16_t(arrayPos - rangeField));
        for (uint16_t glyph : subs[n].glyphs) arrays.U16(glyph);
        arrayPos += 2 * subs[n].glyphs.size();
    }
    BEWriter w;
    w.U16(2).U16(uint16_t(arrayPos)).U16(0);
    return w.Append(keys.bytes).Append(headers.bytes).Append(arrays.bytes).bytes;
}

std::vector<SubHeader2> SubHeadersFromMap(const std::map<uint16_t, uint16_t> &map) {
    std::map<uint8_t, std::map<uint8_t, uint16_t>> byHigh;
    for (auto [code, glyph] : map) byHigh[uint8_t(code >> 8)][uint8_t(code)] = glyph;
    std::vector<SubHeader2> subs;
    for (const auto &[high, lows] : byHigh) {
        SubHeader2 s{high, lows.begin()->first, 0, {}};
        for (int low = s.firstCode; low <= lows.rbegin()->first; ++low) {
            auto it = lows.find(uint8_t(low));
            s.glyphs.push_back(it == lows.end() ? 0 : it->second);
        }
        subs.push_back(s);
    }
    return subs;
}

Bytes Format4(const std::vector<Segment4> &segments, const std::vector<uint16_t> &glyphIdArray) {
    uint16_t segCount = uint16_t(segments.size());
    uint16_t searchRange = 2, entrySelector = 0;
    while (searchRange * 2 <= 2 * segCount) searchRange *= 2, ++entrySelector;
    if (segCount == 0) searchRange = 0;
    BEWriter body;
    for (const Segment4 &s : segments) body.U16(s.end);
    body.U16(0);
    for (const Segment4 &s : segments) body.U16(s.start);
    for (const Segment4 &s : segments) body.U16(s.idDelta);
    for (const Segment4 &s : segments) body.U16(s.idRangeOffset);
    for (uint16_t g : glyphIdArray) body.U16(g);
    BEWriter w;
    w.U16(4).U16(uint16_t(14 + body.bytes.size())).U16(0);
    w.U16(uint16_t(2 * segCount)).U16(searchRange).U16(entrySelector);
    w.U16(uint16_t(2 * segCount - searchRange));
    return w.Append(body.bytes).bytes;
}

// Runs of consecutive codes: a run whose glyphs follow its codes is one
// delta segment, any other run stores its glyphs in the glyph array.
Bytes Format4FromMap(const std::map<uint16_t, uint16_t> &map) {
    std::vector<std::vector<std::pair<uint16_t, uint16_t>>> runs;
    for (auto entry : map) {
        if (runs.empty() || runs.back().back().first + 1 != entry.first) runs.emplace_back();
        runs.back().push_back(entry);
    }
    bool needsEnd = runs.empty() || runs.back().back().first != 0xFFFF;
    size_t segCount = runs.size() + (needsEnd ? 1 : 0);
    std::vector<Segment4> segments;
    std::vector<uint16_t> glyphs;
    for (size_t i = 0; i < runs.size(); ++i) {
        const auto &run = runs[i];
        uint16_t delta = uint16_t(run.front().second - run.front().first);
        bool uniform = std::all_of(run.begin(), run.end(), [delta](auto e) {
            return uint16_t(e.second - e.first) == delta;
        });
        Segment4 s{run.front().first, run.back().first, delta, 0};
        if (!uniform) {
            s.idDelta = 0;
            s.idRangeOffset = uint16_t(2 * (segCount - i) + 2 * glyphs.size());
            for (auto e : run) glyphs.push_back(e.second);
        }
        segments.push_back(s);
    }
    if (needsEnd) segments.push_back({0xFFFF, 0xFFFF, 1, 0});
    return Format4(segments, glyphs);
}

// ----------------------------------------------------------------- layout

uint32_t CheckSum(const Bytes &table) {
    uint32_t sum = 0;
    for (size_t i = 0; i < table.size(); ++i) sum += uint32_t(table[i]) << (24 - 8 * (i % 4));
    return sum;
}

void WriteOffsetTable(BEWriter &w, uint16_t numTables) {
    uint16_t power = 1, selector = 0;
    while (power * 2 <= numTables) power *= 2, ++selector;
    w.U32(0x00010000).U16(numTables).U16(uint16_t(power * 16)).U16(selector);
    w.U16(uint16_t(numTables * 16 - power * 16));
}

}  // namespace

// ------------------------------------------------------------------ glyphs

Glyph Glyph::Empty() { return Glyph{}; }

Glyph Glyph::Simple(std::vector<Contour> contours, Bytes instructions) {
    Glyph g;
    g.kind = kSimple;
    g.contours = std::move(contours);
    g.instructions = std::move(instructions);
    return g;
}

Glyph Glyph::Composite(std::vector<Component> components, Bytes instructions) {
    Glyph g = Simple({}, std::move(instructions));
    g.kind = kComposite;
    g.components = std::move(components);
    return g;
}

Glyph Glyph::Raw(Bytes bytes) {
    Glyph g;
    g.kind = kRaw;
    g.raw = std::move(bytes);
    return g;
}

// ----------------------------------------------------------------- setters

FontBuilder::FontBuilder() : glyphs_{Glyph::Empty()} {}

FontBuilder &FontBuilder::UnitsPerEm(uint16_t units) {
    unitsPerEm_ = units;
    return *this;
}
FontBuilder &FontBuilder::BoundingBox(int16_t xMin, int16_t yMin, int16_t xMax, int16_t yMax) {
    bbox_ = std::vector<int16_t>{xMin, yMin, xMax, yMax};
    return *this;
}
FontBuilder &FontBuilder::LongLoca(bool isLong) {
    longLoca_ = isLong;
    return *this;
}
FontBuilder &FontBuilder::LowestRecPPEM(uint16_t ppem) {
    lowestRecPPEM_ = ppem;
    return *this;
}
FontBuilder &FontBuilder::Hhea(int16_t ascender, int16_t descender, int16_t lineGap) {
    ascender_ = ascender, descender_ = descender, lineGap_ = lineGap;
    return *this;
}
FontBuilder &FontBuilder::Maxp(uint16_t MaxpValues::*field, uint16_t value) {
    maxpOverrides_.emplace_back(field, value);
    return *this;
}

FontBuilder &FontBuilder::Name(uint16_t platform, uint16_t encoding, uint16_t language,
                               uint16_t nameID, Bytes bytes) {
    names_.push_back({platform, encoding, language, nameID, std::move(bytes)});
    return *this;
}
FontBuilder &FontBuilder::NameUtf16(uint16_t platform, uint16_t encoding, uint16_t language,
                                    uint16_t nameID, const std::string &ascii) {
    Bytes utf16;
    for (char ch : ascii) utf16.insert(utf16.end(), {0, uint8_t(ch)});
    return Name(platform, encoding, language, nameID, utf16);
}
FontBuilder &FontBuilder::ShareNameStrings(bool share) {
    shareNames_ = share;
    return *this;
}

FontBuilder &FontBuilder::AddCmap(uint16_t platform, uint16_t encoding, Bytes subTable) {
    if (defaultCmap_) cmaps_.clear();
    defaultCmap_ = false;
    cmaps_.push_back({platform, encoding, std::move(subTable)});
    return *this;
}
FontBuilder &FontBuilder::Cmap0(uint16_t platform, uint16_t encoding,
                                const std::map<uint8_t, uint8_t> &map) {
    BEWriter w;
    w.U16(0).U16(262).U16(0);
    for (int code = 0; code < 256; ++code) {
        auto it = map.find(uint8_t(code));
        w.U8(it == map.end() ? 0 : it->second);
    }
    return AddCmap(platform, encoding, w.bytes);
}
FontBuilder &FontBuilder::Cmap2(uint16_t platform, uint16_t encoding,
                                const std::map<uint16_t, uint16_t> &map) {
    return Cmap2SubHeaders(platform, encoding, SubHeadersFromMap(map));
}
FontBuilder &FontBuilder::Cmap2SubHeaders(uint16_t platform, uint16_t encoding,
                                          std::vector<SubHeader2> subHeaders) {
    return AddCmap(platform, encoding, Format2(subHeaders));
}
FontBuilder &FontBuilder::Cmap4(uint16_t platform, uint16_t encoding,
                                const std::map<uint16_t, uint16_t> &map) {
    return AddCmap(platform, encoding, Format4FromMap(map));
}
FontBuilder &FontBuilder::Cmap4Segments(uint16_t platform, uint16_t encoding,
                                        std::vector<Segment4> segments,
                                        std::vector<uint16_t> glyphIdArray) {
    return AddCmap(platform, encoding, Format4(segments, glyphIdArray));
}
FontBuilder &FontBuilder::CmapRaw(uint16_t platform, uint16_t encoding, Bytes subTable) {
    return AddCmap(platform, encoding, std::move(subTable));
}

FontBuilder &FontBuilder::AddGlyph(Glyph glyph) {
    glyphs_.push_back(std::move(glyph));
    return *this;
}
FontBuilder &FontBuilder::SetGlyph(uint16_t index, Glyph glyph) {
    if (glyphs_.size() <= index) glyphs_.resize(size_t(index) + 1);
    glyphs_[index] = std::move(glyph);
    return *this;
}

FontBuilder &FontBuilder::Mort(std::vector<std::pair<uint16_t, uint16_t>> pairs,
                               uint16_t entrySize) {
    mort_ = std::make_pair(std::move(pairs), entrySize);
    return *this;
}
FontBuilder &FontBuilder::Fpgm(Bytes program) {
    fpgm_ = std::move(program);
    return *this;
}
FontBuilder &FontBuilder::Prep(Bytes program) {
    prep_ = std::move(program);
    return *this;
}
FontBuilder &FontBuilder::Cvt(std::vector<int16_t> values) {
    cvt_ = std::move(values);
    return *this;
}
FontBuilder &FontBuilder::RawTable(const std::string &tag, Bytes bytes) {
    rawTables_[tag] = std::move(bytes);
    return *this;
}
FontBuilder &FontBuilder::RemoveTable(const std::string &tag) {
    removed_.push_back(tag);
    return *this;
}
FontBuilder &FontBuilder::EditDirectory(std::function<void(Directory &)> edit) {
    editDirectory_ = std::move(edit);
    return *this;
}

// ------------------------------------------------------------------ tables

MaxpValues FontBuilder::ComputedMaxp() const {
    MaxpValues m{};
    m.numGlyphs = uint16_t(glyphs_.size());
    for (uint16_t i = 0; i < glyphs_.size(); ++i) {
        const Glyph &g = glyphs_[i];
        Extent e = GlyphExtent(glyphs_, i, 0);
        if (g.kind == Glyph::kSimple) {
            m.maxPoints = std::max(m.maxPoints, uint16_t(e.points));
            m.maxContours = std::max(m.maxContours, uint16_t(e.contours));
        } else if (g.kind == Glyph::kComposite) {
            m.maxComponentPoints = std::max(m.maxComponentPoints, uint16_t(e.points));
            m.maxComponentContours = std::max(m.maxComponentContours, uint16_t(e.contours));
            m.maxComponentElements =
                std::max(m.maxComponentElements, uint16_t(g.components.size()));
            m.maxComponentDepth = std::max(m.maxComponentDepth, uint16_t(e.depth));
        }
        m.maxSizeOfInstructions =
            std::max(m.maxSizeOfInstructions, uint16_t(g.instructions.size()));
    }
    m.maxZones = 2;
    m.maxTwilightPoints = 16;
    m.maxStorage = 64;
    m.maxFunctionDefs = 64;
    m.maxStackElements = 256;
    for (const auto &[field, value] : maxpOverrides_) m.*field = value;
    return m;
}

Bytes FontBuilder::BuildMaxp() const {
    MaxpValues m = ComputedMaxp();
    BEWriter w;
    w.U32(0x00010000);
    for (uint16_t v :
         {m.numGlyphs, m.maxPoints, m.maxContours, m.maxComponentPoints, m.maxComponentContours,
          m.maxZones, m.maxTwilightPoints, m.maxStorage, m.maxFunctionDefs, m.maxInstructionDefs,
          m.maxStackElements, m.maxSizeOfInstructions, m.maxComponentElements, m.maxComponentDepth})
        w.U16(v);
    return w.bytes;
}

Bytes FontBuilder::BuildHead() const {
    Box box;
    for (const Glyph &g : glyphs_)
        if (g.kind == Glyph::kSimple)
            for (const Contour &c : g.contours)
                for (const Pt &p : c) box.Add(p);
    std::vector<int16_t> bbox = bbox_.value_or(
        box.empty ? std::vector<int16_t>{0, descender_, int16_t(unitsPerEm_), ascender_}
                  : std::vector<int16_t>{box.xMin, box.yMin, box.xMax, box.yMax});
    BEWriter w;
    w.U32(0x00010000).U32(0x00010000).U32(0).U32(0x5F0F3CF5).U16(0x000B).U16(unitsPerEm_);
    w.U32(0).U32(0).U32(0).U32(0);  // created, modified
    WriteBox(w, bbox);
    w.U16(0).U16(lowestRecPPEM_).I16(2).I16(longLoca_ ? 1 : 0).I16(0);
    return w.bytes;
}

Bytes FontBuilder::BuildHhea() const {
    BEWriter w;
    w.U32(0x00010000).I16(ascender_).I16(descender_).I16(lineGap_);
    w.U16(uint16_t(unitsPerEm_ / 2)).I16(0).I16(0).I16(int16_t(unitsPerEm_ / 2));
    w.I16(1).I16(0).I16(0);  // caret slope rise, run, offset
    w.U32(0).U32(0).I16(0);  // reserved, metric data format
    return w.U16(uint16_t(glyphs_.size())).bytes;
}

// The left side bearing of a simple glyph is its xMin, as in real fonts, so
// that tools which place the outline by it leave the points where they are.
Bytes FontBuilder::BuildHmtx() const {
    BEWriter w;
    for (const Glyph &g : glyphs_) {
        Box box = g.kind == Glyph::kSimple ? PointsBox(g.contours) : Box{};
        int16_t xMin = g.bbox ? (*g.bbox)[0] : box.xMin;
        w.U16(uint16_t(unitsPerEm_ / 2)).I16(g.kind == Glyph::kSimple ? xMin : 0);
    }
    return w.bytes;
}

Bytes FontBuilder::BuildName() const {
    std::vector<NameRecord> names = names_;
    if (names.empty()) {
        names.push_back({3, 1, 0x409, 1, {0, 'K', 0, 'T'}});
        names.push_back({3, 1, 0x409, 4, {0, 'K', 0, 'T', 0, ' ', 0, 'R'}});
    }
    BEWriter records, strings;
    std::map<Bytes, uint16_t> stored;
    for (const NameRecord &r : names) {
        auto it = shareNames_ ? stored.find(r.bytes) : stored.end();
        uint16_t offset = it != stored.end() ? it->second : uint16_t(strings.bytes.size());
        if (it == stored.end()) {
            stored[r.bytes] = offset;
            strings.Append(r.bytes);
        }
        records.U16(r.platform).U16(r.encoding).U16(r.language).U16(r.nameID);
        records.U16(uint16_t(r.bytes.size())).U16(offset);
    }
    BEWriter w;
    w.U16(0).U16(uint16_t(names.size())).U16(uint16_t(6 + 12 * names.size()));
    return w.Append(records.bytes).Append(strings.bytes).bytes;
}

Bytes FontBuilder::BuildCmap() const {
    std::vector<CmapSubTable> subs = cmaps_;
    if (defaultCmap_) subs.push_back({3, 1, Format4FromMap({})});
    BEWriter w, tables;
    w.U16(0).U16(uint16_t(subs.size()));
    size_t offset = 4 + 8 * subs.size();
    for (const CmapSubTable &s : subs) {
        w.U16(s.platform).U16(s.encoding).U32(uint32_t(offset + tables.bytes.size()));
        tables.Append(s.bytes);
    }
    return w.Append(tables.bytes).bytes;
}

// One chain with three feature entries and one non-contextual substitution
// whose lookup is a single table behind a binary-search header.
Bytes FontBuilder::BuildMort() const {
    const auto &[pairs, entrySize] = *mort_;
    uint32_t pairBytes = uint32_t(4 * pairs.size());
    BEWriter w;
    w.U32(0x00010000).U32(1).U32(1);          // version, chains, default flags
    w.U32(76 - 8 + pairBytes).U16(3).U16(1);  // chain length, features, sub-tables
    w.U16(4).U16(0).U32(1).U32(0xFFFFFFFF);   // vertical substitution on
    w.U16(0).U16(1).U32(0).U32(0);            // all typographic features
    w.U16(0).U16(1).U32(0).U32(0);
    w.U16(uint16_t(20 + pairBytes)).U16(0x8004).U32(1).U16(6);
    uint16_t n = uint16_t(pairs.size());
    uint16_t power = 1, selector = 0;
    while (power * 2 <= n) power *= 2, ++selector;
    w.U16(entrySize).U16(n).U16(uint16_t(entrySize * power)).U16(selector);
    w.U16(uint16_t(entrySize * (n - power)));
    for (auto [horizontal, vertical] : pairs) w.U16(horizontal).U16(vertical);
    return w.bytes;
}

void FontBuilder::BuildGlyfLoca(Bytes *glyf, Bytes *loca) const {
    BEWriter data, offsets;
    for (const Glyph &g : glyphs_) {
        uint32_t at = uint32_t(data.bytes.size());
        longLoca_ ? offsets.U32(at) : offsets.U16(uint16_t(at / 2));
        data.Append(EncodeGlyph(g)).Pad(longLoca_ ? 4 : 2);
    }
    uint32_t end = uint32_t(data.bytes.size());
    longLoca_ ? offsets.U32(end) : offsets.U16(uint16_t(end / 2));
    *glyf = data.bytes;
    *loca = offsets.bytes;
}

std::map<std::string, Bytes> FontBuilder::BuildTables() const {
    std::map<std::string, Bytes> tables;
    BuildGlyfLoca(&tables["glyf"], &tables["loca"]);
    tables["head"] = BuildHead();
    tables["hhea"] = BuildHhea();
    tables["hmtx"] = BuildHmtx();
    tables["maxp"] = BuildMaxp();
    tables["name"] = BuildName();
    tables["cmap"] = BuildCmap();
    if (mort_) tables["mort"] = BuildMort();
    if (fpgm_) tables["fpgm"] = *fpgm_;
    if (prep_) tables["prep"] = *prep_;
    if (cvt_) {
        BEWriter w;
        for (int16_t v : *cvt_) w.I16(v);
        tables["cvt "] = w.bytes;
    }
    for (const auto &[tag, bytes] : rawTables_) tables[tag] = bytes;
    for (const std::string &tag : removed_) tables.erase(tag);
    return tables;
}

Bytes FontBuilder::Build() const {
    std::map<std::string, Bytes> tables = BuildTables();
    size_t slots =
        editDirectory_ ? std::max(kReservedDirectoryEntries, tables.size()) : tables.size();
    BEWriter data;
    data.bytes.resize(12 + 16 * slots);
    Directory dir;
    for (const auto &[tag, bytes] : tables) {
        data.Pad(4);
        dir.entries.push_back(
            {tag, CheckSum(bytes), uint32_t(data.bytes.size()), uint32_t(bytes.size())});
        data.Append(bytes);
    }
    data.Pad(4);
    if (editDirectory_) editDirectory_(dir);
    BEWriter head;
    WriteOffsetTable(head, dir.numTables.value_or(uint16_t(dir.entries.size())));
    for (const DirEntry &e : dir.entries) {
        for (size_t i = 0; i < 4; ++i) head.U8(i < e.tag.size() ? uint8_t(e.tag[i]) : ' ');
        head.U32(e.checkSum).U32(e.offset).U32(e.length);
    }
    size_t directoryBytes = std::min(head.bytes.size(), 12 + 16 * slots);
    std::copy(head.bytes.begin(), head.bytes.begin() + long(directoryBytes), data.bytes.begin());
    return data.bytes;
}

std::string WriteBytes(const Bytes &bytes, const std::string &path) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return path;
    // An empty vector may have no storage at all: nothing to hand fwrite.
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

std::string FontBuilder::WriteTo(const std::string &path) const { return WriteBytes(Build(), path); }

Bytes Collection(const std::vector<Bytes> &fonts) {
    auto put32 = [](Bytes &b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i));
    };
    auto get16 = [](const Bytes &b, size_t at) { return uint32_t(b[at] << 8 | b[at + 1]); };
    auto get32 = [&](const Bytes &b, size_t at) { return get16(b, at) << 16 | get16(b, at + 2); };
    Bytes out(12 + 4 * fonts.size(), 0);
    std::memcpy(out.data(), "ttcf", 4);
    put32(out, 4, 0x00010000);
    put32(out, 8, uint32_t(fonts.size()));
    for (size_t i = 0; i < fonts.size(); ++i) {
        while (out.size() % 4 != 0) out.push_back(0);
        const uint32_t base = uint32_t(out.size());
        put32(out, 12 + 4 * i, base);
        Bytes font = fonts[i];
        const uint32_t tables = get16(font, 4);
        for (uint32_t t = 0; t < tables; ++t) {
            const size_t record = 12 + 16 * size_t(t);
            put32(font, record + 8, get32(font, record + 8) + base);
        }
        out.insert(out.end(), font.begin(), font.end());
    }
    return out;
}

}  // namespace kelmor_test
