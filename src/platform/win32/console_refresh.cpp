// The console's controls brought up to date with the application's state, touching only what
// changed, and its menus built as they open.
#include "platform/win32/console_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/win32/win_gui.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

bool SameLevels(const std::vector<ConsoleLevel>& a, const std::vector<ConsoleLevel>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.name == y.name && x.drawn == y.drawn && x.total == y.total &&
               x.perDraw == y.perDraw && x.eligible == y.eligible && x.rule == y.rule;
    });
}

bool SameWinners(const std::vector<ConsoleWinner>& a, const std::vector<ConsoleWinner>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.time == y.time && x.level == y.level && x.name == y.name &&
               x.forfeited == y.forfeited && x.forfeitable == y.forfeitable;
    });
}

void SetText(HWND h, const std::wstring& text) {
    wchar_t now[256] = {};
    GetWindowTextW(h, now, 256);
    if (text != now) SetWindowTextW(h, text.c_str());
}

void SetRow(HWND list, int row, const std::vector<std::wstring>& cells) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(cells[0].c_str());
    ListView_InsertItem(list, &item);
    for (size_t c = 1; c < cells.size(); ++c)
        ListView_SetItemText(list, row, static_cast<int>(c), const_cast<wchar_t*>(cells[c].c_str()));
}

// The items of `source` (a menu just built) move to `target`, whose own go.
void ReplaceItems(HMENU target, HMENU source) {
    while (GetMenuItemCount(target) > 0) DeleteMenu(target, 0, MF_BYPOSITION);
    const int count = GetMenuItemCount(source);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 256;
        GetMenuItemInfoW(source, static_cast<UINT>(i), TRUE, &item);
        item.dwTypeData = text;
        InsertMenuItemW(target, static_cast<UINT>(i), TRUE, &item);
    }
    // The submenus belong to `target` now.
    while (GetMenuItemCount(source) > 0) RemoveMenu(source, 0, MF_BYPOSITION);
    DestroyMenu(source);
}

}  // namespace

void ConsoleWindow::fillMenu(HMENU menu) {
    if (!actions_.view) return;
    // Built as it opens, so it shows the checks and disabled items of this moment.
    const ConsoleView view = actions_.view();
    ReplaceItems(menu, BuildPopupMenu(menu == toolsMenu_ ? view.tools : view.stageMenu));
}

void ConsoleWindow::refresh() {
    if (!actions_.view || !levels_) return;
    ConsoleView view = actions_.view();
    const bool all = !filled_;
    showSelector(view);  // compared with the list itself: the operator may have it open
    if (all || !SameLevels(view.levels, shown_.levels) ||
        view.selectedLevel != shown_.selectedLevel)
        showLevels(view);
    if (all || view.buttonCaption != shown_.buttonCaption) {
        SetWindowTextW(startStop_, Wide(view.buttonCaption).c_str());
        InvalidateRect(startStop_, nullptr, FALSE);
    }
    if (all || view.buttonEnabled != shown_.buttonEnabled)
        EnableWindow(startStop_, view.buttonEnabled);
    if (all || view.poolSize != shown_.poolSize) SetText(pool_, std::to_wstring(view.poolSize));
    if (all || !SameWinners(view.winners, shown_.winners)) showWinners(view);
    if (all || view.musicOn != shown_.musicOn)
        SendMessageW(music_, BM_SETCHECK, view.musicOn ? BST_CHECKED : BST_UNCHECKED, 0);
    if (all || view.clickersOn != shown_.clickersOn)
        SendMessageW(clickers_, BM_SETCHECK, view.clickersOn ? BST_CHECKED : BST_UNCHECKED, 0);
    if (all || view.checkinOpen != shown_.checkinOpen)
        SetText(checkin_, WideUtf8(view.checkinOpen ? "关闭签到" : "开启签到"));
    if (all || view.checkinOpen != shown_.checkinOpen || view.checkinCount != shown_.checkinCount ||
        view.checkinRefused != shown_.checkinRefused) {
        std::wstring text = view.checkinOpen || view.checkinCount > 0
                                ? WideUtf8("已签到 ") + std::to_wstring(view.checkinCount) +
                                      WideUtf8(" 人")
                                : WideUtf8("未开启");
        // Refusals mean phones that did not get in: the operator looks into 签到记录.csv.
        if (view.checkinRefused > 0)
            text += WideUtf8("，拒绝 ") + std::to_wstring(view.checkinRefused) + WideUtf8(" 次");
        SetText(checkinCount_, text);
    }
    if (showModeration(view)) layOut();
    // The menus are built as they open; only the state above is kept.
    view.stageMenu.clear();
    view.tools.clear();
    shown_ = std::move(view);
    filled_ = true;
}

void ConsoleWindow::showSelector(const ConsoleView& view) {
    // An open list is the operator's: it does not change under the mouse.
    if (SendMessageW(levels_, CB_GETDROPPEDSTATE, 0, 0)) return;
    const int listed = static_cast<int>(SendMessageW(levels_, CB_GETCOUNT, 0, 0));
    bool same = listed == static_cast<int>(view.levels.size());
    for (int i = 0; same && i < listed; ++i) {
        wchar_t text[256] = {};
        if (SendMessageW(levels_, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 255)
            SendMessageW(levels_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        same = Wide(view.levels[static_cast<size_t>(i)].name) == text;
    }
    if (!same) {
        SendMessageW(levels_, CB_RESETCONTENT, 0, 0);
        for (const ConsoleLevel& level : view.levels)
            SendMessageW(levels_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(level.name).c_str()));
    }
    if (SendMessageW(levels_, CB_GETCURSEL, 0, 0) != view.selectedLevel)
        SendMessageW(levels_, CB_SETCURSEL, static_cast<WPARAM>(view.selectedLevel), 0);
}

void ConsoleWindow::showLevels(const ConsoleView& view) {
    SendMessageW(progress_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(progress_);
    for (size_t row = 0; row < view.levels.size(); ++row) {
        const ConsoleLevel& level = view.levels[row];
        SetRow(progress_, static_cast<int>(row),
               {Wide(level.name),
                std::to_wstring(level.drawn) + L"/" + std::to_wstring(level.total),
                std::to_wstring(level.perDraw), std::to_wstring(level.eligible),
                Wide(level.rule)});
    }
    // The level the next start draws stands out.
    if (view.selectedLevel >= 0)
        ListView_SetItemState(progress_, view.selectedLevel, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageW(progress_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(progress_, nullptr, TRUE);
}

}  // namespace ld::win
