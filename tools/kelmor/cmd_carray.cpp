// kelmor carray: glyphs as a C header in the Adafruit GFX font layout,
// which Arduino display libraries draw from.
//
// The layout: one byte array of glyph bitmaps, each glyph's rows packed one
// after another without row padding (bit 7 of the first byte is the top-left
// pixel, a glyph starts on a byte boundary); one GFXglyph per character from
// first to last {bitmapOffset, width, height, xAdvance, xOffset, yOffset},
// the offsets leading from the cursor on the baseline to the bitmap's
// top-left corner; and the GFXfont {bitmap, glyph, first, last, yAdvance}.
// The types come from the library's gfxfont.h.
//
// The format has a glyph record for every character from first to last and
// 16-bit bitmap offsets.  Codes that are not contiguous (kana and a list of
// kanji) therefore get a sorted table of codes, the glyph records following
// it by position; and bitmaps beyond 64 KiB are split into parts, each a
// GFXfont of its own whose bitmap offsets start within 64 KiB.  A generated
// function finds the part and the character number for a code; a single
// contiguous part is written as the plain layout.  Codes above FFFF do not
// fit the format's 16-bit characters: they always come with the code table,
// whose entries are then 32 bits.  The font's line (ascent, descent, line
// height) is written as constants, for a draw loop's first baseline.
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "args.h"
#include "commands.h"
#include "glyph_export.h"

