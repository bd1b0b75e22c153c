#include "ttf/font/font_error.h"

#include <iterator>

#include "kelmor.h"

namespace kelmor {

namespace {

thread_local int32_t tLastError = KELMOR_ERROR_NONE;

// Indexed by code; kelmor.h shows the same texts beside the codes.
const char *const kErrorTexts[] = {
    "no error",
    "not the handle of an open font",
    "a null pointer or a negative face number",
    "the file does not exist",
    "the file cannot be opened for reading (no permission?)",
    "a directory, device or pipe, not a file",
    "not a TrueType font or collection",
    "the collection has no face of that number",
    "outlines in a form the library cannot draw (CFF2, a damaged CFF table, or embedded bitmaps only)",
    "a table the library needs (head, maxp, name or cmap) is missing or damaged",
    "more than 1,260 points in a glyph or the twilight zone, which OpenTTFont serves only in the "
    "faithful mode (Faithful=1 in section [Rendering] of Kelmor.ini; OpenTTFontFace opens it "
    "always)",
    "instruction definitions (IDEF), which OpenTTFont serves only in the faithful mode "
    "(Faithful=1 in section [Rendering] of Kelmor.ini; OpenTTFontFace opens it always)",
    "more zones, contours, stack, storage or functions than the interpreter holds",
    "out of memory",
    "too many fonts are open",
    "a size this font cannot be drawn at (size times resolution above 131071, or a box too large)",
    "no size set: call SetPointSize first",
    "the encoding cannot reach this font's character map",
    "no concordance registered for this encoding: call KelmoRegisterApp first (the ini "
    "file's section [Code Space Concordances] names the files; kelmor cob --register "
    "writes it), or the file cannot be read",
    "the font has no glyph for this code",
    "no installed font has that face name",
};
static_assert(std::size(kErrorTexts) == KELMOR_ERROR_NOT_INSTALLED + 1, "a text for every code");

}  // namespace

void SetFontError(int32_t code) { tLastError = code; }

int32_t LastFontError() { return tLastError; }

const char *FontErrorText(int32_t code) {
    if (code < 0 || code >= int32_t(std::size(kErrorTexts))) return "unknown error";
    return kErrorTexts[code];
}

}  // namespace kelmor
