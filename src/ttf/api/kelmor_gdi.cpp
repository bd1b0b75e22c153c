// The GDI-facing exports: the installed double-byte fonts enumerated,
// installed and turned into font handles much as a host would do it with
// the platform's graphics interface.  Nothing here calls that interface: an
// installed font is an entry of the library's ini file, a created font is a
// handle of the rasterizer family.
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"
#include "kelmor.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "ttf/api/handles.h"
#include "ttf/font/font_error.h"
#include "ttf/settings/settings.h"
#include "ttf/font/ttf.h"

using namespace kelmor;

namespace {

// Slots of an installed-font entry.
enum InstalledSlot {
    kSlotTypeface = 0,
    kSlotFotFile = 1,
    kSlotTtfFile = 2,
    kSlotFontSymbolSet = 3,
    kSlotNameEncoding = 4,
    kSlotFullName = 5,
    kSlotBitmapPoints = 6,
    kSlotDocSymbolSet = 7,
};

constexpr int kFullNameId = 4;
constexpr int kMicrosoftPlatform = 3;
constexpr int kFullNameBytes = 64;
constexpr int kDefaultCreateSize = 24;

// Copies at most size - 1 characters and always terminates.
void CopyCut(char *out, const char *text, size_t size) {
    size_t length = std::strlen(text);
    if (length >= size) length = size - 1;
    std::memcpy(out, text, length);
    out[length] = '\0';
}

// The character set an entry is enumerated with: its font symbol set, or
// for a font with a Unicode character map the document symbol set, the
// code space its text arrives in.
uint8_t EnumeratedCharSet(const _IniFieldsType *pif) {
    uint32_t charset = NameCode2Charset(pif->ppFields[kSlotFontSymbolSet]);
    if (charset == csUnicode) charset = NameCode2Charset(pif->ppFields[kSlotDocSymbolSet]);
    return uint8_t(charset);
}

// "C:\F\MINCHO.TTF" -> "MINCHO.FOT": the base name, no directory.
std::string FotNameFor(const char *path) {
    const char *name = path;
    for (const char *c = path; *c; ++c)
        if (std::strchr(kPathSeparators, *c)) name = c + 1;
    const char *dot = std::strrchr(name, '.');
    std::string base = dot ? std::string(name, dot) : std::string(name);
    return base + ".FOT";
}

// The entry KelmoCreateFontIndirect takes for a face name: the one whose
// font symbol set matches the code, else the last one of that name.
_IniFieldsType *EntryForFace(const char *face, const char *code) {
    _IniFieldsType *fallback = nullptr;
    for (_IniFieldsType *pif = pifKELMOHead; pif; pif = pif->pNext) {
        const char *key = pif->ppFields[kSlotTypeface];
        if (!key || !SameIgnoringCase(key, face)) continue;
        fallback = pif;
        const char *symbolSet = pif->ppFields[kSlotFontSymbolSet];
        if (symbolSet && SameIgnoringCase(symbolSet, code)) return pif;
    }
    return fallback;
}

// What the callback is told about one entry.
struct EnumeratedFont {
    std::string face;
    uint8_t charSet;
};

// The entries to report, copied before the first callback: a callback may
// reload the settings (freeing the list) or install a font (growing it),
// and neither may disturb the walk.
std::vector<EnumeratedFont> FontsToEnumerate(const char *lpszFamily) {
    std::vector<EnumeratedFont> fonts;
    for (const _IniFieldsType *pif = pifKELMOHead; pif; pif = pif->pNext) {
        const char *key = pif->ppFields[kSlotTypeface];
        if (key && (!lpszFamily || SameIgnoringCase(key, lpszFamily)))
            fonts.push_back({key, EnumeratedCharSet(pif)});
    }
    return fonts;
}

// The export's code for a failed write of the ini file.
int32_t WriteFailureCode(int error) {
    switch (error) {
    case 0: return 0;
    case EINVAL: return KELMOR_WRITE_UNSTORABLE;
    case EACCES:
    case EPERM:
    case EROFS: return KELMOR_WRITE_DENIED;
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return KELMOR_WRITE_NO_SPACE;
    default: return KELMOR_WRITE_FAILED;
    }
}

// Pixel size of a logical font's height: its magnitude, 0 meaning 24.
int CreateSizeFor(int32_t lfHeight) {
    if (lfHeight == 0) return kDefaultCreateSize;
    int64_t size = lfHeight < 0 ? -int64_t(lfHeight) : int64_t(lfHeight);
    return size > INT32_MAX ? INT32_MAX : int(size);
}

}  // namespace

