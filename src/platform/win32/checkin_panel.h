// The check-in panel on the stage: the code to scan with the address under it, the count of
// guests checked in, the latest photos, and a chooser when there are several addresses.
// Ctrl + drag moves it, as it moves the other elements of the stage.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/win32/pictures.h"
#include "ui/gui.h"

namespace ld::win {

class CheckinPanel {
public:
    explicit CheckinPanel(HWND stage);
    ~CheckinPanel();
    CheckinPanel(const CheckinPanel&) = delete;
    CheckinPanel& operator=(const CheckinPanel&) = delete;

    void show(const CheckinPanelView& view, UINT dpi);
    void hide() { ShowWindow(hwnd_, SW_HIDE); }
    HWND hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void paint(HDC dc);
    void paintCode(HDC dc, const RECT& code);
    void showAddresses();
    RECT logical(int left, int top, int width, int height) const;

    HWND stage_;
    HWND hwnd_ = nullptr;
    HWND addresses_ = nullptr;
    UINT dpi_ = 96;
    CheckinPanelView view_;
    std::vector<DrawnPicture> photos_;
    bool placed_ = false;
    bool dragging_ = false;
    POINT dragFrom_{};  // the cursor's screen position at the press
    POINT startAt_{};   // the panel's logical position then
    POINT at_{};        // logical position on the stage
};

// The stage window's panel, made on first use; it goes with the stage's window.
void ShowCheckinPanel(HWND stage, UINT dpi, const CheckinPanelView& view);
void HideCheckinPanel(HWND stage);
CheckinPanel* CheckinPanelOf(HWND stage);

}  // namespace ld::win
