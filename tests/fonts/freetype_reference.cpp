#include "freetype_reference.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <algorithm>
#include <chrono>
#include <cstring>

#include "ttf/api/handles.h"
#include "ttf/font/ttf.h"

namespace kelmor_test {

FreeTypeFont::FreeTypeFont(const std::string &path, long face) {
    if (FT_Init_FreeType(&library_) != 0) {
        library_ = nullptr;
        return;
    }
    FT_UInt version = TT_INTERPRETER_VERSION_35;
    FT_Property_Set(library_, "truetype", "interpreter-version", &version);
    if (FT_New_Face(library_, path.c_str(), face, &face_) != 0) face_ = nullptr;
}

FreeTypeFont::~FreeTypeFont() {
    if (face_ != nullptr) FT_Done_Face(face_);
    if (library_ != nullptr) FT_Done_FreeType(library_);
}

long FreeTypeFont::GlyphCount() const { return face_ != nullptr ? face_->num_glyphs : 0; }

bool FreeTypeFont::SetPixelsPerEm(int ppem) {
    return face_ != nullptr && FT_Set_Char_Size(face_, 0, ppem * 64, 72, 72) == 0;
}

bool FreeTypeFont::Render(unsigned glyph, bool hinted, std::vector<unsigned char> *store,
                          PixelGrid *grid) {
    const FT_Int32 flags = FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT |
                           (hinted ? 0 : FT_LOAD_NO_HINTING);
    return RenderWith(glyph, flags, store, grid);
}

bool FreeTypeFont::RenderByDefault(unsigned glyph, std::vector<unsigned char> *store,
                                   PixelGrid *grid) {
    // What an application gets asking for monochrome: FreeType picks its
    // own hinting, the auto-hinter for fonts without programs.
    return RenderWith(glyph, FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME | FT_LOAD_NO_BITMAP, store,
                      grid);
}

long FreeTypeFont::LastAdvance() const {
    return face_ != nullptr ? long(face_->glyph->advance.x) : 0;
}

bool FreeTypeFont::RenderWith(unsigned glyph, int flags, std::vector<unsigned char> *store,
                              PixelGrid *grid) {
    if (FT_Load_Glyph(face_, glyph, flags) != 0 ||
        FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_MONO) != 0)
        return false;
    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap &bm = slot->bitmap;
    const int pitch = bm.pitch < 0 ? -bm.pitch : bm.pitch;
    store->resize(size_t(pitch) * bm.rows);
    if (!store->empty()) std::memcpy(store->data(), bm.buffer, store->size());
    *grid = {store->data(), pitch, int(bm.width), int(bm.rows), slot->bitmap_left,
             slot->bitmap_top - 1, false};
    return true;
}

namespace {

// The four renderings of one font at one size.
struct Renderers {
    Renderers(const std::string &path, bool faithful)
        : hinted(path, true, faithful), unhinted(path, false, faithful), freeType(path) {}
    LibraryFont hinted, unhinted;
    FreeTypeFont freeType;
    std::vector<unsigned char> referenceBits, freeTypePlainBits;
    FaultCensus census;

    // The hinted font's programs run under the census from here on; the
    // font program, which ran at open, runs once more to be counted.
    void WatchHintedFont() {
        kelmor::_TTFont *pF = kelmor::FontFromHandle(hinted.Handle());
        pF->G.Tracer = &census;
        kelmor::RunFontProgram(pF, &pF->G);
        census.EndRun();
    }

    void CompareOne(unsigned glyph, HintingFigures *f) {
        PixelGrid reference{}, freeTypePlain{}, ours{};
        if (!freeType.Render(glyph, true, &referenceBits, &reference)) {
            ++f->referenceFailures;
            return;
        }
        const bool havePlain = freeType.Render(glyph, false, &freeTypePlainBits, &freeTypePlain);
        if (havePlain) CompareGlyph(freeTypePlain, reference, f->freeTypeUnhinted);
        Tally hintedGlyph, unhintedGlyph;
        if (hinted.Render(int32_t(glyph), &ours)) CompareGlyph(ours, reference, hintedGlyph);
        census.EndRun();
        if (unhinted.Render(int32_t(glyph), &ours)) {
            CompareGlyph(ours, reference, unhintedGlyph);
            if (havePlain) CompareGlyph(ours, freeTypePlain, f->unhintedPair);
        }
        f->oursHinted += hintedGlyph;
        f->oursUnhinted += unhintedGlyph;
        if (hintedGlyph.Agreement() < unhintedGlyph.Agreement() - 0.2) ++f->hintingHurts;
        KeepIfWorst(hintedGlyph.Agreement(), glyph, &f->worst);
    }

    static void KeepIfWorst(double agreement, unsigned glyph,
                            std::vector<std::pair<double, unsigned>> *worst) {
        auto at = std::upper_bound(worst->begin(), worst->end(), std::make_pair(agreement, glyph));
        if (size_t(at - worst->begin()) >= HintingFigures::kWorstKept) return;
        worst->insert(at, {agreement, glyph});
        if (worst->size() > HintingFigures::kWorstKept) worst->pop_back();
    }
};

}  // namespace

bool CompareHinting(const std::string &path, int ppem, int step, HintingFigures *figures,
                    std::string *error, bool faithful) {
    const auto start = std::chrono::steady_clock::now();
    Renderers r(path, faithful);
    if (r.hinted.Handle() == 0 || r.unhinted.Handle() == 0 || !r.freeType.Ok()) {
        *error = path + " does not open";
        return false;
    }
    r.WatchHintedFont();
    const bool sized = r.hinted.SetPixelsPerEm(ppem);
    r.census.EndRun();
    if (!sized || !r.unhinted.SetPixelsPerEm(ppem) ||
        !r.freeType.SetPixelsPerEm(ppem)) {
        *error = path + " cannot be sized at " + std::to_string(ppem) + " ppem";
        return false;
    }
    *figures = HintingFigures();
    for (long glyph = 0; glyph < r.freeType.GlyphCount(); glyph += step)
        r.CompareOne(unsigned(glyph), figures);
    figures->faults = r.census.Table();
    figures->seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return true;
}

}  // namespace kelmor_test
