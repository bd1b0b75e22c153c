#include "ttf/install/fot.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/message_box.h"

namespace kelmor {

namespace {

// A font directory entry, offsets from its start (little-endian):
//   0 fontOrdinal   2 dfVersion   4 dfSize(4)   8 dfCopyright[60]
//  68 dfType  70 dfPoints  72 dfVertRes  74 dfHorizRes  76 dfAscent
//  78 dfInternalLeading  80 dfExternalLeading  82 dfItalic(1)
//  83 dfUnderline(1)  84 dfStrikeOut(1)  85 dfWeight  87 dfCharSet(1)
//  88 dfPixWidth  90 dfPixHeight  92 dfPitchAndFamily(1)  93 dfAvgWidth
//  95 dfMaxWidth  97 dfFirstChar(1) 98 dfLastChar(1) 99 dfDefaultChar(1)
// 100 dfBreakChar(1)  101 dfWidthBytes  103 dfDevice(4)  107 dfFace(4)
// 111 dfReserved(4)  115 szDeviceName, then szFaceName, both terminated.
constexpr size_t kEntryStart = 2;  // after the directory's entry count
constexpr size_t kCopyrightAt = 8;
constexpr size_t kCopyrightBytes = 60;
constexpr size_t kMaxFaceChars = kFontDirBytes - kFontDirFixedBytes - 1;

uint16_t Le16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t *p) { return Le16(p) | (uint32_t(Le16(p + 2)) << 16); }

// The terminated text at `at` within [begin, end), or false.
bool TerminatedText(const uint8_t *at, const uint8_t *end, std::string *text, const uint8_t **next) {
    const void *nul = std::memchr(at, 0, size_t(end - at));
    if (!nul) return false;
    text->assign(reinterpret_cast<const char *>(at), static_cast<const uint8_t *>(nul) - at);
    *next = static_cast<const uint8_t *>(nul) + 1;
    return true;
}

std::string MessageFor(const FontDirInfo &info) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "Char Set      %d\n Pitch & Fam  %d\n Weight        %d\n Face Code    %" PRIx32
                  "\n DBCS 'Name' '%.300s'",
                  info.dfCharSet, info.dfPitchAndFamily, info.dfWeight, info.dfFace,
                  info.faceName.c_str());
    return text;
}

// The entry's fixed part and its face name in place of the device name.
// A face name longer than the 256-byte block allows is cut.
void KeepFontDirEntry(const uint8_t *entry, const std::string &faceName, uint8_t *pFD256) {
    size_t faceChars = faceName.size() < kMaxFaceChars ? faceName.size() : kMaxFaceChars;
    std::memcpy(pFD256, entry, kFontDirFixedBytes);
    std::memcpy(pFD256 + kFontDirFixedBytes, faceName.data(), faceChars);
    pFD256[kFontDirFixedBytes + faceChars] = 0;
}

int ShowFontDirectory(const std::vector<uint8_t> &resource, const char *szFileName,
                      uint8_t *pFD256) {
    FontDirInfo info;
    if (!ReadFontDirEntry(resource.data(), resource.size(), &info)) return 0;
    std::string text = MessageFor(info);
    if (ShowMessageBox(text.c_str(), szFileName, kMbOkCancel) != kIdOk) return 0;
    if (pFD256) KeepFontDirEntry(resource.data() + kEntryStart, info.faceName, pFD256);
    return 1;
}

void KeepFontFileName(const std::vector<uint8_t> &resource, char *szFontFile128) {
    if (!szFontFile128) return;
    size_t length = 0;
    while (length < resource.size() && length < kFontFileBytes - 1 && resource[length]) ++length;
    if (length > 0) std::memcpy(szFontFile128, resource.data(), length);
    szFontFile128[length] = '\0';
}

// The first resource of the last numbered type `number` listed.
const tgRESTYPE *LastTypeNumbered(const tgRESTYPE *types, int32_t number) {
    const tgRESTYPE *found = nullptr;
    for (const tgRESTYPE *t = types; t; t = t->pNext)
        if (ResourceNumber(t->wType) == number && t->wCount > 0) found = t;
    return found;
}

}  // namespace

bool ReadFontDirEntry(const uint8_t *resource, size_t size, FontDirInfo *info) {
    if (size < kEntryStart + kFontDirFixedBytes) return false;
    const uint8_t *entry = resource + kEntryStart;
    const uint8_t *end = resource + size;
    const uint8_t *next = nullptr;
    if (!TerminatedText(entry + kFontDirFixedBytes, end, &info->deviceName, &next) ||
        !TerminatedText(next, end, &info->faceName, &next))
        return false;
    // Some writers (Wine's CreateScalableFontResource) leave the device name
    // out and put the face name first, followed by an empty string: the
    // only name there is is then the face name.
    if (info->faceName.empty()) info->faceName.swap(info->deviceName);
    const char *copyright = reinterpret_cast<const char *>(entry + kCopyrightAt);
    info->copyright.assign(copyright, strnlen(copyright, kCopyrightBytes));
    info->dfVersion = Le16(entry + 2);
    info->dfPoints = Le16(entry + 70);
    info->dfWeight = Le16(entry + 85);
    info->dfCharSet = entry[87];
    info->dfPitchAndFamily = entry[92];
    info->dfFace = Le32(entry + 107);
    return true;
}

int DisplayResource(const EXEINFO *pExeInfo, const tgRESTYPE *pType, const RESINFO2 *pRes,
                    const char *szFileName, char *szFontFile128, uint8_t *pFD256) {
    if (!pExeInfo || !pType || !pRes || pExeInfo->NewHdr.wExpVersion < 0x0300) return 0;
    std::vector<uint8_t> resource;
    ShowBusyCursor(true);
    bool read = ReadResourceBytes(pExeInfo, pRes, &resource);
    ShowBusyCursor(false);
    if (!read) return 0;
    switch (ResourceNumber(pType->wType)) {
        case kFontDirectoryType: return ShowFontDirectory(resource, szFileName, pFD256);
        case kTrueTypeFileType: KeepFontFileName(resource, szFontFile128); return 0;
        default: return 0;
    }
}

int DoFOT(const char *szFileName, char *szFontFile128, uint8_t *pFD256) {
    EXEINFO *info = nullptr;
    int32_t rc = LoadExeInfo(szFileName, &info);
    if (rc < 0) return rc;
    // A file-name resource that cannot be read must not leave an earlier
    // call's name behind.
    if (szFontFile128) szFontFile128[0] = '\0';
    const tgRESTYPE *directory = LastTypeNumbered(info->pResTable, kFontDirectoryType);
    const tgRESTYPE *fileName = LastTypeNumbered(info->pResTable, kTrueTypeFileType);
    int accepted = 0;
    if (!directory || !fileName) {
        ShowMessageBox("Don't understand this file", szFileName, kMbOk);
    } else {
        DisplayResource(info, fileName, fileName->pResInfoArray, szFileName, szFontFile128, pFD256);
        accepted = DisplayResource(info, directory, directory->pResInfoArray, szFileName,
                                   szFontFile128, pFD256);
    }
    FreeExeInfoMemory(info);
    return accepted;
}

}  // namespace kelmor
