#include "platform/win32/dialogs.h"

#include <commdlg.h>

#include <cwchar>
#include <vector>

#include "platform/win32/console_window.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

bool IsOurs(HWND hwnd) {
    DWORD process = 0;
    if (hwnd) GetWindowThreadProcessId(hwnd, &process);
    return hwnd && process == GetCurrentProcessId();
}

// The topmost of the program's own windows that can own a dialog: visible, enabled, and
// not the celebration (which never takes the keyboard).
HWND TopWindowOfOurs() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (lstrcmpW(cls, L"LdStage") != 0 || !IsWindowVisible(hwnd) ||
                !IsWindowEnabled(hwnd) || (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_NOACTIVATE))
                return TRUE;
            *reinterpret_cast<HWND*>(out) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

HWND DialogOwner() {
    // Owned by the active window, so that it stays above it and the window takes no input
    // while it is open. Right after another dialog closed, the activation may not have come
    // back yet: the program's top window owns it then, never nobody (an unowned box goes
    // behind the stage when the activation arrives).
    // While the console is open, the program's dialogs come up over it, on its screen.
    if (HWND console = ConsoleDialogOwner()) return console;
    HWND active = GetActiveWindow();
    if (IsOurs(active)) return active;
    return TopWindowOfOurs();
}

int AnswerOf(int windowsAnswer) {
    // IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7: the program counts from 0.
    return windowsAnswer > 0 ? windowsAnswer - 1 : msg::kAnswerCancel;
}

int WinDialogs::showMessage(const Text& message, int style, const Text& caption) {
    HWND owner = DialogOwner();
    // Modal to the whole program whatever the style asks: nothing of ours may take input
    // while a question is open.
    const UINT modality = owner ? MB_APPLMODAL : MB_TASKMODAL;
    const int answer = MessageBoxW(owner, Wide(message).c_str(), Wide(caption).c_str(),
                                   static_cast<UINT>(style) | modality | MB_SETFOREGROUND);
    return AnswerOf(answer);
}

std::wstring ToDialogFilter(const Text& filter) {
    std::wstring wide = Wide(filter);
    if (wide.empty()) return std::wstring(L"*.*\0*.*\0\0", 9);
    if (wide.back() != L'|') wide += L'|';
    for (wchar_t& c : wide)
        if (c == L'|') c = L'\0';
    wide += L'\0';
    return wide;
}

namespace {

Text ChosenPath(const wchar_t* path) { return FromWide(path); }

bool RunFileDialog(bool save, const Text& filter, const Text& suggested, Text& chosenPath) {
    std::wstring dialogFilter = ToDialogFilter(filter);
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring name = Wide(suggested);
    wcsncpy(file.data(), name.c_str(), file.size() - 1);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = DialogOwner();
    ofn.lpstrFilter = dialogFilter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    // The program's folder stays the current directory: its data names are relative.
    ofn.Flags = OFN_NOCHANGEDIR | OFN_EXPLORER | OFN_HIDEREADONLY |
                (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok) return false;
    chosenPath = ChosenPath(file.data());
    return true;
}

}  // namespace

bool WinDialogs::openFile(const Text& filter, Text& chosenPath) {
    return RunFileDialog(false, filter, Text(), chosenPath);
}

bool WinDialogs::saveFile(const Text& filter, const Text& suggestedName, Text& chosenPath) {
    return RunFileDialog(true, filter, suggestedName, chosenPath);
}

bool WinDialogs::chooseFont(FontChoice& font) {
    LOGFONTW lf{};
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    lf.lfHeight = -MulDiv(static_cast<int>(font.points * 10 + 0.5), dpi, 720);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfStrikeOut = font.strikeOut;
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, Wide(font.face).c_str(), LF_FACESIZE - 1);
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = DialogOwner();
    cf.lpLogFont = &lf;
    cf.rgbColors = font.color & 0x00FFFFFF;
    cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontW(&cf)) return false;
    font.face = FromWide(lf.lfFaceName);
    font.points = cf.iPointSize / 10.0;
    font.bold = lf.lfWeight >= FW_BOLD;
    font.italic = lf.lfItalic != 0;
    font.underline = lf.lfUnderline != 0;
    font.strikeOut = lf.lfStrikeOut != 0;
    font.color = cf.rgbColors & 0x00FFFFFF;
    return true;
}

}  // namespace ld::win
