// kelmor lvgl: a font for LVGL (lv_font_fmt_txt C source) with grey-level
// glyphs from GetGrayBitmap (one-bit ones from GetBitmap), from one font or
// several merged: each character comes from the first font that asks for
// it and has it.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "args.h"
#include "code_set.h"
#include "commands.h"
#include "font_facts.h"
#include "kelmor.h"
#include "lvgl_font.h"
#include "output_file.h"
#include "text_input.h"
#include "ttf/api/tool_internals.h"

namespace kelmor {
namespace {

constexpr const char *kCommand = "lvgl";

void PrintHelp() {
    std::fputs(
        "usage: kelmor lvgl FONT --size PX --bpp 1|2|4|8 [--range R] [--chars TEXT]\n"
        "                   [--chars-file FILE] [--face N] [--font FONT2 ...] -o NAME.c\n"
        "\n"
        "Writes an LVGL font (lv_font_fmt_txt, the layout lv_font_conv writes without\n"
        "compression or kerning): glyph bitmaps, descriptors (advance in 1/16 pixel\n"
        "from the unhinted advance), character maps and line metrics.  Grey levels\n"
        "come from the library's coverage rasterizer (FreeType's smooth rendering of\n"
        "the faithful mode's outline); --bpp 1 takes the one-bit glyphs.\n"
        "\n"
        "  --size PX          pixels per em (required)\n"
        "  --bpp B            bits per pixel: 1, 2, 4 or 8 (default 4)\n"
        "  --range R          Unicode codes: FIRST-LAST, one code, or a comma-separated\n"
        "                     list (hex, 0x allowed); may be given again\n"
        "  --chars TEXT       the characters of the UTF-8 text\n"
        "  --chars-file FILE  the characters of a UTF-8 file (control characters skipped)\n"
        KELMOR_FACE_HELP
        "  --font FONT2       a further font: the --range, --chars, --chars-file and\n"
        "                     --face after it are its own; it draws the characters it\n"
        "                     asks for that no font before it has\n"
        "  --vertical         vertical forms (GSUB vert) of the characters\n"
        "  --no-hinting       the plain scaled outlines\n"
        "  --name NAME        the C name of the font (default: the output file's name)\n"
        "  -o, --output FILE  the C file (required)\n",
        stdout);
}

// One font of the merge and the characters it is asked for.
struct SourceFont {
    std::string path;
    int face = 0;
    std::vector<CodeRange> ranges;
    std::vector<uint32_t> singles;
};

struct LvglOptions {
    std::vector<SourceFont> fonts;
    int size = 0;
    int bpp = 4;
    bool vertical = false;
    bool noHinting = false;
    std::string name;
    std::string outputPath;
    std::string commandLine;
};

bool AddCharsOf(const std::string &text, SourceFont *font, std::string *error) {
    std::vector<uint32_t> codes;
    if (!DecodeUtf8(text, &codes, error)) return false;
    for (uint32_t c : codes)
        if (!IsControlCode(c)) font->singles.push_back(c);
    return true;
}

// Reads one option into *o; false when the argument is none of ours.
bool TakeOption(ArgCursor &args, LvglOptions *o, std::string *error) {
    std::string value;
    SourceFont *font = o->fonts.empty() ? nullptr : &o->fonts.back();
    long number = 0;
    if (args.Value("--font", &value)) {
        o->fonts.emplace_back();
        o->fonts.back().path = value;
    } else if (args.Value("--range", &value)) {
        if (font == nullptr) *error = "--range comes after the font";
        else ParseRangeList(value, 16, 0x10FFFF, &font->ranges, error);
    } else if (args.Value("--chars", &value)) {
        if (font == nullptr) *error = "--chars comes after the font";
        else AddCharsOf(value, font, error);
    } else if (args.Value("--chars-file", &value)) {
        std::string bytes;
        if (font == nullptr) *error = "--chars-file comes after the font";
        else if (ReadWholeFile(value, &bytes, error)) AddCharsOf(bytes, font, error);
    } else if (font != nullptr && FaceOption(args, &font->face, error)) {
    } else if (args.Value("--size", &value)) {
        if (!ParseDecimal(value, 1, 1000, &number)) *error = "--size is a number of pixels from 1 to 1000";
        o->size = int(number);
    } else if (args.Value("--bpp", &value)) {
        if (!ParseDecimal(value, 1, 8, &number) || (number & (number - 1)) != 0) *error = "--bpp is 1, 2, 4 or 8";
        o->bpp = int(number);
    } else if (args.Value("--name", &value)) {
        o->name = value;
    } else if (args.Value("--output", &o->outputPath) || args.Value("-o", &o->outputPath)) {
    } else if (args.Flag("--vertical")) {
        o->vertical = true;
    } else if (args.Flag("--no-hinting")) {
        o->noHinting = true;
    } else {
        return false;
    }
    return true;
}

// A C name from the output file's name, as the reference converter takes it.
std::string NameFromPath(const std::string &path) {
    std::string base = path.substr(path.find_last_of("/\\") + 1);
    const size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && dot > 0) base.resize(dot);
    for (char &c : base)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') c = '_';
    if (base.empty() || std::isdigit(static_cast<unsigned char>(base[0]))) base = "font_" + base;
    return base;
}

// ------------------------------------------------------------- one font

// A font opened for the export, closed however the command ends.
class OpenedFont {
public:
    OpenedFont(const SourceFont &source, const LvglOptions &o) : handle_(OpenTTFontFace(source.path.c_str(), source.face)) {
        if (handle_ == 0) return;
        SetRenderOptions(handle_, KELMOR_FAITHFUL | (o.noHinting ? KELMOR_NO_HINTING : 0));
        sized_ = SetPointSize(handle_, o.size, 72) == 1;
        SetEncoding(handle_, KELMOR_CHARSET_UNICODE);
    }
    ~OpenedFont() {
        if (handle_ != 0) CloseTTFont(handle_);
    }
    OpenedFont(const OpenedFont &) = delete;
    OpenedFont &operator=(const OpenedFont &) = delete;

