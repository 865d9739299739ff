// The check-in panel on the stage: the code phones scan on a white quiet zone, the address
// in plain text, the caption, the count and the latest six photos. A child of the stage,
// moved with Ctrl + drag like the other elements.
#pragma once

#include <QImage>
#include <QWidget>

#include "ui/gui.h"

class QComboBox;

namespace ld::qt {

class CheckinPanel : public QWidget {
public:
    explicit CheckinPanel(QWidget* stage);

    void show(const CheckinPanelView& view);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect codeArea() const;
    void placeAddressChooser();

    CheckinPanelView view_;
    std::vector<QImage> photos_;
    QComboBox* addresses_ = nullptr;
    QPoint dragOffset_;
    bool dragging_ = false;
    bool placed_ = false;
};

}  // namespace ld::qt
