// A font object with only its sfnt tables read, for tests of the table
// readers and of anything that needs a font's tables without the
// interpreter: the open sequence's table steps, in the same order.
#ifndef KELMOR_TESTS_TABLE_READER_H
#define KELMOR_TESTS_TABLE_READER_H

#include <memory>
#include <string>

#include "ttf/font/ttf.h"

namespace kelmor_test {

class TableReader {
public:
    // Opens the file and reads the directory; ReadAll() reads the tables.
    explicit TableReader(const std::string &path);
    ~TableReader();
    TableReader(const TableReader &) = delete;
    TableReader &operator=(const TableReader &) = delete;

    bool IsOpen() const { return font_->InFile != nullptr; }
    // head, hhea, maxp, name, cmap, mort, then loca; false when head, maxp,
    // name or cmap would fail an open.
    bool ReadAll();

    kelmor::_TTFont *operator->() { return font_.get(); }
    kelmor::_TTFont *get() { return font_.get(); }
    const kelmor::TableDirectoryStruct *Entry(kelmor::sfntSlot slot) const {
        return font_->lpsfntTable[slot];
    }

private:
    std::unique_ptr<kelmor::_TTFont> font_;
};

}  // namespace kelmor_test

#endif
