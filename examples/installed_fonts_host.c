/*
 * installed_fonts_host: a host of KELMOR's installed-font functions, in C.
 *
 *   installed_fonts_host [FONT.ttf] [OUT.pbm]
 *
 * 1. KelmoRegisterApp loads the library's settings: the installed fonts and
 *    the concordance files that convert Shift-JIS text for Unicode fonts.
 * 2. KelmoAddFontResource installs FONT.ttf, when one is given.
 * 3. KelmoEnumFontFamilies lists the installed fonts.
 * 4. KelmoCreateFontIndirect makes a font from a logical description: the
 *    face name of the last font listed, Shift-JIS text, 24 pixels.
 * 5. GetBitmap renders a line of Japanese, each glyph placed by its origin
 *    and advance (GetGlyphMetrics), and the line is written as a PBM image
 *    (default: japanese.pbm).  It fails when the font has none of the
 *    characters (GetGlyphIndex): eight missing-glyph boxes are no text.
 * 6. KelmoDeleteObject releases the font.
 *
 * The installed fonts live in the library's Kelmor.ini (see kelmor.h).
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "kelmor.h"

/* "日本語のテキスト" in Shift-JIS: eight two-byte characters. */
static const char kLine[] = "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67";

struct Listing {
    int count;
    char lastFace[KELMOR_LF_FACESIZE];
};

/* Called once for each installed font; returning non-zero asks for more. */
static int32_t KELMOR_CALL ListFont(const KELMOR_NEWLOGFONT *lpelf,
                                    const KELMOR_NEWTEXTMETRICA *lpntm, uint32_t FontType,
                                    intptr_t lParam) {
    struct Listing *listing = (struct Listing *)lParam;
    /* A Unicode font reports its entry's document symbol set, 240 unless set. */
    const int unicode = lpntm->tmCharSet == KELMOR_CHARSET_DOCUMENT_DEFAULT;
    printf("installed: %-32s character set %3d%s%s\n", lpelf->elfLogFont.lfFaceName,
           lpntm->tmCharSet, unicode ? " (Unicode font)" : "",
           FontType == KELMOR_TRUETYPE_FONTTYPE ? ", TrueType" : "");
    memcpy(listing->lastFace, lpelf->elfLogFont.lfFaceName, sizeof listing->lastFace);
    listing->count++;
    return 1;
}

/* One rendered line: 1 bits are ink, rows padded to whole bytes (PBM). */
struct Line {
    int width, height, rowBytes;
    unsigned char *bits;
};

/* Copies a glyph bitmap (rows padded to 16 bits, ink 0) into the line with
   its top-left corner at (x, y). */
static void PutGlyph(struct Line *line, int x, int y, const unsigned char *glyph, int width,
                     int height) {
    int glyphRowBytes = (width + 15) / 16 * 2;
    for (int gy = 0; gy < height; ++gy)
        for (int gx = 0; gx < width; ++gx) {
            int lx = x + gx, ly = y + gy;
            if (glyph[gy * glyphRowBytes + gx / 8] & (0x80 >> (gx % 8))) continue;
            if (lx < 0 || ly < 0 || lx >= line->width || ly >= line->height) continue;
            line->bits[ly * line->rowBytes + lx / 8] |= (unsigned char)(0x80 >> (lx % 8));
        }
}

static int WritePbm(const char *path, const struct Line *line) {
    FILE *out = fopen(path, "wb");
    if (!out) return 0;
    fprintf(out, "P4\n%d %d\n", line->width, line->height);
    size_t size = (size_t)line->rowBytes * (size_t)line->height;
    int ok = fwrite(line->bits, 1, size, out) == size;
    return fclose(out) == 0 && ok;
}

enum { kCharacters = (int)(sizeof kLine - 1) / 2 };

/* How many characters of kLine the font has; the others are named.  A font
   without a character still draws its missing-glyph box, which is no text. */
