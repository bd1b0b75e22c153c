// Windows font resource files (.FOT): a 16-bit NE executable whose
// resources are a font directory (type 7) and the name of the TrueType file
// it stands for (type 204).  Read only, to learn which .ttf file an
// installed platform font uses.
#ifndef KELMOR_TTF_INSTALL_FOT_H
#define KELMOR_TTF_INSTALL_FOT_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "ttf/install/exehdr.h"

namespace kelmor {

constexpr int32_t kFontDirectoryType = 7;
constexpr int32_t kTrueTypeFileType = 204;
constexpr size_t kFontFileBytes = 128;        // szFontFile128
constexpr size_t kFontDirBytes = 256;         // pFD256
constexpr size_t kFontDirFixedBytes = 115;    // FontDirEntry up to szDeviceName

// The fields of a font directory entry this library shows or keeps.
struct FontDirInfo {
    uint16_t dfVersion;
    std::string copyright;  // dfCopyright, up to its terminator
    uint16_t dfPoints;
    uint16_t dfWeight;
    uint8_t dfCharSet;
    uint8_t dfPitchAndFamily;
    uint32_t dfFace;
    std::string deviceName;
    std::string faceName;
};

// Decodes the first entry of a font directory resource (a 16-bit count
// followed by the entries).  False when the entry or its two names do not
// lie, terminated, within the resource.  An empty face name after a device
// name is taken to be a file whose writer put the face name first.
bool ReadFontDirEntry(const uint8_t *resource, size_t size, FontDirInfo *info);

// Reads one resource of a loaded file.  A font directory is shown in a
// message box (caption szFileName, OK and Cancel); on OK its first 115
// bytes and the face name are copied to pFD256 and the result is 1.  A
// TrueType file name is copied, cut to 127 characters, to szFontFile128
// (result 0).  Anything else, or a resource that cannot be read, gives 0.
int DisplayResource(const EXEINFO *pExeInfo, const tgRESTYPE *pType, const RESINFO2 *pRes,
                    const char *szFileName, char *szFontFile128, uint8_t *pFD256);

// Loads a .FOT file, takes its TrueType file name and asks the user about
// its font directory entry.  1 when the user accepted; 0 when declined or
// when the file lacks either resource ("Don't understand this file" is
// shown); LoadExeInfo's negative code when the file cannot be loaded.
int DoFOT(const char *szFileName, char *szFontFile128, uint8_t *pFD256);

// Whether a TrueType file name DoFOT yielded fills its buffer, and so may
// have been cut: a cut path names another file, or none, and must not be
// used.
inline bool FontFileNameMayBeCut(const char *szFontFile128) {
    return std::strlen(szFontFile128) >= kFontFileBytes - 1;
}

}  // namespace kelmor

#endif
