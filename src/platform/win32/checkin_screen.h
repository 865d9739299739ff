// The full-screen check-in view: a child of the stage over its whole client area, drawn from
// ui/checkin_screen_layout. It takes the keyboard focus while shown, so that Escape is its;
// a right press on it opens the menu that closes it.
#pragma once

#include <windows.h>

#include "ui/gui.h"

namespace ld::win {

// The stage window's view, made on first use; it goes with the stage's window.
void ShowCheckinScreen(HWND stage, UINT dpi, const CheckinScreenView& view);
void HideCheckinScreen(HWND stage);
// Keeps the view above the stage's other cards (the panel raises itself when updated).
void KeepCheckinScreenOnTop(HWND stage);
// The stage's size changed (窗口模式 from the console): the view fills it again.
void FitCheckinScreen(HWND stage);

}  // namespace ld::win
