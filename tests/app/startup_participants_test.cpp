// Start-up: who takes part (the photo folder, or a saved draw resumed), the start-up copy
// title.txt, and the main title from cjini.txt.
#include <chrono>
#include <filesystem>
#include <map>

#include "app/startup/stage_startup.h"
#include "startup_fixture.h"

namespace ld::test {
namespace {

using StartupParticipants = StartupTest;

TEST_F(StartupParticipants, EachPhotoGivesItsNameUpToTheFirstDotInTheFolderOrder) {
    photos({"张三.jpg", "a.b.JPG", "李四.Jpg", "王五.jpeg", "note.txt", ".jpg", "._IMG_1.JPG"});
    makeFolder("photo/x.JPG");
    folder.write("title.txt", "old list");
    start();
    // The listing keeps the file system's order; compare with it.
    const std::map<std::string, std::string> names = {
        {"张三.jpg", "张三"}, {"a.b.JPG", "a"}, {"李四.Jpg", "李四"}};
    std::string expected;
    for (const auto& entry : std::filesystem::directory_iterator(folder.diskPath("photo"))) {
        auto it = names.find(entry.path().filename().string());
        if (it != names.end()) expected += it->second + "\r\n";
    }
    ASSERT_EQ(expected.size(), std::string("张三\r\na\r\n李四\r\n").size());
    EXPECT_EQ(app::State().draw.poolText, Gbk(expected));
    EXPECT_EQ(text("编辑框_判断有无照片"), Gbk(expected));
    EXPECT_EQ(folder.read("title.txt"), Gbk(expected));
    EXPECT_TRUE(host.dialogs.messages.empty());  // no saved draw: no question
}

// What a crash in the middle of an atomic write left behind goes; nothing else does.
TEST_F(StartupParticipants, LeftoversOfInterruptedWritesAreRemoved) {
    makeFolder(".cache");
    const std::vector<std::string> leftovers = {".ld-Ab12Cd", ".cache/0f.jpg.tmp123-4"};
    const std::vector<std::string> kept = {
        "x.ld-Ab12Cd", ".cache/0f.jpg", ".cache/0f.tmp",
        ".ld-new123",  // written after this process started: another write may own it
    };
    for (const auto& name : leftovers) folder.write(name, "half");
    for (const auto& name : kept) folder.write(name, "keep");
    makeFolder(".ld-Folder");
    // Set aside by a reset that died before it was committed: put back.
    folder.write(".ld-reset-进度.txt", "keep");
    const auto hourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    for (const auto& name : leftovers) std::filesystem::last_write_time(folder.diskPath(name), hourAgo);
    for (const auto& name : kept) {
        if (name != ".ld-new123") std::filesystem::last_write_time(folder.diskPath(name), hourAgo);
    }
    start();
    for (const auto& name : leftovers) EXPECT_FALSE(folder.exists(name)) << name;
    for (const auto& name : kept) EXPECT_EQ(folder.read(name), "keep") << name;
    EXPECT_TRUE(folder.exists(".ld-Folder"));
    EXPECT_EQ(folder.read("进度.txt"), "keep");
    EXPECT_FALSE(folder.exists(".ld-reset-进度.txt"));
}

TEST_F(StartupParticipants, NoPhotoFolderGivesNobodyAndAnEmptyStartupCopy) {
    folder.write("title.txt", "old list");
    start();
    EXPECT_EQ(app::State().draw.poolText, "");
    EXPECT_TRUE(folder.exists("title.txt"));
    EXPECT_EQ(folder.read("title.txt"), "");
}

class StartupResume : public StartupTest {
protected:
    void SetUp() override {
        StartupTest::SetUp();
        photos({"张三.jpg", "新人.jpg"});  // changed since the draw was saved
        folder.write("进度.txt", Gbk("王五\r\n赵六\r\n"));
        folder.write("抽奖结果.txt", Gbk("李四  ------  特等奖\r\n"));
        configure("[jindu]\r\n计数1=2\r\n计数3=1.9\r\n");
    }
};

TEST_F(StartupResume, YesTakesTheSavedParticipantsCountersAndResults) {
    host.dialogs.messageAnswers = {msg::kAnswerYes};
    start();
    ASSERT_EQ(host.dialogs.messages.size(), 1u);
    EXPECT_EQ(message(0).text, app::ResumeQuestion());
    EXPECT_EQ(message(0).style, 36);
    EXPECT_EQ(message(0).caption, Gbk("提示"));
    const DrawState& draw = app::State().draw;
    EXPECT_EQ(draw.poolText, Gbk("王五\r\n赵六\r\n"));
    EXPECT_EQ(text("编辑框_判断有无照片"), draw.poolText);
    EXPECT_EQ(folder.read("title.txt"), Gbk("王五\r\n赵六\r\n"));
    EXPECT_EQ(draw.savedDrawn, (std::array<int32_t, 8>{2, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(draw.resultsText, Gbk("李四  ------  特等奖\r\n"));
    EXPECT_EQ(text("结果"), draw.resultsText);
    EXPECT_EQ(draw.nextOrdinal, 1);
}

TEST_F(StartupResume, NoListsThePhotosAfreshAndLeavesTheSavedDrawOnDisk) {
    host.dialogs.messageAnswers = {msg::kAnswerNo};
    start();
    const DrawState& draw = app::State().draw;
    EXPECT_EQ(SplitPool(draw.poolText).size(), 2u);
    EXPECT_NE(draw.poolText.find(Gbk("新人\r\n")), Text::npos);
    EXPECT_EQ(draw.savedDrawn, (std::array<int32_t, 8>{}));
    EXPECT_EQ(draw.resultsText, "");
    EXPECT_EQ(text("结果"), "");
    EXPECT_EQ(folder.read("进度.txt"), Gbk("王五\r\n赵六\r\n"));
    EXPECT_EQ(folder.read("抽奖结果.txt"), Gbk("李四  ------  特等奖\r\n"));
    EXPECT_EQ(stored(keys::Counter(1)), "2");
}

TEST_F(StartupResume, AnEmptySavedDrawResumesWithNobodyAndAMissingResultsFileWithNoResults) {
    folder.write("进度.txt", "");
    std::filesystem::remove(folder.diskPath("抽奖结果.txt"));
    host.dialogs.messageAnswers = {msg::kAnswerYes};
    start();
    EXPECT_EQ(app::State().draw.poolText, "");
    EXPECT_EQ(app::State().draw.resultsText, "");
    EXPECT_EQ(app::State().draw.savedDrawn[0], 2);
}

TEST_F(StartupResume, ASavedDrawWithForeignLineEndsResumesOneParticipantPerLine) {
    folder.write("进度.txt", Gbk("王五\n赵六\r孙七"));
    host.dialogs.messageAnswers = {msg::kAnswerYes};
    start();
    EXPECT_EQ(app::State().draw.poolText, Gbk("王五\r\n赵六\r\n孙七"));
    EXPECT_EQ(SplitPool(app::State().draw.poolText).size(), 3u);
}

// Empty, blank or control-character names would be recorded as broken results lines.
TEST_F(StartupResume, LinesThatAreNoParticipantAreDroppedAndToldOnce) {
    folder.write("进度.txt", Gbk("王五\r\n\r\n   \r\n赵\x01六\r\n孙七"));
    host.dialogs.messageAnswers = {msg::kAnswerYes};
    start();
    EXPECT_EQ(app::State().draw.poolText, Gbk("王五\r\n孙七"));
    ASSERT_EQ(host.dialogs.messages.size(), 2u);
    EXPECT_EQ(message(1).text, Gbk("进度文件中有 3 行无效，已忽略"));
}

TEST_F(StartupParticipants, APhotoNameWithALineFeedIsNoParticipant) {
    photos({"张三.jpg", "李\n四.jpg", " .jpg"});
    start();
    EXPECT_EQ(app::State().draw.poolText, Gbk("张三\r\n"));
}

// The saved draw goes back as it was read: a last line without a line end stays without.
TEST_F(StartupResume, AnUnchangedPoolIsSavedBackByteForByte) {
    folder.write("进度.txt", Gbk("王五\r\n赵六"));
    host.dialogs.messageAnswers = {msg::kAnswerYes};
    start();
    host.dialogs.messageAnswers = {msg::kAnswerYes, msg::kAnswerOk};
    EXPECT_EQ(CatchExit([&] { requestClose(); }), 0);
    EXPECT_EQ(folder.read("进度.txt"), Gbk("王五\r\n赵六"));
}

using StartupTitleFile = StartupTest;

TEST_F(StartupTitleFile, ItsTextReplacesTheStoredMainTitle) {
    configure("[zbt]\r\nzbt=配置里的标题\r\n");
    folder.write("cjini.txt", Gbk("文件里的标题"));
    start();
    EXPECT_EQ(text("透明标签_主标题"), Gbk("文件里的标题"));
    EXPECT_TRUE(host.dialogs.messages.empty());
}

TEST_F(StartupTitleFile, AnEmptyFileAsksForTheCompanyNameOnce) {
    folder.write("cjini.txt", "");
    start();
    EXPECT_EQ(text("透明标签_主标题"), app::TitlePlaceholder());
    ASSERT_EQ(host.dialogs.messages.size(), 1u);
    EXPECT_EQ(message(0).text, Gbk("请写入公司名称"));
    EXPECT_EQ(message(0).style, 0);
    EXPECT_EQ(message(0).caption, Gbk("信息："));
}

TEST_F(StartupTitleFile, AReadOnlyOrMissingFileLeavesTheStoredTitle) {
    configure("[zbt]\r\nzbt=配置里的标题\r\n");
    start();
    EXPECT_EQ(text("透明标签_主标题"), Gbk("配置里的标题"));

    folder.write("cjini.txt", Gbk("文件里的标题"));
    folder.makeReadOnly("cjini.txt");
    restart();
    EXPECT_EQ(text("透明标签_主标题"), Gbk("配置里的标题"));
    EXPECT_TRUE(host.dialogs.messages.empty());
}

}  // namespace
}  // namespace ld::test
