// The flat control style: thin single-colour frames, no bevels, on top of the ordinary
// style. A style rather than a style sheet: a style sheet would put the parents' fonts over
// the fonts the controls were given.
#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include "platform/qt/qt_gui.h"
#include "platform/qt/qt_setup.h"

namespace ld::qt {

namespace {

class FlatStyle : public QProxyStyle {
public:
    FlatStyle(const QString& base, int variant)
        : QProxyStyle(QStyleFactory::create(base)),
          frame_(variant == 1   ? 0x8c8c8c
                 : variant == 2 ? 0x5b7db1
                                : 0x404040) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const bool enabled = option->state & State_Enabled;
        const QRect r = option->rect.adjusted(0, 0, -1, -1);
        switch (element) {
            case PE_PanelButtonCommand:
            case PE_PanelButtonBevel: {
                const bool down = option->state & (State_Sunken | State_On);
                const bool hover = option->state & State_MouseOver;
                QColor fill = !enabled ? QColor(0xf0f0f0)
                              : down   ? QColor(0xd4dcea)
                              : hover  ? QColor(0xe6eef8)
                                       : QColor(0xf4f4f4);
                painter->fillRect(option->rect, fill);
                frame(painter, r, enabled);
                return;
            }
            case PE_PanelLineEdit:
                painter->fillRect(option->rect, option->palette.base());
                frame(painter, r, enabled);
                return;
            case PE_FrameLineEdit:
            case PE_Frame:
            case PE_FrameGroupBox:
                frame(painter, r, enabled);
                return;
            case PE_IndicatorCheckBox: {
                painter->fillRect(option->rect, enabled ? Qt::white : QColor(0xf0f0f0));
                frame(painter, r, enabled);
                if (option->state & State_On) {
                    painter->setRenderHint(QPainter::Antialiasing);
                    painter->setPen(QPen(QColor(frame_), 2));
                    const QRectF c = QRectF(option->rect).adjusted(3, 3, -3, -3);
                    painter->drawPolyline(QPolygonF{{c.left(), c.center().y()},
                                                    {c.center().x() - 1, c.bottom()},
                                                    {c.right(), c.top()}});
                }
                return;
            }
            default:
                QProxyStyle::drawPrimitive(element, option, painter, widget);
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        if (control != CC_ComboBox)
            return QProxyStyle::drawComplexControl(control, option, painter, widget);
        const bool enabled = option->state & State_Enabled;
        painter->fillRect(option->rect, enabled ? option->palette.base() : QColor(0xf0f0f0));
        frame(painter, option->rect.adjusted(0, 0, -1, -1), enabled);
        QRect arrow = subControlRect(CC_ComboBox, option, SC_ComboBoxArrow, widget);
        painter->setPen(QColor(frame_));
        painter->drawLine(arrow.topLeft(), arrow.bottomLeft());
        QPointF c = QRectF(arrow).center();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(frame_));
        painter->drawPolygon(QPolygonF{c + QPointF(-4, -2), c + QPointF(4, -2), c + QPointF(0, 3)});
    }

private:
    void frame(QPainter* painter, const QRect& r, bool enabled) const {
        painter->setPen(enabled ? QColor(frame_) : QColor(0xc8c8c8));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r);
    }

    QRgb frame_;
};

QString& BaseStyleName() {
    static QString name;
    return name;
}

}  // namespace

void SetFlatControlStyle(int style) {
    // QApplication::setStyle re-styles every widget there is and every one made later.
    if (BaseStyleName().isEmpty()) BaseStyleName() = QApplication::style()->name();
    if (style <= 0)
        QApplication::setStyle(QStyleFactory::create(BaseStyleName()));
    else
        QApplication::setStyle(new FlatStyle(BaseStyleName(), std::min(style, 3)));
}

void QtGui::setFlatControlStyle(int style) { SetFlatControlStyle(style); }

}  // namespace ld::qt
