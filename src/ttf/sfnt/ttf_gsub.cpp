// Vertical forms from the glyph substitution table.  The table is a tree of
// 16-bit offsets, each counted from the record that holds it:
//
//   header         majorVersion (1), minorVersion, scriptList, featureList,
//                  lookupList (offsets from the table's start)
//   ScriptList     count, records {tag, offset to Script}
//   Script         defaultLangSys (0: none), count, records {tag, offset to LangSys}
//   LangSys        lookupOrder, requiredFeatureIndex, count, featureIndices[]
//   FeatureList    count, records {tag, offset to Feature}
//   Feature        featureParams, count, lookupListIndices[]
//   LookupList     count, offsets to Lookup[]
//   Lookup         type, flag, count, offsets to sub-tables[]
//   Extension (7)  format (1), lookup type, 32-bit offset to the real sub-table
//   Single (1)     format 1: coverage, deltaGlyphID (added modulo 65536)
//                  format 2: coverage, glyphCount, substitutes[glyphCount]
//   Coverage       format 1: count, glyphs[] (ascending)
//                  format 2: count, ranges {start, end, startCoverageIndex}[]
//
// Rules are chosen as shapers choose them: the script's own entry, else
// DFLT, dflt or latn; in it the language system tagged dflt, else the
// default one; in that the first vert feature, else the first vert feature
// of the whole table (fonts often file vert under one script only), and
// vrt2 the same way for fonts without vert.  A feature's lookups apply in
// the order of their indices, each to the glyph the one before left, and in
// a lookup the first sub-table that covers the glyph decides.
//
// Every offset and count is checked against the table: a read that would
// leave it, coverage out of order, or a substitute the font does not have
// is a rule that substitutes nothing.
#include "ttf/sfnt/ttf_gsub.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "ttf/sfnt/bigend.h"
#include "ttf/sfnt/sfnt.h"
#include "ttf/sfnt/ttf_read.h"

namespace kelmor {

struct VerticalPair {
    uint16_t glyph, vertical;
};

struct VerticalForms {
    // Each script's pairs, sorted by glyph: pairs[first[s] .. first[s] + count[s]).
    // Scripts whose rules are the same lookups share their pairs.
    uint32_t first[kLayoutScripts];
    uint32_t count[kLayoutScripts];
    LayoutScript cjkScript;
    std::vector<VerticalPair> pairs;
};

namespace {

constexpr uint32_t kHeaderSize = 10;
// Real fonts' vert features have one to three lookups of one or two
// sub-tables; these bounds keep the work for a lying table small.
constexpr size_t kMaxFeatureLookups = 32;
constexpr size_t kMaxSubstitutions = 64;
constexpr uint16_t kSingleSubstitution = 1;
constexpr uint16_t kExtension = 7;

// Bounded big-endian reads of the table.
struct Table {
    const uint8_t *bytes;
    uint32_t size;