static int CountPresent(int32_t font) {
    int present = 0;
    for (int i = 0; i < kCharacters; ++i) {
        if (GetGlyphIndex(font, kLine + 2 * i) > 0) {
            ++present;
            continue;
        }
        fprintf(stderr, "character %d (%02X%02X): %s\n", i + 1, (unsigned char)kLine[2 * i],
                (unsigned char)kLine[2 * i + 1], GetFontErrorText(GetLastFontError()));
    }
    return present;
}

/* Renders kLine as a host sets text: each glyph's origin on one baseline,
   the next origin one advance further (GetGlyphMetrics).  A first pass finds
   the line's extent, a second draws; the bitmap belongs to the font and the
   next GetBitmap replaces it, so each glyph is drawn again there. */
static int RenderLine(int32_t font, const char *path) {
    KelmorGlyphMetrics m[kCharacters];
    int width = 0, height = 0, pen = 0, left = 0, right = 0, above = 0, below = 0;
    for (int i = 0; i < kCharacters; ++i) {
        if (!GetBitmap(font, kLine + 2 * i, &width, &height, 0) ||
            !GetGlyphMetrics(font, kLine + 2 * i, &m[i])) {
            fprintf(stderr, "character %d did not render: %s\n", i + 1,
                    GetFontErrorText(GetLastFontError()));
            return 0;
        }
        int x = pen - m[i].iOriginX;
        if (x < left) left = x;
        if (x + width > right) right = x + width;
        if (m[i].iOriginY > above) above = m[i].iOriginY;
        if (height - m[i].iOriginY > below) below = height - m[i].iOriginY;
        pen += m[i].iAdvance;
        if (pen > right) right = pen;
    }
    struct Line line = {right - left, above + below, (right - left + 7) / 8, NULL};
    line.bits = calloc((size_t)line.rowBytes * (size_t)line.height + 1, 1);
    if (!line.bits) return 0;
    pen = 0;
    for (int i = 0; i < kCharacters; ++i) {
        const unsigned char *glyph = GetBitmap(font, kLine + 2 * i, &width, &height, 0);
        if (glyph)
            PutGlyph(&line, pen - m[i].iOriginX - left, above - m[i].iOriginY, glyph, width,
                     height);
        pen += m[i].iAdvance;
    }
    int ok = WritePbm(path, &line);
    if (ok)
        printf("wrote %s (%d x %d pixels)\n", path, line.width, line.height);
    else
        fprintf(stderr, "cannot write %s\n", path);
    free(line.bits);
    return ok;
}

int main(int argc, char **argv) {
    const char *fontFile = argc > 1 ? argv[1] : NULL;
    const char *output = argc > 2 ? argv[2] : "japanese.pbm";

    KelmoRegisterApp(NULL);
    if (fontFile) KelmoAddFontResource(fontFile); /* success shows in the listing */

    struct Listing listing = {0, ""};
    KelmoEnumFontFamilies(NULL, NULL, ListFont, (intptr_t)&listing);
    if (listing.count == 0) {
        fprintf(stderr, "no installed fonts (give a .ttf file to install one)\n");
        return 1;
    }

    KELMOR_LOGFONTA lf;
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = -24; /* negative: the character height, in pixels */
    lf.lfCharSet = KELMOR_CHARSET_SHIFTJIS;
    memcpy(lf.lfFaceName, listing.lastFace, sizeof lf.lfFaceName);
    int32_t font = KelmoCreateFontIndirect(&lf);
    if (!font) {
        fprintf(stderr, "cannot create a font from \"%s\"\n", lf.lfFaceName);
        return 1;
    }
    /* A Unicode font reaches Shift-JIS codes only through the concordance
       registered in Kelmor.ini: without it every character is missing. */
    int present = CountPresent(font);
    int ok = present > 0 && RenderLine(font, output);
    if (present == 0)
        fprintf(stderr, "\"%s\" has none of the line's characters; for a Unicode font, "
                        "register the Shift-JIS concordance (kelmor cob --out DIR --register "
                        "Kelmor.ini)\n", lf.lfFaceName);
    KelmoDeleteObject(font);
    return ok ? 0 : 1;
}
