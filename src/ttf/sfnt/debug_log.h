// The library-wide debug log (SetDebugLevel): errors, the cmap listing and
// the name listing are appended to one file while it is open.
#ifndef KELMOR_TTF_SFNT_DEBUG_LOG_H
#define KELMOR_TTF_SFNT_DEBUG_LOG_H

#include <cstdint>
#include <cstdio>

namespace kelmor {

extern int32_t DebugBits;
extern FILE *lpLogFile;
extern FILE *Err;
extern uint8_t debug;

FILE *SetGlobalDebugLevel(const char *lpszFileName, int iDebugLevel);
void ErrorExit();

// Log bits: errors (Err), the cmap listing, the name listing.
constexpr int kLogErrors = 1;
constexpr int kLogCmap = 4;
constexpr int kLogNames = 8;
// Whether the log is open for messages of `bit`.
bool LogWants(int bit);
// Appends a formatted message to the log when it is open for `bit`.  Fonts
// are read on any thread: one message is written at a time, and never to a
// log another thread is closing.
void LogPrintf(int bit, const char *format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace kelmor

#endif
