// Layout editing: Ctrl + drag moves of the ten elements with their keys, the prize picture
// resized by its frame bars, the window modes, the two check boxes and the panel gestures.
#include "app/handlers.h"
#include "app/common/layout.h"
#include "framework/template_library.h"
#include "settings_fixture.h"

namespace ld::test {
namespace {

class Layout : public SettingsTest {
protected:
    void press(std::string_view utf8Name, int keyState) {
        raise(utf8Name, ev::kLeftDown, EventArgs{5, 5, keyState});
    }
    void dragBar(std::string_view utf8Name, int from, int to) {
        EventArgs args;
        args.oldPos = from;
        args.newPos = to;
        raise(utf8Name, ev::kPositionChanged, args);
    }
};

struct MoveCase {
    const char* control;
    const char* leftKey;
    const char* topKey;
    bool raisesSettings;
};
const MoveCase kMoves[] = {
    {"图片框_照片", "图片框_照片左边", "图片框_照片顶边", false},
    {"透明标签_抽取进度", "透明标签_抽取进度左边", "透明标签_抽取进度顶边", false},
    {"透明标签_副标题", "标签2左边", "标签2顶边", true},
    {"透明标签_恭喜", "透明标签_恭喜左边", "透明标签_恭喜顶边", true},
    {"超级按钮", "超级按钮左边", "超级按钮顶边", false},
    {"透明标签_中奖人", "标签_中奖人左边", "标签_中奖人顶边", false},
    {"透明标签_奖项等级", "透明标签_奖项等级左边", "透明标签_奖项等级顶边", false},
    {"图片框_奖品", "图片框_奖品左边", "图片框_奖品顶边", false},
    {"组合框1", "组合框1左边", "组合框1顶边", false},
    {"透明标签_主标题", "标签1左边", "标签1顶边", true},
};

TEST_F(Layout, CtrlDragMovesEachElementAndStoresItsPosition) {
    begin();
    int n = 0;
    for (const MoveCase& m : kMoves) {
        SCOPED_TRACE(m.control);
        host.gui.zOrders.clear();
        host.gui.moveTargets = {{100 + n, -20 + n}};  // a negative position is kept as it is
        press(m.control, keys::kCtrl);
        EXPECT_EQ(control(m.control).left(), 100 + n);
        EXPECT_EQ(stored(ConfigSection::Zweizhi, m.leftKey), ToText(100 + n));
        EXPECT_EQ(stored(ConfigSection::Zweizhi, m.topKey), ToText(-20 + n));
        if (m.raisesSettings) {
            ASSERT_EQ(host.gui.zOrders.size(), 1u);
            EXPECT_EQ(host.gui.zOrders[0].first, &control("分组框1"));
            EXPECT_EQ(host.gui.zOrders[0].second, 1);
        } else {
            EXPECT_TRUE(host.gui.zOrders.empty());
        }
        ++n;
    }
    // Left before top: the pair's keys appear in that order.
    const std::string file = folder.read("peizhi.a");
    EXPECT_LT(file.find(Gbk("超级按钮左边=")), file.find(Gbk("超级按钮顶边=")));
}

TEST_F(Layout, APressWithoutExactlyCtrlMovesNothing) {
    begin();
    const int left = control("透明标签_主标题").left();
    for (int keyState : {0, keys::kCtrl | keys::kShift, keys::kCtrl | keys::kAlt, keys::kShift}) {
        host.gui.moveTargets = {{1, 2}};
        press("透明标签_主标题", keyState);
        EXPECT_EQ(host.gui.moveTargets.size(), 1u) << keyState;  // no move loop ran
    }
    EXPECT_EQ(control("透明标签_主标题").left(), left);
    EXPECT_FALSE(stored(ConfigSection::Zweizhi, "标签1左边"));
    EXPECT_FALSE(stored(ConfigSection::Zweizhi, "标签1顶边"));
}

TEST_F(Layout, TheFrameFollowsAMovedPrizePictureOnItsEdges) {
    begin();
    Control& box = control("图片框_奖品");
    box.setWidth(200);
    box.setHeight(150);
    host.gui.moveTargets = {{300, 400}};
    press("图片框_奖品", keys::kCtrl);
    EXPECT_EQ(control("分隔条_左").left(), 300);
    EXPECT_EQ(control("分隔条_左").top(), 400);
    EXPECT_EQ(control("分隔条_左").height(), 150);
    EXPECT_EQ(control("分隔条_右").left(), 500);
    EXPECT_EQ(control("分隔条_上").top(), 400);
    EXPECT_EQ(control("分隔条_上").width(), 200);
    EXPECT_EQ(control("分隔条_下").top(), 550);
}

TEST_F(Layout, DraggingAFrameBarResizesThePrizePictureAndReframesItOutside) {
    begin();
    Control& box = control("图片框_奖品");
    box.setLeft(700);
    box.setTop(400);
    box.setWidth(272);
    box.setHeight(224);

    dragBar("分隔条_下", 624, 644);  // 20 px down: 20 px higher
    EXPECT_EQ(box.height(), 244);
    EXPECT_EQ(box.top(), 400);
    dragBar("分隔条_左", 699, 709);  // 10 px right: 10 px narrower, left edge follows
    EXPECT_EQ(box.width(), 262);
    EXPECT_EQ(box.left(), 710);
    dragBar("分隔条_上", 399, 409);  // 10 px down: lower and shorter
    EXPECT_EQ(box.top(), 410);
    EXPECT_EQ(box.height(), 234);
    dragBar("分隔条_右", 972, 962);  // 10 px left: narrower, left edge stays
    EXPECT_EQ(box.width(), 252);
    EXPECT_EQ(box.left(), 710);

    // Resize framing: the left and top bars one pixel outside the box.
    EXPECT_EQ(control("分隔条_左").left(), 709);
    EXPECT_EQ(control("分隔条_上").top(), 409);
    EXPECT_EQ(control("分隔条_右").left(), 962);
    EXPECT_EQ(control("分隔条_下").top(), 644);
    EXPECT_EQ(control("分隔条_左").height(), 234);
    EXPECT_EQ(control("分隔条_下").width(), 252);
    // The size is stored at exit, not here.
    EXPECT_FALSE(stored(keys::PrizeHeight()));
    EXPECT_FALSE(stored(keys::PrizeWidth()));
}

TEST_F(Layout, WindowModesSwapTheBorderAndTheCheckMarks) {
    host.screen.w = 1280;
    host.screen.h = 720;
    Window& stage = begin();
    choose("全屏");
    Control& self = stage.self();
    EXPECT_EQ(self.getInt(prop::kBorder), 0);
    EXPECT_EQ(self.width(), 1280);
    EXPECT_EQ(self.height(), 720);
    EXPECT_EQ(stored(keys::WindowMode()), Gbk("全屏"));

    choose("窗口");
    EXPECT_EQ(self.getInt(prop::kBorder), 1);
    EXPECT_EQ(self.left(), 0);  // full-screen position and size kept
    EXPECT_EQ(self.width(), 1280);
    EXPECT_TRUE(menuChecked("窗口"));
    EXPECT_FALSE(menuChecked("全屏"));
    EXPECT_EQ(stored(keys::WindowMode()), Gbk("窗口"));

    choose("全屏");
    EXPECT_TRUE(menuChecked("全屏"));
    EXPECT_FALSE(menuChecked("窗口"));
}

TEST_F(Layout, HidingTheStartButtonFlattensItAndStoresTheChoice) {
    begin();
    Control& button = control("超级按钮");
    const int left = button.left();
    tick("选择框_不显示按钮", true);
    EXPECT_EQ(button.height(), 0);
    EXPECT_TRUE(button.visible());  // Enter and the space bar still reach it
    EXPECT_EQ(button.left(), left);
    EXPECT_EQ(stored(keys::HideButton()), Gbk("真"));
    tick("选择框_不显示按钮", false);
    EXPECT_EQ(button.height(), 70);
    EXPECT_EQ(stored(keys::HideButton()), Gbk("假"));
}

TEST_F(Layout, DisablingEffectsStoresTheChoiceAndEndsARunningCelebration) {
    Window& stage = begin();
    tick("选择框_禁用特效", true);
    EXPECT_EQ(stored(keys::NoEffects()), Gbk("真"));

    ASSERT_TRUE(LoadWindow(app::kCelebrationWindow, &stage));
    tick("选择框_禁用特效", false);
    EXPECT_FALSE(IsWindowLoaded(app::kCelebrationWindow));
    EXPECT_EQ(stored(keys::NoEffects()), Gbk("假"));
}

TEST_F(Layout, ThePanelIsDraggedWithAnyModifiersAndClosedByItsMark) {
    begin();
    Control& panel = control("外形框1");
    panel.setVisible(true);
    host.gui.moveTargets = {{10, 20}, {30, 40}};
    press("外形框1", 0);
    EXPECT_EQ(panel.left(), 10);
    press("外形框1", keys::kCtrl);
    EXPECT_EQ(panel.top(), 40);
    press("标签8", 0);
    EXPECT_FALSE(panel.visible());
    EXPECT_EQ(folder.read("peizhi.a").find(Gbk("外形框1")), std::string::npos);
}

}  // namespace
}  // namespace ld::test
