#include "platform/win32/win_main.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <string_view>

#include "app/common/app_state.h"
#include "app/handlers.h"
#include "framework/builtin_templates.h"
#include "framework/startup.h"
#include "platform/win32/win_host.h"
#include "platform/win32/win_text.h"
#include "verify/verify_command.h"

namespace ld::win {

namespace {

// UTF-8 text to standard output or error; false when it could not be written there. The
// program has no console of its own: without a handle from the shell it takes the console of
// the shell that started it, if any. A console gets the text as UTF-16, which shows Chinese
// whatever its code page; a file or a pipe gets the UTF-8 bytes.
bool WriteOut(DWORD which, const std::string& utf8) {
    HANDLE out = GetStdHandle(which);
    if (!out || out == INVALID_HANDLE_VALUE) {
        AttachConsole(ATTACH_PARENT_PROCESS);  // fails when there is none: nowhere to write
        out = GetStdHandle(which);
    }
    if (!out || out == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode)) {
        const std::wstring text = WideUtf8(utf8);
        return WriteConsoleW(out, text.c_str(), static_cast<DWORD>(text.size()), &written,
                             nullptr) &&
               written == text.size();
    }
    return WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) &&
           written == utf8.size();
}

// `luckydraw --verify <record>`: the report and the verdict as the exit code, no window. Null
// when the command line asks for something else.
std::optional<int> VerifyFromCommandLine() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return std::nullopt;
    const bool verify = argc >= 2 && std::wstring_view(argv[1]) == L"--verify";
    std::wstring path = verify && argc >= 3 ? argv[2] : L"";
    LocalFree(argv);
    if (!verify) return std::nullopt;
    if (path.empty()) {
        WriteOut(STD_ERROR_HANDLE, "用法：luckydraw --verify <公证记录.jsonl>\n");
        return 2;
    }
    for (wchar_t& c : path)
        if (c == L'\\') c = L'/';  // the program's paths use '/', which Windows also takes
    const verify::VerifyOutcome outcome = verify::VerifyRecordFile(FromWide(path));
    // A report that did not arrive is no verdict.
    return WriteOut(STD_OUTPUT_HANDLE, outcome.report) ? outcome.exitCode : 2;
}

}  // namespace

int RunProgram() {
    if (const std::optional<int> code = VerifyFromCommandLine()) return *code;
    // The window thread's apartment is single-threaded: dialogs and the shell need one, and
    // WIC decodes here too.
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WinHost winHost;

    StartupSteps steps;
    steps.block = BuiltInTemplateBlock();
    steps.handlerNames = BuiltInHandlerNames();
    steps.registerHandlers = app::RegisterHandlers;
    steps.initialiseApplication = app::InitialiseApplication;
    const int code = RunStartup(steps);
    // The sound threads end before the process does.
    winHost.sound->stopSound();
    return code;
}

}  // namespace ld::win