    bool U16(uint64_t at, uint32_t *v) const {
        if (!SpanInside(at, 2, size)) return false;
        *v = ReadBE16(bytes + at);
        return true;
    }
    bool U32(uint64_t at, uint32_t *v) const {
        if (!SpanInside(at, 4, size)) return false;
        *v = ReadBE32(bytes + at);
        return true;
    }
    bool TagIs(uint64_t at, const char *tag) const {
        return SpanInside(at, 4, size) && std::memcmp(bytes + at, tag, 4) == 0;
    }
    // The position an offset field at `at` points to, counted from `base`;
    // false for a null offset or one outside the table.
    bool Follow(uint64_t base, uint64_t at, uint64_t *to) const {
        uint32_t offset = 0;
        if (!U16(at, &offset) || offset == 0 || base + offset >= size) return false;
        *to = base + offset;
        return true;
    }
};

struct Gsub {
    Table t;
    uint64_t scriptList, featureList, lookupList;
};

bool ReadHeader(const Table &t, Gsub *g) {
    uint32_t major = 0;
    g->t = t;
    return t.size >= kHeaderSize && t.U16(0, &major) && major == 1 &&
           t.Follow(0, 4, &g->scriptList) && t.Follow(0, 6, &g->featureList) &&
           t.Follow(0, 8, &g->lookupList);
}

// The record tagged `tag` of a list of {tag, offset} records that starts
// with its count at `list` (records of 6 bytes, offsets from `base`).
bool FindTaggedRecord(const Table &t, uint64_t base, uint64_t list, const char *tag,
                      uint64_t *to) {
    uint32_t count = 0;
    if (!t.U16(list, &count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t record = list + 2 + 6ull * i;
        if (!SpanInside(record, 6, t.size)) return false;
        if (t.TagIs(record, tag)) return t.Follow(base, record + 4, to);
    }
    return false;
}

// The language system a script's text gets when no language is asked for;
// false when the script (or its default) is not there.
bool DefaultLangSys(const Gsub &g, LayoutScript script, uint64_t *langSys) {
    const char *tags[] = {ScriptTag(script), "DFLT", "dflt", "latn"};
    for (const char *tag : tags) {
        uint64_t table = 0;
        if (tag == nullptr || !FindTaggedRecord(g.t, g.scriptList, g.scriptList, tag, &table))
            continue;
        if (FindTaggedRecord(g.t, table, table + 2, "dflt", langSys)) return true;
        return g.t.Follow(table, table, langSys);
    }
    return false;
}

bool FeatureTagged(const Gsub &g, uint32_t index, const char *tag) {
    uint32_t count = 0;
    return g.t.U16(g.featureList, &count) && index < count &&
           g.t.TagIs(g.featureList + 2 + 6ull * index, tag);
}

bool FeatureOfLangSys(const Gsub &g, uint64_t langSys, const char *tag, uint32_t *feature) {
    uint32_t count = 0;
    if (!g.t.U16(langSys + 4, &count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        if (!g.t.U16(langSys + 6 + 2ull * i, feature)) return false;
        if (FeatureTagged(g, *feature, tag)) return true;
    }
    return false;
}

bool FeatureOfTable(const Gsub &g, const char *tag, uint32_t *feature) {
    uint32_t count = 0;
    if (!g.t.U16(g.featureList, &count)) return false;
    for (*feature = 0; *feature < count; ++*feature)
        if (FeatureTagged(g, *feature, tag)) return true;
    return false;
}

bool VerticalFeature(const Gsub &g, LayoutScript script, uint32_t *feature) {
    uint64_t langSys = 0;
    const bool hasLangSys = DefaultLangSys(g, script, &langSys);
    for (const char *tag : {"vert", "vrt2"}) {
        if (hasLangSys && FeatureOfLangSys(g, langSys, tag, feature)) return true;
        if (FeatureOfTable(g, tag, feature)) return true;
    }
    return false;
}

// The feature's lookup indices, ascending, each once; empty for a feature
// that does not fit the table or names more lookups than any real one.
std::vector<uint16_t> FeatureLookups(const Gsub &g, uint32_t feature) {
    std::vector<uint16_t> lookups;
    uint64_t table = 0;
    uint32_t count = 0;
    if (!g.t.Follow(g.featureList, g.featureList + 2 + 6ull * feature + 4, &table) ||
        !g.t.U16(table + 2, &count) || count > kMaxFeatureLookups)
        return lookups;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t index = 0;
        if (!g.t.U16(table + 4 + 2ull * i, &index)) return {};
        lookups.push_back(uint16_t(index));
    }
    std::sort(lookups.begin(), lookups.end());
    lookups.erase(std::unique(lookups.begin(), lookups.end()), lookups.end());
    return lookups;
}

// A single-substitution sub-table, where it starts in the table.
using Substitution = uint64_t;

// The single substitution a lookup's sub-table `at` holds, through an
// extension when the lookup is one.
bool SingleSubstitutionAt(const Gsub &g, uint32_t type, uint64_t at, Substitution *s) {
    if (type == kSingleSubstitution) {
        *s = at;
        return true;
    }
    uint32_t format = 0, realType = 0, offset = 0;
    if (type != kExtension || !g.t.U16(at, &format) || format != 1 || !g.t.U16(at + 2, &realType) ||
        realType != kSingleSubstitution || !g.t.U32(at + 4, &offset) || offset == 0 ||
        at + offset >= g.t.size)
        return false;
    *s = at + offset;
    return true;
}

// The single-substitution sub-tables of one lookup, in order; other
// lookup types substitute nothing here.  False past kMaxSubstitutions.
bool LookupSubstitutions(const Gsub &g, uint16_t index, std::vector<Substitution> *out) {
    uint32_t lookups = 0, type = 0, count = 0;
    uint64_t lookup = 0;
    if (!g.t.U16(g.lookupList, &lookups) || index >= lookups ||
        !g.t.Follow(g.lookupList, g.lookupList + 2 + 2ull * index, &lookup) ||
        !g.t.U16(lookup, &type) || !g.t.U16(lookup + 4, &count))
        return true;  // a lookup that is not there does nothing
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t at = 0;
        Substitution s = 0;
        if (!g.t.Follow(lookup, lookup + 6 + 2ull * i, &at)) continue;
        if (!SingleSubstitutionAt(g, type, at, &s)) continue;
        if (out->size() == kMaxSubstitutions) return false;
        out->push_back(s);
    }
    return true;
}

// Calls visit(glyph, coverageIndex) for each glyph of a coverage table, in
// ascending order; false when the table does not fit or is out of order.
template <typename Visit>
bool ForEachCovered(const Table &t, uint64_t coverage, Visit visit) {
    uint32_t format = 0, count = 0;
    if (!t.U16(coverage, &format) || !t.U16(coverage + 2, &count)) return false;
    const uint64_t records = coverage + 4;
    if (format == 1) {
        if (!SpanInside(records, 2ull * count, t.size)) return false;
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t glyph = ReadBE16(t.bytes + records + 2ull * i);
            if (i > 0 && glyph <= ReadBE16(t.bytes + records + 2ull * (i - 1))) return false;
            visit(glyph, i);
        }
        return true;
    }
    if (format != 2 || !SpanInside(records, 6ull * count, t.size)) return false;
    uint32_t next = 0;  // the lowest glyph the next range may start at
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t *r = t.bytes + records + 6ull * i;
        const uint32_t start = ReadBE16(r), end = ReadBE16(r + 2), index = ReadBE16(r + 4);
        if (start < next || end < start) return false;
        for (uint32_t glyph = start; glyph <= end; ++glyph) visit(glyph, index + glyph - start);
        next = end + 1;
    }
    return true;
}

