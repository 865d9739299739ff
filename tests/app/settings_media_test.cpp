// The media commands of the pop-up menu: background picture, background music and its
// switch, the photo folder and the results file.
#include "settings_fixture.h"

namespace ld::test {
namespace {

class Media : public SettingsTest {
protected:
    Text background() { return app::Stage().self().getText(prop::kBackPicture); }
};

TEST_F(Media, ANewBackgroundIsCopiedInAndShown) {
    begin();
    const std::string picture = TinyJpeg() + "1";
    folder.write("chosen.jpg", picture);
    choose("更换背景图");  // cancelled
    EXPECT_FALSE(folder.exists("底图.jpg"));
    EXPECT_EQ(host.dialogs.fileFilters.back(), Gbk("图形文件(*.jpg)|*.jpg"));

    host.dialogs.fileAnswers = {Gbk(folder.path("chosen.jpg"))};
    choose("更换背景图");
    EXPECT_EQ(folder.read("底图.jpg"), picture);
    EXPECT_EQ(background(), picture);
    EXPECT_EQ(control("通用对话框1").getText(prop::kFileName), Gbk(folder.path("chosen.jpg")));

    // The background itself chosen again: it stays as it was.
    host.dialogs.fileAnswers = {Gbk(folder.path("底图.jpg"))};
    choose("更换背景图");
    EXPECT_EQ(folder.read("底图.jpg"), picture);
    EXPECT_EQ(background(), picture);

    // A copy that fails shows the previous picture again.
    host.dialogs.fileAnswers = {Gbk(folder.path("missing.jpg"))};
    choose("更换背景图");
    EXPECT_EQ(background(), picture);
}

TEST_F(Media, RemovingTheBackgroundClearsItEvenWithoutAFile) {
    folder.write("底图.jpg", TinyJpeg());
    begin();
    app::Stage().self().setText(prop::kBackPicture, TinyJpeg());
    choose("取消背景图");
    EXPECT_FALSE(folder.exists("底图.jpg"));
    EXPECT_EQ(background(), Text());
    app::Stage().self().setText(prop::kBackPicture, TinyJpeg());
    choose("取消背景图");
    EXPECT_EQ(background(), Text());
    EXPECT_TRUE(host.dialogs.messages.empty());
}

TEST_F(Media, NewMusicGoesToItsFixedNameAndTheFolderIsMadeFirst) {
    begin();
    choose("更换背景音乐");  // cancelled on a fresh folder: wav/ is there, empty
    EXPECT_TRUE(std::filesystem::is_directory(folder.diskPath("wav")));
    EXPECT_TRUE(std::filesystem::is_empty(folder.diskPath("wav")));
    EXPECT_EQ(host.dialogs.fileFilters.back(), Gbk("音乐文件(*.mp3)|*.mp3"));
    EXPECT_EQ(control("通用对话框1").getText(prop::kFilter), Gbk("音乐文件(*.mp3)|*.mp3"));

    folder.write("song.mp3", "ID3 not really music");
    host.dialogs.fileAnswers = {Gbk(folder.path("song.mp3"))};
    choose("更换背景音乐");
    EXPECT_EQ(folder.read("wav/bjyy.mp3"), "ID3 not really music");
    EXPECT_TRUE(host.sound.playlists.empty());  // played by the next draw, not now
}

TEST_F(Media, TheMusicSwitchKeepsExactlyOneMarkAndTheKey) {
    begin();
    choose("启用背景音乐");
    choose("启用背景音乐");
    EXPECT_TRUE(menuChecked("启用背景音乐"));
    EXPECT_FALSE(menuChecked("禁用背景音乐"));
    EXPECT_EQ(stored(keys::BackgroundMusic()), Gbk("真"));
    choose("禁用背景音乐");
    EXPECT_FALSE(menuChecked("启用背景音乐"));
    EXPECT_TRUE(menuChecked("禁用背景音乐"));
    EXPECT_EQ(stored(keys::BackgroundMusic()), Gbk("假"));
    EXPECT_EQ(host.sound.stops, 0);
}

TEST_F(Media, ThePhotoFolderIsOpenedAfterTheRestartNotice) {
    begin();
    choose("设置抽奖照片数据");
    ASSERT_EQ(host.dialogs.messages.size(), 1u);
    EXPECT_EQ(lastMessage().text, Gbk("若增加新的抽奖照片，请将程序退出并重新运行！"));
    EXPECT_EQ(lastMessage().caption, Gbk("请注意"));
    EXPECT_EQ(lastMessage().style, 0);
    ASSERT_EQ(host.shell.calls.size(), 1u);
    EXPECT_EQ(host.shell.calls[0].what, "openInShell");
    EXPECT_EQ(host.shell.calls[0].argument, Gbk(folder.path("photo")));

    host.shell.succeed = false;
    choose("设置抽奖照片数据");
    EXPECT_EQ(lastMessage().style, msg::kIconWarning);
    EXPECT_NE(lastMessage().text.find(Gbk(folder.path("photo"))), Text::npos);
}

TEST_F(Media, TheResultsFileIsHandedToTheDesktopAndAFailureNamesIt) {
    begin();
    const Text results = Gbk(folder.path("抽奖结果.txt"));
    choose("查看抽奖结果");
    ASSERT_EQ(host.shell.calls.size(), 1u);
    EXPECT_EQ(host.shell.calls[0].what, "shellOpen");
    EXPECT_EQ(host.shell.calls[0].argument, results);
    EXPECT_TRUE(host.dialogs.messages.empty());

    host.shell.succeed = false;  // no results yet, and nothing to open them with
    choose("查看抽奖结果");
    EXPECT_EQ(lastMessage().style, msg::kIconWarning);
    EXPECT_NE(lastMessage().text.find(results), Text::npos);
    EXPECT_NE(lastMessage().text.find(Gbk("还没有抽奖结果")), Text::npos);

    folder.write("抽奖结果.txt", "x");
    choose("查看抽奖结果");
    EXPECT_NE(lastMessage().text.find(Gbk("无法打开抽奖结果文件")), Text::npos);
}

}  // namespace
}  // namespace ld::test
