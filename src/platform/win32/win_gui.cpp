#include "platform/win32/win_gui.h"

#include <memory>

#include "platform/win32/batch_grid.h"
#include "platform/win32/checkin_panel.h"
#include "platform/win32/checkin_screen.h"
#include "platform/win32/console_window.h"
#include "platform/win32/event_loop.h"
#include "platform/win32/key_filter.h"
#include "platform/win32/stage_seal.h"
#include "platform/win32/stage_window.h"
#include "platform/win32/win_text.h"

namespace ld::win {

WinGui::WinGui(WinEventLoop& loop) : loop_(loop) {
    loop_.setOnModalLoop([this] { makeNewestModal(); });
    InstallKeyFilter(loop_, [this](HWND hwnd) { return stageOf(hwnd) != nullptr; });
    // The console's keys come first: Enter and the clickers' there start or stop the draw.
    loop_.setMessageFilter([](MSG& msg) { return ConsoleKeyMessage(msg) || FilterKeyMessage(msg); });
    SetConsoleOnStage([this](HWND hwnd) {
        StageWindow* stage = stageOf(hwnd);
        return stage && stage->onStage();
    });
}

WinGui::~WinGui() {
    loop_.setMessageFilter(nullptr);
    loop_.setOnModalLoop(nullptr);
    CloseConsole();
    for (auto& [window, stage] : stages_) {
        stage->detachFromModel();
        delete stage;
    }
}

StageWindow* WinGui::stageOf(const Window& window) const {
    auto it = stages_.find(&window);
    return it == stages_.end() ? nullptr : it->second;
}

StageWindow* WinGui::stageOf(HWND hwnd) const {
    HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    for (auto& [window, stage] : stages_)
        if (stage->hwnd() == root && !stage->detached()) return stage;
    return nullptr;
}

ControlView* WinGui::viewOf(const Control& control) const {
    StageWindow* stage = stageOf(control.window());
    return stage ? stage->viewOf(control) : nullptr;
}

void WinGui::windowLoaded(Window& window) {
    StageWindow* owner = window.parent() ? stageOf(*window.parent()) : nullptr;
    // What the stage owns (the celebration) shows with it; other windows (the password
    // window) are the operator's.
    const bool onStage = owner ? owner->onStage() : !stage_;
    auto* stage = new StageWindow(window, owner, onStage);
    if (!owner && !stage_) stage_ = stage;
    stages_[&window] = stage;
    newest_ = &window;
    showWhenLaidOut(stage);
}

namespace {

// A dialog of the system's (a message box, the input box, a file dialog) is open on this
// thread.
bool DialogOpen() {
    bool open = false;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM found) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (IsWindowVisible(hwnd) && lstrcmpW(cls, L"#32770") == 0) {
                *reinterpret_cast<bool*>(found) = true;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&open));
    return open;
}

}  // namespace

void WinGui::showWhenLaidOut(StageWindow* stage) {
    // Shown once the created event has laid it out, so it does not appear and then jump.
    // A question asked during that event (a message box) runs a loop of its own: wait
    // until it has been answered, or the window would come up over it.
    const Window* window = &stage->window();
    loop_.post([this, window] {
        StageWindow* s = stageOf(*window);
        if (!s) return;
        if (!DialogOpen()) return s->showFirstTime();
        auto timer = std::make_shared<EventLoop::TimerId>();
        *timer = loop_.startTimer(20, [this, window, timer] {
            if (DialogOpen()) return;
            loop_.stopTimer(*timer);
            if (StageWindow* later = stageOf(*window)) later->showFirstTime();
        });
    });
}

void WinGui::windowClosed(Window& window) {
    StageWindow* stage = stageOf(window);
    if (stage) {
        // The owner a modal window disabled takes input again before the window goes, so
        // the activation returns to it.
        if (auto it = disabledOwners_.find(stage); it != disabledOwners_.end()) {
            EnableWindow(it->second, TRUE);
            disabledOwners_.erase(it);
        }
        stage->detachFromModel();
        if (stage == stage_) stage_ = nullptr;
        // Deleted after the handler that closed it has returned: it may be on its stack.
        loop_.post([stage] { delete stage; });
    }
    stages_.erase(&window);
    if (newest_ == &window) newest_ = nullptr;
    loop_.recheck();
}

void WinGui::makeNewestModal() {
    StageWindow* stage = newest_ ? stageOf(*newest_) : nullptr;
    if (!stage || disabledOwners_.count(stage)) return;
    HWND owner = GetWindow(stage->hwnd(), GW_OWNER);
    if (!owner) return;
    EnableWindow(owner, FALSE);
    disabledOwners_[stage] = owner;
}

void WinGui::setFocus(Control& control) {
    ControlView* view = viewOf(control);
    if (!view || !view->hwnd()) return;
    if (view == stageOf(control.window())) {
        SetForegroundWindow(view->hwnd());
        SetActiveWindow(view->hwnd());
    } else {
        SetFocus(view->hwnd());
    }
}

