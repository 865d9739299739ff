// The console's card for moderated check-in photos: the oldest waiting photo, whose it is, how
// many wait, and 通过 / 拒绝. Shown while moderation is on or a photo waits.
#include <string>

#include "platform/win32/console_window.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

constexpr SIZE kPhoto{108, 144};  // logical pixels, upright 3:4

}  // namespace

void ConsoleWindow::buildModeration() {
    modHeading_ = make(L"Static", WideUtf8("照片审核").c_str(), SS_LEFT | SS_CENTERIMAGE, 0);
    SendMessageW(modHeading_, WM_SETFONT, reinterpret_cast<WPARAM>(ConsoleFont(17, true, dpi_)),
                 FALSE);
    modCount_ = make(L"Static", L"", SS_LEFT | SS_CENTERIMAGE, 0);
    modName_ = make(L"Static", L"", SS_LEFT | SS_CENTERIMAGE, 0);
    SendMessageW(modName_, WM_SETFONT, reinterpret_cast<WPARAM>(ConsoleFont(26, true, dpi_)),
                 FALSE);
    approve_ = make(L"Button", WideUtf8("通过").c_str(), WS_TABSTOP, kApprove);
    refuse_ = make(L"Button", WideUtf8("拒绝").c_str(), WS_TABSTOP, kRefuse);
    for (HWND h : {modHeading_, modCount_, modName_, approve_, refuse_}) ShowWindow(h, SW_HIDE);
}

void ConsoleWindow::layOutModeration(const RECT& card) {
    if (!modHeading_) return;
    const int show = moderationShown_ ? SW_SHOW : SW_HIDE;
    for (HWND h : {modHeading_, modCount_, modName_, approve_, refuse_}) ShowWindow(h, show);
    if (!moderationShown_) return;
    const int pad = px(18), x = card.left + pad + px(kPhoto.cx) + px(16);
    const int w = card.right - pad - x;
    modPhotoBox_ = {card.left + pad, card.top + px(18), card.left + pad + px(kPhoto.cx),
                    card.top + px(18) + px(kPhoto.cy)};
    auto place = [](HWND h, int left, int top, int width, int height) {
        SetWindowPos(h, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(modHeading_, x, card.top + px(14), w, px(30));
    place(modCount_, x, card.top + px(46), w, px(26));
    place(modName_, x, card.top + px(76), w, px(40));
    const int buttonW = (w - px(12)) / 2;
    place(approve_, x, card.bottom - px(50), buttonW, px(34));
    place(refuse_, x + buttonW + px(12), card.bottom - px(50), buttonW, px(34));
}

bool ConsoleWindow::showModeration(const ConsoleView& view) {
    const bool visible = view.moderationOn || view.pendingPhotos > 0;
    const bool changed = visible != moderationShown_;
    moderationShown_ = visible;
    const bool waiting = view.pendingPhotos > 0;
    const std::wstring count = waiting ? WideUtf8("等待审核 ") + std::to_wstring(view.pendingPhotos) +
                                             WideUtf8(" 张")
                                       : WideUtf8("没有等待审核的照片");
    SetWindowTextW(modCount_, count.c_str());
    EnableWindow(approve_, waiting);
    EnableWindow(refuse_, waiting);
    const Text name = waiting ? view.pendingName : Text();
    if (name != modShownName_ || changed) {
        modShownName_ = name;
        SetWindowTextW(modName_, Wide(name).c_str());
        DrawnPicture drawn = name.empty() ? DrawnPicture{}
                                          : DrawPictureInBox(view.pendingPhoto, kPhoto,
                                                             BoxFit::ShrinkToFit, dpi_);
        modPhoto_ = std::move(drawn.bitmap);
        InvalidateRect(hwnd_, &cards_[4], TRUE);
    }
    return changed;
}

void ConsoleWindow::paintModeration(HDC dc) {
    if (!moderationShown_ || modPhoto_.isNull()) return;
    const int x = modPhotoBox_.left + (modPhotoBox_.right - modPhotoBox_.left - modPhoto_.width()) / 2;
    const int y = modPhotoBox_.top + (modPhotoBox_.bottom - modPhotoBox_.top - modPhoto_.height()) / 2;
    modPhoto_.draw(dc, x, y);
}

}  // namespace ld::win
