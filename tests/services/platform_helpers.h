// What the service tests need from the operating system, for Linux and for Windows: disk
// names to std::filesystem paths, the running test program, a file's identity, and running
// a routine in another process of the test program.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "disk_path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace ld::test {

#ifdef _WIN32

inline bool RunningAsRoot() { return false; }

inline std::filesystem::path ExecutablePath() {
    wchar_t path[32768];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, 32768);
    return std::filesystem::path(std::wstring(path, length));
}

// Windows gives no way to take a folder's listing away from its owner with permission bits.
inline bool MakeUnlistable(const std::filesystem::path&) { return false; }

inline uint64_t FileIdentity(const std::filesystem::path& path) {
    HANDLE file = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    return (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

#else

inline bool RunningAsRoot() { return ::geteuid() == 0; }

inline std::filesystem::path ExecutablePath() {
    return std::filesystem::read_symlink("/proc/self/exe");
}

// False where nothing can be hidden this way (root reads any folder).
inline bool MakeUnlistable(const std::filesystem::path& folder) {
    return !RunningAsRoot() && ::chmod(folder.c_str(), 0) == 0;
}

inline uint64_t FileIdentity(const std::filesystem::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_ino;
}

#endif

// Runs a routine in another process of the test program and returns its exit code: a fork
// on Linux; on Windows the test program started again for the current test, which runs the
// routine before any test (see ChildRoutineEnvironment) and ends. Routines are registered
// by name at start-up (a namespace-scope initialiser), so that the new process knows them.
using ChildRoutine = int (*)(const std::string& argument);

inline std::map<std::string, ChildRoutine>& ChildRoutines() {
    static std::map<std::string, ChildRoutine> routines;
    return routines;
}
inline bool RegisterChildRoutine(const std::string& name, ChildRoutine routine) {
    ChildRoutines()[name] = routine;
    return true;
}

#ifdef _WIN32

class ChildRoutineEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        const char* name = std::getenv("LD_TEST_CHILD_ROUTINE");
        if (!name) return;
        const char* argument = std::getenv("LD_TEST_CHILD_ARGUMENT");
        const auto found = ChildRoutines().find(name);
        ::ExitProcess(found == ChildRoutines().end()
                          ? 255u
                          : static_cast<UINT>(found->second(argument ? argument : "")));
    }
};
inline const bool kChildRoutineEnvironment =
    (::testing::AddGlobalTestEnvironment(new ChildRoutineEnvironment), true);

inline int RunInAnotherProcess(const std::string& name, const std::string& argument) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string(test->test_suite_name()) + "." + test->name();
    std::wstring command = L"\"" + ExecutablePath().wstring() + L"\" --gtest_filter=" +
                           std::filesystem::path(filter).wstring();
    ::SetEnvironmentVariableA("LD_TEST_CHILD_ROUTINE", name.c_str());
    ::SetEnvironmentVariableA("LD_TEST_CHILD_ARGUMENT", argument.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                          nullptr, nullptr, &startup, &process);
    ::SetEnvironmentVariableA("LD_TEST_CHILD_ROUTINE", nullptr);
    ::SetEnvironmentVariableA("LD_TEST_CHILD_ARGUMENT", nullptr);
    if (!started) return -1;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

#else

inline int RunInAnotherProcess(const std::string& name, const std::string& argument) {
    const ChildRoutine routine = ChildRoutines().at(name);
    const pid_t child = ::fork();
    if (child == 0) ::_exit(routine(argument));
    int status = 0;
    ::waitpid(child, &status, 0);
    return WEXITSTATUS(status);
}

#endif

}  // namespace ld::test
