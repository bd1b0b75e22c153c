#include "lvgl_font.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "text_input.h"

namespace kelmor {

namespace {

constexpr int kMapHeaderBytes = 16;

// The estimates the format's reference converter plans with, so that both
// choose the same records.
int Format0Cost(uint32_t first, uint32_t last) { return kMapHeaderBytes + int(last - first + 1); }
int SparseCost(size_t count) { return kMapHeaderBytes + int(count) * 2; }

std::string Hex(uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", unsigned(v));
    return text;
}

// Numbers eight to a line, as the reference converter lays them out.
template <class T, class Format>
std::string Dump(const std::vector<T> &values, Format format) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i % 8 == 0) text += (i == 0 ? "    " : ",\n    ");
        else text += ", ";
        text += format(values[i]);
    }
    return text;
}

std::string Dec(int64_t v) { return std::to_string(v); }

const char *MapKindName(LvglMapKind kind) {
    switch (kind) {
        case LvglMapKind::kFormat0Tiny: return "LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY";
        case LvglMapKind::kFormat0Full: return "LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL";
        default: return "LV_FONT_FMT_TXT_CMAP_SPARSE_TINY";
    }
}

// The character a glyph stands for, as a C string literal.
std::string QuotedChar(uint32_t code) {
    const std::string utf8 = EncodeUtf8(code);
    if (code == '"' || code == '\\') return std::string("\"\\") + char(code) + "\"";
    if (code < 0x20 || code == 0x7F) {
        char text[16];
        std::snprintf(text, sizeof text, "\"\\u%04x\"", unsigned(code));
        return text;
    }
    return "\"" + utf8 + "\"";
}

std::string BitmapSection(const LvglFont &font, std::vector<size_t> *offsets) {
    std::string text;
    size_t offset = 0;
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        const LvglGlyph &g = font.glyphs[i];
        const std::vector<uint8_t> bits = PackLvglBitmap(g.levels, font.bpp);
        offsets->push_back(offset);
        offset += bits.size();
        char code[16];
        std::snprintf(code, sizeof code, "%04X", unsigned(g.code));
        text += "    /* U+" + std::string(code) + " " + QuotedChar(g.code) + " */\n";
        text += Dump(bits, [](uint8_t b) { return Hex(b); });
        if (i + 1 < font.glyphs.size()) text += bits.empty() ? "\n" : ",\n\n";
    }
    return text;
}

std::string DescriptorSection(const LvglFont &font, const std::vector<size_t> &offsets) {
    std::string text =
        "    {.bitmap_index = 0, .adv_w = 0, .box_w = 0, .box_h = 0, .ofs_x = 0, .ofs_y = 0} /* id = 0 reserved */";
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        const LvglGlyph &g = font.glyphs[i];
        text += ",\n    {.bitmap_index = " + Dec(int64_t(offsets[i])) + ", .adv_w = " + Dec(g.advance) +
                ", .box_w = " + Dec(g.boxWidth) + ", .box_h = " + Dec(g.boxHeight) + ", .ofs_x = " +
                Dec(g.offsetX) + ", .ofs_y = " + Dec(g.offsetY) + "}";
    }
    return text;
}

std::string MapSection(const std::vector<uint32_t> &codes, const std::vector<LvglMap> &maps) {
    std::string lists, records;
    int index = 0;
    for (const LvglMap &map : maps) {
        const uint32_t first = codes[map.first], last = codes[map.last];
        const std::string n = std::to_string(index++);
        std::string unicodeList = "NULL", idList = "NULL";
        size_t entries = 0;
        if (map.kind == LvglMapKind::kFormat0Full) {
            std::vector<int> ids(last - first + 1, 0);
            for (size_t i = map.first; i <= map.last; ++i) ids[codes[i] - first] = int(i - map.first);
            entries = ids.size();
            idList = "glyph_id_ofs_list_" + n;
            lists += (lists.empty() ? "" : "\n\n") + std::string("static const uint8_t ") + idList + "[] = {\n" +
                     Dump(ids, [](int v) { return Dec(v); }) + "\n};";
        } else if (map.kind == LvglMapKind::kSparseTiny) {
            std::vector<uint32_t> deltas;
            for (size_t i = map.first; i <= map.last; ++i) deltas.push_back(codes[i] - first);
            entries = deltas.size();
            unicodeList = "unicode_list_" + n;
            lists += (lists.empty() ? "" : "\n\n") + std::string("static const uint16_t ") + unicodeList +
                     "[] = {\n" + Dump(deltas, [](uint32_t v) { return Hex(v); }) + "\n};";
        }
        records += std::string(records.empty() ? "" : ",\n") + "    {\n        .range_start = " + Dec(first) +
                   ", .range_length = " + Dec(int64_t(last) - first + 1) + ", .glyph_id_start = " +
                   Dec(int64_t(map.first) + 1) + ",\n        .unicode_list = " + unicodeList +
                   ", .glyph_id_ofs_list = " + idList + ", .list_length = " + Dec(int64_t(entries)) +
                   ", .type = " + MapKindName(map.kind) + "\n    }";
    }
    return lists + "\n\n/*Collect the unicode lists and glyph_id offsets*/\n"
                   "static const lv_font_fmt_txt_cmap_t cmaps[] =\n{\n" + records + "\n};";
}

