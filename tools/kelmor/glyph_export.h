// What `kelmor bdf` and `kelmor carray` share: their command line, the walk
// over a range of codes, and each glyph cut to the tight box of its ink with
// the metrics the library gives for it.
#ifndef KELMOR_TOOL_GLYPH_EXPORT_H
#define KELMOR_TOOL_GLYPH_EXPORT_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "glyph_image.h"
#include "kelmor.h"

namespace kelmor {

// The code spaces glyphs can be asked for in.
enum class ExportSpace { kUnicode, kShiftJIS, kBig5, kGB2312, kGlyphs };

struct ExportOptions {
    std::string fontPath;
    int points = 0;
    int dpi = 72;
    ExportSpace space = ExportSpace::kUnicode;
    bool haveRange = false;
    uint32_t first = 0, last = 0;
    std::string outputPath;  // "" for standard output
};

// Reads the shared options; 0 when they are good, else the exit code after
// a message (kUsageError for a bad command line).  `needRange` makes
// --encoding and --range required.  `help` is printed for --help (exit 0,
// *done set).
int ParseExportOptions(const char *command, int argc, char **argv, bool needRange,
                       void (*help)(), ExportOptions *options, bool *done);

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
    int pixelSize = 0;       // pixels per em
    int ascent = 0;          // rows of the font box above the baseline
    int descent = 0;         // rows below it
    int lineAdvance = 0;     // the font box's height
    std::vector<ExportedGlyph> glyphs;
    std::vector<bool> present;  // per code of the range: the font has it
};

// Renders every code of the range that the font has (all of them with
// `keepMissing`, the missing ones as empty glyphs); a progress line goes to
// stderr when it is a terminal and the range is long.  0 on success, else
// the exit code after a message.
int ExportGlyphs(const char *command, const ExportOptions &options, bool keepMissing,
                 ExportedFont *font);

// The output file (or standard output); null after a message when it
// cannot be opened.  CloseExportOutput reports write errors (exit code 1).
FILE *OpenExportOutput(const char *command, const ExportOptions &options);
int CloseExportOutput(const char *command, const ExportOptions &options, FILE *out);

}  // namespace kelmor

#endif
