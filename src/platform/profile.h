// The profile store: ini files in the Windows text format ("[section]" lines
// followed by "key=value" lines).
//
// kelmor32.dll uses the Win32 private-profile calls.  On Linux the library
// keeps its own store with the same semantics: section and key names compare
// ignoring letter case, values are read with surrounding blanks and one pair
// of matching surrounding quotes removed (and written so that they read back
// as given, see ProfileStoredValue), lines starting with ';', unknown
// sections and lines the store does not understand are kept untouched, CRLF
// and LF line ends are both read (a rewritten file keeps the ending of its
// first line; a new file gets CRLF).  Odd files read as the Windows calls
// read them: a UTF-8 byte-order mark is skipped, a key written twice is
// listed twice and its first value read, blanks before a key are dropped,
// and a key with an empty name ("=value") ends the list of key names.
// Every change replaces the file as a whole (a temporary file in the same
// directory with the old file's owner and mode, then a rename), so an
// interrupted write never leaves a broken ini file; a file with several
// hard links, or in a directory that takes no new file, is rewritten in
// place instead, with the whole new text prepared first.  Writers take
// turns through an advisory lock (flock) on the file, so concurrent changes
// from several processes are all kept.  A file that exists but cannot be
// read, or that the caller may not write, is never written over; nor is a
// file over 64 MiB, which reads as empty (ini files are small: the limit
// only bounds the memory a stray file can take).  A symbolic link is written
// through: the file it names changes (or is created), the link stays.
//
// An empty lpszFileName names no file: reads give the default, writes fail.
//
// A null lpszFileName names the user profile, which may hold the
// "IniPath" entry that locates the library's ini file.  On Windows that is
// win.ini.  On Linux it is the file named by the environment variable
// KELMOR_PROFILE when that is set and non-empty, else
// $XDG_CONFIG_HOME/kelmor/profile.ini, else $HOME/.config/kelmor/profile.ini;
// its directory is created on the first write.
#ifndef KELMOR_PLATFORM_PROFILE_H
#define KELMOR_PLATFORM_PROFILE_H

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace kelmor {

// Copies the names of all keys of lpszSection into lpBuffer, each followed
// by a terminator, the list ended by an empty name.  When they do not fit,
// the list is cut and still ended properly, and the result is uSize - 2.
// Returns the number of bytes stored, not counting the final terminator.
// A missing file or section gives an empty list.
uint32_t ProfileReadKeyNames(const char *lpszFileName, const char *lpszSection,
                             char *lpBuffer, uint32_t uSize);

// Copies the value of lpszKey, or lpszDefault when there is none, into
// lpBuffer, cut to uSize - 1 characters.  Returns the length stored.
uint32_t ProfileReadString(const char *lpszFileName, const char *lpszSection,
                           const char *lpszKey, const char *lpszDefault, char *lpBuffer,
                           uint32_t uSize);

// One change of a batch: a null lpszValue removes the key.
struct ProfileChange {
    const char *lpszKey;
    const char *lpszValue;
};

// Applies the changes to one section in order, each as ProfileWriteString
// or ProfileDeleteKey would, rewriting the file once where the store can.
// Changes the store refuses are skipped; false when any was refused or the
// file could not be written.
bool ProfileApplyChanges(const char *lpszFileName, const char *lpszSection,
                         const ProfileChange *pChanges, size_t uCount);

// Makes the section hold exactly these keys with these values (none may be
// null), in this order, in one change of the file: a reader sees the old
// section or the new one, never an empty one.  The section is added when
// missing; its header stays when the list is empty.  Refused as a whole,
// the file unchanged, when any entry is one the store refuses.
bool ProfileReplaceSection(const char *lpszFileName, const char *lpszSection,
                           const ProfileChange *pEntries, size_t uCount);

// Sets lpszKey = lpszValue, adding the section and the key when they are
// missing.  False when the store refused or failed; the file is then as it
// was.
inline bool ProfileWriteString(const char *lpszFileName, const char *lpszSection,
                               const char *lpszKey, const char *lpszValue) {
    if (!lpszValue) return false;
    ProfileChange change{lpszKey, lpszValue};
    return ProfileApplyChanges(lpszFileName, lpszSection, &change, 1);
}

// Removes lpszKey from the section; the section header stays.  Removing a
// key that is not there succeeds and changes nothing.
inline bool ProfileDeleteKey(const char *lpszFileName, const char *lpszSection,
                             const char *lpszKey) {
    ProfileChange change{lpszKey, nullptr};
    return ProfileApplyChanges(lpszFileName, lpszSection, &change, 1);
}

// Why the last change of the calling thread failed: 0 after a success,
// EINVAL for a name or value the store cannot hold (see
// ProfileTextIsWritable), else the system's error number (EACCES, EROFS,
// ENOSPC, EFBIG, EIO, ...).  Only the writing calls set it.
int ProfileLastError();
// For callers that refuse a text before asking the store: sets what
// ProfileLastError reports.
void ProfileSetLastError(int error);

// The cause of a failed change as text for a message.
inline const char *ProfileErrorText(int error) {
    if (error == EINVAL) return "a name or value an ini file cannot hold (a line break, or '=' in a name)";
    return std::strerror(error);
}

// Reading a value drops the blanks around it and one pair of matching
// quotes (" or ') around it, as the Windows profile calls do.  A value that
// would lose either is written inside one more pair of double quotes, which
// the reader takes away again, so every value reads back as written.  Both
// stores write the same bytes.
inline bool ProfileValueNeedsQuotes(const char *lpszValue) {
    size_t length = lpszValue ? std::strlen(lpszValue) : 0;
    if (length == 0) return false;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    char first = lpszValue[0], last = lpszValue[length - 1];
    bool quoted = length >= 2 && (first == '"' || first == '\'') && last == first;
    return isBlank(first) || isBlank(last) || quoted;
}

inline std::string ProfileStoredValue(const char *lpszValue) {
    std::string value = lpszValue ? lpszValue : "";
    return ProfileValueNeedsQuotes(lpszValue) ? '"' + value + '"' : value;
}

// The longest value either store reads back whole (the Windows profile
// calls under Wine give nothing at all for values of 32767 characters and
// more).  Longer values are refused, never stored to come back cut.
constexpr uint32_t kMaxProfileValueLength = 16383;

// A ']' or a line break would end a section name early.
inline bool ProfileSectionIsWritable(const char *lpszSection) {
    return lpszSection && !std::strpbrk(lpszSection, "]\r\n");
}

// Texts that would not read back as written: a line break anywhere would
// start a new line of the file, a '=' would end the key early, a ']' would
// end the section name early, a key starting with '[' or ';' would read as
// a section or a comment, blanks around a key would be dropped when it is
// read back, a value longer than kMaxProfileValueLength would
// come back cut.  Both stores refuse them rather than corrupt the file.
inline bool ProfileTextIsWritable(const char *lpszSection, const char *lpszKey,
                                  const char *lpszValue) {
    auto hasAny = [](const char *text, const char *set) {
        return text && std::strpbrk(text, set) != nullptr;
    };
    if (!ProfileSectionIsWritable(lpszSection) || !lpszKey || !*lpszKey) return false;
    if (hasAny(lpszKey, "=\r\n")) return false;
    if (*lpszKey == '[' || *lpszKey == ';') return false;
    // Blanks around a key are dropped when the file is read.
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    if (isBlank(lpszKey[0]) || isBlank(lpszKey[std::strlen(lpszKey) - 1])) return false;
    return !hasAny(lpszValue, "\r\n") &&
           (!lpszValue || std::strlen(lpszValue) <= kMaxProfileValueLength);
}

}  // namespace kelmor

#endif