// Applies one lookup's sub-tables to every glyph's current form.
class FormComposer {
public:
    explicit FormComposer(uint32_t numGlyphs)
        : numGlyphs_(numGlyphs), form_(numGlyphs), substitute_(numGlyphs), claimed_(numGlyphs) {
        for (uint32_t g = 0; g < numGlyphs; ++g) form_[g] = uint16_t(g);
    }

    void ApplyLookup(const Table &t, const std::vector<Substitution> &subTables) {
        ++serial_;
        for (Substitution s : subTables) Claim(t, s);
        for (uint16_t &form : form_)
            if (claimed_[form] == serial_) form = substitute_[form];
    }

    void AppendPairs(std::vector<VerticalPair> *pairs) const {
        for (uint32_t g = 0; g < numGlyphs_; ++g)
            if (form_[g] != g) pairs->push_back({uint16_t(g), form_[g]});
    }

private:
    // The sub-table's substitutes for the glyphs no earlier sub-table of
    // the lookup covered.
    void Claim(const Table &t, Substitution s) {
        uint32_t format = 0, delta = 0, count = 0;
        uint64_t coverage = 0;
        if (!t.U16(s, &format) || !t.Follow(s, s + 2, &coverage) || !t.U16(s + 4, &delta)) return;
        if (format == 2) count = delta;
        if ((format != 1 && format != 2) ||
            (format == 2 && !SpanInside(s + 6, 2ull * count, t.size)))
            return;
        std::vector<std::pair<uint16_t, uint16_t>> found;
        const bool ordered = ForEachCovered(t, coverage, [&](uint32_t glyph, uint32_t index) {
            if (glyph >= numGlyphs_ || claimed_[glyph] == serial_) return;
            uint32_t to = (glyph + delta) & 0xFFFF;
            if (format == 2) {
                if (index >= count) return;
                to = ReadBE16(t.bytes + s + 6 + 2ull * index);
            }
            if (to < numGlyphs_) found.emplace_back(uint16_t(glyph), uint16_t(to));
        });
        if (!ordered) return;  // the whole sub-table is untrusted
        for (const auto &f : found) {
            claimed_[f.first] = serial_;
            substitute_[f.first] = f.second;
        }
    }

    uint32_t numGlyphs_;
    uint16_t serial_ = 0;
    std::vector<uint16_t> form_, substitute_, claimed_;
};

// The pairs a feature's lookups give, sorted by glyph.
std::vector<VerticalPair> PairsOfLookups(const Gsub &g, const std::vector<uint16_t> &lookups,
                                         uint32_t numGlyphs) {
    std::vector<VerticalPair> pairs;
    std::vector<std::vector<Substitution>> subTables(lookups.size());
    size_t total = 0;
    for (size_t i = 0; i < lookups.size(); ++i) {
        if (!LookupSubstitutions(g, lookups[i], &subTables[i])) return pairs;
        total += subTables[i].size();
        if (total > kMaxSubstitutions) return pairs;
    }
    if (total == 0) return pairs;
    FormComposer composer(numGlyphs);
    for (const auto &s : subTables) composer.ApplyLookup(g.t, s);
    composer.AppendPairs(&pairs);
    return pairs;
}

