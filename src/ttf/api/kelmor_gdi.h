// What the GDI-facing exports share with the tool beyond kelmor.h.
#ifndef KELMOR_TTF_API_KELMOR_GDI_H
#define KELMOR_TTF_API_KELMOR_GDI_H

#include <cstdint>

namespace kelmor {

// Opens the font an installed entry's file slot names (a single font, or a
// face of a collection) as KelmoCreateFontIndirect does; 0 on failure.
int32_t OpenInstalledFont(const char *slot);

}  // namespace kelmor

#endif
