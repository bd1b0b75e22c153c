#include "scini/scini.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "scparse/scparse.h"
#include "common/text.h"

namespace kelmor {

namespace {

constexpr uint32_t kKeyNamesFirstBytes = 8192;
// The store reads no file larger than this, so no section's names need more.
constexpr uint32_t kKeyNamesMaxBytes = 64 * 1024 * 1024;

void ReplaceSlot(char *&slot, const char *text) {
    char *copy = CopyString(text);
    if (!copy) return;  // a failed copy leaves the slot as it was
    std::free(slot);
    slot = copy;
}

// All key names of a section, each terminated, ended by an empty name, in a
// buffer the caller frees; null when memory runs out.  The buffer grows
// until the whole list fits, because a cut list would make a later rewrite
// of the section drop the keys that were not seen.
char *ReadSectionKeyNames(const char *lpszFileName, const char *lpszSection) {
    for (uint32_t size = kKeyNamesFirstBytes;; size *= 2) {
        char *names = static_cast<char *>(std::malloc(size));
        if (!names) return nullptr;
        uint32_t used = ProfileReadKeyNames(lpszFileName, lpszSection, names, size);
        if (used + 2 < size || size >= kKeyNamesMaxBytes) return names;
        std::free(names);
    }
}

char *NextName(char *name) { return name + std::strlen(name) + 1; }

// The whole value of one key, in a buffer the caller frees; null when memory
// runs out.  The buffer grows until the value fits: a value read cut would be
// saved cut by the next rewrite of the section.  One character more than the
// store writes is the most read, so a longer hand-written value still comes
// back too long to be written again.
char *ReadWholeValue(const char *lpszFileName, const char *lpszSection, const char *key,
                     const char *lpszDefault = "") {
    constexpr uint32_t kMostBytes = kMaxProfileValueLength + 2;
    for (uint32_t size = kIniValueReadBytes;; size = size * 2 < kMostBytes ? size * 2 : kMostBytes) {
        char *value = static_cast<char *>(std::malloc(size));
        if (!value) return nullptr;
        uint32_t length = ProfileReadString(lpszFileName, lpszSection, key, lpszDefault, value, size);
        if (length + 1 < size || size == kMostBytes) return value;
        std::free(value);
    }
}

void AppendRecord(_IniFieldsType **lppifHead, _IniFieldsType **lppifTail, _IniFieldsType *pif) {
    pif->pPrev = *lppifTail;
    pif->pNext = nullptr;
    if (*lppifTail)
        (*lppifTail)->pNext = pif;
    else
        *lppifHead = pif;
    *lppifTail = pif;
}

// Splits one value into fields 1 ... iMaxFields - 1 of `slots` (pointers
// into the parser's buffer, or the empty text) and adds the record.
void AddRecordFromValue(_IniFieldsType **lppifHead, _IniFieldsType **lppifTail, int32_t iType,
                        int32_t iMaxFields, char *key, const char *value) {
    static char empty[1];
    char *slots[kIniFieldCapacity] = {key};
    int32_t found = GetQuoteArgsWhole(value, ",", iMaxFields);
    for (int32_t i = 0; i + 1 < kIniFieldCapacity; ++i) {
        bool present = i < found && i < kMaxArguments;
        slots[i + 1] = !present ? empty : ArgumentQuoted[i] ? Arguments[i] : TrimWhiteSpace(Arguments[i]);
    }
    AddIniFieldsType(lppifHead, lppifTail, slots, iType, iMaxFields);
}

// A field that would not read back as written goes in quotes, with its
// quotes doubled: one holding the delimiter or a quote, one equal to the
// comment marker, one with blanks around it (unquoted fields are trimmed).
// Every other field is written as it is, as it always was.
bool FieldNeedsQuotes(const char *field) {
    size_t length = std::strlen(field);
    if (length == 0) return false;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    return std::strpbrk(field, ",\"") || std::strcmp(field, "*") == 0 || isBlank(field[0]) ||
           isBlank(field[length - 1]);
}

void AppendField(std::string *value, const char *field) {
    if (!FieldNeedsQuotes(field)) {
        *value += field;
        return;
    }
    *value += '"';
    for (const char *c = field; *c; ++c) {
        if (*c == '"') *value += '"';
        *value += *c;
    }
    *value += '"';
}

// field1,field2,...,  with a comma after every field; a null field is
// written as an empty one.
std::string JoinFields(const _IniFieldsType *pif) {
    std::string value;
    for (int32_t i = 1; i < pif->iFields; ++i) {
        AppendField(&value, pif->ppFields[i] ? pif->ppFields[i] : "");
        value += ',';
    }
    return value;
}

}  // namespace

_IniFieldsType *AddIniFieldsType(_IniFieldsType **lppifHead, _IniFieldsType **lppifTail,
                                 char **ppszFields, int32_t iType, int32_t iMaxFields) {
    if (!lppifHead || !lppifTail || !ppszFields || !ppszFields[0] || !*ppszFields[0]) return nullptr;
    if (iMaxFields < 1 || iMaxFields > kIniFieldCapacity) return nullptr;
    auto *pif = static_cast<_IniFieldsType *>(std::calloc(1, sizeof(_IniFieldsType)));
    if (!pif) return nullptr;
    pif->ppFields[0] = CopyString(ppszFields[0]);
    if (!pif->ppFields[0]) {
        std::free(pif);
        return nullptr;
    }
    pif->iType = iType;
    pif->iFields = iMaxFields;
    AppendRecord(lppifHead, lppifTail, pif);
    UpdateIniType(pif, ppszFields, iMaxFields);
    return pif;
}

void UpdateIniType(_IniFieldsType *pif, char **ppszFields, int32_t iMaxFields) {
    if (!pif || !ppszFields) return;
    int32_t slots = iMaxFields < pif->iFields ? iMaxFields : pif->iFields;
    for (int32_t i = 1; i < slots; ++i)
        if (ppszFields[i]) ReplaceSlot(pif->ppFields[i], ppszFields[i]);
}

void FreeIniFieldsType(_IniFieldsType *pif) {
    if (!pif) return;
    for (char *field : pif->ppFields) std::free(field);
    std::free(pif);
}

void ZapIniFieldsTypes(_IniFieldsType **lppifHead, _IniFieldsType **lppifTail) {
    if (!lppifHead || !lppifTail) return;
    for (_IniFieldsType *pif = *lppifHead; pif;) {
        _IniFieldsType *next = pif->pNext;
        FreeIniFieldsType(pif);
        pif = next;
    }
    *lppifHead = *lppifTail = nullptr;
}

void RemoveIniFieldsType(_IniFieldsType **lppifHead, _IniFieldsType **lppifTail,
                         _IniFieldsType *pif) {
    if (!lppifHead || !lppifTail || !pif) return;
    if (pif->pPrev)
        pif->pPrev->pNext = pif->pNext;
    else if (*lppifHead == pif)
        *lppifHead = pif->pNext;
    if (pif->pNext)
        pif->pNext->pPrev = pif->pPrev;
    else if (*lppifTail == pif)
        *lppifTail = pif->pPrev;
}

_IniFieldsType *MoveIniFieldToHead(_IniFieldsType **lppifHead, _IniFieldsType **lppifTail,
                                   _IniFieldsType *pif) {
    if (!lppifHead || !lppifTail || !pif || !*lppifHead) return nullptr;
    if (*lppifHead == pif) return pif;
    RemoveIniFieldsType(lppifHead, lppifTail, pif);
    pif->pPrev = nullptr;
    pif->pNext = *lppifHead;
    if (*lppifHead)
        (*lppifHead)->pPrev = pif;
    else
        *lppifTail = pif;
    *lppifHead = pif;
    return pif;
}

_IniFieldsType *FindIniType(_IniFieldsType *pifHead, const char *pszTypeCode) {
    if (!pszTypeCode || !*pszTypeCode) return nullptr;
    for (_IniFieldsType *pif = pifHead; pif; pif = pif->pNext)
        if (pif->ppFields[0] && SameIgnoringCase(pif->ppFields[0], pszTypeCode)) return pif;
    return nullptr;
}

void UpdateIniFromFields(_IniFieldsType *pifHead, char **ppszFields) {
    if (!ppszFields) return;
    _IniFieldsType *pif = FindIniType(pifHead, ppszFields[0]);
    if (pif) UpdateIniType(pif, ppszFields, pif->iFields);
}

_IniFieldsType *GetSelection(_IniFieldsType *pif, int32_t iIdx) {
    if (iIdx <= 0) return nullptr;
    for (; pif && iIdx > 1; --iIdx) pif = pif->pNext;
    return pif;
}

char *TrimWhiteSpace(char *lpszIn) {
    if (!lpszIn) return nullptr;
    for (size_t end = std::strlen(lpszIn); end > 1 && (lpszIn[end - 1] == ' ' || lpszIn[end - 1] == '\t');)
        lpszIn[--end] = '\0';
    while (*lpszIn == ' ' || *lpszIn == '\t') ++lpszIn;
    return lpszIn;
}

void ReadIniFieldsTypes(_IniFieldsType **lppifHead, _IniFieldsType **lppifTail, int32_t iType,
                        int32_t iMaxFields, const char *lpszFileName, const char *lpszSection) {
    if (!lppifHead || !lppifTail || iMaxFields < 1 || iMaxFields > kIniMaxReadFields) return;
    char *names = ReadSectionKeyNames(lpszFileName, lpszSection);
    if (!names) return;
    ZapIniFieldsTypes(lppifHead, lppifTail);
    std::strcpy(ParseCommentStr, "*");
    for (char *name = names; *name; name = NextName(name)) {
        char *value = ReadWholeValue(lpszFileName, lpszSection, name);
        if (value) AddRecordFromValue(lppifHead, lppifTail, iType, iMaxFields, name, value);
        std::free(value);
    }
    std::free(names);
}

namespace {

struct JoinedRecord {
    const char *key;
    std::string value;
};

// The value the file holds for `key`, when it holds the key.  A line break
// is never a stored value, so it stands for "absent".
bool FileValue(const char *lpszFileName, const char *lpszSection, const char *key,
               std::string *value) {
    char *text = ReadWholeValue(lpszFileName, lpszSection, key, "\n");
    if (!text) return false;
    bool present = std::strcmp(text, "\n") != 0;
    if (present) *value = text;
    std::free(text);
    return present;
}

// Every record with a key that the store can hold, key and joined fields;
// false when any record was left out.  For a record left out whose key the
// file holds, `keepFileValue` takes the file's value instead, so that a
// rewrite of the whole section keeps it.
bool JoinWritableRecords(_IniFieldsType *pifHead, const char *lpszFileName,
                         const char *lpszSection, bool keepFileValue,
                         std::vector<JoinedRecord> *records) {
    bool all = true;
    for (_IniFieldsType *pif = pifHead; pif; pif = pif->pNext) {
        if (!pif->ppFields[0]) continue;
        std::string value = JoinFields(pif);
        bool writable = ProfileTextIsWritable(lpszSection, pif->ppFields[0], value.c_str());
        all = all && writable;
        if (writable ||
            (keepFileValue && ProfileTextIsWritable(lpszSection, pif->ppFields[0], "") &&
             FileValue(lpszFileName, lpszSection, pif->ppFields[0], &value)))
            records->push_back({pif->ppFields[0], std::move(value)});
    }
    return all;
}

// All deletions first, then all values in list order.
bool ApplyRecords(const std::vector<JoinedRecord> &records, const char *lpszFileName,
                  const char *lpszSection) {
    std::vector<ProfileChange> changes;
    for (const JoinedRecord &r : records) changes.push_back({r.key, nullptr});
    for (const JoinedRecord &r : records) changes.push_back({r.key, r.value.c_str()});
    return changes.empty() || ProfileApplyChanges(lpszFileName, lpszSection, changes.data(), changes.size());
}

// Reports a record that was left out once the others are written.
bool LeftOut(bool written) {
    if (written) ProfileSetLastError(EINVAL);
    return false;
}

}  // namespace

bool IniRecordIsWritable(const _IniFieldsType *pif, const char *lpszSection) {
    return pif && pif->ppFields[0] &&
           ProfileTextIsWritable(lpszSection, pif->ppFields[0], JoinFields(pif).c_str());
}

bool WriteIniRecord(const _IniFieldsType *pif, const char *lpszFileName, const char *lpszSection) {
    if (!pif || !pif->ppFields[0]) return false;
    std::string value = JoinFields(pif);
    return ProfileWriteString(lpszFileName, lpszSection, pif->ppFields[0], value.c_str());
}

// All deletions go first, then all values in list order, so the section's
// keys follow the list; the store applies the batch with one rewrite where
// it can.  A record the store cannot hold is left out, its key untouched
// (deleting it first would lose the entry), and the others are written.
bool WriteIniTypes(_IniFieldsType *pifHead, const char *lpszFileName, const char *lpszSection) {
    std::vector<JoinedRecord> records;
    bool all = JoinWritableRecords(pifHead, lpszFileName, lpszSection, false, &records);
    bool written = ApplyRecords(records, lpszFileName, lpszSection);
    return all ? written : LeftOut(written);
}

bool ReplaceIniSection(_IniFieldsType *pifHead, const char *lpszFileName,
                       const char *lpszSection) {
    std::vector<JoinedRecord> records;
    bool all = JoinWritableRecords(pifHead, lpszFileName, lpszSection, true, &records);
    std::vector<ProfileChange> entries;
    for (const JoinedRecord &r : records) entries.push_back({r.key, r.value.c_str()});
    bool written = ProfileReplaceSection(lpszFileName, lpszSection, entries.data(), entries.size());
    return all ? written : LeftOut(written);
}

void DeleteAllIniEntries(const char *lpszFileName, const char *lpszSection) {
    char *names = ReadSectionKeyNames(lpszFileName, lpszSection);
    if (!names) return;
    size_t count = 0;
    for (char *name = names; *name; name = NextName(name)) ++count;
    auto *changes = static_cast<ProfileChange *>(std::calloc(count + 1, sizeof(ProfileChange)));
    if (changes) {
        size_t i = 0;
        for (char *name = names; *name; name = NextName(name)) changes[i++] = {name, nullptr};
        ProfileApplyChanges(lpszFileName, lpszSection, changes, count);
    }
    std::free(changes);
    std::free(names);
}

}  // namespace kelmor
