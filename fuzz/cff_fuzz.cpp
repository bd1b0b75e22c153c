// libFuzzer harness: any byte string as the CFF table of a font whose other
// tables are sound.  Opens the font and draws a spread of glyphs at two
// sizes in both modes; the sanitizers report anything read or written
// outside a buffer.  Seeds: fuzz/corpus/cff, written by cff_seeds.
#include <cstdint>

#include "cff_builder.h"
#include "kelmor.h"
#include "scratch_font.h"

namespace {

// The font around the table: eight glyphs, so that maxp and hmtx cover the
// glyph numbers drawn below.
const kelmor_test::FontBuilder &Frame() {
    static const kelmor_test::FontBuilder frame = [] {
        kelmor_test::CffTable cff;
        cff.charStrings.assign(8, kelmor_test::Charstring("endchar"));
        return kelmor_test::CffFont(cff).Cmap4(3, 1, {{0x41, 1}, {0x42, 2}});
    }();
    return frame;
}

void DrawSome(int32_t font) {
    int width = 0, height = 0;
    KelmorGlyphMetrics metrics;
    SetEncoding(font, KELMOR_CHARSET_GLYPHNUMBER);
    for (int32_t glyph : {0, 1, 2, 3, 4, 5, 6, 7, 300, 65535}) {
        const char *ps = reinterpret_cast<const char *>(&glyph);
        GetBitmap(font, ps, &width, &height, 0);
        GetGlyphMetrics(font, ps, &metrics);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    kelmor_test::FontBuilder font = Frame();
    font.RawTable("CFF ", kelmor_test::Bytes(data, data + size));
    const kelmor_test::Bytes bytes = font.Build();
    if (!kelmor_fuzz::WriteScratchFont(bytes.data(), bytes.size())) return 0;
    const int32_t handle = OpenTTFont(kelmor_fuzz::ScratchFontPath().c_str());
    if (handle == 0) return 0;
    for (int size : {9, 30}) {
        if (SetPointSize(handle, size, 72) != 1) continue;
        SetRenderOptions(handle, KELMOR_FAITHFUL);
        DrawSome(handle);
        SetRenderOptions(handle, 0);
        DrawSome(handle);
    }
    CloseTTFont(handle);
    return 0;
}
