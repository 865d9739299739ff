#include "platform/qt/stage_seal.h"

#include <QPainter>

#include "platform/qt/batch_grid.h"
#include "platform/qt/qt_text.h"

namespace ld::qt {

namespace {

QFont SealFont(int pixels) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixels);
    return font;
}

}  // namespace

StageSeal::StageSeal(QWidget* stage) : QWidget(stage) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void StageSeal::setText(const Text& text) {
    lines_ = StageSealLines(text);
    place();
    update();
}

void StageSeal::place() {
    const QSize stage = parentWidget()->size();
    layout_ = LayOutStageSeal(
        {stage.width(), stage.height()}, lines_, [](std::string_view line, int pixels) {
            return QFontMetrics(SealFont(pixels)).horizontalAdvance(ToQString(Text(line)));
        });
    setGeometry(ToQRect(layout_.band));
}

void StageSeal::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, 190));
    const QFont font = SealFont(layout_.textPixels);
    p.setFont(font);
    p.setPen(Qt::white);
    const QFontMetrics metrics(font);
    for (size_t i = 0; i < lines_.size(); ++i) {
        const QRect box = ToQRect(layout_.line(static_cast<int>(i)))
                              .translated(-layout_.band.left, -layout_.band.top);
        p.drawText(box, Qt::AlignCenter,
                   metrics.elidedText(ToQString(lines_[i]), Qt::ElideRight, box.width()));
    }
}

}  // namespace ld::qt
