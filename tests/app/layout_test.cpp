#include "app/common/layout.h"

#include "stage_fixture.h"

namespace ld {
namespace {

class PrizeFrame : public test::StageTest {};

// Wherever the layout or the operator puts the prize picture, its bars frame it and its
// name stands above it, never left behind on the photo.
TEST_F(PrizeFrame, BarsAndNameFollowThePicture) {
    start();
    Control& box = control("图片框_奖品");
    box.setLeft(1300);
    box.setTop(500);
    box.setWidth(200);
    box.setHeight(150);

    app::FramePrizeBox(app::Framing::Move);
    EXPECT_EQ(control("分隔条_左").left(), 1300);
    EXPECT_EQ(control("分隔条_上").top(), 500);
    EXPECT_EQ(control("分隔条_下").top(), 650);
    EXPECT_EQ(control("分隔条_右").left(), 1500);
    Control& name = control("透明标签_奖品名称");
    EXPECT_EQ(name.left(), 1300);
    EXPECT_EQ(name.top(), 500 - name.height() - 8);

    app::FramePrizeBox(app::Framing::Resize);
    EXPECT_EQ(control("分隔条_左").left(), 1299);
    EXPECT_EQ(control("分隔条_上").top(), 499);
}

}  // namespace
}  // namespace ld