void WinGui::setZOrder(Control& control, int layer) {
    ControlView* view = viewOf(control);
    if (!view || !view->hwnd()) return;
    const bool topLevel = view == stageOf(control.window());
    HWND after = HWND_TOP;
    if (topLevel && layer >= 3)
        after = layer == 3 ? HWND_TOPMOST : HWND_NOTOPMOST;
    else if (layer == 2)
        after = HWND_BOTTOM;
    SetWindowPos(view->hwnd(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

Window* WinGui::activeWindow() {
    StageWindow* stage = stageOf(GetActiveWindow());
    return stage ? &stage->window() : nullptr;
}

void WinGui::playAnimation(Window& window, int animation) {
    if (StageWindow* stage = stageOf(window)) stage->playAnimation(animation);
}

void WinGui::setStageNotice(Window& window, const Text& text) {
    if (StageWindow* stage = stageOf(window)) stage->setNotice(Wide(text));
}

void WinGui::setStageSeal(Window& window, const Text& text) {
    if (StageWindow* stage = stageOf(window)) SetStageSeal(stage->hwnd(), text);
}

void WinGui::setClickerKeys(bool on) {
    SetClickerKeys(on);
    SetConsoleClickerKeys(on);
}

void WinGui::showBatchGrid(Window& window, const BatchGridView& grid) {
    if (StageWindow* stage = stageOf(window)) {
        ShowBatchGrid(stage->hwnd(), stage->dpi(), grid);
        KeepStageSealOnTop(stage->hwnd());
    }
}

void WinGui::hideBatchGrid(Window& window) {
    if (StageWindow* stage = stageOf(window)) HideBatchGrid(stage->hwnd());
}

void WinGui::showCheckinPanel(Window& window, const CheckinPanelView& panel) {
    if (StageWindow* stage = stageOf(window)) {
        ShowCheckinPanel(stage->hwnd(), stage->dpi(), panel);
        KeepStageSealOnTop(stage->hwnd());  // and the check-in view over both
    }
}

void WinGui::showCheckinScreen(Window& window, const CheckinScreenView& view) {
    if (StageWindow* stage = stageOf(window)) ShowCheckinScreen(stage->hwnd(), stage->dpi(), view);
}

void WinGui::hideCheckinScreen(Window& window) {
    if (StageWindow* stage = stageOf(window)) HideCheckinScreen(stage->hwnd());
}

void WinGui::hideCheckinPanel(Window& window) {
    if (StageWindow* stage = stageOf(window)) HideCheckinPanel(stage->hwnd());
}

void WinGui::openConsole(int screen, const ConsoleActions& actions) {
    OpenConsole(screen, actions);
}

void WinGui::closeConsole() { CloseConsole(); }

namespace {

void FillPopupMenu(HMENU menu, const std::vector<PopupEntry>& entries) {
    for (const PopupEntry& e : entries) {
        if (e.separator) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::wstring caption = Wide(e.caption);
        if (!e.shortcut.empty()) caption += L"\t" + Wide(e.shortcut);
        UINT flags = MF_STRING | (e.disabled ? MF_GRAYED : 0) | (e.checked ? MF_CHECKED : 0);
        UINT_PTR id = static_cast<UINT_PTR>(e.command);
        if (!e.submenu.empty()) {
            flags |= MF_POPUP;
            id = reinterpret_cast<UINT_PTR>(BuildPopupMenu(e.submenu));
        }
        AppendMenuW(menu, flags, id, caption.c_str());
    }
}

}  // namespace

HMENU BuildPopupMenu(const std::vector<PopupEntry>& entries) {
    HMENU menu = CreatePopupMenu();
    FillPopupMenu(menu, entries);
    return menu;
}

std::optional<int> WinGui::popupMenu(Window& window, const std::vector<PopupEntry>& menu) {
    CountGesture();
    StageWindow* stage = stageOf(window);
    HWND owner = stage ? stage->hwnd() : GetActiveWindow();
    HMENU popup = BuildPopupMenu(menu);
    POINT at;
    GetCursorPos(&at);
    // The menu must belong to the foreground window, or it stays open after a click
    // elsewhere.
    SetForegroundWindow(owner);
    const int chosen = static_cast<int>(TrackPopupMenuEx(
        popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x + 3, at.y + 3, owner, nullptr));
    DestroyMenu(popup);
    PostMessageW(owner, WM_NULL, 0, 0);
    if (chosen == 0) return std::nullopt;
    return chosen;
}

void WinGui::moveLoop(Control& control) {
    ControlView* view = viewOf(control);
    // Released already (or never pressed): nothing to follow.
    if (!view || !view->hwnd() || GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON
                                                                                    : VK_LBUTTON) >= 0)
        return;
    CountGesture();
    const POINT startMouse = LastPressPosition();
    const int startLeft = control.left(), startTop = control.top();
    const UINT dpi = view->dpi();
    std::shared_ptr<const bool> alive = view->alive();
    auto place = [&](int left, int top) {
        if (control.left() != left) control.setLeft(left);
        if (control.top() != top) control.setTop(top);
    };
    SetCapture(view->hwnd());
    MSG msg;
    bool moving = true;
    while (moving && *alive && !view->detached() && GetCapture() == view->hwnd()) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            PostQuitMessage(0);
            break;
        }
        switch (msg.message) {
            case WM_MOUSEMOVE: {
                POINT now;
                GetCursorPos(&now);
                place(startLeft + Logical(now.x - startMouse.x, dpi),
                      startTop + Logical(now.y - startMouse.y, dpi));
                break;
            }
            case WM_LBUTTONUP:
                moving = false;
                break;
            case WM_KEYDOWN:
                // Escape puts it back.
                if (msg.wParam == VK_ESCAPE) {
                    place(startLeft, startTop);
                    moving = false;
                }
                break;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
            case WM_KEYUP:
            case WM_CHAR:
                break;
            default:
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
                break;
        }
    }
    if (*alive && view->hwnd() && GetCapture() == view->hwnd()) ReleaseCapture();
}

}  // namespace ld::win
