#include "framework/template_source.h"

#include <gtest/gtest.h>

#include "framework/handler_table.h"

namespace ld::tpl {
namespace {

std::optional<Bytes> NoAssets(std::string_view) { return std::nullopt; }

CompiledTemplates Compile(std::string_view source) {
    return CompileTemplateSource(source, NoAssets);
}

const Value* Prop(const UnitRecord& u, int index) {
    for (const auto& [i, v] : u.properties)
        if (i == index) return &v;
    return nullptr;
}

TEST(TemplateSource, StatementsContinueOnIndentedLinesAndTextsBecomeGbk) {
    CompiledTemplates c = Compile(
        "# a comment\n"
        "window Main 1 2 300 200 border=0 backcolor=0x000000FF  # trailing comment\n"
        "    caption=\"抽奖\" on.created=Begin\n"
        "\n"
        "ShapeBox box 5 6 100 100 hidden\n"
        "# comments between continuation lines do not end the statement\n"
        "    on.leftdown=Drag\n"
        "TransLabel 标题 -8 0 50 20 parent=box text=\"a \\\"b\\\"\\r\\n\" align=2\n"
        "    font=\"宋体,64,bold\" color=system\n"
        "menu 0 \"更换\" hidden\n"
        "menu 1 \"退出\" checked on.selected=Begin\n");
    ASSERT_TRUE(c.ok()) << c.errors[0];
    const WindowRecord& w = c.block.windows.at(0);
    EXPECT_EQ(w.name, "Main");
    EXPECT_TRUE(w.self.name.empty());
    EXPECT_EQ(std::get<Text>(*Prop(w.self, prop::kCaption)), "\xb3\xe9\xbd\xb1");
    EXPECT_EQ(std::get<int32_t>(*Prop(w.self, prop::kBackColor)), 0xFF);
    ASSERT_EQ(w.controls.size(), 2u);
    const UnitRecord& box = w.controls[0];
    const UnitRecord& label = w.controls[1];
    EXPECT_FALSE(box.visible());
    EXPECT_EQ(box.events, (std::vector<EventBinding>{{ev::kLeftDown, 6}}));
    EXPECT_EQ(label.name, "\xb1\xea\xcc\xe2");
    EXPECT_EQ(label.left, -8);
    EXPECT_EQ(label.parent, box.number);
    EXPECT_EQ(box.children, std::vector<uint32_t>{label.number});
    EXPECT_EQ(std::get<Text>(*Prop(label, prop::kText)), "a \"b\"\r\n");
    EXPECT_EQ(std::get<FontValue>(*Prop(label, prop::kTransFont)),
              (FontValue{"\xcb\xce\xcc\xe5", 64, 0, true}));
    EXPECT_EQ(std::get<int32_t>(*Prop(label, prop::kTextColor)), int32_t(kSystemColor));
    ASSERT_EQ(w.menu.size(), 2u);
    EXPECT_EQ(w.menu[0].flags, kMenuHidden);
    EXPECT_EQ(w.menu[0].handler, kNoHandler);
    EXPECT_EQ(w.menu[1].flags, kMenuChecked);
}

TEST(TemplateSource, HandlerReferencesAreOffsetsOfTheirNames) {
    CompiledTemplates c = Compile(
        "window W 0 0 1 1 on.created=Begin on.rightdown=Menu\n"
        "Button b 0 0 1 1 on.clicked=Menu on.leftdown=Begin\n");
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c.handlerNames, std::string("Begin\0Menu\0", 11));
    const auto& w = c.block.windows[0];
    for (const auto& e : w.controls[0].events)
        EXPECT_EQ(HandlerNameAt(c.handlerNames, e.handler),
                  e.event == ev::kClicked ? "Menu" : "Begin");
    EXPECT_EQ(HandlerNameAt(c.handlerNames, 1), std::nullopt);  // inside a name
    EXPECT_EQ(HandlerNameAt(c.handlerNames, 11), std::nullopt);
    EXPECT_EQ(HandlerNameAt(c.handlerNames, -1), std::nullopt);
}

TEST(TemplateSource, ErrorsNameTheirLine) {
    auto firstError = [](std::string_view source) {
        CompiledTemplates c = Compile(source);
        return c.errors.empty() ? std::string() : c.errors[0];
    };
    EXPECT_EQ(firstError("Label x 0 0 1 1\n"), "line 1: a control before any window");
    EXPECT_EQ(firstError("window W 0 0 1 1\nLabel x 0 0 1\n"),
              "line 2: expected a name, left, top, width and height");
    // The line of a continuation, not of the statement's start.
    EXPECT_EQ(firstError("window W 0 0 1 1\nLabel x 0 0 1 1\n  caption=\"a\"\n  bogus=1\n"),
              "line 4: unknown attribute 'bogus'");
    EXPECT_EQ(firstError("window W 0 0 1 1\nLabel x 0 0 1 1 on.clicked=Go\n"),
              "line 2: no event 'clicked' for this type");
    EXPECT_EQ(firstError("window W 0 0 1 1\nLabel x 0 0 1 1 parent=y\n"),
              "line 2: no container 'y' above this line");
    EXPECT_EQ(firstError("window W 0 0 1 1\nLabel y 0 0 1 1\nLabel x 0 0 1 1 parent=y\n"),
              "line 3: parent 'y' is no ShapeBox or GroupBox");
    EXPECT_EQ(firstError("window W 0 0 1 1\nLabel x 0 0 1 1\nEditBox x 0 0 1 1\n"),
              "line 3: a second control 'x'");
    EXPECT_EQ(firstError("window W 0 0 1 1\nLabel x 0 0 1 1 caption=\"open\n"),
              "line 2: text without its closing quote");
    EXPECT_EQ(firstError("window W 0 0 1 1 caption=\"😀\"\n"),
              "line 1: 'caption' holds a character GBK lacks");
    EXPECT_EQ(firstError("window W 0 0 1 1\nSuperBtn b 0 0 1 1 face=asset:none.jpg\n"),
              "line 2: asset 'none.jpg' not found");
    EXPECT_EQ(firstError("window W 0 0 1 1\nTimer t 0 0 1 1 interval=3x\n"),
              "line 2: bad value for 'interval'");
    EXPECT_EQ(firstError("window W 0 0 1 1\nmenu 1 \"a\" on.selected=no-name\n"),
              "line 2: bad menu attribute 'on.selected'");
    EXPECT_EQ(firstError("# nothing\n"), "line 1: no window at all");
    // Every error is reported, not only the first.
    EXPECT_EQ(Compile("window W 0 0 1 1 bad=1\nLabel x 0 0 1 1 worse=2\n").errors.size(), 2u);
}

TEST(TemplateSource, FontsAndNumbers) {
    CompiledTemplates c = Compile(
        "window W 0 0 1 1\n"
        "Button a 0 0 1 1 font=\",29,bold,italic,underline,strikeout\"\n"
        "Button b 0 0 1 1 font=default\n"
        "Label c 0 0 1 1 color=0xFF000000 font=\"隶书,35\"\n");
    ASSERT_TRUE(c.ok()) << c.errors[0];
    const auto& controls = c.block.windows[0].controls;
    FontValue a = std::get<FontValue>(*Prop(controls[0], prop::kFont));
    EXPECT_TRUE(a.face.empty() && a.bold && a.italic && a.underline && a.strikeOut);
    EXPECT_EQ(a.pixels, 29);
    EXPECT_EQ(std::get<FontValue>(*Prop(controls[1], prop::kFont)), FontValue{});
    EXPECT_EQ(std::get<int32_t>(*Prop(controls[2], prop::kForeColor)), int32_t(kSystemColor));
    EXPECT_FALSE(std::get<FontValue>(*Prop(controls[2], prop::kLabelFont)).bold);

    EXPECT_FALSE(Compile("window W 0 0 1 1\nButton a 0 0 1 1 font=\"宋体\"\n").ok());
    EXPECT_FALSE(Compile("window W 0 0 1 1\nButton a 0 0 1 1 font=\"宋体,12,heavy\"\n").ok());
    // A face name longer than the 31 bytes a LOGFONT holds.
    EXPECT_FALSE(
        Compile("window W 0 0 1 1\nButton a 0 0 1 1 font=\"" + std::string(32, 'F') + ",12\"\n")
            .ok());
    EXPECT_FALSE(Compile("window W 0 0 99999999999 1\n").ok());
}

}  // namespace
}  // namespace ld::tpl
