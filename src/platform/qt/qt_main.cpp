#include "platform/qt/qt_main.h"

#include <QApplication>
#include <cstdio>
#include <string_view>

#include "app/common/app_state.h"
#include "app/handlers.h"
#include "framework/builtin_templates.h"
#include "framework/startup.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_setup.h"
#include "services/encoding.h"
#include "verify/verify_command.h"

namespace ld::qt {

namespace {

// `luckydraw --verify <record>`: the report on standard output and the verdict as the exit
// code, without a window (no display is needed).
int VerifyFromCommandLine(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("用法：luckydraw --verify <公证记录.jsonl>\n", stderr);
        return 2;
    }
    const verify::VerifyOutcome outcome = verify::VerifyRecordFile(FileNameToGbk(argv[2]));
    std::fwrite(outcome.report.data(), 1, outcome.report.size(), stdout);
    return std::fflush(stdout) == 0 ? outcome.exitCode : 2;
}

}  // namespace

int RunProgram(int argc, char** argv) {
    if (argc >= 2 && std::string_view(argv[1]) == "--verify")
        return VerifyFromCommandLine(argc, argv);
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
