// The font's name records as text a person can read.  The library keeps
// names with their zero bytes dropped, which garbles UTF-16 text beyond
// Latin, so the tool reads the name table from the file again and decodes
// each string by its platform and encoding into UTF-8.
#ifndef KELMOR_TOOL_NAME_TEXT_H
#define KELMOR_TOOL_NAME_TEXT_H

#include <cstdint>
#include <string>
#include <vector>

#include "ttf/api/tool_internals.h"

namespace kelmor {

struct NameText {
    uint16_t platform, encoding, language, nameID;
    std::string utf8;  // the decoded string; undecodable bytes become U+FFFD
};

// Every record of the font's name table whose string lies inside the table;
// empty when there is no readable name table.
std::vector<NameText> ReadNameTexts(_TTFont *pF);

// Decoders for the encodings name strings come in.
std::string Utf16BeToUtf8(const std::string &bytes);
std::string MacRomanToUtf8(const std::string &bytes);

// A short English name for a language ID of the platform ("en-US" for
// Microsoft 0x0409, "English" for Macintosh 0), or "" when unknown.
std::string LanguageTitle(uint16_t platform, uint16_t language);

// The best name for `nameID` to show in ASCII-only places (XLFD font names):
// an English record first; "" when no record of that ID is plain ASCII.
std::string AsciiName(const std::vector<NameText> &names, uint16_t nameID);

// A name record for ASCII-only text that must not be lost (a copyright
// notice travels with fonts made from the font): an English record first,
// else any; (c) and (R) for the signs, '?' for other characters beyond
// ASCII, a space for line breaks.  "" when the font has no such record.
std::string AsciiText(const std::vector<NameText> &names, uint16_t nameID);

}  // namespace kelmor

#endif
