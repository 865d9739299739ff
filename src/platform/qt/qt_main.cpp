#include "platform/qt/qt_main.h"

#include <QApplication>

#include "app/common/app_state.h"
#include "app/handlers.h"
#include "framework/builtin_templates.h"
#include "framework/startup.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_setup.h"

namespace ld::qt {

int RunProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program ends when its window manager says so, not when Qt sees no window.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallFontSubstitutes();
    LoadQtTranslations();
    QtHost qtHost;

    StartupSteps steps;
    steps.block = BuiltInTemplateBlock();
    steps.handlerNames = BuiltInHandlerNames();
    steps.registerHandlers = app::RegisterHandlers;
    steps.initialiseApplication = app::InitialiseApplication;
    return RunStartup(steps);
}

}  // namespace ld::qt
