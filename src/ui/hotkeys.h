// Hot keys: a key that, while registered for a window, raises the notification event of a
// target control. The host registers nothing with the system: it asks `dispatchHotKey`
// for every key press that reaches the application while one of our windows is active.
#pragma once

#include "ui/window.h"

namespace ld {

constexpr int kVirtualKeyEnter = 13;
constexpr int kVirtualKeySpace = 32;

// Returns the identifier (from 0x80E9 upward, never reused), 0 on failure.
int AddHotKey(Window& window, Control& target, int modifiers, int virtualKey);
void RemoveHotKey(Window& window, int id);
// Removes every hot key of a window that goes away.
void RemoveHotKeysOf(Window& window);
// Raises the notification of the target registered for this key; false when none is.
bool DispatchHotKey(int modifiers, int virtualKey);
bool HasHotKey(int modifiers, int virtualKey);

}  // namespace ld
