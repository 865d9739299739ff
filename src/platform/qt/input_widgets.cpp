#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>

#include "platform/qt/qt_text.h"
#include "platform/qt/widgets.h"

namespace ld::qt {

EditBoxWidget::EditBoxWidget(Control& control, QWidget* parent)
    : ControlView(control), QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (control.getBool(prop::kMultiLine)) {
        lines_ = new QPlainTextEdit(this);
        lines_->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout->addWidget(lines_);
        connect(lines_, &QPlainTextEdit::textChanged, this, [this] { takeText(); });
        RelayInputFrom(*this, lines_->viewport());
    } else {
        line_ = new QLineEdit(this);
        if (control.getBool(prop::kPasswordChar)) {
            line_->setEchoMode(QLineEdit::Password);
            line_->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // '*'
        }
        layout->addWidget(line_);
        connect(line_, &QLineEdit::textEdited, this, [this] { takeText(); });
        RelayInputFrom(*this, line_);
    }
    setFocusProxy(editor());
}

QWidget* EditBoxWidget::editor() const {
    return line_ ? static_cast<QWidget*>(line_) : static_cast<QWidget*>(lines_);
}

void EditBoxWidget::takeText() {
    if (detached() || textStale_) return;
    taking_ = true;
    control().setText(prop::kText,
                      line_ ? FromQString(line_->text()) : FromQLines(lines_->toPlainText()));
    taking_ = false;
}

void EditBoxWidget::syncText() {
    if (taking_) return;
    // The hidden buffers hold whole participant lists and change on every draw: a box that
    // is not shown takes its text when it is.
    if (isHidden()) {
        textStale_ = true;
        return;
    }
    textStale_ = false;
    if (line_) {
        QString text = ToQString(control().getText(prop::kText));
        if (line_->text() != text) line_->setText(text);
    } else {
        QString text = ToQLines(control().getText(prop::kText));
        if (lines_->toPlainText() != text) {
            const QSignalBlocker block(lines_);
            lines_->setPlainText(text);
        }
    }
}

void EditBoxWidget::showEvent(QShowEvent*) {
    if (textStale_) syncText();
}

void EditBoxWidget::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all || index == prop::kText || index == prop::kVisible) syncText();
    if (all || index == prop::kFont) editor()->setFont(ToQFont(control().getFont(prop::kFont)));
}

ButtonWidget::ButtonWidget(Control& control, QWidget* parent)
    : ControlView(control), QPushButton(parent) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] {
        if (!detached()) this->control().raise(ev::kClicked);
    });
}

void ButtonWidget::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all || index == prop::kCaption) setText(ToQString(control().getText(prop::kCaption)));
    if (all || index == prop::kFont) setFont(ToQFont(control().getFont(prop::kFont)));
}

CheckBoxWidget::CheckBoxWidget(Control& control, QWidget* parent)
    : ControlView(control), QCheckBox(parent) {
    // The clicked event comes after the check state has flipped.
    connect(this, &QCheckBox::clicked, this, [this](bool checked) {
        if (detached()) return;
        this->control().setBool(prop::kChecked, checked);
        this->control().raise(ev::kClicked);
    });
}

void CheckBoxWidget::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all || index == prop::kCaption) setText(ToQString(control().getText(prop::kCaption)));
    if (all || index == prop::kFont) setFont(ToQFont(control().getFont(prop::kFont)));
    if (all || index == prop::kChecked) {
        const QSignalBlocker block(this);
        setChecked(control().getBool(prop::kChecked));
    }
}

ComboBoxWidget::ComboBoxWidget(Control& control, QWidget* parent)
    : ControlView(control), QComboBox(parent) {
    setEditable(!control.getBool(prop::kDropDownList));
    setInsertPolicy(QComboBox::NoInsert);
    // An item confirmed from the list (or chosen with the arrow keys) is the item-chosen
    // event; choosing the same item again raises it again, as the selector expects.
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (detached()) return;
        this->control().chooseItem(index);
        this->control().raise(ev::kItemChosen);
    });
    if (isEditable()) {
        connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
            if (!detached()) this->control().setText(prop::kComboText, FromQString(text));
        });
        RelayInputFrom(*this, lineEdit());
    }
}

