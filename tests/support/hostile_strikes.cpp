#include "hostile_strikes.h"

#include "font_builder.h"

namespace kelmor_test {

namespace {

// An index sub-table of format 1 for one glyph: its image at `imageData`.
void OneGlyphSubTable(BEWriter &w, uint16_t imageFormat, uint32_t imageData, uint32_t length) {
    w.U16(1).U16(imageFormat).U32(imageData).U32(0).U32(length);
}

}  // namespace

EmbeddedTables HostileStrike(uint32_t records, uint16_t components, uint8_t ppem) {
    constexpr uint32_t kArrayAt = 8 + 48, kSubTableBytes = 16;
    const uint32_t compositeBytes = 8 + 2 + 4 * uint32_t(components);
    const Bytes ring = {4, 4, 0, 4, 5, 0xF0, 0x90, 0x90, 0xF0};  // image format 1
    const Bytes lineMetrics = {4, 0, 5, 1, 0, 0, 0, 0, 0, 0, 0, 0};

    BEWriter eblc;
    eblc.U32(0x00020000).U32(1);
    eblc.U32(kArrayAt).U32(records * 8 + 2 * kSubTableBytes).U32(records).U32(0);  // colorRef
    eblc.Append(lineMetrics).Append(lineMetrics);  // horizontal, vertical
    eblc.U16(1).U16(3).U8(ppem).U8(ppem).U8(1).U8(1);
    const uint32_t composite = records * 8, ringTable = composite + kSubTableBytes;
    for (uint32_t i = 0; i + 2 < records; ++i) eblc.U16(3).U16(3).U32(composite);
    eblc.U16(1).U16(1).U32(composite);
    eblc.U16(2).U16(2).U32(ringTable);
    OneGlyphSubTable(eblc, 9, 4, compositeBytes);
    OneGlyphSubTable(eblc, 1, 4 + compositeBytes, uint32_t(ring.size()));

    BEWriter ebdt;
    ebdt.U32(0x00020000).Append({4, 4, 0, 4, 5, 0, 0, 4}).U16(components);  // big metrics
    for (uint16_t i = 0; i < components; ++i) ebdt.U16(2).U8(0).U8(0);
    ebdt.Append(ring);
    return EmbeddedTables{eblc.bytes, ebdt.bytes};
}

}  // namespace kelmor_test
