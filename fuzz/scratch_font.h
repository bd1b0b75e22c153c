// The harnesses hand the library a file path, as hosts do: the bytes under
// test go to a scratch file of this process first.
#ifndef KELMOR_FUZZ_SCRATCH_FONT_H
#define KELMOR_FUZZ_SCRATCH_FONT_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelmor_fuzz {

// The scratch file's path, one per process (the fuzzer's jobs run side by
// side).
const std::string &ScratchFontPath();

// Replaces the scratch file's contents; false when it cannot be written.
bool WriteScratchFont(const uint8_t *data, size_t size);

}  // namespace kelmor_fuzz

#endif
