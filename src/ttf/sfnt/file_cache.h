// Recently read stretches of a font file.  Glyphs are read one at a time,
// and a composite glyph reads its components from elsewhere in the file;
// keeping a few windows lets the glyphs and components a text uses again
// come from memory instead of a system call each.
#ifndef KELMOR_TTF_SFNT_FILE_CACHE_H
#define KELMOR_TTF_SFNT_FILE_CACHE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "ttf/records/ttf_records.h"

namespace kelmor {


// Reads count bytes at offset, from a window when one holds all of them;
// otherwise the least recently used window is refilled from offset (a read
// longer than a window goes straight to dst).  Returns the bytes read,
// short only at the end of the file or on an error.
size_t ReadThroughCache(FileCache *cache, std::FILE *file, uint32_t offset, void *dst,
                        size_t count);

}  // namespace kelmor

#endif
