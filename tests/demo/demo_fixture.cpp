#include "demo_fixture.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>

#include "services/program.h"

extern char** environ;

namespace ld::test {

pid_t StartProcess(const std::vector<std::string>& args,
                   const std::vector<std::string>& environment) {
    std::vector<std::string> owned = args;
    std::vector<char*> argv;
    for (std::string& a : owned) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = environment;
    for (char** e = environ; *e; ++e) env.push_back(*e);  // the first entry of a name wins
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return 0;
    return pid;
}

int RunProcess(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
    const pid_t pid = StartProcess(args, environment);
    if (pid == 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

bool StillRunning(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == 0; }

void KillProcess(pid_t pid) {
    if (kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

ScratchFolder::ScratchFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
    root_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

namespace {

struct GeneratedDemo {
    ScratchFolder scratch{"ld-demo"};
    int exitCode = -1;
};

GeneratedDemo& Generated() {
    static GeneratedDemo demo;
    return demo;
}

}  // namespace

void DemoEventTest::SetUpTestSuite() {
    GeneratedDemo& demo = Generated();
    if (demo.exitCode == 0) return;
    std::vector<std::string> args = {LD_DEMO_TOOL, folder().string()};
    if (!std::string(LD_DEMO_LAME).empty()) args.push_back(LD_DEMO_LAME);
    demo.exitCode = RunProcess(args);
}

void DemoEventTest::SetUp() {
    ASSERT_EQ(Generated().exitCode, 0) << "the demo generator failed";
    // The program's own services then look into the demo folder, as they do when the
    // program is started from it.
    SetProgramLocationForTest(folderText(), "luckydraw");
}

std::filesystem::path DemoEventTest::folder() { return Generated().scratch.path() / "event"; }

}  // namespace ld::test
