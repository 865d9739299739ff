// The input box: a prompt, one line to type in, 确定 and 取消, built as a dialog template in
// memory so the program needs no resource script for it.
#include "platform/win32/dialog_template.h"
#include "platform/win32/dialogs.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

constexpr WORD kPromptId = 100, kEditId = 101;

struct InputState {
    std::wstring prompt, initial, value;
};

INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            state = reinterpret_cast<InputState*>(lParam);
            SetDlgItemTextW(dialog, kPromptId, state->prompt.c_str());
            SetDlgItemTextW(dialog, kEditId, state->initial.c_str());
            HWND edit = GetDlgItem(dialog, kEditId);
            SendMessageW(edit, EM_SETSEL, 0, -1);
            SetFocus(edit);
            SetForegroundWindow(dialog);
            return FALSE;  // the focus is set
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                HWND edit = GetDlgItem(dialog, kEditId);
                const int n = GetWindowTextLengthW(edit);
                state->value.assign(static_cast<size_t>(n) + 1, L'\0');
                GetWindowTextW(edit, state->value.data(), n + 1);
                state->value.resize(static_cast<size_t>(n));
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

bool WinDialogs::inputBox(const Text& prompt, const Text& caption, const Text& initial,
                          Text& value, bool masked) {
    DialogTemplate t(Wide(caption), 250, 92, 4);
    t.item(SS_LEFT | SS_NOPREFIX, 7, 7, 236, 36, kPromptId, kStaticAtom, L"");
    t.item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | (masked ? ES_PASSWORD : 0), 7, 48, 236, 14,
           kEditId, kEditAtom, L"");
    t.item(WS_TABSTOP | BS_DEFPUSHBUTTON, 136, 70, 50, 14, IDOK, kButtonAtom, L"\x786E\x5B9A");
    t.item(WS_TABSTOP | BS_PUSHBUTTON, 193, 70, 50, 14, IDCANCEL, kButtonAtom, L"\x53D6\x6D88");
    InputState state{Wide(prompt), Wide(initial), {}};
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(),
                                                   DialogOwner(), InputProc,
                                                   reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return false;
    value = FromWide(state.value);
    return true;
}

}  // namespace ld::win
