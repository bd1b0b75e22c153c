// One ini section held in memory as a doubly linked list of records, one
// record per key, with the key's value split into string fields.
//
// A list is a head and a tail pointer owned by the caller (both null when
// empty); the operations take their addresses.  A record owns heap copies of
// its strings and the list owns its records.
#ifndef KELMOR_SCINI_SCINI_H
#define KELMOR_SCINI_SCINI_H

#include <cstdint>

namespace kelmor {

constexpr int32_t kIniFieldCapacity = 30;     // slots of one record, key included
constexpr int32_t kIniMaxReadFields = 29;     // largest iMaxFields a section is read with
constexpr uint32_t kIniValueReadBytes = 256;  // first buffer for a value; longer ones grow it

struct _IniFieldsType {
    _IniFieldsType *pNext;
    _IniFieldsType *pPrev;
    int32_t iType;    // the creator's tag for the list's kind; never interpreted here
    int32_t iFields;  // slots in use, the key included
    // Slot 0 is the key, slots 1 ... iFields - 1 the value's fields.  Slots
    // never set, and all slots from iFields on, are null.
    char *ppFields[kIniFieldCapacity];
};

// Appends a record with iMaxFields slots (1 ... kIniFieldCapacity) holding a
// copy of the key ppszFields[0] and of the value fields.  Null when the key
// is missing or empty, iMaxFields is out of range or memory runs out; the
// list is then unchanged.
_IniFieldsType *AddIniFieldsType(_IniFieldsType **lppifHead, _IniFieldsType **lppifTail,
                                 char **ppszFields, int32_t iType, int32_t iMaxFields);
// Replaces value fields 1 ... min(pif->iFields, iMaxFields) - 1 by copies of
// the non-null strings of ppszFields; the key never changes.
void UpdateIniType(_IniFieldsType *pif, char **ppszFields, int32_t iMaxFields);
// Frees a record that is no longer in any list.
void FreeIniFieldsType(_IniFieldsType *pif);
void ZapIniFieldsTypes(_IniFieldsType **lppifHead, _IniFieldsType **lppifTail);
// Unlinks pif without freeing it or clearing its own links.
void RemoveIniFieldsType(_IniFieldsType **lppifHead, _IniFieldsType **lppifTail,
                         _IniFieldsType *pif);
_IniFieldsType *MoveIniFieldToHead(_IniFieldsType **lppifHead, _IniFieldsType **lppifTail,
                                   _IniFieldsType *pif);
// The first record whose key equals pszTypeCode ignoring letter case.
_IniFieldsType *FindIniType(_IniFieldsType *pifHead, const char *pszTypeCode);
// Updates the record whose key is ppszFields[0], if there is one.
void UpdateIniFromFields(_IniFieldsType *pifHead, char **ppszFields);
// The iIdx-th record counting from 1, or null.
_IniFieldsType *GetSelection(_IniFieldsType *pif, int32_t iIdx);
// Cuts trailing spaces and tabs in place and returns the text after the
// leading ones.
char *TrimWhiteSpace(char *lpszIn);

// Replaces the list with the keys of lpszSection: every record gets
// iMaxFields slots, all non-null, missing trailing fields empty.  Fields
// are split at commas and trimmed; a field that begins with a quote is
// taken as written between its quotes (a doubled quote inside is one
// quote), the way WriteIniTypes writes the fields that need it.
void ReadIniFieldsTypes(_IniFieldsType **lppifHead, _IniFieldsType **lppifTail, int32_t iType,
                        int32_t iMaxFields, const char *lpszFileName, const char *lpszSection);
// Writes every record as key=field1,field2,...,  (keys of the section that
// the list does not hold are left alone).  A field holding ',' or '"', equal
// to "*" or with blanks around it is written in quotes (quotes in it
// doubled), so that it reads back as written.  A record the store cannot
// hold (a line break anywhere, '=' in the key) is left out and its key
// untouched; the others are written.  False, with the cause in
// ProfileLastError, when any record was left out or the write failed.
bool WriteIniTypes(_IniFieldsType *pifHead, const char *lpszFileName, const char *lpszSection);
// Makes the section an exact image of the storable records of the list, in
// list order, in one change of the file, so that no reader ever sees it
// empty half-way.  A record left out keeps the value the file holds for its
// key, if any.  Failures as for WriteIniTypes.
bool ReplaceIniSection(_IniFieldsType *pifHead, const char *lpszFileName,
                       const char *lpszSection);
// Whether the store can hold the record as written.
bool IniRecordIsWritable(const _IniFieldsType *pif, const char *lpszSection);
// Writes one record's key and value, leaving the rest of the file as it is
// (one locked read-modify-write of the file).  False, cause in
// ProfileLastError, when it could not be written.
bool WriteIniRecord(const _IniFieldsType *pif, const char *lpszFileName, const char *lpszSection);
// Removes every key of the section; the section header stays.
void DeleteAllIniEntries(const char *lpszFileName, const char *lpszSection);

}  // namespace kelmor

#endif
