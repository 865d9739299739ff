#include "platform/win32/win_main.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/common/app_state.h"
#include "app/handlers.h"
#include "framework/builtin_templates.h"
#include "framework/startup.h"
#include "platform/win32/win_host.h"

namespace ld::win {

int RunProgram() {
    // The window thread's apartment is single-threaded: dialogs and the shell need one, and
    // WIC decodes here too.
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WinHost winHost;

    StartupSteps steps;
    steps.block = BuiltInTemplateBlock();
    steps.handlerNames = BuiltInHandlerNames();
    steps.registerHandlers = app::RegisterHandlers;
    steps.initialiseApplication = app::InitialiseApplication;
    const int code = RunStartup(steps);
    // The sound threads end before the process does.
    winHost.sound->stopSound();
    return code;
}

}  // namespace ld::win
