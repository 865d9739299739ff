// The pop-up menu of a window, built from its menu items: the host only draws the entries
// and reports the command chosen.
#pragma once

#include <vector>

#include "ui/gui.h"

namespace ld {

constexpr int kFirstMenuCommand = 20000;

// The entries shown for the item at `root`: the items after it while their level is deeper
// than its level. An item followed by a deeper one becomes a submenu of those deeper items;
// hidden items are left out with everything under them; disabled items are greyed, checked
// ones marked, a caption "-" is a separator, a shortcut is shown as text. Every item that
// can be chosen gets a command number, from 20000 upward in menu order.
std::vector<PopupEntry> BuildPopupMenu(const std::vector<MenuItem>& items, size_t root);

// Shows the pop-up menu of the window's item `root` (the first item is the root of the draw
// screen's menu) and runs the handler of the chosen item, if it has one.
void RunPopupMenu(Window& window, size_t root = 0);
// Runs the handler of the item behind `command` of a menu built by BuildPopupMenu, as a
// choice from the pop-up menu does; nothing for an unknown or disabled command.
void RunMenuCommand(Window& window, const std::vector<PopupEntry>& menu, int command);

// "Ctrl+Shift+F5" and the like, from a shortcut key code: the virtual key in the low byte,
// Ctrl, Shift and Alt as bits 8, 9 and 10.
Text ShortcutText(int keyCode);

}  // namespace ld