    int32_t Handle() const { return handle_; }
    bool Sized() const { return sized_; }
    bool Has(uint32_t code) const { return ::GetGlyphIndex(handle_, reinterpret_cast<const char *>(&code)) > 0; }

private:
    int32_t handle_;
    bool sized_ = false;
};

// The font's tables as the reference converter reads them.
struct FontUnits {
    int32_t unitsPerEm = 0;
    int32_t underlinePosition = 0, underlineThickness = 0;
};

int32_t ReadSigned16(_TTFont *pF, const char *tag, uint32_t at, bool *ok) {
    const TableDirectoryStruct *table = TableTagged(pF, tag);
    uint8_t bytes[2];
    if (table == nullptr || at + 2 > TableLength(table) || ReadFileAt(pF, TableOffset(table) + at, bytes, 2) != 2) {
        *ok = false;
        return 0;
    }
    return int16_t(uint16_t(bytes[0] << 8 | bytes[1]));
}

// The advance in font units from hhea and hmtx (the last long record for
// glyphs past them), 0 when the tables cannot give one.
int32_t AdvanceUnits(_TTFont *pF, uint32_t glyph) {
    bool ok = true;
    const uint32_t longMetrics = uint16_t(ReadSigned16(pF, "hhea", 34, &ok));
    if (!ok || longMetrics == 0) return 0;
    const uint32_t record = glyph < longMetrics ? glyph : longMetrics - 1;
    const int32_t advance = uint16_t(ReadSigned16(pF, "hmtx", record * 4, &ok));
    return ok ? advance : 0;
}

// JavaScript's Math.round for quotients: halves go up.
int32_t RoundHalfUp(int64_t numerator, int64_t denominator) {
    const int64_t twice = 2 * numerator + denominator;
    const int64_t d = 2 * denominator;
    return int32_t(twice >= 0 ? twice / d : -((-twice + d - 1) / d));
}

// The unhinted advance in 1/16 pixel as FreeType scales it (a 16.16 scale
// rounded, then the advance rounded to 1/65536 pixel), rounded.
int32_t SixteenthsOfAdvance(int32_t units, int32_t unitsPerEm, int size) {
    if (unitsPerEm <= 0) return 0;
    const int64_t scale = ((int64_t(size) * 64 << 16) + unitsPerEm / 2) / unitsPerEm;
    const int64_t product = int64_t(units) * scale;
    const int64_t linear = product >= 0 ? (product + 32) / 64 : -((-product + 32) / 64);
    return RoundHalfUp(linear * 16, 65536);
}

// ------------------------------------------------------------- glyphs

bool DrawGlyph(const OpenedFont &font, uint32_t code, const LvglOptions &o, LvglGlyph *g) {
    const char *input = reinterpret_cast<const char *>(&code);
    const char flags = o.vertical ? KELMOR_VERTICAL : 0;
    KelmorGlyphMetrics m{};
    int width = 0, height = 0;
    g->levels.clear();
    if (o.bpp == 1) {
        const unsigned char *bits = GetBitmap(font.Handle(), input, &width, &height, flags);
        if (bits == nullptr || GetGlyphMetrics(font.Handle(), input, &m) == 0) return false;
        const int rowBytes = (width + 15) / 16 * 2;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                g->levels.push_back(((bits[y * rowBytes + x / 8] >> (7 - x % 8)) & 1) ? 0 : 255);
    } else {
        const unsigned char *levels = GetGrayBitmap(font.Handle(), input, &width, &height, flags, 8, &m);
        if (levels == nullptr && width != 0) return false;
        if (levels != nullptr) g->levels.assign(levels, levels + size_t(width) * size_t(height));
    }
    g->code = code;
    g->boxWidth = width, g->boxHeight = height;
    g->offsetX = width > 0 ? -m.iOriginX : 0;
    g->offsetY = width > 0 ? m.iOriginY - height : 0;
    _TTFont *pF = FontFromHandle(font.Handle());
    pF->iVertical = o.vertical ? 1 : 0;
    const uint32_t glyph = GlyphForCode(pF, code);
    g->advance = SixteenthsOfAdvance(AdvanceUnits(pF, glyph), pF->UnitsPerEm, o.size);
    return true;
}

int WriteLvgl(const LvglOptions &o) {
    std::vector<std::unique_ptr<OpenedFont>> fonts;
    for (const SourceFont &source : o.fonts) {
        fonts.push_back(std::make_unique<OpenedFont>(source, o));
        if (fonts.back()->Handle() == 0) return Report(kCommand, DiagnoseOpenFailure(source.path, source.face));
        if (!fonts.back()->Sized()) return Report(kCommand, source.path + " cannot be drawn at " + std::to_string(o.size) + " px");
    }
    // Each code goes to the first font that asks for it and has it.
    std::vector<std::vector<uint32_t>> asked;
    std::vector<uint32_t> all, repeated;
    for (const SourceFont &source : o.fonts) {
        asked.push_back(MergeCodes(source.ranges, source.singles, &repeated));
        all.insert(all.end(), asked.back().begin(), asked.back().end());
    }
    all = MergeCodes({}, all, &repeated);
    LvglFont out;
    out.name = o.name.empty() ? NameFromPath(o.outputPath) : o.name;
    out.command = o.commandLine;
    out.size = o.size;
    out.bpp = o.bpp;
    std::vector<uint32_t> lacking;
    for (uint32_t code : all) {
        bool drawn = false;
        for (size_t f = 0; f < fonts.size() && !drawn; ++f) {
            if (!std::binary_search(asked[f].begin(), asked[f].end(), code) || !fonts[f]->Has(code)) continue;
            LvglGlyph g;
            if (!DrawGlyph(*fonts[f], code, o, &g)) return Report(kCommand, "the library drew nothing for " + DescribeCodePoint(code));
            out.glyphs.push_back(std::move(g));
            drawn = true;
        }
        if (!drawn) lacking.push_back(code);
    }
    if (!lacking.empty()) Report(kCommand, "note: no font has " + CompactCodes(lacking, 16));
    if (out.glyphs.empty()) return Report(kCommand, "no font has any of the characters asked for");
    // Underline metrics come from the first font's post table.
    _TTFont *first = FontFromHandle(fonts.front()->Handle());
    bool ok = true;
    const int32_t position = ReadSigned16(first, "post", 8, &ok), thickness = ReadSigned16(first, "post", 10, &ok);
    if (ok && first->UnitsPerEm > 0) {
        out.underlinePosition = RoundHalfUp(int64_t(position) * o.size, first->UnitsPerEm);
        out.underlineThickness = RoundHalfUp(int64_t(thickness) * o.size, first->UnitsPerEm);
    }
    // Written under a temporary name: a failed write leaves no file.
    std::string error;
    OutputFile file(o.outputPath);
    if (!file.Open(&error)) return Report(kCommand, error);
    const std::string text = LvglSource(out);
    std::fwrite(text.data(), 1, text.size(), file.Stream());
    if (!file.Commit(&error)) return Report(kCommand, error);
    return 0;
}

}  // namespace
}  // namespace kelmor

