// Embedded bitmaps: finding a glyph's image in EBLC and decoding it from EBDT.
//
// EBLC (bloc): version 2.0 (32 bits), numSizes (32), then numSizes strike
// records of 48 bytes:
//   0 indexSubTableArrayOffset  4 indexTablesSize  8 numberOfIndexSubTables
//   12 colorRef  16 horizontal line metrics (12)  28 vertical (12)
//   40 startGlyphIndex  42 endGlyphIndex  44 ppemX  45 ppemY  46 bitDepth
//   47 flags
// A strike's index array holds 8-byte records {firstGlyph, lastGlyph,
// additionalOffsetToIndexSubtable (32)}, offsets from the array's start.
// Each index sub-table opens with {indexFormat, imageFormat,
// imageDataOffset (32, in EBDT)}, then by format:
//   1  32-bit offsets, one per glyph of the range and one more
//   2  imageSize (32), big metrics: every glyph the same size, in order
//   3  16-bit offsets, as format 1
//   4  numGlyphs (32), numGlyphs + 1 pairs {glyph, 16-bit offset}
//   5  imageSize, big metrics, numGlyphs (32), the glyphs (16 bits each)
// Offsets are from imageDataOffset; an image ends where the next begins, and
// an image of no bytes means the glyph has none.
//
// EBDT (bdat) images, by imageFormat:
//   1  small metrics, rows padded to whole bytes    2  small metrics, rows packed
//   5  no metrics (the index's), rows packed        6  big metrics, padded rows
//   7  big metrics, packed rows
//   8  small metrics, a pad byte, then components  9  big metrics, components
// Small metrics: height, width, bearingX (signed), bearingY (signed),
// advance, one byte each; big metrics add the three vertical ones.  A
// component {glyph, xOffset, yOffset (signed bytes)} places that glyph's
// image with its top-left pixel at the offset from the composite's
// top-left pixel; it must fit inside the composite's box.
#include "ttf/sfnt/ttf_ebdt.h"

#include <cstring>

#include "common/bytes.h"
#include "ttf/sfnt/ttf_read.h"

