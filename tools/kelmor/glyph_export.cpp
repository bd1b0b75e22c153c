#include "glyph_export.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <thread>

#include "args.h"
#include "font_facts.h"
#include "line_metrics.h"
#include "name_text.h"
#include "output_file.h"
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
    {"gbk", ExportSpace::kGBK, csGBK, 0x8140, 0xFEFE},
    {"euc-kr", ExportSpace::kWansung, csWansung, 0x8141, 0xFEFE},
    {"glyphs", ExportSpace::kGlyphs, csGlyphNumber, 0, 0xFFFF},
};

const SpaceFacts &FactsOf(ExportSpace space) {
    for (const SpaceFacts &facts : kSpaces)
        if (facts.space == space) return facts;
    return kSpaces[0];
}

bool IsDoubleByte(ExportSpace space) {
    return space != ExportSpace::kUnicode && space != ExportSpace::kGlyphs;
}

TextEncoding TextEncodingOf(ExportSpace space) {
    switch (space) {
    case ExportSpace::kBig5: return TextEncoding::kBig5;
    case ExportSpace::kGB2312: return TextEncoding::kGB2312;
    case ExportSpace::kGBK: return TextEncoding::kGBK;
    case ExportSpace::kWansung: return TextEncoding::kWansung;
    default: return TextEncoding::kShiftJIS;
    }
}

int ConcordSlotOf(ExportSpace space) {
    switch (space) {
    case ExportSpace::kShiftJIS: return kSlotShiftJis;
    case ExportSpace::kBig5: return kSlotBig5;
    case ExportSpace::kGBK: return kSlotGBK;
    case ExportSpace::kWansung: return kSlotWansung;
    default: return kSlotGB;
    }
}

