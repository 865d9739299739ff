#include "platform/win32/fireworks.h"

namespace ld::win {

HWND CreateFireworks(HWND, int) { return nullptr; }
void StopFireworks(HWND) {}

}  // namespace ld::win
