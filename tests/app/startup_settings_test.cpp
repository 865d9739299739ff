// Start-up: the stored settings as the screen shows them, with and without peizhi.a, and
// each group applied only when its gate key is set.
#include <map>

#include "app/common/scramble.h"
#include "startup_fixture.h"

namespace ld::test {
namespace {

using StartupSettings = StartupTest;

TEST_F(StartupSettings, WithoutAConfigurationTheScreenHasItsDefaultsAndIsFullScreen) {
    Window& w = start();
    EXPECT_EQ(w.self().getInt(prop::kBorder), 0);
    EXPECT_TRUE(menuChecked("全屏"));
    EXPECT_FALSE(menuChecked("窗口"));
    EXPECT_EQ(stored(keys::WindowMode()), Gbk("全屏"));
    // Template fonts, both titles the default.
    EXPECT_EQ(control("透明标签_主标题").getFont(prop::kTransFont).pixels, 64);
    EXPECT_EQ(text("透明标签_主标题"), Gbk("某某公司现场抽奖仪式"));
    EXPECT_EQ(text("透明标签_副标题"), Gbk("某某公司现场抽奖仪式"));
    // An empty prize table: no level offered.
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(text("编辑框_奖项" + std::to_string(n)), "") << n;
        EXPECT_EQ(text("编辑框_奖项人数" + std::to_string(n)), "") << n;
        EXPECT_EQ(text("编辑框_奖项" + std::to_string(n) + "图片"), " ") << n;
    }
    EXPECT_TRUE(control("组合框1").items().empty());
    EXPECT_EQ(text("编辑框_滚动速度"), "30");
    EXPECT_FALSE(checked("选择框_禁用特效"));
    EXPECT_FALSE(checked("选择框_是否允许重复抽奖"));
    EXPECT_FALSE(checked("选择框_不显示按钮"));
    EXPECT_FALSE(menuChecked("启用背景音乐"));
    EXPECT_TRUE(menuChecked("禁用背景音乐"));
    EXPECT_EQ(control("通用对话框_字体设置").getInt(prop::kDialogKind), 2);
    EXPECT_EQ(control("标签1_抽奖大标题").getFont(prop::kLabelFont).sizePoints(), 20);
    EXPECT_EQ(w.self().getText(prop::kBackPicture), "");
    // Level 1 matches the empty selector; it has no picture, so the prize area is hidden.
    EXPECT_FALSE(control("图片框_奖品").visible());
    EXPECT_FALSE(control("分隔条_左").visible());
    EXPECT_FALSE(control("透明标签_奖品名称").visible());
    EXPECT_EQ(app::State().draw.levelLimit, 1);
}

TEST_F(StartupSettings, TheLayoutOfA1920By1080Screen) {
    Window& w = start();
    auto at = [&](const char* name) {
        Control& c = control(name);
        return std::array<int32_t, 4>{c.left(), c.top(), c.width(), c.height()};
    };
    using Box = std::array<int32_t, 4>;
    EXPECT_EQ((Box{w.self().left(), w.self().top(), w.self().width(), w.self().height()}),
              (Box{0, 0, 1920, 1080}));
    EXPECT_EQ(at("透明标签_主标题"), (Box{32, 20, 1920, 86}));  // 64 px = 48 pt, x 1.8
    EXPECT_EQ(at("透明标签_副标题"), (Box{8, 120, 1920, 36}));  // 27 px = 20.25 pt
    EXPECT_EQ(at("透明标签_中奖人"), (Box{0, 344, 1920, 80}));
    EXPECT_EQ(at("图片框_照片"), (Box{760, 163, 400, 300}));
    EXPECT_EQ(at("透明标签_恭喜"), (Box{0, 468, 1920, 48}));
    EXPECT_EQ(at("组合框1"), (Box{180, 1003, 108, 27}));
    EXPECT_EQ(at("透明标签_奖项等级"), (Box{51, 995, 125, 40}));
    EXPECT_EQ(at("透明标签_抽取进度"), (Box{296, 995, 80, 40}));
    EXPECT_EQ(at("超级按钮"), (Box{860, 943, 200, 70}));
    EXPECT_EQ(at("图片框_奖品"), (Box{1170, 440, 272, 224}));
    // The frame stands around the prize box where it ended up.
    EXPECT_EQ(at("分隔条_左")[0], 1170);
    EXPECT_EQ(at("分隔条_右")[0], 1170 + 272);
    EXPECT_EQ(at("分隔条_下")[1], 440 + 224);
    EXPECT_FALSE(control("图片框_照片").visible());
}

TEST_F(StartupSettings, OnlyWindowedModeGivesABorderedWindowCoveringTheScreen) {
    configure("[zbt]\r\n界面大小=窗口\r\n");
    Window& w = start();
    EXPECT_EQ(w.self().getInt(prop::kBorder), 1);
    EXPECT_TRUE(menuChecked("窗口"));
    EXPECT_FALSE(menuChecked("全屏"));
    EXPECT_EQ(w.self().width(), 1920);
    EXPECT_EQ(w.self().height(), 1080);
    EXPECT_EQ(stored(keys::WindowMode()), Gbk("窗口"));
    EXPECT_EQ(text("透明标签_主标题"), Gbk("某某公司现场抽奖仪式"));

    configure("[zbt]\r\n界面大小=大屏\r\n");
    restart();
    EXPECT_EQ(stored(keys::WindowMode()), Gbk("全屏"));
}

TEST_F(StartupSettings, ATitleKeyPresentButEmptyGivesAnEmptyTitle) {
    configure("[zbt]\r\nzbt=\r\nfbt=年会\r\n");
    start();
    EXPECT_EQ(text("透明标签_主标题"), "");
    EXPECT_EQ(text("透明标签_副标题"), Gbk("年会"));
}

TEST_F(StartupSettings, AFontGroupCountsOnlyWithItsColour) {
    configure(
        "[yanse]\r\n主标题字体=黑体\r\n主标题字体大小=30\r\n主标题字体颜色=255\r\n"
        "副标题字体=黑体\r\n副标题字体大小=40\r\n恭喜字体颜色=65280\r\n");
    start();
    FontValue main = control("透明标签_主标题").getFont(prop::kTransFont);
    EXPECT_EQ(main.face, Gbk("黑体"));
    EXPECT_EQ(main.sizePoints(), 30);
    EXPECT_TRUE(main.bold);  // the template's style stays
    EXPECT_EQ(control("透明标签_主标题").getInt(prop::kTextColor), 255);
    EXPECT_EQ(control("透明标签_主标题").height(), 54);
    // No colour: the subtitle keeps its template font.
    EXPECT_EQ(control("透明标签_副标题").getFont(prop::kTransFont).pixels, 27);
    EXPECT_EQ(control("透明标签_副标题").getInt(prop::kTextColor), 0x00FFFFFF);
    // A colour alone applies an empty face and size 0 with it.
    FontValue congratulation = control("透明标签_恭喜").getFont(prop::kTransFont);
    EXPECT_EQ(congratulation.face, "");
    EXPECT_EQ(congratulation.sizePoints(), 0);
    EXPECT_EQ(control("透明标签_恭喜").getInt(prop::kTextColor), 65280);
}

// Each of the ten pairs: its partner alone changes nothing; its gate alone moves the
// element, the partner reading 0.
TEST_F(StartupSettings, APositionCountsOnlyWithItsGateKey) {
    struct Pair {
        const char* control;
        const char* stem;
        bool gateIsLeft;
    };
    const Pair pairs[] = {
        {"透明标签_主标题", "标签1", true},
        {"透明标签_副标题", "标签2", false},
        {"透明标签_中奖人", "标签_中奖人", false},
        {"透明标签_恭喜", "透明标签_恭喜", false},
        {"组合框1", "组合框1", false},
        {"透明标签_抽取进度", "透明标签_抽取进度", false},
        {"透明标签_奖项等级", "透明标签_奖项等级", false},
        {"图片框_奖品", "图片框_奖品", false},
        {"图片框_照片", "图片框_照片", false},
        {"超级按钮", "超级按钮", false},
    };
    start();
    std::map<std::string, std::pair<int32_t, int32_t>> unplaced;
    for (const Pair& p : pairs)
        unplaced[p.control] = {control(p.control).left(), control(p.control).top()};
    for (const Pair& p : pairs) {
        std::string gate = std::string(p.stem) + (p.gateIsLeft ? "左边" : "顶边");
        std::string partner = std::string(p.stem) + (p.gateIsLeft ? "顶边" : "左边");
        configure("[zweizhi]\r\n" + partner + "=123\r\n");
        restart();
        EXPECT_EQ(control(p.control).left(), unplaced[p.control].first) << partner;
        EXPECT_EQ(control(p.control).top(), unplaced[p.control].second) << partner;
        configure("[zweizhi]\r\n" + gate + "=123\r\n");
        restart();
        EXPECT_EQ(control(p.control).left(), p.gateIsLeft ? 123 : 0) << gate;
        EXPECT_EQ(control(p.control).top(), p.gateIsLeft ? 0 : 123) << gate;
    }
    configure("[zweizhi]\r\n图片框_照片左边=21.9\r\n图片框_照片顶边=-22\r\n");
    restart();
    EXPECT_EQ(control("图片框_照片").left(), 21);
    EXPECT_EQ(control("图片框_照片").top(), -22);
}

TEST_F(StartupSettings, PictureSizesCountOnlyWithTheirGateKey) {
    configure("[zbt]\r\n照片图片高=350\r\n[zweizhi]\r\n奖品图片宽=250\r\n");
    start();
    EXPECT_EQ(control("图片框_照片").width(), 400);
    EXPECT_EQ(control("图片框_照片").height(), 300);
    EXPECT_EQ(control("图片框_奖品").width(), 272);
    EXPECT_EQ(control("图片框_奖品").height(), 224);

    configure(
        "[zbt]\r\n照片图片宽=500\r\n照片图片高=350\r\n[zweizhi]\r\n奖品图片高=300\r\n"
        "奖品图片宽=250.7\r\n");
    restart();
    EXPECT_EQ(text("编辑框_照片图片宽"), "500");
    EXPECT_EQ(control("图片框_照片").width(), 500);
    EXPECT_EQ(control("图片框_照片").height(), 350);
    EXPECT_EQ(control("图片框_照片").left(), 710);
    EXPECT_EQ(control("图片框_奖品").width(), 250);
    EXPECT_EQ(control("图片框_奖品").height(), 300);
    EXPECT_EQ(control("图片框_奖品").left(), 710 + 500 + 10);
    EXPECT_EQ(control("分隔条_左").height(), 300);
}

TEST_F(StartupSettings, SwitchesAndMarks) {
    configure(
        "[zbt]\r\n禁用特效=真\r\n背景音乐=真\r\n是否允许重复=true\r\n不显示按钮=真\r\n"
        "滚动速度=50\r\n");
    folder.write("底图.jpg", "background bytes");
    Window& w = start();
    EXPECT_TRUE(checked("选择框_禁用特效"));
    EXPECT_TRUE(menuChecked("启用背景音乐"));
    EXPECT_FALSE(menuChecked("禁用背景音乐"));
    EXPECT_FALSE(checked("选择框_是否允许重复抽奖"));  // only 真 is true
    EXPECT_TRUE(checked("选择框_不显示按钮"));
    EXPECT_EQ(control("超级按钮").height(), 0);
    EXPECT_EQ(text("编辑框_滚动速度"), "50");
    EXPECT_EQ(w.self().getText(prop::kBackPicture), "background bytes");
    EXPECT_TRUE(host.sound.playlists.empty());  // no music at start-up
}

TEST_F(StartupSettings, PrizeTableMarkersAndDesignatedWinners) {
    configure("[zbt]\r\n特等奖=头奖\r\n特等奖人数=1\r\n一等奖=一等奖\r\n一等奖人数=3\r\nc=" +
              std::string(ScrambleText(Gbk("王五"))) +
              "\r\nk=" + std::string(ScrambleText(Gbk("赵六"))) +
              "\r\nx=" + std::string(ScrambleText(Gbk("孙七"))) + "\r\n");
    makeFolder("奖品图片");
    folder.write("奖品图片/2.jpg", "x");
    start();
    EXPECT_EQ(text("编辑框_奖项1"), Gbk("头奖"));
    EXPECT_EQ(text("编辑框_奖项人数2"), "3");
    EXPECT_EQ(text("编辑框_奖项2图片"), Gbk("有图片"));
    EXPECT_EQ(text("编辑框_奖项1图片"), " ");
    EXPECT_EQ(text("编辑框_中奖人3"), Gbk("王五"));
    EXPECT_EQ(text("编辑框_中奖人33"), Gbk("赵六"));
    EXPECT_EQ(text("编辑框_中奖人888"), Gbk("孙七"));
    EXPECT_EQ(text("编辑框_中奖人1"), "");
    EXPECT_EQ(control("组合框1").items(), (std::vector<Text>{Gbk("头奖"), Gbk("一等奖")}));
    EXPECT_EQ(text("组合框1"), "");
}

TEST_F(StartupSettings, TheFirstUnnamedLevelShowsItsPictureAndSetsTheLimit) {
    configure(
        "[zbt]\r\n特等奖=特等奖\r\n一等奖=一等奖\r\n二等奖=二等奖\r\n三等奖=三等奖\r\n"
        "四等奖人数=4\r\n");
    makeFolder("奖品图片");
    folder.write("奖品图片/5.jpg", Picture());
    start();
    EXPECT_EQ(control("图片框_奖品").getText(prop::kPicture), Picture());
    for (const char* name :
         {"图片框_奖品", "分隔条_左", "分隔条_右", "分隔条_上", "分隔条_下", "透明标签_奖品名称"})
        EXPECT_TRUE(control(name).visible()) << name;
    EXPECT_EQ(app::State().draw.levelLimit, 5);
}

TEST_F(StartupSettings, WithEveryLevelNamedNoLevelMatchesAndThePrizeAreaIsHidden) {
    std::string ini = "[zbt]\r\n";
    for (const char* level :
         {"特等奖", "一等奖", "二等奖", "三等奖", "四等奖", "五等奖", "六等奖", "七等奖"})
        ini += std::string(level) + "=" + level + "\r\n";
    configure(ini);
    makeFolder("奖品图片");
    folder.write("奖品图片/1.jpg", Picture());
    start();
    EXPECT_EQ(control("组合框1").items().size(), 8u);
    EXPECT_EQ(control("图片框_奖品").getText(prop::kPicture), "");
    EXPECT_FALSE(control("图片框_奖品").visible());
    EXPECT_EQ(app::State().draw.levelLimit, 0);
}

TEST_F(StartupSettings, TheBottomRowIsBroughtBackFromBelowAndBeyondTheLeftEdge) {
    configure("[zweizhi]\r\n透明标签_奖项等级顶边=1071\r\n");
    start();
    EXPECT_EQ(control("透明标签_奖项等级").top(), 1040);
    EXPECT_EQ(control("组合框1").top(), 1050);
    EXPECT_EQ(control("透明标签_抽取进度").top(), 1040);

    configure("[zweizhi]\r\n透明标签_奖项等级顶边=1070\r\n");  // at the limit: stays
    restart();
    EXPECT_EQ(control("透明标签_奖项等级").top(), 1070);
    EXPECT_EQ(control("组合框1").top(), 1003);

    configure("[zweizhi]\r\n透明标签_奖项等级左边=-6\r\n透明标签_奖项等级顶边=900\r\n");
    restart();
    EXPECT_EQ(control("透明标签_奖项等级").left(), 5);
    EXPECT_EQ(control("组合框1").left(), 5 + 125 + 5);
    EXPECT_EQ(control("透明标签_抽取进度").left(), 135 + 108 + 5);

    configure("[zweizhi]\r\n透明标签_奖项等级左边=-5\r\n透明标签_奖项等级顶边=900\r\n");
    restart();
    EXPECT_EQ(control("透明标签_奖项等级").left(), -5);
    EXPECT_EQ(control("组合框1").left(), 180);
}

}  // namespace
}  // namespace ld::test
