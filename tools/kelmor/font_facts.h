// What the tool needs to know about a font beyond the public API: the
// library's own font object for inspection and cmap lookups, and the
// reasons behind an open or a sizing that failed.
#ifndef KELMOR_TOOL_FONT_FACTS_H
#define KELMOR_TOOL_FONT_FACTS_H

#include <memory>
#include <string>

#include "ttf/api/tool_internals.h"

namespace kelmor {

struct FontCloser {
    void operator()(_TTFont *pF) const { CloseTTF(pF); }
};
using FontObject = std::unique_ptr<_TTFont, FontCloser>;

// Face `face` of the font (a collection's, or 0 of a single font) opened the
// way OpenTTFontFace opens it; null when it cannot be.
FontObject OpenFontObject(const std::string &path, int face = 0);

// The font's tables read as far as they can be, for showing a font the
// library refuses (no cmap, no name records, ...); null when the file is no
// TrueType font at all.
FontObject InspectFontObject(const std::string &path, int face = 0);

// One line saying why the library refuses to open the font, found by going
// through the same steps with the library's table readers.
std::string DiagnoseOpenFailure(const std::string &path, int face = 0);

// Why SetPointSize refused this size, or "" when the reason is unknown.
std::string DiagnoseSizeFailure(const _TTFont &font, int points, int dpi);

// The font box in whole pixels at a size, as the sizing step computes it;
// empty for a size the library refuses outright.
struct FontBox {
    long columns = 0;
    long rows = 0;
};
FontBox FontBoxAt(const _TTFont &font, int points, int dpi);

// The largest product of point size and resolution the scale factor holds.
constexpr long kMaxSizeTimesDpi = kMaxSizeTimesResolution;
// The tallest font box the scan buffer holds: two entries of MaxTransitions
// crossings (4 bytes each) per row, plus one.
constexpr long kMaxBoxRows =
    (kMaxScanBufferBytes / (4 * long(MaxTransitions)) - 1) / 2;

// "Unicode", "Shift-JIS", ... for a character-set code.
const char *CharsetTitle(int charset);

// Why double-byte codes cannot reach a Unicode font: no concordance for the
// character set could be loaded from the ini file the library read (named).
std::string NoConcordanceMessage(int charset);

}  // namespace kelmor

#endif
