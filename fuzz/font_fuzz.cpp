// libFuzzer harness: any byte string as a font file or collection.  Opens it
// (through OpenTTFontFace, the face taken from the input), sizes it and
// renders a spread of glyph numbers and codes through the public API, from
// outlines and from embedded bitmaps; the sanitizers report anything read or
// written outside a buffer.
#include <cstdint>

#include "kelmor.h"
#include "scratch_font.h"

namespace {

void RenderSome(int32_t font) {
    int width = 0, height = 0;
    KelmorGlyphMetrics metrics;
    SetEncoding(font, KELMOR_CHARSET_GLYPHNUMBER);
    for (int32_t glyph : {0, 1, 2, 3, 5, 8, 13, 100, 65535, -1}) {
        const char *ps = reinterpret_cast<const char *>(&glyph);
        GetBitmap(font, ps, &width, &height, 0);
        GetGlyphMetrics(font, ps, &metrics);  // hmtx
        GetBitmap(font, ps, &width, &height, KELMOR_VERTICAL);
        GetGlyphMetrics(font, ps, &metrics);  // vhea and vmtx
    }
    SetEncoding(font, KELMOR_CHARSET_UNICODE);
    for (uint32_t codePoint : {0x41u, 0x3042u, 0x4E00u, 0xFFFFu, 0x1F600u}) {
        const char *ps = reinterpret_cast<const char *>(&codePoint);
        GetGlyphMetrics(font, ps, &metrics);
        GetBitmap(font, ps, &width, &height, KELMOR_VERTICAL);  // forms by script
    }
    for (int charset : {KELMOR_CHARSET_SHIFTJIS, KELMOR_CHARSET_BIG5, KELMOR_CHARSET_GB2312}) {
        SetEncoding(font, charset);
        for (const char *code : {"\x88\x9f", "\x00\x41", "\xa4\x40", "\xb0\xa1", "\xff\xff"})
            GetBitmap(font, code, &width, &height, 0);
    }
}

// The face to open: of a collection, the one its input's last byte names
// (one past the faces too, which must be refused); of a single font, 0.
int FaceOf(const uint8_t *data, size_t size) {
    const bool collection = size > 4 && data[0] == 't' && data[1] == 't' && data[2] == 'c' &&
                            data[3] == 'f';
    return collection ? data[size - 1] % 4 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!kelmor_fuzz::WriteScratchFont(data, size)) return 0;
    const char *path = kelmor_fuzz::ScratchFontPath().c_str();
    // The classic limits refuse what the extension entry opens.
    CloseTTFont(OpenTTFont(path));
    int32_t font = OpenTTFontFace(path, FaceOf(data, size));
    if (font == 0) return 0;
    char name[64];
    int platform = -1, encoding = -1, language = -1;
    GetFontNames(font, &platform, &encoding, &language, 4, name, sizeof name);
    for (int size : {12, 24, 60}) {
        if (SetPointSize(font, size, 72)) RenderSome(font);
    }
    // Embedded bitmaps at the size of the seeds' strike, in both layouts.
    for (int options : {KELMOR_EMBEDDED_BITMAPS, KELMOR_EMBEDDED_BITMAPS | KELMOR_FAITHFUL}) {
        SetRenderOptions(font, options);
        if (SetPointSize(font, 12, 72)) RenderSome(font);
    }
    CloseTTFont(font);
    return 0;
}
