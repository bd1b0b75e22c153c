// The library's process entry point: what happens when a process loads and
// unloads the library.
#ifndef KELMOR_TTF_API_KELMOR_ENTRY_H
#define KELMOR_TTF_API_KELMOR_ENTRY_H

#include <cstdint>

namespace kelmor {

// Process attach stores the module handle once and loads the ini path and
// the installed fonts; fdwReason takes the kProcess... and kThread... values
// of platform/module.h.
int32_t DllEntryPoint(void *hinstDll, uint32_t fdwReason, void *plvReserved);

}  // namespace kelmor

#endif
