#include "ttf/sfnt/bigend.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace kelmor;

namespace {

template <typename Record>
Record FromBytes(std::initializer_list<uint8_t> bytes) {
    Record r;
    std::memcpy(&r, bytes.begin(), sizeof r);
    return r;
}

TEST(ByteOrder, ReadsFieldsInFileOrder) {
    EXPECT_EQ(-1, i16ToInt(FromBytes<int16>({0xFF, 0xFF})));
    EXPECT_EQ(65535u, ui16ToUint(FromBytes<uint16>({0xFF, 0xFF})));
    EXPECT_EQ(-32768, i16ToInt(FromBytes<int16>({0x80, 0x00})));
    EXPECT_EQ(0x1234u, ui16ToUint(FromBytes<uint16>({0x12, 0x34})));
    uint32 u = FromBytes<uint32>({0x00, 0x01, 0x02, 0x03});
    EXPECT_EQ(0x00010203u, ui32ToULong(&u));
    uint32 big = FromBytes<uint32>({0xFE, 0xDC, 0xBA, 0x98});
    EXPECT_EQ(0xFEDCBA98u, ui32ToULong(&big));
    EXPECT_EQ(0x3412, Rev16(0x1234));
}

}  // namespace