int CmdLvgl(int argc, char **argv) {
    using namespace kelmor;
    LvglOptions o;
    ArgCursor args(argc, argv);
    std::string error;
    for (int i = 0; i < argc; ++i) o.commandLine += std::string(i ? " " : "kelmor ") + argv[i];
    while (!args.Done() && error.empty()) {
        std::string positional;
        if (args.Flag("--help")) {
            PrintHelp();
            return 0;
        }
        if (TakeOption(args, &o, &error)) continue;
        if (!args.Error().empty()) break;
        if (args.Positional(&positional) && o.fonts.empty()) {
            o.fonts.emplace_back();
            o.fonts.back().path = positional;
            continue;
        }
        return Report(kCommand, "unknown argument \"" + (positional.empty() ? args.Take() : positional) + "\"", kUsageError);
    }
    if (!args.Error().empty()) error = args.Error();
    if (error.empty() && o.fonts.empty()) error = "which font? (try 'kelmor lvgl --help')";
    if (error.empty() && o.size == 0) error = "--size is required";
    if (error.empty() && o.outputPath.empty()) error = "-o FILE is required";
    for (const SourceFont &f : o.fonts)
        if (error.empty() && f.ranges.empty() && f.singles.empty()) error = f.path + ": no --range, --chars or --chars-file";
    if (!error.empty()) return Report(kCommand, error, kUsageError);
    return WriteLvgl(o);
}