namespace kelmor {
namespace {

constexpr const char *kCommand = "carray";
constexpr size_t kMaxBitmapOffset = 0xFFFF;  // bitmapOffset is 16 bits
constexpr uint32_t kMaxGfxCode = 0xFFFF;     // first and last are 16 bits
constexpr size_t kMaxCharacters = 0x10000;   // positions in the code table, too

void PrintHelp() {
    std::printf(
        "usage: kelmor carray FONT --size POINTS --encoding unicode|sjis|big5|gb|gbk|euc-kr|glyphs\n"
        "                     (--range FIRST-LAST | --chars TEXT | --chars-file FILE)...\n"
        "                     [--dpi DPI] [-o FILE.h]\n"
        "\n"
        "Writes the glyphs as a C header in the Adafruit GFX font layout\n"
        "(GFXglyph and GFXfont of gfxfont.h; include that first), with the font's\n"
        "line height (hhea, rounded as FreeType does) as yAdvance.\n"
        "\n"
        "One --range: every code from FIRST to LAST gets a glyph record, an empty\n"
        "one when the font lacks it, and the GFXfont covers FIRST to LAST.\n"
        "Codes that are not contiguous (several ranges, --chars): only the codes\n"
        "the font has are written, a sorted table NAMECodes[] lists them and the\n"
        "GFXfont's characters are their positions in it.\n"
        "Bitmaps beyond 64 KiB: the glyphs are split into parts NAMEPart0,\n"
        "NAMEPart1, ..., each a GFXfont whose 16-bit bitmap offsets start within\n"
        "64 KiB.  In both cases NAMEFind(code, &c) returns the GFXfont that draws\n"
        "the code and sets c to the character to draw with it, or returns 0.\n"
        "\n"
        "Codes above FFFF (U+20B9F) always come with the table, then of 32-bit\n"
        "codes, and NAMEFind takes a 32-bit code.  NAMEAscent, NAMEDescent and\n"
        "NAMELineHeight give the font's line in pixels: the first baseline lies\n"
        "NAMEAscent below the top of the text.\n"
        "\n"
        "What the format still limits: 65,536 glyphs, glyphs and advances up to\n"
        "255 pixels, offsets within -128..127, a line height up to 255; 64 KiB of\n"
        "bitmaps per part.  Adafruit GFX's own print() and drawChar() take 8-bit\n"
        "characters: codes above FF need a draw loop (or a library) that takes\n"
        "16-bit ones.\n"
        "\n"
        KELMOR_EXPORT_DRAWING_HELP
        "  -o FILE.h          where to write (default standard output); the font's\n"
        "                     C name comes from the file name; the file appears\n"
        "                     only when it is whole\n"
        "\n"
        "Codes asked for twice, and codes the font lacks, are named once on stderr.\n"
        "Exit code: 0 written, 1 failed, 2 bad command line.\n");
}

// A C identifier from the output file name (or the font's family).
std::string CName(const ExportOptions &o, const ExportedFont &font) {
    std::string base = o.outputPath.empty() ? font.familyName : o.outputPath;
    base = base.substr(base.find_last_of('/') + 1);
    base = base.substr(0, base.find('.'));
    std::string name;
    for (char c : base) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) name = "font_" + name;
    return name + "_" + std::to_string(o.points) + "pt";
}

// The bits of a glyph's ink, rows running on without padding.
void PackGlyph(const InkImage &ink, std::vector<uint8_t> *bitmap) {
    int used = 8;
    for (int y = 0; y < ink.height; ++y) {
        for (int x = 0; x < ink.width; ++x) {
            if (used == 8) {
                bitmap->push_back(0);
                used = 0;
            }
            if (ink.At(x, y)) bitmap->back() |= uint8_t(0x80 >> used);
            ++used;
        }
    }
}

int YOffset(const ExportedGlyph &g) {
    return g.ink.width > 0 ? g.metrics.iInkTop - g.metrics.iOriginY : 0;
}

// Why a glyph does not fit the format's field widths, or "".
std::string FieldProblem(const ExportedGlyph &g) {
    const KelmorGlyphMetrics &m = g.metrics;
    if (g.ink.width > 255 || g.ink.height > 255 || m.iAdvance > 255 || m.iAdvance < 0)
        return "is larger than 255 pixels";
    if (g.xOffset() < -128 || g.xOffset() > 127 || YOffset(g) < -128 || YOffset(g) > 127)
        return "lies further than 127 pixels from its origin";
    return "";
}

// One GFXfont: glyphs [begin, end) of the font, their bitmaps and offsets.
struct Part {
    size_t begin = 0, end = 0;
    std::vector<uint8_t> bitmap;
    std::vector<size_t> offsets;
};

// The glyphs split where a bitmap offset would no longer fit in 16 bits.
std::vector<Part> SplitIntoParts(const std::vector<ExportedGlyph> &glyphs) {
    std::vector<Part> parts(1);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        if (parts.back().bitmap.size() > kMaxBitmapOffset) {
            parts.back().end = i;
            parts.push_back(Part{i, i, {}, {}});
        }
        parts.back().offsets.push_back(parts.back().bitmap.size());
        PackGlyph(glyphs[i].ink, &parts.back().bitmap);
    }
    parts.back().end = glyphs.size();
    return parts;
}

// How the header names its parts and what a part's characters are.
struct Layout {
    std::string name;
    bool contiguous;  // characters are the codes themselves; else positions in NAMECodes
    bool plain;       // one contiguous part: the font is NAME, no lookup
    bool wideCodes;   // codes above FFFF: the table and NAMEFind take 32-bit codes
    std::string PartName(size_t k) const {
        return plain ? name : name + "Part" + std::to_string(k);
    }
    std::string Suffix(size_t k) const { return plain ? "" : std::to_string(k); }
};

void WriteBytes(FILE *out, const std::string &array, const std::vector<uint8_t> &bytes) {
    std::fprintf(out, "const uint8_t %s[] PROGMEM = {", array.c_str());
    for (size_t i = 0; i < bytes.size(); ++i)
        std::fprintf(out, "%s0x%02X%s", i % 12 == 0 ? "\n    " : " ", bytes[i],
                     i + 1 < bytes.size() ? "," : "");
    if (bytes.empty()) std::fprintf(out, "0x00");  // C has no empty arrays
    std::fprintf(out, "\n};\n\n");
}

