#include "platform/qt/checkin_panel.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "platform/qt/pictures.h"
#include "platform/qt/qt_text.h"

namespace ld::qt {

namespace {

constexpr int kWidth = 360;
constexpr int kCode = 300;  // at least 280 px, so a phone at the back still reads it
constexpr int kMargin = 30;
constexpr int kThumb = 92;
const QColor kGold(0xF6, 0xD3, 0x65);

QFont PanelFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

}  // namespace

CheckinPanel::CheckinPanel(QWidget* stage) : QWidget(stage) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setCursor(Qt::ArrowCursor);
}

QRect CheckinPanel::codeArea() const { return QRect((kWidth - kCode) / 2, kMargin, kCode, kCode); }

void CheckinPanel::show(const CheckinPanelView& view) {
    view_ = view;
    photos_.clear();
    for (const Bytes& photo : view.recentPhotos) {
        photos_.push_back(DrawPictureInBox(photo, QSize(kThumb, kThumb), BoxFit::Cover, 1).image);
    }
    const int rows = photos_.empty() ? 0 : (static_cast<int>(photos_.size()) + 2) / 3;
    const bool choice = view.addresses.size() > 1;
    resize(kWidth, kMargin + kCode + 170 + (choice ? 40 : 0) + rows * (kThumb + 10) + 20);
    if (!placed_ || view.left >= 0) {
        QWidget* stage = parentWidget();
        const QPoint at = view.left >= 0 ? QPoint(view.left, view.top)
                                         : QPoint(stage->width() - kWidth - 40, 110);
        move(at);
        placed_ = true;
    }
    if (choice) {
        if (!addresses_) {
            addresses_ = new QComboBox(this);
            connect(addresses_, &QComboBox::activated, this, [this](int index) {
                if (view_.addressChosen) view_.addressChosen(index);
            });
        }
        addresses_->blockSignals(true);
        addresses_->clear();
        for (const Text& a : view.addresses) addresses_->addItem(ToQString(a));
        addresses_->setCurrentIndex(view.selectedAddress);
        addresses_->blockSignals(false);
        placeAddressChooser();
        addresses_->show();
    } else if (addresses_) {
        addresses_->hide();
    }
    QWidget::show();
    raise();
    update();
}

void CheckinPanel::placeAddressChooser() {
    addresses_->setGeometry(kMargin, kMargin + kCode + 166, kWidth - 2 * kMargin, 30);
}

void CheckinPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 16, 16);
    p.fillPath(frame, QColor(0x7A, 0x0A, 0x10, 225));
    p.setPen(QPen(kGold, 3));
    p.drawPath(frame);

    // The code on white, with the quiet zone of four modules that scanners need.
    const QRect code = codeArea();
    p.fillRect(code, Qt::white);
    if (view_.qrSize > 0) {
        const int quiet = 4, modules = view_.qrSize + 2 * quiet;
        const double cell = static_cast<double>(kCode) / modules;
        p.setRenderHint(QPainter::Antialiasing, false);
        for (int y = 0; y < view_.qrSize; ++y)
            for (int x = 0; x < view_.qrSize; ++x) {
                if (!view_.qrModules[static_cast<size_t>(y * view_.qrSize + x)]) continue;
                const QRectF module(code.left() + (x + quiet) * cell,
                                    code.top() + (y + quiet) * cell, cell, cell);
                p.fillRect(module.toAlignedRect(), Qt::black);
            }
        p.setRenderHint(QPainter::Antialiasing);
    }

    int y = code.bottom() + 12;
    p.setPen(Qt::white);
    // Two lines: the address with its long token does not fit one at a readable size.
    p.setFont(PanelFont(15, false));
    p.drawText(QRect(16, y, kWidth - 32, 44), Qt::AlignCenter | Qt::TextWrapAnywhere,
               ToQString(view_.url));
    y += 50;
    p.setPen(kGold);
    p.setFont(PanelFont(30, true));
    p.drawText(QRect(0, y, kWidth, 44), Qt::AlignCenter, QStringLiteral("扫码签到，参加抽奖"));
    y += 50;
    p.setPen(Qt::white);
    p.setFont(PanelFont(24, true));
    p.drawText(QRect(0, y, kWidth, 34), Qt::AlignCenter,
               QStringLiteral("已签到 %1 人").arg(view_.count));
    y += 44 + (addresses_ && addresses_->isVisible() ? 40 : 0);

    for (size_t i = 0; i < photos_.size(); ++i) {
        const int column = static_cast<int>(i % 3), row = static_cast<int>(i / 3);
        const QRect box((kWidth - 3 * kThumb - 20) / 2 + column * (kThumb + 10),
                        y + row * (kThumb + 10), kThumb, kThumb);
        p.drawImage(box, photos_[i]);
        p.setPen(QPen(kGold, 2));
        p.drawRect(box);
    }
}

// Ctrl + drag moves the panel, as it moves the other elements of the stage.
void CheckinPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || event->modifiers() != Qt::ControlModifier) {
        event->ignore();
        return;
    }
    dragging_ = true;
    dragOffset_ = event->position().toPoint();
}

void CheckinPanel::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return event->ignore();
    move(mapToParent(event->position().toPoint()) - dragOffset_);
}

void CheckinPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_) return event->ignore();
    dragging_ = false;
    if (view_.moved) view_.moved(x(), y());
}

}  // namespace ld::qt
