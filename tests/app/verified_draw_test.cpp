// A verified event on the real draw screen, from the seal to the reveal, across a crash, and
// replayed by the verifier (and by the stand-alone script where Python is at hand).
#include <cstdlib>
#include <filesystem>

#include "app/draw/draw_engine_parts.h"
#include "app/draw/verified_event.h"
#include "app/tools/verified_draw.h"
#include "draw_fixture.h"
#include "services/encoding.h"
#include "services/files.h"
#include "verify/audit_record.h"
#include "verify/replay.h"
#include "verify/verify_command.h"

namespace ld::test {
namespace {

const std::string kRecord = "公证记录.jsonl", kList = "公证名单.txt", kResults = "抽奖结果.txt";

class VerifiedDraw : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        folder.write("peizhi.a", Gbk("[zbt]\r\n特等奖=特等奖\r\n特等奖人数=1\r\n特等奖参与部门=销售部\r\n"
                                     "一等奖=一等奖\r\n一等奖人数=5\r\n一等奖每次人数=3\r\n"));
        setLevel(1, "特等奖", "1");
        setLevel(2, "一等奖", "5");
        setPool({"甲（销售部）", "乙（销售部）", "丙（财务部）", "丁", "戊", "己", "庚（财务部）",
                 "辛", "壬", "癸"});
        disableEffects(true);
    }
    void menu(std::string_view utf8Caption) {
        EventArgs args;
        app::Stage().menuItem(Gbk(utf8Caption)).selected(app::Stage().self(), args);
    }
    app::VerifiedEvent& event() { return *app::OpenVerifiedEvent(); }
    verify::Replay replay(const std::string& dir = "") {
        return verify::ReplayEvent(folder.read(dir + kRecord), folder.read(dir + kList),
                                   GbkToUtf8(folder.read(dir + kResults)));
    }
};

TEST_F(VerifiedDraw, AWholeEventReplaysFromItsRecordAcrossACrash) {
    designate(2, 1, "内定者");
    // Designated winners: asked first, then the seal; the hall's first person is cancelled.
    host.dialogs.messageAnswers = {msg::kAnswerYes, msg::kAnswerOk};
    host.dialogs.inputAnswers = {std::nullopt};
    app::ToggleVerifiedDraw();
    ASSERT_TRUE(app::VerifiedDrawOn());
    EXPECT_TRUE(folder.exists(kRecord) && folder.exists(kList) && folder.exists(".公证密钥"));
    choose("特等奖");
    click();
    EXPECT_EQ(caption(), app::StartCaption());  // no seed, no roll
    // Digits, ASCII and full-width, with spaces; the second round is confirmed.
    host.dialogs.messageAnswers = {msg::kAnswerYes, msg::kAnswerYes};
    host.dialogs.inputAnswers = {Gbk("123456"), Gbk("789 012"), Gbk("３４５６７８")};
    app::ToggleVerifiedDraw();
    EXPECT_EQ(event().digits, "123456789012345678");
    EXPECT_NE(app::VerifiedBandText(event()).find(Gbk("现场数字 123456 789012 345678")), Text::npos);

    // A check-in after the seal waits: it never rolls and never wins.
    state().poolText += Gbk("迟到者") + "\r\n";
    EXPECT_EQ(app::VerifiedInfoCaption(), "公证信息（1 人待下次封存）");
    drawOne();
    EXPECT_NE(folder.read(kResults).find(Gbk("（销售部）  ------  特等奖")), Text::npos);
    choose("一等奖");
    click();
    EXPECT_EQ(std::count(state().rollList.begin(), state().rollList.end(), Gbk("迟到者")), 0);
    click();  // a batch of three
    host.loop.advance(200);
    host.dialogs.listAnswers = {1};  // the second of the batch gives up
    host.dialogs.messageAnswers = {msg::kAnswerOk};
    menu("放弃当前中奖人");
    EXPECT_EQ(std::count(state().poolText.begin(), state().poolText.end(), '\n'), 7);

    // A crash after the results took the next batch but before the record did.
    drawOne();
    const Text results = folder.read(kResults);
    std::string record = folder.read(kRecord);
    record.erase(record.rfind('\n', record.size() - 2) + 1);
    folder.write(kRecord, record + "{\"n\":9,\"prev");  // and half a line
    startAgain({msg::kAnswerYes});
    ASSERT_TRUE(app::VerifiedDrawOn());
    EXPECT_EQ(folder.read(kResults), results);
    EXPECT_EQ(event().picks, 7u);
    EXPECT_EQ(results.find(Gbk("内定者")), Text::npos);

    host.dialogs.messageAnswers = {msg::kAnswerOk};
    app::ToggleVerifiedDraw();  // ends it: the secret is revealed
    EXPECT_FALSE(app::VerifiedDrawOn());
    EXPECT_FALSE(folder.exists(".公证密钥"));
    const verify::Replay passed = replay();
    EXPECT_EQ(passed.verdict, "复核通过");
    ASSERT_EQ(passed.levels.size(), 2u);
    EXPECT_EQ(std::count(passed.levels[1].begin(), passed.levels[1].end(), '\xE3'), 5);  // 、×5
    EXPECT_NE(app::VerifiedExportLines()[4].find("密钥："), std::string::npos);
#ifndef _WIN32
    // The stand-alone script, on the files the program wrote.
    const std::string script = std::string(LD_TEST_DATA_DIR) + "/../../tools/verify/verify_draw.py";
    const std::string command = "python3 '" + script + "' '" + folder.diskPath(kRecord).string() +
                                "' '" + folder.diskPath(kList).string() + "' '" +
                                folder.diskPath(kResults).string() + "' >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
#endif

    // A winner's line changed by hand is found.
    folder.write(kResults, ReplaceAll(results, Gbk("  ------  特等奖"), Gbk("x  ------  特等奖")));
    EXPECT_NE(replay().verdict.find("抽奖结果.txt 第 1 行"), std::string::npos);
}

