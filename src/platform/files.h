// Opening data files (fonts, concordances) for reading.
#ifndef KELMOR_PLATFORM_FILES_H
#define KELMOR_PLATFORM_FILES_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace kelmor {

// Why OpenRegularFile gave null.
enum class FileOpenFailure { kNone, kNotFound, kNotRegular, kUnreadable };

// Opens lpszFileName for binary reading when it names a regular file.  A
// FIFO, a device or a directory gives null without being read: opening a
// FIFO would wait for a writer that may never come.  When it gives null and
// `why` is not null, *why says why.
std::FILE *OpenRegularFile(const char *lpszFileName, FileOpenFailure *why = nullptr);

// Reads up to count bytes at offset straight from the file, bypassing (and
// not disturbing) the stream's buffer; returns the bytes read, short only at
// the end of the file or on an error.
size_t ReadFileRange(std::FILE *file, uint64_t offset, void *dst, size_t count);

// The length of an open file in bytes, or -1 when it cannot be told.  Asks
// the file itself: the stream's position and buffer are left as they are.
int64_t FileLength(std::FILE *file);

}  // namespace kelmor

#endif