namespace kelmor {

bool TableBytes::Read(uint64_t at, uint8_t *dst, uint32_t count) {
    if (!SpanInside(at, count, length_)) return false;
    return count == 0 || Fetch(uint32_t(at), dst, count);
}

namespace {

constexpr uint32_t kLocationHeaderBytes = 8;
constexpr uint32_t kStrikeBytes = 48;
constexpr uint32_t kIndexRecordBytes = 8;
constexpr uint32_t kSubTableHeaderBytes = 8;
constexpr uint32_t kSmallMetricsBytes = 5;
constexpr uint32_t kBigMetricsBytes = 8;
constexpr uint32_t kComponentBytes = 4;
// Records read at a time when a search walks a list.
constexpr uint32_t kChunkRecords = 64;
// Composites nest far less in real fonts, and have a few components; the
// caps keep a composite that names itself, or a tree of repeated
// components, from running for ever.
constexpr int kMaxImageDepth = 8;
constexpr int kMaxImagesPerGlyph = 64;
// Records one glyph's lookups may walk: a real strike's lists hold at most
// a record per glyph, and are sorted or short.  A hostile strike (a million
// unsorted records, each of a composite's components found at the end)
// would otherwise cost seconds per glyph; past the budget the glyph has no
// image and is drawn from its outline.
constexpr uint64_t kMaxRecordsPerGlyph = uint64_t(1) << 20;

// What a glyph's lookups may still walk; unbounded for the per-size work
// (finding the strike, checking its order), which the table's size bounds.
struct RecordBudget {
    uint64_t left = UINT64_MAX;
    bool Spend(uint32_t records) {
        if (records > left) return false;
        left -= records;
        return true;
    }
};

// Visits `count` records of `size` bytes from `at`, a chunk at a time, until
// `visit(record, index)` returns true.  The index it stopped at (count when
// it never did); -1 when a record cannot be read or the budget runs out.
template <typename Visit>
int64_t WalkRecords(TableBytes &table, uint64_t at, uint32_t count, uint32_t size, Visit visit,
                    RecordBudget *budget = nullptr) {
    uint8_t chunk[kChunkRecords * kIndexRecordBytes];
    const uint32_t perChunk = uint32_t(sizeof chunk) / size;
    for (uint32_t done = 0; done < count;) {
        const uint32_t n = count - done < perChunk ? count - done : perChunk;
        if (budget != nullptr && !budget->Spend(n)) return -1;
        if (!table.Read(at + uint64_t(done) * size, chunk, n * size)) return -1;
        for (uint32_t i = 0; i < n; ++i)
            if (visit(chunk + i * size, done + i)) return done + i;
        done += n;
    }
    return count;
}

// numSizes, when the header is one we read and the table holds every strike.
bool StrikeCount(TableBytes &eblc, uint32_t *count) {
    uint8_t header[kLocationHeaderBytes];
    if (!eblc.Read(0, header, sizeof header) || ReadBE16(header) != 2) return false;
    *count = ReadBE32(header + 4);
    return uint64_t(*count) * kStrikeBytes + kLocationHeaderBytes <= eblc.Length();
}

// Index records in glyph order with no two ranges sharing a glyph: a glyph
// then has at most one record, found by halving.
bool RecordsSorted(TableBytes &eblc, const EmbeddedStrike &s) {
    int64_t previousLast = -1;
    const int64_t stop = WalkRecords(eblc, s.IndexArray, s.IndexCount, kIndexRecordBytes,
                                     [&](const uint8_t *r, uint32_t) {
                                         const int64_t first = ReadBE16(r), last = ReadBE16(r + 2);
                                         if (first > last || first <= previousLast) return true;
                                         previousLast = last;
                                         return false;
                                     });
    return stop == int64_t(s.IndexCount);
}

struct Metrics {
    int32_t height = 0, width = 0, left = 0, top = 0, advance = 0;
};

Metrics MetricsAt(const uint8_t *p) {
    Metrics m;
    m.height = p[0];
    m.width = p[1];
    m.left = int8_t(p[2]);
    m.top = int8_t(p[3]);
    m.advance = p[4];
    return m;
}

// Where a glyph's image lies in EBDT, and the metrics its index gave.
struct ImageSpan {
    uint32_t imageFormat = 0;
    uint64_t start = 0, length = 0;
    bool indexMetrics = false;
    Metrics metrics;
};

// Reads from the start of an index sub-table.
class SubTable {
public:
    SubTable(TableBytes &eblc, uint64_t at, RecordBudget &budget)
        : eblc_(eblc), at_(at), budget_(budget) {}
    bool Read(uint64_t offset, uint8_t *dst, uint32_t count) {
        return eblc_.Read(at_ + offset, dst, count);
    }
    bool U32(uint64_t offset, uint32_t *v) {
        uint8_t b[4];
        if (!Read(offset, b, 4)) return false;
        *v = ReadBE32(b);
        return true;
    }
    bool U16(uint64_t offset, uint32_t *v) {
        uint8_t b[2];
        if (!Read(offset, b, 2)) return false;
        *v = ReadBE16(b);
        return true;
    }
    // imageSize and big metrics, shared by formats 2 and 5.
    bool ConstantSize(uint32_t *size, Metrics *m) {
        uint8_t b[4 + kBigMetricsBytes];
        if (!Read(kSubTableHeaderBytes, b, sizeof b)) return false;
        *size = ReadBE32(b);
        *m = MetricsAt(b + 4);
        return true;
    }
    TableBytes &Table() { return eblc_; }
    uint64_t At() const { return at_; }
    RecordBudget &Budget() { return budget_; }

private:
    TableBytes &eblc_;
    uint64_t at_;
    RecordBudget &budget_;
};

// Offsets of a glyph and of the one after it, `width` bytes each.
bool OffsetPair(SubTable &t, uint32_t index, uint32_t width, uint64_t *start, uint64_t *end) {
    uint32_t a = 0, b = 0;
    const uint64_t at = kSubTableHeaderBytes + uint64_t(index) * width;
    const bool ok = width == 4 ? t.U32(at, &a) && t.U32(at + 4, &b)
                               : t.U16(at, &a) && t.U16(at + 2, &b);
    *start = a;
    *end = b;
    return ok;
}

// Format 4: the glyph's pair among numGlyphs, its end the next pair's offset.
bool SparseOffsets(SubTable &t, uint32_t glyph, uint64_t *start, uint64_t *end) {
    uint32_t count = 0;
    if (!t.U32(kSubTableHeaderBytes, &count)) return false;
    const uint64_t pairs = t.At() + kSubTableHeaderBytes + 4;
    if (!SpanInside(pairs, (uint64_t(count) + 1) * 4, t.Table().Length())) return false;
    const int64_t found = WalkRecords(
        t.Table(), pairs, count, 4, [&](const uint8_t *r, uint32_t) { return ReadBE16(r) == glyph; },
        &t.Budget());
    if (found < 0 || found >= int64_t(count)) return false;
    uint8_t two[8];
    if (!t.Table().Read(pairs + uint64_t(found) * 4, two, sizeof two)) return false;
    *start = ReadBE16(two + 2);
    *end = ReadBE16(two + 6);
    return true;
}

// Format 5: the glyph's place in the list times the constant size.
bool SparseConstant(SubTable &t, uint32_t glyph, ImageSpan *span) {
    uint32_t size = 0, count = 0;
    if (!t.ConstantSize(&size, &span->metrics) ||
        !t.U32(kSubTableHeaderBytes + 4 + kBigMetricsBytes, &count))
        return false;
    const uint64_t glyphs = t.At() + kSubTableHeaderBytes + 8 + kBigMetricsBytes;
    if (!SpanInside(glyphs, uint64_t(count) * 2, t.Table().Length())) return false;
    const int64_t found = WalkRecords(
        t.Table(), glyphs, count, 2, [&](const uint8_t *r, uint32_t) { return ReadBE16(r) == glyph; },
        &t.Budget());
    if (found < 0 || found >= int64_t(count)) return false;
    span->indexMetrics = true;
    span->start = uint64_t(found) * size;
    span->length = size;
    return true;
}

// The index sub-table record of `glyph`: its first glyph and the sub-table's
// offset in EBLC.
bool FindIndexRecord(TableBytes &eblc, const EmbeddedStrike &s, uint32_t glyph,
                     RecordBudget &budget, uint32_t *first, uint64_t *subTable) {
    uint8_t r[kIndexRecordBytes];
    auto covers = [&](const uint8_t *rec) {
        return ReadBE16(rec) <= glyph && glyph <= ReadBE16(rec + 2);
    };
    int64_t found = -1;
    if (s.Sorted) {
        uint32_t low = 0, high = s.IndexCount;
        while (low < high) {
            const uint32_t middle = low + (high - low) / 2;
            if (!eblc.Read(s.IndexArray + uint64_t(middle) * kIndexRecordBytes, r, sizeof r))
                return false;
            if (covers(r)) {
                found = middle;
                break;
            }
            if (glyph < ReadBE16(r))
                high = middle;
            else
                low = middle + 1;
        }
    } else {
        // Out of order: the first record that covers the glyph, as a reader
        // walking the list would take it.
        found = WalkRecords(
            eblc, s.IndexArray, s.IndexCount, kIndexRecordBytes,
            [&](const uint8_t *rec, uint32_t) { return covers(rec); }, &budget);
        if (found >= int64_t(s.IndexCount)) found = -1;
    }
    if (found < 0 || !eblc.Read(s.IndexArray + uint64_t(found) * kIndexRecordBytes, r, sizeof r))
        return false;
    *first = ReadBE16(r);
    *subTable = uint64_t(s.IndexArray) + ReadBE32(r + 4);
    return true;
}

// Where `glyph`'s image lies in EBDT; false when the strike has none or its
// records do not hold together.
bool LocateImage(TableBytes &eblc, uint32_t ebdtLength, const EmbeddedStrike &s, uint32_t glyph,
                 RecordBudget &budget, ImageSpan *span) {
    uint32_t first = 0;
    uint64_t at = 0;
    if (!FindIndexRecord(eblc, s, glyph, budget, &first, &at)) return false;
    SubTable t(eblc, at, budget);
    uint8_t header[kSubTableHeaderBytes];
    if (!t.Read(0, header, sizeof header)) return false;
    span->imageFormat = ReadBE16(header + 2);
    const uint64_t imageData = ReadBE32(header + 4);
    const uint32_t index = glyph - first;
    uint64_t start = 0, end = 0;
    switch (ReadBE16(header)) {
        case 1:
        case 3:
            if (!OffsetPair(t, index, ReadBE16(header) == 1 ? 4 : 2, &start, &end)) return false;
            break;
        case 2: {
            uint32_t size = 0;
            if (!t.ConstantSize(&size, &span->metrics)) return false;
            span->indexMetrics = true;
            start = uint64_t(index) * size;
            end = start + size;
            break;
        }
        case 4:
            if (!SparseOffsets(t, glyph, &start, &end)) return false;
            break;
        case 5:
            if (!SparseConstant(t, glyph, span)) return false;
            start = span->start;
            end = start + span->length;
            break;
        default:
            return false;
    }
    // No bytes: the strike leaves this glyph to the outline.
    if (end <= start) return false;
    span->start = imageData + start;
    span->length = end - start;
    return SpanInside(span->start, span->length, ebdtLength);
}

// Decodes one glyph, composites included, into an image whose box the
// top-level glyph's metrics set.
class ImageDecoder {
public:
    ImageDecoder(TableBytes &eblc, TableBytes &ebdt, const EmbeddedStrike &strike,
                 EmbeddedImage *image)
        : eblc_(eblc), ebdt_(ebdt), strike_(strike), image_(image) {}

