// The console's table of this run's winners: 放弃 on each row of the current level that may
// still give up, drawn as a button in the row's last cell; a click on it gives that winner up
// through the same routine as the stage's.
#include <windows.h>
// after windows.h, whose types it uses
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/win32/card_surface.h"
#include "platform/win32/console_window.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

// What a row's item data says about its winner.
constexpr LPARAM kForfeitable = 1, kForfeited = 2;
constexpr int kActionColumn = 3;

LPARAM RowFlags(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return ListView_GetItem(list, &item) ? item.lParam : 0;
}

}  // namespace

void ConsoleWindow::showWinners(const ConsoleView& view) {
    const auto rows = view.winners.size();
    const auto forfeited =
        static_cast<size_t>(std::count_if(view.winners.begin(), view.winners.end(),
                                          [](const ConsoleWinner& w) { return w.forfeited; }));
    std::wstring heading =
        WideUtf8("本场中奖名单（") + std::to_wstring(rows - forfeited) + WideUtf8(" 人");
    if (forfeited > 0)
        heading += WideUtf8("，放弃 ") + std::to_wstring(forfeited) + WideUtf8(" 人");
    SetWindowTextW(winnersHeading_, (heading + WideUtf8("）")).c_str());
    SendMessageW(winners_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(winners_);
    const std::wstring forfeit = WideUtf8("放弃");
    for (size_t row = 0; row < rows; ++row) {
        const ConsoleWinner& w = view.winners[row];
        std::wstring time = Wide(w.time), level = Wide(w.level), name = Wide(w.name);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(row);
        item.pszText = time.data();
        item.lParam = (w.forfeitable ? kForfeitable : 0) | (w.forfeited ? kForfeited : 0);
        ListView_InsertItem(winners_, &item);
        ListView_SetItemText(winners_, item.iItem, 1, level.data());
        ListView_SetItemText(winners_, item.iItem, 2, name.data());
        // The cell's own text too, for whatever reads the table without drawing it.
        if (w.forfeitable)
            ListView_SetItemText(winners_, item.iItem, kActionColumn,
                                 const_cast<wchar_t*>(forfeit.c_str()));
    }
    SendMessageW(winners_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(winners_, nullptr, TRUE);
}

LRESULT ConsoleWindow::drawWinnerCell(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            break;
        default:
            return CDRF_DODEFAULT;
    }
    const LPARAM flags = draw.nmcd.lItemlParam;
    if (draw.iSubItem != kActionColumn) {
        if (!(flags & kForfeited)) return CDRF_DODEFAULT;
        draw.clrText = RGB(0x9C, 0xA3, 0xAF);  // a winner who gave up is shown greyed
        return CDRF_NEWFONT;
    }
    if (!(flags & kForfeitable)) return CDRF_DODEFAULT;
    const int row = static_cast<int>(draw.nmcd.dwItemSpec);
    RECT cell;
    if (!ListView_GetSubItemRect(winners_, row, kActionColumn, LVIR_BOUNDS, &cell))
        return CDRF_DODEFAULT;
    HDC dc = draw.nmcd.hdc;
    FillRect(dc, &cell, card_);
    // A flat button in the console's red, as the rest of the console is drawn.
    RECT button = cell;
    InflateRect(&button, -px(8), -px(2));
    SetDCBrushColor(dc, RGB(0xFD, 0xEC, 0xEC));
    SetDCPenColor(dc, RGB(0xE3, 0x9A, 0x9A));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    RoundRect(dc, button.left, button.top, button.right, button.bottom, px(8), px(8));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    CentredLine(dc, WideUtf8("放弃"), button, ConsoleFont(14, true, dpi_), RGB(0xB7, 0x1C, 0x1C));
    return CDRF_SKIPDEFAULT;
}

void ConsoleWindow::clickWinners(POINT at) {
    LVHITTESTINFO hit{};
    hit.pt = at;
    if (ListView_SubItemHitTest(winners_, &hit) < 0 || hit.iSubItem != kActionColumn) return;
    if (!(RowFlags(winners_, hit.iItem) & kForfeitable)) return;
    // Once the click is over: the routine asks its question in a dialog.
    PostMessageW(hwnd_, kForfeitRow, static_cast<WPARAM>(hit.iItem), 0);
}

void ConsoleWindow::forfeitRow(int row) {
    // The row as the table shows it now; a refresh in between may have taken its 放弃 away.
    if (row < 0 || row >= ListView_GetItemCount(winners_) ||
        !(RowFlags(winners_, row) & kForfeitable))
        return;
    run([row](const ConsoleActions& a) {
        if (a.forfeitWinner) a.forfeitWinner(row);
    });
}

}  // namespace ld::win
