#include "glyph_export.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "args.h"
#include "font_facts.h"
#include "name_text.h"
#include "text_input.h"
#include "ttf/api/tool_internals.h"

namespace kelmor {
namespace {

constexpr uint32_t kProgressFrom = 1024;  // codes; shorter ranges finish at once
constexpr uint32_t kProgressEvery = 256;
constexpr uint32_t kMaxCode = 0x10FFFF;

struct SpaceFacts {
    const char *name;
    ExportSpace space;
    int charset;
    uint32_t first, last;  // the default range
};

// The double-byte defaults cover each code space's lead and trail bytes.
constexpr SpaceFacts kSpaces[] = {
    {"unicode", ExportSpace::kUnicode, csUnicode, 0x0000, 0xFFFF},
    {"sjis", ExportSpace::kShiftJIS, csShiftJIS, 0x8140, 0xFCFC},
    {"big5", ExportSpace::kBig5, csBig5, 0xA140, 0xF9FE},
    {"gb", ExportSpace::kGB2312, csGB2312, 0xA1A1, 0xF7FE},
    {"glyphs", ExportSpace::kGlyphs, csGlyphNumber, 0, 0xFFFF},
};

const SpaceFacts &FactsOf(ExportSpace space) {
    for (const SpaceFacts &facts : kSpaces)
        if (facts.space == space) return facts;
    return kSpaces[0];
}

bool IsDoubleByte(ExportSpace space) {
    return space == ExportSpace::kShiftJIS || space == ExportSpace::kBig5 ||
           space == ExportSpace::kGB2312;
}

// "A-B": hex codes (0x and U+ allowed), decimal glyph numbers.
bool ParseRange(const std::string &text, ExportSpace space, ExportOptions *o, std::string *error) {
    const size_t dash = text.find('-');
    const int base = space == ExportSpace::kGlyphs ? 10 : 16;
    std::vector<uint32_t> first, last;
    if (dash == std::string::npos ||
        !ParseNumberList(text.substr(0, dash), base, kMaxCode, &first, error) ||
        !ParseNumberList(text.substr(dash + 1), base, kMaxCode, &last, error) ||
        first.size() != 1 || last.size() != 1 || first[0] > last[0]) {
        *error =
            "--range takes FIRST-LAST (" +
            std::string(base == 16 ? "hex codes, e.g. 4E00-4E0F" : "glyph numbers, e.g. 0-99") +
            "), not \"" + text + "\"";
        return false;
    }
    o->first = first[0];
    o->last = last[0];
    o->haveRange = true;
    return true;
}

bool NumberValue(ArgCursor &args, const char *name, long highest, int *out, std::string *error) {
    std::string value;
    if (!args.Value(name, &value)) return false;
    long number = 0;
    if (args.Error().empty() && !ParseDecimal(value, 1, highest, &number))
        *error = std::string(name) + " takes a whole number from 1 to " + std::to_string(highest) +
                 ", not \"" + value + "\"";
    *out = int(number);
    return true;
}

// One argument into the options; false when it is not one of ours.
bool TakeExportArgument(ArgCursor &args, ExportOptions *o, std::string *encoding,
                        std::string *range, std::string *error) {
    if (NumberValue(args, "--size", kMaxSizeTimesDpi, &o->points, error) ||
        NumberValue(args, "--dpi", kMaxSizeTimesDpi, &o->dpi, error))
        return true;
    if (args.Flag("--classic")) {
        o->classic = true;
        return true;
    }
    if (args.Flag("--no-bitmaps")) {
        o->noBitmaps = true;
        return true;
    }
    if (FaceOption(args, &o->face, error)) return true;
    if (args.Value("--encoding", encoding) || args.Value("--range", range) ||
        args.Value("-o", &o->outputPath) || args.Value("--output", &o->outputPath))
        return true;
    std::string positional;
    if (!args.Positional(&positional)) return false;
    if (o->fontPath.empty()) {
        o->fontPath = positional;
    } else {
        *error = "one font at a time (\"" + positional + "\" is a second one)";
    }
    return true;
}

std::string CheckExportOptions(const ExportOptions &o, const std::string &encoding,
                               const std::string &range, bool needRange) {
    if (o.fontPath.empty()) return "which font?";
    if (o.points == 0) return "--size is required";
    if (long(o.points) * o.dpi > kMaxSizeTimesDpi)
        return "--size times --dpi must be at most " + std::to_string(kMaxSizeTimesDpi);
    if (needRange && (encoding.empty() || range.empty()))
        return "--encoding and --range are required";
    return "";
}

// The font's map, and how codes of the chosen space reach it.
struct CodeRoad {
    int32_t handle;
    _TTFont *font;
    ExportSpace space;
    bool concordance;  // double-byte codes to a Unicode font
};

uint32_t UnicodeOf(const CodeRoad &road, const char bytes[2]) {
    switch (road.space) {
    case ExportSpace::kShiftJIS: return ShiftJis2Unicode(bytes);
    case ExportSpace::kBig5: return Big5_Unicode(bytes);
    default: return GB2Unicode(bytes);
    }
}

// The bytes GetBitmap reads for `code`, and whether the font has it.
bool CodeInput(const CodeRoad &road, uint32_t code, char input[4]) {
    if (IsDoubleByte(road.space)) {
        input[0] = char(code >> 8 & 0xFF);
        input[1] = char(code & 0xFF);
        if (code > 0xFFFF) return false;
        const uint32_t mapped = road.concordance ? UnicodeOf(road, input) : code;
        return mapped != 0 && mapped <= 0xFFFF && GetGlyphNo(road.font, mapped) != 0;
    }
    std::memcpy(input, &code, sizeof code);  // host order, as GetBitmap reads it
    if (road.space == ExportSpace::kGlyphs) return code < road.font->leMaximumProfile.numGlyphs;
    return code <= 0xFFFF && GetGlyphNo(road.font, code) != 0;
}

// Chooses the road, or says why the font cannot be read in this space.
std::string PrepareRoad(CodeRoad *road) {
    const SpaceFacts &facts = FactsOf(road->space);
    const int own = road->font->csFont;
    if (road->space == ExportSpace::kUnicode && own != csUnicode)
        return std::string("the font's character map is ") + CharsetTitle(own) +
               ", not Unicode: choose its own --encoding";
    if (IsDoubleByte(road->space) && own != facts.charset) {
        if (own != csUnicode)
            return std::string("the font's character map is ") + CharsetTitle(own) + ", not " +
                   CharsetTitle(facts.charset) + " or Unicode";
        road->concordance = true;
        KelmoRegisterApp(nullptr);  // reads the concordance paths from the ini file
    }
    const bool loaded = SetEncoding(road->handle, facts.charset) != 0;
    if (road->concordance && !loaded)
        return std::string("no ") + CharsetTitle(facts.charset) +
               " concordance could be loaded: the ini file must list one under "
               "\"Code Space Concordances\" (see 'kelmor cob --help')";
    return "";
}

// The glyph's ink box cut out of the library's bitmap.
InkImage TightInk(const InkImage &whole, const KelmorGlyphMetrics &m) {
    InkImage ink;
    ink.width = m.iInkWidth;
    ink.height = m.iInkHeight;
    ink.ink.resize(size_t(ink.width) * size_t(ink.height));
    for (int y = 0; y < ink.height; ++y)
        for (int x = 0; x < ink.width; ++x)
            ink.ink[size_t(y) * size_t(ink.width) + size_t(x)] =
                whole.At(m.iInkLeft + x, m.iInkTop + y) ? 1 : 0;
    return ink;
}

class Progress {
public:
    Progress(const char *command, uint64_t total)
        : command_(command), total_(total), shown_(total >= kProgressFrom && isatty(2)) {}
    void Step(uint64_t done, size_t glyphs) {
        if (shown_ && (done % kProgressEvery == 0 || done == total_))
            std::fprintf(stderr, "\rkelmor %s: %llu of %llu codes, %zu glyphs", command_,
                         static_cast<unsigned long long>(done),
                         static_cast<unsigned long long>(total_), glyphs);
    }
    ~Progress() {
        if (shown_) std::fputc('\n', stderr);
    }

private:
    const char *command_;
    uint64_t total_;
    bool shown_;
};

struct HandleCloser {
    int32_t handle;
    ~HandleCloser() { CloseTTFont(handle); }
};

// The file's stem, for fonts whose names are not ASCII.
std::string FileStem(const std::string &path) {
    std::string stem = path.substr(path.find_last_of('/') + 1);
    return stem.substr(0, stem.find('.'));
}

int SizeFont(const char *command, int32_t handle, const ExportOptions &o, ExportedFont *out) {
    _TTFont *font = FontFromHandle(handle);
    if (SetPointSize(handle, o.points, o.dpi) == 0) {
        const std::string why = DiagnoseSizeFailure(*font, o.points, o.dpi);
        return Report(command, "cannot render at " + std::to_string(o.points) + " points and " +
                                   std::to_string(o.dpi) + " dpi" +
                                   (why.empty() ? "" : ": " + why));
    }
    out->pixelSize = int((long(o.points) * o.dpi + 36) / 72);
    out->familyName = AsciiName(ReadNameTexts(font), 1);
    if (out->familyName.empty()) out->familyName = FileStem(o.fontPath);
    return 0;
}

// The glyph's ink and metrics through GetBitmap and GetGlyphMetrics; the
// font box's rows above and below the baseline go into *font.
bool RenderExported(int32_t handle, const char *input, ExportedGlyph *glyph, ExportedFont *font) {
    int width = 0, height = 0;
    const unsigned char *bits = GetBitmap(handle, input, &width, &height, 0);
    if (bits == nullptr || GetGlyphMetrics(handle, input, &glyph->metrics) == 0) return false;
    glyph->ink = TightInk(FromLibraryBitmap(bits, width, height), glyph->metrics);
    font->ascent = glyph->metrics.iOriginY;
    font->descent = height - glyph->metrics.iOriginY;
    font->lineAdvance = height;
    return true;
}

// Reads the shared options; 0 when they are good, else the exit code after
// a message (kUsageError for a bad command line).  --help prints the help
// and sets *done.
int ParseExportOptions(const char *command, int argc, char **argv, bool needRange, void (*help)(),
                       ExportOptions *o, bool *done) {
    *done = false;
    ArgCursor args(argc, argv);
    std::string encoding, range, error;
    while (!args.Done() && error.empty() && args.Error().empty()) {
        if (args.Flag("--help")) {
            help();
            *done = true;
            return 0;
        }
        if (!TakeExportArgument(args, o, &encoding, &range, &error))
            error = "unknown option \"" + args.Take() + "\" (try 'kelmor " + command + " --help')";
    }
    if (error.empty()) error = args.Error();
    if (error.empty()) error = CheckExportOptions(*o, encoding, range, needRange);
    if (error.empty() && !encoding.empty()) {
        const SpaceFacts *facts = nullptr;
        for (const SpaceFacts &f : kSpaces)
            if (encoding == f.name) facts = &f;
        if (facts == nullptr)
            error = "--encoding is unicode, sjis, big5, gb or glyphs, not \"" + encoding + "\"";
        else
            o->space = facts->space;
    }
    if (error.empty() && !range.empty()) ParseRange(range, o->space, o, &error);
    if (!error.empty()) return Report(command, error, kUsageError);
    if (!o->haveRange) {
        o->first = FactsOf(o->space).first;
        o->last = FactsOf(o->space).last;
    }
    return 0;
}

// Renders every code of the range that the font has (all of them with
// `keepMissing`, the missing ones as empty glyphs); a progress line goes to
// stderr when it is a terminal and the range is long.  0 on success, else
// the exit code after a message.
int ExportGlyphs(const char *command, const ExportOptions &o, bool keepMissing, ExportedFont *out) {
    const int32_t handle = OpenTTFontFace(o.fontPath.c_str(), o.face);
    if (handle == 0) return Report(command, DiagnoseOpenFailure(o.fontPath, o.face));
    HandleCloser closer{handle};
    SetRenderOptions(handle, ToolRenderOptions(o.classic, false, !o.noBitmaps));
    if (const int failed = SizeFont(command, handle, o, out)) return failed;
    CodeRoad road{handle, FontFromHandle(handle), o.space, false};
    const std::string problem = PrepareRoad(&road);
    if (!problem.empty()) return Report(command, problem);

    uint32_t last = o.last;
    if (o.space == ExportSpace::kGlyphs && !o.haveRange)
        last = std::max<uint32_t>(road.font->leMaximumProfile.numGlyphs, 1) - 1;
    Progress progress(command, uint64_t(last) - o.first + 1);
    for (uint64_t code = o.first; code <= last; ++code) {
        char input[4] = {};
        const bool present = CodeInput(road, uint32_t(code), input);
        out->present.push_back(present);
        progress.Step(code - o.first, out->glyphs.size());
        // A code the font lacks keeps its place as a glyph without ink or
        // advance, when the format has a place for every code.
        if (!present && keepMissing) out->glyphs.push_back(ExportedGlyph{uint32_t(code), {}, {}});
        if (!present) continue;
        ExportedGlyph glyph{uint32_t(code), {}, {}};
        if (!RenderExported(handle, input, &glyph, out))
            return Report(command, "the library rendered nothing for code " + std::to_string(code));
        out->glyphs.push_back(glyph);
    }
    progress.Step(uint64_t(last) - o.first + 1, out->glyphs.size());
    return 0;
}

FILE *OpenExportOutput(const char *command, const ExportOptions &o) {
    if (o.outputPath.empty()) return stdout;
    FILE *out = std::fopen(o.outputPath.c_str(), "w");
    if (out == nullptr)
        Report(command, "cannot write \"" + o.outputPath + "\": " + std::strerror(errno));
    return out;
}

int CloseExportOutput(const char *command, const ExportOptions &o, FILE *out) {
    const bool failed = std::ferror(out) != 0;
    const bool closeFailed = out == stdout ? std::fflush(out) != 0 : std::fclose(out) != 0;
    if (failed || closeFailed)
        return Report(
            command,
            "writing \"" + (o.outputPath.empty() ? "standard output" : o.outputPath) + "\" failed");
    return 0;
}

}  // namespace

int RunExportCommand(const ExportCommand &command, int argc, char **argv) {
    ExportOptions options;
    bool done = false;
    if (const int code = ParseExportOptions(command.name, argc, argv, command.needRange,
                                            command.help, &options, &done))
        return code;
    if (done) return 0;
    const std::string problem = command.check ? command.check(options) : "";
    if (!problem.empty()) return Report(command.name, problem, kUsageError);
    ExportedFont font;
    if (const int code = ExportGlyphs(command.name, options, command.keepMissing, &font))
        return code;
    if (std::find(font.present.begin(), font.present.end(), true) == font.present.end())
        return Report(command.name, "the font has no glyph in that range");
    FILE *out = OpenExportOutput(command.name, options);
    if (out == nullptr) return 1;
    const int written = command.write(out, options, font);
    const int closed = CloseExportOutput(command.name, options, out);
    return written != 0 ? written : closed;
}

}  // namespace kelmor