TEST_F(VerifiedDraw, AFreshStartEndsTheEventAndKeepsItsFilesTogether) {
    host.dialogs.messageAnswers = {msg::kAnswerOk, msg::kAnswerYes};
    host.dialogs.inputAnswers = {Gbk("111111222222333333")};
    app::ToggleVerifiedDraw();
    choose("一等奖");
    drawOne();
    // A stop whose level was renamed after the seal is refused.
    setLevel(2, "一等奖（改）", "5");
    choose("一等奖（改）");
    const Text before = folder.read(kResults);
    click();
    EXPECT_EQ(folder.read(kResults), before);
    EXPECT_NE(messages().back().text.find(Gbk("不在公证封存的奖项中")), Text::npos);
    setLevel(2, "一等奖", "6");  // nor one whose count was raised
    choose("一等奖");
    drawOne();
    EXPECT_EQ(folder.read(kResults), before);

    startAgain({msg::kAnswerNo, msg::kAnswerNo});  // no recovery, no resume
    EXPECT_FALSE(app::VerifiedDrawOn());
    EXPECT_FALSE(folder.exists(kRecord));
    std::string archived;
    for (const auto& entry : std::filesystem::directory_iterator(folder.diskPath("history")))
        if (entry.path().filename().string().starts_with("公证-")) archived = entry.path().filename().string();
    ASSERT_FALSE(archived.empty());
    EXPECT_EQ(replay("history/" + archived + "/").verdict, "复核通过");
    EXPECT_EQ(verify::VerifyRecordFile(Gbk(folder.path("history/" + archived + "/" + kRecord)))
                  .exitCode,
              0);
}

// Names whose bytes are not valid GBK (a photo named on another system) still leave the pool
// once they have won.
TEST_F(VerifiedDraw, AWinnerWithAnOddNameLeavesThePool) {
    state().poolText = "\xFF\xFE\r\n\x80\r\n";
    host.dialogs.messageAnswers = {msg::kAnswerOk, msg::kAnswerYes};
    host.dialogs.inputAnswers = {Gbk("111111222222333333")};
    app::ToggleVerifiedDraw();
    choose("一等奖");
    drawOne();
    drawOne();
    EXPECT_EQ(state().poolText, "");
    host.dialogs.messageAnswers = {msg::kAnswerOk};
    app::ToggleVerifiedDraw();
    EXPECT_EQ(replay().verdict, "复核通过");
}

