#include "platform/qt/checkin_screen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "platform/qt/batch_grid.h"
#include "platform/qt/qt_text.h"
#include "ui/checkin_screen_layout.h"

namespace ld::qt {

namespace {

const QColor kGold(0xF6, 0xD3, 0x65);
const QColor kCardRed(0x7A, 0x0A, 0x10);

QFont ScreenFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

}  // namespace

CheckinScreen::CheckinScreen(QWidget* stage) : QWidget(stage) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    hide();
}

void CheckinScreen::show(const CheckinScreenView& view) {
    view_ = view;
    setGeometry(parentWidget()->rect());
    if (isHidden()) {
        focusBefore_ = QApplication::focusWidget();
        QWidget::show();
    }
    raise();
    setFocus(Qt::OtherFocusReason);
    update();
}

void CheckinScreen::dismiss() {
    if (isHidden()) return;
    hide();
    // The stage's focus goes back where it was (the start button, as a rule).
    if (focusBefore_ && focusBefore_->window() == window()) focusBefore_->setFocus();
    focusBefore_ = nullptr;
}

void CheckinScreen::keyPressEvent(QKeyEvent* event) {
    // Escape is the view's, and only that: the stage never sees it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (auto escape = view_.escape) escape();
        return;
    }
    event->ignore();
}

void CheckinScreen::mousePressEvent(QMouseEvent* event) {
    // The controls under the view are out of reach; a right press offers the menu.
    if (event->button() == Qt::RightButton && view_.menu) {
        auto menu = view_.menu;  // a copy: the menu may close the view
        menu();
    }
}

void CheckinScreen::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kCardRed);
    const CheckinScreenLayout l = LayOutCheckinScreen({width(), height()}, view_.qrSize);

    p.setPen(kGold);
    p.setFont(ScreenFont(l.captionPixels, true));
    p.drawText(ToQRect(l.caption), Qt::AlignCenter, QStringLiteral("扫码签到，参加抽奖"));

    // The code on white with its quiet zone; whole pixels per module, sharp edges.
    const QRect code = ToQRect(l.code);
    p.fillRect(code, Qt::white);
    const int size = view_.qrSize, cell = l.modulePixels;
    if (size > 0 && view_.qrModules.size() >= static_cast<size_t>(size * size)) {
        const int left = code.left() + (code.width() - cell * size) / 2;
        const int top = code.top() + (code.height() - cell * size) / 2;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (view_.qrModules[static_cast<size_t>(y * size + x)])
                    p.fillRect(left + x * cell, top + y * cell, cell, cell, Qt::black);
    }

    p.setPen(Qt::white);
    p.setFont(ScreenFont(l.addressPixels, true));
    p.drawText(ToQRect(l.address), Qt::AlignCenter, ToQString(view_.url));

    p.setPen(kGold);
    p.setFont(ScreenFont(l.countPixels, true));
    p.drawText(ToQRect(l.count), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("已签到 %1 人").arg(view_.count));

    p.setPen(Qt::white);
    const QFont nameFont = ScreenFont(l.namePixels, false);
    p.setFont(nameFont);
    const QFontMetrics metrics(nameFont);
    const int lines = std::min(l.nameLines, static_cast<int>(view_.latestNames.size()));
    for (int i = 0; i < lines; ++i) {
        const QRect line(l.names.left, l.names.top + i * l.nameLineHeight, l.names.width,
                         l.nameLineHeight);
        const QString name = ToQString(view_.latestNames[static_cast<size_t>(i)]);
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(name, Qt::ElideRight, line.width()));
    }
}

}  // namespace ld::qt
