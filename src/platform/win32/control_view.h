// The common part of every control's window: it draws from the control model, follows each
// property change, and turns mouse input into the control's events. Each view subclasses
// its window, so the same relay serves the system's controls (EDIT, BUTTON ...) and ours.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/control.h"

namespace ld::win {

// sync() with this index brings every property up to date.
constexpr int kAllProperties = -1000;

class ControlView {
public:
    explicit ControlView(Control& control) : control_(control) {}
    virtual ~ControlView();
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    Control& control() const { return control_; }
    HWND hwnd() const { return hwnd_; }

    // Follows one property (or kAllProperties). The base handles position, size, visible
    // and disable; types override and call it for those.
    virtual void sync(int index);
    virtual void syncItems() {}

    // The model's rectangle relative to the parent, in logical pixels.
    RECT modelRect() const;
    // The window's rectangle for it: a control that draws beyond its box (a TransLabel's
    // text, a SplitterBar's grab margin) widens this.
    virtual RECT viewRect() const { return modelRect(); }
    // Where the model's origin lies inside the window (logical pixels).
    POINT modelOrigin() const;
    // A passive control (label, picture, frame) keeps a press it has a handler for; an
    // interactive one passes it on to its window after the handler has run.
    virtual bool passive() const { return false; }

    // A notification of a child control (WM_COMMAND) and the colours of a child
    // (WM_CTLCOLOR*), passed on by the parent window to the child's view.
    virtual void command(WORD) {}
    virtual HBRUSH colors(HDC) { return nullptr; }
    // The brush a container paints its client area with; children without a background
    // of their own use it.
    virtual HBRUSH backBrush() { return nullptr; }
    // The view's own messages before the window's procedure; true when handled.
    virtual bool handle(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

    // Once the model window is gone the view must not touch the control again.
    void detach() { detached_ = true; }
    bool detached() const { return detached_; }
    std::shared_ptr<const bool> alive() const { return alive_; }
    // Device pixels per 96 logical ones of the window's screen, as a DPI value.
    UINT dpi() const;

protected:
    // Takes the window over: the input relay and handle() see its messages from now on.
    void attach(HWND hwnd);
    void applyGeometry();

private:
    static LRESULT CALLBACK Relay(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    bool mouse(UINT message, WPARAM wParam, LPARAM lParam);
    void raiseSimple(int number);

    Control& control_;
    HWND hwnd_ = nullptr;
    bool detached_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The view of a window we created, or null.
ControlView* ViewOf(HWND hwnd);

// Registers our window classes once; `name` gets CS_DBLCLKS and a container's procedure,
// which passes the children's notifications and colours on to their views.
void RegisterViewClass(const wchar_t* name, UINT style = 0);
// The parent's background under a child, painted into the child's DC (a transparent look).
void PaintParentBackground(HWND child, HDC dc);
// Repaints a window and whatever lies over it and shows it through (labels, pictures).
void InvalidateWithOverlays(HWND hwnd);

// Key state bits of the program (1 Ctrl, 2 Shift, 4 Alt) as the keyboard is now.
int KeyStateNow();

// Counts gestures that took the mouse over (move loops, pop-up menus): a press whose
// handler ran one is not passed on to the window.
int GestureCount();
void CountGesture();
// The screen position of the press whose handler is running (the move loop starts there).
POINT LastPressPosition();

// Off-screen painting: everything drawn into dc() appears at once when it goes away.
class BufferedPaint {
public:
    BufferedPaint(HWND hwnd, HDC target, const RECT& area);
    ~BufferedPaint();
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    HDC dc() const { return memory_; }

private:
    HDC target_, memory_;
    HBITMAP bitmap_, old_;
    RECT area_;
};

}  // namespace ld::win
