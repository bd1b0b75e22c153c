// The reason of the calling thread's last failed call, as GetLastFontError
// reports it (the KELMOR_ERROR_ codes of kelmor.h), and each code's text.
#ifndef KELMOR_TTF_FONT_FONT_ERROR_H
#define KELMOR_TTF_FONT_FONT_ERROR_H

#include <cstdint>

namespace kelmor {

// Every thread keeps its own code, so that a host drawing on several
// threads reads the reason of its own call, not another thread's.
void SetFontError(int32_t code);
int32_t LastFontError();
// The text of a code; "unknown error" for a value that is none.
const char *FontErrorText(int32_t code);

// Records why a call fails and gives the call's failure result.
template <typename T>
T FailWith(int32_t code, T result) {
    SetFontError(code);
    return result;
}

}  // namespace kelmor

#endif