void ComboBoxWidget::syncItems() {
    const QSignalBlocker block(this);
    clear();
    for (const Text& item : control().items()) addItem(ToQString(item));
    showChosen();
}

void ComboBoxWidget::showChosen() {
    const QSignalBlocker block(this);
    setCurrentIndex(control().chosenItem());
    if (isEditable()) setEditText(ToQString(control().getText(prop::kComboText)));
}

void ComboBoxWidget::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all) syncItems();
    if (index == prop::kComboText) showChosen();
    if (all || index == prop::kFont) setFont(ToQFont(control().getFont(prop::kFont)));
}

ListBoxWidget::ListBoxWidget(Control& control, QWidget* parent)
    : ControlView(control), QListWidget(parent) {
    RelayInputFrom(*this, viewport());
}

void ListBoxWidget::syncItems() {
    const auto& items = control().items();
    // Items are only ever appended or cleared: append what is new, rebuild otherwise.
    if (static_cast<size_t>(count()) > items.size()) clear();
    for (size_t i = static_cast<size_t>(count()); i < items.size(); ++i)
        addItem(ToQString(items[i]));
}

void ListBoxWidget::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all) syncItems();
    if (all || index == prop::kFont) setFont(ToQFont(control().getFont(prop::kFont)));
}

GroupBoxWidget::GroupBoxWidget(Control& control, QWidget* parent)
    : ControlView(control), QGroupBox(parent) {}

void GroupBoxWidget::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all || index == prop::kCaption) setTitle(ToQString(control().getText(prop::kCaption)));
    if (all || index == prop::kFont) setFont(ToQFont(control().getFont(prop::kFont)));
}

ShapeBoxWidget::ShapeBoxWidget(Control& control, QWidget* parent)
    : ControlView(control), QWidget(parent) {}

void ShapeBoxWidget::paintEvent(QPaintEvent*) {
    if (detached()) return;
    QPainter painter(this);
    QColor fill = ColorOrInvalid(control().get(prop::kBackColor));
    QColor border = ColorOrInvalid(control().get(prop::kForeColor));
    painter.fillRect(rect(), fill.isValid() ? fill : palette().window().color());
    painter.setPen(border.isValid() ? border : QColor(Qt::black));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

ControlView* CreateControlView(Control& control, QWidget* parent) {
    ControlView* view = nullptr;
    switch (control.type()) {
        case ControlType::TransLabel:
            view = new TransLabelWidget(control, parent);
            break;
        case ControlType::Label:
            view = new LabelWidget(control, parent);
            break;
        case ControlType::PicBox:
            view = new PicBoxWidget(control, parent);
            break;
        case ControlType::SuperBtn:
            view = new SuperButtonWidget(control, parent);
            break;
        case ControlType::SplitterBar:
            view = new SplitterBarWidget(control, parent);
            break;
        case ControlType::EditBox:
            view = new EditBoxWidget(control, parent);
            break;
        case ControlType::Button:
            view = new ButtonWidget(control, parent);
            break;
        case ControlType::CheckBox:
            view = new CheckBoxWidget(control, parent);
            break;
        case ControlType::ComboBox:
            view = new ComboBoxWidget(control, parent);
            break;
        case ControlType::ListBox:
            view = new ListBoxWidget(control, parent);
            break;
        case ControlType::GroupBox:
            view = new GroupBoxWidget(control, parent);
            break;
        case ControlType::ShapeBox:
            view = new ShapeBoxWidget(control, parent);
            break;
        default:
            return nullptr;  // Timer, CommonDlg: nothing to show
    }
    RelayInput(*view);
    return view;
}

}  // namespace ld::qt
