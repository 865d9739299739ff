// Hot keys: a key press that reaches the program while one of its windows is active runs the
// hot key registered for it (Enter starts and stops the draw). Modal dialogs run loops of
// their own and keep their keys; an open drop-down list and text fields keep theirs too.
// With presenter clickers on, their keys do what Enter does.
#pragma once

#include <windows.h>

#include <functional>

namespace ld::win {

class WinEventLoop;

// Puts the filter in front of every message the program's own loops dispatch. `ours` tells
// whether a window handle belongs to one of the program's windows.
void InstallKeyFilter(WinEventLoop& loop, std::function<bool(HWND)> ours);

// Whether a key press message goes to the hot keys (true: taken, not dispatched).
bool FilterKeyMessage(const MSG& msg);

// Page Down, Page Up and B: what presenter clickers send for "next" and "blank".
void SetClickerKeys(bool on);

// The keyboard went to another program: the releases of held keys never come here.
void ForgetHeldKeys();

// Whether the keyboard is free for hot keys: no text field and no open list has it.
bool KeyboardIsFree();

}  // namespace ld::win
