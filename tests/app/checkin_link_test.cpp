// Check-in wired to the draw: the 活动工具 menu, the server opened on the configured address
// with its token and port kept, attendees joining the pool once and never in the middle of a
// pick, the exit that takes everyone in before it saves, and failures told to the operator.
#include "app/tools/checkin_link.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "../checkin/http_client.h"
#include "app/common/draw_recovery.h"
#include "app/common/job_runner.h"
#include "app/startup/exit_program.h"
#include "draw_fixture.h"
#include "services/network.h"
#include "services/profile.h"
#include "support/name_card_fonts.h"

namespace ld::test {
namespace {

class CheckinLink : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        std::filesystem::create_directory(folder.diskPath("photo"));
    }
    void TearDown() override {
        app::WaitForJob();
        app::CloseCheckin();
        SetLocalIpv4AddressesForTest(std::nullopt);
        host.loop.runPosted();
        DrawTest::TearDown();
    }
    void openOnLoopback() {
        WriteConfigText(ConfigStore::path(), "qiandao", Gbk("地址"), Text("127.0.0.1"));
        app::ToggleCheckin();
        ASSERT_TRUE(app::CheckinIsOpen());
    }
    // A phone scans the panel's code and checks in (name URL-encoded); the HTTP status it is
    // answered with.
    int phoneChecksIn(const std::string& name) {
        using namespace checkin::testing;
        const std::string url = host.gui.checkinPanel.value().url;  // http://127.0.0.1:port/?t=…
        const size_t port = url.find(':', 5) + 1, token = url.find("?t=") + 3;
        return Exchange(std::stoi(url.substr(port)),
                        Post("/checkin?t=" + url.substr(token) + "&name=" + name, ""))
            .status;
    }
    // The list is chosen in the file dialog; the import goes on in the background.
    void importList(const std::string& list) {
        folder.write("名单.txt", list);
        host.dialogs.fileAnswers = {Text(folder.path("名单.txt"))};
        app::ImportNameListCommand();
    }
    std::vector<Text> warnings() {
        std::vector<Text> texts;
        for (const ShownMessage& m : host.dialogs.messages)
            if (m.style == 48 && m.caption == Gbk("警告")) texts.push_back(m.text);
        return texts;
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
                                           Gbk("导出中奖名单"), Gbk("奖项规则"), Gbk("签到大屏"), Gbk("照片审核"),
                                           Gbk("公证抽奖"), Gbk("公证信息")}));
    EXPECT_FALSE(tools[0].checked);

    ASSERT_TRUE(app::CheckinIsOpen());
    // Short enough to type from the screen, and nothing in it that reads as something else.
    const Text token = stored("口令");
    EXPECT_EQ(token.size(), 8u);
    EXPECT_EQ(token.find_first_not_of(kTokenAlphabet), Text::npos);
    EXPECT_EQ(Text(kTokenAlphabet).find_first_of("01ilo"), Text::npos);
    const Text port = stored("端口");
    EXPECT_GE(ToInt32(port), 8686);
    ASSERT_TRUE(host.gui.checkinPanel);
    EXPECT_EQ(host.gui.checkinPanel->url, "http://127.0.0.1:" + port + "/?t=" + token);
    EXPECT_GT(host.gui.checkinPanel->qrSize, 20);

    // Closed from the same item, checked now; opened again it keeps its token and port
    // (another test program running meanwhile may hold the port: then this run uses another
    // one, and the stored port stays for the printed codes).
    host.gui.menuChoices = {30000};
    rightPress(keys::kCtrl);
    EXPECT_TRUE(host.gui.menusShown[2][0].checked);
    EXPECT_FALSE(app::CheckinIsOpen());
    EXPECT_FALSE(host.gui.checkinPanel);
    app::ToggleCheckin();
    EXPECT_TRUE(host.gui.checkinPanel->url.ends_with("/?t=" + token));
    EXPECT_EQ(stored("口令"), token);
    EXPECT_EQ(stored("端口"), port);
}

TEST_F(CheckinLink, AQuietHallIsToldOnceAfterThreeMinutesNeverOverARoll) {
    const auto told = [&] {
        size_t n = 0;
        for (const ShownMessage& m : host.dialogs.messages) n += m.caption == Gbk("手机签到");
        return n;
    };
    NameCardFonts fonts;
    openOnLoopback();
    EXPECT_EQ(phoneChecksIn("张三"), 200);  // this computer's own browser is no phone
    setLevel(1, "特等奖", "5");
    choose("特等奖");
    click();  // rolling
    host.loop.advance(3 * 60 * 1000);
    EXPECT_EQ(told(), 0u);
    disableEffects(true);
    click();
    host.loop.advance(3 * 60 * 1000);
    EXPECT_EQ(told(), 1u);
    host.loop.advance(3 * 60 * 1000);
    EXPECT_EQ(told(), 1u);
}