    bool Draw(uint32_t glyph, int32_t x, int32_t y, int depth) {
        if (depth > kMaxImageDepth || ++images_ > kMaxImagesPerGlyph) return false;
        ImageSpan span;
        if (!LocateImage(eblc_, ebdt_.Length(), strike_, glyph, budget_, &span)) return false;
        Metrics m;
        uint32_t metricsBytes = 0;
        if (!ImageMetrics(span, &m, &metricsBytes)) return false;
        if (depth == 0) StartImage(m);
        const uint64_t body = span.start + metricsBytes;
        const uint64_t bodyLength = span.length - metricsBytes;
        switch (span.imageFormat) {
            case 1:
            case 6: return Blit(m, x, y, body, bodyLength, true);
            case 2:
            case 5:
            case 7: return Blit(m, x, y, body, bodyLength, false);
            case 8: return DrawComponents(x, y, body + 1, bodyLength - 1, depth);
            case 9: return DrawComponents(x, y, body, bodyLength, depth);
            default: return false;
        }
    }

private:
    // The image's own metrics, or the index's for format 5; the bytes they
    // take (with format 8's pad byte, which must be there too).
    bool ImageMetrics(const ImageSpan &span, Metrics *m, uint32_t *bytes) {
        switch (span.imageFormat) {
            case 5:
                if (!span.indexMetrics) return false;
                *m = span.metrics;
                *bytes = 0;
                return true;
            case 1:
            case 2:
            case 8:
                *bytes = kSmallMetricsBytes;
                break;
            case 6:
            case 7:
            case 9:
                *bytes = kBigMetricsBytes;
                break;
            default:
                return false;
        }
        uint8_t b[kBigMetricsBytes];
        if (span.length < *bytes + (span.imageFormat == 8 ? 1u : 0u) ||
            !ebdt_.Read(span.start, b, *bytes))
            return false;
        *m = MetricsAt(b);
        return true;
    }

