#include "platform/win32/shell.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

bool ShellExecuted(const wchar_t* verb, const std::wstring& target, int show) {
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, verb, target.c_str(), nullptr,
                                                   nullptr, show)) > 32;
}

}  // namespace

bool WinShell::shellOpen(int verb, const Text& file) {
    // 2 explores a folder; everything else is the default action.
    const std::wstring target = Wide(file);
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    return ShellExecuted(verb == 2 ? L"explore" : nullptr, target, SW_SHOWNORMAL);
}

bool WinShell::openInShell(const Text& target) {
    return ShellExecuted(nullptr, Wide(target), SW_SHOWNORMAL);
}

bool WinShell::runProgram(const Text& commandLine, bool wait, int showMode) {
    std::wstring line = Wide(commandLine);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showMode);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    if (wait) WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

void WinShell::exitProgram(int code) {
    if (beforeExit_) beforeExit_();
    // Every file the program writes is complete when a handler returns; what is left is
    // buffered output. This may run deep in a nested loop: end the process from here.
    std::fflush(nullptr);
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace ld::win
