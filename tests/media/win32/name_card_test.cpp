// Name cards drawn with GDI: the card's size and colours, and the name in gold across the
// middle (the Linux cards need a Qt application and are tested with check-in).
#include "media/name_card.h"

#include <gtest/gtest.h>

#include "media/picture_fixtures.h"

namespace ld {
namespace {

using fixtures::Near;

// Gold pixels in the band of rows [top, bottom).
int GoldPixels(const Image& card, int top, int bottom) {
    int gold = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = card.width / 8; x < card.width * 7 / 8; ++x) {
            gold += Near(card, x, y, {0xF6, 0xD3, 0x65}, 30) ? 1 : 0;
        }
    }
    return gold;
}

TEST(NameCard, TheNameIsDrawnInGoldOnTheRedCard) {
    const Image card = DrawNameCard("\xE5\xBC\xA0\xE4\xB8\x89 Zhang", "", {240, 320});
    ASSERT_EQ(card.size(), (Size{240, 320}));
    EXPECT_TRUE(Near(card, 2, 2, {0x8E, 0x0E, 0x14}, 30));  // the glow's edge, outside the frame
    EXPECT_EQ(card.pixel(2, 2)[3], 255);
    EXPECT_GT(GoldPixels(card, 320 * 30 / 100, 320 * 56 / 100), 200);
    const Image empty = DrawNameCard("", "", {240, 320});
    EXPECT_EQ(GoldPixels(empty, 320 * 30 / 100, 320 * 56 / 100), 0);
}

}  // namespace
}  // namespace ld
