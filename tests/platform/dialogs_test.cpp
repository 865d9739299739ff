// The modal dialogs: Windows button sets and answer codes, the input box, the file filter,
// the font dialog's colour.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "platform/qt/font_dialog.h"
#include "qt_stage.h"
#include "services/text.h"

namespace ld::qt::test {
namespace {

QStringList ButtonTexts(QMessageBox& box) {
    QStringList texts;
    for (QAbstractButton* b : box.buttons()) texts << b->text();
    return texts;
}

// Runs `answer` on the modal dialog as soon as it is open.
template <typename Dialog>
void WhenOpen(std::function<void(Dialog&)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

class Dialogs : public QtStageTest {};

TEST_F(Dialogs, MessageBoxesHaveTheWindowsButtonSetsWithTheDefaultFirst) {
    std::unique_ptr<QMessageBox> ync(
        BuildMessageBox(Gbk("保存？"), msg::kYesNoCancel | msg::kIconQuestion, Gbk("信息：")));
    EXPECT_EQ(ButtonTexts(*ync).size(), 3);
    EXPECT_TRUE(ButtonTexts(*ync).contains(QString::fromUtf8("是(&Y)")));
    EXPECT_TRUE(ButtonTexts(*ync).contains(QString::fromUtf8("否(&N)")));
    EXPECT_TRUE(ButtonTexts(*ync).contains(QString::fromUtf8("取消")));
    EXPECT_EQ(ync->defaultButton()->text(), QString::fromUtf8("是(&Y)"));
    EXPECT_EQ(ync->icon(), QMessageBox::Question);
    EXPECT_EQ(ync->windowTitle(), QString::fromUtf8("信息："));
    EXPECT_EQ(ync->text(), QString::fromUtf8("保存？"));

    std::unique_ptr<QMessageBox> okCancel(
        BuildMessageBox("x", msg::kOkCancel | msg::kIconWarning, ""));
    EXPECT_EQ(ButtonTexts(*okCancel).size(), 2);
    EXPECT_EQ(okCancel->defaultButton()->text(), QString::fromUtf8("确定"));
    EXPECT_EQ(okCancel->icon(), QMessageBox::Warning);

    std::unique_ptr<QMessageBox> stop(BuildMessageBox("x", msg::kIconStop, ""));
    EXPECT_EQ(ButtonTexts(*stop), QStringList{QString::fromUtf8("确定")});
    EXPECT_EQ(stop->icon(), QMessageBox::Critical);
    std::unique_ptr<QMessageBox> info(BuildMessageBox("x", msg::kIconInfo, ""));
    EXPECT_EQ(info->icon(), QMessageBox::Information);
}

TEST_F(Dialogs, MessageBoxAnswersWithTheWindowsCodes) {
    auto keyAnswer = [this](int style, Qt::Key key) {
        WhenOpen<QMessageBox>([key](QMessageBox& box) { QTest::keyClick(&box, key); });
        return dialogs.showMessage(Gbk("问题"), style, Gbk("信息："));
    };
    // Y and N alone answer, as on Windows; Escape cancels; Enter takes the default.
    EXPECT_EQ(keyAnswer(msg::kYesNo, Qt::Key_Y), msg::kAnswerYes);
    EXPECT_EQ(keyAnswer(msg::kYesNo, Qt::Key_N), msg::kAnswerNo);
    EXPECT_EQ(keyAnswer(msg::kYesNoCancel, Qt::Key_Escape), msg::kAnswerCancel);
    EXPECT_EQ(keyAnswer(msg::kOkCancel, Qt::Key_Escape), msg::kAnswerCancel);
    EXPECT_EQ(keyAnswer(msg::kOkCancel, Qt::Key_Return), msg::kAnswerOk);
    EXPECT_EQ(keyAnswer(msg::kOk, Qt::Key_Escape), msg::kAnswerOk);
    // Closing a Yes/No box, which has no Cancel, is No.
    EXPECT_EQ(keyAnswer(msg::kYesNo, Qt::Key_Escape), msg::kAnswerNo);
    // And by clicking.
    WhenOpen<QMessageBox>([](QMessageBox& box) {
        for (QAbstractButton* b : box.buttons())
            if (b->text() == QString::fromUtf8("否(&N)")) b->click();
    });
    EXPECT_EQ(dialogs.showMessage("?", msg::kYesNoCancel, ""), msg::kAnswerNo);
}

TEST_F(Dialogs, InputBoxGivesTheTextOnOkAndKeepsTheVariableOnCancel) {
    Text value = "old";
    WhenOpen<QDialog>([](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>();
        EXPECT_EQ(edit->text(), QString::fromUtf8("某某公司现场抽奖仪式"));
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("请输入主标题"));
        edit->setText(QString::fromUtf8("新标题"));
        dialog.accept();
    });
    EXPECT_TRUE(dialogs.inputBox(Gbk("请输入主标题"), Gbk("请输入主标题"),
                                 Gbk("某某公司现场抽奖仪式"), value, false));
    EXPECT_EQ(value, Gbk("新标题"));

    WhenOpen<QDialog>([](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QLineEdit*>()->echoMode(), QLineEdit::Password);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(dialogs.inputBox("p", "c", "", value, true));
    EXPECT_EQ(value, Gbk("新标题"));
}

TEST_F(Dialogs, FileFilterBecomesAQtFilter) {
    EXPECT_EQ(ToQtFilter(Gbk("图形文件(*.jpg)|*.jpg")), QString::fromUtf8("图形文件(*.jpg)"));
    EXPECT_EQ(ToQtFilter(Gbk("音乐文件|*.mp3;*.wav|全部|*.*")),
              QString::fromUtf8("音乐文件 (*.mp3 *.wav);;全部 (*.*)"));
}

TEST_F(Dialogs, FontDialogChoosesTheColourAndKeepsAFaceThisMachineLacks) {
    FontChoice initial{Gbk("宋体"), 20, true, false, false, false, 0x0000FFFF};
    FontColorDialog dialog(initial);
    dialog.setColor(QColor(0x12, 0x34, 0x56));
    FontChoice chosen = dialog.choice();
    EXPECT_EQ(chosen.face, Gbk("宋体"));  // untouched, so stored as it was
    EXPECT_EQ(chosen.points, 20);
    EXPECT_TRUE(chosen.bold);
    EXPECT_EQ(chosen.color, 0x00563412u);  // 0x00BBGGRR
}

TEST_F(Dialogs, NumberFormSavesNumbersWithinTheRangeAndCancelKeepsThem) {
    std::vector<ld::Dialogs::NumberField> fields{{Gbk("一等奖"), 3}, {Gbk("二等奖"), 99}};
    WhenOpen<QDialog>([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("每次抽取人数"));
        const QList<QSpinBox*> boxes = dialog.findChildren<QSpinBox*>();
        ASSERT_EQ(boxes.size(), 2);
        EXPECT_EQ(boxes[1]->value(), 50);  // a stored 99 comes in at the largest allowed
        // The unit around the box: 每次抽 [n] 人 (1–50).
        QStringList texts;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
        EXPECT_EQ(texts.count(QString::fromUtf8("每次抽")), 2);
        EXPECT_EQ(texts.count(QString::fromUtf8("人 (1–50)")), 2);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        // Typed over the first, then Tab to the second, where 80 stops at its 8, then 保存.
        EXPECT_EQ(dialog.focusWidget(), boxes[0]);
        QTest::keyClicks(dialog.focusWidget(), "7");
        QTest::keyClick(&dialog, Qt::Key_Tab);
        EXPECT_EQ(dialog.focusWidget(), boxes[1]);
        QTest::keyClicks(dialog.focusWidget(), "80");
        QTest::keyClick(&dialog, Qt::Key_Tab);
        ASSERT_NE(dialog.focusWidget(), nullptr);
        EXPECT_EQ(qobject_cast<QPushButton*>(dialog.focusWidget())->text(),
                  QString::fromUtf8("保存"));
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Space);
    });
    EXPECT_TRUE(dialogs.numberForm(Gbk("每次抽取人数"), Gbk("每次抽 %1 人 (1–50)"), 1, 50, fields));
    EXPECT_EQ(fields[0].value, 7);
    EXPECT_EQ(fields[1].value, 8);

    WhenOpen<QDialog>([](QDialog& dialog) {
        dialog.findChildren<QSpinBox*>()[0]->setValue(20);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(dialogs.numberForm(Gbk("每次抽取人数"), Gbk("每次"), 1, 50, fields));
    EXPECT_EQ(fields[0].value, 7);
}

}  // namespace
}  // namespace ld::qt::test
