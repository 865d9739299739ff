// The program's event loop on the Windows message queue: a monotonic tick count, timers and
// posted work on a message-only window, the message-pumping wait and the nested loops of
// modal windows. Every message the program's own loops take passes the key filter first.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "services/host.h"

namespace ld::win {

class WinEventLoop : public EventLoop {
public:
    WinEventLoop();
    ~WinEventLoop() override;
    WinEventLoop(const WinEventLoop&) = delete;
    WinEventLoop& operator=(const WinEventLoop&) = delete;

    int64_t tickCount() const override;
    TimerId startTimer(int intervalMs, std::function<void()> tick) override;
    void stopTimer(TimerId id) override;
    // May be called from any thread; the work runs on the UI thread.
    void post(std::function<void()> fn) override;
    void waitProcessing(int ms) override;
    void runUntil(const std::function<bool()>& done) override;

    // Wakes the loops so they test their conditions again (a window went away, say).
    void recheck();
    // Told before a nested modal loop starts, so the host can make the newest window modal.
    void setOnModalLoop(std::function<void()> fn) { onModalLoop_ = std::move(fn); }
    // Sees every message before it is dispatched; true when it took the message.
    void setMessageFilter(std::function<bool(MSG&)> fn) { filter_ = std::move(fn); }
    size_t runningTimers() const { return timers_.size(); }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    // Handles one message; false on WM_QUIT (which is put back for the outer loops).
    bool dispatch(MSG& msg);
    void runPosted();

    HWND window_ = nullptr;
    LARGE_INTEGER frequency_{}, start_{};
    TimerId nextId_ = 1;
    std::map<TimerId, std::shared_ptr<std::function<void()>>> timers_;
    std::mutex postedLock_;
    std::deque<std::function<void()>> posted_;
    std::function<void()> onModalLoop_;
    std::function<bool(MSG&)> filter_;
    int depth_ = 0;
};

}  // namespace ld::win
