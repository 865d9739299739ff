#include "media/worker_pool.h"

#include <algorithm>

namespace ld {

int WorkerPool::DefaultThreadCount() {
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::max(1, cores - 1);
}

WorkerPool::WorkerPool(int threads) {
    const int n = threads > 0 ? threads : DefaultThreadCount();
    threads_.reserve(n);
    for (int i = 0; i < n; ++i) threads_.emplace_back([this] { run(); });
}

WorkerPool::~WorkerPool() {
    std::deque<Job> dropped;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        dropped.swap(urgent_);
        dropped.insert(dropped.end(), background_.begin(), background_.end());
        background_.clear();
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
    // `dropped` dies here, outside the lock: jobs may hold promises that wake waiters.
}

void WorkerPool::submitUrgent(Job job) {
    {
        std::lock_guard lock(mutex_);
        urgent_.push_front(std::move(job));
    }
    wake_.notify_one();
}

void WorkerPool::submitBackground(Job job) {
    {
        std::lock_guard lock(mutex_);
        background_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void WorkerPool::clearBackground() {
    std::deque<Job> dropped;
    {
        std::lock_guard lock(mutex_);
        dropped.swap(background_);
    }
    idle_.notify_all();
}

void WorkerPool::waitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return urgent_.empty() && background_.empty() && running_ == 0; });
}

void WorkerPool::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !urgent_.empty() || !background_.empty(); });
        if (stopping_) return;
        std::deque<Job>& queue = urgent_.empty() ? background_ : urgent_;
        Job job = std::move(queue.front());
        queue.pop_front();
        ++running_;
        lock.unlock();
        try {
            job();
        } catch (...) {
            // A job reports its own failures; one that throws must not take the pool down.
        }
        job = nullptr;  // release what the job holds before reporting idle
        lock.lock();
        --running_;
        if (running_ == 0 && urgent_.empty() && background_.empty()) idle_.notify_all();
    }
}

}  // namespace ld
