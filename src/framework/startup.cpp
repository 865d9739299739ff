#include "framework/startup.h"

#include "framework/template_library.h"
#include "services/host.h"
#include "services/program.h"

namespace ld {

namespace {

// The globals a running program reaches its windows through, undone however start-up ends.
class ProgramScope {
public:
    ProgramScope(TemplateLibrary& library, WindowManager& manager)
        : library_(library), manager_(manager) {
        setTemplates(&library);
        setWindowManager(&manager);
    }
    ~ProgramScope() {
        // Windows still open when the program is ended go the ordinary way, so the host
        // and the hot keys forget them.
        for (const auto& w : library_.windows()) manager_.destroyWindow(w.name);
        setWindowManager(nullptr);
        setTemplates(nullptr);
    }
    ProgramScope(const ProgramScope&) = delete;
    ProgramScope& operator=(const ProgramScope&) = delete;

private:
    TemplateLibrary& library_;
    WindowManager& manager_;
};

int Run(const StartupSteps& steps) {
    // Without a known directory the data files are simply not found; the operator then
    // sees the program's own messages about them, so start-up goes on.
    if (steps.locateProgram)
        steps.locateProgram();
    else
        InitProgramLocation();

    HandlerTable routines;
    if (steps.registerHandlers) steps.registerHandlers(routines);
    TemplateLibrary library;
    if (!library.load(steps.block, steps.handlerNames, routines))
        FatalRuntimeError(TemplateBlockError());

    WindowManager manager(library.factory());
    ProgramScope scope(library, manager);
    if (steps.initialiseApplication) steps.initialiseApplication();
    if (!manager.loadWindow(library.firstWindow())) FatalRuntimeError(FirstWindowError());
    host().loop->runUntil([&manager] { return manager.loadedCount() == 0; });
    return 0;
}

}  // namespace

Text TemplateBlockError() { return Gbk("载入窗口模板数据段出错!"); }
Text FirstWindowError() { return Gbk("载入启动窗口失败"); }

int RunStartup(const StartupSteps& steps) {
    try {
        return Run(steps);
    } catch (const ProgramExit& e) {  // ExitProgram, or a fatal error, under any host
        return e.code;
    }
}

}  // namespace ld
