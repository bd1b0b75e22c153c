// The Windows profile store: the system's own private-profile calls.
#include "platform/profile.h"

#include <windows.h>

#include <string>

namespace kelmor {

namespace {

// An empty file name would make the system look for a file in the Windows
// directory; it names no ini file at all.
bool NamesNoFile(const char *lpszFileName) { return lpszFileName && !*lpszFileName; }

thread_local int lastError = 0;

// The system's reason for a failed write as an error number.
int ErrorFromSystem() {
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    default: return EIO;
    }
}

// Records why a change failed and returns false.
bool Fail(int error) {
    lastError = error;
    return false;
}

}  // namespace

int ProfileLastError() { return lastError; }
void ProfileSetLastError(int error) { lastError = error; }

uint32_t ProfileReadKeyNames(const char *lpszFileName, const char *lpszSection, char *lpBuffer,
                             uint32_t uSize) {
    if (!lpBuffer || uSize == 0) return 0;
    lpBuffer[0] = '\0';
    if (uSize < 2 || !lpszSection || NamesNoFile(lpszFileName)) return 0;
    DWORD used = lpszFileName
                     ? GetPrivateProfileStringA(lpszSection, nullptr, "", lpBuffer, uSize,
                                                lpszFileName)
                     : GetProfileStringA(lpszSection, nullptr, "", lpBuffer, uSize);
    // A cut list is not always ended by an empty name; end it here so that
    // walking it stays inside the buffer.
    if (used >= uSize - 2) {
        lpBuffer[uSize - 2] = '\0';
        lpBuffer[uSize - 1] = '\0';
        used = uSize - 2;
    }
    return used;
}

uint32_t ProfileReadString(const char *lpszFileName, const char *lpszSection, const char *lpszKey,
                           const char *lpszDefault, char *lpBuffer, uint32_t uSize) {
    if (!lpBuffer || uSize == 0) return 0;
    if (!lpszDefault) lpszDefault = "";
    // A null key would list the key names instead of reading a value.
    if (!lpszSection || !lpszKey || NamesNoFile(lpszFileName)) {
        lstrcpynA(lpBuffer, lpszDefault, int(uSize));
        return uint32_t(lstrlenA(lpBuffer));
    }
    if (!lpszFileName)
        return GetProfileStringA(lpszSection, lpszKey, lpszDefault, lpBuffer, uSize);
    return GetPrivateProfileStringA(lpszSection, lpszKey, lpszDefault, lpBuffer, uSize,
                                    lpszFileName);
}

namespace {

// A null value asks the system to remove the key.
bool WriteOrDelete(const char *lpszFileName, const char *lpszSection, const char *lpszKey,
                   const char *lpszValue) {
    if (NamesNoFile(lpszFileName)) return Fail(ENOENT);
    std::string stored = ProfileStoredValue(lpszValue);
    const char *value = lpszValue ? stored.c_str() : nullptr;
    BOOL written = lpszFileName
                       ? WritePrivateProfileStringA(lpszSection, lpszKey, value, lpszFileName)
                       : WriteProfileStringA(lpszSection, lpszKey, value);
    return written != FALSE || Fail(ErrorFromSystem());
}

}  // namespace

bool ProfileApplyChanges(const char *lpszFileName, const char *lpszSection,
                         const ProfileChange *pChanges, size_t uCount) {
    lastError = 0;
    int firstError = 0;
    for (size_t i = 0; i < uCount; ++i) {
        const ProfileChange &change = pChanges[i];
        bool done = ProfileTextIsWritable(lpszSection, change.lpszKey, change.lpszValue)
                        ? WriteOrDelete(lpszFileName, lpszSection, change.lpszKey, change.lpszValue)
                        : Fail(EINVAL);
        if (!done && !firstError) firstError = lastError;
    }
    lastError = firstError;
    return firstError == 0;
}

// The section's lines from its first key with an empty name on, each
// terminated.  The list of key names ends at that key, so no list read from
// the file holds them; a replacement keeps them after the new keys.
std::string UnlistedLines(const char *lpszFileName, const char *lpszSection) {
    for (DWORD size = 4096; size <= (DWORD(1) << 24); size *= 2) {
        std::string lines(size, '\0');
        DWORD used = lpszFileName
                         ? GetPrivateProfileSectionA(lpszSection, &lines[0], size, lpszFileName)
                         : GetProfileSectionA(lpszSection, &lines[0], size);
        if (used + 2 >= size) continue;  // cut: try a larger buffer
        lines.resize(used);
        for (size_t start = 0; start < lines.size(); start = lines.find('\0', start) + 1)
            if (lines[start] == '=') return lines.substr(start);
        return "";
    }
    return "";
}

// The system replaces a section in one write from a list of "key=value"
// texts, each terminated, ended by an empty text.
bool ProfileReplaceSection(const char *lpszFileName, const char *lpszSection,
                           const ProfileChange *pEntries, size_t uCount) {
    lastError = 0;
    if (NamesNoFile(lpszFileName)) return Fail(ENOENT);
    if (!ProfileSectionIsWritable(lpszSection)) return Fail(EINVAL);
    std::string lines;
    for (size_t i = 0; i < uCount; ++i) {
        if (!pEntries[i].lpszValue ||
            !ProfileTextIsWritable(lpszSection, pEntries[i].lpszKey, pEntries[i].lpszValue))
            return Fail(EINVAL);
        lines += std::string(pEntries[i].lpszKey) + "=" + ProfileStoredValue(pEntries[i].lpszValue);
        lines += '\0';
    }
    lines += UnlistedLines(lpszFileName, lpszSection);
    lines += '\0';
    BOOL written = lpszFileName
                       ? WritePrivateProfileSectionA(lpszSection, lines.c_str(), lpszFileName)
                       : WriteProfileSectionA(lpszSection, lines.c_str());
    return written != FALSE || Fail(ErrorFromSystem());
}

}  // namespace kelmor
