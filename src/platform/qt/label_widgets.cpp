#include <QFontMetrics>
#include <QPainter>

#include "platform/qt/qt_text.h"
#include "platform/qt/widgets.h"

namespace ld::qt {

namespace {
constexpr int kCentredWord = 2;
}

TransLabelWidget::TransLabelWidget(Control& control, QWidget* parent)
    : ControlView(control), QWidget(parent) {
    // No background of its own: the window's picture shows around the letters.
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

int TransLabelWidget::alignment() const {
    bool centred = control().getInt(prop::kAlignWord) == kCentredWord;
    return (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop | Qt::TextExpandTabs;
}

QRect TransLabelWidget::textRect() const {
    QString text = ToQLines(control().getText(prop::kText));
    if (text.isEmpty()) return {};
    QFontMetrics metrics(ToQFont(control().getFont(prop::kTransFont)));
    QRect box(0, 0, std::max(0, control().width()), std::max(0, control().height()));
    return metrics.boundingRect(box, alignment(), text);
}

QRect TransLabelWidget::viewRect() const {
    QRect text = textRect();
    QRect model = modelRect();
    return text.isEmpty() ? model : model.united(text.translated(model.topLeft()));
}

void TransLabelWidget::sync(int index) {
    ControlView::sync(index);
    if (index == kAllProperties || index == prop::kText || index == prop::kTransFont ||
        index == prop::kAlignWord || index == prop::kWidth || index == prop::kHeight) {
        applyGeometry();  // the text may reach further than before
        update();
    } else if (index == prop::kTextColor) {
        update();
    }
}

void TransLabelWidget::paintEvent(QPaintEvent*) {
    if (detached()) return;
    QString text = ToQLines(control().getText(prop::kText));
    if (text.isEmpty()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(ToQFont(control().getFont(prop::kTransFont)));
    QColor color = ColorOrInvalid(control().get(prop::kTextColor));
    painter.setPen(color.isValid() ? color : QColor(Qt::black));
    QRect box(modelOrigin(),
              QSize(std::max(0, control().width()), std::max(0, control().height())));
    painter.drawText(box, alignment() | Qt::TextDontClip, text);
}

LabelWidget::LabelWidget(Control& control, QWidget* parent) : ControlView(control), QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // No word wrap: with fonts a little wider than the Windows ones a wrapped tail would
    // land on a line below the label's height; a clipped end reads better.
    setWordWrap(false);
}

void LabelWidget::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all || index == prop::kText) setText(ToQLines(control().getText(prop::kText)));
    if (all || index == prop::kLabelFont) setFont(ToQFont(control().getFont(prop::kLabelFont)));
    if (all || index == prop::kForeColor || index == prop::kBackColor) {
        QPalette p = palette();
        QColor fore = ColorOrInvalid(control().get(prop::kForeColor));
        QColor back = ColorOrInvalid(control().get(prop::kBackColor));
        if (fore.isValid()) p.setColor(QPalette::WindowText, fore);
        if (back.isValid()) p.setColor(QPalette::Window, back);
        setPalette(p);
        setAutoFillBackground(back.isValid());
    }
}

}  // namespace ld::qt
