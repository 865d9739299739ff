#include "platform/qt/event_loop.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace ld::qt {

QtEventLoop::QtEventLoop() { clock_.start(); }

QtEventLoop::~QtEventLoop() {
    for (auto& [id, timer] : timers_) delete timer;
}

int64_t QtEventLoop::tickCount() const { return clock_.elapsed(); }

EventLoop::TimerId QtEventLoop::startTimer(int intervalMs, std::function<void()> tick) {
    TimerId id = nextId_++;
    auto* timer = new QTimer(&context_);
    // Coarse timers may fire up to 5 % early; the roll and the re-arm want their period.
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(intervalMs > 0 ? intervalMs : 1);
    QObject::connect(timer, &QTimer::timeout, &context_, [tick = std::move(tick)] { tick(); });
    timers_[id] = timer;
    timer->start();
    return id;
}

void QtEventLoop::stopTimer(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    QTimer* timer = it->second;
    timers_.erase(it);
    timer->stop();
    // A tick may stop its own timer: delete it once its signal has returned.
    timer->deleteLater();
}

void QtEventLoop::post(std::function<void()> fn) {
    QMetaObject::invokeMethod(
        &context_,
        [this, fn = std::move(fn)] {
            fn();
            recheck();
        },
        Qt::QueuedConnection);
}

void QtEventLoop::waitProcessing(int ms) {
    if (ms <= 0) return;
    const int64_t end = tickCount() + ms;
    // Sleeps in Qt's loop; timers, input and posted work are handled inside. Looped because
    // the wait must last at least `ms` even if a timer fires a little early.
    for (int64_t left = ms; left > 0; left = end - tickCount()) {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(left), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void QtEventLoop::runUntil(const std::function<bool()>& done) {
    if (done()) return;
    // The outermost loop is the program's own, not a modal window's.
    if (onModalLoop_ && QThread::currentThread()->loopLevel() > 0) onModalLoop_();
    QEventLoop loop;
    waiters_.push_back({&done, &loop});
    while (!done()) loop.exec();
    std::erase_if(waiters_, [&](const Waiter& w) { return w.loop == &loop; });
}

void QtEventLoop::recheck() {
    for (const Waiter& w : waiters_)
        if ((*w.done)()) w.loop->quit();
}

}  // namespace ld::qt
