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
    bool classic = false;  // the hosts' default rendering instead of the faithful mode
    bool noBitmaps = false;  // outlines even where the font has embedded bitmaps
    int face = 0;          // of a collection
    ExportSpace space = ExportSpace::kUnicode;
    bool haveRange = false;
    uint32_t first = 0, last = 0;
    std::string outputPath;  // "" for standard output
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
    int pixelSize = 0;       // pixels per em
    int ascent = 0;          // rows of the font box above the baseline
    int descent = 0;         // rows below it
    int lineAdvance = 0;     // the font box's height
    std::vector<ExportedGlyph> glyphs;
    std::vector<bool> present;  // per code of the range: the font has it
};

// One export command: how its command line and glyphs are taken, and the
// writer of its file format.
struct ExportCommand {
    const char *name;
    void (*help)();
    bool needRange;    // --encoding and --range are required
    bool keepMissing;  // codes the font lacks get empty glyphs
    // A further check of the options: "" when they are good.
    std::string (*check)(const ExportOptions &options);
    // Writes the file; 0, or the exit code after a message.
    int (*write)(FILE *out, const ExportOptions &options, const ExportedFont &font);
};

// The whole command: options, glyphs, the output file (or standard output)
// and its write errors.  Returns the exit code.
int RunExportCommand(const ExportCommand &command, int argc, char **argv);

}  // namespace kelmor

#endif
