// The note of work that takes a while: a modeless dialog with its text and a bar, in the
// bottom right corner of the window dialogs go over (the stage, or the console when it is
// open), so that it hides no winner. It never takes the activation: Enter and the clickers go
// on reaching the stage.
// commctrl.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "platform/win32/dialog_template.h"
#include "platform/win32/dialogs.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

constexpr WORD kTextId = 100, kBarId = 101;
constexpr short kWidth = 230, kHeight = 44;

HWND& Note() {
    static HWND note = nullptr;
    return note;
}

INT_PTR CALLBACK NoteProc(HWND note, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    RECT bar{7, 22, kWidth - 7, 36};  // dialog units to pixels
    MapDialogRect(note, &bar);
    CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, bar.left, bar.top,
                    bar.right - bar.left, bar.bottom - bar.top, note,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)),
                    GetModuleHandleW(nullptr), nullptr);
    return FALSE;  // no focus to give
}

HWND CreateNote(const std::wstring& caption) {
    DialogTemplate t(caption, kWidth, kHeight, 1, DS_MODALFRAME,
                     WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    t.item(SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 7, 7, kWidth - 14, 10, kTextId, kStaticAtom,
           L"");
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.get(), DialogOwner(), NoteProc,
                                      0);
}

void PlaceNote(HWND note) {
    RECT area{};
    if (HWND owner = GetWindow(note, GW_OWNER)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT own{};
    GetWindowRect(note, &own);
    const int margin = MulDiv(24, static_cast<int>(GetDpiForWindow(note)), 96);
    SetWindowPos(note, nullptr, area.right - (own.right - own.left) - margin,
                 area.bottom - (own.bottom - own.top) - margin, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void WinDialogs::showProgress(const Text& caption, const Text& text, int percent) {
    HWND& note = Note();
    if (note && !IsWindow(note)) note = nullptr;  // gone with its owner
    if (!note) {
        note = CreateNote(Wide(caption));
        if (!note) return;
        PlaceNote(note);
        ShowWindow(note, SW_SHOWNOACTIVATE);
    }
    SetWindowTextW(note, Wide(caption).c_str());
    SetDlgItemTextW(note, kTextId, Wide(text).c_str());
    SendDlgItemMessageW(note, kBarId, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void WinDialogs::closeProgress() {
    HWND& note = Note();
    if (note && IsWindow(note)) DestroyWindow(note);
    note = nullptr;
}

}  // namespace ld::win