TEST_F(CheckinLink, AttendeesJoinAtOnceWhenIdleAndRightAfterTheStopDuringARoll) {
    setLevel(1, "特等奖", "5");
    state().poolText = Gbk("张三\r\n李四");  // a resumed pool without a last line end
    choose("特等奖");
    app::JoinPool(Gbk("王五"));
    EXPECT_EQ(state().poolText, Gbk("张三\r\n李四\r\n王五\r\n"));

    click();  // rolling
    const auto rolling = state().rollList;
    for (const char* name : {"赵六", "孙七", "赵六", "张三"}) app::JoinPool(Gbk(name));
    EXPECT_EQ(state().poolText.find(Gbk("赵六")), Text::npos);
    disableEffects(true);
    click();  // the stop picks among those who were rolling
    EXPECT_EQ(state().rollList, rolling);
    EXPECT_NE(state().pickedName, Gbk("赵六"));
    EXPECT_EQ(state().poolText.find(Gbk("赵六")), Text::npos);
    host.loop.advance(200);  // idle again: all in one step, each person once
    Text expected;
    for (const char* name : {"张三", "李四", "王五", "赵六", "孙七"})
        if (Gbk(name) != state().pickedName) expected += Gbk(name) + "\r\n";
    EXPECT_EQ(state().poolText, expected);
    // The winner just announced does not come back by checking in again.
    app::JoinPool(state().pickedName);
    EXPECT_EQ(state().poolText, expected);
}

TEST_F(CheckinLink, TheExitSavesWhoeverCheckedInMeanwhileAndStopsTheImportFirst) {
    NameCardFonts fonts;
    openOnLoopback();
    // The phone is told 签到成功 while its join still waits for the UI thread.
    ASSERT_EQ(phoneChecksIn("%E7%8E%8B%E4%BA%94"), 200);  // 王五
    std::string list;
    for (int i = 1; i <= 300; ++i) list += "员工" + std::to_string(i) + "\n";
    importList(list);
    ASSERT_TRUE(app::JobRunning());
    host.dialogs.messageAnswers = {msg::kAnswerYes};
    ASSERT_EQ(CatchExit([] { app::RunExitProcedure(); }), 0);

    EXPECT_FALSE(app::JobRunning());  // nothing goes on writing after the exit
    const std::string saved = folder.read("进度.txt");
    EXPECT_NE(saved.find(Gbk("王五\r\n")), std::string::npos);
    // Everyone with a name card is in the saved pool, and the operator knows how far it got.
    int cards = 0;
    for (const auto& photo : std::filesystem::directory_iterator(folder.diskPath("photo"))) {
        const std::string name = photo.path().stem().string();
        if (name.starts_with("员工")) {
            ++cards;
            EXPECT_NE(saved.find(Gbk(name) + "\r\n"), std::string::npos) << name;
        }
    }
    bool told = false;
    for (const ShownMessage& m : host.dialogs.messages) {
        told |= m.caption == Gbk("导入名单") &&
                m.text.find(Gbk("新增 " + std::to_string(cards) + " 人")) != Text::npos;
    }
    EXPECT_TRUE(told);
}

TEST_F(CheckinLink, ThePoolHoldsEachPersonOnceAndTheRecoveryRecordHasEveryJoin) {
    // A resumed run, before its first stop: no record yet.
    ASSERT_FALSE(ReadRecoveryRecord());
    app::JoinPool(Gbk("王五"));
    app::JoinPool(Gbk("王五"));  // a list and a phone both brought him
    EXPECT_EQ(state().poolText.find(Gbk("王五")), state().poolText.rfind(Gbk("王五")));
    const std::optional<RecoveryRecord> record = ReadRecoveryRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->poolText, state().poolText);
}