    void StartImage(const Metrics &m) {
        image_->width = m.width;
        image_->height = m.height;
        image_->left = m.left;
        image_->top = m.top;
        image_->advance = m.advance;
        image_->pitch = (m.width + 7) / 8;
        image_->bits.assign(size_t(image_->pitch) * size_t(m.height), 0);
    }

    // ORs a `m.width` x `m.height` image whose rows are padded to bytes (or
    // packed bit after bit) into the glyph's image at (x, y), which must
    // hold it whole.
    bool Blit(const Metrics &m, int32_t x, int32_t y, uint64_t at, uint64_t length, bool padded) {
        if (x < 0 || y < 0 || x + m.width > image_->width || y + m.height > image_->height)
            return false;
        const uint64_t rowBits = padded ? uint64_t(m.width + 7) / 8 * 8 : uint64_t(m.width);
        const uint64_t bytes = (rowBits * uint64_t(m.height) + 7) / 8;
        if (bytes > length) return false;
        source_.resize(size_t(bytes));
        if (!ebdt_.Read(at, source_.data(), uint32_t(bytes))) return false;
        for (int32_t row = 0; row < m.height; ++row) {
            for (int32_t column = 0; column < m.width; ++column) {
                const uint64_t bit = uint64_t(row) * rowBits + uint64_t(column);
                if ((source_[size_t(bit >> 3)] >> (7 - (bit & 7))) & 1) Set(x + column, y + row);
            }
        }
        return true;
    }

    void Set(int32_t column, int32_t row) {
        image_->bits[size_t(row) * size_t(image_->pitch) + size_t(column >> 3)] |=
            uint8_t(0x80 >> (column & 7));
    }

    bool DrawComponents(int32_t x, int32_t y, uint64_t at, uint64_t length, int depth) {
        uint8_t b[2];
        if (length < 2 || !ebdt_.Read(at, b, 2)) return false;
        const uint32_t count = ReadBE16(b);
        if (uint64_t(count) * kComponentBytes > length - 2) return false;
        for (uint32_t i = 0; i < count; ++i) {
            uint8_t c[kComponentBytes];
            if (!ebdt_.Read(at + 2 + uint64_t(i) * kComponentBytes, c, sizeof c)) return false;
            if (!Draw(ReadBE16(c), x + int8_t(c[2]), y + int8_t(c[3]), depth + 1)) return false;
        }
        return true;
    }

