#include "platform/qt/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/qt/font_dialog.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/screens.h"
#include "platform/qt/stage_window.h"
#include "services/encoding.h"

namespace ld::qt {

namespace {

const char* const kAnswerProperty = "answer";

QString Utf8(const char* text) { return QString::fromUtf8(text); }

QAbstractButton* AddAnswer(QMessageBox& box, const char* text, QMessageBox::ButtonRole role,
                           int answer) {
    QPushButton* button = box.addButton(Utf8(text), role);
    button->setProperty(kAnswerProperty, answer);
    return button;
}

QMessageBox::Icon IconOf(int style) {
    switch (style & 0xF0) {
        case msg::kIconStop:
            return QMessageBox::Critical;
        case msg::kIconQuestion:
            return QMessageBox::Question;
        case msg::kIconWarning:
            return QMessageBox::Warning;
        case msg::kIconInfo:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// Adds the buttons of the style in Windows order; returns {first, escape}.
std::pair<QAbstractButton*, QAbstractButton*> AddButtons(QMessageBox& box, int style) {
    switch (style & 0x0F) {
        case msg::kOkCancel: {
            auto* ok = AddAnswer(box, "确定", QMessageBox::AcceptRole, msg::kAnswerOk);
            auto* cancel = AddAnswer(box, "取消", QMessageBox::RejectRole, msg::kAnswerCancel);
            return {ok, cancel};
        }
        case msg::kYesNoCancel: {
            auto* yes = AddAnswer(box, "是(&Y)", QMessageBox::YesRole, msg::kAnswerYes);
            AddAnswer(box, "否(&N)", QMessageBox::NoRole, msg::kAnswerNo);
            auto* cancel = AddAnswer(box, "取消", QMessageBox::RejectRole, msg::kAnswerCancel);
            return {yes, cancel};
        }
        case msg::kYesNo: {
            auto* yes = AddAnswer(box, "是(&Y)", QMessageBox::YesRole, msg::kAnswerYes);
            // Windows offers no escape here; closing the box answers No, the safe reading.
            auto* no = AddAnswer(box, "否(&N)", QMessageBox::NoRole, msg::kAnswerNo);
            return {yes, no};
        }
        default: {
            auto* ok = AddAnswer(box, "确定", QMessageBox::AcceptRole, msg::kAnswerOk);
            return {ok, ok};
        }
    }
}

}  // namespace

QWidget* DialogOwner() {
    // Over the active window (the full-screen stage, say), so the window manager keeps the
    // dialog above it; none when the program has no active window.
    QWidget* active = QApplication::activeWindow();
    QWidget* console = VisibleConsole();
    if (!console) return active;
    // The operator's windows (the console, the password window, another dialog) are on the
    // operator's screen already; whatever the stage asks goes over the console.
    auto* stage = dynamic_cast<StageWindow*>(active);
    return active && !(stage && stage->onStage()) ? active : console;
}

QMessageBox* BuildMessageBox(const Text& message, int style, const Text& caption, QWidget* owner) {
    auto* box = new QMessageBox(owner);
    box->setWindowTitle(ToQString(caption));
    box->setText(ToQLines(message));
    box->setTextFormat(Qt::PlainText);
    box->setIcon(IconOf(style));
    // Modal to the whole program whatever the system-modal bit asks: nothing else of ours
    // may take input while a question is open.
    box->setWindowModality(Qt::ApplicationModal);
    auto [first, escape] = AddButtons(*box, style);
    box->setDefaultButton(qobject_cast<QPushButton*>(first));
    box->setEscapeButton(escape);
    return box;
}

int AnswerOf(int style) {
    switch (style & 0x0F) {
        case msg::kOk:
            return msg::kAnswerOk;
        case msg::kYesNo:
            return msg::kAnswerNo;
        default:
            return msg::kAnswerCancel;
    }
}

int AnswerOf(QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    if (!clicked) clicked = box.escapeButton();
    return clicked ? clicked->property(kAnswerProperty).toInt() : msg::kAnswerCancel;
}

int QtDialogs::showMessage(const Text& message, int style, const Text& caption) {
    // Guarded: an owner that goes away while the box is open takes the box with it.
    QPointer<QMessageBox> box(BuildMessageBox(message, style, caption, DialogOwner()));
    box->exec();
    if (!box) return AnswerOf(style);
    int answer = AnswerOf(*box);
    delete box.data();
    return answer;
}

bool QtDialogs::inputBox(const Text& prompt, const Text& caption, const Text& initial, Text& value,
                         bool masked) {
    QPointer<QDialog> dialog(new QDialog(DialogOwner()));
    dialog->setWindowTitle(ToQString(caption));
    dialog->setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(dialog);
    auto* label = new QLabel(ToQLines(prompt));
    label->setWordWrap(true);
    auto* edit = new QLineEdit(ToQString(initial));
    edit->setMinimumWidth(320);
    if (masked) edit->setEchoMode(QLineEdit::Password);
    edit->selectAll();
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(Utf8("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(Utf8("取消"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    const bool accepted = dialog->exec() == QDialog::Accepted && dialog;
    if (accepted) value = FromQString(edit->text());
    delete dialog.data();
    return accepted;
}

QString ToQtFilter(const Text& filter) {
    QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(' ');
        // "图形文件(*.jpg)" already names its pattern the Qt way: keep it as written.
        if (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

bool QtDialogs::openFile(const Text& filter, Text& chosenPath) {
    // Qt's own dialog: its name filter ignores case, as the Windows one does (*.jpg finds
    // photo.JPG); a desktop's native dialog may not.
    QString path =
        QFileDialog::getOpenFileName(DialogOwner(), Utf8("打开"), QDir::currentPath(),
                                     ToQtFilter(filter), nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return false;
    chosenPath = FileNameToGbk(QDir::toNativeSeparators(path).toStdString());
    return true;
}

bool QtDialogs::saveFile(const Text& filter, const Text& suggestedName, Text& chosenPath) {
    // Suggested in the home folder: the program's own folder is where the file that could
    // not be written lives.
    QString path = QFileDialog::getSaveFileName(
        DialogOwner(), Utf8("另存为"), QDir::home().filePath(ToQString(suggestedName)),
        ToQtFilter(filter), nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return false;
    chosenPath = FileNameToGbk(QDir::toNativeSeparators(path).toStdString());
    return true;
}

bool QtDialogs::chooseFont(FontChoice& font) { return FontColorDialog::choose(font); }

bool QtDialogs::numberForm(const Text& caption, const Text& unit, int min, int max,
                           std::vector<NumberField>& fields) {
    if (min > max) std::swap(min, max);
    QPointer<QDialog> dialog(new QDialog(DialogOwner()));
    dialog->setWindowTitle(ToQString(caption));
    dialog->setWindowModality(Qt::ApplicationModal);
    auto* rows = new QGridLayout;
    std::vector<QSpinBox*> boxes;
    for (size_t i = 0; i < fields.size(); ++i) {
        const int row = static_cast<int>(i);
        auto* label = new QLabel(ToQString(fields[i].label));
        auto* box = new QSpinBox;
        box->setRange(min, max);
        box->setValue(fields[i].value);  // a stored value out of range comes in clamped
        box->setObjectName(QStringLiteral("number%1").arg(row));
        box->setAccessibleName(label->text());
        box->setMinimumWidth(90);
        label->setBuddy(box);
        rows->addWidget(label, row, 0);
        // "%1" in the unit stands for the box: 每次抽 [5] 人 (1–50).
        const QStringList around = ToQString(unit).split(QStringLiteral("%1"));
        rows->addWidget(new QLabel(around.value(0).trimmed()), row, 1);
        rows->addWidget(box, row, 2);
        if (around.size() > 1) rows->addWidget(new QLabel(around.value(1).trimmed()), row, 3);
        boxes.push_back(box);
    }
    auto* buttons = new QDialogButtonBox;
    QPushButton* save = buttons->addButton(Utf8("保存"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(Utf8("取消"), QDialogButtonBox::RejectRole);
    save->setDefault(true);
    save->setObjectName(QStringLiteral("save"));
    cancel->setObjectName(QStringLiteral("cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(rows);
    layout->addWidget(buttons);
    // Tab walks the numbers top to bottom, then 保存, whatever order the style puts the
    // buttons in.
    QWidget* previous = nullptr;
    for (QWidget* next : boxes) {
        if (previous) QWidget::setTabOrder(previous, next);
        previous = next;
    }
    if (previous) QWidget::setTabOrder(previous, save);
    QWidget::setTabOrder(save, cancel);
    if (!boxes.empty()) {
        boxes.front()->setFocus();
        boxes.front()->selectAll();
    }
    const bool accepted = dialog->exec() == QDialog::Accepted && dialog;
    if (accepted) {
        for (size_t i = 0; i < boxes.size(); ++i) {
            boxes[i]->interpretText();  // digits typed but not yet taken
            fields[i].value = boxes[i]->value();
        }
    }
    delete dialog.data();
    return accepted;
}

std::optional<int> QtDialogs::chooseFromList(const Text& caption, const Text& prompt,
                                             const std::vector<Text>& entries, int current) {
    QPointer<QDialog> dialog(new QDialog(DialogOwner()));
    dialog->setWindowTitle(ToQString(caption));
    dialog->setWindowModality(Qt::ApplicationModal);
    auto* label = new QLabel(ToQLines(prompt));
    label->setWordWrap(true);
    auto* list = new QListWidget;
    list->setObjectName(QStringLiteral("entries"));
    list->setMinimumWidth(360);
    for (const Text& entry : entries) list->addItem(ToQString(entry));
    if (current >= 0 && current < list->count()) {
        QFont bold = list->font();
        bold.setBold(true);
        list->item(current)->setFont(bold);
        list->setCurrentRow(current);
    }
    list->setFixedHeight(std::clamp(list->count(), 1, 8) * (list->sizeHintForRow(0) + 2) + 8);
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(Utf8("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(Utf8("取消"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    ok->setEnabled(list->currentRow() >= 0);
    QObject::connect(list, &QListWidget::currentRowChanged, ok,
                     [ok](int row) { ok->setEnabled(row >= 0); });
    QObject::connect(list, &QListWidget::itemActivated, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(label);
    layout->addWidget(list);
    layout->addWidget(buttons);
    list->setFocus();
    std::optional<int> chosen;
    if (dialog->exec() == QDialog::Accepted && dialog && list->currentRow() >= 0)
        chosen = list->currentRow();
    delete dialog.data();
    return chosen;
}

}  // namespace ld::qt
