// What `kelmor bdf` and `kelmor carray` share: their command line, the walk
// over a range of codes, and each glyph cut to the tight box of its ink with
// the metrics the library gives for it.
#ifndef KELMOR_TOOL_GLYPH_EXPORT_H
#define KELMOR_TOOL_GLYPH_EXPORT_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "code_set.h"
#include "glyph_image.h"
#include "kelmor.h"

namespace kelmor {

// The code spaces glyphs can be asked for in.
enum class ExportSpace { kUnicode, kShiftJIS, kBig5, kGB2312, kGBK, kWansung, kGlyphs };

struct ExportOptions {
    std::string fontPath;
    int points = 0;
    int dpi = 72;
    bool classic = false;    // the hosts' default rendering instead of the faithful mode
    bool noHinting = false;  // the plain scaled outlines
    bool noBitmaps = false;  // outlines even where the font has embedded bitmaps
    int autohintBits = 0;    // KELMOR_FORCE_AUTOHINT or KELMOR_NO_AUTOHINT
    bool vertical = false;   // vertical forms, as render --vertical draws them
    int face = 0;            // of a collection
    ExportSpace space = ExportSpace::kUnicode;
    std::vector<CodeRange> ranges;         // --range, each may be one code
    std::vector<std::string> chars;        // --chars texts (UTF-8)
    std::vector<std::string> charsFiles;   // --chars-file paths
    std::string outputPath;  // "" for standard output

    bool AsksForCodes() const {
        return !ranges.empty() || !chars.empty() || !charsFiles.empty();
    }
};

// The codes an export writes, in ascending order, and what the request had
// beyond them, to be reported once.
struct CodeRequest {
    std::vector<uint32_t> codes;
    bool asked = false;       // named on the command line (else a whole code space)
    bool wholeRange = false;  // exactly one range: a format may keep a place for every code
    std::vector<uint32_t> repeated;     // asked for more than once
    std::vector<uint32_t> unencodable;  // characters (code points) the code space lacks
    std::vector<uint32_t> notCodes;     // values asked for one by one that are no codes
};

// One exported glyph: its code, the library's metrics and its ink cut to
// the tight box (empty for a glyph without ink).
struct ExportedGlyph {
    uint32_t code;
    KelmorGlyphMetrics metrics;
    InkImage ink;
    // The tight box relative to the glyph origin, y up (BDF's BBX offsets).
    int xOffset() const { return metrics.iInkLeft - metrics.iOriginX; }
    int yOffset() const { return metrics.iOriginY - metrics.iInkTop - metrics.iInkHeight; }
};

// The glyphs of a font in one code space at one size.
struct ExportedFont {
    std::string familyName;  // ASCII family name, for font names
    std::string foundry;     // ASCII maker of the font (name ID 8), "" when not named
    std::string copyright;   // the font's copyright notice in ASCII (name ID 0), or ""
    std::string notice;      // its licence (name ID 13), else trademark (7), or ""
    int pixelSize = 0;       // pixels per em
    // Whole pixels of the font's line at this size (hhea's ascender and
    // descender, rounded as FreeType rounds them): above the baseline,
    // below it, and from one baseline to the next.
    int ascent = 0, descent = 0, lineAdvance = 0;
    std::vector<ExportedGlyph> glyphs;  // ascending codes
    std::vector<uint32_t> lacking;      // codes asked for that the font lacks
    std::vector<uint32_t> upright;      // --vertical: codes without a vertical form
    size_t present = 0;                 // glyphs the font has (the others are empty places)
};

// One export command: how its command line and glyphs are taken, and the
// writer of its file format.
struct ExportCommand {
    const char *name;
    void (*help)();
    bool needCodes;    // --encoding and the codes (--range, --chars...) are required
    bool keepMissing;  // in a single range, codes the font lacks get empty glyphs
    // A further check of the options: "" when they are good.
    std::string (*check)(const ExportOptions &options);
    // Writes the file; 0, or the exit code after a message.
    int (*write)(FILE *out, const ExportOptions &options, const ExportedFont &font);
};

// The help lines of the options that choose the codes.
#define KELMOR_EXPORT_CODES_HELP                                                      \
    "  --range FIRST-LAST codes (hex; decimal for glyphs), one code alone, or a\n"     \
    "                     comma-separated list; may be given again\n"                  \
    "  --chars TEXT       the characters of the UTF-8 text; may be given again\n"      \
    "  --chars-file FILE  the characters of a file: UTF-8 text, or (when it is\n"      \
    "                     not valid UTF-8) bytes of the double-byte --encoding;\n"     \
    "                     line ends and other control characters are skipped\n"

// The help lines both export commands share after their own text: size,
// codes and how the glyphs are drawn (args.h gives the last four).
#define KELMOR_EXPORT_DRAWING_HELP                                                    \
    "  --size POINTS      point size (required)\n"                                    \
    "  --dpi DPI          resolution (default 72)\n"                                  \
    KELMOR_EXPORT_CODES_HELP                                                          \
    "  --no-hinting       the plain scaled outlines\n"                                \
    "  --vertical         vertical forms (turned brackets, moved punctuation) from\n" \
    "                     mort or GSUB, with vertical advances, as render\n"         \
    "                     --vertical draws them; codes without one stay upright\n"   \
    "                     and are named\n"                                           \
    KELMOR_AUTOHINT_HELP                                                              \
    KELMOR_NO_BITMAPS_HELP                                                            \
    KELMOR_CLASSIC_HELP                                                               \
    KELMOR_FACE_HELP

// The whole command: options, glyphs, the output file (or standard output)
// and its write errors.  Returns the exit code.
int RunExportCommand(const ExportCommand &command, int argc, char **argv);

}  // namespace kelmor

#endif
