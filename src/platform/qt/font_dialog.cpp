#include "platform/qt/font_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "platform/qt/dialogs.h"
#include "platform/qt/qt_text.h"

namespace ld::qt {

namespace {
QString Utf8(const char* text) { return QString::fromUtf8(text); }
}  // namespace

FontColorDialog::FontColorDialog(const FontChoice& initial, QWidget* parent)
    : QDialog(parent), initial_(initial), color_(ToQColor(initial.color)) {
    setWindowTitle(Utf8("字体"));
    setWindowModality(Qt::ApplicationModal);
    family_ = new QFontComboBox;
    if (!initial.face.empty()) family_->setCurrentFont(QFont(ToQString(initial.face)));
    size_ = new QSpinBox;
    size_->setRange(1, 400);
    size_->setValue(initial.points > 0 ? static_cast<int>(std::lround(initial.points)) : 12);
    bold_ = new QCheckBox(Utf8("粗体"));
    italic_ = new QCheckBox(Utf8("斜体"));
    underline_ = new QCheckBox(Utf8("下划线"));
    strikeOut_ = new QCheckBox(Utf8("删除线"));
    bold_->setChecked(initial.bold);
    italic_->setChecked(initial.italic);
    underline_->setChecked(initial.underline);
    strikeOut_->setChecked(initial.strikeOut);
    colorButton_ = new QPushButton(Utf8("颜色..."));
    preview_ = new QLabel(Utf8("示例 AaBbYyZz"));
    preview_->setMinimumSize(320, 90);
    preview_->setAlignment(Qt::AlignCenter);

    auto* styles = new QHBoxLayout;
    for (QCheckBox* box : {bold_, italic_, underline_, strikeOut_}) styles->addWidget(box);
    auto* form = new QFormLayout;
    form->addRow(Utf8("字体(&F):"), family_);
    form->addRow(Utf8("大小(&S):"), size_);
    form->addRow(Utf8("效果:"), styles);
    form->addRow(Utf8("颜色(&C):"), colorButton_);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(Utf8("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(Utf8("取消"), QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(preview_);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(colorButton_, &QPushButton::clicked, this, [this] {
        QColor c = QColorDialog::getColor(color_, this, Utf8("颜色"));
        if (c.isValid()) setColor(c);
    });
    connect(family_, &QFontComboBox::currentFontChanged, this, [this] {
        familyChosen_ = true;
        updatePreview();
    });
    connect(size_, &QSpinBox::valueChanged, this, [this] { updatePreview(); });
    for (QCheckBox* box : {bold_, italic_, underline_, strikeOut_})
        connect(box, &QCheckBox::toggled, this, [this] { updatePreview(); });
    updatePreview();
}

void FontColorDialog::setColor(const QColor& color) {
    color_ = color;
    updatePreview();
}

void FontColorDialog::updatePreview() {
    FontValue value;
    value.face = FromQString(family_->currentFont().family());
    value.points = size_->value();
    value.bold = bold_->isChecked();
    value.italic = italic_->isChecked();
    value.underline = underline_->isChecked();
    value.strikeOut = strikeOut_->isChecked();
    preview_->setFont(ToQFont(value));
    QPalette palette = preview_->palette();
    palette.setColor(QPalette::WindowText, color_);
    preview_->setPalette(palette);
    QPixmap swatch(28, 14);
    swatch.fill(color_);
    colorButton_->setIcon(QIcon(swatch));
}

FontChoice FontColorDialog::choice() const {
    FontChoice c;
    // A face this machine lacks (宋体 from a Windows configuration) is shown through its
    // substitute but kept by name unless the operator picks another one.
    c.face = familyChosen_ || initial_.face.empty() ? FromQString(family_->currentFont().family())
                                                    : initial_.face;
    c.points = size_->value();
    c.bold = bold_->isChecked();
    c.italic = italic_->isChecked();
    c.underline = underline_->isChecked();
    c.strikeOut = strikeOut_->isChecked();
    c.color = FromQColor(color_);
    return c;
}

bool FontColorDialog::choose(FontChoice& font) {
    QPointer<FontColorDialog> dialog(new FontColorDialog(font, DialogOwner()));
    const bool accepted = dialog->exec() == QDialog::Accepted && dialog;
    if (accepted) font = dialog->choice();
    delete dialog.data();
    return accepted;
}

}  // namespace ld::qt
