// FreeType as the reference rasterizer: monochrome renderings of a font's
// glyphs, hinted with its TrueType interpreter set to version 35 (the
// classic one, without the subpixel compatibility mode) or unhinted, and the
// three comparisons that tell whether our hinting brings us closer to it.
#ifndef KELMOR_TESTS_FREETYPE_REFERENCE_H
#define KELMOR_TESTS_FREETYPE_REFERENCE_H

#include <string>
#include <vector>

#include "fault_census.h"
#include "glyph_agreement.h"

// FreeType's own handles, so that users of this header need not include its
// headers.
struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace kelmor_test {

class FreeTypeFont {
public:
    explicit FreeTypeFont(const std::string &path, long face = 0);
    ~FreeTypeFont();
    FreeTypeFont(const FreeTypeFont &) = delete;
    FreeTypeFont &operator=(const FreeTypeFont &) = delete;

    bool Ok() const { return face_ != nullptr; }
    long GlyphCount() const;
    bool SetPixelsPerEm(int ppem);
    // Renders the glyph from its outline (never from an embedded bitmap) and
    // keeps a copy of its bits in `store`, which `grid` then reads.
    bool Render(unsigned glyph, bool hinted, std::vector<unsigned char> *store, PixelGrid *grid);
    // FreeType's default monochrome rendering from the outline: its own
    // choice of hinting, which is the auto-hinter for a font without
    // hinting programs.
    bool RenderByDefault(unsigned glyph, std::vector<unsigned char> *store, PixelGrid *grid);
    // Monochrome rendering with the given FT_LOAD_* flags (the auto-hinter
    // forced, for one).
    bool RenderWith(unsigned glyph, int flags, std::vector<unsigned char> *store, PixelGrid *grid);
    // The advance (26.6) of the glyph rendered last.
    long LastAdvance() const;

private:
    FT_LibraryRec_ *library_ = nullptr;
    FT_FaceRec_ *face_ = nullptr;
};

// Every step-th glyph of a font at one size, each compared with FreeType's
// hinted rendering.
struct HintingFigures {
    Tally oursHinted;        // our hinted GetBitmap
    Tally oursUnhinted;      // our GetBitmap with KELMOR_NO_HINTING
    Tally freeTypeUnhinted;  // FreeType's own unhinted rendering
    Tally unhintedPair;      // ours unhinted against FreeType unhinted
    // Glyphs whose hinted rendering agrees with FreeType's hinted one by
    // more than 0.2 less than our unhinted rendering does.
    long hintingHurts = 0;
    // The glyphs of lowest hinted agreement, lowest first (at most kWorstKept).
    std::vector<std::pair<double, unsigned>> worst;
    static constexpr size_t kWorstKept = 8;
    long referenceFailures = 0;  // glyphs FreeType could not render hinted
    // Faults of our hinted runs: the font program (run once more under
    // watch), the control-value program at this size, each glyph's programs
    // (a glyph's component programs count as one run).
    FaultTable faults;
    double seconds = 0;
};

// False (and *error) when either library cannot open or size the font.
// `faithful` renders ours in the faithful mode.
bool CompareHinting(const std::string &path, int ppem, int step, HintingFigures *figures,
                    std::string *error, bool faithful = false);

}  // namespace kelmor_test

#endif
