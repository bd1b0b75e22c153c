// Building concordance (.cob) files from the C library's iconv tables.
//
// Each double-byte code space is laid out as the library's conversions index
// it: rows of positions, one row per lead byte, item index = row x columns +
// column.  The builder walks every position, asks iconv what the two bytes
// mean, and writes the Unicode values as the items; positions iconv does not
// convert to exactly one character hold 0.
#ifndef KELMOR_TOOL_COB_BUILDER_H
#define KELMOR_TOOL_COB_BUILDER_H

#include <cstdint>
#include <string>
#include <vector>

namespace kelmor {

struct CodeSpace {
    const char *lpszFileName;   // file name the library looks for
    const char *lpszIconvName;  // iconv's name for the source encoding
    const char *lpszName;       // short name written into the file (at most 8 chars)
    uint8_t cIOCode;            // the library's character-set code
    int iRows;                  // lead bytes the table covers
    int iColumns;               // positions per lead byte
    uint8_t (*LeadOfRow)(int row);
    uint8_t (*TrailOfColumn)(int column);
};

// Shift-JIS as Windows hosts write it (CP932), Big5, GB 2312 (EUC-CN), GBK
// (CP936) and Wansung (CP949).
const std::vector<CodeSpace> &ConcordCodeSpaces();

// One iconv conversion from a double-byte encoding to Unicode.
class DbcsConverter {
public:
    explicit DbcsConverter(const char *lpszIconvName);
    ~DbcsConverter();
    DbcsConverter(const DbcsConverter &) = delete;
    DbcsConverter &operator=(const DbcsConverter &) = delete;

    bool IsOpen() const;
    // The code point of the two bytes when iconv reads them as exactly one
    // character, else 0.
    uint32_t Convert(uint8_t lead, uint8_t trail);

private:
    void *cd_;  // iconv_t, kept out of this header
};

// The concordance of a code space, ready to be written.
struct CobTable {
    std::vector<uint32_t> items;  // item i = Unicode value of index i, 0 = unmapped
    uint32_t firstCode = 0;       // lowest mapped index
};

// Reads the code space through iconv.  The items end at the last mapped
// position.  False with a message when iconv lacks the encoding or maps
// nothing.
bool ReadIconvTable(const CodeSpace &space, CobTable *table, std::string *error);

// The whole .cob file image: header, range records (one per block of
// consecutive lead bytes that map something), delta records (runs of at least
// two positions over which Unicode value - index is constant) and the items.
std::vector<uint8_t> EncodeCob(const CodeSpace &space, const CobTable &table);

// Builds the code space's file in lpszDir; *lpPath receives its path.
bool WriteCobFile(const CodeSpace &space, const std::string &dir, std::string *lpPath,
                  std::string *error);

}  // namespace kelmor

#endif