extern "C" {

int32_t KELMOR_CALL KelmoEnumFontFamilies(void *, const char *lpszFamily,
                                          KELMOR_FONTENUMPROC fntenmprc, intptr_t lParam) {
    if (!fntenmprc) return 0;
    int32_t result = 0;
    for (const EnumeratedFont &font : FontsToEnumerate(lpszFamily)) {
        KELMOR_NEWLOGFONT logFont;
        KELMOR_NEWTEXTMETRICA metrics;
        std::memset(&logFont, 0, sizeof logFont);
        std::memset(&metrics, 0, sizeof metrics);
        CopyCut(logFont.elfLogFont.lfFaceName, font.face.c_str(),
                sizeof logFont.elfLogFont.lfFaceName);
        metrics.tmCharSet = font.charSet;
        logFont.elfLogFont.lfCharSet = metrics.tmCharSet;
        result = fntenmprc(&logFont, &metrics, KELMOR_TRUETYPE_FONTTYPE, lParam);
        if (result == 0) break;
    }
    return result;
}

int32_t KELMOR_CALL KelmoAddFontResource(const char *lpszFilename) {
    if (!lpszFilename) return 0;
    int32_t handle = OpenTTFont(lpszFilename);
    if (handle == 0) return 0;
    const _TTFont *pF = FontFromHandle(handle);

    int platform = kMicrosoftPlatform, encoding = -1, language = -1;
    char fullName[kFullNameBytes], secondName[kFullNameBytes];
    if (GetFontNames(handle, &platform, &encoding, &language, kFullNameId, fullName,
                     sizeof fullName) == 0) {
        platform = -1;
        GetFontNames(handle, &platform, &encoding, &language, kFullNameId, fullName,
                     sizeof fullName);
    }
    // The same lookup again, with the IDs of the record found: the entry
    // keeps the name under which the font was found in both slots.
    GetFontNames(handle, &platform, &encoding, &language, kFullNameId, secondName,
                 sizeof secondName);

    std::string fotName = FotNameFor(lpszFilename);
    char *fields[kKELMOFields] = {
        fullName,
        &fotName[0],
        const_cast<char *>(lpszFilename),
        const_cast<char *>(Charset2NameCode(pF->csFont)),
        const_cast<char *>(PcEncodingID2NameCode(encoding)),
        secondName,
        const_cast<char *>("48"),
        const_cast<char *>("SC"),
    };
    int error = AddInstalledFont(fields);
    CloseTTFont(handle);
    return WriteFailureCode(error);
}

int32_t KELMOR_CALL KelmoAssociateBitmap(int32_t lHandle, int, int iResolution,
                                         const char *lpszFilename) {
    // A handle that names no font has nothing to associate with.
    if (!FontFromHandle(lHandle) || !lpszFilename) return 0;
    int platform = -1, encoding = -1, language = -1;
    char fullName[128];
    GetFontNames(lHandle, &platform, &encoding, &language, kFullNameId, fullName,
                 sizeof fullName);
    if (WriteBitmapAssociation(fullName, iResolution, lpszFilename)) return 0;
    return WriteFailureCode(ProfileLastError());
}

int32_t KELMOR_CALL KelmoRemoveFontResource(const char *) { return 0; }

int32_t KELMOR_CALL KelmoCreateFontIndirect(const KELMOR_LOGFONTA *lplf) {
    if (!lplf) return FailWith(KELMOR_ERROR_BAD_ARGUMENT, 0);
    // The host's face name need not be terminated within its 32 bytes.
    char face[KELMOR_LF_FACESIZE + 1];
    std::memcpy(face, lplf->lfFaceName, KELMOR_LF_FACESIZE);
    face[KELMOR_LF_FACESIZE] = '\0';
    if (!face[0]) return FailWith(KELMOR_ERROR_NOT_INSTALLED, 0);

    const _IniFieldsType *pif = EntryForFace(face, Charset2NameCode(lplf->lfCharSet));
    if (!pif || !pif->ppFields[kSlotTtfFile]) return FailWith(KELMOR_ERROR_NOT_INSTALLED, 0);
    int32_t handle = OpenTTFont(pif->ppFields[kSlotTtfFile]);  // its error says why not
    if (handle == 0) return 0;
    // At 72 dots per inch one point is one pixel.
    if (!SetPointSize(handle, CreateSizeFor(lplf->lfHeight), 72)) {
        CloseTTFont(handle);
        return 0;
    }
    SetEncoding(handle, lplf->lfCharSet);
    return handle;
}

int32_t KELMOR_CALL KelmoDeleteObject(int32_t lHandle) { return CloseTTFont(lHandle); }

}  // extern "C"
