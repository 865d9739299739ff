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

TEST(Shell, OpeningAMissingFileFailsAndTellsTheOperator) {
    ld::test::ScriptedDialogs dialogs;
    setHost(Host{&dialogs});
    QtShell shell;
    EXPECT_FALSE(shell.shellOpen(0, Gbk("/nonexistent/抽奖结果.txt")));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find(Gbk("抽奖结果.txt")), std::string::npos);
    setHost(Host{});
}

}  // namespace
}  // namespace ld::qt::test
