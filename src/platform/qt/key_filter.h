// Hot keys: a key press that reaches the program while one of its windows is active runs
// the hot key registered for it (Enter starts and stops the draw). Modal dialogs and text
// fields keep their keys. With presenter clickers on, their keys do what Enter does, on
// the stage and on the console.
#pragma once

#include <QObject>
#include <memory>

class QKeyEvent;

namespace ld::qt {

// Installs the application-wide filter; it lives as long as the returned object.
std::unique_ptr<QObject> InstallHotKeyFilter();

// The Windows virtual key of a Qt key, 0 for keys the program cannot register.
int VirtualKeyOf(int qtKey);
// Whether the key press should go to the program's hot keys rather than to the widget.
bool HotKeyMayTake(const QKeyEvent& event);

// Page Down, Page Up and B: what presenter clickers send for "next" and "blank".
void SetClickerKeys(bool on);

}  // namespace ld::qt
