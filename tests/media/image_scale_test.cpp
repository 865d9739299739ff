// Scaling keeps colours and averages detail away instead of dropping samples.
#include "media/image_scale.h"

#include <gtest/gtest.h>

#include "picture_fixtures.h"

namespace ld {
namespace {

using namespace fixtures;

TEST(ImageScale, FlatColourStaysExactInEveryDirection) {
    const Image flat = Filled(37, 23, {10, 200, 77});
    for (Size target : {Size{5, 3}, Size{37, 23}, Size{100, 61}, Size{1, 1}, Size{80, 7}}) {
        const Image out = ScaleImage(flat, target);
        ASSERT_EQ(out.size(), target);
        EXPECT_TRUE(Near(out, 0, 0, {10, 200, 77}, 0));
        EXPECT_TRUE(Near(out, target.width - 1, target.height - 1, {10, 200, 77}, 0));
    }
    EXPECT_TRUE(ScaleImage(flat, {0, 5}).empty());
    EXPECT_TRUE(ScaleImage(Image(), {5, 5}).empty());
}

TEST(ImageScale, ShrinkingAveragesFineDetail) {
    Image stripes(64, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 64; ++x) {
            uint8_t* p = stripes.row(y) + x * 4;
            p[0] = p[1] = p[2] = x % 2 ? 255 : 0;
            p[3] = 255;
        }
    }
    const Image out = ScaleImage(stripes, {8, 8});
    EXPECT_TRUE(Near(out, 3, 3, {128, 128, 128}, 2));
}

TEST(ImageScale, EnlargingKeepsCornersInPlace) {
    const Image out = ScaleImage(Quadrants(16, 12), {500, 375});
    EXPECT_TRUE(Near(out, 5, 5, kRed, 0));
    EXPECT_TRUE(Near(out, 494, 5, kGreen, 0));
    EXPECT_TRUE(Near(out, 5, 369, kBlue, 0));
    EXPECT_TRUE(Near(out, 494, 369, kYellow, 0));
}

TEST(ImagePlacement, FitsCoversAndNeverEnlargesWhenShrinkingOnly) {
    const Size box{500, 400};
    const Placement fit = PlacePicture({4000, 3000}, box, BoxFit::ShrinkToFit);
    EXPECT_EQ(fit.width, 500);
    EXPECT_EQ(fit.height, 375);
    EXPECT_EQ(fit.y, 12);
    const Placement portrait = PlacePicture({3000, 4000}, box, BoxFit::ShrinkToFit);
    EXPECT_EQ(portrait.width, 300);
    EXPECT_EQ(portrait.x, 100);
    const Placement small = PlacePicture({160, 120}, box, BoxFit::ShrinkToFit);
    EXPECT_EQ(small.width, 160);
    EXPECT_EQ(small.x, 170);
    const Placement cover = PlacePicture({160, 120}, box, BoxFit::Cover);
    EXPECT_EQ(cover.width, 533);
    EXPECT_EQ(cover.height, 400);
    EXPECT_EQ(cover.x, -16);
    const Placement thin = PlacePicture({10000, 1}, {100, 100}, BoxFit::ShrinkToFit);
    EXPECT_EQ(thin.height, 1);  // never below a pixel
    EXPECT_EQ(PlacePicture({0, 0}, box, BoxFit::Stretch).width, 0);
}

}  // namespace
}  // namespace ld