LayoutScript CjkScriptOf(const Gsub &g) {
    for (LayoutScript s : {kScriptHan, kScriptKana, kScriptHangul}) {
        uint64_t table = 0;
        if (FindTaggedRecord(g.t, g.scriptList, g.scriptList, ScriptTag(s), &table)) return s;
    }
    return kScriptCommon;
}

void FillForms(const Gsub &g, uint32_t numGlyphs, VerticalForms *forms) {
    std::vector<std::vector<uint16_t>> seen;  // lookups of each script, as worked out
    for (int s = 0; s < kLayoutScripts; ++s) {
        uint32_t feature = 0;
        std::vector<uint16_t> lookups;
        if (VerticalFeature(g, LayoutScript(s), &feature)) lookups = FeatureLookups(g, feature);
        seen.push_back(lookups);
        const auto same = std::find(seen.begin(), seen.end() - 1, lookups);
        if (same != seen.end() - 1) {
            const auto earlier = same - seen.begin();
            forms->first[s] = forms->first[earlier];
            forms->count[s] = forms->count[earlier];
            continue;
        }
        const std::vector<VerticalPair> pairs = PairsOfLookups(g, lookups, numGlyphs);
        forms->first[s] = uint32_t(forms->pairs.size());
        forms->count[s] = uint32_t(pairs.size());
        forms->pairs.insert(forms->pairs.end(), pairs.begin(), pairs.end());
    }
    forms->cjkScript = CjkScriptOf(g);
}

}  // namespace

VerticalForms *BuildVerticalForms(const uint8_t *table, uint32_t size, uint32_t numGlyphs) {
    Gsub g;
    if (table == nullptr || numGlyphs == 0 || !ReadHeader(Table{table, size}, &g)) return nullptr;
    numGlyphs = std::min<uint32_t>(numGlyphs, 0x10000);
    VerticalForms *forms = new (std::nothrow) VerticalForms{};
    if (forms == nullptr) return nullptr;
    try {
        FillForms(g, numGlyphs, forms);
    } catch (const std::bad_alloc &) {
        forms->pairs.clear();
    }
    if (forms->pairs.empty()) {
        FreeVerticalForms(forms);
        return nullptr;
    }
    forms->pairs.shrink_to_fit();
    return forms;
}

void FreeVerticalForms(VerticalForms *forms) { delete forms; }

uint32_t VerticalFormOf(const VerticalForms *forms, LayoutScript script, uint32_t glyph) {
    if (forms == nullptr || script >= kLayoutScripts) return glyph;
    const VerticalPair *begin = forms->pairs.data() + forms->first[script];
    const VerticalPair *end = begin + forms->count[script];
    const VerticalPair *at = std::lower_bound(
        begin, end, glyph, [](const VerticalPair &p, uint32_t g) { return p.glyph < g; });
    return at != end && at->glyph == glyph ? at->vertical : glyph;
}

LayoutScript FontCjkScript(const VerticalForms *forms) {
    return forms == nullptr ? kScriptCommon : forms->cjkScript;
}

uint32_t VerticalFormCount(const VerticalForms *forms, LayoutScript script) {
    return forms == nullptr || script >= kLayoutScripts ? 0 : forms->count[script];
}

const VerticalForms *FontVerticalForms(_TTFont *pF) {
    if (pF->VerticalFormsRead) return pF->lpVerticalForms;
    pF->VerticalFormsRead = 1;
    const TableDirectoryStruct *entry = FindTable(pF, "GSUB");
    if (!TableInFile(pF, entry) || TableLength(entry) < kHeaderSize) return nullptr;
    const uint32_t length = TableLength(entry);
    auto *bytes = static_cast<uint8_t *>(std::malloc(length));
    if (bytes == nullptr) return nullptr;
    if (ReadFileAt(pF, TableOffset(entry), bytes, length) == length)
        pF->lpVerticalForms = BuildVerticalForms(bytes, length, pF->leMaximumProfile.numGlyphs);
    std::free(bytes);
    return pF->lpVerticalForms;
}

uint32_t VerticalGlyphFor(_TTFont *pF, uint32_t code, uint32_t glyph) {
    if (pF->lpLookupSingle != nullptr) return GetVertical(pF, glyph);
    const VerticalForms *forms = FontVerticalForms(pF);
    if (forms == nullptr) return glyph;
    // Codes are code points only when they reach a Unicode map; other code
    // spaces and glyph numbers take the font's own CJK rules.
    const bool codePoint = pF->csDesired != csGlyphNumber && pF->csFont == csUnicode;
    return VerticalFormOf(forms, codePoint ? ScriptOfCodePoint(code) : FontCjkScript(forms), glyph);
}

}  // namespace kelmor
