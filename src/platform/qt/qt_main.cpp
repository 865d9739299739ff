#include "platform/qt/qt_main.h"

#include <QApplication>
#include <QWidget>

#include "services/program.h"

namespace ld::qt {

int RunProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    InitProgramLocation();
    QWidget stage;
    stage.setWindowTitle(QStringLiteral("luckydraw"));
    stage.resize(1000, 760);
    stage.show();
    return app.exec();
}

}  // namespace ld::qt
