// The console's controls, where they go, and what it draws itself: the cards behind the groups
// and the red start/stop button.
#include "platform/win32/console_window.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/card_surface.h"
#include "platform/win32/win_text.h"

namespace ld::win {

HFONT ConsoleFont(int pixels, bool bold, UINT dpi) {
    FontValue font;
    font.face = Gbk("微软雅黑");
    font.pixels = pixels;
    font.bold = bold;
    return FontFor(font, dpi);
}

int ConsoleWindow::px(int logical) const { return Px(logical, dpi_); }

HWND ConsoleWindow::make(const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
    HWND h = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 1, 1, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(ConsoleFont(15, false, dpi_)), FALSE);
    return h;
}

void ConsoleWindow::build() {
    auto heading = [this](const char* utf8) {
        HWND h = make(L"Static", WideUtf8(utf8).c_str(), SS_LEFT | SS_CENTERIMAGE, 0);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(ConsoleFont(17, true, dpi_)), FALSE);
        return h;
    };
    // Columns firstNumber .. lastNumber hold numbers, aligned right.
    auto listView = [this](std::initializer_list<const char*> columns, int firstNumber,
                           int lastNumber, int id) {
        HWND list = make(WC_LISTVIEWW, L"",
                         WS_BORDER | LVS_REPORT | LVS_NOSORTHEADER | LVS_SINGLESEL |
                             LVS_SHOWSELALWAYS,
                         id);
        ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
        int i = 0;
        for (const char* c : columns) {
            std::wstring title = WideUtf8(c);
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.fmt = i >= firstNumber && i <= lastNumber ? LVCFMT_RIGHT : LVCFMT_LEFT;
            column.cx = px(i == 0 ? 120 : 80);
            column.pszText = title.data();
            ListView_InsertColumn(list, i++, &column);
        }
        return list;
    };
    levelLabel_ = heading("奖项");
    levels_ = make(L"ComboBox", L"", WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, kLevels);
    startStop_ = make(L"Button", L"", WS_TABSTOP | BS_OWNERDRAW, kStartStop);
    poolLabel_ = make(L"Static", WideUtf8("奖池").c_str(), SS_LEFT | SS_CENTERIMAGE, 0);
    pool_ = make(L"Static", L"", SS_CENTER | SS_CENTERIMAGE, 0);
    SendMessageW(pool_, WM_SETFONT, reinterpret_cast<WPARAM>(ConsoleFont(26, true, dpi_)), FALSE);
    poolUnit_ = make(L"Static", WideUtf8("人").c_str(), SS_LEFT | SS_CENTERIMAGE, 0);
    forfeit_ = make(L"Button", WideUtf8("放弃当前中奖人").c_str(), WS_TABSTOP, kForfeit);
    progressHeading_ = heading("各奖项进度");
    progress_ = listView({"奖项", "已抽/总数", "每次", "可中奖", "规则"}, 1, 3, 0);
    winnersHeading_ = heading("本场中奖名单");
    export_ = make(L"Button", WideUtf8("导出中奖名单").c_str(), WS_TABSTOP, kExport);
    winners_ = listView({"时间", "奖项", "姓名", ""}, -1, -1, kWinners);  // last: 放弃
    music_ = make(L"Button", WideUtf8("背景音乐").c_str(), WS_TABSTOP | BS_CHECKBOX, kMusic);
    clickers_ = make(L"Button", WideUtf8("翻页笔").c_str(), WS_TABSTOP | BS_CHECKBOX, kClickers);
    checkinHeading_ = heading("现场签到");
    checkinCount_ = make(L"Static", L"", SS_LEFT | SS_CENTERIMAGE, 0);
    checkin_ = make(L"Button", L"", WS_TABSTOP, kCheckin);
    buildModeration();
}

