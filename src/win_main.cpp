// Program entry on Windows: a GUI-subsystem program; the Win32 host runs the start-up.
#include <windows.h>

#include "platform/win32/win_main.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return ld::win::RunProgram(); }
