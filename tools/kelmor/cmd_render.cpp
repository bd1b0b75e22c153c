// kelmor render: text, codes or glyph numbers through the library's
// GetBitmap, shown in the terminal and optionally written as a PNG.
#include <langinfo.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "args.h"
#include "code_set.h"
#include "commands.h"
#include "font_facts.h"
#include "glyph_image.h"
#include "kelmor.h"
#include "png_writer.h"
#include "render_plan.h"
#include "text_input.h"
#include "ttf/api/tool_internals.h"

namespace kelmor {
namespace {

constexpr const char *kCommand = "render";

void PrintHelp() {
    std::printf(
        "usage: kelmor render FONT TEXT [OPTIONS]\n"
        "       kelmor render FONT --code HEX[,HEX...] [OPTIONS]\n"
        "       kelmor render FONT --glyphs N[,N...] [OPTIONS]\n"
        "       kelmor render FONT --encoding sjis|big5|gb|gbk|euc-kr TEXT [OPTIONS]\n"
        "       kelmor render FONT [--encoding sjis|big5|gb|gbk|euc-kr] --input FILE [OPTIONS]\n"
        "\n"
        "Renders one glyph after another with the library's GetBitmap, sets them\n"
        "by the advances GetGlyphMetrics gives, and shows the line in the\n"
        "terminal; --png also writes the whole line as a PNG.\n"
        "\n"
        "What is rendered:\n"
        "  TEXT               UTF-8 text.  A Unicode font takes the code points\n"
        "                     (character set 137); for other fonts each character is\n"
        "                     looked up in the font's own character map and rendered\n"
        "                     by glyph number (character set 241).  Fonts whose map\n"
        "                     is Shift-JIS, Big5 or GB need --encoding.\n"
        "  --code HEX,...     codes of the font's own character map, e.g. 889F or a\n"
        "                     range 3041-3096.  A Shift-JIS, Big5 or GB font gets\n"
        "                     the two bytes through SetEncoding with its own\n"
        "                     character set; for any other font the code is looked\n"
        "                     up as above.\n"
        "  --glyphs N,...     glyph numbers, no lookup (character set 241).\n"
        "  --input FILE       the text of a file instead of TEXT: UTF-8, or with\n"
        "                     --encoding the code space's own bytes as a printer\n"
        "                     receives them (single and double bytes mixed, split\n"
        "                     by the lead bytes); line ends (LF, CR LF, CR) start\n"
        "                     new lines, other control bytes are not drawn, and a\n"
        "                     lead byte without its trail byte is drawn as the\n"
        "                     missing glyph, named on stderr (exit status 1)\n"
        "  --encoding CODE    sjis, big5, gb, gbk or euc-kr: TEXT is converted to\n"
        "                     that code space\n"
        "                     (iconv), --code takes its codes, and the codes go\n"
        "                     through the library, which reaches a Unicode font\n"
        "                     through the concordance named in its ini file (found\n"
        "                     via KELMOR_PROFILE and the \"IniPath\" entry; see\n"
        "                     'kelmor cob --help').  Single-byte characters (ASCII;\n"
        "                     in Shift-JIS also half-width katakana A1-DF, with\n"
        "                     5C and 7E as backslash and tilde, as in Windows' code\n"
        "                     page 932) go to the font's own map.\n"
        "\n"
        "Options:\n"
        "  --size POINTS      point size (default 24)\n"
        "  --dpi DPI          resolution in dots per inch (default 72)\n"
        "  --vertical         vertical forms, stacked from top to bottom\n"
        "  --no-hinting       the plain scaled outlines: the glyphs' hinting programs\n"
        "                     do not run (SetRenderOptions)\n"
        KELMOR_AUTOHINT_HELP
        KELMOR_NO_BITMAPS_HELP
        KELMOR_CLASSIC_HELP
        KELMOR_FACE_HELP
        "  --png FILE         write the line as a PNG file\n"
        "  --depth 1|2|4|8    bits per PNG pixel (default 1); 2, 4 and 8 draw grey\n"
        "                     levels (GetGrayBitmap: coverage, as FreeType's smooth\n"
        "                     rendering), the terminal showing pixels half covered\n"
        "  --ascii            draw with '#' and '.' (default in non-UTF-8 locales)\n"
        "  --blocks           draw with Unicode half blocks (default otherwise)\n"
        "  --columns N        terminal width to wrap at (default $COLUMNS or 80)\n"
        "  --quiet            no terminal picture (with --png)\n"
        "\n"
        "A character the font lacks is drawn as glyph 0, as the library does, and\n"
        "named on stderr.  Exit code: 0 rendered, 1 failed, 2 bad command line.\n");
}

struct RenderOptions {
    std::string fontPath;
    std::string text;
    bool haveText = false;
    std::string codes;
    std::string glyphs;
    std::string encoding;
    std::string inputPath;
    int points = 24;
    int dpi = 72;
    bool vertical = false;
    bool noHinting = false;
    bool noBitmaps = false;
    int autohintBits = 0;  // KELMOR_FORCE_AUTOHINT or KELMOR_NO_AUTOHINT
    bool classic = false;
    int face = 0;
    std::string pngPath;
    int depth = 1;
    TerminalStyle style = TerminalStyle::kAscii;
    bool styleChosen = false;
    int columns = 80;
    bool quiet = false;
};

TerminalStyle LocaleStyle() {
    std::setlocale(LC_CTYPE, "");
    const char *codeset = nl_langinfo(CODESET);
    const bool utf8 = codeset && (std::strcmp(codeset, "UTF-8") == 0);
    return utf8 ? TerminalStyle::kHalfBlocks : TerminalStyle::kAscii;
}

int DefaultColumns() {
    long columns = 0;
    const char *env = std::getenv("COLUMNS");
    return env && ParseDecimal(env, 10, 10000, &columns) ? int(columns) : 80;
}

bool NumberOption(ArgCursor &args, const char *name, long lowest, long highest, int *out,
                  std::string *error) {
    std::string value;
    if (!args.Value(name, &value)) return false;
    long number = 0;
    if (args.Error().empty() && !ParseDecimal(value, lowest, highest, &number)) {
        *error = std::string(name) + " takes a whole number from " + std::to_string(lowest) +
                 " to " + std::to_string(highest) + ", not \"" + value + "\"";
    }
    *out = int(number);
    return true;
}

bool StyleFlag(ArgCursor &args, RenderOptions *o) {
    if (args.Flag("--ascii")) {
        o->style = TerminalStyle::kAscii;
    } else if (args.Flag("--blocks")) {
        o->style = TerminalStyle::kHalfBlocks;
    } else {
        return false;
    }
    o->styleChosen = true;
    return true;
}

// One argument into the options; false when it is not one of ours.
bool TakeArgument(ArgCursor &args, RenderOptions *o, std::string *error) {
    if (args.Flag("--vertical")) {
        o->vertical = true;
        return true;
    }
    if (args.Flag("--quiet")) {
        o->quiet = true;
        return true;
    }
    if (args.Flag("--no-hinting")) {
        o->noHinting = true;
        return true;
    }
    if (args.Flag("--classic")) {
        o->classic = true;
        return true;
    }
    if (args.Flag("--no-bitmaps")) {
        o->noBitmaps = true;
        return true;
    }
    if (AutohintOption(args, &o->autohintBits)) return true;
    if (FaceOption(args, &o->face, error)) return true;
    if (StyleFlag(args, o)) return true;
    if (args.Value("--code", &o->codes) || args.Value("--glyphs", &o->glyphs) ||
        args.Value("--encoding", &o->encoding) || args.Value("--png", &o->pngPath) ||
        args.Value("--input", &o->inputPath))
        return true;
    if (NumberOption(args, "--size", 1, kMaxSizeTimesDpi, &o->points, error) ||
        NumberOption(args, "--dpi", 1, kMaxSizeTimesDpi, &o->dpi, error) ||
        NumberOption(args, "--depth", 1, 8, &o->depth, error) ||
        NumberOption(args, "--columns", 1, 100000, &o->columns, error))
        return true;
    std::string positional;
    if (!args.Positional(&positional)) return false;
    if (o->fontPath.empty()) {
        o->fontPath = positional;
    } else if (!o->haveText) {
        o->text = positional;
        o->haveText = true;
    } else {
        *error = "more than one text given (quote text with spaces)";
    }
    return true;
}

// What the command line asks for, checked before any font is opened.
std::string CheckOptions(const RenderOptions &o) {
    if (o.fontPath.empty()) return "which font? (try 'kelmor render --help')";
    const int sources = (o.haveText ? 1 : 0) + (o.codes.empty() ? 0 : 1) +
                        (o.glyphs.empty() ? 0 : 1) + (o.inputPath.empty() ? 0 : 1);
    if (sources != 1) return "give exactly one of TEXT, --input, --code and --glyphs";
    if (!o.encoding.empty() && !o.glyphs.empty())
        return "--encoding takes TEXT, --input or --code, not glyph numbers";
    std::string source = CheckRenderSource(o.haveText, o.text, o.encoding, o.codes, o.glyphs);
    if (!source.empty()) return source;
    if (o.depth != 1 && o.depth != 2 && o.depth != 4 && o.depth != 8) return "--depth is 1, 2, 4 or 8";
    if (long(o.points) * o.dpi > kMaxSizeTimesDpi) {
        return "--size times --dpi must be at most " + std::to_string(kMaxSizeTimesDpi);
    }
    return "";
}

// At most this many broken bytes of an --input file are named one by one.
constexpr size_t kBrokenBytesNamed = 10;

// Names the broken lead bytes of an --input file once each, with their
// places: they are drawn as the missing glyph and the rest is drawn.
void NoteBrokenBytes(TextEncoding space, const std::vector<DbcsChar> &chars, size_t total,
                     size_t broken) {
    size_t named = 0;
    for (const DbcsChar &c : chars) {
        if (c.brokenAt == 0 || named++ == kBrokenBytesNamed) continue;
        Report(kCommand, "note: " + DescribeBrokenByte(space, c, total) +
                             "; the missing glyph is drawn in its place");
    }
    if (broken > kBrokenBytesNamed)
        Report(kCommand, "note: " + std::to_string(broken - kBrokenBytesNamed) +
                             " more broken bytes are drawn as the missing glyph");
}

// The lines of characters a double-byte --encoding asks for: TEXT converted
// with iconv, the bytes of an --input file (its broken bytes counted in
// *broken), or --code codes (below 0x100 single bytes) as one line.
bool EncodedLines(const RenderOptions &o, TextEncoding space,
                  std::vector<std::vector<DbcsChar>> *lines, size_t *broken,
                  std::string *error) {
    std::vector<uint32_t> values;
    std::vector<DbcsChar> chars;
    if (o.haveText) {
        if (!DecodeUtf8(o.text, &values, error) ||
            !ConvertToEncoding(values, space, &chars, error))
            return false;
    } else if (!o.inputPath.empty()) {
        std::string bytes;
        if (!ReadWholeFile(o.inputPath, &bytes, error)) return false;
        *broken = DecodeEncodedBytesPastBreaks(bytes, space, &chars);
        NoteBrokenBytes(space, chars, bytes.size(), *broken);
    } else {
        if (!ExpandCodeList(o.codes, 16, 0xFFFF, &values, error)) return false;
        for (uint32_t code : values)
            chars.push_back(DbcsChar{0, {uint8_t(code >> 8), uint8_t(code)}});
        lines->assign(1, chars);
        return true;
    }
    *lines = SplitLines(chars);
    return true;
}

// Lines of characters of a double-byte code space handed to the library,
// which reaches a Unicode font through the concordance the ini file names.
bool PlanThroughCodeSpace(int32_t handle, _TTFont &font, const RenderOptions &o,
                          std::vector<RenderPlan> *plans, size_t *broken, std::string *error) {
    TextEncoding space;
    if (!EncodingFromName(o.encoding, &space)) {
        *error = "--encoding is sjis, big5, gb, gbk or euc-kr, not \"" + o.encoding + "\"";
        return false;
    }
    std::vector<std::vector<DbcsChar>> lines;
    if (!EncodedLines(o, space, &lines, broken, error)) return false;
    const int charset = EncodingCharset(space);
    if (font.csFont != charset && font.csFont != csUnicode) {
        *error = std::string("the font's character map is ") + CharsetTitle(font.csFont) +
                 "; the library takes " + EncodingTitle(space) + " text only for " +
                 EncodingTitle(space) + " and Unicode fonts";
        return false;
    }
    KelmoRegisterApp(nullptr);  // reads the concordance paths from the ini file
    const bool loaded = SetEncoding(handle, charset) != 0;
    bool needsConcordance = false;
    for (const std::vector<DbcsChar> &line : lines)
        for (const DbcsChar &c : line) needsConcordance |= c.bytes[0] != 0 && c.brokenAt == 0;
    if (font.csFont == csUnicode && !loaded && needsConcordance) {
        *error = NoConcordanceMessage(charset);
        return false;
    }
    for (const std::vector<DbcsChar> &line : lines) {
        plans->emplace_back();
        PlanEncodedText(font, line, space, &plans->back());
    }
    return true;
}

// The lines of UTF-8 text of the command line or of an --input file.
bool UnicodeLines(const RenderOptions &o, std::vector<std::vector<uint32_t>> *lines,
                  std::string *error) {
    std::vector<uint32_t> all;
    if (o.haveText) {
        if (!DecodeUtf8(o.text, &all, error)) return false;
    } else {
        std::string bytes;
        if (!ReadWholeFile(o.inputPath, &bytes, error) || !DecodeUtf8(bytes, &all, error)) {
            *error = "--input \"" + o.inputPath + "\": " + *error;
            return false;
        }
    }
    *lines = SplitLines(all);
    return true;
}

// One plan per line of text (codes and glyph numbers make one line); the
// font's encoding is left set for the plans.
bool MakePlans(int32_t handle, _TTFont &font, const RenderOptions &o,
               std::vector<RenderPlan> *plans, size_t *broken, std::string *error) {
    if (!o.encoding.empty()) return PlanThroughCodeSpace(handle, font, o, plans, broken, error);
    if (o.haveText || !o.inputPath.empty()) {
        std::vector<std::vector<uint32_t>> lines;
        if (!UnicodeLines(o, &lines, error)) return false;
        for (const std::vector<uint32_t> &line : lines) {
            plans->emplace_back();
            if (!PlanUnicodeText(font, line, &plans->back(), error)) return false;
        }
    } else {
        std::vector<uint32_t> values;
        plans->emplace_back();
        if (!o.codes.empty()) {
            if (!ExpandCodeList(o.codes, 16, 0xFFFF, &values, error)) return false;
            PlanCodes(font, values, &plans->back());
        } else {
            if (!ParseNumberList(o.glyphs, 10, 0xFFFF, &values, error)) return false;
            PlanGlyphs(font, values, &plans->back());
        }
    }
    SetEncoding(handle, plans->front().charset);
    return true;
}

bool RenderItems(int32_t handle, const RenderOptions &o, const RenderPlan &plan,
                 std::vector<PlacedGlyph> *glyphs, std::string *error) {
    const char flags = o.vertical ? KELMOR_VERTICAL : 0;
    std::set<std::string> noted;
    for (const RenderItem &item : plan.items) {
        int width = -1, height = -1;
        PlacedGlyph glyph{};
        // Grey levels: a glyph without area comes back null with its size 0.
        const unsigned char *bits =
            o.depth > 1 ? GetGrayBitmap(handle, item.input, &width, &height, flags, 8, &glyph.metrics)
                        : GetBitmap(handle, item.input, &width, &height, flags);
        const bool drawn = o.depth > 1 ? width >= 0 : bits != nullptr && GetGlyphMetrics(handle, item.input, &glyph.metrics) != 0;
        if (!drawn) {
            *error = "the library rendered nothing for " + item.label;
            return false;
        }
        // A character drawn many times is named once.
        if (!item.problem.empty() && noted.insert(item.problem).second)
            Report(kCommand, "note: " + item.problem);
        // A CFF glyph whose charstring breaks a rule is drawn blank.
        const char *broken = kelmor::CffProblem(kelmor::FontFromHandle(handle));
        if (broken != nullptr)
            Report(kCommand, "note: " + item.label + " is drawn blank: " + broken);
        glyph.image = o.depth > 1 ? FromGrayLevels(bits, width, height) : FromLibraryBitmap(bits, width, height);
        glyphs->push_back(glyph);
    }
    return true;
}

// Horizontal lines are broken between glyphs to fit the terminal; the
// text's lines follow each other.
void ShowInTerminal(const std::vector<std::vector<PlacedGlyph>> &textLines,
                    const RenderOptions &o) {
    bool first = true;
    for (const std::vector<PlacedGlyph> &glyphs : textLines) {
        const auto lines = o.vertical ? std::vector<std::vector<PlacedGlyph>>{glyphs}
                                      : WrapByAdvance(glyphs, o.columns);
        for (const std::vector<PlacedGlyph> &line : lines) {
            if (!first) std::fputs("\n", stdout);
            first = false;
            std::fputs(TerminalPicture(LayOutGlyphs(line, o.vertical), o.style).c_str(), stdout);
        }
    }
}

// The text's lines in one picture: horizontal lines top to bottom, vertical
// ones right to left, each at least `lineSize` pixels (the font box) apart.
InkImage StackLines(const std::vector<InkImage> &lines, bool vertical, int lineSize) {
    int across = 0, along = 0;  // the picture's extent across and along the lines
    for (const InkImage &line : lines) {
        across += std::max(vertical ? line.width : line.height, lineSize);
        along = std::max(along, vertical ? line.height : line.width);
    }
    InkImage page = lines.front();  // keeps what else the image records
    page.width = vertical ? across : along;
    page.height = vertical ? along : across;
    page.ink.assign(size_t(page.width) * size_t(page.height), 0);
    int offset = 0;
    for (const InkImage &line : lines) {
        const int size = std::max(vertical ? line.width : line.height, lineSize);
        const int left = vertical ? across - offset - size : 0;
        const int top = vertical ? 0 : offset;
        for (int y = 0; y < line.height; ++y)
            std::copy_n(line.ink.begin() + ptrdiff_t(y) * line.width, line.width,
                        page.ink.begin() + ptrdiff_t(top + y) * page.width + left);
        offset += size;
    }
    return page;
}

// Closes the handle however the command ends.
struct HandleCloser {
    int32_t handle;
    ~HandleCloser() { CloseTTFont(handle); }
};

int Render(const RenderOptions &o) {
    const int32_t handle = OpenTTFontFace(o.fontPath.c_str(), o.face);
    if (handle == 0) return Report(kCommand, DiagnoseOpenFailure(o.fontPath, o.face));
    HandleCloser closer{handle};
    _TTFont *font = FontFromHandle(handle);
    SetRenderOptions(handle, ToolRenderOptions(o.classic, o.noHinting, !o.noBitmaps) | o.autohintBits);

    if (SetPointSize(handle, o.points, o.dpi) == 0) {
        std::string why = DiagnoseSizeFailure(*font, o.points, o.dpi);
        return Report(kCommand, "cannot render at " + std::to_string(o.points) + " points and " +
                                    std::to_string(o.dpi) + " dpi" +
                                    (why.empty() ? std::string() : ": " + why));
    }
    std::vector<RenderPlan> plans;
    size_t broken = 0;
    std::string error;
    if (!MakePlans(handle, *font, o, &plans, &broken, &error)) return Report(kCommand, error);
    // The font box at this size: the frame the classic rendering's bitmaps
    // already have, and the least distance between lines.
    const int ascent = font->G.S.yMaxMult + 1, descent = -font->G.S.yMinMult;
    std::vector<std::vector<PlacedGlyph>> lines(plans.size());
    std::vector<InkImage> pictures;
    for (size_t i = 0; i < plans.size(); ++i) {
        if (!RenderItems(handle, o, plans[i], &lines[i], &error)) return Report(kCommand, error);
        PutOnCommonBaseline(&lines[i], ascent, descent);
        pictures.push_back(LayOutGlyphs(lines[i], o.vertical));
    }
    if (!o.quiet) ShowInTerminal(lines, o);
    if (!o.pngPath.empty() &&
        !WritePng(o.pngPath, StackLines(pictures, o.vertical, ascent + descent), o.depth, &error))
        return Report(kCommand, error);
    if (broken != 0)
        return Report(kCommand, std::to_string(broken) + " broken byte" +
                                    (broken == 1 ? " in " : "s in ") + o.inputPath +
                                    " drawn as the missing glyph");
    return 0;
}

}  // namespace
}  // namespace kelmor

int CmdRender(int argc, char **argv) {
    using namespace kelmor;
    ArgCursor args(argc, argv);
    RenderOptions options;
    options.columns = DefaultColumns();
    std::string error;
    while (!args.Done() && error.empty() && args.Error().empty()) {
        if (args.Flag("--help")) {
            PrintHelp();
            return 0;
        }
        if (!TakeArgument(args, &options, &error)) {
            error = "unknown option \"" + args.Take() + "\" (try 'kelmor render --help')";
        }
    }
    if (error.empty()) error = args.Error();
    if (error.empty()) error = CheckOptions(options);
    if (!error.empty()) return Report(kCommand, error, kUsageError);
    if (!options.styleChosen) options.style = LocaleStyle();
    return Render(options);
}
