// The program's own templates, compiled by the build and read back: the windows, controls,
// values and bindings of the draw screen, the password and the celebration windows.
#include <map>

#include "builtin_fixture.h"

namespace ld {
namespace {

using test::BuiltInTemplates;

Control& C(Window& w, const char* utf8) { return w.control(Gbk(utf8)); }

struct Box {
    int left, top, width, height;
};
Box BoxOf(const Control& c) { return {c.left(), c.top(), c.width(), c.height()}; }
bool operator==(const Box& a, const Box& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
std::ostream& operator<<(std::ostream& o, const Box& b) {
    return o << b.left << "," << b.top << "," << b.width << "," << b.height;
}

TEST_F(BuiltInTemplates, TheDrawScreenWindowItself) {
    Window& w = load("MainWindow");
    EXPECT_EQ(library.firstWindow(), "MainWindow");
    EXPECT_EQ(BoxOf(w.self()), (Box{50, 50, 1000, 760}));
    EXPECT_EQ(w.self().getInt(prop::kBorder), 0);
    EXPECT_EQ(w.self().getInt(prop::kBackColor), 0x000000FF);
    EXPECT_FALSE(w.self().getText(prop::kCaption).empty());
    // Our own icon: an ICO file with a 32 x 32 and a 16 x 16 image.
    Bytes icon = w.self().getText(prop::kIcon);
    ASSERT_GT(icon.size(), 6u + 32);
    EXPECT_EQ(icon.substr(0, 6), Bytes("\0\0\1\0\2\0", 6));
    EXPECT_EQ(uint8_t(icon[6]), 32);
    EXPECT_EQ(uint8_t(icon[22]), 16);
    EXPECT_EQ(w.controls().size(), 106u);
}

TEST_F(BuiltInTemplates, DrawElementsHaveTheirPlacesTextsFontsAndColours) {
    Window& w = load("MainWindow");
    Control& title = C(w, "透明标签_主标题");
    EXPECT_EQ(title.type(), ControlType::TransLabel);
    EXPECT_EQ(BoxOf(title), (Box{32, 20, 976, 61}));
    EXPECT_EQ(title.text(), Gbk("某某公司销售现场抽奖活动"));
    EXPECT_EQ(title.getFont(prop::kTransFont), (FontValue{Gbk("宋体"), 64, 0, true}));
    EXPECT_EQ(title.getInt(prop::kTextColor), 0x00FFFFFF);
    EXPECT_EQ(title.getInt(prop::kAlignWord), 0);
    // Template sizes are pixels and stay so; the point size is derived (64 px = 48 pt).
    EXPECT_EQ(title.getFont(prop::kTransFont).pixelSize(), 64);
    EXPECT_EQ(title.getFont(prop::kTransFont).sizePoints(), 48.0);
    EXPECT_EQ(C(w, "透明标签_副标题").text(),
              Gbk("----------2011年销售现场抽奖活动---------\r\n\r\n"));
    EXPECT_EQ(C(w, "透明标签_副标题").getFont(prop::kTransFont).face, Gbk("幼圆"));

    Control& congratulation = C(w, "透明标签_恭喜");
    EXPECT_EQ(BoxOf(congratulation), (Box{-8, 440, 976, 48}));
    EXPECT_EQ(congratulation.getInt(prop::kAlignWord), 2);
    EXPECT_EQ(congratulation.getInt(prop::kTextColor), 0x0000FFFF);
    EXPECT_EQ(C(w, "透明标签_抽取进度").getInt(prop::kAlignWord), 2);
    EXPECT_EQ(C(w, "透明标签_抽取进度").getInt(prop::kTextColor), 0x000080FF);
    EXPECT_FALSE(C(w, "透明标签_奖项等级").getFont(prop::kTransFont).bold);
    Control& prizeName = C(w, "透明标签_奖品名称");
    EXPECT_EQ(prizeName.width(), 0);
    EXPECT_EQ(prizeName.getFont(prop::kTransFont), (FontValue{Text(), 29, 0, true}));

    Control& photo = C(w, "图片框_照片");
    EXPECT_EQ(photo.type(), ControlType::PicBox);
    EXPECT_EQ(BoxOf(photo), (Box{696, -16, 500, 400}));
    EXPECT_EQ(photo.getInt(prop::kDisplayMode), 2);
    EXPECT_TRUE(photo.getText(prop::kPicture).empty());

    Control& selector = C(w, "组合框1");
    EXPECT_EQ(selector.type(), ControlType::ComboBox);
    EXPECT_TRUE(selector.getBool(prop::kDropDownList));
    EXPECT_TRUE(selector.items().empty());
    EXPECT_TRUE(selector.text().empty());

    Control& button = C(w, "超级按钮");
    EXPECT_EQ(button.type(), ControlType::SuperBtn);
    EXPECT_EQ(BoxOf(button), (Box{416, 596, 200, 70}));
    EXPECT_EQ(button.text(), Gbk("开始抽奖"));
    EXPECT_EQ(button.getText(prop::kTooltip), Gbk("点击开始抽奖（或按空格键开始）"));
    EXPECT_EQ(button.getFont(prop::kFont), (FontValue{Gbk("隶书"), 35, 0, true}));
    EXPECT_EQ(button.getInt(prop::kForeColor), 0x0040E8FF);  // gold on the red face
    Bytes face = button.getText(prop::kFacePicture);
    EXPECT_EQ(face.substr(0, 2), "\xff\xd8");  // a JPEG of roughly the button's usual size
    EXPECT_GT(face.size(), 8000u);
    EXPECT_LT(face.size(), 20000u);

    EXPECT_FALSE(C(w, "分隔条_上").getBool(prop::kVertical));
    EXPECT_TRUE(C(w, "分隔条_左").getBool(prop::kVertical));
    EXPECT_EQ(BoxOf(C(w, "分隔条_右")), (Box{968, 408, 1, 224}));
    EXPECT_EQ(C(w, "分隔条_下").getInt(prop::kBackColor), 0x000000FF);
    EXPECT_FALSE(C(w, "列表框_显示抽奖结果").visible());
}

TEST_F(BuiltInTemplates, HiddenBuffersAndTimers) {
    Window& w = load("MainWindow");
    for (const char* name : {"标签1_抽奖大标题", "编辑框_判断有无照片", "编辑框_写出文件", "结果",
                             "编辑框1", "通用对话框1", "通用对话框_字体设置"})
        EXPECT_FALSE(C(w, name).visible()) << name;
    EXPECT_EQ(C(w, "标签1_抽奖大标题").type(), ControlType::Label);
    EXPECT_TRUE(C(w, "编辑框_判断有无照片").getBool(prop::kMultiLine));
    EXPECT_FALSE(C(w, "结果").getBool(prop::kMultiLine));
    EXPECT_EQ(C(w, "通用对话框_字体设置").type(), ControlType::CommonDlg);
    for (const char* name : {"时钟_取随机", "时钟_开始"}) {
        EXPECT_EQ(C(w, name).type(), ControlType::Timer);
        EXPECT_EQ(C(w, name).getInt(prop::kInterval), 0);
    }
    EXPECT_EQ(host.loop.runningTimers(), 0u);
}

TEST_F(BuiltInTemplates, SettingsPanelNestsItsControlsWithRelativePlaces) {
    Window& w = load("MainWindow");
    Control& panel = C(w, "外形框1");
    Control& group = C(w, "分组框1");
    EXPECT_FALSE(panel.visible());
    EXPECT_EQ(panel.parent(), nullptr);
    EXPECT_EQ(group.parent(), &panel);
    EXPECT_EQ(BoxOf(group), (Box{2, 22, 260, 370}));
    EXPECT_EQ(C(w, "标签8").parent(), &panel);
    EXPECT_EQ(C(w, "标签8").text(), Gbk("メ"));
    EXPECT_EQ(panel.children().size(), 2u);
    EXPECT_EQ(group.children().size(), 1u + 4 + 64 + 6 + 4);
    EXPECT_EQ(C(w, "通用对话框1").parent(), &group);
    EXPECT_EQ(BoxOf(C(w, "通用对话框1")), (Box{408, 283, 24, 24}));

    const int rows[] = {34, 62, 88, 114, 141, 167, 191, 217};
    const char* names[] = {"特等奖", "一等奖", "二等奖", "三等奖",
                           "四等奖", "五等奖", "六等奖", "七等奖"};
    for (int n = 1; n <= 8; ++n) {
        const std::string N = std::to_string(n);
        Control& level = w.control(Gbk("编辑框_奖项") + N);
        EXPECT_EQ(BoxOf(level), (Box{10, rows[n - 1], 60, 20})) << n;
        EXPECT_EQ(level.text(), Gbk(names[n - 1]));
        EXPECT_EQ(level.parent(), &group);
        Control& marker = w.control(Gbk("编辑框_奖项") + N + Gbk("图片"));
        EXPECT_TRUE(marker.disabled());
        EXPECT_EQ(marker.text(), " ");
        EXPECT_EQ(w.control(Gbk("按钮_奖项") + N + Gbk("浏览")).text(), Gbk("《"));
        EXPECT_EQ(w.control(Gbk("按钮_奖项") + N + Gbk("浏览1")).text(), Gbk("清除"));
        // The designated-winner columns lie beyond the group's right edge, yet are there.
        Control& third = w.control(Gbk("编辑框_中奖人") + N + N + N);
        EXPECT_GT(third.left(), group.width());
        EXPECT_TRUE(third.visible());
    }
    EXPECT_EQ(BoxOf(C(w, "按钮_奖项1浏览")), (Box{187, 33, 25, 20}));
    EXPECT_EQ(BoxOf(C(w, "按钮_奖项7浏览1")), (Box{217, 190, 35, 20}));
    EXPECT_EQ(C(w, "编辑框_中奖人777").top(), 190);
    EXPECT_EQ(C(w, "编辑框_中奖人88").top(), 217);
    EXPECT_EQ(C(w, "编辑框_中奖人888").top(), 216);
    EXPECT_EQ(C(w, "编辑框_照片图片宽").text(), "400");
    EXPECT_EQ(C(w, "编辑框_照片图片高").text(), "300");
    EXPECT_EQ(BoxOf(C(w, "编辑框_滚动速度")), (Box{186, 260, 47, 23}));
    EXPECT_EQ(C(w, "编辑框_滚动速度").text(), "30");
    Control& effects = C(w, "选择框_禁用特效");
    EXPECT_EQ(effects.type(), ControlType::CheckBox);
    EXPECT_FALSE(effects.getBool(prop::kChecked));
    EXPECT_EQ(effects.text(), Gbk("禁用特效(中奖后有烟花效果随机播放)"));
    EXPECT_EQ(C(w, "选择框_不显示按钮").text(), Gbk("不显示开始按钮(默认不勾选，显示按钮)"));
}

// Every (control, event) pair of the draw screen that runs a routine, and nothing else.
TEST_F(BuiltInTemplates, EveryEventOfTheDrawScreenRunsItsRoutine) {
    Window& w = load("MainWindow");
    std::map<std::pair<Text, int>, std::string> expected;
    auto bind = [&](const char* control, int event, const char* routine) {
        expected[{Gbk(control), event}] = routine;
    };
    bind("", ev::kCreated, "StartUp");
    bind("", ev::kRightDown, "ShowPopupMenu");
    bind("", ev::kActivated, "ActivateStage");
    bind("", ev::kDeactivated, "DeactivateStage");
    bind("", ev::kMayClose, "ExitRequested");
    for (const char* c : {"图片框_照片", "图片框_奖品", "透明标签_中奖人", "透明标签_恭喜",
                          "透明标签_抽取进度", "透明标签_副标题", "透明标签_主标题"})
        bind(c, ev::kRightDown, "ShowPopupMenu");
    for (const char* c :
         {"透明标签_主标题", "透明标签_副标题", "图片框_照片", "透明标签_中奖人", "透明标签_恭喜",
          "透明标签_抽取进度", "透明标签_奖项等级", "组合框1", "超级按钮", "图片框_奖品"})
        bind(c, ev::kLeftDown, "MoveElement");
    bind("超级按钮", ev::kClicked, "StartOrStopDraw");
    bind("标签1_抽奖大标题", ev::kNotification, "StartOrStopDraw");
    bind("组合框1", ev::kItemChosen, "SelectLevelFromList");
    for (const char* c : {"分隔条_上", "分隔条_下", "分隔条_左", "分隔条_右"})
        bind(c, ev::kPositionChanged, "ResizePrizeFromBar");
    bind("时钟_取随机", ev::kTick, "RollTick");
    bind("时钟_开始", ev::kTick, "RearmStartButton");
    bind("外形框1", ev::kLeftDown, "DragSettingsPanel");
    bind("标签8", ev::kLeftDown, "HideSettingsPanel");
    bind("按钮_保存", ev::kClicked, "SavePrizeTable");
    bind("选择框_不显示按钮", ev::kClicked, "ToggleHideButton");
    bind("选择框_禁用特效", ev::kClicked, "ToggleEffects");
    for (int n = 1; n <= 8; ++n) {
        std::string N = std::to_string(n);
        expected[{Gbk("按钮_奖项") + N + Gbk("浏览"), ev::kClicked}] = "ChoosePrizePicture";
        expected[{Gbk("按钮_奖项") + N + Gbk("浏览1"), ev::kClicked}] = "ClearPrizePicture";
    }

    std::map<std::pair<Text, int>, std::string> actual;
    std::vector<Control*> units{&w.self()};
    for (const auto& c : w.controls()) units.push_back(c.get());
    for (Control* c : units) {
        for (int event = -12; event <= 8; ++event) {
            log.clear();
            if (!c->raise(event)) continue;
            ASSERT_EQ(log.size(), 1u);
            actual[{c->name(), event}] = log[0].substr(0, log[0].find('@'));
        }
    }
    EXPECT_EQ(actual, expected);
}

TEST_F(BuiltInTemplates, CreatedComesOnceEveryControlExists) {
    size_t controlsSeen = 0;
    routines.add("StartUp", [&](Control& sender, EventArgs&) {
        controlsSeen = sender.window().controls().size();
    });
    ASSERT_TRUE(library.load(BuiltInTemplateBlock(), BuiltInHandlerNames(), routines));
    load("MainWindow");
    EXPECT_EQ(controlsSeen, 106u);
}

TEST_F(BuiltInTemplates, PasswordAndCelebrationWindows) {
    Window& password = load("PasswordWindow");
    EXPECT_EQ(log, std::vector<std::string>{"LoadPassword@"});
    EXPECT_EQ(BoxOf(password.self()), (Box{50, 50, 380, 180}));
    EXPECT_EQ(password.self().getInt(prop::kBorder), 1);
    EXPECT_EQ(C(password, "标签1").text(), Gbk("请输入密码"));
    EXPECT_TRUE(C(password, "编辑框1").getBool(prop::kPasswordChar));
    EXPECT_EQ(BoxOf(C(password, "编辑框1")), (Box{96, 24, 200, 32}));
    EXPECT_EQ(C(password, "按钮_登陆").text(), Gbk("进入设置"));
    C(password, "按钮_登陆").raise(ev::kClicked);
    C(password, "按钮_修改密码").raise(ev::kClicked);
    EXPECT_EQ(log.back(), Gbk("ChangePassword@按钮_修改密码"));
    EXPECT_EQ(log[1], Gbk("Login@按钮_登陆"));

    // Two windows of the block at once: the draw screen and the celebration over it.
    Window& stage = load("MainWindow");
    ASSERT_TRUE(manager.loadWindow("CelebrationWindow", &stage));
    Window& celebration = manager.window("CelebrationWindow");
    EXPECT_EQ(celebration.parent(), &stage);
    EXPECT_EQ(manager.loadedCount(), 3u);
    EXPECT_EQ(log.back(), "StartCelebration@");
    EXPECT_EQ(BoxOf(celebration.self()), (Box{50, 50, 380, 250}));
    EXPECT_EQ(celebration.self().getInt(prop::kBorder), 0);
    EXPECT_TRUE(celebration.controls().empty());
    EXPECT_TRUE(celebration.menu().empty());
}

TEST_F(BuiltInTemplates, ModalWindowRunsItsLoopUntilItIsClosed) {
    bool openInside = false;
    host.loop.modalScripts.push_back([&] {
        openInside = IsWindowLoaded("PasswordWindow");
        CloseWindow("PasswordWindow");
        EXPECT_TRUE(IsWindowLoaded("PasswordWindow"));  // posted: after the handler returns
    });
    EXPECT_TRUE(LoadWindow("PasswordWindow", nullptr, true));
    EXPECT_TRUE(openInside);
    EXPECT_FALSE(IsWindowLoaded("PasswordWindow"));
    EXPECT_FALSE(LoadWindow("NoSuchWindow"));
}

TEST_F(BuiltInTemplates, WindowsNotLoadedAnswerCommonPropertiesFromTheirRecords) {
    EXPECT_EQ(std::get<int32_t>(ReadProperty("PasswordWindow", Gbk("编辑框1"), prop::kLeft)), 96);
    EXPECT_EQ(std::get<bool>(ReadProperty("MainWindow", Gbk("外形框1"), prop::kVisible)), false);
    EXPECT_EQ(std::get<bool>(ReadProperty("MainWindow", Gbk("编辑框_奖项1图片"), prop::kDisable)),
              true);
    EXPECT_EQ(std::get<Text>(ReadProperty("MainWindow", Gbk("结果"), prop::kTag)), "");
    EXPECT_EQ(std::get<int32_t>(ReadProperty("MainWindow", Gbk("结果"), prop::kMousePointer)), 0);
    EXPECT_EQ(std::get<bool>(ReadMenuProperty("MainWindow", Gbk("全屏"), menuprop::kChecked)),
              true);
    EXPECT_EQ(std::get<bool>(ReadMenuProperty("MainWindow", Gbk("滚动抽取"), menuprop::kVisible)),
              false);
    EXPECT_EQ(std::get<bool>(ReadMenuProperty("MainWindow", Gbk("退出"), menuprop::kDisabled)),
              false);

    // Once loaded, reads are live.
    Window& w = load("MainWindow");
    C(w, "外形框1").setVisible(true);
    w.setMenuChecked(Gbk("全屏"), false);
    EXPECT_EQ(std::get<bool>(ReadProperty("MainWindow", Gbk("外形框1"), prop::kVisible)), true);
    EXPECT_EQ(std::get<bool>(ReadMenuProperty("MainWindow", Gbk("全屏"), menuprop::kChecked)),
              false);
}

TEST_F(BuiltInTemplates, TypePropertiesOfWindowsNotLoadedAreFatal) {
    auto fatalReason = [&](const std::function<void()>& touch) {
        host.dialogs.messages.clear();
        EXPECT_TRUE(test::CatchExit(touch).has_value());
        if (host.dialogs.messages.empty()) return Text();
        const Text& m = host.dialogs.messages[0].text;
        return m.substr(m.find('\n') + 1);
    };
    EXPECT_EQ(fatalReason([] { ReadProperty("PasswordWindow", Gbk("编辑框1"), prop::kText); }),
              fatal::kWindowNotLoaded);
    EXPECT_EQ(fatalReason([] { ReadProperty("NoSuchWindow", Gbk("编辑框1"), prop::kLeft); }),
              fatal::kNoSuchWindow);
    EXPECT_EQ(fatalReason([] { ReadProperty("PasswordWindow", "nothing", prop::kLeft); }),
              fatal::kNoSuchControl);
    EXPECT_EQ(fatalReason([] { ReadMenuProperty("MainWindow", Gbk("全屏"), 8); }),
              fatal::kWindowNotLoaded);
    EXPECT_EQ(fatalReason([] { CloseWindow("CelebrationWindow"); }), fatal::kNoSuchControl);
}

}  // namespace
}  // namespace ld