const char *CodeType(const Layout &layout) { return layout.wideCodes ? "uint32_t" : "uint16_t"; }

void WriteCodes(FILE *out, const Layout &layout, const std::vector<ExportedGlyph> &glyphs) {
    std::fprintf(out, "// Character i of the parts draws code %sCodes[i]; ascending.\n",
                 layout.name.c_str());
    std::fprintf(out, "const %s %sCodes[] PROGMEM = {", CodeType(layout), layout.name.c_str());
    for (size_t i = 0; i < glyphs.size(); ++i)
        std::fprintf(out, "%s0x%0*X%s", i % 10 == 0 ? "\n    " : " ", layout.wideCodes ? 5 : 4,
                     unsigned(glyphs[i].code), i + 1 < glyphs.size() ? "," : "");
    std::fprintf(out, "\n};\n\n");
}

// The character a glyph has in its GFXfont.
uint32_t CharacterOf(const Layout &layout, const std::vector<ExportedGlyph> &glyphs, size_t i) {
    return layout.contiguous ? glyphs[i].code : uint32_t(i);
}

void WritePart(FILE *out, const Layout &layout, const ExportedFont &font, const Part &part,
               size_t k) {
    const std::string suffix = layout.Suffix(k), name = layout.name;
    WriteBytes(out, name + "Bitmaps" + suffix, part.bitmap);
    std::fprintf(out, "const GFXglyph %sGlyphs%s[] PROGMEM = {\n", name.c_str(), suffix.c_str());
    for (size_t i = part.begin; i < part.end; ++i) {
        const ExportedGlyph &g = font.glyphs[i];
        std::fprintf(out, "    {%5zu, %3d, %3d, %3d, %4d, %4d}%s  // 0x%04X\n",
                     part.offsets[i - part.begin], g.ink.width, g.ink.height,
                     int(g.metrics.iAdvance), g.ink.width > 0 ? g.xOffset() : 0, YOffset(g),
                     i + 1 < part.end ? "," : " ", unsigned(g.code));
    }
    const std::string partName = layout.PartName(k);
    std::fprintf(out, "};\n\nconst GFXfont %s PROGMEM = {(uint8_t *)%sBitmaps%s, ",
                 partName.c_str(), name.c_str(), suffix.c_str());
    std::fprintf(out, "(GFXglyph *)%sGlyphs%s,\n", name.c_str(), suffix.c_str());
    std::fprintf(out, "    0x%04X, 0x%04X, %d};\n\n",
                 unsigned(CharacterOf(layout, font.glyphs, part.begin)),
                 unsigned(CharacterOf(layout, font.glyphs, part.end - 1)), font.lineAdvance);
}

const char *ReadCode(const Layout &layout) {
    return layout.wideCodes ? "pgm_read_dword" : "pgm_read_word";
}

// NAMEFind: a binary search of the code table (or a range check), then the
// part that holds the character.
void WriteFind(FILE *out, const Layout &layout, const ExportedFont &font,
               const std::vector<Part> &parts) {
    const std::string &name = layout.name;
    const size_t count = font.glyphs.size();
    std::fprintf(out,
                 "// The part of the font that draws `code`, with *c set to the character to\n"
                 "// draw (glyph[*c - first] of that GFXfont); 0 when the font has no glyph.\n"
                 "static inline const GFXfont *%sFind(%s code, uint16_t *c) {\n",
                 name.c_str(), CodeType(layout));
    if (layout.contiguous) {
        std::fprintf(out, "    if (code < 0x%04X || code > 0x%04X) return 0;\n    *c = code;\n",
                     unsigned(font.glyphs.front().code), unsigned(font.glyphs.back().code));
    } else {
        std::fprintf(out,
                     "    uint32_t low = 0, high = %zu;\n"
                     "    while (low < high) {\n"
                     "        const uint32_t middle = (low + high) / 2;\n"
                     "        if (%s(&%sCodes[middle]) < code) low = middle + 1;\n"
                     "        else high = middle;\n"
                     "    }\n"
                     "    if (low == %zu || %s(&%sCodes[low]) != code) return 0;\n"
                     "    *c = (uint16_t)low;\n",
                     count, ReadCode(layout), name.c_str(), count, ReadCode(layout),
                     name.c_str());
    }
    for (size_t k = 0; k + 1 < parts.size(); ++k)
        std::fprintf(out, "    if (*c <= 0x%04X) return &%s;\n",
                     unsigned(CharacterOf(layout, font.glyphs, parts[k].end - 1)),
                     layout.PartName(k).c_str());
    std::fprintf(out, "    return &%s;\n}\n", layout.PartName(parts.size() - 1).c_str());
}

