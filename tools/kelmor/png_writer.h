// Writing an ink mask as a greyscale PNG file (libpng).
#ifndef KELMOR_TOOL_PNG_WRITER_H
#define KELMOR_TOOL_PNG_WRITER_H

#include <string>

#include "glyph_image.h"

namespace kelmor {

// Ink is black and background white, at 1, 2, 4 or 8 bits per pixel.  The file is
// written under a temporary name and renamed into place, so a failed write
// never leaves a broken PNG behind.  False with *error set on failure.
bool WritePng(const std::string &path, const InkImage &image, int bitDepth,
              std::string *error);

}  // namespace kelmor

#endif
