// Check-in wired to the draw: the 活动工具 menu, the server opened on the configured address
// with its token and port kept, and attendees joining the pool never in the middle of a pick.
#include "app/tools/checkin_link.h"

#include "draw_fixture.h"
#include "services/profile.h"

namespace ld::test {
namespace {

class CheckinLink : public DrawTest {
protected:
    void TearDown() override {
        app::CloseCheckin();
        DrawTest::TearDown();
    }
    void rightPress(int keyState) {
        EventArgs args{10, 10, keyState};
        raise("透明标签_中奖人", ev::kRightDown, args);
    }
    Text stored(const char* key) {
        return ReadConfigText(ConfigStore::path(), "qiandao", Gbk(key));
    }
};

TEST_F(CheckinLink, CtrlRightPressOffersTheEventToolsAndOpensCheckinOnLoopback) {
    rightPress(0);
    ASSERT_EQ(host.gui.menusShown.size(), 1u);
    EXPECT_EQ(host.gui.menusShown[0][0].caption, Gbk("更换主标题"));  // the stage's own menu

    WriteConfigText(ConfigStore::path(), "qiandao", Gbk("地址"), Text("127.0.0.1"));
    host.gui.menuChoices = {30000};  // 手机签到
    rightPress(keys::kCtrl);
    ASSERT_EQ(host.gui.menusShown.size(), 2u);
    const auto& tools = host.gui.menusShown[1];
    std::vector<Text> captions;
    for (const PopupEntry& tool : tools) captions.push_back(tool.caption);
    EXPECT_EQ(captions, (std::vector<Text>{Gbk("手机签到"), Gbk("导入名单"), Gbk("更换签到口令"),
                                           Gbk("每次抽取人数"), Gbk("舞台显示器"), Gbk("翻页笔"),
                                           Gbk("导出中奖名单")}));
    EXPECT_FALSE(tools[0].checked);

    ASSERT_TRUE(app::CheckinIsOpen());
    const Text token = stored("口令");
    EXPECT_EQ(token.size(), 32u);
    const Text port = stored("端口");
    EXPECT_GE(ToInt32(port), 8686);
    ASSERT_TRUE(host.gui.checkinPanel);
    EXPECT_EQ(host.gui.checkinPanel->url, "http://127.0.0.1:" + port + "/?t=" + token);
    EXPECT_GT(host.gui.checkinPanel->qrSize, 20);

    // Closed from the same item, checked now; opened again it keeps its token and port.
    host.gui.menuChoices = {30000};
    rightPress(keys::kCtrl);
    EXPECT_TRUE(host.gui.menusShown[2][0].checked);
    EXPECT_FALSE(app::CheckinIsOpen());
    EXPECT_FALSE(host.gui.checkinPanel);
    app::ToggleCheckin();
    EXPECT_EQ(host.gui.checkinPanel->url, "http://127.0.0.1:" + port + "/?t=" + token);
}

TEST_F(CheckinLink, AttendeesJoinAtOnceWhenIdleAndRightAfterTheStopDuringARoll) {
    setLevel(1, "特等奖", "5");
    state().poolText = Gbk("张三\r\n李四");  // a resumed pool without a last line end
    choose("特等奖");
    app::JoinPool(Gbk("王五"));
    EXPECT_EQ(state().poolText, Gbk("张三\r\n李四\r\n王五\r\n"));

    click();  // rolling
    const auto rolling = state().rollList;
    app::JoinPool(Gbk("赵六"));
    EXPECT_EQ(state().poolText.find(Gbk("赵六")), Text::npos);
    disableEffects(true);
    click();  // the stop picks among those who were rolling
    EXPECT_EQ(state().rollList, rolling);
    EXPECT_NE(state().pickedName, Gbk("赵六"));
    EXPECT_EQ(state().poolText.find(Gbk("赵六")), Text::npos);
    host.loop.advance(200);  // idle again
    EXPECT_TRUE(state().poolText.ends_with(Gbk("赵六\r\n")));
}

}  // namespace
}  // namespace ld::test
