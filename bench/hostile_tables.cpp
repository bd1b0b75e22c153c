// What one glyph of a hostile strike or CFF table costs, against FreeType on
// the same file:
//   - a strike whose glyph is a composite of 1,023 components, each listed
//     last among a million unsorted index records (an 8 MB font);
//   - a CID-keyed CFF table whose 256 font DICTs all name one 64 KiB
//     subroutine INDEX, with glyphs that call into it again and again.
//
//   build-bench/bench/hostile_tables [DIRECTORY]   (default /tmp)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "cff_builder.h"
#include "font_builder.h"
#include "hostile_strikes.h"
#include "kelmor.h"

using namespace kelmor_test;

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string HostileStrikeFont(const std::string &path) {
    const EmbeddedTables t = HostileStrike(1000000, 1023, 16);
    FontBuilder b;
    b.UnitsPerEm(1024).BoundingBox(0, -128, 1024, 896);
    b.AddGlyph(Glyph::Simple({{{128, 0}, {128, 640}, {384, 640}, {384, 0}}}));
    b.AddGlyph(Glyph::Simple({{{128, 0}, {128, 640}, {384, 640}, {384, 0}}}));
    return b.RawTable("EBLC", t.eblc).RawTable("EBDT", t.ebdt).WriteTo(path);
}

// Glyph g (from 1) of font DICT g - 1 calls the shared subroutine, which
// draws a short line and returns, as often as the operator budget allows.
std::string HostileCffFont(const std::string &path) {
    Bytes subr = Charstring("0 1 rlineto return");
    subr.resize(65000, 139);
    std::string program = "0 0 rmoveto";
    for (int i = 0; i < 2000; ++i) program += " -107 callsubr";
    CffTable cff;
    cff.charStrings.assign(257, Charstring(program + " endchar"));
    cff.charStrings[0] = Charstring("endchar");
    cff.fdOfGlyph.push_back(0);
    for (int fd = 0; fd < 256; ++fd) {
        cff.fdLocalSubrs.push_back({subr});
        cff.fdOfGlyph.push_back(uint8_t(fd));
    }
    cff.shareFdSubrs = true;
    Bytes font = CffFont(cff).Build();
    const Bytes otto = {'O', 'T', 'T', 'O'};  // FreeType takes CFF outlines only so marked
    std::copy(otto.begin(), otto.end(), font.begin());
    return WriteBytes(font, path);
}

// Milliseconds per glyph of `glyphs`, drawn once each at 16 pixels.
double KelmorPerGlyph(const std::string &path, const std::vector<int32_t> &glyphs) {
    const int32_t font = OpenTTFontFace(path.c_str(), 0);
    if (font == 0) return -1;
    SetEncoding(font, KELMOR_CHARSET_GLYPHNUMBER);
    SetRenderOptions(font, KELMOR_FAITHFUL | KELMOR_EMBEDDED_BITMAPS);
    SetPointSize(font, 16, 72);
    const auto start = Clock::now();
    for (int32_t glyph : glyphs) {
        int width = 0, height = 0;
        GetBitmap(font, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
    }
    const double ms = MillisecondsSince(start) / double(glyphs.size());
    CloseTTFont(font);
    return ms;
}

double FreeTypePerGlyph(FT_Library library, const std::string &path,
                        const std::vector<int32_t> &glyphs) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) return -1;
    FT_Set_Pixel_Sizes(face, 0, 16);
    const auto start = Clock::now();
    for (int32_t glyph : glyphs)
        FT_Load_Glyph(face, FT_UInt(glyph), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
    const double ms = MillisecondsSince(start) / double(glyphs.size());
    FT_Done_Face(face);
    return ms;
}

}  // namespace

int main(int argc, char **argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp";
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return 1;
    std::vector<int32_t> cffGlyphs;
    for (int32_t g = 1; g <= 256; ++g) cffGlyphs.push_back(g);
    const struct {
        const char *what;
        std::string path;
        std::vector<int32_t> glyphs;
    } cases[] = {
        {"strike: 1,023 components, 1,000,000 unsorted records",
         HostileStrikeFont(dir + "/hostile_strike.ttf"), {1, 1, 1}},
        {"CFF: 256 font DICTs naming one 64 KiB subroutine INDEX",
         HostileCffFont(dir + "/hostile_subrs.otf"), cffGlyphs},
    };
    std::printf("%-56s %12s %12s\n", "ms per glyph", "KELMOR", "FreeType");
    for (const auto &c : cases)
        std::printf("%-56s %12.3f %12.3f\n", c.what, KelmorPerGlyph(c.path, c.glyphs),
                    FreeTypePerGlyph(library, c.path, c.glyphs));
    FT_Done_FreeType(library);
    return 0;
}