// --range items: hex codes (0x and U+ allowed), decimal glyph numbers.
bool ParseRanges(const std::string &text, ExportSpace space, ExportOptions *o,
                 std::string *error) {
    const int base = space == ExportSpace::kGlyphs ? 10 : 16;
    if (ParseRangeList(text, base, kMaxCode, &o->ranges, error)) return true;
    const char *example =
        base == 16 ? "hex codes, e.g. 3041-3096,4E00" : "glyph numbers, e.g. 0-99";
    *error = "--range takes FIRST-LAST or one code, comma-separated (" + std::string(example) +
             "), not \"" + text + "\": " + *error;
    return false;
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

// One argument into the options; false when it is not one of ours.  Range
// texts wait in *ranges until the code space is known.
bool TakeExportArgument(ArgCursor &args, ExportOptions *o, std::string *encoding,
                        std::vector<std::string> *ranges, std::string *error) {
    if (NumberValue(args, "--size", kMaxSizeTimesDpi, &o->points, error) ||
        NumberValue(args, "--dpi", kMaxSizeTimesDpi, &o->dpi, error))
        return true;
    if (args.Flag("--classic")) {
        o->classic = true;
        return true;
    }
    if (args.Flag("--no-hinting")) {
        o->noHinting = true;
        return true;
    }
    if (args.Flag("--no-bitmaps")) {
        o->noBitmaps = true;
        return true;
    }
    if (args.Flag("--vertical")) {
        o->vertical = true;
        return true;
    }
    if (AutohintOption(args, &o->autohintBits)) return true;
    if (FaceOption(args, &o->face, error)) return true;
    std::string value;
    if (args.Value("--range", &value)) {
        ranges->push_back(value);
        return true;
    }
    if (args.Value("--chars", &value)) {
        o->chars.push_back(value);
        return true;
    }
    if (args.Value("--chars-file", &value)) {
        o->charsFiles.push_back(value);
        return true;
    }
    if (args.Value("--encoding", encoding) || args.Value("-o", &o->outputPath) ||
        args.Value("--output", &o->outputPath))
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
                               bool asksForCodes, bool needCodes) {
    if (o.fontPath.empty()) return "which font?";
    if (o.points == 0) return "--size is required";
    if (long(o.points) * o.dpi > kMaxSizeTimesDpi)
        return "--size times --dpi must be at most " + std::to_string(kMaxSizeTimesDpi);
    if (needCodes && (encoding.empty() || !asksForCodes))
        return "--encoding and the codes (--range, --chars or --chars-file) are required";
    return "";
}

// Characters into codes of the space: code points for Unicode, the code
// space's own codes (through iconv) for the double-byte ones.  Control
// characters (line ends in a file) are no characters to export.
bool CodesOfCharacters(const std::vector<uint32_t> &codePoints, ExportSpace space,
                       std::vector<uint32_t> *codes, CodeRequest *request, std::string *error) {
    std::vector<uint32_t> printable;
    for (uint32_t c : codePoints)
        if (!IsControlCode(c)) printable.push_back(c);
    if (!IsDoubleByte(space)) {
        codes->insert(codes->end(), printable.begin(), printable.end());
        return true;
    }
    std::vector<DbcsChar> chars;
    std::vector<uint32_t> lacking;
    if (!ConvertEachToEncoding(printable, TextEncodingOf(space), &chars, &lacking, error))
        return false;
    for (const DbcsChar &c : chars) codes->push_back(c.Code());
    request->unencodable.insert(request->unencodable.end(), lacking.begin(), lacking.end());
    return true;
}

// A file of characters: UTF-8 (a leading byte-order mark is skipped), or,
// when it is not valid UTF-8 and the code space is a double-byte one, that
// code space's own bytes.
bool CodesOfFile(const std::string &path, ExportSpace space, std::vector<uint32_t> *codes,
                 CodeRequest *request, std::string *error) {
    std::string bytes;
    if (!ReadWholeFile(path, &bytes, error)) return false;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    std::vector<uint32_t> codePoints;
    std::string utf8Error;
    if (DecodeUtf8(bytes, &codePoints, &utf8Error))
        return CodesOfCharacters(codePoints, space, codes, request, error);
    std::vector<DbcsChar> chars;
    if (!IsDoubleByte(space) || !DecodeEncodedBytes(bytes, TextEncodingOf(space), &chars, error)) {
        *error = "\"" + path + "\": " + (IsDoubleByte(space) ? *error : utf8Error);
        return false;
    }
    for (const DbcsChar &c : chars)
        if (!IsControlCode(c.Code())) codes->push_back(c.Code());
    return true;
}

// Values of a double-byte range that are no codes of the space (Shift-JIS
// C140: C1 is a single byte) would reach a glyph through the library's row
// arithmetic, under another code's name: they are drawn as codes the font
// lacks (a plain layout keeps their place), and named when they were asked
// for one by one.
bool IsCodeOf(ExportSpace space, uint32_t code) {
    return !IsDoubleByte(space) || WhyNoCode(TextEncodingOf(space), code).empty();
}

void NoteNonCodes(const ExportOptions &o, CodeRequest *request) {
    for (const CodeRange &range : o.ranges)
        if (range.first == range.last && !IsCodeOf(o.space, range.first))
            request->notCodes.push_back(range.first);
}

// The codes the command line asks for, or the whole default range of the
// code space (glyph numbers: every glyph, known once the font is open).
int ResolveCodes(const char *command, const ExportOptions &o, uint32_t glyphCount,
                 CodeRequest *request) {
    request->asked = o.AsksForCodes();
    request->wholeRange = o.ranges.size() == 1 && o.chars.empty() && o.charsFiles.empty();
    std::vector<CodeRange> ranges = o.ranges;
    if (!request->asked) {
        const SpaceFacts &facts = FactsOf(o.space);
        const uint32_t last = o.space == ExportSpace::kGlyphs
                                  ? std::max<uint32_t>(glyphCount, 1) - 1
                                  : facts.last;
        ranges.push_back({facts.first, last});
    }
    std::vector<uint32_t> singles;
    std::vector<uint32_t> codePoints;
    std::string error;
    for (const std::string &text : o.chars) {
        if (!DecodeUtf8(text, &codePoints, &error) ||
            !CodesOfCharacters(codePoints, o.space, &singles, request, &error))
            return Report(command, "--chars: " + error, kUsageError);
    }
    for (const std::string &path : o.charsFiles)
        if (!CodesOfFile(path, o.space, &singles, request, &error)) return Report(command, error);
    request->codes = MergeCodes(ranges, singles, &request->repeated);
    NoteNonCodes(o, request);
    if (request->codes.empty()) return Report(command, "no codes to write");
    return 0;
}

int BaseOf(ExportSpace space) { return space == ExportSpace::kGlyphs ? 10 : 16; }

std::string Counted(size_t count, const char *noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// What the request held beyond its codes, one line each.
void ReportRequest(const char *command, ExportSpace space, const CodeRequest &request) {
    if (!request.repeated.empty())
        Report(command, "note: " + Counted(request.repeated.size(), "code") +
                            " asked for more than once: " +
                            CompactCodes(request.repeated, BaseOf(space)));
    if (!request.notCodes.empty())
        Report(command, "note: " + Counted(request.notCodes.size(), "value") + " left out, not " +
                            EncodingTitle(TextEncodingOf(space)) +
                            " codes (no lead and trail byte): " +
                            CompactCodes(request.notCodes, 16));
    if (!request.unencodable.empty()) {
        std::vector<uint32_t> unique = request.unencodable;
        std::sort(unique.begin(), unique.end());
        unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
        Report(command, "note: " + Counted(unique.size(), "character") + " without a " +
                            EncodingTitle(TextEncodingOf(space)) +
                            " code left out: U+" + CompactCodes(unique, 16));
    }
}

// The font's map, and how codes of the chosen space reach it.
struct CodeRoad {
    int32_t handle;
    _TTFont *font;
    ExportSpace space;
    bool concordance;  // double-byte codes to a Unicode font
};

// The bytes GetBitmap reads for `code` and the glyph the font maps it to
// (0: the font lacks it).
uint32_t CodeInput(const CodeRoad &road, uint32_t code, char input[4]) {
    if (IsDoubleByte(road.space)) {
        input[0] = char(code >> 8 & 0xFF);
        input[1] = char(code & 0xFF);
        if (code > 0xFFFF) return 0;
        const uint32_t mapped =
            road.concordance ? DbcsToUnicode(ConcordSlotOf(road.space), input) : code;
        return mapped != 0 && mapped <= 0xFFFF ? GetGlyphNo(road.font, mapped) : 0;
    }
    std::memcpy(input, &code, sizeof code);  // host order, as GetBitmap reads it
    if (road.space == ExportSpace::kGlyphs)
        return code < road.font->leMaximumProfile.numGlyphs ? code : 0;
    return GetGlyphNo(road.font, code);  // above U+FFFF from a format-12 map
}

// Chooses the road, or says why the font cannot be read in this space.
// The library's settings (the concordance paths) are loaded once, by the
// first road: KelmoRegisterApp is one thread's at a time.
std::string PrepareRoad(CodeRoad *road, bool loadSettings) {
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
        if (loadSettings) KelmoRegisterApp(nullptr);  // the concordance paths
    }
    const bool loaded = SetEncoding(road->handle, facts.charset) != 0;
    if (road->concordance && !loaded) return NoConcordanceMessage(facts.charset);
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
    // Several threads count `done`: the line follows every kProgressEvery.
    void Step(uint64_t done) {
        if (!shown_ || (done < next_ && done != total_)) return;
        std::fprintf(stderr, "\rkelmor %s: %llu of %llu codes", command_,
                     static_cast<unsigned long long>(done),
                     static_cast<unsigned long long>(total_));
        next_ = done + kProgressEvery;
    }
    ~Progress() {
        if (shown_) std::fputc('\n', stderr);
    }

private:
    const char *command_;
    uint64_t total_;
    bool shown_;
    uint64_t next_ = 0;
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

// Who made the font, as XLFD's FOUNDRY names it: a short manufacturer name
// (name ID 8), else the vendor ID of OS/2 (such as "IPA"), unless it is
// one a font editor writes for everyone (FontForge's "PfEd").
std::string FoundryOf(_TTFont *font, const std::vector<NameText> &names) {
    constexpr size_t kLongestFoundry = 24;
    const std::string maker = AsciiName(names, 8);
    if (!maker.empty() && maker.size() <= kLongestFoundry) return maker;
    constexpr uint32_t kVendorIdOffset = 58;
    const TableDirectoryStruct *os2 = TableTagged(font, "OS/2");
    char vendor[4] = {};
    if (!TableInFile(font, os2) || TableLength(os2) < kVendorIdOffset + 4 ||
        ReadFileAt(font, TableOffset(os2) + kVendorIdOffset, vendor, 4) != 4)
        return "";
    std::string id;
    for (char c : vendor)
        if (std::isalnum(static_cast<unsigned char>(c))) id += c;
    return id == "PfEd" || id == "UKWN" || id == "NONE" ? "" : id;
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
    const LineMetrics line =
        ScaleLineUnits(FontLineUnits(font), font->UnitsPerEm, o.points, o.dpi);
    out->ascent = line.ascender / 64;
    out->descent = -line.descender / 64;
    out->lineAdvance = line.height / 64;
    const std::vector<NameText> names = ReadNameTexts(font);
    out->familyName = AsciiName(names, 1);
    if (out->familyName.empty()) out->familyName = FileStem(o.fontPath);
    out->foundry = FoundryOf(font, names);
    out->copyright = AsciiText(names, 0);
    out->notice = AsciiText(names, 13);
    if (out->notice.empty()) out->notice = AsciiText(names, 7);
    return 0;
}

// Whether the font gives the code a vertical form of its own: the glyph the
// library draws in vertical text differs from the nominal one.  The code
// goes in as the library looks it up (through the concordance, if any).
bool HasVerticalForm(const CodeRoad &road, uint32_t code, const char *input) {
    const int32_t nominal = ::GetGlyphIndex(road.handle, input);
    if (nominal <= 0) return false;
    const uint32_t looked =
        road.concordance ? DbcsToUnicode(ConcordSlotOf(road.space), input) : code;
    road.font->iVertical = 1;
    return VerticalGlyphFor(road.font, looked, uint32_t(nominal)) != uint32_t(nominal);
}

// The glyph's ink and metrics through GetBitmap and GetGlyphMetrics.
bool RenderExported(int32_t handle, const char *input, bool vertical, ExportedGlyph *glyph) {
    int width = 0, height = 0;
    const char flags = vertical ? KELMOR_VERTICAL : 0;
    const unsigned char *bits = GetBitmap(handle, input, &width, &height, flags);
    if (bits == nullptr || GetGlyphMetrics(handle, input, &glyph->metrics) == 0) return false;
    glyph->ink = TightInk(FromLibraryBitmap(bits, width, height), glyph->metrics);
    return true;
}

// Reads the shared options; 0 when they are good, else the exit code after
// a message (kUsageError for a bad command line).  --help prints the help
// and sets *done.
int ParseExportOptions(const char *command, int argc, char **argv, bool needCodes, void (*help)(),
                       ExportOptions *o, bool *done) {
    *done = false;
    ArgCursor args(argc, argv);
    std::string encoding, error;
    std::vector<std::string> ranges;
    while (!args.Done() && error.empty() && args.Error().empty()) {
        if (args.Flag("--help")) {
            help();
            *done = true;
            return 0;
        }
        if (!TakeExportArgument(args, o, &encoding, &ranges, &error))
            error = "unknown option \"" + args.Take() + "\" (try 'kelmor " + command + " --help')";
    }
    if (error.empty()) error = args.Error();
    const bool asksForCodes = !ranges.empty() || !o->chars.empty() || !o->charsFiles.empty();
    if (error.empty()) error = CheckExportOptions(*o, encoding, asksForCodes, needCodes);
    if (error.empty() && !encoding.empty()) {
        const SpaceFacts *facts = nullptr;
        for (const SpaceFacts &f : kSpaces)
            if (encoding == f.name) facts = &f;
        if (facts == nullptr)
            error = "--encoding is unicode, sjis, big5, gb, gbk, euc-kr or glyphs, not \"" +
                    encoding + "\"";
        else
            o->space = facts->space;
    }
    for (size_t i = 0; i < ranges.size() && error.empty(); ++i)
        ParseRanges(ranges[i], o->space, o, &error);
    if (error.empty() && o->space == ExportSpace::kGlyphs &&
        (!o->chars.empty() || !o->charsFiles.empty()))
        error = "--chars and --chars-file name characters; glyph numbers take --range";
    if (!error.empty()) return Report(command, error, kUsageError);
    return 0;
}

// Renders every code of the request that the font has (with `keepMissing`
// What one handle draws of a run of the request's codes.
struct ExportShare {
    std::vector<ExportedGlyph> glyphs;
    std::vector<uint32_t> lacking, upright;
    size_t present = 0;
    uint32_t failedCode = 0;
    bool failed = false;
    bool drawn = false;  // false: the worker's handle did not open
};

// Draws codes [begin, end) of the request; `progress` is shown by the
// thread that owns it.  Without --vertical the glyph found for the code is
// drawn by its number, so that the library does not look the code up again
// for the bitmap and the metrics: the same glyph, fewer map lookups.
void ExportCodes(const CodeRoad &road, const ExportOptions &o, const CodeRequest &request,
                 bool keepMissing, size_t begin, size_t end, std::atomic<size_t> *done,
                 Progress *progress, ExportShare *share) {
    if (!o.vertical) SetEncoding(road.handle, csGlyphNumber);
    share->drawn = true;
    for (size_t i = begin; i < end; ++i, ++*done) {
        if (progress != nullptr) progress->Step(done->load());
        const uint32_t code = request.codes[i];
        char input[4] = {};
        const bool isCode = IsCodeOf(o.space, code);
        const uint32_t glyphNumber = isCode ? CodeInput(road, code, input) : 0;
        if (glyphNumber == 0 && isCode && request.asked) share->lacking.push_back(code);
        // A code the font lacks keeps its place as a glyph without ink or
        // advance, when the format has a place for every code of a range.
        if (glyphNumber == 0 && keepMissing) share->glyphs.push_back(ExportedGlyph{code, {}, {}});
        if (glyphNumber == 0) continue;
        ExportedGlyph glyph{code, {}, {}};
        if (o.vertical && !HasVerticalForm(road, code, input)) share->upright.push_back(code);
        if (!o.vertical) std::memcpy(input, &glyphNumber, sizeof glyphNumber);
        if (!RenderExported(road.handle, input, o.vertical, &glyph)) {
            share->failed = true;
            share->failedCode = code;
            return;
        }
        share->glyphs.push_back(glyph);
        ++share->present;
    }
}

// A handle of a worker thread's own, set up as the first (a handle is one
// thread's at a time); 0 when it cannot be.
int32_t OpenWorkerHandle(const ExportOptions &o, CodeRoad *road) {
    const int32_t handle = OpenTTFontFace(o.fontPath.c_str(), o.face);
    if (handle == 0) return 0;
    SetRenderOptions(handle, ToolRenderOptions(o.classic, o.noHinting, !o.noBitmaps) | o.autohintBits);
    *road = CodeRoad{handle, FontFromHandle(handle), o.space, false};
    if (SetPointSize(handle, o.points, o.dpi) == 0 || !PrepareRoad(road, false).empty()) {
        CloseTTFont(handle);
        return 0;
    }
    return handle;
}

// Fewer codes than this per thread are drawn sooner than a handle opens.
constexpr size_t kCodesPerThread = 512;
constexpr unsigned kMostThreads = 8;

unsigned ThreadsFor(size_t codes) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return unsigned(std::max<size_t>(1, std::min<size_t>({cores, kMostThreads,
                                                           codes / kCodesPerThread})));
}

// Draws the request with one handle per thread, the first on this thread,
// each a contiguous run of codes, joined in order.  A run whose worker
// could not open a handle is drawn here afterwards.
void ExportInParallel(const CodeRoad &road, const ExportOptions &o, const CodeRequest &request,
                      bool keepMissing, Progress *progress, std::vector<ExportShare> *shares) {
    const size_t count = request.codes.size();
    const unsigned threads = ThreadsFor(count);
    shares->assign(threads, ExportShare{});
    const auto first = [&](unsigned k) { return count * k / threads; };
    std::atomic<size_t> done{0};
    std::vector<std::thread> workers;
    for (unsigned k = 1; k < threads; ++k) {
        workers.emplace_back([&, k] {
            CodeRoad own{};
            const int32_t handle = OpenWorkerHandle(o, &own);
            if (handle == 0) return;
            ExportCodes(own, o, request, keepMissing, first(k), first(k + 1), &done, nullptr,
                        &(*shares)[k]);
            CloseTTFont(handle);
        });
    }
    ExportCodes(road, o, request, keepMissing, first(0), first(1), &done, progress,
                &(*shares)[0]);
    for (std::thread &worker : workers) worker.join();
    for (unsigned k = 1; k < threads; ++k)
        if (!(*shares)[k].drawn)
            ExportCodes(road, o, request, keepMissing, first(k), first(k + 1), &done, progress,
                        &(*shares)[k]);
    progress->Step(count);
}

// Opens the font and draws every code asked for that the font has.  A
// progress line goes to stderr when it is a terminal and the request is
// long.  0 on success, else the exit code after a message.
int ExportGlyphs(const char *command, const ExportOptions &o, bool keepMissing, ExportedFont *out) {
    const int32_t handle = OpenTTFontFace(o.fontPath.c_str(), o.face);
    if (handle == 0) return Report(command, DiagnoseOpenFailure(o.fontPath, o.face));
    HandleCloser closer{handle};
    SetRenderOptions(handle, ToolRenderOptions(o.classic, o.noHinting, !o.noBitmaps) | o.autohintBits);
    if (const int failed = SizeFont(command, handle, o, out)) return failed;
    CodeRoad road{handle, FontFromHandle(handle), o.space, false};
    const std::string problem = PrepareRoad(&road, true);
    if (!problem.empty()) return Report(command, problem);
    CodeRequest request;
    if (const int failed =
            ResolveCodes(command, o, road.font->leMaximumProfile.numGlyphs, &request))
        return failed;
    ReportRequest(command, o.space, request);

    keepMissing = keepMissing && request.wholeRange;
    Progress progress(command, request.codes.size());
    std::vector<ExportShare> shares;
    ExportInParallel(road, o, request, keepMissing, &progress, &shares);
    for (ExportShare &share : shares) {
        if (share.failed)
            return Report(command, "the library rendered nothing for code " +
                                       std::to_string(share.failedCode));
        out->glyphs.insert(out->glyphs.end(), share.glyphs.begin(), share.glyphs.end());
        out->lacking.insert(out->lacking.end(), share.lacking.begin(), share.lacking.end());
        out->upright.insert(out->upright.end(), share.upright.begin(), share.upright.end());
        out->present += share.present;
    }
    return 0;
}

}  // namespace