// The limits are the operator's to set; what they refuse is counted on the console and
// logged, so that a hall that is turned away does not go unseen.
TEST_F(CheckinLink, RefusalsUnderTheOperatorsLimitsAreCountedAndLogged) {
    NameCardFonts fonts;
    WriteConfigText(ConfigStore::path(), "qiandao", Gbk("每地址每分钟签到数"), Text("1"));
    openOnLoopback();
    EXPECT_EQ(phoneChecksIn("%E7%8E%8B%E4%BA%94"), 200);
    EXPECT_EQ(phoneChecksIn("%E8%B5%B5%E5%85%AD"), 429);
    const std::string logged = ",赵六,,127.0.0.1,,拒绝：签到太频繁（429）\r\n";
    // Counted and logged on a worker, the count first: both are waited for.
    for (int i = 0; i < 250 && (app::CheckinRefusedCount() == 0 ||
                                folder.read("签到记录.csv").find(logged) == std::string::npos);
         ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(app::CheckinRefusedCount(), 1);
    EXPECT_NE(folder.read("签到记录.csv").find(logged), std::string::npos);
}

TEST_F(CheckinLink, FailuresThatLeavePhonesOutAreToldOnce) {
    NameCardFonts fonts;
    // The token and the port cannot be kept, nor any line of the check-in log.
    WriteConfigText(ConfigStore::path(), "qiandao", Gbk("地址"), Text("127.0.0.1"));
    folder.makeReadOnly("peizhi.a");
    std::filesystem::create_directory(folder.diskPath("签到记录.csv"));
    app::ToggleCheckin();
    EXPECT_EQ(warnings().size(), 1u);
    EXPECT_EQ(phoneChecksIn("%E7%8E%8B%E4%BA%94"), 200);
    EXPECT_EQ(phoneChecksIn("%E8%B5%B5%E5%85%AD"), 200);
    host.loop.runPosted();
    EXPECT_EQ(warnings().size(), 2u);
    app::CloseCheckin();

    // No address a phone could reach.
    folder.makeWritable("peizhi.a");
    WriteConfigText(ConfigStore::path(), "qiandao", Gbk("地址"), Text());
    SetLocalIpv4AddressesForTest(std::vector<LocalAddress>{});
    app::ToggleCheckin();
    EXPECT_EQ(warnings().size(), 3u);
}

// Printed codes of an earlier event carry a long token: they keep working, whole only.
TEST_F(CheckinLink, AnOldLongTokenKeepsWorkingAndNoPartOfItDoes) {
    const std::string old = "0123456789abcdef0123456789abcdef";
    WriteConfigText(ConfigStore::path(), "qiandao", Gbk("口令"), Text(old));
    openOnLoopback();
    EXPECT_TRUE(host.gui.checkinPanel->url.ends_with("/?t=" + old));
    const int port = ToInt32(stored("端口"));
    using namespace checkin::testing;
    EXPECT_EQ(Exchange(port, Get("/?t=" + old)).status, 200);
    EXPECT_EQ(Exchange(port, Get("/?t=" + old.substr(0, kTokenLength))).status, 403);
    EXPECT_EQ(stored("口令"), old);
}

TEST_F(CheckinLink, TheCheckinScreenFollowsJoinsTakesNoEnterAndClosesWithEscape) {
    NameCardFonts fonts;
    setLevel(1, "特等奖", "5");
    setPool({"张三", "李四"});
    choose("特等奖");
    WriteConfigText(ConfigStore::path(), "qiandao", Gbk("地址"), Text("127.0.0.1"));
    host.gui.menuChoices = {30008};  // 签到大屏: opens check-in too
    rightPress(keys::kCtrl);
    ASSERT_TRUE(app::CheckinIsOpen());
    ASSERT_TRUE(host.gui.checkinScreen);
    EXPECT_EQ(host.gui.checkinScreen->url, host.gui.checkinPanel->url);
    EXPECT_GT(host.gui.checkinScreen->qrSize, 20);

    EXPECT_EQ(phoneChecksIn("%E7%8E%8B%E4%BA%94"), 200);  // 王五
    host.loop.runPosted();
    EXPECT_EQ(host.gui.checkinScreen->count, 1);
    EXPECT_EQ(host.gui.checkinScreen->latestNames, std::vector<Text>{Gbk("王五")});

    // Enter (or a clicker) on the stage would draw unseen behind the view.
    const Text before = caption();
    enter();
    EXPECT_EQ(caption(), before);

    host.gui.checkinScreen->escape();
    EXPECT_FALSE(host.gui.checkinScreen);
    EXPECT_TRUE(app::CheckinIsOpen());  // the panel is back; phones go on checking in
    enter();
    EXPECT_NE(caption(), before);
}

}  // namespace
}  // namespace ld::test
