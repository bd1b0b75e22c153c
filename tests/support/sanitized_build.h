// Whether this test program runs under AddressSanitizer: suites that walk
// whole fonts sample them there, where every glyph costs many times more.
#ifndef KELMOR_TESTS_SANITIZED_BUILD_H
#define KELMOR_TESTS_SANITIZED_BUILD_H

namespace kelmor_test {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitizedBuild = true;
#else
constexpr bool kSanitizedBuild = false;
#endif
#else
constexpr bool kSanitizedBuild = false;
#endif

}  // namespace kelmor_test

#endif
