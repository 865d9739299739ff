// The widgets draw what the model holds and write back what the user does.
#include "platform/qt/widgets.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QScreen>

#include "qt_stage.h"
#include "services/text.h"

namespace ld::qt::test {
namespace {

constexpr uint32_t kBlueBgr = 0x00FF0000, kYellowBgr = 0x0000FFFF;

class Widgets : public QtStageTest {
protected:
    Widgets() {
        define("Stage", [this](Window& w) {
            w.self().setInt(prop::kBackColor, static_cast<int32_t>(kBlueBgr));
            picture = &add(w, ControlType::PicBox, "picture", {10, 10, 100, 80});
            picture->setInt(prop::kDisplayMode, 2);
            name = &add(w, ControlType::TransLabel, "name", {200, 10, 0, 40});
            FontValue font{Gbk("宋体"), 32, 0, true};
            name->set(prop::kTransFont, font);
            name->setInt(prop::kTextColor, static_cast<int32_t>(kYellowBgr));
            group = &add(w, ControlType::GroupBox, "group", {10, 120, 150, 100});
            hiddenColumn = &add(w, ControlType::EditBox, "beyond", {160, 30, 60, 20}, group);
            field = &add(w, ControlType::EditBox, "field", {10, 30, 60, 20}, group);
            buffer = &add(w, ControlType::EditBox, "buffer", {0, 0, 10, 10});
            buffer->setBool(prop::kMultiLine, true);
            buffer->setVisible(false);
            check = &add(w, ControlType::CheckBox, "check", {200, 120, 120, 20});
            check->bind(ev::kClicked, [this](Control& c, EventArgs&) {
                checkedInHandler = c.getBool(prop::kChecked);
            });
            combo = &add(w, ControlType::ComboBox, "combo", {200, 160, 100, 24});
            combo->setBool(prop::kDropDownList, true);
            combo->bind(ev::kItemChosen, [this](Control& c, EventArgs&) {
                chosenTexts.push_back(c.getText(prop::kComboText));
            });
            button = &add(w, ControlType::SuperBtn, "button", {200, 220, 120, 60});
            button->bind(ev::kClicked, [this](Control&, EventArgs&) { ++clicks; });
        });
        window = &load("Stage");
    }

