// A small fixed pool of worker threads with two queues: urgent work (what the screen waits
// for) always runs before background work (warming up), and background work can be dropped
// when it is no longer wanted.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace ld {

class WorkerPool {
public:
    using Job = std::function<void()>;

    // 0 threads: one less than the cores, at least one (the UI thread keeps a core).
    explicit WorkerPool(int threads = 0);
    ~WorkerPool();  // drops queued work, waits for running jobs
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Urgent jobs run newest first: the latest request is the one still on screen.
    void submitUrgent(Job job);
    void submitBackground(Job job);
    // Forgets queued background jobs (running ones finish).
    void clearBackground();
    // Blocks until both queues are empty and no job runs. For tests and benchmarks.
    void waitIdle();

    int threadCount() const { return static_cast<int>(threads_.size()); }
    static int DefaultThreadCount();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> urgent_;
    std::deque<Job> background_;
    int running_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace ld
