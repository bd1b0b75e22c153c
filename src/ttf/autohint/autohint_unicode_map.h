// The Unicode character map the auto-hinter sorts glyphs by, read from the
// cmap table's bytes.  It picks the sub-table FreeType selects for Unicode
// (the last UCS-4 one, else the last Unicode one of any kind) and answers
// lookups and in-order walks for formats 4 and 12.
#ifndef KELMOR_TTF_AUTOHINT_AUTOHINT_UNICODE_MAP_H
#define KELMOR_TTF_AUTOHINT_AUTOHINT_UNICODE_MAP_H

#include <cstddef>
#include <cstdint>

namespace kelmor {
namespace autohint {

class UnicodeMap {
public:
    // `cmap` is the whole table (null or short: no map); it must outlive
    // the object.
    UnicodeMap(const uint8_t *cmap, size_t length);
    bool Present() const { return format_ != 0; }
    uint32_t Lookup(uint32_t code) const;
    // The next code above `code` mapping to a glyph other than 0.
    bool Next(uint32_t code, uint32_t *next, uint32_t *glyph) const;

private:
    uint32_t Read16(size_t pos) const;
    uint32_t Read32(size_t pos) const;
    uint32_t Format4Glyph(uint32_t seg, uint32_t code) const;
    bool Next4(uint32_t code, uint32_t *next, uint32_t *glyph) const;
    bool Next12(uint32_t code, uint32_t *next, uint32_t *glyph) const;

    const uint8_t *data_;
    size_t length_;
    size_t table_ = 0;  // the chosen sub-table's offset
    uint32_t format_ = 0;
    uint32_t count_ = 0;  // segments (format 4) or groups (format 12)
};

}  // namespace autohint
}  // namespace kelmor

#endif
