// The Win32 host as a whole: every outside-world service of the program, backed by the
// Windows API, installed as the host in force for as long as it lives.
#pragma once

#include <memory>

#include "platform/win32/dialogs.h"
#include "platform/win32/event_loop.h"
#include "platform/win32/screens.h"
#include "platform/win32/shell.h"
#include "platform/win32/win_gui.h"

namespace ld::win {

class WinHost {
public:
    // Without `sound` the program plays through waveOut.
    explicit WinHost(std::unique_ptr<SoundOutput> sound = nullptr);
    ~WinHost();
    WinHost(const WinHost&) = delete;
    WinHost& operator=(const WinHost&) = delete;

    WinEventLoop loop;
    WinDialogs dialogs;
    WinShell shell;
    WinScreen screen;
    std::unique_ptr<SoundOutput> sound;
    WinGui gui{loop};
};

}  // namespace ld::win
