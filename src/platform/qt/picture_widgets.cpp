#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "platform/qt/qt_text.h"
#include "platform/qt/widgets.h"

namespace ld::qt {

PicBoxWidget::PicBoxWidget(Control& control, QWidget* parent)
    : ControlView(control), QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void PicBoxWidget::sync(int index) {
    ControlView::sync(index);
    if (index == kAllProperties || index == prop::kPicture || index == prop::kDisplayMode) {
        // Decoded when drawn: a roll replaces the picture faster than the screen shows it,
        // and a picture that is never shown is never decoded.
        ++generation_;
        update();
    }
}

const DrawnPicture& PicBoxWidget::drawn() {
    const qreal ratio = devicePixelRatioF();
    if (decodedGeneration_ != generation_ || decodedSize_ != size() || decodedRatio_ != ratio) {
        int mode = control().getInt(prop::kDisplayMode);
        BoxFit fit = mode == 1   ? BoxFit::Stretch
                     : mode == 2 ? BoxFit::ShrinkToFit
                                 : BoxFit::Natural;
        Text bytes = control().getText(prop::kPicture);
        drawn_ = bytes.empty() ? DrawnPicture{} : DrawPictureInBox(bytes, size(), fit, ratio);
        decodedGeneration_ = generation_;
        decodedSize_ = size();
        decodedRatio_ = ratio;
    }
    return drawn_;
}

void PicBoxWidget::paintEvent(QPaintEvent*) {
    if (detached() || width() <= 0 || height() <= 0) return;
    const DrawnPicture& picture = drawn();
    if (picture.isNull()) return;
    QPainter painter(this);
    painter.drawImage(picture.target, picture.image);
}

SuperButtonWidget::SuperButtonWidget(Control& control, QWidget* parent)
    : ControlView(control), QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    // Qt's button already clicks on the space bar while it has the focus.
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (!detached()) this->control().raise(ev::kClicked);
    });
}

void SuperButtonWidget::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all || index == prop::kFacePicture) {
        face_ = DecodeWhole(control().getText(prop::kFacePicture));
        faceScaled_ = {};
    }
    if (all || index == prop::kFont) setFont(ToQFont(control().getFont(prop::kFont)));
    if (all || index == prop::kTooltip) setToolTip(ToQLines(control().getText(prop::kTooltip)));
    if (all || index == prop::kSuperCaption)
        setText(ToQString(control().getText(prop::kSuperCaption)));
    update();
}

void SuperButtonWidget::resizeEvent(QResizeEvent*) {
    faceScaled_ = {};
    updateMask();
}

void SuperButtonWidget::updateMask() {
    // A rounded rectangle one pixel larger than the button, corner ellipses 30 x 30.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, width() + 1, height() + 1), 15, 15);
    setMask(QRegion(outline.toFillPolygon().toPolygon()));
}

void SuperButtonWidget::paintEvent(QPaintEvent*) {
    if (detached() || width() <= 0 || height() <= 0) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(size()) * ratio).toSize();
    if (!face_.isNull() && faceScaled_.size() != device) {
        faceScaled_ = face_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        faceScaled_.setDevicePixelRatio(ratio);
    }
    QRect area = rect();
    if (isDown()) area.translate(1, 1);
    if (faceScaled_.isNull()) {
        painter.fillRect(rect(), palette().button());
    } else if (isEnabled()) {
        painter.drawImage(area.topLeft(), faceScaled_);
    } else {
        // Disabled: the face in grey, so a locked button is plain to see.
        painter.drawImage(area.topLeft(), faceScaled_.convertToFormat(QImage::Format_Grayscale8));
    }
    if (underMouse() && isEnabled() && !isDown())
        painter.fillRect(rect(), QColor(255, 255, 255, 28));
    QColor textColor = ColorOrInvalid(control().get(prop::kForeColor));
    if (!textColor.isValid()) textColor = Qt::black;
    painter.setPen(isEnabled() ? textColor : QColor(110, 110, 110));
    painter.drawText(area, Qt::AlignCenter, text());
}

SplitterBarWidget::SplitterBarWidget(Control& control, QWidget* parent)
    : ControlView(control), QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

bool SplitterBarWidget::vertical() const { return control().getBool(prop::kVertical); }

int SplitterBarWidget::position() const { return vertical() ? control().left() : control().top(); }

namespace {
// A one-pixel bar is hard to hit: the widget reaches this far beyond it on both sides.
constexpr int kGrabMargin = 3;
}  // namespace

QRect SplitterBarWidget::viewRect() const {
    QRect r = modelRect();
    return vertical() ? r.adjusted(-kGrabMargin, 0, kGrabMargin, 0)
                      : r.adjusted(0, -kGrabMargin, 0, kGrabMargin);
}

void SplitterBarWidget::sync(int index) {
    ControlView::sync(index);
    if (index == kAllProperties || index == prop::kVertical)
        setCursor(vertical() ? Qt::SplitHCursor : Qt::SplitVCursor);
    if (index == kAllProperties || index == prop::kVertical) applyGeometry();
    update();
}

void SplitterBarWidget::paintEvent(QPaintEvent*) {
    if (detached()) return;
    QColor color = ColorOrInvalid(control().get(prop::kBackColor));
    QPainter painter(this);
    painter.fillRect(QRect(modelOrigin(), modelRect().size()), color.isValid() ? color : Qt::gray);
}

int SplitterBarWidget::dragOffset(QPointF global) const {
    QPointF d = global - dragStart_;
    return static_cast<int>(std::lround(vertical() ? d.x() : d.y()));
}

void SplitterBarWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    dragging_ = true;
    dragStart_ = event->globalPosition();
}

void SplitterBarWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    // Only the widget moves while dragging; the model learns the drop.
    int d = dragOffset(event->globalPosition());
    QRect r = viewRect();
    move(vertical() ? r.topLeft() + QPoint(d, 0) : r.topLeft() + QPoint(0, d));
}

void SplitterBarWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    const int oldPos = position();
    const int newPos = oldPos + dragOffset(event->globalPosition());
    if (newPos == oldPos || detached()) return applyGeometry();
    if (vertical())
        control().setLeft(newPos);
    else
        control().setTop(newPos);
    EventArgs args;
    args.oldPos = oldPos;
    args.newPos = newPos;
    control().raise(ev::kPositionChanged, args);
}

}  // namespace ld::qt
