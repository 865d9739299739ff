#include <gtest/gtest.h>

#include "support/test_host.h"
#include "ui/hotkeys.h"
#include "ui/window.h"

namespace ld {
namespace {

struct RecordingObserver : ModelObserver {
    std::vector<std::pair<Text, int>> changes;
    int itemChanges = 0;
    void propertyChanged(Control& c, int index) override { changes.emplace_back(c.name(), index); }
    void itemsChanged(Control&) override { ++itemChanges; }
};

TEST(ControlModel, CommonPropertiesByIndexAndObservers) {
    Window w("MainWindow", 0);
    RecordingObserver obs;
    w.addObserver(&obs);
    Control& pic = w.add(ControlType::PicBox, "pic");
    pic.set(prop::kLeft, int32_t{696});
    pic.set(prop::kTop, Text("-16"));  // numbers written as text read back as numbers
    pic.set(prop::kVisible, false);
    pic.set(prop::kPicture, Text("\xFF\xD8"));
    EXPECT_EQ(pic.left(), 696);
    EXPECT_EQ(pic.top(), -16);
    EXPECT_FALSE(pic.visible());
    EXPECT_EQ(pic.getText(prop::kPicture), "\xFF\xD8");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(pic.get(99)));
    ASSERT_EQ(obs.changes.size(), 4u);
    EXPECT_EQ(obs.changes[3], std::make_pair(Text("pic"), prop::kPicture));
}

TEST(ControlModel, TypedTextFollowsTheControlType) {
    Window w("MainWindow", 0);
    Control& edit = w.add(ControlType::EditBox, "e");
    Control& button = w.add(ControlType::SuperBtn, "b");
    edit.setTextValue("abc");
    button.setTextValue("go");
    EXPECT_EQ(edit.getText(prop::kText), "abc");
    EXPECT_EQ(button.getText(prop::kSuperCaption), "go");
    Control& check = w.add(ControlType::CheckBox, "c");
    check.setText(prop::kChecked, kTrueWord);  // the logical word reads as true
    EXPECT_TRUE(check.getBool(prop::kChecked));
}

TEST(ControlModel, ComboTextIsTheChosenItem) {
    Window w("MainWindow", 0);
    RecordingObserver obs;
    w.addObserver(&obs);
    Control& combo = w.add(ControlType::ComboBox, "combo");
    EXPECT_EQ(combo.addItem("A"), 0);
    EXPECT_EQ(combo.addItem("B"), 1);
    combo.chooseItem(1);
    EXPECT_EQ(combo.text(), "B");
    combo.setTextValue("A");
    EXPECT_EQ(combo.chosenItem(), 0);
    combo.clearItems();
    EXPECT_EQ(combo.text(), "");
    EXPECT_EQ(combo.chosenItem(), -1);
    EXPECT_EQ(obs.itemChanges, 3);
}

TEST(ControlModel, FontSizesStayExactAndConvertOnlyWhenDrawn) {
    FontValue templ{"", 64, 0, true};
    EXPECT_EQ(templ.pixelSize(), 64);
    EXPECT_DOUBLE_EQ(templ.sizePoints(), 48.0);
    FontValue configured{"", 0, 36};
    EXPECT_EQ(configured.pixelSize(), 48);
    FontValue odd{"", 0, 11};
    EXPECT_EQ(odd.pixelSize(), 15);  // 14.67 rounds to 15
}

TEST(ControlModel, EventsRunOnlyBoundHandlersWithTheirArguments) {
    Window w("MainWindow", 0);
    Control& label = w.add(ControlType::TransLabel, "l");
    EXPECT_FALSE(label.raise(ev::kLeftDown));
    int seenKeys = -1;
    label.bind(ev::kLeftDown, [&](Control&, EventArgs& a) { seenKeys = a.keyState; });
    EventArgs args;
    args.keyState = keys::kCtrl | keys::kShift;
    EXPECT_TRUE(label.raise(ev::kLeftDown, args));
    EXPECT_EQ(seenKeys, 3);
}

TEST(ControlModel, MissingControlIsTheFatalRuntimeError) {
    test::TestHost host;
    Window w("MainWindow", 0);
    auto code = test::CatchExit([&] { w.control("nothing"); });
    ASSERT_TRUE(code.has_value());
    ASSERT_EQ(host.dialogs.messages.size(), 1u);
    EXPECT_EQ(host.dialogs.messages[0].text.rfind(Gbk("运行时出错!"), 0), 0u);
    EXPECT_NE(host.dialogs.messages[0].text.find(Gbk("指定窗口或窗口组件不存在或尚未载入")),
              Text::npos);
}

TEST(HotKeys, IdentifiersGrowAndDispatchReachesTheTarget) {
    Window w("MainWindow", 0);
    Control& target = w.add(ControlType::Label, "target");
    int notified = 0;
    target.bind(ev::kNotification, [&](Control&, EventArgs&) { ++notified; });
    int first = AddHotKey(w, target, 0, kVirtualKeyEnter);
    EXPECT_GE(first, 0x80E9);
    EXPECT_TRUE(DispatchHotKey(0, kVirtualKeyEnter));
    EXPECT_FALSE(DispatchHotKey(keys::kCtrl, kVirtualKeyEnter));
    RemoveHotKey(w, first);
    EXPECT_FALSE(DispatchHotKey(0, kVirtualKeyEnter));
    int second = AddHotKey(w, target, 0, kVirtualKeyEnter);
    EXPECT_GT(second, first);  // never reused
    RemoveHotKeysOf(w);
    EXPECT_FALSE(HasHotKey(0, kVirtualKeyEnter));
    EXPECT_EQ(notified, 1);
}

}  // namespace
}  // namespace ld
