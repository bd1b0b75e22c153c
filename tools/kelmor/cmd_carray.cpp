// kelmor carray: a range of glyphs as a C header in the Adafruit GFX font
// layout, which Arduino display libraries draw from.
//
// The layout: one byte array of all glyph bitmaps, each glyph's rows packed
// one after another without row padding (bit 7 of the first byte is the
// top-left pixel, a glyph starts on a byte boundary); one GFXglyph per code
// from first to last {bitmapOffset, width, height, xAdvance, xOffset,
// yOffset}, the offsets leading from the cursor on the baseline to the
// bitmap's top-left corner; and the GFXfont {bitmap, glyph, first, last,
// yAdvance}.  The types come from the library's gfxfont.h.
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
constexpr uint32_t kMaxBitmapBytes = 0xFFFF;  // bitmapOffset is 16 bits

void PrintHelp() {
    std::printf(
        "usage: kelmor carray FONT --size POINTS --encoding unicode|sjis|big5|gb|glyphs\n"
        "                     --range FIRST-LAST [--dpi DPI] [-o FILE.h]\n"
        "\n"
        "Writes the glyphs of the range as a C header in the Adafruit GFX font\n"
        "layout (GFXglyph and GFXfont of gfxfont.h; include that first).  Every\n"
        "code from FIRST to LAST gets a glyph record, an empty one when the font\n"
        "lacks it.  Ranges are hex codes (decimal for glyphs).  The format holds\n"
        "at most 64 KiB of bitmaps, glyphs up to 255 pixels and offsets within\n"
        "-128..127.\n"
        "\n"
        "  --size POINTS   point size (required)\n"
        "  --dpi DPI       resolution (default 72)\n"
        KELMOR_NO_BITMAPS_HELP
        KELMOR_CLASSIC_HELP
        KELMOR_FACE_HELP
        "  -o FILE.h       where to write (default standard output); the font's\n"
        "                  C name comes from the file name\n"
        "\n"
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

// Why a glyph does not fit the format's field widths, or "".
std::string FieldProblem(const ExportedGlyph &g) {
    const KelmorGlyphMetrics &m = g.metrics;
    const int yOffset = m.iInkTop - m.iOriginY;
    if (g.ink.width > 255 || g.ink.height > 255 || m.iAdvance > 255 || m.iAdvance < 0)
        return "is larger than 255 pixels";
    if (g.xOffset() < -128 || g.xOffset() > 127 || yOffset < -128 || yOffset > 127)
        return "lies further than 127 pixels from its origin";
    return "";
}

int WriteHeader(FILE *out, const ExportOptions &o, const ExportedFont &font) {
    const std::string name = CName(o, font);
    std::vector<uint8_t> bitmap;
    std::vector<size_t> offsets;
    for (const ExportedGlyph &g : font.glyphs) {
        const std::string problem = FieldProblem(g);
        if (!problem.empty())
            return Report(kCommand, "code " + std::to_string(g.code) + " " + problem);
        offsets.push_back(bitmap.size());
        PackGlyph(g.ink, &bitmap);
    }
    if (bitmap.size() > kMaxBitmapBytes)
        return Report(kCommand,
                      "the bitmaps take " + std::to_string(bitmap.size()) +
                          " bytes; the format holds at most 65535 (choose a smaller range)");
    std::fprintf(out, "// %s at %d points, %d dpi: codes %04X-%04X, written by kelmor carray.\n",
                 font.familyName.c_str(), o.points, o.dpi, unsigned(o.first), unsigned(o.last));
    std::fprintf(out, "// Adafruit GFX font layout; include gfxfont.h before this file.\n");
    std::fprintf(out, "#ifndef PROGMEM\n#define PROGMEM\n#endif\n\n");
    std::fprintf(out, "const uint8_t %sBitmaps[] PROGMEM = {", name.c_str());
    for (size_t i = 0; i < bitmap.size(); ++i)
        std::fprintf(out, "%s0x%02X%s", i % 12 == 0 ? "\n    " : " ", bitmap[i],
                     i + 1 < bitmap.size() ? "," : "");
    if (bitmap.empty()) std::fprintf(out, "0x00");  // C has no empty arrays
    std::fprintf(out, "\n};\n\nconst GFXglyph %sGlyphs[] PROGMEM = {\n", name.c_str());
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        const ExportedGlyph &g = font.glyphs[i];
        const bool ink = g.ink.width > 0;
        std::fprintf(out, "    {%5zu, %3d, %3d, %3d, %4d, %4d}%s  // 0x%04X\n", offsets[i],
                     g.ink.width, g.ink.height, int(g.metrics.iAdvance), ink ? g.xOffset() : 0,
                     ink ? g.metrics.iInkTop - g.metrics.iOriginY : 0,
                     i + 1 < font.glyphs.size() ? "," : " ", unsigned(g.code));
    }
    std::fprintf(out,
                 "};\n\nconst GFXfont %s PROGMEM = {(uint8_t *)%sBitmaps, (GFXglyph *)%sGlyphs,\n",
                 name.c_str(), name.c_str(), name.c_str());
    std::fprintf(out, "    0x%04X, 0x%04X, %d};\n", unsigned(o.first), unsigned(o.last),
                 font.lineAdvance);
    return 0;
}

std::string CheckRange(const ExportOptions &o) {
    return o.last > 0xFFFF ? "codes in the GFX layout are 16 bits; the range ends above FFFF" : "";
}

}  // namespace
}  // namespace kelmor

int CmdCarray(int argc, char **argv) {
    using namespace kelmor;
    const ExportCommand command{kCommand, PrintHelp, true, true, CheckRange, WriteHeader};
    return RunExportCommand(command, argc, argv);
}