int RunExportCommand(const ExportCommand &command, int argc, char **argv) {
    ExportOptions options;
    bool done = false;
    if (const int code = ParseExportOptions(command.name, argc, argv, command.needCodes,
                                            command.help, &options, &done))
        return code;
    if (done) return 0;
    const std::string problem = command.check ? command.check(options) : "";
    if (!problem.empty()) return Report(command.name, problem, kUsageError);
    ExportedFont font;
    if (const int code = ExportGlyphs(command.name, options, command.keepMissing, &font))
        return code;
    if (!font.lacking.empty())
        Report(command.name, "note: the font lacks " + Counted(font.lacking.size(), "code") +
                                 " asked for: " +
                                 CompactCodes(font.lacking, BaseOf(options.space)));
    if (!font.upright.empty())
        Report(command.name, "note: " + Counted(font.upright.size(), "code") +
                                 " without a vertical form in the font " +
                                 (font.upright.size() == 1 ? "stays" : "stay") + " upright: " +
                                 CompactCodes(font.upright, BaseOf(options.space)));
    if (font.present == 0) return Report(command.name, "the font has no glyph for those codes");
    OutputFile out(options.outputPath);
    std::string error;
    if (!out.Open(&error)) return Report(command.name, error);
    const int written = command.write(out.Stream(), options, font);
    if (written != 0) return written;
    if (!out.Commit(&error)) return Report(command.name, error);
    return 0;
}

}  // namespace kelmor
