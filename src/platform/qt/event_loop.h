// The program's event loop on top of Qt's: a monotonic tick count, timers, posted work, the
// message-pumping wait and the nested loops of modal windows.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "services/host.h"

class QTimer;
class QEventLoop;

namespace ld::qt {

class QtEventLoop : public EventLoop {
public:
    QtEventLoop();
    ~QtEventLoop() override;

    int64_t tickCount() const override;
    TimerId startTimer(int intervalMs, std::function<void()> tick) override;
    void stopTimer(TimerId id) override;
    void post(std::function<void()> fn) override;
    void waitProcessing(int ms) override;
    void runUntil(const std::function<bool()>& done) override;

    // Ends the nested loops whose condition now holds (a window went away, say).
    void recheck();
    // Told before a modal loop starts, so the host can make the newest window modal.
    void setOnModalLoop(std::function<void()> fn) { onModalLoop_ = std::move(fn); }
    size_t runningTimers() const { return timers_.size(); }

private:
    struct Waiter {
        const std::function<bool()>* done;
        QEventLoop* loop;
    };
    QObject context_;  // owns the timers and receives the posted work
    QElapsedTimer clock_;
    TimerId nextId_ = 1;
    std::map<TimerId, QTimer*> timers_;
    std::vector<Waiter> waiters_;
    std::function<void()> onModalLoop_;
};

}  // namespace ld::qt
