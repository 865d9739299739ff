#include "platform/win32/event_loop.h"

namespace ld::win {

namespace {
constexpr UINT kRunPosted = WM_APP + 1;
const wchar_t kClass[] = L"LdEventLoop";
}  // namespace

WinEventLoop::WinEventLoop() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WinEventLoop::~WinEventLoop() {
    for (auto& [id, tick] : timers_) KillTimer(window_, static_cast<UINT_PTR>(id));
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

int64_t WinEventLoop::tickCount() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (now.QuadPart - start_.QuadPart) * 1000 / frequency_.QuadPart;
}

EventLoop::TimerId WinEventLoop::startTimer(int intervalMs, std::function<void()> tick) {
    const TimerId id = nextId_++;
    timers_[id] = std::make_shared<std::function<void()>>(std::move(tick));
    SetTimer(window_, static_cast<UINT_PTR>(id), static_cast<UINT>(intervalMs > 0 ? intervalMs : 1),
             nullptr);
    return id;
}

void WinEventLoop::stopTimer(TimerId id) {
    if (timers_.erase(id)) KillTimer(window_, static_cast<UINT_PTR>(id));
}

void WinEventLoop::post(std::function<void()> fn) {
    {
        std::lock_guard lock(postedLock_);
        posted_.push_back(std::move(fn));
    }
    PostMessageW(window_, kRunPosted, 0, 0);
}

void WinEventLoop::runPosted() {
    std::function<void()> fn;
    {
        std::lock_guard lock(postedLock_);
        if (posted_.empty()) return;
        fn = std::move(posted_.front());
        posted_.pop_front();
    }
    fn();
}

LRESULT CALLBACK WinEventLoop::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<WinEventLoop*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_TIMER) {
        auto it = self->timers_.find(static_cast<TimerId>(wParam));
        if (it == self->timers_.end()) return 0;
        // The tick may stop its own timer: keep the function alive until it returns.
        std::shared_ptr<std::function<void()>> tick = it->second;
        (*tick)();
        return 0;
    }
    if (self && message == kRunPosted) {
        self->runPosted();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool WinEventLoop::dispatch(MSG& msg) {
    if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    if (filter_ && filter_(msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void WinEventLoop::waitProcessing(int ms) {
    if (ms <= 0) return;
    const int64_t end = tickCount() + ms;
    for (int64_t left = ms; left > 0; left = end - tickCount()) {
        // Sleeps until a message arrives or the time is up; handles what came.
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!dispatch(msg)) return;
    }
}

void WinEventLoop::runUntil(const std::function<bool()>& done) {
    if (done()) return;
    // The outermost loop is the program's own, not a modal window's.
    if (onModalLoop_ && depth_ > 0) onModalLoop_();
    ++depth_;
    MSG msg;
    while (!done()) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            PostQuitMessage(0);
            break;
        }
        dispatch(msg);
    }
    --depth_;
}

void WinEventLoop::recheck() { PostMessageW(window_, WM_NULL, 0, 0); }

}  // namespace ld::win
