#include "embedded_bitmap_builder.h"

#include <algorithm>
#include <stdexcept>

namespace kelmor_test {

namespace {

void Put8(SbitBytes &b, uint32_t v) { b.push_back(uint8_t(v)); }
void Put16(SbitBytes &b, uint32_t v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
void Put32(SbitBytes &b, uint32_t v) {
    Put16(b, v >> 16);
    Put16(b, v & 0xFFFF);
}
void Set32(SbitBytes &b, size_t at, uint32_t v) {
    b[at] = uint8_t(v >> 24);
    b[at + 1] = uint8_t(v >> 16);
    b[at + 2] = uint8_t(v >> 8);
    b[at + 3] = uint8_t(v);
}
void PadTo4(SbitBytes &b) {
    while (b.size() % 4 != 0) b.push_back(0);
}

uint32_t Width(const SbitImage &image) {
    return image.rows.empty() ? 0 : uint32_t(image.rows[0].size());
}

bool BigMetrics(uint16_t imageFormat) {
    return imageFormat == 6 || imageFormat == 7 || imageFormat == 9;
}

void PutMetrics(SbitBytes &b, const SbitImage &image, bool big) {
    Put8(b, uint32_t(image.rows.size()));
    Put8(b, Width(image));
    Put8(b, uint8_t(image.left));
    Put8(b, uint8_t(image.top));
    Put8(b, image.advance);
    if (!big) return;
    // Vertical metrics the readers never use here: centred, the cell's height.
    Put8(b, uint8_t(-int(Width(image)) / 2));
    Put8(b, 0);
    Put8(b, uint8_t(image.rows.size()));
}

// Rows of bits, each padded to whole bytes or all packed together.
void PutBits(SbitBytes &b, const SbitImage &image, bool padded) {
    uint32_t bit = 0;
    uint8_t byte = 0;
    auto flush = [&] {
        b.push_back(byte);
        byte = 0;
        bit = 0;
    };
    for (const std::string &row : image.rows) {
        for (char c : row) {
            if (c == '#') byte |= uint8_t(0x80 >> bit);
            if (++bit == 8) flush();
        }
        if (padded && bit != 0) flush();
    }
    if (bit != 0) flush();
}

SbitBytes EncodeImage(const SbitImage &image, uint16_t format) {
    SbitBytes b;
    if (format != 5) PutMetrics(b, image, BigMetrics(format));
    switch (format) {
        case 1:
        case 6: PutBits(b, image, true); break;
        case 2:
        case 5:
        case 7: PutBits(b, image, false); break;
        case 8:
        case 9:
            if (format == 8) Put8(b, 0);
            Put16(b, uint32_t(image.components.size()));
            for (const SbitComponent &c : image.components) {
                Put16(b, c.glyph);
                Put8(b, uint8_t(c.x));
                Put8(b, uint8_t(c.y));
            }
            break;
        default: throw std::invalid_argument("image format");
    }
    return b;
}

// The glyph range a sub-table covers.
uint16_t First(const SbitSubTable &t) { return t.images.front().glyph; }
uint16_t Last(const SbitSubTable &t) { return t.images.back().glyph; }

// Offsets from the sub-table's image data (formats 1, 3 and 4): one per
// glyph of the range, or per image, and one past the last.
std::vector<uint32_t> AppendImages(const SbitSubTable &t, SbitBytes &ebdt, bool everyGlyph) {
    std::vector<uint32_t> offsets;
    const size_t base = ebdt.size();
    size_t next = 0;
    for (uint32_t g = First(t); g <= Last(t); ++g) {
        const bool have = next < t.images.size() && t.images[next].glyph == g;
        if (have || everyGlyph) offsets.push_back(uint32_t(ebdt.size() - base));
        if (!have) continue;
        const SbitBytes image = EncodeImage(t.images[next++], t.imageFormat);
        ebdt.insert(ebdt.end(), image.begin(), image.end());
    }
    offsets.push_back(uint32_t(ebdt.size() - base));
    return offsets;
}

// Formats 2 and 5: every image padded to the largest one's size.
uint32_t AppendConstant(const SbitSubTable &t, SbitBytes &ebdt) {
    std::vector<SbitBytes> images;
    size_t size = 0;
    for (const SbitImage &image : t.images) {
        images.push_back(EncodeImage(image, t.imageFormat));
        size = std::max(size, images.back().size());
    }
    for (SbitBytes &image : images) {
        image.resize(size);
        ebdt.insert(ebdt.end(), image.begin(), image.end());
    }
    return uint32_t(size);
}

SbitBytes BuildSubTable(const SbitSubTable &t, SbitBytes &ebdt) {
    SbitBytes b;
    Put16(b, t.indexFormat);
    Put16(b, t.imageFormat);
    Put32(b, uint32_t(ebdt.size()));
    switch (t.indexFormat) {
        case 1:
        case 3:
            for (uint32_t offset : AppendImages(t, ebdt, true))
                t.indexFormat == 1 ? Put32(b, offset) : Put16(b, offset);
            break;
        case 2:
        case 5:
            Put32(b, AppendConstant(t, ebdt));
            PutMetrics(b, t.images.front(), true);
            if (t.indexFormat == 5) {
                Put32(b, uint32_t(t.images.size()));
                for (const SbitImage &image : t.images) Put16(b, image.glyph);
            }
            break;
        case 4: {
            const std::vector<uint32_t> offsets = AppendImages(t, ebdt, false);
            Put32(b, uint32_t(t.images.size()));
            for (size_t i = 0; i < offsets.size(); ++i) {
                Put16(b, i < t.images.size() ? t.images[i].glyph : 0);
                Put16(b, offsets[i]);
            }
            break;
        }
        default: throw std::invalid_argument("index format");
    }
    PadTo4(b);
    return b;
}

}  // namespace

EmbeddedTables BuildEmbeddedBitmaps(const std::vector<SbitStrike> &strikes) {
    EmbeddedTables t;
    Put32(t.ebdt, 0x00020000);
    Put32(t.eblc, 0x00020000);
    Put32(t.eblc, uint32_t(strikes.size()));
    const size_t records = t.eblc.size();
    t.eblc.resize(records + 48 * strikes.size());
    for (size_t s = 0; s < strikes.size(); ++s) {
        const SbitStrike &strike = strikes[s];
        const size_t array = t.eblc.size();
        SbitBytes subTables;
        SbitBytes index;
        const uint32_t arrayBytes = uint32_t(8 * strike.subTables.size());
        for (const SbitSubTable &sub : strike.subTables) {
            Put16(index, First(sub));
            Put16(index, Last(sub));
            Put32(index, uint32_t(arrayBytes + subTables.size()));
            const SbitBytes built = BuildSubTable(sub, t.ebdt);
            subTables.insert(subTables.end(), built.begin(), built.end());
        }
        t.eblc.insert(t.eblc.end(), index.begin(), index.end());
        t.eblc.insert(t.eblc.end(), subTables.begin(), subTables.end());

        const size_t r = records + 48 * s;
        Set32(t.eblc, r, uint32_t(array));
        Set32(t.eblc, r + 4, uint32_t(t.eblc.size() - array));
        Set32(t.eblc, r + 8, uint32_t(strike.subTables.size()));
        uint16_t first = 0xFFFF, last = 0;
        for (const SbitSubTable &sub : strike.subTables) {
            first = std::min(first, First(sub));
            last = std::max(last, Last(sub));
        }
        t.eblc[r + 40] = uint8_t(first >> 8);
        t.eblc[r + 41] = uint8_t(first);
        t.eblc[r + 42] = uint8_t(last >> 8);
        t.eblc[r + 43] = uint8_t(last);
        t.eblc[r + 44] = strike.ppem;
        t.eblc[r + 45] = strike.ppemY != 0 ? strike.ppemY : strike.ppem;
        t.eblc[r + 46] = strike.bitDepth;
        t.eblc[r + 47] = 1;  // horizontal metrics
    }
    return t;
}

}  // namespace kelmor_test
