// The desktop side of the program: opening documents and folders with their default
// handlers, starting programs, ending the program, and the screens.
#pragma once

#include <QString>

#include "services/host.h"

namespace ld::qt {

class QtShell : public Shell {
public:
    bool shellOpen(int verb, const Text& file) override;
    bool openInShell(const Text& target) override;
    bool runProgram(const Text& commandLine, bool wait, int showMode) override;
    [[noreturn]] void exitProgram(int code) override;

    // Runs before the process ends (stops the sound threads, say).
    void setBeforeExit(std::function<void()> fn) { beforeExit_ = std::move(fn); }

private:
    bool open(const Text& target, bool folder);
    std::function<void()> beforeExit_;
};

class QtScreen : public Screen {
public:
    // The stage's screen in 96-DPI logical pixels, as the program's coordinates are.
    int width() const override;
    int height() const override;
    std::vector<Info> screens() const override;
    bool useStageScreen(int number) override;
    int stageScreen() const override;
};

// A GBK path of the program (relative ones against the current directory) as Qt sees it.
QString ToLocalPath(const Text& path);
// The program file itself, whatever name the command line gives it: restarting after a
// reset must start this very executable.
QString ResolveProgram(const QString& program);

}  // namespace ld::qt
