#include "scini/scini.h"

#include <cstdlib>
#include <cstring>

#include "platform/profile.h"
#include "scparse/scparse.h"
#include "common/text.h"

namespace kelmor {

namespace {

constexpr uint32_t kKeyNamesFirstBytes = 8192;
// Beyond this a section is not a settings section; its keys are read only
// up to here.
constexpr uint32_t kKeyNamesMaxBytes = 1024 * 1024;

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
char *ReadWholeValue(const char *lpszFileName, const char *lpszSection, const char *key) {
    constexpr uint32_t kMostBytes = kMaxProfileValueLength + 2;
    for (uint32_t size = kIniValueReadBytes;; size = size * 2 < kMostBytes ? size * 2 : kMostBytes) {
        char *value = static_cast<char *>(std::malloc(size));
        if (!value) return nullptr;
        uint32_t length = ProfileReadString(lpszFileName, lpszSection, key, "", value, size);
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
    for (int32_t i = 0; i + 1 < kIniFieldCapacity; ++i)
        slots[i + 1] = i < found ? TrimWhiteSpace(Arguments[i]) : empty;
    AddIniFieldsType(lppifHead, lppifTail, slots, iType, iMaxFields);
}

// key=field1,field2,...,  with a comma after every field; a null field is
// written as an empty one.
char *JoinFields(const _IniFieldsType *pif) {
    size_t size = 1;
    for (int32_t i = 1; i < pif->iFields; ++i)
        size += (pif->ppFields[i] ? std::strlen(pif->ppFields[i]) : 0) + 1;
    char *value = static_cast<char *>(std::malloc(size));
    if (!value) return nullptr;
    char *end = value;
    for (int32_t i = 1; i < pif->iFields; ++i) {
        size_t length = pif->ppFields[i] ? std::strlen(pif->ppFields[i]) : 0;
        std::memcpy(end, pif->ppFields[i] ? pif->ppFields[i] : "", length);
        end += length;
        *end++ = ',';
    }
    *end = '\0';
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

void FreeJoinedRecords(ProfileChange *entries, size_t count) {
    for (size_t i = 0; i < count; ++i) std::free(const_cast<char *>(entries[i].lpszValue));
    std::free(entries);
}

// Every record with a key as a store entry: the key and the joined fields,
// the values on the heap (FreeJoinedRecords frees them).  False, with
// nothing left allocated, when memory runs out.
bool JoinRecords(_IniFieldsType *pifHead, ProfileChange **entries, size_t *count) {
    size_t records = 0;
    for (_IniFieldsType *pif = pifHead; pif; pif = pif->pNext) ++records;
    *count = 0;
    *entries = static_cast<ProfileChange *>(std::calloc(records + 1, sizeof(ProfileChange)));
    if (!*entries) return false;
    for (_IniFieldsType *pif = pifHead; pif; pif = pif->pNext) {
        if (!pif->ppFields[0]) continue;
        char *value = JoinFields(pif);
        if (!value) {
            FreeJoinedRecords(*entries, *count);
            return false;
        }
        (*entries)[(*count)++] = {pif->ppFields[0], value};
    }
    return true;
}

}  // namespace

// All deletions go first, then all values in list order, so the section's
// keys follow the list; the store applies the batch with one rewrite where
// it can.  A value the store would refuse stops the whole write before
// anything is written: deleting its key first would lose the entry.
void WriteIniTypes(_IniFieldsType *pifHead, const char *lpszFileName, const char *lpszSection) {
    ProfileChange *values;
    size_t count;
    if (!JoinRecords(pifHead, &values, &count)) return;
    bool writable = true;
    for (size_t i = 0; i < count && writable; ++i)
        writable = ProfileTextIsWritable(lpszSection, values[i].lpszKey, values[i].lpszValue);
    auto *changes = static_cast<ProfileChange *>(std::calloc(2 * count + 1, sizeof(ProfileChange)));
    if (writable && changes && count > 0) {
        for (size_t i = 0; i < count; ++i) {
            changes[i] = {values[i].lpszKey, nullptr};
            changes[count + i] = values[i];
        }
        ProfileApplyChanges(lpszFileName, lpszSection, changes, 2 * count);
    }
    std::free(changes);
    FreeJoinedRecords(values, count);
}

bool ReplaceIniSection(_IniFieldsType *pifHead, const char *lpszFileName,
                       const char *lpszSection) {
    ProfileChange *values;
    size_t count;
    if (!JoinRecords(pifHead, &values, &count)) return false;
    bool replaced = ProfileReplaceSection(lpszFileName, lpszSection, values, count);
    FreeJoinedRecords(values, count);
    return replaced;
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
