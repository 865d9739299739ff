// The shell's view of the program's paths and of the program itself.
#include "platform/qt/shell.h"

#include <QCoreApplication>
#include <QDir>

#include "qt_stage.h"
#include "services/text.h"

namespace ld::qt::test {
namespace {

TEST(Shell, GbkPathsWithBackslashesBecomeLocalPaths) {
    EXPECT_EQ(ToLocalPath(Gbk("/data\\抽奖结果.txt")), QString::fromUtf8("/data/抽奖结果.txt"));
    EXPECT_EQ(ToLocalPath(Gbk("photo")), QDir::current().absoluteFilePath("photo"));
}

TEST(Shell, RestartingStartsThisVeryProgram) {
    const QString self = QCoreApplication::applicationFilePath();
    EXPECT_EQ(ResolveProgram(self), self);
    EXPECT_EQ(ResolveProgram(QDir::current().absoluteFilePath(QFileInfo(self).fileName())), self);
    EXPECT_EQ(ResolveProgram("/usr/bin/env"), "/usr/bin/env");
}

// The application names the file to the operator; the shell only reports the failure, so
// the operator never sees two messages for one failure.
TEST(Shell, OpeningAMissingFileFailsWithoutAMessageOfItsOwn) {
    ld::test::ScriptedDialogs dialogs;
    setHost(Host{&dialogs});
    QtShell shell;
    EXPECT_FALSE(shell.shellOpen(0, Gbk("/nonexistent/抽奖结果.txt")));
    EXPECT_FALSE(shell.openInShell(Gbk("/nonexistent/photo")));
    EXPECT_TRUE(dialogs.messages.empty());
    setHost(Host{});
}

}  // namespace
}  // namespace ld::qt::test
