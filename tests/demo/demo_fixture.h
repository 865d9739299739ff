// The demo event made once for the whole test program by the real generator, in a
// temporary folder, and the small process helpers the tests use to run the generator,
// cmake and the program itself.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "roster.h"
#include "services/text.h"

namespace ld::test {

// Starts a program with extra environment entries ("NAME=value"); 0 when it could not.
pid_t StartProcess(const std::vector<std::string>& args,
                   const std::vector<std::string>& environment = {});
// Runs a program to its end: its exit code, or -1 when it did not exit normally.
int RunProcess(const std::vector<std::string>& args,
               const std::vector<std::string>& environment = {});
// True while the process has not ended (it is reaped when it has).
bool StillRunning(pid_t pid);
void KillProcess(pid_t pid);

std::string ReadFile(const std::filesystem::path& path);

// A fresh temporary folder, removed with the object.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return root_; }

private:
    std::filesystem::path root_;
};

class DemoEventTest : public testing::Test {
public:
    // Generates the demo once per test program; the folder goes when the program ends.
    static void SetUpTestSuite();

protected:
    void SetUp() override;
    // The demo folder as the file system spells it, and as the program's GBK text.
    static std::filesystem::path folder();
    static Text folderText() { return folder().string(); }  // an ASCII temporary path
    static std::vector<demo::Participant> roster() { return demo::Roster(); }
};

}  // namespace ld::test
