// The common part of every control's widget: it draws from the control model, follows each
// property change, and turns mouse input into the control's events.
#pragma once

#include <memory>

#include <QObject>
#include <QPoint>
#include <QRect>

#include "ui/control.h"

class QWidget;

namespace ld::qt {

// sync() with this index brings every property up to date.
constexpr int kAllProperties = -1000;

class ControlView {
public:
    explicit ControlView(Control& control) : control_(control) {}
    // The widget's own destructor runs after this one and may still send it focus events:
    // the relay checks `alive()` before it touches the view.
    virtual ~ControlView() { *alive_ = false; }
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    Control& control() const { return control_; }
    virtual QWidget* widget() = 0;

    // Follows one property (or kAllProperties). The base handles position, size, visible
    // and disable; types override and call it for those.
    virtual void sync(int index);
    virtual void syncItems() {}

    // The model's rectangle, relative to the parent.
    QRect modelRect() const;
    // The widget's rectangle for it: a control that draws beyond its box (a TransLabel's
    // text, a SplitterBar's grab margin) widens this.
    virtual QRect viewRect() const { return modelRect(); }
    // Where the model's origin lies inside the widget (mouse coordinates count from it).
    QPoint modelOrigin() const { return modelRect().topLeft() - viewRect().topLeft(); }
    // A passive control (label, picture, frame) keeps a press it has a handler for; an
    // interactive one passes it on to its widget after the handler has run.
    virtual bool passive() const { return false; }

    // Once the model window is gone the view must not touch the control again.
    void detach() { detached_ = true; }
    bool detached() const { return detached_; }
    std::shared_ptr<const bool> alive() const { return alive_; }

protected:
    void applyGeometry();

private:
    Control& control_;
    bool detached_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Raises the control's mouse and focus events from its widget (and the widget's inner
// parts, such as a list's viewport). Install once per view.
void RelayInput(ControlView& view);
// Another part of a view's widget that receives input itself (a viewport, say).
void RelayInputFrom(ControlView& view, QObject* part);

// Key state bits of the program (1 Ctrl, 2 Shift, 4 Alt) for Qt's modifiers.
int KeyStateOf(Qt::KeyboardModifiers modifiers);

// Counts gestures that took the mouse over (move loops, pop-up menus): a press whose
// handler ran one is not passed on to the widget.
int GestureCount();
void CountGesture();
// The global position of the press whose handler is running (the move loop starts there).
QPointF LastPressPosition();

}  // namespace ld::qt
