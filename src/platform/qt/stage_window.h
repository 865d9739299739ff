// The top-level widget of a model window: border, caption, icon, background colour and
// picture, its controls' widgets, and the window events (activation, close request).
#pragma once

#include <QImage>
#include <QLabel>
#include <QWidget>
#include <map>

#include "platform/qt/control_view.h"
#include "ui/gui.h"
#include "ui/window.h"

namespace ld::qt {

class BatchGrid;

class StageWindow : public ControlView, private ModelObserver, public QWidget {
public:
    // `owner` is the stage of the model window's parent window, if any. `onStage`: the
    // window belongs on the stage's screen (the stage itself and what it owns); the others
    // go where the operator is.
    StageWindow(Window& window, StageWindow* owner, bool onStage = true);
    ~StageWindow() override;

    Window& window() const { return window_; }
    QWidget* widget() override { return this; }
    void sync(int index) override;
    ControlView* viewOf(const Control& control) const;

    // An owned frameless window (the celebration): shown without taking activation, and
    // it never takes the keyboard.
    bool overlay() const { return overlay_; }
    bool onStage() const { return onStage_; }
    // Places the window again, on the screen it belongs on now.
    void relayout() { scheduleLayout(); }
    // The first show, once the created event has laid the window out.
    void showFirstTime();
    // The model window is gone: stop drawing from it and go away.
    void detachFromModel();
    // Plays one of the firework animations (1..3) over the whole window.
    void playAnimation(int animation);
    // A red warning in the top right corner, above the controls; empty text removes it.
    void setNotice(const QString& text);
    // The verified draw's band in the top right corner, above the controls and below the
    // check-in view; empty text removes it.
    void setSeal(const Text& text);
    // The check-in panel, made on first use.
    void showCheckinPanel(const CheckinPanelView& view);
    void hideCheckinPanel();
    void showCheckinScreen(const CheckinScreenView& view);
    void hideCheckinScreen();
    // The batch draw's grid, made on first use; null until then.
    void showBatchGrid(const BatchGridView& view);
    void hideBatchGrid();
    BatchGrid* batchGrid() const { return batch_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    void propertyChanged(Control& control, int index) override;
    void syncPanel(ControlView& view, int index);
    // Puts each open settings panel back on top, and where it belongs now.
    void raisePanels();
    void itemsChanged(Control& control) override;
    void scheduleLayout();
    void applyLayout();
    void applyFlags();
    void takeGeometryFromSystem();
    void raiseWindowEvent(int number);

    Window& window_;
    std::map<const Control*, ControlView*> views_;
    bool overlay_ = false;
    bool onStage_ = true;
    QPoint origin_;  // the desktop position of the model's (0, 0) at the last layout
    bool shown_ = false;
    bool layoutPending_ = false;
    bool applying_ = false;
    bool active_ = false, everActive_ = false;
    int pictureGeneration_ = 0, paintedGeneration_ = -1;
    QSize paintedSize_;
    QImage background_;
    QRectF backgroundTarget_;
    QWidget* animation_ = nullptr;
    QLabel* notice_ = nullptr;
    class CheckinPanel* checkin_ = nullptr;
    class CheckinScreen* checkinScreen_ = nullptr;
    BatchGrid* batch_ = nullptr;
    class StageSeal* seal_ = nullptr;
    void placeNotice();
    // The band above what was just raised, and what belongs above the band over it again.
    void raiseSeal();
};

}  // namespace ld::qt
