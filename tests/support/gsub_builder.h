// Glyph substitution tables (GSUB) for tests: scripts with their language
// systems, features and lookups, laid out with every offset worked out.
//
//   Bytes gsub = GsubTable({{"hani", {0}}}, {{"vert", {0}}},
//                          {{1, {SingleSubst1({5, 6}, 100)}}});
#ifndef KELMOR_TESTS_GSUB_BUILDER_H
#define KELMOR_TESTS_GSUB_BUILDER_H

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "font_builder.h"

namespace kelmor_test {

struct GsubLangSys {
    std::string tag;
    std::vector<uint16_t> features;
};
struct GsubScript {
    GsubScript(std::string t, std::vector<uint16_t> defaults, bool withDefault = true,
               std::vector<GsubLangSys> languages = {})
        : tag(std::move(t)), defaultFeatures(std::move(defaults)), hasDefault(withDefault),
          langSys(std::move(languages)) {}
    std::string tag;
    std::vector<uint16_t> defaultFeatures;  // the default language system's
    bool hasDefault = true;
    std::vector<GsubLangSys> langSys;
};
struct GsubFeature {
    std::string tag;
    std::vector<uint16_t> lookups;
};
struct GsubLookup {
    uint16_t type;
    std::vector<Bytes> subTables;
};

// Single substitution sub-tables: format 1 adds `delta` to each covered
// glyph, format 2 lists each glyph's substitute.  Coverage is written in
// format 1 (a glyph list) or, with coverageFormat 2, as ranges of
// consecutive glyphs.
Bytes SingleSubst1(const std::vector<uint16_t> &glyphs, int16_t delta, int coverageFormat = 1);
Bytes SingleSubst2(const std::map<uint16_t, uint16_t> &substitutes, int coverageFormat = 1);
// An extension sub-table (lookup type 7) wrapping a sub-table of `type`.
Bytes Extension(uint16_t type, const Bytes &subTable);

Bytes GsubTable(const std::vector<GsubScript> &scripts, const std::vector<GsubFeature> &features,
                const std::vector<GsubLookup> &lookups);

}  // namespace kelmor_test

#endif
