#include "ttf/api/handles.h"

#include <gtest/gtest.h>

#include "ttf/font/ttf.h"

using namespace kelmor;

namespace {

struct LiveFont {
    LiveFont() { font.lMagic = kMagicKELM; }
    _TTFont font{};
};

TEST(Handles, NameOnlyLiveFontsAndRejectEverythingElse) {
    LiveFont a, b;
    int32_t ha = HandleFromFont(&a.font);
    int32_t hb = HandleFromFont(&b.font);
    ASSERT_GT(ha, 0);
    ASSERT_GT(hb, 0);
    EXPECT_NE(ha, hb);
    EXPECT_EQ(&a.font, FontFromHandle(ha));
    EXPECT_EQ(&b.font, FontFromHandle(hb));

    EXPECT_EQ(nullptr, FontFromHandle(0));
    EXPECT_EQ(nullptr, FontFromHandle(-1));
    EXPECT_EQ(nullptr, FontFromHandle(12345678));
    EXPECT_EQ(nullptr, FontFromHandle(ha ^ 0x10000));  // right slot, wrong generation

    ReleaseHandle(ha);
    EXPECT_EQ(nullptr, FontFromHandle(ha));
    ReleaseHandle(hb);
}

TEST(Handles, ReusedSlotDoesNotReviveStaleHandle) {
    LiveFont a, b;
    int32_t first = HandleFromFont(&a.font);
    ReleaseHandle(first);
    int32_t second = HandleFromFont(&b.font);
    EXPECT_NE(first, second);
    EXPECT_EQ(nullptr, FontFromHandle(first));
    EXPECT_EQ(&b.font, FontFromHandle(second));
    ReleaseHandle(second);
}

TEST(Handles, ObjectWithoutMagicIsRejected) {
    LiveFont a;
    int32_t h = HandleFromFont(&a.font);
    a.font.lMagic = 0;
    EXPECT_EQ(nullptr, FontFromHandle(h));
    ReleaseHandle(h);
}

// The generation took 15 bits and wrapped: after 32,767 reuses of its slot a
// closed handle named the font opened there next.
TEST(Handles, StaleHandleStaysDeadThroughEveryReuseOfItsSlot) {
    LiveFont a, b;
    const int32_t first = HandleFromFont(&a.font);
    ReleaseHandle(first);
    for (int reuse = 0; reuse < 0x10001; ++reuse) {
        const int32_t h = HandleFromFont(&b.font);
        ASSERT_GT(h, 0) << reuse;
        ASSERT_NE(first, h) << reuse;
        ASSERT_EQ(nullptr, FontFromHandle(first)) << reuse;
        ReleaseHandle(h);
    }
}

}  // namespace
