// Program start-up: the program's location, the template block, the handler bindings, the
// application's initialisation, the draw screen, then the event loop until the last window
// has closed or the program is ended. The Qt host and the tests run the same sequence.
#pragma once

#include <functional>
#include <string_view>

#include "framework/handler_table.h"

namespace ld {

struct StartupSteps {
    std::string_view block;         // the template block
    std::string_view handlerNames;  // the names its handler references stand for
    std::function<void(HandlerTable&)> registerHandlers;
    std::function<void()> initialiseApplication;  // may be empty
    // Fixes ProgramDirectory and makes it the current directory; empty: from the executable.
    std::function<bool()> locateProgram;
};

// Runs the program; returns its exit code. A block that cannot be read ends the program with
// the runtime error "载入窗口模板数据段出错!", a first window that cannot be created with
// "载入启动窗口失败".
int RunStartup(const StartupSteps& steps);

// The two runtime errors of start-up (GBK).
Text TemplateBlockError();
Text FirstWindowError();

}  // namespace ld
