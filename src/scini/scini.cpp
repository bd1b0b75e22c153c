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
    int32_t found = GetQuoteArgs(value, ",", iMaxFields);
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
        char value[kIniValueReadBytes];
        ProfileReadString(lpszFileName, lpszSection, name, "", value, sizeof value);
        AddRecordFromValue(lppifHead, lppifTail, iType, iMaxFields, name, value);
    }
    std::free(names);
}

// All deletions go first, then all values in list order, so the section's
// keys follow the list; the store applies the batch with one rewrite where
// it can.
void WriteIniTypes(_IniFieldsType *pifHead, const char *lpszFileName, const char *lpszSection) {
    size_t records = 0;
    for (_IniFieldsType *pif = pifHead; pif; pif = pif->pNext) ++records;
    if (records == 0) return;
    auto *changes = static_cast<ProfileChange *>(std::calloc(2 * records, sizeof(ProfileChange)));
    if (!changes) return;
    size_t count = 0;
    for (_IniFieldsType *pif = pifHead; pif; pif = pif->pNext)
        if (pif->ppFields[0]) changes[count++] = {pif->ppFields[0], nullptr};
    size_t firstValue = count;
    for (_IniFieldsType *pif = pifHead; pif; pif = pif->pNext) {
        char *value = pif->ppFields[0] ? JoinFields(pif) : nullptr;
        if (value) changes[count++] = {pif->ppFields[0], value};
    }
    ProfileApplyChanges(lpszFileName, lpszSection, changes, count);
    for (size_t i = firstValue; i < count; ++i) std::free(const_cast<char *>(changes[i].lpszValue));
    std::free(changes);
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
