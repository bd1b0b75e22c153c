#include "gsub_builder.h"

#include <algorithm>

namespace kelmor_test {

namespace {

void Put16(Bytes &b, size_t at, uint16_t v) {
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
}

// A record followed by the blocks it points to: `head` bytes of fields,
// then each block, whose offset (from the record's start) goes into the
// 16-bit field at the given position.
Bytes WithBlocks(const Bytes &head, const std::vector<std::pair<size_t, Bytes>> &blocks) {
    Bytes out = head;
    for (const auto &block : blocks) {
        Put16(out, block.first, uint16_t(out.size()));
        out.insert(out.end(), block.second.begin(), block.second.end());
    }
    return out;
}

Bytes Coverage(const std::vector<uint16_t> &glyphs, int format) {
    BEWriter w;
    if (format == 1) {
        w.U16(1).U16(uint16_t(glyphs.size()));
        for (uint16_t g : glyphs) w.U16(g);
        return w.bytes;
    }
    std::vector<std::pair<uint16_t, uint16_t>> ranges;
    for (uint16_t g : glyphs) {
        if (!ranges.empty() && ranges.back().second + 1 == g)
            ranges.back().second = g;
        else
            ranges.push_back({g, g});
    }
    w.U16(2).U16(uint16_t(ranges.size()));
    uint16_t index = 0;
    for (const auto &r : ranges) {
        w.U16(r.first).U16(r.second).U16(index);
        index = uint16_t(index + r.second - r.first + 1);
    }
    return w.bytes;
}

Bytes IndexList(BEWriter w, const std::vector<uint16_t> &indices) {
    w.U16(uint16_t(indices.size()));
    for (uint16_t i : indices) w.U16(i);
    return w.bytes;
}

Bytes LangSys(const std::vector<uint16_t> &features) {
    return IndexList(BEWriter().U16(0).U16(0xFFFF), features);
}

void Tag(BEWriter &w, const std::string &tag) {
    for (size_t i = 0; i < 4; ++i) w.U8(uint8_t(i < tag.size() ? tag[i] : ' '));
}

// Script and language records are sorted by tag, as shapers search them.
template <typename Item>
std::vector<Item> ByTag(std::vector<Item> items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const Item &a, const Item &b) { return a.tag < b.tag; });
    return items;
}

Bytes Script(const GsubScript &s) {
    BEWriter w;
    w.U16(0).U16(uint16_t(s.langSys.size()));
    std::vector<std::pair<size_t, Bytes>> blocks;
    if (s.hasDefault) blocks.push_back({0, LangSys(s.defaultFeatures)});
    for (const GsubLangSys &l : ByTag(s.langSys)) {
        Tag(w, l.tag);
        blocks.push_back({w.bytes.size(), LangSys(l.features)});
        w.U16(0);
    }
    return WithBlocks(w.bytes, blocks);
}

// A list of {tag, offset} records and the blocks they point to.
template <typename Item, typename Block>
Bytes TaggedList(const std::vector<Item> &items, Block block) {
    BEWriter w;
    w.U16(uint16_t(items.size()));
    std::vector<std::pair<size_t, Bytes>> blocks;
    for (const Item &item : items) {
        Tag(w, item.tag);
        blocks.push_back({w.bytes.size(), block(item)});
        w.U16(0);
    }
    return WithBlocks(w.bytes, blocks);
}

Bytes Lookup(const GsubLookup &l) {
    BEWriter w;
    w.U16(l.type).U16(0).U16(uint16_t(l.subTables.size()));
    std::vector<std::pair<size_t, Bytes>> blocks;
    for (const Bytes &s : l.subTables) {
        blocks.push_back({w.bytes.size(), s});
        w.U16(0);
    }
    return WithBlocks(w.bytes, blocks);
}

}  // namespace

Bytes SingleSubst1(const std::vector<uint16_t> &glyphs, int16_t delta, int coverageFormat) {
    return WithBlocks(BEWriter().U16(1).U16(0).I16(delta).bytes, {{2, Coverage(glyphs, coverageFormat)}});
}

Bytes SingleSubst2(const std::map<uint16_t, uint16_t> &substitutes, int coverageFormat) {
    std::vector<uint16_t> glyphs, to;
    for (const auto &s : substitutes) {
        glyphs.push_back(s.first);
        to.push_back(s.second);
    }
    return WithBlocks(IndexList(BEWriter().U16(2).U16(0), to),
                      {{2, Coverage(glyphs, coverageFormat)}});
}

Bytes Extension(uint16_t type, const Bytes &subTable) {
    return BEWriter().U16(1).U16(type).U32(8).Append(subTable).bytes;
}

Bytes GsubTable(const std::vector<GsubScript> &scripts, const std::vector<GsubFeature> &features,
                const std::vector<GsubLookup> &lookups) {
    BEWriter lookupList;
    lookupList.U16(uint16_t(lookups.size()));
    std::vector<std::pair<size_t, Bytes>> lookupBlocks;
    for (const GsubLookup &l : lookups) {
        lookupBlocks.push_back({lookupList.bytes.size(), Lookup(l)});
        lookupList.U16(0);
    }
    return WithBlocks(BEWriter().U16(1).U16(0).U16(0).U16(0).U16(0).bytes,
                      {{4, TaggedList(ByTag(scripts), Script)},
                       {6, TaggedList(features,
                                      [](const GsubFeature &f) {
                                          return IndexList(BEWriter().U16(0), f.lookups);
                                      })},
                       {8, WithBlocks(lookupList.bytes, lookupBlocks)}});
}

}  // namespace kelmor_test
