// kelmor bdf: a range of glyphs as a BDF 2.1 bitmap font for X11, printers
// and embedded toolchains.
//
// A BDF file is text: a header (STARTFONT, FONT, SIZE, FONTBOUNDINGBOX),
// the properties between STARTPROPERTIES and ENDPROPERTIES, then CHARS n
// and one STARTCHAR ... ENDCHAR block per glyph.  In a glyph, ENCODING is
// its code, SWIDTH its advance in 1/1000 em, DWIDTH in pixels, BBX the
// tight ink box (width, height, x and y of its lower-left corner from the
// origin, y up), and BITMAP one hex line per row, padded to whole bytes.
#include <algorithm>
#include <cstdio>
#include <string>

#include "args.h"
#include "commands.h"
#include "glyph_export.h"

namespace kelmor {
namespace {

constexpr const char *kCommand = "bdf";

void PrintHelp() {
    std::printf(
        "usage: kelmor bdf FONT --size POINTS [--dpi DPI]\n"
        "                  [--encoding unicode|sjis|big5|gb|gbk|euc-kr|glyphs]\n"
        "                  [--range FIRST-LAST]... [--chars TEXT]... [--chars-file FILE]...\n"
        "                  [-o FILE]\n"
        "\n"
        "Writes the glyphs the font has for the codes asked for as a BDF 2.1 font:\n"
        "each cut to its ink, with BBX and DWIDTH from the library's\n"
        "GetGlyphMetrics, FONT_ASCENT and FONT_DESCENT from the font's line\n"
        "(hhea, scaled and rounded as FreeType does), and the properties X11\n"
        "expects.  The character set follows --encoding:\n"
        "  unicode  ISO10646-1 (the default; range 0000-FFFF)\n"
        "  sjis     JISX0208.1983-0, codes as JIS row/cell (range 8140-FCFC).\n"
        "           Only JIS X 0208's own rows are written: Windows' NEC and IBM\n"
        "           extension rows (Shift-JIS 8740-879C, ED40-EEFC, FA40-FC4B) and\n"
        "           single bytes have no row and cell in it and are left out (and\n"
        "           named); --encoding unicode keeps them\n"
        "  big5     BIG5-0 (range A140-F9FE)\n"
        "  gb       GB2312.1980-0, codes as row/cell (range A1A1-F7FE)\n"
        "  glyphs   glyph numbers, FontSpecific-0 (range: every glyph)\n"
        "Without --range, --chars or --chars-file the whole range is written.\n"
        "Double-byte codes reach a Unicode font through the concordance named in\n"
        "the ini file.\n"
        "\n"
        KELMOR_EXPORT_DRAWING_HELP
        "  -o FILE            where to write (default standard output); the file\n"
        "                     appears only when it is whole\n"
        "\n"
        "Codes asked for twice, and codes the font lacks, are named once on stderr.\n"
        "Exit code: 0 written, 1 failed, 2 bad command line.\n");
}

struct Charset {
    const char *registry, *encoding;
};

Charset CharsetOf(ExportSpace space) {
    switch (space) {
    case ExportSpace::kUnicode: return {"ISO10646", "1"};
    case ExportSpace::kShiftJIS: return {"JISX0208.1983", "0"};
    case ExportSpace::kBig5: return {"BIG5", "0"};
    case ExportSpace::kGB2312: return {"GB2312.1980", "0"};
    case ExportSpace::kGBK: return {"GBK", "0"};
    case ExportSpace::kWansung: return {"KSC5601.1987", "0"};
    case ExportSpace::kGlyphs: break;
    }
    return {"FontSpecific", "0"};
}

// Shift-JIS to JIS X 0208 row/cell (0x2121-0x7E7E); 0 for codes outside
// the rows JIS X 0208 fills (1-8 and 16-84).  Code page 932 puts NEC's
// symbols in row 13 and IBM's kanji in rows 89-92 and beyond; under the name
// JISX0208.1983-0 those would claim places that the standard leaves empty
// (and that JIS X 0213 gives to other characters), so they are left out.
uint32_t JisOfShiftJis(uint32_t code) {
    const uint32_t lead = code >> 8, trail = code & 0xFF;
    const bool leadOk = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF);
    if (!leadOk || trail < 0x40 || trail == 0x7F || trail > 0xFC) return 0;
    const uint32_t pair = (lead <= 0x9F ? lead - 0x70 : lead - 0xB0) * 2;
    const uint32_t row = trail < 0x9F ? pair - 1 : pair;
    const uint32_t cell = trail < 0x9F ? trail - 0x1F - (trail >= 0x80 ? 1 : 0) : trail - 0x7E;
    const bool jisRow = (row >= 0x21 && row <= 0x28) || (row >= 0x30 && row <= 0x74);
    if (!jisRow || cell < 0x21 || cell > 0x7E) return 0;
    return row << 8 | cell;
}

// The ENCODING of a code in the chosen character set; 0 when the set has no
// place for it (and the glyph is left out).
bool BdfEncoding(ExportSpace space, uint32_t code, uint32_t *encoding) {
    switch (space) {
    case ExportSpace::kShiftJIS: *encoding = JisOfShiftJis(code); return *encoding != 0;
    case ExportSpace::kGB2312:
    case ExportSpace::kWansung:  // code page 949's extra syllables have no row/cell
        *encoding = code & 0x7F7F;  // EUC bytes to row/cell
        return (code >> 8) >= 0xA1 && (code & 0xFF) >= 0xA1 && (code >> 8) <= 0xFE &&
               (code & 0xFF) <= 0xFE;
    case ExportSpace::kBig5: *encoding = code; return code > 0xFF;
    default: *encoding = code; return true;
    }
}

// XLFD fields may not hold '-' (the separator) or the wildcard characters.
std::string XlfdField(std::string text) {
    for (char &c : text)
        if (c == '-' || c == '*' || c == '?' || c == '"' || c == ',') c = ' ';
    return text;
}

// A BDF property string: a quote inside is written twice.
std::string PropertyString(const std::string &text) {
    std::string quoted;
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted;
}

struct Box {
    int width = 0, height = 0, x = 0, y = 0;
};

Box FontBox(const std::vector<const ExportedGlyph *> &glyphs) {
    int left = 0, bottom = 0, right = 0, top = 0;
    bool any = false;
    for (const ExportedGlyph *g : glyphs) {
        if (g->ink.width == 0) continue;
        const int l = g->xOffset(), b = g->yOffset();
        const int r = l + g->ink.width, t = b + g->ink.height;
        left = any ? std::min(left, l) : l;
        bottom = any ? std::min(bottom, b) : b;
        right = any ? std::max(right, r) : r;
        top = any ? std::max(top, t) : t;
        any = true;
    }
    return {right - left, top - bottom, left, bottom};
}

void WriteGlyph(FILE *out, const ExportedGlyph &g, uint32_t encoding, int pixelSize) {
    const KelmorGlyphMetrics &m = g.metrics;
    std::fprintf(out, "STARTCHAR %04X\nENCODING %u\n", unsigned(g.code), unsigned(encoding));
    const long scalable =
        pixelSize > 0 ? (long(m.lAdvance) * 1000 / 64 + pixelSize / 2) / pixelSize : 0;
    std::fprintf(out, "SWIDTH %ld 0\nDWIDTH %d 0\n", scalable, int(m.iAdvance));
    std::fprintf(out, "BBX %d %d %d %d\nBITMAP\n", g.ink.width, g.ink.height,
                 g.ink.width ? g.xOffset() : 0, g.ink.height ? g.yOffset() : 0);
    for (int y = 0; y < g.ink.height; ++y) {
        for (int x0 = 0; x0 < g.ink.width; x0 += 8) {
            unsigned byte = 0;
            for (int x = x0; x < x0 + 8 && x < g.ink.width; ++x)
                if (g.ink.At(x, y)) byte |= 0x80u >> (x - x0);
            std::fprintf(out, "%02X", byte);
        }
        std::fputc('\n', out);
    }
    std::fputs("ENDCHAR\n", out);
}

int WriteBdf(FILE *out, const ExportOptions &o, const ExportedFont &font) {
    std::vector<const ExportedGlyph *> glyphs;
    std::vector<uint32_t> encodings, leftOut;
    for (const ExportedGlyph &g : font.glyphs) {
        uint32_t encoding = 0;
        if (!BdfEncoding(o.space, g.code, &encoding)) {
            leftOut.push_back(g.code);
            continue;
        }
        glyphs.push_back(&g);
        encodings.push_back(encoding);
    }
    const Charset charset = CharsetOf(o.space);
    if (!leftOut.empty())
        Report(kCommand, "note: " + std::to_string(leftOut.size()) +
                             " codes drawn from the font have no place in " + charset.registry +
                             "-" + charset.encoding + " and are left out (--encoding unicode "
                             "keeps them): " + CompactCodes(leftOut, 16));
    const std::string family = XlfdField(font.familyName);
    const std::string foundry = font.foundry.empty() ? "Unknown" : XlfdField(font.foundry);
    long widths = 0;
    for (const ExportedGlyph *g : glyphs) widths += g->metrics.iAdvance;
    const long average = glyphs.empty() ? 0 : widths * 10 / long(glyphs.size());
    const Box box = FontBox(glyphs);
    std::fprintf(out, "STARTFONT 2.1\n");
    std::fprintf(out, "FONT -%s-%s-Medium-R-Normal--%d-%d-%d-%d-P-%ld-%s-%s\n", foundry.c_str(),
                 family.c_str(),
                 font.pixelSize, o.points * 10, o.dpi, o.dpi, average, charset.registry,
                 charset.encoding);
    std::fprintf(out, "SIZE %d %d %d\n", o.points, o.dpi, o.dpi);
    std::fprintf(out, "FONTBOUNDINGBOX %d %d %d %d\n", box.width, box.height, box.x, box.y);
    // The font's licence expects its notices to travel with fonts made from it.
    std::vector<std::pair<const char *, std::string>> notices;
    if (!font.copyright.empty()) notices.push_back({"COPYRIGHT", font.copyright});
    if (!font.notice.empty()) notices.push_back({"NOTICE", font.notice});
    std::fprintf(out, "STARTPROPERTIES %zu\n", 16 + notices.size());
    std::fprintf(out, "FOUNDRY \"%s\"\nFAMILY_NAME \"%s\"\n", foundry.c_str(), family.c_str());
    for (const auto &property : notices)
        std::fprintf(out, "%s \"%s\"\n", property.first, PropertyString(property.second).c_str());
    std::fprintf(out, "WEIGHT_NAME \"Medium\"\nSLANT \"R\"\nSETWIDTH_NAME \"Normal\"\n");
    std::fprintf(out, "ADD_STYLE_NAME \"\"\nPIXEL_SIZE %d\nPOINT_SIZE %d\n", font.pixelSize,
                 o.points * 10);
    std::fprintf(out, "RESOLUTION_X %d\nRESOLUTION_Y %d\nSPACING \"P\"\nAVERAGE_WIDTH %ld\n", o.dpi,
                 o.dpi, average);
    std::fprintf(out, "CHARSET_REGISTRY \"%s\"\nCHARSET_ENCODING \"%s\"\n", charset.registry,
                 charset.encoding);
    std::fprintf(out, "FONT_ASCENT %d\nFONT_DESCENT %d\nENDPROPERTIES\n", font.ascent,
                 font.descent);
    std::fprintf(out, "CHARS %zu\n", glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i)
        WriteGlyph(out, *glyphs[i], encodings[i], font.pixelSize);
    std::fprintf(out, "ENDFONT\n");
    return 0;
}

}  // namespace
}  // namespace kelmor

int CmdBdf(int argc, char **argv) {
    using namespace kelmor;
    const ExportCommand command{kCommand, PrintHelp, false, false, nullptr, WriteBdf};
    return RunExportCommand(command, argc, argv);
}
