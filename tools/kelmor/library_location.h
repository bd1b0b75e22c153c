// The tool holds the library's code itself, so left alone it would keep
// its settings beside the tool.  Hosts load the installed libkelmor.so, and
// the library keeps Kelmor.ini beside that file (or where the user
// profile's IniPath says): the tool must use the same file, or the fonts
// it installs are invisible to hosts.
#ifndef KELMOR_TOOL_LIBRARY_LOCATION_H
#define KELMOR_TOOL_LIBRARY_LOCATION_H

#include <string>

namespace kelmor {

// The shared library hosts of this installation load: the library file in
// the library directory of the tool's own prefix, else beside the tool (the
// build tree), else wherever the loader finds it.  "" when there is none.
std::string FindInstalledLibrary();

// Points the settings at the ini file of that library and loads them, as
// the library does when a host loads it.
void UseInstalledLibrarySettings();

}  // namespace kelmor

#endif
