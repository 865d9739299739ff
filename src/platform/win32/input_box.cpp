// The input box: a prompt, one line to type in, 确定 and 取消, built as a dialog template in
// memory so the program needs no resource script for it.
#include <cstring>
#include <vector>

#include "platform/win32/dialogs.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

constexpr WORD kPromptId = 100, kEditId = 101;
constexpr WORD kButtonAtom = 0x0080, kEditAtom = 0x0081, kStaticAtom = 0x0082;

class TemplateBuilder {
public:
    void align() {
        while (bytes_.size() % 4) bytes_.push_back(0);
    }
    void word(WORD w) { raw(&w, sizeof w); }
    void dword(DWORD d) { raw(&d, sizeof d); }
    void text(const std::wstring& s) { raw(s.c_str(), (s.size() + 1) * sizeof(wchar_t)); }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
              const std::wstring& title) {
        align();
        dword(WS_CHILD | WS_VISIBLE | style);
        dword(0);
        for (short v : {x, y, cx, cy}) word(static_cast<WORD>(v));
        word(id);
        word(0xFFFF);
        word(atom);
        text(title);
        word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    void raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
    }
    std::vector<uint8_t> bytes_;
};

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
    TemplateBuilder t;
    t.dword(DS_MODALFRAME | DS_SHELLFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    t.dword(0);
    t.word(4);  // items
    for (short v : {0, 0, 250, 92}) t.word(static_cast<WORD>(v));
    t.word(0);  // no menu
    t.word(0);  // the standard dialog class
    t.text(Wide(caption));
    t.word(9);
    t.text(L"MS Shell Dlg");
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
