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

}  // namespace kelmor

#endif
