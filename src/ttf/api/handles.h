// Font handles.
//
// Hosts see a font as a signed 32-bit handle.  A handle is not an address:
// it names a slot of the table of live font objects together with the slot's
// generation, so a closed handle, a handle of another process or any made-up
// number is rejected instead of being dereferenced.  0 is never a handle.
#ifndef KELMOR_TTF_API_HANDLES_H
#define KELMOR_TTF_API_HANDLES_H

#include <cstdint>

namespace kelmor {

struct _TTFont;

// Registers a live font object; 0 when the table is full.
int32_t HandleFromFont(_TTFont *pF);
// The live font object of a handle, or null for 0, stale and foreign values
// and objects whose magic is not "KELM".
_TTFont *FontFromHandle(int32_t lHandle);
// Forgets the handle; the object itself is released by the caller.
void ReleaseHandle(int32_t lHandle);

}  // namespace kelmor

#endif
