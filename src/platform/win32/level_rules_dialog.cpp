// The 奖项规则 window: the levels on the left; for the chosen one, its groups with check
// boxes and the names left out, typed or pasted. One page of controls serves every level:
// choosing another level keeps what the page shows and loads that level's.
#include <windows.h>
// after windows.h, whose types it uses
#include <commctrl.h>

#include "platform/win32/dialog_template.h"
#include "platform/win32/dialogs.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

constexpr WORD kLevelListId = 400, kGroupsId = 401, kExcludedId = 402;

// What the operator has set so far, per level, until 保存 or 取消.
struct RulesState {
    std::vector<Dialogs::LevelRuleFields>* levels = nullptr;
    std::vector<std::vector<bool>> checked;
    std::vector<std::wstring> excluded;
    int shown = -1;
};

std::wstring EditText(HWND edit) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The page's values back into the state of the level it shows.
void KeepPage(HWND dialog, RulesState& state) {
    if (state.shown < 0) return;
    const auto level = static_cast<size_t>(state.shown);
    HWND groups = GetDlgItem(dialog, kGroupsId);
    std::vector<bool>& checked = state.checked[level];
    for (size_t i = 0; i < checked.size(); ++i)
        checked[i] = ListView_GetCheckState(groups, static_cast<int>(i)) != 0;
    state.excluded[level] = EditText(GetDlgItem(dialog, kExcludedId));
}

void ShowPage(HWND dialog, RulesState& state, int level) {
    KeepPage(dialog, state);
    state.shown = level;
    const auto index = static_cast<size_t>(level);
    const Dialogs::LevelRuleFields& fields = (*state.levels)[index];
    HWND groups = GetDlgItem(dialog, kGroupsId);
    SendMessageW(groups, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(groups);
    // No check boxes where there is no group to tick.
    ListView_SetExtendedListViewStyleEx(groups, LVS_EX_CHECKBOXES,
                                        fields.groups.empty() ? 0 : LVS_EX_CHECKBOXES);
    for (size_t i = 0; i < fields.groups.size(); ++i) {
        std::wstring name = Wide(fields.groups[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = name.data();
        ListView_InsertItem(groups, &item);
        ListView_SetCheckState(groups, static_cast<int>(i), state.checked[index][i]);
    }
    if (fields.groups.empty()) {
        std::wstring none = WideUtf8("（名单里没有部门）");
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.pszText = none.data();
        ListView_InsertItem(groups, &item);
    }
    // Space ticks the focused group: the first one to begin with.
    ListView_SetItemState(groups, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    EnableWindow(groups, !fields.groups.empty());
    SendMessageW(groups, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(groups, nullptr, TRUE);
    SetDlgItemTextW(dialog, kExcludedId, state.excluded[index].c_str());
}

void SetUp(HWND dialog, RulesState& state) {
    HWND levels = GetDlgItem(dialog, kLevelListId);
    for (const Dialogs::LevelRuleFields& level : *state.levels)
        SendMessageW(levels, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(level.level).c_str()));
    SendMessageW(levels, LB_SETCURSEL, 0, 0);
    HWND groups = GetDlgItem(dialog, kGroupsId);
    ListView_SetExtendedListViewStyle(groups, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT box;
    GetClientRect(groups, &box);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = box.right - GetSystemMetrics(SM_CXVSCROLL);
    ListView_InsertColumn(groups, 0, &column);
    ShowPage(dialog, state, 0);
}

INT_PTR CALLBACK RulesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<RulesState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetUp(dialog, *reinterpret_cast<RulesState*>(lParam));
        SetFocus(GetDlgItem(dialog, kLevelListId));
        SetForegroundWindow(dialog);
        return FALSE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case kLevelListId:
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                const int row = static_cast<int>(
                    SendMessageW(reinterpret_cast<HWND>(lParam), LB_GETCURSEL, 0, 0));
                if (row >= 0 && row != state->shown) ShowPage(dialog, *state, row);
            }
            return TRUE;
        case IDOK:
            KeepPage(dialog, *state);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

bool WinDialogs::levelRulesForm(const Text& caption, const Text& note,
                                std::vector<LevelRuleFields>& levels) {
    if (levels.empty()) return false;
    RulesState state;
    state.levels = &levels;
    for (const LevelRuleFields& level : levels) {
        std::vector<bool> checked(level.groups.size(), false);
        for (size_t i = 0; i < checked.size() && i < level.checked.size(); ++i)
            checked[i] = level.checked[i];
        state.checked.push_back(std::move(checked));
        state.excluded.push_back(Wide(level.excluded));
    }
    const wchar_t kSave[] = L"\x4FDD\x5B58", kCancel[] = L"\x53D6\x6D88";
    DialogTemplate t(Wide(caption), 340, 262, 8);
    t.item(SS_LEFT | SS_NOPREFIX, 7, 6, 326, 24, 100, kStaticAtom, Wide(note));
    t.item(WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 7, 32, 76, 198,
           kLevelListId, kListBoxAtom, L"");
    t.item(SS_LEFT | SS_NOPREFIX, 90, 32, 243, 10, 101, kStaticAtom,
           WideUtf8("可以中奖的部门（都不勾选：所有人）："));
    t.item(WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
               LVS_SHOWSELALWAYS,
           90, 44, 243, 114, kGroupsId, WC_LISTVIEWW);
    t.item(SS_LEFT | SS_NOPREFIX, 90, 163, 243, 10, 102, kStaticAtom,
           WideUtf8("不参与本奖项的人（逗号、顿号或换行分隔）："));
    // Enter makes a new line here, as names are pasted a line each.
    t.item(WS_BORDER | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 90,
           175, 243, 55, kExcludedId, kEditAtom, L"");
    t.item(WS_TABSTOP | BS_DEFPUSHBUTTON, 226, 240, 50, 14, IDOK, kButtonAtom, kSave);
    t.item(WS_TABSTOP | BS_PUSHBUTTON, 283, 240, 50, 14, IDCANCEL, kButtonAtom, kCancel);
    if (DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), DialogOwner(), RulesProc,
                                reinterpret_cast<LPARAM>(&state)) != IDOK)
        return false;
    for (size_t i = 0; i < levels.size(); ++i) {
        levels[i].checked = state.checked[i];
        levels[i].excluded = FromWide(state.excluded[i]);
    }
    return true;
}

}  // namespace ld::win
