// The Qt host as a whole: every outside-world service of the program, Qt-backed, installed
// as the host in force for as long as it lives.
#pragma once

#include <memory>

#include "platform/qt/dialogs.h"
#include "platform/qt/event_loop.h"
#include "platform/qt/qt_gui.h"
#include "platform/qt/shell.h"

namespace ld::qt {

class QtHost {
public:
    // Needs the QApplication. Without `sound` the program plays through SDL.
    explicit QtHost(std::unique_ptr<SoundOutput> sound = nullptr);
    ~QtHost();
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    QtEventLoop loop;
    QtDialogs dialogs;
    QtShell shell;
    QtScreen screen;
    std::unique_ptr<SoundOutput> sound;
    QtGui gui{loop};
};

}  // namespace ld::qt