bool CodesContiguous(const std::vector<ExportedGlyph> &glyphs) {
    for (size_t i = 1; i < glyphs.size(); ++i)
        if (glyphs[i].code != glyphs[i - 1].code + 1) return false;
    return true;
}

int WriteHeader(FILE *out, const ExportOptions &o, const ExportedFont &font) {
    for (const ExportedGlyph &g : font.glyphs) {
        const std::string problem = FieldProblem(g);
        if (!problem.empty())
            return Report(kCommand, "code " + CompactCodes({g.code}, 16) + " " + problem);
    }
    if (font.lineAdvance > 255 || font.lineAdvance < 0)
        return Report(kCommand, "the line height of " + std::to_string(font.lineAdvance) +
                                    " pixels does not fit the format's 8-bit yAdvance");
    const std::vector<Part> parts = SplitIntoParts(font.glyphs);
    const bool wide = font.glyphs.back().code > kMaxGfxCode;  // codes ascend
    const bool contiguous = CodesContiguous(font.glyphs) && !wide;
    if (!contiguous && font.glyphs.size() > kMaxCharacters)
        return Report(kCommand, "more than 65,536 glyphs do not fit the format's characters");
    const Layout layout{CName(o, font), contiguous, contiguous && parts.size() == 1, wide};
    std::fprintf(out, "// %s at %d points, %d dpi: %zu glyphs, codes %04X-%04X%s%s,\n",
                 font.familyName.c_str(), o.points, o.dpi, font.glyphs.size(),
                 unsigned(font.glyphs.front().code), unsigned(font.glyphs.back().code),
                 contiguous ? "" : " (a table of codes)",
                 parts.size() > 1 ? (", " + std::to_string(parts.size()) + " parts").c_str() : "");
    std::fprintf(out, "// written by kelmor carray.  Adafruit GFX font layout; include gfxfont.h\n"
                      "// before this file.\n");
    std::fprintf(out, "#ifndef PROGMEM\n#define PROGMEM\n#endif\n");
    if (!layout.plain)
        std::fprintf(out, "#ifndef %s\n#define %s(addr) (*(const %s *)(addr))\n#endif\n",
                     ReadCode(layout), ReadCode(layout), CodeType(layout));
    std::fprintf(out, "\n// The font's line in pixels: above the baseline, below it, and from one\n"
                      "// baseline to the next (also the GFXfont's yAdvance).\n");
    std::fprintf(out, "enum { %sAscent = %d, %sDescent = %d, %sLineHeight = %d };\n\n",
                 layout.name.c_str(), font.ascent, layout.name.c_str(), font.descent,
                 layout.name.c_str(), font.lineAdvance);
    if (!contiguous) WriteCodes(out, layout, font.glyphs);
    for (size_t k = 0; k < parts.size(); ++k) WritePart(out, layout, font, parts[k], k);
    if (!layout.plain) WriteFind(out, layout, font, parts);
    return 0;
}

}  // namespace
}  // namespace kelmor

int CmdCarray(int argc, char **argv) {
    using namespace kelmor;
    const ExportCommand command{kCommand, PrintHelp, true, true, nullptr, WriteHeader};
    return RunExportCommand(command, argc, argv);
}