// Results edited by hand may end without a line end: the first winner gets a line of his own.
TEST_F(VerifiedDraw, AWinnerIsNotJoinedToAnUnendedResultsLine) {
    state().resultsText = Gbk("上一场：手写");
    host.dialogs.messageAnswers = {msg::kAnswerOk, msg::kAnswerYes, msg::kAnswerOk};
    host.dialogs.inputAnswers = {Gbk("111111222222333333")};
    app::ToggleVerifiedDraw();
    choose("一等奖");
    drawOne();
    app::ToggleVerifiedDraw();
    EXPECT_EQ(replay().verdict, "复核通过");
}

#ifndef _WIN32
// The script reads what the program wrote as the program does: two levels of one name (the
// first is the one drawn) and a name with a Unicode line separator in it.
TEST_F(VerifiedDraw, TheScriptAgreesOnOddLevelsAndNames) {
    folder.write("peizhi.a",
                 folder.read("peizhi.a") + Gbk("二等奖=一等奖\r\n二等奖参与部门=财务部\r\n"));
    setLevel(3, "一等奖", "5");
    setPool({"丙（财务部）", "林\u2028森", "丁"});
    host.dialogs.messageAnswers = {msg::kAnswerOk, msg::kAnswerYes, msg::kAnswerOk};
    host.dialogs.inputAnswers = {Gbk("111111222222333333")};
    app::ToggleVerifiedDraw();
    choose("一等奖");
    drawOne();  // a batch of all three
    app::ToggleVerifiedDraw();
    ASSERT_EQ(replay().verdict, "复核通过");
    const std::string script = std::string(LD_TEST_DATA_DIR) + "/../../tools/verify/verify_draw.py";
    const std::string command = "python3 '" + script + "' '" + folder.diskPath(kRecord).string() +
                                "' '" + folder.diskPath(kList).string() + "' '" +
                                folder.diskPath(kResults).string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
}
#endif

// The reveal is only told, and the event only ended, once the record holds it.
TEST_F(VerifiedDraw, AnEndTheRecordDidNotTakeIsNotToldAsDone) {
    host.dialogs.messageAnswers = {msg::kAnswerOk, msg::kAnswerYes};
    host.dialogs.inputAnswers = {Gbk("111111222222333333")};
    app::ToggleVerifiedDraw();
    const std::string record = folder.read(kRecord);
    std::filesystem::remove(folder.diskPath(kRecord));
    std::filesystem::create_directory(folder.diskPath(kRecord));  // cannot be written
    host.dialogs.messageAnswers = {msg::kAnswerOk};
    app::ToggleVerifiedDraw();
    EXPECT_TRUE(app::VerifiedDrawOn());
    EXPECT_TRUE(folder.exists(".公证密钥"));
    EXPECT_EQ(messages().back().text.find(Gbk("密钥已公布")), Text::npos);

    std::filesystem::remove(folder.diskPath(kRecord));
    folder.write(kRecord, record);
    host.dialogs.messageAnswers = {msg::kAnswerOk};
    app::ToggleVerifiedDraw();  // the disk is back
    EXPECT_FALSE(app::VerifiedDrawOn());
    EXPECT_EQ(replay().verdict, "复核通过");
}

