// The settings password: the modal window from the menu, entering the settings, changing
// the password, and a change that cannot be stored.
#include "app/common/app_state.h"
#include "app/handlers.h"
#include "app/common/scramble.h"
#include "framework/template_library.h"
#include "framework/window_manager.h"
#include "settings_fixture.h"

namespace ld::test {
namespace {

class Password : public SettingsTest {
protected:
    void storePassword(std::string_view utf8Plain) {
        ASSERT_TRUE(ConfigStore::writeScrambled(keys::Password(), Gbk(utf8Plain)));
    }
    // Opens the password window outside a modal loop, as its own created event sees it.
    Window& openWindow() {
        EXPECT_TRUE(LoadWindow(app::kPasswordWindow));
        return windows().window(app::kPasswordWindow);
    }
    void typeAndPress(std::string_view utf8Password, const char* utf8Button) {
        Window& w = windows().window(app::kPasswordWindow);
        w.control(Gbk("编辑框1")).setTextValue(Gbk(utf8Password));
        w.control(Gbk(utf8Button)).raise(ev::kClicked);
        host.loop.runPosted();
    }
    bool windowOpen() { return IsWindowLoaded(app::kPasswordWindow); }
    bool panelShown() { return control("外形框1").visible(); }
};

TEST_F(Password, TheMenuOpensTheModalWindowAndTheRightPasswordShowsThePanel) {
    begin();
    storePassword("Secret");
    host.loop.modalScripts.push_back([&] {
        EXPECT_EQ(app::State().currentPassword, "Secret");  // loaded on creation
        typeAndPress("wrong", "按钮_登陆");
        EXPECT_EQ(lastMessage().text, Gbk("密码不正确！请重新输入。"));
        EXPECT_EQ(lastMessage().style, 0);
        EXPECT_EQ(lastMessage().caption, Gbk("信息："));
        EXPECT_TRUE(windowOpen());
        typeAndPress("secret", "按钮_登陆");  // letter case counts
        EXPECT_TRUE(windowOpen());
        typeAndPress("Secret", "按钮_登陆");
    });
    choose("奖项设置");
    EXPECT_FALSE(windowOpen());
    EXPECT_TRUE(panelShown());
    EXPECT_TRUE(std::filesystem::is_directory(folder.diskPath("奖品图片")));
    EXPECT_EQ(host.dialogs.messages.size(), 2u);
}

TEST_F(Password, WithoutAPasswordOnlyAnEmptyFieldEnters) {
    begin();
    makeFolder("奖品图片");  // an existing folder is no error
    openWindow();
    typeAndPress("x", "按钮_登陆");
    EXPECT_FALSE(panelShown());
    typeAndPress("", "按钮_登陆");
    EXPECT_TRUE(panelShown());
    EXPECT_FALSE(windowOpen());
}

TEST_F(Password, ChangingNeedsTheOldPasswordAndACancelStoresItAfresh) {
    begin();
    storePassword("old");
    const Text scrambled = *stored(keys::Password());
    openWindow();
    typeAndPress("", "按钮_修改密码");
    EXPECT_EQ(lastMessage().text, Gbk("请在密码框输入原始密码后再修改！"));
    EXPECT_TRUE(host.dialogs.inputs.empty());
    EXPECT_EQ(stored(keys::Password()), scrambled);

    typeAndPress("old", "按钮_修改密码");  // no answer scripted: cancelled
    EXPECT_EQ(UnscrambleText(*stored(keys::Password())), "old");
    EXPECT_EQ(lastMessage().text, Gbk("设置成功！请牢记您的密码！"));
}

TEST_F(Password, ANewPasswordIsTypedMaskedAndStoredScrambled) {
    begin();
    storePassword("old");
    openWindow();
    host.dialogs.inputAnswers = {Gbk("新密码1")};
    typeAndPress("old", "按钮_修改密码");
    ASSERT_EQ(host.dialogs.inputs.size(), 1u);
    EXPECT_EQ(host.dialogs.inputs[0].prompt, Gbk("请输入密码"));
    EXPECT_EQ(host.dialogs.inputs[0].caption, Gbk("请输入密码"));
    EXPECT_EQ(host.dialogs.inputs[0].initial, Text());
    EXPECT_TRUE(host.dialogs.inputs[0].masked);
    EXPECT_EQ(lastMessage().text, Gbk("设置成功！请牢记您的密码！"));
    EXPECT_FALSE(windowOpen());
    const Text scrambled = *stored(keys::Password());
    EXPECT_NE(scrambled, Gbk("新密码1"));  // never in plain text
    EXPECT_EQ(UnscrambleText(scrambled), Gbk("新密码1"));

    openWindow();
    typeAndPress("old", "按钮_登陆");
    EXPECT_FALSE(panelShown());
    typeAndPress("新密码1", "按钮_登陆");
    EXPECT_TRUE(panelShown());
}

TEST_F(Password, AnEmptyNewPasswordRemovesItAndKeepsTheWindow) {
    begin();
    storePassword("old");
    openWindow();
    host.dialogs.inputAnswers = {Text()};
    typeAndPress("old", "按钮_修改密码");
    EXPECT_EQ(lastMessage().text, Gbk("您没有设置任何密码！"));
    EXPECT_TRUE(windowOpen());
    EXPECT_EQ(stored(keys::Password()), Text());
    typeAndPress("", "按钮_登陆");
    EXPECT_TRUE(panelShown());
}

TEST_F(Password, APasswordThatCannotBeStoredLeavesTheOldOneInForce) {
    begin();
    storePassword("old");
    openWindow();
    host.dialogs.inputAnswers = {Gbk("new"), Text()};
    SetWriteFailureAfterBytesForTest(0);
    typeAndPress("old", "按钮_修改密码");
    EXPECT_EQ(lastMessage().text, Gbk("密码保存失败，原密码仍然有效！"));
    EXPECT_EQ(lastMessage().style, msg::kIconStop);
    EXPECT_EQ(lastMessage().caption, Gbk("保存失败"));
    EXPECT_TRUE(windowOpen());
    EXPECT_EQ(app::State().currentPassword, "old");

    // Not even an empty password is claimed when it did not reach the disk.
    typeAndPress("old", "按钮_修改密码");
    SetWriteFailureAfterBytesForTest(-1);
    EXPECT_EQ(lastMessage().text, Gbk("密码保存失败，原密码仍然有效！"));
    EXPECT_EQ(UnscrambleText(*stored(keys::Password())), "old");
    typeAndPress("new", "按钮_登陆");
    EXPECT_FALSE(panelShown());
    typeAndPress("old", "按钮_登陆");
    EXPECT_TRUE(panelShown());
}

}  // namespace
}  // namespace ld::test
