// Bounded reading of the font file and of raw big-endian fields, shared by the
// table readers.  Every offset and length in a font file may lie; these
// helpers are where that is checked.
#ifndef KELMOR_TTF_SFNT_TTF_READ_H
#define KELMOR_TTF_SFNT_TTF_READ_H

#include <cstddef>
#include <cstdint>

#include "ttf/records/ttf_records.h"

namespace kelmor {

uint32_t TableOffset(const TableDirectoryStruct *pEntry);
uint32_t TableLength(const TableDirectoryStruct *pEntry);

// True when the entry exists and its whole extent lies inside the file.
bool TableInFile(const _TTFont *pF, const TableDirectoryStruct *pEntry);

// The directory entry with this tag (for tables outside the known-tag
// list), or null.
const TableDirectoryStruct *TableTagged(const _TTFont *pF, const char tag[4]);

// Reads up to `count` bytes at file offset `offset`; the number read.
size_t ReadFileAt(_TTFont *pF, uint32_t offset, void *dst, size_t count);


// True when [offset, offset + count) lies inside a buffer of `size` bytes.
inline bool SpanInside(uint64_t offset, uint64_t count, uint64_t size) {
    return offset <= size && count <= size - offset;
}

}  // namespace kelmor

#endif
