// The full-screen check-in view: a child of the stage over its whole area, drawn from
// ui/checkin_screen_layout. It takes the keyboard focus while shown, so that Escape is its;
// a right press on it opens the menu that closes it.
#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/gui.h"

namespace ld::qt {

class CheckinScreen : public QWidget {
public:
    explicit CheckinScreen(QWidget* stage);

    void show(const CheckinScreenView& view);
    void dismiss();

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CheckinScreenView view_;
    QPointer<QWidget> focusBefore_;
};

}  // namespace ld::qt