// A crash after a forfeit's results line but before its entry: the recovery records the
// forfeit, so the redraw of the place is not one winner too many.
TEST_F(VerifiedDraw, AForfeitTheRecordLostInACrashIsRecordedAgain) {
    host.dialogs.messageAnswers = {msg::kAnswerOk, msg::kAnswerYes};
    host.dialogs.inputAnswers = {Gbk("111111222222333333")};
    app::ToggleVerifiedDraw();
    choose("特等奖");
    drawOne();
    host.dialogs.messageAnswers = {msg::kAnswerOk};
    menu("放弃当前中奖人");
    std::string record = folder.read(kRecord);
    ASSERT_NE(record.find("\"type\":\"forfeit\""), std::string::npos);
    record.erase(record.rfind('\n', record.size() - 2) + 1);
    folder.write(kRecord, record);
    startAgain({msg::kAnswerYes});
    ASSERT_TRUE(app::VerifiedDrawOn());
    choose("特等奖");
    drawOne();
    startAgain({msg::kAnswerYes});  // a second recovery does not record it twice
    host.dialogs.messageAnswers = {msg::kAnswerOk};
    app::ToggleVerifiedDraw();
    EXPECT_EQ(replay().verdict, "复核通过");
    const std::string written = folder.read(kRecord);
    EXPECT_EQ(written.find("\"forfeit\""), written.rfind("\"forfeit\""));
}

// A full disk takes part of an entry: the next write does not leave that piece in the chain.
TEST_F(VerifiedDraw, APartWrittenEntryIsNotLeftInTheRecord) {
    host.dialogs.messageAnswers = {msg::kAnswerOk, msg::kAnswerYes};
    host.dialogs.inputAnswers = {Gbk("111111222222333333")};
    app::ToggleVerifiedDraw();
    SetWriteFailureAfterBytesForTest(20);
    EXPECT_FALSE(app::AppendEntry(event(), "resume", {}));
    SetWriteFailureAfterBytesForTest(-1);
    EXPECT_TRUE(app::AppendEntry(event(), "resume", {}));
    // Part of a reveal, which is taken back: the event goes on after it.
    SetWriteFailureAfterBytesForTest(150);
    EXPECT_FALSE(app::EndVerifiedEvent());
    SetWriteFailureAfterBytesForTest(-1);
    EXPECT_TRUE(app::AppendEntry(event(), "resume", {}));
    const verify::ReadRecord read = verify::ReadAuditRecord(folder.read(kRecord));
    EXPECT_EQ(read.problem, "");
    ASSERT_EQ(read.entries.size(), 5u);
    EXPECT_EQ(read.entries.back().type, "resume");
}

// A level the list's text cannot hold (a tab pasted into its name, a negative count) would
// make a seal that no verifier, and no resume, could read back: it is refused.
TEST_F(VerifiedDraw, AListItsTextCannotHoldIsNotSealed) {
    setLevel(2, "一等\t奖", "5");
    setLevel(3, "二等奖", "-1");
    host.dialogs.messageAnswers = {msg::kAnswerOk, msg::kAnswerOk};
    app::ToggleVerifiedDraw();
    EXPECT_FALSE(app::VerifiedDrawOn());
    EXPECT_FALSE(folder.exists(kRecord));
}

// 是否允许重复 switched on after the seal: a verified winner still leaves the pool, or he
// could win again once the event is over.
TEST_F(VerifiedDraw, AWinnerLeavesThePoolWhateverTheRepeatsBox) {
    host.dialogs.messageAnswers = {msg::kAnswerOk, msg::kAnswerYes};
    host.dialogs.inputAnswers = {Gbk("111111222222333333")};
    app::ToggleVerifiedDraw();
    allowRepeats(true);
    choose("特等奖");
    drawOne();
    choose("一等奖");
    drawOne();  // a batch of three
    EXPECT_EQ(std::count(state().poolText.begin(), state().poolText.end(), '\n'), 6);
}

TEST_F(VerifiedDraw, TheOrdinaryDrawMakesNoneOfItsFiles) {
    choose("一等奖");
    drawOne();
    drawOne();
    EXPECT_FALSE(folder.exists(kRecord) || folder.exists(kList) || folder.exists(".公证密钥"));
    EXPECT_TRUE(app::VerifiedExportLines().empty());
    EXPECT_EQ(app::VerifiedInfoCaption(), "公证信息");
}

}  // namespace
}  // namespace ld::test