// Two columns over a row of toggles: the draw and the levels' progress on the left, this
// run's winners on the right.
void ConsoleWindow::layOut() {
    RECT client;
    GetClientRect(hwnd_, &client);
    const int W = client.right, H = client.bottom, m = px(16), gap = px(14), pad = px(18);
    // The levels' rules want width on a wide console; the winners keep the larger part.
    const int leftW = std::clamp(W * 2 / 5, px(400), px(560)), eventH = px(60);
    auto place = [](HWND h, int x, int y, int w, int hh) {
        SetWindowPos(h, nullptr, x, y, std::max(1, w), std::max(1, hh), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const int top = px(12), columnsBottom = H - m - eventH - gap;
    cards_[0] = {m, top, m + leftW, top + px(220)};
    cards_[1] = {m, cards_[0].bottom + gap, m + leftW, columnsBottom};
    // The waiting photo's card, when shown, stands above the winners.
    const int photoH = moderationShown_ ? px(180) : 0;
    cards_[4] = moderationShown_ ? RECT{m + leftW + gap, top, W - m, top + photoH} : RECT{};
    cards_[2] = {m + leftW + gap, top + (photoH ? photoH + gap : 0), W - m, columnsBottom};
    layOutModeration(cards_[4]);
    cards_[3] = {m, H - m - eventH, W - m, H - m};
    const RECT& a = cards_[0];
    place(levelLabel_, a.left + pad, a.top + px(16), px(50), px(34));
    place(levels_, a.left + pad + px(56), a.top + px(16), leftW - 2 * pad - px(56), px(300));
    place(startStop_, a.left + pad, a.top + px(62), leftW - 2 * pad, px(96));
    place(poolLabel_, a.left + pad, a.top + px(172), px(36), px(34));
    place(pool_, a.left + pad + px(36), a.top + px(172), px(80), px(34));
    place(poolUnit_, a.left + pad + px(116), a.top + px(172), px(24), px(34));
    place(forfeit_, a.right - pad - px(150), a.top + px(174), px(150), px(32));
    const RECT& b = cards_[1];
    place(progressHeading_, b.left + pad, b.top + px(10), px(200), px(30));
    place(progress_, b.left + pad, b.top + px(44), b.right - b.left - 2 * pad,
          b.bottom - b.top - px(58));
    // A long rule is cut short; its column takes what the others leave.
    const int numbers[] = {px(84), px(44), px(64)};
    ListView_SetColumnWidth(progress_, 0, px(72));
    for (int c = 1; c < 4; ++c) ListView_SetColumnWidth(progress_, c, numbers[c - 1]);
    const int ruleW = static_cast<int>(b.right - b.left) - 2 * pad - px(72 + 84 + 44 + 64 + 6);
    ListView_SetColumnWidth(progress_, 4, std::max(px(60), ruleW));
    const RECT& c = cards_[2];
    place(winnersHeading_, c.left + pad, c.top + px(10), px(320), px(30));
    place(export_, c.right - pad - px(140), c.top + px(8), px(140), px(32));
    place(winners_, c.left + pad, c.top + px(48), c.right - c.left - 2 * pad,
          c.bottom - c.top - px(64));
    ListView_SetColumnWidth(winners_, 0, px(100));
    ListView_SetColumnWidth(winners_, 1, px(160));
    ListView_SetColumnWidth(winners_, 2, c.right - c.left - 2 * pad - px(266 + 76));
    ListView_SetColumnWidth(winners_, 3, px(76));
    const RECT& d = cards_[3];
    const int rowY = d.top + (eventH - px(32)) / 2;
    place(music_, d.left + pad, rowY, px(110), px(32));
    place(clickers_, d.left + pad + px(130), rowY, px(100), px(32));
    place(checkin_, d.right - pad - px(110), rowY, px(110), px(32));
    place(checkinCount_, d.right - pad - px(250), rowY, px(130), px(32));
    place(checkinHeading_, d.right - pad - px(340), rowY, px(86), px(32));
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void ConsoleWindow::paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, back_);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xD9, 0xDE, 0xE5));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, card_);
    for (const RECT& r : cards_)
        if (r.right > r.left) RoundRect(dc, r.left, r.top, r.right, r.bottom, px(20), px(20));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    paintModeration(dc);
}

void ConsoleWindow::drawStartStop(const DRAWITEMSTRUCT& item) {
    const bool enabled = !(item.itemState & ODS_DISABLED);
    const bool pressed = item.itemState & ODS_SELECTED;
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, card_);
    const COLORREF face = !enabled ? RGB(0xB6, 0xBB, 0xC2)
                                   : pressed ? RGB(0xA3, 0x15, 0x15) : RGB(0xC6, 0x28, 0x28);
    SetDCBrushColor(dc, face);
    SetDCPenColor(dc, face);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    RoundRect(dc, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom,
              px(24), px(24));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    wchar_t text[64] = {};
    GetWindowTextW(item.hwndItem, text, 64);
    CentredLine(dc, text, item.rcItem, ConsoleFont(30, true, dpi_),
                enabled ? RGB(255, 255, 255) : RGB(0xF3, 0xF4, 0xF6));
}

}  // namespace ld::win
