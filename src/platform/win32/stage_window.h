// The top-level window of a model window: border, caption, icon, background colour and
// picture, its controls' windows, and the window events (activation, close request).
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/win32/control_view.h"
#include "platform/win32/pictures.h"
#include "ui/gui.h"
#include "ui/window.h"

namespace ld::win {

class StageWindow : public ControlView, private ModelObserver {
public:
    // `owner` is the stage of the model window's parent window, if any. `onStage`: the
    // window belongs on the stage's screen (the stage itself and what it owns).
    StageWindow(Window& window, StageWindow* owner, bool onStage);
    ~StageWindow() override;

    Window& window() const { return window_; }
    void sync(int index) override;
    ControlView* viewOf(const Control& control) const;

    // An owned frameless window (the celebration): shown without taking activation, and
    // it never takes the keyboard.
    bool overlay() const { return overlay_; }
    bool onStage() const { return onStage_; }
    // Places the window again, on the screen it belongs on now.
    void relayout() { scheduleLayout(); }
    // The first show, once start-up has laid the window out.
    void showFirstTime();
    // The model window is gone: stop drawing from it and hide. The window itself goes
    // when the host deletes this object, after the handler that closed it has returned.
    void detachFromModel();
    // Plays one of the firework animations (1..3) over the whole window.
    void playAnimation(int animation);
    // A red warning in the top right corner, above the controls; empty text removes it.
    void setNotice(const std::wstring& text);
    bool handle(UINT, WPARAM, LPARAM, LRESULT&) override;

private:
    void build();
    void propertyChanged(Control& control, int index) override;
    void itemsChanged(Control& control) override;
    void scheduleLayout();
    void applyLayout();
    void takeGeometryFromSystem();
    void raiseWindowEvent(int number);
    void activated(bool nowActive);
    void paintBackground(HDC dc);
    void placeNotice();

    Window& window_;
    std::map<const Control*, std::unique_ptr<ControlView>> views_;
    bool overlay_ = false;
    bool onStage_ = true;
    bool shown_ = false;
    bool layoutPending_ = false;
    bool applying_ = false;
    bool maximised_ = false;
    bool active_ = false, everActive_ = false;
    HWND lastFocus_ = nullptr;
    int pictureGeneration_ = 0, paintedGeneration_ = -1;
    SIZE paintedSize_{};
    DrawnPicture background_;
    HWND animation_ = nullptr;
    HWND notice_ = nullptr;
    std::wstring noticeText_;
};

}  // namespace ld::win
