// Opening data files (fonts, concordances) for reading.
#ifndef KELMOR_PLATFORM_FILES_H
#define KELMOR_PLATFORM_FILES_H

#include <cstdio>

namespace kelmor {

// Opens lpszFileName for binary reading when it names a regular file.  A
// FIFO, a device or a directory gives null without being read: opening a
// FIFO would wait for a writer that may never come.
std::FILE *OpenRegularFile(const char *lpszFileName);

}  // namespace kelmor

#endif
