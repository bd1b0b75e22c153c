#include "hostile_strikes.h"

namespace kelmor_test {

namespace {

void Put16(SbitBytes &b, uint32_t v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}

void Put32(SbitBytes &b, uint32_t v) {
    Put16(b, v >> 16);
    Put16(b, v & 0xFFFF);
}

// An index sub-table of format 1 for one glyph: its image at `imageData`.
void OneGlyphSubTable(SbitBytes &b, uint16_t imageFormat, uint32_t imageData, uint32_t length) {
    Put16(b, 1);
    Put16(b, imageFormat);
    Put32(b, imageData);
    Put32(b, 0);
    Put32(b, length);
}

}  // namespace

EmbeddedTables HostileStrike(uint32_t records, uint16_t components, uint8_t ppem) {
    constexpr uint32_t kArrayAt = 8 + 48, kSubTableBytes = 16;
    const uint32_t compositeBytes = 8 + 2 + 4 * uint32_t(components);
    const SbitBytes ring = {4, 4, 0, 4, 5, 0xF0, 0x90, 0x90, 0xF0};  // image format 1

    EmbeddedTables t;
    SbitBytes &eblc = t.eblc;
    Put32(eblc, 0x00020000);
    Put32(eblc, 1);
    Put32(eblc, kArrayAt);
    Put32(eblc, records * 8 + 2 * kSubTableBytes);
    Put32(eblc, records);
    Put32(eblc, 0);                                // colorRef
    const SbitBytes lineMetrics = {4, 0, 5, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    eblc.insert(eblc.end(), lineMetrics.begin(), lineMetrics.end());  // horizontal
    eblc.insert(eblc.end(), lineMetrics.begin(), lineMetrics.end());  // vertical
    Put16(eblc, 1);
    Put16(eblc, 3);
    eblc.insert(eblc.end(), {ppem, ppem, 1, 1});
    const uint32_t composite = records * 8, ringTable = composite + kSubTableBytes;
    for (uint32_t i = 0; i + 2 < records; ++i) Put16(eblc, 3), Put16(eblc, 3), Put32(eblc, composite);
    Put16(eblc, 1), Put16(eblc, 1), Put32(eblc, composite);
    Put16(eblc, 2), Put16(eblc, 2), Put32(eblc, ringTable);
    OneGlyphSubTable(eblc, 9, 4, compositeBytes);
    OneGlyphSubTable(eblc, 1, 4 + compositeBytes, uint32_t(ring.size()));

    SbitBytes &ebdt = t.ebdt;
    Put32(ebdt, 0x00020000);
    ebdt.insert(ebdt.end(), {4, 4, 0, 4, 5, 0, 0, 4});  // big metrics
    Put16(ebdt, components);
    for (uint16_t i = 0; i < components; ++i) Put16(ebdt, 2), ebdt.push_back(0), ebdt.push_back(0);
    ebdt.insert(ebdt.end(), ring.begin(), ring.end());
    return t;
}

}  // namespace kelmor_test
