// libFuzzer harness: any byte string as a code-space concordance (.cob).
// Loads it into each slot and converts a spread of two-byte codes through
// it; the sanitizers report anything read outside the file's image.
#include <cstdint>

#include "scratch_font.h"
#include "ttf/concord/scunicod.h"

namespace {

// Codes on every side of the tables' ranges: the first and last lead bytes
// of each code space, their neighbours, and bytes no code space uses.
const char *const kCodes[] = {"\x81\x40", "\x88\x9f", "\x9f\xfc", "\xe0\x40", "\xfc\xfc",
                              "\xa1\x40", "\xa4\x40", "\xf9\xfe", "\xa1\xa1", "\xb0\xa1",
                              "\xf7\xfe", "\x00\x00", "\x7f\x7f", "\xff\xff", "\x80\x80"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!kelmor_fuzz::WriteScratchFont(data, size)) return 0;
    const char *path = kelmor_fuzz::ScratchFontPath().c_str();
    for (int slot : {kelmor::kSlotShiftJis, kelmor::kSlotBig5, kelmor::kSlotGB}) {
        if (kelmor::UniBuffer_new(path, slot) == nullptr) continue;
        for (const char *code : kCodes) {
            kelmor::ShiftJis2Unicode(code);
            kelmor::Big5_Unicode(code);
            kelmor::GB2Unicode(code);
        }
    }
    kelmor::UniBuffers_delete();
    return 0;
}
