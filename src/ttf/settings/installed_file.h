// How an installed-font entry names its TrueType file (slot 2), a face of a
// collection included.  The first face of a collection, and every single
// font, is named by its path alone, as always; face N >= 1 of a collection
// is named by its path, a '|' and N:
//
//   Ming Light=uming.FOT,/usr/share/fonts/truetype/arphic/uming.ttc,...
//   Ming Medium=uming.FOT,/usr/share/fonts/truetype/arphic/uming.ttc|1,...
//
// A reader that knows no faces takes "uming.ttc|1" for a file name, finds
// no such file and creates no font from the entry: it never draws the first
// face under another face's name.  '|' cannot appear in a Windows file
// name; on other systems a file whose own name ends in '|' and digits is
// still read as that file.
#ifndef KELMOR_TTF_SETTINGS_INSTALLED_FILE_H
#define KELMOR_TTF_SETTINGS_INSTALLED_FILE_H

#include <cstdint>
#include <string>

namespace kelmor {

struct InstalledFontFile {
    std::string path;
    uint32_t face;
};

// The slot text for face `face` of the file at `path`.
std::string InstalledFontFileText(const char *path, uint32_t face);
// The file and face an entry's slot names; face 0 of the slot's text when
// it carries no face number, or when a file of that very name exists.
InstalledFontFile ParseInstalledFontFile(const char *slot);

}  // namespace kelmor

#endif