// LVGL's small descriptors hold boxes up to 255, offsets to 127, advances
// to 4096/16 and 1 MiB of bitmaps: past that the font needs its large
// format, which the file asks for at compile time.
std::string LargeFormatGuard(const LvglFont &font, const std::vector<size_t> &offsets, const std::string &guard) {
    bool large = false;
    size_t bytes = 0;
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        const LvglGlyph &g = font.glyphs[i];
        large = large || g.boxWidth > 255 || g.boxHeight > 255 || std::abs(g.offsetX) > 127 ||
                std::abs(g.offsetY) > 127 || g.advance > 4096;
        bytes = offsets[i] + PackLvglBitmap(g.levels, font.bpp).size();
    }
    if (!large && bytes <= 1024 * 1024) return "";
    return "#if (LV_FONT_FMT_TXT_LARGE == 0)\n#  error \"Too large font or glyphs in " + guard +
           ". Enable LV_FONT_FMT_TXT_LARGE in lv_conf.h\")\n#endif\n\n";
}

std::string Upper(std::string s) {
    for (char &c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::vector<LvglMap> PlanLvglMaps(const std::vector<uint32_t> &codes) {
    // best[i]: the cheapest records for codes 0..i, the last one from
    // start[i].  Ties keep the earlier start and the kinds in the order
    // format 0, tiny format 0, sparse.
    const size_t n = codes.size();
    std::vector<int64_t> best(n, std::numeric_limits<int64_t>::max());
    std::vector<LvglMap> last(n);
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j <= i; ++j) {
            const int64_t before = j > 0 ? best[j - 1] : 0;
            const uint32_t span = codes[i] - codes[j];
            const auto consider = [&](LvglMapKind kind, int cost) {
                if (before + cost < best[i]) {
                    best[i] = before + cost;
                    last[i] = LvglMap{kind, j, i};
                }
            };
            if (span < 256) consider(LvglMapKind::kFormat0Full, Format0Cost(codes[j], codes[i]));
            if (span < 256 && span == i - j) consider(LvglMapKind::kFormat0Tiny, kMapHeaderBytes);
            if (span < 65536) consider(LvglMapKind::kSparseTiny, SparseCost(i - j + 1));
        }
    }
    std::vector<LvglMap> maps;
    for (size_t i = n; i > 0;) {
        maps.push_back(last[i - 1]);
        i = last[i - 1].first;
    }
    std::reverse(maps.begin(), maps.end());
    return maps;
}

std::vector<uint8_t> PackLvglBitmap(const std::vector<uint8_t> &levels, int bpp) {
    std::vector<uint8_t> bits((levels.size() * size_t(bpp) + 7) / 8, 0);
    size_t bit = 0;
    for (uint8_t level : levels) {
        const unsigned value = level >> (8 - bpp);
        for (int b = bpp - 1; b >= 0; --b, ++bit)
            if ((value >> b) & 1) bits[bit / 8] = uint8_t(bits[bit / 8] | (0x80u >> (bit % 8)));
    }
    return bits;
}

