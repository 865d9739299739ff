#include "platform/qt/shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/qt/qt_text.h"
#include "platform/qt/screens.h"
#include "services/encoding.h"
#include "services/text.h"

namespace ld::qt {

QString ToLocalPath(const Text& path) {
    Text unixPath = ReplaceAll(path, "\\", "/");
    QString local = QFile::decodeName(QByteArray::fromStdString(GbkToFileName(unixPath)));
    return QDir::current().absoluteFilePath(local);
}

QString ResolveProgram(const QString& program) {
    QString self = QCoreApplication::applicationFilePath();
    QFileInfo info(program);
    bool sameFile =
        info.exists() && info.canonicalFilePath() == QFileInfo(self).canonicalFilePath();
    bool sameName = info.fileName() == QFileInfo(self).fileName();
    return sameFile || sameName ? self : program;
}

bool QtShell::open(const Text& target, bool folder) {
    QString path = ToLocalPath(target);
    QFileInfo info(path);
    bool ok = folder ? info.isDir() : info.exists();
    if (ok) ok = QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    // A failure is the caller's to report: the application names the file to the operator.
    return ok;
}

bool QtShell::shellOpen(int verb, const Text& file) {
    // Only the default action exists on the desktop; 2 (explore) opens a folder window.
    return open(file, verb == 2);
}

bool QtShell::openInShell(const Text& target) {
    QString lower = ToQString(target).toLower();
    if (lower.startsWith(QStringLiteral("http://")) || lower.startsWith(QStringLiteral("https://")))
        return QDesktopServices::openUrl(QUrl(ToQString(target)));
    return open(target, QFileInfo(ToLocalPath(target)).isDir());
}

bool QtShell::runProgram(const Text& commandLine, bool wait, int showMode) {
    QStringList args = QProcess::splitCommand(
        QString::fromStdString(GbkToFileName(ReplaceAll(commandLine, "\\", "/"))));
    if (args.isEmpty()) return false;
    QString program = args.takeFirst();
    if (!QFileInfo(program).isAbsolute() &&
        QFileInfo::exists(QDir::current().absoluteFilePath(program)))
        program = QDir::current().absoluteFilePath(program);
    program = ResolveProgram(program);
    if (wait) return QProcess::execute(program, args) >= 0;
    return QProcess::startDetached(program, args, QDir::currentPath());
}

void QtShell::exitProgram(int code) {
    if (beforeExit_) beforeExit_();
    // Every file the program writes is complete when a handler returns; what is left is
    // buffered standard output. Qt's teardown is skipped on purpose: this may run deep in
    // a nested loop, where unwinding Qt's objects is not safe.
    std::fflush(nullptr);
    std::_Exit(code);
}

int QtScreen::width() const { return StageScreenGeometry().width(); }

int QtScreen::height() const { return StageScreenGeometry().height(); }

std::vector<Screen::Info> QtScreen::screens() const {
    std::vector<Info> infos;
    for (QScreen* s : NumberedScreens())
        infos.push_back({FromQString(s->name()), s->geometry().width(), s->geometry().height()});
    if (infos.empty()) infos.push_back({Text(), width(), height()});
    return infos;
}

bool QtScreen::useStageScreen(int number) { return ChooseStageScreen(number); }

int QtScreen::stageScreen() const { return std::max(1, NumberOf(StageScreen())); }

}  // namespace ld::qt
