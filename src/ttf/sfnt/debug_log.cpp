#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "ttf/sfnt/debug_log.h"

namespace kelmor {

int32_t DebugBits = 0;
FILE *lpLogFile = nullptr;
FILE *Err = nullptr;
uint8_t debug = 0;

namespace {

std::mutex &LogLock() {
    static std::mutex lock;
    return lock;
}

FILE *LogFor(int bit) { return bit == kLogErrors ? Err : (DebugBits & bit) ? lpLogFile : nullptr; }

void CloseLog() {
    if (lpLogFile != nullptr) std::fclose(lpLogFile);
    lpLogFile = nullptr;
    Err = nullptr;
}

}  // namespace

bool LogWants(int bit) {
    std::lock_guard<std::mutex> hold(LogLock());
    return LogFor(bit) != nullptr;
}

void LogPrintf(int bit, const char *format, ...) {
    std::lock_guard<std::mutex> hold(LogLock());
    FILE *log = LogFor(bit);
    if (log == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(log, format, args);
    va_end(args);
}

void ErrorExit() {
    std::lock_guard<std::mutex> hold(LogLock());
    CloseLog();
}

FILE *SetGlobalDebugLevel(const char *lpszFileName, int iDebugLevel) {
    std::lock_guard<std::mutex> hold(LogLock());
    CloseLog();
    DebugBits = iDebugLevel;
    debug = uint8_t(iDebugLevel & 1);
    if (iDebugLevel != 0 && lpszFileName != nullptr && lpszFileName[0] != '\0')
        lpLogFile = std::fopen(lpszFileName, "a");
    if (lpLogFile == nullptr) debug = 0;
    if (debug) Err = lpLogFile;
    return lpLogFile;
}

}  // namespace kelmor
