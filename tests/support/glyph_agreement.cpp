#include "glyph_agreement.h"

#include "kelmor.h"
#include "ttf/api/handles.h"
#include "ttf/font/ttf.h"

namespace kelmor_test {

double Tally::Agreement() const {
    const long either = common + oursOnly + theirsOnly + outside;
    return either == 0 ? 1.0 : double(common) / double(either);
}

Tally &Tally::operator+=(const Tally &o) {
    common += o.common;
    oursOnly += o.oursOnly;
    theirsOnly += o.theirsOnly;
    outside += o.outside;
    onBoundary += o.onBoundary;
    thinRows += o.thinRows;
    glyphs += o.glyphs;
    identical += o.identical;
    return *this;
}

bool PixelGrid::Ink(int x, int y) const {
    if (!Inside(x, y)) return false;
    const int column = x - left, row = top - y;
    const bool set = bits[row * pitch + (column >> 3)] & (0x80 >> (column & 7));
    return set != inkIsZero;
}

bool PixelGrid::OnBoundary(int x, int y) const {
    const bool ink = Ink(x, y);
    return Ink(x - 1, y) != ink || Ink(x + 1, y) != ink || Ink(x, y - 1) != ink ||
           Ink(x, y + 1) != ink;
}

PixelGrid LibraryGrid(const unsigned char *bits, int width, int height, int yMinMult) {
    return {bits, (width + 15) / 16 * 2, width, height, 0, yMinMult + height - 1, true};
}

LibraryFont::LibraryFont(const std::string &path, bool hinted, bool faithful)
    : handle_(OpenTTFontFace(path.c_str(), 0)), faithful_(faithful) {
    if (handle_ == 0) return;
    SetEncoding(handle_, KELMOR_CHARSET_GLYPHNUMBER);
    SetRenderOptions(handle_, (hinted ? 0 : KELMOR_NO_HINTING) | (faithful ? KELMOR_FAITHFUL : 0));
}

LibraryFont::~LibraryFont() { CloseTTFont(handle_); }

bool LibraryFont::SetPixelsPerEm(int ppem) {
    if (SetPointSize(handle_, ppem, 72) != 1) return false;
    yMinMult_ = kelmor::FontFromHandle(handle_)->G.S.yMinMult;
    return true;
}

bool LibraryFont::Render(int32_t glyph, PixelGrid *grid) {
    const char *code = reinterpret_cast<const char *>(&glyph);
    // The metrics render the glyph too: asked first, they leave the bitmap
    // that GetBitmap then returns in place.
    KelmorGlyphMetrics m;
    if (faithful_ && GetGlyphMetrics(handle_, code, &m) != 1) return false;
    int width = 0, height = 0;
    const unsigned char *bits = GetBitmap(handle_, code, &width, &height, 0);
    if (bits == nullptr) return false;
    *grid = LibraryGrid(bits, width, height, yMinMult_);
    if (faithful_) {
        grid->left = -m.iOriginX;
        grid->top = m.iOriginY - 1;
    }
    return true;
}

void CompareGlyph(const PixelGrid &ours, const PixelGrid &ref, Tally &t) {
    const long before = t.Differing() + t.outside;
    for (int y = ref.top; y > ref.top - ref.height; --y) {
        for (int x = ref.left; x < ref.left + ref.width; ++x) {
            if (!ref.Ink(x, y)) continue;
            if (!ours.Inside(x, y)) {
                ++t.outside;
            } else if (ours.Ink(x, y)) {
                ++t.common;
            } else {
                ++t.theirsOnly;
                t.onBoundary += ref.OnBoundary(x, y);
                t.thinRows += ref.Thin(x, y);
            }
        }
    }
    for (int y = ours.top; y > ours.top - ours.height; --y) {
        for (int x = ours.left; x < ours.left + ours.width; ++x) {
            if (!ours.Ink(x, y) || ref.Ink(x, y)) continue;
            ++t.oursOnly;
            t.onBoundary += ref.OnBoundary(x, y);
        }
    }
    ++t.glyphs;
    t.identical += (t.Differing() + t.outside == before);
}

}  // namespace kelmor_test