std::string LvglSource(const LvglFont &font) {
    int ascent = 0, descent = 0;
    bool first = true;
    for (const LvglGlyph &g : font.glyphs) {
        ascent = first ? g.offsetY + g.boxHeight : std::max(ascent, g.offsetY + g.boxHeight);
        descent = first ? g.offsetY : std::min(descent, g.offsetY);
        first = false;
    }
    std::vector<size_t> offsets;
    const std::string bitmaps = BitmapSection(font, &offsets);
    std::vector<uint32_t> codes;
    for (const LvglGlyph &g : font.glyphs) codes.push_back(g.code);
    const std::vector<LvglMap> maps = PlanLvglMaps(codes);
    const std::string guard = Upper(font.name);
    std::string s;
    s += "/*******************************************************************************\n";
    s += " * Size: " + Dec(font.size) + " px\n * Bpp: " + Dec(font.bpp) + "\n * Opts: " + font.command + "\n";
    s += " ******************************************************************************/\n\n";
    s += "#ifdef LV_LVGL_H_INCLUDE_SIMPLE\n#include \"lvgl.h\"\n#else\n#include \"lvgl/lvgl.h\"\n#endif\n\n";
    s += "#ifndef " + guard + "\n#define " + guard + " 1\n#endif\n\n#if " + guard + "\n\n";
    s += "/*-----------------\n *    BITMAPS\n *----------------*/\n\n";
    s += "/*Store the image of the glyphs*/\nstatic LV_ATTRIBUTE_LARGE_CONST const uint8_t glyph_bitmap[] = {\n";
    s += bitmaps + "\n};\n\n\n";
    s += "/*---------------------\n *  GLYPH DESCRIPTION\n *--------------------*/\n\n";
    s += "static const lv_font_fmt_txt_glyph_dsc_t glyph_dsc[] = {\n" + DescriptorSection(font, offsets) + "\n};\n\n";
    s += "/*---------------------\n *  CHARACTER MAPPING\n *--------------------*/\n\n";
    s += MapSection(codes, maps) + "\n\n\n\n";
    s += "/*--------------------\n *  ALL CUSTOM DATA\n *--------------------*/\n\n";
    s += "#if LVGL_VERSION_MAJOR == 8\n/*Store all the custom data of the font*/\n"
         "static  lv_font_fmt_txt_glyph_cache_t cache;\n#endif\n\n";
    s += "#if LVGL_VERSION_MAJOR >= 8\nstatic const lv_font_fmt_txt_dsc_t font_dsc = {\n#else\n"
         "static lv_font_fmt_txt_dsc_t font_dsc = {\n#endif\n";
    s += "    .glyph_bitmap = glyph_bitmap,\n    .glyph_dsc = glyph_dsc,\n    .cmaps = cmaps,\n"
         "    .kern_dsc = NULL,\n    .kern_scale = 0,\n    .cmap_num = " + Dec(int64_t(maps.size())) + ",\n";
    s += "    .bpp = " + Dec(font.bpp) + ",\n    .kern_classes = 0,\n    .bitmap_format = 0,\n"
         "#if LVGL_VERSION_MAJOR == 8\n    .cache = &cache\n#endif\n};\n\n\n\n";
    s += "/*-----------------\n *  PUBLIC FONT\n *----------------*/\n\n";
    s += "/*Initialize a public general font descriptor*/\n#if LVGL_VERSION_MAJOR >= 8\nconst lv_font_t " +
         font.name + " = {\n#else\nlv_font_t " + font.name + " = {\n#endif\n";
    s += "    .get_glyph_dsc = lv_font_get_glyph_dsc_fmt_txt,    /*Function pointer to get glyph's data*/\n";
    s += "    .get_glyph_bitmap = lv_font_get_bitmap_fmt_txt,    /*Function pointer to get glyph's bitmap*/\n";
    s += "    .line_height = " + Dec(ascent - descent) + ",          /*The maximum line height required by the font*/\n";
    s += "    .base_line = " + Dec(-descent) + ",             /*Baseline measured from the bottom of the line*/\n";
    s += "#if !(LVGL_VERSION_MAJOR == 6 && LVGL_VERSION_MINOR == 0)\n    .subpx = LV_FONT_SUBPX_NONE,\n#endif\n";
    s += "#if LV_VERSION_CHECK(7, 4, 0) || LVGL_VERSION_MAJOR >= 8\n    .underline_position = " +
         Dec(font.underlinePosition) + ",\n    .underline_thickness = " + Dec(font.underlineThickness) + ",\n#endif\n";
    s += "    .dsc = &font_dsc,          /*The custom font data. Will be accessed by `get_glyph_bitmap/dsc` */\n";
    s += "#if LV_VERSION_CHECK(8, 2, 0) || LVGL_VERSION_MAJOR >= 9\n    .fallback = NULL,\n#endif\n";
    s += "    .user_data = NULL,\n};\n\n\n\n" + LargeFormatGuard(font, offsets, guard) + "#endif /*#if " + guard + "*/\n\n";
    return s;
}

}  // namespace kelmor
