// The program's two small forms: whole numbers in rows (保存 / 取消) and one entry chosen
// from a list (确定 / 取消), as dialog templates built in memory.
#include <algorithm>

#include "platform/win32/dialog_template.h"
#include "platform/win32/dialogs.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

constexpr WORD kFirstNumberId = 200, kListId = 300;
const wchar_t kSave[] = L"\x4FDD\x5B58", kOk[] = L"\x786E\x5B9A", kCancel[] = L"\x53D6\x6D88";

struct NumberState {
    std::vector<Dialogs::NumberField>* fields;
    int min, max;
};

INT_PTR CALLBACK NumberProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<NumberState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<NumberState*>(lParam);
        for (size_t i = 0; i < state->fields->size(); ++i) {
            // A stored value out of range comes in clamped.
            const int value = std::clamp((*state->fields)[i].value, state->min, state->max);
            SetDlgItemInt(dialog, kFirstNumberId + static_cast<int>(i), static_cast<UINT>(value), TRUE);
        }
        SetForegroundWindow(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK) {
        for (size_t i = 0; i < state->fields->size(); ++i) {
            BOOL read = FALSE;
            const int typed = static_cast<int>(
                GetDlgItemInt(dialog, kFirstNumberId + static_cast<int>(i), &read, TRUE));
            // What is not a number keeps the value it had.
            if (read) (*state->fields)[i].value = std::clamp(typed, state->min, state->max);
        }
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

struct ListState {
    const std::vector<Text>* entries;
    int current;
    int chosen = -1;
};

INT_PTR CALLBACK ListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<ListState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<ListState*>(lParam);
        HWND list = GetDlgItem(dialog, kListId);
        for (const Text& entry : *state->entries)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry).c_str()));
        // The current entry is marked by being the selected one.
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(state->current), 0);
        EnableWindow(GetDlgItem(dialog, IDOK), state->current >= 0);
        SetFocus(list);
        SetForegroundWindow(dialog);
        return FALSE;
    }
    if (message != WM_COMMAND) return FALSE;
    HWND list = GetDlgItem(dialog, kListId);
    const int row = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    if (LOWORD(wParam) == kListId) {
        EnableWindow(GetDlgItem(dialog, IDOK), row >= 0);
        if (HIWORD(wParam) != LBN_DBLCLK || row < 0) return TRUE;
    } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    } else if (LOWORD(wParam) != IDOK || row < 0) {
        return FALSE;
    }
    state->chosen = row;
    EndDialog(dialog, IDOK);
    return TRUE;
}

}  // namespace

bool WinDialogs::numberForm(const Text& caption, const Text& unit, int min, int max,
                            std::vector<NumberField>& fields) {
    if (min > max) std::swap(min, max);
    const short rows = static_cast<short>(fields.size());
    const short height = static_cast<short>(14 + rows * 18 + 24);
    // "%1" in the unit stands for the number box: the text around it goes either side.
    const size_t slot = unit.find("%1");
    const Text before = slot == Text::npos ? unit : unit.substr(0, slot);
    const Text after = slot == Text::npos ? Text() : unit.substr(slot + 2);
    const short width = slot == Text::npos ? 230 : 300;
    DialogTemplate t(Wide(caption), width, height, static_cast<WORD>(rows * 4 + 2));
    for (short i = 0; i < rows; ++i) {
        const short y = static_cast<short>(9 + i * 18);
        const short label = slot == Text::npos ? 120 : 80, text = slot == Text::npos ? 30 : 60;
        t.item(SS_LEFT | SS_NOPREFIX, 7, static_cast<short>(y + 2), label, 10,
               static_cast<WORD>(100 + i), kStaticAtom, Wide(fields[static_cast<size_t>(i)].label));
        t.item(SS_LEFT | SS_NOPREFIX, static_cast<short>(10 + label), static_cast<short>(y + 2),
               text, 10, static_cast<WORD>(150 + i), kStaticAtom, Wide(before));
        const short box = static_cast<short>(13 + label + text);
        t.item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER, box, y, 60, 13,
               static_cast<WORD>(kFirstNumberId + i), kEditAtom, L"");
        t.item(SS_LEFT | SS_NOPREFIX, static_cast<short>(box + 63), static_cast<short>(y + 2),
               static_cast<short>(width - box - 70), 10, static_cast<WORD>(250 + i), kStaticAtom,
               Wide(after));
    }
    const short buttons = static_cast<short>(height - 21);
    t.item(WS_TABSTOP | BS_DEFPUSHBUTTON, static_cast<short>(width - 114), buttons, 50, 14, IDOK,
           kButtonAtom, kSave);
    t.item(WS_TABSTOP | BS_PUSHBUTTON, static_cast<short>(width - 57), buttons, 50, 14, IDCANCEL,
           kButtonAtom, kCancel);
    std::vector<NumberField> edited = fields;
    NumberState state{&edited, min, max};
    if (DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), DialogOwner(), NumberProc,
                                reinterpret_cast<LPARAM>(&state)) != IDOK)
        return false;
    fields = std::move(edited);
    return true;
}

std::optional<int> WinDialogs::chooseFromList(const Text& caption, const Text& prompt,
                                              const std::vector<Text>& entries, int current) {
    DialogTemplate t(Wide(caption), 250, 150, 4);
    t.item(SS_LEFT | SS_NOPREFIX, 7, 7, 236, 20, 100, kStaticAtom, Wide(prompt));
    t.item(WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 7, 30, 236,
           90, kListId, kListBoxAtom, L"");
    t.item(WS_TABSTOP | BS_DEFPUSHBUTTON, 136, 128, 50, 14, IDOK, kButtonAtom, kOk);
    t.item(WS_TABSTOP | BS_PUSHBUTTON, 193, 128, 50, 14, IDCANCEL, kButtonAtom, kCancel);
    ListState state{&entries, current >= 0 && current < static_cast<int>(entries.size()) ? current : -1};
    if (DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), DialogOwner(), ListProc,
                                reinterpret_cast<LPARAM>(&state)) != IDOK)
        return std::nullopt;
    return state.chosen;
}

}  // namespace ld::win
