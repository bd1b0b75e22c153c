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
#include "ttf/api/kelmor_gdi.h"
#include "ttf/font/font_error.h"
#include "ttf/settings/installed_file.h"
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

// The first face opens as hosts have always opened installed fonts; the
// others through the entry that reaches a collection's faces.
int32_t OpenFace(const char *path, uint32_t face) {
    return face == 0 ? OpenTTFont(path) : OpenTTFontFace(path, int32_t(face));
}

// What an installed entry records of one face of a font file.
struct InstalledFace {
    std::string file;  // slot 2: the path, with the face number past face 0
    int16_t charset;
    int encoding;      // of the name record the full name came from
    char fullName[kFullNameBytes], secondName[kFullNameBytes];
};

void ReadFace(int32_t handle, const char *path, uint32_t face, InstalledFace *out) {
    int platform = kMicrosoftPlatform, encoding = -1, language = -1;
    if (GetFontNames(handle, &platform, &encoding, &language, kFullNameId, out->fullName,
                     sizeof out->fullName) == 0) {
        platform = -1;
        GetFontNames(handle, &platform, &encoding, &language, kFullNameId, out->fullName,
                     sizeof out->fullName);
    }
    // The same lookup again, with the IDs of the record found: the entry
    // keeps the name under which the font was found in both slots.
    GetFontNames(handle, &platform, &encoding, &language, kFullNameId, out->secondName,
                 sizeof out->secondName);
    out->file = InstalledFontFileText(path, face);
    out->charset = FontFromHandle(handle)->csFont;
    out->encoding = encoding;
}

bool SameFullName(const std::vector<InstalledFace> &faces, const InstalledFace &face) {
    for (const InstalledFace &f : faces)
        if (std::strcmp(f.fullName, face.fullName) == 0) return true;
    return false;
}

// Every face of the file, a single font's one face or each face of a
// collection.  A collection is installed whole or not at all: one face
// that does not open (a directory outside the file, a face the library
// cannot draw) leaves the list as it was.  A face named like an earlier
// one would only replace its key, and is left out.
bool ReadFaces(const char *path, std::vector<InstalledFace> *faces) {
    uint32_t count = 1;
    for (uint32_t face = 0; face < count; ++face) {
        const int32_t handle = OpenFace(path, face);
        if (handle == 0) return false;
        count = FontFromHandle(handle)->FaceCount;
        InstalledFace read;
        ReadFace(handle, path, face, &read);
        CloseTTFont(handle);
        if (!SameFullName(*faces, read)) faces->push_back(read);
    }
    return true;
}

// Pixel size of a logical font's height: its magnitude, 0 meaning 24.
int CreateSizeFor(int32_t lfHeight) {
    if (lfHeight == 0) return kDefaultCreateSize;
    int64_t size = lfHeight < 0 ? -int64_t(lfHeight) : int64_t(lfHeight);
    return size > INT32_MAX ? INT32_MAX : int(size);
}

}  // namespace

int32_t kelmor::OpenInstalledFont(const char *slot) {
    const InstalledFontFile file = ParseInstalledFontFile(slot);
    return OpenFace(file.path.c_str(), file.face);
}

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
    std::vector<InstalledFace> faces;
    if (!ReadFaces(lpszFilename, &faces)) return 0;
    std::string fotName = FotNameFor(lpszFilename);
    for (InstalledFace &face : faces) {
        char *fields[kKELMOFields] = {
            face.fullName,
            &fotName[0],
            &face.file[0],
            const_cast<char *>(Charset2NameCode(face.charset)),
            const_cast<char *>(PcEncodingID2NameCode(face.encoding)),
            face.secondName,
            const_cast<char *>("48"),
            const_cast<char *>("SC"),
        };
        const int error = AddInstalledFont(fields);
        if (error != 0) return WriteFailureCode(error);
    }
    return 0;
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
    int32_t handle = OpenInstalledFont(pif->ppFields[kSlotTtfFile]);  // its error says why not
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
