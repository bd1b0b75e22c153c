// Small text helpers shared by every layer: the font object, the ini lists,
// the settings and the platform's own ini store.  They sit below all of them
// and include nothing of the library.  Letter case is folded for ASCII
// letters only: names may be double-byte text, whose trail bytes must never
// change.
#ifndef KELMOR_COMMON_TEXT_H
#define KELMOR_COMMON_TEXT_H

#include <cstdlib>
#include <cstring>

namespace kelmor {

inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Equal but for the case of ASCII letters.
inline bool SameIgnoringCase(const char *a, const char *b) {
    for (; *a && *b; ++a, ++b)
        if (AsciiUpper(*a) != AsciiUpper(*b)) return false;
    return *a == *b;
}

// A heap copy (std::malloc) of a string, or null when memory runs out.
inline char *CopyString(const char *text) {
    size_t size = std::strlen(text) + 1;
    char *copy = static_cast<char *>(std::malloc(size));
    if (copy != nullptr) std::memcpy(copy, text, size);
    return copy;
}

}  // namespace kelmor

#endif