    TableBytes &eblc_;
    TableBytes &ebdt_;
    const EmbeddedStrike &strike_;
    EmbeddedImage *image_;
    std::vector<uint8_t> source_;
    int images_ = 0;
    RecordBudget budget_{kMaxRecordsPerGlyph};
};

// The font's location and data tables: EBLC and EBDT, else Apple's bloc
// and bdat, which share their layout.
class FontTable : public TableBytes {
public:
    FontTable(_TTFont *pF, const TableDirectoryStruct *entry)
        : TableBytes(TableInFile(pF, entry) ? TableLength(entry) : 0), pF_(pF),
          offset_(entry != nullptr ? TableOffset(entry) : 0) {}

protected:
    bool Fetch(uint32_t at, uint8_t *dst, uint32_t count) override {
        return ReadFileAt(pF_, offset_ + at, dst, count) == count;
    }

private:
    _TTFont *pF_;
    uint32_t offset_;
};

const TableDirectoryStruct *LocationTable(const _TTFont *pF) {
    const TableDirectoryStruct *t = TableTagged(pF, "EBLC");
    return t != nullptr ? t : TableTagged(pF, "bloc");
}

const TableDirectoryStruct *DataTable(const _TTFont *pF) {
    return TableTagged(pF, TableTagged(pF, "EBLC") != nullptr ? "EBDT" : "bdat");
}

}  // namespace

std::vector<StrikeSize> ListStrikes(TableBytes &eblc) {
    std::vector<StrikeSize> strikes;
    uint32_t count = 0;
    if (!StrikeCount(eblc, &count)) return strikes;
    WalkRecords(eblc, kLocationHeaderBytes, count, kStrikeBytes, [&](const uint8_t *r, uint32_t) {
        strikes.push_back({r[44], r[45], r[46], ReadBE16(r + 40), ReadBE16(r + 42)});
        return false;
    });
    return strikes;
}

bool FindStrike(TableBytes &eblc, uint32_t ppem, EmbeddedStrike *strike) {
    uint32_t count = 0;
    if (!StrikeCount(eblc, &count)) return false;
    strike->Found = 0;
    WalkRecords(eblc, kLocationHeaderBytes, count, kStrikeBytes, [&](const uint8_t *r, uint32_t) {
        if (r[44] != ppem || r[45] != ppem || r[46] != 1) return false;
        const uint32_t array = ReadBE32(r), records = ReadBE32(r + 8);
        if (!SpanInside(array, uint64_t(records) * kIndexRecordBytes, eblc.Length())) return false;
        strike->IndexArray = array;
        strike->IndexCount = records;
        strike->Found = 1;
        return true;
    });
    if (strike->Found) strike->Sorted = RecordsSorted(eblc, *strike) ? 1 : 0;
    return strike->Found != 0;
}

bool LoadEmbeddedImage(TableBytes &eblc, TableBytes &ebdt, const EmbeddedStrike &strike,
                       uint32_t glyph, EmbeddedImage *image) {
    if (!strike.Found) return false;
    *image = EmbeddedImage();
    ImageDecoder decoder(eblc, ebdt, strike, image);
    return decoder.Draw(glyph, 0, 0, 0);
}

uint32_t StrikePpem(int32_t PointSize, int32_t Resolution) {
    // The size in 1/64 pixel, rounded, then to the nearest whole pixel, as
    // the common rasterizers match a size to a strike.
    const int64_t size26Dot6 = (int64_t(PointSize) * 64 * Resolution + 36) / 72;
    return size26Dot6 > 0 ? uint32_t((size26Dot6 + 32) >> 6) : 0;
}

std::vector<StrikeSize> FontStrikes(_TTFont *pF) {
    FontTable eblc(pF, LocationTable(pF));
    return ListStrikes(eblc);
}

bool FontEmbeddedImage(_TTFont *pF, uint32_t glyph, EmbeddedImage *image) {
    const TableDirectoryStruct *location = LocationTable(pF);
    if (location == nullptr) return false;
    FontTable eblc(pF, location);
    if (!pF->Strike.LookedUp) {
        pF->Strike = EmbeddedStrike();
        FindStrike(eblc, StrikePpem(pF->G.PointSize, pF->G.Resolution), &pF->Strike);
        pF->Strike.LookedUp = 1;
    }
    if (!pF->Strike.Found) return false;
    FontTable ebdt(pF, DataTable(pF));
    return LoadEmbeddedImage(eblc, ebdt, pF->Strike, glyph, image);
}

}  // namespace kelmor