    Window* window = nullptr;
    Control *picture, *name, *group, *hiddenColumn, *field, *buffer, *check, *combo, *button;
    bool checkedInHandler = false;
    std::vector<Text> chosenTexts;
    int clicks = 0;
};

TEST_F(Widgets, PictureBoxShowsAJpegInItsDisplayModeButNeverAPng) {
    auto& box = dynamic_cast<PicBoxWidget&>(*gui.viewOf(*picture));
    picture->setText(prop::kPicture, ImageBytes({200, 80}, Qt::green));
    ASSERT_FALSE(box.drawn().isNull());
    EXPECT_EQ(box.drawn().target, QRectF(0, 20, 100, 40));  // half size, centred
    EXPECT_EQ(PixelOf(&stage(*window), {60, 50}).green(), 255);
    EXPECT_EQ(PixelOf(&stage(*window), {60, 15}), QColor(Qt::blue));  // background around it

    picture->setInt(prop::kDisplayMode, 1);  // stretched over the whole box
    EXPECT_EQ(box.drawn().target, QRectF(0, 0, 100, 80));
    picture->setInt(prop::kDisplayMode, 0);  // top-left, natural size, cut off by the box
    EXPECT_EQ(box.drawn().target, QRectF(0, 0, 200, 80));
    picture->setInt(prop::kDisplayMode, 2);

    // Recognition, not the file name or Qt's readers, decides: a PNG is no picture.
    picture->setText(prop::kPicture, ImageBytes({200, 80}, Qt::green, "PNG"));
    EXPECT_TRUE(box.drawn().isNull());
    EXPECT_EQ(PixelOf(&stage(*window), {60, 50}), QColor(Qt::blue));
}

TEST_F(Widgets, TransLabelOfWidthZeroStillShowsItsText) {
    name->setText(prop::kText, Gbk("笔记本电脑"));
    QWidget* w = widgetOf(*name);
    EXPECT_GT(w->width(), 100);  // widened to its text
    EXPECT_EQ(w->pos(), QPoint(200, 10));
    // Some of the glyphs' pixels are yellow, over the window's own background.
    QImage shot = stage(*window).grab().toImage();
    int yellow = 0;
    for (int x = 200; x < 360; ++x)
        for (int y = 10; y < 50; ++y)
            if (shot.pixelColor(x, y) == QColor(Qt::yellow)) ++yellow;
    EXPECT_GT(yellow, 50);
}

TEST_F(Widgets, TransLabelCentresItsTextOnlyForTheAlignmentWordTwo) {
    name->setWidth(400);
    name->setText(prop::kText, "Hi");
    EXPECT_EQ(widgetOf(*name)->pos(), QPoint(200, 10));
    name->setInt(prop::kAlignWord, 2);
    QImage shot = widgetOf(*name)->grab().toImage();
    int firstInk = -1;
    for (int x = 0; x < shot.width() && firstInk < 0; ++x)
        for (int y = 0; y < shot.height(); ++y)
            if (shot.pixelColor(x, y).alpha() > 0 && shot.pixelColor(x, y).red() > 200) {
                firstInk = x;
                break;
            }
    EXPECT_GT(firstInk, 150);  // "Hi" sits around the middle of 400 pixels
}

TEST_F(Widgets, GroupBoxCutsOffChildrenBeyondItsEdge) {
    EXPECT_TRUE(widgetOf(*field)->visibleRegion().isEmpty() == false);
    EXPECT_TRUE(widgetOf(*hiddenColumn)->visibleRegion().isEmpty());
    hiddenColumn->setText(prop::kText, Gbk("王五"));  // still holds its value
    EXPECT_EQ(hiddenColumn->getText(prop::kText), Gbk("王五"));
}

TEST_F(Widgets, EditBoxFollowsTheModelAndTheModelFollowsTyping) {
    auto* line =
        qobject_cast<QLineEdit*>(dynamic_cast<EditBoxWidget&>(*gui.viewOf(*field)).editor());
    field->setText(prop::kText, Gbk("一等奖"));
    EXPECT_EQ(line->text(), QString::fromUtf8("一等奖"));
    line->setFocus();
    line->selectAll();
    QTest::sendKeyEvent(QTest::Click, line, Qt::Key_unknown, QString::fromUtf8("特等奖"),
                        Qt::NoModifier);
    QTest::keyClick(line, Qt::Key_5);
    EXPECT_EQ(field->getText(prop::kText), Gbk("特等奖5"));
}

TEST_F(Widgets, HiddenMultiLineBufferTakesItsTextWhenShown) {
    auto* lines =
        qobject_cast<QPlainTextEdit*>(dynamic_cast<EditBoxWidget&>(*gui.viewOf(*buffer)).editor());
    buffer->setText(prop::kText, Gbk("张三\r\n李四\r\n"));
    EXPECT_TRUE(lines->toPlainText().isEmpty());  // not drawn while hidden
    buffer->setVisible(true);
    EXPECT_EQ(lines->toPlainText(), QString::fromUtf8("张三\n李四\n"));
    EXPECT_EQ(buffer->getText(prop::kText), Gbk("张三\r\n李四\r\n"));  // untouched by showing
}

TEST_F(Widgets, CheckBoxFlipsBeforeItsClickedEvent) {
    QTest::mouseClick(widgetOf(*check), Qt::LeftButton, Qt::NoModifier, {6, 10});
    EXPECT_TRUE(check->getBool(prop::kChecked));
    EXPECT_TRUE(checkedInHandler);
    check->setBool(prop::kChecked, false);
    EXPECT_FALSE(static_cast<QCheckBox*>(widgetOf(*check))->isChecked());
}

TEST_F(Widgets, ComboBoxItemChosenCarriesTheChosenText) {
    auto* box = static_cast<QComboBox*>(widgetOf(*combo));
    EXPECT_FALSE(box->isEditable());
    for (const char* level : {"特等奖", "一等奖"}) combo->addItem(Gbk(level));
    EXPECT_EQ(box->count(), 2);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);  // chooses the next item
    ASSERT_EQ(chosenTexts.size(), 1u);
    EXPECT_EQ(combo->chosenItem(), box->currentIndex());
    EXPECT_EQ(chosenTexts[0], combo->items()[static_cast<size_t>(box->currentIndex())]);
    combo->clearItems();
    EXPECT_EQ(box->count(), 0);
}

TEST_F(Widgets, SuperButtonClicksOnSpaceUnlessDisabledAndHasRoundedCorners) {
    QWidget* w = widgetOf(*button);
    w->setFocus();
    QTest::keyClick(w, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    button->setDisabled(true);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, {60, 30});
    QTest::keyClick(w, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(w->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(w->mask().contains(QPoint(60, 30)));
    EXPECT_TRUE(w->mask().contains(QPoint(60, 0)));
}

TEST_F(Widgets, BackgroundPictureCoversTheWindowKeepingItsAspect) {
    // A 2:1 picture, its left quarter green, on a 4:3 window of 400 x 300: drawn 600 x 300
    // from x = -100, so green reaches x = 50 and the picture covers every corner.
    QImage image(800, 400, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 200; ++x) image.setPixelColor(x, y, Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    window->self().setText(prop::kBackPicture, bytes.toStdString());
    auto isRed = [](QColor c) { return c.red() > 230 && c.green() < 30 && c.blue() < 30; };
    auto isGreen = [](QColor c) { return c.green() > 230 && c.red() < 30 && c.blue() < 30; };
    QWidget* s = &stage(*window);
    EXPECT_TRUE(isGreen(PixelOf(s, {2, 298})));  // clear of the controls
    EXPECT_TRUE(isGreen(PixelOf(s, {35, 100})));
    EXPECT_TRUE(isRed(PixelOf(s, {70, 100})));
    EXPECT_TRUE(isRed(PixelOf(s, {398, 2})));
    window->self().setText(prop::kBackPicture, Bytes());
    EXPECT_EQ(PixelOf(s, {2, 298}), QColor(Qt::blue));
}

}  // namespace
}  // namespace ld::qt::test

namespace ld::qt::test {
namespace {

TEST_F(Widgets, FullScreenIsTheScreenWithoutFrameAndWindowedKeepsTheFrame) {
    Control& self = window->self();
    const QRect screenRect = QApplication::primaryScreen()->geometry();
    self.setInt(prop::kBorder, 0);
    self.setLeft(screenRect.x());
    self.setTop(screenRect.y());
    self.setWidth(screenRect.width());
    self.setHeight(screenRect.height());
    QCoreApplication::processEvents();  // laid out once, after the handler
    StageWindow& s = stage(*window);
    EXPECT_TRUE(s.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(s.windowState() & Qt::WindowFullScreen);
    EXPECT_TRUE(s.isVisible());

    self.setInt(prop::kBorder, 1);  // the Window command: the frame returns, size kept
    QCoreApplication::processEvents();
    EXPECT_FALSE(s.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(s.windowState() & Qt::WindowFullScreen);
    EXPECT_TRUE(s.isVisible());
    EXPECT_EQ(self.width(), screenRect.width());

    self.setWidth(300);  // an ordinary window: its outer size is the model's
    QCoreApplication::processEvents();
    EXPECT_FALSE(s.windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized));
    EXPECT_EQ(s.frameGeometry().width(), 300);
}

}  // namespace
}  // namespace ld::qt::test

namespace ld::qt::test {
namespace {

TEST_F(Widgets, FlatStyleReachesEveryWindowAndKeepsTheControlsFonts) {
    define("Later", [](Window& w) {
        add(w, ControlType::Button, "b", {0, 0, 100, 30})
            .set(prop::kFont, FontValue{Gbk("隶书"), 35});
    });
    const QString ordinary = QApplication::style()->name();
    gui.setFlatControlStyle(1);
    Window& later = load("Later");
    QWidget* present = widgetOf(*check);
    QWidget* made = widgetOf(*later.find("b"));
    EXPECT_EQ(present->style(), QApplication::style());
    EXPECT_EQ(made->style(), QApplication::style());
    EXPECT_NE(dynamic_cast<QProxyStyle*>(QApplication::style()), nullptr);
    EXPECT_EQ(made->font().pixelSize(), 35);  // a style sheet would have put 12 here
    gui.setFlatControlStyle(0);
    EXPECT_EQ(dynamic_cast<QProxyStyle*>(QApplication::style()), nullptr);
    EXPECT_EQ(QApplication::style()->name(), ordinary);
    EXPECT_EQ(made->font().pixelSize(), 35);
}

}  // namespace
}  // namespace ld::qt::test
