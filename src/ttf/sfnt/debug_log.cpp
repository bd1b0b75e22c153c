#include <cstdio>

#include "ttf/sfnt/debug_log.h"

namespace kelmor {

int32_t DebugBits = 0;
FILE *lpLogFile = nullptr;
FILE *Err = nullptr;
uint8_t debug = 0;

void ErrorExit() {
    if (lpLogFile != nullptr) std::fclose(lpLogFile);
    lpLogFile = nullptr;
    Err = nullptr;
}

FILE *SetGlobalDebugLevel(const char *lpszFileName, int iDebugLevel) {
    ErrorExit();
    DebugBits = iDebugLevel;
    debug = uint8_t(iDebugLevel & 1);
    if (iDebugLevel != 0 && lpszFileName != nullptr && lpszFileName[0] != '\0')
        lpLogFile = std::fopen(lpszFileName, "a");
    if (lpLogFile == nullptr) debug = 0;
    if (debug) Err = lpLogFile;
    return lpLogFile;
}

}  // namespace kelmor
