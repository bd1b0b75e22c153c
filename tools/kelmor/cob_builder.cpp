#include "cob_builder.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ttf/api/tool_internals.h"

namespace kelmor {

namespace {

// Shift-JIS rows: leads 0x81-0x9F are rows 0-30, leads 0xE0-0xFC rows 31-59;
// columns are trail bytes 0x40-0xFF.
uint8_t ShiftJisLead(int row) { return uint8_t(row < 31 ? 0x81 + row : 0xC1 + row); }
uint8_t ShiftJisTrail(int column) { return uint8_t(0x40 + column); }

// Big5: leads from 0xA1; columns 0-62 are trails 0x40-0x7E, 63-156 are
// trails 0xA1-0xFE.
uint8_t Big5Lead(int row) { return uint8_t(0xA1 + row); }
uint8_t Big5Trail(int column) { return uint8_t(column < 63 ? 0x40 + column : 0x62 + column); }

// GB 2312 in its EUC form: leads and trails 0xA1-0xFE.
uint8_t GBByte(int rowOrColumn) { return uint8_t(0xA1 + rowOrColumn); }

// GBK (code page 936) and Wansung (code page 949): leads 0x81-0xFE.  GBK's
// columns 0-62 are trails 0x40-0x7E and 63-189 trails 0x80-0xFE (0x7F is no
// trail byte); Wansung's are trails 0x41-0xFE, the gaps between its three
// trail runs holding no character.
uint8_t HighLead(int row) { return uint8_t(0x81 + row); }
uint8_t GbkTrail(int column) { return uint8_t(column < 63 ? 0x40 + column : 0x41 + column); }
uint8_t WansungTrail(int column) { return uint8_t(0x41 + column); }

constexpr uint8_t kUnicodeIOCode = 137;

// Little-endian, packed: the .cob layout on every host.
class CobWriter {
public:
    explicit CobWriter(size_t reserve) { bytes_.reserve(reserve); }
    void Byte(uint8_t value) { bytes_.push_back(value); }
    void LE32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(uint8_t(value >> shift));
    }
    void Name(const char *text) {
        char field[kConcordNameSize] = {};
        std::strncpy(field, text, kConcordNameSize - 1);
        bytes_.insert(bytes_.end(), field, field + kConcordNameSize);
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

bool RowMapsSomething(const CodeSpace &space, const CobTable &table, int row) {
    size_t begin = size_t(row) * space.iColumns;
    size_t end = std::min(begin + space.iColumns, table.items.size());
    for (size_t i = begin; i < end; ++i) {
        if (table.items[i] != 0) return true;
    }
    return false;
}

// Blocks of rows whose lead bytes follow each other and that all map
// something, e.g. GB 2312's symbol rows A1-A9 and its hanzi rows B0-F7.
std::vector<RangeTable> LeadByteRanges(const CodeSpace &space, const CobTable &table) {
    std::vector<RangeTable> ranges;
    int rows = int((table.items.size() + space.iColumns - 1) / space.iColumns);
    for (int row = 0; row < rows;) {
        if (!RowMapsSomething(space, table, row)) {
            ++row;
            continue;
        }
        int last = row;
        while (last + 1 < rows && space.LeadOfRow(last + 1) == space.LeadOfRow(last) + 1 &&
               RowMapsSomething(space, table, last + 1)) {
            ++last;
        }
        RangeTable range = {};
        range.cModeNum = uint8_t(ranges.size() + 1);
        std::snprintf(range.szModeName, sizeof range.szModeName, "%02X-%02X",
                      space.LeadOfRow(row), space.LeadOfRow(last));
        range.iOffset = row * space.iColumns;
        size_t end = std::min(size_t(last + 1) * space.iColumns, table.items.size());
        range.iLength = int32_t(end - size_t(range.iOffset));
        ranges.push_back(range);
        row = last + 1;
    }
    return ranges;
}

// Runs of at least two mapped positions whose Unicode values climb with the
// index.
std::vector<DeltaTable> ConstantDeltaRuns(const CobTable &table) {
    std::vector<DeltaTable> deltas;
    const std::vector<uint32_t> &items = table.items;
    for (size_t first = 0; first < items.size();) {
        size_t last = first;
        while (items[first] != 0 && last + 1 < items.size() &&
               items[last + 1] == items[last] + 1) {
            ++last;
        }
        if (last > first) {
            deltas.push_back(DeltaTable{int32_t(first), int32_t(last),
                                        int32_t(items[first] - uint32_t(first))});
        }
        first = last + 1;
    }
    return deltas;
}

void WriteHeader(CobWriter &out, const CodeSpace &space, const CobTable &table,
                 uint32_t nRanges, uint32_t nDeltas, uint32_t totalSize) {
    out.LE32(kMagicConc);
    out.LE32(kConcordHeadSize);
    out.LE32(totalSize);
    out.Byte(space.cIOCode);
    out.Name(space.lpszName);
    out.Byte(kUnicodeIOCode);
    out.Name("Unicode");
    out.LE32(table.firstCode);
    out.LE32(uint32_t(table.items.size() - 1));  // iLastCode
    out.LE32(nRanges);
    out.LE32(0);  // lpRT: located by the reader
    out.LE32(nDeltas);
    out.LE32(0);  // lpDT
    out.LE32(uint32_t(table.items.size()));
    out.LE32(0);  // lpIT
}

bool WriteWholeFile(const std::string &path, const std::vector<uint8_t> &bytes) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

}  // namespace

const std::vector<CodeSpace> &ConcordCodeSpaces() {
    // Shift-JIS text from real hosts is Windows code page 932: it has the NEC
    // and IBM extension rows (0x87, 0xED-0xEE, 0xFA-0xFC) that plain SHIFT_JIS
    // lacks, and Unicode fonts for Windows follow its mappings (0x8160 is
    // U+FF5E, 0x815F is U+FF3C).
    static const std::vector<CodeSpace> spaces = {
        {"Jis2Uni.cob", "CP932", "SJIS", 128, 60, 192, ShiftJisLead, ShiftJisTrail},
        {"Big5_Uni.cob", "BIG5", "Big5", 136, 94, 157, Big5Lead, Big5Trail},
        {"Gb2Uni.cob", "GB2312", "GB2312", 134, 94, 94, GBByte, GBByte},
        {"Gbk_Uni.cob", "CP936", "GBK", 242, 126, 190, HighLead, GbkTrail},
        {"Wans2Uni.cob", "CP949", "WanS", 129, 126, 190, HighLead, WansungTrail},
    };
    return spaces;
}

DbcsConverter::DbcsConverter(const char *lpszIconvName)
    : cd_(iconv_open("UTF-32BE", lpszIconvName)) {}

DbcsConverter::~DbcsConverter() {
    if (IsOpen()) iconv_close(static_cast<iconv_t>(cd_));
}

bool DbcsConverter::IsOpen() const { return cd_ != reinterpret_cast<void *>(iconv_t(-1)); }

uint32_t DbcsConverter::Convert(uint8_t lead, uint8_t trail) {
    if (!IsOpen()) return 0;
    iconv_t cd = static_cast<iconv_t>(cd_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    char in[2] = {char(lead), char(trail)};
    unsigned char out[8];
    char *inPtr = in;
    char *outPtr = reinterpret_cast<char *>(out);
    size_t inLeft = sizeof in, outLeft = sizeof out;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)) return 0;
    // Both bytes must make one character: two single-byte characters, or a
    // pair that expands to a sequence, have no single item to go into.
    if (inLeft != 0 || sizeof out - outLeft != 4) return 0;
    return (uint32_t(out[0]) << 24) | (uint32_t(out[1]) << 16) | (uint32_t(out[2]) << 8) |
           out[3];
}

bool ReadIconvTable(const CodeSpace &space, CobTable *table, std::string *error) {
    DbcsConverter converter(space.lpszIconvName);
    if (!converter.IsOpen()) {
        *error = std::string("iconv cannot convert from ") + space.lpszIconvName + ": " +
                 std::strerror(errno);
        return false;
    }
    table->items.assign(size_t(space.iRows) * space.iColumns, 0);
    for (int row = 0; row < space.iRows; ++row) {
        for (int column = 0; column < space.iColumns; ++column) {
            table->items[size_t(row) * space.iColumns + column] =
                converter.Convert(space.LeadOfRow(row), space.TrailOfColumn(column));
        }
    }
    while (!table->items.empty() && table->items.back() == 0) table->items.pop_back();
    if (table->items.empty()) {
        *error = std::string("iconv maps nothing of ") + space.lpszIconvName;
        return false;
    }
    table->firstCode = 0;
    while (table->items[table->firstCode] == 0) ++table->firstCode;
    return true;
}

std::vector<uint8_t> EncodeCob(const CodeSpace &space, const CobTable &table) {
    std::vector<RangeTable> ranges = LeadByteRanges(space, table);
    std::vector<DeltaTable> deltas = ConstantDeltaRuns(table);
    size_t total = kConcordHeadSize + kRangeRecordSize * ranges.size() +
                   kDeltaRecordSize * deltas.size() + kItemSize * table.items.size();
    CobWriter out(total);
    WriteHeader(out, space, table, uint32_t(ranges.size()), uint32_t(deltas.size()),
                uint32_t(total));
    for (const RangeTable &range : ranges) {
        out.Byte(range.cModeNum);
        out.Name(range.szModeName);
        out.LE32(uint32_t(range.iOffset));
        out.LE32(uint32_t(range.iLength));
    }
    for (const DeltaTable &delta : deltas) {
        out.LE32(uint32_t(delta.iFirstCode));
        out.LE32(uint32_t(delta.iLastCode));
        out.LE32(uint32_t(delta.iDelta));
    }
    for (uint32_t item : table.items) out.LE32(item);
    return out.Take();
}

// The file is written beside its final name and renamed over it, so that a
// failed run never leaves a half-written concordance for the library to find.
bool WriteCobFile(const CodeSpace &space, const std::string &dir, std::string *lpPath,
                  std::string *error) {
    CobTable table;
    if (!ReadIconvTable(space, &table, error)) return false;
    std::vector<uint8_t> image = EncodeCob(space, table);
    *lpPath = dir + "/" + space.lpszFileName;
    std::string temporary = *lpPath + ".tmp";
    if (!WriteWholeFile(temporary, image) || std::rename(temporary.c_str(), lpPath->c_str()) != 0) {
        *error = "cannot write " + *lpPath + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace kelmor
