// The desktop's side of the program on Windows: documents and folders through the shell,
// starting a program, and the end of the program.
#pragma once

#include <functional>

#include "services/host.h"

namespace ld::win {

class WinShell : public Shell {
public:
    bool shellOpen(int verb, const Text& file) override;
    bool openInShell(const Text& target) override;
    bool runProgram(const Text& commandLine, bool wait, int showMode) override;
    [[noreturn]] void exitProgram(int code) override;
    // Runs before the process ends (the sound stops first).
    void setBeforeExit(std::function<void()> fn) { beforeExit_ = std::move(fn); }

private:
    std::function<void()> beforeExit_;
};

}  // namespace ld::win
